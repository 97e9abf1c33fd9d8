// Alignment words against a trimmed picture.
#include "fakes.h"

#include "app/alignment.h"
#include "image/sdl_image.h"

#include <gtest/gtest.h>

namespace {

TEST(AlignmentTest, BaseWordsOffsetsAndTheContentsCentre) {
    TestApp app;
    // A 100x60 canvas whose real pixels are 40x20 at (30, 10).
    SDLImageFactory factory;
    Tsl::SmartPtr<Image> pImage = factory.createBlank(100, 60, true);
    pImage->setPhysicalRect(30, 10, 40, 20);
    EXPECT_EQ(50, parseAlignment("center", pImage, true));
    EXPECT_EQ(30, parseAlignment("middle", pImage, false));
    EXPECT_EQ(96, parseAlignment("right-4", pImage, true));
    EXPECT_EQ(62, parseAlignment("bottom+2", pImage, false));
    EXPECT_EQ(7, parseAlignment("left+7", pImage, true));
    EXPECT_EQ(0, parseAlignment("top", pImage, false));
    EXPECT_EQ(17, parseAlignment("17", pImage, true));
    EXPECT_EQ(-5, parseAlignment("-5", pImage, true));
    EXPECT_EQ(12, parseAlignment("10+2", pImage, true));
    EXPECT_EQ(50, parseAlignment("contents_center", pImage, true));
    EXPECT_EQ(21, parseAlignment("contents_center+1", pImage, false));
    EXPECT_THROW(parseAlignment("center", nullptr, true), Tsl::AssertFailException);
}

} // namespace
