// SPDX-License-Identifier: GPL-3.0-or-later
// The page's engine under node, called as the page's worker calls it (engine-calls.js,
// the very module and calls of build/web): files handed to it, and the story a save
// keeps for the game loaded from it.
//   node --test web/tests/engine.test.mjs      (after scripts/web.sh)
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

const site = join(resolve(dirname(fileURLToPath(import.meta.url)), '../..'), 'build/web');
const require = createRequire(import.meta.url);
const VelcorEngine = require(join(site, 'velcor-engine.js'));
const { engineCalls } = require(join(site, 'engine-calls.js'));

// A fresh engine; its calls answer as the worker's do, parsed.
const wasmBinary = readFileSync(join(site, 'velcor-engine.wasm'));
async function engine() {
  const module = await VelcorEngine({ wasmBinary });
  return (name, ...args) => JSON.parse(engineCalls[name](module, args));
}

// A game of scenario 1 as 董卓, the player resting for some months, and its save.
async function playedGame(months) {
  const call = await engine();
  call('scenarios');
  const month = (v) => v.year * 12 + v.month;
  let view = call('newGame', 1, 9, 1);
  const start = month(view);
  while (view.description.stage === 'command' && month(view) - start < months) view = call('command', 'R');
  return { saved: call('save'), summary: call('summary') };
}

test('files of every size leave the engine playing', async () => {
  const { saved } = await playedGame(1);
  const call = await engine();
  // Beyond a save's limit, the engine's stack and far beyond.
  const { rules } = call('scenarios');
  const sizes = [rules.saveMaxBytes + 1, 1 << 20, 3 << 20];
  for (const size of sizes) {
    const junk = String.fromCharCode(0xa5).repeat(size);
    for (const args of [[junk, 'junk.txt', -1, '', ''], [saved.save, 'save.txt', -1, junk, junk]]) {
      const answer = call('load', ...args);
      assert.ok(answer.error || answer.description.stage === 'command', `load of ${size} bytes answered`);
      if (answer.error) assert.match(JSON.stringify(answer.error), /junk\.txt/, 'the error names the player\'s file');
    }
    assert.equal(call('replay', `VELCOR-RECORD${junk}`).error !== undefined, true, 'a record of junk is refused');
    const loaded = call('load', saved.save, 'save.txt', saved.difficulty, saved.record, saved.chronicle);
    assert.equal(loaded.error, undefined, `a save loads after ${size} bytes of junk`);
    const trained = call('command', 'T');
    assert.equal(trained.error, undefined, 'and a command is carried out');
    assert.ok(trained.result, 'the engine answers the command');
  }
});

test("a save's chronicle gives the loaded game its months and its story", async () => {
  const { saved, summary } = await playedGame(25);
  assert.ok(summary.months >= 25, 'the game ran its months');
  const other = (await playedGame(2)).saved;
  const cases = [
    { chronicle: saved.chronicle, months: summary.months, kept: true },
    { chronicle: '', months: 0, kept: false },
    { chronicle: other.chronicle, months: 0, kept: false }, // another game's
    { chronicle: saved.chronicle.replace('"kind":"month"', '"kind":"moon"'), months: 0, kept: false },
  ];
  for (const { chronicle, months, kept } of cases) {
    const call = await engine();
    call('scenarios');
    const loaded = call('load', saved.save, 'save.txt', saved.difficulty, saved.record, chronicle);
    assert.equal(loaded.error, undefined);
    const told = loaded.chronicle ?? [];
    assert.equal(told.length > 0, kept, 'the chronicle is told to the page, or not at all');
    assert.equal(loaded.chronicleSetAside !== undefined, !kept && chronicle !== '', 'a chronicle not kept says why');
    assert.equal(call('summary').months, months, "戦績's months");
    // Saved again, the story goes on from the chronicle's events (its closing line aside).
    const events = saved.chronicle.slice(0, saved.chronicle.lastIndexOf('\n', saved.chronicle.length - 2) + 1);
    assert.equal(call('save').chronicle.startsWith(events), kept);
  }
});

test('the seats of a new game: persons at one screen, levels of their own, nobody; what cannot be seated refused', async () => {
  // The seats' words of rulers 1..15, every other ruler the computer.
  const seated = (given) => Array.from({ length: 15 }, (_, i) => given[i + 1] ?? 'computer').join(' ');
  const cases = [
    { seats: { 1: 'person', 9: 'person', 2: 'computer:master' }, persons: [1, 9], stage: 'command', level: 'computer:master' },
    { seats: { 9: 'person', 2: 'computer:normal' }, persons: [9], stage: 'command', level: 'computer' }, // the game's own level
    { seats: {}, persons: [], stage: 'watching', level: 'computer' },
    { seats: { 1: 'person', 2: 'person', 3: 'person', 4: 'person', 9: 'person' }, refused: true },
    { seats: { 9: 'remote' }, refused: true },
    { seats: { 9: 'sleeper' }, refused: true },
  ];
  for (const { seats, persons, stage, level, refused } of cases) {
    const call = await engine();
    call('scenarios');
    const answer = call('newSeated', 1, seated(seats), 9, 1);
    const what = JSON.stringify(seats);
    assert.equal(answer.error !== undefined, !!refused, what);
    if (refused) continue;
    assert.deepEqual(answer.description.persons, persons, what);
    assert.equal(answer.description.stage, stage, what);
    assert.equal(answer.seats[2], level, what);
    // A watched month is a step the page is asked for.
    assert.equal(answer.stepDue >= 0, stage === 'watching', what);
  }
});

test("a scenario of the player's own: his two files, or 乱世 from a seed; files that cannot start a game refused, the last scenario kept", async () => {
  const data = join(dirname(fileURLToPath(import.meta.url)), '../../data');
  const file = (name) => readFileSync(join(data, name), 'latin1');
  const [scenario, country] = [file('scenario2.txt'), file('country2.txt')];
  const call = await engine();
  const bundled = call('scenarios').scenarios[1];
  const cases = [
    { make: () => call('ownScenario', scenario, country, 'scenario2.txt'), rulers: bundled.rulers },
    { make: () => call('ownScenario', scenario, country.slice(0, country.length / 2), 'scenario2.txt'), refused: true },
    { make: () => call('ownScenario', '', country, 'scenario2.txt'), refused: true },
    { make: () => call('randomScenario', 7) },
  ];
  let kept = null;
  for (const { make, rulers, refused } of cases) {
    const made = make();
    assert.equal(made.error !== undefined, !!refused, JSON.stringify(made).slice(0, 200));
    if (refused) {
      // The scenario kept before plays on.
      assert.equal(call('newSeated', 4, '', kept.rulers[0], 1).error, undefined);
      continue;
    }
    kept = made.scenario;
    if (rulers) assert.deepEqual(kept.rulers, rulers);
    const first = kept.rulers[0];
    const begun = call('newSeated', 4, Array.from({ length: 15 }, (_, i) => (i + 1 === first ? 'person' : 'computer')).join(' '), first, 1);
    assert.equal(begun.error, undefined);
    assert.deepEqual(begun.description.persons, [first]);
  }
});
