// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop shows beside its map, in the page: 自国一覧 (the player's countries
// with their figures and what each could do; choosing one shows it), last month's
// battles as arrows on the map, a country's tooltip (the pointer resting on it, or a
// finger's tap or long press), and the chronicle's 推移 (the chart of countries held)
// and 勢力 (every ruler's holdings and who plays him). Every figure and reason is the
// engine's (its call 'displays' and the view's arrows); the page words and draws them.
import { arg, commandCaption, countryName, rulerName, text, tr } from './words.js';
import { element } from './dialogs.js';

let page = null; // { engine, game, settings, actions: { show(country), relayout(), saveSettings() } }
let displays = null; // the engine's last answer to 'displays'
const $ = (id) => document.getElementById(id);

export function install(p) {
  page = p;
}

// A colour 0x00BBGGRR as the engine gives it, for CSS.
const css = (c) => `rgb(${c & 0xff},${(c >> 8) & 0xff},${(c >> 16) & 0xff})`;
const names = () => page.game.view?.countries ?? [];
const numbered = (country) => `${country} ${countryName(country, names()[country]?.name.t ?? '')}`;

// The engine's figures asked again when a display that shows them is open; the game
// as it stands after each answer of the engine.
export async function refresh() {
  if (!page.game.view || !(ownShown() || chronicleTab !== 'record')) return;
  displays = await page.engine.call('displays');
  page.game.displays = displays;
  fillOwn();
  page.actions.chronicleChanged();
}

// ---- 自国一覧 ----

const ownShown = () => !$('own').hidden;
const kFigures = ['人口', '開墾', '商業', '兵糧', '資金', '兵士', '訓練'];

export function toggleOwn(show) {
  const panel = $('own');
  const hide = show === undefined ? !panel.hidden : !show;
  // The keys' focus, in the panel closed, goes where the page keeps it.
  const focused = hide && panel.contains(document.activeElement);
  panel.hidden = hide;
  if (focused) page.actions.focusHome();
  page.actions.relayout();
  if (panel.hidden) return;
  fillOwn();
  refresh();
  panel.scrollIntoView({ block: 'nearest' });
}
export const ownOpen = ownShown;

export const reword = () => fillOwn();
function fillOwn() {
  const panel = $('own');
  if (panel.hidden) return;
  const rows = displays?.own.rows ?? [];
  const view = page.game.view;
  const head = element(
    'tr',
    {},
    ...[tr('OwnCountriesWindow', '番'), tr('StatusPanel', '国名'), ...kFigures.map((f) => tr('StatusPanel', f))].map((h) =>
      element('th', { scope: 'col' }, h),
    ),
  );
  const body = rows.map((r) => {
    const f = view?.countries[r.country]?.f ?? [];
    let war = r.why.W ? text(r.why.W) : tr('OwnCountriesWindow', '可');
    let able = [...'MLCST'].filter((k) => !r.why[k]).map(commandCaption);
    if (r.spent) {
      war = tr('OwnCountriesWindow', '命令済み');
      able = [];
    }
    const unable = [...'MLCST'].filter((k) => r.why[k]).map((k) => `${commandCaption(k)}: ${text(r.why[k])}`);
    // The country's name is the row's button: it shows the country in the panel.
    const go = element('button', { class: 'own-country', 'data-country': r.country, onclick: () => page.actions.show(r.country) }, numbered(r.country));
    // The figures on one line, the war and the commands that can be given on the next:
    // the table keeps to the column beside the map.
    return [
      element(
        'tr',
        { class: r.turn ? 'turn' : '', 'data-country': r.country },
        element('td', {}, r.turn ? '▶' : ''),
        element('th', { scope: 'row' }, go),
        ...f.slice(1, 8).map((v) => element('td', { class: 'number' }, String(v))),
      ),
      element(
        'tr',
        { class: 'can' },
        element('td', {}),
        element(
          'td',
          { colspan: kFigures.length + 1, title: unable.join('\n') },
          element('span', { class: r.why.W || r.spent ? 'unable' : '' }, `${commandCaption('W')}: ${war}`),
          element('span', { class: 'able' }, `${tr('OwnCountriesWindow', 'できる命令')}: ${able.join(' ')}`),
        ),
      ),
    ];
  }).flat();
  // What had the keys' focus in the panel has it again once the panel is filled anew.
  const focused = panel.contains(document.activeElement) ? document.activeElement : null;
  const again = focused?.id ? `#${focused.id}` : focused?.dataset.country ? `.own-country[data-country="${focused.dataset.country}"]` : '';
  panel.setAttribute('aria-labelledby', 'own-title');
  panel.replaceChildren(
    element('div', { class: 'title' }, element('span', { id: 'own-title' }, tr('OwnCountriesWindow', '自国一覧')), element('button', { class: 'close', id: 'own-close', title: tr('WebPage', '閉じる'), onclick: () => toggleOwn(false) }, '×')),
    element('div', { class: 'body own-body' }, element('table', { class: 'own', 'aria-labelledby': 'own-title' }, element('thead', {}, head), element('tbody', {}, ...body))),
  );
  if (again) panel.querySelector(again)?.focus({ preventScroll: true });
  // The column beside the map takes the table's width: the map is laid out again.
  const width = panel.querySelector('table').scrollWidth;
  if (width !== ownWidth) {
    ownWidth = width;
    page.actions.relayout();
  }
}
let ownWidth = 0; // the table's width when the map was last laid out beside it

