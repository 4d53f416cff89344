// Checks the browser build in headless Chromium against the native headless renderer.
//
// usage: node check.mjs --site DIR --render PROGRAM --out DIR [--measure]
//   --site     the browser build (index.html, index.js, index.wasm)
//   --render   morvanite-render, whose records the page must match
//   --out      where the native records, the screenshot and the page's hash lines go
//   --measure  instead of checking, time the native and the page's full shows (best of three
//              runs each), the live page's frame rate and busy share, and the site's compressed size
import { spawnSync } from 'node:child_process';
import { mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';

const options = { measure: false };
for (let i = 2; i < process.argv.length; i++) {
  const name = process.argv[i];
  if (name === '--measure') options.measure = true;
  else options[name.replace(/^--/, '')] = process.argv[++i];
}
if (!options.site || !options.render || !options.out) {
  console.error('usage: node check.mjs --site DIR --render PROGRAM --out DIR [--measure]');
  process.exit(2);
}

const failures = [];
function expect(condition, what) {
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
  if (!condition) failures.push(what);
}
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// Runs morvanite-render with ARGS; the wall time in seconds.
function runNative(args) {
  const start = performance.now();
  const run = spawnSync(options.render, args, { encoding: 'utf8' });
  if (run.status !== 0) throw new Error(`${options.render} ${args.join(' ')}: ${run.stderr}`);
  return (performance.now() - start) / 1000;
}

async function launch() {
  const profile = join(options.out, 'chromium-profile');
  rmSync(profile, { recursive: true, force: true });
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--autoplay-policy=no-user-gesture-required', '--window-size=800,600'],
  });
}

