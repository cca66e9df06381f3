// libFuzzer target for the replay reader: any bytes are read as a replay file. A refusal must name a line and
// say why; an accepted replay must keep the format's promises, and playing it through the frame's input while
// keys are polled every frame must record exactly its events again. A broken promise aborts with a sentence.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/replay.h"

namespace {

[[noreturn]] void broken(const char* what, int index) {
    std::fprintf(stderr, "replay fuzz: %s (event %d)\n", what, index);
    std::abort();
}

bool sameEvent(const frameEvent& a, const frameEvent& b) {
    return a.type == b.type && a.sym == b.sym;
}

// Replays past this many frames are only read: playing them frame by frame would make the fuzzer crawl.
constexpr int playedFrames = 20000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A replay is too big for the stack; one of each lives for the whole run.
    static replay read;
    static replay again;
    std::FILE* in = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (in == nullptr) return 0;
    replayError error;
    const bool accepted = readReplay(in, read, error);
    std::fclose(in);
    if (!accepted) {
        if (error.line < 1 || error.reason[0] == '\0')
            broken("a refusal names no line or gives no reason", -1);
        return 0;
    }

    if (read.count < 0 || read.count > maxReplayEvents)
        broken("the event count is out of bounds", read.count);
    int previous = 0;
    for (int i = 0; i < read.count; ++i) {
        const replayEvent& e = read.events[i];
        if (e.frame <= previous || e.frame > maxReplayFrame)
            broken("frames do not increase within bounds", i);
        if (!recordable(e.event, read.practice)) broken("an event the format has no name for", i);
        previous = e.frame;
    }
    if (read.lastFrame < previous || read.lastFrame > maxReplayFrame)
        broken("the last frame is out of place", -1);
    if (read.lastFrame > playedFrames) return 0;

    // The recording of a replay, with the player pressing Escape in every frame, is the replay's events.
    char* text = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&text, &length);
    if (out == nullptr || !writeReplayHeader(out) || (read.practice && !writeReplayPractice(out)))
        broken("the recording could not start", -1);
    frameInput input;
    input.playing = &read;
    input.recording = out;
    input.practice = read.practice;
    for (int frame = 1; frame <= read.lastFrame; ++frame) {
        const frameEvent taken = input.take(frameEvent::keyPress(keyEscape));
        const bool due = input.next > 0 && read.events[input.next - 1].frame == frame;
        if (!sameEvent(taken, due ? read.events[input.next - 1].event : frameEvent{}))
            broken("a frame took something other than the replay's event", input.next - 1);
    }
    if (input.next != read.count) broken("the replay ended before all its events were played", input.next);
    std::fclose(out);

    in = fmemopen(text, length, "r");
    if (in == nullptr || !readReplay(in, again, error))
        broken("the recording of a replay is refused", error.line);
    std::fclose(in);
    std::free(text);
    if (again.practice != read.practice) broken("the recording is of another mode", -1);
    if (again.count != read.count) broken("the recording holds another number of events", again.count);
    for (int i = 0; i < read.count; ++i) {
        if (again.events[i].frame != read.events[i].frame ||
            !sameEvent(again.events[i].event, read.events[i].event))
            broken("the recording differs from the replay", i);
    }
    return 0;
}
