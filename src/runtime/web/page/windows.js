// The program's windows on the page's desktop: frame, title bar, task-bar button, moving and
// resizing with the mouse, the keys that work across a window, and their lifecycle.
//
// Joined to the program's script with the page's other scripts (emcc --pre-js, in the order
// src/runtime/web/CMakeLists.txt gives), each one object of functions.

const PageWindows = (() => {
  'use strict';
  const part = PageKit.part, element = PageKit.element, titleButton = PageKit.titleButton;
  const post = PageKit.post, WindowClosed = PageKit.WindowClosed;
  const scale = PageScreen.scale, refit = PageScreen.refit;
  const buildMenus = PageMenus.buildMenus, rememberFocus = PageMenus.rememberFocus;
  const buildControl = PageControls.buildControl, fitToText = PageControls.fitToText;
  const loadPictures = PageControls.loadPictures, fontsOf = PageControls.fontsOf;

  // Widths of the window frame and heights of the title and menu bars, in CSS pixels: those of
  // the desktop the layouts were made for.
  const SizableBorder = 4;
  const DialogBorder = 3;
  const TitleBarHeight = 18;
  const MenuBarHeight = 19;

  const windows = new Map(); // page number -> window record
  let stacking = 10;

  function resizeTo(record, clientWidth, clientHeight) {
    record.clientWidth = Math.max(0, Math.round(clientWidth));
    record.clientHeight = Math.max(0, Math.round(clientHeight));
    record.client.style.width = `${record.clientWidth}px`;
    record.client.style.height = `${record.clientHeight}px`;
    record.element.style.width = `${record.clientWidth + 2 * record.border}px`;
    record.element.style.height = `${record.clientHeight + 2 * record.border + record.bars}px`;
  }

  function moveTo(record, left, top) {
    record.left = Math.round(left);
    record.top = Math.round(top);
    record.element.style.left = `${record.left}px`;
    record.element.style.top = `${record.top}px`;
  }

  // A window a finger moves, or that a smaller screen leaves outside, keeps its title bar on
  // the desktop, where a finger can take it again.
  const Reach = 40;
  function keepInReach(record) {
    const desktop = part('desktop');
    const width = record.element.offsetWidth;
    moveTo(record,
           Math.min(Math.max(record.left, Reach - width), desktop.clientWidth - Reach),
           Math.min(Math.max(record.top, 0), desktop.clientHeight - TitleBarHeight));
  }

  function centre(record) {
    const desktop = part('desktop');
    moveTo(record, Math.max(0, (desktop.clientWidth - record.element.offsetWidth) / 2),
           Math.max(0, (desktop.clientHeight - record.element.offsetHeight) / 2));
  }

  // The desktop took a new size or scale (the screen turned, a window came or went): centred
  // windows are centred on it again, the others kept in reach.
  PageScreen.onRefit(() => {
    for (const record of windows.values()) {
      if (record.element.hidden) continue;
      if (record.element.hasAttribute('data-centred')) centre(record);
      else keepInReach(record);
    }
  });

  function bringToFront(record) {
    record.element.style.zIndex = String(++stacking);
    for (const other of windows.values())
      other.element.toggleAttribute('data-active', other === record);
  }

  // Dragging with the mouse or a finger: `onMove` gets the distance from where the drag began,
  // in the desktop's pixels, and whether a finger drags.
  function dragWith(handle, onStart, onMove) {
    handle.addEventListener('pointerdown', (event) => {
      if (event.button !== 0 || event.target.closest('button')) return;
      event.preventDefault();
      handle.setPointerCapture(event.pointerId);
      const start = Object.assign({x: event.clientX, y: event.clientY}, onStart());
      const touch = event.pointerType === 'touch';
      const move = (moved) => onMove((moved.clientX - start.x) / scale(),
                                     (moved.clientY - start.y) / scale(), start, touch);
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
    resizeTo(record, desktop.clientWidth - 2 * record.border,
             desktop.clientHeight - 2 * record.border - record.bars);
    moveTo(record, 0, 0);
  }

  // A title-bar box works when a press on it is released over it. The browser's click is not
  // waited for: it withholds that from a tap that stops the flick a finger just gave the window,
  // while the release always comes. Clicks that no pointer made (assistive technology) work too.
  function pressOnRelease(box, onPress) {
    let pressing = null;
    box.addEventListener('pointerdown', (event) => {
      if (event.button === 0) pressing = event.pointerId;
    });
    box.addEventListener('pointercancel', () => { pressing = null; });
    box.addEventListener('pointerup', (event) => {
      if (event.pointerId !== pressing) return;
      pressing = null;
      const r = box.getBoundingClientRect();
      if (event.clientX >= r.left && event.clientX < r.right && event.clientY >= r.top &&
          event.clientY < r.bottom)
        onPress();
    });
    box.addEventListener('click', (event) => {
      if (event.detail === 0) onPress();
    });
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
    const button = (name, label, onPress) => pressOnRelease(titleButton(bar, name, label), onPress);
    if (d.minButton) button('minimize', 'Minimize', () => minimize(record, true));
    if (d.maxButton) button('maximize', 'Maximize', () => maximize(record));
    if (d.controlBox) button('close', 'Close', () => post(record.id, WindowClosed));
    dragWith(bar, () => ({left: record.left, top: record.top}), (dx, dy, start, touch) => {
      record.element.removeAttribute('data-centred');
      moveTo(record, start.left + dx, start.top + dy);
      if (touch) keepInReach(record);
    });
  }

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
      const first = record.menubar.querySelector('[role="menuitem"]');
      if (first) first.focus({preventScroll: true});
    }
  }

  // ----- Task bar ----------------------------------------------------------------------------

  function minimize(record, minimized) {
    record.element.toggleAttribute('data-minimized', minimized);
    if (record.taskButton) record.taskButton.setAttribute('aria-pressed', String(!minimized));
    refit();
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

  async function createWindow(id, d) {
    const record = {id, d, controls: new Map(), clientWidth: 0, clientHeight: 0, left: 0, top: 0,
                    menubar: null, icon: null};
    record.element = element('div', {'data-form': d.name, class: 'window', hidden: true,
                                     'data-resizable': d.sizable,
                                     'aria-labelledby': d.titleBar ? `caption-${id}` : null},
                             part('desktop'));
    if (d.sizable) addResizeHandles(record);
    if (d.titleBar) buildTitleBar(record);
    buildMenus(record);
    // The frame around the client area: its border on each side, and the bars above it.
    record.border = d.sizable ? SizableBorder : DialogBorder;
    record.bars = (d.titleBar ? TitleBarHeight : 0) + (record.menubar ? MenuBarHeight : 0);
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
    // An on-screen keyboard's Return presses the default button, as Return does.
    if (record.defaultButton)
      for (const box of record.client.querySelectorAll('input')) box.enterKeyHint = 'send';
    return null;
  }

  function showWindow(id) {
    const record = windows.get(id);
    if (!record || !record.element.hidden) return;
    record.element.hidden = false;
    if (record.d.taskbar) addTaskButton(record);
    refit();
    if (record.d.placement === 'manual') {
      moveTo(record, record.d.x - record.border, record.d.y - record.border - record.bars);
    } else {
      centre(record);
      record.element.setAttribute('data-centred', '');
    }
    bringToFront(record);
    focusFirstStop(record);
  }

  // The texts and pictures the browser has presented, by their elementtiming names, where it
  // tells (Element Timing).
  const presented = new Set();
  const reportsPresentation = typeof PerformanceObserver !== 'undefined' &&
                              (PerformanceObserver.supportedEntryTypes || []).includes('element');
  if (reportsPresentation) {
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) presented.add(entry.identifier);
    }).observe({type: 'element', buffered: true});
  }

  function nextFrame() {
    return new Promise((resolve) => requestAnimationFrame(resolve));
  }

  // The window's texts and pictures that its client area shows, by elementtiming name.
  function shownTexts(record) {
    const client = record.client.getBoundingClientRect();
    return [...record.element.querySelectorAll('[elementtiming]')].filter((made) => {
      const box = made.getBoundingClientRect();
      return (made.tagName === 'IMG' || made.textContent !== '') && box.width > 0 &&
             box.height > 0 && box.right > client.left && box.left < client.right &&
             box.bottom > client.top && box.top < client.bottom;
    }).map((made) => made.getAttribute('elementtiming'));
  }

  // Resolves once a frame showing the window has been presented: two frames (the second
  // callback comes after the frame the first came before), and, where the browser reports
  // what it presents, until it has reported each text and picture the window shows; for at
  // most a second more, so that a browser that reports less holds nothing up.
  async function refreshWindow(id) {
    const record = windows.get(id);
    if (!record || record.element.hidden) return;
    await nextFrame();
    await nextFrame();
    if (!reportsPresentation) return;
    const wanted = shownTexts(record);
    const deadline = performance.now() + 1000;
    while (!wanted.every((name) => presented.has(name)) && performance.now() < deadline)
      await nextFrame();
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
    refit();
  }

  function destroyAll() {
    for (const id of [...windows.keys()]) destroyWindow(id);
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

  return {createWindow, showWindow, refreshWindow, destroyWindow, destroyAll, controlText,
          setCaption};
})();
