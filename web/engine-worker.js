// SPDX-License-Identifier: GPL-3.0-or-later
// The engine in a Web Worker, off the page's thread: the page posts {id, call, args}
// and gets back {id, answer, ms}. The page runs two: one plays the game, the other
// thinks for the advisor, so that advice never holds up a command.
/* global VelcorEngine */
importScripts('velcor-engine.js');

const loading = VelcorEngine();

// Saves and records are bytes (Shift-JIS names inside): the page keeps them as
// strings of one character a byte, and they go in as arrays.
const bytes = (s) => Uint8Array.from(s ?? '', (c) => c.charCodeAt(0) & 0xff);

const calls = {
  scenarios: (e) => e.ccall('velcor_scenarios', 'string', [], []),
  newGame: (e, [scenario, ruler, difficulty]) =>
    e.ccall('velcor_new_game', 'string', ['number', 'number', 'number'], [scenario, ruler, difficulty]),
  load: (e, [save, difficulty, record]) => {
    const s = bytes(save);
    const r = bytes(record);
    return e.ccall('velcor_load', 'string', ['array', 'number', 'number', 'array', 'number'], [s, s.length, difficulty, r, r.length]);
  },
  replay: (e, [record]) => {
    const r = bytes(record);
    return e.ccall('velcor_replay', 'string', ['array', 'number'], [r, r.length]);
  },
  command: (e, [kind, a = 0, b = 0, c = 0, d = 0]) =>
    e.ccall('velcor_command', 'string', ['number', 'number', 'number', 'number', 'number'], [kind, a, b, c, d]),
  checkMove: (e, [destination]) => e.ccall('velcor_check_move', 'string', ['number'], [destination]),
  odds: (e) => e.ccall('velcor_odds', 'string', [], []),
  save: (e) => e.ccall('velcor_save', 'string', [], []),
  view: (e) => e.ccall('velcor_view', 'string', [], []),
  summary: (e) => e.ccall('velcor_summary', 'string', [], []),
  snapshot: (e) => e.ccall('velcor_snapshot', 'string', [], []),
  advise: (e, [snapshot, rollouts, horizon]) => {
    const s = bytes(snapshot);
    return e.ccall('velcor_advise', 'string', ['array', 'number', 'number', 'number'], [s, s.length, rollouts, horizon]);
  },
};

onmessage = async ({ data }) => {
  const engine = await loading;
  const started = performance.now();
  let answer;
  try {
    answer = JSON.parse(calls[data.call](engine, data.args ?? []));
  } catch (error) {
    answer = { error: { t: String(error) } };
  }
  postMessage({ id: data.id, answer, ms: performance.now() - started });
};
