// Widgets under synthetic input: buttons, toggles, image buttons, radio
// groups, sliders, edit boxes and labels.
#include "ui_support.h"

#include "text/font.h"
#include "ui/button.h"
#include "ui/editbox.h"
#include "ui/label.h"
#include "ui/slider.h"
#include "ui/theme.h"

#include "test_folder.h"

#include <SDL/SDL_keysym.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace {

typedef std::vector<std::pair<int, int>> Calls;

struct WidgetTest : UiTest {
    template <class T>
    Tsl::SmartPtr<T> place(Tsl::SmartPtr<T> pControl, int nX, int nY) {
        pControl->setPosition(nX, nY);
        mode->addControl(pControl);
        return pControl;
    }
};

TEST_F(WidgetTest, ButtonFiresOnReleaseOverItAndNotWhenDraggedOff) {
    Tsl::SmartPtr<Button> pButton = place(Tsl::SmartPtr<Button>(new Button("OK", 7)), 100, 100);
    app.onMouseMove(105, 105, true);
    EXPECT_EQ(ImageButton::STATE_HIGHLIGHTED, pButton->getState());
    app.onMouseDown(MB_LEFT, 105, 105);
    EXPECT_EQ(ImageButton::STATE_PUSHED, pButton->getState());
    EXPECT_TRUE(mode->m_aCalls.empty());
    // Off and back on: still armed.
    app.onMouseMove(500, 500, true);
    EXPECT_EQ(ImageButton::STATE_NORMAL, pButton->getState());
    app.onMouseMove(106, 106, true);
    EXPECT_EQ(ImageButton::STATE_PUSHED, pButton->getState());
    app.onMouseUp(MB_LEFT, 106, 106);
    EXPECT_EQ(Calls({{7, 0}}), mode->m_aCalls);

    // Pressed, dragged off, released elsewhere: nothing, and no longer pressed.
    app.onMouseDown(MB_LEFT, 106, 106);
    app.onMouseMove(500, 500, true);
    app.onMouseUp(MB_LEFT, 500, 500);
    EXPECT_EQ(1u, mode->m_aCalls.size());
    EXPECT_FALSE(pButton->isPressed());
    app.onMouseMove(106, 106, true);
    EXPECT_EQ(ImageButton::STATE_HIGHLIGHTED, pButton->getState());

    // The right button does not click.
    app.onMouseDown(MB_RIGHT, 106, 106);
    app.onMouseUp(MB_RIGHT, 106, 106);
    EXPECT_EQ(1u, mode->m_aCalls.size());
}

// A release is a click only for the button the press began on.
TEST_F(WidgetTest, AReleaseOverAButtonThatWasNeverPressedDoesNothing) {
    Tsl::SmartPtr<Button> pOk = place(Tsl::SmartPtr<Button>(new Button("OK", 7)), 100, 100);
    Tsl::SmartPtr<Button> pOther = place(Tsl::SmartPtr<Button>(new Button("No", 8)), 300, 100);
    struct Case {
        const char* pszWhat;
        int nPressX;
    } aCases[] = {{"pressed on empty space", 600}, {"pressed on the other button", 305}};
    for (const Case& c : aCases) {
        app.onMouseMove(c.nPressX, 105, true);
        app.onMouseDown(MB_LEFT, c.nPressX, 105);
        app.onMouseMove(105, 105, true);
        EXPECT_NE(ImageButton::STATE_PUSHED, pOk->getState()) << c.pszWhat;
        app.onMouseUp(MB_LEFT, 105, 105);
        EXPECT_TRUE(mode->m_aCalls.empty()) << c.pszWhat;
        EXPECT_FALSE(pOk->isPressed()) << c.pszWhat;
        EXPECT_FALSE(pOther->isPressed()) << c.pszWhat;
    }
    // The mouse release alone, with no press before it.
    app.onMouseUp(MB_LEFT, 105, 105);
    EXPECT_TRUE(mode->m_aCalls.empty());
    EXPECT_EQ(ImageButton::STATE_HIGHLIGHTED, pOk->getState());
}

