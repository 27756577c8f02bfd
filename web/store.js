// SPDX-License-Identifier: GPL-3.0-or-later
// What the page keeps in the browser's storage: its settings, the saves made with ｾｰﾌﾞ
// (the desktop's very bytes, with the difficulty, the record and the chronicle beside
// them) and the autosaves made at the start of each of the player's turns, newest first.
const kPrefix = 'velcor.';
const kKept = { saves: 10, autosaves: 5 };
// A chronicle grows with the game (a few hundred bytes a month as JSON): kept packed,
// as text of base 64, where the browser can pack it.
const kPacked = 'gzip:';

// Bytes as the page keeps them, a string of one character a byte, and back.
export function bytesOf(s) {
  const bytes = new Uint8Array(s.length);
  for (let i = 0; i < s.length; i++) bytes[i] = s.charCodeAt(i);
  return bytes;
}
export function byteString(buffer) {
  const bytes = new Uint8Array(buffer);
  let s = '';
  for (let i = 0; i < bytes.length; i += 8192) s += String.fromCharCode(...bytes.subarray(i, i + 8192));
  return s;
}
async function through(bytes, stream) {
  return new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(stream)).arrayBuffer());
}

async function pack(chronicle) {
  if (!chronicle || typeof CompressionStream !== 'function') return chronicle ?? '';
  return kPacked + btoa(byteString(await through(bytesOf(chronicle), new CompressionStream('gzip'))));
}

export class Store {
  settings() {
    return this.read('settings', {});
  }
  saveSettings(settings) {
    localStorage.setItem(`${kPrefix}settings`, JSON.stringify(settings));
  }
  // The entries of a kind, newest first.
  list(kind) {
    return this.read(kind, []);
  }
  // Keeps a save (the engine's answer to a save) as the newest of its kind; the oldest
  // beyond the kind's number go. Fails (with the browser's error) when the storage is full.
  async keep(kind, saved) {
    const entry = {
      save: saved.save,
      record: saved.record,
      chronicle: await pack(saved.chronicle),
      difficulty: saved.difficulty,
      year: saved.year,
      month: saved.month,
      player: saved.player,
      time: Date.now(),
    };
    const entries = [entry, ...this.list(kind)].slice(0, kKept[kind]);
    localStorage.setItem(`${kPrefix}${kind}`, JSON.stringify(entries));
  }
  // The chronicle kept with an entry, as the engine wrote it; '' when it has none or it
  // cannot be unpacked (the game then loads without its story).
  async chronicle(entry) {
    const kept = entry.chronicle ?? '';
    if (!kept.startsWith(kPacked)) return kept;
    try {
      return byteString(await through(bytesOf(atob(kept.slice(kPacked.length))), new DecompressionStream('gzip')));
    } catch {
      return '';
    }
  }
  read(key, fallback) {
    try {
      return JSON.parse(localStorage.getItem(`${kPrefix}${key}`)) ?? fallback;
    } catch {
      return fallback;
    }
  }
}
