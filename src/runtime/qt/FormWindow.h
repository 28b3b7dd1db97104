#pragma once

#include "runtime/Backend.h"

#include <QMainWindow>
#include <cstddef>
#include <string_view>
#include <vector>

class QPushButton;

namespace FormsRuntime {

// A loaded window: the top-level widget, its menu bar and its controls, built from the
// form's layout.
class FormWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit FormWindow(FormEvents events);

    // A label's caption or a text box's text, by index in the layout's control list.
    Text ControlText(std::size_t index) const;
    void SetCaption(std::size_t index, TextView caption);
    // Screen readers announce the label's caption (Announcer.h).
    void AnnounceCaption(std::size_t index, TextView caption);

    // Paints the window now and waits until its pixels are on the screen.
    void RefreshNow();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyWindowStyle(const WindowLayout& layout);
    void BuildMenus(const WindowLayout& layout);
    void BuildControls(QWidget& container, std::string_view containerName);
    void BindClick(QWidget& widget, std::string_view control);
    void SetTabOrder();
    void BindKeyFlags();
    void PlaceOnScreen(const WindowLayout& layout);
    void WaitUntilExposed();

    FormEvents events_;
    std::vector<QWidget*> controls_;
    QPushButton* defaultButton_ = nullptr; // clicked by Return
    QPushButton* cancelButton_ = nullptr;  // clicked by Escape
};

} // namespace FormsRuntime
