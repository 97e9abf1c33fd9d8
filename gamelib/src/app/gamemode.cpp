#include "app/gamemode.h"

#include "app/gameapp.h"
#include "text/font.h"
#include "ui/styles.h"
#include "ui/theme.h"

#include <algorithm>

GameMode::GameMode(unsigned int nFlags) : m_nFlags(nFlags), m_eState(MS_NEW) { m_lLayers.append(&m_lSprites); }

GameMode::~GameMode() {
    removeAllSprites();
    deleteTooltips();
}

void GameMode::cleanup() { removeAllSprites(); }

void GameMode::insertByZOrder(SpriteList& lList, SpriteLink& link, const Tsl::SmartPtr<Sprite>& pSprite) {
    // After the last sprite whose z-order is not greater: equal z-orders keep
    // the order in which they were added.
    SpriteNode* pAfter = lList.getTail();
    while (pAfter && pAfter->data->getZOrder() > pSprite->getZOrder()) pAfter = pAfter->pPrev;
    link.pList = &lList;
    link.pNode = lList.insertAfter(pAfter, pSprite);
}

void GameMode::unlinkFrom(SpriteLink& link) {
    if (!link.isLinked()) return;
    SpriteList* pList = link.pList;
    SpriteNode* pNode = link.pNode;
    link.reset();
    pList->removeNode(pNode);
}

void GameMode::addSprite(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!pSprite) return;
    if (pSprite->getOwnerMode() == this && pSprite->getLayerLink().isLinked()) return;
    // A sprite belongs to one mode at a time.
    if (pSprite->getOwnerMode()) pSprite->getOwnerMode()->removeSprite(pSprite);
    insertByZOrder(m_lSprites, pSprite->getLayerLink(), pSprite);
    pSprite->setOwnerMode(this);
    if (pSprite->getControllerCount() > 0) addToUpdateList(pSprite);
}

void GameMode::addToUpdateList(Tsl::SmartPtr<Sprite> pSprite) {
    if (!pSprite || pSprite->getUpdateLink().isLinked()) return;
    insertByZOrder(m_lUpdateList, pSprite->getUpdateLink(), pSprite);
}

void GameMode::removeSprite(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!pSprite || pSprite->getOwnerMode() != this) return;
    if (m_pHover == pSprite) m_pHover = nullptr;
    if (m_pCapture == pSprite) m_pCapture = nullptr;
    if (m_pFocus == pSprite) setFocus(nullptr);
    unlinkFrom(pSprite->getControlLink());
    unlinkFrom(pSprite->getUpdateLink());
    pSprite->detach();
    // The caller's reference keeps the sprite alive past this point.
    unlinkFrom(pSprite->getLayerLink());
}

void GameMode::resortSprite(Tsl::SmartPtr<Sprite> pSprite) {
    if (!pSprite || pSprite->getOwnerMode() != this) return;
    if (pSprite->getLayerLink().isLinked()) {
        SpriteList* pList = pSprite->getLayerLink().pList;
        unlinkFrom(pSprite->getLayerLink());
        insertByZOrder(*pList, pSprite->getLayerLink(), pSprite);
    }
    if (pSprite->getControlLink().isLinked()) {
        unlinkFrom(pSprite->getControlLink());
        insertByZOrder(m_lControls, pSprite->getControlLink(), pSprite);
    }
}

void GameMode::removeAllSprites() {
    TSL_TRACE();
    m_pHover = nullptr;
    m_pCapture = nullptr;
    setFocus(nullptr);
    for (SpriteList* pLayer : m_lLayers) {
        while (!pLayer->isEmpty()) removeFirstSprite(*pLayer);
    }
    // Controls or updated sprites that were never placed in a layer.
    while (!m_lControls.isEmpty()) removeFirstSprite(m_lControls);
    while (!m_lUpdateList.isEmpty()) removeFirstSprite(m_lUpdateList);
    // Every owner let go of its tooltip when it was detached; records left
    // over have no owner that could still reach them.
    deleteTooltips();
}

