// Texts from the string tables used as formats: only "%d" and "%%" are
// filled, anything else leaves the text as it stands.
#include "base/formattext.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FormatTextTest, FillsNumbersAndLeavesUnsafeTextsAlone) {
    struct Case {
        const char* pszTemplate;
        std::vector<int> args;
        const char* pszExpected;
    } cases[] = {
        {"Goal: $%d", {1500}, "Goal: $1500"},
        {"%d:%d", {3, 7}, "3:7"},
        {"%d, %d and %d", {1, -2, 3}, "1, -2 and 3"},
        {"No numbers", {}, "No numbers"},
        {"Extra arguments %d", {1, 2, 3}, "Extra arguments 1"},
        {"100%% fresh", {}, "100% fresh"},
        {"%d%%", {50}, "50%"},
        {"More wanted %d %d", {1}, "More wanted %d %d"},
        {"Just %d", {}, "Just %d"},
        {"Name %s", {1}, "Name %s"},
        {"Count %n", {1}, "Count %n"},
        {"Positional %5$d", {1}, "Positional %5$d"},
        {"Width %5d", {1}, "Width %5d"},
        {"Trailing %", {1}, "Trailing %"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        Tsl::String sOut;
        switch (c.args.size()) {
        case 0: sOut = formatText(c.pszTemplate); break;
        case 1: sOut = formatText(c.pszTemplate, c.args[0]); break;
        case 2: sOut = formatText(c.pszTemplate, c.args[0], c.args[1]); break;
        default: sOut = formatText(c.pszTemplate, c.args[0], c.args[1], c.args[2]); break;
        }
        EXPECT_EQ(Tsl::String(c.pszExpected), sOut) << c.pszTemplate;
    }
}

}  // namespace
