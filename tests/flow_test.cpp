// The screen flow stepped frame by frame as the main loop does it (a key, then the end of the frame), and
// the pacing arithmetic driven with made-up clock values. No SDL, no window.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rules/flow.h"

namespace {

bool neverWon(int, int) {
    return false;
}

// The flow's share of a frame, with the frame's key (0 for none) and a screen whose level is never won.
curtainMove frame(flow& f, int key = 0) {
    return f.frame(key != 0 ? frameEvent::keyPress(key) : frameEvent{}, neverWon);
}

// A frame whose event is the window closing.
curtainMove closeWindow(flow& f) {
    return f.frame(frameEvent::windowClose(), neverWon);
}

// Runs frames until the curtain reports the opening ended; the count includes that last frame.
int framesUntilOpened(flow& f, int limit = 1000) {
    for (int n = 1; n <= limit; ++n) {
        if (frame(f) == curtainMove::opened) return n;
    }
    return -1;
}

// Paced frames, one key each ('.' none, 'X' the window closing), as the loop takes them: the event, then a
// game frame if one is due, in which the rules tick every third game frame. Says for each paced frame what
// its game frame took from the queue ('-' nothing) or '.' for no game frame.
std::string pacedFrames(timeControl& time, const std::string& keys) {
    std::string ran;
    int gameFrames = 0;
    for (const char key : keys) {
        time.take(key == 'X'   ? frameEvent::windowClose()
                  : key == '.' ? frameEvent{}
                               : frameEvent::keyPress(key));
        if (!time.due()) {
            ran += '.';
            continue;
        }
        const frameEvent event = time.next();
        ran += event.type == frameEvent::kind::close ? 'X'
               : event.type == frameEvent::kind::key ? char(event.sym)
                                                     : '-';
        time.ran(++gameFrames % 3 == 0);
    }
    return ran;
}

}  // namespace

TEST(ScreenFlow, ReturnOnTheTitleStartsTheLevelOneMusicInFrame107) {
    flow f;
    std::vector<int> closing, opening;
    int switchFrame = 0, openedFrame = 0;
    for (int n = 1; n <= 200 && openedFrame == 0; ++n) {
        const int before = f.screen;
        const curtainMove move = frame(f, n == 1 ? keyReturn : 0);
        if (move == curtainMove::opened)
            openedFrame = n;
        else if (before != f.screen)
            switchFrame = n;
        else if (f.screen == titleScreen)
            closing.push_back(f.curtain);
        else
            opening.push_back(f.curtain);
        ASSERT_NE(move, curtainMove::none) << "frame " << n << " should be part of the transition";
    }
    ASSERT_EQ(closing.size(), 63u) << "the title should close in 63 frames";
    EXPECT_EQ(closing.front(), 4) << "the first closing frame should bring the teeth in 4 pixels";
    EXPECT_EQ(closing.back(), 252) << "the last closing frame should leave the curtain at 252";
    EXPECT_EQ(switchFrame, 64) << "frame 64 should switch to level 1";
    ASSERT_EQ(opening.size(), 42u) << "level 1 should open in 42 frames";
    EXPECT_EQ(opening.front(), 246) << "the first opening frame should take the curtain to 246";
    EXPECT_EQ(opening.back(), 0) << "the last opening frame should take the curtain to 0";
    EXPECT_EQ(openedFrame, 107) << "the level-1 music should start in frame 107";
    EXPECT_EQ(f.screen, level1Screen) << "level 1 should be showing after the transition";
    EXPECT_EQ(f.nextScreen, noTransition) << "no transition should be left pending";
}

TEST(ScreenFlow, ClosingsEndFrom250To253AndOpeningsFrom0ToMinus5) {
    for (int start = -5; start <= 253; ++start) {
        flow f;
        f.screen = level1Screen;
        f.curtain = start;
        f.key(keyEscape);
        while (f.screen == level1Screen)
            frame(f);
        EXPECT_GE(f.curtain, 250) << "a closing from " << start << " ended open at " << f.curtain;
        EXPECT_LE(f.curtain, 253) << "a closing from " << start << " overshot to " << f.curtain;
        ASSERT_GT(framesUntilOpened(f), 0) << "the opening from " << start << " never ended";
        EXPECT_LE(f.curtain, 0) << "an opening after starting from " << start << " ended at " << f.curtain;
        EXPECT_GE(f.curtain, -5) << "an opening after starting from " << start << " overshot to "
                                 << f.curtain;
    }
}

