// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The page on a phone or tablet: a touch screen and an on-screen keyboard,
// and two device pixels to each CSS pixel. A tap gives the focus to the
// page's own text field, whose typed characters reach the program as key
// presses; each pixel of the picture is shown as a sharp 2 by 2 square.

import assert from 'node:assert/strict';
import {rmSync} from 'node:fs';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {capture, checkShot, convert, differingPixels, firefox, frameCount, freshPictures, launch, openViewer,
        pictures, tap, waitUntil, webkit} from './browser.mjs';

let browser;
before(async () => {
  freshPictures('phone');
  browser = await launch();
});
after(() => browser?.close());

const phone = {width: 600, height: 600, deviceScaleFactor: 2, hasTouch: true};

// A shot at two device pixels per CSS pixel: every 2 by 2 square one colour,
// and the shot halved compared with the gallery as any frame is.
async function checkSharpFrame(page, surface, name) {
  const shot = await capture(page, path.join(pictures, `${name}-x2.png`));
  const halved = path.join(pictures, `${name}.png`);
  convert(shot, '-sample', '50%', halved);
  const squares = path.join(pictures, `${name}-squares.png`);
  convert(halved, '-sample', '200%', squares);
  assert.equal(differingPixels(shot, squares), 0, `${name}: the picture is smoothed, not enlarged in squares`);
  rmSync(squares);
  return {shot, halved, check: () => { checkShot(halved, surface, name); rmSync(shot); }};
}

// In WebKit too (with GDK_SCALE=2), which smooths an enlarged WebGL canvas
// whatever its image-rendering asks (WebKit bug 193895, which Safari shares).
// A page whose ratio changes draws once for it: here as in a zoom, which
// narrows the page too (Chromium emulates a new ratio without a resize, but
// tells the page's media queries only with one). WebKit's browser has one
// ratio, so there the page opens at two.
test('at two device pixels per CSS pixel the picture is the same, each pixel a sharp square', async () => {
  const plain = await openViewer(browser);
  const atScaleOne = await capture(plain, path.join(pictures, 'scale-1.png'));
  let page = plain;
  if (webkit) {
    await plain.close();
    page = await openViewer(browser, {viewport: phone});
  } else {
    await page.setViewport({width: 500, height: 600, deviceScaleFactor: 2});
    await waitUntil(page, () => window.frameProbe.frames === 2);
  }
  assert.equal(await page.evaluate(() => devicePixelRatio), 2);
  const frame = await checkSharpFrame(page, 0, 'scale-2');
  assert.equal(differingPixels(frame.halved, atScaleOne), 0, 'halved, the shot is the frame at scale 1');
  frame.check();
  rmSync(atScaleOne);
  assert.equal(await frameCount(page), webkit ? 1 : 2);
  assert.deepEqual([...new Set([plain, page])].flatMap(p => p.problems), []);
  await page.close();
});

const noTouch = webkit && 'WebKitGTK has touch events only with a touch screen, which Xvfb has not';

test('a tap gives the focus to the text field; typed characters cycle the surfaces and nothing is kept', {skip: noTouch}, async () => {
  const page = await openViewer(browser, {viewport: phone});
  await tap(page, 300, 300);
  const focused = await page.evaluate(() => {
    const field = document.activeElement;
    const style = getComputedStyle(field);
    return [field.tagName, field.type, style.opacity, field.getBoundingClientRect().width];
  });
  assert.deepEqual(focused, ['INPUT', 'text', '0', 1]);
  const typed = 'aZ5 xy.';
  for (const [i, character] of [...typed].entries()) {
    // Chromium: the DevTools protocol's Input.insertText, as an on-screen
    // keyboard commits text; Firefox: the same insertion through the editor.
    await page.keyboard.sendCharacter(character);
    assert.equal(await frameCount(page), i + 2, `"${character}" gives exactly one frame`);
    (await checkSharpFrame(page, (i + 1) % 7, `typed-${i + 1}`)).check();
  }
  assert.equal(await page.$eval('input', field => field.value), '');
  if (!firefox) {
    // A keyboard that composes words hands each new letter over as it comes,
    // and the committed word adds nothing.
    const session = await page.createCDPSession();
    for (const text of ['q', 'qw']) {
      await session.send('Input.imeSetComposition', {text, selectionStart: text.length, selectionEnd: text.length});
    }
    await session.send('Input.insertText', {text: 'qw'});
    assert.equal(await frameCount(page), 10);
    assert.equal(await page.$eval('input', field => field.value), '');
  }
  // A real keyboard's keys while the field has the focus: one frame each.
  const frames = await frameCount(page);
  await page.keyboard.press('k');
  await page.keyboard.press('ArrowDown');
  assert.equal(await frameCount(page), frames + 1);
  assert.equal(await page.$eval('input', field => field.value), '');
  await page.keyboard.press('Escape');
  assert.deepEqual(await page.$$eval('main p', notes => notes.map(p => p.innerText)), ['The viewer ended with status 1.']);
  await page.keyboard.sendCharacter('z');
  assert.equal(await frameCount(page), frames + 1);
  assert.deepEqual(page.problems, []);
  await page.close();
});
