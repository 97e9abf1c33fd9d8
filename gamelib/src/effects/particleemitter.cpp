#include "effects/particleemitter.h"

#include "app/gamemode.h"
#include "effects/particlerandom.h"

#include "tsl2/error.h"

#include <cmath>

namespace {

const float TWO_PI = 6.2831855f;
const float PI = 3.1415927f;

// U(a, b): b itself is never drawn; a > b draws from the reversed interval.
float drawFloat(float fLow, float fHigh) {
    return static_cast<float>(getParticleRandom().getDouble(fLow, fHigh));
}

} // namespace

ParticleEmitter::ParticleEmitter(GameMode* pMode)
    : m_pMode(pMode), m_fEmissionRate(1.0f), m_fAccumulator(0.0f), m_nMinParticles(0), m_nMaxParticles(100),
      m_nType(TYPE_RADIAL), m_fMinRadius(0.0f), m_fMaxRadius(0.0f), m_bScale(false), m_fScaleStartMin(1.0f),
      m_fScaleStartMax(1.0f), m_fScaleEndMin(1.0f), m_fScaleEndMax(1.0f), m_fAngleMin(0.0f), m_fAngleMax(TWO_PI),
      m_nSpeedType(SPEED_NONE), m_fSpeedXMin(0.0f), m_fSpeedXMax(0.0f), m_fSpeedYMin(0.0f), m_fSpeedYMax(0.0f),
      m_nAccelType(ACCEL_NONE), m_fAccelXMin(0.0f), m_fAccelXMax(0.0f), m_fAccelYMin(0.0f), m_fAccelYMax(0.0f),
      m_fStartAngleMin(0.0f), m_fStartAngleMax(0.0f), m_fEndAngleMin(0.0f), m_fEndAngleMax(0.0f), m_fMinDelay(0.0f),
      m_fMaxDelay(0.0f), m_nX(0), m_nY(0), m_nZOrder(0), m_fLifetimeMin(10000.0f), m_fLifetimeMax(10000.0f),
      m_fMaxAlpha(1.0f), m_bFade(false), m_fFadeIn(0.0f), m_fFadeOut(1.0f), m_bRelativePosition(false),
      m_fEffectScale(1.0f), m_nPaletteMode(PALETTE_OVER_LIFETIME), m_nBlendMode(0), m_bVisible(true) {}

// Particles someone else still holds outlive the emitter with absolute positions.
ParticleEmitter::~ParticleEmitter() {
    detachParticles();
    deleteTypes();
    m_pPalette = nullptr;
    m_lParticles.clear();
}

void ParticleEmitter::deleteTypes() {
    for (ParticleType* pType : m_lTypes) delete pType;
    m_lTypes.clear();
}

void ParticleEmitter::setVisible(bool bVisible) {
    m_bVisible = bVisible;
    for (const Tsl::SmartPtr<Particle>& pParticle : m_lParticles) pParticle->setShown(bVisible);
}

void ParticleEmitter::update(float fDt) {
    TSL_TRACE();
    m_fAccumulator += m_fEmissionRate * fDt;
    while (m_lParticles.getCount() < m_nMinParticles) {
        int nBefore = m_lParticles.getCount();
        emit(1);
        if (m_lParticles.getCount() == nBefore) break;
    }
    while (m_fAccumulator >= 1.0f && m_lParticles.getCount() < m_nMaxParticles) {
        m_fAccumulator -= 1.0f;
        int nBefore = m_lParticles.getCount();
        emit(1);
        if (m_lParticles.getCount() == nBefore) {
            // Emissions make nothing (no type, or trails too deep): only the
            // fraction carries over, so a huge rate cannot spin here.
            m_fAccumulator = std::isfinite(m_fAccumulator) ? m_fAccumulator - std::floor(m_fAccumulator) : 0.0f;
            break;
        }
    }
    for (int i = 0; i < m_lParticles.getCount();) {
        Tsl::SmartPtr<Particle> pParticle = m_lParticles.getAt(i);
        pParticle->update(fDt);
        if (pParticle->isDead()) m_lParticles.removeAt(i);
        else ++i;
    }
}

