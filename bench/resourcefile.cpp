// Reading every entry of a large GRF archive, against raw zlib inflating the
// same compressed bytes from memory. The "ratio" counter is archive speed over
// zlib speed (goal: at least 0.9).
#include "tsl2/file.h"
#include "tsl2/memstream.h"
#include "tsl2/resourcefile.h"

#include "pace.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include <unistd.h>
#include <zlib.h>

namespace {

const int ENTRY_COUNT = 3000;

struct Fixture {
    std::string sPath;
    std::vector<Tsl::String> aNames;
    std::vector<std::vector<unsigned char>> aCompressed; // each entry's stored bytes
    std::vector<unsigned int> aSizes;
    int64_t nTotalBytes = 0;
};

// Game-like content: text in a small vocabulary, and picture-like rows of
// smooth gradients with a little noise.
std::string makeEntry(std::mt19937& rng, int nIndex) {
    static const char* aWords[] = {"sprite", "frame", "anim", "glass", "juice", "seat", "customer", "tip", "0.25",
                                   "120",    "left",  "right", "#",    "loop",  "sequence", "param", "waitress"};
    int nSize = 2000 + static_cast<int>(rng() % 26000);
    std::string sData;
    sData.reserve(nSize);
    if (nIndex % 5 < 3) {
        while (static_cast<int>(sData.size()) < nSize) {
            sData += aWords[rng() % (sizeof(aWords) / sizeof(aWords[0]))];
            sData += rng() % 8 == 0 ? '\n' : ' ';
        }
        sData.resize(nSize);
    } else {
        for (int i = 0; i < nSize; ++i)
            sData += static_cast<char>((i % 256) / 2 + ((i / 256) % 64) + (rng() % 4));
    }
    return sData;
}

Fixture* s_pFixture = nullptr;

// A file name of our own: runs side by side must not write one another's archive.
std::string makeUniqueFile() {
    const char* pszTmp = std::getenv("TMPDIR");
    std::string sTemplate = std::string(pszTmp ? pszTmp : "/tmp") + "/bench_resourcefile.XXXXXX";
    int nFd = mkstemp(&sTemplate[0]);
    if (nFd < 0) {
        std::perror(sTemplate.c_str());
        std::abort();
    }
    close(nFd);
    return sTemplate;
}

Fixture& getFixture() {
    if (s_pFixture) return *s_pFixture;
    s_pFixture = new Fixture;
    Fixture& fixture = *s_pFixture;
    fixture.sPath = makeUniqueFile();
    std::mt19937 rng(1234);
    {
        Tsl::ResourceFileCompiler compiler(fixture.sPath.c_str());
        for (int i = 0; i < ENTRY_COUNT; ++i) {
            std::string sData = makeEntry(rng, i);
            Tsl::MemStream source(sData.data(), static_cast<int>(sData.size()));
            compiler.addResource(&source, Tsl::String::format("entries/%04d", i));
        }
        compiler.finish();
    }
    Tsl::ResourceFile archive(fixture.sPath.c_str());
    Tsl::File file(fixture.sPath.c_str(), Tsl::File::eRead);
    for (int i = 0; i < archive.getEntryCount(); ++i) {
        const Tsl::ResourceFileEntry& entry = archive.getEntry(i);
        fixture.aNames.push_back(entry.sName);
        std::vector<unsigned char> aBytes(entry.nStoredSize);
        file.seek(entry.nOffset);
        file.readFully(aBytes.data(), static_cast<int>(aBytes.size()));
        fixture.aCompressed.push_back(aBytes);
        fixture.aSizes.push_back(entry.nSize);
        fixture.nTotalBytes += entry.nSize;
    }
    return fixture;
}

double secondsOf(const std::function<void()>& fnPass) {
    auto tStart = std::chrono::steady_clock::now();
    fnPass();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
}

void readArchivePass(Tsl::ResourceFile& archive, const Fixture& fixture) {
    for (const Tsl::String& sName : fixture.aNames) {
        Tsl::SmartPtr<Tsl::Resource> pResource = archive.getResource(sName);
        benchmark::DoNotOptimize(pResource->getData());
    }
}

// What any reader must do at least: an output buffer per entry and one
// uncompress call into it.
void rawZlibPass(const Fixture& fixture) {
    for (size_t i = 0; i < fixture.aCompressed.size(); ++i) {
        std::unique_ptr<unsigned char[]> pOut(new unsigned char[fixture.aSizes[i] + 1]);
        uLongf nOut = fixture.aSizes[i];
        if (uncompress(pOut.get(), &nOut, fixture.aCompressed[i].data(), fixture.aCompressed[i].size()) != Z_OK)
            std::abort();
        benchmark::DoNotOptimize(pOut.get());
    }
}

void BM_ArchiveReadAll(benchmark::State& state) {
    Fixture& fixture = getFixture();
    Tsl::ResourceFile archive(fixture.sPath.c_str());
    double fArchive = 0.0, fZlib = 0.0;
    for (auto _ : state) {
        fArchive += secondsOf([&] { readArchivePass(archive, fixture); });
        state.PauseTiming();
        fZlib += secondsOf([&] { rawZlibPass(fixture); });
        state.ResumeTiming();
    }
    double fMB = static_cast<double>(fixture.nTotalBytes) * static_cast<double>(state.iterations()) / 1e6;
    state.SetBytesProcessed(fixture.nTotalBytes * state.iterations());
    state.counters["archive_MBps"] = fMB / fArchive;
    state.counters["zlib_MBps"] = fMB / fZlib;
    state.counters["ratio"] = fZlib / fArchive;
    state.counters["entries"] = static_cast<double>(fixture.aNames.size());
    state.counters["total_MB"] = static_cast<double>(fixture.nTotalBytes) / 1e6;
}
BENCHMARK(BM_ArchiveReadAll)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(2.0));

void BM_RawZlibInflate(benchmark::State& state) {
    Fixture& fixture = getFixture();
    for (auto _ : state) rawZlibPass(fixture);
    state.SetBytesProcessed(fixture.nTotalBytes * state.iterations());
}
BENCHMARK(BM_RawZlibInflate)->Unit(benchmark::kMillisecond)->MinTime(pace::seconds(2.0));

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (s_pFixture) std::remove(s_pFixture->sPath.c_str());
    return 0;
}
