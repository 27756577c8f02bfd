// SPDX-License-Identifier: GPL-3.0-or-later
// The page's windows: the menus, the start panel, the message window, the battle
// window, the move dialog, the new game's choices, the saves, the turn report, the
// chronicle, the advice and the 戦績 at the end. Each is worded from the desktop's texts.
import { arg, commandCaption, countryName, getLanguage, menuText, pageWord, rulerName, text, tr } from './words.js';
import * as views from './views.js';

let page = null; // { game, settings, store, actions }
let pictures = { portraits: [] };
const $ = (id) => document.getElementById(id);
const open = []; // the modal windows open, topmost last

export function element(tag, props = {}, ...children) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(props)) {
    if (k === 'class') e.className = v;
    else if (k.startsWith('on')) e.addEventListener(k.slice(2), v);
    else if (k in e) e[k] = v;
    else e.setAttribute(k, v);
  }
  e.append(...children.filter((c) => c !== null && c !== undefined));
  return e;
}

export function install(p) {
  page = p;
  buildMenus();
  document.addEventListener('pointerdown', (e) => {
    if (!e.target.closest('#menubar')) closeMenus();
    if (!e.target.closest('.tip')) closeTip();
  });
  // A screen turned: what stood beside a button no longer does.
  window.addEventListener('resize', () => {
    closeTip();
    closeMenus();
  });
}

// ---- What is seen of the page ----

// The windows fill the part of the page that is seen (CSS's --vv-*): a pinch's zoom
// or a phone's on-screen keyboard narrows it, and a window stays within it. The field
// typed in is kept in sight above the keyboard.
function followSeen() {
  const seen = window.visualViewport;
  if (!seen) return;
  const style = document.documentElement.style;
  style.setProperty('--vv-left', `${seen.offsetLeft}px`);
  style.setProperty('--vv-top', `${seen.offsetTop}px`);
  style.setProperty('--vv-width', `${seen.width}px`);
  style.setProperty('--vv-height', `${seen.height}px`);
  const field = document.activeElement;
  if (field?.matches('.cover input')) requestAnimationFrame(() => field.scrollIntoView({ block: 'nearest' }));
}
if (window.visualViewport) {
  visualViewport.addEventListener('resize', followSeen);
  visualViewport.addEventListener('scroll', followSeen);
  followSeen();
}

// ---- The phone's back button ----

// On a phone (or wherever a finger plays), each window open, and a target being
// chosen, is a step the back button takes back (as Esc does). One entry of the
// browser's history stands for them all while any is open, and is taken back once none
// is: the page's history stays as it was. With a mouse and keys, the browser's back
// button stays the browser's.
const backSteps = []; // what each step does, the last the topmost
let armed = false; // the page's entry is in the history
let leaving = false; // the page takes its entry back

// Gives the function that releases the step (the window closed some other way).
export function onBack(step) {
  if (!document.body.matches('.compact, .touch')) return () => {};
  const entry = { step };
  backSteps.push(entry);
  arm();
  return () => {
    const at = backSteps.indexOf(entry);
    if (at >= 0) backSteps.splice(at, 1);
    // After the work at hand: a window closed to open the next keeps the entry.
    if (!backSteps.length) setTimeout(disarm, 0);
  };
}
function arm() {
  if (armed || leaving) return;
  history.pushState({ velcor: 'back' }, '');
  armed = true;
}
function disarm() {
  if (backSteps.length || !armed || leaving) return;
  armed = false;
  leaving = true;
  history.back();
}
window.addEventListener('popstate', () => {
  if (leaving) leaving = false;
  else if (armed) {
    armed = false;
    backSteps[backSteps.length - 1]?.step();
  }
  if (backSteps.length) arm();
});
export function picturesReady(p) {
  pictures = p;
}
export const modalOpen = () => open.length > 0;
// The topmost window closed with a value, and its box (for the windows of other modules).
export const closeTop = (value) => open[open.length - 1]?.close(value);
export const topBox = () => open[open.length - 1]?.cover.firstChild;

// ---- Modal windows ----

// A window over the page, closed by calling the function it is given (with the result).
// The back button does what Esc does, unless the window closes by itself (back: false).
// A dialog keeps its title and buttons in sight: what lies between is its body, which
// scrolls when the screen is short.
// A window the player answers (focus: true) takes the keys' focus, keeps Tab within it
// while the page under it is out of reach, and gives the focus back to what had it when
// it closes (the page's own place for it when that has gone). A window that closes by
// itself (a message, a battle) leaves the focus where it is: what it shows is told as
// its outcome.
let nextWindow = 0;
function modal(build, { className = '', onKey = null, back = true, focus = true } = {}) {
  return new Promise((resolve) => {
    const box = element('div', { class: `window ${className}`, role: 'dialog', tabIndex: -1 });
    const cover = element('div', { class: 'cover' }, box);
    const entry = { cover, onKey, close: null, focus, opener: document.activeElement };
    const release = back ? onBack(() => onKey?.({ key: 'Escape', repeat: false, preventDefault() {} })) : () => {};
    entry.close = (value) => {
      if (!cover.isConnected) return;
      const focused = cover.contains(document.activeElement);
      cover.remove();
      open.splice(open.indexOf(entry), 1);
      reachable();
      if (focus || focused) giveFocusBack(entry.opener);
      release();
      resolve(value);
    };
    build(box, entry.close);
    if (box.classList.contains('dialog')) {
      const body = element('div', { class: 'body' }, ...[...box.children].filter((c) => !c.matches('.title, .buttons')));
      box.insertBefore(body, box.querySelector(':scope > .buttons'));
    }
    // Its name: its title, else its words.
    const label = box.querySelector('.title') ?? box.querySelector('.alert, .message-text');
    if (label) {
      label.id ||= `window-${++nextWindow}`;
      box.setAttribute('aria-labelledby', label.id);
    }
    if (focus) box.setAttribute('aria-modal', 'true');
    open.push(entry);
    $('overlay').append(cover);
    reachable();
    if (focus) (box.querySelector('[data-default]') ?? box).focus({ preventScroll: true });
  });
}

