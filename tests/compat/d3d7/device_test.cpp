// Pixel tests of the software device, read back from the render target.
#include <cfloat>
#include <cmath>
#include <functional>
#include <random>
#include <set>

#include "d3d7_fixture.h"

namespace d3d7test {
namespace {

constexpr DWORD kBlack = 0xFF000000u;


std::vector<DWORD> randomTexels(std::mt19937& rng, int n, bool bOpaque) {
  std::vector<DWORD> a(static_cast<size_t>(n));
  for (DWORD& c : a) c = static_cast<DWORD>(rng()) | (bOpaque ? kBlack : 0u);
  return a;
}

class DevicePixels : public DeviceFixture {};

TEST_F(DevicePixels, UnscaledQuadReproducesTexelsOnBothPaths) {
  std::mt19937 rng(7);
  std::vector<DWORD> aTexels = randomTexels(rng, 16 * 8, true);
  IDirectDrawSurface7* pTex = makeTexture(16, 8, aTexels);
  for (bool bFast : {true, false}) {
    test::setFastPathEnabled(bFast);
    clearTo(0);
    test::startRecording();
    drawImage(pTex, 10, 7, 12, 5, 0xFFFFFFFF);  // a 12x5 image inside a 16x8 texture
    ASSERT_EQ(test::recordedCalls().back().m_eKind, test::CallKind::DrawPrimitive);
    EXPECT_EQ(test::recordedCalls().back().m_nC, bFast ? 1u : 0u);
    test::clearRecording();
    test::Frame f = frame();
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        bool bInside = x >= 10 && x < 22 && y >= 7 && y < 12;
        DWORD nWant = bInside ? aTexels[(y - 7) * 16 + (x - 10)] : kBlack;
        ASSERT_EQ(f.at(x, y), nWant) << x << "," << y << " fast=" << bFast;
      }
  }
}

TEST_F(DevicePixels, ModulateBlendAndAlphaTest) {
  // Modulate: texture x diffuse per channel, rounded.
  IDirectDrawSurface7* pTex = makeTexture(4, 4, std::vector<DWORD>(16, 0xFF804020u));
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
  drawImage(pTex, 0, 0, 4, 4, 0xFF808080u);
  EXPECT_EQ(frame().at(1, 1), 0xFF402010u);

  // Half alpha over blue: red 128, blue 127.
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  clearTo(0x0000FF);
  IDirectDrawSurface7* pRed = makeTexture(4, 4, std::vector<DWORD>(16, 0xFFFF0000u));
  drawImage(pRed, 8, 8, 4, 4, 0x80FFFFFFu);
  EXPECT_EQ(frame().at(9, 9), 0xFF80007Fu);

  // Additive: saturates at full alpha, scales by alpha otherwise.
  clearTo(0x808080);
  setBlend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
  IDirectDrawSurface7* pGrey = makeTexture(4, 4, std::vector<DWORD>(16, 0xFFC0C0C0u));
  drawImage(pGrey, 0, 0, 4, 4, 0xFFFFFFFFu);
  drawImage(pGrey, 8, 0, 4, 4, 0x80FFFFFFu);
  EXPECT_EQ(frame().at(1, 1), 0xFFFFFFFFu);
  DWORD n = 0x80 + (0xC0 * 128 + 127) / 255;
  EXPECT_EQ(frame().at(9, 1), kBlack | n << 16 | n << 8 | n);

  // Alpha test: transparent texels leave the target alone even without blending.
  clearTo(0x000000);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 1);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0);
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER);
  std::vector<DWORD> aChecker(16);
  for (int i = 0; i < 16; ++i) aChecker[i] = ((i + i / 4) % 2) ? 0xFF00FF00u : 0x0000FF00u;
  drawImage(makeTexture(4, 4, aChecker), 20, 20, 4, 4, 0xFFFFFFFFu);
  test::Frame f = frame();
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(f.at(20 + i % 4, 20 + i / 4), (aChecker[i] >> 24) ? 0xFF00FF00u : kBlack) << i;
}

