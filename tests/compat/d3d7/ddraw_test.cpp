// DirectDraw objects, presentation, D3DX and the fault hooks.
#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "d3d7_fixture.h"

namespace d3d7test {
namespace {

DDSURFACEDESC2 plainDesc(int w, int h, DWORD dwCaps) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = w;
  desc.dwHeight = h;
  desc.ddsCaps.dwCaps = dwCaps;
  return desc;
}

// The window's pixel at (x, y) as 0xRRGGBB, whatever its depth.
DWORD windowPixel(int x, int y) {
  SDL_Surface* pScreen = SDL_GetVideoSurface();
  const Uint8* pAt =
      static_cast<const Uint8*>(pScreen->pixels) + y * pScreen->pitch + x * pScreen->format->BytesPerPixel;
  Uint32 c = pScreen->format->BytesPerPixel == 4 ? *reinterpret_cast<const Uint32*>(pAt)
                                                 : *reinterpret_cast<const Uint16*>(pAt);
  Uint8 r8, g8, b8;
  SDL_GetRGB(c, pScreen->format, &r8, &g8, &b8);
  return static_cast<DWORD>(r8 << 16 | g8 << 8 | b8);
}

class DirectDrawObjects : public DeviceFixture {};

TEST_F(DirectDrawObjects, CreationChecksAndDisplayMode) {
  void* p = nullptr;
  EXPECT_EQ(DirectDrawCreateEx(nullptr, &p, IID_IDirect3D7, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(m_pDD->QueryInterface(IID_IDirect3DHALDevice, &p), E_NOINTERFACE);

  DDSURFACEDESC2 mode;
  ASSERT_EQ(m_pDD->GetDisplayMode(&mode), DD_OK);
  EXPECT_EQ(mode.dwWidth, static_cast<DWORD>(kWidth));
  EXPECT_EQ(mode.dwHeight, static_cast<DWORD>(kHeight));
  EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 32u);
  DDSURFACEDESC2 desc;
  ASSERT_EQ(m_pPrimary->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, static_cast<DWORD>(kWidth));

  // A flipping primary needs exclusive mode; its back buffer belongs to it.
  DDSURFACEDESC2 flip = {};
  flip.dwSize = sizeof(flip);
  flip.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  flip.dwBackBufferCount = 1;
  flip.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  IDirectDrawSurface7* pFlip = nullptr;
  EXPECT_EQ(m_pDD->CreateSurface(&flip, &pFlip, nullptr), DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(m_pDD->SetDisplayMode(kWidth, kHeight, 32, 0, 0), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(m_pDD->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  ASSERT_EQ(m_pDD->SetDisplayMode(kWidth, kHeight, 16, 0, 0), DD_OK);
  ASSERT_EQ(m_pDD->GetDisplayMode(&mode), DD_OK);
  EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
  ASSERT_EQ(m_pDD->CreateSurface(&flip, &pFlip, nullptr), DD_OK);
  DDSCAPS2 caps = {DDSCAPS_BACKBUFFER, 0, 0, 0};
  IDirectDrawSurface7* pFlipBack = nullptr;
  ASSERT_EQ(pFlip->GetAttachedSurface(&caps, &pFlipBack), DD_OK);
  IDirect3DDevice7* pDevice = nullptr;
  ASSERT_EQ(m_pD3D->CreateDevice(IID_IDirect3DHALDevice, pFlipBack, &pDevice), D3D_OK);
  pDevice->Release();
  pFlip->Release();  // the back buffer is only forgotten, as its owner is gone
}

TEST_F(DirectDrawObjects, LockGivesPitchAndFormatOnce) {
  DDSURFACEDESC2 desc = plainDesc(10, 3, DDSCAPS_OFFSCREENPLAIN);
  IDirectDrawSurface7* pSurface = nullptr;
  ASSERT_EQ(m_pDD->CreateSurface(&desc, &pSurface, nullptr), DD_OK);
  RECT r = {2, 1, 5, 3};
  ASSERT_EQ(pSurface->Lock(&r, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(desc.lPitch, 40);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x00FF0000u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBAlphaBitMask, 0u);
  static_cast<DWORD*>(desc.lpSurface)[0] = 0x00ABCDEF;
  DDSURFACEDESC2 again;
  EXPECT_EQ(pSurface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  ASSERT_EQ(pSurface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(pSurface->Unlock(nullptr), DDERR_NOTLOCKED);
  test::Frame f;
  ASSERT_TRUE(test::readSurface(pSurface, f));
  EXPECT_EQ(f.at(2, 1), 0xFFABCDEFu);
  RECT outside = {0, 0, 11, 1};
  EXPECT_EQ(pSurface->Lock(&outside, &desc, 0, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(m_pPrimary->Lock(nullptr, &desc, 0, nullptr), DDERR_UNSUPPORTED);
  pSurface->Release();
}

TEST_F(DirectDrawObjects, PresentCopiesTheBackBufferToTheWindow) {
  m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00336699u, 1, 0);
  D3DRECT r = {5, 6, 7, 8};
  m_pDevice->Clear(1, &r, D3DCLEAR_TARGET, 0x00FF0000u, 1, 0);
  IDirectDrawClipper* pClipper = nullptr;
  ASSERT_EQ(m_pDD->CreateClipper(0, &pClipper, nullptr), DD_OK);
  pClipper->SetHWnd(0, nullptr);
  m_pPrimary->SetClipper(pClipper);
  pClipper->Release();  // the primary holds it
  RECT client = {0, 0, kWidth, kHeight};
  ASSERT_EQ(m_pPrimary->Blt(&client, m_pBack, &client, DDBLT_WAIT, nullptr), DD_OK);
  ASSERT_EQ(SDL_GetVideoSurface()->format->BitsPerPixel, 32);
  EXPECT_EQ(windowPixel(0, 0), 0x336699u);
  EXPECT_EQ(windowPixel(6, 7), 0xFF0000u);
  RECT half = {0, 0, kWidth / 2, kHeight};
  EXPECT_EQ(m_pPrimary->Blt(&half, m_pBack, &client, DDBLT_WAIT, nullptr), DDERR_UNSUPPORTED);
  // The back buffer keeps its pixels after presenting.
  test::Frame f = frame();
  EXPECT_EQ(f.at(6, 7), 0xFFFF0000u);
}

// Shown whole in a window of its own layout, the back buffer is drawn straight into the
// window's pixels. It takes pixels of its own back, with its contents, when another
// surface or only part of it is shown or the shared screen is off, and cleared ones when
// SDL replaces the window's pixels, which it must not write into any more.
TEST_F(DirectDrawObjects, SharedScreenFollowsWhatTheWindowShows) {
  DDSURFACEDESC2 desc = plainDesc(kWidth, kHeight, DDSCAPS_OFFSCREENPLAIN);
  IDirectDrawSurface7* pOther = nullptr;
  ASSERT_EQ(m_pDD->CreateSurface(&desc, &pOther, nullptr), DD_OK);
  ASSERT_EQ(pOther->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  std::fill_n(static_cast<DWORD*>(desc.lpSurface), kWidth * kHeight, 0x0000FFu);
  pOther->Unlock(nullptr);
  enum Shown { kNothing, kWhole, kHalf, kOther, kOtherWhileLocked };
  constexpr DWORD kKept = 0xFFFFFFFFu;
  struct Step {
    const char* pszWhat;
    int nWindowWidth, nBpp;  // a window set first (0: the one there is)
    bool bShared;            // the test switch
    DWORD dwDrawn;           // the back buffer cleared to it, or kKept
    Shown eShown;
    bool bShares;
    DWORD dwBack, dwWindow;  // at (3, 3), as 0xRRGGBB
  };
  const Step aSteps[] = {{"shown whole", 0, 0, true, 0xFF0000, kWhole, true, 0xFF0000, 0xFF0000},
                         {"another shown", 0, 0, true, 0x00FF00, kOther, false, 0x00FF00, 0x0000FF},
                         {"shown again", 0, 0, true, kKept, kWhole, true, 0x00FF00, 0x00FF00},
                         {"another while locked", 0, 0, true, kKept, kOtherWhileLocked, true, 0x00FF00, 0x00FF00},
                         {"half shown", 0, 0, true, 0x808080, kHalf, false, 0x808080, 0x808080},
                         {"shared screen off", 0, 0, false, 0xFFFF00, kWhole, false, 0xFFFF00, 0xFFFF00},
                         {"drawn, not shown", 0, 0, false, 0x112233, kNothing, false, 0x112233, 0xFFFF00},
                         {"shared screen on", 0, 0, true, kKept, kWhole, true, 0x112233, 0x112233},
                         {"window replaced", kWidth + 8, 32, true, kKept, kNothing, false, 0x000000, 0x000000},
                         {"wider window", 0, 0, true, 0xFFFFFF, kWhole, false, 0xFFFFFF, 0xFFFFFF},
                         {"16-bit window", kWidth, 16, true, 0x00FFFF, kWhole, false, 0x00FFFF, 0x00FFFF}};
  RECT whole = {0, 0, kWidth, kHeight}, half = {0, 0, kWidth / 2, kHeight};
  for (const Step& step : aSteps) {
    if (step.nWindowWidth) ASSERT_NE(SDL_SetVideoMode(step.nWindowWidth, kHeight, step.nBpp, 0), nullptr);
    test::setSharedScreenEnabled(step.bShared);
    if (step.dwDrawn != kKept) clearTo(step.dwDrawn);
    DDSURFACEDESC2 locked = {};
    if (step.eShown == kOtherWhileLocked) ASSERT_EQ(m_pBack->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
    RECT* pRect = step.eShown == kHalf ? &half : &whole;
    HRESULT hrWant = step.eShown == kOtherWhileLocked ? DDERR_SURFACEBUSY : DD_OK;
    if (step.eShown != kNothing)
      EXPECT_EQ(m_pPrimary->Blt(pRect, step.eShown >= kOther ? pOther : m_pBack, pRect, DDBLT_WAIT, nullptr), hrWant)
          << step.pszWhat;
    if (step.eShown == kOtherWhileLocked) m_pBack->Unlock(nullptr);
    EXPECT_EQ(m_pBack->sharesScreen(), step.bShares) << step.pszWhat;
    EXPECT_EQ(frame().at(3, 3), 0xFF000000u | step.dwBack) << step.pszWhat;
    EXPECT_EQ(windowPixel(3, 3), step.dwWindow) << step.pszWhat;
  }
  pOther->Release();
}

TEST_F(DirectDrawObjects, DepthFormatsAndAttachment) {
  std::vector<DDPIXELFORMAT> aFormats;
  auto collect = [](DDPIXELFORMAT* pFormat, void* pContext) -> HRESULT {
    static_cast<std::vector<DDPIXELFORMAT>*>(pContext)->push_back(*pFormat);
    return D3DENUMRET_OK;
  };
  ASSERT_EQ(m_pD3D->EnumZBufferFormats(IID_IDirect3DHALDevice, collect, &aFormats), D3D_OK);
  ASSERT_EQ(aFormats.size(), 2u);
  EXPECT_EQ(aFormats[0].dwStencilBitDepth, 0u);
  EXPECT_EQ(aFormats[1].dwStencilBitDepth, 8u);

  DDSURFACEDESC2 desc = plainDesc(kWidth, kHeight, DDSCAPS_ZBUFFER);
  desc.dwFlags |= DDSD_PIXELFORMAT;
  desc.ddpfPixelFormat = aFormats[1];
  IDirectDrawSurface7* pDepth = nullptr;
  ASSERT_EQ(m_pDD->CreateSurface(&desc, &pDepth, nullptr), DD_OK);
  EXPECT_EQ(m_pBack->AddAttachedSurface(pDepth), DDERR_SURFACEALREADYATTACHED);
  DDSURFACEDESC2 small = plainDesc(8, 8, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  IDirectDrawSurface7* pSmall = nullptr;
  ASSERT_EQ(m_pDD->CreateSurface(&small, &pSmall, nullptr), DD_OK);
  EXPECT_EQ(pSmall->AddAttachedSurface(pDepth), DDERR_CANNOTATTACHSURFACE);  // size differs
  DDSCAPS2 caps = {DDSCAPS_ZBUFFER, 0, 0, 0};
  IDirectDrawSurface7* pFound = nullptr;
  ASSERT_EQ(m_pBack->GetAttachedSurface(&caps, &pFound), DD_OK);
  EXPECT_EQ(pFound, m_pDepth);
  pFound->Release();
  pSmall->Release();
  pDepth->Release();
}

TEST_F(DirectDrawObjects, TexturesAreCountedAndRoundedUp) {
  int nBefore = test::liveTextureCount();
  DWORD w = 100, h = 3;
  D3DX_SURFACEFORMAT eFormat = D3DX_SF_R8G8B8;
  IDirectDrawSurface7* pTex = nullptr;
  ASSERT_EQ(D3DXCreateTexture(m_pDevice, nullptr, &w, &h, &eFormat, nullptr, &pTex, nullptr), D3D_OK);
  EXPECT_EQ(w, 128u);
  EXPECT_EQ(h, 4u);
  EXPECT_EQ(eFormat, D3DX_SF_X8R8G8B8);
  EXPECT_EQ(test::liveTextureCount(), nBefore + 1);
  DDSURFACEDESC2 desc;
  ASSERT_EQ(pTex->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 128u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwFlags & DDPF_ALPHAPIXELS, 0u);
  // The device keeps a bound texture alive until another one is bound.
  m_pDevice->SetTexture(0, pTex);
  pTex->Release();
  EXPECT_EQ(test::liveTextureCount(), nBefore + 1);
  m_pDevice->SetTexture(0, nullptr);
  EXPECT_EQ(test::liveTextureCount(), nBefore);

  D3DXUninitialize();
  EXPECT_EQ(D3DXCreateTexture(m_pDevice, nullptr, &w, &h, &eFormat, nullptr, &pTex, nullptr), D3DXERR_NOTINITIALIZED);
  EXPECT_EQ(pTex, nullptr);
  D3DXInitialize();
}

TEST(D3DXMatrices, ProjectionRotationAndProductOrder) {
  using namespace dx7;
  auto apply = [](const D3DXMATRIX& m, float x, float y) {
    return std::make_pair(x * m.m[0][0] + y * m.m[1][0] + m.m[3][0], x * m.m[0][1] + y * m.m[1][1] + m.m[3][1]);
  };
  D3DXMATRIX ortho;
  D3DXMatrixOrthoOffCenterLH(&ortho, -100, 700, 600, 0, -1, 1);
  auto p = apply(ortho, -100, 0);
  EXPECT_FLOAT_EQ(p.first, -1);
  EXPECT_FLOAT_EQ(p.second, 1);
  p = apply(ortho, 700, 600);
  EXPECT_FLOAT_EQ(p.first, 1);
  EXPECT_FLOAT_EQ(p.second, -1);
  EXPECT_FLOAT_EQ(ortho.m[2][2], 0.5f);
  EXPECT_FLOAT_EQ(ortho.m[3][2], 0.5f);

  D3DXMATRIX rot, move, scale;
  D3DXMatrixRotationZ(&rot, 3.14159265f / 2);
  D3DXMatrixTranslation(&move, 10, 20, 0);
  D3DXMatrixScaling(&scale, 2, 3, 1);
  p = apply(scale * rot * move, 1, 0);  // scale, then turn +x onto +y, then move
  EXPECT_NEAR(p.first, 10, 1e-5);
  EXPECT_NEAR(p.second, 22, 1e-5);
  D3DXMATRIX alias = scale;
  D3DXMatrixMultiply(&alias, &alias, &move);
  p = apply(alias, 1, 1);
  EXPECT_FLOAT_EQ(p.first, 12);
  EXPECT_FLOAT_EQ(p.second, 23);
}

TEST_F(DirectDrawObjects, InjectedFailures) {
  void* p = nullptr;
  test::failNext(test::Fault::DirectDrawCreate);
  EXPECT_EQ(DirectDrawCreateEx(nullptr, &p, IID_IDirectDraw7, nullptr), DDERR_OUTOFMEMORY);
  test::failNext(test::Fault::D3DXInitialize);
  EXPECT_TRUE(FAILED(D3DXInitialize()));

  // The second surface request fails, the first and third succeed.
  test::failNext(test::Fault::CreateSurface, 1, 1);
  DDSURFACEDESC2 desc = plainDesc(4, 4, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  IDirectDrawSurface7* aSurfaces[3] = {};
  EXPECT_EQ(m_pDD->CreateSurface(&desc, &aSurfaces[0], nullptr), DD_OK);
  EXPECT_EQ(m_pDD->CreateSurface(&desc, &aSurfaces[1], nullptr), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(aSurfaces[1], nullptr);
  EXPECT_EQ(m_pDD->CreateSurface(&desc, &aSurfaces[2], nullptr), DD_OK);

  test::failNext(test::Fault::AttachSurface);
  DDSURFACEDESC2 depth = plainDesc(4, 4, DDSCAPS_ZBUFFER);
  depth.dwFlags |= DDSD_PIXELFORMAT;
  depth.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER;
  IDirectDrawSurface7* pDepth = nullptr;
  ASSERT_EQ(m_pDD->CreateSurface(&depth, &pDepth, nullptr), DD_OK);
  EXPECT_EQ(aSurfaces[0]->AddAttachedSurface(pDepth), DDERR_CANNOTATTACHSURFACE);
  EXPECT_EQ(aSurfaces[0]->AddAttachedSurface(pDepth), DD_OK);

  test::failNext(test::Fault::CreateDevice);
  IDirect3DDevice7* pDevice = nullptr;
  EXPECT_EQ(m_pD3D->CreateDevice(IID_IDirect3DHALDevice, aSurfaces[0], &pDevice), D3DERR_INVALID_DEVICE);
  EXPECT_EQ(pDevice, nullptr);

  test::failNext(test::Fault::Lock);
  EXPECT_EQ(aSurfaces[2]->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);

  int nTextures = test::liveTextureCount();
  test::failNext(test::Fault::CreateTexture);
  DWORD w = 8, h = 8;
  IDirectDrawSurface7* pTex = nullptr;
  EXPECT_EQ(D3DXCreateTexture(m_pDevice, nullptr, &w, &h, nullptr, nullptr, &pTex, nullptr),
            D3DXERR_TEXTURECREATEFAILED);
  EXPECT_EQ(test::liveTextureCount(), nTextures);

  m_pDevice->EndScene();
  test::failNext(test::Fault::BeginScene);
  EXPECT_EQ(m_pDevice->BeginScene(), DDERR_SURFACELOST);
  EXPECT_EQ(m_pDevice->BeginScene(), D3D_OK);

  pDepth->Release();
  for (IDirectDrawSurface7* pSurface : aSurfaces)
    if (pSurface) pSurface->Release();
}

TEST_F(DirectDrawObjects, LostDeviceUntilRestoredOrRecreated) {
  m_pDevice->EndScene();
  test::loseDevice();
  EXPECT_EQ(m_pDD->TestCooperativeLevel(), DDERR_WRONGMODE);
  EXPECT_EQ(m_pBack->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(m_pDevice->BeginScene(), DDERR_SURFACELOST);
  RECT client = {0, 0, kWidth, kHeight};
  EXPECT_EQ(m_pPrimary->Blt(&client, m_pBack, &client, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(m_pBack->Restore(), DDERR_WRONGMODE);  // not while the mode is wrong

  // A DirectDraw object made after the loss works at once (the windowed recovery).
  IDirectDraw7* pFresh = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&pFresh), IID_IDirectDraw7, nullptr), DD_OK);
  EXPECT_EQ(pFresh->TestCooperativeLevel(), DD_OK);
  pFresh->Release();

  // Full-screen recovery: the mode comes back, then surfaces are restored.
  test::regainDevice();
  EXPECT_EQ(m_pDD->TestCooperativeLevel(), DD_OK);
  EXPECT_EQ(m_pBack->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(m_pBack->Restore(), DD_OK);
  EXPECT_EQ(m_pPrimary->Restore(), DD_OK);
  EXPECT_EQ(m_pDevice->BeginScene(), D3D_OK);
  EXPECT_EQ(m_pPrimary->Blt(&client, m_pBack, &client, DDBLT_WAIT, nullptr), DD_OK);
}

TEST_F(DirectDrawObjects, FlipReportsStillDrawingAndLoss) {
  ASSERT_EQ(m_pDD->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  DDSURFACEDESC2 flip = {};
  flip.dwSize = sizeof(flip);
  flip.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  flip.dwBackBufferCount = 1;
  flip.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  IDirectDrawSurface7* pFlip = nullptr;
  ASSERT_EQ(m_pDD->CreateSurface(&flip, &pFlip, nullptr), DD_OK);
  test::failNext(test::Fault::Flip, 2);
  EXPECT_EQ(pFlip->Flip(nullptr, DDFLIP_WAIT), DDERR_WASSTILLDRAWING);
  EXPECT_EQ(pFlip->Flip(nullptr, DDFLIP_WAIT), DDERR_WASSTILLDRAWING);
  EXPECT_EQ(pFlip->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  test::loseDevice(DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(pFlip->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
  EXPECT_EQ(m_pDD->TestCooperativeLevel(), DDERR_NOEXCLUSIVEMODE);
  pFlip->Release();
}

}  // namespace
}  // namespace d3d7test
