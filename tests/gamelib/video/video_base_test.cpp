// Mode search, side bars and mouse mapping of the SDL video driver base.
#include "sdl_fixtures.h"

#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "platform/x11window.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class MappedPlatform : public SDLPlatform {
public:
    int nMouseX = 0, nMouseY = 0;
    std::vector<std::pair<int, int>> warps;
    using SDLPlatform::pollMouse;

protected:
    void queryMouseState(int* pX, int* pY) override {
        *pX = nMouseX;
        *pY = nMouseY;
    }
    void warpMouse(Uint16 nX, Uint16 nY) override { warps.emplace_back(nX, nY); }
};

class VideoBase : public ::testing::Test {
protected:
    void SetUp() override {
        pPlatform = new MappedPlatform();
        pDriver = new FakeVideoDriver();
        pPlatform->setVideoDriver(pDriver);
        app.setPlatform(pPlatform);
        pPlatform->init();
        pDriver->init(nullptr);
    }
    // The attempts as "WxH@bpp F|W".
    std::vector<std::string> attempts() const {
        std::vector<std::string> lOut;
        for (const FakeVideoDriver::Attempt& a : pDriver->attempts)
            lOut.push_back(std::to_string(a.nWidth) + "x" + std::to_string(a.nHeight) + "@" +
                           std::to_string(a.nBpp) + (a.bFullScreen ? " F" : " W"));
        return lOut;
    }
    void logicalOf(int nWindowX, int nWindowY, int* pX, int* pY) {
        pPlatform->nMouseX = nWindowX;
        pPlatform->nMouseY = nWindowY;
        pPlatform->pollMouse();
        pPlatform->getMousePosition(pX, pY);
    }

    RecordingApp app;
    MappedPlatform* pPlatform = nullptr;
    FakeVideoDriver* pDriver = nullptr;
};

typedef std::vector<std::string> Strings;

TEST_F(VideoBase, WideDesktopFullScreenTriesModesClosestToItsAspect) {
    pDriver->ptDesktop = Point(1280.0f, 720.0f);
    pDriver->bOpenSurface = false;
    pDriver->modes = {{0, 0, 1280, 1024}, {0, 0, 640, 480}, {0, 0, 1920, 1080},
                      {0, 0, 1024, 768},  {0, 0, 800, 600}, {0, 0, 1280, 720}};
    pDriver->failing = {"1280x720", "1920x1080"};
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_FULLSCREEN | VMF_DEPTH_32));
    Strings lExpected = {"1280x720@32 F", "1280x720@24 F", "1280x720@16 F", "1280x720@0 F",
                         "1920x1080@32 F", "1920x1080@24 F", "1920x1080@16 F", "1920x1080@0 F",
                         "800x600@32 F"};
    EXPECT_EQ(lExpected, attempts());
    EXPECT_TRUE(pDriver->isFullScreen());
    EXPECT_EQ(800, pDriver->getActualWidth());
    EXPECT_EQ(0, pDriver->getBarWidth());
    EXPECT_EQ(0, pDriver->getSideBars().getCount());
}

TEST_F(VideoBase, NarrowDesktopAndDesktopSizedWindowsTryOneSize) {
    pDriver->bOpenSurface = false;
    pDriver->ptDesktop = Point(1024.0f, 768.0f);
    pDriver->modes = {{0, 0, 1024, 768}};
    pDriver->failing = {"800x600"};
    EXPECT_FALSE(pDriver->setVideoMode(800, 600, VMF_FULLSCREEN | VMF_DEPTH_16));
    // Full screen first, then a window; each with the four depths for 16 bits.
    EXPECT_EQ((Strings{"800x600@16 F", "800x600@24 F", "800x600@32 F", "800x600@0 F", "800x600@16 W",
                       "800x600@24 W", "800x600@32 W", "800x600@0 W"}),
              attempts());

    // A window as large as the desktop goes straight to full screen.
    pDriver->attempts.clear();
    pDriver->failing.clear();
    pDriver->ptDesktop = Point(800.0f, 600.0f);
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_DEPTH_24));
    EXPECT_EQ((Strings{"800x600@24 F"}), attempts());
    EXPECT_TRUE(pDriver->isFullScreen());
}

