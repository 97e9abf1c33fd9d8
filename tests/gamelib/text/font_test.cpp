// Line breaking and box layout of the font base, with a font whose every
// byte is 10 pixels wide and whose lines are 12 pixels high.
#include "text/font.h"
#include "ui/theme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Draw {
    int x, y;
    std::string sText;
    bool operator==(const Draw& o) const { return x == o.x && y == o.y && sText == o.sText; }
};

std::ostream& operator<<(std::ostream& os, const Draw& d) { return os << "(" << d.x << "," << d.y << ",'" << d.sText << "')"; }

class FixedFont : public Font {
public:
    Tsl::SmartPtr<Font> clone() const override {
        FixedFont* p = new FixedFont();
        p->copySettings(this);
        return p;
    }
    void drawString(Tsl::SmartPtr<Image>, int x, int y, const char* psz) const override {
        m_aDraws.push_back({x, y, psz});
    }
    bool hasGlyph(char) const override { return true; }
    int getTextWidth(const char* psz) const override {
        int nMax = 0, w = 0;
        for (; *psz; ++psz) {
            if (*psz == '\n') nMax = std::max(nMax, w), w = 0;
            else w += 10;
        }
        return std::max(nMax, w);
    }
    int getHeight() const override { return 12; }

    mutable std::vector<Draw> m_aDraws;
};

std::vector<std::string> lines(const Tsl::List<Tsl::String>& l) {
    std::vector<std::string> v;
    for (int i = 0; i < l.getCount(); ++i) v.push_back(l.getAt(i).c_str());
    return v;
}

TEST(FontWrap, BreaksAtLinefeedsAndBetweenWordsNeverInsideOne) {
    struct Case {
        const char* pszText;
        int nWidth;
        std::vector<std::string> expected;
    } cases[] = {
        {"", 50, {}},
        {"a\nb", 50, {"a\n", "b"}},
        {"a\n", 50, {"a\n"}},
        {"\n\n", 50, {"\n", "\n"}},
        {"aa  bb", 60, {"aa  bb"}},
        {"aa bb cc", 50, {"aa bb", " cc"}},
        // An over-wide word stands alone, with no empty line before it.
        {"abcdefgh ij", 50, {"abcdefgh", " ij"}},
        {"ab abcdefgh", 50, {"ab ", "abcdefgh"}},
        // The bytes of a multi-byte character are never split.
        {"x \xc3\xa1\xc3\xa1\xc3\xa1", 40, {"x ", "\xc3\xa1\xc3\xa1\xc3\xa1"}},
    };
    FixedFont font;
    for (const Case& c : cases) EXPECT_EQ(c.expected, lines(font.wrapText(c.pszText, c.nWidth))) << c.pszText;
    EXPECT_TRUE(lines(font.wrapText(nullptr, 50)).empty());
}

TEST(FontLayout, EachAlignmentPlacesTheLineAndHCenterWinsOverRight) {
    struct Case {
        int nFlags;
        int nX;
        int nY;
    } cases[] = {
        {Font::ALIGN_LEFT, 0, 0},
        {Font::ALIGN_RIGHT, 80, 0},
        {Font::ALIGN_HCENTER, 40, 0},
        {Font::ALIGN_HCENTER | Font::ALIGN_RIGHT, 40, 0},
        {Font::ALIGN_BOTTOM | Font::ALIGN_TOP, 0, 0},
        {Font::ALIGN_VCENTER, 0, 44},
        {Font::ALIGN_MIDDLE, 40, 44},
    };
    for (const Case& c : cases) {
        FixedFont font;
        font.setTextAlign(c.nFlags);
        font.drawText(nullptr, Rect(0, 0, 100, 100), "  aa ");
        EXPECT_EQ(std::vector<Draw>({{c.nX, c.nY, "aa"}}), font.m_aDraws) << c.nFlags;
    }
}

TEST(FontLayout, JustifyStretchesEveryLineButThoseEndingWithLinefeed) {
    FixedFont font;
    font.setTextAlign(Font::ALIGN_JUSTIFY);
    Rect box(0, 0, 50, 100);
    font.drawText(nullptr, box, "aa b\ncc dd ee f");
    // "aa b\n" ends a paragraph; "cc dd " and the text's last line are stretched.
    std::vector<Draw> expected = {{0, 0, "aa b"}, {0, 12, "cc"}, {30, 12, "dd"}, {0, 24, "ee"}, {40, 24, "f"}};
    EXPECT_EQ(expected, font.m_aDraws);
    EXPECT_EQ(Rect(0, 0, 51, 36), box);
}

TEST(FontLayout, TheBoxBecomesTheCoveredRectangle) {
    FixedFont font;
    font.setExtraLineSpacing(3);
    Rect box(10, 20, 60, 200);
    font.drawText(nullptr, box, "aaa bb");
    // Widest line plus the shadow offset; every line adds its spacing.
    EXPECT_EQ(Rect(10, 20, 41, 50), box);

    font.setDrawShadow(false);
    font.setTextAlign(Font::ALIGN_VCENTER);
    Rect empty(10, 20, 60, 200);
    font.m_aDraws.clear();
    font.drawText(nullptr, empty, "");
    EXPECT_EQ(Rect(10, 20, 10, 20), empty);
    EXPECT_TRUE(font.m_aDraws.empty());
}

