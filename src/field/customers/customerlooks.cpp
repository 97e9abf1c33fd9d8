#include "field/customers/customerlooks.h"

#include "base/names.h"

#include "tsl2/random.h"

#include <cstring>

namespace {

int draw(int nCount) { return Tsl::gameRand() % nCount; }

const char* const s_apszBodies[] = {"ps_masc_%d_w", "ps_masc_%d_a", "ps_masc_%d_b",
                                    "ps_fem_%d_w",  "ps_fem_%d_a",  "ps_fem_%d_b"};
const char* const s_apszMenClothes[] = {"ps_masc_%d_x_ropa_1", "ps_masc_%d_x_ropa_2", "ps_masc_%d_x_ropa_3"};
const char* const s_apszNamedWomen[] = {"wac_betty",  "wac_motofem", "wac_wendy", "wac_vikinga",
                                        "wac_safari", "wac_punk",    "wac_nurse", "wac_geisha"};
const char* const s_apszVipKinds[] = {"vip", "vip_strong", "vip_fat", "vip_f", "vip_f", "vip_f"};
const char* const s_apszVipSkins[] = {"a", "b", "w"};
const char* const s_apszVipHairColours[] = {"b", "k", "r", "y"};
const char* const s_apszStrongHairStyles[] = {"a", "b", "c"};
const char* const s_apszVipWomanHairStyles[] = {"a", "b", "c", "d", "e", "f"};
const char* const s_apszVipAccessories[] = {"a", "b", "c"};
const char* const s_apszVipOutfitLetters[] = {"a", "b", "c", "d", "e"};
const char* const s_apszVipWomanDigits[] = {"1", "2", "3"};
const char* const s_apszBikiniTops[] = {"bikiniup_a", "bikiniup_b", "bikiniup_c", "bikiniup_d", "bikiniup_e"};
const char* const s_apszBottoms[] = {"bikinidown_a", "bikinidown_b", "bikinidown_c", "bikinidown_d",
                                     "bikinidown_e", "pollera_a",    "pollera_b",    "pollera_c"};
const char* const s_apszDresses[] = {"vestido_a", "vestido_b", "vestido_c"};
const char* const s_apszExtras12[] = {"a", "b", "c", "d", "null"};
const char* const s_apszExtra3[] = {"a", "b", "c", "null"};

// Hair rows: prefix and 22 suffixes per body number, men then women.
struct HairRow {
    const char* pszPrefix;
    const char* apszSuffixes[22];
};
const HairRow s_aMenHair[3] = {
    {"ps_masc_1_x_pelo_", {"b_1", "b_2", "b_3", "b_4", "b_5", "k_1", "k_2", "k_3", "k_4", "k_5", "r_1",
                           "r_2", "r_3", "r_4", "r_5", "x_1", "x_2", "y_1", "y_2", "y_3", "y_4", "y_5"}},
    {"ps_masc_2_x_pelo_", {"b_1", "b_2", "b_3", "b_4", "b_5", "k_1", "k_2", "k_3", "k_4", "k_5", "r_1",
                           "r_2", "r_3", "r_4", "r_5", "y_1", "y_2", "y_3", "y_4", "y_5", "y_4", "y_5"}},
    {"ps_masc_3_x_pelo_", {"b_1", "b_2", "b_3", "b_4", "k_1", "k_2", "k_3", "k_4", "r_1", "r_2", "r_3",
                           "r_4", "y_1", "y_2", "y_3", "y_4", "b_1", "b_2", "k_1", "k_2", "r_1", "r_2"}}};
const HairRow s_aWomenHair[3] = {
    {"ps_fem_1_x_pelo_", {"b_1", "b_2", "b_3", "k_1", "k_2", "k_3", "r_1", "r_2", "r_3", "x",   "y_1",
                          "y_2", "y_3", "b_1", "b_2", "b_3", "k_1", "k_2", "k_3", "r_1", "r_2", "r_3"}},
    {"ps_fem_2_X_pelo_", {"j_1", "j_2", "j_3", "k_1", "k_2", "k_3", "r_1", "r_2", "r_3", "x",   "y_1",
                          "y_2", "y_3", "j_1", "j_2", "j_3", "k_1", "k_2", "k_3", "r_1", "r_2", "r_3"}},
    {"ps_fem_3_x_pelo_", {"b_1", "b_2", "b_3", "k_1", "k_2", "k_3", "r_1", "r_2", "r_3", "y_1", "y_2",
                          "y_3", "b_1", "b_2", "b_3", "k_1", "k_2", "k_3", "r_1", "r_2", "r_3", "y_1"}}};

bool isThrownAwayHair(const Tsl::String& sHair) {
    return sHair == "ps_masc_1_x_pelo_x_1" || sHair == "ps_masc_1_x_pelo_x_2" || sHair == "ps_fem_1_x_pelo_x";
}

int voiceFor(bool bWoman) { return draw(2) + (bWoman ? 2 : 0); }

void drawOrdinaryOnce(CustomerLook& look) {
    int nBody = 1 + draw(3);
    int nKind = draw(6);
    bool bWoman = nKind >= 3;
    look.m_nVoice = voiceFor(bWoman);
    Tsl::String sBody = Tsl::String::format(s_apszBodies[nKind], nBody);
    const HairRow& row = bWoman ? s_aWomenHair[nBody - 1] : s_aMenHair[nBody - 1];
    Tsl::String sHair;
    int nBald = 1;
    for (int nTry = 0; nTry < MAX_LOOK_DRAWS; ++nTry) {
        sHair = Tsl::String(row.pszPrefix) + row.apszSuffixes[draw(22)];
        if (!bWoman) nBald = draw(20);
        if (!isThrownAwayHair(sHair)) break;
    }
    // Only a scripted draw can keep hitting the thrown-away entries.
    if (isThrownAwayHair(sHair)) sHair = Tsl::String(row.pszPrefix) + row.apszSuffixes[0];
    if (!bWoman && nBald == 0) sHair = "null";
    int nClothes = bWoman ? draw(nBody == 2 ? 10 : 8) : draw(3);
    Tsl::String sClothes = bWoman ? Tsl::String::format("ps_fem_%d_X_ropa_%d", nBody, nClothes + 1)
                                  : Tsl::String::format(s_apszMenClothes[nClothes], nBody);
    // Both flag draws are made for every customer.
    bool bFirst = draw(5) != 0 && !bWoman && nClothes <= 1;
    bool bSecond = draw(5) == 0 && !bWoman;
    look.m_sKey = Tsl::String(Names::DEF_HOMBRE) + sBody + sHair + sClothes;
    look.m_sTemplate = (!bWoman && nBody == 3) ? Names::MALE_FAT_TEMPLATE : Names::HOMBRE_TEMPLATE;
    look.m_lParams.clear();
    look.m_lParams.append(sBody);
    look.m_lParams.append(sHair);
    look.m_lParams.append(sClothes);
    look.m_lParams.append(bFirst ? "true" : "false");
    look.m_lParams.append(bSecond ? "true" : "false");
}

void drawVipWomanOutfit(int nOutfit, CustomerLook& look, Tsl::String& sOutfit) {
    int b = draw(8), d = draw(5), e = draw(3);
    const char *pszTop, *pszBottom, *pszThird;
    if (nOutfit == 0) {
        pszTop = e == 1 ? s_apszBikiniTops[d] : "null";
        pszBottom = s_apszDresses[e];
        pszThird = s_apszBottoms[d];
    } else if (b < 5) {
        pszTop = s_apszBikiniTops[b];
        pszBottom = s_apszBottoms[b];
        pszThird = "null";
    } else {
        pszTop = s_apszBikiniTops[d];
        pszBottom = s_apszBottoms[b];
        pszThird = s_apszBottoms[d];
    }
    look.m_lParams.append(pszTop);
    look.m_lParams.append(pszBottom);
    look.m_lParams.append(pszThird);
    sOutfit = Tsl::String(pszTop) + pszBottom;
    const char* apszExtras[] = {s_apszExtras12[draw(5)], s_apszExtras12[draw(5)], s_apszExtra3[draw(4)]};
    for (const char* pszExtra : apszExtras) {
        look.m_lParams.append(pszExtra);
        sOutfit += pszExtra;
    }
}

void drawVipOnce(CustomerLook& look) {
    int v = draw(6);
    Tsl::String sKind = s_apszVipKinds[v];
    bool bWoman = v >= 3;
    int nSkin = draw(3);
    look.m_nVoice = voiceFor(bWoman);
    look.m_lParams.clear();
    Tsl::String sDigit;
    if (bWoman) {
        sDigit = s_apszVipWomanDigits[draw(3)];
        look.m_lParams.append(sDigit);
    }
    look.m_lParams.append(s_apszVipSkins[nSkin]);
    int h = draw(4);
    Tsl::String sHair;
    if (bWoman) {
        sHair = Tsl::String(s_apszVipWomanHairStyles[h]) + "_" + s_apszVipHairColours[h];
    } else if (draw(20) == 0) {
        sHair = "null";
    } else {
        sHair = s_apszVipHairColours[h];
        if (sKind == "vip_strong") sHair = Tsl::String(s_apszStrongHairStyles[draw(3)]) + "_" + sHair;
    }
    look.m_lParams.append(sHair);
    int o = draw(4);
    Tsl::String sOutfit;
    if (bWoman) {
        drawVipWomanOutfit(o, look, sOutfit);
    } else {
        int nLetters = sKind == "vip_strong" ? 5 : sKind == "vip" ? 3 : 2;
        const char* pszLetter = s_apszVipOutfitLetters[draw(nLetters)];
        const char* pszAccessory = o == 3 ? "null" : s_apszVipAccessories[o];
        bool bNecklace = sKind == "vip" && o == 2;
        look.m_lParams.append(pszLetter);
        look.m_lParams.append(pszAccessory);
        look.m_lParams.append("a");
        look.m_lParams.append("a");
        sOutfit = Tsl::String(pszLetter) + "_" + pszAccessory + "aa";
        if (sKind != "vip_strong") {
            sHair = "null";
            look.m_lParams.getNode(1)->data = "null";
        }
        sOutfit += (draw(2) == 0 && !bNecklace) ? "null" : "necklace";
    }
    look.m_sKey = sKind + sDigit + s_apszVipSkins[nSkin] + sHair + sOutfit;
    look.m_sTemplate = sKind + ".template";
}

template <class DrawOnce>
bool drawUnused(const Tsl::List<Tsl::String>& lInUse, CustomerLook& look, DrawOnce drawOnce) {
    for (int nTry = 0; nTry < MAX_LOOK_DRAWS; ++nTry) {
        drawOnce(look);
        if (lInUse.indexOf(look.m_sKey) < 0) return true;
    }
    return false;
}

}  // namespace

bool drawOrdinaryLook(const Tsl::List<Tsl::String>& lInUse, CustomerLook& look) {
    return drawUnused(lInUse, look, drawOrdinaryOnce);
}

bool drawVipLook(const Tsl::List<Tsl::String>& lInUse, CustomerLook& look) {
    return drawUnused(lInUse, look, drawVipOnce);
}

int drawNamedVoice(const char* pszName) {
    for (const char* pszWoman : s_apszNamedWomen)
        if (std::strcmp(pszName, pszWoman) == 0) return voiceFor(true);
    return voiceFor(false);
}
