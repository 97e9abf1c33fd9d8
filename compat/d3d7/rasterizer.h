// The software rasterizer behind IDirect3DDevice7. Works on screen-space vertices
// (pixel units, pixel centres at integer coordinates) and 32-bit ARGB memory.
//
// Coverage: vertices are snapped to 1/256 pixel and edges are evaluated with 64-bit
// integers under the top-left rule, so triangles sharing an edge never both write a
// pixel. Geometry reaching far outside the clip rectangle is first clipped to a guard
// band, which keeps every edge product in range whatever the input coordinates.
//
// Two paths: axis-aligned, unscaled quads are drawn as straight rows (SSE2 where
// available), texel-aligned ones copying texels (mirrored ones reading their rows
// backwards) and those between texels blending two texture rows at weights fixed for
// the whole quad; everything else goes through the
// triangle path. All use the same per-pixel arithmetic, so they produce identical
// pixels. Upright sprites whose textures have long clear or opaque runs skip or copy
// them (AlphaRuns); where the processor has AVX2 the row kernels and the bilinear
// samplers take eight and four pixels at a time, chosen when the program runs, with the
// same arithmetic (spans along one texture row weigh its columns once for all samples).
// Upright quads drawn scaled work out their texel columns and weights once for all their
// rows, and each texture row's horizontal pass once for all the pixel rows reading it.
#pragma once

#include <cstdint>
#include <vector>

#include "d3d7/types.h"

namespace dx7::raster {

struct ColourBuffer {
  DWORD* m_pPixels = nullptr;
  int m_nPitch = 0;  // in pixels
  int m_nWidth = 0;
  int m_nHeight = 0;
};

// A texture's rows cut into runs of fully clear, fully opaque and other texels. Made once
// for the texture's contents; upright sprites then skip what they do not cover and copy
// what they hide, blending only their soft edges.
class AlphaRuns {
 public:
  enum Kind : BYTE { Clear, Opaque, Mixed };
  struct Run {
    int m_nEnd;  // one past the run's last texel in the row
    Kind m_eKind;
  };

  void build(const DWORD* pTexels, int nPitch, int nWidth, int nHeight);
  // False when no run is worth walking: every row is one run for the row kernels.
  bool isUseful() const { return m_bUseful; }
  const Run* rowBegin(int y) const { return m_aRuns.data() + m_aRowStart[y]; }
  const Run* rowEnd(int y) const { return m_aRuns.data() + m_aRowStart[y + 1]; }

 private:
  void addRun(size_t nRowFirst, int nEnd, Kind eKind);

  std::vector<int> m_aRowStart;  // height + 1 indexes into m_aRuns
  std::vector<Run> m_aRuns;
  bool m_bUseful = false;
};

struct StencilBuffer {
  BYTE* m_pValues = nullptr;
  int m_nPitch = 0;  // in bytes
};

// A texture's copied border (see TextureView) and the box of its texels that are not
// fully clear, half-open; empty when every texel is clear.
struct BorderedTexels {
  // Texels after the last row that may be read (and whose values are never used), so
  // that eight texels may be loaded from any texel of the border.
  static constexpr int kSlack = 8;
  const DWORD* m_pTexels = nullptr;
  int m_nLiveX0 = 0;
  int m_nLiveY0 = 0;
  int m_nLiveX1 = 0;
  int m_nLiveY1 = 0;
  // New for every copy made, so that nothing worked out from an old copy's texels is
  // taken for this one's; 0: none.
  std::uint64_t m_nId = 0;
};

struct TextureView {
  const DWORD* m_pTexels = nullptr;
  int m_nPitch = 0;  // in texels
  int m_nWidth = 0;
  int m_nHeight = 0;
  bool m_bAlpha = false;  // false: the top byte is ignored and read as 0xFF
  const AlphaRuns* m_pRuns = nullptr;  // null when not known (always for textures without alpha)
  // Asked by the triangle path for the texels inside a copied border ((width + 2)
  // texels a row from texel (-1, -1)), so that no sample reaching a texel past a side
  // is clamped; may answer null. None without a function.
  const BorderedTexels* (*m_pfnBordered)(void* pOwner) = nullptr;
  void* m_pBorderedOwner = nullptr;
  const DWORD* m_pBordered = nullptr;      // what it answered for the quad being drawn
  const BorderedTexels* m_pLive = nullptr;  // with it, where the texture is not clear
};

// Where a stage result comes from after the texture stage's operation is resolved.
enum class Source : BYTE { Modulate, Texture, Diffuse };

struct PixelState {
  Source m_eColour = Source::Modulate;
  Source m_eAlpha = Source::Texture;
  bool m_bBlend = false;
  DWORD m_nSrcBlend = D3DBLEND_ONE;
  DWORD m_nDestBlend = D3DBLEND_ZERO;
  bool m_bAlphaTest = false;
  DWORD m_nAlphaRef = 0;
  DWORD m_nAlphaFunc = D3DCMP_ALWAYS;
  bool m_bStencil = false;
  DWORD m_nStencilFunc = D3DCMP_ALWAYS;
  DWORD m_nStencilRef = 0;
  DWORD m_nStencilMask = 0xFFFFFFFFu;
  DWORD m_nStencilWriteMask = 0xFFFFFFFFu;
  DWORD m_nStencilFail = D3DSTENCILOP_KEEP;
  DWORD m_nStencilPass = D3DSTENCILOP_KEEP;
  bool m_bLinearMag = false;
  bool m_bLinearMin = false;
  DWORD m_nCull = D3DCULL_CCW;
};

struct ScreenVertex {
  double m_fX;
  double m_fY;
  double m_fU;
  double m_fV;
  DWORD m_nColour;
};

// Half-open pixel rectangle.
struct ClipRect {
  int m_nX0;
  int m_nY0;
  int m_nX1;
  int m_nY1;
};

class Rasterizer {
 public:
  void setTarget(const ColourBuffer& target, const StencilBuffer* pStencil);
  void setClip(const ClipRect& clip) { m_clip = clip; }
  void setTexture(const TextureView* pTexture);
  void setState(const PixelState& state) { m_state = state; }

