// 2,000 live particles with a palette and scaling, run for 600 frames of
// 1/60 s through ParticleEmitter::update (births of the particles that die
// included), beside a reference loop in the same run: the same formulas over
// a plain array of structs. Counters: the update's milliseconds per frame,
// nanoseconds per particle update, and the ratio to the reference.
// EmitterFrame: the same particles updated and drawn by the Direct3D 7 driver
// on the software device into an 800x600 frame; the update and the drawing
// are timed apart (medians per frame), with the frame drawn without the
// particles taken off the drawing.
#include "headless_app.h"
#include "app/gameapp.h"
#include "app/gamemode.h"
#include "platform/sdl_platform.h"
#include "video/sdl_d3d7video.h"
#include "effects/particleemitter.h"
#include "effects/particlerandom.h"
#include "image/sdl_image.h"

#include "pace.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

namespace {

const int PARTICLES = 2000;
const int FRAMES = 600;
const float DT = 1.0f / 60.0f;
const int PALETTE_WIDTH = 64;

struct Scene {
    SDLImageFactory factory;
    Tsl::SmartPtr<Image> pDot{factory.createBlank(8, 8, true)};
    Tsl::SmartPtr<Image> pPalette{factory.createBlank(PALETTE_WIDTH, 1, true)};
    Tsl::SmartPtr<GameMode> pMode = new GameMode();
    Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(pMode);

    Scene() {
        for (int x = 0; x < PALETTE_WIDTH; ++x) pPalette->setColorAt(x, 0, Color(x * 4, 255 - x * 4, 128, 255));
        getParticleRandom().setSeed(7);
        pEmitter->addImage(pDot, 0);
        pEmitter->setPosition(400, 300);
        pEmitter->setEmissionRate(0.0f);
        pEmitter->setMinParticles(PARTICLES);
        pEmitter->setMaxParticles(PARTICLES);
        pEmitter->setRadiusRange(0, 50);
        pEmitter->setLifetimeRange(2.0f, 4.0f);
        pEmitter->setStartScaleRange(0.5f, 1.0f);
        pEmitter->setEndScaleRange(1.5f, 2.0f);
        pEmitter->setSpeedRange(-30, 30, -60, -20);
        pEmitter->setAccelerationRange(0, 0, 10, 20);
        pEmitter->setPalette(pPalette);
        pEmitter->update(0.0f);
    }
    ~Scene() {
        pEmitter = nullptr;
        pMode->removeAllSprites();
    }
};

// The reference: the same per-particle formulas over plain structs, with
// respawns drawn from a std::mt19937.
struct PlainParticle {
    float x, y, vx, vy, ax, ay, age, life, scale0, scale1, angle0, angle1;
    float shownScale, shownAngle;
    Color shownColor;
};

struct Reference {
    std::vector<PlainParticle> aParticles;
    std::vector<Color> aPalette;
    std::mt19937 rng{7};
    float draw(float a, float b) { return a + (b - a) * std::uniform_real_distribution<float>(0.0f, 1.0f)(rng); }
    void spawn(PlainParticle& p) {
        float fAngle = draw(0.0f, 6.2831855f), fRadius = draw(0.0f, 50.0f);
        p = PlainParticle{400 + std::cos(fAngle) * fRadius, 300 + std::sin(fAngle) * fRadius,
                          draw(-30, 30), draw(-60, -20), 0, draw(10, 20), 0, draw(2, 4), draw(0.5f, 1.0f),
                          draw(1.5f, 2.0f), 0, 0, 1, 0, Color()};
    }
    Reference() : aParticles(PARTICLES), aPalette(PALETTE_WIDTH) {
        for (int x = 0; x < PALETTE_WIDTH; ++x) aPalette[x] = Color(x * 4, 255 - x * 4, 128, 255);
        for (PlainParticle& p : aParticles) spawn(p);
    }
    void frame(float fDt) {
        for (PlainParticle& p : aParticles) {
            p.age += fDt;
            if (p.age >= p.life) {
                spawn(p);
                continue;
            }
            p.vx += p.ax * fDt;
            p.vy += p.ay * fDt;
            p.x += p.vx * fDt;
            p.y += p.vy * fDt;
            float f = p.age / p.life;
            p.shownScale = (1 - f) * p.scale0 + f * p.scale1;
            p.shownColor = aPalette[std::min(static_cast<int>(PALETTE_WIDTH * f), PALETTE_WIDTH - 1)];
            p.shownAngle = p.angle0 + (p.angle1 - p.angle0) * f;
        }
    }
};

template <class Fn>
double secondsOf(Fn fn) {
    auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_EmitterUpdate(benchmark::State& state) {
    double fOurs = 0.0, fReference = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        Scene* pScene = new Scene();
        Reference* pReference = new Reference();
        state.ResumeTiming();
        fOurs += secondsOf([&] {
            for (int i = 0; i < FRAMES; ++i) pScene->pEmitter->update(DT);
        });
        state.PauseTiming();
        fReference += secondsOf([&] {
            for (int i = 0; i < FRAMES; ++i) pReference->frame(DT);
        });
        benchmark::DoNotOptimize(pReference->aParticles.data());
        delete pReference;
        delete pScene;
        state.ResumeTiming();
    }
    double fFrames = static_cast<double>(state.iterations()) * FRAMES;
    state.counters["ms_per_frame"] = fOurs / fFrames * 1e3;
    state.counters["ns_per_particle"] = fOurs / (fFrames * PARTICLES) * 1e9;
    state.counters["reference_ns_per_particle"] = fReference / (fFrames * PARTICLES) * 1e9;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
}
BENCHMARK(BM_EmitterUpdate)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(3));

double medianOf(std::vector<double> a) {
    std::sort(a.begin(), a.end());
    return a.empty() ? 0.0 : a[a.size() / 2];
}

void BM_EmitterFrame(benchmark::State& state) {
    GameApp* pApp = startHeadlessApp(800, 600, 0);
    Scene* pScene = new Scene();
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
            int nDx = 2 * x - 7, nDy = 2 * y - 7;
            int nAlpha = std::max(0, 255 - (nDx * nDx + nDy * nDy) * 255 / 50);
            pScene->pDot->setColorAt(x, y, Color(255, 255, 255, nAlpha));
        }
    pApp->pushMode(pScene->pMode);
    auto seconds = [](const std::function<void()>& fn) {
        auto start = std::chrono::steady_clock::now();
        fn();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = 0; i < 3; ++i) pApp->runFrame(); // textures made and prepared
    std::vector<double> aUpdate, aDraw, aBare;
    for (auto _ : state) {
        aUpdate.push_back(seconds([&] { pScene->pEmitter->update(DT); }));
        aDraw.push_back(seconds([&] { pApp->runFrame(); }));
    }
    pScene->pEmitter->setVisible(false);
    for (size_t i = 0; i < aDraw.size(); ++i) aBare.push_back(seconds([&] { pApp->runFrame(); }));
    double fUpdate = medianOf(aUpdate), fDraw = medianOf(aDraw) - medianOf(aBare);
    state.counters["update_ms"] = fUpdate * 1e3;
    state.counters["draw_ms"] = fDraw * 1e3;
    state.counters["draw_ns_per_particle"] = fDraw / PARTICLES * 1e9;
    state.counters["draw_vs_update"] = fDraw / fUpdate;
    delete pScene;
    delete pApp;
}
BENCHMARK(BM_EmitterFrame)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(1.0));

} // namespace

BENCHMARK_MAIN();
