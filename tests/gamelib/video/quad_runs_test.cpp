// Sprites handed to the device as runs of quads that share a texture and states give
// the frame, pixel for pixel, that one draw call per sprite gives.
#include "render_support.h"

#include "effects/particleemitter.h"
#include "effects/particlerandom.h"

#include "tsl2/random.h"

#include <cstring>

namespace {

// A soft round dot, clear at its corners.
Tsl::SmartPtr<Image> makeDot(int n, unsigned char g) {
    return makeImage(n, n, true, [=](int x, int y) {
        int nDx = 2 * x - (n - 1), nDy = 2 * y - (n - 1);
        int nAlpha = std::max(0, 255 - (nDx * nDx + nDy * nDy) * 255 / (n * n));
        return Color(250, g, 90, static_cast<unsigned char>(nAlpha));
    });
}

class QuadRunsTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        start(VMF_STENCIL);
    }
    void TearDown() override {
        dx7::test::setQuadRunsEnabled(true);
        m_pEmitter = nullptr;
        m_pMode->removeAllSprites();
        RenderTest::TearDown();
    }
    Tsl::SmartPtr<ParticleEmitter> m_pEmitter;
};

} // namespace

// Scenes of particles, of sprites taking turns with textures (a wide one in tiles among
// them) and blends, turned and scaled, tinted, with a polygon between them, and of masks
// cleared and drawn through.
TEST_F(QuadRunsTest, RunsDrawWhatOneCallPerSpriteDraws) {
    struct Scene {
        int nSprites, nImages, nParticles;
        bool bMixed;  // additive sprites among normal ones, turned sprites, a wide image, a polygon
        bool bMasks;  // pairs of masks, the second clearing the first's, and sprites drawn through them
    };
    const Scene aScenes[] = {{0, 1, 400, false, false}, {0, 1, 300, true, false}, {60, 1, 0, false, false},
                             {50, 3, 200, true, false}, {60, 2, 0, false, true}};
    Tsl::Random random(17);
    for (const Scene& s : aScenes) {
        m_pMode->removeAllSprites();
        std::vector<Tsl::SmartPtr<Image>> aImages;
        for (int i = 0; i < s.nImages; ++i) aImages.push_back(makeDot(6 + 3 * i, static_cast<unsigned char>(60 * i)));
        if (s.bMixed) aImages.push_back(makeSolid(700, 6, Color(30, 160, 90)));
        int nX = 0, nY = 0;
        for (int i = 0; i < s.nSprites; ++i) {
            // A mask and the sprites drawn through it crowd around one place.
            int nSpread = s.bMasks && i % 6 ? 6 : 0;
            nX = nSpread ? nX + random.getInt(-nSpread, nSpread) : random.getInt(-10, WIDTH + 10);
            nY = nSpread ? nY + random.getInt(-nSpread, nSpread) : random.getInt(-10, HEIGHT + 10);
            Tsl::SmartPtr<Sprite> p = addSprite(aImages[i % aImages.size()], nX, nY + 0.25f, i);
            p->setScale(static_cast<float>(random.getDouble(0.4, 2.5)));
            p->setColor(Color(random.getInt(0, 255), random.getInt(0, 255), random.getInt(0, 255)));
            p->setAlpha(static_cast<float>(random.getDouble(0.2, 1.0)));
            if (s.bMixed) p->setRotation(i % 2 ? 0.0f : static_cast<float>(random.getDouble(0.0, 360.0)));
            if (s.bMixed && i % 3 == 0) p->setBlendMode(BM_ADDITIVE);
            if (s.bMasks) {
                bool bMask = i % 6 < 2;
                p->setRenderFlags(bMask ? RF_DRAW_COLOR | RF_WRITE_STENCIL | RF_CLEAR_STENCIL : RF_DRAW_COLOR);
                p->setStencilTest(!bMask);
            }
            if (s.bMixed && i == s.nSprites / 2) {
                Tsl::List<Point> lPoints;
                for (Point pt : {Point(0.0f, 0.0f), Point(50.0f, 5.0f), Point(20.0f, 40.0f)}) lPoints.append(pt);
                addSprite(makeSolid(4, 4, Color(0, 0, 0)), 40.0f, 40.0f, i)->setPolygon(lPoints);
            }
        }
        m_pEmitter = new ParticleEmitter(m_pMode);
        getParticleRandom().setSeed(random.getUInt32());
        m_pEmitter->addImage(makeDot(8, 255), 0);
        m_pEmitter->setPosition(WIDTH / 2, HEIGHT / 2);
        m_pEmitter->setEmissionRate(0.0f);
        m_pEmitter->setMinParticles(s.nParticles);
        m_pEmitter->setRadiusRange(0, 40);
        m_pEmitter->setStartScaleRange(0.5f, 1.0f);
        m_pEmitter->setEndScaleRange(1.5f, 2.0f);
        m_pEmitter->setSpeedRange(-30, 30, -60, -20);
        m_pEmitter->setLifetimeRange(2.0f, 4.0f);
        if (s.bMixed) m_pEmitter->setBlendMode(BM_ADDITIVE);
        m_pEmitter->update(0.75f);

        // One call per sprite under a world that scales z (0 everywhere): the device then
        // multiplies its transforms out in full, not from the projection's non-zero terms.
        dx7::D3DXMATRIX world;
        dx7::D3DXMatrixScaling(&world, 1.0f, 1.0f, 2.0f);
        m_pDriver->getDevice()->SetTransform(dx7::D3DTRANSFORMSTATE_WORLD, &world);
        dx7::test::setQuadRunsEnabled(false);
        dx7::test::Frame single = frame();
        dx7::D3DXMatrixIdentity(&world);
        m_pDriver->getDevice()->SetTransform(dx7::D3DTRANSFORMSTATE_WORLD, &world);
        dx7::test::setQuadRunsEnabled(true);
        dx7::test::Frame runs = frame();
        int nLit = 0, nDiffering = 0;
        for (size_t i = 0; i < single.m_aPixels.size(); ++i) {
            nLit += single.m_aPixels[i] != rgb(0, 0, 0);
            nDiffering += single.m_aPixels[i] != runs.m_aPixels[i];
        }
        EXPECT_GT(nLit, WIDTH * HEIGHT / 20) << "scene " << &s - aScenes;
        EXPECT_EQ(0, nDiffering) << "scene " << &s - aScenes;
    }
}

