// SPDX-License-Identifier: GPL-3.0-or-later
// The page for a player who does not see it: the map as a list of the fourteen
// countries (one button each, worded as the panel words them), and what a screen
// reader is told as the game goes on: the status line, the outcomes of the battles
// that concern the player, and the game's end. While the computers play, only their
// battles and captures that concern the player are told.
import { arg, countryName, getLanguage, rulerName, tr } from './words.js';

const $ = (id) => document.getElementById(id);
const kFigures = ['人口', '開墾', '商業', '兵糧', '資金', '兵士', '訓練'];
const kSoldiers = 6; // the soldiers' place among a country's ruler and figures
const kLogLines = 20; // the outcomes kept in the log: the latest told

// ---- The countries ----

let buttons = [];

// The list once: pressed(country) answers a press as a click on the map does, and
// reached(country) the keys' coming to it (reached(-1) their leaving).
export function installCountries(pressed, reached) {
  const list = $('countries');
  buttons = [...Array(14).keys()].map((country) => {
    const b = document.createElement('button');
    b.type = 'button';
    b.className = 'country';
    b.addEventListener('click', () => pressed(country));
    b.addEventListener('focus', () => reached(country));
    b.addEventListener('blur', () => reached(-1));
    const item = document.createElement('li');
    item.append(b);
    list.append(item);
    return b;
  });
}

const listed = (items) => new Intl.ListFormat(getLanguage(), { type: 'conjunction' }).format(items);
const numbered = (s, country) => `${country} ${countryName(country, s.names[country])}`;

// A country as the panel shows it: its number, name, ruler and figures, then its
// neighbours with their rulers and soldiers.
function countryWords(s, country) {
  const f = s.countries[country];
  const figures = kFigures.map((label, i) => `${tr('StatusPanel', label)} ${f[i + 1]}`).join(' ');
  const neighbours = s.neighbours[country].map((n) => {
    const g = s.countries[n];
    return `${numbered(s, n)} (${rulerName(g[0])} ${tr('StatusPanel', '兵士')} ${g[kSoldiers]})`;
  });
  return `${numbered(s, country)} ${rulerName(f[0])}  ${figures}  ${arg(tr('WebPage', '隣国: %1'), listed(neighbours))}`;
}

// s: the figures drawn (countries, names, neighbours, turn), and for each country
// whether it may be chosen now and what else is said of it: state(country) gives
// {chosen: false, why} or {chosen: true, more}.
export function fillCountries(s, state) {
  const list = $('countries');
  // A game's figures and its map (a save's shows come before its map is known).
  const shown = s.countries.every(Boolean) && s.neighbours.length === s.countries.length;
  list.hidden = !shown;
  list.setAttribute('aria-label', tr('WebPage', '国の一覧'));
  if (!shown) return;
  buttons.forEach((b, country) => {
    const words = countryWords(s, country);
    if (b.textContent !== words) b.textContent = words;
    const { chosen, why = '', more = '' } = state(country);
    b.setAttribute('aria-disabled', String(!chosen));
    const description = chosen ? more : why;
    if (description) b.setAttribute('aria-description', description);
    else b.removeAttribute('aria-description');
    if (country === s.turn) b.setAttribute('aria-current', 'true');
    else b.removeAttribute('aria-current');
  });
}

// The keys' way to the list: the turn country's button, else the first.
export function focusCountries(country) {
  if ($('countries').hidden) return false;
  (buttons[country] ?? buttons[0]).focus();
  return true;
}

export const inCountries = (element) => !!element?.closest?.('#countries');

// Arrows move along the list, wrapping at its ends.
export function stepCountries(from, direction) {
  const at = buttons.indexOf(from);
  if (at < 0) return;
  buttons[(at + direction + buttons.length) % buttons.length].focus();
}

// ---- What is told ----

let hushed = false;
let last = '';

function put(region, words) {
  last = words;
  region.textContent = words;
}

// While the computers play, the status line is not told (their outcomes are, as events).
export function hush(on) {
  hushed = on;
}

// The status line, told when it changes.
export function status(words) {
  if (hushed || !words || $('said').textContent === words) return;
  put($('said'), words);
}

// An outcome, added to the log of what was told.
export function event(words) {
  if (!words) return;
  const log = $('told');
  const line = document.createElement('p');
  line.textContent = words;
  log.append(line);
  while (log.childElementCount > kLogLines) log.firstElementChild.remove();
  last = words;
}

// The game's end, told at once.
export function end(words) {
  if (words) put($('said-end'), words);
}

// Words told now in the status region, even when it said the same: emptied first, then
// given them, so that it changes.
export function say(words) {
  if (!words) return;
  const region = $('said');
  region.textContent = '';
  setTimeout(() => put(region, words), 50);
}

// The last thing told, told again.
export function repeat() {
  say(last);
}

// The rounds of the last battle that concerned the player, told when he asks.
let rounds = '';
export function keepRounds(words) {
  rounds = words;
}
export function tellRounds() {
  say(rounds);
}

// The names of the regions, in the language in use.
export function reword() {
  $('told').setAttribute('aria-label', tr('WebPage', 'お知らせ'));
  $('countries').setAttribute('aria-label', tr('WebPage', '国の一覧'));
}
