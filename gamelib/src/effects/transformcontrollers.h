// Controllers of a sprite's scale factors and rotation. Sine waves use 6.28
// for a full turn; angles are degrees.
#pragma once

#include "sprite/spritecontroller.h"

// The scale jumps to the from values on the first step and ends exactly on
// the to values.
class SCScale : public SpriteController {
public:
    SCScale(float fFrom, float fTo, float fDuration);
    SCScale(float fFromX, float fToX, float fFromY, float fToY, float fDuration);
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    bool m_bSeparate;
    float m_fFromX;
    float m_fFromY;
    float m_fDeltaX;
    float m_fDeltaY;
    float m_fToX;
    float m_fToY;
};

// Never ends.
class SCSinusoidScale : public SpriteController {
public:
    SCSinusoidScale(float fMin, float fMax, float fFrequency, float fPhase)
        : m_fMin(fMin), m_fMax(fMax), m_fFrequency(fFrequency), m_fPhase(fPhase) {}
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    float m_fMin;
    float m_fMax;
    float m_fFrequency;
    float m_fPhase;
};

// The scale rises from `from` to the peak and settles on `end` along one arc
// of a sine; a mirrored sprite stays mirrored.
class SCGrowBounce : public SpriteController {
public:
    SCGrowBounce(float fFrom, float fPeak, float fEnd, float fDuration);
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    float m_fStartPhase;
    float m_fAngularSpeed;
    float m_fPeak;
    float m_fEndPhase;
    float m_fSignX;
    float m_fSignY;
};

// Continuous (a speed in degrees per second, for ever) or timed (from one
// angle to another the short way round).
class SCRotate : public SpriteController {
public:
    explicit SCRotate(float fSpeed) : m_fSpeed(fSpeed), m_fFrom(0.0f), m_fTo(0.0f) {}
    SCRotate(float fFrom, float fTo, float fDuration);
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;

private:
    float m_fSpeed;
    float m_fFrom;
    float m_fTo;
};

// A swing about the base angle; with no duration it sets one angle and ends.
class SCSinusoidRotate : public SpriteController {
public:
    SCSinusoidRotate(float fBase, float fAmplitude, float fPeriod, float fDuration);
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    float m_fBase;
    float m_fAmplitude;
    float m_fPeriod;
};
