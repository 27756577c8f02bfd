// SPDX-License-Identifier: GPL-3.0-or-later
// The engine in a Web Worker, off the page's thread: the page posts {id, call, args}
// and gets back {id, answer, ms}. The page runs two: one plays the game, the other
// thinks for the advisor, so that advice never holds up a command.
/* global VelcorEngine, engineCalls */
importScripts('velcor-engine.js', 'engine-calls.js');

const loading = VelcorEngine();

onmessage = async ({ data }) => {
  const engine = await loading;
  const started = performance.now();
  let answer;
  try {
    answer = JSON.parse(engineCalls[data.call](engine, data.args ?? []));
  } catch (error) {
    answer = { error: { t: String(error) } };
  }
  postMessage({ id: data.id, answer, ms: performance.now() - started });
};
