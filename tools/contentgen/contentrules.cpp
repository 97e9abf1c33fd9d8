#include "contentrules.h"

#include "app/gameapp.h"
#include "ui/theme.h"

#include "tsl2/error.h"
#include "tsl2/random.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

// Random customer looks the check loads on top of the ones that show every
// part value once.
const int LOOKS_DRAWN = 200;

std::vector<std::string> split(const std::string& sLine) {
    std::vector<std::string> aTokens;
    std::istringstream in(sLine);
    std::string sToken;
    while (in >> sToken) aTokens.push_back(sToken);
    return aTokens;
}

// A line without its comment, trimmed.
std::string stripComment(const std::string& sLine) {
    std::string s = sLine.substr(0, sLine.find('#'));
    size_t nFirst = s.find_first_not_of(" \t\r\n");
    if (nFirst == std::string::npos) return "";
    return s.substr(nFirst, s.find_last_not_of(" \t\r\n") - nFirst + 1);
}

std::vector<std::string> lines(const std::string& sText) {
    std::vector<std::string> aLines;
    std::istringstream in(sText);
    std::string sLine;
    while (std::getline(in, sLine)) aLines.push_back(sLine);
    return aLines;
}

bool isInteger(const std::string& s) {
    size_t i = s[0] == '-' || s[0] == '+' ? 1 : 0;
    if (i >= s.size()) return false;
    for (; i < s.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

bool isNumber(const std::string& s) {
    char* pEnd = nullptr;
    std::strtod(s.c_str(), &pEnd);
    return !s.empty() && *pEnd == 0;
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string where(const std::string& sFile, int nLine) { return sFile + ", line " + std::to_string(nLine); }

// The texts the game hands to printf, with the conversions it passes.
const std::map<std::string, std::string>& formatKeys() {
    static const std::map<std::string, std::string> KEYS = {{"UPG_PRICE", "d"},      {"WKG_SALES", "d"},
                                                            {"WKG_CUSTOMER", "d"},   {"WKG_TIP", ""},
                                                            {"STATTIMEPLAYED", "dd"}, {"ABOUTVERFMT", "ddd"}};
    return KEYS;
}

// Parameter lists each template is checked with: both ends of every table.
const std::map<std::string, std::vector<std::vector<std::string>>>& templateParameters() {
    static const std::map<std::string, std::vector<std::vector<std::string>>> PARAMS = {
        {"waitress.template", {{"A"}, {"B"}}},
        {"bailarina.template", {{"a"}, {"b"}, {"c"}}},
    };
    return PARAMS;
}

// ---- customer looks: the part tables of the spawn manager ----------------

std::string pick(const std::vector<std::string>& aTable, int i) { return aTable[static_cast<size_t>(i) % aTable.size()]; }

std::vector<std::string> table(const std::string& sPattern) { return expandBraces(sPattern); }

// The hair row of a body: what the spawn manager draws from (never the
// entries it throws away).
std::vector<std::string> hairRow(bool bWoman, int b) {
    std::string sBody = std::to_string(b);
    if (!bWoman) return table("ps_masc_" + sBody + "_x_pelo_{b,k,r,y}_{1.." + (b == 3 ? "4" : "5") + "}");
    if (b == 2) {
        std::vector<std::string> aRow = table("ps_fem_2_X_pelo_{j,k,r,y}_{1..3}");
        aRow.push_back("ps_fem_2_X_pelo_x");
        return aRow;
    }
    return table("ps_fem_" + sBody + "_x_pelo_{b,k,r,y}_{1..3}");
}

std::vector<std::string> ordinaryLook(bool bWoman, int b, int i, bool bNoHair) {
    std::string sBody = std::to_string(b);
    std::vector<std::string> aBodies = table(std::string(bWoman ? "ps_fem_" : "ps_masc_") + sBody + "_{w,a,b}");
    std::vector<std::string> aClothes =
        bWoman ? table("ps_fem_" + sBody + "_X_ropa_{1.." + (b == 2 ? "10" : "8") + "}") : table("ps_masc_" + sBody + "_x_ropa_{1..3}");
    return {pick(aBodies, i), bNoHair ? "null" : pick(hairRow(bWoman, b), i), pick(aClothes, i), i % 2 ? "true" : "false",
            i % 3 ? "false" : "true"};
}

const std::vector<std::string>& vipManLetters(const std::string& sKind) {
    static const std::vector<std::string> STRONG = table("{a..e}"), VIP = table("{a..c}"), FAT = table("{a..b}");
    return sKind == "vip_strong" ? STRONG : sKind == "vip" ? VIP : FAT;
}

std::vector<std::string> vipManLook(const std::string& sKind, int i) {
    static const std::vector<std::string> SKINS = {"a", "b", "w"}, ACCESSORIES = {"a", "b", "c", "null"};
    std::vector<std::string> aHair = {"null"};
    if (sKind == "vip_strong") aHair = expandBraces("{a,b,c}_{b,k,r,y}"), aHair.push_back("null");
    return {pick(SKINS, i), pick(aHair, i), pick(vipManLetters(sKind), i), pick(ACCESSORIES, i), "a", "a"};
}

std::vector<std::string> vipWomanLook(int i) {
    static const std::vector<std::string> DIGITS = {"1", "2", "3"}, SKINS = {"a", "b", "w"},
                                          HAIR = {"a_b", "b_k", "c_r", "d_y"}, EXTRAS = {"a", "b", "c", "d", "null"},
                                          EXTRAS3 = {"a", "b", "c", "null"};
    std::vector<std::string> aTops = table("bikiniup_{a..e}"), aBikinis = table("bikinidown_{a..e}");
    aTops.push_back("null");
    std::vector<std::string> aBottoms = aBikinis;
    for (const char* pszPattern : {"pollera_{a..c}", "vestido_{a..c}"})
        for (const std::string& sName : table(pszPattern)) aBottoms.push_back(sName);
    std::vector<std::string> aThirds = aBikinis;
    aThirds.push_back("null");
    return {pick(DIGITS, i),    pick(SKINS, i), pick(HAIR, i),   pick(aTops, i),      pick(aBottoms, i),
            pick(aThirds, i), pick(EXTRAS, i), pick(EXTRAS, i + 2), pick(EXTRAS3, i)};
}

// Parameter lists that show every part value of a look template at least
// once, then nRandom more drawn from the same tables.
std::vector<std::vector<std::string>> lookParameterLists(const std::string& sTemplate, int nRandom) {
    std::vector<std::vector<std::string>> aLists;
    Tsl::Random random(7);
    auto draw = [&](int nCount, int nCoverage, const std::function<std::vector<std::string>(int)>& look) {
        for (int i = 0; i < nCoverage; ++i) aLists.push_back(look(i));
        for (int i = 0; i < nCount; ++i) aLists.push_back(look(random.getInt(0, 1 << 20)));
    };
    if (sTemplate == "hombre.template") {
        for (int b = 1; b <= 3; ++b) draw(nRandom / 5, 22, [b](int i) { return ordinaryLook(true, b, i, false); });
        for (int b = 1; b <= 2; ++b) draw(nRandom / 5, 22, [b](int i) { return ordinaryLook(false, b, i, i == 21); });
    } else if (sTemplate == "male_fat.template") {
        draw(nRandom / 5, 22, [](int i) { return ordinaryLook(false, 3, i, i == 21); });
    } else if (sTemplate == "vip_f.template") {
        draw(nRandom / 2, 22, vipWomanLook);
    } else if (sTemplate.compare(0, 3, "vip") == 0) {
        std::string sKind = sTemplate.substr(0, sTemplate.find('.'));
        draw(nRandom / 6, 14, [sKind](int i) { return vipManLook(sKind, i); });
    }
    return aLists;
}

Tsl::List<Tsl::String> toList(const std::vector<std::string>& aValues) {
    Tsl::List<Tsl::String> lValues;
    for (const std::string& s : aValues) lValues.append(s.c_str());
    return lValues;
}

bool isArmSequence(const std::string& sName) {
    return sName.find("_arm_") != std::string::npos || sName.compare(0, 6, "serve_") == 0 ||
           sName.compare(0, 5, "fill_") == 0 || sName.compare(0, 5, "take_") == 0;
}

bool isActionSequence(const std::string& sName) {
    return sName.compare(0, 6, "serve_") == 0 || sName.compare(0, 5, "fill_") == 0 || sName.compare(0, 5, "take_") == 0;
}

} // namespace

std::vector<std::string> expandBraces(const std::string& sPattern) {
    size_t nOpen = sPattern.find('{');
    if (nOpen == std::string::npos) return {sPattern};
    size_t nClose = sPattern.find('}', nOpen);
    if (nClose == std::string::npos) throw std::runtime_error("unclosed brace in '" + sPattern + "'");
    std::string sInside = sPattern.substr(nOpen + 1, nClose - nOpen - 1);
    std::vector<std::string> aChoices;
    size_t nRange = sInside.find("..");
    if (nRange == 1 && sInside.size() == 4 && std::isalpha(static_cast<unsigned char>(sInside[0]))) {
        for (char c = sInside[0]; c <= sInside[3]; ++c) aChoices.push_back(std::string(1, c));
    } else if (nRange != std::string::npos) {
        int nFrom = std::atoi(sInside.c_str()), nTo = std::atoi(sInside.c_str() + nRange + 2);
        for (int i = nFrom; i <= nTo; ++i) aChoices.push_back(std::to_string(i));
    } else {
        std::istringstream in(sInside);
        std::string sChoice;
        while (std::getline(in, sChoice, ',')) aChoices.push_back(sChoice);
    }
    std::vector<std::string> aResult;
    for (const std::string& sChoice : aChoices)
        for (const std::string& sRest : expandBraces(sPattern.substr(nClose + 1)))
            aResult.push_back(sPattern.substr(0, nOpen) + sChoice + sRest);
    return aResult;
}

std::string formatConversions(const std::string& sText) {
    std::string sConversions;
    for (size_t i = 0; i < sText.size(); ++i) {
        if (sText[i] != '%') continue;
        ++i;
        if (i < sText.size() && sText[i] == '%') continue;
        while (i < sText.size() && std::strchr("-+ #0123456789.", sText[i])) ++i;
        if (i >= sText.size()) throw std::runtime_error("a '%' at the end");
        char c = sText[i] == 'i' ? 'd' : sText[i];
        if (!std::strchr("dsuxXfgc", c)) throw std::runtime_error(std::string("the conversion '%") + sText[i] + "'");
        sConversions += c;
    }
    return sConversions;
}

void checkStringFormat(RuleReporter& r, const std::string& sFile, const std::string& sKey, const std::string& sText) {
    auto it = formatKeys().find(upper(sKey));
    if (it == formatKeys().end()) return;
    std::string sFound;
    try {
        sFound = formatConversions(sText);
    } catch (const std::exception& e) {
        r.fault(sFile, sKey + " is a format and holds " + e.what());
        return;
    }
    if (sFound != it->second)
        r.fault(sFile, sKey + " is a format for '" + it->second + "' but holds the conversions '" + sFound +
                           "' (write a lone % as %%)");
}

std::vector<std::string> checkPreloadList(RuleReporter& r, const std::string& sFile, const std::string& sText) {
    std::vector<std::string> aEntries;
    int nLine = 0;
    for (const std::string& sLine : lines(sText)) {
        ++nLine;
        if (sLine.find('\r') != std::string::npos) r.fault(where(sFile, nLine), "a carriage return (use LF line ends)");
        std::string sEntry = sLine.substr(0, sLine.find('\r'));
        if (sEntry.empty()) {
            r.fault(where(sFile, nLine), "an empty line");
            continue;
        }
        if (sEntry.find_first_of(" \t") != std::string::npos)
            r.fault(where(sFile, nLine), "blanks in '" + sEntry + "' (entries are not trimmed)");
        aEntries.push_back(sEntry);
    }
    return aEntries;
}

void checkAnimation(RuleReporter& r, const std::string& sFile, Tsl::SmartPtr<Animation> pAnimation) {
    for (const Tsl::String& sSeq : pAnimation->getSequenceNames())
        if (pAnimation->getFrameCount(sSeq.c_str()) < 1) r.fault(sFile, std::string("the sequence ") + sSeq.c_str() + " has no frames");
    if (sFile == "store_parrot.anim") {
        if (!pAnimation->hasSequence("normal") || !pAnimation->hasSequence("highlight"))
            r.fault(sFile, "needs the sequences normal and highlight");
        else if (pAnimation->getFrameCount("normal") != pAnimation->getFrameCount("highlight"))
            r.fault(sFile, "normal and highlight must have as many frames (the store switches at the same frame)");
    }
}

std::vector<std::string> waitressSequenceNames() {
    std::vector<std::string> aNames;
    for (const char* pszPattern :
         {"stand_{n,e,s,w}_main", "walk_{n,e,s,w}_main_{left,right}", "stand_{n,e,s,w}_arm_{empty,full,tray}_{left,right}",
          "stand_{n,e,s,w}_thumb_full_{left,right}", "walk_{n,e,s,w}_arm_{empty,full}_{left,right}_{back,front}",
          "walk_{n,e,s,w}_thumb_full_{left,right}_{back,front}", "walk_{n,e,s,w}_arm_tray_{left,right}",
          "{serve,fill,take}_{n,e,s,w}_{left,right,tray}", "thumb_empty"})
        for (const std::string& sName : expandBraces(pszPattern)) aNames.push_back(sName);
    return aNames;
}

void checkWaitress(RuleReporter& r, const std::string& sFile, Tsl::SmartPtr<Animation> pAnimation) {
    for (const std::string& sName : waitressSequenceNames()) {
        const char* pszSeq = sName.c_str();
        if (!pAnimation->hasSequence(pszSeq)) {
            r.fault(sFile, "no sequence " + sName);
            continue;
        }
        int nFrames = pAnimation->getFrameCount(pszSeq);
        if (isArmSequence(sName))
            for (int f = 0; f < nFrames; ++f) {
                std::string sPlace = pAnimation->getFrameProp(pszSeq, f, "position").c_str();
                int nPlace = std::atoi(sPlace.c_str());
                if (sPlace.empty() || !isInteger(sPlace) || nPlace < 0 || nPlace > 87)
                    r.fault(sFile, sName + " frame " + std::to_string(f) + ": \"position\" must be a hand place 0 to 87");
            }
        bool bMainWalk = sName.compare(0, 5, "walk_") == 0 && sName.find("_main_") != std::string::npos;
        if ((bMainWalk || isActionSequence(sName)) && pAnimation->isSequenceLooped(pszSeq))
            r.fault(sFile, sName + " loops: she would never leave it");
        if (!isActionSequence(sName)) continue;
        int nActions = 0;
        for (int f = 0; f < nFrames; ++f)
            if (pAnimation->hasFrameProp(pszSeq, f, "doaction")) ++nActions;
        if (nActions != 1) r.fault(sFile, sName + " needs exactly one \"doaction\" frame, has " + std::to_string(nActions));
    }
}

void checkTemplate(RuleReporter& r, const std::string& sFile) {
    std::vector<std::vector<std::string>> aLists = lookParameterLists(sFile, LOOKS_DRAWN);
    auto it = templateParameters().find(sFile);
    if (it != templateParameters().end()) aLists.insert(aLists.end(), it->second.begin(), it->second.end());
    if (aLists.empty()) {
        r.fault(sFile, "a template without known parameter lists: add them to the check");
        return;
    }
    GameApp* pApp = GameApp::getInstance();
    for (const std::vector<std::string>& aParams : aLists) {
        Tsl::List<Tsl::String> lParams = toList(aParams);
        Tsl::String sKey = GameApp::makeAnimationKey(sFile.c_str(), lParams);
        std::string sLabel = sFile + " (" + sKey.c_str() + ")";
        try {
            Tsl::SmartPtr<Animation> pAnimation = pApp->getAnimation(sFile.c_str(), sKey.c_str(), lParams);
            checkAnimation(r, sLabel, pAnimation);
            if (sFile == "waitress.template") checkWaitress(r, sLabel, pAnimation);
            // Looks come and go: keep the cache as small as the game keeps it.
            if (sFile != "waitress.template") pApp->releaseAnimation(sKey.c_str());
        } catch (const Tsl::Exception& e) {
            r.fault(sLabel, std::string(e.getTypeName()) + ": " + e.getMessage());
        }
    }
}

namespace {

// Scene keywords both readers know, with the least token count (keyword
// included) and the token positions that must be whole numbers.
struct SceneKeyword {
    const char* pszWord;
    int nLeast;
    std::vector<int> aNumbers;
};
const SceneKeyword SCENE_KEYWORDS[] = {
    {"image", 2, {}},          {"animation", 2, {}},           {"clone", 2, {}},
    {"hflip", 2, {}},          {"inspos", 4, {}},              {"sprite", 5, {2, 3, 4}},
    {"sprite_repeat", 7, {2, 3, 4, 5, 6}}, {"animsprite", 5, {2, 3, 4}}, {"sprite_conditional", 6, {2, 3, 4}},
    {"animsprite_conditional", 7, {2, 3, 4}}, {"actionspot_conditional", 6, {2, 3, 4}},
    {"barman", 6, {1, 2, 3, 4}}, {"bongos", 6, {1, 2, 3}},     {"bailarina", 8, {1, 2, 3, 4, 5}},
    {"parrot", 4, {1, 2, 3}},  {"flip", 2, {}},                {"flipsafe", 2, {}},
    {"scale_anim", 4, {}},     {"playsequence", 3, {}},
};
const char* const SLOTS[] = {"parrot_stand", "juicer_0", "juicer_1", "silla_0", "silla_1", "silla_2", "silla_3",
                             "mesa_0", "mesa_1", "center_lvl_2_0", "center_lvl_1_0", "center_lvl_2_1",
                             "center_lvl_1_1", "barman_0", "barman_1", "prop_dispenser", "show_1", "show_2",
                             "show_3", "show_4", "mantel_0", "mantel_1", "mantel_2", "mantel_3", "juicer_0_a",
                             "juicer_1_a", "barman_0_a", "barman_1_a"};

bool isSlot(const std::string& s) {
    for (const char* pszSlot : SLOTS)
        if (s == pszSlot) return true;
    return false;
}

// The token that names the sprite of a line, or "" (the preview reader's rules).
std::string spriteName(const std::string& sWord, const std::vector<std::string>& t) {
    if (sWord == "sprite" && t.size() >= 6) return t[5];
    if (sWord == "animsprite" && t.size() > 5) return t[5];
    if (sWord == "sprite_conditional" && t.size() > 6) return t[6];
    if (sWord == "animsprite_conditional" && t.size() >= 6) return t[5];
    return "";
}

void checkSceneLine(RuleReporter& r, const std::string& sAt, const std::string& sWord, const std::vector<std::string>& t,
                    std::map<std::string, bool>& hNamed) {
    for (const SceneKeyword& k : SCENE_KEYWORDS) {
        if (sWord != k.pszWord) continue;
        if (static_cast<int>(t.size()) < k.nLeast) {
            r.fault(sAt, sWord + " needs " + std::to_string(k.nLeast - 1) + " values");
            return;
        }
        for (int n : k.aNumbers)
            if (!isInteger(t[n])) r.fault(sAt, sWord + ": '" + t[n] + "' is not a whole number");
        if (sWord == "sprite_repeat" && t.size() > 7) r.fault(sAt, "sprite_repeat takes no name (which copy would it be?)");
        if (sWord == "scale_anim" && (!isNumber(t[2]) || !isNumber(t[3]))) r.fault(sAt, "scale_anim needs two numbers");
        bool bSlotLast = sWord == "actionspot_conditional" || sWord == "barman" || sWord == "bongos" || sWord == "bailarina";
        if (sWord == "sprite_conditional" && !isSlot(t[5])) r.fault(sAt, "unknown slot '" + t[5] + "'");
        if (sWord == "animsprite_conditional" && !isSlot(t[6])) r.fault(sAt, "unknown slot '" + t[6] + "'");
        if (bSlotLast && !isSlot(t.back())) r.fault(sAt, "unknown slot '" + t.back() + "'");
        if (sWord == "flip" || sWord == "scale_anim" || sWord == "playsequence")
            if (!hNamed.count(t[1])) r.fault(sAt, sWord + " of '" + t[1] + "', which no line before names");
        std::string sName = spriteName(sWord, t);
        if (!sName.empty()) hNamed[sName] = true;
        return;
    }
}

} // namespace

void checkScene(RuleReporter& r, const std::string& sFile, const std::string& sText) {
    std::map<std::string, bool> hNamed;
    std::map<std::string, double> hValues;
    int nLine = 0;
    for (const std::string& sRaw : lines(sText)) {
        ++nLine;
        std::string sLine = stripComment(sRaw);
        if (sLine.empty()) continue;
        std::vector<std::string> t = split(sLine);
        std::string sWord = t[0];
        for (char& c : sWord) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        checkSceneLine(r, where(sFile, nLine), sWord, t, hNamed);
        if (t.size() == 2 && (sWord == "topy" || sWord == "bottomy")) {
            if (!isInteger(t[1])) r.fault(where(sFile, nLine), sWord + ": '" + t[1] + "' is not a whole number");
            hValues[sWord] = std::atof(t[1].c_str());
        }
    }
    if (!hValues.count("topy") || !hValues.count("bottomy")) r.fault(sFile, "needs \"topy\" and \"bottomy\"");
    else if (hValues["bottomy"] <= hValues["topy"]) r.fault(sFile, "\"bottomy\" must lie below \"topy\" (the depth scale divides by their difference)");
}

void checkDefinitions(RuleReporter& r, const std::string& sFile, const std::string& sText) {
    // chars_<scene>_<n>, n from 0 to 19: the spawn manager reads no other.
    size_t nUnder = sFile.rfind('_');
    std::string sNumber = sFile.substr(nUnder + 1);
    if (sFile.compare(0, 11, "chars_scene") != 0 || !isInteger(sNumber) || std::atoi(sNumber.c_str()) < 0 ||
        std::atoi(sNumber.c_str()) > 19)
        r.fault(sFile, "definition files are named chars_scene<0-4>_<0-19>; this one is never read");
    GameApp* pApp = GameApp::getInstance();
    int nLine = 0;
    for (const std::string& sRaw : lines(sText)) {
        ++nLine;
        std::string sLine = stripComment(sRaw);
        if (sLine.empty()) continue;
        std::vector<std::string> t = split(sLine);
        std::string sAt = where(sFile, nLine);
        if (t.size() < 2 || !isNumber(t[1]) || !(std::atof(t[1].c_str()) > 0) || !std::isfinite(std::atof(t[1].c_str()))) {
            r.fault(sAt, "needs a name and a positive weight");
            continue;
        }
        const std::string& sName = t[0];
        if ((sName == "hombre" || sName == "vip") && t.size() > 2)
            r.warn(sAt, "'" + sName + "' is generated and keeps its tags for the whole level: after its first guest "
                        "no other comes while a tag of it stays taken");
        if (sName == "hombre" || sName == "vip") continue;
        if (sName.compare(0, 6, "hombre") == 0 || sName.compare(0, 3, "vip") == 0)
            r.fault(sAt, "'" + sName + "': only the generated kinds may begin with hombre or vip");
        else if (!pApp->hasResource(("ch_" + sName + ".anim").c_str()))
            r.fault(sAt, "'" + sName + "' has no animation ch_" + sName + ".anim");
    }
}

void checkSceneDefinitions(RuleReporter& r, int nScene) {
    GameApp* pApp = GameApp::getInstance();
    bool bAny = false, bUntagged = false;
    for (int n = 0; n < 20; ++n) {
        std::string sName = "chars_scene" + std::to_string(nScene) + "_" + std::to_string(n);
        if (!pApp->hasResource(sName.c_str())) continue;
        for (const std::string& sRaw : lines(pApp->getResource(sName.c_str())->getString().c_str())) {
            std::vector<std::string> t = split(stripComment(sRaw));
            if (t.size() < 2) continue;
            bAny = true;
            if (t.size() == 2) bUntagged = true;
        }
    }
    std::string sScene = "scene" + std::to_string(nScene);
    if (!bAny) r.fault(sScene, "no customer definitions (chars_" + sScene + "_0 to _19)");
    else if (!bUntagged) r.fault(sScene, "every definition has a tag: the bar can block them all");
}

namespace {

const char* const STYLE_KINDS[] = {"frame", "button", "cursor", "radio", "slider", "separator"};

bool isStyleKind(const std::string& sKind) {
    for (const char* pszKind : STYLE_KINDS)
        if (sKind == pszKind) return true;
    return false;
}

// Whether the set has a name of that kind: "style" is a style of any kind;
// false for a kind it does not know.
bool hasNamed(const std::string& sKind, const char* psz) {
    static const char* const SOUND_SUFFIXES[] = {".ogg", ".wav", nullptr};
    GameApp* pApp = GameApp::getInstance();
    Theme* pTheme = pApp->getTheme();
    if (sKind == "image") return pApp->hasImage(psz);
    if (sKind == "resource") return pApp->hasResource(psz);
    if (sKind == "sample" || sKind == "music") return !pApp->findResource(psz, SOUND_SUFFIXES).isEmpty();
    if (sKind == "string") return pApp->hasString(psz);
    if (sKind == "font") return pTheme->hasFont(psz);
    if (isStyleKind(sKind)) return pTheme->hasStyle(sKind.c_str(), psz);
    if (sKind == "style")
        for (const char* pszKind : STYLE_KINDS)
            if (pTheme->hasStyle(pszKind, psz)) return true;
    return false;
}

} // namespace

void checkNameList(RuleReporter& r, const std::string& sPath) {
    std::ifstream in(sPath);
    if (!in) throw std::runtime_error("can't read " + sPath);
    GameApp* pApp = GameApp::getInstance();
    std::string sRaw;
    int nLine = 0;
    while (std::getline(in, sRaw)) {
        ++nLine;
        std::vector<std::string> t = split(stripComment(sRaw));
        if (t.empty()) continue;
        std::string sAt = where(sPath, nLine);
        if (t.size() < 2) {
            r.fault(sAt, "needs a kind and a name");
            continue;
        }
        const std::string& sKind = t[0];
        for (const std::string& sName : expandBraces(t[1])) {
            const char* psz = sName.c_str();
            bool bFound = false;
            try {
                if (sKind == "sequence" && t.size() >= 3) {
                    // "sequence <file>[:<parameter>] <name pattern>"
                    std::string sFile = sName.substr(0, sName.find(':'));
                    Tsl::SmartPtr<Animation> pAnimation;
                    if (sName.find(':') == std::string::npos) {
                        pAnimation = pApp->getAnimation(psz);
                    } else {
                        Tsl::List<Tsl::String> lParams = toList({sName.substr(sName.find(':') + 1)});
                        pAnimation = pApp->getAnimation(sFile.c_str(), GameApp::makeAnimationKey(sFile.c_str(), lParams).c_str(), lParams);
                    }
                    for (const std::string& sSeq : expandBraces(t[2]))
                        if (!pAnimation->hasSequence(sSeq.c_str())) r.fault(sAt, sName + " has no sequence " + sSeq);
                    bFound = true;
                } else if (sKind == "image" || sKind == "resource" || sKind == "sample" || sKind == "music" ||
                           sKind == "string" || sKind == "font" || isStyleKind(sKind)) {
                    bFound = hasNamed(sKind, psz);
                } else {
                    r.fault(sAt, "unknown kind '" + sKind + "'");
                    break;
                }
            } catch (const Tsl::Exception& e) {
                r.fault(sAt, sName + ": " + e.getMessage());
                continue;
            }
            if (!bFound) r.fault(sAt, "missing " + sKind + " " + sName);
        }
    }
}

namespace {

// The mark on a names-header line whose picture the game composes at run time.
const char* const COMPOSED_BY_CODE = "// composed by code";

// What a constant of the names headers names, by its prefix; "" for the
// names that are no content of their own (sequences, properties, settings,
// base names the code completes).
std::string headerKind(const std::string& sConstant) {
    auto starts = [&](const char* p) { return sConstant.compare(0, std::strlen(p), p) == 0; };
    auto ends = [&](const char* p) {
        size_t n = std::strlen(p);
        return sConstant.size() >= n && sConstant.compare(sConstant.size() - n, n, p) == 0;
    };
    if (starts("SET_") || starts("VAL_")) return ""; // settings keys and values
    if (starts("PRELOAD_")) return "resource";      // the preload lists are plain texts
    if (starts("IMG_")) return "image";
    if (starts("STR_")) return "string";
    if (starts("SND_") || starts("SFX_")) return "sample";
    if (sConstant.find("MUSIC") != std::string::npos) return "music";
    if (starts("FONT_")) return "font";
    if (starts("STYLE_") || starts("FRAME_")) return "style";
    if (starts("ANIM_") || starts("EMITTER_") || ends("_ANIM") || ends("_TEMPLATE")) return "resource";
    return "";
}

} // namespace

void checkHeaderNames(RuleReporter& r, const std::string& sPath) {
    std::ifstream in(sPath);
    if (!in) throw std::runtime_error("can't read " + sPath);
    std::string sLine;
    int nLine = 0;
    while (std::getline(in, sLine)) {
        ++nLine;
        // constexpr const char* NAME = "value"; or an array of values.
        size_t nConst = sLine.find("constexpr const char*");
        if (nConst == std::string::npos) continue;
        std::string sConstant = sLine.substr(nConst + 21);
        sConstant = sConstant.substr(sConstant.find_first_not_of(" "));
        sConstant = sConstant.substr(0, sConstant.find_first_of(" =["));
        std::string sKind = headerKind(sConstant);
        // Pictures the game composes itself are never shipped.
        if (sKind.empty() || sLine.find(COMPOSED_BY_CODE) != std::string::npos) continue;
        for (size_t nOpen = sLine.find('"'); nOpen != std::string::npos; nOpen = sLine.find('"', nOpen + 1)) {
            size_t nClose = sLine.find('"', nOpen + 1);
            if (nClose == std::string::npos) break;
            std::string sValue = sLine.substr(nOpen + 1, nClose - nOpen - 1);
            nOpen = nClose;
            // Formats and suffixes are completed by the code; pictures of the
            // "3rdparty" folder ("3p_...") are shown only when present.
            if (sValue.empty() || sValue.find('%') != std::string::npos || sValue[0] == '_' ||
                sValue.compare(0, 3, "3p_") == 0)
                continue;
            if (!hasNamed(sKind, sValue.c_str())) r.fault(where(sPath, nLine), sConstant + ": no " + sKind + " \"" + sValue + "\" in this set");
        }
    }
}
