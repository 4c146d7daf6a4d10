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
import { chromium } from 'playwright-core';
import {
  FIXTURE_DIR, VIEWER_DIR, FIXTURE_STYLE, installViewer, tempDir, siteUnderTest, siteWithData,
  readSite, serveSite, writeLargeSite, removeTempDirs
} from './viewer-site.mjs';

// A hang (a page that never answers) fails its test instead of stalling the run.
const TEST_TIMEOUT = 30000;
const QUERY_BOUND_MS = 250;
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
// (an alert would mean some data was run as HTML).
async function withViewer({ dir = site.dir, url, hash = '', viewport = DESKTOP }, body) {
  const page = await context.newPage();
  await page.setViewportSize(viewport);
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
  return until(() => page.evaluate(() => {
    const status = document.getElementById('qz-results-status').textContent;
    if (!status || /^(Loading|Preparing) search/.test(status)) return null;
    return {
      status,
      titles: Array.from(document.querySelectorAll('#qz-results .qz-result-title'), (e) => e.textContent),
      results: Array.from(document.querySelectorAll('#qz-results [role="option"]'), (li) => ({
        title: li.querySelector('.qz-result-title').textContent,
        titleMarks: Array.from(li.querySelectorAll('.qz-result-title mark'), (m) => m.textContent),
        snippetMarks: Array.from(li.querySelectorAll('.qz-result-snippet mark'), (m) => m.textContent),
        snippet: li.querySelector('.qz-result-snippet')?.textContent ?? '',
        path: li.querySelector('.qz-result-path')?.textContent ?? ''
      }))
    };
  }), 'results for ' + query);
}

test('search: prefixes, every word, ranking, folding of case and accents', { timeout: TEST_TIMEOUT }, async () => {
  const cases = [
    // query, expected titles in order
    ['instal', ['Installing', 'Welcome to Acme Widgets']],              // prefix of a word; title hit first
    ['INSTALLING', ['Installing', 'Welcome to Acme Widgets']],
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
    ['zqxj', []]
  ];
  await withViewer({ dir: fixture.dir }, async (page) => {
    for (const [query, expected] of cases) {
      const r = await searchFor(page, query);
      assert.deepEqual(r.titles, expected, 'query ' + JSON.stringify(query));
      assert.match(r.status, expected.length ? /topics? found/ : /No topics match/, 'status for ' + query);
    }
  });
});

