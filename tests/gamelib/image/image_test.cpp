#include "fakes.h"
#include "fixtures.h"

#include "app/gameapp.h"
#include "platform/platform.h"
#include "image/sdl_image.h"
#include "image/shape.h"

#include "tsl2/error.h"
#include "tsl2/list_impl.h"
#include "tsl2/resource.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_pApp = new TestApp();
        // Pictures must load before any video mode exists.
        m_pApp->m_pFakePlatform->removeVideoDriver();
        m_pProvider = new Tsl::MemoryResourceProvider();
        m_pApp->addResourceProvider(m_pProvider.get());
    }
    void TearDown() override {
        m_pProvider = nullptr;
        delete m_pApp;
    }
    void add(const char* pszName, const Bytes& bytes) {
        m_pProvider->add(pszName, bytes.data(), static_cast<int>(bytes.size()));
    }
    void addText(const char* pszName, const std::string& s) {
        m_pProvider->add(pszName, s.data(), static_cast<int>(s.size()));
    }
    Tsl::SmartPtr<Image> load(const char* pszName) { return m_factory.load(pszName); }
    // A blank alpha image with a solid block, the rest transparent.
    Tsl::SmartPtr<Image> block(int w, int h, const Rect& r, const Color& c) {
        Tsl::SmartPtr<Image> p = m_factory.createBlank(w, h, true);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) p->setColorAt(x, y, c);
        return p;
    }
    static bool sameColor(const Color& a, const Color& b, int nTolerance) {
        return std::abs(a.r - b.r) <= nTolerance && std::abs(a.g - b.g) <= nTolerance &&
               std::abs(a.b - b.b) <= nTolerance && a.a == b.a;
    }
    void expectPicture(Image* p, const TestPicture& pic, int nTolerance = 0) {
        ASSERT_EQ(pic.nWidth, p->getWidth());
        ASSERT_EQ(pic.nHeight, p->getHeight());
        for (int y = 0; y < pic.nHeight; ++y)
            for (int x = 0; x < pic.nWidth; ++x)
                ASSERT_TRUE(sameColor(pic.at(x, y), p->getColorAt(x, y), nTolerance))
                    << x << "," << y << " " << toString(p->getColorAt(x, y)).c_str() << " want "
                    << toString(pic.at(x, y)).c_str();
    }

    TestApp* m_pApp = nullptr;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> m_pProvider;
    SDLImageFactory m_factory;
};

} // namespace

TEST_F(ImageTest, LoadMatrix) {
    TestPicture rgba = makeGradient(13, 9, true), rgb = makeGradient(13, 9, false);
    add("rgba.png", encodePng(rgba, true));
    add("rgb.png", encodePng(rgb, false));
    add("tga.tga", encodeTga(rgba, true));
    add("tga24.tga", encodeTga(rgb, false));
    add("photo.jpg", encodeJpeg(rgb, 100));
    TestPicture few(6, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) few.at(x, y) = Color(x * 40, y * 50, (x + y) * 20, 255);
    add("pal.png", encodePalettedPng(few));

    Tsl::SmartPtr<Image> p = load("rgba");
    EXPECT_TRUE(p->hasAlpha());
    EXPECT_EQ(32u, p->getPixelFormat().nBitsPerPixel);
    expectPicture(p, rgba);
    p = load("rgb");
    EXPECT_FALSE(p->hasAlpha());
    EXPECT_EQ(24u, p->getPixelFormat().nBitsPerPixel);
    expectPicture(p, rgb);
    expectPicture(load("tga"), rgba);
    expectPicture(load("tga24"), rgb);
    expectPicture(load("pal"), few);
    expectPicture(load("photo"), rgb, 40);

    // The bare name wins over its suffixed forms; exists() knows neither the
    // bare name nor ".tga".
    add("hero", encodePng(few, false));
    add("hero.png", encodePng(rgb, false));
    EXPECT_EQ(6, load("hero")->getWidth());
    EXPECT_FALSE(m_factory.exists("tga"));
    EXPECT_TRUE(m_factory.exists("rgb"));

    EXPECT_THROW(load("missing"), Tsl::BadParmException);
    add("broken.png", Bytes{1, 2, 3, 4, 5});
    EXPECT_THROW(load("broken"), Tsl::ResourceException);

    Tsl::SmartPtr<Image> pBlank = m_factory.createBlank(0, -5, true);
    EXPECT_EQ(1, pBlank->getWidth());
    EXPECT_EQ(0, pBlank->getColorAt(0, 0).a);
}

