// Sprites handed to the device as runs of quads that share a texture and states give
// the frame, pixel for pixel, that one draw call per sprite gives.
#include "render_support.h"

#include "effects/particleemitter.h"
#include "effects/particlerandom.h"

#include "tsl2/random.h"

namespace {

// A soft round dot, clear at its corners.
Tsl::SmartPtr<Image> makeDot(int nSize, const Color& c) {
    return makeImage(nSize, nSize, true, [=](int x, int y) {
        int nDx = 2 * x - (nSize - 1), nDy = 2 * y - (nSize - 1);
        int nAlpha = std::max(0, 255 - (nDx * nDx + nDy * nDy) * 255 / (nSize * nSize));
        return Color(c.r, c.g, c.b, static_cast<unsigned char>(nAlpha));
    });
}

struct Scene {
    int nSprites;
    int nImages;        // textures the sprites take turns with
    bool bMixedBlends;  // additive and normal sprites interleaved
    bool bTurned;
    bool bWideImage;    // an image of more than one texture tile among them
    bool bPolygon;      // an untextured polygon sprite in the middle
    int nParticles;
};

class QuadRunsTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        start(VMF_STENCIL);
    }
    void TearDown() override {
        dx7::test::setQuadRunsEnabled(true);
        RenderTest::TearDown();
    }

    void build(const Scene& scene, Tsl::Random& random) {
        std::vector<Tsl::SmartPtr<Image>> aImages;
        for (int i = 0; i < scene.nImages; ++i)
            aImages.push_back(makeDot(6 + 3 * i, Color(random.getInt(0, 255), random.getInt(0, 255), 200)));
        if (scene.bWideImage) aImages.push_back(makeSolid(700, 6, Color(30, 160, 90)));
        for (int i = 0; i < scene.nSprites; ++i) {
            Tsl::SmartPtr<Sprite> pSprite = addSprite(aImages[i % aImages.size()],
                                                      static_cast<float>(random.getDouble(-10.0, WIDTH + 10.0)),
                                                      static_cast<float>(random.getDouble(-10.0, HEIGHT + 10.0)), i);
            pSprite->setScale(static_cast<float>(random.getDouble(0.4, 2.5)));
            if (scene.bTurned) pSprite->setRotation(static_cast<float>(random.getDouble(0.0, 360.0)));
            pSprite->setColor(Color(random.getInt(0, 255), random.getInt(0, 255), random.getInt(0, 255)));
            pSprite->setAlpha(static_cast<float>(random.getDouble(0.2, 1.0)));
            if (scene.bMixedBlends && random.getInt(0, 2) == 0) pSprite->setBlendMode(BM_ADDITIVE);
            if (scene.bPolygon && i == scene.nSprites / 2) {
                Tsl::SmartPtr<Sprite> pShape = addSprite(makeSolid(4, 4, Color(0, 0, 0)), 40.0f, 40.0f, i);
                Tsl::List<Point> lPoints;
                lPoints.append(Point(0.0f, 0.0f));
                lPoints.append(Point(50.0f, 5.0f));
                lPoints.append(Point(20.0f, 40.0f));
                pShape->setPolygon(lPoints);
                pShape->setColor(Color(250, 20, 20));
            }
        }
        if (scene.nParticles == 0) return;
        getParticleRandom().setSeed(random.getUInt32());
        Tsl::SmartPtr<Image> pPalette = makeImage(16, 1, true, [](int x, int) {
            return Color(static_cast<unsigned char>(x * 16), static_cast<unsigned char>(255 - x * 16), 128, 255);
        });
        m_pEmitter = new ParticleEmitter(m_pMode);
        m_pEmitter->addImage(makeDot(8, Color(255, 255, 255)), 0);
        m_pEmitter->setPosition(WIDTH / 2, HEIGHT / 2);
        m_pEmitter->setEmissionRate(0.0f);
        m_pEmitter->setMinParticles(scene.nParticles);
        m_pEmitter->setMaxParticles(scene.nParticles);
        m_pEmitter->setRadiusRange(0, 40);
        m_pEmitter->setLifetimeRange(2.0f, 4.0f);
        m_pEmitter->setStartScaleRange(0.5f, 1.0f);
        m_pEmitter->setEndScaleRange(1.5f, 2.0f);
        m_pEmitter->setSpeedRange(-30, 30, -60, -20);
        m_pEmitter->setPalette(pPalette);
        if (scene.bMixedBlends) m_pEmitter->setBlendMode(BM_ADDITIVE);
        m_pEmitter->update(0.0f);
        m_pEmitter->update(0.75f);
    }

    dx7::test::Frame frameWithRuns(bool bRuns) {
        dx7::test::setQuadRunsEnabled(bRuns);
        return frame();
    }

    Tsl::SmartPtr<ParticleEmitter> m_pEmitter;
};

} // namespace

