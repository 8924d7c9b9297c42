// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// Headless Chromium (or Firefox, or WebKit) on the built page, shared by the browser
// tests and the benchmark. The page is opened from disk, as a user
// double-clicking it would: build-web/surface-viewer.html, or WEB_PAGE.

import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {mkdirSync, readFileSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import puppeteer from 'puppeteer-core';
import {launchWebKit} from './webkit.mjs';

export const root = path.resolve(import.meta.dirname ?? path.dirname(new URL(import.meta.url).pathname), '../..');
export const pagePath = path.resolve(process.env.WEB_PAGE ?? path.join(root, 'build-web/surface-viewer.html'));
export const pageUrl = pathToFileURL(pagePath).href;

// WEB_BROWSER=firefox drives Debian's firefox-esr (over WebDriver BiDi)
// instead of Chromium. Headless Firefox offers no WebGL without a GPU, so it
// runs with a window, in the X server that the caller provides (xvfb-run).
// WEB_BROWSER=webkit: WebKitGTK's MiniBrowser, also in that X server (webkit.mjs).
export const firefox = process.env.WEB_BROWSER === 'firefox';
export const webkit = process.env.WEB_BROWSER === 'webkit';
export const browserName = firefox ? 'firefox' : webkit ? 'webkit' : 'chromium';

// Chromium without a GPU draws WebGL with SwiftShader, which it only offers
// when asked. withoutWebGL: a browser that has none.
export async function launch({withoutWebGL = false, width = 600, browser = browserName} = {}) {
  if (browser === 'webkit') return launchWebKit({withoutWebGL, width});
  const viewport = {width, height: 600, deviceScaleFactor: 1};
  if (browser === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: false,
      defaultViewport: viewport,
      // Times to the microsecond, not rounded to the millisecond, for the benchmark.
      extraPrefsFirefox: {'webgl.disabled': withoutWebGL, 'privacy.reduceTimerPrecision': false},
    });
  }
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    defaultViewport: viewport,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
           `--window-size=${width},600`, ...(withoutWebGL ? ['--disable-3d-apis'] : [])],
  });
}

// Counts frames from outside the page: every frame starts with one clear and
// ends with the draw of its buffer (the frame's enlargement onto the canvas
// is drawn otherwise); also keeps what the page's policy refused, and the
// WebGL context. Installed before the page's own script, in every frame.
function frameProbe() {
  window.frameProbe = {frames: 0, frameEnds: [], violations: []};
  const proto = WebGLRenderingContext.prototype;
  const clear = proto.clear;
  proto.clear = function(...args) {
    window.frameProbe.frames++;
    window.frameProbe.context = this;
    return clear.apply(this, args);
  };
  const drawElements = proto.drawElements;
  proto.drawElements = function(...args) {
    const result = drawElements.apply(this, args);
    window.frameProbe.frameEnds.push(performance.now());
    return result;
  };
  document.addEventListener('securitypolicyviolation',
                            event => window.frameProbe.violations.push(event.violatedDirective));
}

// Console errors, warnings and uncaught exceptions of a page, kept in page.problems.
export function watchProblems(page) {
  page.problems = [];
  page.on('console', message => {
    if (message.type() === 'error' || message.type() === 'warn') page.problems.push(message.text());
  });
  page.on('pageerror', error => page.problems.push(String(error)));
}

// A page with the viewer loaded and (unless the URL is not the viewer's) its
// first frame drawn; every request it makes is kept in page.requests.
export async function openViewer(browser, {url = pageUrl, viewport, firstFrame = true} = {}) {
  const page = await browser.newPage();
  watchProblems(page);
  page.requests = [];
  page.on('request', request => page.requests.push(request.url()));
  if (viewport) await page.setViewport(viewport);
  await page.evaluateOnNewDocument(frameProbe);
  await page.goto(url);
  if (firstFrame) await waitUntil(page, () => window.frameProbe?.frameEnds.length > 0);
  return page;
}

// Waits, 30 s at most, until condition(argument) holds in the page or frame.
// Not puppeteer's waitForFunction: that builds its test with Function(),
// which the page's policy refuses in Firefox ESR 140.
export async function waitUntil(target, condition, argument = null) {
  const held = await target.evaluate(`(async () => {
    const condition = ${condition};
    const deadline = performance.now() + 30000;
    while (!condition(${JSON.stringify(argument)})) {
      if (performance.now() > deadline) return false;
      await new Promise(resolve => setTimeout(resolve, 5));
    }
    return true;
  })()`);
  assert.ok(held, `not within 30 s: ${condition}`);
}

// A tap of one finger. Firefox's remote protocol refuses the touch that
// puppeteer describes (its size, pressure and angle), so there the tap is a
// bare touch pointer.
export async function tap(page, x, y) {
  if (!firefox) return page.touchscreen.tap(x, y);
  return page.mainFrame().browsingContext.performActions([{
    type: 'pointer', id: 'finger', parameters: {pointerType: 'touch'},
    actions: [{type: 'pointerMove', x, y}, {type: 'pointerDown', button: 0}, {type: 'pointerUp', button: 0}],
  }]);
}

export const frameCount = target => target.evaluate(() => window.frameProbe.frames);

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

// What axe-core finds against WCAG 2.1 A and AA and its best practices, as
// "rule: elements". Its source is run as the driver's evaluation, which the
// page's policy allows, not as a script of the page's own, which it refuses.
export async function accessibilityViolations(page) {
  await page.evaluate(axeSource);
  return page.evaluate(async () => {
    const tags = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'];
    const result = await window.axe.run({runOnly: {type: 'tag', values: tags}});
    return result.violations.map(rule => `${rule.id}: ${rule.nodes.map(node => node.target).join(', ')}`);
  });
}