// Every covered pixel must be blended exactly once: with half-transparent white on black
// a pixel is either 0 or 128, never 191 (twice) and the covered area has no holes.
void expectSingleCoverage(const test::Frame& f, int nMinCovered) {
  int nCovered = 0;
  for (DWORD c : f.m_aPixels) {
    ASSERT_TRUE(c == kBlack || c == 0xFF808080u) << std::hex << c;
    nCovered += c != kBlack;
  }
  EXPECT_GE(nCovered, nMinCovered);
}

TEST_F(DevicePixels, SharedEdgesAreDrawnOnce) {
  const DWORD kHalf = 0x80FFFFFFu;
  m_pDevice->SetTexture(0, nullptr);
  D3DXMATRIX rot, move;
  D3DXMatrixRotationZ(&rot, 0.5236f);
  D3DXMatrixTranslation(&move, 30.25f, 20.1f, 0);
  setView(rot * move);
  drawStrip({{-12, -9, 0, kHalf, 0, 0}, {12, -9, 0, kHalf, 0, 0}, {-12, 9, 0, kHalf, 0, 0}, {12, 9, 0, kHalf, 0, 0}});
  expectSingleCoverage(frame(), 300);

  // A longer zig-zag strip and a fan polygon: all inner edges shared.
  clearTo(0);
  D3DXMATRIX id;
  setView(*D3DXMatrixIdentity(&id));
  drawStrip({{2, 2, 0, kHalf, 0, 0},
             {9.5f, 1.3f, 0, kHalf, 0, 0},
             {3.1f, 20, 0, kHalf, 0, 0},
             {17.7f, 11, 0, kHalf, 0, 0},
             {6, 40.2f, 0, kHalf, 0, 0},
             {25, 44, 0, kHalf, 0, 0}});
  std::vector<Vertex> aFan = {{45, 24, 0, kHalf, 0, 0}};
  for (int i = 0; i <= 8; ++i) {
    float a = i * 0.785398f;
    aFan.push_back({45 + 15 * std::cos(a), 24 + 15 * std::sin(a), 0, kHalf, 0, 0});
  }
  drawFan(aFan);
  expectSingleCoverage(frame(), 600);

  // Two scaled quads side by side and one below, meeting at fractional coordinates:
  // no gap and no overlap at the seams.
  clearTo(0);
  auto quad = [&](float x0, float y0, float x1, float y1) {
    drawStrip({{x0, y0, 0, kHalf, 0, 0}, {x1, y0, 0, kHalf, 0, 0}, {x0, y1, 0, kHalf, 0, 0}, {x1, y1, 0, kHalf, 0, 0}});
  };
  quad(5.2f, 4.6f, 20.3f, 20.5f);
  quad(20.3f, 4.6f, 37.7f, 20.5f);
  quad(5.2f, 20.5f, 37.7f, 30.1f);
  test::Frame f = frame();
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      bool bInside = x >= 6 && x <= 37 && y >= 5 && y <= 30;
      ASSERT_EQ(f.at(x, y), bInside ? 0xFF808080u : kBlack) << x << "," << y;
    }
}

