#include "field/customers/characterspot.h"

#include "field/customers/character.h"
#include "field/customers/seatlayout.h"
#include "field/mug.h"
#include "base/names.h"
#include "field/picturehit.h"
#include "field/playmode.h"
#include "field/waitress.h"

CharacterSpot::CharacterSpot(PlayMode* pMode, int nSeat, int nX, int nY, int nZOrder, int nUseX, int nUseY,
                             int nHeading)
    : ActionSpot(pMode, nX, nY, nZOrder, nUseX, nUseY, nHeading), m_nSeat(nSeat) {
    m_place.nX = nX;
    m_place.nY = nY;
    m_place.nDepth = nZOrder;
    setGlassPlace(nX, nY, nZOrder + 1);
}

void CharacterSpot::setGlassPlace(int nX, int nY, int nZOrder) {
    m_place.nGlassX = nX;
    m_place.nGlassY = nY;
    m_place.nGlassZ = nZOrder;
}

int CharacterSpot::hitTest(int nX, int nY) const {
    int nHit = m_pChar ? m_pChar->hitTest(nX, nY) : -1;
    for (const Tsl::SmartPtr<Mug>& pGlass : m_lUsedGlasses) nHit = higherHit(nHit, pGlass->hitTest(nX, nY));
    return nHit;
}

// Out of line: the customer's own header includes this one.
Tsl::SmartPtr<Character> CharacterSpot::getCharacter() const { return m_pChar; }

void CharacterSpot::setCharacter(Tsl::SmartPtr<Character> pCharacter) { m_pChar = pCharacter; }

void CharacterSpot::removeCharacter(Tsl::SmartPtr<Character> pCharacter) {
    TSL_ASSERT(m_pChar == pCharacter);
    m_pChar = nullptr;
}

SeatPlace CharacterSpot::getNextGlassPlace() const {
    SeatPlace place = m_place;
    int nRow = m_lGlassRow.isEmpty() ? 1 : m_lGlassRow.getCount();
    int nSlot = m_lUsedGlasses.getCount() % (nRow * SeatLayout::ROWS);
    if (!m_lGlassRow.isEmpty()) place.nGlassX = m_lGlassRow.getAt(nSlot % nRow);
    // The back row stands behind the front one, not drawn over it.
    place.nGlassY -= nSlot / nRow * SeatLayout::ROW_RISE;
    place.nGlassZ -= nSlot / nRow;
    return place;
}

void CharacterSpot::addUsedGlass(Tsl::SmartPtr<Mug> pMug) {
    if (!pMug) return;
    SeatPlace place = getNextGlassPlace();
    pMug->setPosition(place.nGlassX, place.nGlassY, place.nGlassZ);
    pMug->setViewMode(Mug::VIEW_STAND);
    pMug->setScale(1.0f);
    pMug->setVisible(true);
    m_lUsedGlasses.append(pMug);
}

bool CharacterSpot::isWithinReach() const {
    Waitress* pWaitress = waitress();
    if (!pWaitress) return false;
    for (int nHand = 0; nHand < 2; ++nHand) {
        int nDx, nDy, nX, nY;
        Waitress::getReachOffset(m_nHeading, nHand, nDx, nDy);
        pWaitress->getHandPosition(nX, nY, nHand);
        nX -= m_nUseX + nDx;
        nY -= m_nUseY + nDy;
        if (nX * nX + nY * nY <= REACH * REACH) return true;
    }
    return false;
}

int CharacterSpot::servableSlot(int nHand) const {
    Waitress* pWaitress = waitress();
    if (!pWaitress || !m_pChar) return -1;
    if (!pWaitress->hasTray()) return m_pChar->accepts(pWaitress->getHandContents(nHand).get()) ? nHand : -1;
    for (int i = 0; i < pWaitress->getCapacity(); ++i)
        if (m_pChar->accepts(pWaitress->getHandContents(i).get())) return i;
    return -1;
}

bool CharacterSpot::canDoAction(int nHand) {
    Waitress* pWaitress = waitress();
    if (!pWaitress) return false;
    if (servableSlot(nHand) >= 0) return true;
    if (!hasUsedGlass()) return false;
    return pWaitress->hasTray() ? pWaitress->getMugCount() < pWaitress->getCapacity()
                                : (nHand == 0 || nHand == 1) && pWaitress->isHandEmpty(nHand);
}

int CharacterSpot::getActionKind(int nHand) { return servableSlot(nHand) >= 0 ? KIND_SERVE : KIND_TAKE; }

void CharacterSpot::doAction(int nHand) {
    Waitress* pWaitress = waitress();
    int nSlot = servableSlot(nHand);
    if (nSlot >= 0) {
        m_pChar->serve(pWaitress->takeHandContents(nSlot));
        m_pMode->playSound(Names::SFX_GLASS_LEFT);
        m_pMode->onTipEvent(PlayMode::TIP_SERVED, m_pChar->getScreenBox());
        return;
    }
    // The last one left, so the others keep their places.
    if (hasUsedGlass() && giveGlass(m_lUsedGlasses.getLast(), nHand)) {
        m_lUsedGlasses.removeAt(m_lUsedGlasses.getCount() - 1);
        m_pMode->playSound(Names::SFX_GLASS_TAKEN);
        m_pMode->onTipEvent(PlayMode::EVENT_GLASS_TAKEN);
    }
}

// A drink, not an empty glass: a guest is offered only what can be drunk.
bool CharacterSpot::offersGlass(int nHand) const {
    Waitress* pWaitress = waitress();
    if (!pWaitress) return false;
    if (pWaitress->hasTray()) return !pWaitress->getFullMugs().isEmpty();
    Tsl::SmartPtr<Mug> pMug = pWaitress->getHandContents(nHand);
    return pMug && !pMug->isEmpty();
}

void CharacterSpot::onRefused(int nHand) {
    if (m_pChar && offersGlass(nHand)) m_pChar->refuseGlass();
}

// A guest who turns down her drink is what the player sees, whatever glass
// stands beside. A seat with nothing left on it lost its guest while she was
// on her way (an empty seat shows nothing to click). A guest not waiting for
// a drink yet, or drinking one (a click on its glass is one on the guest),
// has nothing for her now.
ActionSpot::Refusal CharacterSpot::getRefusal(int nHand) const {
    bool bDrink = offersGlass(nHand);
    bool bWaiting = m_pChar && m_pChar->getState() == Character::STATE_WAITING;
    if (bWaiting && bDrink) return REFUSED_NOT_ORDERED;
    if (hasUsedGlass()) return noRoomRefusal(nHand);
    if (!m_pChar) return REFUSED_GUEST_GONE;
    if (bDrink) return REFUSED_NOT_ORDERED;
    if (!bWaiting) return REFUSED_NOT_NOW;
    // Without a tray the drink may be in her other hand.
    Waitress* pWaitress = waitress();
    bool bOtherHand = pWaitress && !pWaitress->hasTray() && pWaitress->isHandEmpty(nHand) && offersGlass(1 - nHand);
    return bOtherHand ? REFUSED_HAND_EMPTY : REFUSED_NO_DRINK;
}