// The page under the topmost window the player answers is out of reach (and out of a
// screen reader's sight), and so are the windows under it.
function reachable() {
  const answering = open.filter((e) => e.focus);
  const top = answering[answering.length - 1];
  for (const id of ['menubar', 'stage']) $(id).inert = !!top;
  for (const e of open) e.cover.inert = !!top && e !== top && open.indexOf(e) < open.indexOf(top);
}

function giveFocusBack(opener) {
  if (opener?.isConnected && !opener.closest('[inert], [hidden]') && opener !== document.body) opener.focus({ preventScroll: true });
  else page.actions.focusHome();
}

// Tab and Shift+Tab go round the window's own controls.
function keepTab(event, box) {
  const controls = [...box.querySelectorAll('button, input, select, [tabindex="0"]')].filter((c) => !c.disabled && c.getClientRects().length);
  event.preventDefault();
  if (!controls.length) return box.focus();
  const at = controls.indexOf(document.activeElement);
  const next = event.shiftKey ? (at <= 0 ? controls.length - 1 : at - 1) : (at + 1) % controls.length;
  controls[next].focus();
}

// The keys go to the topmost window while one is open. True when taken.
export function handleKey(event) {
  const top = open[open.length - 1];
  if (!top) return false;
  if (event.key === 'Tab' && top.focus) {
    keepTab(event, top.cover.firstChild);
    return true;
  }
  if (top.onKey) top.onKey(event);
  return true;
}

function buttonRow(...buttons) {
  return element('div', { class: 'buttons' }, ...buttons);
}

export function alert(message) {
  return modal((box, close) => {
    box.append(element('p', { class: 'alert' }, message), buttonRow(element('button', { onclick: () => close(), 'data-default': '' }, 'OK')));
  }, {
    onKey: (e) => {
      if (e.key === 'Enter' || e.key === 'Escape') open[open.length - 1].close();
    },
  });
}

// A notice over the page that does not stop the game (an autosave that failed, a
// chronicle set aside, a new version): it stays until it is closed or another takes its
// place. action: {label, run}, a button beside the words.
export function notice(message, action = null) {
  let box = $('notice');
  if (!box) {
    box = element('div', { id: 'notice', class: 'notice', role: 'alert' });
    $('overlay').append(box);
  }
  box.replaceChildren(
    ...[
      element('span', {}, message),
      action ? element('button', { class: 'act', onclick: () => action.run() }, action.label) : null,
      element('button', { class: 'close', title: tr('WebPage', '閉じる'), onclick: () => box.remove() }, '×'),
    ].filter(Boolean),
  );
}

// A few words beside a button (why a command cannot be given, what it does), where a
// mouse would have shown its tooltip; the next touch anywhere closes them.
export function tip(anchor, words) {
  closeTip();
  const box = element('div', { id: 'tip', class: 'tip', role: 'tooltip' }, words);
  $('overlay').append(box);
  const at = anchor.getBoundingClientRect();
  const own = box.getBoundingClientRect();
  const seen = window.visualViewport ?? { offsetLeft: 0, offsetTop: 0, width: innerWidth, height: innerHeight };
  const within = (v, low, high) => Math.max(low, Math.min(v, high));
  let top = at.top - own.height - 6;
  if (top < seen.offsetTop + 4) top = at.bottom + 6;
  top = within(top, seen.offsetTop + 4, seen.offsetTop + seen.height - own.height - 4);
  const left = within(at.left + (at.width - own.width) / 2, seen.offsetLeft + 4, seen.offsetLeft + seen.width - own.width - 4);
  box.style.left = `${left}px`;
  box.style.top = `${top}px`;
}
function closeTip() {
  $('tip')?.remove();
}

// The bar shown while a target is chosen by touch (null: none): what is chosen, 決定
// and ｷｬﾝｾﾙ.
export function choiceBar(state) {
  const bar = $('choice-bar');
  bar.hidden = !state;
  if (!state) return;
  if (!bar.firstChild) {
    bar.append(
      element('div', { class: 'words' }),
      element('button', { id: 'choice-ok', onclick: () => page.actions.confirmChoice() }),
      element('button', { id: 'choice-cancel', onclick: () => page.actions.cancelChoice() }),
    );
  }
  const [words, ok, cancel] = bar.children;
  words.textContent = state.words;
  ok.textContent = tr('CMoveDlg', '決定');
  ok.disabled = !state.chosen;
  cancel.textContent = tr('CMoveDlg', 'ｷｬﾝｾﾙ');
}

// The self-closing message window; a click closes it at once.
export function messageWindow(message, ms) {
  return modal(
    (box, close) => {
      box.append(element('div', { class: 'message-text' }, message));
      box.addEventListener('pointerdown', () => close());
      setTimeout(() => close(), ms);
    },
    { className: 'message', onKey: () => {}, back: false, focus: false },
  );
}

// ---- The battle window ----

