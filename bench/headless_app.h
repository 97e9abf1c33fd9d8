#pragma once
// The application the drawing benchmarks run in: our Direct3D 7 driver on the
// software device, no real window or sound card, no frame-rate limit.
#include "app/gameapp.h"
#include "platform/sdl_platform.h"
#include "video/sdl_d3d7video.h"

#include <cstdlib>

inline GameApp* startHeadlessApp(int nWidth, int nHeight, int nVideoFlags) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    GameApp* pApp = new GameApp();
    SDLPlatform* pPlatform = new SDLPlatform();
    pPlatform->setVideoDriver(new D3D7VideoDriver());
    pApp->setPlatform(pPlatform);
    if (!pApp->init(nWidth, nHeight, nVideoFlags)) std::abort();
    pApp->setFrameRate(0);
    return pApp;
}
