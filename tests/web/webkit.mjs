// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// WebKit for the browser tests: WebKitGTK's MiniBrowser driven by
// WebKitWebDriver over classic WebDriver (HTTP), whose WebDriver BiDi this
// build of WebKitGTK leaves out, so puppeteer cannot drive it. This is only
// the part of puppeteer's Browser and Page that the suites call.
//
// Each page is a window of its own, shown as a browser's front tab is: the
// others are minimised, and so hidden. The driver runs no script before a
// page's own, so a page loads minimised (hidden, it draws nothing), gets the
// scripts of evaluateOnNewDocument and a recorder of console errors and
// warnings, uncaught errors and refusals of the page's policy in every frame,
// and is then shown and draws its first frame. The driver has no log: what
// the recorder finds reaches the page's 'console' and 'pageerror' listeners.

import {spawn} from 'node:child_process';
import {existsSync, readdirSync, writeFileSync} from 'node:fs';
import {createServer} from 'node:net';
import {convert} from './browser.mjs';

// libwebkit2gtk-4.1-0 installs it in the architecture's library folder.
const miniBrowser = readdirSync('/usr/lib').map(dir => `/usr/lib/${dir}/webkit2gtk-4.1/MiniBrowser`).find(existsSync);

// WebDriver's code points for the named keys the suites press.
const keyCodes = {Backspace: '\uE003', Tab: '\uE004', Enter: '\uE007', Shift: '\uE008', Control: '\uE009',
                  Escape: '\uE00C', PageDown: '\uE00F', ArrowLeft: '\uE012', ArrowUp: '\uE013',
                  ArrowRight: '\uE014', ArrowDown: '\uE015', F1: '\uE031'};
const keyActions = (key, ...types) => ({type: 'key', id: 'keyboard',
                                        actions: types.map(type => ({type, value: keyCodes[key] ?? key}))});

function recordProblems() {
  const report = problem => (window.top === window ? window.pageProblems.push(problem)
                                                    : window.top.postMessage({pageProblem: problem}, '*'));
  if (window.top === window) {
    window.pageProblems = [];
    addEventListener('message', event => event.data?.pageProblem && report(event.data.pageProblem));
  }
  for (const type of ['error', 'warn']) {
    const log = console[type];
    console[type] = (...args) => { report([type, args.join(' ')]); log.apply(console, args); };
  }
  addEventListener('error', event => report(['pageerror', String(event.error ?? event.message)]));
  addEventListener('unhandledrejection', event => report(['pageerror', String(event.reason)]));
  document.addEventListener('securitypolicyviolation',
                            event => report(['error', `refused by ${event.violatedDirective}: ${event.blockedURI}`]));
}

// puppeteer's evaluate takes a function, or a string: an expression, or a
// script such as a library's source.
function scriptOf(code) {
  if (typeof code === 'function') return `return (${code}).apply(null, arguments);`;
  try {
    new Function(`return (${code}\n);`);
    return `return (${code}\n);`;
  } catch {
    return code;
  }
}

class Session {
  static async start(scale, args) {
    const port = await new Promise(resolve => {
      const server = createServer().listen(0, '127.0.0.1', () => {
        const {port} = server.address();
        server.close(() => resolve(port));
      });
    });
    const env = {...process.env, GDK_SCALE: String(scale)};
    const driver = spawn('WebKitWebDriver', [`--port=${port}`], {env, stdio: 'ignore'});
    const session = new Session(driver, `http://127.0.0.1:${port}`, scale);
    for (let tries = 0; !(await session.call('GET', '/status').catch(() => null))?.ready; tries++) {
      if (tries === 200) throw new Error('WebKitWebDriver did not start');
      await new Promise(resolve => setTimeout(resolve, 50));
    }
    const options = {binary: miniBrowser, args: ['--automation', ...args]};
    const {sessionId} = await session.call('POST', '/session',
                                           {capabilities: {alwaysMatch: {'webkitgtk:browserOptions': options}}});
    session.base += `/session/${sessionId}`;
    session.first = session.window = await session.call('GET', '/window');
    return session;
  }

  constructor(driver, base, scale) {
    Object.assign(this, {driver, base, scale, window: null});
  }

  async call(method, path, body) {
    const response = await fetch(this.base + path, {
      method, headers: {'content-type': 'application/json'}, body: body && JSON.stringify(body)});
    const {value} = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
    return value;
  }

  async use(window) {
    if (this.window !== window) await this.call('POST', '/window', {handle: window});
    this.window = window;
  }

  // New windows come from a window that is open: the first, which no page uses.
  async newWindow() {
    await this.use(this.first);
    return (await this.call('POST', '/window/new', {type: 'window'})).handle;
  }

  async close() {
    await this.call('DELETE', '').catch(() => {});
    await new Promise(ended => {
      this.driver.once('exit', ended);
      this.driver.kill();
    });
  }
}

class Frame {
  constructor(page, index) {
    Object.assign(this, {page, index});
  }

  async evaluate(code, ...args) {
    const session = await this.page.use();
    if (this.index !== null) await session.call('POST', '/frame', {id: this.index});
    try {
      return await session.call('POST', '/execute/sync', {script: scriptOf(code), args});
    } finally {
      if (this.index !== null) await session.call('POST', '/frame', {id: null});
      await this.page.collectProblems();
    }
  }
}