void GameMode::removeFirstSprite(SpriteList& lList) {
    Tsl::SmartPtr<Sprite> pSprite = lList.getFirst();
    int nBefore = lList.getCount();
    removeSprite(pSprite);
    if (lList.getCount() < nBefore) return;
    // removeSprite leaves alone a sprite another mode owns now (or that was
    // put into a list of ours without being added): the entry still goes,
    // or the caller's loop would never end.
    SpriteNode* pNode = lList.getHead();
    for (SpriteLink* pLink : {&pSprite->getLayerLink(), &pSprite->getControlLink(), &pSprite->getUpdateLink()})
        if (pLink->pNode == pNode) pLink->reset();
    lList.removeNode(pNode);
}

void GameMode::onUpdate(float fDt) {
    TSL_TRACE();
    // A copy: controllers may add or remove sprites while they run.
    SpriteList lSprites(m_lUpdateList);
    for (const Tsl::SmartPtr<Sprite>& pSprite : lSprites) {
        if (pSprite->getOwnerMode() != this) continue;
        pSprite->updateControllers(fDt);
        if (pSprite->getControllerCount() == 0) unlinkFrom(pSprite->getUpdateLink());
    }
    Particle::updateList(m_lParticles, fDt);
}

void GameMode::endMode() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "GameMode::endMode : no application");
    pApp->endMode(this);
}

void GameMode::endModeWithTransition(Tsl::SmartPtr<GameMode> pTransition) {
    TSL_TRACE();
    // The transition may be all that still holds this mode.
    Tsl::SmartPtr<GameMode> pSelf(this);
    endMode();
    if (pTransition) GameApp::getInstance()->pushMode(pTransition);
}

Tsl::String GameMode::getString(const char* pszKey) const {
    GameApp* pApp = GameApp::getInstance();
    return pApp ? pApp->getString(pszKey) : Tsl::String(pszKey);
}

Tsl::SmartPtr<Image> GameMode::getImage(const char* pszName) const {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "GameMode::getImage : no application to load image '%s'", pszName);
    return pApp->getImage(pszName);
}

Tsl::SmartPtr<Image> GameMode::createImage(int nWidth, int nHeight, bool bAlpha) const {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "GameMode::createImage : no application");
    return pApp->createImage(nWidth, nHeight, bAlpha);
}

Tsl::SmartPtr<Font> GameMode::getFont(const char* pszName) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "GameMode::getFont : no application for font '%s'", pszName);
    return pApp->getTheme()->getFont(pszName);
}

Tsl::SmartPtr<Sprite> GameMode::addOverlay(float fAlpha) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "GameMode::addOverlay : no application");
    Tsl::SmartPtr<Image> pShade = createImage(pApp->getScreenWidth(), pApp->getScreenHeight(), false);
    pShade->fill(Color(0, 0, 0, 255));
    Tsl::SmartPtr<Sprite> pOverlay = new Sprite(pShade, 0, 0, OVERLAY_Z_ORDER);
    pOverlay->setAlpha(fAlpha);
    addSprite(pOverlay);
    return pOverlay;
}

Tsl::SmartPtr<Sprite> GameMode::addControl(Tsl::SmartPtr<Sprite> pControl) {
    if (!pControl) return pControl;
    if (pControl->getOwnerMode() != this || !pControl->getLayerLink().isLinked()) addSprite(pControl);
    if (!pControl->getControlLink().isLinked()) insertByZOrder(m_lControls, pControl->getControlLink(), pControl);
    return pControl;
}

void GameMode::setFocus(Tsl::SmartPtr<Sprite> pControl) {
    if (pControl == m_pFocus) return;
    Tsl::SmartPtr<Sprite> pOld = m_pFocus;
    m_pFocus = pControl;
    if (pOld) pOld->onFocusLost();
    if (pControl) pControl->onFocusGained();
}

