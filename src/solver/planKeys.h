// Turns a solver plan (the commands given before each tick) into the key of each frame on the level's
// screen, by watching the view settle: a screen ticks only in a frame that starts settled, so a tick's
// command goes in that frame, and any earlier command for the same tick (the disband of a disband and
// re-form) in the gliding frames just before it. The hint, the playthrough test and the shipped solution
// all play plans through this; it allocates nothing.
#pragma once

#include <cstddef>

#include "rules/flow.h"
#include "solver/searchState.h"

struct planKeys {
    const planLine* lines;  // not owned
    std::size_t count;
    std::size_t next = 0;     // the plan's next line
    int tick = 0;             // ticks the level has run under the plan
    int command = noCommand;  // the command of the key given in the last frame, noCommand when none
    bool late = false;        // a command came too late for its tick: the plan does not fit the frames

    planKeys(const planLine* lines, std::size_t count) : lines(lines), count(count) {}

    // The key for a frame of the level, given whether the view is settled as the frame begins.
    frameEvent event(bool settled) {
        command = noCommand;
        if (settled) {
            ++tick;
            // Every command for this tick left over: only the last may still go in this frame.
            while (next < count && lines[next].tick <= tick) {
                if (command != noCommand) late = true;
                command = lines[next++].command;
            }
        } else if (next + 1 < count && lines[next].tick == tick + 1 && lines[next + 1].tick == tick + 1) {
            command = lines[next++].command;
        }
        if (command < 0) return frameEvent::keyPress(keySpace);
        if (command <= 8) return frameEvent::keyPress(formationKeys[command]);
        return {};
    }
};
