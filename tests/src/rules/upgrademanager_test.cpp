// Upgrade values and prices, the places upgrades furnish, and what a level
// reports to the story.
#include "player/qarnplayer.h"
#include "story/storymanager.h"
#include "rules/storyrules.h"
#include "rules/upgrademanager.h"

#include <gtest/gtest.h>

TEST(UpgradeManager, ValuesAndPrices) {
    UpgradeManager upgrades;
    struct Case {
        int nKind, nLevel, nValue, nPrice;
    } cases[] = {{UpgradeManager::KIND_TRAY, 0, 2, 80},       {UpgradeManager::KIND_TRAY, 1, 4, 160},
                 {UpgradeManager::KIND_TRAY, 2, 6, -1},       {UpgradeManager::KIND_SHOW, 3, 23, 180},
                 {UpgradeManager::KIND_SHOW, 4, 26, -1},      {UpgradeManager::KIND_UNUSED, 0, 0, 0},
                 {UpgradeManager::KIND_STATION_0, 1, 1, 190}, {UpgradeManager::KIND_PROP_DISPENSER, 1, 1, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(upgrades.getValue(c.nKind, c.nLevel), c.nValue) << c.nKind << "/" << c.nLevel;
        EXPECT_EQ(upgrades.getPrice(c.nKind, c.nLevel), c.nPrice) << c.nKind << "/" << c.nLevel;
    }
    // Levels a kind does not have; the kinds between tray and show give the
    // level unchecked.
    EXPECT_EQ(upgrades.getValue(UpgradeManager::KIND_TRAY, 3), -1);
    EXPECT_EQ(upgrades.getValue(UpgradeManager::KIND_SHOW, 5), -1);
    EXPECT_EQ(upgrades.getValue(UpgradeManager::KIND_COUNT, 0), -1);
    EXPECT_EQ(upgrades.getValue(UpgradeManager::KIND_STATION_0, 7), 7);
    // No price outside the catalogue (a damaged profile may hold any level).
    for (int nKind = -1; nKind <= UpgradeManager::KIND_COUNT; ++nKind)
        for (int nLevel : {-1, upgrades.getLevelCount(nKind)})
            EXPECT_EQ(upgrades.getPrice(nKind, nLevel), -1) << nKind << "/" << nLevel;
}

TEST(UpgradeManager, UpgradesFurnishTheirPlaces) {
    struct Case {
        const char* pszSlot;
        UpgradeManager::SlotUse eUse;
        int nKind, nLevel;
        bool bPresent;
    } cases[] = {
        {"juicer_0", UpgradeManager::USE_PICTURE, 6, 1, true},
        {"juicer_0", UpgradeManager::USE_PICTURE, 6, 2, false},
        {"barman_1", UpgradeManager::USE_SPOT, 7, 3, true},
        {"barman_1", UpgradeManager::USE_ANIMATION, 7, 3, false},
        {"barman_1", UpgradeManager::USE_FIGURE, 7, 3, true},
        {"barman_1", UpgradeManager::USE_PICTURE, 7, 2, false},
        {"barman_0_a", UpgradeManager::USE_SPOT, 6, 3, true},
        {"silla_2", UpgradeManager::USE_SEAT, 4, 1, true},
        {"mesa_0", UpgradeManager::USE_PICTURE, 3, 1, true},
        {"mesa_1", UpgradeManager::USE_PICTURE, 3, 1, false},
        {"center_lvl_2_1", UpgradeManager::USE_PICTURE, 11, 2, true},
        {"mantel_2", UpgradeManager::USE_PICTURE, 10, 1, false},
        {"show_3", UpgradeManager::USE_FIGURE, 12, 3, true},
        {"show_4", UpgradeManager::USE_FIGURE, 12, 3, false},
        {"parrot_stand", UpgradeManager::USE_PICTURE, 8, 1, true},
    };
    for (const Case& c : cases) {
        UpgradeLevels anLevels = {};
        anLevels[c.nKind] = c.nLevel;
        EXPECT_EQ(UpgradeManager::isFurnished(c.pszSlot, c.eUse, anLevels), c.bPresent) << c.pszSlot << " " << c.eUse;
    }
}

TEST(StoryReports, MoneyStopsAt999AndTheLastLevelOfAStageIsKnown) {
    QarnPlayer player;
    StoryManagerMode story(0, 3, &player, 0, StoryManagerMode::NO_MAP);
    player.m_nMoney = 990;
    story.addMoney(25);
    EXPECT_EQ(story.getMoney(), StoryRules::MONEY_CAP);
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
