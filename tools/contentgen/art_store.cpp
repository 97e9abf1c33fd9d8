// The store (store.dat): the shop with its counter, the items in their
// normal and highlighted looks, the stamps for sold-out and unavailable
// items, the salesman and the store's parrot.
#include "generator.h"

#include <cmath>
#include <functional>
#include <sstream>
#include <string>

namespace {

const char* const STORE = "store.dat";

void makeShop(Generator& gen) {
    using namespace Palette;
    Canvas c(800, 600);
    c.gradientRect(0, 0, 800, 330, Rgba(250, 225, 170), Rgba(235, 200, 140));
    c.stripes(0, 0, 800, 330, 40, Rgba(230, 190, 130), 18);
    // A window onto the beach.
    Canvas view(260, 140);
    Art::beachBackdrop(view, 60, 100, gen);
    c.draw(view, 500, 40);
    c.fillRect(496, 36, 268, 8, WOOD_DARK);
    c.fillRect(496, 176, 268, 8, WOOD_DARK);
    c.fillRect(496, 36, 8, 148, WOOD_DARK);
    c.fillRect(756, 36, 8, 148, WOOD_DARK);
    // Floor, shelves and the counter.
    c.gradientRect(0, 330, 800, 270, WOOD, WOOD_DARK);
    c.stripes(0, 330, 800, 270, 22, WOOD_DARK.shade(-0.1f), 2);
    c.fillRect(40, 180, 420, 12, WOOD_DARK);
    c.fillRect(40, 100, 420, 12, WOOD_DARK);
    c.fillRect(380, 330, 420, 110, WOOD);
    c.fillRect(380, 326, 420, 10, WOOD_DARK);
    c.stripes(380, 340, 420, 100, 16, WOOD_DARK, 2);
    Art::woodBoard(c, 40, 20, 300, 60);
    gen.text.draw(c, "Beach Supplies", 190, 36, 24, WHITE, TextDrawer::CENTER, true, true);
    // The bar along the bottom with the money and the speech.
    c.fillRect(0, 520, 800, 80, Rgba(245, 235, 205));
    c.fillRect(0, 518, 800, 4, WOOD_DARK);
    Art::shell(c, 520, 560, 16, CORAL);
    gen.set.addImage(STORE, "upgrade_store", c);
    Canvas mask(11, 330);
    mask.fillRect(0, 0, 11, 330, WOOD_DARK);
    gen.set.addImage(STORE, "store_mask", mask);
    Canvas bubble(130, 90);
    bubble.roundRect(0, 0, 126, 74, 16, WHITE);
    bubble.polygon({{20, 70}, {40, 70}, {14, 88}}, WHITE);
    bubble.outline(INK, 1.2f);
    gen.set.addImage(STORE, "store_globito_normal", bubble);
}

typedef std::function<void(Canvas&)> Painter;

// An item in its two looks: the highlight glows and is a little brighter.
void item(Generator& gen, const std::string& sName, int w, int h, const Painter& paint) {
    Canvas normal(w, h);
    paint(normal);
    normal.outline(Palette::INK, 1.3f);
    gen.set.addImage(STORE, sName + "_normal", normal);
    Canvas highlight(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgba p = normal.at(x, y);
            if (p.a) highlight.set(x, y, Rgba(255, 235, 110, 230));
        }
    highlight.outline(Rgba(255, 235, 110, 220), 4.0f);
    Canvas bright = normal;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgba p = bright.at(x, y);
            if (p.a) bright.set(x, y, p.shade(0.2f));
        }
    highlight.draw(bright, 0, 0);
    gen.set.addImage(STORE, sName + "_highlight", highlight);
}

void chair(Canvas& c, float x, float yBottom, const Rgba& colour) {
    c.fillRect(x - 14, yBottom - 40, 28, 6, colour);
    c.fillRect(x - 12, yBottom - 34, 4, 34, colour.shade(-0.3f));
    c.fillRect(x + 8, yBottom - 34, 4, 34, colour.shade(-0.3f));
    c.fillRect(x + 10, yBottom - 70, 4, 36, colour.shade(-0.3f));
    c.fillRect(x - 4, yBottom - 72, 18, 20, colour);
}

void sign(Canvas& c, int n) {
    static const Rgba COLOURS[] = {Rgba(230, 90, 70), Rgba(70, 160, 210), Rgba(240, 170, 40), Rgba(150, 90, 200)};
    c.fillRect(26, 60, 8, 90, Palette::WOOD_DARK);
    c.roundRect(2, 4, 56, 64, 8, COLOURS[n]);
    c.star(30, 26, 14, 6, 5, 0, Palette::GOLD);
    c.line(8, 52, 52, 52, 1, Palette::WHITE);
}

