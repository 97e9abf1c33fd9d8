#include "tsl2/timer.h"

#include "tsl2/error.h"

#include <climits>
#include <cmath>

namespace {

// Beyond this many periods restart() stops stepping and counts the rest.
const int MAX_RESTART_STEPS = 1 << 16;

} // namespace

Timer::Timer(float fDuration, unsigned int nFlags)
    : m_fDuration(fDuration), m_nFlags(nFlags), m_fTime(0.0f), m_nWrapCount(0) {}

bool Timer::advance(float fDelta) {
    m_nWrapCount = 0;
    m_fTime += fDelta;
    if (m_nFlags & CLAMP) {
        if (m_fTime > m_fDuration) m_fTime = m_fDuration;
        if (m_fTime < 0.0f) m_fTime = 0.0f;
    }
    return isDone();
}

bool Timer::isDone() const { return m_fTime >= m_fDuration; }

void Timer::addWraps(double fWraps) {
    double fTotal = static_cast<double>(m_nWrapCount) + fWraps;
    m_nWrapCount = fTotal >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(fTotal);
}

void Timer::restart() {
    TSL_TRACE();
    if (m_fDuration <= 0.0f) {
        m_fTime = 0.0f;
        return;
    }
    if (!std::isfinite(m_fTime)) {
        // An infinite elapsed time holds endless periods; NaN holds none.
        if (m_fTime > 0.0f) addWraps(static_cast<double>(INT_MAX));
        m_fTime = 0.0f;
        return;
    }
    // One period at a time in float, so the count and the rest match what
    // the elapsed time really holds near whole multiples (0.5 holds five
    // periods of 0.1f, not four and 0.0999999).
    int nSteps = 0;
    while (m_fTime >= m_fDuration && nSteps < MAX_RESTART_STEPS) {
        float fNext = m_fTime - m_fDuration;
        if (fNext == m_fTime) break;  // the duration is below the time's precision
        m_fTime = fNext;
        ++nSteps;
    }
    addWraps(nSteps);
    if (m_fTime >= m_fDuration) {
        // Too many periods to step through: count the rest arithmetically.
        double fPeriods = std::floor(static_cast<double>(m_fTime) / m_fDuration);
        double fRest = std::fmod(static_cast<double>(m_fTime), static_cast<double>(m_fDuration));
        if (fPeriods < 1.0) fPeriods = 1.0;
        addWraps(fPeriods);
        m_fTime = static_cast<float>(fRest);
        if (m_fTime >= m_fDuration) m_fTime = 0.0f;
    }
    if (!(m_nFlags & KEEP_OVERSHOOT)) m_fTime = 0.0f;
}

void Timer::setDuration(float fDuration, bool bRestart) {
    m_fDuration = fDuration;
    if (bRestart) restart();
}

bool Timer::setFlags(unsigned int nFlags) {
    m_nFlags = nFlags;
    return advance(0.0f);
}

float Timer::getProgress() const {
    if (m_fDuration == 0.0f) return isDone() ? 1.0f : 0.0f;
    return m_fTime / m_fDuration;
}
