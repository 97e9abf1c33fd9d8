// 800x600 frames through the Direct3D 7 driver on the software device, each beside SDL
// 1.2 doing the same work in the same run, the way a user of SDL would do it at its best:
// alpha surfaces with run-length acceleration (SDL_SRCALPHA | SDL_RLEACCEL) and turned or
// scaled pictures made by SDL_gfx's smoothed rotozoomSurface and then blitted. Plain
// SDL_SRCALPHA surfaces are measured too. Every reference ends with the frame shown, as
// our frame does. Times are medians of the repetitions.
//
// Counters (speedups above 1 mean we are faster):
// - UprightFrame/N: a full-screen background and N upright 64x96 alpha sprites with
//   opaque middles. "speedup_vs_sdl_rle", "speedup_vs_sdl"; "over_floor" is our frame
//   over its memory floor: the time memcpy, measured in the same run, takes to move the
//   frame's unavoidable bytes (background into the back buffer and the back buffer to
//   the screen: two frame copies; per sprite pixel one read of the texel and a read and
//   a write of the target, 1.5 bytes of memcpy per byte of sprite). The copies walk
//   buffers a few frames long, about the frame's own working set.
// - TurnedSprite, ScaledSprite: 200 sprites turned (random angles, turning on by a
//   degree every frame) or scaled (a 32x48 picture at 2x), the frame without them
//   subtracted. "cost_vs_upright" is the per-sprite cost over that of the same 200
//   sprites upright at the same size; "speedup_vs_sdl_gfx" compares with rotozoomSurface
//   + blit of the same sprites every frame (as a changing angle needs),
//   "speedup_vs_sdl_gfx_cached" with blits of rotozoomSurface's pictures made once.
// - RescaledSprite, ManyScaledPictures: the scaled sprites of ScaledSprite, their scale
//   changing every frame (between 1.9x and 2.1x), or taken from 24 pictures instead of 8,
//   so that each quad meets columns and rows not worked out for an earlier one;
//   "cost_vs_upright" as above.
// - SpriteBetweenPixels: the same 200 upright sprites moving by whole pixels every frame,
//   and moving the same way a fraction of a pixel off the grid; "cost_vs_whole_pixels".
// - MirroredSprite: the same 200 upright sprites, and drawn mirrored left to right (a
//   scale of (-1, 1), as the level turns gulls, scenery and guests); "cost_vs_upright".
// - GameFrame: a background, 45 animated 64x96 sprites moving at fractional positions,
//   10 labels (two change every frame) and 2 additive emitters holding about 300 live
//   16x16 particles; "cost_vs_whole_pixels" against the same frame with every sprite
//   and particle on whole pixels, "over_floor" against two frame copies and 1.5 per
//   sprite pixel (as UprightFrame), "cost_vs_copied_present" against the same frames
//   presented by copying the back buffer into SDL's screen surface, as the driver did
//   before it drew straight into it (test::setSharedScreenEnabled).
// - BusyFrame: the game-like frame (turned sprites, additive sparks, a stencil mask).
//   SDL has no additive blend or stencil, so its time is reported beside ours
//   ("sdl_rle_ms_not_equal_work"), not as a ratio.
#include "headless_app.h"
#include "app/gameapp.h"
#include "app/gamemode.h"
#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "effects/particle.h"
#include "effects/particleemitter.h"
#include "effects/particlerandom.h"
#include "sprite/sprite.h"
#include "ui/label.h"
#include "ui/systemfont.h"
#include "video/sdl_d3d7video.h"
#include "pace.h"

#include "d3d7/test_hooks.h"

#include <SDL.h>
#include <SDL_rotozoom.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

const int WIDTH = 800;
const int HEIGHT = 600;
const int REPEATS = 41;

double millisecondsOf(const std::function<void()>& fnPass) {
    auto tStart = std::chrono::steady_clock::now();
    fnPass();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tStart).count();
}

double median(std::vector<double> aValues) {
    if (aValues.empty()) return 0.0;
    std::sort(aValues.begin(), aValues.end());
    return aValues[aValues.size() / 2];
}

