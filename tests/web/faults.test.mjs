// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The page where things go wrong around it: two copies at once, a tab in
// the background, the graphics context lost. Each must keep its own surface,
// draw only when seen, come back whole, and log no error.

import assert from 'node:assert/strict';
import {writeFileSync} from 'node:fs';
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import {after, before, test} from 'node:test';
import {checkFrame, frameCount, freshPictures, launch, openViewer, pageUrl, pictures,
        waitUntil} from './browser.mjs';

let browser;
before(async () => {
  freshPictures('faults');
  browser = await launch({width: 1200});
});
after(() => browser?.close());

const pressIn = async (page, x, keys) => {
  await page.mouse.click(x, 300);
  for (const key of keys) await page.keyboard.press(key);
};

test('two copies side by side each keep their own surface', async () => {
  const twoCopies = path.join(pictures, 'two-copies.html');
  writeFileSync(twoCopies, `<!doctype html><body style="margin:0">
    <iframe src="${pageUrl}" style="position:absolute;left:0;top:0;width:600px;height:600px;border:0"></iframe>
    <iframe src="${pageUrl}" style="position:absolute;left:600px;top:0;width:600px;height:600px;border:0"></iframe>`);
  const page = await openViewer(browser, {url: pathToFileURL(twoCopies).href, firstFrame: false});
  const [left, right] = page.frames().slice(1);
  for (const copy of [left, right]) await waitUntil(copy, () => window.frameProbe?.frames === 1);
  await pressIn(page, 300, ['a', 'b']);
  await pressIn(page, 900, ['c', 'd', 'e']);
  await pressIn(page, 300, ['f']);
  assert.deepEqual([await frameCount(left), await frameCount(right)], [4, 4]);
  await checkFrame(page, 3, 'left-copy', {x: 100});
  await checkFrame(page, 3, 'right-copy', {x: 700});
  await pressIn(page, 900, ['g']);
  await checkFrame(page, 3, 'left-copy-still', {x: 100});
  await checkFrame(page, 4, 'right-copy-after', {x: 700});
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('a page in a background tab draws nothing until it is in front again, then answers its keys', async () => {
  const back = await openViewer(browser);
  const front = await openViewer(browser);
  await waitUntil(back, () => document.hidden);
  // A key that reaches the hidden page moves it on, but it draws when seen.
  await back.keyboard.press('a');
  await front.keyboard.press('b');
  await front.keyboard.press('c');
  assert.equal(await back.evaluate(() => document.hidden), true);
  assert.equal(await frameCount(back), 1, 'no frame while hidden');
  await back.bringToFront();
  await waitUntil(back, () => window.frameProbe.frames === 2);
  await checkFrame(back, 1, 'back-in-front');
  await back.keyboard.press('d');
  assert.equal(await frameCount(back), 3);
  await checkFrame(back, 2, 'back-after-a-key');
  assert.equal(await frameCount(front), 3);
  for (const page of [back, front]) {
    assert.deepEqual(page.problems, []);
    await page.close();
  }
});

test('a lost graphics context is told in one line, then restored with the current surface', async () => {
  const page = await openViewer(browser);
  await page.keyboard.press('a');
  await page.evaluate(() => {
    window.loseContext = window.frameProbe.context.getExtension('WEBGL_lose_context');
    window.loseContext.loseContext();
  });
  await waitUntil(page, () => document.getElementById('lost'));
  // Under the keys' line, announced at once.
  const notes = await page.$$eval('main p', ps => ps.map(p => {
    const box = p.getBoundingClientRect();
    return [p.id, p.getAttribute('role'), box.left, box.top, box.bottom];
  }));
  assert.deepEqual(notes.map(note => note.slice(0, 3)), [['status', 'status', 100], ['lost', 'alert', 100]]);
  assert.ok(notes[0][3] === 508 && notes[0][4] <= notes[1][3], `the lines overlap: ${notes}`);
  assert.equal(await page.$eval('#lost', p => p.innerText),
               'The graphics context was lost; reload the page to draw again.');
  // Keys still move the surface on while nothing can be drawn.
  await page.keyboard.press('b');
  await page.keyboard.press('c');
  assert.equal(await frameCount(page), 2);
  await page.evaluate(() => window.loseContext.restoreContext());
  await waitUntil(page, () => window.frameProbe.frames === 3 && !document.getElementById('lost'));
  await checkFrame(page, 3, 'restored');
  await page.keyboard.press('d');
  await checkFrame(page, 4, 'restored-then-a-key');
  assert.deepEqual(page.problems, []);
  await page.close();
});
