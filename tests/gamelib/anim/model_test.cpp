// The animation model: sequences, frames, the property chain.
#include "anim_fixture.h"

typedef AnimFixture AnimationModelTest;

TEST_F(AnimationModelTest, RateDefaultsToTheApplicationsAndSequencesInheritIt) {
    EXPECT_EQ(60.0f, Animation(0).getFps());
    Animation animation(12);
    EXPECT_EQ(12.0f, animation.getFps());
    EXPECT_EQ(0, animation.addFrame("walk", makeImage(1), 1));
    EXPECT_FALSE(animation.isSequenceLooped("walk"));
    EXPECT_EQ(12.0f, animation.getSequenceFps("walk"));
    EXPECT_EQ(8.0f, animation.createSequence("run", true, 8)->getFps());
    EXPECT_EQ(12.0f, animation.createSequence("idle", true, 0)->getFps());
}

TEST_F(AnimationModelTest, DefaultSequenceFallsBackToTheFirstNameAndKeepsIt) {
    Animation animation(10);
    EXPECT_THROW(animation.getDefaultSequence(), Tsl::FatalErrorException);
    animation.createSequence("b", false, 0);
    Tsl::String sFirst = animation.getDefaultSequence();
    animation.createSequence("a", false, 0);
    animation.createSequence("c", false, 0);
    EXPECT_EQ(sFirst, animation.getDefaultSequence());
}

TEST_F(AnimationModelTest, PropertiesClimbFromFrameToSequenceToAnimation) {
    Tsl::SmartPtr<Animation> pAnimation = makeAnimation("arm", {1, 1}, 10, false);
    pAnimation->setProp("sound", "whoosh");
    pAnimation->setFrameProp("arm", 1, "sound", "clink");
    pAnimation->setFrameProp("arm", -1, "doaction", "");
    EXPECT_EQ(Tsl::String("whoosh"), pAnimation->getFrameProp("arm", 0, "sound"));
    EXPECT_EQ(Tsl::String("clink"), pAnimation->getFrameProp("arm", 1, "sound"));
    EXPECT_TRUE(pAnimation->hasFrameProp("arm", 0, "doaction"));
    EXPECT_FALSE(pAnimation->getFrameData("arm", 0)->hasProp("doaction", false));
    EXPECT_FALSE(pAnimation->hasFrameProp("arm", 0, "missing"));
    EXPECT_EQ(Tsl::String(""), pAnimation->getFrameProp("arm", 0, "missing"));
    EXPECT_THROW(pAnimation->getFrameProp("leg", 0, "sound"), Tsl::FatalErrorException);
    EXPECT_THROW(pAnimation->getFrameProp("arm", 2, "sound"), Tsl::FatalErrorException);
}

TEST_F(AnimationModelTest, AliasesShareTheSequenceAndDuplicatesAreRefused) {
    Tsl::SmartPtr<Animation> pAnimation = makeAnimation("walk", {1}, 10, true);
    pAnimation->setName("girl.anim");
    pAnimation->addSequence("stroll", pAnimation->getSequence("walk"));
    EXPECT_EQ(pAnimation->getSequence("walk").get(), pAnimation->getSequence("stroll").get());
    try {
        pAnimation->addSequence("walk", pAnimation->getSequence("walk"));
        FAIL();
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_STREQ("girl.anim already has seq walk", e.getMessage());
    }
}

TEST_F(AnimationModelTest, ImagesAreListedOnceInOrderOfFirstUse) {
    Animation animation(10);
    Tsl::SmartPtr<Image> pA = makeImage(1), pB = makeImage(2);
    animation.addFrame("s", pA, 1);
    animation.addFrame("s", pB, 1);
    animation.addFrame("s", pA, 2);
    Tsl::List<Tsl::SmartPtr<Image>> lImages = animation.getImages();
    ASSERT_EQ(2, lImages.getCount());
    EXPECT_EQ(pA.get(), lImages.getAt(0).get());
    EXPECT_EQ(pB.get(), lImages.getAt(1).get());
}

TEST_F(AnimationModelTest, AHeldSequenceOutlivesItsAnimationSafely) {
    Tsl::SmartPtr<Sequence> pSequence;
    {
        Tsl::SmartPtr<Animation> pAnimation = makeAnimation("s", {1}, 10, false);
        pAnimation->setProp("k", "v");
        pSequence = pAnimation->getSequence("s");
        EXPECT_EQ(Tsl::String("v"), pSequence->getFrame(0)->getProp("k"));
    }
    EXPECT_FALSE(pSequence->getFrame(0)->hasProp("k"));
}
