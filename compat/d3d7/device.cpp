#include "d3d7/device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "d3d7/ddraw.h"
#include "d3d7/test_hooks.h"

namespace dx7 {
namespace {

using test::CallKind;
using test::detail::record;

constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr size_t kVertexSize = 24;

std::vector<IDirect3DDevice7*>& liveDevices() {
  static std::vector<IDirect3DDevice7*> s_aDevices;
  return s_aDevices;
}

D3DMATRIX identity() {
  D3DMATRIX m = {};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

bool isCompare(DWORD n) { return n >= D3DCMP_NEVER && n <= D3DCMP_ALWAYS; }
bool isBool(DWORD n) { return n <= 1; }
bool isBlend(DWORD n) {
  return n == D3DBLEND_ZERO || n == D3DBLEND_ONE || n == D3DBLEND_SRCALPHA || n == D3DBLEND_INVSRCALPHA;
}
bool isStencilOp(DWORD n) { return n == D3DSTENCILOP_KEEP || n == D3DSTENCILOP_REPLACE; }
bool isStageOp(DWORD n) { return n == D3DTOP_SELECTARG1 || n == D3DTOP_SELECTARG2 || n == D3DTOP_MODULATE; }
bool isStageArg(DWORD n) { return n == D3DTA_DIFFUSE || n == D3DTA_CURRENT || n == D3DTA_TEXTURE; }

// Row-vector product a x b, in double so chained transforms add no float noise.
void multiply(const double a[4][4], const D3DMATRIX& b, double out[4][4]) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double f = 0.0;
      for (int k = 0; k < 4; ++k) f += a[r][k] * b.m[k][c];
      out[r][c] = f;
    }
}

// a x b without the terms of b's zero entries (listed once in nonZero), for an a of finite
// entries only: each such term is then a signed zero, and adding one to a sum begun at +0
// changes nothing (the sum is never -0), so the result is multiply's to the bit.
void multiplyFinite(const double a[4][4], const D3DMATRIX& b, const NonZeroRows& nonZero, double out[4][4]) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double f = 0.0;
      for (int i = 0; i < nonZero.m_aCount[c]; ++i) {
        int k = nonZero.m_aRows[c][i];
        f += a[r][k] * b.m[k][c];
      }
      out[r][c] = f;
    }
}

bool isIdentity(const D3DMATRIX& m) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (m.m[r][c] != (r == c ? 1.0f : 0.0f)) return false;
  return true;
}

bool isFinite(const D3DMATRIX& m) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (!std::isfinite(m.m[r][c])) return false;
  return true;
}

// Stage 0: DIFFUSE and CURRENT both mean the vertex colour.
HRESULT resolveStage(DWORD dwOp, DWORD dwArg1, DWORD dwArg2, raster::Source& eOut) {
  auto source = [](DWORD dwArg) { return dwArg == D3DTA_TEXTURE ? raster::Source::Texture : raster::Source::Diffuse; };
  if (dwOp == D3DTOP_SELECTARG1) {
    eOut = source(dwArg1);
  } else if (dwOp == D3DTOP_SELECTARG2) {
    eOut = source(dwArg2);
  } else {
    if (source(dwArg1) == source(dwArg2)) return DDERR_UNSUPPORTED;  // only texture x diffuse
    eOut = raster::Source::Modulate;
  }
  return D3D_OK;
}

}  // namespace

// ---- IDirect3D7 ---------------------------------------------------------------------

IDirect3D7* IDirect3D7::create(IDirectDraw7* pDD) { return new IDirect3D7(pDD); }

IDirect3D7::IDirect3D7(IDirectDraw7* pDD) : m_pDD(pDD) { m_pDD->AddRef(); }

IDirect3D7::~IDirect3D7() { m_pDD->Release(); }

