// The solver's search: best-first over packed game states from a map's start, one tick per step, with the
// game's own rules doing every step. A tool: it may allocate freely, and it never changes a rule.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "searchState.h"
#include "solve_plan.h"
#include "spiele.h"

// The keys a player can press before one tick: an optional disband, then an optional formation command.
// A disband followed by a formation needs a gliding frame between the two ticks, so it is only offered after
// a tick that moved a robot.
struct tickInput {
    bool disband = false;
    int command = -1;  // 0..8, or -1 for none
};

// Commands 1 and 7 both name the empty formation, so 7 never does anything 1 doesn't; it is never tried.
constexpr int triedCommands[] = {0, 1, 2, 3, 4, 5, 6, 8};

struct searchOptions {
    // States are taken in order of 2g + weightHalves * h. With 0 the search is breadth-first and the plan it
    // finds is proven shortest; the estimate can overstate, so any other weight proves nothing but is far
    // faster.
    int weightHalves = 2;
    // How many ticks deep the local searches that look for shortcuts along a found plan go; 0 for none.
    int shortcutDepth = 0;
    // How many cells a tick can carry a lone robot (entry 0) and a group of 1 to 6, in halves of a cell: a
    // bigger group strides further by re-forming about its last member. Tuned so that both levels come out
    // short within a few seconds.
    int speedHalves[7] = {3, 3, 4, 5, 7, 9, 10};
    bool progress = true;
};

struct searchResult {
    bool won = false;
    bool proven = false;
    int length = 0;
    int foundLength = 0;  // before shortcuts
    std::vector<planLine> plan;
    long long explored = 0;
    long long generated = 0;
    // For a map that cannot be won: how near the group's nearest member came to the cell above the goal, in
    // walking steps, where that was, and the latest tick any state was reached at.
    int closestDistance = -1;
    int closestCol = -1, closestRow = -1;
    int deepestTick = 0;
};

template <int W, int H>
struct solver {
    struct node {
        stateKey key;
        std::uint32_t parent;
        std::uint16_t g;
        std::uint8_t disband;
        std::int8_t command;
    };
    struct openEntry {
        std::uint32_t index;
        std::uint32_t g;
    };

    static constexpr std::uint16_t unreachable = 0xFFFF;

    const char* mapText;
    const char* const* shapeTable;
    spiele<W, H> start;
    spiele<W, H> work;
    stateLayout<W, H> layout;
    int goalCol = -1, goalRow = -1;
    // Walking steps from each cell to the cell above the goal; cells no walk reaches count `walkless`.
    std::vector<std::uint16_t> distance;
    int walkless = 0;
    searchOptions settings;

    std::vector<node> nodes;
    std::vector<std::uint32_t> table;  // open addressing: node index + 1, 0 for an empty slot
    std::vector<std::vector<openEntry>> open;
    std::size_t lowest = 0;

    solver(const char* text, const char* const* table_) : mapText(text), shapeTable(table_) {
        start.init(mapText, shapeTable);
        work = start;
        layout.robots = start.botCount;
        const int goal = findIndex<W, H>(mapText, '@');
        if (goal >= 0) {
            goalCol = xFromIndex<W, H>(goal);
            goalRow = yFromIndex<W, H>(goal);
        }
        // Every estimate reads the table, so it exists before anything can ask for one.
        measureDistances();
    }

    bool emptyCell(int x, int y) const { return start.fromLevelAt(x, y) == ' '; }

