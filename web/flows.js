// SPDX-License-Identifier: GPL-3.0-or-later
// The game's flows in the page, as the desktop has them and all played by the engine's
// conductor: 対戦設定 (who plays each ruler: up to four persons taking turns at the one
// screen, each computer at a level of its own), the hand-over notice between persons,
// the ﾌﾟﾚｲﾔｰ menu handing a ruler to the computer or the advisor and back, a watched
// game paused and stepped, a record played back a step at a time, 1ﾀｰﾝ戻る and この時点
// から再開, 自動休養 and 残りを休養, 乱世 and the player's own scenarios. The engine asks for each next step (a watched month,
// a record's step, a rest, a seat's command) in its answer's stepDue: the page waits
// that long at its pace and asks for it, unless something else comes first.
import * as dialogs from './dialogs.js';
import { byteString } from './store.js';
import { arg, menuText, rulerName, tr } from './words.js';

const { element, modal, buttonRow } = dialogs;
let page = null; // { game, settings, store, pictures(), play(call, ...args), paced(ms), alert(words) }

export function install(p) {
  page = p;
  // この時点から再開: a right click (a long press) on a line of the chronicle.
  document.addEventListener('contextmenu', (event) => {
    const line = event.target.closest?.('#chronicle .event');
    if (!line?.event) return;
    event.preventDefault();
    offerResume(line);
  });
}

// ---- Seats ----

const kLevelWords = ['easy', 'normal', 'hard', 'master'];
const kLevelNames = ['COM 易しい', 'COM 普通', 'COM 難しい', 'COM 達人'];
const kMostPersons = 4;
// The seats a field offers, as the engine words them, in the desktop's order.
const kFieldSeats = ['person', ...kLevelWords.map((w) => `computer:${w}`)];
// The seats the ﾌﾟﾚｲﾔｰ menu offers a ruler in play: the advisor too.
const kMenuSeats = ['person', 'advisor', ...kLevelWords.map((w) => `computer:${w}`)];

// A seat's word with a level the game's difficulty (a computer without one of his own).
const levelled = (word, difficulty) => (word === 'computer' ? `computer:${kLevelWords[difficulty] ?? 'normal'}` : word);

// Who plays a seat, as the desktop's fields name it.
export function seatName(word, difficulty) {
  const seat = levelled(word, difficulty);
  if (seat === 'person') return tr('SeatsDialog', 'ﾌﾟﾚｲﾔｰ');
  if (seat === 'advisor') return tr('SeatsDialog', '助言');
  const level = kLevelWords.indexOf(seat.slice('computer:'.length));
  return tr('SeatsDialog', kLevelNames[level >= 0 ? level : 1]);
}

function personsLine(persons) {
  if (persons === 0) return tr('SeatsDialog', '観戦: COM 同士の戦いを見ます');
  if (persons === 1) return tr('SeatsDialog', '1人でﾌﾟﾚｲします');
  if (persons <= kMostPersons) return arg(tr('SeatsDialog', '%1人が交代でﾌﾟﾚｲします'), persons);
  return arg(tr('SeatsDialog', 'ﾌﾟﾚｲする人は%1人までです'), kMostPersons);
}

