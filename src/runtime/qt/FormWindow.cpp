#include "runtime/qt/FormWindow.h"

#include "runtime/qt/Appearance.h"
#include "runtime/qt/ControlFactory.h"
#include "runtime/qt/Convert.h"
#include "runtime/qt/Presentation.h"
#include "runtime/qt/TitleBar.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <optional>

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

FormWindow::FormWindow(FormEvents events) : events_(events), window_(events.Window()) {
    setObjectName(ToQString(window_.name));
    controls_.resize(window_.controls.size(), nullptr);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, ResolveColor(window_.back));
    client->setPalette(palette);
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    BuildMenus();
    BuildControls(*client);
    SetTabOrder();
    ApplyWindowStyle();
    PlaceOnScreen();
}

void FormWindow::ApplyWindowStyle() {
    const SettledFrame& frame = window_.frame;
    setWindowTitle(ToQString(window_.caption));
    if (!window_.icon.empty())
        setWindowIcon(LoadIcon(window_.icon, events_.ObjectName()));

    Qt::WindowFlags flags = Qt::Window;
    if (!frame.inTaskbar)
        flags = frame.titleBar ? Qt::Tool : Qt::SplashScreen;
    if (!frame.titleBar) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (frame.systemMenu)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (frame.minimizeButton)
            flags |= Qt::WindowMinimizeButtonHint;
        if (frame.maximizeButton)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    if (!frame.takesFocus)
        flags |= Qt::WindowDoesNotAcceptFocus;
    if (!frame.sizable)
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    setWindowFlags(flags);

    // The client area has the settled size; a menu bar sits above it.
    const int menuHeight = menuWidget() != nullptr ? menuWidget()->sizeHint().height() : 0;
    const QSize size(window_.client.width, window_.client.height + menuHeight);
    if (frame.sizable)
        resize(size);
    else
        setFixedSize(size);
    if (frame.titleBar)
        AddOwnTitleBarOnWayland(*this, frame);
}

void FormWindow::BuildMenus() {
    for (const std::size_t index : window_.menuBar) {
        const SettledMenu& menu = window_.menus[index];
        if (menu.command) {
            BindMenu(*menuBar()->addAction(LiteralCaption(menu.caption)), menu);
            continue;
        }
        QMenu* titleMenu = menuBar()->addMenu(LiteralCaption(menu.caption));
        titleMenu->setObjectName(ToQString(menu.name));
        titleMenu->menuAction()->setEnabled(menu.enabled);
        for (const std::size_t item : menu.items)
            BindMenu(*titleMenu->addAction(LiteralCaption(window_.menus[item].caption)),
                     window_.menus[item]);
    }
}

void FormWindow::BindMenu(QAction& action, const SettledMenu& menu) {
    action.setObjectName(ToQString(menu.name));
    action.setEnabled(menu.enabled);
    action.setCheckable(menu.checked);
    action.setChecked(menu.checked);
    connect(&action, &QAction::triggered, this, [this, name = menu.name] { events_.Click(name); });
}

// Controls made later lie above those made earlier, in the settled paint order, each inside
// its frame, which the order makes first.
void FormWindow::BuildControls(QWidget& client) {
    for (const std::size_t i : window_.paintOrder) {
        const SettledControl& control = window_.controls[i];
        QWidget& container = control.container ? *controls_[*control.container] : client;
        QWidget* widget = CreateControl(window_, i, container, events_.ObjectName(control.name));
        controls_[i] = widget;
        if (auto* button = qobject_cast<QPushButton*>(widget))
            connect(button, &QPushButton::clicked, this,
                    [this, name = control.name] { events_.Click(name); });
    }
}

void FormWindow::SetTabOrder() {
    for (std::size_t i = 0; i < window_.controls.size(); ++i)
        if (!window_.controls[i].tabStop)
            controls_[i]->setFocusPolicy(Qt::NoFocus);
    const std::vector<std::size_t>& order = window_.tabOrder;
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(controls_[order[i - 1]], controls_[order[i]]);
    if (!order.empty())
        controls_[order.front()]->setFocus();
}

// Return and Escape come here once the focused control has left them alone, in the order they
// were typed. A shortcut would act on them as they arrive, ahead of the keys typed before them
// that are still on their way, as they are while a screen reader looks at every key first.
void FormWindow::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    std::optional<std::size_t> index;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        index = window_.defaultButton;
    else if (event->key() == Qt::Key_Escape)
        index = window_.cancelButton;
    auto* button = index ? static_cast<QPushButton*>(controls_[*index]) : nullptr;
    if (!plain || button == nullptr || !button->isEnabled() || !button->isVisible()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    button->click();
}

void FormWindow::PlaceOnScreen() {
    switch (window_.placement) {
    case Placement::Manual:
        move(window_.client.x, window_.client.y);
        break;
    case Placement::CenterScreen:
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        break;
    case Placement::SystemDefault:
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
