#!/usr/bin/env node
// A small static web server for the game's page, on node's own http module:
//
//   node tools/web/serve.mjs DIR [--port N] [--host H]
//
// Serves the files of DIR (index.html for a folder), .wasm as
// application/wasm, compressed with gzip when the browser accepts it, and
// nothing outside DIR. Port 8080 unless given; 0 takes a free one. The first
// line it prints is the address to open.
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, resolve, sep } from 'node:path';
import { gzipSync } from 'node:zlib';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.gif': 'image/gif',
  '.ico': 'image/x-icon',
  '.jpg': 'image/jpeg',
  '.png': 'image/png',
  '.ttf': 'font/ttf',
  '.otf': 'font/otf',
  '.txt': 'text/plain; charset=utf-8',
  '.json': 'application/json',
};
// Already compressed: gzip would only cost time.
const packed = new Set(['.gif', '.jpg', '.png']);

function usage() {
  console.error('usage: node tools/web/serve.mjs DIR [--port N] [--host H]');
  process.exit(2);
}

const args = process.argv.slice(2);
let root = null, port = 8080, host = '127.0.0.1';
for (let i = 0; i < args.length; ++i) {
  if (args[i] === '--port' && i + 1 < args.length) port = Number(args[++i]);
  else if (args[i] === '--host' && i + 1 < args.length) host = args[++i];
  else if (!root && !args[i].startsWith('--')) root = resolve(args[i]);
  else usage();
}
if (!root || !Number.isInteger(port) || port < 0 || port > 65535) usage();
try {
  if (!(await stat(root)).isDirectory()) throw new Error();
} catch {
  console.error(`serve: no folder ${root}`);
  process.exit(1);
}

const cache = new Map();  // path -> { body, gzipped }; the folder does not change while it is served

async function load(path) {
  let entry = cache.get(path);
  if (!entry) {
    const body = await readFile(path);
    entry = { body, gzipped: packed.has(extname(path)) ? null : gzipSync(body, { level: 9 }) };
    cache.set(path, entry);
  }
  return entry;
}

const server = createServer(async (request, response) => {
  const send = (status, text) => {
    response.writeHead(status, { 'Content-Type': 'text/plain; charset=utf-8' });
    response.end(text + '\n');
  };
  if (request.method !== 'GET' && request.method !== 'HEAD') return send(405, 'only GET and HEAD');
  let name;
  try {
    name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
  } catch {
    return send(400, 'bad address');
  }
  let path = resolve(join(root, name));
  if (path !== root && !path.startsWith(root + sep)) return send(404, 'not found');
  try {
    if ((await stat(path)).isDirectory()) path = join(path, 'index.html');
    const { body, gzipped } = await load(path);
    const headers = {
      'Content-Type': types[extname(path)] || 'application/octet-stream',
      'Cache-Control': 'no-cache',
      'X-Content-Type-Options': 'nosniff',
      'Vary': 'Accept-Encoding',
    };
    const zip = gzipped && /\bgzip\b/.test(request.headers['accept-encoding'] || '');
    if (zip) headers['Content-Encoding'] = 'gzip';
    const out = zip ? gzipped : body;
    headers['Content-Length'] = out.length;
    response.writeHead(200, headers);
    response.end(request.method === 'HEAD' ? undefined : out);
  } catch {
    send(404, 'not found');
  }
});
server.on('error', (e) => {
  console.error(`serve: ${e.message}`);
  process.exit(1);
});
server.listen(port, host, () => {
  console.log(`http://${host}:${server.address().port}/`);
  console.log(`serving ${root}; Ctrl+C stops`);
});
for (const signal of ['SIGINT', 'SIGTERM']) process.on(signal, () => process.exit(0));
