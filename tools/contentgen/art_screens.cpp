// The screens around the play field: the menu, the credits logo, the level
// dialogs' banners, the high-score background, the purchase dialog's pieces,
// the splash, and the small animations they play.
#include "generator.h"

#include <cmath>
#include <sstream>
#include <string>

namespace {

const char* const COMMON = "common.dat";

void logo(Generator& gen, Canvas& c, float x, float y, float fScale, bool bShadow) {
    using namespace Palette;
    Rgba ink = bShadow ? Rgba(20, 40, 60, 110) : CORAL;
    int nBig = static_cast<int>(64 * fScale), nSmall = static_cast<int>(26 * fScale);
    if (!bShadow) {
        Art::sun(c, x + 330 * fScale, y + 40 * fScale, 36 * fScale);
        Art::palm(c, x + 370 * fScale, y + 140 * fScale, 120 * fScale, -20 * fScale);
    }
    gen.text.draw(c, "Beach", x + 10 * fScale, y + 10 * fScale, nBig, ink, TextDrawer::LEFT, true, !bShadow);
    gen.text.draw(c, "Bar", x + 90 * fScale, y + 78 * fScale, nBig, bShadow ? ink : TURQUOISE, TextDrawer::LEFT, true,
                  !bShadow);
    gen.text.draw(c, "a day at the seaside", x + 30 * fScale, y + 158 * fScale, nSmall, bShadow ? ink : WHITE,
                  TextDrawer::LEFT, true, !bShadow);
}

void makeMenu(Generator& gen) {
    using namespace Palette;
    Canvas vetas(800, 600);
    vetas.clear(WOOD);
    vetas.stripes(0, 0, 800, 600, 14, WOOD.shade(-0.15f), 2);
    gen.set.addImage(COMMON, "menu_vetas", vetas);

    Canvas sky(800, 600);
    // No sun of its own: the logo above it brings one.
    Art::beachBackdrop(sky, 260, 360, gen);
    Art::cloud(sky, 420, 70, 1.1f);
    Art::cloud(sky, 720, 150, 0.8f);
    gen.set.addImage(COMMON, "menu_fondo_0", sky);
    Canvas palms(800, 600);
    Art::palm(palms, 470, 560, 330, 60);
    Art::palm(palms, 780, 600, 300, -40);
    gen.set.addImage(COMMON, "menu_fondo_1", palms);
    // The hut stands right of the sign post (menu_estatico_4, x 655 to 667)
    // and below its lower board, running on beyond the screen's edge: the
    // post stands on the sand, never in front of the bar.
    Canvas hut(800, 600);
    hut.fillRect(704, 370, 14, 150, WOOD_DARK);
    hut.polygon({{684, 380}, {800, 318}, {916, 380}}, Rgba(215, 180, 90));
    // Thatch: strokes that follow the roof's slopes.
    for (int i = 1; i < 8; ++i) {
        float t = i / 8.0f;
        hut.line(800, 320, 684 + 232 * t, 378, 1.5f, Rgba(180, 140, 60));
    }
    hut.fillRect(692, 430, 120, 70, WOOD);
    hut.stripes(692, 430, 120, 70, 10, WOOD.shade(-0.2f), 2);
    for (int i = 0; i < 2; ++i) Art::glass(hut, 730 + i * 45.0f, 428, 1.0f, i, Art::drinkColour(i), 0.8f);
    hut.outline(INK, 1.2f);
    gen.set.addImage(COMMON, "menu_fondo_2", hut);
    Canvas dunes(800, 600);
    dunes.ellipse(200, 650, 420, 120, SAND.shade(0.1f));
    dunes.ellipse(700, 660, 300, 90, SAND);
    Art::shell(dunes, 420, 575, 14, CORAL);
    dunes.star(90, 570, 16, 7, 5, 0.3f, Rgba(250, 150, 60));
    gen.set.addImage(COMMON, "menu_fondo_3", dunes);

    for (int i = 1; i <= 7; ++i) {
        Canvas c(800, 600);
        switch (i) {
        case 1: Art::paperPanel(c, 25, 410, 380, 130); break; // behind the play buttons
        case 2: Art::woodBoard(c, 590, 130, 150, 18); break;
        case 3: Art::woodBoard(c, 570, 285, 150, 18); break;
        case 4: c.fillRect(655, 150, 12, 440, WOOD_DARK); break; // the sign post
        case 5: Art::paperPanel(c, 40, 285, 350, 80); break;      // behind the welcome line
        case 6: Art::shell(c, 385, 540, 16, PAPER.shade(-0.1f)); break;
        default: c.star(30, 380, 18, 8, 5, 0.1f, CORAL); break;
        }
        gen.set.addImage(COMMON, "menu_estatico_" + std::to_string(i), c);
    }
    Canvas isologo(440, 200), shadow(440, 200);
    logo(gen, isologo, 0, 0, 1.0f, false);
    logo(gen, shadow, 0, 0, 1.0f, true);
    gen.set.addImage(COMMON, "menu_isologo", isologo);
    gen.set.addImage(COMMON, "menu_sombralogo", shadow);
    Canvas small(230, 105);
    logo(gen, small, 0, 0, 0.5f, false);
    gen.set.addImage(COMMON, "menu_isologo_chico", small);

    Canvas select(280, 40);
    Art::woodBoard(select, 0, 0, 280, 40);
    gen.text.draw(select, "Choose how to play", 140, 9, 16, WHITE, TextDrawer::CENTER, true, true);
    gen.set.addImage(COMMON, "menu_select", select);
    // As wide as the word and a space: the player's name follows it.
    Canvas welcome(gen.text.measure("Welcome,", 20, true) + 12, 34);
    gen.text.draw(welcome, "Welcome,", 4, 4, 20, INK, TextDrawer::LEFT);
    gen.set.addImage(COMMON, "menu_welcome", welcome);
    // The menu puts this picture's top 10 pixels above the player's name and
    // centres it on the name: the top stays clear so the name shows, and
    // the bubble hangs below it, pointing up.
    Canvas notme(170, 84);
    notme.roundRect(0, 52, 170, 32, 12, WHITE);
    notme.polygon({{78, 54}, {92, 54}, {85, 45}}, WHITE);
    notme.outline(INK, 1.2f);
    gen.text.draw(notme, "Not you? Click!", 85, 60, 14, INK, TextDrawer::CENTER);
    gen.set.addImage(COMMON, "menu_notme", notme);
    Canvas banner(130, 44);
    Art::woodBoard(banner, 0, 0, 130, 44);
    gen.text.draw(banner, "presents", 65, 12, 14, WHITE, TextDrawer::CENTER, true, true);
    gen.set.addImage(COMMON, "quil_small_ban", banner);

    Canvas splash(800, 600);
    // The logo brings its own sun.
    Art::beachBackdrop(splash, 280, 380, gen);
    logo(gen, splash, 180, 180, 1.0f, false);
    gen.set.addImage(COMMON, "splash_logo", splash);

    // The window's icon: a glass with a straw on a sunny disc.
    Canvas icon(32, 32);
    icon.ellipse(16, 16, 15, 15, GOLD);
    Art::glass(icon, 16, 28, 0.7f, 2, CORAL, 0.8f);
    icon.outline(INK, 1.0f);
    gen.set.addImage(COMMON, "app_icon", icon);
}

// No stars on it: a day's stars are the guests' own, summed in the rows under
// the banner, and a row of them here would read as a rating of the day.
Canvas banner(Generator& gen, const char* pszText, const Rgba& colour) {
    using namespace Palette;
    Canvas c(380, 150);
    c.roundRect(10, 30, 360, 90, 20, colour.shade(-0.4f));
    c.roundRect(14, 34, 352, 82, 18, colour);
    gen.text.draw(c, pszText, 190, 55, 34, WHITE, TextDrawer::CENTER, true, true);
    c.outline(INK, 1.2f);
    return c;
}

// A bamboo rail for the top edge of the purchase dialog's preview. The game
// stands it on the preview by its bottom-left corner, so it reaches upwards;
// when the dialog is at its shortest only the panel's top rim lies above the
// preview, and the rail must stay that thin to keep inside the panel.
Canvas previewRail() {
    const int WIDTH = 320, HEIGHT = 6, NODE_SPACING = 40;
    const Rgba BAMBOO(205, 175, 95), BAMBOO_LIGHT(238, 214, 140), BAMBOO_SHADE(150, 118, 58);
    Canvas rail(WIDTH, HEIGHT);
    rail.roundRect(0, 0, WIDTH, HEIGHT, 3, BAMBOO_SHADE);
    rail.roundRect(1, 0, WIDTH - 2, HEIGHT - 2, 2.5f, BAMBOO);
    rail.fillRect(3, 1, WIDTH - 6, 1, BAMBOO_LIGHT);
    for (int x = NODE_SPACING; x < WIDTH; x += NODE_SPACING) {
        rail.fillRect(x - 1, 0, 2, HEIGHT, BAMBOO_SHADE);
        rail.fillRect(x + 1, 1, 1, 1, BAMBOO_LIGHT);
    }
    return rail;
}

void makeDialogs(Generator& gen) {
    using namespace Palette;
    gen.set.addImage(COMMON, "youwin", banner(gen, "You made it!", Rgba(70, 180, 90)));
    gen.set.addImage(COMMON, "youlose", banner(gen, "Not this time...", Rgba(210, 90, 70)));
    gen.set.addImage(COMMON, "timesup", banner(gen, "Time's up!", Rgba(60, 150, 200)));

    Canvas congrats(420, 260);
    Art::paperPanel(congrats, 0, 0, 412, 252);
    for (int i = 0; i < 12; ++i) {
        float a = i * 0.5236f;
        congrats.line(206 + std::cos(a) * 40, 120 + std::sin(a) * 40, 206 + std::cos(a) * 90, 120 + std::sin(a) * 90, 3,
                      i % 2 ? GOLD : CORAL);
    }
    Art::glass(congrats, 206, 160, 2.0f, 1, Rgba(250, 120, 160, 220), 0.9f);
    gen.text.draw(congrats, "Congratulations!", 206, 18, 30, CORAL, TextDrawer::CENTER, true, true);
    gen.set.addImage(COMMON, "congrats", congrats);

    Canvas high(800, 600);
    Art::beachBackdrop(high, 200, 280, gen);
    Art::palm(high, 60, 600, 360, 40);
    Art::palm(high, 760, 600, 340, -30);
    Art::paperPanel(high, 100, 60, 600, 480);
    gen.set.addImage(COMMON, "high_back", high);

    Canvas fondo(80, 45);
    fondo.gradientRect(0, 0, 80, 45, SEA, SEA_DEEP);
    gen.set.addImage(COMMON, "ui_fondo_azul", fondo);
    // A coaster seen from the side, its canvas no larger than the coaster:
    // the middle of its top face (20, 6) is where a glass stands.
    Canvas coaster(40, 13);
    coaster.ellipse(20, 7, 18, 5, Rgba(200, 150, 90));
    coaster.ellipse(20, 6, 14, 3.5f, Rgba(230, 190, 130));
    gen.set.addImage(COMMON, "posavaso_1", coaster);
    gen.set.addImage(COMMON, "mask_buyupgrade", previewRail());
    for (int n = 1; n <= 2; ++n) {
        Canvas tray(150, 90);
        float fHalf = n == 1 ? 50 : 66;
        tray.ellipse(75, 60, fHalf, 18, Rgba(160, 165, 175));
        tray.ellipse(75, 57, fHalf - 4, 14, Rgba(220, 225, 235));
        for (int i = 0; i < (n == 1 ? 4 : 6); ++i)
            Art::glass(tray, 75 - fHalf + 18 + i * (2 * fHalf - 36) / (n == 1 ? 3 : 5), 60, 0.7f, i, CORAL, 0.0f);
        tray.outline(INK, 1.2f);
        gen.set.addImage(COMMON, "buyupgrade_bandeja" + std::to_string(n) + "_normal", tray);
    }
    // Small enough for the sky above a bar's name board, where it hides no
    // station, sign, balloon or the waitress; its letters as large as the name's.
    Canvas closing(212, 40);
    Art::woodBoard(closing, 2, 6, 188, 33);
    gen.text.draw(closing, "Bar closed!", 96, 11, 22, WHITE, TextDrawer::CENTER, true, true);
    closing.ball(194, 11, 10, 9, Rgba(60, 180, 70));
    closing.polygon({{202, 9}, {211, 13}, {202, 17}}, Rgba(250, 200, 50));
    gen.set.addImage(COMMON, "parrot_banner_closing", closing);
}

// Olvy, the waitress in a window of the results dialog: happy or sad.
void makeOlvy(Generator& gen) {
    using namespace Palette;
    std::ostringstream anim;
    anim << "fps 4\n";
    for (int nSad = 0; nSad < 2; ++nSad)
        for (int f = 0; f < 2; ++f) {
            Canvas c(120, 120);
            c.roundRect(0, 0, 120, 120, 12, WOOD_DARK);
            c.gradientRect(6, 6, 108, 108, SKY_TOP, SKY_BOTTOM);
            c.ellipse(60, 66, 34, 36, Rgba(248, 210, 180));
            c.ellipse(60, 40, 36, 20, Rgba(120, 60, 30));
            for (int s : {-1, 1}) c.ellipse(60 + s * 13, 62, 4, nSad ? 3.0f : 5.0f - f, INK);
            if (nSad) c.polygon({{46, 92}, {74, 92}, {60, 84}}, Rgba(200, 60, 70));
            else c.polygon({{44, 84}, {76, 84}, {60, 96 + f * 2.0f}}, Rgba(200, 60, 70));
            std::string sName = std::string(nSad ? "olvy_sad_" : "olvy_happy_") + std::to_string(f);
            gen.set.addImage(COMMON, sName, c);
            anim << "load " << sName << "\n";
        }
    anim << "seq happy fps 3 loop\nadd olvy_happy_0\nadd olvy_happy_1\n"
            "seq sad fps 2 loop\nadd olvy_sad_0\nadd olvy_sad_1\ndefault happy\n";
    gen.set.addText(COMMON, "olvywindow.anim", anim.str());
}

// The menu queues this while it runs: the loading dialog's clock, ticking.
void makeClockAnim(Generator& gen) {
    std::ostringstream anim;
    anim << "fps 10\nmload clock_$ 1 20\nseq tick fps 10 loop\nmadd clock_$ 1 20\ndefault tick\n";
    gen.set.addText(COMMON, "clock.anim", anim.str());
}

} // namespace

void makeScreens(Generator& gen) {
    makeMenu(gen);
    makeDialogs(gen);
    makeOlvy(gen);
    makeClockAnim(gen);
}
