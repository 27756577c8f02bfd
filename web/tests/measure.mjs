// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the page against the native program, in one run: from the page's load to
// the first paint of the map (performance.now(), three loads: the first cold), and a
// month of the computer's play, asked of the engine's worker and answered, over months
// of a game in which the player rests; then the engine's speed, native and under node,
// on many games of the computer rulers.
//   node web/tests/measure.mjs [MONTHS]      (after scripts/web.sh; VELCOR as for the tests)
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from '../tools/serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const velcor = resolve(root, process.env.VELCOR ?? 'build/default/src/velcor');
const months = Number(process.argv[2] ?? 60);
const scratch = mkdtempSync(join(tmpdir(), 'velcor-measure-'));
const server = await serve(join(root, 'build/web'), 0);
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', `--user-data-dir=${join(scratch, 'profile')}`],
});
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1366, height: 768 });
  const paints = [];
  for (let i = 0; i < 3; i++) {
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    await page.waitForFunction(() => window.velcor?.ready, { timeout: 30000 });
    paints.push(await page.evaluate(() => window.velcor.times.firstPaint));
  }
  console.log(`first paint of the map: ${paints.map((p) => p.toFixed(0)).join(', ')} ms after the load began (the first cold)`);

  // 袁紹 (4) in 200: the largest realm, so that the player lasts through the months.
  await page.evaluate(() => localStorage.setItem('velcor.settings', JSON.stringify({ speed: 2, report: false })));
  await page.reload();
  await page.waitForFunction(() => window.velcor?.ready);
  await page.click('#start-new');
  await page.click('#scenario-2');
  await page.click('#ruler-4');
  await page.click('#new-game-ok');
  const ready = () => page.waitForFunction(() => !window.velcor.busy && window.velcor.described.stage !== 'computerTurns' && !document.querySelector('.cover'), { timeout: 120000, polling: 20 });
  await ready();
  for (let i = 0; i < months; i++) {
    if ((await page.evaluate(() => window.velcor.described.stage)) !== 'command') break;
    await page.keyboard.press('r');
    await ready();
  }
  const rests = await page.evaluate(() => window.velcor.times.months.filter((m) => m.call === 'command'));
  const asked = median(rests.map((m) => m.ms));
  const engine = median(rests.map((m) => m.engineMs));
  console.log(`a computer month in the page: median ${asked.toFixed(2)} ms asked and answered, ${engine.toFixed(3)} ms in the engine's worker (${rests.length} months)`);

  // The engine's own speed, in-process: many games of the computer rulers, native and
  // under node, each timed by the program itself.
  const games = (program) =>
    spawnSync(program, ['--headless', '--data', join(root, 'data'), '--scenario', '1', '--ruler', 'all', '--games', '2000', '--months', '120', '--jobs', '1', '--clock', '1700000000'], { encoding: 'utf8' })
      .stderr.match(/([0-9.]+) games\/s/)[1];
  const native = Number(games(velcor));
  const node = Number(games(join(root, 'build/web-cmake/velcor')));
  console.log(`the engine's games of 120 months: native ${native} games/s, under node ${node} games/s (${(native / node).toFixed(2)}x the time)`);
} finally {
  await browser.close();
  server.close();
  rmSync(scratch, { recursive: true, force: true });
}
