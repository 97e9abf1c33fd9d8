// The game's start-up to its first splash frame: settings, the thirteen
// archives, the string tables, the theme, the screen and the first drawn
// frame, on a small content set written here. The reference is the engine
// alone opening the same screen and drawing the same splash picture. The
// "ratio" counter is reference time over start-up time; "startup_ms" is the
// goal's measure (well under 500).
#include "qarnapp.h"

#include "platform/sdl_platform.h"
#include "screens/splashscreen.h"
#include "video/sdl_d3d7video.h"

#include "tsl2/memstream.h"
#include "tsl2/resourcefile.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

const char* const ARCHIVES[] = {"lang_en.dat", "common.dat", "chars0.dat", "chars1.dat", "scene0.dat",
                                "scene1.dat",  "scene2.dat", "scene3.dat", "scene4.dat", "dresses.dat",
                                "map.dat",     "sfx.dat",    "store.dat"};

std::string makeBmp(int nWidth, int nHeight) {
    SDL_Surface* pSurface = SDL_CreateRGBSurface(SDL_SWSURFACE, nWidth, nHeight, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(pSurface, nullptr, 0x3388CC);
    std::string sBytes(size_t(64 + nWidth * nHeight * 4), '\0');
    SDL_RWops* pOut = SDL_RWFromMem(&sBytes[0], int(sBytes.size()));
    SDL_SaveBMP_RW(pSurface, pOut, 0);
    sBytes.resize(size_t(SDL_RWtell(pOut)));
    SDL_RWclose(pOut);
    SDL_FreeSurface(pSurface);
    return sBytes;
}

void addEntry(Tsl::ResourceFileCompiler& compiler, const char* pszName, const std::string& sBytes) {
    Tsl::MemStream source(sBytes.data(), int(sBytes.size()));
    compiler.addResource(&source, pszName);
}

// The content set, written once into a folder of its own and removed at exit.
struct ContentFolder {
    std::string sPath;
    ~ContentFolder() {
        if (!sPath.empty()) std::system(("rm -rf '" + sPath + "'").c_str());
    }
};

const std::string& contentFolder() {
    static ContentFolder s_folder;
    std::string& s_sFolder = s_folder.sPath;
    if (!s_sFolder.empty()) return s_sFolder;
    const char* pszTmp = std::getenv("TMPDIR");
    std::string sTemplate = std::string(pszTmp ? pszTmp : "/tmp") + "/bench_startup.XXXXXX";
    if (!mkdtemp(&sTemplate[0])) std::abort();
    s_sFolder = sTemplate;
    std::string sTable;
    for (int i = 0; i < 500; ++i) sTable += "KEY_" + std::to_string(i) + " Some text shown to the player\n";
    for (const char* pszArchive : ARCHIVES) {
        Tsl::ResourceFileCompiler compiler((s_sFolder + "/" + pszArchive).c_str());
        if (std::string(pszArchive) == "lang_en.dat") {
            addEntry(compiler, "nontranslated.txt", "APP_Caption Beach bar\n");
            addEntry(compiler, "messages.txt", sTable);
            addEntry(compiler, "private.txt", "# none\n");
        } else if (std::string(pszArchive) == "common.dat") {
            addEntry(compiler, "sand.theme", "# built-in styles\n");
            addEntry(compiler, "app_icon.png", makeBmp(32, 32));
            addEntry(compiler, "splash_logo.png", makeBmp(800, 600));
        } else {
            addEntry(compiler, "filler", sTable);
        }
        compiler.finish();
    }
    return s_sFolder;
}

double secondsOf(const std::function<void()>& fnRun) {
    auto tStart = std::chrono::steady_clock::now();
    fnRun();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
}

void gameStart() {
    QarnApp app;
    app.setContentFolder(contentFolder().c_str());
    if (!app.onInit()) std::abort();
    app.runFrame();
}

void engineStart() {
    GameApp app;
    SDLPlatform* pPlatform = new SDLPlatform();
    pPlatform->setVideoDriver(new D3D7VideoDriver());
    app.setPlatform(pPlatform);
    app.addArchive((contentFolder() + "/common.dat").c_str());
    if (!app.init(800, 600, 0)) std::abort();
    Tsl::SmartPtr<SplashScreen> pSplash = new SplashScreen();
    pSplash->addImage("splash_logo");
    app.pushMode(pSplash);
    app.runFrame();
}

void BM_StartupToFirstSplashFrame(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    contentFolder();
    double fGame = 0.0, fEngine = 0.0;
    for (auto _ : state) {
        fGame += secondsOf(gameStart);
        state.PauseTiming();
        fEngine += secondsOf(engineStart);
        state.ResumeTiming();
    }
    double fRuns = double(state.iterations());
    state.counters["startup_ms"] = 1000.0 * fGame / fRuns;
    state.counters["engine_ms"] = 1000.0 * fEngine / fRuns;
    state.counters["ratio"] = fEngine / fGame;
}
BENCHMARK(BM_StartupToFirstSplashFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
