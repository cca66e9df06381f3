// The game's news beside the canvas, as text a screen reader reads: each level won as it is won, a solution
// that has played, the pack's level solved, the words of the solved and end screens, and practice mode's
// signs (the group and its pose, time, the hint and undo).
import { fit } from './layout.js';
import { packLevels, progressOut } from './pack.js';
import { keyWord, poseKeys, screenShown, showPoses, timeShown } from './pad.js';
import { byId, handTouch, isLevel, run } from './run.js';

const { level1Screen, level2Screen, ownLevelScreen, solvedScreen, packSolvedScreen, rageQuitScreen } = window.brakko;
const main = document.querySelector('main');
const [
  news, groupLine, waitLine, timeLine, hintLine, undoLine, words, levelName
] = [
  'news', 'group', 'waiting', 'time', 'hint-said', 'undo', 'words', 'level-name'
].map(byId);
// The wins of Brakko's own levels in this visit, over every game the page has started since it opened.
const visitKey = 'brakko.visit';

// A line of the signs, changed only when its words do, so that a screen reader hears each change once.
function line(element, text) {
  if (element.textContent !== text) element.textContent = text;
}

// The level won, while the screen it was won on or the one it leads to shows: the player's, or the
// solution's that the page played. Level 1's win is gone once level 2 opens.
function wonNews(n) {
  const level2Now = [level2Screen, ownLevelScreen, solvedScreen, rageQuitScreen].includes(n.screen);
  if (!(n.level2Won && level2Now) && !(n.level1Won && n.screen === level1Screen)) return '';
  if (n.replayed && run.level && n.level2Won) return `${run.level.title}: the plan has played to its win.`;
  if (n.replayed && n.level2Won) return 'The solution has played: both levels solved.';
  if (n.replayed) return 'The solution solved level 1.';
  if (!n.level2Won) return 'Level 1 solved!';
  if (run.level) return `${run.level.title}: solved!`;
  return n.level1Won || visitWins().level1 ? 'Level 2 solved: Brakko is solved!' : 'Level 2 solved!';
}

// Practice mode's signs as text, from the game's news: the group and its pose, time, the hint and undo.
function practiceShown(n) {
  const onLevel = isLevel(n.screen);
  // A level the hint played in, until it stands at its start again.
  if (onLevel && n.steps === 0 && n.hint === 0) run.hinted.delete(n.screen);
  if (onLevel && n.hint === 2) run.hinted.add(n.screen);
  const pose = (i) => (handTouch() ? poseKeys[i] : `${poseKeys[i]}'s`);
  let group = '';
  let wait = '';
  if (onLevel) {
    group = n.members > 0 ? `A group of ${n.members}${n.currentShape >= 0 ? ` in ${pose(n.currentShape)} pose` : ''}.`
      : 'No group: a pose starts a pair.';
    if (n.waitingPose >= 0) wait = `${pose(n.waitingPose)} pose waits to fit.`;
    if (n.samePose >= 0) wait += ` ${poseKeys[n.samePose]} changed nothing.`;
  }
  line(groupLine, group);
  line(waitLine, wait.trim());
  let time = '';
  if (n.map && onLevel) time = handTouch() ? 'Map: time stands still. Map again to play.' : 'Map: m plays on.';
  else if (n.paused && !n.curtain) time = handTouch() ? 'Paused. Step: one tick.' : 'Paused: p plays, n steps.';
  else if (n.slowness > 1) time = `Slow motion: 1/${n.slowness} speed.`;
  line(timeLine, time);
  const hints = ['', 'Hint: thinking…', `Hint: pressed ${keyWord(n.hintKey)}.`,
    'Hint: no plan found from here. Undo or restart.', 'Hint: no way to win from here. Undo or restart.'];
  line(hintLine, onLevel ? hints[n.hint] || '' : '');
  line(undoLine, onLevel ? `undo: ${n.steps} step${n.steps === 1 ? '' : 's'} back` : '');
}

