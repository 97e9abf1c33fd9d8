// The frames a player waits through when a click changes the screen, over
// the generated content with the game's own drivers (dummy display and sound):
//
// - menu to map: the click on Story that begins a new story, its pages
//   clicked through, and the map's first second;
// - map to level: the click on Play, the fade, the loading dialog and the
//   level's first second under its week's goal;
// - hints: the week's goal closed, the day's first hint, then the six hints
//   of serving the first guest, each opened in a frame of play as a new
//   player meets them.
//
// Each reports its longest frame, clicks included (goal: none over 50 ms).
// The reference is an ordinary frame of the map (the median of a second of
// them), drawn in the same run: "*_vs_map_frame" is the longest frame over
// it, so that the figures keep their meaning on a busy machine.
#include "game/loadingscreen.h"
#include "game/menumode.h"
#include "base/names.h"
#include "player/playermanager.h"
#include "field/playmode.h"
#include "field/tip.h"
#include "game/qarnapp.h"
#include "player/qarnplayer.h"
#include "story/slideshow.h"
#include "story/storymanager.h"
#include "field/weekgoals.h"

#include "app/gameapp.h"
#include "screens/selectprofile.h"
#include "ui/button.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

enum { SETTLE_FRAMES = 60, FRAME_LIMIT = 20000, PAGE_CLICK_EVERY = 20, KEY_ENTER = 13 };

double secondsOf(const std::function<void()>& fnRun) {
    auto tStart = std::chrono::steady_clock::now();
    fnRun();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
}

// The game without its splash: the loading screen first, as after the splash.
class NoSplashApp : public QarnApp {
protected:
    void pushFirstModes() override { pushMode(new LoadingScreen()); }
};

template <class T>
T* topAs(GameApp& app) {
    return app.getModeCount() > 0 ? dynamic_cast<T*>(app.getModeAt(0).get()) : nullptr;
}

// Frames of the game, each timed with the input handled in it: after the
// modes' update, as the frame loop hands on its events.
struct FrameClock {
    explicit FrameClock(GameApp& gameApp) : app(gameApp) {}

    GameApp& app;
    std::vector<double> aFrames;

    void frame(const std::function<void()>& fnInput = nullptr) {
        aFrames.push_back(secondsOf([&] {
            app.runFrame();
            if (fnInput) fnInput();
        }));
    }
    double longest() const { return *std::max_element(aFrames.begin(), aFrames.end()); }
    double median() const {
        std::vector<double> a = aFrames;
        std::nth_element(a.begin(), a.begin() + a.size() / 2, a.end());
        return a[a.size() / 2];
    }
    // Frames until the test holds, then the given number more.
    template <class Done>
    void until(Done done, int nMore, const std::function<void()>& fnEachFrame = nullptr) {
        for (int i = 0; i < FRAME_LIMIT && !done(); ++i) frame(fnEachFrame);
        if (!done()) std::abort();
        for (int i = 0; i < nMore; ++i) frame();
    }
};

// A fresh start to the menu with one player, who has no story yet.
void startToMenu(NoSplashApp& app, const std::string& sFolder) {
    app.setSettingsFile((sFolder + "/settings.dat").c_str());
    app.setContentFolder(CONTENT_DIR);
    if (!app.onInit()) std::abort();
    app.setFrameRate(0);
    for (int i = 0; i < FRAME_LIMIT && !topAs<MenuMode>(app) && !topAs<CreateProfileDialog>(app); ++i) app.runFrame();
    // The menu asks for 60 frames a second: the frames are timed without the wait.
    app.setFrameRate(0);
    if (topAs<CreateProfileDialog>(app)) {
        app.setSetting(Names::SET_CURRENT_PLAYER, getPlayerManager()->createProfile("Bench")->getName().c_str());
        app.getModeAt(0)->endMode();
    }
    for (int i = 0; i < SETTLE_FRAMES; ++i) app.runFrame();
    if (!topAs<MenuMode>(app)) std::abort();
}

struct Figures {
    double fMenuToMap = 0.0, fMapToLevel = 0.0, fHintOpen = 0.0, fMapFrame = 0.0;
};

