// SPDX-License-Identifier: GPL-3.0-or-later
// The game in a browser: the page plays what the desktop's main window plays, with the
// engine in a Web Worker. Every rule is the engine's; the page draws, asks and shows.
// While the computer plays, the engine runs its turns to the player's next and hands
// back what the windows would have shown (each turn, message and battle step), which
// the page then shows at the chosen pace.
import { Figures, MapView } from './map.js';
import * as dialogs from './dialogs.js';
import { Store, byteString, bytesOf } from './store.js';
import * as W from './words.js';
import * as access from './access.js';
import * as flows from './flows.js';
import * as views from './views.js';
import * as join from './join.js';

const { tr, arg, text, menuText, pageWord } = W;

const kPaceDivisors = [1, 2, 10]; // 標準, 速い, 最速

// ---- The engines ----

class Engine {
  constructor(worker) {
    this.worker = worker ?? new Worker('engine-worker.js');
    window.velcorWasm.then(
      (wasm) => this.worker.postMessage({ wasm }),
      (error) => this.worker.postMessage({ wasmError: String(error) }),
    );
    this.next = 1;
    this.waiting = new Map();
    this.worker.onmessage = ({ data }) => {
      const done = this.waiting.get(data.id);
      this.waiting.delete(data.id);
      done?.(data);
    };
    // An engine that fails answers every call waiting with the reason.
    this.worker.onerror = (event) => {
      for (const done of this.waiting.values()) done({ answer: { error: { t: String(event.message) } }, ms: 0 });
      this.waiting.clear();
    };
  }
  // The engine's answer, and how long it took there (answer.ms).
  call(name, ...args) {
    return new Promise((resolve) => {
      const id = this.next++;
      this.waiting.set(id, (data) => {
        // A joined game's frames go to the host as soon as the engine gives them.
        join.answered(data.answer);
        resolve(Object.assign(data.answer, { ms: data.ms }));
      });
      this.worker.postMessage({ id, call: name, args });
    });
  }
}

// ---- What the page holds ----

// A host's link: its invitation is out of the address before anything else runs.
const joining = join.takeInvitation();
const store = new Store();
const settings = store.settings();
const engine = new Engine(window.velcorEngine);
let thinker = null; // the advisor's own engine, started when first asked
export const game = {
  rules: null,
  scenarios: [],
  rulerColours: [],
  view: null, // the engine's last view of the game
  // The turn as the engine last described it: its stage, who acts, each command's
  // allowed, offered and why not, the targets (the page keeps no turn of its own).
  described: { stage: 'noGame', commands: {}, moveTargets: [], warTargets: [] },
  drawn: null, // the figures drawn: a show's while the computer plays, else the view's
  shown: -1,
  battle: [-1, -1],
  status: () => '',
  choice: -1, // the country the keys or a tap chose while choosing
  focused: -1, // the country the keys are on in the list of countries
  pointed: -1, // the target under the pointer while a war's is chosen
  odds: new Map(),
  chronicle: [], // every event of the game, as the engine words it in JSON
  sinceTurn: [], // the events since the player's last turn
  advice: null,
  advised: '', // the key of the command the advisor ranks first
  busy: false, // a window is open or the engine is at work
  joined: false, // one seat of a host's game is played here (no new game, no load)
  statusTail: '', // after the status line: a joined seat's time left
  touch: matchMedia('(hover: none)').matches, // the last pointer was a finger (or there is no mouse)
  times: { firstPaint: 0, startPanel: 0, months: [] },
  store, // the games kept in the browser
};
window.velcor = game; // for the browser tests and the curious

let map = null;
let figures = null; // the panel as text: seen on a phone, read by a screen reader elsewhere
let pictures = { portraits: [] };
const $ = (id) => document.getElementById(id);

// ---- Commands ----

const kCommands = [
  { key: 'M', describe: () => tr('CommandTable', '兵士・兵糧・資金を隣の自国へ移します。費用はかかりません (隣に自国があること)') },
  {
    key: 'W',
    describe: () =>
      arg(
        tr('CommandTable', '資金 %1 で隣の国に攻め込みます (兵糧が兵士以上、資金 %1 以上)\n相手の兵士が 0 になれば占領 (相討ちでも)、兵士のいない国は戦わずに占領します\nこちらの兵士が 0 になるか、%2 回の攻防で決着がつかなければ失敗です\n戦いの後、残った兵士と同じだけの兵糧を使います'),
        game.rules.warCost,
        game.rules.exchanges,
      ),
  },
  { key: 'L', describe: () => describeDevelop(tr('CommandFigure', '開墾')) },
  { key: 'C', describe: () => describeDevelop(tr('CommandFigure', '商業')) },
  {
    key: 'S',
    describe: () =>
      arg(
        tr('CommandTable', '資金 %1 で人口から兵士を %2〜%3 集めます (資金 %1 以上)\n新兵の分だけ訓練が下がります'),
        game.rules.actionCost,
        game.rules.conscriptMinimum,
        game.rules.conscriptMaximum,
      ),
  },
  {
    key: 'T',
    describe: () => arg(tr('CommandTable', '訓練を 1〜%1 上げます。費用はかかりません (訓練 %2 未満)'), game.rules.trainRange, game.rules.maxTraining),
  },
  { key: 'R', describe: () => tr('CommandTable', 'この国の番を終えます') },
];
function describeDevelop(figure) {
  return arg(tr('CommandTable', '資金 %1 で%2を 1〜%3 上げます (資金 %1 以上)'), game.rules.actionCost, figure, game.rules.developRange);
}

// ---- The turn as the engine describes it ----

const stage = () => game.described.stage;
// The seat the page's commands come from: the ruler whose turn it describes.
const acting = () => game.described.acting ?? 0;
const choosing = () => stage() === 'choosingMove' || stage() === 'choosingWar';
const ended = () => stage() === 'won' || stage() === 'lost';
const commandState = (key) => game.described.commands[key] ?? {};
// The targets of the choice under way.
const targets = () => (stage() === 'choosingMove' ? game.described.moveTargets : game.described.warTargets);

// The engine's description taken: a choice no longer under way gives the back button back.
function describe(description) {
  if (!description) return;
  game.described = description;
  if (!choosing()) {
    game.choice = -1;
    releaseBack?.();
    releaseBack = null;
  }
}

