// The replay file format: a header line, then one `frame event` line per event, frames increasing; read with
// every check before the game starts, written a line at a time while it runs. Nothing here allocates.
#include "files/replay.h"

#include <cerrno>
#include <cstring>

namespace {

// The keys with a word for a name, spelt as X names them so that a line's key can go straight to xdotool;
// a formation key is named by its own letter.
struct namedKey {
    int sym;
    const char* name;
};
constexpr namedKey namedKeys[] = {{keyReturn, "Return"}, {keyEscape, "Escape"}, {keySpace, "space"}};
// Practice mode's keys, named in the same way.
constexpr namedKey practiceKeys[] = {{keyBackspace, "BackSpace"}, {keyRestart, "r"}, {keyLevel2, "2"}};
constexpr char closeName[] = "close";
// Not an event: the replay keeps the keys up to this line's frame, though nothing happens in it.
constexpr char endName[] = "end";

// The longest valid line is a seven-digit frame, a space and "BackSpace"; anything much longer is not a
// replay.
constexpr int lineCapacity = 32;
constexpr int maxFrameDigits = 7;

bool isFormationKey(int sym) {
    for (int key : formationKeys)
        if (key == sym) return true;
    return false;
}

bool same(const char* text, int length, const char* word) {
    return static_cast<int>(std::strlen(word)) == length && std::memcmp(text, word, length) == 0;
}

bool eventNamed(const char* name, int length, frameEvent& event) {
    if (same(name, length, closeName)) {
        event = frameEvent::windowClose();
        return true;
    }
    for (const namedKey& k : namedKeys) {
        if (same(name, length, k.name)) {
            event = frameEvent::keyPress(k.sym);
            return true;
        }
    }
    for (const namedKey& k : practiceKeys) {
        if (same(name, length, k.name)) {
            event = frameEvent::keyPress(k.sym);
            return true;
        }
    }
    if (length == 1 && isFormationKey(static_cast<unsigned char>(name[0]))) {
        event = frameEvent::keyPress(static_cast<unsigned char>(name[0]));
        return true;
    }
    return false;
}

enum class lineRead { text, end, tooLong, failed };

// A line saved on Windows ends in a carriage return before its newline; it reads as the same line without.
void dropCarriageReturn(const char* text, int& length) {
    if (length > 0 && text[length - 1] == '\r') --length;
}

// One line without its newline; the last line of a file may lack one. `length` counts every byte, NUL too.
lineRead readLine(std::FILE* in, char (&text)[lineCapacity], int& length) {
    length = 0;
    for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
        if (c == '\n') {
            dropCarriageReturn(text, length);
            return lineRead::text;
        }
        if (length == lineCapacity) return lineRead::tooLong;
        text[length++] = static_cast<char>(c);
    }
    if (std::ferror(in)) return lineRead::failed;
    if (length == 0) return lineRead::end;
    dropCarriageReturn(text, length);
    return lineRead::text;
}

bool refuse(replayError& error, int line, const char* reason) {
    error.line = line;
    std::snprintf(error.reason, sizeof error.reason, "%s", reason);
    return false;
}

bool cannotRead(replayError& error, int line) {
    error.line = line;
    std::snprintf(error.reason, sizeof error.reason, "cannot read it: %s", std::strerror(errno));
    return false;
}

// The first line this game reads and writes, "brakko replay 2 rules 1".
struct header {
    char text[lineCapacity] = {};
    header() {
        std::snprintf(text, sizeof text, "%s %d %s %d", replayFormat, replayVersion, rulesWord, rulesVersion);
    }
};

// Reads the digits at `at`, moving past them; false when there are none. A number too long to name a version
// reads as its first seven digits.
bool readNumber(const char* text, int length, int& at, int& number) {
    number = 0;
    const int from = at;
    for (; at < length && text[at] >= '0' && text[at] <= '9'; ++at)
        if (at - from < maxFrameDigits) number = number * 10 + (text[at] - '0');
    return at > from;
}

// The versions a first line names: "brakko replay F" (a format without rules versions: `rules` is -1) or
// "brakko replay F rules R". False for any other line.
bool readVersions(const char* text, int length, int& format, int& rules) {
    const int prefix = static_cast<int>(std::strlen(replayFormat));
    const int word = static_cast<int>(std::strlen(rulesWord));
    int at = prefix + 1;
    if (length < at || std::memcmp(text, replayFormat, prefix) != 0 || text[prefix] != ' ' ||
        !readNumber(text, length, at, format))
        return false;
    rules = -1;
    if (at == length) return true;
    if (length < at + word + 2 || text[at] != ' ' || std::memcmp(text + at + 1, rulesWord, word) != 0 ||
        text[at + word + 1] != ' ')
        return false;
    at += word + 2;
    return readNumber(text, length, at, rules) && at == length;
}

