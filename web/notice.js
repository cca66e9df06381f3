// The notice over the canvas: loading, the start with its choices, the menu of the same choices during a
// game, the end with what the player solved, a refused level and errors.
import { fit } from './layout.js';
import { packLevels, solvedShown } from './pack.js';
import { levelShown } from './level.js';
import { letGo } from './pad.js';
import { visitWins } from './news.js';
import { byId, fromEditor, handTouch, run, watching } from './run.js';

const { level1Screen, level2Screen, ownLevelScreen } = window.brakko;
const [
  notice, message, progress, again, back, solution, practiceChoice, packChoice, packList, menuButton, newChoice
] = [
  'notice', 'message', 'progress', 'again', 'back', 'solution', 'practice-choice', 'pack-choice', 'pack', 'menu',
  'new-choice'
].map(byId);
// A choice made in the game's menu, for the page loaded again to start.
export const chosenKey = 'brakko.chosen';

export function say(text, { error = false, loading = false } = {}) {
  message.textContent = text;
  notice.classList.toggle('error', error);
  progress.hidden = !loading;
  solution.hidden = true;
  practiceChoice.hidden = true;
  packChoice.hidden = true;
  newChoice.hidden = true;
  again.hidden = true;
  back.hidden = true;
  noticeShown(true);
}

// The notice shown or gone; while it shows, upright on a phone, it takes the pad's room below the canvas.
export function noticeShown(shown) {
  notice.hidden = !shown;
  document.body.classList.toggle('noticed', shown);
  menuButton.classList.toggle('off', shown || run.state !== 'playing');
  fit();
}

export function fail(text) {
  if (run.state === 'failed') return;
  run.state = 'failed';
  say(text, { error: true });
}

// What the first gesture starts.
export function startWords() {
  const go = handTouch() ? 'Tap to start' : 'Press any key or click to start';
  if (run.startArgs[0] === '--solution') return `The solution to watch: ${go.toLowerCase()}`;
  if (run.packRun) return `The pack: ${go.toLowerCase()}`;
  return run.level ? `${run.level.title}${run.level.author ? ` by ${run.level.author}` : ''}: ${go.toLowerCase()}` : go;
}

// The start's choices, on the start notice and in the menu.
export function choicesShown() {
  // The shipped solution is Brakko's own two levels': beside a level from a link it would mislead.
  solution.hidden = Boolean(run.linked);
  practiceChoice.hidden = false;
  packChoice.hidden = packList.options.length === 0;
  newChoice.hidden = false;
}

// A choice made in the menu while a game plays, or after the game's end: the page starts afresh on it,
// without the link, and the next gesture starts it. Nothing is chosen here otherwise.
export function chosenInMenu(what, name) {
  if (run.state !== 'menu' && run.state !== 'ended') return false;
  try {
    window.sessionStorage.setItem(chosenKey, JSON.stringify({ what, name }));
  } catch {
    // not kept: the page starts on its title
  }
  window.location.assign(window.location.pathname);
  return true;
}

// The menu over the game: the start's choices one tap away, the game going on under it until one is made.
export function menuShown() {
  if (run.state !== 'playing') return;
  letGo();
  run.state = 'menu';
  say('Choose what to play next (this game ends), or go back to the game.');
  choicesShown();
  again.textContent = 'Brakko\'s own two levels';
  again.hidden = false;
  back.hidden = false;
}

export function menuGone() {
  if (run.state !== 'menu') return;
  run.state = 'playing';
  noticeShown(false);
}

// A level that the link's decoding or the game's reader refused: the reason in place of the game, and a
// way on to Brakko's own levels, which is the page loaded again without the link.
export function refuse(reason) {
  run.state = 'refused';
  run.level = null;
  levelShown();
  say(`This level was refused: ${reason.replace(/\.$/, '')}.`, { error: true });
  again.textContent = 'Play Brakko\'s own levels';
  again.hidden = false;
}

// What the player solved, from the game's last news: a solution watched is none of it.
export function ended() {
  if (run.state !== 'playing' && run.state !== 'menu') return;
  run.state = 'ended';
  const n = run.told || {};
  // A level played from the editor leads back to it, where every edit waits.
  if (fromEditor && !watching) {
    window.location.assign('editor.html');
    return;
  }
  const visit = visitWins();
  const helped = (screen) => (run.hinted.has(screen) ? ' with the hint\'s help' : '');
  if (run.packRun) {
    const solved = solvedShown();
    say(solved === packLevels.length ? 'You solved the whole pack. Thanks for playing!'
      : `You have solved ${solved} of the pack's ${packLevels.length} levels. Thanks for playing!`);
  } else if (n.replayed) say(`The ${run.level ? 'plan' : 'solution'} has played to its end. Your turn now!`);
  else if (n.level2Won && run.level) say(`You solved ${run.level.title}${helped(ownLevelScreen)}. Thanks for playing!`);
  else if (n.level2Won && n.level1Won) say('You solved Brakko: both levels. Thanks for playing!');
  else if (n.level2Won && visit.level1) {
    say(`You solved level 2${helped(level2Screen)}, and level 1 before: Brakko is solved. Thanks for playing!`);
  } else if (n.level2Won) {
    say(`You solved level 2${helped(level2Screen)}. Level 1 is still to play. Thanks for playing!`);
  } else if (n.level1Won) {
    say(`You solved level 1${helped(level1Screen)}, then gave up on level 2. Thanks for playing!`);
  } else if (run.practice) {
    say('You gave up. Thanks for playing!');
  } else {
    say('You gave up. Stuck? Practice mode has undo, restart, pause, slow motion and level 2 at once. Thanks for playing!');
  }
  again.textContent = n.replayed ? 'Play it yourself' : 'Play again';
  again.hidden = false;
  // The start's choices stay one tap away after the end too.
  choicesShown();
  again.focus();
}
