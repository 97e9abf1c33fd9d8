// The whole stack at once: a GameApp over the SDL platform, the Direct3D 7
// driver on the software device and the SDL audio driver, run through its
// own loop until a mode asks to quit, then torn down.
#include "test_folder.h"
#include "render_support.h"

#include "audio/sdl_audio.h"
#include "platform/scopedenvironment.h"
#include "platform/sdl_platform.h"
#include "sprite/spritecontroller.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string readText(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Quits the application after a number of updates; its sprite spins.
class CountdownMode : public GameMode {
public:
    explicit CountdownMode(int nFrames) : GameMode(MF_ACTIVE | MF_VISIBLE | MF_CLEAR_SCREEN), m_nLeft(nFrames) {}
    void init() override {
        m_pSpinner = new Sprite(makeSolid(16, 8, Color(255, 0, 0, 255)), 40, 30, 0);
        addSprite(m_pSpinner);
    }
    void onUpdate(float fDt) override {
        GameMode::onUpdate(fDt);
        m_pSpinner->setRotation(m_pSpinner->getRotation() + 90.0f * fDt);
        if (--m_nLeft == 0) GameApp::getInstance()->quit(3);
    }
    int m_nLeft;
    Tsl::SmartPtr<Sprite> m_pSpinner;
};

class WholeApp : public GameApp {
public:
    bool onInit() override {
        SDLPlatform* pPlatform = new SDLPlatform();
        pPlatform->setVideoDriver(new D3D7VideoDriver());
        SDLAudioDriver* pAudio = new SDLAudioDriver();
        pAudio->setFrequency(44100);
        pAudio->setChunkSize(2048);
        pPlatform->setAudioDriver(pAudio);
        setPlatform(pPlatform);
        if (!init(160, 120, 0)) return false;
        setFrameRate(0);
        pushMode(new CountdownMode(5));
        return true;
    }
};

TEST(LifecycleTest, RunsItsLoopQuitsWithTheCodeAndShutsDownInOrderLeavingNothingBehind) {
    dx7::test::reset();
    std::string sLog = testPath("lifecycle.log");
    GameApp::openLog(sLog.c_str());
    {
        WholeApp app;
        EXPECT_EQ(3, app.run());
        EXPECT_EQ(10, app.getFrameCounter());
    }
    EXPECT_EQ(nullptr, GameApp::getInstance());
    EXPECT_EQ(0, dx7::test::liveTextureCount());
    EXPECT_EQ(0, dx7::test::liveObjectCount());
    std::string sText = readText(sLog);
    GameApp::closeLog();
    std::remove(sLog.c_str());
    size_t nShutdown = sText.find("G: Shutdown\n");
    size_t nModes = sText.find("G: ...modes\n");
    size_t nResources = sText.find("G: ...resources\n");
    size_t nPlatform = sText.find("G: ...platform\n");
    size_t nQuit = sText.find("G: Quit\n");
    ASSERT_NE(std::string::npos, nShutdown) << sText;
    EXPECT_LT(nShutdown, nModes);
    EXPECT_LT(nModes, nResources);
    EXPECT_LT(nResources, nPlatform);
    EXPECT_LT(nPlatform, nQuit);
    dx7::test::reset();
}

// A display named but not there, no driver asked for: the start takes X11 or
// nothing, never a text-mode driver that would run the game unseen, and ends
// as a failed start.
TEST(LifecycleTest, AStartWhoseDisplayCannotBeOpenedEndsAsAFailedStart) {
    ScopedEnvironment display("DISPLAY", ":9999");
    const char* pszDriver = std::getenv("SDL_VIDEODRIVER");
    std::string sDriver = pszDriver ? pszDriver : "";
    unsetenv("SDL_VIDEODRIVER");
    std::string sLog = testPath("nodisplay.log");
    GameApp::openLog(sLog.c_str());
    {
        WholeApp app;
        EXPECT_EQ(GameApp::EXIT_START_FAILED, app.run());
    }
    if (pszDriver) setenv("SDL_VIDEODRIVER", sDriver.c_str(), 1);
    std::string sText = readText(sLog);
    GameApp::closeLog();
    std::remove(sLog.c_str());
    EXPECT_NE(std::string::npos, sText.find("The game's screen could not be opened")) << sText;
    EXPECT_EQ(std::string::npos, sText.find("D: Drv ")) << sText;
    dx7::test::reset();
}

} // namespace
