#include "image/pixelops.h"

#include "tsl2/error.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// SSE2 is part of the x86-64 baseline, so no run-time dispatch is needed;
// other targets keep the scalar loops.
#if defined(__SSE2__)
#include <emmintrin.h>
#define PIXELOPS_SSE2 1
#endif

// Eight pixels at a time where the processor has AVX2, chosen when the
// program runs.
#if defined(PIXELOPS_SSE2) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define PIXELOPS_AVX2 1
#define PIXELOPS_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace PixelOps {

namespace {

SDL_PixelFormat* mutableFormat(const PixelBuffer& buf) { return const_cast<SDL_PixelFormat*>(buf.pFormat); }

// x / 255 for 0 <= x <= 65535, exactly.
inline unsigned int div255(unsigned int x) { return (x * 0x8081u) >> 23; }

// ceil(2^24 / t): n * table[t] >> 24 == n / t exactly for n <= 255 * t.
struct Reciprocals {
    uint32_t aValues[256];
    Reciprocals() {
        aValues[0] = 0;
        for (uint32_t t = 1; t < 256; ++t) aValues[t] = ((1u << 24) + t - 1) / t;
    }
};
const Reciprocals g_reciprocals;

inline unsigned int divExact(unsigned int n, unsigned int t) {
    return static_cast<unsigned int>((static_cast<uint64_t>(n) * g_reciprocals.aValues[t]) >> 24);
}

int byteIndexOf(unsigned int nMask, int nBytes) {
    for (int i = 0; i < nBytes; ++i) {
        if (nMask == (0xFFu << (8 * i))) return i;
    }
    return -1;
}

unsigned int colorMask(const SDL_PixelFormat* pFormat) { return pFormat->Rmask | pFormat->Gmask | pFormat->Bmask; }

bool isKeyedRaw(const PixelBuffer& buf, unsigned int nRaw) {
    unsigned int nMask = colorMask(buf.pFormat);
    return buf.bHasColorKey && (nRaw & nMask) == (buf.pFormat->colorkey & nMask);
}

Color keyColor(const PixelBuffer& buf) {
    Uint8 r, g, b;
    SDL_GetRGB(buf.pFormat->colorkey, mutableFormat(buf), &r, &g, &b);
    return Color(r, g, b, 255);
}

inline unsigned char* pixelAt(const PixelBuffer& buf, int x, int y) {
    return buf.pPixels + y * buf.nPitch + x * buf.pFormat->BytesPerPixel;
}

bool bothFast(const ByteLayout& a, const ByteLayout& b) { return a.bValid && b.bValid; }

} // namespace

ByteLayout getByteLayout(const SDL_PixelFormat* pFormat) {
    ByteLayout l = {false, 0, -1, -1, -1, -1};
    if (!pFormat || pFormat->palette) return l;
    int nBytes = pFormat->BytesPerPixel;
    if (nBytes != 3 && nBytes != 4) return l;
    l.nBytes = nBytes;
    l.nRed = byteIndexOf(pFormat->Rmask, nBytes);
    l.nGreen = byteIndexOf(pFormat->Gmask, nBytes);
    l.nBlue = byteIndexOf(pFormat->Bmask, nBytes);
    l.nAlpha = pFormat->Amask ? byteIndexOf(pFormat->Amask, nBytes) : -1;
    l.bValid = l.nRed >= 0 && l.nGreen >= 0 && l.nBlue >= 0 && (pFormat->Amask == 0 || l.nAlpha >= 0);
    return l;
}

unsigned int readRaw(const unsigned char* p, int nBytes) {
    switch (nBytes) {
    case 1: return p[0];
    case 2: {
        uint16_t n;
        std::memcpy(&n, p, 2);
        return n;
    }
    case 3: return p[0] | (p[1] << 8) | (p[2] << 16);
    case 4: {
        uint32_t n;
        std::memcpy(&n, p, 4);
        return n;
    }
    default: TSL_THROW(BadStateException, "Surface::getPixel : Unknown surface bpp %d", nBytes);
    }
}

void writeRaw(unsigned char* p, int nBytes, unsigned int nValue) {
    switch (nBytes) {
    case 1: p[0] = static_cast<unsigned char>(nValue); break;
    case 2: {
        uint16_t n = static_cast<uint16_t>(nValue);
        std::memcpy(p, &n, 2);
        break;
    }
    case 3:
        p[0] = static_cast<unsigned char>(nValue);
        p[1] = static_cast<unsigned char>(nValue >> 8);
        p[2] = static_cast<unsigned char>(nValue >> 16);
        break;
    case 4: std::memcpy(p, &nValue, 4); break;
    default: break;
    }
}

Color readPixel(const PixelBuffer& buf, int x, int y) {
    unsigned int nRaw = readRaw(pixelAt(buf, x, y), buf.pFormat->BytesPerPixel);
    Uint8 r, g, b, a;
    SDL_GetRGBA(nRaw, mutableFormat(buf), &r, &g, &b, &a);
    return Color(r, g, b, a);
}

void writePixel(const PixelBuffer& buf, int x, int y, const Color& c) {
    unsigned int nRaw = SDL_MapRGBA(mutableFormat(buf), c.r, c.g, c.b, c.a);
    writeRaw(pixelAt(buf, x, y), buf.pFormat->BytesPerPixel, nRaw);
}

