// SPDX-License-Identifier: GPL-3.0-or-later
// A networked game joined from the page. The host serves the page itself, and its
// link carries the invitation in the fragment (http://HOST:PORT/#seat=R&key=HEX),
// which no browser sends in a request: the page reads it once, drops it from the
// address and the history, and keeps it in memory alone. The WebSocket goes to the
// page's own origin. The engine follows the host's record and checks the seat's
// commands; every answer it gives carries the frames to send (joined.send), which go
// out here as they come, and each frame of the host's goes in. Before the game begins,
// the host's lobby stands over the page: the remote seats, who holds each and who is
// ready, and his own 準備完了.
import * as access from './access.js';
import * as dialogs from './dialogs.js';
import { arg, rulerName, tr } from './words.js';

let page = null; // { game, engine, play(call, ...args), takeView(answer), pictures() }
let invitation = ''; // velcor://HOST:PORT#seat=R&key=HEX, in memory only
let socket = null;
let seated = false; // the host took him in since he last connected
let atTurn = false; // the last answer found the seat's turn waiting here
let awaitedTurn = ''; // the remote seat's turn whose time is counted (seat:part), none: ''
let frames = Promise.resolve(); // the host's frames, taken one after another

const kFragment = /^#(seat=(?:[1-9]|1[0-5])&key=[0-9a-f]{32})$/;

// The invitation the page's address carries, taken out of it before anything else runs.
export function takeInvitation() {
  const found = kFragment.exec(location.hash);
  if (!found) return false;
  invitation = `velcor://${location.host}#${found[1]}`;
  history.replaceState(history.state, '', location.pathname + location.search);
  return true;
}

export const joined = () => invitation !== '';

// Every answer of the engine: its frames go to the host, the seat's turn is told.
export function answered(answer) {
  const seat = answer.joined;
  if (!seat) return;
  for (const frame of seat.send ?? []) if (socket?.readyState === WebSocket.OPEN) socket.send(frame);
  if (seat.turn && !atTurn) {
    page.game.joinedTurns = (page.game.joinedTurns ?? 0) + 1;
    yourTurn(seat.seat);
  }
  atTurn = !!seat.turn;
  // Every remote seat's turn, his or another player's, shows its time left.
  const awaited = seat.awaited ? `${seat.awaited}:${seat.brought}` : '';
  if (awaited !== awaitedTurn) {
    awaitedTurn = awaited;
    countDown(awaited ? seat.limit : 0);
  }
  if (seat.refused) refused(seat.refused);
  showLobby(seat.lobby ?? null, seat.seat);
}

// ---- The lobby ----

let lobby = null; // { seats: [{seat, joined, ready}], own }, as the engine last gave it; null: none

const seatState = (s) =>
  tr('LobbyWindow', s.ready ? '準備完了' : s.joined ? '参加しました (準備中)' : '参加を待っています');
const seatName = (s, own) => (s.seat === own ? arg(tr('LobbyWindow', '%1 (あなた)'), rulerName(s.seat)) : rulerName(s.seat));

// The lobby shown as the engine gives it (seats null: the game has begun, or the
// connection has ended), each change of a seat told.
function showLobby(seats, own) {
  const was = lobby;
  if (JSON.stringify(was?.seats ?? null) === JSON.stringify(seats)) return;
  lobby = seats && { seats, own };
  if (!lobby) return document.getElementById('lobby')?.remove();
  drawLobby();
  if (!was) access.say(`${tr('LobbyWindow', 'ﾛﾋﾞｰ')}  ${tr('LobbyWindow', 'ﾎｽﾄが開始するのを待っています')}`);
  else {
    const before = new Map(was.seats.map((s) => [s.seat, seatState(s)]));
    access.say(seats.filter((s) => before.get(s.seat) !== seatState(s)).map((s) => `${seatName(s, own)}: ${seatState(s)}`).join('\n'));
  }
}

function drawLobby() {
  let panel = document.getElementById('lobby');
  const first = !panel;
  if (first) {
    panel = dialogs.element(
      'section',
      { id: 'lobby', class: 'panel', role: 'region', 'aria-labelledby': 'lobby-title' },
      dialogs.element('div', { id: 'lobby-title', class: 'title' }),
      dialogs.element('ul', { class: 'seats' }),
      dialogs.element('p', { class: 'waiting' }),
      dialogs.element('div', { class: 'buttons' }, dialogs.element('button', { id: 'lobby-ready', type: 'button', onclick: toggleReady })),
    );
    document.getElementById('overlay').append(panel);
  }
  const { seats, own } = lobby;
  panel.querySelector('.title').textContent = tr('LobbyWindow', 'ﾛﾋﾞｰ');
  panel.querySelector('.seats').replaceChildren(
    ...seats.map((s) =>
      dialogs.element(
        'li',
        { class: s.seat === own ? 'own' : '' },
        dialogs.element('img', { class: 'small-portrait', src: `res/${135 + s.seat}.png`, alt: '' }),
        dialogs.element('span', { class: 'who' }, seatName(s, own)),
        dialogs.element('span', { class: `state${s.ready ? ' ready' : ''}` }, seatState(s)),
      ),
    ),
  );
  panel.querySelector('.waiting').textContent = tr('LobbyWindow', 'ﾎｽﾄが開始するのを待っています');
  const button = panel.querySelector('#lobby-ready');
  button.textContent = tr('LobbyWindow', '準備完了');
  button.setAttribute('aria-pressed', String(!!seats.find((s) => s.seat === own)?.ready));
  // Nothing else to do until the game begins: the keys start on his 準備完了.
  if (first && (document.activeElement === document.body || !document.activeElement)) button.focus({ preventScroll: true });
}

