// The canvas at the largest scale that fits, with the legend of the keys below it, beside it or folded
// behind the Keys button, and the side (the pad, the signs and the switches) beside or below it.
import { byId, touch } from './run.js';

const canvas = byId('canvas');
const main = document.querySelector('main');
const side = byId('side');
const legend = byId('legend');
const notice = byId('notice');
const keysButton = byId('keys');

// The room the canvas has with the legend below it, beside it or folded behind the Keys button, and beside
// or above the pad; the layout that gives the largest whole scale wins (the earlier one on a tie), and a
// window too small even for that gets the largest fraction.
function room(layout) {
  document.body.classList.toggle('beside', layout === 'beside');
  document.body.classList.toggle('folded', layout === 'folded');
  document.body.classList.toggle('no-legend', layout === 'none');
  if (layout !== 'folded') document.body.classList.remove('keys-open');
  keysButton.hidden = layout !== 'folded';
  const style = getComputedStyle(main);
  const gap = parseFloat(style.rowGap) || 0;
  const outer = (element, vertical) => {
    const box = getComputedStyle(element);
    // What is not displayed takes no room, its margins neither.
    if (box.display === 'none') return 0;
    return vertical ? element.offsetHeight + parseFloat(box.marginTop) + parseFloat(box.marginBottom)
      : element.offsetWidth + parseFloat(box.marginLeft) + parseFloat(box.marginRight);
  };
  let width = window.innerWidth - 2 * parseFloat(style.paddingLeft);
  let height = window.innerHeight - 2 * parseFloat(style.paddingTop);
  if (layout === 'beside') width -= outer(legend, false) + (parseFloat(getComputedStyle(document.body).columnGap) || 0);
  else if (layout === 'below') height -= outer(legend, true);
  if (side.offsetWidth > 0) {
    if (style.flexDirection === 'row') width -= side.offsetWidth + gap;
    else height -= side.offsetHeight + gap;
  }
  // Upright on a phone the notice stands below the canvas, not over it.
  if (!notice.hidden && getComputedStyle(notice).position === 'static') height -= notice.offsetHeight;
  return Math.min(width / canvas.width, height / canvas.height);
}

export function fit() {
  const open = document.body.classList.contains('keys-open');
  let best = null;
  // A touch screen's legend of the pad's buttons is folded behind its button, How to play.
  for (const layout of touch ? ['folded'] : ['below', 'beside', 'folded']) {
    const fits = room(layout);
    const better = !best || (fits >= 1 ? Math.floor(fits) > Math.floor(best.fits) : fits > best.fits + 1e-3);
    if (better) best = { layout, fits };
  }
  room(best.layout);
  if (open && best.layout === 'folded') document.body.classList.add('keys-open');
  const scale = best.fits >= 1 ? Math.floor(best.fits) : Math.max(best.fits, 0.1);
  document.documentElement.style.setProperty('--scale', scale);
}
