// The search for a winning plan: best-first over packed game states from any state a level can hold, one
// tick per step, with the game's own rules doing every step. Its memory is all taken when it is built; a
// search allocates nothing, reads no clock, and so answers the same on every machine. No SDL.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "rules/spiele.h"
#include "solver/searchState.h"

enum class searchOutcome { won, noWay, outOfBudget };

// A plan with more keys than this, or more ticks than maxPlanTicks, counts as out of budget. The committed
// plans win both levels from their starts in under 100 ticks and under 140 keys.
constexpr int maxPlanLines = 1024;
constexpr int maxPlanTicks = 4096;

struct searchAnswer {
    searchOutcome outcome = searchOutcome::outOfBudget;
    int length = 0;  // ticks of the plan found
    int lines = 0;
    planLine plan[maxPlanLines];  // tick (1 = the next tick from the state given) and command
    long long explored = 0, generated = 0;
    // For a state that cannot be won: how near the group's nearest member came to the cell above the goal, in
    // walking steps, where that was, and the latest tick any state explored lies at.
    int closestDistance = -1;
    int closestCol = -1, closestRow = -1;
    int deepestTick = 0;
};

// The keys a player can press before one tick: an optional disband, then an optional formation command.
// A disband followed by a formation needs a gliding frame between the two ticks, so it is only offered after
// a tick that moved a robot.
struct tickInput {
    bool disband = false;
    int command = -1;  // 0..8, or -1 for none
};

// Commands 1 and 7 both name the empty formation, so 7 never does anything 1 doesn't; it is never tried.
constexpr int triedCommands[] = {0, 1, 2, 3, 4, 5, 6, 8};
constexpr int maxTickInputs = 2 + 2 * static_cast<int>(sizeof triedCommands / sizeof triedCommands[0]);

// States are taken in order of 2g + weightHalves * h, g the ticks played and h the estimate of ticks to go.
// Weights above this many halves are run, but a state whose order falls past the last bucket is dropped,
// and the search can then no longer prove that there is no way.
constexpr int maxWeightHalves = 16;

// How many cells a tick can carry a lone robot (entry 0) and a group of 1 to 6, in halves of a cell: a bigger
// group strides further by re-forming about its last member. Tuned so that both levels come out short within
// a few seconds; the solver takes others from its command line.
struct speedTable {
    int halves[7] = {3, 3, 4, 5, 7, 9, 10};
};

template <int W, int H>
struct search {
    // A known state: how it was first reached most cheaply, and its place in the open list of its order.
    struct node {
        stateKey key;
        std::uint32_t parent;
        std::uint32_t next, prev;  // open list links, node index + 1, 0 for none
        std::uint16_t g;
        std::uint8_t flags;  // disbandFlag: the input into it disbanded; openFlag: waiting in an open list
        std::int8_t command;
    };
    static constexpr std::uint8_t disbandFlag = 1, openFlag = 2;

    const char* mapText;
    spiele<W, H> start;
    spiele<W, H> work;
    stateLayout<W, H> layout;
    int goalCol = -1, goalRow = -1;
    // Walking steps from each cell to the cell above the goal; cells no walk reaches count `walkless`.
    std::uint16_t distance[W * H] = {};
    int walkless = 0;
    speedTable speeds;

    int capacity = 0;
    int known = 0;
    std::unique_ptr<node[]> nodes;
    std::size_t tableSize = 0;               // a power of two, at least twice the capacity
    std::unique_ptr<std::uint32_t[]> table;  // open addressing: node index + 1, 0 for an empty slot
    int bucketCount = 0;
    std::unique_ptr<std::uint32_t[]> buckets;  // the head of each order's open list, node index + 1
    int lowest = 0, top = 0;                   // no open state orders below `lowest` or at `top` and above
    bool dropped = false;                      // some state went unexplored for want of room or depth
    searchAnswer answer;
    // Plans no longer than this many ticks are searched; a state past it counts as out of room.
    int tickLimit = maxPlanTicks;
    // When set, a tick from `before` with the keys `in` into `after` is played only when this returns true:
    // the search then answers for play that keeps to a restriction, such as never letting the group go.
    using playFilter = bool (*)(const void* context, const spiele<W, H>& before, const tickInput& in,
                                const spiele<W, H>& after);
    playFilter allowed = nullptr;
    const void* allowedContext = nullptr;
    spiele<W, H> before;

