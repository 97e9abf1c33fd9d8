#include "effects/imagecontrollers.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "effects/particle.h"
#include "effects/timedduration.h"
#include "sprite/sprite.h"

#include "tsl2/error.h"

#include <cmath>

bool SCReplaceImage::update(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (m_pImage) pSprite->setImage(m_pImage);
    else pSprite->setImage(m_sName.c_str());
    return true;
}

SCVerticalProgress::SCVerticalProgress(int nTarget, float fSpeed, const char* pszImageName)
    : m_fHeight(0.0f), m_nTarget(nTarget), m_fSpeed(fSpeed) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "No application to load '%s' from", pszImageName);
    m_pImage = pApp->getImage(pszImageName);
}

bool SCVerticalProgress::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    int nBefore = truncateToInt(m_fHeight);
    m_fHeight += m_fSpeed * fDt;
    if (m_fHeight > m_nTarget) m_fHeight = static_cast<float>(m_nTarget);
    int nAfter = truncateToInt(m_fHeight);
    if (nAfter != nBefore) {
        int nHeight = m_pImage->getHeight(), nWidth = m_pImage->getWidth();
        Tsl::SmartPtr<Image> pRows = m_pImage->createSubImage(Rect(0, nHeight - nAfter, nWidth, nHeight), false);
        // Drawn where the rows lie in the full image, the sprite's position
        // being the full image's top-left.
        pRows->setInsPoint(0, nAfter - nHeight);
        pSprite->setImage(pRows);
    }
    return m_fHeight == m_nTarget;
}

SCWipe::SCWipe(int nMode, bool bSplit, float fDuration, bool bRemoveWhenDone)
    : m_nMode(nMode), m_bSplit(bSplit), m_nHeight(0), m_nWidth(0), m_nX(0), m_nY(0),
      m_bRemoveWhenDone(bRemoveWhenDone) {
    setTimedDuration(*this, fDuration);
}

Tsl::SmartPtr<Image> SCWipe::cut(int nLeft, int nTop, int nRight, int nBottom) const {
    return m_pStartImage->createSubImage(Rect(nLeft, nTop, nRight, nBottom), false);
}

void SCWipe::start(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    m_pStartImage = pSprite->getImage();
    // Without an image there is nothing to wipe: the wipe only runs its time.
    if (!m_pStartImage) return;
    // The image's size: a hidden sprite reports none.
    m_nHeight = m_pStartImage->getHeight();
    m_nWidth = m_pStartImage->getWidth();
    m_nX = static_cast<int>(std::lround(pSprite->getXf()));
    m_nY = static_cast<int>(std::lround(pSprite->getYf()));
    if (m_bSplit) startSplit(pSprite);
}

void SCWipe::startSplit(Tsl::SmartPtr<Sprite> pSprite) {
    bool bVertical = m_nMode == 0 || m_nMode == 1;
    int nHalf = (bVertical ? m_nHeight : m_nWidth) / 2;
    Tsl::SmartPtr<Image> pSecondImage;
    if (bVertical) {
        pSprite->setImage(cut(0, 0, m_nWidth, nHalf));
        pSecondImage = cut(0, nHalf, m_nWidth, m_nHeight);
        m_pSecond = new Sprite(pSecondImage, m_nX, m_nY + nHalf, pSprite->getZOrder());
    } else {
        pSprite->setImage(cut(0, 0, nHalf, m_nHeight));
        pSecondImage = cut(nHalf, 0, m_nWidth, m_nHeight);
        m_pSecond = new Sprite(pSecondImage, m_nX + nHalf, m_nY, pSprite->getZOrder());
    }
    if (GameMode* pMode = pSprite->getOwnerMode()) pMode->addSprite(m_pSecond);
}

bool SCWipe::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    getTimer()->advance(fDt);
    float r = 1.0f - getTimer()->getProgress();
    if (m_pStartImage) {
        if (m_bSplit) wipeSplit(pSprite, r);
        else wipeWhole(pSprite, r);
    }
    if (!getTimer()->isDone()) return false;
    if (m_bRemoveWhenDone) {
        if (GameMode* pMode = pSprite->getOwnerMode()) pMode->removeSprite(pSprite);
        if (m_pSecond && m_pSecond->getOwnerMode()) m_pSecond->getOwnerMode()->removeSprite(m_pSecond);
    }
    return true;
}

void SCWipe::wipeWhole(Sprite* pSprite, float r) {
    float H = static_cast<float>(m_nHeight), W = static_cast<float>(m_nWidth);
    switch (m_nMode) {
    case 0:
        pSprite->setImage(cut(0, 0, m_nWidth, truncateToInt(H * r)));
        break;
    case 1:
        pSprite->setImage(cut(0, truncateToInt(H - H * r), m_nWidth, m_nHeight));
        pSprite->setPosition(static_cast<float>(std::lround(pSprite->getXf())), m_nY + H - H * r);
        break;
    case 2:
        pSprite->setImage(cut(0, 0, truncateToInt(W * r), m_nHeight));
        break;
    case 3:
        pSprite->setImage(cut(truncateToInt(W - W * r), 0, m_nWidth, m_nHeight));
        pSprite->setPosition(m_nX + W - W * r, static_cast<float>(std::lround(pSprite->getYf())));
        break;
    default:
        break;
    }
}

void SCWipe::wipeSplit(Sprite* pSprite, float r) {
    if (m_nMode == 0 || m_nMode == 1) {
        float fHalf = static_cast<float>(m_nHeight / 2);
        pSprite->setImage(cut(0, 0, m_nWidth, truncateToInt(fHalf * r)));
        Tsl::SmartPtr<Image> pBottom = cut(0, truncateToInt(m_nHeight - fHalf * r), m_nWidth, m_nHeight);
        m_pSecond->setImage(pBottom);
        m_pSecond->setPosition(m_nX, m_nY + m_nHeight - pBottom->getHeight());
    } else {
        float fHalf = static_cast<float>(m_nWidth / 2);
        pSprite->setImage(cut(0, 0, truncateToInt(fHalf * r), m_nHeight));
        Tsl::SmartPtr<Image> pRight = cut(truncateToInt(m_nWidth - fHalf * r), 0, m_nWidth, m_nHeight);
        m_pSecond->setImage(pRight);
        m_pSecond->setPosition(m_nX + m_nWidth - pRight->getWidth(), m_nY);
    }
}
