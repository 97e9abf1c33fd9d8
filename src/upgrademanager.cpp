#include "upgrademanager.h"

namespace {

const int s_anLevelCounts[UpgradeManager::KIND_COUNT] = {3, 2, 2, 2, 2, 2, 4, 4, 2, 2, 3, 3, 5};
const int s_anTrayValues[] = {2, 4, 6};
const int s_anShowValues[] = {0, 12, 20, 23, 26};
// One row per kind: 0 for level 0, then the price of each further level.
const int s_aanPrices[UpgradeManager::KIND_COUNT][5] = {{0, 80, 160},
                                                        {0, 0},
                                                        {0, 20},
                                                        {0, 20},
                                                        {0, 20},
                                                        {0, 20},
                                                        {0, 375, 190, 100},
                                                        {0, 375, 190, 100},
                                                        {0, 500},
                                                        {0, 70},
                                                        {0, 90, 100},
                                                        {0, 90, 100},
                                                        {0, 90, 115, 120, 180}};

}  // namespace

int UpgradeManager::getValue(int nKind, int nLevel) const {
    if (nKind == KIND_TRAY) return (nLevel >= 0 && nLevel < 3) ? s_anTrayValues[nLevel] : -1;
    if (nKind == KIND_SHOW) return (nLevel >= 0 && nLevel < 5) ? s_anShowValues[nLevel] : -1;
    if (nKind >= KIND_UNUSED && nKind < KIND_SHOW) return nLevel;
    return -1;
}

int UpgradeManager::getPrice(int nKind, int nLevel) const {
    // Levels come from the player's stored profile: one the catalogue does
    // not have is not for sale, never a failure.
    if (nKind < 0 || nKind >= KIND_COUNT || nLevel < 0 || nLevel + 1 >= s_anLevelCounts[nKind]) return -1;
    return s_aanPrices[nKind][nLevel + 1];
}

int UpgradeManager::getLevelCount(int nKind) const {
    return (nKind >= 0 && nKind < KIND_COUNT) ? s_anLevelCounts[nKind] : 0;
}
