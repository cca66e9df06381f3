// One run of the game: the assets read at start-up, the screens, and one turn of the main loop.
// Holds the run's SDL handles; which screen shows and when the curtain moves is decided in flow.h.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <optional>

#include "app/seam.h"
#include "files/pack.h"
#include "files/progress.h"
#include "files/replay.h"
#include "rules/flow.h"
#include "sdl/platform.h"
#include "solver/generate.h"
#include "view/practice.h"
#include "view/screens.h"

// Everything read from disk at start-up, kept to the end of the run. Any of it may be null: a missing
// picture just doesn't appear and a missing music doesn't play.
struct assets {
    SDL_Surface* title;
    SDL_Surface* tooth;
    SDL_Surface* sheet;
    SDL_Surface* loose;
    SDL_Surface* won;       // the rage-quit screen reached by winning level 2
    SDL_Surface* practice;  // the signs and the lettering: read in practice mode, for a player's levels and
                            // where a touch pad may name the controls
    Mix_Music* music[4];    // indexed by musicSlot
};

// Loads the pictures (the practice picture last, and only for practice mode, a player's levels, whose
// titles it writes, or a platform with a touch pad), opens the mixer, loads the musics and starts the title
// music, in that order. Needs the window open. A run on a player's levels never plays level 2, whose music
// and won picture it leaves unread.
assets loadAssets(bool practice = false, bool playersLevel = false);

// What a frame shows, taken once the frame is over: the screen whose background lies under it (none in the
// very first frame, which shows the display as the window opened), the view drawn over that and its signs,
// and the teeth while the curtain moves. Two frames with equal pictures put the same pixels on the display,
// so a frame whose picture is the one on show draws nothing and shows nothing.
struct framePicture {
    int background = 0;  // a screen number; 0 paints none
    int screen = 0;      // the view drawn; a screen that is none (the quit) draws no view
    int teeth = -1;      // the curtain drawn, or -1 with no teeth
    viewPicture view;
    signsPicture signs;           // practice mode's, and left as made without it
    int controls = controlsKeys;  // whose names the words on the picture use
    bool operator==(const framePicture&) const = default;
};

struct app {
    SDL_Surface* display;
    assets art;
    screens all;
    flow state;
    // Between SDL's queue and the step: the frame count, a replay being played and a recording being written.
    frameInput input;
    // The picture of the last frame, and the one the window shows; `stale` when the window must be shown
    // again whatever it holds: before the first frame, and once it was covered and uncovered.
    framePicture due, shown;
    bool stale = true;
    // False only before the first frame.
    bool backgroundDue = false;
    // Whether the last poll of SDL's queue took an event, so that more may wait there.
    bool eventsWaiting = false;
    // Whether this frame shows its picture: a browser shows only the last frame of each of its animation
    // frames, the one the page will show, and the desktop's paced loop the second of each pair of frames.
    bool showEachFrame = true;
    // Undo, restart and the marks that help, with every step they keep; empty unless asked for.
    std::optional<practiceMode> practice;
    // Practice mode's pause, step and slow motion; without practice mode time always runs.
    timeControl time;
    // A player's levels: the one of a run on a level file, or a pack's, played in turn on one screen; null
    // for a run on the game's own two levels.
    const customLevel* levels = nullptr;
    // A pack's: the pars, the fewest moves each level was won in (0 while it is not solved), and the moves
    // of the level just solved, for its solved screen; a single level keeps its fewest in this run.
    const levelPack* pack = nullptr;
    int best[maxPackLevels] = {};
    int solvedMoves = 0;
    // Where the pack's wins are kept between runs, and what the file held with this run's wins merged in;
    // null when no progress is kept.
    const char* progressFile = nullptr;
    progressRecord* progress = nullptr;
    // Wins written to the progress file in this run: a browser's page copies the file out after each.
    int savedWins = 0;
    // The control the player used last, whose names the texts on screen use (controlsKeys or controlsTouch).
    int controls = controlsKeys;
    // A level file played alone that a pack's pars names: its place in that pack and the pack's size.
    int packPlace = 0, packSize = 0;
    // A generated level's run: the generator, built at start-up, the level it made (the one `levels` shows),
    // its ID, and the new levels made so far (which `state.made` asks for); null for any other run.
    levelGenerator* generator = nullptr;
    customLevel* generated = nullptr;
    levelId generatedId;
    int levelsMade = 0;

