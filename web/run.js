// What the page's parts share of one visit: the page's state, the control in the player's hand, the level
// played and the game's last news, each changed here by the part that acts on it; the way the page came
// from the level editor; and which screens play a level or end the game on Escape.
const {
  level1Screen, level2Screen, ownLevelScreen, solvedScreen, packSolvedScreen, rageQuitScreen, controlsKeys,
  controlsTouch,
} = window.brakko;

export const byId = (id) => document.getElementById(id);
export const touch = window.matchMedia('(pointer: coarse)').matches || navigator.maxTouchPoints > 0;

export const run = {
  // loading, ready (waiting for the start gesture), playing, menu, ended, refused (a level) or failed.
  state: 'loading',
  // Whether the game runs in practice mode, and the game's last news (see gameNews in seam.h), null before any.
  practice: false,
  told: null,
  // The control in the player's hand, whose names every text uses: the pad's buttons on a touch screen until
  // a real key is pressed, the keys until the pad is used.
  hand: touch ? controlsTouch : controlsKeys,
  // The level played in place of Brakko's own two, once the player has chosen one or followed a link: its
  // path in the game's file system, its text, and its title and author for show.
  level: null,
  // Whether the game plays the pack through.
  packRun: false,
  // The game's command-line arguments that the first gesture starts it with.
  startArgs: [],
  // The level in the page's link, inflated while the game loads (null when the page has none).
  linked: null,
  // The level screens a hint has played on since they stood at their start.
  hinted: new Set(),
  // The game's last line on its standard error: why it refused a level.
  lastError: '',
};

export const handTouch = () => run.hand === controlsTouch;

// The level editor's ways in and out: a level played from the editor starts in practice mode and leads
// back to it (where the editor keeps every edit); any other level in a link can be edited there.
export const fromEditor = new URLSearchParams(window.location.search).get('from') === 'editor';
// Watch: the plan the editor proved for this very level, played by the game without practice mode.
export const watching = fromEditor && new URLSearchParams(window.location.search).has('watch');

// Escape quits on the rage-quit screen and the pack's two screens.
export const quitsNow = (screen) => screen === rageQuitScreen || screen === solvedScreen || screen === packSolvedScreen;

// The screens that play a level.
export const isLevel = (screen) => screen === level1Screen || screen === level2Screen || screen === ownLevelScreen;
