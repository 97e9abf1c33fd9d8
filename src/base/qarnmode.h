#pragma once

#include "app/gamemode.h"

class GameApp;

// Base of the game's full screens: always updated and drawn; the modes below
// are drawn or updated only when the flags ask for it.
class QarnMode : public GameMode {
public:
    explicit QarnMode(unsigned int nFlags);
    // The application (the game's QarnApp while the game runs).
    static GameApp* getApp();
};
