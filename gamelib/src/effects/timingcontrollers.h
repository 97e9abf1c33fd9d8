// Controllers that wait, call back, take the sprite out of its mode, or
// attach particle effects to it.
#pragma once

#include "app/callbacktarget.h"
#include "effects/particle.h"
#include "effects/particleemitter.h"
#include "sprite/spritecontroller.h"

class GameMode;

// The elapsed time may pass the duration (no clamp).
class SCDelay : public SpriteController {
public:
    explicit SCDelay(float fDuration);
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;
};

// Every start draws a new duration from [min, max) with the particle generator.
class SCRandomDelay : public SpriteController {
public:
    SCRandomDelay(float fMin, float fMax) : m_fMin(fMin), m_fMax(fMax) {}
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    float m_fMin;
    float m_fMax;
};

// Fires on its first step and ends.
class SCCallback : public SpriteController {
public:
    SCCallback(ICallbackTarget* pTarget, int nId, int nData) : m_pTarget(pTarget), m_nId(nId), m_nData(nData) {}
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    ICallbackTarget* m_pTarget;
    int m_nId;
    int m_nData;
};

class SCRemove : public SpriteController {
public:
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;
};

// An emitter that follows the sprite. Timed: when the lifetime ends its live
// particles go to the mode to play out there. Untimed (a lifetime of 0 or
// less): it follows the sprite until the controller is removed or ticked.
class SCAttachEmitter : public SpriteController {
public:
    SCAttachEmitter(const char* pszDefinition, float fLifetime, GameMode* pMode, int nZOrder);
    SCAttachEmitter(Tsl::SmartPtr<ParticleEmitter> pEmitter, float fLifetime, GameMode* pMode, int nZOrder);

    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;
    bool tick(Tsl::SmartPtr<Sprite> pSprite) override;
    bool isSpent() const override { return !m_pEmitter; }
    Tsl::SmartPtr<ParticleEmitter> getEmitter() const { return m_pEmitter; }

private:
    void setUp(float fLifetime, int nZOrder);
    void handOverParticles();

    Tsl::SmartPtr<ParticleEmitter> m_pEmitter;
    GameMode* m_pMode;
    bool m_bTimed;
};

// Shows the particle and hands it to the mode's free particles.
class SCAttachParticle : public SpriteController {
public:
    SCAttachParticle(Tsl::SmartPtr<Particle> pParticle, GameMode* pMode) : m_pParticle(pParticle), m_pMode(pMode) {}
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;
    bool isSpent() const override { return !m_pParticle; }

private:
    Tsl::SmartPtr<Particle> m_pParticle;
    GameMode* m_pMode;
};
