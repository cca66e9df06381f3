// The level played in place of Brakko's own two: its title and author read for show, shown beside the game as
// text with its Copy link, and the legend's words for a level of one's own.
import { pack } from './link.js';
import { fit } from './layout.js';
import { startShown } from './pad.js';
import { byId, run } from './run.js';

const levelName = byId('level-name');
const copyButton = byId('copy-link');
const linkField = byId('link');
const legend = byId('legend');
// The legend's rows for Return and 2, whose words depend on the level played.
const legendRow = (name) => legend.querySelector(`[data-row="${name}"]`);
const returnWords = legendRow('return').cells[1];
const returnSaid = returnWords.textContent;
const level2Row = legendRow('level2');

// A link to this page that plays the level `bytes`.
async function linkTo(bytes) {
  return `${window.location.href.split('#')[0]}#level=${await pack(bytes)}`;
}

// A level as the page keeps it, its title and author read from its header lines for show only: the
// game's reader checks them, and refuses the level when they are wrong.
export function levelAt(path, bytes, name) {
  const found = { title: '', author: '', tip: '' };
  for (const line of new TextDecoder().decode(bytes).split('\n')) {
    const header = line.match(/^([a-z]*): ?(.*)$/);
    if (!header && line !== '') break;
    if (header && header[1] in found) found[header[1]] ||= header[2];
  }
  return { path, bytes, title: found.title || name, author: found.author, tip: found.tip };
}

// The level's title and author beside the game, as text, and its Copy link.
export function levelShown() {
  levelName.hidden = !run.level;
  copyButton.hidden = !run.level;
  linkField.hidden = true;
  if (run.level) {
    const named = run.level.author ? `${run.level.title} by ${run.level.author}` : run.level.title;
    levelName.textContent = `${run.level.place ? `${run.level.place}: ` : ''}${named}${run.level.tip ? `. Tip: ${run.level.tip}` : ''}`;
  }
  // The legend says what Return and 2 do on the title: a level of one's own has no level 1 or 2.
  returnWords.textContent = run.level ? 'start: leave the title for the level' : returnSaid;
  level2Row.hidden = Boolean(run.level);
  startShown(false);
  fit();
}

// The link goes to the clipboard where the browser allows; where it refuses, into a field to copy by hand.
copyButton.addEventListener('click', async () => {
  const link = await linkTo(run.level.bytes);
  try {
    await navigator.clipboard.writeText(link);
    copyButton.textContent = 'Link copied';
  } catch {
    linkField.value = link;
    linkField.hidden = false;
    linkField.select();
    fit();
  }
});
