// Winning plans as text: one `tick command` line per key, `#` lines for remarks, and `# won at tick N` for
// the length the solver promised. Reading and replaying only; the rules themselves are never touched here.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "solver/searchState.h"
#include "rules/spiele.h"

struct plan {
    std::vector<planLine> lines;
    int wonAt = -1;  // from the `# won at tick N` remark; -1 when the text has none
    bool readable = false;
};

inline plan readPlan(std::istream& in) {
    plan result;
    result.readable = true;
    std::string text;
    while (std::getline(in, text)) {
        if (text.empty()) continue;
        if (text[0] == '#') {
            int tick = 0;
            if (std::sscanf(text.c_str(), "# won at tick %d", &tick) == 1) result.wonAt = tick;
            continue;
        }
        std::istringstream fields(text);
        planLine line{};
        if (!(fields >> line.tick >> line.command)) {
            result.readable = false;
            continue;
        }
        result.lines.push_back(line);
    }
    return result;
}

inline plan readPlanFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) return plan{};
    return readPlan(in);
}

// Plays a plan against the rules alone: each tick's commands in order, then the tick. Returns the tick that
// first reports the level won, or -1 when `lastTick` passes without a win.
template <int W, int H>
int replayPlan(spiele<W, H>& game, const plan& p, int lastTick) {
    std::size_t next = 0;
    for (int tick = 1; tick <= lastTick; ++tick) {
        while (next < p.lines.size() && p.lines[next].tick == tick)
            game.control(p.lines[next++].command);
        if (game.process()) return tick;
    }
    return -1;
}
