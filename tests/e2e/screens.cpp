#include "screens.h"

#include "harness.h"
#include "steps.h"

#include "base/names.h"

#include "app/gameapp.h"

#include <algorithm>

namespace e2e {

namespace {
enum { PAGE_FRAMES = 16 };
}

std::string text(const char* pszKey) { return app()->getString(pszKey).c_str(); }

const Seen* findText(const Sight& sight, const char* pszKey) {
    const Seen* pSeen = sight.findText(text(pszKey));
    return pSeen ? pSeen : sight.findText(pszKey);
}

bool shows(const Sight& sight, const char* pszKey) { return findText(sight, pszKey) != nullptr; }

bool click(const Sight& sight, Hands& hands, const Seen* pSeen, const std::string& sWhat) {
    int nX = 0, nY = 0;
    if (!pSeen) return refuse("no " + sWhat + " on the screen");
    if (!sight.pointOn(*pSeen, nX, nY)) return refuse("every point of " + sWhat + " is covered");
    hands.click(nX, nY);
    return true;
}

bool clickText(const Sight& sight, Hands& hands, const char* pszKey) {
    return click(sight, hands, findText(sight, pszKey), "\"" + text(pszKey) + "\"");
}

bool clickPicture(const Sight& sight, Hands& hands, const char* pszName) {
    return click(sight, hands, sight.find(pszName), std::string("the picture ") + pszName);
}

bool tipOpen(const Sight& sight) { return shows(sight, Names::STR_TIP_CLOSE); }

bool closeTip(const Sight& sight, Hands& hands) {
    return !tipOpen(sight) || clickText(sight, hands, Names::STR_TIP_CLOSE);
}

bool passPagesAndTips(const Sight& sight, Hands& hands) {
    if (!sight.findLike("historieta_").empty()) {
        hands.key(SDLK_ESCAPE, 27);
        hands.wait(PAGE_FRAMES);
        return true;
    }
    return closeTip(sight, hands);
}

bool menuShown(const Sight& sight) {
    const Seen* pStory = findText(sight, Names::STR_MNM_ADVENTURE);
    return pStory && pStory->nScreen == 0;
}

bool mapWaiting(const Sight& sight, Steady& still) {
    std::vector<const Seen*> lMoving = sight.findLike(namePrefix(Names::IMG_FLOWER_LARGE_FORMAT));
    lMoving.push_back(sight.find(Names::IMG_MAP_MARKER));
    lMoving.erase(std::remove(lMoving.begin(), lMoving.end(), nullptr), lMoving.end());
    bool bSteady = still.check(lMoving);
    return shows(sight, Names::STR_STO_PLAY_NEXT) && !tipOpen(sight) && bSteady;
}

bool weekGoalShown(const Sight& sight) { return shows(sight, Names::STR_WKG_GO); }

bool resultsShown(const Sight& sight) {
    return shows(sight, Names::STR_GSM_LEVEL_SCORE) || shows(sight, Names::STR_GSM_TOTAL);
}

}  // namespace e2e
