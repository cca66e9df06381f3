// brakko-prove: the level reader and the game's search for the browser's level editor, and the level
// generator for the page's new levels, as a tiny C API over WebAssembly. The editor judges its text with
// `readText` as it is typed, and a worker proves a level with `proveText`: a weighted search for a plan, then
// a breadth-first one for the shortest (the par), each after a quick check that some robot could reach the
// goal at all. The answers stay in this module's statics until the next call; the page reads them through the
// getters.
#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#else
// Built natively into the tests, where nothing has to be kept for a page.
#define EMSCRIPTEN_KEEPALIVE
#endif

#include <cstring>
#include <memory>
#include <new>

#include "files/levelFile.h"
#include "platform/prove.h"
#include "rules/flow.h"
#include "rules/shape.h"
#include "solver/generate.h"
#include "solver/reach.h"
#include "solver/search.h"

namespace {

// The first search explores at most this many states, the shortest one at most twice as many.
constexpr int weightedBudget = 1000000;
constexpr int shortestBudget = 2000000;
// The states the search may hold: every generated state takes room, so it is more than either budget. About
// 150 MB, taken on the first proof and kept for every proof after.
constexpr int searchCapacity = 3000000;
constexpr int weightedHalves = 2;

customLevel taken;
levelError error;
bool levelRead = false;

using levelSearch = search<customW, customH>;
std::unique_ptr<levelSearch> searcher;
// The last answer of a proof: `outcome` 0 won, 1 cannot be won, 2 undecided, 3 no room for the search.
int outcome = 3;
const searchAnswer* answer = nullptr;
// Whether the last proof found, before any search, that no robot can ever reach a cell above the goal.
bool outOfReach = false;
reach<customW, customH> reachable;

// The generator, built at the first level asked for and kept for every one after, and the level it made last.
std::unique_ptr<levelGenerator> maker;
generatedLevel made;

// The key a plan's command is given by: Space for a disband, else the pose's letter.
char keyOf(int command) {
    return command < 0 ? ' ' : static_cast<char>(formationKeys[command]);
}

}  // namespace

extern "C" {

// Reads `length` bytes of level text. 1 when the reader takes it; the level's facts are then in the getters
// below, and a refusal's place and reason otherwise.
EMSCRIPTEN_KEEPALIVE int readText(const char* text, int length) {
    levelRead = length >= 0 && readLevel(text, static_cast<std::size_t>(length), taken, error);
    if (levelRead) error = levelError{};
    return levelRead ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int errorLine() {
    return error.line;
}
EMSCRIPTEN_KEEPALIVE int errorColumn() {
    return error.column;
}
EMSCRIPTEN_KEEPALIVE const char* errorReason() {
    return error.reason;
}
EMSCRIPTEN_KEEPALIVE int levelWidth() {
    return levelRead ? taken.width : 0;
}
EMSCRIPTEN_KEEPALIVE int levelHeight() {
    return levelRead ? taken.height : 0;
}
EMSCRIPTEN_KEEPALIVE int levelRobots() {
    return levelRead ? taken.robots : 0;
}
EMSCRIPTEN_KEEPALIVE const char* levelTitle() {
    return taken.title;
}
EMSCRIPTEN_KEEPALIVE const char* levelAuthor() {
    return taken.author;
}
// The most robots a level may have, and the longest title or author, in bytes.
EMSCRIPTEN_KEEPALIVE int mostRobots() {
    return maxLevelRobots;
}
EMSCRIPTEN_KEEPALIVE int longestText() {
    return maxLevelTextLength;
}

// Proves the level last read by `readText`: `shortest` 0 for the weighted search, 1 for the breadth-first
// one that proves its plan shortest. Returns the outcome (see `outcome`).
EMSCRIPTEN_KEEPALIVE int proveLevel(int shortest) {
    answer = nullptr;
    outcome = 3;
    outOfReach = false;
    if (!levelRead) return outcome;
    static spiele<customW, customH> game;
    game.init(taken.map, thoseShape1);
    if (!reachable.goalInReach(game)) {
        outOfReach = true;
        outcome = 1;
        return outcome;
    }
    if (!searcher || std::strcmp(searcher->mapText, taken.map) != 0) {
        // One search, made at the first proof with all its room, set up again for each new map.
        static char map[sizeof taken.map];
        std::memcpy(map, taken.map, sizeof map);
        if (searcher)
            searcher->reset(map, thoseShape1);
        else
            searcher.reset(new (std::nothrow) levelSearch(map, thoseShape1, searchCapacity));
        if (!searcher) return outcome;
    }
    if (searcher->capacity == 0) return outcome;
    answer = &searcher->run(searcher->start, false, shortest ? shortestBudget : weightedBudget,
                            shortest ? 0 : weightedHalves);
    outcome = answer->outcome == searchOutcome::won ? 0 : answer->outcome == searchOutcome::noWay ? 1 : 2;
    return outcome;
}

// 1 when the last proof needed no search: no robot can ever reach a cell above the goal.
EMSCRIPTEN_KEEPALIVE int goalOutOfReach() {
    return outOfReach ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE int planTicks() {
    return answer ? answer->length : 0;
}
EMSCRIPTEN_KEEPALIVE int planLines() {
    return answer && outcome == 0 ? answer->lines : 0;
}
EMSCRIPTEN_KEEPALIVE int planTick(int i) {
    return answer->plan[i].tick;
}
EMSCRIPTEN_KEEPALIVE int planCommand(int i) {
    return answer->plan[i].command;
}
EMSCRIPTEN_KEEPALIVE int planKey(int i) {
    return keyOf(answer->plan[i].command);
}
EMSCRIPTEN_KEEPALIVE double statesExplored() {
    return answer ? static_cast<double>(answer->explored) : 0;
}
// Where a level that cannot be won let its group come closest to the cell above the goal (-1 when no group
// ever formed), and how far that is in steps of walking; a distance of `walklessDistance` or more means no
// walk leads from there.
EMSCRIPTEN_KEEPALIVE int closestColumn() {
    return answer ? answer->closestCol : -1;
}
EMSCRIPTEN_KEEPALIVE int closestRow() {
    return answer ? answer->closestRow : -1;
}
EMSCRIPTEN_KEEPALIVE int closestDistance() {
    return answer ? answer->closestDistance : -1;
}
EMSCRIPTEN_KEEPALIVE int walklessDistance() {
    return searcher ? searcher->walkless : 0;
}
EMSCRIPTEN_KEEPALIVE int deepestTick() {
    return answer ? answer->deepestTick : 0;
}

// Makes the level an ID names ("easy:1234"). Returns the length of its text, which `generatedText` holds,
// or 0 when the ID is not one, or the generator has no room or found no level within its budget.
EMSCRIPTEN_KEEPALIVE int generateText(const char* id) {
    made = generatedLevel{};
    levelId asked;
    if (!parseLevelId(id, asked)) return 0;
    if (!maker) maker.reset(new (std::nothrow) levelGenerator);
    if (!maker || maker->memory == nullptr || !maker->generate(asked, made)) return 0;
    return made.length;
}
EMSCRIPTEN_KEEPALIVE const char* generatedText() {
    return made.text;
}
}

#ifdef __EMSCRIPTEN__
int main() {
    return 0;
}
#endif
