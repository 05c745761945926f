// Assembles the web site from the emscripten build and the game's own sources:
//   node tools/web-site.mjs SOURCE_DIR BUILD_DIR SITE_DIR
// The background bitmap becomes a lossless WebP (cwebp), the icon PNGs of the sizes an installed
// web app wants, the font a WOFF2 (woff2_compress); the service worker gets the list of every
// file and a cache name made from their contents, so a new build replaces the cached site whole.
import {execFileSync} from 'node:child_process';
import {createHash} from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

const [source, build, site] = process.argv.slice(2);
if (!site) {
  console.error('usage: web-site.mjs SOURCE_DIR BUILD_DIR SITE_DIR');
  process.exit(2);
}
const fontFile = '/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf';
const fontLicence = '/usr/share/doc/fonts-liberation/copyright';
const sounds = [300, 301, 302, 303, 304, 305].map(n => `sound${n}.wav`);

fs.rmSync(site, {recursive: true, force: true});
fs.mkdirSync(site, {recursive: true});
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'letrazul-site-'));
const copy = (from, name) => fs.copyFileSync(from, path.join(site, name));

for (const name of ['letrazul.js', 'letrazul.wasm']) copy(path.join(build, name), name);
for (const name of ['index.html', 'page.css', 'page.js']) copy(path.join(source, 'web', name), name);
copy(path.join(source, 'data', 'dic.txt'), 'dic.txt');
for (const name of sounds) copy(path.join(source, 'resources', name), name);
copy(path.join(source, 'resources', 'icon.png'), 'icon.png');
copy(fontLicence, 'LiberationSerif-LICENCE.txt');

// The bitmap: 24 or 32 bits a pixel, uncompressed, rows bottom-up unless the height is negative.
function readBmp(file) {
  const bytes = fs.readFileSync(file);
  const offset = bytes.readUInt32LE(10), width = bytes.readInt32LE(18), rawHeight = bytes.readInt32LE(22);
  const bits = bytes.readUInt16LE(28), compression = bytes.readUInt32LE(30);
  if ((bits !== 24 && bits !== 32) || (compression !== 0 && compression !== 3))
    throw new Error(`${file}: only 24- and 32-bit uncompressed bitmaps`);
  const height = Math.abs(rawHeight), step = bits / 8, stride = Math.ceil(width * step / 4) * 4;
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y) {
    const row = offset + (rawHeight > 0 ? height - 1 - y : y) * stride;
    for (let x = 0; x < width; ++x) {
      const at = row + x * step, to = (y * width + x) * 3;
      rgb[to] = bytes[at + 2], rgb[to + 1] = bytes[at + 1], rgb[to + 2] = bytes[at];
    }
  }
  return {width, height, rgb};
}
const bitmap = readBmp(path.join(source, 'resources', 'background.bmp'));
const ppm = path.join(work, 'background.ppm');
fs.writeFileSync(ppm, Buffer.concat([Buffer.from(`P6\n${bitmap.width} ${bitmap.height}\n255\n`), bitmap.rgb]));
execFileSync('cwebp', ['-quiet', '-lossless', '-exact', '-z', '6', ppm, '-o', path.join(site, 'background.webp')]);

// PNG: what the icon needs, 8-bit RGBA without interlacing, read and written.
const crcTable = Array.from({length: 256}, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
const crc = bytes => {
  let c = 0xFFFFFFFF;
  for (const b of bytes) c = crcTable[(c ^ b) & 255] ^ (c >>> 8);
  return (c ^ 0xFFFFFFFF) >>> 0;
};
function readPng(file) {
  const bytes = fs.readFileSync(file);
  let at = 8, width = 0, height = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0), height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[9] !== 6 || body[12] !== 0) throw new Error(`${file}: only 8-bit RGBA`);
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data)), stride = width * 4, pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const value = raw[y * (stride + 1) + 1 + x];
      const a = x >= 4 ? pixels[y * stride + x - 4] : 0, b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= 4 && y > 0 ? pixels[(y - 1) * stride + x - 4] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predictor = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      pixels[y * stride + x] = (value + predictor) & 255;
    }
  }
  return {width, height, pixels};
}
function writePng(file, width, height, pixels) {
  const chunk = (type, body) => {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(body.length, 0);
    head.write(type, 4, 'latin1');
    const sum = Buffer.alloc(4);
    sum.writeUInt32BE(crc(Buffer.concat([head.subarray(4), body])), 0);
    return Buffer.concat([head, body, sum]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0), header.writeUInt32BE(height, 4), header[8] = 8, header[9] = 6;
  const raw = Buffer.alloc((width * 4 + 1) * height);
  for (let y = 0; y < height; ++y) pixels.copy(raw, y * (width * 4 + 1) + 1, y * width * 4, (y + 1) * width * 4);
  fs.writeFileSync(file, Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk('IHDR', header),
                                        chunk('IDAT', zlib.deflateSync(raw, {level: 9})), chunk('IEND', Buffer.alloc(0))]));
}
// The icon's pixels repeated, never blended, so it stays as sharp as the 48-pixel original.
const icon = readPng(path.join(source, 'resources', 'icon.png'));
for (const size of [192, 512]) {
  const pixels = Buffer.alloc(size * size * 4);
  for (let y = 0; y < size; ++y)
    for (let x = 0; x < size; ++x) {
      const from = (Math.floor(y * icon.height / size) * icon.width + Math.floor(x * icon.width / size)) * 4;
      icon.pixels.copy(pixels, (y * size + x) * 4, from, from + 4);
    }
  writePng(path.join(site, `icon-${size}.png`), size, size, pixels);
}

fs.copyFileSync(fontFile, path.join(work, 'LiberationSerif-Bold.ttf'));
execFileSync('woff2_compress', [path.join(work, 'LiberationSerif-Bold.ttf')], {stdio: 'ignore'});
fs.copyFileSync(path.join(work, 'LiberationSerif-Bold.woff2'), path.join(site, 'LiberationSerif-Bold.woff2'));
fs.rmSync(work, {recursive: true, force: true});

fs.writeFileSync(path.join(site, 'manifest.webmanifest'), JSON.stringify({
  name: 'Letrazul',
  short_name: 'Letrazul',
  description: 'El juego del ahorcado en español: adivina la palabra letra a letra.',
  lang: 'es',
  start_url: './',
  scope: './',
  display: 'standalone',
  orientation: 'landscape',
  background_color: '#000000',
  theme_color: '#000000',
  icons: [
    {src: 'icon.png', sizes: '48x48', type: 'image/png'},
    {src: 'icon-192.png', sizes: '192x192', type: 'image/png', purpose: 'any'},
    {src: 'icon-512.png', sizes: '512x512', type: 'image/png', purpose: 'any'},
  ],
}, null, 2) + '\n');

// The service worker last: its cache name is the digest of every other file, itself not included.
const files = fs.readdirSync(site).sort();
const digest = createHash('sha256');
for (const name of files) digest.update(name).update('\0').update(fs.readFileSync(path.join(site, name)));
const worker = fs.readFileSync(path.join(source, 'web', 'sw.js'), 'utf8')
  .replace('@VERSION@', digest.digest('hex').slice(0, 16))
  .replace('@FILES@', JSON.stringify(['./', ...files]));
fs.writeFileSync(path.join(site, 'sw.js'), worker);
console.log(`Site: ${site} (${files.length + 1} files)`);