TEST(ScreenFlow, NextTransitionStartsWhereTheLastLeftTheCurtain) {
    flow f;
    frame(f, keyReturn);
    framesUntilOpened(f);
    const int left = f.curtain;
    frame(f, keyEscape);
    EXPECT_EQ(f.curtain, left + curtainClosingStep) << "the curtain should close again from " << left;
}

TEST(ScreenFlow, EscapeDuringAnOpeningReversesTheCurtain) {
    flow f;
    frame(f, keyReturn);
    while (f.screen == titleScreen)
        frame(f);
    for (int i = 0; i < 10; ++i)
        frame(f);
    const int halfOpen = f.curtain;
    ASSERT_GT(halfOpen, 0) << "level 1 should still be opening after ten frames";
    EXPECT_EQ(frame(f, keyEscape), curtainMove::moved) << "Escape while opening should keep the teeth moving";
    EXPECT_EQ(f.curtain, halfOpen + curtainClosingStep)
        << "Escape while opening should close the curtain again";
    EXPECT_EQ(f.screen, level1Screen) << "level 1 should stay current while the curtain closes again";
    while (f.screen == level1Screen)
        frame(f);
    EXPECT_EQ(f.screen, rageQuitScreen) << "the reversed curtain should switch to the rage-quit screen";
}

TEST(ScreenFlow, ReturnOffTheTitleDoesNothing) {
    for (int s : {level1Screen, level2Screen, rageQuitScreen}) {
        flow f;
        f.screen = s;
        EXPECT_EQ(frame(f, keyReturn), curtainMove::none) << "Return on screen " << s << " moved the curtain";
        EXPECT_EQ(f.screen, s) << "Return on screen " << s << " changed the screen";
        EXPECT_EQ(f.nextScreen, noTransition) << "Return on screen " << s << " started a transition";
    }
}

TEST(ScreenFlow, ReturnWhileTheTitleClosesTowardsRageQuitRedirectsToLevelOne) {
    flow f;
    frame(f, keyEscape);
    frame(f);
    frame(f, keyReturn);
    EXPECT_EQ(f.nextScreen, level1Screen) << "Return during the title's closing should head for level 1";
    while (f.screen == titleScreen)
        frame(f);
    EXPECT_EQ(f.screen, level1Screen) << "the redirected transition should land on level 1";
}

TEST(ScreenFlow, EscapeOnTheTitleOrALevelHeadsForRageQuit) {
    for (int s : {titleScreen, level1Screen, level2Screen}) {
        flow f;
        f.screen = s;
        frame(f, keyEscape);
        EXPECT_EQ(f.nextScreen, rageQuitScreen) << "Escape on screen " << s << " should head for rage-quit";
        EXPECT_TRUE(f.running()) << "Escape on screen " << s << " should not quit";
    }
}

TEST(ScreenFlow, WonLevelsLeadOnAndTheOtherScreensIgnoreAWin) {
    // The rage-quit screen reached by winning level 2 shows the win; given up on, the give-up.
    const int after[][4] = {{titleScreen, 0, noTransition, false},
                            {level1Screen, 0, level2Screen, false},
                            {level2Screen, 0, rageQuitScreen, true},
                            {rageQuitScreen, 0, noTransition, false},
                            {level2Screen, keyEscape, rageQuitScreen, false},
                            {titleScreen, keyEscape, rageQuitScreen, false}};
    for (const auto& [s, key, next, endWon] : after) {
        flow f;
        f.screen = s;
        f.endWon = key != 0;  // so that Escape is seen to clear it
        if (key != 0)
            f.key(key);
        else
            f.levelWon();
        EXPECT_EQ(f.nextScreen, next) << "a win on screen " << s << " set the wrong next screen";
        EXPECT_EQ(f.endWon, endWon != 0) << "key " << key << " or a win on screen " << s;
    }
    // A won level reports itself every frame, after the key, so Escape cannot redirect it.
    flow f;
    f.screen = level1Screen;
    f.frame(frameEvent::keyPress(keyEscape), [](int, int) { return true; });
    EXPECT_EQ(f.nextScreen, level2Screen) << "a won level 1 should still lead to level 2 after Escape";
}

