// The platform over SDL 1.2: turns SDL's events into the application's input
// and activation calls, keeps the clock, mouse, keyboard and joystick state,
// and owns the video driver, the audio driver and the image factory.
#pragma once

#include "platform/platform.h"

#include "tsl2/hash.h"

#include <SDL.h>

class GameApp;

class SDLPlatform : public IPlatform {
public:
    SDLPlatform();
    ~SDLPlatform() override;

    void init() override;
    void shutdown() override;
    const char* getName() override { return "SDL Platform v1.0"; }
    void processEvents() override;

    unsigned int getTicks() override;
    void delay(unsigned int nMilliseconds) override;

    bool isMouseButtonDown(int nButton) override;
    bool isKeyDown(int nKey) override;
    int getKeyModifiers() override;
    unsigned int getDoubleClickTime() override;
    void getMousePosition(int* pX, int* pY) override;
    void setMousePosition(int nX, int nY) override;

    int getJoystickCount() override;
    const char* getJoystickName(int nIndex) override;
    int getJoystickAxisCount(int nJoystick) override;
    int getJoystickButtonCount(int nJoystick) override;
    float getJoystickAxis(int nAxis, int nJoystick) override;
    bool isJoystickButtonDown(int nButton, int nJoystick) override;

    void openURL(const char* pszURL) override;
    MutexImpl* createMutex() override;
    IVideoSpriteImpl* createVideoSpriteImpl() override;

    IVideoDriver* getVideoDriver() override { return m_pVideoDriver; }
    IAudioDriver* getAudioDriver() override { return m_pAudioDriver; }
    ImageFactory* getImageFactory() override { return m_pImageFactory; }

    void setVideoDriver(IVideoDriver* pDriver);
    void setAudioDriver(IAudioDriver* pDriver);

    void setFlags(int nBits) { m_nFlags |= nBits; }
    void clearFlags(int nBits) { m_nFlags &= ~nBits; }
    int getFlags() const { return m_nFlags; }

    // Called by the video driver after every successful change of mode.
    void updateMouseMapping();
    GameApp* getApp() const { return m_pApp; }

    // Button mask for an SDL button number; buttons outside 1..5 give 0.
    static int getButtonMask(int nButton);

protected:
    // The few SDL queries the event pump depends on, so tests can play an
    // activation change or a cursor position that the dummy video driver
    // cannot produce.
    virtual Uint8 queryAppState();
    virtual void queryMouseState(int* pX, int* pY);
    virtual void warpMouse(Uint16 nX, Uint16 nY);

    // True when the position needed no correction.
    bool pollMouse();
    // Window pixels per logical pixel; the scale factor alone before the
    // first mode set gives the display scale.
    float getScaleX();
    float getScaleY();
    void mapWindowToLogical(int nWindowX, int nWindowY, int* pX, int* pY);
    bool endOnTerminationSignal();
    // A window destroyed from outside ends the run as a confirmed close
    // does (platform/x11window.h).
    bool endOnLostWindow();
    void dispatchEvent(const SDL_Event& event, bool& bMotionSeen);
    void onActiveEvent(const SDL_ActiveEvent& event);
    void onKeyDownEvent(const SDL_KeyboardEvent& event);
    void onMouseButtonEvent(const SDL_MouseButtonEvent& event);
    SDL_Joystick* openJoystick(int nIndex);
    void closeJoysticks();

private:
    GameApp* m_pApp;
    IVideoDriver* m_pVideoDriver;
    IAudioDriver* m_pAudioDriver;
    ImageFactory* m_pImageFactory;
    // Where the logical screen's top-left corner lies in the window, and
    // window pixels per logical pixel; both zero until the first mode set.
    float m_fOffsetX, m_fOffsetY;
    float m_fDisplayScaleX, m_fDisplayScaleY;
    int m_nMouseX, m_nMouseY;
    bool m_bActive;
    int m_nFlags;
    // Until the first shut-down hands the TrueType factory back.
    bool m_bFontsRegistered;
    bool m_bWindowLost;
    Tsl::Hash<int, void*> m_hJoysticks;
};
