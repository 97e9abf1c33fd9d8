#include "d3d7/test_hooks.h"

#include <array>

#include "d3d7/device.h"
#include "d3d7/surface.h"

namespace dx7::test {
namespace {

struct FaultPlan {
  int m_nSkip = 0;
  int m_nTimes = 0;
};

struct HookState {
  std::array<FaultPlan, static_cast<size_t>(Fault::Count)> m_aFaults;
  int m_nLossEpoch = 0;
  HRESULT m_hrCooperative = DD_OK;
  bool m_bRecording = false;
  std::vector<Call> m_aCalls;
  bool m_bFastPath = true;
  bool m_bSpanPath = true;
  bool m_bAlphaRunPath = true;
  bool m_bVectorSampler = true;
  bool m_bWideVectors = true;
  bool m_bRowSampler = true;
  bool m_bRowBatches = true;
  bool m_bBorderedTextures = true;
  bool m_bParallelogramSpans = true;
  bool m_bTrimShortcut = true;
  bool m_bQuadRuns = true;
  bool m_bRowReuse = true;
  bool m_bScaleShortcut = true;
  bool m_bSharedScreen = true;
  bool m_bScaledRows = true;
  int m_nObjects = 0;
  int m_nTextures = 0;
  int m_nTextureWork = 0;
};

HookState& state() {
  static HookState s_state;
  return s_state;
}

}  // namespace

void failNext(Fault eFault, int nTimes, int nSkip) {
  FaultPlan& plan = state().m_aFaults[static_cast<size_t>(eFault)];
  plan.m_nSkip = nSkip;
  plan.m_nTimes = nTimes;
}

void loseDevice(HRESULT hrCooperative) {
  ++state().m_nLossEpoch;
  state().m_hrCooperative = hrCooperative;
}

void regainDevice() { state().m_hrCooperative = DD_OK; }

void reset() {
  HookState& s = state();
  s.m_aFaults = {};
  s.m_hrCooperative = DD_OK;
  s.m_bRecording = false;
  s.m_aCalls.clear();
  s.m_bFastPath = true;
  s.m_bSpanPath = true;
  s.m_bAlphaRunPath = true;
  s.m_bVectorSampler = true;
  s.m_bWideVectors = true;
  s.m_bRowSampler = true;
  s.m_bRowBatches = true;
  s.m_bBorderedTextures = true;
  s.m_bParallelogramSpans = true;
  s.m_bTrimShortcut = true;
  s.m_bQuadRuns = true;
  s.m_bRowReuse = true;
  s.m_bScaleShortcut = true;
  s.m_bSharedScreen = true;
  s.m_bScaledRows = true;
}

bool readFrame(Frame& out) {
  IDirect3DDevice7* pDevice = IDirect3DDevice7::current();
  return pDevice != nullptr && readSurface(pDevice->renderTarget(), out);
}

bool readStencil(StencilFrame& out) {
  IDirect3DDevice7* pDevice = IDirect3DDevice7::current();
  IDirectDrawSurface7* pDepth = pDevice ? pDevice->renderTarget()->attachedDepth() : nullptr;
  if (pDepth == nullptr || !pDepth->hasStencil()) return false;
  out.m_nWidth = pDepth->width();
  out.m_nHeight = pDepth->height();
  out.m_aValues = pDepth->stencilValues();
  return true;
}

bool readSurface(IDirectDrawSurface7* pSurface, Frame& out) {
  if (pSurface == nullptr || !pSurface->hasPixels()) return false;
  out.m_nWidth = pSurface->width();
  out.m_nHeight = pSurface->height();
  const DWORD* pPixels = pSurface->currentPixels();
  out.m_aPixels.assign(pPixels, pPixels + static_cast<size_t>(out.m_nWidth) * out.m_nHeight);
  if (!pSurface->hasAlpha())
    for (DWORD& n : out.m_aPixels) n |= 0xFF000000u;
  return true;
}

int liveTextureCount() { return state().m_nTextures; }
int liveObjectCount() { return state().m_nObjects; }
int textureWorkCount() { return state().m_nTextureWork; }

void startRecording() { state().m_bRecording = true; }
void stopRecording() { state().m_bRecording = false; }
const std::vector<Call>& recordedCalls() { return state().m_aCalls; }
void clearRecording() { state().m_aCalls.clear(); }

int countCalls(CallKind eKind) {
  int n = 0;
  for (const Call& call : state().m_aCalls)
    if (call.m_eKind == eKind) ++n;
  return n;
}

void setFastPathEnabled(bool bEnabled) { state().m_bFastPath = bEnabled; }
bool isFastPathEnabled() { return state().m_bFastPath; }
void setSpanPathEnabled(bool bEnabled) { state().m_bSpanPath = bEnabled; }
bool isSpanPathEnabled() { return state().m_bSpanPath; }
void setAlphaRunPathEnabled(bool bEnabled) { state().m_bAlphaRunPath = bEnabled; }
bool isAlphaRunPathEnabled() { return state().m_bAlphaRunPath; }
void setVectorSamplerEnabled(bool bEnabled) { state().m_bVectorSampler = bEnabled; }
void setBorderedTexturesEnabled(bool bEnabled) { state().m_bBorderedTextures = bEnabled; }
bool isBorderedTexturesEnabled() { return state().m_bBorderedTextures; }
void setParallelogramSpansEnabled(bool bEnabled) { state().m_bParallelogramSpans = bEnabled; }
bool isParallelogramSpansEnabled() { return state().m_bParallelogramSpans; }
void setTrimShortcutEnabled(bool bEnabled) { state().m_bTrimShortcut = bEnabled; }
bool isTrimShortcutEnabled() { return state().m_bTrimShortcut; }
bool isVectorSamplerEnabled() { return state().m_bVectorSampler; }
void setWideVectorsEnabled(bool bEnabled) { state().m_bWideVectors = bEnabled; }
bool isWideVectorsEnabled() { return state().m_bWideVectors; }
void setRowSamplerEnabled(bool bEnabled) { state().m_bRowSampler = bEnabled; }
bool isRowSamplerEnabled() { return state().m_bRowSampler; }
void setRowBatchesEnabled(bool bEnabled) { state().m_bRowBatches = bEnabled; }
bool isRowBatchesEnabled() { return state().m_bRowBatches; }
void setQuadRunsEnabled(bool bEnabled) { state().m_bQuadRuns = bEnabled; }
bool isQuadRunsEnabled() { return state().m_bQuadRuns; }
void setRowReuseEnabled(bool bEnabled) { state().m_bRowReuse = bEnabled; }
bool isRowReuseEnabled() { return state().m_bRowReuse; }
void setScaleShortcutEnabled(bool bEnabled) { state().m_bScaleShortcut = bEnabled; }
bool isScaleShortcutEnabled() { return state().m_bScaleShortcut; }
void setSharedScreenEnabled(bool bEnabled) { state().m_bSharedScreen = bEnabled; }
bool isSharedScreenEnabled() { return state().m_bSharedScreen; }
void setScaledRowsEnabled(bool bEnabled) { state().m_bScaledRows = bEnabled; }
bool isScaledRowsEnabled() { return state().m_bScaledRows; }

namespace detail {

bool shouldFail(Fault eFault) {
  FaultPlan& plan = state().m_aFaults[static_cast<size_t>(eFault)];
  if (plan.m_nTimes <= 0) return false;
  if (plan.m_nSkip > 0) {
    --plan.m_nSkip;
    return false;
  }
  --plan.m_nTimes;
  return true;
}

void record(CallKind eKind, DWORD nA, DWORD nB, DWORD nC) {
  if (state().m_bRecording) state().m_aCalls.push_back({eKind, nA, nB, nC});
}

bool isRecording() { return state().m_bRecording; }
void objectCreated() { ++state().m_nObjects; }
void objectDestroyed() { --state().m_nObjects; }
void textureCreated() {
  ++state().m_nTextures;
  ++state().m_nTextureWork;
}
void textureCacheBuilt() { ++state().m_nTextureWork; }
void textureDestroyed() { --state().m_nTextures; }
int lossEpoch() { return state().m_nLossEpoch; }

HRESULT cooperativeResult(int nEpoch) { return nEpoch < state().m_nLossEpoch ? state().m_hrCooperative : DD_OK; }

}  // namespace detail
}  // namespace dx7::test
