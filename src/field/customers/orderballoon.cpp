#include "field/customers/orderballoon.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "base/names.h"
#include "field/picturehit.h"

#include <cmath>

namespace {
// The meter sits on the balloon's top edge; either balloon (asking or
// ordered) is about this high.
enum { METER_RISE = 34 };
}

OrderBalloon::OrderBalloon(GameMode* pMode, int nX, int nY, int nZOrder)
    : m_pMode(pMode), m_nX(nX), m_nY(nY), m_nZOrder(nZOrder), m_nStep(NO_STEP) {}

OrderBalloon::~OrderBalloon() {}

int OrderBalloon::patienceStep(float fShare) {
    if (fShare <= 0.0f) return 0;
    int nStep = static_cast<int>(std::ceil(fShare * Names::ORDER_PATIENCE_STEPS)) - 1;
    return nStep < 0 ? 0 : nStep >= Names::ORDER_PATIENCE_STEPS ? Names::ORDER_PATIENCE_STEPS - 1 : nStep;
}

void OrderBalloon::showDrink(int nDrink, bool bDecorated) {
    if (nDrink == NO_DRINK) {
        if (m_pDrink) m_pDrink->setVisible(false);
        return;
    }
    const char* pszFormat = bDecorated ? Names::IMG_ORDER_DECORATED_DRINK_FORMAT : Names::IMG_ORDER_DRINK_FORMAT;
    showPicture(m_pDrink, Tsl::String::format(pszFormat, nDrink), m_nY, m_nZOrder);
}

void OrderBalloon::showPatience(float fShare) {
    if (fShare < 0.0f) {
        m_nStep = NO_STEP;
        if (m_pMeter) m_pMeter->setVisible(false);
        return;
    }
    int nStep = patienceStep(fShare);
    if (nStep == m_nStep) return;
    m_nStep = nStep;
    showPicture(m_pMeter, Tsl::String::format(Names::IMG_ORDER_PATIENCE_FORMAT, nStep), m_nY - METER_RISE,
                m_nZOrder + 1);
}

void OrderBalloon::hide() {
    showDrink(NO_DRINK);
    showPatience(-1.0f);
}

void OrderBalloon::remove() {
    for (Tsl::SmartPtr<Sprite>* pSprite : {&m_pDrink, &m_pMeter}) {
        if (*pSprite && (*pSprite)->getOwnerMode()) (*pSprite)->getOwnerMode()->removeSprite(*pSprite);
        *pSprite = nullptr;
    }
}

void OrderBalloon::moveTo(int nX, int nY, int nZOrder) {
    for (const Tsl::SmartPtr<Sprite>& pSprite : {m_pDrink, m_pMeter}) {
        if (!pSprite) continue;
        pSprite->setPosition(pSprite->getXf() + float(nX - m_nX), pSprite->getYf() + float(nY - m_nY));
        pSprite->setZOrder(pSprite->getZOrder() + nZOrder - m_nZOrder);
    }
    m_nX = nX;
    m_nY = nY;
    m_nZOrder = nZOrder;
}

int OrderBalloon::hitTest(int nX, int nY) const { return pictureHit(m_pDrink.get(), nX, nY); }

void OrderBalloon::showPicture(Tsl::SmartPtr<Sprite>& pSprite, const Tsl::String& sImage, int nY, int nZOrder) {
    GameApp* pApp = GameApp::getInstance();
    if (!m_pMode || !pApp || !pApp->hasImage(sImage)) {
        if (pSprite) pSprite->setVisible(false);
        return;
    }
    Tsl::SmartPtr<Image> pImage = pApp->getImage(sImage);
    if (!pSprite) {
        pSprite = new Sprite(pImage, 0, 0, nZOrder);
        m_pMode->addSprite(pSprite);
    } else {
        pSprite->setImage(pImage);
    }
    pSprite->setPosition(m_nX - pImage->getWidth() / 2 + pImage->getInsPointX(),
                         nY - pImage->getHeight() / 2 + pImage->getInsPointY());
    pSprite->setVisible(true);
}

Rect OrderBalloon::getScreenBox() const {
    Rect box;
    for (const Tsl::SmartPtr<Sprite>& pSprite : {m_pDrink, m_pMeter})
        if (pSprite) box = box.unite(pSprite->getScreenPixelRect());
    return box;
}
