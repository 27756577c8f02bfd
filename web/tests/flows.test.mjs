// SPDX-License-Identifier: GPL-3.0-or-later
// The game's flows in a real browser, on a desktop's screen in Japanese and on a
// phone's (touch) in English: two persons taking turns at one screen through the
// hand-over with a computer at 達人, 1ﾀｰﾝ戻る, the game carried in a bundle that keeps
// its seats, and its record played back a step at a time. VELCOR_FLOW_SHOTS=all runs
// every screen in both languages, for the pictures in build/web-test/shots/flows.
//   node --test web/tests/flows.test.mjs      (after scripts/web.sh)
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from '../tools/serve.mjs';
import { downloaded, downloads } from './downloads.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const shots = join(root, 'build/web-test/shots/flows');
const scratch = mkdtempSync(join(tmpdir(), 'velcor-flows-'));

const desktop = { name: 'desktop', width: 1366, height: 768 };
const phone = { name: 'phone', width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 };
const kScreens =
  process.env.VELCOR_FLOW_SHOTS === 'all'
    ? [desktop, phone].flatMap((screen) => ['ja', 'en'].map((language) => ({ screen, language })))
    : [
        { screen: desktop, language: 'ja' },
        { screen: phone, language: 'en' },
      ];

let server;
let origin;
before(async () => {
  server = await serve(join(root, 'build/web'), 0);
  origin = `http://127.0.0.1:${server.address().port}/`;
  mkdirSync(shots, { recursive: true });
});
after(() => {
  server?.close();
  rmSync(scratch, { recursive: true, force: true });
});

const described = (page) => page.evaluate(() => ({ ...window.velcor.described, busy: window.velcor.busy, view: window.velcor.view }));
const month = (view) => view.year * 12 + view.month;

// The page has settled: no call under way and no window open (the turn report closed,
// which opens just after a call), or the window waited for open.
async function settled(page, open = null) {
  const calm = (o) => {
    document.querySelector('#report-close')?.click();
    if (o && document.querySelector(o)) return true;
    return !window.velcor.busy && window.velcor.described.stage !== 'computerTurns' && !document.querySelector('.cover');
  };
  for (;;) {
    await page.waitForFunction(calm, { timeout: 60000, polling: 50 }, open);
    await new Promise((r) => setTimeout(r, 150));
    if (await page.evaluate(calm, open)) return;
  }
}

// A tap on a phone, a click elsewhere.
async function press(page, selector) {
  const element = await page.waitForSelector(selector, { visible: true });
  if (page.touch) await element.tap();
  else await element.click();
}
async function menu(page, head, item) {
  await press(page, `#${head}`);
  await press(page, `#${item}`);
}

async function shot(page, what) {
  await page.screenshot({ path: join(shots, `${what}-${page.screenName}-${page.language}.png`) });
}


// Rests at each person's turn and takes each hand-over until the month wanted, keeping
// the figures each person's turns began with.
async function playUntil(page, wanted, seen) {
  let last = 0; // who gave the last command
  for (let i = 0; i < 200; i++) {
    const at = await settled(page, '.hand-over').then(() => described(page));
    if (await page.$('.hand-over')) {
      if (!seen.handOver) await shot(page, 'hand-over');
      seen.handOver = { previous: last };
      await press(page, '.hand-over');
      continue;
    }
    assert.equal(at.stage, 'command', 'a person plays');
    if (seen.handOver && !seen.handOver.next) seen.handOver.next = at.acting;
    last = at.acting;
    if (month(at.view) >= wanted) return at;
    (seen.turns[at.acting] ??= []).push(at.view.countries.map((c) => c.f));
    await press(page, '#cmd-R');
    await page.waitForFunction(() => window.velcor.busy || window.velcor.described.stage !== 'command' || !!document.querySelector('.cover'), { polling: 20 });
  }
  throw new Error('the month never came');
}

