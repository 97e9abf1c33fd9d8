#include "d3d7/surface.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "d3d7/ddraw.h"
#include "d3d7/rasterizer.h"
#include "d3d7/test_hooks.h"

namespace dx7 {
namespace {

constexpr DWORD kRedMask = 0x00FF0000u;
constexpr DWORD kGreenMask = 0x0000FF00u;
constexpr DWORD kBlueMask = 0x000000FFu;
constexpr DWORD kAlphaMask = 0xFF000000u;

RECT wholeRect(int nWidth, int nHeight) { return RECT{0, 0, nWidth, nHeight}; }

bool isInside(const RECT& r, int nWidth, int nHeight) {
  return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= nWidth &&
         r.bottom <= nHeight;
}

bool isWhole(const RECT& r, int nWidth, int nHeight) {
  return r.left == 0 && r.top == 0 && r.right == nWidth && r.bottom == nHeight;
}

// Whether SDL keeps the window's pixels as a colour surface of that size keeps its own,
// and lets them be written at any time.
bool hasOurLayout(const SDL_Surface* pScreen, int nWidth, int nHeight) {
  const SDL_PixelFormat* f = pScreen->format;
  return pScreen->pixels != nullptr && !SDL_MUSTLOCK(pScreen) && pScreen->w == nWidth && pScreen->h == nHeight &&
         pScreen->pitch == nWidth * 4 && f->BitsPerPixel == 32 && f->Rmask == kRedMask && f->Gmask == kGreenMask &&
         f->Bmask == kBlueMask && f->Amask == 0;
}

// The surface whose pixels are the SDL window's, if any: one window, one surface.
IDirectDrawSurface7* s_pOnScreen = nullptr;

}  // namespace

IDirectDrawSurface7::IDirectDrawSurface7(Kind eKind, int nDdEpoch, int nWidth, int nHeight, DWORD dwCaps)
    : m_eKind(eKind), m_nDdEpoch(nDdEpoch), m_nEpoch(test::detail::lossEpoch()), m_nWidth(nWidth),
      m_nHeight(nHeight), m_dwCaps(dwCaps) {}

IDirectDrawSurface7::~IDirectDrawSurface7() {
  if (s_pOnScreen == this) s_pOnScreen = nullptr;  // the pixels stay the window's
  if (m_dwCaps & DDSCAPS_TEXTURE) test::detail::textureDestroyed();
  if (m_pDepth) m_pDepth->Release();
  if (m_pClipper) m_pClipper->Release();
  delete m_pBackBuffer;
}

IDirectDrawSurface7* IDirectDrawSurface7::createPrimary(int nDdEpoch, int nWidth, int nHeight, bool bFlipping,
                                                        DWORD dwCaps) {
  auto* pPrimary = new IDirectDrawSurface7(Kind::Primary, nDdEpoch, nWidth, nHeight,
                                           dwCaps | DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER);
  if (bFlipping) {
    DWORD dwBackCaps = DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | (dwCaps & DDSCAPS_3DDEVICE);
    pPrimary->m_pBackBuffer = createColour(nDdEpoch, nWidth, nHeight, false, dwBackCaps);
    pPrimary->m_pBackBuffer->m_pOwner = pPrimary;
    pPrimary->m_pBackBuffer->m_nImplicitRefs = 0;
  }
  return pPrimary;
}

IDirectDrawSurface7* IDirectDrawSurface7::createColour(int nDdEpoch, int nWidth, int nHeight, bool bAlpha,
                                                       DWORD dwCaps) {
  auto* pSurface = new IDirectDrawSurface7(Kind::Colour, nDdEpoch, nWidth, nHeight, dwCaps);
  pSurface->m_bAlpha = bAlpha;
  pSurface->m_aPixels.assign(static_cast<size_t>(nWidth) * nHeight, 0u);
  pSurface->m_pPixels = pSurface->m_aPixels.data();
  if (dwCaps & DDSCAPS_TEXTURE) test::detail::textureCreated();
  return pSurface;
}

IDirectDrawSurface7* IDirectDrawSurface7::createDepth(int nDdEpoch, int nWidth, int nHeight, bool bStencil) {
  auto* pSurface = new IDirectDrawSurface7(Kind::Depth, nDdEpoch, nWidth, nHeight, DDSCAPS_ZBUFFER);
  if (bStencil) pSurface->m_aStencil.assign(static_cast<size_t>(nWidth) * nHeight, 0);
  return pSurface;
}

ULONG IDirectDrawSurface7::AddRef() {
  if (m_pOwner) return ++m_nImplicitRefs;
  return IUnknown::AddRef();
}

ULONG IDirectDrawSurface7::Release() {
  if (m_pOwner) {
    if (m_nImplicitRefs > 0) --m_nImplicitRefs;
    return m_nImplicitRefs;
  }
  return IUnknown::Release();
}

void IDirectDrawSurface7::contentsChanged() {
  m_pAlphaRuns.reset();
  m_nUsesUnchanged = 0;
  std::vector<DWORD>().swap(m_aBordered);
  m_nBorderedAsks = 0;
}

const raster::BorderedTexels* IDirectDrawSurface7::borderedTexels() {
  if (m_eKind != Kind::Colour || m_nWidth <= 0 || m_nHeight <= 0) return nullptr;
  if (m_aBordered.empty() && ++m_nBorderedAsks >= 2) {
    test::detail::textureCacheBuilt();
    size_t nPitch = static_cast<size_t>(m_nWidth) + 2;
    m_aBordered.resize(nPitch * (static_cast<size_t>(m_nHeight) + 2) + raster::BorderedTexels::kSlack);
    for (int y = -1; y <= m_nHeight; ++y) {
      const DWORD* pRow = m_pPixels + static_cast<size_t>(std::clamp(y, 0, m_nHeight - 1)) * m_nWidth;
      DWORD* pOut = m_aBordered.data() + static_cast<size_t>(y + 1) * nPitch;
      pOut[0] = pRow[0];
      std::memcpy(pOut + 1, pRow, static_cast<size_t>(m_nWidth) * sizeof(DWORD));
      pOut[m_nWidth + 1] = pRow[m_nWidth - 1];
    }
    findLiveBox();
  }
  return m_aBordered.empty() ? nullptr : &m_bordered;
}

// Without alpha every texel counts as opaque.
void IDirectDrawSurface7::findLiveBox() {
  static std::atomic<std::uint64_t> s_nCopies{0};
  m_bordered = {m_aBordered.data(), m_nWidth, m_nHeight, 0, 0, ++s_nCopies};
  for (int y = 0; y < m_nHeight; ++y) {
    const DWORD* pRow = m_pPixels + static_cast<size_t>(y) * m_nWidth;
    for (int x = 0; x < m_nWidth; ++x) {
      if (m_bAlpha && (pRow[x] >> 24) == 0) continue;
      m_bordered.m_nLiveX0 = std::min(m_bordered.m_nLiveX0, x);
      m_bordered.m_nLiveY0 = std::min(m_bordered.m_nLiveY0, y);
      m_bordered.m_nLiveX1 = std::max(m_bordered.m_nLiveX1, x + 1);
      m_bordered.m_nLiveY1 = y + 1;
    }
  }
}

const raster::AlphaRuns* IDirectDrawSurface7::alphaRuns() {
  if (!m_bAlpha || m_eKind != Kind::Colour) return nullptr;
  if (!m_pAlphaRuns && ++m_nUsesUnchanged >= 2) {
    test::detail::textureCacheBuilt();
    m_pAlphaRuns = std::make_unique<raster::AlphaRuns>();
    m_pAlphaRuns->build(m_pPixels, m_nWidth, m_nWidth, m_nHeight);
  }
  return m_pAlphaRuns && m_pAlphaRuns->isUseful() ? m_pAlphaRuns.get() : nullptr;
}

bool IDirectDrawSurface7::isLost() const { return m_nEpoch < test::detail::lossEpoch(); }

void IDirectDrawSurface7::describe(DDSURFACEDESC2* pDesc) const {
  std::memset(pDesc, 0, sizeof(*pDesc));
  pDesc->dwSize = sizeof(*pDesc);
  pDesc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  pDesc->dwWidth = static_cast<DWORD>(m_nWidth);
  pDesc->dwHeight = static_cast<DWORD>(m_nHeight);
  pDesc->ddsCaps.dwCaps = m_dwCaps;
  DDPIXELFORMAT& pf = pDesc->ddpfPixelFormat;
  pf.dwSize = sizeof(pf);
  if (m_eKind == Kind::Depth) {
    pf.dwFlags = DDPF_ZBUFFER | (hasStencil() ? DDPF_STENCILBUFFER : 0);
    pf.dwZBufferBitDepth = hasStencil() ? 32 : 16;
    pf.dwStencilBitDepth = hasStencil() ? 8 : 0;
    pf.dwZBitMask = hasStencil() ? 0xFFFFFF00u : 0xFFFFu;
    pf.dwStencilBitMask = hasStencil() ? 0xFFu : 0;
    return;
  }
  if (m_eKind == Kind::Primary) {
    SDL_Surface* pScreen = SDL_GetVideoSurface();
    if (pScreen) {
      pf.dwFlags = DDPF_RGB;
      pf.dwRGBBitCount = pScreen->format->BitsPerPixel;
      pf.dwRBitMask = pScreen->format->Rmask;
      pf.dwGBitMask = pScreen->format->Gmask;
      pf.dwBBitMask = pScreen->format->Bmask;
      pDesc->dwFlags |= DDSD_PITCH;
      pDesc->lPitch = pScreen->pitch;
    }
    if (m_pBackBuffer) {
      pDesc->dwFlags |= DDSD_BACKBUFFERCOUNT;
      pDesc->dwBackBufferCount = 1;
    }
    return;
  }
  pDesc->dwFlags |= DDSD_PITCH;
  pDesc->lPitch = m_nWidth * 4;
  pf.dwFlags = DDPF_RGB | (m_bAlpha ? DDPF_ALPHAPIXELS : 0);
  pf.dwRGBBitCount = 32;
  pf.dwRBitMask = kRedMask;
  pf.dwGBitMask = kGreenMask;
  pf.dwBBitMask = kBlueMask;
  pf.dwRGBAlphaBitMask = m_bAlpha ? kAlphaMask : 0;
}

HRESULT IDirectDrawSurface7::Lock(RECT* pRect, DDSURFACEDESC2* pDesc, DWORD, HANDLE) {
  if (pDesc == nullptr) return DDERR_INVALIDPARAMS;
  if (m_eKind != Kind::Colour) return DDERR_UNSUPPORTED;
  if (isLost()) return DDERR_SURFACELOST;
  if (m_bLocked || test::detail::shouldFail(test::Fault::Lock)) return DDERR_SURFACEBUSY;
  RECT r = pRect ? *pRect : wholeRect(m_nWidth, m_nHeight);
  if (!isInside(r, m_nWidth, m_nHeight)) return DDERR_INVALIDPARAMS;
  describe(pDesc);
  pDesc->dwFlags |= DDSD_LPSURFACE;
  pDesc->lpSurface = pixelData() + static_cast<size_t>(r.top) * m_nWidth + r.left;
  m_bLocked = true;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Unlock(RECT*) {
  if (!m_bLocked) return DDERR_NOTLOCKED;
  m_bLocked = false;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetSurfaceDesc(DDSURFACEDESC2* pDesc) {
  if (pDesc == nullptr) return DDERR_INVALIDPARAMS;
  describe(pDesc);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetAttachedSurface(DDSCAPS2* pCaps, IDirectDrawSurface7** ppSurface) {
  if (pCaps == nullptr || ppSurface == nullptr) return DDERR_INVALIDPARAMS;
  *ppSurface = nullptr;
  IDirectDrawSurface7* pFound = nullptr;
  if ((pCaps->dwCaps & DDSCAPS_BACKBUFFER) && m_pBackBuffer) pFound = m_pBackBuffer;
  if ((pCaps->dwCaps & DDSCAPS_ZBUFFER) && m_pDepth) pFound = m_pDepth;
  if (pFound == nullptr) return DDERR_NOTFOUND;
  pFound->AddRef();
  *ppSurface = pFound;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::AddAttachedSurface(IDirectDrawSurface7* pSurface) {
  if (pSurface == nullptr) return DDERR_INVALIDPARAMS;
  if (m_pDepth) return DDERR_SURFACEALREADYATTACHED;
  if (test::detail::shouldFail(test::Fault::AttachSurface)) return DDERR_CANNOTATTACHSURFACE;
  if (m_eKind != Kind::Colour || pSurface->m_eKind != Kind::Depth || pSurface->m_nWidth != m_nWidth ||
      pSurface->m_nHeight != m_nHeight)
    return DDERR_CANNOTATTACHSURFACE;
  pSurface->AddRef();
  m_pDepth = pSurface;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Flip(IDirectDrawSurface7*, DWORD) {
  if (m_eKind != Kind::Primary || m_pBackBuffer == nullptr) return DDERR_INVALIDPARAMS;
  if (isLost() || m_pBackBuffer->isLost()) return DDERR_SURFACELOST;
  if (test::detail::shouldFail(test::Fault::Flip)) return DDERR_WASSTILLDRAWING;
  RECT r = wholeRect(m_nWidth, m_nHeight);
  return Blt(&r, m_pBackBuffer, &r, DDBLT_WAIT, nullptr);
}

HRESULT IDirectDrawSurface7::Blt(RECT* pDestRect, IDirectDrawSurface7* pSource, RECT* pSourceRect, DWORD,
                                 DDBLTFX*) {
  if (pSource == nullptr || pSource->m_eKind != Kind::Colour || m_eKind == Kind::Depth) return DDERR_INVALIDPARAMS;
  if (isLost() || pSource->isLost()) return DDERR_SURFACELOST;
  RECT src = pSourceRect ? *pSourceRect : wholeRect(pSource->m_nWidth, pSource->m_nHeight);
  RECT dst = pDestRect ? *pDestRect : wholeRect(m_nWidth, m_nHeight);
  if (!isInside(src, pSource->m_nWidth, pSource->m_nHeight)) return DDERR_INVALIDPARAMS;
  if (src.right - src.left != dst.right - dst.left || src.bottom - src.top != dst.bottom - dst.top)
    return DDERR_UNSUPPORTED;  // no stretching
  if (m_eKind == Kind::Colour) {
    if (!isInside(dst, m_nWidth, m_nHeight)) return DDERR_INVALIDPARAMS;
    DWORD* pTo = pixelData();
    const DWORD* pFrom = pSource->pixelStore();
    for (LONG y = 0; y < src.bottom - src.top; ++y)
      std::memmove(pTo + static_cast<size_t>(dst.top + y) * m_nWidth + dst.left,
                   pFrom + static_cast<size_t>(src.top + y) * pSource->m_nWidth + src.left,
                   static_cast<size_t>(src.right - src.left) * 4);
    return DD_OK;
  }
  SDL_Surface* pScreen = SDL_GetVideoSurface();
  if (pScreen == nullptr) return DDERR_SURFACELOST;
  // Whatever another surface keeps in the window's pixels must not be drawn over; it
  // cannot move them while they are locked.
  if (s_pOnScreen && s_pOnScreen != pSource) {
    if (s_pOnScreen->m_bLocked) return DDERR_SURFACEBUSY;
    s_pOnScreen->leaveScreen(s_pOnScreen->stillHoldsScreen());
  }
  bool bWhole = isWhole(src, pSource->m_nWidth, pSource->m_nHeight) && isWhole(dst, pScreen->w, pScreen->h) &&
                pScreen->w == pSource->m_nWidth && pScreen->h == pSource->m_nHeight;
  if (bWhole && test::isSharedScreenEnabled() && (pSource->sharesScreen() || pSource->canTakeScreen(pScreen))) {
    if (!pSource->sharesScreen()) pSource->takeScreen(pScreen);
    SDL_Flip(pScreen);
    return DD_OK;
  }
  if (pSource->sharesScreen()) pSource->leaveScreen(true);
  // The alpha byte of a render target is not colour: wrap it without an alpha mask so
  // SDL copies instead of blending.
  SDL_Surface* pWrap = SDL_CreateRGBSurfaceFrom(pSource->m_pPixels, pSource->m_nWidth, pSource->m_nHeight, 32,
                                                pSource->m_nWidth * 4, kRedMask, kGreenMask, kBlueMask, 0);
  if (pWrap == nullptr) return DDERR_OUTOFMEMORY;
  SDL_Rect srcRect = {static_cast<Sint16>(src.left), static_cast<Sint16>(src.top),
                      static_cast<Uint16>(src.right - src.left), static_cast<Uint16>(src.bottom - src.top)};
  SDL_Rect dstRect = {static_cast<Sint16>(dst.left), static_cast<Sint16>(dst.top), 0, 0};
  int nResult = SDL_BlitSurface(pWrap, &srcRect, pScreen, &dstRect);
  SDL_FreeSurface(pWrap);
  if (nResult != 0) return DDERR_SURFACELOST;
  SDL_Flip(pScreen);
  return DD_OK;
}

DWORD* IDirectDrawSurface7::pixelStore() {
  if (m_pScreenPixels && !stillHoldsScreen()) leaveScreen(false);  // SDL freed them with the window
  return m_pPixels;
}

bool IDirectDrawSurface7::canTakeScreen(const SDL_Surface* pScreen) const {
  return (m_dwCaps & DDSCAPS_3DDEVICE) && !(m_dwCaps & DDSCAPS_TEXTURE) && !m_bAlpha && !m_bLocked &&
         hasOurLayout(pScreen, m_nWidth, m_nHeight);
}

bool IDirectDrawSurface7::stillHoldsScreen() const {
  const SDL_Surface* pScreen = SDL_GetVideoSurface();
  return pScreen != nullptr && pScreen == m_pScreen && pScreen->pixels == m_pScreenPixels &&
         hasOurLayout(pScreen, m_nWidth, m_nHeight);
}

void IDirectDrawSurface7::takeScreen(SDL_Surface* pScreen) {
  DWORD* pScreenPixels = static_cast<DWORD*>(pScreen->pixels);
  std::memcpy(pScreenPixels, m_pPixels, static_cast<size_t>(m_nWidth) * m_nHeight * 4);
  std::vector<DWORD>().swap(m_aPixels);
  m_pPixels = pScreenPixels;
  m_pScreen = pScreen;
  m_pScreenPixels = pScreenPixels;
  s_pOnScreen = this;
}

void IDirectDrawSurface7::leaveScreen(bool bKeep) {
  m_aPixels.assign(static_cast<size_t>(m_nWidth) * m_nHeight, 0u);
  if (bKeep) std::memcpy(m_aPixels.data(), m_pPixels, m_aPixels.size() * 4);
  m_pPixels = m_aPixels.data();
  m_pScreen = nullptr;
  m_pScreenPixels = nullptr;
  if (s_pOnScreen == this) s_pOnScreen = nullptr;
}

HRESULT IDirectDrawSurface7::SetClipper(IDirectDrawClipper* pClipper) {
  if (pClipper) pClipper->AddRef();
  if (m_pClipper) m_pClipper->Release();
  m_pClipper = pClipper;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::IsLost() { return isLost() ? DDERR_SURFACELOST : DD_OK; }

HRESULT IDirectDrawSurface7::Restore() {
  HRESULT hr = test::detail::cooperativeResult(m_nDdEpoch);
  if (FAILED(hr)) return hr;
  m_nEpoch = test::detail::lossEpoch();
  if (m_pBackBuffer) m_pBackBuffer->m_nEpoch = m_nEpoch;
  return DD_OK;
}

}  // namespace dx7
