// Layout: sizes measured before layout, spacing, spans, alignment, nested
// tables, frames, z-order, visibility, and what getSprites and clear touch.
#include "ui_support.h"

#include "anim/animation.h"
#include "anim/animsprite.h"
#include "ui/styles.h"
#include "ui/theme.h"
#include "ui/uitable.h"

namespace {

struct TableTest : UiTest {
    Tsl::SmartPtr<Table> table;
    void SetUp() override {
        UiTest::SetUp();
        table = new Table(mode.get());
    }
    Tsl::SmartPtr<Sprite> put(int nWidth, int nHeight, int nFlags = 0) {
        Tsl::SmartPtr<Sprite> pSprite = box(nWidth, nHeight);
        table->add(pSprite, nFlags);
        return pSprite;
    }
    static Point at(const Tsl::SmartPtr<Sprite>& p) { return p->getPosition(); }
};

TEST_F(TableTest, SizeIsKnownBeforeLayoutAndCellsSitInTheirColumnsAndRows) {
    table->setColumnSpacing(5);
    table->setRowSpacing(3);
    table->addCell(1);
    Tsl::SmartPtr<Sprite> pA = put(40, 20);
    table->addCell(1);
    Tsl::SmartPtr<Sprite> pB = put(30, 10);
    table->addRow(1);
    table->addCell(1);
    Tsl::SmartPtr<Sprite> pC = put(10, 30, 2);
    EXPECT_EQ(Point(75.0f, 53.0f), table->getSize());
    EXPECT_TRUE(pA->getOwnerMode() == mode.get());

    table->setPosition(100, 200);
    table->layout();
    EXPECT_EQ(Point(100.0f, 200.0f), at(pA));
    EXPECT_EQ(Point(145.0f, 200.0f), at(pB));
    // The last cell of a short row takes the rest of the width.
    EXPECT_EQ(Point(165.0f, 223.0f), at(pC));

    // Moving the laid-out table moves its objects along.
    table->setPosition(0, 0);
    EXPECT_EQ(Point(45.0f, 0.0f), at(pB));
}

TEST_F(TableTest, FlagsAlignObjectsInTheRoomOfTheirCell) {
    // The first cell's room is 40 wide (its column) and 60 high (its row).
    struct Case {
        int nCellFlags;
        int nObjectFlags;
        Point expected;
    } aCases[] = {
        {0, 0, Point(0.0f, 0.0f)},
        {0, 0x24, Point(15.0f, 25.0f)},
        {0, 2 | 16, Point(30.0f, 50.0f)},
        {0x20, 4, Point(15.0f, 25.0f)},  // the cell's flags add to the object's
        {16, 0, Point(0.0f, 50.0f)},
    };
    for (const Case& c : aCases) {
        table->clear();
        table->addCell(1);
        table->setCellFlags(c.nCellFlags);
        put(40, 20);
        Tsl::SmartPtr<Sprite> pSmall = put(10, 10, c.nObjectFlags);
        table->addCell(1);
        put(5, 60);
        table->layout();
        EXPECT_EQ(c.expected, at(pSmall)) << "cell flags " << c.nCellFlags << ", object flags " << c.nObjectFlags;
    }
}

TEST_F(TableTest, SpanningCellsWidenTheirColumnsAndNegativeSpacingOverlaps) {
    table->addCell(2);
    put(100, 10);
    table->addRow(1);
    table->addCell(1);
    Tsl::SmartPtr<Sprite> pLeft = put(20, 10, 0);
    table->addCell(1);
    Tsl::SmartPtr<Sprite> pRight = put(30, 10, 0);
    table->layout();
    EXPECT_EQ(100, table->getWidth());
    EXPECT_EQ(2, table->getCellValue(0, 0));
    // 50 missing pixels go 25 to each column: 45 and 55 wide.
    EXPECT_EQ(Point(0.0f, 10.0f), at(pLeft));
    EXPECT_EQ(Point(45.0f, 10.0f), at(pRight));

    table->setRowSpacing(-7);
    EXPECT_EQ(13, table->getHeight());
}

// A 100-wide cell over two columns of 20 and 30: the spacing between them
// counts towards the span, and what is still missing is shared out, the odd
// pixel to the first column. A right-aligned 10-wide object in a second span
// shows the span's room.
TEST_F(TableTest, SpansCountTheColumnSpacingTheyCover) {
    struct Case {
        int nSpacing;
        int nRightX, nWidth;
    } aCases[] = {
        {0, 45, 100}, {10, 50, 100}, {7, 49, 100}, {-4, 43, 100}, {60, 80, 110},
    };
    for (const Case& c : aCases) {
        table->clear();
        table->setColumnSpacing(c.nSpacing);
        table->addCell(2);
        put(100, 10);
        table->addRow(1);
        table->addCell(1);
        put(20, 10);
        table->addCell(1);
        Tsl::SmartPtr<Sprite> pRight = put(30, 10);
        table->addRow(1);
        table->addCell(2);
        Tsl::SmartPtr<Sprite> pAligned = put(10, 10, 2);
        table->layout();
        EXPECT_EQ(c.nWidth, table->getWidth()) << "spacing " << c.nSpacing;
        EXPECT_EQ(c.nRightX, at(pRight).x) << "spacing " << c.nSpacing;
        EXPECT_EQ(c.nWidth - 10, at(pAligned).x) << "spacing " << c.nSpacing;
    }
}

TEST_F(TableTest, SpritesArePlacedByTheirInsertionPointAndHiddenOnesTakeNoRoom) {
    Tsl::SmartPtr<Image> pImage = picture(20, 20);
    pImage->setInsPoint(10, 10);
    Tsl::SmartPtr<Sprite> pCentred = new Sprite(pImage, 0, 0, 0);
    table->add(pCentred, 0);
    table->addCell(1);
    Tsl::SmartPtr<Sprite> pHidden = put(50, 50);
    pHidden->setVisible(false);
    table->layout();
    EXPECT_EQ(Point(10.0f, 10.0f), at(pCentred));
    EXPECT_EQ(Point(20.0f, 20.0f), table->getSize());
}

TEST_F(TableTest, NestedTablesAreMeasuredPlacedMovedInZAndHidden) {
    Tsl::SmartPtr<Table> pInner = new Table(mode.get());
    pInner->setSpacing(4);
    pInner->addCell(1);
    Tsl::SmartPtr<Sprite> pInA = box(10, 10, 1);
    pInner->add(pInA, 0);
    pInner->addCell(1);
    Tsl::SmartPtr<Sprite> pInB = box(10, 10, 1);
    pInner->add(pInB, 0);
    table->addCell(1);
    Tsl::SmartPtr<Sprite> pTop = put(60, 5);
    table->addRow(1);
    table->addCell(1);
    table->add(pInner, 0x24);
    EXPECT_EQ(Point(60.0f, 15.0f), table->getSize());
    table->setPosition(10, 20);
    table->layout();
    EXPECT_EQ(Point(28.0f, 25.0f), at(pInA));
    EXPECT_EQ(Point(42.0f, 25.0f), at(pInB));

    SpriteList lFlat, lDeep;
    table->getSprites(lFlat, false);
    table->getSprites(lDeep, true);
    EXPECT_EQ(1, lFlat.getCount());
    EXPECT_EQ(3, lDeep.getCount());

    // Every object keeps its place relative to the table's z-order, and the
    // mode's layer order follows.
    table->setZOrder(100);
    EXPECT_EQ(100, pTop->getZOrder());
    EXPECT_EQ(101, pInA->getZOrder());
    EXPECT_EQ(100, pInner->getZOrder());
    EXPECT_TRUE(mode->getLayers().getFirst()->getLast() == pInB);

    table->setVisible(false);
    EXPECT_FALSE(pInA->isVisible());
    EXPECT_FALSE(pTop->isVisible());
}

TEST_F(TableTest, FrameComesWithTheFirstLayoutUnderTheContentsAndGrowsTheTable) {
    table->setFrameEnabled(true);
    Tsl::SmartPtr<Sprite> pContent = put(100, 50);
    Tsl::SmartPtr<FrameStyle> pStyle = app.getTheme()->getFrameStyle("Default");
    int nWidth = 100 + pStyle->padding.left + pStyle->padding.right;
    int nHeight = 50 + pStyle->padding.top + pStyle->padding.bottom;
    EXPECT_EQ(Point(float(nWidth), float(nHeight)), table->getSize());
    EXPECT_TRUE(table->getFrame().isNull());
    table->layout();
    ASSERT_FALSE(table->getFrame().isNull());
    EXPECT_EQ(nWidth, table->getFrame()->getImage()->getWidth());
    EXPECT_EQ(nHeight, table->getFrame()->getImage()->getHeight());
    EXPECT_LT(table->getFrame()->getZOrder(), pContent->getZOrder());
    EXPECT_EQ(Point(float(pStyle->padding.left), float(pStyle->padding.top)), at(pContent));
    // The frame's corner is the style's picture, not a stretched one.
    EXPECT_EQ(pStyle->pImage->getColorAt(1, 2), table->getFrame()->getImage()->getColorAt(1, 2));

    // A framed table inside draws its frame over ours.
    Tsl::SmartPtr<Table> pInner = new Table(mode.get());
    pInner->setFrameEnabled(true);
    pInner->add(box(10, 10), 0);
    table->add(pInner, 0);
    table->layout();
    const SpriteList& lLayer = *mode->getLayers().getFirst();
    EXPECT_LT(lLayer.indexOf(table->getFrame()), lLayer.indexOf(pInner->getFrame()));

    table->setFrameEnabled(false);
    EXPECT_TRUE(table->getFrame().isNull());
    EXPECT_EQ(Point(100.0f, 50.0f), table->getSize());
}

TEST_F(TableTest, AnimatedPicturesInACellPlayWithTheModesUpdate) {
    // Two frames of one second each, looping.
    Tsl::SmartPtr<Animation> pAnimation = new Animation(1.0f);
    pAnimation->createSequence("idle", true, 1.0f);
    pAnimation->addFrame("idle", picture(8, 8), 1);
    pAnimation->addFrame("idle", picture(8, 8, Color(0, 0, 255)), 1);
    Tsl::SmartPtr<AnimSprite> pAnim = new AnimSprite(pAnimation, 0, 0);
    pAnim->play("idle");
    table->addCell(1);
    table->add(pAnim);
    ASSERT_EQ(1, pAnim->getControllerCount());

    mode->onUpdate(1.0f);
    EXPECT_EQ(1, pAnim->getFrame());
    mode->onUpdate(1.0f);
    EXPECT_EQ(0, pAnim->getFrame());
    // A plain picture gets no controller.
    EXPECT_EQ(0, put(4, 4)->getControllerCount());
}

TEST_F(TableTest, AnAnimatedPictureAlreadyPlayingKeepsItsSpeedInARebuiltTable) {
    Tsl::SmartPtr<Animation> pAnimation = new Animation(1.0f);
    pAnimation->createSequence("idle", true, 1.0f);
    for (int i = 0; i < 4; ++i) pAnimation->addFrame("idle", picture(8, 8), 1);
    Tsl::SmartPtr<AnimSprite> pAnim = new AnimSprite(pAnimation, 0, 0);
    pAnim->play("idle");
    // Placed, then the table is rebuilt with it (a refreshed list).
    table->addCell(1);
    table->add(pAnim);
    table->clear();
    table->addCell(1);
    table->add(pAnim);
    mode->onUpdate(1.0f);
    EXPECT_EQ(1, pAnim->getFrame());
    EXPECT_EQ(1, pAnim->getControllerCount());
}

TEST_F(TableTest, ObjectsPlacedAgainInARebuiltTableKeepTheirDepth) {
    table->setZOrder(10);
    Tsl::SmartPtr<Sprite> pSprite = box(4, 4, 2);
    for (int nBuild = 0; nBuild < 2; ++nBuild) {
        table->clear();
        table->addCell(1);
        table->add(pSprite);
        EXPECT_EQ(12, pSprite->getZOrder());
    }
}

TEST_F(TableTest, ClearTakesEveryObjectAndTheFrameOutOfTheMode) {
    Tsl::SmartPtr<Table> pInner = new Table(mode.get());
    Tsl::SmartPtr<Sprite> pDeep = box(5, 5);
    pInner->add(pDeep, 0);
    table->setFrameEnabled(true);
    Tsl::SmartPtr<Sprite> pSprite = put(10, 10);
    table->add(pInner, 0);
    table->layout();
    Tsl::SmartPtr<Sprite> pFrame = table->getFrame();
    table->clear();
    EXPECT_EQ(0, table->getRowCount());
    EXPECT_EQ(nullptr, pSprite->getOwnerMode());
    EXPECT_EQ(nullptr, pDeep->getOwnerMode());
    EXPECT_EQ(nullptr, pFrame->getOwnerMode());
    EXPECT_TRUE(mode->getLayers().getFirst()->isEmpty());
}

} // namespace
