// Emitters and particles with the generator seeded: counts, delays, death,
// looks over the lifetime, relative positions and trails.
#include "effects_fixture.h"

#include <cmath>
#include <set>

namespace {

struct ParticleTest : EffectsFixture {
    Tsl::SmartPtr<Image> pDot;
    void SetUp() override {
        EffectsFixture::SetUp();
        pDot = addImage("dot", 2, 2);
    }
    // An emitter of one image type whose particles live long.
    Tsl::SmartPtr<ParticleEmitter> emitter(float fRate) {
        Tsl::SmartPtr<ParticleEmitter> p = new ParticleEmitter(m_pMode);
        p->addImage(pDot, 0);
        p->setEmissionRate(fRate);
        return p;
    }
    Tsl::SmartPtr<Particle> dotParticle() { return new Particle(m_pMode, 0, 0, pDot, 0); }
};

TEST_F(ParticleTest, EmissionCountsFollowTheRateAndTheLimits) {
    Tsl::SmartPtr<ParticleEmitter> pEmitter = emitter(2.5f);
    pEmitter->update(1.0f);
    EXPECT_EQ(2, pEmitter->getParticles().getCount());
    pEmitter->update(1.0f);
    EXPECT_EQ(5, pEmitter->getParticles().getCount()) << "the half left over makes the second update emit 3";
    EXPECT_EQ(5, spriteCount());

    pEmitter = emitter(10.0f);
    pEmitter->setMaxParticles(0);
    pEmitter->update(1.0f);
    pEmitter->emit(-1);
    EXPECT_EQ(0, pEmitter->getParticles().getCount());

    // Two types: one emission makes a particle of each, past the limit.
    pEmitter = emitter(100.0f);
    pEmitter->addImage(pDot, 1);
    pEmitter->setMaxParticles(5);
    pEmitter->update(1.0f);
    EXPECT_EQ(6, pEmitter->getParticles().getCount());

    // Min particles with no type at all, and a huge rate: nothing, at once.
    Tsl::SmartPtr<ParticleEmitter> pEmpty = new ParticleEmitter(m_pMode);
    pEmpty->setMinParticles(3);
    pEmpty->setEmissionRate(1e30f);
    pEmpty->update(1.0f);
    EXPECT_EQ(0, pEmpty->getParticles().getCount());
}

TEST_F(ParticleTest, PlacementOfRadialAndRectEmitters) {
    Tsl::SmartPtr<ParticleEmitter> pEmitter = emitter(0.0f);
    pEmitter->setPosition(100, 50);
    pEmitter->emit(3);
    for (const Tsl::SmartPtr<Particle>& p : pEmitter->getParticles())
        EXPECT_EQ(Point(100, 50), p->getSprite()->getPosition()) << "both radii 0: at the emitter";

    pEmitter = emitter(0.0f);
    pEmitter->setRadiusRange(10, 10);
    pEmitter->emit(50);
    std::set<int> quadrants;
    for (const Tsl::SmartPtr<Particle>& p : pEmitter->getParticles()) {
        Point at = p->getSprite()->getPosition();
        EXPECT_NEAR(10.0f, std::sqrt(at.x * at.x + at.y * at.y), 1.5f);
        quadrants.insert((at.x >= 0 ? 1 : 0) + (at.y >= 0 ? 2 : 0));
    }
    EXPECT_EQ(4u, quadrants.size()) << "the full circle";

    // A rect emitter draws no angle: a radial speed gives vy = 0.
    pEmitter = emitter(0.0f);
    pEmitter->setType(ParticleEmitter::TYPE_RECT);
    pEmitter->setRadiusRange(40, 20);
    pEmitter->setSpeedType(ParticleEmitter::SPEED_RADIAL);
    pEmitter->setSpeedRange(10, 10, 30, 30);
    pEmitter->emit(20);
    pEmitter->update(1.0f);
    for (const Tsl::SmartPtr<Particle>& p : pEmitter->getParticles()) {
        Point at = p->getSprite()->getPosition();
        EXPECT_LE(std::fabs(at.y), 10.0f);
        EXPECT_GE(at.x, -20.0f + 10.0f);
        EXPECT_LE(at.x, 20.0f + 10.0f);
    }
}

TEST_F(ParticleTest, ADelayedParticleWaitsThenMovesWithTheFullStep) {
    Tsl::SmartPtr<Particle> p = dotParticle();
    p->setSpeed(10.0f, 0.0f);
    p->setDelay(0.5f);
    p->setScaleRange(3.0f, 3.0f);
    p->update(0.25f);
    p->update(0.125f);
    EXPECT_EQ(Point(0, 0), p->getSprite()->getPosition());
    EXPECT_EQ(1.0f, p->getSprite()->getScaleX()) << "its initial state while it waits";
    EXPECT_EQ(0.0f, p->getAge());
    p->update(0.25f);
    EXPECT_EQ(Point(2.5f, 0), p->getSprite()->getPosition());
    EXPECT_FLOAT_EQ(3.0f, p->getSprite()->getScaleX());

    // A hidden emitter's waiting particles stay hidden when their delay ends.
    Tsl::SmartPtr<ParticleEmitter> pEmitter = emitter(4.0f);
    pEmitter->setDelayRange(0.5f, 0.5f);
    pEmitter->setVisible(false);
    pEmitter->update(0.25f);
    pEmitter->update(0.5f);
    ASSERT_EQ(3, pEmitter->getParticles().getCount());
    for (const Tsl::SmartPtr<Particle>& q : pEmitter->getParticles()) EXPECT_FALSE(q->getSprite()->isVisible());
    pEmitter->setVisible(true);
    for (const Tsl::SmartPtr<Particle>& q : pEmitter->getParticles()) EXPECT_TRUE(q->getSprite()->isVisible());
}

TEST_F(ParticleTest, DeathAtTheLifetimeWithTheLastLook) {
    Tsl::SmartPtr<Image> pPalette = app.createImage(4, 1, true);
    for (int x = 0; x < 4; ++x) pPalette->setColorAt(x, 0, Color(x * 10, 0, 0, 255));
    Tsl::SmartPtr<Particle> p = dotParticle();
    p->setLifetime(1.0f);
    p->setFade(0.25f, 0.5f);
    p->setMaxAlpha(0.5f);
    p->setPalette(pPalette);
    p->setRotationRange(0.0f, 90.0f);
    p->update(0.125f);
    EXPECT_EQ(0.25f, p->getSprite()->getAlpha()) << "half-way into the fade-in";
    p->update(0.625f);
    EXPECT_EQ(0.25f, p->getSprite()->getAlpha()) << "half-way through the fade-out";
    EXPECT_EQ(Color(30, 0, 0, 255), p->getSprite()->getColor());
    EXPECT_FALSE(p->isDead());
    p->update(0.5f);
    EXPECT_TRUE(p->isDead());
    EXPECT_EQ(1.0f, p->getAge());
    EXPECT_EQ(0.0f, p->getSprite()->getAlpha());
    EXPECT_EQ(Color(30, 0, 0, 255), p->getSprite()->getColor()) << "the last column";
    EXPECT_EQ(90.0f, p->getSprite()->getRotation());

    // Without fading the particle never writes the alpha; a lifetime of 0
    // ends at once with the end values, no NaN.
    Tsl::SmartPtr<Particle> q = dotParticle();
    q->setMaxAlpha(0.5f);
    q->setLifetime(0.0f);
    q->setScaleRange(1.0f, 2.0f);
    q->setPalette(pPalette);
    q->update(0.0f);
    EXPECT_TRUE(q->isDead());
    EXPECT_EQ(1.0f, q->getSprite()->getAlpha());
    EXPECT_EQ(2.0f, q->getSprite()->getScaleX());
    EXPECT_EQ(Color(30, 0, 0, 255), q->getSprite()->getColor());
}

TEST_F(ParticleTest, RandomTintTakesOnePalettePixelAtBirth) {
    Tsl::SmartPtr<Image> pPalette = app.createImage(3, 2, true);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) pPalette->setColorAt(x, y, Color(x, y, 1, 255));
    Tsl::SmartPtr<ParticleEmitter> pEmitter = emitter(0.0f);
    pEmitter->setRandomTint(pPalette);
    pEmitter->emit(100);
    std::set<int> seen;
    for (const Tsl::SmartPtr<Particle>& p : pEmitter->getParticles()) {
        Color c = p->getSprite()->getColor();
        ASSERT_EQ(1, c.b);
        seen.insert(c.r * 10 + c.g);
    }
    EXPECT_EQ(6u, seen.size());
}