TEST_F(DevicePixels, RotatedAndScaledImages) {
  std::mt19937 rng(3);
  std::vector<DWORD> aTexels = randomTexels(rng, 4 * 2, true);
  IDirectDrawSurface7* pTex = makeTexture(4, 2, aTexels);
  m_pDevice->SetTexture(0, pTex);
  auto drawLocal = [&](float w, float h) {
    drawStrip({{0, 0, 0, 0xFFFFFFFF, 0, 0}, {w, 0, 0, 0xFFFFFFFF, 1, 0}, {0, h, 0, 0xFFFFFFFF, 0, 1},
               {w, h, 0, 0xFFFFFFFF, 1, 1}});
  };
  // 90 degrees about the sprite position (20, 10): local (lx, ly) lands on (20 - ly, 10 + lx).
  D3DXMATRIX rot, move;
  D3DXMatrixRotationZ(&rot, 90.0f * 0.01745329238474369f);
  D3DXMatrixTranslation(&move, 19.5f, 9.5f, 0);
  setView(rot * move);
  drawLocal(4, 2);
  test::Frame f = frame();
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f.at(19, 10 + i), aTexels[i]) << i;
    EXPECT_EQ(f.at(18, 10 + i), aTexels[4 + i]) << i;
  }
  EXPECT_EQ(f.at(17, 11), kBlack);
  EXPECT_EQ(f.at(20, 11), kBlack);
  EXPECT_EQ(f.at(18, 14), kBlack);

  // Twice the size: point filtering repeats each texel on 2x2 pixels, bilinear
  // filtering ramps between texel centres and clamps at the border.
  clearTo(0);
  IDirectDrawSurface7* pRamp = makeTexture(2, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu});
  m_pDevice->SetTexture(0, pRamp);
  D3DXMATRIX scale;
  D3DXMatrixScaling(&scale, 2, 2, 1);
  D3DXMatrixTranslation(&move, 9.5f, 9.5f, 0);
  setView(scale * move);
  drawLocal(2, 2);
  f = frame();
  const DWORD aLinear[4] = {0, 64, 191, 255};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(f.at(10 + i, 11), kBlack | aLinear[i] * 0x010101u) << i;
  m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  drawLocal(2, 2);
  f = frame();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(f.at(10 + i, 12), i < 2 ? kBlack : 0xFFFFFFFFu) << i;
  EXPECT_EQ(f.at(9, 12), kBlack);
  EXPECT_EQ(f.at(14, 12), kBlack);
}

TEST_F(DevicePixels, OffScreenAndHugeGeometry) {
  std::mt19937 rng(11);
  std::vector<DWORD> aTexels = randomTexels(rng, 16 * 8, true);
  IDirectDrawSurface7* pTex = makeTexture(16, 8, aTexels);
  for (bool bFast : {true, false}) {
    test::setFastPathEnabled(bFast);
    clearTo(0);
    drawImage(pTex, -5, -3, 16, 8, 0xFFFFFFFF);
    drawImage(pTex, kWidth - 4, kHeight - 2, 16, 8, 0xFFFFFFFF);
    test::Frame f = frame();
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 11; ++x) ASSERT_EQ(f.at(x, y), aTexels[(y + 3) * 16 + x + 5]);
    EXPECT_EQ(f.at(11, 0), kBlack);
    EXPECT_EQ(f.at(kWidth - 1, kHeight - 1), aTexels[16 + 3]);
  }

  // A huge quad split along a diagonal that crosses the screen through pixel centres:
  // every pixel blended exactly once.
  const DWORD kHalf = 0x80FFFFFFu;
  m_pDevice->SetTexture(0, nullptr);
  for (float fBig : {1.0e4f, 1.0e8f, 1.0e30f, FLT_MAX}) {
    clearTo(0);
    drawStrip({{-fBig, -fBig, 0, kHalf, 0, 0}, {fBig, -fBig, 0, kHalf, 0, 0}, {-fBig, fBig, 0, kHalf, 0, 0},
               {fBig, fBig, 0, kHalf, 0, 0}});
    test::Frame f = frame();
    int nHalf = 0;
    for (DWORD c : f.m_aPixels) nHalf += c == 0xFF808080u;
    if (fBig < 1.0e30f) {
      EXPECT_EQ(nHalf, kWidth * kHeight) << fBig;
    } else {
      expectSingleCoverage(f, 0);  // beyond float range: anything but garbage or a crash
    }
  }
  clearTo(0);
  drawFan({{NAN, 0, 0, kHalf, 0, 0}, {10, 0, 0, kHalf, 0, 0}, {10, 10, 0, kHalf, 0, 0}});
  drawFan({{INFINITY, 0, 0, kHalf, 0, 0}, {10, 0, 0, kHalf, 0, 0}, {10, 10, 0, kHalf, 0, 0}});
  expectSingleCoverage(frame(), 0);
}

