#include "app/gamemode.h"

#include "app/gameapp.h"

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

bool GameMode::handleKeyDown(int nKey, int nModifiers) {
    Tsl::SmartPtr<Sprite> pFocus = m_pFocus;
    if (pFocus && pFocus->onKeyDown(nKey, nModifiers)) return true;
    return onKeyDown(nKey, nModifiers);
}

bool GameMode::handleKeyUp(int nKey, int nModifiers) {
    Tsl::SmartPtr<Sprite> pFocus = m_pFocus;
    if (pFocus && pFocus->onKeyUp(nKey, nModifiers)) return true;
    return onKeyUp(nKey, nModifiers);
}

bool GameMode::handleChar(int nCharacter) {
    Tsl::SmartPtr<Sprite> pFocus = m_pFocus;
    if (pFocus && pFocus->onChar(nCharacter)) return true;
    return onChar(nCharacter);
}

void GameMode::handleMouseMove(int nX, int nY) {
    Tsl::SmartPtr<Sprite> pUnder = findControlAt(nX, nY);
    if (pUnder != m_pHover) {
        Tsl::SmartPtr<Sprite> pOld = m_pHover;
        m_pHover = pUnder;
        if (pOld) pOld->onMouseLeave();
        if (pUnder) pUnder->onMouseEnter();
    }
    if (pUnder) pUnder->onMouseMove(nX, nY);
    onMouseMove(nX, nY);
}

bool GameMode::handleMouseDown(int nButton, int nX, int nY) {
    Tsl::SmartPtr<Sprite> pUnder = findControlAt(nX, nY);
    if (pUnder && pUnder->onMouseDown(nButton)) return true;
    return onMouseDown(nButton, nX, nY);
}

bool GameMode::handleMouseUp(int nButton, int nX, int nY) {
    Tsl::SmartPtr<Sprite> pUnder = findControlAt(nX, nY);
    if (pUnder && pUnder->onMouseUp(nButton)) return true;
    return onMouseUp(nButton, nX, nY);
}

void GameMode::clearHover() {
    Tsl::SmartPtr<Sprite> pOld = m_pHover;
    m_pHover = nullptr;
    if (pOld) pOld->onMouseLeave();
}

// ---- tooltips ------------------------------------------------------------------

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
    if (ownsTooltip(pTooltip)) pTooltip->m_bVisible = bVisible;
}

void GameMode::setTooltipRect(Tooltip* pTooltip, const Rect& ownerRect) {
    if (ownsTooltip(pTooltip)) pTooltip->m_ownerRect = ownerRect;
}
