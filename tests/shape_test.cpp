// Formation patterns: reading markers in order, stopping at a gap, sizing and anchoring on cell 0, and the
// built-in patterns and tables cell by cell, since a wrong cell makes a level unplayable.
#include <gtest/gtest.h>

#include <string>

#include "shape.h"

namespace {

struct cell {
    int col, row;
};

void expectCells(const char* name, const shape& s, std::initializer_list<cell> cells) {
    ASSERT_EQ(s.count, static_cast<int>(cells.size())) << name << " has the wrong number of cells";
    int i = 0;
    for (cell c : cells) {
        EXPECT_EQ(s.col(i), c.col) << name << " cell " << i << " is in the wrong column";
        EXPECT_EQ(s.row(i), c.row) << name << " cell " << i << " is in the wrong row";
        ++i;
    }
}

}  // namespace

TEST(Shape, ReadsMarkersInOrderAndResetsTheOffset) {
    shape s;
    s.build(shapeS2_6);
    EXPECT_EQ(s.count, 6) << "the upright line should have six cells";
    EXPECT_EQ(s.size(), 6) << "a new shape should use all its cells";
    EXPECT_EQ(s.dx, 0) << "a new shape should have no column offset";
    EXPECT_EQ(s.dy, 0) << "a new shape should have no row offset";
    EXPECT_EQ(s.col(0), 3) << "cell 0 of the upright line should be in column 3";
    EXPECT_EQ(s.row(0), 5) << "cell 0 of the upright line should be in the bottom row";
    EXPECT_EQ(s.row(5), 0) << "cell 5 of the upright line should be in the top row";

    s.build(robotShapeLF);
    EXPECT_EQ(s.count, 20) << "a title pose should have twenty cells";
    EXPECT_EQ(s.col(9), 2) << "marker 'A' is cell 9, in column 2";
    EXPECT_EQ(s.row(9), 1) << "marker 'A' is cell 9, in row 1";
    EXPECT_EQ(s.col(19), 4) << "marker 'K' is cell 19, in column 4";
    EXPECT_EQ(s.row(19), 5) << "marker 'K' is cell 19, in row 5";
}

TEST(Shape, AGapInTheMarkersEndsTheFormation) {
    const char gap[] =
        "      "
        "  4   "
        "      "
        "      "
        "      "
        "12    ";
    shape s;
    s.build(gap);
    EXPECT_EQ(s.count, 2) << "with no '3' the '4' should not be read";
    s.build(shapePas);
    EXPECT_EQ(s.count, 0) << "an all-blank pattern should give no cells";
    EXPECT_TRUE(s.resize(0)) << "an empty shape can be sized to nothing";
    EXPECT_FALSE(s.resize(1)) << "an empty shape cannot hold one robot";
}

TEST(Shape, ResizeRefusesMoreCellsThanThePatternHas) {
    shape s;
    s.build(shapeQ2_6);
    EXPECT_TRUE(s.resize(6)) << "a six-cell shape can be sized to six";
    EXPECT_TRUE(s.resize(4)) << "a six-cell shape can be sized to four";
    EXPECT_FALSE(s.resize(7)) << "a six-cell shape cannot be sized to seven";
    EXPECT_EQ(s.size(), 4) << "a refused resize should keep the size it had";
}

TEST(Shape, AdjustPutsCellZeroOnTheAnchor) {
    shape s;
    s.build(shapeC2_6);
    s.adjust(10, 12);
    expectCells("the flat line anchored on (10, 12)", s,
                {{10, 12}, {11, 12}, {12, 12}, {13, 12}, {14, 12}, {15, 12}});
    s.build(shapeS2_6);
    s.adjust(10, 12);
    EXPECT_EQ(s.col(5), 10) << "the upright line anchored on (10, 12) should have cell 5 in column 10";
    EXPECT_EQ(s.row(5), 7) << "the upright line anchored on (10, 12) should have cell 5 in row 7";
    s.resize(3);
    s.adjust(0, 5);
    EXPECT_EQ(s.count, 6) << "resize and adjust should keep the cells read";
    EXPECT_EQ(s.row(5), 0) << "cell 5 should still be five rows above cell 0";
}

