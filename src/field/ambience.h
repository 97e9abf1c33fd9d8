#pragma once

#include "anim/animsprite.h"
#include "tsl2/list.h"
#include "tsl2/str.h"

class GameMode;

// The bar's living decoration: figures that only play their animations.
// Each builds nothing when its art is missing, so a scene without it still plays.

// A gull: crosses the screen from x -30 to 830 at 20 or 26 pixels a second,
// or, wandering, starts anywhere across the screen and drifts left and right
// within 5 pixels of its height (the x it is given is not used then).
class Seagull : public AnimSprite {
public:
    Seagull(Tsl::SmartPtr<Animation> pAnimation, int nX, int nY, int nZOrder, bool bFast, bool bWander,
            float fTimeOffset);
    void step(float fDt);

private:
    float m_fSpeed;
    bool m_bWander;
    int m_nBaseY;
    int m_nDirection;
};

// The barman behind a bar station: body and arms.
class Barman {
public:
    Barman(int nX, int nY, int nZOrder, int nVariant, GameMode* pMode);
    Tsl::List<Tsl::SmartPtr<AnimSprite>> getSprites() const { return m_lSprites; }

private:
    Tsl::List<Tsl::SmartPtr<AnimSprite>> m_lSprites;
};

// The drummer of the show, with a sign carrying its text.
class MisterBongos {
public:
    MisterBongos(GameMode* pMode, int nX, int nY, int nZOrder, const Tsl::String& sText);
    Tsl::List<Tsl::SmartPtr<AnimSprite>> getSprites() const { return m_lSprites; }

private:
    Tsl::List<Tsl::SmartPtr<AnimSprite>> m_lSprites;
};

// A dancer on the stage; the fourth number picks her first sequence frame.
class DancingGirl : public AnimSprite {
public:
    DancingGirl(Tsl::SmartPtr<Animation> pAnimation, int nX, int nY, int nFlip, int nFrame, int nZOrder);
};

// The parrot on its stand: a still body and a moving head.
class Parrot {
public:
    Parrot(GameMode* pMode, int nX, int nY, int nZOrder);
    Tsl::List<Tsl::SmartPtr<AnimSprite>> getSprites() const { return m_lSprites; }

private:
    Tsl::List<Tsl::SmartPtr<AnimSprite>> m_lSprites;
};
