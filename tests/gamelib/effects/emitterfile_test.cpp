// The ".emitter" reader: every command, the z offset rule, order checks,
// messages with file and line, and the definition cache.
#include "effects_fixture.h"

#include <string>

namespace {

struct EmitterFileTest : EffectsFixture {
    void SetUp() override {
        EffectsFixture::SetUp();
        addImage("spark", 2, 2);
        addImage("pal", 4, 1);
    }
    Tsl::SmartPtr<ParticleEmitter> load(const char* pszName, const std::string& sText) {
        addText(pszName, sText);
        Tsl::SmartPtr<ParticleEmitter> p = new ParticleEmitter(m_pMode);
        p->load(pszName);
        return p;
    }
    // The message of the error that loading the text raises.
    template <class E>
    std::string errorOf(const std::string& sText) {
        static int s_nFile = 0;
        std::string sName = "broken" + std::to_string(++s_nFile);
        try {
            load(sName.c_str(), sText);
        } catch (const E& e) {
            return e.getMessage();
        }
        return "no error";
    }
};

TEST_F(EmitterFileTest, EveryCommandSetsItsParameter) {
    Tsl::SmartPtr<ParticleEmitter> p = load("all",
                                            "# a comment line\n"
                                            "TYPE Rect\n"
                                            "emissionrate 12.5\n"
                                            "lifetimerange 1 2\n"
                                            "maxalpha 0.5\n"
                                            "fadefracrange 0.25 0.75\n"
                                            "startscalerange 1 2\n"
                                            "endscalerange 3 4\n"
                                            "maxparticles 40\n"
                                            "minparticles 3\n"
                                            "rectsize 30 20\n"
                                            "emitanglerange 90 180\n"
                                            "startanglerange -10 10\n"
                                            "endanglerange 45 90\n"
                                            "relativeposition\n"
                                            "delayrange 0.5 1\n"
                                            "speedtype Radial\n"
                                            "blendmode ADDITIVE\n"
                                            "speedrange 1 2 3 4\n"
                                            "accelerationrange 5 6 7 8\n"
                                            "effectscale 2\n"
                                            "palette pal\n");
    float a, b, c, d;
    int n, m;
    EXPECT_EQ(ParticleEmitter::TYPE_RECT, p->getType());
    EXPECT_EQ(12.5f, p->getEmissionRate());
    p->getLifetimeRange(a, b);
    EXPECT_EQ(1.0f, a);
    EXPECT_EQ(2.0f, b);
    EXPECT_EQ(0.5f, p->getMaxAlpha());
    EXPECT_TRUE(p->getFadeFracRange(a, b));
    EXPECT_EQ(0.75f, b);
    EXPECT_TRUE(p->getEndScaleRange(a, b));
    EXPECT_EQ(4.0f, b);
    EXPECT_EQ(40, p->getMaxParticles());
    EXPECT_EQ(3, p->getMinParticles());
    p->getRadiusRange(a, b);
    EXPECT_EQ(30.0f, a);
    EXPECT_EQ(20.0f, b);
    p->getEmitAngleRange(n, m);
    EXPECT_EQ(90, n);
    EXPECT_EQ(180, m);
    p->getStartAngleRange(a, b);
    EXPECT_EQ(-10.0f, a);
    p->getEndAngleRange(a, b);
    EXPECT_EQ(90.0f, b);
    EXPECT_TRUE(p->getRelativePosition());
    p->getDelayRange(a, b);
    EXPECT_EQ(0.5f, a);
    EXPECT_EQ(ParticleEmitter::SPEED_RADIAL, p->getSpeedType());
    EXPECT_EQ(1, p->getBlendMode());
    p->getSpeedRange(a, b, c, d);
    EXPECT_EQ(4.0f, d);
    EXPECT_EQ(ParticleEmitter::ACCEL_ABSOLUTE, p->getAccelerationType());
    p->getAccelerationRange(a, b, c, d);
    EXPECT_EQ(8.0f, d);
    EXPECT_EQ(2.0f, p->getEffectScale());
    EXPECT_EQ(app.getImage("pal"), p->getPalette());
    EXPECT_EQ(ParticleEmitter::PALETTE_OVER_LIFETIME, p->getPaletteMode());
    EXPECT_EQ(0.0f, load("abc", "maxalpha abc\n")->getMaxAlpha()) << "no number reads as 0";

    // The later of palette and randomtint wins.
    EXPECT_EQ(ParticleEmitter::PALETTE_RANDOM_TINT, load("tint", "palette pal\nrandomtint pal\n")->getPaletteMode());
}

// No particle may be born at an undefined place or speed: what is no finite
// number reads as 0.
TEST_F(EmitterFileTest, NanAndInfinityReadAsZero) {
    for (const char* pszWord : {"nan", "NaN", "-nan", "inf", "-INF", "infinity", "1e39"}) {
        std::string sWord = pszWord;
        Tsl::SmartPtr<ParticleEmitter> p =
            load(("odd-" + sWord).c_str(), "emissionrate " + sWord + "\nspeedrange " + sWord + " 1 " + sWord +
                                               " 4\nlifetimerange " + sWord + " 2\n");
        float a, b, c, d;
        EXPECT_EQ(0.0f, p->getEmissionRate()) << pszWord;
        p->getSpeedRange(a, b, c, d);
        EXPECT_EQ(0.0f, a) << pszWord;
        EXPECT_EQ(1.0f, b);
        EXPECT_EQ(0.0f, c) << pszWord;
        EXPECT_EQ(4.0f, d);
        p->getLifetimeRange(a, b);
        EXPECT_EQ(0.0f, a) << pszWord;
    }
}

TEST_F(EmitterFileTest, TheZOffsetIsReadOnlyFromThreeTokens) {
    addText("trail", "image spark\n");
    Tsl::SmartPtr<ParticleEmitter> p =
        load("types", "image spark 5\nimage spark\nimage spark 5 9\nemitter trail 3\nemitter trail\n");
    Tsl::List<ParticleType*> lTypes = p->getTypes();
    ASSERT_EQ(5, lTypes.getCount());
    EXPECT_EQ(5, lTypes.getAt(0)->nZOffset);
    EXPECT_EQ(0, lTypes.getAt(1)->nZOffset);
    EXPECT_EQ(0, lTypes.getAt(2)->nZOffset);
    EXPECT_EQ(ParticleType::KIND_EMITTER, lTypes.getAt(3)->nKind);
    EXPECT_EQ(3, lTypes.getAt(3)->nZOffset);
    EXPECT_EQ(Tsl::String("trail"), lTypes.getAt(4)->sEmitterName);
}

TEST_F(EmitterFileTest, ErrorsQuoteTheirMessageWithFileAndLine) {
    struct Case {
        std::string sText;
        std::string sMessage;
    };
    for (const Case& c : {
             Case{"emissionrate 1\nbogus 3\n", "Unknown command : bogus"},
             Case{"speedtype Fast\n", "Unknown SpeedType Fast"},
             Case{"blendingmode loud\n", "Unknown BlendingMode loud"},
             Case{"fadefracrange 0.5 1.5\n", "Expecting fractions"},
             Case{"\n\nemissionrate\n", "List index out of range : 1 (have 1)"},
             Case{"image nothing-here\n", "nothing-here"},
             Case{"emitter no-such-trail\n", "Emitter 'no-such-trail' not found"},
             Case{"palette nothing-here\n", "nothing-here"},
             Case{"minparticles 2000000000\nimage spark\n", "Particle count 2000000000 out of range (0 to 10000)"},
             Case{"maxparticles 99999999999\n", "Particle count 99999999999 out of range"},
             Case{"maxparticles -1\n", "Particle count -1 out of range"},
         }) {
        std::string sError = errorOf<Tsl::Exception>(c.sText);
        EXPECT_NE(std::string::npos, sError.find(c.sMessage)) << sError;
        int nLine = c.sText.find("bogus") != std::string::npos ? 2 : c.sText[0] == '\n' ? 3 : 1;
        EXPECT_NE(std::string::npos, sError.find(", line " + std::to_string(nLine) + ")")) << sError;
        EXPECT_NE(std::string::npos, sError.find("(in broken")) << sError;
    }
    // Assertions stay assertions.
    EXPECT_EQ(0u, errorOf<Tsl::AssertFailException>("type square\n").find("Assertion failed : false"));
    EXPECT_EQ(0u, errorOf<Tsl::AssertFailException>("radiusrange 10 5\n").find("Assertion failed : m_fMinRadius <= m_fMaxRadius"));
    EXPECT_EQ(0u, errorOf<Tsl::AssertFailException>("accelerationrange 0 1 5 2\n").find("Assertion failed : m_fAccelYMin <= m_fAccelYMax"));
    EXPECT_EQ("no error", errorOf<Tsl::Exception>("type rect\nradiusrange 10 5\n")) << "the order test is for radial emitters only";
    EXPECT_FALSE(ParticleEmitter::isCached("broken1")) << "a file that failed is not cached";
}

TEST_F(EmitterFileTest, TheCacheReadsAFileOnceIntoAFreshDefinition) {
    // Settings made on the first emitter before its load stay its own.
    addText("fx", "image spark\nlifetimerange 3 3\n");
    Tsl::SmartPtr<ParticleEmitter> pFirst = new ParticleEmitter(m_pMode);
    pFirst->setEmissionRate(99.0f);
    pFirst->setPosition(40, 40);
    pFirst->load("fx");
    EXPECT_EQ(1.0f, pFirst->getEmissionRate());
    EXPECT_TRUE(ParticleEmitter::isCached("fx"));

    // The resource is not read again: a changed text makes no difference.
    addText("fx", "bogus\n");
    Tsl::SmartPtr<ParticleEmitter> pSecond = new ParticleEmitter(m_pMode);
    pSecond->load("fx");
    EXPECT_EQ(1.0f, pSecond->getEmissionRate());
    EXPECT_EQ(1, pSecond->getTypes().getCount());
    int nX = -1, nY = -1;
    pSecond->getPosition(nX, nY);
    EXPECT_EQ(0, nX);

    ParticleEmitter::clearCache();
    EXPECT_FALSE(ParticleEmitter::isCached("fx"));
}

// The definitions hold images: the application's shut-down lets them go
// while the platform that made them still exists.
TEST(EmitterCacheTest, TheApplicationsShutDownEmptiesTheCache) {
    {
        TestApp app;
        ASSERT_TRUE(app.init(800, 600, 0));
        app.addImage("spark", app.createImage(2, 2, true));
        Tsl::SmartPtr<Tsl::MemoryResourceProvider> pFiles = new Tsl::MemoryResourceProvider();
        pFiles->add("dots", "image spark\n", 12);
        app.addResourceProvider(pFiles.get());
        Tsl::SmartPtr<ParticleEmitter> p = new ParticleEmitter(nullptr);
        p->load("dots");
        EXPECT_TRUE(ParticleEmitter::isCached("dots"));
    }
    EXPECT_FALSE(ParticleEmitter::isCached("dots"));
}

} // namespace
