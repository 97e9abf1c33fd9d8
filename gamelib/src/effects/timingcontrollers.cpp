#include "effects/timingcontrollers.h"

#include "app/gamemode.h"
#include "effects/particlerandom.h"
#include "effects/timedduration.h"
#include "sprite/sprite.h"

#include "tsl2/error.h"

SCDelay::SCDelay(float fDuration) { getTimer()->setDuration(fDuration, true); }

bool SCDelay::update(Tsl::SmartPtr<Sprite>) { return getTimer()->isDone(); }

void SCRandomDelay::start(Tsl::SmartPtr<Sprite>) {
    getTimer()->setDuration(static_cast<float>(getParticleRandom().getDouble(m_fMin, m_fMax)), true);
}

bool SCRandomDelay::update(Tsl::SmartPtr<Sprite>) { return getTimer()->isDone(); }

bool SCCallback::update(Tsl::SmartPtr<Sprite>) {
    TSL_TRACE();
    if (m_pTarget) m_pTarget->onCallback(m_nId, m_nData);
    return true;
}

// A sprite in no mode has nothing to be taken out of.
bool SCRemove::update(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (GameMode* pMode = pSprite->getOwnerMode()) pMode->removeSprite(pSprite);
    return true;
}

SCAttachEmitter::SCAttachEmitter(const char* pszDefinition, float fLifetime, GameMode* pMode, int nZOrder)
    : m_pEmitter(new ParticleEmitter(pMode)), m_pMode(pMode), m_bTimed(false) {
    TSL_TRACE();
    m_pEmitter->load(pszDefinition);
    setUp(fLifetime, nZOrder);
}

SCAttachEmitter::SCAttachEmitter(Tsl::SmartPtr<ParticleEmitter> pEmitter, float fLifetime, GameMode* pMode,
                                 int nZOrder)
    : m_pEmitter(pEmitter), m_pMode(pMode), m_bTimed(false) {
    TSL_ASSERT(m_pEmitter);
    setUp(fLifetime, nZOrder);
}

void SCAttachEmitter::setUp(float fLifetime, int nZOrder) {
    m_pEmitter->setZOrder(nZOrder + 1);
    if (fLifetime > 0.0f) {
        setTimedDuration(*this, fLifetime);
        m_bTimed = true;
    }
}

void SCAttachEmitter::handOverParticles() {
    if (!m_pEmitter) return;
    ParticleList lParticles = m_pEmitter->detachParticles();
    if (m_pMode) m_pMode->addParticles(lParticles);
    m_pEmitter = nullptr;
}

bool SCAttachEmitter::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!m_pEmitter) return true;
    if (m_bTimed && getTimer()->advance(fDt)) {
        handOverParticles();
        return true;
    }
    m_pEmitter->setPosition(pSprite->getPosition());
    m_pEmitter->update(fDt);
    return m_bTimed && getTimer()->isDone();
}

bool SCAttachEmitter::tick(Tsl::SmartPtr<Sprite> pSprite) {
    handOverParticles();
    return true;
}

bool SCAttachParticle::update(Tsl::SmartPtr<Sprite>) {
    TSL_TRACE();
    if (!m_pParticle) return true;
    if (Tsl::SmartPtr<Sprite> pParticleSprite = m_pParticle->getSprite()) pParticleSprite->setVisible(true);
    if (m_pMode) m_pMode->addParticle(m_pParticle);
    m_pParticle = nullptr;
    return true;
}