// ---- 先月の戦い: arrows on the map ----

const kTakenColour = 'rgb(200,0,0)';
const kFailedColour = 'rgb(0,70,210)';
const kArrowWidth = 2.5;
const kHead = 9; // the head's length
const kSideStep = 3; // arrows both ways between two countries lie side by side
const kClearance = 10; // pixels left free at each country's middle

// Draws the battles [attacker, target, taken] on the map's context in its own pixels,
// from the middle of each country's pixels (centres); shapes: a failed attack dashed
// with an open head, as the patterns tell rulers apart by more than colour.
export function drawBattleArrows(ctx, centres, arrows, shapes) {
  if (!arrows?.length) return;
  ctx.save();
  for (const [attacker, target, taken] of arrows) {
    const from = centres[attacker];
    const to = centres[target];
    if (!from || !to) continue;
    const dx = to.x - from.x;
    const dy = to.y - from.y;
    const length = Math.hypot(dx, dy);
    if (length < 2 * kClearance + kHead) continue;
    const ux = dx / length;
    const uy = dy / length;
    // The normal to the arrow's left; the arrow lies a little to its right.
    const nx = uy;
    const ny = -ux;
    const sx = nx * -kSideStep;
    const sy = ny * -kSideStep;
    const start = { x: from.x + sx + ux * kClearance, y: from.y + sy + uy * kClearance };
    const tip = { x: to.x + sx - ux * kClearance, y: to.y + sy - uy * kClearance };
    const back = { x: tip.x - ux * kHead, y: tip.y - uy * kHead };
    const across = { x: nx * (kHead / 2), y: ny * (kHead / 2) };
    const open = shapes && !taken;
    const shaft = open ? tip : back;
    const colour = taken ? kTakenColour : kFailedColour;
    // A white edge first, so that the arrow reads on every ruler's colour.
    for (const edge of [true, false]) {
      ctx.strokeStyle = edge ? '#fff' : colour;
      ctx.fillStyle = ctx.strokeStyle;
      ctx.lineWidth = edge ? kArrowWidth + 2 : kArrowWidth;
      ctx.lineCap = 'butt';
      ctx.lineJoin = 'miter';
      ctx.setLineDash(open && !edge ? [3 * kArrowWidth, kArrowWidth] : []);
      ctx.beginPath();
      ctx.moveTo(start.x, start.y);
      ctx.lineTo(shaft.x, shaft.y);
      ctx.stroke();
      ctx.setLineDash([]);
      ctx.beginPath();
      ctx.moveTo(back.x + across.x, back.y + across.y);
      ctx.lineTo(tip.x, tip.y);
      ctx.lineTo(back.x - across.x, back.y - across.y);
      if (open) ctx.stroke();
      else {
        ctx.closePath();
        ctx.fill();
        ctx.stroke();
      }
    }
  }
  ctx.restore();
}

// ---- A country's tooltip ----

