// Headless Chromium on the built page, shared by the browser tests and the
// benchmark. The page is opened from disk, as a user double-clicking it would.

import {spawnSync} from 'node:child_process';
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import puppeteer from 'puppeteer-core';

export const root = path.resolve(import.meta.dirname ?? path.dirname(new URL(import.meta.url).pathname), '../..');
export const pageUrl = pathToFileURL(path.join(root, 'build-web/surface-viewer.html')).href;

// WEB_BROWSER=firefox drives Debian's firefox-esr (over WebDriver BiDi)
// instead of Chromium. Headless Firefox offers no WebGL without a GPU, so it
// runs with a window, in the X server that the caller provides (xvfb-run).
export const firefox = process.env.WEB_BROWSER === 'firefox';

// Chromium without a GPU draws WebGL with SwiftShader, which it only offers
// when asked. withoutWebGL: a browser that has none.
export async function launch({withoutWebGL = false} = {}) {
  const viewport = {width: 600, height: 600, deviceScaleFactor: 1};
  if (firefox) {
    return puppeteer.launch({
      browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: false,
      defaultViewport: viewport, extraPrefsFirefox: {'webgl.disabled': withoutWebGL},
    });
  }
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    defaultViewport: viewport,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
           '--window-size=600,600', ...(withoutWebGL ? ['--disable-3d-apis'] : [])],
  });
}

// Counts frames from outside the page: every frame starts with one clear and
// ends with the draw of its buffer. Installed before the page's own script.
function frameProbe() {
  window.frameProbe = {frames: 0, frameEnds: [], keys: []};
  const proto = WebGLRenderingContext.prototype;
  const clear = proto.clear;
  proto.clear = function(...args) {
    window.frameProbe.frames++;
    return clear.apply(this, args);
  };
  const drawArrays = proto.drawArrays;
  proto.drawArrays = function(...args) {
    const result = drawArrays.apply(this, args);
    this.finish();
    window.frameProbe.frameEnds.push(performance.now());
    return result;
  };
  window.addEventListener('keydown', event => window.frameProbe.keys.push(event.timeStamp), true);
}

// A page with the viewer loaded and its first frame drawn; console errors
// and uncaught exceptions are collected in page.problems.
export async function openViewer(browser) {
  const page = await browser.newPage();
  page.problems = [];
  page.on('console', message => {
    if (message.type() === 'error' || message.type() === 'warn') page.problems.push(message.text());
  });
  page.on('pageerror', error => page.problems.push(String(error)));
  await page.evaluateOnNewDocument(frameProbe);
  await page.goto(pageUrl);
  await page.waitForFunction(() => window.frameProbe.frameEnds.length > 0);
  return page;
}

export const frameCount = page => page.evaluate(() => window.frameProbe.frames);

// The 400 by 400 pixels at the window's place, as the browser composed them.
export async function capture(page, file) {
  await page.screenshot({path: file, clip: {x: 100, y: 100, width: 400, height: 400}});
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
