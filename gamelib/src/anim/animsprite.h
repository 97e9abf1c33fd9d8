// A sprite that plays one named sequence of a shared animation at a time.
// The mode does not step it: its owner (a game object, a controller, a
// particle) calls update with the frame's seconds and reads the result.
#pragma once

#include "anim/animation.h"
#include "sprite/sprite.h"

#include "tsl2/refcount.h"
#include "tsl2/str.h"

class AnimSprite : public Sprite {
public:
    AnimSprite(Tsl::SmartPtr<Animation> pAnimation, int nX, int nY, int nZOrder = 0);
    AnimSprite(Tsl::SmartPtr<Animation> pAnimation, const Point& position, int nZOrder = 0);
    ~AnimSprite() override;

    // Stopped at frame 0, then the animation's default sequence at its own
    // rate and loop flag. An animation without sequences hides the sprite.
    void init(Tsl::SmartPtr<Animation> pAnimation);
    // A new animation plays its sequence named "default" (hidden without one).
    void setAnimation(Tsl::SmartPtr<Animation> pAnimation);
    // Plays from frame 0. fps 0 takes the sequence's own rate; a negative fps
    // is the length in seconds of one pass (each frame counted once). loop -1
    // takes the sequence's own flag. A missing or empty sequence stops and
    // hides the sprite.
    void play(const char* pszSequence, float fFps = 0.0f, int nLoop = -1);
    // Plays only when a frame has a length.
    void start();
    // The frame stays shown.
    void stop();
    // Shows a frame of the current sequence; a time above 0 replaces the time
    // left on it. An index outside the sequence is ignored.
    void setFrame(int nFrame, float fTime = -1.0f);
    // Puts the current frame's image on the sprite and restarts its time.
    void showFrame();
    // The current frame's repeat count times the seconds per frame.
    float getFrameDuration() const;
    // Advances by dt seconds; true when the shown frame changed, on the first
    // update after a (re)start, and once when a one-shot sequence finishes.
    bool update(float fDt);

    Tsl::SmartPtr<Animation> getAnimation() const { return m_pAnimation; }
    const Tsl::String& getSequenceName() const { return m_sSequence; }
    int getFrame() const { return m_nFrame; }
    int getPreviousFrame() const { return m_nPreviousFrame; }
    float getFrameTimeLeft() const { return m_fTimeLeft; }
    float getSecondsPerFrame() const { return m_fSecondsPerFrame; }
    bool isPlaying() const { return m_bPlaying; }
    bool isLooping() const { return m_bLoop; }
    // True only for the update that ran off the end of a one-shot sequence.
    bool isFinished() const { return m_bFinished; }
    bool hasFrameChanged() const { return m_bChanged; }
    // The last update advanced by more than one frame.
    bool hasSkippedFrames() const { return m_bSkipped; }
    Tsl::SmartPtr<Image> getFrameImage() const;
    // Frames of the named sequence (the current one for null); 0 when missing.
    int getFrameCount(const char* pszSequence = nullptr) const;

    // Properties of the current frame through its chain (frame, sequence,
    // animation); empty when absent.
    bool hasFrameProp(const char* pszKey) const;
    Tsl::String getFrameProp(const char* pszKey) const;
    // The value for frame nFrame of the current sequence (the current frame
    // for -1) through its chain, or null; copies nothing (PropHolder::findProp).
    const Tsl::String* findFramePropAt(const Tsl::String& sKey, int nFrame = -1) const;
    // The current frame's value or, failing that, the nearest earlier frame's.
    Tsl::String findFrameProp(const char* pszKey) const;

private:
    void initFields();
    bool isCurrentFrameValid() const;
    // Time of one whole pass through the current sequence.
    float getPassDuration() const;

    Tsl::SmartPtr<Animation> m_pAnimation;
    // The current sequence, kept so a frame step needs no look-up by name.
    Tsl::SmartPtr<Sequence> m_pSequence;
    float m_fSecondsPerFrame;
    float m_fTimeLeft;
    int m_nFrame;
    Tsl::String m_sSequence;
    bool m_bPlaying;
    bool m_bLoop;
    bool m_bSkipped;
    int m_nPreviousFrame;
    bool m_bChanged;
    bool m_bFinished;
};
