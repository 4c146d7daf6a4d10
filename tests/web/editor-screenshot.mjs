// Renders the editor page with a typical topic and saves a screenshot, to
// check the look by eye:  node editor-screenshot.mjs [out.png]
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { fileURLToPath } from 'node:url';
import { launchBrowser, openEditor, send, exec, setHtml, FIXTURES } from './editor-harness.mjs';

const out = process.argv[2] || '/tmp/editor-shot.png';
const here = path.dirname(fileURLToPath(import.meta.url));
const profile = path.resolve(here, '../../resources/styles/default.css');

const browser = await launchBrowser();
try {
  const page = await openEditor(browser, { viewport: { width: 1100, height: 820 } });
  await page.evaluate(url => window.qzSetBaseHref(url), pathToFileURL(FIXTURES).href + '/');
  await exec(page, 'setCssFile', profile, 'program');
  await exec(page, 'setHeaderHtml',
    '<div style="font-size:24px;font-family:Segoe UI, Arial, sans-serif;color:#1F2328;"><b>Getting started</b></div>', 'program');
  await exec(page, 'setHeaderBg', '#F4F6FA', 'program');
  await exec(page, 'setTableBorderColor', '#C9D1DB', 'program');
  await exec(page, 'setTableBorderWidth', '1', 'program');
  await exec(page, 'setTableBorderStyle', 'solid', 'program');
  await setHtml(page,
    '<h2>Your first project</h2>' +
    '<p>Quillmate keeps every <b>topic</b> of your help as one page. Write with <i>formatting</i>, ' +
    '<u>underline</u>, <span style="color: rgb(200, 30, 60);">colour</span> and ' +
    '<span style="background-color: rgb(255, 240, 150);">highlights</span>, and link to ' +
    '<a href="doc:0123456789ABCDEF0123456789ABCDEF">other topics</a>.</p>' +
    '<ul><li>Insert {var:ProductName} wherever the name belongs.</li><li>Tables and images sit right in the text.</li></ul>' +
    '<table style="width: 100%;"><tbody><tr><th>Shortcut</th><th>Action</th></tr>' +
    '<tr><td>Ctrl+B</td><td>Bold</td></tr><tr><td>Ctrl+Z</td><td>Undo</td></tr></tbody></table>' +
    '<p><img src="pic.svg" alt="Screenshot" width="240" height="140"></p>' +
    '<p style="text-align: center;">The end.</p>');
  await page.waitForFunction(() => [...document.querySelectorAll('img')].every(i => i.complete && i.naturalWidth));
  await page.click('qz-body img');
  await page.waitForTimeout(150);
  await page.screenshot({ path: out, fullPage: true });
  console.log('saved', out);
} finally {
  await browser.close();
}
