// The numbers the game and its web page both rely on: the robot count, the commands, the screens, the
// keys and the size of a level file. The web build writes each of them, under the same name, into the page's
// shared.js, so the page repeats none of them by hand. Plain numbers only, one `constexpr int NAME = VALUE;`
// to a line (VALUE a number or a character), so that the build can read them; a line it cannot read stops the
// build.
#pragma once

// The most robots a map holds, one on each of its start markers; every table of robots is this long.
constexpr int maxRobots = 20;

// Command numbers as the games read them: 0 to 8 a formation, negative disbands, above 8 nothing.
constexpr int disbandCommand = -1;
constexpr int noCommand = 1000;

// Screen numbers, and the value of `screen` that ends the loop.
constexpr int titleScreen = 1;
constexpr int level1Screen = 2;
constexpr int level2Screen = 3;
// A player's level, from a file or a pack: one screen, whose game is loaded afresh for each level.
constexpr int ownLevelScreen = 4;
// A pack's: a level just solved, with its moves and par, and at the end the whole pack solved.
constexpr int solvedScreen = 5;
constexpr int packSolvedScreen = 6;
constexpr int rageQuitScreen = 8;
constexpr int quitScreen = -1;

// Key numbers as SDL names them (SDLKey values); the letters are their own lower-case codes.
constexpr int keyReturn = 13;
constexpr int keyEscape = 27;
constexpr int keySpace = 32;
// Practice mode's own keys; without it they do nothing, like every key not named here.
constexpr int keyBackspace = 8;
constexpr int keyRestart = 'r';
// On the title: straight to level 2, so that a retry of level 2 need not play level 1 again.
constexpr int keyLevel2 = '2';
// Practice mode's hold on time: pause and play, one tick at a time, and slow motion. They change only how
// fast the game's frames come, never which frames come, so they are not part of a run or its replay.
constexpr int keyPause = 'p';
constexpr int keyStep = 'n';
constexpr int keySlow = 't';
// Practice mode's hint: the game searches from where the group stands and plays the next steps itself. Like
// the keys of time it is not part of a run: the keys the hint presses are.
constexpr int keyHint = 'h';
// Practice mode's map: the whole level at half size, while the game's time stands still.
constexpr int keyMap = 'm';

// The control in the player's hand, whose names every text that names a control uses: the keyboard's keys,
// or the buttons of a touch page's pad. The desktop has only the keys; a page says which its player used
// last.
constexpr int controlsKeys = 0;
constexpr int controlsTouch = 1;
// Row by row over the left-hand 3 x 3 block of the keyboard: the index is the formation asked for.
constexpr int formationKeys[9] = {'q', 'w', 'e', 'a', 's', 'd', 'z', 'x', 'c'};

// The most bytes a level file may hold: far more than the largest level (50 rows of 80 and both headers take
// under 4 200 bytes), far less than a file that is not a level. A file is read no further than this, and a
// link's level is inflated no further.
constexpr int maxLevelBytes = 8192;
