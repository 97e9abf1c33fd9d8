#include "effects/transformcontrollers.h"

#include "effects/timedduration.h"
#include "image/geometry.h"
#include "sprite/sprite.h"

#include <algorithm>
#include <cmath>

namespace {

const float SINE_TURN = 6.28f;
const float HALF_TURN = 3.14159f;

} // namespace

SCScale::SCScale(float fFrom, float fTo, float fDuration)
    : m_bSeparate(false), m_fFromX(fFrom), m_fFromY(fFrom), m_fDeltaX(fTo - fFrom), m_fDeltaY(fTo - fFrom),
      m_fToX(fTo), m_fToY(fTo) {
    setTimedDuration(*this, fDuration);
}

SCScale::SCScale(float fFromX, float fToX, float fFromY, float fToY, float fDuration)
    : m_bSeparate(true), m_fFromX(fFromX), m_fFromY(fFromY), m_fDeltaX(fToX - fFromX), m_fDeltaY(fToY - fFromY),
      m_fToX(fToX), m_fToY(fToY) {
    setTimedDuration(*this, fDuration);
}

bool SCScale::update(Tsl::SmartPtr<Sprite> pSprite) {
    if (getTimer()->isDone()) {
        pSprite->setScale(m_fToX, m_fToY);
        return true;
    }
    float p = getTimer()->getProgress();
    float sx = m_fFromX + m_fDeltaX * p;
    pSprite->setScale(sx, m_bSeparate ? m_fFromY + m_fDeltaY * p : sx);
    return false;
}

void SCSinusoidScale::start(Tsl::SmartPtr<Sprite> pSprite) { update(pSprite); }

bool SCSinusoidScale::update(Tsl::SmartPtr<Sprite> pSprite) {
    float s = std::sin(getTimer()->getTime() * SINE_TURN * m_fFrequency + m_fPhase);
    pSprite->setScale(m_fMin + (m_fMax - m_fMin) * (s + 1.0f) * 0.5f);
    return false;
}

// A peak below |from| or |end| would take the arcsine of a value outside
// -1..1: the arc is then drawn through the larger of the two instead, so it
// still starts on `from` and ends on `end`. A zero duration is at its end at once.
SCGrowBounce::SCGrowBounce(float fFrom, float fPeak, float fEnd, float fDuration) : m_fSignX(1.0f), m_fSignY(1.0f) {
    setTimedDuration(*this, fDuration);
    m_fPeak = std::max(std::fabs(fPeak), std::max(std::fabs(fFrom), std::fabs(fEnd)));
    if (fPeak < 0.0f) m_fPeak = -m_fPeak;
    float fFromRatio = m_fPeak != 0.0f ? fFrom / m_fPeak : 0.0f;
    float fEndRatio = m_fPeak != 0.0f ? fEnd / m_fPeak : 0.0f;
    m_fStartPhase = std::asin(fFromRatio);
    m_fEndPhase = HALF_TURN - std::asin(fEndRatio);
    m_fAngularSpeed = fDuration > 0.0f ? (m_fEndPhase - m_fStartPhase) / fDuration : 0.0f;
}

// The signs are taken once: a bounce from 0 would otherwise read its own
// zero (never negative) and lose the mirror on the next step.
void SCGrowBounce::start(Tsl::SmartPtr<Sprite> pSprite) {
    m_fSignX = pSprite->getScaleX() < 0.0f ? -1.0f : 1.0f;
    m_fSignY = pSprite->getScaleY() < 0.0f ? -1.0f : 1.0f;
    update(pSprite);
}

bool SCGrowBounce::update(Tsl::SmartPtr<Sprite> pSprite) {
    bool bDone = getTimer()->isDone();
    float fPhase = m_fAngularSpeed != 0.0f ? m_fAngularSpeed * getTimer()->getTime() + m_fStartPhase
                                           : (bDone ? m_fEndPhase : m_fStartPhase);
    float s = m_fPeak * std::sin(fPhase);
    pSprite->setScale(m_fSignX * s, m_fSignY * s);
    return bDone;
}

SCRotate::SCRotate(float fFrom, float fTo, float fDuration) : m_fSpeed(0.0f), m_fFrom(fFrom), m_fTo(fTo) {
    setTimedDuration(*this, fDuration);
}

void SCRotate::start(Tsl::SmartPtr<Sprite> pSprite) {
    if (m_fSpeed == 0.0f) pSprite->setRotation(m_fFrom);
}

bool SCRotate::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    if (m_fSpeed != 0.0f) {
        // Wrapped, so an angle that grows for hours keeps its precision.
        pSprite->setRotation(normalizeAngle(pSprite->getRotation() + m_fSpeed * fDt));
        return false;
    }
    getTimer()->advance(fDt);
    pSprite->setRotation(lerpAngle(m_fFrom, m_fTo, getTimer()->getProgress()));
    return getTimer()->isDone();
}

SCSinusoidRotate::SCSinusoidRotate(float fBase, float fAmplitude, float fPeriod, float fDuration)
    : m_fBase(fBase), m_fAmplitude(fAmplitude), m_fPeriod(fPeriod) {
    getTimer()->setTime(0.0f);
    if (fDuration > 0.0f) setTimedDuration(*this, fDuration);
}

void SCSinusoidRotate::start(Tsl::SmartPtr<Sprite> pSprite) { update(pSprite); }

// A period of 0 has no wave: the sprite rests on the base angle.
bool SCSinusoidRotate::update(Tsl::SmartPtr<Sprite> pSprite) {
    float fSwing = m_fPeriod != 0.0f ? m_fAmplitude * std::sin(getTimer()->getTime() * SINE_TURN / m_fPeriod) : 0.0f;
    pSprite->setRotation(m_fBase + fSwing);
    return getTimer()->isDone();
}