bool isPixelTransparent(const PixelBuffer& buf, int x, int y, int nThreshold) {
    if (buf.hasAlpha()) return readPixel(buf, x, y).a <= nThreshold;
    if (buf.bHasColorKey) return readPixel(buf, x, y) == keyColor(buf);
    return false;
}

// ---- Compositing -----------------------------------------------------------

Color blendPixel(const Color& d, const Color& s) {
    if (s.a == 0) return d;
    // The destination keeps what it had, up to the part the source leaves
    // free, so the total never passes 255.
    unsigned int nShare = std::min<unsigned int>(d.a, 255u - s.a);
    unsigned int nTotal = nShare + s.a;
    return Color(static_cast<unsigned char>((d.r * nShare + s.r * s.a) / nTotal),
                 static_cast<unsigned char>((d.g * nShare + s.g * s.a) / nTotal),
                 static_cast<unsigned char>((d.b * nShare + s.b * s.a) / nTotal), static_cast<unsigned char>(nTotal));
}

void blendGeneric(const PixelBuffer& dst, const PixelBuffer& src) {
    Color key = src.bHasColorKey ? keyColor(src) : Color();
    for (int y = 0; y < src.nHeight; ++y) {
        for (int x = 0; x < src.nWidth; ++x) {
            Color s = readPixel(src, x, y);
            if (src.bHasColorKey && !src.hasAlpha() && s == key) continue;
            if (s.a == 0) continue;
            writePixel(dst, x, y, blendPixel(readPixel(dst, x, y), s));
        }
    }
}

namespace {

template <int SB, int DB>
void blendRows(const PixelBuffer& dst, const ByteLayout& dl, const PixelBuffer& src, const ByteLayout& sl) {
    const bool bKey = src.bHasColorKey && sl.nAlpha < 0;
    for (int y = 0; y < src.nHeight; ++y) {
        const unsigned char* s = src.pPixels + y * src.nPitch;
        unsigned char* d = dst.pPixels + y * dst.nPitch;
        for (int x = 0; x < src.nWidth; ++x, s += SB, d += DB) {
            unsigned int sa = sl.nAlpha >= 0 ? s[sl.nAlpha] : 255u;
            if (bKey && isKeyedRaw(src, readRaw(s, SB))) sa = 0;
            if (sa == 0) continue;
            if (sa == 255) {
                d[dl.nRed] = s[sl.nRed];
                d[dl.nGreen] = s[sl.nGreen];
                d[dl.nBlue] = s[sl.nBlue];
                if (dl.nAlpha >= 0) d[dl.nAlpha] = 255;
                continue;
            }
            unsigned int da = dl.nAlpha >= 0 ? d[dl.nAlpha] : 255u;
            unsigned int nShare = std::min(da, 255u - sa);
            unsigned int nTotal = nShare + sa;
            d[dl.nRed] = static_cast<unsigned char>(divExact(d[dl.nRed] * nShare + s[sl.nRed] * sa, nTotal));
            d[dl.nGreen] = static_cast<unsigned char>(divExact(d[dl.nGreen] * nShare + s[sl.nGreen] * sa, nTotal));
            d[dl.nBlue] = static_cast<unsigned char>(divExact(d[dl.nBlue] * nShare + s[sl.nBlue] * sa, nTotal));
            if (dl.nAlpha >= 0) d[dl.nAlpha] = static_cast<unsigned char>(nTotal);
        }
    }
}

// The composite of one pixel of a 32-bit format with alpha at nA; the same
// integer steps as blendPixel, with the division through the reciprocal table.
inline uint32_t blendWord(uint32_t dp, uint32_t sp, unsigned nR, unsigned nG, unsigned nB, unsigned nA) {
    unsigned int sa = (sp >> nA) & 0xFF;
    if (sa == 0) return dp;
    if (sa == 255) return sp;
    unsigned int nShare = std::min<unsigned int>((dp >> nA) & 0xFF, 255u - sa);
    unsigned int nTotal = nShare + sa;
    uint32_t nRecip = g_reciprocals.aValues[nTotal];
    auto mix = [&](unsigned int nShift) -> uint32_t {
        unsigned int n = ((dp >> nShift) & 0xFF) * nShare + ((sp >> nShift) & 0xFF) * sa;
        return static_cast<uint32_t>((static_cast<uint64_t>(n) * nRecip) >> 24) << nShift;
    };
    return mix(nR) | mix(nG) | mix(nB) | (nTotal << nA);
}

#ifdef PIXELOPS_SSE2

// Four pixels of blendWord at once. The sums d * share + s * sa never exceed
// 255 * total, so they fit 16-bit lanes; the division by total goes through
// single-precision floats as (n + 0.5) * (1 / total), whose two roundings
// stay far below the 0.5 / 255 that separates the quotient from an integer,
// so truncation gives exactly floor(n / total).
inline __m128i blend4(__m128i s, __m128i d, __m128i nAlphaShift, __m128i alphaMask) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i c255 = _mm_set1_epi32(255);
    __m128i sa = _mm_and_si128(_mm_srl_epi32(s, nAlphaShift), c255);
    __m128i da = _mm_and_si128(_mm_srl_epi32(d, nAlphaShift), c255);
    // min(da, 255 - sa) per pixel: both sit in the low half of each lane, the high half is 0.
    __m128i share = _mm_min_epi16(da, _mm_sub_epi32(c255, sa));
    __m128i total = _mm_add_epi32(share, sa);
    // total is 0 only for a clear source over a clear destination, which the
    // final select discards; 1 keeps the reciprocal finite.
    __m128 rcp = _mm_div_ps(_mm_set1_ps(1.0f), _mm_cvtepi32_ps(_mm_max_epi16(total, _mm_set1_epi32(1))));

