#include "field/mug.h"

#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "base/names.h"
#include "field/picturehit.h"

namespace {
const char* const s_apszHeadings[] = {"n", "e", "s", "w"};
}

Mug::Mug(GameMode* pMode)
    : m_pMode(pMode),
      m_nDrink(NO_DRINK),
      m_nSips(0),
      m_bDecorated(false),
      m_bClean(true),
      m_nX(0),
      m_nY(0),
      m_nZOrder(0),
      m_nViewMode(0),
      m_nHeading(2),
      m_fScale(1.0f),
      m_nShown(SHOWN_NOTHING) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (m_pMode && pApp && pApp->hasResource(Names::MUG_ANIM)) {
        m_pSprite = new AnimSprite(pApp->getAnimation(Names::MUG_ANIM), 0, 0, 0);
        m_pMode->addSprite(m_pSprite.get());
        refresh();
    }
}

// A glass nobody holds any more is gone from the field too.
Mug::~Mug() { detach(); }

void Mug::fill(int nDrink) {
    m_nDrink = nDrink;
    m_nSips = FULL_SIPS;
    m_bClean = false;
    refresh();
}

void Mug::sip() {
    if (m_nSips > 0) --m_nSips;
    refresh();
}

void Mug::decorate() {
    m_bDecorated = true;
    refresh();
}

void Mug::setPosition(int nX, int nY, int nZOrder) {
    m_nX = nX;
    m_nY = nY;
    m_nZOrder = nZOrder;
    if (!m_pSprite) return;
    m_pSprite->setPosition(nX, nY);
    m_pSprite->setZOrder(nZOrder);
}

void Mug::setViewMode(int nMode) {
    m_nViewMode = nMode;
    refresh();
}

void Mug::setHeading(int nHeading) {
    m_nHeading = nHeading & 3;
    refresh();
}

void Mug::setScale(float fScale) {
    m_fScale = fScale;
    if (m_pSprite) m_pSprite->setScale(fScale);
}

void Mug::setVisible(bool bVisible) {
    if (m_pSprite) m_pSprite->setVisible(bVisible);
}

int Mug::hitTest(int nX, int nY) const { return pictureHit(m_pSprite.get(), nX, nY); }

void Mug::detach() {
    if (m_pSprite && m_pSprite->getOwnerMode()) m_pSprite->getOwnerMode()->removeSprite(m_pSprite.get());
    m_pSprite = nullptr;
}

void Mug::refresh() {
    if (!m_pSprite) return;
    // Her glasses are placed again every frame she moves and a customer's
    // loses a sip at a time: only a change of what the glass shows is named
    // (naming a sequence allocates).
    int nContents = !isEmpty() ? m_nDrink : m_bClean ? SHOWN_CLEAN : SHOWN_USED;
    bool bDecorationShown = m_bDecorated && !isEmpty();
    int nView = m_nViewMode == VIEW_STAND || m_nViewMode == VIEW_TRAY ? m_nViewMode : VIEW_DRINK;
    int nShown = ((nContents * 4 + m_nHeading) * 3 + nView) * 2 + (bDecorationShown ? 1 : 0);
    if (nShown == m_nShown) return;
    m_nShown = nShown;
    // The decoration goes with the drink: the used glass is only a glass.
    Tsl::String sContents =
        (isEmpty() && m_bClean) ? Tsl::String(Names::MUG_CLEAN)
        : isEmpty()             ? Tsl::String(Names::MUG_USED)
                                : Tsl::String::format(bDecorationShown ? Names::MUG_DECORATED_DRINK_FORMAT
                                                                       : Names::MUG_DRINK_FORMAT,
                                                      m_nDrink);
    const char* pszView = nView == VIEW_STAND ? Names::SEQ_MUG_STAND : nView == VIEW_TRAY ? Names::SEQ_MUG_TRAY
                                                                                          : Names::SEQ_MUG_DRINK;
    Tsl::String sSequence = Tsl::String::format(pszView, s_apszHeadings[m_nHeading], sContents.c_str());
    if (m_pSprite->getSequenceName() != sSequence) m_pSprite->play(sSequence, 0.0f, -1);
}
