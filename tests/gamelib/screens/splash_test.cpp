// The splash: items in turn for their time, skipped by a click or a key,
// broken items left out, the exit confirmation switched on at the end.
#include "screens_support.h"

#include "screens/splashscreen.h"

#include "tsl2/resource.h"

namespace {

struct SplashTest : ScreensTest {
    Tsl::SmartPtr<RecordingMode> pBelow;
    Tsl::SmartPtr<SplashScreen> pSplash = new SplashScreen();

    void SetUp() override {
        ScreensTest::SetUp();
        app.addImage("logo", app.createImage(200, 100, true));
        app.addImage("studio", app.createImage(40, 40, true));
        Tsl::SmartPtr<Tsl::MemoryResourceProvider> pFiles = new Tsl::MemoryResourceProvider();
        pFiles->add("broken.png", "\x89PNG\r\n\x1a\nnot a picture at all", 28);
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
    for (const char* pszImage : {"missing", "logo", "broken"}) pSplash->addImage(pszImage);
    pSplash->addMovie("/nowhere/intro.ogv");
    pSplash->addFlash("intro.swf");  // no Flash control here: left out
    pSplash->addImage("studio", 1.0f);
    EXPECT_EQ(5, pSplash->getItemCount());
    app.pushMode(pSplash);
    EXPECT_EQ(1, pSplash->getCurrentItem());
    app.setFrameRate(0);
    app.setMaxFrameTime(0.25f, true);  // the first, longer frame too
    step(11);
    EXPECT_EQ(1, pSplash->getCurrentItem());
    step(1);  // 3.0 s
    EXPECT_EQ(4, pSplash->getCurrentItem());
    EXPECT_FALSE(app.getConfirmExit());
    step(4);
    EXPECT_TRUE(app.getConfirmExit());
    EXPECT_EQ(pBelow, app.getModeAt(0));
    EXPECT_TRUE(pBelow->m_aDts.empty());  // never updated under the splash
}

TEST_F(SplashTest, AClickOrAKeySkipsTheCurrentItemAndNothingToShowEndsAtOnce) {
    pSplash->addImage("logo");
    pSplash->addImage("studio");
    app.pushMode(pSplash);
    click(5, 5);
    EXPECT_EQ(1, pSplash->getCurrentItem());
    press(SDLK_SPACE);
    EXPECT_EQ(pBelow, app.getModeAt(0));
    EXPECT_TRUE(app.getConfirmExit());

    Tsl::SmartPtr<SplashScreen> pEmpty = new SplashScreen();
    pEmpty->addImage("missing");
    app.pushMode(pEmpty);
    app.runFrame();
    EXPECT_EQ(pBelow, app.getModeAt(0));
}

} // namespace
