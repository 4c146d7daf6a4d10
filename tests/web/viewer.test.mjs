// Browser tests of the WebHelp viewer (index.html, app.js, app.css) in Debian's chromium.
//
//   cd tests/web && node --test --test-concurrency=1 viewer.test.mjs
//
// By default the fixture under fixtures/site is published into a temporary folder. Set
// QM_SITE_DIR to a published WebHelp folder to run the same tests against it: the tests on
// navigation derive what they expect from that site's own contents, and the tests that need
// particular content (search ranking, hostile titles) pair its viewer files with the fixture data.

import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { execFileSync } from 'node:child_process';
import { chromium } from 'playwright-core';
import {
  FIXTURE_DIR, VIEWER_DIR, VIEWER_FILES, FIXTURE_STYLE, installViewer, buildSearchIndex, tempDir, siteUnderTest,
  siteWithData, readSite, serveSite, writeLargeSite, removeTempDirs, publisherJson, topicPage, escapeHtmlText, defaultHeader
} from './viewer-site.mjs';

// A hang (a page that never answers) fails its test instead of stalling the run.
const TEST_TIMEOUT = 30000;
const DESKTOP = { width: 1280, height: 800 };
const PHONE = { width: 390, height: 844 };

const site = siteUnderTest();
const data = readSite(site.dir);
// Viewer under test + known content.
const fixture = readSite(site.external ? siteWithData(site.dir, FIXTURE_DIR) : site.dir);

let browser;
let context; // one context for all tests (creating one is slow); every test gets fresh pages
before(async () => {
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run']
  });
  context = await browser.newContext({ viewport: DESKTOP });
});
after(async () => {
  await browser?.close();
  removeTempDirs();
});

const shownTitle = (title) => (title.trim() ? title : 'Untitled topic');
const byTitle = (s, title) => {
  const found = s.search.topics.find((t) => t.title === title);
  assert.ok(found, 'fixture topic ' + title);
  return found;
};

// Opens the viewer in a fresh page, runs `body` and fails on any script error or dialog
// (an alert would mean some data was run as HTML). What the viewer remembers (open branches,
// the theme) is forgotten first unless `keepStorage` is set.
async function withViewer({ dir = site.dir, url, hash = '', viewport = DESKTOP, keepStorage = false }, body) {
  const page = await context.newPage();
  await page.setViewportSize(viewport);
  if (!keepStorage) {
    await page.goto((url || pathToFileURL(dir + path.sep).href) + 'page.js'); // any page of the site's origin
    await page.evaluate(() => localStorage.clear());
  }
  const problems = [];
  page.on('pageerror', (e) => problems.push('page error: ' + e.message));
  page.on('dialog', (d) => { problems.push('dialog: ' + d.message()); d.dismiss().catch(() => {}); });
  try {
    const base = url || pathToFileURL(dir + path.sep).href;
    await page.goto(base + 'index.html' + hash);
    await page.waitForSelector('#qz-tree [role="treeitem"]', { state: 'attached' });
    await body(page, base);
    assert.deepEqual(problems, []);
  } finally {
    for (const p of context.pages()) await p.close(); // popups included
  }
}

async function until(check, what, timeout = 5000) {
  const end = Date.now() + timeout;
  let last;
  for (;;) {
    try {
      last = await check();
      if (last) return last;
    } catch (e) {
      last = e;
    }
    if (Date.now() > end) assert.fail('timed out waiting for ' + what + (last instanceof Error ? ': ' + last.message : ''));
    await new Promise((r) => setTimeout(r, 40));
  }
}

function topicFrame(page) {
  return page.frame({ name: 'qz-topic' });
}

// What the viewer shows: address, highlighted contents entry, breadcrumbs, frame page.
async function viewState(page, base) {
  const s = await page.evaluate(() => ({
    hash: decodeURIComponent(location.hash.slice(1)),
    current: Array.from(document.querySelectorAll('#qz-tree [aria-current="page"]'),
      (a) => ({ id: decodeURIComponent(a.getAttribute('href').slice(1)), title: a.textContent })),
    crumbs: Array.from(document.querySelectorAll('#qz-crumbs li'), (li) => li.textContent),
    title: document.title,
    notice: document.getElementById('qz-notice').hidden ? null : document.getElementById('qz-notice-title').textContent
  }));
  const frameUrl = topicFrame(page).url();
  s.frame = frameUrl.startsWith(base) ? frameUrl.slice(base.length) : frameUrl;
  return s;
}

// Waits until `topic` is shown and checks everything that shows it.
async function expectShown(page, base, s, topic, { inContents = true } = {}) {
  const state = await until(async () => {
    const v = await viewState(page, base);
    return v.frame === topic.file && v.crumbs.at(-1) === shownTitle(topic.title) ? v : null;
  }, 'topic ' + topic.title);
  if (inContents) {
    assert.deepEqual(state.current, [{ id: topic.id, title: shownTitle(topic.title) }]);
    assert.deepEqual(state.crumbs, [...s.ancestors(topic.id).map((a) => shownTitle(a.title)), shownTitle(topic.title)]);
  } else {
    assert.deepEqual(state.current, []);
    assert.deepEqual(state.crumbs, [shownTitle(topic.title)]);
  }
  assert.equal(state.title, shownTitle(topic.title) + ' \u2013 ' + s.projectTitle);
  return state;
}

const deepest = (s) => s.order.reduce((a, b) => (s.ancestors(b.id).length > s.ancestors(a.id).length ? b : a));
const withChildren = (s) => s.toc.roots.find((r) => r.children.length);
// The contents entry of a topic, found by its address: titles may repeat in a manual.
const item = (page, topic) => page.locator(`#qz-tree [role="treeitem"][href="#${encodeURIComponent(topic.id)}"]`);

/* ---------------------------------------------------------------- contents tree */

test('contents: roots in order, a twisty expands and collapses without changing the topic', { timeout: TEST_TIMEOUT }, async () => {
  const parent = withChildren(data);
  assert.ok(parent, 'the site needs a top-level topic with children');
  await withViewer({}, async (page, base) => {
    const rootTitles = await page.locator('#qz-tree > li > [role="treeitem"]').allTextContents();
    assert.deepEqual(rootTitles, data.toc.roots.map((r) => shownTitle(r.title)));
    await expectShown(page, base, data, data.order[0]);

    // start from a collapsed parent: collapse it first if it is the shown topic
    const row = item(page, parent);
    if ((await row.getAttribute('aria-expanded')) === 'true') await row.locator('.qz-twisty').click();
    assert.equal(await row.getAttribute('aria-expanded'), 'false');
    const groupId = await row.getAttribute('aria-owns');

    await row.locator('.qz-twisty').click();
    assert.equal(await row.getAttribute('aria-expanded'), 'true');
    const group = page.locator('#' + groupId);
    assert.ok(await group.isVisible());
    assert.deepEqual(await group.locator(':scope > li > [role="treeitem"]').allTextContents(),
      parent.children.map((c) => shownTitle(c.title)));
    assert.equal(await group.locator(':scope > li > [role="treeitem"]').first().getAttribute('aria-level'), '2');

    await row.locator('.qz-twisty').click();
    assert.equal(await row.getAttribute('aria-expanded'), 'false');
    assert.ok(!(await group.isVisible()));
    await expectShown(page, base, data, data.order[0]);
  });
});