// Shows the battle's steps at the pace; Enter, Esc or a click shows its end at once,
// held a moment, and any key or click then closes it. The battle was fought to its
// end before the first step: the pace changes what is seen, never what happened.
export function battleWindow(show, stepMs) {
  let index = 0;
  let holding = false;
  let timer = 0;
  let fields = null;
  const steps = show.steps;
  const update = () => {
    const s = steps[index];
    fields.attackerLine.textContent = tr('Message', s.attackerLine);
    fields.targetLine.textContent = tr('Message', s.targetLine);
    fields.attackerCount.textContent = String(s.attackerSoldiers);
    fields.targetCount.textContent = String(s.targetSoldiers);
    fields.attackerTraining.textContent = arg(tr('CBattleDlg', '訓練 %1'), s.attackerTraining);
    fields.targetTraining.textContent = arg(tr('CBattleDlg', '訓練 %1'), s.targetTraining);
  };
  return modal(
    (box, close) => {
      const side = (which, country, name, ruler) => {
        const f = {
          line: element('div', { class: 'line' }),
          count: element('div', { class: 'count' }),
          training: element('div', { class: 'training' }),
        };
        const portrait = pictures.portraits[ruler]?.cloneNode() ?? element('div');
        portrait.classList.add('portrait');
        const panel = element(
          'div',
          { class: `side ${which}` },
          portrait,
          element(
            'div',
            { class: 'figures' },
            element('div', { class: 'label' }, tr('CBattleDlg', which === 'attacker' ? '攻撃側' : '守備側')),
            element('div', { class: 'who' }, `${country} ${text(name)}`, element('br'), rulerName(ruler)),
            f.line,
            element('div', { class: 'label' }, tr('CBattleDlg', '兵士数')),
            f.count,
            f.training,
          ),
        );
        return { panel, f };
      };
      const a = side('attacker', show.attacker, show.attackerName, show.attackerRuler);
      const t = side('target', show.target, show.targetName, show.targetRuler);
      fields = {
        attackerLine: a.f.line,
        targetLine: t.f.line,
        attackerCount: a.f.count,
        targetCount: t.f.count,
        attackerTraining: a.f.training,
        targetTraining: t.f.training,
      };
      box.append(element('div', { class: 'title' }, tr('CBattleDlg', '戦争')), element('div', { class: 'sides' }, a.panel, t.panel));
      update();
      const tick = () => {
        if (index + 1 >= steps.length) return close();
        index++;
        update();
        timer = setTimeout(tick, stepMs);
      };
      timer = setTimeout(tick, stepMs);
      box.finish = () => {
        if (holding) return close();
        clearTimeout(timer);
        index = steps.length - 1;
        update();
        holding = true;
        box.classList.add('holding');
        timer = setTimeout(() => close(), Math.min(stepMs, page.game.rules.battleStepMs));
      };
      box.addEventListener('pointerdown', () => box.finish());
      box.closeBattle = close;
    },
    {
      className: 'battle',
      focus: false,
      onKey: (e) => {
        if (e.repeat) return;
        const box = open[open.length - 1].cover.firstChild;
        if (e.key === 'Enter' || e.key === 'Escape' || box.classList.contains('holding')) box.finish();
      },
    },
  ).finally(() => clearTimeout(timer));
}

// The battle's rounds as words, a line for each step that changes what the window shows:
// each side's soldiers and what it cries.
export function battleRounds(show) {
  const side = (label, soldiers, line) => [tr('CBattleDlg', label), soldiers, line ? tr('Message', line) : ''].filter((w) => w !== '').join(' ');
  const steps = show.steps.map((s) => `${side('攻撃側', s.attackerSoldiers, s.attackerLine)} / ${side('守備側', s.targetSoldiers, s.targetLine)}`);
  const head = `${show.attacker} ${text(show.attackerName)} → ${show.target} ${text(show.targetName)}`;
  return [head, ...steps.filter((line, i) => line !== steps[i - 1])].join('\n');
}

// ---- The move dialog ----

export function moveDialog(title, most) {
  const rows = [
    ['soldiers', '兵士'],
    ['provisions', '兵糧'],
    ['funds', '資金'],
  ];
  return modal(
    (box, close) => {
      const inputs = {};
      const form = element('form', { class: 'move' });
      for (const [key, label] of rows) {
        inputs[key] = element('input', { type: 'number', min: '0', max: String(most[key]), value: '0', name: key, inputMode: 'numeric' });
        form.append(element('label', {}, element('span', {}, tr('CMoveDlg', label)), inputs[key], element('span', { class: 'most' }, `/ ${most[key]}`)));
      }
      const problem = element('p', { class: 'problem' });
      const ok = () => {
        const amounts = {};
        for (const [key, label] of rows) {
          const v = inputs[key].value.trim();
          const n = /^\d+$/.test(v) ? Number(v) : NaN;
          if (!(n >= 0 && n <= most[key])) {
            problem.textContent = arg(tr('CMoveDlg', '%1は 0 から %2 までの数を入力してください。'), tr('CMoveDlg', label), most[key]);
            inputs[key].focus();
            return;
          }
          amounts[key] = n;
        }
        close(amounts);
      };
      form.addEventListener('submit', (e) => {
        e.preventDefault();
        ok();
      });
      box.append(
        element('div', { class: 'title' }, title || tr('CMoveDlg', '移動')),
        form,
        problem,
        buttonRow(
          element('button', { id: 'move-ok', onclick: ok, 'data-default': '' }, tr('CMoveDlg', '決定')),
          element('button', { id: 'move-cancel', onclick: () => close(null) }, tr('CMoveDlg', 'ｷｬﾝｾﾙ')),
        ),
      );
      box.ok = ok;
      setTimeout(() => inputs.soldiers.select(), 0);
    },
    {
      className: 'dialog',
      onKey: (e) => {
        const top = open[open.length - 1];
        if (e.key === 'Escape') top.close(null);
        else if (e.key === 'Enter') {
          e.preventDefault();
          top.cover.firstChild.ok();
        }
      },
    },
  );
}

// ---- A new game: scenario, ruler, difficulty ----

const kScenarioNames = ['189年 12月    群雄割拠', '200年 4月    官渡の戦い', '219年 5月    三国鼎立'];
const scenarioName = (i) => tr('CScenarioDlg', kScenarioNames[i]) ?? String(i + 1);
const kDifficulties = ['易しい', '普通', '難しい', '達人'];
const difficultyName = (d) => tr('summary', kDifficulties[d]);

