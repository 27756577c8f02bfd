// SPDX-License-Identifier: GPL-3.0-or-later
// The engine in a Web Worker, off the page's thread: the page posts {id, call, args}
// and gets back {id, answer, ms}. The page runs two: one plays the game, the other
// thinks for the advisor, so that advice never holds up a command. Both are made of the
// one WebAssembly module the page has compiled (index.html), which it posts first:
// {wasm}, or {wasmError} when it could not be had.
/* global VelcorEngine, engineCalls */
importScripts('velcor-engine.js', 'engine-calls.js');

let compiled;
const wasm = new Promise((resolve, reject) => {
  compiled = { resolve, reject };
});
const loading = wasm.then((module) =>
  VelcorEngine({
    instantiateWasm(imports, ready) {
      WebAssembly.instantiate(module, imports).then((instance) => ready(instance, module), compiled.reject);
      return {};
    },
  }),
);

onmessage = async ({ data }) => {
  if (data.wasm) return compiled.resolve(data.wasm);
  if (data.wasmError) return compiled.reject(new Error(data.wasmError));
  const started = performance.now();
  let answer;
  try {
    const engine = await loading;
    answer = JSON.parse(engineCalls[data.call](engine, data.args ?? []));
  } catch (error) {
    answer = { error: { t: String(error) } };
  }
  postMessage({ id: data.id, answer, ms: performance.now() - started });
};
