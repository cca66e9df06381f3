// The game's set-up, commands and disbanding, its reading of the map, joining by contact, the seed search of
// an empty transbot, re-forming and its previews, and copies that own their robots and play on alike. Small
// maps are written out row by row.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../tools/solve_plan.h"
#include "solver/posePreview.h"
#include "rules_invariants.h"
#include "rules_scene.h"

using rulesTest::testGame;

TEST(Setup, PlacesOneRobotPerMarkerFoundInMarkerOrder) {
    testGame<4, 3> t({"1 3 ",  //
                      "    ",  //
                      "3   "});
    EXPECT_EQ(t.game.botCount, 2) << "markers '1' and '3' should give two robots";
    EXPECT_EQ(t.robot(0)->index(), 0) << "robot 0 should stand on marker '1' in cell 0";
    EXPECT_EQ(t.robot(1)->col(), 2) << "with no '2', robot 1 should be the one of marker '3', in column 2";
    EXPECT_EQ(t.robot(1)->row(), 0) << "marker '3' first occurs in row 0";
    EXPECT_EQ(t.game.fromLevelAt(0, 2), ' ') << "a second '3' is only floor";
    EXPECT_EQ(t.robot(0)->label, '\0') << "a placed robot starts with no label";
    EXPECT_EQ(t.game.currentShape, -1) << "no formation should be held at first";
    EXPECT_EQ(t.game.wantedShape, -1) << "no formation should be wanted at first";
    EXPECT_EQ(t.game.breakerFlip, 0) << "the first breaker push should go left";
    EXPECT_EQ(t.game.won, 0) << "a new game is not won";
    EXPECT_EQ(t.game.shapes[4].count, 6) << "formation 4 should be built from the level table";
}

TEST(Setup, MarkersReadAsFloorAndEverythingElseAsItIs) {
    testGame<5, 1> t({"K L0#"});
    EXPECT_EQ(t.game.fromLevelAt(0), ' ') << "marker 'K' should read as floor";
    EXPECT_EQ(t.game.fromLevelAt(2), 'L') << "'L' is no marker and should read as itself";
    EXPECT_EQ(t.game.fromLevelAt(3), '0') << "'0' is no marker and should read as itself";
    EXPECT_EQ(t.game.fromLevelAt(5), '#') << "a cell past the map should read as a wall";
    EXPECT_EQ(t.game.fromLevelAt(5, 0), '#') << "column 5 of a 5-wide map should read as a wall";
    EXPECT_EQ(t.game.fromLevelAt(0, 1), '#') << "row 1 of a 1-high map should read as a wall";
}

TEST(Commands, FormationsAreRecordedAndOthersIgnored) {
    testGame<4, 2> t({"12  ",  //
                      "####"});
    t.game.control(3);
    t.game.control(5);
    EXPECT_EQ(t.game.wantedShape, 5) << "of two commands before a tick the last should count";
    t.game.control(9);
    t.game.control(1000);
    EXPECT_EQ(t.game.wantedShape, 5) << "commands 9 and 1000 should change nothing";
    EXPECT_EQ(t.game.nautbot.size(), 2) << "a formation command alone should fuse nobody";
}

TEST(Commands, DisbandFreesMembersAtOnceInReverseOrder) {
    testGame<6, 2> t({"1234  ",  //
                      "######"});
    t.fuse({0, 1, 2});
    t.game.transbot.unite();
    t.game.currentShape = 2;
    t.game.wantedShape = 2;
    t.game.control(-5);
    EXPECT_EQ(t.game.transbot.size(), 0) << "any negative command should empty the transbot";
    ASSERT_EQ(t.game.nautbot.size(), 4) << "all four robots should be free";
    EXPECT_EQ(t.game.nautbot.get(0), t.robot(3)) << "the robot that was free should stay first";
    EXPECT_EQ(t.game.nautbot.get(1), t.robot(2)) << "the last member should come back first";
    EXPECT_EQ(t.game.nautbot.get(3), t.robot(0)) << "the first member should come back last";
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(t.robot(r)->label, '0') << "robot " << r << " should be labelled free";
        EXPECT_EQ(t.robot(r)->col(), r) << "robot " << r << " should not move when the group disbands";
    }
    EXPECT_EQ(t.game.currentShape, -1) << "a disbanded group holds no formation";
    EXPECT_EQ(t.game.wantedShape, -1) << "a disband drops the request";
}

