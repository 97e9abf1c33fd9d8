#pragma once

#include "field/targets/actiontarget.h"
#include "sprite/sprite.h"
#include "tsl2/list.h"

class Mug;
class PlayMode;
class Waitress;

// A place on the field that a click sends the waitress to: the pictures
// that show it, where she stands to use it and which way she faces. A click
// hits the spot where one of its pictures is drawn (not where it is
// see-through); the picture drawn on top wins among hits. A spot that has no
// picture is hit in its click box instead. The busy flag only says that her
// action on it runs: she asks the spot again when the action takes effect,
// so the flag must not refuse her.
class ActionSpot : public IActionTarget {
public:
    enum { BOX_WIDTH = 64, BOX_HEIGHT = 64 };
    // What stands in the way when she cannot act: each has its words for the
    // player (Names::STR_REFUSALS).
    enum Refusal {
        REFUSED_NOT_NOW,
        REFUSED_NO_WAY,
        REFUSED_QUEUE_FULL,
        REFUSED_HAND_FULL,
        REFUSED_HANDS_FULL,
        REFUSED_TRAY_FULL,
        REFUSED_HAND_EMPTY,
        REFUSED_NO_GLASS,
        REFUSED_NO_DRINK,
        REFUSED_DECORATED,
        REFUSED_NOT_ORDERED,
        REFUSED_GUEST_GONE,
        REFUSAL_COUNT
    };

    // (x, y) is the bottom centre of the click box.
    ActionSpot(PlayMode* pMode, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading);
    ~ActionSpot() override;

    void setBusy(bool bBusy) override { m_bBusy = bBusy && allowsBusy(); }
    bool isBusy() const { return m_bBusy; }

    // The z-order of the topmost of its pictures drawn at the point, -1 when
    // none is.
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
    // Why she cannot act on it with that hand now.
    virtual Refusal getRefusal(int) const { return REFUSED_NOT_NOW; }
    // A picture that shows the spot; a click on it reaches the spot.
    void addPicture(Tsl::SmartPtr<Sprite> pSprite) { m_lPictures.append(pSprite); }
    const Tsl::List<Tsl::SmartPtr<Sprite>>& getPictures() const { return m_lPictures; }
    // Takes the pictures out of their mode.
    void removePictures();

protected:
    virtual bool allowsBusy() const { return true; }
    Waitress* waitress() const;
    // One glass in her hands, from that hand or (with a tray) any slot.
    int findSlot(bool bFull) const;
    // The glass goes into the hand that acted, or onto the first free place of
    // her tray; false (she holds nothing new) when there is no room.
    bool giveGlass(Tsl::SmartPtr<Mug> pMug, int nHand) const;
    // Why that hand (a free place of her tray) cannot take one more glass.
    Refusal noRoomRefusal(int nHand) const;
    // Why she has no glass to give with that hand (from her tray).
    Refusal noGlassRefusal(int nHand) const;

    PlayMode* m_pMode;
    int m_nX, m_nY, m_nZOrder;
    int m_nUseX, m_nUseY, m_nHeading;
    int m_nBoxWidth, m_nBoxHeight;
    bool m_bBusy;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lPictures;
};
