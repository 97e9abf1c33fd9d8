#include "effects/colorcontrollers.h"

#include "effects/particle.h"
#include "effects/timedduration.h"
#include "sprite/sprite.h"

#include <cmath>

namespace {

const float ALPHA_TURN = 6.28f;

// Truncated toward zero and reduced to its low 8 bits.
unsigned char lowByte(float fValue) { return static_cast<unsigned char>(truncateToInt(fValue) & 0xFF); }

} // namespace

SCLinearFade::SCLinearFade(float fFrom, float fTo, float fDuration, bool bAbsolute)
    : m_fFrom(fFrom), m_fTo(fTo), m_bAbsolute(bAbsolute) {
    setTimedDuration(*this, fDuration);
}

void SCLinearFade::start(Tsl::SmartPtr<Sprite> pSprite) {
    pSprite->setAlpha(m_bAbsolute ? m_fFrom : pSprite->getAlpha() * m_fFrom);
}

bool SCLinearFade::update(Tsl::SmartPtr<Sprite> pSprite) {
    float a = m_fFrom + (m_fTo - m_fFrom) * getTimer()->getProgress();
    pSprite->setAlpha(m_bAbsolute ? a : pSprite->getAlpha() * a);
    return getTimer()->isDone();
}

SCSinusoidAlpha::SCSinusoidAlpha(float fFrequency, float fPhase)
    : m_fFrequency(fFrequency), m_fMin(0.0f), m_fMax(1.0f), m_fPhase(fPhase) {}

SCSinusoidAlpha::SCSinusoidAlpha(float fMin, float fMax, float fFrequency, float fPhase)
    : m_fFrequency(fFrequency), m_fMin(fMin), m_fMax(fMax), m_fPhase(fPhase) {}

bool SCSinusoidAlpha::update(Tsl::SmartPtr<Sprite> pSprite) {
    float t = getTimer()->getTime();
    pSprite->setAlpha(m_fMin + (m_fMax - m_fMin) * (std::sin(t * ALPHA_TURN * m_fFrequency + m_fPhase) + 1.0f) * 0.5f);
    return false;
}

bool SCBlink::update(Tsl::SmartPtr<Sprite> pSprite) {
    float t = getTimer()->getTime();
    if (m_fTotal > 0.0f && t > m_fTotal) {
        pSprite->setVisible(true);
        return true;
    }
    float fPeriod = m_fShown + m_fHidden;
    // Without a period there is nothing to blink: the sprite stays shown.
    if (!(fPeriod > 0.0f)) {
        if (!pSprite->isVisible()) pSprite->setVisible(true);
        return false;
    }
    float fPhase = t - fPeriod * std::trunc(t / fPeriod);
    bool bShown = fPhase < m_fShown;
    if (pSprite->isVisible() != bShown) pSprite->setVisible(bShown);
    return false;
}

SCLinearTint::SCLinearTint(const Color& from, const Color& to, float fDuration) : m_from(from), m_to(to) {
    setTimedDuration(*this, fDuration);
    m_afDelta[0] = to.r / 255.0f - from.r / 255.0f;
    m_afDelta[1] = to.g / 255.0f - from.g / 255.0f;
    m_afDelta[2] = to.b / 255.0f - from.b / 255.0f;
}

void SCLinearTint::start(Tsl::SmartPtr<Sprite> pSprite) { pSprite->setColor(m_from); }

bool SCLinearTint::update(Tsl::SmartPtr<Sprite> pSprite) {
    if (getTimer()->isDone()) {
        pSprite->setColor(m_to);
        return true;
    }
    float p = getTimer()->getProgress();
    pSprite->setColor(Color(lowByte((m_from.r / 255.0f + m_afDelta[0] * p) * 255.0f),
                            lowByte((m_from.g / 255.0f + m_afDelta[1] * p) * 255.0f),
                            lowByte((m_from.b / 255.0f + m_afDelta[2] * p) * 255.0f), 255));
    return false;
}

SCPulseColor::SCPulseColor(const Color& base, const Color& second, float fSpeed) : m_fSpeed(fSpeed) {
    m_anBase[0] = base.r;
    m_anBase[1] = base.g;
    m_anBase[2] = base.b;
    m_anDelta[0] = second.r - base.r;
    m_anDelta[1] = second.g - base.g;
    m_anDelta[2] = second.b - base.b;
}

bool SCPulseColor::update(Tsl::SmartPtr<Sprite> pSprite) {
    float s = std::sin(getTimer()->getTime() * m_fSpeed);
    pSprite->setColor(Color(lowByte(m_anBase[0] + m_anDelta[0] * s), lowByte(m_anBase[1] + m_anDelta[1] * s),
                            lowByte(m_anBase[2] + m_anDelta[2] * s), 255));
    return false;
}

SCApplyPalette::SCApplyPalette(Tsl::SmartPtr<Image> pPalette, float fDuration) : m_pPalette(pPalette) {
    setTimedDuration(*this, fDuration);
}

bool SCApplyPalette::update(Tsl::SmartPtr<Sprite> pSprite) {
    if (m_pPalette) {
        int x = truncateToInt(getTimer()->getProgress() * (m_pPalette->getWidth() - 1));
        pSprite->setColor(m_pPalette->getColorAt(x, 0));
    }
    return getTimer()->isDone();
}
