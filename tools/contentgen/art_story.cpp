// The story pages (map.dat): comic pages of four panels each, with a
// caption under every panel, telling how the little bar grows.
#include "figure.h"
#include "generator.h"

#include <string>

namespace {

// How the bar looks in a panel: the first page's panels tell how the old
// hut became the bar, every later one shows it open.
enum HutLook { HUT_OPEN, HUT_OLD, HUT_PAINTING };
const HutLook FIRST_PAGE_LOOKS[] = {HUT_OLD, HUT_OLD, HUT_PAINTING, HUT_OPEN};

struct Page {
    const char* pszName;
    const char* apszCaptions[4];
};

const Page PAGES[] = {
    {"historieta_1", {"Olvy finds an old hut", "on a sunny beach.", "A little paint...", "...and the Tiki bar opens!"}},
    {"historieta_1a", {"The first guests", "come for a drink.", "Olvy runs and serves,", "and the tips roll in."}},
    {"historieta_2", {"Word gets around:", "a deck by the water!", "More tables,", "more thirsty guests."}},
    {"historieta_3", {"The sun goes down", "and the music starts.", "The night bar", "is the place to be."}},
    {"historieta_4a", {"A cruise ship", "asks for a bar on board.", "Olvy packs her tray", "and sets sail."}},
    {"historieta_4b", {"On the high sea", "the guests are many.", "Waves or not,", "no drink is spilled."}},
    {"historieta_5a", {"Back on land,", "a grand hotel calls.", "Marble and palms:", "the finest bar yet."}},
    {"historieta_5b", {"The famous come", "to Olvy's bar.", "Every day", "a little busier."}},
    {"historieta_6a", {"The season ends.", "Olvy counts the takings.", "She did it:", "the best bar on the isle!"}},
    {"historieta_6b", {"A party for everyone", "on the beach.", "See you", "next summer!"}},
};

// The hut of a panel w by h: grey, its planks gaping, before the paint; its
// front half painted, the pot and brush at its foot; or open, glasses on
// the counter.
void hut(Canvas& p, float w, float h, HutLook look, int nSeed) {
    using namespace Palette;
    const Rgba WEATHERED(150, 140, 125), OLD_THATCH(170, 160, 130);
    float left = w * 0.45f, top = h * 0.45f, width = w * 0.45f, height = h * 0.35f;
    p.fillRect(left, top, width, height, look == HUT_OPEN ? WOOD : WEATHERED);
    if (look == HUT_PAINTING) p.fillRect(left, top, width * 0.55f, height, WOOD);
    if (look != HUT_OPEN) {
        for (int i = 1; i < 5; ++i) p.line(left, top + height * i / 5, left + width, top + height * i / 5, 1.5f, INK);
        p.fillRect(left + width * 0.7f, top + height * 0.25f, width * 0.18f, height * 0.12f, INK);  // a plank gone
    }
    Rgba thatch = look == HUT_OLD ? OLD_THATCH : Rgba(215, 175, 85);
    p.polygon({{w * 0.4f, h * 0.5f}, {w * 0.675f, h * 0.28f}, {w * 0.95f, h * 0.5f}}, thatch);
    if (look == HUT_OLD) p.polygon({{w * 0.74f, h * 0.36f}, {w * 0.8f, h * 0.4f}, {w * 0.72f, h * 0.44f}}, INK);
    if (look == HUT_PAINTING) {
        float xPot = left + width * 0.62f, yPot = top + height + h * 0.08f;
        p.roundRect(xPot, yPot - h * 0.1f, w * 0.06f, h * 0.1f, 2, Rgba(120, 130, 150));
        p.ellipse(xPot + w * 0.03f, yPot - h * 0.1f, w * 0.03f, h * 0.015f, WOOD);
        p.line(xPot + w * 0.08f, yPot - h * 0.02f, xPot + w * 0.14f, yPot - h * 0.14f, 3, WOOD_DARK);
        p.line(xPot + w * 0.14f, yPot - h * 0.14f, xPot + w * 0.16f, yPot - h * 0.18f, 5, WOOD);
    }
    if (look != HUT_OPEN) return;
    for (int i = 0; i < 3; ++i)
        Art::glass(p, w * (0.52f + i * 0.12f), h * 0.45f, 0.6f, i + nSeed, Art::drinkColour(i + nSeed), 0.8f);
}

// One panel: the beach with a bar, a waitress and a guest or two.
void panel(Canvas& c, float x, float y, float w, float h, int nSeed, HutLook look, Generator& gen) {
    using namespace Palette;
    Canvas p(static_cast<int>(w), static_cast<int>(h));
    bool bNight = nSeed % 7 == 3;
    Art::beachBackdrop(p, static_cast<int>(h * 0.35f), static_cast<int>(h * 0.55f), gen);
    if (bNight) {
        for (int py = 0; py < p.height(); ++py)
            for (int px = 0; px < p.width(); ++px) {
                Rgba q = p.at(px, py);
                p.set(px, py, Rgba(q.r / 3, q.g / 3, q.b / 2 + 30));
            }
        p.ellipse(w * 0.8f, h * 0.15f, 14, 14, Rgba(250, 250, 220));
    } else {
        Art::sun(p, w * 0.8f, h * 0.15f, 16);
    }
    Art::palm(p, w * 0.12f, h * 0.95f, h * 0.7f, 20);
    hut(p, w, h, look, nSeed);
    // Olvy and a guest, small.
    Canvas figure(FigureShape::WIDTH, FigureShape::HEIGHT);
    FigureShape olvy(true, 1);
    Figure::body(figure, olvy, Rgba(248, 210, 180));
    Figure::dress(figure, olvy, CORAL);
    Figure::hair(figure, olvy, 5, Rgba(120, 60, 30));
    Canvas small(FigureShape::WIDTH / 2, FigureShape::HEIGHT / 2);
    for (int sy = 0; sy < small.height(); ++sy)
        for (int sx = 0; sx < small.width(); ++sx) small.set(sx, sy, figure.at(sx * 2, sy * 2));
    p.draw(small, static_cast<int>(w * 0.28f), static_cast<int>(h - small.height() - 4));
    if (nSeed % 2) {
        Canvas guest(FigureShape::WIDTH, FigureShape::HEIGHT);
        FigureShape man(false, 1 + nSeed % 3);
        Figure::body(guest, man, skinColour("wab"[nSeed % 3]));
        Figure::shirtAndShorts(guest, man, nSeed % 3, Art::drinkColour(nSeed), SEA_DEEP);
        Canvas tiny(FigureShape::WIDTH / 2, FigureShape::HEIGHT / 2);
        for (int sy = 0; sy < tiny.height(); ++sy)
            for (int sx = 0; sx < tiny.width(); ++sx) tiny.set(sx, sy, guest.at(sx * 2, sy * 2));
        p.draw(tiny, static_cast<int>(w * 0.62f), static_cast<int>(h - tiny.height() - 4));
    }
    c.fillRect(x - 4, y - 4, w + 8, h + 8, INK);
    c.draw(p, static_cast<int>(x), static_cast<int>(y));
}

} // namespace

void makeStoryPages(Generator& gen) {
    using namespace Palette;
    int nSeed = 0;
    for (const Page& page : PAGES) {
        Canvas c(800, 600);
        c.clear(PAPER);
        for (int i = 0; i < 4; ++i) {
            float x = 30 + (i % 2) * 380.0f, y = 24 + (i / 2) * 290.0f;
            panel(c, x, y, 360, 220, nSeed++, &page == PAGES ? FIRST_PAGE_LOOKS[i] : HUT_OPEN, gen);
            gen.text.draw(c, page.apszCaptions[i], x + 180, y + 232, 20, INK, TextDrawer::CENTER, false);
        }
        gen.set.addImage("map.dat", page.pszName, c);
    }
}
