#include "tsl2/bitarray.h"
#include "tsl2/error.h"

#include <gtest/gtest.h>

TEST(BitArray, SetsAndClearsBitsAcrossWords) {
    Tsl::BitArray bits;
    bits.setSize(70);
    EXPECT_EQ(96, bits.getCapacity()); // 70 / 32 + 1 words
    for (int i : {0, 31, 32, 63, 69, 95}) bits.set(i, true);
    for (int i = 0; i < 96; ++i) {
        bool bExpected = i == 0 || i == 31 || i == 32 || i == 63 || i == 69 || i == 95;
        EXPECT_EQ(bExpected, bits.get(i)) << i;
    }
    bits.set(31, false);
    EXPECT_FALSE(bits.get(31));
    EXPECT_TRUE(bits.get(32));
    // Resizing clears.
    bits.setSize(64);
    EXPECT_EQ(96, bits.getCapacity());
    for (int i = 0; i < 96; ++i) EXPECT_FALSE(bits.get(i));
    bits.setSize(0);
    EXPECT_EQ(32, bits.getCapacity());
}

TEST(BitArray, RefusesIndicesOutsideItsWords) {
    Tsl::BitArray bits;
    EXPECT_THROW(bits.get(0), Tsl::BadParmException);
    bits.setSize(10);
    EXPECT_THROW(bits.set(32, true), Tsl::BadParmException);
    EXPECT_THROW(bits.set(-1, true), Tsl::BadParmException);
    EXPECT_THROW(bits.get(1 << 30), Tsl::BadParmException);
    EXPECT_THROW(bits.setSize(-5), Tsl::BadParmException);
}
