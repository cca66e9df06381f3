// The search's compact state: everything that decides a game's future packed into three machine words, and a
// game rebuilt from them, and a plan's line. Labels, cursors and formation offsets are left out on purpose:
// every tick rewrites or resets them before reading. Rules only, no SDL, no allocation.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/spiele.h"

// One key of a plan: before tick `tick` (1 is the first tick played from the state searched), `command`
// (-1 Space, 0..8 a pose).
struct planLine {
    int tick;
    int command;
};

// Three words hold eleven robots on an 80 x 50 map; two would hold only seven. The third word costs 8 bytes
// a state (the hint's search holds 3.1 MiB rather than 2.6) and about a tenth of the search's speed.
constexpr int stateKeyWords = 3;
constexpr int stateKeyBits = 64 * stateKeyWords;

struct stateKey {
    std::uint64_t word[stateKeyWords] = {};

    bool operator==(const stateKey&) const = default;
    std::uint64_t hash() const {
        std::uint64_t h = 0x632BE59BD9B4E019ull;
        for (std::uint64_t w : word) {
            h = (h ^ w) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        h *= 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 32);
    }
};

struct stateKeyHash {
    std::size_t operator()(const stateKey& key) const { return static_cast<std::size_t>(key.hash()); }
};

// Writes and reads unsigned fields one after another through the bits of a key.
struct keyBits {
    stateKey key;
    int at = 0;

    void put(std::uint64_t value, int bits) {
        if (bits == 0) return;
        value &= ~std::uint64_t{0} >> (64 - bits);
        const int w = at / 64, shift = at % 64;
        key.word[w] |= value << shift;
        if (shift + bits > 64) key.word[w + 1] |= value >> (64 - shift);
        at += bits;
    }
    std::uint64_t take(int bits) {
        if (bits == 0) return 0;
        const int w = at / 64, shift = at % 64;
        std::uint64_t value = key.word[w] >> shift;
        if (shift + bits > 64) value |= key.word[w + 1] << (64 - shift);
        at += bits;
        return value & (~std::uint64_t{0} >> (64 - bits));
    }
};

constexpr int bitsFor(int values) {
    int bits = 0;
    while ((1 << bits) < values)
        ++bits;
    return bits;
}

// The layout for one map size and robot count: each robot's cell, the transbot's size, the robots of both
// lists in slot order (transbot first), the two formation indices, the breaker side, the win, and whether the
// last tick moved a robot (only then does a glide leave time for a second key before the next tick).
template <int W, int H>
struct stateLayout {
    static constexpr int cellBits = bitsFor(W * H);
    int robots = 0;

    constexpr int robotBits() const { return bitsFor(robots); }
    constexpr int totalBits() const {
        return robots * cellBits + bitsFor(robots + 1) + robots * robotBits() + 4 + 4 + 3;
    }
    constexpr bool fits() const { return totalBits() <= stateKeyBits; }

    // The most robots whose state a key holds on a map of this size.
    static constexpr int mostRobots() {
        int robots = 0;
        while (robots < markerCount && stateLayout{robots + 1}.fits())
            ++robots;
        return robots;
    }

    stateKey pack(const spiele<W, H>& game, bool moved) const {
        keyBits out;
        write(game, moved, out);
        return out.key;
    }

    // The packed fields in order, to anything with `put(value, bits)`: the key above, or a longer record for
    // a map whose robots overflow 128 bits, as the title's twenty do.
    template <class Out>
    void write(const spiele<W, H>& game, bool moved, Out& out) const {
        for (int i = 0; i < robots; ++i)
            out.put(static_cast<std::uint64_t>(indexFromXY<W, H>(game.bots[i].x, game.bots[i].y)), cellBits);
        out.put(static_cast<std::uint64_t>(game.transbot.count), bitsFor(robots + 1));
        for (int i = 0; i < game.transbot.count; ++i)
            out.put(static_cast<std::uint64_t>(game.transbot.slots[i] - game.bots), robotBits());
        for (int i = 0; i < game.nautbot.count; ++i)
            out.put(static_cast<std::uint64_t>(game.nautbot.slots[i] - game.bots), robotBits());
        out.put(static_cast<std::uint64_t>(game.currentShape + 1), 4);
        out.put(static_cast<std::uint64_t>(game.wantedShape + 1), 4);
        out.put(game.breakerFlip, 1);
        out.put(game.won, 1);
        out.put(moved ? 1 : 0, 1);
    }

    // Overwrites the deciding state of a game that was set up from the same map; returns the moved flag.
    bool unpack(const stateKey& key, spiele<W, H>& game) const {
        keyBits in{key, 0};
        for (int i = 0; i < robots; ++i) {
            const int cell = static_cast<int>(in.take(cellBits));
            game.bots[i].absMove(xFromIndex<W, H>(cell), yFromIndex<W, H>(cell));
        }
        const int inTransbot = static_cast<int>(in.take(bitsFor(robots + 1)));
        game.transbot.count = inTransbot;
        game.transbot.cursor = 0;
        for (int i = 0; i < inTransbot; ++i)
            game.transbot.slots[i] = &game.bots[in.take(robotBits())];
        game.nautbot.count = robots - inTransbot;
        game.nautbot.cursor = 0;
        for (int i = 0; i < robots - inTransbot; ++i)
            game.nautbot.slots[i] = &game.bots[in.take(robotBits())];
        game.currentShape = static_cast<int>(in.take(4)) - 1;
        game.wantedShape = static_cast<int>(in.take(4)) - 1;
        game.breakerFlip = static_cast<unsigned char>(in.take(1));
        game.won = static_cast<unsigned char>(in.take(1));
        return in.take(1) != 0;
    }
};

// The fields the search packs, in its order, each whole however many bits it takes: as many robots as a
// map holds, the title's twenty too. Two games with equal records are one state to the search, so a tick
// that leaves the record as it was changed nothing and is no move.
struct packedRecord {
    std::uint64_t values[64] = {};
    int count = 0;

    void put(std::uint64_t value, int bits) {
        if (count < 64) values[count++] = bits >= 64 ? value : value & ((std::uint64_t{1} << bits) - 1);
    }
    bool operator==(const packedRecord&) const = default;
};

template <int W, int H>
packedRecord packedState(const spiele<W, H>& game) {
    stateLayout<W, H> layout;
    layout.robots = game.botCount;
    packedRecord record;
    layout.write(game, false, record);
    return record;
}

// Whether the tick that left `game` as it is was a move: the game differs from `last`, the game as the tick
// before left it, packed; `last` then becomes this tick's. A move is a tick that changed the game, the keys'
// effects included, as the search tells its states apart; the view counts a player's moves and brakko-solve
// a plan's with it.
template <int W, int H>
bool countMove(const spiele<W, H>& game, packedRecord& last) {
    const packedRecord now = packedState(game);
    if (now == last) return false;
    last = now;
    return true;
}

// True when some robot of `after` stands on another cell than in `before`, the same game's robots as they
// stood before a tick: the view then glides for at least one frame before the next tick.
inline bool anyRobotMoved(const bot* before, const spieleFields& after) {
    for (int i = 0; i < after.botCount; ++i) {
        if (before[i].x != after.bots[i].x || before[i].y != after.bots[i].y) return true;
    }
    return false;
}
