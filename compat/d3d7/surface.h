// DirectDraw surfaces of the software device: the primary surface (the SDL window),
// 32-bit colour surfaces in memory (back buffers, off-screen plain surfaces, textures)
// and depth surfaces that carry an 8-bit stencil buffer.
#pragma once

#include <memory>
#include <vector>

#include "d3d7/rasterizer.h"
#include "d3d7/unknown.h"

struct SDL_Surface;

namespace dx7 {

class IDirectDrawClipper;

class IDirectDrawSurface7 : public IUnknown {
 public:
  enum class Kind { Primary, Colour, Depth };

  // The back buffer of a flipping primary belongs to the primary: its reference count
  // is kept for the caller's bookkeeping, but only the primary frees it.
  ULONG AddRef() override;
  ULONG Release() override;

  // Colour surfaces only. The rectangle may be null (whole surface). The pitch comes
  // back in bytes and the format is always 32-bit ARGB (X8R8G8B8 unless the surface has
  // alpha).
  HRESULT Lock(RECT* pRect, DDSURFACEDESC2* pDesc, DWORD dwFlags, HANDLE hEvent);
  HRESULT Unlock(RECT* pRect);
  HRESULT GetSurfaceDesc(DDSURFACEDESC2* pDesc);
  // DDSCAPS_BACKBUFFER on a flipping primary, DDSCAPS_ZBUFFER on a colour surface with
  // an attached depth surface. The answer is AddRef'd.
  HRESULT GetAttachedSurface(DDSCAPS2* pCaps, IDirectDrawSurface7** ppSurface);
  // Attaches a depth surface of the same size to a 3-D colour surface.
  HRESULT AddAttachedSurface(IDirectDrawSurface7* pSurface);
  // Flipping primary only: shows the back buffer in the SDL window. The back buffer
  // keeps its contents, so a frame may draw over the previous one.
  HRESULT Flip(IDirectDrawSurface7* pOverride, DWORD dwFlags);
  // Unscaled copy between colour surfaces, or from a colour surface onto the primary
  // (the SDL window, whose client area starts at 0, 0); a copy onto the primary is shown
  // at once. Null rectangles mean whole surfaces.
  //
  // A 3-D surface copied whole onto a window of its size whose pixels SDL keeps in our
  // own layout (32 bits, X8R8G8B8, rows without padding, no locking) takes those pixels
  // as its own: from then on it is drawn straight into the window's memory, and showing
  // it copies nothing. It gives them back (a copy of its contents to memory of its own)
  // when another surface is shown, when it is shown in part or elsewhere, and when the
  // shared screen is switched off (test::setSharedScreenEnabled); when SDL replaces or
  // frees the window's pixels, it keeps cleared memory of its own instead.
  HRESULT Blt(RECT* pDestRect, IDirectDrawSurface7* pSource, RECT* pSourceRect, DWORD dwFlags, DDBLTFX* pFx);
  HRESULT SetClipper(IDirectDrawClipper* pClipper);
  HRESULT IsLost();
  HRESULT Restore();

  // ---- used by the device, D3DX and the test hooks ----
  static IDirectDrawSurface7* createPrimary(int nDdEpoch, int nWidth, int nHeight, bool bFlipping, DWORD dwCaps);
  static IDirectDrawSurface7* createColour(int nDdEpoch, int nWidth, int nHeight, bool bAlpha, DWORD dwCaps);
  static IDirectDrawSurface7* createDepth(int nDdEpoch, int nWidth, int nHeight, bool bStencil);

  Kind kind() const { return m_eKind; }
  DWORD caps() const { return m_dwCaps; }
  int width() const { return m_nWidth; }
  int height() const { return m_nHeight; }
  bool hasPixels() const { return m_eKind == Kind::Colour; }
  bool hasAlpha() const { return m_bAlpha; }
  bool hasStencil() const { return !m_aStencil.empty(); }
  bool isLost() const;
  // Writable pixels (width texels a row): whatever was prepared from the old contents
  // is dropped. They may be the window's (see Blt), so they are asked for again after
  // anything that may replace the window.
  DWORD* pixelData() {
    contentsChanged();
    return pixelStore();
  }
  // A texture's texels (textures never share the window's pixels).
  const DWORD* texels() const { return m_pPixels; }
  // The alpha runs of a texture with alpha whose contents were drawn before unchanged;
  // null otherwise, so contents that change every frame are never prepared.
  const raster::AlphaRuns* alphaRuns();
  // The texels inside a copy of their outermost rows and columns, (width + 2) texels
  // a row from texel (-1, -1), for samplers that reach a texel past the sides; made
  // when asked for a second time with the contents unchanged, null until then.
  const raster::BorderedTexels* borderedTexels();
  BYTE* stencilData() { return m_aStencil.data(); }
  // The pixels as they are, width texels a row.
  const DWORD* currentPixels() { return pixelStore(); }
  // Whether the pixels are the SDL window's now (see Blt).
  bool sharesScreen() {
    pixelStore();
    return m_pScreenPixels != nullptr;
  }
  const std::vector<BYTE>& stencilValues() const { return m_aStencil; }
  IDirectDrawSurface7* attachedDepth() const { return m_pDepth; }

 private:
  IDirectDrawSurface7(Kind eKind, int nDdEpoch, int nWidth, int nHeight, DWORD dwCaps);
  ~IDirectDrawSurface7() override;

  void describe(DDSURFACEDESC2* pDesc) const;
  void contentsChanged();
  // The pixels in use: the window's while this surface holds them and they are still
  // the window's, else its own.
  DWORD* pixelStore();
  bool canTakeScreen(const SDL_Surface* pScreen) const;
  bool stillHoldsScreen() const;
  void takeScreen(SDL_Surface* pScreen);
  // Back to memory of its own, with a copy of the contents when bKeep (else cleared).
  void leaveScreen(bool bKeep);

  Kind m_eKind;
  int m_nDdEpoch;  // loss epoch of the DirectDraw object that made it
  int m_nEpoch;    // loss epoch it was made or last restored in
  int m_nWidth;
  int m_nHeight;
  DWORD m_dwCaps;
  bool m_bAlpha = false;
  bool m_bLocked = false;
  std::vector<DWORD> m_aPixels;  // empty while the pixels are the window's
  DWORD* m_pPixels = nullptr;    // the pixels in use
  const SDL_Surface* m_pScreen = nullptr;  // the window whose pixels these are, and
  const void* m_pScreenPixels = nullptr;   // its pixels when they were taken
  std::vector<BYTE> m_aStencil;
  IDirectDrawSurface7* m_pOwner = nullptr;       // the primary of an implicit back buffer
  ULONG m_nImplicitRefs = 0;
  IDirectDrawSurface7* m_pBackBuffer = nullptr;  // owned, flipping primary only
  IDirectDrawSurface7* m_pDepth = nullptr;       // AddRef'd
  IDirectDrawClipper* m_pClipper = nullptr;      // AddRef'd
  void findLiveBox();
  std::unique_ptr<raster::AlphaRuns> m_pAlphaRuns;
  int m_nUsesUnchanged = 0;  // alphaRuns() calls since the contents last changed
  std::vector<DWORD> m_aBordered;
  raster::BorderedTexels m_bordered;  // points into m_aBordered
  int m_nBorderedAsks = 0;  // borderedTexels() calls since the contents last changed
};

using LPDIRECTDRAWSURFACE7 = IDirectDrawSurface7*;

}  // namespace dx7
