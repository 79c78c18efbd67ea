// What the browser tests and the page's cost bench share: the page's folder
// served by tools/web/serve.mjs, and Debian's browsers started headless
// with puppeteer-core.
import { spawn } from 'node:child_process';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = join(dirname(fileURLToPath(import.meta.url)), '../..');

// Serves `folder` on a free port; resolves to the server and its address.
export function serve(folder) {
  const server = spawn(process.execPath, [join(root, 'tools/web/serve.mjs'), folder, '--port', '0'],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let out = '';
    server.stdout.on('data', (chunk) => {
      out += chunk;
      if (out.includes('\n')) resolve({ server, url: out.split('\n')[0].trim() });
    });
    server.on('exit', (code) => reject(new Error(`the server stopped (${code})`)));
  });
}

// Chromium over CDP or Firefox ESR over WebDriver BiDi, with a fresh profile
// in `profile`; `options` go to puppeteer's launch as they are.
export function launch(name, profile, options = {}) {
  if (name === 'firefox') {
    return puppeteer.launch({ browser: 'firefox', protocol: 'webDriverBiDi', executablePath: '/usr/bin/firefox-esr',
      headless: true, userDataDir: profile, ...options });
  }
  return puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile, ...options,
    // As root in a fresh tree: no sandbox, no /dev/shm; and no calls home.
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic',
      '--disable-extensions'] });
}
