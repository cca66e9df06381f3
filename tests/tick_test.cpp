// One tick of the rules on small maps: the rigid fall of the transbot, one belt move per tick, breakers,
// the goal, the free robots' order effects and joining; the title's twenty robots fusing into a pose; and
// the walking moves the title screen teaches.
#include <gtest/gtest.h>

#include "rules_scene.h"

using rulesTest::testGame;

TEST(Fall, OneMemberOnGroundHoldsUpTheGroup) {
    testGame<7, 4> t({"       ",  //
                      " 12    ",  //
                      " #     ",  //
                      "#######"});
    t.fuse({0, 1});
    t.game.process();
    EXPECT_EQ(t.robot(0)->row(), 1) << "robot 0 stands on a wall and should not fall";
    EXPECT_EQ(t.robot(1)->row(), 1) << "robot 1 is held up by robot 0 and should not fall";
}

TEST(Fall, AStackFallsAsOneBody) {
    testGame<6, 5> t({"  1   ",  //
                      "  2   ",  //
                      "      ",  //
                      "      ",  //
                      "######"});
    t.fuse({0, 1});
    for (int tick = 1; tick <= 3; ++tick) {
        t.game.process();
        const int expected = tick < 2 ? tick : 2;
        EXPECT_EQ(t.robot(0)->row(), expected) << "upper member after tick " << tick;
        EXPECT_EQ(t.robot(1)->row(), expected + 1) << "lower member after tick " << tick;
    }
}

TEST(Fall, MembersAndNautbotsPassThroughEachOther) {
    testGame<3, 4> t({" 1 ",  //
                      " 2 ",  //
                      "   ",  //
                      "###"});
    t.fuse({0});
    t.game.process();
    EXPECT_EQ(t.robot(0)->row(), 1) << "the member should fall into the cell of free robot 1";
    EXPECT_EQ(t.robot(1)->row(), 2) << "free robot 1 should fall although a member stands above it";
    EXPECT_EQ(t.game.transbot.size(), 2)
        << "robot 1, now right below the member, should join in the same tick";
    EXPECT_EQ(t.game.currentShape, -1) << "a join should ask for the formation to be taken again";
}

TEST(Belts, ThreeMembersOnABeltMoveOneColumnPerTick) {
    testGame<10, 3> t({"          ",  //
                       " 123      ",  //
                       "#>>>>>>>>#"});
    t.fuse({0, 1, 2});
    for (int tick = 1; tick <= 3; ++tick) {
        t.game.process();
        EXPECT_EQ(t.robot(0)->col(), 1 + tick)
            << "member 0 after tick " << tick << " should have moved one column";
        EXPECT_EQ(t.robot(2)->col(), 3 + tick)
            << "member 2 after tick " << tick << " should have moved one column";
    }
}

TEST(Belts, AGroupPushedAgainstAWallStaysAndEveryTickEnds) {
    testGame<5, 3> t({"#####",  //
                      "#123#",  //
                      "#>>>#"});
    t.fuse({0, 1, 2});
    for (int tick = 1; tick <= 5; ++tick) {
        t.game.process();
        EXPECT_EQ(t.robot(0)->col(), 1) << "member 0 against the wall should stay after tick " << tick;
        EXPECT_EQ(t.robot(2)->col(), 3) << "member 2 against the wall should stay after tick " << tick;
    }
}

TEST(Belts, ABlockedFirstMemberSendsTheExaminationTwoOn) {
    testGame<7, 3> t({"       ",  //
                      "#1#2 3#",  //
                      "###>#@#"});
    t.fuse({0, 1, 2});
    EXPECT_TRUE(t.game.process())
        << "member 0 blocks the belt move of member 1; member 2 over the goal is seen";
    EXPECT_EQ(t.robot(1)->col(), 3) << "member 1 should not move: member 0 is blocked";
}

TEST(Belts, ABlockedMemberFarBeforeTheBeltDoesNotLoop) {
    testGame<9, 3> t({"         ",  //
                      "#1#2 3 4#",  //
                      "#####>#@#"});
    t.fuse({0, 1, 2, 3});
    EXPECT_TRUE(t.game.process())
        << "member 0 blocks the belt move of member 2; the examination goes on with member 3, over the goal";
    EXPECT_EQ(t.robot(2)->col(), 5) << "member 2 should not move: member 0 is blocked";
    EXPECT_EQ(t.robot(0)->col(), 1) << "member 0 should stay in column 1";
}

