// SPDX-License-Identifier: GPL-3.0-or-later
// The map and its panel on a canvas, drawn as the desktop's main view draws them: the
// painted map (130.png) with each country in its ruler's colour, the country numbers,
// the frame of the turn country, the battle markers, the portrait and the figures of
// the country shown, the date and the status line. The canvas holds the map's 616 x
// 440 pixels at a whole or fractional scale; the picture is enlarged pixel for pixel
// and the text is drawn at the scaled size, so it stays sharp.
// On a phone the canvas holds the countries alone, as large as the screen allows, and
// the panel is text under the map (Figures), large enough to read.
import { arg, countryName, patternTiles, rulerName, tr } from './words.js';
import { drawBattleArrows } from './views.js';

export const kMapWidth = 616;
export const kMapHeight = 440;
const kOutline = 0x040404;
const kBlank = 0xffffff;
const kDim = 0xe0e0e0;
const kPanelGrey = '#c0c0c0';
const kStatusX = 400;
const kStatusWidth = 599 - 1 - kStatusX;
const kNameWidth = 579 - 1 - 520;
const kLabelWidth = 500 - 4 - 460;
const kHint = { x: 20, y: 415, padding: 3 };
const kEndPicture = { x: 158, y: 100, width: 300, height: 200 };
// The panel's labels: the country's name, then its seven figures.
const kLabels = ['国名', '人口', '開墾', '商業', '兵糧', '資金', '兵士', '訓練'];
const kFigureLabels = kLabels.slice(1);
// The sea kept around the countries when the map is shown without its panel.
const kCountriesMargin = 8;
// The names the painted map writes beyond the frontier and on the sea: where each
// stands in the picture and whether it is on the sea. In another language each is
// covered and written over in that language.
const kPaintedNames = [
  { name: '大漠', x: 82, y: 41, w: 30, h: 17, sea: false },
  { name: '西羌', x: 30, y: 126, w: 17, h: 31, sea: false },
  { name: '鮮卑', x: 314, y: 16, w: 31, h: 17, sea: false },
  { name: '東海', x: 365, y: 200, w: 17, h: 32, sea: true },
  { name: '南海', x: 227, y: 333, w: 32, h: 17, sea: true },
];
// The box a name is written in, centred on the picture's characters.
const kPaintedBox = { w: 121, h: 61 };
export const kFont = '12px "IPAGothic", "IPAPGothic", "Noto Sans CJK JP", "MS Gothic", sans-serif';

// A colour 0x00BBGGRR as the engine gives it, as [r, g, b].
const rgb = (c) => [c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff];
const css = (c) => `rgb(${rgb(c).join(',')})`;

export class MapView {
  constructor(canvas, pictures, regionKeys) {
    this.canvas = canvas;
    this.pictures = pictures;
    this.scale = 1;
    const off = document.createElement('canvas');
    off.width = kMapWidth;
    off.height = kMapHeight;
    this.offscreen = off;
    const ctx = off.getContext('2d', { willReadFrequently: true });
    ctx.drawImage(pictures.map, 0, 0);
    this.image = ctx.getImageData(0, 0, kMapWidth, kMapHeight);
    this.key = new Uint8ClampedArray(this.image.data);
    // The country of every pixel: outline and white are none, any other colour is
    // looked up among the countries' key colours.
    const keys = new Map(regionKeys.map((c, i) => [c, i]));
    this.country = new Int8Array(kMapWidth * kMapHeight).fill(-1);
    for (let i = 0; i < this.country.length; i++) {
      const c = this.key[4 * i] | (this.key[4 * i + 1] << 8) | (this.key[4 * i + 2] << 16);
      if (c !== kOutline && c !== kBlank && keys.has(c)) this.country[i] = keys.get(c);
    }
    this.outlines = new Map();
    // The part of the map the canvas shows: all of it, or the countries alone.
    this.whole = { x: 0, y: 0, w: kMapWidth, h: kMapHeight };
    this.countries = countriesBox(this.country);
    this.view = this.whole;
  }

  // Shows the whole map with its panel, or the countries alone (the panel elsewhere).
  showCountriesOnly(only) {
    this.view = only ? this.countries : this.whole;
  }
  get panel() {
    return this.view === this.whole;
  }