// The status line: the turn's as the engine last said it, unless the page shows its
// own (a target pointed at, its odds) until the next.
function followStatus() {
  setStatus(() => text(game.described.status));
}

// Why a command may not act now, as the engine gives the reason; '' when it may.
function reasonOf(command) {
  return W.reason(commandState(command.key).why, game.touch);
}

function tooltip(command) {
  let tip = `${W.commandCaption(command.key)} (${command.key})\n${command.describe()}`;
  const why = reasonOf(command);
  if (why) tip += tr('CommandTable', '\n今は使えません: ') + why;
  return tip;
}

function buttonEnabled(command) {
  return !!commandState(command.key).offered;
}
const actionsOffered = () => kCommands.some((c) => c.key !== 'R' && buttonEnabled(c));

// A command that cannot be given now is not a disabled button: it looks out of reach,
// and a tap on it says why (a finger has no tooltip to hover over).
function updateButtons() {
  for (const command of kCommands) {
    const b = $(`cmd-${command.key}`);
    const enabled = buttonEnabled(command) && !game.busy;
    b.classList.toggle('off', !enabled);
    b.textContent = W.commandCaption(command.key);
    b.title = game.rules ? tooltip(command) : '';
    // A command the country cannot carry out now looks out of reach before it is
    // pressed; pressed, it still says why.
    const out = enabled && !commandState(command.key).allowed;
    b.classList.toggle('blocked', out);
    b.setAttribute('aria-disabled', String(!enabled || out));
    b.classList.toggle('advised', game.advised === command.key);
  }
  dialogs.updateMenus();
}

// A press on a command: given when it may be, else the reason, beside the button.
function pressCommand(command, button) {
  if (buttonEnabled(command) && !game.busy) return runCommand(command);
  if (!game.rules) return;
  // While a command of the turn is under way there is nothing to tell.
  const why = game.busy && buttonEnabled(command) ? '' : reasonOf(command);
  if (!why) return;
  dialogs.tip(button, why);
  access.say(why);
}

// ---- Drawing ----

// The way a target is chosen by touch: a bar with what is chosen and its odds, 決定
// and ｷｬﾝｾﾙ. A phone always has it; a desktop's page once a finger has touched it.
const choiceByTouch = () => choosing() && (game.touch || document.body.classList.contains('compact'));

function repaint() {
  if (!map) return;
  const d = game.drawn;
  const v = game.view;
  let hint = '';
  if (choosing() && !choiceByTouch()) hint = tr('CommandTable', '右クリックまたは Esc で取り消し　矢印キーか Tab で選び Enter で決定');
  const shown = {
    countries: d ? d.c : new Array(14).fill(null),
    places: v ? v.countries.map((c) => ({ x: c.x, y: c.y })) : new Array(14).fill({ x: -100, y: -100 }),
    names: v ? v.countries.map((c) => c.name.t) : [],
    rulerColours: game.rulerColours,
    turn: d ? d.turn : -1,
    shown: game.shown,
    battleAttacker: game.battle[0],
    battleTarget: game.battle[1],
    arrows: settings.battleArrows ? game.view?.arrows : null,
    year: d?.year,
    month: d?.month,
    status: game.status() + game.statusTail,
    stage: stage(),
    targets: choosing() ? targets() : null,
    choice: game.choice,
    focused: game.focused,
    patterns: settings.patterns,
    contrast: contrast(),
    hint,
  };
  map.draw(shown);
  figures.fill(shown, pictures);
  access.fillCountries({ ...shown, neighbours: v ? v.countries.map((c) => c.neighbours) : [] }, countryState);
  dialogs.choiceBar(choiceByTouch() ? choiceWords() : null);
}

// What the choice bar says: the target chosen (with the odds of a war), or how to choose.
function choiceWords() {
  const chosen = game.choice;
  if (chosen < 0) return { words: pageWord('ﾀｯﾌﾟで国を選び、決定で進めます'), chosen: false };
  return { words: stage() === 'choosingWar' ? oddsLine(chosen) : moveLine(chosen), chosen: true };
}

// The room the page is laid out in: the layout viewport, which a phone's browser keeps
// as wide as its screen as long as nothing on the page is wider. Neither a pinch's zoom
// nor the on-screen keyboard changes it: the keyboard only narrows what is seen, and
// the windows move above it (dialogs.js).
let laidOut = { width: 0, height: 0 };
function room() {
  const html = document.documentElement;
  const seen = window.visualViewport;
  const width = Math.min(html.clientWidth, seen ? Math.round(seen.width * seen.scale) : Infinity);
  let height = html.clientHeight;
  // A browser that makes room for the keyboard by shrinking the page: the board stays.
  const typing = document.activeElement?.matches?.('input:not([type=checkbox]):not([type=file])');
  if (typing && width === laidOut.width && height < laidOut.height) height = laidOut.height;
  return { width, height };
}

// A phone's layout below 600 pixels of width or 500 of height: the map alone on the
// canvas, as wide as the screen held upright, as high as it held sideways; the panel
// as text under it or beside it; the commands a row of their own.
function layout() {
  const board = $('board');
  const { width: w, height: h } = room();
  laidOut = { width: w, height: h };
  const compact = w < 600 || h < 500;
  const landscape = compact && w > h;
  document.body.classList.toggle('compact', compact);
  document.body.classList.toggle('landscape', landscape);
  $('figures').classList.toggle('unseen', !compact);
  const bar = $('menubar').offsetHeight;
  document.documentElement.style.setProperty('--bar', `${bar}px`);
  const side = $('side');
  side.hidden = $('advice').hidden && $('chronicle').hidden && $('own').hidden;
  // 自国一覧's figures and reasons want more than the column's usual width: with it open
  // the column takes what its table needs (up to a bound) and the map the rest.
  const table = !compact && !$('own').hidden && $('own').querySelector('table');
  side.style.width = table ? `${Math.round(Math.min(Math.max(340, table.scrollWidth + 12), w * 0.55))}px` : '';
  if (!map) return;
  map.showCountriesOnly(compact);
  let width;
  if (!compact) {
    const room = Math.max(200, h - bar - 16);
    const beside = side.hidden ? 0 : side.offsetWidth + 6;
    width = Math.floor(Math.min(w - 16 - beside, (room * map.view.w) / map.view.h));
    board.style.width = `${width}px`;
  } else {
    const high = Math.max(160, h - bar);
    width = landscape ? Math.floor(Math.min((high * map.view.w) / map.view.h, w * 0.6)) : w;
    board.style.width = '';
  }
  board.style.setProperty('--scale', String(width / map.view.w));
  map.resize(width);
  repaint();
}

