// Three bytes to four characters over a 64-symbol alphabet of our own,
// every symbol safe in a URL query (the log report travels as one).
#pragma once

#include "tsl2/str.h"

namespace Tsl {
class MemStream;
}

// 4 characters for every 3 bytes (or part of 3), no padding.
Tsl::String encodeBytes(const unsigned char* pData, int nLength);
// A new readable stream, owned by the caller, of 3 bytes per 4 characters.
// A short last group counts its missing characters as zero bits.
Tsl::MemStream* decodeBytes(const char* pszText);
