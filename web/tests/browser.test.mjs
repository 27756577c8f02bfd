// SPDX-License-Identifier: GPL-3.0-or-later
// The page in a real browser: Debian's chromium, headless, driven through puppeteer.
// A game played by clicks and keys (a new game, a domestic command, a move, a war and
// its battle, a save and a load), its record downloaded and replayed by the native
// program to the very save the page wrote, a record of the native program replayed
// by the page, a bundle of a save and its companions crossing between the page and the
// native program both ways, and the page's layout in both languages on a desktop and a
// phone.
//   VELCOR=build/default/src/velcor node --test web/tests/
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { crc32 } from 'node:zlib';
import puppeteer from 'puppeteer-core';
import { serve } from '../tools/serve.mjs';
import { downloaded, downloads } from './downloads.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const site = join(root, 'build/web');
const velcor = resolve(root, process.env.VELCOR ?? 'build/default/src/velcor');
const shots = join(root, 'build/web-test/shots');
const scratch = mkdtempSync(join(tmpdir(), 'velcor-web-'));
const words = JSON.parse(readFileSync(join(site, 'words.json'), 'utf8'));

let server;
let origin;
before(async () => {
  server = await serve(site, 0);
  origin = `http://127.0.0.1:${server.address().port}/`;
  mkdirSync(shots, { recursive: true });
});
after(() => {
  server?.close();
  rmSync(scratch, { recursive: true, force: true });
});

// A fresh chromium speaking the language given, with downloads going to a folder.
async function browserIn(language) {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: [
      '--headless',
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      `--accept-lang=${language}`,
      `--user-data-dir=${mkdtempSync(join(scratch, 'profile-'))}`,
    ],
  });
  return browser;
}

// A page of the game in browser (or a context of it); prepare(page) runs before it opens.
async function openPage(browser, width = 1366, height = 768, prepare = null) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.errors = errors;
  await page.setViewport({ width, height });
  await prepare?.(page);
  await page.goto(origin);
  await page.waitForFunction(() => window.velcor?.ready, { timeout: 30000 });
  return page;
}

const state = (page) => page.evaluate(() => ({ stage: window.velcor.described.stage, busy: window.velcor.busy, view: window.velcor.view }));

// Waits for the player's turn, closing the turn report on the way.
async function playerTurn(page) {
  await page.waitForFunction(
    () => {
      document.querySelector('#report-close')?.click();
      return !window.velcor.busy && window.velcor.described.stage !== 'computerTurns' && !document.querySelector('.cover');
    },
    { timeout: 60000, polling: 50 },
  );
  return state(page);
}

// A key pressed with Ctrl held: the menus' shortcuts.
async function control(page, key) {
  await page.keyboard.down('Control');
  await page.keyboard.press(key);
  await page.keyboard.up('Control');
}

async function menu(page, head, item) {
  await page.click(`#${head}`);
  await page.click(`#${item}`);
}

// Clicks the map on a pixel of country, found the way a player finds it.
async function clickCountry(page, country) {
  const point = await page.evaluate((c) => {
    const map = window.velcor.map;
    const { x, y } = window.velcor.view.countries[c];
    let best = null;
    for (let py = 0; py < 440; py++)
      for (let px = 0; px < 616; px++)
        if (map.countryAt(px, py) === c) {
          const d = (px - x - 8) ** 2 + (py - y + 8) ** 2;
          if (!best || d < best.d) best = { px, py, d };
        }
    const r = document.getElementById('map').getBoundingClientRect();
    return { x: r.left + ((best.px + 0.5) * r.width) / 616, y: r.top + ((best.py + 0.5) * r.height) / 440 };
  }, country);
  await page.mouse.click(point.x, point.y);
}

// Rests the mouse on a pixel of country.
async function hoverCountry(page, country) {
  const point = await page.evaluate((c) => {
    const map = window.velcor.map;
    for (let py = 0; py < 440; py++)
      for (let px = 0; px < 616; px++) if (map.countryAt(px, py) === c && map.countryAt(px + 4, py + 4) === c) return map.clientPoint(px + 2.5, py + 2.5);
    return null;
  }, country);
  await page.mouse.move(point.x - 3, point.y - 3);
  await page.mouse.move(point.x, point.y);
}

async function newGame(page, scenario, ruler) {
  await page.click('#start-new');
  await page.click(`#scenario-${scenario}`);
  await page.click(`#ruler-${ruler}`);
  await page.click('#new-game-ok');
  return playerTurn(page);
}

// Rests until the turn country can give the command wanted; its view then.
async function restUntil(page, wanted, turns = 24) {
  let s = await playerTurn(page);
  for (let i = 0; i < turns && !wanted(s.view); i++) {
    await page.keyboard.press('r');
    s = await playerTurn(page);
    assert.equal(s.stage, 'command', 'the player still plays');
  }
  assert.ok(wanted(s.view), 'the turn came');
  return s;
}


describe('a game in the browser', () => {
  let browser;
  let page;
  before(async () => {
    browser = await browserIn('en-US');
    page = await openPage(browser);
    await menu(page, 'menu-view', 'menu-speed-2');
  });
  after(() => browser?.close());

  test('a new game, a domestic command, a move, a war and its battle, a save and a load', async () => {
    // 董卓 holds two countries side by side in the first scenario.
    let s = await newGame(page, 1, 9);
    assert.equal(s.view.player, 9);
    const turn = s.view.turn;
    const before = s.view.countries[turn].f;
    await page.keyboard.press('l');
    await page.waitForFunction(() => !window.velcor.busy && !window.velcor.described.commands.L.offered);
    s = await state(page);
    const land = s.view.countries[turn].f;
    assert.ok(land[2] > before[2], 'the land was developed');
    assert.equal(before[5] - land[5], 1000, 'for the cost of the command');
    assert.equal(await page.$eval('#cmd-M', (b) => b.getAttribute('aria-disabled')), 'true', 'one command a turn');

    await page.keyboard.press('r');
    s = await restUntil(page, (v) => v.description.stage === 'command' && v.description.moveTargets.length > 0);
    const from = s.view.turn;
    const to = s.view.description.moveTargets[0];
    const soldiers = s.view.countries[from].f[6];
    await page.click('#cmd-M');
    await page.waitForFunction(() => !window.velcor.busy && window.velcor.described.stage === 'choosingMove');
    await clickCountry(page, to);
    await page.waitForSelector('#move-ok');
    await page.$eval('.move input[name=soldiers]', (i, n) => (i.value = String(n)), Math.floor(soldiers / 2));
    await page.click('#move-ok');
    await page.waitForFunction(() => !window.velcor.busy && !document.querySelector('.cover'));
    s = await state(page);
    assert.equal(s.view.countries[from].f[6], soldiers - Math.floor(soldiers / 2), 'the soldiers left');

    await page.keyboard.press('r');
    s = await restUntil(page, (v) => v.description.stage === 'command' && !v.description.commands.W.why && v.description.warTargets.length > 0);
    const battles = () => page.evaluate(() => window.velcor.chronicle.filter((e) => e.kind === 'battle' && e.player).length);
    const fought = await battles();
    await page.keyboard.press('w');
    await page.waitForFunction(() => !window.velcor.busy && window.velcor.described.stage === 'choosingWar' && window.velcor.odds.size > 0);
    await page.keyboard.press('ArrowRight');
    const status = await page.evaluate(() => window.velcor.status());
    assert.match(status, /%/, 'the odds are told while the target is chosen');
    await page.keyboard.press('Enter');
    await page.waitForSelector('.battle');
    await page.keyboard.press('Enter'); // to the battle's end at once
    await page.waitForFunction(() => !window.velcor.busy && !document.querySelector('.cover'), { timeout: 30000 });
    assert.equal(await battles(), fought + 1, 'the battle was fought');

    // Saved at the start of a turn, loaded after a command: the same turn again.
    await page.keyboard.press('r');
    await playerTurn(page);
    await control(page, 's');
    await page.waitForSelector('.alert');
    await page.keyboard.press('Enter');
    const saved = (await state(page)).view;
    assert.equal((await kept(page, 'saves')).length, 1);
    const open = ['L', 'C', 'S', 'T'].find((k) => !saved.description.commands[k].why);
    if (open) {
      await page.keyboard.press(open.toLowerCase());
      await page.waitForFunction(() => !window.velcor.busy && !window.velcor.described.commands.L.offered);
    }
    await control(page, 'o');
    await page.waitForSelector('#save-0').then((b) => b.click()); // the list is read first
    s = await playerTurn(page);
    assert.equal(s.view.turn, saved.turn, 'the loaded game gives the saved turn again');
    assert.deepEqual(
      s.view.countries.map((c) => c.f),
      saved.countries.map((c) => c.f),
    );
    assert.deepEqual(page.errors, []);
  });

  test('the record downloaded from the page replays natively to the save the page wrote', async () => {
    const dir = join(scratch, 'downloads');
    await downloads(page, dir);
    await menu(page, 'menu-file', 'menu-download');
    const save = await downloaded(dir, '.txt');
    await menu(page, 'menu-file', 'menu-download-record');
    const record = await downloaded(dir, '.record');
    const replayed = join(scratch, 'replayed.txt');
    execFileSync(velcor, ['--headless', '--data', join(root, 'data'), '--replay', record, '--save', replayed]);
    assert.ok(readFileSync(save).equals(readFileSync(replayed)), 'the same bytes');
  });

  test("the native program's record replays in the page to the native save", async () => {
    const record = join(scratch, 'native.record');
    const save = join(scratch, 'native.txt');
    execFileSync(velcor, ['--headless', '--data', join(root, 'data'), '--scenario', '2', '--ruler', '2', '--months', '30', '--clock', '1234567', '--record', record, '--save', save]);
    const input = await page.$('#menu-files');
    await input.uploadFile(record);
    // Played back a step at a time, to its end.
    await page.waitForFunction(() => window.velcor.described.replaying, { polling: 20 });
    await page.waitForFunction(() => !window.velcor.described.replaying, { timeout: 120000, polling: 50 });
    await playerTurn(page);
    const dir = join(scratch, 'native-downloads');
    await downloads(page, dir);
    await menu(page, 'menu-file', 'menu-download');
    assert.ok(readFileSync(await downloaded(dir, '.txt')).equals(readFileSync(save)), 'the same bytes');
  });
});