// ---- The status line ----

function setStatus(wording) {
  game.status = typeof wording === 'function' ? wording : () => wording;
  repaint();
  access.status(game.status());
}
const statusWords = (message) => setStatus(() => text(message));
let releaseBack = null; // gives the back button back while a target is chosen

// ---- Answers of the engine ----

function figuresOf(view) {
  return { year: view.year, month: view.month, turn: view.turn, c: view.countries.map((c) => c.f) };
}

function takeEvents(answer) {
  for (const e of answer.events ?? []) {
    game.chronicle.push(e);
    game.sinceTurn.push(e);
  }
  dialogs.chronicleChanged();
}

// What a screen reader is told of an answer's events: the outcomes of the player's own
// command, and of the computers' turns only the battles and captures that concern him.
const concernsPlayer = (e) => dialogs.warlike(e) && dialogs.mine(e);
function tellEvents(answer, which = () => true) {
  for (const e of answer.events ?? []) if (which(e)) access.event(dialogs.eventText(e));
}

// Shows what the engine's worker would have shown, in order, at the chosen pace.
async function playShows(shows) {
  for (const show of shows) {
    game.drawn = show.w;
    game.shown = show.w.shown;
    game.battle = [show.w.battleAttacker, show.w.battleTarget];
    if (show.description) {
      describe(show.description);
      updateButtons();
    }
    if (show.kind === 'message') {
      statusWords(show.words);
      await dialogs.messageWindow(text(show.words), paced(show.ms));
    } else if (show.kind === 'handOver') {
      repaint();
      // A record played back is handed over by nobody.
      if (!game.described.replaying) await flows.handOver(show.next);
    } else if (show.kind === 'battle') {
      if ([show.attackerRuler, show.targetRuler].includes(game.view?.player)) access.keepRounds(dialogs.battleRounds(show));
      repaint();
      await dialogs.battleWindow(show, paced(game.rules.battleStepMs));
    } else {
      repaint();
    }
  }
}

export const paced = (ms) => Math.max(1, Math.floor(ms / kPaceDivisors[settings.speed ?? 0]));

// The engine's view taken as the game now stands, and the turn as it describes it.
function takeView(answer) {
  game.view = answer;
  game.drawn = figuresOf(answer);
  game.battle = [-1, -1];
  describe(answer.description);
  followStatus();
  flows.answered(answer);
  views.refresh();
}

// The computer has played up to the player's turn (or the game's end).
async function playerTurnReached(answer) {
  takeView(answer);
  game.advised = '';
  game.advice = null;
  game.shown = answer.turn;
  // The end's words have been told among the shows; a game loaded (or played back)
  // already over ends as a war that wins it does.
  if (ended()) {
    await gameEnded();
    return;
  }
  if (stage() === 'command') autosave();
  updateButtons();
  repaint();
  // The advice, while it is shown, is the turn's: asked again at each.
  if (dialogs.adviceShown()) advise();
  // A watched game's and a record's months have been seen as they were played.
  if (flows.unattended()) game.sinceTurn = [];
  if (settings.report !== false && game.sinceTurn.length) await dialogs.turnReport(game.sinceTurn);
  game.sinceTurn = [];
}

async function gameEnded() {
  latest = null;
  updateButtons();
  repaint();
  access.end(text(game.described.status));
  const summary = await engine.call('summary');
  await dialogs.summaryWindow(summary, game);
}

// Runs a call whose answer holds computer turns (a new game, a load, a rest). A new
// game or a load replaces the story only once the engine has begun it: a file refused
// leaves the game and its chronicle as they were.
function computerPlays(call, ...args) {
  return playing(call, args);
}
// The calls that begin the story again: a game begun, or played again from its start.
const kBeginsStory = new Set(['newGame', 'newSeated', 'load', 'loadBundle', 'playRecord', 'goBack', 'resumeFrom']);
async function playing(call, args, refused = (error) => text(error)) {
  game.busy = true;
  flows.cancelStep(); // whatever step was due, this comes first
  updateButtons();
  const started = performance.now();
  const answer = await engine.call(call, ...args);
  if (answer.error) {
    game.busy = false;
    access.hush(false);
    describe(answer.description);
    updateButtons();
    await dialogs.alert(refused(answer.error));
    return null;
  }
  if (kBeginsStory.has(call)) flows.gameBegun(call);
  // How long the engine took, from the page's asking to its answer (the shows are paced).
  game.times.months.push({ call, ms: performance.now() - started, engineMs: answer.ms, year: answer.year, month: answer.month });
  if (kBeginsStory.has(call)) beginStory(answer);
  takeEvents(answer);
  // Gone back, the story is told again: the turn reports nothing of it.
  if (call === 'goBack' || call === 'resumeFrom') game.sinceTurn = [];
  dialogs.closeStartPanel();
  access.hush(true);
  try {
    await playShows(answer.shows);
  } finally {
    access.hush(false);
  }
  tellEvents(answer, concernsPlayer);
  game.busy = false;
  await playerTurnReached(answer);
  if (answer.result && answer.result.words && (answer.result.words.p || answer.result.words.t)) statusWords(answer.result.words);
  return answer;
}

async function domestic(key) {
  // 自動休養: the rest and the computer's turns follow in the same answer.
  if (settings.oneKeyTurn) return computerPlays('command', key, 0, 0, 0, 0, acting());
  game.busy = true;
  const answer = await engine.call('command', key, 0, 0, 0, 0, acting());
  await standing();
  game.busy = false;
  takeEvents(answer);
  tellEvents(answer);
  takeView(answer);
  game.shown = answer.turn;
  updateButtons();
  repaint();
}

