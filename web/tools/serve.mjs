// SPDX-License-Identifier: GPL-3.0-or-later
// Serves a folder on localhost as any static server would, with the types a browser
// wants for the module and the WebAssembly. The page's build has no threads, so no
// cross-origin isolation headers are needed.
//   node web/tools/serve.mjs DIR [PORT]     (PORT 0: any free port, printed)
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.txt': 'text/plain; charset=shift_jis',
};

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
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream', 'Cache-Control': 'no-cache' });
      response.end(body);
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
