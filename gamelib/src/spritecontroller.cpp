#include "spritecontroller.h"

#include "sprite.h"

SpriteController::SpriteController(float fDuration, unsigned int nTimerFlags)
    : m_pTimer(new Timer(fDuration, nTimerFlags)) {}

SpriteController::~SpriteController() {}

void SpriteController::start(Tsl::SmartPtr<Sprite> pSprite) {}

bool SpriteController::update(Tsl::SmartPtr<Sprite> pSprite) { return false; }

bool SpriteController::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    m_pTimer->advance(fDt);
    return update(pSprite);
}

bool SpriteController::tick(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    return step(m_pTimer->getTimeLeft(), pSprite);
}
