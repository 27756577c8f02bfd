// SPDX-License-Identifier: GPL-3.0-or-later
// What the page keeps in the browser. Its settings, read at once when it starts, in
// localStorage. The games in IndexedDB, where records and chronicles have room to grow:
// the saves made with ｾｰﾌﾞ and the autosaves (made at the start of each of the player's
// turns and when the page is hidden), each the desktop's very bytes with the
// difficulty, the record and the chronicle beside them, newest first. Once a game is
// kept, the browser is asked to keep the page's storage for good.
const kPrefix = 'velcor.';
const kKept = { saves: 10, autosaves: 5 };
const kDatabase = 'velcor';
// 'games' holds what the lists show (kind, time, date, player, difficulty), 'files'
// the bytes (save, record, chronicle) under the same key.
const kGames = 'games';
const kFiles = 'files';
// A chronicle kept by an older page, packed as text of base 64.
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
async function unpacked(kept) {
  if (!kept?.startsWith(kPacked)) return kept ?? '';
  try {
    const stream = new Blob([bytesOf(atob(kept.slice(kPacked.length)))]).stream().pipeThrough(new DecompressionStream('gzip'));
    return byteString(await new Response(stream).arrayBuffer());
  } catch {
    return ''; // the game then loads without its story
  }
}

const done = (request) =>
  new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
const finished = (transaction) =>
  new Promise((resolve, reject) => {
    transaction.oncomplete = () => resolve();
    transaction.onabort = transaction.onerror = () => reject(transaction.error ?? new DOMException('aborted', 'AbortError'));
  });
const newestFirst = (entries) => entries.sort((a, b) => b.time - a.time || (b.key < a.key ? -1 : 1));
let made = 0;
const newKey = (time) => `${time}-${++made}-${Math.random().toString(36).slice(2)}`;

function describe(kind, saved, time) {
  return { key: newKey(time), kind, time, difficulty: saved.difficulty, year: saved.year, month: saved.month, player: saved.player };
}

export class Store {
  constructor() {
    this.db = null;
    this.broken = null; // why there is no database
    this.lists = { saves: [], autosaves: [] };
    this.persisted = false;
  }

  // Opens the database and reads the lists, taking in what was kept in localStorage
  // (by an older page, or by a page being closed). Never fails: without a database the
  // lists are empty and keeping a game says why.
  async open() {
    try {
      this.db = await new Promise((resolve, reject) => {
        const request = indexedDB.open(kDatabase, 1);
        request.onupgradeneeded = () => {
          const games = request.result.createObjectStore(kGames, { keyPath: 'key' });
          games.createIndex('kind', 'kind');
          request.result.createObjectStore(kFiles);
        };
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
        request.onblocked = () => reject(new DOMException('blocked', 'InvalidStateError'));
      });
    } catch (error) {
      this.broken = error;
      return;
    }
    // What cannot be moved now stays in localStorage for the next start.
    await this.takeIn().catch(() => {});
    await this.refresh().catch(() => {});
  }

  // The lists read again (another tab may have kept a game).
  async refresh() {
    if (!this.db) return;
    const all = await done(this.db.transaction(kGames).objectStore(kGames).getAll());
    for (const kind of Object.keys(kKept)) this.lists[kind] = newestFirst(all.filter((e) => e.kind === kind));
  }

  settings() {
    return this.read('settings', {});
  }
  saveSettings(settings) {
    localStorage.setItem(`${kPrefix}settings`, JSON.stringify(settings));
  }
  // The entries of a kind, newest first: what the lists show. Their bytes: files().
  list(kind) {
    return this.lists[kind];
  }

  // Keeps a save (the engine's answer to a save) as the newest of its kind; the oldest
  // beyond the kind's number go. Fails with the browser's error (a full storage:
  // QuotaExceededError), keeping what was kept before.
  keep(kind, saved, time = Date.now()) {
    if (!this.db) return Promise.reject(this.broken ?? new DOMException('no database', 'UnknownError'));
    const entry = describe(kind, saved, time);
    const transaction = this.db.transaction([kGames, kFiles], 'readwrite');
    const games = transaction.objectStore(kGames);
    const files = transaction.objectStore(kFiles);
    games.put(entry);
    files.put({ save: saved.save, record: saved.record ?? '', chronicle: saved.chronicle ?? '' }, entry.key);
    let listed = null;
    done(games.index('kind').getAll(kind)).then((entries) => {
      listed = newestFirst(entries);
      for (const gone of listed.splice(kKept[kind])) {
        games.delete(gone.key);
        files.delete(gone.key);
      }
    });
    return finished(transaction).then(() => {
      this.lists[kind] = listed;
      this.persist();
    });
  }

  // The save, record and chronicle kept with an entry.
  async files(entry) {
    if (!this.db) throw this.broken;
    const kept = await done(this.db.transaction(kFiles).objectStore(kFiles).get(entry.key));
    if (!kept) throw new DOMException('gone', 'NotFoundError');
    return { ...kept, chronicle: await unpacked(kept.chronicle) };
  }

  // A page being closed has no time to wait for the database: the save is written at
  // once into localStorage, and into the database when the page opens again.
  keepForLater(kind, saved) {
    try {
      const later = this.read(kind, []);
      const entry = { ...describe(kind, saved, Date.now()), save: saved.save, record: saved.record, chronicle: saved.chronicle };
      localStorage.setItem(`${kPrefix}${kind}`, JSON.stringify([entry, ...later]));
    } catch {
      // No room: the autosave of the turn's start is the newest kept.
    }
  }

  // What localStorage holds of games, moved into the database: each entry kept with its
  // own time, unless the newest of its kind is the same game at the same point.
  async takeIn() {
    for (const kind of Object.keys(kKept)) {
      const waiting = this.read(kind, []);
      if (!waiting.length) continue;
      await this.refresh();
      const newest = this.lists[kind][0];
      const same = newest ? await this.files(newest) : null;
      for (const entry of waiting.reverse()) {
        if (same && same.save === entry.save && same.record === (entry.record ?? '')) continue;
        await this.keep(kind, entry, entry.time ?? Date.now());
      }
      localStorage.removeItem(`${kPrefix}${kind}`);
    }
  }

  // Asks the browser, once, not to clear the page's storage when it runs short of room.
  persist() {
    if (this.persisted || !navigator.storage?.persist) return;
    this.persisted = true;
    navigator.storage.persist().catch(() => {});
  }

  read(key, fallback) {
    try {
      return JSON.parse(localStorage.getItem(`${kPrefix}${key}`)) ?? fallback;
    } catch {
      return fallback;
    }
  }
}
