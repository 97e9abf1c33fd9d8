#include "d3d7/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

#include "d3d7/test_hooks.h"

namespace dx7::raster {
namespace {

using std::int64_t;

constexpr int64_t kSub = 256;  // sub-pixel steps per pixel
// Distance beyond the clip rectangle that geometry may reach before it is clipped.
// Keeps snapped coordinates near 2^23 so edge products stay far inside 64 bits.
constexpr double kGuard = 2048.0;
constexpr DWORD kOpaque = 0xFF000000u;

// ---- per-pixel arithmetic shared by both paths ------------------------------

inline DWORD channel(DWORD c, int nShift) { return (c >> nShift) & 0xFFu; }

inline DWORD modulate(DWORD a, DWORD b) {
  return div255(channel(a, 24) * channel(b, 24)) << 24 | div255(channel(a, 16) * channel(b, 16)) << 16 |
         div255(channel(a, 8) * channel(b, 8)) << 8 | div255(channel(a, 0) * channel(b, 0));
}

inline DWORD combine(DWORD nTexel, DWORD nDiffuse, Source eColour, Source eAlpha) {
  if (eColour == Source::Modulate && eAlpha == Source::Modulate) return modulate(nTexel, nDiffuse);
  DWORD nMod = (eColour == Source::Modulate || eAlpha == Source::Modulate) ? modulate(nTexel, nDiffuse) : 0;
  auto pick = [&](Source e) { return e == Source::Modulate ? nMod : e == Source::Texture ? nTexel : nDiffuse; };
  return (pick(eColour) & 0x00FFFFFFu) | (pick(eAlpha) & kOpaque);
}

inline bool compare(DWORD nFunc, DWORD a, DWORD b) {
  switch (nFunc) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < b;
    case D3DCMP_EQUAL: return a == b;
    case D3DCMP_LESSEQUAL: return a <= b;
    case D3DCMP_GREATER: return a > b;
    case D3DCMP_NOTEQUAL: return a != b;
    case D3DCMP_GREATEREQUAL: return a >= b;
    default: return true;
  }
}

inline DWORD blendFactor(DWORD nFactor, DWORD nAlpha) {
  switch (nFactor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_SRCALPHA: return nAlpha;
    case D3DBLEND_INVSRCALPHA: return 255 - nAlpha;
    default: return 255;
  }
}

// Alpha test and stencil stage of one pixel of alpha nAlpha; pStencil is null when the
// stencil stage is off. Updates the stencil value as its operations say; true when the
// pixel goes on to the blend.
inline bool passesTests(BYTE* pStencil, DWORD nAlpha, const PixelState& st) {
  if (st.m_bAlphaTest && !compare(st.m_nAlphaFunc, nAlpha, st.m_nAlphaRef & 0xFFu)) return false;
  if (pStencil) {
    DWORD nValue = *pStencil;
    DWORD nMask = st.m_nStencilMask & 0xFFu;
    bool bPass = compare(st.m_nStencilFunc, st.m_nStencilRef & nMask, nValue & nMask);
    if ((bPass ? st.m_nStencilPass : st.m_nStencilFail) == D3DSTENCILOP_REPLACE) {
      DWORD nWrite = st.m_nStencilWriteMask & 0xFFu;
      *pStencil = static_cast<BYTE>((nValue & ~nWrite) | (st.m_nStencilRef & nWrite));
    }
    if (!bPass) return false;
  }
  return true;
}

// Alpha test, stencil, blend and write of one pixel. The target is X8R8G8B8: its alpha
// byte always reads back as 0xFF.
inline void shadePixel(DWORD* pDst, BYTE* pStencil, DWORD nSrc, const PixelState& st) {
  DWORD nAlpha = nSrc >> 24;
  if (!passesTests(pStencil, nAlpha, st)) return;
  if (!st.m_bBlend) {
    *pDst = nSrc | kOpaque;
    return;
  }
  DWORD nFs = blendFactor(st.m_nSrcBlend, nAlpha);
  DWORD nFd = blendFactor(st.m_nDestBlend, nAlpha);
  DWORD nDst = *pDst;
  DWORD nOut = kOpaque;
  for (int nShift = 0; nShift < 24; nShift += 8)
    nOut |= std::min<DWORD>(255, div255(channel(nSrc, nShift) * nFs + channel(nDst, nShift) * nFd)) << nShift;
  *pDst = nOut;
}

inline DWORD fetch(const TextureView& tex, int64_t x, int64_t y) {
  x = std::clamp<int64_t>(x, 0, tex.m_nWidth - 1);
  y = std::clamp<int64_t>(y, 0, tex.m_nHeight - 1);
  DWORD c = tex.m_pTexels[y * tex.m_nPitch + x];
  return tex.m_bAlpha ? c : (c | kOpaque);
}

// Texel coordinates are stepped along a row in 1/2^24 texel (enough that a row of any
// length drifts by far less than 1/256 texel) and sampled in 1/256 texel: that rounding
// absorbs the float noise of the transform, so a texel centre is hit exactly.
constexpr int kStepBits = 24;
// std::llround (halves away from zero) without the library call, for |x| < 2^62: the
// truncation is exact, and so is the fraction (x is whole from 2^52 up).
inline int64_t roundHalfAway(double x) {
  int64_t n = static_cast<int64_t>(x);
  double fFraction = x - static_cast<double>(n);
  return n + (fFraction >= 0.5) - (fFraction <= -0.5);
}
inline int64_t toStep(double s) { return roundHalfAway(std::clamp(s, -1.0e9, 1.0e9) * static_cast<double>(1 << kStepBits)); }
inline int64_t stepTo256(int64_t n) { return (n + (int64_t(1) << (kStepBits - 9))) >> (kStepBits - 8); }

inline DWORD sampleNearest(const TextureView& tex, int64_t nS, int64_t nT) {
  return fetch(tex, stepTo256(nS) >> 8, stepTo256(nT) >> 8);
}

// Two channels per 64-bit word, 32 bits apart, so one multiply weights both and the
// vertical pass (up to 24 bits per channel) still has room.
inline std::uint64_t spreadLow(DWORD c) { return (c & 0xFFu) | (std::uint64_t(c & 0xFF00u) << 24); }
inline std::uint64_t spreadHigh(DWORD c) { return ((c >> 16) & 0xFFu) | (std::uint64_t(c & 0xFF000000u) << 8); }

// Four texels weighted by wx, wy in 1/256 texel (c10 lies right of c00, c01 below it).
inline DWORD lerpTexels(DWORD c00, DWORD c10, DWORD c01, DWORD c11, std::uint64_t wx, std::uint64_t wy) {
  const std::uint64_t kRound = (std::uint64_t(32768) << 32) | 32768u;
  std::uint64_t nLow = ((spreadLow(c00) * (256 - wx) + spreadLow(c10) * wx) * (256 - wy) +
                        (spreadLow(c01) * (256 - wx) + spreadLow(c11) * wx) * wy + kRound) >> 16;
  std::uint64_t nHigh = ((spreadHigh(c00) * (256 - wx) + spreadHigh(c10) * wx) * (256 - wy) +
                         (spreadHigh(c01) * (256 - wx) + spreadHigh(c11) * wx) * wy + kRound) >> 16;
  return static_cast<DWORD>((nLow & 0xFFu) | ((nLow >> 24) & 0xFF00u) | ((nHigh & 0xFFu) << 16) |
                            ((nHigh >> 8) & 0xFF000000u));
}

inline DWORD sampleLinear(const TextureView& tex, int64_t nStepS, int64_t nStepT) {
  int64_t nS = stepTo256(nStepS) - 128, nT = stepTo256(nStepT) - 128;
  int64_t x = nS >> 8, y = nT >> 8;
  std::uint64_t wx = static_cast<std::uint64_t>(nS & 255), wy = static_cast<std::uint64_t>(nT & 255);
  DWORD c00 = fetch(tex, x, y);
  if (wx == 0 && wy == 0) return c00;
  return lerpTexels(c00, fetch(tex, x + 1, y), fetch(tex, x, y + 1), fetch(tex, x + 1, y + 1), wx, wy);
}

inline int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
inline int64_t ceilDiv(int64_t a, int64_t b) { return -floorDiv(-a, b); }

inline bool isFinite(const ScreenVertex& v) {
  return std::isfinite(v.m_fX) && std::isfinite(v.m_fY) && std::isfinite(v.m_fU) && std::isfinite(v.m_fV);
}

// Callers pass coordinates far inside roundHalfAway's range (the guard band, or the
// fast path's bound).
inline int64_t snap(double f) { return roundHalfAway(f * static_cast<double>(kSub)); }

// ---- guard-band clipping ------------------------------------------------------

double coord(const ScreenVertex& v, int nAxis) { return nAxis == 0 ? v.m_fX : v.m_fY; }

bool vertexLess(const ScreenVertex& a, const ScreenVertex& b) {
  if (a.m_fX != b.m_fX) return a.m_fX < b.m_fX;
  if (a.m_fY != b.m_fY) return a.m_fY < b.m_fY;
  if (a.m_fU != b.m_fU) return a.m_fU < b.m_fU;
  if (a.m_fV != b.m_fV) return a.m_fV < b.m_fV;
  return a.m_nColour < b.m_nColour;
}

DWORD lerpColour(DWORD a, DWORD b, double t) {
  DWORD nOut = 0;
  for (int nShift = 0; nShift < 32; nShift += 8) {
    double f = channel(a, nShift) + (static_cast<double>(channel(b, nShift)) - channel(a, nShift)) * t;
    nOut |= static_cast<DWORD>(std::clamp(std::lround(f), 0L, 255L)) << nShift;
  }
  return nOut;
}

// Cuts edge p-q at coord(axis) == bound. The result does not depend on the direction
// the edge is walked, so two triangles sharing that edge get the same point; it is
// measured from the endpoint nearer the bound so huge coordinates keep their precision.
ScreenVertex intersect(const ScreenVertex& p, const ScreenVertex& q, int nAxis, double fBound) {
  const ScreenVertex* pLo = &p;
  const ScreenVertex* pHi = &q;
  if (vertexLess(q, p)) std::swap(pLo, pHi);
  const ScreenVertex* pBase = pLo;
  const ScreenVertex* pOther = pHi;
  if (std::fabs(coord(*pHi, nAxis) - fBound) < std::fabs(coord(*pLo, nAxis) - fBound)) std::swap(pBase, pOther);
  double t = (fBound - coord(*pBase, nAxis)) / (coord(*pOther, nAxis) - coord(*pBase, nAxis));
  ScreenVertex r;
  r.m_fX = pBase->m_fX + (pOther->m_fX - pBase->m_fX) * t;
  r.m_fY = pBase->m_fY + (pOther->m_fY - pBase->m_fY) * t;
  r.m_fU = pBase->m_fU + (pOther->m_fU - pBase->m_fU) * t;
  r.m_fV = pBase->m_fV + (pOther->m_fV - pBase->m_fV) * t;
  r.m_nColour = lerpColour(pBase->m_nColour, pOther->m_nColour, t);
  (nAxis == 0 ? r.m_fX : r.m_fY) = fBound;
  return r;
}

// Keeps the part of the polygon where sign * (coord - bound) <= 0.
int clipPolygon(const ScreenVertex* pIn, int nIn, ScreenVertex* pOut, int nAxis, double fBound, double fSign) {
  int nOut = 0;
  for (int i = 0; i < nIn; ++i) {
    const ScreenVertex& a = pIn[i];
    const ScreenVertex& b = pIn[(i + 1) % nIn];
    bool bAIn = fSign * (coord(a, nAxis) - fBound) <= 0.0;
    bool bBIn = fSign * (coord(b, nAxis) - fBound) <= 0.0;
    if (bAIn) pOut[nOut++] = a;
    if (bAIn != bBIn) pOut[nOut++] = intersect(a, b, nAxis, fBound);
  }
  return nOut;
}

// ---- straight rows ---------------------------------------------------------------
// A row of texels with one diffuse colour, shaded without per-pixel state switches. Both
// the fast path and the spans of the triangle path end here; every kernel reproduces
// shadePixel bit for bit, which the tests check against the per-pixel code.

// Which row kernel stands for the blend of shadePixel under these states (the tests are
// run apart, see testedRow). Generic: none does. Skip: the blend changes nothing (the
// target's alpha byte is always 0xFF).
enum class RowMode { Generic, Skip, Copy, Over, Add };

RowMode rowModeOf(const PixelState& st) {
  if (st.m_eColour != Source::Modulate || st.m_eAlpha != Source::Modulate) return RowMode::Generic;
  if (!st.m_bBlend || (st.m_nSrcBlend == D3DBLEND_ONE && st.m_nDestBlend == D3DBLEND_ZERO)) return RowMode::Copy;
  if (st.m_nSrcBlend == D3DBLEND_ZERO && st.m_nDestBlend == D3DBLEND_ONE) return RowMode::Skip;
  if (st.m_nSrcBlend != D3DBLEND_SRCALPHA) return RowMode::Generic;
  if (st.m_nDestBlend == D3DBLEND_INVSRCALPHA) return RowMode::Over;
  if (st.m_nDestBlend == D3DBLEND_ONE) return RowMode::Add;
  return RowMode::Generic;
}

#if defined(__SSE2__)
// round(x / 255) for x <= 255 * 255, as ((x + 128) * 257) >> 16: equal to div255 over
// that whole range, in two instructions.
inline __m128i div255x8(__m128i x) {
  return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

inline __m128i broadcastAlpha(__m128i x) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

// Two pixels (eight 16-bit lanes): modulated source m over destination d.
template <RowMode M>
inline __m128i blendHalf(__m128i m, __m128i d) {
  if (M == RowMode::Copy) return m;
  __m128i a = broadcastAlpha(m);
  __m128i sa = _mm_mullo_epi16(m, a);
  if (M == RowMode::Add) return div255x8(sa);
  __m128i ia = _mm_sub_epi16(_mm_set1_epi16(255), a);
  return div255x8(_mm_add_epi16(sa, _mm_mullo_epi16(d, ia)));
}

// Four pixels: texels t (their alpha already forced where the texture has none) shaded
// over destination d.
template <RowMode M, bool kModulate>
inline __m128i shadeGroup(__m128i t, __m128i d, __m128i diffuse) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
  __m128i mLo = _mm_unpacklo_epi8(t, zero), mHi = _mm_unpackhi_epi8(t, zero);
  if (kModulate) {
    mLo = div255x8(_mm_mullo_epi16(mLo, diffuse));
    mHi = div255x8(_mm_mullo_epi16(mHi, diffuse));
  }
  __m128i out = _mm_packus_epi16(blendHalf<M>(mLo, _mm_unpacklo_epi8(d, zero)),
                                 blendHalf<M>(mHi, _mm_unpackhi_epi8(d, zero)));
  if (M == RowMode::Add) out = _mm_adds_epu8(out, d);
  return _mm_or_si128(out, opaque);
}

// One to three pixels in the low lanes, read and written in place: sprite rows are cut
// into short runs, and a copy through a buffer would stall on its store.
inline __m128i loadPartial(const DWORD* p, int n) {
  __m128i v = n >= 2 ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)) : _mm_cvtsi32_si128(static_cast<int>(p[0]));
  if (n == 3) v = _mm_unpacklo_epi64(v, _mm_cvtsi32_si128(static_cast<int>(p[2])));
  return v;
}

// The same for a row read backwards: p[0], p[-1], p[-2] into the low lanes.
inline __m128i loadPartialBackwards(const DWORD* p, int n) {
  int a1 = n >= 2 ? static_cast<int>(p[-1]) : 0, a2 = n == 3 ? static_cast<int>(p[-2]) : 0;
  return _mm_setr_epi32(static_cast<int>(p[0]), a1, a2, 0);
}

// Four texels of a row from pTex + i on, or (kBackwards) from pTex - i back.
template <bool kBackwards>
inline __m128i loadTexels(const DWORD* pTex, int i) {
  if (!kBackwards) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pTex + i));
  return _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pTex - i - 3)), _MM_SHUFFLE(0, 1, 2, 3));
}

inline void storePartial(DWORD* p, __m128i v, int n) {
  if (n == 1) {
    p[0] = static_cast<DWORD>(_mm_cvtsi128_si32(v));
    return;
  }
  _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
  if (n == 3) p[2] = static_cast<DWORD>(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define DX7_WIDE_ROWS 1
// Eight pixels at a time where the processor has AVX2, chosen when the program runs: the
// same arithmetic as the four-pixel kernels, each 128-bit half doing what they do.
#define DX7_AVX2 __attribute__((target("avx2")))

DX7_AVX2 inline __m256i div255x16(__m256i x) {
  return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

template <RowMode M>
DX7_AVX2 inline __m256i blendHalfWide(__m256i m, __m256i d) {
  if (M == RowMode::Copy) return m;
  // Each pixel's alpha word (bytes 6-7 of its four words) into all four of its words.
  const __m256i spread = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7, 6, 7, 6,
                                          7, 14, 15, 14, 15, 14, 15, 14, 15);
  __m256i a = _mm256_shuffle_epi8(m, spread);
  __m256i sa = _mm256_mullo_epi16(m, a);
  if (M == RowMode::Add) return div255x16(sa);
  __m256i ia = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
  return div255x16(_mm256_add_epi16(sa, _mm256_mullo_epi16(d, ia)));
}

template <RowMode M, bool kModulate>
DX7_AVX2 inline __m256i shadeGroupWide(__m256i t, __m256i d, __m256i diffuse) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i mLo = _mm256_unpacklo_epi8(t, zero), mHi = _mm256_unpackhi_epi8(t, zero);
  if (kModulate) {
    mLo = div255x16(_mm256_mullo_epi16(mLo, diffuse));
    mHi = div255x16(_mm256_mullo_epi16(mHi, diffuse));
  }
  __m256i out = _mm256_packus_epi16(blendHalfWide<M>(mLo, _mm256_unpacklo_epi8(d, zero)),
                                    blendHalfWide<M>(mHi, _mm256_unpackhi_epi8(d, zero)));
  if (M == RowMode::Add) out = _mm256_adds_epu8(out, d);
  return _mm256_or_si256(out, _mm256_set1_epi32(static_cast<int>(kOpaque)));
}

template <bool kBackwards>
DX7_AVX2 inline __m256i loadTexelsWide(const DWORD* pTex, int i) {
  if (!kBackwards) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pTex + i));
  __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pTex - i - 7));
  return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
}

// Whole groups of eight; returns how many pixels it shaded.
template <RowMode M, bool kModulate, bool kBackwards = false>
DX7_AVX2 int wideRow(DWORD* pDst, const DWORD* pTex, int n, DWORD nDiffuse, DWORD nTexOr) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i diffuse = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(nDiffuse)), zero);
  const __m256i texOr = _mm256_set1_epi32(static_cast<int>(nTexOr));
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
  const __m256i white = _mm256_set1_epi32(-1);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i t = pTex ? _mm256_or_si256(loadTexelsWide<kBackwards>(pTex, i), texOr) : white;
    __m256i* pOut = reinterpret_cast<__m256i*>(pDst + i);
    if (M == RowMode::Copy && !kModulate) {
      _mm256_storeu_si256(pOut, _mm256_or_si256(t, opaque));
      continue;
    }
    if (M == RowMode::Over && !kModulate) {
      if (_mm256_testc_si256(t, opaque)) {  // every alpha byte 0xFF
        _mm256_storeu_si256(pOut, t);
        continue;
      }
      if (_mm256_testz_si256(t, opaque)) {  // every alpha byte 0
        _mm256_storeu_si256(pOut, _mm256_or_si256(_mm256_loadu_si256(pOut), opaque));
        continue;
      }
    }
    _mm256_storeu_si256(pOut, shadeGroupWide<M, kModulate>(t, _mm256_loadu_si256(pOut), diffuse));
  }
  return i;
}

// Asked once, when the program starts, not on every row.
const bool s_bAvx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));

inline bool useWideVectors() { return s_bAvx2 && test::isWideVectorsEnabled(); }
#endif

// kModulate false: the diffuse colour is opaque white, which leaves texels unchanged.
// kBackwards: pixel i shows pTex[-i], a row of a mirrored sprite read from its other end.
// Shades the whole row; returns how many pixels it shaded.
template <RowMode M, bool kModulate, bool kBackwards = false>
int simdRow(DWORD* pDst, const DWORD* pTex, int n, DWORD nDiffuse, DWORD nTexOr) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i diffuse = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(nDiffuse)), zero);
  const __m128i texOr = _mm_set1_epi32(static_cast<int>(nTexOr));
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
  const __m128i white = _mm_set1_epi32(-1);
  int i = 0;
#if defined(DX7_WIDE_ROWS)
  if (n >= 8 && useWideVectors()) i = wideRow<M, kModulate, kBackwards>(pDst, pTex, n, nDiffuse, nTexOr);
#endif
  for (; i + 4 <= n; i += 4) {
    __m128i t = pTex ? _mm_or_si128(loadTexels<kBackwards>(pTex, i), texOr) : white;
    __m128i* pOut = reinterpret_cast<__m128i*>(pDst + i);
    if (M == RowMode::Copy && !kModulate) {
      _mm_storeu_si128(pOut, _mm_or_si128(t, opaque));
      continue;
    }
    if (M == RowMode::Over && !kModulate) {
      // Sprites are mostly fully opaque or fully clear; either way the blend reduces to
      // keeping one side exactly (255 * c / 255 == c).
      int nAlpha = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(t, opaque), opaque)) & 0x8888;
      if (nAlpha == 0x8888) {
        _mm_storeu_si128(pOut, _mm_or_si128(t, opaque));
        continue;
      }
      if (nAlpha == 0 && (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(t, opaque), zero)) & 0x8888) == 0x8888) {
        _mm_storeu_si128(pOut, _mm_or_si128(_mm_loadu_si128(pOut), opaque));
        continue;
      }
    }
    _mm_storeu_si128(pOut, shadeGroup<M, kModulate>(t, _mm_loadu_si128(pOut), diffuse));
  }
  if (i < n) {
    int nTail = n - i;
    __m128i t = !pTex        ? white
                : kBackwards ? _mm_or_si128(loadPartialBackwards(pTex - i, nTail), texOr)
                             : _mm_or_si128(loadPartial(pTex + i, nTail), texOr);
    storePartial(pDst + i, shadeGroup<M, kModulate>(t, loadPartial(pDst + i, nTail), diffuse), nTail);
  }
  return n;
}
#else
template <RowMode M, bool kModulate, bool kBackwards = false>
int simdRow(DWORD*, const DWORD*, int, DWORD, DWORD) {
  return 0;
}
#endif