TEST_F(WidgetTest, DisabledButtonTakesNoClicksAndShowsItsDisabledLook) {
    Tsl::SmartPtr<Button> pButton = place(Tsl::SmartPtr<Button>(new Button("OK", 7)), 100, 100);
    Tsl::SmartPtr<Image> pNormal = pButton->getImage();
    pButton->setEnabled(false);
    Tsl::SmartPtr<Image> pDisabled = pButton->getImage();
    EXPECT_NE(pNormal, pDisabled);
    click(105, 105);
    EXPECT_TRUE(mode->m_aCalls.empty());
    EXPECT_EQ(1, mode->m_nModeDowns);
    pButton->setEnabled(true);
    EXPECT_NE(pDisabled, pButton->getImage());
    click(105, 105);
    EXPECT_EQ(1u, mode->m_aCalls.size());
}

TEST_F(WidgetTest, ButtonSizesItselfToItsTextInTheStyle) {
    Tsl::SmartPtr<Button> pShort = new Button("OK", 1);
    Tsl::SmartPtr<Button> pLong = new Button("Cancel all", 2);
    Tsl::SmartPtr<Font> pFont = app.getTheme()->getFont("Theme::Button");
    EXPECT_EQ(pLong->getWidth() - pShort->getWidth(), pFont->getTextWidth("Cancel all") - pFont->getTextWidth("OK"));
    EXPECT_EQ(pShort->getHeight(), pLong->getHeight());
    // An unknown style falls back to the default one.
    pLong->setStyle("NoSuchStyle");
    EXPECT_EQ(pShort->getHeight(), pLong->getHeight());
}

TEST_F(WidgetTest, ToggleButtonFlipsAndReportsItsState) {
    Tsl::SmartPtr<ToggleButton> pToggle = place(Tsl::SmartPtr<ToggleButton>(new ToggleButton("Sound", 3)), 0, 0);
    EXPECT_FALSE(pToggle->isToggled());
    click(5, 5);
    EXPECT_TRUE(pToggle->isToggled());
    EXPECT_EQ(ImageButton::STATE_PUSHED, pToggle->getState());
    click(5, 5);
    EXPECT_FALSE(pToggle->isToggled());
    EXPECT_EQ(Calls({{3, 1}, {3, 0}}), mode->m_aCalls);
}

TEST_F(WidgetTest, CustomButtonShowsThePictureOfItsState) {
    Tsl::SmartPtr<Image> aLooks[4] = {picture(20, 20), picture(20, 20), picture(20, 20), nullptr};
    Tsl::SmartPtr<CustomButton> pButton =
        place(Tsl::SmartPtr<CustomButton>(new CustomButton(9, aLooks[0], aLooks[1], aLooks[2], aLooks[3])), 50, 50);
    EXPECT_EQ(aLooks[0], pButton->getImage());
    app.onMouseMove(55, 55, true);
    EXPECT_EQ(aLooks[1], pButton->getImage());
    app.onMouseDown(MB_LEFT, 55, 55);
    EXPECT_EQ(aLooks[2], pButton->getImage());
    app.onMouseUp(MB_LEFT, 55, 55);
    EXPECT_EQ(aLooks[1], pButton->getImage());
    // No disabled picture: the normal one stands in.
    pButton->setEnabled(false);
    EXPECT_EQ(aLooks[0], pButton->getImage());
    EXPECT_EQ(Calls({{9, 0}}), mode->m_aCalls);
}

TEST_F(WidgetTest, RadioGroupKeepsOneOptionChosen) {
    Tsl::SmartPtr<Image> pClear = picture(16, 16, Color(0, 0, 0)), pChosen = picture(16, 16, Color(255, 0, 0));
    RadioGroup group;
    Tsl::SmartPtr<Table> pTable = new Table(mode.get());
    for (int i = 0; i < 3; ++i) {
        pTable->addCell(1);
        Tsl::SmartPtr<RadioButton> pOption = new RadioButton(mode.get(), pClear, pChosen, "Choice", 2000 + i);
        pTable->add(pOption, 9);
        group.append(pOption);
    }
    pTable->setColumnSpacing(20);
    pTable->layout();
    EXPECT_EQ(-1, group.getSelectedId());

    // A click on the second caption chooses it and reports its id.
    Tsl::SmartPtr<Sprite> pCaption = group.getAt(1)->getCaption();
    click(pCaption->getX() + 2, pCaption->getY() + 2);
    EXPECT_EQ(2001, group.getSelectedId());
    EXPECT_EQ(pChosen, group.getAt(1)->getBox()->getImage());
    EXPECT_EQ(Calls({{2001, 0}}), mode->m_aCalls);

    // A click on the third box moves the choice.
    Tsl::SmartPtr<Sprite> pBox = group.getAt(2)->getBox();
    click(pBox->getX() + 2, pBox->getY() + 2);
    EXPECT_EQ(2002, group.getSelectedId());
    EXPECT_FALSE(group.getAt(1)->isSelected());

    EXPECT_TRUE(group.select(2000));
    EXPECT_TRUE(group.getAt(0)->isSelected());
    EXPECT_FALSE(group.getAt(2)->isSelected());
    EXPECT_EQ(pClear, group.getAt(2)->getBox()->getImage());
    EXPECT_FALSE(group.select(1234));
    EXPECT_EQ(-1, group.getSelectedId());
}

