// Formation patterns: reading markers in order, stopping at a gap, sizing and anchoring on cell 0, and what
// play needs of the built-in patterns and tables, since a wrong cell makes a level unplayable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "rules/shape.h"

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

// What play needs of the two tables rather than their cells one by one: every pattern is 6 x 6 of markers
// and blanks, with twenty cells for the title's giant and six for a level's group (w and x have none), cell 0
// in the bottom row and no cell twice; a level group re-formed at any size stays one body, each cell
// touching one before it; the giant's cells each touch another, corners too; and the keys mirrored on the
// 3 x 3 block give mirrored poses, cell for cell.
TEST(Shape, PatternsHaveTheirCountsBottomAnchorsConnectedCellsAndMirrors) {
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
                bool touches = false;
                for (int j = 0; j < s.count; ++j) {
                    const int dx = std::abs(s.col(i) - s.col(j)), dy = std::abs(s.row(i) - s.row(j));
                    EXPECT_TRUE(i == j || dx + dy > 0)
                        << where << " puts cells " << j << " and " << i << " on one cell";
                    touches |= table == 0 ? i != j && dx <= 1 && dy <= 1 : j < i && dx + dy == 1;
                }
                EXPECT_TRUE(i == 0 || touches) << where << ": cell " << i << " touches no cell it should";
            }
        }
    }
    const struct {
        const char* const* table;
        int left, right;
    } mirrors[] = {{thoseShape1, 0, 2}, {thoseShape1, 3, 5}, {thoseShape1, 6, 8}, {thoseShape1, 4, 4},
                   {thoseShape0, 1, 4}, {thoseShape0, 3, 5}, {thoseShape0, 6, 8}};
    for (const auto& m : mirrors) {
        shape left, right;
        left.build(m.table[m.left]);
        right.build(m.table[m.right]);
        ASSERT_EQ(left.count, right.count) << "poses " << m.left << " and " << m.right << " should mirror";
        for (int i = 0; i < left.count; ++i) {
            EXPECT_EQ(left.col(i) - left.col(0), right.col(0) - right.col(i))
                << "cell " << i << " of pose " << m.left << " should mirror that of pose " << m.right;
            EXPECT_EQ(left.row(i), right.row(i))
                << "cell " << i << " of pose " << m.left << " should mirror that of pose " << m.right;
        }
    }
}
