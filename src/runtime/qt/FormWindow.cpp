#include "runtime/qt/FormWindow.h"

#include "runtime/qt/Announcer.h"
#include "runtime/qt/Appearance.h"
#include "runtime/qt/ControlFactory.h"
#include "runtime/qt/ControlWidgets.h"
#include "runtime/qt/Convert.h"
#include "runtime/qt/Presentation.h"
#include "runtime/qt/TitleBar.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace FormsRuntime {
namespace {

// Ends a local event loop once the window system reports the window on the screen.
class ExposeWatcher final : public QObject {
public:
    ExposeWatcher(QWindow& window, QEventLoop& loop) : window_(window), loop_(loop) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Expose && window_.isExposed())
            loop_.quit();
        return false;
    }

private:
    QWindow& window_;
    QEventLoop& loop_;
};

} // namespace

FormWindow::FormWindow(FormEvents events) : events_(events) {
    const WindowLayout& layout = events_.Layout();
    setObjectName(ToQString(layout.name));
    controls_.resize(layout.controls.size(), nullptr);

    auto* client = new ContainerWidget(ResolveColor(layout.backColor, events_.ObjectName()), this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);
    BuildMenus(layout);
    BuildControls(*client, {});
    SetTabOrder();
    BindKeyFlags();
    ApplyWindowStyle(layout);
    PlaceOnScreen(layout);
}

Text FormWindow::ControlText(std::size_t index) const {
    QWidget* control = controls_.at(index);
    if (auto* textBox = qobject_cast<QLineEdit*>(control))
        return ToText(textBox->text());
    return ToText(static_cast<LabelWidget*>(control)->text());
}

void FormWindow::SetCaption(std::size_t index, TextView caption) {
    static_cast<LabelWidget*>(controls_.at(index))->SetCaption(ToQString(caption));
}

void FormWindow::AnnounceCaption(std::size_t index, TextView caption) {
    Announce(*controls_.at(index), ToQString(caption));
}

void FormWindow::ApplyWindowStyle(const WindowLayout& layout) {
    setWindowTitle(ToQString(layout.caption));
    if (!layout.icon.empty())
        setWindowIcon(LoadIcon(layout.icon, events_.ObjectName()));

    const bool titleBar = !layout.caption.empty() || layout.controlBox;
    const bool focusable =
        std::any_of(layout.controls.begin(), layout.controls.end(),
                    [](const ControlLayout& control) { return TakesFocus(control.kind); });
    Qt::WindowFlags flags = Qt::Window;
    if (!layout.showInTaskbar)
        flags = titleBar ? Qt::Tool : Qt::SplashScreen;
    if (!titleBar) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (layout.controlBox) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (layout.minButton)
                flags |= Qt::WindowMinimizeButtonHint;
            if (layout.maxButton)
                flags |= Qt::WindowMaximizeButtonHint;
        }
    }
    if (!focusable)
        flags |= Qt::WindowDoesNotAcceptFocus;
    if (layout.border == BorderStyle::FixedDialog)
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    setWindowFlags(flags);

    // The client area has the layout's size; a menu bar sits above it.
    const int menuHeight = menuWidget() != nullptr ? menuWidget()->sizeHint().height() : 0;
    const QSize size(PixelsFromTwips(layout.clientWidth),
                     PixelsFromTwips(layout.clientHeight) + menuHeight);
    if (layout.border == BorderStyle::FixedDialog)
        setFixedSize(size);
    else
        resize(size);
    if (titleBar && DrawsOwnTitleBar())
        AddOwnTitleBar(*this);
}