// The choice of a move's or a war's target, begun by the engine (which refuses a war
// the country cannot pay for, saying why in the status); the prompt among its shows.
async function chooseTarget(key) {
  game.busy = true;
  updateButtons();
  game.beforeChoice = game.described;
  const answer = await engine.call('choose', key);
  game.choice = -1;
  game.pointed = -1;
  await playShows(answer.shows);
  takeView(answer);
  game.busy = false;
  if (choosing()) {
    releaseBack = dialogs.onBack(cancelChoice);
    if (key === 'W') {
      game.odds = new Map();
      const odds = await engine.call('odds');
      for (const o of odds.odds) game.odds.set(o.target, o);
    }
  }
  updateButtons();
  repaint();
}

// The choice (or the windows after it) taken back: the turn as it was.
async function takeBack() {
  takeView(await engine.call('choose', ''));
  updateButtons();
  repaint();
}

function cancelChoice() {
  if (choosing() && !game.busy) return takeBack();
}

const numbered = (country) => `${country} ${W.countryName(country, game.view.countries[country].name.t)}`;
function moveLine(country) {
  return arg(tr('Message', '%1 から %2 へ移動'), numbered(game.view.turn), numbered(country));
}

function oddsLine(target) {
  const o = game.odds.get(target);
  if (!o) return '';
  return `${numbered(target)}  ` + arg(
    tr('ForesightWords', '占領 %1%  退却 %2%  全滅 %3%  残る兵士 味方 %4 敵 %5'),
    o.taken,
    o.beatenOff,
    o.wipedOut,
    o.attackerKept,
    o.targetKept,
  );
}

// Whether a country of the list may be chosen now, and what is said of it: while a
// target is chosen, a target's line (with a war's odds) or the engine's refusal of the
// rest; at the player's command, any (pressed, it is shown); else the turn's status.
function countryState(country) {
  if (choosing()) {
    if (targets().includes(country)) return { chosen: true, more: stage() === 'choosingWar' ? oddsLine(country) : moveLine(country) };
    const why = stage() === 'choosingMove' ? tr('Message', '%1 には移動できません') : tr('Message', '%1 には攻撃できません');
    return { chosen: false, why: arg(why, numbered(country)) };
  }
  if ((stage() === 'command' && !game.busy) || ended()) return { chosen: true };
  return { chosen: false, why: text(game.described.status) };
}

// A country pressed in the list: as a click on it on the map.
function pressCountry(country) {
  if (dialogs.modalOpen() || stage() === 'computerTurns') return;
  pickCountry(country);
}

// A country the keys reach in the list (-1: they left it): ringed on the map and shown
// in the panel; while a target is chosen, a target is the choice.
function countryFocused(country) {
  game.focused = country;
  if (country >= 0 && !game.busy) game.shown = country;
  if (country >= 0 && choosing() && targets().includes(country)) game.choice = country;
  repaint();
}

// Where the focus goes when what had it has gone: the turn country in the list, or the
// start panel's first button.
function focusHome() {
  if (!access.focusCountries(game.view?.turn) && !$('start-panel').hidden) $('start-panel').querySelector('button')?.focus();
}

// ---- High contrast ----

// Asked of the system (prefers-contrast: more) unless the player chose it in the menu.
const contrastAsked = matchMedia('(prefers-contrast: more)');
const contrast = () => settings.contrast ?? contrastAsked.matches;
function applyContrast() {
  document.documentElement.classList.toggle('contrast', contrast());
  dialogs.updateMenus();
  repaint();
}

// A country picked on the map (a click, a touch, or Enter on the keys' choice).
async function pickCountry(country) {
  if (game.busy) return;
  if (country >= 0) game.shown = country;
  if (stage() === 'choosingMove') {
    await moveTo(country);
  } else if (stage() === 'choosingWar') {
    await attack(country);
  } else if (ended()) {
    takeView(await engine.call('putEndAway'));
    dialogs.openStartPanel();
  }
  updateButtons();
  repaint();
}

// A move's target chosen: the engine asks whether the army may go there at all, then
// the player the amounts.
async function moveTo(country) {
  game.busy = true;
  repaint();
  const checked = await engine.call('checkMove', country);
  describe(checked.description);
  if (!checked.allowed) {
    statusWords(checked.words);
    await dialogs.messageWindow(text(checked.words), paced(game.rules.resultMs));
    game.busy = false;
    return;
  }
  const before = game.view;
  const source = before.countries[before.turn].f;
  const amounts = await dialogs.moveDialog(text(checked.title), { soldiers: source[6], provisions: source[4], funds: source[5] });
  if (!amounts) {
    game.busy = false;
    await takeBack();
    return;
  }
  const answer = await engine.call('command', 'M', country, amounts.soldiers, amounts.provisions, amounts.funds, acting());
  const stood = standing();
  takeEvents(answer);
  takeView(answer);
  game.shown = country;
  await playShows(answer.shows); // what came of it
  await stood;
  game.busy = false;
  if (flows.turnPassed(answer, before)) await playerTurnReached(answer);
}

async function attack(country) {
  game.busy = true;
  updateButtons();
  const answer = await engine.call('command', 'W', country, 0, 0, 0, acting());
  const stood = standing();
  takeEvents(answer);
  // The battle is told by its outcome, once it has been shown.
  access.hush(true);
  try {
    await playShows(answer.shows); // the battle, what came of it, and a war that unifies the country
  } finally {
    access.hush(false);
  }
  tellEvents(answer);
  const before = game.view;
  takeView(answer);
  game.shown = country;
  await stood;
  game.busy = false;
  if (ended()) await gameEnded();
  else if (flows.turnPassed(answer, before)) await playerTurnReached(answer);
}

function stepChoice(direction) {
  const v = game.view;
  const moving = stage() === 'choosingMove';
  const targets = moving ? game.described.moveTargets : game.described.warTargets;
  if (!targets.length) {
    game.choice = -1;
    // Why the command has nowhere to go, as the turn before the choice gave it.
    setStatus(() => text(game.beforeChoice?.commands[moving ? 'M' : 'W']?.why));
    return;
  }
  const c = game.choice;
  if (direction > 0) game.choice = targets.find((t) => t > c) ?? targets[0];
  else game.choice = [...targets].reverse().find((t) => t < c) ?? targets[targets.length - 1];
  const country = game.choice;
  game.shown = country;
  if (moving) setStatus(() => arg(tr('CKivView', '%1 %2 へ移動 (Enter)'), country, W.countryName(country, v.countries[country].name.t)));
  else setStatus(() => oddsLine(country));
}

