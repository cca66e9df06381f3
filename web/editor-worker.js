// The editor's prover, off the page's thread: reads a level with the game's own reader, searches it with the
// game's search (a weighted search for any plan, then a breadth-first one for the shortest), and posts each
// answer as it comes. The page keeps one worker for every proof, whose search keeps its room from one proof
// to the next, and ends it only when the level changes while a proof is under way.
'use strict';

importScripts('prove.js');

const loaded = BrakkoProve();

// The answer the module holds after a search, as plain data.
function answerOf(m, outcome) {
  const plan = [];
  for (let i = 0; i < m._planLines(); i++)
    plan.push({ tick: m._planTick(i), command: m._planCommand(i), key: String.fromCharCode(m._planKey(i)) });
  return {
    outcome: ['won', 'lost', 'undecided', 'no room'][outcome],
    ticks: m._planTicks(),
    plan,
    explored: m._statesExplored(),
    closest: { col: m._closestColumn(), row: m._closestRow(), distance: m._closestDistance() },
    walkless: m._walklessDistance(),
    outOfReach: m._goalOutOfReach() === 1,
  };
}

onmessage = async ({ data }) => {
  const m = await loaded;
  const bytes = data.bytes;
  if (!m.ccall('readText', 'number', ['array', 'number'], [bytes, bytes.length])) {
    postMessage({ stage: 'refused' });
    return;
  }
  const first = answerOf(m, m._proveLevel(0));
  postMessage({ stage: 'first', ...first });
  if (first.outcome !== 'won') return;
  postMessage({ stage: 'par', ...answerOf(m, m._proveLevel(1)) });
};