TEST(GroupMove, OnlyTheMapBlocksTheTransbot) {
    testGame<5, 4> t({"  1  ",  //
                      "  2 3",  //
                      " #   ",  //
                      "#####"});
    EXPECT_TRUE(t.game.noOneInTransbotCollideWithLevelRel(0, 1)) << "an empty transbot may always move";
    t.fuse({0, 1});
    EXPECT_TRUE(t.game.noOneInTransbotCollideWithLevelRel(0, 1))
        << "a stack in open air may fall: the upper member's cell below is a member, not the map";
    EXPECT_TRUE(t.game.transbot.end()) << "a successful test leaves the cursor at the end";
    t.fuse({2});
    EXPECT_TRUE(t.game.noOneInTransbotCollideWithLevelRel(-1, 0)) << "nobody's left cell is solid";
    EXPECT_FALSE(t.game.noOneInTransbotCollideWithLevelRel(-1, 1))
        << "robot 1 moving down-left meets the wall";
    EXPECT_EQ(t.game.transbot.cursor, 2)
        << "the failed test should stop just after robot 1, the first blocked";
    EXPECT_FALSE(t.game.noOneInTransbotCollideWithLevelRel(1, 0))
        << "robot 2 at the right edge may not move right, nor wrap into row 2";
    EXPECT_EQ(t.game.transbot.cursor, 3) << "the failed test should stop just after robot 2";
}

TEST(Contact, JoinsOnlyFourNeighbours) {
    testGame<6, 4> t({"1    #",  //
                      " 2   #",  //
                      "34   #",  //
                      "######"});
    t.fuse({0});
    t.robot(2)->absMove(0, 0);
    EXPECT_FALSE(t.game.contactFusionWithTransbot())
        << "robot 1 is diagonal to the member and robot 2 stands in its cell: neither should join";
    t.robot(3)->absMove(0, 1);
    EXPECT_TRUE(t.game.contactFusionWithTransbot()) << "robot 3 right under the member should join";
    EXPECT_EQ(t.game.transbot.size(), 2) << "only one robot joins per call";
    EXPECT_EQ(t.game.transbot.get(1), t.robot(3)) << "robot 3 should be the one to join";
}

TEST(Contact, OneJoinsPerCallInNautbotOrder) {
    testGame<5, 3> t({" 213 ",  //
                      "  4  ",  //
                      "#####"});
    t.fuse({0});  // robot 0 stands at (2, 0); robots 1, 2 and 3 all touch it
    ASSERT_EQ(t.game.nautbot.get(0), t.robot(3)) << "taking robot 0 out should move robot 3 to the front";
    EXPECT_TRUE(t.game.contactFusionWithTransbot()) << "a touching robot should join";
    EXPECT_EQ(t.game.transbot.get(1), t.robot(3)) << "robot 3, first in the nautbot list, should join first";
    EXPECT_EQ(t.game.nautbot.get(0), t.robot(2)) << "the last nautbot, robot 2, should fill the gap";
    EXPECT_TRUE(t.game.contactFusionWithTransbot()) << "a second call should take the next";
    EXPECT_EQ(t.game.transbot.get(2), t.robot(2)) << "robot 2, now first, should join second";
    EXPECT_TRUE(t.game.contactFusionWithTransbot()) << "a third call should take the last";
    EXPECT_EQ(t.game.nautbot.size(), 0) << "everyone should have joined after three calls";
}

