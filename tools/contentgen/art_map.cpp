// The story map (map.dat): the island over the sea, the six sites in their
// three looks, the trail's flowers, the marker, palms and seagulls, and the
// emitters of clouds, boats and fish.
#include "generator.h"

#include <cmath>
#include <sstream>
#include <string>

namespace {

const char* const MAP = "map.dat";

struct Box {
    int l, t, r, b;
    bool isEmpty() const { return r <= l || b <= t; }
    float width() const { return float(r - l); }
    float height() const { return float(b - t); }
    float centreX() const { return (l + r) / 2.0f; }
};
struct Site {
    const char* pszName;
    int l, t, r, b;
    const char* pszCaption;
    // Where the building stands: the trail crosses most hot rectangles and
    // its flowers are drawn above the sites, so each site keeps to the part
    // of its rectangle that the flowers leave free. The second box, when
    // there is one, holds a smaller piece (a sign, a boardwalk, a wing).
    Box building;
    Box annex;
};
// The hot rectangles the map screen uses; each site is drawn inside its own,
// clear of the trail.
const Site SITES[] = {{"tiki", 59, 138, 164, 231, "Tiki", {89, 183, 164, 231}, {}},
                      {"deck", 149, 333, 266, 417, "Deck", {149, 336, 188, 403}, {149, 403, 266, 417}},
                      {"night", 441, 270, 528, 341, "Night", {441, 288, 484, 329}, {441, 270, 528, 288}},
                      {"cruise", 603, 132, 783, 222, "Cruise", {603, 157, 748, 206}, {}},
                      {"hotel", 578, 431, 693, 520, "Hotel", {578, 431, 615, 502}, {666, 440, 693, 520}},
                      {"upgrade", 317, 100, 420, 162, "Store", {317, 100, 420, 162}, {}}};

// The trail of the story, one point per level; the map screen walks the
// marker along the same points and plants a flower on each.
const int ROUTE[50][2] = {
    {120, 163}, {75, 186},  {46, 211},  {47, 255},  {76, 288},  {113, 275}, {155, 307}, {197, 303}, {230, 320}, {215, 345},
    {208, 383}, {247, 364}, {272, 331}, {307, 323}, {332, 348}, {365, 359}, {392, 337}, {428, 341}, {459, 355}, {492, 343},
    {504, 309}, {529, 336}, {570, 336}, {600, 307}, {642, 289}, {669, 253}, {633, 224}, {586, 210}, {571, 170}, {609, 142},
    {663, 135}, {718, 143}, {762, 179}, {750, 220}, {740, 271}, {753, 321}, {761, 362}, {731, 410}, {690, 424}, {652, 408},
    {602, 399}, {554, 417}, {525, 425}, {503, 463}, {522, 498}, {555, 511}, {589, 516}, {625, 516}, {652, 495}, {635, 460}};

bool nearSite(float x, float y, float fMargin);

// The island: sand around the sites and the trail, jungle between them,
// and the trail itself as a dashed path with a stepping stone per level.
void island(Canvas& c, Generator& gen) {
    using namespace Palette;
    struct Blob {
        float x, y, rx, ry;
    };
    static const Blob LAND[] = {{125, 240, 125, 130}, {290, 350, 150, 80},  {480, 330, 110, 80}, {600, 460, 110, 85},
                                {370, 140, 85, 55},   {610, 260, 90, 90},   {735, 330, 55, 110}, {220, 300, 60, 60}};
    for (const Blob& b : LAND) c.ellipse(b.x, b.y, b.rx + 14, b.ry + 14, SAND.shade(0.35f).withAlpha(200));
    for (const Blob& b : LAND) c.ellipse(b.x, b.y, b.rx, b.ry, SAND);
    Canvas jungle(c.width(), c.height());
    for (int i = 0; i < 700; ++i) {
        const Blob& b = LAND[i % 8];
        float a = gen.rnd(0, 6.283f), d = gen.rnd(0, 0.8f);
        float x = b.x + std::cos(a) * b.rx * d, y = b.y + std::sin(a) * b.ry * d;
        if (nearSite(x, y, 14)) continue;
        bool bNearTrail = false;
        for (const auto& p : ROUTE) bNearTrail |= std::fabs(p[0] - x) < 22 && std::fabs(p[1] - y) < 22;
        if (bNearTrail) continue;
        float r = gen.rnd(6, 13);
        jungle.ellipse(x, y, r, r * 0.85f, i % 3 ? LEAF : LEAF_DARK);
        jungle.ellipse(x - r * 0.3f, y - r * 0.3f, r * 0.4f, r * 0.35f, LEAF.shade(0.25f));
    }
    c.draw(jungle, 0, 0);
    c.outline(SAND_DARK.shade(-0.35f), 1.5f);
    for (int i = 0; i + 1 < 50; ++i) {
        float x0 = ROUTE[i][0], y0 = ROUTE[i][1], x1 = ROUTE[i + 1][0], y1 = ROUTE[i + 1][1];
        for (int k = 1; k < 6; k += 2) {
            float t0 = k / 6.0f, t1 = (k + 1) / 6.0f;
            c.line(x0 + (x1 - x0) * t0, y0 + (y1 - y0) * t0, x0 + (x1 - x0) * t1, y0 + (y1 - y0) * t1, 2.5f, WOOD.withAlpha(200));
        }
    }
    for (const auto& p : ROUTE) {
        c.ellipse(p[0], p[1] + 3, 11, 6, Rgba(0, 0, 0, 50));
        c.ellipse(p[0], p[1], 10, 6, SAND.shade(-0.1f));
    }
}

// A hut no taller than it is wide, standing on the box's floor.
void hut(Canvas& layer, const Box& box, const Rgba& roof, const Rgba& wall) {
    float w = box.width(), h = box.height() < w ? box.height() : w;
    float top = box.b - h;
    layer.fillRect(box.l + w * 0.2f, top + h * 0.45f, w * 0.6f, h * 0.5f, wall);
    layer.polygon({{box.l + 2.0f, top + h * 0.5f}, {box.centreX(), top + 4.0f}, {box.r - 2.0f, top + h * 0.5f}}, roof);
}

void ship(Canvas& layer, const Box& box) {
    using namespace Palette;
    float w = box.width(), h = box.height(), cx = box.centreX();
    layer.polygon({{box.l + 3.0f, box.t + h * 0.45f}, {box.r - 3.0f, box.t + h * 0.45f}, {box.r - 20.0f, box.b - 3.0f},
                   {box.l + 16.0f, box.b - 3.0f}},
                  WHITE);
    layer.fillRect(cx - w * 0.28f, box.t + h * 0.2f, w * 0.56f, h * 0.25f, Rgba(240, 240, 245));
    layer.fillRect(cx + 10, box.t + 2.0f, 14, h * 0.2f, CORAL);
}

void store(Canvas& layer, const Box& box) {
    using namespace Palette;
    float w = box.width(), h = box.height();
    layer.fillRect(box.l + 10.0f, box.t + h * 0.4f, w - 20, h * 0.55f, Rgba(240, 230, 200));
    layer.polygon({{box.l + 2.0f, box.t + h * 0.45f}, {box.centreX(), box.t + 4.0f}, {box.r - 2.0f, box.t + h * 0.45f}},
                  Rgba(70, 150, 200));
    layer.stripes(box.l + 10.0f, box.t + h * 0.4f, w - 20, 8, 4, CORAL, 3);
}

void tower(Canvas& layer, const Box& box) {
    using namespace Palette;
    layer.fillRect(box.l + 2.0f, box.t + 2.0f, box.width() - 4, box.height() - 4, Rgba(250, 240, 220));
    for (int y = box.t + 8; y + 8 < box.b - 4; y += 14)
        for (int x = box.l + 7; x + 7 < box.r - 2; x += 12) layer.fillRect(float(x), float(y), 7, 8, SEA);
}

void boardwalk(Canvas& layer, const Box& box) {
    using namespace Palette;
    layer.fillRect(float(box.l), float(box.t), box.width(), box.height(), WOOD_DARK);
    layer.stripes(float(box.l), float(box.t), box.width(), box.height(), 4, WOOD, 1);
}

void neonSign(Canvas& layer, const Box& box) {
    using namespace Palette;
    layer.roundRect(float(box.l), float(box.t), box.width(), box.height(), 4, Rgba(70, 50, 90));
    for (int i = 0; i < 6; ++i) layer.ellipse(box.l + 5.0f + i * (box.width() - 10) / 5, box.b - 3.0f, 1.5f, 1.5f, GOLD);
}

// The building and its annex, without outline or caption.
void siteBuilding(Canvas& layer, const Site& s) {
    using namespace Palette;
    std::string sName = s.pszName;
    if (sName == "cruise") {
        ship(layer, s.building);
    } else if (sName == "upgrade") {
        store(layer, s.building);
    } else if (sName == "hotel") {
        tower(layer, s.building);
        tower(layer, s.annex);
    } else if (sName == "night") {
        hut(layer, s.building, Rgba(90, 60, 130), Rgba(70, 50, 90));
        neonSign(layer, s.annex);
    } else if (sName == "deck") {
        hut(layer, s.building, Rgba(215, 170, 80), WOOD);
        boardwalk(layer, s.annex);
    } else {
        hut(layer, s.building, Rgba(215, 170, 80), WOOD);
    }
}

// The caption goes where the flowers leave it room: on the sign or the
// boardwalk when the site has one, else along the building's foot.
void siteCaption(Canvas& layer, const Site& s, int nLook, Generator& gen) {
    std::string sName = s.pszName;
    bool bOnAnnex = sName == "deck" || sName == "night";
    const Box& box = bOnAnnex ? s.annex : s.building;
    float fTop = bOnAnnex ? box.t + 1.0f : box.b - 18.0f;
    gen.text.draw(layer, s.pszCaption, box.centreX(), fTop, 13, nLook == 2 ? Palette::GOLD : Palette::WHITE,
                  TextDrawer::CENTER, true, true);
}

void siteDrawing(Canvas& c, const Site& s, int nLook, Generator& gen) {
    using namespace Palette;
    Canvas layer(800, 600);
    siteBuilding(layer, s);
    layer.outline(INK, 1.3f);
    if (nLook == 1) { // disabled: greyed, with a padlock
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x) {
                Rgba p = layer.at(x, y);
                int g = (p.r + p.g + p.b) / 3;
                layer.set(x, y, Rgba(g, g, g, p.a));
            }
        const Box& box = s.building;
        float cy = box.b - (box.height() < box.width() ? box.height() : box.width()) / 2;
        layer.roundRect(box.centreX() - 10, cy - 4, 20, 16, 4, Rgba(120, 120, 130));
        layer.ring(box.centreX(), cy - 5, 7, 3, Rgba(120, 120, 130));
    }
    if (nLook == 2) { // highlighted: a glow around it
        Canvas glow(800, 600);
        for (const Box* pBox : {&s.building, &s.annex})
            if (!pBox->isEmpty())
                glow.roundRect(pBox->l - 1.0f, pBox->t - 1.0f, pBox->width() + 2, pBox->height() + 2, 6, Rgba(255, 240, 120, 110));
        glow.draw(layer, 0, 0);
        layer = glow;
    }
    siteCaption(layer, s, nLook, gen);
    c.draw(layer, 0, 0);
}

