// The web build played in a real browser, as the Windows end-to-end tests play the program: whole
// games whose frames must match the Windows build's, the sounds asked for, the message boxes, the
// word lists (beside the page, chosen from the device, missing), the closing screen, and a reload
// with the server gone, from what the service worker kept.
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { WebGame, launch, layout, referenceFrame, serve, site } from './browser.mjs';
import { compareFrames } from './frames.mjs';

const usableLines = 87568;
// A list whose every line is `word`, so every choice takes it.
const listOf = (word) => `${word}\r\n`.repeat(usableLines);
// Twelve words of the letters s, o and l alone: typing "sol" solves any of them without a miss.
const twelve = ['sol', 'los', 'solo', 'lso', 'oslo', 'sool', 'loso', 'olso', 'llos', 'soll', 'ssol', 'olls'];

let folder, server, browser;
const frames = {};

before(async () => {
  folder = mkdtempSync(join(tmpdir(), 'letrazul-web-'));
  // One copy of the site a word list: each its own origin path, so the service workers stay apart.
  for (const [name, list] of [['sol', listOf('sol')], ['doce', twelve.join('\r\n') + '\r\n'], ['sin-lista', null]]) {
    cpSync(site, join(folder, name), { recursive: true });
    if (list === null) rmSync(join(folder, name, 'dic.txt'), { force: true });
    else writeFileSync(join(folder, name, 'dic.txt'), list, 'latin1');
  }
  server = await serve(folder);
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.stop();
  rmSync(folder, { recursive: true, force: true });
});

async function fresh(path) {
  const context = await browser.createBrowserContext();
  return { context, game: await WebGame.open(context, new URL(path, server.url).href) };
}

async function expectFrame(game, name) {
  const faults = await game.expectFrame(name);
  if (faults.length) assert.fail(`the frame "${name}" differs from the Windows build's:\n  ${faults.join('\n  ')}`);
  frames[name] = await game.frame();
}

test('a whole game: misses, a lost word, reveals, ten solved words and a life back, GAME OVER', { timeout: 120000 }, async () => {
  const { context, game } = await fresh('/sol/');
  await expectFrame(game, 'first-frame');
  // Before the first game the pad ignores presses: no key turns yellow, no box comes.
  await game.type('a');
  await game.press(9, 560);
  await game.waitUntilStill();
  await expectFrame(game, 'first-frame');
  assert.deepEqual(await game.boxes(), []);

  await game.command('nueva-partida');
  await expectFrame(game, 'new-game');
  await game.type('abcde');
  await expectFrame(game, 'five-misses');
  await game.type('f');
  await expectFrame(game, 'word-lost');
  await game.type('s');
  await expectFrame(game, 'letter-found');
  await game.type('ol');
  await expectFrame(game, 'word-solved');
  await game.type('sol'.repeat(9));
  await expectFrame(game, 'ten-solved');

  await game.type('abcdef'.repeat(3));
  const over = await game.waitForBox();
  assert.deepEqual(over, { caption: 'Programador', text: 'GAME OVER' });
  await game.closeBox();
  await expectFrame(game, 'game-over');
  // A press after the end shows the pressed key and the box again, and changes nothing.
  await game.type('ñ');
  assert.deepEqual(await game.waitForBox(), { caption: 'Programador', text: 'GAME OVER' });
  await game.closeBox();
  await expectFrame(game, 'game-over-pressed');

  // The game's sounds in its order: a new game, six misses and the lost word, three letters found
  // and the solved word ten times, two more lost words, and six misses that end the game.
  const lost = [...Array(6).fill('302'), '305'];
  const expected = ['301', ...lost];
  for (let word = 0; word < 10; ++word) expected.push('303', '303', '303', '304');
  expected.push(...lost, ...lost, ...Array(6).fill('302'), '300');
  assert.deepEqual(await game.sounds(), expected);
  await context.close();
});

test('"Autor" opens its box, the game answers behind it, and "Salir del programa" ends it', { timeout: 120000 }, async () => {
  const { context, game } = await fresh('/sol/');
  await game.command('autor');
  const box = await game.waitForBox();
  assert.equal(box.caption, 'Programador ...');
  assert.deepEqual(box.text.split(/\r?\n/), [
    'Programa realizado por Quimbal España ...',
    'https://letrazul.example.org',
    'Visitame ...',
    'Gracias !!',
  ]);
  // No owner, as on Windows: the game goes on under the open box.
  await game.command('nueva-partida');
  await game.type('s');
  await expectFrame(game, 'letter-found-first');
  assert.equal((await game.boxes()).length, 1);
  await game.closeBox();

  await game.command('salir');
  await game.page.waitForSelector('#closed', { visible: true });
  assert.equal(await game.page.evaluate(() => window.letrazul.ended), true);
  await game.page.click('#play-again');
  await game.ready();
  await expectFrame(game, 'first-frame');
  await context.close();
});

