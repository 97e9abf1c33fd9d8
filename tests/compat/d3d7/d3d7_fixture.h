// A windowed device the way the video driver sets one up: SDL window, plain primary,
// off-screen 3-D back buffer with an 8-bit stencil, orthographic projection in pixels.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "d3d7/d3d7.h"

namespace d3d7test {

using namespace dx7;

struct Vertex {
  float x, y, z;
  DWORD colour;
  float u, v;
};
static_assert(sizeof(Vertex) == 24, "the device reads 24-byte vertices");

class DeviceFixture : public ::testing::Test {
 protected:
  static constexpr int kWidth = 64;
  static constexpr int kHeight = 48;
  static constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

  void SetUp() override;
  void TearDown() override;

  // Texture of w x h texels (powers of two) filled from texels (row-major, w x h).
  IDirectDrawSurface7* makeTexture(int nWidth, int nHeight, const std::vector<DWORD>& aTexels, bool bAlpha = true);
  // The driver's sprite quad: texel-centred at (x, y), strip TL, TR, BL, BR; mirrored on
  // an axis as the driver draws a scale of -1, its corners (and winding) turned over.
  void drawImage(IDirectDrawSurface7* pTexture, float x, float y, int nWidth, int nHeight, DWORD dwColour,
                 bool bMirrorX = false, bool bMirrorY = false);
  void drawStrip(const std::vector<Vertex>& aVerts);
  void drawFan(const std::vector<Vertex>& aVerts);
  void setBlend(DWORD dwSrc, DWORD dwDest);
  // The states the random scenes draw with: blend pair nBlend of five (4 turns
  // blending off), an alpha test against the colour's alpha, a stencil pass that
  // writes 1 or tests for it (a write also drops clear texels), point or
  // bilinear magnification.
  struct SceneStates {
    int nBlend;
    bool bAlphaTest, bStencilWrite, bStencilTest, bPoint;
    DWORD dwColour;
  };
  void applySceneStates(const SceneStates& st);
  void setView(const D3DXMATRIX& view);
  test::Frame frame();
  void clearTo(DWORD dwColour);

  IDirectDraw7* m_pDD = nullptr;
  IDirectDrawSurface7* m_pPrimary = nullptr;
  IDirectDrawSurface7* m_pBack = nullptr;
  IDirectDrawSurface7* m_pDepth = nullptr;
  IDirect3D7* m_pD3D = nullptr;
  IDirect3DDevice7* m_pDevice = nullptr;
  std::vector<IDirectDrawSurface7*> m_aTextures;
  int m_nBaseObjects = 0;
};

}  // namespace d3d7test
