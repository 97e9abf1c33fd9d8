#include "sdl_fixtures.h"

#include "test_folder.h"

#include "sprite/sprite.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

// Headless unless told otherwise, also when run outside CTest.
static const bool s_bHeadless = setenv("SDL_VIDEODRIVER", "dummy", 0) == 0 && setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

// --- the recording application ---------------------------------------------------

RecordingApp::RecordingApp() : pResources(new Tsl::MemoryResourceProvider()) {
    addResourceProvider(pResources);
}

bool RecordingApp::onKeyDown(int nKey, int nModifiers) {
    calls.push_back("down " + std::to_string(nKey) + " " + std::to_string(nModifiers));
    for (int nHandled : handledKeys)
        if (nHandled == nKey) return true;
    return false;
}
bool RecordingApp::onKeyUp(int nKey, int nModifiers) {
    calls.push_back("up " + std::to_string(nKey));
    return false;
}
bool RecordingApp::onChar(int nCharacter) {
    calls.push_back("char " + std::to_string(nCharacter));
    return false;
}
void RecordingApp::onMouseMove(int nX, int nY, bool bInside) {
    calls.push_back("move " + std::to_string(nX) + "," + std::to_string(nY));
}
bool RecordingApp::onMouseDown(int nButton, int nX, int nY) {
    calls.push_back("mdown " + std::to_string(nButton) + " " + std::to_string(nX) + "," + std::to_string(nY));
    return false;
}
bool RecordingApp::onMouseUp(int nButton, int nX, int nY) {
    calls.push_back("mup " + std::to_string(nButton) + " " + std::to_string(nX) + "," + std::to_string(nY));
    return false;
}
void RecordingApp::onQuit() { calls.push_back("quit"); }
void RecordingApp::onActivate() { calls.push_back("activate"); }
void RecordingApp::onDeactivate() { calls.push_back("deactivate"); }
void RecordingApp::onMouseEnter() { calls.push_back("enter"); }
void RecordingApp::onMouseLeave() { calls.push_back("leave"); }

// --- the fake video driver ---------------------------------------------------------

bool FakeVideoDriver::init(Tsl::SmartPtr<Image> pIcon) {
    m_bInitialised = true;
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void FakeVideoDriver::shutdown() {
    m_bInitialised = false;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

Tsl::SmartPtr<Sprite> FakeVideoDriver::getCursorSprite() const {
    return nullptr;
}

bool FakeVideoDriver::createWindow(int nWidth, int nHeight, int nBpp, bool bFullScreen, int nFlags,
                                   Uint32 nSDLFlags) {
    attempts.push_back(Attempt{nWidth, nHeight, nBpp, bFullScreen});
    std::string sSize = std::to_string(nWidth) + "x" + std::to_string(nHeight);
    for (const std::string& sFail : failing)
        if (sFail == sSize || sFail == sSize + "@" + std::to_string(nBpp)) return false;
    if (!bOpenSurface) return true;
    return SDL_SetVideoMode(nWidth, nHeight, nBpp, nSDLFlags | SDL_SWSURFACE) != nullptr;
}

SDL_Rect** FakeVideoDriver::queryFullScreenModes() {
    if (bAnyMode) return reinterpret_cast<SDL_Rect**>(-1);
    if (modes.empty()) return nullptr;
    m_apModes.clear();
    for (SDL_Rect& mode : modes) m_apModes.push_back(&mode);
    m_apModes.push_back(nullptr);
    return m_apModes.data();
}

// --- sound fixtures -----------------------------------------------------------------

namespace {

void putLE(std::string& s, unsigned int nValue, int nBytes) {
    for (int i = 0; i < nBytes; ++i) s += static_cast<char>((nValue >> (8 * i)) & 0xFF);
}

} // namespace

std::string makeWav(int nSampleRate, int nChannels, float fSeconds) {
    int nFrames = static_cast<int>(nSampleRate * fSeconds);
    int nDataBytes = nFrames * nChannels * 2;
    std::string s = "RIFF";
    putLE(s, 36 + nDataBytes, 4);
    s += "WAVEfmt ";
    putLE(s, 16, 4);
    putLE(s, 1, 2); // PCM
    putLE(s, nChannels, 2);
    putLE(s, nSampleRate, 4);
    putLE(s, nSampleRate * nChannels * 2, 4);
    putLE(s, nChannels * 2, 2);
    putLE(s, 16, 2);
    s += "data";
    putLE(s, nDataBytes, 4);
    for (int i = 0; i < nFrames; ++i) {
        short nValue = static_cast<short>(8000.0 * std::sin(i * 2.0 * 3.14159265 * 440.0 / nSampleRate));
        for (int c = 0; c < nChannels; ++c) putLE(s, static_cast<unsigned short>(nValue), 2);
    }
    return s;
}

std::string makeOggVorbis(int nSampleRate, float fSeconds) {
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, 1, nSampleRate, 0.3f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1234);

    std::string sOut;
    ogg_page page;
    auto writePage = [&sOut](const ogg_page& p) {
        sOut.append(reinterpret_cast<const char*>(p.header), p.header_len);
        sOut.append(reinterpret_cast<const char*>(p.body), p.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    while (ogg_stream_flush(&stream, &page)) writePage(page);

    int nFrames = static_cast<int>(nSampleRate * fSeconds);
    const int CHUNK = 1024;
    auto drain = [&]() {
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) writePage(page);
            }
        }
    };
    for (int nDone = 0; nDone < nFrames; nDone += CHUNK) {
        int nCount = nDone + CHUNK > nFrames ? nFrames - nDone : CHUNK;
        float** ppBuffer = vorbis_analysis_buffer(&dsp, nCount);
        for (int i = 0; i < nCount; ++i)
            ppBuffer[0][i] = 0.25f * std::sin((nDone + i) * 2.0f * 3.1415927f * 330.0f / nSampleRate);
        vorbis_analysis_wrote(&dsp, nCount);
        drain();
    }
    // End of stream.
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&stream, &page)) writePage(page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return sOut;
}

std::string makeTempFolder(const char* pszName) {
    std::string sFolder = testPath(pszName);
    std::string sCommand = "rm -rf '" + sFolder + "' && mkdir -p '" + sFolder + "'";
    if (system(sCommand.c_str()) != 0) return std::string();
    return sFolder;
}

bool hasTestXServer() { return std::getenv("TSL_TEST_XVFB") != nullptr; }

std::string needsXServer(const char* pszXvfbTest) {
    return std::string("needs an X server; it runs under Xvfb in the test ") + pszXvfbTest;
}
