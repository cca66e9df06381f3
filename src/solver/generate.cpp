// The level generator's body: a map drawn from the seed, its goal put where the group first stands
// farthest, every element it does not need taken away, and then the proof, the two-key check and the
// measures of what is left.
#include "solver/generate.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "rules/maps.h"
#include "rules/shape.h"
#include "solver/search.h"

namespace {

const char* const difficultyNames[] = {"easy", "medium", "hard"};
// Short enough that all six fit one tip line.
const char* const ideaNames[] = {"climb", "let go", "wait", "belt", "striped", "walk left"};

constexpr int gridW = level2W, gridH = level2H;
using gameSearch = search<gridW, gridH>;
using game = spiele<gridW, gridH>;

// Every search the generator runs may hold this many states (about 100 MB with its table), as many as the
// largest level of the pack needs.
constexpr int generatorCapacity = 1 << 21;
// States the two-key check may visit, and the elements a map may have.
constexpr int twoKeyCapacity = 1 << 16;
constexpr int maxElements = 512;

// splitmix64: the same numbers from the same seed everywhere.
struct randomNumbers {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 1 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
};

// How each difficulty draws its maps and which pars it aims at.
struct recipe {
    int width, height;
    int robotsMin, robotsMax;
    int blocksMin, blocksMax;
    int platformsMax;
    int beltPercent, stripedPercent;
    int parMin, parMax;
    int candidates;
    int stateBudget;
};
constexpr recipe recipes[] = {
    {12, 8, 2, 3, 1, 2, 1, 25, 0, 4, 8, 400, 60000},
    {14, 9, 3, 3, 1, 3, 2, 50, 35, 8, 21, 400, 300000},
    {22, 8, 3, 3, 2, 4, 3, 60, 40, 22, 45, 400, 100000},
};

// The bands: the first row whose limits a level keeps to is its grade; past them all, hard.
struct band {
    levelDifficulty difficulty;
    int maxPar;
    long long maxStates;
    unsigned ideasNotIn;
};
constexpr band bands[] = {
    {levelDifficulty::easy, 8, 20000, ideaStriped},
    {levelDifficulty::medium, 21, 120000, 0},
};

bool solid(char c) {
    return c != ' ';
}

// The restrictions that tell an idea: a plan that keeps to one and still wins in par does without it.
bool noLetGo(const void*, const game&, const tickInput& in, const game&) {
    return !in.disband;
}

// No robot stands higher than it started.
bool noClimb(const void* context, const game&, const tickInput&, const game& after) {
    const int* startRow = static_cast<const int*>(context);
    for (int i = 0; i < after.botCount; ++i) {
        const bot& b = after.bots[i];
        if (b.y < startRow[i] && solid(after.fromLevelAt(b.x, b.y + 1))) return false;
    }
    return true;
}

// No pose is left waiting where it does not fit.
bool noWait(const void*, const game&, const tickInput&, const game& after) {
    const int n = after.transbot.size();
    if (n == 0 || after.wantedShape < 0 || after.wantedShape == after.currentShape) return true;
    shape formation = after.shapes[after.wantedShape];
    if (!formation.resize(n)) return true;
    const bot* anchor = after.transbot.get(n - 1);
    formation.adjust(anchor->x, anchor->y);
    for (int i = 0; i < formation.count; ++i)
        if (after.fromLevelAt(formation.col(i), formation.row(i)) != ' ') return false;
    return true;
}

int leftmost(const ro& group) {
    int x = gridW;
    for (int i = 0; i < group.size(); ++i)
        if (group.get(i)->x < x) x = group.get(i)->x;
    return x;
}

// No re-form carries the group to the left.
bool noWalkLeft(const void*, const game& before, const tickInput&, const game& after) {
    if (before.transbot.size() == 0 || after.transbot.size() != before.transbot.size()) return true;
    if (after.currentShape < 0 || after.currentShape == before.currentShape) return true;
    return leftmost(after.transbot) >= leftmost(before.transbot);
}

enum class elementKind { belt, striped, step, robot };
struct element {
    elementKind kind;
    int x0, x1, y;
};

}  // namespace

const char* difficultyName(levelDifficulty d) {
    return difficultyNames[static_cast<int>(d)];
}

bool parseDifficulty(const char* text, levelDifficulty& out) {
    for (int i = 0; i < 3; ++i) {
        if (std::strcmp(text, difficultyNames[i]) == 0) {
            out = static_cast<levelDifficulty>(i);
            return true;
        }
    }
    return false;
}

