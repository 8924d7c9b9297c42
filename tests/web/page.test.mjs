// The web page in a real browser (headless Chromium; Firefox with
// WEB_BROWSER=firefox), driven with real key events: the window,
// the seven-key cycle against the gallery, the keys that must do nothing, Esc,
// and a browser without WebGL. Yardstick for a frame: no further from the
// gallery (llvmpipe) than 1.25 times Mesa's softpipe, another correct GL,
// whose frames scripts/web captures beforehand into SOFTPIPE_FRAMES.

import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {mkdirSync, rmSync} from 'node:fs';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {capture, differingPixels, firefox, frameCount, launch, openViewer, pageUrl, root} from './browser.mjs';

const pictures = path.join(root, 'build-web/web-pictures', firefox ? 'firefox' : 'chromium');
const softpipe = process.env.SOFTPIPE_FRAMES ?? path.join(root, 'build-web/softpipe');
const gallery = surface => path.join(root, `docs/gallery/surface-${surface}.png`);
// Rows 30 to 46 hold the label: 8 by 13 cells from x = 18 on.
const labelStrip = '304x17+16+30';
const labels = ['1', 'cos(u)', 'u*u', '2-u*u', '1/u', '1 + 0.1*cos(u*2*PI) + 0.3*cos(v*4*PI)',
                'fn = 2 + cos(u*PI); u = sin(u*PI)'];

// Glyphs of the labels that the X font draws differently from the GLUT that
// drew the gallery: its asterisk sits two rows higher, its minus is one
// pixel shorter.
const glyphsOfAnotherFont = '*-';

// The label's mid-grey pixels in the strip of both pictures, the cells of
// those glyphs blanked: on surface 4 cells reach into the strip, and only the
// glyphs there are compared.
function labelDifference(shot, surface) {
  const blanks = [...labels[surface]].flatMap((c, i) => glyphsOfAnotherFont.includes(c)
    ? ['-draw', `rectangle ${18 + 8 * i},30 ${25 + 8 * i},46`] : []);
  const strips = [shot, gallery(surface)].map((file, i) => {
    const strip = path.join(pictures, `label-${i}.png`);
    const run = spawnSync('convert', [file, '-fill', 'black', ...blanks, '-crop', labelStrip, '+repage',
                                      '-fuzz', '1%', '-fill', 'white', '-opaque', '#808080',
                                      '-fill', 'black', '+opaque', 'white', strip]);
    assert.equal(run.status, 0, String(run.stderr));
    return strip;
  });
  return differingPixels(strips[0], strips[1]);
}

let browser;
before(async () => {
  rmSync(pictures, {recursive: true, force: true});
  mkdirSync(pictures, {recursive: true});
  browser = await launch();
});
after(() => browser?.close());

// Compares the window with the gallery's picture of the surface; a failing
// frame leaves the picture and its difference image in build-web/web-pictures/BROWSER.
async function checkFrame(page, surface, name) {
  const shot = await capture(page, path.join(pictures, `${name}.png`));
  const limit = 1.25 * differingPixels(path.join(softpipe, `surface-${surface}.png`), gallery(surface));
  const frame = differingPixels(shot, gallery(surface), path.join(pictures, `${name}-diff.png`));
  const label = labelDifference(shot, surface);
  console.log(`${name}: surface ${surface}, ${frame} pixels differ (limit ${limit}), label strip ${label}`);
  assert.ok(frame <= limit, `${name}: ${frame} pixels differ from the gallery, more than ${limit}`);
  assert.equal(label, 0, `${name}: the label's pixels differ on ${label}`);
  rmSync(shot);
  rmSync(path.join(pictures, `${name}-diff.png`));
}

test('the window: title, size and place, keyboard focus, one frame and then idle', async () => {
  const page = await openViewer(browser);
  assert.equal(await page.title(), 'foo!');
  const box = await page.$eval('canvas', c => {
    const r = c.getBoundingClientRect();
    return [r.x, r.y, r.width, r.height, c.width, c.height, document.activeElement === c];
  });
  assert.deepEqual(box, [100, 100, 400, 400, 400, 400, true]);
  await new Promise(resolve => setTimeout(resolve, 500));
  assert.equal(await frameCount(page), 1, 'nothing asked for a second frame');
  await page.reload();
  await page.waitForFunction(() => window.frameProbe.frames === 1);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('seven character keys cycle through the gallery and back; other keys change nothing', async () => {
  const page = await openViewer(browser);
  await checkFrame(page, 0, 'first-frame');
  const keys = ['a', 'Z', '5', ' ', 'Enter', 'Backspace', 'Tab'];
  for (const [i, key] of keys.entries()) {
    await page.keyboard.press(key);
    assert.equal(await frameCount(page), i + 2, `${key} gives exactly one frame`);
    await checkFrame(page, (i + 1) % 7, `after-${i + 1}-keys`);
  }
  for (const key of ['ArrowUp', 'ArrowLeft', 'F1', 'Shift', 'Control', 'PageDown']) {
    await page.keyboard.press(key);
  }
  assert.equal(await frameCount(page), 8, 'keys without a character reach nothing');
  // A held key: once per repeated character.
  await page.keyboard.down('q');
  await page.keyboard.down('q');
  await page.keyboard.down('q');
  await page.keyboard.up('q');
  assert.equal(await frameCount(page), 11);
  // Focus lost to the page, then given back by a click on the canvas.
  await page.evaluate(() => document.activeElement.blur());
  await page.keyboard.press('a');
  assert.equal(await frameCount(page), 11);
  await page.mouse.click(300, 300);
  await page.keyboard.press('a');
  assert.equal(await frameCount(page), 12);
  await checkFrame(page, 4, 'after-a-click');
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('Esc ends the program with status 1; afterwards no key draws', async () => {
  const page = await openViewer(browser);
  await page.keyboard.press('x');
  const before = await capture(page, path.join(pictures, 'before-escape.png'));
  await page.keyboard.press('Escape');
  assert.equal(await page.evaluate(() => document.body.innerText.trim()),
               'The viewer ended with status 1.');
  for (const key of ['a', 'Enter', 'Escape']) await page.keyboard.press(key);
  assert.equal(await frameCount(page), 2);
  const afterKeys = await capture(page, path.join(pictures, 'after-escape.png'));
  assert.equal(differingPixels(before, afterKeys), 0);
  rmSync(before);
  rmSync(afterKeys);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('without WebGL the page says so in one line where the canvas would be', async () => {
  const plain = await launch({withoutWebGL: true});
  try {
    const page = await plain.newPage();
    await page.goto(pageUrl);
    await page.waitForFunction(() => document.title === 'foo!');
    const note = await page.$eval('p', p => [p.innerText, p.offsetLeft, p.offsetTop]);
    assert.deepEqual(note, ['This page needs WebGL, which this browser does not offer.', 100, 100]);
    assert.equal(await page.$('canvas'), null);
  } finally {
    await plain.close();
  }
});
