// SPDX-License-Identifier: GPL-3.0-or-later
// The page's words: the desktop's texts in the language in use (Japanese as written,
// English from translations/), the engine's messages put together, and the names of
// rulers and countries, romanized in English as the desktop shows them.

let words = { translations: {}, romanized: { rulers: [], countries: [] }, tiles: [] };
let language = 'ja';
let rulerNames = []; // the engine's Japanese names, by id

export function setWords(data) {
  words = data;
}
export function setRulerNames(names) {
  rulerNames = names;
}
export function setLanguage(lang) {
  language = lang === 'en' ? 'en' : 'ja';
  document.documentElement.lang = language;
}
export function getLanguage() {
  return language;
}
export function patternTiles() {
  return words.tiles;
}

// The browser's language at first: English unless it asks for Japanese.
export function browserLanguage() {
  const asked = navigator.languages?.length ? navigator.languages : [navigator.language || ''];
  return asked.some((l) => /^ja\b/i.test(l)) ? 'ja' : 'en';
}

export function tr(context, text) {
  if (language === 'ja') return text;
  return words.translations.en?.[context]?.[text] ?? text;
}

// The page's own words, which no window of the desktop shows (touch, a phone's back
// button, the page kept for offline play): as the page shows them in Japanese, with
// their English. web/tools/words.mjs checks that each is used, has its English and is
// none of the texts the translations already hold.
export const kPageWords = {
  'ﾀｯﾌﾟで国を選び、決定で進めます': 'Tap a country to choose it, then OK',
  '移動先を選択中です (ｷｬﾝｾﾙで取り消し)': 'Choosing where to move (Cancel stops it)',
  '攻撃先を選択中です (ｷｬﾝｾﾙで取り消し)': 'Choosing whom to attack (Cancel stops it)',
  'ﾀｯﾌﾟ': 'Tap',
  '国を選ぶ・命令を出す (使えない命令はその理由を示す)': 'Choose a country, give a command (one that cannot be given says why)',
  '長押し': 'Long press',
  '命令の説明を示す': 'Describe the command',
  '2本指で広げる・狭める': 'Two fingers apart or together',
  '地図の拡大・縮小': 'Zoom the map in or out',
  '戻る': 'Back',
  '開いている画面を閉じる・選択を取り消す': 'Close the open window, or cancel the choice',
  '新しい版があります': 'A new version is ready',
  '更新': 'Update',
};
export function pageWord(japanese) {
  return language === 'en' ? kPageWords[japanese] ?? japanese : japanese;
}

// %1..%99 replaced by the arguments, as QString::arg does.
export function arg(pattern, ...args) {
  return pattern.replace(/%([1-9][0-9]?)/g, (whole, n) => (Number(n) <= args.length ? String(args[Number(n) - 1]) : whole));
}

// A menu's text without its accelerator: "ｾｰﾌﾞ(&S)" -> "ｾｰﾌﾞ", "&Save" -> "Save".
export function menuText(text) {
  return text.replace(/\(&.\)/, '').replace(/&(.)/, '$1').replace(/\.\.\.$/, '');
}

export function rulerName(id) {
  if (id < 0 || id >= 16) return '';
  return language === 'en' ? words.romanized.rulers[id] ?? '' : rulerNames[id] ?? '';
}

// A country's name as the world gives it, romanized in English when it is the bundled
// data's own name for that country (an author's own name shows as he wrote it).
export function countryName(id, name) {
  const known = words.romanized.countries[id];
  return language === 'en' && known && known[0] === name ? known[1] : name;
}

// An engine's message: {p, a} a pattern with arguments, {t} a plain text, {t, n, id} a name.
export function text(message) {
  if (!message) return '';
  if (message.t !== undefined) {
    if (message.n === 'c') return countryName(message.id, message.t);
    if (message.n === 'r') return rulerName(message.id);
    return message.t;
  }
  const pattern = tr('Message', message.p);
  return pattern.replace(/%([1-9])/g, (whole, n) => {
    const a = message.a[Number(n) - 1];
    return a ? text(a) : whole;
  });
}

// The reasons the engine gives for a command that may not act, as a finger reads them:
// the choice of a target is taken back by ｷｬﾝｾﾙ, not by a right click or Esc.
const kTouchReasons = {
  '移動先を選択中です (右クリックまたは Esc で取り消し)': () => pageWord('移動先を選択中です (ｷｬﾝｾﾙで取り消し)'),
  '攻撃先を選択中です (右クリックまたは Esc で取り消し)': () => pageWord('攻撃先を選択中です (ｷｬﾝｾﾙで取り消し)'),
};
// Why a command may not act (the engine's message), worded for a mouse or a finger.
export function reason(message, touch) {
  const forTouch = touch && message?.p !== undefined ? kTouchReasons[message.p] : undefined;
  return forTouch ? forTouch() : text(message);
}

// The command buttons' captions, by their keys.
const kCaptions = {
  M: () => tr('CommandTable', '移動'),
  W: () => tr('CommandTable', '戦争'),
  L: () => tr('CommandTable', '開墾'),
  C: () => tr('CommandTable', '商業'),
  S: () => tr('CommandTable', '徴兵'),
  T: () => tr('CommandTable', '訓練'),
  R: () => tr('CommandTable', '休養'),
};
export const commandCaption = (key) => kCaptions[key]?.() ?? key;
