// The prepared paths of the software device (upright quads walking a texture's alpha runs,
// bilinear spans sampled two pixels at a time and reading copied texture borders,
// eight-pixel rows where there is AVX2)
// against the plain ones, pixel for pixel.
#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "d3d7_fixture.h"

namespace d3d7test {
namespace {

// Sprite-like texels: clear outside an ellipse, opaque inside a smaller one, random alpha
// in the ring between, so rows have long clear and opaque runs and soft edges.
std::vector<DWORD> spriteTexels(std::mt19937& rng, int w, int h) {
  std::vector<DWORD> a(static_cast<size_t>(w) * h);
  double fInner = 0.4 + (rng() % 40) / 100.0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double dx = (x + 0.5) / w * 2 - 1, dy = (y + 0.5) / h * 2 - 1, d = std::sqrt(dx * dx + dy * dy);
      DWORD nAlpha = d < fInner ? 255u : d < 1.0 ? static_cast<DWORD>(rng() % 256) : 0u;
      if (y % 5 == 0 && x % 7 == 0) nAlpha = rng() % 256;  // breaks some runs up
      a[static_cast<size_t>(y) * w + x] = (nAlpha << 24) | (static_cast<DWORD>(rng()) & 0x00FFFFFFu);
    }
  return a;
}

// Makes some clear texels opaque and some opaque ones clear, through Lock.
void scribble(IDirectDrawSurface7* pTexture, std::mt19937& rng) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(pTexture->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  for (DWORD y = 0; y < desc.dwHeight; ++y) {
    DWORD* pRow = reinterpret_cast<DWORD*>(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch);
    DWORD x0 = static_cast<DWORD>(rng() % desc.dwWidth), x1 = std::min<DWORD>(desc.dwWidth, x0 + 1 + rng() % 12);
    for (DWORD x = x0; x < x1; ++x) pRow[x] ^= 0xFF000000u;
  }
  pTexture->Unlock(nullptr);
}

// Flat blocks of nBlockW x nBlockH texels, clear ones of two colours, opaque and half-clear
// ones, in a diagonal pattern moved on by nShift.
std::vector<DWORD> flatBlocks(int w, int h, int nBlockW, int nBlockH, int nShift) {
  static const DWORD kPalette[6] = {0x00000000u, 0x00FF8040u, 0xFF3060C0u, 0xFFFFFFFFu, 0x80E0A020u, 0x01102030u};
  std::vector<DWORD> a(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      a[static_cast<size_t>(y) * w + x] = kPalette[(x / nBlockW * 7 + y / nBlockH * 3 + nShift) % 6];
  return a;
}

// Clears the texels within aMargin (left, top, right, bottom) of the sides.
void clearMargins(std::vector<DWORD>& a, int w, int h, const int (&aMargin)[4]) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (x < aMargin[0] || y < aMargin[1] || x >= w - aMargin[2] || y >= h - aMargin[3])
        a[static_cast<size_t>(y) * w + x] &= 0x00FFFFFFu;
}

// A picture w x h in a texture that may be larger.
struct Picture {
  IDirectDrawSurface7* pSurface;
  int w, h, nTexW, nTexH;
};

class PreparedPaths : public DeviceFixture {
 protected:
  Picture picture(int w, int h, const std::vector<DWORD>& aTexels, bool bAlpha) {
    IDirectDrawSurface7* p = makeTexture(w, h, aTexels, bAlpha);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    p->GetSurfaceDesc(&desc);
    return {p, w, h, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight)};
  }
  // The picture from texel (u0, v0) on, bound and drawn from (0, 0) under the view set,
  // fStretch wider than its texels.
  void drawPart(const Picture& pic, int u0, int v0, DWORD dwColour, float fStretch = 0.0f) {
    m_pDevice->SetTexture(0, pic.pSurface);
    float fW = static_cast<float>(pic.w - u0) + fStretch, fH = static_cast<float>(pic.h - v0);
    float fU0 = static_cast<float>(u0) / pic.nTexW, fV0 = static_cast<float>(v0) / pic.nTexH;
    float fU1 = static_cast<float>(pic.w) / pic.nTexW, fV1 = static_cast<float>(pic.h) / pic.nTexH;
    drawStrip({{0, 0, 0, dwColour, fU0, fV0},
               {fW, 0, 0, dwColour, fU1, fV0},
               {0, fH, 0, dwColour, fU0, fV1},
               {fW, fH, 0, dwColour, fU1, fV1}});
  }
};

