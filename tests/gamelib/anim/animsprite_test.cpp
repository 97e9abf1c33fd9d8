// Animated sprites: timing with binary-exact steps, one-shot endings, the
// rate forms of play, and the cases where there is nothing to play.
#include "anim_fixture.h"
#include "anim/animsprite.h"

typedef AnimFixture AnimSpriteTest;

TEST_F(AnimSpriteTest, ABigStepCarriesOverFramesAndLandsWithAFullFrame) {
    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(makeAnimation("loop", {1, 1, 1, 1}, 8, true), 0, 0);
    EXPECT_TRUE(pSprite->isPlaying());
    EXPECT_TRUE(pSprite->update(0.0625f));  // first update after the start
    EXPECT_FALSE(pSprite->hasFrameChanged());
    EXPECT_EQ(0.0625f, pSprite->getFrameTimeLeft());

    EXPECT_TRUE(pSprite->update(0.25f));  // -0.1875, frame 1 -0.0625, frame 2 +0.0625
    EXPECT_EQ(2, pSprite->getFrame());
    EXPECT_EQ(0, pSprite->getPreviousFrame());
    EXPECT_TRUE(pSprite->hasFrameChanged());
    EXPECT_TRUE(pSprite->hasSkippedFrames());
    EXPECT_EQ(0.125f, pSprite->getFrameTimeLeft());
    EXPECT_EQ(3, pSprite->getImage()->getWidth());

    EXPECT_FALSE(pSprite->update(0.0625f));
    EXPECT_TRUE(pSprite->update(0.125f));  // frame 3, no skip
    EXPECT_FALSE(pSprite->hasSkippedFrames());
    EXPECT_TRUE(pSprite->update(0.125f));  // wraps to frame 0
    EXPECT_EQ(0, pSprite->getFrame());
    EXPECT_TRUE(pSprite->update(0.0625f));  // frame 0 with its full time reports again
}

// One frame's time per update: every update shows the next frame, the wrap
// back to frame 0 too, and none of them skipped a frame.
TEST_F(AnimSpriteTest, AnOrdinaryWrapSkipsNoFrame) {
    for (int nFrames : {1, 2, 4}) {
        Tsl::SmartPtr<Animation> pAnimation = new Animation(8);
        pAnimation->createSequence("loop", true, 8);
        for (int i = 0; i < nFrames; ++i) pAnimation->addFrame("loop", makeImage(i + 1), 1);
        Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(pAnimation, 0, 0);
        for (int nStep = 1; nStep <= 2 * nFrames + 1; ++nStep) {
            EXPECT_TRUE(pSprite->update(0.125f));
            EXPECT_EQ(nStep % nFrames, pSprite->getFrame()) << nFrames << " frames, step " << nStep;
            EXPECT_FALSE(pSprite->hasSkippedFrames()) << nFrames << " frames, step " << nStep;
        }
    }
}

TEST_F(AnimSpriteTest, AOneShotSequenceFinishesOnceAndStaysOnItsLastFrame) {
    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(makeAnimation("once", {1, 2}, 4, false), 0, 0);
    EXPECT_TRUE(pSprite->update(0.25f));
    EXPECT_EQ(1, pSprite->getFrame());
    EXPECT_EQ(0.5f, pSprite->getFrameTimeLeft());
    EXPECT_TRUE(pSprite->update(1.0f));
    EXPECT_TRUE(pSprite->isFinished());
    EXPECT_FALSE(pSprite->hasFrameChanged());
    EXPECT_FALSE(pSprite->isPlaying());
    EXPECT_EQ(1, pSprite->getFrame());
    EXPECT_FALSE(pSprite->update(1.0f));
    EXPECT_FALSE(pSprite->isFinished());
}