// A target chosen by a tap: shown with its odds, given once 決定 (or a second tap on it)
// confirms. A country that is no target is answered as a click answers it.
function tapChoice(country) {
  if (!targets().includes(country)) return pickCountry(country);
  if (country === game.choice) return pickCountry(country);
  game.choice = country;
  game.shown = country;
  if (stage() === 'choosingWar') setStatus(() => oddsLine(country));
  else setStatus(() => moveLine(country));
}

// ---- The player's commands by button and key ----

async function runCommand(command) {
  if (!buttonEnabled(command) || game.busy) return;
  game.advised = '';
  switch (command.key) {
    case 'M':
    case 'W':
      return chooseTarget(command.key);
    case 'R':
      return computerPlays('command', 'R', 0, 0, 0, 0, acting());
    default:
      return domestic(command.key);
  }
}

function onKey(event) {
  const key = event.key;
  if (key === 'F8' || key === 'F9') {
    event.preventDefault();
    if (key === 'F8') access.repeat();
    else access.tellRounds();
    return;
  }
  if (dialogs.handleKey(event)) return;
  if (flows.onKey(event)) {
    event.preventDefault();
    return;
  }
  if (key === 'F2' && !event.ctrlKey && !event.altKey) {
    event.preventDefault();
    focusHome();
    return;
  }
  // In the list of countries Enter and Space press the country as its button; the arrows
  // go along the list, or while a target is chosen from one target to the next (as on
  // the map, the focus following the choice).
  const inList = access.inCountries(event.target);
  if (inList) {
    if (key === 'Enter' || key === ' ') return;
    if (key.startsWith('Arrow') && !choosing()) {
      event.preventDefault();
      access.stepCountries(event.target, key === 'ArrowDown' || key === 'ArrowRight' ? 1 : -1);
      return;
    }
  }
  if (event.ctrlKey || event.metaKey) {
    const menu = { n: newGame, s: saveGame, o: loadGame }[key.toLowerCase()];
    if (menu) {
      event.preventDefault();
      menu();
    }
    return;
  }
  if (event.altKey) return;
  if (key === 'F1') {
    event.preventDefault();
    dialogs.keysWindow();
    return;
  }
  if (key === 'F3') {
    event.preventDefault();
    dialogs.toggleChronicle();
    return;
  }
  if (key === 'F4') {
    event.preventDefault();
    views.toggleOwn();
    return;
  }
  if (choosing()) {
    if (key === 'Escape') return cancelChoice();
    if (key === 'Tab' || key.startsWith('Arrow')) {
      event.preventDefault();
      stepChoice(key === 'ArrowRight' || key === 'ArrowDown' || (key === 'Tab' && !event.shiftKey) ? 1 : -1);
      if (inList && game.choice >= 0) access.focusCountries(game.choice);
      repaint();
      return;
    }
    if (key === 'Enter') {
      if (!event.repeat && game.choice !== -1) pickCountry(game.choice);
      return;
    }
  }
  if (key.toUpperCase() === 'A' && !event.repeat && key.length === 1) return advise();
  const command = kCommands.find((c) => c.key === key.toUpperCase() && key.length === 1);
  if (command && !event.repeat) runCommand(command);
}

// ---- Pointer and touch on the map ----

const mapPoint = (event) => map.pointAt(event.clientX, event.clientY);

// A finger or a pen: the hints speak of taps, and a target is chosen before it is given.
function pointerSeen(event) {
  const touch = event.pointerType !== 'mouse';
  if (touch === game.touch) return;
  game.touch = touch;
  document.body.classList.toggle('touch', touch);
  updateButtons();
  repaint();
}

function onPointerDown(event) {
  if (dialogs.modalOpen() || stage() === 'computerTurns') return;
  const p = mapPoint(event);
  if (event.button === 2) {
    cancelChoice();
    return;
  }
  if (event.button !== 0) return;
  const country = map.countryAt(p.x, p.y);
  if (country >= 0 && event.pointerType !== 'mouse' && choosing()) tapChoice(country);
  else if (country >= 0 || ended()) pickCountry(country);
  else repaint();
}

// A country's tooltip: where a mouse rests on it, or where a finger lifts from it
// outside a choice of target (a tap shows the country and tells its figures).
let resting = { country: -1, timer: 0 };
function tipOnRest(event) {
  if (event.pointerType !== 'mouse') return;
  const p = mapPoint(event);
  const country = map.countryAt(p.x, p.y);
  if (country === resting.country) return;
  clearTimeout(resting.timer);
  views.closeCountryTip();
  resting = { country, timer: 0 };
  if (country < 0 || !game.drawn) return;
  const { clientX, clientY } = event;
  resting.timer = setTimeout(() => !dialogs.modalOpen() && views.tipAt(clientX, clientY, tipWords(country), country), kTipRestMs);
}
const kTipRestMs = 500;
// A country's figures, and while a war's target is chosen a target's odds as well.
function tipWords(country) {
  const words = views.countryTip(country, game.drawn.c);
  return stage() === 'choosingWar' && targets().includes(country) && game.odds.has(country) ? `${words}\n\n${oddsLine(country)}` : words;
}
function tipOnLift(event) {
  if (event.pointerType === 'mouse' || dialogs.modalOpen() || choosing() || !game.drawn) return;
  const p = mapPoint(event);
  const country = map.countryAt(p.x, p.y);
  if (country >= 0) views.tipAt(event.clientX, event.clientY, tipWords(country), country);
}
function tipGone() {
  clearTimeout(resting.timer);
  resting = { country: -1, timer: 0 };
  views.closeCountryTip();
}

function onPointerMove(event) {
  tipOnRest(event);
  if (stage() !== 'choosingWar' || event.pointerType !== 'mouse') return;
  const p = mapPoint(event);
  let country = map.countryAt(p.x, p.y);
  if (!targets().includes(country)) country = -1;
  if (country === game.pointed) return;
  game.pointed = country;
  if (country >= 0) setStatus(() => oddsLine(country));
  else if (game.choice >= 0) setStatus(() => oddsLine(game.choice));
  else followStatus();
}

// ---- New game, saves, records ----

