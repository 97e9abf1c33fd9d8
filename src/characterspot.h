#pragma once

#include "actionspot.h"

class Character;
class Mug;

// Where a seat's guest is drawn (its feet and depth) and where its glass
// stands: on the surface before it (the counter, a table) or, for a guest
// standing on the sand, at its feet.
struct SeatPlace {
    int nX = 0, nY = 0, nDepth = 0;
    int nGlassX = 0, nGlassY = 0, nGlassZ = 0;
};

// A seat as the waitress sees it: she serves its customer a full glass of
// the ordered drink, or takes the used glass left there. The seat shows as
// its guest and the glasses there; an empty seat shows nothing to click.
class CharacterSpot : public ActionSpot {
public:
    // (x, y, z-order) is where the guest stands; its glass stands there too
    // until setGlassPlace says otherwise.
    CharacterSpot(PlayMode* pMode, int nSeat, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading);

    void setCharacter(Tsl::SmartPtr<Character> pCharacter);
    // Only the seated customer can be removed.
    void removeCharacter(Tsl::SmartPtr<Character> pCharacter);
    Tsl::SmartPtr<Character> getCharacter() const { return m_pChar; }
    void setUsedGlass(Tsl::SmartPtr<Mug> pMug);
    bool hasUsedGlass() const { return m_pUsedGlass != nullptr; }
    Tsl::SmartPtr<Mug> getUsedGlass() const { return m_pUsedGlass; }
    int getSeat() const { return m_nSeat; }
    const SeatPlace& getPlace() const { return m_place; }
    void setGlassPlace(int nX, int nY, int nZOrder);
    int hitTest(int nX, int nY) const override;

    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int nHand) override;

private:
    int servableSlot(int nHand) const;

    int m_nSeat;
    SeatPlace m_place;
    Tsl::SmartPtr<Character> m_pChar;
    Tsl::SmartPtr<Mug> m_pUsedGlass;
};
