#include "effects/particleemitter.h"

#include "app/gamemode.h"
#include "effects/particlerandom.h"

#include "tsl2/error.h"

#include <cmath>
#include <string>

namespace {

const float PI = 3.1415927f;

// U(a, b): b itself is never drawn; a > b draws from the reversed interval.
float drawFloat(float fLow, float fHigh) {
    return static_cast<float>(getParticleRandom().getDouble(fLow, fHigh));
}

// The failure quotes the bounds by the names error reports have always shown.
void assertOrdered(float fMin, float fMax, const char* pszCondition) {
    if (!(fMin <= fMax))
        throw Tsl::AssertFailException(__FILE__, __LINE__, (std::string("Assertion failed : ") + pszCondition).c_str());
}

} // namespace

ParticleEmitter::ParticleEmitter(GameMode* pMode)
    : m_pMode(pMode), m_pFamily(new Family()), m_fAccumulator(0.0f), m_bVisible(true) {}

float ParticleEmitter::Range::draw() const { return drawFloat(fMin, fMax); }

// Particles someone else still holds outlive the emitter with absolute positions.
ParticleEmitter::~ParticleEmitter() {
    detachParticles();
    m_pFamily->nLive -= m_lParticles.getCount();
    deleteTypes();
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
    m_fAccumulator += m_settings.fEmissionRate * fDt;
    while (m_lParticles.getCount() < m_settings.nMinParticles) {
        int nBefore = m_lParticles.getCount();
        emit(1);
        if (m_lParticles.getCount() == nBefore) break;
    }
    while (m_fAccumulator >= 1.0f && m_lParticles.getCount() < m_settings.nMaxParticles) {
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
        if (pParticle->isDead()) removeParticleAt(i);
        else ++i;
    }
}

ParticleEmitter::Birth ParticleEmitter::drawBirth() {
    const Settings& s = m_settings;
    Birth b = {};
    float k = s.fEffectScale;
    float fAngle = 0.0f;
    if (s.nType == TYPE_RECT) {
        b.nX = truncateToInt(drawFloat(-s.radius.fMin / 2, s.radius.fMin / 2) * k + s.nX);
        b.nY = truncateToInt(drawFloat(-s.radius.fMax / 2, s.radius.fMax / 2) * k + s.nY);
    } else {
        fAngle = s.emitAngle.draw();
        float fRadius = s.radius.draw();
        b.nX = truncateToInt(std::cos(fAngle) * (fRadius * k) + s.nX);
        b.nY = truncateToInt(std::sin(fAngle) * (fRadius * k) + s.nY);
    }
    b.fLifetime = s.lifetime.draw();
    if (s.bFade) {
        b.fFadeIn = s.fFadeIn * b.fLifetime;
        b.fFadeOut = b.fLifetime * s.fFadeOut;
    }
    if (s.bScale) {
        b.fStartScale = s.startScale.draw() * k;
        b.fEndScale = s.endScale.draw() * k;
    }
    if (s.nSpeedType == SPEED_RADIAL) {
        b.fVx = s.speedX.draw() * std::cos(fAngle) * k;
        b.fVy = s.speedY.draw() * std::sin(fAngle) * k;
    } else if (s.nSpeedType == SPEED_ABSOLUTE) {
        b.fVx = s.speedX.draw() * k;
        b.fVy = s.speedY.draw() * k;
    }
    if (s.nAccelType == ACCEL_ABSOLUTE) {
        b.fAx = s.accelX.draw() * k;
        b.fAy = s.accelY.draw() * k;
    }
    b.fDelay = s.delay.draw();
    b.fStartAngle = s.startAngle.draw();
    b.fEndAngle = s.endAngle.draw();
    return b;
}

void ParticleEmitter::emit(int nCount) {
    TSL_TRACE();
    if (nCount < 0) nCount = m_settings.nMaxParticles;
    for (int n = 0; n < nCount && m_pFamily->nLive < MAX_LIVE_PARTICLES; ++n) {
        Birth birth = drawBirth();
        // A copy: a trail loaded below may not touch this list, but a
        // holder's callback might.
        Tsl::List<ParticleType*> lTypes(m_lTypes);
        for (ParticleType* pType : lTypes) {
            if (m_pFamily->nLive >= MAX_LIVE_PARTICLES) return;
            Tsl::SmartPtr<Particle> pParticle = makeParticle(*pType, birth);
            if (!pParticle) continue;
            setUpParticle(pParticle, birth);
            // Counted before its first update, in which a trail it carries emits.
            appendParticle(pParticle);
            pParticle->update(0.0f);
            pParticle->setShown(m_bVisible);
        }
    }
}

