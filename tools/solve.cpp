// brakko-solve: proves a built-in level or a level file winnable by searching its states with the game's own
// rules, and prints a winning plan as `tick command` lines; or says that it cannot be won, or that the search
// ran out of its budget. A thin main over the level reader, the game's search and the tool's shortcut pass:
// it never draws or plays.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/levelFile.h"
#include "rules/maps.h"
#include "rules/shape.h"
#include "solve_search.h"
#include "solver/reach.h"
#include "solver/search.h"

namespace {

// The exit statuses, one for each answer.
constexpr int winnable = 0;
constexpr int cannotBeWon = 1;
constexpr int badInput = 2;  // an unreadable level file, or a command line this tool does not take
constexpr int unknown = 3;   // no plan within the budget, and not everything reachable explored

// Peak resident memory of this process so far, in KiB, as the kernel counts it.
long peakMemoryKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

struct solveOptions {
    int weightHalves = 2;
    speedTable speeds;
    int shortcutDepth = 3;
    // States the search may hold: level 1 from its start needs about 430 000 at the default weight.
    int capacity = 1 << 20;
    // States the search may explore before it answers unknown; by default as many as it may hold.
    int budget = 1 << 20;
};

template <int W, int H>
int solve(const char* name, const char* text, const solveOptions& options) {
    const auto began = std::chrono::steady_clock::now();
    // A goal that no robot can ever get above needs no search, however large the level.
    const auto game = std::make_unique<spiele<W, H>>();
    game->init(text, thoseShape1);
    if (!std::make_unique<reach<W, H>>()->goalInReach(*game)) {
        std::printf(
            "%s cannot be won: no robot can ever reach a cell above the goal, so none can stand on it.\n",
            name);
        return cannotBeWon;
    }
    const auto s = std::make_unique<search<W, H>>(text, thoseShape1, options.capacity);
    if (!s->layout.fits()) {
        std::printf("%s has too many robots for the solver's state.\n", name);
        return unknown;
    }
    s->speeds = options.speeds;
    std::fprintf(stderr, "solving %s: %d robots, goal at (%d, %d)\n", name, s->layout.robots, s->goalCol,
                 s->goalRow);
    const searchAnswer& answer = s->run(s->start, false, options.budget, options.weightHalves);
    long long generated = answer.generated;
    std::vector<stateKey> path;
    std::vector<tickInput> taken;
    const bool proven = options.weightHalves == 0;
    if (answer.outcome == searchOutcome::won) {
        planPath(*s, s->start, false, answer, path, taken);
        if (!proven && options.shortcutDepth > 0)
            generated += shorten(*s, path, taken, options.shortcutDepth);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    const long peak = peakMemoryKiB();
    const double rate = seconds > 0 ? answer.explored / seconds : 0;

    if (answer.outcome == searchOutcome::outOfBudget) {
        std::printf(
            "%s: unknown: no plan was found within the budget of %d states and the room of %d (%lld "
            "explored).\n",
            name, options.budget, options.capacity, answer.explored);
        return unknown;
    }
    if (answer.outcome == searchOutcome::noWay) {
        std::printf("%s cannot be won: every one of the %lld reachable states was explored and none wins.\n",
                    name, answer.explored);
        if (answer.closestCol < 0)
            std::printf("No group ever formed.\n");
        else if (answer.closestDistance >= s->walkless)
            std::printf(
                "The group never reached a cell from which the goal can be walked to; it came as far as "
                "(%d, %d).\n",
                answer.closestCol, answer.closestRow);
        else
            std::printf(
                "The group came closest at (%d, %d), %d step(s) of walking from the cell above the goal.\n",
                answer.closestCol, answer.closestRow, answer.closestDistance);
        std::printf("The latest state found was %d tick(s) from the start.\n", answer.deepestTick);
        std::printf("Searched in %.2f s, peak memory %.1f MiB.\n", seconds, peak / 1024.0);
        return cannotBeWon;
    }
    const int length = static_cast<int>(path.size()) - 1;
    std::printf("# %s: winnable in %d ticks\n", name, length);
    std::printf("# a winning plan, one line per command: the tick it is given before, then the command\n");
    for (int tick = 1; tick <= length; ++tick) {
        if (taken[tick].disband) std::printf("%d %d\n", tick, -1);
        if (taken[tick].command >= 0) std::printf("%d %d\n", tick, taken[tick].command);
    }
    // Its moves as the game counts them: the ticks after which the game differs from the tick before, the
    // glide aside.
    int moves = 0;
    spiele<W, H> after = s->start;
    s->layout.unpack(path[0], after);
    packedRecord last = packedState(after);
    for (int tick = 1; tick <= length; ++tick) {
        s->layout.unpack(path[tick], after);
        moves += countMove(after, last);
    }
    std::printf("# won at tick %d (%s), in %d moves\n", length,
                proven ? "proven shortest" : "not proven shortest", moves);
    if (answer.length != length)
        std::printf("# the search found %d ticks; shortcuts along the way saved %d\n", answer.length,
                    answer.length - length);
    std::printf("# %lld states explored, %lld generated, in %.2f s (%.0f states/s), peak memory %.1f MiB\n",
                answer.explored, generated, seconds, rate, peak / 1024.0);
    return winnable;
}

// A level file: the reader's refusal, or the level solved on the grid every level file is played on.
int solveFile(const char* path, const solveOptions& options) {
    static customLevel level;
    levelError error;
    if (!readLevelFile(path, level, error)) {
        char message[sizeof error.reason + 256];
        describeLevelError(path, error, message, sizeof message);
        std::fprintf(stderr, "brakko-solve: %s\n", message);
        return badInput;
    }
    if (level.title[0] != '\0')
        std::printf("# %s%s%s\n", level.title, level.author[0] ? " by " : "", level.author);
    return solve<customW, customH>(path, level.map, options);
}

int usage() {
    std::fprintf(
        stderr,
        "usage: brakko-solve level1|level2|FILE [--weight HALVES] [--speeds S0,..,S6] [--shortcuts DEPTH] "
        "[--capacity STATES] [--budget STATES] [--quiet]\n"
        "  FILE: a level file (see brakko(6))\n"
        "  HALVES: order by 2g + HALVES * h (0 is breadth-first and proves the plan shortest)\n"
        "  S: half-cells per tick for a lone robot and groups of 1..6\n"
        "  DEPTH: ticks of local search for shortcuts along the plan found (0 for none)\n"
        "  --capacity: how many states the search may hold (its memory is taken at the start)\n"
        "  --budget: how many states it may explore before it answers unknown\n"
        "  --quiet: accepted for older scripts; the search prints nothing while it runs\n"
        "exit status: 0 winnable (the plan is printed), 1 cannot be won, 2 a bad file or command line,\n"
        "3 unknown within the budget\n");
    return badInput;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    solveOptions options;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--weight") == 0 && i + 1 < argc) {
            options.weightHalves = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--speeds") == 0 && i + 1 < argc) {
            const char* list = argv[++i];
            for (int& halves : options.speeds.halves) {
                char* end = nullptr;
                halves = static_cast<int>(std::strtol(list, &end, 10));
                if (end == list || halves < 1) return usage();
                list = *end == ',' ? end + 1 : end;
            }
        } else if (std::strcmp(argv[i], "--shortcuts") == 0 && i + 1 < argc) {
            options.shortcutDepth = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--capacity") == 0 && i + 1 < argc) {
            options.capacity = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--budget") == 0 && i + 1 < argc) {
            options.budget = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
        } else {
            return usage();
        }
    }
    if (options.weightHalves < 0 || options.shortcutDepth < 0 || options.capacity < 1 || options.budget < 1)
        return usage();
    const std::string which = argv[1];
    if (which == "level1") return solve<level1W, level1H>("level1", level1T, options);
    if (which == "level2") return solve<level2W, level2H>("level2", level2T, options);
    if (which.empty() || which[0] == '-') return usage();
    return solveFile(argv[1], options);
}