template <RowMode M, bool kBackwards>
int simdRowOf(DWORD* pDst, const DWORD* pTex, int n, DWORD nDiffuse, DWORD nTexOr) {
  return nDiffuse == 0xFFFFFFFFu ? simdRow<M, false, kBackwards>(pDst, pTex, n, nDiffuse, nTexOr)
                                 : simdRow<M, true, kBackwards>(pDst, pTex, n, nDiffuse, nTexOr);
}

// SIMD where there is SSE2, else pixel by pixel through the shared pixel code.
template <RowMode M, bool kBackwards>
void modulateRow(DWORD* pDst, const DWORD* pTex, int n, DWORD nDiffuse, DWORD nTexOr, const PixelState& st) {
  int i = simdRowOf<M, kBackwards>(pDst, pTex, n, nDiffuse, nTexOr);
  for (; i < n; ++i) {
    DWORD nTexel = pTex ? (pTex[kBackwards ? -i : i] | nTexOr) : 0xFFFFFFFFu;
    shadePixel(pDst + i, nullptr, modulate(nTexel, nDiffuse), st);
  }
}

template <bool kBackwards>
void shadeRowOf(RowMode eMode, DWORD* pDst, const DWORD* pTex, int n, DWORD nDiffuse, DWORD nTexOr,
                const PixelState& st) {
  bool bOpaqueSource = (nDiffuse & kOpaque) == kOpaque && (pTex == nullptr || nTexOr == kOpaque);
  if (eMode == RowMode::Over && bOpaqueSource) eMode = RowMode::Copy;
  switch (eMode) {
    case RowMode::Copy: modulateRow<RowMode::Copy, kBackwards>(pDst, pTex, n, nDiffuse, nTexOr, st); break;
    case RowMode::Over: modulateRow<RowMode::Over, kBackwards>(pDst, pTex, n, nDiffuse, nTexOr, st); break;
    case RowMode::Add: modulateRow<RowMode::Add, kBackwards>(pDst, pTex, n, nDiffuse, nTexOr, st); break;
    default: break;
  }
}

// One row under a kernel other than Generic. An opaque source drawn over is a copy:
// with alpha 255 the blend keeps the source exactly.
void shadeRow(RowMode eMode, DWORD* pDst, const DWORD* pTex, int n, DWORD nDiffuse, DWORD nTexOr,
              const PixelState& st) {
  shadeRowOf<false>(eMode, pDst, pTex, n, nDiffuse, nTexOr, st);
}

// The same for a row read backwards: pixel i shows pTex[-i].
void shadeRowBackwards(RowMode eMode, DWORD* pDst, const DWORD* pTex, int n, DWORD nDiffuse, DWORD nTexOr,
                       const PixelState& st) {
  shadeRowOf<true>(eMode, pDst, pTex, n, nDiffuse, nTexOr, st);
}

// A row with alpha test or stencil: the tests run pixel by pixel in shadePixel's order,
// then each run of passing pixels is blended by the row kernel. pStencil is null when
// the stencil stage is off.
void testedRow(RowMode eMode, DWORD* pDst, BYTE* pStencil, const DWORD* pTex, int n, DWORD nDiffuse, DWORD nTexOr,
               const PixelState& st) {
  DWORD nDiffuseAlpha = nDiffuse >> 24;
  int iRun = 0;
  for (int i = 0; i <= n; ++i) {
    bool bPass = false;
    if (i < n) {
      DWORD nTexAlpha = pTex ? (pTex[i] | nTexOr) >> 24 : 255;
      bPass = passesTests(pStencil ? pStencil + i : nullptr, div255(nTexAlpha * nDiffuseAlpha), st);
    }
    if (bPass) continue;
    if (i > iRun && eMode != RowMode::Skip)
      shadeRow(eMode, pDst + iRun, pTex ? pTex + iRun : nullptr, i - iRun, nDiffuse, nTexOr, st);
    iRun = i + 1;
  }
}

// One row of an upright sprite under Over or Add, walked along its texture's alpha runs:
// a clear texel leaves the target's colour as it is under both (its alpha byte is not
// colour: targets are X8R8G8B8), an opaque one drawn over with an opaque diffuse colour
// replaces it (see shadeRow). pRun..pEnd are the runs of the texture row whose texel
// nTexX lands on pDst[0]. The texture has alpha.
template <RowMode M, bool kModulate>
void shadeRuns(DWORD* pDst, const DWORD* pTex, const AlphaRuns::Run* pRun, const AlphaRuns::Run* pEnd, int nTexX,
               int n, DWORD nDiffuse) {
  bool bCopyOpaque = M == RowMode::Over && (nDiffuse & kOpaque) == kOpaque;
  for (int i = 0; pRun != pEnd && i < n; ++pRun) {
    int nEnd = std::min(pRun->m_nEnd - nTexX, n);
    if (nEnd <= i) continue;
    if (pRun->m_eKind == AlphaRuns::Opaque && bCopyOpaque) {
      simdRow<RowMode::Copy, kModulate>(pDst + i, pTex + i, nEnd - i, nDiffuse, 0);
    } else if (pRun->m_eKind != AlphaRuns::Clear) {
      simdRow<M, kModulate>(pDst + i, pTex + i, nEnd - i, nDiffuse, 0);
    }
    i = nEnd;
  }
}

using RunsKernel = void (*)(DWORD*, const DWORD*, const AlphaRuns::Run*, const AlphaRuns::Run*, int, int, DWORD);

// The run walker for these states, or null where there is none (no SIMD, other blends).
RunsKernel runsKernelOf(RowMode eMode, DWORD nDiffuse) {
#if defined(__SSE2__)
  bool bWhite = nDiffuse == 0xFFFFFFFFu;
  if (eMode == RowMode::Over) return bWhite ? shadeRuns<RowMode::Over, false> : shadeRuns<RowMode::Over, true>;
  if (eMode == RowMode::Add) return bWhite ? shadeRuns<RowMode::Add, false> : shadeRuns<RowMode::Add, true>;
#else
  (void)eMode;
  (void)nDiffuse;
#endif
  return nullptr;
}

// ---- rows read backwards -------------------------------------------------------------
// A sprite mirrored on an axis (drawn at a scale of -1) is still one texel per pixel: its
// rows are the upright ones read from their other end, or taken bottom row first.

// Texels pTexel[0], pTexel[-1], ..., pTexel[1 - n] into pOut[0..n).
inline void reverseTexels(const DWORD* pTexel, int n, DWORD* pOut) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= n; i += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pTexel - i - 3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i), _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)));
  }
#endif
  for (; i < n; ++i) pOut[i] = pTexel[-i];
}

// shadeRuns for a row read backwards: pixel i shows texel nTexX - i of the texture row
// pRow, whose runs are pFirst..pEnd.
template <RowMode M, bool kModulate>
void shadeRunsBackwards(DWORD* pDst, const DWORD* pRow, const AlphaRuns::Run* pFirst, const AlphaRuns::Run* pEnd,
                        int nTexX, int n, DWORD nDiffuse) {
  bool bCopyOpaque = M == RowMode::Over && (nDiffuse & kOpaque) == kOpaque;
  int nLowest = nTexX - n + 1;
  for (const AlphaRuns::Run* pRun = pEnd; pRun != pFirst;) {
    --pRun;
    int nStart = pRun == pFirst ? 0 : pRun[-1].m_nEnd;
    if (pRun->m_nEnd <= nLowest) break;
    if (nStart > nTexX || pRun->m_eKind == AlphaRuns::Clear) continue;
    int nHigh = std::min(pRun->m_nEnd - 1, nTexX), nCount = nHigh - std::max(nStart, nLowest) + 1;
    int i = nTexX - nHigh;
    if (pRun->m_eKind == AlphaRuns::Opaque && bCopyOpaque) {
      simdRow<RowMode::Copy, kModulate, true>(pDst + i, pRow + nHigh, nCount, nDiffuse, 0);
    } else {
      simdRow<M, kModulate, true>(pDst + i, pRow + nHigh, nCount, nDiffuse, 0);
    }
  }
}

using BackwardsRunsKernel = void (*)(DWORD*, const DWORD*, const AlphaRuns::Run*, const AlphaRuns::Run*, int, int,
                                     DWORD);

BackwardsRunsKernel backwardsRunsKernelOf(RowMode eMode, DWORD nDiffuse) {
#if defined(__SSE2__)
  bool bWhite = nDiffuse == 0xFFFFFFFFu;
  if (eMode == RowMode::Over)
    return bWhite ? shadeRunsBackwards<RowMode::Over, false> : shadeRunsBackwards<RowMode::Over, true>;
  if (eMode == RowMode::Add)
    return bWhite ? shadeRunsBackwards<RowMode::Add, false> : shadeRunsBackwards<RowMode::Add, true>;
#else
  (void)eMode;
  (void)nDiffuse;
#endif
  return nullptr;
}

// ---- spans of the triangle path ---------------------------------------------------
// Texels are sampled into a short buffer and the buffer is shaded like a fast-path row.

constexpr int kSpanChunk = 64;
// Room after a span's samples for the wide sampler's last, partly used group.
constexpr int kSamplePadding = 3;
// Spans this short sample faster one block at a time than through their weighted
// columns (see RowSampler).
constexpr int kMinRowSamples = 8;

// Texture coordinates stepped along one span, in the units of sampleNearest/Linear.
struct SpanCoords {
  int64_t m_nS, m_nT, m_nStepS, m_nStepT;
};

// Whether sample i of the span reads only texels inside the texture (a 2x2 block for
// linear filtering), or inside its copied border of nBorder texels, so that its fetches
// need no clamping: a border texel is what clamping would read.
bool insideAt(const TextureView& tex, const SpanCoords& c, int64_t i, bool bLinear, int nBorder) {
  int64_t nBias = bLinear ? 128 : 0, nMargin = (bLinear ? 2 : 1) - nBorder;
  int64_t x = (stepTo256(c.m_nS + i * c.m_nStepS) - nBias) >> 8;
  int64_t y = (stepTo256(c.m_nT + i * c.m_nStepT) - nBias) >> 8;
  return x >= -nBorder && y >= -nBorder && x <= tex.m_nWidth - nMargin && y <= tex.m_nHeight - nMargin;
}

#if defined(__SSE2__)
// sampleLinear's arithmetic on a 2x2 block that needs no clamping, one channel per lane:
// rows weighted horizontally in 16 bits (at most 255 * 256), then the vertical pass with
// full 32-bit products from the low and high halves of the 16-bit multiplies.
inline DWORD lerpBlock(const DWORD* pTop, const DWORD* pBottom, int nWx, int nWy) {
  const __m128i zero = _mm_setzero_si128();
  // [256 - w x4 | w x4]: 256 - w == (w ^ 0xFFFF) + 257 in 16 bits.
  const __m128i flipLow = _mm_set_epi16(0, 0, 0, 0, -1, -1, -1, -1);
  const __m128i biasLow = _mm_set_epi16(0, 0, 0, 0, 257, 257, 257, 257);
  __m128i wx = _mm_add_epi16(_mm_xor_si128(_mm_set1_epi16(static_cast<short>(nWx)), flipLow), biasLow);
  __m128i wy = _mm_add_epi16(_mm_xor_si128(_mm_set1_epi16(static_cast<short>(nWy)), flipLow), biasLow);
  __m128i top = _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pTop)), zero), wx);
  __m128i bottom =
      _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pBottom)), zero), wx);
  __m128i rows = _mm_unpacklo_epi64(_mm_add_epi16(top, _mm_srli_si128(top, 8)),
                                    _mm_add_epi16(bottom, _mm_srli_si128(bottom, 8)));
  __m128i lo = _mm_mullo_epi16(rows, wy), hi = _mm_mulhi_epu16(rows, wy);
  __m128i sum = _mm_add_epi32(_mm_unpacklo_epi16(lo, hi), _mm_unpackhi_epi16(lo, hi));
  __m128i r = _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(32768)), 16);
  r = _mm_packs_epi32(r, r);
  return static_cast<DWORD>(_mm_cvtsi128_si32(_mm_packus_epi16(r, r)));
}

// lerpBlock's vertical pass and rounding on one pixel's weighted rows [top x4 | bottom x4].
inline __m128i lerpRows(__m128i top, __m128i bottom, __m128i wx, __m128i wy) {
  const __m128i zero = _mm_setzero_si128();
  top = _mm_mullo_epi16(_mm_unpacklo_epi8(top, zero), wx);
  bottom = _mm_mullo_epi16(_mm_unpacklo_epi8(bottom, zero), wx);
  __m128i rows = _mm_unpacklo_epi64(_mm_add_epi16(top, _mm_srli_si128(top, 8)),
                                    _mm_add_epi16(bottom, _mm_srli_si128(bottom, 8)));
  __m128i lo = _mm_mullo_epi16(rows, wy), hi = _mm_mulhi_epu16(rows, wy);
  __m128i sum = _mm_add_epi32(_mm_unpacklo_epi16(lo, hi), _mm_unpackhi_epi16(lo, hi));
  return _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(32768)), 16);
}

// Two samples at once with lerpBlock's arithmetic: their four weights are spread from one
// register and both results are packed and stored together. p0 and p1 are the top-left
// texels of the two 2x2 blocks; weights holds wx0, wx1, wy0, wy1 in its low lanes.
inline void lerpPair(const DWORD* p0, const DWORD* p1, std::int64_t nPitch, __m128i weights, DWORD* pOut) {
  __m128i inv = _mm_sub_epi16(_mm_set1_epi16(256), weights);
  __m128i wx0 = _mm_unpacklo_epi64(_mm_shufflelo_epi16(inv, 0x00), _mm_shufflelo_epi16(weights, 0x00));
  __m128i wx1 = _mm_unpacklo_epi64(_mm_shufflelo_epi16(inv, 0x55), _mm_shufflelo_epi16(weights, 0x55));
  __m128i wy0 = _mm_unpacklo_epi64(_mm_shufflelo_epi16(inv, 0xAA), _mm_shufflelo_epi16(weights, 0xAA));
  __m128i wy1 = _mm_unpacklo_epi64(_mm_shufflelo_epi16(inv, 0xFF), _mm_shufflelo_epi16(weights, 0xFF));
  auto load = [](const DWORD* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); };
  __m128i r0 = lerpRows(load(p0), load(p0 + nPitch), wx0, wy0);
  __m128i r1 = lerpRows(load(p1), load(p1 + nPitch), wx1, wy1);
  __m128i r = _mm_packs_epi32(r0, r1);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(pOut), _mm_packus_epi16(r, r));
}

#if defined(DX7_WIDE_ROWS)
// stepTo256(x) - 128 == (x + 2^15 - 2^23) >> 16: the wide samplers put the bias into the
// start, and their positions stay non-negative, so logical shifts are exact.
constexpr std::int64_t kWideBias = (std::int64_t(1) << (kStepBits - 9)) - (std::int64_t(128) << (kStepBits - 8));
// The rounding of the last multiply-add, with the 32768 * 256 that flipping the top bit
// of its words took off (see BlockSampler) put back.
constexpr int kFlippedRound = 32768 + 32768 * 256;

// Each 32-bit lane's weight w (0 to 255) as the word pair (256 - w, w) for a multiply-add.
DX7_AVX2 inline __m256i weightPairs(__m256i w) {
  return _mm256_add_epi32(_mm256_sub_epi32(_mm256_slli_epi32(w, 16), w), _mm256_set1_epi32(256));
}

// Four samples' pixels in order from two registers whose halves each hold one sample's
// channels as 32-bit sums, the rounded channel in bits 16-23: samples 0 and 2 in even's
// halves, 1 and 3 in odd's.
DX7_AVX2 inline __m128i pickPixels(__m256i even, __m256i odd) {
  const __m256i pickEven = _mm256_setr_epi8(2, 6, 10, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 2, 6, 10, 14,
                                            -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m256i pickOdd = _mm256_setr_epi8(-1, -1, -1, -1, 2, 6, 10, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                           2, 6, 10, 14, -1, -1, -1, -1, -1, -1, -1, -1);
  __m256i bytes = _mm256_or_si256(_mm256_shuffle_epi8(even, pickEven), _mm256_shuffle_epi8(odd, pickOdd));
  return _mm256_castsi256_si128(_mm256_permute4x64_epi64(bytes, _MM_SHUFFLE(3, 1, 2, 0)));
}

// Bilinear samples that need no clamping, four at a time with AVX2.
// The sum is lerpBlock's, exact in integers, so any grouping of it gives the same bits;
// this one suits _mm256_madd_epi16. Each 128-bit half holds one sample's 2x2 block: its
// top texel pair, then its bottom one. A byte shuffle spreads a channel's four texels to
// words, each pair side by side, and one multiply-add weights each pair by (256 - wx, wx).
// Packed back to words the two rows' sums (at most 255 * 256: 16 bits unsigned) sit side
// by side for the vertical multiply-add by (256 - wy, wy). That one multiplies signed
// words, so each sum is moved down by 32768 (its top bit flipped) and 32768 * 256 goes
// back in with the rounding.
class BlockSampler {
 public:
  DX7_AVX2 BlockSampler(const DWORD* pTexels, std::int64_t nPitch, const SpanCoords& c)
      : m_pTexels(pTexels), m_nPitch(nPitch), m_nS(c.m_nS + kWideBias), m_nT(c.m_nT + kWideBias),
        m_nStepS(c.m_nStepS), m_nStepT(c.m_nStepT) {
    // A weight is bits 16-23 of its position: the positions' low 32 bits are enough,
    // s and t of each sample side by side.
    auto low = [](std::int64_t n) { return static_cast<int>(static_cast<std::uint32_t>(n)); };
    m_st = _mm256_setr_epi32(low(m_nS), low(m_nT), low(m_nS + m_nStepS), low(m_nT + m_nStepT), low(m_nS + 2 * m_nStepS),
                             low(m_nT + 2 * m_nStepT), low(m_nS + 3 * m_nStepS), low(m_nT + 3 * m_nStepT));
    m_step = _mm256_setr_epi32(low(4 * m_nStepS), low(4 * m_nStepT), low(4 * m_nStepS), low(4 * m_nStepT),
                               low(4 * m_nStepS), low(4 * m_nStepT), low(4 * m_nStepS), low(4 * m_nStepT));
  }

  // The next four samples; those from nValid on lie past the span's end, where the
  // positions may leave the texture: they read the first one's texels.
  DX7_AVX2 __m128i nextFour(int nValid) {
    const __m256i low8 = _mm256_set1_epi32(255);
    __m256i w = _mm256_and_si256(_mm256_srli_epi32(m_st, 16), low8);
    m_st = _mm256_add_epi32(m_st, m_step);
    // Plain loads: gathers are slow on processors with the gather-sampling mitigation.
    // Their offsets come from the same positions kept in general registers: taken out of
    // a vector through memory they would wait on the store.
    long long aOffset[4];
    for (int k = 0; k < 4; ++k) {
      long long nColumn = (m_nS + k * m_nStepS) >> kStepBits, nRow = (m_nT + k * m_nStepT) >> kStepBits;
      aOffset[k] = k < nValid ? nRow * m_nPitch + nColumn : aOffset[0];
    }
    m_nS += 4 * m_nStepS;
    m_nT += 4 * m_nStepT;
    // Weights as (256 - w, w) word pairs, wx and wy of each sample side by side.
    __m256i pairs = weightPairs(w);
    // Samples 0 and 2 in one register, 1 and 3 in the other: the weights of samples 0
    // and 2 are the first two words of each half, those of 1 and 3 the next two.
    __m256i even = _mm256_inserti128_si256(_mm256_castsi128_si256(block(aOffset[0])), block(aOffset[2]), 1);
    __m256i odd = _mm256_inserti128_si256(_mm256_castsi128_si256(block(aOffset[1])), block(aOffset[3]), 1);
    return pickPixels(lerp(even, _mm256_shuffle_epi32(pairs, 0x00), _mm256_shuffle_epi32(pairs, 0x55)),
                      lerp(odd, _mm256_shuffle_epi32(pairs, 0xAA), _mm256_shuffle_epi32(pairs, 0xFF)));
  }

 private:
  // One sample's two texel pairs, top then bottom.
  DX7_AVX2 __m128i block(long long nOffset) const {
    const DWORD* p = m_pTexels + nOffset;
    __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(v), reinterpret_cast<const double*>(p + m_nPitch)));
  }
  // Two samples' blocks, one per half, with their weight pairs spread over their halves.
  DX7_AVX2 static __m256i lerp(__m256i blocks, __m256i wx, __m256i wy) {
    // A block's bytes to words: blue and green of its four texels, then red and alpha.
    const __m256i blueGreen = _mm256_setr_epi8(0, -1, 4, -1, 8, -1, 12, -1, 1, -1, 5, -1, 9, -1, 13, -1, 0, -1, 4, -1,
                                               8, -1, 12, -1, 1, -1, 5, -1, 9, -1, 13, -1);
    const __m256i redAlpha = _mm256_setr_epi8(2, -1, 6, -1, 10, -1, 14, -1, 3, -1, 7, -1, 11, -1, 15, -1, 2, -1, 6, -1,
                                              10, -1, 14, -1, 3, -1, 7, -1, 11, -1, 15, -1);
    const __m256i flip = _mm256_set1_epi32(static_cast<int>(0x80008000u));
    const __m256i round = _mm256_set1_epi32(kFlippedRound);
    __m256i bg = _mm256_madd_epi16(_mm256_shuffle_epi8(blocks, blueGreen), wx);
    __m256i ra = _mm256_madd_epi16(_mm256_shuffle_epi8(blocks, redAlpha), wx);
    __m256i rows = _mm256_xor_si256(_mm256_packus_epi32(bg, ra), flip);
    return _mm256_add_epi32(_mm256_madd_epi16(rows, wy), round);
  }

  const DWORD* m_pTexels;
  std::int64_t m_nPitch;
  std::int64_t m_nS, m_nT, m_nStepS, m_nStepT;  // positions for the offsets
  __m256i m_st, m_step;  // and for the weights
};

// Texel columns a row sampler holds: a span of up to kSpanChunk samples at most one
// texel apart, plus the column right of the last and its padding group.
constexpr int kRowColumns = kSpanChunk + 8;

