// The player's view of the guests at the tables, on fields built like the
// first bar: a counter, two tables with a chair each side.
#include "seating.h"

#include "field_fixture.h"

#include <string>
#include <vector>

using e2e::Seating;
using e2e::Sight;

namespace {

const std::vector<Piece> BAR = {{"sc0_back", 0, 0, 800, 600, 0},        {"seagull_0", 100, 60, 36, 26, 5},
                                {"sc0_counter", 0, 240, 800, 120, 60},  {"prop_table", 60, 506, 180, 74, 185},
                                {"prop_table", 560, 506, 180, 74, 185}, {"prop_chair", 76, 430, 64, 148, 180},
                                {"prop_chair", 160, 430, 64, 148, 180}, {"prop_chair", 576, 430, 64, 148, 180},
                                {"prop_chair", 660, 430, 64, 148, 180}};
const int CHAIR_X[] = {108, 192, 608, 692};

// A guest on a chair, drawn between the chair and the table.
std::vector<Piece> seated(int nChair) { return {{"ch_guest", CHAIR_X[nChair] - 55, 390, 110, 190, 181}}; }
std::vector<Piece> asking(int nChair) {
    return {{"ch_guest", CHAIR_X[nChair] - 55, 390, 110, 190, 181},
            {"balloon_0", CHAIR_X[nChair] - 24, 340, 48, 56, 190}};
}
// Its glass on the table's top, beside it.
std::vector<Piece> drinking(int nChair) {
    return {{"ch_guest", CHAIR_X[nChair] - 55, 390, 110, 190, 181},
            {"mug_drink0", CHAIR_X[nChair] - 44, 476, 40, 50, 188}};
}

struct SeatingTest : FieldTest {};

TEST_F(SeatingTest, SeesWhoSitsAtTheTablesAndWhoIsOutOfPlace) {
    struct Case {
        const char* pszWhat;
        std::vector<std::vector<Piece>> lField;
        bool bEveryTableTaken, bServing;
        int nAtBar;
        std::string sMisplaced;
    };
    const Case aCases[] = {
        {"a guest asking at each table", {BAR, asking(1), asking(2)}, true, false, 0, ""},
        {"one drinks, the other asks", {BAR, drinking(0), asking(3)}, true, true, 0, ""},
        {"a guest just sat down shows neither", {BAR, drinking(0), seated(3)}, true, false, 0, ""},
        {"a glass in the waitress's hand is no guest's",
         {BAR, asking(0), asking(2), {{"wt_body_n0", 40, 346, 180, 160, 200}, {"mug_drink0", 64, 476, 40, 50, 203}}},
         true,
         false,
         0,
         ""},
        {"a table without a guest", {BAR, drinking(0), drinking(1)}, false, true, 0, ""},
        {"guests behind the counter sit at no table",
         {BAR, {{"ps_guest", 53, 144, 110, 190, 50}, {"ps_guest", 553, 144, 110, 190, 50}}},
         false,
         false,
         2,
         ""},
        {"a figure at the tables' depth over the counter",
         {BAR, drinking(0), asking(2), {{"ch_guest", 300, 150, 110, 190, 181}}},
         true,
         true,
         0,
         "the guest ch_guest at a table covers the counter"},
        {"a figure at the tables' depth beside the chairs",
         {BAR, drinking(0), asking(2), {{"ch_guest", 340, 380, 110, 150, 182}}},
         true,
         true,
         0,
         "the guest ch_guest at a table sits on no chair"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        Tsl::SmartPtr<GameMode> pField = field(c.lField);
        Sight sight = Sight::look();
        Seating seating(sight);
        EXPECT_EQ(4, seating.countChairs());
        EXPECT_EQ(c.bEveryTableTaken, seating.isEveryTableTaken());
        EXPECT_EQ(c.bServing, seating.isServing());
        EXPECT_EQ(c.nAtBar, seating.countGuestsAtBar());
        EXPECT_EQ(c.sMisplaced, seating.findMisplaced());
        pField->endMode();
    }
}

}  // namespace
