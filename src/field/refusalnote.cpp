#include "field/refusalnote.h"

#include "base/names.h"
#include "ui/label.h"
#include "ui/uitable.h"

#include <algorithm>

namespace {
enum { CENTRED = 0x24 };
}

RefusalNote::RefusalNote() : m_fSecondsLeft(0.0f) {}

RefusalNote::~RefusalNote() {}

void RefusalNote::show(GameMode* pMode, const Tsl::String& sText, const Rect& above, const Rect& screen) {
    hide();
    m_pNote = new Table(pMode);
    m_pNote->setFrameStyle(Names::STYLE_REFUSAL_FRAME);
    m_pText = new Label(sText, 0, 0, 0, WIDTH, true);
    m_pText->setFont(Tsl::String(Names::FONT_GAME_TIP));
    m_pText->setTextAlign(CENTRED);
    m_pNote->add(m_pText.get(), CENTRED);
    m_pNote->setZOrder(Z_ORDER);
    int nWidth, nHeight;
    m_pNote->getSize(nWidth, nHeight);
    int nLeft = (above.left + above.right - nWidth) / 2, nTop = above.top - GAP - nHeight;
    nLeft = std::max(int(screen.left), std::min(nLeft, int(screen.right) - nWidth));
    nTop = std::max(int(screen.top), std::min(nTop, int(screen.bottom) - nHeight));
    m_pNote->setPosition(nLeft, nTop);
    // Only a laid-out table places its line and makes its frame.
    m_pNote->layout();
    m_fSecondsLeft = SHOWN_SECONDS;
}

void RefusalNote::update(float fDt) {
    if (!m_pNote) return;
    m_fSecondsLeft -= fDt;
    if (m_fSecondsLeft <= 0.0f) hide();
}

void RefusalNote::hide() {
    if (!m_pNote) return;
    m_pNote->clear();
    m_pNote = nullptr;
    m_pText = nullptr;
}

Tsl::String RefusalNote::getText() const { return m_pText ? m_pText->getText() : Tsl::String(); }

Rect RefusalNote::getBounds() const {
    if (!m_pNote) return Rect();
    int nLeft, nTop, nWidth, nHeight;
    m_pNote->getPosition(nLeft, nTop);
    m_pNote->getSize(nWidth, nHeight);
    return Rect(nLeft, nTop, nLeft + nWidth, nTop + nHeight);
}
