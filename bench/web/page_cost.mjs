// What the game's page costs a browser, beside a plain page doing the same
// work, in Debian's Chromium and Firefox, headless:
//
//   node bench/web/page_cost.mjs [--build DIR] [--seconds S] [--rounds R] [--invaders N] [--browser B]
//
// DIR is the web build folder (build/web: its site/ and bench-site/, made by
// `cmake --build --preset web`). For each browser, R rounds (3 unless given)
// of two cases, each a pair of browsers started side by side and measured
// over the same S seconds (20 unless given):
//   - idle: the game with Start pressed and the player idle in wave 1,
//     beside the idle-work floor, a plain canvas page showing as many
//     walking boxes as the idle game showed on average (counted in a first,
//     unmeasured run);
//   - field: the game with about N castle killers walking on the field (200
//     unless given), beside the field floor showing N such boxes.
// Each browser is measured as a whole: the CPU time of all its processes
// (/proc, user and system) and their context switches. The budgets are the
// median over the rounds of the case's CPU time over its floor's: at most
// 1.15 idle and 1.2 with the invaders (aim: below). Then, from a local server:
// navigation to the title's first paint, median of five loads, at most
// 500 ms; and the site's size as that server sends it (gzip), at most 1.5 MB.
// Prints a table and the budgets, each met or MISSED; status 1 when one is
// missed. A benchmark, never part of the test suite: the machine's other work
// disturbs it, so compare within one run and repeat before trusting one.
import { mkdtempSync, readFileSync, readdirSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, extname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(here, '../..');
const browsers = await import(join(root, 'tests/web/browsers.mjs'));
const { serve } = browsers;

const option = (name, fallback) => {
  const at = process.argv.indexOf(name);
  return at > 0 ? process.argv[at + 1] : fallback;
};
const build = resolve(option('--build', join(root, 'build/web')));
const seconds = Number(option('--seconds', 20));
const rounds = Number(option('--rounds', 3));
const invaders = Number(option('--invaders', 200));
const names = option('--browser', 'chromium firefox').split(' ');
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const TICK = 100;  // clock ticks a second in /proc

const launch = (name, profile) => browsers.launch(name, profile, { defaultViewport: { width: 1700, height: 1000 } });

// A browser's processes: the one started and everything below it.
function processTree(top) {
  const parent = new Map();
  for (const name of readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = readFileSync(`/proc/${name}/stat`, 'utf8');
      parent.set(Number(name), Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]));
    } catch { /* gone */ }
  }
  const tree = [top];
  for (let i = 0; i < tree.length; i++) for (const [pid, ppid] of parent) if (ppid === tree[i]) tree.push(pid);
  return tree;
}
// CPU seconds of the tree (the reaped children's counted with their parents)
// and its context switches.
function usage(top) {
  let ticks = 0, switches = 0;
  for (const pid of processTree(top)) {
    try {
      const f = readFileSync(`/proc/${pid}/stat`, 'utf8');
      const v = f.slice(f.lastIndexOf(')') + 2).split(' ').map(Number);
      ticks += v[11] + v[12] + v[13] + v[14];
      for (const task of readdirSync(`/proc/${pid}/task`)) {
        const status = readFileSync(`/proc/${pid}/task/${task}/status`, 'utf8');
        for (const m of status.matchAll(/_ctxt_switches:\s+(\d+)/g)) switches += Number(m[1]);
      }
    } catch { /* gone */ }
  }
  return { cpu: ticks / TICK, switches };
}