TEST_F(WidgetTest, SliderFollowsTheDragAndReportsEveryNewValue) {
    Tsl::SmartPtr<HSlider> pSlider = place(Tsl::SmartPtr<HSlider>(new HSlider(5, 212, 0, 100, 0)), 100, 100);
    // A 12-pixel thumb travels 200 pixels: 2 pixels a step.
    int nMid = 100 + 6 + 100;
    app.onMouseMove(nMid, 105, true);
    app.onMouseDown(MB_LEFT, nMid, 105);
    EXPECT_EQ(50, pSlider->getValue());
    // Dragged past the end (off the slider): clamped to the maximum.
    app.onMouseMove(700, 300, true);
    EXPECT_EQ(100, pSlider->getValue());
    app.onMouseMove(100 + 6 + 20, 300, true);
    EXPECT_EQ(10, pSlider->getValue());
    app.onMouseUp(MB_LEFT, 100 + 6 + 20, 300);
    // No longer dragging.
    app.onMouseMove(700, 105, true);
    EXPECT_EQ(10, pSlider->getValue());
    EXPECT_EQ(Calls({{5, 50}, {5, 100}, {5, 10}}), mode->m_aCalls);

    // Grabbing the thumb off its centre does not make it jump.
    int nThumb = 100 + pSlider->getThumbOffset();
    app.onMouseMove(nThumb + 4, 105, true);
    app.onMouseDown(MB_LEFT, nThumb + 4, 105);
    EXPECT_EQ(10, pSlider->getValue());
    app.onMouseUp(MB_LEFT, nThumb + 4, 105);

    pSlider->setValue(500);
    EXPECT_EQ(100, pSlider->getValue());
}

// A 12-pixel thumb on a 19-pixel slider travels 7 pixels for the values 0 to
// 3: a value every 2.33 pixels, so most pixels lie between two values and the
// nearer one counts. A move that lands on the same value reports nothing.
TEST_F(WidgetTest, SliderRoundsOddPixelOffsetsToTheNearestValueAndReportsOnlyChanges) {
    Tsl::SmartPtr<HSlider> pSlider = place(Tsl::SmartPtr<HSlider>(new HSlider(5, 19, 0, 3, 0)), 100, 100);
    // Pressed at the far end, away from the thumb: it jumps there.
    app.onMouseMove(118, 105, true);
    app.onMouseDown(MB_LEFT, 118, 105);
    const int anValueAt[] = {0, 0, 1, 1, 2, 2, 3, 3};  // by pixel of travel: 0, 0.43, 0.86, 1.29 ...
    for (int nAlong = 0; nAlong < 8; ++nAlong) {
        app.onMouseMove(100 + 6 + nAlong, 105, true);
        EXPECT_EQ(anValueAt[nAlong], pSlider->getValue()) << "pixel " << nAlong;
    }
    app.onMouseUp(MB_LEFT, 107, 105);
    EXPECT_EQ(Calls({{5, 3}, {5, 0}, {5, 1}, {5, 2}, {5, 3}}), mode->m_aCalls);

    // Every value's thumb, grabbed where it is drawn, keeps its value.
    for (int nValue = 0; nValue <= 3; ++nValue) {
        pSlider->setValue(nValue);
        int nThumb = 100 + pSlider->getThumbOffset();
        app.onMouseMove(nThumb, 105, true);
        app.onMouseDown(MB_LEFT, nThumb, 105);
        app.onMouseUp(MB_LEFT, nThumb, 105);
        EXPECT_EQ(nValue, pSlider->getValue());
    }
    EXPECT_EQ(5u, mode->m_aCalls.size());
}

