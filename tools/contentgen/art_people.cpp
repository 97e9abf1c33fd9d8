// Customers: the part pictures the look templates stack (bodies and hair in
// chars0.dat, clothes in dresses.dat, the VIPs' parts in chars1.dat), the
// marks their sequences add, and the named characters.
#include "figure.h"
#include "generator.h"

#include <string>

namespace {

const char* const SKINS = "wab";
const Rgba CLOTH[] = {Rgba(230, 70, 70),  Rgba(60, 130, 220), Rgba(250, 200, 50), Rgba(70, 180, 90),
                      Rgba(240, 130, 200), Rgba(250, 150, 50), Rgba(140, 90, 200), Rgba(40, 180, 180),
                      Rgba(250, 250, 245), Rgba(60, 60, 80)};

Canvas blank() { return Canvas(FigureShape::WIDTH, FigureShape::HEIGHT); }

std::string num(int n) { return std::to_string(n); }

void makeOrdinaryBodies(Generator& gen) {
    for (int nWoman = 0; nWoman < 2; ++nWoman)
        for (int b = 1; b <= 3; ++b)
            for (const char* p = SKINS; *p; ++p) {
                Canvas c = blank();
                Figure::body(c, FigureShape(nWoman != 0, b), skinColour(*p));
                gen.set.addImage("chars0.dat", std::string(nWoman ? "ps_fem_" : "ps_masc_") + num(b) + "_" + *p, c);
            }
}

// Women's outfit n (1 to 10) of one body build.
void womanOutfit(Canvas& c, const FigureShape& f, int n) {
    const Rgba& a = CLOTH[n % 10];
    const Rgba& b = CLOTH[(n * 3 + 1) % 10];
    switch (n % 5) {
    case 0: Figure::dress(c, f, a); break;
    case 1: Figure::bikiniBottom(c, f, a); Figure::bikiniTop(c, f, a); break;
    case 2: Figure::skirt(c, f, a); Figure::bikiniTop(c, f, b); break;
    case 3: Figure::shirtAndShorts(c, f, 1, a, b); break;
    default: Figure::bikiniBottom(c, f, b); Figure::bikiniTop(c, f, a); Figure::necklace(c, f, Rgba(250, 250, 250)); break;
    }
}

void makeOrdinaryClothes(Generator& gen) {
    for (int b = 1; b <= 3; ++b) {
        FigureShape man(false, b);
        for (int n = 1; n <= 3; ++n) {
            Canvas c = blank();
            Figure::shirtAndShorts(c, man, n - 1, CLOTH[(n * 2 + b) % 10], CLOTH[(n + 5 + b) % 10]);
            gen.set.addImage("dresses.dat", "ps_masc_" + num(b) + "_x_ropa_" + num(n), c);
        }
        FigureShape woman(true, b);
        for (int n = 1; n <= (b == 2 ? 10 : 8); ++n) {
            Canvas c = blank();
            womanOutfit(c, woman, n + b);
            gen.set.addImage("dresses.dat", "ps_fem_" + num(b) + "_x_ropa_" + num(n), c);
        }
    }
}

void makeOrdinaryHair(Generator& gen) {
    static const int MEN_STYLES[] = {5, 5, 4};
    static const int WOMEN_STYLES[] = {3, 4, 5};
    for (int b = 1; b <= 3; ++b) {
        FigureShape man(false, b), woman(true, b);
        for (const char* pColour = "bkry"; *pColour; ++pColour) {
            for (int s = 1; s <= MEN_STYLES[b - 1]; ++s) {
                Canvas c = blank();
                Figure::hair(c, man, s, hairColour(*pColour));
                gen.set.addImage("chars0.dat", "ps_masc_" + num(b) + "_x_pelo_" + *pColour + "_" + num(s), c);
            }
            char cWomanColour = b == 2 && *pColour == 'b' ? 'j' : *pColour;
            for (int s = 1; s <= 3; ++s) {
                Canvas c = blank();
                Figure::hair(c, woman, WOMEN_STYLES[s - 1], hairColour(cWomanColour));
                gen.set.addImage("chars0.dat", "ps_fem_" + num(b) + "_x_pelo_" + cWomanColour + "_" + num(s), c);
            }
        }
    }
    // A head scarf: the one woman's look drawn without hair colour.
    FigureShape woman(true, 2);
    Canvas scarf = blank();
    scarf.ellipse(woman.cx, woman.headY - 5, woman.headR + 3, woman.headR - 2, CLOTH[4]);
    scarf.polygon({{woman.cx + 10, woman.headY - 4}, {woman.cx + 24, woman.headY + 10}, {woman.cx + 14, woman.headY + 12}}, CLOTH[4]);
    scarf.outline(Rgba(50, 30, 20), 1.0f);
    gen.set.addImage("chars0.dat", "ps_fem_2_x_pelo_x", scarf);
}

// The flags of ordinary customers and the marks every customer's
// sequences add (the shared sequence file blits them over the look).
void makeMarks(Generator& gen) {
    FigureShape man(false, 2);
    Canvas glasses = blank();
    Figure::sunglasses(glasses, man);
    gen.set.addImage("chars0.dat", "cust_sunglasses", glasses);
    Canvas hat = blank();
    Figure::hat(hat, man, Rgba(240, 220, 150));
    gen.set.addImage("chars0.dat", "cust_hat", hat);

    Canvas happy = blank();
    for (int i = 0; i < 2; ++i) {
        float x = 22 + i * 64.0f, y = 14 + i * 6.0f;
        happy.ellipse(x - 4, y, 5, 5, Palette::CORAL);
        happy.ellipse(x + 4, y, 5, 5, Palette::CORAL);
        happy.polygon({{x - 9, y + 1}, {x + 9, y + 1}, {x, y + 11}}, Palette::CORAL);
    }
    gen.set.addImage("chars0.dat", "cust_happy", happy);
    Canvas angry = blank();
    for (int s : {-1, 1}) angry.line(man.cx + s * 9, man.headY - 7, man.cx + s * 3, man.headY - 4, 2.5f, Rgba(60, 20, 10));
    angry.star(92, 14, 11, 5, 4, 0.4f, Rgba(230, 40, 30));
    angry.ellipse(man.cx, man.headY + 2, 13, 8, Rgba(230, 60, 40, 60));
    gen.set.addImage("chars0.dat", "cust_angry", angry);
}

// VIP men: kinds "vip", "vip_strong", "vip_fat"; the images the VIP
// templates name after their parameters.
void makeVipMen(Generator& gen) {
    struct Kind {
        const char* pszName;
        int nBuild;
        int nOutfits;
    };
    static const Kind KINDS[] = {{"vip", 2, 3}, {"vip_strong", 3, 5}, {"vip_fat", 3, 2}};
    for (const Kind& kind : KINDS) {
        FigureShape f(false, kind.nBuild);
        if (std::string(kind.pszName) == "vip_fat") f.halfWaist += 10, f.halfHip += 6;
        if (std::string(kind.pszName) == "vip_strong") f.halfShoulder += 6;
        std::string sBase = kind.pszName;
        for (const char* p = SKINS; *p; ++p) {
            Canvas c = blank();
            Figure::body(c, f, skinColour(*p));
            gen.set.addImage("chars1.dat", sBase + "_body_" + *p, c);
        }
        for (int i = 0; i < kind.nOutfits; ++i) {
            Canvas c = blank();
            Figure::suit(c, f, CLOTH[(i * 3 + 9) % 10].shade(-0.1f), CLOTH[(i + 8) % 10]);
            gen.set.addImage("chars1.dat", sBase + "_outfit_" + static_cast<char>('a' + i), c);
        }
        for (int i = 0; i < 3; ++i) {
            Canvas c = blank();
            if (i == 0) Figure::sunglasses(c, f);
            if (i == 1) Figure::watch(c, f);
            if (i == 2) Figure::cigar(c, f);
            gen.set.addImage("chars1.dat", sBase + "_acc_" + static_cast<char>('a' + i), c);
        }
        if (sBase != "vip_strong") continue;
        for (int s = 0; s < 3; ++s)
            for (const char* pColour = "bkry"; *pColour; ++pColour) {
                Canvas c = blank();
                Figure::hair(c, f, s + 1, hairColour(*pColour));
                gen.set.addImage("chars1.dat", sBase + "_hair_" + static_cast<char>('a' + s) + "_" + *pColour, c);
            }
    }
}

void vipWomanExtra(Canvas& c, const FigureShape& f, int nSlot, int i) {
    const Rgba& colour = CLOTH[(nSlot * 4 + i * 3) % 10];
    if (nSlot == 1) {
        if (i % 2) Figure::flowerInHair(c, f, colour);
        else Figure::earrings(c, f, Palette::GOLD);
    } else if (nSlot == 2) {
        if (i % 2) Figure::bag(c, f, colour);
        else Figure::necklace(c, f, colour);
    } else {
        if (i == 0) Figure::sunglasses(c, f);
        else Figure::hat(c, f, colour.shade(0.5f));
    }
}

void makeVipWomen(Generator& gen) {
    static const char* const HAIR[] = {"a_b", "b_k", "c_r", "d_y"};
    for (int d = 1; d <= 3; ++d) {
        FigureShape f(true, d);
        std::string sBase = "vip_f" + num(d);
        for (const char* p = SKINS; *p; ++p) {
            Canvas c = blank();
            Figure::body(c, f, skinColour(*p));
            gen.set.addImage("chars1.dat", sBase + "_body_" + *p, c);
        }
        for (int h = 0; h < 4; ++h) {
            Canvas c = blank();
            Figure::hair(c, f, 3 + h % 3, hairColour(HAIR[h][2]));
            gen.set.addImage("chars1.dat", sBase + "_hair_" + HAIR[h], c);
        }
        for (int i = 0; i < 5; ++i) {
            std::string sLetter(1, static_cast<char>('a' + i));
            Canvas top = blank(), bottom = blank();
            Figure::bikiniTop(top, f, CLOTH[i * 2 % 10]);
            Figure::bikiniBottom(bottom, f, CLOTH[i * 2 % 10]);
            gen.set.addImage("chars1.dat", sBase + "_bikiniup_" + sLetter, top);
            gen.set.addImage("chars1.dat", sBase + "_bikinidown_" + sLetter, bottom);
        }
        for (int i = 0; i < 3; ++i) {
            std::string sLetter(1, static_cast<char>('a' + i));
            Canvas skirt = blank(), dress = blank();
            Figure::skirt(skirt, f, CLOTH[(i * 3 + 1) % 10]);
            Figure::dress(dress, f, CLOTH[(i * 3 + 5) % 10]);
            gen.set.addImage("chars1.dat", sBase + "_pollera_" + sLetter, skirt);
            gen.set.addImage("chars1.dat", sBase + "_vestido_" + sLetter, dress);
        }
        for (int nSlot = 1; nSlot <= 3; ++nSlot)
            for (int i = 0; i < (nSlot == 3 ? 3 : 4); ++i) {
                Canvas c = blank();
                vipWomanExtra(c, f, nSlot, i);
                gen.set.addImage("chars1.dat", sBase + "_extra" + num(nSlot) + "_" + static_cast<char>('a' + i), c);
            }
    }
}

// Named characters: one finished figure each, which "ch_<name>.anim" loads.
void makeNamedCharacters(Generator& gen) {
    struct Named {
        const char* pszName;
        bool bWoman;
        int nBuild;
        char cSkin, cHair;
        int nHairStyle, nOutfit;
    };
    static const Named NAMED[] = {
        {"wac_betty", true, 2, 'w', 'y', 5, 1},   {"wac_motofem", true, 1, 'a', 'k', 3, 3},
        {"wac_wendy", true, 2, 'w', 'r', 4, 0},   {"wac_vikinga", true, 3, 'w', 'y', 3, 2},
        {"wac_safari", true, 2, 'a', 'b', 5, 3},  {"wac_punk", true, 1, 'w', 'x', 2, 4},
        {"wac_nurse", true, 2, 'b', 'k', 5, 0},   {"wac_geisha", true, 1, 'w', 'k', 5, 5},
        {"surfer", false, 1, 'a', 'y', 3, 1},     {"captain", false, 3, 'w', 'j', 1, 2},
    };
    for (const Named& n : NAMED) {
        FigureShape f(n.bWoman, n.nBuild);
        Canvas c = blank();
        Figure::body(c, f, skinColour(n.cSkin));
        if (n.bWoman) womanOutfit(c, f, n.nOutfit);
        else Figure::shirtAndShorts(c, f, n.nOutfit, CLOTH[n.nOutfit + 3], CLOTH[n.nOutfit + 6]);
        Figure::hair(c, f, n.nHairStyle, hairColour(n.cHair));
        if (std::string(n.pszName) == "captain") Figure::hat(c, f, Palette::WHITE);
        if (std::string(n.pszName) == "wac_nurse") Figure::hat(c, f, Palette::WHITE);
        if (std::string(n.pszName) == "wac_safari") Figure::hat(c, f, Rgba(200, 180, 120));
        if (std::string(n.pszName) == "wac_motofem") Figure::sunglasses(c, f);
        if (std::string(n.pszName) == "wac_geisha") Figure::flowerInHair(c, f, Palette::CORAL);
        gen.set.addImage("chars1.dat", std::string("ch_") + n.pszName, c);
    }
}

} // namespace

void makePeople(Generator& gen) {
    makeOrdinaryBodies(gen);
    makeOrdinaryClothes(gen);
    makeOrdinaryHair(gen);
    makeMarks(gen);
    makeVipMen(gen);
    makeVipWomen(gen);
    makeNamedCharacters(gen);
}
