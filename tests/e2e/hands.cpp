#include "hands.h"

#include "harness.h"

#include "app/gameapp.h"

namespace e2e {

void Hands::click(int nX, int nY, int nButton) {
    m_lSteps.push_back([this, nX, nY] { moveTo(nX, nY); });
    m_lSteps.push_back([this, nX, nY, nButton] { button(SDL_MOUSEBUTTONDOWN, nButton, nX, nY); });
    m_lSteps.push_back([this, nX, nY, nButton] { button(SDL_MOUSEBUTTONUP, nButton, nX, nY); });
}

void Hands::key(SDLKey nKey, char cTyped) {
    m_lSteps.push_back([this, nKey, cTyped] { keyEvent(SDL_KEYDOWN, nKey, cTyped); });
    m_lSteps.push_back([this, nKey, cTyped] { keyEvent(SDL_KEYUP, nKey, cTyped); });
}

void Hands::type(const std::string& sText) {
    for (char c : sText) key(SDLKey(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c), c);
}

void Hands::wait(int nFrames) {
    for (int i = 0; i < nFrames; ++i) m_lSteps.push_back([] {});
}

void Hands::onFrame() {
    if (m_lSteps.empty()) return;
    std::function<void()> fnStep = m_lSteps.front();
    m_lSteps.pop_front();
    fnStep();
}

// The window is as large as the game's screen, so a point of the screen is
// the same point of the window; the X server answers the warp with a motion
// event that the next frame's event pump reads.
void Hands::moveTo(int nX, int nY) { SDL_WarpMouse(Uint16(nX), Uint16(nY)); }

void Hands::button(Uint8 nType, int nButton, int nX, int nY) {
    int nSeenX = 0, nSeenY = 0;
    app()->getMousePosition(&nSeenX, &nSeenY);
    if ((nSeenX != nX || nSeenY != nY) && m_sMiss.empty())
        m_sMiss = "the pointer went to (" + std::to_string(nX) + ", " + std::to_string(nY) + ") but the game saw (" +
                  std::to_string(nSeenX) + ", " + std::to_string(nSeenY) + ")";
    SDL_Event event = {};
    event.type = nType;
    event.button.type = nType;
    event.button.which = 0;
    event.button.button = Uint8(nButton);
    event.button.state = nType == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = Uint16(nX);
    event.button.y = Uint16(nY);
    SDL_PushEvent(&event);
}

void Hands::keyEvent(Uint8 nType, SDLKey nKey, char cTyped) {
    SDL_Event event = {};
    event.type = nType;
    event.key.type = nType;
    event.key.state = nType == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = nKey;
    event.key.keysym.mod = KMOD_NONE;
    event.key.keysym.unicode = Uint16(static_cast<unsigned char>(cTyped));
    SDL_PushEvent(&event);
}

}  // namespace e2e
