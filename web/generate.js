// New levels: made by the game's own generator in a worker, off the page's thread, then played as a level in
// a link is. The page's address becomes the link carrying the level's text, not its ID, so that the link
// opens the same level after the generator changes; the level's title names its ID.
import { pack } from './link.js';
import { choicesShown, say } from './notice.js';
import { byId, run } from './run.js';

const back = byId('back');
let worker = null;

// A seed no other visit is likely to have, and today's, the date in UTC (20261208), the same for everyone.
export const freshSeed = () => crypto.getRandomValues(new Uint32Array(1))[0];
export function todaysSeed() {
  const now = new Date();
  return now.getUTCFullYear() * 10000 + (now.getUTCMonth() + 1) * 100 + now.getUTCDate();
}

// Makes the level and goes to its link. From the menu the game plays on under the notice meanwhile; a level
// not found leaves the page as it was, its choices offered again.
export function playNewLevel(difficulty, seed, what) {
  const before = run.state;
  if (before !== 'ready' && before !== 'menu' && before !== 'ended') return;
  run.state = 'generating';
  say(`Making ${what}…`);
  worker ||= new Worker('generate-worker.js');
  worker.onmessage = async ({ data }) => {
    if (!data.id) {
      run.state = before;
      say('The generator found no level this time. Try again, or choose another.', { error: true });
      choicesShown();
      back.hidden = before !== 'menu';
      return;
    }
    const link = `${window.location.pathname}#level=${await pack(new TextEncoder().encode(data.text))}`;
    // The same link again (today's level chosen on today's level) loads afresh; another is followed as any
    // link pasted over the page's address is.
    if (`${window.location.pathname}${window.location.search}${window.location.hash}` === link) window.location.reload();
    else window.location.assign(link);
  };
  worker.postMessage({ difficulty, seed });
}