ParticleEmitter::Birth ParticleEmitter::drawBirth() {
    Birth b = {};
    float k = m_fEffectScale;
    float fAngle = 0.0f;
    if (m_nType == TYPE_RECT) {
        b.nX = truncateToInt(drawFloat(-m_fMinRadius / 2, m_fMinRadius / 2) * k + m_nX);
        b.nY = truncateToInt(drawFloat(-m_fMaxRadius / 2, m_fMaxRadius / 2) * k + m_nY);
    } else {
        fAngle = drawFloat(m_fAngleMin, m_fAngleMax);
        float fRadius = drawFloat(m_fMinRadius, m_fMaxRadius);
        b.nX = truncateToInt(std::cos(fAngle) * (fRadius * k) + m_nX);
        b.nY = truncateToInt(std::sin(fAngle) * (fRadius * k) + m_nY);
    }
    b.fLifetime = drawFloat(m_fLifetimeMin, m_fLifetimeMax);
    if (m_bFade) {
        b.fFadeIn = m_fFadeIn * b.fLifetime;
        b.fFadeOut = b.fLifetime * m_fFadeOut;
    }
    if (m_bScale) {
        b.fStartScale = drawFloat(m_fScaleStartMin, m_fScaleStartMax) * k;
        b.fEndScale = drawFloat(m_fScaleEndMin, m_fScaleEndMax) * k;
    }
    if (m_nSpeedType == SPEED_RADIAL) {
        b.fVx = drawFloat(m_fSpeedXMin, m_fSpeedXMax) * std::cos(fAngle) * k;
        b.fVy = drawFloat(m_fSpeedYMin, m_fSpeedYMax) * std::sin(fAngle) * k;
    } else if (m_nSpeedType == SPEED_ABSOLUTE) {
        b.fVx = drawFloat(m_fSpeedXMin, m_fSpeedXMax) * k;
        b.fVy = drawFloat(m_fSpeedYMin, m_fSpeedYMax) * k;
    }
    if (m_nAccelType == ACCEL_ABSOLUTE) {
        b.fAx = drawFloat(m_fAccelXMin, m_fAccelXMax) * k;
        b.fAy = drawFloat(m_fAccelYMin, m_fAccelYMax) * k;
    }
    b.fDelay = drawFloat(m_fMinDelay, m_fMaxDelay);
    b.fStartAngle = drawFloat(m_fStartAngleMin, m_fStartAngleMax);
    b.fEndAngle = drawFloat(m_fEndAngleMin, m_fEndAngleMax);
    return b;
}

void ParticleEmitter::emit(int nCount) {
    TSL_TRACE();
    if (nCount < 0) nCount = m_nMaxParticles;
    for (int n = 0; n < nCount; ++n) {
        Birth birth = drawBirth();
        // A copy: a trail loaded below may not touch this list, but a
        // holder's callback might.
        Tsl::List<ParticleType*> lTypes(m_lTypes);
        for (ParticleType* pType : lTypes) {
            Tsl::SmartPtr<Particle> pParticle = makeParticle(*pType, birth);
            if (!pParticle) continue;
            setUpParticle(pParticle, birth);
            pParticle->update(0.0f);
            m_lParticles.append(pParticle);
            pParticle->setShown(m_bVisible);
        }
    }
}

Tsl::SmartPtr<Particle> ParticleEmitter::makeParticle(const ParticleType& type, const Birth& birth) {
    int nZ = type.nZOffset + m_nZOrder;
    if (type.nKind == ParticleType::KIND_EMITTER) {
        if (m_lLineage.getCount() >= MAX_TRAIL_DEPTH || type.sEmitterName == m_sName ||
            m_lLineage.indexOf(type.sEmitterName) >= 0)
            return nullptr;
        Tsl::SmartPtr<ParticleEmitter> pTrail = new ParticleEmitter(m_pMode);
        pTrail->m_lLineage = m_lLineage;
        pTrail->m_lLineage.append(m_sName);
        pTrail->load(type.sEmitterName.c_str());
        pTrail->setZOrder(nZ);
        return new Particle(m_pMode, birth.nX, birth.nY, pTrail);
    }
    Tsl::SmartPtr<Image> pImage = type.pImage;
    if (type.nKind == ParticleType::KIND_ANIMATION && type.pAnimation && type.bRandomFrame) {
        Tsl::List<Tsl::SmartPtr<Image>> lImages = type.pAnimation->getImages();
        // An animation without frames has no image to pick: it plays instead.
        if (!lImages.isEmpty()) pImage = Tsl::randomElement(lImages);
    }
    Tsl::SmartPtr<Particle> pParticle;
    if (pImage) pParticle = new Particle(m_pMode, birth.nX, birth.nY, pImage, nZ);
    else if (type.nKind == ParticleType::KIND_ANIMATION && type.pAnimation)
        pParticle = new Particle(m_pMode, birth.nX, birth.nY, type.pAnimation, nZ);
    else
        return nullptr;
    pParticle->setBlendMode(m_nBlendMode);
    return pParticle;
}

