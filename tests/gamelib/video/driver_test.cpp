// The driver's own life: device creation and its failures, device loss in
// full screen, the start-up error, and the "--pw" child window under X11.
#include "render_support.h"
#include "sdl_fixtures.h"

#include "platform/syswm.h"
#define Font XlibFont
#include <X11/Xlib.h>
#undef Font

#include <cstdlib>
#include <string>

using dx7::test::CallKind;
using dx7::test::Fault;

namespace {

class DriverTest : public RenderTest {
protected:
    void TearDown() override {
        RenderTest::TearDown();
        EXPECT_EQ(0, dx7::test::liveObjectCount());
    }
};

} // namespace

TEST_F(DriverTest, FailedDeviceStepsReleaseWhatTheyMadeAndTheNextTryWins) {
    // Each creation step fails once on the first try: primary, back buffer or
    // depth surface, the depth attachment, the device itself.
    struct Step {
        Fault eFault;
        int nSkip;
    };
    const Step aSteps[] = {{Fault::CreateSurface, 0}, {Fault::CreateSurface, 1}, {Fault::CreateSurface, 2},
                           {Fault::AttachSurface, 0}, {Fault::CreateDevice, 0}};
    for (const Step& step : aSteps) {
        SCOPED_TRACE(static_cast<int>(step.eFault) * 10 + step.nSkip);
        dx7::test::failNext(step.eFault, 1, step.nSkip);
        start(VMF_STENCIL);
        EXPECT_TRUE(m_pDriver->hasStencilBuffer());
        addSprite(makeSolid(10, 10, Color(0, 120, 0)), 5.0f, 5.0f);
        EXPECT_EQ(rgb(0, 120, 0), frame().at(8, 8));
        RenderTest::TearDown();
        EXPECT_EQ(0, dx7::test::liveObjectCount());
    }
}

TEST_F(DriverTest, FullScreenDeviceLossSkipsFramesUntilTheModeIsBack) {
    start(VMF_FULLSCREEN | VMF_STENCIL);
    ASSERT_TRUE(m_pDriver->isFullScreen());
    addSprite(makeSolid(10, 10, Color(0, 120, 0)), 5.0f, 5.0f);
    frame();
    dx7::test::loseDevice(dx7::DDERR_WRONGMODE);
    dx7::test::startRecording();
    m_pApp->runFrame();
    m_pApp->runFrame();
    EXPECT_EQ(0, dx7::test::countCalls(CallKind::BeginScene));
    EXPECT_EQ(0, dx7::test::countCalls(CallKind::DrawPrimitive));

    // The mode is usable again: the lost surfaces are rebuilt and drawn on.
    dx7::test::regainDevice();
    dx7::test::clearRecording();
    dx7::test::Frame f = frame();
    dx7::test::stopRecording();
    EXPECT_EQ(1, dx7::test::countCalls(CallKind::EndScene));
    EXPECT_TRUE(m_pDriver->isFullScreen());
    EXPECT_EQ(rgb(0, 120, 0), f.at(8, 8));
    EXPECT_EQ(1, dx7::test::liveTextureCount());
}

TEST_F(DriverTest, DeviceThatCannotBeRestoredRaisesAndOpensNoScene) {
    start(0);
    addSprite(makeSolid(10, 10, Color(0, 120, 0)), 5.0f, 5.0f);
    frame();
    // The scene cannot begin, nor again after the mode is set anew.
    dx7::test::failNext(Fault::BeginScene, 2);
    try {
        m_pDriver->renderFrame();
        FAIL() << "no exception";
    } catch (const Tsl::Exception& e) {
        EXPECT_STREQ("Couldn't reset video mode", e.getMessage());
    }
    EXPECT_EQ(rgb(0, 120, 0), frame().at(8, 8));
}

class DriverDeathTest : public RenderTest {};

TEST_F(DriverDeathTest, NoVideoModeAtAllEndsTheProgramWithAMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto startWithoutDevice = [this] {
        dx7::test::failNext(Fault::CreateDevice, 1000);
        start(0);
    };
    EXPECT_EXIT(startWithoutDevice(), ::testing::ExitedWithCode(1),
                "Initialization error: Can't set your video mode to the appropriate resolution\\.");
}

namespace {

// Runs under Xvfb (see the CMake file); skipped everywhere else.
class ChildWindowTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (!hasTestXServer()) GTEST_SKIP() << needsXServer("render_child_window_xvfb");
        // The Xvfb run promises a server: not reaching it is a fault.
        m_pDisplay = XOpenDisplay(nullptr);
        ASSERT_TRUE(m_pDisplay) << "no X display at " << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(unset)");
    }
    void TearDown() override {
        if (m_pDisplay) {
            RenderTest::TearDown();
            if (m_nParent) XDestroyWindow(m_pDisplay, m_nParent);
            XCloseDisplay(m_pDisplay);
        }
    }
    // A shown top-level window of ours to receive the game window.
    Window makeParent(int nWidth, int nHeight) {
        m_nParent = XCreateSimpleWindow(m_pDisplay, DefaultRootWindow(m_pDisplay), 30, 20, nWidth, nHeight, 0, 0, 0);
        XMapWindow(m_pDisplay, m_nParent);
        XSync(m_pDisplay, False);
        return m_nParent;
    }
    void startAsChildOf(unsigned long nParent) {
        m_sParent = std::to_string(nParent);
        m_aArgs = {"game", "--pw", "7", m_sParent.c_str()};
        start(0);
    }
    // The game window's parent, and its place in it.
    Window gameParent(int* pX, int* pY) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWMInfo(&info) <= 0) return 0;
        Window nRoot = 0, nParent = 0, *pChildren = nullptr;
        unsigned int nCount = 0;
        XSync(m_pDisplay, False);
        if (!XQueryTree(m_pDisplay, info.info.x11.wmwindow, &nRoot, &nParent, &pChildren, &nCount)) return 0;
        if (pChildren) XFree(pChildren);
        XWindowAttributes attrs;
        XGetWindowAttributes(m_pDisplay, info.info.x11.wmwindow, &attrs);
        *pX = attrs.x;
        *pY = attrs.y;
        return nParent;
    }

    Display* m_pDisplay = nullptr;
    Window m_nParent = 0;
    std::string m_sParent;
};

} // namespace

TEST_F(ChildWindowTest, GameWindowBecomesAChildAtTheParentsOrigin) {
    // The parent is smaller than the game window: it still takes it in.
    Window nParent = makeParent(100, 80);
    startAsChildOf(nParent);
    int nX = -1, nY = -1;
    EXPECT_EQ(nParent, gameParent(&nX, &nY));
    EXPECT_EQ(0, nX);
    EXPECT_EQ(0, nY);
    addSprite(makeSolid(10, 10, Color(0, 120, 0)), 5.0f, 5.0f);
    EXPECT_EQ(rgb(0, 120, 0), frame().at(8, 8));
}

TEST_F(ChildWindowTest, UnknownParentLeavesATopLevelWindow) {
    // A window id that names no window: the game still starts, on its own.
    startAsChildOf(0x7FFFFF0ul);
    int nX = -1, nY = -1;
    EXPECT_EQ(DefaultRootWindow(m_pDisplay), gameParent(&nX, &nY));
    addSprite(makeSolid(10, 10, Color(0, 120, 0)), 5.0f, 5.0f);
    EXPECT_EQ(rgb(0, 120, 0), frame().at(8, 8));
}
