// What the page's scripts share: making elements, small SVG pictures, and the one way the user's
// actions reach the program.
//
// Joined to the program's script with the page's other scripts (emcc --pre-js, in the order
// src/runtime/web/CMakeLists.txt gives), each one object of functions.

const PageKit = (() => {
  'use strict';

  let waiting = null; // resolves the program's wait for the user's next action

  const part = (name) => document.querySelector(`[data-part="${name}"]`);

  function element(tag, attributes = {}, parent = null) {
    const made = document.createElement(tag);
    for (const name of Object.keys(attributes)) {
      const value = attributes[name];
      if (value !== null && value !== false) made.setAttribute(name, value === true ? '' : value);
    }
    if (parent) parent.appendChild(made);
    return made;
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

  // A box of a title bar: minimize, maximize or close.
  function titleButton(bar, name, label) {
    const made = element('button', {type: 'button', 'data-part': name, class: 'title-button',
                                    tabindex: '-1', 'aria-label': label}, bar);
    made.appendChild(glyph(14, 12, titleGlyphs[name]));
    return made;
  }

  // The user's action reaches the program only while it waits for one; while it is busy (in
  // Main, behind a box, in a Refresh) the action is dropped, never queued.
  function post(window, kind, item = 0) {
    if (!waiting) return;
    const resolve = waiting;
    waiting = null;
    resolve({window, kind, item});
  }
  const ControlClicked = 1, MenuClicked = 2, WindowClosed = 3;

  // The program waits for the user's next action: from the first time on, Main has returned,
  // which the page shows on its root element (data-main-returned) for whoever drives it.
  function nextEvent() {
    document.documentElement.setAttribute('data-main-returned', '');
    return new Promise((resolve) => { waiting = resolve; });
  }

  return {part, element, glyph, titleButton, post, nextEvent, ControlClicked, MenuClicked,
          WindowClosed};
})();