TEST_F(ImageTest, CompanionsAndReload) {
    TestPicture rgb = makeGradient(8, 6, false);
    rgb.at(0, 5) = Color(1, 2, 3);
    rgb.at(4, 1) = Color(1, 2, 3);
    add("keyed.png", encodePng(rgb, false));
    addText("keyed.colorkey", "");
    Tsl::SmartPtr<Image> p = load("keyed");
    EXPECT_TRUE(p->hasColorKey());
    EXPECT_EQ(Color(1, 2, 3), p->getColorKey());
    EXPECT_TRUE(p->isTransparentAt(4, 1, 0));
    EXPECT_FALSE(p->isTransparentAt(5, 1, 0));

    TestPicture mask = makeGradient(8, 6, false);
    add("soft.png", encodePng(rgb, false));
    add("soft.alpha.png", encodePng(mask, false));
    p = load("soft");
    ASSERT_TRUE(p->hasAlpha());
    for (int x = 0; x < 8; ++x) EXPECT_EQ(mask.at(x, 3).r, p->getColorAt(x, 3).a);
    // A name that carries ".alpha" gets no companion of its own.
    add("soft.alpha.alpha.png", encodePng(makeGradient(8, 6, false), false));
    EXPECT_FALSE(load("soft.alpha")->hasAlpha());
    // A companion smaller than the picture is a clear error, not a stray read.
    add("big.png", encodePng(makeGradient(20, 20, false), false));
    add("big.alpha.png", encodePng(makeGradient(4, 4, false), false));
    EXPECT_THROW(load("big"), Tsl::ResourceException);

    // Loaded pixels are dropped after upload and come back on the next
    // access with their key and whole-image alpha.
    p = load("keyed");
    SDLImage* pSdl = dynamic_cast<SDLImage*>(p.get());
    Color before = p->getColorAt(6, 2);
    pSdl->getSurface()->setAlpha(77);
    pSdl->getSurface()->releasePixels();
    ASSERT_FALSE(pSdl->getSurface()->hasPixels());
    EXPECT_EQ(77, p->getAlpha());
    EXPECT_EQ(before, p->getColorAt(6, 2));
    EXPECT_TRUE(pSdl->getSurface()->hasPixels());
    EXPECT_TRUE(p->hasColorKey());
    EXPECT_EQ(Color(1, 2, 3), p->getColorKey());
    EXPECT_EQ(77, p->getAlpha());
    // An edit pins the pixels: releasing must not lose it.
    p->setColorAt(6, 2, Color(9, 9, 9));
    pSdl->getSurface()->releasePixels();
    EXPECT_EQ(Color(9, 9, 9), p->getColorAt(6, 2));
}

TEST_F(ImageTest, TrimmedDescriptionsAndSubImages) {
    add("piece.png", encodePng(makeGradient(30, 40, true), true));
    addText("piece.spec", "# trimmed\nvcanvas 100 80 10 20\n");
    Tsl::SmartPtr<Image> p = load("piece");
    EXPECT_EQ(100, p->getWidth());
    EXPECT_EQ(80, p->getHeight());
    EXPECT_EQ(Color(0, 0, 0, 255), p->getColorAt(5, 5));
    EXPECT_TRUE(p->isTransparentAt(5, 5, 0));
    EXPECT_EQ(makeGradient(30, 40, true).at(0, 0), p->getColorAt(10, 20));

    add("bad1.png", encodePng(makeGradient(4, 4, true), true));
    addText("bad1.spec", "vcanvas 10 10 0 0\nframe 1 2\n");
    try {
        load("bad1");
        FAIL();
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_STREQ("Unknown token frame at bad1.spec, line 2", e.getMessage());
    }
    add("bad2.png", encodePng(makeGradient(4, 4, true), true));
    addText("bad2.spec", "vcanvas 10 10 0\n");
    EXPECT_THROW(load("bad2"), Tsl::AssertFailException);

    TestPicture sheet = makeGradient(16, 8, true);
    add("sheet.png", encodePng(sheet, true));
    addText("frame.subimage", "sheet 4 2 6 5");
    p = load("frame");
    EXPECT_EQ(6, p->getWidth());
    EXPECT_TRUE(p->isCommitPending());
    EXPECT_EQ(sheet.at(7, 3), p->getColorAt(3, 1));
    addText("loop.subimage", "loop 0 0 2 2");
    EXPECT_THROW(load("loop"), Tsl::FatalErrorException);
    addText("flat.subimage", "sheet 0 0 0 2");
    EXPECT_THROW(load("flat"), Tsl::FatalErrorException);
    addText("short.subimage", "sheet 0 0");
    EXPECT_THROW(load("short"), Tsl::FatalErrorException);
}

