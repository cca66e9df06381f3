// Replays: the events a run's frames took, as a text file that is read whole and checked before any window
// opens, fed back frame by frame, and written line by line while the game runs. No SDL here; the main loop
// hands each polled event to `frameInput::take` and steps with what it returns.
#pragma once

#include <cstdint>
#include <cstdio>

#include "rules/flow.h"

// A replay's first line names the format, its version and the rules the run was played by:
// "brakko replay 2 rules 1". The format's version goes up whenever an older game would misread the lines;
// the rules' version whenever the same keys in the same frames would make another run: a change to the
// rules, the maps, the glide of the sprites or the curtain. A replay of other rules is refused rather than
// played out of step.
constexpr char replayFormat[] = "brakko replay";
constexpr int replayVersion = 2;
constexpr char rulesWord[] = "rules";
constexpr int rulesVersion = 1;
// The replay shipped with the game, next to ./img and ./snd: both levels won, ending on the rage-quit screen.
constexpr char solutionPath[] = "./replays/solution.replay";

// Limits that make a replay absurdly large: half a day of play (frames come about 120 a second), and more
// events than anyone presses in it. What the game records stays within them, so every recording can be
// replayed.
constexpr int maxReplayFrame = 120 * 60 * 60 * 12;
constexpr int maxReplayEvents = 32768;

struct replayEvent {
    int frame = 0;
    frameEvent event;
};

// The line, between the header and the first event, of a run played in practice mode: replayed without it,
// Backspace, r and 2 would do nothing and the run would go another way.
constexpr char practiceLine[] = "practice";

// The line, between the header and the first event, of a run on a player's level: "level" and sixteen hex
// digits, the digest of that level's map (levelDigest), so that the replay is refused on any other.
constexpr char levelWord[] = "level";

// A whole replay in memory: its events in increasing frames (counted from 1, the loop's first frame), and the
// frame up to which it keeps the keys, which is its last event's unless an `end` line sets a later one.
struct replay {
    replayEvent events[maxReplayEvents];
    int count = 0;
    int lastFrame = 0;
    bool practice = false;  // recorded in practice mode
    bool onLevel = false;   // recorded on a player's level, whose digest is `level`
    std::uint64_t level = 0;
};

// Why a replay was refused: the line it was refused at (0 when the file could not be opened) and a sentence.
struct replayError {
    int line = 0;
    char reason[160] = {};
};

// Reads a replay and checks all of it; on any fault `out` is unusable and `error` says where and why. Reads
// at most one line past the limits, so a huge or endless input is refused without being read through.
bool readReplay(std::FILE* in, replay& out, replayError& error);
bool readReplayFile(const char* path, replay& out, replayError& error);

// The writing half of the format, each line flushed at once; false when the write failed (errno says why).
// Events without a name in the format (keys the game ignores, frames with no event) write nothing.
bool writeReplayHeader(std::FILE* out);
// The practice line, written after the header of a run in practice mode.
bool writeReplayPractice(std::FILE* out);
// The level line, written after the header of a run on a player's level.
bool writeReplayLevel(std::FILE* out, std::uint64_t digest);
bool writeReplayEvent(std::FILE* out, int frame, const frameEvent& event);
bool writeReplayEnd(std::FILE* out, int frame);
// Whether the format has a name for the event that the game reads: the twelve keys, the window closing, and
// in practice mode Backspace, r and 2.
bool recordable(const frameEvent& event, bool practice = false);

// The frame's event between SDL's queue and the frame step: counts the frames, substitutes a replay's event
// while the replay lasts, and records what the frame took.
struct frameInput {
    const replay* playing = nullptr;  // owned by the caller, kept for the whole run
    std::FILE* recording = nullptr;   // owned by the caller; dropped here when writing fails
    const char* recordingPath = "";   // for the one line that says why a recording stopped
    int frame = 0;                    // frames taken so far, the first being 1, up to maxReplayFrame + 1
    int next = 0;                     // the replay's next event
    int recorded = 0;
    bool practice = false;  // practice mode's keys are recorded too

    // While the replay lasts, its event for this frame replaces the polled one, except that closing the
    // window still quits; afterwards the polled event passes through.
    frameEvent take(const frameEvent& polled);
    bool replaying() const { return playing != nullptr && frame < playing->lastFrame; }

  private:
    void record(const frameEvent& event);
};
