#pragma once

#include "runtime/win32/Win32.h"

#include <utility>
#include <vector>

namespace FormsRuntime::win32 {

class FormWindow;
class ClientAccessible;

// Whether labels' announcements go out as UI Automation notifications rather than live-region
// changes.
bool AnnouncesThroughUiaNotifications();

// A control without a caption of its own, such as a text box, is named for screen readers
// through the system's accessibility annotations.
void NameForScreenReaders(HWND control, TextView name);

// What screen readers find in a form window. Each container (the window, a frame) answers for
// its client area with an accessible object whose children are its child windows, which keep
// the system's objects, and its labels, static text named by their captions; pictures and
// lines are decoration. Screen readers may hold on to an object after the window is gone: it
// then answers that it is no longer there.
class Accessibility {
public:
    explicit Accessibility(const FormWindow& form) : form_(form) {}
    Accessibility(const Accessibility&) = delete;
    Accessibility& operator=(const Accessibility&) = delete;
    ~Accessibility() { Withdraw(); }

    // Once the controls exist: where announcements go through live regions, the labels become
    // polite ones.
    void MarkLiveRegions();
    // Before the window goes: the objects screen readers still hold let go of it, and the
    // labels' annotations are cleared.
    void Withdraw();

    // The answer to WM_GETOBJECT for `container`'s client area.
    LRESULT Answer(HWND container, WPARAM flags);
    // Screen readers hear a label's new caption: its name changes, and one announcement goes
    // out, a UI Automation notification where the system has them, else a live-region change.
    void Announce(std::size_t control, TextView caption) const;

private:
    const FormWindow& form_;
    std::vector<std::pair<HWND, ClientAccessible*>> objects_;
    bool marked_ = false;
};

} // namespace FormsRuntime::win32