// The longest frame from the week's goal closed to the day's first hint,
// and of those that each open one of the hints of serving a guest.
double openHints(GameApp& app) {
    FrameClock hints{app};
    hints.frame([&] { app.onKeyDown(KEY_ENTER, 0); });
    PlayMode* pMode = nullptr;
    hints.until([&] { return (pMode = topAs<PlayMode>(app)) && pMode->getTip()->isShown(); }, 0);
    for (int nEvent : {PlayMode::TIP_ORDER, PlayMode::TIP_ORDER_TAKEN, PlayMode::TIP_FULL_GLASS, PlayMode::TIP_SERVED,
                       PlayMode::TIP_PAID, PlayMode::TIP_GLASS_LEFT}) {
        hints.frame([&] {
            pMode->getTip()->hide();
            pMode->onTipEvent(nEvent);
        });
        if (pMode->getOpenTip() != nEvent) std::abort();
    }
    return hints.longest();
}

// From the menu's Story button to the map, and from the map's Play to the
// level's first second.
Figures changeScreens(GameApp& app) {
    Figures figures;
    FrameClock toMap{app};
    MenuMode* pMenu = topAs<MenuMode>(app);
    toMap.frame([&] { pMenu->onCallback(MenuMode::CMD_STORY, 0); });
    int nFrame = 0;
    // A page is skipped now and then, as a reader clicks.
    toMap.until([&] { return topAs<StoryManagerMode>(app) != nullptr; }, SETTLE_FRAMES, [&] {
        if (++nFrame % PAGE_CLICK_EVERY == 0 && topAs<SlideshowMode>(app)) app.onMouseDown(MB_LEFT, 400, 300);
    });
    figures.fMenuToMap = toMap.longest();

    FrameClock onMap{app};
    for (int i = 0; i < SETTLE_FRAMES; ++i) onMap.frame();
    figures.fMapFrame = onMap.median();

    FrameClock toLevel{app};
    StoryManagerMode* pStory = topAs<StoryManagerMode>(app);
    toLevel.frame([&] { pStory->onCallback(StoryManagerMode::ID_PLAY_NEXT, 0); });
    toLevel.until([&] { return topAs<WeekGoalDialog>(app) != nullptr; }, SETTLE_FRAMES);
    figures.fMapToLevel = toLevel.longest();
    figures.fHintOpen = openHints(app);
    return figures;
}

void BM_ScreenChangeFrames(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* pszTmp = std::getenv("TMPDIR");
    std::string sFolder = std::string(pszTmp ? pszTmp : "/tmp") + "/bench_screens.XXXXXX";
    if (!mkdtemp(&sFolder[0])) std::abort();
    // The longest frames of all runs, the map's ordinary frame on average.
    Figures figures;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<NoSplashApp> pApp(new NoSplashApp());
        startToMenu(*pApp, sFolder);
        state.ResumeTiming();
        Figures run = changeScreens(*pApp);
        state.PauseTiming();
        pApp.reset();
        std::remove((sFolder + "/settings.dat").c_str());
        state.ResumeTiming();
        figures.fMenuToMap = std::max(figures.fMenuToMap, run.fMenuToMap);
        figures.fMapToLevel = std::max(figures.fMapToLevel, run.fMapToLevel);
        figures.fHintOpen = std::max(figures.fHintOpen, run.fHintOpen);
        figures.fMapFrame += run.fMapFrame / double(state.max_iterations);
    }
    std::system(("rm -rf '" + sFolder + "'").c_str());
    state.counters["menu_to_map_longest_ms"] = 1000.0 * figures.fMenuToMap;
    state.counters["map_to_level_longest_ms"] = 1000.0 * figures.fMapToLevel;
    state.counters["hint_open_longest_ms"] = 1000.0 * figures.fHintOpen;
    state.counters["map_frame_ms"] = 1000.0 * figures.fMapFrame;
    state.counters["menu_to_map_vs_map_frame"] = figures.fMenuToMap / figures.fMapFrame;
    state.counters["map_to_level_vs_map_frame"] = figures.fMapToLevel / figures.fMapFrame;
    state.counters["hint_open_vs_map_frame"] = figures.fHintOpen / figures.fMapFrame;
}
BENCHMARK(BM_ScreenChangeFrames)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