async function newGame() {
  if (game.joined) return;
  if (game.busy) return;
  const chosen = await dialogs.newGameDialog(game.scenarios, settings.difficulty ?? 1);
  if (!chosen) return;
  settings.difficulty = chosen.difficulty;
  store.saveSettings(settings);
  // A scenario of the player's own, 乱世 or his files, is begun as seats are.
  if (!chosen.seats && game.scenarios[chosen.scenario - 1]?.label !== undefined)
    Object.assign(chosen, { seats: Array.from({ length: 15 }, (_, r) => (r + 1 === chosen.ruler ? 'person' : 'computer')).join(' '), first: chosen.ruler });
  if (chosen.seats) await computerPlays('newSeated', chosen.scenario, chosen.seats, chosen.first, chosen.difficulty);
  else await computerPlays('newGame', chosen.scenario, chosen.ruler, chosen.difficulty);
}

// A game begins: its chronicle is what the save's told (a load), or nothing yet.
function beginStory(answer) {
  latest = null;
  game.chronicle = answer.chronicle ?? [];
  game.sinceTurn = [];
  game.shown = -1;
  dialogs.chronicleChanged();
  if (answer.chronicleSetAside) dialogs.notice(arg(tr('chronicle', '戦況記録を無視しました: %1'), text(answer.chronicleSetAside)));
}

const inPlay = () => stage() !== 'noGame' && !ended();
function canSave() {
  return inPlay() && !game.busy;
}

const cannotSave = (where, why) => arg(tr('GameFiles', 'セーブできませんでした\n%1\n%2'), where, why);

async function savedGame() {
  const saved = await engine.call('save');
  if (saved.error) {
    await dialogs.alert(cannotSave(dialogs.saveLabel(game.view), text(saved.error)));
    return null;
  }
  return saved;
}

// Why the browser kept no save, in the page's words.
function storageWords(error) {
  return error?.name === 'QuotaExceededError' ? tr('WebPage', 'ﾌﾞﾗｳｻﾞの保存領域がいっぱいです') : tr('WebPage', 'ﾌﾞﾗｳｻﾞに保存できません');
}

async function saveGame() {
  if (!canSave()) return;
  const saved = await savedGame();
  if (!saved) return;
  try {
    await store.keep('saves', saved);
  } catch (error) {
    await dialogs.alert(cannotSave(dialogs.saveLabel(saved), storageWords(error)));
    return;
  }
  await dialogs.alert(tr('GameFiles', 'セーブが完了しました'));
}

// The autosaves are one tab's at a time: a second tab playing would push the first
// one's out turn by turn, and the list would mix two games. The first tab to autosave
// keeps them while it stays open; the others say so, and save only by hand.
let autosavesHeld = false;
async function holdAutosaves() {
  if (autosavesHeld || !navigator.locks) return true;
  autosavesHeld = await new Promise((resolve) => {
    navigator.locks.request('velcor.autosaves', { ifAvailable: true }, (lock) => {
      resolve(lock !== null);
      return lock ? new Promise(() => {}) : undefined;
    });
  });
  return autosavesHeld;
}

// A failure is told once, not again at every turn while it lasts.
let autosaveTrouble = '';
function autosaveFailed(words) {
  if (words !== autosaveTrouble) dialogs.notice(words);
  autosaveTrouble = words;
}

// The game as it last stood after the player's turn began or he gave a command: the
// engine's save, and whether it is kept among the autosaves. The page keeps it at
// hand, so that a page hidden or closed (a phone turning to another app, a tab closed)
// keeps it at once, without a word with the engine.
let latest = null;

function keepAutosave(entry) {
  return store.keep('autosaves', entry.saved).then(
    () => {
      entry.kept = true;
      autosaveTrouble = '';
    },
    (error) => autosaveFailed(arg(tr('GameHistory', '自動ｾｰﾌﾞできません: %1'), storageWords(error))),
  );
}

function autosave() {
  // A joined game is the host's: its record and save are kept there.
  if (game.joined) return;
  // The engine is asked at once, before any command of the turn can reach it.
  const asked = engine.call('save');
  Promise.all([asked, holdAutosaves()]).then(([saved, held]) => {
    if (saved.error) return;
    latest = { saved, kept: false };
    if (!held) {
      autosaveFailed(tr('WebPage', 'ほかのﾀﾌﾞのｹﾞｰﾑが自動ｾｰﾌﾞを使っているため、このﾀﾌﾞでは自動ｾｰﾌﾞしません'));
      return;
    }
    keepAutosave(latest);
  });
}

// After a command of the player's: the game as it now stands, asked of the engine
// before anything else can change it (and had before the command is done).
function standing() {
  return engine.call('save').then((saved) => {
    if (!saved.error && inPlay()) latest = { saved, kept: false };
  });
}

// The page hidden (another app, another tab, the screen locked): the game kept as it
// stands. The page closed: kept at once where the browser writes before it returns,
// and among the autosaves when the page opens again.
function pageHidden(event) {
  if (!latest || latest.kept || !autosavesHeld) return;
  if (event.type === 'pagehide') {
    store.keepForLater('autosaves', latest.saved);
    latest.kept = true;
  } else {
    keepAutosave(latest);
  }
}

// What the page reads before it asks the engine (a file, a chronicle to unpack): the
// game is busy meanwhile, as it is while the engine works.
async function reading(work) {
  game.busy = true;
  updateButtons();
  try {
    return await work;
  } finally {
    game.busy = false;
    updateButtons();
  }
}

async function loadEntry(entry) {
  let kept;
  try {
    kept = await reading(store.files(entry));
  } catch (error) {
    await dialogs.alert(arg(tr('Message', 'ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2'), dialogs.saveLabel(entry), storageWords(error)));
    return;
  }
  await computerPlays('load', kept.save, dialogs.saveLabel(entry), entry.difficulty, kept.record ?? '', kept.chronicle ?? '');
}

async function loadGame() {
  if (game.joined) return;
  if (game.busy) return;
  await reading(store.refresh());
  const entry = await dialogs.loadDialog(store.list('saves'), store.list('autosaves'));
  if (!entry) return;
  if (entry.files) return openFiles(entry.files);
  await loadEntry(entry);
}

const kRecordMark = 'VELCOR-RECORD';
const kBundleMark = 'VELCOR-BUNDLE ';

