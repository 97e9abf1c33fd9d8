// Movie playback: SDLTheoraVideo reading, decoding and converting every
// picture of a generated 320x240 movie, against libtheora alone decoding the
// same packets to Y'CbCr through the same legacy interface (no Ogg reading,
// no conversion, no images).
// "ratio" is the reference's time over ours (1.0 = no cost beyond decoding).
#include "../tests/gamelib/media/movie_fixture.h"

#include "app/gameapp.h"
#include "media/sdl_theora.h"
#include "platform/sdl_platform.h"

#include <benchmark/benchmark.h>
#include <ogg/ogg.h>
#include <theora/theora.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double secondsOf(const std::function<void()>& fnPass) {
    auto tStart = std::chrono::steady_clock::now();
    fnPass();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
}

MovieSpec benchSpec() {
    MovieSpec spec;
    spec.nFrameWidth = spec.nPicWidth = 320;
    spec.nFrameHeight = spec.nPicHeight = 240;
    spec.nFps = 24;
    spec.nFrames = 48;
    spec.fnPixel = [](int k, int x, int y, unsigned char* p) {
        p[0] = static_cast<unsigned char>(x + y + 4 * k);
        p[1] = static_cast<unsigned char>(128 + (x - 160) / 4);
        p[2] = static_cast<unsigned char>(128 + (y - 120) / 4);
    };
    return spec;
}

// Every picture through the player; updates a little shorter than a
// picture's time, so none is late and skipped.
int playThrough(const std::string& sPath, int nFps) {
    SDLTheoraVideo video;
    video.open(sPath.c_str());
    int nPictures = 0;
    while (!video.isFinished())
        if (video.update(1.0f / (nFps + 1))) ++nPictures;
    return nPictures;
}

// The same packets straight through libtheora's decoder, by the same
// legacy interface the player uses.
int decodeOnly(const std::vector<ogg_packet>& aPackets) {
    theora_info info;
    theora_comment comment;
    theora_state state;
    theora_info_init(&info);
    theora_comment_init(&comment);
    size_t i = 0;
    for (; i < aPackets.size() && i < 3; ++i) {
        ogg_packet packet = aPackets[i];
        theora_decode_header(&info, &comment, &packet);
    }
    theora_decode_init(&state, &info);
    // At the highest post-processing level, as the player starts.
    int nLevel = 0;
    theora_control(&state, TH_DECCTL_GET_PPLEVEL_MAX, &nLevel, sizeof(nLevel));
    theora_control(&state, TH_DECCTL_SET_PPLEVEL, &nLevel, sizeof(nLevel));
    int nPictures = 0;
    for (; i < aPackets.size(); ++i) {
        ogg_packet packet = aPackets[i];
        if (theora_decode_packetin(&state, &packet) == 0) {
            yuv_buffer yuv;
            theora_decode_YUVout(&state, &yuv);
            benchmark::DoNotOptimize(yuv.y[0]);
            ++nPictures;
        }
    }
    theora_clear(&state);
    theora_comment_clear(&comment);
    theora_info_clear(&info);
    return nPictures;
}

// The movie's Theora packets, copied out of its pages.
std::vector<ogg_packet> theoraPackets(const std::string& sBytes, std::vector<std::vector<unsigned char>>& aStore) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* pBuffer = ogg_sync_buffer(&sync, static_cast<long>(sBytes.size()));
    std::copy(sBytes.begin(), sBytes.end(), pBuffer);
    ogg_sync_wrote(&sync, static_cast<long>(sBytes.size()));
    ogg_page page;
    ogg_stream_state stream;
    bool bStream = false;
    std::vector<ogg_packet> aPackets;
    while (ogg_sync_pageout(&sync, &page) == 1) {
        if (!bStream) {
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            bStream = true;
        }
        ogg_stream_pagein(&stream, &page);
        ogg_packet packet;
        while (ogg_stream_packetout(&stream, &packet) == 1) {
            aStore.emplace_back(packet.packet, packet.packet + packet.bytes);
            aPackets.push_back(packet);
        }
    }
    // The stored bytes may have moved while the list grew.
    for (size_t i = 0; i < aPackets.size(); ++i) aPackets[i].packet = aStore[i].data();
    if (bStream) ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return aPackets;
}

void BM_TheoraPlayback(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    GameApp app;
    app.setPlatform(new SDLPlatform());
    MovieSpec spec = benchSpec();
    std::string sPath = writeMovie("bench.ogv", spec);
    std::vector<std::vector<unsigned char>> aStore;
    std::vector<ogg_packet> aPackets = theoraPackets(makeMovie(spec), aStore);
    double fOurs = 0.0, fReference = 0.0;
    int nPictures = 0;
    for (auto _ : state) {
        fOurs += secondsOf([&] { nPictures = playThrough(sPath, spec.nFps); });
        state.PauseTiming();
        fReference += secondsOf([&] { benchmark::DoNotOptimize(decodeOnly(aPackets)); });
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(nPictures) * state.iterations());
    state.counters["pictures"] = nPictures;
    state.counters["ratio"] = fReference / fOurs;
}
BENCHMARK(BM_TheoraPlayback)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
