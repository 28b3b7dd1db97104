#pragma once

#include <QMainWindow>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace FormsRuntime {

class Form;
struct WindowLayout;

// A loaded window: the top-level widget, its menu bar and its controls, built from the
// form's layout.
class FormWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit FormWindow(Form& form);

    // The widget of the control at this index of the layout's control list.
    QWidget& Control(std::size_t index) const { return *controls_.at(index); }

    // Paints the window now and waits until its pixels are on the screen.
    void RefreshNow();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::string ObjectName(std::string_view control) const;
    void ApplyWindowStyle(const WindowLayout& layout);
    void BuildMenus(const WindowLayout& layout);
    void BuildControls(QWidget& container, std::string_view containerName);
    void BindClick(QWidget& widget, std::string_view control);
    void SetTabOrder();
    void BindKeyFlags();
    void PlaceOnScreen(const WindowLayout& layout);
    void WaitUntilExposed();

    Form& form_;
    std::vector<QWidget*> controls_;
};

} // namespace FormsRuntime
