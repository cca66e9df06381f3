// Measures the web build in headless Chromium, by hand (not a test): time from navigation to the start prompt
// and to the title's first frame, game frames per second and the browser's CPU use on each screen, and the
// sizes of the site's files raw and gzipped. Saves screenshots of each stage when given a directory.
// Usage: NODE_PATH=build/tests/web/node_modules node bench/web_speed.cjs build-web/site [seconds] [shots-dir]
// (the browser test's `npm ci` installs puppeteer-core there).
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const { serve, address, launch } = require('../tests/web/site.cjs');

const site = path.resolve(process.argv[2] || 'build-web/site');
const seconds = Number(process.argv[3] || 10);
const shots = process.argv[4];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Every game frame paints its background once over the whole canvas, a picture or a black fill: counting
// those calls counts frames without touching the game. The rage-quit map's window covers the whole canvas
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

// The game frames between two readings of frameCounts.
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

async function main() {
  for (const name of ['brakko.js', 'brakko.wasm', 'brakko.data']) {
    const bytes = fs.readFileSync(path.join(site, name));
    console.log(`${name}: ${bytes.length} bytes, ${zlib.gzipSync(bytes).length} gzipped`);
  }
  if (shots) fs.mkdirSync(shots, { recursive: true });
  const server = await serve(site);
  const browser = await launch();
  const pid = browser.process().pid;
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 800 });
  await page.evaluateOnNewDocument(countFrames);
  const shoot = (name) => shots && page.screenshot({ path: path.join(shots, `${name}.png`) });
  const noticeText = () => page.$eval('#notice', (box) => (box.hidden ? '' : box.textContent.trim()));

  const t0 = Date.now();
  await page.goto(address(server));
  await page.waitForFunction(() => /to start/.test(document.getElementById('notice').textContent));
  const ready = Date.now() - t0;
  await shoot('start');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.frameCounts().some((count) => count > 0));
  console.log(`navigation to the start prompt: ${ready} ms; to the title's first frame after a key at once: ` +
    `${Date.now() - t0} ms`);

  const measure = async (screen) => {
    await sleep(3000);  // the curtain and the robots settle
    const counts = await page.evaluate(() => window.frameCounts());
    const cpu0 = cpuTicks(pid);
    const start = Date.now();
    await sleep(seconds * 1000);
    const frames = framesBetween(counts, await page.evaluate(() => window.frameCounts()));
    const elapsed = (Date.now() - start) / 1000;
    const cpu = (cpuTicks(pid) - cpu0) / 100 / elapsed;
    console.log(`${screen}: ${(frames / elapsed).toFixed(1)} frames/s, browser CPU ${(cpu * 100).toFixed(0)}% of a core`);
    await shoot(screen);
  };
  await measure('title');
  await page.keyboard.press('Enter');
  await measure('level1');
  await page.keyboard.press('Escape');
  await measure('ragequit');
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => /gave up|quit/.test(document.getElementById('notice').textContent));
  console.log(`after Escape, Escape the page says: ${await noticeText()}`);
  await shoot('ended');

  if (shots) {
    const phone = await browser.newPage();
    await phone.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true });
    await phone.goto(address(server));
    await phone.waitForFunction(() => /to start/.test(document.getElementById('notice').textContent));
    await phone.touchscreen.tap(195, 100);
    await sleep(1500);
    await phone.screenshot({ path: path.join(shots, 'phone-portrait.png') });
    await phone.setViewport({ width: 844, height: 390, isMobile: true, hasTouch: true });
    await sleep(500);
    await phone.screenshot({ path: path.join(shots, 'phone-landscape.png') });
  }
  await browser.close();
  server.close();
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
