// The README's picture of the web page: the site of build/web/site in Debian's chromium, a round
// half played on a word list of its own, the page as a browser window shows it.
//   node tools/web-picture.mjs PICTURE.png
import { mkdtempSync, readdirSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { WebGame, launch, serve, site } from '../tests/web/browser.mjs';

const picture = process.argv[2];
if (!picture) {
  console.error('usage: web-picture.mjs PICTURE.png');
  process.exit(2);
}
// The site as it is, but for a list of one word, so the picture shows the same round every time.
const folder = mkdtempSync(join(tmpdir(), 'letrazul-picture-'));
for (const name of readdirSync(site)) if (name !== 'dic.txt') symlinkSync(join(site, name), join(folder, name));
writeFileSync(join(folder, 'dic.txt'), 'murcielago\r\n');

const server = await serve(folder);
const browser = await launch();
try {
  const game = await WebGame.open(browser, server.url);
  await game.page.setViewport({ width: 960, height: 744 });
  await game.command('nueva-partida');
  await game.waitUntilStill();
  // The pad's first twelve keys, a to l, lie 30 pixels apart from the middle of a at (24, 564).
  for (const letter of 'eabclid') {
    await game.press(24 + 30 * (letter.charCodeAt(0) - 97), 564);
    await game.waitUntilStill();
  }
  await game.page.screenshot({ path: picture });
  console.log(`web-picture: ${picture}`);
} finally {
  await browser.close();
  await server.stop();
  rmSync(folder, { recursive: true, force: true });
}
