// Spawns particles around a point and moves them every frame. An emitter is
// held by whoever creates it (a scene object, a controller, a particle that
// carries it as a trail), which positions it, ticks it once a frame and
// releases it; its particles' sprites live in the emitter's mode.
#pragma once

#include "anim/animation.h"
#include "effects/particle.h"
#include "image/geometry.h"
#include "image/image.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class GameMode;

// What each emission creates: an image, an animation or a trail emitter.
struct ParticleType {
    enum Kind { KIND_IMAGE = 0, KIND_ANIMATION = 1, KIND_EMITTER = 2 };

    int nKind = KIND_IMAGE;
    int nZOffset = 0;
    Tsl::SmartPtr<Animation> pAnimation;
    bool bRandomFrame = false;
    Tsl::SmartPtr<Image> pImage;
    // The ".emitter" resource of the trail.
    Tsl::String sEmitterName;
};

class ParticleEmitter : public Tsl::RefCountedObject {
public:
    enum EmitterType { TYPE_RADIAL = 0, TYPE_RECT = 1 };
    enum SpeedType { SPEED_NONE = 0, SPEED_RADIAL = 1, SPEED_ABSOLUTE = 2 };
    enum AccelerationType { ACCEL_NONE = 0, ACCEL_ABSOLUTE = 2 };
    enum PaletteMode { PALETTE_RANDOM_TINT = 0, PALETTE_OVER_LIFETIME = 1 };
    // Trails of trails: an emitter this many trails deep makes no further
    // trails, and no trail repeats an emitter above it, so files that name
    // themselves (or each other) cannot nest for ever.
    enum { MAX_TRAIL_DEPTH = 4 };
    // Live particles one emitter and all its trails may hold together: an
    // emission at the bound makes nothing. A file may ask for no more either.
    enum { MAX_LIVE_PARTICLES = 10000 };

    explicit ParticleEmitter(GameMode* pMode);
    ~ParticleEmitter() override;

    virtual bool isVisible() const { return m_bVisible; }
    virtual void setVisible(bool bVisible);
    virtual void update(float fDt);

    // Fills the emitter from a ".emitter" resource through the definition cache.
    void load(const char* pszName);
    void copyDefinition(const ParticleEmitter* pSrc);
    // Deletes every cached definition.
    static void clearCache();
    static bool isCached(const char* pszName);

    // Count -1 means max particles.
    void emit(int nCount);
    // Every live particle, positions made absolute; the emitter keeps its references.
    ParticleList detachParticles();
    // The same, and the emitter lets go of them: one kept for many bursts then
    // neither holds nor counts the particles of those before.
    ParticleList releaseParticles();
    const ParticleList& getParticles() const { return m_lParticles; }
    // Live particles of the whole family this emitter belongs to: the emitter
    // its holder made and every trail below it.
    int getFamilyParticleCount() const { return m_pFamily->nLive; }
    GameMode* getMode() const { return m_pMode; }

    // ---- particle types ------------------------------------------------------
    void addImage(Tsl::SmartPtr<Image> pImage, int nZOffset);
    void addAnimation(Tsl::SmartPtr<Animation> pAnimation, bool bRandomFrame, int nZOffset);
    void addEmitter(const char* pszName, int nZOffset);
    void removeType(int nIndex);
    Tsl::List<ParticleType*> getTypes() const { return m_lTypes; }

    // ---- parameters ------------------------------------------------------------
    void setEmissionRate(float fRate) { m_settings.fEmissionRate = fRate; }
    float getEmissionRate() const { return m_settings.fEmissionRate; }
    void setMaxAlpha(float fAlpha) { m_settings.fMaxAlpha = fAlpha; }
    float getMaxAlpha() const { return m_settings.fMaxAlpha; }
    void setMaxParticles(int nMax) { m_settings.nMaxParticles = nMax; }
    int getMaxParticles() const { return m_settings.nMaxParticles; }
    void setMinParticles(int nMin) { m_settings.nMinParticles = nMin; }
    int getMinParticles() const { return m_settings.nMinParticles; }
    void setType(int nType) { m_settings.nType = nType; }
    int getType() const { return m_settings.nType; }
    void setRelativePosition(bool bRelative) { m_settings.bRelativePosition = bRelative; }
    bool getRelativePosition() const { return m_settings.bRelativePosition; }
    void setSpeedType(int nType) { m_settings.nSpeedType = nType; }
    int getSpeedType() const { return m_settings.nSpeedType; }
    void setAccelerationType(int nType) { m_settings.nAccelType = nType; }
    int getAccelerationType() const { return m_settings.nAccelType; }
    void setEffectScale(float fScale) { m_settings.fEffectScale = fScale; }
    float getEffectScale() const { return m_settings.fEffectScale; }
    void setBlendMode(int nMode) { m_settings.nBlendMode = nMode; }
    int getBlendMode() const { return m_settings.nBlendMode; }
    void setZOrder(int nZOrder) { m_settings.nZOrder = nZOrder; }
    int getZOrder() const { return m_settings.nZOrder; }

