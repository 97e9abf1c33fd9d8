// Plain types, result codes, flags and descriptor records of the DirectDraw 7 /
// Direct3D 7 stand-in. Field and constant names follow the classic API so driver
// code reads the way it would on the original platform; the numeric values are our
// own and carry no meaning beyond this library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dx7 {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BYTE = std::uint8_t;
using HRESULT = std::int32_t;
using HWND = void*;
using HANDLE = void*;
using D3DCOLOR = DWORD;
using D3DVALUE = float;

inline constexpr bool isFailure(HRESULT hr) { return hr < 0; }
inline constexpr bool isSuccess(HRESULT hr) { return hr >= 0; }

// ---- result codes ----------------------------------------------------------
constexpr HRESULT DD_OK = 0;
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT makeError(DWORD nCode) { return static_cast<HRESULT>(0x88760000u | nCode); }
constexpr HRESULT DDERR_GENERIC = makeError(1);
constexpr HRESULT DDERR_INVALIDPARAMS = makeError(2);
constexpr HRESULT DDERR_INVALIDOBJECT = makeError(3);
constexpr HRESULT DDERR_OUTOFMEMORY = makeError(4);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = makeError(5);
constexpr HRESULT DDERR_UNSUPPORTED = makeError(6);
constexpr HRESULT DDERR_SURFACELOST = makeError(7);
constexpr HRESULT DDERR_SURFACEBUSY = makeError(8);
constexpr HRESULT DDERR_NOTLOCKED = makeError(9);
constexpr HRESULT DDERR_WRONGMODE = makeError(10);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = makeError(11);
constexpr HRESULT DDERR_WASSTILLDRAWING = makeError(12);
constexpr HRESULT DDERR_CANNOTATTACHSURFACE = makeError(13);
constexpr HRESULT DDERR_SURFACEALREADYATTACHED = makeError(14);
constexpr HRESULT DDERR_NOTFOUND = makeError(15);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = makeError(16);
constexpr HRESULT E_NOINTERFACE = makeError(17);
constexpr HRESULT D3DERR_SCENE_IN_SCENE = makeError(100);
constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = makeError(101);
constexpr HRESULT D3DERR_STENCILBUFFER_NOTPRESENT = makeError(102);
constexpr HRESULT D3DERR_INVALID_DEVICE = makeError(103);
constexpr HRESULT D3DXERR_NOTINITIALIZED = makeError(200);
constexpr HRESULT D3DXERR_TEXTURECREATEFAILED = makeError(201);

// ---- interface identifiers -------------------------------------------------
struct GUID {
  DWORD m_nId;
  bool operator==(const GUID& o) const { return m_nId == o.m_nId; }
  bool operator!=(const GUID& o) const { return m_nId != o.m_nId; }
};
using IID = GUID;
using REFIID = const GUID&;
using REFCLSID = const GUID&;
inline constexpr GUID IID_IDirectDraw7 = {0x0D7D0001u};
inline constexpr GUID IID_IDirect3D7 = {0x0D7D0002u};
inline constexpr GUID IID_IDirect3DHALDevice = {0x0D7D0003u};

// ---- rectangles ------------------------------------------------------------
struct RECT {
  LONG left, top, right, bottom;
};
struct D3DRECT {
  LONG x1, y1, x2, y2;
};

// ---- DirectDraw flags ------------------------------------------------------
constexpr DWORD DDSCL_NORMAL = 0x0008;
constexpr DWORD DDSCL_FULLSCREEN = 0x0001;
constexpr DWORD DDSCL_EXCLUSIVE = 0x0010;

constexpr DWORD DDSD_CAPS = 0x0001;
constexpr DWORD DDSD_HEIGHT = 0x0002;
constexpr DWORD DDSD_WIDTH = 0x0004;
constexpr DWORD DDSD_PITCH = 0x0008;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x0020;
constexpr DWORD DDSD_LPSURFACE = 0x0800;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;

constexpr DWORD DDSCAPS_BACKBUFFER = 0x0004;
constexpr DWORD DDSCAPS_COMPLEX = 0x0008;
constexpr DWORD DDSCAPS_FLIP = 0x0010;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x0020;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x0040;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x0200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x0800;
constexpr DWORD DDSCAPS_TEXTURE = 0x1000;
constexpr DWORD DDSCAPS_3DDEVICE = 0x2000;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;
constexpr DWORD DDSCAPS_ZBUFFER = 0x20000;

constexpr DWORD DDPF_ALPHAPIXELS = 0x0001;
constexpr DWORD DDPF_RGB = 0x0040;
constexpr DWORD DDPF_ZBUFFER = 0x0400;
constexpr DWORD DDPF_STENCILBUFFER = 0x4000;

constexpr DWORD DDLOCK_WAIT = 0x0001;
constexpr DWORD DDLOCK_READONLY = 0x0010;
constexpr DWORD DDLOCK_WRITEONLY = 0x0020;
constexpr DWORD DDFLIP_WAIT = 0x0001;
constexpr DWORD DDBLT_WAIT = 0x01000000;

struct DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwRGBBitCount;      // colour formats
  DWORD dwRBitMask;
  DWORD dwGBitMask;
  DWORD dwBBitMask;
  DWORD dwRGBAlphaBitMask;
  DWORD dwZBufferBitDepth;  // depth formats: depth plus stencil bits
  DWORD dwStencilBitDepth;
  DWORD dwZBitMask;
  DWORD dwStencilBitMask;
};

