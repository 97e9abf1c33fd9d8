#include "actionballoon.h"

#include "character.h"
#include "playmode.h"

ActionBalloon::ActionBalloon(PlayMode* pMode, Character* pCharacter, int nX, int nY, int nZOrder)
    : ActionSpot(pMode, nX, nY, nZOrder, nX, nY, 2), m_pCharacter(pCharacter), m_bShown(false) {
    setBox(48, 48);
}

ActionBalloon::~ActionBalloon() {}

void ActionBalloon::setShown(bool bShown) {
    m_bShown = bShown;
    if (m_pSprite) m_pSprite->setVisible(bShown);
}

bool ActionBalloon::canDoAction(int) { return m_bShown && m_pCharacter; }

void ActionBalloon::doAction(int) {
    if (canDoAction(0)) m_pCharacter->takeOrder();
}
