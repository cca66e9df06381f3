// Recording over long runs, without SDL: a recording stops at the limits of what a replay may hold, so that
// what --record writes is always something --replay accepts. (The reader's refusals are checked on the real
// program by shell_e2e, and the reader is fuzzed.)
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "replay.h"

namespace {

struct recording {
    std::FILE* file = std::tmpfile();
    frameInput input;
    std::string said;

    recording() {
        input.recording = file;
        input.recordingPath = "run.replay";
        writeReplayHeader(file);
    }
    ~recording() { std::fclose(file); }

    // Takes `frames` frames, polling a key every `every` frames and nothing in between; keeps what the
    // recording said on standard error.
    void play(int frames, int every) {
        testing::internal::CaptureStderr();
        for (int f = 1; f <= frames; ++f)
            input.take(f % every == 0 ? frameEvent::keyPress(formationKeys[f % 9]) : frameEvent{});
        said = testing::internal::GetCapturedStderr();
    }

    // What the file reads back as, or a failure naming the line that was refused.
    std::unique_ptr<replay> readBack() const {
        auto read = std::make_unique<replay>();
        replayError error;
        std::rewind(file);
        EXPECT_TRUE(readReplay(file, *read, error))
            << "the recording should read back, but line " << error.line << ": " << error.reason;
        return read;
    }
};

}  // namespace

TEST(Recording, StopsAtTheMostEventsAReplayHoldsAndStaysReplayable) {
    recording r;
    ASSERT_NE(r.file, nullptr);
    r.play(maxReplayEvents + 10, 1);
    EXPECT_EQ(r.input.recording, nullptr)
        << "the recording should stop after " << maxReplayEvents << " events";
    EXPECT_EQ(r.said, "brakko: run.replay: the recording stops here, at the most a replay may hold\n")
        << "stopping should be said once, naming the file";
    EXPECT_EQ(r.readBack()->count, maxReplayEvents) << "every event up to the limit should be kept";
}

TEST(Recording, StopsAtTheLastFrameAReplayMayUseAndStaysReplayable) {
    recording r;
    ASSERT_NE(r.file, nullptr);
    // A key every 1000 frames, the last inside the limit in frame 5184000 itself.
    r.play(maxReplayFrame + 1000, 1000);
    EXPECT_EQ(r.input.recording, nullptr) << "the recording should stop past frame " << maxReplayFrame;
    const auto read = r.readBack();
    EXPECT_EQ(read->count, maxReplayFrame / 1000) << "every key up to the last frame should be kept";
    EXPECT_EQ(read->lastFrame, maxReplayFrame) << "the last key kept should be the one in the last frame";
}

// A run in practice mode says so after the header and names its Backspace and r, so that it replays as it was
// played; without practice mode the two keys do nothing and are left out, like every key the game ignores.
TEST(Recording, APracticeRunKeepsItsModeAndItsBackspaceAndR) {
    const frameEvent keys[] = {frameEvent::keyPress(keyReturn), frameEvent::keyPress('d'),
                               frameEvent::keyPress(keyBackspace), frameEvent::keyPress(keyRestart)};
    for (const bool practice : {false, true}) {
        recording r;
        ASSERT_NE(r.file, nullptr);
        r.input.practice = practice;
        if (practice) writeReplayPractice(r.file);
        for (const frameEvent& key : keys)
            r.input.take(key);
        const auto read = r.readBack();
        EXPECT_EQ(read->practice, practice) << "the mode should read back as it was recorded";
        ASSERT_EQ(read->count, practice ? 4 : 2) << "Backspace and r are kept only in practice mode";
        for (int i = 0; i < read->count; ++i) {
            EXPECT_EQ(read->events[i].frame, i + 1) << "event " << i << " should keep its frame";
            EXPECT_EQ(read->events[i].event.sym, keys[i].sym) << "event " << i << " should keep its key";
        }
    }
    // The mode is the run's, from its first frame: a practice line after an event is refused.
    std::FILE* late = std::tmpfile();
    ASSERT_NE(late, nullptr);
    writeReplayHeader(late);
    std::fputs("12 q\npractice\n", late);
    std::rewind(late);
    const auto read = std::make_unique<replay>();
    replayError error;
    EXPECT_FALSE(readReplay(late, *read, error)) << "a practice line after the first event should be refused";
    EXPECT_EQ(error.line, 3) << "the refusal should name the practice line";
    std::fclose(late);
}
