#include "screens/splashscreen.h"

#include "app/gameapp.h"
#include "media/flashsprite.h"
#include "media/videosprite.h"

const float SplashScreen::IMAGE_SECONDS = 3.0f;

SplashScreen::SplashScreen()
    : GameMode(MF_ACTIVE | MF_VISIBLE | MF_CLEAR_SCREEN), m_nCurrent(-1), m_fShown(0.0f), m_bStarting(false), m_bFinished(false) {}

SplashScreen::~SplashScreen() {}

void SplashScreen::addImage(const char* pszName, float fSeconds) {
    m_lItems.append(Item{IK_IMAGE, pszName ? pszName : "", fSeconds});
}

void SplashScreen::addMovie(const char* pszPath) { m_lItems.append(Item{IK_MOVIE, pszPath ? pszPath : "", 0.0f}); }

void SplashScreen::addFlash(const char* pszMovie) {
    if (!FlashSprite::isAvailable()) {
        GameApp::log("G: Splash Flash movie '%s' left out: no Flash control\n", pszMovie ? pszMovie : "");
        return;
    }
    m_lItems.append(Item{IK_FLASH, pszMovie ? pszMovie : "", 0.0f});
}

void SplashScreen::init() {
    TSL_TRACE();
    GameApp::getInstance()->showCursor(false);
    m_bStarting = true;
    next();
    m_bStarting = false;
}

void SplashScreen::next() {
    TSL_TRACE();
    hideCurrent();
    while (!m_bFinished && ++m_nCurrent < m_lItems.getCount()) {
        const Item& item = m_lItems.getAt(m_nCurrent);
        try {
            show(item);
            return;
        } catch (const Tsl::Exception& e) {
            GameApp::log("G: Splash item '%s' skipped: %s\n", item.sName.c_str(), e.getMessage());
            hideCurrent();
        }
    }
    finish();
}

void SplashScreen::show(const Item& item) {
    m_fShown = 0.0f;
    GameApp* pApp = GameApp::getInstance();
    if (item.eKind == IK_IMAGE) {
        m_pSprite = new Sprite(pApp->getImage(item.sName), 0, 0, 0);
    } else if (item.eKind == IK_MOVIE) {
        m_pMovie = new VideoSprite(item.sName);
        m_pSprite = m_pMovie.get();
    } else {
        m_pFlash = new FlashSprite(item.sName, 0, 0, 0, false);
        m_pSprite = m_pFlash.get();
    }
    int nWidth = 0, nHeight = 0;
    m_pSprite->getSize(nWidth, nHeight);
    m_pSprite->setPosition((pApp->getScreenWidth() - nWidth) / 2, (pApp->getScreenHeight() - nHeight) / 2);
    addSprite(m_pSprite);
}

void SplashScreen::hideCurrent() {
    if (m_pSprite && m_pSprite->getOwnerMode() == this) removeSprite(m_pSprite);
    m_pSprite = nullptr;
    m_pMovie = nullptr;
    m_pFlash = nullptr;
}

bool SplashScreen::isCurrentDone(float fDt) {
    m_fShown += fDt;
    if (m_pMovie) {
        m_pMovie->update(fDt);
        return m_pMovie->isFinished();
    }
    if (m_pFlash) {
        m_pFlash->update();
        return !m_pFlash->isPlaying() || m_pFlash->getLoopCount() > 0;
    }
    return m_nCurrent >= 0 && m_fShown >= m_lItems.getAt(m_nCurrent).fSeconds;
}

void SplashScreen::onUpdate(float fDt) {
    TSL_TRACE();
    GameMode::onUpdate(fDt);
    if (m_bFinished) {
        endIfOnTop();
        return;
    }
    bool bDone = true;
    try {
        bDone = isCurrentDone(fDt);
    } catch (const Tsl::Exception& e) {
        GameApp::log("G: Splash item %d stopped: %s\n", m_nCurrent, e.getMessage());
    }
    if (bDone) next();
}

bool SplashScreen::onKeyDown(int, int) {
    if (!m_bFinished) next();
    return true;
}

bool SplashScreen::onMouseDown(int, int, int) {
    if (!m_bFinished) next();
    return true;
}

void SplashScreen::finish() {
    if (m_bFinished) return;
    m_bFinished = true;
    m_nCurrent = -1;
    GameApp* pApp = GameApp::getInstance();
    pApp->setConfirmExit(true);
    pApp->showCursor(true);
    endIfOnTop();
}

void SplashScreen::endIfOnTop() {
    // Not while init runs (nothing could be shown): the push is still under
    // way, so the first update ends the screen.
    if (m_bStarting || getState() != MS_RUNNING) return;
    if (GameApp::getInstance()->getModeIndex(this) == 0) endMode();
}
