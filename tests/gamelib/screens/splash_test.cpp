// The splash: items in turn for their time, skipped by a click or a key,
// broken items left out, the exit confirmation switched on at the end.
#include "screens_support.h"

#include "screens/splashscreen.h"

#include "tsl2/resource.h"

#include <cstdio>
#include <fstream>

namespace {

struct SplashTest : ScreensTest {
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pFiles = new Tsl::MemoryResourceProvider("files");
    Tsl::SmartPtr<RecordingMode> pBelow;

    void SetUp() override {
        ScreensTest::SetUp();
        Tsl::SmartPtr<Image> pPicture = app.createImage(200, 100, true);
        app.addImage("logo", pPicture);
        app.addImage("studio", app.createImage(40, 40, true));
        const char* pszBroken = "\x89PNG\r\n\x1a\nnot a picture at all";
        pFiles->add("broken.png", pszBroken, 28);
        app.addResourceProvider(pFiles);
        pBelow = new RecordingMode("below", MF_ACTIVE | MF_VISIBLE, &app.m_log);
        app.pushMode(pBelow);
    }
    void step(int nFrames) {
        for (int i = 0; i < nFrames; ++i) {
            app.m_pFakePlatform->m_nTicks += 250;
            app.runFrame();
        }
    }
};

TEST_F(SplashTest, ShowsEachGoodItemForItsTimeSkippingBrokenOnesAndThenEnds) {
    Tsl::SmartPtr<SplashScreen> pSplash = new SplashScreen();
    pSplash->addImage("missing");
    pSplash->addImage("logo");
    pSplash->addImage("broken");
    pSplash->addMovie("/nowhere/intro.ogv");
    pSplash->addFlash("intro.swf");  // no Flash control here: left out
    pSplash->addImage("studio", 1.0f);
    EXPECT_EQ(5, pSplash->getItemCount());
    app.pushMode(pSplash);
    EXPECT_EQ(1, pSplash->getCurrentItem());
    EXPECT_FALSE(app.getConfirmExit());
    app.setFrameRate(0);
    // Each frame 0.25 s, the first one (a longer wait) clamped to it too.
    app.setMaxFrameTime(0.25f, true);
    step(11);
    EXPECT_EQ(1, pSplash->getCurrentItem());
    step(1);  // 3.0 s
    EXPECT_EQ(4, pSplash->getCurrentItem());
    step(4);
    EXPECT_EQ(-1, pSplash->getCurrentItem());
    EXPECT_TRUE(app.getConfirmExit());
    EXPECT_EQ(pBelow, app.getModeAt(0));
    // The screen below was neither updated meanwhile.
    EXPECT_TRUE(pBelow->m_aDts.empty());
}

TEST_F(SplashTest, AClickOrAKeySkipsTheCurrentItem) {
    Tsl::SmartPtr<SplashScreen> pSplash = new SplashScreen();
    pSplash->addImage("logo");
    pSplash->addImage("studio");
    app.pushMode(pSplash);
    click(5, 5);
    EXPECT_EQ(1, pSplash->getCurrentItem());
    press(SDLK_SPACE);
    EXPECT_EQ(-1, pSplash->getCurrentItem());
    EXPECT_EQ(pBelow, app.getModeAt(0));
    EXPECT_TRUE(app.getConfirmExit());
}

TEST_F(SplashTest, NothingToShowEndsAtTheFirstUpdate) {
    Tsl::SmartPtr<SplashScreen> pSplash = new SplashScreen();
    pSplash->addImage("missing");
    app.pushMode(pSplash);
    EXPECT_EQ(pSplash, app.getModeAt(0));
    app.runFrame();
    EXPECT_EQ(pBelow, app.getModeAt(0));
    EXPECT_TRUE(app.getConfirmExit());
}

} // namespace
