#include "tsl2/random.h"

#include <ctime>

namespace Tsl {

namespace {
const int MT_SHIFT = 397;
const std::uint32_t MT_MATRIX = 0x9908B0DFu;
const std::uint32_t MT_UPPER = 0x80000000u;
const std::uint32_t MT_LOWER = 0x7FFFFFFFu;

struct GameRandState {
    GameRandState() : random(1u), pfnSource(nullptr), pUserData(nullptr) {}
    Random random;
    GameRandSource pfnSource;
    void* pUserData;
};

GameRandState& gameRandState() {
    static GameRandState s_state;
    return s_state;
}
} // namespace

Random::Random() { setSeed(static_cast<std::uint32_t>(std::time(nullptr))); }

Random::Random(std::uint32_t nSeed) { setSeed(nSeed); }

void Random::setSeed(std::uint32_t nSeed) {
    m_aState[0] = nSeed;
    for (int i = 1; i < STATE_SIZE; ++i)
        m_aState[i] = 1812433253u * (m_aState[i - 1] ^ (m_aState[i - 1] >> 30)) + static_cast<std::uint32_t>(i);
    m_nIndex = STATE_SIZE;
}

void Random::twist() {
    for (int i = 0; i < STATE_SIZE; ++i) {
        std::uint32_t y = (m_aState[i] & MT_UPPER) | (m_aState[(i + 1) % STATE_SIZE] & MT_LOWER);
        m_aState[i] = m_aState[(i + MT_SHIFT) % STATE_SIZE] ^ (y >> 1) ^ ((y & 1u) ? MT_MATRIX : 0u);
    }
    m_nIndex = 0;
}

std::uint32_t Random::getUInt32() {
    if (m_nIndex >= STATE_SIZE) twist();
    std::uint32_t y = m_aState[m_nIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

double Random::getDouble(double fLow, double fHigh) {
    double u = getUInt32() / 4294967296.0;
    return fLow + (fHigh - fLow) * u;
}

int Random::getInt(int nLow, int nHigh) {
    double u = getDouble(0.0, 1.0);
    // In double so wide ranges cannot overflow before the clamp to hi.
    double fValue = static_cast<double>(nLow) + static_cast<double>(static_cast<long long>(
                                                    u * (static_cast<double>(nHigh) - nLow + 1.0)));
    return fValue < static_cast<double>(nHigh) ? static_cast<int>(fValue) : nHigh;
}

Random& getRandomElementGenerator() {
    static Random s_random;
    return s_random;
}

int gameRand() {
    GameRandState& state = gameRandState();
    if (state.pfnSource) return state.pfnSource(state.pUserData) & GAME_RAND_MAX;
    return static_cast<int>(state.random.getUInt32() >> 17);
}

void seedGameRand(std::uint32_t nSeed) { gameRandState().random.setSeed(nSeed); }

void setGameRandSource(GameRandSource pfnSource, void* pUserData) {
    GameRandState& state = gameRandState();
    state.pfnSource = pfnSource;
    state.pUserData = pUserData;
}

} // namespace Tsl
