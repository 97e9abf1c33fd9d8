#pragma once

#include "image/rect.h"
#include "sprite/sprite.h"
#include "tsl2/refcount.h"

class GameMode;

// What a guest's balloon tells the player once the guest is at the bar: the
// drink wanted (after the order is taken) and, over the balloon, a meter of
// the patience left, shown from the first ask until the drink comes. A
// picture the content lacks is left out rather than failing the level.
class OrderBalloon : public Tsl::RefCountedObject {
public:
    enum { NO_DRINK = -1, NO_STEP = -1 };

    // (x, y) is the middle of the balloon.
    OrderBalloon(GameMode* pMode, int nX, int nY, int nZOrder);
    ~OrderBalloon() override;

    // NO_DRINK hides the drink.
    void showDrink(int nDrink, bool bDecorated = false);
    // The meter's step for the share of patience left, 0 to 1; a negative share hides it.
    void showPatience(float fShare);
    void hide();
    // What its shown pictures cover on the screen; empty while hidden.
    Rect getScreenBox() const;
    // Takes the pictures out of their mode.
    void remove();
    // The balloon and its pictures go to another middle (x, y) and z-order.
    void moveTo(int nX, int nY, int nZOrder);
    // The drink shown is part of the guest's picture: the z-order where it
    // is drawn at the point, else -1. The meter is not: a click goes through it.
    int hitTest(int nX, int nY) const;

private:
    // The full meter while more than the last step's share is left, one
    // step less for each share gone; step 0 is the last share.
    static int patienceStep(float fShare);
    // Shows the picture centred at (x, y), making the sprite on first use.
    void showPicture(Tsl::SmartPtr<Sprite>& pSprite, const Tsl::String& sImage, int nY, int nZOrder);

    GameMode* m_pMode;
    int m_nX, m_nY, m_nZOrder;
    int m_nStep;  // the meter's, NO_STEP while hidden
    Tsl::SmartPtr<Sprite> m_pDrink;
    Tsl::SmartPtr<Sprite> m_pMeter;
};
