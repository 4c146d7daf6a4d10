/*
 * WebHelp viewer.
 *
 * A published help is a folder of static files: this page, the contents (toc.js / toc.json),
 * the search index (search/: a dictionary, posting and text shards), one complete HTML page
 * per topic under topics/ and the page script (page.js) that every topic page loads. The
 * viewer must work both when the folder is opened straight from disk (file://) and when it is
 * served by any static web server, so it uses no build step, no network and no libraries.
 *
 * From file:// every local file is its own origin for the browser: the viewer can navigate
 * the topic frame but can neither read the frame's address or document nor fetch JSON. So
 * data arrives as scripts, and the viewer and the topic page talk by postMessage only, which
 * works the same from disk and over http.
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
    more: $('qz-results-more'),
    print: $('qz-print'),
    theme: $('qz-theme'),
    onPage: $('qz-onpage'),
    onPageList: $('qz-onpage-list'),
    skip: $('qz-skip'),
    toast: $('qz-toast')
  };

  // The program writes the escaped project title into <title>; the browser has decoded it.
  var projectTitle = doc.title || 'Help';
  ui.brand.textContent = projectTitle;

  var siteBase = new URL('.', location.href).href;
  var canFetch = location.protocol === 'http:' || location.protocol === 'https:';
  var phoneQuery = window.matchMedia('(max-width: 799.98px)');

  // The search's text rules live in page.js, shared with the topic pages that mark hits.
  var text = window.__qzText;
  var fold = text.fold;

  /* ------------------------------------------------------------------ *
   * Remembered reader choices
   * ------------------------------------------------------------------ */

  // Storage may be refused (private modes, some file:// settings): then nothing is kept.
  function stored(key) {
    try { return window.localStorage.getItem(key); } catch (e) { return null; }
  }
  function store(key, value) {
    try {
      if (value == null) window.localStorage.removeItem(key); else window.localStorage.setItem(key, value);
    } catch (e) { /* not kept */ }
  }

  // Every help opened from disk shares the file:// storage: keys name the site.
  var OPEN_KEY = 'qz-open:' + siteBase;
  var THEME_KEY = 'qz-theme';
  var darkQuery = window.matchMedia('(prefers-color-scheme: dark)');

  function isDark() {
    var chosen = stored(THEME_KEY);
    return chosen ? chosen === 'dark' : darkQuery.matches;
  }

  function applyTheme() {
    var dark = isDark();
    doc.documentElement.setAttribute('data-theme', dark ? 'dark' : 'light');
    ui.theme.setAttribute('aria-pressed', dark ? 'true' : 'false');
    ui.theme.title = dark ? 'Light mode' : 'Dark mode';
    ui.theme.setAttribute('aria-label', ui.theme.title);
    postToPage({ type: 'theme', dark: dark });
  }

  function toggleTheme() {
    var dark = !isDark();
    // Choosing what the system shows anyway goes back to following the system.
    store(THEME_KEY, dark === darkQuery.matches ? null : (dark ? 'dark' : 'light'));
    applyTheme();
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
      script.onload = function () { script.remove(); resolve(); };
      script.onerror = function () { script.remove(); reject(new Error(src + ' could not be loaded')); };
      doc.head.appendChild(script);
    });
  }

  function loadToc() {
    var arrived = window.__qzArrived && window.__qzArrived.contents0;
    if (Array.isArray(arrived)) {
      delete window.__qzArrived.contents0;
      return Promise.resolve({ rows: arrived });
    }
    var nested = function () {
      var data = window.__QZ_TOC;
      if (data && typeof data === 'object') return data;
      return fetchJson('toc.json');
    };
    return loadScript('toc.js').then(nested, nested);
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

  function newNode(id, title, file, parent, depth) {
    var node = {
      id: id,
      title: title,
      file: file,
      parent: parent,
      depth: depth,
      index: model.order.length,
      rootAt: -1,
      children: [],
      expanded: false,
      item: null,  // the treeitem element once rendered
      group: null  // the child group element once rendered
    };
    model.order.push(node);
    if (!model.byId.has(id)) model.byId.set(id, node);
    // most files follow from the id (topicForFile); only the others need a map entry
    if (file !== 'topics/' + id + '.html' && !model.byFile.has(file)) model.byFile.set(file, node);
    if (parent) parent.children.push(node);
    else { node.rootAt = model.roots.length; model.roots.push(node); }
    return node;
  }

  // The flat contents (id, title, depth per topic, in reading order), read in one pass:
  // at thousands of topics this is on the way to the first view of the contents.
  function buildFromRows(rows) {
    var path = [];
    for (var i = 0; i + 2 < rows.length; i += 3) {
      var id = str(rows[i]);
      if (!id) continue;
      var depth = Math.max(0, Math.min(Number(rows[i + 2]) || 0, path.length));
      path.length = depth;
      path.push(newNode(id, str(rows[i + 1]), 'topics/' + id + '.html', depth ? path[depth - 1] : null, depth + 1));
    }
  }

  // The nested contents of toc.json.
  function buildModel(data) {
    if (data && Array.isArray(data.rows)) { buildFromRows(data.rows); return; }
    function visit(raw, parent, depth) {
      if (!raw || typeof raw !== 'object') return;
      var id = str(raw.id);
      if (!id) return;
      var node = newNode(id, str(raw.title), safeFile(raw.file, id), parent, depth);
      var kids = Array.isArray(raw.children) ? raw.children : [];
      for (var i = 0; i < kids.length; i++) visit(kids[i], node, depth + 1);
    }
    var roots = data && Array.isArray(data.roots) ? data.roots : [];
    for (var i = 0; i < roots.length; i++) visit(roots[i], null, 1);
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
  function renderItems(list, container, from, to) {
    var frag = doc.createDocumentFragment();
    var end = to == null ? list.length : to;
    for (var i = from || 0; i < end; i++) frag.appendChild(createItem(list[i], i + 1, list.length));
    container.appendChild(frag);
  }

  // A manual may have thousands of top-level topics. Only the first screenfuls are drawn
  // before the contents show; more follow as the reader scrolls towards the end of them,
  // and at once up to any topic that is needed earlier (an address, a key, a remembered
  // branch). Nothing is drawn in the background, where it would compete with typing.
  var FIRST_ROOTS = 60;
  var MORE_ROOTS = 150;
  var rootsDrawn = 0;
  var rootsEnd = window.IntersectionObserver ? new IntersectionObserver(function (entries) {
    if (entries.some(function (e) { return e.isIntersecting; })) drawRootsThrough(rootsDrawn + MORE_ROOTS - 1);
  }, { root: ui.sidebar, rootMargin: '0px 0px 1000px 0px' }) : null;

  function drawRootsThrough(last) {
    var to = Math.min(model.roots.length, rootsEnd ? last + 1 : model.roots.length);
    if (to <= rootsDrawn) return;
    renderItems(model.roots, ui.tree, rootsDrawn, to);
    rootsDrawn = to;
    if (rootsEnd) {
      rootsEnd.disconnect();
      if (rootsDrawn < model.roots.length) rootsEnd.observe(model.roots[rootsDrawn - 1].item.parentNode);
    }
  }

  // The row of a node, drawing its top-level topic and opening its ancestors as needed.
  function ensureItem(node) {
    if (node.item) return;
    if (!node.parent) {
      drawRootsThrough(node.rootAt);
    } else {
      ensureItem(node.parent);
      setExpanded(node.parent, true);
    }
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
    ensureItem(node);
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
    rememberOpen();
  }

  // The branches the reader has open are kept for the next visit to this help.
  var saveOpenTimer = 0;
  var restoringOpen = false;
  function rememberOpen() {
    if (restoringOpen) return;
    clearTimeout(saveOpenTimer);
    saveOpenTimer = setTimeout(function () {
      var open = [];
      for (var i = 0; i < model.order.length; i++) if (model.order[i].expanded) open.push(model.order[i].id);
      store(OPEN_KEY, open.length ? JSON.stringify(open) : null);
    }, 250);
  }

  function restoreOpen() {
    var saved;
    try { saved = JSON.parse(stored(OPEN_KEY) || '[]'); } catch (e) { saved = []; }
    if (!Array.isArray(saved) || !saved.length) return;
    var wanted = new Set(saved.map(str));
    restoringOpen = true;
    // in contents order, so a parent opens before its children are asked for
    for (var i = 0; i < model.order.length; i++) {
      var node = model.order[i];
      if (!wanted.has(node.id) || !node.children.length) continue;
      if (node.parent && !node.parent.expanded) continue;
      setExpanded(node, true);
    }
    restoringOpen = false;
  }

  function ensureRendered(node) {
    ensureItem(node);
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
    restoreTimer: 0,
    followTimer: 0     // following a frame page that the viewer did not ask for
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

  var tocReady = null;          // settles once the contents model is built (or failed)
  var tocFailed = false;

  function decoded(raw) {
    try { return decodeURIComponent(raw); } catch (e) { return raw; }
  }

  // A topic's address is index.html#ID, and index.html#ID#SECTION for a place in it (the
  // target of a link to X.html#SECTION). Both parts are encoded, so the second "#" is the
  // only one.
  function hashParts() {
    var raw = location.hash.replace(/^#/, '');
    var at = raw.indexOf('#');
    return at < 0 ? { id: decoded(raw), section: '' } : { id: decoded(raw.slice(0, at)), section: decoded(raw.slice(at + 1)) };
  }

  function hashId() { return hashParts().id; }

  function addressFor(id, section) {
    return hashFor(id) + (section ? '#' + encodeURIComponent(section) : '');
  }

  // The section named by a link's "#..." part, or ''.
  function sectionOf(hash) {
    var h = str(hash);
    return /^#[^\/\\]+$/.test(h) ? decoded(h.slice(1)) : '';
  }

  function lookup(id) {
    return model.byId.get(id) || searchTopicsById.get(id) || null;
  }

  function defaultTopic() { return model.order[0] || null; }

  // Every navigation goes through the address so that back and forward and bookmarks work.
  function go(topic, section) {
    var hash = addressFor(topic.id, section);
    if (location.hash === hash) {
      // same address: no hashchange will come, but the frame may have followed a link
      showTopic(topic, state.drifted || topic !== state.current || !!state.highlight, section);
    } else {
      location.hash = hash;
    }
  }

  function route() {
    var parts = hashParts();
    var id = parts.id;
    var section = parts.section;
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
    if (topic) { showRouted(topic, traversal, section); return; }
    // Topics that are published but hidden from the contents are known only to the search index.
    loadDict().then(function () {
      if (hashId() !== id) return; // the reader moved on meanwhile
      var found = lookup(id);
      if (found) showTopic(found, true, section);
      else showNotice('Topic not found', 'This address does not lead to a topic of this help. It may have been removed or renamed.', true);
    });
  }

  function showRouted(topic, traversal, section) {
    var load = topic !== state.current || state.drifted;
    if (load && traversal && !ui.frame.hidden) {
      showTopic(topic, false);
      expectRestore(topic, section);
    } else {
      showTopic(topic, load, section);
    }
  }

  // Waits for the browser to bring back the frame page of a history step. The fallback load
  // covers steps between two addresses of the same page (the bare address and that of the
  // first topic), where the browser has nothing to bring back.
  function expectRestore(topic, section) {
    clearTimeout(state.restoreTimer);
    state.restoring = topic;
    state.pendingUrl = null;
    state.restoreTimer = setTimeout(function () {
      if (state.restoring === topic && state.current === topic) navigateFrame(topic.file, section);
      state.restoring = null;
    }, 400);
  }

  // loadFrame is false when the frame already shows the topic (it got there by itself);
  // then the page itself is asked to scroll to the section.
  function showTopic(topic, loadFrame, section) {
    state.current = topic;
    ui.notice.hidden = true;
    ui.frame.hidden = false;
    markCurrentInTree(topic);
    renderCrumbs(topic);
    renderPager(topic);
    doc.title = displayTitle(topic.title) + ' \u2013 ' + projectTitle;
    if (loadFrame) navigateFrame(topic.file, section);
    else if (section) postToPage({ type: 'scroll', id: section });
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
    renderOnPage([]);
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
    // Measured at the next frame, so that showing a topic forces no layout of its own.
    requestAnimationFrame(function () {
      ol.scrollLeft = ol.scrollWidth;
      markCrumbScroll();
    });
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
   * The topic frame and its page script
   * ------------------------------------------------------------------ */

  var page = {
    alive: false,   // the page in the frame has reported itself since the last load began
    height: 0       // its full height, for printing the viewer as a whole
  };

  function navigateFrame(file, section) {
    var url = new URL(file, siteBase).href + (section ? '#' + encodeURIComponent(section) : '');
    clearTimeout(state.restoreTimer);
    state.restoring = null;
    state.pendingUrl = url;
    state.drifted = false;
    page.alive = false;
    page.printHeights = null;
    renderOnPage([]);
    ui.stage.classList.add('is-loading');
    try {
      // replace() keeps frame loads out of the session history, so that back and forward
      // step through the topic addresses only; a parent may do this even across origins.
      ui.frame.contentWindow.location.replace(url);
    } catch (e) {
      ui.frame.src = url;
    }
  }

  function postToPage(message) {
    var win = ui.frame.contentWindow;
    if (!win) return;
    message.qz = 1;
    win.postMessage(message, '*');
  }

  function topicForFile(file) {
    var f = str(file);
    var m = /^topics\/([^\/]+)\.html$/.exec(f);
    var byId = m && model.byId.get(m[1]);
    if (byId && byId.file === f) return byId;
    return model.byFile.get(f) || searchTopicsByFile.get(f) || null;
  }

  // The load event says only that something loaded; which topic it is comes from the page
  // script (a page without one, or another site, leaves the viewer where it was).
  function onFrameLoad() {
    ui.stage.classList.remove('is-loading');
    var expected = state.pendingUrl || state.restoring;
    state.pendingUrl = null;
    if (state.restoring) { clearTimeout(state.restoreTimer); state.restoring = null; }
    if (!expected) state.drifted = true; // a link inside the topic: the page will say where
  }

  function onPageMessage(event) {
    if (event.source !== ui.frame.contentWindow) return;
    var msg = event.data;
    if (!msg || msg.qz !== 1 || typeof msg.type !== 'string') return;
    switch (msg.type) {
      case 'page': onPageReport(msg); break;
      case 'size':
        page.height = Number(msg.height) || 0;
        if (msg.print && typeof msg.print === 'object') page.printHeights = msg.print;
        setPrintHeight();
        break;
      case 'go': {
        var target = topicForFile(msg.file);
        if (target) go(target, sectionOf(msg.hash));
        // a page the data do not know, in the topics folder: shown, with its anchor if any
        else if (/^topics\/[^\/?#]+\.html?$/i.test(str(msg.file))) navigateFrame(msg.file + (/^#[^\/\\]*$/.test(str(msg.hash)) ? msg.hash : ''));
        break;
      }
      case 'key':
        if (msg.key === 'k' || msg.key === '/') focusSearch();
        else if (msg.key === 'Escape' && doc.body.classList.contains('qz-drawer-open')) closeDrawer(true);
        break;
    }
  }

  function onPageReport(msg) {
    page.alive = true;
    page.height = Number(msg.height) || 0;
    setPrintHeight();
    postToPage({ type: 'hello', dark: isDark() });
    ui.stage.classList.remove('is-loading');
    var topic = topicForFile(msg.file);
    if (!topic) {
      // a topic the data do not know (an older page left in the folder)
      state.drifted = true;
      renderOnPage([]);
      return;
    }
    state.drifted = false;
    clearTimeout(state.followTimer);
    if (topic !== state.current) {
      // The frame moved by itself (a link, or a history step inside it): follow it. A history
      // step of the viewer itself may bring its frame page back before the address has
      // changed, so the address is looked at a moment later; when it leads to the page by
      // then, it stays as it is.
      state.followTimer = setTimeout(function () {
        if (topic === state.current) return;
        var addressed = hashId() ? lookup(hashId()) : defaultTopic();
        if (addressed !== topic) history.replaceState(history.state, '', addressFor(topic.id, sectionOf(msg.hash)));
        showTopic(topic, false);
      }, 100);
    }
    renderOnPage(Array.isArray(msg.headings) ? msg.headings : []);
    var terms = state.highlight;
    state.highlight = null;
    if (terms && terms.topic === topic) postToPage({ type: 'mark', terms: terms.terms });
  }

  // the widths at which topic pages tell their height (page.js)
  var PRINT_WIDTHS = [200, 240, 280, 300, 320, 340, 360, 380, 400, 420, 440, 460, 480, 500, 520, 540, 560, 580, 600, 620, 640, 660, 680, 700, 720, 740, 760, 780, 800, 880, 960, 1040, 1120];

  // The frame's printed height: --qz-page-height as on screen, --qz-print-W at paper W px
  // wide and more (app.css chooses by the printed width).
  function setPrintHeight() {
    var style = ui.frame.style;
    if (page.height > 0) style.setProperty('--qz-page-height', page.height + 'px');
    else style.removeProperty('--qz-page-height');
    PRINT_WIDTHS.forEach(function (w) {
      var h = Number(page.printHeights && page.printHeights[w]) || 0;
      if (h > 0) style.setProperty('--qz-print-' + w, Math.ceil(h) + 'px');
      else style.removeProperty('--qz-print-' + w);
    });
  }

  /* ------------------------------------------------------------------ *
   * On this page: the headings of a topic that has several
   * ------------------------------------------------------------------ */

  function renderOnPage(headings) {
    var list = headings.filter(function (h) { return h && typeof h.id === 'string' && str(h.text).trim(); });
    // The first heading is usually the topic's own title.
    if (list.length && list[0].level === 1) list = list.slice(1);
    ui.onPageList.textContent = '';
    ui.onPage.hidden = list.length < 2;
    ui.onPage.open = false;
    if (ui.onPage.hidden) return;
    var top = Math.min.apply(null, list.map(function (h) { return Number(h.level) || 1; }));
    var frag = doc.createDocumentFragment();
    list.forEach(function (h) {
      var li = el('li');
      var a = el('a', 'qz-onpage-link', str(h.text));
      a.href = '#';
      a.style.setProperty('--qz-indent', String(Math.max(0, (Number(h.level) || 1) - top)));
      a.addEventListener('click', function (event) {
        event.preventDefault();
        ui.onPage.open = false;
        postToPage({ type: 'scroll', id: h.id });
      });
      li.appendChild(a);
      frag.appendChild(li);
    });
    ui.onPageList.appendChild(frag);
  }

  /* ------------------------------------------------------------------ *
   * Search index: loaded in shards, only what a query needs
   * ------------------------------------------------------------------ */

  // The publisher writes search/index.js (the sorted terms, where the topic, posting and
  // text shards start), search/d<N>.js (topic ids and titles), search/p<N>.js (per term: topic-number deltas and bits)
  // and search/t<N>.js (per topic: text, keywords, index entries). Each hands its data to
  // window.__qzSearch when it runs.
  var WHERE_TITLE = 1, WHERE_KEYWORD = 2, WHERE_INDEX = 4, WHERE_TEXT = 8, SURFACE = 256;
  var TEXT_CACHE = 48; // text shards kept for snippets

  var sx = {
    dict: null,
    dictPromise: null,
    failed: false,
    parts: new Map(),      // posting shard number -> lists, or a promise while loading
    texts: new Map(),      // text shard number -> entries (insertion order = age)
    textWaits: new Map(),  // text shard number -> promise
    arrived: null
  };

  var searchTopicsById = new Map();
  var searchTopicsByFile = new Map();
  var searchTopics = [];  // per topic number: a contents node or a topic of its own

  sx.arrived = window.__qzArrived || Object.create(null);
  window.__qzSearch = function (kind, n, data) {
    sx.arrived[kind + n] = data;
  };

  function loadShard(kind, n) {
    var key = kind + n;
    var file = kind === 'index' ? kind : key;
    return loadScript('search/' + file + '.js').then(function () {
      var data = sx.arrived[key];
      delete sx.arrived[key];
      if (data === undefined) throw new Error('search/' + key + '.js brought no data');
      return data;
    });
  }

  // Settles once the dictionary is in (or failed); topics hidden from the contents become
  // known then, so that their addresses work.
  function loadDict() {
    if (!sx.dictPromise) {
      // The dictionary first; then the topics' shards, loaded side by side and taken in, in
      // order, each in a task of its own: a reader may be typing meanwhile.
      var dict = { ids: [], titles: [], terms: [], parts: [], texts: [] };
      sx.dictPromise = loadShard('index', 0).then(function (d) {
        d = d || {};
        dict.terms = Array.isArray(d.terms) ? d.terms.map(str) : [];
        dict.parts = Array.isArray(d.parts) ? d.parts.map(Number) : [];
        dict.texts = Array.isArray(d.texts) ? d.texts.map(Number) : [];
        var starts = Array.isArray(d.docs) ? d.docs : [];
        var shards = starts.map(function (s, n) {
          var shard = loadShard('d', n);
          shard.catch(function () { /* reported through the chain below */ });
          return shard;
        });
        var chain = tocReady;
        shards.forEach(function (shard) {
          chain = chain.then(function () { return shard; }).then(function (part) {
            takeTopics(dict, part);
            return nextTask();
          });
        });
        return chain;
      }).then(function () {
        sx.dict = dict;
        // The first search would otherwise also pay for compiling the text rules.
        text.findHits(dict.titles[0] || 'a', queryTerms('a'));
      }, function () {
        sx.failed = true;
      });
    }
    return sx.dictPromise;
  }

  function nextTask() {
    return new Promise(function (resolve) { setTimeout(resolve, 0); });
  }

  // The topics of one shard of the dictionary: their numbers follow on from the last shard's.
  function takeTopics(dict, part) {
    var partIds = part && Array.isArray(part.ids) ? part.ids : [];
    var partTitles = part && Array.isArray(part.titles) ? part.titles : [];
    for (var i = 0; i < partIds.length; i++) {
      var id = str(partIds[i]);
      var title = str(partTitles[i]);
      dict.ids.push(id);
      dict.titles.push(title);
      var node = model.byId.get(id) || searchTopicsById.get(id);
      if (!node) {
        node = { id: id, title: title, file: 'topics/' + id + '.html', hidden: true };
        searchTopicsById.set(id, node);
        if (!searchTopicsByFile.has(node.file)) searchTopicsByFile.set(node.file, node);
      }
      searchTopics.push(node);
    }
  }

  function lowerBound(list, key) {
    var lo = 0, hi = list.length;
    while (lo < hi) {
      var mid = (lo + hi) >>> 1;
      if (list[mid] < key) lo = mid + 1; else hi = mid;
    }
    return lo;
  }

  function shardOf(starts, k) {
    var at = lowerBound(starts, k + 1) - 1;
    return at < 0 ? 0 : at;
  }

  function postingPart(n) {
    var have = sx.parts.get(n);
    if (have) return have;
    var p = loadShard('p', n).then(function (lists) {
      sx.parts.set(n, Array.isArray(lists) ? lists : []);
    }, function () {
      sx.parts.set(n, []);
    });
    sx.parts.set(n, p);
    return p;
  }

  function postings(k) {
    var n = shardOf(sx.dict.parts, k);
    var lists = sx.parts.get(n);
    var list = Array.isArray(lists) ? lists[k - sx.dict.parts[n]] : null;
    return Array.isArray(list) ? list : [];
  }

  var CJK_CHAR = /^[\u3040-\u30ff\u3400-\u9fff\uf900-\ufaff]$/;

  // The query's words, each with its stem; repeated words count once.
  function queryTerms(query) {
    var seen = new Set();
    return text.words(fold(query)).filter(function (t) {
      if (seen.has(t)) return false;
      seen.add(t);
      return true;
    }).slice(0, 12).map(function (t) { return { t: t, s: text.stem(t) }; });
  }

  // The dictionary entries a term matches: every term it begins (a single letter or digit
  // only itself, as nearly every topic has words that start with one), and its stem.
  function termMatches(term) {
    var terms = sx.dict.terms;
    var out = [];
    var lo = lowerBound(terms, term.t);
    var prefix = term.t.length > 1 || CJK_CHAR.test(term.t);
    for (var k = lo; k < terms.length && terms[k].indexOf(term.t) === 0; k++) {
      var exact = terms[k].length === term.t.length;
      if (!exact && !prefix) break;
      out.push({ k: k, kind: exact ? 2 : 0 });
    }
    if (term.s !== term.t) {
      var s = lowerBound(terms, term.s);
      if (terms[s] === term.s && !out.some(function (m) { return m.k === s; })) out.push({ k: s, kind: 1 });
    }
    return out;
  }

  // Score of one term in one topic. Title, keyword and index-entry hits outweigh any number
  // of body hits; the word itself beats another form of it, which beats a longer word.
  function termScore(bits, kind) {
    var s = 0;
    if (bits & WHERE_TITLE) s += 100;
    if (bits & (WHERE_KEYWORD | WHERE_INDEX)) s += 70;
    if (bits & WHERE_TEXT) s += 2 + Math.min((bits >> 4) & 15, 15) * 0.3;
    var exactWord = kind === 2 && (bits & SURFACE);
    return s * (exactWord ? 1.3 : kind >= 1 ? 1.15 : 1);
  }

  var scratch = { best: null, hits: null, total: null };

  // Answers from the loaded shards; returns null when shards are missing (they are loaded
  // and the search runs again).
  function searchNow(terms) {
    var dict = sx.dict;
    var matches = terms.map(termMatches);
    var missing = [];
    matches.forEach(function (list) {
      list.forEach(function (m) {
        var n = shardOf(dict.parts, m.k);
        if (!Array.isArray(sx.parts.get(n)) && missing.indexOf(n) < 0) missing.push(n);
      });
    });
    if (missing.length) return { missing: missing };

    var count = dict.ids.length;
    if (!scratch.best || scratch.best.length < count) {
      scratch.best = new Float64Array(count);
      scratch.hits = new Uint8Array(count);
      scratch.total = new Float64Array(count);
    }
    var best = scratch.best, hits = scratch.hits, total = scratch.total;
    var touchedAll = [];
    var candidates = [];
    for (var t = 0; t < terms.length; t++) {
      var touched = [];
      var list = matches[t];
      for (var i = 0; i < list.length; i++) {
        var p = postings(list[i].k);
        var topicNo = 0;
        for (var j = 0; j + 1 < p.length; j += 2) {
          topicNo += p[j];
          if (topicNo >= count || hits[topicNo] !== t) continue; // missed an earlier word
          var s = termScore(p[j + 1], list[i].kind);
          if (best[topicNo] === 0) touched.push(topicNo);
          if (s > best[topicNo]) best[topicNo] = s;
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
    var found = [];
    var phrase = terms.map(function (x) { return x.t; }).join(' ');
    for (var c = 0; c < candidates.length; c++) {
      var no = candidates[c];
      if (hits[no] !== terms.length) continue;
      var topic = searchTopics[no];
      var score = total[no];
      // A title that holds the query as written ranks higher still; only a topic whose
      // every word hit its title can have one, which saves folding thousands of titles.
      if (score >= 100 * terms.length) {
        var ft = fold(dict.titles[no] || '');
        if (ft.indexOf(phrase) === 0) score += 40;
        else if (terms.length > 1 && ft.indexOf(phrase) >= 0) score += 20;
      }
      var order = topic && !topic.hidden ? Math.min(topic.index, 99999) : 99999;
      // one number to sort by: the score, then the place in the contents
      found.push({ no: no, topic: topic, score: score, key: score * 100000 - order });
    }
    for (var r = 0; r < touchedAll.length; r++) { hits[touchedAll[r]] = 0; total[touchedAll[r]] = 0; }
    // Only the results on show are put in order (rankNext): sorting thousands of matches
    // for the first twenty made the first results late.
    return { matches: found };
  }

  function ranksBefore(a, b) { return a.key > b.key || (a.key === b.key && a.no < b.no); }

  // Moves the best `k` of list[from..] to list[from..from+k), best first; the rest stay
  // behind in any order. One pass with a small sorted buffer: linear in the matches.
  function rankNext(list, from, k) {
    if (from >= list.length || k <= 0) return;
    var top = [];
    for (var i = from; i < list.length; i++) {
      var m = list[i];
      if (top.length === k && !ranksBefore(m, top[k - 1])) continue;
      var j = top.length < k ? top.length : k - 1;
      while (j > 0 && ranksBefore(m, top[j - 1])) { top[j] = top[j - 1]; j--; }
      top[j] = m;
    }
    var chosen = new Set(top);
    var at = from + top.length;
    var rest = [];
    for (i = from; i < list.length; i++) if (!chosen.has(list[i])) rest.push(list[i]);
    for (i = 0; i < top.length; i++) list[from + i] = top[i];
    for (i = 0; i < rest.length; i++) list[at + i] = rest[i];
  }

  // The text entry of a topic for its snippet, or a promise of it.
  function textEntry(no) {
    var n = shardOf(sx.dict.texts, no);
    var shard = sx.texts.get(n);
    if (shard) {
      sx.texts.delete(n); // most recently used last
      sx.texts.set(n, shard);
      return shard[no - sx.dict.texts[n]] || null;
    }
    var wait = sx.textWaits.get(n);
    if (!wait) {
      wait = loadShard('t', n).then(function (entries) {
        sx.texts.set(n, Array.isArray(entries) ? entries : []);
        while (sx.texts.size > TEXT_CACHE) sx.texts.delete(sx.texts.keys().next().value);
      }, function () {
        sx.texts.set(n, []);
      }).then(function () { sx.textWaits.delete(n); });
      sx.textWaits.set(n, wait);
    }
    return wait;
  }

  /* ------------------------------------------------------------------ *
   * Search box and results
   * ------------------------------------------------------------------ */

  var PAGE_SIZE = 20;
  var results = { list: [], shown: 0, active: -1, terms: [], generation: 0, scrolled: false };

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
    var generation = ++results.generation;
    var query = ui.input.value;
    if (!query.trim()) {
      results.list = [];
      ui.results.textContent = '';
      ui.more.hidden = true;
      closePanel();
      return;
    }
    openPanel();
    var terms = queryTerms(query);
    if (!terms.length) { setResults([], [], 'Type a word to search.'); return; }
    if (!sx.dict) {
      if (sx.failed) { setResults([], [], 'Search is not available: the search index could not be loaded.'); return; }
      setStatusOnly('Loading search\u2026');
      loadDict().then(function () { if (generation === results.generation) runSearch(); });
      return;
    }
    var began = performance.now();
    var outcome = searchNow(terms);
    if (outcome.missing) {
      // Keep the previous results in view while the shards for the new query arrive. The
      // search runs in a task after the one that read them.
      if (!results.list.length) setStatusOnly('Searching\u2026');
      Promise.all(outcome.missing.map(postingPart)).then(nextTask).then(function () {
        if (generation === results.generation) runSearch();
      });
      return;
    }
    var count = outcome.matches.length;
    var lone = terms.length === 1 && terms[0].t.length === 1 && !CJK_CHAR.test(terms[0].t);
    var message = count === 0 ? (lone ? 'Type another letter to search.' : 'No topics match \u201c' + query.trim() + '\u201d.')
      : count === 1 ? '1 topic found' : count + ' topics found';
    // A long search leaves the drawing to the next task, so that neither makes the page
    // miss keys.
    if (performance.now() - began < 12) { setResults(outcome.matches, terms, message); return; }
    nextTask().then(function () {
      if (generation === results.generation) setResults(outcome.matches, terms, message);
    });
  }

  function setStatusOnly(message) {
    ui.status.textContent = message;
  }

  function setResults(list, terms, message) {
    results.list = list;
    results.terms = terms;
    results.active = -1;
    results.shown = 0;
    ui.status.textContent = message;
    // which query the list answers (the box may already hold the next one)
    ui.results.setAttribute('data-query', ui.input.value.trim());
    ui.input.removeAttribute('aria-activedescendant');
    // Reading or setting scrollTop here would force a layout in the middle of drawing; the
    // scroll events say whether there is anything to reset.
    if (results.scrolled) { ui.results.scrollTop = 0; results.scrolled = false; }
    ui.results.textContent = '';
    showMore();
  }

  // Adds the next results to the list; their snippets follow as their text shards arrive.
  function showMore() {
    var from = results.shown;
    var to = Math.min(results.list.length, from + PAGE_SIZE);
    rankNext(results.list, from, to - from);
    var frag = doc.createDocumentFragment();
    var generation = results.generation;
    for (var i = from; i < to; i++) {
      var li = resultItem(results.list[i], i);
      frag.appendChild(li);
      var wait = fillDetails(li, results.list[i].no, results.terms);
      // each result gets its snippet as its own text shard arrives: many short tasks
      if (wait) wait.then(fillLater(li, results.list[i].no, generation));
    }
    ui.results.appendChild(frag);
    results.shown = to;
    var left = results.list.length - to;
    ui.more.hidden = left <= 0;
    if (left > 0) ui.more.textContent = 'Show ' + Math.min(left, PAGE_SIZE) + ' more (' + left + ' left)';
  }

  function fillLater(li, no, generation) {
    return function () {
      if (generation === results.generation && li.__qzPending) {
        var again = fillDetails(li, no, results.terms);
        if (again) again.then(fillLater(li, no, generation)); // evicted meanwhile: once more
      }
    };
  }

  function resultItem(match, i) {
    var topic = match.topic;
    var titleText = displayTitle(sx.dict.titles[match.no] || (topic && topic.title) || '');
    var li = el('li', 'qz-result');
    li.id = 'qz-result-' + i;
    li.setAttribute('role', 'option');
    li.setAttribute('aria-selected', 'false');
    var title = el('div', 'qz-result-title');
    appendMarked(title, titleText, text.findHits(titleText, results.terms));
    li.appendChild(title);
    var path = topic && !topic.hidden ? ancestors(topic) : [];
    if (path.length) {
      li.appendChild(el('div', 'qz-result-path', path.map(function (p) { return displayTitle(p.title); }).join(' \u203a ')));
    }
    return li;
  }

  // Snippet and keyword lines of one result; returns a promise while the text is loading.
  function fillDetails(li, no, terms) {
    var entry = textEntry(no);
    if (entry && typeof entry.then === 'function') {
      li.__qzPending = true;
      return entry;
    }
    li.__qzPending = false;
    if (!Array.isArray(entry)) return null;
    var snippet = el('div', 'qz-result-snippet');
    if (renderSnippet(snippet, str(entry[0]), terms)) li.appendChild(snippet);
    [[entry[1], 'qz-result-keywords'], [entry[2], 'qz-result-index']].forEach(function (pair) {
      var value = str(pair[0]);
      var hits = text.findHits(value, terms);
      if (!hits.length) return;
      var line = el('div', pair[1]);
      appendMarked(line, value, hits);
      li.appendChild(line);
    });
    return null;
  }

  function appendMarked(parent, value, hits) {
    var pos = 0;
    hits.forEach(function (h) {
      if (h.start < pos) return;
      if (h.start > pos) parent.appendChild(doc.createTextNode(value.slice(pos, h.start)));
      parent.appendChild(el('mark', null, value.slice(h.start, h.end)));
      pos = h.end;
    });
    if (pos < value.length) parent.appendChild(doc.createTextNode(value.slice(pos)));
  }

  var SNIPPET_LENGTH = 180;

  // A piece of the body text around the place where most of the query words meet.
  function renderSnippet(parent, body, terms) {
    if (!body) return false;
    // only the start of a very long text is searched for the place to show
    var hits = text.findHits(body.length > 20000 ? body.slice(0, 20000) : body, terms);
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
        var space = body.indexOf(' ', start);
        start = space >= 0 && space < hits[bestAt].start ? space + 1 : start;
      }
    }
    var end = Math.min(body.length, start + SNIPPET_LENGTH);
    if (end < body.length) {
      var cut = body.lastIndexOf(' ', end);
      if (cut > start + SNIPPET_LENGTH / 2) end = cut;
    }
    var piece = body.slice(start, end);
    var local = [];
    hits.forEach(function (h) {
      if (h.start >= start && h.end <= end) local.push({ start: h.start - start, end: h.end - start });
    });
    if (start > 0) parent.appendChild(doc.createTextNode('\u2026'));
    appendMarked(parent, piece, local);
    if (end < body.length) parent.appendChild(doc.createTextNode('\u2026'));
    return true;
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
    if (!match || !match.topic) return;
    var topic = match.topic;
    state.highlight = { topic: topic, terms: results.terms };
    closePanel();
    if (isPhone()) ui.input.blur();
    go(topic);
  }

  function onSearchKey(event) {
    var n = results.shown;
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

  // The topic page prints itself, whole, when asked: a frame printed as part of this page
  // would be cut after one sheet. A page without the page script (or no topic at all)
  // leaves the browser's own print of the viewer, which shows only the topic (app.css).
  function printTopic() {
    if (state.current && page.alive && !ui.frame.hidden) postToPage({ type: 'print' });
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
    window.addEventListener('message', onPageMessage);
    ui.theme.addEventListener('click', toggleTheme);
    var onScheme = function () { if (!stored(THEME_KEY)) applyTheme(); };
    if (darkQuery.addEventListener) darkQuery.addEventListener('change', onScheme);
    ui.more.addEventListener('mousedown', function (event) { event.preventDefault(); }); // keep focus in the box
    ui.more.addEventListener('click', function () { showMore(); });
    // The browser's own print of the viewer shows the topic at its full height.
    window.addEventListener('beforeprint', setPrintHeight);
    window.addEventListener('hashchange', route);
    // Both events come for a back or forward step between topic addresses; route() does
    // nothing when the shown topic already matches the address.
    window.addEventListener('popstate', route);
    doc.addEventListener('keydown', onGlobalKey);

    ui.input.addEventListener('input', runSearch);
    ui.input.addEventListener('keydown', onSearchKey);
    ui.input.addEventListener('focus', function () {
      loadDict();
      if (ui.input.value.trim() && ui.panel.hidden) runSearch();
    });
    ui.results.addEventListener('mousedown', function (event) { event.preventDefault(); }); // keep focus in the box
    ui.results.addEventListener('click', function (event) {
      var li = event.target.closest && event.target.closest('[role="option"]');
      if (li) openResult(Array.prototype.indexOf.call(ui.results.children, li));
    });
    ui.results.addEventListener('scroll', function () { results.scrolled = ui.results.scrollTop > 0; }, { passive: true });
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

  function later(fn) {
    if (window.requestIdleCallback) window.requestIdleCallback(fn, { timeout: 300 });
    else setTimeout(fn, 16);
  }

  function start() {
    applyTheme();
    wire();
    tocReady = loadToc().then(function (data) {
      buildModel(data);
      if (!model.roots.length) {
        ui.treeMessage.textContent = 'This help has no contents.';
        ui.treeMessage.hidden = false;
      }
      drawRootsThrough(FIRST_ROOTS - 1);
      restoreOpen();
      if (model.roots[0]) setTabStop(model.roots[0]);
    }, function () {
      tocFailed = true;
      ui.treeMessage.textContent = 'The contents could not be loaded.';
      ui.treeMessage.hidden = false;
    });
    tocReady.then(function () {
      route();
      // The search dictionary is read once the first topic is on its way.
      later(function () { loadDict(); });
    });
  }

  start();
})();
