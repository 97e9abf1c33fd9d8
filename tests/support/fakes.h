// Small fake drivers so a real GameApp can run frames in tests: a scripted
// clock, a recording video driver, a platform that delivers queued input and
// makes real SDL images (headless: nothing here opens a window).
#pragma once

#include "audio/audiodriver.h"
#include "image/color.h"
#include "audio/dummyaudio.h"
#include "app/gameapp.h"
#include "app/gamemode.h"
#include "image/image.h"
#include "platform/platform.h"
#include "image/sdl_image.h"
#include "video/videodriver.h"

#include <functional>
#include <string>
#include <vector>

// Everything that happened, in order, as short words.
struct EventLog {
    std::vector<std::string> entries;
    void add(const std::string& s) { entries.push_back(s); }
    std::string joined() const {
        std::string s;
        for (const std::string& e : entries) s += (s.empty() ? "" : " ") + e;
        return s;
    }
    void clear() { entries.clear(); }
};

class FakeVideoDriver : public IVideoDriver {
public:
    explicit FakeVideoDriver(EventLog* pLog) : m_pLog(pLog) {}
    bool init(Tsl::SmartPtr<Image> pIcon) override {
        m_pIcon = pIcon;
        return true;
    }
    void shutdown() override {}
    const char* getName() const override { return "fake"; }
    bool isHardwareAccelerated() const override { return false; }
    bool setVideoMode(int w, int h, int nFlags) override {
        if (m_fnSetVideoMode && !m_fnSetVideoMode(nFlags)) return false;
        m_nWidth = w;
        m_nHeight = h;
        m_nFlags = nFlags;
        return true;
    }
    bool isFullScreen() const override { return (m_nFlags & 1) != 0; }
    // A display that refuses the new mode keeps the one it has.
    void setFullScreen(bool b) override {
        int nFlags = b ? (m_nFlags | 1) : (m_nFlags & ~1);
        if (m_fnSetVideoMode && !m_fnSetVideoMode(nFlags)) return;
        m_nFlags = nFlags;
    }
    int getScreenBpp() const override { return 32; }
    void setColorDepth(int) override {}
    PixelFormat getPixelFormat() const override { return PixelFormat{24, 0, 0xFF0000, 0xFF00, 0xFF}; }
    PixelFormat getAlphaPixelFormat() const override { return PixelFormat{32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF}; }
    void setCaption(const char*) override {}
    bool toggleFullScreen() override {
        m_pLog->add("toggle");
        m_nFlags ^= 1;
        return true;
    }
    void iconify() override {}
    void renderFrame() override {
        m_pLog->add("render");
        if (m_fnOnRender) m_fnOnRender();
    }
    void flip() override { m_pLog->add("flip"); }
    void clear(const Color&) override { m_pLog->add("clear"); }
    void clearBackBuffer(const Color&) override {}
    int getWidth() const override { return m_nWidth; }
    int getHeight() const override { return m_nHeight; }
    void getSize(int* w, int* h) const override {
        if (w) *w = m_nWidth;
        if (h) *h = m_nHeight;
    }
    void setCursorImage(Tsl::SmartPtr<Image>) override {}
    Tsl::SmartPtr<Sprite> getCursorSprite() const override { return nullptr; }
    void showCursor(bool bShow) override { m_bCursorShown = bShow; }
    bool isCursorShown() const override { return m_bCursorShown; }
    void setSoftwareCursor(bool b) override { m_bSoftwareCursor = b; }
    bool isSoftwareCursor() const override { return m_bSoftwareCursor; }
    void setProjectionOffset(int, int) override {}
    void preloadImage(Tsl::SmartPtr<Image> pImage) override { m_lPreloaded.append(pImage); }

    std::function<void()> m_fnOnRender;
    // The pictures handed over to be made ready before their first drawing.
    Tsl::List<Tsl::SmartPtr<Image>> m_lPreloaded;
    // Asked first on every mode change; false makes the change fail.
    std::function<bool(int nFlags)> m_fnSetVideoMode;
    Tsl::SmartPtr<Image> m_pIcon;
    bool m_bSoftwareCursor = false;
    bool m_bCursorShown = true;

private:
    EventLog* m_pLog;
    int m_nWidth = 0, m_nHeight = 0, m_nFlags = 0;
};