// 対戦設定 for the rulers a scenario offers: chosen (a ruler id, or 0) plays at first,
// every other ruler is the computer at difficulty; the last choice is recalled where it
// names these rulers. Gives {seats, first} (the seats' words of rulers 1..15, and the
// ruler a save names), or null.
export function seatsDialog(rulers, chosen, difficulty) {
  const last = page.settings.lastSeats ?? {};
  const recalled = rulers.some((r) => kFieldSeats.includes(last[r]));
  const seats = new Map(rulers.map((r) => [r, recalled && kFieldSeats.includes(last[r]) ? last[r] : r === chosen ? 'person' : `computer:${kLevelWords[difficulty]}`]));
  const persons = () => [...seats.values()].filter((s) => s === 'person').length;
  return modal(
    (box, close) => {
      const count = element('p', { class: 'seats-count', id: 'seats-count', 'aria-live': 'polite' });
      const showCount = () => (count.textContent = personsLine(persons()));
      const rows = rulers.map((r) => {
        const field = element('select', { id: `seat-${r}`, onchange: () => (seats.set(r, field.value), showCount()) });
        for (const seat of kFieldSeats) field.append(element('option', { value: seat, selected: seats.get(r) === seat }, seatName(seat, difficulty)));
        const label = element('label', { for: field.id }, rulerName(r));
        return element('div', { class: 'seat-row' }, label, field);
      });
      showCount();
      const ok = () => {
        if (persons() > kMostPersons) {
          count.textContent = personsLine(persons());
          count.classList.add('problem');
          return;
        }
        page.settings.lastSeats = Object.fromEntries(seats);
        page.store.saveSettings(page.settings);
        const words = [];
        for (let r = 1; r < 16; r++) words.push(seats.get(r) ?? 'computer');
        const first = rulers.find((r) => r === chosen && seats.get(r) === 'person') ?? rulers.find((r) => seats.get(r) === 'person') ?? (chosen || rulers[0]);
        close({ seats: words.join(' '), first });
      };
      box.append(
        element('div', { class: 'title' }, tr('SeatsDialog', '対戦設定')),
        element('p', {}, arg(tr('SeatsDialog', '君主ごとに、ﾌﾟﾚｲする人 (%1人まで) か COM の強さを選んでください'), kMostPersons)),
        element('div', { class: 'seat-rows' }, ...rows),
        count,
        buttonRow(
          element('button', { id: 'seats-ok', onclick: ok, 'data-default': '' }, tr('SeatsDialog', '開始')),
          element('button', { onclick: () => close(null) }, tr('SeatsDialog', 'ｷｬﾝｾﾙ')),
        ),
      );
      box.ok = ok;
    },
    {
      className: 'dialog seats',
      onKey: (e) => {
        if (e.key === 'Escape') dialogs.closeTop(null);
        else if (e.key === 'Enter' && e.target?.tagName !== 'SELECT') dialogs.topBox().ok();
      },
    },
  );
}

// The turn passes to the person next at the one screen: his name and portrait until he
// clicks, taps or presses a key.
export function handOver(next) {
  const headline = arg(tr('HandOverNotice', '%1 の番です'), rulerName(next));
  return modal(
    (box, close) => {
      const portrait = page.pictures().portraits[next]?.cloneNode() ?? null;
      box.append(portrait, element('div', { class: 'title' }, headline), element('p', {}, tr('HandOverNotice', 'ｸﾘｯｸするかｷｰを押すと始まります')));
      box.addEventListener('click', () => close());
      box.setAttribute('data-default', '');
    },
    { className: 'hand-over', onKey: (e) => !e.repeat && dialogs.closeTop() },
  );
}

// A ruler handed to another seat (the ﾌﾟﾚｲﾔｰ menu): the seats offered, the one he has
// checked.
function seatChoice(ruler) {
  const { view } = page.game;
  const now = levelled(view.seats[ruler], view.difficulty);
  return modal(
    (box, close) => {
      const list = element('div', { class: 'choices', role: 'radiogroup' });
      for (const seat of kMenuSeats) {
        const b = element('button', { type: 'button', id: `seat-choice-${seat.replace(':', '-')}`, class: seat === now ? 'choice selected' : 'choice', role: 'radio', onclick: () => close(seat) }, seatName(seat, view.difficulty));
        b.setAttribute('aria-checked', String(seat === now));
        list.append(b);
      }
      box.append(
        element('div', { class: 'title' }, arg(tr('SeatMenu', '%1の担当: %2'), rulerName(ruler), seatName(now, view.difficulty))),
        list,
        buttonRow(element('button', { onclick: () => close(null), 'data-default': '' }, tr('SeatsDialog', 'ｷｬﾝｾﾙ'))),
      );
    },
    { className: 'dialog seat-choice', onKey: (e) => e.key === 'Escape' && dialogs.closeTop(null) },
  );
}

const handed = new Set(); // the rulers handed to another seat in this game
export function gameBegun() {
  handed.clear();
  pauseWanted = null;
}

// The rulers the ﾌﾟﾚｲﾔｰ menu names: those a person plays or played, the save's ruler.
function menuRulers() {
  const view = page.game.view;
  if (!view?.seats) return [];
  const rulers = [];
  for (let r = 1; r < 16; r++) if (view.seats[r] && (!view.seats[r].startsWith('computer') || r === view.player || handed.has(r))) rulers.push(r);
  return rulers;
}

async function changeSeat(ruler) {
  const seat = await seatChoice(ruler);
  if (!seat) return;
  handed.add(ruler);
  await page.play('changeSeat', ruler, seat);
}

// A command's answer reached the next turn (自動休養 rested after it): the turn's end
// and the next one's start are the page's to take, as after a rest. before: the view
// the command was given at.
export const turnPassed = (answer, before) =>
  !answer.error && (answer.turn !== before.turn || answer.month !== before.month || answer.shows.some((s) => s.kind === 'turn' || s.kind === 'handOver'));