TEST_F(WidgetTest, VerticalSliderHasItsMaximumAtTheTop) {
    Tsl::SmartPtr<VSlider> pSlider = place(Tsl::SmartPtr<VSlider>(new VSlider(6, 120, 0, 10, 0)), 10, 10);
    click(15, 12);
    EXPECT_EQ(10, pSlider->getValue());
    click(15, 10 + 119);
    EXPECT_EQ(0, pSlider->getValue());
}

struct EditBoxTest : WidgetTest {
    Tsl::SmartPtr<EditBox> pEdit;
    void SetUp() override {
        WidgetTest::SetUp();
        pEdit = place(Tsl::SmartPtr<EditBox>(new EditBox(11, 120, 6)), 100, 100);
    }
    void type(const char* pszText) {
        for (const char* p = pszText; *p; ++p) app.onChar(static_cast<unsigned char>(*p));
    }
    void key(int nKey) {
        // As the platform sends it: the key, and its character when the key was not taken.
        if (!app.onKeyDown(nKey, 0) && nKey < 128) app.onChar(nKey);
    }
};

TEST_F(EditBoxTest, TypingNeedsTheFocusThatAClickGives) {
    type("ab");
    EXPECT_EQ("", Tsl::String(pEdit->getText()));
    click(105, 105);
    EXPECT_TRUE(pEdit->hasFocus());
    type("abc");
    key(SDLK_BACKSPACE);
    key(SDLK_LEFT);
    type("x");
    EXPECT_EQ("axb", Tsl::String(pEdit->getText()));
    key(SDLK_HOME);
    key(SDLK_DELETE);
    EXPECT_EQ("xb", Tsl::String(pEdit->getText()));
    key(SDLK_END);
    key(SDLK_RETURN);
    EXPECT_EQ(Calls({{11, 0}}), mode->m_aCalls);
    // Six characters at most.
    type("12345");
    EXPECT_EQ("xb1234", Tsl::String(pEdit->getText()));
    // Control characters are not text.
    app.onChar(7);
    EXPECT_EQ(6, pEdit->getCharacterCount());
}

TEST_F(EditBoxTest, WideCharactersAreStoredAsUtf8AndErasedWhole) {
    click(105, 105);
    app.onChar(0xE9);
    app.onChar(0x20AC);
    EXPECT_EQ("\xC3\xA9\xE2\x82\xAC", Tsl::String(pEdit->getText()));
    EXPECT_EQ(2, pEdit->getCharacterCount());
    key(SDLK_LEFT);
    EXPECT_EQ(2, pEdit->getCaret());
    key(SDLK_BACKSPACE);
    EXPECT_EQ("\xE2\x82\xAC", Tsl::String(pEdit->getText()));
    EXPECT_EQ(0, pEdit->getCaret());
}

TEST_F(EditBoxTest, FocusMovesBetweenBoxesAndADisabledBoxGivesItUp) {
    Tsl::SmartPtr<EditBox> pOther = place(Tsl::SmartPtr<EditBox>(new EditBox(12, 120)), 100, 200);
    click(105, 105);
    Tsl::SmartPtr<Image> pFocused = pEdit->getImage();
    click(105, 205);
    EXPECT_FALSE(pEdit->hasFocus());
    EXPECT_TRUE(pOther->hasFocus());
    // The caret went with the focus.
    EXPECT_NE(pFocused, pEdit->getImage());
    type("q");
    EXPECT_EQ("q", Tsl::String(pOther->getText()));
    EXPECT_EQ("", Tsl::String(pEdit->getText()));

    pOther->setEnabled(false);
    EXPECT_FALSE(pOther->hasFocus());
    EXPECT_TRUE(mode->getFocus().isNull());
    click(105, 205);
    EXPECT_FALSE(pOther->hasFocus());
}

TEST_F(EditBoxTest, AHiddenBoxTakesNoTyping) {
    click(105, 105);
    pEdit->setVisible(false);
    type("ab");
    key(SDLK_RETURN);
    EXPECT_EQ("", Tsl::String(pEdit->getText()));
    EXPECT_TRUE(mode->m_aCalls.empty());
}

