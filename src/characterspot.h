#pragma once

#include "actionspot.h"

#include "tsl2/list.h"

class Character;
class Mug;

// A seat as the waitress sees it: she serves its customer a full glass of
// the ordered drink, or takes a used glass left there. Used glasses stay on
// the seat, each with its picture, until she takes them, also while the
// next customer sits there: the seat is offered to a new customer as soon
// as the last one has gone.
class CharacterSpot : public ActionSpot {
public:
    // How near her hand must come to where it serves this seat for the seat
    // to be within her reach: the seat she stands at, whichever way she
    // faces, and a next seat along the bar that she faces.
    enum { REACH = 56, USED_GLASS_SPACING = 22 };

    CharacterSpot(PlayMode* pMode, int nSeat, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading);

    void setCharacter(Tsl::SmartPtr<Character> pCharacter);
    // Only the seated customer can be removed.
    void removeCharacter(Tsl::SmartPtr<Character> pCharacter);
    Tsl::SmartPtr<Character> getCharacter() const { return m_pChar; }
    // Stands beside the glasses left before it.
    void addUsedGlass(Tsl::SmartPtr<Mug> pMug);
    bool hasUsedGlass() const { return !m_lUsedGlasses.isEmpty(); }
    int getSeat() const { return m_nSeat; }
    // Whether one of her hands is near where it would be to serve here:
    // standing at the seat's place and facing its way.
    bool isWithinReach() const;

    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int nHand) override;
    // She came with a glass the customer did not order.
    void onRefused(int nHand) override;

private:
    int servableSlot(int nHand) const;

    int m_nSeat;
    Tsl::SmartPtr<Character> m_pChar;
    Tsl::List<Tsl::SmartPtr<Mug>> m_lUsedGlasses;
};