// Median time of nRepeats runs of fnPass after one unmeasured run.
double medianMs(const std::function<void()>& fnPass, int nRepeats = REPEATS) {
    fnPass();
    std::vector<double> a;
    for (int i = 0; i < nRepeats; ++i) a.push_back(millisecondsOf(fnPass));
    return median(a);
}

// A soft-edged blob: opaque in the middle, fading to clear at the rim.
Color blobPixel(int x, int y, int nWidth, int nHeight, unsigned char r, unsigned char g, unsigned char b) {
    float dx = (x + 0.5f) / nWidth * 2.0f - 1.0f, dy = (y + 0.5f) / nHeight * 2.0f - 1.0f;
    float d = std::sqrt(dx * dx + dy * dy);
    int a = d < 0.8f ? 255 : d < 1.0f ? static_cast<int>((1.0f - d) / 0.2f * 255.0f) : 0;
    return Color(r, g, b, static_cast<unsigned char>(a));
}

Tsl::SmartPtr<Image> makeImage(int nWidth, int nHeight, bool bAlpha, const std::function<Color(int, int)>& fnPixel) {
    Tsl::SmartPtr<Image> pImage = new SDLImage(nWidth, nHeight, bAlpha, true);
    pImage->lock();
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) pImage->putPixel(x, y, fnPixel(x, y));
    pImage->unlock();
    return pImage;
}

Tsl::SmartPtr<Image> makeBlob(int nWidth, int nHeight, unsigned char r, unsigned char g) {
    return makeImage(nWidth, nHeight, true, [=](int x, int y) { return blobPixel(x, y, nWidth, nHeight, r, g, 200); });
}

// The same picture as an SDL surface in the back buffer's own 32-bit layout.
SDL_Surface* toSDL(Image* pImage, Uint32 nAlphaFlags) {
    int nWidth = pImage->getWidth(), nHeight = pImage->getHeight();
    bool bAlpha = pImage->hasAlpha();
    SDL_Surface* pSurface = SDL_CreateRGBSurface(SDL_SWSURFACE, nWidth, nHeight, 32, 0x00FF0000, 0x0000FF00,
                                                 0x000000FF, bAlpha ? 0xFF000000 : 0);
    pImage->lock();
    for (int y = 0; y < nHeight; ++y) {
        Uint32* pRow = reinterpret_cast<Uint32*>(static_cast<Uint8*>(pSurface->pixels) + y * pSurface->pitch);
        for (int x = 0; x < nWidth; ++x) {
            Color c = pImage->getPixel(x, y);
            pRow[x] = (static_cast<Uint32>(c.a) << 24) | (c.r << 16) | (c.g << 8) | c.b;
        }
    }
    pImage->unlock();
    if (bAlpha) SDL_SetAlpha(pSurface, nAlphaFlags, 255);
    return pSurface;
}

// One picture placed in the SDL reference: blitted as it is, or turned and scaled by
// rotozoomSurface first (about its centre, as our sprites turn about their insertion point).
// pCached: rotozoomSurface's picture made once, for the reference that does not redo it.
struct Placed {
    SDL_Surface* pSurface;
    int x, y;
    double fAngle, fZoom;
    SDL_Surface* pCached = nullptr;
};

void blitPlaced(const Placed& p, SDL_Surface* pTarget, bool bCached) {
    if (p.fAngle == 0.0 && p.fZoom == 1.0) {
        SDL_Rect dst = {static_cast<Sint16>(p.x), static_cast<Sint16>(p.y), 0, 0};
        SDL_BlitSurface(p.pSurface, nullptr, pTarget, &dst);
        return;
    }
    SDL_Surface* pTurned = bCached ? p.pCached : rotozoomSurface(p.pSurface, p.fAngle, p.fZoom, SMOOTHING_ON);
    if (!pTurned) return;
    SDL_Rect dst = {static_cast<Sint16>(p.x - pTurned->w / 2), static_cast<Sint16>(p.y - pTurned->h / 2), 0, 0};
    SDL_BlitSurface(pTurned, nullptr, pTarget, &dst);
    if (!bCached) SDL_FreeSurface(pTurned);
}