export function newGameDialog(scenarios, difficulty) {
  // Where the seats of several players will go, once the game has them: each ruler
  // played by a person or by the computer at a level of its own.
  const state = { scenario: 0, ruler: -1, difficulty };
  return modal(
    (box, close) => {
      // Each group of choices named by its heading.
      const scenarioList = element('div', { class: 'choices', role: 'radiogroup', 'aria-labelledby': 'new-game-scenarios' });
      const rulerList = element('div', { class: 'choices rulers', role: 'radiogroup', 'aria-labelledby': 'new-game-rulers' });
      const difficultyList = element('div', { class: 'choices', role: 'radiogroup', 'aria-labelledby': 'new-game-difficulties' });
      const problem = element('p', { class: 'problem' });
      const radio = (list, label, selected, onpick, id) => {
        const b = element('button', { type: 'button', class: selected ? 'choice selected' : 'choice', role: 'radio', id, onclick: onpick }, ...label);
        b.setAttribute('aria-checked', String(selected));
        list.append(b);
      };
      const fill = () => {
        scenarioList.replaceChildren();
        scenarios.forEach((s, i) =>
          radio(scenarioList, [`${i + 1}  ${s.label ?? scenarioName(i)}`], state.scenario === i, () => {
            state.scenario = i;
            state.ruler = -1;
            fill();
          }, `scenario-${i + 1}`),
        );
        rulerList.replaceChildren();
        scenarios[state.scenario].rulers.forEach((r, i) => {
          const portrait = pictures.portraits[r]?.cloneNode() ?? null;
          portrait?.classList.add('small-portrait');
          radio(rulerList, [portrait, element('span', {}, `${i + 1} ${rulerName(r)}`)], state.ruler === i, () => {
            state.ruler = i;
            fill();
          }, `ruler-${r}`);
        });
        difficultyList.replaceChildren();
        kDifficulties.forEach((_, d) =>
          radio(difficultyList, [difficultyName(d)], state.difficulty === d, () => {
            state.difficulty = d;
            fill();
          }, `difficulty-${d}`),
        );
      };
      fill();
      // 乱世 from a seed, or the player's own scenario from its two files: the list's
      // last scenario, chosen.
      const made = (scenario) => {
        if (!scenario) return;
        scenarios[3] = scenario;
        state.scenario = 3;
        state.ruler = -1;
        fill();
      };
      const seed = element('input', { type: 'text', inputMode: 'numeric', id: 'random-seed', size: 10, value: String(Math.floor(Math.random() * 100000)) });
      const ownFiles = element('input', { type: 'file', id: 'own-scenario-files', multiple: true, hidden: true, accept: '.txt,text/plain' });
      ownFiles.addEventListener('change', async () => {
        const files = [...ownFiles.files];
        ownFiles.value = '';
        made(await page.actions.ownScenario(files));
      });
      const more = element(
        'div',
        { class: 'choices scenario-more' },
        element('button', { type: 'button', id: 'random-scenario', title: tr('CScenarioDlg', '種から作り、どの君主にも勝ち目があるように整えたｼﾅﾘｵ。同じ種からは同じｼﾅﾘｵができます'), onclick: async () => made(await page.actions.randomScenario(seed.value)) }, tr('CScenarioDlg', '乱世')),
        element('label', { for: seed.id }, tr('CScenarioDlg', '種')),
        seed,
        element('button', { type: 'button', id: 'own-scenario', onclick: () => ownFiles.click() }, tr('CScenarioDlg', '自作ｼﾅﾘｵ')),
        ownFiles,
      );
      const ok = () => {
        const rulers = scenarios[state.scenario].rulers;
        if (state.ruler < 0 || state.ruler >= rulers.length) {
          problem.textContent = tr('CRulerDlg', '君主を選択してください');
          return;
        }
        close({ scenario: state.scenario + 1, ruler: rulers[state.ruler], difficulty: state.difficulty });
      };
      // 対戦設定: who plays each ruler; its 開始 starts the game.
      const seats = async () => {
        const rulers = scenarios[state.scenario].rulers;
        const seated = await page.actions.chooseSeats(rulers, rulers[state.ruler] ?? 0, state.difficulty);
        if (seated) close({ scenario: state.scenario + 1, difficulty: state.difficulty, ...seated });
      };
      box.ok = ok;
      box.pick = (n) => {
        const rulers = scenarios[state.scenario].rulers;
        if (n >= 1 && n <= rulers.length) state.ruler = n - 1;
        fill();
      };
      box.step = (d) => {
        const rulers = scenarios[state.scenario].rulers;
        state.ruler = (state.ruler + d + rulers.length) % rulers.length;
        fill();
      };
      box.append(
        element('div', { class: 'title' }, menuText(tr('CMainFrame', 'ｹﾞｰﾑ開始(&N)'))),
        element('h3', { id: 'new-game-scenarios' }, tr('CScenarioDlg', 'ｼﾅﾘｵを選択してください')),
        scenarioList,
        more,
        element('h3', { id: 'new-game-rulers' }, tr('CRulerDlg', 'プレイする君主を選択してください')),
        rulerList,
        element('h3', { id: 'new-game-difficulties' }, menuText(tr('DifficultyMenu', '難易度(&D)'))),
        difficultyList,
        problem,
        buttonRow(
          element('button', { id: 'new-game-seats', title: tr('CRulerDlg', '2人から4人で交代にﾌﾟﾚｲする、COM 同士の戦いを観戦する、COM ごとに強さを決める'), onclick: seats }, tr('CRulerDlg', '対戦設定...')),
          element('button', { id: 'new-game-ok', onclick: ok, 'data-default': '' }, tr('CRulerDlg', '選択')),
          element('button', { onclick: () => close(null) }, tr('CRulerDlg', 'ｷｬﾝｾﾙ')),
        ),
      );
    },
    {
      className: 'dialog new-game',
      onKey: (e) => {
        const top = open[open.length - 1];
        const box = top.cover.firstChild;
        if (e.key === 'Escape') top.close(null);
        else if (e.key === 'Enter') box.ok();
        else if (e.key === 'ArrowDown') box.step(1);
        else if (e.key === 'ArrowUp') box.step(-1);
        else if (/^[1-9]$/.test(e.key)) box.pick(Number(e.key));
      },
    },
  );
}

// ---- Saves ----

// A save, its record and its chronicle, as the desktop names them beside each other, and
// a bundle of them all.
const kFileTypes = '.txt,.record,.jsonl,.velcor,text/plain';

export function saveLabel(entry) {
  return arg(tr('AutosaveStore', '%1 年 %2 月 %3'), entry.year, entry.month, rulerName(entry.player));
}

