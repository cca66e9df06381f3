// The browser game's Watch of a plan the level editor proved: before the game starts, the page writes the
// level and the plan into the game's file system and asks for the replay of the plan's run, which the game
// then plays with --level and --replay. Only the web build has it; the desktop has brakko-solution.
#include <emscripten/emscripten.h>

#include <cstdio>

#include "app/planRun.h"
#include "files/levelFile.h"
#include "rules/flow.h"
#include "solver/search.h"

extern "C" {

// Reads /watch.level and /watch.plan (`tick command` lines, as brakko-solve prints them) and writes the
// replay of the plan's run to /watch.replay. 0 when the replay was written; 1 when the level or the plan
// cannot be read, 2 when the plan does not win the level or the replay cannot be written.
EMSCRIPTEN_KEEPALIVE int watchPlan() {
    static customLevel level;
    levelError error;
    if (!readLevelFile("/watch.level", level, error)) return 1;
    static planLine lines[maxPlanLines];
    std::size_t count = 0;
    std::FILE* in = std::fopen("/watch.plan", "r");
    if (in == nullptr) return 1;
    while (count < maxPlanLines && std::fscanf(in, "%d %d", &lines[count].tick, &lines[count].command) == 2)
        ++count;
    std::fclose(in);
    // A picture the run is never drawn into: the game's own display is made when the game starts.
    SDL_Surface* display = SDL_CreateRGBSurface(SDL_SWSURFACE, windowWidth, windowHeight, 32, 0, 0, 0, 0);
    std::FILE* out = std::fopen("/watch.replay", "w");
    const bool played =
        out != nullptr && recordPlanRun(out, display, planLines{}, planLines{lines, count}, &level);
    if (out != nullptr && std::fclose(out) != 0) return 2;
    SDL_FreeSurface(display);
    return played ? 0 : 2;
}
}