// Scenes of upright, turned and scaled sprites in every blend the driver uses, with plain
// and tinted colours, some reaching past the target's edges; each drawn prepared and plain.
// Textures change between scenes, so runs or passes made from old contents would show.
TEST_F(PreparedPaths, MatchThePlainPathsAndFollowTextureChanges) {
  std::mt19937 rng(4242);
  std::vector<IDirectDrawSurface7*> aTex;
  std::vector<std::pair<int, int>> aSize;
  for (int i = 0; i < 6; ++i) {
    // Wide enough for long runs; the target is smaller, so many rows are clipped.
    int w = 5 + static_cast<int>(rng() % 250), h = 5 + static_cast<int>(rng() % 30);
    aSize.push_back({w, h});
    aTex.push_back(makeTexture(w, h, spriteTexels(rng, w, h)));
  }
  struct Op {
    int nTex;
    float x, y, fAngle, fScale;
    DWORD dwColour;
    bool bAdd;
  };
  auto randomOp = [&] {
    Op op;
    op.nTex = static_cast<int>(rng() % aTex.size());
    op.x = static_cast<float>(static_cast<int>(rng() % (kWidth + 60)) - aSize[op.nTex].first / 2);
    op.y = static_cast<float>(static_cast<int>(rng() % (kHeight + 30)) - 15);
    bool bUpright = rng() % 3 != 0;
    op.fAngle = bUpright ? 0.0f : static_cast<float>(rng() % 6283) / 1000.0f;
    op.fScale = bUpright ? 1.0f : 0.4f + static_cast<float>(rng() % 250) / 100.0f;
    static const DWORD kColours[4] = {0xFFFFFFFFu, 0xFF80C0FFu, 0x80FFFFFFu, 0x40A0FF20u};
    op.dwColour = kColours[rng() % 4];
    op.bAdd = rng() % 4 == 0;
    return op;
  };
  auto draw = [&](const Op& op) {
    setBlend(D3DBLEND_SRCALPHA, op.bAdd ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
    m_pDevice->SetTexture(0, aTex[op.nTex]);
    D3DXMATRIX scale, rot, move;
    D3DXMatrixScaling(&scale, op.fScale, op.fScale, 1);
    D3DXMatrixRotationZ(&rot, op.fAngle);
    D3DXMatrixTranslation(&move, op.x - 0.5f, op.y - 0.5f, 0);
    setView(scale * rot * move);
    // The texture may have been made larger than asked for.
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    aTex[op.nTex]->GetSurfaceDesc(&desc);
    float fW = static_cast<float>(aSize[op.nTex].first), fH = static_cast<float>(aSize[op.nTex].second);
    float fU = fW / desc.dwWidth, fV = fH / desc.dwHeight;
    drawStrip({{0, 0, 0, op.dwColour, 0, 0},
               {fW, 0, 0, op.dwColour, fU, 0},
               {0, fH, 0, op.dwColour, 0, fV},
               {fW, fH, 0, op.dwColour, fU, fV}});
  };
  auto render = [&](bool bPrepared, const std::vector<Op>& aOps) {
    test::setAlphaRunPathEnabled(bPrepared);
    test::setVectorSamplerEnabled(bPrepared);
    test::setWideVectorsEnabled(bPrepared);
    test::setBorderedTexturesEnabled(bPrepared);
    clearTo(0x204060);
    for (const Op& op : aOps) draw(op);
    return frame();
  };
  test::startRecording();
  for (int nScene = 0; nScene < 40; ++nScene) {
    std::vector<Op> aOps;
    for (int i = 0; i < 12; ++i) aOps.push_back(randomOp());
    // One sprite at the same place and scale in every scene: what is worked out from its
    // texels for that scale is kept from scene to scene, and must go when they change.
    aOps.push_back({0, 20.0f, 10.0f, 0.0f, 2.0f, 0xFFFFFFFFu, false});
    test::Frame prepared = render(true, aOps);
    test::Frame plain = render(false, aOps);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        ASSERT_EQ(prepared.at(x, y), plain.at(x, y)) << x << "," << y << " scene " << nScene;
    scribble(aTex[rng() % aTex.size()], rng);
  }
  int nFast = 0;
  for (const test::Call& call : test::recordedCalls())
    nFast += call.m_eKind == test::CallKind::DrawPrimitive && call.m_nC == 1;
  EXPECT_GT(nFast, 400);  // upright quads took the row path, where the runs are walked
}

// Upright unscaled sprites between pixels, in every state mix the driver uses and some
// off the target's edges or showing part of their texture, drawn through the quad path
// (with and without the alpha runs and wide vectors) and through triangles: the same
// pixels, stencil included.
TEST_F(PreparedPaths, SpritesBetweenPixelsMatchTheTrianglePath) {
  std::mt19937 rng(9001);
  std::vector<Picture> aTex;
  for (int i = 0; i < 8; ++i) {
    // Half of them fill their texture, so that samples clamp at all four sides.
    int w = 3 + static_cast<int>(rng() % 200), h = 3 + static_cast<int>(rng() % 40);
    if (i % 2 == 0) {
      w = 1 << (1 + i % 7);
      h = 1 << (1 + (i + 2) % 5);
    }
    aTex.push_back(picture(w, h, spriteTexels(rng, w, h), i % 4 != 3));
  }
  static const float kFractions[6] = {0.5f, 0.25f, 0.75f, 0.1f, 1.0f / 3.0f, 0.0f};
  std::vector<std::function<void()>> aOps;
  for (int i = 0; i < 480; ++i) {
    const Picture& tex = aTex[rng() % aTex.size()];
    // Part of the texture now and then, so samples read texels beside the quad.
    int u0 = rng() % 3 == 0 ? static_cast<int>(rng() % tex.w) : 0, v0 = rng() % 3 == 0 ? static_cast<int>(rng() % tex.h) : 0;
    int w = tex.w - u0, h = tex.h - v0;
    float x = static_cast<float>(static_cast<int>(rng() % (kWidth + 40)) - 20 - w / 2) + kFractions[rng() % 6];
    float y = static_cast<float>(static_cast<int>(rng() % (kHeight + 20)) - 10 - h / 2) + kFractions[rng() % 6];
    DWORD dwColour = rng() % 2 ? 0xFFFFFFFFu : rng() % 2 ? (static_cast<DWORD>(rng()) | 0xFF000000u) : static_cast<DWORD>(rng());
    int nBlend = rng() % 3 == 0 ? static_cast<int>(rng() % 5) : static_cast<int>(rng() % 2);
    bool bPoint = rng() % 6 == 0, bAlphaTest = rng() % 8 == 0, bStencilWrite = rng() % 10 == 0;
    bool bStencilTest = !bStencilWrite && rng() % 8 == 0;
    // Now and then a hair wider than its texels: that one must be left to the triangles.
    float fStretch = rng() % 10 == 0 ? 0.01f : 0.0f;
    aOps.push_back([=] {
      applySceneStates({nBlend, bAlphaTest, bStencilWrite, bStencilTest, bPoint, dwColour});
      D3DXMATRIX move;
      D3DXMatrixTranslation(&move, x - 0.5f, y - 0.5f, 0);
      setView(move);
      drawPart(tex, u0, v0, dwColour, fStretch);
    });
  }
  auto render = [&](bool bQuads, bool bPrepared, size_t nFirst) {
    test::setFastPathEnabled(bQuads);
    test::setParallelogramSpansEnabled(bQuads);
    test::setAlphaRunPathEnabled(bPrepared);
    test::setWideVectorsEnabled(bPrepared);
    clearTo(0x204060);
    for (size_t i = nFirst; i < nFirst + 8; ++i) aOps[i]();
    test::StencilFrame s;
    EXPECT_TRUE(test::readStencil(s));
    return std::make_pair(frame(), s);
  };
  test::startRecording();
  for (size_t nFirst = 0; nFirst < aOps.size(); nFirst += 8) {
    auto triangles = render(false, false, nFirst);
    for (bool bPrepared : {true, false}) {
      auto quads = render(true, bPrepared, nFirst);
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          ASSERT_EQ(quads.first.at(x, y), triangles.first.at(x, y)) << x << "," << y << " scene " << nFirst;
          ASSERT_EQ(quads.second.at(x, y), triangles.second.at(x, y)) << x << "," << y << " scene " << nFirst;
        }
    }
  }
  int nQuads = 0;
  for (const test::Call& call : test::recordedCalls())
    nQuads += call.m_eKind == test::CallKind::DrawPrimitive && call.m_nC == 1;
  EXPECT_GT(nQuads, 750);  // of 960: stretched ones and point-sampled ones that clamp take triangles
}

