#include "tsl2/timer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

TEST(Timer, AdvanceCountsUpAndReportsDone) {
    Timer timer(0.5f);
    EXPECT_FALSE(timer.advance(0.25f));
    EXPECT_FLOAT_EQ(0.25f, timer.getTime());
    EXPECT_FLOAT_EQ(0.25f, timer.getTimeLeft());
    EXPECT_FLOAT_EQ(0.5f, timer.getProgress());
    EXPECT_TRUE(timer.advance(0.25f));
    EXPECT_TRUE(timer.advance(0.5f));
    // Without the clamp flag the progress runs past 1.
    EXPECT_FLOAT_EQ(2.0f, timer.getProgress());
    EXPECT_FLOAT_EQ(-0.5f, timer.getTimeLeft());
}

TEST(Timer, ClampFlagKeepsTimeInsideTheDuration) {
    Timer timer(0.5f, Timer::CLAMP);
    EXPECT_TRUE(timer.advance(2.0f));
    EXPECT_FLOAT_EQ(0.5f, timer.getTime());
    EXPECT_FALSE(timer.advance(-4.0f));
    EXPECT_FLOAT_EQ(0.0f, timer.getTime());
    // setFlags applies the new flags through advance(0).
    Timer loose(0.5f);
    loose.advance(1.5f);
    EXPECT_TRUE(loose.setFlags(Timer::CLAMP));
    EXPECT_FLOAT_EQ(0.5f, loose.getTime());
    EXPECT_FLOAT_EQ(1.0f, loose.getProgress());
}

TEST(Timer, RestartCountsWrapsAndDropsOrKeepsOvershoot) {
    Timer dropping(0.25f);
    dropping.advance(0.625f);
    dropping.restart();
    EXPECT_EQ(2, dropping.getWrapCount());
    EXPECT_FLOAT_EQ(0.0f, dropping.getTime());

    Timer keeping(0.25f, Timer::KEEP_OVERSHOOT);
    keeping.advance(0.625f);
    keeping.restart();
    EXPECT_EQ(2, keeping.getWrapCount());
    EXPECT_FLOAT_EQ(0.125f, keeping.getTime());
    // Restarting again adds to the count; advance clears it.
    keeping.setTime(0.5f);
    keeping.restart();
    EXPECT_EQ(4, keeping.getWrapCount());
    EXPECT_FLOAT_EQ(0.0f, keeping.getTime());
    keeping.advance(0.0f);
    EXPECT_EQ(0, keeping.getWrapCount());

    // Not yet at the duration: no wrap, and without flag 1 the time resets.
    Timer early(1.0f);
    early.advance(0.5f);
    early.restart();
    EXPECT_EQ(0, early.getWrapCount());
    EXPECT_FLOAT_EQ(0.0f, early.getTime());
}

TEST(Timer, ZeroDurationIsAlwaysDone) {
    Timer timer(0.0f);
    EXPECT_TRUE(timer.isDone());
    EXPECT_FLOAT_EQ(1.0f, timer.getProgress());
    timer.setTime(-1.0f);
    EXPECT_FLOAT_EQ(0.0f, timer.getProgress());
    timer.setTime(3.0f);
    timer.restart();
    EXPECT_FLOAT_EQ(0.0f, timer.getTime());
}

TEST(Timer, SetDurationRestartsOnlyWhenAsked) {
    Timer timer(1.0f);
    timer.advance(0.75f);
    timer.setDuration(0.5f, false);
    EXPECT_FLOAT_EQ(0.75f, timer.getTime());
    EXPECT_TRUE(timer.isDone());
    timer.setDuration(0.25f, true);
    EXPECT_EQ(3, timer.getWrapCount());
    EXPECT_FLOAT_EQ(0.0f, timer.getTime());
}

TEST(Timer, RestartEndsForExtremeTimes) {
    // One period at a time, this would never finish.
    Timer tiny(1e-30f, Timer::KEEP_OVERSHOOT);
    tiny.setTime(1e30f);
    tiny.restart();
    EXPECT_EQ(INT_MAX, tiny.getWrapCount());
    EXPECT_GE(tiny.getTime(), 0.0f);
    EXPECT_LT(tiny.getTime(), 1e-30f);

    Timer infinite(1.0f, Timer::KEEP_OVERSHOOT);
    infinite.setTime(std::numeric_limits<float>::infinity());
    infinite.restart();
    EXPECT_FLOAT_EQ(0.0f, infinite.getTime());

    Timer notANumber(1.0f, Timer::KEEP_OVERSHOOT);
    notANumber.setTime(std::nanf(""));
    notANumber.restart();
    EXPECT_FLOAT_EQ(0.0f, notANumber.getTime());
    EXPECT_EQ(0, notANumber.getWrapCount());
}

// Periods are taken off one at a time in float: near whole multiples of a
// duration that float cannot hold exactly, that decides the count.
TEST(Timer, RestartSubtractsPeriodsInFloat) {
    struct Case {
        float fTime, fDuration;
        int nWraps;
        float fRest;
    };
    const Case aCases[] = {{0.5f, 0.1f, 5, 1.49011612e-08f},
                           {1.0f, 0.2f, 5, 2.98023224e-08f},
                           {0.7f, 0.1f, 6, 0.0999999866f},
                           {1.2f, 0.4f, 3, 5.96046448e-08f}};
    for (const Case& c : aCases) {
        Timer timer(c.fDuration, Timer::KEEP_OVERSHOOT);
        timer.setTime(c.fTime);
        timer.restart();
        EXPECT_EQ(c.nWraps, timer.getWrapCount()) << c.fTime << " / " << c.fDuration;
        EXPECT_EQ(c.fRest, timer.getTime()) << c.fTime << " / " << c.fDuration;
    }
}