HRESULT IDirect3D7::EnumZBufferFormats(REFCLSID riidDevice, LPD3DENUMPIXELFORMATSCALLBACK pCallback, void* pContext) {
  if (pCallback == nullptr || riidDevice != IID_IDirect3DHALDevice) return DDERR_INVALIDPARAMS;
  DDPIXELFORMAT aFormats[2] = {};
  aFormats[0].dwSize = sizeof(DDPIXELFORMAT);
  aFormats[0].dwFlags = DDPF_ZBUFFER;
  aFormats[0].dwZBufferBitDepth = 16;
  aFormats[0].dwZBitMask = 0xFFFFu;
  aFormats[1].dwSize = sizeof(DDPIXELFORMAT);
  aFormats[1].dwFlags = DDPF_ZBUFFER | DDPF_STENCILBUFFER;
  aFormats[1].dwZBufferBitDepth = 32;
  aFormats[1].dwStencilBitDepth = 8;
  aFormats[1].dwZBitMask = 0xFFFFFF00u;
  aFormats[1].dwStencilBitMask = 0xFFu;
  for (DDPIXELFORMAT& format : aFormats)
    if (pCallback(&format, pContext) == D3DENUMRET_CANCEL) break;
  return D3D_OK;
}

HRESULT IDirect3D7::CreateDevice(REFCLSID riid, IDirectDrawSurface7* pTarget, IDirect3DDevice7** ppDevice) {
  if (ppDevice == nullptr) return DDERR_INVALIDPARAMS;
  *ppDevice = nullptr;
  if (riid != IID_IDirect3DHALDevice || pTarget == nullptr || pTarget->kind() != IDirectDrawSurface7::Kind::Colour ||
      !(pTarget->caps() & DDSCAPS_3DDEVICE))
    return DDERR_INVALIDPARAMS;
  if (test::detail::shouldFail(test::Fault::CreateDevice)) return D3DERR_INVALID_DEVICE;
  *ppDevice = new IDirect3DDevice7(pTarget);
  return D3D_OK;
}

// ---- IDirect3DDevice7 -----------------------------------------------------------------

IDirect3DDevice7* IDirect3DDevice7::current() { return liveDevices().empty() ? nullptr : liveDevices().back(); }

