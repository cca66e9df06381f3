// libFuzzer target for the rules: input bytes become commands on all four built-in maps; after every tick the
// rules' promises are checked and copies must play on alike. A broken promise aborts with a sentence.
// Rules only, no SDL; a tick that never ends shows up as a libFuzzer timeout.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../rules_invariants.h"
#include "maps.h"
#include "spiele.h"

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

// The byte 0xNF (no command) also copies the game there; the copy then gets the same commands and ticks.
template <int W, int H>
void play(const char* map, const char* text, const char* const* table, const std::uint8_t* data,
          std::size_t size) {
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
    if (broken.empty()) return;
    std::fprintf(stderr, "rules fuzz: on %s, after %zu bytes, tick %d: %s\n", map, byte, tick,
                 broken.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    play<titleW, titleH>("the title", titleLVL, thoseShape0, data, size);
    play<level1W, level1H>("level 1", level1T, thoseShape1, data, size);
    play<level2W, level2H>("level 2", level2T, thoseShape1, data, size);
    play<ragequitW, ragequitH>("the rage-quit screen", ragequitT, thoseShape1, data, size);
    return 0;
}
