// The search as the hint runs it, timed by hand: from each level's start and from every tenth tick of its
// committed plan, the median and worst time, states explored and states held, at the game's capacity.
// Usage: brakko-hint-bench [capacity] [budget] [weightHalves]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../tools/solve_plan.h"
#include "rules/maps.h"
#include "solver/search.h"
#include "rules/shape.h"

namespace {

struct sample {
    int tick;
    double ms;
    long long explored;
    int known;
    searchOutcome outcome;
};

template <int W, int H>
void measure(const char* level, const char* text, int capacity, int budget, int weight) {
    const plan shipped = readPlanFile(std::string(BRAKKO_SOURCE_DIR) + "/tests/plans/" + level + ".plan");
    const auto s = std::make_unique<search<W, H>>(text, thoseShape1, capacity);
    std::vector<sample> samples;
    spiele<W, H> game = s->start;
    bool moved = false;
    std::size_t next = 0;
    for (int tick = 0; tick < shipped.wonAt; ++tick) {
        if (tick % 10 == 0) {
            const auto began = std::chrono::steady_clock::now();
            const searchAnswer& answer = s->run(game, moved, budget, weight);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
            samples.push_back(sample{tick, ms, answer.explored, s->known, answer.outcome});
        }
        const auto before = game;
        while (next < shipped.lines.size() && shipped.lines[next].tick == tick + 1)
            game.control(shipped.lines[next++].command);
        game.process();
        moved = anyRobotMoved(before.bots, game);
    }
    int won = 0, maxKnown = 0;
    for (const sample& one : samples) {
        won += one.outcome == searchOutcome::won;
        maxKnown = std::max(maxKnown, one.known);
        std::printf("  %s tick %3d: %8.1f ms, %7lld explored, %7d held, %s\n", level, one.tick, one.ms,
                    one.explored, one.known,
                    one.outcome == searchOutcome::won     ? "won"
                    : one.outcome == searchOutcome::noWay ? "no way"
                                                          : "out of budget");
    }
    std::vector<sample> byTime = samples;
    std::sort(byTime.begin(), byTime.end(), [](const sample& a, const sample& b) { return a.ms < b.ms; });
    std::vector<sample> byStates = samples;
    std::sort(byStates.begin(), byStates.end(),
              [](const sample& a, const sample& b) { return a.explored < b.explored; });
    std::printf(
        "%s: %zu starts, %d won; time median %.1f ms, worst %.1f ms; explored median %lld, worst %lld; "
        "most held %d; the search holds %.1f MiB\n",
        level, samples.size(), won, byTime[byTime.size() / 2].ms, byTime.back().ms,
        byStates[byStates.size() / 2].explored, byStates.back().explored, maxKnown,
        s->bytes() / (1024.0 * 1024.0));
}

}  // namespace

int main(int argc, char** argv) {
    const int capacity = argc > 1 ? std::atoi(argv[1]) : 1 << 18;
    const int budget = argc > 2 ? std::atoi(argv[2]) : 1 << 30;
    const int weight = argc > 3 ? std::atoi(argv[3]) : 4;
    std::printf("capacity %d states, budget %d explored, weight %d halves\n", capacity, budget, weight);
    measure<level1W, level1H>("level1", level1T, capacity, budget, weight);
    measure<level2W, level2H>("level2", level2T, capacity, budget, weight);
    return 0;
}