// Turned, scaled and particle-sized quads as strips and fans, in every blend the driver
// uses, tinted, with stencil and some off the target: one span per row with clear ends
// cut against two triangles sampling past the sides: the same coverage and stencil, every
// channel within 1; and ends cut by division alone, or rows that reuse nothing of the
// row before, give exactly the same frame, as do triangles whose rows are set up one by one.
TEST_F(PreparedPaths, ParallelogramSpansStayWithinOneOfTheTriangles) {
  std::mt19937 rng(777);
  std::vector<std::pair<IDirectDrawSurface7*, int>> aTex;  // and its size, square
  for (int nSize : {4, 8, 16, 32, 64, 16, 32}) {
    // Clear margins of their own width on each side, so that spans have clear ends to cut;
    // the last one has none and no clear texel, so samples clamp onto live texels.
    bool bFilled = aTex.size() == 6;
    std::vector<DWORD> a = spriteTexels(rng, nSize, nSize);
    int aMargin[4];
    for (int& n : aMargin) n = bFilled ? 0 : static_cast<int>(rng() % (nSize / 3 + 1));
    if (bFilled)
      for (DWORD& n : a) n |= 0x01000000u;
    clearMargins(a, nSize, nSize, aMargin);
    aTex.push_back({makeTexture(nSize, nSize, a), nSize});
  }
  static const DWORD kBlends[4][2] = {{D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                                      {D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                                      {D3DBLEND_ONE, D3DBLEND_ZERO},
                                      {D3DBLEND_ZERO, D3DBLEND_ONE}};
  std::vector<std::function<void()>> aOps;
  for (int i = 0; i < 400; ++i) {
    auto [pTex, nSize] = aTex[rng() % aTex.size()];
    float fAngle = rng() % 4 == 0 ? 0.0f : static_cast<float>(rng() % 6283) / 1000.0f;
    float fScale = 0.3f + static_cast<float>(rng() % 300) / 100.0f;
    float x = static_cast<float>(rng() % 8000) / 100.0f - 8.0f, y = static_cast<float>(rng() % 6000) / 100.0f - 6.0f;
    DWORD dwColour = rng() % 2 ? 0xFFFFFFFFu : static_cast<DWORD>(rng());
    int nBlend = static_cast<int>(rng() % 4);
    bool bPoint = rng() % 5 == 0, bFan = rng() % 2 == 0;
    int nStencil = rng() % 3 == 0 ? 1 + static_cast<int>(rng() % 2) : 0;  // 1 marks coverage, 2 tests it
    aOps.push_back([=] {
      setBlend(kBlends[nBlend][0], kBlends[nBlend][1]);
      m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILENABLE, nStencil != 0);
      m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILREF, 1 + nBlend % 2);
      m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFUNC, nStencil == 1 ? D3DCMP_ALWAYS : D3DCMP_EQUAL);
      m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILPASS, nStencil == 1 ? D3DSTENCILOP_REPLACE : D3DSTENCILOP_KEEP);
      m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, bPoint ? D3DTFG_POINT : D3DTFG_LINEAR);
      m_pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, bPoint ? D3DTFN_POINT : D3DTFN_LINEAR);
      m_pDevice->SetTexture(0, pTex);
      D3DXMATRIX centre, scale, rot, move;
      D3DXMatrixTranslation(&centre, -nSize / 2.0f, -nSize / 2.0f, 0);
      D3DXMatrixScaling(&scale, fScale, fScale, 1);
      D3DXMatrixRotationZ(&rot, fAngle);
      D3DXMatrixTranslation(&move, x, y, 0);
      setView(centre * scale * rot * move);
      float f = static_cast<float>(nSize);
      if (bFan) {
        drawFan({{0, 0, 0, dwColour, 0, 0}, {f, 0, 0, dwColour, 1, 0}, {f, f, 0, dwColour, 1, 1}, {0, f, 0, dwColour, 0, 1}});
      } else {
        drawStrip({{0, 0, 0, dwColour, 0, 0}, {f, 0, 0, dwColour, 1, 0}, {0, f, 0, dwColour, 0, 1}, {f, f, 0, dwColour, 1, 1}});
      }
    });
  }
  auto render = [&](bool bSpans, size_t nFirst) {
    test::setParallelogramSpansEnabled(bSpans);
    test::setBorderedTexturesEnabled(bSpans);
    clearTo(0x204060);
    for (size_t i = nFirst; i < nFirst + 10; ++i) aOps[i]();
    test::StencilFrame s;
    EXPECT_TRUE(test::readStencil(s));
    return std::make_pair(frame(), s);
  };
  auto channelsWithinOne = [](DWORD a, DWORD b) {
    for (int nShift = 0; nShift < 24; nShift += 8)
      if (std::abs(static_cast<int>((a >> nShift) & 0xFF) - static_cast<int>((b >> nShift) & 0xFF)) > 1) return false;
    return true;
  };
  for (size_t nFirst = 0; nFirst < aOps.size(); nFirst += 10) {
    // Drawn twice first: the copied border is made when a texture is asked for it again.
    render(true, nFirst);
    auto spans = render(true, nFirst);
    test::setTrimShortcutEnabled(false);
    auto divided = render(true, nFirst);
    test::setTrimShortcutEnabled(true);
    test::setRowReuseEnabled(false);
    auto afresh = render(true, nFirst);
    test::setRowReuseEnabled(true);
    auto triangles = render(false, nFirst);
    test::setRowBatchesEnabled(false);
    auto unbatched = render(false, nFirst);
    test::setRowBatchesEnabled(true);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        ASSERT_EQ(spans.first.at(x, y), divided.first.at(x, y)) << x << "," << y << " scene " << nFirst;
        ASSERT_EQ(spans.first.at(x, y), afresh.first.at(x, y)) << x << "," << y << " scene " << nFirst;
        ASSERT_PRED2(channelsWithinOne, spans.first.at(x, y), triangles.first.at(x, y))
            << x << "," << y << " scene " << nFirst;
        ASSERT_EQ(spans.second.at(x, y), triangles.second.at(x, y)) << x << "," << y << " scene " << nFirst;
        ASSERT_EQ(triangles.first.at(x, y), unbatched.first.at(x, y)) << x << "," << y << " scene " << nFirst;
      }
  }
}