TEST_F(WidgetTest, LabelSizesItsBoxToTheTextTheWrapAndTheLines) {
    Tsl::SmartPtr<Font> pFont = app.getTheme()->getFont("Theme::Default");
    int nShadow = pFont->getDrawShadow() ? pFont->getShadowOffset() : 0;
    int nLine = pFont->getHeight();
    Tsl::SmartPtr<Label> pLabel = new Label("aaaa bbbb");
    EXPECT_EQ(pFont->getTextWidth("aaaa bbbb") + nShadow, pLabel->getWidth());
    EXPECT_EQ(nLine + nShadow, pLabel->getHeight());

    pLabel->setWrapWidth(pFont->getTextWidth("aaaa "), false);
    EXPECT_EQ(pFont->getTextWidth("aaaa") + nShadow, pLabel->getWidth());
    EXPECT_EQ(2 * nLine + nShadow, pLabel->getHeight());
    pLabel->setNumLines(3);
    EXPECT_EQ(3 * nLine + nShadow, pLabel->getHeight());
    pLabel->setWrapWidth(200, true);
    EXPECT_EQ(200 + nShadow, pLabel->getWidth());

    Tsl::SmartPtr<Label> pFixed = new Label("x", 5, 6, 7, 150, false);
    EXPECT_EQ(150 + nShadow, pFixed->getWidth());
    EXPECT_EQ(7, pFixed->getZOrder());
    EXPECT_FALSE(pFixed->isEnabled());

    // Unchanged text keeps the picture; a colour leaves the theme's font alone.
    Tsl::SmartPtr<Image> pBefore = pLabel->getImage();
    pLabel->setText("aaaa bbbb");
    EXPECT_EQ(pBefore, pLabel->getImage());
    pLabel->setTextColor(Color(255, 0, 0));
    EXPECT_EQ(Color(255, 0, 0), pLabel->getFont()->getTextColor());
    EXPECT_EQ(Color(255, 255, 255), app.getTheme()->getFont("Theme::Default")->getTextColor());
    EXPECT_EQ("aaaa bbbb", pLabel->getText());
}

TEST_F(WidgetTest, LabelDrawsCentredTextInItsBox) {
    Tsl::SmartPtr<Label> pLabel = new Label("i");
    pLabel->setFont(app.getTheme()->getFont("Theme::DefaultBlack"));
    pLabel->setWrapWidth(40, true);
    pLabel->setTextAlign(Font::ALIGN_HCENTER);
    Tsl::SmartPtr<Image> pImage = pLabel->getImage();
    // Some ink in the middle, none at the edges.
    int nInk = 0, nEdgeInk = 0;
    for (int y = 0; y < pImage->getHeight(); ++y)
        for (int x = 0; x < pImage->getWidth(); ++x) {
            bool bInk = pImage->getColorAt(x, y).a != 0;
            if (bInk && (x < 12 || x >= 28)) ++nEdgeInk;
            nInk += bInk;
        }
    EXPECT_GT(nInk, 0);
    EXPECT_EQ(0, nEdgeInk);
}

// A label does nothing with a click: the mode under it gets the press and
// the release (a radio option's caption, which chooses it, is tested above).
TEST_F(WidgetTest, ALabelLetsClicksThroughToTheMode) {
    Tsl::SmartPtr<Label> pLabel = place(Tsl::SmartPtr<Label>(new Label("Name")), 100, 100);
    click(102, 102);
    EXPECT_EQ(1, mode->m_nModeDowns);
    EXPECT_EQ(1, mode->m_nModeUps);
}

TEST_F(WidgetTest, ALabelOfAGivenSizeAlignsItsTextInside) {
    Tsl::SmartPtr<Label> pLabel = new Label("i");
    pLabel->setFont(app.getTheme()->getFont("Theme::DefaultBlack"));
    pLabel->setTextAlign(Font::ALIGN_MIDDLE);
    pLabel->setSize(150, 50);
    EXPECT_EQ(Point(150.0f, 50.0f), pLabel->getSize());
    // Ink in the middle only.
    Tsl::SmartPtr<Image> pImage = pLabel->getImage();
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 150; ++x)
            if (pImage->getColorAt(x, y).a) {
                EXPECT_TRUE(x > 60 && x < 90 && y > 10 && y < 40) << x << "," << y;
            }
}

