// The controls of a window's client area, built from its description: frames, labels,
// pictures, lines, text boxes and command buttons, laid in the order that stacks them.
//
// Joined to the program's script with the page's other scripts (emcc --pre-js, in the order
// src/runtime/web/CMakeLists.txt gives), each one object of functions.

const PageControls = (() => {
  'use strict';
  const element = PageKit.element, glyph = PageKit.glyph, post = PageKit.post;
  const ControlClicked = PageKit.ControlClicked;

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

  function buildFrame(c, made) {
    // The border and caption are drawn only where the frame has room for them; a frame
    // without a caption is a plain panel of its background.
    if (c.caption === '' || c.height < c.font.px + 2 || c.width < 4) return;
    const border = element('div', {class: 'frame-border'}, made);
    border.style.top = `${Math.floor(c.font.px / 2)}px`;
    element('span', {'data-part': 'frame-caption', class: 'frame-caption'}, made).textContent =
        c.caption;
  }

  function buildLabel(c, made) {
    made.style.textAlign = c.align;
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
    made.style.textAlign = c.align;
  }

  function buildButton(record, c, made) {
    made.type = 'button';
    made.textContent = c.caption;
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
    const container = c.container < 0 ? record.client : record.controls.get(c.container).made;
    const made = element(controlTags[c.kind], {'data-control': c.name, class: c.kind},
                         container);
    Object.assign(made.style, {left: `${c.x}px`, top: `${c.y}px`, width: `${c.width}px`,
                               height: `${c.height}px`});
    record.controls.set(c.index, {c, made});
    // Pictures and lines have neither text nor a background of their own.
    if (c.kind !== 'image' && c.kind !== 'line') {
      made.style.background = c.back;
      made.style.color = c.fore;
      applyFont(made, c.font);
    }
    if (c.kind === 'frame') buildFrame(c, made);
    else if (c.kind === 'label') buildLabel(c, made);
    else if (c.kind === 'line') buildLine(c, made);
    else if (c.kind === 'textbox') buildTextBox(c, made);
    else if (c.kind === 'button') buildButton(record, c, made);
    // Texts and pictures carry a name under which the browser reports their presentation.
    if (c.kind === 'label') made.setAttribute('elementtiming', `${record.id}.${c.name}`);
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
      const picture = element('img', {alt: '', src: c.picture, draggable: 'false',
                                      elementtiming: `${record.id}.${c.name}`}, entry.made);
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

  return {buildControl, fitToText, loadPictures, fontsOf};
})();