// The games the page keeps of a kind, newest first, as its store lists them.
const kept = (page, kind) => page.evaluate(async (k) => (await window.velcor.store.refresh(), window.velcor.store.list(k)), kind);

// What the player reads in the Japanese page: no word of the browser's English.
const japanese = (text) => !/[A-Za-z]{3,}/.test(text);
const alertText = (page) => page.waitForSelector('.alert').then((e) => e.evaluate((a) => a.textContent));
const chronicle = (page) => page.evaluate(() => window.velcor.chronicle.map((e) => `${e.year}.${e.month} ${e.kind}`));
// The text of an engine's message in the page's words (the page's own words module).
const engineText = (page, words) => page.evaluate(async (w) => (await import('./words.js')).text(w), words);

// A save written by the native program, each line then changed by edit(lines, world),
// where world gives every country's ruler.
function nativeSave(name, edit) {
  const path = join(scratch, name);
  execFileSync(velcor, ['--headless', '--data', join(root, 'data'), '--scenario', '1', '--ruler', '9', '--months', '0', '--clock', '1234567', '--save', path]);
  const lines = readFileSync(path, 'latin1').split('\r\n');
  const rulers = [...Array(14).keys()].map((c) => Number(lines[4 + 12 * c + 2]));
  edit(lines, rulers);
  writeFileSync(path, lines.join('\r\n'), 'latin1');
  return path;
}