TEST(Contact, NoTouchAcrossTheEdgeOfAMapWithoutWalls) {
    testGame<4, 3> t({"   1",  //
                      "2   ",  //
                      "    "});
    t.fuse({0});
    EXPECT_FALSE(t.game.contactFusionWithTransbot())
        << "robot 1 at (0, 1) should not touch the member at (3, 0) through the map's edge";
}

TEST(Seeds, OnlyTheFirstAndLastNautbotsAreTried) {
    testGame<9, 3> t({"#########",  //
                      "#1 23 4 #",  //
                      "#########"});
    t.game.control(2);
    EXPECT_FALSE(t.game._transbotChangedShape()) << "robots 1 and 2 touch, but neither is ever a seed";
    EXPECT_EQ(t.game.transbot.size(), 0) << "no pair should be fused";
    EXPECT_EQ(t.game.wantedShape, -1) << "the request should be dropped when no pair is found";
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t.game.nautbot.get(i), t.robot(i))
            << "an even number of seeds should restore nautbot " << i;
    }
}

TEST(Seeds, AnOddNumberOfTriesExchangesFirstAndLast) {
    testGame<7, 2> t({"1 2 3 #",  //
                      "#######"});
    EXPECT_FALSE(t.game.findTwoNeighborInNautbot()) << "three lone robots make no pair";
    EXPECT_EQ(t.game.nautbot.get(0), t.robot(2)) << "after three failed seeds robot 2 should be first";
    EXPECT_EQ(t.game.nautbot.get(1), t.robot(1)) << "robot 1 should keep the middle";
    EXPECT_EQ(t.game.nautbot.get(2), t.robot(0)) << "after three failed seeds robot 0 should be last";
}

TEST(Seeds, APairWithTheFirstNautbotIsFoundAndTheFormationAnchorsOnThePartner) {
    testGame<9, 3> t({"#########",  //
                      "#2 14 3 #",  //
                      "#########"});
    t.game.control(8);  // a flat line to the right: cell 1 lies right of cell 0
    EXPECT_TRUE(t.game._transbotChangedShape()) << "robots 0 and 3 touch and the line fits";
    ASSERT_EQ(t.game.transbot.size(), 2) << "the seed and its partner should be fused";
    EXPECT_EQ(t.game.transbot.get(0), t.robot(0)) << "robot 0 should be the seed";
    EXPECT_EQ(t.game.transbot.get(1), t.robot(3)) << "robot 3 should be the partner";
    EXPECT_EQ(t.robot(0)->col(), 4) << "member 0 should take the anchor's cell (4, 1)";
    EXPECT_EQ(t.robot(3)->col(), 5) << "the anchor should move to cell 1 of the line, (5, 1)";
    EXPECT_EQ(t.game.currentShape, 8) << "the line should now be held";
}

TEST(Seeds, APairStaysFusedWhenTheFormationDoesNotFit) {
    testGame<9, 3> t({"#########",  //
                      "#2 14 3 #",  //
                      "#########"});
    t.game.control(0);  // cell 1 lies above cell 0, in the wall
    EXPECT_FALSE(t.game._transbotChangedShape()) << "formation 0 would put a robot into the top wall";
    EXPECT_EQ(t.game.transbot.size(), 2) << "the pair found should stay fused";
    EXPECT_EQ(t.game.wantedShape, 0) << "a formation that does not fit stays asked for";
    EXPECT_EQ(t.game.currentShape, -1) << "nothing is held yet";
    EXPECT_EQ(t.robot(0)->col(), 3) << "robot 0 should not move";
}