// The saves kept in the browser, the autosaves, and files of the player's own. Gives
// the entry chosen, {files} for files, or null.
export function loadDialog(saves, autosaves) {
  return modal(
    (box, close) => {
      const list = (entries, prefix) => {
        if (!entries.length) return element('p', { class: 'empty' }, tr('WebPage', 'ｾｰﾌﾞがありません'));
        return element(
          'div',
          { class: 'choices' },
          ...entries.map((entry, i) =>
            element('button', { type: 'button', class: 'choice', id: `${prefix}-${i}`, onclick: () => close(entry) }, `${saveLabel(entry)}  ${new Date(entry.time).toLocaleString(getLanguage())}`),
          ),
        );
      };
      const files = element('input', { type: 'file', id: 'open-files', multiple: true, accept: kFileTypes });
      files.addEventListener('change', () => files.files.length && close({ files: files.files }));
      box.append(
        element('div', { class: 'title' }, menuText(tr('CMainFrame', 'ﾛｰﾄﾞ(&L)'))),
        element('h3', {}, tr('CommandTable', 'ｾｰﾌﾞ')),
        list(saves, 'save'),
        element('h3', {}, menuText(tr('GameHistory', '自動ｾｰﾌﾞから再開(&A)'))),
        list(autosaves, 'autosave'),
        element('h3', {}, menuText(tr('WebPage', 'ﾌｧｲﾙを開く(&O)...'))),
        files,
        buttonRow(element('button', { onclick: () => close(null), 'data-default': '' }, tr('CMoveDlg', 'ｷｬﾝｾﾙ'))),
      );
    },
    {
      className: 'dialog',
      onKey: (e) => e.key === 'Escape' && open[open.length - 1].close(null),
    },
  );
}

// ---- The start panel ----

export function openStartPanel() {
  const panel = $('start-panel');
  panel.replaceChildren();
  const latest = page.store.list('autosaves')[0];
  panel.append(
    ...[
    element('button', { id: 'start-new', onclick: () => page.actions.newGame() }, tr('StartPanel', 'ｹﾞｰﾑ開始')),
    latest ? element('button', { id: 'start-resume', onclick: () => page.actions.resume() }, arg(tr('StartPanel', '自動ｾｰﾌﾞから再開  %1'), saveLabel(latest))) : null,
    element('button', { id: 'start-load', onclick: () => page.actions.loadGame() }, tr('StartPanel', 'ﾛｰﾄﾞ')),
    ].filter(Boolean),
  );
  panel.hidden = false;
}
export function closeStartPanel() {
  $('start-panel').hidden = true;
}

// ---- The turn report and the chronicle ----

const ruler = (id) => rulerName(id);
const country = (e, id, name) => countryName(id, name);

// One event in the chronicle's words; '' for those it does not tell.
export function eventText(e) {
  const c = (field) => country(e, e[field], e[`${field}_name`]);
  switch (e.kind) {
    case 'start':
      return e.loaded ? arg(tr('chronicle', 'ﾛｰﾄﾞしました (%1)'), ruler(e.player)) : arg(tr('chronicle', '%1 としてｹﾞｰﾑを開始しました'), ruler(e.player));
    case 'command': {
      const who = arg(tr('chronicle', '%1 は %2 で'), ruler(e.ruler), c('country'));
      const what = {
        develop_land: () => tr('chronicle', '開墾しました (開墾 %1)'),
        develop_commerce: () => tr('chronicle', '商業を発展させました (商業 %1)'),
        conscript: () => tr('chronicle', '徴兵しました (兵士 %1)'),
        train: () => tr('chronicle', '訓練しました (訓練 %1)'),
      }[e.command];
      return who + arg(what(), e.value);
    }
    case 'move':
      return arg(tr('chronicle', '%1 は %2 から %3 へ物資を移動しました (兵士 %4 兵糧 %5 資金 %6)'), ruler(e.ruler), c('country'), c('destination'), e.soldiers, e.provisions, e.funds);
    case 'battle': {
      if (e.outcome === 'taken' && e.target_before === e.target_after)
        return arg(tr('chronicle', '%1 は %2 から兵を進め、戦わずに %3 を占領しました'), ruler(e.attacker_ruler), c('attacker'), c('target'));
      const attack = arg(tr('chronicle', '%1 が %2 から %3 に攻め込み'), ruler(e.attacker_ruler), c('attacker'), c('target'));
      const armies = arg(tr('chronicle', ' (兵士 %1→%2 / %3→%4)'), e.attacker_before, e.attacker_after, e.target_before, e.target_after);
      if (e.outcome === 'taken') return attack + tr('chronicle', '、占領しました') + armies;
      if (e.outcome === 'repelled') return attack + tr('chronicle', 'ましたが、撃退されました') + armies;
      return attack + arg(tr('chronicle', 'ましたが、%1 回の攻防で攻め落とせず退きました'), e.player ? page.game.rules.exchanges : 3) + armies;
    }
    case 'fall':
      return arg(tr('chronicle', '%1 は滅亡しました'), ruler(e.ruler));
    case 'harvest':
      return arg(tr('chronicle', '%1 の収穫: 兵糧 +%2'), ruler(e.ruler), e.provisions);
    case 'taxes':
      return arg(tr('chronicle', '%1 の税収: 資金 +%2'), ruler(e.ruler), e.funds);
    case 'victory':
      return tr('chronicle', '中国全土を統一しました');
    case 'game_over':
      return tr('chronicle', 'ゲームオーバーです');
    default:
      return '';
  }
}
// Whether an event concerns the player's own countries or him.
export function mine(e) {
  const player = page.game.view?.player;
  if (e.kind === 'start') return true;
  return [e.ruler, e.by, e.attacker_ruler, e.target_ruler].includes(player);
}
export const warlike = (e) => e.kind === 'battle' || e.kind === 'fall';

function eventLines(events, filter = () => true) {
  const lines = [];
  let month = '';
  for (const e of events) {
    if (!filter(e)) continue;
    const t = eventText(e);
    if (!t) continue;
    const heading = arg(tr('chronicle', '%1 年 %2 月'), e.year, e.month);
    if (heading !== month) {
      lines.push(element('div', { class: 'month' }, heading));
      month = heading;
    }
    // The event kept by its line: the chronicle's この時点から再開 reads it.
    lines.push(Object.assign(element('div', { class: 'event' }, tr('chronicle', '・') + t), { event: e }));
  }
  return lines;
}

export function turnReport(events) {
  const lines = eventLines(events);
  if (!lines.length) return Promise.resolve();
  return modal(
    (box, close) => {
      const show = element('input', { type: 'checkbox', checked: page.settings.report !== false });
      show.addEventListener('change', () => page.actions.setReport(show.checked));
      box.append(
        element('div', { class: 'title' }, tr('chronicle', '戦況報告')),
        element('h3', {}, tr('chronicle', '前回の手番からの出来事')),
        element('div', { class: 'events', id: 'report-events' }, ...lines),
        element('label', { class: 'check' }, show, tr('chronicle', '毎手番表示する')),
        buttonRow(element('button', { id: 'report-close', onclick: () => close(), 'data-default': '' }, tr('WebPage', '閉じる'))),
      );
      box.setAttribute('aria-describedby', 'report-events');
    },
    {
      className: 'dialog report',
      onKey: (e) => (e.key === 'Enter' || e.key === 'Escape') && open[open.length - 1].close(),
    },
  );
}

