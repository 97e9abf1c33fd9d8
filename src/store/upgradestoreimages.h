#pragma once

#include "image/image.h"

#include "tsl2/refcount.h"

class AnimSprite;

// The store's pictures of its nine item positions at each store level:
// items, sold-out and unavailable stamps over greyed items, and the
// composed show signs. Every picture that is changed is a private copy, so
// the cached pictures stay as they are.
class UpgradeStoreImages {
public:
    enum { SIGN_CANVAS_WIDTH = 210, SIGN_CANVAS_HEIGHT = 260, SOLD_SIGN_CANVAS_HEIGHT = 270 };

    // The live parrot of position 3 at level 0; null for anything else.
    static Tsl::SmartPtr<AnimSprite> getStoreAnimation(int nPosition, int nLevel);
    // Null for a position or level out of range or without a picture.
    static Tsl::SmartPtr<Image> getStoreImage(int nPosition, int nLevel);
    // The picture under the mouse; null for stamps, the parrot and sold-out signs.
    static Tsl::SmartPtr<Image> getStoreHighlightImage(int nPosition, int nLevel);
    // The row entry naming the picture; null when the position lacks one.
    static const char* entryOf(int nPosition, int nLevel);

private:
    static bool isStamp(const char* pszEntry);
    static Tsl::SmartPtr<Image> greyed(const char* pszName);
    static Tsl::SmartPtr<Image> stampedItem(int nPosition, const char* pszStamp);
    static Tsl::SmartPtr<Image> parrotStand();
    static Tsl::SmartPtr<Image> signs(int nLevel, const char* pszCurrentSuffix);
};
