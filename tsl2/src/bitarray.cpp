#include "tsl2/bitarray.h"

#include "tsl2/error.h"

namespace Tsl {

void BitArray::setSize(int nBits) {
    TSL_TRACE();
    if (nBits < 0) TSL_THROW(BadParmException, "BitArray size must not be negative : %d", nBits);
    m_aWords.assign(static_cast<size_t>(nBits / 32 + 1), 0u);
}

void BitArray::checkIndex(int i) const {
    if (i < 0 || i >= getCapacity()) TSL_THROW(BadParmException, "BitArray index out of range : %d (have %d)", i, getCapacity());
}

void BitArray::set(int i, bool bValue) {
    checkIndex(i);
    unsigned int nMask = 1u << (i & 31);
    if (bValue) m_aWords[static_cast<size_t>(i >> 5)] |= nMask;
    else m_aWords[static_cast<size_t>(i >> 5)] &= ~nMask;
}

bool BitArray::get(int i) const {
    checkIndex(i);
    return (m_aWords[static_cast<size_t>(i >> 5)] >> (i & 31)) & 1u;
}

} // namespace Tsl
