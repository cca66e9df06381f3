// libFuzzer target for the rules: input bytes become commands on all four built-in maps; after every tick the
// rules' promises are checked and copies must play on alike. A broken promise aborts with a sentence.
// Then the search runs from where each level stands, and any plan it finds must win under the rules alone.
// Rules only, no SDL; a tick that never ends shows up as a libFuzzer timeout.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../rules_invariants.h"
#include "rules/maps.h"
#include "solver/search.h"
#include "rules/spiele.h"

namespace {

// One byte is one command and how long to let it work: the low four bits pick a formation (0 to 8), a
// disband (9) or nothing (10 to 15); the high four bits give 0 to 15 ticks to run after it. Zero ticks put
// several commands before one tick, as several frames do between two ticks; long waits let the fuzzer reach
// falls, belt rides and the far corners of level 2 with short inputs.
constexpr int commandFromByte(std::uint8_t b) {
    const int low = b & 0x0F;
    if (low <= 8) return low;
    if (low == 9) return -1;
    return 1000;
}
constexpr int ticksFromByte(std::uint8_t b) {
    return b >> 4;
}

// States a search from a fuzzed state may explore: enough to win from much of level 1 and the foot of level
// 2, few enough that a run of the fuzzer stays short.
constexpr int fuzzBudget = 400;

// Searches from the game as the bytes left it, keys perhaps pending, and replays any plan found on a copy.
template <int W, int H>
void searchFrom(const char* map, const spiele<W, H>& game, bool moved, search<W, H>& s) {
    const searchAnswer& answer = s.run(game, moved, fuzzBudget, 4);
    if (answer.outcome != searchOutcome::won) return;
    spiele<W, H> replayed = game;
    int line = 0;
    for (int tick = 1; tick <= answer.length; ++tick) {
        while (line < answer.lines && answer.plan[line].tick == tick)
            replayed.control(answer.plan[line++].command);
        replayed.process();
    }
    if (replayed.won) return;
    std::fprintf(stderr, "rules fuzz: on %s, a plan of %d ticks found by the search does not win\n", map,
                 answer.length);
    std::abort();
}

// The byte 0xNF (no command) also copies the game there; the copy then gets the same commands and ticks.
// On the levels (`searched`), the search then runs from where the bytes left the game.
template <int W, int H>
void play(const char* map, const char* text, const char* const* table, const std::uint8_t* data,
          std::size_t size, bool searched) {
    rulesCheck::checkedGame<W, H> checked;
    checked.init(text, table);
    std::string broken = rulesCheck::brokenInvariant(checked.game);
    std::size_t byte = 0;
    int tick = 0;
    for (; byte < size && broken.empty(); ++byte) {
        if ((data[byte] & 0x0F) == 0x0F) broken = checked.copyNow();
        checked.control(commandFromByte(data[byte]));
        for (int t = ticksFromByte(data[byte]); t > 0 && broken.empty(); --t) {
            ++tick;
            broken = checked.tick();
        }
    }
    if (broken.empty()) {
        if (searched) {
            // Built once, as the game builds it: later inputs reuse its memory.
            static search<W, H> s(text, table, fuzzBudget * maxTickInputs + 1);
            searchFrom(map, checked.game, size % 2 == 1, s);
        }
        return;
    }
    std::fprintf(stderr, "rules fuzz: on %s, after %zu bytes, tick %d: %s\n", map, byte, tick,
                 broken.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    play<titleW, titleH>("the title", titleLVL, thoseShape0, data, size, false);
    play<level1W, level1H>("level 1", level1T, thoseShape1, data, size, true);
    play<level2W, level2H>("level 2", level2T, thoseShape1, data, size, true);
    play<ragequitW, ragequitH>("the rage-quit screen", ragequitT, thoseShape1, data, size, false);
    return 0;
}
