// The theme file: fonts and styles by name, the built-ins, and errors that
// name the file and line and leave the theme as it was.
#include "test_folder.h"
#include "ui_support.h"

#include "text/font.h"
#include "text/sdl_ttf_font.h"
#include "ui/systemfont.h"
#include "ui/theme.h"

#include "tsl2/file.h"
#include "tsl2/random.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Makes system fonts at the scale of its first parameter.
class TestFontFactory : public FontFactory {
public:
    Tsl::SmartPtr<Font> createFont(const Tsl::List<Tsl::String>& lParams) override {
        return new SystemFont(lParams.isEmpty() ? 2 : Tsl::String::toInt(lParams.getFirst()));
    }
};

struct ThemeTest : UiTest {
    void SetUp() override {
        UiTest::SetUp();
        Theme::registerFontFactory("TestFont", new TestFontFactory());
        Theme::registerFontFactory("TrueType", new SDLTTFFactory());
        app.addImage("pic", picture(16, 16));
        app.addImage("pic2", picture(8, 8));
    }
    void TearDown() override {
        Theme::unregisterFontFactory("TestFont");
        Theme::unregisterFontFactory("TrueType");
    }
    Theme& theme() { return *app.getTheme(); }
};

const char* const GOOD_THEME = R"(# a sample
font Sand::Title
  class TestFont 3
  textcolor 10 20 30
  drawshadow false
  textalign hcenter vcenter
end
font Sand::Copy
  class testfont
  copysettings Sand::Title
  extralinespacing 2
end
frame Paper
  image pic 4 4 4 4
  padding 5 6 7 8
  font Sand::Copy
end
button PaperButton
  image pic pic2
  borders 3 3 3 3
  font Sand::Title
  textcolor pushed 1 2 3
  padding 9 4
  minsize 80 0
end
cursor Hand
  image pic2 2 3
end
separator Line
  image pic2
end
slider Volume
  track pic 2 2 2 2
  thumb pic2
end
radio Check
  images pic pic2
  spacing 9
end
)";

TEST_F(ThemeTest, ReadsFontsAndStylesByCaseInsensitiveName) {
    theme().loadFromText(GOOD_THEME, "sand.theme");
    Tsl::SmartPtr<Font> pTitle = theme().getFont("sand::title");
    ASSERT_TRUE(dynamic_cast<SystemFont*>(pTitle.get()));
    EXPECT_EQ(3, static_cast<SystemFont*>(pTitle.get())->getScale());
    EXPECT_EQ(Color(10, 20, 30), pTitle->getTextColor());
    EXPECT_FALSE(pTitle->getDrawShadow());
    EXPECT_EQ(36, pTitle->getTextAlign());
    Tsl::SmartPtr<Font> pCopy = theme().getFont("Sand::Copy");
    EXPECT_EQ(Color(10, 20, 30), pCopy->getTextColor());
    EXPECT_EQ(2, pCopy->getExtraLineSpacing());

    Tsl::SmartPtr<FrameStyle> pFrame = theme().getFrameStyle("PAPER");
    EXPECT_EQ(makeEdges(5, 6, 7, 8), pFrame->padding);
    EXPECT_EQ(4, pFrame->borders.right);
    EXPECT_EQ("Sand::Copy", pFrame->sFont);
    Tsl::SmartPtr<ButtonStyle> pButton = theme().getButtonStyle("PaperButton");
    EXPECT_EQ(app.getImage("pic2"), pButton->apImages[ButtonStyle::HIGHLIGHTED]);
    EXPECT_TRUE(pButton->apImages[ButtonStyle::PUSHED].isNull());
    EXPECT_EQ(Color(1, 2, 3), pButton->aTextColors[ButtonStyle::PUSHED]);
    EXPECT_EQ(80, pButton->nMinWidth);
    EXPECT_EQ(9, pButton->nPaddingX);
    EXPECT_EQ(3, theme().getCursorStyle("Hand")->nHotY);
    EXPECT_TRUE(theme().hasStyle("separator", "line"));
    EXPECT_EQ(app.getImage("pic2"), theme().getSliderStyle("Volume")->pThumb);
    EXPECT_EQ(9, theme().getRadioStyle("Check")->nSpacing);

    Tsl::SmartPtr<Image> pCursor = theme().makeCursorImage("Hand");
    EXPECT_EQ(Point(2.0f, 3.0f), pCursor->getInsPoint());
    EXPECT_EQ(Point(0.0f, 0.0f), app.getImage("pic2")->getInsPoint());
}