// An unturned sprite's view is built directly; it must be the matrix the products give.
TEST(SpriteViewTest, UnturnedViewsAreTheProductsOfScaleTurnAndMove) {
    const float aCases[][4] = {{1.5f, 1.5f, 99.5f, 20.25f}, {0.3f, 2.7f, -0.5f, -0.5f}, {-1.0f, 1.0f, 0.0f, -0.0f},
                               {0.0f, 0.0f, 1e6f, -1e6f},  {1e-30f, 3e30f, 0.1f, 0.2f}, {-0.0f, -2.5f, 333.3f, 7.0f}};
    for (const float* c : aCases) {
        dx7::D3DXMATRIX scaling, rotation, translation;
        dx7::D3DXMatrixScaling(&scaling, c[0], c[1], 1.0f);
        dx7::D3DXMatrixRotationZ(&rotation, 0.0f);
        dx7::D3DXMatrixTranslation(&translation, c[2], c[3], 0.0f);
        dx7::D3DXMATRIX want = scaling * rotation * translation;
        dx7::D3DXMATRIX got = D3D7VideoDriver::spriteView(c[0], c[1], 0.0f, c[2], c[3]);
        // Bit for bit: a zero's sign as well.
        EXPECT_EQ(0, std::memcmp(&want, &got, sizeof(want))) << c[0] << ", " << c[1] << ", " << c[2] << ", " << c[3];
    }
}
