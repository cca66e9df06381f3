// The page around the game: downloads brakko.wasm and brakko.data behind a progress bar, waits for a first
// key or tap (browsers play sound only after one; that key is not passed to the game), starts the game (in
// practice mode when the remembered box is ticked) on its own levels, on the pack played through (its
// progress kept in the browser's storage, the solved levels marked in the list), on a level of the pack or on a
// level in the page's link, keeps the canvas at the largest scale that fits, runs the touch pad (drawing the poses the
// game says its keys would ask for), switches the music off and on, asks for a phone to be turned, shows the
// game's news beside the canvas as text (each level won as it is won, a solution that has played, and practice
// mode's signs), gives a link to the level played, and says when the game ends (what the player solved, or
// given up), can't load, or refuses a level. During a game its Menu offers the start's choices again, the page
// starting afresh on the one chosen. Every text, the game's own too (setControls), names the control in the
// player's hand: the pad's buttons on a touch screen until a real key is pressed, the keys after.
//
// A level in a link, index.html#level=DATA, is packed and unpacked by link.js, which the level editor shares.
// The link is untrusted: its text is inflated only up to the largest level the game's reader takes, the
// reader itself checks the level, and its title and author reach the page as text only.
'use strict';

(function () {
  // The game's own numbers, from shared.js.
  const {
    titleScreen, level1Screen, level2Screen, ownLevelScreen, solvedScreen, packSolvedScreen, rageQuitScreen,
    keyReturn, keyEscape, keySpace, keyBackspace, keyRestart, keyLevel2, keyPause, keyStep, keySlow, keyHint,
    keyMap, formationKeys, controlsKeys, controlsTouch,
  } = window.brakko;
  const byId = (id) => document.getElementById(id);
  const canvas = byId('canvas');
  const main = document.querySelector('main');
  const side = byId('side');
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
  const news = byId('news');
  const quitButton = byId('quit');
  const posesPanel = byId('poses');
  const groupLine = byId('group');
  const waitLine = byId('waiting');
  const timeLine = byId('time');
  const hintLine = byId('hint-said');
  const undoLine = byId('undo');
  const soundButton = byId('sound');
  const fullscreenButton = byId('fullscreen');
  const poseButtons = [...pad.querySelectorAll('.pose')];
  const pauseButton = pad.querySelector('[data-area="pause"]');
  const slowButton = pad.querySelector('[data-area="slow"]');
  const legend = byId('legend');
  // The legend's rows for Return and 2, whose words depend on the level played.
  const legendRow = (name) => legend.querySelector(`[data-row="${name}"]`);
  const returnWords = legendRow('return').cells[1];
  const returnSaid = returnWords.textContent;
  const level2Row = legendRow('level2');
  const words = byId('words');
  const menuButton = byId('menu');
  const back = byId('back');
  const notice = byId('notice');
  const message = byId('message');
  const progress = byId('progress');
  const again = byId('again');
  const solution = byId('solution');
  const practiceChoice = byId('practice-choice');
  const practiceBox = byId('practice');
  const keysButton = byId('keys');
  const packChoice = byId('pack-choice');
  const packList = byId('pack');
  const playLevel = byId('play-level');
  const playPack = byId('play-pack');
  const levelName = byId('level-name');
  const copyButton = byId('copy-link');
  const linkField = byId('link');
  const escape = pad.querySelector('.hold');
  const touch = window.matchMedia('(pointer: coarse)').matches || navigator.maxTouchPoints > 0;
  // The control in the player's hand, whose names every text uses: the pad's buttons on a touch screen until a
  // real key is pressed, the keys until the pad is used.
  let hand = touch ? controlsTouch : controlsKeys;
  const handTouch = () => hand === controlsTouch;
  // How long the pad's Escape must be held before it reaches the game.
  const holdMs = 500;
  const practiceKey = 'brakko.practice';
  const soundKey = 'brakko.sound';
  // The pack's progress file, kept in the browser's storage between visits, and where the game reads and
  // writes it in its file system (XDG_STATE_HOME is /state there).
  const progressKey = 'brakko.progress';
  const stateHome = '/state';
  const progressFile = `${stateHome}/brakko/progress`;
  const damagedKey = 'brakko.progress.damaged';
  const damagedFile = `${progressFile}.damaged`;
  const svgNS = 'http://www.w3.org/2000/svg';
  // A choice made in the game's menu, for the page loaded again to start.
  const chosenKey = 'brakko.chosen';
  // The wins of Brakko's own levels in this visit, over every game the page has started since it opened.
  const visitKey = 'brakko.visit';

  // loading, ready (waiting for the start gesture), playing, ended, refused (a level) or failed.
  let state = 'loading';
  // Whether the game runs in practice mode, and the game's last news (see gameNews in seam.h), null before any.
  let practice = false;
  let told = null;
  let holding = null;
  // The level screens a hint has played on since they stood at their start.
  const hinted = new Set();
  let muted = false;
  // The level played in place of Brakko's own two, once the player has chosen one or followed a link: its
  // path in the game's file system, its text, and its title and author for show.
  let level = null;
  // Whether the game plays the pack through, and the pack's levels in order: file name, title, the digest the
  // progress file keys it by, and its entry in the list.
  let packRun = false;
  // The game's command-line arguments that the first gesture starts it with.
  let startArgs = [];
  const packLevels = [];
  // The level in the page's link, inflated while the game loads (null when the page has none).
  const linked = window.location.hash.startsWith('#level=')
    ? brakkoLink.unpack(window.location.hash.slice('#level='.length)) : null;
  // Its refusal is shown once the game has loaded; until then it is no error of the page's.
  linked?.catch(() => {});
  // The game's last line on its standard error: why it refused a level.
  let lastError = '';

  function say(text, { error = false, loading = false } = {}) {
    message.textContent = text;
    notice.classList.toggle('error', error);
    progress.hidden = !loading;
    solution.hidden = true;
    practiceChoice.hidden = true;
    packChoice.hidden = true;
    again.hidden = true;
    back.hidden = true;
    noticeShown(true);
  }

  // The notice shown or gone; while it shows, upright on a phone, it takes the pad's room below the canvas.
  function noticeShown(shown) {
    notice.hidden = !shown;
    document.body.classList.toggle('noticed', shown);
    menuButton.classList.toggle('off', shown || state !== 'playing');
    fit();
  }

  // The control in the player's hand changed: the game's words and the page's name its buttons or keys.
  function useHand(controls) {
    if (controls === hand) return;
    hand = controls;
    handShown();
    if (state === 'playing') window.Module._setControls(hand);
    if (state === 'ready') say(startWords());
    if (state === 'ready') choicesShown();
    if (told) {
      const n = told;
      told = null;
      newsShown(n);
    }
  }

  function handShown() {
    document.body.classList.toggle('hand-touch', handTouch());
    keysButton.textContent = handTouch() ? 'How to play' : 'Keys';
  }

  function fail(text) {
    if (state === 'failed') return;
    state = 'failed';
    say(text, { error: true });
  }

  // The room the canvas has with the legend below it, beside it or folded behind the Keys button, and beside
  // or above the pad; the layout that gives the largest whole scale wins (the earlier one on a tie), and a
  // window too small even for that gets the largest fraction.
  function room(layout) {
    document.body.classList.toggle('beside', layout === 'beside');
    document.body.classList.toggle('folded', layout === 'folded');
    document.body.classList.toggle('no-legend', layout === 'none');
    if (layout !== 'folded') document.body.classList.remove('keys-open');
    keysButton.hidden = layout !== 'folded';
    const style = getComputedStyle(main);
    const gap = parseFloat(style.rowGap) || 0;
    const outer = (element, vertical) => {
      const box = getComputedStyle(element);
      // What is not displayed takes no room, its margins neither.
      if (box.display === 'none') return 0;
      return vertical ? element.offsetHeight + parseFloat(box.marginTop) + parseFloat(box.marginBottom)
        : element.offsetWidth + parseFloat(box.marginLeft) + parseFloat(box.marginRight);
    };
    let width = window.innerWidth - 2 * parseFloat(style.paddingLeft);
    let height = window.innerHeight - 2 * parseFloat(style.paddingTop);
    if (layout === 'beside') width -= outer(legend, false) + (parseFloat(getComputedStyle(document.body).columnGap) || 0);
    else if (layout === 'below') height -= outer(legend, true);
    if (side.offsetWidth > 0) {
      if (style.flexDirection === 'row') width -= side.offsetWidth + gap;
      else height -= side.offsetHeight + gap;
    }
    // Upright on a phone the notice stands below the canvas, not over it.
    if (!notice.hidden && getComputedStyle(notice).position === 'static') height -= notice.offsetHeight;
    return Math.min(width / canvas.width, height / canvas.height);
  }

  function fit() {
    const open = document.body.classList.contains('keys-open');
    let best = null;
    // A touch screen's legend of the pad's buttons is folded behind its button, How to play.
    for (const layout of touch ? ['folded'] : ['below', 'beside', 'folded']) {
      const fits = room(layout);
      const better = !best || (fits >= 1 ? Math.floor(fits) > Math.floor(best.fits) : fits > best.fits + 1e-3);
      if (better) best = { layout, fits };
    }
    room(best.layout);
    if (open && best.layout === 'folded') document.body.classList.add('keys-open');
    const scale = best.fits >= 1 ? Math.floor(best.fits) : Math.max(best.fits, 0.1);
    document.documentElement.style.setProperty('--scale', scale);
  }

  function joined(chunks, length) {
    const whole = new Uint8Array(length);
    let at = 0;
    for (const chunk of chunks) {
      whole.set(chunk, at);
      at += chunk.length;
    }
    return whole;
  }

  // The whole file, reporting each chunk's size as it arrives.
  async function download(name, received) {
    let response;
    try {
      response = await fetch(name);
    } catch (e) {
      throw new Error(`${name} could not be fetched (${e.message})`);
    }
    if (!response.ok) throw new Error(`${name} could not be loaded (${response.status} ${response.statusText})`);
    const size = Number(response.headers.get('Content-Length')) || 0;
    const reader = response.body.getReader();
    const chunks = [];
    let length = 0;
    received(0, size);
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      length += value.length;
      received(value.length, 0);
    }
    return joined(chunks, length).buffer;
  }

  // A link to this page that plays the level `bytes`.
  async function linkTo(bytes) {
    return `${window.location.href.split('#')[0]}#level=${await brakkoLink.pack(bytes)}`;
  }

  // A level as the page keeps it, its title and author read from its header lines for show only: the
  // game's reader checks them, and refuses the level when they are wrong.
  function levelAt(path, bytes, name) {
    const found = { title: '', author: '', tip: '' };
    for (const line of new TextDecoder().decode(bytes).split('\n')) {
      const header = line.match(/^([a-z]*): ?(.*)$/);
      if (!header && line !== '') break;
      if (header && header[1] in found) found[header[1]] ||= header[2];
    }
    return { path, bytes, title: found.title || name, author: found.author, tip: found.tip };
  }

  function loadScript(name) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = name;
      script.onload = resolve;
      script.onerror = () => reject(new Error(`${name} could not be loaded`));
      document.body.appendChild(script);
    });
  }

  // The pack's levels, in the order of their file names, each offered by its title.
  function listPack() {
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
  function solvedShown() {
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
  function progressIn() {
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
  function progressOut() {
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

  async function ready() {
    if (state !== 'loading') return;
    progressIn();
    listPack();
    if (linked) {
      let bytes;
      try {
        bytes = await linked;
      } catch (e) {
        refuse(e.message);
        return;
      }
      window.Module.FS.writeFile('/link.level', bytes);
      level = levelAt('/link.level', bytes, 'The level in the link');
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
    if (!linked && chosen?.what === 'solution') startArgs = ['--solution'];
    if (!linked && chosen?.what === 'pack') {
      packRun = true;
      startArgs = ['--pack=/levels'];
    }
    const listed = packLevels.find((entry) => entry.name === chosen?.name);
    if (!linked && chosen?.what === 'level' && listed) {
      packList.value = listed.name;
      level = packLevel(listed);
      levelShown();
    }
    state = 'ready';
    say(startWords());
    choicesShown();
  }

  // What the first gesture starts.
  function startWords() {
    const go = handTouch() ? 'Tap to start' : 'Press any key or click to start';
    if (startArgs[0] === '--solution') return `The solution to watch: ${go.toLowerCase()}`;
    if (packRun) return `The pack: ${go.toLowerCase()}`;
    return level ? `${level.title}${level.author ? ` by ${level.author}` : ''}: ${go.toLowerCase()}` : go;
  }

  // The start's choices, on the start notice and in the menu.
  function choicesShown() {
    // The shipped solution is Brakko's own two levels': beside a level from a link it would mislead.
    solution.hidden = Boolean(linked);
    practiceChoice.hidden = false;
    packChoice.hidden = packList.options.length === 0;
  }

  // A level of the pack played alone: named by its place in the pack as well as its title.
  function packLevel(entry) {
    const path = `/levels/${entry.name}`;
    const found = levelAt(path, window.Module.FS.readFile(path), entry.name);
    found.place = `Level ${packLevels.indexOf(entry) + 1} of the pack`;
    return found;
  }

  // A choice made in the menu while a game plays, or after the game's end: the page starts afresh on it,
  // without the link, and the next gesture starts it. Nothing is chosen here otherwise.
  function chosenInMenu(what, name) {
    if (state !== 'menu' && state !== 'ended') return false;
    try {
      window.sessionStorage.setItem(chosenKey, JSON.stringify({ what, name }));
    } catch {
      // not kept: the page starts on its title
    }
    window.location.assign(window.location.pathname);
    return true;
  }

  // The menu over the game: the start's choices one tap away, the game going on under it until one is made.
  function menuShown() {
    if (state !== 'playing') return;
    letGo();
    state = 'menu';
    say('Choose what to play next (this game ends), or go back to the game.');
    choicesShown();
    again.textContent = 'Brakko\'s own two levels';
    again.hidden = false;
    back.hidden = false;
  }

  function menuGone() {
    if (state !== 'menu') return;
    state = 'playing';
    noticeShown(false);
  }

  // A level that the link's decoding or the game's reader refused: the reason in place of the game, and a
  // way on to Brakko's own levels, which is the page loaded again without the link.
  function refuse(reason) {
    state = 'refused';
    level = null;
    levelShown();
    say(`This level was refused: ${reason.replace(/\.$/, '')}.`, { error: true });
    again.textContent = 'Play Brakko\'s own levels';
    again.hidden = false;
  }

  // The level's title and author beside the game, as text, and its Copy link.
  function levelShown() {
    levelName.hidden = !level;
    copyButton.hidden = !level;
    linkField.hidden = true;
    if (level) {
      const named = level.author ? `${level.title} by ${level.author}` : level.title;
      levelName.textContent = `${level.place ? `${level.place}: ` : ''}${named}${level.tip ? `. Tip: ${level.tip}` : ''}`;
    }
    // The legend says what Return and 2 do on the title: a level of one's own has no level 1 or 2.
    returnWords.textContent = level ? 'start: leave the title for the level' : returnSaid;
    level2Row.hidden = Boolean(level);
    startShown(false);
    fit();
  }

  // Runs the game with these command-line arguments, in practice mode if the box is ticked; it returns at
  // once, the browser calling it from then on.
  function begin(args) {
    if (level) args = ['--level', level.path, ...args];
    if (watching) {
      const replay = watchReplay();
      if (!replay) {
        fail('The editor\'s plan for this level could not be played: prove the level again and Watch.');
        return;
      }
      args = [...args, '--replay', replay];
    }
    state = 'playing';
    practice = practiceBox.checked;
    told = null;
    noticeShown(false);
    screenShown(titleScreen);
    setTimeout(() => {
      window.Module._setMuted(muted ? 1 : 0);
      const status = window.Module.callMain(practice ? ['--practice', ...args] : args);
      // The game's words name the control in hand from its first frame that can.
      if (state === 'playing') window.Module._setControls(hand);
      // 2: the game's reader refused the level, in a line naming the file, which the page leaves out.
      if (status === 2 && level) refuse(lastError.replace(`brakko: ${level.path}: `, ''));
      else if (status) fail(`Brakko could not start (status ${status}); the browser's console says why.`);
    }, 0);
  }

  // The game's screen (the title, the two levels, a player's level, a pack's level solved, the pack solved,
  // rage-quit): start and Level 2 only do something on the title, Map only on the levels (in Level
  // 2's room, which is free there), practice mode's keys nothing on the rage-quit screen and the pack's two,
  // and Quit only on those three. A pack's level solved has its next level (start's button), again
  // (Restart's) and Quit, with or without practice mode. A button that does nothing is hidden but keeps its
  // room, so that no other moves.
  function screenShown(screen) {
    // Kept on the page too, where a style or a test can read it.
    main.dataset.screen = screen;
    for (const button of pad.querySelectorAll('.practice-only, .title-only, .level-only')) {
      button.hidden = !(button.classList.contains('solved-too') && screen === solvedScreen)
        && ((button.classList.contains('practice-only') && (!practice || quitsNow(screen)))
        || (button.classList.contains('title-only') && screen !== titleScreen)
        || (button.classList.contains('level-only') && !isLevel(screen))
        || (Number(button.dataset.key) === keyLevel2 && (level !== null || packRun)));
    }
    const solved = screen === solvedScreen;
    startShown(solved);
    pad.querySelector('[data-area="restart"] b').textContent = solved ? 'Again' : 'Restart';
    escape.querySelector('b').textContent = solved || screen === packSolvedScreen ? 'hold to quit' : 'hold to give up';
    quitButton.classList.toggle('off', !quitsNow(screen));
    posesPanel.classList.toggle('off', !practice);
  }

  // Escape quits on the rage-quit screen and the pack's two screens.
  const quitsNow = (screen) => screen === rageQuitScreen || screen === solvedScreen || screen === packSolvedScreen;
  // The screens that play a level.
  const isLevel = (screen) => screen === level1Screen || screen === level2Screen || screen === ownLevelScreen;

  // The start button's words: the title's level, or the pack's next level on its solved screen.
  function startShown(solved) {
    const n = told || {};
    const last = n.packLevel + 1 >= n.packLevels;
    // A level played alone is played again from its solved screen.
    const again = solved && !packRun;
    pad.querySelector('[data-area="start"] b').textContent = again ? 'again' : solved ? 'next' : 'start';
    pad.querySelector('[data-area="start"] small').textContent = again ? 'the level'
      : solved ? (last ? 'the end' : `level ${n.packLevel + 2}`)
      : packRun ? `level ${(n.packLevel || 0) + 1}` : level ? 'the level' : 'level 1';
  }

  // What a key does, in words: on a touch screen the pad's name for it, never a keyboard's.
  const keyWord = (key) => (key === keySpace ? (handTouch() ? 'let go' : 'Space') : String.fromCharCode(key));
  const poseKeys = String.fromCharCode(...formationKeys);
  // w and x ask for no pose: they start a pair, and a waiting pose gives way to them.
  const pairKeys = [1, 7];

  // Each pose key's button (and, without a pad, the poses panel) draws the cells the game says it would ask
  // for, "col,row" from the anchor (0,0), the anchor in gold; a field left empty is a key with no pose for
  // this group.
  function showPoses(text, n) {
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
  function timeShown(paused, slowness) {
    pauseButton.querySelector('b').textContent = paused ? 'Play' : 'Pause';
    pauseButton.setAttribute('aria-pressed', paused ? 'true' : 'false');
    slowButton.querySelector('small').textContent = slowness > 1 ? `1/${slowness}` : 'full speed';
    slowButton.setAttribute('aria-pressed', slowness > 1 ? 'true' : 'false');
  }

  // A line of the signs, changed only when its words do, so that a screen reader hears each change once.
  function line(element, text) {
    if (element.textContent !== text) element.textContent = text;
  }

  // The level won, while the screen it was won on or the one it leads to shows: the player's, or the
  // solution's that the page played. Level 1's win is gone once level 2 opens.
  function wonNews(n) {
    const level2Now = [level2Screen, ownLevelScreen, solvedScreen, rageQuitScreen].includes(n.screen);
    if (!(n.level2Won && level2Now) && !(n.level1Won && n.screen === level1Screen)) return '';
    if (n.replayed && level && n.level2Won) return `${level.title}: the plan has played to its win.`;
    if (n.replayed && n.level2Won) return 'The solution has played: both levels solved.';
    if (n.replayed) return 'The solution solved level 1.';
    if (!n.level2Won) return 'Level 1 solved!';
    if (level) return `${level.title}: solved!`;
    return n.level1Won || visitWins().level1 ? 'Level 2 solved: Brakko is solved!' : 'Level 2 solved!';
  }

  // Practice mode's signs as text, from the game's news: the group and its pose, time, the hint and undo.
  function practiceShown(n) {
    const onLevel = isLevel(n.screen);
    // A level the hint played in, until it stands at its start again.
    if (onLevel && n.steps === 0 && n.hint === 0) hinted.delete(n.screen);
    if (onLevel && n.hint === 2) hinted.add(n.screen);
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
      : level?.title || 'The level';
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
    const heading = told?.screen === solvedScreen && !told.pack;
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
  function newsShown(n) {
    const last = told || {};
    told = n;
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
    if (practice) practiceShown(n);
  }

  function soundShown() {
    soundButton.textContent = muted ? 'Sound: off' : 'Sound: on';
    soundButton.setAttribute('aria-pressed', muted ? 'false' : 'true');
  }

  // The first gesture only starts the game: it is kept from the game, which opens its keyboard afterwards.
  // The start's choices in the notice's corners, the Keys button and the sound and full-screen switches are not
  // the gesture.
  function start(event) {
    if (state !== 'ready') return;
    const choice = '#solution, #practice-choice, #pack-choice, #keys, #tools, #link, #editor-way';
    if (event.target instanceof Element && event.target.closest(choice)) return;
    event.preventDefault();
    event.stopPropagation();
    begin(startArgs);
  }

  // What the player solved, from the game's last news: a solution watched is none of it.
  function ended() {
    if (state !== 'playing' && state !== 'menu') return;
    state = 'ended';
    const n = told || {};
    // A level played from the editor leads back to it, where every edit waits.
    if (fromEditor && !watching) {
      window.location.assign('editor.html');
      return;
    }
    const visit = visitWins();
    const helped = (screen) => (hinted.has(screen) ? ' with the hint\'s help' : '');
    if (packRun) {
      const solved = solvedShown();
      say(solved === packLevels.length ? 'You solved the whole pack. Thanks for playing!'
        : `You have solved ${solved} of the pack's ${packLevels.length} levels. Thanks for playing!`);
    } else if (n.replayed) say(`The ${level ? 'plan' : 'solution'} has played to its end. Your turn now!`);
    else if (n.level2Won && level) say(`You solved ${level.title}${helped(ownLevelScreen)}. Thanks for playing!`);
    else if (n.level2Won && n.level1Won) say('You solved Brakko: both levels. Thanks for playing!');
    else if (n.level2Won && visit.level1) {
      say(`You solved level 2${helped(level2Screen)}, and level 1 before: Brakko is solved. Thanks for playing!`);
    } else if (n.level2Won) {
      say(`You solved level 2${helped(level2Screen)}. Level 1 is still to play. Thanks for playing!`);
    } else if (n.level1Won) {
      say(`You solved level 1${helped(level1Screen)}, then gave up on level 2. Thanks for playing!`);
    } else if (practice) {
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

  // Brakko's own levels won by the player in this visit, kept over the page's restarts in the tab's storage.
  function visitWins() {
    try {
      return JSON.parse(window.sessionStorage.getItem(visitKey)) || {};
    } catch {
      return {};
    }
  }

  function visitWon(n) {
    if (n.replayed || level || n.pack) return;
    const visit = visitWins();
    if ((!n.level1Won || visit.level1) && (!n.level2Won || visit.level2)) return;
    try {
      window.sessionStorage.setItem(visitKey, JSON.stringify({ level1: visit.level1 || n.level1Won,
        level2: visit.level2 || n.level2Won }));
    } catch {
      // not kept: the visit's wins are this game's
    }
  }

  // While the game runs it takes every key (so Space and the arrows never scroll), except the browser's own
  // shortcuts; before and after, the keys belong to the page. A held key is one press, as on the desktop,
  // where key repeat is off: the browser's repeats are kept from the game.
  function keyFilter(event) {
    const shortcut = event.ctrlKey || event.altKey || event.metaKey || /^F\d+$/.test(event.key);
    // A real key in hand: the words name the keys from now on.
    if (event.type === 'keydown' && event.isTrusted && !shortcut) useHand(controlsKeys);
    // Escape closes the menu, back to the game.
    if (state === 'menu' && event.type === 'keydown' && event.key === 'Escape') menuGone();
    if (state !== 'playing' || shortcut) {
      event.stopPropagation();
    } else if (event.repeat) {
      event.preventDefault();
      event.stopPropagation();
    }
  }

  // The game's standard output and error, a byte at a time, as lines for the console. The game writes its
  // messages as bytes, some in UTF-8 and one with a lone Latin-1 byte for its accent: a byte that does not
  // begin a whole UTF-8 sequence is read as Latin-1.
  function lines(show) {
    let bytes = [];
    return (value) => {
      // Some runtimes hand over signed bytes.
      const byte = value === null ? null : value & 0xff;
      if (byte !== null && byte !== 10) {
        bytes.push(byte);
        return;
      }
      if (byte === null && bytes.length === 0) return;
      let text = '';
      for (let i = 0; i < bytes.length; ) {
        const b = bytes[i];
        const length = b >= 0xf0 && b <= 0xf4 ? 4 : b >= 0xe0 && b <= 0xef ? 3 : b >= 0xc2 && b <= 0xdf ? 2 : 1;
        const sequence = bytes.slice(i, i + length);
        if (length > 1 && sequence.length === length && sequence.slice(1).every((c) => c >= 0x80 && c <= 0xbf)) {
          text += new TextDecoder().decode(new Uint8Array(sequence));
          i += length;
        } else {
          text += String.fromCharCode(b);
          i += 1;
        }
      }
      bytes = [];
      show(text);
    };
  }

  // A pad button presses its key at once, except Escape, which only once held for holdMs.
  function pressPad(event) {
    const button = event.target.closest('button');
    if (!button) return;
    event.preventDefault();
    if (state !== 'playing') return;
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
      if (state === 'playing') window.Module._pressKey(Number(escape.dataset.key));
    }, holdMs);
  }

  function letGo() {
    if (holding) clearTimeout(holding);
    holding = null;
    escape.classList.remove('down');
  }

  async function load() {
    let total = 0;
    let loaded = 0;
    const received = (bytes, size) => {
      total += size;
      loaded += bytes;
      if (total > 0) progress.value = Math.min(loaded / total, 1);
    };
    const [wasm, data] = await Promise.all([download('brakko.wasm', received), download('brakko.data', received)]);
    window.Module = {
      canvas,
      // The game decodes its own pictures, and a damaged one is just missing, as on the desktop; decoded by
      // the browser while loading, a damaged picture would stop the loading for good.
      noImageDecoding: true,
      wasmBinary: wasm,
      getPreloadedPackage: () => data,
      onRuntimeInitialized: ready,
      // The game keeps the pack's progress under XDG_STATE_HOME, read as the runtime starts.
      preRun: [() => { window.ENV.XDG_STATE_HOME = stateHome; }],
      onNews: newsShown,
      onExit: ended,
      onAbort: (what) => fail(`Brakko stopped: ${what}`),
      stdout: lines((text) => console.log(text)),
      stderr: lines((text) => {
        lastError = text;
        console.warn(text);
      }),
      // What the runtime itself says.
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
    };
    await loadScript('brakko.js');
  }

  if (touch) document.body.classList.add('touch');
  handShown();
  fit();
  window.addEventListener('resize', fit);
  window.addEventListener('keydown', start, true);
  window.addEventListener('pointerdown', start, true);
  window.addEventListener('keydown', keyFilter, true);
  window.addEventListener('keyup', keyFilter, true);
  pad.addEventListener('pointerdown', pressPad);
  for (const end of ['pointerup', 'pointercancel', 'pointerleave']) escape.addEventListener(end, letGo);
  // After a refused level, the page without its link.
  // In the menu, Brakko's own levels from the title; after a plan watched from the editor, the player's own
  // try at the level, with no plan playing.
  again.addEventListener('click', () => {
    if (state === 'menu' && chosenInMenu('own')) return;
    if (state === 'refused') window.location.replace(window.location.href.split('#')[0]);
    else if (watching && told?.replayed) window.location.assign(`?from=editor${window.location.hash}`);
    else window.location.reload();
  });
  menuButton.addEventListener('click', menuShown);
  back.addEventListener('click', menuGone);
  // A link pasted over the page's own address changes only its hash; it is followed as a new page.
  window.addEventListener('hashchange', () => window.location.reload());
  // Both levels won by the replay shipped with the game; on the rage-quit screen the keys are the player's.
  solution.addEventListener('click', () => {
    if (chosenInMenu('solution') || state !== 'ready') return;
    level = null;
    levelShown();
    begin(['--solution']);
  });
  // The pack played through, from its first level not yet solved.
  playPack.addEventListener('click', () => {
    if (chosenInMenu('pack') || state !== 'ready') return;
    level = null;
    packRun = true;
    levelShown();
    begin(['--pack=/levels']);
  });
  playLevel.addEventListener('click', () => {
    if (chosenInMenu('level', packList.value) || state !== 'ready') return;
    level = packLevel(packLevels.find((entry) => entry.name === packList.value));
    levelShown();
    begin([]);
  });
  // The link goes to the clipboard where the browser allows; where it refuses, into a field to copy by hand.
  copyButton.addEventListener('click', async () => {
    const link = await linkTo(level.bytes);
    try {
      await navigator.clipboard.writeText(link);
      copyButton.textContent = 'Link copied';
    } catch {
      linkField.value = link;
      linkField.hidden = false;
      linkField.select();
      fit();
    }
  });
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
    if (state === 'playing') window.Module._setMuted(muted ? 1 : 0);
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
    if (state === 'playing' && quitsNow(Number(main.dataset.screen))) window.Module._pressKey(keyEscape);
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

  // The level editor's ways in and out: a level played from the editor starts in practice mode and leads
  // back to it (where the editor keeps every edit); any other level in a link can be edited there.
  const fromEditor = new URLSearchParams(window.location.search).get('from') === 'editor';
  // Watch: the plan the editor proved for this very level, played by the game without practice mode.
  const watching = fromEditor && new URLSearchParams(window.location.search).has('watch');
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
    if (!kept || !Array.isArray(kept.plan) || kept.text !== new TextDecoder().decode(level.bytes)) return null;
    const fs = window.Module.FS;
    fs.writeFile('/watch.level', level.bytes);
    fs.writeFile('/watch.plan', kept.plan.map(([tick, command]) => `${Number(tick)} ${Number(command)}\n`).join(''));
    return window.Module._watchPlan() === 0 ? '/watch.replay' : null;
  }
  if (linked) {
    const editorLink = byId('editor-link');
    editorLink.href = fromEditor ? 'editor.html' : `editor.html${window.location.hash}`;
    editorLink.textContent = fromEditor ? 'Back to the editor' : 'Edit this level';
  }

  if (typeof WebAssembly !== 'object') {
    fail('This browser cannot run WebAssembly, which Brakko needs. A recent Firefox, Chrome, Safari or Edge can.');
    return;
  }
  say('Loading Brakko…', { loading: true });
  load().catch((e) => fail(`Brakko could not start: ${e.message}. Reloading the page may help.`));
})();
