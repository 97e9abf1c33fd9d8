#include "field/tip.h"

#include "app/gameapp.h"
#include "base/names.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/uitable.h"

namespace {
enum { CENTRED = 0x24 };
}

Tip::Tip() : m_pMode(nullptr) {}

Tip::~Tip() {}

void Tip::show(GameMode* pMode, const Tsl::String& sText, int nX, int nY, int nWidth) {
    TSL_TRACE();
    m_pMode = pMode;
    hide();
    m_pBubble = new Table(pMode);
    m_pBubble->setFrameStyle(Names::STYLE_TIP_FRAME);
    Tsl::SmartPtr<Label> pText = new Label(sText, 0, 0, 0, nWidth, true);
    pText->setFont(Tsl::String(Names::FONT_GAME_TIP));
    pText->setNumLines(LINES);
    m_pBubble->add(pText.get(), CENTRED);
    m_pBubble->addRow(1);
    Tsl::SmartPtr<Label> pClose =
        new Label(GameApp::getInstance()->getString(Names::STR_TIP_CLOSE), 0, 0, 0, nWidth, true);
    pClose->setFont(Tsl::String(Names::FONT_GAME_TIP));
    pClose->setTextAlign(CENTRED);
    m_pBubble->add(pClose.get(), CENTRED);
    m_pBubble->setPosition(nX, nY);
    m_pBubble->setZOrder(Z_ORDER);
    // Only a laid-out table places its lines and makes its frame.
    m_pBubble->layout();
    m_lSprites.clear();
    m_pBubble->getSprites(m_lSprites, true);
}

void Tip::hide() {
    if (!m_pBubble) return;
    // Clearing the table takes its frame out of the mode as well.
    m_pBubble->clear();
    m_pBubble = nullptr;
    m_lSprites.clear();
}

bool Tip::contains(int nX, int nY) const { return getBounds().contains(nX, nY); }

Rect Tip::getBounds() const {
    if (!m_pBubble) return Rect();
    int nLeft, nTop, nWidth, nHeight;
    m_pBubble->getPosition(nLeft, nTop);
    m_pBubble->getSize(nWidth, nHeight);
    Rect bounds(nLeft, nTop, nLeft + nWidth, nTop + nHeight);
    Tsl::SmartPtr<Sprite> pFrame = m_pBubble->getFrame();
    return pFrame ? bounds.unite(pFrame->getScreenRect()) : bounds;
}

void Tip::moveTo(int nX, int nY) {
    if (!m_pBubble) return;
    Rect bounds = getBounds();
    int nLeft, nTop;
    m_pBubble->getPosition(nLeft, nTop);
    m_pBubble->setPosition(nLeft + nX - bounds.left, nTop + nY - bounds.top);
}
