// Controllers that move a sprite along a line or a throw, or place it, its
// insertion point or its z-order in one step.
#pragma once

#include "image/geometry.h"
#include "sprite/spritecontroller.h"

// Moves by differences, so other controllers may move the same sprite at the
// same time.
class SCLinearPath : public SpriteController {
public:
    enum { BY_DURATION = 0, BY_SPEED = 1 };

    // Relative: moves the sprite by the offset from wherever it is.
    SCLinearPath(const Point& offset, float fValue, int eType);
    // Absolute: from one point to the other.
    SCLinearPath(const Point& from, const Point& to, float fValue, int eType);

    // The value is a duration (BY_DURATION) or a speed in pixels per second.
    virtual void setPath(const Point& from, const Point& to, float fValue, int eType);
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    Point m_applied;
    Point m_from;
    Point m_to;
    bool m_bAbsolute;
};

// A throw: linear in x, quadratic in y; the control height sets the initial
// vertical speed.
class SCVerticalParabola : public SpriteController {
public:
    SCVerticalParabola(const Point& from, const Point& to, float fHeight, float fDuration);
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    Point m_from;
    float m_fA;
    float m_fB;
    float m_fC;
};

class SCSetPosition : public SpriteController {
public:
    explicit SCSetPosition(const Point& position) : m_position(position) {}
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    Point m_position;
};

// Aligns the image's insertion point, then places the sprite.
class SCSetScreenPosition : public SpriteController {
public:
    SCSetScreenPosition(const Point& position, int nAlignFlags) : m_position(position), m_nFlags(nAlignFlags) {}
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    Point m_position;
    int m_nFlags;
};

class SCSetInsPoint : public SpriteController {
public:
    explicit SCSetInsPoint(int nAlignFlags) : m_nFlags(nAlignFlags) {}
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    int m_nFlags;
};

class SCSetZOrder : public SpriteController {
public:
    explicit SCSetZOrder(int nZOrder) : m_nZOrder(nZOrder) {}
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    int m_nZOrder;
};