// His 準備完了 pressed: the engine gives the frame that tells the host, and the host's
// lobby, when it comes back, shows it.
function toggleReady(event) {
  const ready = event.currentTarget.getAttribute('aria-pressed') !== 'true';
  event.currentTarget.setAttribute('aria-pressed', String(ready));
  page.engine.call('joinReady', ready);
}

// The language changed: the lobby in the new words.
export function reword() {
  if (lobby) drawLobby();
}

export async function join(p) {
  page = p;
  page.game.joined = true;
  connect();
}

function connect() {
  seated = false;
  socket = new WebSocket(`ws://${location.host}/`);
  socket.onopen = () => take(() => page.engine.call('joinBegin', invitation));
  socket.onmessage = ({ data }) => {
    seated = true;
    take(() => page.engine.call('joinFrame', String(data)));
  };
  socket.onclose = ({ code, reason }) => {
    const why = reason || String(code);
    take(async () => {
      const answer = await page.engine.call('joinClosed', why);
      closed(answer.joined, why);
      return answer;
    });
  };
}

// A frame's answer: the step it asks for is due, the view is the game's as it stands
// once no show is being played.
function take(call) {
  frames = frames.then(async () => {
    const answer = await call();
    // Not the host's frame, or an address the engine cannot take as the invitation's.
    if (answer.badFrame || answer.badInvitation) return socket?.close();
    if (answer.followFailed) return dialogs.alert(arg(tr('NetworkJoin', 'ﾎｽﾄの記録をたどれなくなりました\n%1'), page.text(answer.followFailed)));
    if (!page.game.busy) page.takeView(answer);
    else if ('stepDue' in answer) page.flows.answered(answer);
  });
}

let refusedSeen = false;
function refused(refusal) {
  refusedSeen = true;
  const short = (hash) => hash.slice(0, 12);
  const words = {
    version: () =>
      arg(tr('NetworkJoin', 'ﾎｽﾄのﾈｯﾄﾜｰｸ対戦の版 (%1) が、このﾌﾟﾛｸﾞﾗﾑの版 (%2) と違います: 同じ版のﾌﾟﾛｸﾞﾗﾑで参加してください'), refusal.version, refusal.ourVersion),
    data: () => arg(tr('NetworkJoin', 'ﾎｽﾄのｼﾅﾘｵと国のﾃﾞｰﾀが、この画面のものと違います (ﾎｽﾄ %1…、この画面 %2…)'), short(refusal.data), short(refusal.ours)),
    secret: () => tr('NetworkJoin', '招待が受け付けられませんでした: その席がないか、鍵が違います'),
    taken: () => tr('NetworkJoin', 'その席にはほかのﾌﾟﾚｲﾔｰが参加しています'),
    revoked: () => tr('NetworkJoin', 'ﾎｽﾄがこの招待を取り消しました'),
    replaced: () => tr('NetworkJoin', '同じ招待でほかの画面から参加したため、この画面の参加は終わりました'),
  }[refusal.reason];
  dialogs.alert(words ? words() : refusal.reason);
}

function closed(seat, why) {
  atTurn = false;
  awaitedTurn = '';
  countDown(0);
  if (refusedSeen) return;
  if (seat?.ended) {
    page.game.hostEnded = true;
    return dialogs.notice(tr('NetworkJoin', 'ﾎｽﾄがﾈｯﾄﾜｰｸ対戦を終えました'));
  }
  if (!seated)
    return dialogs.notice(arg(tr('NetworkJoin', 'ﾎｽﾄにつながりませんでした (%1)\n招待の宛先とﾎﾟｰﾄ、ﾎｽﾄが開いているかを確かめてください'), why), {
      label: tr('NetworkJoin', '再参加'),
      run: rejoin,
    });
  dialogs.notice(arg(tr('NetworkJoin', 'ﾎｽﾄとの接続が切れました (%1)\n同じ招待でもう一度参加できます: ｹﾞｰﾑは記録から追いつきます'), why), {
    label: tr('NetworkJoin', '再参加'),
    run: rejoin,
  });
}

function rejoin() {
  document.getElementById('notice')?.remove();
  if (socket?.readyState !== WebSocket.CLOSED) return;
  connect();
}

// The time left of a turn the host limits, after the status line, counted from the
// answer that brought the turn here (the host's clock is the one that rests the seat).
let ticking = null;
function countDown(limit) {
  clearInterval(ticking);
  ticking = null;
  page.game.statusTail = '';
  if (limit > 0) {
    const started = performance.now();
    const tick = () => {
      const left = Math.max(0, Math.ceil((limit * 1000 - (performance.now() - started)) / 1000));
      page.game.statusTail = `  ${arg(tr('NetworkGame', '残り %1 秒'), left)}`;
      page.repaint();
    };
    tick();
    ticking = setInterval(tick, 250);
  } else {
    page.repaint();
  }
}

// The seat's turn has come: his name and portrait, until he clicks, taps or presses a key.
function yourTurn(seat) {
  const portrait = page.pictures().portraits[seat]?.cloneNode() ?? null;
  dialogs.modal(
    (box, close) => {
      box.append(
        portrait,
        dialogs.element('div', { class: 'title' }, rulerName(seat)),
        dialogs.element('p', {}, tr('NetworkJoin', 'あなたの番です')),
      );
      box.addEventListener('click', () => close());
      box.setAttribute('data-default', '');
      setTimeout(() => close(), 3000);
    },
    { className: 'hand-over your-turn', onKey: (e) => !e.repeat && dialogs.closeTop() },
  );
}
