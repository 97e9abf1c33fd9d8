// The bar's living decoration: where the gulls start.
#include "field/ambience.h"

#include "anim/animation.h"
#include "tsl2/random.h"

#include <gtest/gtest.h>

// Wandering gulls given one starting point (the map gives all of them x 0)
// start spread across the screen, each within 5 pixels of its height; a
// crossing gull starts off the left edge.
TEST(Seagulls, WanderersStartAcrossTheScreenAndCrossersAtTheLeftEdge) {
    Tsl::seedGameRand(17);
    Tsl::SmartPtr<Animation> pAnimation = new Animation();
    float fLeftmost = 800.0f, fRightmost = 0.0f;
    for (int i = 0; i < 4; ++i) {
        Seagull gull(pAnimation, 0, 60, 9, i % 2 == 0, true, 0.0f);
        fLeftmost = std::min(fLeftmost, gull.getXf());
        fRightmost = std::max(fRightmost, gull.getXf());
        EXPECT_TRUE(gull.getXf() >= 0.0f && gull.getXf() < 800.0f && std::abs(gull.getYf() - 60.0f) <= 5.0f);
    }
    EXPECT_GT(fRightmost - fLeftmost, 100.0f) << "the wanderers start as one flock";
    EXPECT_EQ(Seagull(pAnimation, 300, 40, 9, true, false, 0.0f).getXf(), -30.0f);
}