for (const { screen, language } of kScreens) {
  test(`${screen.name} ${language}: a hot-seat game with 達人 through its hand-overs, 1ﾀｰﾝ戻る, a bundle that keeps its seats, its record stepped through`, async () => {
    const browser = await puppeteer.launch({
      executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
      args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', `--accept-lang=${language}`, `--user-data-dir=${mkdtempSync(join(scratch, 'profile-'))}`],
    });
    try {
      const page = await browser.newPage();
      const errors = [];
      page.on('pageerror', (e) => errors.push(e.message));
      Object.assign(page, { touch: !!screen.hasTouch, screenName: screen.name, language });
      const { name, ...viewport } = screen;
      await page.setViewport(viewport);
      await page.goto(origin);
      await page.waitForFunction(() => window.velcor?.ready, { timeout: 30000 });
      await menu(page, 'menu-view', 'menu-speed-2');

      // 対戦設定: 曹操 (2) and 董卓 (9), strong enough to outlast the months played, take
      // turns; 公孫瓚 (11) is the computer at 達人.
      await press(page, '#start-new');
      await press(page, '#new-game-seats');
      await page.select('#seat-2', 'person');
      await page.select('#seat-9', 'person');
      await page.select('#seat-11', 'computer:master');
      await shot(page, 'seats');
      await press(page, '#seats-ok');
      const first = await settled(page).then(() => described(page));
      assert.deepEqual(first.persons, [2, 9]);
      assert.equal(first.view.seats[11], 'computer:master');

      const seen = { turns: {} };
      const reached = await playUntil(page, month(first.view) + 3, seen);
      assert.deepEqual([seen.handOver?.previous, seen.handOver?.next].sort(), [2, 9], 'the turn was handed over from one of the two to the other');

      // 1ﾀｰﾝ戻る: the figures the person's last turn began with, again.
      const earlier = seen.turns[reached.acting].at(-1);
      await menu(page, 'menu-file', 'menu-back');
      const back = await settled(page).then(() => described(page));
      assert.equal(back.acting, reached.acting);
      assert.deepEqual(
        back.view.countries.map((c) => c.f),
        earlier,
      );
      // (The other person may have played between: his turns are dropped too.)
      assert.ok(back.view.playerTurns < reached.view.playerTurns, 'the turns after it dropped from the record');
      await shot(page, 'gone-back');

      // The bundle downloaded and opened again: the same turn, the same seats.
      const dir = join(scratch, `downloads-${screen.name}-${language}`);
      await downloads(page, dir);
      await menu(page, 'menu-file', 'menu-download-bundle');
      await menu(page, 'menu-file', 'menu-download-record');
      const bundle = await downloaded(dir, '.velcor');
      const record = await downloaded(dir, '.record');
      await press(page, '#cmd-L');
      await settled(page);
      await (await page.$('#menu-files')).uploadFile(bundle);
      const opened = await settled(page).then(() => described(page));
      assert.deepEqual(opened.view.seats, back.view.seats);
      assert.deepEqual(
        opened.view.countries.map((c) => c.f),
        earlier,
      );

      // The record played back (at the slowest pace, to be paused at its start):
      // paused, stepped, then on to its end at the turn it was downloaded at.
      await menu(page, 'menu-view', 'menu-speed-0');
      await (await page.$('#menu-files')).uploadFile(record);
      await page.waitForFunction(() => window.velcor.described.replaying && !window.velcor.busy, { polling: 20 });
      await menu(page, 'menu-replay', 'menu-replay-pause');
      await page.waitForFunction(() => window.velcor.view.paused && !window.velcor.busy, { polling: 20 });
      const paused = await described(page);
      assert.ok(paused.view.paused && paused.replaying);
      await menu(page, 'menu-replay', 'menu-replay-step');
      const stepped = await settled(page).then(() => described(page));
      assert.notDeepEqual([stepped.view.year, stepped.view.month, stepped.view.turn], [paused.view.year, paused.view.month, paused.view.turn], 'one step');
      assert.ok(stepped.replaying && stepped.view.paused, 'still paused');
      await shot(page, 'replay-paused');
      await menu(page, 'menu-view', 'menu-speed-2');
      await menu(page, 'menu-replay', 'menu-replay-pause');
      await page.waitForFunction(() => !window.velcor.described.replaying && !window.velcor.busy, { timeout: 60000, polling: 50 });
      const end = await settled(page).then(() => described(page));
      assert.deepEqual(
        end.view.countries.map((c) => c.f),
        earlier,
      );
      assert.deepEqual(errors, []);
    } catch (e) {
      const p = (await browser.pages()).at(-1);
      await p.screenshot({ path: join(shots, `failed-${screen.name}.png`) });
      console.log('FAILED', screen.name, JSON.stringify(await described(p).then((d) => ({ stage: d.stage, acting: d.acting, busy: d.busy, rep: d.replaying, paused: d.view?.paused }))), await p.evaluate(() => document.querySelector('.cover')?.outerHTML.slice(0, 300)));
      throw e;
    } finally {
      await browser.close();
    }
  });
}