void FormWindow::BuildMenus(const WindowLayout& layout) {
    for (const MenuLayout& menu : layout.menus) {
        if (!menu.parent.empty())
            continue;
        QMenu* titleMenu = menuBar()->addMenu(LiteralCaption(menu.caption));
        titleMenu->setObjectName(ToQString(menu.name));
        titleMenu->menuAction()->setEnabled(menu.enabled);
        titleMenu->menuAction()->setVisible(menu.visible);
        for (const MenuLayout& item : layout.menus) {
            if (item.parent != menu.name)
                continue;
            QAction* action = titleMenu->addAction(LiteralCaption(item.caption));
            action->setObjectName(ToQString(item.name));
            action->setEnabled(item.enabled);
            action->setVisible(item.visible);
            action->setCheckable(item.checked);
            action->setChecked(item.checked);
            connect(action, &QAction::triggered, this,
                    [this, name = item.name] { events_.Click(name); });
        }
    }
}

void FormWindow::BuildControls(QWidget& container, std::string_view containerName) {
    const auto& controls = events_.Layout().controls;
    // Controls made later lie above those made earlier. The layout lists the topmost first,
    // and windowed controls lie above all graphical ones, so make the graphical ones first,
    // each group from the bottom of the list up.
    for (const bool windowed : {false, true}) {
        for (std::size_t i = controls.size(); i-- > 0;) {
            const ControlLayout& control = controls[i];
            if (control.container != containerName || IsWindowed(control.kind) != windowed)
                continue;
            QWidget* widget = CreateControl(control, container, events_.ObjectName(control.name));
            controls_[i] = widget;
            BindClick(*widget, control.name);
            if (control.kind == ControlKind::Frame)
                BuildControls(*widget, control.name);
        }
    }
}

void FormWindow::BindClick(QWidget& widget, std::string_view control) {
    if (auto* button = qobject_cast<QPushButton*>(&widget))
        connect(button, &QPushButton::clicked, this, [this, control] { events_.Click(control); });
}

void FormWindow::SetTabOrder() {
    const WindowLayout& layout = events_.Layout();
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
        if (!TakesFocus(layout.controls[i].kind))
            controls_[i]->setFocusPolicy(Qt::NoFocus);
    const std::vector<std::size_t> order = TabOrder(layout);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(controls_[order[i - 1]], controls_[order[i]]);
    if (!order.empty())
        controls_[order.front()]->setFocus();
}

void FormWindow::BindKeyFlags() {
    const auto& controls = events_.Layout().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind != ControlKind::CommandButton)
            continue;
        auto* button = static_cast<QPushButton*>(controls_[i]);
        if (controls[i].keyFlag == KeyFlag::Default)
            defaultButton_ = button;
        else if (controls[i].keyFlag == KeyFlag::Cancel)
            cancelButton_ = button;
    }
}

// Return and Escape come here once the focused control has left them alone, in the order they
// were typed. A shortcut would act on them as they arrive, ahead of the keys typed before them
// that are still on their way, as they are while a screen reader looks at every key first.
void FormWindow::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QPushButton* button = nullptr;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        button = defaultButton_;
    else if (event->key() == Qt::Key_Escape)
        button = cancelButton_;
    if (!plain || button == nullptr || !button->isEnabled() || !button->isVisible()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    button->click();
}

void FormWindow::PlaceOnScreen(const WindowLayout& layout) {
    switch (layout.startUpPosition) {
    case StartUpPosition::Manual:
        move(PixelsFromTwips(layout.clientLeft), PixelsFromTwips(layout.clientTop));
        break;
    case StartUpPosition::CenterScreen:
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        break;
    case StartUpPosition::WindowsDefault:
        break;
    }
}

void FormWindow::RefreshNow() {
    if (!isVisible())
        return;
    WaitUntilExposed();
    repaint();
    WaitUntilOnScreen(*windowHandle());
}

void FormWindow::WaitUntilExposed() {
    QWindow* window = windowHandle();
    if (window == nullptr || window->isExposed())
        return;
    // Only the window system's own events run meanwhile: no click or key reaches a handler.
    QEventLoop loop;
    ExposeWatcher watcher(*window, loop);
    window->installEventFilter(&watcher);
    QTimer deadline; // a window system that never shows the window must not hang start-up
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(2000);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    window->removeEventFilter(&watcher);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    events_.Close();
}

} // namespace FormsRuntime