// Stored pixels may sit at negative offsets or reach past the canvas; only
// numbers whose edges leave the int range are refused.
TEST_F(ImageTest, VirtualCanvasTakesAnyGeometryThatFitsTheIntRange) {
    TestPicture pic = makeGradient(30, 40, true);
    struct Case {
        const char* pszLine;
        int x, y;  // where the stored pixel (2, 3) shows, when accepted
    };
    const Case aCases[] = {{"vcanvas 100 80 -10 -5", -8, -2},
                           {"vcanvas 20 20 10 10", 12, 13},
                           {"vcanvas 5 5 3 3", 5, 6},
                           {"vcanvas 0 0 -40 60", -38, 63},
                           {"vcanvas 100 100 2147483647 0", 0, 0},
                           {"vcanvas 2147483647 10 -1 0", 0, 0},
                           {"vcanvas -1 10 0 0", 0, 0}};
    int nIndex = 0;
    for (const Case& c : aCases) {
        std::string sName = "piece" + std::to_string(nIndex++);
        add((sName + ".png").c_str(), encodePng(pic, true));
        addText((sName + ".spec").c_str(), std::string(c.pszLine) + "\n");
        bool bFits = c.x != 0 || c.y != 0;
        try {
            Tsl::SmartPtr<Image> p = load(sName.c_str());
            EXPECT_TRUE(bFits) << c.pszLine;
            EXPECT_EQ(pic.at(2, 3), p->getColorAt(c.x, c.y)) << c.pszLine;
        } catch (const Tsl::FatalErrorException& e) {
            EXPECT_FALSE(bFits) << c.pszLine << ": " << e.getMessage();
            EXPECT_NE(nullptr, std::strstr(e.getMessage(), "Bad vcanvas")) << e.getMessage();
        }
    }
}

// Hostile numbers in the companions: a clear error or a harmless image, never
// arithmetic that wraps into a read of pixels that do not exist.
TEST_F(ImageTest, CompanionNumbersNearTheIntLimits) {
    add("piece.png", encodePng(makeGradient(30, 40, true), true));
    addText("piece.spec", "vcanvas 100 100 2147483647 0\n");
    try {
        load("piece");
        FAIL() << "an offset past the canvas was accepted";
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_NE(nullptr, std::strstr(e.getMessage(), "piece.spec, line 1")) << e.getMessage();
    }
    add("tall.png", encodePng(makeGradient(30, 40, true), true));
    addText("tall.spec", "vcanvas 100 2147483647 0 2147483640\n");
    EXPECT_THROW(load("tall"), Tsl::FatalErrorException);

    // A region whose far corner lies past the int range is outside the
    // sheet: a view without pixels.
    add("sheet.png", encodePng(makeGradient(16, 8, true), true));
    addText("far.subimage", "sheet 2147483000 0 2000 5");
    Tsl::SmartPtr<Image> p = load("far");
    EXPECT_EQ(2000, p->getWidth());
    EXPECT_TRUE(p->isTransparentAt(1, 1, 0));
    addText("wide.subimage", "sheet -2147483647 2 2147483647 3");
    p = load("wide");
    EXPECT_EQ(0, p->getPhysicalCanvasRect().getWidth());

    // Rows and columns outside the stored pixels have nothing to read.
    p = load("sheet");
    EXPECT_TRUE(p->isRowTransparent(8, 0));
    EXPECT_TRUE(p->isRowTransparent(-1, 0));
    EXPECT_TRUE(p->isColumnTransparent(16, 0));
    EXPECT_FALSE(p->isColumnTransparent(15, 0));

    // A broken ".png" reports the PNG decoder's complaint, not a TGA one; an
    // empty resource fails as cleanly.
    add("broken.png", Bytes{0x89, 'P', 'N', 'G', 1, 2, 3});
    try {
        load("broken");
        FAIL();
    } catch (const Tsl::ResourceException& e) {
        EXPECT_EQ(nullptr, std::strstr(e.getMessage(), "TGA")) << e.getMessage();
    }
    add("empty.png", Bytes{});
    EXPECT_THROW(load("empty"), Tsl::ResourceException);
}

