#pragma once

#include "runtime/Backend.h"

namespace FormsRuntime::web {

// A loaded window as an element of the page, built from the window's description. The page
// knows it by a number; the user's actions on it come back through Deliver.
class WebWindow final : public BackendWindow {
public:
    // Builds the window, hidden, with its fonts and pictures loaded; a failure is thrown as the
    // run-time error of the control it names.
    explicit WebWindow(FormEvents events);
    // The element leaves the page at once.
    ~WebWindow() override;

    void Show() override;
    void Refresh() override;
    Text ControlText(std::size_t control) const override;
    void SetControlText(std::size_t control, TextView text) override;
    void AnnounceCaption(std::size_t control, TextView caption) override;

    // Passes on what the user did to window `id`; nothing if that window is gone.
    static void Deliver(int id, int kind, int item);

private:
    FormEvents events_;
    int id_;
};

} // namespace FormsRuntime::web