TEST(Belts, AFreeBeltMoveEndsTheExamination) {
    testGame<10, 3> t({"##########",  //
                       "#1 2 3 4 #",  //
                       "#>#####@##"});
    t.fuse({0, 1, 2, 3});
    EXPECT_FALSE(t.game.process())
        << "member 0's belt move should end the tick before member 3 over the goal";
    EXPECT_EQ(t.robot(0)->col(), 2) << "the group should have moved one column right";
    EXPECT_EQ(t.robot(3)->col(), 8) << "member 3 should have moved off the goal with the group";
    t.game.process();
    EXPECT_EQ(t.game.won, 0) << "after the move nobody stands over the goal";
}

TEST(Belts, ABlockedMemberAfterTheBeltEndsTheExamination) {
    testGame<10, 3> t({"##########",  //
                       "#1 2 3#4 #",  //
                       "#>#####@##"});
    t.fuse({0, 1, 2, 3});
    EXPECT_FALSE(t.game.process()) << "member 2 is blocked, so the examination ends and member 3 is not seen";
    EXPECT_EQ(t.robot(0)->col(), 1) << "member 0 should not move";
}

TEST(Belts, TheFirstFreeBeltMoveDecides) {
    testGame<8, 3> t({"        ",  //
                      "  1 2   ",  //
                      "##<#>###"});
    t.fuse({0, 1});
    t.game.process();
    EXPECT_EQ(t.robot(0)->col(), 1) << "member 0 on the left belt should carry the group one column left";
    EXPECT_EQ(t.robot(1)->col(), 3) << "member 1 on the right belt should not move the group back";
}

TEST(Goal, StandingOverTheGoalWinsForGood) {
    testGame<6, 3> t({"      ",  //
                      " 12   ",  //
                      "#@>>##"});
    t.fuse({0, 1});
    EXPECT_TRUE(t.game.process()) << "member 0 over the goal should win the tick";
    EXPECT_EQ(t.robot(0)->col(), 2) << "member 1's belt move should still carry the group right";
    EXPECT_TRUE(t.game.process()) << "a won game stays won after the group has moved on";
}

TEST(Breaker, LandingOnABreakerDisbandsInThatTick) {
    testGame<7, 4> t({"       ",  //
                      "  12   ",  //
                      "       ",  //
                      "##!####"});
    t.fuse({0, 1});
    t.game.currentShape = 8;
    t.game.wantedShape = 8;
    t.game.process();
    EXPECT_EQ(t.game.transbot.size(), 0)
        << "the group should be disbanded when member 0 lands on the breaker";
    EXPECT_EQ(t.game.nautbot.size(), 2) << "both robots should be free";
    EXPECT_EQ(t.game.wantedShape, -1) << "the breaker should drop the request";
    EXPECT_EQ(t.game.currentShape, -1) << "the breaker should drop the formation";
    EXPECT_EQ(t.robot(0)->col(), 1) << "robot 0 on the breaker should be pushed left in the same tick";
    EXPECT_EQ(t.robot(0)->row(), 2) << "robot 0 should have landed in row 2 first";
    EXPECT_EQ(t.robot(1)->col(), 3) << "robot 1 beside the breaker should stay";
    EXPECT_EQ(t.game.breakerFlip, 1) << "the next breaker push should go right";
}

TEST(Breaker, PushesAlternateAcrossNautbots) {
    testGame<9, 3> t({"         ",  //
                      "  1   2  ",  //
                      "##!###!##"});
    t.game.process();
    EXPECT_EQ(t.robot(0)->col(), 1) << "the first robot on a breaker should be pushed left";
    EXPECT_EQ(t.robot(1)->col(), 7) << "the second robot on a breaker should be pushed right";
    EXPECT_EQ(t.game.breakerFlip, 0) << "two pushes should bring the flag back to left";
}

TEST(Breaker, TheFlagFlipsEveryTickEvenWhenThePushIsBlocked) {
    testGame<3, 3> t({"   ",  //
                      "#1#",  //
                      "#!#"});
    for (int tick = 1; tick <= 4; ++tick) {
        t.game.process();
        EXPECT_EQ(t.robot(0)->col(), 1) << "the robot between walls should stay after tick " << tick;
        EXPECT_EQ(t.game.breakerFlip, tick % 2) << "the flag should alternate, tick " << tick;
    }
}

TEST(Nautbots, FallIntoStartMarkerCells) {
    testGame<3, 3> t({" 1 ",  //
                      " 1 ",  //
                      "###"});
    EXPECT_EQ(t.game.botCount, 1) << "a repeated marker should place one robot";
    t.game.process();
    EXPECT_EQ(t.robot(0)->row(), 1) << "the robot should fall into the second '1', which is floor";
}

