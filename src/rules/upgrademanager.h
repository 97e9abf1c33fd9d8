#pragma once

#include "tsl2/refcount.h"
#include "tsl2/str.h"

#include <array>

class AnimSprite;
class Image;

// The catalogue of bar upgrades: the kinds, how many levels each has, what
// a level means to the play field and what it costs, where the store sells
// it and which places of a scene it furnishes. No state; every user makes
// its own, and the levels it reads belong to the player.
class UpgradeManager : public Tsl::RefCountedObject {
public:
    enum Kind {
        KIND_TRAY,
        KIND_UNUSED,
        KIND_CHAIR_0,
        KIND_CHAIR_1,
        KIND_CHAIR_2,
        KIND_CHAIR_3,
        KIND_STATION_0,
        KIND_STATION_1,
        KIND_PARROT_STAND,
        KIND_PROP_DISPENSER,
        KIND_CENTER_0,
        KIND_CENTER_1,
        KIND_SHOW,
        KIND_COUNT
    };
    enum { MOST_LEVELS = 5, TABLE_COUNT = 2, STORE_POSITION_COUNT = 9 };
    // The store's item positions.
    enum Position {
        POSITION_TRAYS,
        POSITION_CHAIRS,
        POSITION_JUICERS,
        POSITION_PARROT,
        POSITION_DECOS,
        POSITION_CENTERS,
        POSITION_SIGNS,
        POSITION_BARMAN_0,
        POSITION_BARMAN_1
    };
    // How a scene line furnishes its place; the barman's places differ by it.
    enum SlotUse { USE_PICTURE, USE_ANIMATION, USE_SPOT, USE_FIGURE, USE_SEAT };

    // The tray: its carrying capacity; the show: the customers' patience
    // bonus; every kind between them: the level itself (unchecked). -1 for
    // any other kind or a level that the tray or the show does not have.
    static int getValue(int nKind, int nLevel);
    // The price of going from the level to the next; -1 at the last level
    // and for a kind or level the catalogue does not have.
    static int getPrice(int nKind, int nLevel);
    static int getLevelCount(int nKind);

    // The store's pictures of its nine item positions (see UpgradeStoreImages):
    // the live parrot of POSITION_PARROT at level 0, else null; the picture of a
    // position at a store level; the picture under the mouse.
    Tsl::SmartPtr<AnimSprite> getStoreAnimation(int nPosition, int nLevel) const;
    Tsl::SmartPtr<Image> getStoreImage(int nPosition, int nLevel) const;
    Tsl::SmartPtr<Image> getStoreHighlightImage(int nPosition, int nLevel) const;

    // Whether the store sells the kind at the position (the bar stations'
    // juicers at one, each barman at one of their own).
    static bool isSoldAt(int nKind, int nPosition);
    // Store levels of a position: as many as the levels of what it sells,
    // one more for the centers, whose level 0 is "not yet available".
    static int getStoreLevelCount(int nPosition);

    // The kind that governs a scene's upgrade slot; -1 for a name the
    // catalogue does not have.
    static int getSlotKind(const Tsl::String& sSlot);
    // Whether a slot's place is furnished at the levels, for a line that
    // furnishes it in the given way.
    static bool isFurnished(const Tsl::String& sSlot, SlotUse eUse, const std::array<int, KIND_COUNT>& anLevels);
    // A table (0 or 1) has one of its two chairs; its cloth and centers need one.
    static bool hasChairAt(int nTable, const std::array<int, KIND_COUNT>& anLevels);
    // The seats the bought chairs add.
    static int countChairs(const std::array<int, KIND_COUNT>& anLevels);
};

// One level of each upgrade kind, indexed by UpgradeManager::Kind.
using UpgradeLevels = std::array<int, UpgradeManager::KIND_COUNT>;
