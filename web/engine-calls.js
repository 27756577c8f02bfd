// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's calls as the page asks them: each takes the engine module and the
// call's arguments and gives the engine's answer as JSON text. Loaded by the engine's
// worker (importScripts) and by the engine's tests under node (require).
/* exported engineCalls */

// Saves, records and chronicles are bytes (Shift-JIS names in a save, UTF-8 in a
// chronicle): the page keeps them as strings of one character a byte. They go into
// the engine's own memory, never onto its stack, whose size a file could exceed.
function withBytes(e, strings, call) {
  const held = [];
  try {
    const places = strings.map((s = '') => {
      const at = e._malloc(Math.max(1, s.length));
      if (!at) throw new Error('out of memory');
      held.push(at);
      const heap = e.HEAPU8;
      for (let i = 0; i < s.length; i++) heap[at + i] = s.charCodeAt(i);
      return [at, s.length];
    });
    return call(...places);
  } finally {
    for (const at of held) e._free(at);
  }
}

const engineCalls = {
  scenarios: (e) => e.ccall('velcor_scenarios', 'string', [], []),
  newGame: (e, [scenario, ruler, difficulty]) =>
    e.ccall('velcor_new_game', 'string', ['number', 'number', 'number'], [scenario, ruler, difficulty]),
  // A save with the name it goes by for the player, its difficulty, record and chronicle.
  load: (e, [save, name, difficulty, record, chronicle]) =>
    withBytes(e, [save, record, chronicle], ([s, sn], [r, rn], [c, cn]) =>
      e.ccall(
        'velcor_load',
        'string',
        ['number', 'number', 'string', 'number', 'number', 'number', 'number', 'number'],
        [s, sn, name ?? '', difficulty, r, rn, c, cn],
      ),
    ),
  // A bundle of a save and its companions, with the name it goes by for the player.
  loadBundle: (e, [bundle, name]) =>
    withBytes(e, [bundle], ([b, bn]) => e.ccall('velcor_load_bundle', 'string', ['number', 'number', 'string'], [b, bn, name ?? ''])),
  replay: (e, [record]) => withBytes(e, [record], ([r, rn]) => e.ccall('velcor_replay', 'string', ['number', 'number'], [r, rn])),
  // A command by its key as the turn's description names it (M, W, L, C, S, T, R), from
  // the seat of ruler (the description's acting; 0: the page's own).
  command: (e, [key, a = 0, b = 0, c = 0, d = 0, ruler = 0]) =>
    e.ccall('velcor_command', 'string', ['string', 'number', 'number', 'number', 'number', 'number'], [key, a, b, c, d, ruler]),
  // The choice of a move's (M) or a war's (W) target begun; '' takes it back.
  choose: (e, [key]) => e.ccall('velcor_choose', 'string', ['string'], [key ?? '']),
  checkMove: (e, [destination]) => e.ccall('velcor_check_move', 'string', ['number'], [destination]),
  putEndAway: (e) => e.ccall('velcor_put_end_away', 'string', [], []),
  odds: (e) => e.ccall('velcor_odds', 'string', [], []),
  save: (e) => e.ccall('velcor_save', 'string', [], []),
  bundle: (e) => e.ccall('velcor_bundle', 'string', [], []),
  view: (e) => e.ccall('velcor_view', 'string', [], []),
  summary: (e) => e.ccall('velcor_summary', 'string', [], []),
  displays: (e) => e.ccall('velcor_displays', 'string', [], []),
  snapshot: (e) => e.ccall('velcor_snapshot', 'string', [], []),
  advise: (e, [snapshot, rollouts, horizon]) =>
    withBytes(e, [snapshot], ([s, sn]) => e.ccall('velcor_advise', 'string', ['number', 'number', 'number', 'number'], [s, sn, rollouts, horizon])),
  // Seats and the game's flow: the seats' words of rulers 1..15, space-separated.
  newSeated: (e, [scenario, seats, first, difficulty]) =>
    e.ccall('velcor_new_seated', 'string', ['number', 'string', 'number', 'number'], [scenario, seats, first, difficulty]),
  changeSeat: (e, [ruler, seat]) => e.ccall('velcor_change_seat', 'string', ['number', 'string'], [ruler, seat]),
  step: (e) => e.ccall('velcor_step', 'string', [], []),
  goBack: (e) => e.ccall('velcor_go_back', 'string', [], []),
  resumeFrom: (e, [year, month, country]) =>
    e.ccall('velcor_resume_from', 'string', ['number', 'number', 'number'], [year, month, country]),
  playRecord: (e, [record]) => withBytes(e, [record], ([r, rn]) => e.ccall('velcor_play_record', 'string', ['number', 'number'], [r, rn])),
  pause: (e, [paused]) => e.ccall('velcor_pause', 'string', ['number'], [paused ? 1 : 0]),
  oneKeyTurn: (e, [on]) => e.ccall('velcor_one_key_turn', 'string', ['number'], [on ? 1 : 0]),
  restRemaining: (e) => e.ccall('velcor_rest_remaining', 'string', [], []),
  // The player's own scenario from its two files, with the name it goes by; a 乱世 of seed.
  ownScenario: (e, [scenario, country, name]) =>
    withBytes(e, [scenario, country], ([s, sn], [c, cn]) =>
      e.ccall('velcor_own_scenario', 'string', ['number', 'number', 'number', 'number', 'string'], [s, sn, c, cn, name ?? '']),
    ),
  // A networked game joined: the invitation, each frame's text from the host, his ready
  // in the lobby, the connection's end and its reason.
  joinBegin: (e, [invitation]) => e.ccall('velcor_join_begin', 'string', ['string'], [invitation]),
  joinFrame: (e, [frame]) => e.ccall('velcor_join_frame', 'string', ['string'], [frame]),
  joinReady: (e, [ready]) => e.ccall('velcor_join_ready', 'string', ['number'], [ready ? 1 : 0]),
  joinClosed: (e, [why]) => e.ccall('velcor_join_closed', 'string', ['string'], [why]),
  randomScenario: (e, [seed]) => e.ccall('velcor_random_scenario', 'string', ['number'], [seed]),
};

if (typeof module === 'object') module.exports = { engineCalls };