test('a list of twelve words beside the page is played to its end', { timeout: 120000 }, async () => {
  const { context, game } = await fresh('/doce/');
  await game.command('nueva-partida');
  await game.type('sol'.repeat(12));
  const box = await game.waitForBox();
  assert.deepEqual(box, {
    caption: 'Letrazul',
    text: 'Ya han salido todas las palabras de dic.txt. Palabras acertadas: 12.',
  });
  const solved = (await game.sounds()).filter((name) => name === '304').length;
  assert.equal(solved, 11, 'the twelfth solved word ends the list, with no sound of its own');
  await context.close();
});

test('without dic.txt a new game says so; a list chosen from the device plays; ours comes back', { timeout: 120000 }, async () => {
  const { context, game } = await fresh('/sin-lista/');
  await game.command('nueva-partida');
  const missing = await game.waitForBox();
  assert.equal(missing.caption, 'Letrazul');
  assert.match(missing.text, /dic\.txt/);
  await game.closeBox();
  await expectFrame(game, 'first-frame');

  // A list as Notepad saves it: UTF-8 with its mark, Linux line ends, a capital with an accent.
  const list = join(folder, 'mi-lista.txt');
  writeFileSync(list, '\xEF\xBB\xBF  CAMI\xC3\x93N \t\nde\n', 'latin1');
  const picker = await game.page.$('#word-file');
  await picker.uploadFile(list);
  await game.page.waitForFunction(() => document.querySelector('#word-list')?.textContent.includes('mi-lista.txt'), { polling: 50 });
  await game.command('nueva-partida');
  await game.type('camion');
  const usedUp = await game.waitForBox();
  assert.equal(usedUp.caption, 'Letrazul');
  assert.match(usedUp.text, /Palabras acertadas: 1\.$/);
  await game.closeBox();

  await game.page.click('#word-list-reset');
  await game.page.waitForFunction(() => !document.querySelector('#word-list')?.textContent.includes('mi-lista.txt'), { polling: 50 });
  await game.command('nueva-partida');
  assert.match((await game.waitForBox()).text, /dic\.txt/);
  await context.close();
});

test('after a first visit the page starts and plays with the server gone', { timeout: 120000 }, async () => {
  const own = await serve(join(folder, 'sol'));
  const context = await browser.createBrowserContext();
  try {
    const game = await WebGame.open(context, own.url);
    await game.page.evaluate(() => navigator.serviceWorker.ready);
    await own.stop();
    await game.page.reload();
    await game.ready();
    await game.command('nueva-partida');
    await game.type('s');
    await expectFrame(game, 'letter-found-first');
  } finally {
    await own.stop();
    await context.close();
  }
});

// On the Windows frame itself, and on the web one when the game above matched it: each fault made
// on purpose must fail the comparison.
test('the comparison fails a key drawn a pixel off, a text colour a step off, a changed background pixel', { timeout: 120000 }, () => {
  const windows = referenceFrame('five-misses');
  const background = referenceFrame('background');
  const ink = (data, i) => data[i] !== background.data[i] || data[i + 1] !== background.data[i + 1] || data[i + 2] !== background.data[i + 2];
  for (const shown of [windows, frames['five-misses']].filter(Boolean)) {
    assert.deepEqual(compareFrames(windows, shown, background), []);
    const changed = (change) => {
      const copy = { ...shown, data: Uint8ClampedArray.from(shown.data) };
      change(copy.data);
      return compareFrames(windows, copy, background);
    };
    // Key a drawn one pixel to the right over the same background.
    const a = layout().keys[0];
    const moved = changed((data) => {
      for (let y = a.top - 6; y <= a.bottom + 6; ++y)
        for (let x = a.left - 6; x <= a.right + 6; ++x) {
          const p = (y * 800 + x) * 4, from = p - 4;
          const source = ink(shown.data, from) ? shown.data.subarray(from, from + 4) : background.data.subarray(p, p + 4);
          data.set(source, p);
        }
    });
    assert.notDeepEqual(moved, [], 'a key one pixel off passes');
    // The keys' red one step darker wherever it is.
    const recoloured = changed((data) => {
      for (let i = 0; i < data.length; i += 4) if (data[i] === 255 && !data[i + 1] && !data[i + 2]) data[i] = 254;
    });
    assert.notDeepEqual(recoloured, [], 'keys one step off their red pass');
    const speck = changed((data) => (data[(300 * 800 + 700) * 4] ^= 1));
    assert.notDeepEqual(speck, [], 'a background pixel one step off passes');
  }
});
