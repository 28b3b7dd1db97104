#include "runtime/qt/MessageBoxes.h"

#include "runtime/qt/Convert.h"
#include "runtime/qt/TitleBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace FormsRuntime {
namespace {

// By the result's code, from OK (1) to No (7).
constexpr std::array standardButtons{QMessageBox::Ok,    QMessageBox::Cancel, QMessageBox::Abort,
                                     QMessageBox::Retry, QMessageBox::Ignore, QMessageBox::Yes,
                                     QMessageBox::No};

QMessageBox::StandardButton StandardButton(MsgBoxResult result) {
    return standardButtons.at(static_cast<std::size_t>(result - OK));
}

// By MsgBoxIcon: none, Critical, Question, Exclamation, Information.
constexpr std::array standardIcons{QMessageBox::NoIcon, QMessageBox::Critical,
                                   QMessageBox::Question, QMessageBox::Warning,
                                   QMessageBox::Information};

// A box lies over the window the user was working in: the active one, or else the first shown,
// where the window system has not yet said which is active.
QWidget* Owner() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Window)
            return window;
    return nullptr;
}

// A box has its title and a close box, drawn by itself where the window system leaves that to
// the program.
constexpr SettledFrame boxFrame{.minimizeButton = false, .maximizeButton = false};

// Where the set has no Escape answer (Abort, Retry, Ignore), Escape and the close box leave the
// question open, as the other window systems' boxes do; QMessageBox would take Abort for one.
class NoWayOut final : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel);
    }
};

} // namespace

std::optional<MsgBoxResult> ShowQtMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(Owner());
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowTitle(ToQString(request.title));
    box.setText(ToQString(request.prompt));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(standardIcons.at(static_cast<std::size_t>(request.icon)));
    box.setWindowModality(Qt::ApplicationModal);
    AddOwnTitleBarOnWayland(box, boxFrame);
    if (request.rightToLeft)
        box.setLayoutDirection(Qt::RightToLeft);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        label != nullptr && request.rightAligned)
        label->setAlignment(Qt::AlignRight);
    box.setProperty("helpFile", ToQString(request.helpFile));
    box.setProperty("helpContext", request.helpContext);

    std::vector<std::pair<QAbstractButton*, MsgBoxResult>> results;
    for (const MsgBoxResult result : request.buttons)
        results.emplace_back(box.addButton(StandardButton(result)), result);
    box.setEscapeButton(request.escape ? box.button(StandardButton(*request.escape)) : nullptr);
    NoWayOut noWayOut;
    if (!request.escape)
        box.installEventFilter(&noWayOut);
    box.setDefaultButton(static_cast<QPushButton*>(results.at(request.defaultButton).first));

    const auto offerHelp = [&] {
        QMessageBox help(QMessageBox::Information, box.windowTitle(), ToQString(request.helpText),
                         QMessageBox::Ok, &box);
        AddOwnTitleBarOnWayland(help, boxFrame);
        help.exec();
    };
    QShortcut f1(QKeySequence::HelpContents, &box);
    QObject::connect(&f1, &QShortcut::activated, &box, offerHelp);
    if (request.helpButton) {
        // A help button offers help and leaves the question open.
        auto* button = box.addButton(QMessageBox::Help);
        button->disconnect();
        QObject::connect(button, &QAbstractButton::clicked, &box, offerHelp);
    }

    box.exec();
    for (const auto& [button, result] : results)
        if (box.clickedButton() == button)
            return result;
    return std::nullopt;
}

void ShowQtRunTimeError(TextView title, std::string_view message) {
    QMessageBox box(QMessageBox::Critical, ToQString(title),
                    QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())),
                    QMessageBox::Ok, Owner());
    box.setObjectName(QStringLiteral("RunTimeError"));
    AddOwnTitleBarOnWayland(box, boxFrame);
    box.exec();
}

} // namespace FormsRuntime
