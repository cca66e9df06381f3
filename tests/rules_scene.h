// Small games for rules tests: a map written row by row, the game over it, and a way to fuse chosen
// robots without playing ticks. Test-only; the rows must outlive the game, so the map text lives here.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "rules/maps.h"
#include "rules/spiele.h"

namespace rulesTest {

// A map text joined from rows of exactly W characters, kept for as long as the game that reads it.
template <int W, int H>
struct testMap {
    char text[W * H + 1] = {};
    testMap(std::initializer_list<const char*> rows) {
        EXPECT_EQ(static_cast<int>(rows.size()), H) << "a test map should have " << H << " rows";
        int y = 0;
        for (const char* row : rows) {
            EXPECT_EQ(static_cast<int>(std::strlen(row)), W)
                << "test map row " << y << " should be " << W << " wide";
            for (int x = 0; x < W && row[x] != '\0' && y < H; ++x)
                text[y * W + x] = row[x];
            ++y;
        }
    }
};

template <int W, int H>
struct testGame {
    testMap<W, H> map;
    spiele<W, H> game;
    testGame(std::initializer_list<const char*> rows, const char* const* table = thoseShape1) : map(rows) {
        game.init(map.text, table);
    }
    // Moves robots (by marker order) from the nautbots to the end of the transbot, in the order given.
    void fuse(std::initializer_list<int> robots) {
        for (int r : robots) {
            for (int i = 0; i < game.nautbot.size(); ++i) {
                if (game.nautbot.get(i) == &game.bots[r]) game.transbot.push(game.nautbot.remove(i));
            }
        }
    }
    bot* robot(int r) { return &game.bots[r]; }
};

}  // namespace rulesTest
