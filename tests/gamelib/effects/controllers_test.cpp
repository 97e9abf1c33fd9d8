// The effect controllers' numbers, stepped with binary-exact dt, and how
// they compose in queues, sets, loops and wrappers.
#include "effects_fixture.h"
#include "effects/colorcontrollers.h"
#include "effects/imagecontrollers.h"
#include "effects/motioncontrollers.h"
#include "effects/timingcontrollers.h"
#include "effects/transformcontrollers.h"

#include <cmath>
#include <vector>

namespace {

struct Calls : ICallbackTarget {
    std::vector<int> ids;
    void onCallback(int nId, int) override { ids.push_back(nId); }
};

struct ControllerTest : EffectsFixture {
    Tsl::SmartPtr<Sprite> pSprite;
    void SetUp() override {
        EffectsFixture::SetUp();
        pSprite = addSprite(makeImage(100, 100), 10.0f, 20.0f);
    }
    // Steps the sprite n times and returns how many controllers it still has.
    int steps(int n, float fDt) {
        for (int i = 0; i < n; ++i) pSprite->updateControllers(fDt);
        return pSprite->getControllerCount();
    }
};

TEST_F(ControllerTest, FadesAbsoluteAndCompounding) {
    pSprite->addController(new SCLinearFade(0.0f, 1.0f, 1.0f, true));
    EXPECT_EQ(0.0f, pSprite->getAlpha());
    for (float fExpected : {0.25f, 0.5f, 0.75f}) {
        EXPECT_EQ(1, steps(1, 0.25f));
        EXPECT_EQ(fExpected, pSprite->getAlpha());
    }
    EXPECT_EQ(0, steps(1, 0.25f));
    EXPECT_EQ(1.0f, pSprite->getAlpha());

    // The relative form multiplies the alpha the sprite has at each step.
    pSprite->addController(new SCLinearFade(1.0f, 0.0f, 1.0f, false));
    for (float fExpected : {0.75f, 0.375f, 0.09375f, 0.0f}) {
        steps(1, 0.25f);
        EXPECT_EQ(fExpected, pSprite->getAlpha());
    }
    EXPECT_EQ(0, pSprite->getControllerCount());
}

TEST_F(ControllerTest, TintRunsOpaqueAndEndsOnItsColourPulseAndPaletteFollow) {
    pSprite->addController(new SCLinearTint(Color(255, 0, 0, 255), Color(0, 0, 255, 128), 1.0f));
    steps(1, 0.5f);
    EXPECT_EQ(Color(127, 0, 127, 255), pSprite->getColor());
    EXPECT_EQ(0, steps(1, 0.5f));
    EXPECT_EQ(Color(0, 0, 255, 128), pSprite->getColor());

    // A palette of one pixel shows that pixel the whole time.
    Tsl::SmartPtr<Image> pPalette = app.createImage(1, 1, true);
    pPalette->setColorAt(0, 0, Color(9, 8, 7, 6));
    pSprite->addController(new SCApplyPalette(pPalette, 1.0f));
    steps(1, 0.25f);
    EXPECT_EQ(Color(9, 8, 7, 6), pSprite->getColor());
    EXPECT_EQ(0, steps(3, 0.25f));
    EXPECT_EQ(Color(9, 8, 7, 6), pSprite->getColor());
}

TEST_F(ControllerTest, BlinkTogglesEndsVisibleAndWithoutAPeriodStaysShown) {
    pSprite->addController(new SCBlink(0.5f, 0.5f, 2.0f));
    std::vector<bool> seen;
    for (int i = 0; i < 4; ++i) {
        steps(1, 0.5f);
        seen.push_back(pSprite->isVisible());
    }
    EXPECT_EQ(std::vector<bool>({false, true, false, true}), seen);
    // Landing on exactly 2 s does not end it; the next step does, visible.
    EXPECT_EQ(1, pSprite->getControllerCount());
    pSprite->setVisible(false);
    EXPECT_EQ(0, steps(1, 0.5f));
    EXPECT_TRUE(pSprite->isVisible());

    pSprite->addController(new SCBlink(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(1, steps(3, 0.25f));
    EXPECT_TRUE(pSprite->isVisible());
}

TEST_F(ControllerTest, ScaleGrowBounceAndMirror) {
    pSprite->addController(new SCScale(1.0f, 2.0f, 1.0f));
    steps(1, 0.5f);
    EXPECT_EQ(1.5f, pSprite->getScaleX());
    EXPECT_EQ(0, steps(1, 0.5f));
    EXPECT_EQ(Point(2.0f, 2.0f), pSprite->getScale());

    struct Case {
        float fFrom, fPeak, fEnd, fDuration;
    };
    // The last two: a peak below the end value, and no duration at all.
    for (Case c : {Case{0.0f, 1.2f, 1.0f, 0.5f}, Case{0.5f, 0.8f, 1.0f, 0.5f}, Case{0.0f, 1.2f, 1.0f, 0.0f}}) {
        pSprite->setScale(-1.0f, 1.0f);
        pSprite->addController(new SCGrowBounce(c.fFrom, c.fPeak, c.fEnd, c.fDuration));
        float fPeakSeen = 0.0f;
        while (pSprite->getControllerCount() > 0) {
            steps(1, 0.125f);
            fPeakSeen = std::max(fPeakSeen, pSprite->getScaleY());
            ASSERT_FALSE(std::isnan(pSprite->getScaleY()));
        }
        EXPECT_NEAR(c.fEnd, pSprite->getScaleY(), 1e-4f);
        EXPECT_NEAR(-c.fEnd, pSprite->getScaleX(), 1e-4f) << "the mirror is kept";
        if (c.fDuration > 0.0f) {
            EXPECT_NEAR(std::max(c.fPeak, c.fEnd), fPeakSeen, 0.01f);
        }
    }
}

TEST_F(ControllerTest, ScaleOnTwoAxesMovesEachFromItsOwnStartToItsOwnEnd) {
    pSprite->addController(new SCScale(1.0f, 3.0f, 4.0f, 2.0f, 1.0f));
    steps(1, 0.25f);
    EXPECT_EQ(Point(1.5f, 3.5f), pSprite->getScale());
    EXPECT_EQ(0, steps(3, 0.25f));
    EXPECT_EQ(Point(3.0f, 2.0f), pSprite->getScale());
}

// The waves never end; each is read a quarter and three quarters of a cycle in.
TEST_F(ControllerTest, WavesOfAlphaScaleAndColourSwingBetweenTheirBounds) {
    pSprite->addController(new SCSinusoidAlpha(0.2f, 0.6f, 1.0f, 0.0f));
    steps(1, 0.25f);
    EXPECT_NEAR(0.6f, pSprite->getAlpha(), 1e-4f);
    EXPECT_EQ(1, steps(2, 0.25f));
    EXPECT_NEAR(0.2f, pSprite->getAlpha(), 1e-4f);
    pSprite = addSprite(makeImage(4, 4));

    pSprite->addController(new SCSinusoidAlpha(1.0f, 1.5707964f));  // from 0 to 1, a quarter turn ahead
    steps(1, 0.0f);
    EXPECT_NEAR(1.0f, pSprite->getAlpha(), 1e-4f);
    pSprite = addSprite(makeImage(4, 4));

    pSprite->addController(new SCSinusoidScale(0.9f, 1.1f, 1.0f, 0.0f));
    steps(1, 0.25f);
    EXPECT_NEAR(1.1f, pSprite->getScaleX(), 1e-4f);
    EXPECT_NEAR(1.1f, pSprite->getScaleY(), 1e-4f);
    EXPECT_EQ(1, steps(2, 0.25f));
    EXPECT_NEAR(0.9f, pSprite->getScaleY(), 1e-4f);
    pSprite = addSprite(makeImage(4, 4));

    // Out as far as the second colour on one side, as far past the base on
    // the other; opaque throughout.
    pSprite->addController(new SCPulseColor(Color(100, 100, 100, 7), Color(140, 60, 100, 7), 3.1415927f));
    struct Case {
        float fDt;
        Color expected;
    } aCases[] = {{0.5f, Color(140, 60, 100, 255)}, {1.0f, Color(60, 140, 100, 255)}};
    for (const Case& c : aCases) {
        steps(1, c.fDt);
        Color seen = pSprite->getColor();
        EXPECT_NEAR(c.expected.r, seen.r, 1);
        EXPECT_NEAR(c.expected.g, seen.g, 1);
        EXPECT_EQ(c.expected.b, seen.b);
        EXPECT_EQ(255, seen.a);
    }
    EXPECT_EQ(1, pSprite->getControllerCount());
}

TEST_F(ControllerTest, RotationsGoThroughZeroWrapAndGuardAZeroPeriod) {
    pSprite->addController(new SCRotate(350.0f, 10.0f, 1.0f));
    EXPECT_EQ(350.0f, pSprite->getRotation());
    steps(1, 0.25f);
    EXPECT_EQ(355.0f, pSprite->getRotation());
    steps(1, 0.5f);
    EXPECT_EQ(5.0f, normalizeAngle(pSprite->getRotation()));
    EXPECT_EQ(0, steps(1, 0.25f));

    pSprite->setRotation(0.0f);
    pSprite->addController(new SCRotate(90.0f));
    steps(4000, 0.25f);
    EXPECT_EQ(1, pSprite->getControllerCount());
    EXPECT_EQ(0.0f, pSprite->getRotation()) << "1000 s at 90 degrees a second: whole turns, wrapped";
    pSprite->clearControllers();

    pSprite->addController(new SCSinusoidRotate(30.0f, 10.0f, 0.0f, 1.0f));
    steps(1, 0.25f);
    EXPECT_EQ(30.0f, pSprite->getRotation());
}

TEST_F(ControllerTest, PathsBySpeedAndDurationAndTheParabola) {
    SCLinearPath* pBySpeed = new SCLinearPath(Point(0, 0), Point(300, 400), 100.0f, SCLinearPath::BY_SPEED);
    EXPECT_EQ(5.0f, pBySpeed->getTimer()->getDuration());
    pSprite->addController(pBySpeed);
    EXPECT_EQ(Point(0, 0), pSprite->getPosition());
    EXPECT_EQ(1, steps(4, 0.625f));
    EXPECT_EQ(Point(150, 200), pSprite->getPosition());
    EXPECT_EQ(0, steps(4, 0.625f));
    EXPECT_EQ(Point(300, 400), pSprite->getPosition());
    EXPECT_EQ(100000.0f, SCLinearPath(Point(5, 5), 0.0f, SCLinearPath::BY_SPEED).getTimer()->getDuration());
    EXPECT_THROW(SCLinearPath(Point(5, 5), 1.0f, 2), Tsl::FatalErrorException);

    // A relative path adds up with another movement of the same sprite.
    pSprite->addController(new SCLinearPath(Point(40, 0), 1.0f, SCLinearPath::BY_DURATION));
    pSprite->addController(new SCLinearPath(Point(0, 8), 1.0f, SCLinearPath::BY_DURATION));
    EXPECT_EQ(0, steps(4, 0.25f));
    EXPECT_EQ(Point(340, 408), pSprite->getPosition());

    pSprite->addController(new SCVerticalParabola(Point(0, 300), Point(200, 300), 100.0f, 1.0f));
    steps(1, 0.5f);
    expectNearPoint(Point(100, 150), pSprite->getPosition());
    EXPECT_EQ(0, steps(1, 0.5f));
    expectNearPoint(Point(200, 300), pSprite->getPosition());
}

TEST_F(ControllerTest, ProgressBarGrowsUpwardsInWholeRows) {
    addImage("bar", 4, 100);
    pSprite->addController(new SCVerticalProgress(100, 50.0f, "bar"));
    for (int nRows : {25, 50, 75, 100}) {
        steps(1, 0.5f);
        ASSERT_TRUE(pSprite->getImage());
        EXPECT_EQ(nRows, pSprite->getImage()->getHeight());
        EXPECT_EQ(nRows - 100, pSprite->getImage()->getInsPointY());
        EXPECT_EQ(Color(0, 100 - nRows, 7, 255), pSprite->getImage()->getColorAt(0, 0)) << "the bottom rows";
    }
    EXPECT_EQ(0, pSprite->getControllerCount());
    EXPECT_THROW(SCVerticalProgress(10, 1.0f, "nothing-of-that-name"), Tsl::Exception);
}

TEST_F(ControllerTest, WipeModesCropTheImageAway) {
    struct Case {
        int nMode;
        int nWidth, nHeight;
        Point position;
        Color firstPixel;
    };
    // Half-way through a one-second wipe of a 100 x 100 image at (10, 20).
    for (Case c : {Case{0, 100, 50, Point(10, 20), Color(0, 0, 7, 255)},
                   Case{1, 100, 50, Point(10, 70), Color(0, 50, 7, 255)},
                   Case{2, 50, 100, Point(10, 20), Color(0, 0, 7, 255)},
                   Case{3, 50, 100, Point(60, 20), Color(50, 0, 7, 255)}}) {
        Tsl::SmartPtr<Sprite> p = addSprite(makeImage(100, 100), 10.0f, 20.0f);
        p->addController(new SCWipe(c.nMode, false, 1.0f, true));
        p->updateControllers(0.5f);
        EXPECT_EQ(c.nWidth, p->getImage()->getWidth()) << c.nMode;
        EXPECT_EQ(c.nHeight, p->getImage()->getHeight()) << c.nMode;
        EXPECT_EQ(c.position, p->getPosition()) << c.nMode;
        EXPECT_EQ(c.firstPixel, p->getImage()->getColorAt(0, 0)) << c.nMode;
        p->updateControllers(0.5f);
        EXPECT_FALSE(p->getOwnerMode()) << "removed when done";
    }

    // Split: the second half starts at y + 50 and both are empty at the end.
    int nBefore = spriteCount();
    pSprite->addController(new SCWipe(0, true, 1.0f, false));
    ASSERT_EQ(nBefore + 1, spriteCount());
    EXPECT_EQ(50, pSprite->getImage()->getHeight());
    steps(1, 0.5f);
    EXPECT_EQ(25, pSprite->getImage()->getHeight());
    EXPECT_EQ(0, steps(1, 0.5f));
    EXPECT_EQ(0, pSprite->getImage()->getHeight());

    // No image: nothing to wipe, the time still runs.
    Tsl::SmartPtr<Sprite> pBare = new Sprite(0, 0);
    m_pMode->addSprite(pBare);
    pBare->addController(new SCWipe(3, true, 0.5f, true));
    pBare->updateControllers(0.5f);
    EXPECT_FALSE(pBare->getOwnerMode());
}

TEST_F(ControllerTest, ReplaceAndPlacementStepsActOnTheFirstFrame) {
    addImage("other", 3, 3);
    pSprite->setVisible(false);
    pSprite->addController(new SCReplaceImage("other"));
    pSprite->addController(new SCSetZOrder(7));
    pSprite->addController(new SCSetScreenPosition(Point(1, 2), Image::ALIGN_RIGHT | Image::ALIGN_BOTTOM));
    EXPECT_EQ(0, steps(1, 0.0f));
    EXPECT_TRUE(pSprite->isVisible());
    EXPECT_EQ(3, pSprite->getImage()->getWidth());
    EXPECT_EQ(7, pSprite->getZOrder());
    EXPECT_EQ(Point(1, 2), pSprite->getPosition());

    // Without an image the placement steps do nothing but move.
    Tsl::SmartPtr<Sprite> pBare = new Sprite(0, 0);
    pBare->addController(new SCSetInsPoint(Image::ALIGN_HCENTER));
    pBare->addController(new SCSetScreenPosition(Point(4, 4), Image::ALIGN_HCENTER));
    pBare->updateControllers(0.1f);
    EXPECT_EQ(Point(4, 4), pBare->getPosition());
}

TEST_F(ControllerTest, SetPositionAndRemoveActOnceOnTheFirstFrame) {
    pSprite->addController(new SCSetPosition(Point(5.5f, -6.0f)));
    EXPECT_EQ(0, steps(1, 0.0f));
    EXPECT_EQ(Point(5.5f, -6.0f), pSprite->getPosition());

    pSprite->addController(new SCRemove());
    EXPECT_EQ(1, spriteCount());
    EXPECT_EQ(0, steps(1, 0.125f));
    EXPECT_EQ(0, spriteCount());
    EXPECT_EQ(nullptr, pSprite->getOwnerMode());
}

TEST_F(ControllerTest, CompositionOfRealEffects) {
    // A queue of two 1 s fades at 0.25 s: the second ends on step 8, the queue on 9.
    pSprite->addController(new SCQueue(controllers({new SCLinearFade(1, 0, 1, true), new SCLinearFade(0, 1, 1, true)})));
    EXPECT_EQ(1, steps(8, 0.25f));
    EXPECT_EQ(1.0f, pSprite->getAlpha());
    EXPECT_EQ(0, steps(1, 0.25f));

    // A set ends with its slowest child; when-done follows it, then the callback.
    Calls calls;
    pSprite->addController(new SCSet(controllers({new SCScale(1, 2, 0.5f), new SCDelay(1.0f)})));
    pSprite->addController(new SCWhenDone(new SCCallback(&calls, 1, 0)));
    EXPECT_EQ(2, steps(3, 0.25f));
    EXPECT_EQ(std::vector<int>{}, calls.ids);
    EXPECT_EQ(0, steps(2, 0.25f));
    EXPECT_EQ(std::vector<int>{1}, calls.ids);
}

TEST_F(ControllerTest, LoopsLetGoOfChildrenThatUsedUpWhatTheyHeld) {
    // A delayed callback fires once; the loop then has nothing left and ends
    // instead of turning empty for ever.
    Calls calls;
    SCLoop* pLoop = new SCLoop();
    pLoop->add(new SCDelayController(0.25f, new SCCallback(&calls, 7, 0)));
    pSprite->addController(pLoop);
    EXPECT_EQ(0, steps(10, 0.25f));
    EXPECT_EQ(std::vector<int>{7}, calls.ids);

    // A timed emitter hands its particles over once; the other child keeps turning.
    addImage("dot", 2, 2);
    addText("puff", "image dot\nemissionrate 4\nlifetimerange 10 10\n");
    SCLoop* pMixed = new SCLoop(controllers({new SCAttachEmitter("puff", 0.5f, m_pMode, 0), new SCCallback(&calls, 8, 0)}));
    pSprite->addController(pMixed);
    EXPECT_EQ(1, steps(12, 0.25f));
    EXPECT_EQ(1, m_pMode->getParticleSystem()->getCount());
    EXPECT_EQ(11u, calls.ids.size()) << "after the emitter left, the callback alone turns once a step";
}

TEST_F(ControllerTest, AttachedEmittersFollowTheSpriteAndLeaveTheirParticlesToTheMode) {
    addImage("dot", 2, 2);
    addText("puff", "image dot\nemissionrate 4\nlifetimerange 10 10\nrelativeposition\n");
    SCAttachEmitter* pTimed = new SCAttachEmitter("puff", 1.0f, m_pMode, 5);
    Tsl::SmartPtr<ParticleEmitter> pEmitter = pTimed->getEmitter();
    EXPECT_EQ(6, pEmitter->getZOrder());
    pSprite->addController(pTimed);
    steps(2, 0.25f);
    int nX = 0, nY = 0;
    pEmitter->getPosition(nX, nY);
    EXPECT_EQ(10, nX);
    EXPECT_EQ(20, nY);
    pSprite->setPosition(50.0f, 60.0f);
    EXPECT_EQ(0, steps(2, 0.25f)) << "done when its lifetime is over";
    ParticleList& lFree = *m_pMode->getParticleSystem();
    ASSERT_EQ(3, lFree.getCount());
    EXPECT_EQ(nullptr, lFree.getFirst()->getOrigin()) << "made absolute";
    EXPECT_EQ(Point(50, 60), lFree.getFirst()->getSprite()->getPosition());

    // Untimed: it runs until the controller is finished, which hands its particles over too.
    pSprite->addController(new SCAttachEmitter("puff", 0.0f, m_pMode, 0));
    EXPECT_EQ(1, steps(8, 0.25f));
    pSprite->tickControllers();
    EXPECT_EQ(0, pSprite->getControllerCount());
    EXPECT_EQ(3 + 8, lFree.getCount());

    Tsl::SmartPtr<Particle> pParticle = new Particle(m_pMode, 0, 0, app.getImage("dot"), 0);
    pParticle->getSprite()->setVisible(false);
    pSprite->addController(new SCAttachParticle(pParticle, m_pMode));
    steps(1, 0.25f);
    EXPECT_TRUE(pParticle->getSprite()->isVisible());
    EXPECT_EQ(pParticle, lFree.getAt(lFree.getCount() - 1));
}

TEST_F(ControllerTest, RandomDelaysDrawOnEveryTurnFromTheSharedGenerator) {
    Calls calls;
    pSprite->addController(new SCLoop(controllers({new SCRandomDelay(0.5f, 1.5f), new SCCallback(&calls, 3, 0)})));
    std::vector<int> aStepsBetween;
    int nSteps = 0;
    while (calls.ids.size() < 4) {
        size_t nBefore = calls.ids.size();
        steps(1, 0.125f);
        ++nSteps;
        if (calls.ids.size() != nBefore) {
            ASSERT_EQ(nBefore + 1, calls.ids.size()) << "one call a turn";
            aStepsBetween.push_back(nSteps);
            nSteps = 0;
        }
    }
    for (int n : aStepsBetween) {
        EXPECT_GE(n, 5);
        EXPECT_LE(n, 13);
    }
    EXPECT_NE(aStepsBetween.front(), aStepsBetween.back()) << "each turn draws again";

    // Equal bounds always wait exactly that long.
    pSprite->clearControllers();
    calls.ids.clear();
    pSprite->addController(new SCQueue(controllers({new SCRandomDelay(2, 2), new SCCallback(&calls, 4, 0)})));
    steps(16, 0.125f);
    EXPECT_TRUE(calls.ids.empty());
    steps(1, 0.125f);
    EXPECT_EQ(std::vector<int>{4}, calls.ids);
}

} // namespace
