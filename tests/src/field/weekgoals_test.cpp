// The week's goal shown before a level.
#include "game_support.h"

#include "field/weekgoals.h"
#include "playfield_support.h"
#include "tsl2/random.h"
#include "ui/uitable.h"

namespace {

struct WeekGoalTest : LevelDialogTest {
    PlayField field;
    UpgradeLevels levels{};
    static int scripted(void* pValue) { return *static_cast<int*>(pValue); }

    void SetUp() override {
        LevelDialogTest::SetUp();
        addPictures({"bubble_separator"}, 100, 4);
        addStrings(
            "WKG_Workplace Workplace:\nScene2 Beach bar\nWKG_Sales Sell $%d\nWKG_Customer %d customers\n"
            "WKG_Tip Tip 100%%:\nRANDOM_TIP_0 first\nRANDOM_TIP_20 last\nWKG_Go Go\n"
            "RANDOM_TIP_6 6\nRANDOM_TIP_7 7\nRANDOM_TIP_8 8\nRANDOM_TIP_9 9\nRANDOM_TIP_13 13\nRANDOM_TIP_14 14\n"
            "RANDOM_TIP_15 15\nRANDOM_TIP_16 16\n");
        field.m_nStage = 2;
        field.m_nMoneyGoal = 1500;
        field.m_nLevelCustomers = 20;
        levels[UpgradeManager::KIND_PROP_DISPENSER] = 1;  // every tip fits this bar
    }
    void TearDown() override { Tsl::setGameRandSource(nullptr, nullptr); }
    Tsl::SmartPtr<WeekGoalDialog> pushWithRand(int nRand) {
        static int s_nRand;
        s_nRand = nRand;
        Tsl::setGameRandSource(&scripted, &s_nRand);
        Tsl::SmartPtr<WeekGoalDialog> pDialog = new WeekGoalDialog(&field, levels);
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

// A tip suggesting an upgrade gives way at every level of it but the first,
// the one about using the decorations at their first, and one sending the
// player to the store outside the story: the draw is among the tips left.
TEST_F(WeekGoalTest, ATipSuggestingAnUpgradeIsNotShownOnceTheBarHasIt) {
    typedef UpgradeManager Um;
    const std::pair<int, std::vector<int>> tips[] = {
        {6, {Um::KIND_TRAY}}, {8, {Um::KIND_SHOW}}, {13, {Um::KIND_CHAIR_0, Um::KIND_CHAIR_1, Um::KIND_CHAIR_2, Um::KIND_CHAIR_3}}};
    for (const auto& tip : tips)
        for (int nKind : tip.second)
            for (int nLevel = 0; nLevel < Um::getLevelCount(nKind); ++nLevel) {
                levels.fill(0);
                levels[Um::KIND_PROP_DISPENSER] = 1;
                levels[nKind] = nLevel;
                Tsl::SmartPtr<WeekGoalDialog> pDialog = pushWithRand(tip.first);
                step();
                EXPECT_EQ(Tsl::String::format("Tip 100%%: %d", tip.first + (nLevel > 0)), pDialog->getTexts().getLast())
                    << nKind << " at " << nLevel;
            }
    levels.fill(0);
    for (int nLevel : {0, 1}) {
        levels[Um::KIND_PROP_DISPENSER] = nLevel;
        Tsl::SmartPtr<WeekGoalDialog> pDialog = pushWithRand(7);
        step();
        EXPECT_EQ(Tsl::String::format("Tip 100%%: %d", 8 - nLevel), pDialog->getTexts().getLast());
    }
    const struct { int nPlayMode, nRand, nTip; } quickPlay[] = {{1, 6, 7}, {2, 14, 16}, {0, 15, 15}};
    for (const auto& c : quickPlay) {
        field.m_nPlayMode = c.nPlayMode;
        Tsl::SmartPtr<WeekGoalDialog> pDialog = pushWithRand(c.nRand);
        step();
        EXPECT_EQ(Tsl::String::format("Tip 100%%: %d", c.nTip), pDialog->getTexts().getLast()) << c.nPlayMode;
    }
}

}  // namespace
