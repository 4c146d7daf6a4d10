// Measures the WebHelp viewer as a reader meets it, in headless Chromium, on a published
// site opened from disk (file://):
//   - contents usable: time from navigation start until the tree's rows are painted and the
//     page takes input again;
//   - first results: typing a word right after that, time from the first key until the first
//     answer, and from the key that brings the first results until they show (a lone letter
//     finds only that one-letter word, so the first results usually come with the second key);
//   - further keys: time from each later key until its result list is on screen, median of 10;
//   - long tasks (over 50 ms) on the page's main thread while typing;
//   - script heap of the page after the typing, after a garbage collection.
//
//   node bench/viewer-webhelp.mjs SITE_DIR        (bench/viewer-webhelp.sh publishes a site)
// Needs playwright-core from tests/web (npm ci there) and /usr/bin/chromium.
import path from 'node:path';
import { createRequire } from 'node:module';
import { pathToFileURL, fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, '../tests/web/package.json'));
const { chromium } = require('playwright-core');

const site = path.resolve(process.argv[2] || '');
const runs = Number(process.argv[3] || 3);
const WORDS = ['configure', 'dashboard', 'permission']; // one typed word per run

// Installed before any page script: records when the first contents row appears, the keys,
// the moments the result list answers a query, and every long task.
function probe() {
  window.__bench = { treeAt: 0, keys: [], answers: [], longTasks: [] };
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) window.__bench.longTasks.push({ start: e.startTime, ms: e.duration });
  }).observe({ type: 'longtask', buffered: true });
  // The deferred scripts run before DOMContentLoaded, so the page is watched from its start.
  let results = null;
  new MutationObserver(() => {
    if (!window.__bench.treeAt && document.querySelector('#qz-tree [role="treeitem"]')) {
      window.__bench.treeAt = performance.now();
      // usable: the rows are on screen and the page takes input again
      requestAnimationFrame(() => setTimeout(() => { window.__bench.treeShownAt = performance.now(); }));
    }
    if (!results && (results = document.getElementById('qz-results'))) {
      new MutationObserver(() => {
        window.__bench.answers.push({
          at: performance.now(),
          query: results.getAttribute('data-query'),
          shown: results.children.length
        });
      }).observe(results, { attributes: true, attributeFilter: ['data-query'], childList: true });
    }
  }).observe(document, { childList: true, subtree: true });
  document.addEventListener('keydown', () => window.__bench.keys.push(performance.now()), true);
}

const median = (xs) => { const s = [...xs].sort((a, b) => a - b); return s.length ? s[Math.floor((s.length - 1) / 2)] : NaN; };
const r1 = (x) => Math.round(x * 10) / 10;

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run']
});
const report = [];
try {
  for (let run = 0; run < runs; run++) {
    const context = await browser.newContext({ viewport: { width: 1366, height: 768 } });
    await context.addInitScript(probe);
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await page.goto(pathToFileURL(site + path.sep).href + 'index.html', { waitUntil: 'commit' });
    await page.waitForFunction(() => window.__bench && window.__bench.treeShownAt > 0, null, { timeout: 60000 });
    const treeAt = await page.evaluate(() => window.__bench.treeShownAt);

    // Right after the contents show, the reader types a word, a key every 120 ms.
    const word = WORDS[run % WORDS.length];
    await page.focus('#qz-search-input');
    const typingFrom = await page.evaluate(() => performance.now());
    for (const ch of word) {
      await page.keyboard.type(ch);
      await page.waitForTimeout(120);
    }
    await page.waitForFunction((w) => document.getElementById('qz-results').getAttribute('data-query') === w, word, { timeout: 60000 });
    // Ten further queries, each a key typed onto a changed word: another word, then growing.
    const further = [];
    const next = ['dash', 'dashb', 'dashbo', 'backup', 'archive', 'arch', 'server', 'serv', 'network', 'net'];
    for (const q of next) {
      await page.fill('#qz-search-input', q.slice(0, -1));
      await page.waitForFunction((w) => document.getElementById('qz-results').getAttribute('data-query') === w, q.slice(0, -1), { timeout: 60000 });
      await page.waitForTimeout(50);
      const before = await page.evaluate(() => window.__bench.keys.length);
      await page.keyboard.type(q.slice(-1));
      await page.waitForFunction((w) => document.getElementById('qz-results').getAttribute('data-query') === w, q, { timeout: 60000 });
      further.push(await page.evaluate(([i, w]) => {
        const key = window.__bench.keys[i];
        const answer = window.__bench.answers.find((a) => a.at >= key && a.query === w);
        return answer.at - key;
      }, [before, q]));
    }
    const b = await page.evaluate(() => window.__bench);
    const firstKey = b.keys.find((k) => k >= typingFrom);
    const firstAnswer = b.answers.find((a) => a.at >= firstKey);
    const firstResults = b.answers.find((a) => a.at >= firstKey && a.shown > 0);
    const resultsKey = b.keys.filter((k) => k <= firstResults.at).at(-1);
    const typingTasks = b.longTasks.filter((t) => t.start >= typingFrom);
    await cdp.send('HeapProfiler.collectGarbage');
    const heap = await cdp.send('Runtime.getHeapUsage');
    report.push({
      run: run + 1,
      word,
      contentsUsableMs: r1(treeAt),
      firstAnswerMs: r1(firstAnswer.at - firstKey),
      firstResultsMs: r1(firstResults.at - resultsKey),
      furtherKeyMedianMs: r1(median(further)),
      furtherKeyMaxMs: r1(Math.max(...further)),
      longestTaskWhileTypingMs: r1(Math.max(0, ...typingTasks.map((t) => t.ms))),
      longTasksWhileTyping: typingTasks.length,
      heapMB: r1(heap.usedSize / 1048576)
    });
    await context.close();
  }
} finally {
  await browser.close();
}
for (const r of report) console.log(JSON.stringify(r));
const all = (k) => report.map((r) => r[k]);
console.log('median over runs: ' + JSON.stringify({
  contentsUsableMs: median(all('contentsUsableMs')),
  firstResultsMs: median(all('firstResultsMs')),
  furtherKeyMedianMs: median(all('furtherKeyMedianMs')),
  longestTaskWhileTypingMs: Math.max(...all('longestTaskWhileTypingMs')),
  heapMB: median(all('heapMB'))
}));
