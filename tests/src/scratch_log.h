// The game log written into the running test's own folder.
#pragma once

#include "test_folder.h"

#include "app/gameapp.h"

#include <fstream>
#include <sstream>
#include <string>

struct ScratchLog {
    std::string sPath = testPath("game.log");
    ScratchLog() { GameApp::openLog(sPath.c_str()); }
    ~ScratchLog() { GameApp::closeLog(); }
    std::string text() const {
        std::ifstream in(sPath);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};
