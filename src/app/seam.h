// The one seam between the game and each platform's own file: what the game offers the loop that runs it,
// and all that a platform file knows of the game. The game is a handle whose insides stay behind this header;
// a platform steps its frames, shows them, asks whether anything would change, tells the page around a
// browser what happened, and ends the run. What a platform provides in return is in platform.h.
#pragma once

struct app;

// What the game tells the page around it: a plain record of what a player should be told besides the picture,
// filled from the game after each of its frames. The platform compares it field by field with the record it
// told last and passes on a changed one whole.
struct gameNews {
    int screen = 0;
    bool practice = false;
    bool playersLevel = false;
    // Levels won so far in this run; a player's level, on its own screen, counts as level 2 here.
    bool level1Won = false, level2Won = false;
    // A replay (the shipped solution or a recording) drives or drove this run: its wins are not the player's.
    bool replayed = false;
    // A pack's run: its level on the level's screen or last played there (from 0) of `packLevels`, the moves
    // the level just solved took and its par (0 for none), the fewest it was ever won in (0 while unsolved),
    // and the wins written to the progress file so far in this run. A single level's run has the moves, par
    // and fewest too, the fewest of this run.
    bool pack = false;
    int packLevel = 0, packLevels = 0;
    int solvedMoves = 0, par = 0, fewest = 0;
    int savedWins = 0;
    // Practice mode's time: paused, one game frame in `slowness` paced frames, and whether the curtain runs.
    bool paused = false;
    int slowness = 1;
    // The whole level shows as a map, and time stands still.
    bool map = false;
    bool curtain = false;
    // The hint's sign (a hintSign) and the key it pressed last.
    int hint = 0;
    int hintKey = 0;
    // The current level's: the steps undo can take back, the pose waiting to fit (-1 for none), the pose the
    // group holds (-1 for none), the group's size, and a pose key that just changed nothing (-1 for none).
    int steps = 0;
    int waitingPose = -1;
    int currentShape = -1;
    int members = 0;
    int samePose = -1;
    // The cells the group's robots stand in: fewer than `members` when some share a cell, where the picture
    // shows one robot with their count on it.
    int memberCells = 0;
    // What each pose key would ask of the group as it stands, as poseText writes it; on the title and the
    // rage-quit screen, level 1's for a new pair.
    char poses[600] = {};
    // The control whose names the texts on screen use: controlsKeys or controlsTouch.
    int controls = 0;
    bool operator==(const gameNews&) const = default;
};

// Whether the player has not quit yet.
bool gameRunning(const app& game);
// A turn of the desktop's main loop: paced, then the frame, shown unless the next follows at once.
void pacedFrame(app& game);
// A frame without its pacing (a browser paces by its animation frames): the next event and the step.
void unpacedFrame(app& game);
// From now on a frame shows nothing by itself: the platform shows the last one it stepped (presentFrame).
void presentOnlyWhenAsked(app& game);
// Shows the last frame's picture, unless the window shows it already.
void presentFrame(app& game);
// Whether the next frame, with no event, would change nothing at all: the platform may then step none until
// an event comes, and catch none up after.
bool atRest(const app& game);
// The player used this control last (controlsKeys or controlsTouch): the texts on screen name its controls.
void useControls(app& game, int controls);
// Fills `news` from the game as it stands after its last frame.
void readNews(const app& game, gameNews& news);
// The end of the run: the game's surfaces freed, then the mixer and SDL closed. Nothing is drawn after.
void endRun(app& game);
// The main loop, until the player quits: each platform's own, in its own file. On the desktop paced frames
// one after another; in a browser the game's frames due in each animation frame, and it never returns.
void runMainLoop(app& game);
