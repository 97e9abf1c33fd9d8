#include "image/pixelops.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <random>

namespace {

// A surface of random pixels in one of the formats images meet.
struct TestSurface {
    SDL_Surface* pSurface;
    TestSurface(int w, int h, int nBpp, Uint32 r, Uint32 g, Uint32 b, Uint32 a, unsigned nSeed) {
        pSurface = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, nBpp, r, g, b, a);
        std::mt19937 rng(nSeed);
        auto* p = static_cast<unsigned char*>(pSurface->pixels);
        for (int i = 0; i < pSurface->pitch * h; ++i) {
            // Plenty of the special alphas 0 and 255.
            unsigned v = rng() & 0x3FF;
            p[i] = static_cast<unsigned char>(v > 0x300 ? 255 : v > 0x280 ? 0 : v);
        }
    }
    TestSurface(const TestSurface& other) {
        pSurface = SDL_ConvertSurface(other.pSurface, other.pSurface->format, 0);
        std::memcpy(pSurface->pixels, other.pSurface->pixels, other.pSurface->pitch * other.pSurface->h);
    }
    ~TestSurface() { SDL_FreeSurface(pSurface); }
    PixelBuffer buffer() const {
        PixelBuffer b;
        b.pPixels = static_cast<unsigned char*>(pSurface->pixels);
        b.nPitch = pSurface->pitch;
        b.nWidth = pSurface->w;
        b.nHeight = pSurface->h;
        b.pFormat = pSurface->format;
        return b;
    }
    bool samePixels(const TestSurface& other) const {
        for (int y = 0; y < pSurface->h; ++y)
            for (int x = 0; x < pSurface->w; ++x)
                if (PixelOps::readPixel(buffer(), x, y) != PixelOps::readPixel(other.buffer(), x, y)) return false;
        return true;
    }
};

