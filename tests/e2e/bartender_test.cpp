// The player's judgement on fields built here: which click comes next.
#include "bartender.h"

#include "field_fixture.h"

#include "ui/label.h"

#include <string>
#include <vector>

using e2e::Bartender;
using e2e::Hands;
using e2e::Sight;

namespace {

// The waitress standing at the bar, and a guest at x with a balloon and its
// meter over it.
std::vector<Piece> waitress(int nX = 300) { return {{"wt_body_n0", nX, 300, 180, 160, 200}}; }
std::vector<Piece> guest(int nX, const std::string& sBalloon, int nPatience) {
    return {{"ps_guest", nX, 150, 110, 190, 50},
            {sBalloon, nX + 30, 110, 48, 56, 100},
            {"order_patience" + std::to_string(nPatience), nX + 29, 97, 50, 14, 101}};
}

struct BartenderTest : FieldTest {
    // Looks at the field as many times as she needs to count as standing
    // free; the name of the picture under the first click, or "" for none.
    std::string nextClick(int nLooks = 8) {
        bartender.startDay();
        for (int i = 0; i < nLooks && hands.isIdle(); ++i) bartender.play(Sight::look(), hands);
        for (int i = 0; i < 3; ++i) hands.onFrame();
        SDL_Event event;
        SDL_PumpEvents();
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
            if (event.type != SDL_MOUSEBUTTONDOWN) continue;
            Sight sight = Sight::look();
            const e2e::Seen* pTop = sight.topAt(event.button.x, event.button.y);
            return pTop ? (pTop->sPicture.empty() ? pTop->sText : pTop->sPicture) : "nothing";
        }
        return "";
    }

    Bartender bartender;
    Hands hands;
};

TEST_F(BartenderTest, ServesTheLeastPatientGuestFirst) {
    struct Case {
        const char* pszWhat;
        std::vector<std::vector<Piece>> lField;
        std::string sClick;
    };
    const std::vector<Piece> aSigns = {{"sign_drink1", 230, 262, 36, 40, 64}, {"sign_drink2", 530, 262, 36, 40, 64}};
    const std::vector<Piece> aSink = {{"prop_sink", 255, 480, 90, 60, 70}};
    const Case aCases[] = {
        {"an asking guest nearer the end of its patience",
         {waitress(), aSigns, aSink, guest(100, "order_drink1", 3), guest(600, "balloon_0", 1)},
         "balloon_0"},
        {"an order nearer the end of its patience",
         {waitress(), aSigns, aSink, guest(100, "order_drink2", 1), guest(600, "balloon_0", 4)},
         "sign_drink2"},
        {"the drink she holds goes to its guest",
         {waitress(),
          aSigns,
          aSink,
          guest(100, "order_drink2", 4),
          guest(600, "order_drink1", 1),
          {{"mug_drink2", 380, 360, 40, 50, 203}}},
         "ps_guest"},
        {"a drink nobody wants goes to the sink",
         {waitress(), aSigns, aSink, guest(100, "order_drink2", 4), {{"mug_drink1", 380, 360, 40, 50, 203}}},
         "prop_sink"},
        {"a used glass she holds goes to the sink",
         {waitress(), aSigns, aSink, guest(100, "order_drink2", 4), {{"mug_dirty", 380, 360, 40, 50, 203}}},
         "prop_sink"},
        {"a glass left at a seat is cleared when nobody waits",
         {waitress(), aSigns, aSink, {{"mug_dirty", 640, 500, 40, 50, 188}}},
         "mug_dirty"},
        {"a wholly covered sign passes to the next guest",
         {waitress(),
          aSigns,
          aSink,
          guest(100, "order_drink1", 1),
          guest(600, "order_drink2", 3),
          {{"crate", 220, 250, 60, 60, 90}}},
         "sign_drink2"},
        {"a drink without a source to draw it waits", {waitress(), aSink, guest(100, "order_drink3", 1)}, ""},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        Tsl::SmartPtr<GameMode> pField = field(c.lField);
        EXPECT_EQ(c.sClick, nextClick());
        pField->endMode();
    }
}

TEST_F(BartenderTest, ClosesATipAtOnceButLeavesAFieldUnderADialogAlone) {
    Tsl::SmartPtr<GameMode> pField = field({waitress(), guest(600, "balloon_0", 1)});
    Tsl::SmartPtr<Label> pTip = new Label("Click the bubble to close it.", 300, 100, 400);
    pField->addSprite(pTip.get());
    EXPECT_EQ("Click the bubble to close it.", nextClick(1));
    pField->removeSprite(pTip.get());

    Tsl::SmartPtr<GameMode> pDialog = new GameMode(MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW);
    app.pushMode(pDialog);
    EXPECT_EQ("", nextClick());
}

// Whatever she was sent to do, she is on her way: no new click until she stands.
TEST_F(BartenderTest, WaitsWhileTheWaitressMoves) {
    Tsl::SmartPtr<GameMode> pField = field({guest(600, "balloon_0", 1)});
    Tsl::SmartPtr<Sprite> pWaitress = new Sprite(new Block("wt_body_n0", 180, 160), 300, 300, 200);
    pField->addSprite(pWaitress);
    bartender.startDay();
    for (int i = 0; i < 20; ++i) {
        pWaitress->setPosition(300 + 4 * i, 300);
        bartender.play(Sight::look(), hands);
    }
    EXPECT_TRUE(hands.isIdle());
    EXPECT_EQ("balloon_0", nextClick());
}

TEST_F(BartenderTest, ReadsTheClockAndTheMoney) {
    struct Case {
        std::vector<std::string> lTexts;
        std::string sClock;
        bool bMoney;
        int nMoney, nGoal;
    };
    const Case aCases[] = {
        {{"1:52", "$30 / $40", "Menu"}, "1:52", true, 30, 40},
        {{"Menu", "$270", "0:00"}, "0:00", true, 270, 0},
        {{"Time 12:5", "Paused"}, "", false, 0, 0},
    };
    for (const Case& c : aCases) {
        Tsl::SmartPtr<GameMode> pField = field({});
        int nY = 10;
        for (const std::string& sText : c.lTexts) pField->addSprite(new Label(sText.c_str(), 20, nY += 30, 500));
        Sight sight = Sight::look();
        EXPECT_EQ(c.sClock, Bartender::readClock(sight));
        int nMoney = 0, nGoal = 0;
        EXPECT_EQ(c.bMoney, Bartender::readMoney(sight, nMoney, nGoal));
        if (c.bMoney) {
            EXPECT_EQ(c.nMoney, nMoney);
            EXPECT_EQ(c.nGoal, nGoal);
        }
        pField->endMode();
    }
}

}  // namespace
