// The solver's shortcut pass over a plan the search found: local breadth-first searches along its path that
// cut ticks out of it. A tool: unlike the search it runs over, it allocates as it goes.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "solver/search.h"
#include "solver/searchState.h"

// The states a found plan passes through from `from` (path[0]) and the input into each (taken[0] is none).
template <int W, int H>
void planPath(search<W, H>& s, const spiele<W, H>& from, bool moved, const searchAnswer& answer,
              std::vector<stateKey>& path, std::vector<tickInput>& taken) {
    path.assign(1, s.layout.pack(from, moved));
    taken.assign(static_cast<std::size_t>(answer.length) + 1, tickInput{});
    for (int i = 0; i < answer.lines; ++i) {
        tickInput& in = taken[static_cast<std::size_t>(answer.plan[i].tick)];
        if (answer.plan[i].command < 0)
            in.disband = true;
        else
            in.command = answer.plan[i].command;
    }
    for (int tick = 1; tick <= answer.length; ++tick)
        path.push_back(s.step(path.back(), taken[static_cast<std::size_t>(tick)]));
}

// Shortens a winning path in place by local breadth-first searches: from each state on it, every state
// within `depth` ticks is tried, and one that lies further along the path (or that wins) is a shortcut.
// Returns the number of states the local searches generated.
template <int W, int H>
long long shorten(search<W, H>& s, std::vector<stateKey>& path, std::vector<tickInput>& taken, int depth) {
    struct localNode {
        stateKey key;
        int parent;
        tickInput in;
    };
    long long generated = 0;
    tickInput list[maxTickInputs];
    for (std::size_t from = 0; from + 1 < path.size(); ++from) {
        std::vector<localNode> found{localNode{path[from], -1, tickInput{}}};
        std::unordered_set<stateKey, stateKeyHash> seen{path[from]};
        // Where each state lies on the path, the latest place when it lies there twice.
        std::unordered_map<stateKey, std::size_t, stateKeyHash> along;
        for (std::size_t j = from + 1; j < path.size(); ++j)
            along[path[j]] = j;
        std::size_t levelBegin = 0;
        int bestNode = -1;
        std::size_t bestTarget = 0;
        for (int d = 1; d <= depth && bestNode < 0; ++d) {
            const std::size_t levelEnd = found.size();
            for (std::size_t f = levelBegin; f < levelEnd; ++f) {
                const bool moved = s.layout.unpack(found[f].key, s.work);
                if (s.work.won) continue;
                const int count = s.inputs(s.work, moved, list);
                for (int i = 0; i < count; ++i) {
                    const stateKey child = s.step(found[f].key, list[i]);
                    ++generated;
                    if (!seen.insert(child).second) continue;
                    found.push_back(localNode{child, static_cast<int>(f), list[i]});
                    // A win, or a state the path reaches only later than from + d.
                    std::size_t target = 0;
                    if (s.work.won) {
                        target = path.size() - 1;
                    } else if (const auto at = along.find(child); at != along.end()) {
                        target = at->second;
                    }
                    if (target > from + d && target > bestTarget) {
                        bestTarget = target;
                        bestNode = static_cast<int>(found.size() - 1);
                    }
                }
            }
            levelBegin = levelEnd;
        }
        if (bestNode < 0) continue;
        std::vector<stateKey> keys;
        std::vector<tickInput> ins;
        for (int n = bestNode; n > 0; n = found[n].parent) {
            keys.push_back(found[n].key);
            ins.push_back(found[n].in);
        }
        std::vector<stateKey> newPath(path.begin(), path.begin() + static_cast<long>(from) + 1);
        std::vector<tickInput> newTaken(taken.begin(), taken.begin() + static_cast<long>(from) + 1);
        newPath.insert(newPath.end(), keys.rbegin(), keys.rend());
        newTaken.insert(newTaken.end(), ins.rbegin(), ins.rend());
        // A win found on the way ends the path there; otherwise it goes on from the state reached.
        s.layout.unpack(newPath.back(), s.work);
        if (!s.work.won) {
            newPath.insert(newPath.end(), path.begin() + static_cast<long>(bestTarget) + 1, path.end());
            newTaken.insert(newTaken.end(), taken.begin() + static_cast<long>(bestTarget) + 1, taken.end());
        }
        path.swap(newPath);
        taken.swap(newTaken);
    }
    return generated;
}
