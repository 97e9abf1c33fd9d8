// The how-to pages: a title, a picture and the lines that explain it. Each
// picture is a stage of the bar laid out in play-field coordinates from the
// game's own pictures, as the play field places them, with labelled pointers
// at what the player clicks; the page shows the part of the stage in its view.
#pragma once

#include "handplaces.h"

#include <string>
#include <vector>

struct HowtoPiece {
    enum Anchor { TOP_LEFT, BOTTOM_CENTRE, CENTRE };
    std::string sPicture;
    float x, y;
    Anchor eAnchor;
    float fScale;
    bool bMirror;
};

// A pointer's tip and the label beside it ("1", "L", ...).
struct HowtoPointer {
    std::string sLabel;
    float x, y;
};

struct HowtoPage {
    std::string sTitle;
    std::vector<std::string> lines;
    // The part of the stage shown: left, top, width, height; as wide for its
    // height as the frame on the page.
    float aView[4];
    std::vector<HowtoPiece> pieces;
    std::vector<HowtoPointer> pointers;
};

// The picture's frame on the 800 x 600 page.
enum { HOWTO_FRAME_X = 120, HOWTO_FRAME_Y = 104, HOWTO_FRAME_W = 560, HOWTO_FRAME_H = 280 };

namespace HowtoStage {

// Where scene 0 has its counter, customers, taps, cooler and sink.
enum { COUNTER_Y = 240, GUEST_FEET_Y = 330, BALLOON_RISE = 196, METER_RISE = 34, TAP_Y = 272, SPOT_Y = 262 };
enum { COOLER_X = 400, COOLER_Y = 382, COOLER_SPOT_Y = 360, SINK_X = 300, SINK_Y = 380, USED_GLASS_RISE = 40 };
enum { USE_Y = 398, WAITRESS_INS_X = 100, WAITRESS_INS_Y = 175 };
// The waitress's size where she stands to use the bar (the floor's depth).
const float AT_THE_BAR = 0.81f;

inline std::string num(int n) { return std::to_string(n); }

inline void add(std::vector<HowtoPiece>& pieces, const std::string& sPicture, float x, float y,
                HowtoPiece::Anchor eAnchor, float fScale = 1.0f, bool bMirror = false) {
    pieces.push_back(HowtoPiece{sPicture, x, y, eAnchor, fScale, bMirror});
}

inline void bar(std::vector<HowtoPiece>& pieces) {
    add(pieces, "sc0_back", 0, 0, HowtoPiece::TOP_LEFT);
    add(pieces, "sc0_sign", 320, 40, HowtoPiece::TOP_LEFT);
}

inline void guest(std::vector<HowtoPiece>& pieces, const std::string& sFigure, float x) {
    add(pieces, sFigure, x, GUEST_FEET_Y, HowtoPiece::BOTTOM_CENTRE);
}

// The counter, and on it what scene 0 always has: two taps and the cooler
// with their drinks' signs, and the sink.
inline void counter(std::vector<HowtoPiece>& pieces) {
    add(pieces, "sc0_counter", 0, COUNTER_Y, HowtoPiece::TOP_LEFT);
    add(pieces, "prop_tap", 250, TAP_Y, HowtoPiece::BOTTOM_CENTRE);
    add(pieces, "prop_tap", 550, TAP_Y, HowtoPiece::BOTTOM_CENTRE, 1.0f, true);
    add(pieces, "prop_cooler", COOLER_X, COOLER_Y, HowtoPiece::BOTTOM_CENTRE);
    add(pieces, "prop_sink", SINK_X, SINK_Y, HowtoPiece::BOTTOM_CENTRE);
    add(pieces, "sign_drink0", 250, SPOT_Y + 20, HowtoPiece::CENTRE);
    add(pieces, "sign_drink1", 550, SPOT_Y + 20, HowtoPiece::CENTRE);
    add(pieces, "sign_drink2", COOLER_X, COOLER_SPOT_Y + 20, HowtoPiece::CENTRE);
}

// Over a guest: the balloon (the asking one, or the drink ordered) and the
// patience meter.
inline void balloon(std::vector<HowtoPiece>& pieces, float x, const std::string& sBalloon, int nPatience) {
    add(pieces, sBalloon, x, GUEST_FEET_Y - BALLOON_RISE, HowtoPiece::CENTRE);
    add(pieces, "order_patience" + num(nPatience), x, GUEST_FEET_Y - BALLOON_RISE - METER_RISE, HowtoPiece::CENTRE);
}

// Where a hand place of her figure lies on the stage.
inline float handX(float x, float fScale, int nPlace) { return x + (HAND_PLACES[nPlace][0] - WAITRESS_INS_X) * fScale; }
inline float handY(float y, float fScale, int nPlace) { return y + (HAND_PLACES[nPlace][1] - WAITRESS_INS_Y) * fScale; }

// The waitress standing at (x, y) facing north or south ('n', 's'): her
// body, an arm per hand ending at the given hand places (the left one
// carrying a tray when sTray names its size, "_t2"), and the glasses in her
// hands (drink number per hand, -1 for none), her thumbs over them.
inline void waitress(std::vector<HowtoPiece>& pieces, float x, float y, float fScale, char cHeading, int nLeftPlace,
                     int nRightPlace, const std::string& sTray = "", int nLeftDrink = -1, int nRightDrink = -1) {
    std::string sH(1, cHeading);
    float fLeft = x - WAITRESS_INS_X * fScale, fTop = y - WAITRESS_INS_Y * fScale;
    add(pieces, "wt_body_" + sH + "0", fLeft, fTop, HowtoPiece::TOP_LEFT, fScale);
    add(pieces, "wt_arm_" + sH + "l_" + num(nLeftPlace) + sTray, fLeft, fTop, HowtoPiece::TOP_LEFT, fScale);
    add(pieces, "wt_arm_" + sH + "r_" + num(nRightPlace), fLeft, fTop, HowtoPiece::TOP_LEFT, fScale);
    const int anPlaces[2] = {nLeftPlace, nRightPlace}, anDrinks[2] = {nLeftDrink, nRightDrink};
    for (int i = 0; i < 2; ++i) {
        if (anDrinks[i] < 0) continue;
        add(pieces, "mug_drink" + num(anDrinks[i]), handX(x, fScale, anPlaces[i]), handY(y, fScale, anPlaces[i]),
            HowtoPiece::BOTTOM_CENTRE, fScale);
        add(pieces, "wt_thumb_" + num(anPlaces[i]), fLeft, fTop, HowtoPiece::TOP_LEFT, fScale);
    }
}

} // namespace HowtoStage

