#pragma once

#include "actionspot.h"
#include "character.h"

// A seat as the waitress sees it: she serves its customer a full glass of
// the ordered drink, or takes the used glass left there.
class CharacterSpot : public ActionSpot {
public:
    CharacterSpot(PlayMode* pMode, int nSeat, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading);

    void setCharacter(Tsl::SmartPtr<Character> pCharacter);
    // Only the seated customer can be removed.
    void removeCharacter(Tsl::SmartPtr<Character> pCharacter);
    Tsl::SmartPtr<Character> getCharacter() const { return m_pChar; }
    void setUsedGlass(Tsl::SmartPtr<Mug> pMug);
    bool hasUsedGlass() const { return m_pUsedGlass != nullptr; }
    int getSeat() const { return m_nSeat; }

    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int nHand) override;

private:
    int servableSlot(int nHand) const;

    int m_nSeat;
    Tsl::SmartPtr<Character> m_pChar;
    Tsl::SmartPtr<Mug> m_pUsedGlass;
};
