#include "anim/sequence.h"

FrameData::FrameData(Tsl::SmartPtr<Image> pImage) : m_pImage(pImage), m_nRepeat(1) {}

FrameData::~FrameData() {}

Sequence::Sequence(float fFps, bool bLoop) : m_fFps(fFps), m_bLoop(bLoop) {}

Sequence::~Sequence() {
    // A frame someone still holds must not climb into a dead sequence.
    for (const Tsl::SmartPtr<FrameData>& pFrame : m_lFrames)
        if (pFrame->getParent() == this) pFrame->setParent(nullptr);
}

int Sequence::addFrame(Tsl::SmartPtr<FrameData> pFrame) {
    pFrame->setParent(this);
    m_lFrames.append(pFrame);
    return m_lFrames.getCount() - 1;
}
