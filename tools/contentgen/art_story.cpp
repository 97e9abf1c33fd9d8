// The story pages (map.dat): comic pages of four panels each, with a
// caption under every panel, telling how the little bar grows.
#include "figure.h"
#include "generator.h"

#include <string>

namespace {

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

// One panel: the beach with a bar, a waitress and a guest or two.
void panel(Canvas& c, float x, float y, float w, float h, int nSeed, Generator& gen) {
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
    // The bar.
    p.fillRect(w * 0.45f, h * 0.45f, w * 0.45f, h * 0.35f, WOOD);
    p.polygon({{w * 0.4f, h * 0.5f}, {w * 0.675f, h * 0.28f}, {w * 0.95f, h * 0.5f}}, Rgba(215, 175, 85));
    for (int i = 0; i < 3; ++i) Art::glass(p, w * (0.52f + i * 0.12f), h * 0.45f, 0.6f, i + nSeed, Art::drinkColour(i + nSeed), 0.8f);
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
            panel(c, x, y, 360, 220, nSeed++, gen);
            gen.text.draw(c, page.apszCaptions[i], x + 180, y + 232, 20, INK, TextDrawer::CENTER, false);
        }
        gen.set.addImage("map.dat", page.pszName, c);
    }
}