bool nearSite(float x, float y, float fMargin) {
    for (const Site& s : SITES)
        if (x > s.l - fMargin && x < s.r + fMargin && y > s.t - fMargin && y < s.b + fMargin) return true;
    return false;
}

void makeSites(Generator& gen) {
    static const char* const LOOKS[] = {"_normal", "_disabled", "_highlight"};
    for (const Site& s : SITES)
        for (int nLook = 0; nLook < 3; ++nLook) {
            Canvas c(800, 600);
            siteDrawing(c, s, nLook, gen);
            gen.set.addImage(MAP, std::string("mapa_sitio_") + s.pszName + LOOKS[nLook], c);
        }
}

void makeFlowers(Generator& gen) {
    static const Rgba PETALS[] = {Rgba(250, 120, 150), Rgba(250, 190, 60), Rgba(170, 110, 230), Rgba(90, 170, 240),
                                  Rgba(240, 90, 70)};
    for (int n = 0; n <= 5; ++n)
        for (int nLarge = 0; nLarge < 2; ++nLarge) {
            float r = nLarge ? 15 : 9;
            Canvas c(nLarge ? 36 : 24, nLarge ? 36 : 24);
            Rgba petal = n == 0 ? Rgba(170, 190, 160) : PETALS[n - 1];
            Art::flower(c, c.width() / 2.0f, c.height() / 2.0f, r, petal, n == 0 ? Rgba(130, 150, 120) : Palette::GOLD);
            c.outline(Palette::INK.withAlpha(180), 1.0f);
            std::string sNumber = n == 0 ? "t" : std::to_string(n);
            gen.set.addImage(MAP, "mapa_flor_" + sNumber + (nLarge ? "_l" : "_s"), c);
        }
}