  // The map's pixel under a point of the page (client coordinates).
  pointAt(clientX, clientY) {
    const r = this.canvas.getBoundingClientRect();
    return { x: this.view.x + ((clientX - r.left) * this.view.w) / r.width, y: this.view.y + ((clientY - r.top) * this.view.h) / r.height };
  }
  // The point of the page over a pixel of the map.
  clientPoint(x, y) {
    const r = this.canvas.getBoundingClientRect();
    return { x: r.left + ((x - this.view.x) * r.width) / this.view.w, y: r.top + ((y - this.view.y) * r.height) / this.view.h };
  }

  countryAt(x, y) {
    x = Math.floor(x);
    y = Math.floor(y);
    if (x < 0 || y < 0 || x >= kMapWidth || y >= kMapHeight) return -1;
    return this.country[y * kMapWidth + x];
  }

  // The canvas's backing store for a shown width in CSS pixels.
  resize(cssWidth) {
    const ratio = window.devicePixelRatio || 1;
    this.scale = (cssWidth / this.view.w) * ratio;
    this.canvas.width = Math.round(this.view.w * this.scale);
    this.canvas.height = Math.round(this.view.h * this.scale);
    this.canvas.style.width = `${cssWidth}px`;
    this.canvas.style.height = `${(cssWidth * this.view.h) / this.view.w}px`;
  }
  // The shown height for a shown width.
  heightFor(cssWidth) {
    return (cssWidth * this.view.h) / this.view.w;
  }

  // Each country's pixels in its colour (colours by country, 0x00BBGGRR), the
  // patterns of its ruler laid over it when asked.
  paintCountries(colours, rulers, numberCells) {
    const data = this.image.data;
    const tiles = rulers ? patternTiles() : null;
    for (let i = 0, n = this.country.length; i < n; i++) {
      const j = this.country[i];
      if (j < 0) {
        data[4 * i] = this.key[4 * i];
        data[4 * i + 1] = this.key[4 * i + 1];
        data[4 * i + 2] = this.key[4 * i + 2];
        continue;
      }
      let [r, g, b] = rgb(colours[j]);
      if (tiles && rulers[j] >= 1 && rulers[j] < 16) {
        const x = i % kMapWidth;
        const y = (i / kMapWidth) | 0;
        const cell = numberCells[j];
        const inCell = x >= cell.x - 2 && x <= cell.x + 17 && y >= cell.y - 17 && y <= cell.y + 2;
        if (!inCell && (tiles[rulers[j] - 1][y & 7] >> (7 - (x & 7))) & 1) [r, g, b] = markColour(r, g, b);
      }
      data[4 * i] = r;
      data[4 * i + 1] = g;
      data[4 * i + 2] = b;
    }
    this.offscreen.getContext('2d').putImageData(this.image, 0, 0);
  }

  // The middle of each country's pixels (its centre of mass), where a battle's arrow
  // starts or ends; null for a country with none.
  centres() {
    if (this.middles) return this.middles;
    const sums = Array.from({ length: 14 }, () => ({ x: 0, y: 0, n: 0 }));
    for (let i = 0; i < this.country.length; i++) {
      const c = this.country[i];
      if (c < 0 || c >= 14) continue;
      sums[c].x += i % kMapWidth;
      sums[c].y += (i / kMapWidth) | 0;
      sums[c].n++;
    }
    this.middles = sums.map((s) => (s.n ? { x: s.x / s.n + 0.5, y: s.y / s.n + 0.5 } : null));
    return this.middles;
  }

  // The ring around a country chosen by the keys: dark, light, dark, inward from its edge.
  outline(country) {
    if (this.outlines.has(country)) return this.outlines.get(country);
    const ring = new Uint8Array(kMapWidth * kMapHeight);
    for (let i = 0; i < ring.length; i++) if (this.country[i] === country) ring[i] = 255;
    for (let r = 1; r <= 3; r++) {
      const found = [];
      for (let y = 0; y < kMapHeight; y++)
        for (let x = 0; x < kMapWidth; x++) {
          const i = y * kMapWidth + x;
          if (ring[i] !== 255) continue;
          const at = (nx, ny) => (nx < 0 || ny < 0 || nx >= kMapWidth || ny >= kMapHeight ? 0 : ring[ny * kMapWidth + nx]);
          if (at(x - 1, y) === r - 1 || at(x + 1, y) === r - 1 || at(x, y - 1) === r - 1 || at(x, y + 1) === r - 1) found.push(i);
        }
      for (const i of found) ring[i] = r;
    }
    const c = document.createElement('canvas');
    c.width = kMapWidth;
    c.height = kMapHeight;
    const ctx = c.getContext('2d');
    const img = ctx.createImageData(kMapWidth, kMapHeight);
    for (let i = 0; i < ring.length; i++) {
      const r = ring[i];
      if (r >= 1 && r <= 3) {
        const v = r === 2 ? 255 : 0;
        img.data.set([v, v, v, 255], 4 * i);
      }
    }
    ctx.putImageData(img, 0, 0);
    this.outlines.set(country, c);
    return c;
  }