TEST(Reform, TooManyMembersKeepTheRequest) {
    testGame<9, 3> t({"         ",  //
                      " 1234567 ",  //
                      "#########"});
    t.fuse({0, 1, 2, 3, 4, 5, 6});
    t.game.control(8);
    EXPECT_FALSE(t.game._transbotChangedShape()) << "seven members do not fit a six-cell formation";
    EXPECT_EQ(t.game.wantedShape, 8) << "the request should stay, to be tried again";
    t.game.control(1);
    EXPECT_FALSE(t.game._transbotChangedShape()) << "the empty formation holds nobody";
    EXPECT_EQ(t.game.wantedShape, 1) << "the empty formation's request stays too";
}

TEST(Reform, UsesTheFirstCellsAndIgnoresRobotsInTheWay) {
    testGame<8, 4> t({"        ",  //
                      "  3     ",  //
                      " 12     ",  //
                      "########"});
    t.fuse({0, 1});
    t.game.control(4);  // the upright line: cells go straight up from the anchor
    EXPECT_TRUE(t.game._transbotChangedShape())
        << "two cells of the upright line fit, robot 2 in the way or not";
    EXPECT_EQ(t.game.shapes[4].size(), 2) << "only the first two cells should be in use";
    EXPECT_EQ(t.robot(0)->col(), 2) << "member 0 should take the anchor's cell, column 2";
    EXPECT_EQ(t.robot(0)->row(), 2) << "member 0 should take the anchor's cell, row 2";
    EXPECT_EQ(t.robot(1)->row(), 1) << "the anchor should go up to cell 1, onto robot 2 at (2, 1)";
    EXPECT_EQ(t.game.currentShape, 4) << "the upright line should now be held";
    EXPECT_FALSE(t.game._transbotChangedShape()) << "a held formation asked again does nothing";
}

TEST(Reform, AFormationMayNotReachOffTheMap) {
    testGame<6, 3> t({"      ",  //
                      "21    ",  //
                      "      "});
    t.fuse({0, 1});  // the anchor, robot 1, stands at (0, 1) on a map without walls
    t.game.control(3);
    EXPECT_FALSE(t.game._transbotChangedShape())
        << "formation 3 puts cell 1 at (-1, 1), off the map, not at the end of row 0";
    EXPECT_EQ(t.game.wantedShape, 3) << "a formation that does not fit stays asked for";
    t.game.control(8);
    EXPECT_TRUE(t.game._transbotChangedShape()) << "the flat line to the right fits on row 1";
    EXPECT_EQ(t.robot(0)->col(), 0) << "member 0 should take the anchor's cell in column 0";
    EXPECT_EQ(t.robot(1)->col(), 1) << "the anchor should move to column 1";
}

// What the practice panel and the page's pad show for a pose key is where that key takes the group: a pair
// seeded from two touching robots, six members (as many as a level formation holds), or seven, whom no
// formation holds; a key that shows nothing re-forms nothing. The page reads the text: fields split by "|",
// cells "col,row" from the anchor split by spaces.
TEST(Reform, APosePreviewShowsWhereItsKeyTakesTheGroup) {
    testGame<20, 8> t({"####################",  //
                       "#                  #",  //
                       "#                  #",  //
                       "#                  #",  //
                       "#                  #",  //
                       "#                  #",  //
                       "#      1234567     #",  //
                       "####################"});
    for (int members : {0, 6, 7}) {
        for (int r = 0; r < members; ++r)
            t.fuse({r});
        posePreview poses[9];
        previewPoses(t.game, poses);
        for (int key = 0; key < 9; ++key) {
            spiele<20, 8> game = t.game;
            game.control(key);
            const bool reformed = game._transbotChangedShape();
            EXPECT_EQ(reformed, poses[key].count > 0) << members << " members, key " << key;
            if (!reformed) continue;
            ASSERT_EQ(game.transbot.size(), poses[key].count) << members << " members, key " << key;
            const bot* anchor = game.transbot.get(0);  // member 0 takes the anchor's cell
            for (int i = 0; i < poses[key].count; ++i) {
                EXPECT_EQ(game.transbot.get(i)->col() - anchor->col(), poses[key].cols[i])
                    << members << " members, key " << key << ", cell " << i;
                EXPECT_EQ(game.transbot.get(i)->row() - anchor->row(), poses[key].rows[i])
                    << members << " members, key " << key << ", cell " << i;
            }
        }
        if (members > 0) continue;
        char text[100];
        poseText(poses, text, sizeof text);
        EXPECT_STREQ(text, "0,0 0,-1||0,0 0,-1|0,0 -1,0|0,0 0,-1|0,0 1,0|0,0 -1,0||0,0 1,0")
            << "a pair's poses";
        std::memset(text, 'x', sizeof text);
        poseText(poses, text, 8);
        EXPECT_EQ(std::string(text, 9), std::string("0,0 0,-\0x", 9)) << "a cut text should end inside `out`";
    }
}