// A group of sprites with their SDL counterparts, plain and run-length accelerated.
struct Group {
    std::vector<Tsl::SmartPtr<Sprite>> apSprites;
    std::vector<Placed> aPlain, aRle;
    long long nPixels = 0; // sprite pixels drawn

    ~Group() {
        for (Placed& p : aRle) SDL_FreeSurface(p.pCached);
    }
    void setVisible(bool bVisible) {
        for (auto& p : apSprites) p->setVisible(bVisible);
    }
    void cacheTurned() {
        for (Placed& p : aRle)
            if (p.fAngle != 0.0 || p.fZoom != 1.0) p.pCached = rotozoomSurface(p.pSurface, p.fAngle, p.fZoom, SMOOTHING_ON);
    }
    bool isVisible() const { return apSprites.empty() || apSprites.front()->isVisible(); }
};

// The application, its driver and one mode holding the scene.
class Scene {
public:
    Scene() {
        m_pApp = startHeadlessApp(WIDTH, HEIGHT, VMF_STENCIL);
        m_pMode = new GameMode(MF_ACTIVE | MF_VISIBLE);
        m_pApp->pushMode(m_pMode);
        m_pTarget = SDL_CreateRGBSurface(SDL_SWSURFACE, WIDTH, HEIGHT, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        Tsl::SmartPtr<Image> pBackground = makeImage(WIDTH, HEIGHT, false, [](int x, int y) {
            return Color(static_cast<unsigned char>(x), static_cast<unsigned char>(y), 90);
        });
        add(newGroup(), pBackground, 0, 0, 0);
    }

    ~Scene() {
        m_groups.clear();
        for (auto& entry : m_surfaces) {
            SDL_FreeSurface(entry.second.first);
            SDL_FreeSurface(entry.second.second);
        }
        SDL_FreeSurface(m_pTarget);
        m_groups.clear();
        m_pMode = nullptr;
        delete m_pApp;
    }

    // The application's frame: its counter moves on, as the texture stamps expect.
    void renderOurs() { m_pApp->runFrame(); }

    // The visible groups' sprites, then the frame shown. bCached: turned pictures made
    // once (run-length accelerated groups only).
    void renderReference(bool bRle, bool bCached = false) {
        for (const std::unique_ptr<Group>& pGroup : m_groups)
            if (pGroup->isVisible())
                for (const Placed& p : bRle ? pGroup->aRle : pGroup->aPlain) blitPlaced(p, m_pTarget, bCached && bRle);
        SDL_Surface* pScreen = SDL_GetVideoSurface();
        SDL_BlitSurface(m_pTarget, nullptr, pScreen, nullptr);
        SDL_Flip(pScreen);
    }

    GameMode* mode() { return m_pMode.get(); }

    Group& newGroup() {
        m_groups.push_back(std::make_unique<Group>());
        return *m_groups.back();
    }

    // A sprite of the picture at x, y (its insertion point there); bReference: SDL draws
    // it too. rotozoomSurface turns counter-clockwise for positive angles, our sprites
    // clockwise: the reference turns the other way, at the same cost.
    Tsl::SmartPtr<Sprite> add(Group& group, Tsl::SmartPtr<Image> pImage, int x, int y, int nZ, float fAngle = 0.0f,
                              float fScale = 1.0f, bool bReference = true) {
        Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, x, y, nZ);
        pSprite->setRotation(fAngle);
        pSprite->setScale(fScale);
        m_pMode->addSprite(pSprite);
        group.apSprites.push_back(pSprite);
        if (!bReference) return pSprite;
        group.nPixels += static_cast<long long>(pImage->getWidth() * fScale) * static_cast<long long>(pImage->getHeight() * fScale);
        bool bTransformed = fAngle != 0.0f || fScale != 1.0f;
        int nX = bTransformed ? x : x - pImage->getInsPointX();
        int nY = bTransformed ? y : y - pImage->getInsPointY();
        std::pair<SDL_Surface*, SDL_Surface*> surfaces = surfacesOf(pImage.get());
        group.aPlain.push_back(Placed{surfaces.first, nX, nY, -fAngle, fScale});
        group.aRle.push_back(Placed{surfaces.second, nX, nY, -fAngle, fScale});
        return pSprite;
    }

private:
    // Each picture converted once, plain and run-length accelerated.
    std::pair<SDL_Surface*, SDL_Surface*> surfacesOf(Image* pImage) {
        auto it = m_surfaces.find(pImage);
        if (it != m_surfaces.end()) return it->second;
        auto surfaces = std::make_pair(toSDL(pImage, SDL_SRCALPHA), toSDL(pImage, SDL_SRCALPHA | SDL_RLEACCEL));
        m_surfaces[pImage] = surfaces;
        return surfaces;
    }