  // The painted names in the language in use; in Japanese the picture's own characters.
  // ctx: the canvas in the map's pixels.
  drawPaintedNames(ctx) {
    const names = kPaintedNames.map((p) => ({ ...p, shown: tr('MapNames', p.name) })).filter((p) => p.shown !== p.name);
    if (!names.length) return;
    ctx.save();
    ctx.font = `bold ${kFont}`;
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    const metrics = ctx.measureText('国');
    const line = Math.ceil(metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent) || 12;
    for (const p of names) {
      ctx.fillStyle = css(groundAround(this.image, p));
      ctx.fillRect(p.x, p.y, p.w, p.h);
      // A name the picture writes top to bottom takes a line a word.
      const lines = p.h > p.w ? p.shown.split(' ') : [p.shown];
      const left = p.x + ((p.w - 1) >> 1) - (kPaintedBox.w >> 1);
      const top = p.y + ((p.h - 1) >> 1) - (kPaintedBox.h >> 1);
      const first = top + (kPaintedBox.h - lines.length * line) / 2 + line / 2;
      ctx.fillStyle = p.sea ? 'rgb(30,120,110)' : 'rgb(120,80,40)';
      lines.forEach((t, i) => ctx.fillText(t, left + kPaintedBox.w / 2, first + i * line));
    }
    ctx.restore();
  }

