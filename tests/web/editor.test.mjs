// Browser tests of the WYSIWYG editor page (resources/editor/editor.html),
// run in Debian's Chromium:  node --test --test-concurrency=1 editor.test.mjs
import { test, describe, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import {
  launchBrowser, openEditor, reloadEditor, send, exec, sent, mark, waitFor, setHtml, getHtml,
  selectText, caretAt, FIXTURES, EDITOR_URL,
} from './editor-harness.mjs';

let browser;
let shared;   // one page, loaded afresh for every test: much faster than a new browser context
before(async () => {
  browser = await launchBrowser();
  shared = await openEditor(browser);
});
after(async () => { await browser?.close(); });

const sleep = ms => new Promise(r => setTimeout(r, ms));
const FIXTURES_URL = pathToFileURL(FIXTURES).href + '/';

async function fresh(html) {
  const page = await reloadEditor(shared);
  if (html !== undefined) await setHtml(page, html);
  return page;
}

// Ends a test: the page must not have raised a script error meanwhile.
async function close(page) {
  const errors = page.__errors;
  if (page !== shared) await page.context().close();
  assert.deepEqual(errors, [], 'page raised errors');
}

// Lets changes still on their way reach the recorded messages: "getHtml"
// sends a pending change before it answers.
async function settle(page) {
  await getHtml(page);
}

// Clicks with the real mouse in the middle of the first occurrence of text.
async function clickText(page, text, { area = 'body', modifiers, button } = {}) {
  const box = await page.evaluate(({ text, area }) => {
    const root = document.querySelector(area === 'header' ? 'qz-header' : 'qz-body');
    const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
    for (let n = walker.nextNode(); n; n = walker.nextNode()) {
      const i = n.nodeValue.indexOf(text);
      if (i >= 0) {
        const r = document.createRange();
        r.setStart(n, i);
        r.setEnd(n, i + text.length);
        const b = r.getBoundingClientRect();
        return { x: b.left + b.width / 2, y: b.top + b.height / 2 };
      }
    }
    return null;
  }, { text, area });
  assert.ok(box, 'text not on screen: ' + text);
  await page.mouse.click(box.x, box.y, { modifiers, button });
}

async function lastOfType(page, type) {
  const all = await sent(page);
  return all.filter(m => m.type === type).pop();
}

// Waits until the latest caret report matches every expected member.
async function cursorReport(page, expected) {
  let last;
  const end = Date.now() + 2000;
  while (Date.now() < end) {
    last = await lastOfType(page, 'cursorStyle');
    if (last && Object.entries(expected).every(([k, v]) => last[k] === v)) return last;
    await sleep(20);
  }
  assert.fail('cursorStyle never matched ' + JSON.stringify(expected) + '; last was ' + JSON.stringify(last));
}

async function computed(page, selector, property) {
  return page.evaluate(({ selector, property }) =>
    getComputedStyle(document.querySelector(selector)).getPropertyValue(property), { selector, property });
}

async function selectionText(page) {
  return page.evaluate(() => getSelection().toString());
}

// ---------------------------------------------------------------------------

describe('start-up and the host channel', () => {
  test('announces "ready" exactly once, after its receive function exists', async () => {
    const page = await fresh();
    await sleep(200);
    const all = await sent(page);
    assert.equal(all.filter(m => m.type === 'ready').length, 1);
    assert.equal(all[0].type, 'ready');
    assert.equal(await page.evaluate(() => window.__sent[0].receiverInstalled), true);
    assert.equal(await page.evaluate(() => typeof window.qzSetBaseHref), 'function');
    await close(page);
  });

  test('waits for a host channel that is installed after the page has loaded', async () => {
    const page = await openEditor(browser, { channelDelayMs: 800, waitReady: false });
    await waitFor(page, m => m.type === 'ready', { timeout: 4000 });
    await sleep(150);
    assert.equal((await sent(page)).filter(m => m.type === 'ready').length, 1);
    const times = await page.evaluate(() => ({
      loaded: performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd,
      installed: window.__channelInstalledAt,
      ready: window.__sent[0].at,
    }));
    assert.ok(times.installed > times.loaded, 'the channel came before the page was loaded: ' + JSON.stringify(times));
    assert.ok(times.ready >= times.installed && times.ready - times.installed < 500, JSON.stringify(times));
    await close(page);
  });

  test('shrugs off malformed and unknown messages and keeps answering', async () => {
    const page = await fresh('<p>still here</p>');
    for (const script of [
      'window.__qz_recv("not json")',
      'window.__qz_recv("[1,2]")',
      'window.__qz_recv("42")',
      'window.__qz_recv("{\\"type\\":\\"somethingElse\\"}")',
      'window.__qz_recv("{\\"type\\":\\"exec\\",\\"cmd\\":\\"noSuchCommand\\",\\"origin\\":\\"user\\"}")',
      'window.__qz_recv("{\\"type\\":\\"exec\\",\\"cmd\\":\\"topicLink\\",\\"origin\\":\\"user\\",\\"arg\\":\\"{broken\\"}")',
      'window.__qz_recv("{\\"type\\":\\"exec\\",\\"cmd\\":\\"table\\",\\"origin\\":\\"user\\",\\"arg\\":\\"3x\\"}")',
    ]) {
      await page.evaluate(script);
    }
    assert.equal(await getHtml(page), '<p>still here</p>');
    await close(page);
  });

  test('message types are matched without regard to case', async () => {
    const page = await fresh('<p>x</p>');
    const since = await mark(page);
    await send(page, { type: 'GETHTML' });
    assert.equal((await waitFor(page, m => m.type === 'htmlResponse', { since })).html, '<p>x</p>');
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('faithful round trip of the author\'s HTML', () => {
  const rich = fs.readFileSync(path.join(FIXTURES, 'rich-topic.html'), 'utf8');

  test('a rich page comes back unchanged, also after images and tables were selected', async () => {
    const page = await fresh();
    await page.evaluate(url => window.qzSetBaseHref(url), FIXTURES_URL);
    const since = await mark(page);
    await send(page, { type: 'setHtml', html: rich });
    const echo = await waitFor(page, m => m.type === 'htmlChanged', { since });
    assert.equal(echo.html, rich);
    assert.equal(echo.user, false);
    assert.equal(await getHtml(page), rich);

    // Selecting an image and working in a table draws marks; none may leak.
    await page.click('qz-body img');
    await clickText(page, 'Ctrl');
    await page.keyboard.press('ArrowRight');
    await page.click('qz-body img');
    assert.equal(await getHtml(page), rich);
    await close(page);
  });

  test('an edit changes only the place the author edited', async () => {
    const page = await fresh(rich);
    await caretAt(page, 'Getting started');
    await page.keyboard.type(' now');
    await caretAt(page, 'Nested');
    await page.keyboard.press('Backspace');
    const expected = rich.replace('Getting started', 'Getting started now').replace('Nested', 'Neste');
    assert.equal(await getHtml(page), expected);
    await close(page);
  });

  test('event handlers in a loaded page are kept in its HTML but never run in the editor', async () => {
    const html = '<p onclick="document.title=\'clicked\'">Click <img src="missing.png" onerror="document.title=\'ran\'" alt=""></p>';
    const page = await fresh(html);
    await clickText(page, 'Click');
    await sleep(100);
    assert.equal(await page.title(), 'Editor');
    assert.equal(await getHtml(page), html);
    await close(page);
  });

  test('HTML with quotes, line breaks and non-ASCII letters survives the host\'s quoting', async () => {
    const html = '<p title="say &quot;hi&quot;">Zoë said "ok"\nand left — 日本</p>';
    const page = await fresh(html);
    assert.equal(await getHtml(page), html);
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('the "user" flag of htmlChanged', () => {
  const BASE = '<p>Hello brave new world</p>';

  const cases = [
    { name: 'setHtml', user: false, act: page => send(page, { type: 'setHtml', html: '<p>other</p>' }) },
    { name: 'exec bold, origin program', user: false, act: page => exec(page, 'bold', undefined, 'program') },
    { name: 'exec insertHTML, origin program', user: false, act: page => exec(page, 'insertHTML', '{var:X}', 'program') },
    { name: 'exec bold, origin user', user: true, act: page => exec(page, 'bold') },
    { name: 'exec table, origin user', user: true, act: page => exec(page, 'table', '1,1') },
    { name: 'typing', user: true, act: page => page.keyboard.type('z') },
    { name: 'Ctrl+B', user: true, act: page => page.keyboard.press('Control+b') },
  ];

  for (const c of cases) {
    test(`${c.name} reports user ${c.user} within 100 ms`, async () => {
      const page = await fresh(BASE);
      await selectText(page, 'brave');
      const since = await mark(page);
      await c.act(page);
      const msg = await waitFor(page, m => m.type === 'htmlChanged', { since });
      assert.equal(msg.user, c.user);
      if (!c.name.startsWith('typing') && !c.name.startsWith('Ctrl')) {
        const delay = await page.evaluate(n => window.__sent.slice(n).find(e => e.msg.type === 'htmlChanged').at - window.__hostAt, since);
        assert.ok(delay <= 100, `arrived after ${delay} ms`);
      }
      assert.equal(msg.html, await getHtml(page));
      await close(page);
    });
  }

  test('undo reports user true from the author and false from the program', async () => {
    const page = await fresh(BASE);
    await selectText(page, 'brave');
    await exec(page, 'bold');
    await exec(page, 'italic');
    await settle(page);
    let since = await mark(page);
    await page.keyboard.press('Control+z');
    assert.equal((await waitFor(page, m => m.type === 'htmlChanged', { since })).user, true);
    since = await mark(page);
    await exec(page, 'undo', undefined, 'program');
    const msg = await waitFor(page, m => m.type === 'htmlChanged', { since });
    assert.equal(msg.user, false);
    assert.equal(msg.html, BASE);
    await close(page);
  });

  test('an author edit still pending when a new page arrives is reported as the author\'s, before the new page', async () => {
    const page = await fresh(BASE);
    await caretAt(page, 'world');
    const since = await mark(page);
    // Typing and loading in one go, with no pause for the change to be sent.
    await page.evaluate(() => {
      document.execCommand('insertText', false, '!');
      window.__qz_recv('{"type":"setHtml","html":"<p>next topic</p>"}');
    });
    await sleep(120);
    const changes = (await sent(page)).slice(since).filter(m => m.type === 'htmlChanged');
    assert.deepEqual(changes, [
      { type: 'htmlChanged', html: '<p>Hello brave new world!</p>', user: true },
      { type: 'htmlChanged', html: '<p>next topic</p>', user: false },
    ]);
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('editing commands', () => {
  const P2 = '<p>Hello brave new world</p><p>second line</p>';
  // select: text to select; caret: text to put the caret after.
  const cases = [
    { cmd: 'bold', select: 'brave', html: P2, want: '<p>Hello <b>brave</b> new world</p><p>second line</p>' },
    { cmd: 'bold', select: 'brave', html: '<p>Hello <b>brave</b> new world</p>', want: '<p>Hello brave new world</p>' },
    { cmd: 'italic', select: 'brave', html: P2, want: '<p>Hello <i>brave</i> new world</p><p>second line</p>' },
    { cmd: 'underline', select: 'brave', html: P2, want: '<p>Hello <u>brave</u> new world</p><p>second line</p>' },
    { cmd: 'h1', caret: 'second', html: P2, want: '<p>Hello brave new world</p><h1>second line</h1>' },
    { cmd: 'h2', caret: 'second', html: P2, want: '<p>Hello brave new world</p><h2>second line</h2>' },
    { cmd: 'h3', caret: 'second', html: P2, want: '<p>Hello brave new world</p><h3>second line</h3>' },
    { cmd: 'p', caret: 'Title', html: '<h2>Title</h2><p>x</p>', want: '<p>Title</p><p>x</p>' },
    { cmd: 'ul', caret: 'second', html: P2, want: '<p>Hello brave new world</p><ul><li>second line</li></ul>' },
    { cmd: 'ol', select: 'Hello brave new world</p><p>second', html: P2, want: '<ol><li>Hello brave new world</li><li>second line</li></ol>' },
    { cmd: 'align', arg: 'center', caret: 'brave', html: P2, want: '<p style="text-align: center;">Hello brave new world</p><p>second line</p>' },
    { cmd: 'align', arg: 'right', caret: 'second', html: P2, want: '<p>Hello brave new world</p><p style="text-align: right;">second line</p>' },
    { cmd: 'align', arg: 'justify', caret: 'brave', html: P2, want: '<p style="text-align: justify;">Hello brave new world</p><p>second line</p>' },
    { cmd: 'align', arg: 'left', caret: 'x', html: '<p style="text-align: center;">x</p>', want: '<p style="text-align: left;">x</p>' },
    { cmd: 'fontName', arg: 'Courier New', select: 'brave', html: P2, want: '<p>Hello <span style="font-family: &quot;Courier New&quot;;">brave</span> new world</p><p>second line</p>' },
    { cmd: 'fontSizePx', arg: '20', select: 'brave', html: P2, want: '<p>Hello <span style="font-size: 20px;">brave</span> new world</p><p>second line</p>' },
    { cmd: 'fontSizePx', arg: '13', select: 'brave', html: '<p>Hello <span style="font-size: 20px;">brave</span></p>', want: '<p>Hello <span style="font-size: 13px;">brave</span></p>' },
    { cmd: 'fontSizePx', arg: '20', select: 'big', html: '<p><span style="font-size: 48px;">big</span></p>', want: '<p><span style="font-size: 20px;">big</span></p>' },
    { cmd: 'foreColor', arg: '#FF0000', select: 'brave', html: P2, want: '<p>Hello <span style="color: rgb(255, 0, 0);">brave</span> new world</p><p>second line</p>' },
    { cmd: 'foreColor', arg: 'none', select: 'red', html: '<p>a <span style="color: rgb(255, 0, 0);">red</span> b</p>', want: '<p>a red b</p>' },
    { cmd: 'backColor', arg: '#FFFF00', select: 'brave', html: P2, want: '<p>Hello <span style="background-color: rgb(255, 255, 0);">brave</span> new world</p><p>second line</p>' },
    { cmd: 'backColor', select: 'lit', html: '<p>a <span style="background-color: rgb(255, 255, 0); font-weight: bold;">lit</span></p>', want: '<p>a <span style="font-weight: bold;">lit</span></p>' },
    { cmd: 'lineHeight', arg: '1.5', caret: 'brave', html: P2, want: '<p style="line-height: 1.5;">Hello brave new world</p><p>second line</p>' },
    { cmd: 'lineHeight', arg: '2', select: 'world</p><p>second', html: P2, want: '<p style="line-height: 2;">Hello brave new world</p><p style="line-height: 2;">second line</p>' },
    { cmd: 'lineHeight', arg: '1.15', caret: 'one', html: '<ul><li>one</li><li>two</li></ul>', want: '<ul><li style="line-height: 1.15;">one</li><li>two</li></ul>' },
    { cmd: 'link', arg: 'https://example.com/?a=1&b=2', select: 'brave', html: P2, want: '<p>Hello <a href="https://example.com/?a=1&amp;b=2">brave</a> new world</p><p>second line</p>' },
    { cmd: 'link', arg: 'https://example.com/', caret: 'Hello ', html: P2, want: '<p>Hello <a href="https://example.com/">https://example.com/</a>brave new world</p><p>second line</p>' },
    { cmd: 'link', arg: 'https://new.example/', caret: 'lin', html: '<p><a href="https://old.example/">link</a></p>', want: '<p><a href="https://new.example/">link</a></p>' },
    { cmd: 'topicLink', arg: '{"href":"doc:0123456789ABCDEF0123456789ABCDEF","text":"Install & run <fast>"}', caret: 'See ', html: '<p>See  now</p>', want: '<p>See <a href="doc:0123456789ABCDEF0123456789ABCDEF">Install &amp; run &lt;fast&gt;</a> now</p>' },
    { cmd: 'topicLink', arg: '{"href":"doc:0123456789ABCDEF0123456789ABCDEF","text":"Title"}', select: 'brave', html: P2, want: '<p>Hello <a href="doc:0123456789ABCDEF0123456789ABCDEF">brave</a> new world</p><p>second line</p>' },
    { cmd: 'image', arg: 'assets/images/shot 1.png', caret: 'Hello ', html: P2, want: '<p>Hello <img src="assets/images/shot 1.png" alt="">brave new world</p><p>second line</p>' },
    { cmd: 'table', arg: '2,3', caret: 'second line', html: P2, want: '<p>Hello brave new world</p><p>second line</p><table style="width: 100%;"><tbody><tr><td><br></td><td><br></td><td><br></td></tr><tr><td><br></td><td><br></td><td><br></td></tr></tbody></table><p><br></p>' },
    { cmd: 'table', arg: '1,2', caret: 'Hello', html: P2, want: '<p>Hello</p><table style="width: 100%;"><tbody><tr><td><br></td><td><br></td></tr></tbody></table><p> brave new world</p><p>second line</p>' },
    { cmd: 'table', arg: '0,2', caret: 'Hello', html: P2, want: P2 },
    { cmd: 'insertHTML', arg: '{var:ProductName}', caret: 'Hello ', html: P2, want: '<p>Hello {var:ProductName}brave new world</p><p>second line</p>' },
    { cmd: 'insertHTML', arg: '<b>x</b> &amp; <span class="k">y</span>', select: 'brave', html: P2, want: '<p>Hello <b>x</b> &amp; <span class="k">y</span> new world</p><p>second line</p>' },
    { cmd: 'insertHTML', arg: '<style>.imp{color:red}</style><div class="imp"><p>Imported</p></div>', caret: 'Hello brave', html: P2, want: '<p>Hello brave</p><style>.imp{color:red}</style><div class="imp"><p>Imported</p></div><p> new world</p><p>second line</p>' },
    { cmd: 'insertHTML', arg: '<p>in cell</p>', caret: '', html: '<table><tbody><tr><td><br></td></tr></tbody></table>', cell: true, want: '<table><tbody><tr><td><p>in cell</p></td></tr></tbody></table>' },
    { cmd: 'delete', select: 'brave ', html: P2, want: '<p>Hello new world</p><p>second line</p>' },
    { cmd: 'delete', caret: 'Hello', html: P2, want: '<p>Hellobrave new world</p><p>second line</p>' },
  ];

  for (const c of cases) {
    const where = c.select ? `on "${c.select}"` : `at "${c.caret}"`;
    test(`${c.cmd}${c.arg !== undefined ? ' ' + c.arg : ''} ${where} in ${c.html}`, async () => {
      const page = await fresh(c.html);
      if (c.cell) {
        await page.evaluate(() => {
          const td = document.querySelector('qz-body td');
          document.querySelector('qz-body').focus();
          getSelection().collapse(td, 0);
        });
      } else if (c.select && c.select.includes('</p><p>')) {
        // A selection across two paragraphs: from the start of the first text to the end of the second.
        const [from, to] = c.select.split('</p><p>');
        await page.evaluate(({ from, to }) => {
          const root = document.querySelector('qz-body');
          root.focus();
          const texts = [];
          const w = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
          for (let n = w.nextNode(); n; n = w.nextNode()) texts.push(n);
          const a = texts.find(n => n.nodeValue.includes(from));
          const b = texts.find(n => n.nodeValue.includes(to) && n !== a);
          const i = a.nodeValue.indexOf(from);
          getSelection().setBaseAndExtent(a, i, b, b.nodeValue.indexOf(to) + to.length);
        }, { from, to });
      } else if (c.select) {
        await selectText(page, c.select);
      } else {
        await caretAt(page, c.caret);
      }
      await exec(page, c.cmd, c.arg);
      assert.equal(await getHtml(page), c.want);
      await close(page);
    });
  }

  for (const [key, want] of [['Control+b', '<b>brave</b>'], ['Control+i', '<i>brave</i>'], ['Control+u', '<u>brave</u>']]) {
    test(`${key} formats the selection`, async () => {
      const page = await fresh(P2);
      await selectText(page, 'brave');
      await page.keyboard.press(key);
      assert.equal(await getHtml(page), `<p>Hello ${want} new world</p><p>second line</p>`);
      await page.keyboard.press(key);
      assert.equal(await getHtml(page), P2);
      await close(page);
    });
  }

  test('a bold caret makes the next typed text bold', async () => {
    const page = await fresh('<p>ab</p>');
    await caretAt(page, 'a');
    await exec(page, 'bold');
    await page.keyboard.type('XY');
    assert.equal(await getHtml(page), '<p>a<b>XY</b>b</p>');
    await close(page);
  });

  test('a size chosen at a bare caret applies, in pixels, to the text typed next', async () => {
    const page = await fresh('<p>ab</p>');
    await caretAt(page, 'a');
    await exec(page, 'fontSizePx', '22');
    await page.keyboard.type('XY');
    assert.equal(await getHtml(page), '<p>a<span style="font-size: 22px;">XY</span>b</p>');
    await cursorReport(page, { fontSizePx: 22 });
    await close(page);
  });

  test('a list made from a paragraph is not left nested inside it', async () => {
    const page = await fresh('<p>only</p>');
    await caretAt(page, 'only');
    await exec(page, 'ul');
    const html = await getHtml(page);
    assert.equal(html, '<ul><li>only</li></ul>');
    await exec(page, 'ul');
    assert.equal(await getHtml(page), '<p>only</p>');
    await close(page);
  });

  test('text typed into an empty page starts a paragraph', async () => {
    const page = await fresh('');
    await page.click('qz-body');
    await page.keyboard.type('first');
    await page.keyboard.press('Enter');
    await page.keyboard.type('second');
    assert.equal(await getHtml(page), '<p>first</p><p>second</p>');
    await close(page);
  });

  test('commands act where the author left the caret even after the focus went to the host', async () => {
    const page = await fresh('<p>alpha</p><p>beta</p>');
    await clickText(page, 'beta');
    // The host's toolbar takes the focus; the page selection may be lost too.
    await page.evaluate(() => { document.activeElement.blur(); getSelection().removeAllRanges(); });
    await exec(page, 'h2');
    assert.equal(await getHtml(page), '<p>alpha</p><h2>beta</h2>');
    await close(page);
  });

  test('selectAll selects the whole current area and nothing of the other', async () => {
    const page = await fresh('<p>body text</p>');
    await send(page, { type: 'exec', cmd: 'setHeaderHtml', origin: 'program', arg: '<div>header text</div>' });
    await clickText(page, 'header', { area: 'header' });
    await exec(page, 'selectAll');
    assert.equal(await selectionText(page), 'header text');
    await clickText(page, 'body');
    await page.keyboard.press('Control+a');
    assert.equal(await selectionText(page), 'body text');
    await clickText(page, 'header', { area: 'header' });
    await page.keyboard.press('Control+a');
    assert.equal(await selectionText(page), 'header text');
    await close(page);
  });

  test('copy, then paste elsewhere, duplicates the selected markup', async () => {
    const page = await fresh('<p>one <b>two</b> three</p><p>end</p>');
    await selectText(page, 'two');
    await exec(page, 'copy');
    await caretAt(page, 'end');
    await exec(page, 'paste');
    await waitFor(page, m => m.type === 'htmlChanged' && m.html.includes('end<b>'));
    assert.equal(await getHtml(page), '<p>one <b>two</b> three</p><p>end<b>two</b></p>');
    await close(page);
  });

  test('cut removes the selection and paste puts it back', async () => {
    const page = await fresh('<p>keep <i>this</i> here</p>');
    await selectText(page, 'this');
    await exec(page, 'cut');
    assert.equal(await getHtml(page), '<p>keep  here</p>');
    await page.keyboard.press('Control+v');
    assert.equal(await getHtml(page), '<p>keep <i>this</i> here</p>');
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('tables: rows and columns at the caret', () => {
  // A table with a heading row, a cell spanning two rows and one spanning two columns:
  //   | H1 | H2 | H3 |
  //   | A  | B       |
  //   |    | C  | D  |
  const T = '<table><tbody><tr><th>H1</th><th>H2</th><th>H3</th></tr>' +
    '<tr><td rowspan="2">A</td><td colspan="2">B</td></tr>' +
    '<tr><td>C</td><td>D</td></tr></tbody></table>';
  const wrap = rows => '<table><tbody>' + rows + '</tbody></table>';
  const E = '<td><br></td>';

  const cases = [
    { cmd: 'insertTableRowAfter', cell: 'C', want: wrap('<tr><th>H1</th><th>H2</th><th>H3</th></tr><tr><td rowspan="2">A</td><td colspan="2">B</td></tr><tr><td>C</td><td>D</td></tr><tr>' + E + E + E + '</tr>') },
    { cmd: 'insertTableRowAfter', cell: 'B', want: wrap('<tr><th>H1</th><th>H2</th><th>H3</th></tr><tr><td rowspan="3">A</td><td colspan="2">B</td></tr><tr><td colspan="2"><br></td></tr><tr><td>C</td><td>D</td></tr>') },
    { cmd: 'insertTableRowAfter', cell: 'H2', want: wrap('<tr><th>H1</th><th>H2</th><th>H3</th></tr><tr>' + E + E + E + '</tr><tr><td rowspan="2">A</td><td colspan="2">B</td></tr><tr><td>C</td><td>D</td></tr>') },
    { cmd: 'removeTableRow', cell: 'B', want: wrap('<tr><th>H1</th><th>H2</th><th>H3</th></tr><tr><td>A</td><td>C</td><td>D</td></tr>') },
    { cmd: 'removeTableRow', cell: 'D', want: wrap('<tr><th>H1</th><th>H2</th><th>H3</th></tr><tr><td>A</td><td colspan="2">B</td></tr>') },
    { cmd: 'insertTableColumnAfter', cell: 'H1', want: wrap('<tr><th>H1</th><th><br></th><th>H2</th><th>H3</th></tr><tr><td rowspan="2">A</td><td rowspan="2"><br></td><td colspan="2">B</td></tr><tr><td>C</td><td>D</td></tr>') },
    { cmd: 'insertTableColumnAfter', cell: 'C', want: wrap('<tr><th>H1</th><th>H2</th><th><br></th><th>H3</th></tr><tr><td rowspan="2">A</td><td colspan="3">B</td></tr><tr><td>C</td><td><br></td><td>D</td></tr>') },
    { cmd: 'removeTableColumn', cell: 'D', want: wrap('<tr><th>H1</th><th>H2</th></tr><tr><td rowspan="2">A</td><td>B</td></tr><tr><td>C</td></tr>') },
    { cmd: 'removeTableColumn', cell: 'A', want: wrap('<tr><th>H2</th><th>H3</th></tr><tr><td colspan="2">B</td></tr><tr><td>C</td><td>D</td></tr>') },
  ];

  for (const c of cases) {
    test(`${c.cmd} in cell ${c.cell}`, async () => {
      const page = await fresh(T);
      await caretAt(page, c.cell);
      await exec(page, c.cmd);
      assert.equal(await getHtml(page), c.want);
      await close(page);
    });
  }

  test('a new column keeps the <col> list in step', async () => {
    const page = await fresh('<table><colgroup><col style="width: 20%;"><col></colgroup><tbody><tr><td>a</td><td>b</td></tr></tbody></table>');
    await caretAt(page, 'a');
    await exec(page, 'insertTableColumnAfter');
    assert.equal(await getHtml(page), '<table><colgroup><col style="width: 20%;"><col style="width: 20%;"><col></colgroup><tbody><tr><td>a</td><td><br></td><td>b</td></tr></tbody></table>');
    // The caret sits in the new column; it goes, then the caret's next column, "b".
    await exec(page, 'removeTableColumn');
    await exec(page, 'removeTableColumn');
    assert.equal(await getHtml(page), '<table><colgroup><col style="width: 20%;"></colgroup><tbody><tr><td>a</td></tr></tbody></table>');
    await close(page);
  });

  test('removing the last row or column removes the table', async () => {
    for (const cmd of ['removeTableRow', 'removeTableColumn']) {
      const page = await fresh('<p>before</p><table><tbody><tr><td>only</td></tr></tbody></table><p>after</p>');
      await caretAt(page, 'only');
      await exec(page, cmd);
      assert.equal(await getHtml(page), '<p>before</p><p>after</p>', cmd);
      await close(page);
    }
  });

  test('row and column commands outside a table change nothing', async () => {
    const page = await fresh('<p>plain</p>');
    await caretAt(page, 'plain');
    const since = await mark(page);
    for (const cmd of ['insertTableRowAfter', 'removeTableRow', 'insertTableColumnAfter', 'removeTableColumn']) await exec(page, cmd);
    await sleep(80);
    assert.equal((await sent(page)).slice(since).filter(m => m.type === 'htmlChanged').length, 0);
    await close(page);
  });

  test('Tab walks the cells and adds a row from the last one', async () => {
    const page = await fresh('<p>x</p>');
    await caretAt(page, 'x');
    await exec(page, 'table', '1,2');
    await page.keyboard.type('a');
    await page.keyboard.press('Tab');
    await page.keyboard.type('b');
    await page.keyboard.press('Tab');
    await page.keyboard.type('c');
    assert.equal(await getHtml(page), '<p>x</p><table style="width: 100%;"><tbody><tr><td>a</td><td>b</td></tr><tr><td>c</td><td><br></td></tr></tbody></table><p><br></p>');
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('images', () => {
  const HTML = '<p>Look: <img src="pic.svg" alt="shot" width="240" height="140" srcset="pic.svg 1x"> done</p>';

  async function imagePage() {
    const page = await fresh();
    await page.evaluate(url => window.qzSetBaseHref(url), FIXTURES_URL);
    await setHtml(page, HTML);
    await page.waitForFunction(() => document.querySelector('qz-body img').naturalWidth > 0);
    return page;
  }

  test('relative image addresses resolve against the base address the host sets', async () => {
    const page = await imagePage();
    assert.equal(await page.evaluate(() => document.querySelector('qz-body img').naturalWidth), 240);
    await close(page);
  });

  test('clicking an image selects it visibly', async () => {
    const page = await imagePage();
    await page.click('qz-body img');
    await page.waitForFunction(() => !getSelection().isCollapsed);
    await sleep(50);   // the mark is drawn with the next frame
    const state = await page.evaluate(() => {
      const img = document.querySelector('qz-body img');
      const r = getSelection().getRangeAt(0);
      const selected = r.startContainer === img.parentNode && r.endOffset - r.startOffset === 1 &&
        r.startContainer.childNodes[r.startOffset] === img;
      // Whatever marks the selection sits around the image and outside the text.
      const b = img.getBoundingClientRect();
      const marks = [...document.querySelectorAll('body *')].filter(el => {
        if (document.querySelector('qz-body').contains(el) || el === img) return false;
        const s = getComputedStyle(el);
        if (s.display === 'none' || s.visibility === 'hidden') return false;
        const m = el.getBoundingClientRect();
        return m.width > 0 && Math.abs(m.left - b.left) < 3 && Math.abs(m.top - b.top) < 3 &&
          Math.abs(m.width - b.width) < 3 && (s.outlineStyle !== 'none' || s.borderStyle !== 'none');
      });
      return { selected, marks: marks.length };
    });
    assert.equal(state.selected, true);
    assert.ok(state.marks >= 1, 'no visible mark around the selected image');
    await close(page);
  });

  test('replaceSelectedImage swaps the clicked image and drops its old source list', async () => {
    const page = await imagePage();
    await page.click('qz-body img');
    await exec(page, 'replaceSelectedImage', 'pic-alt.svg');
    assert.equal(await getHtml(page), '<p>Look: <img src="pic-alt.svg" alt="shot" width="240" height="140"> done</p>');
    await close(page);
  });

  test('removeSelectedImage removes the clicked image, and undo brings it back', async () => {
    const page = await imagePage();
    await page.click('qz-body img');
    await exec(page, 'removeSelectedImage');
    assert.equal(await getHtml(page), '<p>Look:  done</p>');
    await exec(page, 'undo');
    assert.equal(await getHtml(page), HTML);
    await close(page);
  });

  test('without a selected image, replace and remove do nothing', async () => {
    const page = await imagePage();
    await caretAt(page, 'done');
    await exec(page, 'replaceSelectedImage', 'pic-alt.svg');
    await exec(page, 'removeSelectedImage');
    assert.equal(await getHtml(page), HTML);
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('undo and redo', () => {
  test('undo steps back through typing, a table and formatting; redo goes forward again', async () => {
    const S0 = '<p>start</p>';
    const page = await fresh(S0);
    await caretAt(page, 'start');
    await page.keyboard.type(' typed words');
    const S1 = '<p>start typed words</p>';
    assert.equal(await getHtml(page), S1);
    await exec(page, 'table', '1,1');
    const S2 = await getHtml(page);
    assert.ok(S2.includes('<table'));
    await selectText(page, 'start');
    await page.keyboard.press('Control+b');
    const S3 = await getHtml(page);
    assert.ok(S3.includes('<b>start</b>'));

    const steps = [
      ['Control+z', S2], ['Control+z', S1], ['Control+z', S0], ['Control+z', S0],
      ['Control+y', S1], ['Control+Shift+z', S2], ['Control+y', S3], ['Control+y', S3],
    ];
    for (const [key, want] of steps) {
      await page.keyboard.press(key);
      assert.equal(await getHtml(page), want, key);
    }
    await close(page);
  });

  test('the undo and redo commands from the host work the same way', async () => {
    const page = await fresh('<p>a</p>');
    await caretAt(page, 'a');
    await exec(page, 'insertHTML', '<b>B</b>');
    await exec(page, 'undo');
    assert.equal(await getHtml(page), '<p>a</p>');
    await exec(page, 'redo');
    assert.equal(await getHtml(page), '<p>a<b>B</b></p>');
    await close(page);
  });

  test('a new edit after undo discards the redo step', async () => {
    const page = await fresh('<p>a</p>');
    await caretAt(page, 'a');
    await page.keyboard.type('b');
    await page.keyboard.press('Control+z');
    await page.keyboard.type('c');
    await page.keyboard.press('Control+y');
    assert.equal(await getHtml(page), '<p>ac</p>');
    await close(page);
  });

  test('undo never goes back past a page loaded by the host', async () => {
    const page = await fresh('<p>first topic</p>');
    await caretAt(page, 'first');
    await page.keyboard.type('X');
    await setHtml(page, '<p>second topic</p>');
    await caretAt(page, 'second');
    await page.keyboard.press('Control+z');
    assert.equal(await getHtml(page), '<p>second topic</p>');
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('caret reports (cursorStyle)', () => {
  const HTML =
    '<h2>Heading two</h2>' +
    '<p style="text-align: center; font-size: 16px; line-height: 2;">Plain <b>boldword</b> <i>italicword</i> <u>underword</u></p>' +
    '<p><span style="color: rgb(255, 0, 0); font-size: 20px; font-family: Georgia, serif;">redword</span> ' +
    '<span style="background-color: #ffff00;">litword</span></p>' +
    '<ol><li>listword</li></ol><ul><li>bulletword</li></ul>' +
    '<p style="text-align: right;">rightword</p>';

  const cases = [
    { click: 'Heading', want: { blockTag: 'h2', bold: true, align: 'left', listType: '' } },
    { click: 'Plain', want: { blockTag: 'p', bold: false, italic: false, underline: false, align: 'center', lineHeight: '32px', fontSizePx: 16 } },
    { click: 'boldword', want: { bold: true, italic: false } },
    { click: 'italicword', want: { italic: true, bold: false } },
    { click: 'underword', want: { underline: true } },
    { click: 'redword', want: { textColor: '#FF0000', fontSizePx: 20, fontName: 'Georgia', backColor: 'transparent' } },
    { click: 'litword', want: { backColor: '#FFFF00' } },
    { click: 'listword', want: { listType: 'ol', blockTag: 'li' } },
    { click: 'bulletword', want: { listType: 'ul' } },
    { click: 'rightword', want: { align: 'right', area: 'body' } },
  ];

  for (const c of cases) {
    test(`a click into "${c.click}" reports ${JSON.stringify(c.want)}`, async () => {
      const page = await fresh(HTML);
      await clickText(page, c.click);
      const report = await cursorReport(page, c.want);
      assert.match(report.textColor, /^#[0-9A-F]{6}$/);
      assert.equal(Number.isInteger(report.fontSizePx), true);
      await close(page);
    });
  }

  test('the report follows the caret moved with the keyboard and reports the header area', async () => {
    const page = await fresh('<p>ab<b>cd</b></p>');
    await send(page, { type: 'exec', cmd: 'setHeaderHtml', origin: 'program', arg: '<div style="font-size: 26px;">Head</div>' });
    await clickText(page, 'ab');
    await page.keyboard.press('End');
    await page.keyboard.press('ArrowLeft');
    await cursorReport(page, { bold: true, area: 'body' });
    await page.keyboard.press('Home');
    await page.keyboard.press('ArrowRight');
    await cursorReport(page, { bold: false });
    await clickText(page, 'Head', { area: 'header' });
    await cursorReport(page, { area: 'header', fontSizePx: 26 });
    await close(page);
  });

  test('formatting applied at the caret is reported at once', async () => {
    const page = await fresh('<p>some text</p>');
    await selectText(page, 'text');
    await exec(page, 'foreColor', '#00AA11');
    await cursorReport(page, { textColor: '#00AA11' });
    await exec(page, 'h1');
    await cursorReport(page, { blockTag: 'h1' });
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('content style sheet', () => {
  const dirs = [];
  after(() => { for (const d of dirs) fs.rmSync(d, { recursive: true, force: true }); });

  test('setCssFile loads the sheet afresh each time, though the path stays the same', async () => {
    // A folder name with a space, "#", "%" and "?"-free but URL-hostile characters.
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qz css #1 %20 '));
    dirs.push(dir);
    const file = path.join(dir, 'editor_effective.css');
    fs.writeFileSync(file, 'p { color: rgb(1, 2, 3); }');
    const page = await fresh('<p>styled</p>');
    await clickText(page, 'styled');
    await exec(page, 'setCssFile', file, 'program');
    await page.waitForFunction(() => getComputedStyle(document.querySelector('qz-body p')).color === 'rgb(1, 2, 3)');
    await cursorReport(page, { textColor: '#010203' });

    fs.writeFileSync(file, 'p { color: rgb(4, 5, 6); }');
    await exec(page, 'setCssFile', file, 'program');
    await page.waitForFunction(() => getComputedStyle(document.querySelector('qz-body p')).color === 'rgb(4, 5, 6)');
    // The caret report catches up with the new sheet.
    await cursorReport(page, { textColor: '#040506' });
    // One sheet at a time, and the author's HTML is untouched.
    assert.equal(await page.evaluate(() => document.querySelectorAll('link[rel=stylesheet]').length), 1);
    assert.equal(await getHtml(page), '<p>styled</p>');
    await close(page);
  });

  const urls = [
    ['C:\\My Docs\\p\\internal\\editor\\editor_effective.css', 'file:///C:/My%20Docs/p/internal/editor/editor_effective.css'],
    ['D:\\100% #1?\\a.css', 'file:///D:/100%25%20%231%3F/a.css'],
    ['/home/a/proj/internal/editor/editor_effective.css', 'file:///home/a/proj/internal/editor/editor_effective.css'],
    ['/home/a/my proj#2/50%/x.css', 'file:///home/a/my%20proj%232/50%25/x.css'],
    ['\\\\server\\share\\s.css', 'file://server/share/s.css'],
  ];
  test('Windows and POSIX paths become file URLs with space, "%", "#" and "?" escaped', async () => {
    const page = await fresh('<p>x</p>');
    for (const [given, url] of urls) {
      await exec(page, 'setCssFile', given, 'program');
      const href = await page.evaluate(() => [...document.querySelectorAll('link[rel=stylesheet]')].pop().getAttribute('href'));
      assert.match(href, /\?[^?#]+$/, 'no cache-busting query on ' + href);
      assert.equal(href.slice(0, href.lastIndexOf('?')), url, given);
    }
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('header area', () => {
  test('a header pushed by the program is echoed once, with its background', async () => {
    const page = await fresh('<p>body</p>');
    const since = await mark(page);
    await exec(page, 'setHeaderHtml', '<div style="font-size: 24px;"><b>Title &amp; more</b></div>', 'program');
    await exec(page, 'setHeaderBg', '#E0F0FF', 'program');
    await sleep(150);
    const msgs = (await sent(page)).slice(since).filter(m => m.type === 'headerChanged' || m.type === 'htmlChanged');
    assert.deepEqual(msgs, [{ type: 'headerChanged', headerHtml: '<div style="font-size: 24px;"><b>Title &amp; more</b></div>', headerBg: '#E0F0FF' }]);
    assert.equal(await computed(page, 'qz-header', 'background-color'), 'rgb(224, 240, 255)');
    await close(page);
  });

  test('typing in the header reports the header, not the body', async () => {
    const page = await fresh('<p>body</p>');
    await exec(page, 'setHeaderHtml', '<div>Title</div>', 'program');
    await exec(page, 'setHeaderBg', '#FAFAFA', 'program');
    await sleep(80);
    const since = await mark(page);
    await clickText(page, 'Title', { area: 'header' });
    await page.keyboard.press('End');
    await page.keyboard.type('!');
    const msg = await waitFor(page, m => m.type === 'headerChanged', { since });
    assert.deepEqual(msg, { type: 'headerChanged', headerHtml: '<div>Title!</div>', headerBg: '#FAFAFA' });
    await sleep(80);
    assert.equal((await sent(page)).slice(since).filter(m => m.type === 'htmlChanged').length, 0);
    assert.equal(await getHtml(page), '<p>body</p>');
    await close(page);
  });

  test('formatting commands act on the header when the caret is there', async () => {
    const page = await fresh('<p>body</p>');
    await exec(page, 'setHeaderHtml', '<div>Big title</div>', 'program');
    await selectText(page, 'Big', { area: 'header' });
    const since = await mark(page);
    await exec(page, 'bold');
    const msg = await waitFor(page, m => m.type === 'headerChanged', { since });
    assert.equal(msg.headerHtml, '<div><b>Big</b> title</div>');
    assert.equal(await getHtml(page), '<p>body</p>');
    await close(page);
  });

  test('getHeader is answered; a header echo still due is sent before the answer', async () => {
    const page = await fresh('<p>body</p>');
    let since = await mark(page);
    // Push and ask in one go, as a host would around a topic switch.
    await page.evaluate(() => {
      window.__qz_recv('{"type":"exec","cmd":"setHeaderHtml","origin":"program","arg":"<p>H</p>"}');
      window.__qz_recv('{"type":"getHeader"}');
    });
    await sleep(120);
    const got = (await sent(page)).slice(since).filter(m => m.type === 'headerChanged');
    assert.equal(got.length, 2);
    assert.equal(got[1].headerHtml, '<p>H</p>');

    since = await mark(page);
    await send(page, { type: 'getHeader' });
    const answer = await waitFor(page, m => m.type === 'headerChanged', { since });
    assert.deepEqual(answer, { type: 'headerChanged', headerHtml: '<p>H</p>', headerBg: '' });
    await close(page);
  });

  test('areaChanged is sent when the focus moves between header and body, and only then', async () => {
    const page = await fresh('<p>body one</p><p>body two</p>');
    await exec(page, 'setHeaderHtml', '<div>Header</div>', 'program');
    await sleep(50);
    const since = await mark(page);
    await clickText(page, 'one');
    await clickText(page, 'two');
    await clickText(page, 'Header', { area: 'header' });
    await clickText(page, 'two');
    await sleep(60);
    const areas = (await sent(page)).slice(since).filter(m => m.type === 'areaChanged').map(m => m.area);
    assert.deepEqual(areas, ['header', 'body']);
    await close(page);
  });

  test('Ctrl+Z in the header undoes header typing only', async () => {
    const page = await fresh('<p>body</p>');
    await exec(page, 'setHeaderHtml', '<div>Head</div>', 'program');
    await caretAt(page, 'body');
    await page.keyboard.type('X');
    await clickText(page, 'Head', { area: 'header' });
    await page.keyboard.press('End');
    await page.keyboard.type('Y');
    await page.keyboard.press('Control+z');
    const since = await mark(page);
    await send(page, { type: 'getHeader' });
    assert.equal((await waitFor(page, m => m.type === 'headerChanged', { since })).headerHtml, '<div>Head</div>');
    assert.equal(await getHtml(page), '<p>bodyX</p>');
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('page settings from the program', () => {
  test('table borders and the page background apply without touching the author\'s HTML', async () => {
    const html = '<table><tbody><tr><td style="border: 5px dotted blue;">cell</td></tr></tbody></table>';
    const page = await fresh(html);
    const since = await mark(page);
    for (const [cmd, arg] of [['setTableBorderStyle', 'dashed'], ['setTableBorderWidth', '3'],
      ['setTableBorderColor', '#00FF00'], ['setPageBg', '#FFFDF0']]) {
      await exec(page, cmd, arg, 'program');
    }
    assert.equal(await computed(page, 'qz-body td', 'border-top-style'), 'dashed');
    assert.equal(await computed(page, 'qz-body td', 'border-top-width'), '3px');
    assert.equal(await computed(page, 'qz-body td', 'border-top-color'), 'rgb(0, 255, 0)');
    assert.equal(await computed(page, 'qz-body table', 'border-left-style'), 'dashed');
    assert.equal(await computed(page, 'qz-body', 'background-color'), 'rgb(255, 253, 240)');
    await sleep(80);
    assert.equal((await sent(page)).slice(since).filter(m => m.type === 'htmlChanged').length, 0);
    assert.equal(await getHtml(page), html);
    await close(page);
  });

  test('text defaults sent by the program restyle the page but leave the topic\'s HTML alone', async () => {
    const html = '<p>plain text</p><p><span style="font-size: 30px;">own size</span></p>';
    const page = await fresh(html);
    await caretAt(page, 'plain');
    const since = await mark(page);
    for (const [cmd, arg] of [['foreColor', '#112233'], ['backColor', undefined], ['fontName', 'Georgia'],
      ['fontSizePx', '19'], ['lineHeight', '1.8']]) {
      await exec(page, cmd, arg, 'program');
    }
    assert.equal(await computed(page, 'qz-body p', 'color'), 'rgb(17, 34, 51)');
    assert.equal(await computed(page, 'qz-body p', 'font-size'), '19px');
    assert.match(await computed(page, 'qz-body p', 'font-family'), /^"?Georgia"?/);
    assert.equal(await computed(page, 'qz-body p', 'line-height'), (19 * 1.8).toFixed(1).replace(/\.0$/, '') + 'px');
    assert.equal(await computed(page, 'qz-body span', 'font-size'), '30px');
    await cursorReport(page, { fontSizePx: 19, textColor: '#112233', fontName: 'Georgia' });
    await sleep(60);
    assert.equal((await sent(page)).slice(since).filter(m => m.type === 'htmlChanged').length, 0);
    assert.equal(await getHtml(page), html);
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('pasting', () => {
  // Puts raw HTML on the real clipboard: a copy handler of the test's own
  // replaces what the page would have copied.
  async function pasteHtml(page, html, text = '') {
    await page.evaluate(({ html, text }) => {
      const put = e => {
        e.clipboardData.setData('text/html', html);
        e.clipboardData.setData('text/plain', text);
        e.preventDefault();
        e.stopImmediatePropagation();
        window.removeEventListener('copy', put, true);
      };
      window.addEventListener('copy', put, true);
      document.execCommand('copy');
    }, { html, text });
    await page.keyboard.press('Control+v');
  }

  const cases = [
    {
      name: 'scripts, event handlers and script links are removed',
      clip: '<div onclick="steal()"><p onmouseover="x()">Hi <a href="javascript:alert(1)" onclick="y()">there</a><script>alert(2)</script></p>' +
        '<img src="pic.png" onerror="z()" alt="p"><iframe src="https://evil.example/"></iframe></div>',
      want: '<p>A</p><div><p>Hi <a>there</a></p><img src="pic.png" alt="p"></div><p>B</p>',
    },
    {
      name: 'Office markup loses its cruft and keeps its structure',
      clip: '<html xmlns:o="urn:schemas-microsoft-com:office:office"><head><style>p.MsoNormal{margin:0}</style>' +
        '<xml><o:DocumentProperties></o:DocumentProperties></xml></head><body lang="EN-US">' +
        '<!--StartFragment--><p class="MsoNormal" style="margin-bottom:0cm;mso-line-height-alt:12pt"><b>Bold</b>' +
        '<span lang="EN-US" style="mso-bidi-font-size:11pt">text</span><o:p>&nbsp;</o:p></p>' +
        '<!--[if !supportLists]--><table class="MsoTableGrid" border="1"><tbody><tr><td style="mso-border-alt:solid;width:50pt">c</td></tr></tbody></table>' +
        '<p class="MsoListParagraph CustomStyle"><a href="https://example.com/">link</a></p><!--EndFragment--></body></html>',
      want: '<p>A</p><p style="margin-bottom:0cm;"><b>Bold</b>text&nbsp;</p><table border="1"><tbody><tr><td style="width:50pt;">c</td></tr></tbody></table><p class="CustomStyle"><a href="https://example.com/">link</a></p><p>B</p>',
    },
    {
      name: 'a single pasted paragraph joins the paragraph at the caret',
      clip: '<meta charset="utf-8"><p>mid <em>dle</em></p>',
      want: '<p>Amid <em>dle</em></p><p>B</p>',
    },
    {
      name: 'a Google Docs wrapper is dropped',
      clip: '<b style="font-weight:normal;" id="docs-internal-guid-1234"><p dir="ltr"><span style="font-weight:700;">G</span></p><p dir="ltr">D</p></b>',
      want: '<p>A</p><p dir="ltr"><span style="font-weight:700;">G</span></p><p dir="ltr">D</p><p>B</p>',
    },
  ];

  for (const c of cases) {
    test(c.name, async () => {
      const page = await fresh('<p>A</p><p>B</p>');
      await caretAt(page, 'A');
      await pasteHtml(page, c.clip);
      assert.equal(await getHtml(page), c.want);
      await close(page);
    });
  }

  test('plain text is pasted as text, never as markup', async () => {
    const page = await fresh('<p>A</p>');
    await caretAt(page, 'A');
    await pasteHtml(page, '', ' <b>not bold</b>');
    assert.equal(await getHtml(page), '<p>A &lt;b&gt;not bold&lt;/b&gt;</p>');
    await close(page);
  });

  test('a paste is one undo step', async () => {
    const page = await fresh('<p>A</p>');
    await caretAt(page, 'A');
    await pasteHtml(page, '<ul><li>x</li></ul>');
    assert.equal(await getHtml(page), '<p>A</p><ul><li>x</li></ul>');
    await page.keyboard.press('Control+z');
    assert.equal(await getHtml(page), '<p>A</p>');
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('links inside the editor', () => {
  const HTML = '<p><a href="https://example.invalid/away">web link</a> and <a href="doc:0123456789ABCDEF0123456789ABCDEF">topic link</a> ' +
    'and <a href="javascript:document.title=\'ran\'">script link</a></p>';

  const clicks = [
    ['web link', {}], ['web link', { modifiers: ['Control'] }], ['web link', { button: 'middle' }],
    ['topic link', {}], ['script link', {}], ['web link', { modifiers: ['Shift'] }],
  ];

  test('clicking links of every kind, with or without modifier keys, never navigates', async () => {
    const page = await fresh(HTML);
    const navigations = [];
    const onNavigate = f => navigations.push(f.url());
    const popups = [];
    const onPopup = p => popups.push(p.url());
    page.on('framenavigated', onNavigate);
    page.context().on('page', onPopup);
    for (const [text, opts] of clicks) await clickText(page, text, opts);
    await sleep(300);
    page.off('framenavigated', onNavigate);
    page.context().off('page', onPopup);
    assert.equal(page.url(), EDITOR_URL);
    assert.deepEqual(navigations, []);
    assert.deepEqual(popups, []);
    assert.notEqual(await page.title(), 'ran');
    assert.equal(await getHtml(page), HTML);
    await close(page);
  });

  test('a click on a link places the caret in it for editing', async () => {
    const page = await fresh(HTML);
    await clickText(page, 'topic');
    await page.keyboard.type('Z');
    assert.match(await getHtml(page), /<a href="doc:0123456789ABCDEF0123456789ABCDEF">[^<]*Z[^<]*<\/a>/);
    await close(page);
  });
});

// ---------------------------------------------------------------------------

describe('text the spelling checker is kept off', () => {
  const wrapped = page => page.evaluate(() =>
    Array.from(document.querySelectorAll('qz-body qz-nospell'), w => w.getAttribute('spellcheck') + ':' + w.textContent));

  test('tokens and the author\'s words are wrapped in the page, never in the HTML it hands out', async () => {
    const html = '<p>Use {var:Prodct} and { SNIP : Notz } in Quillmate, {begincond:Pro}x{endcond}.</p>' +
      '<p><img alt="{var:InAlt}" src="missing.png"> Quillmates and quillmate stay checked.</p>';
    const page = await fresh(html);
    assert.deepEqual(await wrapped(page),
      ['false:{var:Prodct}', 'false:{ SNIP : Notz }', 'false:{begincond:Pro}', 'false:{endcond}']);
    const since = await mark(page);
    await exec(page, 'setSpellingWords', 'Quillmate\n', 'program');
    assert.ok((await wrapped(page)).includes('false:Quillmate'));
    assert.equal((await wrapped(page)).filter(t => t.includes('uillmate')).length, 1,
      'a word is matched whole and as written');
    assert.equal(await getHtml(page), html);
    assert.deepEqual((await sent(page)).slice(since).filter(m => m.type === 'htmlChanged'), [],
      'wrapping is not an edit');

    // A word taken off the list is checked again.
    await exec(page, 'setSpellingWords', '', 'program');
    assert.ok(!(await wrapped(page)).includes('false:Quillmate'));
    await close(page);
  });

  test('typing at, inside and after a token keeps every character in place', async () => {
    const page = await fresh('<p>Hello</p>');
    await caretAt(page, 'Hello');
    await page.keyboard.type(' {var:Name}');
    await sleep(400);   // the page wraps the finished token
    assert.deepEqual(await wrapped(page), ['false:{var:Name}']);
    await page.keyboard.type(' more');
    await sleep(400);
    await page.keyboard.type('!');
    assert.equal(await getHtml(page), '<p>Hello {var:Name} more!</p>');

    // Typing into the token: still one token, still kept off.
    await caretAt(page, 'Name', { before: true });
    await page.keyboard.type('My');
    await sleep(400);
    assert.deepEqual(await wrapped(page), ['false:{var:MyName}']);
    // Breaking it: its text is the checker's again.
    await caretAt(page, '{var', { before: true });
    await page.keyboard.press('Delete');
    await sleep(400);
    assert.deepEqual(await wrapped(page), []);
    assert.equal(await getHtml(page), '<p>Hello var:MyName} more!</p>');

    // Undo walks back through the same texts.
    await page.keyboard.press('Control+z');
    assert.equal(await getHtml(page), '<p>Hello {var:MyName} more!</p>');
    await close(page);
  });

  test('copying a token copies its text without the page\'s wrapper', async () => {
    const page = await fresh('<p>See {snip:Note} here</p>');
    await page.evaluate(() => {
      const r = document.createRange();
      r.selectNodeContents(document.querySelector('qz-body p'));
      getSelection().removeAllRanges();
      getSelection().addRange(r);
    });
    const copied = await page.evaluate(() => {
      const data = new DataTransfer();
      const e = new ClipboardEvent('copy', { clipboardData: data, bubbles: true, cancelable: true });
      document.querySelector('qz-body').dispatchEvent(e);
      return data.getData('text/html');
    });
    assert.ok(copied.includes('{snip:Note}'), copied);
    assert.ok(!copied.includes('qz-nospell'), copied);
    await close(page);
  });
});
