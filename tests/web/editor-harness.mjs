// Drives the editor page in Debian's Chromium the way the desktop program
// does: the page is opened from a file URL, messages go in through
// window.__qz_recv as one quoted JSON string, and messages come out through a
// recording stand-in for the host's chrome.webview channel.
import { chromium } from 'playwright-core';
import { fileURLToPath, pathToFileURL } from 'node:url';
import path from 'node:path';

const here = path.dirname(fileURLToPath(import.meta.url));
export const EDITOR_FILE = path.resolve(here, '../../resources/editor/editor.html');
export const EDITOR_URL = pathToFileURL(EDITOR_FILE).href;
export const FIXTURES = path.join(here, 'fixtures', 'editor');

export function launchBrowser() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
}

// Installed before the page's own script runs (or later, with a delay, to
// play a host whose channel arrives after the page has loaded).
function installChannel(delayMs) {
  window.__sent = [];
  const install = () => {
    window.__channelInstalledAt = performance.now();
    window.chrome = window.chrome || {};
    window.chrome.webview = {
      postMessage(message) {
        // The real channel serialises the object; keep only what survives that.
        window.__sent.push({
          at: performance.now(),
          receiverInstalled: typeof window.__qz_recv === 'function',
          msg: JSON.parse(JSON.stringify(message)),
        });
      },
    };
  };
  if (delayMs > 0) setTimeout(install, delayMs);
  else install();
}

export async function openEditor(browser, { channelDelayMs = 0, waitReady = true, viewport } = {}) {
  const context = await browser.newContext({ viewport: viewport || { width: 1000, height: 720 } });
  await context.addInitScript(installChannel, channelDelayMs);
  // The program's web view lets the page use the clipboard.
  await context.grantPermissions(['clipboard-read', 'clipboard-write']);
  const page = await context.newPage();
  page.__errors = [];
  page.on('pageerror', err => page.__errors.push(String(err)));
  await page.goto(EDITOR_URL);
  if (waitReady) await waitFor(page, m => m.type === 'ready');
  return page;
}

// Loads the editor afresh in an open page: a clean page, as after start-up.
export async function reloadEditor(page) {
  page.__errors = [];
  await page.goto(EDITOR_URL);
  await waitFor(page, m => m.type === 'ready');
  return page;
}

// The host's serialisation: compact JSON in pure ASCII, then quoted as a
// JavaScript string literal by doubling backslashes and escaping quotes and
// line ends, then run as a guarded call.
export function hostScript(message) {
  const json = JSON.stringify(message).replace(/[\u0000-\u001f\u007f-\uffff]/g,
    ch => '\\u' + ch.charCodeAt(0).toString(16).toUpperCase().padStart(4, '0'));
  const quoted = '"' + json.replace(/\\/g, '\\\\').replace(/"/g, '\\"').replace(/\r/g, '\\r').replace(/\n/g, '\\n') + '"';
  return 'window.__hostAt = performance.now(); window.__qz_recv && window.__qz_recv(' + quoted + ');';
}

export async function send(page, message) {
  await page.evaluate(hostScript(message));
}

export function exec(page, cmd, arg, origin = 'user') {
  const message = { type: 'exec', cmd, origin };
  if (arg !== undefined && arg !== '') message.arg = arg;
  return send(page, message);
}

export async function sent(page) {
  return (await page.evaluate(() => window.__sent.map(e => e.msg)));
}

export async function mark(page) {
  return page.evaluate(() => window.__sent.length);
}

// Waits for the first message after index `since` that satisfies pred.
export async function waitFor(page, pred, { since = 0, timeout = 3000 } = {}) {
  const end = Date.now() + timeout;
  for (;;) {
    const all = await page.evaluate(() => window.__sent.map(e => e.msg));
    const found = all.slice(since).find(pred);
    if (found) return found;
    if (Date.now() > end) {
      throw new Error('no matching message; got ' + JSON.stringify(all.slice(since)).slice(0, 1500));
    }
    await new Promise(r => setTimeout(r, 15));
  }
}

export async function setHtml(page, html) {
  const since = await mark(page);
  await send(page, { type: 'setHtml', html });
  await waitFor(page, m => m.type === 'htmlChanged', { since });
}

export async function getHtml(page) {
  const since = await mark(page);
  await send(page, { type: 'getHtml' });
  return (await waitFor(page, m => m.type === 'htmlResponse', { since })).html;
}

// Selection helpers: find text inside an area ('body' or 'header').
export async function selectText(page, text, { area = 'body', nth = 0 } = {}) {
  await page.evaluate(({ text, area, nth }) => {
    const root = document.querySelector(area === 'header' ? 'qz-header' : 'qz-body');
    root.focus();
    const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
    let seen = 0;
    for (let n = walker.nextNode(); n; n = walker.nextNode()) {
      const i = n.nodeValue.indexOf(text);
      if (i >= 0 && seen++ === nth) {
        const r = document.createRange();
        r.setStart(n, i);
        r.setEnd(n, i + text.length);
        getSelection().removeAllRanges();
        getSelection().addRange(r);
        return;
      }
    }
    throw new Error('text not found: ' + text);
  }, { text, area, nth });
}

// Puts the caret right after (or, with before: true, right before) the text.
export async function caretAt(page, text, { area = 'body', before = false } = {}) {
  await selectText(page, text, { area });
  await page.evaluate(before => getSelection().getRangeAt(0).collapse(before), before);
}
