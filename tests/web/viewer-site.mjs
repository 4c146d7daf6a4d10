// Building and serving WebHelp sites for the viewer tests.
//
// A site is laid out the way the publisher writes it: index.html, app.js and app.css (the
// viewer templates with the title and the three style placeholders filled in), toc.js /
// toc.json, search.js / search.json, style.css and one page per topic in topics/.
//
// QM_SITE_DIR may name an already published site (for example the sample project's
// build/webhelp); otherwise the fixture under fixtures/site is turned into one.

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import http from 'node:http';
import { fileURLToPath } from 'node:url';
import { execFileSync } from 'node:child_process';

const here = path.dirname(fileURLToPath(import.meta.url));
export const VIEWER_DIR = path.resolve(here, '../../resources/webhelp');
export const FIXTURE_DIR = path.join(here, 'fixtures', 'site');

export const FIXTURE_PROJECT_TITLE = 'Acme Widgets & Co. Help';
export const FIXTURE_STYLE = { tocColor: '#1A2B3C', tocSize: 13, leftBg: '#F4F6F8' };

// The publisher's JSON: compact, members in insertion order, pure ASCII with the slash
// escaped and \u escapes in upper-case hexadecimal.
export function publisherJson(value) {
  return JSON.stringify(value)
    .replace(/\\\\|\\u([0-9a-f]{4})/g, (all, hex) => (hex ? '\\u' + hex.toUpperCase() : all))
    .replace(/\//g, '\\/')
    .replace(/[\u0080-\uffff]/g, (c) => '\\u' + c.charCodeAt(0).toString(16).toUpperCase().padStart(4, '0'));
}

export function escapeHtmlText(text) {
  return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
    .replace(/"/g, '&quot;').replace(/'/g, '&#39;');
}

// A topic page exactly as the publisher assembles it.
export function topicPage({ body, header, title = '', headerBg = '#fafafa', pageBg = '#FFFFFF', cssHref = '../style.css', footer = '' }) {
  return '<!doctype html><html><head><meta charset="utf-8"><meta name="viewport" content="width=device-width, initial-scale=1"><link rel="stylesheet" href="' +
    cssHref + '">' + '<style>' + 'body{margin:0;font-family:Segoe UI,Arial;background:' + pageBg + ';}' +
    '.qz-page-body p{margin:0;}' +
    '.qz-page-body h1,.qz-page-body h2,.qz-page-body h3,.qz-page-body h4,.qz-page-body h5,.qz-page-body h6{margin:0;}' +
    '.qz-page-body ul,.qz-page-body ol{margin:0;padding-left:1.5em;}' +
    '.qz-page-body li{margin:0;}' +
    'table{border-collapse:collapse;max-width:100%;}' +
    'td,th{border:1px solid #999;padding:4px;vertical-align:top;}' +
    '</style>' + '<title>' + escapeHtmlText(title) + '</title><script src="../page.js" defer></script>' + '</head><body>' +
    '<div class="qz-page-header" style="background:' + headerBg + ';padding:12px 16px;">' + header + '</div>' +
    '<div class="qz-page-body" style="padding:16px;">' + body + '</div>' + footer + '</body></html>';
}

export function defaultHeader(projectTitle) {
  return '<div style="font-size:14px;"><b>' + escapeHtmlText(projectTitle) + '</b></div>';
}

// Copies the three viewer templates into `dir` and fills them in as the publish command does.
export function installViewer(dir, { title = FIXTURE_PROJECT_TITLE, style = FIXTURE_STYLE, from = VIEWER_DIR } = {}) {
  const html = fs.readFileSync(path.join(from, 'app.html'), 'utf8');
  fs.writeFileSync(path.join(dir, 'index.html'),
    html.replace('<title>WebHelp</title>', '<title>' + escapeHtmlText(title) + '</title>'));
  fs.copyFileSync(path.join(from, 'app.js'), path.join(dir, 'app.js'));
  fs.copyFileSync(path.join(from, 'page.js'), path.join(dir, 'page.js'));
  const css = fs.readFileSync(path.join(from, 'app.css'), 'utf8')
    .split('__QZ_TOC_COLOR__').join(style.tocColor)
    .split('__QZ_TOC_SIZE__').join(String(style.tocSize))
    .split('__QZ_LEFT_BG__').join(style.leftBg);
  fs.writeFileSync(path.join(dir, 'app.css'), css);
}

const madeDirs = [];

export function tempDir(prefix = 'qm-viewer-') {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), prefix));
  madeDirs.push(dir);
  return dir;
}

