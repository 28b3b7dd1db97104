// The page as the desktop of a program on the forms runtime: its windows with title bar, menu
// bar and client area, the controls in them, the message boxes, the task bar, what screen
// readers are told and the notice that the program has ended. The C++ side (PageCalls.cpp)
// describes what to build and waits here, through Asyncify, for the user's next action, a
// presented frame or a box's answer: this object is all it calls.
//
// The page's scripts are joined to the program's own (emcc --pre-js, in the order
// src/runtime/web/CMakeLists.txt gives; this one last): they may use emscripten's HEAP views,
// _malloc and string helpers.

var QuiblyPage = (() => {
  'use strict';
  const part = PageKit.part, element = PageKit.element;

  let title = '';

  // The program's title: the page's title, and the name the notice at the end gives.
  function begin(programTitle) {
    title = programTitle;
    PageScreen.start();
    document.title = title;
    part('ended').querySelector('p').textContent = `${title} has ended.`;
    part('restart').textContent = `Start ${title} again`;
    part('restart').addEventListener('click', () => location.reload());
    if (document.readyState === 'complete') keepForOffline();
    else addEventListener('load', keepForOffline, {once: true});
  }

  // The site's worker keeps its files for starts with no network; asked for once the page has
  // everything, so that it takes nothing from the first window. Browsers that have no workers
  // (a page not served over HTTPS or from this machine) start from the network each time.
  function keepForOffline() {
    if (!navigator.serviceWorker) return;
    navigator.serviceWorker.register('service-worker.js').catch((error) => {
      console.error(`${title}: registering service-worker.js failed: ${error}`);
    });
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

  // Each announcement is a new paragraph of the live region, so that a caption said again is
  // announced again.
  function announce(caption) {
    const region = part('announcer');
    region.replaceChildren();
    element('p', {}, region).textContent = caption;
  }

  // Every window goes at once; the page says that the program has ended and offers to start it
  // again.
  function ended(status) {
    PageWindows.destroyAll();
    const notice = part('ended');
    notice.setAttribute('data-exit-status', String(status));
    notice.hidden = false;
    part('restart').focus({preventScroll: true});
  }

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

  return {begin, traced, trace, createWindow: PageWindows.createWindow,
          showWindow: PageWindows.showWindow, refreshWindow: PageWindows.refreshWindow,
          destroyWindow: PageWindows.destroyWindow, controlText: PageWindows.controlText,
          setCaption: PageWindows.setCaption, announce, nextEvent: PageKit.nextEvent,
          messageBox: PageBoxes.messageBox, runTimeError: PageBoxes.runTimeError, ended, text,
          utf16, utf8};
})();
