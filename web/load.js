// The game's download behind the progress bar, and its runtime set up: brakko.wasm and brakko.data fetched,
// then brakko.js started with the page's handlers of its news, its end and its output.
import { newsShown } from './news.js';
import { ended, fail } from './notice.js';
import { stateHome } from './pack.js';
import { byId, run } from './run.js';

const canvas = byId('canvas');
const progress = byId('progress');

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
  received(0, size);
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    chunks.push(value);
    received(value.length, 0);
  }
  return new Blob(chunks).arrayBuffer();
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

// Starts the download; `ready` is called once the game's runtime stands ready to start.
export async function load(ready) {
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
      run.lastError = text;
      console.warn(text);
    }),
    // What the runtime itself says.
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
  };
  await loadScript('brakko.js');
}
