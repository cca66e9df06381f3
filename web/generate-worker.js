// The page's level generator, off the page's thread: makes the level of a difficulty from a seed with the
// game's own generator, trying the seeds after it while none is found, as the desktop game does, and posts
// the level's ID and text (an ID of null when none was found).
'use strict';

importScripts('prove.js');

const loaded = BrakkoProve();
const seedsTried = 16;

onmessage = async ({ data }) => {
  const m = await loaded;
  for (let tried = 0, seed = data.seed; tried < seedsTried; tried++, seed = (seed + 1) >>> 0) {
    const id = `${data.difficulty}:${seed}`;
    const length = m.ccall('generateText', 'number', ['string'], [id]);
    if (length > 0) {
      postMessage({ id, text: m.UTF8ToString(m._generatedText(), length) });
      return;
    }
  }
  postMessage({ id: null });
};
