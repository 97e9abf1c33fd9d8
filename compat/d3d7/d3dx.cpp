#include "d3d7/d3dx.h"

#include <cmath>
#include <cstring>

#include "d3d7/test_hooks.h"

namespace dx7 {
namespace {

constexpr DWORD kMaxTextureSide = 4096;
int g_nInitialised = 0;

DWORD roundUpToPowerOfTwo(DWORD n) {
  DWORD nOut = 1;
  while (nOut < n && nOut < kMaxTextureSide) nOut <<= 1;
  return nOut;
}

}  // namespace

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& o) const {
  D3DXMATRIX out;
  D3DXMatrixMultiply(&out, this, &o);
  return out;
}

HRESULT D3DXInitialize() {
  if (test::detail::shouldFail(test::Fault::D3DXInitialize)) return DDERR_GENERIC;
  ++g_nInitialised;
  return D3D_OK;
}

HRESULT D3DXUninitialize() {
  if (g_nInitialised > 0) --g_nInitialised;
  return D3D_OK;
}

HRESULT D3DXCreateTexture(IDirect3DDevice7* pDevice, DWORD*, DWORD* pWidth, DWORD* pHeight, D3DX_SURFACEFORMAT* pFormat,
                          void*, IDirectDrawSurface7** ppTexture, DWORD* pNumMipMaps) {
  if (ppTexture == nullptr) return DDERR_INVALIDPARAMS;
  *ppTexture = nullptr;
  if (pDevice == nullptr || pWidth == nullptr || pHeight == nullptr) return DDERR_INVALIDPARAMS;
  if (g_nInitialised == 0) return D3DXERR_NOTINITIALIZED;
  if (test::detail::shouldFail(test::Fault::CreateTexture)) return D3DXERR_TEXTURECREATEFAILED;
  bool bAlpha = pFormat == nullptr || *pFormat == D3DX_SF_A8R8G8B8 || *pFormat == D3DX_SF_UNKNOWN;
  *pWidth = roundUpToPowerOfTwo(*pWidth);
  *pHeight = roundUpToPowerOfTwo(*pHeight);
  if (pFormat) *pFormat = bAlpha ? D3DX_SF_A8R8G8B8 : D3DX_SF_X8R8G8B8;
  if (pNumMipMaps) *pNumMipMaps = 1;
  *ppTexture = IDirectDrawSurface7::createColour(test::detail::lossEpoch(), static_cast<int>(*pWidth),
                                                 static_cast<int>(*pHeight), bAlpha, DDSCAPS_TEXTURE);
  return D3D_OK;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut) {
  std::memset(pOut->m, 0, sizeof(pOut->m));
  for (int i = 0; i < 4; ++i) pOut->m[i][i] = 1.0f;
  return pOut;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pA, const D3DXMATRIX* pB) {
  D3DXMATRIX result;  // pOut may alias an input
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      float f = 0.0f;
      for (int k = 0; k < 4; ++k) f += pA->m[r][k] * pB->m[k][c];
      result.m[r][c] = f;
    }
  *pOut = result;
  return pOut;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float fX, float fY, float fZ) {
  D3DXMatrixIdentity(pOut);
  pOut->m[0][0] = fX;
  pOut->m[1][1] = fY;
  pOut->m[2][2] = fZ;
  return pOut;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float fX, float fY, float fZ) {
  D3DXMatrixIdentity(pOut);
  pOut->m[3][0] = fX;
  pOut->m[3][1] = fY;
  pOut->m[3][2] = fZ;
  return pOut;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float fAngle) {
  float fSin = std::sin(fAngle), fCos = std::cos(fAngle);
  D3DXMatrixIdentity(pOut);
  pOut->m[0][0] = fCos;
  pOut->m[0][1] = fSin;
  pOut->m[1][0] = -fSin;
  pOut->m[1][1] = fCos;
  return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, float fLeft, float fRight, float fBottom, float fTop,
                                       float fNear, float fFar) {
  D3DXMatrixIdentity(pOut);
  pOut->m[0][0] = 2.0f / (fRight - fLeft);
  pOut->m[1][1] = 2.0f / (fTop - fBottom);
  pOut->m[2][2] = 1.0f / (fFar - fNear);
  pOut->m[3][0] = (fLeft + fRight) / (fLeft - fRight);
  pOut->m[3][1] = (fTop + fBottom) / (fBottom - fTop);
  pOut->m[3][2] = fNear / (fNear - fFar);
  return pOut;
}

}  // namespace dx7
