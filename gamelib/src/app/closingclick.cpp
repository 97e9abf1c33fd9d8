#include "app/closingclick.h"

#include <cstdlib>

namespace {
// The frame counter goes up once after the events and once after drawing:
// a press two counts later comes after a frame drawn without what closed.
const int COUNTS_TO_DRAWN_FRAME = 2;
}  // namespace

ClosingClick::ClosingClick() : m_bPending(false), m_nX(0), m_nY(0), m_nTicks(0), m_nFrame(0) {}

void ClosingClick::close(int nX, int nY, unsigned int nTicks, int nFrame) {
    m_bPending = true;
    m_nX = nX;
    m_nY = nY;
    m_nTicks = nTicks;
    m_nFrame = nFrame;
}

bool ClosingClick::takes(int nX, int nY, unsigned int nTicks, int nFrame, unsigned int nDoubleClickMs) {
    if (!m_bPending) return false;
    m_bPending = false;
    if (nFrame - m_nFrame < COUNTS_TO_DRAWN_FRAME) return true;
    // Unsigned difference: the tick counter may wrap.
    bool bSoon = nTicks - m_nTicks < nDoubleClickMs;
    return bSoon && std::abs(nX - m_nX) <= NEAR_PIXELS && std::abs(nY - m_nY) <= NEAR_PIXELS;
}