// A player's levels: a win leads to the solved screen, where Return plays a pack's next level (after the
// last, the pack solved), a single level again and a generated one a new one, r the same again and Escape
// quits. The level changes only once the curtain has closed.
TEST(ScreenFlow, APlayersLevelLeadsToItsSolvedScreenAndFromThereOnAgainOrOut) {
    constexpr int won = -1;       // the frame's screen reports its level won
    constexpr int generated = 2;  // in place of a pack's true or a single level's false
    const struct {
        int pack;
        int screen, level, key, next, levelAfter;
        bool running;
    } rows[] = {
        {false, ownLevelScreen, 0, won, solvedScreen, 0, true},
        {false, solvedScreen, 0, keyReturn, ownLevelScreen, 0, true},
        {false, solvedScreen, 0, keyEscape, noTransition, 0, false},
        {true, ownLevelScreen, 1, won, solvedScreen, 1, true},
        {true, titleScreen, 1, keyReturn, ownLevelScreen, 1, true},
        {true, titleScreen, 1, keyLevel2, noTransition, 1, true},
        {true, solvedScreen, 0, keyReturn, ownLevelScreen, 1, true},
        {true, solvedScreen, 2, keyReturn, packSolvedScreen, 2, true},
        {true, solvedScreen, 1, keyRestart, ownLevelScreen, 1, true},
        {true, solvedScreen, 1, keyEscape, noTransition, 1, false},
        {true, packSolvedScreen, 2, keyReturn, noTransition, 2, true},
        {true, packSolvedScreen, 2, keyEscape, noTransition, 2, false},
        {generated, ownLevelScreen, 0, won, solvedScreen, 0, true},
        {generated, solvedScreen, 0, keyReturn, ownLevelScreen, 0, true},
        {generated, solvedScreen, 0, keyRestart, ownLevelScreen, 0, true},
        {generated, solvedScreen, 0, keyEscape, noTransition, 0, false},
    };
    for (const auto& row : rows) {
        flow f;
        f.practice = true;
        f.firstLevel = ownLevelScreen;
        f.pack = row.pack == true;
        f.generated = row.pack == generated;
        f.levels = f.pack ? 3 : 1;
        f.screen = row.screen;
        f.level = f.nextLevel = row.level;
        if (row.key == won)
            f.frame({}, [](int, int) { return true; });
        else
            frame(f, row.key);
        const std::string where =
            "key " + std::to_string(row.key) + " on screen " + std::to_string(row.screen);
        EXPECT_EQ(f.running(), row.running) << where;
        if (!row.running) continue;
        EXPECT_EQ(f.nextScreen, row.next) << where;
        EXPECT_EQ(f.level, row.level) << where << ": the level changed before the curtain closed";
        if (row.next == noTransition) continue;
        framesUntilOpened(f);
        EXPECT_EQ(f.screen, row.next) << where;
        EXPECT_EQ(f.level, row.levelAfter) << where;
        // Return after a generated level, and only that, asks for a new one.
        EXPECT_EQ(f.made, row.pack == generated && row.key == keyReturn ? 1 : 0) << where;
    }
}

TEST(ScreenFlow, QuitRequestsEndTheLoopAtTheEndOfThatFrame) {
    for (int s : {titleScreen, level1Screen, level2Screen, rageQuitScreen}) {
        flow f;
        f.screen = s;
        closeWindow(f);
        EXPECT_FALSE(f.running()) << "closing the window on screen " << s << " should quit";
    }
    flow rest;
    rest.screen = rageQuitScreen;
    EXPECT_EQ(frame(rest, keyEscape), curtainMove::none) << "Escape on rage-quit should quit with no curtain";
    EXPECT_FALSE(rest.running()) << "Escape on the rage-quit screen should quit";
}

TEST(ScreenFlow, AQuitInTheSwitchFrameOrTheOneAfterStillQuits) {
    // Reach the last closing frame, then quit in the switch frame and in the frame after it.
    for (int quitAt = 0; quitAt < 2; ++quitAt) {
        flow f;
        f.screen = level2Screen;
        frame(f, keyEscape);
        while (f.curtain < curtainClosed)
            frame(f);
        for (int i = 0; i < quitAt; ++i)
            frame(f);
        ASSERT_GE(f.curtain, curtainClosed)
            << "the curtain should still be closed " << quitAt << " frames on";
        closeWindow(f);
        EXPECT_FALSE(f.running()) << "closing the window " << quitAt
                                  << " frames after the curtain shut went on";
    }
    // Escape on the rage-quit screen in the frame after the switch, while the curtain is still shut.
    flow f;
    f.screen = level2Screen;
    frame(f, keyEscape);
    while (f.screen != rageQuitScreen)
        frame(f);
    ASSERT_GE(f.curtain, curtainClosed) << "the curtain should still be shut after the switch";
    frame(f, keyEscape);
    EXPECT_FALSE(f.running()) << "Escape on rage-quit just after the switch should quit";
}

