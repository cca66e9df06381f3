// libFuzzer target for the rules: input bytes become commands on all four built-in maps; after every tick the
// rules' promises are checked and copies must play on alike. A broken promise aborts with a sentence.
// Rules only, no SDL; a tick that never ends shows up as a libFuzzer timeout.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

[[noreturn]] void broken(const char* map, std::size_t byte, int tick, const char* what, int robot) {
    std::fprintf(stderr, "rules fuzz: on %s, after byte %zu, tick %d: %s (robot %d)\n", map, byte, tick, what,
                 robot);
    std::abort();
}

// A member of a list must be one of this game's robots: a pointer into another copy or past the array is
// the fault we most fear from swaps and copies.
template <int W, int H>
int robotIndex(const spiele<W, H>& game, const bot* b) {
    for (int r = 0; r < game.botCount; ++r)
        if (b == &game.bots[r]) return r;
    return -1;
}

template <int W, int H>
void check(const spiele<W, H>& game, unsigned char wasWon, const char* map, std::size_t byte, int tick) {
    if (game.transbot.size() + game.nautbot.size() != game.botCount)
        broken(map, byte, tick, "the two groups do not add up to every robot", game.botCount);
    if (game.transbot.cursor < 0 || game.transbot.cursor > game.transbot.size() || game.nautbot.cursor < 0 ||
        game.nautbot.cursor > game.nautbot.size())
        broken(map, byte, tick, "a list cursor stands outside its list", -1);
    int seen[20] = {};
    for (int i = 0; i < game.transbot.size(); ++i) {
        const int r = robotIndex(game, game.transbot.get(i));
        if (r < 0) broken(map, byte, tick, "a transbot slot points at no robot of this game", i);
        ++seen[r];
    }
    for (int i = 0; i < game.nautbot.size(); ++i) {
        const int r = robotIndex(game, game.nautbot.get(i));
        if (r < 0) broken(map, byte, tick, "a nautbot slot points at no robot of this game", i);
        ++seen[r];
    }
    for (int r = 0; r < game.botCount; ++r) {
        if (seen[r] != 1) broken(map, byte, tick, "a robot is not in exactly one group", r);
        const bot& robot = game.bots[r];
        if (game.fromLevelAt(robot.col(), robot.row()) != ' ')
            broken(map, byte, tick, "a robot stands on a cell the rules do not read as empty", r);
    }
    if (game.currentShape < -1 || game.currentShape > 8 || game.wantedShape < -1 || game.wantedShape > 8)
        broken(map, byte, tick, "a formation number is out of range", -1);
    if (game.currentShape != -1 && game.transbot.size() == 0)
        broken(map, byte, tick, "an empty transbot holds a formation", -1);
    if (game.breakerFlip > 1) broken(map, byte, tick, "the breaker flag is neither 0 nor 1", -1);
    if (game.won < wasWon) broken(map, byte, tick, "a won game was un-won", -1);
}

// A copy must play on exactly as its original: same robots in the same list slots, same cells, same flags.
template <int W, int H>
void compare(const spiele<W, H>& game, const spiele<W, H>& twin, const char* map, std::size_t byte,
             int tick) {
    if (twin.transbot.size() != game.transbot.size() || twin.nautbot.size() != game.nautbot.size())
        broken(map, byte, tick, "a copy's groups differ in size from the original's", -1);
    for (int i = 0; i < game.transbot.size(); ++i)
        if (robotIndex(twin, twin.transbot.get(i)) != robotIndex(game, game.transbot.get(i)))
            broken(map, byte, tick, "a copy's transbot slot holds another robot or one of the original's", i);
    for (int i = 0; i < game.nautbot.size(); ++i)
        if (robotIndex(twin, twin.nautbot.get(i)) != robotIndex(game, game.nautbot.get(i)))
            broken(map, byte, tick, "a copy's nautbot slot holds another robot or one of the original's", i);
    for (int r = 0; r < game.botCount; ++r)
        if (twin.bots[r].col() != game.bots[r].col() || twin.bots[r].row() != game.bots[r].row() ||
            twin.bots[r].label != game.bots[r].label)
            broken(map, byte, tick, "a robot of the copy stands elsewhere or wears another label", r);
    if (twin.currentShape != game.currentShape || twin.wantedShape != game.wantedShape ||
        twin.breakerFlip != game.breakerFlip || twin.won != game.won)
        broken(map, byte, tick, "a copy's flags drifted from the original's", -1);
}

// The byte 0xNF (no command) also copies the game there; the copy then gets the same commands and ticks.
template <int W, int H>
void play(const char* map, const char* text, const char* const* table, const std::uint8_t* data,
          std::size_t size) {
    spiele<W, H> game;
    game.init(text, table);
    spiele<W, H> twin;
    bool twinned = false;
    check(game, 0, map, 0, 0);
    int tick = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if ((data[i] & 0x0F) == 0x0F) {
            twin = game;
            twinned = true;
        }
        game.control(commandFromByte(data[i]));
        if (twinned) twin.control(commandFromByte(data[i]));
        for (int t = ticksFromByte(data[i]); t > 0; --t) {
            const unsigned char wasWon = game.won;
            game.process();
            check(game, wasWon, map, i, ++tick);
            if (twinned) {
                twin.process();
                compare(game, twin, map, i, tick);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    play<titleW, titleH>("the title", titleLVL, thoseShape0, data, size);
    play<level1W, level1H>("level 1", level1T, thoseShape1, data, size);
    play<level2W, level2H>("level 2", level2T, thoseShape1, data, size);
    play<ragequitW, ragequitH>("the rage-quit screen", ragequitT, thoseShape1, data, size);
    return 0;
}