TEST_F(ParticleTest, RelativeParticlesFollowTheEmitterAndAreMadeAbsoluteOnDetach) {
    Tsl::SmartPtr<ParticleEmitter> pEmitter = emitter(0.0f);
    pEmitter->setRelativePosition(true);
    pEmitter->setPosition(100, 50);
    pEmitter->setSpeedRange(4, 4, 0, 0);
    pEmitter->emit(1);
    pEmitter->setPosition(200, 80);
    pEmitter->update(0.5f);
    Tsl::SmartPtr<Particle> p = pEmitter->getParticles().getFirst();
    EXPECT_EQ(Point(202, 80), p->getSprite()->getPosition());

    ParticleList lFree = pEmitter->detachParticles();
    EXPECT_EQ(nullptr, p->getOrigin());
    EXPECT_EQ(Point(202, 80), p->getPosition());
    // Released particles leave the emitter too, which then holds and counts none.
    pEmitter->emit(2);
    EXPECT_EQ(3, pEmitter->releaseParticles().getCount());
    EXPECT_EQ(0, pEmitter->getParticles().getCount());
    EXPECT_EQ(0, pEmitter->getFamilyParticleCount());
    pEmitter = nullptr;
    m_pMode->addParticles(lFree);
    m_pMode->onUpdate(0.5f);
    EXPECT_EQ(Point(204, 80), p->getSprite()->getPosition()) << "it lives on where it was";
}

