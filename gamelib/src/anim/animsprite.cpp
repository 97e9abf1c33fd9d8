#include "anim/animsprite.h"

#include <cmath>

AnimSprite::AnimSprite(Tsl::SmartPtr<Animation> pAnimation, int nX, int nY, int nZOrder) : Sprite(nX, nY, nZOrder) {
    initFields();
    init(pAnimation);
}

AnimSprite::AnimSprite(Tsl::SmartPtr<Animation> pAnimation, const Point& position, int nZOrder)
    : Sprite(position, nZOrder) {
    initFields();
    init(pAnimation);
}

AnimSprite::~AnimSprite() {}

void AnimSprite::initFields() {
    m_fSecondsPerFrame = 0.0f;
    m_fTimeLeft = 0.0f;
    m_nFrame = 0;
    m_bPlaying = false;
    m_bLoop = false;
    m_bSkipped = false;
    m_nPreviousFrame = 0;
    m_bChanged = false;
    m_bFinished = false;
}

void AnimSprite::init(Tsl::SmartPtr<Animation> pAnimation) {
    m_bPlaying = false;
    m_bLoop = false;
    m_nFrame = 0;
    m_nPreviousFrame = 0;
    m_bSkipped = false;
    m_bChanged = false;
    if (!pAnimation) return;
    setAnimation(pAnimation);
    if (pAnimation->isEmpty()) {
        // Nothing to show is not worth an exception in the middle of a scene.
        m_bPlaying = false;
        setImage(Tsl::SmartPtr<Image>());
        return;
    }
    // fps 0 and loop -1 are the sequence's own; a default naming no sequence hides the sprite.
    play(pAnimation->getDefaultSequence(), 0.0f, -1);
}

void AnimSprite::setAnimation(Tsl::SmartPtr<Animation> pAnimation) {
    if (pAnimation == m_pAnimation) return;
    m_pAnimation = pAnimation;
    // An empty sequence is never kept: nothing could be shown or stepped through.
    m_pSequence = (m_pAnimation && m_pAnimation->getFrameCount(m_sSequence) > 0) ? m_pAnimation->getSequence(m_sSequence)
                                                                                  : Tsl::SmartPtr<Sequence>();
    if (m_pAnimation) play("default", 0.0f, -1);
}

void AnimSprite::play(const char* pszSequence, float fFps, int nLoop) {
    // A copy: the caller may pass our own sequence name.
    Tsl::String sSequence(pszSequence);
    int nCount = m_pAnimation ? m_pAnimation->getFrameCount(sSequence) : 0;
    if (nCount == 0) {
        m_bPlaying = false;
        setImage(Tsl::SmartPtr<Image>());
        return;
    }
    m_sSequence = sSequence;
    m_pSequence = m_pAnimation->getSequence(sSequence);
    m_nFrame = 0;
    if (fFps == 0.0f) fFps = m_pSequence->getFps();
    // A negative rate is the length of one pass, each frame counted once.
    m_fSecondsPerFrame = fFps > 0.0f ? 1.0f / fFps : -fFps / static_cast<float>(nCount);
    if (nLoop == -1) nLoop = m_pSequence->isLooped() ? 1 : 0;
    m_bLoop = nLoop != 0;
    showFrame();
    start();
}

void AnimSprite::start() {
    m_bPlaying = m_fSecondsPerFrame != 0.0f && m_pSequence;
    showFrame();
}

void AnimSprite::stop() { m_bPlaying = false; }

void AnimSprite::setFrame(int nFrame, float fTime) {
    if (!m_pSequence || nFrame < 0 || nFrame >= m_pSequence->getFrameCount()) return;
    m_nFrame = nFrame;
    showFrame();
    if (fTime > 0.0f) m_fTimeLeft = fTime;
}

bool AnimSprite::isCurrentFrameValid() const {
    return m_pSequence && m_nFrame >= 0 && m_nFrame < m_pSequence->getFrameCount();
}

