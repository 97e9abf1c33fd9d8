// Upgrade values and prices, and what a level reports to the story.
#include "qarnplayer.h"
#include "storymanager.h"
#include "upgrademanager.h"

#include <gtest/gtest.h>

TEST(UpgradeManager, ValuesAndPrices) {
    UpgradeManager upgrades;
    struct Case {
        int nKind, nLevel, nValue, nPrice;
    } cases[] = {{0, 0, 2, 80},   {0, 1, 4, 160}, {0, 2, 6, -1},  {12, 3, 23, 180},
                 {12, 4, 26, -1}, {1, 0, 0, 0},   {6, 1, 1, 190}, {9, 1, 1, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(upgrades.getValue(c.nKind, c.nLevel), c.nValue) << c.nKind << "/" << c.nLevel;
        EXPECT_EQ(upgrades.getPrice(c.nKind, c.nLevel), c.nPrice) << c.nKind << "/" << c.nLevel;
    }
    // Levels a kind does not have; kinds 1-11 give the level unchecked.
    EXPECT_EQ(upgrades.getValue(0, 3), -1);
    EXPECT_EQ(upgrades.getValue(12, 5), -1);
    EXPECT_EQ(upgrades.getValue(13, 0), -1);
    EXPECT_EQ(upgrades.getValue(6, 7), 7);
    // No price outside the catalogue (a damaged profile may hold any level).
    for (int nKind = -1; nKind <= 13; ++nKind)
        for (int nLevel : {-1, upgrades.getLevelCount(nKind)})
            EXPECT_EQ(upgrades.getPrice(nKind, nLevel), -1) << nKind << "/" << nLevel;
}

TEST(StoryReports, MoneyStopsAt999AndTheLastLevelOfAStageIsKnown) {
    QarnPlayer player;
    StoryManagerMode story(0, 3, &player, 0, StoryManagerMode::NO_MAP);
    player.m_nMoney = 990;
    story.addMoney(25);
    EXPECT_EQ(story.getMoney(), StoryManagerMode::MONEY_CAP);
    story.setStep(2);
    struct Case {
        int nStage, nLevel;
        bool bLast;
    } cases[] = {{0, 9, true}, {0, 8, false}, {4, 49, true}, {5, 50, false}};
    for (const Case& c : cases) {
        player.m_nStage = c.nStage;
        player.m_nStoryLevel = c.nLevel;
        EXPECT_EQ(story.isLastLevelOfStage(), c.bLast) << c.nStage << "/" << c.nLevel;
    }
    story.setStep(3);
    player.m_nStage = 0;
    player.m_nStoryLevel = 9;
    EXPECT_FALSE(story.isLastLevelOfStage());
    story.setLevelResult(2);
    EXPECT_EQ(story.getPendingAction(), 2);
}
