#include "sprite/spritecontroller.h"

#include "app/gamemode.h"
#include "sprite/sprite.h"

#include "tsl2/error.h"

namespace {

// The wrappers below act once the sprite has one controller left: the wrapper
// itself, or the composite it is the running child of.
bool isLastController(const Tsl::SmartPtr<Sprite>& pSprite) { return pSprite && pSprite->getControllerCount() == 1; }

} // namespace

// ---- base -----------------------------------------------------------------------

SpriteController::SpriteController() : m_pTimer(new Timer(0.0f, 0)) {}

SpriteController::~SpriteController() {}

void SpriteController::start(Tsl::SmartPtr<Sprite>) {}

bool SpriteController::update(Tsl::SmartPtr<Sprite>) { return false; }

bool SpriteController::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    m_pTimer->advance(fDt);
    return update(pSprite);
}

bool SpriteController::tick(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    return step(m_pTimer->getTimeLeft(), pSprite);
}

// ---- composites -------------------------------------------------------------------

SCComposite::SCComposite(const SpriteControllerList& lChildren) {
    for (SpriteController* pChild : lChildren) add(pChild);
}

void SCComposite::add(SpriteController* pController) {
    if (pController) m_lChildren.append(pController);
}

SCComposite::~SCComposite() {
    SpriteControllerList lChildren(m_lChildren);
    m_lChildren.clear();
    for (SpriteController* pChild : lChildren) delete pChild;
}

void SCComposite::tickChildren(Tsl::SmartPtr<Sprite> pSprite, bool bStartOthers, int nRunning) {
    TSL_TRACE();
    int nCount = m_lChildren.getCount();
    for (int i = 0; i < nCount; ++i) {
        SpriteController* pChild = m_lChildren.getAt(i);
        if (bStartOthers && i != nRunning) pChild->start(pSprite);
        pChild->tick(pSprite);
    }
}

void SCComposite::deleteChildAt(int nIndex) { delete m_lChildren.removeAt(nIndex); }

void SCQueue::start(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!m_lChildren.isEmpty()) m_lChildren.getFirst()->start(pSprite);
}

bool SCQueue::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (m_lChildren.isEmpty()) return true;
    if (!m_lChildren.getFirst()->step(fDt, pSprite)) return false;
    deleteChildAt(0);
    // The next child starts now and runs from the next frame: the rest of
    // this frame's time is not handed on.
    if (!m_lChildren.isEmpty()) m_lChildren.getFirst()->start(pSprite);
    return false;
}

bool SCQueue::tick(Tsl::SmartPtr<Sprite> pSprite) {
    tickChildren(pSprite, true, 0);
    return true;
}

void SCSet::start(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    for (SpriteController* pChild : m_lChildren) pChild->start(pSprite);
}

bool SCSet::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    for (int i = 0; i < m_lChildren.getCount();) {
        if (m_lChildren.getAt(i)->step(fDt, pSprite)) deleteChildAt(i);
        else ++i;
    }
    return m_lChildren.isEmpty();
}

bool SCSet::tick(Tsl::SmartPtr<Sprite> pSprite) {
    tickChildren(pSprite, false, -1);
    return true;
}

void SCLoop::start(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!m_lChildren.isEmpty()) m_lChildren.getAt(0)->start(pSprite);
}

bool SCLoop::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    // An empty loop raises the list's index error here.
    SpriteController* pChild = m_lChildren.getAt(m_nIndex);
    if (!pChild->step(fDt, pSprite)) return false;
    if (pChild->isSpent()) {
        // Restarting it would run empty turns (or reach what it gave away).
        deleteChildAt(m_nIndex);
        if (m_lChildren.isEmpty()) return true;
        if (m_nIndex >= m_lChildren.getCount()) m_nIndex = 0;
    } else {
        m_nIndex = m_nIndex < m_lChildren.getCount() - 1 ? m_nIndex + 1 : 0;
    }
    SpriteController* pNext = m_lChildren.getAt(m_nIndex);
    pNext->getTimer()->setTime(0.0f);
    pNext->start(pSprite);
    return false;
}

bool SCLoop::tick(Tsl::SmartPtr<Sprite> pSprite) {
    tickChildren(pSprite, true, m_nIndex);
    return true;
}

// ---- wrappers -----------------------------------------------------------------------

SCWhenDone::~SCWhenDone() { delete m_pNext; }

void SCWhenDone::handOver(Tsl::SmartPtr<Sprite> pSprite) {
    SpriteController* pNext = m_pNext;
    m_pNext = nullptr;
    if (pSprite) pSprite->addController(pNext);
    else delete pNext;
}

bool SCWhenDone::update(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    // It hands its controller to the sprite, so it must be the sprite's own
    // last controller, not a composite's child.
    if (!isLastController(pSprite) || pSprite->getController(0) != this) return false;
    handOver(pSprite);
    return true;
}

bool SCWhenDone::tick(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (m_pNext) handOver(pSprite);
    return true;
}

bool SCCallbackWhenDone::update(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!isLastController(pSprite)) return false;
    if (m_pTarget) m_pTarget->onCallback(m_nId, m_nData);
    return true;
}

bool SCRemoveWhenDone::update(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!isLastController(pSprite)) return false;
    // A sprite in no mode has nothing to be taken out of.
    if (GameMode* pMode = pSprite->getOwnerMode()) pMode->removeSprite(pSprite);
    return true;
}

SCDelayController::~SCDelayController() { delete m_pInner; }

void SCDelayController::start(Tsl::SmartPtr<Sprite>) {}

void SCDelayController::startInner(Tsl::SmartPtr<Sprite> pSprite) {
    if (m_bInnerStarted || !m_pInner) return;
    m_bInnerStarted = true;
    m_pInner->start(pSprite);
}

void SCDelayController::dropInner() {
    delete m_pInner;
    m_pInner = nullptr;
}

bool SCDelayController::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (m_fDelay <= 0.0f) {
        if (!m_pInner) return true;
        startInner(pSprite);
        bool bDone = m_pInner->step(fDt, pSprite);
        if (bDone) dropInner();
        return bDone;
    }
    m_fDelay -= fDt;
    if (m_fDelay > 0.0f) return false;
    if (m_pInner) {
        startInner(pSprite);
        // Done already: it goes now rather than being stepped a second time
        // (a callback would fire twice); the wrapper still ends on the next step.
        if (m_pInner->step(-m_fDelay, pSprite)) dropInner();
    }
    return false;
}

bool SCDelayController::tick(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!m_pInner) return true;
    startInner(pSprite);
    m_fDelay = 0.0f;
    return m_pInner->tick(pSprite);
}
