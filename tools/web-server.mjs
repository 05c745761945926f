// A small static server for the web build: node tools/web-server.mjs DIR [PORT]. Node's own modules only,
// so serving the site needs nothing installed. PORT 0 takes any free port; the address is printed.
// With WEB_SERVER_LOG=1 it also prints a line for each file sent: "sent PATH BYTES PLAIN", the bytes
// that went out and the file's own size (what make bench counts a load by).
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, resolve, sep } from 'node:path';
import { gzipSync } from 'node:zlib';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.css': 'text/css; charset=utf-8',
  '.png': 'image/png',
  '.webp': 'image/webp',
  '.ico': 'image/x-icon',
  '.svg': 'image/svg+xml',
  '.woff2': 'font/woff2',
  '.woff': 'font/woff',
  '.ttf': 'font/ttf',
  '.wav': 'audio/wav',
  '.ogg': 'audio/ogg',
  // The word list is 1252 bytes, not UTF-8: no charset, the page decodes it itself.
  '.txt': 'text/plain',
};
// Already compressed: gzip would only cost time.
const stored = new Set(['.png', '.webp', '.woff2', '.woff', '.ogg']);

const [dirArg, portArg = '8080'] = process.argv.slice(2);
if (!dirArg || !/^\d+$/.test(portArg)) {
  console.error('usage: node tools/web-server.mjs DIR [PORT]');
  process.exit(2);
}
const root = resolve(dirArg);
const log = process.env.WEB_SERVER_LOG === '1';

// Gzipped bodies by path, kept while the file's size and time stay the same.
const gzipped = new Map();

async function body(path, info, gzip) {
  if (!gzip) return readFile(path);
  const key = `${info.size}:${info.mtimeMs}`;
  const kept = gzipped.get(path);
  if (kept && kept.key === key) return kept.data;
  const data = gzipSync(await readFile(path), { level: 9 });
  gzipped.set(path, { key, data });
  return data;
}

async function serve(request, response) {
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    response.writeHead(405, { Allow: 'GET, HEAD' }).end();
    return;
  }
  let name;
  try {
    // The path as sent: "//x" is a path here, not another host.
    name = decodeURIComponent(request.url.split(/[?#]/)[0]);
  } catch {
    response.writeHead(400).end();
    return;
  }
  if (!name.startsWith('/')) {
    response.writeHead(400).end();
    return;
  }
  if (name.endsWith('/')) name += 'index.html';
  const path = join(root, name);
  // Nothing outside the site, whatever the request's dots and escapes say.
  if (name.includes('\0') || (path !== root && !path.startsWith(root + sep))) {
    response.writeHead(404).end();
    return;
  }
  let info;
  try {
    info = await stat(path);
  } catch {
    info = null;
  }
  if (!info || !info.isFile()) {
    response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
    return;
  }
  const ext = extname(path).toLowerCase();
  const gzip = !stored.has(ext) && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
  const data = await body(path, info, gzip);
  const headers = {
    'Content-Type': types[ext] ?? 'application/octet-stream',
    'Content-Length': data.length,
    // Revalidated on every load, so a rebuilt site shows at once; the service worker keeps its own copy.
    'Cache-Control': 'no-cache',
    'Last-Modified': info.mtime.toUTCString(),
    Vary: 'Accept-Encoding',
  };
  if (gzip) headers['Content-Encoding'] = 'gzip';
  const since = Date.parse(request.headers['if-modified-since'] ?? '');
  if (since >= Math.floor(info.mtimeMs / 1000) * 1000) {
    response.writeHead(304, { 'Cache-Control': headers['Cache-Control'], Vary: headers.Vary }).end();
    return;
  }
  response.writeHead(200, headers);
  response.end(request.method === 'HEAD' ? undefined : data);
  if (log && request.method === 'GET') console.log(`sent ${name} ${data.length} ${info.size}`);
}

const server = createServer((request, response) => {
  serve(request, response).catch((error) => {
    console.error(`${request.url}: ${error.message}`);
    if (!response.headersSent) response.writeHead(500);
    response.end();
  });
});
server.listen(Number(portArg), '127.0.0.1', () => {
  console.log(`http://localhost:${server.address().port}/`);
});
