// A plan's run as a replay: the game's own frame step played headless from the title, the plan's keys given
// in the frames planKeys picks, and every frame's event written as the game records it. The solution tool
// makes the shipped replay with it, and the browser's game the replay of a plan the level editor proved.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdio>

#include "files/levelFile.h"
#include "solver/searchState.h"

// The lines of one level's plan: `tick command`, in order.
struct planLines {
    const planLine* lines = nullptr;  // not owned
    std::size_t count = 0;
};

// Plays the title, Return, each level by its plan, until the rage-quit screen has opened, over `display`
// (never shown: what a frame takes does not depend on its picture), and writes the replay of that run to
// `out`, ending where the replay hands the keys over. On a player's level (`level` not null) `level2` is its
// plan and level 1 is never played. False, with a line on standard error, when a plan does not win its
// level or the writing fails.
bool recordPlanRun(std::FILE* out, SDL_Surface* display, const planLines& level1, const planLines& level2,
                   const customLevel* level = nullptr);