namespace {

// The commands before one tick: the plan's own, then from its end on one every seven ticks, going round
// disband and the nine formations.
std::vector<int> commandsBefore(const plan& p, int tick) {
    std::vector<int> commands;
    for (const planLine& line : p.lines)
        if (line.tick == tick) commands.push_back(line.command);
    if (tick > p.wonAt && tick % 7 == 0) commands.push_back((tick / 7) % 10 - 1);
    return commands;
}

// A copy taken before every tick, by construction and by assignment over a game that was playing another
// map, must equal the original and then play on alike, its ticks leaving the original untouched.
template <int W, int H>
void expectCopiesPlayOnAlike(const char* name, const char* text, const char* const* table, const plan& p,
                             int ticks) {
    for (int copyAt = 0; copyAt < ticks; ++copyAt) {
        rulesCheck::checkedGame<W, H> play;
        play.init(text, table);
        play.twin.init(text == ragequitT ? level1T : ragequitT, thoseShape0);
        play.twin.control(2);
        play.twin.process();
        for (int tick = 1; tick <= ticks; ++tick) {
            if (tick == copyAt + 1) {
                ASSERT_EQ(play.copyNow(), "") << name << ": a game assigned a copy after tick " << copyAt;
                spiele<W, H> constructed = play.game;
                ASSERT_EQ(rulesCheck::differenceBetween(play.game, constructed), "")
                    << name << ": a game constructed as a copy after tick " << copyAt;
                const spiele<W, H>& itself = constructed;
                constructed = itself;
                ASSERT_EQ(rulesCheck::differenceBetween(play.game, constructed), "")
                    << name << ": a game assigned to itself after tick " << copyAt;
            }
            for (int command : commandsBefore(p, tick))
                play.control(command);
            ASSERT_EQ(play.tick(), "") << name << ", copied after tick " << copyAt << ", at tick " << tick;
        }
    }
}

plan committedPlan(const std::string& level) {
    const plan p = readPlanFile(std::string(BRAKKO_SOURCE_DIR) + "/tests/plans/" + level + ".plan");
    EXPECT_TRUE(p.readable && p.wonAt > 0) << "the committed plan for " << level << " should be readable";
    return p;
}

}  // namespace

// The levels' winning plans reach the breaker, the belts, the goal and the win; the title's twenty robots
// overflow the solver's key, so the whole packed state is compared field by field.
TEST(Copy, CopiesOwnTheirRobotsAndPlayOnAlike) {
    const plan level1 = committedPlan("level1"), level2 = committedPlan("level2");
    expectCopiesPlayOnAlike<level1W, level1H>("level 1", level1T, thoseShape1, level1, level1.wonAt + 40);
    expectCopiesPlayOnAlike<level2W, level2H>("level 2", level2T, thoseShape1, level2, level2.wonAt + 40);
    expectCopiesPlayOnAlike<titleW, titleH>("title", titleLVL, thoseShape0, plan{}, 100);
    expectCopiesPlayOnAlike<ragequitW, ragequitH>("rage-quit", ragequitT, thoseShape1, plan{}, 100);
}