TEST_F(ImageTest, BlitsClipAndGrow) {
    Tsl::SmartPtr<Image> pSrc = m_factory.createBlank(10, 10, true);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) pSrc->setColorAt(x, y, Color(x * 20, y * 20, 7, 255));
    Tsl::SmartPtr<Image> pDst = m_factory.createBlank(20, 20, true);
    pDst->copyImage(pSrc, -5, -5);
    EXPECT_EQ(Color(100, 100, 7, 255), pDst->getColorAt(0, 0));
    EXPECT_EQ(Color(180, 180, 7, 255), pDst->getColorAt(4, 4));
    EXPECT_EQ(0, pDst->getColorAt(5, 5).a);
    int sx = 0, sy = 0, w = 10, h = 10, x = 20, y = 0;
    EXPECT_FALSE(pDst->clipBlit(pSrc, sx, sy, w, h, x, y));

    // The source's insertion point lands on the destination point.
    pSrc->setInsPoint(3, 3);
    Tsl::SmartPtr<Image> pDst2 = m_factory.createBlank(20, 20, true);
    pDst2->copy(pSrc, 3, 3);
    EXPECT_EQ(Color(0, 0, 7, 255), pDst2->getColorAt(0, 0));

    // Into a trimmed destination: the stored pixels grow, the canvas stays.
    Tsl::SmartPtr<Image> pTrimmed = block(40, 30, Rect(10, 10, 20, 15), Color(50, 60, 70));
    pTrimmed->trim();
    EXPECT_EQ(Rect(10, 10, 20, 15), pTrimmed->getPhysicalCanvasRect());
    pSrc->setInsPoint(0, 0);
    pTrimmed->copyImage(pSrc, 28, 2);
    EXPECT_EQ(40, pTrimmed->getWidth());
    EXPECT_EQ(Rect(10, 2, 38, 15), pTrimmed->getPhysicalCanvasRect());
    EXPECT_EQ(Color(50, 60, 70), pTrimmed->getColorAt(12, 12));
    EXPECT_EQ(Color(20, 40, 7), pTrimmed->getColorAt(29, 4));
    EXPECT_EQ(0, pTrimmed->getColorAt(15, 3).a);

    // Blending composites, and a trimmed source gives only what it stores.
    Tsl::SmartPtr<Image> pHalf = block(4, 4, Rect(1, 1, 3, 3), Color(200, 100, 0, 128));
    pHalf->trim();
    Tsl::SmartPtr<Image> pBack = block(4, 4, Rect(0, 0, 4, 4), Color(0, 0, 255, 255));
    pBack->copyImage(pHalf, 0, 0);
    EXPECT_EQ(Color(100, 50, 127, 255), pBack->getColorAt(1, 1));
    EXPECT_EQ(Color(0, 0, 255, 255), pBack->getColorAt(0, 0));
    Tsl::SmartPtr<Image> pClear = m_factory.createBlank(4, 4, true);
    pClear->copyImage(pHalf, 0, 0);
    EXPECT_EQ(Color(200, 100, 0, 128), pClear->getColorAt(2, 2));
}

// Images drawn together give what drawing them one by one gives: overlapping, past the
// edges, with insertion points, cut from a sheet, mirrored, onto a plain and a trimmed picture (which may grow) and
// with a picture without alpha among them.
TEST_F(ImageTest, ImagesCopiedTogetherMatchOneByOne) {
    std::mt19937 rng(12);
    std::vector<Tsl::SmartPtr<Image>> apGlyphs;
    for (int i = 0; i < 6; ++i) {
        int w = 1 + static_cast<int>(rng() % 9), h = 1 + static_cast<int>(rng() % 12);
        Tsl::SmartPtr<Image> p = m_factory.createBlank(w, h, i != 5);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                unsigned v = rng();
                p->setColorAt(x, y, Color(v & 255, (v >> 8) & 255, (v >> 16) & 255, v % 3 ? (v >> 24) & 255 : 255));
            }
        p->setInsPoint(static_cast<int>(rng() % 3), static_cast<int>(rng() % 3));
        apGlyphs.push_back(p);
    }
    // Drawn together, a glyph still cut from its sheet or waiting to be mirrored
    // gives what it shows, not its store as it stands.
    apGlyphs[1] = apGlyphs[1]->createSubImage(1, 0, std::max(1, apGlyphs[1]->getWidth() - 1), 6, false);
    apGlyphs[2]->flipHorizontal();
    apGlyphs[3]->flipVertical();
    for (int nCase = 0; nCase < 3; ++nCase) {
        std::vector<Image::Placement> aPlaced;
        for (int i = 0; i < 40; ++i)
            aPlaced.push_back({apGlyphs[rng() % (nCase == 2 ? 6 : 5)].get(), static_cast<int>(rng() % 36) - 6,
                               static_cast<int>(rng() % 26) - 6});
        auto target = [&] {
            Tsl::SmartPtr<Image> p = block(30, 20, Rect(nCase == 1 ? 8 : 0, 5, 20, 12), Color(9, 80, 200, 140));
            if (nCase == 1) p->trim();
            return p;
        };
        Tsl::SmartPtr<Image> pTogether = target(), pOneByOne = target();
        pTogether->copyImages(aPlaced.data(), static_cast<int>(aPlaced.size()));
        for (const Image::Placement& placed : aPlaced) pOneByOne->copyImage(placed.pImage, placed.x, placed.y);
        ASSERT_EQ(pOneByOne->getPhysicalCanvasRect(), pTogether->getPhysicalCanvasRect()) << nCase;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(pOneByOne->getColorAt(x, y), pTogether->getColorAt(x, y)) << x << "," << y << " " << nCase;
    }
}

