// Measures web builds in headless Chromium, by hand (not a test), one after another in one run so that a
// before and an after meet the same machine: time from navigation to the start prompt and to the title's
// first frame, pictures drawn per second and the browser's CPU use on each screen, and the sizes of the
// site's files raw and gzipped. Saves screenshots of each stage when given a directory.
// With music, each screen's music is also measured alone on a page that only plays it: the floor that a
// screen at rest is held to.
// Usage: NODE_PATH=build/tests/web/node_modules node bench/web_speed.cjs [seconds] [--no-music] [--shots=DIR] [site...]
// (default build-web/site; the browser test's `npm ci` installs puppeteer-core there).
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const { serve, address, launch } = require('../tests/web/site.cjs');

// Numbers are the seconds to measure each screen, words the sites; --shots=DIR saves screenshots, and
// --no-music measures the game without its music playing.
const words = process.argv.slice(2);
const seconds = Number(words.find((word) => /^\d+$/.test(word)) || 10);
const noMusic = words.includes('--no-music');
const shots = (words.find((word) => word.startsWith('--shots=')) || '').slice('--shots='.length);
const sites = words.filter((word) => !/^\d+$/.test(word) && !word.startsWith('--')).map((site) => path.resolve(site));
if (sites.length === 0) sites.push(path.resolve('build-web/site'));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Every picture drawn paints its background once over the whole canvas, a picture or a black fill: counting
// those calls counts pictures without touching the game. The rage-quit map's window covers the whole canvas
// too, so draws are counted for each picture apart, and a frame is one draw of the picture drawn most.
function countFrames() {
  let fills = 0;
  const draws = new Map();  // picture → its draws over the whole canvas
  window.frameCounts = () => [fills, ...draws.values()];
  const whole = (ctx, w, h) => ctx.canvas.id === 'canvas' && w === ctx.canvas.width && h === ctx.canvas.height;
  const fill = CanvasRenderingContext2D.prototype.fillRect;
  CanvasRenderingContext2D.prototype.fillRect = function (x, y, w, h) {
    if (whole(this, w, h)) fills++;
    return fill.apply(this, arguments);
  };
  const draw = CanvasRenderingContext2D.prototype.drawImage;
  CanvasRenderingContext2D.prototype.drawImage = function (image, sx, sy, sw, sh) {
    if (arguments.length === 9 && whole(this, sw, sh)) draws.set(image, (draws.get(image) || 0) + 1);
    return draw.apply(this, arguments);
  };
}

// The pictures drawn between two readings of frameCounts.
function framesBetween(before, after) {
  let most = 0;
  for (let i = 1; i < after.length; ++i) most = Math.max(most, after[i] - (before[i] || 0));
  return after[0] - before[0] + most;
}

// Clock ticks of CPU used by a process and all its descendants.
function cpuTicks(root) {
  const parent = new Map();
  const used = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
      parent.set(Number(pid), Number(fields[1]));
      used.set(Number(pid), Number(fields[11]) + Number(fields[12]));
    } catch {
      // gone meanwhile
    }
  }
  const inTree = (pid) => {
    for (let p = pid; p > 1; p = parent.get(p) || 0) if (p === root) return true;
    return false;
  };
  let total = 0;
  for (const [pid, ticks] of used) if (inTree(pid)) total += ticks;
  return total;
}

