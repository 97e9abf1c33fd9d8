#include "bartender.h"

#include "harness.h"

#include "base/names.h"

#include "app/gameapp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

// Looks the waitress must stand unchanged before she counts as free, and
// looks after a click before that is asked (she has not started yet).
enum { STILL_LOOKS = 4, CLICK_LOOKS = 6, NO_METER = 1000 };
// How far below a balloon's foot its guest's figure is looked for.
const int FIGURE_REACH = 8;
// How far along its foot a balloon moved aside may stand from its guest.
const int ASIDE_REACH = 60;
const char* const TABLE = "prop_table";
const char* const FIGURE = "wt_";
const char* const GLASS = "mug_";
const char* const FULL_GLASS = "mug_drink";
const char* const USED_GLASS = "mug_dirty";
const char* const ASKING = "balloon_";
const char* const SINK = "prop_sink";
const char* const DISPENSER = "prop_dispenser";
const std::string DECORATED = "_deco";

const std::string ORDER = namePrefix(Names::IMG_ORDER_DRINK_FORMAT);
const std::string PATIENCE = namePrefix(Names::IMG_ORDER_PATIENCE_FORMAT);
const std::string SIGN = namePrefix(Names::IMG_SIGN_DRINK_FORMAT);

int numberAfter(const std::string& sPicture, const std::string& sPrefix) {
    return std::atoi(sPicture.c_str() + sPrefix.size());
}

bool isBalloon(const Seen& seen) {
    return seen.isNamedLike(ORDER) || seen.isNamedLike(ASKING) || seen.isNamedLike(PATIENCE);
}

// The figure drawn last under the balloon's foot, scenery and texts aside;
// a balloon moved aside (off a station or another balloon) has it nearest
// along its foot.
const Seen* figureUnder(const Sight& sight, const Seen& balloon) {
    for (int nAside = 0; nAside <= ASIDE_REACH; nAside += 4)
        for (int nX : {balloon.centreX() + nAside, balloon.centreX() - nAside}) {
            const Seen* pFigure = nullptr;
            for (const Seen& seen : sight.all()) {
                if (isBalloon(seen) || !seen.sText.empty() || seen.box.getWidth() >= 400) continue;
                if (!seen.showsAt(nX, balloon.box.bottom + FIGURE_REACH)) continue;
                if (!pFigure || seen.nOrder > pFigure->nOrder) pFigure = &seen;
            }
            if (pFigure) return pFigure;
        }
    return nullptr;
}

// The meter drawn just over the balloon.
int patienceOver(const Sight& sight, const Seen& balloon) {
    for (const Seen* pMeter : sight.findLike(PATIENCE))
        if (pMeter->box.bottom >= balloon.box.top - 4 && pMeter->box.bottom <= balloon.box.top + 8 &&
            pMeter->box.left < balloon.box.right && pMeter->box.right > balloon.box.left)
            return numberAfter(pMeter->sPicture, PATIENCE);
    return NO_METER;
}

}  // namespace

void Bartender::startDay() {
    m_aSeen.clear();
    m_sFirstClock.clear();
    m_sLastFigure.clear();
    m_nStill = 0;
    m_nSinceClick = CLICK_LOOKS;
}

std::string Bartender::readClock(const Sight& sight) {
    for (const Seen& seen : sight.all()) {
        const std::string& s = seen.sText;
        size_t nColon = s.find(':');
        if (nColon == std::string::npos || nColon == 0 || s.size() != nColon + 3) continue;
        if (s.find_first_not_of("0123456789:") != std::string::npos) continue;
        return s;
    }
    return std::string();
}

bool Bartender::readMoney(const Sight& sight, int& nMoney, int& nGoal) {
    for (const Seen& seen : sight.all()) {
        if (seen.sText.empty() || seen.sText[0] != '$') continue;
        nGoal = 0;
        if (std::sscanf(seen.sText.c_str(), "$%d / $%d", &nMoney, &nGoal) >= 1) return true;
    }
    return false;
}

