#include "field/targets/fieldspots.h"

#include "field/mug.h"
#include "base/names.h"
#include "field/customers/character.h"
#include "field/picturehit.h"
#include "field/playfield.h"
#include "field/playmode.h"
#include "field/waitress.h"

namespace {

// The slot a hand acts with: that hand without a tray, any slot with one.
bool hasRoom(Waitress* pWaitress, int nHand) {
    if (!pWaitress) return false;
    if (pWaitress->hasTray()) return pWaitress->getMugCount() < pWaitress->getCapacity();
    return (nHand == 0 || nHand == 1) && pWaitress->isHandEmpty(nHand);
}

int heldSlot(Waitress* pWaitress, int nHand) {
    if (!pWaitress) return -1;
    if (!pWaitress->hasTray()) return pWaitress->isHandEmpty(nHand) ? -1 : nHand;
    for (int i = 0; i < pWaitress->getCapacity(); ++i)
        if (!pWaitress->isHandEmpty(i)) return i;
    return -1;
}

// Whether a guest at the bar asks for one of the drinks she carries.
bool carriesAnOrder(PlayMode* pMode, Waitress* pWaitress) {
    for (const Tsl::SmartPtr<Character>& pGuest : pMode->getField()->m_lSeatOccupants)
        for (const Tsl::SmartPtr<Mug>& pMug : pWaitress->getFullMugs())
            if (pGuest && pGuest->awaits(pMug.get())) return true;
    return false;
}

}  // namespace

GlassSpot::GlassSpot(PlayMode* pMode, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading)
    : ActionSpot(pMode, nX, nY, nZOrder, nUseX, nUseY, nHeading) {}

bool GlassSpot::canDoAction(int nHand) {
    return m_pGlass ? hasRoom(waitress(), nHand) : heldSlot(waitress(), nHand) >= 0;
}

int GlassSpot::getActionKind(int) { return m_pGlass ? KIND_TAKE : KIND_SERVE; }

int GlassSpot::hitTest(int nX, int nY) const {
    int nHit = ActionSpot::hitTest(nX, nY);
    return m_pGlass ? higherHit(nHit, m_pGlass->hitTest(nX, nY)) : nHit;
}

void GlassSpot::doAction(int nHand) {
    Waitress* pWaitress = waitress();
    if (m_pGlass) {
        if (giveGlass(m_pGlass, nHand)) {
            m_pGlass = nullptr;
            m_pMode->playSound(Names::SFX_GLASS_TAKEN);
        }
        return;
    }
    m_pGlass = pWaitress->takeHandContents(heldSlot(pWaitress, nHand));
    if (!m_pGlass) return;
    m_pGlass->setPosition(m_nX, m_nY, m_nZOrder + 1);
    m_pGlass->setViewMode(Mug::VIEW_STAND);
    m_pGlass->setScale(1.0f);
    m_pMode->playSound(Names::SFX_GLASS_LEFT);
}

int TrashBin::pouredSlot(int nHand) const {
    Waitress* pWaitress = waitress();
    if (!pWaitress) return -1;
    if (pWaitress->hasTray()) return findSlot(false) >= 0 ? -1 : findSlot(true);
    Tsl::SmartPtr<Mug> pMug = pWaitress->getHandContents(nHand);
    return pMug && !pMug->isEmpty() ? nHand : -1;
}

bool TrashBin::canDoAction(int nHand) { return findSlot(false) >= 0 || pouredSlot(nHand) >= 0; }

void TrashBin::doAction(int nHand) {
    Waitress* pWaitress = waitress();
    int nPoured = pouredSlot(nHand);
    for (const Tsl::SmartPtr<Mug>& pMug : pWaitress->takeEmptyMugs()) pMug->detach();
    if (nPoured >= 0) pWaitress->takeHandContents(nPoured)->detach();
    m_pMode->onTipEvent(PlayMode::EVENT_SINK_USED);
}

bool PropDispenser::canDoAction(int) {
    if (!waitress()) return false;
    for (const Tsl::SmartPtr<Mug>& pMug : waitress()->getFullMugs())
        if (!pMug->isDecorated()) return true;
    return false;
}

ActionSpot::Refusal PropDispenser::getRefusal(int) const {
    return waitress() && !waitress()->getFullMugs().isEmpty() ? REFUSED_DECORATED : REFUSED_NO_DRINK;
}

void PropDispenser::doAction(int) {
    for (const Tsl::SmartPtr<Mug>& pMug : waitress()->getFullMugs()) pMug->decorate();
}

LiquidButton::LiquidButton(PlayMode* pMode, int nDrink, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading)
    : ActionSpot(pMode, nX, nY, nZOrder, nUseX, nUseY, nHeading), m_nDrink(nDrink) {}

bool LiquidButton::canDoAction(int nHand) { return hasRoom(waitress(), nHand); }

void LiquidButton::doAction(int nHand) {
    Tsl::SmartPtr<Mug> pMug = new Mug(m_pMode);
    pMug->fill(m_nDrink);
    if (!giveGlass(pMug, nHand)) {
        pMug->detach();
        return;
    }
    // Serving is the next step only for a drink somebody asked for.
    m_pMode->onTipEvent(carriesAnOrder(m_pMode, waitress()) ? PlayMode::TIP_FULL_GLASS : PlayMode::TIP_UNORDERED_DRINK);
}
