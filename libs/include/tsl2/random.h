// MT19937 pseudo-random numbers, and the one game-wide stand-in for the C
// library's rand() so every random draw of the program can be seeded or
// scripted by tests.
#pragma once

#include "tsl2/error.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"

#include <cstdint>

namespace Tsl {

class Random : public RefCountedObject {
public:
    enum { STATE_SIZE = 624 };

    // Seeded with the current time in seconds.
    Random();
    explicit Random(std::uint32_t nSeed);

    void setSeed(std::uint32_t nSeed);
    std::uint32_t getUInt32();
    // lo + (hi - lo) * u, u in [0, 1) made from one 32-bit output.
    double getDouble(double fLow, double fHigh);
    // min(lo + int(u * (hi - lo + 1)), hi).
    int getInt(int nLow, int nHigh);

private:
    void twist();

    std::uint32_t m_aState[STATE_SIZE];
    int m_nIndex;
};

// The generator behind randomElement, built on first use; tests may seed it.
Random& getRandomElementGenerator();

// A new reference to an element drawn uniformly from the list.
template <class T>
SmartPtr<T> randomElement(const List<SmartPtr<T>>& lElements) {
    TSL_TRACE();
    int nCount = lElements.getCount();
    if (nCount <= 0) TSL_THROW(BadParmException, "randomElement : the list is empty");
    return lElements.getAt(getRandomElementGenerator().getInt(0, nCount - 1));
}

// The game's rand(): 0 to 32767, from an MT19937 of its own (seed 1 until
// seeded, like the C library) or from a source a test installs.
enum { GAME_RAND_MAX = 32767 };
typedef int (*GameRandSource)(void* pUserData);
int gameRand();
void seedGameRand(std::uint32_t nSeed);
// A null source restores the generator. Values are reduced into 0..32767.
void setGameRandSource(GameRandSource pfnSource, void* pUserData);

} // namespace Tsl
