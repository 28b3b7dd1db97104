// Message boxes: modal alert dialogs with an icon, a prompt and a row of buttons, the help
// that F1 shows, and the box that tells of a run-time error.
//
// Joined to the program's script with the page's other scripts (emcc --pre-js, in the order
// src/runtime/web/CMakeLists.txt gives), each one object of functions.

const PageBoxes = (() => {
  'use strict';
  const element = PageKit.element, glyph = PageKit.glyph, titleButton = PageKit.titleButton;

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

  // The buttons' captions, by the code of the answer each gives (MsgBoxResult).
  const answerCaptions = ['', 'OK', 'Cancel', 'Abort', 'Retry', 'Ignore', 'Yes', 'No'];
  const OK = 1;

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
      // The window behind the box is inactive while the box is up, as on the desktop.
      const previous = document.activeElement;
      const owner = document.querySelector('[data-form][data-active]');
      if (owner) owner.removeAttribute('data-active');
      const answer = (code) => {
        dialog.close();
        dialog.remove();
        if (owner && owner.isConnected) owner.setAttribute('data-active', '');
        if (previous && previous.isConnected) previous.focus({preventScroll: true});
        resolve(code);
      };
      if (box.escape) {
        titleButton(bar, 'close', 'Close').addEventListener('click', () => answer(box.escape));
      }
      const addButton = (caption, isDefault, onClick) => {
        const made = element('button', {type: 'button', 'data-answer': caption,
                                        class: 'button box-button', 'data-default': isDefault}, row);
        made.textContent = caption;
        made.addEventListener('click', onClick);
        return made;
      };
      const buttons = box.buttons.map((code, index) =>
          addButton(answerCaptions[code], index === box.defaultButton, () => answer(code)));
      if (box.helpButton) addButton('Help', false, () => showHelp(box));
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

  // A box whose one button, OK, Escape answers too.
  function okBox(form, title, prompt, icon) {
    return showBox(form, {title, prompt, icon, buttons: [OK], defaultButton: 0, escape: OK});
  }

  // F1 in a box: what the help topic would say, in a box of its own; the question stays open.
  function showHelp(box) {
    return okBox('Help', box.title, box.helpText, 'information');
  }

  return {messageBox: (box) => showBox('MsgBox', box),
          runTimeError: (error) => okBox('RunTimeError', error.title, error.message, 'critical')};
})();
