// The touch pad of the game's keys, each saying what it does: the pose keys draw the pose they would ask of
// the group, practice mode's buttons show where they act, and Escape reaches the game only once held.
import { useHand } from './hand.js';
import { byId, handTouch, isLevel, quitsNow, run } from './run.js';

const {
  titleScreen, solvedScreen, packSolvedScreen, keyReturn, keyEscape, keySpace, keyBackspace, keyRestart,
  keyLevel2, keyPause, keyStep, keySlow, keyHint, keyMap, formationKeys, controlsTouch,
} = window.brakko;
const main = document.querySelector('main');
const pad = byId('pad');
// The pad's buttons, in order: the key each presses, its area of the pad's grid in page.css, the classes
// that say where it does something, its words, and the room it takes when that is another's (Map shows in
// Level 2's, which never shows on a level). A button of practice mode, or Map, shows once the game says it
// acts.
const padKeys = [
  ...formationKeys.map((key) => [key, String.fromCharCode(key), 'pose', String.fromCharCode(key)]),
  [keySpace, 'space', '', 'let go'],
  [keyPause, 'pause', 'practice-only', 'Pause'],
  [keyStep, 'step', 'practice-only', 'Step', 'one tick'],
  [keySlow, 'slow', 'practice-only', 'Slow', 'full speed'],
  [keyBackspace, 'undo', 'practice-only', 'Undo'],
  [keyRestart, 'restart', 'practice-only solved-too', 'Restart'],
  [keyHint, 'hint', 'practice-only', 'Hint'],
  [keyReturn, 'start', 'title-only solved-too', 'start', 'level 1'],
  [keyLevel2, 'level2', 'practice-only title-only', 'Level 2'],
  [keyMap, 'map', 'practice-only level-only', 'Map', 'whole level', 'level2'],
  [keyEscape, 'escape', 'hold', 'hold to give up'],
];
for (const [key, area, classes, words, small, room] of padKeys) {
  const button = document.createElement('button');
  button.type = 'button';
  button.tabIndex = -1;
  button.dataset.key = key;
  button.dataset.area = area;
  button.className = classes;
  button.hidden = /practice-only|level-only/.test(classes);
  button.style.gridArea = room || area;
  button.append(Object.assign(document.createElement('b'), { textContent: words }));
  if (small) button.append(Object.assign(document.createElement('small'), { textContent: small }));
  pad.append(button);
}
const quitButton = byId('quit');
const posesPanel = byId('poses');
const poseButtons = [...pad.querySelectorAll('.pose')];
const pauseButton = pad.querySelector('[data-area="pause"]');
const slowButton = pad.querySelector('[data-area="slow"]');
const escape = pad.querySelector('.hold');
// How long the pad's Escape must be held before it reaches the game.
const holdMs = 500;
const svgNS = 'http://www.w3.org/2000/svg';
let holding = null;

// The game's screen (the title, the two levels, a player's level, a pack's level solved, the pack solved,
// rage-quit): start and Level 2 only do something on the title, Map only on the levels (in Level
// 2's room, which is free there), practice mode's keys nothing on the rage-quit screen and the pack's two,
// and Quit only on those three. A pack's level solved has its next level (start's button), again
// (Restart's) and Quit, with or without practice mode. A button that does nothing is hidden but keeps its
// room, so that no other moves.
export function screenShown(screen) {
  // Kept on the page too, where a style or a test can read it.
  main.dataset.screen = screen;
  for (const button of pad.querySelectorAll('.practice-only, .title-only, .level-only')) {
    button.hidden = !(button.classList.contains('solved-too') && screen === solvedScreen)
      && ((button.classList.contains('practice-only') && (!run.practice || quitsNow(screen)))
      || (button.classList.contains('title-only') && screen !== titleScreen)
      || (button.classList.contains('level-only') && !isLevel(screen))
      || (Number(button.dataset.key) === keyLevel2 && (run.level !== null || run.packRun)));
  }
  const solved = screen === solvedScreen;
  startShown(solved);
  pad.querySelector('[data-area="restart"] b').textContent = solved ? 'Again' : 'Restart';
  escape.querySelector('b').textContent = solved || screen === packSolvedScreen ? 'hold to quit' : 'hold to give up';
  quitButton.classList.toggle('off', !quitsNow(screen));
  posesPanel.classList.toggle('off', !run.practice);
}

