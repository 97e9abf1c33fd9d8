// The animation controller plays the sprite and the "sound" of every frame entered.
#include "fakes.h"
#include "anim/animsprite.h"
#include "effects/animcontroller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingAudio : DummyAudioDriver {
    std::vector<Sample*> played;
    int playSample(Tsl::SmartPtr<Sample> pSample, bool, int) override {
        played.push_back(pSample.get());
        return -1;
    }
};

struct SoundPlatform : FakePlatform {
    RecordingAudio audio;
    explicit SoundPlatform(EventLog* pLog) : FakePlatform(pLog) {}
    IAudioDriver* getAudioDriver() override { return &audio; }
};

struct SoundApp : EventLogHolder, GameApp {
    SoundPlatform* pPlatform = new SoundPlatform(&m_log);
    SoundApp() { setPlatform(pPlatform); }
};

struct PlayAnimationTest : ::testing::Test {
    SoundApp app;
    Tsl::SmartPtr<GameMode> pMode = new GameMode();
    Tsl::SmartPtr<AnimSprite> pSprite;

    void SetUp() override { ASSERT_TRUE(app.init(800, 600, 0)); }
    void TearDown() override { pMode->removeAllSprites(); }

    // Four frames at 4 fps; frame i sounds "s<i>" for the frames listed.
    void makeSprite(bool bLoop, std::initializer_list<int> soundFrames) {
        Tsl::SmartPtr<Animation> pAnimation = new Animation(4.0f);
        pAnimation->createSequence("default", bLoop, 4.0f);
        for (int i = 0; i < 4; ++i) pAnimation->addFrame("default", app.createImage(i + 1, 1, true), 1);
        for (int i : soundFrames)
            pAnimation->setFrameProp("default", i, "sound", ("s" + std::to_string(i)).c_str());
        pSprite = new AnimSprite(pAnimation, 0, 0);
        pMode->addSprite(pSprite);
    }
    // The sound names played since the last call.
    std::string sounds() {
        std::string s;
        for (Sample* p : app.pPlatform->audio.played)
            for (int i = 0; i < 4; ++i)
                if (p == app.getSample(("s" + std::to_string(i)).c_str()).get()) s += (s.empty() ? "s" : " s") + std::to_string(i);
        app.pPlatform->audio.played.clear();
        return s;
    }
};

TEST_F(PlayAnimationTest, FramesEnteredSoundOnceEachAndTheFirstFrameOnlyAfterAWrap) {
    makeSprite(true, {0, 1, 2, 3});
    SCPlayAnimation* pPlay = new SCPlayAnimation(false, false);
    pSprite->addController(pPlay);
    pSprite->updateControllers(0.125f);
    EXPECT_EQ("", sounds()) << "the frame shown before the first step is never sounded";
    pSprite->updateControllers(0.125f);
    EXPECT_EQ("s1", sounds());
    // Frame 1 to frame 0 wraps: 2, 3 and 0.
    pSprite->updateControllers(0.75f);
    EXPECT_EQ("s2 s3 s0", sounds());
    // Twice as fast: a quarter second is two frames.
    pPlay->setSpeed(2.0f);
    pSprite->updateControllers(0.25f);
    EXPECT_EQ("s1 s2", sounds());
    pPlay->setSpeed(0.0f);
    pSprite->updateControllers(1.0f);
    EXPECT_EQ("", sounds());
    EXPECT_EQ(2, pSprite->getFrame());
    EXPECT_EQ(1, pSprite->getControllerCount()) << "a looping sequence keeps it";
}

TEST_F(PlayAnimationTest, AOneShotEndsTheControllerAndMayRemoveTheSprite) {
    makeSprite(false, {3});
    pSprite->addController(new SCPlayAnimation(true, true));
    pSprite->updateControllers(0.75f);
    EXPECT_EQ("s3", sounds());
    EXPECT_TRUE(pSprite->getOwnerMode());
    pSprite->updateControllers(0.25f);
    EXPECT_EQ(0, pSprite->getControllerCount());
    EXPECT_FALSE(pSprite->getOwnerMode());

    Tsl::SmartPtr<Sprite> pPlain = new Sprite(0, 0);
    SCPlayAnimation play(false, false);
    try {
        play.step(0.1f, pPlain);
        FAIL() << "a plain sprite is no animated sprite";
    } catch (const Tsl::AssertFailException& e) {
        EXPECT_STREQ("Assertion failed : pAS", e.getMessage());
    }
}

} // namespace
