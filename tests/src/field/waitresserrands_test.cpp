// The waitress's errands on a play screen that is never entered: her walk
// along the grid, and the clicks that wait while she is busy.
#include "playfield_fixture.h"

#include "field/targets/fieldspots.h"
#include "field/waitress.h"
#include "field/waitresserrands.h"

struct WaitressErrandsTest : PlayFieldFixture {
    Tsl::SmartPtr<PlayMode> pMode;
    PlayField field;
    WalkGrid grid;
    Tsl::SmartPtr<Waitress> pWaitress;

    void SetUp() override {
        PlayFieldFixture::SetUp();
        pMode = makeField();
        grid.build(pMode->getScene());
        pWaitress = new Waitress(pMode.get(), "waitress", 400, 400, 2);
    }
};

TEST_F(WaitressErrandsTest, SheWalksToAPointOnTheFloorAndNowhereElse) {
    WaitressErrands errands(pMode.get(), grid, field);
    errands.setWaitress(pWaitress.get());
    EXPECT_FALSE(errands.walkTo(400, 100)) << "above the floor";
    ASSERT_TRUE(errands.walkTo(600, 500));
    for (int i = 0; i < 200 && errands.isWalkPending(); ++i) {
        pWaitress->update(0.125f);
        errands.update(0.125f);
    }
    EXPECT_FALSE(errands.isWalkPending());
    EXPECT_EQ(std::make_pair(600, 500), std::make_pair(pWaitress->getX(), pWaitress->getY()));
}

TEST_F(WaitressErrandsTest, ClicksWaitTheirTurnUpToTheLimit) {
    WaitressErrands errands(pMode.get(), grid, field);
    errands.setWaitress(pWaitress.get());
    Tsl::SmartPtr<ActionSpot> pBin = new TrashBin(pMode.get(), 700, 290, 80, 700, 330, 0);
    EXPECT_TRUE(errands.click(pBin, 0));
    EXPECT_EQ(0, errands.getQueuedClickCount()) << "a free waitress goes at once";
    for (int i = 0; i < WaitressErrands::CLICK_QUEUE_LIMIT; ++i) EXPECT_TRUE(errands.click(pBin, 0));
    EXPECT_FALSE(errands.click(pBin, 1));
    EXPECT_EQ(WaitressErrands::CLICK_QUEUE_LIMIT, errands.getQueuedClickCount());
}