    // Each pixel's share and alpha repeated over its four 16-bit channel lanes.
    __m128i share2 = _mm_or_si128(share, _mm_slli_epi32(share, 16));
    __m128i sa2 = _mm_or_si128(sa, _mm_slli_epi32(sa, 16));
    __m128i nLo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi32(share2, share2)),
                                _mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi32(sa2, sa2)));
    __m128i nHi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi32(share2, share2)),
                                _mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi32(sa2, sa2)));

    const __m128 half = _mm_set1_ps(0.5f);
    auto quotient = [&](__m128i n16, __m128 r) {
        return _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(_mm_cvtepi32_ps(n16), half), r));
    };
    __m128i q0 = quotient(_mm_unpacklo_epi16(nLo, zero), _mm_shuffle_ps(rcp, rcp, 0x00));
    __m128i q1 = quotient(_mm_unpackhi_epi16(nLo, zero), _mm_shuffle_ps(rcp, rcp, 0x55));
    __m128i q2 = quotient(_mm_unpacklo_epi16(nHi, zero), _mm_shuffle_ps(rcp, rcp, 0xAA));
    __m128i q3 = quotient(_mm_unpackhi_epi16(nHi, zero), _mm_shuffle_ps(rcp, rcp, 0xFF));
    __m128i r = _mm_packus_epi16(_mm_packs_epi32(q0, q1), _mm_packs_epi32(q2, q3));
    r = _mm_or_si128(_mm_andnot_si128(alphaMask, r), _mm_sll_epi32(total, nAlphaShift));
    // A clear source pixel leaves the destination as it was.
    __m128i clear = _mm_cmpeq_epi32(sa, zero);
    return _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, r));
}

// Whole groups of four; returns how many pixels of the row it did.
int blendRowSse2(uint32_t* d, const uint32_t* s, int nWidth, unsigned nA) {
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFFu << nA));
    const __m128i nShift = _mm_cvtsi32_si128(static_cast<int>(nA));
    const __m128i zero = _mm_setzero_si128();
    int x = 0;
    for (; x + 4 <= nWidth; x += 4) {
        __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
        __m128i sa = _mm_and_si128(sp, alphaMask);
        __m128i opaque = _mm_cmpeq_epi32(sa, alphaMask);
        int nClear = _mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero));
        int nOpaque = _mm_movemask_epi8(opaque);
        if (nClear == 0xFFFF) continue;
        __m128i* pd = reinterpret_cast<__m128i*>(d + x);
        if (nOpaque == 0xFFFF) {
            _mm_storeu_si128(pd, sp);
            continue;
        }
        __m128i dp = _mm_loadu_si128(pd);
        // Over a clear destination the composite is the source itself (its share
        // is 0, so the total is the source's alpha), as text drawn into a label's
        // cleared picture is; a clear source still leaves the destination.
        __m128i taken = _mm_or_si128(opaque, _mm_andnot_si128(_mm_cmpeq_epi32(sa, zero),
                                                               _mm_cmpeq_epi32(_mm_and_si128(dp, alphaMask), zero)));
        if ((nClear | _mm_movemask_epi8(taken)) == 0xFFFF) {
            _mm_storeu_si128(pd, _mm_or_si128(_mm_and_si128(taken, sp), _mm_andnot_si128(taken, dp)));
        } else {
            _mm_storeu_si128(pd, blend4(sp, dp, nShift, alphaMask));
        }
    }
    return x;
}

#ifdef PIXELOPS_AVX2

