#pragma once

#include "sprite/sprite.h"

// Where a click meets a picture on the play field: the picture is on the
// screen (shown, in a mode) and not see-through at the point. The answer is
// its z-order, so that among several pictures under the point the one drawn
// on top wins; -1 when the click misses it.
inline int pictureHit(const Sprite* pSprite, int nX, int nY) {
    if (!pSprite || !pSprite->isVisible() || !pSprite->getOwnerMode()) return -1;
    return pSprite->hitTestPixels(Point(float(nX), float(nY)), 0) ? pSprite->getZOrder() : -1;
}

inline int higherHit(int nA, int nB) { return nA > nB ? nA : nB; }
