// Cells, indexes and the robot record: row-major arithmetic, the wall answered off the grid or past a short
// text, and contact probes that never wrap from one row's edge into the next.
#include <gtest/gtest.h>

#include "rules/bot.h"
#include "rules/grid.h"
#include "rules/maps.h"

TEST(Grid, IndexesAreRowMajorWithTheWidthAsStride) {
    EXPECT_EQ((indexFromXY<40, 20>(39, 0)), 39) << "cell (39, 0) should be index 39";
    EXPECT_EQ((indexFromXY<40, 20>(0, 1)), 40) << "cell (0, 1) should follow (39, 0) at index 40";
    EXPECT_EQ((xFromIndex<40, 20>(40)), 0) << "index 40 should lie in column 0";
    EXPECT_EQ((yFromIndex<40, 20>(40)), 1) << "index 40 should lie in row 1";
    EXPECT_EQ((xFromIndex<6, 6>(35)), 5) << "the last pattern cell should be in column 5";
    EXPECT_EQ((yFromIndex<6, 6>(35)), 5) << "the last pattern cell should be in row 5";
}

TEST(Grid, FindIndexTakesTheFirstCellInRowMajorOrder) {
    const char text[] =
        "x..x"
        ".x.."
        "..y.";
    EXPECT_EQ((findIndex<4, 3>(text, 'x')), 0) << "a character in cell 0 should be found at 0, not as absent";
    EXPECT_EQ((findIndex<4, 3>(text, 'y')), 10) << "'y' should be found in cell (2, 2)";
    EXPECT_EQ((findIndex<4, 3>(text, 'z')), -1) << "an absent character should give -1";
}

TEST(Grid, FindIndexLooksOnlyAtTheGridsCells) {
    const char longer[] =
        "...."
        "...."
        "....z";
    EXPECT_EQ((findIndex<4, 2>(longer, 'z')), -1)
        << "a character after the last of the W*H cells is not on the map";
    const char shorter[] = "..";
    EXPECT_EQ((findIndex<4, 3>(shorter, 'z')), -1) << "a text that ends early should end the search";
}

TEST(Grid, LevelReadsEveryCellTheSameWayByCellAndByIndex) {
    level<level1W, level1H> map;
    map.init(level1T);
    for (int y = 0; y < level1H; ++y) {
        for (int x = 0; x < level1W; ++x) {
            ASSERT_EQ(map.at(x, y), (map.at(indexFromXY<level1W, level1H>(x, y))))
                << "level 1 cell (" << x << ", " << y << ") reads differently by cell and by index";
        }
    }
    EXPECT_EQ(map.at(4, 12), '@') << "level 1 should have its goal at (4, 12)";
    EXPECT_EQ(map.at(28, 5), '!') << "level 1 should have its breaker at (28, 5)";
}

TEST(Grid, CellsOffTheGridReadAsWalls) {
    level<level1W, level1H> map;
    map.init(level1T);
    EXPECT_EQ(map.at(-1, 1), '#') << "column -1 is off the grid";
    EXPECT_EQ(map.at(40, 1), '#') << "column 40 is off a 40-wide grid, not column 0 of the next row";
    EXPECT_EQ(map.at(1, -1), '#') << "row -1 is off the grid";
    EXPECT_EQ(map.at(1, 20), '#') << "row 20 is off a 20-high grid";
    EXPECT_EQ(map.at(-1), '#') << "a negative index is off the text";
    EXPECT_EQ(map.at(800), '#') << "index 800 is past the last cell";
}

TEST(Grid, AShortTextIsNeverReadPastItsEnd) {
    // The buffer is roomier than the text so the compiler sees no out-of-bounds path; the text ends at its
    // NUL.
    const char text[16] = "ab  c";
    level<4, 3> map;
    map.init(text);
    EXPECT_EQ(map.at(1), 'b') << "cell 1 of the text should be read as it is";
    EXPECT_EQ(map.at(0, 1), 'c') << "cell (0, 1) is the fifth character";
    EXPECT_EQ(map.at(5), '#') << "cell 5 lies past the end of a five-character text";
    EXPECT_EQ(map.at(3, 2), '#') << "the last cell of the grid lies past the end of the text";
}

TEST(Grid, TheTitlesThirteenthRowIsWall) {
    level<titleW, titleH> map;
    map.init(titleLVL);
    for (int x = 0; x < titleW; ++x) {
        EXPECT_EQ(map.at(x, 12), '#') << "title cell (" << x << ", 12) should be a wall";
    }
}

TEST(Bot, InitSetsTheCellAndClearsTheLabel) {
    bot robot;
    robot.label = '7';
    robot.init(3, 7, 40, 20);
    EXPECT_EQ(robot.index(), 283) << "a robot at (3, 7) on a 40-wide map is at index 283";
    EXPECT_EQ(robot.indexWithRel(0, 1), 323) << "the cell below (3, 7) is index 323";
    EXPECT_EQ(robot.indexWithRel(0, 0), robot.index()) << "a zero offset is the robot's own cell";
    EXPECT_EQ(robot.label, '\0') << "init should clear a label left from before";
    robot.relMove(-1, 0);
    EXPECT_EQ(robot.col(), 2) << "moving left by one from column 3 should give column 2";
    EXPECT_EQ(robot.row(), 7) << "a sideways move should keep the row";
    robot.absMove(2, 7);
    robot.relMove(0, 0);
    EXPECT_EQ(robot.index(), 282) << "moving to its own cell and by nothing should leave the robot at (2, 7)";
}

TEST(Bot, CollidesWhenTheOffsetCellIsTheOthersCell) {
    bot upper, lower;
    upper.init(5, 7, 40, 20);
    lower.init(5, 8, 40, 20);
    EXPECT_TRUE(upper.collideWithRel(&upper, 0, 0)) << "a robot always meets itself at zero offset";
    EXPECT_TRUE(upper.collideWithRel(&lower, 0, 1))
        << "the robot at (5, 7) moving down meets the one at (5, 8)";
    EXPECT_FALSE(upper.collideWithRel(&lower, 1, 1)) << "a diagonal offset reaches (6, 8), not (5, 8)";
    EXPECT_FALSE(lower.collideWithRel(&upper, 0, 1))
        << "the lower robot moving down moves away from the upper";
}

TEST(Bot, AProbeOffTheMapTouchesNothing) {
    bot rightEdge, nextRowStart;
    rightEdge.init(39, 5, 40, 20);
    nextRowStart.init(0, 6, 40, 20);
    EXPECT_FALSE(rightEdge.collideWithRel(&nextRowStart, 1, 0))
        << "a robot at (39, 5) probing right should not meet the robot at (0, 6)";
    EXPECT_FALSE(nextRowStart.collideWithRel(&rightEdge, -1, 0))
        << "a robot at (0, 6) probing left should not meet the robot at (39, 5)";
    EXPECT_TRUE(rightEdge.onMapWithRel(0, 14)) << "(39, 19) is the map's last cell";
    EXPECT_FALSE(rightEdge.onMapWithRel(0, 15)) << "(39, 20) is below a 20-high map";
    EXPECT_FALSE(nextRowStart.onMapWithRel(0, -7)) << "(0, -1) is above the map";
}
