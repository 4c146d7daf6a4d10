/*
 * WebHelp viewer.
 *
 * A published help is a folder of static files: this page, the contents (toc.js / toc.json),
 * the search data (search.js / search.json) and one complete HTML page per topic under
 * topics/. The viewer must work both when the folder is opened straight from disk (file://)
 * and when it is served by any static web server, so it uses no build step, no network and
 * no libraries.
 *
 * From file:// every local file is its own origin for the browser: the viewer can navigate
 * the topic frame, but it can neither read the frame's address or document nor fetch JSON.
 * Everything below therefore treats access to the frame as a bonus that is used when it is
 * there (served over http) and never required.
 *
 * Everything that comes from the data (titles, keywords, page text) is put into the page as
 * text nodes, never parsed as HTML.
 */
(function () {
  'use strict';

  var doc = document;
  var $ = function (id) { return doc.getElementById(id); };

  var ui = {
    brand: $('qz-brand-text'),
    home: $('qz-home'),
    menu: $('qz-menu'),
    sidebar: $('qz-sidebar'),
    scrim: $('qz-scrim'),
    tree: $('qz-tree'),
    treeMessage: $('qz-tree-message'),
    main: $('qz-main'),
    crumbs: $('qz-crumbs'),
    prev: $('qz-prev'),
    next: $('qz-next'),
    stage: $('qz-stage'),
    frame: $('qz-frame'),
    notice: $('qz-notice'),
    noticeTitle: $('qz-notice-title'),
    noticeText: $('qz-notice-text'),
    noticeLink: $('qz-notice-link'),
    input: $('qz-search-input'),
    panel: $('qz-results-panel'),
    status: $('qz-results-status'),
    results: $('qz-results'),
    print: $('qz-print'),
    skip: $('qz-skip'),
    toast: $('qz-toast')
  };

  // The program writes the escaped project title into <title>; the browser has decoded it.
  var projectTitle = doc.title || 'Help';
  ui.brand.textContent = projectTitle;

  var siteBase = new URL('.', location.href).href;
  var canFetch = location.protocol === 'http:' || location.protocol === 'https:';
  var phoneQuery = window.matchMedia('(max-width: 799.98px)');

  /* ------------------------------------------------------------------ *
   * Text folding: case- and accent-insensitive matching
   * ------------------------------------------------------------------ */

  // Letters that carry no decomposable accent but that readers still expect to find
  // without typing the exact character.
  var EXTRA_FOLDS = { '\u00f8': 'o', '\u0142': 'l', '\u0111': 'd', '\u0127': 'h', '\u0131': 'i', '\u0451': '\u0435' };
  var foldCache = new Map();

  // Folds one code point. Accents are removed from Latin letters only: in Cyrillic, for
  // instance, the breve of "й" makes a different letter, so only "ё" is folded (to "е"),
  // as Russian writers commonly do themselves.
  function foldCodePoint(ch) {
    var cached = foldCache.get(ch);
    if (cached !== undefined) return cached;
    var lower = ch.toLowerCase();
    var out = '';
    for (var c of lower) {
      if (EXTRA_FOLDS[c]) { out += EXTRA_FOLDS[c]; continue; }
      var code = c.codePointAt(0);
      if (code >= 0xc0 && code < 0x250) {
        var base = c.normalize('NFD').replace(/[\u0300-\u036f]/g, '');
        out += base || c;
      } else if (code >= 0x300 && code <= 0x36f) {
        // a combining accent written on its own after a Latin letter
        out += '';
      } else {
        out += c;
      }
    }
    foldCache.set(ch, out);
    return out;
  }

  var ASCII_ONLY = /^[\x00-\x7f]*$/;

  function fold(text) {
    if (ASCII_ONLY.test(text)) return text.toLowerCase();
    var out = '';
    for (var ch of text) out += foldCodePoint(ch);
    return out;
  }

  // Folds text and remembers, for every folded UTF-16 unit, which range of the original
  // text it came from, so that hits found in folded text can be marked in the original.
  function foldWithMap(text) {
    // lower-casing ASCII keeps every position: no map needed
    if (ASCII_ONLY.test(text)) return { text: text.toLowerCase(), starts: null, ends: null };
    var out = '';
    var starts = [];
    var ends = [];
    var pos = 0;
    for (var ch of text) {
      var code = ch.charCodeAt(0);
      var f = code < 128 ? (code >= 65 && code <= 90 ? String.fromCharCode(code + 32) : ch) : foldCodePoint(ch);
      for (var i = 0; i < f.length; i++) { starts.push(pos); ends.push(pos + ch.length); }
      out += f;
      pos += ch.length;
    }
    return { text: out, starts: starts, ends: ends };
  }

  // Words are runs of letters, digits and combining marks. Chinese and Japanese are written
  // without spaces, so each of their characters counts as a word of its own.
  var WORD_RE = /[\p{L}\p{N}\p{M}]+/gu;
  var CJK_TEST = /[\u3040-\u30ff\u3400-\u9fff\uf900-\ufaff]/;
  var CJK_WORD_RE = /[\u3040-\u30ff\u3400-\u9fff\uf900-\ufaff]|(?:(?![\u3040-\u30ff\u3400-\u9fff\uf900-\ufaff])[\p{L}\p{N}\p{M}])+/gu;

  function wordRegex(folded) {
    var re = CJK_TEST.test(folded) ? CJK_WORD_RE : WORD_RE;
    re.lastIndex = 0;
    return re;
  }

  function words(folded) {
    return folded.match(CJK_TEST.test(folded) ? CJK_WORD_RE : WORD_RE) || [];
  }

  /* ------------------------------------------------------------------ *
   * Entities left in the search text
   * ------------------------------------------------------------------ */

  // The publisher's plain text decodes only the common five entities and &nbsp;; named
  // letters such as &eacute; and numeric references reach us as written. Decoding them here
  // lets "resume" find "R&eacute;sum&eacute;" and shows the real letters in snippets.
  var LATIN1_NAMES = ('nbsp iexcl cent pound curren yen brvbar sect uml copy ordf laquo not shy reg macr ' +
    'deg plusmn sup2 sup3 acute micro para middot cedil sup1 ordm raquo frac14 frac12 frac34 iquest ' +
    'Agrave Aacute Acirc Atilde Auml Aring AElig Ccedil Egrave Eacute Ecirc Euml Igrave Iacute Icirc Iuml ' +
    'ETH Ntilde Ograve Oacute Ocirc Otilde Ouml times Oslash Ugrave Uacute Ucirc Uuml Yacute THORN szlig ' +
    'agrave aacute acirc atilde auml aring aelig ccedil egrave eacute ecirc euml igrave iacute icirc iuml ' +
    'eth ntilde ograve oacute ocirc otilde ouml divide oslash ugrave uacute ucirc uuml yacute thorn yuml').split(' ');
  var NAMED_ENTITIES = {
    apos: "'", OElig: '\u0152', oelig: '\u0153', Scaron: '\u0160', scaron: '\u0161', Yuml: '\u0178',
    fnof: '\u0192', circ: '\u02c6', tilde: '\u02dc', ensp: '\u2002', emsp: '\u2003', thinsp: '\u2009',
    ndash: '\u2013', mdash: '\u2014', lsquo: '\u2018', rsquo: '\u2019', sbquo: '\u201a', ldquo: '\u201c',
    rdquo: '\u201d', bdquo: '\u201e', dagger: '\u2020', Dagger: '\u2021', bull: '\u2022', hellip: '\u2026',
    permil: '\u2030', prime: '\u2032', lsaquo: '\u2039', rsaquo: '\u203a', euro: '\u20ac', trade: '\u2122',
    larr: '\u2190', uarr: '\u2191', rarr: '\u2192', darr: '\u2193', harr: '\u2194', minus: '\u2212',
    le: '\u2264', ge: '\u2265', ne: '\u2260', asymp: '\u2248', infin: '\u221e'
  };
  LATIN1_NAMES.forEach(function (name, i) { NAMED_ENTITIES[name] = String.fromCharCode(160 + i); });

  var ENTITY_RE = /&(?:#(\d{1,7})|#[xX]([0-9a-fA-F]{1,6})|([A-Za-z][A-Za-z0-9]{1,31}));/g;

  function decodeEntities(text) {
    if (text.indexOf('&') < 0) return text;
    return text.replace(ENTITY_RE, function (all, dec, hex, name) {
      if (name) return Object.prototype.hasOwnProperty.call(NAMED_ENTITIES, name) ? NAMED_ENTITIES[name] : all;
      var code = dec ? parseInt(dec, 10) : parseInt(hex, 16);
      if (!(code > 0 && code <= 0x10ffff) || (code >= 0xd800 && code <= 0xdfff)) return all;
      return code === 160 ? ' ' : String.fromCodePoint(code);
    });
  }

  /* ------------------------------------------------------------------ *
   * Small DOM helpers
   * ------------------------------------------------------------------ */

  function el(tag, className, text) {
    var node = doc.createElement(tag);
    if (className) node.className = className;
    if (text != null) node.textContent = text;
    return node;
  }

  function hashFor(id) { return '#' + encodeURIComponent(id); }

  function displayTitle(title) { return title && title.trim() ? title : 'Untitled topic'; }

  var toastTimer = 0;
  function toast(message) {
    ui.toast.textContent = message;
    ui.toast.hidden = false;
    clearTimeout(toastTimer);
    toastTimer = setTimeout(function () { ui.toast.hidden = true; }, 6000);
  }

  /* ------------------------------------------------------------------ *
   * Data loading
   * ------------------------------------------------------------------ */

  function fetchJson(name) {
    if (!canFetch) return Promise.reject(new Error('no fetch from ' + location.protocol));
    return fetch(name, { cache: 'no-cache' }).then(function (response) {
      if (!response.ok) throw new Error(name + ': ' + response.status);
      return response.json();
    });
  }

  function loadScript(src) {
    return new Promise(function (resolve, reject) {
      var script = doc.createElement('script');
      script.src = src;
      script.async = true;
      script.onload = function () { resolve(); };
      script.onerror = function () { reject(new Error(src + ' could not be loaded')); };
      doc.head.appendChild(script);
    });
  }

  function loadToc() {
    var data = window.__QZ_TOC;
    if (data && typeof data === 'object') return Promise.resolve(data);
    return fetchJson('toc.json');
  }

  // The search data can be large (megabytes for a big manual), so it is loaded after the
  // contents are on screen rather than by a blocking script tag.
  function loadSearchData() {
    var ready = function () {
      var data = window.__QZ_SEARCH;
      if (data && typeof data === 'object') return data;
      return fetchJson('search.json');
    };
    if (window.__QZ_SEARCH) return Promise.resolve(ready());
    return loadScript('search.js').then(ready, ready);
  }

  function str(value) { return value == null ? '' : String(value); }

  // A file name from the data is used as the frame address; only plain relative paths are
  // accepted so that odd data cannot point the frame at a script or another site.
  function safeFile(file, id) {
    var f = str(file).trim();
    if (!f || /^[a-z][a-z0-9+.-]*:/i.test(f) || f.charAt(0) === '/' || f.charAt(0) === '\\') {
      f = 'topics/' + id + '.html';
    }
    return f;
  }

  /* ------------------------------------------------------------------ *
   * Contents model
   * ------------------------------------------------------------------ */

  var model = {
    roots: [],       // top-level nodes
    order: [],       // every node in contents (reading) order
    byId: new Map(), // topic id -> node (first occurrence)
    byFile: new Map() // site-relative file -> node
  };

  function buildModel(data) {
    var index = 0;
    function visit(raw, parent, depth) {
      if (!raw || typeof raw !== 'object') return null;
      var id = str(raw.id);
      if (!id) return null;
      var node = {
        id: id,
        title: str(raw.title),
        file: safeFile(raw.file, id),
        parent: parent,
        depth: depth,
        index: index++,
        children: [],
        expanded: false,
        item: null,  // the treeitem element once rendered
        group: null  // the child group element once rendered
      };
      model.order.push(node);
      if (!model.byId.has(id)) model.byId.set(id, node);
      if (!model.byFile.has(node.file)) model.byFile.set(node.file, node);
      var kids = Array.isArray(raw.children) ? raw.children : [];
      for (var i = 0; i < kids.length; i++) {
        var child = visit(kids[i], node, depth + 1);
        if (child) node.children.push(child);
      }
      return node;
    }
    var roots = data && Array.isArray(data.roots) ? data.roots : [];
    for (var i = 0; i < roots.length; i++) {
      var node = visit(roots[i], null, 1);
      if (node) model.roots.push(node);
    }
  }

  function ancestors(node) {
    var list = [];
    for (var p = node && node.parent; p; p = p.parent) list.unshift(p);
    return list;
  }

  /* ------------------------------------------------------------------ *
   * Contents tree (ARIA tree pattern, rendered lazily)
   * ------------------------------------------------------------------ */

  // Children are rendered the first time their parent opens: a manual with thousands of
  // topics then costs only the visible rows.
  function renderItems(list, container) {
    var frag = doc.createDocumentFragment();
    for (var i = 0; i < list.length; i++) frag.appendChild(createItem(list[i], i + 1, list.length));
    container.appendChild(frag);
  }

  function createItem(node, pos, size) {
    var li = el('li');
    li.setAttribute('role', 'none');
    var a = el('a', 'qz-tree-item');
    a.id = 'qz-node-' + node.index;
    a.href = hashFor(node.id);
    a.setAttribute('role', 'treeitem');
    a.setAttribute('aria-level', String(node.depth));
    a.setAttribute('aria-posinset', String(pos));
    a.setAttribute('aria-setsize', String(size));
    a.tabIndex = -1;
    a.style.setProperty('--qz-depth', String(node.depth - 1));
    var twisty = el('span', 'qz-twisty');
    twisty.setAttribute('aria-hidden', 'true');
    a.appendChild(twisty);
    var label = el('span', 'qz-tree-label', displayTitle(node.title));
    if (!node.title.trim()) label.classList.add('qz-untitled');
    a.appendChild(label);
    a.title = node.title;
    li.appendChild(a);
    if (node.children.length) {
      a.setAttribute('aria-expanded', 'false');
      a.setAttribute('aria-owns', 'qz-group-' + node.index);
    }
    node.item = a;
    a.__qzNode = node;
    return li;
  }

  function setExpanded(node, open) {
    if (!node.children.length || node.expanded === open) return;
    node.expanded = open;
    if (open && !node.group) {
      var ul = el('ul', 'qz-tree-group');
      ul.id = 'qz-group-' + node.index;
      ul.setAttribute('role', 'group');
      ul.style.setProperty('--qz-depth', String(node.depth));
      renderItems(node.children, ul);
      node.item.parentNode.appendChild(ul);
      node.group = ul;
    }
    if (node.group) node.group.hidden = !open;
    node.item.setAttribute('aria-expanded', open ? 'true' : 'false');
  }

  function ensureRendered(node) {
    ancestors(node).forEach(function (p) { setExpanded(p, true); });
  }

  function visibleItems() {
    var out = [];
    (function walk(list) {
      for (var i = 0; i < list.length; i++) {
        out.push(list[i]);
        if (list[i].expanded) walk(list[i].children);
      }
    })(model.roots);
    return out;
  }

  var focusNode = null; // the node that owns the tree's single tab stop

  function setTabStop(node) {
    if (focusNode && focusNode.item) focusNode.item.tabIndex = -1;
    focusNode = node;
    if (node) { ensureRendered(node); node.item.tabIndex = 0; }
  }

  function focusItem(node) {
    setTabStop(node);
    node.item.focus({ preventScroll: true });
    scrollIntoTree(node);
  }

  // Scrolls only the contents panel: scrollIntoView would also move the page on phones.
  function scrollIntoTree(node) {
    var item = node.item;
    if (!item) return;
    var box = ui.sidebar;
    var itemRect = item.getBoundingClientRect();
    var boxRect = box.getBoundingClientRect();
    if (!boxRect.height) return;
    var margin = 8;
    if (itemRect.top < boxRect.top + margin) {
      box.scrollTop -= boxRect.top + margin - itemRect.top;
    } else if (itemRect.bottom > boxRect.bottom - margin) {
      var delta = itemRect.bottom - (boxRect.bottom - margin);
      // a long title taller than the panel keeps its first line visible
      delta = Math.min(delta, itemRect.top - boxRect.top - margin);
      box.scrollTop += delta;
    }
  }

  var typeAhead = { text: '', time: 0 };

  function onTreeKey(event) {
    var node = event.target && event.target.__qzNode;
    if (!node || event.altKey || event.ctrlKey || event.metaKey) return;
    var items = visibleItems();
    var at = items.indexOf(node);
    var handled = true;
    switch (event.key) {
      case 'ArrowDown': if (at < items.length - 1) focusItem(items[at + 1]); break;
      case 'ArrowUp': if (at > 0) focusItem(items[at - 1]); break;
      case 'Home': focusItem(items[0]); break;
      case 'End': focusItem(items[items.length - 1]); break;
      case 'ArrowRight':
        if (node.children.length) {
          if (!node.expanded) setExpanded(node, true); else focusItem(node.children[0]);
        }
        break;
      case 'ArrowLeft':
        if (node.children.length && node.expanded) setExpanded(node, false);
        else if (node.parent) focusItem(node.parent);
        break;
      case 'Enter':
      case ' ':
        activate(node);
        break;
      case '*':
        (node.parent ? node.parent.children : model.roots).forEach(function (n) { setExpanded(n, true); });
        break;
      default:
        handled = false;
        if (event.key.length === 1 && /\S/.test(event.key)) {
          handled = typeAheadTo(event.key, items, at);
        }
    }
    if (handled) event.preventDefault();
  }

  // Typing letters moves to the next visible topic whose title starts with them.
  function typeAheadTo(key, items, at) {
    var now = Date.now();
    typeAhead.text = (now - typeAhead.time < 700 ? typeAhead.text : '') + fold(key);
    typeAhead.time = now;
    var wanted = typeAhead.text;
    var start = wanted.length > 1 ? at : at + 1;
    for (var k = 0; k < items.length; k++) {
      var candidate = items[(start + k) % items.length];
      if (fold(candidate.title).trim().indexOf(wanted) === 0) { focusItem(candidate); return true; }
    }
    return false;
  }

  function onTreeClick(event) {
    var item = event.target.closest && event.target.closest('[role="treeitem"]');
    if (!item || !item.__qzNode) return;
    if (event.ctrlKey || event.metaKey || event.shiftKey || event.button !== 0) return; // new tab / window
    event.preventDefault();
    var node = item.__qzNode;
    if (event.target.closest('.qz-twisty')) {
      setExpanded(node, !node.expanded);
      setTabStop(node);
      return;
    }
    setTabStop(node);
    activate(node);
  }

  function activate(node) {
    if (node.children.length) setExpanded(node, true);
    go(node);
    if (isPhone()) closeDrawer(true);
  }

  /* ------------------------------------------------------------------ *
   * Routing: one address per topic (index.html#ID)
   * ------------------------------------------------------------------ */

  var state = {
    current: null,     // the topic shown: a contents node or a search entry
    pendingUrl: null,  // the frame address the viewer asked for and whose load has not come
    drifted: false,    // the frame left the shown topic (a link inside it) without us knowing where
    highlight: null,   // search terms to mark in the next topic page, when the page is readable
    restoring: null,   // a back/forward step whose frame page the browser itself brings back
    restoreTimer: 0
  };

  // Every topic address is a history entry that also remembers the page in the frame, so on
  // back and forward the browser brings that page back itself, at the place where the reader
  // left it. Reloading it as well would cost a second load and lose that place. Browsers with
  // the Navigation API tell such steps apart from new addresses.
  var lastStepType = '';
  if (window.navigation && typeof window.navigation.addEventListener === 'function') {
    window.navigation.addEventListener('navigate', function (event) {
      if (event.hashChange) lastStepType = event.navigationType;
    });
  }

  var searchTopicsById = new Map();
  var searchTopicsByFile = new Map();
  var tocReady = null;          // settles once the contents model is built (or failed)
  var tocFailed = false;
  var searchRaw = null;         // the search data as loaded
  var searchDataPromise = null; // settles once the search entries are known
  var searchState = 'idle';     // idle | loading | ready | failed

  function hashId() {
    var raw = location.hash.replace(/^#/, '');
    try { return decodeURIComponent(raw); } catch (e) { return raw; }
  }

  function lookup(id) {
    return model.byId.get(id) || searchTopicsById.get(id) || null;
  }

  function defaultTopic() { return model.order[0] || null; }

  // Every navigation goes through the address so that back and forward and bookmarks work.
  function go(topic) {
    var hash = hashFor(topic.id);
    if (location.hash === hash) {
      // same address: no hashchange will come, but the frame may have followed a link
      showTopic(topic, state.drifted || topic !== state.current || !!state.highlight);
    } else {
      location.hash = hash;
    }
  }

  function route() {
    var id = hashId();
    var traversal = lastStepType === 'traverse';
    lastStepType = '';
    if (!id) {
      var first = defaultTopic();
      if (first) showRouted(first, traversal);
      else if (tocFailed) showNotice('The contents could not be loaded', 'The file toc.js is missing or damaged. Publish the help again.', false);
      else showNotice('This help has no topics yet', '', false);
      return;
    }
    var topic = lookup(id);
    if (topic) { showRouted(topic, traversal); return; }
    // Topics that are published but hidden from the contents are known only to the search data.
    searchData().then(function () {
      if (hashId() !== id) return; // the reader moved on meanwhile
      var found = lookup(id);
      if (found) showTopic(found, true);
      else showNotice('Topic not found', 'This address does not lead to a topic of this help. It may have been removed or renamed.', true);
    });
  }

  function showRouted(topic, traversal) {
    var load = topic !== state.current || state.drifted;
    if (load && traversal && !ui.frame.hidden) {
      showTopic(topic, false);
      expectRestore(topic);
    } else {
      showTopic(topic, load);
    }
  }

  // Waits for the browser to bring back the frame page of a history step. The fallback load
  // covers steps between two addresses of the same page (the bare address and that of the
  // first topic), where the browser has nothing to bring back.
  function expectRestore(topic) {
    clearTimeout(state.restoreTimer);
    state.restoring = topic;
    state.pendingUrl = null;
    state.restoreTimer = setTimeout(function () {
      if (state.restoring === topic && state.current === topic) navigateFrame(topic.file);
      state.restoring = null;
    }, 400);
  }

  // loadFrame is false when the frame already shows the topic (it got there by itself).
  function showTopic(topic, loadFrame) {
    state.current = topic;
    ui.notice.hidden = true;
    ui.frame.hidden = false;
    markCurrentInTree(topic);
    renderCrumbs(topic);
    renderPager(topic);
    doc.title = displayTitle(topic.title) + ' \u2013 ' + projectTitle;
    if (loadFrame) navigateFrame(topic.file);
  }

  function showNotice(title, text, withLink) {
    state.current = null;
    markCurrentInTree(null);
    renderCrumbs(null);
    renderPager(null);
    doc.title = projectTitle;
    ui.noticeTitle.textContent = title;
    ui.noticeText.textContent = text;
    ui.noticeText.hidden = !text;
    ui.noticeLink.parentNode.hidden = !withLink || !defaultTopic();
    ui.frame.hidden = true;
    ui.notice.hidden = false;
    ui.stage.classList.remove('is-loading');
  }

  var currentItem = null;

  function markCurrentInTree(topic) {
    if (currentItem) {
      currentItem.removeAttribute('aria-current');
      currentItem.removeAttribute('aria-selected');
      currentItem = null;
    }
    var node = topic && model.byId.get(topic.id) === topic ? topic : null;
    if (!node) return;
    ensureRendered(node);
    setExpanded(node, true); // show what the topic contains, as the next topic is usually there
    currentItem = node.item;
    currentItem.setAttribute('aria-current', 'page');
    currentItem.setAttribute('aria-selected', 'true');
    if (!ui.tree.contains(doc.activeElement)) setTabStop(node);
    // wait for layout (the drawer may just have been opened or the tree just rendered)
    requestAnimationFrame(function () { if (state.current === node) scrollIntoTree(node); });
  }

  function renderCrumbs(topic) {
    var ol = ui.crumbs;
    ol.textContent = '';
    if (!topic) return;
    var node = model.byId.get(topic.id) === topic ? topic : null;
    (node ? ancestors(node) : []).forEach(function (p) {
      var li = el('li');
      var a = el('a', 'qz-crumb', displayTitle(p.title));
      a.href = hashFor(p.id);
      li.appendChild(a);
      ol.appendChild(li);
    });
    var last = el('li');
    var here = el('span', 'qz-crumb qz-crumb-current', displayTitle(topic.title));
    here.setAttribute('aria-current', 'page');
    last.appendChild(here);
    ol.appendChild(last);
    // On narrow screens the trail scrolls sideways; the current topic is the part to see.
    ol.scrollLeft = ol.scrollWidth;
    markCrumbScroll();
  }

  function markCrumbScroll() {
    ui.crumbs.classList.toggle('is-scrolled', ui.crumbs.scrollLeft > 0);
  }

  function setPagerLink(link, target, word) {
    if (target) {
      link.href = hashFor(target.id);
      link.removeAttribute('aria-disabled');
      link.title = word + ': ' + displayTitle(target.title);
      link.setAttribute('aria-label', word + ' topic: ' + displayTitle(target.title));
    } else {
      link.removeAttribute('href');
      link.setAttribute('aria-disabled', 'true');
      link.removeAttribute('title');
      link.setAttribute('aria-label', word + ' topic: none');
    }
  }

  function renderPager(topic) {
    var node = topic && model.byId.get(topic.id) === topic ? topic : null;
    var at = node ? node.index : -1;
    setPagerLink(ui.prev, at > 0 ? model.order[at - 1] : null, 'Previous');
    setPagerLink(ui.next, at >= 0 && at < model.order.length - 1 ? model.order[at + 1] : null, 'Next');
  }

  /* ------------------------------------------------------------------ *
   * The topic frame
   * ------------------------------------------------------------------ */

  function navigateFrame(file) {
    var url = new URL(file, siteBase).href;
    clearTimeout(state.restoreTimer);
    state.restoring = null;
    state.pendingUrl = url;
    state.drifted = false;
    ui.stage.classList.add('is-loading');
    try {
      // replace() keeps frame loads out of the session history, so that back and forward
      // step through the topic addresses only; a parent may do this even across origins.
      ui.frame.contentWindow.location.replace(url);
    } catch (e) {
      ui.frame.src = url;
    }
  }

  // The frame's address, or null when the browser does not let us read it (file://).
  function frameHref() {
    try {
      var href = ui.frame.contentWindow.location.href;
      return typeof href === 'string' ? href : null;
    } catch (e) {
      return null;
    }
  }

  function frameDocument() {
    try { return ui.frame.contentDocument || null; } catch (e) { return null; }
  }

  function topicForUrl(href) {
    var url;
    try { url = new URL(href, siteBase); } catch (e) { return null; }
    url.hash = '';
    url.search = '';
    var plain = url.href;
    if (plain.indexOf(siteBase) !== 0) return null;
    var rel = plain.slice(siteBase.length);
    try { rel = decodeURIComponent(rel); } catch (e) { /* keep it as written */ }
    return model.byFile.get(rel) || searchTopicsByFile.get(rel) || null;
  }

  function onFrameLoad() {
    var href = frameHref();
    if (href === 'about:blank') return;
    ui.stage.classList.remove('is-loading');
    var expected = state.pendingUrl || state.restoring;
    state.pendingUrl = null;
    if (state.restoring) { clearTimeout(state.restoreTimer); state.restoring = null; }
    if (href === null) {
      // Unreadable frame: if we did not start this load, a link inside the topic did.
      state.drifted = !expected;
      state.highlight = null; // nor can hits be marked in it
      return;
    }
    var topic = topicForUrl(href);
    if (!topic) { state.drifted = true; return; }
    state.drifted = false;
    if (topic !== state.current) {
      // The frame moved by itself (history traversal of a link it followed): follow it.
      history.replaceState(history.state, '', hashFor(topic.id));
      showTopic(topic, false);
    }
    enhanceFrame(topic);
  }

  // When the topic page is readable (served over http), links between topics become
  // ordinary viewer navigations with their own address, and search hits get marked.
  function enhanceFrame(topic) {
    var fdoc = frameDocument();
    if (!fdoc || !fdoc.body) return;
    fdoc.addEventListener('click', function (event) {
      if (event.defaultPrevented || event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey || event.altKey) return;
      var a = event.target && event.target.closest ? event.target.closest('a[href]') : null;
      if (!a || (a.target && a.target !== '_self')) return;
      var target = topicForUrl(a.href);
      if (!target) return;
      var hasFragment = /#./.test(a.getAttribute('href') || '');
      if (target === state.current && hasFragment) return; // an anchor within this page
      event.preventDefault();
      if (target !== state.current) go(target);
    });
    fdoc.addEventListener('keydown', onGlobalKey);
    var terms = state.highlight;
    state.highlight = null;
    if (terms && terms.topic === topic) markTermsInDocument(fdoc, terms.terms);
  }

  function markTermsInDocument(fdoc, terms) {
    var walker = fdoc.createTreeWalker(fdoc.body, NodeFilter.SHOW_TEXT, {
      acceptNode: function (n) {
        var p = n.parentNode && n.parentNode.nodeName;
        return p === 'SCRIPT' || p === 'STYLE' || p === 'MARK' ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT;
      }
    });
    var nodes = [];
    while (walker.nextNode()) nodes.push(walker.currentNode);
    var first = null;
    var count = 0;
    for (var i = 0; i < nodes.length && count < 300; i++) {
      var textNode = nodes[i];
      var hits = findHits(textNode.data, terms);
      if (!hits.length) continue;
      var frag = fdoc.createDocumentFragment();
      var pos = 0;
      hits.forEach(function (h) {
        frag.appendChild(fdoc.createTextNode(textNode.data.slice(pos, h.start)));
        var mark = fdoc.createElement('mark');
        mark.textContent = textNode.data.slice(h.start, h.end);
        frag.appendChild(mark);
        if (!first) first = mark;
        pos = h.end;
        count++;
      });
      frag.appendChild(fdoc.createTextNode(textNode.data.slice(pos)));
      textNode.parentNode.replaceChild(frag, textNode);
    }
    if (first) first.scrollIntoView({ block: 'center' });
  }

  /* ------------------------------------------------------------------ *
   * Search index
   * ------------------------------------------------------------------ */

  var FIELD_TITLE = 1;
  var FIELD_KEYWORDS = 2;
  var FIELD_TEXT = 4;

  var index = {
    docs: [],
    postings: new Map(), // token -> packed entries: doc * 128 + min(count, 15) * 8 + fields
    tokens: null,        // all tokens, sorted, for prefix ranges; set when indexing is done
    next: 0,             // next document to index
    waiting: false       // a query waits for the index: index at full speed, then answer it
  };

  // Search entries are matched against the contents model, so they are processed only
  // after it exists, whichever file arrives first.
  function searchData() {
    if (!searchDataPromise) {
      searchState = 'loading';
      if (!searchRaw) searchRaw = loadSearchData();
      searchDataPromise = tocReady.then(function () { return searchRaw; }).then(function (data) {
        var list = data && Array.isArray(data.topics) ? data.topics : [];
        list.forEach(function (raw) {
          if (!raw || typeof raw !== 'object') return;
          var id = str(raw.id);
          if (!id) return;
          var node = model.byId.get(id);
          var entry = {
            id: id,
            title: str(raw.title),
            file: safeFile(raw.file, id),
            text: decodeEntities(str(raw.text)),
            keywords: str(raw.keywords),
            node: node || null,
            order: node ? node.index : Infinity,
            foldedTitle: ''
          };
          index.docs.push(entry);
          if (!node && !searchTopicsById.has(id)) {
            searchTopicsById.set(id, entry);
            if (!searchTopicsByFile.has(entry.file)) searchTopicsByFile.set(entry.file, entry);
          }
        });
        searchState = 'ready';
        scheduleIndexing();
      }, function () {
        searchState = 'failed';
      }).then(function () {
        if (doc.activeElement === ui.input && ui.input.value.trim()) runSearch();
      });
    }
    return searchDataPromise;
  }

  function indexDoc(i) {
    var d = index.docs[i];
    var local = new Map();
    var add = function (text, field) {
      if (!text) return;
      var list = words(fold(text));
      for (var k = 0; k < list.length; k++) {
        var tok = list[k];
        var v = local.get(tok) || 0;
        var count = (v >> 3) & 15;
        if (field === FIELD_TEXT && count < 15) count++;
        local.set(tok, (count << 3) | (v & 7) | field);
      }
    };
    d.foldedTitle = fold(d.title);
    add(d.title, FIELD_TITLE);
    add(d.keywords, FIELD_KEYWORDS);
    add(d.text, FIELD_TEXT);
    local.forEach(function (v, tok) {
      var list = index.postings.get(tok);
      if (!list) { list = []; index.postings.set(tok, list); }
      list.push(i * 128 + v);
    });
  }

  function finishIndex() {
    while (index.next < index.docs.length) indexDoc(index.next++);
    if (!index.tokens) index.tokens = Array.from(index.postings.keys()).sort();
  }

  // Indexing runs in small slices while the reader looks at the first topic, so that a large
  // help never freezes the page. A query typed before it is done makes the slices follow
  // each other without waiting for idle time and is answered at the end.
  function scheduleIndexing() {
    var step = function () {
      var until = performance.now() + (index.waiting ? 40 : 12);
      while (index.next < index.docs.length) {
        indexDoc(index.next++);
        if ((index.next & 15) === 0 && performance.now() > until) break;
      }
      if (index.next < index.docs.length) {
        if (index.waiting) setTimeout(step, 0); else later(step);
        return;
      }
      finishIndex();
      if (index.waiting) {
        index.waiting = false;
        if (doc.activeElement === ui.input && ui.input.value.trim()) runSearch();
      }
    };
    later(step);
  }

  function later(fn) {
    if (window.requestIdleCallback) window.requestIdleCallback(fn, { timeout: 200 });
    else setTimeout(fn, 16);
  }

  function lowerBound(list, key) {
    var lo = 0, hi = list.length;
    while (lo < hi) {
      var mid = (lo + hi) >>> 1;
      if (list[mid] < key) lo = mid + 1; else hi = mid;
    }
    return lo;
  }

  function queryTerms(query) {
    var seen = new Set();
    return words(fold(query)).filter(function (t) {
      if (seen.has(t)) return false;
      seen.add(t);
      return true;
    }).slice(0, 12);
  }

  // Score of one query word in one topic. A hit in the title or the keywords always
  // outweighs any number of hits in the body; a whole-word hit outweighs a prefix hit.
  function termScore(fields, count, exact) {
    var s = 0;
    if (fields & FIELD_TITLE) s += exact ? 130 : 100;
    if (fields & FIELD_KEYWORDS) s += exact ? 80 : 60;
    if (fields & FIELD_TEXT) s += (exact ? 2 : 1) + Math.min(count, 15) * 0.3;
    return s;
  }

  var scratch = { best: null, hits: null, total: null };

  function search(query) {
    var terms = queryTerms(query);
    if (!terms.length) return null;
    finishIndex();
    var n = index.docs.length;
    if (!scratch.best || scratch.best.length < n) {
      scratch.best = new Float64Array(n);
      scratch.hits = new Uint8Array(n);
      scratch.total = new Float64Array(n);
    }
    var best = scratch.best, hits = scratch.hits, total = scratch.total;
    var touchedAll = [];
    var candidates = null;
    for (var t = 0; t < terms.length; t++) {
      var term = terms[t];
      var touched = [];
      var tokens = index.tokens;
      for (var k = lowerBound(tokens, term); k < tokens.length && tokens[k].indexOf(term) === 0; k++) {
        var exact = tokens[k].length === term.length;
        var list = index.postings.get(tokens[k]);
        for (var j = 0; j < list.length; j++) {
          var v = list[j];
          var docNo = Math.floor(v / 128);
          if (hits[docNo] !== t) continue; // missed an earlier word: cannot match all of them
          var s = termScore(v & 7, (v >> 3) & 15, exact);
          if (best[docNo] === 0) touched.push(docNo);
          if (s > best[docNo]) best[docNo] = s;
        }
      }
      for (var m = 0; m < touched.length; m++) {
        var d = touched[m];
        hits[d] = t + 1;
        total[d] += best[d];
        best[d] = 0;
        if (t === 0) touchedAll.push(d);
      }
      candidates = touched;
      if (!touched.length) break;
    }
    var matched = [];
    var phrase = terms.join(' ');
    for (var c = 0; c < candidates.length; c++) {
      var docIndex = candidates[c];
      if (hits[docIndex] !== terms.length) continue;
      var entry = index.docs[docIndex];
      var score = total[docIndex];
      var ft = entry.foldedTitle;
      if (ft.indexOf(phrase) === 0) score += 40;
      else if (terms.length > 1 && ft.indexOf(phrase) >= 0) score += 20;
      matched.push({ doc: entry, score: score });
    }
    for (var r = 0; r < touchedAll.length; r++) { hits[touchedAll[r]] = 0; total[touchedAll[r]] = 0; }
    matched.sort(function (a, b) {
      return b.score - a.score || a.doc.order - b.doc.order || a.doc.title.length - b.doc.title.length;
    });
    return { terms: terms, matches: matched };
  }

  // Positions in `text` of words that start with one of the terms; each hit covers the
  // matched beginning of the word.
  function findHits(text, terms) {
    var hits = [];
    if (!text) return hits;
    var f = foldWithMap(text);
    var re = wordRegex(f.text);
    var m;
    while ((m = re.exec(f.text))) {
      var word = m[0];
      var len = 0;
      var term = null;
      for (var i = 0; i < terms.length; i++) {
        if (terms[i].length > len && word.indexOf(terms[i]) === 0) { len = terms[i].length; term = terms[i]; }
      }
      if (term) {
        hits.push(f.starts
          ? { start: f.starts[m.index], end: f.ends[m.index + len - 1], term: term }
          : { start: m.index, end: m.index + len, term: term });
      }
    }
    return hits;
  }

  function appendMarked(parent, text, hits) {
    var pos = 0;
    hits.forEach(function (h) {
      if (h.start < pos) return;
      if (h.start > pos) parent.appendChild(doc.createTextNode(text.slice(pos, h.start)));
      parent.appendChild(el('mark', null, text.slice(h.start, h.end)));
      pos = h.end;
    });
    if (pos < text.length) parent.appendChild(doc.createTextNode(text.slice(pos)));
  }

  var SNIPPET_LENGTH = 180;

  // A piece of the body text around the place where most of the query words meet.
  function renderSnippet(parent, text, terms) {
    if (!text) return false;
    var hits = findHits(text, terms);
    var start = 0;
    if (hits.length) {
      var bestAt = 0, bestKinds = -1;
      for (var i = 0; i < hits.length && i < 400; i++) {
        var kinds = new Set();
        for (var j = i; j < hits.length && hits[j].start < hits[i].start + SNIPPET_LENGTH - 40; j++) kinds.add(hits[j].term);
        if (kinds.size > bestKinds) { bestKinds = kinds.size; bestAt = i; }
        if (bestKinds === terms.length) break;
      }
      start = Math.max(0, hits[bestAt].start - 50);
      if (start > 0) {
        var space = text.indexOf(' ', start);
        start = space >= 0 && space < hits[bestAt].start ? space + 1 : start;
      }
    }
    var end = Math.min(text.length, start + SNIPPET_LENGTH);
    if (end < text.length) {
      var cut = text.lastIndexOf(' ', end);
      if (cut > start + SNIPPET_LENGTH / 2) end = cut;
    }
    var piece = text.slice(start, end);
    var local = [];
    hits.forEach(function (h) {
      if (h.start >= start && h.end <= end) local.push({ start: h.start - start, end: h.end - start });
    });
    if (start > 0) parent.appendChild(doc.createTextNode('\u2026'));
    appendMarked(parent, piece, local);
    if (end < text.length) parent.appendChild(doc.createTextNode('\u2026'));
    return true;
  }

  /* ------------------------------------------------------------------ *
   * Search box and results
   * ------------------------------------------------------------------ */

  var MAX_SHOWN = 50;
  var results = { list: [], active: -1, terms: [] };

  function openPanel() {
    ui.panel.hidden = false;
    ui.input.setAttribute('aria-expanded', 'true');
  }

  function closePanel() {
    ui.panel.hidden = true;
    ui.input.setAttribute('aria-expanded', 'false');
    ui.input.removeAttribute('aria-activedescendant');
  }

  function runSearch() {
    var query = ui.input.value;
    if (!query.trim()) {
      results.list = [];
      ui.results.textContent = '';
      closePanel();
      return;
    }
    openPanel();
    if (searchState === 'failed') { setResults([], [], 'Search is not available: the search data could not be loaded.'); return; }
    if (searchState !== 'ready') {
      searchData();
      setResults([], [], 'Loading search\u2026');
      return;
    }
    if (!index.tokens) {
      index.waiting = true;
      setResults([], [], 'Preparing search\u2026');
      return;
    }
    var outcome = search(query);
    if (!outcome) { setResults([], [], 'Type a word to search.'); return; }
    var count = outcome.matches.length;
    var message = count === 0 ? 'No topics match \u201c' + query.trim() + '\u201d.'
      : count === 1 ? '1 topic found' : count + ' topics found';
    if (count > MAX_SHOWN) message += ', showing the best ' + MAX_SHOWN;
    setResults(outcome.matches.slice(0, MAX_SHOWN), outcome.terms, message);
  }

  function setResults(list, terms, message) {
    results.list = list;
    results.terms = terms;
    results.active = -1;
    ui.status.textContent = message;
    ui.input.removeAttribute('aria-activedescendant');
    // reset the scroll while the old layout is still valid, which costs no extra layout pass
    if (ui.results.scrollTop) ui.results.scrollTop = 0;
    var frag = doc.createDocumentFragment();
    list.forEach(function (match, i) {
      var d = match.doc;
      var li = el('li', 'qz-result');
      li.id = 'qz-result-' + i;
      li.setAttribute('role', 'option');
      li.setAttribute('aria-selected', 'false');
      var title = el('div', 'qz-result-title');
      var shownTitle = displayTitle(d.title);
      appendMarked(title, shownTitle, findHits(shownTitle, terms));
      li.appendChild(title);
      var path = d.node ? ancestors(d.node) : [];
      if (path.length) {
        li.appendChild(el('div', 'qz-result-path', path.map(function (p) { return displayTitle(p.title); }).join(' \u203a ')));
      }
      var snippet = el('div', 'qz-result-snippet');
      if (renderSnippet(snippet, d.text, terms)) li.appendChild(snippet);
      if (d.keywords && findHits(d.keywords, terms).length) {
        var kw = el('div', 'qz-result-keywords');
        appendMarked(kw, d.keywords, findHits(d.keywords, terms));
        li.appendChild(kw);
      }
      frag.appendChild(li);
    });
    ui.results.textContent = '';
    ui.results.appendChild(frag);
  }

  function setActive(i) {
    var items = ui.results.children;
    if (results.active >= 0 && items[results.active]) items[results.active].setAttribute('aria-selected', 'false');
    results.active = i;
    if (i < 0 || !items[i]) { ui.input.removeAttribute('aria-activedescendant'); return; }
    items[i].setAttribute('aria-selected', 'true');
    ui.input.setAttribute('aria-activedescendant', items[i].id);
    var box = ui.results.getBoundingClientRect();
    var r = items[i].getBoundingClientRect();
    if (r.top < box.top) ui.results.scrollTop -= box.top - r.top;
    else if (r.bottom > box.bottom) ui.results.scrollTop += r.bottom - box.bottom;
  }

  function openResult(i) {
    var match = results.list[i];
    if (!match) return;
    var d = match.doc;
    var topic = d.node || d;
    state.highlight = { topic: topic, terms: results.terms };
    closePanel();
    if (isPhone()) ui.input.blur();
    go(topic);
  }

  function onSearchKey(event) {
    var n = results.list.length;
    switch (event.key) {
      case 'ArrowDown':
        if (ui.panel.hidden && ui.input.value.trim()) { runSearch(); }
        else if (n) setActive(results.active < n - 1 ? results.active + 1 : 0);
        event.preventDefault();
        break;
      case 'ArrowUp':
        if (n) setActive(results.active > 0 ? results.active - 1 : n - 1);
        event.preventDefault();
        break;
      case 'Enter':
        if (n) openResult(results.active >= 0 ? results.active : 0);
        event.preventDefault();
        break;
      case 'Escape':
        if (!ui.panel.hidden) closePanel();
        else ui.input.value = '';
        event.preventDefault();
        event.stopPropagation();
        break;
    }
  }

  /* ------------------------------------------------------------------ *
   * Contents drawer on narrow screens
   * ------------------------------------------------------------------ */

  function isPhone() { return phoneQuery.matches; }

  function openDrawer() {
    doc.body.classList.add('qz-drawer-open');
    ui.menu.setAttribute('aria-expanded', 'true');
    ui.scrim.hidden = false;
    ui.main.inert = true;
    var target = focusNode || (state.current && model.byId.get(state.current.id)) || model.roots[0];
    if (target) focusItem(target);
  }

  function closeDrawer(returnFocus) {
    if (!doc.body.classList.contains('qz-drawer-open')) return;
    doc.body.classList.remove('qz-drawer-open');
    ui.menu.setAttribute('aria-expanded', 'false');
    ui.scrim.hidden = true;
    ui.main.inert = false;
    if (returnFocus) ui.menu.focus();
  }

  /* ------------------------------------------------------------------ *
   * Printing
   * ------------------------------------------------------------------ */

  function printTopic() {
    var topic = state.current;
    if (!topic) { window.print(); return; }
    var fdoc = frameDocument();
    if (fdoc && frameHref() !== 'about:blank') {
      ui.frame.contentWindow.focus();
      ui.frame.contentWindow.print();
      return;
    }
    // From disk the frame belongs to another origin and cannot be asked to print, and a
    // frame printed as part of this page would be cut after one sheet. The topic page
    // opened on its own prints completely.
    var win = window.open(new URL(topic.file, siteBase).href, '_blank');
    if (win) toast('The topic opened on its own in a new tab: print it from there (Ctrl+P).');
    else window.print();
  }

  /* ------------------------------------------------------------------ *
   * Wiring
   * ------------------------------------------------------------------ */

  function onGlobalKey(event) {
    var target = event.target;
    var typing = target && (target.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(target.nodeName));
    if ((event.key === 'k' || event.key === 'K') && (event.ctrlKey || event.metaKey) && !event.altKey) {
      event.preventDefault();
      focusSearch();
    } else if ((event.key === 'p' || event.key === 'P') && (event.ctrlKey || event.metaKey) && !event.altKey && !event.shiftKey) {
      event.preventDefault();
      printTopic();
    } else if (event.key === '/' && !typing && !event.ctrlKey && !event.metaKey && !event.altKey) {
      event.preventDefault();
      focusSearch();
    } else if (event.key === 'Escape' && doc.body.classList.contains('qz-drawer-open')) {
      closeDrawer(true);
    }
  }

  function focusSearch() {
    window.focus();
    ui.input.focus();
    ui.input.select();
    if (ui.input.value.trim()) runSearch();
  }

  function wire() {
    ui.tree.addEventListener('click', onTreeClick);
    ui.tree.addEventListener('keydown', onTreeKey);
    ui.tree.addEventListener('focusin', function (event) {
      var node = event.target && event.target.__qzNode;
      if (node && node !== focusNode) setTabStop(node);
    });
    ui.frame.addEventListener('load', onFrameLoad);
    window.addEventListener('hashchange', route);
    // Both events come for a back or forward step between topic addresses; route() does
    // nothing when the shown topic already matches the address.
    window.addEventListener('popstate', route);
    doc.addEventListener('keydown', onGlobalKey);

    ui.input.addEventListener('input', runSearch);
    ui.input.addEventListener('keydown', onSearchKey);
    ui.input.addEventListener('focus', function () {
      searchData();
      if (ui.input.value.trim() && ui.panel.hidden) runSearch();
    });
    ui.results.addEventListener('mousedown', function (event) { event.preventDefault(); }); // keep focus in the box
    ui.results.addEventListener('click', function (event) {
      var li = event.target.closest && event.target.closest('[role="option"]');
      if (li) openResult(Array.prototype.indexOf.call(ui.results.children, li));
    });
    ui.results.addEventListener('mousemove', function (event) {
      var li = event.target.closest && event.target.closest('[role="option"]');
      if (li) {
        var i = Array.prototype.indexOf.call(ui.results.children, li);
        if (i !== results.active) setActive(i);
      }
    });
    // Clicks on the results keep the focus in the box (mousedown above), so losing the
    // focus means the reader went elsewhere, the topic frame included.
    ui.input.addEventListener('blur', closePanel);

    ui.menu.addEventListener('click', function () {
      if (doc.body.classList.contains('qz-drawer-open')) closeDrawer(true); else openDrawer();
    });
    ui.scrim.addEventListener('click', function () { closeDrawer(true); });
    $('qz-drawer-close').addEventListener('click', function () { closeDrawer(true); });
    var onWidth = function () { if (!isPhone()) closeDrawer(false); };
    if (phoneQuery.addEventListener) phoneQuery.addEventListener('change', onWidth);
    else phoneQuery.addListener(onWidth);

    ui.home.addEventListener('click', function (event) {
      var first = defaultTopic();
      if (!first) return;
      event.preventDefault();
      go(first);
    });
    ui.noticeLink.addEventListener('click', function (event) {
      var first = defaultTopic();
      if (!first) return;
      event.preventDefault();
      go(first);
    });
    [ui.prev, ui.next].forEach(function (link) {
      link.addEventListener('click', function (event) {
        if (!link.hasAttribute('href')) event.preventDefault();
      });
    });
    ui.print.addEventListener('click', printTopic);
    ui.crumbs.addEventListener('scroll', markCrumbScroll, { passive: true });
    ui.skip.addEventListener('click', function () { ui.frame.focus(); });
  }

  function start() {
    wire();
    tocReady = loadToc().then(function (data) {
      buildModel(data);
      if (!model.roots.length) {
        ui.treeMessage.textContent = 'This help has no contents.';
        ui.treeMessage.hidden = false;
      }
      renderItems(model.roots, ui.tree);
      if (model.roots[0]) setTabStop(model.roots[0]);
    }, function () {
      tocFailed = true;
      ui.treeMessage.textContent = 'The contents could not be loaded.';
      ui.treeMessage.hidden = false;
    });
    tocReady.then(function () {
      route();
      // The search data is read once the first topic is on its way.
      later(function () { searchData(); });
    });
  }

  start();
})();
