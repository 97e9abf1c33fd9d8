// The exit, pause and start-again dialogs: each answer ends the dialog
// first and reaches the target once; close requests show one confirmation.
#include "screens_support.h"

#include "screens/miscdialogs.h"
#include "ui/button.h"

namespace {

TEST_F(ScreensTest, StartAgainEndsFirstThenCallsTheTargetOnceWithTheAnswer) {
    // continue, start new, cancel, and Escape (0) for cancel.
    for (int nAnswer : {11, 15, -1, 0}) {
        target->m_aCalls.clear();
        Tsl::SmartPtr<StartAgainDlg> pDialog = new StartAgainDlg(target.get(), -1, 15, 11, 0);
        app.pushMode(pDialog);
        // The target answers by pushing a mode, as the main menu does; it may
        // only do so once the dialog has left the top.
        Tsl::SmartPtr<GameMode> pPushed = new GameMode();
        target->m_fnOnCallback = [&](int) { app.pushMode(pPushed); };
        if (nAnswer == 0) press(SDLK_ESCAPE);
        else clickOn(controlOf(pDialog.get(), nAnswer));
        pDialog->onCallback(15, 0);  // a click queued behind the answer is dropped
        EXPECT_EQ(Calls({{nAnswer == 0 ? -1 : nAnswer, 0}}), target->m_aCalls);
        EXPECT_EQ(pPushed, app.getModeAt(0));
        target->m_fnOnCallback = nullptr;
        pPushed->endMode();
    }
}

TEST_F(ScreensTest, PauseResumesOnItsButtonOrOnSpace) {
    for (bool bKey : {false, true}) {
        target->m_aCalls.clear();
        Tsl::SmartPtr<GamePausedDlg> pDialog = new GamePausedDlg(target.get(), 7);
        app.pushMode(pDialog);
        if (bKey) press(SDLK_SPACE);
        else clickOn(pDialog->getButton(0));
        EXPECT_EQ(Calls({{7, 0}}), target->m_aCalls);
        EXPECT_EQ(target, app.getModeAt(0));
    }
}

class ConfirmingApp : public TestApp {
protected:
    Tsl::SmartPtr<GameMode> newExitConfirmMode() override { return new ExitConfirmMode(); }
};

TEST(ExitConfirmTest, TwoCloseRequestsShowOneConfirmationWhoseAnswersWork) {
    ConfirmingApp app;
    ASSERT_TRUE(app.init(800, 600, 0));
    app.pushMode(new GameMode());
    app.setConfirmExit(true);
    app.onQuit();
    app.onQuit();
    app.createExitConfirmMode();
    ASSERT_EQ(2, app.getModeCount());
    app.onKeyDown(SDLK_ESCAPE, 0);
    EXPECT_EQ(1, app.getModeCount());
    EXPECT_FALSE(app.isQuitRequested());
    // Once closed, the next request asks again; yes quits.
    app.onQuit();
    ASSERT_EQ(2, app.getModeCount());
    app.getModeAt(0)->onCallback(ExitConfirmMode::ID_YES, 0);
    EXPECT_TRUE(app.isQuitRequested());
}

} // namespace
