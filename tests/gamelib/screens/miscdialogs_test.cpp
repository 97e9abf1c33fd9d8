// The exit, pause and start-again dialogs: each answer ends the dialog
// first and reaches the target once; close requests show one confirmation.
#include "screens_support.h"

#include "screens/miscdialogs.h"
#include "ui/button.h"

namespace {

struct MiscDialogsTest : ScreensTest {
    Tsl::SmartPtr<Button> buttonWithId(CommonDialog* pDialog, int nId) {
        for (int i = 0; i < pDialog->getButtonCount(); ++i)
            if (pDialog->getButton(i)->getId() == nId) return pDialog->getButton(i);
        return nullptr;
    }
};

TEST_F(MiscDialogsTest, StartAgainEndsFirstThenCallsTheTargetOnceWithTheAnswer) {
    struct Case {
        const char* pszHow;
        int nExpected;
    } aCases[] = {{"continue", 11}, {"new", 15}, {"cancel", -1}, {"escape", -1}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszHow);
        target->m_aCalls.clear();
        Tsl::SmartPtr<StartAgainDlg> pDialog = new StartAgainDlg(target.get(), -1, 15, 11, 0);
        app.pushMode(pDialog);
        ASSERT_EQ(3, pDialog->getButtonCount());
        // The target answers by pushing a mode, as the main menu does; it may
        // only do so once the dialog has left the top.
        Tsl::SmartPtr<GameMode> pPushed = new GameMode();
        target->m_fnOnCallback = [&](int) { app.pushMode(pPushed); };
        std::string sHow = c.pszHow;
        if (sHow == "escape") press(SDLK_ESCAPE);
        else clickOn(buttonWithId(pDialog.get(), c.nExpected));
        // A click queued behind the first answer is dropped.
        pDialog->onCallback(15, 0);
        EXPECT_EQ(Calls({{c.nExpected, 0}}), target->m_aCalls);
        EXPECT_EQ(MS_ENDED, pDialog->getState());
        EXPECT_EQ(pPushed, app.getModeAt(0));
        target->m_fnOnCallback = nullptr;
        pPushed->endMode();
    }
}

TEST_F(MiscDialogsTest, PauseResumesOnItsButtonOrOnSpace) {
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
    Tsl::SmartPtr<ExitConfirmMode> pFirst = Tsl::SmartPtr<ExitConfirmMode>::dynamicCast(app.getModeAt(0));
    ASSERT_TRUE(pFirst);
    app.onKeyDown(SDLK_ESCAPE, 0);
    EXPECT_EQ(1, app.getModeCount());
    EXPECT_FALSE(app.isQuitRequested());
    // Once closed, the next request asks again; yes quits.
    app.onQuit();
    ASSERT_EQ(2, app.getModeCount());
    Tsl::SmartPtr<ExitConfirmMode> pSecond = Tsl::SmartPtr<ExitConfirmMode>::dynamicCast(app.getModeAt(0));
    ASSERT_TRUE(pSecond && pSecond != pFirst);
    pSecond->onCallback(ExitConfirmMode::ID_YES, 0);
    EXPECT_TRUE(app.isQuitRequested());
    EXPECT_EQ(1, app.getModeCount());
}

} // namespace