class Page {
  constructor(browser, session, window, width) {
    Object.assign(this, {browser, session, window, width, height: 600, newDocument: [], listeners: {}});
    this.main = new Frame(this, null);
    this.childFrames = [];
    this.keyboard = {
      press: key => this.act(keyActions(key, 'keyDown', 'keyUp')),
      down: key => this.act(keyActions(key, 'keyDown')),
      up: key => this.act(keyActions(key, 'keyUp')),
    };
    this.mouse = {
      click: (x, y) => this.act({type: 'pointer', id: 'mouse', actions: [
        {type: 'pointerMove', x, y}, {type: 'pointerDown', button: 0}, {type: 'pointerUp', button: 0}]}),
    };
  }

  async use() {
    await this.session.use(this.window);
    return this.session;
  }

  on(event, listener) {
    (this.listeners[event] ??= []).push(listener);
  }

  async collectProblems() {
    const session = await this.use();
    const problems = await session.call('POST', '/execute/sync',
                                        {script: 'return window.pageProblems?.splice(0) ?? [];', args: []});
    for (const [type, text] of problems) {
      if (type === 'pageerror') for (const listener of this.listeners.pageerror ?? []) listener(new Error(text));
      else for (const listener of this.listeners.console ?? []) listener({type: () => type, text: () => text});
    }
  }

  async act(source) {
    await (await this.use()).call('POST', '/actions', {actions: [source]});
    await this.collectProblems();
  }

  // The window as wide as the page and higher, for its bar: the page at least
  // width by height. The page learns its size after the window has it.
  async resize() {
    await (await this.use()).call('POST', '/window/rect', {width: this.width, height: this.height + 100});
    const fits = await this.evaluate(async (width, height) => {
      for (let wait = 0; wait < 400; wait++) {
        if (innerWidth === width && innerHeight >= height) return true;
        await new Promise(resolve => setTimeout(resolve, 50));
      }
      return false;
    }, this.width, this.height);
    if (!fits) throw new Error(`the page is not ${this.width} px wide and ${this.height} px high within 20 s`);
  }

  async bringToFront() {
    for (const page of this.browser.pages) {
      if (page !== this && page.session === this.session) await (await page.use()).call('POST', '/window/minimize', {});
    }
    await this.resize();
  }

  async load(navigate) {
    const session = await this.use();
    await session.call('POST', '/window/minimize', {});
    await navigate(session);
    const count = await session.call('POST', '/execute/sync', {script: 'return window.frames.length;', args: []});
    this.childFrames = Array.from({length: count}, (_, i) => new Frame(this, i));
    for (const frame of [this.main, ...this.childFrames]) {
      for (const script of [recordProblems, ...this.newDocument]) await frame.evaluate(script);
    }
    await this.bringToFront();
  }

  goto(url) {
    return this.load(session => session.call('POST', '/url', {url}));
  }

  reload() {
    return this.load(session => session.call('POST', '/refresh', {}));
  }

  async evaluateOnNewDocument(script) {
    this.newDocument.push(script);
  }

  // A scale other than the browser's needs a browser of that scale: the page
  // moves to it before it loads anything.
  async setViewport({width, height, deviceScaleFactor = 1}) {
    Object.assign(this, {width, height});
    if (deviceScaleFactor !== this.session.scale) {
      await (await this.use()).call('DELETE', '/window');
      this.session.window = null;
      this.session = await this.browser.session(deviceScaleFactor);
      this.window = await this.session.newWindow();
    }
    await this.resize();
  }

  frames() {
    return [this.main, ...this.childFrames];
  }

  evaluate(code, ...args) {
    return this.main.evaluate(code, ...args);
  }

  $eval(selector, code, ...args) {
    return this.evaluate(`(${code})(document.querySelector(${JSON.stringify(selector)}), ...${JSON.stringify(args)})`);
  }

  $$eval(selector, code, ...args) {
    return this.evaluate(`(${code})([...document.querySelectorAll(${JSON.stringify(selector)})], ...${JSON.stringify(args)})`);
  }

  $(selector) {
    return this.evaluate(selector => document.querySelector(selector), selector);
  }

  async title() {
    return (await this.use()).call('GET', '/title');
  }

  // The whole page as the window shows it (the canvas element's own
  // screenshot misses its top rows and the label in this WebKitGTK), cut to
  // the clip.
  async screenshot({path, clip}) {
    const png = await (await this.use()).call('GET', '/screenshot');
    writeFileSync(path, Buffer.from(png, 'base64'));
    const scale = this.session.scale;
    convert(path, '-crop', `${clip.width * scale}x${clip.height * scale}+${clip.x * scale}+${clip.y * scale}`,
            '+repage', path);
  }

  async close() {
    await (await this.use()).call('DELETE', '/window');
    this.session.window = null;
    this.browser.pages.splice(this.browser.pages.indexOf(this), 1);
  }
}

class Browser {
  constructor(args, width) {
    Object.assign(this, {args, width, sessions: new Map(), pages: []});
  }

  // The browser at a device scale factor, started when first needed.
  session(scale) {
    if (!this.sessions.has(scale)) this.sessions.set(scale, Session.start(scale, this.args));
    return this.sessions.get(scale);
  }

  async newPage() {
    const session = await this.session(1);
    const page = new Page(this, session, await session.newWindow(), this.width);
    this.pages.push(page);
    await page.resize();
    return page;
  }

  async close() {
    for (const session of this.sessions.values()) await (await session).close();
  }
}

export async function launchWebKit({withoutWebGL = false, width = 600} = {}) {
  if (!miniBrowser) throw new Error('no MiniBrowser: install webkit2gtk-driver (scripts/install-deps web-test)');
  const browser = new Browser(withoutWebGL ? ['--enable-webgl=false'] : [], width);
  await browser.session(1);
  return browser;
}
