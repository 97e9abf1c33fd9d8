// Tsl::Hash look-ups and Tsl::List index walks against std::unordered_map and
// std::vector, for scale. "ratio" is the std container's time over ours
// (1.0 = as fast, 0.1 = ten times slower).
#include "tsl2/hash.h"
#include "tsl2/list.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

double secondsOf(const std::function<void()>& fnPass) {
    auto tStart = std::chrono::steady_clock::now();
    fnPass();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
}

// Runs our pass under the benchmark's clock and the reference beside it.
void runAgainstReference(benchmark::State& state, const std::function<void()>& fnOurs,
                         const std::function<void()>& fnReference, int64_t nItemsPerPass) {
    double fOurs = 0.0, fReference = 0.0;
    for (auto _ : state) {
        fOurs += secondsOf(fnOurs);
        state.PauseTiming();
        fReference += secondsOf(fnReference);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(nItemsPerPass * state.iterations());
    state.counters["ns_per_item"] = fOurs * 1e9 / static_cast<double>(nItemsPerPass * state.iterations());
    state.counters["std_ns_per_item"] = fReference * 1e9 / static_cast<double>(nItemsPerPass * state.iterations());
    state.counters["ratio"] = fReference / fOurs;
}

void BM_HashLookup(benchmark::State& state) {
    const int nKeys = static_cast<int>(state.range(0));
    Tsl::Hash<Tsl::String, int> hTable; // 97 buckets, as every table of the game
    std::unordered_map<std::string, int> mTable;
    std::vector<Tsl::String> aKeys;
    std::vector<std::string> aStdKeys;
    for (int i = 0; i < nKeys; ++i) {
        Tsl::String sKey = Tsl::String::format("Resource_%d_name", i * 7919);
        aKeys.push_back(sKey);
        aStdKeys.push_back(sKey.c_str());
        hTable.set(sKey, i);
        mTable[sKey.c_str()] = i;
    }
    runAgainstReference(
        state,
        [&] {
            long nSum = 0;
            for (const Tsl::String& sKey : aKeys) nSum += hTable.get(sKey);
            benchmark::DoNotOptimize(nSum);
        },
        [&] {
            long nSum = 0;
            for (const std::string& sKey : aStdKeys) nSum += mTable.find(sKey)->second;
            benchmark::DoNotOptimize(nSum);
        },
        nKeys);
}
BENCHMARK(BM_HashLookup)->Arg(100)->Arg(1000)->Arg(10000);

void BM_ListIndexWalk(benchmark::State& state) {
    const int nCount = static_cast<int>(state.range(0));
    Tsl::List<int> lValues;
    std::vector<int> aValues;
    for (int i = 0; i < nCount; ++i) {
        lValues.append(i);
        aValues.push_back(i);
    }
    runAgainstReference(
        state,
        [&] {
            long nSum = 0;
            for (int i = 0; i < lValues.getCount(); ++i) nSum += lValues.getAt(i);
            benchmark::DoNotOptimize(nSum);
        },
        [&] {
            long nSum = 0;
            for (size_t i = 0; i < aValues.size(); ++i) nSum += aValues[i];
            benchmark::DoNotOptimize(nSum);
        },
        nCount);
}
BENCHMARK(BM_ListIndexWalk)->Arg(100)->Arg(10000);

} // namespace

BENCHMARK_MAIN();
