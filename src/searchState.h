// The search's compact state: everything that decides a game's future packed into two machine words, and a
// game rebuilt from them, and a plan's line. Labels, cursors and formation offsets are left out on purpose:
// every tick rewrites or resets them before reading. Rules only, no SDL, no allocation.
#pragma once

#include <cstddef>
#include <cstdint>

#include "spiele.h"

// One key of a plan: before tick `tick` (1 is the first tick played from the state searched), `command`
// (-1 Space, 0..8 a pose).
struct planLine {
    int tick;
    int command;
};

struct stateKey {
    std::uint64_t lo = 0, hi = 0;

    bool operator==(const stateKey&) const = default;
    std::uint64_t hash() const {
        std::uint64_t h = lo * 0x9E3779B97F4A7C15ull ^ (hi + 0x632BE59BD9B4E019ull);
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 32);
    }
};

struct stateKeyHash {
    std::size_t operator()(const stateKey& key) const { return static_cast<std::size_t>(key.hash()); }
};

// Writes and reads unsigned fields one after another through the 128 bits of a key.
struct keyBits {
    stateKey key;
    int at = 0;

    void put(std::uint64_t value, int bits) {
        if (bits == 0) return;
        value &= ~std::uint64_t{0} >> (64 - bits);
        if (at >= 64) {
            key.hi |= value << (at - 64);
        } else {
            key.lo |= value << at;
            if (at + bits > 64) key.hi |= value >> (64 - at);
        }
        at += bits;
    }
    std::uint64_t take(int bits) {
        if (bits == 0) return 0;
        std::uint64_t value;
        if (at >= 64) {
            value = key.hi >> (at - 64);
        } else {
            value = key.lo >> at;
            if (at + bits > 64) value |= key.hi << (64 - at);
        }
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

    int robotBits() const { return bitsFor(robots); }
    int totalBits() const {
        return robots * cellBits + bitsFor(robots + 1) + robots * robotBits() + 4 + 4 + 3;
    }
    bool fits() const { return totalBits() <= 128; }

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

// True when some robot stands on another cell in `after` than in `before`: the view then glides for at
// least one frame before the next tick.
template <int W, int H>
bool anyRobotMoved(const spiele<W, H>& before, const spiele<W, H>& after) {
    for (int i = 0; i < before.botCount; ++i) {
        if (before.bots[i].x != after.bots[i].x || before.bots[i].y != after.bots[i].y) return true;
    }
    return false;
}
