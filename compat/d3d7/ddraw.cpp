#include "d3d7/ddraw.h"

#include <SDL.h>

#include <cstring>

#include "d3d7/device.h"
#include "d3d7/test_hooks.h"

namespace dx7 {
namespace {

constexpr DWORD kMaxSurfaceSide = 16384;

bool hasSize(const DDSURFACEDESC2& desc) {
  return (desc.dwFlags & DDSD_WIDTH) && (desc.dwFlags & DDSD_HEIGHT) && desc.dwWidth > 0 && desc.dwHeight > 0 &&
         desc.dwWidth <= kMaxSurfaceSide && desc.dwHeight <= kMaxSurfaceSide;
}

}  // namespace

HRESULT IDirectDrawClipper::SetHWnd(DWORD, HWND hWnd) {
  m_hWnd = hWnd;
  return DD_OK;
}

IDirectDraw7::IDirectDraw7() : m_nEpoch(test::detail::lossEpoch()) {}

HRESULT DirectDrawCreateEx(GUID* pGuid, void** ppDD, REFIID riid, IUnknown* pOuter) {
  if (ppDD == nullptr) return DDERR_INVALIDPARAMS;
  *ppDD = nullptr;
  if (pGuid != nullptr || pOuter != nullptr || riid != IID_IDirectDraw7) return DDERR_INVALIDPARAMS;
  if (test::detail::shouldFail(test::Fault::DirectDrawCreate)) return DDERR_OUTOFMEMORY;
  *ppDD = new IDirectDraw7();
  return DD_OK;
}

HRESULT IDirectDraw7::QueryInterface(REFIID riid, void** ppObject) {
  if (ppObject == nullptr) return DDERR_INVALIDPARAMS;
  *ppObject = nullptr;
  if (riid == IID_IDirectDraw7) {
    AddRef();
    *ppObject = this;
    return DD_OK;
  }
  if (riid == IID_IDirect3D7) {
    *ppObject = IDirect3D7::create(this);
    return DD_OK;
  }
  return E_NOINTERFACE;
}

HRESULT IDirectDraw7::SetCooperativeLevel(HWND hWnd, DWORD dwFlags) {
  bool bExclusive = (dwFlags & DDSCL_EXCLUSIVE) != 0;
  if (bExclusive != ((dwFlags & DDSCL_FULLSCREEN) != 0)) return DDERR_INVALIDPARAMS;
  if (!bExclusive && !(dwFlags & DDSCL_NORMAL)) return DDERR_INVALIDPARAMS;
  m_hWnd = hWnd;
  m_bExclusive = bExclusive;
  if (!bExclusive) m_bModeSet = false;
  return DD_OK;
}

HRESULT IDirectDraw7::SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, DWORD, DWORD) {
  if (!m_bExclusive) return DDERR_NOEXCLUSIVEMODE;
  if (dwWidth == 0 || dwHeight == 0 || (dwBpp != 16 && dwBpp != 24 && dwBpp != 32)) return DDERR_INVALIDPARAMS;
  if (test::detail::shouldFail(test::Fault::SetDisplayMode)) return DDERR_UNSUPPORTED;
  m_bModeSet = true;
  m_dwModeWidth = dwWidth;
  m_dwModeHeight = dwHeight;
  m_dwModeBpp = dwBpp;
  SDL_Surface* pScreen = SDL_GetVideoSurface();
  if (pScreen && !(pScreen->flags & SDL_FULLSCREEN)) SDL_WM_ToggleFullScreen(pScreen);  // best effort
  return DD_OK;
}