test('contents: keyboard navigation follows the tree pattern', { timeout: TEST_TIMEOUT }, async () => {
  const roots = data.toc.roots;
  const parentIndex = roots.findIndex((r) => r.children.length);
  assert.ok(parentIndex >= 0 && roots.length >= 2, 'the site needs two top-level topics, one with children');
  const parent = roots[parentIndex];
  const child = parent.children[0];
  const last = roots.at(-1);

  await withViewer({ hash: '#' + encodeURIComponent(last.id) }, async (page, base) => {
    await expectShown(page, base, data, last);
    await page.locator('#qz-tree [aria-current="page"]').focus();
    const focused = () => page.evaluate(() => {
      const a = document.activeElement;
      return a && a.getAttribute('role') === 'treeitem'
        ? {
            id: decodeURIComponent(a.getAttribute('href').slice(1)),
            expanded: a.getAttribute('aria-expanded'),
            tabs: document.querySelectorAll('#qz-tree [tabindex="0"]').length
          }
        : null;
    });
    // Collapse every top-level topic so the sequence below starts from a known shape.
    await page.keyboard.press('Home');
    for (let i = 0; i < roots.length; i++) {
      if ((await focused()).expanded === 'true') await page.keyboard.press('ArrowLeft');
      if (i < roots.length - 1) await page.keyboard.press('ArrowDown');
    }

    const steps = [
      ['Home', roots[0]],
      ...Array.from({ length: parentIndex }, (_, i) => ['ArrowDown', roots[i + 1]]),
      ['ArrowRight', parent, 'true'],   // opens the parent, focus stays
      ['ArrowRight', child],            // then moves to its first child
      ['ArrowLeft', parent, 'true'],    // from a (closed) child back to its parent
      ['ArrowLeft', parent, 'false'],   // closes the parent
      ['ArrowUp', parentIndex > 0 ? roots[parentIndex - 1] : parent],
      ['End', last],
      ['Home', roots[0]]
    ];
    for (const [key, topic, expanded] of steps) {
      await page.keyboard.press(key);
      const f = await focused();
      assert.equal(f?.id, topic.id, `after ${key}: ${topic.title}`);
      assert.equal(f.tabs, 1, 'exactly one tab stop in the tree');
      if (expanded) assert.equal(f.expanded, expanded, 'expanded after ' + key);
    }

    // Enter shows the focused topic; Space does too
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Enter');
    await expectShown(page, base, data, roots[1]);
    await page.keyboard.press('Home');
    await page.keyboard.press(' ');
    await expectShown(page, base, data, roots[0]);

    // typing a letter jumps to the next visible topic whose title starts with it
    const letter = last.title.trim()[0]?.toLowerCase();
    if (letter && /[a-z]/.test(letter)) {
      const visible = await page.locator('#qz-tree [role="treeitem"]:visible').evaluateAll((items) =>
        items.map((a) => ({ id: decodeURIComponent(a.getAttribute('href').slice(1)), title: a.textContent })));
      const expected = [...visible.slice(1), visible[0]].find((x) => x.title.trim().toLowerCase().startsWith(letter));
      await page.keyboard.press(letter);
      assert.equal((await focused()).id, expected.id);
    }
  });
});

/* ---------------------------------------------------------------- addresses and history */

test('addresses: index.html#ID from disk shows that topic, revealed in the contents', { timeout: TEST_TIMEOUT }, async () => {
  const deep = deepest(data);
  const cases = [
    { name: 'no address: the first topic', hash: '', topic: data.order[0] },
    { name: 'a deep topic', hash: '#' + deep.id, topic: deep },
    { name: 'the last topic', hash: '#' + data.order.at(-1).id, topic: data.order.at(-1) }
  ];
  for (const c of cases) {
    // a short window, so that revealing a topic has to scroll the contents
    await withViewer({ hash: c.hash, viewport: { width: 1100, height: 260 } }, async (page, base) => {
      await expectShown(page, base, data, c.topic);
      for (const a of data.ancestors(c.topic.id)) {
        assert.equal(await item(page, a).getAttribute('aria-expanded'), 'true', c.name + ': ancestor open');
      }
      const inView = await until(() => page.evaluate(() => {
        const r = document.querySelector('#qz-tree [aria-current="page"]').getBoundingClientRect();
        const box = document.getElementById('qz-sidebar').getBoundingClientRect();
        return r.top >= box.top && r.bottom <= box.bottom;
      }), c.name + ': current topic scrolled into view');
      assert.ok(inView);
    });
  }
});

test('addresses: an unknown id shows a notice with a way back to the first topic', { timeout: TEST_TIMEOUT }, async () => {
  await withViewer({ hash: '#NO-SUCH-TOPIC' }, async (page, base) => {
    const state = await until(async () => { const v = await viewState(page, base); return v.notice ? v : null; }, 'notice');
    assert.equal(state.notice, 'Topic not found');
    assert.deepEqual(state.current, []);
    assert.equal(await page.locator('#qz-next').getAttribute('aria-disabled'), 'true');
    await page.click('#qz-notice-link');
    await expectShown(page, base, data, data.order[0]);
  });
});

test('history: back and forward step through the topics visited, one step per topic', { timeout: TEST_TIMEOUT }, async () => {
  assert.ok(data.order.length >= 3, 'the site needs three topics');
  const [a, b, c] = [data.order[0], data.order[1], data.order.at(-1)];
  // a low window, so that the first topic scrolls
  await withViewer({ viewport: { width: 1000, height: 320 } }, async (page, base) => {
    await expectShown(page, base, data, a);
    const scrolled = await topicFrame(page).evaluate(() => {
      window.scrollTo(0, 60);
      return window.scrollY;
    });
    await item(page, b).click();
    await expectShown(page, base, data, b);
    await page.evaluate((id) => { location.hash = id; }, c.id); // as a link or bookmark would
    await expectShown(page, base, data, c);

    await page.goBack();
    await expectShown(page, base, data, b);
    await page.goBack();
    await expectShown(page, base, data, a);
    assert.equal(await page.evaluate(() => location.hash), '', 'the start of the history is the bare address');
    if (scrolled > 0) {
      await until(async () => (await topicFrame(page).evaluate(() => window.scrollY)) === scrolled,
        'back returns to the place in the topic where the reader left it');
    }
    await page.goForward();
    await expectShown(page, base, data, b);
    await page.goForward();
    await expectShown(page, base, data, c);
  });
});

/* ---------------------------------------------------------------- previous / next, breadcrumbs */

