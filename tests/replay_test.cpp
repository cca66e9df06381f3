// Replays without SDL: every refusal of the reader with the line it names, and recording over long runs,
// which stops at the limits of what a replay may hold, so that what --record writes is always something
// --replay accepts. (The reader is also fuzzed, and shell_e2e sees a refusal through the real program.)
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "files/replay.h"

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
}

TEST(ReplayReader, RefusesWithTheLineAndTheReason) {
    const std::string h =
        "brakko replay " + std::to_string(replayVersion) + " rules " + std::to_string(rulesVersion) + "\n";
    std::string full = h;
    for (int frame = 1; frame <= maxReplayEvents + 1; ++frame)
        full += std::to_string(frame) + " space\n";
    const struct {
        std::string bytes;
        int line;
        const char* says;
    } refusals[] = {
        {"", 1, "the file is empty"},
        {"hello\n12 q\n", 1, "not a Brakko replay"},
        {"brakko replay 1\n12 q\n", 1, "another version of the format"},
        {"brakko replay 2 rules 0\n12 q\n", 1, "a replay of rules version 0, which"},
        {h + "12 q\n40q\n", 3, "not a replay line"},
        {h + "12 q" + std::string(1, '\0') + "\n", 2, "an unknown event"},
        {h + "12 q\n30 Tab\n", 3, "an unknown event; the events are Return, Escape, space, q w e"},
        {h + "12 q\n40 w\n5 e\n", 4, "frame 5 after frame 40: the frame numbers go backwards"},
        {h + "12 q\n12 w\n", 3, "a second event in frame 12"},
        {h + "12 q\n20 r\n", 3, "practice mode's"},
        {h + "12 q\npractice\n", 3, "a \"practice\" line comes once"},
        {h + "practice\npractice\n", 3, "a \"practice\" line comes once"},
        {h + "12 q\nlevel 0123456789abcdef\n", 3, "a \"level\" line comes once"},
        {h + "0 q\n", 2, "frame 0"},
        {h + "5184001 q\n", 2, "a frame past the last a replay may use, 5184000"},
        {h + "99999999999999999999 q\n", 2, "a frame past the last"},
        {h + "12 q\n20 end\n30 w\n", 4, "a line after the \"end\" line"},
        {h + "12 q\n10 end\n", 3, "the \"end\" comes before the last event"},
        {h + "12 " + std::string(30, 'q') + "\n", 2, "far too long"},
        {full, maxReplayEvents + 2, "more events than a replay may hold, 32768"},
    };
    const auto read = std::make_unique<replay>();
    for (const auto& r : refusals) {
        std::FILE* in = std::tmpfile();
        ASSERT_NE(in, nullptr);
        std::fwrite(r.bytes.data(), 1, r.bytes.size(), in);
        std::rewind(in);
        replayError error;
        EXPECT_FALSE(readReplay(in, *read, error)) << "should refuse: " << r.says;
        EXPECT_EQ(error.line, r.line) << "the line of: " << r.says << " (" << error.reason << ")";
        EXPECT_NE(std::string(error.reason).find(r.says), std::string::npos)
            << "the reason should say \"" << r.says << "\", but says: " << error.reason;
        std::fclose(in);
    }
}
