// Plays the game's page in a real browser with real input and reads the
// results back from the page: the game's state through window.zorvane.dump()
// (read only) and the pixels of its canvases.
//
//   node tests/web/page_test.mjs --browser chromium|firefox --site DIR
//
// Serves DIR with tools/web/serve.mjs, starts Debian's browser headless with
// a fresh profile, runs the cases in order and ends with "N passed, M
// failed"; the status is 1 when a case failed. Every wait has a deadline.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, serve } from './browsers.mjs';

const option = (name) => {
  const at = process.argv.indexOf(name);
  return at > 0 ? process.argv[at + 1] : undefined;
};
const browserName = option('--browser');
const site = option('--site');
if (!['chromium', 'firefox'].includes(browserName) || !site) {
  console.error('usage: page_test.mjs --browser chromium|firefox --site DIR');
  process.exit(2);
}

// The game's numbers: a design pixel is 15 twips; the page's frame is a
// title bar of 30 pixels and a border of 3; the mage steps 55 twips a tick.
const TWIPS = 15;
const FIELD = { width: 1608, height: 897 };
const TITLE = { width: 1572, height: 870 };
const FRAME = { width: 6, height: 33 };
const STEP = 55;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const { server, url } = await serve(site);
const profile = mkdtempSync(join(tmpdir(), `zorvane-${browserName}-`));
let browser;
const problems = [];  // console errors and page errors, all run long
let passed = 0, failed = 0;

async function run(name, body) {
  try {
    await body();
    passed++;
    console.log(`ok: ${name}`);
  } catch (e) {
    failed++;
    console.log(`FAILED: ${name}: ${e.message}`);
  }
}
function check(condition, message) {
  if (!condition) throw new Error(message);
}
async function until(what, probe, ms = 10000) {
  const deadline = Date.now() + ms;
  for (;;) {
    const value = await probe();
    if (value) return value;
    if (Date.now() > deadline) throw new Error(`waited ${ms} ms for ${what}`);
    await sleep(50);
  }
}

