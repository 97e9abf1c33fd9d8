#pragma once

#include "field/targets/actionspot.h"
#include "field/mug.h"

#include "tsl2/list.h"

class Character;

// Where a seat's guest is drawn (its feet and depth) and where its glass
// stands: on the surface before it (the counter, a table) or, for a guest
// standing on the sand, at its feet.
struct SeatPlace {
    int nX = 0, nY = 0, nDepth = 0;
    int nGlassX = 0, nGlassY = 0, nGlassZ = 0;
};

// A seat as the waitress sees it: she serves its customer a full glass of
// the ordered drink, or takes a used glass left there. Used glasses stay on
// the seat, each with its picture, until she takes them, also while the
// next customer sits there: the seat is offered to a new customer as soon
// as the last one has gone. However many are left, they stay on the seat's
// surface: a row of places, a row behind it, then the same places again.
// The seat shows as its guest and the glasses there; an empty seat shows
// nothing to click.
class CharacterSpot : public ActionSpot {
public:
    // How near her hand must come to where it serves this seat for the seat
    // to be within her reach: the seat she stands at, whichever way she
    // faces, and a next seat along the bar that she faces.
    enum { REACH = 56 };

    // (x, y, z-order) is where the guest stands; its glass stands there too
    // until setGlassPlace says otherwise.
    CharacterSpot(PlayMode* pMode, int nSeat, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading);

    void setCharacter(Tsl::SmartPtr<Character> pCharacter);
    // Only the seated customer can be removed.
    void removeCharacter(Tsl::SmartPtr<Character> pCharacter);
    Tsl::SmartPtr<Character> getCharacter() const;
    // Stands beside the glasses left before it, at the seat's glass place.
    void addUsedGlass(Tsl::SmartPtr<Mug> pMug);
    bool hasUsedGlass() const { return !m_lUsedGlasses.isEmpty(); }
    const Tsl::List<Tsl::SmartPtr<Mug>>& getUsedGlasses() const { return m_lUsedGlasses; }
    int getSeat() const { return m_nSeat; }
    const SeatPlace& getPlace() const { return m_place; }
    // The seat's place with its glass moved beside the glasses left there,
    // so that a drink set down hides no used glass while the row has room.
    SeatPlace getNextGlassPlace() const;
    void setGlassPlace(int nX, int nY, int nZOrder);
    // The x of each place of the row on the seat's surface, the glass
    // place's first (SeatLayout); without one, glasses stand at the glass place.
    void setGlassRow(const Tsl::List<int>& lX) { m_lGlassRow = lX; }
    const Tsl::List<int>& getGlassRow() const { return m_lGlassRow; }
    // How far the guest's balloon stands from over its head (SeatLayout).
    void setBalloonShift(int nDx, int nDy) { m_nBalloonDx = nDx, m_nBalloonDy = nDy; }
    int getBalloonShiftX() const { return m_nBalloonDx; }
    int getBalloonShiftY() const { return m_nBalloonDy; }
    int hitTest(int nX, int nY) const override;
    // Whether one of her hands is near where it would be to serve here:
    // standing at the seat's place and facing its way.
    bool isWithinReach() const;

    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int nHand) override;
    // She came with a glass the customer did not order.
    void onRefused(int nHand) override;
    // The drink a waiting guest turns down; else a used glass left there,
    // which she would take; else the guest gone, not ready, or what she offers.
    Refusal getRefusal(int nHand) const override;

private:
    int servableSlot(int nHand) const;
    bool offersGlass(int nHand) const;

    int m_nSeat;
    SeatPlace m_place;
    Tsl::SmartPtr<Character> m_pChar;
    Tsl::List<Tsl::SmartPtr<Mug>> m_lUsedGlasses;
    Tsl::List<int> m_lGlassRow;
    int m_nBalloonDx = 0, m_nBalloonDy = 0;
};
