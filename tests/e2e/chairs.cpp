// chairs <content folder>
//
// Guests on the chairs of the first bar, for the end-to-end test. For each
// number of chairs bought (none, then one more in the store's order up to
// all four), the player's record gets those chairs and the first bar's last
// day is played: the player watches guests come until one sits at every
// table, then serves. Once every seated guest shows a balloon or has its
// glass before it, and one glass stands on a table, the screen is saved as
// "scene0-chairs-<chairs>.bmp" in the working folder, and it is checked from
// what is drawn that the figures at the tables' depth sit on chairs and
// cover no part of the counter. The day is played out, and the next number
// of chairs tried.
// Relax and Free play give every chair whatever the record holds, so only
// the story's days show fewer chairs.
// Exits 0 when every stop was reached and every check held.
#include "bartender.h"
#include "eyes.h"
#include "harness.h"
#include "screens.h"
#include "seating.h"
#include "steps.h"

#include "base/names.h"
#include "player/playermanager.h"
#include "screens/names.h"
#include "rules/upgrademanager.h"

#include "app/gameapp.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace e2e;

namespace {

enum { CHAIRS = 4, BAR_GUESTS = 2, SEATING_FRAMES = 3000, LEVEL_FRAMES = 6000 };
// The first bar's last and busiest day: guests enough to fill the chairs.
enum { BUSY_DAY = 9 };
// A new story furnishes its first bar with a juicer.
enum { STORY_STATION_LEVEL = 1 };
const char* const PLAYER_NAME = "Tester";
const char* const COUNTER = "sc0_counter";

// The record of a story on the first bar's last day with the first nChairs
// chairs bought. Each time the menu comes back on top (the story's dialog
// closing, too) it keeps the last game's session, copying the session's
// upgrades over the saved ones: both get the chairs.
void giveChairs(int nChairs) {
    QarnPlayer* pPlayer = static_cast<QarnPlayer*>(getPlayerManager()->getCurrentProfile());
    pPlayer->m_bStoryStarted = true;
    pPlayer->m_nStage = 0;
    pPlayer->m_nStoryLevel = BUSY_DAY;
    pPlayer->m_nLevelsWon = BUSY_DAY;
    for (UpgradeLevels* pLevels : {&pPlayer->m_anUpgrades, &pPlayer->m_anSavedUpgrades}) {
        UpgradeLevels& anLevels = *pLevels;
        anLevels.fill(0);
        anLevels[UpgradeManager::KIND_STATION_0] = STORY_STATION_LEVEL;
        for (int i = 0; i < nChairs; ++i) anLevels[UpgradeManager::KIND_CHAIR_0 + i] = 1;
    }
    getPlayerManager()->saveProfiles();
}

// The field shows the chairs bought and no tip. A guest sits at every table,
// each shows what it waits for or drinks; with no chair, a few guests wait at the bar.
bool settled(const Sight& sight, int nChairs) {
    if (!sight.find(COUNTER) || tipOpen(sight)) return false;
    Seating seating(sight);
    if (seating.countChairs() != nChairs) return false;
    if (nChairs == 0) return seating.countGuestsAtBar() >= BAR_GUESTS;
    return seating.isEveryTableTaken() && seating.isServing();
}

// Until every table has its guest the player only watches them come; then
// she serves.
bool watchTables(const Sight& sight, Hands& hands, Bartender& bartender) {
    if (!Seating(sight).isEveryTableTaken()) return closeTip(sight, hands);
    bartender.play(sight, hands);
    return true;
}

bool checkSeats(const Sight& sight) {
    std::string sMisplaced = Seating(sight).findMisplaced();
    return sMisplaced.empty() || refuse(sMisplaced);
}

bool mapShown(const Sight& sight) { return shows(sight, Names::STR_STO_PLAY_NEXT) && !tipOpen(sight); }

std::vector<Step> chairSteps(int nChairs, const std::shared_ptr<Bartender>& pBartender) {
    std::string sName = std::to_string(nChairs) + " chairs";
    auto pMap = std::make_shared<Steady>();
    return {
        {sName + ": story", menuShown,
         [nChairs](const Sight& s, Hands& h) {
             giveChairs(nChairs);
             return clickText(s, h, Names::STR_MNM_ADVENTURE);
         },
         [](const Sight& s) { return !menuShown(s); }},
        {sName + ": continue", [](const Sight& s) { return shows(s, ScreenNames::STR_START_AGAIN_CONTINUE); },
         [](const Sight& s, Hands& h) { return clickText(s, h, ScreenNames::STR_START_AGAIN_CONTINUE); },
         [](const Sight& s) { return !shows(s, ScreenNames::STR_START_AGAIN_CONTINUE); }},
        {sName + ": go", [pMap](const Sight& s) { return mapWaiting(s, *pMap); },
         [](const Sight& s, Hands& h) { return clickText(s, h, Names::STR_STO_PLAY_NEXT); },
         [](const Sight& s) { return !shows(s, Names::STR_STO_PLAY_NEXT); }, passPagesAndTips},
        {sName + ": week goal", weekGoalShown,
         [pBartender](const Sight& s, Hands& h) {
             pBartender->startDay();
             return clickText(s, h, Names::STR_WKG_GO);
         },
         [](const Sight& s) { return !weekGoalShown(s); }},
        {sName + ": seated", [nChairs](const Sight& s) { return settled(s, nChairs); },
         [](const Sight& s, Hands&) { return checkSeats(s); }, nullptr,
         [pBartender](const Sight& s, Hands& h) { return watchTables(s, h, *pBartender); }, SEATING_FRAMES,
         "scene0-chairs-" + std::to_string(nChairs)},
        {sName + ": day out", resultsShown, nullptr, nullptr,
         [pBartender](const Sight& s, Hands& h) {
             pBartender->play(s, h);
             return true;
         },
         LEVEL_FRAMES},
        {sName + ": results", [](const Sight& s) { return resultsShown(s) && shows(s, Names::TXT_OK); },
         [](const Sight& s, Hands& h) { return clickText(s, h, Names::TXT_OK); },
         [](const Sight& s) { return !resultsShown(s); }},
        {sName + ": leave", mapShown, [](const Sight& s, Hands& h) { return clickText(s, h, Names::STR_GOD_EXIT); },
         menuShown, passPagesAndTips},
    };
}

std::vector<Step> script(const std::shared_ptr<Bartender>& pBartender) {
    std::vector<Step> lSteps = {
        {"name", [](const Sight& s) { return shows(s, ScreenNames::STR_PROFILE_CREATE_TITLE); },
         [](const Sight&, Hands& h) {
             h.type(PLAYER_NAME);
             h.key(SDLK_RETURN, '\r');
             return true;
         },
         [](const Sight& s) { return !shows(s, ScreenNames::STR_PROFILE_CREATE_TITLE); }},
    };
    for (int nChairs = 0; nChairs <= CHAIRS; ++nChairs) {
        std::vector<Step> lMore = chairSteps(nChairs, pBartender);
        lSteps.insert(lSteps.end(), lMore.begin(), lMore.end());
    }
    lSteps.push_back({"quit", menuShown,
                      [](const Sight& s, Hands& h) { return clickPicture(s, h, "ui_btn_quit_normal"); },
                      [](const Sight& s) { return shows(s, ScreenNames::STR_EXIT_QUESTION); }});
    lSteps.push_back({"yes", [](const Sight& s) { return shows(s, ScreenNames::STR_EXIT_QUESTION); },
                      [](const Sight& s, Hands& h) { return clickText(s, h, ScreenNames::STR_YES); }});
    return lSteps;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: chairs <content folder>\n");
        return 2;
    }
    auto pBartender = std::make_shared<Bartender>();
    StepRunner runner(script(pBartender));
    int nExit = runScripted("Chairs", argv[1], [&runner] {
        fixChance();
        runner.onFrame();
    });
    if (nExit != 0) return nExit;
    return runner.isDone() ? 0 : 1;
}