TEST(ScreenFlow, TheFirstFrameDisbandsAndEveryFrameEndsWithNoCommand) {
    flow f;
    EXPECT_EQ(f.command, disbandCommand) << "the title's first frame should receive the disband command";
    frame(f);
    EXPECT_EQ(f.command, noCommand) << "the command should be spent at the end of a frame";
}

TEST(ScreenFlow, KeysBecomeCommands) {
    const int formation[][2] = {{'q', 0}, {'w', 1}, {'e', 2}, {'a', 3}, {'s', 4},
                                {'d', 5}, {'z', 6}, {'x', 7}, {'c', 8}};
    for (const auto& [key, command] : formation) {
        flow f;
        f.endFrame();
        f.key(key);
        EXPECT_EQ(f.command, command) << "key " << char(key) << " should ask for formation " << command;
    }
    flow space;
    space.endFrame();
    space.key(keySpace);
    EXPECT_EQ(space.command, disbandCommand) << "Space should disband";
    for (int key : {keyReturn, keyEscape, int('r'), int('Q'), int('f'), keyPause, keyStep, keySlow, keyLevel2,
                    keyHint, 0}) {
        flow f;
        f.endFrame();
        f.key(key);
        EXPECT_EQ(f.command, noCommand) << "key " << key << " should send no command";
    }
}

// The page's copy of the numbers, written by the build from their header, says what the compiler reads there:
// a screen, a negative command, a key given as a character and the formation keys.
TEST(ScreenFlow, ThePagesNumbersAreTheGames) {
    std::ifstream file(SHARED_JS);
    std::stringstream text;
    text << file.rdbuf();
    std::string formation;
    for (int key : formationKeys)
        formation += (formation.empty() ? "" : ", ") + std::to_string(key);
    const std::pair<const char*, std::string> rows[] = {
        {"maxRobots", std::to_string(maxRobots)},
        {"rageQuitScreen", std::to_string(rageQuitScreen)},
        {"disbandCommand", std::to_string(disbandCommand)},
        {"keyRestart", std::to_string(keyRestart)},
        {"formationKeys", "Object.freeze([" + formation + "])"}};
    for (const auto& [name, value] : rows) {
        const std::string line = "\n  " + std::string(name) + ": " + value + ",\n";
        EXPECT_NE(text.str().find(line), std::string::npos)
            << "shared.js should hold " << name << ": " << value;
    }
}

// Backspace and r are practice mode's keys: without it they do nothing at all; with it they ask for a rewind
// for one frame, but not of a level the curtain is closing over.
TEST(ScreenFlow, PracticeKeysRewindOnlyInPracticeAndNotALevelBeingLeft) {
    for (const bool practice : {false, true}) {
        for (const auto& [key, asked] :
             {std::pair{keyBackspace, goBack::undo}, {keyRestart, goBack::restart}}) {
            flow f;
            f.practice = practice;
            f.screen = level1Screen;
            frame(f);
            const flow before = f;
            f.key(key);
            EXPECT_EQ(f.back, practice ? asked : goBack::none)
                << "key " << key << (practice ? " in practice mode" : " without practice mode");
            EXPECT_EQ(f.command, noCommand) << "key " << key << " should send the game no command";
            EXPECT_EQ(f.nextScreen, before.nextScreen) << "key " << key << " should change no screen";
            frame(f);
            EXPECT_EQ(f.back, goBack::none) << "a rewind should be spent at the end of its frame";
            f.screen = titleScreen;
            f.key(keyLevel2);
            EXPECT_EQ(f.nextScreen, practice ? level2Screen : noTransition)
                << "2 on the title "
                << (practice ? "should open level 2 in practice mode" : "should do nothing");
            f.nextScreen = noTransition;
            f.screen = level1Screen;
            if (!practice) continue;
            f.key(keyEscape);
            frame(f);
            f.key(key);
            EXPECT_EQ(f.back, goBack::none) << "key " << key << " while the curtain closes over the level";
        }
    }
}