void ParticleEmitter::appendParticle(Tsl::SmartPtr<Particle> pParticle) {
    m_lParticles.append(pParticle);
    ++m_pFamily->nLive;
}

void ParticleEmitter::removeParticleAt(int nIndex) {
    m_lParticles.removeAt(nIndex);
    --m_pFamily->nLive;
}

Tsl::SmartPtr<Particle> ParticleEmitter::makeParticle(const ParticleType& type, const Birth& birth) {
    int nZ = type.nZOffset + m_settings.nZOrder;
    if (type.nKind == ParticleType::KIND_EMITTER) {
        if (m_lLineage.getCount() >= MAX_TRAIL_DEPTH || type.sEmitterName == m_sName ||
            m_lLineage.indexOf(type.sEmitterName) >= 0)
            return nullptr;
        Tsl::SmartPtr<ParticleEmitter> pTrail = new ParticleEmitter(m_pMode);
        pTrail->m_pFamily = m_pFamily;
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
    pParticle->setBlendMode(m_settings.nBlendMode);
    return pParticle;
}

void ParticleEmitter::setUpParticle(Particle* pParticle, const Birth& birth) {
    if (m_settings.bRelativePosition) pParticle->setOrigin(this);
    pParticle->setLifetime(birth.fLifetime);
    pParticle->setMaxAlpha(m_settings.fMaxAlpha);
    if (m_settings.bFade) pParticle->setFade(birth.fFadeIn, birth.fFadeOut);
    if (m_settings.bScale) pParticle->setScaleRange(birth.fStartScale, birth.fEndScale);
    if (m_settings.nSpeedType != SPEED_NONE) pParticle->setSpeed(birth.fVx, birth.fVy);
    if (m_settings.nAccelType != ACCEL_NONE) pParticle->setAcceleration(birth.fAx, birth.fAy);
    if (m_settings.pPalette) {
        if (m_settings.nPaletteMode == PALETTE_OVER_LIFETIME) {
            pParticle->setPalette(m_settings.pPalette);
        } else {
            int nRow = getParticleRandom().getInt(0, m_settings.pPalette->getHeight() - 1);
            int nColumn = getParticleRandom().getInt(0, m_settings.pPalette->getWidth() - 1);
            if (Tsl::SmartPtr<Sprite> pSprite = pParticle->getSprite())
                pSprite->setColor(m_settings.pPalette->getColorAt(nColumn, nRow));
        }
    }
    pParticle->setRotationRange(birth.fStartAngle, birth.fEndAngle);
    pParticle->setDelay(birth.fDelay);
}

ParticleList ParticleEmitter::detachParticles() {
    for (const Tsl::SmartPtr<Particle>& pParticle : m_lParticles) pParticle->setOrigin(nullptr);
    return m_lParticles;
}

ParticleList ParticleEmitter::releaseParticles() {
    ParticleList lParticles = detachParticles();
    m_pFamily->nLive -= m_lParticles.getCount();
    m_lParticles.clear();
    return lParticles;
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
    m_settings.lifetime = {fMin, fMax};
    assertOrdered(fMin, fMax, "m_fLifetimeMin <= m_fLifetimeMax");
}

void ParticleEmitter::getLifetimeRange(float& fMin, float& fMax) const { m_settings.lifetime.get(fMin, fMax); }

void ParticleEmitter::setFadeFracRange(float fIn, float fOut) {
    if (!(fIn >= 0.0f && fIn <= 1.0f && fOut >= 0.0f && fOut <= 1.0f))
        TSL_THROW(FatalErrorException, "Expecting fractions");
    m_settings.bFade = true;
    m_settings.fFadeIn = fIn;
    m_settings.fFadeOut = fOut;
}

bool ParticleEmitter::getFadeFracRange(float& fIn, float& fOut) const {
    fIn = m_settings.fFadeIn;
    fOut = m_settings.fFadeOut;
    return m_settings.bFade;
}

void ParticleEmitter::setStartScaleRange(float fMin, float fMax) {
    m_settings.bScale = true;
    m_settings.startScale = {fMin, fMax};
    assertOrdered(fMin, fMax, "m_fScaleStartMin <= m_fScaleStartMax");
}

void ParticleEmitter::setEndScaleRange(float fMin, float fMax) {
    m_settings.bScale = true;
    m_settings.endScale = {fMin, fMax};
    assertOrdered(fMin, fMax, "m_fScaleEndMin <= m_fScaleEndMax");
}

bool ParticleEmitter::getEndScaleRange(float& fMin, float& fMax) const {
    m_settings.endScale.get(fMin, fMax);
    return m_settings.bScale;
}

void ParticleEmitter::setRadiusRange(float fMin, float fMax) {
    m_settings.radius = {fMin, fMax};
    if (m_settings.nType == TYPE_RADIAL) assertOrdered(fMin, fMax, "m_fMinRadius <= m_fMaxRadius");
}

void ParticleEmitter::getRadiusRange(float& fMin, float& fMax) const { m_settings.radius.get(fMin, fMax); }

void ParticleEmitter::setEmitAngleRange(int nMin, int nMax) {
    m_settings.emitAngle = {static_cast<float>(nMin * PI / 180.0f), static_cast<float>(nMax * PI / 180.0f)};
    assertOrdered(m_settings.emitAngle.fMin, m_settings.emitAngle.fMax, "m_fAngleMin <= m_fAngleMax");
}

void ParticleEmitter::getEmitAngleRange(int& nMin, int& nMax) const {
    nMin = truncateToInt(m_settings.emitAngle.fMin * 180.0f / PI);
    nMax = truncateToInt(m_settings.emitAngle.fMax * 180.0f / PI);
}

void ParticleEmitter::setStartAngleRange(float fMin, float fMax) { m_settings.startAngle = {fMin, fMax}; }

void ParticleEmitter::getStartAngleRange(float& fMin, float& fMax) const { m_settings.startAngle.get(fMin, fMax); }

void ParticleEmitter::setEndAngleRange(float fMin, float fMax) { m_settings.endAngle = {fMin, fMax}; }

void ParticleEmitter::getEndAngleRange(float& fMin, float& fMax) const { m_settings.endAngle.get(fMin, fMax); }

void ParticleEmitter::setDelayRange(float fMin, float fMax) {
    m_settings.delay = {fMin, fMax};
    assertOrdered(fMin, fMax, "m_fMinDelay <= m_fMaxDelay");
}

void ParticleEmitter::getDelayRange(float& fMin, float& fMax) const { m_settings.delay.get(fMin, fMax); }

void ParticleEmitter::setSpeedRange(float fXMin, float fXMax, float fYMin, float fYMax) {
    if (m_settings.nSpeedType == SPEED_NONE) m_settings.nSpeedType = SPEED_ABSOLUTE;
    m_settings.speedX = {fXMin, fXMax};
    m_settings.speedY = {fYMin, fYMax};
    assertOrdered(fXMin, fXMax, "m_fSpeedXMin <= m_fSpeedXMax");
    assertOrdered(fYMin, fYMax, "m_fSpeedYMin <= m_fSpeedYMax");
}

void ParticleEmitter::getSpeedRange(float& fXMin, float& fXMax, float& fYMin, float& fYMax) const {
    m_settings.speedX.get(fXMin, fXMax);
    m_settings.speedY.get(fYMin, fYMax);
}

void ParticleEmitter::setAccelerationRange(float fXMin, float fXMax, float fYMin, float fYMax) {
    if (m_settings.nAccelType == ACCEL_NONE) m_settings.nAccelType = ACCEL_ABSOLUTE;
    m_settings.accelX = {fXMin, fXMax};
    m_settings.accelY = {fYMin, fYMax};
    assertOrdered(fXMin, fXMax, "m_fAccelXMin <= m_fAccelXMax");
    assertOrdered(fYMin, fYMax, "m_fAccelYMin <= m_fAccelYMax");
}

void ParticleEmitter::getAccelerationRange(float& fXMin, float& fXMax, float& fYMin, float& fYMax) const {
    m_settings.accelX.get(fXMin, fXMax);
    m_settings.accelY.get(fYMin, fYMax);
}

void ParticleEmitter::setPalette(Tsl::SmartPtr<Image> pPalette) {
    m_settings.pPalette = pPalette;
    m_settings.nPaletteMode = PALETTE_OVER_LIFETIME;
}

void ParticleEmitter::setRandomTint(Tsl::SmartPtr<Image> pPalette) {
    m_settings.pPalette = pPalette;
    m_settings.nPaletteMode = PALETTE_RANDOM_TINT;
}