TEST_F(DevicePixels, StencilMaskThenStencilTestedDraw) {
  std::vector<DWORD> aMask(8 * 8);
  for (int i = 0; i < 64; ++i) aMask[i] = (i % 8) < 4 ? 0xFF00FF00u : 0x00FFFFFFu;
  IDirectDrawSurface7* pMask = makeTexture(8, 8, aMask);
  for (bool bFast : {true, false}) {
    test::setFastPathEnabled(bFast);
    clearTo(0);
    // The mask sprite: stencil written where alpha > 0, colour untouched.
    setBlend(D3DBLEND_ZERO, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILENABLE, 1);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILMASK, 1);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILREF, 1);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFUNC, D3DCMP_ALWAYS);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFAIL, D3DSTENCILOP_REPLACE);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILZFAIL, D3DSTENCILOP_REPLACE);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILPASS, D3DSTENCILOP_REPLACE);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 1);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER);
    drawImage(pMask, 10, 10, 8, 8, 0xFFFFFFFF);
    test::StencilFrame s;
    ASSERT_TRUE(test::readStencil(s));
    test::Frame f = frame();
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        ASSERT_EQ(s.at(x, y), (x >= 10 && x < 14 && y >= 10 && y < 18) ? 1 : 0) << x << "," << y;
        ASSERT_EQ(f.at(x, y), kBlack);
      }

    // A full-screen opaque draw with the stencil test lands only inside the mask.
    setBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 0);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFUNC, D3DCMP_EQUAL);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFAIL, D3DSTENCILOP_KEEP);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILZFAIL, D3DSTENCILOP_KEEP);
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILPASS, D3DSTENCILOP_KEEP);
    drawImage(nullptr, 0, 0, kWidth, kHeight, 0xFFFF0000u);
    f = frame();
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) ASSERT_EQ(f.at(x, y), s.at(x, y) ? 0xFFFF0000u : kBlack) << x << "," << y;
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILENABLE, 0);
  }
}

TEST_F(DevicePixels, ClearHonoursViewportAndDropsAlpha) {
  D3DVIEWPORT7 vp = {8, 4, 16, 10, 0, 1};
  ASSERT_EQ(m_pDevice->SetViewport(&vp), D3D_OK);
  ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0x12345678u, 1, 0x7F), D3D_OK);
  test::Frame f = frame();
  test::StencilFrame s;
  ASSERT_TRUE(test::readStencil(s));
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      bool bInside = x >= 8 && x < 24 && y >= 4 && y < 14;
      ASSERT_EQ(f.at(x, y), bInside ? 0xFF345678u : kBlack);
      ASSERT_EQ(s.at(x, y), bInside ? 0x7F : 0);
    }
  vp = {0, 0, kWidth + 1, kHeight, 0, 1};
  EXPECT_EQ(m_pDevice->SetViewport(&vp), DDERR_INVALIDPARAMS);
}

TEST_F(DevicePixels, ClearOfStencilWithoutDepthSurfaceFails) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = 8;
  desc.dwHeight = 8;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  IDirectDrawSurface7* pTarget = nullptr;
  ASSERT_EQ(m_pDD->CreateSurface(&desc, &pTarget, nullptr), DD_OK);
  IDirect3DDevice7* pDevice = nullptr;
  ASSERT_EQ(m_pD3D->CreateDevice(IID_IDirect3DHALDevice, pTarget, &pDevice), D3D_OK);
  EXPECT_EQ(pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0xFFFFFF, 1, 0),
            D3DERR_STENCILBUFFER_NOTPRESENT);
  test::Frame f;
  ASSERT_TRUE(test::readFrame(f));  // the newest device is the current one
  EXPECT_EQ(f.at(0, 0), kBlack);
  EXPECT_EQ(pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFF, 1, 0), D3D_OK);
  ASSERT_TRUE(test::readFrame(f));
  EXPECT_EQ(f.at(7, 7), 0xFFFFFFFFu);
  pDevice->Release();
  pTarget->Release();
}

