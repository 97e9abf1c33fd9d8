// The frame walk: which modes are drawn, clearing, the persistent back
// buffer, the cursor, the render-state cache, device loss and side bars.
#include "render_support.h"

using dx7::test::CallKind;

namespace {

class FrameTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        start(VMF_STENCIL);
    }
};

// Render-state calls between the n-th and the (n+1)-th draw call of the recording.
int stateCallsBeforeDraw(int nDraw) {
    int nSeen = 0, nStates = 0;
    for (const dx7::test::Call& call : dx7::test::recordedCalls()) {
        if (call.m_eKind == CallKind::DrawPrimitive) {
            if (nSeen == nDraw) return nStates;
            ++nSeen;
            nStates = 0;
        } else if (call.m_eKind == CallKind::SetRenderState) {
            ++nStates;
        }
    }
    return -1;
}

} // namespace

TEST_F(FrameTest, EqualStatesReachTheDeviceOnce) {
    Tsl::SmartPtr<Image> pImage = makeSolid(8, 8, Color(50, 50, 50));
    addSprite(pImage, 0.0f, 0.0f, 0);
    addSprite(pImage, 10.0f, 0.0f, 1);
    addSprite(pImage, 20.0f, 0.0f, 2)->setBlendMode(BM_ADDITIVE);
    addSprite(pImage, 30.0f, 0.0f, 3)->setBlendMode(BM_ADDITIVE);
    frame();
    dx7::test::startRecording();
    frame();
    dx7::test::stopRecording();
    EXPECT_EQ(4, dx7::test::countCalls(CallKind::DrawPrimitive));
    // The first sprite follows the last one of the previous frame (additive).
    EXPECT_GT(stateCallsBeforeDraw(0), 0);
    EXPECT_EQ(0, stateCallsBeforeDraw(1));
    EXPECT_GT(stateCallsBeforeDraw(2), 0);
    EXPECT_EQ(0, stateCallsBeforeDraw(3));
    bool bAdditive = false;
    for (const dx7::test::Call& call : dx7::test::recordedCalls()) {
        if (call.m_eKind == CallKind::SetRenderState && call.m_nA == dx7::D3DRENDERSTATE_DESTBLEND)
            bAdditive = call.m_nB == dx7::D3DBLEND_ONE;
    }
    EXPECT_TRUE(bAdditive);
}

TEST_F(FrameTest, BackBufferPersistsUnlessTheModeClears) {
    m_pMode->setFlags(MF_ACTIVE | MF_VISIBLE);
    Tsl::SmartPtr<Sprite> pSprite = addSprite(makeSolid(10, 10, Color(0, 200, 0)), 10.0f, 10.0f);
    frame();
    pSprite->setPosition(50.0f, 10.0f);
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(0, 200, 0), f.at(15, 15));
    EXPECT_EQ(rgb(0, 200, 0), f.at(55, 15));

    m_pMode->setFlags(MF_ACTIVE | MF_VISIBLE | MF_CLEAR_SCREEN);
    pSprite->setPosition(90.0f, 10.0f);
    f = frame();
    EXPECT_EQ(rgb(0, 0, 0), f.at(15, 15));
    EXPECT_EQ(rgb(0, 0, 0), f.at(55, 15));
    EXPECT_EQ(rgb(0, 200, 0), f.at(95, 15));
}

TEST_F(FrameTest, ModesAreDrawnFromTheLowestShownUpwards) {
    addSprite(makeSolid(20, 20, Color(200, 0, 0)), 0.0f, 0.0f);
    Tsl::SmartPtr<GameMode> pTop = new GameMode(MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW);
    m_pApp->pushMode(pTop);
    Tsl::SmartPtr<Sprite> pOver = new Sprite(makeSolid(10, 10, Color(0, 0, 200)), 5, 5, 0);
    pTop->addSprite(pOver);
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(200, 0, 0), f.at(2, 2));
    EXPECT_EQ(rgb(0, 0, 200), f.at(7, 7));

    // A clearing mode on top starts from black.
    pTop->setFlags(MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW | MF_CLEAR_SCREEN);
    f = frame();
    EXPECT_EQ(rgb(0, 0, 0), f.at(2, 2));
    EXPECT_EQ(rgb(0, 0, 200), f.at(7, 7));

    // A mode that is not drawing below hides the lower one; an inactive one is skipped.
    pTop->setFlags(MF_VISIBLE | MF_CLEAR_SCREEN);
    m_pMode->setFlags(MF_ACTIVE | MF_VISIBLE);
    f = frame();
    EXPECT_EQ(rgb(0, 0, 200), f.at(7, 7));
    pTop->setFlags(MF_ACTIVE | MF_VISIBLE | MF_CLEAR_SCREEN);
    f = frame();
    EXPECT_EQ(rgb(0, 0, 0), f.at(2, 2));
    m_pApp->endMode(pTop);
    frame();
}

