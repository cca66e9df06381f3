// What the browser test and the by-hand speed measurement share: serving the web site on 127.0.0.1 and
// starting Debian's Chromium headless, with the flags this machine's closed network needs.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png' };

// Serves the files of `site` on a free port, answering 404 for any file named in `missing`; a file named in
// `altered` is served as that function makes it from the file's bytes.
function serve(site, missing = [], altered = {}) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://localhost').pathname) || 'index.html';
    const file = path.join(site, name);
    if (missing.includes(name) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' });
    if (altered[name]) response.end(altered[name](fs.readFileSync(file)));
    else fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const address = (server) => `http://127.0.0.1:${server.address().port}/`;

// A browser with a fresh profile of its own, removed when the browser goes.
async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'brakko-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  // Chromium's last writes may still be landing when it goes; what can't be removed then stays in /tmp.
  browser.on('disconnected', () => {
    try {
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    } catch {
      // left for the system's own clean-up of /tmp
    }
  });
  return browser;
}

// The game's files as packed into brakko.data: where each lies, from the package's list in brakko.js (its
// keys quoted by Emscripten 3.1.6, bare by 3.1.69).
function packedFiles(site) {
  const script = fs.readFileSync(path.join(site, 'brakko.js'), 'latin1');
  const files = {};
  const entry = /\{\s*"?filename"?\s*:\s*"([^"]+)"\s*,\s*"?start"?\s*:\s*(\d+)\s*,\s*"?end"?\s*:\s*(\d+)/g;
  for (const [, name, start, end] of script.matchAll(entry)) files[name] = { start: Number(start), end: Number(end) };
  return files;
}

// What `serve` needs to serve a copy of the site whose packed files are damaged: each file named in `cut`
// ends halfway (its end moved in the package's list), and each named in `noise` is replaced by as many
// bytes from a fixed random sequence.
function damaged(site, { cut = [], noise = [] }) {
  const files = packedFiles(site);
  for (const name of [...cut, ...noise]) if (!files[name]) throw new Error(`${name} is not packed in brakko.data`);
  return {
    'brakko.js': (bytes) => {
      let script = bytes.toString('latin1');
      for (const name of cut) {
        const { start, end } = files[name];
        const entry = `("?filename"?\\s*:\\s*"${name}"\\s*,\\s*"?start"?\\s*:\\s*${start}\\s*,\\s*"?end"?\\s*:\\s*)${end}`;
        script = script.replace(new RegExp(entry), `$1${start + Math.floor((end - start) / 2)}`);
      }
      return Buffer.from(script, 'latin1');
    },
    'brakko.data': (bytes) => {
      let state = 1;
      for (const name of noise) {
        for (let i = files[name].start; i < files[name].end; i++) {
          state = (Math.imul(state, 1103515245) + 12345) >>> 0;
          bytes[i] = state >>> 24;
        }
      }
      return bytes;
    },
  };
}

module.exports = { serve, address, launch, packedFiles, damaged };
