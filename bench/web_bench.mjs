// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The web page's latency from a key to the screen, in headless Chromium and
// in Firefox (which needs an X server: scripts/web --bench gives it one), on
// the machine as it is and again beside two busy processes; with the page's
// size and the time from navigation to its first frame.
//
// For each key (200 per surface by default, keys a random 0 to 33 ms apart
// so that they fall anywhere in the browser's refresh), the page records
// the key event's time stamp, the end of the frame's draw, and the first
// requestAnimationFrame callback after that draw: the start of the browser's
// rendering update that takes the new frame to the screen. In Chromium the
// DevTools protocol's tracing also gives its own account of each key press
// (EventLatency), up to the compositor's presentation of the frame.
//
// Usage: node bench/web_bench.mjs [--keys-per-surface N] [--browsers chromium,firefox]
// Prints the rows of the table in bench/README.md; reports, never fails.

import {spawn} from 'node:child_process';
import {statSync} from 'node:fs';
import {availableParallelism, loadavg} from 'node:os';
import {parseArgs} from 'node:util';
import {launch, openViewer, pagePath, pageUrl, waitUntil} from '../tests/web/browser.mjs';

const {values: options} = parseArgs({options: {
  'keys-per-surface': {type: 'string', default: '200'},
  browsers: {type: 'string', default: 'chromium,firefox'},
}});
const keysPerSurface = Number(options['keys-per-surface']);
const browsers = options.browsers.split(',');

const quantile = (values, q) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.max(0, Math.ceil(q * sorted.length) - 1))];
};
const ms = v => v.toFixed(1);
const medP99 = v => `${ms(quantile(v, 0.5))} / ${ms(quantile(v, 0.99))}`;

// Installed before the page's own script: one sample per key.
function latencyProbe() {
  window.latency = [];
  let key = null;
  window.addEventListener('keydown', event => {
    key = {stamp: event.timeStamp, handled: performance.now()};
  }, true);
  const drawElements = WebGLRenderingContext.prototype.drawElements;
  WebGLRenderingContext.prototype.drawElements = function(...args) {
    const result = drawElements.apply(this, args);
    if (key !== null) {
      const sample = key;
      key = null;
      sample.drawn = performance.now();
      requestAnimationFrame(() => {
        sample.shown = performance.now();
        window.latency.push(sample);
      });
    }
    return result;
  };
}

// Chromium's EventLatency of each key press, with its stages: the trace's
// nested async events that share the key's id.
function keyLatencies(trace) {
  const events = JSON.parse(trace).traceEvents.filter(e => e.ph === 'b' || e.ph === 'e')
    .sort((a, b) => a.ts - b.ts);
  const open = new Map();
  const keys = [];
  for (const e of events) {
    const id = e.id2?.local ?? e.id2?.global ?? e.id;
    if (e.ph === 'b' && e.name === 'EventLatency') {
      open.set(id, e.args?.event_latency?.event_type === 'KEY_PRESSED' ? {stages: {}, starts: {}} : null);
    }
    const key = open.get(id);
    if (!key) continue;
    if (e.ph === 'b') key.starts[e.name] = e.ts;
    else if (key.starts[e.name] !== undefined) {
      key.stages[e.name] = (e.ts - key.starts[e.name]) / 1000;
      if (e.name === 'EventLatency') {
        keys.push(key.stages);
        open.delete(id);
      }
    }
  }
  return keys;
}

// Where the slowest tenth of the keys spend their time: each stage's median.
function slowKeyStages(samples, total) {
  const cut = quantile(samples.map(total), 0.9);
  const slow = samples.filter(s => total(s) >= cut);
  const names = [...new Set(slow.flatMap(s => Object.keys(s)))].filter(n => n !== 'EventLatency');
  return names.map(n => [n, quantile(slow.map(s => s[n] ?? 0), 0.5)])
    .filter(([, v]) => v >= 0.5).sort((a, b) => b[1] - a[1])
    .map(([n, v]) => `${n} ${ms(v)}`).join(', ');
}

