// The DirectDraw 7 object and its clipper. The display is the SDL video surface: a
// window opened with SDL_SetVideoMode before the primary surface is created.
#pragma once

#include "d3d7/surface.h"
#include "d3d7/unknown.h"

namespace dx7 {

class IDirectDrawClipper : public IUnknown {
 public:
  HRESULT SetHWnd(DWORD dwFlags, HWND hWnd);
  HWND window() const { return m_hWnd; }

 private:
  friend class IDirectDraw7;
  IDirectDrawClipper() = default;
  HWND m_hWnd = nullptr;
};

class IDirectDraw7 : public IUnknown {
 public:
  // IID_IDirect3D7 gives the Direct3D object (AddRef'd); anything else E_NOINTERFACE.
  HRESULT QueryInterface(REFIID riid, void** ppObject);
  // DDSCL_NORMAL, or DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE.
  HRESULT SetCooperativeLevel(HWND hWnd, DWORD dwFlags);
  // Needs exclusive mode. Switches the SDL window to full screen where SDL can.
  HRESULT SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, DWORD dwRefreshRate, DWORD dwFlags);
  // Supported: a plain primary (DDSCAPS_PRIMARYSURFACE); a flipping primary
  // (| DDSCAPS_FLIP | DDSCAPS_COMPLEX, DDSD_BACKBUFFERCOUNT = 1, exclusive mode) whose
  // back buffer is 32-bit; an off-screen plain surface (DDSCAPS_OFFSCREENPLAIN, with
  // DDSCAPS_3DDEVICE to render into it), always X8R8G8B8; a depth surface
  // (DDSCAPS_ZBUFFER) in one of the formats IDirect3D7::EnumZBufferFormats offers.
  // Textures come from D3DXCreateTexture.
  HRESULT CreateSurface(DDSURFACEDESC2* pDesc, IDirectDrawSurface7** ppSurface, IUnknown* pOuter);
  HRESULT CreateClipper(DWORD dwFlags, IDirectDrawClipper** ppClipper, IUnknown* pOuter);
  // The exclusive mode when one is set, else the SDL window (or, before one is open,
  // the desktop SDL reports).
  HRESULT GetDisplayMode(DDSURFACEDESC2* pDesc);
  HRESULT TestCooperativeLevel();

  int lossEpoch() const { return m_nEpoch; }

 private:
  friend HRESULT DirectDrawCreateEx(GUID* pGuid, void** ppDD, REFIID riid, IUnknown* pOuter);
  IDirectDraw7();

  int m_nEpoch;
  HWND m_hWnd = nullptr;
  bool m_bExclusive = false;
  bool m_bModeSet = false;
  DWORD m_dwModeWidth = 0;
  DWORD m_dwModeHeight = 0;
  DWORD m_dwModeBpp = 0;
};

using LPDIRECTDRAW7 = IDirectDraw7*;
using LPDIRECTDRAWCLIPPER = IDirectDrawClipper*;

// pGuid must be null (the default display); riid must be IID_IDirectDraw7.
HRESULT DirectDrawCreateEx(GUID* pGuid, void** ppDD, REFIID riid, IUnknown* pOuter);

}  // namespace dx7
