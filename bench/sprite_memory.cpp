// Heap bytes per sprite: 8,000 sprites of one shared picture made, added to a mode and
// drawn once through the Direct3D 7 driver (which gives each its driver data), none of
// them holding named data. Every allocation is counted by its usable size, so the figure
// does not depend on the machine's load. Counters: "bytes_per_sprite" when made,
// "bytes_per_drawn_sprite" once added and drawn (goal for both: at most 1,024), and
// "sizeof_sprite" for the object itself.
#include "headless_app.h"
#include "app/gameapp.h"
#include "app/gamemode.h"
#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "sprite/sprite.h"
#include "video/sdl_d3d7video.h"

#include "pace.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long long> g_nLiveBytes{0};
}

void* operator new(std::size_t nSize) {
    void* p = std::malloc(nSize ? nSize : 1);
    if (!p) throw std::bad_alloc();
    g_nLiveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}

void operator delete(void* p) noexcept {
    if (!p) return;
    g_nLiveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void* operator new[](std::size_t nSize) { return operator new(nSize); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

const int COUNT = 8000;

void BM_SpriteMemory(benchmark::State& state) {
    GameApp* pApp = startHeadlessApp(800, 600, 0);
    Tsl::SmartPtr<GameMode> pMode = new GameMode(MF_ACTIVE | MF_VISIBLE);
    pApp->pushMode(pMode);
    Tsl::SmartPtr<Image> pImage = new SDLImage(16, 16, true, true);
    pApp->runFrame();

    double fMade = 0.0, fDrawn = 0.0;
    for (auto _ : state) {
        std::vector<Tsl::SmartPtr<Sprite>> apSprites;
        apSprites.reserve(COUNT);
        long long nBefore = g_nLiveBytes;
        for (int i = 0; i < COUNT; ++i) apSprites.push_back(new Sprite(pImage, i % 800, i % 600, 1));
        fMade = static_cast<double>(g_nLiveBytes - nBefore) / COUNT;
        for (auto& pSprite : apSprites) pMode->addSprite(pSprite);
        pApp->runFrame();
        fDrawn = static_cast<double>(g_nLiveBytes - nBefore) / COUNT;
        for (auto& pSprite : apSprites) pMode->removeSprite(pSprite);
        pApp->runFrame();
    }
    state.counters["bytes_per_sprite"] = fMade;
    state.counters["bytes_per_drawn_sprite"] = fDrawn;
    state.counters["sizeof_sprite"] = sizeof(Sprite);
    pMode = nullptr;
    delete pApp;
}

} // namespace

BENCHMARK(BM_SpriteMemory)->Iterations(pace::iterations(3))->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
