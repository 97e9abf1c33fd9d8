// The prepared paths of the software device (upright quads walking a texture's alpha runs,
// bilinear spans sampled two pixels at a time, eight-pixel rows where there is AVX2)
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

class PreparedPaths : public DeviceFixture {};

// Scenes of upright, turned and scaled sprites in every blend the driver uses, with plain
// and tinted colours, some reaching past the target's edges; each drawn prepared and plain.
// Textures change between scenes, so runs made from old contents would show.
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
    clearTo(0x204060);
    for (const Op& op : aOps) draw(op);
    return frame();
  };
  test::startRecording();
  for (int nScene = 0; nScene < 40; ++nScene) {
    std::vector<Op> aOps;
    for (int i = 0; i < 12; ++i) aOps.push_back(randomOp());
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

}  // namespace
}  // namespace d3d7test
