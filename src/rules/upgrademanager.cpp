#include "rules/upgrademanager.h"

#include <algorithm>

namespace {

// When a slot's place is furnished: at one value of its kind, from a level
// of its kind on, when its table has a chair, or (the barman) by the way
// the line furnishes it.
enum Presence { AT_VALUE, FROM_LEVEL, WITH_CHAIR, BARMAN };

struct Slot {
    const char* pszName;
    Presence ePresence;
    int nNumber;  // the value or level; the table for WITH_CHAIR
};

// One kind: its levels, the value of each (null: the level itself), the
// price of reaching each (0 for level 0), the store positions that sell it
// (-1 for none) and the scene slots it furnishes.
struct KindRow {
    int nLevels;
    const int* pnValues;
    int anPrices[UpgradeManager::MOST_LEVELS];
    int anPositions[2];
    Slot aSlots[4];
};

const int TRAY_CAPACITIES[] = {2, 4, 6};
const int SHOW_PATIENCE[] = {0, 12, 20, 23, 26};

const KindRow KINDS[UpgradeManager::KIND_COUNT] = {
    {3, TRAY_CAPACITIES, {0, 80, 160}, {UpgradeManager::POSITION_TRAYS, -1}, {}},
    {2, nullptr, {0, 0}, {-1, -1}, {}},
    {2, nullptr, {0, 20}, {UpgradeManager::POSITION_CHAIRS, -1}, {{"silla_0", AT_VALUE, 1}, {"mesa_0", WITH_CHAIR, 0}}},
    {2, nullptr, {0, 20}, {UpgradeManager::POSITION_CHAIRS, -1}, {{"silla_1", AT_VALUE, 1}}},
    {2, nullptr, {0, 20}, {UpgradeManager::POSITION_CHAIRS, -1}, {{"silla_2", AT_VALUE, 1}, {"mesa_1", WITH_CHAIR, 1}}},
    {2, nullptr, {0, 20}, {UpgradeManager::POSITION_CHAIRS, -1}, {{"silla_3", AT_VALUE, 1}}},
    {4,
     nullptr,
     {0, 375, 190, 100},
     {UpgradeManager::POSITION_JUICERS, UpgradeManager::POSITION_BARMAN_0},
     {{"juicer_0", AT_VALUE, 1}, {"barman_0", BARMAN, 0}, {"juicer_0_a", AT_VALUE, 3}, {"barman_0_a", AT_VALUE, 3}}},
    {4,
     nullptr,
     {0, 375, 190, 100},
     {UpgradeManager::POSITION_JUICERS, UpgradeManager::POSITION_BARMAN_1},
     {{"juicer_1", AT_VALUE, 1}, {"barman_1", BARMAN, 0}, {"juicer_1_a", AT_VALUE, 3}, {"barman_1_a", AT_VALUE, 3}}},
    {2, nullptr, {0, 500}, {UpgradeManager::POSITION_PARROT, -1}, {{"parrot_stand", AT_VALUE, 1}}},
    {2, nullptr, {0, 70}, {UpgradeManager::POSITION_DECOS, -1}, {{"prop_dispenser", AT_VALUE, 1}}},
    {3,
     nullptr,
     {0, 90, 100},
     {UpgradeManager::POSITION_CENTERS, -1},
     {{"center_lvl_1_0", AT_VALUE, 1}, {"center_lvl_2_0", AT_VALUE, 2}, {"mantel_0", AT_VALUE, 1}, {"mantel_2", AT_VALUE, 2}}},
    {3,
     nullptr,
     {0, 90, 100},
     {UpgradeManager::POSITION_CENTERS, -1},
     {{"center_lvl_1_1", AT_VALUE, 1}, {"center_lvl_2_1", AT_VALUE, 2}, {"mantel_1", AT_VALUE, 1}, {"mantel_3", AT_VALUE, 2}}},
    {5,
     SHOW_PATIENCE,
     {0, 90, 115, 120, 180},
     {UpgradeManager::POSITION_SIGNS, -1},
     {{"show_1", FROM_LEVEL, 1}, {"show_2", FROM_LEVEL, 2}, {"show_3", FROM_LEVEL, 3}, {"show_4", FROM_LEVEL, 4}}},
};

bool isKind(int nKind) { return nKind >= 0 && nKind < UpgradeManager::KIND_COUNT; }

const Slot* findSlot(const Tsl::String& sSlot, int& nKind) {
    for (nKind = 0; nKind < UpgradeManager::KIND_COUNT; ++nKind)
        for (const Slot& slot : KINDS[nKind].aSlots)
            if (slot.pszName && sSlot == slot.pszName) return &slot;
    nKind = -1;
    return nullptr;
}

// A barman stands from level 2 on; his animation is the one of level 2
// alone, his coaster stays with level 3's second one, and no plain picture
// stands for him.
bool isBarmanThere(int nValue, UpgradeManager::SlotUse eUse) {
    switch (eUse) {
        case UpgradeManager::USE_SPOT: return nValue == 2 || nValue == 3;
        case UpgradeManager::USE_ANIMATION: return nValue == 2;
        case UpgradeManager::USE_FIGURE: return nValue >= 2;
        default: return false;
    }
}

}  // namespace

