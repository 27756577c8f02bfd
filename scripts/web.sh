#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game in a browser: builds the engine with Debian's emscripten (one thread, no
# SharedArrayBuffer needed) and puts the page together in build/web/, a folder any
# static server can serve: index.html, the page's scripts, the engine's .js and .wasm
# (the scenarios built in), words.json (the texts of translations/), res/ and data/,
# the web app manifest and the service worker with the hashes of every file; each
# file a browser may take packed also as NAME.br and NAME.gz beside it.
# Also writes build/web-cmake/velcor, the headless game under node.
#   scripts/web.sh               build (installs emscripten when it is missing)
#   scripts/web.sh serve [PORT]  build, then serve build/web on http://localhost:PORT (8000)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/packages.sh"
"$here/scripts/ensure-packages.sh" "${VELCOR_WEB_PACKAGES[@]}"
cd "$here"

case "${1:-}" in
  ""|serve) ;;
  *) echo "usage: $0 [serve [PORT]]" >&2; exit 2 ;;
esac

# emscripten's tools run on node and find Debian's acorn there. Its system libraries
# come prebuilt with the package (/usr/share/emscripten/cache): nothing is built there.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
build=build/web-cmake
out=build/web
if [ ! -f "$build/build.ninja" ]; then
  emcmake cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_UNITY_BUILD=ON \
    -DVELCOR_BUILD_GUI=OFF -DVELCOR_BUILD_TESTS=OFF -DVELCOR_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "${VELCOR_BUILD_JOBS:-$(nproc)}"
cat > "$build/velcor" <<'SH'
#!/bin/sh
# velcor --headless under node (built by scripts/web.sh).
exec node --no-experimental-fetch "$(dirname "$0")/src/web/velcor-node.js" "$@"
SH
chmod +x "$build/velcor"

rm -rf "$out.new"
mkdir -p "$out.new/res" "$out.new/data"
cp web/index.html web/*.js web/velcor.css web/manifest.webmanifest "$out.new/"
cp "$build/src/web/velcor-engine.js" "$build/src/web/velcor-engine.wasm" "$out.new/"
cp res/*.png "$out.new/res/"
cp data/*.txt "$out.new/data/"
node web/tools/words.mjs . "$out.new/words.json"
node web/tools/ship.mjs "$out.new"
rm -rf "$out"
mv "$out.new" "$out"
echo "build/web: $(du -sk "$out" | cut -f1) KB, the engine $(stat -c %s "$out/velcor-engine.wasm") bytes of WebAssembly ($(stat -c %s "$out/velcor-engine.wasm.gz") gzipped, $(stat -c %s "$out/velcor-engine.wasm.br") with brotli)"

if [ "${1:-}" = serve ]; then
  exec node web/tools/serve.mjs "$out" "${2:-8000}"
fi
