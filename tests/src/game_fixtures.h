// Shared pieces of the game's start-up tests: a scratch folder and a small
// set of test archives made in code; the application is the one of
// game_support.h.
#pragma once

#include "game_support.h"
#include "test_folder.h"

#include "tsl2/memstream.h"
#include "tsl2/resourcefile.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

// The running test's own folder (test_folder.h), removed when it ends.
struct TempFolder {
    std::string sPath = testFolder();
    std::string file(const std::string& sName) const { return testPath(sName); }
};

inline std::string readFile(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& sPath, const std::string& sBytes) {
    std::ofstream(sPath, std::ios::binary) << sBytes;
}

// A small picture as BMP bytes (the image loader goes by content).
inline std::string makeBmp(int nWidth, int nHeight) {
    SDL_Surface* pSurface = SDL_CreateRGBSurface(SDL_SWSURFACE, nWidth, nHeight, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(pSurface, nullptr, 0x336699);
    std::string sBytes(64 + nWidth * nHeight * 4 + 1024, '\0');
    SDL_RWops* pOut = SDL_RWFromMem(&sBytes[0], int(sBytes.size()));
    SDL_SaveBMP_RW(pSurface, pOut, 0);
    sBytes.resize(size_t(SDL_RWtell(pOut)));
    SDL_RWclose(pOut);
    SDL_FreeSurface(pSurface);
    return sBytes;
}

// Every archive the game opens, each holding what the map gives it.
struct TestContent {
    std::map<std::string, std::map<std::string, std::string>> archives;

    TestContent() {
        const char* const apszArchives[] = {"lang_en.dat", "common.dat", "chars0.dat", "chars1.dat",
                                            "scene0.dat",  "scene1.dat", "scene2.dat", "scene3.dat",
                                            "scene4.dat",  "dresses.dat", "map.dat",   "sfx.dat", "store.dat"};
        for (const char* pszArchive : apszArchives) archives[pszArchive];
        auto& lang = archives["lang_en.dat"];
        lang["nontranslated.txt"] = "APP_Caption Beach bar test\n";
        lang["messages.txt"] = "OK Fine\n";
        lang["private.txt"] = "# nothing private\n";
        auto& common = archives["common.dat"];
        common["sand.theme"] = "# the built-in styles do\n";
        common["app_icon.png"] = makeBmp(32, 32);
        common["splash_logo.png"] = makeBmp(200, 100);
        // The loading screen's lists (nothing to preload) and the pictures of the first screens.
        for (const char* pszList : {"preload-char0-anims.txt", "preload-common-anims.txt", "preload-sound.txt",
                                    "preload-music.txt", "preload-emitter.txt"})
            common[pszList] = "";
        for (const char* pszImage : {"sand_frame_back", "loading_back", "progress_clam", "progress_star", "px",
                                     "sand_frame_prop_1", "sand_frame_prop_2", "sand_frame_prop_3", "sand_frame_prop_4",
                                     "sand_frame_prop_5", "menu_isologo", "menu_sombralogo", "menu_vetas", "menu_select",
                                     "menu_welcome", "menu_notme", "menu_fondo_0", "menu_fondo_1", "menu_fondo_2",
                                     "menu_fondo_3", "menu_estatico_1", "menu_estatico_2", "menu_estatico_3",
                                     "menu_estatico_4", "menu_estatico_5", "menu_estatico_6", "menu_estatico_7"})
            common[std::string(pszImage) + ".png"] = makeBmp(8, 8);
        common["clock.anim"] = "load px\nseq default\nadd px\n";
    }
    void writeTo(const std::string& sFolder) const {
        for (const auto& archive : archives) {
            Tsl::ResourceFileCompiler compiler((sFolder + "/" + archive.first).c_str());
            for (const auto& entry : archive.second) {
                Tsl::MemStream source(entry.second.data(), int(entry.second.size()));
                compiler.addResource(&source, entry.first.c_str());
            }
            compiler.finish();
        }
    }
};
