// A scene played again and again gives back what each level took: the
// image and animation caches and the heap in use stand after the tenth
// level where they stood after the first.
#include "game_run.h"

#include <gtest/gtest.h>

#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator keeps its own count (its interface header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes the program holds from malloc (which its operator new uses too).
size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// Far below what one level's customers bring (their looks' pictures come
// to about a megabyte), far above what a level leaves in passing.
const size_t HEAP_TOLERANCE = 256 * 1024;

TEST(LevelMemory, TenRetriesOfASceneEndWhereTheFirstEnded) {
    GameRun run(GameRun::FAKE_DRIVERS);
    // One order pays at most a VIP's decorated drink, below the first goal.
    run.setOrdersPerLevel(1);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(run.openStory());
    ASSERT_TRUE(run.playLevel());
    int nImages = run.app.getCachedImageNames().getCount();
    int nAnimations = run.app.getAnimationNames().getCount();
    size_t nHeap = heapInUse();
    for (int nLevel = 2; nLevel <= 10; ++nLevel) ASSERT_TRUE(run.playLevel()) << "level " << nLevel;
    ASSERT_EQ(0, GameRun::top<StoryManagerMode>()->getLevelsWon()) << "every level was a retry";
    EXPECT_EQ(nImages, run.app.getCachedImageNames().getCount());
    EXPECT_EQ(nAnimations, run.app.getAnimationNames().getCount());
    EXPECT_LE(heapInUse(), nHeap + HEAP_TOLERANCE) << "after the first level " << nHeap;
}

}  // namespace
