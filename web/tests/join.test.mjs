// SPDX-License-Identifier: GPL-3.0-or-later
// A browser tab joins a networked game: a headless host with two remote seats serves the
// page on its own port, the program plays one seat (resting) and the page opened at the host's link on a phone waits in the
// host's lobby until its player taps 準備完了 (the host begins only then), rests at each of
// its turns, is closed mid-game and opened again at the same link (it joins again and
// catches up); at a later turn the page's save is the host's record played by the
// native program, byte for byte, and the game goes on to the host's end, where the
// program's save is the host's. Loopback only.
//   VELCOR=build/default/src/velcor node --test web/tests/join.test.mjs   (after scripts/web.sh)
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { after, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { downloaded, downloads } from './downloads.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const velcor = process.env.VELCOR ?? join(root, 'build/default/src/velcor');
const scratch = mkdtempSync(join(tmpdir(), 'velcor-join-'));
after(() => rmSync(scratch, { recursive: true, force: true }));

// The host's lines as they come, until one matches.
function hostLine(host, pattern) {
  return new Promise((resolve, reject) => {
    let text = '';
    const timer = setTimeout(() => reject(new Error(`no line ${pattern}: ${text}`)), 20000);
    host.stdout.on('data', (chunk) => {
      text += chunk;
      const found = text.split('\n').find((line) => pattern.test(line));
      if (found) clearTimeout(timer), resolve(found);
    });
  });
}

const joinedView = (page) => page.evaluate(() => ({ ...(window.velcor.view?.joined ?? {}), year: window.velcor.view?.year, month: window.velcor.view?.month }));

// Rests at each of the seat's turns (the notice that says it is his tapped away) until
// turns have passed; false once the host has ended the game.
async function restTurns(page, turns) {
  for (let i = 0; i < turns; i++) {
    await page.waitForFunction(
      () => {
        document.querySelector('#report-close')?.click();
        document.querySelector('.your-turn')?.click();
        const v = window.velcor;
        return (v.view?.joined?.turn && !v.busy && !document.querySelector('.cover')) || v.hostEnded;
      },
      { timeout: 60000, polling: 50 },
    );
    const turn = await page.evaluate(() => !window.velcor.hostEnded && window.velcor.joinedTurns);
    if (!turn) return false;
    // A tap that lands as あなたの番です comes up is taken by the notice: tapped again.
    for (let tries = 0; ; tries++) {
      await page.evaluate(() => document.querySelector('.your-turn')?.click());
      await page.tap('#cmd-R');
      const on = await page
        .waitForFunction((t) => window.velcor.joinedTurns > t || window.velcor.hostEnded, { timeout: 5000, polling: 50 }, turn)
        .then(() => true, () => false);
      if (on) break;
      assert.ok(tries < 12, 'his rest taken');
    }
  }
  return true;
}

test('a phone joins at the host link, rejoins by opening it again, and saves the host game', { timeout: 240000 }, async () => {
  const record = join(scratch, 'host.record');
  const save = join(scratch, 'host.txt');
  const host = spawn(
    velcor,
    ['--headless', '--data', join(root, 'data'), '--scenario', '1', '--ruler', '1', '--seat', '3=remote', '--seat', '8=remote', '--months', '24', '--clock', '1000', '--host', '0', '--turn-limit', '600', '--record', record, '--save', save],
    { env: { ...process.env, HOME: scratch }, stdio: ['ignore', 'pipe', 'pipe'] },
  );
  let hostErr = '';
  host.stderr.on('data', (chunk) => (hostErr += chunk));
  const hostDone = new Promise((resolve) => host.on('exit', resolve));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--accept-lang=ja', `--user-data-dir=${mkdtempSync(join(scratch, 'profile-'))}`],
  });
  try {
    const [link, invitation] = await Promise.all([
      hostLine(host, /^http:\/\/127\.0\.0\.1:\d+\/#seat=3&key=[0-9a-f]{32}$/),
      hostLine(host, /^velcor:\/\/127\.0\.0\.1:\d+#seat=8&key=[0-9a-f]{32}$/),
    ]);
    const playerSave = join(scratch, 'player.txt');
    const player = spawn(velcor, ['--headless', '--data', join(root, 'data'), '--join', invitation, '--player', 'rest', '--save', playerSave], {
      env: { ...process.env, HOME: scratch },
      stdio: ['ignore', 'ignore', 'pipe'],
    });
    let playerErr = '';
    player.stderr.on('data', (chunk) => (playerErr += chunk));
    const playerDone = new Promise((resolve) => player.on('exit', resolve));
    const open = async () => {
      const page = await browser.newPage();
      page.errors = [];
      page.on('pageerror', (e) => page.errors.push(e.message));
      await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
      await page.goto(link);
      await page.waitForFunction(() => window.velcor?.ready && window.velcor.joined, { timeout: 30000 });
      // The secret is gone from the address and the history the moment the page read it.
      assert.equal(await page.evaluate(() => location.href), link.slice(0, link.indexOf('#')));
      await page.evaluate(() => window.velcor.store.refresh());
      return page;
    };
    let page = await open();
    // The lobby: his seat joined, not ready, and the host waits for him until he taps.
    await page.waitForFunction(() => document.querySelector('#lobby li.own .state')?.textContent === '参加しました (準備中)', { timeout: 30000, polling: 50 });
    assert.equal(await page.$eval('#lobby-ready', (b) => b.getAttribute('aria-pressed')), 'false');
    await page.tap('#lobby-ready');
    assert.ok(await restTurns(page, 4), hostErr);
    assert.match(hostErr, /seat 3 is ready/);
    assert.equal(await page.$('#lobby'), null, 'the lobby gone once the game has begun');
    const before = await joinedView(page);
    await page.close();
    page = await open();
    // Joined again: the record is played again up to the seat's turn, and it goes on.
    await page.waitForFunction((b) => window.velcor.view?.year * 12 + window.velcor.view?.month >= b.year * 12 + b.month, { timeout: 60000, polling: 100 }, before);
    assert.ok(await restTurns(page, 3), hostErr);
    // At his turn, all the host's record played: the page's record is the host's (but
    // for the save it is tied to), and the native program plays it to the page's save.
    await page.waitForFunction(
      () => {
        document.querySelector('.your-turn')?.click();
        const v = window.velcor;
        return v.view?.joined?.turn && v.view.joined.behind === 0 && !v.busy && !document.querySelector('.cover');
      },
      { timeout: 60000, polling: 50 },
    );
    // The host's limit of a turn: the time left counts down after the status line.
    const left = Number((await page.$eval('#figures .status', (e) => e.textContent)).match(/残り (\d+) 秒/)?.[1]);
    assert.ok(left > 0 && left <= 600, `the time left: ${left}`);
    mkdirSync(join(root, 'build/web-test/shots'), { recursive: true });
    await page.screenshot({ path: join(root, 'build/web-test/shots/joined-ja-390x844.png') });
    const dir = join(scratch, 'downloads');
    await downloads(page, dir);
    const download = async (item, suffix) => {
      for (const selector of ['#menu-file', item]) await (await page.waitForSelector(selector, { visible: true })).tap();
      return downloaded(dir, suffix);
    };
    const saved = await download('#menu-download', '.txt');
    const pageRecord = await download('#menu-download-record', '.record');
    const untied = (file) => readFileSync(file, 'latin1').replace(/\nsave [^]*$/, '');
    assert.equal(untied(pageRecord), untied(record));
    const replayed = join(scratch, 'replayed.txt');
    execFileSync(velcor, ['--headless', '--data', join(root, 'data'), '--replay', pageRecord, '--save', replayed]);
    assert.ok(readFileSync(saved).equals(readFileSync(replayed)), 'the same bytes');
    // On to the host's end, which the page is told.
    while (await restTurns(page, 1));
    assert.equal(await hostDone, 0, hostErr);
    assert.equal(await playerDone, 0, playerErr);
    assert.ok(readFileSync(playerSave).equals(readFileSync(save)), "the program's save is the host's");
    assert.deepEqual(page.errors, []);
  } finally {
    await browser.close();
    host.kill();
  }
});
