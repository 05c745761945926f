// make bench's web part, in headless chromium on this machine, with the shipped word list:
//   node tests/web/bench.mjs [LOADS] [PRESSES]
// - a cold load (a new browser profile: no cache, no service worker) from localhost to the first frame,
//   and the bytes it took from the server, as sent (gzip) and as the files are;
// - presses on the pad, each from its pointerdown to its final frame, against their floor: the
//   number of yields the press made to the browser times the median of a yield with nothing queued;
// - "Nueva Partida": from the click on the menu item to its frame; and the word choice alone, from the
//   click to the first drawing of the new frame (the game draws nothing while it chooses), with the
//   one yield it makes to the browser, which waits for the browser's frame after the click;
// - a frame: the time from a press's pressed-key frame to its final frame (the rules and one frame),
//   and its work, its yields' floor taken out.
// The page is timed from inside: a script that runs before the page's own records when each frame
// is counted (window.letrazul.frames) and each yield posted (the runtime yields through a
// MessageChannel, which this script counts).
import { WebGame, launch, layout, serve, site } from './browser.mjs';

const loads = Number(process.argv[2] ?? 7);
const presses = Number(process.argv[3] ?? 120);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

function percentile(values, share) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(share * sorted.length))];
}
const median = (values) => percentile(values, 0.5);

function timing() {
  const bench = (window.letrazulBench = { posts: [], frames: [], downs: [], clicks: [], draws: [], firstFrame: null });
  const post = MessagePort.prototype.postMessage;
  MessagePort.prototype.postMessage = function (...args) {
    bench.posts.push(performance.now());
    return post.apply(this, args);
  };
  addEventListener('pointerdown', () => bench.downs.push(performance.now()), true);
  let drawAwaited = false;
  addEventListener('click', () => {
    bench.clicks.push(performance.now());
    drawAwaited = true;
  }, true);
  // The first drawing on any canvas after a click, and no other: this runs for every letter drawn.
  for (const name of ['fillRect', 'drawImage', 'fillText', 'putImageData']) {
    const draw = CanvasRenderingContext2D.prototype[name];
    CanvasRenderingContext2D.prototype[name] = function (...args) {
      if (drawAwaited) {
        drawAwaited = false;
        bench.draws.push(performance.now());
      }
      return draw.apply(this, args);
    };
  }
  let surface;
  Object.defineProperty(window, 'letrazul', {
    configurable: true,
    get: () => surface,
    set(value) {
      surface = value;
      let count = value.frames;
      Object.defineProperty(value, 'frames', {
        get: () => count,
        set(n) {
          count = n;
          bench.frames.push(performance.now());
          bench.firstFrame ??= bench.frames[0];
        },
      });
    },
  });
}