// One site: its files' sizes, how soon it starts, and the browser's CPU on each screen at rest (the title,
// level 1, the rage-quit screen, and level 2 reached with 2 in practice mode) and while things move (the
// shipped solution: the curtain, then level 1's robots carried and re-formed). Returns the row of CPU use.
async function measureSite(browser, site) {
  for (const name of ['brakko.js', 'brakko.wasm', 'brakko.data']) {
    const bytes = fs.readFileSync(path.join(site, name));
    console.log(`${name}: ${bytes.length} bytes, ${zlib.gzipSync(bytes).length} gzipped`);
  }
  const server = await serve(site);
  const pid = browser.process().pid;
  const row = {};
  // A fresh page, started as a player starts it: with a key, or by ticking practice mode or clicking Watch
  // the solution first.
  const open = async (how) => {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 800 });
    await page.evaluateOnNewDocument(countFrames);
    // The music's decoding is the browser's, not the game's: --no-music keeps it from starting.
    if (noMusic) await page.evaluateOnNewDocument(() => { HTMLMediaElement.prototype.play = () => Promise.resolve(); });
    const t0 = Date.now();
    await page.goto(address(server));
    await page.waitForFunction(() => /to start/.test(document.getElementById('notice').textContent));
    const ready = Date.now() - t0;
    if (how === 'practice') await page.click('#practice');
    if (how === 'solution') await page.click('#solution');
    else await page.keyboard.press('Enter');
    await page.waitForFunction(() => window.frameCounts().some((count) => count > 0));
    if (how === 'key') {
      console.log(`navigation to the start prompt: ${ready} ms; to the title's first frame after a key at once: ` +
        `${Date.now() - t0} ms`);
    }
    return page;
  };
  const measure = async (page, screen, settle = 3000) => {
    await sleep(settle);
    const counts = await page.evaluate(() => window.frameCounts());
    const cpu0 = cpuTicks(pid);
    const start = Date.now();
    await sleep(seconds * 1000);
    const frames = framesBetween(counts, await page.evaluate(() => window.frameCounts()));
    const elapsed = (Date.now() - start) / 1000;
    const cpu = (cpuTicks(pid) - cpu0) / 100 / elapsed;
    row[screen] = `${(cpu * 100).toFixed(1)}%`;
    console.log(`${screen}: ${(frames / elapsed).toFixed(1)} pictures drawn/s, browser CPU ` +
      `${(cpu * 100).toFixed(1)}% of a core`);
    if (shots) await page.screenshot({ path: path.join(shots, `${path.basename(path.dirname(site))}-${screen}.png`) });
  };
  // The floor each screen is held to: a page that does nothing but play that screen's music, on its own
  // server, the same seconds, in the same run.
  const musics = { title: 'goof.ogg', level1: 'robot_wars.ogg', ragequit: 'down.ogg', level2: 'vexo.ogg' };
  if (!noMusic) {
    const quiet = fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'brakko-music-'));
    for (const file of Object.values(musics))
      fs.copyFileSync(path.join(__dirname, '..', 'snd', file), path.join(quiet, file));
    fs.writeFileSync(path.join(quiet, 'index.html'), '<!doctype html><title>music</title><audio loop></audio>');
    const musicServer = await serve(quiet);
    for (const [screen, file] of Object.entries(musics)) {
      const page = await browser.newPage();
      await page.goto(address(musicServer));
      await page.keyboard.press('Enter');  // the gesture a browser asks before it plays
      await page.evaluate((src) => { const a = document.querySelector('audio'); a.src = src; return a.play(); }, file);
      await sleep(1000);
      const cpu0 = cpuTicks(pid);
      const start = Date.now();
      await sleep(seconds * 1000);
      const cpu = (cpuTicks(pid) - cpu0) / 100 / ((Date.now() - start) / 1000);
      row[`${screen} music`] = `${(cpu * 100).toFixed(1)}%`;
      console.log(`${screen}'s music alone: browser CPU ${(cpu * 100).toFixed(1)}% of a core`);
      await page.close();
    }
    musicServer.close();
    fs.rmSync(quiet, { recursive: true, force: true });
  }
  let page = await open('key');
  await measure(page, 'title');
  await page.keyboard.press('Enter');
  await measure(page, 'level1');
  await page.keyboard.press('Escape');
  await measure(page, 'ragequit', 8000);  // its robots ride the belts for about six seconds
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => /gave up|quit/.test(document.getElementById('notice').textContent));
  await page.close();
  page = await open('practice');
  await page.keyboard.press('2');
  await measure(page, 'level2', 4000);
  await page.evaluate(() => window.localStorage.clear());
  await page.close();
  page = await open('solution');
  await measure(page, 'moving', 0);
  await page.close();
  server.close();
  return row;
}

async function main() {
  if (shots) fs.mkdirSync(shots, { recursive: true });
  const browser = await launch();
  const rows = [];
  for (const site of sites) {
    console.log(`# ${site}`);
    rows.push([site, await measureSite(browser, site)]);
  }
  await browser.close();
  console.log(`browser CPU, percent of a core over ${seconds} s each, nothing pressed` +
    (noMusic ? ', no music playing' : ''));
  const screens = ['title', 'level1', 'ragequit', 'level2', 'moving', 'title music', 'level1 music',
    'ragequit music', 'level2 music'];
  console.log(['site'.padEnd(32), ...screens.map((name) => name.padStart(Math.max(9, name.length)))].join(' '));
  for (const [site, row] of rows) {
    const name = path.relative(process.cwd(), site) || site;
    console.log([name.padEnd(32), ...screens.map((screen) => (row[screen] || '-').padStart(Math.max(9, screen.length)))].join(' '));
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
