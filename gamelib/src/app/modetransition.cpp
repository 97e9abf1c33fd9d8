#include "app/modetransition.h"

#include "app/gameapp.h"

ModeTransition::ModeTransition(Tsl::SmartPtr<GameMode> pTarget, unsigned int nFlags)
    : GameMode(nFlags), m_pTarget(pTarget) {}

ModeTransition::~ModeTransition() {}

void ModeTransition::finishTransition() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    // Keep ourselves and the target alive across the swap.
    Tsl::SmartPtr<GameMode> pSelf(this);
    Tsl::SmartPtr<GameMode> pTarget = m_pTarget;
    pApp->setSuppressFocusChanges(true);
    try {
        pApp->endMode(this);
        if (pTarget) pApp->pushMode(pTarget);
    } catch (...) {
        pApp->setSuppressFocusChanges(false);
        throw;
    }
    pApp->setSuppressFocusChanges(false);
    // Without a target the uncovered mode stays on top: it was told it lost
    // the focus when this transition came, so it is told it has it back.
    Tsl::SmartPtr<GameMode> pNewTop = pTarget ? pTarget : (pApp->getModeCount() > 0 ? pApp->getModeAt(0) : nullptr);
    if (pNewTop) pNewTop->onActivate();
}

namespace {
const float FADE_SPEED = 2.0f;  // alpha per second
}

TrnFadeToBlack::TrnFadeToBlack() : m_fAlpha(0.0f) {}

void TrnFadeToBlack::init() {
    TSL_TRACE();
    m_pShade = addOverlay(0.0f);
    m_pShade->setZOrder(FADE_Z_ORDER);
}

void TrnFadeToBlack::onUpdate(float fDt) {
    TSL_TRACE();
    GameMode::onUpdate(fDt);
    m_fAlpha += FADE_SPEED * fDt;
    if (m_fAlpha > 1.0f) m_fAlpha = 1.0f;
    if (m_pShade) m_pShade->setAlpha(m_fAlpha);
    if (m_fAlpha >= 1.0f) finishTransition();
}
