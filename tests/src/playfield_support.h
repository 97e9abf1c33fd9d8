// A play field record the tests can make and destroy: its seat lists hold
// customers and seat spots, which must be complete types.
#pragma once

#include "field/playfield.h"

#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/playmode.h"

// A guest named after its animation ("ch_<name>.anim") on the seat, as the
// spawn manager seats one: made in the bar's row (the VIPs' at a VIP
// place), then told its seat's kind.
inline Tsl::SmartPtr<Character> seatGuest(PlayMode* pMode, int nSeat, const char* pszName = "surfer") {
    PlayField* pField = pMode->getField();
    const SceneData& scene = pMode->getScene();
    bool bVip = nSeat >= pField->m_nFirstVipSeat;
    int nSide = bVip ? pField->m_lVipSides.getAt(nSeat - pField->m_nFirstVipSeat) : 1;
    Tsl::SmartPtr<CharacterSpot> pSeat = pField->m_lSeatSpots.getAt(nSeat);
    Tsl::SmartPtr<Character> pGuest =
        new Character(pMode, pszName, nSeat, pSeat->getX(), bVip ? scene.m_nVipPosY : scene.m_nCharPosY,
                      bVip ? scene.m_nVipDepth : scene.m_nCharDepth, bVip, nSide, 0);
    pGuest->setSeatKind(pField->m_lSeatKinds.getAt(nSeat));
    pField->m_lSeatOccupants.getNode(nSeat)->data = pGuest;
    pSeat->setCharacter(pGuest);
    return pGuest;
}
