// Shared pieces of the platform tests: an application that records its
// input calls, a video driver that fakes the graphics API, and sound
// fixtures made with real encoders.
#pragma once

#include "audio/dummyaudio.h"
#include "app/gameapp.h"
#include "image/image.h"
#include "video/sdl_video_base.h"

#include "tsl2/resource.h"

#include <string>
#include <vector>

// Records every input and activation call in order, as text.
class RecordingApp : public GameApp {
public:
    RecordingApp();
    bool onKeyDown(int nKey, int nModifiers) override;
    bool onKeyUp(int nKey, int nModifiers) override;
    bool onChar(int nCharacter) override;
    void onMouseMove(int nX, int nY, bool bInside) override;
    bool onMouseDown(int nButton, int nX, int nY) override;
    bool onMouseUp(int nButton, int nX, int nY) override;
    void onQuit() override;
    void onActivate() override;
    void onDeactivate() override;
    void onMouseEnter() override;
    void onMouseLeave() override;

    std::vector<std::string> calls;
    // Keys onKeyDown reports as handled.
    std::vector<int> handledKeys;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pResources;
};

// Counts pauseAll calls.
class RecordingAudio : public DummyAudioDriver {
public:
    void pauseAll(bool bPause) override { calls.push_back(bPause ? "pause" : "resume"); }
    std::vector<std::string> calls;
};

// A driver whose "graphics API" is SDL's own surface (the dummy or a real X11
// window), with hooks to fail chosen sizes and to fake the desktop and the
// full-screen mode list.
class FakeVideoDriver : public SDLVideoDriverBase {
public:
    struct Attempt {
        int nWidth, nHeight, nBpp;
        bool bFullScreen;
    };

    bool init(Tsl::SmartPtr<Image> pIcon) override;
    void shutdown() override;
    const char* getName() const override { return "Fake Video Driver"; }
    bool isHardwareAccelerated() const override { return false; }
    int getScreenBpp() const override { return nScreenBpp; }
    void renderFrame() override {}
    void flip() override {}
    void clear(const Color&) override {}
    void clearBackBuffer(const Color&) override {}
    Tsl::SmartPtr<Sprite> getCursorSprite() const override;
    void setProjectionOffset(int, int) override {}
    void preloadImage(Tsl::SmartPtr<Image>) override {}
    void createDirectDraw() override {}
    bool createWindow(int nWidth, int nHeight, int nBpp, bool bFullScreen, int nFlags, Uint32 nSDLFlags) override;
    Point getDesktopSize() override { return ptDesktop; }

    Point ptDesktop{1920.0f, 1080.0f};
    int nScreenBpp = 32;
    // Sizes that fail to open ("WxH" or "WxH@bpp").
    std::vector<std::string> failing;
    std::vector<Attempt> attempts;
    std::vector<SDL_Rect> modes;
    bool bAnyMode = false;
    bool bOpenSurface = true;
    // The name SDL's video reports; SDL's own when empty.
    std::string sDriverName;

protected:
    SDL_Rect** queryFullScreenModes() override;
    Tsl::String queryVideoDriverName() override {
        return sDriverName.empty() ? SDLVideoDriverBase::queryVideoDriverName() : Tsl::String(sDriverName.c_str());
    }

private:
    std::vector<SDL_Rect*> m_apModes;
};

// Sound fixtures.
std::string makeWav(int nSampleRate, int nChannels, float fSeconds);
std::string makeOggVorbis(int nSampleRate, float fSeconds);

// An empty folder of the given name inside the running test's own folder.
std::string makeTempFolder(const char* pszName);

// Tests that need an X server run once more under a private Xvfb
// (tsl_add_xvfb_test, which sets TSL_TEST_XVFB and the display); anywhere
// else they skip themselves with this reason, which names that test.
bool hasTestXServer();
std::string needsXServer(const char* pszXvfbTest);
