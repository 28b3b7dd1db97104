// A window's menu bar and its menus: opened by a click or F10, walked with the arrow keys,
// closed by Escape or a click elsewhere; choosing an item reports its Click.
//
// Joined to the program's script with the page's other scripts (emcc --pre-js, in the order
// src/runtime/web/CMakeLists.txt gives), each one object of functions.

const PageMenus = (() => {
  'use strict';
  const element = PageKit.element, post = PageKit.post, MenuClicked = PageKit.MenuClicked;

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
    } else if (event.key === 'Escape' || event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      event.stopPropagation();
      if (event.key === 'Escape') closeMenus(record, true);
      else if (at >= 0) items[at].click();
    }
  }

  // The menu bar shows the visible entries; an entry is a command, or drops down its items.
  function buildMenus(record) {
    const menus = record.d.menus;
    if (record.d.menuBar.length === 0) return;
    record.menubar = element('div', {'data-part': 'menubar', class: 'menubar', role: 'menubar'},
                             record.element);
    for (const index of record.d.menuBar) {
      const menu = menus[index];
      const title = element('div', {'data-control': menu.name, class: 'menu-title',
                                    role: 'menuitem', tabindex: '-1',
                                    'aria-haspopup': menu.command ? null : 'menu',
                                    'aria-expanded': menu.command ? null : 'false',
                                    'aria-disabled': menu.enabled ? null : 'true'},
                            record.menubar);
      title.textContent = menu.caption;
      if (menu.command) {
        title.addEventListener('click', () => menu.enabled && post(record.id, MenuClicked, index));
        continue;
      }
      const popup = element('div', {'data-part': 'menu', 'data-for': menu.name, class: 'menu',
                                    role: 'menu', hidden: true}, record.menubar);
      for (const itemIndex of menu.items) {
        const child = menus[itemIndex];
        const item = element('div', {'data-control': child.name, class: 'menu-item',
                                     role: child.checked ? 'menuitemcheckbox' : 'menuitem',
                                     'aria-checked': child.checked ? 'true' : null,
                                     'aria-disabled': child.enabled ? null : 'true',
                                     tabindex: '-1'}, popup);
        item.textContent = child.caption;
        item.addEventListener('mouseenter', () => item.focus());
        item.addEventListener('click', () => {
          if (!child.enabled) return;
          closeMenus(record, true);
          post(record.id, MenuClicked, itemIndex);
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

  return {buildMenus, rememberFocus};
})();
