// The web driver's side in the page when it runs as a phone (tests/support/web/Phone.h), given to
// every page before its own scripts run, after driver.js.
//
// Chromium's device emulation can shrink the layout viewport as an on-screen keyboard does with
// interactive-widget=resizes-content, but not the visual viewport alone, as Chrome on Android and
// Safari do by default: for that, `visualViewport` stands in for the browser's, the same but for
// the part of the screen the emulated keyboard covers, and reports its resize as theirs does.

(() => {
  'use strict';
  const real = window.visualViewport;
  let covered = 0; // CSS pixels at the bottom of the visual viewport under the keyboard
  const events = new EventTarget();
  const standIn = {
    get offsetLeft() { return real.offsetLeft; },
    get offsetTop() { return real.offsetTop; },
    get pageLeft() { return real.pageLeft; },
    get pageTop() { return real.pageTop; },
    get width() { return real.width; },
    get height() { return Math.max(0, real.height - covered); },
    get scale() { return real.scale; },
    addEventListener: (...rest) => events.addEventListener(...rest),
    removeEventListener: (...rest) => events.removeEventListener(...rest),
  };
  for (const type of ['resize', 'scroll'])
    real.addEventListener(type, () => events.dispatchEvent(new Event(type)));
  Object.defineProperty(window, 'visualViewport', {get: () => standIn, configurable: true});

  const win = name => [...document.querySelectorAll(`[data-form="${name}"]`)]
      .find(element => element.checkVisibility());
  const find = (window, name) => {
    if (name === 'taskbar')
      return document.querySelector(`[data-part="taskbar"] [data-taskbar="${window}"]`);
    const w = win(window);
    return w?.querySelector(`[data-control="${name}"], [data-part="${name}"]`) ??
        w?.querySelector(`[data-answer="${name}"]`);
  };

  window.quiblyPhone = {
    coverVisualViewport: pixels => {
      covered = pixels;
      events.dispatchEvent(new Event('resize'));
    },
    // Inside the part of the layout viewport the user sees, and the topmost at its centre.
    sight: (window, name) => {
      const element = find(window, name);
      if (!element) throw new Error(`no ${name} in ${window} is shown`);
      const r = element.getBoundingClientRect(), view = standIn;
      const bottom = Math.min(innerHeight, view.offsetTop + view.height);
      const inView = r.width > 0 && r.height > 0 && r.left >= -0.5 && r.top >= view.offsetTop - 0.5 &&
          r.right <= innerWidth + 0.5 && r.bottom <= bottom + 0.5;
      const hit = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
      return {inView, uncovered: !!hit && element.contains(hit)};
    },
    devicePixelsPerPixel: window => {
      const w = win(window);
      return w.getBoundingClientRect().width / w.offsetWidth * devicePixelRatio;
    },
    centre: (window, name) => {
      const r = find(window, name).getBoundingClientRect();
      return {x: r.x + r.width / 2, y: r.y + r.height / 2};
    },
    // The middle of the part of the title bar that the screen shows.
    titleBarCentre: window => {
      const r = find(window, 'titlebar').getBoundingClientRect();
      const left = Math.max(r.left, 0), right = Math.min(r.right, innerWidth);
      return {x: (left + right) / 2, y: r.y + r.height / 2};
    },
  };
})();
