#include "anim/animation.h"

#include "app/gameapp.h"

Animation::Animation(float fFps) : m_fFps(fFps) {
    if (m_fFps == 0.0f) {
        GameApp* pApp = GameApp::getInstance();
        m_fFps = static_cast<float>(pApp ? pApp->getFrameRate() : 60);
    }
}

Animation::~Animation() {
    // A sequence someone still holds must not climb into a dead animation.
    for (const Tsl::SmartPtr<Sequence>& pSequence : m_hSequences.getValues())
        if (pSequence->getParent() == this) pSequence->setParent(nullptr);
}

Tsl::String Animation::getDefaultSequence() {
    if (m_sDefault.isEmpty()) m_sDefault = getSequenceNames().getAt(0);
    return m_sDefault;
}

Tsl::SmartPtr<Sequence> Animation::getSequence(const char* pszName) const { return m_hSequences.get(pszName); }

Tsl::SmartPtr<Sequence> Animation::createSequence(const char* pszName, bool bLoop, float fFps) {
    Tsl::SmartPtr<Sequence> pSequence = new Sequence(fFps == 0.0f ? m_fFps : fFps, bLoop);
    pSequence->setParent(this);
    m_hSequences.set(pszName, pSequence);
    return pSequence;
}

void Animation::addSequence(const char* pszName, Tsl::SmartPtr<Sequence> pSequence) {
    if (m_hSequences.hasKey(pszName))
        TSL_THROW(FatalErrorException, "%s already has seq %s", m_sName.c_str(), pszName);
    m_hSequences.set(pszName, pSequence);
}

int Animation::addFrame(const char* pszSequence, Tsl::SmartPtr<Image> pImage, int nRepeat) {
    Tsl::SmartPtr<Sequence> pSequence =
        hasSequence(pszSequence) ? getSequence(pszSequence) : createSequence(pszSequence, false, m_fFps);
    Tsl::SmartPtr<FrameData> pFrame = new FrameData(pImage);
    pFrame->setRepeat(nRepeat);
    return pSequence->addFrame(pFrame);
}

int Animation::getFrameCount(const char* pszSequence) const {
    return hasSequence(pszSequence) ? getSequence(pszSequence)->getFrameCount() : 0;
}

bool Animation::isValidFrame(const char* pszSequence, int nFrame) const {
    return nFrame >= 0 && nFrame < getFrameCount(pszSequence);
}

float Animation::getSequenceFps(const char* pszSequence) const { return getSequence(pszSequence)->getFps(); }

void Animation::setSequenceFps(const char* pszSequence, float fFps) { getSequence(pszSequence)->setFps(fFps); }

bool Animation::isSequenceLooped(const char* pszSequence) const { return getSequence(pszSequence)->isLooped(); }

void Animation::setSequenceLoop(const char* pszSequence, bool bLoop) { getSequence(pszSequence)->setLoop(bLoop); }

Tsl::SmartPtr<FrameData> Animation::getFrameData(const char* pszSequence, int nFrame) const {
    return getSequence(pszSequence)->getFrame(nFrame);
}

Tsl::SmartPtr<Image> Animation::getFrameImage(const char* pszSequence, int nFrame) const {
    return getFrameData(pszSequence, nFrame)->getImage();
}

int Animation::getFrameRepeat(const char* pszSequence, int nFrame) const {
    return getFrameData(pszSequence, nFrame)->getRepeat();
}

bool Animation::hasFrameProp(const char* pszSequence, int nFrame, const char* pszKey) const {
    return getFrameData(pszSequence, nFrame)->hasProp(pszKey, true);
}

Tsl::String Animation::getFrameProp(const char* pszSequence, int nFrame, const char* pszKey) const {
    return getFrameData(pszSequence, nFrame)->getProp(pszKey, true);
}

void Animation::setFrameProp(const char* pszSequence, int nFrame, const char* pszKey, const char* pszValue) {
    if (nFrame >= 0)
        getFrameData(pszSequence, nFrame)->setProp(pszKey, pszValue);
    else
        getSequence(pszSequence)->setProp(pszKey, pszValue);
}

Tsl::List<Tsl::SmartPtr<Image>> Animation::getImages() const {
    Tsl::List<Tsl::SmartPtr<Image>> lImages;
    Tsl::Hash<Image*, bool> hSeen;
    for (const Tsl::String& sName : getSequenceNames()) {
        for (const Tsl::SmartPtr<FrameData>& pFrame : getSequence(sName)->getFrames()) {
            Image* pImage = pFrame->getImage().get();
            if (hSeen.hasKey(pImage)) continue;
            hSeen.set(pImage, true);
            lImages.append(pFrame->getImage());
        }
    }
    return lImages;
}