function busyProcesses(count) {
  return Array.from({length: count}, () => spawn(process.execPath, ['-e', 'for (;;) {}'], {stdio: 'ignore'}));
}

async function measure(browserName) {
  const browser = await launch({browser: browserName});
  try {
    const firstFrames = [];
    for (let i = 0; i < 10; i++) {
      const page = await openViewer(browser);
      firstFrames.push(await page.evaluate(() => window.frameProbe.frameEnds[0]));
      await page.close();
    }
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(latencyProbe);
    await page.goto(pageUrl);
    await waitUntil(page, () => document.querySelector('canvas'));
    const tracing = browserName === 'chromium';
    if (tracing) await page.tracing.start({categories: ['input']});
    const keys = 7 * keysPerSurface;
    for (let i = 0; i < keys; i++) {
      await page.keyboard.press('a');
      await page.evaluate(n => new Promise(done => {
        const check = () => (window.latency.length >= n ? done() : setTimeout(check, 1));
        check();
      }), i + 1);
      await new Promise(resolve => setTimeout(resolve, Math.random() * 33));
    }
    const trace = tracing ? keyLatencies(new TextDecoder().decode(await page.tracing.stop())) : [];
    const samples = await page.evaluate(() => window.latency);
    await page.close();
    return {firstFrames, samples, trace};
  } finally {
    await browser.close();
  }
}

const bySurface = (values, f) => Array.from({length: 7}, (_, s) =>
  medP99(values.filter((_, i) => (i + 1) % 7 === s).map(f)));

console.log(`page: ${pagePath}, ${statSync(pagePath).size} bytes; ${keysPerSurface} keys per surface; ` +
            `${availableParallelism()} cores`);
console.log('| browser | machine | measure | 0 | 1 | 2 | 3 | 4 | 5 | 6 | all |');
console.log('|---|---|---|---|---|---|---|---|---|---|---|');
const notes = [];
for (const browserName of browsers) {
  for (const busy of [0, 2]) {
    const workers = busyProcesses(busy);
    const load = () => loadavg()[0].toFixed(2);
    const loadBefore = load();
    let result;
    try {
      result = await measure(browserName);
    } finally {
      for (const worker of workers) worker.kill();
    }
    const machine = `${busy ? 'two busy processes' : 'as it is'} (load ${loadBefore} to ${load()})`;
    const shown = s => s.shown - s.stamp;
    console.log(`| ${browserName} | ${machine} | key to frame shown, med / p99 ms | ` +
                `${bySurface(result.samples, shown).join(' | ')} | ${medP99(result.samples.map(shown))} |`);
    if (result.trace.length === result.samples.length) {
      const total = s => s.EventLatency;
      console.log(`| ${browserName} | ${machine} | key to presentation (EventLatency), med / p99 ms | ` +
                  `${bySurface(result.trace, total).join(' | ')} | ${medP99(result.trace.map(total))} |`);
      notes.push(`${browserName}, ${machine}: the slowest tenth of key presentations, median of each stage (ms): ` +
                 slowKeyStages(result.trace, total));
    } else if (result.trace.length) {
      notes.push(`${browserName}: the trace held ${result.trace.length} key presses for ${result.samples.length} keys; left out`);
    }
    const slow = result.samples.filter(s => shown(s) >= quantile(result.samples.map(shown), 0.9));
    const part = f => ms(quantile(slow.map(f), 0.5));
    notes.push(`${browserName}, ${machine}: the slowest tenth of keys to frame shown, median of each part (ms): ` +
               `delivery ${part(s => s.handled - s.stamp)}, program and upload ${part(s => s.drawn - s.handled)}, ` +
               `wait for the rendering update ${part(s => s.shown - s.drawn)}; ` +
               `navigation to the first frame, median of 10: ${ms(quantile(result.firstFrames, 0.5))} ms`);
  }
}
for (const note of notes) console.log(note);
