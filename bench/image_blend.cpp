// Compositing a 256x256 alpha picture onto another and tinting it, beside
// SDL_BlitSurface of the same pictures in the same run. The ratio counters
// are our time over SDL's plain alpha blit and over its blit from a
// run-length accelerated copy of the source (SDL_RLEACCEL, encoded before
// the measurement), below 1 is faster.
#include "image/pixelops.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>

namespace {

const int SIZE = 256;

// Sprite-like alpha: mostly opaque or clear, with soft edges.
SDL_Surface* makePicture(unsigned nSeed) {
    SDL_Surface* p = SDL_CreateRGBSurface(SDL_SWSURFACE, SIZE, SIZE, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                          0xFF000000);
    std::mt19937 rng(nSeed);
    for (int y = 0; y < SIZE; ++y) {
        Uint32* pRow = reinterpret_cast<Uint32*>(static_cast<Uint8*>(p->pixels) + y * p->pitch);
        for (int x = 0; x < SIZE; ++x) {
            int d = (x - 128) * (x - 128) + (y - 128) * (y - 128);
            Uint32 a = d < 90 * 90 ? 255 : d < 110 * 110 ? 255 - (d - 8100) * 255 / 4000 : 0;
            pRow[x] = (a << 24) | (rng() & 0x00FFFFFF);
        }
    }
    return p;
}

PixelBuffer bufferOf(SDL_Surface* p) {
    PixelBuffer b;
    b.pPixels = static_cast<unsigned char*>(p->pixels);
    b.nPitch = p->pitch;
    b.nWidth = p->w;
    b.nHeight = p->h;
    b.pFormat = p->format;
    return b;
}

SDL_Surface* makeRlePicture(unsigned nSeed) {
    SDL_Surface* p = makePicture(nSeed);
    SDL_SetAlpha(p, SDL_SRCALPHA | SDL_RLEACCEL, 255);
    return p;
}

struct Pictures {
    SDL_Surface* pSource = makePicture(1);
    SDL_Surface* pRleSource = makeRlePicture(1);
    SDL_Surface* pDest = makePicture(2);
    SDL_Surface* pPristine = makePicture(2);
    ~Pictures() {
        SDL_FreeSurface(pSource);
        SDL_FreeSurface(pRleSource);
        SDL_FreeSurface(pDest);
        SDL_FreeSurface(pPristine);
    }
    void reset() { std::memcpy(pDest->pixels, pPristine->pixels, pDest->pitch * SIZE); }
};

double secondsOf(void (*pfn)(Pictures&), Pictures& pics, int nRounds) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < nRounds; ++i) pfn(pics);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ourBlend(Pictures& pics) { PixelOps::blend(bufferOf(pics.pDest), bufferOf(pics.pSource)); }

void sdlBlit(Pictures& pics) {
    SDL_Rect dst = {0, 0, 0, 0};
    SDL_BlitSurface(pics.pSource, nullptr, pics.pDest, &dst);
}

void sdlRleBlit(Pictures& pics) {
    SDL_Rect dst = {0, 0, 0, 0};
    SDL_BlitSurface(pics.pRleSource, nullptr, pics.pDest, &dst);
}

void ourBlendAndTint(Pictures& pics) {
    ourBlend(pics);
    PixelOps::tint(bufferOf(pics.pDest), Color(200, 180, 255));
}

// Reference in the same run, same pictures, same repetitions.
void reportRatio(benchmark::State& state, void (*pfnOurs)(Pictures&), Pictures& pics) {
    int nRounds = 200;
    double fOurs = secondsOf(pfnOurs, pics, nRounds);
    double fSdl = secondsOf(sdlBlit, pics, nRounds);
    sdlRleBlit(pics); // SDL encodes the runs at the first blit
    double fSdlRle = secondsOf(sdlRleBlit, pics, nRounds);
    state.counters["ratio_vs_SDL_BlitSurface"] = fOurs / fSdl;
    state.counters["ratio_vs_SDL_RLE"] = fOurs / fSdlRle;
}

void BM_Blend(benchmark::State& state) {
    Pictures pics;
    for (auto _ : state) {
        state.PauseTiming();
        pics.reset();
        state.ResumeTiming();
        ourBlend(pics);
        benchmark::ClobberMemory();
    }
    reportRatio(state, ourBlend, pics);
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}
BENCHMARK(BM_Blend);

void BM_SDLBlitSurface(benchmark::State& state) {
    Pictures pics;
    for (auto _ : state) {
        state.PauseTiming();
        pics.reset();
        state.ResumeTiming();
        sdlBlit(pics);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}
BENCHMARK(BM_SDLBlitSurface);

void BM_BlendAndTint(benchmark::State& state) {
    Pictures pics;
    for (auto _ : state) {
        ourBlendAndTint(pics);
        benchmark::ClobberMemory();
    }
    reportRatio(state, ourBlendAndTint, pics);
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}
BENCHMARK(BM_BlendAndTint);

} // namespace

BENCHMARK_MAIN();