async function openPage(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 600 });
  page.on('pageerror', (error) => console.log(`page error: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warn') console.log(`page: ${message.text()}`);
  });
  await page.goto(url);
  return page;
}

// The full show in check mode; the hash lines and the seconds it took.
async function pageHashes(browser, base) {
  const start = performance.now();
  const page = await openPage(browser, `${base}/?hashes&fps=60`);
  await page.waitForFunction(() => document.title === 'done', { timeout: 900000, polling: 100 });
  const seconds = (performance.now() - start) / 1000;
  const text = await page.$eval('#hashes', (pre) => pre.textContent);
  const summary = await page.$eval('#summary', (div) => div.textContent);
  await page.close();
  return { text, summary, seconds };
}

function stats(page) {
  return page.evaluate(() => ({
    ...Morvanite.stats,
    played: Morvanite.audioState() === 'closed' ? 0 : Morvanite.outputPlayed(),
    audio: Morvanite.audioState(),
    state: document.body.dataset.state,
    visibility: document.visibilityState,
  }));
}

// Compares the live canvas with a PNG served at `path`: the count of differing pixels, and
// how many of the canvas's pixels are not black.
function compareCanvas(page, path) {
  return page.evaluate(async (path) => {
    const image = new Image();
    image.src = path;
    await image.decode();
    const expected = document.createElement('canvas');
    expected.width = 320;
    expected.height = 240;
    const context = expected.getContext('2d');
    context.drawImage(image, 0, 0);
    const want = context.getImageData(0, 0, 320, 240).data;
    const have = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;
    let differing = 0, lit = 0;
    for (let i = 0; i < have.length; i += 4) {
      if (have[i] !== want[i] || have[i + 1] !== want[i + 1] || have[i + 2] !== want[i + 2]) differing++;
      if (have[i] || have[i + 1] || have[i + 2]) lit++;
    }
    return { differing, lit };
  }, path);
}

function canvasDigest(page) {
  return page.evaluate(() => {
    const data = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;
    let hash = 0, lit = 0;
    for (let i = 0; i < data.length; i += 4) {
      hash = (hash * 31 + data[i] + (data[i + 1] << 8) + (data[i + 2] << 16)) | 0;
      if (data[i] || data[i + 1] || data[i + 2]) lit++;
    }
    return { hash, lit };
  });
}

async function checkHashes(browser, base) {
  const native = readFileSync(join(options.out, 'native-hashes.txt'), 'utf8');
  const web = await pageHashes(browser, base);
  writeFileSync(join(options.out, 'web-hashes.txt'), web.text);
  const nativeLines = native.split('\n').filter(Boolean);
  const webLines = web.text.split('\n').filter(Boolean);
  const first = nativeLines.findIndex((line, i) => line !== webLines[i]);
  expect(web.text === native,
         `?hashes&fps=60 gives the native lines (${webLines.length} of ${nativeLines.length}` +
         (first >= 0 ? `, first difference at line ${first + 1}: '${webLines[first]}' vs '${nativeLines[first]}'` : '') +
         `) in ${web.seconds.toFixed(1)} s; ${web.summary}`);
}

async function checkStartFailure(browser, base) {
  const page = await openPage(browser, `${base}/?fail=BASS_Init=3`);
  await page.waitForFunction(() => document.body.dataset.state === 'box', { timeout: 60000 });
  const box = await page.$eval('#box', (box) => ({
    caption: box.querySelector('h2').textContent, text: box.querySelector('p').textContent }));
  expect(box.caption === 'Error!' &&
         box.text === 'No puedo inicializar el sistema de sonido\n(Codigo de error: 3)',
         `a failed sound start shows its box on the page: ${JSON.stringify(box)}`);
  await page.click('#box button');
  await page.waitForFunction(() => document.body.dataset.state === 'ended', { timeout: 30000 });
  const message = await page.$eval('#message p', (p) => p.textContent);
  expect(message.startsWith('The show could not start.'), `then the page says so: '${message}'`);
  await page.close();
}

async function checkLive(browser, base) {
  const page = await openPage(browser, `${base}/`);
  await page.waitForFunction(() => document.body.dataset.state === 'prompt', { timeout: 120000 });
  const loading = await compareCanvas(page, '/native/load.png');
  expect(loading.differing === 0 && loading.lit > 0,
         `the prompt shows the loading picture as the native program draws it (${loading.differing} pixels differ)`);
  const prompt = await page.$eval('#prompt', (div) => !div.hidden && div.textContent);
  expect(prompt === 'click or press a key to start', `the prompt says '${prompt}'`);
  await sleep(1000);
  expect((await stats(page)).frames === 0, 'nothing is shown before the key press');

  await page.keyboard.press('Space');
  await page.waitForFunction(() => Morvanite.stats.frames > 30, { timeout: 30000 });
  const before = await stats(page);
  const audioBefore = await page.evaluate(() => performance.now());
  await sleep(3000);
  const after = await stats(page);
  const audioAfter = await page.evaluate(() => performance.now());
  const played = (after.played - before.played) / 176400;
  const elapsed = (audioAfter - audioBefore) / 1000;
  expect(after.audio === 'running', `the music plays in an AudioContext (${after.audio})`);
  expect(after.frames - before.frames > 60,
         `frames are shown (${after.frames - before.frames} in ${elapsed.toFixed(1)} s)`);
  expect(Math.abs(played - elapsed) < 0.5,
         `the position follows the audio clock (${played.toFixed(2)} s of music in ${elapsed.toFixed(2)} s)`);

  // A hidden tab stops the frames; the music goes on; shown again, the show goes on.
  const other = await browser.newPage();
  await other.bringToFront();
  await sleep(500);
  const hidden1 = await stats(page);
  await sleep(1500);
  const hidden2 = await stats(page);
  if (hidden1.visibility === 'hidden') {
    expect(hidden2.frames - hidden1.frames <= 1 && hidden2.played > hidden1.played,
           `a hidden tab pauses the frames (${hidden2.frames - hidden1.frames} more) while the music goes on`);
  } else {
    console.log(`note: this Chromium keeps a background tab '${hidden1.visibility}'; hiding not checked`);
  }
  await page.bringToFront();
  await other.close();
  await sleep(1000);
  const shown = await stats(page);
  expect(shown.frames > hidden2.frames + 20, `shown again, the show goes on (${shown.frames - hidden2.frames} frames)`);

  // A screenshot inside the second part.
  await page.waitForFunction(() => Morvanite.stats.position >= 160 * 17400, { timeout: 60000, polling: 100 });
  const second1 = await canvasDigest(page);
  await page.screenshot({ path: join(options.out, 'live-t160.png') });
  await sleep(500);
  const second2 = await canvasDigest(page);
  expect(second1.hash !== second2.hash && second2.lit > 1000,
         `the frames change and are not black (${second2.lit} lit pixels)`);
  console.log(`screenshot: ${join(options.out, 'live-t160.png')}`);

  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.body.dataset.state === 'ended', { timeout: 30000 });
  const end = await stats(page);
  const message = await page.$eval('#message p', (p) => p.textContent);
  expect(message === 'The show has ended.' && end.audio === 'closed',
         `Escape ends the show: '${message}', sound ${end.audio}`);
  await page.close();
}

async function measure(browser, base) {
  // The machine is shared and one run of each swings with its load: time the two alternately,
  // three times, print every run and compare the best of each.
  const native = [], web = [];
  for (let run = 1; run <= 3; run++) {
    native.push(runNative(['--fps', '60', '--hashes', join(options.out, 'native-hashes.txt')]));
    web.push((await pageHashes(browser, base)).seconds);
    console.log(`  run ${run}: native ${native.at(-1).toFixed(1)} s, page ${web.at(-1).toFixed(1)} s ` +
                `(${(web.at(-1) / native.at(-1)).toFixed(2)} times)`);
  }
  const nativeSeconds = Math.min(...native), webSeconds = Math.min(...web);
  console.log(`full show at 60 fps, best of 3: native ${nativeSeconds.toFixed(1)} s, page ` +
              `${webSeconds.toFixed(1)} s (${(webSeconds / nativeSeconds).toFixed(2)} times)`);

  const page = await openPage(browser, `${base}/`);
  await page.waitForFunction(() => document.body.dataset.state === 'prompt', { timeout: 120000 });
  await page.keyboard.press('Space');
  await sleep(2000);
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const metric = async () => Object.fromEntries((await session.send('Performance.getMetrics')).metrics
    .map((m) => [m.name, m.value]));
  const m1 = await metric();
  const s1 = await stats(page);
  await sleep(10000);
  const m2 = await metric();
  const s2 = await stats(page);
  const seconds = m2.Timestamp - m1.Timestamp;
  const frames = s2.frames - s1.frames;
  console.log(`live page: ${(frames / seconds).toFixed(1)} frames per second; program ` +
              `${((s2.busyMs - s1.busyMs) / frames).toFixed(2)} ms per frame; main thread busy ` +
              `${(100 * (m2.TaskDuration - m1.TaskDuration) / seconds).toFixed(1)} % ` +
              `(${(1000 * (m2.TaskDuration - m1.TaskDuration) / frames).toFixed(2)} ms per frame of ${(1000 / 60).toFixed(2)})`);
  await page.close();

  let total = 0;
  for (const name of readdirSync(options.site)) {
    const size = gzipSync(readFileSync(join(options.site, name)), { level: 9 }).length;
    console.log(`  ${name}: ${size} bytes gzip-compressed`);
    total += size;
  }
  console.log(`site: ${(total / 1048576).toFixed(2)} MB gzip-compressed`);
}

mkdirSync(options.out, { recursive: true });
if (!options.measure) {
  runNative(['--fps', '60', '--hashes', join(options.out, 'native-hashes.txt'),
             '--shots', join(options.out, 'native'), '--at', 'load']);
}
const server = await serve([options.site, options.out]);
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await launch();
try {
  if (options.measure) {
    await measure(browser, base);
  } else {
    await checkStartFailure(browser, base);
    await checkLive(browser, base);
    await checkHashes(browser, base);
  }
} catch (error) {
  failures.push(String(error));
  console.log(`FAIL ${error.stack || error}`);
} finally {
  await browser.close();
  server.close();
}
if (failures.length) {
  console.log(`${failures.length} check(s) failed`);
  process.exit(1);
}
console.log(options.measure ? 'measured' : 'all browser checks passed');
