import { chromium } from 'playwright-core';
import { pathToFileURL } from 'node:url';
const dir = '/tmp/vgen/b10k/Bench/build/webhelp';
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu'] });
for (let i = 0; i < 2; i++) {
const page = await browser.newPage({ viewport: { width: 1366, height: 768 } });
await page.addInitScript(() => { window.__lt = []; new PerformanceObserver((l) => { for (const e of l.getEntries()) window.__lt.push([Math.round(e.startTime), Math.round(e.duration)]); }).observe({ type: 'longtask', buffered: true }); });
await page.goto(pathToFileURL(dir + '/').href + 'index.html');
await page.waitForTimeout(3000);
console.log(await page.evaluate(() => ({
  nav: performance.getEntriesByType('navigation').map(e => ({ dcl: Math.round(e.domContentLoadedEventEnd), load: Math.round(e.loadEventEnd) })),
  res: performance.getEntriesByType('resource').map(e => [e.name.split('/').slice(-2).join('/'), Math.round(e.startTime), Math.round(e.responseEnd)]),
  lt: window.__lt })));
await page.close();
}
await browser.close();