IDirect3DDevice7::IDirect3DDevice7(IDirectDrawSurface7* pTarget) : m_pTarget(pTarget) {
  m_pTarget->AddRef();
  m_pDepth = pTarget->attachedDepth();
  if (m_pDepth) m_pDepth->AddRef();
  m_viewport = {0, 0, static_cast<DWORD>(pTarget->width()), static_cast<DWORD>(pTarget->height()), 0.0f, 1.0f};
  for (D3DMATRIX& m : m_aTransforms) m = identity();
  m_projectionNonZero = NonZeroRows(m_aTransforms[2]);
  // Defaults of the hardware device, except addressing (always clamped here).
  std::fill(std::begin(m_aRenderStates), std::end(m_aRenderStates), 0u);
  m_aRenderStates[D3DRENDERSTATE_ZENABLE] = D3DZB_TRUE;
  m_aRenderStates[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = 1;
  m_aRenderStates[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
  m_aRenderStates[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
  m_aRenderStates[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
  m_aRenderStates[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
  m_aRenderStates[D3DRENDERSTATE_STENCILFAIL] = D3DSTENCILOP_KEEP;
  m_aRenderStates[D3DRENDERSTATE_STENCILZFAIL] = D3DSTENCILOP_KEEP;
  m_aRenderStates[D3DRENDERSTATE_STENCILPASS] = D3DSTENCILOP_KEEP;
  m_aRenderStates[D3DRENDERSTATE_STENCILFUNC] = D3DCMP_ALWAYS;
  m_aRenderStates[D3DRENDERSTATE_STENCILMASK] = 0xFFFFFFFFu;
  m_aRenderStates[D3DRENDERSTATE_STENCILWRITEMASK] = 0xFFFFFFFFu;
  m_aRenderStates[D3DRENDERSTATE_LIGHTING] = 1;
  std::fill(std::begin(m_aStageStates), std::end(m_aStageStates), 0u);
  m_aStageStates[D3DTSS_COLOROP] = D3DTOP_MODULATE;
  m_aStageStates[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
  m_aStageStates[D3DTSS_COLORARG2] = D3DTA_CURRENT;
  m_aStageStates[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
  m_aStageStates[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
  m_aStageStates[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
  m_aStageStates[D3DTSS_ADDRESS] = m_aStageStates[D3DTSS_ADDRESSU] = m_aStageStates[D3DTSS_ADDRESSV] =
      D3DTADDRESS_CLAMP;
  m_aStageStates[D3DTSS_MAGFILTER] = D3DTFG_POINT;
  m_aStageStates[D3DTSS_MINFILTER] = D3DTFN_POINT;
  liveDevices().push_back(this);
}

IDirect3DDevice7::~IDirect3DDevice7() {
  auto& aDevices = liveDevices();
  aDevices.erase(std::remove(aDevices.begin(), aDevices.end(), this), aDevices.end());
  if (m_pTexture) m_pTexture->Release();
  if (m_pDepth) m_pDepth->Release();
  m_pTarget->Release();
}

HRESULT IDirect3DDevice7::BeginScene() {
  if (m_bInScene) return D3DERR_SCENE_IN_SCENE;
  if (m_pTarget->isLost() || test::detail::shouldFail(test::Fault::BeginScene)) return DDERR_SURFACELOST;
  m_bInScene = true;
  record(CallKind::BeginScene);
  return D3D_OK;
}

HRESULT IDirect3DDevice7::EndScene() {
  if (!m_bInScene) return D3DERR_SCENE_NOT_IN_SCENE;
  m_bInScene = false;
  record(CallKind::EndScene);
  return D3D_OK;
}

raster::ClipRect IDirect3DDevice7::viewportRect() const {
  return {static_cast<int>(m_viewport.dwX), static_cast<int>(m_viewport.dwY),
          static_cast<int>(m_viewport.dwX + m_viewport.dwWidth), static_cast<int>(m_viewport.dwY + m_viewport.dwHeight)};
}

HRESULT IDirect3DDevice7::Clear(DWORD dwCount, D3DRECT* pRects, DWORD dwFlags, D3DCOLOR dwColor, D3DVALUE,
                                DWORD dwStencil) {
  if ((dwFlags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 || (dwCount > 0 && pRects == nullptr))
    return DDERR_INVALIDPARAMS;
  bool bStencil = (dwFlags & D3DCLEAR_STENCIL) != 0;
  if ((bStencil || (dwFlags & D3DCLEAR_ZBUFFER)) && m_pDepth == nullptr) return D3DERR_STENCILBUFFER_NOTPRESENT;
  record(CallKind::Clear, dwFlags, dwColor, dwStencil);
  raster::ClipRect vp = viewportRect();
  D3DRECT whole = {vp.m_nX0, vp.m_nY0, vp.m_nX1, vp.m_nY1};
  if (dwCount == 0) {
    dwCount = 1;
    pRects = &whole;
  }
  int nPitch = m_pTarget->width();
  DWORD* pPixels = (dwFlags & D3DCLEAR_TARGET) ? m_pTarget->pixelData() : nullptr;
  for (DWORD i = 0; i < dwCount; ++i) {
    int x0 = std::max<int>(pRects[i].x1, vp.m_nX0), x1 = std::min<int>(pRects[i].x2, vp.m_nX1);
    int y0 = std::max<int>(pRects[i].y1, vp.m_nY0), y1 = std::min<int>(pRects[i].y2, vp.m_nY1);
    for (int y = y0; y < y1 && x0 < x1; ++y) {
      size_t nRow = static_cast<size_t>(y) * nPitch;
      if (pPixels) std::fill(pPixels + nRow + x0, pPixels + nRow + x1, dwColor | 0xFF000000u);
      if (bStencil && m_pDepth->hasStencil())
        std::fill(m_pDepth->stencilData() + nRow + x0, m_pDepth->stencilData() + nRow + x1,
                  static_cast<BYTE>(dwStencil));
    }
  }
  return D3D_OK;
}

HRESULT IDirect3DDevice7::SetViewport(D3DVIEWPORT7* pViewport) {
  if (pViewport == nullptr || pViewport->dwWidth == 0 || pViewport->dwHeight == 0 ||
      static_cast<uint64_t>(pViewport->dwX) + pViewport->dwWidth > static_cast<uint64_t>(m_pTarget->width()) ||
      static_cast<uint64_t>(pViewport->dwY) + pViewport->dwHeight > static_cast<uint64_t>(m_pTarget->height()))
    return DDERR_INVALIDPARAMS;
  m_viewport = *pViewport;
  record(CallKind::SetViewport, pViewport->dwWidth, pViewport->dwHeight);
  return D3D_OK;
}

HRESULT IDirect3DDevice7::GetViewport(D3DVIEWPORT7* pViewport) {
  if (pViewport == nullptr) return DDERR_INVALIDPARAMS;
  *pViewport = m_viewport;
  return D3D_OK;
}

NonZeroRows::NonZeroRows(const D3DMATRIX& m) {
  for (int c = 0; c < 4; ++c) {
    m_aCount[c] = 0;
    for (int k = 0; k < 4; ++k)
      if (m.m[k][c] != 0.0f) m_aRows[c][m_aCount[c]++] = k;
  }
}

HRESULT IDirect3DDevice7::SetTransform(D3DTRANSFORMSTATETYPE eType, D3DMATRIX* pMatrix) {
  if (pMatrix == nullptr || eType < D3DTRANSFORMSTATE_WORLD || eType > D3DTRANSFORMSTATE_PROJECTION)
    return DDERR_INVALIDPARAMS;
  m_aTransforms[eType - D3DTRANSFORMSTATE_WORLD] = *pMatrix;
  if (eType == D3DTRANSFORMSTATE_WORLD) m_bWorldIdentity = isIdentity(*pMatrix);
  if (eType == D3DTRANSFORMSTATE_PROJECTION) m_projectionNonZero = NonZeroRows(*pMatrix);
  m_bTransformDirty = true;
  record(CallKind::SetTransform, eType);
  return D3D_OK;
}

bool IDirect3DDevice7::isValidRenderState(D3DRENDERSTATETYPE eState, DWORD dwValue) const {
  switch (eState) {
    case D3DRENDERSTATE_ZENABLE:
    case D3DRENDERSTATE_TEXTUREPERSPECTIVE:
    case D3DRENDERSTATE_LIGHTING:
    case D3DRENDERSTATE_ALPHABLENDENABLE:
    case D3DRENDERSTATE_ALPHATESTENABLE:
    case D3DRENDERSTATE_STENCILENABLE: return isBool(dwValue);
    case D3DRENDERSTATE_CULLMODE: return dwValue >= D3DCULL_NONE && dwValue <= D3DCULL_CCW;
    case D3DRENDERSTATE_SRCBLEND:
    case D3DRENDERSTATE_DESTBLEND: return isBlend(dwValue);
    case D3DRENDERSTATE_ALPHAFUNC:
    case D3DRENDERSTATE_STENCILFUNC: return isCompare(dwValue);
    case D3DRENDERSTATE_STENCILFAIL:
    case D3DRENDERSTATE_STENCILZFAIL:
    case D3DRENDERSTATE_STENCILPASS: return isStencilOp(dwValue);
    case D3DRENDERSTATE_ALPHAREF:
    case D3DRENDERSTATE_STENCILREF:
    case D3DRENDERSTATE_STENCILMASK:
    case D3DRENDERSTATE_STENCILWRITEMASK: return true;
    default: return false;
  }
}

HRESULT IDirect3DDevice7::SetRenderState(D3DRENDERSTATETYPE eState, DWORD dwValue) {
  if (!isValidRenderState(eState, dwValue)) return DDERR_INVALIDPARAMS;
  m_aRenderStates[eState] = dwValue;
  record(CallKind::SetRenderState, eState, dwValue);
  return D3D_OK;
}

HRESULT IDirect3DDevice7::SetTextureStageState(DWORD dwStage, D3DTEXTURESTAGESTATETYPE eType, DWORD dwValue) {
  if (dwStage != 0) return DDERR_INVALIDPARAMS;
  bool bValid = false;
  switch (eType) {
    case D3DTSS_COLOROP:
    case D3DTSS_ALPHAOP: bValid = isStageOp(dwValue); break;
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2: bValid = isStageArg(dwValue); break;
    case D3DTSS_ADDRESS:
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV: bValid = dwValue == D3DTADDRESS_CLAMP; break;
    case D3DTSS_MAGFILTER: bValid = dwValue == D3DTFG_POINT || dwValue == D3DTFG_LINEAR; break;
    case D3DTSS_MINFILTER: bValid = dwValue == D3DTFN_POINT || dwValue == D3DTFN_LINEAR; break;
  }
  if (!bValid) return DDERR_INVALIDPARAMS;
  m_aStageStates[eType] = dwValue;
  record(CallKind::SetTextureStageState, dwStage, eType, dwValue);
  return D3D_OK;
}

HRESULT IDirect3DDevice7::SetTexture(DWORD dwStage, IDirectDrawSurface7* pTexture) {
  if (dwStage != 0 || (pTexture && !(pTexture->caps() & DDSCAPS_TEXTURE))) return DDERR_INVALIDPARAMS;
  if (pTexture) pTexture->AddRef();
  if (m_pTexture) m_pTexture->Release();
  m_pTexture = pTexture;
  record(CallKind::SetTexture, dwStage, pTexture ? 1u : 0u);
  return D3D_OK;
}

HRESULT IDirect3DDevice7::preparePixelState(raster::PixelState& st) const {
  const DWORD* rs = m_aRenderStates;
  const DWORD* ts = m_aStageStates;
  HRESULT hr = resolveStage(ts[D3DTSS_COLOROP], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2], st.m_eColour);
  if (SUCCEEDED(hr)) hr = resolveStage(ts[D3DTSS_ALPHAOP], ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2], st.m_eAlpha);
  if (FAILED(hr)) return hr;
  st.m_bBlend = rs[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
  st.m_nSrcBlend = rs[D3DRENDERSTATE_SRCBLEND];
  st.m_nDestBlend = rs[D3DRENDERSTATE_DESTBLEND];
  st.m_bAlphaTest = rs[D3DRENDERSTATE_ALPHATESTENABLE] != 0;
  st.m_nAlphaRef = rs[D3DRENDERSTATE_ALPHAREF];
  st.m_nAlphaFunc = rs[D3DRENDERSTATE_ALPHAFUNC];
  st.m_bStencil = rs[D3DRENDERSTATE_STENCILENABLE] != 0;
  st.m_nStencilFunc = rs[D3DRENDERSTATE_STENCILFUNC];
  st.m_nStencilRef = rs[D3DRENDERSTATE_STENCILREF];
  st.m_nStencilMask = rs[D3DRENDERSTATE_STENCILMASK];
  st.m_nStencilWriteMask = rs[D3DRENDERSTATE_STENCILWRITEMASK];
  st.m_nStencilFail = rs[D3DRENDERSTATE_STENCILFAIL];
  // No depth test: every pixel that passes the stencil test takes the pass operation.
  st.m_nStencilPass = rs[D3DRENDERSTATE_STENCILPASS];
  st.m_bLinearMag = ts[D3DTSS_MAGFILTER] == D3DTFG_LINEAR;
  st.m_bLinearMin = ts[D3DTSS_MINFILTER] == D3DTFN_LINEAR;
  st.m_nCull = rs[D3DRENDERSTATE_CULLMODE];
  return D3D_OK;
}

void IDirect3DDevice7::transform(const BYTE* pVertices, DWORD dwCount, raster::ScreenVertex* pOut) const {
  // Sprites are drawn one quad at a time, mostly under unchanged transforms.
  if (m_bTransformDirty) {
    double aWorld[4][4], aWorldView[4][4];
    const D3DMATRIX& view = m_aTransforms[1];
    if (m_bWorldIdentity && isFinite(view)) {
      // The identity times finite values gives them back (a -0 as +0, which the product
      // after it cannot tell apart); the view is then finite for multiplyFinite.
      for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) aWorldView[r][c] = view.m[r][c];
      multiplyFinite(aWorldView, m_aTransforms[2], m_projectionNonZero, m_aAll);
    } else {
      for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) aWorld[r][c] = m_aTransforms[0].m[r][c];
      multiply(aWorld, view, aWorldView);
      multiply(aWorldView, m_aTransforms[2], m_aAll);
    }
    m_bTransformDirty = false;
  }
  const double(&aAll)[4][4] = m_aAll;
  double fHalfW = m_viewport.dwWidth * 0.5, fHalfH = m_viewport.dwHeight * 0.5;
  for (DWORD i = 0; i < dwCount; ++i) {
    float aIn[6];
    std::memcpy(aIn, pVertices + i * kVertexSize, kVertexSize);
    DWORD dwColour;
    std::memcpy(&dwColour, pVertices + i * kVertexSize + 12, 4);
    double p[4];
    for (int c = 0; c < 4; ++c) p[c] = aIn[0] * aAll[0][c] + aIn[1] * aAll[1][c] + aIn[2] * aAll[2][c] + aAll[3][c];
    raster::ScreenVertex& v = pOut[i];
    if (!(p[3] > 0.0)) {
      v.m_fX = v.m_fY = NAN;  // behind the eye: the rasterizer drops its triangles
    } else if (p[3] == 1.0) {
      // Sprites' transforms are affine: no perspective divide (x / 1 is x exactly).
      v.m_fX = m_viewport.dwX + (1.0 + p[0]) * fHalfW;
      v.m_fY = m_viewport.dwY + (1.0 - p[1]) * fHalfH;
    } else {
      v.m_fX = m_viewport.dwX + (1.0 + p[0] / p[3]) * fHalfW;
      v.m_fY = m_viewport.dwY + (1.0 - p[1] / p[3]) * fHalfH;
    }
    v.m_fU = aIn[4];
    v.m_fV = aIn[5];
    v.m_nColour = dwColour;
  }
}

void IDirect3DDevice7::prepareRasterizer(const raster::PixelState& state, bool bQuads, raster::TextureView& texture) {
  raster::ColourBuffer target{m_pTarget->pixelData(), m_pTarget->width(), m_pTarget->width(), m_pTarget->height()};
  raster::StencilBuffer stencil{m_pDepth && m_pDepth->hasStencil() ? m_pDepth->stencilData() : nullptr,
                                m_pTarget->width()};
  m_rasterizer.setTarget(target, &stencil);
  m_rasterizer.setClip(viewportRect());
  if (m_pTexture) {
    texture = {m_pTexture->texels(), m_pTexture->width(), m_pTexture->width(), m_pTexture->height(),
               m_pTexture->hasAlpha(), bQuads ? m_pTexture->alphaRuns() : nullptr};
    if (bQuads) {
      texture.m_pfnBordered = [](void* pOwner) { return static_cast<IDirectDrawSurface7*>(pOwner)->borderedTexels(); };
      texture.m_pBorderedOwner = m_pTexture;
    }
  }
  m_rasterizer.setTexture(m_pTexture ? &texture : nullptr);
  m_rasterizer.setState(state);
}

HRESULT IDirect3DDevice7::DrawPrimitive(D3DPRIMITIVETYPE eType, DWORD dwVertexFormat, void* pVertices, DWORD dwCount,
                                        DWORD) {
  if (dwVertexFormat != kVertexFormat || (eType != D3DPT_TRIANGLESTRIP && eType != D3DPT_TRIANGLEFAN) ||
      (pVertices == nullptr && dwCount > 0))
    return DDERR_INVALIDPARAMS;
  if (!m_bInScene) return D3DERR_SCENE_NOT_IN_SCENE;
  raster::PixelState state;
  HRESULT hr = preparePixelState(state);
  if (FAILED(hr)) return hr;
  if (dwCount < 3) {
    record(CallKind::DrawPrimitive, eType, dwCount, 0);
    return D3D_OK;
  }
  if (m_aScreen.size() < dwCount) m_aScreen.resize(dwCount);
  raster::ScreenVertex* aVerts = m_aScreen.data();
  transform(static_cast<const BYTE*>(pVertices), dwCount, aVerts);
  raster::TextureView texture;
  prepareRasterizer(state, dwCount == 4, texture);

  bool bStrip = eType == D3DPT_TRIANGLESTRIP;
  bool bFast = false;
  if (dwCount == 4) {
    bFast = m_rasterizer.drawQuad(aVerts, bStrip);
  } else if (bStrip) {
    // Every other strip triangle is walked backwards; swap two vertices to keep the
    // winding the culling test expects.
    for (DWORD i = 0; i + 2 < dwCount; ++i) {
      if (i % 2 == 0)
        m_rasterizer.drawTriangle(aVerts[i], aVerts[i + 1], aVerts[i + 2]);
      else
        m_rasterizer.drawTriangle(aVerts[i + 1], aVerts[i], aVerts[i + 2]);
    }
  } else {
    for (DWORD i = 1; i + 1 < dwCount; ++i) m_rasterizer.drawTriangle(aVerts[0], aVerts[i], aVerts[i + 1]);
  }
  record(CallKind::DrawPrimitive, eType, dwCount, bFast ? 1u : 0u);
  return D3D_OK;
}

HRESULT IDirect3DDevice7::DrawQuadStrips(DWORD dwVertexFormat, const D3DMATRIX* pViews, const void* pVertices,
                                         DWORD dwQuads) {
  if (dwVertexFormat != kVertexFormat || (dwQuads > 0 && (pViews == nullptr || pVertices == nullptr)))
    return DDERR_INVALIDPARAMS;
  if (!m_bInScene) return D3DERR_SCENE_NOT_IN_SCENE;
  raster::PixelState state;
  HRESULT hr = preparePixelState(state);
  if (FAILED(hr) || dwQuads == 0) return hr;
  raster::TextureView texture;
  prepareRasterizer(state, true, texture);
  raster::ScreenVertex aVerts[4];
  bool bRecording = test::detail::isRecording();
  for (DWORD i = 0; i < dwQuads; ++i) {
    m_aTransforms[D3DTRANSFORMSTATE_VIEW - D3DTRANSFORMSTATE_WORLD] = pViews[i];
    m_bTransformDirty = true;
    transform(static_cast<const BYTE*>(pVertices) + i * 4 * kVertexSize, 4, aVerts);
    bool bFast = m_rasterizer.drawQuad(aVerts, true);
    if (bRecording) {
      record(CallKind::SetTransform, D3DTRANSFORMSTATE_VIEW);
      record(CallKind::DrawPrimitive, D3DPT_TRIANGLESTRIP, 4, bFast ? 1u : 0u);
    }
  }
  return D3D_OK;
}

}  // namespace dx7
