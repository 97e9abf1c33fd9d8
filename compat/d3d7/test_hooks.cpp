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
  std::vector<Call> m_aCalls;
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
  detail::g_switches = detail::Switches();
  s.m_aCalls.clear();
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

void startRecording() { detail::g_switches.m_bRecording = true; }
void stopRecording() { detail::g_switches.m_bRecording = false; }
const std::vector<Call>& recordedCalls() { return state().m_aCalls; }
void clearRecording() { state().m_aCalls.clear(); }

int countCalls(CallKind eKind) {
  int n = 0;
  for (const Call& call : state().m_aCalls)
    if (call.m_eKind == eKind) ++n;
  return n;
}

void setFastPathEnabled(bool bEnabled) { detail::g_switches.m_bFastPath = bEnabled; }
void setSpanPathEnabled(bool bEnabled) { detail::g_switches.m_bSpanPath = bEnabled; }
void setAlphaRunPathEnabled(bool bEnabled) { detail::g_switches.m_bAlphaRunPath = bEnabled; }
void setVectorSamplerEnabled(bool bEnabled) { detail::g_switches.m_bVectorSampler = bEnabled; }
void setBorderedTexturesEnabled(bool bEnabled) { detail::g_switches.m_bBorderedTextures = bEnabled; }
void setParallelogramSpansEnabled(bool bEnabled) { detail::g_switches.m_bParallelogramSpans = bEnabled; }
void setTrimShortcutEnabled(bool bEnabled) { detail::g_switches.m_bTrimShortcut = bEnabled; }
void setWideVectorsEnabled(bool bEnabled) { detail::g_switches.m_bWideVectors = bEnabled; }
void setRowSamplerEnabled(bool bEnabled) { detail::g_switches.m_bRowSampler = bEnabled; }
void setRowBatchesEnabled(bool bEnabled) { detail::g_switches.m_bRowBatches = bEnabled; }
void setQuadRunsEnabled(bool bEnabled) { detail::g_switches.m_bQuadRuns = bEnabled; }
void setRowReuseEnabled(bool bEnabled) { detail::g_switches.m_bRowReuse = bEnabled; }
void setScaleShortcutEnabled(bool bEnabled) { detail::g_switches.m_bScaleShortcut = bEnabled; }
void setSharedScreenEnabled(bool bEnabled) { detail::g_switches.m_bSharedScreen = bEnabled; }
void setScaledRowsEnabled(bool bEnabled) { detail::g_switches.m_bScaledRows = bEnabled; }

namespace detail {

// Constant-initialised: in force before any constructor of the program runs.
Switches g_switches;

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

void appendCall(CallKind eKind, DWORD nA, DWORD nB, DWORD nC) { state().m_aCalls.push_back({eKind, nA, nB, nC}); }

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