TEST_F(ThemeTest, BuiltInsExistFirstAndUnknownNamesFallBack) {
    Theme& t = theme();
    Tsl::SmartPtr<Font> pDefault = t.getFont(Theme::DEFAULT_FONT);
    ASSERT_FALSE(pDefault.isNull());
    EXPECT_EQ(pDefault, t.getFont("No::SuchFont"));
    EXPECT_EQ(pDefault, GameMode::getFont("No::SuchFont"));
    for (const char* pszFont : {"Theme::Default", "Theme::DefaultBlack", "Theme::DefaultSmall", "Theme::Button"})
        EXPECT_TRUE(t.hasFont(pszFont)) << pszFont;
    for (const char* pszKind : {"frame", "button", "cursor", "separator", "slider", "radio"})
        EXPECT_TRUE(t.hasStyle(pszKind, "Default")) << pszKind;
}

// The chosen option is a solid disc; the others are rings one sees through.
TEST_F(ThemeTest, BuiltInRadioMarksFillOnlyTheChosenOption) {
    Tsl::SmartPtr<RadioStyle> pRadio = theme().getRadioStyle("Default");
    EXPECT_EQ(Color(0, 0, 0, 0), pRadio->pClear->getColorAt(8, 8));
    EXPECT_EQ(pRadio->pClear->getColorAt(8, 1), pRadio->pChosen->getColorAt(8, 8));
}

TEST_F(ThemeTest, AnUnknownStyleOrFontGivesTheDefaultWithOneLogLineEach) {
    std::string sLog = testPath("ui_theme_test.log");
    GameApp::openLog(sLog.c_str());
    Tsl::SmartPtr<ButtonStyle> pStyle = theme().getButtonStyle("Missing");
    theme().getButtonStyle("Missing");
    theme().getFont("No::Font");
    theme().getFont("no::font");
    GameApp::closeLog();
    EXPECT_EQ(theme().getButtonStyle("Default"), pStyle);
    std::ifstream in(sLog);
    std::stringstream text;
    text << in.rdbuf();
    std::string sText = text.str();
    size_t nStyleLine = sText.find("Missing"), nFontLine = sText.find("No::Font");
    EXPECT_NE(std::string::npos, nStyleLine);
    EXPECT_NE(std::string::npos, nFontLine);
    EXPECT_EQ(2, std::count(sText.begin(), sText.end(), '\n')) << sText;
    std::remove(sLog.c_str());
}

