// Level files: a player's own map as text, checked whole and placed into a grid of level 2's size before the
// game, the solver or the page uses it. The one reader of every map that does not come built in: from a
// file or from text in memory, with the same refusals. No SDL; nothing allocated.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/maps.h"
#include "rules/shared.h"
#include "solver/searchState.h"

// A level file, as a player writes it:
//
//     title: Joining
//     author: Brakko developers
//     tip: a group of two walks: c and d in turn
//     par: 12
//
//     ##########
//     #1  2    #
//     #### #@###
//
// Optional header lines come first, each a lower-case name, a colon and a text: `title:`, `author:`,
// `tip:` (a line of advice shown with the title) and `par:` with the fewest moves that win the level, each
// at most once; blank lines may stand among them. Every line after the first map row is a map row, as the
// built-in maps are written: the same number of cells in each, one character a cell from " #<>!@", the
// markers "1" to "9" and "A" to "K". No map row can be taken for a header line: none holds a lower-case
// letter. Lines end in LF; a carriage return is refused, not read.

// Every level is played on a grid of level 2's size: its map in the top-left corner and walls everywhere
// else, so that one instance of the game's templates serves every level, and a level of up to 40 x 25
// shows whole without scrolling.
constexpr int customW = level2W;
constexpr int customH = level2H;
// A robot stands on the goal from the cell above it, so a map has at least two rows.
constexpr int minLevelH = 2;
// The solver must be able to answer for every level read, so a level holds no more robots than its key.
constexpr int maxLevelRobots = stateLayout<customW, customH>::mostRobots();
constexpr int maxLevelTextLength = 63;
// The largest par a level may name: more moves than any level of 80 x 50 is ever won in.
constexpr int maxLevelPar = 99999;

struct customLevel {
    char title[maxLevelTextLength + 1] = {};   // "" when the file gives none
    char author[maxLevelTextLength + 1] = {};  // "" when the file gives none
    char tip[maxLevelTextLength + 1] = {};     // a line of advice for the player; "" when none
    int par = 0;                               // the fewest moves that win it; 0 when the file gives none
    int width = 0, height = 0;                 // the level's own size, in cells
    int robots = 0;                            // markers present: the robots of the level
    // customW x customH cells, row-major and ending in NUL, ready for spiele<customW, customH>::init.
    char map[customW * customH + 1] = {};
};

// Why a level was refused: where (line and column counted from 1; line 0 when the file could not be opened
// or read) and a sentence.
struct levelError {
    int line = 0;
    int column = 0;
    char reason[160] = {};
};

// Reads a level from `length` bytes of text and checks all of it; on any fault `out` is unusable and `error`
// says where and why. Text past maxLevelBytes is refused without being read.
bool readLevel(const char* text, std::size_t length, customLevel& out, levelError& error);
// The same from a file, of which at most maxLevelBytes + 1 bytes are read.
bool readLevelFile(const char* path, customLevel& out, levelError& error);
// Reads at most `size` bytes of a regular file into `into` without ever waiting for a writer: anything else
// (a FIFO, a device, a folder) is refused with a reason, as is a file that can't be opened or read.
bool readSmallFile(const char* path, char* into, std::size_t size, std::size_t& length, char* reason,
                   std::size_t reasonSize);
// The refusal as one line, "NAME: line L, column C: REASON" (or "NAME: REASON" without a place), into `out`.
void describeLevelError(const char* name, const levelError& error, char* out, std::size_t size);

// A digest of the level's map, which decides every run on it (its title and author do not): a replay names
// the level it was made on by it. 64-bit FNV-1a over the grid's cells.
std::uint64_t levelDigest(const customLevel& level);