void AnimSprite::showFrame() {
    if (!isCurrentFrameValid()) return;
    Tsl::SmartPtr<Image> pImage = m_pSequence->getFrame(m_nFrame)->getImage();
    // Only a new picture touches the sprite: its drawn image and tooltip stay put otherwise.
    if (pImage != getImage()) setImage(pImage);
    m_fTimeLeft = getFrameDuration();
}

float AnimSprite::getFrameDuration() const {
    if (!isCurrentFrameValid()) return 0.0f;
    return static_cast<float>(m_pSequence->getFrame(m_nFrame)->getRepeat()) * m_fSecondsPerFrame;
}

float AnimSprite::getPassDuration() const {
    float fPass = 0.0f;
    for (const Tsl::SmartPtr<FrameData>& pFrame : m_pSequence->getFrames())
        fPass += static_cast<float>(pFrame->getRepeat()) * m_fSecondsPerFrame;
    return fPass;
}

bool AnimSprite::update(float fDt) {
    m_bChanged = false;
    m_bFinished = false;
    if (!m_bPlaying || !isVisible() || !m_pSequence) return false;
    m_bSkipped = false;
    m_nPreviousFrame = m_nFrame;
    // The first update after a start (or a wrap to frame 0) reports a change.
    bool bResult = m_nFrame == 0 && m_fTimeLeft == getFrameDuration();
    m_fTimeLeft -= fDt;
    if (m_fTimeLeft > 0.0f) return bResult;

    int nCount = m_pSequence->getFrameCount();
    if (nCount == 0) {
        stop();
        return false;
    }
    int nAdvances = 0;
    while (m_fTimeLeft <= 0.0f) {
        ++m_nFrame;
        if (++nAdvances > 1) m_bSkipped = true;
        if (m_nFrame >= nCount) {
            if (!m_bLoop) {
                m_nFrame = nCount - 1;
                showFrame();
                m_bFinished = true;
                stop();
                return true;
            }
            m_nFrame = 0;
        }
        m_fTimeLeft += getFrameDuration();
        if (nAdvances % nCount == 0 && m_fTimeLeft <= 0.0f) {
            // A whole pass did not use up dt: frames without length ("repeat 0")
            // would spin for ever, and a long pause would walk every pass it missed.
            float fPass = getPassDuration();
            if (fPass <= 0.0f) break;
            m_fTimeLeft = std::fmod(m_fTimeLeft, fPass);
        }
    }
    m_bChanged = true;
    showFrame();
    return true;
}

Tsl::SmartPtr<Image> AnimSprite::getFrameImage() const {
    return isCurrentFrameValid() ? m_pSequence->getFrame(m_nFrame)->getImage() : Tsl::SmartPtr<Image>();
}

int AnimSprite::getFrameCount(const char* pszSequence) const {
    if (!m_pAnimation) return 0;
    return m_pAnimation->getFrameCount(pszSequence ? pszSequence : m_sSequence.c_str());
}

bool AnimSprite::hasFrameProp(const char* pszKey) const {
    return isCurrentFrameValid() && m_pSequence->getFrame(m_nFrame)->hasProp(pszKey, true);
}

Tsl::String AnimSprite::getFrameProp(const char* pszKey) const {
    return isCurrentFrameValid() ? m_pSequence->getFrame(m_nFrame)->getProp(pszKey, true) : Tsl::String();
}

const Tsl::String* AnimSprite::findFramePropAt(const Tsl::String& sKey, int nFrame) const {
    if (nFrame < 0) nFrame = m_nFrame;
    if (!m_pSequence || nFrame < 0 || nFrame >= m_pSequence->getFrameCount()) return nullptr;
    return m_pSequence->getFrame(nFrame)->findProp(sKey, true);
}

Tsl::String AnimSprite::findFrameProp(const char* pszKey) const {
    if (!m_pSequence) return Tsl::String();
    int nFrame = m_nFrame < m_pSequence->getFrameCount() ? m_nFrame : m_pSequence->getFrameCount() - 1;
    for (; nFrame >= 0; --nFrame) {
        Tsl::SmartPtr<FrameData> pFrame = m_pSequence->getFrame(nFrame);
        if (pFrame->hasProp(pszKey, true)) return pFrame->getProp(pszKey, true);
    }
    return Tsl::String();
}
