// The page around the game: downloads brakko.wasm and brakko.data behind a progress bar, waits for a first
// key or tap (browsers play sound only after one; that key is not passed to the game), starts the game (in
// practice mode when the remembered box is ticked) on its own levels, on the pack played through (its
// progress kept in the browser's storage, the solved levels marked in the list), on a level of the pack, on a
// level in the page's link or on a new level made by the generator, keeps the canvas at the largest scale that fits, runs the touch pad (drawing the poses the
// game says its keys would ask for), switches the music off and on, asks for a phone to be turned, shows the
// game's news beside the canvas as text (each level won as it is won, a solution that has played, and practice
// mode's signs), gives a link to the level played, and says when the game ends (what the player solved, or
// given up), can't load, or refuses a level. During a game its Menu offers the start's choices again, the page
// starting afresh on the one chosen. Every text, the game's own too (setControls), names the control in the
// player's hand: the pad's buttons on a touch screen until a real key is pressed, the keys after.
//
// This file starts the page and wires its parts: run.js (what they share), layout.js, notice.js, hand.js,
// pad.js, news.js, pack.js, level.js, load.js and generate.js (a new level or today's, made in a worker and
// then played from its link). A level in a link, index.html#level=DATA, is packed and unpacked by link.js,
// which the level editor shares. The link is untrusted: its text is inflated only up
// to the largest level the game's reader takes, the reader itself checks the level, and its title and
// author reach the page as text only.
import { handShown, useHand } from './hand.js';
import { freshSeed, playNewLevel, todaysSeed } from './generate.js';
import { fit } from './layout.js';
import { levelAt, levelShown } from './level.js';
import { unpack } from './link.js';
import { load } from './load.js';
import {
  chosenInMenu, chosenKey, choicesShown, fail, menuGone, menuShown, noticeShown, refuse, say, startWords,
} from './notice.js';
import { listPack, packLevel, packLevels, progressIn } from './pack.js';
import { screenShown } from './pad.js';
import { byId, fromEditor, quitsNow, run, touch, watching } from './run.js';

const { titleScreen, keyEscape, controlsKeys } = window.brakko;
const main = document.querySelector('main');
const [
  legend, soundButton, fullscreenButton, quitButton, menuButton, copyButton, keysButton, back, again, solution,
  practiceBox, packList, playLevel, playPack, playNew, playDaily, difficulty
] = [
  'legend', 'sound', 'fullscreen', 'quit', 'menu', 'copy-link', 'keys', 'back', 'again', 'solution', 'practice',
  'pack', 'play-level', 'play-pack', 'play-new', 'play-daily', 'difficulty'
].map(byId);
const practiceKey = 'brakko.practice';
const soundKey = 'brakko.sound';
let muted = false;

run.linked = window.location.hash.startsWith('#level=') ? unpack(window.location.hash.slice('#level='.length)) : null;
// Its refusal is shown once the game has loaded; until then it is no error of the page's.
run.linked?.catch(() => {});

async function ready() {
  if (run.state !== 'loading') return;
  progressIn();
  listPack();
  if (run.linked) {
    let bytes;
    try {
      bytes = await run.linked;
    } catch (e) {
      refuse(e.message);
      return;
    }
    window.Module.FS.writeFile('/link.level', bytes);
    run.level = levelAt('/link.level', bytes, 'The level in the link');
    levelShown();
  }
  // What the player chose in the menu of the game before, started by the first gesture.
  let chosen = null;
  try {
    chosen = JSON.parse(window.sessionStorage.getItem(chosenKey));
    window.sessionStorage.removeItem(chosenKey);
  } catch {
    // nothing chosen, or no storage: the title of Brakko's own levels
  }
  if (!run.linked && chosen?.what === 'solution') run.startArgs = ['--solution'];
  if (!run.linked && chosen?.what === 'pack') {
    run.packRun = true;
    run.startArgs = ['--pack=/levels'];
  }
  const listed = packLevels.find((entry) => entry.name === chosen?.name);
  if (!run.linked && chosen?.what === 'level' && listed) {
    packList.value = listed.name;
    run.level = packLevel(listed);
    levelShown();
  }
  run.state = 'ready';
  say(startWords());
  choicesShown();
}

