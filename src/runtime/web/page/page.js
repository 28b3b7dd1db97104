// The page as the desktop of a program on the forms runtime: its windows with title bar, menu
// bar and client area, the controls in them, the message boxes, the task bar, what screen
// readers are told and the notice that the program has ended. The C++ side describes what to
// build (WindowDescription.cpp) and waits here, through Asyncify, for the user's next action, a
// presented frame or a box's answer.
//
// This script is joined to the program's own (emcc --pre-js): it may use emscripten's
// HEAP views, _malloc and the string helpers, and defines the one object QuiblyPage.

var QuiblyPage = (() => {
  'use strict';

  // Widths of the window frame and heights of the title and menu bars, in CSS pixels: those of
  // the desktop the layouts were made for.
  const SizableBorder = 4;
  const DialogBorder = 3;
  const TitleBarHeight = 18;
  const MenuBarHeight = 19;

  const windows = new Map(); // page number -> window record
  let waiting = null; // resolves the program's wait for the user's next action
  let stacking = 10;

  const part = (name, scope = document) => scope.querySelector(`[data-part="${name}"]`);

  function element(tag, attributes = {}, parent = null) {
    const made = document.createElement(tag);
    for (const name of Object.keys(attributes)) {
      const value = attributes[name];
      if (value !== null && value !== false) made.setAttribute(name, value === true ? '' : value);
    }
    if (parent) parent.appendChild(made);
    return made;
  }

  function place(made, x, y, width, height) {
    Object.assign(made.style, {left: `${x}px`, top: `${y}px`, width: `${width}px`,
                               height: `${height}px`});
  }

  function cssFont(font) {
    return `${font.italic ? 'italic ' : ''}${font.weight} ${font.px}px "${font.face}"`;
  }

  function applyFont(made, font) {
    Object.assign(made.style, {
      fontFamily: `"${font.face}", sans-serif`, fontSize: `${font.px}px`,
      fontWeight: String(font.weight), fontStyle: font.italic ? 'italic' : 'normal',
      textDecoration: [font.underline ? 'underline' : '', font.strikethrough ? 'line-through' : '']
                          .join(' ').trim() || 'none'});
  }

  // A small picture drawn in SVG: the title-bar glyphs and the message-box icons. (Here and
  // below no destructuring in loops: emscripten's script optimiser drops such variables.)
  function glyph(width, height, shapes) {
    const ns = 'http://www.w3.org/2000/svg';
    const svg = document.createElementNS(ns, 'svg');
    svg.setAttribute('width', width);
    svg.setAttribute('height', height);
    svg.setAttribute('viewBox', `0 0 ${width} ${height}`);
    svg.setAttribute('aria-hidden', 'true');
    for (const spec of shapes) {
      const shape = document.createElementNS(ns, spec[0]);
      for (const name of Object.keys(spec[1])) shape.setAttribute(name, spec[1][name]);
      svg.appendChild(shape);
    }
    return svg;
  }

  const titleGlyphs = {
    minimize: [['rect', {x: 4, y: 9, width: 6, height: 2, fill: 'var(--sys-18)'}]],
    maximize: [['path', {d: 'M2.5 2.5h9v8h-9z M2.5 3.5h9', stroke: 'var(--sys-18)', fill: 'none'}]],
    close: [['path', {d: 'M3 3l8 7 M11 3l-8 7 M4 3l8 7 M12 3l-8 7', stroke: 'var(--sys-18)',
                      'stroke-width': 1.2, fill: 'none'}]],
  };

  const boxIcons = {
    question: [['path', {d: 'M16 2C8 2 2 7 2 13c0 4 3 7 7 9l-1 7 7-6h1c8 0 14-5 14-10S24 2 16 2z',
                         fill: '#fff', stroke: '#000'}],
               ['path', {d: 'M12 10c0-3 8-3 8 0 0 3-4 3-4 6v1', fill: 'none', stroke: '#00f',
                         'stroke-width': 3}],
               ['rect', {x: 14.5, y: 19, width: 3, height: 3, fill: '#00f'}]],
    information: [['path', {d: 'M16 2C8 2 2 7 2 13c0 4 3 7 7 9l-1 7 7-6h1c8 0 14-5 14-10S24 2 16 2z',
                            fill: '#fff', stroke: '#000'}],
                  ['rect', {x: 14.5, y: 6, width: 3, height: 3, fill: '#00f'}],
                  ['rect', {x: 14.5, y: 11, width: 3, height: 9, fill: '#00f'}]],
    warning: [['path', {d: 'M16 2L30 28H2z', fill: '#ff0', stroke: '#000'}],
              ['rect', {x: 14.5, y: 10, width: 3, height: 10, fill: '#000'}],
              ['rect', {x: 14.5, y: 22, width: 3, height: 3, fill: '#000'}]],
    critical: [['circle', {cx: 16, cy: 16, r: 14, fill: '#f00', stroke: '#800'}],
               ['path', {d: 'M10 10l12 12 M22 10l-12 12', stroke: '#fff', 'stroke-width': 3}]],
  };

  // The user's action reaches the program only while it waits for one; while it is busy (in
  // Main, behind a box, in a Refresh) the action is dropped, never queued.
  function post(window, kind, item = 0) {
    if (!waiting) return;
    const resolve = waiting;
    waiting = null;
    resolve({window, kind, item});
  }
  const ControlClicked = 1, MenuClicked = 2, WindowClosed = 3;

  // ----- Windows -----------------------------------------------------------------------------

  function frameWidth(record) {
    return record.d.sizable ? SizableBorder : DialogBorder;
  }

  function resizeTo(record, clientWidth, clientHeight) {
    record.clientWidth = Math.max(0, Math.round(clientWidth));
    record.clientHeight = Math.max(0, Math.round(clientHeight));
    const frame = frameWidth(record);
    const bars = (record.d.titleBar ? TitleBarHeight : 0) + (record.menubar ? MenuBarHeight : 0);
    record.client.style.width = `${record.clientWidth}px`;
    record.client.style.height = `${record.clientHeight}px`;
    record.element.style.width = `${record.clientWidth + 2 * frame}px`;
    record.element.style.height = `${record.clientHeight + 2 * frame + bars}px`;
  }

  function moveTo(record, left, top) {
    record.left = Math.round(left);
    record.top = Math.round(top);
    record.element.style.left = `${record.left}px`;
    record.element.style.top = `${record.top}px`;
  }

  function bringToFront(record) {
    record.element.style.zIndex = String(++stacking);
    for (const other of windows.values())
      other.element.toggleAttribute('data-active', other === record);
  }

  // Dragging with the mouse: `onMove` gets the distance from where the drag began.
  function dragWith(handle, onStart, onMove) {
    handle.addEventListener('pointerdown', (event) => {
      if (event.button !== 0 || event.target.closest('button')) return;
      event.preventDefault();
      handle.setPointerCapture(event.pointerId);
      const start = Object.assign({x: event.clientX, y: event.clientY}, onStart());
      const move = (moved) => onMove(moved.clientX - start.x, moved.clientY - start.y, start);
      const stop = () => {
        handle.removeEventListener('pointermove', move);
        handle.removeEventListener('pointerup', stop);
        handle.removeEventListener('pointercancel', stop);
      };
      handle.addEventListener('pointermove', move);
      handle.addEventListener('pointerup', stop);
      handle.addEventListener('pointercancel', stop);
    });
  }

  function addResizeHandles(record) {
    for (const edge of ['n', 's', 'e', 'w', 'ne', 'nw', 'se', 'sw']) {
      const handle = element('div', {'data-part': 'resize', 'data-edge': edge, class: 'resize'},
                             record.element);
      dragWith(handle,
               () => ({width: record.clientWidth, height: record.clientHeight,
                       left: record.left, top: record.top}),
               (dx, dy, start) => {
                 let width = start.width, height = start.height, left = start.left,
                     top = start.top;
                 if (edge.includes('e')) width = start.width + dx;
                 if (edge.includes('s')) height = start.height + dy;
                 if (edge.includes('w')) {
                   width = Math.max(0, start.width - dx);
                   left = start.left + start.width - width;
                 }
                 if (edge.includes('n')) {
                   height = Math.max(0, start.height - dy);
                   top = start.top + start.height - height;
                 }
                 record.element.removeAttribute('data-centred');
                 resizeTo(record, width, height);
                 moveTo(record, left, top);
               });
    }
  }

  // The maximize box fills the desktop with the window, and puts it back the second time.
  function maximize(record) {
    if (record.restore) {
      const [left, top, width, height] = record.restore;
      record.restore = null;
      resizeTo(record, width, height);
      moveTo(record, left, top);
      return;
    }
    record.restore = [record.left, record.top, record.clientWidth, record.clientHeight];
    const desktop = part('desktop');
    const frame = 2 * frameWidth(record);
    resizeTo(record, desktop.clientWidth - frame,
             desktop.clientHeight - frame - TitleBarHeight - (record.menubar ? MenuBarHeight : 0));
    moveTo(record, 0, 0);
  }

  function buildTitleBar(record) {
    const d = record.d;
    const bar = element('div', {'data-part': 'titlebar', class: 'titlebar'}, record.element);
    if (d.icon) {
      record.icon = element('img', {'data-part': 'icon', class: 'title-icon', alt: '',
                                    src: d.icon, draggable: 'false'}, bar);
    }
    element('span', {'data-part': 'caption', class: 'caption', id: `caption-${record.id}`}, bar)
        .textContent = d.caption;
    const button = (name, label, onClick) => {
      const made = element('button', {type: 'button', 'data-part': name, class: 'title-button',
                                      tabindex: '-1', 'aria-label': label}, bar);
      made.appendChild(glyph(14, 12, titleGlyphs[name]));
      made.addEventListener('click', onClick);
      return made;
    };
    if (d.minButton) button('minimize', 'Minimize', () => minimize(record, true));
    if (d.maxButton) button('maximize', 'Maximize', () => maximize(record));
    if (d.controlBox) button('close', 'Close', () => post(record.id, WindowClosed));
    dragWith(bar, () => ({left: record.left, top: record.top}), (dx, dy, start) => {
      record.element.removeAttribute('data-centred');
      moveTo(record, start.left + dx, start.top + dy);
    });
  }

  // ----- Menus -------------------------------------------------------------------------------

  function closeMenus(record, restoreFocus) {
    for (const popup of record.element.querySelectorAll('[data-part="menu"]')) popup.hidden = true;
    for (const title of record.element.querySelectorAll('[aria-haspopup]'))
      title.setAttribute('aria-expanded', 'false');
    if (restoreFocus && record.focusBeforeMenu && record.focusBeforeMenu.isConnected)
      record.focusBeforeMenu.focus({preventScroll: true});
  }

  function openMenu(record, title, popup, focusFirst) {
    closeMenus(record, false);
    popup.hidden = false;
    title.setAttribute('aria-expanded', 'true');
    popup.style.left = `${title.offsetLeft}px`;
    if (focusFirst) {
      const first = popup.querySelector('[role="menuitem"]:not([aria-disabled="true"])');
      if (first) first.focus({preventScroll: true});
    }
  }

  function rememberFocus(record) {
    const focused = document.activeElement;
    if (!focused || !record.element.contains(focused) || focused.closest('[data-part="menubar"]'))
      return;
    record.focusBeforeMenu = focused;
  }

  function menuItemKeys(record, popup, event) {
    const items = [...popup.querySelectorAll('[role="menuitem"]')];
    const at = items.indexOf(document.activeElement);
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      const step = event.key === 'ArrowDown' ? 1 : items.length - 1;
      items[(at + step) % items.length].focus({preventScroll: true});
    } else if (event.key === 'Escape') {
      event.preventDefault();
      event.stopPropagation();
      closeMenus(record, true);
    } else if (event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      event.stopPropagation();
      if (at >= 0) items[at].click();
    }
  }

  function buildMenus(record) {
    const menus = record.d.menus;
    if (menus.length === 0) return;
    record.menubar = element('div', {'data-part': 'menubar', class: 'menubar', role: 'menubar'},
                             record.element);
    for (const menu of menus.filter((m) => m.parent === '')) {
      const children = menus.filter((m) => m.parent === menu.name);
      const title = element('div', {'data-control': menu.name, class: 'menu-title',
                                    role: 'menuitem', tabindex: '-1',
                                    'aria-haspopup': children.length ? 'menu' : null,
                                    'aria-expanded': children.length ? 'false' : null,
                                    'aria-disabled': menu.enabled ? null : 'true',
                                    hidden: !menu.visible},
                            record.menubar);
      title.textContent = menu.caption;
      if (children.length === 0) {
        title.addEventListener('click', () => menu.enabled && post(record.id, MenuClicked,
                                                                    menu.index));
        continue;
      }
      const popup = element('div', {'data-part': 'menu', 'data-for': menu.name, class: 'menu',
                                    role: 'menu', hidden: true}, record.menubar);
      for (const child of children) {
        const item = element('div', {'data-control': child.name, class: 'menu-item',
                                     role: child.checked ? 'menuitemcheckbox' : 'menuitem',
                                     'aria-checked': child.checked ? 'true' : null,
                                     'aria-disabled': child.enabled ? null : 'true',
                                     tabindex: '-1', hidden: !child.visible}, popup);
        item.textContent = child.caption;
        item.addEventListener('mouseenter', () => item.focus());
        item.addEventListener('click', () => {
          if (!child.enabled) return;
          closeMenus(record, true);
          post(record.id, MenuClicked, child.index);
        });
      }
      popup.addEventListener('keydown', (event) => menuItemKeys(record, popup, event));
      title.addEventListener('mousedown', (event) => {
        event.preventDefault();
        rememberFocus(record);
        if (popup.hidden) openMenu(record, title, popup, false);
        else closeMenus(record, true);
      });
      title.addEventListener('keydown', (event) => {
        if (['Enter', ' ', 'ArrowDown'].includes(event.key)) {
          event.preventDefault();
          openMenu(record, title, popup, true);
        } else if (event.key === 'Escape') {
          event.preventDefault();
          event.stopPropagation();
          closeMenus(record, true);
        }
      });
    }
    // A click anywhere else closes an open menu, as on the desktop.
    record.closeMenusOutside = (event) => {
      if (!record.menubar.contains(event.target)) closeMenus(record, false);
    };
    document.addEventListener('mousedown', record.closeMenusOutside, true);
  }

  // ----- Controls ----------------------------------------------------------------------------

  function buildFrame(c, made) {
    made.style.background = c.back;
    made.style.color = c.fore;
    applyFont(made, c.font);
    // The border and caption are drawn only where the frame has room for them; a frame
    // without a caption is a plain panel of its background.
    if (c.caption === '' || c.height < c.font.px + 2 || c.width < 4) return;
    const border = element('div', {class: 'frame-border'}, made);
    border.style.top = `${Math.floor(c.font.px / 2)}px`;
    element('span', {'data-part': 'frame-caption', class: 'frame-caption'}, made).textContent =
        c.caption;
  }

  function buildLabel(c, made) {
    made.style.background = c.back;
    made.style.color = c.fore;
    made.style.textAlign = c.align;
    applyFont(made, c.font);
    made.classList.toggle('autosize', c.autoSize);
    made.textContent = c.caption;
  }

  function buildLine(c, made) {
    if (c.width === 1 || c.height === 1) {
      made.style.background = c.colour;
      return;
    }
    const [y1, y2] = c.falling ? [0.5, c.height - 0.5] : [c.height - 0.5, 0.5];
    made.appendChild(glyph(c.width, c.height, [['line', {x1: 0.5, y1, x2: c.width - 0.5, y2,
                                                         stroke: c.colour,
                                                         'shape-rendering': 'crispEdges'}]]));
  }

  function buildTextBox(c, made) {
    made.type = 'text';
    made.value = c.caption;
    made.spellcheck = false;
    made.autocomplete = 'off';
    made.setAttribute('autocapitalize', 'off');
    made.setAttribute('autocorrect', 'off');
    made.style.background = c.back;
    made.style.color = c.fore;
    made.style.textAlign = c.align;
    applyFont(made, c.font);
  }

  function buildButton(record, c, made) {
    made.type = 'button';
    made.textContent = c.caption;
    made.style.background = c.back;
    made.style.color = c.fore;
    applyFont(made, c.font);
    if (c.keyFlag === 'default') {
      made.classList.add('default');
      record.defaultButton = made;
    } else if (c.keyFlag === 'cancel') {
      record.cancelButton = made;
    }
    // A click puts the focus on the button in every browser, as it does on the desktop.
    made.addEventListener('mousedown', () => made.focus());
    made.addEventListener('click', () => post(record.id, ControlClicked, c.index));
  }

  const controlTags = {frame: 'div', label: 'div', image: 'div', line: 'div', textbox: 'input',
                       button: 'button'};

  function buildControl(record, c) {
    const container = c.container ? record.byName.get(c.container) : record.client;
    const made = element(controlTags[c.kind], {'data-control': c.name, class: c.kind},
                         container);
    place(made, c.x, c.y, c.width, c.height);
    record.controls.set(c.index, {c, made});
    record.byName.set(c.name, made);
    if (c.kind === 'frame') buildFrame(c, made);
    else if (c.kind === 'label') buildLabel(c, made);
    else if (c.kind === 'line') buildLine(c, made);
    else if (c.kind === 'textbox') buildTextBox(c, made);
    else if (c.kind === 'button') buildButton(record, c, made);
    if (c.accessibleName) made.setAttribute('aria-label', c.accessibleName);
    // Pictures and lines say nothing to a screen reader; a frame with a caption is a group.
    if (c.kind === 'image' || c.kind === 'line') made.setAttribute('aria-hidden', 'true');
    if (c.kind === 'frame' && c.caption) {
      made.setAttribute('role', 'group');
      made.setAttribute('aria-label', c.caption);
    }
  }

  // An AutoSize label takes the size of its caption on one line in its font, keeping its place.
  let measurer = null;
  function fitToText(entry) {
    if (!measurer) measurer = element('span', {class: 'measure', 'aria-hidden': 'true'},
                                      document.body);
    applyFont(measurer, entry.c.font);
    measurer.textContent = entry.made.textContent;
    const box = measurer.getBoundingClientRect();
    entry.made.style.width = `${Math.round(box.width)}px`;
    entry.made.style.height = `${Math.round(box.height)}px`;
  }

  // The pictures a window shows, each decoded by the browser before the window may show.
  async function loadPictures(record) {
    const loads = [];
    for (const entry of record.controls.values()) {
      const c = entry.c;
      if (c.kind !== 'image' || !c.picture) continue;
      const picture = element('img', {alt: '', src: c.picture, draggable: 'false'}, entry.made);
      loads.push(picture.decode().then(() => {
        picture.style.width = `${picture.naturalWidth}px`;
        picture.style.height = `${picture.naturalHeight}px`;
      }, () => [c.name, 'load picture', `"${c.picture}" cannot be read or decoded`]));
    }
    if (record.icon)
      loads.push(record.icon.decode().then(() => {}, () => ['', 'load icon',
                                                          `"${record.d.icon}" cannot be read`]));
    return (await Promise.all(loads)).find((failure) => failure) || null;
  }

  function fontsOf(d) {
    const fonts = new Set(['400 11px "Arial"', '700 11px "Arial"']);
    for (const c of d.controls) if (c.font) fonts.add(cssFont(c.font));
    return [...fonts];
  }

  // ----- Keys --------------------------------------------------------------------------------

  function tabStops(record) {
    return record.d.tabOrder.map((index) => record.controls.get(index).made)
        .filter((made) => !made.disabled && made.offsetParent !== null);
  }

  function focusFirstStop(record) {
    const [first] = tabStops(record);
    if (first) first.focus({preventScroll: true});
  }

  function windowKeys(record, event) {
    // Keys that an input method is composing with are its own.
    if (event.defaultPrevented || event.isComposing ||
        event.target.closest('[data-part="menubar"]'))
      return;
    if (event.key === 'Tab') {
      // Tab moves among the window's own controls only; a text box it reaches is selected whole.
      event.preventDefault();
      const stops = tabStops(record);
      if (stops.length === 0) return;
      const at = stops.indexOf(document.activeElement);
      const next = stops[at < 0 ? 0 : (at + (event.shiftKey ? stops.length - 1 : 1)) % stops.length];
      next.focus({preventScroll: true});
      if (next.tagName === 'INPUT') next.select();
    } else if (event.key === 'Enter') {
      // Return presses the focused button (the browser does that), else the default button.
      if (event.target.tagName === 'BUTTON' || !record.defaultButton) return;
      event.preventDefault();
      record.defaultButton.click();
    } else if (event.key === 'Escape' && record.cancelButton) {
      event.preventDefault();
      record.cancelButton.click();
    } else if (event.key === 'F10' && record.menubar) {
      event.preventDefault();
      rememberFocus(record);
      const first = record.menubar.querySelector('[role="menuitem"]:not([hidden])');
      if (first) first.focus({preventScroll: true});
    }
  }

  // ----- Task bar ----------------------------------------------------------------------------

  function minimize(record, minimized) {
    record.element.toggleAttribute('data-minimized', minimized);
    if (record.taskButton) record.taskButton.setAttribute('aria-pressed', String(!minimized));
    if (!minimized) {
      bringToFront(record);
      focusFirstStop(record);
    }
  }

  function addTaskButton(record) {
    const bar = part('taskbar');
    const button = element('button', {type: 'button', 'data-taskbar': record.d.name,
                                      class: 'task-button', 'aria-pressed': 'true',
                                      tabindex: '-1'}, bar);
    if (record.d.icon) element('img', {src: record.d.icon, alt: '', class: 'task-icon'}, button);
    element('span', {}, button).textContent = record.d.caption;
    button.addEventListener('click', () => {
      const minimized = record.element.hasAttribute('data-minimized');
      const front = record.element.hasAttribute('data-active');
      minimize(record, !minimized && front);
    });
    record.taskButton = button;
    bar.hidden = false;
  }

  // ----- What the C++ side calls -------------------------------------------------------------

  let title = '';

  // The program's identity: the page's title, and the name the notice at the end gives.
  function begin(identity) {
    title = identity.title;
    document.title = title;
    part('ended').querySelector('p').textContent = `${title} has ended.`;
    part('restart').textContent = `Start ${title} again`;
    part('restart').addEventListener('click', () => location.reload());
  }

  function traced() {
    return typeof window.quiblyTrace === 'function';
  }

  async function trace(object, operation) {
    try {
      await window.quiblyTrace(object, operation);
    } catch (error) {
      console.error('quiblyTrace', error);
    }
  }

  async function createWindow(id, d) {
    const record = {id, d, controls: new Map(), byName: new Map(), clientWidth: 0,
                    clientHeight: 0, left: 0, top: 0, menubar: null, icon: null};
    record.element = element('div', {'data-form': d.name, class: 'window', hidden: true,
                                     'data-resizable': d.sizable,
                                     'aria-labelledby': d.titleBar ? `caption-${id}` : null},
                             part('desktop'));
    record.element.classList.toggle('sizable', d.sizable);
    if (d.sizable) addResizeHandles(record);
    if (d.titleBar) buildTitleBar(record);
    buildMenus(record);
    record.client = element('div', {'data-part': 'client', class: 'client'}, record.element);
    record.client.style.background = d.back;
    // The client area never scrolls, not even to show a control that the focus reaches but
    // its edge cuts off.
    record.client.addEventListener('scroll', () => record.client.scrollTo(0, 0));
    resizeTo(record, d.width, d.height);
    for (const c of d.controls) buildControl(record, c);
    record.element.addEventListener('keydown', (event) => windowKeys(record, event));
    record.element.addEventListener('mousedown', (event) => {
      bringToFront(record);
      // Only controls that take the focus take it from a click.
      if (!event.target.closest('input, button, [role="menuitem"]')) event.preventDefault();
    });
    windows.set(id, record);

    await Promise.all(fontsOf(d).map((font) => document.fonts.load(font)));
    const failure = await loadPictures(record);
    if (failure) {
      destroyWindow(id);
      return failure;
    }
    for (const entry of record.controls.values())
      if (entry.c.autoSize) fitToText(entry);
    return null;
  }

  function showWindow(id) {
    const record = windows.get(id);
    if (!record || !record.element.hidden) return;
    record.element.hidden = false;
    const frame = frameWidth(record);
    const bars = (record.d.titleBar ? TitleBarHeight : 0) + (record.menubar ? MenuBarHeight : 0);
    if (record.d.placement === 'manual') {
      moveTo(record, record.d.x - frame, record.d.y - frame - bars);
    } else {
      const desktop = part('desktop');
      moveTo(record, Math.max(0, (desktop.clientWidth - record.element.offsetWidth) / 2),
             Math.max(0, (desktop.clientHeight - record.element.offsetHeight) / 2));
      record.element.setAttribute('data-centred', '');
    }
    if (record.d.taskbar) addTaskButton(record);
    bringToFront(record);
    focusFirstStop(record);
  }

  // Resolves once a frame showing the window has been presented: the frame after the one the
  // first callback came before.
  function refreshWindow(id) {
    const record = windows.get(id);
    if (!record || record.element.hidden) return Promise.resolve();
    return new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
  }

  function destroyWindow(id) {
    const record = windows.get(id);
    if (!record) return;
    windows.delete(id);
    record.element.remove();
    if (record.taskButton) record.taskButton.remove();
    if (record.closeMenusOutside)
      document.removeEventListener('mousedown', record.closeMenusOutside, true);
    const bar = part('taskbar');
    bar.hidden = bar.children.length === 0;
  }

  function controlText(id, index) {
    const entry = windows.get(id).controls.get(index);
    return entry.c.kind === 'textbox' ? entry.made.value : entry.made.textContent;
  }

  function setCaption(id, index, caption) {
    const entry = windows.get(id).controls.get(index);
    entry.made.textContent = caption;
    if (entry.c.autoSize) fitToText(entry);
  }

  // Each announcement is a new paragraph of the live region, so that a caption said again is
  // announced again.
  function announce(caption) {
    const region = part('announcer');
    region.replaceChildren();
    element('p', {}, region).textContent = caption;
  }

  // The program waits for the user's next action: from the first time on, Main has returned,
  // which the page shows on its root element (data-main-returned) for whoever drives it.
  function nextEvent() {
    document.documentElement.setAttribute('data-main-returned', '');
    return new Promise((resolve) => { waiting = resolve; });
  }

  // ----- Boxes -------------------------------------------------------------------------------

  let boxCount = 0;

  // A modal box over the page, laid out as the desktop's message box: icon, text, a row of
  // buttons. Resolves with the code of the button pressed (or the escape answer).
  function showBox(form, box) {
    const id = `box-${++boxCount}`;
    const dialog = element('dialog', {'data-form': form, class: 'window box',
                                      role: 'alertdialog', 'aria-modal': 'true',
                                      'aria-labelledby': `${id}-caption`,
                                      'aria-describedby': `${id}-prompt`,
                                      dir: box.rightToLeft ? 'rtl' : null}, document.body);
    const bar = element('div', {'data-part': 'titlebar', class: 'titlebar'}, dialog);
    element('span', {'data-part': 'caption', class: 'caption', id: `${id}-caption`}, bar)
        .textContent = box.title;
    const body = element('div', {class: 'box-body'}, dialog);
    if (box.icon) {
      const icon = element('div', {'data-part': 'msgicon', 'data-icon': box.icon,
                                   class: 'box-icon'}, body);
      icon.appendChild(glyph(32, 32, boxIcons[box.icon]));
    }
    const prompt = element('div', {'data-part': 'prompt', class: 'box-prompt',
                                   id: `${id}-prompt`}, body);
    prompt.textContent = box.prompt;
    if (box.rightAligned) prompt.style.textAlign = 'right';
    const row = element('div', {class: 'box-buttons'}, dialog);

    return new Promise((resolve) => {
      const previous = document.activeElement;
      const answer = (code) => {
        dialog.close();
        dialog.remove();
        if (previous && previous.isConnected) previous.focus({preventScroll: true});
        resolve(code);
      };
      if (box.escape) {
        const close = element('button', {type: 'button', 'data-part': 'close',
                                         class: 'title-button', tabindex: '-1',
                                         'aria-label': 'Close'}, bar);
        close.appendChild(glyph(14, 12, titleGlyphs.close));
        close.addEventListener('click', () => answer(box.escape));
      }
      const buttons = box.buttons.map((button, index) => {
        const made = element('button', {type: 'button', 'data-answer': button.caption,
                                        class: 'button box-button',
                                        'data-default': index === box.defaultButton}, row);
        made.textContent = button.caption;
        made.addEventListener('click', () => answer(button.code));
        return made;
      });
      if (box.helpButton) {
        const help = element('button', {type: 'button', 'data-answer': 'Help',
                                        class: 'button box-button'}, row);
        help.textContent = 'Help';
        help.addEventListener('click', () => showHelp(box));
      }
      dialog.addEventListener('keydown', (event) => {
        if (event.target.closest('dialog') !== dialog) return;
        if (event.key === 'Escape') {
          event.preventDefault();
          if (box.escape) answer(box.escape);
        } else if (event.key === 'F1' && box.helpText) {
          event.preventDefault();
          showHelp(box);
        } else if (event.key === 'Tab' || event.key.startsWith('Arrow')) {
          // Tab and the arrow keys move among the box's buttons only.
          event.preventDefault();
          const at = buttons.indexOf(document.activeElement);
          const back = event.shiftKey || event.key === 'ArrowLeft' || event.key === 'ArrowUp';
          buttons[(at + (back ? buttons.length - 1 : 1)) % buttons.length].focus({preventScroll: true});
        }
      });
      // Closed by the browser itself (a second Escape): the escape answer, or none.
      dialog.addEventListener('cancel', (event) => event.preventDefault());
      dialog.addEventListener('close', () => dialog.isConnected && answer(box.escape || 0));
      dialog.showModal();
      buttons[box.defaultButton].focus({preventScroll: true});
    });
  }

  // F1 in a box: what the help topic would say, in a box of its own; the question stays open.
  function showHelp(box) {
    return showBox('Help', {title: box.title, prompt: box.helpText, icon: 'information',
                            buttons: [{caption: 'OK', code: 1}], defaultButton: 0, escape: 1});
  }

  function messageBox(box) {
    return showBox('MsgBox', box);
  }

  async function runTimeError(error) {
    await showBox('RunTimeError', {title: error.title, prompt: error.message, icon: 'critical',
                                   buttons: [{caption: 'OK', code: 1}], defaultButton: 0,
                                   escape: 1});
  }

  function ended(status) {
    for (const id of [...windows.keys()]) destroyWindow(id);
    const notice = part('ended');
    notice.setAttribute('data-exit-status', String(status));
    notice.hidden = false;
    part('restart').focus({preventScroll: true});
  }

  // ----- Texts between the two sides ---------------------------------------------------------

  // UTF-16 code units from the program's memory, exactly as they are (NUL included).
  function text(pointer, length) {
    const units = HEAPU16.subarray(pointer >> 1, (pointer >> 1) + length);
    let made = '';
    for (let at = 0; at < units.length; at += 8192)
      made += String.fromCharCode.apply(null, units.subarray(at, at + 8192));
    return made;
  }

  // A text copied into malloc'd memory for the program, which frees it; its length goes to
  // `lengthPointer`.
  function utf16(value, lengthPointer) {
    const pointer = _malloc(Math.max(2, value.length * 2));
    for (let at = 0; at < value.length; ++at) HEAPU16[(pointer >> 1) + at] = value.charCodeAt(at);
    HEAP32[lengthPointer >> 2] = value.length;
    return pointer;
  }

  function utf8(value) {
    const size = lengthBytesUTF8(value) + 1;
    const pointer = _malloc(size);
    stringToUTF8(value, pointer, size);
    return pointer;
  }

  return {begin, traced, trace, createWindow, showWindow, refreshWindow, destroyWindow,
          controlText, setCaption, announce, nextEvent, messageBox, runTimeError, ended, text,
          utf16, utf8};
})();
