// Writes a fuzzed Ogg Theora movie to a temporary file, opens it and decodes
// a few frames without sound. Only Tsl exceptions may come out; a hang shows
// as a libFuzzer timeout, a runaway allocation as its memory limit, any stray
// access is for AddressSanitizer.
//
// Input: a file of its own when it starts with "OggS"; otherwise its bytes
// are XORed over a small movie (pictures and sound) the real encoders make at
// start-up, so even a short run from an empty corpus reaches the decoders.
// Every complete Ogg page then gets its checksum set, so mutations reach the
// codec headers and packets instead of all dying at the page layer.
#include "fakes.h"
#include "movie_fixture.h"
#include "media/sdl_theora.h"

#include "tsl2/error.h"

#include <ogg/ogg.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct World {
    TestApp app;
    std::string sBaseMovie;
    World() {
        app.init(800, 600, 0);
        MovieSpec spec;
        spec.nFrames = 4;
        spec.nSoundChannels = 1;
        spec.nSoundRate = 8000;
        spec.fSoundSeconds = 0.25f;
        sBaseMovie = makeMovie(spec);
    }
};

// A file of this process's own, made for one input and removed after it:
// libFuzzer may end the process without running destructors.
std::string moviePath() {
    const char* pszRoot = getenv("TMPDIR");
    return std::string(pszRoot && *pszRoot ? pszRoot : "/tmp") + "/movie-fuzz-" + std::to_string(getpid()) + ".ogv";
}

// The length of the page at nAt when all of it is in the data, else 0.
size_t pageLength(const std::vector<unsigned char>& aData, size_t nAt) {
    const size_t HEADER = 27;
    if (nAt + HEADER > aData.size() || std::memcmp(&aData[nAt], "OggS", 4) != 0) return 0;
    size_t nHeader = HEADER + aData[nAt + 26];
    if (nAt + nHeader > aData.size()) return 0;
    size_t nBody = 0;
    for (size_t i = nAt + HEADER; i < nAt + nHeader; ++i) nBody += aData[i];
    return nAt + nHeader + nBody <= aData.size() ? nHeader + nBody : 0;
}

void setPageChecksums(std::vector<unsigned char>& aData) {
    for (size_t nAt = 0; nAt < aData.size();) {
        size_t nLength = pageLength(aData, nAt);
        if (nLength == 0) {
            ++nAt;
            continue;
        }
        ogg_page page;
        page.header = &aData[nAt];
        page.header_len = 27 + aData[nAt + 26];
        page.body = &aData[nAt + page.header_len];
        page.body_len = static_cast<long>(nLength) - page.header_len;
        ogg_page_checksum_set(&page);
        nAt += nLength;
    }
}

void writeFile(const std::string& sPath, const std::vector<unsigned char>& aData) {
    FILE* pFile = std::fopen(sPath.c_str(), "wb");
    if (!pFile) abort();
    if (!aData.empty() && std::fwrite(aData.data(), 1, aData.size(), pFile) != aData.size()) abort();
    std::fclose(pFile);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    static World* s_pWorld = new World();
    static const std::string s_sPath = moviePath();
    World& w = *s_pWorld;
    if (nSize > 65536) return 0;
    std::vector<unsigned char> aData(pData, pData + nSize);
    if (nSize < 4 || std::memcmp(pData, "OggS", 4) != 0) {
        std::vector<unsigned char> aMovie(w.sBaseMovie.begin(), w.sBaseMovie.end());
        for (size_t i = 0; i < nSize && i < aMovie.size(); ++i) aMovie[i] ^= pData[i];
        aData.swap(aMovie);
    }
    setPageChecksums(aData);
    writeFile(s_sPath, aData);
    try {
        SDLTheoraVideo video;
        if (video.open(s_sPath.c_str())) {
            video.play();
            for (int i = 0; i < 8 && !video.isFinished(); ++i) video.update(0.125f);
        }
    } catch (const Tsl::Exception&) {
    }
    std::remove(s_sPath.c_str());
    return 0;
}
