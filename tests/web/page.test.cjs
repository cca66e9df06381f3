// The web build played as a player would, in Debian's Chromium (headless), served from 127.0.0.1: every
// screen at rest must show exactly the desktop game's pixels (BRAKKO_FRAMES, rendered in the same run),
// the keys and the touch pad must do what they say (practice mode's buttons too) and the pad draw the poses
// for the group, a held key is one press, the music pauses in a hidden tab and the sound switch silences it,
// damaged pictures and musics are refused as on the desktop, a win of level 2 is announced as it happens, the
// end must be named won or given up, and a missing file must be reported on the page. A level in a link plays
// to its win with its title and author shown as text, and gives back its own link; a link that inflates too
// far or holds a bad level is refused with its reason; a level of the pack is chosen from the list, and the pack
// played through keeps its wins in the browser across a reload. A new level is made and played from its link.
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const { serve, address, launch, packedFiles, damaged } = require('./site.cjs');

const site = process.env.BRAKKO_SITE;
const frames = process.env.BRAKKO_FRAMES;
const keyColour = [255, 128, 255];
const settleTimeout = 60000;

// The desktop's picture of a screen at rest, as RGB bytes in base64.
function desktopPicture(name) {
  const file = fs.readFileSync(path.join(frames, `${name}.ppm`));
  const header = file.subarray(0, 20).toString('latin1').match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  assert.ok(header, `${name}.ppm is not a binary PPM`);
  return file.subarray(header[0].length).toString('base64');
}

async function waitFor(what, check, timeout = settleTimeout) {
  const end = Date.now() + timeout;
  let last;
  while (Date.now() < end) {
    last = await check();
    if (last.done) return last;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  assert.fail(`${what}: still not so after ${timeout / 1000} s (${JSON.stringify(last)})`);
}

// How the canvas differs from a desktop picture: the count of differing pixels and the first one.
// Counts the pixels that differ in the canvas's top `rows` rows (all of them unless given).
function differsFrom(page, name, rows = 10000) {
  return page.evaluate(([name, rows]) => {
    const want = window.desktop[name];
    const canvas = document.getElementById('canvas');
    const got = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let count = 0;
    let first = null;
    const end = Math.min(want.length, rows * canvas.width * 3);
    for (let i = 0, j = 0; j < end; i += 4, j += 3) {
      if (got[i] !== want[j] || got[i + 1] !== want[j + 1] || got[i + 2] !== want[j + 2]) {
        if (count++ === 0) first = { x: (j / 3) % canvas.width, y: Math.floor(j / 3 / canvas.width),
          browser: [got[i], got[i + 1], got[i + 2]], desktop: [want[j], want[j + 1], want[j + 2]] };
      }
    }
    return { count, first, done: count === 0 };
  }, [name, rows]);
}

function atRestLikeTheDesktop(page, name) {
  return waitFor(`the ${name} in the browser should equal the desktop's at rest`, () => differsFrom(page, name));
}

function keyColourPixels(page) {
  return page.evaluate(([r, g, b]) => {
    const canvas = document.getElementById('canvas');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let count = 0;
    for (let i = 0; i < data.length; i += 4) count += data[i] === r && data[i + 1] === g && data[i + 2] === b;
    return count;
  }, keyColour);
}

// Taps the touch pad's button that shows `label` in large.
async function tapPad(page, label) {
  const button = await page.evaluateHandle(
    (label) => [...document.querySelectorAll('#pad b')].find((b) => b.textContent === label), label);
  await button.tap();
}

// Where each button beside the game stands on the page (a button held down aside), by its key or id, for the
// buttons showing.
const places = (page) => page.$$eval('#side button', (buttons) => {
  const at = (e) => (e ? [e.offsetLeft + at(e.offsetParent)[0], e.offsetTop + at(e.offsetParent)[1]] : [0, 0]);
  return Object.fromEntries(buttons.filter((b) => b.offsetWidth > 0 && getComputedStyle(b).visibility === 'visible')
    .map((b) => [b.dataset.area || b.id, at(b)]));
});

// On a phone no text of the page is smaller than 12 px, and none names a keyboard's key.
async function readable(page, where) {
  const { smallest, keys } = await page.evaluate(() => {
    let smallest = Infinity;
    const keys = [];
    const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    for (let text = walk.nextNode(); text; text = walk.nextNode()) {
      const style = getComputedStyle(text.parentElement);
      const shows = text.parentElement.getClientRects().length > 0 && style.visibility === 'visible';
      if (!text.textContent.trim() || !shows) continue;
      smallest = Math.min(smallest, parseFloat(style.fontSize));
      if (/\b(Escape|Backspace|Return|Enter|Space)\b|\b[a-z] (plays|steps)\b/.test(text.textContent))
        keys.push(text.textContent);
    }
    return { smallest, keys };
  });
  assert.ok(smallest >= 12, `${where}, no text should be smaller than 12 px, but one is ${smallest} px`);
  assert.deepEqual(keys, [], `${where}, no text should name a keyboard's key`);
}

// Every element showing stands wholly within the window: upright on a phone too, nothing is off-screen.
const inView = (page) => page.evaluate(() => ({ done: true, out: [...document.querySelectorAll('body *')].filter((e) => {
  const box = e.getBoundingClientRect();
  return box.width > 0 && getComputedStyle(e).visibility === 'visible'
    && (box.top < 0 || box.left < 0 || box.bottom > innerHeight + 0.5 || box.right > innerWidth + 0.5);
}).map((e) => e.id || e.tagName) }));

const notice = (page) =>
  page.evaluate(() => {
    const box = document.getElementById('notice');
    return { shown: !box.hidden, error: box.classList.contains('error'), text: box.textContent.trim() };
  });

// The site's address with `text` as a level in its link: raw DEFLATE in base64url, as the page reads it.
const levelLink = (server, text) => `${address(server)}#level=${zlib.deflateRawSync(text).toString('base64url')}`;

// A fresh page on the site (or at `at` on it) with the desktop pictures handed over, and every page error kept.
async function openGame(browser, server, viewport, at = address(server)) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  if (viewport) await page.setViewport(viewport);
  page.errors = [];
  page.said = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.on('console', (line) => {
    page.said.push(line.text());
    if (line.type() === 'error') page.errors.push(line.text());
  });
  // Every media element that is told to play, kept for the music checks: the browser's own API, the same
  // whichever Emscripten built the game.
  await page.evaluateOnNewDocument(() => {
    window.playedMedia = [];
    const play = HTMLMediaElement.prototype.play;
    HTMLMediaElement.prototype.play = function (...args) {
      if (!window.playedMedia.includes(this)) window.playedMedia.push(this);
      return play.apply(this, args);
    };
  });
  await page.goto(at);
  await page.evaluate((pictures) => {
    window.desktop = {};
    for (const [name, base64] of Object.entries(pictures))
      window.desktop[name] = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  }, Object.fromEntries(['title', 'title-touch', 'level1', 'ragequit', 'won', 'practice-title', 'practice-title-touch',
    'practice-level1']
    .map((name) => [name, desktopPicture(name)])));
  return page;
}

