// Whether any robot could ever stand on a goal, answered without playing: the cells robots might come to
// hold, taken generously. A robot only ever moves one cell down, left or right into an empty cell (falling, a
// belt, the striped block's push, its group's fall or belt ride), or jumps with its group into the cells of a
// formation placed at the group's last member. Every such step and every formation taken from every cell that
// may hold a robot, alone or in any group, gives all the cells play can reach and more. When none of them
// lies above a goal, no group ever stands on one and the level cannot be won, which the search would only
// show by exploring every state. Rules only, no SDL, nothing allocated.
#pragma once

#include <cstdint>
#include <cstring>

#include "rules/spiele.h"

template <int W, int H>
struct reach {
    static_assert(W * H <= 0xFFFF, "a cell's index fits the queue");
    std::uint8_t reached[W * H] = {};
    std::uint16_t queue[W * H] = {};
    int count = 0;

    // True when a cell that robots of `game` might come to hold lies above a goal, or the game is won.
    bool goalInReach(const spiele<W, H>& game) {
        if (game.won) return true;
        std::memset(reached, 0, sizeof reached);
        count = 0;
        for (int i = 0; i < game.botCount; ++i)
            add(game.bots[i].x, game.bots[i].y);
        for (int q = 0; q < count; ++q) {
            const int x = xFromIndex<W, H>(queue[q]), y = yFromIndex<W, H>(queue[q]);
            if (game.fromLevelAt(x, y + 1) == '@') return true;
            step(game, x, y + 1);
            step(game, x - 1, y);
            step(game, x + 1, y);
            // A group whose last member stands here may take any formation whose first cells are all empty;
            // the members then hold those cells.
            for (const shape& formation : game.shapes) {
                shape placed = formation;
                placed.adjust(x, y);
                for (int i = 0; i < placed.count && game.fromLevelAt(placed.col(i), placed.row(i)) == ' ';
                     ++i)
                    add(placed.col(i), placed.row(i));
            }
        }
        return false;
    }

  private:
    void step(const spiele<W, H>& game, int x, int y) {
        if (game.fromLevelAt(x, y) == ' ') add(x, y);
    }
    void add(int x, int y) {
        if (!onGrid<W, H>(x, y)) return;
        const int cell = indexFromXY<W, H>(x, y);
        if (reached[cell]) return;
        reached[cell] = 1;
        queue[count++] = static_cast<std::uint16_t>(cell);
    }
};
