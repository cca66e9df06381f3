// Practice mode's hint: asked for with h, it runs the level to its next tick boundary, searches from there
// with the game's own rules, and then either plays the plan's next steps itself, slowed and showing each key,
// or says why it can't. The hint's keys reach the game as the player's would. No SDL, nothing allocated.
#pragma once

#include "solver/planKeys.h"
#include "solver/search.h"

// The next steps the hint plays: this many keys at most, and no key past this tick of the plan (about three
// seconds at half speed), but always its first key, and never a Space without the pose after it for the same
// tick: the group let go in the air would fall.
constexpr int hintKeys = 4;
constexpr int hintTicks = 9;
// It plays one game frame in this many paced frames, so that each key can be seen.
constexpr int hintSlowness = 2;
// How many states a hint may explore, the same on every machine, and how many it may keep.
// A weighted search, which proves nothing about a plan's length but finds one fast; with a state budget
// and the capacity below it, both levels are won from their starts and from every state on the way tried.
constexpr int hintBudget = 30000;
constexpr int hintCapacity = 1 << 16;
constexpr int hintWeightHalves = 4;

enum class hintStage { idle, asked, catchingUp, playing };
enum class hintSign { none, thinking, pressing, noPlan, noWay };

// The key that gives a plan's command: a pose's letter, or Space for a disband.
constexpr int keyOf(int command) {
    return command < 0 ? keySpace : formationKeys[command];
}

struct hintRun {
    hintStage stage = hintStage::idle;
    hintSign sign = hintSign::none;
    int pressed = 0;  // the key the hint presses: its first until it is pressed, then the one pressed last
    planLine lines[hintKeys + 1] = {};
    planKeys keys{lines, 0};
    int lastTick = 0;   // the plan's tick after which the hint hands back
    int afterLast = 0;  // frames run from that tick's on
    int phase = 0;      // paced frames since its last game frame

    // Takes the first steps of a plan found from the state the hint searched from.
    void follow(const searchAnswer& answer) {
        int count = 0;
        for (int i = 0; i < answer.lines; ++i) {
            const bool sameTick = count > 0 && answer.plan[i].tick == lines[count - 1].tick;
            if (count > 0 && !sameTick && (count >= hintKeys || answer.plan[i].tick > hintTicks)) break;
            lines[count++] = answer.plan[i];
        }
        keys = planKeys(lines, count);
        lastTick = count > 0 ? lines[count - 1].tick : 0;
        afterLast = 0;
        phase = 0;
        // The sign names a key from its first frame on, though the first key may wait for its tick.
        pressed = count > 0 ? keyOf(lines[0].command) : 0;
        stage = hintStage::playing;
        sign = hintSign::pressing;
    }

    // After each of its game frames: the steps are played once the last one's tick and the frame after it
    // have run, so that its moves begin to show.
    bool ran() {
        if (keys.tick >= lastTick) ++afterLast;
        return afterLast >= 2;
    }
};
