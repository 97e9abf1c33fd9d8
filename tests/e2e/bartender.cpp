#include "bartender.h"

#include "harness.h"
#include "steps.h"

#include "names.h"

#include "app/gameapp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

// Looks the waitress must stand unchanged before she counts as free, and
// looks after a click before that is asked (she has not started yet).
enum { STILL_LOOKS = 4, CLICK_LOOKS = 6 };
const char* const FIGURE = "wt_";
const char* const GLASS = "mug_";
const char* const USED_GLASS = "mug_dirty";
const char* const ORDER = "order_drink";
const char* const ASKING = "balloon_";
const char* const SIGN = "sign_drink";
const char* const SINK = "prop_sink";

int drinkOf(const std::string& sPicture, const std::string& sPrefix) {
    return std::atoi(sPicture.c_str() + sPrefix.size());
}

bool overlaps(const Rect& a, const Rect& b) { return a.overlaps(b); }

}  // namespace

void Bartender::startDay() {
    m_aSeen.clear();
    m_sFirstClock.clear();
    m_sLastFigure.clear();
    m_nStill = 0;
    m_nSinceClick = CLICK_LOOKS;
    m_aBalloonSince.clear();
    m_nLooks = 0;
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
        int nRead = std::sscanf(seen.sText.c_str(), "$%d / $%d", &nMoney, &nGoal);
        if (nRead >= 1) return true;
    }
    return false;
}

bool Bartender::isClockRunning(const Sight& sight) const {
    std::string sClock = readClock(sight);
    return !sClock.empty() && !m_sFirstClock.empty() && sClock != m_sFirstClock;
}

std::vector<const Seen*> Bartender::findGuests(const Sight& sight) {
    std::vector<const Seen*> lGuests;
    std::vector<const Seen*> lBalloons = sight.findLike(ORDER);
    for (const Seen* pAsking : sight.findLike(ASKING)) lBalloons.push_back(pAsking);
    for (const Seen* pBalloon : lBalloons) {
        // The largest picture under the balloon's point that is no balloon.
        const Seen* pGuest = nullptr;
        for (const Seen& seen : sight.all()) {
            if (&seen == pBalloon || seen.isNamedLike(ORDER) || seen.isNamedLike(ASKING) || !seen.sText.empty()) continue;
            if (!seen.box.contains(pBalloon->centreX(), pBalloon->box.bottom + 8)) continue;
            if (seen.box.getWidth() >= 400) continue;  // the scenery
            if (!pGuest || seen.nOrder > pGuest->nOrder) pGuest = &seen;
        }
        if (pGuest) lGuests.push_back(pGuest);
    }
    return lGuests;
}

bool Bartender::play(const Sight& sight, Hands& hands) {
    ++m_nLooks;
    ++m_nSinceClick;
    for (const Seen& seen : sight.all())
        if (!seen.sPicture.empty()) m_aSeen.insert(seen.sPicture);
    if (m_sFirstClock.empty()) m_sFirstClock = readClock(sight);
    for (const Seen* pBalloon : sight.findLike(ORDER))
        m_aBalloonSince.emplace(std::make_pair(pBalloon->centreX(), pBalloon->centreY()), m_nLooks);
    const Seen* pClose = sight.findText(app()->getString(Names::STR_TIP_CLOSE).c_str());
    if (pClose) return clickOn(sight, hands, pClose, "the tip", SDL_BUTTON_LEFT);
    if (!isIdle(sight)) return true;
    return plan(sight, hands);
}

std::string Bartender::figureSignature(const Sight& sight) const {
    std::string sSignature;
    for (const Seen* pPart : sight.findLike(FIGURE))
        sSignature += pPart->sPicture + "@" + std::to_string(pPart->box.left) + "," + std::to_string(pPart->box.top) + ";";
    for (const Seen* pGlass : heldGlasses(sight)) sSignature += pGlass->sPicture + ";";
    return sSignature;
}

bool Bartender::isIdle(const Sight& sight) {
    std::string sFigure = figureSignature(sight);
    m_nStill = sFigure == m_sLastFigure ? m_nStill + 1 : 0;
    m_sLastFigure = sFigure;
    return m_nStill >= STILL_LOOKS && m_nSinceClick >= CLICK_LOOKS;
}