// "3 徐州 / 君主 劉備 / 人口 ..." as the desktop's map tooltip words it, from the figures
// drawn; '' for no country.
export function countryTip(country, figures) {
  const f = figures?.[country];
  if (!f || country < 0) return '';
  return arg(tr('MapTips', '%1 %2\n君主 %3\n人口 %4\n開墾 %5\n商業 %6\n兵糧 %7\n資金 %8\n兵士 %9\n訓練 %10'), country, countryName(country, names()[country]?.name.t ?? ''), rulerName(f[0]), ...f.slice(1, 8));
}

// Shows words beside a point of the page (client coordinates); the next touch or the
// pointer leaving the country closes them.
export function tipAt(x, y, words, country) {
  closeCountryTip();
  if (!words) return;
  const box = element('div', { id: 'tip', class: 'tip country-tip', role: 'tooltip', 'data-country': country }, words);
  $('overlay').append(box);
  const own = box.getBoundingClientRect();
  const seen = window.visualViewport ?? { offsetLeft: 0, offsetTop: 0, width: innerWidth, height: innerHeight };
  const within = (v, low, high) => Math.max(low, Math.min(v, high));
  // Below and to the right of the point, as a tooltip; above a finger, which hides what is under it.
  let top = page.game.touch ? y - own.height - 24 : y + 20;
  if (top < seen.offsetTop + 4) top = y + 24;
  top = within(top, seen.offsetTop + 4, seen.offsetTop + seen.height - own.height - 4);
  const left = within(x + (page.game.touch ? -own.width / 2 : 12), seen.offsetLeft + 4, seen.offsetLeft + seen.width - own.width - 4);
  box.style.left = `${left}px`;
  box.style.top = `${top}px`;
}
export function closeCountryTip() {
  const tip = $('tip');
  if (tip?.classList.contains('country-tip')) tip.remove();
}
export const countryTipShown = () => Number($('tip')?.classList.contains('country-tip') ? $('tip').dataset.country : -1);

// ---- The chronicle's 推移 and 勢力 ----

let chronicleTab = 'record';
const kTabs = [
  ['record', () => tr('chronicle', '記録')],
  ['chart', () => tr('chronicle', '推移')],
  ['standings', () => tr('chronicle', '勢力')],
];

// The chronicle's tabs over its panel: the record (record, the list the page builds)
// or the chart or the standings. Gives what the panel holds under its title.
export function chronicleBody(record) {
  const tabs = element('div', { class: 'tabs', role: 'tablist' });
  const panel = element('div', { class: 'tab-panel', role: 'tabpanel', id: 'chronicle-tab-panel' });
  for (const [name, label] of kTabs) {
    const tab = element('button', {
      class: 'tab',
      role: 'tab',
      id: `chronicle-tab-${name}`,
      'aria-selected': String(name === chronicleTab),
      'aria-controls': panel.id,
      tabIndex: name === chronicleTab ? 0 : -1,
      onclick: () => chooseTab(name),
      onkeydown: (e) => {
        if (e.key !== 'ArrowRight' && e.key !== 'ArrowLeft') return;
        e.preventDefault();
        const at = kTabs.findIndex(([n]) => n === chronicleTab);
        chooseTab(kTabs[(at + (e.key === 'ArrowRight' ? 1 : kTabs.length - 1)) % kTabs.length][0]);
        $(`chronicle-tab-${chronicleTab}`)?.focus();
      },
    }, label());
    tabs.append(tab);
  }
  panel.setAttribute('aria-labelledby', `chronicle-tab-${chronicleTab}`);
  if (chronicleTab === 'record') panel.append(...record());
  else if (!displays) panel.append(element('p', {}, '…'));
  else if (chronicleTab === 'chart') panel.append(chart());
  else panel.append(standings());
  return [tabs, panel];
}

function chooseTab(name) {
  chronicleTab = name;
  page.actions.chronicleChanged();
  refresh();
}

function chart() {
  // Drawn at the screen's own pixels, so that a phone's shows it sharp.
  const scale = window.devicePixelRatio || 1;
  const canvas = element('canvas', { class: 'chart', id: 'holdings-chart', width: Math.round(360 * scale), height: Math.round(200 * scale), role: 'img' });
  drawHoldings(canvas, displays.history, page.game, true, scale);
  // What the chart shows, in words: each ruler's countries now.
  const now = displays.standings.map((s) => `${rulerName(s.ruler)} ${s.countries}`).join(', ');
  canvas.setAttribute('aria-label', `${tr('chronicle', '推移')}: ${now}`);
  return canvas;
}