TEST_F(ParticleTest, BounceEndsForParticlesLargerThanTheirRectangle) {
    Tsl::SmartPtr<Particle> p = new Particle(m_pMode, 0, 0, makeImage(20, 20), 0);
    p->setBounceRect(Rect(0, 0, 10, 10));
    p->setSpeed(5.0f, 5.0f);
    p->update(0.25f);
    EXPECT_FALSE(p->isDead());

    // A small one is reflected off the edge it crossed.
    Tsl::SmartPtr<Particle> q = new Particle(m_pMode, 5, 5, makeImage(2, 2), 0);
    q->setBounceRect(Rect(0, 0, 100, 100));
    q->setSpeed(-40.0f, 0.0f);
    q->update(0.25f);
    EXPECT_EQ(Point(1, 5), q->getSprite()->getPosition()) << "from -5, one pixel inside the edge";
    q->update(0.25f);
    EXPECT_EQ(Point(11, 5), q->getSprite()->getPosition());
}

// A 2 x 2 dot moving right 4 pixels a step dies once it no longer overlaps
// the kill rectangle: touching its right edge is already outside.
TEST_F(ParticleTest, TheKillRectangleEndsAParticleThatLeftIt) {
    Tsl::SmartPtr<Particle> p = dotParticle();
    p->setKillRect(Rect(0, 0, 10, 10));
    p->setSpeed(16.0f, 0.0f);
    const bool abDeadAfter[] = {false, false, true};  // at x 4, 8 (overlaps 8..9), 12
    for (bool bDead : abDeadAfter) {
        p->update(0.25f);
        EXPECT_EQ(bDead, p->isDead()) << "at x " << p->getPosition().x;
    }
}

TEST_F(ParticleTest, AnOriginMakesThePositionRelativeAndGivesItBackWhenCleared) {
    Tsl::SmartPtr<ParticleEmitter> pEmitter = emitter(0.0f);
    pEmitter->setPosition(100, 200);
    Tsl::SmartPtr<Particle> p = new Particle(m_pMode, 5, 6, pDot, 0);
    p->setOrigin(pEmitter);
    EXPECT_EQ(Point(-95.0f, -194.0f), p->getPosition());
    pEmitter->setPosition(110, 200);
    p->update(0.0f);
    EXPECT_EQ(Point(15.0f, 6.0f), p->getSprite()->getPosition());
    p->setOrigin(nullptr);
    EXPECT_EQ(Point(15.0f, 6.0f), p->getPosition());
}

TEST_F(ParticleTest, SpeedIsBoundOnEachAxisBeforeItMovesTheParticle) {
    Tsl::SmartPtr<Particle> p = dotParticle();
    p->setMaxSpeed(10.0f, 20.0f);
    p->setAcceleration(1000.0f, -1000.0f);
    p->update(0.25f);
    EXPECT_EQ(Point(2.5f, -5.0f), p->getPosition());
    p->update(0.25f);
    EXPECT_EQ(Point(5.0f, -10.0f), p->getPosition());
}

TEST_F(ParticleTest, AParticleGoesQuietlyWhateverItsSpriteBelongsTo) {
    Tsl::SmartPtr<Sprite> pLoose = new Sprite(pDot, 0, 0);
    {
        Tsl::SmartPtr<Particle> p = new Particle(pLoose);
        p->update(0.1f);
    }
    EXPECT_EQ(1, pLoose->getRefCount());
    {
        Tsl::SmartPtr<Particle> p = dotParticle();
        EXPECT_EQ(1, spriteCount());
    }
    EXPECT_EQ(0, spriteCount()) << "its sprite leaves the mode with it";
}