// The start button's words: the title's level, or the pack's next level on its solved screen.
export function startShown(solved) {
  const n = run.told || {};
  const last = n.packLevel + 1 >= n.packLevels;
  // A level played alone is played again from its solved screen.
  const again = solved && !run.packRun;
  pad.querySelector('[data-area="start"] b').textContent = again ? 'again' : solved ? 'next' : 'start';
  pad.querySelector('[data-area="start"] small').textContent = again ? 'the level'
    : solved ? (last ? 'the end' : `level ${n.packLevel + 2}`)
    : run.packRun ? `level ${(n.packLevel || 0) + 1}` : run.level ? 'the level' : 'level 1';
}

// What a key does, in words: on a touch screen the pad's name for it, never a keyboard's.
export const keyWord = (key) => (key === keySpace ? (handTouch() ? 'let go' : 'Space') : String.fromCharCode(key));

export const poseKeys = String.fromCharCode(...formationKeys);

// w and x ask for no pose: they start a pair, and a waiting pose gives way to them.
const pairKeys = [1, 7];

// Each pose key's button (and, without a pad, the poses panel) draws the cells the game says it would ask
// for, "col,row" from the anchor (0,0), the anchor in gold; a field left empty is a key with no pose for
// this group.
export function showPoses(text, n) {
  const fields = text.split('|');
  const cellsOf = (i) => (fields[i] || '').split(' ').filter(Boolean).map((cell) => cell.split(',').map(Number));
  const draw = (button, i) => {
    const cells = cellsOf(i);
    button.querySelector('svg')?.remove();
    button.querySelector('.does')?.remove();
    button.classList.toggle('held', n.members > 0 && n.currentShape === i);
    button.classList.toggle('waiting', n.waitingPose === i);
    if (cells.length === 0) {
      const does = document.createElement('span');
      does.className = 'does';
      does.textContent = pairKeys.includes(i) ? 'pair, cancel' : 'no pose';
      button.appendChild(does);
      return;
    }
    const cols = cells.map(([col]) => col);
    const rows = cells.map(([, row]) => row);
    const left = Math.min(...cols);
    const top = Math.min(...rows);
    const wide = Math.max(...cols) - left + 1;
    const high = Math.max(...rows) - top + 1;
    // A square of at least three cells, the pose in its middle: a pair's cells are no larger than a crowd's.
    const across = Math.max(3, wide, high);
    const svg = document.createElementNS(svgNS, 'svg');
    svg.setAttribute('viewBox', `${left - (across - wide) / 2} ${top - (across - high) / 2} ${across} ${across}`);
    svg.setAttribute('aria-hidden', 'true');
    cells.forEach(([col, row], c) => {
      const rect = document.createElementNS(svgNS, 'rect');
      for (const [name, value] of [['x', col + 0.06], ['y', row + 0.06], ['width', 0.88], ['height', 0.88]])
        rect.setAttribute(name, value);
      if (c === 0) rect.setAttribute('class', 'anchor');
      svg.appendChild(rect);
    });
    button.appendChild(svg);
  };
  poseButtons.forEach(draw);
  if (posesPanel.children.length === 0) {
    for (const key of poseKeys) {
      const entry = document.createElement('span');
      entry.className = 'pose';
      entry.innerHTML = `<kbd>${key}</kbd>`;
      posesPanel.appendChild(entry);
    }
  }
  [...posesPanel.children].forEach(draw);
}

// Practice mode's hold on time, shown on its buttons: Pause reads Play while paused, Slow names its speed.
export function timeShown(paused, slowness) {
  pauseButton.querySelector('b').textContent = paused ? 'Play' : 'Pause';
  pauseButton.setAttribute('aria-pressed', paused ? 'true' : 'false');
  slowButton.querySelector('small').textContent = slowness > 1 ? `1/${slowness}` : 'full speed';
  slowButton.setAttribute('aria-pressed', slowness > 1 ? 'true' : 'false');
}

// A pad button presses its key at once, except Escape, which only once held for holdMs.
function pressPad(event) {
  const button = event.target.closest('button');
  if (!button) return;
  event.preventDefault();
  if (run.state !== 'playing') return;
  useHand(controlsTouch);
  if (button !== escape) {
    window.Module._pressKey(Number(button.dataset.key));
    return;
  }
  letGo();
  escape.classList.add('down');
  holding = setTimeout(() => {
    holding = null;
    escape.classList.remove('down');
    if (run.state === 'playing') window.Module._pressKey(Number(escape.dataset.key));
  }, holdMs);
}

export function letGo() {
  if (holding) clearTimeout(holding);
  holding = null;
  escape.classList.remove('down');
}

pad.addEventListener('pointerdown', pressPad);
for (const end of ['pointerup', 'pointercancel', 'pointerleave']) escape.addEventListener(end, letGo);
