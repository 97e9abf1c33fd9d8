// The ".scene" reader: what it accepts, every refusal with its file and line,
// and a second load that matches the first.
#include "playfield_fixture.h"

#include "field/scene.h"

#include <algorithm>
#include <vector>

namespace {

std::string errorOf(const std::string& sText) {
    try {
        parseScene("scene0.scene", sText.c_str());
    } catch (const SceneParserException& e) {
        return e.getMessage();
    }
    return "";
}

}  // namespace

TEST(SceneReader, ReadsTheBar) {
    SceneData scene = parseScene("scene0.scene", fixture::barScene().c_str());
    EXPECT_EQ(scene.m_nBottomY, 560);
    EXPECT_EQ(scene.m_lSeats.getCount(), 4);
    EXPECT_TRUE(scene.m_lSeats.getAt(2).m_bVip);
    EXPECT_EQ(scene.m_lSpots.getFirst().m_sType, "liquid");
    EXPECT_EQ(scene.getWalkAreaDepth(0, 300), 200);
    EXPECT_EQ(scene.getWalkAreaDepth(800, 300), -1);
    EXPECT_EQ(scene.m_nStartHeading, 2);
    // The first seat's glass stands before its guest, the VIP's where it
    // stands; the chair's guest sits at the chairs' row.
    const SceneSeat& seat = scene.m_lSeats.getFirst();
    EXPECT_TRUE(seat.m_bHasGlass && seat.m_nGlassX == 200 && seat.m_nGlassY == 220 && seat.m_nGlassZ == 61);
    EXPECT_FALSE(scene.m_lSeats.getAt(2).m_bHasGlass);
    const SceneSeat& chair = scene.m_lSeats.getLast();
    EXPECT_TRUE(chair.m_sSlot == "silla_0" && chair.m_bHasGlass && chair.m_nGlassY == 500);
    EXPECT_TRUE(scene.m_bHasChairPlace && scene.m_nChairPosY == 520 && scene.m_nChairDepth == 90);
    // A dancer is drawn ten deeper than its line says.
    SceneData show = parseScene("scene0.scene", (fixture::barScene() + "bailarina 470 236 0 0 35 a show_3\n").c_str());
    EXPECT_EQ(45, show.m_lVisuals.getLast().m_nZ);
}

TEST(SceneReader, EveryFaultNamesTheFileAndTheLine) {
    const std::string sFloor = "topy 300\nbottomy 560\nwalkarea 0 300 800 560 1\nstart 10 400 s\n";
    struct Case {
        std::string sText;
        const char* pszMessage;
    } cases[] = {
        {sFloor + "\n# note\nbogus 1 2", "scene0.scene, line 7: unknown keyword 'bogus'"},
        {sFloor + "sprite pic 1 1 1 plain\nplaysequence plain walk", "scene0.scene, line 6: playsequence: 'plain' is not animated"},
        {sFloor + "walkarea 0 0 10", "scene0.scene, line 5: walkarea takes 5 to 5 tokens, not 3"},
        {sFloor + "sprite pic 10 y 3", "scene0.scene, line 5: sprite: 'y' is not a number"},
        {sFloor + "seat 1 2 3 up", "scene0.scene, line 5: seat: 'up' is not a heading (0-3 or n, e, s, w)"},
        {sFloor + "sprite_conditional pic 1 2 3 attic",
         "scene0.scene, line 5: sprite_conditional: unknown upgrade slot 'attic'"},
        {sFloor + "sprite_repeat pic 1 2 3 100000 5", "scene0.scene, line 5: sprite_repeat: count 100000 outside 0-64"},
        {sFloor + "flip nobody", "scene0.scene, line 5: flip: no sprite named 'nobody' before"},
        {sFloor + "actionspot shelf 1 2 3 4 5 n", "scene0.scene, line 5: unknown action spot type 'shelf'"},
        {sFloor + "actionspot liquid 1 2 3 4 5 n", "scene0.scene, line 5: actionspot liquid: wrong number of tokens"},
        {sFloor + "actionspot liquid 1 2 3 4 5 n 8", "scene0.scene, line 5: drink 8 outside 0-7"},
        {sFloor + "vipseat 1 2 3 n 7", "scene0.scene, line 5: vipseat: side 7 is not 0 or 1"},
        {sFloor + "seat 1 2 3 n glass 4 5",
         "scene0.scene, line 5: seat: 'glass' where \"glass X Y Z\" or the end of the line belongs"},
        {sFloor + "seat 1 2 3 n silla_0 cup 4 5 6",
         "scene0.scene, line 5: seat: 'cup' where \"glass X Y Z\" or the end of the line belongs"},
        {sFloor + "vipseat 1 2 3 n 1 glass 4 5 z", "scene0.scene, line 5: vipseat: 'z' is not a number"},
        {"topy 300\nbottomy 300\nwalkarea 0 300 800 560 1\nstart 10 400 s\n",
         "scene0.scene, line 2: bottomy 300 is not below topy 300"},
        {"topy 300\nbottomy 560\nwalkarea 0 300 800 560 1\nstart 10 100 s\n",
         "scene0.scene, line 4: start 10 100 is outside every walk area"},
        {"topy 300\nwalkarea 0 300 800 560 1\n", "scene0.scene, line 2: the floor needs topy and bottomy"},
        {sFloor + "topy 99999999999", "scene0.scene, line 5: topy: '99999999999' is not a number"},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf(c.sText), c.pszMessage);
}

struct SceneBuildTest : PlayFieldFixture {};

TEST_F(SceneBuildTest, ASceneLoadedTwiceIsTheSame) {
    Tsl::SmartPtr<Image> pPicture = app.createImage(4, 2, true);
    pPicture->setColorAt(0, 0, Color(255, 0, 0, 255));
    app.addImage("pic", pPicture);
    addText("scene0.scene", fixture::barScene() +
                                "image pic\nhflip pic\ninspos right 0 pic\nsprite pic 10 20 5 sign\n"
                                "sprite_repeat pic 0 0 1 3 10 fence\nflip fence\n");
    for (int i = 0; i < 2; ++i) {
        Tsl::SmartPtr<PlayMode> pMode = new PlayMode("scene0", 0, 0, nullptr, -1);
        ASSERT_TRUE(pMode->buildLevel());
        EXPECT_EQ(pMode->getSpots().getCount(), 6);
    }
    // The cached picture was never flipped nor moved.
    EXPECT_EQ(app.getImage("pic")->getColorAt(0, 0).r, 255);
    EXPECT_EQ(app.getImage("pic")->getInsPointX(), 0);
}

TEST_F(SceneBuildTest, TheScenesTuneStartsWithTheLevelWhateverItsSuffix) {
    addText("scene0.scene", fixture::barScene());
    addText("music_scene0.ogg", "tune");
    Tsl::SmartPtr<PlayMode> pMode = new PlayMode("scene0", 0, 0, nullptr, -1);
    ASSERT_TRUE(pMode->buildLevel());
    const std::vector<std::string>& calls = app.platform->audio.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "music music_scene0"), calls.end());
}

TEST_F(SceneBuildTest, ABrokenSceneLeavesWithoutProgress) {
    addText("scene0.scene", "topy 300\nbottomy 560\nwalkarea 0 300 800 560 1\nstart 10 100 s\n");
    Tsl::SmartPtr<PlayMode> pMode = new PlayMode("scene0", 0, 0, nullptr, -1);
    EXPECT_FALSE(pMode->buildLevel());
    EXPECT_EQ(pMode->getPhase(), PlayMode::PHASE_FAILED);
}
