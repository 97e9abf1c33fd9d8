#pragma once

#include "tsl2/refcount.h"

class AnimSprite;
class Image;

// The catalogue of bar upgrades: what each level of a kind means to the play
// field and what it costs. No state; every user makes its own.
class UpgradeManager : public Tsl::RefCountedObject {
public:
    enum Kind {
        KIND_TRAY = 0,
        KIND_UNUSED = 1,
        KIND_CHAIR_0 = 2,
        KIND_CHAIR_3 = 5,
        KIND_STATION_0 = 6,
        KIND_STATION_1 = 7,
        KIND_PARROT_STAND = 8,
        KIND_PROP_DISPENSER = 9,
        KIND_CENTER_0 = 10,
        KIND_CENTER_1 = 11,
        KIND_SHOW = 12,
        KIND_COUNT = 13
    };

    // Kind 0: carrying capacity; kinds 1-11: the level itself (unchecked);
    // kind 12: the customers' patience bonus. -1 for any other kind or a
    // level that kinds 0 and 12 do not have.
    int getValue(int nKind, int nLevel) const;
    // The price of going from the level to the next; -1 at the last level
    // and for a kind or level the catalogue does not have.
    int getPrice(int nKind, int nLevel) const;
    int getLevelCount(int nKind) const;

    // The store's pictures of its nine item positions (see UpgradeStoreImages):
    // the live parrot of position 3 at level 0, else null; the picture of a
    // position at a store level; the picture under the mouse.
    Tsl::SmartPtr<AnimSprite> getStoreAnimation(int nPosition, int nLevel) const;
    Tsl::SmartPtr<Image> getStoreImage(int nPosition, int nLevel) const;
    Tsl::SmartPtr<Image> getStoreHighlightImage(int nPosition, int nLevel) const;
};