void makeItems(Generator& gen) {
    using namespace Palette;
    for (int n = 1; n <= 2; ++n)
        item(gen, "store_bandeja" + std::to_string(n), 110, 80, [n](Canvas& c) {
            float fHalf = n == 1 ? 40 : 50;
            c.ellipse(55, 55, fHalf, 14, Rgba(160, 165, 175));
            c.ellipse(55, 52, fHalf - 4, 10, Rgba(220, 225, 235));
            for (int i = 0; i < (n == 1 ? 4 : 6); ++i)
                Art::glass(c, 55 - fHalf + 14 + i * (2 * fHalf - 28) / (n == 1 ? 3 : 5), 54, 0.6f, i, CORAL, 0);
        });
    item(gen, "store_sillas", 240, 130, [](Canvas& c) {
        for (int i = 0; i < 4; ++i) chair(c, 40 + i * 55.0f, 126, Rgba(220, 120, 60));
    });
    item(gen, "store_jugomatic", 100, 140, [](Canvas& c) {
        c.roundRect(15, 20, 70, 110, 10, Rgba(240, 240, 245));
        c.roundRect(25, 30, 50, 40, 8, Rgba(250, 160, 50, 220));
        c.ellipse(50, 50, 12, 12, Rgba(250, 200, 60));
        c.fillRect(44, 80, 12, 20, Rgba(120, 120, 130));
        Art::glass(c, 50, 128, 0.8f, 0, Rgba(250, 150, 40, 220), 0.6f);
    });
    item(gen, "store_parrot_stand", 90, 150, [](Canvas& c) {
        c.fillRect(42, 40, 6, 104, WOOD_DARK);
        c.fillRect(20, 40, 50, 6, WOOD);
        c.ellipse(45, 146, 26, 5, WOOD_DARK);
    });
    item(gen, "store_decos", 115, 120, [](Canvas& c) {
        c.roundRect(20, 40, 75, 74, 8, Rgba(90, 170, 200));
        for (int i = 0; i < 5; ++i) {
            float x = 32 + i * 13.0f;
            c.line(x, 44, x - 4 + i * 2, 10, 2, WOOD_DARK);
            c.polygon({{x - 4 + i * 2, 10}, {x + 8 + i * 2, 14}, {x - 4 + i * 2, 20}}, i % 2 ? CORAL : GOLD);
        }
    });
    for (int n = 1; n <= 2; ++n)
        item(gen, "store_centros" + std::to_string(n), 200, 160, [n](Canvas& c) {
            c.ellipse(100, 110, 90, 26, n == 2 ? Rgba(240, 120, 140) : WHITE);
            c.fillRect(94, 110, 12, 46, WOOD_DARK);
            Art::flower(c, 100, 70, 22, CORAL, GOLD);
            if (n == 2) Art::flower(c, 70, 82, 14, Rgba(170, 110, 230), GOLD), Art::flower(c, 130, 82, 14, GOLD, CORAL);
        });
    for (int n = 0; n < 4; ++n) item(gen, "store_cartel" + std::to_string(n + 1), 60, 150, [n](Canvas& c) { sign(c, n); });
    for (int n = 1; n <= 2; ++n)
        item(gen, "store_badboy" + std::to_string(n), 90, 150, [n](Canvas& c) {
            Rgba shirt = n == 1 ? Rgba(40, 40, 50) : Rgba(200, 60, 60);
            c.ellipse(45, 30, 16, 18, Rgba(230, 190, 150));
            c.ellipse(45, 20, 17, 10, Rgba(30, 30, 30));
            c.polygon({{20, 52}, {70, 52}, {64, 146}, {26, 146}}, shirt);
            c.fillRect(38, 52, 14, 12, WHITE);
            for (int s : {-1, 1}) c.roundRect(45 + s * 7 - 5, 26, 10, 6, 3, Rgba(20, 20, 30));
        });
}

void stamp(Generator& gen, const std::string& sName, int w, int h, const char* pszText, const Rgba& colour) {
    Canvas c(w, h);
    c.roundRect(0, 0, w, h, 8, colour);
    c.roundRect(3, 3, w - 6, h - 6, 6, colour.shade(0.2f));
    gen.text.draw(c, pszText, w / 2.0f, h / 2.0f - 9, 15, Palette::WHITE, TextDrawer::CENTER, true, true);
    gen.set.addImage(STORE, sName, c);
}

void makeStamps(Generator& gen) {
    Rgba red(210, 50, 50, 230), grey(110, 110, 120, 230);
    stamp(gen, "store_soldout_low", 110, 34, "SOLD OUT", red);
    stamp(gen, "store_soldout_high", 110, 34, "SOLD OUT", red);
    stamp(gen, "store_soldout_1", 80, 34, "SOLD", red);
    stamp(gen, "store_soldout_2", 80, 34, "SOLD", red);
    stamp(gen, "store_na_barman1", 80, 34, "LATER", grey);
    stamp(gen, "store_na_barman2", 80, 34, "LATER", grey);
    stamp(gen, "store_na_low", 110, 34, "NOT YET", grey);
}

