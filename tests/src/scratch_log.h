// The game log written into a scratch folder of its own, removed at the end.
#pragma once

#include "app/gameapp.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

struct ScratchLog {
    std::filesystem::path folder;
    ScratchLog() {
        char szFolder[] = "/tmp/gamelog-XXXXXX";
        folder = mkdtemp(szFolder);
        GameApp::openLog((folder / "game.log").c_str());
    }
    ~ScratchLog() {
        GameApp::closeLog();
        std::filesystem::remove_all(folder);
    }
    std::string text() const {
        std::ifstream in(folder / "game.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};