    search(const char* text, const char* const* shapeTable, int capacity_) : mapText(text) {
        // A failed reservation leaves a search of no capacity, which answers out of budget.
        capacity = capacity_ > 0 ? capacity_ : 0;
        tableSize = 1;
        while (tableSize < 2 * static_cast<std::size_t>(capacity))
            tableSize *= 2;
        nodes.reset(new (std::nothrow) node[static_cast<std::size_t>(capacity)]);
        table.reset(new (std::nothrow) std::uint32_t[tableSize]);
        // Room for the orders of any map of this size, so that another map needs no more.
        buckets.reset(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(bucketsFor(W * H))]);
        if (!nodes || !table || !buckets) capacity = 0;
        reset(text, shapeTable);
    }

    // An estimate never exceeds twice `walkless`: the slowest stride is a half cell.
    static constexpr int bucketsFor(int walkless) {
        return 2 * maxPlanTicks + 2 + maxWeightHalves * 2 * walkless;
    }

    // Searches from now on play `text`, a map of the same size, in the memory already held.
    void reset(const char* text, const char* const* shapeTable) {
        mapText = text;
        start.init(mapText, shapeTable);
        work = start;
        layout.robots = start.botCount;
        goalCol = goalRow = -1;
        const int goal = findIndex<W, H>(mapText, '@');
        if (goal >= 0) {
            goalCol = xFromIndex<W, H>(goal);
            goalRow = yFromIndex<W, H>(goal);
        }
        measureDistances();
        bucketCount = bucketsFor(walkless);
    }

    // Every byte this search holds, for the record.
    std::size_t bytes() const {
        return sizeof *this + static_cast<std::size_t>(capacity) * sizeof(node) +
               tableSize * sizeof(std::uint32_t) +
               static_cast<std::size_t>(bucketsFor(W * H)) * sizeof(std::uint32_t);
    }

    bool emptyCell(int x, int y) const { return start.fromLevelAt(x, y) == ' '; }

    // Walking distance over empty cells from each cell to the cell above the goal, breadth first with the
    // distances themselves as the marks (`unwalked` until reached) and a queue of cells.
    static constexpr std::uint16_t unwalked = 0xFFFF;
    std::uint16_t walkQueue[W * H] = {};
    void measureDistances() {
        static_assert(W * H < unwalked, "a cell's index and its distance fit the marks");
        for (int c = 0; c < W * H; ++c)
            distance[c] = unwalked;
        int queued = 0;
        if (goalCol >= 0 && emptyCell(goalCol, goalRow - 1)) {
            distance[indexFromXY<W, H>(goalCol, goalRow - 1)] = 0;
            walkQueue[queued++] = static_cast<std::uint16_t>(indexFromXY<W, H>(goalCol, goalRow - 1));
        }
        for (int q = 0; q < queued; ++q) {
            const int c = walkQueue[q];
            const int x = xFromIndex<W, H>(c), y = yFromIndex<W, H>(c);
            const int around[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
            for (const auto& d : around) {
                const int nx = x + d[0], ny = y + d[1];
                if (!emptyCell(nx, ny)) continue;
                const int n = indexFromXY<W, H>(nx, ny);
                if (distance[n] != unwalked) continue;
                distance[n] = static_cast<std::uint16_t>(distance[c] + 1);
                walkQueue[queued++] = static_cast<std::uint16_t>(n);
            }
        }
        // A formation can carry robots over a wall into a pocket that no walk reaches, so such cells only
        // count as farther than any other, never as hopeless.
        int farthest = 0;
        for (int c = 0; c < W * H; ++c) {
            if (distance[c] != unwalked && distance[c] > farthest) farthest = distance[c];
        }
        walkless = farthest + 1;
        for (int c = 0; c < W * H; ++c)
            if (distance[c] == unwalked) distance[c] = static_cast<std::uint16_t>(walkless);
    }

    // Ticks still to go, estimated: the nearest member's walk at its group's stride. Without a group, any
    // robot may seed one.
    int estimate(const spiele<W, H>& game) const {
        if (game.won) return 0;
        const int size = game.transbot.size();
        const ro& counted = size > 0 ? static_cast<const ro&>(game.transbot) : game.nautbot;
        int best = walkless;
        for (int i = 0; i < counted.count; ++i) {
            const int d = distance[indexFromXY<W, H>(counted.slots[i]->x, counted.slots[i]->y)];
            if (d < best) best = d;
        }
        const int speed = speeds.halves[size < 6 ? size : 6];
        return (2 * best + speed - 1) / speed;
    }

    // The node of a key, made if it is new (`fresh`); -1 when the table is full.
    int find(const stateKey& key, bool& fresh) {
        const std::size_t mask = tableSize - 1;
        for (std::size_t slot = key.hash() & mask;; slot = (slot + 1) & mask) {
            if (table[slot] == 0) {
                if (known == capacity) return -1;
                nodes[known] = node{key, 0, 0, 0, 0, 0, -1};
                table[slot] = static_cast<std::uint32_t>(++known);
                fresh = true;
                return known - 1;
            }
            if (nodes[table[slot] - 1].key == key) {
                fresh = false;
                return static_cast<int>(table[slot] - 1);
            }
        }
    }

    int order(int g, int h, int weightHalves) const { return 2 * g + weightHalves * h; }

    // Newest first within an order, as a stack.
    void push(int index, int f) {
        if (f >= bucketCount) {
            dropped = true;
            return;
        }
        node& n = nodes[index];
        n.prev = 0;
        n.next = buckets[f];
        if (n.next != 0) nodes[n.next - 1].prev = static_cast<std::uint32_t>(index + 1);
        buckets[f] = static_cast<std::uint32_t>(index + 1);
        n.flags |= openFlag;
        // An estimate that drops by more than a tick's worth puts a state below the order being emptied.
        if (f < lowest) lowest = f;
        if (f >= top) top = f + 1;
    }

    void unlink(int index, int f) {
        node& n = nodes[index];
        if (n.prev != 0)
            nodes[n.prev - 1].next = n.next;
        else
            buckets[f] = n.next;
        if (n.next != 0) nodes[n.next - 1].prev = n.prev;
        n.flags &= static_cast<std::uint8_t>(~openFlag);
    }

    // Whether a disband before the next tick would change anything: it lets a group go, or drops a request
    // still pending between two ticks.
    static bool disbandActs(const spiele<W, H>& game) {
        return game.transbot.size() > 0 || game.wantedShape != -1;
    }

    // The inputs worth trying before the next tick, into `out`; inputs that provably do the same as another
    // are left out. Returns how many.
    int inputs(const spiele<W, H>& game, bool moved, tickInput out[maxTickInputs]) const {
        int n = 0;
        out[n++] = tickInput{};
        for (int k : triedCommands) {
            if (k != game.wantedShape) out[n++] = tickInput{false, k};
        }
        if (disbandActs(game)) {
            out[n++] = tickInput{true, -1};
            if (moved) {
                for (int k : triedCommands)
                    out[n++] = tickInput{true, k};
            }
        }
        return n;
    }

    // One tick from a packed state with the given keys; `work` is left holding the state after it.
    stateKey step(const stateKey& from, const tickInput& in) {
        layout.unpack(from, work);
        decltype(work.bots) before;
        std::copy_n(work.bots, work.botCount, before);
        if (in.disband) work.control(-1);
        if (in.command >= 0) work.control(in.command);
        work.process();
        return layout.pack(work, anyRobotMoved(before, work));
    }

    // From `game` (on this search's map) as it stands before its next tick's keys. `moved`: whether a frame
    // will glide before that tick, as after a tick that moved a robot; only then may the plan's first tick
    // take both a Space and a pose. Explores at most `budget` states; noWay only when everything reachable
    // was explored.
    const searchAnswer& run(const spiele<W, H>& game, bool moved, int budget, int weightHalves = 2) {
        answer.outcome = searchOutcome::outOfBudget;
        answer.length = answer.lines = 0;
        answer.explored = answer.generated = 0;
        answer.closestDistance = walkless + 1;
        answer.closestCol = answer.closestRow = -1;
        answer.deepestTick = 0;
        if (!layout.fits() || capacity == 0 || game.botCount != layout.robots) return answer;
        known = 0;
        std::memset(table.get(), 0, tableSize * sizeof(std::uint32_t));
        std::memset(buckets.get(), 0, static_cast<std::size_t>(bucketCount) * sizeof(std::uint32_t));
        lowest = top = 0;
        dropped = false;

        bool fresh = false;
        const int root = find(layout.pack(game, moved), fresh);
        nodes[root].parent = static_cast<std::uint32_t>(root);
        push(root, order(0, estimate(game), weightHalves));

        tickInput list[maxTickInputs];
        while (lowest < top) {
            if (buckets[lowest] == 0) {
                ++lowest;
                continue;
            }
            const int index = static_cast<int>(buckets[lowest] - 1);
            unlink(index, lowest);
            const stateKey key = nodes[index].key;
            const bool wasMoved = layout.unpack(key, work);
            if (work.won) return found(index, root);
            if (answer.explored == budget) return answer;
            ++answer.explored;
            const int parentG = nodes[index].g;
            noteClosest(work, parentG);
            const int g = parentG + 1;
            if (allowed != nullptr) before = work;
            if (g > maxPlanTicks || g > tickLimit) {
                dropped = true;
                continue;
            }
            const int count = inputs(work, wasMoved, list);
            for (int i = 0; i < count; ++i) {
                const stateKey child = step(key, list[i]);
                ++answer.generated;
                if (allowed != nullptr && !allowed(allowedContext, before, list[i], work)) continue;
                const int at = find(child, fresh);
                if (at < 0) return answer;  // the table is full
                node& n = nodes[at];
                if (!fresh && n.g <= g) continue;
                const int h = estimate(work);
                if (!fresh && (n.flags & openFlag) != 0) unlink(at, order(n.g, h, weightHalves));
                n.parent = static_cast<std::uint32_t>(index);
                n.g = static_cast<std::uint16_t>(g);
                n.flags = list[i].disband ? disbandFlag : 0;
                n.command = static_cast<std::int8_t>(list[i].command);
                push(at, order(g, h, weightHalves));
            }
        }
        if (!dropped) answer.outcome = searchOutcome::noWay;
        return answer;
    }

    // The plan into the answer, from the root to the winning node. Ticks are counted along the path itself:
    // a state reached again more cheaply keeps its own parent and input, but states below it may still
    // carry the older, larger tick counts.
    const searchAnswer& found(int goal, int root) {
        int length = 0, lines = 0;
        for (int i = goal; i != root; i = static_cast<int>(nodes[i].parent)) {
            ++length;
            lines += ((nodes[i].flags & disbandFlag) != 0) + (nodes[i].command >= 0);
        }
        if (length > maxPlanTicks || lines > maxPlanLines) return answer;
        answer.outcome = searchOutcome::won;
        answer.length = length;
        answer.lines = lines;
        int tick = length;
        for (int i = goal; i != root; i = static_cast<int>(nodes[i].parent), --tick) {
            if (nodes[i].command >= 0) answer.plan[--lines] = planLine{tick, nodes[i].command};
            if ((nodes[i].flags & disbandFlag) != 0) answer.plan[--lines] = planLine{tick, -1};
        }
        return answer;
    }

    void noteClosest(const spiele<W, H>& game, int tick) {
        if (tick > answer.deepestTick) answer.deepestTick = tick;
        for (int i = 0; i < game.transbot.size(); ++i) {
            const bot* member = game.transbot.get(i);
            const int d = distance[indexFromXY<W, H>(member->x, member->y)];
            if (d < answer.closestDistance) {
                answer.closestDistance = d;
                answer.closestCol = member->x;
                answer.closestRow = member->y;
            }
        }
    }
};
