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
    Tsl::SmartPtr<God> open(GameMode* pNotify, int nMask = God::DEFAULT_OPTIONS) {
        Tsl::SmartPtr<God> pDialog = new God(pNotify, 2, 1);
        pDialog->setShownOptions(nMask);
        app.pushMode(pDialog);
        return pDialog;
    }
};

TEST_F(GameOptionsTest, BuildsTheRowsTheMaskAsksFor) {
    struct Case {
        int nMask, nDialogRows, nOptionRows;
        bool bSliders, bScreen, bDepth;
    } aCases[] = {{13, 3, 3, true, true, false}, {5, 2, 3, true, true, false}, {2, 2, 1, false, false, true},
                  {15, 3, 4, true, true, true},  {8, 3, 0, false, false, false}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.nMask);
        Tsl::SmartPtr<God> pDialog = open(nullptr, c.nMask);
        EXPECT_EQ(c.nDialogRows, pDialog->getTable()->getRowCount());
        EXPECT_EQ(c.nOptionRows, pDialog->getOptionsTable()->getRowCount());
        EXPECT_EQ(c.bSliders, controlOf(pDialog.get(), God::ID_SOUND_VOLUME) != nullptr);
        EXPECT_EQ(c.bScreen, controlOf(pDialog.get(), God::ID_FULLSCREEN) != nullptr);
        EXPECT_EQ(c.bDepth, controlOf(pDialog.get(), God::ID_DEPTH_32) != nullptr);
        EXPECT_EQ(nullptr, controlOf(pDialog.get(), God::ID_LEAVE));  // no level to leave
        pDialog->endMode();
    }
}

TEST_F(GameOptionsTest, ClosingAndLeavingTellTheModeToNotifyOnceAfterEnding) {
    for (int nHow = 0; nHow < 3; ++nHow) {
        target->m_aCalls.clear();
        Tsl::SmartPtr<God> pDialog = open(target.get());
        target->m_fnOnCallback = [&](int) { EXPECT_EQ(target, app.getModeAt(0)); };
        if (nHow == 2) press(SDLK_ESCAPE);
        else clickOn(controlOf(pDialog.get(), nHow == 0 ? God::ID_OK : God::ID_LEAVE));
        pDialog->onCallback(God::ID_OK, 0);  // a late second close does nothing
        EXPECT_EQ(Calls({{nHow == 1 ? 1 : 2, 0}}), target->m_aCalls);
    }
}

TEST_F(GameOptionsTest, RowsWriteTheirSettingsAndForeignIdsAreIgnored) {
    Tsl::SmartPtr<God> pDialog = open(nullptr, 15);
    Tsl::SmartPtr<HSlider>::dynamicCast(controlOf(pDialog.get(), God::ID_SOUND_VOLUME))->setValue(100);
    pDialog->onCallback(God::ID_SOUND_VOLUME, 0);
    EXPECT_EQ("100", app.getSetting(ScreenNames::SET_SOUND_VOLUME));
    EXPECT_EQ(100, app.getSoundVolume());
    clickOn(controlOf(pDialog.get(), God::ID_FULLSCREEN));
    EXPECT_TRUE(app.getVideoDriver()->isFullScreen());
    EXPECT_EQ("TRUE", app.getSetting(ScreenNames::SET_FULLSCREEN));
    clickOn(controlOf(pDialog.get(), God::ID_WINDOWED));
    EXPECT_EQ("FALSE", app.getSetting(ScreenNames::SET_FULLSCREEN));
    pDialog->onCallback(God::ID_DEPTH_16, 0);
    EXPECT_EQ("16", app.getSetting(ScreenNames::SET_COLOR_DEPTH));
    for (int nId : {-1, 0, 2000, 3000, int(God::ID_LEAVE)}) pDialog->onCallback(nId, 0);
    EXPECT_EQ(MS_RUNNING, pDialog->getState());
    pDialog->endMode();

    // Ids of rows the mask left out are as foreign as any.
    Tsl::SmartPtr<God> pBare = open(nullptr, God::OPT_TITLE);
    for (int nId : {int(God::ID_FULLSCREEN), int(God::ID_DEPTH_32), int(God::ID_SOUND_VOLUME)}) pBare->onCallback(nId, 0);
    EXPECT_EQ("16", app.getSetting(ScreenNames::SET_COLOR_DEPTH));
}

// The dialog shows what the display became: one that refuses full screen
// leaves the dialog and the setting windowed.
TEST_F(GameOptionsTest, ARefusedFullScreenStaysWindowedInTheDialogAndTheSetting) {
    app.m_pFakePlatform->video()->m_fnSetVideoMode = [](int nFlags) { return (nFlags & 1) == 0; };
    Tsl::SmartPtr<God> pDialog = open(nullptr, God::DEFAULT_OPTIONS);
    clickOn(controlOf(pDialog.get(), God::ID_FULLSCREEN));
    EXPECT_FALSE(app.getVideoDriver()->isFullScreen());
    EXPECT_FALSE(Tsl::SmartPtr<ToggleButton>::dynamicCast(controlOf(pDialog.get(), God::ID_FULLSCREEN))->isToggled());
    EXPECT_TRUE(Tsl::SmartPtr<ToggleButton>::dynamicCast(controlOf(pDialog.get(), God::ID_WINDOWED))->isToggled());
    EXPECT_EQ("FALSE", app.getSetting(ScreenNames::SET_FULLSCREEN));
}

} // namespace
