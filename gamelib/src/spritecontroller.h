// A time-driven behaviour attached to a sprite. The sprite owns its
// controllers and deletes each one that reports completion.
#pragma once

#include "tsl2/refcount.h"
#include "tsl2/timer.h"

class Sprite;

class SpriteController {
public:
    SpriteController(float fDuration = 0.0f, unsigned int nTimerFlags = 0);
    virtual ~SpriteController();

    virtual void start(Tsl::SmartPtr<Sprite> pSprite);
    // True when done.
    virtual bool update(Tsl::SmartPtr<Sprite> pSprite);
    // Advances the timer, then update.
    virtual bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite);
    // Finishes at once: a step by the time left on the timer.
    virtual bool tick(Tsl::SmartPtr<Sprite> pSprite);

    Timer* getTimer() const { return m_pTimer; }


private:
    SpriteController(const SpriteController&) = delete;
    SpriteController& operator=(const SpriteController&) = delete;

    Tsl::SmartPtr<Timer> m_pTimer;
};