test('pager: previous and next walk the contents in reading order', { timeout: TEST_TIMEOUT }, async () => {
  const steps = Math.min(data.order.length - 1, 8);
  await withViewer({}, async (page, base) => {
    await expectShown(page, base, data, data.order[0]);
    assert.equal(await page.locator('#qz-prev').getAttribute('aria-disabled'), 'true');
    for (let i = 1; i <= steps; i++) {
      await page.click('#qz-next');
      await expectShown(page, base, data, data.order[i]);
    }
    await page.click('#qz-prev');
    await expectShown(page, base, data, data.order[steps - 1]);
  });
  const lastTopic = data.order.at(-1);
  await withViewer({ hash: '#' + lastTopic.id }, async (page, base) => {
    await expectShown(page, base, data, lastTopic);
    assert.equal(await page.locator('#qz-next').getAttribute('aria-disabled'), 'true');
    await page.click('#qz-next'); // disabled: nothing happens
    await page.click('#qz-prev');
    await expectShown(page, base, data, data.order.at(-2));
  });
});

test('breadcrumbs: every ancestor is a link to its topic', { timeout: TEST_TIMEOUT }, async () => {
  const deep = deepest(data);
  const ancestors = data.ancestors(deep.id);
  assert.ok(ancestors.length >= 1, 'the site needs a nested topic');
  for (const [i, target] of ancestors.entries()) {
    await withViewer({ hash: '#' + deep.id }, async (page, base) => {
      await expectShown(page, base, data, deep);
      assert.equal(await page.locator('#qz-crumbs [aria-current="page"]').textContent(), shownTitle(deep.title));
      await page.locator('#qz-crumbs a').nth(i).click();
      await expectShown(page, base, data, target);
    });
  }
});

/* ---------------------------------------------------------------- search */

async function searchFor(page, query) {
  await page.fill('#qz-search-input', query);
  return until(() => page.evaluate((q) => {
    const status = document.getElementById('qz-results-status').textContent;
    if (document.getElementById('qz-results').getAttribute('data-query') !== q) return null;
    // snippets come with the text shards, after the titles
    if (Array.from(document.querySelectorAll('#qz-results [role="option"]')).some((li) => li.__qzPending)) return null;
    return {
      status,
      titles: Array.from(document.querySelectorAll('#qz-results .qz-result-title'), (e) => e.textContent),
      results: Array.from(document.querySelectorAll('#qz-results [role="option"]'), (li) => ({
        title: li.querySelector('.qz-result-title').textContent,
        titleMarks: Array.from(li.querySelectorAll('.qz-result-title mark'), (m) => m.textContent),
        snippetMarks: Array.from(li.querySelectorAll('.qz-result-snippet mark'), (m) => m.textContent),
        snippet: li.querySelector('.qz-result-snippet')?.textContent ?? '',
        keywords: li.querySelector('.qz-result-keywords')?.textContent ?? '',
        index: li.querySelector('.qz-result-index')?.textContent ?? '',
        path: li.querySelector('.qz-result-path')?.textContent ?? ''
      }))
    };
  }, query.trim()), 'results for ' + query);
}

test('search: prefixes, every word, ranking, folding of case and accents', { timeout: TEST_TIMEOUT }, async () => {
  const cases = [
    // query, expected titles in order
    // prefix of a word; title hit first, then the index entry "installation", then the body
    ['instal', ['Installing', 'System requirements', 'Welcome to Acme Widgets']],
    ['INSTALLING', ['Installing', 'System requirements', 'Welcome to Acme Widgets']],
    ['setup wizard', ['Installing']],                                    // every word must match...
    ['setup', ['Installing', 'System requirements']],                    // ...though each alone matches more
    ['wizard', ['Installing', 'Your first project']],
    ['glossary', ['Glossary', 'Welcome to Acme Widgets']],               // title above body, whatever the order in contents
    ['shortcut', ['Hotkeys', 'Installing', 'Your first project']],       // keyword above body
    ['publish search', ['Search in published help']],                 // Publishing, PDF, Welcome: no "search"
    ['café', ['Accents and special letters']],
    ['CAFE', ['Accents and special letters']],
    ['resume', ['Accents and special letters']],                         // R&eacute;sum&eacute; in the text
    ['creme brulee', ['Accents and special letters']],
    ['елка', ['Accents and special letters']],                           // Ё folds to Е
    ['мои', []],                                                         // but й is not и
    ['legacy', ['Legacy import options']],                               // not in the contents, still found
    ['zqxj', []],
    // word forms: plural, -ing, -ed, -ion meet at one stem
    ['wizards', ['Installing', 'Your first project']],
    ['installed', ['Installing', 'System requirements', 'Welcome to Acme Widgets']],
    // index entries rank with titles and keywords, above the body text
    ['installation', ['Installing', 'System requirements', 'Welcome to Acme Widgets']],
    ['hardware', ['System requirements']],
    ['printing', ['Printed manual (PDF)']],
    // Chinese and Japanese are found by their characters
    ['設定', ['Accents and special letters']],
    ['保存します', ['Accents and special letters']],
    ['設計', []],
    // a single letter is a word of its own, not every word that starts with it
    ['w', []],                                                           // not widgets, wizard, web...
    ['x', ['<img src=x onerror=alert(1)> "Quoted" & <b>bold</b>', 'Formatting text']] // src=x
  ];
  await withViewer({ dir: fixture.dir }, async (page) => {
    for (const [query, expected] of cases) {
      const r = await searchFor(page, query);
      assert.deepEqual(r.titles, expected, 'query ' + JSON.stringify(query));
      assert.match(r.status, expected.length ? /topics? found/ : query.length === 1 ? /Type another letter/ : /No topics match/, 'status for ' + query);
    }
  });
});

test('search: snippets mark the hits and show the text around them as text', { timeout: TEST_TIMEOUT }, async () => {
  await withViewer({ dir: fixture.dir }, async (page) => {
    const cases = [
      { query: 'stays tex', title: 'Formatting text', marks: ['stays', 'tex'], snippet: /a < b && c stays text/ },
      { query: 'onerror', title: 'Formatting text', marks: ['onerror'], snippet: /<img src=x onerror=alert\(2\)>/ },
      { query: 'resum', title: 'Accents and special letters', marks: ['Résum'], snippet: /The word Résumé keeps its accents/ },
      { query: 'ЁЛК', title: 'Accents and special letters', marks: ['Ёлк'], snippet: /Ёлка и мой дом/ },
      { query: 'wizards', title: 'Installing', marks: ['wizard'], snippet: /installation wizard/ },
      { query: '保存', title: 'Accents and special letters', marks: ['保', '存'], snippet: /設定を保存します/ }
    ];
    for (const c of cases) {
      const r = await searchFor(page, c.query);
      const hit = r.results.find((x) => x.title === c.title);
      assert.ok(hit, c.query + ': ' + c.title + ' in ' + JSON.stringify(r.titles));
      assert.match(hit.snippet, c.snippet, c.query);
      assert.deepEqual([...new Set(hit.snippetMarks)].sort(), [...c.marks].sort(), c.query);
    }
    // keywords and index entries that match are shown, marked
    const hotkeys = (await searchFor(page, 'keyboard')).results.find((x) => x.title === 'Hotkeys');
    assert.equal(hotkeys.keywords, 'shortcut keyboard');
    const requirements = (await searchFor(page, 'hardware')).results[0];
    assert.equal(requirements.index, 'installation; hardware');
    // the result names its place in the contents
    const nested = (await searchFor(page, 'search in published')).results[0];
    assert.equal(nested.title, 'Search in published help');
    assert.equal(nested.path, 'Publishing \u203a WebHelp output');
    assert.deepEqual(nested.titleMarks, ['Search', 'in', 'published']);
  });
});

