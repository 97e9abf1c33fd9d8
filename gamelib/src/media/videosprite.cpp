#include "media/videosprite.h"

#include "app/gameapp.h"
#include "media/videospriteimpl.h"
#include "platform/platform.h"

#include "tsl2/error.h"

VideoSprite::VideoSprite(const char* pszPath) : m_bPlaying(false), m_bFinished(false), m_fVolume(1.0f) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    IPlatform* pPlatform = pApp ? pApp->getPlatform() : nullptr;
    m_pImpl.reset(pPlatform ? pPlatform->createVideoSpriteImpl() : nullptr);
    if (!m_pImpl || !m_pImpl->open(pszPath)) TSL_THROW(FatalErrorException, "Can't open '%s'", pszPath);
    m_pImpl->setAudioExclusive(true);
    setVolume(1.0f);
    play();
}

VideoSprite::~VideoSprite() {}

int VideoSprite::getWidth() const { return m_pImpl->getWidth(); }

int VideoSprite::getHeight() const { return m_pImpl->getHeight(); }

void VideoSprite::update(float fDt) {
    TSL_TRACE();
    if (!m_bPlaying) return;
    // Again every frame, so a change of the sound option applies at once.
    passVolume();
    Tsl::SmartPtr<Image> pPicture = m_pImpl->update(fDt);
    if (m_pImpl->isFinished()) {
        m_bPlaying = false;
        m_bFinished = true;
        return;
    }
    if (pPicture) setImage(pPicture);
}

void VideoSprite::play() {
    m_pImpl->play();
    m_bPlaying = true;
    m_bFinished = false;
}

void VideoSprite::setVolume(float fVolume) {
    m_fVolume = fVolume;
    passVolume();
}

void VideoSprite::passVolume() {
    GameApp* pApp = GameApp::getInstance();
    float fSoundVolume = pApp ? static_cast<float>(pApp->getSoundVolume()) : 255.0f;
    m_pImpl->setVolume(fSoundVolume * m_fVolume / 255.0f);
}

void VideoSprite::setAudioExclusive(bool bExclusive) { m_pImpl->setAudioExclusive(bExclusive); }

bool VideoSprite::isAudioExclusive() const { return m_pImpl->isAudioExclusive(); }

float VideoSprite::getCurrentTime() const { return m_pImpl->getCurrentTime(); }

void VideoSprite::seek(float fSeconds) { m_pImpl->seek(fSeconds); }