// Columns [0, nColumns) of two texture rows (pTop and the one below) weighted by
// (256 - wy, wy): per channel a word, at most 255 * 256, stored with its top bit flipped
// for the signed multiply-add that follows (see BlockSampler).
DX7_AVX2 void weighColumns(const DWORD* pTop, std::int64_t nPitch, int nColumns, int nWy, std::uint64_t* pOut) {
  const __m256i zero = _mm256_setzero_si256(), flip = _mm256_set1_epi16(-32768);
  const __m256i top = _mm256_set1_epi16(static_cast<short>(256 - nWy)), bottom = _mm256_set1_epi16(static_cast<short>(nWy));
  const DWORD* pBottom = pTop + nPitch;
  auto weigh = [&](__m256i t, __m256i b) DX7_AVX2 {
    return _mm256_xor_si256(_mm256_add_epi16(_mm256_mullo_epi16(t, top), _mm256_mullo_epi16(b, bottom)), flip);
  };
  int x = 0;
  for (; x + 8 <= nColumns; x += 8) {
    __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pTop + x));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pBottom + x));
    __m256i lo = weigh(_mm256_unpacklo_epi8(t, zero), _mm256_unpacklo_epi8(b, zero));  // columns 0 1 | 4 5
    __m256i hi = weigh(_mm256_unpackhi_epi8(t, zero), _mm256_unpackhi_epi8(b, zero));  // columns 2 3 | 6 7
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pOut + x), _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pOut + x + 4), _mm256_permute2x128_si256(lo, hi, 0x31));
  }
  for (; x < nColumns; ++x) {
    __m256i t = _mm256_castsi128_si256(_mm_cvtsi32_si128(static_cast<int>(pTop[x])));
    __m256i b = _mm256_castsi128_si256(_mm_cvtsi32_si128(static_cast<int>(pBottom[x])));
    __m256i w = weigh(_mm256_unpacklo_epi8(t, zero), _mm256_unpacklo_epi8(b, zero));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pOut + x), _mm256_castsi256_si128(w));
  }
}

// Bilinear samples along one texture row (the vertical step is 0, as on every row of an
// upright quad) that need no clamping, at most a texel apart, four at a time. The same
// exact sum as BlockSampler's, the vertical pass first: every sample shares wy, so each
// texel column is weighted once, and a sample is its column pair's multiply-add by
// (256 - wx, wx). The n samples from c on must reach over at most kRowColumns columns
// (see fits).
class RowSampler {
 public:
  static bool fits(const SpanCoords& c, int n) {
    if (c.m_nStepT != 0 || std::abs(c.m_nStepS) > (std::int64_t(1) << kStepBits)) return false;
    return std::abs((n - 1) * c.m_nStepS) < (std::int64_t(kRowColumns - 3) << kStepBits);
  }

  DX7_AVX2 RowSampler(const DWORD* pTexels, std::int64_t nPitch, const SpanCoords& c, int n) {
    std::int64_t nT256 = (c.m_nT + kWideBias) >> 16;
    std::int64_t nFirst = (c.m_nS + kWideBias) >> kStepBits;
    std::int64_t nLast = (c.m_nS + kWideBias + (n - 1) * c.m_nStepS) >> kStepBits;
    std::int64_t nX0 = std::min(nFirst, nLast);
    int nColumns = static_cast<int>(std::max(nFirst, nLast) - nX0 + 2);
    weighColumns(pTexels + (nT256 >> 8) * nPitch + nX0, nPitch, nColumns, static_cast<int>(nT256 & 255), m_aColumns);
    // Positions from the first column on, so none is negative.
    m_s = _mm256_add_epi64(_mm256_set1_epi64x(c.m_nS + kWideBias - (nX0 << kStepBits)),
                           _mm256_setr_epi64x(0, c.m_nStepS, 2 * c.m_nStepS, 3 * c.m_nStepS));
    m_step = _mm256_set1_epi64x(4 * c.m_nStepS);
    m_nS = c.m_nS + kWideBias - (nX0 << kStepBits);
    m_nStepS = c.m_nStepS;
  }

  // As BlockSampler::nextFour.
  DX7_AVX2 __m128i nextFour(int nValid) {
    const __m256i low8 = _mm256_set1_epi64x(255);
    __m256i s256 = _mm256_srli_epi64(m_s, 16);
    m_s = _mm256_add_epi64(m_s, m_step);
    long long aColumn[4];  // as BlockSampler's offsets
    for (int k = 0; k < 4; ++k) aColumn[k] = k < nValid ? (m_nS + k * m_nStepS) >> kStepBits : aColumn[0];
    m_nS += 4 * m_nStepS;
    __m256i wx = _mm256_and_si256(s256, low8);
    __m256i weights = weightPairs(wx);
    return pickPixels(lerp(aColumn[0], aColumn[2], _mm256_shuffle_epi32(weights, 0x00)),
                      lerp(aColumn[1], aColumn[3], _mm256_shuffle_epi32(weights, 0xAA)));
  }

 private:
  // Two samples, one per half, from their column pairs (left column's four words, then
  // the right one's, laid side by side by the shuffle).
  DX7_AVX2 __m256i lerp(long long nA, long long nB, __m256i wx) const {
    const __m256i pairUp = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15, 0, 1, 8, 9, 2, 3, 10,
                                            11, 4, 5, 12, 13, 6, 7, 14, 15);
    const __m256i round = _mm256_set1_epi32(kFlippedRound);
    auto pair = [this](long long nColumn) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_aColumns + nColumn));
    };
    __m256i pairs = _mm256_inserti128_si256(_mm256_castsi128_si256(pair(nA)), pair(nB), 1);
    return _mm256_add_epi32(_mm256_madd_epi16(_mm256_shuffle_epi8(pairs, pairUp), wx), round);
  }

  alignas(32) std::uint64_t m_aColumns[kRowColumns];
  std::int64_t m_nS, m_nStepS;  // as m_s, for the column numbers
  __m256i m_s, m_step;
};

// Samples [0, n) into pOut, which has room for three more; or, without bPadded, the
// whole groups of four. Returns how many it took.
template <class Sampler>
DX7_AVX2 int sampleFours(Sampler& sampler, int n, bool bPadded, DWORD* pOut) {
  int nEnd = bPadded ? n : n & ~3;
  int i = 0;
  for (; i < nEnd; i += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i), sampler.nextFour(std::min(4, n - i)));
  return i;
}

// Bilinear samples that need no clamping with AVX2, through the row sampler where it
// applies; returns how many it took (see sampleFours).
DX7_AVX2 int lerpSpanWide(const DWORD* pTexels, std::int64_t nPitch, const SpanCoords& c, int n, bool bPadded,
                          DWORD* pOut) {
  if (bPadded && n >= kMinRowSamples && test::isRowSamplerEnabled() && RowSampler::fits(c, n)) {
    RowSampler sampler(pTexels, nPitch, c, n);
    return sampleFours(sampler, n, bPadded, pOut);
  }
  BlockSampler sampler(pTexels, nPitch, c);
  return sampleFours(sampler, n, bPadded, pOut);
}
#endif

// Bilinear samples that need no clamping, two at a time; returns how many it took (an
// even count, the last odd one is left to the caller).
inline int lerpSpanPairs(const DWORD* pTexels, std::int64_t nPitch, std::int64_t nS, std::int64_t nT,
                         std::int64_t nStepS, std::int64_t nStepT, int n, DWORD* pOut) {
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    std::int64_t s0 = stepTo256(nS) - 128, t0 = stepTo256(nT) - 128;
    std::int64_t s1 = stepTo256(nS + nStepS) - 128, t1 = stepTo256(nT + nStepT) - 128;
    nS += 2 * nStepS;
    nT += 2 * nStepT;
    __m128i weights = _mm_cvtsi32_si128(static_cast<int>((s0 & 255) | ((s1 & 255) << 16)));
    weights = _mm_insert_epi16(weights, static_cast<int>(t0 & 255), 2);
    weights = _mm_insert_epi16(weights, static_cast<int>(t1 & 255), 3);
    lerpPair(pTexels + (t0 >> 8) * nPitch + (s0 >> 8), pTexels + (t1 >> 8) * nPitch + (s1 >> 8), nPitch, weights,
             pOut + i);
  }
  return i;
}
#else
inline DWORD lerpBlock(const DWORD* pTop, const DWORD* pBottom, int nWx, int nWy) {
  auto lerp = [&](int nShift) {
    DWORD nH0 = channel(pTop[0], nShift) * (256 - nWx) + channel(pTop[1], nShift) * nWx;
    DWORD nH1 = channel(pBottom[0], nShift) * (256 - nWx) + channel(pBottom[1], nShift) * nWx;
    return ((nH0 * (256 - nWy) + nH1 * nWy + 32768) >> 16) << nShift;
  };
  return lerp(0) | lerp(8) | lerp(16) | lerp(24);
}
#endif

// n texels of a span whose samples all lie inside the texture. The alpha byte of a
// texture without alpha is left as stored; the row kernel sets it.
template <bool kLinear>
void sampleInside(const TextureView& tex, SpanCoords c, int n, bool bPadded, DWORD* pOut) {
  const DWORD* pTexels = tex.m_pTexels;
  int64_t nPitch = tex.m_nPitch;
  int i = 0;
#if defined(__SSE2__)
  if (kLinear && test::isVectorSamplerEnabled()) {
#if defined(DX7_WIDE_ROWS)
    if ((bPadded || n >= 4) && useWideVectors()) i = lerpSpanWide(pTexels, nPitch, c, n, bPadded, pOut);
#endif
    i += lerpSpanPairs(pTexels, nPitch, c.m_nS + i * c.m_nStepS, c.m_nT + i * c.m_nStepT, c.m_nStepS, c.m_nStepT,
                       n - i, pOut + i);
    c.m_nS += i * c.m_nStepS;
    c.m_nT += i * c.m_nStepT;
  }
#endif
  for (; i < n; ++i, c.m_nS += c.m_nStepS, c.m_nT += c.m_nStepT) {
    if (kLinear) {
      int64_t nS = stepTo256(c.m_nS) - 128, nT = stepTo256(c.m_nT) - 128;
      const DWORD* p = pTexels + (nT >> 8) * nPitch + (nS >> 8);
      pOut[i] = lerpBlock(p, p + nPitch, static_cast<int>(nS & 255), static_cast<int>(nT & 255));
    } else {
      pOut[i] = pTexels[(stepTo256(c.m_nT) >> 8) * nPitch + (stepTo256(c.m_nS) >> 8)];
    }
  }
}

void sampleClamped(const TextureView& tex, bool bLinear, SpanCoords c, int n, DWORD* pOut) {
  for (int i = 0; i < n; ++i, c.m_nS += c.m_nStepS, c.m_nT += c.m_nStepT)
    pOut[i] = bLinear ? sampleLinear(tex, c.m_nS, c.m_nT) : sampleNearest(tex, c.m_nS, c.m_nT);
}

// Sample positions are monotonic along a span, so the samples that need no clamping form
// one run; a span that starts or ends on the texture's border clamps only a few pixels.
// pOut has room for kSamplePadding more samples.
void sampleSpan(const TextureView& tex, bool bLinear, SpanCoords c, int n, DWORD* pOut) {
  int nBorder = tex.m_pBordered ? 1 : 0;
  int iLo = 0, iHi = n;
  while (iLo < n && !insideAt(tex, c, iLo, bLinear, nBorder)) ++iLo;
  while (iHi > iLo && !insideAt(tex, c, iHi - 1, bLinear, nBorder)) --iHi;
  sampleClamped(tex, bLinear, c, iLo, pOut);
  SpanCoords inner = {c.m_nS + iLo * c.m_nStepS, c.m_nT + iLo * c.m_nStepT, c.m_nStepS, c.m_nStepT};
  TextureView bordered;
  if (nBorder) {
    // Sampled from the border's corner: every position one texel further on, so none
    // is negative (the wide sampler shifts them as unsigned).
    bordered.m_pTexels = tex.m_pBordered;
    bordered.m_nPitch = tex.m_nWidth + 2;
    inner.m_nS += int64_t(1) << kStepBits;
    inner.m_nT += int64_t(1) << kStepBits;
  }
  const TextureView& source = nBorder ? bordered : tex;
  // The clamped tail is written after the inner samples, over their padding.
  if (bLinear) {
    sampleInside<true>(source, inner, iHi - iLo, true, pOut + iLo);
  } else {
    sampleInside<false>(source, inner, iHi - iLo, true, pOut + iLo);
  }
  SpanCoords tail = {c.m_nS + iHi * c.m_nStepS, c.m_nT + iHi * c.m_nStepT, c.m_nStepS, c.m_nStepT};
  sampleClamped(tex, bLinear, tail, n - iHi, pOut + iHi);
}

// One span of a flat-shaded triangle under a row kernel; pTex is null without a texture,
// pStencil without tests.
// The coordinates come as four values, not a SpanCoords by value: a struct just written
// field by field and copied whole into the arguments stalls on the store (about a sixth
// of the time of a particle-sized quad went there).
void drawSpan(RowMode eMode, DWORD* pDst, BYTE* pStencil, bool bTests, const TextureView* pTex, bool bLinear,
              int64_t nS, int64_t nT, int64_t nStepS, int64_t nStepT, int n, DWORD nDiffuse, const PixelState& st) {
  SpanCoords c = {nS, nT, nStepS, nStepT};
  DWORD aTexels[kSpanChunk + kSamplePadding];
  DWORD nTexOr = (pTex && !pTex->m_bAlpha) ? kOpaque : 0;
  for (int i = 0; i < n; i += kSpanChunk) {
    int nCount = std::min(kSpanChunk, n - i);
    if (pTex) sampleSpan(*pTex, bLinear, c, nCount, aTexels);
    const DWORD* pTexels = pTex ? aTexels : nullptr;
    if (bTests) {
      testedRow(eMode, pDst + i, pStencil ? pStencil + i : nullptr, pTexels, nCount, nDiffuse, nTexOr, st);
    } else {
      shadeRow(eMode, pDst + i, pTexels, nCount, nDiffuse, nTexOr, st);
    }
    c.m_nS += nCount * c.m_nStepS;
    c.m_nT += nCount * c.m_nStepT;
  }
}


// ---- upright sprites between pixels ---------------------------------------------------
// A texture drawn one texel per pixel at a fixed sub-texel offset: every pixel's bilinear
// sample has the same weights, so a row is two texture rows blended at fixed weights.

// Samples [iLo, iHi) of a row whose first texel column is x lie inside the texture (in a
// row nWidth wide); the others clamp to its sides.
inline void insideRange(int x, int nWidth, int n, int& iLo, int& iHi) {
  iLo = std::clamp(-x, 0, n);
  iHi = std::clamp(nWidth - 1 - x, iLo, n);
}

#if defined(__SSE2__)
// Two samples from their texels (top row left and right neighbour, bottom row left and
// right) unpacked to 16 bits; lerpBlock's arithmetic with weights spread to all lanes.
inline __m128i lerpFixedHalf(__m128i tl, __m128i tr, __m128i bl, __m128i br, __m128i iwx, __m128i wx, __m128i iwy,
                             __m128i wy) {
  __m128i top = _mm_add_epi16(_mm_mullo_epi16(tl, iwx), _mm_mullo_epi16(tr, wx));
  __m128i bottom = _mm_add_epi16(_mm_mullo_epi16(bl, iwx), _mm_mullo_epi16(br, wx));
  __m128i tLo = _mm_mullo_epi16(top, iwy), tHi = _mm_mulhi_epu16(top, iwy);
  __m128i bLo = _mm_mullo_epi16(bottom, wy), bHi = _mm_mulhi_epu16(bottom, wy);
  const __m128i round = _mm_set1_epi32(32768);
  __m128i p0 = _mm_add_epi32(_mm_add_epi32(_mm_unpacklo_epi16(tLo, tHi), _mm_unpacklo_epi16(bLo, bHi)), round);
  __m128i p1 = _mm_add_epi32(_mm_add_epi32(_mm_unpackhi_epi16(tLo, tHi), _mm_unpackhi_epi16(bLo, bHi)), round);
  return _mm_packs_epi32(_mm_srli_epi32(p0, 16), _mm_srli_epi32(p1, 16));
}

// The weights of one quad: 256 - wx, wx, 256 - wy, wy in every 16-bit lane.
struct FixedWeights {
  __m128i m_iwx, m_wx, m_iwy, m_wy;
  FixedWeights(int nWx, int nWy)
      : m_iwx(_mm_set1_epi16(static_cast<short>(256 - nWx))),
        m_wx(_mm_set1_epi16(static_cast<short>(nWx))),
        m_iwy(_mm_set1_epi16(static_cast<short>(256 - nWy))),
        m_wy(_mm_set1_epi16(static_cast<short>(nWy))) {}
};

// Four samples from texel rows tl (columns x..x+3), tr (x+1..x+4), bl and br below.
inline __m128i lerpFixed4(__m128i tl, __m128i tr, __m128i bl, __m128i br, const FixedWeights& w) {
  const __m128i zero = _mm_setzero_si128();
  __m128i lo = lerpFixedHalf(_mm_unpacklo_epi8(tl, zero), _mm_unpacklo_epi8(tr, zero), _mm_unpacklo_epi8(bl, zero),
                             _mm_unpacklo_epi8(br, zero), w.m_iwx, w.m_wx, w.m_iwy, w.m_wy);
  __m128i hi = lerpFixedHalf(_mm_unpackhi_epi8(tl, zero), _mm_unpackhi_epi8(tr, zero), _mm_unpackhi_epi8(bl, zero),
                             _mm_unpackhi_epi8(br, zero), w.m_iwx, w.m_wx, w.m_iwy, w.m_wy);
  return _mm_packus_epi16(lo, hi);
}

#if defined(DX7_WIDE_ROWS)
DX7_AVX2 inline __m256i lerpFixedHalfWide(__m256i tl, __m256i tr, __m256i bl, __m256i br, __m256i iwx, __m256i wx,
                                          __m256i iwy, __m256i wy) {
  __m256i top = _mm256_add_epi16(_mm256_mullo_epi16(tl, iwx), _mm256_mullo_epi16(tr, wx));
  __m256i bottom = _mm256_add_epi16(_mm256_mullo_epi16(bl, iwx), _mm256_mullo_epi16(br, wx));
  __m256i tLo = _mm256_mullo_epi16(top, iwy), tHi = _mm256_mulhi_epu16(top, iwy);
  __m256i bLo = _mm256_mullo_epi16(bottom, wy), bHi = _mm256_mulhi_epu16(bottom, wy);
  const __m256i round = _mm256_set1_epi32(32768);
  __m256i p0 =
      _mm256_add_epi32(_mm256_add_epi32(_mm256_unpacklo_epi16(tLo, tHi), _mm256_unpacklo_epi16(bLo, bHi)), round);
  __m256i p1 =
      _mm256_add_epi32(_mm256_add_epi32(_mm256_unpackhi_epi16(tLo, tHi), _mm256_unpackhi_epi16(bLo, bHi)), round);
  return _mm256_packs_epi32(_mm256_srli_epi32(p0, 16), _mm256_srli_epi32(p1, 16));
}

DX7_AVX2 inline __m256i loadWide(const DWORD* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

// Whole groups of eight, as fixedRow below; returns how many pixels it took.
template <RowMode M, bool kModulate, bool kShade>
DX7_AVX2 int fixedRowWide(DWORD* pDst, const DWORD* pTop, const DWORD* pBottom, int nWx, int nWy, int n,
                          DWORD nDiffuse, DWORD nTexOr) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i wx = _mm256_set1_epi16(static_cast<short>(nWx)), iwx = _mm256_set1_epi16(static_cast<short>(256 - nWx));
  const __m256i wy = _mm256_set1_epi16(static_cast<short>(nWy)), iwy = _mm256_set1_epi16(static_cast<short>(256 - nWy));
  const __m256i diffuse = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(nDiffuse)), zero);
  const __m256i texOr = _mm256_set1_epi32(static_cast<int>(nTexOr));
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i tl = loadWide(pTop + i), tr = loadWide(pTop + i + 1);
    __m256i bl = loadWide(pBottom + i), br = loadWide(pBottom + i + 1);
    __m256i* pOut = reinterpret_cast<__m256i*>(pDst + i);
    if (kShade && M != RowMode::Copy) {
      __m256i any = _mm256_or_si256(_mm256_or_si256(_mm256_or_si256(tl, tr), _mm256_or_si256(bl, br)), texOr);
      if (_mm256_testz_si256(any, opaque)) continue;  // every texel clear: the target stays
    }
    __m256i lo = lerpFixedHalfWide(_mm256_unpacklo_epi8(tl, zero), _mm256_unpacklo_epi8(tr, zero),
                                   _mm256_unpacklo_epi8(bl, zero), _mm256_unpacklo_epi8(br, zero), iwx, wx, iwy, wy);
    __m256i hi = lerpFixedHalfWide(_mm256_unpackhi_epi8(tl, zero), _mm256_unpackhi_epi8(tr, zero),
                                   _mm256_unpackhi_epi8(bl, zero), _mm256_unpackhi_epi8(br, zero), iwx, wx, iwy, wy);
    __m256i t = _mm256_or_si256(_mm256_packus_epi16(lo, hi), texOr);
    if (!kShade || (M == RowMode::Over && !kModulate && _mm256_testc_si256(t, opaque))) {
      _mm256_storeu_si256(pOut, t);
      continue;
    }
    _mm256_storeu_si256(pOut, shadeGroupWide<M, kModulate>(t, _mm256_loadu_si256(pOut), diffuse));
  }
  return i;
}

// ---- whole rows of a sprite between pixels, eight samples at a time ------------------
// Pixel rows of such a sprite step one texel row at a time, so each texture row's
// horizontal pass is the bottom of one pixel row and the top of the next: it is kept per
// group of eight samples and done once. Rows read a texture with a copied border, so
// no sample clamps and every group is whole; a row's last group, when the width is not
// a multiple of eight, overlaps the one before it.

// The weights of one quad spread for the wide kernels; wy as (256 - wy, wy) word pairs
// for the multiply-add of the vertical pass.
struct WideFixedWeights {
  __m256i m_iwx, m_wx, m_wy;
};

DX7_AVX2 inline WideFixedWeights wideFixedWeights(int nWx, int nWy) {
  return {_mm256_set1_epi16(static_cast<short>(256 - nWx)), _mm256_set1_epi16(static_cast<short>(nWx)),
          _mm256_set1_epi32(static_cast<int>((static_cast<unsigned>(nWy) << 16) | static_cast<unsigned>(256 - nWy)))};
}

// Horizontal sums (0 to 255 * 256) are kept less this: so they fit the signed words of
// the vertical multiply-add, and 32640 * 256 plus the rounding 32768 is 128 * 65536,
// which the vertical pass takes off for free (see verticalPassHalf).
constexpr int kPassBias = 32640;