  // A quad given as a 4-vertex strip (bStrip) or fan. Returns true when the fast path
  // drew it, false when it went through the triangle path.
  bool drawQuad(const ScreenVertex* pVerts, bool bStrip);
  // One triangle in the winding the caller gives (culling looks at it).
  void drawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);

 private:
  bool isCulled(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) const;
  bool tryFastQuad(const ScreenVertex* pVerts, bool bStrip);
  // A quad whose texture is drawn at a width surely not its own, inside the clip
  // rectangle: neither upright path (tryFastQuad, tryOffsetQuad) can take it, so scaled
  // sprites and particles skip trying them.
  bool isSurelyScaled(const ScreenVertex* pVerts, bool bStrip) const;
  // An upright, unscaled quad off the texel grid (rect: its pixels); false when it is not
  // drawn exactly as the triangle path would draw it.
  bool tryOffsetQuad(const ScreenVertex* pVerts, const std::int64_t* X, const std::int64_t* Y, const ClipRect& rect,
                     DWORD nDiffuse);
  // Bilinear rows at one sub-texel offset: pixel (x, y) samples at (nS + 256 x, nT + 256 y)
  // in 1/256 texel, less the half texel to the texel centres.
  void offsetRows(const ClipRect& rect, std::int64_t nS, std::int64_t nT, DWORD nDiffuse);
  void clipAndDraw(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
  void rasterTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
  // A flat-coloured parallelogram inside the guard band drawn one span per row; false
  // when the quad is not one (its triangles then draw it).
  bool tryParallelogram(const ScreenVertex* pVerts, bool bStrip);
  // Whether spans under this row mode (the rasterizer's own enum) may drop their clear ends.
  bool canTrimClearEnds(int eSpan, bool bTests) const;
  // Narrows the span [nLo, nHi], whose first sample is at (nS, nT), to the pixels whose
  // samples reach a texel that is not clear; returns how many it cut from the front.
  std::int64_t trimClearEnds(std::int64_t nS, std::int64_t nT, std::int64_t nStepS, std::int64_t nStepT, bool bLinear,
                             std::int64_t& nLo, std::int64_t& nHi) const;
  // The sides of the texture's live box that can cut a span, each as the bound its samples'
  // positions (in steps) must reach; made once for all the rows of a quad.
  struct ClearEndBounds {
    struct Side {
      std::int64_t m_nBound;
      bool m_bAtLeast;  // keeps the samples at or past the bound, else those before it
    };
    Side m_aSides[4];
    int m_nSides = 0;
    int m_nSidesOnS = 0;       // the first ones bound s, the others t
    bool m_bEmpty = false;     // no live texel: every span goes
    bool m_bShortcut = false;  // see test::isTrimShortcutEnabled
  };
  // What the sides on s left of the last span cut (samples [m_iLo, m_iHi]): a span that
  // starts at the same s and is as long (every row of an upright quad) is cut the same.
  struct TrimOnS {
    std::int64_t m_nS = 0, m_nLength = -1, m_iLo = 0, m_iHi = -1;
  };
  ClearEndBounds clearEndBounds(bool bLinear) const;
  static std::int64_t trimClearEnds(const ClearEndBounds& bounds, TrimOnS* pOnS, std::int64_t nS, std::int64_t nT,
                                    std::int64_t nStepS, std::int64_t nStepT, std::int64_t& nLo, std::int64_t& nHi);
  // Narrows the samples [iLo, iHi] to those the sides [kFirst, kEnd) keep.
  static void keepLiveSides(const ClearEndBounds& bounds, int kFirst, int kEnd, std::int64_t nStart,
                            std::int64_t nStep, std::int64_t& iLo, std::int64_t& iHi);
  // Pixels [nX0, nX1] x [nY0, nY1] one texel each, texel (nTexX, nTexY) at the first; a
  // row read backwards (bBackwardsX) or the rows taken upwards (bBackwardsY) draw a
  // mirrored sprite.
  void fastRows(int nX0, int nY0, int nX1, int nY1, int nTexX, int nTexY, DWORD nDiffuse, bool bBackwardsX = false,
                bool bBackwardsY = false);

  ColourBuffer m_target;
  StencilBuffer m_stencil;
  bool m_bHasStencil = false;
  TextureView m_texture;
  bool m_bHasTexture = false;
  PixelState m_state;
  ClipRect m_clip = {0, 0, 0, 0};
  std::vector<DWORD> m_aBackwards;  // a row read backwards, kept for the next one
};

// Exact round(x / 255) for the products the pixel pipeline forms.
inline DWORD div255(DWORD x) { return (x + 127) / 255; }

}  // namespace dx7::raster