struct DDSCAPS2 {
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCaps3;
  DWORD dwCaps4;
};

struct DDSURFACEDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  LONG lPitch;
  DWORD dwBackBufferCount;
  void* lpSurface;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS2 ddsCaps;
};

struct DDBLTFX {
  DWORD dwSize;
};

// ---- Direct3D --------------------------------------------------------------
struct D3DMATRIX {
  float m[4][4];
};

struct D3DVIEWPORT7 {
  DWORD dwX;
  DWORD dwY;
  DWORD dwWidth;
  DWORD dwHeight;
  D3DVALUE dvMinZ;
  D3DVALUE dvMaxZ;
};

enum D3DTRANSFORMSTATETYPE : DWORD {
  D3DTRANSFORMSTATE_WORLD = 1,
  D3DTRANSFORMSTATE_VIEW = 2,
  D3DTRANSFORMSTATE_PROJECTION = 3,
};

enum D3DPRIMITIVETYPE : DWORD {
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

// The one vertex layout the device draws: x, y, z floats, ARGB diffuse, u, v.
constexpr DWORD D3DFVF_XYZ = 0x0002;
constexpr DWORD D3DFVF_DIFFUSE = 0x0040;
constexpr DWORD D3DFVF_TEX1 = 0x0100;

enum D3DRENDERSTATETYPE : DWORD {
  D3DRENDERSTATE_ZENABLE = 7,
  D3DRENDERSTATE_TEXTUREPERSPECTIVE = 4,
  D3DRENDERSTATE_SRCBLEND = 19,
  D3DRENDERSTATE_DESTBLEND = 20,
  D3DRENDERSTATE_CULLMODE = 22,
  D3DRENDERSTATE_ALPHAREF = 24,
  D3DRENDERSTATE_ALPHAFUNC = 25,
  D3DRENDERSTATE_ALPHABLENDENABLE = 27,
  D3DRENDERSTATE_ALPHATESTENABLE = 15,
  D3DRENDERSTATE_STENCILENABLE = 52,
  D3DRENDERSTATE_STENCILFAIL = 53,
  D3DRENDERSTATE_STENCILZFAIL = 54,
  D3DRENDERSTATE_STENCILPASS = 55,
  D3DRENDERSTATE_STENCILFUNC = 56,
  D3DRENDERSTATE_STENCILREF = 57,
  D3DRENDERSTATE_STENCILMASK = 58,
  D3DRENDERSTATE_STENCILWRITEMASK = 59,
  D3DRENDERSTATE_LIGHTING = 137,
};

constexpr DWORD D3DZB_FALSE = 0;
constexpr DWORD D3DZB_TRUE = 1;

constexpr DWORD D3DCULL_NONE = 1;
constexpr DWORD D3DCULL_CW = 2;
constexpr DWORD D3DCULL_CCW = 3;

constexpr DWORD D3DBLEND_ZERO = 1;
constexpr DWORD D3DBLEND_ONE = 2;
constexpr DWORD D3DBLEND_SRCALPHA = 5;
constexpr DWORD D3DBLEND_INVSRCALPHA = 6;

constexpr DWORD D3DCMP_NEVER = 1;
constexpr DWORD D3DCMP_LESS = 2;
constexpr DWORD D3DCMP_EQUAL = 3;
constexpr DWORD D3DCMP_LESSEQUAL = 4;
constexpr DWORD D3DCMP_GREATER = 5;
constexpr DWORD D3DCMP_NOTEQUAL = 6;
constexpr DWORD D3DCMP_GREATEREQUAL = 7;
constexpr DWORD D3DCMP_ALWAYS = 8;

constexpr DWORD D3DSTENCILOP_KEEP = 1;
constexpr DWORD D3DSTENCILOP_REPLACE = 3;

enum D3DTEXTURESTAGESTATETYPE : DWORD {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_ADDRESS = 12,
  D3DTSS_ADDRESSU = 13,
  D3DTSS_ADDRESSV = 14,
  D3DTSS_MAGFILTER = 16,
  D3DTSS_MINFILTER = 17,
};

constexpr DWORD D3DTOP_SELECTARG1 = 2;
constexpr DWORD D3DTOP_SELECTARG2 = 3;
constexpr DWORD D3DTOP_MODULATE = 4;

constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;

constexpr DWORD D3DTADDRESS_CLAMP = 3;

constexpr DWORD D3DTFG_POINT = 1;
constexpr DWORD D3DTFG_LINEAR = 2;
constexpr DWORD D3DTFN_POINT = 1;
constexpr DWORD D3DTFN_LINEAR = 2;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

constexpr HRESULT D3DENUMRET_CANCEL = 0;
constexpr HRESULT D3DENUMRET_OK = 1;
using LPD3DENUMPIXELFORMATSCALLBACK = HRESULT (*)(DDPIXELFORMAT* pFormat, void* pContext);

}  // namespace dx7

// The classic success tests. Another stand-in may already provide them.
#ifndef FAILED
#define FAILED(hr) (::dx7::isFailure(static_cast<::dx7::HRESULT>(hr)))
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (::dx7::isSuccess(static_cast<::dx7::HRESULT>(hr)))
#endif