void makeMapPictures(Generator& gen) {
    using namespace Palette;
    Canvas sea(800, 600);
    sea.gradientRect(0, 0, 800, 600, SEA, SEA_DEEP);
    for (int i = 0; i < 80; ++i) {
        float x = gen.rnd(0, 800), y = gen.rnd(0, 600);
        sea.line(x, y, x + gen.rnd(8, 20), y, 1.5f, WHITE.withAlpha(90));
    }
    gen.set.addImage(MAP, "mapa_mar", sea);
    Canvas land(800, 600);
    island(land, gen);
    // The bottom strip carries the story's score and money, whose numbers
    // the map writes right-aligned on x 189 and 274 from y 563, and the
    // buttons from x 297; play modes without a story cover it with
    // "map_score_mask".
    land.gradientRect(0, 545, 800, 55, SAND, SAND_DARK);
    land.fillRect(0, 545, 800, 3, WOOD_DARK);
    gen.text.draw(land, "Score", 189, 548, 11, WOOD_DARK, TextDrawer::RIGHT, true);
    gen.text.draw(land, "Money $", 274, 548, 11, WOOD_DARK, TextDrawer::RIGHT, true);
    gen.set.addImage(MAP, "mapa", land);
    // Out at sea in a corner, where the buttons along the bottom cannot hide
    // it: a picture of its own, which the map places clear of its gulls.
    Canvas title(220, 40);
    gen.text.draw(title, "Sunny Isle", 110, 4, 22, WHITE, TextDrawer::CENTER, true, true);
    gen.set.addImage(MAP, "mapa_titulo", title);
    Canvas boat(800, 600);
    boat.polygon({{240, 120}, {300, 120}, {290, 134}, {250, 134}}, WOOD);
    boat.polygon({{268, 116}, {268, 70}, {296, 114}}, WHITE);
    boat.outline(INK, 1.2f);
    gen.set.addImage(MAP, "mapa_nave_2", boat);
    for (int nRight = 0; nRight < 2; ++nRight) {
        Canvas edge(16, 590);
        edge.hGradientRect(0, 0, 16, 590, nRight ? WOOD.withAlpha(0) : WOOD_DARK, nRight ? WOOD_DARK : WOOD.withAlpha(0));
        gen.set.addImage(MAP, nRight ? "mapa_mask_right" : "mapa_mask_left", edge);
    }
    Canvas marker(30, 40);
    marker.ellipse(15, 14, 12, 12, CORAL);
    marker.polygon({{5, 20}, {25, 20}, {15, 38}}, CORAL);
    marker.ellipse(15, 14, 5, 5, WHITE);
    marker.outline(INK, 1.3f);
    gen.set.addImage(MAP, "map_ico", marker);
    Canvas scoreMask(800, 55);
    scoreMask.gradientRect(0, 0, 800, 55, SAND, SAND_DARK);
    scoreMask.fillRect(0, 0, 800, 3, WOOD_DARK);
    gen.set.addImage(MAP, "map_score_mask", scoreMask);
}

