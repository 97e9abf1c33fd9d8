// The one object through which the game reaches the operating system: the
// event queue, the clock, keyboard, mouse and joystick state, URLs, and the
// factories for locks and movie back ends. It owns the video driver, the
// audio driver and the image factory.
#pragma once

class IVideoDriver;
class IAudioDriver;
class ImageFactory;
class MutexImpl;
class IVideoSpriteImpl;

class IPlatform {
public:
    IPlatform() : m_fScaleFactor(1.0f) {}
    virtual ~IPlatform() {}

    // Stored here and passed on to the video driver when one is installed, so
    // both always agree on the window-to-logical ratio.
    virtual void setScaleFactor(float fFactor);
    virtual float getScaleFactor();

    virtual void init() = 0;
    virtual void shutdown() = 0;
    virtual const char* getName() = 0;
    virtual void processEvents() = 0;

    virtual unsigned int getTicks() = 0;
    virtual void delay(unsigned int nMilliseconds) = 0;

    // Button 1 = left, 2 = middle, 3 = right.
    virtual bool isMouseButtonDown(int nButton) = 0;
    virtual bool isKeyDown(int nKey) = 0;
    virtual int getKeyModifiers() = 0;
    virtual unsigned int getDoubleClickTime() = 0;
    // Logical coordinates (window pixels undone by offset, display scale and factor).
    virtual void getMousePosition(int* pX, int* pY) = 0;
    virtual void setMousePosition(int nX, int nY) = 0;

    virtual int getJoystickCount() = 0;
    virtual const char* getJoystickName(int nIndex) = 0;
    virtual int getJoystickAxisCount(int nJoystick) = 0;
    virtual int getJoystickButtonCount(int nJoystick) = 0;
    // Axis or button first, joystick second.
    virtual float getJoystickAxis(int nAxis, int nJoystick) = 0;
    virtual bool isJoystickButtonDown(int nButton, int nJoystick) = 0;

    virtual void openURL(const char* pszURL) = 0;

    // New objects owned by the caller.
    virtual MutexImpl* createMutex() = 0;
    virtual IVideoSpriteImpl* createVideoSpriteImpl() = 0;

    virtual IVideoDriver* getVideoDriver() = 0;
    virtual IAudioDriver* getAudioDriver() = 0;
    virtual ImageFactory* getImageFactory() = 0;

protected:
    float m_fScaleFactor;
};
