// A level's rules without a level: its length by play mode, the clock that
// closes the bar once, and what its end and its abandonment tell the story.
#include "field/levelreport.h"
#include "field/levelrules.h"
#include "playfield_support.h"
#include "player/qarnplayer.h"
#include "rules/storyrules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes what the level tells it, starting from a story with 5 money.
class RecordingReport : public LevelReport {
public:
    int getLevelsWon() const override { return 7; }
    int getScore() const override { return 100; }
    int getMoney() const override { return 5; }
    int getStage() const override { return 2; }
    void addScore(int nPoints) override { calls.push_back("score " + std::to_string(nPoints)); }
    void addMoney(int nAmount) override { calls.push_back("money " + std::to_string(nAmount)); }
    void setLevelResult(int nResult) override { calls.push_back("result " + std::to_string(nResult)); }
    std::vector<std::string> calls;
};

struct LevelRulesTest : ::testing::Test {
    PlayField field;
    QarnPlayer player;
    RecordingReport report;
};

}  // namespace

TEST_F(LevelRulesTest, TheBarClosesOnceWhenItsMinutesAreUp) {
    struct Case {
        int nPlayMode, nMinutes, nSeconds;
    } cases[] = {{0, -1, 60 * StoryRules::levelValues(0, 0).nMinutes}, {1, 0, 60 * LevelRules::DEFAULT_MINUTES}, {2, 1, 60}};
    for (const Case& c : cases) {
        PlayField fresh;
        LevelRules rules(fresh, c.nPlayMode, 0, &player, c.nMinutes);
        EXPECT_FALSE(rules.runClock(c.nSeconds - 1.5f)) << c.nPlayMode;
        EXPECT_EQ(1, rules.getSecondsLeft()) << c.nPlayMode;
        EXPECT_TRUE(rules.runClock(1.5f)) << c.nPlayMode;
        EXPECT_FALSE(rules.runClock(1.0f)) << c.nPlayMode;
        EXPECT_TRUE(rules.isClosed());
        EXPECT_EQ(0, rules.getSecondsLeft());
        EXPECT_EQ(c.nSeconds + 1.0f, fresh.m_fSecondsPlayed);
    }
}

// Within a stage each level asks ten more and brings one more customer;
// each stage asks thirty more, brings two more and is longer every second
// one: the first stage's ends, the next stage's start, the third's, the last.
// The last of them is due before closing, the time a guest stays before it,
// even when each waits the longest delay it may.
TEST_F(LevelRulesTest, AStoryLevelsGoalCustomersAndMinutesAtTheEndsOfEachStage) {
    struct Case {
        int nLevel, nGoal, nCustomers, nMinutes;
    } cases[] = {{0, 40, 6, 2}, {9, 130, 15, 2}, {10, 70, 8, 2}, {20, 100, 10, 3}, {49, 250, 23, 4}};
    for (const Case& c : cases) {
        PlayField fresh;
        player.m_nStoryLevel = c.nLevel;
        LevelRules rules(fresh, 0, 0, &player, -1);
        EXPECT_EQ(c.nGoal, fresh.m_nMoneyGoal) << c.nLevel;
        EXPECT_EQ(c.nCustomers, fresh.m_nLevelCustomers) << c.nLevel;
        EXPECT_EQ(60 * c.nMinutes, rules.getSecondsLeft()) << c.nLevel;
        // The first guest comes 2 s into the day, each next one after the delay drawn then.
        for (rules.runClock(2.0f); fresh.m_nCustomersToCome > 0; rules.runClock(fresh.m_fMaxSpawnDelay)) {
            rules.paceArrivals();
            EXPECT_LE(rules.getSeconds(), 60 * c.nMinutes - LevelRules::LAST_GUEST_SECONDS + 0.01f) << c.nLevel;
            --fresh.m_nCustomersToCome;
        }
    }
}

TEST_F(LevelRulesTest, TheEndTellsTheStoryItsScoreMoneyAndResult) {
    int nGoal = StoryRules::levelValues(0, 0).nGoal;
    struct Case {
        int nPlayMode, nMoney;
        std::vector<std::string> calls;
        int nQuickScore;
    } cases[] = {
        {0, nGoal, {"score " + std::to_string(nGoal + 2 * LevelRules::STAR_POINTS), "money " + std::to_string(nGoal)}, -1},
        {0, nGoal - 1, {"score " + std::to_string(nGoal - 1 + 2 * LevelRules::STAR_POINTS), "money " + std::to_string(nGoal - 1), "result 2"}, -1},
        {1, 30, {"result 2"}, 30},
    };
    for (const Case& c : cases) {
        PlayField fresh;
        RecordingReport story;
        player.m_nQuickPlayScore = -1;
        LevelRules rules(fresh, c.nPlayMode, 0, &player, -1);
        rules.setReport(&story, 4);
        EXPECT_EQ(c.nPlayMode == 0 ? 2 : 4, fresh.m_nStage);
        EXPECT_EQ(5, fresh.m_nPrevTotalMoney);
        rules.payIn(c.nMoney, 2);
        EXPECT_EQ(c.nPlayMode == 0 && c.nMoney >= nGoal, rules.isGoalReached()) << c.nMoney;
        rules.end();
        EXPECT_EQ(c.calls, story.calls) << c.nPlayMode << " " << c.nMoney;
        EXPECT_EQ(c.nQuickScore, player.m_nQuickPlayScore);
        EXPECT_TRUE(rules.isEnded());
    }
}

TEST_F(LevelRulesTest, AQuitLevelOrOneThatCannotBeBuiltBringsNoProgress) {
    LevelRules quit(field, 0, 0, &player, -1);
    quit.setReport(&report, 0);
    quit.quit();
    EXPECT_TRUE(quit.isEnded());
    LevelRules refused(field, 0, 0, &player, -1);
    refused.setReport(&report, 0);
    refused.refuse();
    EXPECT_FALSE(refused.isEnded());
    EXPECT_EQ((std::vector<std::string>{"result 1", "result 1"}), report.calls);
}