Tsl::SmartPtr<Sprite> GameMode::findControlAt(int nX, int nY) const {
    // Highest z-order first: the control drawn on top takes the mouse.
    for (SpriteNode* pNode = m_lControls.getTail(); pNode; pNode = pNode->pPrev) {
        Sprite* pControl = pNode->data;
        if (pControl->isVisible() && pControl->hitTest(Point(float(nX), float(nY)))) return pNode->data;
    }
    return nullptr;
}

// A hidden control (a panel put away) takes no keys, as it takes no clicks;
// it keeps the focus for when it shows again.
Tsl::SmartPtr<Sprite> GameMode::getKeyboardTarget() const {
    return m_pFocus && m_pFocus->isVisible() ? m_pFocus : nullptr;
}

bool GameMode::handleKeyDown(int nKey, int nModifiers) {
    Tsl::SmartPtr<Sprite> pFocus = getKeyboardTarget();
    if (pFocus && pFocus->onKeyDown(nKey, nModifiers)) return true;
    return onKeyDown(nKey, nModifiers);
}

bool GameMode::handleKeyUp(int nKey, int nModifiers) {
    Tsl::SmartPtr<Sprite> pFocus = getKeyboardTarget();
    if (pFocus && pFocus->onKeyUp(nKey, nModifiers)) return true;
    return onKeyUp(nKey, nModifiers);
}

bool GameMode::handleChar(int nCharacter) {
    Tsl::SmartPtr<Sprite> pFocus = getKeyboardTarget();
    if (pFocus && pFocus->onChar(nCharacter)) return true;
    return onChar(nCharacter);
}

Tsl::SmartPtr<Sprite> GameMode::updateHover(int nX, int nY) {
    Tsl::SmartPtr<Sprite> pUnder = findControlAt(nX, nY);
    if (pUnder != m_pHover) {
        Tsl::SmartPtr<Sprite> pOld = m_pHover;
        m_pHover = pUnder;
        if (pOld) pOld->onMouseLeave();
        if (pUnder) pUnder->onMouseEnter();
    }
    if (pUnder) pUnder->onMouseMove(nX, nY);
    // The control holding the press follows the mouse wherever it goes.
    Tsl::SmartPtr<Sprite> pCapture = m_pCapture;
    if (pCapture && pCapture != pUnder) pCapture->onMouseMove(nX, nY);
    return pUnder;
}

void GameMode::handleMouseMove(int nX, int nY) {
    updateHover(nX, nY);
    updateTooltips(nX, nY);
    onMouseMove(nX, nY);
    // The hook may show or hide controls under the pointer (a highlight that
    // follows the mouse): the hover goes with them now, not at the next move.
    if (findControlAt(nX, nY) != m_pHover) updateHover(nX, nY);
}

bool GameMode::handleMouseDown(int nButton, int nX, int nY) {
    Tsl::SmartPtr<Sprite> pUnder = findControlAt(nX, nY);
    if (pUnder && pUnder->onMouseDown(nButton)) {
        m_pCapture = pUnder;
        return true;
    }
    return onMouseDown(nButton, nX, nY);
}

bool GameMode::handleMouseUp(int nButton, int nX, int nY) {
    Tsl::SmartPtr<Sprite> pUnder = findControlAt(nX, nY);
    // A press dragged off its control ends without a click.
    if (m_pCapture != pUnder) cancelPress();
    m_pCapture = nullptr;
    if (pUnder && pUnder->onMouseUp(nButton)) return true;
    return onMouseUp(nButton, nX, nY);
}

void GameMode::cancelPress() {
    Tsl::SmartPtr<Sprite> pCapture = m_pCapture;
    m_pCapture = nullptr;
    if (pCapture) pCapture->cancelPress();
}