TEST_F(FrameTest, SoftwareCursorIsDrawnOnTopOnlyWhenOn) {
    Tsl::SmartPtr<Image> pArrow = makeSolid(4, 4, Color(255, 255, 0));
    m_pDriver->setCursorImage(pArrow);
    ASSERT_FALSE(m_pDriver->getCursorSprite().isNull());
    addSprite(makeSolid(WIDTH, HEIGHT, Color(0, 0, 100)), 0.0f, 0.0f);
    int nX = 0, nY = 0;
    m_pApp->getMousePosition(&nX, &nY);
    ASSERT_TRUE(nX >= 0 && nX + 4 <= WIDTH && nY >= 0 && nY + 4 <= HEIGHT);
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(255, 255, 0), f.at(nX + 1, nY + 1));
    m_pDriver->setSoftwareCursor(false);
    f = frame();
    EXPECT_EQ(rgb(0, 0, 100), f.at(nX + 1, nY + 1));
    m_pDriver->setSoftwareCursor(true);
    m_pDriver->showCursor(false);
    f = frame();
    EXPECT_EQ(rgb(0, 0, 100), f.at(nX + 1, nY + 1));
}

TEST_F(FrameTest, LostWindowedDeviceIsRebuiltAtTheNextFrame) {
    addSprite(makeSolid(10, 10, Color(0, 120, 0)), 5.0f, 5.0f);
    frame();
    dx7::test::loseDevice(dx7::DDERR_WRONGMODE);
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(0, 120, 0), f.at(8, 8));
    EXPECT_EQ(1, dx7::test::liveTextureCount());
}

class SideBars : public RenderTest {};

namespace {

// A wide desktop with one full-screen mode of 1280 x 720.
class WideDriver : public D3D7VideoDriver {
public:
    Point getDesktopSize() override { return Point(1280.0f, 720.0f); }

protected:
    SDL_Rect** queryFullScreenModes() override { return m_apModes; }

private:
    SDL_Rect m_mode{0, 0, 1280, 720};
    SDL_Rect* m_apModes[2] = {&m_mode, nullptr};
};

} // namespace

TEST_F(SideBars, WideFullScreenModeFramesTheLogicalScreenInBlack) {
    start(VMF_FULLSCREEN | VMF_STENCIL, new WideDriver(), 800, 600);
    ASSERT_EQ(1280, m_pDriver->getActualWidth());
    ASSERT_EQ(133, m_pDriver->getBarWidth());
    // Wider than the logical screen: the bars cover the overhang.
    Tsl::SmartPtr<Sprite> pSprite = addSprite(makeSolid(1000, 600, Color(255, 255, 255)), -100.0f, 0.0f);
    dx7::test::Frame f = frame();
    ASSERT_EQ(1280, f.m_nWidth);
    EXPECT_EQ(rgb(0, 0, 0), f.at(100, 360));
    EXPECT_EQ(rgb(255, 255, 255), f.at(640, 360));
    EXPECT_EQ(rgb(0, 0, 0), f.at(1200, 360));
    EXPECT_EQ(rgb(255, 255, 255), f.at(170, 360));
    EXPECT_EQ(rgb(255, 255, 255), f.at(1110, 360));
}

namespace {

// A wide desktop where only a 1280 x 1024 full-screen mode opens.
class NarrowModeDriver : public D3D7VideoDriver {
public:
    Point getDesktopSize() override { return Point(1920.0f, 1080.0f); }
    bool createWindow(int nWidth, int nHeight, int nBpp, bool bFullScreen, int nFlags, Uint32 nSDLFlags) override {
        if (nWidth != 1280 || nHeight != 1024) return false;
        return D3D7VideoDriver::createWindow(nWidth, nHeight, nBpp, bFullScreen, nFlags, nSDLFlags);
    }

protected:
    SDL_Rect** queryFullScreenModes() override { return m_apModes; }

private:
    SDL_Rect m_mode{0, 0, 1280, 1024};
    SDL_Rect* m_apModes[2] = {&m_mode, nullptr};
};

} // namespace

