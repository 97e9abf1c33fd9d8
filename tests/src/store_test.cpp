// The store: what each position offers at given levels, and the screen with
// scripted input and exact frame steps.
#include "game_support.h"

#include "buyupgrademode.h"
#include "qarnplayer.h"
#include "storemode.h"
#include "upgrademanager.h"

#include "anim/animsprite.h"
#include "app/modetransition.h"

#include <cstring>

namespace {

struct Levels {
    int a[13] = {0};
    Levels& set(int nKind, int nLevel) {
        a[nKind] = nLevel;
        return *this;
    }
};

TEST(StoreItems, PositionsFollowTheLevels) {
    struct Case {
        const char* pszWhat;
        Levels levels;
        int nPosition;
        const char* pszEntry;
        bool bBuyable;
    } cases[] = {
        {"fresh trays", Levels(), 0, "store_bandeja1", true},
        {"all chairs bought", Levels().set(2, 1).set(3, 1).set(4, 1).set(5, 1), 1, "store_soldout_high", false},
        {"one chair missing", Levels().set(2, 1).set(3, 1).set(4, 1), 1, "store_sillas", true},
        {"no chair, no center", Levels(), 5, "store_na_low", false},
        {"a chair, no center", Levels().set(3, 1), 5, "store_centros1", true},
        {"stations (1, 0): juicers", Levels().set(6, 1), 2, "store_jugomatic", true},
        {"stations (1, 0): barman 0", Levels().set(6, 1), 7, "store_badboy2", true},
        {"stations (1, 0): barman 1", Levels().set(6, 1), 8, "store_na_barman2", false},
        {"both juicers", Levels().set(6, 1).set(7, 2), 2, "store_soldout_high", false},
        {"signs at 4", Levels().set(12, 4), 6, "upg_sold", false},
        {"signs at 3", Levels().set(12, 3), 6, "store_cartel4", true},
        {"parrot not bought", Levels(), 3, "store_parrot.anim", true},
        {"parrot bought", Levels().set(8, 1), 3, "store_soldout_high", false},
        {"centers sold out", Levels().set(2, 1).set(4, 1).set(10, 2).set(11, 2), 5, "store_soldout_low", false},
    };
    for (const Case& c : cases) {
        StoreItem item = computeStoreItems(c.levels.a)[c.nPosition];
        ASSERT_NE(item.pszEntry, nullptr) << c.pszWhat;
        EXPECT_STREQ(item.pszEntry, c.pszEntry) << c.pszWhat;
        EXPECT_EQ(item.bBuyable, c.bBuyable) << c.pszWhat;
    }
}

// Every level combination in range: each position has its picture, and a
// buyable item opens a dialog that can buy something.
TEST(StoreItems, EveryCombinationHasPicturesAndSomethingToBuy) {
    const int anCounts[13] = {3, 1, 2, 2, 2, 2, 4, 4, 2, 2, 3, 3, 5};
    UpgradeManager upgrades;
    Levels levels;
    int nCombinations = 0;
    for (;;) {
        ++nCombinations;
        for (const StoreItem& item : computeStoreItems(levels.a)) {
            ASSERT_NE(item.pszEntry, nullptr) << "position " << item.nPosition << " level " << item.nLevel;
            if (!item.bBuyable) continue;
            if (item.nStoreItem >= BuyUpgradeMode::STORE_CHAIRS)
                ASSERT_FALSE(BuyUpgradeMode::choicesFor(item.nStoreItem, levels.a).empty())
                    << "position " << item.nPosition << " level " << item.nLevel;
            else
                ASSERT_GE(upgrades.getPrice(item.nStoreItem, levels.a[item.nStoreItem]), 0);
        }
        int k = 0;
        while (k < 13 && ++levels.a[k] == anCounts[k]) levels.a[k++] = 0;
        if (k == 13) break;
    }
    EXPECT_EQ(nCombinations, 3 * 16 * 16 * 2 * 2 * 9 * 5);
}

}  // namespace