    // Walking distance over empty cells from each cell to the cell above the goal; made once, by the
    // constructor.
    void measureDistances() {
        std::vector<int> steps(W * H, -1);
        std::vector<int> queue;
        if (goalCol >= 0 && emptyCell(goalCol, goalRow - 1)) {
            steps[indexFromXY<W, H>(goalCol, goalRow - 1)] = 0;
            queue.push_back(indexFromXY<W, H>(goalCol, goalRow - 1));
        }
        for (std::size_t q = 0; q < queue.size(); ++q) {
            const int c = queue[q];
            const int x = xFromIndex<W, H>(c), y = yFromIndex<W, H>(c);
            const int around[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
            for (const auto& d : around) {
                const int nx = x + d[0], ny = y + d[1];
                if (!emptyCell(nx, ny)) continue;
                const int n = indexFromXY<W, H>(nx, ny);
                if (steps[n] >= 0) continue;
                steps[n] = steps[c] + 1;
                queue.push_back(n);
            }
        }
        // A formation can carry robots over a wall into a pocket that no walk reaches, so such cells only
        // count as farther than any other, never as hopeless.
        int farthest = 0;
        for (int c = 0; c < W * H; ++c) {
            if (steps[c] > farthest) farthest = steps[c];
        }
        walkless = farthest + 1;
        distance.assign(W * H, static_cast<std::uint16_t>(walkless));
        for (int c = 0; c < W * H; ++c) {
            if (steps[c] >= 0) distance[c] = static_cast<std::uint16_t>(steps[c]);
        }
    }

    // Ticks still to go, estimated: the nearest member's walk at its group's stride. Without a group, any
    // robot may seed one.
    int estimate(const spiele<W, H>& game) const {
        if (game.won) return 0;
        const int size = game.transbot.size();
        const ro& counted = size > 0 ? static_cast<const ro&>(game.transbot) : game.nautbot;
        int best = unreachable;
        for (int i = 0; i < counted.count; ++i) {
            const int d = distance[indexFromXY<W, H>(counted.slots[i]->x, counted.slots[i]->y)];
            if (d < best) best = d;
        }
        const int speed = settings.speedHalves[size < 6 ? size : 6];
        return (2 * best + speed - 1) / speed;
    }

    std::uint32_t find(const stateKey& key, bool& fresh) {
        if (nodes.size() * 2 >= table.size()) grow();
        const std::size_t mask = table.size() - 1;
        for (std::size_t slot = key.hash() & mask;; slot = (slot + 1) & mask) {
            if (table[slot] == 0) {
                nodes.push_back(node{key, 0, 0, 0, -1});
                table[slot] = static_cast<std::uint32_t>(nodes.size());
                fresh = true;
                return static_cast<std::uint32_t>(nodes.size() - 1);
            }
            if (nodes[table[slot] - 1].key == key) {
                fresh = false;
                return table[slot] - 1;
            }
        }
    }

    void grow() {
        std::vector<std::uint32_t> bigger(table.empty() ? (1u << 16) : table.size() * 2, 0);
        const std::size_t mask = bigger.size() - 1;
        for (std::uint32_t i = 0; i < nodes.size(); ++i) {
            std::size_t slot = nodes[i].key.hash() & mask;
            while (bigger[slot] != 0)
                slot = (slot + 1) & mask;
            bigger[slot] = i + 1;
        }
        table.swap(bigger);
    }

    void push(std::uint32_t index, int g, int h, int weightHalves) {
        const std::size_t f = static_cast<std::size_t>(2 * g + weightHalves * h);
        if (open.size() <= f) open.resize(f + 1);
        // An estimate that drops by more than a tick's worth puts a state below the bucket being emptied.
        if (f < lowest) lowest = f;
        open[f].push_back(openEntry{index, static_cast<std::uint32_t>(g)});
    }

    // The inputs worth trying before the next tick; inputs that provably do the same as another are left out.
    std::vector<tickInput> inputs(const spiele<W, H>& game, bool moved) const {
        std::vector<tickInput> list{tickInput{}};
        for (int k : triedCommands) {
            if (k != game.wantedShape) list.push_back(tickInput{false, k});
        }
        // With an empty transbot a disband only clears requests, and at a tick boundary none is pending then.
        if (game.transbot.size() > 0) {
            list.push_back(tickInput{true, -1});
            if (moved) {
                for (int k : triedCommands)
                    list.push_back(tickInput{true, k});
            }
        }
        return list;
    }

    // One tick from a packed state with the given keys; `work` is left holding the state after it.
    stateKey step(const stateKey& from, const tickInput& in) {
        layout.unpack(from, work);
        int cells[20][2];
        for (int i = 0; i < work.botCount; ++i) {
            cells[i][0] = work.bots[i].x;
            cells[i][1] = work.bots[i].y;
        }
        if (in.disband) work.control(-1);
        if (in.command >= 0) work.control(in.command);
        work.process();
        bool moved = false;
        for (int i = 0; i < work.botCount; ++i)
            moved = moved || cells[i][0] != work.bots[i].x || cells[i][1] != work.bots[i].y;
        return layout.pack(work, moved);
    }

    // Shortens a winning path in place by local breadth-first searches: from each state on it, every state
    // within `depth` ticks is tried, and one that lies further along the path (or that wins) is a shortcut.
    // Returns the number of states the local searches generated.
    long long shorten(std::vector<stateKey>& path, std::vector<tickInput>& taken, int depth) {
        struct localNode {
            stateKey key;
            int parent;
            tickInput in;
        };
        long long generated = 0;
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
                    const bool moved = layout.unpack(found[f].key, work);
                    if (work.won) continue;
                    for (const tickInput& in : inputs(work, moved)) {
                        const stateKey child = step(found[f].key, in);
                        ++generated;
                        if (!seen.insert(child).second) continue;
                        found.push_back(localNode{child, static_cast<int>(f), in});
                        // A win, or a state the path reaches only later than from + d.
                        std::size_t target = 0;
                        if (work.won) {
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
            layout.unpack(newPath.back(), work);
            if (!work.won) {
                newPath.insert(newPath.end(), path.begin() + static_cast<long>(bestTarget) + 1, path.end());
                newTaken.insert(newTaken.end(), taken.begin() + static_cast<long>(bestTarget) + 1,
                                taken.end());
            }
            path.swap(newPath);
            taken.swap(newTaken);
        }
        return generated;
    }

    searchResult run(const searchOptions& options) {
        settings = options;
        searchResult result;
        const auto began = std::chrono::steady_clock::now();
        auto lastReport = began;
        if (!layout.fits()) {
            std::fprintf(stderr, "this map has too many robots for a two-word state\n");
            return result;
        }
        result.closestDistance = unreachable;

        bool fresh = false;
        const std::uint32_t root = find(layout.pack(start, false), fresh);
        nodes[root].parent = root;
        push(root, 0, estimate(start), options.weightHalves);

        std::uint32_t goal = 0;
        bool found = false;
        while (!found && lowest < open.size()) {
            if (open[lowest].empty()) {
                ++lowest;
                continue;
            }
            const std::size_t f = lowest;
            const openEntry entry = open[f].back();
            open[f].pop_back();
            if (nodes[entry.index].g != entry.g) continue;
            const stateKey key = nodes[entry.index].key;
            const bool moved = layout.unpack(key, work);
            if (work.won) {
                goal = entry.index;
                found = true;
                break;
            }
            ++result.explored;
            noteClosest(work, static_cast<int>(entry.g), result);
            const int g = static_cast<int>(entry.g) + 1;
            if (g >= 0xFFFF) continue;
            for (const tickInput& in : inputs(work, moved)) {
                const stateKey child = step(key, in);
                ++result.generated;
                const std::uint32_t index = find(child, fresh);
                if (!fresh && nodes[index].g <= g) continue;
                node& n = nodes[index];
                n.parent = entry.index;
                n.g = static_cast<std::uint16_t>(g);
                n.disband = in.disband ? 1 : 0;
                n.command = static_cast<std::int8_t>(in.command);
                push(index, g, estimate(work), options.weightHalves);
            }
            if (options.progress && (result.explored & 0xFFFF) == 0) {
                const auto now = std::chrono::steady_clock::now();
                if (now - lastReport > std::chrono::seconds(1)) {
                    lastReport = now;
                    std::fprintf(stderr,
                                 "  %lld states explored, %zu known, f %zu, group came within %d step(s)\n",
                                 result.explored, nodes.size(), f, result.closestDistance);
                }
            }
        }
        if (!found) return result;

        // Ticks are counted along the path itself: a state reached again more cheaply keeps its own parent
        // and input, but states below it may still carry the older, larger tick counts.
        result.won = true;
        result.proven = options.weightHalves == 0;
        std::vector<stateKey> path{nodes[root].key};
        std::vector<tickInput> taken{tickInput{}};  // taken[t] leads into path[t]
        std::vector<std::uint32_t> backwards;
        for (std::uint32_t i = goal; i != root; i = nodes[i].parent)
            backwards.push_back(i);
        for (auto it = backwards.rbegin(); it != backwards.rend(); ++it) {
            path.push_back(nodes[*it].key);
            taken.push_back(tickInput{nodes[*it].disband != 0, nodes[*it].command});
        }
        result.foundLength = static_cast<int>(path.size()) - 1;
        if (!result.proven && options.shortcutDepth > 0)
            result.generated += shorten(path, taken, options.shortcutDepth);
        result.length = static_cast<int>(path.size()) - 1;
        for (int tick = 1; tick <= result.length; ++tick) {
            if (taken[tick].disband) result.plan.push_back(planLine{tick, -1});
            if (taken[tick].command >= 0) result.plan.push_back(planLine{tick, taken[tick].command});
        }
        return result;
    }

    void noteClosest(const spiele<W, H>& game, int tick, searchResult& result) const {
        if (tick > result.deepestTick) result.deepestTick = tick;
        for (int i = 0; i < game.transbot.size(); ++i) {
            const bot* member = game.transbot.get(i);
            const int d = distance[indexFromXY<W, H>(member->x, member->y)];
            if (d < result.closestDistance) {
                result.closestDistance = d;
                result.closestCol = member->x;
                result.closestRow = member->y;
            }
        }
    }
};
