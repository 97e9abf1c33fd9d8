// The ".anim" writer: what it writes, and that the reader reads it back.
#include "anim_fixture.h"
#include "anim/animationsaver.h"

#include "tsl2/memstream.h"
#include "tsl2/resourcefile.h"

#include <memory>

struct AnimationWriterTest : AnimFixture {
    std::unique_ptr<Tsl::MemStream> m_pArchiveBytes{new Tsl::MemStream()};
    std::unique_ptr<Tsl::ResourceFileCompiler> m_pCompiler{new Tsl::ResourceFileCompiler(m_pArchiveBytes.get(), false)};

    // Finishes the archive and makes it a resource provider of the application.
    Tsl::SmartPtr<Tsl::ResourceFile> openArchive() {
        m_pCompiler->finish();
        Tsl::SmartPtr<Tsl::ResourceFile> pArchive = new Tsl::ResourceFile(m_pArchiveBytes->createReadStream(), true);
        app.addResourceProvider(pArchive.get());
        return pArchive;
    }

    // A picture whose pixels all differ, alpha included.
    Tsl::SmartPtr<Image> makePainted(int nWidth, int nHeight, int nSeed) {
        Tsl::SmartPtr<Image> pImage = app.createImage(nWidth, nHeight, true);
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
                pImage->setColorAt(x, y, Color(x * 40 + nSeed, y * 30, nSeed, 100 + x + y));
        return pImage;
    }
};

TEST_F(AnimationWriterTest, TheTextFollowsTheFormatLineByLine) {
    Tsl::SmartPtr<Animation> p = new Animation(8);
    Tsl::SmartPtr<Image> pImage = makePainted(2, 2, 1);
    pImage->setInsPoint(1, 2);
    p->createSequence("walk", true, 8);
    p->addFrame("walk", pImage, 1);
    p->addFrame("walk", pImage, 3);
    p->setFrameProp("walk", 1, "doaction", "");
    p->createSequence("run", false, 12);

    AnimationSaver saver;
    saver.begin(p, m_pCompiler.get(), "hero.anim");
    int nLines = 0;
    while (!saver.isDone()) nLines += saver.step();
    EXPECT_EQ(2, m_pCompiler->getEntryCount());  // the text and the one picture
    Tsl::SmartPtr<Tsl::ResourceFile> pArchive = openArchive();
    Tsl::String sText = pArchive->getResource("hero.anim")->getString();
    std::string sWalk = "seq walk loop\nload hero.anim_0_0.bbb\ninspos 1 2 hero.anim_0_0.bbb\n"
                        "add hero.anim_0_0.bbb\nadd hero.anim_0_0.bbb repeat 3\nprop doaction \n";
    std::string sRun = "seq run fps 12.00\n";
    std::string sSequences = p->getSequenceNames().getFirst() == "walk" ? sWalk + sRun : sRun + sWalk;
    EXPECT_EQ("fps  8.00\ndefault " + std::string(p->getDefaultSequence()) + "\n" + sSequences,
              std::string(sText.c_str()));
    EXPECT_EQ(7, nLines);  // the rate and default lines come from begin
    EXPECT_TRUE(pArchive->hasResource("hero.anim_0_0.bbb.tga"));
}

