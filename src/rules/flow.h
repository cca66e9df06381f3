// The screen flow of the main loop (which screen runs, the teeth curtain, this frame's command) and the
// frame pacing arithmetic. Plain numbers only: no SDL here, so tests can step it frame by frame.
#pragma once

#include <cstdint>

#include "rules/shared.h"

// `nextScreen` when no screen change is under way.
constexpr int noTransition = 0;

constexpr int windowWidth = 800;
constexpr int windowHeight = 500;

// The curtain: how far the teeth have come in, in pixels, and how fast they move.
constexpr int curtainClosed = 250;
constexpr int curtainClosingStep = 4;
constexpr int curtainOpeningStep = 6;
constexpr int toothWidth = 100;
constexpr int toothCount = windowWidth / toothWidth;

// Where the top and bottom rows of teeth stand for a curtain value; they meet mid-window when closed.
constexpr int topTeethY(int curtain) {
    return curtain - curtainClosed;
}
constexpr int bottomTeethY(int curtain) {
    return windowHeight - curtain;
}

// The one input a frame takes from the queue, in the loop's own words: nothing, a key press (its SDLKey
// value), or the window closing. Events of any other kind reach the loop as nothing.
struct frameEvent {
    enum class kind { none, key, close };
    kind type = kind::none;
    int sym = 0;

    static constexpr frameEvent keyPress(int sym) { return {kind::key, sym}; }
    static constexpr frameEvent windowClose() { return {kind::close, 0}; }
};

// What the curtain did this frame, so the loop knows whether to draw teeth and change the music.
enum class curtainMove { none, moved, opened };

// Whether screen s plays a level, whose keys move robots.
constexpr bool isLevel(int s) {
    return s == level1Screen || s == level2Screen || s == ownLevelScreen;
}

// In practice mode, a level can be taken back a step (Backspace) or to its start (r) instead of stepping.
enum class goBack { none, undo, restart };

// What decides what the loop shows: the screen, the one it moves to, the curtain, the command, practice mode
// with its step back, and the level that Return on the title leads to; everything that changes them is a
// member here.
struct flow {
    int screen = titleScreen;
    int nextScreen = noTransition;
    int curtain = 0;
    // The title's first frame disbands, which settles its robots into their opening pose.
    int command = disbandCommand;
    // Practice mode: Backspace and r ask the current level to go back rather than step, for this frame, and
    // the title has a way straight to level 2.
    bool practice = false;
    goBack back = goBack::none;
    // Where Return on the title leads: level 1, or a player's level. A player's level leads to the solved
    // screen once won, a pack's last one on to the pack solved.
    int firstLevel = level1Screen;
    // How the rage-quit screen is reached: by winning level 2 (it then shows the win), or by giving up.
    bool endWon = false;
    // A pack of `levels` player's levels (one for a single level, which its solved screen plays again): the
    // one on the level's screen or last played there, and the one that screen plays when it next opens. They
    // change under the closed curtain.
    bool pack = false;
    int levels = 0;
    int level = 0;
    int nextLevel = 0;
    // A generated level's run: Return on its solved screen asks for a new level (`renew`), which is made
    // under the closed curtain; `made` counts the new levels asked for, so the run knows when to make one.
    bool generated = false;
    bool renew = false;
    int made = 0;

    bool running() const { return screen != quitScreen; }

    // The flow's share of one frame, in the loop's order: the frame's event, the current screen's step
    // (`runScreen(screen, command)`, true when that screen's level is won), then the end of the frame.
    template <typename ScreenStep>
    curtainMove frame(const frameEvent& event, ScreenStep&& runScreen) {
        take(event);
        if (runScreen(screen, command)) levelWon();
        return endFrame();
    }

    void take(const frameEvent& event);
    // A key press, by its SDLKey value.
    void key(int sym);
    // The window was closed.
    void windowClosed() { screen = quitScreen; }
    // The current screen's level reported itself won.
    void levelWon();
    // End of the frame: the command and any rewind are spent and the curtain takes its step.
    curtainMove endFrame();
};

// Practice mode's hold on time, between the paced frames and the game's own: pause, a step of one tick, and
// slow motion. It decides which paced frames run a game frame; keys pressed in between wait here in order,
// one for each game frame, so a run at any speed is the same sequence of game frames as at full speed.
constexpr int heldKeys = 64;
// Keys whose answer a paused player expects to see at once: the rewinds, and the ways off a screen. The poses
// and Space still wait for a step, so that the climb can be entered at any pace.
constexpr bool actsWhilePaused(int sym) {
    return sym == keyBackspace || sym == keyRestart || sym == keyEscape || sym == keyReturn ||
           sym == keyLevel2;
}
struct timeControl {
    bool paused = false;
    bool stepping = false;  // running game frames until the frame after a tick, then paused again
    bool tickPassed = false;
    int slowness = 1;        // one game frame in every 1, 2 or 4 paced frames
    int phase = 0;           // paced frames since the last game frame, in slow motion
    bool closing = false;    // the window was closed: that is taken at once, paused or not
    bool map = false;        // the map shows, and time stands still whether paused or not
    bool hintAsked = false;  // h was pressed: the next paced frame starts a hint
    frameEvent held[heldKeys];
    int first = 0, count = 0;

    // An event polled in a paced frame: a time key acts at once; anything else waits for a game frame. A
    // key beyond the ones held is dropped, as a full queue drops it. While paused, the keys that go back or
    // leave act at once too (see `actsWhilePaused`): undo and restart drop the poses waiting, which belonged
    // to the state taken back, and Escape, Return and 2 end the pause.
    void take(const frameEvent& event);
    // Whether this paced frame runs a game frame.
    bool due();
    // Time stands still only on the title and the levels, and never under the curtain: a win or a screen
    // being left ends a pause or a step.
    void resume() { paused = stepping = tickPassed = map = false; }
    // The event for the game frame that runs now: the window closing, else the oldest key held, else none.
    frameEvent next();
    // A game frame has run; `ticked` when the rules ticked in it, which ends a step.
    void ran(bool ticked);
    // Whether a sign should say so: paused, or slowed.
    bool slowed() const { return slowness > 1; }
};

// Which of the four musics, loaded in the order title, level 1, level 2, rage-quit, belongs to a screen: a
// player's level plays level 1's, and a pack's solved screens the title's.
constexpr int musicSlot(int screen) {
    switch (screen) {
        case level1Screen:
            return 1;
        case level2Screen:
            return 2;
        case ownLevelScreen:
            return 1;
        case rageQuitScreen:
            return 3;
        default:
            return 0;
    }
}

// Frame pacing with one deadline `next` in milliseconds. Returns how long to wait before the frame may
// begin. A call that need not wait sets the next deadline one period ahead; a call that waits leaves it,
// so the call after a wait always goes at once and frames come in pairs.
constexpr std::uint32_t paceFrame(std::uint32_t& next, std::uint32_t now, std::uint32_t period) {
    if (now < next) return next - now;
    next = now + period;
    return 0;
}
