// A headless application with real SDL images, and pictures to test sprites on.
#pragma once

#include "fakes.h"
#include "sprite/sprite.h"

#include <gtest/gtest.h>

#include <cmath>

struct SpriteFixture : ::testing::Test {
    TestApp app;

    void SetUp() override { ASSERT_TRUE(app.init(800, 600, 0)); }

    // Every pixel opaque, each with its own colour so a cut-out can be
    // checked pixel for pixel: red = x, green = y.
    Tsl::SmartPtr<Image> makeImage(int nWidth, int nHeight) {
        Tsl::SmartPtr<Image> pImage = app.createImage(nWidth, nHeight, true);
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x) pImage->setColorAt(x, y, Color(x, y, 7, 255));
        return pImage;
    }

    // A trimmed picture: nWidth x nHeight pixels at (nOffsetX, nOffsetY) of a
    // larger canvas; pixels whose (x + y) is a multiple of 3 have alpha 0, the
    // others alpha 1 + (x * 7 + y) % 254.
    Tsl::SmartPtr<Image> makeTrimmedImage(int nWidth, int nHeight, int nOffsetX, int nOffsetY, int nCanvasWidth,
                                          int nCanvasHeight) {
        Tsl::SmartPtr<Image> pImage = app.createImage(nWidth, nHeight, true);
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
                pImage->setColorAt(x, y, Color(10, 20, 30, (x + y) % 3 == 0 ? 0 : 1 + (x * 7 + y) % 254));
        pImage->setVirtualCanvas(nOffsetX, nOffsetY, nCanvasWidth, nCanvasHeight);
        return pImage;
    }
};

inline void expectNear(const Point& expected, const Point& actual, float fTolerance = 1e-3f) {
    EXPECT_NEAR(expected.x, actual.x, fTolerance);
    EXPECT_NEAR(expected.y, actual.y, fTolerance);
}