// Who plays a ruler (the engine's word for his seat), as the seats' window names him.
const kLevels = ['COM 易しい', 'COM 普通', 'COM 難しい', 'COM 達人'];
function seatName(s) {
  if (s.seat === 'person') return tr('SeatsDialog', 'ﾌﾟﾚｲﾔｰ');
  if (s.seat === 'advisor') return tr('SeatsDialog', '助言');
  if (s.seat === 'remote') return tr('SeatsDialog', 'ﾈｯﾄﾜｰｸ');
  return tr('SeatsDialog', kLevels[s.level] ?? kLevels[1]);
}

function standings() {
  const columns = [tr('chronicle', '君主'), tr('chronicle', '国数'), tr('chronicle', '兵士'), tr('chronicle', '兵糧'), tr('chronicle', '資金'), tr('RulerTable', '担当')];
  const rows = displays.standings.map((s) =>
    element(
      'tr',
      { class: s.player ? 'player' : '', 'data-ruler': s.ruler },
      element('th', { scope: 'row' }, element('span', { class: 'swatch', 'aria-hidden': 'true', style: `background:${css(page.game.rulerColours[s.ruler])}` }), (s.player ? '★' : '') + rulerName(s.ruler)),
      ...[s.countries, s.soldiers, s.provisions, s.funds].map((v) => element('td', { class: 'number' }, String(v))),
      element('td', {}, seatName(s)),
    ),
  );
  return element('table', { class: 'standings', id: 'standings' }, element('thead', {}, element('tr', {}, ...columns.map((c) => element('th', { scope: 'col' }, c)))), element('tbody', {}, ...rows));
}

// The countries each ruler held, month by month: one line each, in his colour (the
// player's thicker); axes: the years and the count of countries; scale: canvas pixels
// to a pixel of the drawing.
export function drawHoldings(canvas, history, game, axes = false, scale = 1) {
  const ctx = canvas.getContext('2d');
  ctx.setTransform(scale, 0, 0, scale, 0, 0);
  const width = canvas.width / scale;
  const height = canvas.height / scale;
  ctx.fillStyle = '#fff';
  ctx.fillRect(0, 0, width, height);
  if (history.length < 2) return;
  const left = axes ? 28 : 10;
  const bottom = axes ? 22 : 10;
  const months = (p) => p[0] * 12 + p[1] - 1;
  const first = months(history[0]);
  const span = Math.max(1, months(history[history.length - 1]) - first);
  const x = (m) => left + ((m - first) / span) * (width - left - 10);
  const y = (n) => height - bottom - (n / 14) * (height - bottom - 10);
  if (axes) {
    ctx.strokeStyle = '#888';
    ctx.fillStyle = '#000';
    ctx.lineWidth = 1;
    ctx.font = '10px sans-serif';
    ctx.textAlign = 'right';
    ctx.textBaseline = 'middle';
    for (const n of [0, 7, 14]) {
      ctx.fillText(String(n), left - 4, y(n));
      ctx.beginPath();
      ctx.moveTo(left, y(n));
      ctx.lineTo(width - 10, y(n));
      ctx.stroke();
    }
    ctx.textAlign = 'center';
    ctx.textBaseline = 'top';
    const firstYear = history[0][0];
    const lastYear = history[history.length - 1][0];
    const step = Math.max(1, Math.ceil((lastYear - firstYear + 1) / 6));
    for (let year = firstYear; year <= lastYear; year += step) {
      const at = Math.max(first, year * 12);
      ctx.fillText(String(year), Math.min(x(at), width - 14), height - bottom + 4);
    }
  }
  for (let r = 1; r < 16; r++) {
    if (!history.some((p) => p[2 + r] > 0)) continue;
    ctx.strokeStyle = css(game.rulerColours[r]);
    ctx.lineWidth = r === game.view.player ? 3 : 1.5;
    ctx.beginPath();
    history.forEach((p, i) => (i ? ctx.lineTo(x(months(p)), y(p[2 + r])) : ctx.moveTo(x(months(p)), y(p[2 + r]))));
    ctx.stroke();
  }
}