TEST_F(AnimSpriteTest, RateFormsOfPlay) {
    Tsl::SmartPtr<Animation> pAnimation = makeAnimation("default", {2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
                                                        4, true);
    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(pAnimation, 0, 0);
    struct Case {
        float fFps;
        int nLoop;
        float fFirstFrame;
        bool bLoop;
    } cases[] = {
        {0.0f, -1, 0.5f, true},     // the sequence's own rate (4) and loop flag
        {8.0f, 0, 0.25f, false},    // a given rate, repeat 2
        {-2.0f, -1, 0.25f, true},   // one pass in 2 s over 16 frames, repeat 2
    };
    for (const Case& c : cases) {
        pSprite->play("default", c.fFps, c.nLoop);
        EXPECT_EQ(c.fFirstFrame, pSprite->getFrameTimeLeft()) << c.fFps;
        EXPECT_EQ(c.bLoop, pSprite->isLooping()) << c.fFps;
    }
    pAnimation->setSequenceFps("default", 0);
    pSprite->play("default", 0, -1);  // no rate anywhere: shown, not played
    EXPECT_FALSE(pSprite->isPlaying());
    EXPECT_TRUE(pSprite->isVisible());
}

TEST_F(AnimSpriteTest, HiddenSpritesDoNotAdvanceAndResumeWhenShown) {
    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(makeAnimation("s", {1, 1}, 4, true), 0, 0);
    pSprite->setVisible(false);
    EXPECT_FALSE(pSprite->update(1.0f));
    EXPECT_EQ(0, pSprite->getFrame());
    pSprite->setVisible(true);
    EXPECT_TRUE(pSprite->update(0.25f));
    EXPECT_EQ(1, pSprite->getFrame());
}

TEST_F(AnimSpriteTest, SetFrameShowsAFrameWithItsOwnOrAGivenTimeAndIgnoresBadIndexes) {
    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(makeAnimation("s", {1, 1, 1, 1, 1, 1}, 8, true), 0, 0);
    pSprite->setFrame(5, 0);
    EXPECT_EQ(5, pSprite->getFrame());
    EXPECT_EQ(0.125f, pSprite->getFrameTimeLeft());
    EXPECT_EQ(6, pSprite->getImage()->getWidth());
    pSprite->setFrame(5, 0.03125f);
    EXPECT_EQ(0.03125f, pSprite->getFrameTimeLeft());
    for (int nBad : {6, -1, 1000}) {
        pSprite->setFrame(nBad, 0);
        EXPECT_EQ(5, pSprite->getFrame());
    }
    EXPECT_TRUE(pSprite->update(0.0625f));
    EXPECT_EQ(0, pSprite->getFrame());
}

TEST_F(AnimSpriteTest, NothingToPlayHidesTheSprite) {
    Tsl::SmartPtr<AnimSprite> pEmpty = new AnimSprite(new Animation(10), 0, 0);
    EXPECT_FALSE(pEmpty->isVisible());
    EXPECT_FALSE(pEmpty->update(1.0f));

    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(makeAnimation("walk", {1}, 8, true), 0, 0);
    EXPECT_TRUE(pSprite->isVisible());
    pSprite->play("missing", 0, -1);
    EXPECT_FALSE(pSprite->isVisible());
    EXPECT_FALSE(pSprite->isPlaying());
    EXPECT_EQ(Tsl::String("walk"), pSprite->getSequenceName());
    pSprite->play("walk", 0, -1);
    EXPECT_TRUE(pSprite->isVisible());
    pSprite->setAnimation(makeAnimation("run", {1}, 8, true));  // no "default"
    EXPECT_FALSE(pSprite->isVisible());

    // A new animation whose sequence of the current name has no frames: a
    // restart and a fade back in must not make it play.
    pSprite->play("walk", 0, -1);
    pSprite->setAnimation(makeAnimation("walk", {}, 8, true));
    pSprite->start();
    pSprite->setVisible(true);
    EXPECT_FALSE(pSprite->isPlaying());
    EXPECT_FALSE(pSprite->update(1.0f));
}

TEST_F(AnimSpriteTest, FramesWithoutLengthAndHugeStepsNeverSpin) {
    Tsl::SmartPtr<AnimSprite> pZero = new AnimSprite(makeAnimation("s", {0, 0, 0}, 8, true), 0, 0);
    EXPECT_TRUE(pZero->update(0.125f));
    EXPECT_TRUE(pZero->update(0.125f));

    Tsl::SmartPtr<AnimSprite> pLong = new AnimSprite(makeAnimation("s", {1, 1, 1, 1}, 8, true), 0, 0);
    EXPECT_TRUE(pLong->update(1000.0625f));  // 2000 passes of 0.5 s, then half a frame
    EXPECT_EQ(0, pLong->getFrame());
    EXPECT_TRUE(pLong->update(0.125f));
    EXPECT_EQ(1, pLong->getFrame());
}

TEST_F(AnimSpriteTest, FramePropertiesOfTheCurrentAndEarlierFrames) {
    Tsl::SmartPtr<Animation> pAnimation = makeAnimation("arm", {1, 1, 1}, 8, false);
    pAnimation->setFrameProp("arm", 0, "hand", "open");
    pAnimation->setFrameProp("arm", 2, "doaction", "");
    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(pAnimation, 0, 0);
    pSprite->setFrame(1, 0);
    EXPECT_FALSE(pSprite->hasFrameProp("doaction"));
    EXPECT_EQ(Tsl::String(""), pSprite->getFrameProp("hand"));
    EXPECT_EQ(Tsl::String("open"), pSprite->findFrameProp("hand"));
    pSprite->setFrame(2, 0);
    EXPECT_TRUE(pSprite->hasFrameProp("doaction"));
    EXPECT_EQ(Tsl::String(""), pSprite->findFrameProp("missing"));
}