TEST(FontLayout, TextRectStopsAtTheBoxBottomAndIsEmptyForNoText) {
    FixedFont font;
    font.setExtraLineSpacing(3);
    EXPECT_EQ(Rect(0, 5, 50, 32), font.getTextRect(Rect(0, 5, 50, 500), "aaa bb"));
    EXPECT_EQ(Rect(0, 5, 50, 30), font.getTextRect(Rect(0, 5, 50, 30), "a b c d e f g h i j k l m n o p"));
    EXPECT_EQ(Rect(0, 5, 50, 5), font.getTextRect(Rect(0, 5, 50, 30), ""));
}

TEST(FontSettings, CloneCopiesTheSettingsButNotTheSpec) {
    FixedFont font;
    font.setTextColor(Color(1, 2, 3));
    font.setShadowColor(Color(4, 5, 6));
    font.setDrawShadow(false);
    font.setShadowOffset(3);
    font.setTextAlign(Font::ALIGN_MIDDLE);
    font.setExtraLineSpacing(7);
    font.setTrimLines(false);
    Tsl::List<Tsl::String> lSpec;
    lSpec.append("x");
    font.setSpec(nullptr, lSpec);
    Tsl::SmartPtr<Font> pCopy = font.clone();
    EXPECT_EQ(Color(1, 2, 3), pCopy->getTextColor());
    EXPECT_EQ(Color(4, 5, 6), pCopy->getShadowColor());
    EXPECT_FALSE(pCopy->getDrawShadow());
    EXPECT_EQ(3, pCopy->getShadowOffset());
    EXPECT_EQ(Font::ALIGN_MIDDLE, pCopy->getTextAlign());
    EXPECT_EQ(7, pCopy->getExtraLineSpacing());
    EXPECT_FALSE(pCopy->getTrimLines());
    EXPECT_EQ(0, pCopy->getSpec().getCount());
}

// ---- the theme's registry and font-spec commands ----------------------------

class FixedFactory : public FontFactory {
public:
    Tsl::SmartPtr<Font> createFont(const Tsl::List<Tsl::String>& lParams) override {
        m_nParams = lParams.getCount();
        return new FixedFont();
    }
    int m_nParams = -1;
};

Tsl::List<Tsl::String> words(const char* psz) { return Tsl::String(psz).split(" "); }

TEST(ThemeFonts, ClassNamesAreCaseInsensitiveAndUnknownOnesAreNamed) {
    Tsl::SmartPtr<FixedFactory> pFirst = new FixedFactory(), pSecond = new FixedFactory();
    Theme::registerFontFactory("Fixed", pFirst);
    Theme::registerFontFactory("FIXED", pSecond);
    EXPECT_TRUE(Theme::createFont("fiXed", words("a b")));
    EXPECT_EQ(-1, pFirst->m_nParams);
    EXPECT_EQ(2, pSecond->m_nParams);
    Theme::unregisterFontFactory("fixed");
    Theme::unregisterFontFactory("fixed");
    try {
        Theme::createFont("Fixed", words("a"));
        FAIL();
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_STREQ("Can't find factory for font class 'Fixed'", e.getMessage());
    }
}

TEST(ThemeFonts, SpecCommandsSetTheFont) {
    struct Case {
        const char* pszAlign;
        int nFlags;
    } aligns[] = {{"textalign left right", 3},   {"textalign hcenter justify", 7}, {"textalign justify top", 15},
                  {"textalign middle bottom", 52}, {"textalign", 0}};
    FixedFont font;
    for (const Case& c : aligns) {
        EXPECT_TRUE(Theme::applyFontSetting(&font, words(c.pszAlign)));
        EXPECT_EQ(c.nFlags, font.getTextAlign()) << c.pszAlign;
    }
    EXPECT_TRUE(Theme::applyFontSetting(&font, words("textcolor 10 20 30")));
    EXPECT_TRUE(Theme::applyFontSetting(&font, words("shadowcolor 1 2 3")));
    EXPECT_TRUE(Theme::applyFontSetting(&font, words("shadowoffset 2")));
    EXPECT_TRUE(Theme::applyFontSetting(&font, words("drawshadow yes")));
    EXPECT_TRUE(Theme::applyFontSetting(&font, words("extralinespacing 4")));
    EXPECT_EQ(Color(10, 20, 30, 255), font.getTextColor());
    EXPECT_EQ(Color(1, 2, 3, 255), font.getShadowColor());
    EXPECT_EQ(2, font.getShadowOffset());
    EXPECT_FALSE(font.getDrawShadow());
    EXPECT_EQ(4, font.getExtraLineSpacing());
    EXPECT_FALSE(Theme::applyFontSetting(&font, words("copysettings Other")));
    EXPECT_THROW(Theme::applyFontSetting(&font, words("textcolor 1 2")), Tsl::FatalErrorException);
}

} // namespace