// The horizontal pass of eight samples from texels l (columns x..x+7) and r (x+1..x+8):
// two registers of 16-bit sums less kPassBias (in unpack order). The sums fit 16 bits
// unsigned, so the products may wrap.
struct HorizontalPass {
  __m256i m_lo, m_hi;
};

DX7_AVX2 inline __m256i horizontalHalf(__m256i l, __m256i r, const WideFixedWeights& w) {
  const __m256i bias = _mm256_set1_epi16(static_cast<short>(kPassBias));
  return _mm256_sub_epi16(_mm256_add_epi16(_mm256_mullo_epi16(l, w.m_iwx), _mm256_mullo_epi16(r, w.m_wx)), bias);
}

DX7_AVX2 inline HorizontalPass horizontalPass(__m256i l, __m256i r, const WideFixedWeights& w) {
  const __m256i zero = _mm256_setzero_si256();
  return {horizontalHalf(_mm256_unpacklo_epi8(l, zero), _mm256_unpacklo_epi8(r, zero), w),
          horizontalHalf(_mm256_unpackhi_epi8(l, zero), _mm256_unpackhi_epi8(r, zero), w)};
}

// (top (256 - wy) + bottom wy + 32768) >> 16, less 128, of sums kept less 32640: the
// multiply-add comes out 32640 * 256 short, which with the rounding 32768 is 128 * 65536,
// so shifting it alone gives the sample less 128 (-128..127, signed words).
DX7_AVX2 inline __m256i verticalPassHalf(__m256i top, __m256i bottom, __m256i wy) {
  __m256i p0 = _mm256_madd_epi16(_mm256_unpacklo_epi16(top, bottom), wy);
  __m256i p1 = _mm256_madd_epi16(_mm256_unpackhi_epi16(top, bottom), wy);
  return _mm256_packs_epi32(_mm256_srai_epi32(p0, 16), _mm256_srai_epi32(p1, 16));
}

// Samples less 128 in signed words (two verticalPassHalf results in unpack order) back to
// the samples' bytes.
DX7_AVX2 inline __m256i samplesOf(__m256i lo, __m256i hi) {
  return _mm256_xor_si256(_mm256_packs_epi16(lo, hi), _mm256_set1_epi8(static_cast<char>(0x80)));
}

DX7_AVX2 inline __m256i verticalPass(const HorizontalPass& top, const HorizontalPass& bottom, __m256i wy) {
  return samplesOf(verticalPassHalf(top.m_lo, bottom.m_lo, wy), verticalPassHalf(top.m_hi, bottom.m_hi, wy));
}

// The samples of a group from its bottom row's texels bl, br and its top row (at pTop),
// whose pass pKept holds where bTopKept says so; the bottom row's pass goes into pKept
// for the next pixel row. kLastTwo: only the high unpack half (see fixedGroupWide).
template <bool kLastTwo>
DX7_AVX2 inline __m256i lerpGroupWide(const DWORD* pTop, __m256i bl, __m256i br, bool bTopKept, __m256i* pKept,
                                      const WideFixedWeights& w) {
  if (kLastTwo) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i top = bTopKept ? _mm256_loadu_si256(pKept + 1)
                           : horizontalHalf(_mm256_unpackhi_epi8(loadWide(pTop), zero),
                                            _mm256_unpackhi_epi8(loadWide(pTop + 1), zero), w);
    __m256i bottom = horizontalHalf(_mm256_unpackhi_epi8(bl, zero), _mm256_unpackhi_epi8(br, zero), w);
    _mm256_storeu_si256(pKept + 1, bottom);
    __m256i v = verticalPassHalf(top, bottom, w.m_wy);
    return samplesOf(v, v);
  }
  HorizontalPass top = bTopKept ? HorizontalPass{_mm256_loadu_si256(pKept), _mm256_loadu_si256(pKept + 1)}
                                : horizontalPass(loadWide(pTop), loadWide(pTop + 1), w);
  HorizontalPass bottom = horizontalPass(bl, br, w);
  _mm256_storeu_si256(pKept, bottom.m_lo);
  _mm256_storeu_si256(pKept + 1, bottom.m_hi);
  return verticalPass(top, bottom, w.m_wy);
}

// What is known of the texels of one group's row (x..x + 8), as bits. The group's kernel
// decides from its two rows' bits, taken straight from the texels, not from the samples:
// a wrong guess then costs little, where a branch on the finished samples waits for all
// of their arithmetic.
enum TexelRow : BYTE {
  kRowKept = 1,    // its horizontal pass is kept
  kRowClear = 2,   // every texel clear: over a clear row too, the samples leave the target
  kRowOpaque = 4,  // every texel opaque: over an opaque row too, so is every sample
  kRowFlat = 8,    // every texel the same: over the same flat row, every sample is that
                   // texel (the weights sum to 65536)
};

// Only the bits the kernel asks for. A clear row gets no other bit: a group over a clear
// row and one that is not has no flat rows of the same texel either.
template <bool kClearBit, bool kOpaqueBit>
DX7_AVX2 inline BYTE texelRowOf(__m256i l, __m256i r, bool bAlpha) {
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
  if (kClearBit && bAlpha && _mm256_testz_si256(_mm256_or_si256(l, r), opaque)) return kRowClear;
  int nOpaque = kOpaqueBit && (!bAlpha || _mm256_testc_si256(_mm256_and_si256(l, r), opaque)) ? kRowOpaque : 0;
  int nFlat = _mm256_movemask_epi8(_mm256_cmpeq_epi32(l, r)) == -1 ? kRowFlat : 0;
  return static_cast<BYTE>(nOpaque | nFlat);
}

// State shared by a row's groups.
struct WideFixedRow {
  WideFixedWeights m_weights;
  __m256i m_diffuse, m_texOr;
  bool m_bAlpha;  // the texture has alpha (else every texel is opaque)
};

// Samples 2, 3, 6 and 7 of a group (the high unpack half) shaded over the target's d
// under M as shadeGroupWide does; samples 6 and 7 come out where they stand in d.
template <RowMode M, bool kModulate>
DX7_AVX2 inline __m256i shadeHighHalfWide(__m256i t, __m256i d, __m256i diffuse) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i m = _mm256_unpackhi_epi8(t, zero);
  if (kModulate) m = div255x16(_mm256_mullo_epi16(m, diffuse));
  __m256i out = blendHalfWide<M>(m, _mm256_unpackhi_epi8(d, zero));
  out = _mm256_packus_epi16(out, out);
  if (M == RowMode::Add) out = _mm256_adds_epu8(out, d);
  return _mm256_or_si256(out, _mm256_set1_epi32(static_cast<int>(kOpaque)));
}

// Eight samples whose texels start at pTop / pBottom, shaded over pDst under M; false
// where the target stays as it is. nTop: the top row's bits, which become the bottom's;
// pKept holds the top row's pass where they say so and gets the bottom's. kLastTwo: only
// samples 6 and 7 are wanted (a row's last one or two), which only the high unpack half
// holds: that half alone is worked out.
template <RowMode M, bool kModulate, bool kLastTwo = false>
DX7_AVX2 inline bool fixedGroupWide(const DWORD* pTop, const DWORD* pBottom, const DWORD* pDst, __m256i* pKept,
                                    BYTE& nTop, const WideFixedRow& row, __m256i& out) {
  __m256i bl = loadWide(pBottom), br = loadWide(pBottom + 1);
  BYTE nBottom = texelRowOf<M != RowMode::Copy, M == RowMode::Over && !kModulate>(bl, br, row.m_bAlpha);
  bool bTopKept = nTop & kRowKept;
  int nBoth = nTop & nBottom;
  nTop = nBottom;
  __m256i t;
  if (M != RowMode::Copy && (nBoth & kRowClear)) return false;
  if ((nBoth & kRowFlat) && pTop[0] == pBottom[0]) {
    t = bl;
  } else {
    t = lerpGroupWide<kLastTwo>(pTop, bl, br, bTopKept, pKept, row.m_weights);
    nTop |= kRowKept;
  }
  if (!row.m_bAlpha) t = _mm256_or_si256(t, row.m_texOr);
  if (M == RowMode::Over && !kModulate && (nBoth & kRowOpaque)) {
    out = t;
    return true;
  }
  out = kLastTwo ? shadeHighHalfWide<M, kModulate>(t, loadWide(pDst), row.m_diffuse)
                 : shadeGroupWide<M, kModulate>(t, loadWide(pDst), row.m_diffuse);
  return true;
}

// The target row kAhead rows on, asked for a line at a time: a row's groups take long
// enough that the reads of the target otherwise wait for memory one after another.
constexpr int kAhead = 2;

inline void prefetchRow(const DWORD* p, int n) {
  for (int i = 0; i < n; i += 16) _mm_prefetch(reinterpret_cast<const char*>(p + i), _MM_HINT_T0);
  _mm_prefetch(reinterpret_cast<const char*>(p + n - 1), _MM_HINT_T0);
}

// Rows of n >= 8 samples: pTexels is the first row's top texel of sample 0, nTexPitch
// the texture's row pitch. pKept has room for 2 (n / 8 + 1) registers, aTop for
// n / 8 + 1 entries. A row ends in a group that overlaps the one before it unless n is
// a multiple of eight; where only one or two samples are left, half of it is worked out.
template <RowMode M, bool kModulate>
DX7_AVX2 void fixedRowsWide(DWORD* pDst, int nDstPitch, const DWORD* pTexels, int nTexPitch, int n, int nRows,
                            const WideFixedRow& row, __m256i* pKept, BYTE* aTop) {
  int nWhole = n / 8, nLeft = n % 8;
  std::fill(aTop, aTop + nWhole + 1, BYTE(0));
  for (int y = 0; y < kAhead && y < nRows; ++y) prefetchRow(pDst + static_cast<int64_t>(y) * nDstPitch, n);
  int g = nWhole, iLast = n - 8;  // the last group's entries and first sample
  for (int y = 0; y < nRows; ++y) {
    const DWORD* pTop = pTexels + static_cast<int64_t>(y) * nTexPitch;
    const DWORD* pBottom = pTop + nTexPitch;
    DWORD* pRow = pDst + static_cast<int64_t>(y) * nDstPitch;
    if (y + kAhead < nRows) prefetchRow(pRow + kAhead * static_cast<int64_t>(nDstPitch), n);
    // An overlapping last group reads the target before the group it overlaps writes it.
    __m256i last;
    bool bLast = nLeft > 2 && fixedGroupWide<M, kModulate>(pTop + iLast, pBottom + iLast, pRow + iLast,
                                                           pKept + 2 * g, aTop[g], row, last);
    for (int k = 0, i = 0; k < nWhole; ++k, i += 8) {
      __m256i out;
      if (fixedGroupWide<M, kModulate>(pTop + i, pBottom + i, pRow + i, pKept + 2 * k, aTop[k], row, out))
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pRow + i), out);
    }
    if (bLast) _mm256_storeu_si256(reinterpret_cast<__m256i*>(pRow + iLast), last);
    if (nLeft > 0 && nLeft <= 2 &&
        fixedGroupWide<M, kModulate, true>(pTop + iLast, pBottom + iLast, pRow + iLast, pKept + 2 * g, aTop[g], row,
                                           last)) {
      __m128i high = _mm256_extracti128_si256(last, 1);
      if (nLeft == 2) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(pRow + n - 2), _mm_unpackhi_epi64(high, high));
      } else {
        pRow[n - 1] = static_cast<DWORD>(_mm_extract_epi32(high, 3));
      }
    }
  }
}

template <RowMode M>
DX7_AVX2 void fixedRowsWideOf(DWORD* pDst, int nDstPitch, const DWORD* pTexels, int nTexPitch, int n, int nRows,
                              int nWx, int nWy, DWORD nDiffuse, DWORD nTexOr) {
  __m256i diffuse = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(nDiffuse)), _mm256_setzero_si256());
  WideFixedRow row = {wideFixedWeights(nWx, nWy), diffuse, _mm256_set1_epi32(static_cast<int>(nTexOr)), nTexOr == 0};
  // Kept passes for every group of the widest row drawn so far.
  thread_local std::vector<std::uint64_t> s_aKept;
  thread_local std::vector<BYTE> s_aTop;
  size_t nGroups = static_cast<size_t>(n) / 8 + 1;
  if (s_aTop.size() < nGroups) {
    s_aKept.resize(nGroups * 8);
    s_aTop.resize(nGroups);
  }
  __m256i* pKept = reinterpret_cast<__m256i*>(s_aKept.data());
  if (nDiffuse == 0xFFFFFFFFu) {
    fixedRowsWide<M, false>(pDst, nDstPitch, pTexels, nTexPitch, n, nRows, row, pKept, s_aTop.data());
  } else {
    fixedRowsWide<M, true>(pDst, nDstPitch, pTexels, nTexPitch, n, nRows, row, pKept, s_aTop.data());
  }
}

// nRows rows of n samples under Over, Add or Copy without tests from a texture with a
// copied border (pBordered, (nTexWidth + 2) texels a row from texel (-1, -1)); the first
// sample's texels start at column x, row y. False where there is no such kernel or a
// sample reaches past the border.
bool fixedRowsBordered(RowMode eMode, DWORD* pDst, int nDstPitch, const DWORD* pBordered, int nTexWidth,
                       int nTexHeight, int64_t x, int64_t y, int nWx, int nWy, int n, int nRows, DWORD nDiffuse,
                       DWORD nTexOr) {
  if (!pBordered || n < 8 || !useWideVectors()) return false;
  if (x < -1 || x + n > nTexWidth || y < -1 || y + nRows > nTexHeight) return false;
  int nPitch = nTexWidth + 2;
  const DWORD* pTexels = pBordered + (y + 1) * nPitch + (x + 1);
  switch (eMode) {
    case RowMode::Copy:
      fixedRowsWideOf<RowMode::Copy>(pDst, nDstPitch, pTexels, nPitch, n, nRows, nWx, nWy, nDiffuse, nTexOr);
      return true;
    case RowMode::Over:
      fixedRowsWideOf<RowMode::Over>(pDst, nDstPitch, pTexels, nPitch, n, nRows, nWx, nWy, nDiffuse, nTexOr);
      return true;
    case RowMode::Add:
      fixedRowsWideOf<RowMode::Add>(pDst, nDstPitch, pTexels, nPitch, n, nRows, nWx, nWy, nDiffuse, nTexOr);
      return true;
    default: return false;
  }
}

// ---- upright quads drawn scaled, eight samples at a time ------------------------------
// Every pixel row of an upright quad drawn scaled samples the same texel columns at the
// same weights wx; only its texture rows and wy change. So the columns and weights are
// worked out once for the quad, and each texture row's horizontal pass once for all the
// pixel rows that read it. A group's eight samples are gathered by permutes from two
// loads of eight texels, one for each half of the group: the four samples of a half must
// then read at most eight columns, which holds while the quad is drawn at least half as
// wide as its texels. Texels come from the copied border (samples past it are moved
// onto it: they read the side's texel twice at the same weights, as clamping does), which
// is padded so that a load starting on it may reach past its end.

// One group of a row: its first sample, the bordered column where each half's load
// starts, each sample's left column in its half's load (the right one is the next), and
// the weights (256 - wx, wx) as the words of the horizontal pass in unpack order.
struct ScaledGroup {
  int m_nFirst;
  int m_aLoad[2];
  std::int32_t m_aLeft[8];
  std::uint16_t m_aInvLow[16], m_aLow[16], m_aInvHigh[16], m_aHigh[16];
};

// A texture row's horizontal pass, for every group of a quad: two registers of sums
// less kPassBias (as HorizontalPass; none where the group reads one texel only), the
// TexelRow bits of the texels the group reads (kRowFlat: all one texel, kept in
// m_pFlat).
struct ScaledPass {
  std::uint64_t* m_pSums;  // eight a group
  BYTE* m_pBits;
  DWORD* m_pFlat;
};

DX7_AVX2 inline __m256i loadWords(const std::uint16_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// The pass of one group over a bordered texture row. Where the group reads one texel
// only, its sums are left out: they are that texel times 256 whatever the weights.
DX7_AVX2 inline void scaledGroupPass(const DWORD* pRow, const ScaledGroup& g, bool bAlpha, std::uint64_t* pSums,
                                     BYTE& nBits, DWORD& nFlat) {
  const __m256i zero = _mm256_setzero_si256(), opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
  __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(g.m_aLeft));
  __m256i right = _mm256_add_epi32(left, _mm256_set1_epi32(1));
  __m256i v0 = loadWide(pRow + g.m_aLoad[0]), v1 = loadWide(pRow + g.m_aLoad[1]);
  __m256i l = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(v0, left), _mm256_permutevar8x32_epi32(v1, left), 0xF0);
  __m256i r =
      _mm256_blend_epi32(_mm256_permutevar8x32_epi32(v0, right), _mm256_permutevar8x32_epi32(v1, right), 0xF0);
  __m256i first = _mm256_broadcastd_epi32(_mm256_castsi256_si128(l));
  bool bFlat = _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi32(l, first), _mm256_cmpeq_epi32(r, first))) == -1;
  bool bClear = bAlpha && _mm256_testz_si256(_mm256_or_si256(l, r), opaque);
  bool bOpaque = !bAlpha || _mm256_testc_si256(_mm256_and_si256(l, r), opaque);
  nBits = static_cast<BYTE>((bClear ? kRowClear : 0) | (bOpaque ? kRowOpaque : 0) | (bFlat ? kRowFlat : 0));
  nFlat = static_cast<DWORD>(_mm256_cvtsi256_si32(l));
  if (bFlat) return;
  const __m256i bias = _mm256_set1_epi16(static_cast<short>(kPassBias));
  auto half = [&](__m256i lw, __m256i rw, const std::uint16_t* pInv, const std::uint16_t* pW) DX7_AVX2 {
    return _mm256_sub_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(lw, loadWords(pInv)), _mm256_mullo_epi16(rw, loadWords(pW))), bias);
  };
  __m256i low = half(_mm256_unpacklo_epi8(l, zero), _mm256_unpacklo_epi8(r, zero), g.m_aInvLow, g.m_aLow);
  __m256i high = half(_mm256_unpackhi_epi8(l, zero), _mm256_unpackhi_epi8(r, zero), g.m_aInvHigh, g.m_aHigh);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(pSums), low);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(pSums + 4), high);
}

// Group g's sums in a texture row's pass.
DX7_AVX2 inline HorizontalPass scaledSums(const ScaledPass& pass, int g) {
  if (pass.m_pBits[g] & kRowFlat) {
    __m256i texel = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(pass.m_pFlat[g])), _mm256_setzero_si256());
    __m256i sums = _mm256_sub_epi16(_mm256_slli_epi16(texel, 8), _mm256_set1_epi16(static_cast<short>(kPassBias)));
    return {sums, sums};
  }
  const __m256i* pSums = reinterpret_cast<const __m256i*>(pass.m_pSums + 8 * g);
  return {_mm256_loadu_si256(pSums), _mm256_loadu_si256(pSums + 1)};
}

DX7_AVX2 void scaledRowPass(const DWORD* pRow, const ScaledGroup* aGroups, int nGroups, bool bAlpha,
                            const ScaledPass& pass) {
  for (int g = 0; g < nGroups; ++g)
    scaledGroupPass(pRow, aGroups[g], bAlpha, pass.m_pSums + 8 * g, pass.m_pBits[g], pass.m_pFlat[g]);
}

// Where a run's groups find their two texture rows (top and bottom), in two kinds:
// - TwoPasses, from the rows' passes: for each group, the bits both rows share, whether
//   their kRowFlat is one texel (sameFlat(), the texel flat()), and the sums interleaved
//   top with bottom, as verticalPassHalf unpacks them (the low registers' low and high
//   halves, then the high ones');
// - PairedRows, the same made once beforehand (a ScaledPair) for rows drawn again, with
//   kRowFlat only where it is one texel.
struct PairSums {
  __m256i m_lo0, m_lo1, m_hi0, m_hi1;
};

struct TwoPasses {
  const ScaledPass m_top, m_bottom;
  int bits(int g) const { return m_top.m_pBits[g] & m_bottom.m_pBits[g]; }
  bool sameFlat(int g) const { return m_top.m_pFlat[g] == m_bottom.m_pFlat[g]; }
  DWORD flat(int g) const { return m_top.m_pFlat[g]; }
  DX7_AVX2 PairSums sums(int g) const {
    HorizontalPass a = scaledSums(m_top, g), b = scaledSums(m_bottom, g);
    return {_mm256_unpacklo_epi16(a.m_lo, b.m_lo), _mm256_unpackhi_epi16(a.m_lo, b.m_lo),
            _mm256_unpacklo_epi16(a.m_hi, b.m_hi), _mm256_unpackhi_epi16(a.m_hi, b.m_hi)};
  }
};

struct ScaledPair {
  std::uint64_t* m_pSums;  // sixteen (four registers) a group
  BYTE* m_pBits;
  DWORD* m_pFlat;
};

struct PairedRows {
  const ScaledPair m_pair;
  int bits(int g) const { return m_pair.m_pBits[g]; }
  bool sameFlat(int) const { return true; }
  DWORD flat(int g) const { return m_pair.m_pFlat[g]; }
  DX7_AVX2 PairSums sums(int g) const {
    const __m256i* p = reinterpret_cast<const __m256i*>(m_pair.m_pSums + 16 * g);
    return {_mm256_loadu_si256(p), _mm256_loadu_si256(p + 1), _mm256_loadu_si256(p + 2), _mm256_loadu_si256(p + 3)};
  }
};

DX7_AVX2 void pairPasses(const TwoPasses& rows, int nGroups, const ScaledPair& pair) {
  for (int g = 0; g < nGroups; ++g) {
    int nBoth = rows.bits(g);
    pair.m_pBits[g] = static_cast<BYTE>(rows.sameFlat(g) ? nBoth : nBoth & ~kRowFlat);
    pair.m_pFlat[g] = rows.flat(g);
    if (pair.m_pBits[g] & kRowFlat) continue;  // the sums are not read
    PairSums sums = rows.sums(g);
    __m256i* p = reinterpret_cast<__m256i*>(pair.m_pSums + 16 * g);
    _mm256_storeu_si256(p, sums.m_lo0);
    _mm256_storeu_si256(p + 1, sums.m_lo1);
    _mm256_storeu_si256(p + 2, sums.m_hi0);
    _mm256_storeu_si256(p + 3, sums.m_hi1);
  }
}

// How the groups of a run of pixel rows are shaded.
struct ScaledShading {
  __m256i m_diffuse, m_texOr;
  bool m_bAlpha;  // the texture has alpha (else every texel is opaque)
};

