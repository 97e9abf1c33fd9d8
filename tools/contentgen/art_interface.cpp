// The shared interface of common.dat: the sand tile behind every screen,
// frame decorations, the theme's buttons, frames and widgets, the loading
// screen's pieces and the clock of the in-play loading dialog.
#include "generator.h"

#include <cmath>
#include <string>

namespace {

const float PI = 3.14159265f;
const char* const COMMON = "common.dat";

// Tileable in steps of 44: every pattern repeats with the tile.
Canvas sandTile() {
    Canvas c(44, 44);
    for (int y = 0; y < 44; ++y)
        for (int x = 0; x < 44; ++x) {
            float f = std::sin(x * 2 * PI / 44 * 3 + y * 2 * PI / 44) * 0.5f + std::sin(y * 2 * PI / 44 * 2) * 0.5f;
            int n = static_cast<int>((x * 7 + y * 13) % 11 == 0) * 18;
            c.set(x, y, Rgba(236 + static_cast<int>(f * 8) - n, 210 + static_cast<int>(f * 8) - n,
                             155 + static_cast<int>(f * 6) - n));
        }
    return c;
}

void addButtonSet(Generator& gen, const std::string& sBase, int w, int h, const Rgba& colour, float fRadius,
                  const char* pszCaption, const char* const* ppszStates) {
    for (int i = 0; i < 3; ++i) {
        Canvas c = Art::buttonFace(w, h, i, colour, fRadius);
        if (pszCaption)
            gen.text.draw(c, pszCaption, w / 2.0f, h / 2.0f - 9 + (i == 2 ? 2 : 0), 14, Palette::WHITE,
                          TextDrawer::CENTER, true, true);
        gen.set.addImage(COMMON, sBase + ppszStates[i], c);
    }
}

const char* const STATES[] = {"_normal", "_highlight", "_pushed"};
const char* const LITTLE_STATES[] = {"_active", "_highlight", "_pushed"};

// An image button of the menu's side: a round badge with a symbol.
void sideButton(Generator& gen, const std::string& sName, const Rgba& colour, int nSymbol, const char* pszCaption) {
    for (int i = 0; i < 3; ++i) {
        Canvas c(120, 120);
        float fPush = i == 2 ? 3 : 0;
        Rgba face = i == 1 ? colour.shade(0.25f) : i == 2 ? colour.shade(-0.2f) : colour;
        c.ellipse(62, 64, 50, 50, Rgba(0, 0, 0, 80));
        c.ball(60, 58 + fPush, 50, 50, face);
        c.ring(60, 58 + fPush, 50, 4, face.shade(-0.45f));
        Rgba ink = Palette::WHITE;
        float cy = 48 + fPush;
        switch (nSymbol) {
        case 0: // gear: options
            c.star(60, cy, 22, 15, 8, 0, ink);
            c.ellipse(60, cy, 7, 7, face);
            break;
        case 1: // book: how to play
            c.polygon({{36, cy - 14}, {59, cy - 10}, {59, cy + 16}, {36, cy + 12}}, ink);
            c.polygon({{84, cy - 14}, {61, cy - 10}, {61, cy + 16}, {84, cy + 12}}, ink.shade(-0.1f));
            break;
        case 2: // trophy: high scores
            c.polygon({{44, cy - 18}, {76, cy - 18}, {70, cy + 4}, {50, cy + 4}}, Palette::GOLD);
            c.fillRect(56, cy + 4, 8, 10, Palette::GOLD);
            c.fillRect(48, cy + 14, 24, 6, Palette::GOLD.shade(-0.2f));
            break;
        default: // door: quit
            c.fillRect(46, cy - 20, 28, 38, Palette::WOOD_DARK);
            c.polygon({{48, cy - 18}, {66, cy - 14}, {66, cy + 18}, {48, cy + 18}}, Palette::WOOD);
            c.ellipse(62, cy + 2, 2, 2, Palette::GOLD);
            break;
        }
        gen.text.draw(c, pszCaption, 60, 78 + fPush, 13, ink, TextDrawer::CENTER, true, true);
        gen.set.addImage(COMMON, sName + STATES[i], c);
    }
}

// The toggle tabs of the high-score screen.
void tabButton(Generator& gen, const std::string& sName, const Rgba& colour, const char* pszCaption) {
    for (int i = 0; i < 3; ++i) {
        Canvas c(150, 44);
        // The chosen table's tab (pushed) shows its full colour; the others
        // are dimmed far enough that the chosen one stands out at a glance.
        Rgba face = i == 1 ? colour.shade(-0.35f) : i == 2 ? colour : colour.shade(-0.55f);
        c.roundRect(0, 0, 150, 52, 12, face.shade(-0.4f));
        c.roundRect(3, 3, 144, 48, 10, face);
        gen.text.draw(c, pszCaption, 75, 12, 15, Palette::WHITE, TextDrawer::CENTER, true, true);
        gen.set.addImage(COMMON, sName + STATES[i], c);
    }
}

Canvas frameImage(int nSize, const Rgba& edge, const Rgba& fill, float fRadius) {
    Canvas c(nSize, nSize);
    c.roundRect(0, 0, nSize, nSize, fRadius, edge);
    c.roundRect(3, 3, nSize - 6, nSize - 6, fRadius - 2, fill);
    return c;
}

void makeThemePictures(Generator& gen) {
    using namespace Palette;
    addButtonSet(gen, "ui_paperbutton", 48, 40, Rgba(215, 120, 50), 10, nullptr, STATES);
    // A button that cannot be used now (the first how-to page's "previous"):
    // the same face, greyed.
    gen.set.addImage(COMMON, "ui_paperbutton_disabled", Art::buttonFace(48, 40, 0, Rgba(170, 155, 140), 10));
    addButtonSet(gen, "littlebutton", 32, 32, Rgba(60, 150, 190), 8, nullptr, LITTLE_STATES);
    tabButton(gen, "ui_tab_adventure", Rgba(220, 110, 60), "Story");
    tabButton(gen, "ui_tab_relax", Rgba(60, 160, 190), "Relax");
    tabButton(gen, "ui_tab_free", Rgba(110, 170, 70), "Free play");
    sideButton(gen, "ui_btn_options", Rgba(60, 150, 190), 0, "Options");
    sideButton(gen, "ui_btn_howto", Rgba(110, 170, 70), 1, "How to");
    sideButton(gen, "ui_btn_high", Rgba(230, 160, 40), 2, "Scores");
    sideButton(gen, "ui_btn_quit", Rgba(215, 90, 70), 3, "Quit");

    Canvas paper(48, 48);
    Art::paperPanel(paper, 0, 0, 44, 43);
    gen.set.addImage(COMMON, "ui_frame_paper", paper);
    gen.set.addImage(COMMON, "ui_frame_wood", frameImage(32, WOOD_DARK, Rgba(120, 80, 45, 235), 8));
    gen.set.addImage(COMMON, "ui_frame_placeholder", frameImage(24, Rgba(180, 150, 100, 200), Rgba(250, 240, 210), 8));
    gen.set.addImage(COMMON, "ui_frame_empty", Canvas(12, 12));
    Canvas undecorated(24, 24);
    undecorated.roundRect(0, 0, 24, 24, 10, Rgba(250, 240, 210, 170));
    gen.set.addImage(COMMON, "ui_frame_sand", undecorated);
    gen.set.addImage(COMMON, "ui_frame_tooltip", frameImage(12, Rgba(90, 60, 30), Rgba(255, 250, 215), 4));
    gen.set.addImage(COMMON, "ui_frame_edit", frameImage(12, Rgba(120, 90, 60), Rgba(255, 255, 250), 3));

    Canvas cursor(24, 28);
    cursor.polygon({{1, 1}, {1, 21}, {6, 16}, {10, 25}, {14, 23}, {10, 15}, {17, 15}}, WHITE);
    cursor.outline(INK, 1.3f);
    gen.set.addImage(COMMON, "ui_cursor", cursor);

    for (int nChosen = 0; nChosen < 2; ++nChosen) {
        Canvas c(22, 22);
        c.ball(11, 11, 10, 10, PAPER);
        c.ring(11, 11, 10, 2, WOOD_DARK);
        if (nChosen) c.ball(11, 11, 5, 5, CORAL);
        gen.set.addImage(COMMON, nChosen ? "ui_radio_on" : "ui_radio_off", c);
    }
    Canvas track(24, 12);
    track.roundRect(0, 2, 24, 8, 4, WOOD_DARK);
    track.roundRect(1, 3, 22, 6, 3, SAND);
    gen.set.addImage(COMMON, "ui_slider_track", track);
    Canvas thumb(20, 24);
    Art::shell(thumb, 10, 13, 9, CORAL);
    gen.set.addImage(COMMON, "ui_slider_thumb", thumb);
    Canvas separator(40, 6);
    separator.fillRect(2, 2, 36, 2, WOOD);
    gen.set.addImage(COMMON, "ui_separator", separator);
}

void makeSharedPictures(Generator& gen) {
    using namespace Palette;
    gen.set.addImage(COMMON, "sand_frame_back", sandTile());

    Canvas palmProp(72, 130);
    Art::palm(palmProp, 36, 126, 110, 8);
    palmProp.outline(INK.withAlpha(200), 1.0f);
    gen.set.addImage(COMMON, "sand_frame_prop_1", palmProp);
    Canvas starfish(112, 110);
    starfish.star(56, 55, 50, 20, 5, 0.2f, CORAL);
    starfish.star(56, 55, 40, 14, 5, 0.2f, CORAL.shade(0.2f));
    starfish.outline(INK, 1.5f);
    gen.set.addImage(COMMON, "sand_frame_prop_2", starfish);
    Canvas garland(60, 90);
    garland.line(30, 0, 30, 70, 2, WOOD_DARK);
    for (int i = 0; i < 3; ++i) Art::shell(garland, 30, 24.0f + i * 24, 12, i % 2 ? CORAL : PAPER.shade(-0.1f));
    garland.outline(INK, 1.0f);
    gen.set.addImage(COMMON, "sand_frame_prop_3", garland);
    Canvas crab(118, 64);
    crab.ball(59, 34, 30, 18, Rgba(230, 80, 60));
    for (int s : {-1, 1}) {
        crab.ball(59 + s * 42, 18, 12, 10, Rgba(230, 80, 60));
        crab.line(59 + s * 26, 30, 59 + s * 38, 22, 5, Rgba(200, 60, 50));
        for (int l = 0; l < 3; ++l) crab.line(59 + s * 22, 40.0f + l * 5, 59 + s * 38, 52.0f + l * 4, 3, Rgba(200, 60, 50));
        crab.ellipse(59 + s * 9, 14, 4, 6, WHITE);
        crab.ellipse(59 + s * 9, 14, 2, 3, INK);
    }
    crab.outline(INK, 1.5f);
    gen.set.addImage(COMMON, "sand_frame_prop_4", crab);
    Canvas torch(64, 116);
    torch.line(32, 108, 32, 40, 7, WOOD);
    torch.fillRect(24, 30, 16, 16, WOOD_DARK);
    torch.ellipse(32, 20, 10, 16, Rgba(250, 150, 40));
    torch.ellipse(32, 24, 6, 10, Rgba(255, 230, 120));
    torch.outline(INK, 1.2f);
    gen.set.addImage(COMMON, "sand_frame_prop_5", torch);

    Canvas separator(300, 12);
    for (int i = 0; i < 15; ++i) separator.ellipse(10 + i * 20.0f, 6, 3, 3, WOOD);
    separator.line(0, 6, 300, 6, 1.5f, WOOD.withAlpha(160));
    gen.set.addImage(COMMON, "bubble_separator", separator);

    for (int nFull = 0; nFull < 2; ++nFull) {
        Canvas c(28, 28);
        c.roundRect(2, 4, 22, 22, 5, WOOD_DARK);
        c.roundRect(4, 6, 18, 18, 4, PAPER);
        if (nFull) c.polygon({{6, 14}, {11, 20}, {24, 3}, {26, 5}, {11, 25}, {4, 16}}, Rgba(40, 150, 60));
        gen.set.addImage(COMMON, nFull ? "check_full_noblit" : "check_empty", c);
    }
    for (int i = 0; i < 3; ++i) {
        static const char* const NAMES[] = {"album_prev", "album_stop", "album_next"};
        Canvas c = Art::buttonFace(44, 40, 0, Rgba(60, 150, 190), 10);
        if (i == 0) c.polygon({{28, 10}, {28, 28}, {14, 19}}, WHITE);
        if (i == 1) c.fillRect(15, 11, 14, 14, WHITE);
        if (i == 2) c.polygon({{16, 10}, {16, 28}, {30, 19}}, WHITE);
        gen.set.addImage(COMMON, NAMES[i], c);
    }

    Canvas clam(40, 40);
    Art::shell(clam, 20, 20, 17, Rgba(250, 200, 190));
    clam.outline(INK, 1.2f);
    gen.set.addImage(COMMON, "progress_clam", clam);
    Canvas star(40, 40);
    star.star(20, 21, 18, 8, 5, 0, GOLD);
    star.outline(INK, 1.2f);
    gen.set.addImage(COMMON, "progress_star", star);
}

void makeLoadingBack(Generator& gen) {
    using namespace Palette;
    Canvas c(812, 620);
    Art::beachBackdrop(c, 250, 330, gen);
    Art::sun(c, 640, 120, 45);
    Art::cloud(c, 180, 90, 1.2f);
    Art::cloud(c, 470, 60, 0.9f);
    Art::palm(c, 90, 560, 300, 40);
    Art::palm(c, 730, 580, 280, -50);
    // Drawn at (-6, -10): the panel holds the loading screen's row of ten
    // icons (centred on x 400 from y 300) and its label below.
    Art::paperPanel(c, 156, 250, 500, 190);
    gen.set.addImage(COMMON, "loading_back", c);
    // The credits roll on this card, laid over the picture above: their
    // lines keep inside it and fade out before its rim.
    Canvas card(640, 580);
    Art::paperPanel(card, 0, 0, 634, 573);
    gen.set.addImage(COMMON, "credits_card", card);
}

// The clock of the in-play loading dialog: a dial, twenty hand positions
// and the markings over them, all the same size so the layers stack.
void makeClock(Generator& gen) {
    using namespace Palette;
    const int S = 84;
    Canvas base(S, S);
    base.ball(42, 42, 38, 38, Rgba(120, 200, 220));
    base.ellipse(42, 42, 32, 32, PAPER);
    base.outline(INK, 1.5f);
    gen.set.addImage(COMMON, "clock_base", base);
    for (int i = 1; i <= 20; ++i) {
        Canvas hand(S, S);
        float a = i * 2 * PI / 20 - PI / 2;
        hand.line(42, 42, 42 + std::cos(a) * 27, 42 + std::sin(a) * 27, 3.5f, CORAL.shade(-0.2f));
        hand.ellipse(42, 42, 4, 4, INK);
        gen.set.addImage(COMMON, "clock_" + std::to_string(i), hand);
    }
    gen.set.addImage(COMMON, "empty", Canvas(S, S));
    Canvas markers(S, S);
    for (int i = 0; i < 12; ++i) {
        float a = i * 2 * PI / 12;
        float r0 = i % 3 ? 27 : 24;
        markers.line(42 + std::cos(a) * r0, 42 + std::sin(a) * r0, 42 + std::cos(a) * 31, 42 + std::sin(a) * 31, 2,
                     INK);
    }
    gen.set.addImage(COMMON, "clock_markers", markers);
}

} // namespace

void makeInterface(Generator& gen) {
    makeThemePictures(gen);
    makeSharedPictures(gen);
    makeLoadingBack(gen);
    makeClock(gen);
}