// blend4 on eight pixels: every step works within each 128-bit half, so each
// half computes exactly what blend4 computes for its four pixels.
PIXELOPS_TARGET_AVX2 inline __m256i blend8(__m256i s, __m256i d, __m128i nAlphaShift, __m256i alphaMask) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i c255 = _mm256_set1_epi32(255);
    __m256i sa = _mm256_and_si256(_mm256_srl_epi32(s, nAlphaShift), c255);
    __m256i da = _mm256_and_si256(_mm256_srl_epi32(d, nAlphaShift), c255);
    __m256i share = _mm256_min_epi16(da, _mm256_sub_epi32(c255, sa));
    __m256i total = _mm256_add_epi32(share, sa);
    __m256 rcp = _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_cvtepi32_ps(_mm256_max_epi16(total, _mm256_set1_epi32(1))));

    __m256i share2 = _mm256_or_si256(share, _mm256_slli_epi32(share, 16));
    __m256i sa2 = _mm256_or_si256(sa, _mm256_slli_epi32(sa, 16));
    __m256i nLo =
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi32(share2, share2)),
                         _mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi32(sa2, sa2)));
    __m256i nHi =
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi32(share2, share2)),
                         _mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi32(sa2, sa2)));

    const __m256 half = _mm256_set1_ps(0.5f);
    auto quotient = [&](__m256i n16, __m256 r) PIXELOPS_TARGET_AVX2 {
        return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(_mm256_cvtepi32_ps(n16), half), r));
    };
    __m256i q0 = quotient(_mm256_unpacklo_epi16(nLo, zero), _mm256_shuffle_ps(rcp, rcp, 0x00));
    __m256i q1 = quotient(_mm256_unpackhi_epi16(nLo, zero), _mm256_shuffle_ps(rcp, rcp, 0x55));
    __m256i q2 = quotient(_mm256_unpacklo_epi16(nHi, zero), _mm256_shuffle_ps(rcp, rcp, 0xAA));
    __m256i q3 = quotient(_mm256_unpackhi_epi16(nHi, zero), _mm256_shuffle_ps(rcp, rcp, 0xFF));
    __m256i r = _mm256_packus_epi16(_mm256_packs_epi32(q0, q1), _mm256_packs_epi32(q2, q3));
    r = _mm256_or_si256(_mm256_andnot_si256(alphaMask, r), _mm256_sll_epi32(total, nAlphaShift));
    __m256i clear = _mm256_cmpeq_epi32(sa, zero);
    return _mm256_or_si256(_mm256_and_si256(clear, d), _mm256_andnot_si256(clear, r));
}

// blendRowSse2 eight pixels at a time; returns how many pixels of the row it did.
PIXELOPS_TARGET_AVX2 int blendRowAvx2(uint32_t* d, const uint32_t* s, int nWidth, unsigned nA) {
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFFu << nA));
    const __m128i nShift = _mm_cvtsi32_si128(static_cast<int>(nA));
    const __m256i zero = _mm256_setzero_si256();
    int x = 0;
    for (; x + 8 <= nWidth; x += 8) {
        __m256i sp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x));
        __m256i sa = _mm256_and_si256(sp, alphaMask);
        __m256i opaque = _mm256_cmpeq_epi32(sa, alphaMask);
        __m256i clear = _mm256_cmpeq_epi32(sa, zero);
        int nClear = _mm256_movemask_epi8(clear);
        if (nClear == -1) continue;
        __m256i* pd = reinterpret_cast<__m256i*>(d + x);
        if (_mm256_movemask_epi8(opaque) == -1) {
            _mm256_storeu_si256(pd, sp);
            continue;
        }
        __m256i dp = _mm256_loadu_si256(pd);
        __m256i taken = _mm256_or_si256(
            opaque, _mm256_andnot_si256(clear, _mm256_cmpeq_epi32(_mm256_and_si256(dp, alphaMask), zero)));
        if ((nClear | _mm256_movemask_epi8(taken)) == -1) {
            _mm256_storeu_si256(pd, _mm256_or_si256(_mm256_and_si256(taken, sp), _mm256_andnot_si256(taken, dp)));
        } else {
            _mm256_storeu_si256(pd, blend8(sp, dp, nShift, alphaMask));
        }
    }
    return x;
}

#endif // PIXELOPS_AVX2

// The vector part of a row: eight at a time where AVX2 is there, then fours.
// Narrow rows (small glyphs) stay on fours: the wide registers do not pay
// for themselves over a few pixels.
#ifdef PIXELOPS_AVX2
const bool g_bAvx2 = __builtin_cpu_supports("avx2");
#endif

inline int blendRowVector(uint32_t* d, const uint32_t* s, int nWidth, unsigned nA) {
#ifdef PIXELOPS_AVX2
    if (nWidth >= 32 && g_bAvx2) {
        int x = blendRowAvx2(d, s, nWidth, nA);
        return x + blendRowSse2(d + x, s + x, nWidth - x, nA);
    }
#endif
    return blendRowSse2(d, s, nWidth, nA);
}

#endif // PIXELOPS_SSE2

// Both in one 32-bit format with alpha (pictures loaded for display): whole
// pixels move as words, and opaque or clear runs cost one test per group.
void blendSame32(const PixelBuffer& dst, const PixelBuffer& src) {
    const SDL_PixelFormat* f = src.pFormat;
    const unsigned nR = f->Rshift, nG = f->Gshift, nB = f->Bshift, nA = f->Ashift;
    for (int y = 0; y < src.nHeight; ++y) {
        const uint32_t* s = reinterpret_cast<const uint32_t*>(src.pPixels + y * src.nPitch);
        uint32_t* d = reinterpret_cast<uint32_t*>(dst.pPixels + y * dst.nPitch);
        int x = 0;
#ifdef PIXELOPS_SSE2
        x = blendRowVector(d, s, src.nWidth, nA);
#endif
        for (; x < src.nWidth; ++x) d[x] = blendWord(d[x], s[x], nR, nG, nB, nA);
    }
}

// Both 32-bit with alpha in different byte orders (SDL_ttf's text onto our
// pictures): each run of source pixels is put in the destination's order
// first, then blended as blendSame32 does.
#ifdef PIXELOPS_AVX2
// The byte moves of blendReordered32's loop, eight pixels by one shuffle; aIndex
// names, for each byte of four pixels, the source byte it takes. Returns how
// many pixels it did.
PIXELOPS_TARGET_AVX2 int reorderAvx2(uint32_t* pOut, const uint32_t* s, int n, const unsigned char* aIndex) {
    const __m256i index = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(aIndex)));
    int x = 0;
    for (; x + 8 <= n; x += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pOut + x),
                            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x)), index));
    return x;
}
#endif