TEST_F(AnimationWriterTest, WhatIsWrittenReadsBackTheSame) {
    Tsl::SmartPtr<Animation> p = new Animation(10);
    p->setProp("owner", "barman");
    Tsl::SmartPtr<Image> pA = makePainted(3, 2, 5), pB = makePainted(2, 4, 9);
    pA->setInsPoint(1, -2);
    p->createSequence("walk", true, 10);
    p->addFrame("walk", pA, 1);
    p->addFrame("walk", pB, 3);
    p->addFrame("walk", pA, 2);
    p->setFrameProp("walk", 1, "sound", "step");
    p->setFrameProp("walk", -1, "kind", "loop");
    p->createSequence("wave", false, 4.5f);
    p->addFrame("wave", pB, 1);
    p->addSequence("stroll", p->getSequence("walk"));
    // Rate 0, which a seq line cannot say.
    p->createSequence("still", false, 10);
    p->setSequenceFps("still", 0.0f);
    p->addFrame("still", pA, 1);
    p->getSequence("still")->setProp("pose", "idle");
    p->setDefaultSequence("wave");

    AnimationSaver().save(p, m_pCompiler.get(), "Barman.anim");
    openArchive();
    Tsl::SmartPtr<Animation> q = AnimationLoader().load("Barman.anim");

    EXPECT_EQ(10.0f, q->getFps());
    EXPECT_EQ(Tsl::String("wave"), q->getDefaultSequence());
    EXPECT_EQ(Tsl::String("barman"), q->getProp("owner"));
    for (const char* pszSequence : {"walk", "stroll"}) {
        EXPECT_TRUE(q->isSequenceLooped(pszSequence));
        EXPECT_EQ(10.0f, q->getSequenceFps(pszSequence));
        ASSERT_EQ(3, q->getFrameCount(pszSequence));
        EXPECT_EQ(3, q->getFrameRepeat(pszSequence, 1));
        EXPECT_EQ(2, q->getFrameRepeat(pszSequence, 2));
        EXPECT_EQ(Tsl::String("step"), q->getFrameProp(pszSequence, 1, "sound"));
        EXPECT_EQ(Tsl::String("loop"), q->getFrameProp(pszSequence, 0, "kind"));
        EXPECT_EQ(q->getFrameImage(pszSequence, 0).get(), q->getFrameImage(pszSequence, 2).get());
    }
    EXPECT_FALSE(q->isSequenceLooped("wave"));
    EXPECT_EQ(4.5f, q->getSequenceFps("wave"));
    EXPECT_EQ(0.0f, q->getSequenceFps("still"));
    EXPECT_EQ(Tsl::String("idle"), q->getSequence("still")->getProp("pose"));
    Tsl::SmartPtr<Image> pReadA = q->getFrameImage("walk", 0);
    EXPECT_EQ(Point(1, -2), pReadA->getInsPoint());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pA->getColorAt(x, y), pReadA->getColorAt(x, y)) << x << "," << y;
    EXPECT_EQ(pB->getColorAt(1, 3), q->getFrameImage("wave", 0)->getColorAt(1, 3));
}

// The reader resets a loaded picture's insertion point: one off the origin on
// a single axis must be written too.
TEST_F(AnimationWriterTest, AnInsertionPointOnOneAxisAloneReadsBack) {
    const Point aPoints[] = {Point(3, 0), Point(0, -4), Point(0, 0)};
    for (const Point& point : aPoints) {
        Tsl::SmartPtr<Animation> p = new Animation(10);
        Tsl::SmartPtr<Image> pImage = makePainted(2, 2, 3);
        pImage->setInsPoint(static_cast<int>(point.x), static_cast<int>(point.y));
        p->createSequence("still", false, 10);
        p->addFrame("still", pImage, 1);
        std::string sName = "axis" + std::to_string(static_cast<int>(point.x)) + std::to_string(static_cast<int>(point.y));
        AnimationSaver().save(p, m_pCompiler.get(), (sName + ".anim").c_str());
    }
    openArchive();
    for (const Point& point : aPoints) {
        std::string sName = "axis" + std::to_string(static_cast<int>(point.x)) + std::to_string(static_cast<int>(point.y));
        Tsl::SmartPtr<Animation> q = AnimationLoader().load((sName + ".anim").c_str());
        EXPECT_EQ(point, q->getFrameImage("still", 0)->getInsPoint()) << sName;
    }
}

TEST_F(AnimationWriterTest, ValuesThatWouldNotReadBackAreRefusedAndNothingIsStored) {
    for (const char* pszValue : {"two words", "tab\there", "hash#tag"}) {
        Tsl::SmartPtr<Animation> p = new Animation(10);
        p->addFrame("s", makeImage(1), 1);
        p->setFrameProp("s", 0, "note", pszValue);
        EXPECT_THROW(AnimationSaver().save(p, m_pCompiler.get(), "bad.anim"), Tsl::BadParmException) << pszValue;
    }
    EXPECT_EQ(0, m_pCompiler->getEntryCount());  // refused before anything was written
    AnimationSaver().save(new Animation(10), m_pCompiler.get(), "empty.anim");
    EXPECT_EQ(0, m_pCompiler->getEntryCount());
}
