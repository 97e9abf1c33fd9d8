// player <content folder>
//
// Plays the game the way a new player does, for the end-to-end test: it
// decides only from what is drawn (the pictures of the modes on the screen,
// their names and places, and the texts of labels) and acts only through
// SDL's event queue, clicking at the centres of the pictures with the mouse
// held still. With the harness's fixed seed and clock it wins the first
// three days of the story at each difficulty, buys an upgrade and finds it
// on the field, buys the drink decorations and serves decorated drinks,
// pauses a day and resumes it, plays a Relax and a Free play game picked on
// the map, and quits. It leaves the used glasses on the tables, and checks on
// the field that they stay on the table's top (four guests' at one chair at
// least once) and that no balloon covers a station. Screenshots of the order
// balloon, a won results dialog, the map after the third day, guests at the
// tables, the glasses gathered at a table and a decorated drink in her hands
// are saved in the working folder.
// Exits 0 when every stop was reached and every check held.
#include "bartender.h"
#include "eyes.h"
#include "hands.h"
#include "harness.h"
#include "screens.h"
#include "steps.h"

#include "base/names.h"
#include "screens/names.h"

#include "app/gameapp.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace e2e;

namespace {

enum { DAYS = 3, LEVEL_FRAMES = 6000, PAUSE_FRAMES = 40 };
// Looks after she took a glass that a guest waits for: she is on her way.
enum { ON_THE_WAY_LOOKS = 9 };
// Points of a two-pixel grid over the top of a decorated glass, where only
// its umbrella is, that she does not cover.
enum { UMBRELLA_POINTS = 24 };
const char* const PLAYER_NAME = "Tester";
// The button of a message box.
const char* const MESSAGE_OK = "OK";
const char* const DIFFICULTY_KEYS[] = {Names::STR_GOD_EASY, Names::STR_GOD_MEDIUM, Names::STR_GOD_HARD};
const char* const DIFFICULTY_NAMES[] = {"easy", "medium", "hard"};

int numberIn(const std::string& sText) {
    size_t i = sText.find_first_of("0123456789");
    return i == std::string::npos ? -1 : std::stoi(sText.substr(i));
}

// What the player remembers between stops.
struct Memory {
    // Every picture seen on the field during the day before the purchase.
    std::set<std::string> aBeforePurchase;
    bool bPurchased = false;
    // Pictures of the field that came with the purchase.
    std::set<std::string> aBought;
    std::string sPausedClock;
    int nPausedFrames = 0;
    Steady map;
    int nOrderLooks = 0;
    bool bWonShot = false;
    bool bOrderShot = false;
    bool bTablesShot = false;
    // A decorated drink seen in her hands and asked for in a balloon.
    bool bDecoratedHeld = false;
    bool bDecoratedOrdered = false;
    // Looks in a row with its umbrella in sight; -1 once it was saved.
    int nDecoratedLooks = 0;
    bool bTableGlassesShot = false;
};

std::set<std::string> fieldPictures(const Sight& sight, int nScreen) {
    std::set<std::string> aNames;
    for (const Seen& seen : sight.all())
        if (seen.nScreen == nScreen && !seen.sPicture.empty()) aNames.insert(seen.sPicture);
    return aNames;
}

// --- the way in ------------------------------------------------------------------------------

std::vector<Step> startSteps() {
    return {
        {"name", [](const Sight& s) { return shows(s, ScreenNames::STR_PROFILE_CREATE_TITLE); },
         [](const Sight&, Hands& hands) {
             hands.type(PLAYER_NAME);
             hands.key(SDLK_RETURN, '\r');
             return true;
         },
         [](const Sight& s) { return !shows(s, ScreenNames::STR_PROFILE_CREATE_TITLE); }},
    };
}

// --- the story ----------------------------------------------------------------------------------

int bloomedFlowers(const Sight& sight) {
    int nCount = 0;
    for (const Seen* pFlower : sight.findLike(namePrefix(Names::IMG_FLOWER_LARGE_FORMAT)))
        nCount += !pFlower->isNamed(Names::IMG_FLOWER_AHEAD_LARGE) && !pFlower->isNamed(Names::IMG_FLOWER_AHEAD_SMALL);
    return nCount;
}

// Each won day grows its flower; the one of the next day shows too.
bool checkFlowers(const Sight& sight, int nDaysWon) {
    int nBloomed = bloomedFlowers(sight);
    if (nBloomed == nDaysWon + 1) return true;
    return refuse("the map shows " + std::to_string(nBloomed) + " flowers after " + std::to_string(nDaysWon) +
                  " days won");
}

// The option ticked is the one beside the caption clicked.
bool checkChosen(const Sight& sight, const char* pszChoice) {
    const Seen* pCaption = findText(sight, pszChoice);
    for (const Seen* pTick : sight.findAll(Names::IMG_CHECK_FULL))
        if (pCaption && pTick->box.right <= pCaption->box.left && pTick->box.top <= pCaption->centreY() &&
            pTick->box.bottom > pCaption->centreY())
            return true;
    return refuse("no tick beside \"" + text(pszChoice) + "\"");
}

std::vector<Step> difficultySteps(int nDifficulty) {
    const char* pszChoice = DIFFICULTY_KEYS[nDifficulty];
    return {
        {"options", menuShown, [](const Sight& s, Hands& h) { return clickPicture(s, h, "ui_btn_options_normal"); },
         [](const Sight& s) { return shows(s, Names::STR_GOD_DIFFICULTY); }},
        {std::string("difficulty ") + DIFFICULTY_NAMES[nDifficulty],
         [](const Sight& s) { return shows(s, Names::STR_GOD_DIFFICULTY); },
         [pszChoice](const Sight& s, Hands& h) { return clickText(s, h, pszChoice); }},
        {"options closed", [](const Sight& s) { return shows(s, Names::STR_GOD_DIFFICULTY); },
         [pszChoice](const Sight& s, Hands& h) {
             return checkChosen(s, pszChoice) && clickText(s, h, ScreenNames::STR_OPTIONS_OK);
         },
         [](const Sight& s) { return !shows(s, Names::STR_GOD_DIFFICULTY); }},
    };
}

std::vector<Step> storyStartSteps(const std::shared_ptr<Memory>& pMemory) {
    return {
        {"story", menuShown, [](const Sight& s, Hands& h) { return clickText(s, h, Names::STR_MNM_ADVENTURE); },
         [](const Sight& s) { return !menuShown(s); }},
        // A story under way is started again.
        {"new story", [](const Sight& s) { return shows(s, ScreenNames::STR_START_AGAIN_NEW) || !menuShown(s); },
         [](const Sight& s, Hands& h) {
             return !shows(s, ScreenNames::STR_START_AGAIN_NEW) || clickText(s, h, ScreenNames::STR_START_AGAIN_NEW);
         },
         [](const Sight& s) { return !shows(s, ScreenNames::STR_START_AGAIN_NEW); }},
        {"map", [pMemory](const Sight& s) { return mapWaiting(s, pMemory->map); },
         [](const Sight& s, Hands&) { return checkFlowers(s, 0); }, nullptr, passPagesAndTips, 2 * Step::SCREEN_FRAMES},
    };
}

// A won day: the money reached the goal and the dialog says so with stars;
// its money and goal are those the field showed.
bool checkWon(const Sight& sight) {
    const Seen* pMoney = sight.textBeside(text(Names::STR_GSM_LEVEL_SCORE));
    const Seen* pGoal = sight.textBeside(text(Names::STR_GSM_LEVEL_GOAL));
    const Seen* pStars = sight.textBeside(text(Names::STR_GSM_LEVEL_STARS));
    if (!pMoney || !pGoal || !pStars) return refuse("the results dialog lacks money, goal or stars");
    int nMoney = numberIn(pMoney->sText), nGoal = numberIn(pGoal->sText), nStars = numberIn(pStars->sText);
    std::printf("player: the day made $%d of $%d with %d stars\n", nMoney, nGoal, nStars);
    int nFieldMoney = 0, nFieldGoal = 0;
    if (!Bartender::readMoney(sight, nFieldMoney, nFieldGoal))
        return refuse("the field shows no money under the results");
    if (nFieldMoney != nMoney || nFieldGoal != nGoal)
        return refuse("the field showed $" + std::to_string(nFieldMoney) + " of $" + std::to_string(nFieldGoal) +
                      ", the results $" + std::to_string(nMoney) + " of $" + std::to_string(nGoal));
    if (nMoney < nGoal) return refuse("the day ended below its goal");
    if (!sight.find(Names::IMG_YOU_WIN)) return refuse("the results dialog does not say the day was won");
    if (nStars <= 0) return refuse("a won day shows no stars");
    return true;
}

bool resultsCounted(const Sight& sight, const char* pszButton) {
    const Seen* pButton = findText(sight, pszButton);
    return resultsShown(sight) && pButton && !pButton->bDisabled;
}

// A timed game played well earns money, the same the field showed.
bool checkEarned(const Sight& sight) {
    const Seen* pTotal = sight.textBeside(text(Names::STR_GSM_TOTAL));
    int nFieldMoney = 0, nGoal = 0;
    if (!pTotal || !Bartender::readMoney(sight, nFieldMoney, nGoal)) return refuse("no money shown after the game");
    int nTotal = numberIn(pTotal->sText);
    std::printf("player: the game made $%d\n", nTotal);
    if (nTotal != nFieldMoney)
        return refuse("the field showed $" + std::to_string(nFieldMoney) + ", the results $" + std::to_string(nTotal));
    return nTotal > 0 || refuse("the game earned nothing");
}

// What was bought stands on the field of the next day: pictures never seen
// on the field the day before.
bool findPurchase(const Sight& sight, Memory& memory) {
    if (!memory.bPurchased || !memory.aBought.empty()) return true;
    for (const std::string& sName : fieldPictures(sight, 1))
        if (!memory.aBeforePurchase.count(sName)) memory.aBought.insert(sName);
    if (memory.aBought.empty()) return refuse("nothing new on the field after the purchase");
    for (const std::string& sName : memory.aBought) std::printf("player: new on the field: %s\n", sName.c_str());
    return true;
}

Step weekGoalStep(const std::string& sName, const std::shared_ptr<Memory>& pMemory,
                  const std::shared_ptr<Bartender>& pBartender) {
    return {sName + ": week goal", weekGoalShown,
            [pMemory, pBartender](const Sight& s, Hands& h) {
                pBartender->startDay();
                return findPurchase(s, *pMemory) && clickText(s, h, Names::STR_WKG_GO);
            },
            [](const Sight& s) { return !weekGoalShown(s); }};
}

// Screenshots of the field: an order balloon while the waitress carries its
// drink, and guests at the tables that the purchase brought.
bool watchField(const Sight& sight, Memory& memory) {
    bool bBringing = false;
    for (const Guest& guest : Bartender::findGuests(sight))
        for (const Seen* pGlass : Bartender::heldGlasses(sight))
            bBringing = bBringing || (guest.nDrink >= 0 && Bartender::drinkIn(*pGlass) == guest.nDrink);
    memory.nOrderLooks = bBringing ? memory.nOrderLooks + 1 : 0;
    if (!memory.bOrderShot && memory.nOrderLooks >= ON_THE_WAY_LOOKS) {
        memory.bOrderShot = true;
        if (!takeShot("order-balloon")) return refuse("could not save the order balloon");
    }
    if (memory.bTablesShot || memory.aBought.empty()) return true;
    for (const Guest& guest : Bartender::findGuests(sight)) {
        for (const Seen& seen : sight.all()) {
            if (!guest.pFigure || !memory.aBought.count(seen.sPicture) || !guest.pFigure->box.overlaps(seen.box))
                continue;
            memory.bTablesShot = true;
            return takeShot("guests-at-tables") || refuse("could not save the guests at the tables");
        }
    }
    return true;
}

// Once the decorations are bought, the orders ask for decorated drinks and
// the glasses she brings from the dispenser show theirs; one is saved on her way.
bool watchDecorations(const Sight& sight, Memory& memory) {
    for (const Guest& guest : Bartender::findGuests(sight))
        memory.bDecoratedOrdered = memory.bDecoratedOrdered || Bartender::isDecorated(*guest.pBalloon);
    int nShown = 0;
    for (const Seen* pGlass : Bartender::heldGlasses(sight)) {
        if (Bartender::drinkIn(*pGlass) < 0 || !Bartender::isDecorated(*pGlass)) continue;
        memory.bDecoratedHeld = true;
        for (int y = pGlass->box.top; y < pGlass->box.top + pGlass->box.getHeight() * 2 / 5; y += 2)
            for (int x = pGlass->box.left; x < pGlass->box.right; x += 2) nShown += sight.topAt(x, y) == pGlass;
    }
    if (memory.nDecoratedLooks < 0) return true;
    memory.nDecoratedLooks = nShown >= UMBRELLA_POINTS ? memory.nDecoratedLooks + 1 : 0;
    if (memory.nDecoratedLooks < ON_THE_WAY_LOOKS) return true;
    memory.nDecoratedLooks = -1;
    return takeShot("decorated-drink") || refuse("could not save the decorated drink");
}

// --- what stands on the field -----------------------------------------------------------------

// Four guests in turn at one chair; glasses by a table's side as far as
// this, and drawn no further in front of it than this: the VIPs', in hand
// or on their small tables, stand well before the tables.
enum { GLASSES_AT_A_CHAIR = 4, TABLE_REACH = 60, TABLE_GLASS_DEPTHS = 10 };
// What a click fetches a drink at, washes glasses at or decorates them at.
const char* const STATIONS[] = {"prop_tap", "prop_sink", "prop_cooler", "prop_dispenser", "juicer_", "sign_drink"};

// Both pictures show a pixel at one point: one is drawn over the other.
bool drawnOver(const Seen& a, const Seen& b) {
    Rect both = a.box.intersect(b.box);
    for (int y = both.top; y < both.bottom; ++y)
        for (int x = both.left; x < both.right; ++x)
            if (a.showsAt(x, y) && b.showsAt(x, y)) return true;
    return false;
}

// A balloon over a station would take the click meant for it.
bool checkBalloonsOffStations(const Sight& sight) {
    for (const Seen& balloon : sight.all()) {
        if (!balloon.isNamedLike("balloon_") && !balloon.isNamedLike("order_")) continue;
        for (const char* pszStation : STATIONS)
            for (const Seen* pStation : sight.findLike(pszStation))
                if (drawnOver(balloon, *pStation))
                    return refuse("the balloon " + balloon.sPicture + " covers " + pStation->sPicture);
    }
    return true;
}

// The glasses left by a table's side stand on its top, however many guests
// in turn leave theirs; once four stand by one chair, in sight, the table
// is photographed.
bool watchTableGlasses(const Sight& sight, Memory& memory) {
    std::vector<const Seen*> lHeld = Bartender::heldGlasses(sight), lChairs = sight.findAll("prop_chair");
    std::map<const Seen*, int> aAtChair;
    bool bHidden = false;
    for (const Seen* pTable : sight.findAll("prop_table"))
        for (const Seen* pGlass : sight.findLike("mug_")) {
            int nAside = std::abs(pGlass->centreX() - pTable->centreX()) - pTable->box.getWidth() / 2;
            if (std::count(lHeld.begin(), lHeld.end(), pGlass) || nAside > TABLE_REACH ||
                pGlass->nZOrder > pTable->nZOrder + TABLE_GLASS_DEPTHS ||
                !pTable->box.contains(pTable->centreX(), pGlass->box.bottom - 1))
                continue;
            if (!Bartender::standsOnTable(sight, *pGlass))
                return refuse("a glass at x " + std::to_string(pGlass->centreX()) + " stands off the table");
            ++aAtChair[*std::min_element(lChairs.begin(), lChairs.end(), [pGlass](const Seen* a, const Seen* b) {
                return std::abs(a->centreX() - pGlass->centreX()) < std::abs(b->centreX() - pGlass->centreX());
            })];
            for (const Seen* pPart : sight.findLike("wt_")) bHidden = bHidden || pPart->box.overlaps(pGlass->box);
        }
    for (const auto& atChair : aAtChair)
        if (!memory.bTableGlassesShot && !bHidden && atChair.second >= GLASSES_AT_A_CHAIR) {
            std::printf("player: %d glasses stand by the chair at x %d\n", atChair.second, atChair.first->centreX());
            memory.bTableGlassesShot = takeShot("table-used-glasses");
            if (!memory.bTableGlassesShot) return refuse("could not save the glasses at a table");
        }
    return true;
}

// The field until the results show, the bartender at work.
Step serveStep(const std::string& sName, const std::shared_ptr<Memory>& pMemory,
               const std::shared_ptr<Bartender>& pBartender) {
    return {sName,
            resultsShown,
            nullptr,
            nullptr,
            [pMemory, pBartender](const Sight& s, Hands& h) {
                pBartender->play(s, h);
                return watchField(s, *pMemory) && watchDecorations(s, *pMemory) && checkBalloonsOffStations(s) &&
                       watchTableGlasses(s, *pMemory);
            },
            LEVEL_FRAMES};
}

// Escape pauses the day; the clock must not move until it goes on.
std::vector<Step> pauseSteps(const std::shared_ptr<Memory>& pMemory, const std::shared_ptr<Bartender>& pBartender) {
    return {
        {"running", [pBartender](const Sight& s) { return pBartender->isClockRunning(s) && !tipOpen(s); },
         [](const Sight&, Hands& h) {
             h.key(SDLK_ESCAPE, 27);
             return true;
         },
         [](const Sight& s) { return shows(s, ScreenNames::STR_PAUSED); },
         [pBartender](const Sight& s, Hands& h) {
             pBartender->play(s, h);
             return true;
         },
         LEVEL_FRAMES},
        {"paused",
         [pMemory](const Sight& s) {
             std::string sClock = Bartender::readClock(s);
             if (sClock != pMemory->sPausedClock) pMemory->nPausedFrames = 0;
             pMemory->sPausedClock = sClock;
             return shows(s, ScreenNames::STR_PAUSED) && ++pMemory->nPausedFrames > PAUSE_FRAMES;
         },
         [pMemory](const Sight& s, Hands& h) {
             std::printf("player: the clock stood at %s while paused\n", pMemory->sPausedClock.c_str());
             return clickText(s, h, ScreenNames::STR_PAUSED_RESUME);
         },
         [pMemory](const Sight& s) {
             return !shows(s, ScreenNames::STR_PAUSED) && Bartender::readClock(s) != pMemory->sPausedClock;
         }},
    };
}

std::vector<Step> resultsSteps(const std::string& sName, const std::shared_ptr<Memory>& pMemory) {
    return {
        {sName + ": results", [](const Sight& s) { return resultsCounted(s, Names::TXT_OK); },
         [pMemory](const Sight& s, Hands& h) {
             if (!checkWon(s)) return false;
             if (!pMemory->bWonShot) {
                 pMemory->bWonShot = takeShot("won-results");
                 if (!pMemory->bWonShot) return refuse("could not save the won results");
             }
             return clickText(s, h, Names::TXT_OK);
         },
         [](const Sight& s) { return !shows(s, Names::STR_GSM_LEVEL_SCORE); }},
    };
}

std::vector<Step> mapDaySteps(int nDaysWon, const std::shared_ptr<Memory>& pMemory) {
    return {
        {"map after day " + std::to_string(nDaysWon), [pMemory](const Sight& s) { return mapWaiting(s, pMemory->map); },
         [nDaysWon](const Sight& s, Hands& h) {
             return checkFlowers(s, nDaysWon) && clickText(s, h, Names::STR_STO_PLAY_NEXT);
         },
         [](const Sight& s) { return !shows(s, Names::STR_STO_PLAY_NEXT); }, passPagesAndTips},
    };
}

// A visit to the store for one upgrade: open the store, the upgrade's
// picture, the choices between, pay (after fnPaying), the "bought" message
// closed with OK, leave the store.
std::vector<Step> storeVisit(const std::shared_ptr<Memory>& pMemory, const std::string& sWhat, const char* pszPicture,
                             const std::vector<Step>& lChoices = {}, std::function<void()> fnPaying = nullptr) {
    std::vector<Step> lSteps = {
        {"store for " + sWhat, [pMemory](const Sight& s) { return mapWaiting(s, pMemory->map); },
         [](const Sight& s, Hands& h) { return clickText(s, h, Names::STR_STO_STORE); },
         [](const Sight& s) { return !shows(s, Names::STR_STO_STORE); }, passPagesAndTips},
        {sWhat, [pszPicture](const Sight& s) { return s.find(pszPicture) != nullptr; },
         [pszPicture](const Sight& s, Hands& h) { return clickPicture(s, h, pszPicture); },
         [](const Sight& s) { return shows(s, Names::STR_UPG_BUY); }},
    };
    lSteps.insert(lSteps.end(), lChoices.begin(), lChoices.end());
    lSteps.insert(lSteps.end(), {
        {"pay for " + sWhat, [](const Sight& s) { return shows(s, Names::STR_UPG_BUY); },
         [fnPaying](const Sight& s, Hands& h) {
             if (fnPaying) fnPaying();
             return clickText(s, h, Names::STR_UPG_BUY);
         },
         [](const Sight& s) { return shows(s, Names::STR_UPG_UPGRADED); }},
        {sWhat + " bought", [](const Sight& s) { return shows(s, Names::STR_UPG_UPGRADED); },
         [](const Sight& s, Hands& h) { return clickText(s, h, MESSAGE_OK); },
         [](const Sight& s) { return !shows(s, Names::STR_UPG_UPGRADED) && !shows(s, Names::STR_UPG_BUY); }},
        {"leave the store with " + sWhat,
         [](const Sight& s) { return shows(s, Names::STR_HF_BACK) && !shows(s, Names::STR_UPG_BUY); },
         [](const Sight& s, Hands& h) { return clickText(s, h, Names::STR_HF_BACK); },
         [](const Sight& s) { return shows(s, Names::STR_STO_PLAY_NEXT); }, closeTip},
    });
    return lSteps;
}

// One upgrade from the store: a chair for the first table.
std::vector<Step> storeSteps(const std::shared_ptr<Memory>& pMemory, const std::shared_ptr<Bartender>& pBartender) {
    Step chooseChair{"buy a chair", [](const Sight& s) { return shows(s, Names::STR_UPG_BUY); },
                     [](const Sight& s, Hands& h) { return clickText(s, h, Names::STR_RADIO_CHAIR[0]); }};
    return storeVisit(pMemory, "chairs", "store_sillas_normal", {chooseChair}, [pMemory, pBartender] {
        pMemory->bPurchased = true;
        pMemory->aBeforePurchase = pBartender->getSeenPictures();
    });
}

// --- the end of a day ------------------------------------------------------------------------

// A day's guests come until near closing: once the last has gone, the bar
// stands empty with nobody due for less than this.
enum { MOST_IDLE_SECONDS = 15 };

// The clock when a guest last showed (a balloon over it) or paid; after
// that the bar stood empty until it closed.
struct DayEnd {
    int nSecondsLeft = -1;
    int nMoney = -1;
    bool bTold = false;
};

int secondsOnClock(const std::string& sClock) {
    return std::stoi(sClock) * 60 + std::stoi(sClock.substr(sClock.find(':') + 1));
}

// The serving stop, watching the day's last guest as well.
Step watchingDayEnd(Step serve, const std::shared_ptr<DayEnd>& pEnd) {
    Step::Action fnServe = serve.fnMeanwhile;
    serve.fnMeanwhile = [fnServe, pEnd](const Sight& s, Hands& h) {
        int nMoney = 0, nGoal = 0;
        std::string sClock = Bartender::readClock(s);
        if (!sClock.empty() && Bartender::readMoney(s, nMoney, nGoal)) {
            bool bGuestShows = !Bartender::findGuests(s).empty() || nMoney != pEnd->nMoney;
            if (bGuestShows) pEnd->nSecondsLeft = secondsOnClock(sClock);
            pEnd->nMoney = nMoney;
        }
        return fnServe(s, h);
    };
    return serve;
}

// The results stops, which first tell how long the bar stood idle.
std::vector<Step> checkingDayEnd(std::vector<Step> lResults, const std::string& sDay,
                                 const std::shared_ptr<DayEnd>& pEnd) {
    Step::Action fnAct = lResults.front().fnAct;
    lResults.front().fnAct = [fnAct, sDay, pEnd](const Sight& s, Hands& h) {
        if (!pEnd->bTold) std::printf("player: %s stood idle %d s before closing\n", sDay.c_str(), pEnd->nSecondsLeft);
        pEnd->bTold = true;
        if (pEnd->nSecondsLeft < 0 || pEnd->nSecondsLeft >= MOST_IDLE_SECONDS)
            return refuse(sDay + " left the bar empty " + std::to_string(pEnd->nSecondsLeft) + " s before closing");
        return fnAct(s, h);
    };
    return lResults;
}

// The drink decorations from the store; the next day's guests want them.
std::vector<Step> decorationSteps(const std::shared_ptr<Memory>& pMemory) {
    return storeVisit(pMemory, "decorations", "store_decos_normal");
}

std::vector<Step> storyDays(int nDifficulty, const std::shared_ptr<Memory>& pMemory,
                            const std::shared_ptr<Bartender>& pBartender) {
    std::vector<Step> lSteps = storyStartSteps(pMemory);
    bool bFirst = nDifficulty == 0;
    auto append = [&lSteps](std::vector<Step> lMore) { lSteps.insert(lSteps.end(), lMore.begin(), lMore.end()); };
    for (int nDay = 1; nDay <= DAYS; ++nDay) {
        std::string sDay = "day " + std::to_string(nDay) + " (" + DIFFICULTY_NAMES[nDifficulty] + ")";
        if (nDay == 1) {
            lSteps.push_back({sDay + ": go", [pMemory](const Sight& s) { return mapWaiting(s, pMemory->map); },
                              [](const Sight& s, Hands& h) { return clickText(s, h, Names::STR_STO_PLAY_NEXT); },
                              [](const Sight& s) { return !shows(s, Names::STR_STO_PLAY_NEXT); }, passPagesAndTips});
        } else {
            append(mapDaySteps(nDay - 1, pMemory));
        }
        lSteps.push_back(weekGoalStep(sDay, pMemory, pBartender));
        if (bFirst && nDay == 1) append(pauseSteps(pMemory, pBartender));
        auto pEnd = std::make_shared<DayEnd>();
        lSteps.push_back(watchingDayEnd(serveStep(sDay, pMemory, pBartender), pEnd));
        append(checkingDayEnd(resultsSteps(sDay, pMemory), sDay, pEnd));
        if (bFirst && nDay == 1) append(storeSteps(pMemory, pBartender));
        if (bFirst && nDay == 2) append(decorationSteps(pMemory));
        if (bFirst && nDay == 3)
            lSteps.push_back({"decorations seen", [pMemory](const Sight& s) { return mapWaiting(s, pMemory->map); },
                              [pMemory](const Sight&, Hands&) {
                                  return (pMemory->bDecoratedHeld && pMemory->bDecoratedOrdered) ||
                                         refuse("no decorated drink in her hands or in a balloon");
                              }});
    }
    lSteps.push_back(
        {"map after day 3", [pMemory](const Sight& s) { return mapWaiting(s, pMemory->map); },
         [](const Sight& s, Hands& h) { return checkFlowers(s, DAYS) && clickText(s, h, Names::STR_GOD_EXIT); },
         [](const Sight& s) { return menuShown(s); }, passPagesAndTips, Step::SCREEN_FRAMES, "map-after-day3"});
    return lSteps;
}

// --- the timed games ------------------------------------------------------------------------------

// A site of the map under its name, clicked with the pointer held still on it.
std::vector<Step> timedGameSteps(const std::string& sName, const char* pszButton, const char* pszResultsButton,
                                 const std::shared_ptr<Memory>& pMemory, const std::shared_ptr<Bartender>& pBartender) {
    const std::string sSite = "mapa_sitio_tiki_normal";
    // The button ends the count early: the player waits for the numbers to stop.
    auto pCount = std::make_shared<Steady>();
    return {
        {sName, menuShown, [pszButton](const Sight& s, Hands& h) { return clickText(s, h, pszButton); },
         [](const Sight& s) { return !menuShown(s); }},
        {sName + ": tiki", [sSite](const Sight& s) { return s.find(sSite) && !tipOpen(s); },
         [sSite](const Sight& s, Hands& h) {
             Rect solid = s.solidBox(*s.find(sSite), 4);
             if (solid.isEmpty()) return refuse("the tiki site shows no pixels");
             h.click(solid.getCenter().x, solid.getCenter().y);
             return true;
         },
         [sSite](const Sight& s) { return !s.find(sSite); }, closeTip},
        weekGoalStep(sName, pMemory, pBartender),
        serveStep(sName, pMemory, pBartender),
        {sName + ": results",
         [pszResultsButton, pCount](const Sight& s) {
             std::vector<const Seen*> lTexts;
             for (const Seen& seen : s.all())
                 if (seen.nScreen == 0 && !seen.sText.empty()) lTexts.push_back(&seen);
             return pCount->check(lTexts) && resultsCounted(s, pszResultsButton);
         },
         [pszResultsButton](const Sight& s, Hands& h) { return checkEarned(s) && clickText(s, h, pszResultsButton); },
         [](const Sight& s) { return !resultsShown(s); }},
        {sName + ": leave", [sSite](const Sight& s) { return s.find(sSite) && shows(s, Names::STR_GOD_EXIT); },
         [](const Sight& s, Hands& h) { return clickText(s, h, Names::STR_GOD_EXIT); }, menuShown, closeTip},
    };
}

std::vector<Step> quitSteps() {
    return {
        {"quit", menuShown, [](const Sight& s, Hands& h) { return clickPicture(s, h, "ui_btn_quit_normal"); },
         [](const Sight& s) { return shows(s, ScreenNames::STR_EXIT_QUESTION); }},
        {"yes", [](const Sight& s) { return shows(s, ScreenNames::STR_EXIT_QUESTION); },
         [](const Sight& s, Hands& h) { return clickText(s, h, ScreenNames::STR_YES); }},
    };
}

std::vector<Step> script(const std::shared_ptr<Bartender>& pBartender) {
    auto pMemory = std::make_shared<Memory>();
    std::vector<Step> lSteps = startSteps();
    auto append = [&lSteps](std::vector<Step> lMore) { lSteps.insert(lSteps.end(), lMore.begin(), lMore.end()); };
    for (int nDifficulty = 0; nDifficulty < 3; ++nDifficulty) {
        append(difficultySteps(nDifficulty));
        append(storyDays(nDifficulty, pMemory, pBartender));
    }
    append(timedGameSteps("relax", Names::STR_MNM_RELAX, Names::TXT_EXIT, pMemory, pBartender));
    append(timedGameSteps("free play", Names::STR_MNM_FREE_PLAY, Names::TXT_OK, pMemory, pBartender));
    lSteps.push_back({"glasses gathered at a table", menuShown, [pMemory](const Sight&, Hands&) {
                          return pMemory->bTableGlassesShot || refuse("four guests' glasses never stood at one chair");
                      }});
    append(quitSteps());
    return lSteps;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: player <content folder>\n");
        return 2;
    }
    auto pBartender = std::make_shared<Bartender>();
    pBartender->keepTableGlasses(true);
    StepRunner runner(script(pBartender));
    int nExit = runScripted("Player", argv[1], [&runner] {
        fixChance();
        runner.onFrame();
    });
    if (nExit != 0) return nExit;
    return runner.isDone() ? 0 : 1;
}
