#pragma once
// How long a benchmark runs. A brief run (TSL_BENCH_BRIEF set and not empty, as
// scripts/run-bench.sh --brief does for CI) runs each benchmark once, only to
// prove that it still runs to its end; its figures mean nothing. A fixed
// iteration count or minimum time would otherwise outweigh the command line's
// --benchmark_min_time, so every benchmark that sets one takes it from here.
#include <cstdlib>

namespace pace {

inline bool brief() {
    static const char* const s_pszBrief = std::getenv("TSL_BENCH_BRIEF");
    static const bool s_bBrief = s_pszBrief && *s_pszBrief;
    return s_bBrief;
}

// For ->Iterations(): the count, or one.
inline int iterations(int nCount) { return brief() ? 1 : nCount; }

// For ->MinTime(): the seconds, or a time any single iteration outlasts.
inline double seconds(double fSeconds) { return brief() ? 1e-9 : fSeconds; }

} // namespace pace