TEST_F(VideoBase, TwentyFourBitsFallBackThroughEveryDepth) {
    pDriver->bOpenSurface = false;
    pDriver->failing = {"800x600@24", "800x600@32"};
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_DEPTH_24));
    EXPECT_EQ((Strings{"800x600@24 W", "800x600@32 W", "800x600@16 W"}), attempts());
    EXPECT_FALSE(pDriver->isFullScreen());
}

TEST_F(VideoBase, SideBarsCoverExactlyTheColumnsOutsideTheLogicalScreen) {
    pDriver->bOpenSurface = false;
    pDriver->ptDesktop = Point(1280.0f, 720.0f);
    pDriver->modes = {{0, 0, 1280, 720}};
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_FULLSCREEN));
    EXPECT_EQ(1066, pDriver->getLogicalScreenWidth());
    EXPECT_EQ(133, pDriver->getBarWidth());
    ASSERT_EQ(2, pDriver->getSideBars().getCount());
    const Rect& left = *pDriver->getSideBars().getAt(0);
    const Rect& right = *pDriver->getSideBars().getAt(1);
    EXPECT_EQ(Rect(-133, 0, 0, 600), left);
    EXPECT_EQ(Rect(800, 0, 933, 600), right);
    // Bars plus screen span the whole window, without overlap.
    EXPECT_EQ(pDriver->getLogicalScreenWidth(),
              (left.right - left.left) + pDriver->getWidth() + (right.right - right.left));

    EXPECT_EQ(Point(1.2f, 1.2f), pDriver->getScreenScale());
    EXPECT_EQ(Point(160.0f, 0.0f), pDriver->getScreenOffset());
}

// The only mode that opens is narrower than 4:3: it shows the whole logical screen, scaled to the
// width, with bars above and below; the mouse maps onto it exactly.
TEST_F(VideoBase, NarrowModeKeepsTheWholeLogicalScreenWithBarsAboveAndBelow) {
    pDriver->bOpenSurface = false;
    pDriver->ptDesktop = Point(1920.0f, 1080.0f);
    pDriver->modes = {{0, 0, 1280, 1024}};
    pDriver->failing = {"800x600"};
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_FULLSCREEN));
    ASSERT_EQ(1280, pDriver->getActualWidth());
    ASSERT_EQ(1024, pDriver->getActualHeight());
    EXPECT_EQ(800, pDriver->getLogicalScreenWidth());
    EXPECT_EQ(0, pDriver->getBarWidth());
    EXPECT_EQ(640, pDriver->getLogicalScreenHeight());
    EXPECT_EQ(20, pDriver->getBarHeight());
    ASSERT_EQ(2, pDriver->getSideBars().getCount());
    EXPECT_EQ(Rect(0, -20, 800, 0), *pDriver->getSideBars().getAt(0));
    EXPECT_EQ(Rect(0, 600, 800, 620), *pDriver->getSideBars().getAt(1));

    pPlatform->updateMouseMapping();
    const int aCases[][4] = {{0, 32, 0, 0}, {1279, 991, 799, 599}, {640, 512, 400, 300}, {1276, 40, 797, 5}};
    for (const auto& c : aCases) {
        int nX = -1, nY = -1;
        logicalOf(c[0], c[1], &nX, &nY);
        EXPECT_EQ(c[2], nX) << c[0] << "," << c[1];
        EXPECT_EQ(c[3], nY) << c[0] << "," << c[1];
    }
}

TEST_F(VideoBase, UnknownDesktopStillOpensAWindow) {
    pDriver->ptDesktop = Point(0.0f, 0.0f);
    ASSERT_TRUE(pDriver->setVideoMode(640, 480, 0));
    EXPECT_EQ((Strings{"640x480@32 W"}), attempts());
    EXPECT_FALSE(pDriver->isWideDesktop());
    ASSERT_NE(nullptr, SDL_GetVideoSurface());
    EXPECT_EQ(640, SDL_GetVideoSurface()->w);
}

