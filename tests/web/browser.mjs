// Drives the web build as a player would, in Debian's chromium without a screen: serves a site with
// tools/web-server.mjs, opens the page, presses where the keys are, uses the menu and the message
// boxes, and reads the page's test surface (window.letrazul): its frames, its sounds, its end.
import { spawn } from 'node:child_process';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { compareFrames } from './frames.mjs';
import { readPng, writePng } from './png.mjs';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const site = resolve(process.env.LETRAZUL_WEB_SITE ?? join(root, 'build/web/site'));
// The Windows build's frames and layout (reference_frames.exe under Wine).
export const references = resolve(process.env.LETRAZUL_WEB_FRAMES ?? join(root, 'build/win64/web-frames'));
// Where a failed comparison leaves both frames.
export const failures = join(root, 'build/web-tests');

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// A static server on a free port; stop() ends it. With `log`, sent() lists the files it has sent
// since the last call: {path, bytes, plain}.
export async function serve(folder, { log = false } = {}) {
  const server = spawn(process.execPath, [join(root, 'tools/web-server.mjs'), folder, '0'], {
    stdio: ['ignore', 'pipe', 'inherit'],
    env: { ...process.env, WEB_SERVER_LOG: log ? '1' : '' },
  });
  let sent = [];
  let pending = '';
  const url = await new Promise((done, fail) => {
    server.stdout.on('data', (chunk) => {
      pending += chunk;
      const lines = pending.split('\n');
      pending = lines.pop();
      for (const line of lines) {
        const [word, path, bytes, plain] = line.split(' ');
        if (word === 'sent') sent.push({ path, bytes: Number(bytes), plain: Number(plain) });
        else if (line.startsWith('http')) done(line.trim());
      }
    });
    server.once('exit', (code) => fail(new Error(`the web server ended with ${code}`)));
  });
  return {
    url,
    sent: () => [sent, (sent = [])][0],
    stop: () =>
      new Promise((done) => {
        if (server.exitCode !== null || server.signalCode !== null) return done();
        server.once('exit', done);
        server.kill();
      }),
  };
}

export function launch() {
  const args = [
    '--headless',
    '--disable-gpu',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--no-first-run',
    '--disable-quic',
    // The page's sounds start from a press, as the browser's autoplay rule asks; headless, nothing plays.
    '--autoplay-policy=no-user-gesture-required',
  ];
  if (process.getuid?.() === 0) args.push('--no-sandbox');
  return puppeteer.launch({
    executablePath: process.env.LETRAZUL_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args,
  });
}

let layoutRead;
// Where the Windows build draws and hit-tests its keys.
export function layout() {
  layoutRead ??= JSON.parse(readFileSync(join(references, 'layout.json'), 'utf8'));
  return layoutRead;
}

export function referenceFrame(name) {
  return readPng(readFileSync(join(references, `${name}.png`)));
}

export class WebGame {
  constructor(page) {
    this.page = page;
  }

  static async open(context, url) {
    const game = new WebGame(await context.newPage());
    await game.page.goto(url);
    await game.ready();
    return game;
  }

  async ready() {
    await this.page.waitForFunction(() => window.letrazul !== undefined, { timeout: 15000, polling: 50 });
    await this.page.evaluate(() => window.letrazul.ready);
  }

  // A press and release at (x, y) of the 800 x 600 frame, wherever the page has scaled it to.
  async press(x, y) {
    const at = await this.page.$eval(
      '#screen',
      (canvas, x, y) => {
        const box = canvas.getBoundingClientRect();
        return { x: box.left + ((x + 0.5) * box.width) / 800, y: box.top + ((y + 0.5) * box.height) / 600 };
      },
      x,
      y,
    );
    await this.page.mouse.click(at.x, at.y);
  }

  async type(letters) {
    const { keys, pressY } = layout();
    for (const letter of letters) await this.press(keys.find((k) => k.letter === letter).pressX, pressY);
  }

  // A menu item by its id: nueva-partida, autor, salir.
  async command(item) {
    await this.page.click('#menu-opciones');
    await this.page.waitForSelector(`#${item}`, { visible: true });
    await this.page.click(`#${item}`);
  }

  // The open message boxes, oldest first.
  boxes() {
    return this.page.$$eval('dialog.box[open]', (boxes) =>
      boxes.map((box) => ({
        caption: box.querySelector('.caption')?.textContent ?? '',
        text: box.querySelector('.text')?.textContent ?? '',
      })),
    );
  }

  // The newest open box once there is one.
  async waitForBox(timeout = 10000) {
    await this.page.waitForSelector('dialog.box[open]', { timeout });
    return (await this.boxes()).at(-1);
  }

  // Answers the newest box with its OK, as a player would.
  async closeBox() {
    const before = (await this.boxes()).length;
    const oks = await this.page.$$('dialog.box[open] .ok');
    await oks.at(-1).click();
    await this.page.waitForFunction((n) => document.querySelectorAll('dialog.box[open]').length < n, { polling: 50 }, before);
  }

  async frame() {
    const encoded = await this.page.evaluate(() => {
      const { width, height, data } = window.letrazul.lastFrame();
      let text = '';
      for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
      return { width, height, data: btoa(text) };
    });
    return { ...encoded, data: new Uint8ClampedArray(Buffer.from(encoded.data, 'base64')) };
  }

  frames() {
    return this.page.evaluate(() => window.letrazul.frames);
  }

  sounds() {
    return this.page.evaluate(() => window.letrazul.sounds.map((name) => String(name).replace(/^#/, '')));
  }

  // Waits until the page shows the Windows build's frame `name`; the faults of the last frame seen
  // when it does not within the time, both frames kept in build/web-tests/.
  async expectFrame(name, timeout = 10000) {
    const windows = referenceFrame(name);
    const background = referenceFrame('background');
    const deadline = Date.now() + timeout;
    for (;;) {
      const shown = await this.frame();
      const faults = compareFrames(windows, shown, background);
      if (!faults.length) return [];
      if (Date.now() > deadline) {
        mkdirSync(failures, { recursive: true });
        writeFileSync(join(failures, `${name}-windows.png`), writePng(windows));
        writeFileSync(join(failures, `${name}-web.png`), writePng(shown));
        return faults;
      }
      await sleep(150);
    }
  }

  // Waits until no frame has come for `stillMs`.
  async waitUntilStill(stillMs = 400) {
    let count = await this.frames();
    for (let still = 0; still < stillMs; still += 100) {
      await sleep(100);
      const now = await this.frames();
      if (now !== count) (count = now), (still = -100);
    }
  }
}
