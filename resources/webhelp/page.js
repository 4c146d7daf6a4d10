/*
 * WebHelp page script: loaded by every published topic page and by the viewer itself.
 *
 * The viewer shows a topic page in a frame. Opened from disk each file is an origin of its
 * own, so the viewer can neither read the frame's address nor reach into its document; the
 * two talk by postMessage, which works between file:// pages as over http. In a topic page
 * this script reports the topic and its headings, hands links to other topics to the viewer
 * (so the address, contents and history follow), forwards the viewer's keyboard shortcuts,
 * marks search hits, prints the whole topic and follows the viewer's dark mode. A topic
 * opened on its own offers the full help.
 *
 * It also holds the text rules of the search (folding, words, stems), which the viewer uses
 * for queries and this page for marking hits; the published index was built by the same
 * rules (SearchText.cpp), so the three must change together.
 */
(function () {
  'use strict';

  /* ---------------- search text rules ---------------- */

  var EXTRA_FOLDS = { '\u00f8': 'o', '\u0142': 'l', '\u0111': 'd', '\u0127': 'h', '\u0131': 'i', '\u0451': '\u0435' };
  var foldCache = new Map();

  // Lower case; Latin letters lose their accents. In Cyrillic the breve of "й" makes a
  // different letter, so only "ё" is folded (to "е"), as Russian writers do themselves.
  function foldCodePoint(ch) {
    var cached = foldCache.get(ch);
    if (cached !== undefined) return cached;
    var out = '';
    for (var c of ch.toLowerCase()) {
      if (EXTRA_FOLDS[c]) { out += EXTRA_FOLDS[c]; continue; }
      var code = c.codePointAt(0);
      if (code >= 0xc0 && code < 0x250) out += c.normalize('NFD').replace(/[\u0300-\u036f]/g, '') || c;
      else if (code < 0x300 || code > 0x36f) out += c;
    }
    foldCache.set(ch, out);
    return out;
  }

  var ASCII_ONLY = /^[\x00-\x7f]*$/;

  // The folded text and, for each of its UTF-16 units, where in the original it came from.
  function foldWithMap(text) {
    if (ASCII_ONLY.test(text)) return { text: text.toLowerCase(), starts: null, ends: null };
    var out = '', starts = [], ends = [], pos = 0;
    for (var ch of text) {
      var f = ch.charCodeAt(0) < 128 ? ch.toLowerCase() : foldCodePoint(ch);
      for (var i = 0; i < f.length; i++) { starts.push(pos); ends.push(pos + ch.length); }
      out += f;
      pos += ch.length;
    }
    return { text: out, starts: starts, ends: ends };
  }

  function fold(text) { return foldWithMap(text).text; }

  // Chinese and Japanese are written without spaces: each character is a word.
  var CJK = '\u3040-\u30ff\u3400-\u9fff\uf900-\ufaff';
  var WORD_RE = new RegExp('[' + CJK + ']|(?:(?![' + CJK + '])[\\p{L}\\p{N}\\p{M}])+', 'gu');

  function words(folded) { return folded.match(WORD_RE) || []; }

  function isVowel(c) { return 'aeiouy'.indexOf(c) >= 0; }

  // Light English stemming: plural, -ing, -ed and -ion endings of words of plain letters.
  function stem(w) {
    if (w.length < 4 || !/^[a-z]+$/.test(w)) return w;
    var ends = function (t) { return w.length >= t.length && w.slice(-t.length) === t; };
    if (ends('ies') && w.length > 4) w = w.slice(0, -3) + 'y';
    else if (ends('sses') || ends('xes') || ends('zes') || ends('ches') || ends('shes')) w = w.slice(0, -2);
    else if (ends('s') && !ends('ss') && !ends('us') && !ends('is')) w = w.slice(0, -1);
    var cut = function (n) {
      if (w.length < n + 3 || !/[aeiouy]/.test(w.slice(0, -n))) return false;
      w = w.slice(0, -n);
      return true;
    };
    var verb = false;
    if (ends('ation')) cut(5);
    else if (ends('tion') || ends('sion')) cut(3);
    else if (ends('ing')) verb = cut(3);
    else if (ends('ed')) verb = cut(2);
    if (verb && w.length >= 3) {
      var last = w.charAt(w.length - 1);
      if (last === w.charAt(w.length - 2) && !isVowel(last) && 'lsz'.indexOf(last) < 0) w = w.slice(0, -1);
    }
    if (w.length >= 4 && w.charAt(w.length - 1) === 'e') w = w.slice(0, -1);
    return w;
  }

  // A query term matches a word that starts with it, or any form of the same stem.
  function matchLength(word, term) {
    if (word.indexOf(term.t) === 0) return term.t.length;
    // a stem is the word's beginning, but for its last letter (queries -> query)
    var s = term.s;
    if (s && word.length >= s.length && word.lastIndexOf(s.slice(0, -1), 0) === 0 && stem(word) === s) return word.length;
    return 0;
  }

  // Places in `text` of the words that match one of the terms ({t: folded, s: stem}).
  function findHits(text, terms) {
    var hits = [];
    if (!text || !terms.length) return hits;
    var f = foldWithMap(text);
    WORD_RE.lastIndex = 0;
    var m;
    while ((m = WORD_RE.exec(f.text))) {
      var len = 0, term = null;
      for (var i = 0; i < terms.length; i++) {
        var l = matchLength(m[0], terms[i]);
        if (l > len) { len = l; term = terms[i].t; }
      }
      if (term) {
        hits.push(f.starts
          ? { start: f.starts[m.index], end: f.ends[m.index + len - 1], term: term }
          : { start: m.index, end: m.index + len, term: term });
      }
    }
    return hits;
  }

  window.__qzText = { fold: fold, foldWithMap: foldWithMap, words: words, stem: stem, findHits: findHits };

  // The viewer's data files (search/*.js) hand their data to this function. Data that
  // arrives before the viewer's own script runs (the contents) waits here.
  if (!window.__qzSearch) {
    window.__qzArrived = Object.create(null);
    window.__qzSearch = function (kind, n, data) { window.__qzArrived[kind + n] = data; };
  }

  /* ---------------- the topic page ---------------- */

  var doc = document;
  var body = doc.querySelector('.qz-page-body');
  if (!body) return; // the viewer itself

  var framed = window.parent !== window;
  var viewer = null; // the viewer window once it has answered
  var fileName = decodeURIComponent(location.pathname.replace(/^.*\//, ''));
  var topicId = fileName.replace(/\.html?$/i, '');

  var style = doc.createElement('style');
  // A comfortable measure for running text; tables and pictures keep the full width. The
  // dark mode inverts the page and turns pictures back, whatever colours the project sets.
  style.textContent =
    '.qz-page-body p,.qz-page-body li,.qz-page-body dd,.qz-page-body blockquote,' +
    '.qz-page-body h1,.qz-page-body h2,.qz-page-body h3,.qz-page-body h4,.qz-page-body h5,.qz-page-body h6{max-width:42em;}' +
    'html.qz-dark{background:#15171b;}' +
    'html.qz-dark body{filter:invert(0.9) hue-rotate(180deg);min-height:100vh;}' +
    'html.qz-dark img,html.qz-dark video,html.qz-dark picture,html.qz-dark canvas,html.qz-dark svg image{filter:hue-rotate(180deg) invert(1.1);}' +
    'mark.qz-hit{background:#fde68a;color:inherit;}' +
    '.qz-alone{display:flex;gap:.75em;align-items:center;flex-wrap:wrap;padding:.6em 1em;font:0.9rem/1.4 system-ui,sans-serif;background:#eef2ff;color:#1e293b;border-bottom:1px solid #c7d2fe;}' +
    '.qz-alone a{color:#1d4ed8;font-weight:600;}' +
    '@media print{.qz-alone{display:none}html.qz-dark,html.qz-dark body{filter:none;background:none}}';
  doc.head.appendChild(style);

  function headings() {
    var list = [];
    var all = body.querySelectorAll('h1,h2,h3');
    for (var i = 0; i < all.length; i++) {
      var h = all[i];
      var text = (h.textContent || '').replace(/\s+/g, ' ').trim();
      if (!text) continue;
      if (!h.id) h.id = 'qz-h-' + i;
      list.push({ id: h.id, text: text, level: Number(h.tagName.charAt(1)) });
    }
    return list;
  }

  // The viewer, printed as a whole, shows this page in a frame whose height it must set
  // before the browser lays out the sheets; it cannot look into the frame then. Narrow paper
  // makes the page taller than on screen, so the page tells its height at the widths of common
  // paper (the viewer's style sheet picks one by the printed width). The widths are measured
  // a few at a time while the page is idle, each piece ending with the page back at its own
  // width, so that the reader sees no reflow and typing is not held up. Once one width takes
  // long (a very long page), the wider ones take the last height measured, which is at least
  // as tall as the page there.
  var PRINT_WIDTHS = [200, 240, 280, 300, 320, 340, 360, 380, 400, 420, 440, 460, 480, 500, 520, 540, 560, 580, 600, 620, 640, 660, 680, 700, 720, 740, 760, 780, 800, 880, 960, 1040, 1120];

  function measurePrintHeights(done) {
    var idle = window.requestIdleCallback || function (fn) { return setTimeout(function () { fn(null); }, 50); };
    var root = doc.documentElement;
    var heights = {};
    var at = 0, last = 0, slow = false;
    function piece(deadline) {
      var screenWidth = root.clientWidth;
      var screenHeight = root.scrollHeight;
      var saved = root.style.width;
      var began = Date.now();
      while (at < PRINT_WIDTHS.length) {
        var w = PRINT_WIDTHS[at];
        if (w >= screenWidth) heights[w] = Math.max(screenHeight, last);
        else if (slow) heights[w] = last;
        else {
          if (last && (deadline ? deadline.timeRemaining() < 2 : Date.now() - began > 8)) break;
          var t0 = Date.now();
          root.style.width = w + 'px';
          // the page's own box: a short page is not stretched to the frame
          last = Math.ceil(root.getBoundingClientRect().height) + 2;
          heights[w] = last;
          slow = Date.now() - t0 > 25;
        }
        at++;
      }
      root.style.width = saved;
      if (at < PRINT_WIDTHS.length) idle(piece, { timeout: 2000 });
      else done(heights);
    }
    idle(piece, { timeout: 2000 });
  }

  function send(message) {
    message.qz = 1;
    if (framed) window.parent.postMessage(message, '*');
  }

  function report() {
    send({
      type: 'page',
      file: 'topics/' + fileName,
      id: topicId,
      hash: location.hash,
      headings: headings(),
      height: doc.documentElement.scrollHeight
    });
  }

  function clearMarks() {
    var marks = body.querySelectorAll('mark.qz-hit');
    for (var i = 0; i < marks.length; i++) {
      var m = marks[i];
      m.parentNode.replaceChild(doc.createTextNode(m.textContent), m);
    }
    body.normalize();
  }

  function markTerms(terms) {
    clearMarks();
    var walker = doc.createTreeWalker(body, NodeFilter.SHOW_TEXT, {
      acceptNode: function (n) {
        var p = n.parentNode && n.parentNode.nodeName;
        return p === 'SCRIPT' || p === 'STYLE' ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT;
      }
    });
    var nodes = [];
    while (walker.nextNode()) nodes.push(walker.currentNode);
    var first = null, count = 0;
    for (var i = 0; i < nodes.length && count < 500; i++) {
      var node = nodes[i];
      var hits = findHits(node.data, terms);
      if (!hits.length) continue;
      var frag = doc.createDocumentFragment();
      var pos = 0;
      for (var k = 0; k < hits.length; k++) {
        var h = hits[k];
        if (h.start < pos) continue;
        frag.appendChild(doc.createTextNode(node.data.slice(pos, h.start)));
        var mark = doc.createElement('mark');
        mark.className = 'qz-hit';
        mark.textContent = node.data.slice(h.start, h.end);
        frag.appendChild(mark);
        if (!first) first = mark;
        pos = h.end;
        count++;
      }
      frag.appendChild(doc.createTextNode(node.data.slice(pos)));
      node.parentNode.replaceChild(frag, node);
    }
    if (first) first.scrollIntoView({ block: 'center' });
    send({ type: 'marked', count: count });
  }

  function setDark(dark) { doc.documentElement.classList.toggle('qz-dark', !!dark); }

  window.addEventListener('message', function (event) {
    var msg = event.data;
    if (!framed || event.source !== window.parent || !msg || msg.qz !== 1) return;
    switch (msg.type) {
      case 'hello':
        viewer = event.source;
        setDark(msg.dark);
        break;
      case 'theme': setDark(msg.dark); break;
      case 'mark': if (Array.isArray(msg.terms)) markTerms(msg.terms.filter(function (t) { return t && typeof t.t === 'string' && t.t; })); break;
      case 'print': window.print(); break;
      case 'scroll': {
        // an id, or the name of an <a name> anchor as older pages have them
        var target = typeof msg.id === 'string' && msg.id && (doc.getElementById(msg.id) || doc.getElementsByName(msg.id)[0]);
        if (target) target.scrollIntoView({ block: 'start' });
        break;
      }
    }
  });

  // Links to other topics go through the viewer, which moves the address, the contents
  // and the history along. Without a viewer they work as plain links.
  doc.addEventListener('click', function (event) {
    // a link to a topic that was not published goes nowhere, not to the top of the page
    var bare = event.target && event.target.closest ? event.target.closest('a[href="#"]') : null;
    if (bare && !event.defaultPrevented) { event.preventDefault(); return; }
    if (!viewer || event.defaultPrevented || event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey || event.altKey) return;
    var a = event.target && event.target.closest ? event.target.closest('a[href]') : null;
    if (!a || (a.target && a.target !== '_self')) return;
    var url;
    try { url = new URL(a.href); } catch (e) { return; }
    var here = new URL(location.href);
    if (url.protocol !== here.protocol || url.host !== here.host) return;
    var dir = here.pathname.replace(/[^\/]*$/, '');
    var path = url.pathname;
    if (path.indexOf(dir) !== 0 || !/^[^\/]+\.html?$/i.test(path.slice(dir.length))) return;
    if (path === here.pathname) return; // an anchor within this page
    event.preventDefault();
    send({ type: 'go', file: 'topics/' + decodeURIComponent(path.slice(dir.length)), hash: url.hash });
  });

  doc.addEventListener('keydown', function (event) {
    var t = event.target;
    var typing = t && (t.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(t.nodeName));
    var mod = (event.ctrlKey || event.metaKey) && !event.altKey;
    var key = event.key;
    if (mod && !event.shiftKey && (key === 'p' || key === 'P')) {
      event.preventDefault(); // the whole topic, not the viewer around it
      window.print();
    } else if (viewer && mod && (key === 'k' || key === 'K')) {
      event.preventDefault();
      send({ type: 'key', key: 'k' });
    } else if (viewer && key === '/' && !typing && !event.ctrlKey && !event.metaKey && !event.altKey) {
      event.preventDefault();
      send({ type: 'key', key: '/' });
    } else if (viewer && key === 'Escape') {
      send({ type: 'key', key: 'Escape' });
    }
  });

  if (framed) {
    report();
    // a move within the page, which brings no load event to the viewer
    window.addEventListener('hashchange', report);
    window.addEventListener('resize', function () { send({ type: 'size', height: doc.documentElement.scrollHeight }); });
    window.addEventListener('load', function () {
      send({ type: 'size', height: doc.documentElement.scrollHeight });
      measurePrintHeights(function (heights) {
        send({ type: 'size', height: doc.documentElement.scrollHeight, print: heights });
      });
    });
  } else {
    // Opened on its own (a bookmark, a search engine): offer the whole help around it.
    var bar = doc.createElement('div');
    bar.className = 'qz-alone';
    bar.setAttribute('role', 'note');
    var link = doc.createElement('a');
    var section = location.hash.length > 1 ? location.hash.slice(1) : '';
    try { section = decodeURIComponent(section); } catch (e) { /* kept as written */ }
    link.href = '../index.html#' + encodeURIComponent(topicId) + (section ? '#' + encodeURIComponent(section) : '');
    link.textContent = 'Open this topic in the full help';
    link.id = 'qz-open-help';
    bar.appendChild(doc.createTextNode('This page is one topic of a help.'));
    bar.appendChild(link);
    doc.body.insertBefore(bar, doc.body.firstChild);
  }
})();
