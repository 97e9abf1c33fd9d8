#include "tsl2/random.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>

TEST(Random, MatchesTheReferenceMersenneTwister) {
    Tsl::Random random(5489u);
    EXPECT_EQ(3499211612u, random.getUInt32());
    for (std::uint32_t nSeed : {0u, 1u, 5489u, 0xFFFFFFFFu}) {
        Tsl::Random mine(nSeed);
        std::mt19937 reference(nSeed);
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(reference(), mine.getUInt32()) << "seed " << nSeed << " draw " << i;
    }
}

TEST(Random, SetSeedRestartsTheSequence) {
    Tsl::Random random(7u);
    std::uint32_t nFirst = random.getUInt32();
    random.getUInt32();
    random.setSeed(7u);
    EXPECT_EQ(nFirst, random.getUInt32());
}

TEST(Random, DoubleAndIntFollowTheirFormulas) {
    Tsl::Random random(5489u);
    double u = 3499211612.0 / 4294967296.0;
    EXPECT_DOUBLE_EQ(2.0 + 2.0 * u, random.getDouble(2.0, 4.0));

    random.setSeed(5489u);
    EXPECT_EQ(10 + static_cast<int>(u * 11), random.getInt(10, 20));

    // Every value of a small range shows up, none outside it.
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        int n = random.getInt(-3, 3);
        ASSERT_GE(n, -3);
        ASSERT_LE(n, 3);
        seen.insert(n);
    }
    EXPECT_EQ(7u, seen.size());
    EXPECT_EQ(5, random.getInt(5, 5));
    // The full int range does not overflow.
    for (int i = 0; i < 100; ++i) random.getInt(INT_MIN, INT_MAX);
}

namespace {
struct Item : Tsl::RefCountedObject {
    explicit Item(int n) : nValue(n) {}
    int nValue;
};
} // namespace

TEST(Random, RandomElementDrawsEveryElementAndRefusesAnEmptyList) {
    Tsl::List<Tsl::SmartPtr<Item>> lItems;
    EXPECT_THROW(Tsl::randomElement(lItems), Tsl::BadParmException);
    for (int i = 0; i < 4; ++i) lItems.append(Tsl::SmartPtr<Item>(new Item(i)));
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        Tsl::SmartPtr<Item> pItem = Tsl::randomElement(lItems);
        EXPECT_EQ(2, pItem->getRefCount());
        seen.insert(pItem->nValue);
    }
    EXPECT_EQ(4u, seen.size());
}

namespace {
int scripted(void* pUserData) {
    int* pNext = static_cast<int*>(pUserData);
    return (*pNext)++;
}
} // namespace

TEST(Random, GameRandCanBeSeededAndScripted) {
    Tsl::seedGameRand(42u);
    int aFirst[8];
    for (int& n : aFirst) {
        n = Tsl::gameRand();
        EXPECT_GE(n, 0);
        EXPECT_LE(n, Tsl::GAME_RAND_MAX);
    }
    Tsl::seedGameRand(42u);
    for (int n : aFirst) EXPECT_EQ(n, Tsl::gameRand());

    int nNext = 32766;
    Tsl::setGameRandSource(scripted, &nNext);
    EXPECT_EQ(32766, Tsl::gameRand());
    EXPECT_EQ(32767, Tsl::gameRand());
    EXPECT_EQ(0, Tsl::gameRand()); // 32768 folded into the range
    Tsl::setGameRandSource(nullptr, nullptr);
    Tsl::seedGameRand(42u);
    EXPECT_EQ(aFirst[0], Tsl::gameRand());
}