bool parseLevelId(const char* text, levelId& out) {
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr || colon - text > 6) return false;
    char name[8] = {};
    std::memcpy(name, text, static_cast<std::size_t>(colon - text));
    levelDifficulty difficulty;
    if (!parseDifficulty(name, difficulty)) return false;
    // Digits only, no sign or space, and no more than a 32-bit seed holds.
    const char* digits = colon + 1;
    if (*digits == '\0') return false;
    std::uint64_t seed = 0;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || c - digits >= 10) return false;
        seed = seed * 10 + static_cast<std::uint64_t>(*c - '0');
    }
    if (seed > 0xFFFFFFFFull) return false;
    out = levelId{difficulty, static_cast<std::uint32_t>(seed)};
    return true;
}

void writeLevelId(levelId id, char* out, std::size_t size) {
    std::snprintf(out, size, "%s:%u", difficultyName(id.difficulty), static_cast<unsigned>(id.seed));
}

void writeIdeas(unsigned ideas, char* out, std::size_t size) {
    if (size == 0) return;
    out[0] = '\0';
    std::size_t used = 0;
    for (int i = 0; i < 6; ++i) {
        if ((ideas & (1u << i)) == 0) continue;
        const int n = std::snprintf(out + used, size - used, "%s%s", used ? ", " : "", ideaNames[i]);
        if (n < 0 || used + static_cast<std::size_t>(n) >= size) return;
        used += static_cast<std::size_t>(n);
    }
}

levelDifficulty gradeLevel(const levelMeasures& m) {
    for (const band& b : bands)
        if (m.par <= b.maxPar && m.states <= b.maxStates && (m.ideas & b.ideasNotIn) == 0)
            return b.difficulty;
    return levelDifficulty::hard;
}

// Everything a generation uses, taken once.
struct generatorMemory {
    // The map being made, in the top-left corner of a grid of walls, as the reader places a level.
    char map[gridW * gridH + 1];
    char variant[gridW * gridH + 1];
    int width = 0, height = 0;
    gameSearch s;
    // The two-key check's states: open addressing over keys, with the fewest keys each was reached by.
    stateKey seen[twoKeyCapacity];
    std::uint8_t seenKeys[twoKeyCapacity];
    std::uint8_t seenUsed[twoKeyCapacity];
    std::uint32_t queue[3][twoKeyCapacity];
    int firstTick[gridW * gridH];
    element elements[maxElements];
    int elementCount = 0;
    randomNumbers random{0};

    // The start and the tick after it, for `atRestAtStart`.
    spiele<gridW, gridH> first, next;

    generatorMemory() : s(walls(), thoseShape1, generatorCapacity) {}

    // Whether the robots stand still at the start of `map`: the curtain opens over a level for a few ticks
    // before a player's first key, so a level won only while its robots still fall would be lost by then.
    bool atRestAtStart(const char* text) {
        first.init(text, thoseShape1);
        next = first;
        next.process();
        return packedState(first) == packedState(next);
    }
    const char* walls() {
        std::memset(map, '#', sizeof map - 1);
        map[sizeof map - 1] = '\0';
        std::memcpy(variant, map, sizeof map);
        return map;
    }

    char& at(char* m, int x, int y) { return m[x + y * gridW]; }

    // The breadth-first search over `text`, plans of at most `limit` ticks, kept to `filter` when given.
    const searchAnswer& prove(const char* text, int limit, int budget,
                              gameSearch::playFilter filter = nullptr, const void* context = nullptr) {
        s.reset(text, thoseShape1);
        s.tickLimit = limit;
        s.allowed = filter;
        s.allowedContext = context;
        return s.run(s.start, false, budget, 0);
    }

    // The last proof's plan, which pruning plays on each variant first.
    planLine plan[maxPlanLines];
    int planLines = 0;
    game played;
    void keepPlan(const searchAnswer& a) {
        planLines = a.lines;
        std::copy_n(a.plan, a.lines, plan);
    }
    bool planWins(const char* text, int par) {
        played.init(text, thoseShape1);
        for (int tick = 1, line = 0; tick <= par; ++tick) {
            for (; line < planLines && plan[line].tick == tick; ++line)
                played.control(plan[line].command);
            played.process();
        }
        return played.won;
    }

    // 1 when `text` is still won in exactly `par` ticks, 0 when not, -1 when the budget could not tell.
    int sameWin(const char* text, int par, int budget, gameSearch::playFilter filter = nullptr,
                const void* context = nullptr) {
        const searchAnswer& a = prove(text, par, budget, filter, context);
        if (a.outcome == searchOutcome::won) return a.length == par ? 1 : 0;
        if (a.explored >= budget) return -1;
        return 0;
    }

