// The web test driver's side in the page, given to every page before its own scripts run: the
// trace hook the runtime calls at each window operation, the texts the live region is given, and
// `quiblyDriver`, whose functions read the page for the driver (tests/support/web/WebDriver.cpp).
//
// Windows are elements marked `data-form`, their parts `data-part`, their controls
// `data-control`. Boxes and points are in CSS pixels, which are device-independent pixels; points
// are in the viewport, where the driver's mouse acts.

(() => {
  'use strict';

  // The trace hook: the step goes to the driver through the function it gave the page, and the
  // program waits until the driver has run the test's hook and calls quiblyTraceResume. A
  // driver that hears nothing from the page (classic WebDriver) gave none: the steps, and the
  // errors the page threw, wait here until it asks.
  const reported = {steps: [], errors: []};
  window.quiblyTrace = (object, operation) => new Promise(resume => {
    window.quiblyTraceResume = resume;
    const step = JSON.stringify({object, operation, time: performance.now()});
    if (window.quiblyDriverStep) window.quiblyDriverStep(step);
    else reported.steps.push(step);
  });
  addEventListener('error', event => reported.errors.push(String(event.error?.stack ?? event.message)));
  addEventListener('unhandledrejection',
                   event => reported.errors.push(String(event.reason?.stack ?? event.reason)));

  const announced = [];
  new MutationObserver(records => {
    const region = document.querySelector('[data-part="announcer"]');
    if (region && records.some(record => region.contains(record.target)) && region.textContent)
      announced.push(region.textContent);
  }).observe(document, {subtree: true, childList: true, characterData: true});

  const all = name => [...document.querySelectorAll(`[data-form="${name}"]`)];
  const shown = element => element.checkVisibility();
  // The shown window of that name, else the loaded hidden one.
  const win = name => {
    const found = all(name).find(shown) ?? all(name)[0];
    if (!found) throw new Error(`no window ${name} is loaded`);
    return found;
  };
  const part = (element, name) => element.querySelector(`[data-part="${name}"]`);
  const client = name => {
    const found = part(win(name), 'client');
    if (!found) throw new Error(`the window ${name} has no client area`);
    return found;
  };
  const control = (window, name) => {
    const found = win(window).querySelector(`[data-control="${name}"]`);
    if (!found) throw new Error(`no control ${name} in ${window}`);
    return found;
  };
  // CSS pixels per pixel of the element's own layout: other than 1 where the page draws its
  // desktop smaller to fit a small screen.
  const scaleOf = element => element.offsetWidth > 0 ?
      element.getBoundingClientRect().width / element.offsetWidth : 1;
  // The element's rounded box relative to another element's top-left corner, in the origin's
  // layout pixels.
  const box = (element, origin) => {
    const r = element.getBoundingClientRect(), o = origin.getBoundingClientRect();
    const s = scaleOf(origin);
    return {x: Math.round((r.x - o.x) / s), y: Math.round((r.y - o.y) / s),
            width: Math.round(r.width / s), height: Math.round(r.height / s)};
  };
  const centre = element => {
    const r = element.getBoundingClientRect();
    return {x: r.x + r.width / 2, y: r.y + r.height / 2};
  };
  const openBox = () =>
    [...document.querySelectorAll('[data-form="MsgBox"], [data-form="RunTimeError"]')].find(shown);
  const helpBox = () => all('Help').find(shown);
  const ended = () => document.querySelector('[data-part="ended"]');

  window.quiblyDriver = {
    control,
    mainReturned: () => document.documentElement.hasAttribute('data-main-returned'),
    ended: () => !!ended()?.checkVisibility(),
    exitStatus: () => +ended().dataset.exitStatus,
    shownWindows: () =>
      [...document.querySelectorAll('[data-form]')].filter(shown).map(w => w.dataset.form),
    countShown: name => all(name).filter(shown).length,
    isShown: name => all(name).some(shown),
    announced: () => announced.splice(0),
    reported: () => ({steps: reported.steps.splice(0), errors: reported.errors.splice(0)}),

    look: name => {
      const w = win(name), c = part(w, 'client').getBoundingClientRect();
      const r = w.getBoundingClientRect(), d = part(document, 'desktop').getBoundingClientRect();
      return {
        caption: part(w, 'caption')?.textContent ?? '',
        titleBar: !!part(w, 'titlebar'),
        minimizeButton: !!part(w, 'minimize'),
        maximizeButton: !!part(w, 'maximize'),
        resizable: w.hasAttribute('data-resizable'),
        taskBarButton: !!document.querySelector(
            `[data-part="taskbar"] [data-taskbar="${w.dataset.form}"]`),
        // On the desktop, the page's work area.
        centred: Math.abs(r.x + r.width / 2 - d.x - d.width / 2) <= 1 &&
            Math.abs(r.y + r.height / 2 - d.y - d.height / 2) <= 1,
        clientWidth: Math.round(c.width / scaleOf(part(w, 'client'))),
        clientHeight: Math.round(c.height / scaleOf(part(w, 'client'))),
        iconSize: part(w, 'icon')?.naturalWidth ?? 0,
      };
    },
    // The bottom-right resize handle's centre, and the client area's size.
    resizeHandle: name => {
      const w = win(name), c = part(w, 'client');
      return {...centre(w.querySelector('[data-part="resize"][data-edge="se"]')),
              width: c.offsetWidth, height: c.offsetHeight};
    },
    // Whether the browser reported (Element Timing) the frame that presented each text and
    // picture of the window, all by `before`, and the window is still shown; why not, where it
    // reports no such frames, or reported no contentful paint of the page at all, and so
    // nothing it presented.
    presentedBefore: (name, before) => new Promise(done => {
      if (!PerformanceObserver.supportedEntryTypes.includes('element'))
        return done('reports no presented frames (no Element Timing)');
      const answer = times => done(times.length == 0 &&
          performance.getEntriesByName('first-contentful-paint').length == 0 ?
          'reported no contentful paint of the page' :
          times.length > 0 && times.every(time => time <= before) && all(name).some(shown));
      setTimeout(() => answer([]), 2000);
      new PerformanceObserver(list => answer(list.getEntries()
          .filter(entry => entry.element?.closest(`[data-form="${name}"]`))
          .map(entry => entry.renderTime))).observe({type: 'element', buffered: true});
    }),
    now: () => performance.now(),
    // In CSS pixels, and the area's width in its own layout pixels.
    clientArea: name => {
      const {x, y, width, height} = client(name).getBoundingClientRect();
      return {x, y, width, height, layoutWidth: client(name).offsetWidth};
    },
    geometry: (window, name) => box(control(window, name), client(window)),
    text: (window, name) => {
      const element = control(window, name);
      return element instanceof HTMLInputElement ? element.value : element.textContent;
    },
    font: (window, name) => {
      const s = getComputedStyle(control(window, name));
      return {face: s.fontFamily.split(',')[0].replace(/["']/g, '').trim(),
              pixelHeight: Math.round(parseFloat(s.fontSize)), weight: +s.fontWeight,
              italic: s.fontStyle == 'italic',
              underline: s.textDecorationLine.includes('underline'),
              strikeOut: s.textDecorationLine.includes('line-through')};
    },
    controlAt: (window, x, y) => {
      const c = client(window).getBoundingClientRect(), s = scaleOf(client(window));
      const hit = document.elementFromPoint(c.x + x * s, c.y + y * s)?.closest('[data-control]');
      return hit && win(window).contains(hit) ? hit.dataset.control : '';
    },
    focused: window => {
      const focus = document.activeElement;
      return focus && win(window).contains(focus) ?
          focus.closest('[data-control]')?.dataset.control ?? '' : '';
    },
    // How many of `length` characters an <input> of this browser holds.
    inputHolds: length => {
      const input = document.createElement('input');
      input.value = 'h'.repeat(length);
      return input.value.length;
    },
    // A text's characters, one for each key that types it.
    characters: text => Array.from(text),
    paste: (window, name, text) => { control(window, name).value = text; },
    // A window that is loaded but not shown takes no mouse input: its control is clicked as the
    // element's own click().
    clickUnshown: (window, name) => { control(window, name).click(); },
    controlCentre: (window, name) => centre(control(window, name)),
    // The title of the menu a menu item is in, where the item is out of sight until it opens.
    closedMenu: (window, name) => {
      const element = control(window, name);
      return shown(element) ? null : element.closest('[data-part="menu"]').dataset.for;
    },
    closeBox: name => {
      const close = part(win(name), 'close');
      return close && centre(close);
    },

    // The message box that is up: what it shows, where its buttons are. The default button is
    // the one with the focus as the box opens.
    boxIsOpen: () => openBox() !== undefined,
    box: () => {
      const b = openBox(), focus = document.activeElement;
      return {title: part(b, 'caption')?.textContent ?? '',
              prompt: part(b, 'prompt')?.textContent ?? '',
              icon: part(b, 'msgicon')?.dataset.icon ?? '',
              buttons: [...b.querySelectorAll('[data-answer]')].map(x => x.textContent),
              defaultButton: b.contains(focus) ? focus.textContent : '',
              help: '', titleBarButtons: null};
    },
    answerButton: answer => centre(openBox().querySelector(`[data-answer="${answer}"]`)),
    // The help box F1 brought up: what it says and where its button is; null where none is up.
    help: () => {
      const help = helpBox();
      return help ? {text: part(help, 'prompt').textContent,
                     button: centre(help.querySelector('[data-answer]'))} : null;
    },
  };
})();
