#include "text/codepage.h"

namespace {

// Unicode values of the Windows-1252 bytes 0x80 to 0x9F (0 where the code
// page has no character); every other byte has its own value.
const unsigned short s_aHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteOfCodePoint(unsigned int nCode) {
    if (nCode < 0x80 || (nCode >= 0xA0 && nCode <= 0xFF)) return static_cast<int>(nCode);
    for (int i = 0; i < 32; ++i)
        if (s_aHighControls[i] != 0 && s_aHighControls[i] == nCode) return 0x80 + i;
    return CodePage::NO_BYTE;
}

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of a well-formed sequence starting at p and its value; 0 when
// the bytes are not one (overlong forms and surrogates included).
int decodeSequence(const unsigned char* p, unsigned int& nCode) {
    unsigned char c = p[0];
    int nLength;
    unsigned int nMin;
    if (c >= 0xC2 && c <= 0xDF) {
        nLength = 2, nCode = c & 0x1F, nMin = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        nLength = 3, nCode = c & 0x0F, nMin = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        nLength = 4, nCode = c & 0x07, nMin = 0x10000;
    } else {
        return 0;
    }
    for (int i = 1; i < nLength; ++i) {
        if (!isContinuation(p[i])) return 0;
        nCode = (nCode << 6) | (p[i] & 0x3F);
    }
    if (nCode < nMin || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF)) return 0;
    return nLength;
}

} // namespace

namespace CodePage {

int nextByte(const char*& p) {
    const unsigned char* q = reinterpret_cast<const unsigned char*>(p);
    if (*q < 0x80) {
        ++p;
        return *q;
    }
    unsigned int nCode = 0;
    int nLength = decodeSequence(q, nCode);
    if (nLength == 0) {
        ++p;
        return *q;
    }
    p += nLength;
    return byteOfCodePoint(nCode);
}

Tsl::String toWindows1252(const char* pszUtf8) {
    Tsl::String s;
    if (!pszUtf8) return s;
    const char* p = pszUtf8;
    while (*p) {
        int nByte = nextByte(p);
        if (nByte != NO_BYTE) s += static_cast<char>(nByte);
    }
    return s;
}

} // namespace CodePage
