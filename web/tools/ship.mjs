// SPDX-License-Identifier: GPL-3.0-or-later
// Finishes the page's build in DIR: the service worker (sw.js) gets the list of every
// file with its hash, and with it a version of its own (a build that changes one byte
// is a new version); every file a browser may take packed is written beside itself
// packed, NAME.br (brotli) and NAME.gz (gzip), for a server to send as it stands
// (web/tools/serve.mjs does; nginx's gzip_static and brotli_static do).
//   node web/tools/ship.mjs DIR
import { createHash } from 'node:crypto';
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { extname, join, relative, sep } from 'node:path';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';

const [dir] = process.argv.slice(2);
if (!dir) {
  console.error('usage: node ship.mjs DIR');
  process.exit(2);
}
const kPackable = new Set(['.html', '.js', '.css', '.json', '.wasm', '.txt', '.webmanifest']);
const kWorker = 'sw.js';

function* filesUnder(folder) {
  for (const entry of readdirSync(folder, { withFileTypes: true }).sort((a, b) => (a.name < b.name ? -1 : 1))) {
    const path = join(folder, entry.name);
    if (entry.isDirectory()) yield* filesUnder(path);
    else if (!/\.(br|gz)$/.test(entry.name)) yield path;
  }
}

const files = {};
for (const path of filesUnder(dir)) {
  const name = relative(dir, path).split(sep).join('/');
  if (name !== kWorker) files[name] = `sha256-${createHash('sha256').update(readFileSync(path)).digest('base64')}`;
}
const version = createHash('sha256').update(JSON.stringify(files)).digest('hex').slice(0, 16);
const worker = join(dir, kWorker);
const source = readFileSync(worker, 'utf8');
const written = source
  .replace(/^const kFiles = \{\};.*$/m, `const kFiles = ${JSON.stringify(files)};`)
  .replace(/^const kVersion = '';.*$/m, `const kVersion = '${version}';`);
if (written === source || !written.includes(version) || written.includes('const kFiles = {};')) {
  console.error(`${worker}: no place for the list of files`);
  process.exit(1);
}
writeFileSync(worker, written);

let plain = 0;
let packed = 0;
for (const path of filesUnder(dir)) {
  if (!kPackable.has(extname(path))) continue;
  const bytes = readFileSync(path);
  const brotli = brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11, [constants.BROTLI_PARAM_SIZE_HINT]: bytes.length } });
  const gzip = gzipSync(bytes, { level: 9 });
  if (gzip.length >= bytes.length) continue;
  writeFileSync(`${path}.br`, brotli);
  writeFileSync(`${path}.gz`, gzip);
  plain += bytes.length;
  packed += brotli.length;
}
console.log(`${Object.keys(files).length} files of version ${version}; ${Math.round(plain / 1024)} KB packed to ${Math.round(packed / 1024)} KB`);