    GameApp* m_pApp;
    Tsl::SmartPtr<GameMode> m_pMode;
    SDL_Surface* m_pTarget = nullptr;
    std::vector<std::unique_ptr<Group>> m_groups;
    std::map<Image*, std::pair<SDL_Surface*, SDL_Surface*>> m_surfaces;
};

// The time memcpy takes to copy one frame, measured now. Each copy takes the next
// frame-sized slice of two buffers a few frames long: about as many bytes as the frame
// itself keeps moving (background, back buffer, textures), so the reference meets them
// where the frame does, in whatever caches the machine has; a single frame copied over and
// over would stay in the nearest one. Sized from the last-level cache instead, the buffers
// would take gigabytes where that cache is large.
double frameCopyMs() {
    const size_t nFrame = static_cast<size_t>(WIDTH) * HEIGHT;
    const size_t nSlices = 4;
    std::vector<Uint32> aFrom(nFrame * nSlices, 0x123456u), aTo(nFrame * nSlices, 0u);
    size_t nSlice = 0;
    return medianMs(
        [&] {
            std::memcpy(aTo.data() + nSlice * nFrame, aFrom.data() + nSlice * nFrame, nFrame * sizeof(Uint32));
            nSlice = (nSlice + 1) % nSlices;
            benchmark::DoNotOptimize(aTo.data());
            benchmark::ClobberMemory();
        },
        201);
}

std::vector<Tsl::SmartPtr<Image>> makeCharacters(std::mt19937& rng, int nWidth, int nHeight, bool bCentred,
                                                 int nCount = 8) {
    std::vector<Tsl::SmartPtr<Image>> apImages;
    for (int i = 0; i < nCount; ++i) {
        unsigned char r = static_cast<unsigned char>(rng()), g = static_cast<unsigned char>(rng());
        apImages.push_back(makeBlob(nWidth, nHeight, r, g));
        if (bCentred) apImages.back()->setInsPoint(nWidth / 2, nHeight / 2);
    }
    return apImages;
}

void addUpright(Scene& scene, Group& group, const std::vector<Tsl::SmartPtr<Image>>& apPictures, int nCount,
                std::mt19937& rng) {
    for (int i = 0; i < nCount; ++i) {
        const Tsl::SmartPtr<Image>& pImage = apPictures[i % apPictures.size()];
        scene.add(group, pImage, static_cast<int>(rng() % (WIDTH - pImage->getWidth())),
                  static_cast<int>(rng() % (HEIGHT - pImage->getHeight())), 1);
    }
}

void BM_UprightFrame(benchmark::State& state) {
    Scene scene;
    std::mt19937 rng(7);
    Group& sprites = scene.newGroup();
    addUpright(scene, sprites, makeCharacters(rng, 64, 96, false), static_cast<int>(state.range(0)), rng);
    // Textures are made at the first frame and prepared at the second, outside the measurement.
    scene.renderOurs();
    scene.renderOurs();
    std::vector<double> aOurs;
    for (auto _ : state) aOurs.push_back(millisecondsOf([&] { scene.renderOurs(); }));
    double fOurs = median(aOurs);
    double fPlain = medianMs([&] { scene.renderReference(false); });
    double fRle = medianMs([&] { scene.renderReference(true); });
    double fFloor = frameCopyMs() * (2.0 + 1.5 * static_cast<double>(sprites.nPixels) / (WIDTH * HEIGHT));
    state.counters["ours_ms"] = fOurs;
    state.counters["sdl_ms"] = fPlain;
    state.counters["sdl_rle_ms"] = fRle;
    state.counters["speedup_vs_sdl"] = fPlain / fOurs;
    state.counters["speedup_vs_sdl_rle"] = fRle / fOurs;
    state.counters["floor_ms"] = fFloor;
    state.counters["over_floor"] = fOurs / fFloor;
}