// The musics playing, and how far each has played.
const musicPlaying = (page) =>
  page.evaluate(() =>
    window.playedMedia.filter((a) => !a.paused).map((a) => a.currentTime));
const musicVolumes = (page) =>
  page.evaluate(() => window.playedMedia.filter((a) => !a.paused).map((a) => a.volume));
const oneMusicAt = (page, volume) => async () => {
  const volumes = await musicVolumes(page);
  return { volumes, done: volumes.length === 1 && volumes[0] === volume };
};

const screenIs = (page, screen) => () =>
  page.$eval('main', (main, screen) => ({ screen: main.dataset.screen, done: main.dataset.screen === screen }), screen);
const noticeSays = (page, pattern, error = false) => async () => {
  const n = await notice(page);
  return { ...n, done: n.shown && n.error === error && pattern.test(n.text) };
};

// Waits for `count` of the browser's animation frames, each of which runs the game frames that are due.
const animationFrames = (page, count) =>
  page.evaluate((count) => new Promise((resolve) => {
    const next = (left) => (left === 0 ? resolve() : requestAnimationFrame(() => next(left - 1)));
    next(count);
  }), count);

let browser;
let server;

before(async () => {
  server = await serve(site);
  browser = await launch();
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

test('played with the keyboard, the browser shows the desktop game', async (t) => {
  const page = await openGame(browser, server);
  await waitFor('the page should ask for a key', async () => {
    const n = await notice(page);
    return { ...n, done: n.shown && /press any key or click to start/i.test(n.text) };
  });

  await t.test('Return as the first key only starts the game, and the title settles as on the desktop', async () => {
    await page.keyboard.press('Enter');
    await atRestLikeTheDesktop(page, 'title');
    // Passed on to the game, that Return would have started the curtain, which closes in 63 frames; 120
    // animation frames run about twice as many.
    await animationFrames(page, 120);
    assert.equal((await differsFrom(page, 'title')).count, 0, 'the title should still be showing');
    assert.equal((await notice(page)).shown, false, 'the start notice should be gone');
    assert.equal(await keyColourPixels(page), 0, 'no key-colour pixel should show on the title');
  });

  await t.test('the title music plays after the first key', async () => {
    await waitFor('one music should be playing and moving on', async () => {
      const playing = await musicPlaying(page);
      return { playing, done: playing.length === 1 && playing[0] > 0 };
    }, 10000);
  });

  await t.test('in a hidden tab the music pauses, and it plays on when the tab is shown again', async () => {
    const other = await page.browserContext().newPage();
    await other.bringToFront();
    await waitFor('with another tab in front, no music should play', async () => {
      const playing = await musicPlaying(page);
      return { playing, hidden: await page.evaluate(() => document.hidden), done: playing.length === 0 };
    }, 10000);
    await page.bringToFront();
    await other.close();
    let resumedAt;
    await waitFor('shown again, the title music should play on', async () => {
      const playing = await musicPlaying(page);
      if (playing.length === 1 && resumedAt === undefined) resumedAt = playing[0];
      return { playing, done: playing.length === 1 && playing[0] > resumedAt };
    }, 10000);
  });

  await t.test('the sound switch silences the music and gives it back', async () => {
    await page.click('#sound');
    await waitFor('switched off, the music should play silently', oneMusicAt(page, 0), 10000);
    await page.click('#sound');
    await waitFor('switched on, the music should play at full volume', oneMusicAt(page, 1), 10000);
  });

  await t.test('Full screen has a way back', async () => {
    const full = (want) => async () => {
      const now = await page.evaluate(() =>
        [Boolean(document.fullscreenElement), document.getElementById('fullscreen').textContent]);
      return { now, done: now[0] === want && now[1] === (want ? 'Leave full screen' : 'Full screen') };
    };
    await page.click('#fullscreen');
    await waitFor('Full screen should fill the screen, its button showing the way back', full(true), 10000);
    await page.click('#fullscreen');
    await waitFor('the same button should leave full screen', full(false), 10000);
  });

  await t.test('Return leads through the curtain to level 1, as on the desktop', async () => {
    await page.keyboard.press('Enter');
    await atRestLikeTheDesktop(page, 'level1');
    assert.equal(await keyColourPixels(page), 0, 'no key-colour pixel should show on level 1');
  });

  await t.test('a formation key changes the picture', async () => {
    await page.keyboard.press('q');
    await waitFor('q should re-form the group on level 1', async () => {
      const { count } = await differsFrom(page, 'level1');
      return { count, done: count > 0 };
    }, 10000);
  });

  await t.test('Escape held down is one press: it leads to the rage-quit screen, and Escape there ends the game',
    async () => {
      // Held, a key repeats in a browser; each repeat would be one more Escape, which quits there.
      await page.keyboard.down('Escape');
      const held = 'the game ended while Escape was held: its repeats reached the game as more Escapes';
      await waitFor('the rage-quit screen should come to rest while Escape is held', async () => {
        await page.keyboard.down('Escape');
        assert.equal((await notice(page)).shown, false, held);
        return differsFrom(page, 'ragequit');
      });
      for (let i = 0; i < 10; i++) await page.keyboard.down('Escape');
      await animationFrames(page, 60);
      await page.keyboard.up('Escape');
      assert.equal((await notice(page)).shown, false, held);
      assert.equal((await differsFrom(page, 'ragequit')).count, 0, 'the rage-quit screen should still show');
      assert.equal(await keyColourPixels(page), 0, 'no key-colour pixel should show on the rage-quit screen');
      await page.keyboard.press('Escape');
      const ended = await waitFor('the page should say the game was given up', async () => {
        const n = await notice(page);
        return { ...n, done: n.shown && /gave up/i.test(n.text) };
      }, 10000);
      assert.match(ended.text, /play again/i, 'the ended page should offer to play again');
    });

  assert.deepEqual(page.errors, [], 'the page should raise no errors');
  await page.close();
});

test('Watch the solution plays the replay shipped in brakko.data to the end, named no win of the player\'s', async () => {
  const page = await openGame(browser, server);
  await waitFor('the page should offer the solution', () =>
    page.$eval('#solution', (button) => ({ done: !button.hidden })));
  await page.click('#solution');
  await waitFor('the replay\'s Return should close the curtain over the title', async () => {
    const { count } = await differsFrom(page, 'title');
    return { count, done: count > 300000 };
  }, 20000);
  assert.equal((await notice(page)).shown, false, 'no notice should cover the game');
  // Both levels are won on the way; screen 8 then rests as after giving up, over the picture of the win.
  const said = () =>
    page.$eval('#news', (news) => ({ text: news.textContent, done: /level 1/i.test(news.textContent) }));
  assert.match((await waitFor('the page should say level 1 is solved as it is', said, 120000)).text, /^The solution/);
  await waitFor('the solution should end on the picture of the win', () => differsFrom(page, 'won'), 180000);
  assert.match(await page.$eval('#news', (news) => news.textContent), /^The solution has played: both levels/,
    'the page should say that the solution played, as it ends');
  await page.click('#quit');
  const ended = await waitFor('Quit should end the game', noticeSays(page, /your turn/i), 10000);
  assert.match(ended.text, /solution has played/, 'the end should name no win of the player\'s');
  assert.equal(await page.$eval('#again', (b) => b.textContent), 'Play it yourself', 'the end should offer a try of one\'s own');
  assert.deepEqual(page.errors, [], 'the page should raise no errors');
  await page.close();
});

test('a picture cut short and a music of random bytes are refused as on the desktop, in the game\'s own words',
  async () => {
    const broken = await serve(site, [], damaged(site, { cut: ['/img/title.bmp'], noise: ['/snd/robot_wars.ogg'] }));
    try {
      const page = await openGame(browser, broken);
      await waitFor('the page should ask for a key', async () =>
        ({ done: /press any key/i.test((await notice(page)).text) }));
      await page.keyboard.press('Enter');
      await waitFor('the game should say which files it could not load', () =>
        ({ said: page.said, done: page.said.includes('probleme avec le fichier musical [./snd/robot_wars.ogg]') }));
      assert.ok(page.said.includes('porbl\u00e8me avec le fichier ./img/title.bmp'), 'the title picture should be '
        + `refused in the game's words, its accent read from the Latin-1 byte: ${JSON.stringify(page.said)}`);
      assert.ok(!page.said.some((line) => line.includes('\ufffd')), 'no console line should hold an undecodable byte');
      // Level 1 opens with the music that was refused: nothing plays, and nothing fails.
      await page.keyboard.press('Enter');
      await atRestLikeTheDesktop(page, 'level1');
      await waitFor('once level 1 has opened, no music should play', async () => {
        const playing = await musicPlaying(page);
        return { playing, done: playing.length === 0 };
      }, 10000);
      assert.deepEqual(page.errors, [], 'the page should raise no errors');
      await page.close();
    } finally {
      broken.close();
    }
  });

test('a site without brakko.data says the file could not be loaded', async () => {
  const broken = await serve(site, ['brakko.data']);
  try {
    const page = await openGame(browser, broken);
    const shown = await waitFor('the page should report the missing file', async () => {
      const n = await notice(page);
      return { ...n, done: n.error };
    }, 20000);
    assert.match(shown.text, /brakko\.data/, 'the message should name the file');
    await page.close();
  } finally {
    broken.close();
  }
});

test('on a phone, the touch pad sends the keys it shows and the canvas fits either way up', async () => {
  const portrait = { width: 412, height: 915, isMobile: true, hasTouch: true };
  const page = await openGame(browser, server, portrait);
  const tapKey = (label) => tapPad(page, label);
  const fits = () =>
    page.evaluate(() => {
      const canvas = document.getElementById('canvas').getBoundingClientRect();
      const pad = document.getElementById('pad').getBoundingClientRect();
      return { canvas: canvas.toJSON(), pad: pad.toJSON(), window: [innerWidth, innerHeight],
        done: canvas.right <= innerWidth && canvas.bottom <= innerHeight && pad.width > 0 &&
          pad.right <= innerWidth && pad.bottom <= innerHeight };
    });

  await waitFor('the page should ask for a tap', async () => {
    const n = await notice(page);
    return { ...n, done: n.shown && /tap/i.test(n.text) };
  });
  await readable(page, 'upright before the start');
  assert.deepEqual((await inView(page)).out, [], 'upright on the start notice, nothing should be off-screen');
  await page.tap('#keys');
  await readable(page, 'upright, in How to play');
  await page.tap('#keys');
  assert.equal(await page.$eval('#turn', (turn) => turn.offsetHeight > 0), true, 'upright, the page should ask '
    + 'for the phone to be turned');
  await page.touchscreen.tap(195, 100);
  // Started by a tap, the canvas names the pad's buttons.
  await atRestLikeTheDesktop(page, 'title-touch');
  // Level 1's poses for a pair: two cells, the anchor first, and no pose on w.
  const drawn = () => page.$$eval('#pad .pose', (buttons) =>
    buttons.map((b) => b.querySelector('.does')?.textContent ?? [...b.querySelectorAll('rect')].map((r) => r.getAttribute('class') || 'cell').join()));
  assert.deepEqual((await drawn()).slice(0, 2), ['anchor,cell', 'pair, cancel'], 'q should draw level 1\'s pose for a pair, w what it does');
  await tapKey('start');
  await atRestLikeTheDesktop(page, 'level1');
  assert.equal(await page.$eval('#pad [data-key="13"]', (b) => b.hidden), true, 'start should leave the pad with the title');
  await waitFor('in portrait, the canvas and the pad should both fit', fits, 2000);
  assert.deepEqual((await inView(page)).out, [], 'upright on level 1, nothing should be off-screen');
  const controls = (want) => () => page.$eval('main', (main, want) => ({ done: main.dataset.controls === want }), want);
  await waitFor('on a touch screen the game\'s words should name the pad\'s buttons', controls('1'), 10000);
  // The start's choices stay one tap away, and the game goes on behind them.
  await page.tap('#menu');
  assert.deepEqual(await page.$$eval('#solution, #play-pack, #practice-choice', (all) => all.map((e) => e.offsetWidth > 0)),
    [true, true, true], 'Menu should offer the start\'s choices');
  await page.tap('#back');
  assert.equal((await notice(page)).shown, false, 'Back to the game should close the menu');
  await tapKey('q');
  await waitFor('the pad\'s q should re-form the group on level 1', async () => {
    const { count } = await differsFrom(page, 'level1');
    return { count, done: count > 0 };
  }, 10000);
  await page.setViewport({ ...portrait, width: 915, height: 412 });
  await waitFor('in landscape, the canvas and the pad should both fit', fits, 2000);
  await readable(page, 'sideways on level 1');
  await page.keyboard.press('Shift');
  await waitFor('a real key pressed, the game\'s words should name the keys', controls('0'), 10000);
  assert.equal(await page.$eval('body', (b) => b.classList.contains('hand-touch')), false, 'the legend should name the keys');
  assert.equal(await page.$eval('#turn', (turn) => turn.offsetHeight), 0, 'sideways, nothing should ask to turn');
  assert.deepEqual(page.errors, [], 'the page should raise no errors');
  await page.close();
});

test('in practice mode the pad has Undo and Restart, Escape must be held, and the choice is remembered', async () => {
  const page = await openGame(browser, server, { width: 915, height: 412, isMobile: true, hasTouch: true });
  const choiceShown = () => page.$eval('#practice-choice', (choice) => ({ done: !choice.hidden }));
  await waitFor('the page should offer practice mode', choiceShown);
  assert.equal(await page.$eval('#practice', (box) => box.checked), false, 'practice mode starts unticked');
  const placed = await places(page);
  await page.tap('#practice');
  assert.equal(await page.$eval('#practice', (box) => box.checked), true, 'a tap should tick practice mode');
  await page.tap('#sound');
  assert.match((await notice(page)).text, /tap to start/i, 'the box and the sound switch should not start the game');

  await page.touchscreen.tap(195, 100);
  await atRestLikeTheDesktop(page, 'practice-title-touch');
  await waitFor('switched off before the start, the title music should play silently', oneMusicAt(page, 0), 10000);
  const shown = () => page.$$eval('#pad .practice-only, #pad .title-only',
    (all) => all.filter((e) => !e.hidden).map((e) => e.dataset.area || e.id).join());
  assert.equal(await shown(), 'pause,step,slow,undo,restart,hint,start,level2',
    'practice mode\'s buttons, start and Level 2 should show on the title');
  // Every button that showed before the start and still shows stands where it stood.
  const samePlaces = async (where) => {
    const now = await places(page);
    const kept = Object.keys(placed).filter((k) => k in now);
    const of = (where) => Object.fromEntries(kept.map((k) => [k, where[k]]));
    assert.deepEqual(of(now), of(placed),
      `${where}, ticked practice mode should move no button that was there`);
  };
  await samePlaces('on the title');
  await tapPad(page, 'start');
  await atRestLikeTheDesktop(page, 'practice-level1');
  assert.equal((await differsFrom(page, 'level1')).count, 0,
    'the canvas should draw no practice sign: level 1 as without practice mode');
  assert.equal(await shown(), 'pause,step,slow,undo,restart,hint,map',
    'start and Level 2 should leave with the title, and Map take Level 2\'s room');
  await tapPad(page, 'Map');
  await waitFor('Map should show the whole level and say so', async () =>
    ({ done: await page.$eval('#time', (p) => p.textContent.startsWith('Map')) }), 10000);
  await tapPad(page, 'Map');
  await waitFor('the undo count should show beside the game', async () =>
    ({ done: await page.$eval('#undo', (p) => p.textContent === 'undo: 0 steps back') }), 10000);
  await readable(page, 'sideways in practice mode');
  await tapPad(page, 'd');
  await tapPad(page, 'Pause');
  await waitFor('the signs should say the group and the pause', async () =>
    ({ done: await page.$eval('#time', (p) => p.textContent.startsWith('Paused')) }), 10000);
  await samePlaces('on level 1, paused');
  await tapPad(page, 'Play');
  // Pause reads Play while paused, and Slow names its speed, as the game tells them.
  const time = () => page.$$eval('#pad [data-area="pause"] b, #pad [data-area="slow"] small',
    (words) => words.map((w) => w.textContent).join(' '));
  for (const [tap, want] of [['Pause', 'Play full speed'], ['Slow', 'Play 1/2'], ['Play', 'Pause 1/2'],
    ['Slow', 'Pause 1/4'], ['Slow', 'Pause full speed']]) {
    await tapPad(page, tap);
    await waitFor(`${tap} should leave the pad showing ${want}`, async () => {
      const got = await time();
      return { got, done: got === want };
    }, 10000);
  }
  const backs = [['the pad\'s Restart', () => tapPad(page, 'Restart')], ['the pad\'s Undo', () => tapPad(page, 'Undo')],
    ['the keyboard\'s r', () => page.keyboard.press('r')], ['the keyboard\'s Backspace', () => page.keyboard.press('Backspace')]];
  for (const [what, back] of backs) {
    // The first time after a slip onto Escape: a tap, not a hold, which must give nothing up.
    if (what === backs[0][0]) await tapPad(page, 'hold to give up');
    await tapPad(page, 'd');
    await waitFor('d should fuse the pair on level 1', async () => {
      const { count } = await differsFrom(page, 'practice-level1');
      return { count, done: count > 0 };
    }, 10000);
    await back();
    // The map only: the signs below it count the steps Backspace can take back.
    await waitFor(`after d, ${what} should give level 1 back as it rests at its start`,
      () => differsFrom(page, 'practice-level1', 400));
  }

  // Escape given by the pad only once held: the curtain closes while the finger is still down.
  const escape = await page.$('#pad .hold');
  const box = await escape.boundingBox();
  const finger = await page.touchscreen.touchStart(box.x + box.width / 2, box.y + box.height / 2);
  await waitFor('held, the pad\'s Escape should give up level 1', async () => {
    const { count } = await differsFrom(page, 'practice-level1');
    return { count, done: count > 100000 };
  }, 10000);
  await finger.end();

  await page.reload();
  await waitFor('the reloaded page should offer practice mode', choiceShown);
  assert.equal(await page.$eval('#practice', (box) => box.checked), true, 'the page should remember practice mode');
  assert.equal(await page.$eval('#sound', (b) => b.textContent), 'Sound: off', 'the page should remember the sound off');
  await page.touchscreen.tap(195, 100);
  await waitFor('the game should draw its poses on the pad', async () => ({ done: await page.$('#pad svg') !== null }));
  await tapPad(page, 'Level 2');
  await waitFor('the pad\'s Level 2 should lead from the title to level 2', () =>
    page.$eval('main', (main) => ({ screen: main.dataset.screen, done: main.dataset.screen === '3' })), 10000);
  assert.deepEqual(page.errors, [], 'the page should raise no errors');
  await page.close();
});

// A level won by its first pose: the pair falls onto the goal. Its title and author would run script as markup.
const title = '<script>window.ran = 1</script>';
const author = '<img src=x onerror="window.ran = 2">';
const tiny = `title: ${title}\nauthor: ${author}\n#####\n# 1 #\n# 2 #\n##@##\n#####\n`;

test('a level in a link shows its title and author as text, plays to its win and copies its own link', async () => {
  const page = await openGame(browser, server, undefined, levelLink(server, tiny));
  await waitFor('the page should offer the link\'s level by its title and author', async () => {
    const n = await notice(page);
    return { ...n, done: n.text.startsWith(`${title} by ${author}: press any key`) };
  });
  await page.keyboard.press('Enter');
  await waitFor('the level\'s title should name the window', async () => {
    const name = await page.title();
    return { name, done: name === `Brakko: ${title}` };
  }, 10000);
  // At rest on the title the game's loop sleeps, and a key wakes it.
  await waitFor('the title at rest should let the game sleep', async () => ({
    done: await page.evaluate(() => window.Module.asleep === true) }), 10000);
  await page.keyboard.press('Enter');
  await waitFor('Return should lead from the title to the level', screenIs(page, '4'), 10000);
  await page.keyboard.press('c');
  await waitFor('the pose should win the level', async () => ({
    done: (await page.$eval('#news', (news) => news.textContent)).startsWith(`${title}: solved!`) }), 10000);
  assert.equal(await page.$eval('#level-name', (p) => p.textContent), `${title} by ${author}`,
    'the title and author should show beside the game as they are written');
  assert.deepEqual(await page.evaluate(() => [typeof window.ran, document.querySelectorAll('img, #level-name *').length]),
    ['undefined', 0], 'no markup of the title or author should be made, nor run');

  // The clipboard refused, as browsers may: the link shows in a field to copy by hand.
  await page.evaluate(() => { navigator.clipboard.writeText = () => Promise.reject(new Error('refused')); });
  await page.click('#copy-link');
  const link = await waitFor('Copy link should show the link', () =>
    page.$eval('#link', (field) => ({ value: field.value, done: !field.hidden })), 10000);
  assert.equal(zlib.inflateRawSync(Buffer.from(link.value.split('#level=')[1], 'base64url')).toString(), tiny,
    'the copied link should hold the level\'s text');
  assert.deepEqual(page.errors, [], 'the page should raise no errors');
  await page.close();
});

test('A new level (easy) is made in a worker and played from its link, the text brakko-generate prints', async () => {
  const page = await openGame(browser, server);
  await waitFor('the start should offer a new level', noticeSays(page, /to start/));
  await page.select('#difficulty', 'easy');
  await page.click('#play-new');
  const offered = await waitFor('the new level should be offered by its title', async () => {
    // The page goes to the level's link while it is asked.
    const n = await notice(page).catch(() => ({ text: '' }));
    return { ...n, done: /^Generated easy \d+ by Brakko level generator: press any key/.test(n.text) };
  }, 120000);
  const seed = offered.text.match(/^Generated easy (\d+)/)[1];
  await page.keyboard.press('Enter');
  await waitFor('its title should name the window', async () => {
    const name = await page.title();
    return { name, done: name === `Brakko: Generated easy ${seed}` };
  }, 10000);
  const made = require('node:child_process').spawnSync(
    path.join(path.dirname(process.env.BRAKKO_SOLVE), 'brakko-generate'), ['--seed', seed, '--difficulty', 'easy']);
  assert.equal(zlib.inflateRawSync(Buffer.from(page.url().split('#level=')[1], 'base64url')).toString(),
    made.stdout.toString(), 'the link should hold the text brakko-generate prints for its ID');
  assert.deepEqual(page.errors, [], 'the page should raise no errors');
  await page.close();
});

test('a link that inflates past the largest level or holds a bad level is refused, and the page goes on', async () => {
  // A few hundred bytes of link that inflate to 100 kB.
  const page = await openGame(browser, server, undefined, levelLink(server, ' '.repeat(100000)));
  await waitFor('the inflating link should be refused', noticeSays(page, /longer than 8192 bytes/, true));
  await page.close();

  const bad = await openGame(browser, server, undefined, levelLink(server, tiny.replace('# 2 #', '# 2\t#')));
  await waitFor('the page should offer the link\'s level', noticeSays(bad, /press any key/));
  await bad.keyboard.press('Enter');
  await waitFor('the level should be refused with the reader\'s reason',
    noticeSays(bad, /refused: line 5, column 4: a tab/, true), 10000);
  await Promise.all([bad.waitForNavigation(), bad.click('#again')]);
  assert.equal(bad.url(), address(server), 'the page should go on without the link');
  await waitFor('the page should offer Brakko\'s own levels', noticeSays(bad, /^press any key/i));
  assert.deepEqual(bad.errors, [], 'the page should raise no errors');
  await bad.close();
});

test('a level of the pack is chosen from the list and played', async () => {
  const page = await openGame(browser, server);
  const pack = Object.keys(packedFiles(site)).filter((name) => name.endsWith('.level'))
    .map((name) => path.basename(name)).sort();
  const listed = await waitFor('the page should list the pack', async () => {
    const names = await page.$$eval('#pack option', (options) => options.map((o) => o.value));
    return { names, done: names.length > 0 };
  });
  assert.deepEqual(listed.names, pack, 'the list should hold the pack\'s levels in the order of their names');
  await page.select('#pack', pack[1]);
  await page.click('#play-level');
  const name = await page.$eval('#pack option:checked', (option) => option.textContent);
  await waitFor('the chosen level\'s title should name the window', async () => {
    const named = await page.title();
    return { named, done: named === `Brakko: ${name}` };
  }, 10000);
  await page.keyboard.press('Enter');
  await waitFor('Return should lead to the chosen level', screenIs(page, '4'), 10000);

  // The pack played through in practice mode over a progress text the game cannot read, which it moves aside.
  await page.evaluate(() => localStorage.setItem('brakko.progress', 'not a progress file\n'));
  await page.reload();
  await waitFor('the reloaded page should offer the pack', () => page.$eval('#pack-choice', (c) => ({ done: !c.hidden })));
  await page.click('#practice');
  await page.click('#play-pack');
  const levelIs = (number) => async () =>
    ({ done: (await page.$eval('#level-name', (p) => p.textContent)).startsWith(`Level ${number} of ${pack.length}: `) });
  await waitFor('the pack should start at level 1', levelIs(1), 10000);
  await page.keyboard.press('Enter');
  await waitFor('Return should lead to the pack\'s first level', screenIs(page, '4'), 10000);
  const signs = () => page.evaluate(() => [document.querySelector('main').dataset.screen,
    document.getElementById('hint-said').textContent]);
  // h asked again while no hint shows: the game takes it only once the level is open and no hint plays.
  await waitFor('hints should win level 1', async () => {
    const [screen, hint] = await signs();
    if (screen === '4' && hint === '') await page.keyboard.press('h');
    return { screen, hint, done: screen === '5' };
  });
  assert.match(await page.$eval('#news', (n) => n.textContent), /^Level 1 solved in \d+ moves? \(par 7\)\.$/);
  assert.equal(await page.$$eval('#pad .solved-too', (all) => all.filter((b) => !b.hidden).map((b) => b.textContent).join()),
    'Again,nextlevel 2', 'the pad should offer the next level and the same again');
  await waitFor('the win should be kept in the browser, the unreadable text replaced', async () => {
    const text = await page.evaluate(() => localStorage.getItem('brakko.progress'));
    return { text, done: /^brakko progress 1\n[0-9a-f]{16} \d+\n$/.test(text) };
  });
  assert.equal(await page.evaluate(() => localStorage.getItem('brakko.progress.damaged')), 'not a progress file\n',
    'the unreadable text should be kept aside in the browser');
  await page.click('#quit');
  await waitFor('Quit should end the pack', noticeSays(page, new RegExp(`solved 1 of the pack's ${pack.length} levels`)), 10000);
  await page.reload();
  const marked = await waitFor('the reloaded list should mark level 1 solved', () =>
    page.$$eval('#pack option', (all) =>
      ({ texts: all.map((o) => o.textContent), done: /: solved in \d+ moves?$/.test(all[0]?.textContent) })));
  assert.equal(marked.texts.filter((t) => t.includes('solved')).length, 1, 'only level 1 should be marked solved');
  await page.click('#play-pack');
  await waitFor('the pack should start again at level 2', levelIs(2), 10000);
  assert.deepEqual(page.errors, [], 'the page should raise no errors');
  await page.close();
});

// The level editor: where a cell of its grid is on the page, a drag over cells, and its verdict.
const cellCentre = (page, x, y) => page.$eval(`#grid .cell[data-x="${x}"][data-y="${y}"]`, (cell) => {
  cell.scrollIntoView({ block: 'nearest', inline: 'nearest' });
  const box = cell.getBoundingClientRect();
  return [box.left + box.width / 2, box.top + box.height / 2];
});
async function drag(page, from, to) {
  await page.mouse.move(...await cellCentre(page, ...from));
  await page.mouse.down();
  await page.mouse.move(...await cellCentre(page, ...to), { steps: 3 });
  await page.mouse.up();
}
const tool = (page, tile) => page.click(`#palette [data-tile="${tile}"]`);
const verdictSays = (page, pattern) => () =>
  page.$eval('#verdict', (v, source) => ({ text: v.textContent, done: new RegExp(source).test(v.textContent) }), pattern.source);
async function openEditor(at) {
  const page = await openGame(browser, server, undefined, at || `${address(server)}editor.html`);
  await waitFor('the editor\'s reader should load', () =>
    page.$eval('#judged', (p) => ({ text: p.textContent, done: !/Loading/.test(p.textContent) })), 20000);
  return page;
}
const typeText = (page, text) => page.$eval('#text', (field, text) => {
  field.value = text;
  field.dispatchEvent(new Event('input'));
}, text);

test('a level painted in the editor is proved with brakko-solve\'s par, played, shared and edited again', async () => {
  const page = await openEditor();
  // A resize keeps the border walled: down to a room of no inside, then up to 10 x 6 around an empty inside.
  for (const [cols, rows] of [[3, 2], [10, 6]]) {
    await page.$eval('#cols', (field, cols) => { field.value = cols; }, cols);
    await page.$eval('#rows', (field, rows) => { field.value = rows; }, rows);
    await page.click('#resize');
  }
  await tool(page, '#');
  await drag(page, [9, 1], [9, 5]);
  await drag(page, [8, 5], [1, 5]);
  await tool(page, 'robot');
  await drag(page, [2, 2], [2, 3]);
  await tool(page, '@');
  await page.mouse.click(...await cellCentre(page, 7, 5));
  const made = '##########\n#        #\n# 1      #\n# 2      #\n#        #\n#######@##\n';
  assert.equal(await page.$eval('#text', (t) => t.value), made, 'the text should be the level painted');

  await page.click('#prove');
  const said = await waitFor('Prove should find the par', verdictSays(page, /Par: \d+ ticks/), 60000);
  const file = path.join(fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'brakko-editor-')), 'made.level');
  fs.writeFileSync(file, made);
  const solved = require('node:child_process').spawnSync(process.env.BRAKKO_SOLVE, [file, '--weight', '0']);
  assert.equal(said.text.match(/Par: (\d+)/)[1], solved.stdout.toString().match(/won at tick (\d+)/)[1],
    'the par should be brakko-solve\'s shortest');

  // Watch: the game plays the plan found to the level's win.
  await Promise.all([page.waitForNavigation(), page.click('#watch')]);
  await waitFor('Watch should open the level in the game', noticeSays(page, /press any key/));
  await page.keyboard.press('Enter');
  await waitFor('the plan should win the level', async () => {
    const said = await page.$eval('#news', (news) => news.textContent);
    return { said, done: /the plan has played to its win/.test(said) };
  });
  // Its end offers the player's own try, with no plan playing.
  await waitFor('the won level should rest on its solved screen', screenIs(page, '5'), 10000);
  // Escape asked again until the game, once its curtain has opened, takes it.
  await waitFor('the end should hand the level over', async () => {
    const said = await noticeSays(page, /your turn/i)();
    if (!said.shown) await page.keyboard.press('Escape');
    return said;
  }, 20000);
  await Promise.all([page.waitForNavigation(), page.click('#again')]);
  assert.equal(new URL(page.url()).search, '?from=editor', 'the try should play no plan');
  await page.goto(`${address(server)}editor.html`);
  await waitFor('the editor should come back from Watch', async () =>
    page.$eval('#text', (t, made) => ({ done: t.value === made }), made));

  // Undo takes back the goal; the grid and the text follow, and Redo gives it back.
  await page.click('#undo');
  assert.equal(await page.$eval('#text', (t) => t.value), made.replace('@', '#'), 'Undo should take the goal back');
  await page.click('#redo');

  await Promise.all([page.waitForNavigation(), page.click('#play')]);
  await waitFor('Play should open the level in the game', noticeSays(page, /press any key/));
  assert.deepEqual(await page.evaluate(() => [document.getElementById('practice').checked,
    document.getElementById('editor-link').textContent]), [true, 'Back to the editor'],
  'the level should start in practice mode, with the way back to the editor');
  await Promise.all([page.waitForNavigation(), page.click('#editor-link')]);
  await waitFor('the editor should come back with the level', async () =>
    page.$eval('#text', (t, made) => ({ done: t.value === made }), made));
  // Played from the editor, the game's end leads back to it.
  await Promise.all([page.waitForNavigation(), page.click('#play')]);
  await waitFor('Play should open the level again', noticeSays(page, /press any key/));
  await page.keyboard.press('Enter');
  await waitFor('the title should show', screenIs(page, '1'), 10000);
  await page.keyboard.press('Escape');
  await waitFor('Escape should give up', screenIs(page, '8'), 10000);
  await waitFor('Escape there should end the game', async () => {
    if (!page.url().endsWith('editor.html')) await page.keyboard.press('Escape').catch(() => {});
    return { done: page.url().endsWith('editor.html') };
  }, 20000);
  await waitFor('the game\'s end should lead back to the editor', async () =>
    page.$eval('#text', (t, made) => ({ done: t.value === made }), made));
  await page.click('#undo');
  assert.equal(await page.$eval('#text', (t) => t.value), made.replace('@', '#'), 'the undo steps should come back too');
  await page.click('#redo');

  await page.evaluate(() => { navigator.clipboard.writeText = () => Promise.reject(new Error('refused')); });
  await page.click('#copy');
  const link = await waitFor('Copy link should show the link', () =>
    page.$eval('#link', (field) => ({ value: field.value, done: !field.hidden })), 10000);
  const game = await openGame(browser, server, undefined, link.value);
  await waitFor('the link should open in the game', noticeSays(game, /press any key/));
  await Promise.all([game.waitForNavigation(), game.click('#editor-link')]);
  await waitFor('Edit this level should open the linked level in the editor', async () =>
    game.$eval('#text', (t, made) => ({ done: t.value === made }), made));
  assert.deepEqual([...page.errors, ...game.errors], [], 'the pages should raise no errors');
  await page.close();
  await game.close();
});

