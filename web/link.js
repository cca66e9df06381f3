// A level in a link, for the game's page and the level editor alike: DATA in index.html#level=DATA is the
// level file's text compressed as raw DEFLATE (no zlib or gzip header) and written in base64url without
// padding. A link is untrusted: it is bounded before it is decoded, inflated only up to the largest level
// the game's reader takes, and the reader itself then checks the level.
const format = 'deflate-raw';
// The game's reader takes no level longer than this.
const { maxLevelBytes } = window.brakko;
// DEFLATE grows no text by more than a few bytes, so base64url of a level's link is at most about 11 000
// characters; a longer one is refused before it is decoded.
const maxLinkLength = 12000;

function toBase64url(bytes) {
  let binary = '';
  for (const byte of bytes) binary += String.fromCharCode(byte);
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

// The DATA of a link to the level file `bytes`.
export async function pack(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream(format));
  return toBase64url(new Uint8Array(await new Response(stream).arrayBuffer()));
}

// The level file's bytes from a link's DATA, inflated a chunk at a time and given up as soon as they pass
// the largest level, before the rest is inflated. A refusal throws, its message saying why in plain words.
export async function unpack(data) {
  if (data.length > maxLinkLength) throw new Error('the link is longer than any level\'s');
  // atob also takes padding and white space, which a link never holds.
  if (!/^[A-Za-z0-9_-]*$/.test(data) || data.length % 4 === 1)
    throw new Error('the link is not base64url (only A to Z, a to z, 0 to 9, - and _)');
  const packed = Uint8Array.from(atob(data.replace(/-/g, '+').replace(/_/g, '/')), (c) => c.charCodeAt(0));
  let reader;
  try {
    reader = new Blob([packed]).stream().pipeThrough(new DecompressionStream(format)).getReader();
  } catch {
    throw new Error('this browser cannot unpack a link (it has no DecompressionStream for raw DEFLATE)');
  }
  const chunks = [];
  let length = 0;
  for (;;) {
    let next;
    try {
      next = await reader.read();
    } catch {
      throw new Error('the link is damaged: its data is not a whole raw DEFLATE stream');
    }
    if (next.done) break;
    length += next.value.length;
    if (length > maxLevelBytes) {
      reader.cancel().catch(() => {});
      throw new Error(`the link's level is longer than ${maxLevelBytes} bytes, the most a level may have`);
    }
    chunks.push(next.value);
  }
  return new Uint8Array(await new Blob(chunks).arrayBuffer());
}
