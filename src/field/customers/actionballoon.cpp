#include "field/customers/actionballoon.h"

#include "field/customers/character.h"
#include "field/playmode.h"

ActionBalloon::ActionBalloon(PlayMode* pMode, Character* pCharacter, int nX, int nY, int nZOrder)
    : ActionSpot(pMode, nX, nY, nZOrder, nX, nY, 2), m_pCharacter(pCharacter), m_bShown(false) {
    setBox(48, 48);
}

ActionBalloon::~ActionBalloon() {}

void ActionBalloon::setShown(bool bShown) {
    m_bShown = bShown;
    for (const Tsl::SmartPtr<Sprite>& pPicture : m_lPictures) pPicture->setVisible(bShown);
}

void ActionBalloon::moveTo(int nX, int nY, int nZOrder) {
    // The pictures keep their places around the anchor.
    for (const Tsl::SmartPtr<Sprite>& pPicture : m_lPictures) {
        pPicture->setPosition(pPicture->getXf() + float(nX - m_nX), pPicture->getYf() + float(nY - m_nY));
        pPicture->setZOrder(pPicture->getZOrder() + nZOrder - m_nZOrder);
    }
    m_nX = m_nUseX = nX;
    m_nY = m_nUseY = nY;
    m_nZOrder = nZOrder;
}

bool ActionBalloon::canDoAction(int) { return m_bShown && m_pCharacter; }

void ActionBalloon::doAction(int) {
    if (canDoAction(0)) m_pCharacter->takeOrder();
}
