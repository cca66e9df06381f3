// brakko-solution: makes the replay shipped as the game's solution by playing the solver's plans through the
// game's own frame step, headless: the title, Return, both levels won, until the rage-quit screen has opened.
// With --check it compares its replay with a committed one instead, so that a stale solution fails the tests.
#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rules/flow.h"
#include "app/planRun.h"
#include "files/replay.h"
#include "solve_plan.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: brakko-solution LEVEL1-PLAN LEVEL2-PLAN [--check REPLAY]\n"
                 "       brakko-solution --level FILE PLAN\n"
                 "  writes the solution replay on standard output; with --check, compares it with REPLAY;\n"
                 "  with --level, the replay of PLAN (brakko-solve FILE's) on the level in FILE, which\n"
                 "  brakko --level FILE --replay plays\n");
    return 2;
}

// Plays the whole run headless on SDL's dummy driver and writes the replay of it.
bool play(std::FILE* out, const plan& level1, const plan& level2, const customLevel* level = nullptr) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "brakko-solution: SDL did not start: %s\n", SDL_GetError());
        return false;
    }
    SDL_Surface* display = SDL_SetVideoMode(windowWidth, windowHeight, 32, SDL_SWSURFACE);
    const bool played = recordPlanRun(out, display, planLines{level1.lines.data(), level1.lines.size()},
                                      planLines{level2.lines.data(), level2.lines.size()}, level);
    SDL_Quit();
    return played;
}

bool readPlan(const char* path, plan& p) {
    p = readPlanFile(path);
    if (!p.readable) std::fprintf(stderr, "brakko-solution: %s: not a readable plan\n", path);
    return p.readable;
}

// The first line where two files differ, or 0 when they are the same byte for byte.
int firstDifference(std::FILE* a, std::FILE* b) {
    int line = 1;
    for (;;) {
        const int x = std::getc(a);
        const int y = std::getc(b);
        if (x != y) return line;
        if (x == EOF) return 0;
        if (x == '\n') ++line;
    }
}

// The replay of a plan on a player's level.
int levelReplay(const char* path, const char* planPath) {
    static customLevel level;
    levelError error;
    if (!readLevelFile(path, level, error)) {
        char line[400];
        describeLevelError(path, error, line, sizeof line);
        std::fprintf(stderr, "brakko-solution: %s\n", line);
        return 2;
    }
    plan steps;
    if (!readPlan(planPath, steps)) return 1;
    std::FILE* made = std::tmpfile();
    if (made == nullptr || !play(made, plan{}, steps, &level)) return 1;
    std::rewind(made);
    for (int c = std::getc(made); c != EOF; c = std::getc(made))
        std::putchar(c);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--level") == 0) return levelReplay(argv[2], argv[3]);
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--check") == 0)) return usage();
    plan level1, level2;
    if (!readPlan(argv[1], level1) || !readPlan(argv[2], level2)) return 1;

    std::FILE* made = std::tmpfile();
    if (made == nullptr || !play(made, level1, level2)) return 1;

    // The game's own reader must accept what it will be given.
    static replay check;
    replayError error;
    std::rewind(made);
    if (!readReplay(made, check, error)) {
        std::fprintf(stderr, "brakko-solution: the game would refuse this replay: line %d: %s\n", error.line,
                     error.reason);
        return 1;
    }
    std::rewind(made);

    if (argc == 5) {
        std::FILE* committed = std::fopen(argv[4], "r");
        if (committed == nullptr) {
            std::fprintf(stderr, "brakko-solution: %s: cannot open it: %s\n", argv[4], std::strerror(errno));
            return 1;
        }
        const int line = firstDifference(made, committed);
        std::fclose(committed);
        if (line != 0) {
            std::fprintf(stderr,
                         "brakko-solution: %s is stale from line %d on; regenerate it with\n"
                         "  brakko-solution %s %s > %s\n",
                         argv[4], line, argv[1], argv[2], argv[4]);
            return 1;
        }
        std::printf("%s matches the plans: %d events, the keys handed over after frame %d\n", argv[4],
                    check.count, check.lastFrame);
        return 0;
    }
    for (int c = std::getc(made); c != EOF; c = std::getc(made))
        std::putchar(c);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
