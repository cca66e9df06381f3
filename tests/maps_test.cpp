// The built-in maps as data: sizes, marker cells, goal and breaker, closed borders, and the robots a game
// places from each map. A misplaced character here would make a level unplayable.
#include <gtest/gtest.h>

#include <string>

#include "maps.h"
#include "spiele.h"

namespace {

struct cell {
    char marker;
    int col, row;
};

template <int W, int H>
void expectRobots(const char* name, const char* text, const char* const* table,
                  std::initializer_list<cell> cells) {
    spiele<W, H> game;
    game.init(text, table);
    ASSERT_EQ(game.botCount, static_cast<int>(cells.size())) << name << " places the wrong number of robots";
    EXPECT_EQ(game.nautbot.size(), game.botCount) << name << ": every robot should start free";
    EXPECT_EQ(game.transbot.size(), 0) << name << ": the transbot should start empty";
    int i = 0;
    for (cell c : cells) {
        EXPECT_EQ((findIndex<W, H>(text, c.marker)), (indexFromXY<W, H>(c.col, c.row)))
            << name << ": marker '" << c.marker << "' is not where it should be";
        EXPECT_EQ(game.bots[i].col(), c.col)
            << name << ": robot " << i << " should start in column " << c.col;
        EXPECT_EQ(game.bots[i].row(), c.row) << name << ": robot " << i << " should start in row " << c.row;
        EXPECT_EQ(game.nautbot.get(i), &game.bots[i])
            << name << ": robot " << i << " should be nautbot " << i;
        EXPECT_EQ(game.fromLevelAt(c.col, c.row), ' ')
            << name << ": a start cell should be floor to the rules";
        ++i;
    }
}

template <int W, int H>
int countOf(const char* text, char c) {
    int n = 0;
    for (int i = 0; i < W * H; ++i)
        n += text[i] == c;
    return n;
}

}  // namespace

TEST(Maps, TextsHoldExactlyTheirCells) {
    EXPECT_EQ(std::string(titleLVL).size(), 195u) << "the title map should hold 13 rows of 15";
    EXPECT_EQ(std::string(level1T).size(), 800u) << "level 1 should hold 20 rows of 40";
    EXPECT_EQ(std::string(level2T).size(), 4000u) << "level 2 should hold 50 rows of 80";
    EXPECT_EQ(std::string(ragequitT).size(), 1000u) << "the rage-quit map should hold 25 rows of 40";
}

TEST(Maps, TitleRobotsStandAsOneBlock) {
    expectRobots<titleW, titleH>(
        "title", titleLVL, thoseShape0,
        {{'1', 5, 10}, {'2', 6, 10}, {'3', 6, 9}, {'4', 5, 9}, {'5', 5, 8},  {'6', 6, 8}, {'7', 6, 7},
         {'8', 5, 7},  {'9', 5, 6},  {'A', 6, 6}, {'B', 7, 6}, {'C', 8, 6},  {'D', 8, 7}, {'E', 7, 7},
         {'F', 7, 8},  {'G', 8, 8},  {'H', 8, 9}, {'I', 7, 9}, {'J', 7, 10}, {'K', 8, 10}});
    EXPECT_EQ((findIndex<titleW, titleH>(titleLVL, 'K')), 158) << "title marker 'K' should be at index 158";
}

TEST(Maps, LevelOne) {
    expectRobots<level1W, level1H>("level 1", level1T, thoseShape1,
                                   {{'1', 2, 4}, {'2', 2, 5}, {'3', 6, 5}, {'4', 10, 2}, {'5', 38, 9}});
    EXPECT_EQ((findIndex<level1W, level1H>(level1T, '5')), 398)
        << "level 1 marker '5' should be at index 398";
    EXPECT_EQ((findIndex<level1W, level1H>(level1T, '@')), 484)
        << "level 1 goal should be at index 484, (4, 12)";
    EXPECT_EQ((findIndex<level1W, level1H>(level1T, '!')), (indexFromXY<level1W, level1H>(28, 5)))
        << "level 1 breaker should be at (28, 5)";
    EXPECT_EQ((findIndex<level1W, level1H>(level1T, '6')), -1) << "level 1 has no marker '6'";
    EXPECT_EQ((countOf<level1W, level1H>(level1T, '@')), 1) << "level 1 should have one goal";
    EXPECT_EQ((countOf<level1W, level1H>(level1T, '!')), 1) << "level 1 should have one breaker";
}