TEST_F(ThemeTest, ErrorsNameTheFileAndLineAndKeepTheThemeAsItWas) {
    struct Case {
        const char* pszText;
        const char* pszExpected;
    } aCases[] = {
        {"font Ok\n  class TestFont\nend\nbogus word\n", "Unknown command 'bogus' in bad.theme, line 4"},
        {"font F\n  class TestFont\n  wobble 3\nend\n", "Theme::loadFontSpec : Unknown command wobble in bad.theme, line 3"},
        {"font F\n  class NoSuch\nend\n", "Can't find factory for font class 'NoSuch' in bad.theme, line 2"},
        {"font F\n  class TrueType missing.ttf 12\nend\n", "Resource 'missing.ttf' not found in bad.theme, line 2"},
        {"font F\n  textcolor 1 2 3\nend\n", "needs its class first in bad.theme, line 2"},
        {"font F\n  class TestFont\n  textcolor 1 2\nend\n", "bad.theme, line 3"},
        {"font F\n  class TestFont\n  shadowoffset 2px\nend\n", "'2px' is not a number in bad.theme, line 3"},
        {"font F\n  class TestFont\n  copysettings Nobody\nend\n", "Unknown font 'Nobody' in bad.theme, line 3"},
        {"button B\n  image pic nothere\nend\n", "Image 'nothere' not found in bad.theme, line 2"},
        {"button B\n  image pic\n  padding x 2\nend\n", "'x' is not a number in bad.theme, line 3"},
        {"button B\n  image pic\n  textcolor shiny 1 2 3\nend\n", "Unknown button state 'shiny' in bad.theme, line 3"},
        {"frame F\n  padding 1 2\nend\n", "line 2"},
        {"frame F\n  padding 1 2 3 4\nend\n", "Frame 'F' has no image in bad.theme, line 3"},
        {"frame F\n  image pic\n", "frame 'F' in bad.theme, line 1 has no 'end'"},
        {"end\n", "'end' without a block in bad.theme, line 1"},
        {"slider S\n  track pic\nend\n", "needs a track and a thumb in bad.theme, line 3"},
        {"button B\n  image pic\n  minsize 10 99999999999\nend\n",
         "'99999999999' is out of range (-65535 to 65535) in bad.theme, line 3"},
        {"font F\n  class TestFont\n  textcolor 999 -1 256\nend\n", "'999' is out of range (0 to 255) in bad.theme, line 3"},
        {"button B\n  image pic\n  textcolor normal 1 2 256\nend\n", "'256' is out of range (0 to 255) in bad.theme, line 3"},
    };
    for (const Case& c : aCases) {
        std::string sMessage;
        try {
            theme().loadFromText(c.pszText, "bad.theme");
        } catch (const Tsl::Exception& e) {
            sMessage = e.getMessage();
        }
        EXPECT_NE(std::string::npos, sMessage.find(c.pszExpected)) << "got: " << sMessage;
        EXPECT_FALSE(theme().hasFont("Ok"));
        EXPECT_FALSE(theme().hasFont("F"));
        EXPECT_FALSE(theme().hasStyle("button", "B"));
    }
}

TEST_F(ThemeTest, ScrambledFilesEitherLoadOrFailWithAParserError) {
    const char* const apWords[] = {"font", "frame", "button", "cursor", "separator", "slider", "radio", "end",
                                   "class", "TestFont", "image", "pic", "pic2", "nothere", "textcolor", "padding",
                                   "borders", "font", "copysettings", "F", "textalign", "justify", "track", "thumb",
                                   "images", "1", "-3", "x", "#", "\n", "\n", "\n"};
    const int nWords = int(sizeof(apWords) / sizeof(apWords[0]));
    Tsl::Random random(1234);
    for (int nRun = 0; nRun < 400; ++nRun) {
        std::string sText;
        int nCount = random.getInt(0, 40);
        for (int i = 0; i < nCount; ++i) {
            std::string sWord = apWords[random.getInt(0, nWords - 1)];
            sText += sWord + (sWord == "\n" ? "" : " ");
        }
        try {
            theme().loadFromText(sText.c_str(), "scrambled.theme");
        } catch (const ThemeParserException& e) {
            EXPECT_NE(nullptr, std::strstr(e.getMessage(), "scrambled.theme")) << e.getMessage();
        }
    }
}

TEST_F(ThemeTest, TheApplicationLoadsAThemeResourceAndTakesItsCursor) {
    const std::string& sDir = testFolder();
    {
        std::ofstream out(sDir + "/my.theme");
        out << "cursor Default\n  image pic2 1 1\nend\n";
    }
    ASSERT_TRUE(app.addResourceFolder(sDir.c_str()));
    app.loadTheme("my.theme");
    EXPECT_EQ(app.getImage("pic2"), theme().getCursorStyle("Default")->pImage);
    std::remove((sDir + "/my.theme").c_str());

    // The custom cursor follows its setting.
    app.setCustomCursor(false);
    EXPECT_EQ("FALSE", app.getSetting("CustomCursor"));
    app.onMouseEnter();
    EXPECT_FALSE(app.m_pFakePlatform->video()->isSoftwareCursor());
    app.setCustomCursor(true);
    EXPECT_TRUE(app.m_pFakePlatform->video()->isSoftwareCursor());
    app.onMouseLeave();
    EXPECT_FALSE(app.m_pFakePlatform->video()->isSoftwareCursor());
    app.onMouseEnter();
    EXPECT_TRUE(app.m_pFakePlatform->video()->isSoftwareCursor());
}

} // namespace