// A NaN or huge float position turned into an int lands near the limits.
TEST_F(ImageTest, BlitsNearTheIntLimitsDrawNothing) {
    Tsl::SmartPtr<Image> pSrc = block(8, 8, Rect(0, 0, 8, 8), Color(1, 2, 3, 255));
    Tsl::SmartPtr<Image> pShifted = block(8, 8, Rect(0, 0, 8, 8), Color(1, 2, 3, 255));
    pShifted->setInsPoint(-5, 5);
    Tsl::SmartPtr<Image> pDst = m_factory.createBlank(16, 16, true);
    for (int n : {INT_MAX - 3, INT_MAX, INT_MIN, INT_MIN + 3}) {
        for (Image* pSource : {pSrc.get(), pShifted.get()}) {
            pDst->copyImage(pSource, n, 0);
            pDst->copyImage(pSource, 0, n);
            pDst->copy(pSource, n, n);
        }
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(0, pDst->getColorAt(x, y).a) << x << "," << y;
}

// Onto itself: growing the stored pixels moves them, and an overlapping
// destination is written while the source is still being read.
TEST_F(ImageTest, APictureCopiedOntoItselfKeepsItsPixels) {
    auto shade = [](int x, int y) { return Color(x * 5, y * 5, 9, 255); };
    struct Case {
        Rect stored;
        int x, y;
    };
    const Case aCases[] = {{Rect(10, 10, 50, 40), 50, 50}, {Rect(0, 0, 40, 30), 5, 3}};
    for (const Case& c : aCases) {
        Tsl::SmartPtr<Image> p = m_factory.createBlank(100, 100, true);
        for (int y = c.stored.top; y < c.stored.bottom; ++y)
            for (int x = c.stored.left; x < c.stored.right; ++x) p->setColorAt(x, y, shade(x, y));
        p->trim();
        p->copyImage(p, c.x, c.y);
        for (int y = c.stored.top; y < c.stored.bottom; ++y)
            for (int x = c.stored.left; x < c.stored.right; ++x)
                ASSERT_EQ(shade(x, y), p->getColorAt(x + c.x, y + c.y)) << x << "," << y;
    }
}

TEST_F(ImageTest, ViewsCopyOnWrite) {
    TestPicture sheetPic = makeGradient(16, 8, true);
    add("sheet.png", encodePng(sheetPic, true));
    Tsl::SmartPtr<Image> pSheet = load("sheet");
    Tsl::SmartPtr<Image> pView = pSheet->createSubImage(4, 2, 6, 5, false);
    Tsl::SmartPtr<Image> pSibling = pSheet->createSubImage(4, 2, 6, 5, false);
    pView->tint(Color(128, 128, 128));
    EXPECT_FALSE(pView->isCommitPending());
    expectPicture(pSheet, sheetPic);
    EXPECT_EQ(sheetPic.at(5, 3), pSibling->getColorAt(1, 1));
    EXPECT_EQ(sheetPic.at(5, 3).r * 128 >> 8, pView->getColorAt(1, 1).r);
    // Pixel writes, fills and key changes on a view commit it first.
    pSibling->setColorAt(0, 0, Color(1, 1, 1));
    pSibling->fill(Color(2, 2, 2));
    expectPicture(pSheet, sheetPic);
    // The picture a view was cut from may change: the view keeps its pixels.
    Tsl::SmartPtr<Image> pKeep = pSheet->createSubImage(0, 0, 4, 4, false);
    pSheet->fill(Color(9, 9, 9));
    EXPECT_EQ(sheetPic.at(1, 1), pKeep->getColorAt(1, 1));
    // multiplyAlpha(255) changes nothing and commits nothing.
    Tsl::SmartPtr<Image> pLazy = pKeep->createSubImage(0, 0, 2, 2, false);
    pLazy->multiplyAlpha(255);
    EXPECT_TRUE(pLazy->isCommitPending());
    Tsl::SmartPtr<Image> pFade = block(2, 1, Rect(0, 0, 1, 1), Color(1, 2, 3, 255));
    pFade->multiplyAlpha(128);
    EXPECT_EQ(127, pFade->getColorAt(0, 0).a);
    EXPECT_EQ(0, pFade->getColorAt(1, 0).a);
    // A region outside the stored pixels reads as transparent.
    Tsl::SmartPtr<Image> pOut = pSheet->createSubImage(100, 100, 5, 5, false);
    EXPECT_TRUE(pOut->isTransparentAt(1, 1, 0));
}

TEST_F(ImageTest, FlipsAreHonouredByEveryRead) {
    TestPicture pic = makeGradient(30, 10, true);
    add("wide.png", encodePng(pic, true));
    Tsl::SmartPtr<Image> p = load("wide");
    p->setVirtualCanvas(10, 0, 100, 10);
    p->setInsPoint(10, 0);
    p->flipHorizontal();
    EXPECT_EQ(90, p->getInsPointX());
    int ox, oy;
    p->getPhysicalOffset(ox, oy);
    EXPECT_EQ(60, ox);
    // Reads see the mirror before any pixel moved.
    EXPECT_EQ(pic.at(29, 3), p->getColorAt(60, 3));
    EXPECT_EQ(pic.at(0, 3), p->getColorAt(89, 3));
    EXPECT_FALSE(dynamic_cast<SDLImage*>(p.get())->getSurface()->isModified());
    // A view (a clip rectangle on a flipped clone) cut from it sees the mirror too.
    Tsl::SmartPtr<Image> pView = p->createSubImage(60, 0, 5, 10, false);
    EXPECT_EQ(pic.at(29, 4), pView->getColorAt(0, 4));
    EXPECT_EQ(pic.at(25, 4), pView->getColorAt(4, 4));
    pView->prepare();
    EXPECT_EQ(pic.at(25, 4), pView->getColorAt(4, 4));
    // Twice restores the geometry and leaves the pixels alone.
    p->flipHorizontal();
    EXPECT_EQ(10, p->getInsPointX());
    EXPECT_FALSE(dynamic_cast<SDLImage*>(p.get())->getSurface()->isModified());
    // Flipping a view of the sheet's middle changes only the view.
    Tsl::SmartPtr<Image> pMid = p->createSubImage(15, 2, 10, 5, false);
    pMid->flipVertical();
    pMid->flipHorizontal();
    pMid->prepare();
    EXPECT_EQ(pic.at(14, 6), pMid->getColorAt(0, 0));
    EXPECT_EQ(pic.at(5, 2), p->getColorAt(15, 2));
    // Mirrored hit tests.
    Tsl::SmartPtr<Image> pDot = block(10, 10, Rect(1, 1, 2, 2), Color::Red);
    pDot->flipHorizontal();
    EXPECT_FALSE(pDot->isTransparentAt(8, 1, 0));
    EXPECT_TRUE(pDot->isTransparentAt(1, 1, 0));
    // The span scans see the mirror too, and read nothing past the pixels.
    pDot->lock();
    EXPECT_FALSE(pDot->isRowSpanClear(1, 8, 9));
    EXPECT_TRUE(pDot->isRowSpanClear(1, 0, 8));
    EXPECT_TRUE(pDot->isRowSpanClear(1, 9, 1000));
    EXPECT_FALSE(pDot->isColumnSpanClear(8, -50, 50));
    EXPECT_TRUE(pDot->isColumnSpanClear(8, 2, 10));
    EXPECT_TRUE(pDot->isColumnSpanClear(-1, 0, 10));
    EXPECT_TRUE(pDot->isRowSpanClear(1, 9, 3));
    pDot->unlock();
}

TEST_F(ImageTest, VerticalFlipOfAnEvenHeightMirrorsEveryRow) {
    Tsl::SmartPtr<Image> p = m_factory.createBlank(3, 4, true);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) p->setColorAt(x, y, Color(10 * y, x, 5, 255));
    p->flipVertical();
    p->prepare();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(Color(10 * (3 - y), x, 5, 255), p->getColorAt(x, y)) << x << "," << y;
}

