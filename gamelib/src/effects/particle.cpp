#include "effects/particle.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "effects/particleemitter.h"

#include "tsl2/error.h"

#include <algorithm>
#include <cmath>

int truncateToInt(double fValue) {
    if (!(fValue == fValue)) return 0;
    if (fValue >= 2147483647.0) return 2147483647;
    if (fValue <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(fValue);
}

Particle::Particle() { initDefaults(); }

Particle::Particle(GameMode* pMode, int nX, int nY) : Particle() {
    m_pMode = pMode;
    m_fX = static_cast<float>(nX);
    m_fY = static_cast<float>(nY);
}

Particle::Particle(GameMode* pMode, int nX, int nY, Tsl::SmartPtr<Image> pImage, int nZOrder)
    : Particle(pMode, nX, nY) {
    TSL_TRACE();
    m_pSprite = new Sprite(pImage, nX, nY, nZOrder);
    if (m_pMode) m_pMode->addSprite(m_pSprite);
}

Particle::Particle(GameMode* pMode, int nX, int nY, Tsl::SmartPtr<Animation> pAnimation, int nZOrder)
    : Particle(pMode, nX, nY) {
    TSL_TRACE();
    m_pAnimSprite = new AnimSprite(pAnimation, nX, nY, nZOrder);
    m_pSprite = m_pAnimSprite.get();
    if (m_pMode) m_pMode->addSprite(m_pSprite);
    m_pAnimSprite->play("default", 0.0f, -1);
}

Particle::Particle(GameMode* pMode, int nX, int nY, ParticleEmitter* pEmitter) : Particle(pMode, nX, nY) {
    m_pSubEmitter = pEmitter;
    if (m_pSubEmitter) {
        m_pSubEmitter->addRef();
        m_pSubEmitter->setPosition(nX, nY);
    }
}

Particle::Particle(Tsl::SmartPtr<Sprite> pSprite) {
    initDefaults();
    m_pSprite = pSprite;
    m_pAnimSprite = Tsl::SmartPtr<AnimSprite>::dynamicCast(pSprite);
    if (m_pSprite) {
        m_pMode = m_pSprite->getOwnerMode();
        m_pSprite->getPosition(m_fX, m_fY);
    }
}

void Particle::initDefaults() {
    m_bKill = false;
    m_bScale = false;
    m_fStartScale = 1.0f;
    m_fEndScale = 1.0f;
    m_fStartAngle = 0.0f;
    m_fEndAngle = 0.0f;
    m_bDieWithAnimation = true;
    m_bBounce = false;
    m_fLifetime = 86400.0f;
    m_fAge = 0.0f;
    m_fMaxAlpha = 1.0f;
    m_bFade = false;
    m_fFadeInEnd = 0.0f;
    m_fFadeOutStart = 86400.0f;
    m_pOrigin = nullptr;
    m_fDelay = -1.0f;
    m_pSubEmitter = nullptr;
    m_bRemovesSprite = true;
    m_pMode = nullptr;
    m_fX = m_fY = 0.0f;
    m_fVx = m_fVy = 0.0f;
    m_fAx = m_fAy = 0.0f;
    m_fMaxSpeedX = m_fMaxSpeedY = 100000.0f;
    m_bDead = false;
    m_nUserValue = 0;
    m_bShown = true;
}

// Runs while lists unwind, often during another error: it must not throw. A
// sprite that belongs to no mode has nothing to be taken out of.
Particle::~Particle() {
    try {
        if (m_bRemovesSprite && m_pSprite) {
            GameMode* pOwner = m_pSprite->getOwnerMode();
            if (pOwner) pOwner->removeSprite(m_pSprite);
        }
    } catch (...) {
    }
    m_pSprite = nullptr;
    m_pAnimSprite = nullptr;
    if (m_pSubEmitter) m_pSubEmitter->release();
    m_pSubEmitter = nullptr;
    m_pMode = nullptr;
}

void Particle::getPosition(float& fX, float& fY) const {
    if (m_pSprite) {
        m_pSprite->getPosition(fX, fY);
        return;
    }
    int nX = 0, nY = 0;
    if (m_pSubEmitter) m_pSubEmitter->getPosition(nX, nY);
    fX = static_cast<float>(nX);
    fY = static_cast<float>(nY);
}

void Particle::setFade(float fInEnd, float fOutStart) {
    m_bFade = true;
    m_fFadeInEnd = fInEnd;
    m_fFadeOutStart = fOutStart;
}

void Particle::setScaleRange(float fStart, float fEnd) {
    m_bScale = true;
    m_fStartScale = fStart;
    m_fEndScale = fEnd;
}

void Particle::setBlendMode(int nMode) {
    if (m_pSprite) m_pSprite->setBlendMode(nMode);
    if (m_pSubEmitter) m_pSubEmitter->setBlendMode(nMode);
}

void Particle::setOrigin(ParticleEmitter* pOrigin) {
    if (pOrigin == m_pOrigin) return;
    int nX = 0, nY = 0;
    if (m_pOrigin) {
        m_pOrigin->getPosition(nX, nY);
        m_fX += nX;
        m_fY += nY;
    }
    m_pOrigin = pOrigin;
    if (m_pOrigin) {
        m_pOrigin->getPosition(nX, nY);
        m_fX -= nX;
        m_fY -= nY;
    }
}

void Particle::setShown(bool bShown) {
    m_bShown = bShown;
    if (m_pSprite) m_pSprite->setVisible(bShown);
    if (m_pSubEmitter) m_pSubEmitter->setVisible(bShown);
}

Rect Particle::getScreenRect() const {
    if (m_pSprite) return m_pSprite->getScreenPixelRect();
    if (!m_pSubEmitter) throw Tsl::AssertFailException(__FILE__, __LINE__, "Assertion failed : false");
    int nX = 0, nY = 0;
    m_pSubEmitter->getPosition(nX, nY);
    return Rect(nX - 1, nY - 1, nX + 1, nY + 1);
}

// A lifetime of 0 or less is over at once: the fraction is then 1, not 0/0.
float Particle::getLifeFraction() const { return m_fLifetime > 0.0f ? m_fAge / m_fLifetime : 1.0f; }

void Particle::update(float fDt) {
    if (m_bDead) return;
    if (m_fDelay > 0.0f) {
        m_fDelay -= fDt;
        if (m_fDelay > 0.0f) return;
        if (m_pSprite && m_bShown) m_pSprite->setVisible(true);
    }
    float fAgeBefore = m_fAge;
    m_fAge += fDt;
    if (m_fAge >= m_fLifetime) {
        m_bDead = true;
        fDt = std::max(0.0f, m_fLifetime - fAgeBefore);
        m_fAge = m_fLifetime;
    }
    if (m_pAnimSprite) {
        m_pAnimSprite->update(fDt);
        if (!m_pAnimSprite->isPlaying() && m_bDieWithAnimation) m_bDead = true;
    }
    if (m_pSubEmitter) m_pSubEmitter->update(fDt);
    move(fDt);
    applyLook();
}

void Particle::move(float fDt) {
    m_fVx = std::min(std::max(m_fVx + m_fAx * fDt, -m_fMaxSpeedX), m_fMaxSpeedX);
    m_fVy = std::min(std::max(m_fVy + m_fAy * fDt, -m_fMaxSpeedY), m_fMaxSpeedY);
    m_fX += m_fVx * fDt;
    m_fY += m_fVy * fDt;
    // Flown past every number: it can be shown nowhere any more.
    if (!std::isfinite(m_fX) || !std::isfinite(m_fY)) {
        m_bDead = true;
        return;
    }
    int nOriginX = 0, nOriginY = 0;
    if (m_pOrigin) m_pOrigin->getPosition(nOriginX, nOriginY);
    m_fX += nOriginX;
    m_fY += nOriginY;
    placeAndBounce();
    m_fX -= nOriginX;
    m_fY -= nOriginY;
}

// Each edge reflects at most once per update: a particle larger than its
// rectangle would otherwise be pushed from edge to edge for ever.
void Particle::placeAndBounce() {
    bool abFired[4] = {false, false, false, false};
    for (;;) {
        if (m_pSprite) m_pSprite->setPosition(m_fX, m_fY);
        if (m_pSubEmitter) m_pSubEmitter->setPosition(truncateToInt(m_fX), truncateToInt(m_fY));
        if (!m_bBounce && !m_bKill) return;
        Rect r = getScreenRect();
        if (m_bKill && !r.overlaps(m_killRect)) m_bDead = true;
        if (!m_bBounce) return;
        const Rect& b = m_bounceRect;
        if (!abFired[0] && r.left < b.left) {
            abFired[0] = true;
            m_fX += (b.left - r.left) + 1;
            m_fVx = -m_fVx;
        } else if (!abFired[1] && r.right > b.right) {
            abFired[1] = true;
            m_fX += (b.right - r.right) - 1;
            m_fVx = -m_fVx;
        } else if (!abFired[2] && r.top < b.top) {
            abFired[2] = true;
            m_fY += (b.top - r.top) + 1;
            m_fVy = -m_fVy;
        } else if (!abFired[3] && r.bottom > b.bottom) {
            abFired[3] = true;
            m_fY += (b.bottom - r.bottom) - 1;
            m_fVy = -m_fVy;
        } else {
            return;
        }
    }
}

void Particle::applyLook() {
    if (!m_pSprite) return;
    float f = getLifeFraction();
    if (m_bScale) m_pSprite->setScale((1.0f - f) * m_fStartScale + f * m_fEndScale);
    if (m_bFade) {
        float fAlpha = m_fMaxAlpha;
        if (m_fAge < m_fFadeInEnd) fAlpha = (m_fAge / m_fFadeInEnd) * m_fMaxAlpha;
        else if (m_fAge > m_fFadeOutStart)
            fAlpha = (1.0f - (m_fAge - m_fFadeOutStart) / (m_fLifetime - m_fFadeOutStart)) * m_fMaxAlpha;
        m_pSprite->setAlpha(fAlpha);
    }
    if (m_pPalette) {
        int nWidth = m_pPalette->getWidth();
        int i = std::max(0, std::min(truncateToInt(nWidth * f), nWidth - 1));
        m_pSprite->setColor(m_pPalette->getColorAt(i, 0));
    }
    m_pSprite->setRotation(m_fStartAngle + (m_fEndAngle - m_fStartAngle) * f);
}

void Particle::updateList(ParticleList& lParticles, float fDt) {
    TSL_TRACE();
    for (int i = 0; i < lParticles.getCount();) {
        Tsl::SmartPtr<Particle> pParticle = lParticles.getAt(i);
        pParticle->update(fDt);
        if (!pParticle->isDead()) {
            ++i;
            continue;
        }
        if (pParticle->m_pSubEmitter) lParticles.appendList(pParticle->m_pSubEmitter->detachParticles());
        lParticles.removeAt(i);
    }
}
