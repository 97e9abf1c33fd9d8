// One named run of frames of an animation and the frames themselves.
// A sequence's parent holder is its animation, a frame's is its sequence.
#pragma once

#include "anim/propholder.h"
#include "image/image.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"

// One picture shown for a whole number of frame times.
class FrameData : public PropHolder {
public:
    explicit FrameData(Tsl::SmartPtr<Image> pImage);
    ~FrameData() override;

    Tsl::SmartPtr<Image> getImage() const { return m_pImage; }
    void setImage(Tsl::SmartPtr<Image> pImage) { m_pImage = pImage; }
    int getRepeat() const { return m_nRepeat; }
    void setRepeat(int nRepeat) { m_nRepeat = nRepeat; }

private:
    Tsl::SmartPtr<Image> m_pImage;
    int m_nRepeat;
};

class Sequence : public PropHolder {
public:
    Sequence(float fFps, bool bLoop);
    ~Sequence() override;

    float getFps() const { return m_fFps; }
    void setFps(float fFps) { m_fFps = fFps; }
    bool isLooped() const { return m_bLoop; }
    void setLoop(bool bLoop) { m_bLoop = bLoop; }

    int getFrameCount() const { return m_lFrames.getCount(); }
    // A bad index raises the list's range error.
    Tsl::SmartPtr<FrameData> getFrame(int nIndex) const { return m_lFrames.getAt(nIndex); }
    const Tsl::List<Tsl::SmartPtr<FrameData>>& getFrames() const { return m_lFrames; }
    // Appends the frame and makes this sequence its parent holder; returns its index.
    int addFrame(Tsl::SmartPtr<FrameData> pFrame);

private:
    float m_fFps;
    bool m_bLoop;
    Tsl::List<Tsl::SmartPtr<FrameData>> m_lFrames;
};
