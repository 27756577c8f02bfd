// SPDX-License-Identifier: GPL-3.0-or-later
// What the browser tests share: a page's downloads.
import { mkdirSync, readdirSync } from 'node:fs';
import { join } from 'node:path';

// The file ending in suffix the page downloaded into dir, once it is there.
export async function downloaded(dir, suffix) {
  for (let i = 0; i < 100; i++) {
    const file = readdirSync(dir).find((f) => f.endsWith(suffix));
    if (file) return join(dir, file);
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error(`no ${suffix} downloaded`);
}

// The page's downloads go into dir.
export function downloads(page, dir) {
  mkdirSync(dir, { recursive: true });
  // A page of a browser context of its own downloads in that context.
  const context = page.browserContext().id;
  const where = { behavior: 'allow', downloadPath: dir, ...(context ? { browserContextId: context } : {}) };
  return page.target().createCDPSession().then((cdp) => cdp.send('Browser.setDownloadBehavior', where));
}
