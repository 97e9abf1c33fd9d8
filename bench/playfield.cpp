// The play field's frame and set-up, beside references in the same run.
//
// Frame: a full bar (every seat taken, a tray of six glasses, gulls and
// dancers) stepped by 1/64 s with one routed click a frame: the hit tests,
// the click queue, the waitress, the walk, the customers and the ambience.
// The reference steps the same number of animated sprites bare, the least
// any frame of that bar costs. Counters: milliseconds per frame and the ratio.
//
// Set-up: the largest scene the reader takes, read and built, beside the same
// text split into words with the standard library.
#include "fakes.h"
#include "playfield_content.h"

#include "field/customers/character.h"
#include "field/mug.h"
#include "field/playmode.h"
#include "field/customers/spawnmanager.h"
#include "field/tip.h"
#include "field/waitress.h"

#include "tsl2/resource.h"

#include "pace.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <sstream>
#include <string>

namespace {

const int SEATS = 12;
const int VIP_PLACES = 2;
const int FRAMES = 256;
const float DT = 1.0f / 64.0f;

template <class Fn>
double secondsOf(Fn fn) {
    auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Bar {
    TestApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pResources = new Tsl::MemoryResourceProvider();
    Tsl::SmartPtr<PlayMode> pMode;

    void add(const char* pszName, const std::string& sText) {
        pResources->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }

    explicit Bar(const std::string& sScene) {
        app.init(800, 600, 0);
        app.addResourceProvider(pResources.get());
        app.addImage("body", app.createImage(200, 180, true));
        app.addImage("px", app.createImage(8, 8, true));
        app.addImage("guest", app.createImage(60, 120, true));
        add("waitress.template", fixture::waitressTemplate());
        add("ch_bob.anim", fixture::customerTemplate());
        add("seagull.anim", fixture::customerTemplate());
        add("scene0.scene", sScene);
        add("chars_scene0_0", "bob 1\n");
    }

    void build() {
        pMode = new PlayMode("scene0", 1, 0, nullptr, 3);
        pMode->buildLevel();
    }
};

std::string fullBarScene() {
    std::string s =
        "topy 300\nbottomy 560\ncharposy 250\nchardepth 60\ncharvipposy 240\ncharvipdepth 55\n"
        "walkarea 0 300 800 560 200\nstart 400 450 s\nanimation px.anim\n";
    for (int i = 0; i < SEATS; ++i)
        s += "seat " + std::to_string(40 + 60 * i) + " " + std::to_string(40 + 60 * i) + " 330 n\n";
    for (int i = 0; i < VIP_PLACES; ++i) s += "vipseat " + std::to_string(300 + 200 * i) + " 400 500 s 1\n";
    for (int d = 0; d < 4; ++d)
        s += "actionspot liquid " + std::to_string(500 + 40 * d) + " 290 80 " + std::to_string(500 + 40 * d) +
             " 330 n " + std::to_string(d) + "\n";
    s += "actionspot trashbin 740 290 80 740 330 n\nactionspot propdispenser 100 290 80 100 330 n\n";
    for (int i = 0; i < 6; ++i) s += "seagull " + std::to_string(100 * i) + " 50 20 1 " + std::to_string(i % 2) + "\n";
    for (int i = 0; i < 8; ++i) s += "animsprite px.anim " + std::to_string(90 * i) + " 150 30\n";
    return s;
}

void fillTheBar(Bar& bar) {
    PlayMode* pMode = bar.pMode.get();
    for (int i = 0; i < 6; ++i) {
        Tsl::SmartPtr<Mug> pMug = new Mug(pMode);
        pMug->fill(0);
        pMode->getWaitress()->setHandContents(pMug);
    }
    for (int i = 0; i < SEATS + VIP_PLACES; ++i) pMode->getSpawnManager()->createCharacter(0, i);
    pMode->startLevel();
    // The level's tips would hold the customers; they are not this frame's work.
    for (int i = 0; i < PlayMode::TIP_EVENT_COUNT; ++i) pMode->onTipEvent(i);
    pMode->getTip()->hide();
}

void BM_FullBarFrame(benchmark::State& state) {
    Bar bar(fullBarScene());
    bar.add("px.anim", "load px\nseq s fps 8 loop\nadd px\nadd px\n");
    bar.build();
    fillTheBar(bar);
    PlayMode* pMode = bar.pMode.get();
    // The same number of animated sprites, stepped bare.
    std::vector<Tsl::SmartPtr<AnimSprite>> aBare;
    int nSprites = 5 + SEATS + VIP_PLACES + 6 + 8;
    for (int i = 0; i < nSprites; ++i) aBare.push_back(new AnimSprite(bar.app.getAnimation("px.anim"), 0, 0, 0));
    double fOurs = 0.0, fReference = 0.0;
    for (auto _ : state) {
        fOurs += secondsOf([&] {
            for (int i = 0; i < FRAMES; ++i) {
                pMode->onMouseDown(i % 2 ? MB_RIGHT : MB_LEFT, 500 + 40 * (i % 4), 280);
                pMode->onUpdate(DT);
            }
        });
        fReference += secondsOf([&] {
            for (int i = 0; i < FRAMES; ++i)
                for (const Tsl::SmartPtr<AnimSprite>& p : aBare) p->update(DT);
        });
    }
    double fFrames = static_cast<double>(state.iterations()) * FRAMES;
    state.counters["ms_per_frame"] = fOurs / fFrames * 1e3;
    state.counters["reference_ms_per_frame"] = fReference / fFrames * 1e3;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
}
BENCHMARK(BM_FullBarFrame)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(5));

// As many picture lines as the reader takes, with walk areas, seats and spots.
std::string largestScene() {
    std::string s = fullBarScene() + "image px\n";
    for (int i = 0; s.size() < 200000 && i < SceneData::MAX_ITEMS - 64; ++i)
        s += "sprite px " + std::to_string(i % 800) + " " + std::to_string(i % 600) + " " + std::to_string(i % 50) +
             " s" + std::to_string(i) + "\n";
    return s;
}

void BM_LargestSceneSetUp(benchmark::State& state) {
    Bar bar(largestScene());
    bar.add("px.anim", "load px\nseq s fps 8 loop\nadd px\nadd px\n");
    std::string sText = largestScene();
    double fOurs = 0.0, fReference = 0.0;
    size_t nWords = 0;
    for (auto _ : state) {
        fOurs += secondsOf([&] { bar.build(); });
        fReference += secondsOf([&] {
            std::istringstream in(sText);
            std::string sWord;
            while (in >> sWord) ++nWords;
        });
        bar.pMode = nullptr;
    }
    benchmark::DoNotOptimize(nWords);
    double fRuns = static_cast<double>(state.iterations());
    state.counters["ms_per_setup"] = fOurs / fRuns * 1e3;
    state.counters["reference_ms"] = fReference / fRuns * 1e3;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
}
BENCHMARK(BM_LargestSceneSetUp)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(3));

}  // namespace

BENCHMARK_MAIN();