// ---- The steps the engine asks for ----

let stepTimer = null;
export function cancelStep() {
  clearTimeout(stepTimer);
  stepTimer = null;
}
// An answer taken: the step it asks for is due after its time (at the page's pace).
export function answered(answer) {
  if (!('stepDue' in answer)) return;
  cancelStep();
  if (answer.stepDue >= 0) stepTimer = setTimeout(stepNow, page.paced(answer.stepDue));
}
function stepNow() {
  stepTimer = null;
  // A window open (a menu's, the chronicle's) holds the game until it closes.
  if (page.game.busy || dialogs.modalOpen()) stepTimer = setTimeout(stepNow, 200);
  else if (pauseWanted !== null) pause(pauseWanted);
  else page.play('step');
}

// Nobody at the screen answers for what is shown: a watched game, a record played back.
export const unattended = () => page.game.described.stage === 'watching' || page.game.described.replaying;
const watching = () => page.game.described.stage === 'watching';
// Paused, or to be at the next step.
const paused = () => pauseWanted ?? !!page.game.view?.paused;
const replaying = () => !!page.game.described.replaying;

// A record from its start, a step at a time; the game goes on from its end.
export async function playRecord(recordBytes, name) {
  const answer = await page.play('playRecord', recordBytes);
  if (answer?.replayEnded) replayEnded(answer);
  return answer;
}
// A record played back has ended: at its end, or at a step the rules refused.
export function replayEnded(answer) {
  const why = answer.replayEnded;
  if (why && (why.p || why.t)) page.alert(why);
  else dialogs.notice(tr('GameStory', '再生が終わりました'));
}

// この時点から再開 for a line of the chronicle: back to the start of the turn its event
// was played at, when it was a person's command (the engine finds the turn in the
// record, or says why it cannot).
async function offerResume(line) {
  const e = line.event;
  const country = e.kind === 'battle' ? e.attacker : e.country;
  const open = ['command', 'move', 'battle'].includes(e.kind) && e.player && page.game.described.stage === 'command' && !page.game.busy;
  const chosen = await modal(
    (box, close) => {
      box.append(
        element('p', { class: 'alert' }, line.textContent),
        buttonRow(
          element('button', { id: 'resume-here', disabled: !open, onclick: () => close(true) }, tr('ChronicleWindow', 'この時点から再開')),
          element('button', { onclick: () => close(false), 'data-default': '' }, tr('SeatsDialog', 'ｷｬﾝｾﾙ')),
        ),
      );
    },
    { className: 'resume', onKey: (k) => k.key === 'Escape' && dialogs.closeTop(false) },
  );
  if (chosen && !page.game.busy) await page.play('resumeFrom', e.year, e.month, country);
}

// Paused or going on; asked while the engine is at work, at its next step.
let pauseWanted = null;
function pause(paused) {
  if (page.game.busy) {
    pauseWanted = paused;
    return;
  }
  pauseWanted = null;
  page.play('pause', paused);
}

// ---- Scenarios of the player's own ----

// A 乱世 made from the seed typed; the scenario as the engine lists it, or null (said why).
export async function randomScenario(typed) {
  const most = 4294967295;
  const seed = /^\s*\d{1,10}\s*$/.test(typed) ? Number(typed) : -1;
  if (seed < 0 || seed > most) {
    await page.alert({ t: arg(tr('CScenarioDlg', '種は 0 から %1 までの整数で入力してください'), most) });
    return null;
  }
  dialogs.notice(arg(tr('CScenarioDlg', '乱世を作っています (種 %1)...'), seed));
  const answer = await page.engine.call('randomScenario', seed);
  document.getElementById('notice')?.remove();
  if (answer.error) {
    await page.alert({ t: arg(tr('CScenarioDlg', '種 %1 から乱世を作れませんでした'), seed) });
    return null;
  }
  return { ...answer.scenario, label: arg(tr('DifficultyMenu', '乱世 (種 %1)'), seed) };
}

