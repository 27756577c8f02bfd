// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the page's words from the desktop's own: the English of translations/*.ts
// (Qt Linguist's XML, the Japanese as source) by context, the romanized names and the
// rulers' map patterns of the windows. Every tr('Context', 'text') of the page must be
// a text of the translations, and every pageWord('text') one of the page's own words
// with its English (web/words.js).
//   node web/tools/words.mjs ROOT OUT.json
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [root, out] = process.argv.slice(2);
if (!root || !out) {
  console.error('usage: node words.mjs ROOT OUT.json');
  process.exit(2);
}

const entities = { amp: '&', lt: '<', gt: '>', quot: '"', apos: "'" };
const unescape = (text) =>
  text.replace(/&(#x[0-9a-fA-F]+|#[0-9]+|[a-z]+);/g, (whole, name) => {
    if (name[0] === '#') return String.fromCodePoint(name[1] === 'x' ? parseInt(name.slice(2), 16) : parseInt(name.slice(1), 10));
    if (!(name in entities)) throw new Error(`unknown entity ${whole}`);
    return entities[name];
  });

// { language: { context: { source: translation } } }
function readTranslations(dir) {
  const languages = {};
  for (const file of readdirSync(dir).filter((f) => f.endsWith('.ts')).sort()) {
    const xml = readFileSync(join(dir, file), 'utf8');
    const language = /<TS[^>]*\slanguage="([^"_]+)/.exec(xml)?.[1];
    if (!language) throw new Error(`${file}: no language`);
    const contexts = {};
    for (const [, body] of xml.matchAll(/<context>([\s\S]*?)<\/context>/g)) {
      const name = unescape(/<name>([\s\S]*?)<\/name>/.exec(body)[1]);
      const texts = (contexts[name] ??= {});
      for (const [, message] of body.matchAll(/<message[^>]*>([\s\S]*?)<\/message>/g)) {
        const source = /<source>([\s\S]*?)<\/source>/.exec(message);
        const translation = /<translation[^>]*>([\s\S]*?)<\/translation>/.exec(message);
        // A text that counts (Qt's numerus forms): the page takes the plural.
        const forms = translation ? [...translation[1].matchAll(/<numerusform>([\s\S]*?)<\/numerusform>/g)] : [];
        const text = forms.length ? forms[forms.length - 1][1] : translation?.[1];
        if (source && text) texts[unescape(source[1])] = unescape(text);
      }
    }
    languages[language] = contexts;
  }
  return languages;
}

// The C string literals of the array named name in a source file, in order.
function literalTable(file, name) {
  const text = readFileSync(file, 'utf8');
  const start = text.indexOf(name);
  if (start < 0) throw new Error(`${file}: no ${name}`);
  const body = text.slice(start, text.indexOf('};', start));
  return [...body.matchAll(/"((?:[^"\\]|\\.)*)"/g)].map((m) => JSON.parse(`"${m[1]}"`));
}

function numberTable(file, name) {
  const text = readFileSync(file, 'utf8');
  const start = text.indexOf(name);
  if (start < 0) throw new Error(`${file}: no ${name}`);
  const body = text.slice(start, text.indexOf('}};', start)).replace(/\/\/.*$/gm, '');
  return [...body.matchAll(/\{([^{}]*)\}/g)].map((m) => m[1].split(',').filter((v) => v.trim()).map((v) => Number(v.trim())));
}

const translations = readTranslations(join(root, 'translations'));
const shown = join(root, 'src/words/shown_text.cpp');
const rulers = literalTable(shown, 'kRulersRomanized');
const countries = literalTable(shown, 'kCountries');
const tiles = numberTable(join(root, 'src/view/map/ruler_patterns.cpp'), 'kTiles');
// The key colours of the map's countries, so that the page paints the map before the
// engine has started.
const keysText = readFileSync(join(root, 'src/model/game_state.h'), 'utf8');
const keysAt = keysText.indexOf('kRegionKeyColours');
const regionKeys = [...keysText.slice(keysAt, keysText.indexOf('};', keysAt)).matchAll(/0x[0-9A-Fa-f]+/g)].map((m) => Number(m[0]));
if (rulers.length !== 16 || countries.length !== 28 || tiles.length !== 15 || tiles.some((t) => t.length !== 8) || regionKeys.length !== 14)
  throw new Error('the romanized names or the ruler patterns are not where they were');

// Every text the page asks for is one the translations know.
const missing = [];
const webDir = join(root, 'web');
for (const file of readdirSync(webDir).filter((f) => f.endsWith('.js'))) {
  const text = readFileSync(join(webDir, file), 'utf8');
  for (const [, context, source] of text.matchAll(/\btr\('([A-Za-z]+)',\s*'((?:[^'\\]|\\.)*)'\)/g)) {
    const japanese = JSON.parse(`"${source.replace(/"/g, '\\"').replace(/\\'/g, "'")}"`);
    for (const [language, contexts] of Object.entries(translations))
      if (!contexts[context] || !(japanese in contexts[context])) missing.push(`${file}: ${context} "${japanese}" (${language})`);
  }
}
if (missing.length) {
  console.error(`texts of the page that the translations do not hold:\n  ${missing.join('\n  ')}`);
  process.exit(1);
}

// The page's own words (pageWord('text') with the table of web/words.js): each used,
// each with its English, none a text the translations already hold.
const { kPageWords } = await import(pathToFileURL(join(webDir, 'words.js')).href);
const asked = new Set();
for (const file of readdirSync(webDir).filter((f) => f.endsWith('.js'))) {
  const text = readFileSync(join(webDir, file), 'utf8');
  for (const [, source] of text.matchAll(/\bpageWord\('((?:[^'\\]|\\.)*)'\)/g)) asked.add(source);
}
const known = new Set(Object.values(translations).flatMap((contexts) => Object.values(contexts).flatMap((texts) => Object.keys(texts))));
const wrong = [
  ...[...asked].filter((t) => !kPageWords[t]).map((t) => `"${t}": no English in the table`),
  ...Object.keys(kPageWords).filter((t) => !asked.has(t)).map((t) => `"${t}": in the table, never shown`),
  ...Object.keys(kPageWords).filter((t) => known.has(t)).map((t) => `"${t}": a text of the translations (tr() shows it)`),
];
if (wrong.length) {
  console.error(`the page's own words (web/words.js):\n  ${wrong.join('\n  ')}`);
  process.exit(1);
}

const romanized = {
  rulers,
  // By id: the name the bundled data give the country, and its romanized name.
  countries: Array.from({ length: countries.length / 2 }, (_, i) => [countries[2 * i], countries[2 * i + 1]]),
};
writeFileSync(out, JSON.stringify({ translations, romanized, tiles, regionKeys }));