    // Builds the screens over the loaded sprite sheet and readies every picture that is only ever blitted
    // whole onto the display; the display must not be null, and keeps its pixels. In practice mode it also
    // makes the room for every step the levels keep.
    // With a player's level, the run plays that level rather than the game's own two.
    app(SDL_Surface* display, const assets& loaded, bool practiceMode = false,
        const customLevel* level = nullptr);

    // Plays the pack's levels in turn, on the screen built for its first: Return on the title starts the
    // first not yet solved by `solved` (fewest moves, 0 for none; the first level once all are), and each
    // win leads to the solved screen.
    void playPack(const levelPack& levels, const int* solved);
    // The pack's level `state.level` as it begins, on its screen and in the caption.
    void loadPackLevel();
    // The level won on the pack's screen in `moves`: kept for the solved screen, as the fewest, and in the
    // progress file before the solved screen shows.
    void packLevelWon(int moves);
    // Plays the generated level `made`, which `id` names: Return on its solved screen makes the next seed's.
    void playGenerated(levelGenerator& maker, levelId id, customLevel& made);
    // The next seed's level in place of the one solved, made under the closed curtain, which says so while
    // the generator works.
    void makeNextLevel();
    // The generated level's ID as the screens write it ("medium:1234"); "" for any other run.
    void idText(char* out, std::size_t size) const;
    // How many of the pack's levels were won at par or better.
    int wonAtPar() const;
    // The par of the player's level last played: from the pack's pars, or the level's own; 0 when unknown.
    int par() const;

    // One turn of the main loop: pace, then the unpaced frame, shown unless the next frame follows at once.
    void frame();

    // A turn without its pacing (a browser paces by its animation frames): take one event from SDL's queue
    // (or the replay's) and step. In practice mode every queued event goes to the time control first.
    void unpacedFrame();

    // Practice mode's turn once the events are with the time control: a game frame with the oldest key held,
    // or, while paused or between slow frames, the same picture drawn again with its signs.
    void timedFrame();
    void redraw();

    // The hint, asked for with h on a level: it runs the level to its next tick boundary, searches, then
    // plays the plan's next steps slowed and hands back paused, or says why it can't.
    void askHint();
    void hintFrame();

    // The whole frame after pacing, the one frame order that the game, the tests, the benchmarks and the
    // replays all run: the event, the current screen's step, a won level, the curtain and the music of a
    // screen that has just opened; then its picture is shown.
    curtainMove step(const frameEvent& event);

    // Whether the next frame, with no event, would change nothing: no field of the game's state but the
    // frame count, nothing in the picture, no countdown (a sign's, a hint's, a step or slow motion due) and
    // no replay waiting on frame numbers. Frames at rest may be left out, and none is caught up after.
    bool atRest() const;

    // Shows the last frame's picture: drawn whole (background, view, signs, teeth) and flipped, unless the
    // window shows that picture already.
    void present();
    // Draws the last frame's picture whole into the display, shown or not.
    void draw();

    void drawTeeth(int curtain);
    void paintBackground(int screen);
    // The title's words after the Return key on a player's level: the level that Return starts.
    void drawTitleLevel();
    // The words a background has baked in for the keyboard, laid over by a touch pad's where it is in hand.
    void drawTouchWords(int screen);
    // The solved screens, wholly text on the signs' ground: a level solved, and a pack solved.
    void drawSolved();
    void drawPackSolved();

    // The end of the run: frees the surfaces the app made itself (the views' layers) while SDL still runs,
    // then closes the platform. Nothing more is drawn; the app may still be destroyed afterwards.
    void shutDown();
};

// Makes the level `id` names into `out`; `onward`, the first level found from its seed on, within a few
// seeds, `id` then naming the one made. False when the generator found none. Allocates nothing.
bool makeLevel(levelGenerator& generator, levelId& id, bool onward, customLevel& out);

// Takes at most one key press or window close from SDL's queue; the rest wait there for the frames after.
// Whatever else is queued ahead of it is passed over, setting `exposed` for an uncovered window.
frameEvent pollEvent(bool& exposed);

// Halts the music and closes the mixer and SDL. Every surface made since start-up must be freed first:
// SDL_Quit frees the display, and a surface blitted onto it may still refer to it.
void closePlatform();
