// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The web page in a real browser (headless Chromium; Firefox or WebKit with
// WEB_BROWSER=firefox or webkit), driven with real key events: the window,
// the seven-key cycle against the gallery and as a screen reader gets it, the
// keys that must do nothing, Esc, the page's policy and a browser without
// WebGL.

import assert from 'node:assert/strict';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {accessibilityViolations, capture, checkFrame, differingPixels, firefox, frameCount, freshPictures,
        launch, openViewer, pageUrl, pictures, waitUntil, webkit} from './browser.mjs';
import {rmSync} from 'node:fs';

let browser;
before(async () => {
  freshPictures('page');
  browser = await launch();
});
after(() => browser?.close());

test('the window: title, size and place, keyboard focus shown around it, one frame and then idle', async () => {
  const page = await openViewer(browser);
  assert.equal(await page.title(), 'foo!');
  const box = await page.$eval('canvas', c => {
    const r = c.getBoundingClientRect();
    return [r.x, r.y, r.width, r.height, c.width, c.height, document.activeElement === c];
  });
  assert.deepEqual(box, [100, 100, 400, 400, 400, 400, true]);
  // A ring around the window while it has the focus; its own pixels unchanged.
  const around = async name => {
    const file = path.join(pictures, `${name}.png`);
    await page.screenshot({path: file, clip: {x: 96, y: 96, width: 408, height: 408}});
    return file;
  };
  const focused = await around('focused');
  await page.evaluate(() => document.activeElement.blur());
  const unfocused = await around('unfocused');
  assert.ok(differingPixels(focused, unfocused) >= 4 * 2 * 400, 'a ring 2 pixels wide around the window');
  assert.equal(differingPixels(`${focused}[400x400+4+4]`, `${unfocused}[400x400+4+4]`), 0);
  rmSync(focused);
  rmSync(unfocused);
  await new Promise(resolve => setTimeout(resolve, 500));
  assert.equal(await frameCount(page), 1, 'nothing asked for a second frame');
  await page.reload();
  await waitUntil(page, () => window.frameProbe.frames === 1);
  assert.deepEqual(page.problems, []);
  await page.close();
});

// The labels the frames draw, which a screen reader is told as they change.
const labels = ['1', 'cos(u)', 'u*u', '2-u*u', '1/u', '1 + 0.1*cos(u*2*PI) + 0.3*cos(v*4*PI)',
                'fn = 2 + cos(u*PI); u = sin(u*PI)'];
const spoken = page => page.$eval('#text', region => [region.getAttribute('role'), region.textContent]);

