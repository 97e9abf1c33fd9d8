// Reading a generated 5,000-line ".anim" file with 200 frames (20 looping
// sequences, each frame loaded, placed, added and given properties inside
// conditional blocks), beside a plain std::string split of the same text
// into lines and words in the same run. The ratio counter is our time over
// the split's (how much the command language costs on top of tokenising).
// The slice benchmark times one preload step, the unit the loading screen
// runs per frame; its worst case is reported too.
#include "anim/animationloader.h"
#include "app/gameapp.h"
#include "image/sdl_image.h"

#include "tsl2/resource.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int SEQUENCES = 20;
const int FRAMES_PER_SEQUENCE = 10;
const int LINES = 5000;

std::string makeAnimationText() {
    std::string s = "# generated\nfps 12\ndefine side left\nprop owner bench\n";
    int nLines = 4;
    auto line = [&](const std::string& sLine) {
        s += sLine + "\n";
        ++nLines;
    };
    for (int q = 0; q < SEQUENCES; ++q) {
        line("seq s" + std::to_string(q) + " loop fps 12");
        line("prop kind walk");
        for (int f = 0; f < FRAMES_PER_SEQUENCE; ++f) {
            std::string sPicture = "p" + std::to_string(q * FRAMES_PER_SEQUENCE + f);
            line("load " + sPicture + "   # one picture a frame");
            line("inspos center bottom-2 " + sPicture);
            line("add " + sPicture + " repeat 2");
            line("prop sound step_(0)");
            line("if == (side) (0)");
            line("  prop hand (1)");
            line("elif > (1) 2");
            line("  prop hand big");
            line("else");
            line("  prop hand small");
            line("endif");
            for (int k = 0; k < 12; ++k) line("prop k" + std::to_string(k) + " v" + std::to_string(k));
        }
    }
    while (nLines < LINES) line("# padding");
    return s;
}

// An application with the pictures in its image cache and the text as a resource.
struct Setup {
    GameApp app;
    std::string sText = makeAnimationText();
    Tsl::List<Tsl::String> lParams;
    Setup() {
        Tsl::SmartPtr<Tsl::MemoryResourceProvider> pProvider = new Tsl::MemoryResourceProvider();
        pProvider->add("bench.anim", sText.data(), static_cast<int>(sText.size()));
        app.addResourceProvider(pProvider.get());
        for (int i = 0; i < SEQUENCES * FRAMES_PER_SEQUENCE; ++i)
            app.addImage(("p" + std::to_string(i)).c_str(), new SDLImage(16, 24, true, true));
        lParams.append("left");
        lParams.append("3");
    }
    Tsl::SmartPtr<Animation> load() {
        AnimationLoader loader;
        loader.setParams(lParams);
        return loader.load("bench.anim");
    }
};

Setup& setup() {
    static Setup s_setup;
    return s_setup;
}

size_t splitWords(const std::string& sText) {
    std::istringstream lines(sText);
    std::string sLine, sWord;
    size_t nWords = 0;
    while (std::getline(lines, sLine)) {
        std::istringstream words(sLine);
        while (words >> sWord) ++nWords;
    }
    return nWords;
}

template <class Fn>
double secondsOf(Fn fn, int nRounds) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < nRounds; ++i) fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ParseAnimation(benchmark::State& state) {
    Setup& s = setup();
    Tsl::SmartPtr<Animation> pAnimation = s.load();
    if (pAnimation->getImages().getCount() != SEQUENCES * FRAMES_PER_SEQUENCE) state.SkipWithError("wrong frames");
    for (auto _ : state) benchmark::DoNotOptimize(s.load());
    state.SetItemsProcessed(state.iterations() * LINES);
    int nRounds = 20;
    double fOurs = secondsOf([&] { s.load(); }, nRounds);
    double fSplit = secondsOf([&] { benchmark::DoNotOptimize(splitWords(s.sText)); }, nRounds);
    state.counters["ratio_vs_std_split"] = fOurs / fSplit;
    state.counters["lines_per_second"] = benchmark::Counter(LINES * static_cast<double>(state.iterations()),
                                                            benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseAnimation)->Unit(benchmark::kMillisecond);

void BM_StdSplitReference(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state) benchmark::DoNotOptimize(splitWords(s.sText));
    state.SetItemsProcessed(state.iterations() * LINES);
}
BENCHMARK(BM_StdSplitReference)->Unit(benchmark::kMillisecond);

// Times of every slice of one file, in order.
std::vector<double> sliceTimes(Setup& s) {
    AnimationLoader loader;
    loader.setParams(s.lParams);
    loader.begin("bench.anim");
    std::vector<double> aTimes;
    while (!loader.isDone()) {
        auto start = std::chrono::steady_clock::now();
        loader.parseNextLine();
        aTimes.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return aTimes;
}

// One preload step; a new loader starts (untimed) whenever the last one is done.
// The worst slice is taken per slice as the best of five passes, so a
// preempted slice on a busy machine does not count as a slow one.
void BM_PreloadSlice(benchmark::State& state) {
    Setup& s = setup();
    Tsl::SmartPtr<AnimationLoader> pLoader;
    for (auto _ : state) {
        if (!pLoader || pLoader->isDone()) {
            state.PauseTiming();
            pLoader = new AnimationLoader();
            pLoader->setParams(s.lParams);
            pLoader->begin("bench.anim");
            state.ResumeTiming();
        }
        pLoader->parseNextLine();
    }
    std::vector<double> aBest = sliceTimes(s);
    for (int nPass = 1; nPass < 5; ++nPass) {
        std::vector<double> aTimes = sliceTimes(s);
        for (size_t i = 0; i < aBest.size(); ++i) aBest[i] = std::min(aBest[i], aTimes[i]);
    }
    state.counters["slices_per_file"] = static_cast<double>(aBest.size());
    state.counters["worst_slice_us"] = *std::max_element(aBest.begin(), aBest.end()) * 1e6;
}
BENCHMARK(BM_PreloadSlice)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
