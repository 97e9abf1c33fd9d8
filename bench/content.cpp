// The game over its generated content: the start to the main menu (splash
// skipped, the full preload lists, dummy drivers; goal under 2 s) against
// the engine alone reading every entry of the same archives, one level's
// set-up against drawing the menu for as many frames, and one run of
// the content generator (goal under a minute, so CI regenerates) against
// copying what it wrote. "ratio" is reference time over measured time.
#include "game/loadingscreen.h"
#include "game/menumode.h"
#include "field/playmode.h"
#include "game/qarnapp.h"
#include "player/qarnplayer.h"

#include "app/gameapp.h"
#include "screens/selectprofile.h"
#include "ui/label.h"

#include "tsl2/resource.h"

#include "pace.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

const char* const ARCHIVES[] = {"lang_en.dat", "common.dat", "chars0.dat", "chars1.dat", "scene0.dat",
                                "scene1.dat",  "scene2.dat", "scene3.dat", "scene4.dat", "dresses.dat",
                                "map.dat",     "sfx.dat",    "store.dat"};

double secondsOf(const std::function<void()>& fnRun) {
    auto tStart = std::chrono::steady_clock::now();
    fnRun();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
}

std::string makeTempFolder(const char* pszName) {
    const char* pszTmp = std::getenv("TMPDIR");
    std::string sTemplate = std::string(pszTmp ? pszTmp : "/tmp") + "/" + pszName + ".XXXXXX";
    if (!mkdtemp(&sTemplate[0])) std::abort();
    return sTemplate;
}

void removeFolder(const std::string& sPath) { std::system(("rm -rf '" + sPath + "'").c_str()); }

// The game without its splash: the loading screen first, as after the splash.
class NoSplashApp : public QarnApp {
protected:
    void pushFirstModes() override { pushMode(new LoadingScreen()); }
};

bool atMenu(GameApp& app) {
    if (app.getModeCount() == 0) return false;
    GameMode* pTop = app.getModeAt(0).get();
    return dynamic_cast<MenuMode*>(pTop) || dynamic_cast<CreateProfileDialog*>(pTop);
}

void startToMenu(NoSplashApp& app, const std::string& sSettings) {
    app.setSettingsFile(sSettings.c_str());
    app.setContentFolder(CONTENT_DIR);
    if (!app.onInit()) std::abort();
    app.setFrameRate(0);
    for (int i = 0; i < 100000 && !atMenu(app); ++i) app.runFrame();
    if (!atMenu(app)) std::abort();
}

void readEveryEntry() {
    GameApp app;
    for (const char* pszArchive : ARCHIVES) app.addArchive((std::string(CONTENT_DIR) + "/" + pszArchive).c_str());
    for (const Tsl::SmartPtr<Tsl::ResourceProvider>& pProvider : app.getResourceProviders())
        for (const Tsl::String& sName : pProvider->getResourceNames()) benchmark::DoNotOptimize(app.getResource(sName));
}

void BM_StartToMenu(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string sFolder = makeTempFolder("bench_content");
    double fGame = 0.0, fEngine = 0.0;
    for (auto _ : state) {
        fGame += secondsOf([&] {
            NoSplashApp app;
            startToMenu(app, sFolder + "/settings.dat");
        });
        state.PauseTiming();
        fEngine += secondsOf(readEveryEntry);
        state.ResumeTiming();
    }
    removeFolder(sFolder);
    double fRuns = double(state.iterations());
    state.counters["startup_ms"] = 1000.0 * fGame / fRuns;
    state.counters["read_all_ms"] = 1000.0 * fEngine / fRuns;
    state.counters["ratio"] = fEngine / fGame;
}
BENCHMARK(BM_StartToMenu)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(3));

// One level's set-up on the largest scene: from the play screen's push to
// the week's goal, the scene, its customers and the waitress loaded. The
// reference is the menu below it, drawn for as many frames.
void BM_LevelSetUp(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string sFolder = makeTempFolder("bench_level");
    NoSplashApp app;
    startToMenu(app, sFolder + "/settings.dat");
    double fLevel = 0.0, fFrames = 0.0;
    for (auto _ : state) {
        QarnPlayer player;
        for (bool& b : player.m_abTipShown) b = true;
        Tsl::SmartPtr<PlayMode> pMode = new PlayMode("scene4", 1, 0, &player, -1);
        int nFrames = 0;
        fLevel += secondsOf([&] {
            app.pushMode(pMode.get());
            for (; nFrames < 10000 && pMode->getPhase() < PlayMode::PHASE_WEEK_GOAL; ++nFrames) app.runFrame();
        });
        state.PauseTiming();
        if (pMode->getPhase() != PlayMode::PHASE_WEEK_GOAL) std::abort();
        while (app.getModeAt(0).get() != pMode.get()) {
            app.getModeAt(0)->endMode();
            app.runFrame();
        }
        pMode->endMode();
        app.runFrame();
        fFrames += secondsOf([&] {
            for (int i = 0; i < nFrames; ++i) app.runFrame();
        });
        state.ResumeTiming();
    }
    removeFolder(sFolder);
    double fRuns = double(state.iterations());
    state.counters["setup_ms"] = 1000.0 * fLevel / fRuns;
    state.counters["frames_ms"] = 1000.0 * fFrames / fRuns;
    state.counters["ratio"] = fFrames / fLevel;
}
BENCHMARK(BM_LevelSetUp)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(3));

void copyArchives(const std::string& sFrom, const std::string& sTo) {
    for (const char* pszArchive : ARCHIVES) {
        std::ifstream in(sFrom + "/" + pszArchive, std::ios::binary);
        std::ofstream out(sTo + "/" + pszArchive, std::ios::binary);
        out << in.rdbuf();
    }
}

void BM_GeneratorRun(benchmark::State& state) {
    std::string sFolder = makeTempFolder("bench_contentgen");
    std::string sCommand = std::string("'") + CONTENTGEN + "' '" + CONTENT_SOURCE_DIR + "' '" + CONTENT_FONT_DIR + "' '" +
                           sFolder + "' > /dev/null";
    double fRun = 0.0, fCopy = 0.0;
    for (auto _ : state) {
        fRun += secondsOf([&] {
            if (std::system(sCommand.c_str()) != 0) std::abort();
        });
        state.PauseTiming();
        std::string sCopy = makeTempFolder("bench_contentcopy");
        fCopy += secondsOf([&] { copyArchives(sFolder, sCopy); });
        removeFolder(sCopy);
        state.ResumeTiming();
    }
    removeFolder(sFolder);
    double fRuns = double(state.iterations());
    state.counters["generator_s"] = fRun / fRuns;
    state.counters["copy_s"] = fCopy / fRuns;
    state.counters["ratio"] = fCopy / fRun;
}
BENCHMARK(BM_GeneratorRun)->Unit(benchmark::kMillisecond)->Iterations(pace::iterations(1));

} // namespace

BENCHMARK_MAIN();