    // The shortest plan's moves as the game counts them: the ticks that changed the game.
    int moves(const searchAnswer& a) {
        game& g = s.work;
        g = s.start;
        packedRecord last = packedState(g);
        int line = 0, count = 0;
        for (int tick = 1; tick <= a.length; ++tick) {
            for (; line < a.lines && a.plan[line].tick == tick; ++line)
                g.control(a.plan[line].command);
            g.process();
            count += countMove(g, last);
        }
        return count;
    }

    // Whether some plan of at most two key presses wins the map the search was last reset to: every state
    // reached with no key, one or two, each then left to run on its own.
    int wonByTwoKeys() {
        std::memset(seenUsed, 0, sizeof seenUsed);
        int stored = 0;
        int queued[3] = {0, 0, 0};
        auto visit = [&](const stateKey& key, int keys) -> int {
            if (keys > 2) return 0;
            constexpr std::size_t mask = twoKeyCapacity - 1;
            for (std::size_t slot = key.hash() & mask;; slot = (slot + 1) & mask) {
                if (!seenUsed[slot]) {
                    if (stored * 2 >= twoKeyCapacity) return -1;
                    ++stored;
                    seenUsed[slot] = 1;
                    seen[slot] = key;
                    seenKeys[slot] = static_cast<std::uint8_t>(keys);
                } else if (!(seen[slot] == key)) {
                    continue;
                } else if (seenKeys[slot] <= keys) {
                    return 0;
                } else {
                    seenKeys[slot] = static_cast<std::uint8_t>(keys);
                }
                queue[keys][queued[keys]++] = static_cast<std::uint32_t>(slot);
                return 0;
            }
        };
        visit(s.layout.pack(s.start, false), 0);
        tickInput list[maxTickInputs];
        for (int keys = 0; keys <= 2; ++keys) {
            for (int q = 0; q < queued[keys]; ++q) {
                const std::uint32_t slot = queue[keys][q];
                if (seenKeys[slot] < keys) continue;
                const stateKey key = seen[slot];
                const bool moved = s.layout.unpack(key, s.work);
                if (s.work.won) return 1;
                const int count = s.inputs(s.work, moved, list);
                for (int i = 0; i < count; ++i) {
                    const int used = keys + list[i].disband + (list[i].command >= 0);
                    if (used > 2) continue;
                    const stateKey child = s.step(key, list[i]);
                    if (s.work.won) return 1;
                    if (visit(child, used) < 0) return -1;
                }
            }
        }
        return 0;
    }

