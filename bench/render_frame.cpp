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
//   a write of the target, 1.5 bytes of memcpy per byte of sprite).
// - TurnedSprite, ScaledSprite: 200 sprites turned (random angles) or scaled (a 32x48
//   picture at 2x), the frame without them subtracted. "cost_vs_upright" is the per-sprite
//   cost over that of the same 200 sprites upright at the same size;
//   "speedup_vs_sdl_gfx" compares with rotozoomSurface + blit of the same sprites.
// - BusyFrame: the game-like frame (turned sprites, additive sparks, a stencil mask).
//   SDL has no additive blend or stencil, so its time is reported beside ours
//   ("sdl_rle_ms_not_equal_work"), not as a ratio.
#include "app/gameapp.h"
#include "app/gamemode.h"
#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "sprite/sprite.h"
#include "video/sdl_d3d7video.h"

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
struct Placed {
    SDL_Surface* pSurface;
    int x, y;
    double fAngle, fZoom;
};

void blitPlaced(const Placed& p, SDL_Surface* pTarget) {
    if (p.fAngle == 0.0 && p.fZoom == 1.0) {
        SDL_Rect dst = {static_cast<Sint16>(p.x), static_cast<Sint16>(p.y), 0, 0};
        SDL_BlitSurface(p.pSurface, nullptr, pTarget, &dst);
        return;
    }
    SDL_Surface* pTurned = rotozoomSurface(p.pSurface, p.fAngle, p.fZoom, SMOOTHING_ON);
    if (!pTurned) return;
    SDL_Rect dst = {static_cast<Sint16>(p.x - pTurned->w / 2), static_cast<Sint16>(p.y - pTurned->h / 2), 0, 0};
    SDL_BlitSurface(pTurned, nullptr, pTarget, &dst);
    SDL_FreeSurface(pTurned);
}

// A group of sprites with their SDL counterparts, plain and run-length accelerated.
struct Group {
    std::vector<Tsl::SmartPtr<Sprite>> apSprites;
    std::vector<Placed> aPlain, aRle;
    long long nPixels = 0; // sprite pixels drawn

    void setVisible(bool bVisible) {
        for (auto& p : apSprites) p->setVisible(bVisible);
    }
    bool isVisible() const { return apSprites.empty() || apSprites.front()->isVisible(); }
};

// The application, its driver and one mode holding the scene.
class Scene {
public:
    Scene() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        m_pApp = new GameApp();
        SDLPlatform* pPlatform = new SDLPlatform();
        pPlatform->setVideoDriver(new D3D7VideoDriver());
        m_pApp->setPlatform(pPlatform);
        if (!m_pApp->init(WIDTH, HEIGHT, VMF_STENCIL)) std::abort();
        m_pApp->setFrameRate(0);
        m_pMode = new GameMode(MF_ACTIVE | MF_VISIBLE);
        m_pApp->pushMode(m_pMode);
        m_pTarget = SDL_CreateRGBSurface(SDL_SWSURFACE, WIDTH, HEIGHT, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        Tsl::SmartPtr<Image> pBackground = makeImage(WIDTH, HEIGHT, false, [](int x, int y) {
            return Color(static_cast<unsigned char>(x), static_cast<unsigned char>(y), 90);
        });
        add(newGroup(), pBackground, 0, 0, 0);
    }

    ~Scene() {
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

    // The visible groups' sprites, then the frame shown.
    void renderReference(bool bRle) {
        for (const std::unique_ptr<Group>& pGroup : m_groups)
            if (pGroup->isVisible())
                for (const Placed& p : bRle ? pGroup->aRle : pGroup->aPlain) blitPlaced(p, m_pTarget);
        SDL_Surface* pScreen = SDL_GetVideoSurface();
        SDL_BlitSurface(m_pTarget, nullptr, pScreen, nullptr);
        SDL_Flip(pScreen);
    }

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

// The time memcpy takes to copy one frame, measured now.
double frameCopyMs() {
    std::vector<Uint32> aFrom(WIDTH * HEIGHT, 0x123456u), aTo(WIDTH * HEIGHT);
    return medianMs(
        [&] {
            std::memcpy(aTo.data(), aFrom.data(), aFrom.size() * sizeof(Uint32));
            benchmark::DoNotOptimize(aTo.data());
            benchmark::ClobberMemory();
        },
        201);
}

std::vector<Tsl::SmartPtr<Image>> makeCharacters(std::mt19937& rng, int nWidth, int nHeight, bool bCentred) {
    std::vector<Tsl::SmartPtr<Image>> apImages;
    for (int i = 0; i < 8; ++i) {
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

// 200 sprites drawn upright and the same sprites turned or scaled, in one scene: each
// group is timed alone over the bare background, whose time is then taken off.
void runTransformed(benchmark::State& state, bool bTurn) {
    Scene scene;
    std::mt19937 rng(11);
    const int nCount = 200;
    // Both groups show 64x96 on screen: the scaled one from a 32x48 picture at 2x.
    auto apUpright = makeCharacters(rng, 64, 96, true);
    auto apOther = bTurn ? makeCharacters(rng, 64, 96, true) : makeCharacters(rng, 32, 48, true);
    Group& upright = scene.newGroup();
    Group& other = scene.newGroup();
    for (int i = 0; i < nCount; ++i) {
        int x = 48 + static_cast<int>(rng() % (WIDTH - 96)), y = 48 + static_cast<int>(rng() % (HEIGHT - 96));
        scene.add(upright, apUpright[i % 8], x, y, 1);
        float fAngle = bTurn ? static_cast<float>(1 + rng() % 359) : 0.0f;
        scene.add(other, apOther[i % 8], x, y, 1, fAngle, bTurn ? 1.0f : 2.0f);
    }
    auto show = [&](Group* pShown) {
        upright.setVisible(pShown == &upright);
        other.setVisible(pShown == &other);
        scene.renderOurs();
        scene.renderOurs(); // textures are prepared at their second draw
    };
    show(nullptr);
    double fBare = medianMs([&] { scene.renderOurs(); });
    show(&upright);
    double fUpright = medianMs([&] { scene.renderOurs(); });
    show(&other);
    std::vector<double> aOurs;
    for (auto _ : state) aOurs.push_back(millisecondsOf([&] { scene.renderOurs(); }));
    double fOther = median(aOurs);
    double fSdlOther = medianMs([&] { scene.renderReference(true); }); // background and the other group
    show(nullptr);
    double fSdlBare = medianMs([&] { scene.renderReference(true); });
    state.counters["ours_us_per_sprite"] = (fOther - fBare) / nCount * 1000.0;
    state.counters["upright_us_per_sprite"] = (fUpright - fBare) / nCount * 1000.0;
    state.counters["cost_vs_upright"] = (fOther - fBare) / (fUpright - fBare);
    state.counters["sdl_gfx_us_per_sprite"] = (fSdlOther - fSdlBare) / nCount * 1000.0;
    state.counters["speedup_vs_sdl_gfx"] = (fSdlOther - fSdlBare) / (fOther - fBare);
}

void BM_TurnedSprite(benchmark::State& state) { runTransformed(state, true); }
void BM_ScaledSprite(benchmark::State& state) { runTransformed(state, false); }

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

} // namespace

BENCHMARK(BM_UprightFrame)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TurnedSprite)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ScaledSprite)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