// Palms that sway on the map: each sequence is four frames of one palm,
// placed through its insertion point (the sprites stand at 0, 0). Their
// feet are chosen off the trail and their fronds below the sites, so that
// no flower, no stop of the marker and no site stands under a palm.
void makeMapAnimations(Generator& gen) {
    std::ostringstream anim;
    anim << "fps 4\n";
    static const float PALMS[3][2] = {{200, 206}, {330, 280}, {692, 310}};
    static const char* const SEQS[] = {"palm_a", "palm_b", "palm_c"};
    for (int p = 0; p < 3; ++p) {
        for (int f = 0; f < 4; ++f) {
            Canvas c(90, 110);
            Art::palm(c, 45, 106, 90, (f == 1 || f == 2 ? 6.0f : 0.0f) + (f == 2 ? 4.0f : 0.0f) - 3);
            c.outline(Palette::INK.withAlpha(160), 1.0f);
            std::string sName = std::string("map_") + SEQS[p] + "_" + std::to_string(f);
            gen.set.addImage(MAP, sName, c);
            anim << "load " << sName << "\ninspos " << -static_cast<int>(PALMS[p][0] - 45) << " "
                 << -static_cast<int>(PALMS[p][1] - 106) << " " << sName << "\n";
        }
        anim << "seq " << SEQS[p] << " fps " << 3 + p << " loop\n";
        for (int f = 0; f < 4; ++f) anim << "add map_" << SEQS[p] << "_" << f << "\n";
    }
    anim << "default palm_a\n";
    gen.set.addText(MAP, "palm_map.anim", anim.str());

    // Seagulls: a large and a middle-sized one, flapping.
    for (int nLarge = 0; nLarge < 2; ++nLarge) {
        std::ostringstream gull;
        std::string sBase = nLarge ? "gav_chica" : "gav_media";
        float s = nLarge ? 1.0f : 0.7f;
        gull << "fps 8\n";
        for (int f = 0; f < 4; ++f) {
            Canvas c(static_cast<int>(44 * s) + 4, static_cast<int>(30 * s) + 4);
            float cx = c.width() / 2.0f, cy = c.height() / 2.0f;
            float fWing = (f == 0 ? -10 : f == 1 ? -3 : f == 2 ? 6 : -3) * s;
            c.line(cx - 18 * s, cy + fWing, cx, cy + 2 * s, 3 * s, Palette::WHITE);
            c.line(cx + 18 * s, cy + fWing, cx, cy + 2 * s, 3 * s, Palette::WHITE);
            c.ellipse(cx, cy + 3 * s, 5 * s, 3 * s, Palette::WHITE);
            c.outline(Rgba(90, 90, 100), 1.0f);
            std::string sName = sBase + "_" + std::to_string(f);
            gen.set.addImage(MAP, sName, c);
            gull << "load " << sName << "\ninspos center middle " << sName << "\n";
        }
        gull << "seq fly fps 8 loop\n";
        for (int f = 0; f < 4; ++f) gull << "add " << sBase << "_" << f << "\n";
        gull << "seq glide fps 2 loop\nadd " << sBase << "_1\ndefault fly\n";
        gen.set.addText(MAP, sBase + ".anim", gull.str());
    }
}