  // Draws the whole view. s: the figures to draw (see the page), with the stage and the
  // status line.
  draw(s) {
    const countries = s.countries;
    const cells = s.places.map((p) => ({ x: Math.min(p.x, 1 << 16), y: Math.min(p.y, 1 << 16) }));
    const rulers = countries.map((f) => (f ? f[0] : 0));
    let colours;
    if (s.targets) {
      colours = new Array(14).fill(kDim);
      for (const t of s.targets) colours[t] = s.rulerColours[rulers[t]] ?? kBlank;
    } else {
      colours = rulers.map((r) => s.rulerColours[r] ?? kBlank);
    }
    this.paintCountries(colours, s.patterns ? rulers : null, cells);

    const ctx = this.canvas.getContext('2d');
    const view = this.view;
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.imageSmoothingEnabled = false;
    ctx.drawImage(this.offscreen, view.x, view.y, view.w, view.h, 0, 0, this.canvas.width, this.canvas.height);
    ctx.setTransform(this.scale, 0, 0, this.scale, -view.x * this.scale, -view.y * this.scale);
    // The ring: the target chosen, or the country the keys are on in the list of countries.
    const ring = s.targets && s.choice >= 0 ? s.choice : s.focused;
    if (ring >= 0) ctx.drawImage(this.outline(ring), 0, 0);
    this.drawPaintedNames(ctx);
    if (s.arrows) drawBattleArrows(ctx, this.centres(), s.arrows, s.patterns);
    ctx.font = kFont;
    ctx.textBaseline = 'top';
    ctx.fillStyle = '#000';
    const textAt = (x, y, t, width) => fitted(ctx, x, y, t, width);

    for (let i = 0; i < 14; i++) {
      // In high contrast each number stands on a white plate, whatever its country's colour.
      if (s.contrast) {
        ctx.fillStyle = '#fff';
        ctx.fillRect(cells[i].x - 1, cells[i].y - 17, ctx.measureText(String(i)).width + 2, 15);
        ctx.fillStyle = '#000';
      }
      textAt(cells[i].x, cells[i].y - 16, String(i));
    }
    if (s.turn >= 0 && s.turn < 14) {
      const { x, y } = cells[s.turn];
      frame(ctx, x - 1, y - 16, x + 16, y + 1);
      frame(ctx, x - 2, y - 17, x + 17, y + 2);
    }
    if (s.battleAttacker >= 0)
      for (const c of [s.battleAttacker, s.battleTarget])
        if (c >= 0 && c < 14 && this.pictures.marker) ctx.drawImage(this.pictures.marker, cells[c].x, cells[c].y - 16);

    const end = s.stage === 'won' ? this.pictures.victory : s.stage === 'lost' ? this.pictures.gameOver : null;
    if (!this.panel) {
      if (end) ctx.drawImage(end, view.x + Math.max(0, (view.w - kEndPicture.width) / 2), view.y + Math.max(0, (view.h - kEndPicture.height) / 2));
      return;
    }
    rectangle(ctx, 496, 6, 584, 114, '#fff');
    rectangle(ctx, 498, 8, 582, 112, '#fff');
    rectangle(ctx, 500, 117, 580, 140, kPanelGrey);
    rectangle(ctx, 450, 145, 600, 168, kPanelGrey);
    rectangle(ctx, 450, 170, 600, 350, kPanelGrey);
    rectangle(ctx, 390, 355, 600, 378, kPanelGrey);
    edge(ctx, 500, 139, 579, 117);
    edge(ctx, 450, 167, 599, 145);
    edge(ctx, 450, 349, 599, 170);
    edge(ctx, 390, 377, 599, 355);
    ctx.fillStyle = '#000';

    const shown = s.shown;
    const showCountry = shown >= 0 && shown < 14 && countries[shown];
    if (showCountry) {
      const ruler = countries[shown][0];
      const portrait = this.pictures.portraits[Math.max(0, Math.min(15, ruler))];
      if (portrait) ctx.drawImage(portrait, 500, 10);
      textAt(520, 120, rulerName(ruler), kNameWidth);
    }
    if (s.year) textAt(480, 148, arg(tr('StatusPanel', '%1 年 %2 月'), s.year, s.month));
    const labels = kLabels.map((l) => tr('StatusPanel', l));
    labels.forEach((l, row) => textAt(460, 180 + 20 * row, l, kLabelWidth));
    if (showCountry) {
      textAt(500, 180, `${shown} ${countryName(shown, s.names[shown])}`);
      const f = countries[shown];
      [f[1], f[2], f[3], f[4], f[5], f[6], f[7]].forEach((v, row) => textAt(500, 200 + 20 * row, String(v)));
    }
    textAt(kStatusX, 358, s.status || '', kStatusWidth);

    if (s.hint) {
      const w = ctx.measureText(s.hint).width + 2 * kHint.padding;
      const h = 12 + 2 * kHint.padding + 2;
      ctx.fillStyle = 'rgb(255,255,225)';
      ctx.fillRect(kHint.x, kHint.y, w, h);
      ctx.strokeStyle = '#000';
      ctx.lineWidth = 1;
      ctx.strokeRect(kHint.x + 0.5, kHint.y + 0.5, w - 1, h - 1);
      ctx.fillStyle = '#000';
      ctx.fillText(s.hint, kHint.x + kHint.padding, kHint.y + kHint.padding + 1);
    }
    if (end) ctx.drawImage(end, kEndPicture.x, kEndPicture.y);
  }
}

// The map from its top left corner (its title) to the last country's pixels to the
// right and below, with some sea around them.
function countriesBox(country) {
  let right = -1;
  let bottom = -1;
  for (let i = 0; i < country.length; i++) {
    if (country[i] < 0) continue;
    right = Math.max(right, i % kMapWidth);
    bottom = Math.max(bottom, (i / kMapWidth) | 0);
  }
  if (right < 0) return { x: 0, y: 0, w: kMapWidth, h: kMapHeight };
  return { x: 0, y: 0, w: Math.min(kMapWidth, right + 1 + kCountriesMargin), h: Math.min(kMapHeight, bottom + 1 + kCountriesMargin) };
}

// The panel as text, for the screens where the map is shown without it: the portrait,
// the name and the date, the figures of the country shown and the status line, in
// the same words as the canvas's.
export class Figures {
  constructor(element) {
    const div = (className, ...children) => {
      const e = document.createElement('div');
      e.className = className;
      e.append(...children);
      return e;
    };
    this.portrait = div('portrait');
    this.ruler = div('ruler');
    this.country = div('country');
    this.date = div('date');
    this.grid = div('grid');
    this.cells = kFigureLabels.map(() => {
      const label = document.createElement('span');
      const value = document.createElement('b');
      this.grid.append(div('figure', label, value));
      return { label, value };
    });
    this.status = div('status');
    element.replaceChildren(div('head', this.portrait, div('who', this.ruler, this.country), this.date), this.grid, this.status);
  }