struct Format {
    int nBpp;
    Uint32 r, g, b, a;
};
// RGBA bytes (as loaded), ARGB (display alpha), RGB and BGR 24-bit, and 16-bit
// (generic path only).
const Format g_aFormats[] = {{32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
                             {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
                             {24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
                             {24, 0x000000FF, 0x0000FF00, 0x00FF0000, 0},
                             {16, 0xF800, 0x07E0, 0x001F, 0}};

TestSurface make(const Format& f, unsigned nSeed, int w = 37, int h = 23) {
    return TestSurface(w, h, f.nBpp, f.r, f.g, f.b, f.a, nSeed);
}

} // namespace

TEST(PixelOps, BlendRuleKeepsWorkedExamples) {
    EXPECT_EQ(Color(100, 50, 127, 255), PixelOps::blendPixel(Color(0, 0, 255, 255), Color(200, 100, 0, 128)));
    EXPECT_EQ(Color(200, 100, 0, 128), PixelOps::blendPixel(Color(9, 9, 9, 0), Color(200, 100, 0, 128)));
    // The destination keeps min(its alpha, 255 - source alpha).
    EXPECT_EQ(Color(100, 50, 127, 200), PixelOps::blendPixel(Color(0, 0, 255, 100), Color(200, 100, 0, 100)));
    EXPECT_EQ(Color(1, 2, 3, 255), PixelOps::blendPixel(Color(200, 200, 200, 77), Color(1, 2, 3, 255)));
}

TEST(PixelOps, FastPathsMatchTheGenericOnRandomPixels) {
    int nSeed = 1;
    for (const Format& fd : g_aFormats) {
        for (const Format& fs : g_aFormats) {
            TestSurface dst = make(fd, nSeed++), src = make(fs, nSeed++);
            TestSurface fast(dst), generic(dst);
            PixelOps::blend(fast.buffer(), src.buffer());
            PixelOps::blendGeneric(generic.buffer(), src.buffer());
            EXPECT_TRUE(fast.samePixels(generic)) << "blend " << fs.nBpp << " onto " << fd.nBpp;
        }
        TestSurface base = make(fd, nSeed++);
        {
            TestSurface fast(base), generic(base);
            PixelOps::tint(fast.buffer(), Color(200, 17, 255, 3));
            PixelOps::tintGeneric(generic.buffer(), Color(200, 17, 255, 3));
            EXPECT_TRUE(fast.samePixels(generic)) << "tint " << fd.nBpp;
        }
        {
            TestSurface fast(base), generic(base);
            PixelOps::multiplyAlpha(fast.buffer(), 128);
            PixelOps::multiplyAlphaGeneric(generic.buffer(), 128);
            EXPECT_TRUE(fast.samePixels(generic)) << "multiplyAlpha " << fd.nBpp;
        }
        {
            TestSurface fast(base), generic(base);
            PixelOps::remapChannels(fast.buffer(), 2, 3, 0);
            PixelOps::remapChannelsGeneric(generic.buffer(), 2, 3, 0);
            EXPECT_TRUE(fast.samePixels(generic)) << "remap " << fd.nBpp;
        }
        {
            TestSurface fast(base), generic(base);
            PixelOps::flipHorizontal(fast.buffer());
            PixelOps::flipHorizontalGeneric(generic.buffer());
            EXPECT_TRUE(fast.samePixels(generic)) << "flip " << fd.nBpp;
            PixelOps::flipHorizontal(fast.buffer());
            EXPECT_TRUE(fast.samePixels(base));
        }
        for (const Format& fm : g_aFormats) {
            if (!fd.a) continue;
            TestSurface mask = make(fm, nSeed++);
            for (int nMode = 0; nMode < 2; ++nMode) {
                TestSurface fast(base), generic(base);
                PixelOps::transferAlpha(fast.buffer(), mask.buffer(), nMode);
                PixelOps::transferAlphaGeneric(generic.buffer(), mask.buffer(), nMode);
                EXPECT_TRUE(fast.samePixels(generic)) << "alpha from " << fm.nBpp << " mode " << nMode;
            }
        }
        for (int y = 0; y < base.pSurface->h; ++y)
            EXPECT_EQ(PixelOps::isRowTransparentGeneric(base.buffer(), y, 200),
                      PixelOps::isRowTransparent(base.buffer(), y, 200));
        Rect cell(3, 2, 19, 18);
        // Thresholds at and past both ends of the alpha range too.
        for (int nThreshold : {-1, 0, 100, 255})
            for (int nLimit : {0, 10, 255}) {
                EXPECT_EQ(PixelOps::countCoveredGeneric(base.buffer(), cell, nThreshold, nLimit),
                          PixelOps::countCovered(base.buffer(), cell, nThreshold, nLimit))
                    << fd.nBpp << " threshold " << nThreshold;
            }
    }
}

TEST(PixelOps, ColorKeyCountsAsTransparent) {
    TestSurface s = make(g_aFormats[2], 99, 8, 4);
    SDL_FillRect(s.pSurface, nullptr, SDL_MapRGB(s.pSurface->format, 10, 20, 30));
    SDL_Rect dot = {5, 2, 1, 1};
    SDL_FillRect(s.pSurface, &dot, SDL_MapRGB(s.pSurface->format, 200, 0, 0));
    SDL_SetColorKey(s.pSurface, SDL_SRCCOLORKEY, SDL_MapRGB(s.pSurface->format, 10, 20, 30));
    PixelBuffer b = s.buffer();
    b.bHasColorKey = true;
    EXPECT_TRUE(PixelOps::isRowTransparent(b, 0, 0));
    EXPECT_FALSE(PixelOps::isRowTransparent(b, 2, 0));
    EXPECT_EQ(Rect(5, 2, 6, 3), PixelOps::findContentBounds(b));
    SDL_FillRect(s.pSurface, &dot, SDL_MapRGB(s.pSurface->format, 10, 20, 30));
    EXPECT_TRUE(PixelOps::findContentBounds(b).isEmpty());
    // A keyed source pixel leaves the destination alone.
    TestSurface dst = make(g_aFormats[0], 5, 8, 4), before(dst);
    PixelOps::blend(dst.buffer(), b);
    EXPECT_TRUE(dst.samePixels(before));
}

// Every pair of source and destination alpha, in groups of four that mix
// clear, opaque and partial pixels in all the ways the vector path branches on.
TEST(PixelOps, BlendMatchesTheRuleForEveryAlphaPair) {
    // The two 32-bit formats onto themselves and onto each other (text onto pictures).
    const int aPairs[4][2] = {{0, 0}, {1, 1}, {1, 0}, {0, 1}};
    for (const auto& pair : aPairs) {
        const Format &f = g_aFormats[pair[0]], &fd = g_aFormats[pair[1]];
        TestSurface src = make(f, 7, 256, 260), dst = make(fd, 8, 256, 260);
        std::mt19937 rng(3);
        for (int y = 0; y < 260; ++y) {
            for (int x = 0; x < 256; ++x) {
                Color s = PixelOps::readPixel(src.buffer(), x, y), d = PixelOps::readPixel(dst.buffer(), x, y);
                // The last rows: only clear and opaque sources, in random runs.
                s.a = static_cast<unsigned char>(y < 256 ? x : (rng() & 1) * 255);
                d.a = static_cast<unsigned char>(y < 256 ? y : rng());
                PixelOps::writePixel(src.buffer(), x, y, s);
                PixelOps::writePixel(dst.buffer(), x, y, d);
            }
        }
        TestSurface fast(dst), generic(dst);
        PixelOps::blend(fast.buffer(), src.buffer());
        PixelOps::blendGeneric(generic.buffer(), src.buffer());
        EXPECT_TRUE(fast.samePixels(generic)) << "formats " << pair[0] << " onto " << pair[1];
    }
}

// Clear spans on a clear background with one planted pixel: the key wins over
// alpha, keyed pixels must be opaque, pixels without alpha are never clear.
TEST(PixelOps, RectClearMatchesTheGeneric) {
    std::mt19937 rng(11);
    const Color aPlanted[] = {Color(10, 20, 30, 255), Color(10, 20, 30, 0), Color(10, 20, 30, 128),
                              Color(11, 20, 30, 255), Color(0, 0, 0, 0)};
    for (const Format& f : g_aFormats) {
        for (bool bKey : {false, true}) {
            TestSurface s = make(f, 1, 9, 5);
            PixelBuffer b = s.buffer();
            b.bHasColorKey = bKey;
            if (bKey) SDL_SetColorKey(s.pSurface, SDL_SRCCOLORKEY, SDL_MapRGB(s.pSurface->format, 10, 20, 30));
            for (int nTrial = 0; nTrial < 40; ++nTrial) {
                Color background = bKey ? Color(10, 20, 30, 255) : Color(1, 2, 3, 0);
                for (int y = 0; y < 5; ++y)
                    for (int x = 0; x < 9; ++x) PixelOps::writePixel(b, x, y, background);
                int px = rng() % 9, py = rng() % 5;
                PixelOps::writePixel(b, px, py, aPlanted[rng() % 5]);
                for (const Rect& r : {Rect(0, py, 9, py + 1), Rect(px, 0, px + 1, 5), Rect(0, 0, px, 5),
                                      Rect(px, py, px + 1, py + 1), Rect(px, py, px, py + 1)})
                    EXPECT_EQ(PixelOps::isRectClearGeneric(b, r), PixelOps::isRectClear(b, r))
                        << f.nBpp << " key " << bKey << " " << r.toString().c_str();
            }
        }
    }
}
