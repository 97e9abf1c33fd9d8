#include "field/command.h"

#include "field/targets/actionspot.h"
#include "field/playmode.h"
#include "field/waitress.h"

void CmdWalk::start(PlayMode* pMode) {
    if (pMode->walkTo(m_nX, m_nY)) return;
    m_bFailed = true;
    pMode->refuse(ActionSpot::REFUSED_NO_WAY);
}

bool CmdWalk::isDone(PlayMode* pMode) {
    if (m_bFailed) return true;
    if (pMode->isWalkPending()) return false;
    // A walk that stalled on the way ends short of the goal.
    Waitress* pWaitress = pMode->getWaitress();
    int nDx = pWaitress->getX() - m_nX, nDy = pWaitress->getY() - m_nY;
    m_bFailed = nDx * nDx + nDy * nDy > ARRIVAL_SLACK * ARRIVAL_SLACK;
    // The click is dropped: the player hears and reads why.
    if (m_bFailed) pMode->refuse(ActionSpot::REFUSED_NO_WAY);
    return true;
}

void CmdSetHeading::start(PlayMode* pMode) { pMode->getWaitress()->setHeading(m_nHeading); }

void CmdUseTarget::start(PlayMode* pMode) {
    Waitress* pWaitress = pMode->getWaitress();
    if (pWaitress->startAction(m_pTarget.get(), m_nHand) >= 0) return;
    // A target that would take the action: only her arm, still moving, refused.
    ActionSpot::Refusal why =
        m_pTarget->canDoAction(m_nHand) ? ActionSpot::REFUSED_NOT_NOW : m_pTarget->getRefusal(m_nHand);
    pWaitress->startAction(nullptr, m_nHand);
    m_pTarget->onRefused(m_nHand);
    pMode->refuse(why);
}

bool CmdUseTarget::isDone(PlayMode* pMode) { return pMode->getWaitress()->getState() != Waitress::STATE_ACT; }
