#include "BaselineForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <limits>

namespace Bench {

BaselineForm::BaselineForm() {
    setObjectName(QStringLiteral("Baseline"));
    setWindowTitle(QStringLiteral("Baseline"));
    menuBar()
        ->addMenu(QStringLiteral("File"))
        ->addAction(QStringLiteral("Exit"), this, &QWidget::close);
    auto* client = new QWidget(this);
    setCentralWidget(client);
    // Where the conversation window has its reply label, text box and Enter button.
    label_ = new QLabel(QStringLiteral("Hello"), client);
    label_->setGeometry(0, 0, 89, 89);
    input_ = new QLineEdit(client);
    input_->setGeometry(0, 328, 225, 25);
    input_->setMaxLength(std::numeric_limits<int>::max()); // no limit, as Quibly's text box
    button_ = new QPushButton(QStringLiteral("Enter"), client);
    button_->setGeometry(224, 328, 49, 25);
    resize(274, 351 + menuBar()->sizeHint().height());
}

} // namespace Bench