enum class Variant { Turned, Scaled, Rescaled, ManyScaledPictures, BetweenPixels, Mirrored };

// 200 sprites drawn upright and the same sprites turned, scaled, mirrored or off the pixel grid, in
// one scene: each group is timed alone over the bare background, whose time is then taken
// off, the three kinds of frame taking turns. Turned sprites turn on by a degree every
// frame, rescaled ones change their scale; in BetweenPixels both groups move a pixel every
// frame, the second one 0.37 and 0.61 pixels off the grid.
void runTransformed(benchmark::State& state, Variant eVariant) {
    Scene scene;
    std::mt19937 rng(11);
    const int nCount = 200;
    bool bTurn = eVariant == Variant::Turned, bRescale = eVariant == Variant::Rescaled;
    bool bScale = eVariant == Variant::Scaled || bRescale || eVariant == Variant::ManyScaledPictures;
    int nPictures = eVariant == Variant::ManyScaledPictures ? 24 : 8;
    // Both groups show 64x96 on screen: the scaled one from a 32x48 picture at 2x.
    auto apUpright = makeCharacters(rng, 64, 96, true, nPictures);
    auto apOther = bScale ? makeCharacters(rng, 32, 48, true, nPictures) : makeCharacters(rng, 64, 96, true);
    Group& upright = scene.newGroup();
    Group& other = scene.newGroup();
    std::vector<Point> aPositions;
    for (int i = 0; i < nCount; ++i) {
        int x = 48 + static_cast<int>(rng() % (WIDTH - 96)), y = 48 + static_cast<int>(rng() % (HEIGHT - 96));
        aPositions.push_back(Point(static_cast<float>(x), static_cast<float>(y)));
        scene.add(upright, apUpright[i % nPictures], x, y, 1);
        float fAngle = bTurn ? static_cast<float>(1 + rng() % 359) : 0.0f;
        bool bReference = eVariant == Variant::Turned || eVariant == Variant::Scaled;
        Tsl::SmartPtr<Sprite> pOther =
            scene.add(other, apOther[i % nPictures], x, y, 1, fAngle, bScale ? 2.0f : 1.0f, bReference);
        if (eVariant == Variant::Mirrored) pOther->setScale(-1.0f, 1.0f);
    }
    int nFrame = 0;
    auto step = [&](Group& group, float fOffset) {
        ++nFrame;
        for (int i = 0; i < nCount; ++i) {
            Sprite* pSprite = group.apSprites[i].get();
            if (bTurn && &group == &other) pSprite->setRotation(static_cast<float>((nFrame + i) % 360));
            if (bRescale && &group == &other) pSprite->setScale(2.0f + 0.1f * std::sin(0.3f * nFrame + i));
            if (eVariant != Variant::BetweenPixels) continue;
            float fMove = static_cast<float>(nFrame % 2);
            pSprite->setPosition(aPositions[i].x + fMove + fOffset, aPositions[i].y + fMove + fOffset * 1.65f);
        }
    };
    auto show = [&](Group* pShown) {
        upright.setVisible(pShown == &upright);
        other.setVisible(pShown == &other);
        scene.renderOurs();
        scene.renderOurs(); // textures are prepared at their second draw
    };
    const float fOffset = eVariant == Variant::BetweenPixels ? 0.37f : 0.0f;
    // Bare frames, the upright group's and the other group's take turns in blocks, each
    // after an untimed frame, so that all three meet the same load on the machine.
    const int BLOCK = 4;
    std::vector<double> aBare, aUpright, aOurs;
    auto block = [&](Group* pShown, float fShift, std::vector<double>& aOut) {
        upright.setVisible(pShown == &upright);
        other.setVisible(pShown == &other);
        scene.renderOurs();
        for (int i = 0; i < BLOCK; ++i) aOut.push_back(millisecondsOf([&] {
            if (pShown) step(*pShown, fShift);
            scene.renderOurs();
        }));
    };
    show(&upright);
    show(&other);
    for (auto _ : state) {
        block(nullptr, 0.0f, aBare);
        block(&upright, 0.0f, aUpright);
        block(&other, fOffset, aOurs);
    }
    double fBare = median(aBare), fUpright = median(aUpright), fOther = median(aOurs);
    state.counters["ours_us_per_sprite"] = (fOther - fBare) / nCount * 1000.0;
    state.counters["upright_us_per_sprite"] = (fUpright - fBare) / nCount * 1000.0;
    if (eVariant == Variant::BetweenPixels) {
        state.counters["cost_vs_whole_pixels"] = (fOther - fBare) / (fUpright - fBare);
        return;
    }
    state.counters["cost_vs_upright"] = (fOther - fBare) / (fUpright - fBare);
    if (eVariant != Variant::Turned && eVariant != Variant::Scaled) return;
    double fSdlOther = medianMs([&] { scene.renderReference(true); }); // background and the other group
    other.cacheTurned();
    double fSdlCached = medianMs([&] { scene.renderReference(true, true); });
    show(nullptr);
    double fSdlBare = medianMs([&] { scene.renderReference(true); });
    state.counters["sdl_gfx_us_per_sprite"] = (fSdlOther - fSdlBare) / nCount * 1000.0;
    state.counters["speedup_vs_sdl_gfx"] = (fSdlOther - fSdlBare) / (fOther - fBare);
    state.counters["sdl_gfx_cached_us_per_sprite"] = (fSdlCached - fSdlBare) / nCount * 1000.0;
    state.counters["speedup_vs_sdl_gfx_cached"] = (fSdlCached - fSdlBare) / (fOther - fBare);
}

