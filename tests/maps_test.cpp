// The built-in maps as data: sizes, the robots a game places from each map's markers, goals and closed
// borders. A misplaced character here would make a level unplayable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "rules/maps.h"
#include "rules/spiele.h"

namespace {

template <int W, int H>
int countOf(const char* text, char c) {
    int n = 0;
    for (int i = 0; i < W * H; ++i)
        n += text[i] == c;
    return n;
}

// What a map's markers promise: each marker present places one robot on its own cell, in marker order, all
// free, on cells the rules read as floor; the map holds its goals; on the title the robots stand touching, so
// that one pose key fuses them all.
template <int W, int H>
void expectMarkersPlaceRobots(const char* name, const char* text, const char* const* table, int robots,
                              int goals, bool touching) {
    spiele<W, H> game;
    game.init(text, table);
    int markers = 0;
    for (int k = 0; k < markerCount; ++k)
        markers += findIndex<W, H>(text, markerChar(k)) >= 0;
    EXPECT_EQ(markers, robots) << name << " has the wrong number of markers";
    ASSERT_EQ(game.botCount, robots) << name << " should place one robot per marker";
    EXPECT_EQ(game.transbot.size(), 0) << name << ": the transbot should start empty";
    EXPECT_EQ((countOf<W, H>(text, '@')), goals) << name << " has the wrong number of goals";
    for (int i = 0; i < robots; ++i) {
        const bot& robot = game.bots[i];
        const char marker = text[robot.index()];
        EXPECT_TRUE(isMarker(marker)) << name << ": robot " << i << " should stand on a marker";
        EXPECT_TRUE(i == 0 || marker > text[game.bots[i - 1].index()])
            << name << ": robot " << i << " should follow robot " << i - 1 << " in marker order";
        EXPECT_EQ(game.nautbot.get(i), &robot)
            << name << ": robot " << i << " should start free, nautbot " << i;
        EXPECT_EQ(game.fromLevelAt(robot.col(), robot.row()), ' ')
            << name << ": robot " << i << "'s start cell should be floor to the rules";
        bool touches = false;
        for (int j = 0; j < robots; ++j)
            touches |=
                std::abs(robot.col() - game.bots[j].col()) + std::abs(robot.row() - game.bots[j].row()) == 1;
        EXPECT_TRUE(!touching || touches) << name << ": robot " << i << " should touch another";
    }
}

// The map's edge columns and its rows 0 and `bottom` are solid: robots cannot walk or fall out of it.
template <int W, int H>
void expectClosed(const char* name, const char* text, int bottom) {
    level<W, H> map;
    map.init(text);
    auto solid = [&](int x, int y) { return map.at(x, y) != ' ' && !isMarker(map.at(x, y)); };
    for (int x = 0; x < W; ++x)
        EXPECT_TRUE(solid(x, 0) && solid(x, bottom)) << name << " column " << x << " is open at an edge";
    for (int y = 0; y < H; ++y)
        EXPECT_TRUE(solid(0, y) && solid(W - 1, y)) << name << " row " << y << " is open at an edge";
}

}  // namespace

TEST(Maps, TextsHoldExactlyTheirCells) {
    EXPECT_EQ(std::string(titleLVL).size(), 195u) << "the title map should hold 13 rows of 15";
    EXPECT_EQ(std::string(level1T).size(), 800u) << "level 1 should hold 20 rows of 40";
    EXPECT_EQ(std::string(level2T).size(), 4000u) << "level 2 should hold 50 rows of 80";
    EXPECT_EQ(std::string(ragequitT).size(), 1000u) << "the rage-quit map should hold 25 rows of 40";
}

TEST(Maps, MarkersPlaceOneFreeRobotEachOnFloorAndTheLevelsHaveOneGoal) {
    expectMarkersPlaceRobots<titleW, titleH>("title", titleLVL, thoseShape0, 20, 0, true);
    expectMarkersPlaceRobots<level1W, level1H>("level 1", level1T, thoseShape1, 5, 1, false);
    expectMarkersPlaceRobots<level2W, level2H>("level 2", level2T, thoseShape1, 6, 1, false);
    expectMarkersPlaceRobots<ragequitW, ragequitH>("rage-quit", ragequitT, thoseShape1, 12, 0, false);
}

TEST(Maps, BordersAreClosedWhereRobotsCanReach) {
    expectClosed<titleW, titleH>("title", titleLVL, 11);
    expectClosed<level1W, level1H>("level 1", level1T, level1H - 1);
    expectClosed<level2W, level2H>("level 2", level2T, level2H - 1);
}

TEST(Maps, RageQuitRobotsStartInClosedBoxes) {
    level<ragequitW, ragequitH> map;
    map.init(ragequitT);
    auto solid = [&](int x, int y) { return map.at(x, y) != ' ' && !isMarker(map.at(x, y)); };
    for (int left : {0, 30}) {
        for (int x = left; x < left + 10; ++x) {
            EXPECT_TRUE(solid(x, 10) && solid(x, 24))
                << "rage-quit box column " << x << " is open at top or bottom";
        }
        for (int y = 10; y < 25; ++y) {
            EXPECT_TRUE(solid(left, y) && solid(left + 9, y))
                << "rage-quit box row " << y << " is open at a side";
        }
    }
}
