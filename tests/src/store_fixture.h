// The store's content made in code: item pictures and stamps, the salesman
// and the live parrot, the purchase dialog's pictures and the texts.
#pragma once

#include "game_support.h"

#include "player/playermanager.h"
#include "player/qarnplayer.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

struct StoreFixture : GameTest {
    QarnPlayer player;
    std::string sLogFolder;

    void SetUp() override {
        GameTest::SetUp();
        for (const char* pszItem : {"store_bandeja1", "store_bandeja2", "store_sillas", "store_jugomatic",
                                    "store_decos", "store_centros1", "store_centros2", "store_badboy1",
                                    "store_badboy2", "store_parrot_stand", "store_cartel1", "store_cartel2",
                                    "store_cartel3", "store_cartel4"})
            for (const char* pszSuffix : {"_normal", "_highlight"})
                app.addImage((std::string(pszItem) + pszSuffix).c_str(), picture(60, 60));
        addPictures({"store_soldout_low", "store_soldout_high", "store_soldout_1", "store_soldout_2",
                     "store_na_barman1", "store_na_barman2", "store_na_low", "upgrade_store", "store_mask",
                     "store_globito_normal", "mask_buyupgrade", "check_empty", "check_full_noblit", "ui_fondo_azul",
                     "posavaso_1", "buyupgrade_bandeja1_normal", "buyupgrade_bandeja2_normal", "frame", "pic"},
                    40, 40);
        std::string sSalesman = "load frame\n";
        for (const char* pszSeq : {"blink", "normal", "talk", "sad", "smile"})
            sSalesman += std::string("seq ") + pszSeq + " fps 4 loop\nadd frame\nadd frame\n";
        addFile("salesman.anim", sSalesman);
        std::string sParrot = "load frame\n";
        for (const char* pszSeq : {"default", "normal", "highlight"})
            sParrot += std::string("seq ") + pszSeq + " fps 4 loop\nadd frame\nadd frame\nadd frame\n";
        addFile("store_parrot.anim", sParrot);
        addFile("parrot.anim", "load frame\nseq stand_still\nadd frame\nseq stand_move\nadd frame\n");
        addFile("anim.anim", "load frame\nseq default\nadd frame\nseq other\nadd frame\n");
        addStrings("UPG_Default idle\nUPG_Good good\nUPG_Bad bad\nUPG_Text_3 parrot\nUPG_Leave bye\n"
                   "UPG_TEXT_0 trays\nUPG_TEXT_1 chairs\nUPG_Price costs %d\nUPG_Cant cant\nUPG_Upgraded done\n"
                   "UPG_Radio_Chair1 chair1\n");
    }
    void TearDown() override {
        // A purchase saves the profiles, which loads the manager.
        destroyPlayerManager();
        GameApp::closeLog();
        if (!sLogFolder.empty()) std::filesystem::remove_all(sLogFolder);
    }

    void setLevels(std::initializer_list<std::pair<int, int>> lLevels) {
        for (const auto& level : lLevels) player.m_anUpgrades[level.first] = level.second;
    }
    void openLog() {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("store_log_" + std::to_string(getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        sLogFolder = path.string();
        GameApp::openLog((sLogFolder + "/game.log").c_str());
    }
    std::string logText() {
        std::stringstream text;
        text << std::ifstream(sLogFolder + "/game.log").rdbuf();
        return text.str();
    }
    // A scene the preview reads, under "scene0.scene".
    void scene(const std::string& sText) { addFile("scene0.scene", sText); }
};
