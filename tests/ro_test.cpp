// The robot list and its two groups: capacity, the swap-with-last removal and its order effects, the cursor
// walk, position labels of the transbot and the nautbots' collision test.
#include <gtest/gtest.h>

#include <initializer_list>

#include "rules/ro.h"
#include "rules/shape.h"

namespace {

// Robots a, b, c, ... on a 40 x 20 map, one per column of row 1.
struct robots {
    bot r[21];
    robots() {
        for (int i = 0; i < 21; ++i)
            r[i].init(i, 1, 40, 20);
    }
};

// A list holding the given robots in the order given.
ro listOf(std::initializer_list<bot*> members) {
    ro list;
    for (bot* r : members)
        list.push(r);
    return list;
}

}  // namespace

TEST(List, KeepsTwentyAndIgnoresNull) {
    robots all;
    ro list;
    EXPECT_EQ(list.size(), 0) << "a new list should be empty";
    EXPECT_TRUE(list.end()) << "a new list's walk should be over at once";
    list.push(nullptr);
    EXPECT_EQ(list.size(), 0) << "pushing null should be ignored";
    for (int i = 0; i < 21; ++i)
        list.push(&all.r[i]);
    EXPECT_EQ(list.size(), 20) << "the 21st robot should be dropped";
    EXPECT_EQ(list.get(19), &all.r[19]) << "slot 19 should hold the 20th robot pushed";
    EXPECT_EQ(list.get(20), nullptr) << "get past the members should answer null";
    EXPECT_EQ(list.get(-1), nullptr) << "get at -1 should answer null";
}

TEST(List, PopTakesTheLastAndAnswersNullWhenEmpty) {
    robots all;
    ro list;
    EXPECT_EQ(list.pop(), nullptr) << "pop of an empty list should answer null";
    EXPECT_EQ(list.size(), 0) << "pop of an empty list should leave it empty";
    list.push(&all.r[0]);
    list.push(&all.r[1]);
    EXPECT_EQ(list.pop(), &all.r[1]) << "pop should return the robot pushed last";
    EXPECT_EQ(list.size(), 1) << "one robot should remain after popping one of two";
}

TEST(List, RemoveSwapsTheLastMemberIntoTheGap) {
    robots all;
    bot *a = &all.r[0], *b = &all.r[1], *c = &all.r[2], *d = &all.r[3];
    ro list = listOf({a, b, c, d});
    EXPECT_EQ(list.remove(1), b) << "remove(1) of [a, b, c, d] should return b";
    EXPECT_EQ(list.get(0), a) << "after removing b, slot 0 should still hold a";
    EXPECT_EQ(list.get(1), d) << "after removing b, the last member d should fill slot 1";
    EXPECT_EQ(list.get(2), c) << "after removing b, c should keep slot 2";
    EXPECT_EQ(list.size(), 3) << "three members should remain";
    EXPECT_EQ(list.remove(3), nullptr) << "remove past the members should answer null";
    EXPECT_EQ(list.remove(-1), nullptr) << "remove at -1 should answer null";
    EXPECT_EQ(list.size(), 3) << "a refused remove should leave the list alone";

    ro three = listOf({a, b, c});
    EXPECT_EQ(three.remove(0), a) << "remove(0) of [a, b, c] should return a";
    EXPECT_EQ(three.get(0), c) << "remove(0) of [a, b, c] should leave c first";
    EXPECT_EQ(three.get(1), b) << "remove(0) of [a, b, c] should leave b second";
}

TEST(List, RemovingTheFirstAndPushingItBackExchangesFirstAndLast) {
    robots all;
    bot *a = &all.r[0], *b = &all.r[1], *c = &all.r[2];
    ro list = listOf({a, b, c});
    list.push(list.remove(0));
    EXPECT_EQ(list.get(0), c) << "[a, b, c] should become [c, b, a]: c first";
    EXPECT_EQ(list.get(1), b) << "[a, b, c] should become [c, b, a]: b in the middle";
    EXPECT_EQ(list.get(2), a) << "[a, b, c] should become [c, b, a]: a last";
    list.push(list.remove(0));
    EXPECT_EQ(list.get(0), a) << "doing it twice should restore a first";
    EXPECT_EQ(list.get(2), c) << "doing it twice should restore c last";
}

TEST(List, WalkWithTheCursor) {
    robots all;
    bot *a = &all.r[0], *b = &all.r[1];
    ro list = listOf({a, b});
    list.reset();
    EXPECT_FALSE(list.end()) << "after reset a non-empty list's walk should not be over";
    EXPECT_EQ(list.peek(), a) << "peek should show the first member";
    EXPECT_EQ(list.peek(), a) << "peek should not move the cursor";
    EXPECT_EQ(list.next(), a) << "the first next should return a";
    EXPECT_EQ(list.next(), b) << "the second next should return b";
    EXPECT_TRUE(list.end()) << "after two nexts on [a, b] the walk should be over";
    EXPECT_EQ(list.next(), a) << "next past the end answers slot 0";
    EXPECT_EQ(list.cursor, 2) << "next past the end should leave the cursor at 2";
}