TEST_F(ImageTest, SpanClearPrefersTheColourKey) {
    Tsl::SmartPtr<Image> p = block(6, 3, Rect(0, 0, 6, 3), Color(10, 20, 30, 255));
    p->setColorAt(4, 1, Color(10, 20, 30, 0));
    p->setColorAt(1, 1, Color(0, 0, 0, 0));
    p->lock();
    EXPECT_TRUE(p->isRowSpanClear(1, 1, 2));
    EXPECT_FALSE(p->isRowSpanClear(1, 0, 2));
    p->unlock();
    // With a key, alpha 0 alone is not clear, and a keyed pixel must be opaque.
    p->setColorKey(Color(10, 20, 30, 255));
    p->lock();
    EXPECT_TRUE(p->isRowSpanClear(0, 0, 6));
    EXPECT_FALSE(p->isRowSpanClear(1, 1, 2));
    EXPECT_FALSE(p->isColumnSpanClear(4, 0, 3));
    EXPECT_TRUE(p->isColumnSpanClear(5, 0, 3));
    p->unlock();
}

TEST_F(ImageTest, AlphaTransferTrimAndAlignment) {
    Tsl::SmartPtr<Image> pTarget = block(10, 10, Rect(0, 0, 10, 10), Color(10, 20, 30, 255));
    // A trimmed mask smaller than the target: nothing is read outside it, and
    // what it does not cover reads a mask value of 0.
    Tsl::SmartPtr<Image> pMask = block(10, 10, Rect(2, 2, 5, 5), Color(0, 0, 0, 99));
    pMask->trim();
    pTarget->setAlphaFromImage(pMask, 0);
    EXPECT_EQ(99, pTarget->getColorAt(3, 3).a);
    EXPECT_EQ(0, pTarget->getColorAt(8, 8).a);
    EXPECT_EQ(Color(10, 20, 30, 99), pTarget->getColorAt(2, 2));
    Tsl::SmartPtr<Image> pAlpha = pTarget->createAlphaMask();
    EXPECT_EQ(Color(99, 99, 99, 255), pAlpha->getColorAt(4, 4));

    Tsl::SmartPtr<Image> pEmpty = m_factory.createBlank(12, 12, true);
    pEmpty->trim();
    EXPECT_EQ(0, pEmpty->getPhysicalCanvasRect().getWidth());
    EXPECT_EQ(12, pEmpty->getWidth());
    EXPECT_TRUE(pEmpty->isTransparentAt(3, 3, 0));

    Tsl::SmartPtr<Image> pAlign = block(101, 51, Rect(10, 10, 21, 21), Color::Red);
    pAlign->alignInsPoint(4 + 32);
    EXPECT_EQ(Point(50, 25), pAlign->getInsPoint());
    pAlign->alignInsPoint(2 + 16);
    EXPECT_EQ(Point(100, 50), pAlign->getInsPoint());
    pAlign->trim();
    pAlign->alignInsPoint(64 + 4);
    EXPECT_EQ(15, pAlign->getInsPointX());
}