// Pixel rows that read the same two texture rows (consecutive rows of a quad drawn
// taller than its texels): where each one's first group starts, and its wy as the
// (256 - wy, wy) word pairs of the vertical multiply-add.
constexpr int kRunRows = 8;
struct ScaledRun {
  DWORD* m_apDst[kRunRows];
  __m256i m_aWy[kRunRows];
  int m_nRows = 0;
};

// Group g (starting at sample nAt) of a run's rows, shaded over each row's target into
// aOut, or (kStore) straight into the target; false where every target stays as it is.
// The rows share their texels, so they share what is known of them, and the vertical
// pass's interleaved sums. Inlined: a call for every group of two or three rows took a
// tenth of their time.
template <RowMode M, bool kModulate, bool kStore, typename Rows>
DX7_AVX2 inline __attribute__((always_inline)) bool scaledGroup(const Rows& rows, int g, int nAt,
                                                                const ScaledRun& run, const ScaledShading& row,
                                                                __m256i* aOut) {
  int nBoth = rows.bits(g);
  if (M != RowMode::Copy && (nBoth & kRowClear)) return false;
  bool bOpaqueOver = M == RowMode::Over && !kModulate && (nBoth & kRowOpaque);
  auto shade = [&](__m256i t, int k) DX7_AVX2 {
    if (!row.m_bAlpha) t = _mm256_or_si256(t, row.m_texOr);
    DWORD* pDst = run.m_apDst[k] + nAt;
    __m256i out = bOpaqueOver ? t : shadeGroupWide<M, kModulate>(t, loadWide(pDst), row.m_diffuse);
    if (kStore) _mm256_storeu_si256(reinterpret_cast<__m256i*>(pDst), out);
    else aOut[k] = out;
  };
  if ((nBoth & kRowFlat) && rows.sameFlat(g)) {
    __m256i t = _mm256_set1_epi32(static_cast<int>(rows.flat(g)));
    for (int k = 0; k < run.m_nRows; ++k) shade(t, k);
    return true;
  }
  // As verticalPass, with the rows' sums interleaved once for all the pixel rows.
  PairSums sums = rows.sums(g);
  __m256i lo0 = sums.m_lo0, lo1 = sums.m_lo1, hi0 = sums.m_hi0, hi1 = sums.m_hi1;
  for (int k = 0; k < run.m_nRows; ++k) {
    __m256i wy = run.m_aWy[k];
    auto half = [wy](__m256i x0, __m256i x1) DX7_AVX2 {
      return _mm256_packs_epi32(_mm256_srai_epi32(_mm256_madd_epi16(x0, wy), 16),
                                _mm256_srai_epi32(_mm256_madd_epi16(x1, wy), 16));
    };
    shade(samplesOf(half(lo0, lo1), half(hi0, hi1)), k);
  }
  return true;
}

// A run of pixel rows, each group shaded straight into the targets. A last group that
// overlaps the one before it is worked out from the untouched targets first and stored
// last. The rows come by value, so that their few pointers stay in registers: through a
// reference they were loaded again for every group, past the stores to the targets.
template <RowMode M, bool kModulate, typename Rows>
DX7_AVX2 void scaledRunWide(const ScaledGroup* aGroups, int nGroups, const Rows rows, const ScaledRun& run,
                            DWORD nDiffuse, bool bAlpha) {
  const __m256i diffuse = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(nDiffuse)), _mm256_setzero_si256());
  const ScaledShading row = {diffuse, _mm256_set1_epi32(bAlpha ? 0 : static_cast<int>(kOpaque)), bAlpha};
  int gLast = nGroups - 1, nLastAt = aGroups[gLast].m_nFirst;
  bool bOverlap = nLastAt != 8 * gLast;
  __m256i aLast[kRunRows];
  bool bLast = bOverlap && scaledGroup<M, kModulate, false>(rows, gLast, nLastAt, run, row, aLast);
  for (int g = 0; g < (bOverlap ? gLast : nGroups); ++g)
    scaledGroup<M, kModulate, true>(rows, g, aGroups[g].m_nFirst, run, row, nullptr);
  for (int k = 0; bLast && k < run.m_nRows; ++k)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(run.m_apDst[k] + nLastAt), aLast[k]);
}

template <typename Rows>
using ScaledRunKernel = void (*)(const ScaledGroup*, int, Rows, const ScaledRun&, DWORD, bool);

template <typename Rows>
ScaledRunKernel<Rows> scaledRunKernelOf(RowMode eMode, bool bModulate) {
  switch (eMode) {
    case RowMode::Copy:
      return bModulate ? scaledRunWide<RowMode::Copy, true, Rows> : scaledRunWide<RowMode::Copy, false, Rows>;
    case RowMode::Over:
      return bModulate ? scaledRunWide<RowMode::Over, true, Rows> : scaledRunWide<RowMode::Over, false, Rows>;
    case RowMode::Add:
      return bModulate ? scaledRunWide<RowMode::Add, true, Rows> : scaledRunWide<RowMode::Add, false, Rows>;
    default: return nullptr;
  }
}

#endif

// Samples whose texels pTop[i], pTop[i + 1] and the same of pBottom all lie inside,
// in whole groups of four; returns how many pixels it took. kShade: shaded over pDst
// under the row kernel M (groups whose texels are all clear skipped under Over and Add,
// which leave the target as it is then), else the samples stored in pDst with nTexOr.
template <RowMode M, bool kModulate, bool kShade>
int fixedRow(DWORD* pDst, const DWORD* pTop, const DWORD* pBottom, int nWx, int nWy, int n, DWORD nDiffuse,
             DWORD nTexOr) {
  int i = 0;
#if defined(DX7_WIDE_ROWS)
  if (n >= 8 && useWideVectors()) i = fixedRowWide<M, kModulate, kShade>(pDst, pTop, pBottom, nWx, nWy, n, nDiffuse, nTexOr);
#endif
  const __m128i zero = _mm_setzero_si128();
  const __m128i diffuse = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(nDiffuse)), zero);
  const __m128i texOr = _mm_set1_epi32(static_cast<int>(nTexOr));
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
  FixedWeights w(nWx, nWy);
  auto load = [](const DWORD* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
  for (; i + 4 <= n; i += 4) {
    __m128i tl = load(pTop + i), tr = load(pTop + i + 1), bl = load(pBottom + i), br = load(pBottom + i + 1);
    __m128i* pOut = reinterpret_cast<__m128i*>(pDst + i);
    if (kShade && M != RowMode::Copy) {
      __m128i any = _mm_and_si128(_mm_or_si128(_mm_or_si128(_mm_or_si128(tl, tr), _mm_or_si128(bl, br)), texOr), opaque);
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, zero)) == 0xFFFF) continue;
    }
    __m128i t = _mm_or_si128(lerpFixed4(tl, tr, bl, br, w), texOr);
    if (!kShade || (M == RowMode::Over && !kModulate &&
                    (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(t, opaque), opaque)) & 0x8888) == 0x8888)) {
      _mm_storeu_si128(pOut, t);
      continue;
    }
    _mm_storeu_si128(pOut, shadeGroup<M, kModulate>(t, _mm_loadu_si128(pOut), diffuse));
  }
  return i;
}

void lerpFixedInside(const DWORD* pTop, const DWORD* pBottom, int nWx, int nWy, int n, DWORD* pOut) {
  int i = fixedRow<RowMode::Copy, false, false>(pOut, pTop, pBottom, nWx, nWy, n, 0xFFFFFFFFu, 0);
  for (; i < n; ++i) pOut[i] = lerpBlock(pTop + i, pBottom + i, nWx, nWy);
}

// n samples of a row (the first one's left texel column x, in a row nWidth >= 2 wide)
// shaded under M: those inside the texture straight from its rows in whole groups, the
// last partial group of them from partial loads. A sample past a side reads the side's
// texel twice, which the weights make the same as the side's texel beside its neighbour
// with all the weight on the side: one value for all such samples of a side.
template <RowMode M, bool kModulate>
void shadeFixedRowOf(DWORD* pDst, const DWORD* pTop, const DWORD* pBottom, int nWidth, int x, int nWx, int nWy, int n,
                     DWORD nDiffuse, DWORD nTexOr) {
  const __m128i diffuse = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(nDiffuse)), _mm_setzero_si128());
  const __m128i texOr = _mm_set1_epi32(static_cast<int>(nTexOr));
  auto shadeSame = [&](int iFrom, int iTo, DWORD nSample) {
    __m128i t = _mm_or_si128(_mm_set1_epi32(static_cast<int>(nSample)), texOr);
    int i = iFrom;
    for (; i + 4 <= iTo; i += 4) {
      __m128i* p = reinterpret_cast<__m128i*>(pDst + i);
      _mm_storeu_si128(p, shadeGroup<M, kModulate>(t, _mm_loadu_si128(p), diffuse));
    }
    if (i < iTo) storePartial(pDst + i, shadeGroup<M, kModulate>(t, loadPartial(pDst + i, iTo - i), diffuse), iTo - i);
  };
  int iLo, iHi;
  insideRange(x, nWidth, n, iLo, iHi);
  if (iLo > 0) shadeSame(0, iLo, lerpBlock(pTop, pBottom, 0, nWy));
  int i = iLo;
  if (iHi > iLo)
    i += fixedRow<M, kModulate, true>(pDst + iLo, pTop + x + iLo, pBottom + x + iLo, nWx, nWy, iHi - iLo, nDiffuse,
                                      nTexOr);
  if (i < iHi) {
    int nCount = iHi - i;
    const DWORD* pT = pTop + x + i;
    const DWORD* pB = pBottom + x + i;
    __m128i t = lerpFixed4(loadPartial(pT, nCount), loadPartial(pT + 1, nCount), loadPartial(pB, nCount),
                           loadPartial(pB + 1, nCount), FixedWeights(nWx, nWy));
    t = _mm_or_si128(t, texOr);
    storePartial(pDst + i, shadeGroup<M, kModulate>(t, loadPartial(pDst + i, nCount), diffuse), nCount);
  }
  if (iHi < n) shadeSame(iHi, n, lerpBlock(pTop + nWidth - 2, pBottom + nWidth - 2, 256, nWy));
}

template <RowMode M>
void shadeFixedRowOf(DWORD* pDst, const DWORD* pTop, const DWORD* pBottom, int nWidth, int x, int nWx, int nWy, int n,
                     DWORD nDiffuse, DWORD nTexOr) {
  if (nDiffuse == 0xFFFFFFFFu) {
    shadeFixedRowOf<M, false>(pDst, pTop, pBottom, nWidth, x, nWx, nWy, n, nDiffuse, nTexOr);
  } else {
    shadeFixedRowOf<M, true>(pDst, pTop, pBottom, nWidth, x, nWx, nWy, n, nDiffuse, nTexOr);
  }
}

// A row under Over, Add or Copy without tests, sampled and shaded in one pass; false
// where there is no such kernel.
bool shadeFixedDirect(RowMode eMode, DWORD* pDst, const DWORD* pTop, const DWORD* pBottom, int nWidth, int x, int nWx,
                      int nWy, int n, DWORD nDiffuse, DWORD nTexOr) {
  if (nWidth < 2) return false;
  switch (eMode) {
    case RowMode::Copy:
      shadeFixedRowOf<RowMode::Copy>(pDst, pTop, pBottom, nWidth, x, nWx, nWy, n, nDiffuse, nTexOr);
      return true;
    case RowMode::Over:
      shadeFixedRowOf<RowMode::Over>(pDst, pTop, pBottom, nWidth, x, nWx, nWy, n, nDiffuse, nTexOr);
      return true;
    case RowMode::Add:
      shadeFixedRowOf<RowMode::Add>(pDst, pTop, pBottom, nWidth, x, nWx, nWy, n, nDiffuse, nTexOr);
      return true;
    default: return false;
  }
}
#else
void lerpFixedInside(const DWORD* pTop, const DWORD* pBottom, int nWx, int nWy, int n, DWORD* pOut) {
  for (int i = 0; i < n; ++i) pOut[i] = lerpBlock(pTop + i, pBottom + i, nWx, nWy);
}

bool shadeFixedDirect(RowMode, DWORD*, const DWORD*, const DWORD*, int, int, int, int, int, DWORD, DWORD) {
  return false;
}
#endif

#if !defined(DX7_WIDE_ROWS)
bool fixedRowsBordered(RowMode, DWORD*, int, const DWORD*, int, int, int64_t, int64_t, int, int, int, int, DWORD,
                       DWORD) {
  return false;
}
#endif

// One row of an upright sprite between pixels: samples whose first texel column is x + i
// (in a texture nWidth wide; the rows are already clamped), weighted by wx and wy. Columns
// past the texture's sides are clamped to them, as fetch does.
void lerpFixedRow(const DWORD* pTop, const DWORD* pBottom, int nWidth, int x, int nWx, int nWy, int n, DWORD* pOut) {
  auto clamped = [&](int i) {
    int x0 = std::clamp(x + i, 0, nWidth - 1), x1 = std::clamp(x + i + 1, 0, nWidth - 1);
    return lerpTexels(pTop[x0], pTop[x1], pBottom[x0], pBottom[x1], static_cast<std::uint64_t>(nWx),
                      static_cast<std::uint64_t>(nWy));
  };
  int iLo, iHi;
  insideRange(x, nWidth, n, iLo, iHi);
  for (int i = 0; i < iLo; ++i) pOut[i] = clamped(i);
  if (iHi > iLo) lerpFixedInside(pTop + x + iLo, pBottom + x + iLo, nWx, nWy, iHi - iLo, pOut + iLo);
  for (int i = iHi; i < n; ++i) pOut[i] = clamped(i);
}

// Where a pixel of a row falls on two texture rows and its texel columns.
struct FixedRow {
  const DWORD* m_pTop;
  const DWORD* m_pBottom;
  int m_nWidth;
  int m_nX;  // first texel column of sample 0
  int m_nWx, m_nWy;
};

// Samples [i, i + n) of a row sampled into a buffer and shaded in chunks, as the triangle
// path shades a span.
void shadeFixedBuffered(RowMode eMode, const FixedRow& row, DWORD* pDst, BYTE* pStencil, bool bTests, int i, int n,
                        DWORD nDiffuse, DWORD nTexOr, const PixelState& st) {
  DWORD aTexels[kSpanChunk];
  for (int nEnd = i + n; i < nEnd;) {
    int nCount = std::min(kSpanChunk, nEnd - i);
    lerpFixedRow(row.m_pTop, row.m_pBottom, row.m_nWidth, row.m_nX + i, row.m_nWx, row.m_nWy, nCount, aTexels);
    if (eMode == RowMode::Generic) {
      for (int k = 0; k < nCount; ++k)
        shadePixel(pDst + i + k, pStencil ? pStencil + i + k : nullptr,
                   combine(aTexels[k] | nTexOr, nDiffuse, st.m_eColour, st.m_eAlpha), st);
    } else if (bTests) {
      testedRow(eMode, pDst + i, pStencil ? pStencil + i : nullptr, aTexels, nCount, nDiffuse, nTexOr, st);
    } else {
      shadeRow(eMode, pDst + i, aTexels, nCount, nDiffuse, nTexOr, st);
    }
    i += nCount;
  }
}

// Samples [i, i + n) of a row: without tests sampled and shaded in one pass where there
// is a kernel for that, else through a buffer.
void shadeFixed(RowMode eMode, const FixedRow& row, DWORD* pDst, BYTE* pStencil, bool bTests, int i, int n,
                DWORD nDiffuse, DWORD nTexOr, const PixelState& st) {
  if (!bTests && shadeFixedDirect(eMode, pDst + i, row.m_pTop, row.m_pBottom, row.m_nWidth, row.m_nX + i, row.m_nWx,
                                  row.m_nWy, n, nDiffuse, nTexOr))
    return;
  shadeFixedBuffered(eMode, row, pDst, pStencil, bTests, i, n, nDiffuse, nTexOr, st);
}

// The kind of texels [nFrom, nTo) of two rows' alpha runs together: clear or opaque only
// where both rows are.
AlphaRuns::Kind mergedKind(AlphaRuns::Kind a, AlphaRuns::Kind b) { return a == b ? a : AlphaRuns::Mixed; }

// A row of n samples under Over or Add walked along the alpha runs of both its texture
// rows: a sample is clear (or opaque) only when its two columns are in a clear (opaque) run
// of both rows, so each run counts one texel narrower. Clear samples leave the target as it
// is; opaque ones over an opaque diffuse colour are copied (see shadeRuns).
void shadeFixedRuns(RowMode eMode, const FixedRow& row, const AlphaRuns::Run* pTop, const AlphaRuns::Run* pTopEnd,
                    const AlphaRuns::Run* pBottom, const AlphaRuns::Run* pBottomEnd, DWORD* pDst, int n,
                    DWORD nDiffuse, const PixelState& st) {
  bool bCopyOpaque = eMode == RowMode::Over && (nDiffuse & kOpaque) == kOpaque;
  // Segments of one kind are gathered and drawn when the kind changes.
  int iDrawn = 0, iPending = 0;
  AlphaRuns::Kind ePending = AlphaRuns::Mixed;
  auto flush = [&] {
    if (ePending != AlphaRuns::Clear && iPending > iDrawn) {
      RowMode eRow = ePending == AlphaRuns::Opaque ? RowMode::Copy : eMode;
      shadeFixed(eRow, row, pDst, nullptr, false, iDrawn, iPending - iDrawn, nDiffuse, 0, st);
    }
    iDrawn = iPending;
  };
  auto add = [&](int iTo, AlphaRuns::Kind eKind) {
    if (eKind == AlphaRuns::Opaque && !bCopyOpaque) eKind = AlphaRuns::Mixed;
    if (iTo <= iPending) return;
    if (eKind != ePending) {
      flush();
      ePending = eKind;
    }
    iPending = iTo;
  };
  int nStart = 0;  // first texel column of the current run of both rows
  while (iPending < n && pTop != pTopEnd && pBottom != pBottomEnd) {
    int nEnd = std::min(pTop->m_nEnd, pBottom->m_nEnd);
    // Samples wholly inside columns [nStart, nEnd); the texture's sides reach on, as
    // clamping repeats their texels. Samples before them straddle two runs.
    int iFrom = nStart == 0 ? iPending : std::clamp(nStart - row.m_nX, iPending, n);
    int iTo = nEnd >= row.m_nWidth ? n : std::clamp(nEnd - 1 - row.m_nX, iFrom, n);
    if (iTo > iFrom) {
      add(iFrom, AlphaRuns::Mixed);
      add(iTo, mergedKind(pTop->m_eKind, pBottom->m_eKind));
    }
    if (pTop->m_nEnd == nEnd) ++pTop;
    if (pBottom->m_nEnd == nEnd) ++pBottom;
    nStart = nEnd;
  }
  add(n, AlphaRuns::Mixed);
  flush();
}

}  // namespace

// ---- Rasterizer ----------------------------------------------------------------------

// Shorter runs are left to the row kernels, which pass over clear and opaque groups of
// pixels almost as cheaply as a run switch costs: clear runs at a row's ends (where
// skipping them costs no switch) and runs inside a row.
constexpr int kMinEndRun = 32;
constexpr int kMinRun = 64;

namespace {
AlphaRuns::Kind kindOf(DWORD nTexel) {
  DWORD nAlpha = nTexel >> 24;
  return nAlpha == 0 ? AlphaRuns::Clear : nAlpha == 255 ? AlphaRuns::Opaque : AlphaRuns::Mixed;
}

// An attribute's plane over a triangle's snapped corners (X, Y in 1/256 pixel): its
// change per pixel to the right and down.
struct PlaneBasis {
  double m_fX0, m_fY0, m_fX1, m_fY1, m_fX2, m_fY2, m_fDet;
  PlaneBasis(const int64_t* X, const int64_t* Y)
      : m_fX0(X[0] / 256.0), m_fY0(Y[0] / 256.0), m_fX1(X[1] / 256.0 - m_fX0), m_fY1(Y[1] / 256.0 - m_fY0),
        m_fX2(X[2] / 256.0 - m_fX0), m_fY2(Y[2] / 256.0 - m_fY0), m_fDet(m_fX1 * m_fY2 - m_fY1 * m_fX2) {}
  void plane(double f0, double f1, double f2, double& dfdx, double& dfdy) const {
    dfdx = ((f1 - f0) * m_fY2 - (f2 - f0) * m_fY1) / m_fDet;
    dfdy = ((f2 - f0) * m_fX1 - (f1 - f0) * m_fX2) / m_fDet;
  }
};

// The edge from (X0, Y0) to (X1, Y1) of a shape with positive area, for the rows of
// pixels [nPx0, ..]: pixels exactly on it belong to the shape only for top and left edges.
struct Edge {
  int64_t m_nDx, m_nDy, m_nBias, m_nX, m_nY;
  Edge() = default;
  Edge(int64_t nX0, int64_t nY0, int64_t nX1, int64_t nY1)
      : m_nDx(nX1 - nX0), m_nDy(nY1 - nY0), m_nBias(m_nDy < 0 || (m_nDy == 0 && m_nDx > 0) ? 0 : 1), m_nX(nX0),
        m_nY(nY0) {}
};

// An edge's bound on the pixels of one row after another (pixels from nPx0), without a
// division per row: the bound is floor(a / b) of a numerator a that grows by the same
// amount every row, kept as quotient and remainder. A bound may lie outside the row; an
// edge the whole row is outside of empties it.
class EdgeWalk {
 public:
  EdgeWalk() = default;
  EdgeWalk(const Edge& edge, int64_t py, int64_t nPx0) {
    m_nE = edge.m_nDx * (py * kSub - edge.m_nY) - edge.m_nDy * (nPx0 * kSub - edge.m_nX) - edge.m_nBias;
    m_nDe = edge.m_nDx * kSub;
    int64_t nStep = -edge.m_nDy * kSub, a = 0, da = 0;
    m_eSide = nStep > 0 ? Left : nStep < 0 ? Right : Flat;
    if (m_eSide == Flat) return;
    // Left: nPx0 + ceil(-e / nStep) is the first pixel inside; right: nPx0 + floor(e / -nStep) the last.
    m_nB = m_eSide == Left ? nStep : -nStep;
    a = m_eSide == Left ? -m_nE + nStep - 1 : m_nE;
    da = m_eSide == Left ? -m_nDe : m_nDe;
    m_nQ = floorDiv(a, m_nB);
    m_nR = a - m_nQ * m_nB;
    // Upright and level sides (most sprites) move by nothing: no division for that.
    if (da == 0) return;
    m_nDq = floorDiv(da, m_nB);
    m_nDr = da - m_nDq * m_nB;
  }
  void narrow(int64_t nPx0, int64_t& nLo, int64_t& nHi) const {
    if (m_eSide == Left) {
      nLo = std::max(nLo, nPx0 + m_nQ);
    } else if (m_eSide == Right) {
      nHi = std::min(nHi, nPx0 + m_nQ);
    } else if (m_nE < 0) {
      nHi = nLo - 1;
    }
  }
  void nextRow() {
    m_nE += m_nDe;
    m_nQ += m_nDq;
    m_nR += m_nDr;
    if (m_nR >= m_nB) {
      m_nR -= m_nB;
      ++m_nQ;
    }
  }