test('the editor says where a level is refused, when it cannot be won, and shows a title as text', async () => {
  const page = await openEditor();
  await page.evaluate(() => {
    window.workers = 0;
    window.Worker = class extends window.Worker { constructor(...args) { super(...args); window.workers += 1; } };
  });
  await page.click('#prove');
  await waitFor('a new level should be winnable', verdictSays(page, /^Winnable/), 60000);
  // The robots stand in a sealed room: no robot ever reaches the goal, which is known without a search.
  await typeText(page, '########\n# 1  # #\n# 2  #@#\n########\n');
  await page.click('#prove');
  await waitFor('a sealed goal should be found lost at once', verdictSays(page, /^Cannot be won: no robot can ever reach/));
  // A lone robot 3 can reach it but never joins a group: the search finds where the group got to.
  await typeText(page, '########\n# 1  #3#\n# 2  #@#\n########\n');
  await page.click('#prove');
  await waitFor('a sealed level should be found lost', verdictSays(page, /^Cannot be won: .* came as far as column 3, row 3/), 60000);
  assert.equal(await page.$$eval('#grid .closest', (cells) => cells.map((c) => `${c.dataset.x},${c.dataset.y}`).join()),
    '2,2', 'the grid should mark where the group got to');
  assert.equal(await page.evaluate(() => window.workers), 1, 'every proof should be made by one worker');

  await typeText(page, '########\n# 1  # #\n# 2  #@\n########\n');
  assert.match(await page.$eval('#judged', (p) => p.textContent), /^Line 3, column 8: /, 'the refusal should say where');
  assert.equal(await page.$$eval('#grid .cell', (cells) => cells.length), 32, 'the grid should keep the level last read');
  await page.click('#copy');
  assert.match(await page.$eval('#shared', (p) => p.textContent), /^Not copied: .* at line 3, column 8: /,
    'Copy link should refuse a level the reader refuses');
  await tool(page, ' ');
  await page.mouse.click(...await cellCentre(page, 5, 1));
  assert.equal(await page.$eval('#verdict', (v) => v.textContent), '', 'a changed level should drop the verdict');

  await page.type('#title', title);
  await page.click('#copy');
  await waitFor('Copy link should keep the level among the last made', () =>
    page.$eval('#link', (field) => ({ done: !field.hidden })), 10000);
  const recent = await page.$eval('#recent option:nth-child(2)', (o) => ({ text: o.textContent, value: o.value }));
  assert.equal(recent.text, `${title} (8 × 4)`, 'the level made should be listed by its title, as text');
  await page.select('#recent', recent.value);
  assert.deepEqual(await page.evaluate(() => [typeof window.ran, document.querySelectorAll('img, script:not([src])').length]),
    ['undefined', 0], 'no markup of the title should be made, nor run');
  assert.match(await page.$eval('#text', (t) => t.value), new RegExp(`^title: ${title.replace(/[/()]/g, '\\$&')}`),
    'the title should be written into the text as typed');
  await page.click('#new');
  assert.deepEqual(await page.evaluate(() => [document.getElementById('link').hidden, document.getElementById('shared').textContent]),
    [true, ''], 'New level should drop the old link');
  assert.deepEqual(page.errors, [], 'the page should raise no errors');
  await page.close();
});

test('while level 2\'s map is proved, no task on the editor\'s thread takes 50 ms', async () => {
  const page = await openEditor();
  const level2 = fs.readFileSync(path.join(__dirname, '../../src/rules/maps.h'), 'latin1')
    .match(/level2T\[\] =\s*((?:\s*"[^"]*")+);/)[1].match(/"([^"]*)"/g).map((row) => row.slice(1, -1));
  await typeText(page, `${level2.join('\n')}\n`);
  await waitFor('level 2\'s map should be read', () =>
    page.$eval('#judged', (p) => ({ text: p.textContent, done: p.textContent.startsWith('Read: 80 × 50') })));
  await page.evaluate(() => {
    window.longest = 0;
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) window.longest = Math.max(window.longest, entry.duration);
    }).observe({ type: 'longtask' });
  });
  await page.click('#prove');
  await waitFor('level 2\'s proof should end', verdictSays(page, /Par: |par is not known/), 240000);
  assert.ok(await page.evaluate(() => window.longest) < 50, 'no task of the page should take 50 ms or more');
  await page.close();
});