// A save (with its record and its chronicle beside it when they are chosen too) or a
// record alone, which is played again to its end. A file larger than any of its kind
// is refused here, unread, before it can reach the engine.
async function openFiles(chosen) {
  if (game.busy) return;
  // The files as they were chosen: the input's own list is emptied once it is read.
  const files = [...chosen];
  for (const file of files) {
    if (byteString(await file.slice(0, kBundleMark.length).arrayBuffer()) === kBundleMark) return openBundle(file);
  }
  const read = await reading(readFiles(files));
  if (read?.save) await computerPlays('load', read.save.bytes, read.save.name, -1, read.record, read.chronicle);
  else if (read?.record) await replay(read.record, read.recordName);
}

// A bundle: the save with what it keeps beside it (its seats, difficulty, record and
// chronicle), read and checked whole by the engine.
async function openBundle(file) {
  if (file.size > game.rules.bundleMaxBytes) {
    const why = arg(tr('Message', 'ﾌｧｲﾙが大きすぎます (%1 KB まで)'), Math.floor(game.rules.bundleMaxBytes / 1024));
    await dialogs.alert(arg(tr('Message', 'ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2'), file.name, why));
    return;
  }
  const bytes = await reading(file.arrayBuffer().then(byteString));
  if (bytes !== undefined) await computerPlays('loadBundle', bytes, file.name);
}

// The files chosen, sorted into a save, a record and a chronicle and read; null when
// one is refused (and the player told why).
async function readFiles(files) {
  const chosen = [];
  for (const file of files) {
    const record = byteString(await file.slice(0, kRecordMark.length).arrayBuffer()) === kRecordMark;
    const most = record ? game.rules.fileMaxBytes : game.rules.saveMaxBytes;
    chosen.push({ file, record, chronicle: !record && /\.jsonl$/i.test(file.name), most });
  }
  const record = chosen.find((f) => f.record);
  const save = chosen.find((f) => !f.record && !f.chronicle) ?? chosen.find((f) => !f.record);
  const chronicle = chosen.find((f) => f.chronicle && f !== save);
  if (chronicle) chronicle.most = game.rules.fileMaxBytes;
  for (const f of [save, record, chronicle]) {
    if (f && f.file.size > f.most) {
      const why = arg(tr('Message', 'ﾌｧｲﾙが大きすぎます (%1 KB まで)'), Math.floor(f.most / 1024));
      await dialogs.alert(arg(tr('Message', 'ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2'), f.file.name, why));
      return null;
    }
  }
  const bytes = async (f) => (f ? byteString(await f.file.arrayBuffer()) : '');
  return {
    save: save ? { bytes: await bytes(save), name: save.file.name } : null,
    record: await bytes(record),
    recordName: record?.file.name,
    chronicle: await bytes(chronicle),
  };
}

// A record played from its start a step at a time (the ﾘﾌﾟﾚｲ menu pauses and steps it).
async function replay(recordBytes, name) {
  await playing('playRecord', [recordBytes], (error) => arg(tr('Message', '記録を使えません: %1'), `${name}\n${text(error)}`));
}

