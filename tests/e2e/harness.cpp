#include "harness.h"

#include "game/gamemain.h"
#include "field/playmode.h"
#include "game/qarnapp.h"
#include "field/customers/spawnmanager.h"

#include "audio/sdl_audio.h"
#include "effects/particlerandom.h"
#include "platform/sdl_platform.h"
#include "video/sdl_d3d7video.h"

#include "tsl2/random.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace e2e {

namespace {

// The real platform, with a clock that moves a fixed step each frame (and a
// millisecond each reading) and the script looked at once a frame.
class ScriptedPlatform : public SDLPlatform {
public:
    explicit ScriptedPlatform(std::function<void()>* pOnFrame) : m_pOnFrame(pOnFrame) {}
    // Each reading moves the clock a millisecond too, so that work sliced by
    // time (the loading screen's) still spans frames.
    unsigned int getTicks() override { return ++m_nTicks; }
    void delay(unsigned int) override {}
    void processEvents() override {
        SDLPlatform::processEvents();
        m_nTicks += FRAME_MS;
        (*m_pOnFrame)();
    }

private:
    std::function<void()>* m_pOnFrame;
    unsigned int m_nTicks = 0;
};

class ScriptedApp : public QarnApp {
public:
    explicit ScriptedApp(std::function<void()>* pOnFrame) : m_pOnFrame(pOnFrame) {}

    // The application seeds the game's draws from the clock as it starts:
    // the script's own seed goes in after that.
    bool onInit() override {
        if (!QarnApp::onInit()) return false;
        Tsl::seedGameRand(SEED);
        return true;
    }

protected:
    IPlatform* createPlatform() override {
        ScriptedPlatform* pPlatform = new ScriptedPlatform(m_pOnFrame);
        pPlatform->setVideoDriver(new D3D7VideoDriver());
        pPlatform->setAudioDriver(new SDLAudioDriver());
        return pPlatform;
    }

private:
    std::function<void()>* m_pOnFrame;
};

}  // namespace

GameApp* app() { return GameApp::getInstance(); }

int runScripted(const char* pszProgram, const char* pszContentFolder, std::function<void()> fnOnFrame) {
    char szFolder[4096];
    if (!getcwd(szFolder, sizeof(szFolder))) return 2;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    LaunchOptions options;
    options.sUserFolder = szFolder;
    options.sContentFolder = pszContentFolder;
    options.fnMakeApp = [&fnOnFrame]() -> QarnApp* { return new ScriptedApp(&fnOnFrame); };
    // A window class of its own: a game the developer runs meanwhile is no
    // second instance of this one.
    std::string sClass = std::string(pszProgram) + std::to_string(getpid());
    const char* apszArgs[] = {"--wndclass", sClass.c_str()};
    return runGame(2, apszArgs, options);
}

void fixChance() {
    static bool s_bEffectsFixed = false;
    if (!s_bEffectsFixed) getParticleRandom().setSeed(SEED);
    s_bEffectsFixed = true;
    for (int i = 0; i < app()->getModeCount(); ++i) {
        PlayMode* pLevel = dynamic_cast<PlayMode*>(app()->getModeAt(i).get());
        if (pLevel && pLevel->getPhase() == PlayMode::PHASE_LOADING)
            pLevel->getSpawnManager()->getRandom().setSeed(SEED);
    }
}

std::vector<Uint32> samplePixels(SDL_Surface* pScreen) {
    std::vector<Uint32> aPixels;
    SDL_LockSurface(pScreen);
    for (int y = 4; y < pScreen->h; y += 8) {
        for (int x = 4; x < pScreen->w; x += 8) {
            const Uint8* p =
                static_cast<const Uint8*>(pScreen->pixels) + y * pScreen->pitch + x * pScreen->format->BytesPerPixel;
            Uint32 n = 0;
            std::memcpy(&n, p, pScreen->format->BytesPerPixel > 4 ? 4 : pScreen->format->BytesPerPixel);
            aPixels.push_back(n);
        }
    }
    SDL_UnlockSurface(pScreen);
    return aPixels;
}

size_t countColours(const std::vector<Uint32>& aSamples, size_t nLimit) {
    std::vector<Uint32> aColours;
    for (Uint32 n : aSamples) {
        if (aColours.size() >= nLimit) break;
        if (std::find(aColours.begin(), aColours.end(), n) == aColours.end()) aColours.push_back(n);
    }
    return aColours.size();
}

size_t countChanged(const std::vector<Uint32>& aBefore, const std::vector<Uint32>& aAfter) {
    size_t nChanged = 0;
    for (size_t i = 0; i < aBefore.size() && i < aAfter.size(); ++i) nChanged += aBefore[i] != aAfter[i];
    return nChanged;
}

bool saveScreen(const std::string& sFile, std::vector<Uint32>* pSamples) {
    SDL_Surface* pScreen = SDL_GetVideoSurface();
    if (!pScreen || SDL_SaveBMP(pScreen, sFile.c_str()) != 0) return false;
    if (pSamples) *pSamples = samplePixels(pScreen);
    return true;
}

}  // namespace e2e