TEST(Shape, LevelFormationsHaveTheirCells) {
    shape s;
    s.build(shapeQ2_6);
    expectCells("shapeQ2_6", s, {{0, 5}, {0, 4}, {1, 4}, {1, 5}, {2, 5}, {2, 4}});
    s.build(shapeE2_6);
    expectCells("shapeE2_6", s, {{4, 5}, {4, 4}, {3, 4}, {3, 5}, {2, 5}, {2, 4}});
    s.build(shapeA3_6);
    expectCells("shapeA3_6", s, {{4, 5}, {3, 5}, {3, 4}, {2, 4}, {1, 4}, {5, 5}});
    s.build(shapeS2_6);
    expectCells("shapeS2_6", s, {{3, 5}, {3, 4}, {3, 3}, {3, 2}, {3, 1}, {3, 0}});
    s.build(shapeD3_6);
    expectCells("shapeD3_6", s, {{2, 5}, {3, 5}, {3, 4}, {4, 4}, {5, 4}, {1, 5}});
    s.build(shapeZ2_6);
    expectCells("shapeZ2_6", s, {{5, 5}, {4, 5}, {3, 5}, {2, 5}, {1, 5}, {0, 5}});
    s.build(shapeC2_6);
    expectCells("shapeC2_6", s, {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}});
    s.build(shapePas);
    expectCells("shapePas", s, {});
}

TEST(Shape, TablesFollowTheCommandKeys) {
    const char* const level[9] = {shapeQ2_6, shapePas,  shapeE2_6, shapeA3_6, shapeS2_6,
                                  shapeD3_6, shapeZ2_6, shapePas,  shapeC2_6};
    const char* const title[9] = {robotShapeLF, robotShapeLU, robotShapeRF, robotShapeL1, robotShapeRU,
                                  robotShapeR1, robotShapeL2, robotShapeX,  robotShapeR2};
    for (int command = 0; command < 9; ++command) {
        EXPECT_EQ(thoseShape1[command], level[command])
            << "the level table has the wrong pattern at command " << command;
        EXPECT_EQ(thoseShape0[command], title[command])
            << "the title table has the wrong pattern at command " << command;
    }
}

TEST(Shape, EveryPatternIsSixBySixWithCellZeroInTheBottomRow) {
    for (int table = 0; table < 2; ++table) {
        for (int command = 0; command < 9; ++command) {
            const char* pattern = table == 0 ? thoseShape0[command] : thoseShape1[command];
            const std::string where =
                std::string(table == 0 ? "title" : "level") + " pattern " + std::to_string(command);
            EXPECT_EQ(std::string(pattern).size(), 36u) << where << " should hold 36 characters";
            shape s;
            s.build(pattern);
            const int expected = table == 0 ? 20 : (command == 1 || command == 7 ? 0 : 6);
            EXPECT_EQ(s.count, expected) << where << " has the wrong number of cells";
            int marked = 0;
            for (const char* c = pattern; *c != '\0'; ++c)
                marked += *c != ' ';
            EXPECT_EQ(marked, expected) << where << " should hold only its markers and blanks";
            if (s.count > 0) {
                EXPECT_EQ(s.row(0), 5) << where << " should have cell 0 in the bottom row";
            }
            for (int i = 0; i < s.count; ++i) {
                for (int j = 0; j < i; ++j) {
                    EXPECT_FALSE(s.col(i) == s.col(j) && s.row(i) == s.row(j))
                        << where << " puts cells " << j << " and " << i << " on one cell";
                }
            }
        }
    }
}

TEST(Shape, TitlePosesSpotChecks) {
    shape s;
    s.build(robotShapeX);
    EXPECT_EQ(s.col(8), 0) << "robotShapeX: marker '9' is in the top left corner";
    EXPECT_EQ(s.row(8), 0) << "robotShapeX: marker '9' is in the top row";
    s.build(robotShapeRU);
    EXPECT_EQ(s.col(16), 0) << "robotShapeRU: marker 'H' is in column 0";
    EXPECT_EQ(s.row(16), 0) << "robotShapeRU: marker 'H' is in the top row";
    s.build(robotShapeR2);
    EXPECT_EQ(s.col(0), 1) << "robotShapeR2: marker '1' is in column 1";
    EXPECT_EQ(s.col(18), 4) << "robotShapeR2: marker 'J' is in column 4";
}
