// The five bars: a backdrop and a counter per scene (scene<N>.dat), and the
// furniture, machines, glasses and ambient figures every scene shares
// (common.dat). The scene files in content/ place them.
#include "figure.h"
#include "generator.h"

#include <cmath>
#include <sstream>
#include <string>

namespace {

const char* const COMMON = "common.dat";

struct Theme {
    const char* pszTitle;
    Rgba floorTop, floorBottom, counter, counterTop;
    bool bNight;
};
const Theme THEMES[5] = {
    {"Tiki", Rgba(240, 215, 160), Rgba(215, 185, 125), Rgba(170, 120, 60), Rgba(215, 175, 90), false},
    {"Deck", Rgba(190, 140, 90), Rgba(150, 100, 60), Rgba(60, 130, 190), Rgba(240, 240, 245), false},
    {"Night", Rgba(70, 60, 100), Rgba(40, 35, 70), Rgba(110, 60, 140), Rgba(220, 120, 200), true},
    {"Cruise", Rgba(225, 225, 230), Rgba(190, 190, 200), Rgba(240, 240, 245), Rgba(30, 90, 160), false},
    {"Hotel", Rgba(235, 230, 220), Rgba(200, 195, 185), Rgba(130, 90, 60), Rgba(240, 200, 90), false},
};

void backdrop(Generator& gen, int n) {
    using namespace Palette;
    const Theme& t = THEMES[n];
    Canvas c(800, 600);
    Art::beachBackdrop(c, 150, 230, gen);
    if (t.bNight) {
        for (int y = 0; y < 230; ++y)
            for (int x = 0; x < 800; ++x) {
                Rgba p = c.at(x, y);
                c.set(x, y, Rgba(p.r / 4, p.g / 4, p.b / 3 + 30));
            }
        for (int i = 0; i < 60; ++i) c.ellipse(gen.rnd(0, 800), gen.rnd(0, 140), 1.2f, 1.2f, WHITE);
        c.ellipse(650, 60, 24, 24, Rgba(250, 250, 220));
    } else {
        Art::sun(c, 120 + n * 130.0f, 60, 30);
        Art::cloud(c, 500 - n * 60.0f, 50, 0.9f);
    }
    // The floor the waitress walks on.
    c.gradientRect(0, 230, 800, 370, t.floorTop, t.floorBottom);
    if (n == 1 || n == 3) c.stripes(0, 230, 800, 370, 26, t.floorBottom.shade(-0.15f), 2);
    if (n == 4 || n == 2)
        for (int y = 230; y < 600; y += 40)
            for (int x = (y / 40) % 2 * 40; x < 800; x += 80) c.fillRect(x, y, 40, 40, t.floorTop.shade(n == 2 ? 0.08f : -0.05f));
    if (n == 3)
        for (int x = 0; x < 800; x += 40) c.fillRect(x, 200, 4, 34, WHITE), c.fillRect(0, 200, 800, 4, WHITE);
    if (n == 4) c.roundRect(560, 480, 220, 90, 30, Rgba(90, 200, 230));
    // The back wall of the bar with shelves of bottles.
    c.fillRect(250, 90, 300, 140, t.counter.shade(-0.25f));
    c.fillRect(260, 130, 280, 5, WOOD_DARK);
    c.fillRect(260, 180, 280, 5, WOOD_DARK);
    for (int i = 0; i < 14; ++i) {
        float x = 272 + i * 19.0f;
        Rgba bottle = Art::drinkColour(i).withAlpha(255).shade(-0.1f);
        c.roundRect(x - 5, 106, 10, 24, 3, bottle);
        c.roundRect(x - 5, 156, 10, 24, 3, bottle.shade(0.2f));
    }
    Art::palm(c, 60, 260, 220, 30);
    Art::palm(c, 745, 260, 210, -30);
    gen.set.addImage("scene" + std::to_string(n) + ".dat", "sc" + std::to_string(n) + "_back", c);
    // The bar's name board: a picture of its own, which the scene stands
    // above its gulls.
    Canvas sign(160, 44);
    Art::woodBoard(sign, 0, 0, 160, 44);
    gen.text.draw(sign, t.pszTitle, 80, 10, 22, WHITE, TextDrawer::CENTER, true, true);
    gen.set.addImage("scene" + std::to_string(n) + ".dat", "sc" + std::to_string(n) + "_sign", sign);
}

// The counter the customers stand behind: drawn over their legs.
void counter(Generator& gen, int n) {
    const Theme& t = THEMES[n];
    Canvas c(800, 120);
    c.fillRect(40, 20, 720, 90, t.counter);
    c.stripes(40, 30, 720, 80, 18, t.counter.shade(-0.2f), 3);
    c.roundRect(30, 8, 740, 20, 8, t.counterTop);
    c.fillRect(40, 104, 720, 10, t.counter.shade(-0.4f));
    c.outline(Palette::INK, 1.2f);
    gen.set.addImage("scene" + std::to_string(n) + ".dat", "sc" + std::to_string(n) + "_counter", c);
}

void prop(Generator& gen, const std::string& sName, int w, int h, void (*paint)(Canvas&)) {
    Canvas c(w, h);
    paint(c);
    c.outline(Palette::INK, 1.2f);
    gen.set.addImage(COMMON, sName, c);
}

// A tablecloth over the table's top, hanging a little down its front.
void tablecloth(Canvas& c, const Rgba& cloth) {
    c.fillRect(4, 16, 176, 20, cloth);
    for (int i = 0; i < 11; ++i) c.ellipse(12 + i * 16.0f, 36, 8, 5, cloth);
    c.ellipse(92, 16, 90, 13, cloth);
}

void makeFurniture(Generator& gen) {
    using namespace Palette;
    prop(gen, "prop_stool", 50, 80, [](Canvas& c) {
        c.ellipse(25, 12, 20, 8, Rgba(220, 80, 70));
        c.fillRect(22, 16, 6, 56, Rgba(150, 150, 160));
        c.ellipse(25, 74, 14, 4, Rgba(150, 150, 160));
    });
    // A table seen from the front, its top face above a board that reaches
    // the floor: the guests sitting behind it show from the waist up.
    prop(gen, "prop_table", 180, 74, [](Canvas& c) {
        c.fillRect(8, 14, 164, 58, WOOD_DARK);
        c.stripes(8, 22, 164, 50, 20, WOOD_DARK.shade(-0.25f), 2);
        c.fillRect(8, 64, 164, 8, WOOD_DARK.shade(-0.3f));
        c.ellipse(90, 14, 88, 12, WOOD);
        c.ellipse(90, 12, 84, 9, WOOD.shade(0.15f));
    });
    // A chair seen from the front, its high back rising above the shoulders
    // of the guest sitting on it; the seat and legs stand behind the
    // table's board.
    prop(gen, "prop_chair", 64, 148, [](Canvas& c) {
        for (float x : {8.0f, 50.0f}) c.fillRect(x, 94, 6, 52, Rgba(160, 80, 40));
        c.fillRect(2, 86, 60, 12, Rgba(220, 120, 60));
        c.roundRect(6, 2, 52, 90, 14, Rgba(220, 120, 60));
        c.roundRect(14, 10, 36, 30, 8, Rgba(240, 150, 90));
    });
    // The small round table beside a VIP's place, for the glass it leaves.
    prop(gen, "prop_side_table", 56, 46, [](Canvas& c) {
        c.fillRect(25, 14, 6, 28, WOOD_DARK);
        c.ellipse(28, 42, 13, 3.5f, WOOD_DARK);
        c.ellipse(28, 11, 26, 8, WOOD_DARK);
        c.ellipse(28, 10, 24, 6.5f, WOOD.shade(0.15f));
    });
    prop(gen, "prop_center_1", 40, 50, [](Canvas& c) { Art::flower(c, 20, 18, 14, CORAL, GOLD); c.fillRect(17, 30, 6, 18, LEAF_DARK); });
    prop(gen, "prop_center_2", 60, 70, [](Canvas& c) {
        c.roundRect(18, 40, 24, 28, 6, Rgba(90, 170, 200));
        Art::flower(c, 30, 20, 14, CORAL, GOLD);
        Art::flower(c, 14, 30, 10, Rgba(170, 110, 230), GOLD);
        Art::flower(c, 46, 30, 10, GOLD, CORAL);
    });
    prop(gen, "prop_mantel_1", 184, 44, [](Canvas& c) { tablecloth(c, WHITE); });
    prop(gen, "prop_mantel_2", 184, 44, [](Canvas& c) {
        tablecloth(c, Rgba(240, 120, 140));
        for (int i = 0; i < 11; ++i) c.ellipse(12 + i * 16.0f, 30, 3, 3, WHITE);
    });
    prop(gen, "prop_juicer", 70, 100, [](Canvas& c) {
        c.roundRect(8, 10, 54, 86, 8, Rgba(240, 240, 245));
        c.roundRect(16, 18, 38, 34, 6, Rgba(250, 160, 50, 220));
        c.fillRect(30, 60, 10, 18, Rgba(120, 120, 130));
    });
    prop(gen, "prop_parrot_stand", 70, 130, [](Canvas& c) {
        c.fillRect(32, 30, 6, 96, WOOD_DARK);
        c.fillRect(12, 30, 46, 6, WOOD);
        c.ellipse(35, 126, 22, 4, WOOD_DARK);
    });
    prop(gen, "prop_dispenser", 70, 80, [](Canvas& c) {
        c.roundRect(10, 30, 50, 46, 6, Rgba(90, 170, 200));
        for (int i = 0; i < 4; ++i) {
            float x = 18 + i * 11.0f;
            c.line(x, 34, x + i - 2, 6, 2, WOOD_DARK);
            c.polygon({{x + i - 2, 6}, {x + i + 8, 10}, {x + i - 2, 15}}, i % 2 ? CORAL : GOLD);
        }
    });
    prop(gen, "prop_sink", 90, 60, [](Canvas& c) {
        c.roundRect(4, 14, 82, 42, 6, Rgba(170, 175, 185));
        c.roundRect(12, 18, 66, 22, 6, Rgba(120, 190, 220));
        c.line(70, 14, 70, 2, 3, Rgba(150, 150, 160));
    });
    for (int n = 1; n <= 4; ++n) {
        Canvas c(80, 140);
        static const Rgba COLOURS[] = {Rgba(230, 90, 70), Rgba(70, 160, 210), Rgba(240, 170, 40), Rgba(150, 90, 200)};
        c.fillRect(36, 60, 8, 80, WOOD_DARK);
        c.roundRect(4, 4, 72, 62, 8, COLOURS[n - 1]);
        c.star(40, 28, 16, 7, 5, 0, GOLD);
        c.outline(INK, 1.2f);
        gen.set.addImage(COMMON, "prop_show_" + std::to_string(n), c);
    }
}

// A glass on the waitress's tray. The tray's places lie closer together
// than a glass in hand is wide and tall, so the tray's glasses are drawn
// smaller, their umbrellas laid down: each shows its drink beside or above
// the ones before it. An outline keeps the small glasses apart where they
// do meet.
Canvas trayGlass(int nKind, const Rgba& drink, float fFill, bool bDecorated) {
    const float SCALE = 0.35f;
    Canvas c(24, 20);
    Art::glass(c, 10, 19, SCALE, nKind, drink, fFill);
    if (bDecorated) Art::decoration(c, 10, 19, SCALE, nKind, true);
    c.outline(Palette::INK.withAlpha(160), 0.8f);
    return c;
}

// The glass the waitress carries and the customers drink from: standing
// (clean, empty or full of drink N), held while drinking and carried on the
// tray, in every heading of its carrier ("stand_<h>_<contents>",
// "drink_<h>_<contents>", "tray_<h>_<contents>").
void makeMug(Generator& gen) {
    std::ostringstream anim;
    anim << "fps 2\n";
    auto save = [&](const std::string& sName, const Canvas& c) {
        gen.set.addImage(COMMON, sName, c);
        anim << "load " << sName << "\ninspos center bottom " << sName << "\n";
    };
    Canvas clean(40, 50), dirty(40, 50);
    Art::glass(clean, 20, 48, 1.0f, 0, Rgba(0, 0, 0, 0), 0);
    Art::glass(dirty, 20, 48, 1.0f, 0, Rgba(200, 180, 150, 90), 0.15f);
    save("mug_clean", clean);
    save("mug_dirty", dirty);
    save("mug_tray_clean", trayGlass(0, Rgba(0, 0, 0, 0), 0, false));
    save("mug_tray_dirty", trayGlass(0, Rgba(200, 180, 150, 90), 0.15f, false));
    for (int d = 0; d < Art::DRINK_COUNT; ++d) {
        Canvas full(40, 50), half(40, 50);
        Art::glass(full, 20, 48, 1.0f, d, Art::drinkColour(d), 0.85f);
        Art::glass(half, 20, 48, 1.0f, d, Art::drinkColour(d), 0.45f);
        save("mug_drink" + std::to_string(d), full);
        save("mug_drink" + std::to_string(d) + "_half", half);
        // Taller, with the same foot: the umbrella stands above the rim.
        Canvas fullDecorated(48, 66), halfDecorated(48, 66);
        for (Canvas* pCanvas : {&fullDecorated, &halfDecorated}) {
            Art::glass(*pCanvas, 24, 64, 1.0f, d, Art::drinkColour(d), pCanvas == &fullDecorated ? 0.85f : 0.45f);
            Art::decoration(*pCanvas, 24, 64, 1.0f, d);
            pCanvas->outline(Palette::INK.withAlpha(140), 0.8f);
        }
        save("mug_drink" + std::to_string(d) + "_deco", fullDecorated);
        save("mug_drink" + std::to_string(d) + "_half_deco", halfDecorated);
        save("mug_tray_drink" + std::to_string(d), trayGlass(d, Art::drinkColour(d), 0.85f, false));
        save("mug_tray_drink" + std::to_string(d) + "_deco", trayGlass(d, Art::drinkColour(d), 0.85f, true));
    }
    for (const char* pszHeading : {"n", "e", "s", "w"}) {
        std::string sH = pszHeading;
        anim << "seq stand_" << sH << "_limpio\nadd mug_clean\nseq stand_" << sH << "_empty\nadd mug_dirty\n";
        anim << "seq drink_" << sH << "_limpio\nadd mug_clean\nseq drink_" << sH << "_empty\nadd mug_dirty\n";
        anim << "seq tray_" << sH << "_limpio\nadd mug_tray_clean\nseq tray_" << sH << "_empty\nadd mug_tray_dirty\n";
        for (int d = 0; d < Art::DRINK_COUNT; ++d)
            for (const char* pszLook : {"", "_deco"}) {
                std::string sLook = pszLook;
                std::string sDrink = "drink" + std::to_string(d);
                anim << "seq stand_" << sH << "_" << sDrink << sLook << "\nadd mug_" << sDrink << sLook << "\n";
                anim << "seq tray_" << sH << "_" << sDrink << sLook << "\nadd mug_tray_" << sDrink << sLook << "\n";
                anim << "seq drink_" << sH << "_" << sDrink << sLook << " fps 1\nadd mug_" << sDrink << sLook
                     << "\nadd mug_" << sDrink << "_half" << sLook << "\nadd mug_dirty\n";
            }
    }
    anim << "default stand_s_limpio\n";
    gen.set.addText(COMMON, "mug.anim", anim.str());
}

// A figure of the bar's staff or show: frames drawn by a painter per pose.
template <class Paint>
void figureAnim(Generator& gen, const std::string& sFile, const std::string& sPrefix, const char* pszSequences,
                int nFrames, Paint paint) {
    std::ostringstream anim;
    anim << "fps 6\n";
    std::string sSeqs = pszSequences;
    size_t nStart = 0;
    int nSeq = 0;
    while (nStart < sSeqs.size()) {
        size_t nEnd = sSeqs.find(' ', nStart);
        if (nEnd == std::string::npos) nEnd = sSeqs.size();
        std::string sSeq = sSeqs.substr(nStart, nEnd - nStart);
        std::ostringstream adds;
        for (int f = 0; f < nFrames; ++f) {
            Canvas c(FigureShape::WIDTH, FigureShape::HEIGHT);
            paint(c, nSeq, f);
            std::string sName = sPrefix + sSeq + "_" + std::to_string(f);
            gen.set.addImage(COMMON, sName, c);
            anim << "load " << sName << "\ninspos center bottom " << sName << "\n";
            adds << "add " << sName << "\n";
        }
        anim << "seq " << sSeq << " fps 4 loop\n" << adds.str();
        nStart = nEnd + 1;
        ++nSeq;
    }
    anim << "default " << sSeqs.substr(0, sSeqs.find(' ')) << "\n";
    gen.set.addText(COMMON, sFile, anim.str());
}

// The play field's seagull and the balloon over a customer who wants a
// click.
void makeFieldExtras(Generator& gen) {
    using namespace Palette;
    std::ostringstream gull;
    gull << "fps 8\n";
    for (int f = 0; f < 4; ++f) {
        Canvas c(36, 26);
        float fWing = f == 0 ? -8 : f == 1 ? -2 : f == 2 ? 5 : -2;
        c.line(4, 12 + fWing, 18, 15, 2.5f, WHITE);
        c.line(32, 12 + fWing, 18, 15, 2.5f, WHITE);
        c.ellipse(18, 16, 4, 2.5f, WHITE);
        c.outline(Rgba(90, 90, 100), 1.0f);
        std::string sName = "seagull_" + std::to_string(f);
        gen.set.addImage(COMMON, sName, c);
        gull << "load " << sName << "\ninspos center middle " << sName << "\n";
    }
    gull << "seq fly fps 8 loop\nadd seagull_0\nadd seagull_1\nadd seagull_2\nadd seagull_1\ndefault fly\n";
    gen.set.addText(COMMON, "seagull.anim", gull.str());

    std::ostringstream balloon;
    balloon << "fps 4\n";
    for (int f = 0; f < 2; ++f) {
        Canvas c(48, 56);
        c.ellipse(24, 22 - f, 21, 19, WHITE);
        c.polygon({{16, 36.0f - f}, {26, 38.0f - f}, {12, 52}}, WHITE);
        c.outline(INK, 1.5f);
        gen.text.draw(c, "!", 24, 8.0f - f, 22, CORAL, TextDrawer::CENTER);
        std::string sName = "balloon_" + std::to_string(f);
        gen.set.addImage(COMMON, sName, c);
        balloon << "load " << sName << "\ninspos center center " << sName << "\n";
    }
    balloon << "seq show fps 3 loop\nadd balloon_0\nadd balloon_1\ndefault show\n";
    gen.set.addText(COMMON, "balloon.anim", balloon.str());

    // The play screen's options button.
    Canvas options = Art::buttonFace(64, 40, 0, Rgba(60, 150, 190), 10);
    options.star(20, 19, 10, 7, 8, 0, WHITE);
    options.ellipse(20, 19, 3, 3, Rgba(60, 150, 190));
    gen.text.draw(options, "Menu", 44, 11, 11, WHITE, TextDrawer::CENTER, true);
    gen.set.addImage(COMMON, "game_options_button", options);
    // The plate under the play screen's clock and money: their white text
    // reads on it over any sky, the day's or the night's.
    Canvas plate(150, 62);
    plate.roundRect(0, 0, 150, 62, 10, WOOD);
    plate.roundRect(2, 2, 146, 58, 9, WOOD_DARK);
    gen.set.addImage(COMMON, "hud_plate", plate);
    // Taps, a cooler of bottles: the drinks a bar always has.
    Canvas tap(40, 60);
    tap.fillRect(16, 10, 8, 44, Rgba(170, 175, 185));
    tap.roundRect(8, 4, 24, 12, 5, Rgba(200, 205, 215));
    tap.fillRect(24, 30, 10, 6, Rgba(170, 175, 185));
    tap.roundRect(12, 52, 16, 8, 3, WOOD_DARK);
    tap.outline(INK, 1.2f);
    gen.set.addImage(COMMON, "prop_tap", tap);
    Canvas cooler(90, 70);
    cooler.roundRect(4, 10, 82, 56, 8, Rgba(60, 140, 200));
    cooler.roundRect(10, 4, 70, 14, 6, WHITE);
    for (int i = 0; i < 4; ++i) cooler.roundRect(16 + i * 16.0f, 20, 10, 26, 3, Art::drinkColour(i + 2).withAlpha(255));
    cooler.outline(INK, 1.2f);
    gen.set.addImage(COMMON, "prop_cooler", cooler);
}

// What a guest wants, drawn the same way in the balloon over the guest and on
// the sign of the source that gives it: the glass of the drink on a disc of
// its colour.
// A decorated glass (fDecorated, its scale in the badge, above 0) stands
// lower, so that its umbrella stays on the disc.
void drinkBadge(Canvas& c, float cx, float cy, float r, int nDrink, float fDecorated = 0.0f) {
    Rgba colour = Art::drinkColour(nDrink).withAlpha(255);
    c.ellipse(cx, cy, r, r, colour.shade(0.55f));
    c.ring(cx, cy, r, 2.0f, colour.shade(-0.1f));
    float fScale = r / 21.0f * (fDecorated > 0.0f ? fDecorated : 1.0f);
    float yFoot = cy + r * (fDecorated > 0.0f ? 0.88f : 0.78f);
    Art::glass(c, cx - (fDecorated > 0.0f ? 2.0f : 0.0f), yFoot, fScale, nDrink, Art::drinkColour(nDrink), 0.85f);
    if (fDecorated > 0.0f) Art::decoration(c, cx - 2.0f, yFoot, fScale, nDrink);
}

// The order balloons (one per drink), the signs of the drink sources, and the
// patience meter, full to nearly empty.
void makeOrders(Generator& gen) {
    using namespace Palette;
    for (int d = 0; d < Art::DRINK_COUNT; ++d) {
        Canvas balloon(60, 66);
        balloon.ellipse(30, 28, 28, 26, WHITE);
        balloon.polygon({{20, 48}, {33, 51}, {16, 64}}, WHITE);
        Canvas decorated = balloon;
        drinkBadge(balloon, 30, 28, 21, d);
        balloon.outline(INK, 1.5f);
        gen.set.addImage(COMMON, "order_drink" + std::to_string(d), balloon);
        // The order that wants the glass decorated: the same badge with the
        // glass drawn smaller and lower, its umbrella inside the balloon.
        drinkBadge(decorated, 30, 28, 21, d, 0.78f);
        decorated.outline(INK, 1.5f);
        gen.set.addImage(COMMON, "order_drink" + std::to_string(d) + "_deco", decorated);

        Canvas sign(36, 40);
        sign.roundRect(1, 1, 34, 38, 6, WOOD_DARK);
        sign.roundRect(3, 3, 30, 34, 5, PAPER);
        drinkBadge(sign, 18, 20, 14, d);
        sign.outline(INK, 1.0f);
        gen.set.addImage(COMMON, "sign_drink" + std::to_string(d), sign);
    }
    static const Rgba STEPS[] = {Rgba(225, 50, 40), Rgba(240, 135, 35), Rgba(240, 205, 45), Rgba(150, 205, 60),
                                 Rgba(60, 185, 75)};
    for (int nStep = 0; nStep < 5; ++nStep) {
        Canvas meter(50, 14);
        meter.roundRect(1, 1, 48, 12, 5, Rgba(60, 50, 45));
        for (int i = 0; i <= nStep; ++i) meter.roundRect(4 + i * 8.6f, 4, 7.4f, 6, 2, STEPS[nStep]);
        meter.outline(WHITE, 1.0f);
        gen.set.addImage(COMMON, "order_patience" + std::to_string(nStep), meter);
    }
}

void makeStaff(Generator& gen) {
    using namespace Palette;
    // Two barmen (the scene's variant number): shaking and pouring.
    figureAnim(gen, "barman.anim", "barman_", "idle_0 idle_1", 2, [](Canvas& c, int nSeq, int f) {
        FigureShape man(false, 2);
        Figure::body(c, man, skinColour(nSeq ? 'b' : 'a'));
        Figure::suit(c, man, nSeq ? Rgba(40, 40, 50) : Rgba(250, 250, 250), Rgba(200, 40, 40));
        Figure::hair(c, man, nSeq ? 4 : 1, hairColour('k'));
        if (nSeq == 0) c.roundRect(man.cx + 22, man.waistY - 20 - f * 12, 12, 22, 4, Rgba(190, 190, 200));
        if (nSeq == 1) Art::glass(c, man.cx + 28, man.waistY - f * 6.0f, 0.7f, 1, CORAL, 0.8f);
    });
    figureAnim(gen, "bongos.anim", "bongos_", "play idle", 2, [](Canvas& c, int nSeq, int f) {
        FigureShape man(false, 3);
        Figure::body(c, man, skinColour('b'));
        Figure::shirtAndShorts(c, man, 2, GOLD, SEA_DEEP);
        Figure::hat(c, man, Rgba(240, 220, 150));
        for (int s : {-1, 1}) {
            c.roundRect(man.cx + s * 16 - 11, man.waistY + 4, 22, 34, 6, WOOD);
            c.ellipse(man.cx + s * 16, man.waistY + 4, 11, 4, PAPER);
        }
        if (nSeq == 0) c.ellipse(man.cx + (f ? 16 : -16), man.waistY - 2, 6, 6, skinColour('b'));
    });
    figureAnim(gen, "parrot.anim", "parrot_", "stand_still stand_move talk", 2, [](Canvas& c, int nSeq, int f) {
        float cx = 55, fBob = nSeq == 1 && f ? 3 : 0;
        c.ellipse(cx, 130 + fBob, 16, 24, Rgba(60, 180, 70));
        c.ellipse(cx, 104 + fBob, 12, 12, Rgba(60, 180, 70));
        c.polygon({{cx + 8, 102 + fBob}, {cx + 20, 108 + fBob + (nSeq == 2 && f ? 3 : 0)}, {cx + 8, 112 + fBob}}, GOLD);
        c.ellipse(cx + 4, 100 + fBob, 3, 3, WHITE);
        c.ellipse(cx + 5, 100 + fBob, 1.5f, 1.5f, INK);
        c.polygon({{cx - 8, 144 + fBob}, {cx - 2, 176}, {cx + 4, 146 + fBob}}, Rgba(230, 60, 50));
        c.outline(INK, 1.2f);
    });
    figureAnim(gen, "juicer.anim", "juicer_", "idle work", 2, [](Canvas& c, int nSeq, int f) {
        c.roundRect(25, 90, 60, 96, 8, Rgba(240, 240, 245));
        c.roundRect(33, 98, 44, 38, 6, Rgba(250, 160, 50, 220));
        c.ellipse(55, 117, 10 + (nSeq && f ? 3 : 0), 10, Rgba(250, 200, 60));
        c.fillRect(50, 140, 10, 18, Rgba(120, 120, 130));
        c.outline(INK, 1.2f);
    });
}

// The dancer of the show: one parameter picks her dress ("a" to "c").
void makeDancer(Generator& gen) {
    static const Rgba DRESSES[] = {Rgba(240, 80, 120), Rgba(60, 180, 200), Rgba(250, 190, 50)};
    std::ostringstream anim;
    anim << "# The show's dancer; parameter: her dress, a to c. Made by contentgen.\nparams 1\nfps 6\n";
    for (int d = 0; d < 3; ++d) {
        std::string sLetter(1, static_cast<char>('a' + d));
        anim << (d == 0 ? "if" : "elif") << " == (0) " << sLetter << "\n";
        for (int f = 0; f < 4; ++f) {
            Canvas c(FigureShape::WIDTH, FigureShape::HEIGHT);
            FigureShape woman(true, 1);
            woman.cx += (f == 1 ? 4 : f == 3 ? -4 : 0);
            Figure::body(c, woman, skinColour('a'));
            Figure::skirt(c, woman, DRESSES[d]);
            Figure::bikiniTop(c, woman, DRESSES[d]);
            Figure::hair(c, woman, 3, hairColour('k'));
            Figure::flowerInHair(c, woman, Palette::CORAL);
            std::string sName = "bailarina_" + sLetter + "_" + std::to_string(f);
            gen.set.addImage(COMMON, sName, c);
            anim << "load " << sName << "\nclone " << sName << " dance" << f << "\n";
        }
    }
    anim << "else\nparams 2\nendif\n"; // an unknown dress names the fault
    anim << "inspos center bottom all\nseq dance fps 4 loop\nadd dance0\nadd dance1\nadd dance2\nadd dance3\n"
            "seq idle fps 2 loop\nadd dance0\ndefault dance\n";
    gen.set.addText(COMMON, "bailarina.template", anim.str());
}

} // namespace

void makeScenes(Generator& gen) {
    for (int n = 0; n < 5; ++n) {
        backdrop(gen, n);
        counter(gen, n);
    }
    makeFurniture(gen);
    makeMug(gen);
    makeFieldExtras(gen);
    makeOrders(gen);
    makeStaff(gen);
    makeDancer(gen);
}