    // The elements of `m` whose taking away is tried: each belt's run, striped block, step and robot.
    void listElements(const char* m) {
        elementCount = 0;
        auto add = [&](elementKind kind, int x0, int x1, int y) {
            if (elementCount < maxElements) elements[elementCount++] = element{kind, x0, x1, y};
        };
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const char c = m[x + y * gridW];
                if (c == '<' || c == '>') {
                    int x1 = x;
                    while (x1 + 1 < width && m[x1 + 1 + y * gridW] == c)
                        ++x1;
                    add(elementKind::belt, x, x1, y);
                    x = x1;
                } else if (c == '!') {
                    add(elementKind::striped, x, x, y);
                } else if (c == '#' && x > 0 && x < width - 1 && y > 0 && y < height - 1 &&
                           (m[x + (y - 1) * gridW] == ' ' || isMarker(m[x + (y - 1) * gridW]))) {
                    add(elementKind::step, x, x, y);
                } else if (isMarker(c)) {
                    add(elementKind::robot, x, x, y);
                }
            }
        }
    }

    void takeAway(char* m, const element& e) {
        for (int x = e.x0; x <= e.x1; ++x) {
            char& c = at(m, x, e.y);
            c = e.kind == elementKind::belt || e.kind == elementKind::striped ? '#' : ' ';
        }
    }

    int robots(const char* m) {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += isMarker(m[x + y * gridW]);
        return n;
    }

    // Takes away every element the map is won as well without, until each one left matters. False when
    // the budget could not tell.
    bool prune(int par, int budget, bool keepAll) {
        for (int pass = 0; pass < 8; ++pass) {
            listElements(map);
            bool removed = false;
            for (int i = 0; i < elementCount; ++i) {
                if (elements[i].kind == elementKind::robot && robots(map) <= 2) continue;
                std::memcpy(variant, map, sizeof map);
                takeAway(variant, elements[i]);
                // An element whose taking away stops the shortest plan is kept without a search; the last
                // pass, which takes nothing away, proves that each one matters.
                if (pass == 0 && !planWins(variant, par)) continue;
                const int same = sameWin(variant, par, budget);
                if (same < 0) return false;
                if (same == 0) continue;
                if (keepAll) return false;
                keepPlan(s.answer);
                std::memcpy(map, variant, sizeof map);
                removed = true;
            }
            if (!removed && pass > 0) return true;
        }
        return false;
    }

    // The ideas the map needs, each found by winning in par without it.
    bool ideas(int par, int budget, unsigned& out) {
        out = 0;
        int startRow[maxRobots] = {};
        s.reset(map, thoseShape1);
        for (int i = 0; i < s.start.botCount; ++i)
            startRow[i] = s.start.bots[i].y;
        const gameSearch::playFilter filters[] = {noClimb, noLetGo, noWait, nullptr, nullptr, noWalkLeft};
        for (int i = 0; i < 6; ++i) {
            std::memcpy(variant, map, sizeof map);
            if (filters[i] == nullptr) {
                const char taken[2][3] = {"<>", "!"};
                bool any = false;
                for (int c = 0; c < gridW * gridH; ++c) {
                    if (std::strchr(taken[i == 4], variant[c]) != nullptr && variant[c] != '\0') {
                        variant[c] = '#';
                        any = true;
                    }
                }
                if (!any) continue;
            }
            const int same = sameWin(variant, par, budget, filters[i], startRow);
            if (same < 0) return false;
            if (same == 0) out |= 1u << i;
        }
        return true;
    }

    // Proves the map as it stands and measures it; false when it is not won within the budget, its moves
    // differ from its ticks, or two keys win it.
    bool measure(int budget, levelMeasures& out) {
        const searchAnswer& a = prove(map, maxPlanTicks, budget);
        if (a.outcome != searchOutcome::won) return false;
        out.par = a.length;
        out.keys = a.lines;
        out.states = a.explored;
        if (moves(a) != out.par) return false;
        if (wonByTwoKeys() != 0) return false;
        return ideas(out.par, budget, out.ideas);
    }

    // One map drawn from the random numbers: the floor, blocks rising from it, platforms in the air, belts,
    // striped blocks and the robots standing on them.
    void draw(const recipe& r, int w, int h) {
        width = w;
        height = h;
        walls();
        for (int y = 1; y < h - 1; ++y)
            for (int x = 1; x < w - 1; ++x)
                at(map, x, y) = ' ';
        const int blocks = random.between(r.blocksMin, r.blocksMax);
        for (int b = 0; b < blocks; ++b) {
            const int bw = random.between(1, 3), bh = random.between(1, h - 4 > 1 ? h - 4 : 1);
            const int x0 = random.between(1, w - 2);
            for (int x = x0; x < x0 + bw && x < w - 1; ++x)
                for (int y = h - 2; y > h - 2 - bh; --y)
                    at(map, x, y) = '#';
        }
        const int platforms = random.between(0, r.platformsMax);
        for (int p = 0; p < platforms; ++p) {
            const int y = random.between(2, h - 4), length = random.between(2, 6);
            const int x0 = random.between(1, w - 2);
            const bool belt = random.chance(r.beltPercent);
            const char c = random.chance(50) ? '<' : '>';
            for (int x = x0; x < x0 + length && x < w - 1; ++x)
                at(map, x, y) = belt ? c : '#';
        }
        if (random.chance(r.beltPercent / 2)) {
            const int x0 = random.between(1, w - 3), length = random.between(2, w - 2 - x0);
            const char c = random.chance(50) ? '<' : '>';
            for (int x = x0; x < x0 + length; ++x)
                at(map, x, h - 1) = c;
        }
        if (random.chance(r.stripedPercent)) {
            const int x = random.between(1, w - 2);
            for (int y = 1; y < h; ++y) {
                if (solid(at(map, x, y))) {
                    at(map, x, y) = '!';
                    break;
                }
            }
        }
        const int robots = random.between(r.robotsMin, r.robotsMax);
        // Wide maps start their robots at one end, so that the way to the goal is long.
        const int first = w >= 20 ? random.between(2, w / 4) : random.between(1, w - 2);
        for (int i = 0, tries = 0; i < robots && tries < 50; ++tries) {
            // Near one another, most of the time, so that they can meet.
            const int x = random.chance(70) ? first + random.between(-3, 3) : random.between(1, w - 2);
            if (x < 1 || x > w - 2) continue;
            int y = 1;
            while (y < h - 1 && !(at(map, x, y) == ' ' && solid(at(map, x, y + 1))))
                ++y;
            if (y >= h - 1) continue;
            at(map, x, y) = markerChar(i);
            ++i;
        }
    }

    // The goal where a group member first stands, with the goal a wall, at a tick within the recipe's pars.
    bool placeGoal(const recipe& r) {
        prove(map, r.parMax, r.stateBudget);
        for (int& t : firstTick)
            t = -1;
        for (int i = 0; i < s.known; ++i) {
            s.layout.unpack(s.nodes[i].key, s.work);
            const int g = s.nodes[i].g;
            for (int m = 0; m < s.work.transbot.size(); ++m) {
                const bot* b = s.work.transbot.get(m);
                const int below = b->x + (b->y + 1) * gridW;
                if (b->y + 1 >= height || map[below] != '#') continue;
                if (firstTick[below] < 0 || g < firstTick[below]) firstTick[below] = g;
            }
        }
        int chosen = -1, count = 0;
        for (int c = 0; c < gridW * gridH; ++c) {
            if (firstTick[c] < r.parMin - 1 || firstTick[c] > r.parMax) continue;
            // Reservoir choice among the cells in range, the later ticks weighed more.
            const int weight = firstTick[c];
            count += weight;
            if (random.below(count) < weight) chosen = c;
        }
        if (chosen < 0) return false;
        map[chosen] = '@';
        return true;
    }

    // Markers renumbered 1, 2, ... in their order, which keeps each robot's place in the game's order.
    void renumber() {
        int cells[markerCount], count = 0;
        for (int k = 0; k < markerCount; ++k) {
            const int cell = findIndex<gridW, gridH>(map, markerChar(k));
            if (cell >= 0) cells[count++] = cell;
        }
        for (int i = 0; i < count; ++i)
            map[cells[i]] = markerChar(i);
    }

    void write(levelId id, generatedLevel& out) {
        char ideaLine[64];
        writeIdeas(out.measures.ideas, ideaLine, sizeof ideaLine);
        int n = std::snprintf(out.text, sizeof out.text,
                              "title: Generated %s %u\nauthor: Brakko level generator\ntip: ideas: %s\npar: "
                              "%d\n\n",
                              difficultyName(id.difficulty), static_cast<unsigned>(id.seed),
                              ideaLine[0] ? ideaLine : "joining and walking", out.measures.par);
        for (int y = 0; y < height; ++y) {
            std::memcpy(out.text + n, map + y * gridW, static_cast<std::size_t>(width));
            n += width;
            out.text[n++] = '\n';
        }
        out.text[n] = '\0';
        out.length = n;
    }
};