 private:
  enum Side { Left, Right, Flat } m_eSide = Flat;
  int64_t m_nE = 0, m_nDe = 0, m_nB = 1, m_nQ = 0, m_nR = 0, m_nDq = 0, m_nDr = 0;
};

// Kept inline where the compiler would not: called once a row, in loops that set rows
// up ahead of drawing them.
#if defined(__GNUC__) || defined(__clang__)
#define DX7_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define DX7_ALWAYS_INLINE inline
#endif

// The pixels of the current row inside every edge (false when none); the
// walks move on to the next row either way.
template <int N>
DX7_ALWAYS_INLINE bool nextRowSpan(EdgeWalk (&aWalks)[N], int64_t nPx0, int64_t nPx1, int64_t& nLo, int64_t& nHi) {
  nLo = nPx0;
  nHi = nPx1;
  for (EdgeWalk& walk : aWalks) {
    walk.narrow(nPx0, nLo, nHi);
    walk.nextRow();
  }
  return nLo <= nHi;
}

// A quad's texture plane: s and t at (m_fX0, m_fY0) and their change per pixel.
struct TexturePlane {
  double m_fS0, m_fT0, m_fDsdx, m_fDsdy, m_fDtdx, m_fDtdy, m_fX0, m_fY0;
};

// One row's pixels [m_nLo, m_nHi] and its first sample, in steps.
struct RowSpan {
  int64_t m_nY, m_nLo, m_nHi, m_nS, m_nT;
};
constexpr int kRowBatch = 16;

// A parallelogram's rows, a batch at a time.
class RowSetup {
 public:
  RowSetup(const Edge (&aEdges)[4], const TexturePlane& plane, int64_t nPx0, int64_t nPx1, int64_t nPy0, int64_t nPy1)
      : m_plane(plane), m_nPx0(nPx0), m_nPx1(nPx1), m_nPy(nPy0), m_nPy1(nPy1), m_bReuse(test::isRowReuseEnabled()) {
    for (int i = 0; i < 4; ++i) m_aWalks[i] = EdgeWalk(aEdges[i], nPy0, nPx0);
  }
  bool isDone() const { return m_nPy > m_nPy1; }
  // The spans of the next rows that hold pixels (up to kRowBatch) into aOut; returns how many.
  int next(RowSpan* aOut) {
    const TexturePlane& p = m_plane;
    int n = 0;
    for (; m_nPy <= m_nPy1 && n < kRowBatch; ++m_nPy) {
      int64_t nLo, nHi;
      if (!nextRowSpan(m_aWalks, m_nPx0, m_nPx1, nLo, nHi)) continue;
      double fx = static_cast<double>(nLo) - p.m_fX0, fy = static_cast<double>(m_nPy) - p.m_fY0;
      // With s level along y (upright quads), a row starting where the last one did
      // starts at the same s: fy then adds a zero to the same sum.
      if (nLo != m_nLastLo || p.m_fDsdy != 0.0 || !m_bReuse) {
        m_nLastS = toStep(p.m_fS0 + p.m_fDsdx * fx + p.m_fDsdy * fy);
        m_nLastLo = nLo;
      }
      aOut[n++] = {m_nPy, nLo, nHi, m_nLastS, toStep(p.m_fT0 + p.m_fDtdx * fx + p.m_fDtdy * fy)};
    }
    return n;
  }

 private:
  EdgeWalk m_aWalks[4];
  TexturePlane m_plane;
  int64_t m_nPx0, m_nPx1, m_nPy, m_nPy1;
  int64_t m_nLastLo = std::numeric_limits<int64_t>::min(), m_nLastS = 0;
  bool m_bReuse;
};

#if defined(DX7_WIDE_ROWS)
// Sample i of a row whose first sample is at nS (in steps) and which steps nStepS: its
// left texel column in a copied border, moved onto the border when it lies past it, and
// its weight wx.
struct ScaledColumn {
  int m_nColumn, m_nWx;
};

inline ScaledColumn scaledColumn(int64_t nS, int64_t nStepS, int i, int nWidth) {
  int64_t s = stepTo256(nS + i * nStepS) - 128;
  return {static_cast<int>(std::clamp<int64_t>(s >> 8, -1, nWidth - 1)) + 1, static_cast<int>(s & 255)};
}

// Whether a sample reading bordered columns (or rows) c and c + 1 reaches one of the live
// texels [nLive0, nLive1) of a side nSize long.
inline bool reachesLive(int c, int nLive0, int nLive1, int nSize) {
  return std::clamp(c, 0, nSize - 1) >= nLive0 && std::clamp(c - 1, 0, nSize - 1) < nLive1;
}

// The groups of samples [0, n), n >= 8, the first at nS; false where the four samples of
// a half read more columns than its load holds.
bool scaledGroups(int64_t nS, int64_t nStepS, int n, int nWidth, std::vector<ScaledGroup>& aOut) {
  aOut.resize(static_cast<size_t>(n + 7) / 8);
  for (size_t g = 0; g < aOut.size(); ++g) {
    ScaledGroup& group = aOut[g];
    group.m_nFirst = std::min(8 * static_cast<int>(g), n - 8);
    ScaledColumn a[8];
    for (int k = 0; k < 8; ++k) a[k] = scaledColumn(nS, nStepS, group.m_nFirst + k, nWidth);
    for (int h = 0; h < 2; ++h) {
      auto byColumn = [](const ScaledColumn& x, const ScaledColumn& y) { return x.m_nColumn < y.m_nColumn; };
      auto [pMin, pMax] = std::minmax_element(a + 4 * h, a + 4 * h + 4, byColumn);
      if (pMax->m_nColumn - pMin->m_nColumn > 6) return false;
      group.m_aLoad[h] = pMin->m_nColumn;
      for (int k = 4 * h; k < 4 * h + 4; ++k) group.m_aLeft[k] = a[k].m_nColumn - pMin->m_nColumn;
    }
    // Unpacked, the low words hold samples 0 and 1 (then 4 and 5 in the upper lane), the
    // high words samples 2 and 3 (6 and 7), four channels each.
    for (int k = 0; k < 8; ++k) {
      bool bHigh = k % 4 >= 2;
      int nWord = (k / 4) * 8 + (k % 2) * 4;
      std::uint16_t* pInv = bHigh ? group.m_aInvHigh : group.m_aInvLow;
      std::uint16_t* pW = bHigh ? group.m_aHigh : group.m_aLow;
      std::fill_n(pInv + nWord, 4, static_cast<std::uint16_t>(256 - a[k].m_nWx));
      std::fill_n(pW + nWord, 4, static_cast<std::uint16_t>(a[k].m_nWx));
    }
  }
  return true;
}

// The groups of a quad's samples and what is worked out from the texture rows they read.
// Sprites drawn at one scale, frame after frame or many times a frame, read the same
// columns of their texture every time: their groups are kept for the next quad, and so
// are the pairs of rows made ready for the vertical pass, for every row where that takes
// little memory. An entry is made only at its key's third use: making the pairs costs
// more than the quad saves by them, which a sprite changing its scale or place every
// frame would pay at every quad, and sprites of more pictures than there are entries
// each time a key comes back once before it is pushed out (as at the turn of a frame).
// The rows' horizontal passes are kept for the two rows read last: a pixel row's bottom
// row is mostly the next one's top row, or its own again.
struct ScaledColumns {
  // The texture's copied border (its id: a new one for every copy, so that changed texels
  // never meet what was made from the old ones), the first sample's s, the step and the
  // samples.
  struct Key {
    std::uint64_t m_nTexture;
    int64_t m_nFirstS, m_nStepS;
    int m_nSamples;
    bool m_bAlpha;
    bool operator==(const Key& o) const {
      return m_nTexture == o.m_nTexture && m_nFirstS == o.m_nFirstS && m_nStepS == o.m_nStepS &&
             m_nSamples == o.m_nSamples && m_bAlpha == o.m_bAlpha;
    }
  };
  Key m_key = {};
  std::uint64_t m_nLastUse = 0;
  int m_nUses = 0;  // of a key only noted, until kUsesForPairs
  std::vector<ScaledGroup> m_aGroups;
  int m_aPassRow[2] = {-1, -1};  // the row each pass slot holds, -1 for none
  ScaledPass m_aPasses[2] = {};    // the slots, in the three below
  std::vector<std::uint64_t> m_aSums;
  std::vector<BYTE> m_aBits;
  std::vector<DWORD> m_aFlat;
  // Pair slot r holds rows r and r + 1 where the pairs are kept. False also in an entry
  // that only notes its key.
  bool m_bKeepsPairs = false;
  std::vector<int> m_aPairRow;  // the top row each pair slot holds, -1 for none
  std::vector<std::uint64_t> m_aPairSums;
  std::vector<BYTE> m_aPairBits;
  std::vector<DWORD> m_aPairFlat;

  // Pairs are kept for quads of up to kKeptGroups groups, in up to kKeptPairBytes. Kept
  // entries hold room for that from the first, so that taking turns among quads of
  // other sizes never allocates in the middle of play.
  static constexpr size_t kKeptGroups = 64;
  static constexpr size_t kPairBytes = 16 * sizeof(std::uint64_t) + sizeof(BYTE) + sizeof(DWORD);  // a group's
  static constexpr size_t kKeptPairBytes = 256 * 1024;
  static constexpr size_t kKeptPairs = kKeptPairBytes / kPairBytes;  // groups times rows
  static constexpr int kUsesForPairs = 3;

  static bool keepsPairs(const Key& key, int nBorderedRows) {
    size_t nGroups = (static_cast<size_t>(key.m_nSamples) + 7) / 8;
    return key.m_nTexture != 0 && nGroups <= kKeptGroups && nGroups * (nBorderedRows - 1) <= kKeptPairs;
  }
  void reserveForKeptPairs() {
    m_aGroups.reserve(kKeptGroups);
    m_aSums.reserve(16 * kKeptGroups);
    m_aBits.reserve(2 * kKeptGroups);
    m_aFlat.reserve(2 * kKeptGroups);
    m_aPairRow.reserve(kKeptPairs);
    m_aPairSums.reserve(16 * kKeptPairs);
    m_aPairBits.reserve(kKeptPairs);
    m_aPairFlat.reserve(kKeptPairs);
  }

  // The key's groups, without pairs; false where the samples do not fit the groups'
  // loads (see scaledGroups).
  bool reset(const Key& key, int nWidth) {
    m_key = key;
    m_bKeepsPairs = false;
    if (!scaledGroups(key.m_nFirstS, key.m_nStepS, key.m_nSamples, nWidth, m_aGroups)) {
      m_key.m_nTexture = 0;
      return false;
    }
    size_t nGroups = m_aGroups.size();
    m_aPassRow[0] = m_aPassRow[1] = -1;
    m_aSums.resize(8 * nGroups * 2);
    m_aBits.resize(nGroups * 2);
    m_aFlat.resize(nGroups * 2);
    for (size_t k = 0; k < 2; ++k)
      m_aPasses[k] = {m_aSums.data() + 8 * nGroups * k, m_aBits.data() + nGroups * k, m_aFlat.data() + nGroups * k};
    return true;
  }
  // Room for the pairs of a quad nBorderedRows high, none made yet. The pairs' storage only
  // grows: slots past the quad's are never read, and are not filled again for nothing.
  void keepPairs(int nBorderedRows) {
    size_t nGroups = m_aGroups.size(), nPairs = static_cast<size_t>(nBorderedRows) - 1;
    m_bKeepsPairs = true;
    m_aPairRow.assign(nPairs, -1);
    m_aPairSums.resize(std::max(m_aPairSums.size(), 16 * nGroups * nPairs));
    m_aPairBits.resize(std::max(m_aPairBits.size(), nGroups * nPairs));
    m_aPairFlat.resize(std::max(m_aPairFlat.size(), nGroups * nPairs));
  }
  // The pass of bordered row nRow of pRows (nPitch texels a row), made where it is not
  // kept; the slot holding nKeep stays. Inlined: called twice for every run of pixel rows,
  // it took a twentieth of a quad's instructions as a call.
  DX7_AVX2 DX7_ALWAYS_INLINE const ScaledPass& passOf(int nRow, int nKeep, const DWORD* pRows, int64_t nPitch) {
    int k = m_aPassRow[0] == nRow ? 0 : m_aPassRow[1] == nRow ? 1 : m_aPassRow[0] == nKeep ? 1 : 0;
    if (m_aPassRow[k] != nRow) {
      scaledRowPass(pRows + nRow * nPitch, m_aGroups.data(), static_cast<int>(m_aGroups.size()), m_key.m_bAlpha,
                    m_aPasses[k]);
      m_aPassRow[k] = nRow;
    }
    return m_aPasses[k];
  }
  // Where the pairs are kept, the pair of bordered rows nRow and nRow + 1, made once.
  DX7_AVX2 ScaledPair pairOf(int nRow, const DWORD* pRows, int64_t nPitch) {
    size_t nGroups = m_aGroups.size(), k = static_cast<size_t>(nRow);
    ScaledPair pair = {m_aPairSums.data() + 16 * nGroups * k, m_aPairBits.data() + nGroups * k,
                       m_aPairFlat.data() + nGroups * k};
    if (m_aPairRow[k] != nRow) {
      const ScaledPass& top = passOf(nRow, nRow + 1, pRows, nPitch);
      const ScaledPass& bottom = passOf(nRow + 1, nRow, pRows, nPitch);
      pairPasses(TwoPasses{top, bottom}, static_cast<int>(nGroups), pair);
      m_aPairRow[k] = nRow;
    }
    return pair;
  }
};

// The kept columns for a quad: the entry of its key, made with room for pairs at the key's
// kUsesForPairs-th use. A key seen first only takes the place of the one used longest
// ago; until it is made, it is drawn from an entry of its own, kept for nothing, as are
// quads whose pairs are never kept: one entry made over and over stays in the nearest
// cache, the next entry in turn would not. Null where the samples do not fit the groups'
// loads.
ScaledColumns* scaledColumnsFor(const ScaledColumns::Key& key, int nWidth, int nBorderedRows) {
  constexpr int kEntries = 16;
  thread_local ScaledColumns s_aEntries[kEntries], s_unkept;
  thread_local std::uint64_t s_nUses = 0;
  auto unkept = [&] { return s_unkept.reset(key, nWidth) ? &s_unkept : nullptr; };
  if (!ScaledColumns::keepsPairs(key, nBorderedRows)) return unkept();
  if (s_nUses == 0)
    for (ScaledColumns& entry : s_aEntries) entry.reserveForKeptPairs();
  ScaledColumns* pOldest = &s_aEntries[0];
  for (ScaledColumns& entry : s_aEntries) {
    if (entry.m_key == key) {
      entry.m_nLastUse = ++s_nUses;
      if (entry.m_bKeepsPairs) return &entry;
      if (++entry.m_nUses < ScaledColumns::kUsesForPairs) return unkept();
      if (!entry.reset(key, nWidth)) return nullptr;
      entry.keepPairs(nBorderedRows);
      return &entry;
    }
    if (entry.m_nLastUse < pOldest->m_nLastUse) pOldest = &entry;
  }
  pOldest->m_nLastUse = ++s_nUses;
  pOldest->m_key = key;
  pOldest->m_nUses = 1;
  pOldest->m_bKeepsPairs = false;
  return unkept();
}

// Upright quads drawn scaled (s depends on x alone and t on y alone): the pixels rect,
// sampled as the texture plane says, through the kernels above under Copy, Over or Add
// (eMode) without tests. Each row's first sample is worked out as RowSetup does, so
// that the samples are the spans' to the bit. pLive: the texture's live box where clear
// samples may be left out (Over and Add), else null. False, with nothing drawn, where
// the kernels do not apply: no copied border, rows of fewer than eight samples, quads
// narrower than half their texels.
DX7_AVX2 bool drawScaledRows(const ColourBuffer& target, const TextureView& tex, RowMode eMode, DWORD nDiffuse,
                             const ClipRect& rect, const TexturePlane& plane, int64_t nStepS,
                             const BorderedTexels* pLive) {
  if (!test::isScaledRowsEnabled() || !tex.m_pBordered || !useWideVectors()) return false;
  if (rect.m_nX0 >= rect.m_nX1 || rect.m_nY0 >= rect.m_nY1) return true;
  const TexturePlane& p = plane;
  double fx = static_cast<double>(rect.m_nX0) - p.m_fX0, fy = static_cast<double>(rect.m_nY0) - p.m_fY0;
  int64_t nS = toStep(p.m_fS0 + p.m_fDsdx * fx + p.m_fDsdy * fy);
  int n = rect.m_nX1 - rect.m_nX0, i0 = 0, i1 = n;
  if (pLive) {
    auto live = [&](int i) {
      return reachesLive(scaledColumn(nS, nStepS, i, tex.m_nWidth).m_nColumn, pLive->m_nLiveX0, pLive->m_nLiveX1,
                         tex.m_nWidth);
    };
    while (i0 < i1 && !live(i0)) ++i0;
    while (i1 > i0 && !live(i1 - 1)) --i1;
    if (i0 == i1) return true;  // every sample clear: the target stays
  }
  if (i1 - i0 < 8) return false;
  std::uint64_t nTexture = tex.m_pLive ? tex.m_pLive->m_nId : 0;
  ScaledColumns::Key key = {nTexture, nS + i0 * nStepS, nStepS, i1 - i0, tex.m_bAlpha};
  ScaledColumns* pColumns = scaledColumnsFor(key, tex.m_nWidth, tex.m_nHeight + 2);
  if (!pColumns) return false;
  const ScaledGroup* aGroups = pColumns->m_aGroups.data();
  int nGroups = static_cast<int>(pColumns->m_aGroups.size());
  bool bModulate = nDiffuse != 0xFFFFFFFFu;
  ScaledRunKernel<PairedRows> pfnPaired = scaledRunKernelOf<PairedRows>(eMode, bModulate);
  ScaledRunKernel<TwoPasses> pfnTwo = scaledRunKernelOf<TwoPasses>(eMode, bModulate);
  ScaledRun run;
  int nRunRow = -1;  // the run's top texture row
  const DWORD* pRows = tex.m_pBordered;
  int64_t nPitch = tex.m_nWidth + 2;
  // Inlined, as passOf: with a branch for each kind of rows the compiler made it a call.
  auto flush = [&]() DX7_AVX2 __attribute__((always_inline)) {
    if (run.m_nRows == 0) return;
    if (pColumns->m_bKeepsPairs) {
      ScaledPair pair = pColumns->pairOf(nRunRow, pRows, nPitch);
      pfnPaired(aGroups, nGroups, PairedRows{pair}, run, nDiffuse, tex.m_bAlpha);
    } else {
      const ScaledPass& top = pColumns->passOf(nRunRow, nRunRow + 1, pRows, nPitch);
      const ScaledPass& bottom = pColumns->passOf(nRunRow + 1, nRunRow, pRows, nPitch);
      pfnTwo(aGroups, nGroups, TwoPasses{top, bottom}, run, nDiffuse, tex.m_bAlpha);
    }
    run.m_nRows = 0;
  };
  auto firstPixel = [&](int py) {
    return target.m_pPixels + static_cast<int64_t>(py) * target.m_nPitch + rect.m_nX0 + i0;
  };
  for (int py = rect.m_nY0; py < std::min(rect.m_nY0 + kAhead, rect.m_nY1); ++py) prefetchRow(firstPixel(py), i1 - i0);
  for (int py = rect.m_nY0; py < rect.m_nY1; ++py) {
    // As fixedRowsWide, the target kAhead rows on is asked for now.
    if (py + kAhead < rect.m_nY1) prefetchRow(firstPixel(py + kAhead), i1 - i0);
    fy = static_cast<double>(py) - p.m_fY0;
    int64_t t = stepTo256(toStep(p.m_fT0 + p.m_fDtdx * fx + p.m_fDtdy * fy)) - 128;
    int nRow = static_cast<int>(std::clamp<int64_t>(t >> 8, -1, tex.m_nHeight - 1)) + 1;
    if (pLive && !reachesLive(nRow, pLive->m_nLiveY0, pLive->m_nLiveY1, tex.m_nHeight)) continue;
    if (nRow != nRunRow || run.m_nRows == kRunRows) flush();
    nRunRow = nRow;
    unsigned nWy = static_cast<unsigned>(t & 255);
    run.m_apDst[run.m_nRows] = firstPixel(py);
    run.m_aWy[run.m_nRows++] = _mm256_set1_epi32(static_cast<int>((nWy << 16) | (256 - nWy)));
  }
  flush();
  return true;
}
#else
bool drawScaledRows(const ColourBuffer&, const TextureView&, RowMode, DWORD, const ClipRect&, const TexturePlane&,
                    int64_t, const BorderedTexels*) {
  return false;
}
#endif
}  // namespace

// Runs are made of whole groups of four texels (the row kernels' width), so that a
// sprite drawn whole has no partial group but at the row's end; a group is clear or opaque
// only when all its texels are.
void AlphaRuns::build(const DWORD* pTexels, int nPitch, int nWidth, int nHeight) {
  m_aRowStart.assign(1, 0);
  m_aRuns.clear();
  m_bUseful = false;
  for (int y = 0; y < nHeight; ++y) {
    const DWORD* pRow = pTexels + static_cast<std::int64_t>(y) * nPitch;
    size_t nRowFirst = m_aRuns.size();
    for (int x = 0; x < nWidth; x += 8) {
      int nEnd = std::min(x + 8, nWidth);
      Kind eKind = kindOf(pRow[x]);
      for (int i = x + 1; i < nEnd && eKind != Mixed; ++i)
        if (kindOf(pRow[i]) != eKind) eKind = Mixed;
      addRun(nRowFirst, nEnd, eKind);
    }
    size_t nOut = nRowFirst, nLast = m_aRuns.size() - 1;
    int nStart = 0;
    for (size_t i = nRowFirst; i < m_aRuns.size(); ++i) {
      Run run = m_aRuns[i];
      bool bEnd = (i == nRowFirst || i == nLast) && run.m_eKind == Clear;
      if (run.m_nEnd - nStart < (bEnd ? kMinEndRun : kMinRun)) run.m_eKind = Mixed;
      if (run.m_eKind != Mixed) m_bUseful = true;
      nStart = run.m_nEnd;
      if (nOut > nRowFirst && m_aRuns[nOut - 1].m_eKind == run.m_eKind) {
        m_aRuns[nOut - 1].m_nEnd = run.m_nEnd;
      } else {
        m_aRuns[nOut++] = run;
      }
    }
    m_aRuns.resize(nOut);
    m_aRowStart.push_back(static_cast<int>(m_aRuns.size()));
  }
}