class FakePlatform : public IPlatform {
public:
    explicit FakePlatform(EventLog* pLog);
    ~FakePlatform() override;
    void init() override { m_pLog->add("platform-init"); }
    void shutdown() override {}
    const char* getName() override { return "fake"; }
    void processEvents() override {
        m_pLog->add("events");
        std::vector<std::function<void()>> pending;
        pending.swap(m_aPending);
        for (auto& fn : pending) fn();
    }
    unsigned int getTicks() override { return m_nTicks += m_nTicksPerRead; }
    void delay(unsigned int ms) override {
        m_pLog->add("delay" + std::to_string(ms));
        m_nTicks += ms;
    }
    bool isMouseButtonDown(int) override { return false; }
    bool isKeyDown(int) override { return false; }
    int getKeyModifiers() override { return 0; }
    unsigned int getDoubleClickTime() override { return 500; }
    void getMousePosition(int* x, int* y) override {
        if (x) *x = 0;
        if (y) *y = 0;
    }
    void setMousePosition(int, int) override {}
    int getJoystickCount() override { return 0; }
    const char* getJoystickName(int) override { return ""; }
    int getJoystickAxisCount(int) override { return 0; }
    int getJoystickButtonCount(int) override { return 0; }
    float getJoystickAxis(int, int) override { return 0.0f; }
    bool isJoystickButtonDown(int, int) override { return false; }
    void openURL(const char*) override {}
    MutexImpl* createMutex() override { return nullptr; }
    IVideoSpriteImpl* createVideoSpriteImpl() override { return nullptr; }
    IVideoDriver* getVideoDriver() override { return m_pVideo; }
    IAudioDriver* getAudioDriver() override { return nullptr; }
    ImageFactory* getImageFactory() override { return &m_imageFactory; }

    // Input delivered by the next processEvents.
    void queue(std::function<void()> fn) { m_aPending.push_back(std::move(fn)); }

    unsigned int m_nTicks = 1000;
    // Added each time the clock is read, as if the work between two readings
    // took that long.
    unsigned int m_nTicksPerRead = 0;
    FakeVideoDriver* video() { return m_pVideo; }
    // For tests of what happens before any video driver exists.
    void removeVideoDriver() {
        delete m_pVideo;
        m_pVideo = nullptr;
    }

private:
    EventLog* m_pLog;
    FakeVideoDriver* m_pVideo;
    SDLImageFactory m_imageFactory;
    std::vector<std::function<void()>> m_aPending;
};

// A mode that writes what happens to it into the log under its name.
class RecordingMode : public GameMode {
public:
    RecordingMode(const char* pszName, unsigned int nFlags, EventLog* pLog)
        : GameMode(nFlags), m_sName(pszName), m_pLog(pLog) {}
    void init() override { m_pLog->add(m_sName + ".init"); }
    void cleanup() override {
        m_pLog->add(m_sName + ".cleanup");
        GameMode::cleanup();
    }
    void onActivate() override { m_pLog->add(m_sName + ".activate"); }
    void onDeactivate() override { m_pLog->add(m_sName + ".deactivate"); }
    void onUpdate(float fDt) override {
        m_aDts.push_back(fDt);
        m_pLog->add(m_sName + ".update");
        GameMode::onUpdate(fDt);
        if (m_fnOnUpdate) m_fnOnUpdate();
    }
    bool onKeyDown(int nKey, int) override {
        m_pLog->add(m_sName + ".key" + std::to_string(nKey));
        return m_bHandle;
    }
    bool onKeyUp(int nKey, int) override {
        m_pLog->add(m_sName + ".keyup" + std::to_string(nKey));
        return m_bHandle;
    }
    bool onMouseDown(int nButton, int, int) override {
        m_pLog->add(m_sName + ".down" + std::to_string(nButton));
        return m_bHandle;
    }
    bool onMouseUp(int nButton, int, int) override {
        m_pLog->add(m_sName + ".up" + std::to_string(nButton));
        return m_bHandle;
    }

    std::string m_sName;
    EventLog* m_pLog;
    bool m_bHandle = false;
    std::vector<float> m_aDts;
    std::function<void()> m_fnOnUpdate;
};

// Comes first among TestApp's bases, so the log outlives the application,
// whose destruction still cleans up modes that write to it.
struct EventLogHolder {
    EventLog m_log;
};

// A GameApp over the fake platform and its scripted clock.
class TestApp : public EventLogHolder, public GameApp {
public:
    TestApp() : m_pFakePlatform(new FakePlatform(&m_log)) { setPlatform(m_pFakePlatform); }
    bool onInit() override { return init(800, 600, 0); }
    void onExit() override { m_log.add("exit"); }

    FakePlatform* m_pFakePlatform;
};