TEST(Nautbots, AStackFallsTogetherOnlyWhenTheLowerComesFirst) {
    testGame<3, 5> t({" 1 ",  //
                      " 2 ",  //
                      "   ",  //
                      "   ",  //
                      "###"});
    t.game.process();
    EXPECT_EQ(t.robot(0)->row(), 0) << "the upper robot, first in the list, should wait for the lower one";
    EXPECT_EQ(t.robot(1)->row(), 2) << "the lower robot should fall";
    t.game.process();
    EXPECT_EQ(t.robot(0)->row(), 1) << "the upper robot should then fall one cell behind";
    EXPECT_EQ(t.robot(1)->row(), 3) << "the lower robot should land";

    testGame<3, 5> u({" 2 ",  //
                      " 1 ",  //
                      "   ",  //
                      "   ",  //
                      "###"});
    u.game.process();
    EXPECT_EQ(u.robot(0)->row(), 2) << "the lower robot, first in the list, should fall";
    EXPECT_EQ(u.robot(1)->row(), 1) << "the upper robot should follow in the same tick";
}

TEST(Nautbots, StepIntoMembersCellsAndOnlyOneJoinsPerTick) {
    testGame<6, 3> t({"      ",  //
                      "  213 ",  //
                      "##>###"});
    t.fuse({0});  // robot 0 at (3, 1) is the member; the nautbot list is now robot 2, then robot 1
    t.game.process();
    EXPECT_EQ(t.robot(1)->col(), 3) << "robot 1 should ride the belt into the member's cell";
    ASSERT_EQ(t.game.transbot.size(), 2) << "exactly one robot should join this tick";
    EXPECT_EQ(t.game.transbot.get(1), t.robot(2)) << "robot 2, touching the member, should join";
    EXPECT_EQ(t.game.nautbot.get(0), t.robot(1)) << "robot 1 shares the member's cell and stays free";
    t.game.process();
    EXPECT_EQ(t.game.transbot.size(), 3) << "robot 1 touches robot 2 and should join in the next tick";
}

TEST(Nautbots, NeverLeaveAMapWithoutWalls) {
    testGame<3, 3> t({"  1",  //
                      "2 >",  //
                      "   "});
    t.game.process();
    EXPECT_EQ(t.robot(0)->col(), 2) << "robot 0 on a belt at the right edge should not move off the map";
    EXPECT_EQ(t.robot(0)->row(), 0) << "robot 0 should not wrap into the next row";
    t.game.process();
    EXPECT_EQ(t.robot(1)->row(), 2) << "robot 1 should fall to the bottom row";
    t.game.process();
    EXPECT_EQ(t.robot(1)->row(), 2) << "robot 1 should not fall out of the bottom row";
}

TEST(Belts, TheTransbotDoesNotWrapAtTheLeftEdge) {
    testGame<3, 3> t({"   ",  //
                      "1  ",  //
                      "<##"});
    t.fuse({0});
    t.game.process();
    EXPECT_EQ(t.robot(0)->col(), 0) << "the member at the left edge should not be carried off the map";
    EXPECT_EQ(t.robot(0)->row(), 1) << "the member should not wrap into row 0";
}

TEST(Reform, AFormationThatFitsOnlyAfterFallingIsTakenInThatTick) {
    testGame<6, 6> t({"######",  //
                      "  12  ",  //
                      "      ",  //
                      "      ",  //
                      "      ",  //
                      "######"});
    t.fuse({0, 1});
    t.game.control(4);  // the upright line: under the ceiling it fits only one row lower
    t.game.process();
    EXPECT_EQ(t.game.currentShape, 4) << "the line should be taken in the tick the group falls to row 2";
    EXPECT_EQ(t.robot(0)->col(), 3) << "member 0 should take the anchor's cell";
    EXPECT_EQ(t.robot(0)->row(), 2) << "the anchor's cell is one row below its start";
    EXPECT_EQ(t.robot(1)->row(), 1) << "the anchor should rise to cell 1";
    EXPECT_EQ(t.robot(0)->label, '0') << "members just re-formed should be drawn with plain faces";
    t.game.process();
    EXPECT_EQ(t.robot(0)->row(), 3) << "the new formation should fall as one body in the next tick";
    EXPECT_EQ(t.robot(1)->row(), 2) << "the new formation should fall as one body in the next tick";
    EXPECT_EQ(t.robot(1)->label, '2') << "the next tick should relabel member 1";
}

