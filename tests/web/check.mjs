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
const kSecondOfMusic = 176400;  // bytes

// Whether `predicate(arg)` comes to hold on the page, looked at ten times a second, within
// `limit` ms: a bound that only a broken page reaches.
async function reached(page, predicate, arg, limit = 120000) {
  try {
    await page.waitForFunction(predicate, { timeout: limit, polling: 100 }, arg);
    return true;
  } catch (error) {
    if (error.name === 'TimeoutError') return false;
    throw error;
  }
}

// Like `reached`, for a state the check cannot go on without.
async function waitFor(page, what, predicate, arg, limit = 120000) {
  if (!(await reached(page, predicate, arg, limit))) throw new Error(`${what} not within ${limit / 1000} s`);
}

// Resolves after `count` of the page's animation frames, each a chance for a running show to
// draw.
function animationFrames(page, count) {
  return page.evaluate((count) => new Promise((done) => {
    const step = () => (--count <= 0 ? done() : requestAnimationFrame(step));
    requestAnimationFrame(step);
  }), count);
}

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

// What the page shows and plays, and the page's clock (ms) when the music's position was read.
function stats(page) {
  return page.evaluate(() => ({
    ...Morvanite.stats,
    played: Morvanite.audioState() === 'closed' ? 0 : Morvanite.outputPlayed(),
    now: performance.now(),
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

// A hash of the canvas, its count of pixels that are not black, and the frames shown so far.
function canvasDigest(page) {
  return page.evaluate(() => {
    const data = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;
    let hash = 0, lit = 0;
    for (let i = 0; i < data.length; i += 4) {
      hash = (hash * 31 + data[i] + (data[i + 1] << 8) + (data[i + 2] << 16)) | 0;
      if (data[i] || data[i + 1] || data[i + 2]) lit++;
    }
    return { hash, lit, frames: Morvanite.stats.frames };
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
  await waitFor(page, 'the box', () => document.body.dataset.state === 'box');
  const box = await page.$eval('#box', (box) => ({
    caption: box.querySelector('h2').textContent, text: box.querySelector('p').textContent }));
  expect(box.caption === 'Error!' &&
         box.text === 'No puedo inicializar el sistema de sonido\n(Codigo de error: 3)',
         `a failed sound start shows its box on the page: ${JSON.stringify(box)}`);
  await page.click('#box button');
  await waitFor(page, 'the end after the box', () => document.body.dataset.state === 'ended');
  const message = await page.$eval('#message p', (p) => p.textContent);
  expect(message.startsWith('The show could not start.'), `then the page says so: '${message}'`);
  await page.close();
}

async function checkLive(browser, base) {
  const page = await openPage(browser, `${base}/`);
  await waitFor(page, 'the start prompt', () => document.body.dataset.state === 'prompt');
  const loading = await compareCanvas(page, '/native/load.png');
  expect(loading.differing === 0 && loading.lit > 0,
         `the prompt shows the loading picture as the native program draws it (${loading.differing} pixels differ)`);
  const prompt = await page.$eval('#prompt', (div) => !div.hidden && div.textContent);
  expect(prompt === 'click or press a key to start', `the prompt says '${prompt}'`);
  await animationFrames(page, 30);
  expect((await stats(page)).frames === 0, 'nothing is shown before the key press (30 animation frames)');

  // Two seconds of music and 60 frames; the audio clock can fall behind the page's clock on a
  // busy machine, but never run ahead of it (0.5 s allowed for its steps).
  await page.keyboard.press('Space');
  await waitFor(page, 'frames after the key press', () => Morvanite.stats.frames > 30);
  const before = await stats(page);
  const playing = await reached(page, ({ frames, played }) =>
    Morvanite.stats.frames >= frames + 60 && Morvanite.outputPlayed() >= played + 2 * 176400,
    { frames: before.frames, played: before.played });
  const after = await stats(page);
  const played = (after.played - before.played) / kSecondOfMusic;
  const elapsed = (after.now - before.now) / 1000;
  expect(after.audio === 'running', `the music plays in an AudioContext (${after.audio})`);
  expect(playing, `frames are shown while the music plays (${after.frames - before.frames} ` +
         `frames, ${played.toFixed(2)} s of music)`);
  expect(played <= elapsed + 0.5,
         `the audio clock keeps to the page's clock (${played.toFixed(2)} s of music in ${elapsed.toFixed(2)} s)`);

  // A hidden tab stops the frames; the music goes on; shown again, the show goes on. The frame
  // the program was waiting to show when the tab was hidden may still count.
  const other = await browser.newPage();
  await other.bringToFront();
  if (await reached(page, () => document.visibilityState === 'hidden', undefined, 10000)) {
    const hidden1 = await stats(page);
    const goesOn = await reached(page, (played) => Morvanite.outputPlayed() >= played + 2 * 176400,
                                 hidden1.played);
    const hidden2 = await stats(page);
    expect(goesOn && hidden2.frames - hidden1.frames <= 1,
           `a hidden tab pauses the frames (${hidden2.frames - hidden1.frames} more) while the music ` +
           `goes on (${((hidden2.played - hidden1.played) / kSecondOfMusic).toFixed(2)} s)`);
  } else {
    console.log(`note: this Chromium keeps a background tab '${(await stats(page)).visibility}'; hiding not checked`);
  }
  await page.bringToFront();
  await other.close();
  const back = await stats(page);
  const goesOn = await reached(page, (frames) => Morvanite.stats.frames > frames + 20, back.frames);
  const shown = await stats(page);
  expect(goesOn, `shown again, the show goes on (${shown.frames - back.frames} frames)`);

  // A screenshot inside the second part.
  await waitFor(page, 'the second part', () => Morvanite.stats.position >= 160 * 17400);
  const second1 = await canvasDigest(page);
  await page.screenshot({ path: join(options.out, 'live-t160.png') });
  await waitFor(page, '30 more frames', (frames) => Morvanite.stats.frames >= frames + 30, second1.frames);
  const second2 = await canvasDigest(page);
  expect(second1.hash !== second2.hash && second2.lit > 1000,
         `the frames change and are not black (${second2.lit} lit pixels, ` +
         `${second2.frames - second1.frames} frames apart)`);
  console.log(`screenshot: ${join(options.out, 'live-t160.png')}`);

  await page.keyboard.press('Escape');
  await waitFor(page, 'the end after Escape', () => document.body.dataset.state === 'ended');
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
  await waitFor(page, 'the start prompt', () => document.body.dataset.state === 'prompt');
  await page.keyboard.press('Space');
  await waitFor(page, 'the show under way', () => Morvanite.stats.frames >= 60);
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