TEST(ScreenFlow, MusicAndTeethFollowTheScreen) {
    EXPECT_EQ(musicSlot(titleScreen), 0) << "the title should play the first music";
    EXPECT_EQ(musicSlot(level1Screen), 1) << "level 1 should play the second music";
    EXPECT_EQ(musicSlot(level2Screen), 2) << "level 2 should play the third music";
    EXPECT_EQ(musicSlot(rageQuitScreen), 3) << "the rage-quit screen should play the fourth music";
    EXPECT_EQ(topTeethY(0), -250) << "open, the top teeth should sit just above the window";
    EXPECT_EQ(bottomTeethY(0), 500) << "open, the bottom teeth should sit just below the window";
    EXPECT_EQ(topTeethY(250), 0) << "closed, the top teeth should start at the window's top";
    EXPECT_EQ(bottomTeethY(250), 250) << "closed, the bottom teeth should start mid-window";
    EXPECT_EQ(toothCount * toothWidth, windowWidth) << "the teeth should span the window";
}

// Practice mode's hold on time: slow motion runs the first paced frame of each period, also just after a
// change of speed or leaving pause; a step runs up to the frame after a tick; keys wait in order, one a game
// frame, and past the queue's room are dropped; closing the window is taken at once, paused or not, and so
// are the rewinds and the ways off a screen while paused.
TEST(TimeControl, PauseStepAndSlowMotionDecideWhichFramesRunAndKeysWaitInOrder) {
    const std::string full =
        std::string("p") + std::string(heldKeys, 'q') + "wp" + std::string(heldKeys, '.');
    const struct {
        const char* says;
        std::string keys, ran;
    } rows[] = {
        {"full speed", "qw..", "qw--"},
        {"half speed, a key waiting for its game frame", "tq...", "-.q.-"},
        {"quarter speed, from the frame of the change", "tt.......", "--...-..."},
        {"full speed again after three changes", "ttt..", "-----"},
        {"leaving pause at once", "tp.p..", "-..-.-"},
        {"a paused key waits", "pq.p.", "...q-"},
        {"a step from play, to the frame after the tick", "n.....n...", "----..---."},
        {"a step from pause", "p.n.....", "..----.."},
        {"the hint key is no game key", "h.", "--"},
        {"closing while paused", "p.X", "..X"},
        {"a restart while paused runs at once and drops the pose waiting", "pqr.p.", "..r.--"},
        {"Escape while paused plays on", "pq\x1b.", "..q\x1b"},
        {"a full queue drops the key after it", full,
         std::string(heldKeys + 2, '.') + std::string(heldKeys, 'q') + "-"},
    };
    for (const auto& r : rows) {
        timeControl time;
        EXPECT_EQ(pacedFrames(time, r.keys), r.ran) << r.says << ", keys \"" << r.keys.substr(0, 12) << "\"";
    }
}

TEST(FramePacing, FirstCallGoesAtOnceAndSetsTheDeadline) {
    std::uint32_t next = 0;
    EXPECT_EQ(paceFrame(next, 5000, 16), 0u) << "the first frame should not wait";
    EXPECT_EQ(next, 5016u) << "the first frame should set the deadline 16 ms ahead";
}

TEST(FramePacing, TwoMillisecondFramesComeInPairs) {
    const std::uint32_t t = 1000;
    std::uint32_t next = 0;
    EXPECT_EQ(paceFrame(next, t, 16), 0u) << "the call at t should not wait";
    EXPECT_EQ(next, t + 16) << "the call at t should set the deadline to t + 16";
    EXPECT_EQ(paceFrame(next, t + 2, 16), 14u) << "the call at t + 2 should wait 14 ms";
    EXPECT_EQ(next, t + 16) << "a waiting call should leave the deadline";
    EXPECT_EQ(paceFrame(next, t + 18, 16), 0u) << "the call at t + 18 should not wait";
    EXPECT_EQ(next, t + 34) << "the call at t + 18 should set the deadline to t + 34";
    EXPECT_EQ(paceFrame(next, t + 20, 16), 14u) << "the call at t + 20 should wait 14 ms";
}

TEST(FramePacing, ACallExactlyAtTheDeadlineGoesAndMovesIt) {
    std::uint32_t next = 300;
    EXPECT_EQ(paceFrame(next, 300, 16), 0u) << "a call at the deadline should not wait";
    EXPECT_EQ(next, 316u) << "a call at the deadline should move it";
}

TEST(FramePacing, SlowFramesNeverWait) {
    std::uint32_t next = 0;
    for (std::uint32_t now = 0; now < 1000; now += 16)
        EXPECT_EQ(paceFrame(next, now, 16), 0u) << "a frame of 16 ms should not wait at " << now << " ms";
}