const invadersShown = () => {
  const f = window.zorvane.dump().form1;
  return Object.entries(f.sprites).filter(([n, s]) => /^pic(CastleKiller|CKTop|CKBot)\(/.test(n) && s.visible &&
    s.left < 1608 * 15 && s.top < 897 * 15 && s.left + s.width > 0 && s.top + s.height > 0).length;
};

// The game opened and played, idle or with the field filled.
async function game(browser, url, fill) {
  const page = await browser.newPage();
  await page.goto(url);
  await page.evaluate(() => window.zorvane.ready);
  await page.click('#start');
  if (fill) await page.evaluate((n, s) => window.zorvaneBench.fill(n, s), fill, seconds + 6);
  return page;
}
async function floor(browser, url, spec) {
  const page = await browser.newPage();
  await page.goto(url + 'floor.html');
  await page.evaluate((s) => window.startFloor(s), spec);
  return page;
}

// One case and its floor side by side over the same interval.
async function pair(name, url, fill, boxes) {
  const profiles = [0, 1].map(() => mkdtempSync(join(tmpdir(), 'zorvane-cost-')));
  const [b1, b2] = await Promise.all(profiles.map((p) => launch(name, p)));
  try {
    const spec = await (async () => {
      const p = await b1.newPage();
      await p.goto(url);
      await p.evaluate(() => window.zorvane.ready);
      const s = await p.evaluate((n, t) => window.zorvaneBench.places(n, t), boxes, seconds + 6);
      await p.close();
      return s;
    })();
    const [g] = await Promise.all([game(b1, url, fill), floor(b2, url, spec)]);
    await sleep(2000);
    const before = [usage(b1.process().pid), usage(b2.process().pid)];
    let shown = 0, looks = 0;
    const end = Date.now() + seconds * 1000;
    while (Date.now() < end) {
      await sleep(Math.min(2000, end - Date.now()));
      shown += await g.evaluate(invadersShown);
      looks++;
    }
    const after = [usage(b1.process().pid), usage(b2.process().pid)];
    const d = (i) => ({ cpu: after[i].cpu - before[i].cpu, switches: after[i].switches - before[i].switches });
    return { game: d(0), floor: d(1), shown: shown / looks };
  } finally {
    await Promise.all([b1, b2].map((b) => b.close().catch(() => {})));
    for (const p of profiles) rmSync(p, { recursive: true, force: true });
  }
}

async function startUp(name, url) {
  const profile = mkdtempSync(join(tmpdir(), 'zorvane-start-'));
  const browser = await launch(name, profile);
  const times = [];
  try {
    for (let i = 0; i < 5; i++) {
      const page = await browser.newPage();
      await page.goto(url);
      times.push(await page.evaluate(() => window.zorvane.ready.then(() => performance.now())));
      await page.close();
    }
  } finally {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
  }
  return median(times);
}

function median(values) {
  const v = [...values].sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
}

// The folder as tools/web/serve.mjs sends it: gzip but for the pictures.
function sentSize(folder) {
  let total = 0;
  for (const name of readdirSync(folder)) {
    const path = join(folder, name);
    if (statSync(path).isDirectory()) total += sentSize(path);
    else if (['.gif', '.jpg', '.png'].includes(extname(name))) total += statSync(path).size;
    else total += gzipSync(readFileSync(path), { level: 9 }).length;
  }
  return total;
}

const verdicts = [];
const judge = (what, value, budget, unit) => {
  const met = value <= budget;
  verdicts.push(met);
  console.log(`${met ? 'met   ' : 'MISSED'} ${what}: ${value.toFixed(unit === 'x' ? 2 : 0)}${unit === 'x' ? ' x' : ' ' + unit} (budget ${budget}${unit === 'x' ? ' x' : ' ' + unit})`);
};

const benchSite = await serve(join(build, 'bench-site'));
const site = await serve(join(build, 'site'));
try {
  for (const name of names) {
    console.log(`== ${name}: ${rounds} rounds of ${seconds} s, each case beside its floor`);
    const idle = await pair(name, benchSite.url, 0, 1);
    const idleBoxes = Math.max(1, Math.round(idle.shown));
    console.log(`the idle game shows ${idle.shown.toFixed(1)} invaders on average: the idle-work floor shows ${idleBoxes}`);
    const ratios = { idle: [], field: [] };
    for (let r = 1; r <= rounds; r++) {
      for (const [kind, fill, boxes] of [['idle', 0, idleBoxes], ['field', invaders, invaders]]) {
        const m = await pair(name, benchSite.url, fill, boxes);
        const ratio = m.game.cpu / m.floor.cpu;
        ratios[kind].push(ratio);
        console.log(`round ${r} ${kind.padEnd(5)} game ${m.game.cpu.toFixed(2)} s CPU, ${m.game.switches} switches ` +
          `(${m.shown.toFixed(0)} invaders shown); floor ${m.floor.cpu.toFixed(2)} s, ${m.floor.switches} switches; ` +
          `${ratio.toFixed(2)} x, switches ${(m.game.switches / m.floor.switches).toFixed(2)} x`);
      }
    }
    judge(`${name}, idle, median CPU over the idle-work floor`, median(ratios.idle), 1.15, 'x');
    judge(`${name}, ${invaders} invaders, median CPU over the field floor`, median(ratios.field), 1.2, 'x');
    judge(`${name}, navigation to the title's first paint, median of 5`, await startUp(name, site.url), 500, 'ms');
  }
  judge('the site as the server sends it', sentSize(join(build, 'site')) / 1024, 1536, 'KB');
} finally {
  benchSite.server.kill();
  site.server.kill();
}
process.exit(verdicts.every(Boolean) ? 0 : 1);