let chronicleFilter = 'all';
export function toggleChronicle(show) {
  const panel = $('chronicle');
  panel.hidden = show === undefined ? !panel.hidden : !show;
  chronicleChanged();
  page.actions.relayout();
}
export function chronicleChanged() {
  const panel = $('chronicle');
  if (panel.hidden) return;
  // What had the keys' focus in the panel has it again once the panel is filled anew.
  const focused = panel.contains(document.activeElement) ? document.activeElement.id : '';
  const filters = { all: () => true, war: warlike, mine };
  const select = element(
    'select',
    { id: 'chronicle-filter' },
    ...[
      ['all', () => tr('chronicle', 'すべて')],
      ['war', () => tr('chronicle', '戦争と占領')],
      ['mine', () => tr('chronicle', '自国に関すること')],
    ].map(([v, label]) => element('option', { value: v, selected: v === chronicleFilter }, label())),
  );
  select.addEventListener('change', () => {
    chronicleFilter = select.value;
    chronicleChanged();
  });
  const list = element('div', { class: 'events' }, ...eventLines(page.game.chronicle, filters[chronicleFilter]));
  panel.replaceChildren(
    element('div', { class: 'title' }, tr('chronicle', '戦況記録'), element('button', { class: 'close', title: tr('WebPage', '閉じる'), onclick: () => toggleChronicle(false) }, '×')),
    ...views.chronicleBody(() => [select, list]),
  );
  list.scrollTop = list.scrollHeight;
  if (focused) $(focused)?.focus({ preventScroll: true });
}
// ---- Advice ----

function commandWords(command) {
  const view = page.game.view;
  let words = `${command.key} ${commandCaption(command.key)}`;
  if (command.target >= 0) words += ` ${command.target} ${countryName(command.target, view.countries[command.target].name.t)}`;
  if (command.key === 'M') words += arg(tr('ForesightWords', ' (兵士 %1 兵糧 %2 資金 %3)'), command.soldiers, command.provisions, command.funds);
  return words;
}

// The advice is a panel beside the map (under the commands on a phone), never over
// them: shown until it is closed, and asked again at each of the player's turns.
// advice: {turn, ranking, ...} as the page has it, or {words} when there is none to give.
export function adviceWindow(advice) {
  const panel = $('advice');
  const view = page.game.view;
  const content = () => {
    if (advice.words) return [element('p', {}, advice.words)];
    const turn = advice.turn;
    const heading = arg(
      tr('AdviceWindow', '%1 %2 の番: 各命令を %3 か月先まで %4 / %5 回試しました%6'),
      turn,
      countryName(turn, view.countries[turn].name.t),
      advice.horizon ?? 24,
      advice.trials,
      advice.total ?? 256,
      advice.thinking ? tr('AdviceWindow', ' (考え中)') : '',
    );
    const rows = advice.ranking.map((r, i) =>
      element('tr', { class: i === 0 ? 'best' : '' }, element('td', {}, commandWords(r.command), element('div', { class: 'why' }, r.why ? text(r.why) : '')), element('td', {}, r.score.toFixed(2)), element('td', {}, String(r.trials))),
    );
    return [
      element('p', {}, heading),
      element(
        'table',
        { class: 'advice' },
        element(
          'tr',
          {},
          element('th', {}, tr('AdviceWindow', '命令 (その下に理由)')),
          element('th', { title: arg(tr('AdviceWindow', '評価 = 各月の平均国数 − %1 × 国を失った試行の割合\n評価の高い順。同点は終わりの兵力 (兵士×訓練) の大きい順、それも同じなら一覧の順'), advice.penalty ?? 4) }, tr('AdviceWindow', '評価')),
          element('th', {}, tr('AdviceWindow', '試行')),
        ),
        ...rows,
      ),
    ];
  };
  panel.replaceChildren(
    element('div', { class: 'title' }, tr('AdviceWindow', '助言'), element('button', { class: 'close', id: 'advice-close', title: tr('WebPage', '閉じる'), onclick: closeAdvice }, '×')),
    element('div', { class: 'body advice-window' }, ...content()),
  );
  shownAdvice = advice;
  if (panel.hidden) {
    panel.hidden = false;
    page.actions.relayout();
    panel.scrollIntoView({ block: 'nearest' });
  }
}
let shownAdvice = null;
export const adviceShown = () => !$('advice').hidden;
function closeAdvice() {
  $('advice').hidden = true;
  shownAdvice = null;
  page.actions.relayout();
}

// ---- The end: 戦績 ----

export function summaryWindow(s, game) {
  const date = (y, m) => arg(tr('StatusPanel', '%1 年 %2 月'), y, m);
  const played = s.startYear
    ? arg(tr('GameSummaryWindow', '%1から%2まで (%3か月)'), date(s.startYear, s.startMonth), date(s.endYear, s.endMonth), s.months)
    : arg(tr('GameSummaryWindow', '%1まで (%2か月)'), date(s.endYear, s.endMonth), s.months);
  const rows = [
    [tr('GameSummaryWindow', '君主'), rulerName(s.ruler)],
    [tr('GameSummaryWindow', '難易度'), difficultyName(s.difficulty)],
    [tr('GameSummaryWindow', '期間'), played],
    [tr('GameSummaryWindow', '攻撃'), arg(tr('GameSummaryWindow', '%1勝 %2敗'), s.attacksWon, s.attacksLost)],
    [tr('GameSummaryWindow', '防衛'), arg(tr('GameSummaryWindow', '%1勝 %2敗'), s.defencesWon, s.defencesLost)],
    [tr('GameSummaryWindow', '奪った国'), arg(tr('GameSummaryWindow', '%1か国'), s.countriesTaken)],
    [tr('GameSummaryWindow', '失った国'), arg(tr('GameSummaryWindow', '%1か国'), s.countriesLost)],
    [tr('GameSummaryWindow', '最大勢力'), arg(tr('GameSummaryWindow', '%1か国 (%2)'), s.mostHeld, date(s.mostYear, s.mostMonth))],
    [tr('GameSummaryWindow', '得点'), String(s.score)],
  ];
  return modal(
    (box, close) => {
      const chart = element('canvas', { class: 'chart', width: 480, height: 160 });
      views.drawHoldings(chart, s.history, game);
      box.append(
        element('div', { class: 'title' }, tr('GameSummaryWindow', '戦績')),
        element('table', { class: 'summary' }, ...rows.map(([k, v]) => element('tr', {}, element('th', {}, k), element('td', {}, v)))),
        chart,
        buttonRow(element('button', { id: 'summary-close', onclick: () => close(), 'data-default': '' }, tr('WebPage', '閉じる'))),
      );
    },
    {
      className: 'dialog summary-window',
      onKey: (e) => (e.key === 'Enter' || e.key === 'Escape') && open[open.length - 1].close(),
    },
  );
}

