// A short-lived sprite moved by formulas of its age. Emitters create them;
// a mode keeps the free ones (whose emitter is gone) and ticks them. Every
// random value of a particle is drawn at its birth; during its life only
// deterministic formulas of its age run.
#pragma once

#include "anim/animsprite.h"
#include "image/geometry.h"
#include "image/image.h"
#include "image/rect.h"
#include "sprite/sprite.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"

class GameMode;
class ParticleEmitter;

// Truncation toward zero that stays defined for any float: NaN gives 0 and
// values past the int range stop at its ends (file values reach here).
int truncateToInt(double fValue);

class Particle;
typedef Tsl::List<Tsl::SmartPtr<Particle>> ParticleList;

class Particle : public Tsl::RefCountedObject {
public:
    // Neither sprite nor trail: a particle that only ages.
    Particle();
    // A sprite showing the image at (x, y), added to the mode.
    Particle(GameMode* pMode, int nX, int nY, Tsl::SmartPtr<Image> pImage, int nZOrder);
    // An animated sprite playing the animation's "default" sequence, added to the mode.
    Particle(GameMode* pMode, int nX, int nY, Tsl::SmartPtr<Animation> pAnimation, int nZOrder);
    // No sprite: the particle carries (and owns) a trail emitter moved to (x, y).
    Particle(GameMode* pMode, int nX, int nY, ParticleEmitter* pEmitter);
    // Wraps a sprite, taking its mode and its current position.
    explicit Particle(Tsl::SmartPtr<Sprite> pSprite);
    ~Particle() override;

    virtual void update(float fDt);
    // Updates every particle by index and removes the dead ones in place. A
    // dead carrier's trail particles join the end of the list first, so they
    // live out their lives (and are updated later in the same walk).
    static void updateList(ParticleList& lParticles, float fDt);

    void setPosition(float fX, float fY) {
        m_fX = fX;
        m_fY = fY;
    }
    void setPosition(const Point& p) { setPosition(p.x, p.y); }
    Point getPosition() const { return Point(m_fX, m_fY); }
    // Where it is shown: the sprite's position, or the trail emitter's.
    void getPosition(float& fX, float& fY) const;
    void setSpeed(float fVx, float fVy) {
        m_fVx = fVx;
        m_fVy = fVy;
    }
    void setAcceleration(float fAx, float fAy) {
        m_fAx = fAx;
        m_fAy = fAy;
    }
    void setMaxSpeed(float fX, float fY) {
        m_fMaxSpeedX = fX;
        m_fMaxSpeedY = fY;
    }
    void setLifetime(float fSeconds) { m_fLifetime = fSeconds; }
    float getLifetime() const { return m_fLifetime; }
    float getAge() const { return m_fAge; }
    void setDelay(float fSeconds) { m_fDelay = fSeconds; }
    void setMaxAlpha(float fAlpha) { m_fMaxAlpha = fAlpha; }
    // Fade-in end and fade-out start, in seconds of age.
    void setFade(float fInEnd, float fOutStart);
    void setScaleRange(float fStart, float fEnd);
    void setRotationRange(float fStart, float fEnd) {
        m_fStartAngle = fStart;
        m_fEndAngle = fEnd;
    }
    void setBounceRect(const Rect& r) {
        m_bBounce = true;
        m_bounceRect = r;
    }
    // Dies once its screen rectangle leaves the rectangle.
    void setKillRect(const Rect& r) {
        m_bKill = true;
        m_killRect = r;
    }
    void setDieWithAnimation(bool bDie) { m_bDieWithAnimation = bDie; }
    void setRemovesSprite(bool bRemoves) { m_bRemovesSprite = bRemoves; }
    bool getRemovesSprite() const { return m_bRemovesSprite; }
    void setUserValue(int nValue) { m_nUserValue = nValue; }
    int getUserValue() const { return m_nUserValue; }
    void setPalette(Tsl::SmartPtr<Image> pPalette) { m_pPalette = pPalette; }
    void setBlendMode(int nMode);
    // Null makes the position absolute again; an emitter makes it relative to it.
    void setOrigin(ParticleEmitter* pOrigin);
    ParticleEmitter* getOrigin() const { return m_pOrigin; }
    // Whether the holder shows the particle: the sprite follows now, and a
    // waiting particle of a hidden holder stays hidden when its delay ends.
    void setShown(bool bShown);
    bool isDead() const { return m_bDead; }
    void kill() { m_bDead = true; }
    Tsl::SmartPtr<Sprite> getSprite() const { return m_pSprite; }
    ParticleEmitter* getSubEmitter() const { return m_pSubEmitter; }
    Rect getScreenRect() const;

private:
    Particle(const Particle&) = delete;
    Particle& operator=(const Particle&) = delete;

    // Every placed particle starts here: its mode and its position.
    Particle(GameMode* pMode, int nX, int nY);
    void initDefaults();
    void move(float fDt);
    void placeAndBounce();
    void applyLook();
    float getLifeFraction() const;

    bool m_bKill;
    Rect m_killRect;
    bool m_bScale;
    float m_fStartScale;
    float m_fEndScale;
    float m_fStartAngle;
    float m_fEndAngle;
    bool m_bDieWithAnimation;
    bool m_bBounce;
    Rect m_bounceRect;
    float m_fLifetime;
    float m_fAge;
    float m_fMaxAlpha;
    bool m_bFade;
    float m_fFadeInEnd;
    float m_fFadeOutStart;
    Tsl::SmartPtr<Image> m_pPalette;
    ParticleEmitter* m_pOrigin;
    float m_fDelay;
    Tsl::SmartPtr<Sprite> m_pSprite;
    Tsl::SmartPtr<AnimSprite> m_pAnimSprite;
    ParticleEmitter* m_pSubEmitter;
    bool m_bRemovesSprite;
    GameMode* m_pMode;
    float m_fX;
    float m_fY;
    float m_fVx;
    float m_fVy;
    float m_fAx;
    float m_fAy;
    float m_fMaxSpeedX;
    float m_fMaxSpeedY;
    bool m_bDead;
    int m_nUserValue;
    bool m_bShown;
};