// The 400 by 400 pixels at the window's place, as the browser composed them.
export async function capture(page, file, {x = 100, y = 100} = {}) {
  // The frame drawn is on the screen once the browser has begun the frame
  // after the one that took it up.
  await page.evaluate(() => new Promise(shown => requestAnimationFrame(() => requestAnimationFrame(shown))));
  await page.screenshot({path: file, clip: {x, y, width: 400, height: 400}});
  return file;
}

// ImageMagick's count of pixels that differ by more than 1%, the measure the
// native end-to-end tests use; writes the difference image when asked.
export function differingPixels(a, b, diffFile = 'null:') {
  const args = ['-metric', 'AE', '-fuzz', '1%', a, b, diffFile];
  const run = spawnSync('compare', args, {encoding: 'utf8'});
  const value = Number.parseFloat(run.stderr);
  if (run.status > 1 || Number.isNaN(value)) throw new Error(`compare ${args.join(' ')}: ${run.stderr}`);
  return value;
}

export function convert(...args) {
  const run = spawnSync('convert', args, {encoding: 'utf8'});
  assert.equal(run.status, 0, `convert ${args.join(' ')}: ${run.stderr}`);
  return run.stdout;
}

// The dark pixels (the outlines) of each picture that lie more than 2 pixels
// from every dark pixel of the other: [where a has a line that b has not,
// where b has one that a has not].
function strayLinePixels(a, b) {
  const dark = file => ['(', file, '-colorspace', 'gray', '-threshold', '20%', '-negate', ')'];
  const near = i => ['(', '-clone', i, '-morphology', 'Dilate', 'Disk:2', '-negate', ')'];
  const away = (i, j) => ['(', '-clone', `${i},${j}`, '-compose', 'Multiply', '-composite', ')'];
  return convert(...dark(a), ...dark(b), ...near(1), ...near(0), ...away(0, 2), ...away(1, 3), '-delete', '0-3',
                 '-format', '%[fx:round(mean*w*h)]\n', 'info:').trim().split('\n').map(Number);
}

// --- The frames against the gallery ------------------------------------------

// build-web/web-pictures/BROWSER/SUITE, emptied when a suite starts.
export let pictures;
const softpipe = process.env.SOFTPIPE_FRAMES ?? path.join(root, 'build-web/softpipe');
const gallery = surface => path.join(root, `docs/gallery/surface-${surface}.png`);
const softpipeLines = [];
// Rows 30 to 46 hold the label: its 8 by 14 cells from x = 18 on.
const labelStrip = '304x17+16+30';

export function freshPictures(suite) {
  pictures = path.join(root, 'build-web/web-pictures', browserName, suite);
  rmSync(pictures, {recursive: true, force: true});
  mkdirSync(pictures, {recursive: true});
}

// The label's mid-grey pixels in the strip, white on black.
function glyphMask(file, out) {
  convert(file, '-crop', labelStrip, '+repage', '-fuzz', '1%', '-fill', 'white', '-opaque', '#808080',
          '-fill', 'black', '+opaque', 'white', out);
  return out;
}

const strip = file => `${file}[${labelStrip}]`;

// Compares a shot of the window with the gallery's picture of the surface:
// the whole frame no further from it than 1.25 times Mesa's softpipe (a
// second correct GL, drawn by scripts/web) is; the glyphs of the label pixel
// for pixel; and the label strip as a whole by the same yardstick as the
// frame, which is exact wherever softpipe's strip is (every surface but 4,
// whose cells reach into it); and where the lines are: the frame's dark
// pixels away from the gallery's, and the gallery's away from the frame's,
// each no more than softpipe's plus 50 (one stray line 25 pixels long). A
// failing frame leaves the picture and its difference image in
// build-web/web-pictures/BROWSER/SUITE.
export function checkShot(shot, surface, name) {
  const yardstick = path.join(softpipe, `surface-${surface}.png`);
  const limit = 1.25 * differingPixels(yardstick, gallery(surface));
  const diff = path.join(pictures, `${name}-diff.png`);
  const frame = differingPixels(shot, gallery(surface), diff);
  const masks = [shot, gallery(surface)].map((file, i) => glyphMask(file, path.join(pictures, `${name}-glyphs-${i}.png`)));
  const glyphs = differingPixels(masks[0], masks[1]);
  const stripLimit = 1.25 * differingPixels(strip(yardstick), strip(gallery(surface)));
  const wholeStrip = differingPixels(strip(shot), strip(gallery(surface)));
  const lines = strayLinePixels(shot, gallery(surface));
  softpipeLines[surface] ??= strayLinePixels(yardstick, gallery(surface));
  const lineLimits = softpipeLines[surface].map(count => count + 50);
  console.log(`${name}: surface ${surface}, ${frame} pixels differ (limit ${limit}), ` +
              `label glyphs ${glyphs}, label strip ${wholeStrip} (limit ${stripLimit}), ` +
              `lines astray ${lines.join('/')} (limits ${lineLimits.join('/')})`);
  assert.ok(frame <= limit, `${name}: ${frame} pixels differ from the gallery, more than ${limit}`);
  assert.equal(glyphs, 0, `${name}: the label's glyphs differ on ${glyphs} pixels`);
  assert.ok(wholeStrip <= stripLimit, `${name}: the label strip differs on ${wholeStrip} pixels, more than ${stripLimit}`);
  assert.ok(lines[0] <= lineLimits[0] && lines[1] <= lineLimits[1],
            `${name}: dark pixels away from the gallery's lines ${lines[0]}, of the gallery's lines missing ${lines[1]}`);
  for (const file of [shot, diff, ...masks]) rmSync(file);
}

export async function checkFrame(page, surface, name, place = {}) {
  checkShot(await capture(page, path.join(pictures, `${name}.png`), place), surface, name);
}