void ParticleEmitter::setUpParticle(Particle* pParticle, const Birth& birth) {
    if (m_bRelativePosition) pParticle->setOrigin(this);
    pParticle->setLifetime(birth.fLifetime);
    pParticle->setMaxAlpha(m_fMaxAlpha);
    if (m_bFade) pParticle->setFade(birth.fFadeIn, birth.fFadeOut);
    if (m_bScale) pParticle->setScaleRange(birth.fStartScale, birth.fEndScale);
    if (m_nSpeedType != SPEED_NONE) pParticle->setSpeed(birth.fVx, birth.fVy);
    if (m_nAccelType != ACCEL_NONE) pParticle->setAcceleration(birth.fAx, birth.fAy);
    if (m_pPalette) {
        if (m_nPaletteMode == PALETTE_OVER_LIFETIME) {
            pParticle->setPalette(m_pPalette);
        } else {
            int nRow = getParticleRandom().getInt(0, m_pPalette->getHeight() - 1);
            int nColumn = getParticleRandom().getInt(0, m_pPalette->getWidth() - 1);
            if (Tsl::SmartPtr<Sprite> pSprite = pParticle->getSprite())
                pSprite->setColor(m_pPalette->getColorAt(nColumn, nRow));
        }
    }
    pParticle->setRotationRange(birth.fStartAngle, birth.fEndAngle);
    pParticle->setDelay(birth.fDelay);
}

ParticleList ParticleEmitter::detachParticles() {
    for (const Tsl::SmartPtr<Particle>& pParticle : m_lParticles) pParticle->setOrigin(nullptr);
    return m_lParticles;
}

// ---- particle types -------------------------------------------------------------

void ParticleEmitter::addImage(Tsl::SmartPtr<Image> pImage, int nZOffset) {
    ParticleType* pType = new ParticleType;
    pType->nKind = ParticleType::KIND_IMAGE;
    pType->pImage = pImage;
    pType->nZOffset = nZOffset;
    m_lTypes.append(pType);
}

void ParticleEmitter::addAnimation(Tsl::SmartPtr<Animation> pAnimation, bool bRandomFrame, int nZOffset) {
    ParticleType* pType = new ParticleType;
    pType->nKind = ParticleType::KIND_ANIMATION;
    pType->pAnimation = pAnimation;
    pType->bRandomFrame = bRandomFrame;
    pType->nZOffset = nZOffset;
    m_lTypes.append(pType);
}

void ParticleEmitter::addEmitter(const char* pszName, int nZOffset) {
    ParticleType* pType = new ParticleType;
    pType->nKind = ParticleType::KIND_EMITTER;
    pType->sEmitterName = pszName;
    pType->nZOffset = nZOffset;
    m_lTypes.append(pType);
}

void ParticleEmitter::removeType(int nIndex) { delete m_lTypes.removeAt(nIndex); }

// ---- parameters --------------------------------------------------------------------

void ParticleEmitter::setLifetimeRange(float fMin, float fMax) {
    m_fLifetimeMin = fMin;
    m_fLifetimeMax = fMax;
    TSL_ASSERT(m_fLifetimeMin <= m_fLifetimeMax);
}

void ParticleEmitter::getLifetimeRange(float& fMin, float& fMax) const {
    fMin = m_fLifetimeMin;
    fMax = m_fLifetimeMax;
}

void ParticleEmitter::setFadeFracRange(float fIn, float fOut) {
    if (!(fIn >= 0.0f && fIn <= 1.0f && fOut >= 0.0f && fOut <= 1.0f))
        TSL_THROW(FatalErrorException, "Expecting fractions");
    m_bFade = true;
    m_fFadeIn = fIn;
    m_fFadeOut = fOut;
}

bool ParticleEmitter::getFadeFracRange(float& fIn, float& fOut) const {
    fIn = m_fFadeIn;
    fOut = m_fFadeOut;
    return m_bFade;
}

void ParticleEmitter::setStartScaleRange(float fMin, float fMax) {
    m_bScale = true;
    m_fScaleStartMin = fMin;
    m_fScaleStartMax = fMax;
    TSL_ASSERT(m_fScaleStartMin <= m_fScaleStartMax);
}

void ParticleEmitter::setEndScaleRange(float fMin, float fMax) {
    m_bScale = true;
    m_fScaleEndMin = fMin;
    m_fScaleEndMax = fMax;
    TSL_ASSERT(m_fScaleEndMin <= m_fScaleEndMax);
}