test('seven character keys cycle through the gallery and back, each formula told; other keys change nothing', async t => {
  const page = await openViewer(browser);
  await checkFrame(page, 0, 'first-frame');
  assert.deepEqual(await spoken(page), ['status', labels[0]]);
  assert.deepEqual(await accessibilityViolations(page), []);
  // Tab too is a key, as on the desktop.
  const keys = ['a', 'Z', '5', ' ', 'Enter', 'Backspace', 'Tab'];
  for (const [i, key] of keys.entries()) {
    await page.keyboard.press(key);
    assert.equal(await frameCount(page), i + 2, `${key} gives exactly one frame`);
    await checkFrame(page, (i + 1) % 7, `after-${i + 1}-keys`);
    assert.deepEqual(await spoken(page), ['status', labels[(i + 1) % 7]]);
  }
  assert.deepEqual(await accessibilityViolations(page), []);
  for (const key of ['ArrowUp', 'ArrowLeft', 'F1', 'Shift', 'Control', 'PageDown']) {
    await page.keyboard.press(key);
  }
  assert.equal(await frameCount(page), 8, 'keys without a character reach nothing');
  // A held key: once per repeated character. WebKitWebDriver sends a key
  // held down once, without repeats.
  const held = webkit ? 1 : 3;
  if (webkit) t.diagnostic('WebKit: a held key without its repeats, which WebKitWebDriver does not send');
  await page.keyboard.down('q');
  await page.keyboard.down('q');
  await page.keyboard.down('q');
  await page.keyboard.up('q');
  assert.equal(await frameCount(page), 8 + held);
  // Focus lost to the page, then given back by a click on the canvas.
  await page.evaluate(() => document.activeElement.blur());
  await page.keyboard.press('a');
  assert.equal(await frameCount(page), 8 + held);
  await page.mouse.click(300, 300);
  await page.keyboard.press('a');
  assert.equal(await frameCount(page), 9 + held);
  await checkFrame(page, (8 + held) % 7, 'after-a-click');
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('Esc ends the program with status 1, said in place of the keys\' line; afterwards no key draws, Tab leaves', async () => {
  const page = await openViewer(browser);
  const lines = () => page.$$eval('main p', notes => notes.map(p => [p.getAttribute('role'), p.innerText]));
  assert.deepEqual(await lines(), [['status', 'Any key shows the next surface (tap first); Esc frees the keys.']]);
  await page.keyboard.press('x');
  const before = await capture(page, path.join(pictures, 'before-escape.png'));
  await page.keyboard.press('Escape');
  assert.deepEqual(await lines(), [['status', 'The viewer ended with status 1.']]);
  for (const key of ['a', 'Enter', 'Escape']) await page.keyboard.press(key);
  assert.equal(await frameCount(page), 2);
  assert.deepEqual(await accessibilityViolations(page), []);
  // The keyboard is free: the page no longer takes Tab, which leaves the
  // window, and not for the phone's field. (WebKitGTK, with nothing else to
  // focus in its window, brings the focus round to the window again.)
  await page.evaluate(() => addEventListener('keydown', event => { window.tabTaken = event.defaultPrevented; }));
  await page.keyboard.press('Tab');
  const away = webkit ? ['INPUT'] : ['CANVAS', 'INPUT'];
  assert.deepEqual(await page.evaluate(away => [window.tabTaken, away.includes(document.activeElement.tagName)], away),
                   [false, false]);
  const afterKeys = await capture(page, path.join(pictures, 'after-escape.png'));
  assert.equal(differingPixels(before, afterKeys), 0);
  rmSync(before);
  rmSync(afterKeys);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('opened from disk, the page requests nothing, and its policy refuses any fetch', async () => {
  const page = await openViewer(browser);
  await page.keyboard.press('a');
  await page.keyboard.press('b');
  await checkFrame(page, 2, 'under-the-policy');
  // Chromium reports every request, the page's own included; Firefox's
  // WebDriver BiDi leaves out file URLs, and WebKitWebDriver reports none:
  // there the policy's reports of what it refused (none) stand for them.
  assert.deepEqual(page.requests.filter(url => url !== pageUrl), [], 'nothing but the page itself');
  assert.deepEqual(await page.evaluate(() => window.frameProbe.violations), []);
  assert.deepEqual(page.problems, []);
  // The policy allows nothing but the page's own script and style, named by
  // their hashes, and WebAssembly; and it is in force, not merely written:
  // an image, a script from a data URI and an inline script are all refused.
  const policy = await page.$eval('meta[http-equiv="Content-Security-Policy"]', meta => meta.content);
  assert.match(policy, /^default-src 'none'; script-src 'sha256-[A-Za-z0-9+\/]{43}=' 'wasm-unsafe-eval'; style-src 'sha256-[A-Za-z0-9+\/]{43}='; base-uri 'none'; form-action 'none'$/);
  const refused = await page.evaluate(async () => {
    const outcomes = [];
    for (const [tag, source] of [['img', 'data:image/png;base64,iVBORw0KGgo='],
                                 ['script', 'data:text/javascript,window.ran=1']]) {
      const element = document.createElement(tag);
      outcomes.push(await new Promise(resolve => {
        element.onload = () => resolve('loaded');
        element.onerror = () => resolve('refused');
        element.src = source;
        document.body.appendChild(element);
      }));
    }
    const inline = document.createElement('script');
    inline.textContent = 'window.ran = 1';
    document.body.appendChild(inline);
    outcomes.push(window.ran === undefined ? 'refused' : 'ran');
    return [outcomes, [...new Set(window.frameProbe.violations)].sort()];
  });
  assert.deepEqual(refused, [['refused', 'refused', 'refused'], ['img-src', 'script-src-elem']]);
  await page.close();
});

test('without WebGL the page says so in one line where the canvas would be', async () => {
  const plain = await launch({withoutWebGL: true});
  try {
    const page = await plain.newPage();
    await page.goto(pageUrl);
    await waitUntil(page, () => document.title === 'foo!');
    const note = await page.$eval('p', p => [p.innerText, p.offsetLeft, p.offsetTop]);
    assert.deepEqual(note, ['This page needs WebGL, which this browser does not offer.', 100, 100]);
    assert.equal(await page.$('canvas'), null);
  } finally {
    await plain.close();
  }
});
