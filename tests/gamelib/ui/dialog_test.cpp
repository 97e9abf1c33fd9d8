// Dialogs: shade, centring, labels and images, the yes/no and message
// dialogs, the hand-over through a fade, and tooltips.
#include "ui_support.h"

#include "app/modetransition.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/control.h"
#include "ui/dialogmode.h"
#include "ui/label.h"
#include "ui/slider.h"
#include "ui/styles.h"
#include "ui/theme.h"

namespace {

typedef std::vector<std::pair<int, int>> Calls;

// A dialog holding one picture; it records its activations.
class BoxDialog : public DialogMode {
public:
    BoxDialog(Tsl::SmartPtr<Image> pImage, EventLog* pLog) : DialogMode(true), m_pImage(pImage), m_pLog(pLog) {}
    void init() override {
        DialogMode::init();
        getTable()->setFrameEnabled(true);
        m_pBox = new Sprite(m_pImage, 0, 0, 0);
        addSprite(m_pBox);
        getTable()->add(m_pBox, 0x24);
    }
    void onActivate() override {
        m_pLog->add("dialog.activate");
        DialogMode::onActivate();
    }
    Tsl::SmartPtr<Image> m_pImage;
    Tsl::SmartPtr<Sprite> m_pBox;
    EventLog* m_pLog;
};

struct DialogTest : UiTest {
    Tsl::SmartPtr<Button> buttonOf(CommonDialog* pDialog, int nIndex) { return pDialog->getButton(nIndex); }
    void clickOn(const Tsl::SmartPtr<Sprite>& pSprite) { click(pSprite->getX() + 3, pSprite->getY() + 3); }
};

TEST_F(DialogTest, DialogIsCentredOverAShadeAndKeepsTheModeBelowDrawnButStill) {
    Tsl::SmartPtr<BoxDialog> pDialog = new BoxDialog(picture(100, 50), &app.m_log);
    app.pushMode(pDialog);
    EXPECT_EQ(MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW, pDialog->getFlags());
    Tsl::SmartPtr<FrameStyle> pFrame = app.getTheme()->getFrameStyle("Default");
    int nWidth = 100 + pFrame->padding.left + pFrame->padding.right;
    int nHeight = 50 + pFrame->padding.top + pFrame->padding.bottom;
    EXPECT_EQ(Point(float((800 - nWidth) / 2), float((600 - nHeight) / 2)), pDialog->getTable()->getPosition());
    EXPECT_EQ(Point(float((800 - nWidth) / 2 + pFrame->padding.left), float((600 - nHeight) / 2 + pFrame->padding.top)),
              pDialog->m_pBox->getPosition());
    // The shade lies under everything else.
    Tsl::SmartPtr<Sprite> pShade = pDialog->getLayers().getFirst()->getFirst();
    EXPECT_EQ(GameMode::OVERLAY_Z_ORDER, pShade->getZOrder());
    EXPECT_EQ(800, pShade->getWidth());
    EXPECT_FLOAT_EQ(DialogMode::SHADE_ALPHA, pShade->getAlpha());

    pDialog->endMode();
    EXPECT_FALSE(pDialog->getTable()->isVisible());
}

TEST_F(DialogTest, AddLabelWrapsWideTextsToTheTextWidthAndAddImagePlacesAPicture) {
    Tsl::SmartPtr<DialogMode> pDialog = new DialogMode(false);
    app.pushMode(pDialog);
    EXPECT_TRUE(pDialog->getFlags() & MF_UPDATE_BELOW);
    pDialog->setTextWidth(100);
    Tsl::SmartPtr<Label> pShort = pDialog->addLabel("Hi", 0x24);
    Tsl::SmartPtr<Label> pLong = pDialog->addLabel("a rather long text that cannot fit", 0x24);
    EXPECT_EQ(0, pShort->getWrapWidth());
    EXPECT_EQ(100, pLong->getWrapWidth());
    EXPECT_LE(pLong->getWidth(), 101);
    Tsl::SmartPtr<Table> pOther = new Table(pDialog.get());
    Tsl::SmartPtr<Label> pBlack = pDialog->addLabel(pOther, "Hi", "Theme::DefaultBlack", 0);
    EXPECT_EQ(app.getTheme()->getFont("Theme::DefaultBlack"), pBlack->getFont());
    EXPECT_EQ(1, pOther->getCellCount(0));
    app.addImage("stamp", picture(30, 30));
    Tsl::SmartPtr<Sprite> pStamp = pDialog->addImage("stamp", 0x24);
    EXPECT_TRUE(pStamp->getOwnerMode() == pDialog.get());
    EXPECT_EQ(1, pDialog->getTable()->getCellCount(0));
}

TEST_F(DialogTest, YesNoEndsItselfAndReportsTheChosenIdOnce) {
    Tsl::SmartPtr<DlgYesNo> pDialog = new DlgYesNo(mode.get(), "Quit?", 100, 101);
    app.pushMode(pDialog);
    ASSERT_EQ(2, pDialog->getButtonCount());
    EXPECT_EQ("Yes", buttonOf(pDialog.get(), 0)->getText());
    // Centred: the buttons sit inside the screen, the second right of the first.
    Tsl::SmartPtr<Button> pNo = buttonOf(pDialog.get(), 1);
    EXPECT_GT(pNo->getX(), buttonOf(pDialog.get(), 0)->getX());
    EXPECT_GT(pNo->getX(), 0);
    EXPECT_LT(pNo->getX() + pNo->getWidth(), 800);
    clickOn(pNo);
    EXPECT_EQ(Calls({{101, 0}}), mode->m_aCalls);
    EXPECT_EQ(1, app.getModeCount());
    EXPECT_EQ(MS_ENDED, pDialog->getState());
}

// Nor does what follows of the click that closed it: a press before a frame
// is drawn, or a double-click's second one, next to it within the
// double-click time.
TEST_F(DialogTest, MessageReportsItsIdWhenClosed) {
    const struct { bool bDrawn; int nMs, nAside, nDowns; } cases[] = {
        {false, 0, 300, 0}, {true, 100, 2, 0}, {true, 100, 300, 1}, {true, 600, 2, 1}};
    for (const auto& c : cases) {
        mode->m_aCalls.clear();
        Tsl::SmartPtr<DlgMessage> pDialog = new DlgMessage(mode.get(), "Saved.", 55);
        app.pushMode(pDialog);
        ASSERT_EQ(1, pDialog->getButtonCount());
        // The mode below does not see clicks while the dialog is up.
        click(2, 2);
        EXPECT_EQ(0, mode->m_nModeDowns);
        Tsl::SmartPtr<Button> pOk = buttonOf(pDialog.get(), 0);
        clickOn(pOk);
        EXPECT_EQ(Calls({{55, 0}}), mode->m_aCalls);
        EXPECT_EQ(mode, app.getModeAt(0));
        if (c.bDrawn) app.runFrame();
        app.m_pFakePlatform->m_nTicks += c.nMs;
        click(pOk->getX() + 3 + c.nAside, pOk->getY() + 3);
        EXPECT_EQ(c.nDowns, mode->m_nModeDowns) << c.nMs << " ms, " << c.nAside << " px aside";
        mode->m_nModeDowns = 0;
    }
}

TEST_F(DialogTest, FadeHandsOverWithoutWakingTheModeBelowAndLaysTheDialogOut) {
    EventLog& log = app.m_log;
    Tsl::SmartPtr<RecordingMode> pBase = new RecordingMode("base", MF_ACTIVE | MF_VISIBLE, &log);
    app.pushMode(pBase);
    Tsl::SmartPtr<BoxDialog> pDialog = new BoxDialog(picture(40, 40), &log);
    app.setFrameRate(0);
    app.pushModeWithTransition(pDialog, new TrnFadeToBlack());
    log.clear();
    for (int i = 0; i < 100 && app.getModeAt(0) != pDialog; ++i) {
        app.m_pFakePlatform->m_nTicks += 125;
        app.runFrame();
    }
    ASSERT_EQ(pDialog, app.getModeAt(0));
    std::string sLog = log.joined();
    EXPECT_EQ(std::string::npos, sLog.find("base.activate")) << sLog;
    EXPECT_NE(std::string::npos, sLog.find("dialog.activate")) << sLog;
    EXPECT_GT(pDialog->getTable()->getPosition().x, 0.0f);
}

TEST_F(DialogTest, APressInterruptedByADialogLeavesNoControlBelowHeld) {
    Tsl::SmartPtr<HSlider> pSlider = new HSlider(5, 212, 0, 100, 0);
    pSlider->setPosition(100, 100);
    mode->addControl(pSlider);
    app.onMouseMove(106, 105, true);
    app.onMouseDown(MB_LEFT, 106, 105);
    // A dialog opens while the button is held; the release is not the mode's.
    Tsl::SmartPtr<DlgMessage> pMessage = new DlgMessage(mode.get(), "Time is up", 9);
    app.pushMode(pMessage);
    app.onMouseUp(MB_LEFT, 106, 105);
    clickOn(buttonOf(pMessage.get(), 0));
    ASSERT_EQ(mode, app.getModeAt(0));
    EXPECT_FALSE(pSlider->isPressed());
    // The mouse crossing the slider with no button down moves nothing.
    app.onMouseMove(300, 105, true);
    EXPECT_EQ(0, pSlider->getValue());
}

// Opens a message as soon as it is pressed.
class AlarmControl : public Control {
public:
    explicit AlarmControl(Tsl::SmartPtr<Image> pImage) : Control(3) { setImage(pImage); }
    void onPress(int, int) override {
        GameApp::getInstance()->pushMode(new DlgMessage(getOwnerMode(), "Alarm", 9));
    }
};

TEST_F(DialogTest, AControlWhosePressOpensADialogIsNotLeftHeld) {
    Tsl::SmartPtr<AlarmControl> pAlarm = new AlarmControl(picture(20, 20));
    pAlarm->setPosition(10, 10);
    mode->addControl(pAlarm);
    app.onMouseMove(15, 15, true);
    app.onMouseDown(MB_LEFT, 15, 15);
    ASSERT_EQ(2, app.getModeCount());
    app.onMouseUp(MB_LEFT, 15, 15);
    EXPECT_FALSE(pAlarm->isPressed());
}

TEST_F(DialogTest, TooltipShowsItsTextWhileTheMouseIsOverItsOwner) {
    Tsl::SmartPtr<Sprite> pOwner = new Sprite(picture(40, 40), 100, 100, 0);
    mode->addSprite(pOwner);
    pOwner->setTooltip("Pour a drink", Point(-1000.0f, -1000.0f));
    Tooltip* pTooltip = pOwner->getTooltip();
    ASSERT_NE(nullptr, pTooltip);
    Sprite* pTip = pTooltip->m_pSprite;
    ASSERT_FALSE(pTip->getImage().isNull());
    EXPECT_FALSE(pTip->isVisible());
    app.onMouseMove(110, 110, true);
    EXPECT_TRUE(pTip->isVisible());
    // Under its owner, centred.
    EXPECT_EQ(140 + 4, pTip->getY());
    EXPECT_EQ(120 - pTip->getImage()->getWidth() / 2, pTip->getX());
    app.onMouseMove(300, 300, true);
    EXPECT_FALSE(pTip->isVisible());
    // A dialog on top takes the mouse: the tooltip below goes.
    app.onMouseMove(110, 110, true);
    app.pushMode(new DialogMode(true));
    app.onMouseMove(110, 111, true);
    EXPECT_FALSE(pTip->isVisible());
    app.getModeAt(0)->endMode();

    // A hidden owner hides its tooltip; a placed tooltip goes where it is told.
    pOwner->setTooltip("Pour a drink", Point(5.0f, 6.0f));
    app.onMouseMove(110, 110, true);
    EXPECT_EQ(Point(5.0f, 6.0f), pTip->getPosition());
    pOwner->setVisible(false);
    app.onMouseMove(111, 110, true);
    EXPECT_FALSE(pTip->isVisible());

    // An empty text has no picture to show.
    pOwner->setVisible(true);
    pOwner->setTooltip("", Point(-1000.0f, -1000.0f));
    app.onMouseMove(110, 110, true);
    EXPECT_FALSE(pTip->isVisible());
}

} // namespace
