#include "field/waitresserrands.h"

#include "field/command.h"
#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/playfield.h"
#include "field/waitress.h"
#include "field/walkgrid.h"

#include <cmath>

WaitressErrands::WaitressErrands(PlayMode* pMode, const WalkGrid& grid, PlayField& field)
    : m_pMode(pMode), m_grid(grid), m_field(field) {}

WaitressErrands::~WaitressErrands() {}

bool WaitressErrands::getWalkEnd(PathWaypoint& end) const {
    if (!m_bWalkPending || m_lRoute.isEmpty()) return false;
    end = m_lRoute.getLast();
    return true;
}

bool WaitressErrands::click(const Tsl::SmartPtr<ActionSpot>& pTarget, int nHand) {
    Click click{pTarget, nHand};
    if (m_lCommands.isEmpty() && m_lClicks.isEmpty() && m_pWaitress->isFree())
        send(click);
    else if (m_lClicks.getCount() < CLICK_QUEUE_LIMIT)
        m_lClicks.append(click);
    else
        return false;
    return true;
}

void WaitressErrands::update(float fDt) {
    updateWalk(fDt);
    takeOrdersNearby();
    updateCommands();
}

bool WaitressErrands::walkTo(int nX, int nY) {
    if (!m_pWaitress) return false;
    Tsl::List<PathWaypoint> lRoute;
    if (!m_grid.findRoute(m_pWaitress->getX(), m_pWaitress->getY(), nX, nY, lRoute)) return false;
    m_lRoute = lRoute;
    m_bWalkPending = true;
    m_nStallFrames = 0;
    return true;
}

void WaitressErrands::stopWalking() {
    m_bWalkPending = false;
    m_lRoute.clear();
    if (m_pWaitress) m_pWaitress->stop();
}

void WaitressErrands::chooseStep(float fX, float fY, const PathWaypoint& next, int& nHeading, int& nSecond) const {
    float fDx = next.m_nX - fX, fDy = next.m_nY - fY;
    int nHorizontal = std::fabs(fDx) >= 1.0f ? (fDx > 0 ? Waitress::EAST : Waitress::WEST) : -1;
    int nVertical = std::fabs(fDy) >= 1.0f ? (fDy > 0 ? Waitress::SOUTH : Waitress::NORTH) : -1;
    int nCurrent = m_pWaitress->getHeading();
    // Keep the heading while its way is not done, so a diagonal does not flicker.
    if (nCurrent == nHorizontal || nCurrent == nVertical)
        nHeading = nCurrent;
    else if (nHorizontal < 0)
        nHeading = nVertical;
    else if (nVertical < 0)
        nHeading = nHorizontal;
    else
        nHeading = std::fabs(fDx) >= std::fabs(fDy) ? nHorizontal : nVertical;
    nSecond = nHeading == nHorizontal ? nVertical : nHorizontal;
}

void WaitressErrands::updateWalk(float fDt) {
    if (!m_bWalkPending) return;
    float fX, fY;
    m_pWaitress->getPosition(fX, fY);
    while (!m_lRoute.isEmpty()) {
        PathWaypoint next = m_lRoute.getFirst();
        if (std::fabs(next.m_nX - fX) >= 1.0f || std::fabs(next.m_nY - fY) >= 1.0f) break;
        m_lRoute.removeFirst();
    }
    if (m_lRoute.isEmpty()) {
        stopWalking();
        return;
    }
    PathWaypoint next = m_lRoute.getFirst();
    int nHeading, nSecond;
    chooseStep(fX, fY, next, nHeading, nSecond);
    m_pWaitress->startWalking(nHeading, nSecond);
    bool bMoved = false;
    if (m_pWaitress->isWalking()) {
        float fVx, fVy;
        m_pWaitress->getVelocity(fDt, fVx, fVy);
        float fDx = next.m_nX - fX, fDy = next.m_nY - fY;
        if (std::fabs(fVx) > std::fabs(fDx)) fVx = fDx;
        if (std::fabs(fVy) > std::fabs(fDy)) fVy = fDy;
        m_pWaitress->setPosition(fX + fVx, fY + fVy);
        float fNewX, fNewY;
        m_pWaitress->getPosition(fNewX, fNewY);
        bMoved = fNewX != fX || fNewY != fY;
    }
    // Nothing else ends a walk that cannot go on.
    m_nStallFrames = bMoved ? 0 : m_nStallFrames + 1;
    if (m_nStallFrames > STALL_FRAMES) stopWalking();
}

// Once per stop, before her next action begins: an asking guest within her
// reach gives the order without a click on the balloon. When that guest's
// seat is where she was sent and she has nothing to do there now, the order
// was the errand: she does not go on to refuse it.
void WaitressErrands::takeOrdersNearby() {
    if (m_bWalkPending || !m_pWaitress->hasStoppedWalking()) {
        m_bStopSeen = false;
        return;
    }
    if (m_bStopSeen) return;
    m_bStopSeen = true;
    CmdUseTarget* pUse = m_lCommands.getCount() > 1 ? dynamic_cast<CmdUseTarget*>(m_lCommands.getLast().get()) : nullptr;
    for (const Tsl::SmartPtr<CharacterSpot>& pSeat : m_field.m_lSeatSpots) {
        Tsl::SmartPtr<Character> pCharacter = pSeat->getCharacter();
        if (!pCharacter || pCharacter->getState() != Character::STATE_ASKING || !pSeat->isWithinReach()) continue;
        pCharacter->takeOrder();
        // A used glass there may be what she was sent for: that errand
        // goes on, and is refused aloud if she cannot take it.
        if (pUse && pUse->getTarget() == pSeat.get() && !pSeat->hasUsedGlass() && !pSeat->canDoAction(pUse->getHand())) {
            m_lCommands.removeAt(m_lCommands.getCount() - 1);
            pUse = nullptr;
        }
    }
}

void WaitressErrands::send(const Click& click) {
    m_lCommands.clear();
    m_bCommandStarted = false;
    m_lCommands.append(new CmdWalk(click.pSpot->getUseX(), click.pSpot->getUseY()));
    m_lCommands.append(new CmdSetHeading(click.pSpot->getHeading()));
    m_lCommands.append(new CmdUseTarget(click.pSpot, click.nHand));
}

void WaitressErrands::updateCommands() {
    // A few steps a frame: facing a spot takes no time.
    for (int nStep = 0; nStep < 3; ++nStep) {
        if (m_lCommands.isEmpty()) {
            if (m_lClicks.isEmpty() || !m_pWaitress->isFree()) return;
            send(m_lClicks.removeFirst());
        }
        Tsl::SmartPtr<Command> pCommand = m_lCommands.getFirst();
        if (!m_bCommandStarted) {
            pCommand->start(m_pMode);
            m_bCommandStarted = true;
        }
        if (!pCommand->isDone(m_pMode)) return;
        m_lCommands.removeFirst();
        m_bCommandStarted = false;
        if (pCommand->hasFailed()) m_lCommands.clear();
    }
}
