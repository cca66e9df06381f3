// The control in the player's hand: the keys, or the touch pad's buttons. The game's words and the page's
// name its controls (setControls tells the game).
import { choicesShown, say, startWords } from './notice.js';
import { newsShown } from './news.js';
import { byId, handTouch, run } from './run.js';

const keysButton = byId('keys');

// The control in the player's hand changed: the game's words and the page's name its buttons or keys.
export function useHand(controls) {
  if (controls === run.hand) return;
  run.hand = controls;
  handShown();
  if (run.state === 'playing') window.Module._setControls(run.hand);
  if (run.state === 'ready') say(startWords());
  if (run.state === 'ready') choicesShown();
  if (run.told) {
    const n = run.told;
    run.told = null;
    newsShown(n);
  }
}

export function handShown() {
  document.body.classList.toggle('hand-touch', handTouch());
  keysButton.textContent = handTouch() ? 'How to play' : 'Keys';
}