// Random scenes of texel-aligned quads, upright and mirrored, with every blend,
// alpha-test and stencil mix the driver uses, drawn once through the fast path and once
// through triangles.
TEST_F(DevicePixels, FastPathMatchesGeneralPath) {
  std::mt19937 rng(20240601);
  std::vector<IDirectDrawSurface7*> aTex;
  std::vector<int> aSize;
  for (int i = 0; i < 6; ++i) {
    int n = 4 << (i % 4);
    aSize.push_back(n);
    aTex.push_back(makeTexture(n, n, randomTexels(rng, n * n, false), i % 3 != 0));
  }
  std::vector<DWORD> aBlob = randomTexels(rng, 128 * 32, true);  // clear, soft and opaque runs
  for (size_t i = 0; i < aBlob.size(); ++i)
    aBlob[i] &= i % 128 < 32 || i % 128 >= 96 ? 0x00FFFFFFu : i % 128 < 40 && i / 128 % 4 == 0 ? 0x7FFFFFFFu : ~0u;
  aSize.push_back(128);
  aTex.push_back(makeTexture(128, 32, aBlob));
  struct Op {
    int nTex, x, y, w, h;
    DWORD dwColour;
    int nBlend;
    bool bAlphaTest, bStencilWrite, bStencilTest, bFilterPoint;
    float fShift;  // off the texel grid: blended rows between texels, or triangles
    bool bMirrorX, bMirrorY;
  };
  std::vector<Op> aOps;
  for (int i = 0; i < 300; ++i) {
    Op op;
    op.nTex = static_cast<int>(rng() % (aTex.size() + 1)) - 1;
    int nSize = op.nTex >= 0 ? aSize[op.nTex] : 40;
    op.w = 1 + static_cast<int>(rng() % nSize);
    op.h = 1 + static_cast<int>(rng() % std::min(nSize, 32));  // the blob is 32 high
    op.x = static_cast<int>(rng() % (kWidth + 40)) - 20;
    op.y = static_cast<int>(rng() % (kHeight + 40)) - 20;
    op.dwColour = rng() % 4 == 0 ? 0xFFFFFFFFu : static_cast<DWORD>(rng());
    op.nBlend = static_cast<int>(rng() % 5);
    op.bAlphaTest = rng() % 4 == 0;
    op.bStencilWrite = rng() % 6 == 0;
    op.bStencilTest = !op.bStencilWrite && rng() % 5 == 0;
    op.bFilterPoint = rng() % 2 == 0;
    static const float kShifts[6] = {0, 0, 0, 0, 0.5f, 0.25f};
    op.fShift = kShifts[rng() % 6];
    op.bMirrorX = rng() % 3 == 0;
    op.bMirrorY = rng() % 3 == 0;
    aOps.push_back(op);
  }
  // The blob mirrored under each blend sprites are drawn with, white, tinted and
  // translucent, cut by either side of the screen or not, at an odd and an even width.
  const int nBlob = static_cast<int>(aTex.size()) - 1;
  for (int nBlend : {0, 1, 4})
    for (DWORD dwColour : {0xFFFFFFFFu, 0xFF80C040u, 0x80FFFFFFu})
      for (int nMirror : {1, 2, 3})
        for (int x : {-19, 0, 27})
          for (int w : {45, 64})
            aOps.push_back(Op{nBlob, x, nMirror * 5, w, 20 + nMirror, dwColour, nBlend, false, false, false, x == 0,
                              0.0f, (nMirror & 1) != 0, (nMirror & 2) != 0});
  int nMirroredElsewhere = 0;
  auto render = [&](bool bFast) {
    test::setFastPathEnabled(bFast);
    test::setSpanPathEnabled(bFast);  // the triangle spans share the fast path's row kernels
    clearTo(0x204060);
    m_pDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);  // as the driver: mirrored quads wind back
    std::vector<test::Frame> aFrames;  // after each op: a later one may hide an earlier one's pixels
    for (const Op& op : aOps) {
      applySceneStates({op.nBlend, op.bAlphaTest, op.bStencilWrite, op.bStencilTest, op.bFilterPoint, op.dwColour});
      drawImage(op.nTex >= 0 ? aTex[op.nTex] : nullptr, op.x + op.fShift, op.y + op.fShift, op.w, op.h,
                op.dwColour, op.bMirrorX, op.bMirrorY);
      if (bFast && op.fShift == 0.0f && (op.bMirrorX || op.bMirrorY))
        nMirroredElsewhere += test::recordedCalls().back().m_nC == 0;
      aFrames.push_back(frame());
    }
    test::StencilFrame s;
    EXPECT_TRUE(test::readStencil(s));
    return std::make_pair(aFrames, s);
  };
  test::startRecording();
  auto fast = render(true);
  int nFast = 0;
  for (const test::Call& call : test::recordedCalls())
    nFast += call.m_eKind == test::CallKind::DrawPrimitive && call.m_nC == 1;
  EXPECT_GT(nFast, 150);
  EXPECT_EQ(0, nMirroredElsewhere) << "mirrored on the grid, the fast path draws them too";
  auto general = render(false);
  for (size_t i = 0; i < aOps.size(); ++i) ASSERT_EQ(fast.first[i].m_aPixels, general.first[i].m_aPixels) << "op " << i;
  EXPECT_EQ(fast.second.m_aValues, general.second.m_aValues);
}

