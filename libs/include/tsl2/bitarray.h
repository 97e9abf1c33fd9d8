// A growable set of bits stored in 32-bit words.
#pragma once

#include <vector>

namespace Tsl {

class BitArray {
public:
    BitArray() {}

    // Room for n bits: n / 32 + 1 words, all cleared.
    void setSize(int nBits);
    // Bits that fit in the words (a multiple of 32).
    int getCapacity() const { return static_cast<int>(m_aWords.size()) * 32; }
    void set(int i, bool bValue);
    bool get(int i) const;

private:
    void checkIndex(int i) const;

    std::vector<unsigned int> m_aWords;
};

} // namespace Tsl
