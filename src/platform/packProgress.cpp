// The browser game's view of the pack's progress, for the page's list of levels: each level's digest, by
// which the progress file keys it, and the solved levels as the game itself reads the file. Only the web
// build has it; the page asks through ccall and the exports below.
#include <emscripten/emscripten.h>

#include <cstdio>

#include "files/levelFile.h"
#include "files/progress.h"

namespace {

progressRecord solved;
char digestText[17];

const char* hex(std::uint64_t digest) {
    std::snprintf(digestText, sizeof digestText, "%016llx", static_cast<unsigned long long>(digest));
    return digestText;
}

}  // namespace

extern "C" {

// The digest of the level file at `path`, in 16 lower-case hex digits, or "" when the reader refuses the
// file.
EMSCRIPTEN_KEEPALIVE const char* levelDigestOf(const char* path) {
    static customLevel level;
    levelError error;
    if (!readLevelFile(path, level, error)) return "";
    return hex(levelDigest(level));
}

// Reads the progress file at `path` as the game does at a pack's start: the count of solved levels, 0 for a
// file that is missing, damaged, a newer game's or unreadable. Their digests and fewest moves follow.
EMSCRIPTEN_KEEPALIVE int readSolved(const char* path) {
    char line[progressLineSize];
    if (loadProgress(path, solved, line, sizeof line) != progressState::read) solved.count = 0;
    return solved.count;
}

// The digest of the `i`th solved level read, as levelDigestOf writes it, and the fewest moves it was won in.
EMSCRIPTEN_KEEPALIVE const char* solvedDigest(int i) {
    return i >= 0 && i < solved.count ? hex(solved.levels[i].digest) : "";
}
EMSCRIPTEN_KEEPALIVE int solvedFewest(int i) {
    return i >= 0 && i < solved.count ? solved.levels[i].fewestMoves : 0;
}
}