// Why a first line that is not this game's own is refused.
void refuseHeader(lineRead got, const char* text, int length, const header& expected, replayError& error) {
    int format = 0;
    int rules = 0;
    const bool versions = got == lineRead::text && readVersions(text, length, format, rules);
    error.line = 1;
    if (versions && format == replayVersion && rules >= 0)
        std::snprintf(
            error.reason, sizeof error.reason,
            "a replay of rules version %d, which this game (rules version %d) would play out of step", rules,
            rulesVersion);
    else
        std::snprintf(error.reason, sizeof error.reason, "%s; a replay starts with \"%s\"",
                      got == lineRead::end ? "the file is empty"
                      : versions           ? "a replay of another version of the format"
                                           : "not a Brakko replay",
                      expected.text);
}

// Every event name, for the message that meets an unknown one.
void listEventNames(replayError& error) {
    int at = std::snprintf(error.reason, sizeof error.reason, "an unknown event; the events are");
    for (const namedKey& k : namedKeys)
        at += std::snprintf(error.reason + at, sizeof error.reason - at, " %s,", k.name);
    for (int key : formationKeys)
        at += std::snprintf(error.reason + at, sizeof error.reason - at, " %c", static_cast<char>(key));
    for (const namedKey& k : practiceKeys)
        at += std::snprintf(error.reason + at, sizeof error.reason - at, ", %s", k.name);
    std::snprintf(error.reason + at, sizeof error.reason - at, " and %s", closeName);
}

// "level" and sixteen lower-case hex digits.
bool readLevelLine(const char* text, int length, std::uint64_t& digest) {
    const int word = static_cast<int>(std::strlen(levelWord));
    if (length != word + 1 + 16 || std::memcmp(text, levelWord, word) != 0 || text[word] != ' ') return false;
    digest = 0;
    for (int i = word + 1; i < length; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        digest = digest << 4 | static_cast<std::uint64_t>(digit);
    }
    return true;
}

}  // namespace

bool readReplay(std::FILE* in, replay& out, replayError& error) {
    out.count = 0;
    out.lastFrame = 0;
    out.practice = false;
    out.onLevel = false;
    out.level = 0;
    const header expected;
    char text[lineCapacity];
    int length = 0;
    char reason[sizeof error.reason];

    lineRead got = readLine(in, text, length);
    if (got == lineRead::failed) return cannotRead(error, 1);
    if (got != lineRead::text || !same(text, length, expected.text)) {
        refuseHeader(got, text, length, expected, error);
        return false;
    }

    bool ended = false;
    for (int line = 2;; ++line) {
        got = readLine(in, text, length);
        if (got == lineRead::end) return true;
        if (got == lineRead::failed) return cannotRead(error, line);
        if (got == lineRead::tooLong) return refuse(error, line, "a line far too long for a replay");
        if (ended) return refuse(error, line, "a line after the \"end\" line, which must be the last");
        if (same(text, length, practiceLine)) {
            if (out.practice || out.count > 0)
                return refuse(error, line, "a \"practice\" line comes once, before the first event");
            out.practice = true;
            continue;
        }

        if (readLevelLine(text, length, out.level)) {
            if (out.onLevel || out.count > 0)
                return refuse(error, line, "a \"level\" line comes once, before the first event");
            out.onLevel = true;
            continue;
        }

        int digits = 0;
        int frame = 0;
        while (digits < length && text[digits] >= '0' && text[digits] <= '9') {
            if (digits < maxFrameDigits) frame = frame * 10 + (text[digits] - '0');
            ++digits;
        }
        if (digits == 0 || digits == length || text[digits] != ' ')
            return refuse(error, line,
                          "not a replay line: a frame number, one space and an event, like \"120 q\"");
        if (digits > maxFrameDigits || frame > maxReplayFrame) {
            std::snprintf(reason, sizeof reason,
                          "a frame past the last a replay may use, %d (half a day of play)", maxReplayFrame);
            return refuse(error, line, reason);
        }
        if (frame == 0) return refuse(error, line, "frame 0: frames are counted from 1");
        const char* name = text + digits + 1;
        const int nameLength = length - digits - 1;

        if (same(name, nameLength, endName)) {
            if (frame < out.lastFrame) return refuse(error, line, "the \"end\" comes before the last event");
            out.lastFrame = frame;
            ended = true;
            continue;
        }
        frameEvent event;
        if (!eventNamed(name, nameLength, event)) {
            listEventNames(error);
            error.line = line;
            return false;
        }
        // Without practice mode these keys would do nothing, and the run would go another way.
        if (!recordable(event, out.practice))
            return refuse(error, line,
                          "BackSpace, r and 2 are practice mode's: the replay has no \"practice\" line");
        if (frame < out.lastFrame) {
            std::snprintf(reason, sizeof reason, "frame %d after frame %d: the frame numbers go backwards",
                          frame, out.lastFrame);
            return refuse(error, line, reason);
        }
        if (out.count > 0 && frame == out.lastFrame) {
            std::snprintf(reason, sizeof reason, "a second event in frame %d; a frame takes one event",
                          frame);
            return refuse(error, line, reason);
        }
        if (out.count == maxReplayEvents) {
            std::snprintf(reason, sizeof reason, "more events than a replay may hold, %d", maxReplayEvents);
            return refuse(error, line, reason);
        }
        out.events[out.count++] = {frame, event};
        out.lastFrame = frame;
    }
}