void BM_TurnedSprite(benchmark::State& state) { runTransformed(state, Variant::Turned); }
void BM_ScaledSprite(benchmark::State& state) { runTransformed(state, Variant::Scaled); }
void BM_RescaledSprite(benchmark::State& state) { runTransformed(state, Variant::Rescaled); }
void BM_ManyScaledPictures(benchmark::State& state) { runTransformed(state, Variant::ManyScaledPictures); }
void BM_SpriteBetweenPixels(benchmark::State& state) { runTransformed(state, Variant::BetweenPixels); }
void BM_MirroredSprite(benchmark::State& state) { runTransformed(state, Variant::Mirrored); }

void BM_BusyFrame(benchmark::State& state) {
    Scene scene;
    std::mt19937 rng(7);
    Group& sprites = scene.newGroup();
    auto apCharacters = makeCharacters(rng, 64, 96, false);
    addUpright(scene, sprites, apCharacters, 200, rng);
    // The turning sprites get pictures of their own: the insertion point they turn about
    // belongs to the picture, and the upright sprites keep theirs.
    auto apTurning = makeCharacters(rng, 64, 96, true);
    for (int i = 0; i < 20; ++i)
        scene.add(sprites, apTurning[i % 8], static_cast<int>(rng() % WIDTH), static_cast<int>(rng() % HEIGHT), 2,
                  static_cast<float>(rng() % 360), 0.5f + (rng() % 100) / 100.0f);
    Tsl::SmartPtr<Image> pSpark =
        makeImage(16, 16, true, [](int x, int y) { return blobPixel(x, y, 16, 16, 255, 160, 40); });
    for (int i = 0; i < 100; ++i) {
        int x = static_cast<int>(rng() % (WIDTH - 16)), y = static_cast<int>(rng() % (HEIGHT - 16));
        scene.add(sprites, pSpark, x, y, 3)->setBlendMode(BM_ADDITIVE);
    }
    Tsl::SmartPtr<Image> pMaskImage =
        makeImage(200, 200, true, [](int x, int y) { return blobPixel(x, y, 200, 200, 255, 255, 255); });
    scene.add(sprites, pMaskImage, 300, 200, 4, 0.0f, 1.0f, false)->setRenderFlags(RF_WRITE_STENCIL);
    scene.add(sprites, apCharacters[0], 330, 250, 5, 0.0f, 1.0f, false)->setStencilTest(true);
    scene.renderOurs();
    scene.renderOurs();
    std::vector<double> aOurs;
    for (auto _ : state) aOurs.push_back(millisecondsOf([&] { scene.renderOurs(); }));
    state.counters["ours_ms"] = median(aOurs);
    state.counters["sdl_rle_ms_not_equal_work"] = medianMs([&] { scene.renderReference(true); });
}

