// The web page's timings in headless Chromium: navigation to the first frame
// drawn (median of 10 loads) and key to frame (median and 99th percentile
// over 200 keys), with the page's size. A frame counts as drawn when WebGL
// has finished the draw that ends it (gl.finish after the frame's drawArrays).
// Run with `node bench/web_bench.mjs` after scripts/web; reports, never fails.

import {statSync} from 'node:fs';
import path from 'node:path';
import {launch, openViewer, root} from '../tests/web/browser.mjs';

const quantile = (values, q) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil(q * sorted.length) - 1)];
};

const browser = await launch();
try {
  const firstFrames = [];
  for (let i = 0; i < 10; i++) {
    const page = await openViewer(browser);
    firstFrames.push(await page.evaluate(() => window.frameProbe.frameEnds[0]));
    await page.close();
  }
  const page = await openViewer(browser);
  const latencies = [];
  for (let i = 0; i < 200; i++) {
    await page.keyboard.press('a');
    latencies.push(await page.evaluate(async () => {
      const probe = window.frameProbe;
      while (probe.frameEnds.length < probe.keys.length + 1) await new Promise(r => setTimeout(r, 1));
      return probe.frameEnds.at(-1) - probe.keys.at(-1);
    }));
  }
  const size = statSync(path.join(root, 'build-web/surface-viewer.html')).size;
  const ms = v => v.toFixed(1);
  console.log(`navigation to first frame, median of 10: ${ms(quantile(firstFrames, 0.5))} ms`);
  console.log(`key to frame over 200 keys: median ${ms(quantile(latencies, 0.5))} ms, ` +
              `99th percentile ${ms(quantile(latencies, 0.99))} ms`);
  console.log(`page: ${size} bytes (${(size / 1024).toFixed(1)} KiB)`);
} finally {
  await browser.close();
}