Rect Bartender::figureBox(const Sight& sight) const {
    Rect box;
    bool bAny = false;
    for (const Seen* pPart : sight.findLike(FIGURE)) {
        box = bAny ? box.unite(pPart->box) : pPart->box;
        bAny = true;
    }
    return box;
}

// The glasses drawn over her figure travel with her.
std::vector<const Seen*> Bartender::heldGlasses(const Sight& sight) const {
    std::vector<const Seen*> lHeld;
    Rect figure = figureBox(sight);
    for (const Seen* pGlass : sight.findLike(GLASS))
        if (figure.contains(pGlass->centreX(), pGlass->centreY())) lHeld.push_back(pGlass);
    return lHeld;
}

std::vector<const Seen*> Bartender::usedGlasses(const Sight& sight) const {
    std::vector<const Seen*> lUsed;
    Rect figure = figureBox(sight);
    std::vector<const Seen*> lGuests = findGuests(sight);
    for (const Seen* pGlass : sight.findAll(USED_GLASS)) {
        if (figure.contains(pGlass->centreX(), pGlass->centreY())) continue;
        bool bDrunk = std::any_of(lGuests.begin(), lGuests.end(),
                                  [pGlass](const Seen* pGuest) { return overlaps(pGuest->box, pGlass->box); });
        if (!bDrunk) lUsed.push_back(pGlass);
    }
    return lUsed;
}

std::vector<Bartender::Order> Bartender::findOrders(const Sight& sight) const {
    std::vector<Order> lOrders;
    for (const Seen* pBalloon : sight.findLike(ORDER)) {
        Order order;
        order.nDrink = drinkOf(pBalloon->sPicture, ORDER);
        order.pBalloon = pBalloon;
        order.pGuest = nullptr;
        for (const Seen* pGuest : findGuests(sight))
            if (pGuest->box.contains(pBalloon->centreX(), pBalloon->box.bottom + 8)) order.pGuest = pGuest;
        auto it = m_aBalloonSince.find(std::make_pair(pBalloon->centreX(), pBalloon->centreY()));
        order.fPatience = it == m_aBalloonSince.end() ? 0.0f : -float(it->second);
        lOrders.push_back(order);
    }
    std::sort(lOrders.begin(), lOrders.end(), [](const Order& a, const Order& b) { return a.fPatience > b.fPatience; });
    return lOrders;
}

const Seen* Bartender::findSource(const Sight& sight, int nDrink) const {
    std::vector<const Seen*> lSigns = sight.findAll(SIGN + std::to_string(nDrink));
    return lSigns.empty() ? nullptr : lSigns.front();
}

bool Bartender::clickOn(const Sight& sight, Hands& hands, const Seen* pSeen, const char* pszWhat, int nButton) {
    int nX = 0, nY = 0;
    if (!pSeen || !sight.pointOn(*pSeen, nX, nY)) return refuse(std::string("cannot click ") + pszWhat);
    hands.click(nX, nY, nButton);
    m_nSinceClick = 0;
    return true;
}

// She stands free: the most urgent thing first.
bool Bartender::plan(const Sight& sight, Hands& hands) {
    std::vector<const Seen*> lAsking = sight.findLike(ASKING);
    if (!lAsking.empty()) return clickOn(sight, hands, lAsking.front(), "a guest's question", SDL_BUTTON_LEFT);
    std::vector<Order> lOrders = findOrders(sight);
    for (const Seen* pGlass : heldGlasses(sight)) {
        if (pGlass->isNamedLike("mug_drink")) {
            int nDrink = drinkOf(pGlass->sPicture, "mug_drink");
            for (const Order& order : lOrders)
                if (order.nDrink == nDrink && order.pGuest)
                    return clickOn(sight, hands, order.pGuest, "the guest", SDL_BUTTON_LEFT);
        }
        return clickOn(sight, hands, sight.find(SINK), "the sink", SDL_BUTTON_LEFT);
    }
    for (const Order& order : lOrders) {
        const Seen* pSource = findSource(sight, order.nDrink);
        if (!pSource || !order.pGuest) continue;
        return clickOn(sight, hands, pSource, "a drink", SDL_BUTTON_LEFT);
    }
    std::vector<const Seen*> lUsed = usedGlasses(sight);
    if (!lUsed.empty()) return clickOn(sight, hands, lUsed.front(), "a used glass", SDL_BUTTON_LEFT);
    return true;
}

}  // namespace e2e
