#pragma once

#include "field/customers/actionballoon.h"
#include "field/customers/characterspot.h"
#include "anim/animsprite.h"
#include "field/mug.h"
#include "field/customers/orderballoon.h"
#include "image/rect.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class PlayMode;

// A customer at a seat. It sits down, asks to order (a balloon over it that
// a click answers), waits for its drink with the drink shown in its balloon,
// drinks it sip by sip, pays and leaves its used glass on the seat. Patience
// runs while it asks and while it waits, and a meter over the balloon shows
// what is left; when it runs out the customer leaves without paying. Offered
// a glass it did not order, it says so, every time.
//
// Patience: PATIENCE_SECONDS less 5 s per difficulty step, plus the show
// upgrade's bonus, kept within 5..MAX_PATIENCE seconds. A VIP waits half as
// long and pays double.
class Character : public Tsl::RefCountedObject {
public:
    enum State { STATE_ARRIVING, STATE_ASKING, STATE_WAITING, STATE_DRINKING, STATE_GONE };
    enum { PATIENCE_SECONDS = 40, MAX_PATIENCE = 120, DRINK_PRICE = 10, DECORATION_BONUS = 5, MAX_STARS = 3 };
    static constexpr float ARRIVE_SECONDS = 1.0f;
    static constexpr float SIP_SECONDS = 1.0f;
    // How long the refusal look lasts before the customer waits again.
    static constexpr float REFUSAL_SECONDS = 0.8f;
    // The balloons stand over the guest's head, clear of the face: the figures
    // are 190 pixels high with the top of the head some 170 above the feet.
    enum { BALLOON_RISE = 196 };
    // A glass in a guest's hand is drawn at this share of its size on a surface.
    static constexpr float HELD_GLASS_SCALE = 0.7f;

    // What the balloons may cover around their middle (x, y): the order
    // balloon and the patience meter on its top edge.
    static Rect balloonBox(int nX, int nY);
    // The face of a guest standing at (x, y), which its balloon leaves in sight.
    static Rect faceBox(int nX, int nY);

    Character(PlayMode* pMode, const char* pszName, int nSeat, int nX, int nY, int nDepth, bool bVip, int nVipSide,
              int nVoice);
    ~Character() override;

    const Tsl::String& getName() const { return m_sName; }
    int getSeat() const { return m_nSeat; }
    // A seat an upgrade added (kind 1 or 2) is a chair: the guest moves
    // from the bar's row onto it, with its balloon.
    void setSeatKind(int nKind);
    int getSeatKind() const { return m_nSeatKind; }
    bool isVip() const { return m_bVip; }
    int getVoice() const { return m_nVoice; }
    int getState() const { return m_nState; }
    int getOrder() const { return m_nOrder; }
    float getPatience() const { return m_fPatience; }
    float getPatienceLeft() const { return m_fPatienceLeft; }
    Tsl::SmartPtr<ActionBalloon> getBalloon() const { return m_pBalloon; }
    Tsl::SmartPtr<AnimSprite> getSprite() const { return m_pSprite; }
    int getX() const { return m_nX; }
    int getY() const { return m_nY; }
    int getDepth() const { return m_nDepth; }
    // The glass served to it, until it pays.
    Tsl::SmartPtr<Mug> getGlass() const { return m_pMug; }
    // Where the guest or its glass is drawn at the point: the z-order on top, else -1.
    int hitTest(int nX, int nY) const;
    // What the player sees of the guest on the screen: its figure and its
    // balloons while they show.
    Rect getScreenBox() const;

    void update(float fDt);
    // The balloon was clicked: the order is taken.
    void takeOrder();
    // Whether its order shows the glass decorated: the bar has the decorations.
    bool wantsDecoration() const;
    // Whether it wants this glass now: full, of the drink it ordered.
    bool accepts(const Mug* pMug) const;
    // Whether the glass is full of what it asks for, its order taken or not.
    bool awaits(const Mug* pMug) const;
    void serve(Tsl::SmartPtr<Mug> pMug);
    // She offered a glass it does not want: a word of its voice and a short refusal look.
    void refuseGlass();
    // What it leaves on the seat once it has paid; taken once.
    Tsl::SmartPtr<Mug> takeUsedGlass();
    // Leaves at once (the level was left).
    void leave();

private:
    void setState(int nState, const char* pszSequence);
    void showBalloon(bool bShow);
    void updatePatience(float fDt);
    void pay();
    // The seat's place as the play field has it; the guest's own point when
    // there is no field.
    // The seat's spot on the field; none before the field has its seats.
    Tsl::SmartPtr<CharacterSpot> seatSpot() const;
    SeatPlace seatPlace() const;
    void sitAt(const SeatPlace& place);
    // Where its look holds a glass, mirrored with the figure; false when the
    // look does not say.
    bool findHand(int& nX, int& nY) const;
    // The balloon hangs over the guest's head, drawn above the guest.
    int balloonX() const;
    int balloonY() const;
    int balloonZ() const;

    PlayMode* m_pMode;
    Tsl::String m_sName;
    int m_nSeat;
    int m_nX, m_nY, m_nDepth;
    bool m_bVip;
    int m_nVipSide;
    int m_nVoice;
    int m_nSeatKind;
    int m_nState;
    float m_fStateTime;
    float m_fPatience;
    float m_fPatienceLeft;
    float m_fRefusalLeft;
    int m_nOrder;
    Tsl::SmartPtr<AnimSprite> m_pSprite;
    Tsl::SmartPtr<ActionBalloon> m_pBalloon;
    Tsl::SmartPtr<AnimSprite> m_pBalloonSprite;  // stepped with the customer
    Tsl::SmartPtr<OrderBalloon> m_pOrderBalloon;
    Tsl::SmartPtr<Mug> m_pMug;
};
