// Upgrade values and prices, and the places upgrades furnish.
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
