// The screen the page's desktop is drawn on: at what scale, so that the windows fit a small
// screen (a phone, either way up), and what the on-screen keyboard leaves of it, so that the
// text box being typed in and its window's default button stay in sight.
//
// Joined to the program's script with the page's other scripts (emcc --pre-js, in the order
// src/runtime/web/CMakeLists.txt gives), each one object of functions.

const PageScreen = (() => {
  'use strict';
  const part = PageKit.part;

  const TaskBarHeight = 28; // as quibly.css draws it
  const Slack = 0.001;      // what rounding leaves of a window that fits exactly

  let scale = 1;               // CSS pixels per pixel of the desktop
  let size = {width: 0, height: 0}; // of the screen, without the on-screen keyboard
  let desktop = {width: 0, height: 0}; // in the desktop's pixels
  let lift = 0;                // CSS pixels the desktop is raised above the keyboard
  const refitted = [];         // told when the desktop's scale or size changes

  // The text box of a window that has the focus, if one has.
  function typingIn() {
    const focused = document.activeElement;
    return focused && focused.tagName === 'INPUT' && focused.closest('[data-form]') ? focused : null;
  }

  // The screen's size. A layout viewport that only grows shorter while a text box has the
  // focus is the on-screen keyboard taking part of it (interactive-widget=resizes-content, and
  // browsers that do that anyway): the desktop keeps its size and is raised instead.
  function measure() {
    const keyboard = typingIn() && innerWidth === size.width && innerHeight < size.height;
    if (!keyboard) size = {width: innerWidth, height: innerHeight};
  }

  // What the shown windows need: the largest of them, and the task bar below.
  function needed() {
    let width = 0, height = 0;
    for (const shown of part('desktop').querySelectorAll('.window:not([hidden]):not([data-minimized])')) {
      width = Math.max(width, shown.offsetWidth);
      height = Math.max(height, shown.offsetHeight);
    }
    return {width, height: height + (part('taskbar').hidden ? 0 : TaskBarHeight)};
  }

  // The largest scale, at most the natural one, at which the windows fit; below it only scales
  // of whole device pixels per pixel, so that lines and pictures stay sharp. Where none fits,
  // the smallest, and the user pans.
  function scaleFor(need) {
    const ratio = window.devicePixelRatio || 1;
    const scales = [1];
    for (let pixels = Math.ceil(ratio) - 1; pixels >= 1; --pixels) scales.push(pixels / ratio);
    const fits = (s) => need.width * s <= size.width + Slack && need.height * s <= size.height + Slack;
    return scales.find(fits) || scales[scales.length - 1];
  }

  function refit() {
    measure();
    const need = needed();
    const newScale = scaleFor(need);
    const newDesktop = {width: Math.max(size.width / newScale, need.width),
                        height: Math.max(size.height / newScale, need.height)};
    const root = document.documentElement, body = document.body;
    root.toggleAttribute('data-scaled', newScale !== 1);
    root.toggleAttribute('data-pan', newDesktop.width > size.width / newScale + Slack ||
                                     newDesktop.height > size.height / newScale + Slack);
    root.style.setProperty('--scale', String(newScale));
    body.style.width = `${newDesktop.width}px`;
    body.style.height = `${newDesktop.height}px`;
    const changed = newScale !== scale || newDesktop.width !== desktop.width ||
                    newDesktop.height !== desktop.height;
    scale = newScale;
    desktop = newDesktop;
    if (changed) for (const told of refitted) told();
    raise();
  }

  // The part of the layout viewport that the user sees, in CSS pixels: all of it, less what the
  // on-screen keyboard covers where only the visual viewport shrinks for it (Chrome on Android,
  // Safari on iOS).
  function seen() {
    const view = window.visualViewport;
    if (!view) return {top: 0, bottom: innerHeight};
    return {top: view.offsetTop, bottom: Math.min(innerHeight, view.offsetTop + view.height)};
  }

  // While a text box has the focus and the keyboard covers part of the screen, the desktop
  // rises until the box and its window's default button are in sight above the keyboard (the
  // box's top kept in sight first); it comes down when the keyboard goes. Not while the user
  // has zoomed the page: the user has chosen what to see.
  function raise() {
    const box = typingIn();
    const view = window.visualViewport;
    const visible = seen();
    const zoomed = view && Math.abs(view.scale - 1) > Slack;
    const keyboard = visible.bottom - visible.top < size.height - 1;
    let wanted = 0;
    if (box && keyboard && !zoomed) {
      const owner = box.closest('[data-form]');
      const row = [box, owner.querySelector('button.default')].filter((made) => made)
          .map((made) => made.getBoundingClientRect());
      const top = Math.min(...row.map((r) => r.top)) + lift;
      const bottom = Math.max(...row.map((r) => r.bottom)) + lift;
      wanted = Math.max(0, Math.min(bottom - visible.bottom, top - visible.top));
    }
    if (wanted === lift) return;
    lift = wanted;
    part('desktop').style.translate = lift ? `0 ${-lift / scale}px` : '';
  }

  function start() {
    refit();
    addEventListener('resize', refit);
    if (window.visualViewport) {
      visualViewport.addEventListener('resize', refit);
      visualViewport.addEventListener('scroll', raise);
    }
    document.addEventListener('focusin', raise);
  }

  // The CSS pixels that one pixel of the desktop takes.
  return {start, refit, scale: () => scale, onRefit: (told) => refitted.push(told)};
})();
