// A pack of levels: the level files of one folder, played in the order of their file names, each with its
// par when the folder's "pars" file names one. Read whole before the window opens, with every level checked
// by the level reader. No SDL; nothing allocated.
#pragma once

#include <cstddef>

#include "files/levelFile.h"

// More levels than a pack is ever meant to hold, few enough to keep in memory whole (each is 4 KB).
constexpr int maxPackLevels = 64;
// A path in a pack: the folder's, as long as a path may be, and a file name after it.
constexpr int maxPackPath = 4096 + 256;

struct levelPack {
    customLevel levels[maxPackLevels];
    // The fewest moves that win each level, as the folder's pars file gives them; 0 when it gives none.
    int par[maxPackLevels] = {};
    int count = 0;
};

// Reads every file of `folder` whose name ends in ".level", in byte order of their names, and the pars of
// "pars" beside them when there is one: a line "FILE PAR ..." for a level, "#" before a comment. False for a
// folder that can't be read, holds no level file or more than maxPackLevels, or holds a level the reader
// refuses; `line` then says why, as one line of its own: the reader's for a refused level.
bool readPack(const char* folder, levelPack& out, char* line, std::size_t size);

// The par of the level file `name` in the text of a pars file, or 0 when the text names none.
int parIn(const char* pars, std::size_t length, const char* name);

// Where a level file stands in the pack of its folder, by the folder's pars: on its row `place` (from 1) of
// `of` level rows, with its par there. All 0 when the folder has no pars or the pars does not name it.
struct packPlace {
    int place = 0, of = 0, par = 0;
};
packPlace placeInPack(const char* levelPath);