test('search: keyboard choice of a result opens it; Escape closes the list', { timeout: TEST_TIMEOUT }, async () => {
  const target = byTitle(fixture, 'Hotkeys');
  await withViewer({ dir: fixture.dir }, async (page, base) => {
    await page.keyboard.press('/'); // focuses the search box from anywhere
    assert.equal(await page.evaluate(() => document.activeElement.id), 'qz-search-input');
    await page.keyboard.type('shortcut');
    await searchFor(page, 'shortcut');
    assert.equal(await page.getAttribute('#qz-search-input', 'aria-expanded'), 'true');
    await page.keyboard.press('ArrowDown');
    assert.equal(await page.getAttribute('#qz-search-input', 'aria-activedescendant'), 'qz-result-0');
    await page.keyboard.press('Enter');
    await expectShown(page, base, fixture, target);
    assert.ok(!(await page.isVisible('#qz-results-panel')));

    await page.focus('#qz-search-input');
    await searchFor(page, 'legacy');
    await page.keyboard.press('Escape');
    assert.ok(!(await page.isVisible('#qz-results-panel')));
    assert.equal(await page.inputValue('#qz-search-input'), 'legacy');

    // a topic known only to the search opens too, with no place in the contents
    await page.focus('#qz-search-input');
    await searchFor(page, 'legacy');
    await page.click('#qz-results [role="option"]');
    await expectShown(page, base, fixture, byTitle(fixture, 'Legacy import options'), { inContents: false });
    assert.equal(await page.locator('#qz-prev').getAttribute('aria-disabled'), 'true');
    assert.equal(await page.locator('#qz-next').getAttribute('aria-disabled'), 'true');
  });
});

test('search: a 10,000-topic help finds by title first and shows more results on request', { timeout: TEST_TIMEOUT }, async () => {
  const dir = tempDir('qm-viewer-large-');
  const { topics } = writeLargeSite(dir, 10000);
  for (const name of VIEWER_FILES) fs.copyFileSync(path.join(site.dir, name), path.join(dir, name));
  const probe = topics[7321];
  await withViewer({ dir }, async (page) => {
    await page.focus('#qz-search-input');
    const r = await searchFor(page, probe.title);
    assert.ok(r.titles.slice(0, 5).includes(probe.title), 'the topic with that exact title ranks near the top');

    // a common prefix: the best 20 first, then 20 more at a time
    const common = await searchFor(page, 'ka');
    const total = Number(common.status.match(/^(\d+) topics found/)?.[1]);
    assert.ok(total > 40, common.status);
    assert.equal(common.results.length, 20);
    assert.ok(common.results.every((x) => x.snippet), 'every shown result has its snippet');
    await page.click('#qz-results-more');
    await until(() => page.evaluate(() => document.querySelectorAll('#qz-results [role="option"]').length === 40), '40 results');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'qz-search-input', 'the focus stays in the box');
    assert.match(await page.textContent('#qz-results-more'), new RegExp('\\(' + (total - 40) + ' left\\)'));
    // title hits rank first across the pages as within one
    const shown = await page.evaluate(() => Array.from(document.querySelectorAll('#qz-results .qz-result-title'), (e) => e.textContent));
    const inTitle = shown.map((t) => /(^|\s)ka/i.test(t));
    assert.ok(inTitle.indexOf(false) < 0 || !inTitle.slice(inTitle.indexOf(false)).includes(true), JSON.stringify(shown));
  });
});

/* ---------------------------------------------------------------- hostile data */

test('escaping: titles and text that look like HTML are shown literally', { timeout: TEST_TIMEOUT }, async () => {
  const evil = byTitle(fixture, '<img src=x onerror=alert(1)> "Quoted" & <b>bold</b>');
  await withViewer({ dir: fixture.dir, hash: '#' + evil.id }, async (page, base) => {
    await expectShown(page, base, fixture, evil);
    assert.equal(await page.locator('#qz-tree [aria-current="page"] .qz-tree-label').textContent(), evil.title);
    assert.equal(await page.locator('#qz-crumbs [aria-current="page"]').textContent(), evil.title);
    const r = await searchFor(page, 'onerror alert');
    assert.deepEqual(r.titles, [evil.title, 'Formatting text']);
    const counts = await page.evaluate(() => ({
      img: document.querySelectorAll('img').length,
      bold: document.querySelectorAll('#qz-tree b, #qz-crumbs b, #qz-results b').length
    }));
    assert.deepEqual(counts, { img: 0, bold: 0 });
    // the project title in <title> is HTML-escaped by the publisher and shown decoded
    assert.equal(await page.locator('#qz-brand-text').textContent(), fixture.projectTitle);
  });
});

/* ---------------------------------------------------------------- phone layout */

test('phone: the contents are a drawer that opens from the menu button and closes on choice', { timeout: TEST_TIMEOUT }, async () => {
  const target = data.order[Math.min(1, data.order.length - 1)];
  await withViewer({ viewport: PHONE }, async (page, base) => {
    await expectShown(page, base, data, data.order[0]);
    const layout = await page.evaluate(() => {
      const frame = document.getElementById('qz-frame').getBoundingClientRect();
      return { scrollWidth: document.documentElement.scrollWidth, frameWidth: frame.width, frameLeft: frame.left };
    });
    assert.ok(layout.scrollWidth <= PHONE.width, 'no sideways scrolling');
    assert.equal(layout.frameLeft, 0);
    assert.equal(layout.frameWidth, PHONE.width, 'the topic uses the full width');
    assert.ok(!(await page.isVisible('#qz-sidebar')), 'contents hidden at first');
    assert.equal(await page.getAttribute('#qz-menu', 'aria-expanded'), 'false');

    await page.click('#qz-menu');
    await until(() => page.isVisible('#qz-sidebar'), 'drawer');
    assert.equal(await page.getAttribute('#qz-menu', 'aria-expanded'), 'true');
    assert.equal(await page.evaluate(() => document.activeElement.getAttribute('role')), 'treeitem', 'focus moves into the contents');
    await page.keyboard.press('Escape');
    await until(async () => !(await page.isVisible('#qz-sidebar')), 'drawer closed by Escape');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'qz-menu');

    await page.click('#qz-menu');
    await until(() => page.isVisible('#qz-sidebar'), 'drawer again');
    await item(page, target).click(); // the first topic's child or the next top-level topic
    await expectShown(page, base, data, target);
    await until(async () => !(await page.isVisible('#qz-sidebar')), 'drawer closed after choosing');

    // the search box spans the width and its results fit the screen
    await page.fill('#qz-search-input', 'a');
    const panel = await until(() => page.locator('#qz-results-panel').boundingBox(), 'results panel');
    assert.ok(panel.x >= 0 && panel.x + panel.width <= PHONE.width, 'results within the screen');
  });
  await withViewer({ viewport: DESKTOP }, async (page) => {
    assert.ok(await page.isVisible('#qz-sidebar'));
    assert.ok(!(await page.isVisible('#qz-menu')));
  });
});