const browser = await launch();
const server = await serve(site, { log: true });
try {
  // Cold loads: the first only warms the server's gzip store.
  const loadTimes = [];
  let sent = [];
  for (let run = 0; run <= loads; ++run) {
    server.sent();
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.evaluateOnNewDocument(timing);
    await page.goto(server.url);
    await page.waitForFunction(() => window.letrazulBench.firstFrame !== null, { timeout: 20000, polling: 50 });
    // The service worker's own fetches count too: the load is what the first visit costs.
    await page.evaluate(() => navigator.serviceWorker?.ready);
    await sleep(500);
    if (run > 0) loadTimes.push(await page.evaluate(() => window.letrazulBench.firstFrame));
    sent = server.sent();
    await context.close();
  }
  const total = (key, files = sent) => files.reduce((sum, file) => sum + file[key], 0);
  const wasm = sent.filter((file) => file.path.endsWith('.wasm'));
  const kb = (bytes) => `${(bytes / 1024).toFixed(0)} KB`;
  console.log(`web: cold load from localhost to the first frame, ${loads} loads: median ${median(loadTimes).toFixed(0)} ms   ` +
    `max ${Math.max(...loadTimes).toFixed(0)} ms   (target: at most 1000 ms)`);
  console.log(`web: first load, ${sent.length} files: ${kb(total('bytes'))} sent with gzip, ${kb(total('plain'))} plain   ` +
    `(target: at most 1536 KB); the wasm alone ${kb(total('bytes', wasm))} gzip, ${kb(total('plain', wasm))} plain`);

  // Presses, on the shipped list, in one page.
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.evaluateOnNewDocument(timing);
  await page.goto(server.url);
  const game = new WebGame(page);
  await game.ready();
  await game.waitUntilStill(300);
  // A yield with nothing queued, as the runtime makes it: a round trip through a MessageChannel, a
  // thousand in a row (one is below the page's clock's resolution), the median of five such runs.
  const yieldTime = await page.evaluate(async () => {
    const channel = new MessageChannel();
    const runs = [];
    for (let run = 0; run < 5; ++run) {
      const start = performance.now();
      for (let i = 0; i < 1000; ++i)
        await new Promise((done) => {
          channel.port1.onmessage = done;
          channel.port2.postMessage(0);
        });
      runs.push((performance.now() - start) / 1000);
    }
    return runs.sort((a, b) => a - b)[2];
  });
  // The page's own yields since, for the presses: these were not the game's.
  await page.evaluate(() => (window.letrazulBench.posts.length = 0));
  // From the click on the menu item, the command, to its frame.
  const newGame = async () => {
    await game.command('nueva-partida');
    await game.waitUntilStill(200);
    return page.evaluate(() => {
      const { clicks, frames, draws, posts } = window.letrazulBench;
      const click = clicks.at(-1);
      const drawn = draws.find((t) => t > click);
      const yielded = posts.find((t) => t > click && t < drawn);
      return { whole: frames.filter((t) => t > click).at(-1) - click, choice: drawn - click, yieldWait: drawn - yielded };
    });
  };
  const newGames = [await newGame()];
  const letters = 'aeosrnildtcumpbgvyqhfzjñxkw';
  const { keys, pressY } = layout();
  const times = [], floors = [], frameTimes = [];
  for (let i = 0; times.length < presses; ++i) {
    const letter = letters[i % letters.length];
    await game.press(keys.find((k) => k.letter === letter).pressX, pressY);
    await game.waitUntilStill(150);
    if ((await game.boxes()).length) {
      await game.closeBox();
      newGames.push(await newGame());
      continue;
    }
    const press = await page.evaluate(() => {
      const { downs, frames, posts } = window.letrazulBench;
      const down = downs.at(-1);
      const after = frames.filter((t) => t > down);
      const last = after.at(-1);
      return {
        time: last - down,
        yields: posts.filter((t) => t > down && t <= last).length,
        frame: after.length >= 2 ? after[1] - after[0] : null,
        frameYields: after.length >= 2 ? posts.filter((t) => t > after[0] && t <= after[1]).length : 0,
      };
    });
    if (!Number.isFinite(press.time)) continue;
    times.push(press.time);
    floors.push(press.yields * yieldTime);
    if (press.frame !== null) frameTimes.push({ time: press.frame, floor: press.frameYields * yieldTime });
  }
  // Games lost within the presses are few: ten more, each abandoning the one before.
  for (let game = 0; game < 10; ++game) newGames.push(await newGame());
  await context.close();
  const pressMedian = median(times), floorMedian = median(floors);
  console.log(`web: ${times.length} presses on the shipped list, each from its pointerdown to its final frame:`);
  console.log(`  press:  median ${pressMedian.toFixed(1)} ms   p95 ${percentile(times, 0.95).toFixed(1)} ms   (target: median at most 60 ms)`);
  console.log(`  one yield (empty queue): median ${yieldTime.toFixed(3)} ms`);
  console.log(`  floor:  median ${floorMedian.toFixed(1)} ms   (yields x median yield)`);
  console.log(`  median press / median floor: ${(pressMedian / floorMedian).toFixed(3)}`);
  const frames = frameTimes.map((f) => f.time), work = frameTimes.map((f) => f.time - f.floor);
  console.log(`web: a frame (pressed-key frame to the final one: the rules and one frame), ${frames.length} frames:`);
  console.log(`  median ${median(frames).toFixed(1)} ms   of which drawing work, the yields' floor taken out: median ${median(work).toFixed(1)} ms`);
  const of = (key) => newGames.map((game) => game[key]);
  console.log(`web: "Nueva Partida" on the shipped list, ${newGames.length} games: median ${median(of('whole')).toFixed(1)} ms with its frame;`);
  console.log(`  a whole word choice, from the click to the new frame's first drawing: median ${median(of('choice')).toFixed(1)} ms   ` +
    `max ${Math.max(...of('choice')).toFixed(1)} ms   (target: at most 40 ms)`);
  console.log(`  of which its yield to the browser, from the yield to that drawing: median ${median(of('yieldWait')).toFixed(1)} ms`);
} finally {
  await browser.close();
  await server.stop();
}