// Upright sprites scaled up, and down to half their width and below, on each axis apart,
// some mirrored either way or showing part of their texture, odd sizes, flat blocks, clear
// margins and a picture without alpha among them, some over the target's edges, in every
// state mix the driver uses: drawn a pixel row at a time from columns worked out once for
// the quad and each texture row's pass kept, drawn so again from the pairs of rows kept
// for those columns, and span by span with each span's columns weighted once, give the
// pixels of the plain per-pixel filter.
TEST_F(PreparedPaths, ScaledUprightSpritesMatchThePlainSampler) {
  std::mt19937 rng(5150);
  std::vector<Picture> aTex;
  for (int i = 0; i < 8; ++i) {
    // Two fill their texture, so that samples clamp at its sides.
    int w = i % 4 == 0 ? 16 << (i / 4) : 5 + static_cast<int>(rng() % 60);
    int h = i % 4 == 0 ? 8 << (i / 4) : 3 + static_cast<int>(rng() % 40);
    std::vector<DWORD> a = i % 3 == 1 ? flatBlocks(w, h, 1 + rng() % 12, 1 + rng() % 8, i) : spriteTexels(rng, w, h);
    int aMargin[4] = {static_cast<int>(rng() % (w / 3 + 1)), static_cast<int>(rng() % (h / 3 + 1)), 1, 0};
    if (i % 3 == 2) clearMargins(a, w, h, aMargin);
    aTex.push_back(picture(w, h, a, i != 5));
  }
  // Near half their width, where a group of samples comes to fill its loads, now and then.
  static const float kNarrow[4] = {0.42f, 0.45f, 0.49f, 0.5f};
  std::vector<std::function<void()>> aOps;
  for (int i = 0; i < 400; ++i) {
    const Picture& tex = aTex[rng() % aTex.size()];
    int u0 = rng() % 4 == 0 ? static_cast<int>(rng() % (tex.w / 2 + 1)) : 0;
    int v0 = rng() % 4 == 0 ? static_cast<int>(rng() % (tex.h / 2 + 1)) : 0;
    float fScaleX = (rng() % 4 ? 1.0f : -1.0f) *
                    (rng() % 8 ? 0.3f + static_cast<float>(rng() % 320) / 100.0f : kNarrow[rng() % 4]);
    float fScaleY = (rng() % 6 ? 1.0f : -1.0f) * (0.3f + static_cast<float>(rng() % 370) / 100.0f);
    // Now and then on quarter pixels, so that edges fall on pixel centres.
    int nGrid = rng() % 3 == 0 ? 4 : 100;
    float x = static_cast<float>(rng() % 90) + static_cast<float>(rng() % nGrid) / nGrid - 13.0f;
    float y = static_cast<float>(rng() % 70) + static_cast<float>(rng() % nGrid) / nGrid - 11.0f;
    DWORD dwColour = rng() % 2 ? 0xFFFFFFFFu : static_cast<DWORD>(rng()) | (rng() % 2 ? 0xFF000000u : 0);
    int nBlend = static_cast<int>(rng() % 5);
    bool bAlphaTest = rng() % 8 == 0, bStencilWrite = rng() % 10 == 0, bStencilTest = !bStencilWrite && rng() % 8 == 0;
    aOps.push_back([=] {
      applySceneStates({nBlend, bAlphaTest, bStencilWrite, bStencilTest, false, dwColour});
      D3DXMATRIX scale, move;
      D3DXMatrixScaling(&scale, fScaleX, fScaleY, 1);
      D3DXMatrixTranslation(&move, x, y, 0);
      setView(scale * move);
      drawPart(tex, u0, v0, dwColour);
    });
  }
  auto render = [&](bool bScaledRows, bool bRowSampler, size_t nFirst) {
    test::setScaledRowsEnabled(bScaledRows);
    test::setRowSamplerEnabled(bRowSampler);
    test::setVectorSamplerEnabled(bRowSampler);
    clearTo(0x204060);
    for (size_t i = nFirst; i < nFirst + 8; ++i) aOps[i]();
    return frame();
  };
  for (size_t nFirst = 0; nFirst < aOps.size(); nFirst += 8) {
    render(true, true, nFirst);  // the copied borders are made at a texture's second draw
    // A quad's pairs are made when it comes the third time.
    test::Frame scaled = render(true, true, nFirst), paired = render(true, true, nFirst);
    test::Frame rows = render(false, true, nFirst), plain = render(false, false, nFirst);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        ASSERT_EQ(scaled.at(x, y), plain.at(x, y)) << x << "," << y << " scene " << nFirst;
        ASSERT_EQ(paired.at(x, y), plain.at(x, y)) << x << "," << y << " scene " << nFirst;
        ASSERT_EQ(rows.at(x, y), plain.at(x, y)) << x << "," << y << " scene " << nFirst;
      }
  }
}

