// Test hooks of the software device: read the frame and the stencil back, count live
// objects and textures, record device calls, and make chosen calls fail so that the
// driver's recovery paths can be exercised without real hardware.
#pragma once

#include <vector>

#include "d3d7/types.h"

namespace dx7 {
class IDirectDrawSurface7;
}

namespace dx7::test {

// ---- fault injection --------------------------------------------------------
enum class Fault {
  DirectDrawCreate,  // DirectDrawCreateEx -> DDERR_OUTOFMEMORY
  D3DXInitialize,    // D3DXInitialize -> DDERR_GENERIC
  SetDisplayMode,    // IDirectDraw7::SetDisplayMode -> DDERR_UNSUPPORTED
  CreateSurface,     // IDirectDraw7::CreateSurface -> DDERR_OUTOFVIDEOMEMORY
  CreateTexture,     // D3DXCreateTexture -> D3DXERR_TEXTURECREATEFAILED
  CreateDevice,      // IDirect3D7::CreateDevice -> D3DERR_INVALID_DEVICE
  AttachSurface,     // IDirectDrawSurface7::AddAttachedSurface -> DDERR_CANNOTATTACHSURFACE
  Lock,              // IDirectDrawSurface7::Lock -> DDERR_SURFACEBUSY
  BeginScene,        // IDirect3DDevice7::BeginScene -> DDERR_SURFACELOST
  Flip,              // IDirectDrawSurface7::Flip -> DDERR_WASSTILLDRAWING
  Count
};

// The next nTimes calls of that kind fail, after nSkip calls that succeed.
void failNext(Fault eFault, int nTimes = 1, int nSkip = 0);

// Everything that exists now is lost: DirectDraw objects answer hrCooperative from
// TestCooperativeLevel (until regainDevice) and surfaces report DDERR_SURFACELOST until
// restored. Objects created afterwards are unaffected, as after a real mode change.
void loseDevice(HRESULT hrCooperative = DDERR_WRONGMODE);
void regainDevice();

// Clears faults, the lost state, the recording and the rasterizer switches.
void reset();

// ---- read-back ---------------------------------------------------------------
struct Frame {
  int m_nWidth = 0;
  int m_nHeight = 0;
  std::vector<DWORD> m_aPixels;  // 0xFFRRGGBB, row after row
  DWORD at(int x, int y) const { return m_aPixels[static_cast<size_t>(y) * m_nWidth + x]; }
};
struct StencilFrame {
  int m_nWidth = 0;
  int m_nHeight = 0;
  std::vector<BYTE> m_aValues;
  BYTE at(int x, int y) const { return m_aValues[static_cast<size_t>(y) * m_nWidth + x]; }
};

// The render target / stencil of the most recently created live device; false when
// there is none (or it has no stencil buffer).
bool readFrame(Frame& out);
bool readStencil(StencilFrame& out);
// Any colour surface held in memory (back buffer, off-screen plain surface, texture),
// the window's pixels included where a back buffer draws straight into them.
bool readSurface(IDirectDrawSurface7* pSurface, Frame& out);

int liveTextureCount();
int liveObjectCount();
// Textures made, and caches built for a texture on its later uses (alpha runs, the
// bordered copy), since the program began: the work a picture costs in its first
// drawings, which a frame drawing only pictures it drew before never does.
int textureWorkCount();

// ---- call recording -------------------------------------------------------------
enum class CallKind {
  SetRenderState,        // a = state, b = value
  SetTextureStageState,  // a = stage, b = type, c = value
  SetTexture,            // a = stage, b = 1 when a texture is bound, 0 when none
  SetTransform,          // a = transform type
  SetViewport,           // a = width, b = height
  Clear,                 // a = flags, b = colour, c = stencil
  DrawPrimitive,         // a = primitive type, b = vertex count, c = 1 when the fast path drew it
  BeginScene,
  EndScene,
};
struct Call {
  CallKind m_eKind;
  DWORD m_nA;
  DWORD m_nB;
  DWORD m_nC;
};
void startRecording();
void stopRecording();
const std::vector<Call>& recordedCalls();
void clearRecording();
int countCalls(CallKind eKind);

// ---- rasterizer switches ---------------------------------------------------------
namespace detail {
// What the switches below say, and whether device calls are being recorded. The
// device reads these on every draw call and the rasterizer on every span: plain flags
// read inline, so that a frame pays nothing for hooks no test has touched.
struct Switches {
  bool m_bFastPath = true;
  bool m_bSpanPath = true;
  bool m_bAlphaRunPath = true;
  bool m_bVectorSampler = true;
  bool m_bBorderedTextures = true;
  bool m_bParallelogramSpans = true;
  bool m_bTrimShortcut = true;
  bool m_bWideVectors = true;
  bool m_bRowSampler = true;
  bool m_bRowBatches = true;
  bool m_bQuadRuns = true;
  bool m_bRowReuse = true;
  bool m_bScaleShortcut = true;
  bool m_bSharedScreen = true;
  bool m_bScaledRows = true;
  bool m_bRecording = false;
};
extern Switches g_switches;
}  // namespace detail

// With the fast path off every quad takes the general triangle path; tests use this to
// check that both give the same pixels.
void setFastPathEnabled(bool bEnabled);
inline bool isFastPathEnabled() { return detail::g_switches.m_bFastPath; }
// With the span path off the triangle path shades pixel by pixel; tests compare the two.
void setSpanPathEnabled(bool bEnabled);
inline bool isSpanPathEnabled() { return detail::g_switches.m_bSpanPath; }
// With the alpha-run path off upright quads blend every texel of a row; tests compare.
void setAlphaRunPathEnabled(bool bEnabled);
inline bool isAlphaRunPathEnabled() { return detail::g_switches.m_bAlphaRunPath; }
// With the vector sampler off bilinear spans are filtered one pixel at a time.
void setVectorSamplerEnabled(bool bEnabled);
inline bool isVectorSamplerEnabled() { return detail::g_switches.m_bVectorSampler; }
// With bordered textures off the triangle path clamps every sample that reaches past
// a texture's side instead of reading the copied border.
void setBorderedTexturesEnabled(bool bEnabled);
inline bool isBorderedTexturesEnabled() { return detail::g_switches.m_bBorderedTextures; }
// With parallelogram spans off turned and scaled quads are drawn as two triangles, each
// with its own texture plane.
void setParallelogramSpansEnabled(bool bEnabled);
inline bool isParallelogramSpansEnabled() { return detail::g_switches.m_bParallelogramSpans; }
// With the trim shortcut off every span end is cut to the live texels by division, even
// where its end samples show nothing to cut.
void setTrimShortcutEnabled(bool bEnabled);
inline bool isTrimShortcutEnabled() { return detail::g_switches.m_bTrimShortcut; }
// With wide vectors off row kernels and the bilinear sampler use the SSE2 code even
// where AVX2 is there.
void setWideVectorsEnabled(bool bEnabled);
inline bool isWideVectorsEnabled() { return detail::g_switches.m_bWideVectors; }
// With the row sampler off spans along one texture row (upright scaled quads) filter
// each sample's block like any other span instead of weighting the row's columns once.
void setRowSamplerEnabled(bool bEnabled);
inline bool isRowSamplerEnabled() { return detail::g_switches.m_bRowSampler; }
// With row batches off a flat-coloured triangle sets up each row's span just before
// drawing it instead of a batch of rows ahead.
void setRowBatchesEnabled(bool bEnabled);
inline bool isRowBatchesEnabled() { return detail::g_switches.m_bRowBatches; }
// With quad runs off the game library's Direct3D 7 driver draws each sprite's quads with
// a call of their own instead of handing over runs that share a texture and states.
void setQuadRunsEnabled(bool bEnabled);
inline bool isQuadRunsEnabled() { return detail::g_switches.m_bQuadRuns; }
// With row reuse off every row of a parallelogram works out its first sample and its
// clear ends afresh, even where the row before had the same start and length.
void setRowReuseEnabled(bool bEnabled);
inline bool isRowReuseEnabled() { return detail::g_switches.m_bRowReuse; }
// With the scale shortcut off every textured quad is offered to the upright paths first,
// even one drawn surely wider or narrower than its texels.
void setScaleShortcutEnabled(bool bEnabled);
inline bool isScaleShortcutEnabled() { return detail::g_switches.m_bScaleShortcut; }
// With the shared screen off a back buffer shown in the window keeps pixels of its own,
// copied into SDL's screen surface at every present, instead of being drawn straight
// into the screen surface's pixels where their layouts match (see IDirectDrawSurface7::Blt).
void setSharedScreenEnabled(bool bEnabled);
inline bool isSharedScreenEnabled() { return detail::g_switches.m_bSharedScreen; }
// With scaled rows off upright quads drawn scaled go span by span like turned ones,
// instead of through the kernels that work out their columns once for the whole quad
// and each texture row's horizontal pass once for all the pixel rows that read it.
void setScaledRowsEnabled(bool bEnabled);
inline bool isScaledRowsEnabled() { return detail::g_switches.m_bScaledRows; }

namespace detail {
bool shouldFail(Fault eFault);
void appendCall(CallKind eKind, DWORD nA, DWORD nB, DWORD nC);
inline bool isRecording() { return g_switches.m_bRecording; }
inline void record(CallKind eKind, DWORD nA = 0, DWORD nB = 0, DWORD nC = 0) {
  if (isRecording()) appendCall(eKind, nA, nB, nC);
}
void objectCreated();
void objectDestroyed();
void textureCreated();
void textureDestroyed();
void textureCacheBuilt();
// Loss bookkeeping: objects remember the loss epoch they were made or restored in.
int lossEpoch();
HRESULT cooperativeResult(int nEpoch);
}  // namespace detail

}  // namespace dx7::test
