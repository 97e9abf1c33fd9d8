// A headless application with in-memory resources, a mode to put sprites
// in, and small pictures, for the tests of the effects room.
#pragma once

#include "fakes.h"
#include "effects/particleemitter.h"
#include "effects/particlerandom.h"
#include "sprite/sprite.h"
#include "sprite/spritecontroller.h"

#include "tsl2/resource.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

inline void expectNearPoint(const Point& expected, const Point& actual, float fTolerance = 1e-3f) {
    EXPECT_NEAR(expected.x, actual.x, fTolerance);
    EXPECT_NEAR(expected.y, actual.y, fTolerance);
}

inline SpriteControllerList controllers(std::initializer_list<SpriteController*> items) {
    SpriteControllerList l;
    for (SpriteController* p : items) l.append(p);
    return l;
}

struct EffectsFixture : ::testing::Test {
    TestApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> m_pResources = new Tsl::MemoryResourceProvider();
    Tsl::SmartPtr<GameMode> m_pMode = new GameMode();

    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        app.addResourceProvider(m_pResources.get());
        getParticleRandom().setSeed(1234);
        Tsl::getRandomElementGenerator().setSeed(99);
    }
    void TearDown() override { m_pMode->removeAllSprites(); }

    void addText(const char* pszName, const std::string& sText) {
        m_pResources->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }
    // Pixel (x, y) is (x, y, 7, 255): a cut-out can be checked pixel for pixel.
    Tsl::SmartPtr<Image> makeImage(int nWidth, int nHeight) {
        Tsl::SmartPtr<Image> pImage = app.createImage(nWidth, nHeight, true);
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x) pImage->setColorAt(x, y, Color(x, y, 7, 255));
        return pImage;
    }
    // Puts an image into the application's image cache under a name.
    Tsl::SmartPtr<Image> addImage(const char* pszName, int nWidth, int nHeight) {
        Tsl::SmartPtr<Image> pImage = makeImage(nWidth, nHeight);
        app.addImage(pszName, pImage);
        return pImage;
    }
    Tsl::SmartPtr<Sprite> addSprite(Tsl::SmartPtr<Image> pImage, float fX = 0.0f, float fY = 0.0f) {
        Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, 0, 0);
        pSprite->setPosition(fX, fY);
        m_pMode->addSprite(pSprite);
        return pSprite;
    }
    int spriteCount() const {
        int n = 0;
        for (SpriteList* pLayer : m_pMode->getLayers()) n += pLayer->getCount();
        return n;
    }
};
