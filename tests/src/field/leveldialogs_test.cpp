// The dialogs around a level: the dialog base, the loading clock and the
// week's goal.
#include "game_support.h"

#include "pages/loadingdialog.h"
#include "playfield_support.h"
#include "base/qarndialog.h"
#include "sprite/sprite.h"
#include "tsl2/random.h"
#include "ui/uitable.h"
#include "field/weekgoals.h"

namespace {

struct LevelDialogTest : GameTest {
    Tsl::SmartPtr<RecordingMode> level;

    void SetUp() override {
        GameTest::SetUp();
        level = new RecordingMode("level", MF_ACTIVE | MF_VISIBLE, &app.m_log);
        app.pushMode(level);
        app.m_log.clear();
    }
    int levelUpdates() const { return static_cast<int>(level->m_aDts.size()); }
};

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

struct WeekGoalTest : LevelDialogTest {
    PlayField field;
    static int scripted(void* pValue) { return *static_cast<int*>(pValue); }

    void SetUp() override {
        LevelDialogTest::SetUp();
        addPictures({"bubble_separator"}, 100, 4);
        addStrings(
            "WKG_Workplace Workplace:\nScene2 Beach bar\nWKG_Sales Sell $%d\nWKG_Customer %d customers\n"
            "WKG_Tip Tip 100%%:\nRANDOM_TIP_0 first\nRANDOM_TIP_20 last\nWKG_Go Go\n");
        field.m_nStage = 2;
        field.m_nMoneyGoal = 1500;
        field.m_nLevelCustomers = 20;
    }
    void TearDown() override { Tsl::setGameRandSource(nullptr, nullptr); }
    Tsl::SmartPtr<WeekGoalDialog> pushWithRand(int nRand) {
        static int s_nRand;
        s_nRand = nRand;
        Tsl::setGameRandSource(&scripted, &s_nRand);
        Tsl::SmartPtr<WeekGoalDialog> pDialog = new WeekGoalDialog(&field);
        app.pushMode(pDialog);
        return pDialog;
    }
};

TEST_F(WeekGoalTest, ShowsGoalAndATipFromZeroToTwentyUntilReturnSpaceOrKeypadEnter) {
    struct Case {
        int nRand, nKey;
        const char* pszTip;
    } cases[] = {{21, 13, "Tip 100%: first"}, {20, 32, "Tip 100%: last"}, {41, 271, "Tip 100%: last"}};
    for (const Case& c : cases) {
        Tsl::SmartPtr<WeekGoalDialog> pDialog = pushWithRand(c.nRand);
        step();
        EXPECT_EQ(Tsl::String("Workplace: Beach bar|Sell $1500|20 customers|") + c.pszTip,
                  pDialog->getTexts().join("|"));
        EXPECT_FALSE(pDialog->onKeyDown(27, 0));
        EXPECT_EQ(pDialog, app.getModeAt(0));
        EXPECT_TRUE(pDialog->onKeyDown(c.nKey, 0));
        EXPECT_EQ(MS_ENDED, pDialog->getState()) << c.nKey;
    }
    // A level without goal or customer count (relax, free play) names neither.
    field.m_nMoneyGoal = 0;
    field.m_nLevelCustomers = -1;
    Tsl::SmartPtr<WeekGoalDialog> pFree = pushWithRand(0);
    step();
    EXPECT_EQ(Tsl::String("Workplace: Beach bar|Tip 100%: first"), pFree->getTexts().join("|"));
}

}  // namespace