TEST(Maps, LevelTwo) {
    expectRobots<level2W, level2H>(
        "level 2", level2T, thoseShape1,
        {{'1', 3, 2}, {'2', 3, 3}, {'3', 70, 3}, {'4', 62, 14}, {'5', 63, 25}, {'6', 64, 37}});
    EXPECT_EQ((findIndex<level2W, level2H>(level2T, '@')), (indexFromXY<level2W, level2H>(9, 25)))
        << "level 2 goal should be at (9, 25)";
    EXPECT_EQ((countOf<level2W, level2H>(level2T, '@')), 1) << "level 2 should have one goal";
    EXPECT_EQ((countOf<level2W, level2H>(level2T, '!')), 0) << "level 2 has no breaker";
}

TEST(Maps, RageQuitSkipsMarkers) {
    expectRobots<ragequitW, ragequitH>("rage-quit", ragequitT, thoseShape1,
                                       {{'1', 1, 11},
                                        {'2', 2, 11},
                                        {'3', 3, 11},
                                        {'4', 4, 11},
                                        {'5', 5, 11},
                                        {'6', 6, 11},
                                        {'A', 33, 11},
                                        {'B', 34, 11},
                                        {'C', 35, 11},
                                        {'D', 36, 11},
                                        {'E', 37, 11},
                                        {'F', 38, 11}});
    EXPECT_EQ((findIndex<ragequitW, ragequitH>(ragequitT, 'A')), 473)
        << "rage-quit marker 'A' should be at 473";
    for (char absent : {'7', '8', '9'}) {
        EXPECT_EQ((findIndex<ragequitW, ragequitH>(ragequitT, absent)), -1)
            << "the rage-quit map has no marker '" << absent << "'";
    }
}

TEST(Maps, BordersAreClosedWhereRobotsCanReach) {
    auto solid = [](char c) { return c != ' ' && !isMarker(c); };
    level<titleW, titleH> title;
    title.init(titleLVL);
    level<level1W, level1H> one;
    one.init(level1T);
    level<level2W, level2H> two;
    two.init(level2T);
    for (int x = 0; x < titleW; ++x) {
        EXPECT_TRUE(solid(title.at(x, 0)) && solid(title.at(x, 11)))
            << "title column " << x << " is open at an edge";
    }
    for (int y = 0; y < titleH; ++y) {
        EXPECT_TRUE(solid(title.at(0, y)) && solid(title.at(14, y)))
            << "title row " << y << " is open at an edge";
    }
    for (int x = 0; x < level1W; ++x) {
        EXPECT_TRUE(solid(one.at(x, 0)) && solid(one.at(x, 19)))
            << "level 1 column " << x << " is open at an edge";
    }
    for (int y = 0; y < level1H; ++y) {
        EXPECT_TRUE(solid(one.at(0, y)) && solid(one.at(39, y)))
            << "level 1 row " << y << " is open at an edge";
    }
    for (int x = 0; x < level2W; ++x) {
        EXPECT_TRUE(solid(two.at(x, 0)) && solid(two.at(x, 49)))
            << "level 2 column " << x << " is open at an edge";
    }
    for (int y = 0; y < level2H; ++y) {
        EXPECT_TRUE(solid(two.at(0, y)) && solid(two.at(79, y)))
            << "level 2 row " << y << " is open at an edge";
    }
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