// Removes every folder made by tempDir (an external QM_SITE_DIR is never touched).
export function removeTempDirs() {
  for (const dir of madeDirs.splice(0)) fs.rmSync(dir, { recursive: true, force: true });
}

// The viewer's search index (search/) for a hand-made site, written by the publisher's own
// index builder from the site's search.json (and index-entries.json, when there is one).
export const SEARCH_INDEX_TOOL = process.env.QM_SEARCH_INDEX_TOOL ||
  path.resolve(here, '../../build/dev/bin/qm_web_search_index');

export function buildSearchIndex(dir) {
  if (!fs.existsSync(SEARCH_INDEX_TOOL)) throw new Error('build qm_web_search_index first (or set QM_SEARCH_INDEX_TOOL): ' + SEARCH_INDEX_TOOL);
  execFileSync(SEARCH_INDEX_TOOL, [dir], { stdio: 'inherit' });
}

// The fixture turned into a published site in a fresh folder.
export function buildFixtureSite(dir = tempDir()) {
  fs.cpSync(FIXTURE_DIR, dir, { recursive: true });
  installViewer(dir);
  buildSearchIndex(dir);
  return dir;
}

// The site the tests run against.
export function siteUnderTest() {
  const given = process.env.QM_SITE_DIR;
  if (given) {
    const dir = path.resolve(given);
    if (!fs.existsSync(path.join(dir, 'index.html'))) throw new Error('QM_SITE_DIR has no index.html: ' + dir);
    return { dir, external: true };
  }
  return { dir: buildFixtureSite(), external: false };
}

export const VIEWER_FILES = ['index.html', 'app.js', 'app.css', 'page.js'];

// A copy of the site with its viewer files but other data: for the tests that need
// particular content whatever site is under test.
export function siteWithData(viewerSiteDir, dataDir, dir = tempDir()) {
  fs.cpSync(dataDir, dir, { recursive: true });
  for (const name of VIEWER_FILES) {
    fs.copyFileSync(path.join(viewerSiteDir, name), path.join(dir, name));
  }
  buildSearchIndex(dir);
  return dir;
}

function readAssignedJson(file, prefix) {
  const text = fs.readFileSync(file, 'utf8');
  if (!text.startsWith(prefix) || !text.endsWith(';')) throw new Error('unexpected format: ' + file);
  return JSON.parse(text.slice(prefix.length, -1));
}

// The contents and search data of a site, plus derived facts the tests need.
export function readSite(dir) {
  const toc = readAssignedJson(path.join(dir, 'toc.js'), 'window.__QZ_TOC = ');
  const search = readAssignedJson(path.join(dir, 'search.js'), 'window.__QZ_SEARCH = ');
  const order = [];
  const parent = new Map();
  (function walk(list, up) {
    for (const node of list) {
      order.push(node);
      parent.set(node.id, up);
      walk(node.children || [], node);
    }
  })(toc.roots, null);
  const ancestors = (id) => {
    const out = [];
    for (let p = parent.get(id); p; p = parent.get(p.id)) out.unshift(p);
    return out;
  };
  const title = fs.readFileSync(path.join(dir, 'index.html'), 'utf8').match(/<title>([^<]*)<\/title>/)[1]
    .replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&quot;/g, '"').replace(/&#39;/g, "'").replace(/&amp;/g, '&');
  return { dir, toc, search, order, ancestors, projectTitle: title };
}

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.css': 'text/css; charset=utf-8',
  '.json': 'application/json', '.svg': 'image/svg+xml', '.png': 'image/png'
};