levelGenerator::levelGenerator() : memory(new (std::nothrow) generatorMemory) {}
levelGenerator::~levelGenerator() {
    delete memory;
}

bool levelGenerator::generate(levelId id, generatedLevel& out, int width, int height) {
    out = generatedLevel{};
    if (memory == nullptr || memory->s.capacity == 0) return false;
    const recipe& r = recipes[static_cast<int>(id.difficulty)];
    if (width == 0) width = r.width;
    if (height == 0) height = r.height;
    if (width < 5 || height < 5 || width > gridW || height > gridH) return false;
    generatorMemory& m = *memory;
    m.random.state = (static_cast<std::uint64_t>(id.seed) << 2 | static_cast<std::uint64_t>(id.difficulty)) *
                     0xD1B54A32D192ED03ull;
    for (int candidate = 0; candidate < r.candidates; ++candidate) {
        m.draw(r, width, height);
        if (!m.placeGoal(r) || !m.atRestAtStart(m.map)) continue;
        const searchAnswer& a = m.prove(m.map, maxPlanTicks, r.stateBudget);
        if (a.outcome != searchOutcome::won) continue;
        const int par = a.length;
        if (par < r.parMin || par > r.parMax) continue;
        m.keepPlan(a);
        if (!m.prune(par, r.stateBudget, false) || !m.atRestAtStart(m.map)) continue;
        levelMeasures measures;
        if (!m.measure(r.stateBudget, measures)) continue;
        if (gradeLevel(measures) != id.difficulty) continue;
        m.renumber();
        out.measures = measures;
        m.write(id, out);
        return true;
    }
    return false;
}

bool levelGenerator::measure(const char* map, int width, int height, levelMeasures& out) {
    if (memory == nullptr || memory->s.capacity == 0) return false;
    generatorMemory& m = *memory;
    std::memcpy(m.map, map, sizeof m.map - 1);
    m.width = width;
    m.height = height;
    return m.measure(generatorCapacity, out);
}

bool levelGenerator::everyElementMatters(const char* map, int width, int height, int par) {
    if (memory == nullptr || memory->s.capacity == 0) return false;
    generatorMemory& m = *memory;
    std::memcpy(m.map, map, sizeof m.map - 1);
    m.width = width;
    m.height = height;
    m.planLines = 0;
    return m.prune(par, generatorCapacity, true);
}