// ---- The keys ----

export function keysWindow() {
  const rows = [
    ['M W L C S T R', [...'MWLCSTR'].map(commandCaption).join(' ')],
    ['← ↑ → ↓ / Tab / Shift+Tab', tr('CommandTable', '移動先・攻撃先を選ぶ (選んだ国は地図に囲みで示されます)')],
    ['Enter', tr('CommandTable', '選んだ国に決める')],
    [tr('CommandTable', 'Esc / 右クリック'), tr('CommandTable', '移動先・攻撃先の選択を取り消す')],
    [tr('CommandTable', '↑ ↓ / 1〜9'), tr('CommandTable', 'シナリオ選択・君主選択で選び、Enter で決める')],
    ['Ctrl+N', tr('CommandTable', 'ｹﾞｰﾑ開始')],
    ['Ctrl+S', tr('CommandTable', 'ｾｰﾌﾞ')],
    ['Ctrl+O', tr('CommandTable', 'ﾛｰﾄﾞ')],
    ['F3', tr('CommandTable', '戦況記録を開く・閉じる')],
    ['F2', tr('WebPage', '国の一覧へ移る')],
    ['F4', tr('CommandTable', '自国一覧を開く・閉じる')],
    ['F8', tr('WebPage', '最後のお知らせを繰り返す')],
    ['F9', tr('WebPage', '最後の戦いの経過を聞く')],
    ['A', tr('CommandTable', '助言: この国で出せる命令を先読みして順位をつける')],
    ['Shift+R', tr('CommandTable', '残りを休養: この月に残った自国をすべて休養させる (次の人の番で止まる)')],
    ['Pause', tr('CommandTable', '観戦・再生を一時停止する・続ける')],
    ['.', tr('CommandTable', '一時停止中: 1か月 (再生は1手) 進める')],
    ['F1', tr('CommandTable', '操作方法 (この画面)')],
    ['Enter / Esc', tr('CommandTable', '戦闘画面: 戦いを終わりまで一度に進める\n結果が出た後は、どのキーでも閉じる')],
  ];
  // Without a mouse, the fingers' ways first.
  if (page.game.touch)
    rows.unshift(
      [pageWord('ﾀｯﾌﾟ'), pageWord('国を選ぶ・命令を出す (使えない命令はその理由を示す)')],
      [pageWord('長押し'), pageWord('命令の説明を示す')],
      [pageWord('2本指で広げる・狭める'), pageWord('地図の拡大・縮小')],
      [pageWord('戻る'), pageWord('開いている画面を閉じる・選択を取り消す')],
    );
  return modal(
    (box, close) => {
      box.append(
        element('div', { class: 'title' }, tr('KeysDialog', '操作方法')),
        element('table', { class: 'keys' }, ...rows.map(([k, v]) => element('tr', {}, element('th', {}, k), element('td', {}, v)))),
        buttonRow(element('button', { onclick: () => close(), 'data-default': '' }, tr('WebPage', '閉じる'))),
      );
    },
    { className: 'dialog', onKey: (e) => (e.key === 'Enter' || e.key === 'Escape' || e.key === 'F1') && open[open.length - 1].close() },
  );
}

// ---- The menus ----