void AlphaRuns::addRun(size_t nRowFirst, int nEnd, Kind eKind) {
  if (m_aRuns.size() > nRowFirst && m_aRuns.back().m_eKind == eKind) {
    m_aRuns.back().m_nEnd = nEnd;
  } else {
    m_aRuns.push_back(Run{nEnd, eKind});
  }
}

void Rasterizer::setTarget(const ColourBuffer& target, const StencilBuffer* pStencil) {
  m_target = target;
  m_bHasStencil = pStencil != nullptr && pStencil->m_pValues != nullptr;
  m_stencil = m_bHasStencil ? *pStencil : StencilBuffer();
  m_clip = {0, 0, target.m_nWidth, target.m_nHeight};
}

void Rasterizer::setTexture(const TextureView* pTexture) {
  m_bHasTexture = pTexture != nullptr && pTexture->m_pTexels != nullptr;
  m_texture = m_bHasTexture ? *pTexture : TextureView();
}

bool Rasterizer::isCulled(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) const {
  if (m_state.m_nCull == D3DCULL_NONE) return false;
  // Positive area is clockwise on a screen whose y grows downwards.
  double fArea = (b.m_fX - a.m_fX) * (c.m_fY - a.m_fY) - (b.m_fY - a.m_fY) * (c.m_fX - a.m_fX);
  return m_state.m_nCull == D3DCULL_CCW ? fArea < 0.0 : fArea > 0.0;
}

bool Rasterizer::isSurelyScaled(const ScreenVertex* pVerts, bool bStrip) const {
  if (!m_bHasTexture || !test::isScaleShortcutEnabled()) return false;
  const ScreenVertex& a = pVerts[0];
  const ScreenVertex& b = pVerts[bStrip ? 3 : 2];
  // The upright paths need (u1 - u0) * width within 5e-4 of the snapped width (each
  // snap moves an end by at most 1/512), or equal to it.
  double fWidth = std::fabs(b.m_fX - a.m_fX), fTexels = std::fabs(b.m_fU - a.m_fU) * m_texture.m_nWidth;
  if (!(std::fabs(fTexels - fWidth) > 1e-3 * fWidth + 0.05)) return false;
  // Well inside the clip rectangle and two pixels across, the quad covers pixels: the
  // fast path would not report it drawn for being clipped to nothing.
  double fX0 = a.m_fX, fX1 = a.m_fX, fY0 = a.m_fY, fY1 = a.m_fY;
  for (int i = 1; i < 4; ++i) {
    fX0 = std::min(fX0, pVerts[i].m_fX);
    fX1 = std::max(fX1, pVerts[i].m_fX);
    fY0 = std::min(fY0, pVerts[i].m_fY);
    fY1 = std::max(fY1, pVerts[i].m_fY);
  }
  return fX0 >= m_clip.m_nX0 && fY0 >= m_clip.m_nY0 && fX1 <= m_clip.m_nX1 - 1 && fY1 <= m_clip.m_nY1 - 1 &&
         fX1 - fX0 >= 2.0 && fY1 - fY0 >= 2.0;
}

bool Rasterizer::drawQuad(const ScreenVertex* pVerts, bool bStrip) {
  if (!isSurelyScaled(pVerts, bStrip) && tryFastQuad(pVerts, bStrip)) return true;
  // Turned and scaled quads sample past the texture's sides along their edges.
  if (m_bHasTexture && m_texture.m_pfnBordered && test::isBorderedTexturesEnabled()) {
    m_texture.m_pLive = m_texture.m_pfnBordered(m_texture.m_pBorderedOwner);
    m_texture.m_pBordered = m_texture.m_pLive ? m_texture.m_pLive->m_pTexels : nullptr;
  }
  if (!tryParallelogram(pVerts, bStrip)) {
    if (bStrip) {
      drawTriangle(pVerts[0], pVerts[1], pVerts[2]);
      drawTriangle(pVerts[1], pVerts[3], pVerts[2]);
    } else {
      drawTriangle(pVerts[0], pVerts[1], pVerts[2]);
      drawTriangle(pVerts[0], pVerts[2], pVerts[3]);
    }
  }
  m_texture.m_pBordered = nullptr;
  m_texture.m_pLive = nullptr;
  return false;
}

void Rasterizer::drawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  if (!isFinite(a) || !isFinite(b) || !isFinite(c) || isCulled(a, b, c)) return;
  if (m_clip.m_nX0 >= m_clip.m_nX1 || m_clip.m_nY0 >= m_clip.m_nY1) return;
  double fX0 = m_clip.m_nX0 - kGuard, fX1 = m_clip.m_nX1 + kGuard;
  double fY0 = m_clip.m_nY0 - kGuard, fY1 = m_clip.m_nY1 + kGuard;
  for (const ScreenVertex* p : {&a, &b, &c}) {
    if (p->m_fX < fX0 || p->m_fX > fX1 || p->m_fY < fY0 || p->m_fY > fY1) {
      clipAndDraw(a, b, c);
      return;
    }
  }
  rasterTriangle(a, b, c);
}

void Rasterizer::clipAndDraw(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  ScreenVertex aBufA[8] = {a, b, c};
  ScreenVertex aBufB[8];
  int n = 3;
  n = clipPolygon(aBufA, n, aBufB, 0, m_clip.m_nX0 - kGuard, -1.0);
  n = clipPolygon(aBufB, n, aBufA, 0, m_clip.m_nX1 + kGuard, 1.0);
  n = clipPolygon(aBufA, n, aBufB, 1, m_clip.m_nY0 - kGuard, -1.0);
  n = clipPolygon(aBufB, n, aBufA, 1, m_clip.m_nY1 + kGuard, 1.0);
  for (int i = 1; i + 1 < n; ++i) rasterTriangle(aBufA[0], aBufA[i], aBufA[i + 1]);
}

void Rasterizer::rasterTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  const ScreenVertex* v[3] = {&a, &b, &c};
  int64_t X[3], Y[3];
  for (int i = 0; i < 3; ++i) {
    X[i] = snap(v[i]->m_fX);
    Y[i] = snap(v[i]->m_fY);
  }
  int64_t nArea = (X[1] - X[0]) * (Y[2] - Y[0]) - (Y[1] - Y[0]) * (X[2] - X[0]);
  if (nArea == 0) return;
  if (nArea < 0) {
    std::swap(v[1], v[2]);
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
    nArea = -nArea;
  }
  int64_t nPx0 = std::max<int64_t>(m_clip.m_nX0, ceilDiv(std::min({X[0], X[1], X[2]}), kSub));
  int64_t nPx1 = std::min<int64_t>(m_clip.m_nX1 - 1, floorDiv(std::max({X[0], X[1], X[2]}), kSub));
  int64_t nPy0 = std::max<int64_t>(m_clip.m_nY0, ceilDiv(std::min({Y[0], Y[1], Y[2]}), kSub));
  int64_t nPy1 = std::min<int64_t>(m_clip.m_nY1 - 1, floorDiv(std::max({Y[0], Y[1], Y[2]}), kSub));
  if (nPx0 > nPx1 || nPy0 > nPy1) return;

  // Edge i runs from vertex i to vertex i+1; inside is positive.
  Edge aEdges[3];
  for (int i = 0; i < 3; ++i) aEdges[i] = Edge(X[i], Y[i], X[(i + 1) % 3], Y[(i + 1) % 3]);

  // Attribute planes over the snapped positions.
  PlaneBasis basis(X, Y);
  double x0 = basis.m_fX0, y0 = basis.m_fY0;
  auto plane = [&](double f0, double f1, double f2, double& dfdx, double& dfdy) { basis.plane(f0, f1, f2, dfdx, dfdy); };
  double fTw = m_bHasTexture ? m_texture.m_nWidth : 1.0, fTh = m_bHasTexture ? m_texture.m_nHeight : 1.0;
  double s0 = v[0]->m_fU * fTw, t0 = v[0]->m_fV * fTh;
  double dsdx, dsdy, dtdx, dtdy;
  plane(s0, v[1]->m_fU * fTw, v[2]->m_fU * fTw, dsdx, dsdy);
  plane(t0, v[1]->m_fV * fTh, v[2]->m_fV * fTh, dtdx, dtdy);
  bool bMinify = std::fabs(dsdx * dtdy - dsdy * dtdx) > 1.0 + 1e-9;
  bool bLinear = bMinify ? m_state.m_bLinearMin : m_state.m_bLinearMag;

  bool bFlat = v[0]->m_nColour == v[1]->m_nColour && v[0]->m_nColour == v[2]->m_nColour;
  double aC0[4], aCdx[4], aCdy[4];
  for (int k = 0; k < 4; ++k) {
    aC0[k] = channel(v[0]->m_nColour, 8 * k);
    plane(aC0[k], channel(v[1]->m_nColour, 8 * k), channel(v[2]->m_nColour, 8 * k), aCdx[k], aCdy[k]);
  }

  // Clamped so that stepping across the widest row cannot overflow.
  int64_t nStepS = toStep(std::clamp(dsdx, -1.0e6, 1.0e6)), nStepT = toStep(std::clamp(dtdx, -1.0e6, 1.0e6));
  bool bStencil = m_state.m_bStencil && m_bHasStencil;
  // Flat colour and plain states go span by span through the row kernels.
  RowMode eSpan = bFlat && test::isSpanPathEnabled() ? rowModeOf(m_state) : RowMode::Generic;
  bool bTests = m_state.m_bAlphaTest || bStencil;
  if (eSpan == RowMode::Skip && !bTests) return;
  bool bTrim = canTrimClearEnds(static_cast<int>(eSpan), bTests);
  EdgeWalk aWalks[3];
  for (int i = 0; i < 3; ++i) aWalks[i] = EdgeWalk(aEdges[i], nPy0, nPx0);
  if (eSpan != RowMode::Generic && test::isRowBatchesEnabled()) {
    // As tryParallelogram: a batch of rows set up before any is drawn, so that their
    // chains of float steps overlap.
    RowSpan aRows[kRowBatch];
    ClearEndBounds trim = bTrim ? clearEndBounds(bLinear) : ClearEndBounds();
    for (int64_t py = nPy0; py <= nPy1;) {
      int nRows = 0;
      for (; py <= nPy1 && nRows < kRowBatch; ++py) {
        int64_t nLo, nHi;
        if (!nextRowSpan(aWalks, nPx0, nPx1, nLo, nHi)) continue;
        double fx = static_cast<double>(nLo) - x0, fy = static_cast<double>(py) - y0;
        aRows[nRows++] = {py, nLo, nHi, toStep(s0 + dsdx * fx + dsdy * fy), toStep(t0 + dtdx * fx + dtdy * fy)};
      }
      for (int i = 0; i < nRows; ++i) {
        RowSpan& row = aRows[i];
        if (bTrim) {
          int64_t nCut = trimClearEnds(trim, nullptr, row.m_nS, row.m_nT, nStepS, nStepT, row.m_nLo, row.m_nHi);
          if (row.m_nLo > row.m_nHi) continue;
          row.m_nS += nCut * nStepS;
          row.m_nT += nCut * nStepT;
        }
        DWORD* pDst = m_target.m_pPixels + row.m_nY * m_target.m_nPitch;
        BYTE* pStencilRow = bStencil ? m_stencil.m_pValues + row.m_nY * m_stencil.m_nPitch + row.m_nLo : nullptr;
        drawSpan(eSpan, pDst + row.m_nLo, pStencilRow, bTests, m_bHasTexture ? &m_texture : nullptr, bLinear,
                 row.m_nS, row.m_nT, nStepS, nStepT, static_cast<int>(row.m_nHi - row.m_nLo + 1), v[0]->m_nColour,
                 m_state);
      }
    }
    return;
  }
  for (int64_t py = nPy0; py <= nPy1; ++py) {
    int64_t nLo, nHi;
    if (!nextRowSpan(aWalks, nPx0, nPx1, nLo, nHi)) continue;
    double fx = static_cast<double>(nLo) - x0, fy = static_cast<double>(py) - y0;
    int64_t nS = toStep(s0 + dsdx * fx + dsdy * fy), nT = toStep(t0 + dtdx * fx + dtdy * fy);
    double aC[4];
    for (int k = 0; k < 4; ++k) aC[k] = aC0[k] + aCdx[k] * fx + aCdy[k] * fy;
    DWORD* pDst = m_target.m_pPixels + py * m_target.m_nPitch;
    BYTE* pStencilRow = bStencil ? m_stencil.m_pValues + py * m_stencil.m_nPitch : nullptr;
    if (eSpan != RowMode::Generic) {
      if (bTrim) {
        int64_t nCut = trimClearEnds(nS, nT, nStepS, nStepT, bLinear, nLo, nHi);
        if (nLo > nHi) continue;
        nS += nCut * nStepS;
        nT += nCut * nStepT;
      }
      drawSpan(eSpan, pDst + nLo, pStencilRow ? pStencilRow + nLo : nullptr, bTests,
               m_bHasTexture ? &m_texture : nullptr, bLinear, nS, nT, nStepS, nStepT,
               static_cast<int>(nHi - nLo + 1), v[0]->m_nColour, m_state);
      continue;
    }
    for (int64_t px = nLo; px <= nHi; ++px) {
      DWORD nDiffuse = v[0]->m_nColour;
      if (!bFlat) {
        nDiffuse = 0;
        for (int k = 0; k < 4; ++k)
          nDiffuse |= static_cast<DWORD>(std::clamp(std::lround(aC[k]), 0L, 255L)) << (8 * k);
        for (int k = 0; k < 4; ++k) aC[k] += aCdx[k];
      }
      DWORD nTexel = 0xFFFFFFFFu;
      if (m_bHasTexture) nTexel = bLinear ? sampleLinear(m_texture, nS, nT) : sampleNearest(m_texture, nS, nT);
      nS += nStepS;
      nT += nStepT;
      shadePixel(pDst + px, pStencilRow ? pStencilRow + px : nullptr,
                 combine(nTexel, nDiffuse, m_state.m_eColour, m_state.m_eAlpha), m_state);
    }
  }
}

bool Rasterizer::canTrimClearEnds(int eSpan, bool bTests) const {
  RowMode eMode = static_cast<RowMode>(eSpan);
  if (!(eMode == RowMode::Over || eMode == RowMode::Add) || bTests || !m_bHasTexture || !m_texture.m_bAlpha ||
      m_texture.m_pLive == nullptr)
    return false;
  // A live box that is the whole texture cuts nothing (samples clamp to its sides): the
  // rows are spared the test.
  const BorderedTexels& live = *m_texture.m_pLive;
  return live.m_nLiveX0 >= live.m_nLiveX1 || live.m_nLiveX0 > 0 || live.m_nLiveY0 > 0 ||
         live.m_nLiveX1 < m_texture.m_nWidth || live.m_nLiveY1 < m_texture.m_nHeight;
}

// A sample reading only clear texels, drawn over or added, leaves the target's colour as
// it is (see shadeRuns). The texel column a sample starts at, (stepTo256(s) - bias) >> 8,
// grows or shrinks with its position along the span, so each side of the live box keeps
// the samples on one side of a pixel that one division finds.
// Spans up to this many pixels test their end samples by multiplication (0 <= i <= this
// and |step| <= 2^45 keep the products far from overflowing).
constexpr int64_t kShortSpan = 65536;

namespace {
// Keeps the samples i in [iLo, iHi] whose texel column is at least k (bAtLeast) or below
// it, given as the bound on their position: column >= k exactly when nStart + i nStep >=
// nBound.
void keepByDivision(int64_t nStart, int64_t nStep, int64_t nBound, bool bAtLeast, int64_t& iLo, int64_t& iHi) {
  if (nStep > 0) {
    int64_t iFirst = ceilDiv(nBound - nStart, nStep);
    if (bAtLeast) {
      iLo = std::max(iLo, iFirst);
    } else {
      iHi = std::min(iHi, iFirst - 1);
    }
  } else {
    int64_t iLast = floorDiv(nStart - nBound, -nStep);
    if (bAtLeast) {
      iHi = std::min(iHi, iLast);
    } else {
      iLo = std::max(iLo, iLast + 1);
    }
  }
}
}  // namespace

// The sides are fixed for a quad; only the rows' starts and lengths change.
Rasterizer::ClearEndBounds Rasterizer::clearEndBounds(bool bLinear) const {
  const BorderedTexels& live = *m_texture.m_pLive;
  int64_t nReach = bLinear ? 1 : 0, nBias = bLinear ? 128 : 0;
  ClearEndBounds b;
  b.m_bEmpty = live.m_nLiveX0 >= live.m_nLiveX1;
  b.m_bShortcut = test::isTrimShortcutEnabled();
  // A sample reads columns x and x + nReach, clamped to the texture as fetch does: it
  // reaches a live one when x + nReach >= the box's first and x is before its end (each
  // side always met where the box touches that side of the texture).
  auto add = [&](int nLive0, int nLive1, int nSize) {
    auto bound = [&](int64_t k) {
      return (k * 256 + nBias) * (int64_t(1) << (kStepBits - 8)) - (int64_t(1) << (kStepBits - 9));
    };
    if (nLive0 > 0) b.m_aSides[b.m_nSides++] = {bound(nLive0 - nReach), true};
    if (nLive1 < nSize) b.m_aSides[b.m_nSides++] = {bound(nLive1), false};
  };
  add(live.m_nLiveX0, live.m_nLiveX1, m_texture.m_nWidth);
  b.m_nSidesOnS = b.m_nSides;
  add(live.m_nLiveY0, live.m_nLiveY1, m_texture.m_nHeight);
  return b;
}

int64_t Rasterizer::trimClearEnds(int64_t nS, int64_t nT, int64_t nStepS, int64_t nStepT, bool bLinear, int64_t& nLo,
                                  int64_t& nHi) const {
  return trimClearEnds(clearEndBounds(bLinear), nullptr, nS, nT, nStepS, nStepT, nLo, nHi);
}

inline int64_t Rasterizer::trimClearEnds(const ClearEndBounds& b, TrimOnS* pOnS, int64_t nS, int64_t nT, int64_t nStepS,
                                  int64_t nStepT, int64_t& nLo, int64_t& nHi) {
  int64_t iLo = 0, iHi = b.m_bEmpty ? -1 : nHi - nLo;
  if (pOnS && pOnS->m_nS == nS && pOnS->m_nLength == nHi - nLo && !b.m_bEmpty) {
    iLo = pOnS->m_iLo;
    iHi = pOnS->m_iHi;
  } else {
    keepLiveSides(b, 0, b.m_nSidesOnS, nS, nStepS, iLo, iHi);
    if (pOnS) *pOnS = {nS, nHi - nLo, iLo, iHi};
  }
  if (nStepT != 0) {
    keepLiveSides(b, b.m_nSidesOnS, b.m_nSides, nT, nStepT, iLo, iHi);
  } else {
    // t is the same along the span (upright quads): a side keeps all of it or none.
    for (int k = b.m_nSidesOnS; k < b.m_nSides; ++k)
      if ((nT >= b.m_aSides[k].m_nBound) != b.m_aSides[k].m_bAtLeast) iHi = iLo - 1;
  }
  if (iLo > iHi) {
    nHi = nLo - 1;
    return 0;
  }
  nHi = nLo + iHi;
  nLo += iLo;
  return iLo;
}

void Rasterizer::keepLiveSides(const ClearEndBounds& b, int kFirst, int kEnd, int64_t nStart, int64_t nStep,
                               int64_t& iLo, int64_t& iHi) {
  // Once no sample is left, the span is empty whatever the other bounds say.
  for (int k = kFirst; k < kEnd && iLo <= iHi; ++k) {
    int64_t nBound = b.m_aSides[k].m_nBound;
    bool bAtLeast = b.m_aSides[k].m_bAtLeast;
    if (nStep == 0) {
      if ((nStart >= nBound) != bAtLeast) iHi = iLo - 1;
    } else if (!b.m_bShortcut || iHi > kShortSpan) {
      keepByDivision(nStart, nStep, nBound, bAtLeast, iLo, iHi);
    } else if (nStep > 0 ? (bAtLeast ? nStart + iLo * nStep < nBound : nStart + iHi * nStep >= nBound)
                         : (bAtLeast ? nStart + iHi * nStep < nBound : nStart + iLo * nStep >= nBound)) {
      // Most rows start and end on live texels: the division only when the end sample
      // on the side this bound can cut is really cut.
      keepByDivision(nStart, nStep, nBound, bAtLeast, iLo, iHi);
    }
  }
}