bool Bartender::isClockRunning(const Sight& sight) const {
    std::string sClock = readClock(sight);
    return !sClock.empty() && !m_sFirstClock.empty() && sClock != m_sFirstClock;
}

std::vector<Guest> Bartender::findGuests(const Sight& sight) {
    std::vector<Guest> lGuests;
    for (const Seen& seen : sight.all()) {
        bool bOrder = seen.isNamedLike(ORDER), bAsking = seen.isNamedLike(ASKING);
        if (!bOrder && !bAsking) continue;
        Guest guest;
        guest.pBalloon = &seen;
        guest.pFigure = figureUnder(sight, seen);
        guest.nDrink = bOrder ? numberAfter(seen.sPicture, ORDER) : Guest::ASKING;
        guest.nPatience = patienceOver(sight, seen);
        lGuests.push_back(guest);
    }
    std::stable_sort(lGuests.begin(), lGuests.end(),
                     [](const Guest& a, const Guest& b) { return a.nPatience < b.nPatience; });
    return lGuests;
}

void Bartender::play(const Sight& sight, Hands& hands) {
    ++m_nSinceClick;
    for (const Seen& seen : sight.all())
        if (!seen.sPicture.empty()) m_aSeen.insert(seen.sPicture);
    if (m_sFirstClock.empty()) m_sFirstClock = readClock(sight);
    // A dialog over the field (the pause, the results) is no place to click the field.
    const Seen* pFigure = sight.findLike(FIGURE).empty() ? nullptr : sight.findLike(FIGURE).front();
    if (!pFigure || pFigure->nScreen != 0) return;
    const Seen* pClose = sight.findText(app()->getString(Names::STR_TIP_CLOSE).c_str());
    if (pClose && clickFirst(sight, hands, {pClose})) return;
    if (isIdle(sight)) plan(sight, hands);
}

// Her pictures and what she holds, in place and unchanged for a few looks:
// she has done what she was sent to do.
bool Bartender::isIdle(const Sight& sight) {
    std::string sFigure;
    for (const Seen* pPart : sight.findLike(FIGURE))
        sFigure += pPart->sPicture + "@" + std::to_string(pPart->box.left) + "," + std::to_string(pPart->box.top) + ";";
    for (const Seen* pGlass : heldGlasses(sight)) sFigure += pGlass->sPicture + ";";
    m_nStill = sFigure == m_sLastFigure ? m_nStill + 1 : 0;
    m_sLastFigure = sFigure;
    return m_nStill >= STILL_LOOKS && m_nSinceClick >= CLICK_LOOKS;
}

Rect Bartender::figureBox(const Sight& sight) {
    Rect box;
    for (const Seen* pPart : sight.findLike(FIGURE)) box = box.isEmpty() ? pPart->box : box.unite(pPart->box);
    return box;
}

// Glasses drawn over her figure, among her own pictures, travel with her.
std::vector<const Seen*> Bartender::heldGlasses(const Sight& sight) {
    std::vector<const Seen*> lHeld;
    Rect figure = figureBox(sight);
    int nLowest = 0, nHighest = 0;
    bool bAny = false;
    for (const Seen* pPart : sight.findLike(FIGURE)) {
        nLowest = bAny ? std::min(nLowest, pPart->nZOrder) : pPart->nZOrder;
        nHighest = bAny ? std::max(nHighest, pPart->nZOrder) : pPart->nZOrder;
        bAny = true;
    }
    for (const Seen* pGlass : sight.findLike(GLASS)) {
        bool bNear = pGlass->nZOrder >= nLowest - 8 && pGlass->nZOrder <= nHighest + 8;
        if (bNear && figure.contains(pGlass->centreX(), pGlass->centreY())) lHeld.push_back(pGlass);
    }
    return lHeld;
}

int Bartender::drinkIn(const Seen& glass) {
    if (!glass.isNamedLike(FULL_GLASS)) return -1;
    size_t nMark = glass.sPicture.find('_', std::string(FULL_GLASS).size());
    bool bFull = nMark == std::string::npos || glass.sPicture.compare(nMark, std::string::npos, DECORATED) == 0;
    return bFull ? numberAfter(glass.sPicture, FULL_GLASS) : -1;
}

