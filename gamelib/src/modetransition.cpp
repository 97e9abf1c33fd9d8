#include "modetransition.h"

#include "gameapp.h"

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
    if (pTarget) pTarget->onActivate();
}