TEST_F(SideBars, NarrowFullScreenModeShowsEveryColumnWithBarsAboveAndBelow) {
    start(VMF_FULLSCREEN | VMF_STENCIL, new NarrowModeDriver(), 800, 600);
    ASSERT_EQ(1280, m_pDriver->getActualWidth());
    ASSERT_EQ(20, m_pDriver->getBarHeight());
    // Taller than the logical screen: the bars cover the overhang.
    Tsl::SmartPtr<Sprite> pSprite = addSprite(makeSolid(800, 700, Color(255, 255, 255)), 0.0f, -50.0f);
    dx7::test::Frame f = frame();
    ASSERT_EQ(1280, f.m_nWidth);
    EXPECT_EQ(rgb(0, 0, 0), f.at(640, 20));
    EXPECT_EQ(rgb(255, 255, 255), f.at(640, 40));
    EXPECT_EQ(rgb(255, 255, 255), f.at(1279, 512));
    EXPECT_EQ(rgb(255, 255, 255), f.at(640, 985));
    EXPECT_EQ(rgb(0, 0, 0), f.at(640, 1000));
}

// Frames drawn straight into SDL's screen surface and frames copied there from a back
// buffer of their own: the same frames and the same window, in a window, in one of 16
// bits (whose pixels the back buffer does not share), full screen with side bars, and
// across a change of depth between frames. The mode does not clear: each frame draws
// over the last.
TEST_F(SideBars, FramesDrawnIntoTheWindowMatchFramesCopiedThere) {
    struct Case {
        const char* pszName;
        int nFlags;
        bool bWide;          // full screen on a wide desktop
        int nDepthAfterTwo;  // the colour depth set after the second frame, 0: none
    };
    const Case aCases[] = {{"window", VMF_STENCIL, false, 0},
                           {"16-bit window", VMF_STENCIL | VMF_DEPTH_16, false, 0},
                           {"wide full screen", VMF_FULLSCREEN | VMF_STENCIL, true, 0},
                           {"depth changed", VMF_STENCIL | VMF_DEPTH_32, false, 16}};
    for (const Case& c : aCases) {
        std::vector<std::vector<dx7::DWORD>> aFrames[2];
        std::vector<std::vector<Uint8>> aWindows[2];  // as SDL keeps them, whatever their depth
        for (bool bShared : {false, true}) {
            dx7::test::setSharedScreenEnabled(bShared);
            start(c.nFlags, c.bWide ? new WideDriver() : nullptr, c.bWide ? 800 : WIDTH, c.bWide ? 600 : HEIGHT);
            m_pMode->setFlags(MF_ACTIVE | MF_VISIBLE);
            Tsl::SmartPtr<Sprite> pSoft = addSprite(makeSolid(40, 30, Color(250, 120, 30, 150)), 0.0f, 0.0f);
            Tsl::SmartPtr<Sprite> pGlow = addSprite(makeSolid(20, 20, Color(20, 90, 200, 200)), 30.0f, 40.0f, 1);
            pGlow->setBlendMode(BM_ADDITIVE);
            for (int k = 0; k < 4; ++k) {
                if (k == 2 && c.nDepthAfterTwo) m_pDriver->setColorDepth(c.nDepthAfterTwo);
                pSoft->setPosition(7.0f * k - 10.0f, 5.0f * k);
                pGlow->setPosition(100.0f - 9.0f * k, 40.5f);
                aFrames[bShared].push_back(frame().m_aPixels);
                const SDL_Surface* pScreen = SDL_GetVideoSurface();
                const Uint8* pWindow = static_cast<const Uint8*>(pScreen->pixels);
                aWindows[bShared].emplace_back(pWindow, pWindow + pScreen->pitch * pScreen->h);
                bool bOurLayout = (c.nFlags & VMF_DEPTH_MASK) != VMF_DEPTH_16 && !(c.nDepthAfterTwo && k >= 2);
                EXPECT_EQ(bShared && bOurLayout, m_pDriver->getDevice()->renderTarget()->sharesScreen())
                    << c.pszName << ", frame " << k;
            }
            pSoft = pGlow = nullptr;
            m_pMode = nullptr;
            delete m_pApp;
            m_pApp = nullptr;
        }
        EXPECT_TRUE(aFrames[0] == aFrames[1]) << c.pszName;
        EXPECT_TRUE(aWindows[0] == aWindows[1]) << c.pszName;
    }
}
