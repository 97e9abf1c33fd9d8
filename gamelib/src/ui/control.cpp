#include "ui/control.h"

#include "app/gameapp.h"
#include "app/gamemode.h"

bool CallbackTrigger::fire(const Sprite* pSource, int nData) const {
    ICallbackTarget* pTarget = m_pTarget;
    if (!pTarget && pSource) pTarget = pSource->getOwnerMode();
    if (!pTarget) return false;
    pTarget->onCallback(m_nId, nData);
    return true;
}

Control::Control(int nId) : Sprite(), m_trigger(nId) { initControl(); }

Control::Control(int nId, int nX, int nY, int nZOrder) : Sprite(nX, nY, nZOrder), m_trigger(nId) { initControl(); }

Control::~Control() {}

void Control::initControl() {
    m_bEnabled = true;
    m_bHovered = false;
    m_bPressed = false;
    m_bFocusable = false;
    m_bFocused = false;
    m_nMouseX = 0;
    m_nMouseY = 0;
    // Widgets answer anywhere on their canvas, not only on opaque pixels
    // (the gaps between a label's letters belong to the label).
    setHitTestMode(HT_CANVAS);
}

bool Control::hasFocus() const { return m_bFocused; }

void Control::setEnabled(bool bEnabled) {
    if (m_bEnabled == bEnabled) return;
    m_bEnabled = bEnabled;
    if (!bEnabled) {
        cancelPress();
        GameMode* pMode = getOwnerMode();
        if (pMode && pMode->getFocus().get() == this) pMode->setFocus(nullptr);
    }
    updateLook();
}

void Control::cancelPress() {
    if (!m_bPressed) return;
    m_bPressed = false;
    onRelease();
    updateLook();
}

void Control::onMouseEnter() {
    m_bHovered = true;
    updateLook();
}

void Control::onMouseLeave() {
    m_bHovered = false;
    updateLook();
}

void Control::onMouseMove(int nX, int nY) {
    m_nMouseX = nX;
    m_nMouseY = nY;
    if (m_bPressed) onDrag(nX, nY);
}

bool Control::onMouseDown(int nButton) {
    if (!m_bEnabled || !isVisible() || nButton != MB_LEFT || !takesClicks()) return false;
    // Held in case the press makes the mode let go of us.
    Tsl::SmartPtr<Sprite> pSelf(this);
    m_bPressed = true;
    GameMode* pMode = getOwnerMode();
    if (m_bFocusable && pMode) pMode->setFocus(pSelf);
    // The mode calls us only for a press on us: where the mouse was last
    // seen over us, or the platform's word when no move came first.
    if (!m_bHovered && GameApp::getInstance()) GameApp::getInstance()->getMousePosition(&m_nMouseX, &m_nMouseY);
    onPress(m_nMouseX, m_nMouseY);
    updateLook();
    return true;
}

bool Control::onMouseUp(int nButton) {
    if (nButton != MB_LEFT || !m_bPressed) return false;
    Tsl::SmartPtr<Sprite> pSelf(this);
    // The mode calls us for a release over us; one elsewhere cancels the press.
    bool bClick = m_bEnabled;
    m_bPressed = false;
    onRelease();
    updateLook();
    if (bClick) onClick();
    return true;
}

void Control::onFocusGained() {
    m_bFocused = true;
    updateLook();
}

void Control::onFocusLost() {
    m_bFocused = false;
    updateLook();
}

void Control::showImage(Tsl::SmartPtr<Image> pImage) {
    bool bVisible = isVisible();
    setImage(pImage);
    if (isVisible() != bVisible) setVisible(bVisible);
}