// A plain static file server on a free local port. `hide` lists site files that answer 404.
export async function serveSite(dir, { hide = [] } = {}) {
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    let rel = decodeURIComponent(url.pathname).replace(/^\/+/, '');
    if (rel === '' || rel.endsWith('/')) rel += 'index.html';
    const file = path.join(dir, rel);
    if (!file.startsWith(dir + path.sep) || hide.includes(rel) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404, { 'content-type': 'text/plain' });
      res.end('not found');
      return;
    }
    res.writeHead(200, { 'content-type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const { port } = server.address();
  return { url: `http://127.0.0.1:${port}/`, close: () => new Promise((resolve) => {
    // The browser keeps connections open after its pages close; dropping them
    // keeps close() from waiting on a connection that never goes idle.
    server.close(() => resolve());
    server.closeAllConnections();
  }) };
}

// A deterministic manual of `count` topics in chapters of 100, each with a few hundred
// words of generated text, for measuring the search on a large help.
export function writeLargeSite(dir, count = 10000) {
  let seed = 12345;
  const rand = () => ((seed = (seed * 1103515245 + 12345) >>> 0) / 4294967296);
  const syllables = ['ka', 'lo', 'mi', 'ne', 'ru', 'sa', 'ti', 'vo', 'ze', 'pra', 'ster', 'quin', 'dor', 'fel', 'gan', 'hul', 'jor', 'wex'];
  const vocabulary = [];
  for (let i = 0; i < 3000; i++) {
    let w = '';
    const parts = 2 + Math.floor(rand() * 3);
    for (let k = 0; k < parts; k++) w += syllables[Math.floor(rand() * syllables.length)];
    vocabulary.push(w);
  }
  // word frequencies fall off like natural text: a few common words, many rare ones
  const word = () => vocabulary[Math.floor(vocabulary.length * Math.pow(rand(), 2.2))];
  const sentence = (n) => Array.from({ length: n }, word).join(' ');
  const id = (i) => (0xA0000000 + i).toString(16).toUpperCase().padStart(32, '0');

  const roots = [];
  const topics = [];
  for (let i = 0; i < count; i++) {
    const title = sentence(2 + Math.floor(rand() * 3)).replace(/^./, (c) => c.toUpperCase());
    const node = { id: id(i), title, file: 'topics/' + id(i) + '.html', children: [] };
    if (i % 100 === 0) roots.push(node); else roots[roots.length - 1].children.push(node);
    const text = Array.from({ length: 20 }, () => sentence(12) + '.').join(' ');
    topics.push({ id: node.id, title, file: node.file, text, keywords: rand() < 0.3 ? sentence(2) : '' });
  }
  fs.mkdirSync(path.join(dir, 'topics'), { recursive: true });
  const toc = publisherJson({ roots });
  const search = publisherJson({ topics });
  fs.writeFileSync(path.join(dir, 'toc.json'), toc);
  fs.writeFileSync(path.join(dir, 'toc.js'), 'window.__QZ_TOC = ' + toc + ';');
  fs.writeFileSync(path.join(dir, 'search.json'), search);
  fs.writeFileSync(path.join(dir, 'search.js'), 'window.__QZ_SEARCH = ' + search + ';');
  fs.writeFileSync(path.join(dir, 'style.css'), 'body{font-family:Segoe UI,Arial;line-height:1.5;margin:0;}');
  for (const node of roots) {
    fs.writeFileSync(path.join(dir, node.file), topicPage({ body: '<h1>' + escapeHtmlText(node.title) + '</h1>', title: node.title, header: defaultHeader('Large manual') }));
  }
  buildSearchIndex(dir);
  return { dir, topics, vocabulary };
}