TEST_F(VideoBase, IndirectColourModeIsRefused) {
    pDriver->bOpenSurface = false;
    pDriver->nScreenBpp = 8;
    try {
        pDriver->setVideoMode(800, 600, 0);
        FAIL() << "an 8-bit mode was accepted";
    } catch (const Tsl::Exception& e) {
        EXPECT_STREQ("Couldn't get a direct color video mode [actual BPP = 8]", e.getMessage());
    }
}

TEST_F(VideoBase, FullScreenTogglesOnlyOnChangeAndDepthKeepsTheRest) {
    pDriver->bOpenSurface = false;
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_FULLSCREEN | VMF_BORDERLESS));
    pDriver->attempts.clear();
    pDriver->setFullScreen(true);
    EXPECT_TRUE(pDriver->attempts.empty());
    pDriver->setFullScreen(false);
    EXPECT_FALSE(pDriver->isFullScreen());
    pDriver->setColorDepth(16);
    EXPECT_EQ(VMF_BORDERLESS | VMF_DEPTH_16, pDriver->getModeFlags());
    pDriver->setCaption("Beach \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Tsl::String("Beach \xC3\xA9t\xC3\xA9"), pDriver->getCaption());
}

TEST_F(VideoBase, MouseMappingAppliesTheScaleFactorOnce) {
    int nX = -1, nY = -1;
    // Before any mode: only the factor is known, and a zero factor divides nothing.
    pPlatform->setScaleFactor(0.0f);
    logicalOf(100, 50, &nX, &nY);
    EXPECT_EQ(100, nX);
    pPlatform->setScaleFactor(2.0f);
    EXPECT_EQ(2.0f, pDriver->getScaleFactor());
    logicalOf(100, 50, &nX, &nY);
    EXPECT_EQ(50, nX);
    EXPECT_EQ(25, nY);

    // A doubled window: the display scale already holds the factor.
    pDriver->bOpenSurface = false;
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, 0));
    EXPECT_EQ(1600, pDriver->getActualWidth());
    pPlatform->updateMouseMapping();
    logicalOf(100, 50, &nX, &nY);
    EXPECT_EQ(50, nX);
    EXPECT_EQ(25, nY);
    pPlatform->setMousePosition(50, 25);
    ASSERT_FALSE(pPlatform->warps.empty());
    EXPECT_EQ(std::make_pair(100, 50), pPlatform->warps.back());
}

TEST_F(VideoBase, FullScreenClampsTheCursorOntoTheLogicalScreen) {
    pDriver->bOpenSurface = false;
    pDriver->ptDesktop = Point(1280.0f, 720.0f);
    pDriver->modes = {{0, 0, 1280, 720}};
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_FULLSCREEN));
    pPlatform->updateMouseMapping();
    int nX = -1, nY = -1;
    logicalOf(281, 61, &nX, &nY);
    EXPECT_EQ(100, nX);
    EXPECT_EQ(50, nY);

    // In the left bar: clamped to column 0, warped back, and the frame's move dropped.
    pPlatform->warps.clear();
    pPlatform->nMouseX = 10;
    pPlatform->nMouseY = 719;
    EXPECT_FALSE(pPlatform->pollMouse());
    pPlatform->getMousePosition(&nX, &nY);
    EXPECT_EQ(0, nX);
    EXPECT_EQ(599, nY);
    ASSERT_EQ(1u, pPlatform->warps.size());
    EXPECT_EQ(std::make_pair(160, 718), pPlatform->warps[0]);
    SDL_Event event = {};
    event.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&event);
    app.calls.clear();
    pPlatform->processEvents();
    EXPECT_TRUE(app.calls.empty());
}