function download(name, bytes) {
  const data = bytesOf(bytes);
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([data], { type: 'application/octet-stream' }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// The save as the desktop reads it, and its record beside it (NAME.txt, NAME.txt.record).
async function downloadGame(withRecord) {
  if (!canSave()) return;
  const saved = await savedGame();
  if (!saved) return;
  const name = `velcor-${saved.year}-${String(saved.month).padStart(2, '0')}.txt`;
  if (withRecord) download(`${name}.record`, saved.record);
  else download(name, saved.save);
}

// The game in one file with everything kept beside its save, as the desktop opens it.
async function downloadBundle() {
  if (!canSave()) return;
  const saved = await engine.call('bundle');
  if (saved.error) {
    await dialogs.alert(cannotSave(dialogs.saveLabel(game.view), text(saved.error)));
    return;
  }
  download(`velcor-${saved.year}-${String(saved.month).padStart(2, '0')}.velcor`, saved.bundle);
}

// ---- Advice ----

async function advise() {
  if (stage() !== 'command') {
    const words = tr('AdviceWindow', '助言できるのは自国の番だけです');
    if (dialogs.adviceShown()) dialogs.adviceWindow({ words });
    else await dialogs.alert(words);
    return;
  }
  const turn = game.view.turn;
  const { snapshot } = await engine.call('snapshot');
  thinker ??= new Engine();
  game.advice = { turn, thinking: true, ranking: [], trials: 0 };
  dialogs.adviceWindow(game.advice);
  // A quick first answer, then the whole one; the page plays on meanwhile.
  for (const rollouts of [32, 256]) {
    const answer = await thinker.call('advise', snapshot, rollouts, 0);
    if (!game.advice || game.advice.turn !== turn || game.view.turn !== turn || stage() !== 'command') return;
    Object.assign(game.advice, { ranking: answer.ranking, horizon: answer.horizon, penalty: answer.penalty, trials: rollouts, total: 256, thinking: rollouts < 256 });
    if (answer.ranking.length && actionsOffered()) game.advised = answer.ranking[0].command.key;
    updateButtons();
    dialogs.adviceWindow(game.advice);
  }
}

// ---- The page starting up ----

// A picture of the game's; shown beside the words that name it, a screen reader passes
// it by (its alt text empty).
async function loadImage(src) {
  const image = new Image();
  image.alt = '';
  image.src = src;
  await image.decode();
  return image;
}

async function start() {
  W.setLanguage(settings.language ?? W.browserLanguage());
  const scenariosAsked = engine.call('scenarios');
  const opened = store.open();
  const [words, mapImage] = await Promise.all([fetch('words.json').then((r) => r.json()), loadImage('res/130.png')]);
  W.setWords(words);
  access.reword();
  applyContrast();
  contrastAsked.addEventListener('change', applyContrast);
  // The map first, every country unruled, while the engine starts.
  game.rulerColours = [0xffffff];
  pictures = { map: mapImage, marker: null, portraits: [] };
  map = new MapView($('map'), pictures, words.regionKeys);
  game.map = map;
  figures = new Figures($('figures'));
  layout();
  await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
  game.times.firstPaint = performance.now();
  const scenarios = await scenariosAsked;
  W.setRulerNames(scenarios.rulers.map((r) => r.name));
  game.rules = scenarios.rules;
  game.scenarios = scenarios.scenarios;
  game.rulerColours = scenarios.rulers.map((r) => r.colour);
  flows.install({ game, settings, store, engine, paced, pictures: () => pictures, play: computerPlays, alert: (words) => dialogs.alert(text(words)) });
  dialogs.install({ game, settings, store, actions });
  if (settings.oneKeyTurn) engine.call('oneKeyTurn', true);
  views.install({ engine, game, settings, actions });
  updateButtons();
  await opened;
  if (joining) join.join({ game, engine, flows, text, takeView, repaint, pictures: () => pictures });
  else dialogs.openStartPanel();
  game.times.startPanel = performance.now();
  pictures.marker = await loadImage('res/132.png');
  pictures.portraits = await Promise.all([...Array(16).keys()].map((r) => loadImage(`res/${135 + r}.png`)));
  pictures.victory = await loadImage('res/163.png');
  pictures.gameOver = await loadImage('res/164.png');
  dialogs.picturesReady(pictures);
  repaint();
  game.ready = true;
  keepOffline();
}

// The page kept for play without the network, and installable: its service worker
// (sw.js, which the build writes with every file of the page and its hash). A new
// version waits until the player takes it (更新) or every tab of the old one is
// closed: a page never runs on the files of two versions. It needs a secure page
// (https, or localhost); elsewhere the page plays on from the network.
function keepOffline() {
  // The manifest (which makes the page installable) and its icons come once the game
  // can be played: on a slow link they would hold up its start.
  for (const [rel, href] of [['manifest', 'manifest.webmanifest'], ['apple-touch-icon', 'res/128-256.png']])
    document.head.append(Object.assign(document.createElement('link'), { rel, href }));
  if (!('serviceWorker' in navigator)) return;
  navigator.serviceWorker.register('sw.js').then(
    (registration) => {
      const offer = (worker) => {
        if (worker && navigator.serviceWorker.controller)
          dialogs.notice(pageWord('新しい版があります'), { label: pageWord('更新'), run: () => worker.postMessage('take over') });
      };
      offer(registration.waiting);
      registration.addEventListener('updatefound', () => {
        const worker = registration.installing;
        worker?.addEventListener('statechange', () => worker.state === 'installed' && offer(worker));
      });
      // The new version taken (here or in another tab): the page reloads on its files.
      navigator.serviceWorker.addEventListener('controllerchange', () => location.reload());
    },
    () => {},
  );
}

// What the menus and dialogs may ask of the game.
export const actions = {
  newGame,
  chooseSeats: (rulers, chosen, difficulty) => flows.seatsDialog(rulers, chosen, difficulty),
  randomScenario: (seed) => flows.randomScenario(seed),
  ownScenario: (files) => flows.ownScenario(files),
  extendMenus: (menus, item) => flows.extendMenus(menus, item),
  saveGame,
  loadGame,
  loadEntry,
  openFiles,
  downloadGame,
  downloadBundle,
  advise,
  canSave,
  repaint,
  updateButtons,
  relayout: layout,
  cancelChoice,
  focusHome,
  contrast,
  setContrast(on) {
    settings.contrast = on;
    store.saveSettings(settings);
    applyContrast();
  },
  confirmChoice() {
    if (choosing() && game.choice >= 0) pickCountry(game.choice);
  },
  setLanguage(lang) {
    settings.language = lang;
    store.saveSettings(settings);
    W.setLanguage(lang);
    access.reword();
    join.reword();
    dialogs.languageChanged();
    updateButtons();
    repaint();
  },
  setSpeed(speed) {
    settings.speed = speed;
    store.saveSettings(settings);
  },
  setPatterns(on) {
    settings.patterns = on;
    store.saveSettings(settings);
    repaint();
  },
  setBattleArrows(on) {
    settings.battleArrows = on;
    store.saveSettings(settings);
    repaint();
  },
  // A country chosen in 自国一覧: shown in the panel, and on a phone the map brought into sight.
  show(country) {
    if (game.busy && stage() !== 'command') return;
    game.shown = country;
    repaint();
    if (document.body.classList.contains('compact')) $('board').scrollIntoView({ block: 'nearest' });
  },
  chronicleChanged: () => dialogs.chronicleChanged(),
  setReport(on) {
    settings.report = on;
    store.saveSettings(settings);
  },
  resume() {
    const newest = store.list('autosaves')[0];
    if (newest) loadEntry(newest);
  },
};

function install() {
  const commands = $('commands');
  access.installCountries(pressCountry, countryFocused);
  for (const command of kCommands) {
    const b = document.createElement('button');
    b.id = `cmd-${command.key}`;
    b.setAttribute('aria-keyshortcuts', command.key);
    b.className = 'command';
    b.style.setProperty('--x', String(20 + 70 * kCommands.indexOf(command)));
    b.classList.add('off');
    b.addEventListener('click', () => pressCommand(command, b));
    // A long press (a finger's right click) tells what the tooltip tells.
    b.addEventListener('contextmenu', (e) => {
      e.preventDefault();
      if (game.rules) dialogs.tip(b, tooltip(command));
    });
    commands.append(b);
  }
  document.body.classList.toggle('touch', game.touch);
  document.addEventListener('pointerdown', pointerSeen, true);
  const canvas = $('map');
  canvas.addEventListener('pointerdown', onPointerDown);
  canvas.addEventListener('pointermove', onPointerMove);
  canvas.addEventListener('pointerup', tipOnLift);
  canvas.addEventListener('pointerleave', (e) => e.pointerType === 'mouse' && tipGone());
  // A finger's long press (its right click) tells the country's figures, even while a target is chosen.
  canvas.addEventListener('contextmenu', (e) => {
    e.preventDefault();
    if (game.touch && game.drawn && !dialogs.modalOpen()) {
      const p = mapPoint(e);
      const country = map.countryAt(p.x, p.y);
      if (country >= 0) views.tipAt(e.clientX, e.clientY, tipWords(country), country);
    }
  });
  document.addEventListener('keydown', onKey);
  window.addEventListener('resize', layout);
  window.addEventListener('pagehide', pageHidden);
  document.addEventListener('visibilitychange', (e) => document.visibilityState === 'hidden' && pageHidden(e));
  // The menu bar takes its height once its words and font are in: the map fits under it.
  new ResizeObserver(() => layout()).observe($('menubar'));
  start().catch((error) => {
    document.body.classList.add('failed');
    console.error(error);
  });
}

install();
export { menuText };