TEST_F(ParticleTest, TrailsOutliveTheirCarrierInTheFreeList) {
    addText("spark", "image dot\nemissionrate 4\nlifetimerange 10 10\n");
    addText("rocket", "emitter spark 2\nlifetimerange 1 1\n");
    Tsl::SmartPtr<ParticleEmitter> pRocket = new ParticleEmitter(m_pMode);
    pRocket->load("rocket");
    pRocket->setZOrder(10);
    pRocket->emit(1);
    m_pMode->addParticles(pRocket->detachParticles());
    pRocket = nullptr;
    ParticleList& lFree = *m_pMode->getParticleSystem();
    ASSERT_EQ(1, lFree.getCount());
    ParticleEmitter* pTrail = lFree.getFirst()->getSubEmitter();
    ASSERT_TRUE(pTrail);
    EXPECT_EQ(12, pTrail->getZOrder());
    m_pMode->onUpdate(0.5f);
    m_pMode->onUpdate(0.5f);
    // The carrier died at 1 s: its 4 sparks joined the free list and live on.
    ASSERT_EQ(4, lFree.getCount());
    for (const Tsl::SmartPtr<Particle>& p : lFree) EXPECT_EQ(12, p->getSprite()->getZOrder());
    m_pMode->onUpdate(0.5f);
    EXPECT_EQ(4, lFree.getCount());
}

TEST_F(ParticleTest, TrailsNeverRepeatAnEmitterAboveThemAndNestOnlySoDeep) {
    struct Case {
        const char* pszTop;
        int nSprites;
    };
    addText("self", "emitter self\nimage dot\nminparticles 2\nemissionrate 1e30\n");
    addText("ping", "emitter pong\nimage dot\nminparticles 2\n");
    addText("pong", "emitter ping\nimage dot\nminparticles 2\n");
    addText("deep0", "emitter deep1\nimage dot\nminparticles 2\n");
    for (int i = 1; i <= 6; ++i)
        addText(("deep" + std::to_string(i)).c_str(),
                "emitter deep" + std::to_string(i + 1) + "\nimage dot\nminparticles 2\n");
    addText("deep7", "image dot\n");
    // Self: two dots only. Ping-pong: one level of pong, whose ping is not
    // made, so it emits twice. Deep: one dot and one carrier a level down to
    // the deepest allowed, which emits two dots.
    for (Case c : {Case{"self", 2}, Case{"ping", 1 + 2}, Case{"deep0", ParticleEmitter::MAX_TRAIL_DEPTH + 2}}) {
        Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(m_pMode);
        pEmitter->load(c.pszTop);
        pEmitter->update(0.0f);
        EXPECT_EQ(c.nSprites, spriteCount()) << c.pszTop;
        pEmitter = nullptr;
        ASSERT_EQ(0, spriteCount());
    }
    // A huge rate stops at max particles.
    Tsl::SmartPtr<ParticleEmitter> pSelf = new ParticleEmitter(m_pMode);
    pSelf->load("self");
    pSelf->update(1.0f);
    EXPECT_EQ(100, spriteCount());
}

// Trails four deep asking for 60 each would make millions: the family stops
// at its bound, which a new emitter starts afresh.
TEST_F(ParticleTest, AnEmitterAndItsTrailsHoldNoMoreThanTheBound) {
    for (int i = 0; i < 4; ++i)
        addText(("level" + std::to_string(i)).c_str(),
                "image dot\nminparticles 60\nmaxparticles 60\n" + (i < 3 ? "emitter level" + std::to_string(i + 1) : ""));
    for (int nRun = 0; nRun < 2; ++nRun) {
        Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(m_pMode);
        pEmitter->load("level0");
        pEmitter->update(0.125f);
        pEmitter->update(0.125f);
        EXPECT_EQ(ParticleEmitter::MAX_LIVE_PARTICLES, pEmitter->getFamilyParticleCount());
        EXPECT_GE(ParticleEmitter::MAX_LIVE_PARTICLES, spriteCount());  // carriers have none
    }
    EXPECT_EQ(0, spriteCount());
}

TEST_F(ParticleTest, AnimatedParticlesPlayAndDieWithTheirAnimation) {
    Tsl::SmartPtr<Animation> pAnimation = new Animation(4.0f);
    pAnimation->createSequence("default", false, 4.0f);
    pAnimation->addFrame("default", makeImage(1, 1), 1);
    pAnimation->addFrame("default", makeImage(2, 1), 1);
    Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(m_pMode);
    pEmitter->addAnimation(pAnimation, false, 0);
    pEmitter->emit(1);
    Tsl::SmartPtr<Particle> p = pEmitter->getParticles().getFirst();
    pEmitter->update(0.25f);
    EXPECT_EQ(2, p->getSprite()->getImage()->getWidth());
    pEmitter->update(0.25f);
    EXPECT_TRUE(p->isDead());
    EXPECT_EQ(0, pEmitter->getParticles().getCount());

    // A random frame shows one still image of the animation.
    pEmitter->addAnimation(pAnimation, true, 0);
    pEmitter->removeType(0);
    pEmitter->setEmissionRate(0.0f);
    pEmitter->emit(10);
    pEmitter->update(5.0f);
    EXPECT_EQ(10, pEmitter->getParticles().getCount());
}

} // namespace
