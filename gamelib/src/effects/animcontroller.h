// Plays an animated sprite and its frame sounds: the "sound" property of
// every frame entered is played once.
#pragma once

#include "sprite/spritecontroller.h"

class AnimSprite;

// A looping sequence keeps the controller for ever; a one-shot sequence ends
// it (and, when asked, takes the sprite out of its mode) on the step in
// which it stops.
class SCPlayAnimation : public SpriteController {
public:
    SCPlayAnimation(bool bRemoveWhenStopped, bool bRestartOnStart)
        : m_bRemoveWhenStopped(bRemoveWhenStopped), m_bRestartOnStart(bRestartOnStart), m_fSpeed(1.0f) {}

    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;
    // A factor on the frame's time: 2 plays twice as fast, 0 freezes.
    virtual void setSpeed(float fSpeed) { m_fSpeed = fSpeed; }
    virtual float getSpeed() const { return m_fSpeed; }

private:
    void soundFramesEntered(AnimSprite* pSprite, int nFrom, int nTo);
    void soundFrame(AnimSprite* pSprite, int nFrame);

    bool m_bRemoveWhenStopped;
    bool m_bRestartOnStart;
    float m_fSpeed;
};