void blendReordered32(const PixelBuffer& dst, const ByteLayout& dl, const PixelBuffer& src, const ByteLayout& sl) {
    const SDL_PixelFormat* f = dst.pFormat;
    const unsigned nR = f->Rshift, nG = f->Gshift, nB = f->Bshift, nA = f->Ashift;
    const int aFrom[4] = {8 * sl.nRed, 8 * sl.nGreen, 8 * sl.nBlue, 8 * sl.nAlpha};
    const int aTo[4] = {8 * dl.nRed, 8 * dl.nGreen, 8 * dl.nBlue, 8 * dl.nAlpha};
#ifdef PIXELOPS_AVX2
    // Both layouts hold all four channels, so the moves are a permutation of each pixel's bytes.
    unsigned char aIndex[16];
    for (int p = 0; p < 4; ++p)
        for (int c = 0; c < 4; ++c) aIndex[4 * p + aTo[c] / 8] = static_cast<unsigned char>(4 * p + aFrom[c] / 8);
#endif
    enum { RUN = 128 };
    uint32_t aRun[RUN];
    for (int y = 0; y < src.nHeight; ++y) {
        const uint32_t* s = reinterpret_cast<const uint32_t*>(src.pPixels + y * src.nPitch);
        uint32_t* d = reinterpret_cast<uint32_t*>(dst.pPixels + y * dst.nPitch);
        for (int x0 = 0; x0 < src.nWidth; x0 += RUN) {
            int n = std::min<int>(RUN, src.nWidth - x0);
            int x = 0;
#ifdef PIXELOPS_AVX2
            if (g_bAvx2) x = reorderAvx2(aRun, s + x0, n, aIndex);
#endif
#ifdef PIXELOPS_SSE2
            const __m128i c255 = _mm_set1_epi32(255);
            for (; x + 4 <= n; x += 4) {
                __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x0 + x)), out = _mm_setzero_si128();
                for (int c = 0; c < 4; ++c)
                    out = _mm_or_si128(out, _mm_sll_epi32(_mm_and_si128(_mm_srl_epi32(v, _mm_cvtsi32_si128(aFrom[c])), c255),
                                                          _mm_cvtsi32_si128(aTo[c])));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(aRun + x), out);
            }
#endif
            for (; x < n; ++x) {
                uint32_t v = s[x0 + x], out = 0;
                for (int c = 0; c < 4; ++c) out |= ((v >> aFrom[c]) & 0xFFu) << aTo[c];
                aRun[x] = out;
            }
            x = 0;
#ifdef PIXELOPS_SSE2
            x = blendRowVector(d + x0, aRun, n, nA);
#endif
            for (; x < n; ++x) d[x0 + x] = blendWord(d[x0 + x], aRun[x], nR, nG, nB, nA);
        }
    }
}

} // namespace

void blend(const PixelBuffer& dst, const PixelBuffer& src) {
    blend(dst, getByteLayout(dst.pFormat), src, getByteLayout(src.pFormat));
}

void blend(const PixelBuffer& dst, const ByteLayout& dl, const PixelBuffer& src, const ByteLayout& sl) {
    if (!bothFast(dl, sl)) return blendGeneric(dst, src);
    if (dl.nBytes == 4 && sl.nBytes == 4 && dl.nAlpha >= 0 && sl.nAlpha >= 0 && dl.nRed == sl.nRed &&
        dl.nGreen == sl.nGreen && dl.nBlue == sl.nBlue && dl.nAlpha == sl.nAlpha)
        return blendSame32(dst, src);
    if (dl.nBytes == 4 && sl.nBytes == 4 && dl.nAlpha >= 0 && sl.nAlpha >= 0) return blendReordered32(dst, dl, src, sl);
    if (sl.nBytes == 4 && dl.nBytes == 4) return blendRows<4, 4>(dst, dl, src, sl);
    if (sl.nBytes == 4 && dl.nBytes == 3) return blendRows<4, 3>(dst, dl, src, sl);
    if (sl.nBytes == 3 && dl.nBytes == 4) return blendRows<3, 4>(dst, dl, src, sl);
    return blendRows<3, 3>(dst, dl, src, sl);
}

// ---- Colour edits ----------------------------------------------------------

void tintGeneric(const PixelBuffer& buf, const Color& k) {
    for (int y = 0; y < buf.nHeight; ++y) {
        for (int x = 0; x < buf.nWidth; ++x) {
            Color c = readPixel(buf, x, y);
            writePixel(buf, x, y,
                       Color(static_cast<unsigned char>(c.r * k.r >> 8), static_cast<unsigned char>(c.g * k.g >> 8),
                             static_cast<unsigned char>(c.b * k.b >> 8), c.a));
        }
    }
}

namespace {

// Per-byte factors over one block of a row: the block is a whole number of
// pixels and of 16-byte vectors (16 bytes for 4-byte pixels, 48 for 3-byte).
// Each byte becomes byte * factor >> 8; a factor of 256 keeps the byte.
struct ByteScale {
    enum { MAX_BLOCK = 48 };
    int nBlock;
    uint16_t aFactors[MAX_BLOCK];