inline std::vector<HowtoPage> howtoPages() {
    using namespace HowtoStage;
    std::vector<HowtoPage> pages(3);

    // Taking an order, filling the glass at the source with the same sign,
    // serving it.
    HowtoPage& order = pages[0];
    order.sTitle = "Take the order, serve the drink";
    order.lines = {"1  Click the \"!\" balloon over a guest to take the order.",
                   "2  The balloon shows the drink: click the tap, cooler or",
                   "    juicer with the same sign to fill a glass.",
                   "3  Click the guest to serve it before the meter runs out."};
    order.aView[0] = 60, order.aView[1] = 34, order.aView[2] = 740, order.aView[3] = 370;
    bar(order.pieces);
    guest(order.pieces, "ch_surfer", 175);
    guest(order.pieces, "ch_wac_betty", 475);
    counter(order.pieces);
    balloon(order.pieces, 175, "balloon_0", 4);
    balloon(order.pieces, 475, "order_drink1", 3);
    waitress(order.pieces, 690, USE_Y, AT_THE_BAR, 'n', 4, 6);
    order.pointers = {{"1", 190, GUEST_FEET_Y - BALLOON_RISE + 8}, {"2", 556, SPOT_Y + 26}, {"3", 475, 215}};

    // A glass in each hand by the mouse buttons; a tray carries more.
    HowtoPage& hands = pages[1];
    hands.sTitle = "Two hands, one tray";
    hands.lines = {"L  A left click works with her left hand,",
                   "R  a right click with her right one: two glasses at once.",
                   "A tray from the store carries four glasses, a large tray six."};
    hands.aView[0] = 90, hands.aView[1] = 236, hands.aView[2] = 620, hands.aView[3] = 310;
    bar(hands.pieces);
    counter(hands.pieces);
    const float FRONT = 1.0f, HANDS_X = 260, TRAY_X = 560, FLOOR_Y = 538;
    waitress(hands.pieces, HANDS_X, FLOOR_Y, FRONT, 's', 0, 9, "", 0, 3);
    waitress(hands.pieces, TRAY_X, FLOOR_Y, FRONT, 's', 5, 5, "_t2");
    for (int i = 0; i < 3; ++i)
        add(hands.pieces, "mug_drink" + num(i + 1), handX(TRAY_X, FRONT, 5) + (i - 1) * 24.0f,
            handY(FLOOR_Y, FRONT, 5) + 4, HowtoPiece::BOTTOM_CENTRE, 0.8f);
    hands.pointers = {{"L", handX(HANDS_X, FRONT, 0), handY(FLOOR_Y, FRONT, 0) + 4},
                      {"R", handX(HANDS_X, FRONT, 9), handY(FLOOR_Y, FRONT, 9) + 4}};

    // The used glass to the sink; the day's goal.
    HowtoPage& clear = pages[2];
    clear.sTitle = "Clear up, reach the goal";
    clear.lines = {"1  A guest who has paid leaves the glass on the bar:",
                   "    click it to pick it up.",
                   "2  Then click the sink to clear it away.",
                   "Every day has a money goal. Happy guests pay more!"};
    clear.aView[0] = 150, clear.aView[1] = 140, clear.aView[2] = 530, clear.aView[3] = 265;
    bar(clear.pieces);
    guest(clear.pieces, "ch_captain", 560);
    add(clear.pieces, "cust_happy", 560, GUEST_FEET_Y, HowtoPiece::BOTTOM_CENTRE);
    counter(clear.pieces);
    add(clear.pieces, "mug_dirty", 325, GUEST_FEET_Y - USED_GLASS_RISE, HowtoPiece::BOTTOM_CENTRE);
    waitress(clear.pieces, 510, USE_Y, AT_THE_BAR, 'n', 4, 6);
    clear.pointers = {{"1", 333, GUEST_FEET_Y - USED_GLASS_RISE - 8}, {"2", SINK_X - 14, SINK_Y - 42}};
    return pages;
}