// SDL restarted on another driver than its first start got (a text-mode one,
// while an X server resets): no mode is tried, the run ends as a failed start.
TEST_F(VideoBase, ARestartOnAnotherDriverEndsTheRunAsAFailedStart) {
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, 0));
    pDriver->attempts.clear();
    pDriver->sDriverName = "caca";
    EXPECT_FALSE(pDriver->setVideoMode(800, 600, 0));
    EXPECT_TRUE(pDriver->attempts.empty());
    EXPECT_EQ(GameApp::EXIT_START_FAILED, app.getExitCode());
}

// Runs under Xvfb (see the CMake file); skipped everywhere else.
TEST(RealWindow, OpensCentredWithItsCaption) {
    if (!hasTestXServer()) GTEST_SKIP() << needsXServer("platform_window_xvfb");
    RecordingApp app;
    SDLPlatform* pPlatform = new SDLPlatform();
    FakeVideoDriver* pDriver = new FakeVideoDriver();
    pDriver->ptDesktop = Point(1280.0f, 1024.0f);
    pPlatform->setVideoDriver(pDriver);
    pPlatform->setAudioDriver(new DummyAudioDriver());
    app.setPlatform(pPlatform);
    pDriver->setCaption("Window test");
    ASSERT_TRUE(app.init(640, 480, 0));
    SDL_Surface* pScreen = SDL_GetVideoSurface();
    ASSERT_NE(nullptr, pScreen);
    EXPECT_EQ(640, pScreen->w);
    char* pszTitle = nullptr;
    SDL_WM_GetCaption(&pszTitle, nullptr);
    EXPECT_STREQ("Window test", pszTitle);
    int nX = 0, nY = 0, nW = 0, nH = 0;
    EXPECT_TRUE(x11GetWindowRect(&nX, &nY, &nW, &nH));
    EXPECT_EQ(640, nW);
    for (int i = 0; i < 5; ++i) pPlatform->processEvents();
}

} // namespace

// In full screen SDL hides the pointer and grabs the input; left to itself it
// then reports relative moves around the window's centre, and a pointer that
// jumps lands far from the drawn cursor.
TEST_F(VideoBase, VideoStartsAskForAbsolutePointerPositions) {
    unsetenv("SDL_MOUSE_RELATIVE");
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_FULLSCREEN | VMF_DEPTH_32));
    ASSERT_NE(std::getenv("SDL_MOUSE_RELATIVE"), nullptr);
    EXPECT_STREQ(std::getenv("SDL_MOUSE_RELATIVE"), "0");
    setenv("SDL_MOUSE_RELATIVE", "1", 1);  // the user's own choice stays
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, VMF_DEPTH_32));
    EXPECT_STREQ(std::getenv("SDL_MOUSE_RELATIVE"), "1");
    unsetenv("SDL_MOUSE_RELATIVE");
}

namespace {

// A driver with a window icon whose pixels need no video to exist.
class IconVideoDriver : public FakeVideoDriver {
public:
    IconVideoDriver() : m_pSurface(SDL_CreateRGBSurface(SDL_SWSURFACE, 32, 32, 32, 0xFF, 0xFF00, 0xFF0000, 0)) {
        m_pIcon = new SDLImage(8, 8, false, true);
    }
    ~IconVideoDriver() override { SDL_FreeSurface(m_pSurface); }

protected:
    SDL_Surface* getIconSurface() override { return m_pSurface; }

private:
    SDL_Surface* m_pSurface;
};

} // namespace

TEST(VideoRestart, AVideoThatCannotRestartFailsTheModeInsteadOfCrashing) {
    RecordingApp app;
    SDLPlatform* pPlatform = new SDLPlatform();
    IconVideoDriver* pDriver = new IconVideoDriver();
    pPlatform->setVideoDriver(pDriver);
    app.setPlatform(pPlatform);
    pPlatform->init();
    ASSERT_TRUE(pDriver->init(nullptr));
    // A first start on a driver that refuses every later one.
    pDriver->sDriverName = "no-such-display";
    ASSERT_TRUE(pDriver->setVideoMode(800, 600, 0));
    pDriver->attempts.clear();
    EXPECT_FALSE(pDriver->setVideoMode(800, 600, VMF_FULLSCREEN));
    EXPECT_TRUE(pDriver->attempts.empty());
}