    void setLifetimeRange(float fMin, float fMax);
    void getLifetimeRange(float& fMin, float& fMax) const;
    // Fractions of the lifetime; both must lie in [0, 1].
    void setFadeFracRange(float fIn, float fOut);
    bool getFadeFracRange(float& fIn, float& fOut) const;
    void setStartScaleRange(float fMin, float fMax);
    void setEndScaleRange(float fMin, float fMax);
    bool getEndScaleRange(float& fMin, float& fMax) const;
    // Radial: the radius range; rect: width and height.
    void setRadiusRange(float fMin, float fMax);
    void getRadiusRange(float& fMin, float& fMax) const;
    // Whole degrees, kept in radians.
    void setEmitAngleRange(int nMin, int nMax);
    void getEmitAngleRange(int& nMin, int& nMax) const;
    void setStartAngleRange(float fMin, float fMax);
    void getStartAngleRange(float& fMin, float& fMax) const;
    void setEndAngleRange(float fMin, float fMax);
    void getEndAngleRange(float& fMin, float& fMax) const;
    void setDelayRange(float fMin, float fMax);
    void getDelayRange(float& fMin, float& fMax) const;
    void setSpeedRange(float fXMin, float fXMax, float fYMin, float fYMax);
    void getSpeedRange(float& fXMin, float& fXMax, float& fYMin, float& fYMax) const;
    void setAccelerationRange(float fXMin, float fXMax, float fYMin, float fYMax);
    void getAccelerationRange(float& fXMin, float& fXMax, float& fYMin, float& fYMax) const;
    // Colour over each particle's life from the palette's first row.
    void setPalette(Tsl::SmartPtr<Image> pPalette);
    // One random palette pixel as each particle's tint at birth.
    void setRandomTint(Tsl::SmartPtr<Image> pPalette);
    Tsl::SmartPtr<Image> getPalette() const { return m_settings.pPalette; }
    int getPaletteMode() const { return m_settings.nPaletteMode; }

    void setPosition(int nX, int nY) {
        m_settings.nX = nX;
        m_settings.nY = nY;
    }
    void setPosition(const Point& p) { setPosition(truncateToInt(p.x), truncateToInt(p.y)); }
    void getPosition(int& nX, int& nY) const {
        nX = m_settings.nX;
        nY = m_settings.nY;
    }

private:
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // The values one emission shares among its particle types.
    struct Birth {
        int nX, nY;
        float fLifetime, fFadeIn, fFadeOut, fStartScale, fEndScale;
        float fVx, fVy, fAx, fAy, fDelay, fStartAngle, fEndAngle;
    };
    Birth drawBirth();
    Tsl::SmartPtr<Particle> makeParticle(const ParticleType& type, const Birth& birth);
    void setUpParticle(Particle* pParticle, const Birth& birth);
    void deleteTypes();
    void parseDefinition(const char* pszName);
    void appendParticle(Tsl::SmartPtr<Particle> pParticle);
    void removeParticleAt(int nIndex);

    // The bounds a particle's value is drawn from at birth.
    struct Range {
        float fMin;
        float fMax;
        float draw() const;
        void get(float& fLow, float& fHigh) const {
            fLow = fMin;
            fHigh = fMax;
        }
    };
    // Everything a definition hands to the emitters loaded from it.
    struct Settings {
        float fEmissionRate = 1.0f;
        int nMinParticles = 0;
        int nMaxParticles = 100;
        int nType = TYPE_RADIAL;
        // Radial: the radius; rect: width (min) and height (max).
        Range radius = {0.0f, 0.0f};
        Range emitAngle = {0.0f, 6.2831855f}; // a full turn, in radians
        bool bScale = false;
        Range startScale = {1.0f, 1.0f};
        Range endScale = {1.0f, 1.0f};
        int nSpeedType = SPEED_NONE;
        Range speedX = {0.0f, 0.0f};
        Range speedY = {0.0f, 0.0f};
        int nAccelType = ACCEL_NONE;
        Range accelX = {0.0f, 0.0f};
        Range accelY = {0.0f, 0.0f};
        Range startAngle = {0.0f, 0.0f};
        Range endAngle = {0.0f, 0.0f};
        Range delay = {0.0f, 0.0f};
        int nX = 0;
        int nY = 0;
        int nZOrder = 0;
        Range lifetime = {10000.0f, 10000.0f};
        float fMaxAlpha = 1.0f;
        bool bFade = false;
        float fFadeIn = 0.0f;
        float fFadeOut = 1.0f;
        bool bRelativePosition = false;
        float fEffectScale = 1.0f;
        int nPaletteMode = PALETTE_OVER_LIFETIME;
        Tsl::SmartPtr<Image> pPalette;
        int nBlendMode = 0;
    };

    // What an emitter and its trails share: their live particles, counted.
    struct Family : Tsl::RefCountedObject {
        int nLive = 0;
    };

    Tsl::List<ParticleType*> m_lTypes;
    GameMode* m_pMode;
    ParticleList m_lParticles;
    Tsl::SmartPtr<Family> m_pFamily;
    Settings m_settings;
    // Emissions owed but not yet made.
    float m_fAccumulator;
    bool m_bVisible;
    // The name it was loaded from, and those of the emitters it is a trail
    // of, outermost first (none for one its holder made).
    Tsl::String m_sName;
    Tsl::List<Tsl::String> m_lLineage;
};
