// The content rules on small inputs: name patterns, printf formats and
// preload lists (the whole check runs in contentgen_bad_content.cmake).
#include "contentrules.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Recorder : RuleReporter {
    void fault(const std::string& sFile, const std::string& sMessage) override { faults.push_back(sFile + ": " + sMessage); }
    void warn(const std::string& sFile, const std::string&) override { warnings.push_back(sFile); }
    std::vector<std::string> faults, warnings;
};

TEST(ContentRules, BracesExpandToEveryCombinationInOrder) {
    const struct {
        const char* pszPattern;
        std::vector<std::string> expected;
    } CASES[] = {
        {"plain", {"plain"}},
        {"a_{x,y}", {"a_x", "a_y"}},
        {"f{1..3}", {"f1", "f2", "f3"}},
        {"v_{a..c}", {"v_a", "v_b", "v_c"}},
        {"{a,b}_{1..2}", {"a_1", "a_2", "b_1", "b_2"}},
        {"d{,-bold}.ttf", {"d.ttf", "d-bold.ttf"}},
    };
    for (const auto& c : CASES) EXPECT_EQ(c.expected, expandBraces(c.pszPattern)) << c.pszPattern;
    EXPECT_THROW(expandBraces("a_{x,y"), std::runtime_error);
}

TEST(ContentRules, FormatTextsHoldExactlyTheConversionsTheGamePasses) {
    const struct {
        const char* pszKey;
        const char* pszText;
        bool bFault;
    } CASES[] = {
        {"UPG_Price", "Price: $%d", false}, {"upg_price", "%i coins", false},   {"UPG_Price", "Price", true},
        {"UPG_Price", "%d of %d", true},    {"UPG_Price", "%s", true},          {"WKG_Tip", "100%% more", false},
        {"WKG_Tip", "100% more", true},     {"StatTimePlayed", "%d:%02d", false}, {"AboutVerFmt", "%d.%d", true},
        {"AboutVerFmt", "v%d.%d.%d%", true}, {"MNM_Won", "100% shown as written", false},
    };
    for (const auto& c : CASES) {
        Recorder r;
        checkStringFormat(r, "messages.txt", c.pszKey, c.pszText);
        EXPECT_EQ(c.bFault, !r.faults.empty()) << c.pszKey << " = " << c.pszText;
    }
}

TEST(ContentRules, PreloadEntriesAreTakenAsWrittenAndOddLinesReported) {
    Recorder r;
    EXPECT_EQ((std::vector<std::string>{"a.anim", "b.anim"}), checkPreloadList(r, "list.txt", "a.anim\nb.anim"));
    EXPECT_TRUE(r.faults.empty());
    std::vector<std::string> aEntries = checkPreloadList(r, "list.txt", "a.anim\r\n\n b.anim\n");
    EXPECT_EQ((std::vector<std::string>{"a.anim", " b.anim"}), aEntries);
    EXPECT_EQ((std::vector<std::string>{"list.txt, line 1: a carriage return (use LF line ends)",
                                        "list.txt, line 2: an empty line",
                                        "list.txt, line 3: blanks in ' b.anim' (entries are not trimmed)"}),
              r.faults);
}

TEST(ContentRules, TheWaitressHasAllHerSequences) {
    std::vector<std::string> aNames = waitressSequenceNames();
    EXPECT_EQ(137u, aNames.size());
    EXPECT_EQ("stand_n_main", aNames.front());
    EXPECT_EQ("thumb_empty", aNames.back());
}

} // namespace