// The game-like frame, its moving things on or off the pixel grid.
class GameScene {
public:
    static const int SPRITES = 45;
    static const int LABELS = 10;

    GameScene() : m_rng(21) {
        getParticleRandom().setSeed(21);
        m_apFrames = makeCharacters(m_rng, 64, 96, false);
        Group& group = m_scene.newGroup();
        for (int i = 0; i < SPRITES; ++i) {
            Point p(static_cast<float>(m_rng() % (WIDTH - 64)), static_cast<float>(m_rng() % (HEIGHT - 96)));
            m_aPositions.push_back(p);
            m_aSpeeds.push_back(Point(static_cast<float>(static_cast<int>(m_rng() % 181) - 90) / 60.0f,
                                      static_cast<float>(static_cast<int>(m_rng() % 121) - 60) / 60.0f));
            m_apSprites.push_back(m_scene.add(group, m_apFrames[i % m_apFrames.size()], static_cast<int>(p.x),
                                              static_cast<int>(p.y), 1, 0.0f, 1.0f, false));
        }
        m_nSpritePixels = static_cast<long long>(SPRITES) * 64 * 96;
        Tsl::SmartPtr<Font> pFont = new SystemFont(2);
        for (int i = 0; i < LABELS; ++i) {
            Tsl::SmartPtr<Label> pLabel = new Label("Score 0", 20 + (i % 2) * 600, 20 + (i / 2) * 110, 6);
            pLabel->setFont(pFont);
            pLabel->setText("Customers served 12345");
            m_scene.mode()->addSprite(pLabel.get());
            m_apLabels.push_back(pLabel);
            m_nSpritePixels += static_cast<long long>(pLabel->getSize().x * pLabel->getSize().y);
        }
        m_pSpark = makeImage(16, 16, true, [](int x, int y) { return blobPixel(x, y, 16, 16, 255, 160, 40); });
        for (int i = 0; i < 2; ++i) {
            Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(m_scene.mode());
            pEmitter->addImage(m_pSpark, 0);
            pEmitter->setPosition(250 + i * 300, 350);
            pEmitter->setEmissionRate(0.0f);
            pEmitter->setMinParticles(150);
            pEmitter->setMaxParticles(150);
            pEmitter->setRadiusRange(0, 40);
            pEmitter->setLifetimeRange(1.0f, 2.5f);
            pEmitter->setSpeedRange(-60, 60, -120, -30);
            pEmitter->setAccelerationRange(0, 0, 30, 60);
            pEmitter->setBlendMode(BM_ADDITIVE);
            pEmitter->setZOrder(3);
            pEmitter->update(0.0f);
            m_apEmitters.push_back(pEmitter);
        }
        m_nSpritePixels += 300LL * 16 * 16;
    }
    ~GameScene() {
        m_apEmitters.clear();
        m_scene.mode()->removeAllSprites();
    }