// Texels in runs of fully opaque, fully clear and random alpha, as sprites have them.
std::vector<DWORD> spriteTexels(std::mt19937& rng, int n) {
  std::vector<DWORD> a(static_cast<size_t>(n));
  for (size_t i = 0; i < a.size();) {
    DWORD nKind = rng() % 3;
    for (size_t nEnd = std::min(a.size(), i + 1 + rng() % 8); i < nEnd; ++i) {
      DWORD nAlpha = nKind == 0 ? 0xFF000000u : nKind == 1 ? 0u : static_cast<DWORD>(rng()) & 0xFF000000u;
      a[i] = (static_cast<DWORD>(rng()) & 0x00FFFFFFu) | nAlpha;
    }
  }
  return a;
}

// Random rotated, scaled and axis-aligned quads with every state mix, drawn once through
// the fast path and the span kernels and once pixel by pixel: the same pixels.
TEST_F(DevicePixels, SpanPathMatchesPerPixelShading) {
  std::mt19937 rng(77);
  std::vector<IDirectDrawSurface7*> aTex;
  std::vector<std::pair<int, int>> aSize;
  for (int i = 0; i < 8; ++i) {
    int w = 1 << (i % 6), h = 1 << ((i + 3) % 6);
    aSize.push_back({w, h});
    aTex.push_back(makeTexture(w, h, spriteTexels(rng, w * h), i % 3 != 0));
  }
  std::vector<std::function<void()>> aOps;
  for (int i = 0; i < 400; ++i) {
    int nTex = static_cast<int>(rng() % (aTex.size() + 1)) - 1;
    int w = nTex >= 0 ? aSize[nTex].first : 16, h = nTex >= 0 ? aSize[nTex].second : 16;
    float fAngle = rng() % 3 == 0 ? 0.0f : static_cast<float>(rng() % 6283) / 1000.0f;
    float fScale = rng() % 3 == 0 ? 1.0f : 0.3f + static_cast<float>(rng() % 300) / 100.0f;
    float x = static_cast<float>(rng() % (kWidth + 20)) - 10.5f, y = static_cast<float>(rng() % (kHeight + 20)) - 10.5f;
    // Texture coordinates past the border now and then, so that sampling clamps.
    float fU0 = rng() % 4 == 0 ? -0.3f : 0.0f, fU1 = rng() % 4 == 0 ? 1.4f : 1.0f;
    DWORD dwColour = rng() % 2 ? 0xFFFFFFFFu : static_cast<DWORD>(rng());
    DWORD dwOther = rng() % 8 == 0 ? static_cast<DWORD>(rng()) : dwColour;  // gouraud now and then
    int nBlend = static_cast<int>(rng() % 5);
    bool bPoint = rng() % 3 == 0, bAlphaTest = rng() % 8 == 0, bStencilWrite = rng() % 10 == 0;
    bool bStencilTest = !bStencilWrite && rng() % 8 == 0;
    aOps.push_back([=] {
      applySceneStates({nBlend, bAlphaTest, bStencilWrite, bStencilTest, bPoint, dwColour});
      m_pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, bPoint ? D3DTFN_POINT : D3DTFN_LINEAR);
      m_pDevice->SetTexture(0, nTex >= 0 ? aTex[nTex] : nullptr);
      D3DXMATRIX scale, rot, move;
      D3DXMatrixScaling(&scale, fScale, fScale, 1);
      D3DXMatrixRotationZ(&rot, fAngle);
      D3DXMatrixTranslation(&move, x, y, 0);
      setView(scale * rot * move);
      float fW = static_cast<float>(w), fH = static_cast<float>(h);
      drawStrip({{0, 0, 0, dwColour, fU0, 0},
                 {fW, 0, 0, dwColour, fU1, 0},
                 {0, fH, 0, dwOther, fU0, 1},
                 {fW, fH, 0, dwColour, fU1, 1}});
    });
  }
  // Scenes of a few quads each, so that little of what is drawn gets covered again.
  auto render = [&](bool bSpecialised, size_t nFirst) {
    test::setFastPathEnabled(bSpecialised);
    test::setSpanPathEnabled(bSpecialised);
    m_pDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    clearTo(0x204060);
    for (size_t i = nFirst; i < nFirst + 8; ++i) aOps[i]();
    test::StencilFrame s;
    EXPECT_TRUE(test::readStencil(s));
    return std::make_pair(frame(), s);
  };
  for (size_t nFirst = 0; nFirst < aOps.size(); nFirst += 8) {
    auto specialised = render(true, nFirst);
    auto generic = render(false, nFirst);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        ASSERT_EQ(specialised.first.at(x, y), generic.first.at(x, y)) << x << "," << y << " scene " << nFirst;
        ASSERT_EQ(specialised.second.at(x, y), generic.second.at(x, y)) << x << "," << y << " scene " << nFirst;
      }
  }
}