/* ---------------------------------------------------------------- served over http */

test('http: without the flat contents the viewer reads toc.json; search needs neither search.js nor search.json', { timeout: TEST_TIMEOUT }, async () => {
  const server = await serveSite(fixture.dir, { hide: ['search/contents.js', 'toc.js', 'search.js', 'search.json'] });
  try {
    await withViewer({ url: server.url }, async (page, base) => {
      await expectShown(page, base, fixture, fixture.order[0]);
      const r = await searchFor(page, 'glossary');
      assert.deepEqual(r.titles, ['Glossary', 'Welcome to Acme Widgets']);
    });
  } finally {
    await server.close();
  }
  // from disk, toc.js takes its place
  const dir = siteWithData(fixture.dir, FIXTURE_DIR);
  fs.rmSync(path.join(dir, 'search', 'contents.js'));
  await withViewer({ dir }, async (page, base) => {
    await expectShown(page, base, fixture, fixture.order[0]);
    assert.deepEqual(await page.locator('#qz-tree > li > [role="treeitem"]').allTextContents(),
      fixture.toc.roots.map((n) => n.title));
  });
});

/* ---------------------------------------------------------------- reading comfort */

test('dark mode follows the system, the toggle is remembered, and the topic follows', { timeout: TEST_TIMEOUT }, async () => {
  const theme = (page) => page.evaluate(() => ({
    theme: document.documentElement.getAttribute('data-theme'),
    background: getComputedStyle(document.getElementById('qz-sidebar')).backgroundColor
  }));
  const topicDark = (page) => topicFrame(page).evaluate(() => document.documentElement.classList.contains('qz-dark'));
  const dir = siteWithData(fixture.dir, FIXTURE_DIR);
  installViewer(dir); // the fixture's contents colours, whatever site is under test
  const styled = readSite(dir);
  await withViewer({ dir }, async (page, base) => {
      await expectShown(page, base, styled, fixture.order[0]);
      assert.equal((await theme(page)).theme, 'light');
      assert.equal((await theme(page)).background, 'rgb(244, 246, 248)', 'the project colour in light mode');
      await page.emulateMedia({ colorScheme: 'dark' });
      await until(async () => (await theme(page)).theme === 'dark', 'follows the system');
      await until(() => topicDark(page), 'the topic follows');
      assert.notEqual((await theme(page)).background, 'rgb(244, 246, 248)', 'dark mode has its own contents colours');
      await page.click('#qz-theme'); // the reader wants light
      await until(async () => (await theme(page)).theme === 'light', 'toggle');
      await until(async () => !(await topicDark(page)), 'the topic follows the toggle');
      await page.emulateMedia({ colorScheme: 'light' });
      await page.click('#qz-theme'); // and then dark, against the system
      await page.reload();
      await page.waitForSelector('#qz-tree [role="treeitem"]', { state: 'attached' });
      assert.equal((await theme(page)).theme, 'dark', 'remembered after a reload');
      await until(() => topicDark(page), 'a topic opened later is dark too');
      assert.equal(await page.getAttribute('#qz-theme', 'aria-pressed'), 'true');
  });
});

test('sizes follow the browser font setting; text keeps a readable measure; topic margins stay zero', { timeout: TEST_TIMEOUT }, async () => {
  const manual = byTitle(fixture, 'Printed manual (PDF)');
  const dir = siteWithData(fixture.dir, FIXTURE_DIR);
  installViewer(dir); // the fixture's contents size, whatever site is under test
  const styled = readSite(dir);
  for (const standard of [16, 24]) {
    await withViewer({ dir, hash: '#' + manual.id, viewport: { width: 1366, height: 768 } }, async (page, base) => {
      const cdp = await context.newCDPSession(page);
      await cdp.send('Page.setFontSizes', { fontSizes: { standard, fixed: 13 } });
      await expectShown(page, base, styled, manual);
      const sizes = await page.evaluate(() => ({
        tree: parseFloat(getComputedStyle(document.querySelector('#qz-tree [role="treeitem"]')).fontSize),
        search: parseFloat(getComputedStyle(document.getElementById('qz-search-input')).fontSize)
      }));
      // the project's contents size (13 px) is its size at the default 16 px
      assert.equal(sizes.tree, 13 * standard / 16, 'contents size at ' + standard);
      assert.ok(sizes.search >= 14 * standard / 16, 'search box size at ' + standard);
    });
  }
  await withViewer({ dir, hash: '#' + manual.id, viewport: { width: 1366, height: 768 } }, async (page, base) => {
    await expectShown(page, base, styled, manual);
    const text = await until(() => topicFrame(page).evaluate(() => {
      const p = document.querySelectorAll('.qz-page-body p')[1];
      const s = getComputedStyle(p);
      const h = getComputedStyle(document.querySelector('.qz-page-body h2'));
      // characters per line: line width over the width of an average character
      const probe = document.createElement('span');
      probe.textContent = 'abcdefghijklmnopqrstuvwxyz';
      p.appendChild(probe);
      const perChar = probe.getBoundingClientRect().width / 26;
      probe.remove();
      return {
        chars: p.getBoundingClientRect().width / perChar, pMargin: s.marginTop + ' ' + s.marginBottom, hMargin: h.marginTop
      };
    }), 'topic text');
    assert.ok(text.chars <= 90, 'at most about 80 characters a line, got ' + Math.round(text.chars));
    assert.equal(text.pMargin, '0px 0px');
    assert.equal(text.hMargin, '0px');
  });
});

test('contents: the branches a reader opened are open again on the next visit', { timeout: TEST_TIMEOUT }, async () => {
  const parents = data.order.filter((n) => n.children.length);
  assert.ok(parents.length >= 2, 'the site needs two topics with children');
  const chosen = parents.at(-1);
  await withViewer({}, async (page, base) => {
    await expectShown(page, base, data, data.order[0]);
    for (const a of data.ancestors(chosen.id)) {
      if ((await item(page, a).getAttribute('aria-expanded')) !== 'true') await item(page, a).locator('.qz-twisty').click();
    }
    await item(page, chosen).locator('.qz-twisty').click();
    assert.equal(await item(page, chosen).getAttribute('aria-expanded'), 'true');
    await page.waitForTimeout(400); // the choice is written a moment after the last change
  });
  await withViewer({ keepStorage: true }, async (page) => {
    await until(async () => (await item(page, chosen).getAttribute('aria-expanded')) === 'true', 'open again');
  });
});