  // s: as MapView.draw's.
  fill(s, pictures) {
    const shown = s.shown;
    const f = shown >= 0 && shown < 14 ? s.countries[shown] : null;
    const ruler = f ? f[0] : -1;
    const shownPicture = `${ruler} ${pictures.portraits.length}`; // the portraits come after the map
    if (this.portrait.dataset.shown !== shownPicture) {
      this.portrait.dataset.shown = shownPicture;
      const picture = f ? pictures.portraits[Math.max(0, Math.min(15, ruler))] : null;
      this.portrait.replaceChildren(...(picture ? [picture.cloneNode()] : []));
    }
    this.ruler.textContent = f ? rulerName(ruler) : '';
    this.country.textContent = f ? `${shown} ${countryName(shown, s.names[shown])}` : '';
    this.date.textContent = s.year ? arg(tr('StatusPanel', '%1 年 %2 月'), s.year, s.month) : '';
    this.cells.forEach((cell, row) => {
      cell.label.textContent = tr('StatusPanel', kFigureLabels[row]);
      cell.value.textContent = f ? String(f[row + 1]) : '';
    });
    this.status.textContent = s.status || '';
  }
}

// The colour (0x00BBGGRR) most of the pixels just around the rectangle r have in the
// picture image.
function groundAround(image, r) {
  const counts = new Map();
  const count = (x, y) => {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    const i = 4 * (y * image.width + x);
    const c = image.data[i] | (image.data[i + 1] << 8) | (image.data[i + 2] << 16);
    counts.set(c, (counts.get(c) ?? 0) + 1);
  };
  for (let x = r.x - 1; x <= r.x + r.w; x++) {
    count(x, r.y - 1);
    count(x, r.y + r.h);
  }
  for (let y = r.y; y < r.y + r.h; y++) {
    count(r.x - 1, y);
    count(r.x + r.w, y);
  }
  let most = kBlank;
  let n = 0;
  for (const [c, k] of counts) if (k > n) [most, n] = [c, k];
  return most;
}

// Roughly half way to black on a light colour, to white on a dark one.
function markColour(r, g, b) {
  const luminance = (299 * r + 587 * g + 114 * b) / 1000;
  if (luminance >= 128) return [((r * 11) / 20) | 0, ((g * 11) / 20) | 0, ((b * 11) / 20) | 0];
  return [r + (((255 - r) * 11) / 20) | 0, g + (((255 - g) * 11) / 20) | 0, b + (((255 - b) * 11) / 20) | 0];
}

// Text that must stay within width: drawn narrower when it would not fit.
function fitted(ctx, x, y, t, width) {
  const w = ctx.measureText(t).width;
  if (width && w > width) {
    ctx.save();
    ctx.translate(x, y);
    ctx.scale(width / w, 1);
    ctx.fillText(t, 0, 0);
    ctx.restore();
  } else {
    ctx.fillText(t, x, y);
  }
}

// A rectangle outlined in black (right and bottom edges excluded, as the desktop's).
function rectangle(ctx, left, top, right, bottom, fill) {
  ctx.fillStyle = fill;
  ctx.fillRect(left, top, right - left, bottom - top);
  ctx.fillStyle = '#000';
  ctx.fillRect(left, top, right - left, 1);
  ctx.fillRect(left, bottom - 1, right - left, 1);
  ctx.fillRect(left, top, 1, bottom - top);
  ctx.fillRect(right - 1, top, 1, bottom - top);
}

// The white lower and right edges of a grey box.
function edge(ctx, left, bottom, right, top) {
  ctx.fillStyle = '#fff';
  ctx.fillRect(left, bottom, right - left, 1);
  ctx.fillRect(right, top, 1, bottom - top + 1);
}

function frame(ctx, left, top, right, bottom) {
  ctx.fillStyle = '#000';
  ctx.fillRect(left, top, right - left, 1);
  ctx.fillRect(left, bottom, right - left + 1, 1);
  ctx.fillRect(left, top, 1, bottom - top);
  ctx.fillRect(right, top, 1, bottom - top);
}

export { css };
