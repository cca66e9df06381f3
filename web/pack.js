// The level pack: its levels listed by title, each solved one marked with its fewest moves, and the progress
// file that the game keeps, copied between the browser's storage and the game's file system.
import { levelAt } from './level.js';
import { byId } from './run.js';

const packList = byId('pack');
// The pack's progress file, kept in the browser's storage between visits, and where the game reads and
// writes it in its file system (XDG_STATE_HOME is /state there).
const progressKey = 'brakko.progress';
export const stateHome = '/state';
const progressFile = `${stateHome}/brakko/progress`;
const damagedKey = 'brakko.progress.damaged';
const damagedFile = `${progressFile}.damaged`;
// The pack's levels in order: file name, title, the digest the progress file keys it by, and its entry in
// the list.
export const packLevels = [];

// The pack's levels, in the order of their file names, each offered by its title.
export function listPack() {
  const fs = window.Module.FS;
  const names = fs.readdir('/levels').filter((name) => name.endsWith('.level')).sort();
  for (const name of names) {
    const option = document.createElement('option');
    option.value = name;
    const title = levelAt('', fs.readFile(`/levels/${name}`), name).title;
    const digest = window.Module.ccall('levelDigestOf', 'string', ['string'], [`/levels/${name}`]);
    packLevels.push({ name, title, digest, option });
    packList.appendChild(option);
  }
  solvedShown();
}

// The fewest moves of each solved level by its digest, as the game reads the progress file in its file
// system: nothing from a file that is not one (the game moves such a file aside at the next win).
function solvedLevels() {
  const m = window.Module;
  const solved = new Map();
  for (let i = 0, count = m.ccall('readSolved', 'number', ['string'], [progressFile]); i < count; i++)
    solved.set(m.ccall('solvedDigest', 'string', ['number'], [i]), m._solvedFewest(i));
  return solved;
}

// Each solved level of the pack marked in the list with its fewest moves; the count of them.
export function solvedShown() {
  const solved = solvedLevels();
  let count = 0;
  for (const { title, digest, option } of packLevels) {
    const moves = solved.get(digest);
    count += moves !== undefined;
    option.textContent = moves === undefined ? title : `${title}: solved in ${moves} move${moves === 1 ? '' : 's'}`;
  }
  return count;
}

// The progress kept in the browser, where the game reads it at a pack's start and the list reads it, with
// a damaged file it moved aside before, which it keeps as the desktop keeps it on disk.
export function progressIn() {
  const fs = window.Module.FS;
  fs.mkdirTree(`${stateHome}/brakko`);
  for (const [key, file] of [[progressKey, progressFile], [damagedKey, damagedFile]]) {
    let text = '';
    try {
      text = window.localStorage.getItem(key) || '';
    } catch {
      // storage refused: nothing kept
    }
    if (text) fs.writeFile(file, text);
  }
}

// After a win the game wrote: the file kept in the browser, a damaged one it moved aside too, and the list
// marked.
export function progressOut() {
  const fs = window.Module.FS;
  for (const [key, file] of [[progressKey, progressFile], [damagedKey, damagedFile]]) {
    try {
      if (fs.analyzePath(file).exists) window.localStorage.setItem(key, fs.readFile(file, { encoding: 'utf8' }));
    } catch {
      // storage refused: the progress lasts as long as this game
    }
  }
  solvedShown();
}

// A level of the pack played alone: named by its place in the pack as well as its title.
export function packLevel(entry) {
  const path = `/levels/${entry.name}`;
  const found = levelAt(path, window.Module.FS.readFile(path), entry.name);
  found.place = `Level ${packLevels.indexOf(entry) + 1} of the pack`;
  return found;
}
