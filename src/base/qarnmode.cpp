#include "base/qarnmode.h"

#include "app/gameapp.h"

QarnMode::QarnMode(unsigned int nFlags) : GameMode(nFlags | MF_ACTIVE | MF_VISIBLE) {}

GameApp* QarnMode::getApp() { return GameApp::getInstance(); }