bool readReplayFile(const char* path, replay& out, replayError& error) {
    std::FILE* in = std::fopen(path, "r");
    if (in == nullptr) {
        error.line = 0;
        std::snprintf(error.reason, sizeof error.reason, "cannot open it: %s", std::strerror(errno));
        return false;
    }
    const bool read = readReplay(in, out, error);
    std::fclose(in);
    return read;
}

bool writeReplayHeader(std::FILE* out) {
    const header line;
    return std::fprintf(out, "%s\n", line.text) > 0 && std::fflush(out) == 0;
}

bool writeReplayPractice(std::FILE* out) {
    return std::fprintf(out, "%s\n", practiceLine) > 0 && std::fflush(out) == 0;
}

bool writeReplayLevel(std::FILE* out, std::uint64_t digest) {
    return std::fprintf(out, "%s %016llx\n", levelWord, static_cast<unsigned long long>(digest)) > 0 &&
           std::fflush(out) == 0;
}

bool writeReplayEvent(std::FILE* out, int frame, const frameEvent& event) {
    int written = 0;
    if (event.type == frameEvent::kind::close) {
        written = std::fprintf(out, "%d %s\n", frame, closeName);
    } else if (event.type == frameEvent::kind::key && isFormationKey(event.sym)) {
        written = std::fprintf(out, "%d %c\n", frame, static_cast<char>(event.sym));
    } else if (event.type == frameEvent::kind::key) {
        for (const namedKey& k : namedKeys)
            if (k.sym == event.sym) written = std::fprintf(out, "%d %s\n", frame, k.name);
        for (const namedKey& k : practiceKeys)
            if (k.sym == event.sym) written = std::fprintf(out, "%d %s\n", frame, k.name);
    }
    return written >= 0 && std::fflush(out) == 0;
}

bool writeReplayEnd(std::FILE* out, int frame) {
    return std::fprintf(out, "%d %s\n", frame, endName) > 0 && std::fflush(out) == 0;
}

bool recordable(const frameEvent& event, bool practice) {
    if (event.type == frameEvent::kind::close) return true;
    if (event.type != frameEvent::kind::key) return false;
    for (const namedKey& k : namedKeys)
        if (k.sym == event.sym) return true;
    if (practice)
        for (const namedKey& k : practiceKeys)
            if (k.sym == event.sym) return true;
    return isFormationKey(event.sym);
}

frameEvent frameInput::take(const frameEvent& polled) {
    // Past the last frame a replay may use nothing is played or recorded, so the count may stop there.
    if (frame <= maxReplayFrame) ++frame;
    frameEvent event = polled;
    if (playing != nullptr && frame <= playing->lastFrame) {
        event = {};
        if (next < playing->count && playing->events[next].frame == frame)
            event = playing->events[next++].event;
        // Closing the window still quits during a replay; any other input of the player is dropped.
        if (polled.type == frameEvent::kind::close) event = polled;
    }
    if (recording != nullptr) record(event);
    return event;
}

void frameInput::record(const frameEvent& event) {
    if (!recordable(event, practice)) return;
    // Stopping at the limits keeps the file one that --replay accepts.
    if (recorded == maxReplayEvents || frame > maxReplayFrame) {
        std::fprintf(stderr, "brakko: %s: the recording stops here, at the most a replay may hold\n",
                     recordingPath);
        recording = nullptr;
        return;
    }
    if (!writeReplayEvent(recording, frame, event)) {
        std::fprintf(stderr, "brakko: %s: cannot write, so the recording stops: %s\n", recordingPath,
                     std::strerror(errno));
        recording = nullptr;
        return;
    }
    ++recorded;
}
