// The pack's progress file: which levels a player has solved and in how few moves, kept
// between runs and shared by every copy of the game a player runs at once. No SDL; nothing allocated; the
// functions fill a line for the caller to print rather than printing it themselves.
#pragma once

#include <cstddef>
#include <cstdint>

// The file, as the game writes it:
//
//     brakko progress 1
//     0123456789abcdef 17
//     19e9d580bf8becab 42
//
// A first line naming the format and its version, then one line per solved level: the digest of its map
// (levelDigest, 16 lower-case hex digits) and the fewest moves it was won in, in decimal. Lines end in LF
// and are sorted by digest, so that equal records are equal files. A level keyed by its map keeps its
// progress when its file is renamed and starts afresh when its map changes.
constexpr char progressFormat[] = "brakko progress";
constexpr int progressVersion = 1;
constexpr int maxProgressLevels = 1024;
// The longest file of maxProgressLevels levels: the first line and a line of 16 digits, a space, 10 digits
// and a line end for each. A file is read no further than one byte past this.
constexpr std::size_t maxProgressBytes = sizeof progressFormat + 2 + maxProgressLevels * (16 + 1 + 10 + 1);
// Enough for any line the functions below write about a path of PATH_MAX bytes.
constexpr std::size_t progressLineSize = 4096 + 256;

struct levelProgress {
    std::uint64_t digest = 0;
    int fewestMoves = 0;
};

// Solved levels, sorted by digest. A level in the record is solved; a level absent is not.
struct progressRecord {
    levelProgress levels[maxProgressLevels];
    int count = 0;

    const levelProgress* find(std::uint64_t digest) const;  // null when not solved
    bool solved(std::uint64_t digest) const { return find(digest) != nullptr; }
    // Marks the level solved in `moves`, keeping the fewest; false when the record is full or `moves` < 0.
    bool add(std::uint64_t digest, int moves);
};

// The file's path from the environment into `out`: $XDG_STATE_HOME/brakko/progress, or
// $HOME/.local/state/brakko/progress when XDG_STATE_HOME is unset, empty or relative. False, with `line`
// saying why, when there is no such path: progress is then not kept.
bool progressPath(char* out, std::size_t size, char* line, std::size_t lineSize);

enum class progressState {
    none,        // no file yet
    read,        // the file was read whole
    damaged,     // not a progress file, or one cut short: moved aside at the next win
    newer,       // a newer game's file, or more levels than kept: left as it is and never written
    unreadable,  // it cannot be read (a folder, no permission): left as it is
};

// Reads the file into `out`, without a lock: the file is only ever replaced whole. Anything but `read`
// leaves `out` empty and, except for `none`, one line in `line` (starting "brakko: " and naming the path);
// `line` is empty otherwise.
progressState loadProgress(const char* path, progressRecord& out, char* line, std::size_t lineSize);

// After a win: under an exclusive lock on PATH.lock, reads the file as it is now, merges it, `record` and
// this win (the fewest moves of each), writes the merge to PATH.new and renames it over the file. A damaged
// file is first moved aside to PATH.damaged, never over an earlier one. `record` becomes the merge. False,
// with `line` saying why, when nothing was written; the win is in `record` all the same. True with a line
// when something is worth telling the player (a damaged file was moved aside).
bool saveWin(const char* path, progressRecord& record, std::uint64_t digest, int moves, char* line,
             std::size_t lineSize);
