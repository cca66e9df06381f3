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

// Serves the files of `site` on a free port, answering 404 for any file named in `missing`.
function serve(site, missing = []) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://localhost').pathname) || 'index.html';
    const file = path.join(site, name);
    if (missing.includes(name) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
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

module.exports = { serve, address, launch };
