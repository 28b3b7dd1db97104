#pragma once

#include <QMainWindow>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Bench {

// The simplest Qt window with what the conversation window has to offer: a File > Exit menu, a
// label, a line edit and a push button, at the conversation window's size. Its button does
// nothing, so what it costs is the floor any Qt form pays.
class BaselineForm final : public QMainWindow {
public:
    BaselineForm();

    QLabel& Label() const { return *label_; }
    QLineEdit& Input() const { return *input_; }
    QPushButton& Button() const { return *button_; }

private:
    QLabel* label_;
    QLineEdit* input_;
    QPushButton* button_;
};

} // namespace Bench