// ---- shapes -------------------------------------------------------------------

namespace {

// Covered pixels of an image in canvas coordinates.
std::vector<Point> coveredPixels(Image* p, int nThreshold) {
    std::vector<Point> a;
    for (int y = 0; y < p->getHeight(); ++y)
        for (int x = 0; x < p->getWidth(); ++x)
            if (!p->isTransparentAt(x, y, nThreshold)) a.push_back(Point(float(x), float(y)));
    return a;
}

} // namespace

TEST_F(ImageTest, ShapeCachingAndTree) {
    Tsl::SmartPtr<Image> p = block(20, 12, Rect(3, 3, 9, 9), Color::Red);
    Tsl::SmartPtr<Shape> s = p->getShape(4, 0, 0.5f);
    EXPECT_EQ(s.get(), p->getShape(4, 0, 0.5f).get());
    EXPECT_NE(s.get(), p->getShape(4, 0, 0.25f).get());
    s = p->getShape(4, 0, 0.25f);
    p->tint(Color(1, 1, 1));
    EXPECT_NE(s.get(), p->getShape(4, 0, 0.25f).get()) << "pixels changed, shape rebuilt";
    s = p->getShape(4, 0, 0.25f);
    p->flipHorizontal();
    EXPECT_NE(s.get(), p->getShape(4, 0, 0.25f).get()) << "geometry changed, shape rebuilt";

    Tsl::SmartPtr<Image> pTiny = block(3, 3, Rect(1, 1, 2, 2), Color::Red);
    Tsl::SmartPtr<Shape> pLeaf = pTiny->getShape(8, 0, 0.0f);
    EXPECT_EQ(1, pLeaf->getLevels());
    EXPECT_EQ(Shape::NODE_FULL, pLeaf->getNodeState(0));
    EXPECT_EQ(1, pLeaf->getFullRects().getCount());
    EXPECT_EQ(Rect(0, 0, 8, 8), pLeaf->getFullRects().getFirst());

    Tsl::SmartPtr<Image> pNone = m_factory.createBlank(16, 16, true);
    Tsl::SmartPtr<Shape> pEmpty = pNone->getShape(4, 0, 0.0f);
    EXPECT_EQ(Shape::NODE_EMPTY, pEmpty->getNodeState(0));
    ShapePose pose;
    EXPECT_FALSE(pEmpty->collide(pose, pLeaf, pose));
    EXPECT_EQ(1, pLeaf->collectContacts(pose, pLeaf, pose).getCount());
    EXPECT_THROW(pTiny->getShape(0, 0, 0.5f), Tsl::BadParmException);
    // A long thin picture in one-pixel cells would need 17 complete levels.
    Tsl::SmartPtr<Image> pPole = m_factory.createBlank(1, 40000, true);
    EXPECT_THROW(pPole->getShape(1, 0, 0.0f), Tsl::BadParmException);
}

