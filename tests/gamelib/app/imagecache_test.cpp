// The image cache: names, aliases, the cache guard and release lists.
#include "fakes.h"

#include "tsl2/resource.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A small picture as BMP bytes, which the image loader recognises by content.
std::string makeBmp(int nWidth, int nHeight) {
    SDL_Surface* pSurface = SDL_CreateRGBSurface(SDL_SWSURFACE, nWidth, nHeight, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(pSurface, nullptr, SDL_MapRGB(pSurface->format, 200, 40, 10));
    std::string sBytes(64 + nWidth * nHeight * 4, '\0');
    SDL_RWops* pOut = SDL_RWFromMem(&sBytes[0], static_cast<int>(sBytes.size()));
    SDL_SaveBMP_RW(pSurface, pOut, 0);
    sBytes.resize(static_cast<size_t>(SDL_RWtell(pOut)));
    SDL_RWclose(pOut);
    SDL_FreeSurface(pSurface);
    return sBytes;
}

struct ImageCacheTest : ::testing::Test {
    TestApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pFiles = new Tsl::MemoryResourceProvider("files");

    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        std::string sBmp = makeBmp(8, 4);
        pFiles->add("sand", sBmp.data(), static_cast<int>(sBmp.size()));
        // The loader goes by content; ".png" only makes the name resolvable.
        pFiles->add("palm.png", sBmp.data(), static_cast<int>(sBmp.size()));
        const char* pszAliases = "old_sand sand\n";
        pFiles->add("image-alias.txt", pszAliases, static_cast<int>(strlen(pszAliases)));
        app.addResourceProvider(pFiles);
    }
};

TEST_F(ImageCacheTest, LoadsOnceByLowerCasedNameAndAppliesTheAlias) {
    Tsl::SmartPtr<Image> pSand = app.getImage("sand");
    ASSERT_TRUE(pSand);
    EXPECT_EQ(8, pSand->getWidth());
    EXPECT_EQ(pSand.get(), app.getImage("SAND").get());
    app.loadImageAliases("image-alias.txt");
    EXPECT_EQ(pSand.get(), app.getImage("old_sand").get());
    EXPECT_TRUE(app.hasImage("old_sand"));
    EXPECT_TRUE(app.hasImage("palm"));
    EXPECT_FALSE(app.hasImage("missing"));
    EXPECT_THROW(app.getImage("missing"), Tsl::Exception);
    EXPECT_EQ(1, app.getCachedImageNames().getCount());
}

TEST_F(ImageCacheTest, TheGuardKeepsImagesOutOfTheCacheAndNestsCleanly) {
    {
        DisableImageCache outer;
        {
            DisableImageCache inner;
            app.getImage("palm");
        }
        EXPECT_FALSE(app.isImageCacheEnabled());
        Tsl::SmartPtr<Image> pPalm = app.getImage("palm");
        EXPECT_EQ(1, pPalm->getRefCount());
    }
    EXPECT_TRUE(app.isImageCacheEnabled());
    EXPECT_EQ(0, app.getCachedImageNames().getCount());
    app.getImage("palm");
    EXPECT_EQ(1, app.getCachedImageNames().getCount());
}

TEST_F(ImageCacheTest, AddedImagesAreFoundAndReleasedByList) {
    Tsl::SmartPtr<Image> pBlank = app.createImage(4, 4, true);
    app.addImage("Made_Here", pBlank);
    EXPECT_EQ(pBlank.get(), app.getImage("made_here").get());
    app.getImage("sand");
    app.getImage("palm");
    Tsl::List<Tsl::String> lKeep;
    lKeep.append("SAND");
    lKeep.append("made_here");
    app.releaseImagesExcept(lKeep);
    Tsl::List<Tsl::String> lNames = app.getCachedImageNames();
    EXPECT_EQ(2, lNames.getCount());
    EXPECT_GE(lNames.indexOf("sand"), 0);
    EXPECT_LT(lNames.indexOf("palm"), 0);
}

// The first platform's image factory goes with it; the cache loads through the new one.
TEST_F(ImageCacheTest, AReplacedPlatformsFactoryLoadsTheNextImages) {
    app.getImage("sand");
    app.setPlatform(new FakePlatform(&app.m_log));
    app.m_pFakePlatform = nullptr;
    Tsl::SmartPtr<Image> pPalm = app.getImage("palm");
    EXPECT_EQ(8, pPalm->getWidth());
}

// Pictures made ready ahead of their use: each loaded into the cache and
// handed to the video driver, a slice of the platform's clock at a time.
struct ImagePreloadTest : ImageCacheTest {
    void SetUp() override {
        ImageCacheTest::SetUp();
        std::string sBmp = makeBmp(4, 4);
        for (const char* pszName : {"p0", "p1", "p2", "p3"}) pFiles->add(pszName, sBmp.data(), int(sBmp.size()));
        // Every reading of the clock comes 10 ms after the one before, as if
        // each picture took that long to load.
        app.m_pFakePlatform->m_nTicksPerRead = 10;
    }
    int cached() { return app.getCachedImageNames().getCount(); }
};

TEST_F(ImagePreloadTest, PicturesAreMadeReadyInSlicesOfTime) {
    struct Case {
        unsigned int nSliceMs;
        std::vector<int> aPerSlice;
    } cases[] = {{0, {1, 1, 1, 1}}, {15, {1, 1, 1, 1}}, {25, {2, 2}}, {35, {3, 1}}, {1000, {4}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nSliceMs);
        app.releaseImagesExcept(Tsl::List<Tsl::String>());
        for (const char* pszName : {"p0", "p1", "p2", "p3"}) app.preloadImage(pszName);
        std::vector<int> aPerSlice;
        for (bool bMore = true; bMore && aPerSlice.size() < 10;) {
            int nBefore = cached();
            bMore = app.stepPreloads(c.nSliceMs);
            aPerSlice.push_back(cached() - nBefore);
        }
        EXPECT_EQ(c.aPerSlice, aPerSlice);
    }
}

TEST_F(ImagePreloadTest, EachPictureIsQueuedOnceAndOneThatCannotLoadIsLeftToItsUser) {
    app.getImage("sand");
    for (const char* pszName : {"p0", "P0", "sand", "p1", "p0", "missing"}) app.preloadImage(pszName);
    EXPECT_EQ(3, app.getImagePreloadQueueLength());
    while (app.stepImagePreload()) {
    }
    EXPECT_EQ(3, cached());
    const Tsl::List<Tsl::SmartPtr<Image>>& lPreloaded = app.m_pFakePlatform->video()->m_lPreloaded;
    ASSERT_EQ(2, lPreloaded.getCount());
    EXPECT_EQ(app.getImage("p0").get(), lPreloaded.getAt(0).get());
    EXPECT_EQ(app.getImage("p1").get(), lPreloaded.getAt(1).get());
    EXPECT_THROW(app.getImage("missing"), Tsl::Exception);
}

} // namespace