// Runs the game with these command-line arguments, in practice mode if the box is ticked; it returns at
// once, the browser calling it from then on.
function begin(args) {
  if (run.level) args = ['--level', run.level.path, ...args];
  if (watching) {
    const replay = watchReplay();
    if (!replay) {
      fail('The editor\'s plan for this level could not be played: prove the level again and Watch.');
      return;
    }
    args = [...args, '--replay', replay];
  }
  run.state = 'playing';
  run.practice = practiceBox.checked;
  run.told = null;
  noticeShown(false);
  screenShown(titleScreen);
  setTimeout(() => {
    window.Module._setMuted(muted ? 1 : 0);
    const status = window.Module.callMain(run.practice ? ['--practice', ...args] : args);
    // The game's words name the control in hand from its first frame that can.
    if (run.state === 'playing') window.Module._setControls(run.hand);
    // 2: the game's reader refused the level, in a line naming the file, which the page leaves out.
    if (status === 2 && run.level) refuse(run.lastError.replace(`brakko: ${run.level.path}: `, ''));
    else if (status) fail(`Brakko could not start (status ${status}); the browser's console says why.`);
  }, 0);
}

function soundShown() {
  soundButton.textContent = muted ? 'Sound: off' : 'Sound: on';
  soundButton.setAttribute('aria-pressed', muted ? 'false' : 'true');
}

// The first gesture only starts the game: it is kept from the game, which opens its keyboard afterwards.
// The start's choices in the notice's corners, the Keys button and the sound and full-screen switches are not
// the gesture.
function start(event) {
  if (run.state !== 'ready') return;
  const choice = '#solution, #practice-choice, #pack-choice, #new-choice, #keys, #tools, #link, #editor-way';
  if (event.target instanceof Element && event.target.closest(choice)) return;
  event.preventDefault();
  event.stopPropagation();
  begin(run.startArgs);
}

// While the game runs it takes every key (so Space and the arrows never scroll), except the browser's own
// shortcuts; before and after, the keys belong to the page. A held key is one press, as on the desktop,
// where key repeat is off: the browser's repeats are kept from the game.
function keyFilter(event) {
  const shortcut = event.ctrlKey || event.altKey || event.metaKey || /^F\d+$/.test(event.key);
  // A real key in hand: the words name the keys from now on.
  if (event.type === 'keydown' && event.isTrusted && !shortcut) useHand(controlsKeys);
  // Escape closes the menu, back to the game.
  if (run.state === 'menu' && event.type === 'keydown' && event.key === 'Escape') menuGone();
  if (run.state !== 'playing' || shortcut) {
    event.stopPropagation();
  } else if (event.repeat) {
    event.preventDefault();
    event.stopPropagation();
  }
}


if (touch) document.body.classList.add('touch');
handShown();
fit();
window.addEventListener('resize', fit);
window.addEventListener('keydown', start, true);
window.addEventListener('pointerdown', start, true);
window.addEventListener('keydown', keyFilter, true);
window.addEventListener('keyup', keyFilter, true);
// After a refused level, the page without its link.
// In the menu, Brakko's own levels from the title; after a plan watched from the editor, the player's own
// try at the level, with no plan playing.
again.addEventListener('click', () => {
  if (run.state === 'menu' && chosenInMenu('own')) return;
  if (run.state === 'refused') window.location.replace(window.location.href.split('#')[0]);
  else if (watching && run.told?.replayed) window.location.assign(`?from=editor${window.location.hash}`);
  else window.location.reload();
});
menuButton.addEventListener('click', menuShown);
back.addEventListener('click', menuGone);
// A link pasted over the page's own address changes only its hash; it is followed as a new page.
window.addEventListener('hashchange', () => window.location.reload());
// Both levels won by the replay shipped with the game; on the rage-quit screen the keys are the player's.
solution.addEventListener('click', () => {
  if (chosenInMenu('solution') || run.state !== 'ready') return;
  run.level = null;
  levelShown();
  begin(['--solution']);
});
// The pack played through, from its first level not yet solved.
playPack.addEventListener('click', () => {
  if (chosenInMenu('pack') || run.state !== 'ready') return;
  run.level = null;
  run.packRun = true;
  levelShown();
  begin(['--pack=/levels']);
});
playLevel.addEventListener('click', () => {
  if (chosenInMenu('level', packList.value) || run.state !== 'ready') return;
  run.level = packLevel(packLevels.find((entry) => entry.name === packList.value));
  levelShown();
  begin([]);
});
// A new level of the difficulty chosen, and today's level, each made, then played from its link.
playNew.addEventListener('click', () =>
  playNewLevel(difficulty.value, freshSeed(), `a new ${difficulty.value} level`));