// salesman.anim: blink, normal, talk, sad, smile. The "normal" sprite is
// the body, the other sequences draw the face over it.
void makeSalesman(Generator& gen) {
    using namespace Palette;
    const int W = 150, H = 200;
    std::ostringstream anim;
    anim << "fps 6\n";
    auto save = [&](const std::string& sName, const Canvas& c) {
        gen.set.addImage(STORE, sName, c);
        anim << "load " << sName << "\ninspos center bottom " << sName << "\n";
    };
    Canvas body(W, H);
    body.polygon({{30, 120}, {120, 120}, {130, 200}, {20, 200}}, Rgba(60, 150, 200));
    body.stripes(30, 130, 90, 70, 12, Rgba(250, 250, 250, 160), 3);
    body.fillRect(68, 100, 14, 22, Rgba(230, 185, 140));
    body.ellipse(75, 70, 34, 38, Rgba(230, 185, 140));
    body.ellipse(75, 40, 40, 14, Rgba(240, 220, 160));
    body.fillRect(48, 18, 54, 24, Rgba(240, 220, 160));
    body.fillRect(48, 34, 54, 5, CORAL);
    body.outline(INK, 1.4f);
    save("salesman_body", body);
    struct Face {
        const char* pszName;
        float fEyeOpen, fMouthOpen, fSmile;
    };
    static const Face FACES[] = {{"open", 4, 0, 3},  {"shut", 0.6f, 0, 3}, {"talk", 4, 5, 1},
                                 {"sad", 2.5f, 0, -5}, {"smile", 4, 2, 8}};
    for (const Face& f : FACES) {
        Canvas c(W, H);
        for (int s : {-1, 1}) {
            c.ellipse(75 + s * 12, 66, 5, std::max(f.fEyeOpen, 0.8f), WHITE);
            if (f.fEyeOpen > 1) c.ellipse(75 + s * 12, 66, 2.2f, 2.2f, INK);
        }
        c.ellipse(75, 80, 10, 5, Rgba(200, 140, 100));
        if (f.fMouthOpen > 0) c.ellipse(75, 92, 8, f.fMouthOpen, Rgba(150, 40, 50));
        else c.polygon({{63, 92}, {87, 92}, {75, 92 + f.fSmile}}, Rgba(150, 40, 50));
        save(std::string("salesman_") + f.pszName, c);
    }
    anim << "seq normal loop\nadd salesman_body\n"
            "seq blink fps 6 loop\nadd salesman_open repeat 14\nadd salesman_shut\n"
            "seq talk fps 8 loop\nadd salesman_talk\nadd salesman_open\n"
            "seq sad fps 4 loop\nadd salesman_sad\n"
            "seq smile fps 4 loop\nadd salesman_smile\n"
            "default normal\n";
    gen.set.addText(STORE, "salesman.anim", anim.str());
}

// The live parrot of the store: "normal" first, "highlight" with as many frames.
void makeStoreParrot(Generator& gen) {
    using namespace Palette;
    std::ostringstream anim;
    anim << "fps 4\n";
    for (int nHighlight = 0; nHighlight < 2; ++nHighlight)
        for (int f = 0; f < 4; ++f) {
            Canvas c(90, 150);
            c.fillRect(42, 70, 6, 74, WOOD_DARK);
            c.fillRect(20, 70, 50, 6, WOOD);
            float fBob = f % 2 ? 2 : 0;
            c.ellipse(45, 48 + fBob, 16, 22, Rgba(60, 180, 70));
            c.ellipse(45, 26 + fBob, 12, 12, Rgba(60, 180, 70));
            c.polygon({{53, 24 + fBob}, {64, 30 + fBob}, {53, 34 + fBob}}, GOLD);
            c.ellipse(49, 23 + fBob, 3, 3, WHITE);
            c.ellipse(50, 23 + fBob, 1.5f, 1.5f, INK);
            c.polygon({{36, 60 + fBob}, {42, 92}, {48, 62 + fBob}}, Rgba(230, 60, 50));
            c.outline(INK, 1.3f);
            if (nHighlight) {
                Canvas glow(90, 150);
                for (int y = 0; y < 150; ++y)
                    for (int x = 0; x < 90; ++x)
                        if (c.at(x, y).a) glow.set(x, y, Rgba(255, 235, 110, 230));
                glow.outline(Rgba(255, 235, 110, 220), 4.0f);
                glow.draw(c, 0, 0);
                c = glow;
            }
            std::string sName = std::string("store_parrot_") + (nHighlight ? "hi_" : "") + std::to_string(f);
            gen.set.addImage(STORE, sName, c);
            anim << "load " << sName << "\ninspos center middle " << sName << "\n";
        }
    anim << "seq normal fps 4 loop\n";
    for (int f = 0; f < 4; ++f) anim << "add store_parrot_" << f << "\n";
    anim << "seq highlight fps 4 loop\n";
    for (int f = 0; f < 4; ++f) anim << "add store_parrot_hi_" << f << "\n";
    anim << "default normal\n";
    gen.set.addText(STORE, "store_parrot.anim", anim.str());
}

} // namespace

void makeStore(Generator& gen) {
    makeShop(gen);
    makeItems(gen);
    makeStamps(gen);
    makeSalesman(gen);
    makeStoreParrot(gen);
}
