#include "render_support.h"

#include "platform/sdl_platform.h"

#include <cstdio>
#include <cstdlib>

void RenderTest::SetUp() {
    dx7::test::reset();
}

void RenderTest::start(int nFlags, D3D7VideoDriver* pDriver, int nWidth, int nHeight) {
    m_pApp = new GameApp();
    if (!m_aArgs.empty()) m_pApp->setArguments(static_cast<int>(m_aArgs.size()), m_aArgs.data());
    SDLPlatform* pPlatform = new SDLPlatform();
    m_pDriver = pDriver ? pDriver : new D3D7VideoDriver();
    pPlatform->setVideoDriver(m_pDriver);
    m_pApp->setPlatform(pPlatform);
    ASSERT_TRUE(m_pApp->init(nWidth, nHeight, nFlags));
    // The theme's drawn cursor would add a picture of its own to every frame
    // checked here; the cursor test sets one of its own.
    m_pDriver->setCursorImage(nullptr);
    m_pApp->setFrameRate(0);
    m_pMode = new GameMode(MF_ACTIVE | MF_VISIBLE | MF_CLEAR_SCREEN);
    m_pApp->pushMode(m_pMode);
}

void RenderTest::TearDown() {
    m_pMode = nullptr;
    delete m_pApp;
    m_pApp = nullptr;
    EXPECT_EQ(0, dx7::test::liveTextureCount());
    dx7::test::reset();
}

dx7::test::Frame RenderTest::frame() {
    m_pApp->runFrame();
    return readFrame();
}

dx7::test::Frame RenderTest::readFrame() {
    dx7::test::Frame f;
    EXPECT_TRUE(dx7::test::readFrame(f));
    return f;
}

Tsl::SmartPtr<Sprite> RenderTest::addSprite(Tsl::SmartPtr<Image> pImage, float x, float y, int nZ) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, 0, 0, nZ);
    pSprite->setPosition(x, y);
    m_pMode->addSprite(pSprite);
    return pSprite;
}

Tsl::SmartPtr<Image> makeImage(int nWidth, int nHeight, bool bAlpha, const std::function<Color(int, int)>& fnPixel) {
    Tsl::SmartPtr<Image> pImage = new SDLImage(nWidth, nHeight, bAlpha, true);
    pImage->lock();
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) pImage->putPixel(x, y, fnPixel(x, y));
    pImage->unlock();
    return pImage;
}

Tsl::SmartPtr<Image> makeSolid(int nWidth, int nHeight, const Color& c) {
    return makeImage(nWidth, nHeight, c.a != 255, [c](int, int) { return c; });
}

dx7::DWORD rgb(int r, int g, int b) {
    return 0xFF000000u | (static_cast<dx7::DWORD>(r) << 16) | (static_cast<dx7::DWORD>(g) << 8) |
           static_cast<dx7::DWORD>(b);
}

::testing::AssertionResult pixelNear(dx7::DWORD nGot, dx7::DWORD nWant, int nTolerance) {
    for (int nShift = 0; nShift < 24; nShift += 8) {
        int a = static_cast<int>((nGot >> nShift) & 0xFF), b = static_cast<int>((nWant >> nShift) & 0xFF);
        if (std::abs(a - b) > nTolerance) {
            char szText[64];
            std::snprintf(szText, sizeof(szText), "got %06X, want %06X", nGot & 0xFFFFFF, nWant & 0xFFFFFF);
            return ::testing::AssertionFailure() << szText;
        }
    }
    return ::testing::AssertionSuccess();
}

Drv3DTileData* surfaceTiles(Image* pImage) {
    SDLImage* pSDLImage = dynamic_cast<SDLImage*>(pImage);
    Drv3DSurfaceData* pData = dynamic_cast<Drv3DSurfaceData*>(pSDLImage->getSurface()->getDriverData());
    return pData ? pData->getTiles() : nullptr;
}

Drv3DTileData* imageTiles(Image* pImage) {
    Drv3DImageData* pData = dynamic_cast<Drv3DImageData*>(dynamic_cast<SDLImage*>(pImage)->getDriverData());
    return pData ? pData->getTiles() : nullptr;
}