    explicit ByteScale(int nBytes) : nBlock(nBytes == 4 ? 16 : 48) {
        for (int i = 0; i < MAX_BLOCK; ++i) aFactors[i] = 256;
    }
    void setChannel(int nBytes, int nOffset, unsigned int nFactor) {
        for (int i = nOffset; i < nBlock; i += nBytes) aFactors[i] = static_cast<uint16_t>(nFactor);
    }
    void applyToRow(unsigned char* p, int nRowBytes) const {
        int i = 0;
#ifdef PIXELOPS_SSE2
        // byte * factor <= 255 * 256 fits the 16-bit lanes unsigned.
        const __m128i zero = _mm_setzero_si128();
        for (; i + nBlock <= nRowBytes; i += nBlock) {
            for (int j = 0; j < nBlock; j += 16) {
                __m128i* pv = reinterpret_cast<__m128i*>(p + i + j);
                __m128i v = _mm_loadu_si128(pv);
                __m128i fLo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(aFactors + j));
                __m128i fHi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(aFactors + j + 8));
                __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), fLo), 8);
                __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), fHi), 8);
                _mm_storeu_si128(pv, _mm_packus_epi16(lo, hi));
            }
        }
#endif
        for (; i < nRowBytes; ++i)
            p[i] = static_cast<unsigned char>(p[i] * static_cast<unsigned int>(aFactors[i % nBlock]) >> 8);
    }
    void apply(const PixelBuffer& buf, int nBytes) const {
        for (int y = 0; y < buf.nHeight; ++y) applyToRow(buf.pPixels + y * buf.nPitch, buf.nWidth * nBytes);
    }
};

} // namespace

void tint(const PixelBuffer& buf, const Color& k) {
    ByteLayout l = getByteLayout(buf.pFormat);
    if (!l.bValid) return tintGeneric(buf, k);
    ByteScale scale(l.nBytes);
    scale.setChannel(l.nBytes, l.nRed, k.r);
    scale.setChannel(l.nBytes, l.nGreen, k.g);
    scale.setChannel(l.nBytes, l.nBlue, k.b);
    scale.apply(buf, l.nBytes);
}

void multiplyAlphaGeneric(const PixelBuffer& buf, int nFactor) {
    if (nFactor == 255 || !buf.hasAlpha()) return;
    for (int y = 0; y < buf.nHeight; ++y) {
        for (int x = 0; x < buf.nWidth; ++x) {
            Color c = readPixel(buf, x, y);
            if (c.a == 0) continue;
            c.a = static_cast<unsigned char>(c.a * nFactor >> 8);
            writePixel(buf, x, y, c);
        }
    }
}

void multiplyAlpha(const PixelBuffer& buf, int nFactor) {
    ByteLayout l = getByteLayout(buf.pFormat);
    if (!l.bValid) return multiplyAlphaGeneric(buf, nFactor);
    if (nFactor == 255 || l.nAlpha < 0) return;
    if (nFactor < 0 || nFactor > 256) return multiplyAlphaGeneric(buf, nFactor);
    ByteScale scale(l.nBytes);
    scale.setChannel(l.nBytes, l.nAlpha, static_cast<unsigned int>(nFactor));
    scale.apply(buf, l.nBytes);
}

static unsigned char channelOf(const Color& c, int nIndex) {
    switch (nIndex & 3) {
    case 0: return c.r;
    case 1: return c.g;
    case 2: return c.b;
    default: return c.a;
    }
}

void remapChannelsGeneric(const PixelBuffer& buf, int nRed, int nGreen, int nBlue) {
    for (int y = 0; y < buf.nHeight; ++y) {
        for (int x = 0; x < buf.nWidth; ++x) {
            Color c = readPixel(buf, x, y);
            writePixel(buf, x, y, Color(channelOf(c, nRed), channelOf(c, nGreen), channelOf(c, nBlue), c.a));
        }
    }
}

template <int B>
static void remapRows(const PixelBuffer& buf, const ByteLayout& l, int nRed, int nGreen, int nBlue) {
    // Byte offsets of the picked channels; a missing alpha reads as 255.
    const int aOffsets[4] = {l.nRed, l.nGreen, l.nBlue, l.nAlpha};
    const int aPick[3] = {aOffsets[nRed & 3], aOffsets[nGreen & 3], aOffsets[nBlue & 3]};
    for (int y = 0; y < buf.nHeight; ++y) {
        unsigned char* p = buf.pPixels + y * buf.nPitch;
        for (int x = 0; x < buf.nWidth; ++x, p += B) {
            unsigned char aNew[3];
            for (int i = 0; i < 3; ++i) aNew[i] = aPick[i] >= 0 ? p[aPick[i]] : 255;
            p[l.nRed] = aNew[0];
            p[l.nGreen] = aNew[1];
            p[l.nBlue] = aNew[2];
        }
    }
}

void remapChannels(const PixelBuffer& buf, int nRed, int nGreen, int nBlue) {
    ByteLayout l = getByteLayout(buf.pFormat);
    if (!l.bValid) return remapChannelsGeneric(buf, nRed, nGreen, nBlue);
    if (l.nBytes == 4) return remapRows<4>(buf, l, nRed, nGreen, nBlue);
    remapRows<3>(buf, l, nRed, nGreen, nBlue);
}