// Each row of the quad is one span and one texture plane, the first triangle's; pixels of
// the second one may then sample a step (1/2^24 texel) away from where its own plane puts
// them, at most 1 per channel off. Coverage is the same: the triangles split the quad's
// pixels along the diagonal under the top-left rule.
bool Rasterizer::tryParallelogram(const ScreenVertex* pVerts, bool bStrip) {
  // An alpha 1 off could flip the alpha test, and the pixel with it.
  if (!test::isParallelogramSpansEnabled() || !test::isSpanPathEnabled() || m_state.m_bAlphaTest) return false;
  RowMode eSpan = rowModeOf(m_state);
  if (eSpan == RowMode::Generic || m_clip.m_nX0 >= m_clip.m_nX1 || m_clip.m_nY0 >= m_clip.m_nY1) return false;
  // Corners in order around the quad.
  const ScreenVertex* c[4] = {&pVerts[0], &pVerts[1], &pVerts[bStrip ? 3 : 2], &pVerts[bStrip ? 2 : 3]};
  const ScreenVertex& d = bStrip ? pVerts[3] : pVerts[2];
  double fX0 = m_clip.m_nX0 - kGuard, fX1 = m_clip.m_nX1 + kGuard;
  double fY0 = m_clip.m_nY0 - kGuard, fY1 = m_clip.m_nY1 + kGuard;
  int64_t X[4], Y[4];
  for (int i = 0; i < 4; ++i) {
    const ScreenVertex& v = *c[i];
    if (!isFinite(v) || v.m_nColour != pVerts[0].m_nColour) return false;
    if (v.m_fX < fX0 || v.m_fX > fX1 || v.m_fY < fY0 || v.m_fY > fY1) return false;
    X[i] = snap(v.m_fX);
    Y[i] = snap(v.m_fY);
  }
  if (X[0] + X[2] != X[1] + X[3] || Y[0] + Y[2] != Y[1] + Y[3]) return false;
  if (c[0]->m_fU + c[2]->m_fU != c[1]->m_fU + c[3]->m_fU || c[0]->m_fV + c[2]->m_fV != c[1]->m_fV + c[3]->m_fV)
    return false;
  // The second triangle: (1, 3, 2) of a strip, (0, 2, 3) of a fan.
  bool bCulled = isCulled(pVerts[0], pVerts[1], pVerts[2]);
  if (bCulled != (bStrip ? isCulled(pVerts[1], d, pVerts[2]) : isCulled(pVerts[0], d, pVerts[3]))) return false;
  if (bCulled) return true;
  int64_t nArea = (X[1] - X[0]) * (Y[3] - Y[0]) - (Y[1] - Y[0]) * (X[3] - X[0]);
  if (nArea == 0) return true;
  int aOrder[4] = {0, 1, 2, 3};
  if (nArea < 0) std::swap(aOrder[1], aOrder[3]);
  Edge aEdges[4];
  for (int i = 0; i < 4; ++i)
    aEdges[i] = Edge(X[aOrder[i]], Y[aOrder[i]], X[aOrder[(i + 1) % 4]], Y[aOrder[(i + 1) % 4]]);
  int64_t nPx0 = std::max<int64_t>(m_clip.m_nX0, ceilDiv(std::min({X[0], X[1], X[2], X[3]}), kSub));
  int64_t nPx1 = std::min<int64_t>(m_clip.m_nX1 - 1, floorDiv(std::max({X[0], X[1], X[2], X[3]}), kSub));
  int64_t nPy0 = std::max<int64_t>(m_clip.m_nY0, ceilDiv(std::min({Y[0], Y[1], Y[2], Y[3]}), kSub));
  int64_t nPy1 = std::min<int64_t>(m_clip.m_nY1 - 1, floorDiv(std::max({Y[0], Y[1], Y[2], Y[3]}), kSub));
  if (nPx0 > nPx1 || nPy0 > nPy1) return true;

  // The first triangle's texture plane, as rasterTriangle makes it.
  const ScreenVertex* v[3] = {&pVerts[0], &pVerts[1], &pVerts[2]};
  int64_t aTriX[3] = {X[0], X[1], bStrip ? X[3] : X[2]}, aTriY[3] = {Y[0], Y[1], bStrip ? Y[3] : Y[2]};
  PlaneBasis basis(aTriX, aTriY);
  double fTw = m_bHasTexture ? m_texture.m_nWidth : 1.0, fTh = m_bHasTexture ? m_texture.m_nHeight : 1.0;
  double s0 = v[0]->m_fU * fTw, t0 = v[0]->m_fV * fTh;
  double dsdx, dsdy, dtdx, dtdy;
  basis.plane(s0, v[1]->m_fU * fTw, v[2]->m_fU * fTw, dsdx, dsdy);
  basis.plane(t0, v[1]->m_fV * fTh, v[2]->m_fV * fTh, dtdx, dtdy);
  bool bMinify = std::fabs(dsdx * dtdy - dsdy * dtdx) > 1.0 + 1e-9;
  bool bLinear = bMinify ? m_state.m_bLinearMin : m_state.m_bLinearMag;

  int64_t nStepS = toStep(std::clamp(dsdx, -1.0e6, 1.0e6)), nStepT = toStep(std::clamp(dtdx, -1.0e6, 1.0e6));
  bool bStencil = m_state.m_bStencil && m_bHasStencil;
  bool bTests = m_state.m_bAlphaTest || bStencil;
  if (eSpan == RowMode::Skip && !bTests) return true;
  bool bTrim = canTrimClearEnds(static_cast<int>(eSpan), bTests);
  TexturePlane plane = {s0, t0, dsdx, dsdy, dtdx, dtdy, basis.m_fX0, basis.m_fY0};
  // Upright and drawn scaled: s depends on x alone and t on y alone, every row is one span
  // at the same s.
  bool bUpright = (Y[0] == Y[1] && X[1] == X[2] && Y[2] == Y[3] && X[3] == X[0]) ||
                  (X[0] == X[1] && Y[1] == Y[2] && X[2] == X[3] && Y[3] == Y[0]);
  if (bUpright && !bTests && bLinear && m_bHasTexture && dsdy == 0.0 && dtdx == 0.0) {
    // The edges' top-left rule: left and top sides inside, right and bottom ones outside.
    ClipRect rect = {static_cast<int>(nPx0), static_cast<int>(nPy0),
                     static_cast<int>(std::min(nPx1, floorDiv(std::max({X[0], X[1], X[2], X[3]}) - 1, kSub)) + 1),
                     static_cast<int>(std::min(nPy1, floorDiv(std::max({Y[0], Y[1], Y[2], Y[3]}) - 1, kSub)) + 1)};
    // An opaque source drawn over is a copy (see shadeRow).
    bool bOpaque = !m_texture.m_bAlpha && (pVerts[0].m_nColour & kOpaque) == kOpaque;
    if (drawScaledRows(m_target, m_texture, eSpan == RowMode::Over && bOpaque ? RowMode::Copy : eSpan,
                       pVerts[0].m_nColour, rect, plane, nStepS, bTrim ? m_texture.m_pLive : nullptr))
      return true;
  }
  ClearEndBounds trim = bTrim ? clearEndBounds(bLinear) : ClearEndBounds();
  TrimOnS trimOnS;
  TrimOnS* pTrimOnS = test::isRowReuseEnabled() ? &trimOnS : nullptr;
  // Rows are set up a batch at a time before any is drawn: each row's texture start is a
  // long chain of dependent float steps, and chains of rows that do not wait for one
  // another's spans overlap.
  RowSetup rows(aEdges, plane, nPx0, nPx1, nPy0, nPy1);
  RowSpan aRows[kRowBatch];
  while (!rows.isDone()) {
    int nRows = rows.next(aRows);
    for (int i = 0; i < nRows; ++i) {
      RowSpan& row = aRows[i];
      if (bTrim) {
        int64_t nCut = trimClearEnds(trim, pTrimOnS, row.m_nS, row.m_nT, nStepS, nStepT, row.m_nLo, row.m_nHi);
        if (row.m_nLo > row.m_nHi) continue;
        row.m_nS += nCut * nStepS;
        row.m_nT += nCut * nStepT;
      }
      DWORD* pDst = m_target.m_pPixels + row.m_nY * m_target.m_nPitch;
      BYTE* pStencilRow = bStencil ? m_stencil.m_pValues + row.m_nY * m_stencil.m_nPitch + row.m_nLo : nullptr;
      drawSpan(eSpan, pDst + row.m_nLo, pStencilRow, bTests, m_bHasTexture ? &m_texture : nullptr, bLinear, row.m_nS,
               row.m_nT, nStepS, nStepT, static_cast<int>(row.m_nHi - row.m_nLo + 1), pVerts[0].m_nColour, m_state);
    }
  }
  return true;
}

bool Rasterizer::tryFastQuad(const ScreenVertex* pVerts, bool bStrip) {
  if (!test::isFastPathEnabled()) return false;
  DWORD nDiffuse = pVerts[0].m_nColour;
  int64_t X[4], Y[4];
  for (int i = 0; i < 4; ++i) {
    if (!isFinite(pVerts[i]) || pVerts[i].m_nColour != nDiffuse) return false;
    if (std::fabs(pVerts[i].m_fX) > 1.0e7 || std::fabs(pVerts[i].m_fY) > 1.0e7) return false;
    X[i] = snap(pVerts[i].m_fX);
    Y[i] = snap(pVerts[i].m_fY);
  }
  // An axis-aligned rectangle split along a diagonal: the vertex opposite the first one
  // is the last of a strip or the third of a fan; the other two sit on the other corners.
  int nOpp = bStrip ? 3 : 2;
  int nB = 1, nC = bStrip ? 2 : 3;
  if (X[0] == X[nOpp] || Y[0] == Y[nOpp]) return false;
  bool bCorners = (X[nB] == X[0] && Y[nB] == Y[nOpp] && X[nC] == X[nOpp] && Y[nC] == Y[0]) ||
                  (X[nB] == X[nOpp] && Y[nB] == Y[0] && X[nC] == X[0] && Y[nC] == Y[nOpp]);
  if (!bCorners) return false;
  // Both halves of such a quad wind the same way, so one test covers the culling.
  if (isCulled(pVerts[0], pVerts[1], pVerts[2])) return false;

  int64_t nMinX = std::min(X[0], X[nOpp]), nMaxX = std::max(X[0], X[nOpp]);
  int64_t nMinY = std::min(Y[0], Y[nOpp]), nMaxY = std::max(Y[0], Y[nOpp]);
  // Left and top edges are inside, right and bottom outside (top-left rule).
  int64_t nX0 = std::max<int64_t>(m_clip.m_nX0, ceilDiv(nMinX, kSub));
  int64_t nX1 = std::min<int64_t>(m_clip.m_nX1 - 1, floorDiv(nMaxX - 1, kSub));
  int64_t nY0 = std::max<int64_t>(m_clip.m_nY0, ceilDiv(nMinY, kSub));
  int64_t nY1 = std::min<int64_t>(m_clip.m_nY1 - 1, floorDiv(nMaxY - 1, kSub));
  if (nX0 > nX1 || nY0 > nY1) return true;

  int nTexX = 0, nTexY = 0;
  bool bBackwardsX = false, bBackwardsY = false;
  if (m_bHasTexture) {
    // u may depend on x only and v on y only, one texel per pixel, texel centres on
    // pixel centres, and no clamping inside the drawn range.
    int iMinX = X[0] == nMinX ? 0 : nOpp, iMaxX = iMinX == 0 ? nOpp : 0;
    int iMinY = Y[0] == nMinY ? 0 : nOpp, iMaxY = iMinY == 0 ? nOpp : 0;
    for (int i = 0; i < 4; ++i) {
      if (pVerts[i].m_fU != pVerts[X[i] == nMinX ? iMinX : iMaxX].m_fU) return false;
      if (pVerts[i].m_fV != pVerts[Y[i] == nMinY ? iMinY : iMaxY].m_fV) return false;
    }
    // One texel per pixel either way along an axis: a sprite mirrored on it (a scale of
    // -1) reads its texels from the other end. nOut: the texel of the first pixel.
    auto align = [](double fLo, double fHi, int64_t nFixLo, int64_t nFixHi, int64_t nFirst, int64_t nCount,
                    int nSize, int& nOut, bool& bBackwards) {
      double fSlope = (fHi - fLo) * nSize / ((nFixHi - nFixLo) / 256.0);
      bBackwards = fSlope < 0.0;
      if (std::fabs(std::fabs(fSlope) - 1.0) * static_cast<double>(nCount) > 5e-4) return false;
      double fFirst = fLo * nSize + (static_cast<double>(nFirst) - nFixLo / 256.0) * fSlope - 0.5;
      double fIndex = std::round(fFirst);
      double fLowest = bBackwards ? fIndex - static_cast<double>(nCount - 1) : fIndex;
      if (std::fabs(fFirst - fIndex) > 5e-4 || fLowest < 0.0 || fLowest + static_cast<double>(nCount) > nSize)
        return false;
      nOut = static_cast<int>(fIndex);
      return true;
    };
    if (!align(pVerts[iMinX].m_fU, pVerts[iMaxX].m_fU, nMinX, nMaxX, nX0, nX1 - nX0 + 1, m_texture.m_nWidth, nTexX,
               bBackwardsX) ||
        !align(pVerts[iMinY].m_fV, pVerts[iMaxY].m_fV, nMinY, nMaxY, nY0, nY1 - nY0 + 1, m_texture.m_nHeight, nTexY,
               bBackwardsY)) {
      if (bBackwardsX || bBackwardsY) return false;
      ClipRect rect = {static_cast<int>(nX0), static_cast<int>(nY0), static_cast<int>(nX1) + 1,
                       static_cast<int>(nY1) + 1};
      return tryOffsetQuad(pVerts, X, Y, rect, nDiffuse);
    }
  }
  fastRows(static_cast<int>(nX0), static_cast<int>(nY0), static_cast<int>(nX1), static_cast<int>(nY1), nTexX,
           nTexY, nDiffuse, bBackwardsX, bBackwardsY);
  return true;
}

void Rasterizer::fastRows(int nX0, int nY0, int nX1, int nY1, int nTexX, int nTexY, DWORD nDiffuse,
                          bool bBackwardsX, bool bBackwardsY) {
  const PixelState& st = m_state;
  int n = nX1 - nX0 + 1;
  DWORD nTexOr = (m_bHasTexture && !m_texture.m_bAlpha) ? kOpaque : 0;
  bool bStencil = st.m_bStencil && m_bHasStencil;
  RowMode eMode = rowModeOf(st);
  bool bTests = st.m_bAlphaTest || bStencil;
  if (eMode == RowMode::Skip && !bTests) return;
  bool bRuns = m_bHasTexture && m_texture.m_bAlpha && m_texture.m_pRuns != nullptr && test::isAlphaRunPathEnabled();
  bBackwardsX = bBackwardsX && m_bHasTexture;
  RunsKernel pfnRuns = bRuns && !bBackwardsX ? runsKernelOf(eMode, nDiffuse) : nullptr;
  BackwardsRunsKernel pfnBackwardsRuns = bRuns && bBackwardsX ? backwardsRunsKernelOf(eMode, nDiffuse) : nullptr;
  if (bBackwardsX && m_aBackwards.size() < static_cast<size_t>(n)) m_aBackwards.resize(static_cast<size_t>(n));
  for (int y = nY0; y <= nY1; ++y) {
    DWORD* pDst = m_target.m_pPixels + static_cast<std::int64_t>(y) * m_target.m_nPitch + nX0;
    int nRow = bBackwardsY ? nTexY - (y - nY0) : nTexY + (y - nY0);
    const DWORD* pTexRow = m_bHasTexture ? m_texture.m_pTexels + static_cast<std::int64_t>(nRow) * m_texture.m_nPitch
                                         : nullptr;
    const DWORD* pTex = pTexRow ? pTexRow + nTexX : nullptr;
    BYTE* pStencil = bStencil ? m_stencil.m_pValues + static_cast<std::int64_t>(y) * m_stencil.m_nPitch + nX0 : nullptr;
    if (bBackwardsX && eMode != RowMode::Generic && !bTests) {
      if (pfnBackwardsRuns)
        pfnBackwardsRuns(pDst, pTexRow, m_texture.m_pRuns->rowBegin(nRow), m_texture.m_pRuns->rowEnd(nRow), nTexX, n,
                         nDiffuse);
      else
        shadeRowBackwards(eMode, pDst, pTex, n, nDiffuse, nTexOr, st);
      continue;
    }
    if (bBackwardsX) {  // the tests and the generic blend go pixel by pixel over texels in pixel order
      reverseTexels(pTex, n, m_aBackwards.data());
      pTex = m_aBackwards.data();
    }
    if (eMode != RowMode::Generic) {
      if (bTests) {
        testedRow(eMode, pDst, pStencil, pTex, n, nDiffuse, nTexOr, st);
      } else if (pfnRuns) {
        pfnRuns(pDst, pTex, m_texture.m_pRuns->rowBegin(nRow), m_texture.m_pRuns->rowEnd(nRow), nTexX, n, nDiffuse);
      } else {
        shadeRow(eMode, pDst, pTex, n, nDiffuse, nTexOr, st);
      }
      continue;
    }
    for (int i = 0; i < n; ++i) {
      DWORD nTexel = pTex ? (pTex[i] | nTexOr) : 0xFFFFFFFFu;
      shadePixel(pDst + i, pStencil ? pStencil + i : nullptr, combine(nTexel, nDiffuse, st.m_eColour, st.m_eAlpha),
                 st);
    }
  }
}

// The triangle path on such a quad: each triangle's plane gives s = c + x exactly (c the
// offset below, the same at every vertex), so its steps are whole texels and every pixel
// samples at the same sub-texel weights. Anything less exact is left to the triangles.
namespace {
// c * 2^24 for one axis, where c = texel coordinate - pixel coordinate at every vertex,
// exactly; false when it differs between vertices or is not a whole number of steps.
bool unitOffset(const ScreenVertex* pVerts, const int64_t* aFix, bool bU, int nSize, int64_t& nOut) {
  auto texel = [&](int i) { return (bU ? pVerts[i].m_fU : pVerts[i].m_fV) * static_cast<double>(nSize); };
  double fOffset = texel(0) - static_cast<double>(aFix[0]) / 256.0;
  if (!(std::fabs(fOffset) < 67108864.0)) return false;  // 2^26: sums below stay exact
  double fSteps = fOffset * static_cast<double>(1 << kStepBits);
  if (fSteps != std::floor(fSteps)) return false;
  for (int i = 1; i < 4; ++i)
    if (texel(i) != fOffset + static_cast<double>(aFix[i]) / 256.0) return false;
  nOut = static_cast<int64_t>(fSteps);
  return true;
}
}  // namespace

bool Rasterizer::tryOffsetQuad(const ScreenVertex* pVerts, const int64_t* X, const int64_t* Y, const ClipRect& rect,
                               DWORD nDiffuse) {
  // Past the guard band the triangle path cuts the quad, and the cut vertices' planes
  // are no longer exact.
  for (int i = 0; i < 4; ++i) {
    if (pVerts[i].m_fX < m_clip.m_nX0 - kGuard || pVerts[i].m_fX > m_clip.m_nX1 + kGuard ||
        pVerts[i].m_fY < m_clip.m_nY0 - kGuard || pVerts[i].m_fY > m_clip.m_nY1 + kGuard)
      return false;
  }
  int64_t nOffsetS = 0, nOffsetT = 0;
  if (!unitOffset(pVerts, X, true, m_texture.m_nWidth, nOffsetS) ||
      !unitOffset(pVerts, Y, false, m_texture.m_nHeight, nOffsetT))
    return false;
  // Sample positions of pixel (0, 0) in 1/256 texel; pixel (x, y) adds 256 x and 256 y.
  int64_t nS = stepTo256(nOffsetS), nT = stepTo256(nOffsetT);
  if (!m_state.m_bLinearMag) {
    // Nearest texels: whole texels off the grid, drawn as rows where no texel clamps.
    int64_t nTexX = (nS >> 8) + rect.m_nX0, nTexY = (nT >> 8) + rect.m_nY0;
    if (nTexX < 0 || nTexY < 0 || nTexX + (rect.m_nX1 - rect.m_nX0) > m_texture.m_nWidth ||
        nTexY + (rect.m_nY1 - rect.m_nY0) > m_texture.m_nHeight)
      return false;
    fastRows(rect.m_nX0, rect.m_nY0, rect.m_nX1 - 1, rect.m_nY1 - 1, static_cast<int>(nTexX), static_cast<int>(nTexY),
             nDiffuse);
    return true;
  }
  offsetRows(rect, nS - 128, nT - 128, nDiffuse);
  return true;
}

void Rasterizer::offsetRows(const ClipRect& rect, int64_t nS, int64_t nT, DWORD nDiffuse) {
  const PixelState& st = m_state;
  int n = rect.m_nX1 - rect.m_nX0;
  DWORD nTexOr = m_texture.m_bAlpha ? 0 : kOpaque;
  bool bStencil = st.m_bStencil && m_bHasStencil;
  RowMode eMode = rowModeOf(st);
  bool bTests = st.m_bAlphaTest || bStencil;
  if (eMode == RowMode::Skip && !bTests) return;
  bool bRuns = m_texture.m_bAlpha && m_texture.m_pRuns != nullptr && test::isAlphaRunPathEnabled() && !bTests &&
               (eMode == RowMode::Over || eMode == RowMode::Add);
  int64_t nFirst = nS + static_cast<int64_t>(rect.m_nX0) * 256;
  int x = static_cast<int>(nFirst >> 8), nWx = static_cast<int>(nFirst & 255);
  // Whole rows at a time where the texture's copied border holds every texel they read.
  if (!bTests && n >= 8 && m_texture.m_pfnBordered && test::isBorderedTexturesEnabled()) {
    const BorderedTexels* pBordered = m_texture.m_pfnBordered(m_texture.m_pBorderedOwner);
    DWORD* pDst = m_target.m_pPixels + static_cast<int64_t>(rect.m_nY0) * m_target.m_nPitch + rect.m_nX0;
    int64_t y = (nT + static_cast<int64_t>(rect.m_nY0) * 256) >> 8;
    if (pBordered && fixedRowsBordered(eMode, pDst, m_target.m_nPitch, pBordered->m_pTexels, m_texture.m_nWidth,
                                   m_texture.m_nHeight, x, y, nWx, static_cast<int>(nT & 255), n,
                                   rect.m_nY1 - rect.m_nY0, nDiffuse, nTexOr))
      return;
  }
  for (int py = rect.m_nY0; py < rect.m_nY1; ++py) {
    int64_t nRow = nT + static_cast<int64_t>(py) * 256;
    int64_t y = nRow >> 8;
    int yTop = static_cast<int>(std::clamp<int64_t>(y, 0, m_texture.m_nHeight - 1));
    int yBottom = static_cast<int>(std::clamp<int64_t>(y + 1, 0, m_texture.m_nHeight - 1));
    FixedRow row = {m_texture.m_pTexels + static_cast<int64_t>(yTop) * m_texture.m_nPitch,
                    m_texture.m_pTexels + static_cast<int64_t>(yBottom) * m_texture.m_nPitch,
                    m_texture.m_nWidth,
                    x,
                    nWx,
                    static_cast<int>(nRow & 255)};
    DWORD* pDst = m_target.m_pPixels + static_cast<int64_t>(py) * m_target.m_nPitch + rect.m_nX0;
    if (bRuns) {
      const AlphaRuns& runs = *m_texture.m_pRuns;
      shadeFixedRuns(eMode, row, runs.rowBegin(yTop), runs.rowEnd(yTop), runs.rowBegin(yBottom), runs.rowEnd(yBottom),
                     pDst, n, nDiffuse, st);
      continue;
    }
    BYTE* pStencil = bStencil ? m_stencil.m_pValues + static_cast<int64_t>(py) * m_stencil.m_nPitch + rect.m_nX0 : nullptr;
    shadeFixed(eMode, row, pDst, pStencil, bTests, 0, n, nDiffuse, nTexOr, st);
  }
}

}  // namespace dx7::raster
