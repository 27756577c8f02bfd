// SPDX-License-Identifier: GPL-3.0-or-later
// Serves a folder on localhost as any static server would, with the types a browser
// wants for the module, the WebAssembly and the manifest. A file the build packed
// (NAME.br, NAME.gz beside it) goes packed to a browser that takes it so; each answer
// carries a validator, so that a browser checking its copy gets 304 and no bytes.
// The page's build has no threads, so no cross-origin isolation headers are needed.
// localhost is a secure place for a browser: the page's service worker and storage
// work there as on https.
//   node web/tools/serve.mjs DIR [PORT]     (PORT 0: any free port, printed)
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.txt': 'text/plain; charset=shift_jis',
};
const packings = [
  ['br', '.br'],
  ['gzip', '.gz'],
];

export function serve(dir, port = 0, host = '127.0.0.1') {
  const root = normalize(dir);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
    if (file !== root && !file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const taken = (request.headers['accept-encoding'] ?? '').split(',').map((e) => e.trim().split(';')[0]);
      let sent = file;
      let encoding = null;
      for (const [name, suffix] of packings) {
        if (!taken.includes(name)) continue;
        if (await stat(file + suffix).then((s) => s.isFile(), () => false)) {
          sent = file + suffix;
          encoding = name;
          break;
        }
      }
      const { size, mtimeMs } = await stat(sent);
      const tag = `"${Math.round(mtimeMs).toString(36)}-${size.toString(36)}"`;
      const headers = { 'Content-Type': types[extname(file)] ?? 'application/octet-stream', 'Cache-Control': 'no-cache', ETag: tag, Vary: 'Accept-Encoding' };
      if (encoding) headers['Content-Encoding'] = encoding;
      if (request.headers['if-none-match'] === tag) {
        response.writeHead(304, headers).end();
        return;
      }
      const body = await readFile(sent);
      response.writeHead(200, { ...headers, 'Content-Length': body.length });
      response.end(request.method === 'HEAD' ? undefined : body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => server.listen(port, host, () => resolve(server)));
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [dir, port = '8000'] = process.argv.slice(2);
  const server = await serve(dir, Number(port));
  console.log(`Velcor: http://localhost:${server.address().port}/  (Ctrl+C ends)`);
}