bool ParticleEmitter::getEndScaleRange(float& fMin, float& fMax) const {
    fMin = m_fScaleEndMin;
    fMax = m_fScaleEndMax;
    return m_bScale;
}

void ParticleEmitter::setRadiusRange(float fMin, float fMax) {
    m_fMinRadius = fMin;
    m_fMaxRadius = fMax;
    if (m_nType == TYPE_RADIAL) TSL_ASSERT(m_fMinRadius <= m_fMaxRadius);
}

void ParticleEmitter::getRadiusRange(float& fMin, float& fMax) const {
    fMin = m_fMinRadius;
    fMax = m_fMaxRadius;
}

void ParticleEmitter::setEmitAngleRange(int nMin, int nMax) {
    m_fAngleMin = static_cast<float>(nMin * PI / 180.0f);
    m_fAngleMax = static_cast<float>(nMax * PI / 180.0f);
    TSL_ASSERT(m_fAngleMin <= m_fAngleMax);
}

void ParticleEmitter::getEmitAngleRange(int& nMin, int& nMax) const {
    nMin = truncateToInt(m_fAngleMin * 180.0f / PI);
    nMax = truncateToInt(m_fAngleMax * 180.0f / PI);
}

void ParticleEmitter::setStartAngleRange(float fMin, float fMax) {
    m_fStartAngleMin = fMin;
    m_fStartAngleMax = fMax;
}

void ParticleEmitter::getStartAngleRange(float& fMin, float& fMax) const {
    fMin = m_fStartAngleMin;
    fMax = m_fStartAngleMax;
}

void ParticleEmitter::setEndAngleRange(float fMin, float fMax) {
    m_fEndAngleMin = fMin;
    m_fEndAngleMax = fMax;
}

void ParticleEmitter::getEndAngleRange(float& fMin, float& fMax) const {
    fMin = m_fEndAngleMin;
    fMax = m_fEndAngleMax;
}

void ParticleEmitter::setDelayRange(float fMin, float fMax) {
    m_fMinDelay = fMin;
    m_fMaxDelay = fMax;
    TSL_ASSERT(m_fMinDelay <= m_fMaxDelay);
}

void ParticleEmitter::getDelayRange(float& fMin, float& fMax) const {
    fMin = m_fMinDelay;
    fMax = m_fMaxDelay;
}

void ParticleEmitter::setSpeedRange(float fXMin, float fXMax, float fYMin, float fYMax) {
    if (m_nSpeedType == SPEED_NONE) m_nSpeedType = SPEED_ABSOLUTE;
    m_fSpeedXMin = fXMin;
    m_fSpeedXMax = fXMax;
    m_fSpeedYMin = fYMin;
    m_fSpeedYMax = fYMax;
    TSL_ASSERT(m_fSpeedXMin <= m_fSpeedXMax);
    TSL_ASSERT(m_fSpeedYMin <= m_fSpeedYMax);
}

void ParticleEmitter::getSpeedRange(float& fXMin, float& fXMax, float& fYMin, float& fYMax) const {
    fXMin = m_fSpeedXMin;
    fXMax = m_fSpeedXMax;
    fYMin = m_fSpeedYMin;
    fYMax = m_fSpeedYMax;
}

void ParticleEmitter::setAccelerationRange(float fXMin, float fXMax, float fYMin, float fYMax) {
    if (m_nAccelType == ACCEL_NONE) m_nAccelType = ACCEL_ABSOLUTE;
    m_fAccelXMin = fXMin;
    m_fAccelXMax = fXMax;
    m_fAccelYMin = fYMin;
    m_fAccelYMax = fYMax;
    TSL_ASSERT(m_fAccelXMin <= m_fAccelXMax);
    TSL_ASSERT(m_fAccelYMin <= m_fAccelYMax);
}

void ParticleEmitter::getAccelerationRange(float& fXMin, float& fXMax, float& fYMin, float& fYMax) const {
    fXMin = m_fAccelXMin;
    fXMax = m_fAccelXMax;
    fYMin = m_fAccelYMin;
    fYMax = m_fAccelYMax;
}

void ParticleEmitter::setPalette(Tsl::SmartPtr<Image> pPalette) {
    m_pPalette = pPalette;
    m_nPaletteMode = PALETTE_OVER_LIFETIME;
}

void ParticleEmitter::setRandomTint(Tsl::SmartPtr<Image> pPalette) {
    m_pPalette = pPalette;
    m_nPaletteMode = PALETTE_RANDOM_TINT;
}