test('phone: every control is at least 44 px high', { timeout: TEST_TIMEOUT }, async () => {
  const manual = byTitle(fixture, 'Printed manual (PDF)');
  await withViewer({ dir: fixture.dir, hash: '#' + manual.id, viewport: PHONE }, async (page, base) => {
    await expectShown(page, base, fixture, manual);
    await until(() => page.isVisible('#qz-onpage'), 'on this page');
    const small = (selector) => page.evaluate((sel) => Array.from(document.querySelectorAll(sel))
      .filter((e) => e.getClientRects().length && getComputedStyle(e).visibility !== 'hidden')
      .map((e) => ({ what: e.id || e.className || e.tagName, h: e.getBoundingClientRect().height }))
      .filter((x) => x.h < 43.5), selector);
    assert.deepEqual(await small('.qz-topbar button, .qz-toolbar a, .qz-toolbar summary, #qz-search-input'), []);
    await page.click('#qz-menu');
    await until(() => page.isVisible('#qz-sidebar'), 'drawer');
    assert.deepEqual(await small('#qz-sidebar [role="treeitem"], #qz-sidebar button'), []);
    await page.keyboard.press('Escape');
    await page.click('#qz-onpage summary');
    assert.deepEqual(await small('#qz-onpage-list a'), []);
    await page.click('#qz-onpage summary');
    await searchFor(page, 'topic');
    assert.deepEqual(await small('#qz-results [role="option"]'), []);
  });
});

/* ---------------------------------------------------------------- the viewer and its topic page, from disk and over http */

// Runs `body` once with the site opened from disk and once served over http: the viewer and
// the topic page talk by postMessage, which must work the same in both.
async function bothWays(dir, body) {
  await body('disk', undefined);
  const server = await serveSite(dir);
  try {
    await body('http', server.url);
  } finally {
    await server.close();
  }
}

test('link inside a topic: the address, contents, title and history follow it', { timeout: TEST_TIMEOUT }, async () => {
  const from = byTitle(fixture, 'Links between topics');
  const to = byTitle(fixture, 'Images and diagrams');
  await bothWays(fixture.dir, async (way, url) => {
    await withViewer({ dir: fixture.dir, url, hash: '#' + from.id }, async (page, base) => {
      await expectShown(page, base, fixture, from);
      await topicFrame(page).click(`a[href="${to.id}.html"]`);
      await expectShown(page, base, fixture, to);
      assert.equal(await page.evaluate(() => decodeURIComponent(location.hash.slice(1))), to.id, way);
      await page.goBack();
      await expectShown(page, base, fixture, from);
      // a frame that moves by itself is followed as well
      await topicFrame(page).goto(base + to.file);
      await expectShown(page, base, fixture, to);
      await page.goBack();
      await expectShown(page, base, fixture, from);
      // a link to an unpublished topic (href="#") leaves everything as it is
      await topicFrame(page).click('a[href="#"]');
      await expectShown(page, base, fixture, from);
      // and the pager goes on from the topic shown
      await page.click('#qz-next');
      await expectShown(page, base, fixture, fixture.order[fixture.order.findIndex((n) => n.id === from.id) + 1]);
    });
  });
});

test('search hits are marked in the opened topic; Print prints the whole topic', { timeout: TEST_TIMEOUT }, async () => {
  const installing = byTitle(fixture, 'Installing');
  await bothWays(fixture.dir, async (way, url) => {
    await withViewer({ dir: fixture.dir, url }, async (page, base) => {
      await page.focus('#qz-search-input');
      await searchFor(page, 'wizards');
      await page.keyboard.press('Enter');
      await expectShown(page, base, fixture, installing);
      const marks = await until(() => topicFrame(page).evaluate(() => {
        const m = Array.from(document.querySelectorAll('mark'), (e) => e.textContent);
        return m.length ? m : null;
      }), way + ': marks in the topic');
      assert.deepEqual(marks, ['wizard'], way);
    });
    // The button and Ctrl+P, in the viewer or in the topic, print the topic page itself. The
    // browser ignores a page's second print in quick succession, so each gets a fresh viewer.
    const ways = [
      ['print button', (page) => page.click('#qz-print')],
      ['Ctrl+P in the viewer', async (page) => { await page.focus('#qz-search-input'); await page.keyboard.press('Control+p'); }],
      ['Ctrl+P in the topic', async (page) => { await topicFrame(page).click('p'); await page.keyboard.press('Control+p'); }]
    ];
    for (const [what, print] of ways) {
      await withViewer({ dir: fixture.dir, url, hash: '#' + installing.id }, async (page, base) => {
        await expectShown(page, base, fixture, installing);
        await until(() => topicFrame(page).evaluate(() => document.readyState === 'complete'), 'topic loaded');
        await topicFrame(page).evaluate(() => { window.printed = 0; addEventListener('beforeprint', () => { window.printed++; }); });
        await print(page);
        await until(async () => (await topicFrame(page).evaluate(() => window.printed)) === 1, way + ': ' + what);
      });
    }
  });
});

test("the browser's own print of the viewer prints the whole topic, over several sheets", { timeout: TEST_TIMEOUT }, async () => {
  const manual = byTitle(fixture, 'Printed manual (PDF)');
  // the long topic three times over: more than one sheet of A4
  const dir = siteWithData(fixture.dir, FIXTURE_DIR);
  const file = path.join(dir, manual.file);
  const html = fs.readFileSync(file, 'utf8');
  const body = html.match(/<div class="qz-page-body"[^>]*>([\s\S]*?)<\/div><div class="qz-page-footer"/)[1];
  fs.writeFileSync(file, html.replace(body, body + body.replace(/<h2>/g, '<h2>More: ') + '<p id="last">The last line of the topic.</p>'));
  await bothWays(dir, async (way, url) => {
    await withViewer({ dir, url, hash: '#' + manual.id }, async (page, base) => {
      await until(async () => (await topicFrame(page).url()) === base + manual.file, 'topic');
      await until(() => page.evaluate(() => document.getElementById('qz-frame').style.getPropertyValue('--qz-print-280') !== ''), 'page heights known');
      // Narrow paper makes the topic taller than on screen: it must not be cut there either,
      // nor end in empty sheets.
      const papers = [['A4', { format: 'A4' }], ['A6', { format: 'A6' }], ['100 mm wide', { width: '100mm', height: '150mm' }]];
      const sheets = {};
      for (const [name, paper] of papers) {
        const pdf = path.join(tempDir('qm-viewer-print-'), 'viewer.pdf');
        await page.pdf({ path: pdf, ...paper });
        const pages = Number(execFileSync('pdfinfo', [pdf], { encoding: 'utf8' }).match(/Pages:\s+(\d+)/)[1]);
        const text = execFileSync('pdftotext', ['-enc', 'UTF-8', pdf, '-'], { encoding: 'utf8' });
        const what = way + ', ' + name + ': ';
        assert.ok(pages >= 2, what + pages + ' sheets');
        assert.match(text, /The last line of the topic\./, what + 'the end of the topic is printed');
        assert.doesNotMatch(text, /Skip to topic|Previous|On this page/, what + 'the viewer around the topic is not');
        for (const heading of html.match(/<h2>[^<]*<\/h2>/g)) {
          const words = heading.replace(/<[^>]+>/g, '').trim();
          assert.ok(text.replace(/\s+/g, ' ').includes(words), what + 'heading ' + words);
        }
        // The topic printed by itself on the same paper: the viewer's print, which can only
        // reserve the topic's height ahead, takes at most one sheet more (it may take fewer:
        // a frame is cut into sheets without the page's own breaks).
        const alone = await context.newPage();
        const own = path.join(tempDir('qm-viewer-print-'), 'topic.pdf');
        try {
          await alone.goto(base + manual.file);
          await alone.pdf({ path: own, ...paper });
        } finally {
          await alone.close();
        }
        const ownPages = Number(execFileSync('pdfinfo', [own], { encoding: 'utf8' }).match(/Pages:\s+(\d+)/)[1]);
        assert.ok(pages <= ownPages + 1, what + pages + ' sheets, the topic alone ' + ownPages);
        sheets[name] = pages;
      }
      assert.ok(sheets.A6 > sheets.A4, way + ': more sheets on A6 than on A4: ' + JSON.stringify(sheets));
    });
  });
});