TEST_F(QuadRunsTest, RunsDrawWhatOneCallPerSpriteDraws) {
    const Scene aScenes[] = {
        {0, 1, false, false, false, false, 400},  // a particle frame
        {0, 1, true, false, false, false, 300},   // additive particles
        {60, 1, false, false, false, false, 0},   // one texture, one state: one run
        {60, 3, true, true, false, false, 0},     // runs broken by textures and blends
        {40, 2, true, true, true, true, 200},     // tiles, a polygon and particles among them
    };
    Tsl::Random random(17);
    for (const Scene& scene : aScenes) {
        m_pMode->removeAllSprites();
        m_pEmitter = nullptr;
        build(scene, random);
        dx7::test::Frame plain = frameWithRuns(false);
        dx7::test::Frame runs = frameWithRuns(true);
        int nLit = 0;
        for (dx7::DWORD nPixel : plain.m_aPixels) nLit += nPixel != rgb(0, 0, 0);
        EXPECT_GT(nLit, WIDTH * HEIGHT / 20) << "scene with " << scene.nSprites << " sprites";
        ASSERT_EQ(plain.m_aPixels.size(), runs.m_aPixels.size());
        int nDiffering = 0;
        for (size_t i = 0; i < plain.m_aPixels.size(); ++i) nDiffering += plain.m_aPixels[i] != runs.m_aPixels[i];
        EXPECT_EQ(0, nDiffering) << "scene with " << scene.nSprites << " sprites, " << scene.nParticles
                                 << " particles";
    }
    m_pEmitter = nullptr;
    m_pMode->removeAllSprites();
}

// An unturned sprite's view is built directly; it must be the matrix the products give.
TEST(SpriteViewTest, UnturnedViewsAreTheProductsOfScaleTurnAndMove) {
    const float aCases[][4] = {{1.5f, 1.5f, 99.5f, 20.25f},  {0.3f, 2.7f, -0.5f, -0.5f},   {-1.0f, 1.0f, 0.0f, -0.0f},
                               {0.0f, 0.0f, 1e6f, -1e6f},   {1e-30f, 3e30f, 0.1f, 0.2f}, {-0.0f, -2.5f, 333.3f, 7.0f}};
    for (const float* c : aCases) {
        dx7::D3DXMATRIX scaling, rotation, translation;
        dx7::D3DXMatrixScaling(&scaling, c[0], c[1], 1.0f);
        dx7::D3DXMatrixRotationZ(&rotation, 0.0f);
        dx7::D3DXMatrixTranslation(&translation, c[2], c[3], 0.0f);
        dx7::D3DXMATRIX want = scaling * rotation * translation;
        dx7::D3DXMATRIX got = D3D7VideoDriver::spriteView(c[0], c[1], 0.0f, c[2], c[3]);
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) EXPECT_EQ(want.m[r][k], got.m[r][k]) << c[0] << " " << c[1] << " at " << r << k;
    }
}
