// SPDX-License-Identifier: GPL-3.0-or-later
// The page's service worker: every file of the page kept in a cache of its version,
// so that a second visit plays without the network. The build writes the list of
// files and their hashes into kFiles (web/tools/ship.mjs); each file is fetched
// checked against its hash, so a version's cache holds that version's files and no
// other's. A new version is fetched beside the old one and waits: the pages open go on
// with the old one until the player takes the new (the page's 更新) or closes them.
const kFiles = {}; // written by the build: { 'path': 'sha256-...' }
const kVersion = ''; // written by the build: a hash of kFiles
const kCache = `velcor-${kVersion}`;

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches.open(kCache).then((cache) =>
      Promise.all(
        Object.entries(kFiles).map(async ([path, integrity]) => {
          // Past any cache between here and the server, and refused when its bytes are
          // not this version's: the install then fails, and the old version stays.
          const response = await fetch(new Request(path, { cache: 'no-cache', integrity }));
          if (!response.ok) throw new Error(`${path}: ${response.status}`);
          await cache.put(path, response);
        }),
      ),
    ),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names.filter((n) => n.startsWith('velcor-') && n !== kCache).map((n) => caches.delete(n)))));
});

// The page asks for the new version when the player takes it.
self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

const scope = new URL(self.registration.scope);
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const url = new URL(request.url);
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return;
  let path = url.pathname.slice(scope.pathname.length);
  if (path === '' && request.mode === 'navigate') path = 'index.html';
  if (!(path in kFiles)) return;
  event.respondWith(caches.open(kCache).then(async (cache) => (await cache.match(path)) ?? fetch(request)));
});