void makeEmitters(Generator& gen) {
    for (int i = 1; i <= 2; ++i) {
        Canvas c(120, 60);
        Art::cloud(c, 60, 32, i == 1 ? 1.1f : 0.8f);
        gen.set.addImage(MAP, "map_cloud_" + std::to_string(i), c);
    }
    Canvas boat(40, 30);
    boat.polygon({{4, 18}, {36, 18}, {31, 26}, {9, 26}}, Palette::WOOD);
    boat.polygon({{20, 16}, {20, 2}, {32, 16}}, Palette::WHITE);
    boat.outline(Palette::INK, 1.0f);
    gen.set.addImage(MAP, "map_boat", boat);
    Canvas fish(20, 12);
    fish.ellipse(8, 6, 7, 4, Rgba(250, 160, 60, 200));
    fish.polygon({{14, 6}, {20, 1}, {20, 11}}, Rgba(250, 160, 60, 200));
    gen.set.addImage(MAP, "map_fish", fish);

    // The map places its cloud emitters on the right half and at x 800:
    // the clouds drift left across it. A few are there from the start, born
    // anywhere over the map and fading in, so the sky is never empty.
    gen.set.addText(MAP, "clouds.emitter",
                    "image map_cloud_1\nimage map_cloud_2\ntype rect\nrectsize 1600 300\nemissionrate 0.1\n"
                    "minparticles 2\nmaxparticles 6\nlifetimerange 40 60\nspeedtype absolute\n"
                    "speedrange -20 -14 0 0\nfadefracrange 0.1 0.1\nmaxalpha 0.8\n");
    gen.set.addText(MAP, "slowclouds.emitter",
                    "image map_cloud_2\ntype rect\nrectsize 10 300\nemissionrate 0.05\nminparticles 1\n"
                    "maxparticles 4\nlifetimerange 80 100\nspeedtype absolute\nspeedrange -10 -8 0 0\n"
                    "fadefracrange 0.1 0.1\nmaxalpha 0.6\n");
    gen.set.addText(MAP, "nave_0.emitter",
                    "image map_boat\ntype rect\nrectsize 10 40\nemissionrate 0.03\nmaxparticles 1\n"
                    "lifetimerange 60 60\nspeedtype absolute\nspeedrange 12 14 0 0\nfadefracrange 0.05 0.05\n");
    gen.set.addText(MAP, "nave_1.emitter",
                    "image map_boat\ntype rect\nrectsize 10 40\nemissionrate 0.02\nmaxparticles 1\n"
                    "lifetimerange 70 70\nspeedtype absolute\nspeedrange -12 -10 0 0\nfadefracrange 0.05 0.05\n");
    gen.set.addText(MAP, "shoal.emitter",
                    "image map_fish\ntype radial\nradiusrange 0 30\nemissionrate 2\nmaxparticles 8\n"
                    "lifetimerange 2 4\nspeedtype absolute\nspeedrange -20 20 -5 5\nfadefracrange 0.3 0.3\n"
                    "maxalpha 0.7\n");
    // The flowers' petals: the map hands each burst its flower's picture.
    gen.set.addText(MAP, "flowers.emitter",
                    "type radial\nradiusrange 0 6\nemissionrate 0\nminparticles 12\nmaxparticles 12\n"
                    "lifetimerange 0.8 1.2\nspeedtype radial\nspeedrange 60 120 60 120\n"
                    "accelerationrange 0 0 80 120\nstartscalerange 0.5 0.7\nendscalerange 0.2 0.3\n"
                    "fadefracrange 0 0.5\n");
    gen.set.addText(MAP, "flower_cannon.emitter",
                    "type rect\nrectsize 800 10\nemissionrate 20\nmaxparticles 60\nlifetimerange 1.5 2.5\n"
                    "speedtype absolute\nspeedrange -40 40 -260 -160\naccelerationrange 0 0 150 200\n"
                    "startscalerange 0.6 1\nendscalerange 0.3 0.5\nfadefracrange 0 0.3\n");
}

} // namespace

void makeMap(Generator& gen) {
    makeMapPictures(gen);
    makeSites(gen);
    makeFlowers(gen);
    makeMapAnimations(gen);
    makeEmitters(gen);
}
