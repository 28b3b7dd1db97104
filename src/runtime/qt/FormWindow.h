#pragma once

#include "runtime/Backend.h"

#include <QMainWindow>
#include <cstddef>
#include <vector>

class QAction;

namespace FormsRuntime {

// A loaded window: the top-level widget, its menu bar and its controls, built as the form's
// window was settled.
class FormWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit FormWindow(FormEvents events);

    // The widget of a control, by index in the layout's control list.
    QWidget& Control(std::size_t index) const { return *controls_.at(index); }

    // Paints the window now and waits until its pixels are on the screen.
    void RefreshNow();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyWindowStyle();
    void BuildMenus();
    void BindMenu(QAction& action, const SettledMenu& menu);
    void BuildControls(QWidget& client);
    void SetTabOrder();
    void PlaceOnScreen();
    void WaitUntilExposed();

    FormEvents events_;
    const SettledWindow& window_;
    std::vector<QWidget*> controls_; // by index in the settled window
};

} // namespace FormsRuntime
