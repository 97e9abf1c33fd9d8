#pragma once

#include "actiontarget.h"
#include "sprite/sprite.h"

class Mug;
class PlayMode;
class Waitress;

// A place on the field that a click sends the waitress to: its click box,
// where she stands to use it and which way she faces. A click hits when the
// point is inside the box; the higher z-order wins among hits. The busy flag
// only says that her action on it runs: she asks the spot again when the
// action takes effect, so the flag must not refuse her.
class ActionSpot : public IActionTarget {
public:
    enum { BOX_WIDTH = 64, BOX_HEIGHT = 64 };

    // (x, y) is the bottom centre of the click box.
    ActionSpot(PlayMode* pMode, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading);
    ~ActionSpot() override;

    void setBusy(bool bBusy) override { m_bBusy = bBusy && allowsBusy(); }
    bool isBusy() const { return m_bBusy; }

    // The z-order when the point is in the box, else -1.
    virtual int hitTest(int nX, int nY) const;
    int getX() const { return m_nX; }
    int getY() const { return m_nY; }
    int getZOrder() const { return m_nZOrder; }
    int getUseX() const { return m_nUseX; }
    int getUseY() const { return m_nUseY; }
    int getHeading() const { return m_nHeading; }
    void setBox(int nWidth, int nHeight);
    // She was sent here and could not act with that hand: what the spot
    // answers, beyond her own refusal gesture.
    virtual void onRefused(int) {}
    // The spot's picture, when the scene gives it one.
    void setSprite(Tsl::SmartPtr<Sprite> pSprite) { m_pSprite = pSprite; }
    // Takes the picture out of its mode.
    void removeSprite();

protected:
    virtual bool allowsBusy() const { return true; }
    Waitress* waitress() const;
    // One glass in her hands, from that hand or (with a tray) any slot.
    int findSlot(bool bFull) const;
    // The glass goes into the hand that acted, or onto the first free place of
    // her tray; false (she holds nothing new) when there is no room.
    bool giveGlass(Tsl::SmartPtr<Mug> pMug, int nHand) const;

    PlayMode* m_pMode;
    int m_nX, m_nY, m_nZOrder;
    int m_nUseX, m_nUseY, m_nHeading;
    int m_nBoxWidth, m_nBoxHeight;
    bool m_bBusy;
    Tsl::SmartPtr<Sprite> m_pSprite;
};
