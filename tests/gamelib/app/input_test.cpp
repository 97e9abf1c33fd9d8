// How input travels down the mode stack and reaches controls.
#include "fakes.h"

#include <SDL/SDL_keysym.h>
#include <gtest/gtest.h>

namespace {

// A control that covers a rectangle and records its hooks.
class RecordingControl : public Sprite {
public:
    RecordingControl(const char* pszName, int nZ, EventLog* pLog, bool bHandle)
        : Sprite(0, 0, nZ), m_sName(pszName), m_pLog(pLog), m_bHandle(bHandle) {}
    bool hitTest(const Point& p) override { return p.x >= 0 && p.x < 100 && p.y >= 0 && p.y < 100; }
    void onMouseEnter() override { m_pLog->add(m_sName + ".enter"); }
    void onMouseLeave() override { m_pLog->add(m_sName + ".leave"); }
    bool onMouseDown(int nButton) override {
        m_pLog->add(m_sName + ".down" + std::to_string(nButton));
        return m_bHandle;
    }
    bool onKeyDown(int nKey, int) override {
        m_pLog->add(m_sName + ".key" + std::to_string(nKey));
        return m_bHandle;
    }
    void onFocusGained() override { m_pLog->add(m_sName + ".focus"); }
    void onFocusLost() override { m_pLog->add(m_sName + ".blur"); }

    std::string m_sName;
    EventLog* m_pLog;
    bool m_bHandle;
};

struct InputTest : ::testing::Test {
    TestApp app;
    EventLog& log = app.m_log;