void GameMode::clearHover() {
    Tsl::SmartPtr<Sprite> pOld = m_pHover;
    m_pHover = nullptr;
    if (pOld) pOld->onMouseLeave();
    // The mouse no longer reaches this mode's sprites: their tooltips go too.
    for (Tooltip* pTooltip : m_lTooltips)
        if (pTooltip->m_pSprite->isVisible()) pTooltip->m_pSprite->setVisible(false);
}

// ---- tooltips ------------------------------------------------------------------

namespace {
// A wrapped line ended by its own LF: drawing wraps the text again, in a box
// only as wide as the widest line, and must find the same breaks. The spaces
// before a soft break go, or they would wrap onto a line of their own.
Tsl::String endLine(const Tsl::String& sLine) {
    if (sLine.right(1) == "\n") return sLine;
    int nEnd = sLine.getLength();
    while (nEnd > 0 && sLine[nEnd - 1] == ' ') --nEnd;
    return sLine.left(nEnd) + "\n";
}
} // namespace

Tooltip* GameMode::addTooltip(const Tsl::String& sText, const Rect& ownerRect, const Point& position) {
    TSL_TRACE();
    Tooltip* pTooltip = new Tooltip();
    pTooltip->m_sText = sText;
    pTooltip->m_ownerRect = ownerRect;
    pTooltip->m_position = position;
    pTooltip->m_bHasPosition = position != Point(-1000.0f, -1000.0f);
    // Shown only once it has an image.
    pTooltip->m_pSprite = new Sprite(0, 0, TOOLTIP_Z_ORDER);
    pTooltip->m_pSprite->setVisible(false);
    m_lTooltips.append(pTooltip);
    addSprite(pTooltip->m_pSprite);
    buildTooltipImage(pTooltip);
    return pTooltip;
}

void GameMode::removeTooltip(Tooltip* pTooltip) {
    TSL_TRACE();
    if (!ownsTooltip(pTooltip)) return;
    m_lTooltips.removeAt(m_lTooltips.indexOf(pTooltip));
    removeSprite(pTooltip->m_pSprite);
    delete pTooltip;
}

void GameMode::deleteTooltips() {
    while (!m_lTooltips.isEmpty()) removeTooltip(m_lTooltips.getFirst());
}

void GameMode::setTooltipText(Tooltip* pTooltip, const Tsl::String& sText) {
    if (!ownsTooltip(pTooltip)) return;
    pTooltip->m_sText = sText;
    buildTooltipImage(pTooltip);
}

void GameMode::setTooltipStyle(Tooltip* pTooltip, const Tsl::String& sStyle) {
    if (!ownsTooltip(pTooltip)) return;
    pTooltip->m_sStyle = sStyle;
    buildTooltipImage(pTooltip);
}

void GameMode::setTooltipPosition(Tooltip* pTooltip, const Point& position) {
    if (ownsTooltip(pTooltip)) pTooltip->m_position = position;
}

void GameMode::setTooltipHasPosition(Tooltip* pTooltip, bool bHasPosition) {
    if (ownsTooltip(pTooltip)) pTooltip->m_bHasPosition = bHasPosition;
}

void GameMode::setTooltipVisible(Tooltip* pTooltip, bool bVisible) {
    if (!ownsTooltip(pTooltip)) return;
    pTooltip->m_bVisible = bVisible;
    if (!bVisible) pTooltip->m_pSprite->setVisible(false);
}