// Upright quads drawn at their texels' width, a hair off it (where the fast path still
// takes them or just stops) and plainly scaled, inside the target and over its edges: the
// same frame and the same quads on the upright paths with the scale shortcut and without.
TEST_F(PreparedPaths, ScaleShortcutSkipsOnlyWhatTheUprightPathsRefuse) {
  const float kScales[] = {1.0f, 1.00002f, 0.99995f, 1.0001f, 1.003f, 0.994f, 1.01f, 0.5f, 1.7f};
  std::mt19937 texels(5);
  IDirectDrawSurface7* pTex = makeTexture(64, 8, spriteTexels(texels, 64, 8));
  auto render = [&](bool bShortcut, unsigned nSeed) {
    test::setScaleShortcutEnabled(bShortcut);
    test::clearRecording();
    clearTo(0x204060);
    m_pDevice->SetTexture(0, pTex);
    std::mt19937 rng(nSeed);
    for (float fScale : kScales)
      for (int nWidth : {3, 8, 40, 56}) {
        setBlend(D3DBLEND_SRCALPHA, rng() % 2 ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
        float x = static_cast<float>(rng() % 7000) / 100.0f - 6.0f, y = static_cast<float>(rng() % 4400) / 100.0f;
        float fW = nWidth * fScale, fU = nWidth / 64.0f;
        drawStrip({{x, y, 0, 0xFFFFFFFFu, 0, 0}, {x + fW, y, 0, 0xFFFFFFFFu, fU, 0},
                   {x, y + 3, 0, 0xFFFFFFFFu, 0, 3 / 8.0f}, {x + fW, y + 3, 0, 0xFFFFFFFFu, fU, 3 / 8.0f}});
      }
    std::vector<DWORD> aFast;
    for (const test::Call& call : test::recordedCalls())
      if (call.m_eKind == test::CallKind::DrawPrimitive) aFast.push_back(call.m_nC);
    return std::make_pair(frame(), aFast);
  };
  test::startRecording();
  for (unsigned nSeed = 0; nSeed < 20; ++nSeed) {
    auto shortcut = render(true, nSeed), tried = render(false, nSeed);
    EXPECT_EQ(shortcut.second, tried.second) << "scene " << nSeed;
    EXPECT_EQ(shortcut.first.m_aPixels, tried.first.m_aPixels) << "scene " << nSeed;
  }
}

// Pictures of flat blocks (clear ones of two colours, opaque and half-clear ones, one
// picture without alpha, two only eight texels wide and one or two high) between pixels, every row width from 8 texels up, in every
// blend and tint, some off the target's edges and some reaching texels past the
// picture's sides, where samples clamp: drawn as quads, a row at a time with each
// texture row's pass kept for the next, and as triangles: the same pixels.
TEST_F(PreparedPaths, FlatBlocksBetweenPixelsMatchTheTrianglePath) {
  std::mt19937 rng(31337);
  std::vector<Picture> aTex;
  for (int i = 0; i < 8; ++i) {
    int w = i < 6 ? 16 << (i % 3) : 8, h = i < 6 ? 32 : i - 5;
    int nBlockW = 1 + static_cast<int>(rng() % 24), nBlockH = 1 + static_cast<int>(rng() % 12);
    aTex.push_back(picture(w, h, flatBlocks(w, h, nBlockW, nBlockH, i), i != 5));
  }
  struct Place {
    int nTex;
    float fW, x, y;
    int nBefore, nAfter;  // texels past the left and right sides
    SceneStates st;
  };
  test::startRecording();
  for (int nScene = 0; nScene < 40; ++nScene) {
    std::vector<Place> aPlaces;
    for (int i = 0; i < 6; ++i) {
      int nTex = static_cast<int>(rng() % aTex.size());
      float fW = static_cast<float>(8 + rng() % (aTex[nTex].w - 7));
      float x = static_cast<float>(rng() % 9000) / 100.0f - 20.0f;
      float y = static_cast<float>(rng() % 7000) / 100.0f - 20.0f;
      DWORD dwColour = rng() % 2 ? 0xFFFFFFFFu : static_cast<DWORD>(rng());
      int nBefore = rng() % 6 == 0 ? static_cast<int>(rng() % 9) : 0;
      int nAfter = rng() % 6 == 0 ? static_cast<int>(rng() % 9) : 0;
      aPlaces.push_back(
          {nTex, fW, x, y, nBefore, nAfter, {static_cast<int>(rng() % 5), false, false, false, false, dwColour}});
    }
    auto render = [&](bool bQuads) {
      test::setFastPathEnabled(bQuads);
      test::setParallelogramSpansEnabled(bQuads);
      clearTo(0x204060);
      for (const Place& p : aPlaces) {
        applySceneStates(p.st);
        const Picture& tex = aTex[p.nTex];
        m_pDevice->SetTexture(0, tex.pSurface);
        D3DXMATRIX move;
        D3DXMatrixTranslation(&move, p.x - 0.5f, p.y - 0.5f, 0);
        setView(move);
        float fU0 = static_cast<float>(-p.nBefore) / tex.w, fU1 = (p.fW + static_cast<float>(p.nAfter)) / tex.w;
        float fW = p.fW + static_cast<float>(p.nBefore + p.nAfter), fH = static_cast<float>(tex.h);
        DWORD c = p.st.dwColour;
        drawStrip({{0, 0, 0, c, fU0, 0}, {fW, 0, 0, c, fU1, 0}, {0, fH, 0, c, fU0, 1}, {fW, fH, 0, c, fU1, 1}});
      }
      return frame();
    };
    test::Frame triangles = render(false), quads = render(true);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        ASSERT_EQ(quads.at(x, y), triangles.at(x, y)) << x << "," << y << " scene " << nScene;
  }
  int nQuads = 0;
  for (const test::Call& call : test::recordedCalls())
    nQuads += call.m_eKind == test::CallKind::DrawPrimitive && call.m_nC == 1;
  EXPECT_GT(nQuads, 200);  // of 240
}

}  // namespace
}  // namespace d3d7test
