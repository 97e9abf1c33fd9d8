// The D3DX helpers the driver uses: start-up, texture creation and matrices.
// Matrices use row vectors (v' = v * M), so a product A * B applies A first.
#pragma once

#include "d3d7/device.h"

namespace dx7 {

enum D3DX_SURFACEFORMAT : DWORD {
  D3DX_SF_UNKNOWN = 0,
  D3DX_SF_R8G8B8 = 1,
  D3DX_SF_A8R8G8B8 = 2,
  D3DX_SF_X8R8G8B8 = 3,
};

constexpr DWORD D3DX_TEXTURE_NOMIPMAP = 0x0100;

struct D3DXMATRIX : D3DMATRIX {
  D3DXMATRIX operator*(const D3DXMATRIX& o) const;
};

HRESULT D3DXInitialize();
HRESULT D3DXUninitialize();

// Makes a texture of at least *pWidth x *pHeight texels, rounded up to powers of two
// (at most 4096), without mipmaps, and writes back the size and format it made:
// A8R8G8B8 keeps alpha, R8G8B8 and X8R8G8B8 both give X8R8G8B8. The texels start as 0.
// Needs D3DXInitialize first; pPalette is ignored; pNumMipMaps may be null.
HRESULT D3DXCreateTexture(IDirect3DDevice7* pDevice, DWORD* pFlags, DWORD* pWidth, DWORD* pHeight,
                          D3DX_SURFACEFORMAT* pFormat, void* pPalette, IDirectDrawSurface7** ppTexture,
                          DWORD* pNumMipMaps);

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pA, const D3DXMATRIX* pB);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float fX, float fY, float fZ);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float fX, float fY, float fZ);
// Positive angles turn +x towards +y.
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float fAngle);
// Left-handed orthographic projection of the box left..right, bottom..top, zn..zf onto
// the unit cube (x, y in -1..1, z in 0..1).
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, float fLeft, float fRight, float fBottom, float fTop,
                                       float fNear, float fFar);

}  // namespace dx7
