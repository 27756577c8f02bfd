// SPDX-License-Identifier: GPL-3.0-or-later
// What the page keeps in the browser's storage: its settings, the saves made with ｾｰﾌﾞ
// (the desktop's very bytes, with the difficulty and the record beside them) and the
// autosaves made at the start of each of the player's turns, newest first.
const kPrefix = 'velcor.';
const kKept = { saves: 10, autosaves: 5 };

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
  // beyond the kind's number go. Throws when the storage is full.
  keep(kind, saved) {
    const entry = {
      save: saved.save,
      record: saved.record,
      difficulty: saved.difficulty,
      year: saved.year,
      month: saved.month,
      player: saved.player,
      time: Date.now(),
    };
    const entries = [entry, ...this.list(kind)].slice(0, kKept[kind]);
    localStorage.setItem(`${kPrefix}${kind}`, JSON.stringify(entries));
  }
  read(key, fallback) {
    try {
      return JSON.parse(localStorage.getItem(`${kPrefix}${key}`)) ?? fallback;
    } catch {
      return fallback;
    }
  }
}
