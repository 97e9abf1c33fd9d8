// The standard options dialog: rows by mask, settings written by its rows,
// the mode to notify told once after the dialog has ended.
#include "screens_support.h"

#include "screens/gameoptions.h"
#include "screens/names.h"
#include "ui/button.h"
#include "ui/slider.h"

namespace {

typedef GameOptionsDialog God;

struct GameOptionsTest : ScreensTest {
    Tsl::SmartPtr<GameOptionsDialog> open(GameMode* pNotify, int nMask = God::DEFAULT_OPTIONS) {
        Tsl::SmartPtr<GameOptionsDialog> pDialog = new GameOptionsDialog(pNotify, 2, 1);
        pDialog->setShownOptions(nMask);
        app.pushMode(pDialog);
        return pDialog;
    }
};

TEST_F(GameOptionsTest, BuildsTheRowsTheMaskAsksFor) {
    struct Case {
        int nMask;
        int nDialogRows;   // title (when asked), options, buttons
        int nOptionRows;
        bool bSliders, bScreen, bDepth;
    } aCases[] = {
        {13, 3, 3, true, true, false}, {5, 2, 3, true, true, false}, {2, 2, 1, false, false, true},
        {15, 3, 4, true, true, true},  {8, 3, 0, false, false, false},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.nMask);
        Tsl::SmartPtr<GameOptionsDialog> pDialog = open(nullptr, c.nMask);
        EXPECT_EQ(c.nDialogRows, pDialog->getTable()->getRowCount());
        EXPECT_EQ(c.nOptionRows, pDialog->getOptionsTable()->getRowCount());
        EXPECT_EQ(c.bSliders, controlOf(pDialog.get(), God::ID_SOUND_VOLUME) != nullptr);
        EXPECT_EQ(c.bScreen, controlOf(pDialog.get(), God::ID_FULLSCREEN) != nullptr);
        EXPECT_EQ(c.bDepth, controlOf(pDialog.get(), God::ID_DEPTH_32) != nullptr);
        // From the menu there is no level to leave.
        EXPECT_EQ(nullptr, controlOf(pDialog.get(), God::ID_LEAVE));
        pDialog->endMode();
    }
}

TEST_F(GameOptionsTest, ClosingAndLeavingTellTheModeToNotifyOnceAfterEnding) {
    struct Case {
        const char* pszHow;
        int nExpected;
    } aCases[] = {{"ok", 2}, {"leave", 1}, {"escape", 2}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszHow);
        target->m_aCalls.clear();
        Tsl::SmartPtr<GameOptionsDialog> pDialog = open(target.get());
        // The mode told is the top again when it hears of it.
        target->m_fnOnCallback = [&](int) { EXPECT_EQ(target, app.getModeAt(0)); };
        std::string sHow = c.pszHow;
        if (sHow == "escape") press(SDLK_ESCAPE);
        else clickOn(controlOf(pDialog.get(), sHow == "ok" ? God::ID_OK : God::ID_LEAVE));
        // A late second close does nothing.
        pDialog->onCallback(God::ID_OK, 0);
        EXPECT_EQ(Calls({{c.nExpected, 0}}), target->m_aCalls);
        EXPECT_EQ(MS_ENDED, pDialog->getState());
    }
}

TEST_F(GameOptionsTest, RowsWriteTheirSettingsAndForeignIdsAreIgnored) {
    Tsl::SmartPtr<GameOptionsDialog> pDialog = open(nullptr, 15);
    Tsl::SmartPtr<HSlider> pSound = Tsl::SmartPtr<HSlider>::dynamicCast(controlOf(pDialog.get(), God::ID_SOUND_VOLUME));
    pSound->setValue(100);
    pDialog->onCallback(God::ID_SOUND_VOLUME, 0);
    EXPECT_EQ("100", app.getSetting(ScreenNames::SET_SOUND_VOLUME));
    EXPECT_EQ(100, app.getSoundVolume());
    EXPECT_EQ("255", app.getSetting(ScreenNames::SET_MUSIC_VOLUME));

    clickOn(controlOf(pDialog.get(), God::ID_FULLSCREEN));
    EXPECT_TRUE(app.getVideoDriver()->isFullScreen());
    EXPECT_EQ("TRUE", app.getSetting(ScreenNames::SET_FULLSCREEN));
    Tsl::SmartPtr<ToggleButton> pWindowed =
        Tsl::SmartPtr<ToggleButton>::dynamicCast(controlOf(pDialog.get(), God::ID_WINDOWED));
    EXPECT_FALSE(pWindowed->isToggled());
    clickOn(pWindowed);
    EXPECT_FALSE(app.getVideoDriver()->isFullScreen());
    EXPECT_EQ("FALSE", app.getSetting(ScreenNames::SET_FULLSCREEN));

    pDialog->onCallback(God::ID_DEPTH_16, 0);
    EXPECT_EQ("16", app.getSetting(ScreenNames::SET_COLOR_DEPTH));

    for (int nId : {-1, 0, 2000, 3000, int(God::ID_LEAVE)}) pDialog->onCallback(nId, 0);
    EXPECT_EQ(MS_RUNNING, pDialog->getState());
    pDialog->endMode();

    // Ids of rows the mask left out are as foreign as any.
    Tsl::SmartPtr<GameOptionsDialog> pBare = open(nullptr, God::OPT_TITLE);
    for (int nId : {int(God::ID_FULLSCREEN), int(God::ID_DEPTH_16), int(God::ID_SOUND_VOLUME)})
        pBare->onCallback(nId, 0);
    EXPECT_EQ("16", app.getSetting(ScreenNames::SET_COLOR_DEPTH));
    EXPECT_EQ(MS_RUNNING, pBare->getState());
}

} // namespace