TEST(List, PeekRemoveLeavesTheCursorOnTheMovedMember) {
    robots all;
    bot *a = &all.r[0], *b = &all.r[1], *c = &all.r[2];
    ro list = listOf({a, b, c});
    list.reset();
    list.next();
    EXPECT_EQ(list.peekRemove(), b) << "with the cursor at 1, peekRemove should take b";
    EXPECT_EQ(list.size(), 2) << "two members should remain";
    EXPECT_EQ(list.cursor, 1) << "the cursor should stay at 1";
    EXPECT_EQ(list.peek(), c) << "the former last member c should now be at the cursor";
    list.next();
    EXPECT_EQ(list.peekRemove(), nullptr) << "peekRemove past the end should answer null";
    EXPECT_EQ(list.size(), 2) << "peekRemove past the end should change nothing";
}

TEST(Transbot, LabelsByPositionWithColonForTheTenth) {
    robots all;
    trans group;
    EXPECT_EQ(group.midLabel, '\0') << "the middle label should start as NUL";
    EXPECT_EQ(group.preMidLabel, '\0') << "the label before the middle should start as NUL";
    EXPECT_EQ(group.lastLabel, '\0') << "the last label should start as NUL";
    for (int i = 0; i < maxRobots; ++i)
        group.push(&all.r[i]);
    group.unite();
    const char expected[] = "123456789:ABCDEFGHIJ";
    for (int i = 0; i < maxRobots; ++i) {
        EXPECT_EQ(all.r[i].label, expected[i]) << "member " << i << " of twenty has the wrong label";
    }
    EXPECT_EQ(group.midLabel, 'A') << "slot 10 of twenty should give the middle label";
    EXPECT_EQ(group.preMidLabel, ':') << "slot 9 of twenty should give the label before the middle";
    EXPECT_EQ(group.lastLabel, 'J') << "the twentieth member should give the last label";
}

TEST(Transbot, MiddleLabelsFollowTheSize) {
    robots all;
    trans seven;
    for (int i = 0; i < 7; ++i)
        seven.push(&all.r[i]);
    seven.unite();
    EXPECT_EQ(seven.midLabel, '4') << "seven members: the middle is slot 3";
    EXPECT_EQ(seven.preMidLabel, '3') << "seven members: before the middle is slot 2";
    EXPECT_EQ(seven.lastLabel, '7') << "seven members: the last is slot 6";

    trans two;
    two.push(&all.r[0]);
    two.push(&all.r[1]);
    two.unite();
    EXPECT_EQ(two.midLabel, '2') << "two members: the middle is slot 1";
    EXPECT_EQ(two.preMidLabel, '1') << "two members: before the middle is slot 0";

    two.pop();
    two.unite();
    EXPECT_EQ(two.midLabel, '1') << "one member: the middle is that member";
    EXPECT_EQ(two.lastLabel, '1') << "one member: the last is that member";
    EXPECT_EQ(two.preMidLabel, '1') << "one member has no slot before the middle, so the old label stays";

    two.pop();
    all.r[0].label = 'q';
    two.unite();
    EXPECT_EQ(two.lastLabel, '1') << "an empty group should keep its labels";
}

TEST(Transbot, MovesAndReshapesWithoutLookingAtAnything) {
    robots all;
    trans group;
    group.push(&all.r[0]);
    group.push(&all.r[1]);
    group.relMove(0, 3);
    EXPECT_EQ(all.r[0].row(), 4) << "member 0 should move down three rows with the group";
    EXPECT_EQ(all.r[1].row(), 4) << "member 1 should move down three rows with the group";
    shape line;
    line.build(shapeC2_6);
    line.resize(2);
    line.adjust(1, 4);
    group.reshape(line);
    EXPECT_EQ(all.r[0].col(), 1) << "member 0 should jump to cell 0 at (1, 4), where member 1 stood";
    EXPECT_EQ(all.r[1].col(), 2) << "member 1 should jump to cell 1 at (2, 4)";
    EXPECT_EQ(all.r[1].row(), 4) << "member 1 should stay in row 4";
}

TEST(Nautbots, UniteMarksEveryoneFree) {
    robots all;
    naut group;
    for (int i = 0; i < 3; ++i) {
        all.r[i].label = '5';
        group.push(&all.r[i]);
    }
    group.unite();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(all.r[i].label, '0') << "nautbot " << i << " should be labelled '0'";
}

TEST(Nautbots, PeekCollideLooksAtTheOthersOnly) {
    bot upper, lower;
    upper.init(5, 7, 40, 20);
    lower.init(5, 8, 40, 20);
    naut alone;
    alone.push(&upper);
    alone.reset();
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            EXPECT_FALSE(alone.peekCollideWithRel(dx, dy))
                << "a lone nautbot should meet nobody at offset (" << dx << ", " << dy << ")";
        }
    }
    naut stack;
    stack.push(&upper);
    stack.push(&lower);
    stack.reset();
    EXPECT_TRUE(stack.peekCollideWithRel(0, 1))
        << "the nautbot at (5, 7) stepping down should meet the one at (5, 8)";
    EXPECT_FALSE(stack.peekCollideWithRel(0, -1)) << "the nautbot at (5, 7) stepping up should meet nobody";
    stack.next();
    stack.next();
    EXPECT_FALSE(stack.peekCollideWithRel(0, 1)) << "with the walk over there is nobody to test";
}
