// Controllers of a sprite's opacity, visibility and tint. Sine waves of the
// alpha use 6.28 for a full turn.
#pragma once

#include "image/color.h"
#include "image/image.h"
#include "sprite/spritecontroller.h"

// Absolute: the alpha runs from one value to the other. Relative: the
// sprite's alpha at each step is multiplied by the value, so factors compound.
class SCLinearFade : public SpriteController {
public:
    SCLinearFade(float fFrom, float fTo, float fDuration, bool bAbsolute);
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    float m_fFrom;
    float m_fTo;
    bool m_bAbsolute;
};

// Never ends.
class SCSinusoidAlpha : public SpriteController {
public:
    SCSinusoidAlpha(float fFrequency, float fPhase);
    SCSinusoidAlpha(float fMin, float fMax, float fFrequency, float fPhase);
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    float m_fFrequency;
    float m_fMin;
    float m_fMax;
    float m_fPhase;
};

// Shown, then hidden, in turn; a total of 0 or less blinks for ever.
class SCBlink : public SpriteController {
public:
    SCBlink(float fShown, float fHidden, float fTotal) : m_fShown(fShown), m_fHidden(fHidden), m_fTotal(fTotal) {}
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    float m_fShown;
    float m_fHidden;
    float m_fTotal;
};

// Runs at alpha 255 and ends on the to colour, its alpha included.
class SCLinearTint : public SpriteController {
public:
    SCLinearTint(const Color& from, const Color& to, float fDuration);
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    Color m_from;
    Color m_to;
    float m_afDelta[3];
};

// Swings around the base colour as far as the second one; never ends.
class SCPulseColor : public SpriteController {
public:
    SCPulseColor(const Color& base, const Color& second, float fSpeed);
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    int m_anBase[3];
    int m_anDelta[3];
    float m_fSpeed;
};

// The palette's first row, left to right, over the duration.
class SCApplyPalette : public SpriteController {
public:
    SCApplyPalette(Tsl::SmartPtr<Image> pPalette, float fDuration);
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    Tsl::SmartPtr<Image> m_pPalette;
};
