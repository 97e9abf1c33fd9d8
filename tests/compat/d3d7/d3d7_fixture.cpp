#include "d3d7_fixture.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace d3d7test {

void DeviceFixture::SetUp() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  test::reset();
  m_nBaseObjects = test::liveObjectCount();
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
  ASSERT_NE(SDL_SetVideoMode(kWidth, kHeight, 32, 0), nullptr);
  ASSERT_EQ(D3DXInitialize(), D3D_OK);
  ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&m_pDD), IID_IDirectDraw7, nullptr), DD_OK);
  ASSERT_EQ(m_pDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);

  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  ASSERT_EQ(m_pDD->CreateSurface(&desc, &m_pPrimary, nullptr), DD_OK);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = kWidth;
  desc.dwHeight = kHeight;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  ASSERT_EQ(m_pDD->CreateSurface(&desc, &m_pBack, nullptr), DD_OK);

  ASSERT_EQ(m_pDD->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&m_pD3D)), DD_OK);
  DDSURFACEDESC2 depth = {};
  depth.dwSize = sizeof(depth);
  depth.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  depth.dwWidth = kWidth;
  depth.dwHeight = kHeight;
  depth.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
  depth.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER | DDPF_STENCILBUFFER;
  depth.ddpfPixelFormat.dwZBufferBitDepth = 32;
  depth.ddpfPixelFormat.dwStencilBitDepth = 8;
  ASSERT_EQ(m_pDD->CreateSurface(&depth, &m_pDepth, nullptr), DD_OK);
  ASSERT_EQ(m_pBack->AddAttachedSurface(m_pDepth), DD_OK);
  ASSERT_EQ(m_pD3D->CreateDevice(IID_IDirect3DHALDevice, m_pBack, &m_pDevice), D3D_OK);

  D3DVIEWPORT7 vp = {0, 0, kWidth, kHeight, 0.0f, 1.0f};
  ASSERT_EQ(m_pDevice->SetViewport(&vp), D3D_OK);
  D3DXMATRIX m;
  D3DXMatrixIdentity(&m);
  m_pDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m);
  D3DXMatrixOrthoOffCenterLH(&m, 0.0f, kWidth, kHeight, 0.0f, -1.0f, 1.0f);
  m_pDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &m);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE);
  m_pDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  m_pDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, 0);
  m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  m_pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  setBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
  clearTo(0x000000);
  ASSERT_EQ(m_pDevice->BeginScene(), D3D_OK);
}

void DeviceFixture::TearDown() {
  if (m_pDevice) m_pDevice->EndScene();
  for (IDirectDrawSurface7* p : m_aTextures) p->Release();
  if (m_pDevice) m_pDevice->Release();
  if (m_pD3D) m_pD3D->Release();
  if (m_pDepth) m_pDepth->Release();
  if (m_pBack) m_pBack->Release();
  if (m_pPrimary) m_pPrimary->Release();
  if (m_pDD) m_pDD->Release();
  D3DXUninitialize();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  test::reset();
  EXPECT_EQ(test::liveObjectCount(), m_nBaseObjects) << "objects leaked";
  EXPECT_EQ(test::liveTextureCount(), 0);
}

IDirectDrawSurface7* DeviceFixture::makeTexture(int nWidth, int nHeight, const std::vector<DWORD>& aTexels,
                                                bool bAlpha) {
  DWORD w = nWidth, h = nHeight;
  D3DX_SURFACEFORMAT eFormat = bAlpha ? D3DX_SF_A8R8G8B8 : D3DX_SF_R8G8B8;
  DWORD dwFlags = D3DX_TEXTURE_NOMIPMAP;
  IDirectDrawSurface7* pTexture = nullptr;
  EXPECT_EQ(D3DXCreateTexture(m_pDevice, &dwFlags, &w, &h, &eFormat, nullptr, &pTexture, nullptr), D3D_OK);
  if (pTexture == nullptr) return nullptr;
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(pTexture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), DD_OK);
  for (int y = 0; y < nHeight; ++y)
    std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch, &aTexels[static_cast<size_t>(y) * nWidth],
                static_cast<size_t>(nWidth) * 4);
  pTexture->Unlock(nullptr);
  m_aTextures.push_back(pTexture);
  return pTexture;
}

void DeviceFixture::drawImage(IDirectDrawSurface7* pTexture, float x, float y, int nWidth, int nHeight,
                              DWORD dwColour, bool bMirrorX, bool bMirrorY) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  float fU = 1.0f, fV = 1.0f;
  if (pTexture) {
    pTexture->GetSurfaceDesc(&desc);
    fU = static_cast<float>(nWidth) / desc.dwWidth;
    fV = static_cast<float>(nHeight) / desc.dwHeight;
  }
  m_pDevice->SetTexture(0, pTexture);
  float fLeft = x - 0.5f, fTop = y - 0.5f, fRight = fLeft + nWidth, fBottom = fTop + nHeight;
  if (bMirrorX) std::swap(fLeft, fRight);
  if (bMirrorY) std::swap(fTop, fBottom);
  drawStrip({{fLeft, fTop, 0, dwColour, 0, 0},
             {fRight, fTop, 0, dwColour, fU, 0},
             {fLeft, fBottom, 0, dwColour, 0, fV},
             {fRight, fBottom, 0, dwColour, fU, fV}});
}

void DeviceFixture::drawStrip(const std::vector<Vertex>& aVerts) {
  EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, kFvf, const_cast<Vertex*>(aVerts.data()),
                                     static_cast<DWORD>(aVerts.size()), 0),
            D3D_OK);
}

void DeviceFixture::drawFan(const std::vector<Vertex>& aVerts) {
  EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, kFvf, const_cast<Vertex*>(aVerts.data()),
                                     static_cast<DWORD>(aVerts.size()), 0),
            D3D_OK);
}

void DeviceFixture::setBlend(DWORD dwSrc, DWORD dwDest) {
  m_pDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, dwSrc);
  m_pDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, dwDest);
}

void DeviceFixture::applySceneStates(const SceneStates& st) {
  static const DWORD kBlends[5][2] = {{D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                                      {D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                                      {D3DBLEND_ZERO, D3DBLEND_ONE},
                                      {D3DBLEND_ONE, D3DBLEND_ZERO},
                                      {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}};
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, st.nBlend == 4 ? 0 : 1);
  setBlend(kBlends[st.nBlend][0], kBlends[st.nBlend][1]);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, st.bAlphaTest || st.bStencilWrite);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHAREF, st.bStencilWrite ? 0 : st.dwColour & 0xFF);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER);
  m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILENABLE, st.bStencilWrite || st.bStencilTest);
  m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILREF, 1);
  m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILMASK, 1);
  m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFUNC, st.bStencilWrite ? D3DCMP_ALWAYS : D3DCMP_EQUAL);
  DWORD dwOp = st.bStencilWrite ? D3DSTENCILOP_REPLACE : D3DSTENCILOP_KEEP;
  m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFAIL, dwOp);
  m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILPASS, dwOp);
  m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, st.bPoint ? D3DTFG_POINT : D3DTFG_LINEAR);
}

void DeviceFixture::setView(const D3DXMATRIX& view) {
  D3DXMATRIX m = view;
  m_pDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m);
}

test::Frame DeviceFixture::frame() {
  test::Frame out;
  EXPECT_TRUE(test::readFrame(out));
  return out;
}

void DeviceFixture::clearTo(DWORD dwColour) {
  EXPECT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, dwColour, 1.0f, 0), D3D_OK);
}

}  // namespace d3d7test
