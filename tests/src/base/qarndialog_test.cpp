// The game's dialog base over a level.
#include "game_support.h"

#include "base/qarndialog.h"

TEST_F(LevelDialogTest, DialogBaseKeepsTheLevelDrawnButStillEitherWay) {
    for (bool bOverBelow : {false, true}) {
        Tsl::SmartPtr<QarnDialog> pDialog = new QarnDialog(bOverBelow);
        app.pushMode(pDialog);
        int nBefore = levelUpdates();
        step();
        step();
        EXPECT_EQ(nBefore, levelUpdates()) << bOverBelow;
        EXPECT_TRUE(pDialog->getFlags() & MF_DRAW_BELOW);
        pDialog->endMode();
    }
}
