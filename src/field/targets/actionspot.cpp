#include "field/targets/actionspot.h"

#include "app/gamemode.h"
#include "field/mug.h"
#include "field/picturehit.h"
#include "field/playmode.h"
#include "field/waitress.h"

ActionSpot::ActionSpot(PlayMode* pMode, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading)
    : m_pMode(pMode),
      m_nX(nX),
      m_nY(nY),
      m_nZOrder(nZOrder),
      m_nUseX(nUseX),
      m_nUseY(nUseY),
      m_nHeading(nHeading & 3),
      m_nBoxWidth(BOX_WIDTH),
      m_nBoxHeight(BOX_HEIGHT),
      m_bBusy(false) {}

ActionSpot::~ActionSpot() {}

void ActionSpot::setBox(int nWidth, int nHeight) {
    m_nBoxWidth = nWidth;
    m_nBoxHeight = nHeight;
}

int ActionSpot::hitTest(int nX, int nY) const {
    if (!m_lPictures.isEmpty()) {
        int nHit = -1;
        for (const Tsl::SmartPtr<Sprite>& pPicture : m_lPictures) nHit = higherHit(nHit, pictureHit(pPicture, nX, nY));
        return nHit;
    }
    int nLeft = m_nX - m_nBoxWidth / 2, nTop = m_nY - m_nBoxHeight;
    bool bInside = nX >= nLeft && nX < nLeft + m_nBoxWidth && nY >= nTop && nY < m_nY;
    return bInside ? m_nZOrder : -1;
}

void ActionSpot::removePictures() {
    for (const Tsl::SmartPtr<Sprite>& pPicture : m_lPictures)
        if (pPicture->getOwnerMode()) pPicture->getOwnerMode()->removeSprite(pPicture);
    m_lPictures.clear();
}

Waitress* ActionSpot::waitress() const { return m_pMode ? m_pMode->getWaitress() : nullptr; }

int ActionSpot::findSlot(bool bFull) const {
    Waitress* pWaitress = waitress();
    if (!pWaitress) return -1;
    for (int i = 0; i < pWaitress->getCapacity(); ++i) {
        Tsl::SmartPtr<Mug> pMug = pWaitress->getHandContents(i);
        if (pMug && pMug->isEmpty() != bFull) return i;
    }
    return -1;
}

bool ActionSpot::giveGlass(Tsl::SmartPtr<Mug> pMug, int nHand) const {
    Waitress* pWaitress = waitress();
    if (!pWaitress) return false;
    return pWaitress->hasTray() ? pWaitress->setHandContents(pMug) : pWaitress->setHandContents(pMug, nHand);
}

ActionSpot::Refusal ActionSpot::noRoomRefusal(int nHand) const {
    Waitress* pWaitress = waitress();
    if (!pWaitress) return REFUSED_NOT_NOW;
    if (pWaitress->hasTray()) return REFUSED_TRAY_FULL;
    bool bOtherFree = (nHand == 0 || nHand == 1) && pWaitress->isHandEmpty(1 - nHand);
    return bOtherFree ? REFUSED_HAND_FULL : REFUSED_HANDS_FULL;
}

ActionSpot::Refusal ActionSpot::noGlassRefusal(int nHand) const {
    Waitress* pWaitress = waitress();
    if (!pWaitress || pWaitress->getMugCount() == 0) return REFUSED_NO_GLASS;
    return pWaitress->hasTray() ? REFUSED_NOT_NOW : REFUSED_HAND_EMPTY;
}
