#include "effects/animcontroller.h"

#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "app/gamemode.h"
#include "audio/audiodriver.h"

#include "tsl2/error.h"

namespace {

AnimSprite* asAnimSprite(const Tsl::SmartPtr<Sprite>& pSprite) {
    AnimSprite* pAS = dynamic_cast<AnimSprite*>(pSprite.get());
    TSL_ASSERT(pAS);
    return pAS;
}

} // namespace

void SCPlayAnimation::start(Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    if (!m_bRestartOnStart) return;
    AnimSprite* pAS = asAnimSprite(pSprite);
    pAS->setFrame(0, -1.0f);
    pAS->start();
}

bool SCPlayAnimation::step(float fDt, Tsl::SmartPtr<Sprite> pSprite) {
    TSL_TRACE();
    AnimSprite* pAS = asAnimSprite(pSprite);
    int nBefore = pAS->getFrame();
    pAS->update(m_fSpeed * fDt);
    int nAfter = pAS->getFrame();
    if (nAfter != nBefore) soundFramesEntered(pAS, nBefore, nAfter);
    if (pAS->isPlaying()) return false;
    if (m_bRemoveWhenStopped) {
        if (GameMode* pMode = pSprite->getOwnerMode()) pMode->removeSprite(pSprite);
    }
    return true;
}

// The frames after nFrom up to nTo, through the end of the sequence and
// round to its start when it wrapped: each at most once.
void SCPlayAnimation::soundFramesEntered(AnimSprite* pAS, int nFrom, int nTo) {
    if (nTo > nFrom) {
        for (int i = nFrom + 1; i <= nTo; ++i) soundFrame(pAS, i);
        return;
    }
    int nCount = pAS->getFrameCount(nullptr);
    for (int i = nFrom + 1; i < nCount; ++i) soundFrame(pAS, i);
    for (int i = 0; i <= nTo; ++i) soundFrame(pAS, i);
}

void SCPlayAnimation::soundFrame(AnimSprite* pAS, int nFrame) {
    Tsl::SmartPtr<Animation> pAnimation = pAS->getAnimation();
    const char* pszSequence = pAS->getSequenceName().c_str();
    if (!pAnimation || !pAnimation->hasFrameProp(pszSequence, nFrame, "sound")) return;
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) return;
    Tsl::String sSample = pAnimation->getFrameProp(pszSequence, nFrame, "sound");
    pApp->playSound(pApp->getSample(sSample.c_str()), false, -1);
}
