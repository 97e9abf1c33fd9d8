// A level's scene built on a play screen that is never entered: which seats
// the upgrades furnish and in what order, where the guests on chairs sit,
// and the targets the waitress serves.
#include "playfield_fixture.h"

#include "field/customers/spawnmanager.h"
#include "field/levelscene.h"
#include "rules/upgrademanager.h"

TEST_F(PlayFieldFixture, TheSceneSeatsItsGuestsByTheUpgradesTheVipsLast) {
    struct Case {
        int nChairLevel;
        std::vector<int> seatX, seatKinds;
        int nChairY;
    } cases[] = {{0, {200, 320, 500}, {0, 0, 0}, -1}, {1, {200, 320, 100, 500}, {0, 0, 1, 0}, 520}};
    for (const Case& c : cases) {
        Tsl::SmartPtr<PlayMode> pMode = makeField();
        PlayField field;
        UpgradeLevels anLevels{};
        anLevels[UpgradeManager::KIND_CHAIR_0] = c.nChairLevel;
        LevelScene scene(pMode.get(), field, anLevels);
        scene.read("scene0.scene", fixture::barScene().c_str());
        scene.build();
        SeatInfo info = scene.seatInfo();
        std::vector<int> seatX, seatKinds;
        for (int nX : info.m_lSeatX) seatX.push_back(nX);
        for (int nKind : field.m_lSeatKinds) seatKinds.push_back(nKind);
        EXPECT_EQ(c.seatX, seatX) << c.nChairLevel;
        EXPECT_EQ(c.seatKinds, seatKinds) << c.nChairLevel;
        EXPECT_EQ(int(c.seatX.size()) - 1, info.m_nNormalSeatCount) << "one VIP seat, after the others";
        if (c.nChairY >= 0) {
            EXPECT_EQ(c.nChairY, field.m_lSeatSpots.getAt(2)->getY()) << "a guest on a chair sits at its row";
        }
        // The seats and the three spots of the scene are the targets.
        EXPECT_EQ(int(c.seatX.size()) + 3, scene.getSpots().getCount()) << c.nChairLevel;
        EXPECT_EQ(300, field.m_nTopY);
    }
}