test('keyboard shortcuts of the viewer work with the focus in the topic', { timeout: TEST_TIMEOUT }, async () => {
  await bothWays(fixture.dir, async (way, url) => {
    await withViewer({ dir: fixture.dir, url }, async (page, base) => {
      await expectShown(page, base, fixture, fixture.order[0]);
      for (const key of ['/', 'Control+k']) {
        await topicFrame(page).click('p');
        assert.notEqual(await page.evaluate(() => document.activeElement.id), 'qz-search-input');
        await page.keyboard.press(key);
        await until(() => page.evaluate(() => document.activeElement.id === 'qz-search-input'), way + ': ' + key + ' focuses the search');
      }
    });
  });
});

test('a topic page carries its title and, opened alone, leads to the full help', { timeout: TEST_TIMEOUT }, async () => {
  const topic = byTitle(fixture, 'Installing');
  const evil = byTitle(fixture, '<img src=x onerror=alert(1)> "Quoted" & <b>bold</b>');
  await bothWays(fixture.dir, async (way, url) => {
    const base = url || pathToFileURL(fixture.dir + path.sep).href;
    const page = await context.newPage();
    try {
      await page.goto(base + evil.file);
      assert.equal(await page.title(), evil.title, way);
      await page.goto(base + topic.file);
      assert.equal(await page.title(), topic.title, way);
      await page.click('#qz-open-help');
      await page.waitForSelector('#qz-tree [aria-current="page"]', { state: 'attached' });
      await expectShown(page, base, fixture, topic);
      // inside the viewer the offer is not shown
      assert.equal(await topicFrame(page).locator('#qz-open-help').count(), 0);
    } finally {
      await page.close();
    }
  });
});

test('on this page: a topic with several headings lists them, and a choice scrolls the topic', { timeout: TEST_TIMEOUT }, async () => {
  const manual = byTitle(fixture, 'Printed manual (PDF)');
  const single = byTitle(fixture, 'Installing');
  await bothWays(fixture.dir, async (way, url) => {
    await withViewer({ dir: fixture.dir, url, hash: '#' + manual.id, viewport: { width: 1100, height: 500 } }, async (page, base) => {
      await expectShown(page, base, fixture, manual);
      await until(() => page.isVisible('#qz-onpage'), way + ': list shown');
      await page.click('#qz-onpage summary');
      assert.deepEqual(await page.locator('#qz-onpage-list a').allTextContents(),
        ['Page size and margins', 'Headers and footers', 'Contents and bookmarks']);
      await page.locator('#qz-onpage-list a').nth(1).click();
      await until(async () => (await topicFrame(page).evaluate(() => {
        const h = document.querySelectorAll('h2')[1];
        return window.scrollY > 0 && Math.abs(h.getBoundingClientRect().top) < 2;
      })), way + ': the heading at the top of the frame');
      assert.ok(!(await page.isVisible('#qz-onpage-list')), 'the list closes after a choice');
      await page.evaluate((id) => { location.hash = id; }, single.id);
      await expectShown(page, base, fixture, single);
      await until(async () => !(await page.isVisible('#qz-onpage')), way + ': no list for a topic without headings');
    });
  });
});

/* ---------------------------------------------------------------- templates */

test('templates: the style placeholders take the project values, and the raw template keeps defaults', { timeout: TEST_TIMEOUT }, async () => {
  const raw = fs.readFileSync(path.join(VIEWER_DIR, 'app.css'), 'utf8');
  for (const name of ['__QZ_TOC_COLOR__', '__QZ_TOC_SIZE__px', '__QZ_LEFT_BG__']) assert.ok(raw.includes(name), name);
  assert.equal((fs.readFileSync(path.join(VIEWER_DIR, 'app.html'), 'utf8').match(/<title>WebHelp<\/title>/g) || []).length, 1);
  assert.doesNotMatch(fs.readFileSync(path.join(site.dir, 'app.css'), 'utf8'), /__QZ_/, 'published app.css is filled in');

  const styles = (page) => page.evaluate(() => {
    const a = getComputedStyle(document.querySelector('#qz-tree [role="treeitem"]:not([aria-current])'));
    return { color: a.color, size: a.fontSize, left: getComputedStyle(document.getElementById('qz-sidebar')).backgroundColor };
  });
  const cases = [
    { style: FIXTURE_STYLE, expected: { color: 'rgb(26, 43, 60)', size: '13px', left: 'rgb(244, 246, 248)' } },
    { style: { tocColor: '#FFFFFF', tocSize: 20, leftBg: '#202020' }, expected: { color: 'rgb(255, 255, 255)', size: '20px', left: 'rgb(32, 32, 32)' } },
    { style: null, expected: { color: 'rgb(31, 41, 55)', size: '14px', left: 'rgb(248, 250, 252)' } } // template as shipped
  ];
  for (const c of cases) {
    const dir = siteWithData(fixture.dir, FIXTURE_DIR);
    if (c.style) installViewer(dir, { style: c.style });
    else for (const name of ['app.js', 'app.css']) fs.copyFileSync(path.join(VIEWER_DIR, name), path.join(dir, name));
    await withViewer({ dir }, async (page) => {
      assert.deepEqual(await styles(page), c.expected, JSON.stringify(c.style));
    });
  }
});

// A copy of the fixture where "Links between topics" links to a section near the end of a
// long "Printed manual (PDF)".
function siteWithSectionLink() {
  const from = byTitle(fixture, 'Links between topics');
  const to = byTitle(fixture, 'Printed manual (PDF)');
  const dir = siteWithData(fixture.dir, FIXTURE_DIR);
  const toFile = path.join(dir, to.file);
  const filler = Array.from({ length: 60 }, (_, i) => `<p>Filler paragraph ${i} before the section.</p>`).join('');
  fs.writeFileSync(toFile, fs.readFileSync(toFile, 'utf8').replace('<div class="qz-page-body" style="padding:16px;">',
    (m) => m + filler + '<h2 id="far-section">The far section</h2><p>Text of the far section.</p>' + filler));
  const fromFile = path.join(dir, from.file);
  fs.writeFileSync(fromFile, fs.readFileSync(fromFile, 'utf8').replace('<div class="qz-page-body" style="padding:16px;">',
    (m) => m + `<p><a id="to-section" href="${to.id}.html#far-section">To the far section</a></p>`));
  return { dir, from, to };
}