    void SetUp() override { ASSERT_TRUE(app.init(800, 600, 0)); }
    Tsl::SmartPtr<RecordingMode> push(const char* pszName, unsigned int nFlags, bool bHandle = false) {
        Tsl::SmartPtr<RecordingMode> pMode = new RecordingMode(pszName, nFlags, &log);
        pMode->m_bHandle = bHandle;
        app.pushMode(pMode);
        return pMode;
    }
};

TEST_F(InputTest, MouseDownStopsWhenHandledOrAtAModeThatKeepsItsInput) {
    push("c", MF_ACTIVE, true);
    push("b", MF_ACTIVE | MF_INPUT_BELOW);
    push("a", MF_INPUT_BELOW);  // inactive: skipped but passes on
    log.clear();
    app.onMouseDown(MB_LEFT, 5, 5);
    EXPECT_EQ("b.down1 c.down1", log.joined());

    push("top", MF_ACTIVE);
    log.clear();
    app.onMouseDown(MB_RIGHT, 5, 5);
    EXPECT_EQ("top.down4", log.joined());
}

TEST_F(InputTest, TheReleaseAfterAPushOrPopIsIgnoredUntilTheNextPress) {
    Tsl::SmartPtr<RecordingMode> pBase = push("base", MF_ACTIVE);
    app.onMouseDown(MB_LEFT, 1, 1);
    push("dialog", MF_ACTIVE);  // pushed by the click
    log.clear();
    app.onMouseUp(MB_LEFT, 1, 1);
    app.onKeyUp(SDLK_a, 0);
    EXPECT_EQ("", log.joined());
    app.onMouseDown(MB_LEFT, 1, 1);
    app.onMouseUp(MB_LEFT, 1, 1);
    EXPECT_EQ("dialog.down1 dialog.up1", log.joined());
    // Key releases wait for a key press, not a mouse press.
    log.clear();
    app.endMode(app.getModeAt(0));
    log.clear();
    app.onKeyUp(SDLK_a, 0);
    app.onKeyDown(SDLK_a, 0);
    app.onKeyUp(SDLK_a, 0);
    EXPECT_EQ("base.key97 base.keyup97", log.joined());
}

TEST_F(InputTest, TheControlUnderTheMouseGetsThePressFirst) {
    Tsl::SmartPtr<RecordingMode> pMode = push("mode", MF_ACTIVE);
    Tsl::SmartPtr<RecordingControl> pLow = new RecordingControl("low", 1, &log, false);
    Tsl::SmartPtr<RecordingControl> pHigh = new RecordingControl("high", 5, &log, true);
    pMode->addControl(pHigh);
    pMode->addControl(pLow);
    log.clear();
    app.onMouseDown(MB_LEFT, 10, 10);
    EXPECT_EQ("high.down1", log.joined());
    pHigh->setVisible(false);
    log.clear();
    app.onMouseDown(MB_LEFT, 10, 10);
    EXPECT_EQ("low.down1 mode.down1", log.joined());
    log.clear();
    app.onMouseDown(MB_LEFT, 500, 10);
    EXPECT_EQ("mode.down1", log.joined());
}

TEST_F(InputTest, HoverEntersAndLeavesAndModesBelowLoseIt) {
    Tsl::SmartPtr<RecordingMode> pMode = push("mode", MF_ACTIVE);
    Tsl::SmartPtr<RecordingControl> pButton = new RecordingControl("button", 0, &log, false);
    pMode->addControl(pButton);
    log.clear();
    app.onMouseMove(10, 10, true);
    app.onMouseMove(20, 20, true);
    app.onMouseMove(200, 20, true);
    EXPECT_EQ("button.enter button.leave", log.joined());
    EXPECT_FALSE(pMode->getHoverControl());

    app.onMouseMove(10, 10, true);
    push("dialog", MF_ACTIVE);
    log.clear();
    app.onMouseMove(10, 10, true);
    EXPECT_EQ("button.leave", log.joined());
}

TEST_F(InputTest, KeysGoToTheFocusedControlThenTheModesThenTheHook) {
    Tsl::SmartPtr<RecordingMode> pMode = push("mode", MF_ACTIVE);
    Tsl::SmartPtr<RecordingControl> pEdit = new RecordingControl("edit", 0, &log, false);
    pMode->addControl(pEdit);
    pMode->setFocus(pEdit);
    log.clear();
    EXPECT_FALSE(app.onKeyDown(SDLK_b, 0));
    EXPECT_EQ("edit.key98 mode.key98", log.joined());
    pMode->removeSprite(pEdit);
    EXPECT_EQ("edit.key98 mode.key98 edit.blur", log.joined());
    EXPECT_FALSE(pMode->getFocus());
}

TEST_F(InputTest, F12AndAltReturnToggleFullScreenAndAreNotPassedOn) {
    push("mode", MF_ACTIVE);
    log.clear();
    EXPECT_TRUE(app.onKeyDown(SDLK_F12, 0));
    EXPECT_TRUE(app.onKeyDown(SDLK_RETURN, KMOD_LALT));
    EXPECT_FALSE(app.onKeyDown(SDLK_RETURN, 0));
    EXPECT_EQ("toggle toggle mode.key13", log.joined());
}

TEST_F(InputTest, CloseRequestQuitsOrAsksForConfirmation) {
    app.onQuit();
    EXPECT_TRUE(app.isQuitRequested());
}

TEST_F(InputTest, ActivationRestoresFullScreenAndTellsEveryMode) {
    struct AppMode : RecordingMode {
        using RecordingMode::RecordingMode;
        void onAppActivate() override { m_pLog->add(m_sName + ".appon"); }
        void onAppDeactivate() override { m_pLog->add(m_sName + ".appoff"); }
    };
    app.pushMode(new AppMode("a", MF_ACTIVE, &log));
    app.pushMode(new AppMode("b", MF_ACTIVE, &log));
    IVideoDriver* pVideo = app.getVideoDriver();
    pVideo->setFullScreen(true);
    log.clear();
    app.onDeactivate();
    pVideo->setFullScreen(false);  // the system took the display away
    app.onActivate();
    EXPECT_TRUE(pVideo->isFullScreen());
    EXPECT_EQ("b.appoff a.appoff b.appon a.appon", log.joined());
}

} // namespace