playDaily.addEventListener('click', () => playNewLevel('medium', todaysSeed(), 'today\'s level'));
// The choice of practice mode is remembered for the next visit; the box gives the keyboard back at once,
// so that the next key starts the game.
try {
  practiceBox.checked = window.localStorage.getItem(practiceKey) === 'on';
} catch {
  // storage refused (private windows may): the box starts unticked
}
practiceBox.addEventListener('change', () => {
  try {
    window.localStorage.setItem(practiceKey, practiceBox.checked ? 'on' : 'off');
  } catch {
    // not remembered, but still used for this start
  }
  practiceBox.blur();
});
// The sound switch is remembered for the next visit too, and works before the game starts.
try {
  muted = window.localStorage.getItem(soundKey) === 'off';
} catch {
  // storage refused: the sound starts on
}
soundShown();
soundButton.addEventListener('click', () => {
  muted = !muted;
  soundShown();
  try {
    window.localStorage.setItem(soundKey, muted ? 'off' : 'on');
  } catch {
    // not remembered, but still switched for this visit
  }
  if (run.state === 'playing') window.Module._setMuted(muted ? 1 : 0);
});
// Where the browser allows, the page goes full screen, a touch screen locked sideways, and the same button
// leaves it again; a browser that refuses either leaves the page as it was, and says nothing.
fullscreenButton.hidden = !document.documentElement.requestFullscreen;
fullscreenButton.addEventListener('click', async () => {
  try {
    if (document.fullscreenElement) {
      await document.exitFullscreen();
      return;
    }
    await document.documentElement.requestFullscreen({ navigationUI: 'hide' });
    if (touch) await screen.orientation.lock('landscape');
  } catch {
    // no full screen or no lock here: the page asks to turn the phone instead
  }
});
document.addEventListener('fullscreenchange', () => {
  fullscreenButton.textContent = document.fullscreenElement ? 'Leave full screen' : 'Full screen';
  fit();
});
// On the rage-quit screen and the pack's, Quit is Escape, which ends the game there.
quitButton.addEventListener('click', () => {
  if (run.state === 'playing' && quitsNow(Number(main.dataset.screen))) window.Module._pressKey(keyEscape);
});
// None of the page's buttons takes the keyboard from the game.
for (const button of [soundButton, fullscreenButton, copyButton, quitButton, menuButton])
  button.addEventListener('pointerdown', (e) => e.preventDefault());
// Folded, the legend shows while its button is down; the button never takes the keyboard from the game.
keysButton.addEventListener('pointerdown', (event) => event.preventDefault());
keysButton.addEventListener('click', () => document.body.classList.toggle('keys-open'));
// Opened, the legend closes at a tap on it too, for on a small screen it may cover its button.
legend.addEventListener('click', () => document.body.classList.remove('keys-open'));
window.addEventListener('error', (event) => fail(`Brakko stopped: ${event.message}`));

if (fromEditor) practiceBox.checked = !watching;
// The plan made into a replay by the game itself, before it starts: its path, or null when there is no plan
// for this level or it does not win it.
function watchReplay() {
  let kept = null;
  try {
    kept = JSON.parse(window.localStorage.getItem('brakko.watch'));
  } catch {
    return null;
  }
  if (!kept || !Array.isArray(kept.plan) || kept.text !== new TextDecoder().decode(run.level.bytes)) return null;
  const fs = window.Module.FS;
  fs.writeFile('/watch.level', run.level.bytes);
  fs.writeFile('/watch.plan', kept.plan.map(([tick, command]) => `${Number(tick)} ${Number(command)}\n`).join(''));
  return window.Module._watchPlan() === 0 ? '/watch.replay' : null;
}
if (run.linked) {
  const editorLink = byId('editor-link');
  editorLink.href = fromEditor ? 'editor.html' : `editor.html${window.location.hash}`;
  editorLink.textContent = fromEditor ? 'Back to the editor' : 'Edit this level';
}

if (typeof WebAssembly !== 'object') {
  fail('This browser cannot run WebAssembly, which Brakko needs. A recent Firefox, Chrome, Safari or Edge can.');
} else {
  say('Loading Brakko…', { loading: true });
  load(ready).catch((e) => fail(`Brakko could not start: ${e.message}. Reloading the page may help.`));
}