// The words the game draws on its solved and end screens, as lines of text: readable where the canvas is
// drawn small, each naming the control in hand.
function screenWords(n) {
  const touching = handTouch();
  const quit = touching ? 'hold to quit, or Quit: the game ends' : 'Escape: the game ends';
  if (n.screen === rageQuitScreen) return [touching ? 'Quit: the game ends.' : 'Escape: the game ends.'];
  if (n.screen === packSolvedScreen) return [`${quit[0].toUpperCase()}${quit.slice(1)}.`];
  if (n.screen !== solvedScreen) return [];
  const name = n.pack ? `Level ${n.packLevel + 1} of ${n.packLevels}: ${packLevels[n.packLevel]?.title || ''}`
    : run.level?.title || 'The level';
  const moves = `${n.solvedMoves} move${n.solvedMoves === 1 ? '' : 's'}`;
  const against = n.solvedMoves === n.par ? ': at par' : n.solvedMoves < n.par ? ': under par!' : '';
  const par = n.par > 0 ? `, par ${n.par}${against}` : '';
  // The pack's news says the level solved already.
  const lines = n.pack ? [] : [n.solvedMoves > 0 ? `${name}: solved in ${moves}${par}.` : `${name}: solved!`];
  lines.push('A move: a tick of the game in which something moved. Par: the fewest moves that win.');
  if (n.fewest > 0 && n.fewest < n.solvedMoves) lines.push(`Your best: ${n.fewest} moves.`);
  const next = n.packLevel + 1 >= n.packLevels ? 'on' : 'next level';
  if (!n.pack) lines.push(touching ? `again: play it again; ${quit}.` : `Return: play it again; ${quit}.`);
  else {
    lines.push(touching ? `next: ${next}; Again: play it again; ${quit}.`
      : `Return: ${next}; r: play it again; ${quit}.`);
  }
  return lines;
}

function wordsShown(lines) {
  if (words.textContent === lines.join('')) return;
  // The level solved is the heading, where the pack's news does not say it already.
  const heading = run.told?.screen === solvedScreen && !run.told.pack;
  words.replaceChildren(...lines.map((text, i) =>
    Object.assign(document.createElement('p'), { textContent: text, className: heading && !i ? 'heading' : '' })));
  document.body.classList.toggle('worded', lines.length > 0);
}

// The pack's news: the level solved, with its moves and par, and the pack solved.
function packNews(n) {
  if (n.screen === packSolvedScreen) return 'The pack is solved.';
  if (n.screen !== solvedScreen) return '';
  const moves = `${n.solvedMoves} move${n.solvedMoves === 1 ? '' : 's'}`;
  return `Level ${n.packLevel + 1} solved in ${moves}${n.par > 0 ? ` (par ${n.par})` : ''}.`;
}

// The game's news, told whenever any of it changes.
export function newsShown(n) {
  const last = run.told || {};
  run.told = n;
  // Whose names the game's own words use, kept where a style or a test can read it.
  main.dataset.controls = n.controls;
  if (n.screen !== last.screen || n.packLevel !== last.packLevel) screenShown(n.screen);
  showPoses(n.poses, n);
  if (n.paused !== last.paused || n.slowness !== last.slowness) timeShown(n.paused, n.slowness);
  if (n.pack) {
    if (n.savedWins !== (last.savedWins || 0)) progressOut();
    line(news, packNews(n));
    const title = packLevels[n.packLevel]?.title || '';
    if (levelName.hidden) {
      levelName.hidden = false;
      fit();
    }
    line(levelName, `Level ${n.packLevel + 1} of ${n.packLevels}: ${title}`);
  } else {
    line(news, wonNews(n));
  }
  visitWon(n);
  wordsShown(screenWords(n));
  if (run.practice) practiceShown(n);
}

// Brakko's own levels won by the player in this visit, kept over the page's restarts in the tab's storage.
export function visitWins() {
  try {
    return JSON.parse(window.sessionStorage.getItem(visitKey)) || {};
  } catch {
    return {};
  }
}

function visitWon(n) {
  if (n.replayed || run.level || n.pack) return;
  const visit = visitWins();
  if ((!n.level1Won || visit.level1) && (!n.level2Won || visit.level2)) return;
  try {
    window.sessionStorage.setItem(visitKey, JSON.stringify({ level1: visit.level1 || n.level1Won,
      level2: visit.level2 || n.level2Won }));
  } catch {
    // not kept: the visit's wins are this game's
  }
}