void GameMode::buildTooltipImage(Tooltip* pTooltip) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp || pTooltip->m_sText.isEmpty()) {
        pTooltip->m_pSprite->setImage(Tsl::SmartPtr<Image>());
        pTooltip->m_pSprite->setVisible(false);
        return;
    }
    Theme* pTheme = pApp->getTheme();
    Tsl::SmartPtr<FrameStyle> pFrame =
        pTheme->getFrameStyle(pTooltip->m_sStyle.isEmpty() ? "Tooltip" : pTooltip->m_sStyle.c_str());
    Tsl::SmartPtr<Font> pFont = pTheme->getFont(pFrame && !pFrame->sFont.isEmpty() ? pFrame->sFont.c_str() : "Theme::Tooltip");
    Rect padding = pFrame ? pFrame->padding : makeEdges(0, 0, 0, 0);
    int nShadow = pFont->getDrawShadow() ? std::max(0, pFont->getShadowOffset()) : 0;
    // Tooltips stay narrow: long texts wrap at a third of the screen. One
    // word too long for that, or lines by the thousand (a runaway string),
    // would still ask for a picture larger than a picture can be: the text
    // is cut to the largest one instead.
    int nMaxSide = Font::MAX_PICTURE_SIDE - nShadow - std::max(padding.left + padding.right, padding.top + padding.bottom);
    int nWrap = std::min(std::max(64, pApp->getScreenWidth() / 3), nMaxSide);
    Tsl::List<Tsl::String> lLines = pFont->wrapText(pTooltip->m_sText, nWrap);
    if (pFont->fitToPicture(lLines, nMaxSide) && !pTooltip->m_bCutLogged) {
        GameApp::log("G: Tooltip text too large for its picture, drawn cut: \"%s\"\n", pTooltip->m_sText.left(60).c_str());
        pTooltip->m_bCutLogged = true;
    }
    Tsl::String sShown;
    int nTextWidth = 0;
    for (const Tsl::String& sLine : lLines) {
        nTextWidth = std::max(nTextWidth, pFont->getTextWidth(sLine.trim()));
        sShown += endLine(sLine);
    }
    int nTextHeight = lLines.getCount() * (pFont->getHeight() + pFont->getExtraLineSpacing()) - pFont->getExtraLineSpacing();
    int nWidth = nTextWidth + nShadow + padding.left + padding.right;
    int nHeight = nTextHeight + nShadow + padding.top + padding.bottom;
    Tsl::SmartPtr<Image> pImage =
        pFrame && pFrame->pImage ? StyleDraw::makeNineSlice(pFrame->pImage, pFrame->borders, nWidth, nHeight)
                                 : createImage(std::max(1, nWidth), std::max(1, nHeight), true);
    pFont->drawText(pImage, Rect(padding.left, padding.top, padding.left + nTextWidth + nShadow, nHeight - padding.bottom),
                    sShown);
    pTooltip->m_pSprite->setImage(pImage);
    pTooltip->m_pSprite->setVisible(false);
}

void GameMode::updateTooltips(int nX, int nY) {
    GameApp* pApp = GameApp::getInstance();
    for (Tooltip* pTooltip : m_lTooltips) {
        Sprite* pSprite = pTooltip->m_pSprite;
        bool bShow = pTooltip->m_bVisible && pSprite->getImage() && pTooltip->m_ownerRect.contains(nX, nY);
        if (bShow && pTooltip->m_bHasPosition) {
            pSprite->setPosition(int(pTooltip->m_position.x), int(pTooltip->m_position.y));
        } else if (bShow) {
            const Rect& owner = pTooltip->m_ownerRect;
            int nWidth = pSprite->getImage()->getWidth(), nHeight = pSprite->getImage()->getHeight();
            int nScreenW = pApp ? pApp->getScreenWidth() : 800, nScreenH = pApp ? pApp->getScreenHeight() : 600;
            int nLeft = owner.left + (owner.getWidth() - nWidth) / 2;
            nLeft = std::max(0, std::min(nLeft, nScreenW - nWidth));
            int nTop = owner.bottom + 4;
            if (nTop + nHeight > nScreenH) nTop = std::max(0, owner.top - 4 - nHeight);
            pSprite->setPosition(nLeft, nTop);
        }
        if (pSprite->isVisible() != bShow) pSprite->setVisible(bShow);
    }
}

void GameMode::setTooltipRect(Tooltip* pTooltip, const Rect& ownerRect) {
    if (ownsTooltip(pTooltip)) pTooltip->m_ownerRect = ownerRect;
}