test('search: snippets mark the hits and show the text around them as text', { timeout: TEST_TIMEOUT }, async () => {
  await withViewer({ dir: fixture.dir }, async (page) => {
    const cases = [
      { query: 'stays tex', title: 'Formatting text', marks: ['stays', 'tex'], snippet: /a < b && c stays text/ },
      { query: 'onerror', title: 'Formatting text', marks: ['onerror'], snippet: /<img src=x onerror=alert\(2\)>/ },
      { query: 'resum', title: 'Accents and special letters', marks: ['Résum'], snippet: /The word Résumé keeps its accents/ },
      { query: 'ЁЛК', title: 'Accents and special letters', marks: ['Ёлк'], snippet: /Ёлка и мой дом/ }
    ];
    for (const c of cases) {
      const r = await searchFor(page, c.query);
      const hit = r.results.find((x) => x.title === c.title);
      assert.ok(hit, c.query + ': ' + c.title + ' in ' + JSON.stringify(r.titles));
      assert.match(hit.snippet, c.snippet, c.query);
      assert.deepEqual([...new Set(hit.snippetMarks)].sort(), [...c.marks].sort(), c.query);
    }
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

test('search: a 10,000-topic help answers each query in milliseconds', { timeout: TEST_TIMEOUT }, async (t) => {
  const dir = tempDir('qm-viewer-large-');
  const { topics } = writeLargeSite(dir, 10000);
  for (const name of ['index.html', 'app.js', 'app.css']) fs.copyFileSync(path.join(site.dir, name), path.join(dir, name));
  const probe = topics[7321];
  const probeWords = probe.title.toLowerCase().split(' ');
  await withViewer({ dir }, async (page) => {
    await page.focus('#qz-search-input');
    const first = Date.now();
    await searchFor(page, 'ka'); // waits for the data and the index
    t.diagnostic(`search data loaded and indexed within ${Date.now() - first} ms of focusing the box`);

    const queries = ['k', 'ka', 'pra', 'kalo', probeWords.slice(0, 2).join(' '), probeWords.map((w) => w.slice(0, 4)).join(' ')];
    const timings = {};
    for (const q of queries) {
      // The input handler searches and renders synchronously, so one evaluation times it
      // exactly. The target is well under 100 ms (10-30 ms on a quiet machine, reported
      // below); the bound is generous because wall time stretches on a loaded build machine,
      // and the best of five runs, spread over time, softens bursts of load.
      const runs = [];
      for (let i = 0; i < 5; i++) {
        runs.push(await page.evaluate((query) => {
          const input = document.getElementById('qz-search-input');
          input.value = '';
          input.dispatchEvent(new Event('input'));
          const t0 = performance.now();
          input.value = query;
          input.dispatchEvent(new Event('input'));
          void document.getElementById('qz-results').offsetHeight; // include the layout
          return { ms: performance.now() - t0, shown: document.querySelectorAll('#qz-results [role="option"]').length };
        }, q));
      }
      const best = Math.min(...runs.map((r) => r.ms));
      timings[q] = Math.round(best * 10) / 10;
      assert.ok(runs[0].shown > 0, 'results for ' + q);
      assert.ok(best < QUERY_BOUND_MS, `query ${JSON.stringify(q)} took ${best.toFixed(1)} ms`);
    }
    t.diagnostic('query times (ms): ' + JSON.stringify(timings));

    const r = await searchFor(page, probe.title);
    assert.ok(r.titles.slice(0, 5).includes(probe.title), 'the topic with that exact title ranks near the top');
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

test('http: contents and search fall back to toc.json and search.json', { timeout: TEST_TIMEOUT }, async () => {
  const server = await serveSite(fixture.dir, { hide: ['toc.js', 'search.js'] });
  try {
    await withViewer({ url: server.url }, async (page, base) => {
      await expectShown(page, base, fixture, fixture.order[0]);
      const r = await searchFor(page, 'glossary');
      assert.deepEqual(r.titles, ['Glossary', 'Welcome to Acme Widgets']);
    });
  } finally {
    await server.close();
  }
});

test('http: a link inside a topic moves the address, the contents and the history along', { timeout: TEST_TIMEOUT }, async () => {
  const from = byTitle(fixture, 'Links between topics');
  const to = byTitle(fixture, 'Images and diagrams');
  const server = await serveSite(fixture.dir);
  try {
    await withViewer({ url: server.url, hash: '#' + from.id }, async (page, base) => {
      await expectShown(page, base, fixture, from);
      await topicFrame(page).click(`a[href="${to.id}.html"]`);
      await expectShown(page, base, fixture, to);
      assert.equal(await page.evaluate(() => decodeURIComponent(location.hash.slice(1))), to.id);
      await page.goBack();
      await expectShown(page, base, fixture, from);
      // a frame that moves by itself is followed as well
      await topicFrame(page).goto(base + to.file);
      await expectShown(page, base, fixture, to);
      await page.goBack();
      await expectShown(page, base, fixture, from);
      // a link to an unpublished topic (href="#") leaves everything as it is
      await topicFrame(page).click('a[href="#"]');
      await page.waitForTimeout(200);
      await expectShown(page, base, fixture, from);
    });
  } finally {
    await server.close();
  }
});

test('http: a search hit is marked in the opened topic, and Print prints the topic page', { timeout: TEST_TIMEOUT }, async () => {
  const server = await serveSite(fixture.dir);
  try {
    await withViewer({ url: server.url }, async (page, base) => {
      await page.focus('#qz-search-input');
      await searchFor(page, 'wizard');
      await page.keyboard.press('Enter');
      await expectShown(page, base, fixture, byTitle(fixture, 'Installing'));
      const marks = await until(() => topicFrame(page).evaluate(() => {
        const m = Array.from(document.querySelectorAll('mark'), (e) => e.textContent);
        return m.length ? m : null;
      }), 'marks in the topic');
      assert.deepEqual(marks, ['wizard']);

      await topicFrame(page).evaluate(() => { window.printed = 0; addEventListener('beforeprint', () => { window.printed++; }); });
      await page.click('#qz-print');
      assert.equal(await until(() => topicFrame(page).evaluate(() => window.printed), 'print of the topic'), 1);
    });
  } finally {
    await server.close();
  }
});

/* ---------------------------------------------------------------- from disk */

test('disk: after following a link inside a topic the viewer keeps working', { timeout: TEST_TIMEOUT }, async () => {
  const from = byTitle(fixture, 'Links between topics');
  const to = byTitle(fixture, 'Formatting text');
  await withViewer({ dir: fixture.dir, hash: '#' + from.id }, async (page, base) => {
    await expectShown(page, base, fixture, from);
    await topicFrame(page).click(`a[href="${to.id}.html"]`);
    await until(() => topicFrame(page).url().endsWith(to.file), 'the frame follows the link');
    // choosing the topic that the contents still mark brings it back into the frame
    await item(page, from).click();
    await until(() => topicFrame(page).url().endsWith(from.file), 'the frame shows the chosen topic again');
    await page.click('#qz-next');
    await expectShown(page, base, fixture, fixture.order[fixture.order.findIndex((n) => n.id === from.id) + 1]);
  });
});

test('disk: Print opens the topic page on its own, where it prints whole', { timeout: TEST_TIMEOUT }, async () => {
  const topic = data.order[0];
  await withViewer({}, async (page, base) => {
    await expectShown(page, base, data, topic);
    const [popup] = await Promise.all([page.waitForEvent('popup'), page.click('#qz-print')]);
    assert.equal(popup.url(), base + topic.file);
    await page.emulateMedia({ media: 'print' });
    const hidden = await page.evaluate(() => ['.qz-topbar', '#qz-sidebar', '.qz-toolbar']
      .map((s) => getComputedStyle(document.querySelector(s)).display));
    assert.deepEqual(hidden, ['none', 'none', 'none'], 'printing the viewer prints only the topic');
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
