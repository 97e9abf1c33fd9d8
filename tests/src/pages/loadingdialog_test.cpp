// The loading dialog: its clock and its rows.
#include "game_support.h"

#include "pages/loadingdialog.h"
#include "sprite/sprite.h"
#include "ui/uitable.h"

namespace {

struct LoadingDialogTest : LevelDialogTest {
    void SetUp() override {
        LevelDialogTest::SetUp();
        addPictures({"clock_base", "clock_markers"}, 40, 40);
        for (int i = 1; i <= 20; ++i) app.addImage(Tsl::String::format("clock_%d", i).c_str(), picture(10 + i, 4));
        app.addImage("empty", picture(3, 3));
        addStrings("LDN_Loading Loading...\n");
    }
    Tsl::SmartPtr<LoadingDialog> push(const char* pszTitle, const char* pszHint) {
        Tsl::SmartPtr<LoadingDialog> pDialog = new LoadingDialog(pszTitle);
        if (pszHint) pDialog->setHintText(pszHint);
        app.pushMode(pDialog);
        return pDialog;
    }
};

TEST_F(LoadingDialogTest, TheClockStepsOncePerUpdateUntilOneUpdateAfterFinish) {
    Tsl::SmartPtr<LoadingDialog> pDialog = push(nullptr, nullptr);
    EXPECT_EQ(11, pDialog->getClockHand()->getImage()->getWidth());
    for (int i = 1; i <= 22; ++i) {
        step(250);  // longer than a step: still one
        int nFrame = i % LoadingDialog::CLOCK_STEPS;
        ASSERT_EQ(nFrame, pDialog->getClockFrame());
        EXPECT_EQ(nFrame == 0 ? 3 : 10 + nFrame, pDialog->getClockHand()->getImage()->getWidth());
    }
    // Short frames: a step, then none until a tenth of a second has passed.
    int nFrame = pDialog->getClockFrame();
    for (int i = 0; i < 4; ++i) step(60);
    EXPECT_EQ(nFrame + 2, pDialog->getClockFrame());
    // The level goes on being built beneath the clock.
    EXPECT_EQ(26, levelUpdates());
    pDialog->finish();
    step();
    EXPECT_EQ(MS_ENDED, pDialog->getState());
    EXPECT_EQ(27, levelUpdates());
}

TEST_F(LoadingDialogTest, TitleAndHintRowsCentredOnTheScreen) {
    struct Case {
        const char* pszTitle;
        const char* pszHint;
        int nRows;
    } cases[] = {{nullptr, nullptr, 1}, {"Wait", "", 1}, {nullptr, "Press Escape to leave", 2}};
    for (const Case& c : cases) {
        Tsl::SmartPtr<LoadingDialog> pDialog = push(c.pszTitle, c.pszHint);
        Tsl::SmartPtr<Table> pTable = pDialog->getTable();
        EXPECT_EQ(c.nRows, pTable->getRowCount());
        int nWidth = 0, nHeight = 0;
        pTable->getSize(nWidth, nHeight);
        EXPECT_EQ(Point(float((800 - nWidth) / 2), float((600 - nHeight) / 2)), pTable->getPosition());
        pDialog->finish();
        step();
    }
}

}  // namespace