// The player's own scenario: its two files chosen together (scenarioN.txt, countryN.txt).
export async function ownScenario(files) {
  const scenario = files.find((f) => /^scenario/i.test(f.name));
  const country = files.find((f) => /^country/i.test(f.name));
  if (files.length !== 2 || !scenario || !country) {
    await page.alert({ t: arg(tr('Message', 'ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2'), files.map((f) => f.name).join(', '), 'scenarioN.txt + countryN.txt') });
    return null;
  }
  const [scenarioBytes, countryBytes] = await Promise.all([scenario, country].map((f) => f.arrayBuffer().then(byteString)));
  const answer = await page.engine.call('ownScenario', scenarioBytes, countryBytes, scenario.name);
  if (answer.error) {
    await page.alert(answer.error);
    return null;
  }
  const s = answer.scenario;
  return { ...s, label: arg(tr('CScenarioDlg', '%1年 %2月    %3'), s.year, s.month, scenario.name) };
}

// ---- The menus ----

// The menus' items for these flows, put into the menus the page builds (item makes one).
export function extendMenus(menus, item) {
  const { game, settings } = page;
  const at = (id) => menus.find((m) => m.id === id).items;
  const inPlay = () => !!game.view?.seats && !['noGame', 'won', 'lost'].includes(game.described.stage);
  at('menu-file').push(
    item('menu-back', () => tr('GameStory', '1ﾀｰﾝ戻る(&B)'), () => page.play('goBack'), {
      enabled: () => !game.busy && game.described.stage === 'command' && !replaying() && (game.view?.playerTurns ?? 0) >= 2,
    }),
  );
  at('menu-view').push(
    item('menu-one-key', () => tr('HotSeat', '自動休養(&E)'), () => setOneKeyTurn(!settings.oneKeyTurn), { checked: () => !!settings.oneKeyTurn }),
    item('menu-rest-remaining', () => tr('HotSeat', '残りを休養(&Y)'), () => page.play('restRemaining'), {
      shortcut: 'Shift+R',
      enabled: () => !game.busy && !!game.view?.restRemaining,
    }),
  );
  const seatItems = [];
  for (let r = 1; r < 16; r++)
    seatItems.push(
      item(`menu-seat-${r}`, () => arg(tr('SeatMenu', '%1の担当: %2'), rulerName(r), seatName(game.view?.seats?.[r] ?? 'computer', game.view?.difficulty ?? 1)), () => changeSeat(r), {
        enabled: () => !game.busy && inPlay() && !replaying(),
        shown: () => menuRulers().includes(r),
      }),
    );
  const help = menus.findIndex((m) => m.id === 'menu-help');
  menus.splice(
    help,
    0,
    { id: 'menu-seats', label: () => tr('SeatMenu', 'ﾌﾟﾚｲﾔｰ(&P)'), shown: () => inPlay() && !replaying(), items: seatItems },
    {
      id: 'menu-watch',
      label: () => tr('HotSeat', '観戦(&W)'),
      shown: () => inPlay() && !replaying() && !game.view.seats.some((s) => s === 'person' || s === 'advisor'),
      items: [
        item('menu-watch-pause', () => tr('HotSeat', '一時停止(&P)'), () => pause(!paused()), { shortcut: 'Pause', checked: paused }),
        item('menu-watch-step', () => tr('HotSeat', '1か月進める(&T)'), () => page.play('step'), { shortcut: '.', enabled: () => !game.busy && !!game.view?.paused && watching() }),
      ],
    },
    {
      id: 'menu-replay',
      label: () => tr('GameStory', 'ﾘﾌﾟﾚｲ(&R)'),
      // A host's record followed in a joined game is played as it comes.
      shown: () => replaying() && !game.joined,
      items: [
        item('menu-replay-pause', () => tr('GameStory', '一時停止(&P)'), () => pause(!paused()), { shortcut: 'Pause', checked: paused }),
        item('menu-replay-step', () => tr('GameStory', '1手進める(&T)'), () => page.play('step'), { shortcut: '.', enabled: () => !game.busy && !!game.view?.paused }),
      ],
    },
  );
}

// The keys of these flows: Pause and . for a watched game or a record played back,
// Shift+R 残りを休養. True when taken.
export function onKey(event) {
  const { game } = page;
  if (!game.view) return false;
  if (event.key === 'Pause' && (watching() || replaying()) && !game.joined) pause(!paused());
  else if (game.busy) return false;
  else if (event.key === '.' && game.view.paused && (watching() || replaying()) && !game.joined) page.play('step');
  else if (event.key === 'R' && event.shiftKey && game.view.restRemaining) page.play('restRemaining');
  else return false;
  return true;
}

// 自動休養 kept in the settings and told to the engine (at the page's start too).
export async function setOneKeyTurn(on) {
  page.settings.oneKeyTurn = on;
  page.store.saveSettings(page.settings);
  await page.engine.call('oneKeyTurn', on);
  dialogs.updateMenus();
}

export { menuText };