// A text too large for one picture (a damaged name, a runaway string) is
// drawn cut to the largest picture, its lines ending in dots, and logged
// once however often it is drawn again: in labels, buttons and tooltips.
TEST_F(WidgetTest, TextsTooLargeForAPictureAreDrawnCutAndLoggedOnce) {
    std::string sLog = testPath("widget_test.log");
    GameApp::openLog(sLog.c_str());
    const int MAX = Font::MAX_PICTURE_SIDE;
    std::string sWord(3000, 'W'), sWords, sLines;
    for (int i = 0; i < 1000; ++i) {
        sWords += "Wide ";
        sLines += "line\n";
    }
    auto controlPicture = [](Tsl::SmartPtr<Control> pControl) { return pControl->getImage(); };
    // Each drawn twice: the second time must not log again.
    auto labelPicture = [&](const std::string& sText) {
        Tsl::SmartPtr<Label> pLabel = new Label(sText.c_str());
        pLabel->setTextAlign(Font::ALIGN_RIGHT);
        return pLabel->getImage();
    };
    auto tooltipPicture = [&](const std::string& sText) {
        Tooltip* pTooltip = mode->addTooltip(sText.c_str(), Rect(0, 0, 10, 10), Point(-1000.0f, -1000.0f));
        mode->setTooltipStyle(pTooltip, "Tooltip");
        return pTooltip->m_pSprite->getImage();
    };
    struct Case {
        const char* pszWhat;
        std::function<Tsl::SmartPtr<Image>()> fnDraw;
        bool bWide, bTall;
    } aCases[] = {
        {"word", [&] { return labelPicture(sWord); }, true, false},
        {"words", [&] { return labelPicture(sWords); }, true, false},
        {"lines", [&] { return labelPicture(sLines); }, false, true},
        {"box", [&] { return controlPicture(new Label("x", 0, 0, 0, 100000, true)); }, true, false},
        {"button", [&] { return controlPicture(new Button(sWord.c_str(), 1)); }, true, false},
        {"tooltip word", [&] { return tooltipPicture(sWord); }, true, false},
        {"tooltip lines", [&] { return tooltipPicture(sLines); }, false, true},
    };
    int nLogged = 0;
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        Tsl::SmartPtr<Image> pImage = c.fnDraw();
        EXPECT_LE(pImage->getWidth(), MAX);
        EXPECT_LE(pImage->getHeight(), MAX);
        EXPECT_EQ(c.bWide, pImage->getWidth() > MAX - 100);
        EXPECT_EQ(c.bTall, pImage->getHeight() > MAX - 100);
        nLogged += c.pszWhat != std::string("box");
    }
    // The dots end a cut line.
    Tsl::SmartPtr<Font> pFont = app.getTheme()->getFont("Theme::Default");
    Tsl::String sCut = pFont->cutToWidth(sWord.c_str(), 100);
    EXPECT_EQ("...", sCut.right(3));
    EXPECT_LE(pFont->getTextWidth(sCut), 100);
    EXPECT_GT(pFont->getTextWidth(sCut + "W"), 100);
    EXPECT_EQ("", pFont->cutToWidth(sWord.c_str(), 2));
    GameApp::closeLog();
    std::ifstream in(sLog);
    std::stringstream text;
    text << in.rdbuf();
    std::string sText = text.str();
    int nLines = 0;
    for (size_t n = sText.find("drawn cut"); n != std::string::npos; n = sText.find("drawn cut", n + 1)) ++nLines;
    EXPECT_EQ(nLogged, nLines) << sText;
}

// A label in a justify font looks as the font's own layout of the text.
TEST_F(WidgetTest, AJustifiedLabelIsLaidOutAsTheFontLaysOutItsText) {
    Tsl::SmartPtr<Font> pFont = app.getTheme()->getFont("Theme::DefaultBlack")->clone();
    pFont->setTextAlign(Font::ALIGN_JUSTIFY);
    int nWidth = pFont->getTextWidth("aa bb cc") + 7;
    for (const char* pszText : {"aa bb cc dd ee ff", "aa bb cc dd\nee ff\n", "aa b"}) {
        Tsl::SmartPtr<Label> pLabel = new Label(pszText);
        pLabel->setFont(pFont);
        pLabel->setWrapWidth(nWidth, true);
        Tsl::SmartPtr<Image> pLabelImage = pLabel->getImage();
        Tsl::SmartPtr<Image> pExpected = picture(pLabelImage->getWidth(), pLabelImage->getHeight(), Color(0, 0, 0, 0));
        pFont->drawText(pExpected, Rect(0, 0, nWidth, pLabelImage->getHeight()), pszText);
        int nDiffering = 0;
        for (int y = 0; y < pExpected->getHeight(); ++y)
            for (int x = 0; x < pExpected->getWidth(); ++x)
                nDiffering += pExpected->getColorAt(x, y) != pLabelImage->getColorAt(x, y);
        EXPECT_EQ(0, nDiffering) << pszText;
    }
}

} // namespace