TEST(Tick, AGameWithoutRobotsDoesNothing) {
    testGame<4, 3> t({"    ",  //
                      " @! ",  //
                      "####"});
    for (int tick = 0; tick < 3; ++tick) {
        t.game.control(tick);
        EXPECT_FALSE(t.game.process()) << "an empty game should not be won, tick " << tick;
    }
    EXPECT_EQ(t.game.botCount, 0) << "no markers, no robots";
    EXPECT_EQ(t.game.wantedShape, -1) << "with no pair to seed the request should be dropped";
}

TEST(Title, TwentyRobotsFuseOneATickAndStrikeThePose) {
    spiele<titleW, titleH> game;
    game.init(titleLVL, thoseShape0);
    game.control(0);
    // The first tick seeds a pair and a third robot joins at its end; then one joins per tick.
    for (int tick = 0; tick < 18; ++tick) {
        game.process();
        EXPECT_EQ(game.transbot.size(), tick + 3 > 20 ? 20 : tick + 3) << "group size after tick " << tick;
        EXPECT_EQ(game.transbot.size() + game.nautbot.size(), 20)
            << "every robot in one list after tick " << tick;
    }
    ASSERT_EQ(game.transbot.size(), 20) << "all twenty should have joined";
    EXPECT_EQ(game.currentShape, -1) << "the last join should ask for the pose again";

    // The pose is anchored on the last member to join; member 'J' of the pose lands over the left belt of
    // row 11, which carries the whole group one column left in the same tick.
    const bot* anchor = game.transbot.get(19);
    const int anchorCol = anchor->col(), anchorRow = anchor->row();
    game.process();
    EXPECT_EQ(game.currentShape, 0) << "the twenty should take the first pose";
    shape pose;
    pose.build(robotShapeLF);
    pose.adjust(anchorCol - 1, anchorRow);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(game.transbot.get(i)->col(), pose.col(i)) << "member " << i << " is off its pose column";
        EXPECT_EQ(game.transbot.get(i)->row(), pose.row(i)) << "member " << i << " is off its pose row";
    }
    for (int tick = 0; tick < 5; ++tick)
        game.process();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(game.transbot.get(i)->col(), pose.col(i)) << "member " << i << " should hold the pose";
        EXPECT_EQ(game.transbot.get(i)->row(), pose.row(i)) << "member " << i << " should hold the pose";
    }
    EXPECT_EQ(game.transbot.midLabel, 'A') << "twenty members: the middle label is 'A'";
    EXPECT_EQ(game.won, 0) << "the title has no goal";
}

// What the title screen teaches: each pose grows from the group's newest robot, so two sideways poses in
// turn walk the group, and Space with a pose key before the next tick takes the same step again.
TEST(Lessons, PosesInTurnWalkTheGroupAndSpaceThenAPoseStepsAgain) {
    testGame<16, 3> t({"                ",  //
                       " 12           3 ",  //
                       "################"});
    auto leftmost = [&] { return std::min(t.robot(0)->col(), t.robot(1)->col()); };
    auto rightmost = [&] { return std::max(t.robot(0)->col(), t.robot(1)->col()); };
    t.game.control(8);  // c with no group yet: the touching pair fuses and lines up rightwards
    t.game.process();
    ASSERT_EQ(t.game.transbot.size(), 2) << "a pose key should fuse the touching pair";
    int right = rightmost();
    for (int key : {5, 8, 5}) {  // d, c, d
        t.game.control(key);
        t.game.process();
        EXPECT_EQ(rightmost(), ++right) << "pose " << key << " in turn should walk the pair one cell right";
    }
    for (int again = 0; again < 2; ++again) {
        t.game.control(-1);
        t.game.control(5);
        t.game.process();
        EXPECT_EQ(t.game.transbot.size(), 2) << "Space and a pose key should fuse the pair again";
        EXPECT_EQ(rightmost(), ++right) << "Space and the same pose again should take one more step right";
    }
    t.game.control(6);  // z turns the pair round on the spot
    t.game.process();
    int left = leftmost();
    for (int key : {3, 6, 3}) {  // a, z, a
        t.game.control(key);
        t.game.process();
        EXPECT_EQ(leftmost(), --left) << "pose " << key << " in turn should walk the pair one cell left";
    }
    EXPECT_EQ(t.robot(0)->row(), 1) << "walking on the floor should keep the pair on it";
}
