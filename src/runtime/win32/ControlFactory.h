#pragma once

#include "runtime/win32/Win32.h"

#include <string>

namespace FormsRuntime::win32 {

// Child-window and menu-item identifiers: apart from IDOK and IDCANCEL, which the dialog keys
// send, and apart from each other.
constexpr WORD FirstControlId = 0x100;
constexpr WORD FirstMenuId = 0x8000;

// The window class of frames, registered with the form's window procedure.
constexpr wchar_t FrameClass[] = L"FormsRuntime.Frame";

// Makes the child window of control `index` of `settled` inside `container`: an EDIT for a text
// box, a BUTTON for a command button, a window of FrameClass for a frame, which hands
// `frameOwner` to the window procedure as it is created. Its identifier is FirstControlId +
// `index`; it is placed, sized and given its font later. Labels, images and lines are painted
// by their container and have none. Failures are run-time errors of the named object.
HWND CreateControlWindow(const SettledWindow& settled, std::size_t index, HWND container,
                         void* frameOwner, const std::string& object);

// The menu bar of the settled window, if it has menus: an entry that is a command is an item
// itself, any other opens its items. Items are identified by FirstMenuId + their menu index.
HMENU CreateMenuBar(const SettledWindow& settled);

} // namespace FormsRuntime::win32