    // One frame of the game's own work, outside the drawing: sprites move and show their
    // next picture, two labels change, the emitters run; bWhole puts all on whole pixels.
    void step(bool bWhole) {
        ++m_nFrame;
        auto place = [bWhole](Sprite* pSprite, float x, float y) {
            if (bWhole) pSprite->setPosition(std::floor(x + 0.5f), std::floor(y + 0.5f));
            else pSprite->setPosition(x, y);
        };
        for (int i = 0; i < SPRITES; ++i) {
            Point& p = m_aPositions[i];
            p.x = std::fmod(p.x + m_aSpeeds[i].x + WIDTH, static_cast<float>(WIDTH - 64));
            p.y = std::fmod(p.y + m_aSpeeds[i].y + HEIGHT, static_cast<float>(HEIGHT - 96));
            m_apSprites[i]->setImage(m_apFrames[(i + m_nFrame / 4) % m_apFrames.size()]);
            place(m_apSprites[i].get(), p.x, p.y);
        }
        m_apLabels[0]->setText(Tsl::String::format("Score %d", m_nFrame * 10));
        m_apLabels[1]->setText(Tsl::String::format("Time %d", m_nFrame / 60));
        for (auto& pEmitter : m_apEmitters) {
            pEmitter->update(1.0f / 60.0f);
            const ParticleList& lParticles = pEmitter->getParticles();
            for (int i = 0; bWhole && i < lParticles.getCount(); ++i) {
                Tsl::SmartPtr<Sprite> pSprite = lParticles.getAt(i)->getSprite();
                if (pSprite) place(pSprite.get(), pSprite->getPosition().x, pSprite->getPosition().y);
            }
        }
    }
    // Milliseconds of drawing one frame after an untimed step.
    double drawMs(bool bWhole) {
        step(bWhole);
        return millisecondsOf([&] { m_scene.renderOurs(); });
    }
    // The median of nFrames such frames.
    double medianDrawMs(bool bWhole, int nFrames) {
        std::vector<double> a;
        for (int i = 0; i < nFrames; ++i) a.push_back(drawMs(bWhole));
        return median(a);
    }
    long long spritePixels() const { return m_nSpritePixels; }

private:
    Scene m_scene;
    std::mt19937 m_rng;
    std::vector<Tsl::SmartPtr<Image>> m_apFrames;
    std::vector<Tsl::SmartPtr<Sprite>> m_apSprites;
    std::vector<Point> m_aPositions, m_aSpeeds;
    std::vector<Tsl::SmartPtr<Label>> m_apLabels;
    std::vector<Tsl::SmartPtr<ParticleEmitter>> m_apEmitters;
    Tsl::SmartPtr<Image> m_pSpark;
    long long m_nSpritePixels = 0;
    int m_nFrame = 0;
};

// Frames take turns at presenting the way the driver does, drawn straight into SDL's
// screen surface, and the way it did before, copying the back buffer into it: in blocks,
// so that both meet the same load on the machine, each block after one untimed frame
// that moves the back buffer over.
void BM_GameFrame(benchmark::State& state) {
    GameScene scene;
    scene.medianDrawMs(false, 4); // textures made and prepared
    const int BLOCK = 4;
    std::vector<double> aOurs, aCopied;
    for (auto _ : state) {
        for (bool bShared : {true, false}) {
            dx7::test::setSharedScreenEnabled(bShared);
            scene.drawMs(false);
            for (int i = 0; i < BLOCK; ++i) (bShared ? aOurs : aCopied).push_back(scene.drawMs(false));
        }
    }
    dx7::test::setSharedScreenEnabled(true);
    double fOurs = median(aOurs), fCopied = median(aCopied);
    double fWhole = scene.medianDrawMs(true, static_cast<int>(aOurs.size()));
    double fFloor = frameCopyMs() * (2.0 + 1.5 * static_cast<double>(scene.spritePixels()) / (WIDTH * HEIGHT));
    state.counters["ours_ms"] = fOurs;
    state.counters["copied_present_ms"] = fCopied;
    state.counters["cost_vs_copied_present"] = fOurs / fCopied;
    state.counters["whole_pixels_ms"] = fWhole;
    state.counters["cost_vs_whole_pixels"] = fOurs / fWhole;
    state.counters["floor_ms"] = fFloor;
    state.counters["over_floor"] = fOurs / fFloor;
}


} // namespace

BENCHMARK(BM_UprightFrame)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));
BENCHMARK(BM_TurnedSprite)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));
BENCHMARK(BM_ScaledSprite)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));
BENCHMARK(BM_RescaledSprite)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));
BENCHMARK(BM_ManyScaledPictures)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));
BENCHMARK(BM_SpriteBetweenPixels)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));
BENCHMARK(BM_MirroredSprite)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));
BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));

BENCHMARK_MAIN();