int UpgradeManager::getValue(int nKind, int nLevel) {
    if (!isKind(nKind)) return -1;
    const KindRow& row = KINDS[nKind];
    if (!row.pnValues) return nLevel;
    return nLevel >= 0 && nLevel < row.nLevels ? row.pnValues[nLevel] : -1;
}

int UpgradeManager::getPrice(int nKind, int nLevel) {
    // Levels come from the player's stored profile: one the catalogue does
    // not have is not for sale, never a failure.
    if (!isKind(nKind) || nLevel < 0 || nLevel + 1 >= KINDS[nKind].nLevels) return -1;
    return KINDS[nKind].anPrices[nLevel + 1];
}

int UpgradeManager::getLevelCount(int nKind) { return isKind(nKind) ? KINDS[nKind].nLevels : 0; }

bool UpgradeManager::isSoldAt(int nKind, int nPosition) {
    if (!isKind(nKind)) return false;
    const int* pnPositions = KINDS[nKind].anPositions;
    return nPosition >= 0 && (pnPositions[0] == nPosition || pnPositions[1] == nPosition);
}

int UpgradeManager::getStoreLevelCount(int nPosition) {
    int nCount = 0;
    for (int nKind = 0; nKind < KIND_COUNT; ++nKind)
        if (isSoldAt(nKind, nPosition)) nCount = std::max(nCount, KINDS[nKind].nLevels);
    return nPosition == POSITION_CENTERS && nCount > 0 ? nCount + 1 : nCount;
}

int UpgradeManager::getSlotKind(const Tsl::String& sSlot) {
    int nKind;
    findSlot(sSlot, nKind);
    return nKind;
}

bool UpgradeManager::isFurnished(const Tsl::String& sSlot, SlotUse eUse, const UpgradeLevels& anLevels) {
    int nKind;
    const Slot* pSlot = findSlot(sSlot, nKind);
    if (!pSlot) return false;
    int nValue = getValue(nKind, anLevels[nKind]);
    switch (pSlot->ePresence) {
        case AT_VALUE: return nValue == pSlot->nNumber;
        case FROM_LEVEL: return anLevels[nKind] >= pSlot->nNumber;
        case WITH_CHAIR: return hasChairAt(pSlot->nNumber, anLevels);
        case BARMAN: return isBarmanThere(nValue, eUse);
    }
    return false;
}

bool UpgradeManager::hasChairAt(int nTable, const UpgradeLevels& anLevels) {
    int nFirst = KIND_CHAIR_0 + 2 * nTable;
    return getValue(nFirst, anLevels[nFirst]) == 1 || getValue(nFirst + 1, anLevels[nFirst + 1]) == 1;
}

int UpgradeManager::countChairs(const UpgradeLevels& anLevels) {
    int nChairs = 0;
    for (int nKind = KIND_CHAIR_0; nKind <= KIND_CHAIR_3; ++nKind) nChairs += getValue(nKind, anLevels[nKind]);
    return nChairs;
}