// ---- Mirroring -------------------------------------------------------------

void flipHorizontalGeneric(const PixelBuffer& buf) {
    for (int y = 0; y < buf.nHeight; ++y) {
        for (int x = 0; x < buf.nWidth / 2; ++x) {
            Color a = readPixel(buf, x, y);
            Color b = readPixel(buf, buf.nWidth - 1 - x, y);
            writePixel(buf, x, y, b);
            writePixel(buf, buf.nWidth - 1 - x, y, a);
        }
    }
}

template <int B>
static void flipRows(const PixelBuffer& buf) {
    unsigned char aScratch[B];
    for (int y = 0; y < buf.nHeight; ++y) {
        unsigned char* pLeft = buf.pPixels + y * buf.nPitch;
        unsigned char* pRight = pLeft + (buf.nWidth - 1) * B;
        for (; pLeft < pRight; pLeft += B, pRight -= B) {
            std::memcpy(aScratch, pLeft, B);
            std::memcpy(pLeft, pRight, B);
            std::memcpy(pRight, aScratch, B);
        }
    }
}

void flipHorizontal(const PixelBuffer& buf) {
    switch (buf.pFormat->BytesPerPixel) {
    case 4: return flipRows<4>(buf);
    case 3: return flipRows<3>(buf);
    case 2: return flipRows<2>(buf);
    default: return flipRows<1>(buf);
    }
}

void flipVertical(const PixelBuffer& buf) {
    int nRowBytes = buf.nWidth * buf.pFormat->BytesPerPixel;
    std::vector<unsigned char> aScratch(nRowBytes);
    for (int y = 0; y < buf.nHeight / 2; ++y) {
        unsigned char* pTop = buf.pPixels + y * buf.nPitch;
        unsigned char* pBottom = buf.pPixels + (buf.nHeight - 1 - y) * buf.nPitch;
        std::memcpy(aScratch.data(), pTop, nRowBytes);
        std::memcpy(pTop, pBottom, nRowBytes);
        std::memcpy(pBottom, aScratch.data(), nRowBytes);
    }
}

// ---- Alpha transfer --------------------------------------------------------

void transferAlphaGeneric(const PixelBuffer& dst, const PixelBuffer& mask, int nMode) {
    if (nMode != 0 && nMode != 1) return;
    bool bMaskAlpha = mask.hasAlpha();
    for (int y = 0; y < dst.nHeight; ++y) {
        for (int x = 0; x < dst.nWidth; ++x) {
            Color m = readPixel(mask, x, y);
            unsigned int nValue = bMaskAlpha ? m.a : m.r;
            Color c = readPixel(dst, x, y);
            c.a = static_cast<unsigned char>(nMode == 0 ? nValue : (c.a * nValue) >> 8);
            writePixel(dst, x, y, c);
        }
    }
}

template <int DB, int MB>
static void transferRows(const PixelBuffer& dst, int nDstAlpha, const PixelBuffer& mask, int nMaskByte, int nMode) {
    for (int y = 0; y < dst.nHeight; ++y) {
        unsigned char* d = dst.pPixels + y * dst.nPitch + nDstAlpha;
        const unsigned char* m = mask.pPixels + y * mask.nPitch + nMaskByte;
        if (nMode == 0) {
            for (int x = 0; x < dst.nWidth; ++x, d += DB, m += MB) *d = *m;
        } else {
            for (int x = 0; x < dst.nWidth; ++x, d += DB, m += MB) *d = static_cast<unsigned char>((*d * *m) >> 8);
        }
    }
}

void transferAlpha(const PixelBuffer& dst, const PixelBuffer& mask, int nMode) {
    ByteLayout dl = getByteLayout(dst.pFormat);
    ByteLayout ml = getByteLayout(mask.pFormat);
    if (!bothFast(dl, ml) || dl.nAlpha < 0 || dl.nBytes != 4) return transferAlphaGeneric(dst, mask, nMode);
    if (nMode != 0 && nMode != 1) return;
    int nMaskByte = ml.nAlpha >= 0 ? ml.nAlpha : ml.nRed;
    if (ml.nBytes == 4) return transferRows<4, 4>(dst, dl.nAlpha, mask, nMaskByte, nMode);
    transferRows<4, 3>(dst, dl.nAlpha, mask, nMaskByte, nMode);
}

void setAlpha(const PixelBuffer& buf, int nAlpha) {
    if (!buf.hasAlpha()) return;
    for (int y = 0; y < buf.nHeight; ++y) {
        for (int x = 0; x < buf.nWidth; ++x) {
            Color c = readPixel(buf, x, y);
            c.a = static_cast<unsigned char>(nAlpha);
            writePixel(buf, x, y, c);
        }
    }
}

// ---- Transparency scans ----------------------------------------------------

namespace {

// Answers "is this raw pixel transparent" for a fast layout without
// touching SDL's mapping.
struct FastTransparency {
    int nAlphaByte;
    // Signed, as in the generic test: a negative threshold finds nothing transparent.
    int nThreshold;
    bool bKey;
    unsigned int nMask;
    unsigned int nKey;
    int nBytes;