try {
  browser = await launch(browserName, profile, { protocolTimeout: 60000 });
  const page = await browser.newPage();
  page.on('console', (m) => { if (m.type() === 'error') problems.push(`console: ${m.text()}`); });
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  const dump = () => page.evaluate(() => window.zorvane.dump());
  const sprite = async (name) => (await dump()).form1.sprites[name];
  // A page point inside a design pixel of a window's client canvas, a
  // quarter in, as a driver may round it to whole CSS pixels.
  async function at(window, x, y) {
    const r = await page.$eval(`#${window} canvas`, (c) => {
      const b = c.getBoundingClientRect();
      return { left: b.left, top: b.top, width: b.width, height: b.height, w: +c.dataset.width, h: +c.dataset.height };
    });
    return { x: r.left + (x + 0.25) * r.width / r.w, y: r.top + (y + 0.25) * r.height / r.h };
  }
  // The colour of a design pixel of the battlefield's canvas, as painted.
  const pixel = (x, y) => page.$eval('#field canvas', (c, x, y) => {
    const k = c.width / +c.dataset.width;
    return Array.from(c.getContext('2d').getImageData(Math.floor((x + 0.5) * k), Math.floor((y + 0.5) * k), 1, 1).data);
  }, x, y);
  const region = (x, y, w, h) => page.$eval('#field canvas', (c, x, y, w, h) => {
    const k = c.width / +c.dataset.width;
    const data = c.getContext('2d').getImageData(Math.round(x * k), Math.round(y * k), Math.round(w * k), Math.round(h * k)).data;
    let sum = 0;
    for (let i = 0; i < data.length; i++) sum = (sum * 31 + data[i]) >>> 0;
    return sum;
  }, x, y, w, h);
  const green = (p) => p[0] === 0 && p[1] === 128 && p[2] === 0;
  // Holds a key over `ticks` hero ticks at least, counted from when the game
  // has it down, and lets go; the mage before and after, and the most ticks
  // it can have been held over (it went down since the last look before).
  const codes = { KeyW: 87, KeyA: 65, KeyS: 83, KeyD: 68, Digit1: 49, Digit2: 50, Digit3: 51, Numpad3: 99 };
  const held = (d, code) => d.form1.vars.keysHeld.includes(codes[code]);
  async function hold(code, ticks) {
    const start = await dump();
    await page.keyboard.down(code);
    const down = await until(`${code} down`, async () => { const d = await dump(); return held(d, code) && d; });
    await until(`${ticks} ticks`, async () => (await dump()).t >= down.t + ticks * 50);
    await page.keyboard.up(code);
    const up = await until(`${code} up`, async () => { const d = await dump(); return !held(d, code) && d; });
    return [start.form1.sprites.picHero, up.form1.sprites.picHero, Math.floor((up.t - start.t) / 50) + 1];
  }

  await page.setViewport({ width: 1920, height: 1080 });
  const t0 = Date.now();
  await page.goto(url);
  await page.evaluate(() => window.zorvane.ready);
  const loadMs = Date.now() - t0;

  await run('the title shows, Start focused, at full size', async () => {
    check(await page.$eval('#title', (e) => !e.hidden), 'the title is hidden');
    check(await page.$eval('#field', (e) => e.hidden), 'the battlefield shows before Start');
    check(await page.evaluate(() => document.activeElement && document.activeElement.id) === 'start', 'Start is not focused');
    const size = await page.$eval('#title canvas', (c) => [c.getBoundingClientRect().width, c.getBoundingClientRect().height]);
    check(size[0] === TITLE.width && size[1] === TITLE.height, `the title's client area is ${size}`);
    const d = await dump();
    check(d.screen === 'title' && d.menu.visible, 'the game does not show its title');
    const back = await page.$eval('#title canvas', (c) => Array.from(c.getContext('2d').getImageData(5, 5, 1, 1).data));
    check(back[0] === 0 && back[1] === 255 && back[2] === 255, `the title's colour is ${back}`);
  });

  await run('Start opens the battlefield, focused, at the outer size of the page\'s frame', async () => {
    await page.click('#start');
    await until('the battlefield', () => page.$eval('#field', (e) => !e.hidden));
    check(await page.$eval('#title', (e) => e.hidden), 'the title stays');
    check(await page.evaluate(() => document.activeElement === document.querySelector('#field canvas')),
      'the battlefield does not have the focus');
    const d = await dump();
    check(d.screen === 'battlefield', 'the game does not show the battlefield');
    check(d.form1.width === (FIELD.width + FRAME.width) * TWIPS && d.form1.height === (FIELD.height + FRAME.height) * TWIPS,
      `the game reads ${d.form1.width} x ${d.form1.height}`);
  });

  await run('W, A, S and D walk the mage a step a tick', async () => {
    for (const [code, dx, dy, picture] of [['KeyS', 0, 1], ['KeyD', 1, 0, 'picBlackMageRight'], ['KeyW', 0, -1],
      ['KeyA', -1, 0, 'picBlackMageLeft']]) {
      const [from, to, most] = await hold(code, 3);
      const steps = (to.left - from.left) / STEP * dx + (to.top - from.top) / STEP * dy;
      check(Number.isInteger(steps) && steps >= 3 && steps <= most,
        `${code} moved from ${from.left},${from.top} to ${to.left},${to.top} in at most ${most} ticks`);
      check(to.left - from.left === dx * steps * STEP && to.top - from.top === dy * steps * STEP, `${code} walked askew`);
      if (picture) check(to.picture === picture, `${code} shows ${to.picture}`);
    }
    check((await dump()).form1.vars.keysHeld.length === 0, 'a key stays held');
  });

  await run('1, 2 and 3 choose the magic; the keypad\'s digits do not', async () => {
    // Read at each hero tick: a key is held over one.
    for (const [code, magic] of [['Digit2', 1], ['Numpad3', 1], ['Digit3', 2], ['Digit1', 0]]) {
      await hold(code, 2);
      const v = (await dump()).form1.vars;
      check(v.magicType === magic, `after ${code} the magic is ${v.magicType}`);
    }
  });

  await run('a left click casts towards the design point under the cursor', async () => {
    const p = await at('field', 1300, 760);
    await page.mouse.click(p.x, p.y);
    await sleep(50);
    const d = await dump();
    check(d.form1.vars.targetX === 1300 * TWIPS && d.form1.vars.targetY === 760 * TWIPS,
      `the target is ${d.form1.vars.targetX},${d.form1.vars.targetY}`);
    const shot = d.form1.sprites['picProjectile(0)'];
    check(shot.visible, 'no fire in flight');
    await sleep(300);
    const later = (await dump()).form1.sprites['picProjectile(0)'];
    check(later.left > shot.left && later.top > shot.top, 'the fire does not fly towards the target');
  });

  await run('the right button charges the special and launches it on release', async () => {
    const p = await at('field', 1300, 150);
    await page.mouse.move(p.x, p.y);
    await page.mouse.down({ button: 'right' });
    await until('the special', async () => (await sprite('picProjectile(3)')).visible);
    const small = await sprite('picProjectile(3)');
    await sleep(400);
    const grown = await sprite('picProjectile(3)');
    check((await dump()).form1.vars.specialHeld, 'the special is not held');
    check(grown.width > small.width, 'the special does not grow');
    await page.mouse.up({ button: 'right' });
    await sleep(200);
    const flying = await sprite('picProjectile(3)');
    check(!(await dump()).form1.vars.specialHeld, 'the special stays held');
    check(flying.left !== grown.left || flying.top !== grown.top, 'the special is not launched');
    check(!problems.some((e) => /contextmenu/.test(e)), 'a context menu opened');
  });

  await run('the clock and the invaders repaint; invaders come in at the outer edge', async () => {
    const d0 = await dump();
    const clock = d0.form1.labels.lblTimer;
    check(clock, 'no clock label');
    const shownAt = async () => region(0, 0, FIELD.width, 60);
    const first = await shownAt();
    await until('the clock to show a new time', async () => (await shownAt()) !== first, 3000);
    const w = d0.form1.width, h = d0.form1.height;
    // A castle killer walks 55 left and 30 up a tick from 1000 twips inside
    // the bottom-right outer corner.
    const killer = await until('a castle killer on the field', async () => {
      const s = (await dump()).form1.sprites;
      return Object.entries(s).find(([n, k]) => /^picCastleKiller\([1-9]/.test(n) && k.visible &&
        k.left + k.width < FIELD.width * TWIPS && k.top + k.height < FIELD.height * TWIPS);
    }, 25000);
    const [, k] = killer;
    check((w - 1000 - k.left) * 30 === (h - 1000 - k.top) * STEP, `${killer[0]} at ${k.left},${k.top} is off the track of ${w} x ${h}`);
    // Painted where the game has it, its picture's top-left pixel not the field's green.
    const x = Math.round(k.left / TWIPS) + Math.round(k.width / TWIPS / 2), y = Math.round(k.top / TWIPS) + Math.round(k.height / TWIPS / 2);
    const painted = await until('the invader painted', async () => {
      const s = (await dump()).form1.sprites[killer[0]];
      const px = await pixel(Math.round(s.left / TWIPS + s.width / TWIPS / 2), Math.round(s.top / TWIPS + s.height / TWIPS / 2));
      return !green(px) && px;
    }, 2000).catch(() => null);
    check(painted, `the invader near ${x},${y} is not painted`);
  });

  await run('the end: the verdict box, then the score box, the game held while they are open', async () => {
    // The mage stands on the castle killers' track, and walks back onto it
    // after each hit, until the fourth hit.
    await page.focus('#field canvas');
    let held = null;
    const steer = async (code) => {
      if (held === code) return;
      if (held) await page.keyboard.up(held);
      if (code) await page.keyboard.down(code);
      held = code;
    };
    await until('the first box', async () => {
      if (await page.$eval('#msgbox', (d) => d.open)) return true;
      const { form1 } = await dump();
      const mage = form1.sprites.picHero;
      const track = form1.height - 1000 - (form1.width - 1000 - mage.left) * 30 / STEP;
      await steer(mage.top > track + STEP ? 'KeyW' : mage.top < track - STEP ? 'KeyS' : null);
      return false;
    }, 90000).finally(() => steer(null));
    check(await page.$eval('#msgbox-text', (e) => e.textContent) === 'Game Over, You Lose!', 'not the verdict');
    const stopped = (await dump()).t;
    // While the game is held, the window painted in parts as the game went
    // equals the window painted whole (after a resize of the viewport).
    const inParts = await region(0, 0, FIELD.width, FIELD.height);
    const frames = await page.evaluate(() => window.zorvane.frames());
    await page.setViewport({ width: 1900, height: 1080 });
    await until('a repaint', async () => (await page.evaluate(() => window.zorvane.frames())) > frames);
    await page.setViewport({ width: 1920, height: 1080 });
    await sleep(300);
    check(await region(0, 0, FIELD.width, FIELD.height) === inParts, 'the window painted in parts differs from it painted whole');
    check((await dump()).t === stopped, 'the game\'s clock runs behind the box');
    await page.click('#msgbox-ok');
    await until('the score box', async () =>
      /^Your score is -?\d*$/.test(await page.$eval('#msgbox-text', (e) => e.textContent)) &&
      page.$eval('#msgbox', (d) => d.open));
    const score = (await dump()).form1.vars.score;
    check(await page.$eval('#msgbox-text', (e) => e.textContent) === `Your score is ${score}`, 'the score box tells another score');
    // Enter answers the box that has the focus, as on the desktop.
    await until('the focus on OK', () => page.evaluate(() => document.activeElement.id === 'msgbox-ok'));
    await page.keyboard.press('Enter');
    await until('the boxes to close', async () => !(await page.$eval('#msgbox', (d) => d.open))).catch(async (e) => {
      throw new Error(`${e.message}: "${await page.$eval('#msgbox-text', (t) => t.textContent)}" is open`);
    });
    const after = (await dump()).t;
    await until('the clock to go on', async () => (await dump()).t > after + 200, 3000);
    check((await dump()).form1.vars.lives === -1, 'the game was not lost by the fourth hit');
  });

  await run('on a 1366 x 768 viewport both windows fit, zoomed to 4/5', async () => {
    await page.setViewport({ width: 1366, height: 768 });
    await sleep(300);
    const box = await page.$eval('#field', (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; });
    check(box[0] >= 0 && box[1] >= 0 && box[2] <= 1366 && box[3] <= 768, `the battlefield lies at ${box}`);
    const zoom = await page.evaluate(() => window.zorvane.zoom());
    check(zoom.num === 4 && zoom.den === 5, `the zoom is ${zoom.num}/${zoom.den}`);
    const d = await dump();
    check(d.form1.width === (FIELD.width + FRAME.width) * TWIPS, 'the zoom changed the size the game reads');
    const fresh = await browser.newPage();
    await fresh.setViewport({ width: 1366, height: 768 });
    await fresh.goto(url);
    await fresh.evaluate(() => window.zorvane.ready);
    const title = await fresh.$eval('#title', (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; });
    check(title[0] >= 0 && title[1] >= 0 && title[2] <= 1366 && title[3] <= 768, `the title lies at ${title}`);
    await fresh.close();
  });

  await run('a reload starts a fresh game', async () => {
    await page.reload();
    await page.evaluate(() => window.zorvane.ready);
    const d = await dump();
    check(d.screen === 'title' && d.form1 === null, 'the reloaded page shows the old game');
  });

  await run('no console error and no page error', async () => {
    check(problems.length === 0, problems.join('; '));
  });
  console.log(`title painted ${loadMs} ms after navigation`);
} catch (e) {
  failed++;
  console.log(`FAILED: ${e.stack || e.message}`);
} finally {
  if (browser) await browser.close().catch(() => {});
  server.kill();
  rmSync(profile, { recursive: true, force: true });
}
console.log(`${browserName}: ${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