HRESULT IDirectDraw7::CreateSurface(DDSURFACEDESC2* pDesc, IDirectDrawSurface7** ppSurface, IUnknown* pOuter) {
  if (pDesc == nullptr || ppSurface == nullptr || pOuter != nullptr || !(pDesc->dwFlags & DDSD_CAPS))
    return DDERR_INVALIDPARAMS;
  *ppSurface = nullptr;
  DWORD dwCaps = pDesc->ddsCaps.dwCaps;
  if (dwCaps & DDSCAPS_TEXTURE) return DDERR_UNSUPPORTED;  // textures come from D3DX
  if (test::detail::shouldFail(test::Fault::CreateSurface)) return DDERR_OUTOFVIDEOMEMORY;

  if (dwCaps & DDSCAPS_PRIMARYSURFACE) {
    bool bFlipping = (dwCaps & DDSCAPS_FLIP) != 0;
    if (bFlipping) {
      if (!(dwCaps & DDSCAPS_COMPLEX) || !(pDesc->dwFlags & DDSD_BACKBUFFERCOUNT) || pDesc->dwBackBufferCount != 1)
        return DDERR_INVALIDPARAMS;
      if (!m_bExclusive) return DDERR_NOEXCLUSIVEMODE;
    }
    DDSURFACEDESC2 mode;
    if (FAILED(GetDisplayMode(&mode))) return DDERR_GENERIC;
    *ppSurface = IDirectDrawSurface7::createPrimary(m_nEpoch, static_cast<int>(mode.dwWidth),
                                                    static_cast<int>(mode.dwHeight), bFlipping, dwCaps);
    return DD_OK;
  }
  if (!hasSize(*pDesc)) return DDERR_INVALIDPARAMS;
  int nWidth = static_cast<int>(pDesc->dwWidth), nHeight = static_cast<int>(pDesc->dwHeight);
  if (dwCaps & DDSCAPS_ZBUFFER) {
    const DDPIXELFORMAT& pf = pDesc->ddpfPixelFormat;
    if (!(pDesc->dwFlags & DDSD_PIXELFORMAT) || !(pf.dwFlags & DDPF_ZBUFFER)) return DDERR_INVALIDPARAMS;
    bool bStencil = (pf.dwFlags & DDPF_STENCILBUFFER) != 0;
    if (bStencil ? pf.dwStencilBitDepth != 8 : pf.dwStencilBitDepth != 0) return DDERR_INVALIDPARAMS;
    *ppSurface = IDirectDrawSurface7::createDepth(m_nEpoch, nWidth, nHeight, bStencil);
    return DD_OK;
  }
  if (dwCaps & DDSCAPS_OFFSCREENPLAIN) {
    *ppSurface = IDirectDrawSurface7::createColour(m_nEpoch, nWidth, nHeight, false, dwCaps);
    return DD_OK;
  }
  return DDERR_INVALIDPARAMS;
}

HRESULT IDirectDraw7::CreateClipper(DWORD, IDirectDrawClipper** ppClipper, IUnknown* pOuter) {
  if (ppClipper == nullptr || pOuter != nullptr) return DDERR_INVALIDPARAMS;
  *ppClipper = new IDirectDrawClipper();
  return DD_OK;
}

HRESULT IDirectDraw7::GetDisplayMode(DDSURFACEDESC2* pDesc) {
  if (pDesc == nullptr) return DDERR_INVALIDPARAMS;
  std::memset(pDesc, 0, sizeof(*pDesc));
  pDesc->dwSize = sizeof(*pDesc);
  pDesc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  DDPIXELFORMAT& pf = pDesc->ddpfPixelFormat;
  pf.dwSize = sizeof(pf);
  pf.dwFlags = DDPF_RGB;
  const SDL_PixelFormat* pFormat = nullptr;
  if (SDL_Surface* pScreen = SDL_GetVideoSurface()) {
    pDesc->dwWidth = static_cast<DWORD>(pScreen->w);
    pDesc->dwHeight = static_cast<DWORD>(pScreen->h);
    pFormat = pScreen->format;
  } else if (const SDL_VideoInfo* pInfo = SDL_GetVideoInfo()) {
    pDesc->dwWidth = static_cast<DWORD>(pInfo->current_w);
    pDesc->dwHeight = static_cast<DWORD>(pInfo->current_h);
    pFormat = pInfo->vfmt;
  } else {
    return DDERR_GENERIC;
  }
  pf.dwRGBBitCount = pFormat->BitsPerPixel;
  pf.dwRBitMask = pFormat->Rmask;
  pf.dwGBitMask = pFormat->Gmask;
  pf.dwBBitMask = pFormat->Bmask;
  if (m_bModeSet) {
    pDesc->dwWidth = m_dwModeWidth;
    pDesc->dwHeight = m_dwModeHeight;
    pf.dwRGBBitCount = m_dwModeBpp;
  }
  return DD_OK;
}

HRESULT IDirectDraw7::TestCooperativeLevel() { return test::detail::cooperativeResult(m_nEpoch); }

}  // namespace dx7