    FastTransparency(const PixelBuffer& buf, const ByteLayout& l, int nThr)
        : nAlphaByte(l.nAlpha), nThreshold(nThr),
          bKey(buf.bHasColorKey), nMask(colorMask(buf.pFormat)), nKey(buf.pFormat->colorkey & nMask),
          nBytes(l.nBytes) {}
    bool isTransparent(const unsigned char* p) const {
        if (nAlphaByte >= 0) return static_cast<int>(p[nAlphaByte]) <= nThreshold;
        if (bKey) return (readRaw(p, nBytes) & nMask) == nKey;
        return false;
    }
    bool canBeTransparent() const { return nAlphaByte >= 0 || bKey; }
};

bool spanTransparent(const PixelBuffer& buf, int x, int y, int dx, int dy, int nCount, int nThreshold) {
    ByteLayout l = getByteLayout(buf.pFormat);
    if (!l.bValid) {
        for (int i = 0; i < nCount; ++i) {
            if (!isPixelTransparent(buf, x + i * dx, y + i * dy, nThreshold)) return false;
        }
        return true;
    }
    FastTransparency t(buf, l, nThreshold);
    if (!t.canBeTransparent()) return nCount == 0;
    const unsigned char* p = pixelAt(buf, x, y);
    int nStep = dx * l.nBytes + dy * buf.nPitch;
    for (int i = 0; i < nCount; ++i, p += nStep) {
        if (!t.isTransparent(p)) return false;
    }
    return true;
}

} // namespace

bool isRowTransparent(const PixelBuffer& buf, int y, int nThreshold) {
    return spanTransparent(buf, 0, y, 1, 0, buf.nWidth, nThreshold);
}

bool isColumnTransparent(const PixelBuffer& buf, int x, int nThreshold) {
    return spanTransparent(buf, x, 0, 0, 1, buf.nHeight, nThreshold);
}

bool isRowTransparentGeneric(const PixelBuffer& buf, int y, int nThreshold) {
    for (int x = 0; x < buf.nWidth; ++x) {
        if (!isPixelTransparent(buf, x, y, nThreshold)) return false;
    }
    return true;
}

bool isRectClearGeneric(const PixelBuffer& buf, const Rect& r) {
    Color key = buf.bHasColorKey ? keyColor(buf) : Color();
    bool bAlpha = buf.hasAlpha();
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            Color c = readPixel(buf, x, y);
            if (buf.bHasColorKey ? c != key : !bAlpha || c.a != 0) return false;
        }
    }
    return true;
}

bool isRectClear(const PixelBuffer& buf, const Rect& r) {
    ByteLayout l = getByteLayout(buf.pFormat);
    if (!l.bValid) return isRectClearGeneric(buf, r);
    if (r.isEmpty()) return true;
    if (!buf.bHasColorKey && l.nAlpha < 0) return false;
    unsigned int nMask = buf.pFormat->Amask, nWanted = 0;
    if (buf.bHasColorKey) {
        // The key is opaque, so with alpha a keyed pixel must be opaque too.
        nMask |= colorMask(buf.pFormat);
        nWanted = (buf.pFormat->colorkey & colorMask(buf.pFormat)) | buf.pFormat->Amask;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        const unsigned char* p = pixelAt(buf, r.left, y);
        for (int x = r.left; x < r.right; ++x, p += l.nBytes) {
            if ((readRaw(p, l.nBytes) & nMask) != nWanted) return false;
        }
    }
    return true;
}

Rect findContentBounds(const PixelBuffer& buf) {
    int nTop = 0;
    while (nTop < buf.nHeight && isRowTransparent(buf, nTop, 0)) ++nTop;
    if (nTop == buf.nHeight) return Rect(0, 0, 0, 0);
    int nBottom = buf.nHeight - 1;
    while (nBottom > nTop && isRowTransparent(buf, nBottom, 0)) --nBottom;
    int nLeft = 0;
    while (nLeft < buf.nWidth && isColumnTransparent(buf, nLeft, 0)) ++nLeft;
    int nRight = buf.nWidth - 1;
    while (nRight > nLeft && isColumnTransparent(buf, nRight, 0)) --nRight;
    return Rect(nLeft, nTop, nRight + 1, nBottom + 1);
}

int countCoveredGeneric(const PixelBuffer& buf, const Rect& r, int nThreshold, int nLimit) {
    int nCount = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (!isPixelTransparent(buf, x, y, nThreshold) && ++nCount > nLimit) return nCount;
        }
    }
    return nCount;
}

int countCovered(const PixelBuffer& buf, const Rect& r, int nThreshold, int nLimit) {
    ByteLayout l = getByteLayout(buf.pFormat);
    if (!l.bValid) return countCoveredGeneric(buf, r, nThreshold, nLimit);
    FastTransparency t(buf, l, nThreshold);
    if (!t.canBeTransparent()) {
        int nAll = r.getWidth() * r.getHeight();
        return nAll > nLimit ? nLimit + 1 : nAll;
    }
    int nCount = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        const unsigned char* p = pixelAt(buf, r.left, y);
        for (int x = r.left; x < r.right; ++x, p += l.nBytes) {
            if (!t.isTransparent(p) && ++nCount > nLimit) return nCount;
        }
    }
    return nCount;
}

} // namespace PixelOps