bool Bartender::isDecorated(const Seen& seen) {
    const std::string& s = seen.sPicture;
    return s.size() > DECORATED.size() && s.compare(s.size() - DECORATED.size(), DECORATED.size(), DECORATED) == 0;
}

// A guest whose balloon shows the glass decorated pays more for it: an
// undecorated glass of its drink goes by the dispenser first.
bool Bartender::decorateFirst(const Sight& sight, Hands& hands, const Seen& glass, const std::vector<Guest>& lGuests) {
    int nDrink = drinkIn(glass);
    if (nDrink < 0 || isDecorated(glass)) return false;
    bool bWanted = std::any_of(lGuests.begin(), lGuests.end(), [nDrink](const Guest& guest) {
        return guest.nDrink == nDrink && isDecorated(*guest.pBalloon);
    });
    return bWanted && clickFirst(sight, hands, {sight.find(DISPENSER)});
}

// Used glasses left at seats that no guest drinks from any more.
std::vector<const Seen*> Bartender::usedGlasses(const Sight& sight, const std::vector<Guest>& lGuests) {
    std::vector<const Seen*> lUsed;
    std::vector<const Seen*> lHeld = heldGlasses(sight);
    for (const Seen* pGlass : sight.findAll(USED_GLASS)) {
        if (std::find(lHeld.begin(), lHeld.end(), pGlass) != lHeld.end()) continue;
        bool bAtGuest = std::any_of(lGuests.begin(), lGuests.end(), [pGlass](const Guest& guest) {
            return guest.pFigure && guest.pFigure->box.overlaps(pGlass->box);
        });
        if (!bAtGuest) lUsed.push_back(pGlass);
    }
    return lUsed;
}

bool Bartender::standsOnTable(const Sight& sight, const Seen& glass) {
    for (const Seen* pTable : sight.findAll(TABLE))
        if (glass.nZOrder > pTable->nZOrder && pTable->showsAt(glass.centreX(), glass.box.bottom - 1)) return true;
    return false;
}

bool Bartender::clickFirst(const Sight& sight, Hands& hands, const std::vector<const Seen*>& lTargets) {
    for (const Seen* pTarget : lTargets) {
        int nX = 0, nY = 0;
        if (!pTarget || !sight.pointOn(*pTarget, nX, nY)) continue;
        hands.click(nX, nY);
        m_nSinceClick = 0;
        return true;
    }
    return false;
}

// A full glass goes to the least patient guest who wants it; anything else
// she holds, to the sink.
void Bartender::bringGlass(const Sight& sight, Hands& hands, const Seen& glass, const std::vector<Guest>& lGuests) {
    if (decorateFirst(sight, hands, glass, lGuests)) return;
    std::vector<const Seen*> lTargets;
    int nDrink = drinkIn(glass);
    for (const Guest& guest : lGuests)
        if (nDrink >= 0 && guest.nDrink == nDrink) lTargets.push_back(guest.pFigure);
    lTargets.push_back(sight.find(SINK));
    clickFirst(sight, hands, lTargets);
}

// She stands free: the least patient guest first, then the used glasses.
void Bartender::plan(const Sight& sight, Hands& hands) {
    std::vector<Guest> lGuests = findGuests(sight);
    std::vector<const Seen*> lHeld = heldGlasses(sight);
    if (!lHeld.empty()) return bringGlass(sight, hands, *lHeld.front(), lGuests);
    std::vector<const Seen*> lTargets;
    for (const Guest& guest : lGuests) {
        if (guest.nDrink == Guest::ASKING)
            lTargets.push_back(guest.pBalloon);
        else if (guest.pFigure)
            lTargets.push_back(sight.find(SIGN + std::to_string(guest.nDrink)));
    }
    for (const Seen* pUsed : usedGlasses(sight, lGuests))
        if (!m_bKeepTableGlasses || !standsOnTable(sight, *pUsed)) lTargets.push_back(pUsed);
    clickFirst(sight, hands, lTargets);
}

}  // namespace e2e