TEST_F(DevicePixels, CullingFollowsWinding) {
  const DWORD kWhite = 0xFFFFFFFFu;
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
  m_pDevice->SetTexture(0, nullptr);
  std::vector<Vertex> aClockwise = {
      {0, 0, 0, kWhite, 0, 0}, {8, 0, 0, kWhite, 0, 0}, {0, 8, 0, kWhite, 0, 0}, {8, 8, 0, kWhite, 0, 0}};
  std::vector<Vertex> aCounter = {aClockwise[1], aClockwise[0], aClockwise[3], aClockwise[2]};
  m_pDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
  drawStrip(aCounter);
  EXPECT_EQ(frame().at(4, 4), kBlack);
  drawStrip(aClockwise);
  EXPECT_EQ(frame().at(4, 4), kWhite);
  clearTo(0);
  m_pDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
  drawStrip(aClockwise);
  EXPECT_EQ(frame().at(4, 4), kBlack);
  drawStrip(aCounter);
  EXPECT_EQ(frame().at(4, 4), kWhite);
}

TEST_F(DevicePixels, RefusesWhatItDoesNotImplementAndRecordsCalls) {
  EXPECT_EQ(m_pDevice->SetRenderState(static_cast<D3DRENDERSTATETYPE>(99), 0), DDERR_INVALIDPARAMS);
  EXPECT_EQ(m_pDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, 9), DDERR_INVALIDPARAMS);
  EXPECT_EQ(m_pDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, 1), DDERR_INVALIDPARAMS);  // wrap
  EXPECT_EQ(m_pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE), DDERR_INVALIDPARAMS);
  Vertex v[3] = {};
  EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_XYZ, v, 3, 0), DDERR_INVALIDPARAMS);
  EXPECT_EQ(m_pDevice->BeginScene(), D3DERR_SCENE_IN_SCENE);
  ASSERT_EQ(m_pDevice->EndScene(), D3D_OK);
  EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, kFvf, v, 3, 0), D3DERR_SCENE_NOT_IN_SCENE);
  ASSERT_EQ(m_pDevice->BeginScene(), D3D_OK);

  test::startRecording();
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  m_pDevice->SetTexture(0, nullptr);
  drawFan({v[0], v[1], v[2]});
  test::stopRecording();
  m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  const std::vector<test::Call>& calls = test::recordedCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].m_eKind, test::CallKind::SetRenderState);
  EXPECT_EQ(calls[0].m_nA, static_cast<DWORD>(D3DRENDERSTATE_ALPHABLENDENABLE));
  EXPECT_EQ(calls[1].m_eKind, test::CallKind::SetTexture);
  EXPECT_EQ(calls[2].m_eKind, test::CallKind::DrawPrimitive);
  EXPECT_EQ(test::countCalls(test::CallKind::SetRenderState), 1);
}

}  // namespace
}  // namespace d3d7test
