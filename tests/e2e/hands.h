// A person's hands on the mouse and the keyboard. Everything goes into SDL's
// event queue, one step a frame, so the platform's event pump reads it as it
// reads a person's input: the pointer moves to a point, and a frame later the
// button goes down and the next frame up again, with no motion between.
#pragma once

#include <SDL.h>

#include <deque>
#include <functional>
#include <string>

namespace e2e {

class Hands {
public:
    // A click of the left (or another) button at the point of the screen.
    void click(int nX, int nY, int nButton = SDL_BUTTON_LEFT);
    // A key pressed and let go; the character is what the key types, if anything.
    void key(SDLKey nKey, char cTyped = 0);
    void type(const std::string& sText);
    // Nothing to do for this many frames (a person looking).
    void wait(int nFrames);

    // Sends the next step in line; called once a frame.
    void onFrame();
    bool isIdle() const { return m_lSteps.empty(); }
    // The pointer did not arrive where it was sent (the game saw it elsewhere).
    bool hasMissed() const { return !m_sMiss.empty(); }
    const std::string& getMiss() const { return m_sMiss; }

private:
    void moveTo(int nX, int nY);
    void button(Uint8 nType, int nButton, int nX, int nY);
    void keyEvent(Uint8 nType, SDLKey nKey, char cTyped);

    std::deque<std::function<void()>> m_lSteps;
    std::string m_sMiss;
};

}  // namespace e2e
