// The level editor: a level as a grid of tiles and as its file's text, kept in step. The grid is painted from
// a palette that keeps a level's rules (one goal; each robot marker once, and no more robots than a level
// holds); the text may be typed, and the game's own reader (prove.js) judges it as it changes: a refusal is
// shown at its line and column and the grid keeps the last text the reader took. Every change is a step of
// undo and redo, and the level with its steps is kept in the browser's storage, so that a reload, Play and
// the game page's way back find it again. Prove runs the game's search in a worker (editor-worker.js); Watch
// plays the plan it found in the game; Copy link, Download and Open share the level. Titles, authors, links
// and files are untrusted: they reach the page as text only, and a link or file is bounded before the
// reader checks it.
import * as brakkoLink from './link.js';

(function () {
  const byId = (id) => document.getElementById(id);
  const grid = byId('grid');
  const gridBox = byId('grid-box');
  const palette = byId('palette');
  const markersLine = byId('markers');
  const titleField = byId('title');
  const authorField = byId('author');
  const colsField = byId('cols');
  const rowsField = byId('rows');
  const zoom = byId('zoom');
  const textField = byId('text');
  const judged = byId('judged');
  const verdict = byId('verdict');
  const planList = byId('plan');
  const watchButton = byId('watch');
  const recentList = byId('recent');
  const linkField = byId('link');
  const shared = byId('shared');

  // The game's reader takes no level longer than this, and a link to one is never longer than that.
  const { maxLevelBytes } = window.brakko;
  const stateKey = 'brakko.editor';
  const recentKey = 'brakko.editor.recent';
  const watchKey = 'brakko.watch';
  const undoSteps = 60;
  const recentLevels = 20;
  const markers = '123456789ABCDEFGHIJK';
  // Until the reader has loaded, the limits it keeps.
  let mostRobots = 11;
  let longestText = 63;

  const tiles = [
    { ch: '#', name: 'Wall', cls: 'wall' },
    { ch: ' ', name: 'Empty (erases)', cls: 'empty' },
    { ch: '<', name: 'Belt left', cls: 'left' },
    { ch: '>', name: 'Belt right', cls: 'right' },
    { ch: '!', name: 'Striped block', cls: 'block' },
    { ch: '@', name: 'Goal', cls: 'goal' },
  ];
  const isMarker = (ch) => markers.includes(ch);
  const tileClass = (ch) => (isMarker(ch) ? 'robot' : tiles.find((t) => t.ch === ch)?.cls || 'empty');

  // The level: its size, its rows of cells as one character each, its title and author.
  const isBorder = (x, y, cols, rows) => x === 0 || y === 0 || x === cols - 1 || y === rows - 1;
  // A new level is one to play at once: a walled room, two robots side by side and a goal in the floor.
  const newLevel = () => ({
    cols: 12,
    rows: 6,
    cells: ['############', '#          #', '#          #', '#12        #', '########@###', '############'],
    title: '',
    author: '',
  });

  let level = newLevel();
  let undo = [];
  let redo = [];
  let tool = '#';
  // The reader (prove.js on this page's thread); null until it has loaded.
  let reader = null;
  // The prover: one worker for every proof, so that the search's room is taken once and kept; whether a proof
  // is under way in it; and the map proved last with what the proof has said.
  let worker = null;
  let proving = false;
  let proved = null;

  const encoder = new TextEncoder();
  const copy = (l) => ({ ...l, cells: [...l.cells] });
  const mapOf = (l) => l.cells.join('\n');

  function levelText(l) {
    let head = '';
    if (l.title) head += `title: ${l.title}\n`;
    if (l.author) head += `author: ${l.author}\n`;
    return `${head}${head ? '\n' : ''}${l.cells.join('\n')}\n`;
  }

  // What the reader says of `bytes`: null when it takes them, else where and why it refuses.
  function judge(bytes) {
    const length = Math.min(bytes.length, maxLevelBytes + 1);
    if (reader.ccall('readText', 'number', ['array', 'number'], [bytes.subarray(0, length), length])) return null;
    return {
      line: reader._errorLine(),
      column: reader._errorColumn(),
      reason: reader.UTF8ToString(reader._errorReason()),
    };
  }

  // The level in text the reader took: its rows after the header lines, and its title and author as the
  // reader read them.
  function levelFrom(text) {
    const lines = text.split('\n');
    let first = 0;
    while (first < lines.length && (lines[first] === '' || /^[a-z]+:/.test(lines[first]))) first++;
    let last = lines.length;
    while (last > first && lines[last - 1] === '') last--;
    const cells = lines.slice(first, last);
    return {
      cols: cells[0].length,
      rows: cells.length,
      cells,
      title: reader.UTF8ToString(reader._levelTitle()),
      author: reader.UTF8ToString(reader._levelAuthor()),
    };
  }

  function counts(l) {
    const used = new Set();
    let goals = 0;
    for (const row of l.cells) {
      for (const ch of row) {
        if (isMarker(ch)) used.add(ch);
        else if (ch === '@') goals++;
      }
    }
    return { used, goals };
  }

  // Storage may be refused (private windows may); the editor then only forgets on a reload.
  function store(key, value) {
    try {
      window.localStorage.setItem(key, JSON.stringify(value));
    } catch {
      // not kept
    }
  }
  function stored(key) {
    try {
      return JSON.parse(window.localStorage.getItem(key));
    } catch {
      return null;
    }
  }
  const saved = () => store(stateKey, { level, undo, redo });

  // A level from storage, checked cell by cell: a level being made may still lack its goal or its robots,
  // which the reader would refuse, but every cell must be a tile and every text fit its field.
  function sane(l) {
    if (!l || !Number.isInteger(l.cols) || !Number.isInteger(l.rows)) return null;
    if (l.cols < 1 || l.cols > 80 || l.rows < 2 || l.rows > 50 || !Array.isArray(l.cells)) return null;
    if (l.cells.length !== l.rows) return null;
    if (!l.cells.every((row) => typeof row === 'string' && row.length === l.cols && /^[ #<>!@1-9A-K]*$/.test(row)))
      return null;
    const text = (t) => (typeof t === 'string' ? fitted(t) : '');
    return { cols: l.cols, rows: l.rows, cells: [...l.cells], title: text(l.title), author: text(l.author) };
  }

  // ---- The grid.

  let shownCells = [];
  function drawGrid() {
    grid.style.setProperty('--cols', level.cols);
    if (grid.children.length !== level.cols * level.rows || grid.dataset.cols !== String(level.cols)) {
      const made = document.createDocumentFragment();
      for (let y = 0; y < level.rows; y++) {
        for (let x = 0; x < level.cols; x++) {
          const cell = document.createElement('div');
          cell.className = 'cell';
          cell.dataset.x = x;
          cell.dataset.y = y;
          made.appendChild(cell);
        }
      }
      grid.replaceChildren(made);
      grid.dataset.cols = level.cols;
      shownCells = [];
    }
    for (let y = 0; y < level.rows; y++) {
      for (let x = 0; x < level.cols; x++) {
        const ch = level.cells[y][x];
        const at = y * level.cols + x;
        if (shownCells[at] === ch) continue;
        shownCells[at] = ch;
        const cell = grid.children[at];
        cell.className = `cell ${tileClass(ch)}`;
        cell.textContent = isMarker(ch) ? ch : '';
        cell.dataset.tile = ch;
      }
    }
  }

  function drawPalette() {
    const { used, goals } = counts(level);
    for (const button of palette.children) {
      const ch = button.dataset.tile;
      button.setAttribute('aria-checked', ch === tool ? 'true' : 'false');
      button.classList.toggle('used', (isMarker(ch) && used.has(ch)) || (ch === '@' && goals > 0));
    }
    const robots = used.size;
    const problems = [];
    if (goals === 0) problems.push('no goal yet');
    if (robots < 2) problems.push(`${2 - robots} more robot${robots === 1 ? '' : 's'} needed`);
    markersLine.textContent = `Robots: ${robots} of ${mostRobots} (${[...used].sort().join(' ') || 'none'}). ` +
      `Goal: ${goals ? 'placed' : 'none'}.${problems.length ? ` To play: ${problems.join(', ')}.` : ''}`;
    markersLine.classList.toggle('wanting', problems.length > 0);
  }

  // Shows the level everywhere: grid, palette, fields and, unless it is being typed, its text.
  function show({ keepText = false } = {}) {
    drawGrid();
    drawPalette();
    if (document.activeElement !== titleField) titleField.value = level.title;
    if (document.activeElement !== authorField) authorField.value = level.author;
    colsField.value = level.cols;
    rowsField.value = level.rows;
    byId('undo').disabled = undo.length === 0;
    byId('redo').disabled = redo.length === 0;
    if (!keepText) {
      const text = levelText(level);
      if (textField.value !== text) textField.value = text;
      judgeText();
    }
    if (proved && proved.map !== mapOf(level)) dropVerdict();
  }

  // A change to the level, undoable as one step from `before`.
  function changed(before) {
    if (JSON.stringify(before) === JSON.stringify(level)) return;
    undo.push(before);
    if (undo.length > undoSteps) undo.shift();
    redo = [];
    saved();
  }

  function back(from, to) {
    if (from.length === 0) return;
    to.push(copy(level));
    level = from.pop();
    show();
    saved();
  }

  // Paints one cell with the tool, keeping the rules: one goal (painted elsewhere, it moves), each marker
  // once (the same), and at most the most robots a level holds. False when the rules leave the cell as it was.
  function paint(x, y) {
    let ch = tool;
    const { used } = counts(level);
    const here = level.cells[y][x];
    if (ch === 'robot') {
      if (isMarker(here)) return false;
      ch = [...markers].find((m) => !used.has(m));
    }
    if (ch === undefined || (isMarker(ch) && !isMarker(here) && !used.has(ch) && used.size >= mostRobots)) {
      markersLine.textContent = `A level holds at most ${mostRobots} robots.`;
      markersLine.classList.add('wanting');
      return false;
    }
    if (here === ch) return false;
    if (ch === '@' || isMarker(ch)) {
      level.cells = level.cells.map((row) => row.replaceAll(ch, ' '));
    }
    const row = level.cells[y];
    level.cells[y] = row.slice(0, x) + ch + row.slice(x + 1);
    return true;
  }

  // Painting by pointer: press and drag, every cell passed over painted once, even between two far-apart
  // moves; the whole stroke is one step of undo.
  let stroke = null;
  function cellAt(event) {
    const element = document.elementFromPoint(event.clientX, event.clientY);
    const cell = element?.closest('.cell');
    return cell && grid.contains(cell) ? [Number(cell.dataset.x), Number(cell.dataset.y)] : null;
  }
  function strokeTo(at) {
    if (!at) return;
    const [x1, y1] = at;
    let [x, y] = stroke.last || at;
    const dx = Math.abs(x1 - x);
    const dy = -Math.abs(y1 - y);
    let error = dx + dy;
    for (;;) {
      if (!stroke.painted.has(`${x},${y}`)) {
        stroke.painted.add(`${x},${y}`);
        paint(x, y);
      }
      if (x === x1 && y === y1) break;
      const e2 = 2 * error;
      if (e2 >= dy) {
        error += dy;
        x += Math.sign(x1 - x);
      }
      if (e2 <= dx) {
        error += dx;
        y += Math.sign(y1 - y);
      }
    }
    stroke.last = at;
    drawGrid();
    drawPalette();
  }
  grid.addEventListener('pointerdown', (event) => {
    if (tool === 'pan' || event.button > 0) return;
    event.preventDefault();
    grid.setPointerCapture(event.pointerId);
    stroke = { before: copy(level), painted: new Set(), last: null };
    strokeTo(cellAt(event));
  });
  grid.addEventListener('pointermove', (event) => {
    if (stroke) strokeTo(cellAt(event));
  });
  const endStroke = () => {
    if (!stroke) return;
    const { before } = stroke;
    stroke = null;
    changed(before);
    show();
  };
  grid.addEventListener('pointerup', endStroke);
  grid.addEventListener('pointercancel', endStroke);

  function makePalette() {
    const add = (ch, label, cls, title) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.setAttribute('role', 'radio');
      button.dataset.tile = ch;
      button.className = `tile ${cls}`;
      button.title = title;
      button.setAttribute('aria-label', title);
      button.textContent = label;
      button.addEventListener('click', () => {
        tool = ch;
        gridBox.classList.toggle('pan', ch === 'pan');
        drawPalette();
      });
      palette.appendChild(button);
    };
    for (const t of tiles) add(t.ch, '', t.cls, t.name);
    add('robot', '+', 'robot', 'Robot: the next free marker');
    for (const m of markers) add(m, m, 'robot marker', `Robot ${m}`);
    add('pan', 'Scroll', 'pan', 'Scroll the grid (on a touch screen, a finger then scrolls)');
  }

  // ---- The text.

  function judgeText() {
    if (!reader) return;
    const text = textField.value;
    const refusal = judge(encoder.encode(text));
    judged.classList.toggle('error', refusal !== null);
    textField.classList.toggle('error', refusal !== null);
    if (refusal) {
      judged.textContent = refusal.line > 0
        ? `Line ${refusal.line}, column ${refusal.column}: ${refusal.reason}. The grid shows the last level read.`
        : `${refusal.reason}.`;
      return null;
    }
    judged.textContent =
      `Read: ${reader._levelWidth()} × ${reader._levelHeight()} cells, ${reader._levelRobots()} robots.`;
    return levelFrom(text);
  }

  textField.addEventListener('input', () => {
    const read = judgeText();
    if (!read) return;
    const before = copy(level);
    level = read;
    changed(before);
    show({ keepText: true });
  });

  // A title or an author: text of at most the reader's longest, in bytes, cut at a whole character.
  function fitted(value) {
    let text = value.replace(/[\u0000-\u001f\u007f]/g, '').replace(/^ +/, '');
    while (encoder.encode(text).length > longestText) text = [...text].slice(0, -1).join('');
    return text;
  }
  for (const [field, name] of [[titleField, 'title'], [authorField, 'author']]) {
    let before = null;
    field.addEventListener('focus', () => {
      before = copy(level);
    });
    field.addEventListener('input', () => {
      const text = fitted(field.value);
      if (text !== field.value) field.value = text;
      level[name] = text;
      show();
    });
    field.addEventListener('change', () => {
      if (before) changed(before);
      before = copy(level);
      show();
    });
  }

  // ---- Size, zoom, undo, new and recent levels.

  byId('resize').addEventListener('click', () => {
    const cols = Math.max(1, Math.min(80, Math.round(Number(colsField.value)) || level.cols));
    const rows = Math.max(2, Math.min(50, Math.round(Number(rowsField.value)) || level.rows));
    if (cols === level.cols && rows === level.rows) return;
    const before = copy(level);
    // Walls all round; inside, the old inside where it fits, and empty cells where it doesn't reach.
    const cells = [];
    for (let y = 0; y < rows; y++) {
      let row = '';
      for (let x = 0; x < cols; x++) {
        if (isBorder(x, y, cols, rows)) row += '#';
        else if (isBorder(x, y, level.cols, level.rows) || x >= level.cols || y >= level.rows) row += ' ';
        else row += level.cells[y][x];
      }
      cells.push(row);
    }
    level = { ...level, cols, rows, cells };
    changed(before);
    show();
  });

  function zoomed() {
    grid.style.setProperty('--cell', `${zoom.value}px`);
    try {
      window.localStorage.setItem(`${stateKey}.zoom`, zoom.value);
    } catch {
      // not kept
    }
  }
  zoom.addEventListener('change', zoomed);

  byId('undo').addEventListener('click', () => back(undo, redo));
  byId('redo').addEventListener('click', () => back(redo, undo));
  window.addEventListener('keydown', (event) => {
    if (!(event.ctrlKey || event.metaKey) || event.target === textField || event.target.tagName === 'INPUT') return;
    if (event.key === 'z' || event.key === 'y' || event.key === 'Z') {
      event.preventDefault();
      if (event.key === 'z') back(undo, redo);
      else back(redo, undo);
    }
  });

  // Loads a level as a step of undo, so that the one it replaces is one Undo away.
  function load(l) {
    const before = copy(level);
    level = copy(l);
    changed(before);
    show();
  }
  byId('new').addEventListener('click', () => {
    load(newLevel());
    forgetLink();
  });

  // The last levels made (played, proved, shared or saved), newest first, each once.
  function remember() {
    const text = levelText(level);
    const list = (stored(recentKey) || []).filter((t) => typeof t === 'string' && t !== text);
    list.unshift(text);
    store(recentKey, list.slice(0, recentLevels));
    listRecent();
  }
  function listRecent() {
    recentList.replaceChildren(recentList.options[0]);
    for (const text of stored(recentKey) || []) {
      if (typeof text !== 'string' || !reader || judge(encoder.encode(text))) continue;
      const l = levelFrom(text);
      const option = document.createElement('option');
      option.value = text;
      option.textContent = `${l.title || 'Untitled'} (${l.cols} × ${l.rows})`;
      recentList.appendChild(option);
    }
  }
  recentList.addEventListener('change', () => {
    const text = recentList.value;
    recentList.value = '';
    if (!text || judge(encoder.encode(text))) return;
    load(levelFrom(text));
  });

  // ---- Links and files.

  const linkData = (text) => brakkoLink.pack(encoder.encode(text));
  const gamePage = (query, data) => `${new URL(`index.html${query}`, window.location.href)}#level=${data}`;

  function forgetLink() {
    linkField.value = '';
    linkField.hidden = true;
    shared.textContent = '';
    shared.classList.remove('error');
  }

  // The level's text to share, or null when the reader refuses it, as typed or as painted: nothing is shared
  // but a level the game would play. The old link then goes, and `what` was not done, with the reader's
  // place and reason.
  function shareable(what) {
    const text = levelText(level);
    const refusal = reader && (judge(encoder.encode(textField.value)) || judge(encoder.encode(text)));
    if (reader && !refusal) return text;
    forgetLink();
    const where = refusal?.line > 0 ? ` at line ${refusal.line}, column ${refusal.column}` : '';
    shared.textContent = reader
      ? `${what}: the reader refuses this level${where}: ${refusal.reason}.`
      : `${what}: the level reader has not loaded.`;
    shared.classList.add('error');
    return null;
  }

  // Bytes from a link or a file: the reader's refusal, or the level loaded as a step of undo.
  function take(bytes, name) {
    const refusal = judge(bytes);
    if (refusal) {
      const where = refusal.line > 0 ? `line ${refusal.line}, column ${refusal.column}: ` : '';
      shared.textContent = `${name} was refused: ${where}${refusal.reason}.`;
      shared.classList.add('error');
      return;
    }
    load(levelFrom(new TextDecoder().decode(bytes)));
    shared.textContent = `${name} opened.`;
    shared.classList.remove('error');
  }

  byId('copy').addEventListener('click', async () => {
    const text = shareable('Not copied');
    if (!text) return;
    const link = gamePage('', await linkData(text));
    remember();
    linkField.value = link;
    linkField.hidden = false;
    try {
      await navigator.clipboard.writeText(link);
      shared.textContent = 'Link copied.';
    } catch {
      linkField.select();
      shared.textContent = 'Copy the link from the field above.';
    }
    shared.classList.remove('error');
  });

  byId('download').addEventListener('click', () => {
    const text = shareable('Not downloaded');
    if (!text) return;
    const anchor = document.createElement('a');
    anchor.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    const name = level.title.toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '');
    anchor.download = `${name || 'level'}.level`;
    anchor.click();
    setTimeout(() => URL.revokeObjectURL(anchor.href), 0);
    shared.textContent = `Saved as ${anchor.download}.`;
    shared.classList.remove('error');
    remember();
  });

  byId('open').addEventListener('change', async (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (!file) return;
    // At most one byte more than a level may hold is read: the reader then refuses the rest unread.
    take(new Uint8Array(await file.slice(0, maxLevelBytes + 1).arrayBuffer()), file.name);
  });

  // ---- Play, Prove and Watch.

  byId('play').addEventListener('click', async () => {
    const text = levelText(level);
    if (judge(encoder.encode(text))) {
      judgeText();
      verdict.textContent = 'This level cannot be played yet: the reader refuses it (see under the text).';
      return;
    }
    remember();
    saved();
    window.location.href = gamePage('?from=editor', await linkData(text));
  });

  function dropVerdict() {
    // A proof under way is stopped only by ending its worker; the next proof starts another.
    if (proving) {
      worker.terminate();
      worker = null;
      proving = false;
    }
    proved = null;
    verdict.textContent = '';
    verdict.className = '';
    planList.hidden = true;
    planList.replaceChildren();
    watchButton.hidden = true;
    for (const cell of grid.querySelectorAll('.closest')) cell.classList.remove('closest');
  }

  const count = (n) => Math.round(n).toLocaleString('en');

  function showPlan(answer) {
    planList.replaceChildren();
    for (const { tick, key } of answer.plan) {
      const item = document.createElement('li');
      item.textContent = `tick ${tick}: ${key === ' ' ? 'Space' : key}`;
      planList.appendChild(item);
    }
    planList.hidden = false;
  }

  function said(stage, answer) {
    if (stage === 'refused') {
      proving = false;
      verdict.textContent = 'The reader refuses this level: see under its text.';
      verdict.className = 'error';
      return;
    }
    if (stage === 'first') {
      if (answer.outcome === 'won') {
        proved.plan = answer;
        verdict.textContent = `Winnable: a plan of ${answer.ticks} ticks and ${answer.plan.length} keys. ` +
          'Looking for the shortest plan (the par)…';
        verdict.className = 'won';
        showPlan(answer);
        watchButton.hidden = false;
      } else if (answer.outcome === 'lost' && answer.outOfReach) {
        verdict.textContent = 'Cannot be won: no robot can ever reach the cell above the goal, so none can stand ' +
          'on it (found without a search).';
        verdict.className = 'lost';
      } else if (answer.outcome === 'lost') {
        const { col, row, distance } = answer.closest;
        let where = 'No group ever formed.';
        if (col >= 0) {
          const cell = grid.children[row * level.cols + col];
          cell?.classList.add('closest');
          const at = `column ${col + 1}, row ${row + 1} (marked)`;
          where = distance >= answer.walkless
            ? `The group never reached a cell from which the goal can be walked to; it came as far as ${at}.`
            : `The group came closest at ${at}, ${distance} step${distance === 1 ? '' : 's'} of walking from ` +
              'the cell above the goal.';
        }
        verdict.textContent =
          `Cannot be won: all ${count(answer.explored)} reachable states were explored and none wins. ${where}`;
        verdict.className = 'lost';
      } else {
        verdict.textContent = answer.outcome === 'undecided'
          ? 'Undecided: no plan found, and not every state explored, within the search\'s budget ' +
            `(${count(answer.explored)} states explored).`
          : 'Undecided: the browser gave the search no room to run.';
        verdict.className = 'undecided';
      }
      if (answer.outcome !== 'won') proving = false;
      return;
    }
    proving = false;
    if (answer.outcome === 'won') {
      proved.plan = answer;
      verdict.textContent = `Winnable. Par: ${answer.ticks} ticks, the shortest plan (${answer.plan.length} keys).`;
      verdict.dataset.par = answer.ticks;
      showPlan(answer);
    } else {
      verdict.textContent = `Winnable in ${proved.plan.ticks} ticks; no shorter plan was proven within the budget ` +
        `(${count(answer.explored)} states explored), so the par is not known.`;
    }
  }

  byId('prove').addEventListener('click', () => {
    const map = mapOf(level);
    if (proved && proved.map === map) return;
    dropVerdict();
    const bytes = encoder.encode(levelText(level));
    if (!reader || judge(bytes)) {
      said('refused');
      return;
    }
    remember();
    proved = { map, plan: null };
    verdict.textContent = 'Proving…';
    verdict.className = 'busy';
    if (!worker) {
      const mine = new Worker('editor-worker.js');
      mine.onmessage = ({ data }) => {
        if (worker === mine) said(data.stage, data);
      };
      mine.onerror = () => {
        if (worker !== mine) return;
        verdict.textContent = 'The prover stopped before it answered.';
        verdict.className = 'error';
        mine.terminate();
        worker = null;
        proving = false;
      };
      worker = mine;
    }
    proving = true;
    worker.postMessage({ bytes });
  });

  // Watch: the plan found (the shortest once known) played by the game on this level.
  watchButton.addEventListener('click', async () => {
    if (!proved?.plan) return;
    const text = levelText(level);
    store(watchKey, { text, plan: proved.plan.plan.map(({ tick, command }) => [tick, command]) });
    saved();
    window.location.href = gamePage('?from=editor&watch', await linkData(text));
  });

  // ---- Start.

  try {
    const touch = matchMedia('(pointer: coarse)').matches;
    zoom.value = window.localStorage.getItem(`${stateKey}.zoom`) || (touch ? '32' : '24');
  } catch {
    zoom.value = '24';
  }
  zoomed();
  makePalette();
  judged.textContent = 'Loading the level reader…';

  BrakkoProve().then(async (module) => {
    reader = module;
    mostRobots = reader._mostRobots();
    longestText = reader._longestText();
    byId('most-robots').textContent = mostRobots;
    // What storage held is checked as a file would be; anything the reader refuses is left behind.
    const kept = stored(stateKey) || {};
    const steps = (list) => (Array.isArray(list) ? list.map(sane).filter(Boolean).slice(-undoSteps) : []);
    level = sane(kept.level) || newLevel();
    undo = steps(kept.undo);
    redo = steps(kept.redo);
    const data = window.location.hash.startsWith('#level=') ? window.location.hash.slice('#level='.length) : null;
    if (data !== null) {
      // The editor's own level stays one Undo away from the linked one.
      history.replaceState(null, '', window.location.href.split('#')[0]);
      try {
        take(await brakkoLink.unpack(data), 'The level in the link');
      } catch (e) {
        shared.textContent = `The level in the link was refused: ${e.message}.`;
        shared.classList.add('error');
      }
    }
    listRecent();
    show();
    saved();
  }).catch((e) => {
    judged.textContent = `The level reader could not load (${e.message}); the grid still paints.`;
    judged.classList.add('error');
  });
})();
