// `ro`: a fixed list of up to twenty robot references with one walking cursor; `trans` (the player's fused
// group) and `naut` (the free robots) build on it. Lists never own robots and never allocate; removal swaps
// the last member into the gap, so order changes are part of the rules.
#pragma once

#include "rules/bot.h"
#include "rules/shape.h"

constexpr int listCapacity = maxRobots;

struct ro {
    bot* slots[listCapacity];
    int count;
    int cursor;

    ro();
    void push(bot* b);
    bot* pop();
    bot* get(int i) const;
    bot* remove(int i);
    int size() const;
    bot* peek() const;
    bot* peekRemove();
    bot* next();
    bool end() const;
    void reset();
};

// The transbot: members move as one, take formations, and carry position labels for the drawing.
struct trans : ro {
    // NUL until the group first gains members, so no free robot ('0') is ever taken for one of these.
    char midLabel = '\0', preMidLabel = '\0', lastLabel = '\0';

    void relMove(int dx, int dy);
    void reshape(const shape& s);
    void unite();
};

// The nautbots: free robots, all labelled '0', each stepping on its own.
struct naut : ro {
    void unite();
    bool peekCollideWithRel(int dx, int dy) const;
};
