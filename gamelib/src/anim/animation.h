// Named sequences of frames with string properties: the in-memory form of
// one ".anim" resource, shared read-only by every sprite that shows it.
#pragma once

#include "anim/propholder.h"
#include "anim/sequence.h"
#include "image/image.h"

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class Animation : public PropHolder {
public:
    // An fps of exactly 0 takes the application's frame rate.
    explicit Animation(float fFps = 0.0f);
    ~Animation() override;

    void setName(const char* pszName) { m_sName = pszName; }
    const Tsl::String& getName() const { return m_sName; }
    void setFps(float fFps) { m_fFps = fFps; }
    float getFps() const { return m_fFps; }
    void setDefaultSequence(const char* pszName) { m_sDefault = pszName; }
    // When none was set, the first sequence name becomes (and stays) the
    // default; an animation without sequences raises the list's range error.
    Tsl::String getDefaultSequence();

    bool hasSequence(const char* pszName) const { return m_hSequences.hasKey(pszName); }
    // A missing name raises "Hash key not found : ".
    Tsl::SmartPtr<Sequence> getSequence(const char* pszName) const;
    Tsl::List<Tsl::String> getSequenceNames() const { return m_hSequences.getKeys(); }
    // Replaces a sequence of the same name; fps 0 means the animation's.
    Tsl::SmartPtr<Sequence> createSequence(const char* pszName, bool bLoop, float fFps);
    // A further name for a sequence (its parent is left alone); a name in use
    // raises "<animation> already has seq <name>".
    void addSequence(const char* pszName, Tsl::SmartPtr<Sequence> pSequence);
    // Creates the sequence (not looping, the animation's fps) when missing;
    // returns the new frame's index.
    int addFrame(const char* pszSequence, Tsl::SmartPtr<Image> pImage, int nRepeat);
    bool isEmpty() const { return m_hSequences.isEmpty(); }

    // Never raise: 0 / false for a missing sequence.
    int getFrameCount(const char* pszSequence) const;
    bool isValidFrame(const char* pszSequence, int nFrame) const;

    // A missing sequence raises the hash error, a bad frame the list error.
    float getSequenceFps(const char* pszSequence) const;
    void setSequenceFps(const char* pszSequence, float fFps);
    bool isSequenceLooped(const char* pszSequence) const;
    void setSequenceLoop(const char* pszSequence, bool bLoop);
    Tsl::SmartPtr<FrameData> getFrameData(const char* pszSequence, int nFrame) const;
    Tsl::SmartPtr<Image> getFrameImage(const char* pszSequence, int nFrame) const;
    int getFrameRepeat(const char* pszSequence, int nFrame) const;
    // Through the chain frame, sequence, animation.
    bool hasFrameProp(const char* pszSequence, int nFrame, const char* pszKey) const;
    Tsl::String getFrameProp(const char* pszSequence, int nFrame, const char* pszKey) const;
    // A negative frame puts the property on the sequence itself.
    void setFrameProp(const char* pszSequence, int nFrame, const char* pszKey, const char* pszValue);

    // The distinct image objects of all frames in order of first use.
    Tsl::List<Tsl::SmartPtr<Image>> getImages() const;
    Tsl::SmartPtr<Animation> getRef() { return Tsl::SmartPtr<Animation>(this); }

private:
    Tsl::String m_sName;
    Tsl::String m_sDefault;
    float m_fFps;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Sequence>> m_hSequences;
};