test('a link to a section of another topic, and an address with a section, open the topic there', { timeout: TEST_TIMEOUT }, async () => {
  const { dir, from, to } = siteWithSectionLink();
  // the section's heading is at the top of the frame, well down the page
  const atSection = (page) => until(() => topicFrame(page).evaluate(() => {
    const h = document.getElementById('far-section');
    return h && window.scrollY > 200 && Math.abs(h.getBoundingClientRect().top) < 4;
  }), 'the topic scrolled to its section');
  await bothWays(dir, async (way, url) => {
    await withViewer({ dir, url, hash: '#' + from.id }, async (page, base) => {
      await until(async () => (await viewState(page, base)).frame === from.file, way + ': first topic');
      await topicFrame(page).click('#to-section');
      const state = await until(async () => {
        const v = await viewState(page, base);
        return v.crumbs.at(-1) === to.title && v.frame === to.file + '#far-section' ? v : null;
      }, way + ': the linked topic');
      assert.equal(state.hash, to.id + '#far-section', way + ': the address names the section');
      assert.deepEqual(state.current.map((c) => c.id), [to.id], way);
      await atSection(page);
      // back to the first topic, then the address with the section, as a bookmark gives it
      await page.goBack();
      await until(async () => (await viewState(page, base)).frame === from.file, way + ': back');
    });
    await withViewer({ dir, url, hash: '#' + to.id + '#far-section' }, async (page, base) => {
      await until(async () => (await viewState(page, base)).crumbs.at(-1) === to.title, way + ': bookmarked topic');
      await atSection(page);
      // the same topic at its start, then the section again without a reload of the page
      await page.evaluate((id) => { location.hash = id; }, to.id);
      await page.evaluate(() => window.frames[0].postMessage({ qz: 1, type: 'scroll', id: 'qz-no-such' }, '*'));
      await topicFrame(page).evaluate(() => { window.scrollTo(0, 0); window.sameDocument = true; });
      await page.evaluate((h) => { location.hash = h; }, to.id + '#far-section');
      await atSection(page);
      assert.equal(await topicFrame(page).evaluate(() => window.sameDocument), true, way + ': no reload within the topic');
    });
  });
  // Opened alone, the page offers the full help at the same section.
  const alone = await context.newPage();
  try {
    await alone.goto(pathToFileURL(path.join(dir, to.file)).href + '#far-section');
    assert.equal(await alone.getAttribute('#qz-open-help', 'href'), '../index.html#' + to.id + '#far-section');
  } finally {
    await alone.close();
  }
});

// A help of many top-level topics, each with two children, in the nested contents (toc.js)
// or also in the flat copy the publisher writes (search/contents.js).
function siteWithManyRoots(flat) {
  const dir = tempDir('qm-viewer-roots-');
  const id = (i) => (0xB0000000 + i).toString(16).toUpperCase().padStart(32, '0');
  const roots = [];
  const rows = [];
  let n = 0;
  for (let r = 0; r < 400; r++) {
    const root = { id: id(n++), title: 'Chapter ' + r, children: [] };
    rows.push(root.id, root.title, 0);
    for (let c = 0; c < 2; c++) {
      const child = { id: id(n++), title: `Section ${r}.${c}`, children: [] };
      root.children.push(child);
      rows.push(child.id, child.title, 1);
    }
    roots.push(root);
  }
  const all = roots.flatMap((r) => [r, ...r.children]);
  for (const t of all) t.file = 'topics/' + t.id + '.html';
  fs.mkdirSync(path.join(dir, 'topics'), { recursive: true });
  const toc = publisherJson({ roots });
  fs.writeFileSync(path.join(dir, 'toc.json'), toc);
  fs.writeFileSync(path.join(dir, 'toc.js'), 'window.__QZ_TOC = ' + toc + ';');
  const search = publisherJson({ topics: all.map((t) => ({ id: t.id, title: t.title, file: t.file, text: 'About ' + t.title + '.', keywords: '' })) });
  fs.writeFileSync(path.join(dir, 'search.json'), search);
  fs.writeFileSync(path.join(dir, 'search.js'), 'window.__QZ_SEARCH = ' + search + ';');
  for (const t of all) {
    fs.writeFileSync(path.join(dir, t.file), topicPage({ body: '<h1>' + escapeHtmlText(t.title) + '</h1>', title: t.title, header: defaultHeader('Many chapters') }));
  }
  installViewer(dir);
  buildSearchIndex(dir);
  const contents = path.join(dir, 'search', 'contents.js');
  if (flat) fs.writeFileSync(contents, 'window.__qzSearch("contents",0,' + JSON.stringify(rows) + ');');
  else fs.rmSync(contents, { force: true });
  return { dir, roots };
}

test('contents: a help of hundreds of chapters reaches every one by scrolling, keys, address and memory', { timeout: TEST_TIMEOUT * 2 }, async () => {
  for (const flat of [false, true]) {
    const { dir, roots } = siteWithManyRoots(flat);
    const way = flat ? 'flat contents' : 'toc.js';
    const rowOf = (page, node) => page.locator(`#qz-tree [role="treeitem"][href="#${node.id}"]`);
    const rootRows = (page) => page.evaluate(() => Array.from(document.querySelectorAll('#qz-tree > li > [role="treeitem"]'),
      (a) => [a.textContent, a.getAttribute('aria-posinset'), a.getAttribute('aria-setsize')]));
    await withViewer({ dir }, async (page) => {
      // scrolling the contents to its end brings every chapter, in order
      await until(async () => {
        await page.evaluate(() => { const s = document.getElementById('qz-sidebar'); s.scrollTop = s.scrollHeight; });
        return (await rootRows(page)).length === roots.length;
      }, way + ': every chapter by scrolling', 10000);
      assert.deepEqual(await rootRows(page), roots.map((r, i) => [r.title, String(i + 1), String(roots.length)]), way);
    });
    await withViewer({ dir }, async (page) => {
      // End from the first row goes to the last chapter
      await rowOf(page, roots[0]).focus();
      await page.keyboard.press('End');
      assert.equal(await page.evaluate(() => document.activeElement.textContent), roots.at(-1).title, way + ': End');
    });
    const deep = roots[333].children[1];
    await withViewer({ dir, hash: '#' + deep.id }, async (page) => {
      await until(async () => (await rowOf(page, deep).getAttribute('aria-current')) === 'page', way + ': the addressed section is marked');
      assert.equal(await rowOf(page, roots[333]).getAttribute('aria-expanded'), 'true', way);
      assert.ok(await rowOf(page, deep).isVisible(), way + ': and scrolled into view');
      await page.waitForTimeout(400); // the open branch is written a moment after the last change
    });
    await withViewer({ dir, keepStorage: true }, async (page) => {
      await until(async () => (await rowOf(page, roots[333]).getAttribute('aria-expanded')) === 'true', way + ': the branch is open again');
      assert.equal(await rowOf(page, roots[333].children[0]).textContent(), roots[333].children[0].title, way);
    });
  }
});