function buildMenus() {
  const bar = $('menubar');
  bar.replaceChildren();
  const { actions, settings } = page;
  const item = (id, label, run, { shortcut = '', checked = null, enabled = () => true, shown = null } = {}) => ({ id, label, run, shortcut, checked, enabled, shown });
  const menus = [
    {
      id: 'menu-file',
      label: () => tr('CMainFrame', 'ﾌｧｲﾙ(&F)'),
      items: [
        item('menu-new', () => tr('CMainFrame', 'ｹﾞｰﾑ開始(&N)'), actions.newGame, { shortcut: 'Ctrl+N', enabled: () => !page.game.busy && !page.game.joined }),
        item('menu-save', () => tr('CMainFrame', 'ｾｰﾌﾞ(&S)'), actions.saveGame, { shortcut: 'Ctrl+S', enabled: actions.canSave }),
        item('menu-load', () => tr('CMainFrame', 'ﾛｰﾄﾞ(&L)'), actions.loadGame, { shortcut: 'Ctrl+O', enabled: () => !page.game.busy && !page.game.joined }),
        item('menu-resume', () => tr('GameHistory', '自動ｾｰﾌﾞから再開(&A)'), actions.resume, { enabled: () => !page.game.busy && page.store.list('autosaves').length > 0 }),
        item('menu-download', () => tr('WebPage', 'ｾｰﾌﾞをﾀﾞｳﾝﾛｰﾄﾞ(&D)'), () => actions.downloadGame(false), { enabled: actions.canSave }),
        item('menu-download-record', () => tr('WebPage', '記録をﾀﾞｳﾝﾛｰﾄﾞ(&R)'), () => actions.downloadGame(true), { enabled: actions.canSave }),
        item('menu-download-bundle', () => tr('WebPage', 'ﾊﾞﾝﾄﾞﾙをﾀﾞｳﾝﾛｰﾄﾞ(&B)'), actions.downloadBundle, { enabled: actions.canSave }),
        item('menu-open', () => tr('WebPage', 'ﾌｧｲﾙを開く(&O)...'), () => $('menu-files').click(), { enabled: () => !page.game.busy }),
      ],
    },
    {
      id: 'menu-view',
      label: () => tr('CMainFrame', '表示(&V)'),
      items: [
        item('menu-ja', () => `${menuText(tr('Language', '言語(&G)'))}: 日本語`, () => actions.setLanguage('ja'), { checked: () => getLanguage() === 'ja' }),
        item('menu-en', () => `${menuText(tr('Language', '言語(&G)'))}: English`, () => actions.setLanguage('en'), { checked: () => getLanguage() === 'en' }),
        ...['標準(&N)', '速い(&F)', '最速(&M)'].map((label, speed) =>
          item(`menu-speed-${speed}`, () => `${menuText(tr('ViewOptions', '速度(&S)'))}: ${menuText(speedLabel(speed))}`, () => actions.setSpeed(speed), { checked: () => (settings.speed ?? 0) === speed }),
        ),
        item('menu-patterns', () => tr('ViewOptions', '模様で区別(&P)'), () => actions.setPatterns(!settings.patterns), { checked: () => !!settings.patterns }),
        item('menu-contrast', () => tr('WebPage', 'ﾊｲｺﾝﾄﾗｽﾄ(&H)'), () => actions.setContrast(!actions.contrast()), { checked: actions.contrast }),
        item('menu-chronicle', () => tr('Chronicle', '戦況記録(&C)'), () => toggleChronicle(), { shortcut: 'F3', checked: () => !$('chronicle').hidden }),
        item('menu-own', () => tr('ViewOptions', '自国一覧(&O)'), () => views.toggleOwn(), { shortcut: 'F4', checked: views.ownOpen }),
        item('menu-battles', () => tr('ViewOptions', '先月の戦い(&B)'), () => actions.setBattleArrows(!settings.battleArrows), { checked: () => !!settings.battleArrows }),
        item('menu-advice', () => tr('AdviceWindow', '助言(&A)...'), actions.advise, { shortcut: 'A', enabled: () => page.game.described.stage === 'command' }),
      ],
    },
    {
      id: 'menu-help',
      label: () => tr('CMainFrame', 'ﾍﾙﾌﾟ(&H)'),
      items: [item('menu-keys', () => tr('CMainFrame', '操作方法(&K)...'), keysWindow, { shortcut: 'F1' })],
    },
  ];
  page.actions.extendMenus?.(menus, item);
  const files = element('input', { type: 'file', id: 'menu-files', multiple: true, hidden: true, accept: kFileTypes });
  files.addEventListener('change', () => {
    if (files.files.length) actions.openFiles(files.files);
    files.value = '';
  });
  bar.append(files);
  for (const menu of menus) {
    const list = element('div', { class: 'menu-items', id: `${menu.id}-items`, hidden: true });
    // Opened by the keys, the menu takes the focus to its first item.
    const head = element('button', { class: 'menu', id: menu.id, 'aria-expanded': 'false', 'aria-controls': list.id, onclick: (e) => toggleMenu(list, e.detail === 0) });
    head.menu = menu;
    bar.append(element('div', { class: 'menu-holder' }, head, list));
    for (const it of menu.items) {
      const b = element('button', {
        class: 'menu-item',
        id: it.id,
        onclick: () => {
          closeMenus();
          head.focus();
          it.run();
        },
      });
      if (it.shortcut) b.setAttribute('aria-keyshortcuts', it.shortcut.replace('Ctrl', 'Control'));
      b.item = it;
      list.append(b);
    }
  }
  bar.addEventListener('keydown', menuKey);
  bar.addEventListener('focusout', (e) => !bar.contains(e.relatedTarget) && closeMenus());
  updateMenus();
}

// In an open menu the arrows go along its items and Esc closes it, back on its head.
function menuKey(event) {
  const list = event.target.closest('.menu-holder')?.querySelector('.menu-items');
  if (!list || list.hidden) return;
  const items = [...list.querySelectorAll('.menu-item:not(:disabled):not([hidden])')];
  const at = items.indexOf(event.target);
  if (event.key === 'Escape') {
    closeMenus();
    list.previousElementSibling.focus();
  } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
    const step = event.key === 'ArrowDown' ? 1 : -1;
    items[(at + step + items.length + (at < 0 && step < 0 ? 1 : 0)) % items.length]?.focus();
  } else {
    return;
  }
  event.preventDefault();
  event.stopPropagation();
}

function speedLabel(speed) {
  return speed === 0 ? tr('ViewOptions', '標準(&N)') : speed === 1 ? tr('ViewOptions', '速い(&F)') : tr('ViewOptions', '最速(&M)');
}

function toggleMenu(list, byKeys) {
  const wasHidden = list.hidden;
  closeMenus();
  list.hidden = !wasHidden;
  list.previousElementSibling.setAttribute('aria-expanded', String(!list.hidden));
  if (list.hidden) return;
  updateMenus();
  if (byKeys) list.querySelector('.menu-item:not(:disabled):not([hidden])')?.focus();
}
function closeMenus() {
  for (const l of document.querySelectorAll('.menu-items')) {
    l.hidden = true;
    l.previousElementSibling.setAttribute('aria-expanded', 'false');
  }
}

export function updateMenus() {
  for (const head of document.querySelectorAll('#menubar .menu')) {
    head.textContent = menuText(head.menu.label());
    if (head.menu.shown) head.parentElement.hidden = !head.menu.shown();
  }
  for (const b of document.querySelectorAll('#menubar .menu-item')) {
    const it = b.item;
    const mark = it.checked ? (it.checked() ? '✓ ' : '　') : '';
    // The mark and the shortcut are seen; a screen reader says them as pressed and keys.
    b.replaceChildren(
      element('span', {}, element('span', { 'aria-hidden': 'true' }, mark), menuText(it.label())),
      element('span', { class: 'shortcut', 'aria-hidden': 'true' }, it.shortcut),
    );
    if (it.checked) b.setAttribute('aria-pressed', String(it.checked()));
    b.disabled = !it.enabled();
    if (it.shown) b.hidden = !it.shown();
  }
}

export function languageChanged() {
  updateMenus();
  views.reword();
  chronicleChanged();
  if (!$('start-panel').hidden) openStartPanel();
  if (shownAdvice) adviceWindow(shownAdvice);
}

export { buttonRow, modal };
