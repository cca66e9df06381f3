// brakko-solve: proves a built-in level winnable by searching its states with the game's own rules, and
// prints a winning plan as `tick command` lines. A tool over the rules library only: it never draws or plays.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "maps.h"
#include "shape.h"
#include "solve_search.h"

namespace {

// Peak resident memory of this process so far, in KiB, as the kernel counts it.
long peakMemoryKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

template <int W, int H>
int solve(const char* name, const char* text, const searchOptions& options) {
    const auto began = std::chrono::steady_clock::now();
    solver<W, H> search(text, thoseShape1);
    if (!search.layout.fits()) {
        std::printf("%s has too many robots for the solver's two-word state.\n", name);
        return 1;
    }
    std::fprintf(stderr, "solving %s: %d robots, goal at (%d, %d)\n", name, search.layout.robots,
                 search.goalCol, search.goalRow);
    const searchResult result = search.run(options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    const long peak = peakMemoryKiB();
    const double rate = seconds > 0 ? result.explored / seconds : 0;

    if (!result.won) {
        std::printf("%s cannot be won: every one of the %lld reachable states was explored and none wins.\n",
                    name, result.explored);
        if (result.closestCol < 0)
            std::printf("No group ever formed.\n");
        else if (result.closestDistance >= search.walkless)
            std::printf(
                "The group never reached a cell from which the goal can be walked to; it came as far as "
                "(%d, %d).\n",
                result.closestCol, result.closestRow);
        else
            std::printf(
                "The group came closest at (%d, %d), %d step(s) of walking from the cell above the goal.\n",
                result.closestCol, result.closestRow, result.closestDistance);
        std::printf("The latest state found was %d tick(s) from the start.\n", result.deepestTick);
        std::printf("Searched in %.2f s, peak memory %.1f MiB.\n", seconds, peak / 1024.0);
        return 1;
    }
    std::printf("# %s: a winning plan, one line per command: the tick it is given before, then the command\n",
                name);
    for (const planLine& line : result.plan)
        std::printf("%d %d\n", line.tick, line.command);
    std::printf("# won at tick %d (%s)\n", result.length,
                result.proven ? "proven shortest" : "not proven shortest");
    if (result.foundLength != result.length)
        std::printf("# the search found %d ticks; shortcuts along the way saved %d\n", result.foundLength,
                    result.foundLength - result.length);
    std::printf("# %lld states explored, %lld generated, in %.2f s (%.0f states/s), peak memory %.1f MiB\n",
                result.explored, result.generated, seconds, rate, peak / 1024.0);
    return 0;
}

int usage() {
    std::fprintf(
        stderr,
        "usage: brakko-solve level1|level2 [--weight HALVES] [--speeds S0,..,S6] [--shortcuts DEPTH] "
        "[--quiet]\n"
        "  HALVES: order by 2g + HALVES * h (0 is breadth-first and proves the plan shortest)\n"
        "  S: half-cells per tick for a lone robot and groups of 1..6\n"
        "  DEPTH: ticks of local search for shortcuts along the plan found (0 for none)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    searchOptions options;
    options.shortcutDepth = 3;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--weight") == 0 && i + 1 < argc) {
            options.weightHalves = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--speeds") == 0 && i + 1 < argc) {
            const char* list = argv[++i];
            for (int k = 0; k < 7; ++k) {
                char* end = nullptr;
                options.speedHalves[k] = static_cast<int>(std::strtol(list, &end, 10));
                if (end == list || options.speedHalves[k] < 1) return usage();
                list = *end == ',' ? end + 1 : end;
            }
        } else if (std::strcmp(argv[i], "--shortcuts") == 0 && i + 1 < argc) {
            options.shortcutDepth = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            options.progress = false;
        } else {
            return usage();
        }
    }
    if (options.weightHalves < 0 || options.shortcutDepth < 0) return usage();
    const std::string which = argv[1];
    if (which == "level1") return solve<level1W, level1H>("level1", level1T, options);
    if (which == "level2") return solve<level2W, level2H>("level2", level2T, options);
    return usage();
}
