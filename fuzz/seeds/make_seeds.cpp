// Writes the seeds of the fuzz targets over the stored formats: saves made by
// the game's own code, each into <folder>/<target>/.
//   make_fuzz_seeds <folder>
// Exit codes: 0 done, 1 failed (the reason on stderr), 2 bad usage.
#include "../settings_file_input.h"
#include "fakes.h"
#include "pages/highscoremode.h"
#include "base/names.h"
#include "player/playermanager.h"

#include "screens/names.h"
#include "ui/button.h"
#include "ui/uitable.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

namespace {

std::string g_sRoot;

std::string targetFolder(const char* pszTarget) {
    std::string sFolder = g_sRoot + "/" + pszTarget;
    mkdir(g_sRoot.c_str(), 0755);
    mkdir(sFolder.c_str(), 0755);
    return sFolder;
}

bool writeSeed(const char* pszTarget, const char* pszName, const Tsl::String& sBytes) {
    std::ofstream out(targetFolder(pszTarget) + "/" + pszName, std::ios::binary | std::ios::trunc);
    out.write(sBytes.c_str(), sBytes.getLength());
    return bool(out);
}

std::string readSeed(const char* pszTarget, const char* pszName) {
    std::ifstream in(targetFolder(pszTarget) + "/" + pszName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The later save, its last bytes cut, with the earlier one as the kept copy.
bool writeKeptSeed() {
    std::string sLater = readSeed("fuzz_settings_file", "two-players");
    std::string sEarlier = readSeed("fuzz_settings_file", "first-run");
    if (sLater.size() < 2 || sEarlier.empty()) return false;
    std::string sBytes = sLater.substr(0, sLater.size() - 2) + SettingsFileInput::KEPT_SEPARATOR + sEarlier;
    return writeSeed("fuzz_settings_file", "cut-with-kept-copy", Tsl::String(sBytes.data(), int(sBytes.size())));
}

// Two players part of the way through the story.
void addPlayers(ProfileManagerImpl<QarnPlayer>& manager) {
    QarnPlayer* pAnn = static_cast<QarnPlayer*>(manager.createProfile("Ann"));
    pAnn->m_bStoryStarted = true;
    pAnn->m_nStage = 2;
    pAnn->m_nStoryLevel = 23;
    pAnn->m_nLevelsWon = 21;
    pAnn->m_nTotalScore = 123456;
    pAnn->m_nSavedMoney = 340;
    for (int i = 0; i < UpgradeManager::KIND_COUNT; ++i) pAnn->m_anSavedUpgrades[i] = pAnn->m_anBestUpgrades[i] = i % 3;
    pAnn->m_abTipShown[3] = true;
    QarnPlayer* pBjorn = static_cast<QarnPlayer*>(manager.createProfile("Bj\xc3\xb6rn"));
    pBjorn->m_nDifficulty = 2;
    pBjorn->m_nMinutes = 5;
}

bool writeSeeds(GameApp& app) {
    app.setSettingsFile((targetFolder("fuzz_settings_file") + "/first-run").c_str());
    bool bOk = app.saveSettings();

    ProfileManagerImpl<QarnPlayer> manager;
    manager.saveProfiles();
    bOk = writeSeed("fuzz_profile_records", "no-players", app.getSetting(ScreenNames::SET_PROFILES)) && bOk;
    addPlayers(manager);
    manager.saveProfiles();
    bOk = writeSeed("fuzz_profile_records", "two-players", app.getSetting(ScreenNames::SET_PROFILES)) && bOk;

    HighScoreMode scores;
    scores.loadTables();
    bOk = writeSeed("fuzz_highscore_tables", "defaults", app.getSetting(Names::SET_HIGHSCORES)) && bOk;
    scores.submitScore(447000, "Ann", 0);
    bOk = writeSeed("fuzz_highscore_tables", "after-a-story", app.getSetting(Names::SET_HIGHSCORES)) && bOk;

    app.setSetting(ScreenNames::SET_FULLSCREEN, ScreenNames::VAL_FALSE);
    app.setSetting(ScreenNames::SET_SOUND_VOLUME, "200");
    app.setSetting(Names::SET_CURRENT_PLAYER, "Ann");
    app.setSetting(Names::SET_DONE_WELCOME, Names::VAL_YES);
    app.setSettingsFile((targetFolder("fuzz_settings_file") + "/two-players").c_str());
    bOk = app.saveSettings() && bOk;
    return writeKeptSeed() && bOk;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_fuzz_seeds <folder>\n", stderr);
        return 2;
    }
    g_sRoot = argv[1];
    try {
        TestApp app;
        if (writeSeeds(app)) return 0;
        std::fprintf(stderr, "make_fuzz_seeds: could not write the seeds into %s\n", g_sRoot.c_str());
    } catch (const Tsl::Exception& e) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", e.getMessage());
    }
    return 1;
}
