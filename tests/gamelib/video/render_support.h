// A real application with the SDL platform and the Direct3D 7 driver over the
// software device, one mode on the stack, and helpers to make pictures and
// read the frame back.
#pragma once

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "video/sdl_d3d7video.h"
#include "image/sdl_image.h"
#include "sprite/sprite.h"

#include "d3d7/test_hooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

class RenderTest : public ::testing::Test {
protected:
    enum { WIDTH = 160, HEIGHT = 120 };

    void SetUp() override;
    void TearDown() override;
    // Starts the application with this driver (made by the fixture when null).
    void start(int nFlags, D3D7VideoDriver* pDriver = nullptr, int nWidth = WIDTH, int nHeight = HEIGHT);

    // One frame of the application's loop, then the frame read back.
    dx7::test::Frame frame();
    dx7::test::Frame readFrame();
    Tsl::SmartPtr<Sprite> addSprite(Tsl::SmartPtr<Image> pImage, float x, float y, int nZ = 0);

    // The program's command line as start() hands it to the application.
    std::vector<const char*> m_aArgs;
    GameApp* m_pApp = nullptr;
    D3D7VideoDriver* m_pDriver = nullptr;
    Tsl::SmartPtr<GameMode> m_pMode;
};

// A picture of the driver's formats filled pixel by pixel.
Tsl::SmartPtr<Image> makeImage(int nWidth, int nHeight, bool bAlpha, const std::function<Color(int, int)>& fnPixel);
Tsl::SmartPtr<Image> makeSolid(int nWidth, int nHeight, const Color& c);

// 0xFFRRGGBB as the frame holds it.
dx7::DWORD rgb(int r, int g, int b);
// Each channel within nTolerance.
::testing::AssertionResult pixelNear(dx7::DWORD nGot, dx7::DWORD nWant, int nTolerance = 1);

Drv3DTileData* surfaceTiles(Image* pImage);
Drv3DTileData* imageTiles(Image* pImage);