describe('files, saves and tabs', () => {
  let browser;
  before(async () => {
    browser = await browserIn('ja-JP');
  });
  after(() => browser?.close());

  // A page in a browser context of its own: nothing kept by another test.
  async function freshPage(prepare) {
    const page = await openPage(await browser.createBrowserContext(), 1366, 768, prepare);
    await menu(page, 'menu-view', 'menu-speed-2');
    return page;
  }
  async function upload(page, path) {
    const input = await page.$('#menu-files');
    await input.uploadFile(path);
  }
  // A game's file handed to a page without a game: the page reads it after the upload
  // returns, so the turn waited for next is the loaded game's only once it has a turn.
  async function uploadGame(page, path) {
    await upload(page, path);
    await page.waitForFunction(() => window.velcor.view?.description, { timeout: 30000, polling: 50 });
  }

  test('files handed to the page: what cannot be a save leaves the game as it was', async () => {
    const page = await freshPage();
    await newGame(page, 1, 9);
    await page.keyboard.press('r');
    await playerTurn(page);
    const story = await chronicle(page);
    const refused = [
      { name: 'large.txt', bytes: Buffer.alloc(1 << 20, 0xa5) }, // beyond the engine's stack
      { name: 'lines.txt', bytes: Buffer.from('1\n'.repeat(33333)) },
      { name: 'junk.txt', bytes: Buffer.from('no save\n') },
      { name: 'junk.record', bytes: Buffer.from('VELCOR-RECORD 1\njunk\n') },
    ];
    for (const { name, bytes } of refused) {
      const path = join(scratch, name);
      writeFileSync(path, bytes);
      await upload(page, path);
      const said = await alertText(page);
      assert.ok(said.includes(name), `${name}: the error names the player's file`);
      assert.ok(!said.includes('velcor-save'), `${name}: never the engine's own copy`);
      await page.keyboard.press('Enter');
      const s = await playerTurn(page);
      assert.equal(s.stage, 'command', `${name}: the game goes on`);
      assert.deepEqual(await chronicle(page), story, `${name}: its chronicle kept`);
    }
    // The engine still plays: a domestic command is carried out.
    const view = (await state(page)).view;
    const open = ['L', 'C', 'S', 'T'].find((k) => !view.description.commands[k].why);
    await page.keyboard.press(open.toLowerCase());
    await page.waitForFunction(() => !window.velcor.busy && !window.velcor.described.commands.L.offered);
    assert.equal((await chronicle(page)).length, story.length + 1, 'the command is in the chronicle');
    // A world every line of which is 1 is a world the player already holds: 戦績.
    const won = join(scratch, 'won.txt');
    writeFileSync(won, '1\n'.repeat(172));
    await upload(page, won);
    await page.waitForSelector('#summary-close', { timeout: 30000 });
    assert.equal((await state(page)).stage, 'won');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  test("a bundle crosses both ways: the program's with its seats and level plays in the page, the page's in the program; a broken one changes nothing", async () => {
    const data = join(root, 'data');
    const native = join(scratch, 'seated.txt');
    execFileSync(velcor, ['--headless', '--data', data, '--scenario', '1', '--ruler', '9', '--difficulty', 'hard', '--seat', '5=easy', '--months', '1', '--clock', '1234567', '--save', native, '--record', `${native}.record`]);
    const files = { save: native, difficulty: `${native}.difficulty`, seats: `${native}.seats`, record: `${native}.record` };
    const parts = Object.entries(files).map(([name, path]) => [name, readFileSync(path)]);
    const head = `VELCOR-BUNDLE 1\n${parts.map(([name, b]) => `${name} ${b.length} ${crc32(b).toString(16).padStart(8, '0')}\n`).join('')}\n`;
    const made = join(scratch, 'seated.velcor');
    writeFileSync(made, Buffer.concat([Buffer.from(head), ...parts.map(([, b]) => b)]));
    const page = await freshPage();
    await uploadGame(page, made);
    assert.equal((await playerTurn(page)).stage, 'command');

    const dir = join(scratch, 'bundle-downloads');
    await downloads(page, dir);
    await menu(page, 'menu-file', 'menu-download-bundle');
    const back = await downloaded(dir, '.velcor');
    // The page's bundle keeps the seats and the level; the program opens it as the same
    // game as the page's save with its companions beside it.
    const bytes = readFileSync(back);
    const headEnd = bytes.indexOf('\n\n');
    let at = headEnd + 2;
    const pageParts = {};
    for (const line of bytes.subarray(0, headEnd).toString('latin1').split('\n').slice(1)) {
      const [name, size, crc] = line.split(' ');
      pageParts[name] = bytes.subarray(at, (at += Number(size)));
      assert.equal(crc32(pageParts[name]).toString(16).padStart(8, '0'), crc, `${name}: its CRC-32`);
    }
    const firstLine = (b) => b.toString('latin1').split('\n')[0];
    for (const name of ['seats', 'difficulty']) assert.equal(firstLine(pageParts[name]), firstLine(readFileSync(files[name])), name);
    const beside = join(scratch, 'beside.txt');
    const besideName = { save: '', chronicle: '.chronicle.jsonl', difficulty: '.difficulty', seats: '.seats', record: '.record' };
    for (const [name, part] of Object.entries(pageParts)) writeFileSync(beside + besideName[name], part);
    const played = (from, to) => execFileSync(velcor, ['--headless', '--data', data, '--load', from, '--months', '2', '--clock', '7654321', '--save', to]);
    played(back, join(scratch, 'from-bundle.txt'));
    played(beside, join(scratch, 'from-files.txt'));
    for (const suffix of ['', '.seats', '.difficulty'])
      assert.ok(readFileSync(join(scratch, `from-bundle.txt${suffix}`)).equals(readFileSync(join(scratch, `from-files.txt${suffix}`))), `${suffix}: the same bytes`);

    const story = await chronicle(page);
    const cut = join(scratch, 'cut.velcor');
    writeFileSync(cut, readFileSync(back).subarray(0, -1));
    await upload(page, cut);
    assert.ok((await alertText(page)).includes('cut.velcor'), "the error names the player's file");
    await page.keyboard.press('Enter');
    assert.equal((await playerTurn(page)).stage, 'command', 'the game goes on');
    assert.deepEqual(await chronicle(page), story, 'its chronicle kept');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  test('a saved game loads with its chronicle, by ﾛｰﾄﾞ and from its autosave', async () => {
    const page = await freshPage();
    await newGame(page, 1, 9);
    for (let i = 0; i < 6; i++) {
      await page.keyboard.press('r');
      await playerTurn(page);
    }
    await control(page, 's');
    await page.waitForSelector('.alert');
    await page.keyboard.press('Enter');
    const story = await chronicle(page);
    for (const pick of ['#start-resume', '#save-0']) {
      await page.reload();
      await page.waitForFunction(() => window.velcor?.ready);
      if (pick === '#save-0') await page.click('#start-load');
      await page.waitForSelector(pick).then((b) => b.click());
      await playerTurn(page);
      const told = await chronicle(page);
      assert.deepEqual(told.slice(0, story.length), story, `${pick}: the story up to the save, then the load`);
      assert.equal(told[story.length].split(' ')[1], 'start');
    }
    await page.close();
  });

  test('the saves of an older page taken in, and the game kept as it stands when the page is closed', async () => {
    const page = await freshPage();
    const older = readFileSync(nativeSave('older.txt', () => {}), 'latin1');
    await page.evaluate((save) => {
      const entry = { save, record: '', chronicle: '', difficulty: 1, year: 189, month: 12, player: 9, time: Date.now() };
      localStorage.setItem('velcor.saves', JSON.stringify([entry]));
    }, older);
    await page.reload();
    await page.waitForFunction(() => window.velcor?.ready);
    assert.equal((await kept(page, 'saves')).length, 1, 'the older save is among the saves');
    assert.equal(await page.evaluate(() => localStorage.getItem('velcor.saves')), null, 'and no longer beside them');
    await page.click('#start-load');
    await page.waitForSelector('#save-0').then((b) => b.click()); // the list is read first
    const { view } = await playerTurn(page);
    assert.equal(view.player, 9);

    // A command given, the page closed: its return resumes after the command.
    const open = ['L', 'C', 'S', 'T'].find((k) => !view.description.commands[k].why);
    await page.keyboard.press(open.toLowerCase());
    await page.waitForFunction(() => !window.velcor.busy && !window.velcor.described.commands.L.offered);
    const story = await chronicle(page);
    await page.goto('about:blank');
    await page.goto(origin);
    await page.waitForFunction(() => window.velcor?.ready);
    await page.click('#start-resume');
    await playerTurn(page);
    const told = await chronicle(page);
    assert.deepEqual(told.slice(0, story.length), story, 'the autosave holds the command');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  test("a full storage and a second tab: said in the page's words, the autosaves one game's", async () => {
    const autosaves = () => window.velcor.store.refresh().then(() => window.velcor.store.list('autosaves'));
    // The browser's room for the page, made small enough to fill in a moment.
    const first = await freshPage((page) => page.createCDPSession().then((cdp) => cdp.send('Storage.overrideQuotaForOrigin', { origin: origin.slice(0, -1), quotaSize: 4 << 20 })));
    await newGame(first, 1, 9);
    await first.waitForFunction(`(${autosaves})().then((a) => a.length >= 1)`);
    const second = await openPage(first.browserContext());
    await newGame(second, 1, 2);
    await second.waitForSelector('#notice');
    assert.ok(japanese(await second.$eval('#notice', (n) => n.textContent)));
    await first.keyboard.press('r');
    await playerTurn(first);
    await second.keyboard.press('r');
    await playerTurn(second);
    await first.waitForFunction(`(${autosaves})().then((a) => a.length >= 2)`);
    const players = await first.evaluate(`(${autosaves})().then((a) => a.map((e) => e.player))`);
    assert.ok(players.every((p) => p === 9), 'the first tab keeps the autosaves');

    // The storage filled to the last kilobyte (with bytes no store can pack): an autosave
    // and a save fail, told in Japanese.
    await first.evaluate(async () => {
      const db = await new Promise((resolve) => {
        const open = indexedDB.open('filler', 1);
        open.onupgradeneeded = () => open.result.createObjectStore('filler');
        open.onsuccess = () => resolve(open.result);
      });
      const noise = new Uint8Array(1 << 20);
      for (let at = 0; at < noise.length; at += 65536) crypto.getRandomValues(noise.subarray(at, at + 65536));
      const put = (key, size) =>
        new Promise((resolve) => {
          const t = db.transaction('filler', 'readwrite');
          t.objectStore('filler').put(noise.slice(0, size), key);
          t.oncomplete = () => resolve(true);
          t.onabort = () => resolve(false);
        });
      for (let size = noise.length, key = 0; size >= 1024; size >>= 1) while (await put(key++, size));
    });
    await first.keyboard.press('r');
    await playerTurn(first);
    await first.waitForSelector('#notice');
    assert.ok(japanese(await first.$eval('#notice', (n) => n.textContent)), 'the autosave failed, in a notice');
    await control(first, 's');
    assert.ok(japanese(await alertText(first)), 'the save failed');
    await first.keyboard.press('Enter');
    assert.deepEqual([...first.errors, ...second.errors], []);
    await second.close();
    await first.close();
  });

  test('a command the country cannot carry out looks so, and says why, before it is pressed', async () => {
    // Every country of the player with more soldiers than provisions: war refused.
    const save = nativeSave('short.txt', (lines, rulers) => {
      rulers.forEach((r, c) => r === 9 && (lines[4 + 12 * c + 6] = '999999'));
    });
    const page = await freshPage();
    await uploadGame(page, save);
    const { view } = await playerTurn(page);
    assert.ok(view.description.commands.W.why, 'the war is refused');
    for (const key of ['M', 'W', 'L', 'C', 'S', 'T']) {
      const button = await page.$eval(`#cmd-${key}`, (b) => ({ blocked: b.classList.contains('blocked'), title: b.title }));
      assert.equal(button.blocked, !!view.description.commands[key].why, `${key}: looks as the rules have it`);
      if (view.description.commands[key].why) assert.ok(button.title.includes(await engineText(page, view.description.commands[key].why)), `${key}: why, in its tooltip`);
    }
    await page.close();
  });
});

// The page laid out for a desktop and for a phone held upright, in each language the
// browser may ask for: the whole map and every command within the width, nothing to
// scroll sideways, the menus in the browser's language.
describe('the layout', () => {
  const cases = [
    { language: 'ja', width: 1366, height: 768 },
    { language: 'en', width: 1366, height: 768 },
    { language: 'ja', width: 390, height: 844 },
    { language: 'en', width: 390, height: 844 },
  ];
  for (const { language, width, height } of cases)
    test(`${language} at ${width}x${height}`, async () => {
      const browser = await browserIn(language === 'ja' ? 'ja-JP' : 'en-US');
      try {
        const page = await openPage(browser, width, height);
        await newGame(page, 1, 1);
        await page.screenshot({ path: join(shots, `${language}-${width}x${height}.png`) });
        const laid = await page.evaluate(() => {
          const box = (e) => e.getBoundingClientRect().toJSON();
          return {
            scrollWidth: document.scrollingElement.scrollWidth,
            map: box(document.getElementById('map')),
            buttons: [...document.querySelectorAll('.command')].map(box),
            file: document.getElementById('menu-file').textContent,
          };
        });
        assert.ok(laid.scrollWidth <= width, 'nothing to scroll sideways');
        assert.ok(laid.map.left >= 0 && laid.map.right <= width && laid.map.bottom <= height && laid.map.width > width / 2, 'the whole map');
        for (const b of laid.buttons) assert.ok(b.left >= 0 && b.right <= width && b.bottom <= height && b.width > 0, 'every command');
        const file = words.translations.en.CMainFrame['ﾌｧｲﾙ(&F)'];
        assert.equal(laid.file === file.replace('&', ''), language === 'en', 'the menus speak the browser\'s language');
        // The picture's 大漠 (at 82,41, 30 by 17), kept in Japanese, covered in English.
        const changed = await page.evaluate(() => {
          const map = window.velcor.map;
          const shown = map.canvas.getContext('2d');
          let n = 0;
          for (let y = 41; y < 58; y++)
            for (let x = 82; x < 112; x++) {
              const [r, g, b] = shown.getImageData(Math.floor((x + 0.5) * map.scale), Math.floor((y + 0.5) * map.scale), 1, 1).data;
              const i = 4 * (y * 616 + x);
              if (r !== map.image.data[i] || g !== map.image.data[i + 1] || b !== map.image.data[i + 2]) n++;
            }
          return n;
        });
        assert.equal(changed > 0, language === 'en', 'the map\'s own names in the language in use');
        assert.deepEqual(page.errors, []);
      } finally {
        await browser.close();
      }
    });
});

// ---- A phone ----

// The page's own words, in the language asked.
const { kPageWords } = await import(join(root, 'web/words.js'));
const said = (language, japanese) => (language === 'en' ? kPageWords[japanese] : japanese);
const translated = (language, context, japanese) => (language === 'en' ? words.translations.en[context][japanese] : japanese);

// A phone's screen: its viewport, touch and no mouse, three pixels to a CSS pixel; once
// the page is open, what it shows after it has answered the change (a frame later).
async function asPhone(page, [width, height]) {
  await page.setViewport({ width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
  if (page.url().startsWith('http'))
    await page.waitForFunction(
      ([w, h]) => visualViewport.width === w && visualViewport.height === h && new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(() => r(true)))),
      {},
      [width, height],
    );
}

async function phonePage(browser, size) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.errors = errors;
  await asPhone(page, size);
  await page.goto(origin);
  await page.waitForFunction(() => window.velcor?.ready, { timeout: 30000 });
  return page;
}

// A tap on a pixel of country, found the way a player finds it.
async function tapCountry(page, country) {
  const point = await page.evaluate((c) => {
    const map = window.velcor.map;
    const { x, y } = window.velcor.view.countries[c];
    let best = null;
    for (let py = 0; py < map.view.h; py++)
      for (let px = 0; px < map.view.w; px++)
        if (map.countryAt(px, py) === c) {
          const d = (px - x - 8) ** 2 + (py - y + 8) ** 2;
          if (!best || d < best.d) best = { px, py, d };
        }
    return map.clientPoint(best.px + 0.5, best.py + 0.5);
  }, country);
  await page.touchscreen.tap(point.x, point.y);
}

// Taps 休養 until the turn country can give the command wanted; its view then.
async function restByTouchUntil(page, wanted, turns = 30) {
  let s = await playerTurn(page);
  for (let i = 0; i < turns && !wanted(s.view); i++) {
    await page.tap('#cmd-R');
    s = await playerTurn(page);
    assert.equal(s.stage, 'command', 'the player still plays');
  }
  assert.ok(wanted(s.view), 'the turn came');
  return s;
}

// The same where the page's game, whose computers draw from the page's clock, may have
// taken from the player what the command needs (a move wants two of his countries side
// by side): such a game is begun again by touch (scenario 1, ruler 9, who begins with
// two), twice at most.
async function restByTouchInSomeGame(page, wanted) {
  for (let games = 0; ; games++) {
    let s = await playerTurn(page);
    for (let i = 0; i < 30 && s.stage === 'command' && !wanted(s.view); i++) {
      await page.tap('#cmd-R');
      s = await playerTurn(page);
    }
    if (s.stage === 'command' && wanted(s.view)) return s;
    assert.ok(games < 2, 'the turn came');
    for (const selector of ['#menu-file', '#menu-new', '#scenario-1', '#ruler-9', '#new-game-ok']) await (await page.waitForSelector(selector, { visible: true })).tap();
  }
}

// What a phone's screen shows, measured in the page: every window, notice, tip and bar
// wholly within what is seen (the visual viewport), every button, field and list at
// least 44 pixels each way and nothing wider than the screen; the panel's text of 14
// pixels or more. A list of what is wrong; none, when all is well.
function phoneFaults(page, where) {
  return page.evaluate((where) => {
    const seen = window.visualViewport;
    const view = { left: seen.offsetLeft, top: seen.offsetTop, right: seen.offsetLeft + seen.width, bottom: seen.offsetTop + seen.height };
    const faults = [];
    const name = (e) => `${where}: ${e.id ? `#${e.id}` : e.className || e.tagName} "${(e.textContent ?? '').trim().slice(0, 16)}"`;
    // What a screen reader alone reads (out of sight until the keys are in it) is not seen.
    const shown = (e) => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== 'hidden' && !e.closest('.unseen');
    const within = (e, box, across = true) => {
      const r = e.getBoundingClientRect();
      const ok = r.left >= box.left - 0.5 && r.right <= box.right + 0.5 && (!across || (r.top >= box.top - 0.5 && r.bottom <= box.bottom + 0.5));
      if (!ok) faults.push(`${name(e)} at ${[r.left, r.top, r.right, r.bottom].map(Math.round)} beyond ${[box.left, box.top, box.right, box.bottom].map(Math.round)}`);
    };
    if (document.documentElement.scrollWidth > document.documentElement.clientWidth || window.innerWidth !== document.documentElement.clientWidth)
      faults.push(`${where}: the page is wider than the screen (${document.documentElement.scrollWidth}, ${window.innerWidth})`);
    const windows = [...document.querySelectorAll('.window, .notice, .tip')].filter(shown);
    for (const w of windows) within(w, view);
    for (const control of [...document.querySelectorAll('button, input, select')].filter(shown)) {
      const e = control.type === 'checkbox' ? control.closest('label') ?? control : control; // its label is what a finger taps
      const r = e.getBoundingClientRect();
      if (r.width < 44 || r.height < 44) faults.push(`${name(e)} is ${Math.round(r.width)}x${Math.round(r.height)}`);
      const body = e.closest('.window > .body');
      if (body) within(e, body.getBoundingClientRect(), false);
      else if (e.closest('.window, .notice')) within(e, view);
      else within(e, view, false);
    }
    for (const body of document.querySelectorAll('.window > .body')) if (body.scrollWidth > body.clientWidth + 1) faults.push(`${name(body)} scrolls sideways`);
    for (const e of document.querySelectorAll('#figures .figure, #figures .status, #choice-bar .words'))
      if (shown(e) && parseFloat(getComputedStyle(e).fontSize) < 14) faults.push(`${name(e)}: text of ${getComputedStyle(e).fontSize}`);
    // With the page at its top: the commands, or while a target is chosen the bar that
    // stands for them.
    const choosing = shown(document.getElementById('choice-bar'));
    if (!windows.length && document.scrollingElement.scrollTop === 0)
      for (const e of [...document.querySelectorAll(choosing ? '#choice-bar' : '.command')].filter(shown)) within(e, view);
    return faults;
  }, where);
}

async function laidOutForAPhone(page, where) {
  assert.deepEqual(await phoneFaults(page, where), []);
}

describe('the page on a phone', () => {
  // Each game is played held one way, then turned: both ways seen in both languages.
  const plays = [
    { language: 'ja', first: [390, 844], then: [844, 390] },
    { language: 'en', first: [844, 390], then: [390, 844] },
  ];
  for (const { language, first, then } of plays)
    test(`${language}: a game by touch at ${first.join('x')}, turned to ${then.join('x')}`, async () => {
      const browser = await browserIn(language === 'ja' ? 'ja-JP' : 'en-US');
      try {
        const page = await phonePage(browser, first);
        const shot = (what) => page.screenshot({ path: join(shots, `phone-${language}-${what}.png`) });
        await laidOutForAPhone(page, 'start');
        const map = await page.$eval('#map', (m) => m.getBoundingClientRect().toJSON());
        if (first[0] < first[1]) assert.equal(Math.round(map.width), first[0], 'the map as wide as the screen');
        await page.tap('#menu-view');
        await page.tap('#menu-speed-2');
        await page.tap('#start-new');
        await page.waitForSelector('.new-game');
        await laidOutForAPhone(page, 'new game');
        await page.tap('#scenario-1');
        await page.tap('#ruler-9');
        await page.tap('#new-game-ok');
        await page.waitForFunction(() => window.velcor.described.stage === 'command' || document.querySelector('#report-close'), { timeout: 30000 });
        if (await page.$('#report-close')) await laidOutForAPhone(page, 'turn report');
        await playerTurn(page);
        await laidOutForAPhone(page, 'a turn');
        await shot(`${first.join('x')}`);

        // A war chosen by touch: the back button first takes the choice back.
        const before = await restByTouchUntil(page, (v) => v.description.stage === 'command' && !v.description.commands.W.why && v.description.warTargets.length > 0);
        await page.tap('#cmd-W');
        await page.waitForFunction(() => !window.velcor.busy && window.velcor.described.stage === 'choosingWar' && window.velcor.odds.size > 0);
        await laidOutForAPhone(page, 'choosing');
        await page.goBack();
        await page.waitForFunction(() => window.velcor.described.stage === 'command');
        await page.tap('#cmd-W');
        await page.waitForFunction(() => !window.velcor.busy && window.velcor.described.stage === 'choosingWar' && window.velcor.odds.size > 0);
        const target = before.view.description.warTargets[0];
        await tapCountry(page, target);
        await page.waitForFunction((t) => window.velcor.choice === t, {}, target);
        const odds = await page.evaluate(() => [document.querySelector('#choice-bar .words').textContent, document.querySelector('#figures .status').textContent]);
        assert.ok(odds.every((t) => /\d+%/.test(t)), `the odds at once: ${odds}`);
        await laidOutForAPhone(page, 'a target chosen');
        await shot(`${first.join('x')}-odds`);
        const battles = () => page.evaluate(() => window.velcor.chronicle.filter((e) => e.kind === 'battle' && e.player).length);
        const fought = await battles();
        await page.tap('#choice-ok');
        await page.waitForSelector('.battle');
        await laidOutForAPhone(page, 'the battle');
        await page.tap('.battle');
        await page.waitForFunction(() => !window.velcor.busy && !document.querySelector('.cover'), { timeout: 30000 });
        assert.equal(await battles(), fought + 1, 'the battle was fought');

        // The turn's command given: a tap on another says why.
        await page.tap('#cmd-L');
        const why = await page.waitForSelector('#tip').then((t) => t.evaluate((e) => e.textContent));
        assert.equal(why, translated(language, 'Message', 'この番の行動は済みました (休養で番を終えます)'));
        await laidOutForAPhone(page, 'why not');

        // Turned: the advice beside the commands, never over them, asked again at each turn.
        await asPhone(page, then);
        await laidOutForAPhone(page, 'turned');
        await page.tap('#cmd-R');
        let s = await playerTurn(page);
        await page.tap('#menu-view');
        await page.tap('#menu-advice');
        const advised = (turn) => page.waitForFunction((t) => window.velcor.advice?.turn === t && !window.velcor.advice.thinking && document.querySelector('#advice tr.best'), { timeout: 60000 }, turn);
        await advised(s.view.turn);
        const overlap = await page.evaluate(() => {
          const a = document.getElementById('advice').getBoundingClientRect();
          return [...document.querySelectorAll('.command')].some((c) => {
            const b = c.getBoundingClientRect();
            return b.left < a.right && a.left < b.right && b.top < a.bottom && a.top < b.bottom;
          });
        });
        assert.equal(overlap, false, 'the advice covers no command');
        await laidOutForAPhone(page, 'the advice');
        await shot(`${then.join('x')}-advice`);
        await page.tap('#cmd-R');
        s = await playerTurn(page);
        await advised(s.view.turn);
        await page.tap('#advice-close');
        assert.equal(await page.$eval('#advice', (a) => a.hidden), true);
        await page.evaluate(() => window.scrollTo(0, 0));
        await shot(`${then.join('x')}`);

        // A move, typed with the on-screen keyboard taking a third of the screen.
        s = await restByTouchInSomeGame(page, (v) => v.description.stage === 'command' && v.description.moveTargets.length > 0);
        const from = s.view.turn;
        const soldiers = s.view.countries[from].f[6];
        await page.tap('#cmd-M');
        await page.waitForFunction(() => !window.velcor.busy && window.velcor.described.stage === 'choosingMove');
        await tapCountry(page, s.view.description.moveTargets[0]);
        await page.tap('#choice-ok');
        await page.waitForSelector('#move-ok');
        await page.tap('.move input[name=soldiers]');
        await asPhone(page, [then[0], Math.round((then[1] * 3) / 5)]);
        await page.waitForFunction(() => document.activeElement?.name === 'soldiers');
        await laidOutForAPhone(page, 'the keyboard up');
        const field = await page.evaluate(() => {
          const seen = window.visualViewport;
          const r = document.activeElement.getBoundingClientRect();
          return r.top >= seen.offsetTop && r.bottom <= seen.offsetTop + seen.height;
        });
        assert.ok(field, 'the field typed in is seen above the keyboard');
        await shot(`${then.join('x')}-keyboard`);
        await page.$eval('.move input[name=soldiers]', (i) => i.select());
        await page.keyboard.type(String(Math.floor(soldiers / 2)));
        await page.tap('#move-ok');
        await page.waitForFunction(() => !window.velcor.busy && !document.querySelector('.cover'), { timeout: 30000 });
        await asPhone(page, then);
        s = await state(page);
        assert.equal(s.view.countries[from].f[6], soldiers - Math.floor(soldiers / 2), 'the soldiers left');

        // The help names the fingers' ways, and the back button closes it.
        await page.tap('#menu-help');
        await page.tap('#menu-keys');
        const keys = await page.waitForSelector('.keys').then((k) => k.evaluate((e) => e.textContent));
        assert.ok(keys.includes(said(language, '長押し')), 'the help speaks of touch');
        await laidOutForAPhone(page, 'the help');
        await page.goBack();
        await page.waitForFunction(() => !document.querySelector('.cover'));

        // The smallest phone and the largest, either way up, with the file menu open.
        for (const size of [[360, 640], [640, 360], [430, 932], [932, 430]]) {
          await asPhone(page, size);
          await page.tap('#menu-file');
          await laidOutForAPhone(page, size.join('x'));
          await page.tap('#menu-file');
        }
        assert.deepEqual(page.errors, []);
      } finally {
        await browser.close();
      }
    });
});

// ---- Without the network, and on a slow link ----

// A copy of the page's build as the next version would be: one file changed, the list
// of files and hashes of its service worker written again.
function nextVersion() {
  const dir = join(scratch, 'next');
  execFileSync('cp', ['-r', site, dir]);
  writeFileSync(join(dir, 'velcor.css'), `${readFileSync(join(site, 'velcor.css'), 'utf8')}\n/* next */\n`);
  for (const packed of ['velcor.css.br', 'velcor.css.gz']) rmSync(join(dir, packed));
  writeFileSync(join(dir, 'sw.js'), readFileSync(join(root, 'web/sw.js')));
  execFileSync('node', [join(root, 'web/tools/ship.mjs'), dir]);
  return dir;
}

describe('kept for play without the network', () => {
  test('installable; a second visit plays with the network cut; a new version waits until it is taken', async () => {
    let own = await serve(site, 0);
    const port = own.address().port;
    const address = `http://127.0.0.1:${port}/`;
    const cut = () => {
      own.closeAllConnections();
      return new Promise((r) => own.close(r));
    };
    const browser = await browserIn('ja-JP');
    try {
      const page = await browser.newPage();
      const errors = [];
      page.on('pageerror', (e) => errors.push(e.message));
      await page.setViewport({ width: 1366, height: 768 });
      await page.goto(address);
      await page.waitForFunction(() => window.velcor?.ready, { timeout: 30000 });
      await page.evaluate(() => navigator.serviceWorker.ready);
      const installable = await page.createCDPSession().then((cdp) => cdp.send('Page.getInstallabilityErrors'));
      assert.deepEqual(installable.installabilityErrors, [], 'a phone may install it');
      await cut();

      await page.reload();
      await page.waitForFunction(() => window.velcor?.ready, { timeout: 30000 });
      await menu(page, 'menu-view', 'menu-speed-2');
      await newGame(page, 1, 9);
      await restUntil(page, (v) => v.description.stage === 'command' && !v.description.commands.W.why && v.description.warTargets.length > 0);
      const battles = () => page.evaluate(() => window.velcor.chronicle.filter((e) => e.kind === 'battle' && e.player).length);
      const fought = await battles();
      await page.keyboard.press('w');
      await page.waitForFunction(() => !window.velcor.busy && window.velcor.described.stage === 'choosingWar' && window.velcor.odds.size > 0);
      await page.keyboard.press('ArrowRight');
      await page.keyboard.press('Enter');
      await page.waitForSelector('.battle');
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => !window.velcor.busy && !document.querySelector('.cover'), { timeout: 30000 });
      assert.equal(await battles(), fought + 1, 'a war fought without the network');
      await page.keyboard.press('a'); // the advisor's own worker starts, from the page's files
      await page.waitForFunction(() => window.velcor.advice && !window.velcor.advice.thinking, { timeout: 60000 });
      await menu(page, 'menu-view', 'menu-en');
      assert.equal(await page.$eval('#menu-file', (m) => m.textContent), words.translations.en.CMainFrame['ﾌｧｲﾙ(&F)'].replace('&', ''));
      await control(page, 's');
      assert.equal(await alertText(page), words.translations.en.GameFiles['セーブが完了しました']);
      await page.keyboard.press('Enter');
      assert.equal((await kept(page, 'saves')).length, 1);

      // The next version served: the page open stays on its own files and offers the new
      // one; taken, the page reloads on it.
      own = await serve(nextVersion(), port);
      const css = () => page.evaluate(() => fetch('velcor.css').then((r) => r.text()));
      await page.reload();
      await page.waitForFunction(() => window.velcor?.ready, { timeout: 30000 });
      await page.waitForSelector('#notice .act', { timeout: 30000 });
      assert.ok(!(await css()).includes('next'), 'the open page keeps its version');
      await Promise.all([page.waitForNavigation(), page.click('#notice .act')]);
      await page.waitForFunction(() => window.velcor?.ready, { timeout: 30000 });
      assert.ok((await css()).includes('next'), 'the new version taken');
      assert.deepEqual(errors, []);
    } finally {
      await browser.close();
      await cut();
    }
  });
});

describe('a slow link', () => {
  // The link of a phone far from its mast: 1.6 Mbit/s each way, 150 ms of latency.
  const kSlow = { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 1.6e6 / 8 };
  const kStartPanelMs = 2500;

  test('the start panel within 2.5 s of a first visit, sooner on the second', async (t) => {
    const browser = await browserIn('ja-JP');
    try {
      const visits = [];
      // Two first visits, each in a browser context of its own (no cache, no service
      // worker): a machine busy with other work slows one, not the link.
      for (let i = 0; i < 2; i++) {
        const page = await (await browser.createBrowserContext()).newPage();
        const cdp = await page.createCDPSession();
        await cdp.send('Network.enable');
        await cdp.send('Network.emulateNetworkConditions', kSlow);
        const shown = () => page.waitForFunction(() => window.velcor?.times.startPanel, { timeout: 30000, polling: 20 }).then((h) => h.jsonValue());
        await page.goto(origin);
        const first = await shown();
        await page.evaluate(() => navigator.serviceWorker.ready);
        await page.reload();
        visits.push({ first, second: await shown() });
      }
      t.diagnostic(`start panel on a 1.6 Mbit/s, 150 ms link: ${visits.map((v) => `first visit ${Math.round(v.first)} ms, second ${Math.round(v.second)} ms`).join('; ')}`);
      assert.ok(Math.min(...visits.map((v) => v.first)) < kStartPanelMs, 'the first visit');
      assert.ok(visits.every((v) => v.second < v.first), 'the second visit from the page kept in the browser');
    } finally {
      await browser.close();
    }
  });
});

// ---- The displays beside the map ----

// Two browsers at a time: the games wait mostly on the shows' pace.
describe('the displays beside the map', { concurrency: 2 }, () => {
  const cases = [
    { language: 'ja', size: [1366, 768], touch: false },
    { language: 'en', size: [1366, 768], touch: false },
    { language: 'ja', size: [390, 844], touch: true },
    { language: 'en', size: [390, 844], touch: true },
  ];
  for (const { language, size, touch } of cases)
    test(`${language} at ${size.join('x')}${touch ? ' by touch' : ''}: 自国一覧, last month's battles, a country's tooltip, 推移 and 勢力`, async (t) => {
      const browser = await browserIn(language === 'ja' ? 'ja-JP' : 'en-US');
      try {
        const page = touch ? await phonePage(browser, size) : await openPage(browser, ...size);
        const press = (selector) => (touch ? page.tap(selector) : page.click(selector));
        const shot = async (what, seen = null) => {
          if (seen) await page.$eval(seen, (e) => e.scrollIntoView({ block: 'end' }));
          await page.screenshot({ path: join(shots, `views-${what}-${language}-${size.join('x')}.png`) });
        };
        await press('#menu-view');
        await press('#menu-speed-2');
        await press('#menu-view');
        await press('#menu-battles');
        await press('#start-new');
        await press('#scenario-1');
        await press('#ruler-9');
        await press('#new-game-ok');
        // Turns rested into the next month and until a battle was fought since the
        // player's turn before (his own war once he may wage one); the battles of the
        // events since then are those the map shows.
        let s = await playerTurn(page);
        let fought = [];
        let turns = 0;
        const begun = s.view.year * 12 + s.view.month;
        for (; turns < 36 && (!fought.length || s.view.year * 12 + s.view.month === begun); turns++) {
          const told = await page.evaluate(() => window.velcor.chronicle.length);
          if (s.view.description.stage === 'command' && !s.view.description.commands.W.why && s.view.description.warTargets.length) {
            await page.keyboard.press('w');
            await page.waitForFunction(() => !window.velcor.busy && window.velcor.described.stage === 'choosingWar');
            await page.keyboard.press('ArrowRight');
            await page.keyboard.press('Enter');
            await page.waitForSelector('.battle');
            await page.keyboard.press('Enter'); // to the battle's end at once
            await page.waitForFunction(() => !window.velcor.busy && !document.querySelector('.cover'), { timeout: 30000 });
          }
          await press('#cmd-R');
          s = await playerTurn(page);
          fought = await page.evaluate((from) => window.velcor.chronicle.slice(from).filter((e) => e.kind === 'battle').map((e) => [e.attacker, e.target, e.outcome === 'taken']), told);
        }
        t.diagnostic(`a battle after ${turns} turns`);
        assert.ok(fought.length, 'a battle within 36 turns');
        assert.deepEqual(s.view.arrows, fought, 'an arrow for each battle since the last turn');
        // Each arrow drawn in its colour halfway along, a little to its right.
        const drawn = await page.evaluate(() => {
          const { map } = window.velcor;
          const ctx = document.getElementById('map').getContext('2d');
          return window.velcor.view.arrows.map(([a, t]) => {
            const [from, to] = [map.centres()[a], map.centres()[t]];
            const length = Math.hypot(to.x - from.x, to.y - from.y);
            const x = (from.x + to.x) / 2 - (3 * (to.y - from.y)) / length;
            const y = (from.y + to.y) / 2 + (3 * (to.x - from.x)) / length;
            return [...ctx.getImageData(Math.floor((x - map.view.x) * map.scale), Math.floor((y - map.view.y) * map.scale), 1, 1).data.slice(0, 3)];
          });
        });
        drawn.forEach((rgb, i) => assert.deepEqual(rgb, fought[i][2] ? [200, 0, 0] : [0, 70, 210], `arrow ${fought[i]}`));
        await shot('arrows');

        // 自国一覧: the player's countries with the engine's figures; one chosen is shown.
        await press('#menu-view');
        await press('#menu-own');
        await page.waitForSelector('#own tbody tr');
        const own = await page.$$eval('#own tbody tr[data-country]', (rows) => rows.map((r) => [Number(r.dataset.country), ...[...r.querySelectorAll('td.number')].map((c) => Number(c.textContent))]));
        const player = s.view.player;
        const expected = s.view.countries.flatMap((c, i) => (c.f[0] === player ? [[i, ...c.f.slice(1, 8)]] : []));
        assert.deepEqual(own, expected, "the player's countries and their figures");
        assert.equal(await page.$eval('#own-title', (e) => e.textContent), translated(language, 'OwnCountriesWindow', '自国一覧'));
        const last = expected[expected.length - 1][0];
        await press(`#own .own-country[data-country="${last}"]`);
        assert.equal(await page.evaluate(() => window.velcor.shown), last, 'the country chosen is shown');
        await shot('own', '#own');
        await page.click('#own .close');

        // A country's tooltip: the pointer resting on it, or a finger's tap.
        const other = s.view.countries.findIndex((c) => c.f[0] !== player);
        if (touch) await tapCountry(page, other);
        else await hoverCountry(page, other);
        const tip = (await page.waitForSelector(`.country-tip[data-country="${other}"]`)).evaluate((e) => e.innerText.split('\n'));
        const lines = await tip;
        assert.ok(lines[0].startsWith(`${other} `), `the country: ${lines[0]}`);
        assert.deepEqual(lines.slice(-7).map((l) => Number(l.split(' ').pop())), s.view.countries[other].f.slice(1, 8), 'its figures');
        await shot('tip');

        // The chronicle's 勢力: every ruler's countries, soldiers, provisions and funds.
        await press('#menu-view');
        await press('#menu-chronicle');
        await press('#chronicle-tab-standings');
        await page.waitForSelector('#standings tbody tr');
        const standings = await page.$$eval('#standings tbody tr', (rows) => rows.map((r) => [Number(r.dataset.ruler), ...[...r.querySelectorAll('td.number')].map((c) => Number(c.textContent))]));
        const held = new Map();
        for (const { f } of s.view.countries)
          if (f[0] > 0) {
            const h = held.get(f[0]) ?? [f[0], 0, 0, 0, 0];
            held.set(f[0], [f[0], h[1] + 1, h[2] + f[6], h[3] + f[4], h[4] + f[5]]);
          }
        assert.deepEqual(standings, [...held.values()].sort((a, b) => b[1] - a[1] || a[0] - b[0]), 'the standings of the world');
        await shot('standings', '#chronicle');
        // 推移: the chart drawn, its last month the countries held now.
        await press('#chronicle-tab-chart');
        await page.waitForSelector('#holdings-chart');
        const chart = await page.evaluate((p) => {
          const canvas = document.getElementById('holdings-chart');
          const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
          let coloured = 0;
          for (let i = 0; i < data.length; i += 4) if (data[i] !== data[i + 1] || data[i + 1] !== data[i + 2]) coloured++;
          const history = window.velcor.displays.history;
          return { coloured, months: history.length, last: history[history.length - 1][2 + p], label: canvas.getAttribute('aria-label') };
        }, player);
        assert.ok(chart.coloured > 100 && chart.months > 1, 'the rulers\' lines drawn');
        assert.equal(chart.last, expected.length, "the chart's last month: the player's countries");
        assert.ok(chart.label.startsWith(translated(language, 'chronicle', '推移')), 'named in the language');
        await shot('chart', '#chronicle');
        assert.deepEqual(page.errors, []);
      } finally {
        await browser.close();
      }
    });
});

// ---- The page for a screen reader: what chromium's accessibility tree holds ----

// The tree as a screen reader reads it (every node: a list and a live region are not
// among the nodes puppeteer calls interesting), and the nodes in it that match.
const axTree = (page) => page.accessibility.snapshot({ interestingOnly: false });
function axAll(node, match, found = []) {
  if (match(node)) found.push(node);
  for (const child of node.children ?? []) axAll(child, match, found);
  return found;
}
const axOne = (node, role, name) => axAll(node, (n) => n.role === role && (name instanceof RegExp ? name.test(n.name) : n.name === name))[0];
// A node's own words and those of everything in it.
const axText = (node) => (node.role === 'StaticText' ? node.name : [node.name, ...(node.children ?? []).map(axText)].filter(Boolean).join(' '));
// A node found by role and name in the tree, pressed as a screen reader presses it (the
// focus brought to it, then its default action: a click).
async function axPress(page, role, name) {
  const node = axOne(await axTree(page), role, name);
  assert.ok(node, `${role} "${name}" in the tree`);
  const element = await node.elementHandle();
  await element.evaluate((e) => {
    e.focus();
    e.click();
  });
  return node;
}
// Waits until the tree holds what found(tree) finds; gives it.
async function axUntil(page, found, what, ms = 30000) {
  for (const end = Date.now() + ms; Date.now() < end; await new Promise((r) => setTimeout(r, 50))) {
    const tree = await axTree(page);
    const hit = found(tree);
    if (hit) return hit;
  }
  throw new Error(`the tree never held ${what}`);
}
const axFocused = (tree) => axAll(tree, (n) => n.focused)[0];

describe('the page for a screen reader', () => {
  let browser;
  before(async () => {
    browser = await browserIn('ja-JP');
  });
  after(() => browser?.close());

  test('a turn played by the accessibility tree alone: the countries, the status and the outcomes read', async (t) => {
    const page = await openPage(browser);
    const said = [];
    const step = async (what) => {
      const tree = await axTree(page);
      const status = axText(axOne(tree, 'status', ''));
      const log = axAll(axOne(tree, 'log', /./), (n) => n.role === 'paragraph').map(axText);
      // What was told since the last step (the log keeps the latest lines only).
      log.since = (last) => log.slice(log.lastIndexOf(last) + 1);
      said.push(`${what}: ${status} | ${log[log.length - 1] ?? ''}`);
      return { tree, status, log };
    };
    await axPress(page, 'button', '表示');
    await axPress(page, 'button', /最速/);
    // Each window takes the focus, keeps Tab and Shift+Tab within, and Esc gives the focus
    // back to what opened it.
    for (const [menuName, itemName] of [['ﾍﾙﾌﾟ', /操作方法/], ['ﾌｧｲﾙ', /^ﾛｰﾄﾞ/], ['ﾌｧｲﾙ', /ｹﾞｰﾑ開始/]]) {
      await axPress(page, 'button', menuName);
      await axPress(page, 'button', itemName);
      const inWindow = async () => axFocused(axAll(await axTree(page), (n) => n.role === 'dialog' && n.modal)[0] ?? {});
      await axUntil(page, (tr) => axFocused(axAll(tr, (n) => n.role === 'dialog' && n.modal)[0] ?? {}), `${itemName}: the window with the focus`);
      for (const back of [false, false, false, true, true, true, true]) {
        if (back) await page.keyboard.down('Shift');
        await page.keyboard.press('Tab');
        if (back) await page.keyboard.up('Shift');
        assert.ok(await inWindow(), `${itemName}: ${back ? 'Shift+Tab' : 'Tab'} stays within the window`);
      }
      await page.keyboard.press('Escape');
      const tree = await axTree(page);
      assert.equal(axAll(tree, (n) => n.role === 'dialog').length, 0, `${itemName}: Esc closes it`);
      assert.equal(axFocused(tree)?.name, menuName, `${itemName}: the focus back on what opened it`);
    }

    // A new game by the names of its choices.
    await axPress(page, 'button', 'ｹﾞｰﾑ開始');
    await axPress(page, 'radio', /^1 /);
    await axPress(page, 'radio', /董卓$/);
    await axPress(page, 'button', '選択');
    const report = await axUntil(page, (tr) => axAll(tr, (n) => n.role === 'dialog' && n.modal && n.description)[0], 'the turn report');
    assert.ok(axFocused(report), 'the report has the focus');
    await axPress(page, 'button', '閉じる');

    // The first turn: each country with its figures and its neighbours' rulers and
    // soldiers, as the engine's view has them; the turn country has the focus.
    let read = await step('the first turn');
    const view = (await state(page)).view;
    const countries = axAll(axOne(read.tree, 'list', '国の一覧'), (n) => n.role === 'button');
    assert.equal(countries.length, view.countries.length);
    countries.forEach((b, i) => {
      const f = view.countries[i].f;
      assert.ok(b.name.startsWith(`${i} ${view.countries[i].name.t} `), `country ${i}: ${b.name}`);
      assert.ok(b.name.includes(`兵士 ${f[6]}`) && b.name.includes(`訓練 ${f[7]}`), `country ${i}'s figures: ${b.name}`);
      for (const n of view.countries[i].neighbours) assert.ok(b.name.includes(`${n} ${view.countries[n].name.t} (`) && b.name.includes(`兵士 ${view.countries[n].f[6]})`), `country ${i}'s neighbour ${n}: ${b.name}`);
    });
    assert.ok(axFocused(read.tree).name.startsWith(`${view.turn} `), 'the turn country has the focus');
    assert.equal(read.status, await page.evaluate(() => window.velcor.status()), 'the status line');
    assert.ok(axText(axOne(read.tree, 'main', '')).includes(`${view.year} 年 ${view.month} 月`), 'the panel read, with its date');

    // A command: its outcome told.
    await axPress(page, 'button', '開墾');
    await axUntil(page, (tr) => axAll(axOne(tr, 'log', /./), (n) => n.role === 'paragraph').length > read.log.length, 'the outcome');
    read = await step('開墾');
    const land = (await state(page)).view.countries[view.turn].f[2];
    assert.ok(read.log.at(-1).includes(`開墾 ${land}`), `the outcome told: ${read.log.at(-1)}`);

    // The computers' turns: only the battles and captures that concern the player told.
    let told = read.log.at(-1);
    let turns = 0;
    const rest = async () => {
      const before = await page.evaluate(() => window.velcor.chronicle.length);
      await axPress(page, 'button', '休養');
      const dialog = await axUntil(page, (tr) => (axOne(tr, 'button', '休養') && !axOne(tr, 'button', '休養').disabled) || axAll(tr, (n) => n.role === 'dialog' && n.modal)[0], 'the next turn', 60000);
      if (dialog.role === 'dialog') await axPress(page, 'button', '閉じる');
      const s = await state(page);
      assert.equal(s.stage, 'command', 'the player still plays');
      const events = await page.evaluate((from) => window.velcor.chronicle.slice(from), before);
      const concern = events.filter((e) => ['battle', 'fall'].includes(e.kind) && [e.ruler, e.by, e.attacker_ruler, e.target_ruler].includes(s.view.player));
      read = await step(`turn ${++turns}`);
      assert.equal(read.log.since(told).length, concern.length, 'one line told for each battle or capture that concerns the player');
      told = read.log.at(-1);
      return s;
    };
    const restToWar = async () => {
      for (;;) {
        const s = await rest();
        if (s.view.description.warTargets.length && !s.view.description.commands.W.why) return s;
        assert.ok(turns < 24, 'a war within two years');
      }
    };
    const s = await restToWar();

    // A war: the targets may be chosen (with their odds), the others say why not.
    await axPress(page, 'button', '戦争');
    const targets = await axUntil(page, (tr) => {
      const list = axAll(axOne(tr, 'list', '国の一覧') ?? {}, (n) => n.role === 'button' && !n.disabled);
      return list.length && list.every((b) => /%/.test(b.description)) && list;
    }, 'the targets');
    assert.deepEqual(targets.map((b) => Number(b.name.split(' ')[0])), s.view.description.warTargets);
    const tree = await axTree(page);
    assert.ok(axAll(axOne(tree, 'list', '国の一覧'), (n) => n.role === 'button' && n.disabled).every((b) => b.description), 'each other country says why');
    const target = targets[0].name.split(' ').slice(0, 2).join(' ');
    said.push(`戦争: ${target}: ${targets[0].description}`);
    const beforeWar = await page.evaluate(() => window.velcor.chronicle.length);
    await axPress(page, 'button', targets[0].name);
    await axUntil(page, (tr) => axOne(tr, 'button', '休養') && !axOne(tr, 'button', '休養').disabled && !axAll(tr, (n) => n.role === 'dialog').length, 'the battle over');
    read = await step('the battle');
    // The battle told once, and with it the fall of a ruler whose last country it took.
    const ofWar = await page.evaluate((from) => window.velcor.chronicle.slice(from).map((e) => e.kind), beforeWar);
    assert.equal(ofWar[0], 'battle', `the war's events: ${ofWar}`);
    // The chronicle's words for them (a capture is the battle's, not a line of its own).
    const worded = ofWar.filter((kind) => ['battle', 'fall', 'victory', 'game_over'].includes(kind));
    assert.equal(read.log.since(told).length, worded.length, `the battle told once, with what came of it: ${ofWar}`);
    assert.ok(read.log.since(told)[0].includes(target.split(' ')[1]), `the battle's outcome told: ${read.log.since(told)[0]}`);
    told = read.log.at(-1);
    // Its rounds when asked (F9): the soldiers on each side from the first step to the last.
    const fought = await page.evaluate(() => window.velcor.chronicle.findLast((e) => e.kind === 'battle'));
    if (fought.target_before > 0) {
      await page.keyboard.press('F9');
      const rounds = await axUntil(page, (tr) => {
        const words = axAll(axOne(tr, 'status', ''), (n) => n.role === 'StaticText').map((n) => n.name).join('\n');
        return words !== read.status && words;
      }, 'the rounds');
      for (const soldiers of [fought.attacker_before, fought.target_before, fought.attacker_after, fought.target_after])
        assert.match(rounds, new RegExp(`\\b${soldiers}\\b`), `the rounds: ${rounds}`);
      said.push(`F9: ${rounds.replace(/\n/g, ' / ')}`);
    }
    await rest();

    // The end told at once: a world the player already holds, opened.
    const won = join(scratch, 'won-by-keys.txt');
    writeFileSync(won, '1\n'.repeat(172));
    await (await page.$('#menu-files')).uploadFile(won);
    const end = await axUntil(page, (tr) => axText(axOne(tr, 'alert', '') ?? {}), 'the end told');
    assert.equal(end, await page.evaluate(async () => (await import('./words.js')).text(window.velcor.described.status)));
    said.push(`the end: ${end}`);
    t.diagnostic(said.join('\n'));
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  // Every text the page shows against what lies under it, as WCAG measures contrast:
  // those below 4.5:1, each with where it is.
  function lowContrast(page, where) {
    return page.evaluate((where) => {
      const rgba = (css) => {
        const [r, g, b, a = 1] = css.match(/[\d.]+/g).map(Number);
        return [r, g, b, a];
      };
      const over = (top, under) => [0, 1, 2].map((i) => top[i] * top[3] + under[i] * (1 - top[3]));
      const luminance = (c) => {
        const [r, g, b] = c.map((v) => (v / 255 <= 0.03928 ? v / 255 / 12.92 : ((v / 255 + 0.055) / 1.055) ** 2.4));
        return 0.2126 * r + 0.7152 * g + 0.0722 * b;
      };
      // The colour under an element: its own background and those of the boxes around it.
      const under = (e) => {
        const layers = [];
        for (let at = e; at; at = at.parentElement) {
          const c = rgba(getComputedStyle(at).backgroundColor);
          if (c[3] > 0) layers.push(c);
          if (c[3] >= 1) break;
        }
        return layers.reverse().reduce((base, layer) => over(layer, base), [255, 255, 255]);
      };
      const faults = [];
      for (const e of document.querySelectorAll('body *')) {
        const words = [...e.childNodes].filter((n) => n.nodeType === Node.TEXT_NODE).map((n) => n.textContent.trim()).join('');
        if (!words || !e.getClientRects().length || getComputedStyle(e).visibility !== 'visible' || e.closest('.unseen, option')) continue;
        const back = under(e);
        const fore = over(rgba(getComputedStyle(e).color), back);
        const [light, dark] = [luminance(fore), luminance(back)].sort((a, b) => b - a);
        const ratio = (light + 0.05) / (dark + 0.05);
        if (ratio < 4.5) faults.push(`${where}: "${words.slice(0, 20)}" ${ratio.toFixed(2)}:1`);
      }
      return faults;
    }, where);
  }

  test('high contrast, asked of the system or chosen in the menu: every text at least 4.5:1', async () => {
    // The system's wish, as chromium takes it (puppeteer's own call refuses this feature).
    const askMore = async (p) => (await p.createCDPSession()).send('Emulation.setEmulatedMedia', { features: [{ name: 'prefers-contrast', value: 'more' }] });
    const asked = await openPage(browser, 1366, 768, askMore);
    const chosen = await openPage(browser);
    const faults = [];
    const seen = async (page, where, reach) => {
      await reach(page);
      faults.push(...(await lowContrast(page, where)));
    };
    await seen(asked, 'the start panel', async () => {});
    await seen(asked, 'a menu with items out of reach', (p) => axPress(p, 'button', 'ﾌｧｲﾙ'));
    await asked.keyboard.press('Escape');
    await seen(asked, 'the new game', (p) => axPress(p, 'button', 'ｹﾞｰﾑ開始'));
    await axPress(asked, 'radio', /董卓$/);
    await axPress(asked, 'button', '選択');
    await seen(asked, 'the turn report', (p) => p.waitForSelector('#report-close'));
    await asked.keyboard.press('Escape');
    await seen(asked, 'a command given and the chronicle', async (p) => {
      await axPress(p, 'button', '開墾');
      await axUntil(p, (tr) => axOne(tr, 'button', '開墾')?.disabled, 'the command given');
      await p.keyboard.press('F3');
    });
    await seen(chosen, 'chosen in the menu', async (p) => {
      await axPress(p, 'button', '表示');
      await axPress(p, 'button', /ﾊｲｺﾝﾄﾗｽﾄ/);
    });
    assert.deepEqual(faults, []);
    for (const page of [asked, chosen]) {
      assert.deepEqual(page.errors, []);
      await page.close();
    }
  });
});
