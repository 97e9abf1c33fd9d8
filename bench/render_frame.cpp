// A busy 800x600 frame through the Direct3D 7 driver on the software device:
// a full-screen opaque background, 200 alpha sprites of 64x96, 20 rotated and
// scaled sprites, 100 additive particles and a stencil mask with a sprite
// drawn through it. Beside it, in the same run, SDL 1.2's SDL_BlitSurface
// draws the same unrotated sprites onto a surface. Counters: the median frame
// time in milliseconds, SDL's median, and "ratio" = ours over SDL's (below 1
// is faster). The second benchmark compares the axis-aligned path alone.
#include "app/gameapp.h"
#include "app/gamemode.h"
#include "video/sdl_d3d7video.h"
#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "sprite/sprite.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

namespace {

const int WIDTH = 800;
const int HEIGHT = 600;

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

// The same picture as an SDL surface in the back buffer's own 32-bit layout.
SDL_Surface* toSDL(Image* pImage) {
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
    if (bAlpha) SDL_SetAlpha(pSurface, SDL_SRCALPHA, 255);
    return pSurface;
}

struct Placed {
    SDL_Surface* pSurface;
    int x, y;
};

// The application, its driver and one mode holding the scene.
class Scene {
public:
    explicit Scene(bool bBusy) {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        m_pApp = new GameApp();
        SDLPlatform* pPlatform = new SDLPlatform();
        m_pDriver = new D3D7VideoDriver();
        pPlatform->setVideoDriver(m_pDriver);
        m_pApp->setPlatform(pPlatform);
        if (!m_pApp->init(WIDTH, HEIGHT, VMF_STENCIL)) std::abort();
        m_pApp->setFrameRate(0);
        m_pMode = new GameMode(MF_ACTIVE | MF_VISIBLE);
        m_pApp->pushMode(m_pMode);
        build(bBusy);
    }

    ~Scene() {
        for (Placed& p : m_aReference) SDL_FreeSurface(p.pSurface);
        if (m_pTarget) SDL_FreeSurface(m_pTarget);
        m_pMode = nullptr;
        delete m_pApp;
    }

    // The application's frame: its counter moves on, as the texture stamps expect.
    void renderOurs() { m_pApp->runFrame(); }

    void renderReference() {
        for (Placed& p : m_aReference) {
            SDL_Rect dst = {static_cast<Sint16>(p.x), static_cast<Sint16>(p.y), 0, 0};
            SDL_BlitSurface(p.pSurface, nullptr, m_pTarget, &dst);
        }
    }

private:
    Tsl::SmartPtr<Sprite> add(Tsl::SmartPtr<Image> pImage, int x, int y, int nZ, bool bReference) {
        Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, x, y, nZ);
        m_pMode->addSprite(pSprite);
        if (bReference) m_aReference.push_back(Placed{toSDL(pImage), x, y});
        return pSprite;
    }

    void build(bool bBusy) {
        std::mt19937 rng(7);
        m_pTarget = SDL_CreateRGBSurface(SDL_SWSURFACE, WIDTH, HEIGHT, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        Tsl::SmartPtr<Image> pBackground = makeImage(WIDTH, HEIGHT, false, [](int x, int y) {
            return Color(static_cast<unsigned char>(x), static_cast<unsigned char>(y), 90);
        });
        add(pBackground, 0, 0, 0, true);
        // A handful of different pictures, as a sprite sheet's frames would be.
        std::vector<Tsl::SmartPtr<Image>> apCharacters;
        // The turning sprites get pictures of their own: the insertion point
        // they turn about belongs to the picture, and the 200 upright sprites
        // must stay where the reference blits them.
        std::vector<Tsl::SmartPtr<Image>> apTurning;
        for (int i = 0; i < 8; ++i) {
            unsigned char r = static_cast<unsigned char>(rng()), g = static_cast<unsigned char>(rng());
            auto fnPixel = [=](int x, int y) { return blobPixel(x, y, 64, 96, r, g, 200); };
            apCharacters.push_back(makeImage(64, 96, true, fnPixel));
            apTurning.push_back(makeImage(64, 96, true, fnPixel));
            apTurning.back()->setInsPoint(32, 48);
        }
        for (int i = 0; i < 200; ++i)
            add(apCharacters[i % 8], static_cast<int>(rng() % (WIDTH - 64)), static_cast<int>(rng() % (HEIGHT - 96)), 1,
                true);
        if (!bBusy) return;

        for (int i = 0; i < 20; ++i) {
            Tsl::SmartPtr<Sprite> pSprite = add(apTurning[i % 8], static_cast<int>(rng() % WIDTH),
                                                static_cast<int>(rng() % HEIGHT), 2, false);
            pSprite->setRotation(static_cast<float>(rng() % 360));
            pSprite->setScale(0.5f + (rng() % 100) / 100.0f);
        }
        Tsl::SmartPtr<Image> pSpark = makeImage(16, 16, true, [](int x, int y) { return blobPixel(x, y, 16, 16, 255, 160, 40); });
        for (int i = 0; i < 100; ++i) {
            int x = static_cast<int>(rng() % (WIDTH - 16)), y = static_cast<int>(rng() % (HEIGHT - 16));
            add(pSpark, x, y, 3, true)->setBlendMode(BM_ADDITIVE);
        }
        Tsl::SmartPtr<Image> pMaskImage =
            makeImage(200, 200, true, [](int x, int y) { return blobPixel(x, y, 200, 200, 255, 255, 255); });
        add(pMaskImage, 300, 200, 4, false)->setRenderFlags(RF_WRITE_STENCIL);
        add(apCharacters[0], 330, 250, 5, false)->setStencilTest(true);
    }

    GameApp* m_pApp;
    D3D7VideoDriver* m_pDriver;
    Tsl::SmartPtr<GameMode> m_pMode;
    SDL_Surface* m_pTarget = nullptr;
    std::vector<Placed> m_aReference;
};

void runFrames(benchmark::State& state, bool bBusy) {
    Scene scene(bBusy);
    scene.renderOurs(); // textures made once, outside the measurement
    std::vector<double> aOurs, aReference;
    for (auto _ : state) {
        aOurs.push_back(millisecondsOf([&] { scene.renderOurs(); }));
        state.PauseTiming();
        aReference.push_back(millisecondsOf([&] { scene.renderReference(); }));
        state.ResumeTiming();
    }
    double fOurs = median(aOurs), fReference = median(aReference);
    state.counters["median_ms"] = fOurs;
    state.counters["sdl_blit_median_ms"] = fReference;
    state.counters["ratio"] = fReference > 0.0 ? fOurs / fReference : 0.0;
}

void BM_BusyFrame(benchmark::State& state) { runFrames(state, true); }
void BM_AxisAlignedFrame(benchmark::State& state) { runFrames(state, false); }

} // namespace

BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_AxisAlignedFrame)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
