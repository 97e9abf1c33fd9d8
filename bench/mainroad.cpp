// The main road's costs, beside references in the same run.
//
// Preload: the loading screen over sample preload lists (animations,
// sounds, music, emitters) on a real clock, frame by frame as at start-up.
// Counters: total and longest frame (goal: no frame over 50 ms); the
// reference cuts the same list texts into lines with the standard library.
//
// Map frame: the story map's update (8 emitters, 7 gulls, 3 palms) by
// 1/64 s (goal: under 1 ms); the reference steps as many bare animated
// sprites. Map build: constructing the map beside as many plain sprites.
#include "fakes.h"

#include "game/loadingscreen.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"
#include "story/storymanager.h"
#include "story/storymodefactory.h"

#include "anim/animsprite.h"
#include "effects/particleemitter.h"
#include "tsl2/resource.h"

#include "pace.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

namespace {

template <class Fn>
double secondsOf(Fn fn) {
    auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The loading screen paces itself by the platform clock: a real one here.
class ClockPlatform : public FakePlatform {
public:
    explicit ClockPlatform(EventLog* pLog) : FakePlatform(pLog) {}
    unsigned int getTicks() override {
        using namespace std::chrono;
        return static_cast<unsigned int>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

struct BenchApp : EventLogHolder, GameApp {
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pFiles = new Tsl::MemoryResourceProvider();
    BenchApp() {
        setPlatform(new ClockPlatform(&m_log));
        init(800, 600, 0);
        addResourceProvider(pFiles.get());
        setMaxFrameTime(10.0f, false);
        for (const char* pszImage : {"px", "sand_frame_back", "loading_back", "progress_clam", "progress_star",
                                     "sand_frame_prop_1", "sand_frame_prop_2", "sand_frame_prop_3", "sand_frame_prop_4",
                                     "sand_frame_prop_5", "mapa", "mapa_mar", "mapa_nave_2", "mapa_mask_left",
                                     "mapa_mask_right", "map_ico", "mapa_flor_T_L", "mapa_flor_T_S", "mapa_titulo"})
            addImage(pszImage, createImage(16, 16, true));
        for (int i = 1; i <= 5; ++i)
            for (const char* pszSize : {"L", "S"})
                addImage(Tsl::String::format("mapa_flor_%d_%s", i, pszSize).c_str(), createImage(16, 16, true));
        for (const StoryManagerMode::Site& site : StoryManagerMode::MAP_SITES)
            for (const char* pszLook : {"normal", "disabled", "highlight"})
                addImage(Tsl::String::format("mapa_sitio_%s_%s", site.pszName, pszLook).c_str(),
                         createImage(site.nRight - site.nLeft, site.nBottom - site.nTop, true));
        add("palm_map.anim", "load px\nseq palm_a\nadd px\nadd px\nseq palm_b\nadd px\nseq palm_c\nadd px\n");
        add("gav_chica.anim", "load px\nseq default\nadd px\nadd px\n");
        add("gav_media.anim", "load px\nseq default\nadd px\nadd px\n");
        for (const char* pszEmitter : {"clouds.emitter", "slowclouds.emitter", "nave_0.emitter", "nave_1.emitter",
                                       "shoal.emitter", "flowers.emitter"})
            add(pszEmitter, "image px\nmaxparticles 12\nemissionrate 4\nlifetimerange 2 4\nspeedrange -20 -10 -2 2\n");
    }
    void add(const char* pszName, const std::string& sText) {
        pFiles->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }
};

// Sample lists: 300 animations in two lists, 120 sounds, 12 tunes, 24 emitters.
std::vector<std::string> makeLists(BenchApp& app) {
    std::string asLists[5];
    for (int i = 0; i < 300; ++i) {
        std::string sName = "anim" + std::to_string(i) + ".anim";
        std::string sFrames = "load px\nseq default\n";
        for (int f = 0; f < 8; ++f) sFrames += "add px\n";
        app.add(sName.c_str(), sFrames);
        asLists[i % 2] += sName + "\r\n";
    }
    for (int i = 0; i < 120; ++i) asLists[2] += "sound" + std::to_string(i) + "\n";
    for (int i = 0; i < 12; ++i) asLists[3] += "music" + std::to_string(i) + "\n";
    for (int i = 0; i < 24; ++i) {
        std::string sName = "e" + std::to_string(i) + ".emitter";
        app.add(sName.c_str(), "image px\nmaxparticles 20\nlifetimerange 1 2\n");
        asLists[4] += sName + "\n";
    }
    const char* apszNames[] = {"preload-char0-anims.txt", "preload-common-anims.txt", "preload-sound.txt",
                               "preload-music.txt", "preload-emitter.txt"};
    for (int i = 0; i < 5; ++i) app.add(apszNames[i], asLists[i]);
    return std::vector<std::string>(asLists, asLists + 5);
}

class QuietLoadingScreen : public LoadingScreen {
protected:
    Tsl::SmartPtr<GameMode> createNextMode() override { return new GameMode(); }
};

void BM_PreloadSampleLists(benchmark::State& state) {
    double fOurs = 0, fReference = 0, fLongest = 0;
    for (auto _ : state) {
        BenchApp app;
        std::vector<std::string> lists = makeLists(app);
        Tsl::SmartPtr<QuietLoadingScreen> pScreen = new QuietLoadingScreen();
        app.pushMode(pScreen.get());
        fOurs += secondsOf([&] {
            while (!pScreen->isFinished()) fLongest = std::max(fLongest, secondsOf([&] { app.runFrame(); }));
        });
        fReference += secondsOf([&] {
            size_t nLines = 0;
            for (const std::string& sList : lists) {
                std::istringstream in(sList);
                for (std::string sLine; std::getline(in, sLine);) nLines += !sLine.empty();
            }
            benchmark::DoNotOptimize(nLines);
        });
        ParticleEmitter::clearCache();
    }
    double fRuns = static_cast<double>(state.iterations());
    state.counters["total_ms"] = fOurs / fRuns * 1e3;
    state.counters["longest_frame_ms"] = fLongest * 1e3;
    state.counters["reference_ms"] = fReference / fRuns * 1e3;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
}
BENCHMARK(BM_PreloadSampleLists)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(3));

class NoScreens : public StoryModeFactory {};

void BM_MapFrame(benchmark::State& state) {
    const int FRAMES = 1024;
    const float DT = 1.0f / 64.0f;
    BenchApp app;
    QarnPlayer player;
    player.m_bStoryStarted = true;
    for (bool& b : player.m_abTipShown) b = true;
    NoScreens factory;
    Tsl::SmartPtr<StoryManagerMode> pMap = new StoryManagerMode(1, 3, &player, 0, &factory);
    std::vector<Tsl::SmartPtr<AnimSprite>> bare;
    for (int i = 0; i < pMap->getAnimCount(); ++i) {
        bare.push_back(new AnimSprite(app.getAnimation("gav_chica.anim"), 0, 0, 0));
        bare.back()->play("default", 0.0f, -1);
    }
    double fOurs = 0, fReference = 0;
    for (auto _ : state) {
        fOurs += secondsOf([&] {
            for (int i = 0; i < FRAMES; ++i) pMap->onUpdate(DT);
        });
        fReference += secondsOf([&] {
            for (int i = 0; i < FRAMES; ++i)
                for (const Tsl::SmartPtr<AnimSprite>& pSprite : bare) pSprite->update(DT);
        });
    }
    double fFrames = static_cast<double>(state.iterations()) * FRAMES;
    state.counters["ms_per_frame"] = fOurs / fFrames * 1e3;
    state.counters["reference_ms_per_frame"] = fReference / fFrames * 1e3;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
    destroyPlayerManager();
}
BENCHMARK(BM_MapFrame)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(5));

void BM_MapBuild(benchmark::State& state) {
    BenchApp app;
    NoScreens factory;
    double fOurs = 0, fReference = 0;
    for (auto _ : state) {
        QarnPlayer player;
        player.m_bStoryStarted = true;
        size_t nSprites = 0;
        fOurs += secondsOf([&] {
            Tsl::SmartPtr<StoryManagerMode> pMap = new StoryManagerMode(1, 3, &player, 0, &factory);
            for (const SpriteList* pLayer : pMap->getLayers()) nSprites += pLayer->getCount();
        });
        fReference += secondsOf([&] {
            Tsl::SmartPtr<GameMode> pMode = new GameMode();
            for (size_t i = 0; i < nSprites; ++i) pMode->addSprite(new Sprite(app.getImage("px"), 0, 0, int(i % 12)));
        });
    }
    double fRuns = static_cast<double>(state.iterations());
    state.counters["ms_per_build"] = fOurs / fRuns * 1e3;
    state.counters["reference_ms"] = fReference / fRuns * 1e3;
    state.counters["ratio_vs_reference"] = fOurs / fReference;
    destroyPlayerManager();
}
BENCHMARK(BM_MapBuild)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(10));

}  // namespace

BENCHMARK_MAIN();