TEST_F(ImageTest, ShapeCollisionAgainstPixelOverlap) {
    std::mt19937 rng(21);
    auto randomPicture = [&](int w, int h) {
        Tsl::SmartPtr<Image> p = m_factory.createBlank(w, h, true);
        std::uniform_int_distribution<int> coin(0, 9);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (coin(rng) < 2) p->setColorAt(x, y, Color(1, 2, 3, 200));
        return p;
    };
    Tsl::SmartPtr<Image> pA = randomPicture(13, 9), pB = randomPicture(7, 11);
    pB->setInsPoint(3, 5);
    // Cell 1 with fill 0: every covered pixel is a full leaf, so the shape
    // test must agree with the pixels (touching counts as contact).
    Tsl::SmartPtr<Shape> sA = pA->getShape(1, 0, 0.0f), sB = pB->getShape(1, 0, 0.0f);
    std::vector<Point> aA = coveredPixels(pA, 0), aB = coveredPixels(pB, 0);
    std::uniform_int_distribution<int> pos(-14, 14);
    for (int i = 0; i < 300; ++i) {
        ShapePose poseA, poseB;
        poseA.insPoint = pA->getInsPoint();
        poseB.insPoint = pB->getInsPoint();
        poseB.position = Point(float(pos(rng)), float(pos(rng)));
        bool bBrute = false, bCorner = false;
        for (const Point& a : aA)
            for (const Point& b : aB) {
                Point d = (b - poseB.insPoint + poseB.position) - (a - poseA.insPoint);
                if (std::fabs(d.x) > 1 || std::fabs(d.y) > 1) continue;
                // Boxes meeting only at a corner are left to rounding.
                if (std::fabs(d.x) + std::fabs(d.y) < 2) bBrute = true;
                else bCorner = true;
            }
        if (!bBrute && bCorner) continue;
        EXPECT_EQ(bBrute, sA->collide(poseA, sB, poseB)) << i;
    }
    // Turned and scaled poses: clear overlaps must collide, clear misses must not.
    std::uniform_real_distribution<float> fpos(-15.0f, 15.0f), angle(0.0f, 360.0f), scale(0.5f, 2.0f);
    for (int i = 0; i < 300; ++i) {
        ShapePose poseA, poseB;
        poseA.insPoint = pA->getInsPoint();
        poseB.insPoint = pB->getInsPoint();
        poseA.fRotation = angle(rng);
        poseB.fRotation = angle(rng);
        poseB.position = Point(fpos(rng), fpos(rng));
        float fScale = scale(rng);
        poseB.scale = Point(fScale, -fScale);
        float fNearest = 1e9f;
        for (const Point& a : aA)
            for (const Point& b : aB) {
                Point pa = poseA.localToScreen(a + Point(0.5f, 0.5f));
                Point pb = poseB.localToScreen(b + Point(0.5f, 0.5f));
                fNearest = std::min(fNearest, (pa - pb).getLength());
            }
        bool bHit = sA->collide(poseA, sB, poseB);
        // Pixel boxes are centred on integer halves of their rectangles, so
        // allow a pixel of slack each way.
        if (fNearest < 0.25f) {
            EXPECT_TRUE(bHit) << i;
        }
        if (fNearest > 3.5f * std::max(1.0f, fScale)) {
            EXPECT_FALSE(bHit) << i;
        }
    }
    // A trimmed copy collides exactly like the original.
    Tsl::SmartPtr<Image> pT = pA->clone(true);
    pT->trim();
    Tsl::SmartPtr<Shape> sT = pT->getShape(1, 0, 0.0f);
    for (int i = 0; i < 100; ++i) {
        ShapePose poseB;
        poseB.insPoint = pB->getInsPoint();
        poseB.position = Point(float(pos(rng)), float(pos(rng)));
        ShapePose poseA;
        EXPECT_EQ(sA->collide(poseA, sB, poseB), sT->collide(poseA, sB, poseB)) << i;
    }
}

// The shape is shared by every sprite showing its image and tested every
// frame: only a collecting test may keep rectangles.
TEST_F(ImageTest, ShapeKeepsOnlyTheContactsOfTheLastCollectingTest) {
    Tsl::SmartPtr<Image> p = block(8, 8, Rect(0, 0, 8, 8), Color::Red);
    Tsl::SmartPtr<Shape> s = p->getShape(4, 0, 0.5f);
    ShapePose pose;
    int nContacts = s->collectContacts(pose, s, pose).getCount();
    ASSERT_GT(nContacts, 0);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(s->collide(pose, s, pose));
    EXPECT_EQ(nContacts, s->getContacts().getCount());
}
