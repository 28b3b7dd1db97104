// The test driver for the Qt runtime: windows and controls are widgets named after the
// layout, menu items are actions, and the message box is a QMessageBox.

#include "Driver.h"
#include "ImageSnapshot.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <qpa/qplatformnativeinterface.h>
#include <qpa/qwindowsysteminterface.h>
#include <regex>
#include <stdexcept>
#include <utility>
#include <vector>
#include <wayland-client.h>

namespace TestDriver {
namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string AsShown(const QString& caption) {
    return WithoutAccessKeys(caption.toStdString());
}

// The shown window of that name, or else the loaded one that is still hidden.
QWidget& Window(std::string_view name) {
    QWidget* hidden = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == Q(name)) {
            if (window->isVisible())
                return *window;
            hidden = window;
        }
    if (hidden == nullptr)
        throw std::runtime_error("no window " + std::string(name) + " is loaded");
    return *hidden;
}

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// The title bar a window draws itself, where it does (on Wayland).
QWidget* OwnTitleBar(QWidget& window) {
    return window.findChild<QWidget*>(QStringLiteral("TitleBar"), Qt::FindDirectChildrenOnly);
}

// The buttons of a title bar a window draws itself, left to right.
std::vector<std::string> TitleBarButtons(QWidget& bar) {
    static const std::pair<const char*, const char*> names[] = {{"TitleBarMinimize", "minimize"},
                                                                {"TitleBarMaximize", "maximize"},
                                                                {"TitleBarClose", "close"}};
    std::vector<std::string> buttons;
    for (const auto& [object, button] : names)
        if (bar.findChild<QAbstractButton*>(QLatin1String(object)) != nullptr)
            buttons.emplace_back(button);
    return buttons;
}

// What the Wayland client library told of the protocol the program spoke, in the order the
// program made its requests and dispatched the compositor's events: "[1234.567]  ->
// wl_surface@7.commit()" for a request, "[1234.567] wl_callback@9.done(1)" for an event. The
// test's standard error, where the library logs it, is a file (wayland-session --protocol-log).
// Later libraries write "wl_surface#7" and put the event queue's name, "{Default Queue}", after
// the time; both are read back to the form above.
std::vector<std::string> ProtocolLines() {
    const char* log = std::getenv("QUIBLY_PROTOCOL_LOG");
    if (log == nullptr)
        return {};
    static const std::regex queue(R"(^(\[[0-9. ]+\]) \{[^}]*\})");
    static const std::regex object(R"(([A-Za-z_0-9])#([0-9]))");
    std::ifstream file(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        line = std::regex_replace(std::regex_replace(line, queue, "$1"), object, "$1@$2");
        if (line.starts_with('[') && line.find('@') != std::string::npos && line.ends_with(')'))
            lines.push_back(line);
    }
    return lines;
}

// Whether the compositor reported the window's last drawn frame presented: after the last
// buffer attached to the window's surface, the program asked for a presentation feedback or a
// frame callback for that surface, and it came back presented or done.
bool PresentedOnWayland(QWidget& window) {
    auto* surface =
        static_cast<wl_proxy*>(QGuiApplication::platformNativeInterface()->nativeResourceForWindow(
            "surface", window.windowHandle()));
    if (surface == nullptr)
        return false;
    const std::string id = "wl_surface@" + std::to_string(wl_proxy_get_id(surface));
    const std::vector<std::string> lines = ProtocolLines();
    const auto attached = std::find_if(lines.rbegin(), lines.rend(), [&](const std::string& line) {
        return line.find(" -> " + id + ".attach(") != std::string::npos;
    });
    if (attached == lines.rend())
        return false;
    static const std::regex report(R"(new id (wp_presentation_feedback@\d+|wl_callback@\d+))");
    std::vector<std::string> awaited;
    for (auto line = attached.base(); line != lines.end(); ++line) {
        std::smatch asked;
        const bool request = line->find(" -> ") != std::string::npos;
        if (request &&
            (line->find(".feedback(" + id + ",") != std::string::npos ||
             line->find(id + ".frame(") != std::string::npos) &&
            std::regex_search(*line, asked, report))
            awaited.push_back(
                "] " + asked[1].str() +
                (asked[1].str().starts_with("wl_callback") ? ".done(" : ".presented("));
        for (const std::string& event : awaited)
            if (!request && line->find(event) != std::string::npos)
                return true;
    }
    return false;
}

// A compositor with no seat (weston's headless output) has no keyboard to give a window, so
// no window ever becomes active there; the driver then makes the window the toolkit's focus
// window itself, as the compositor's activation would.
bool CompositorActivatesWindows() {
    if (!OnWayland())
        return true;
    const std::vector<std::string> lines = ProtocolLines();
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find(".global(") != std::string::npos &&
               line.find("\"wl_seat\"") != std::string::npos;
    });
}

QWidget& Client(std::string_view window) {
    return *Window(window).findChild<QWidget*>(QStringLiteral("ClientArea"));
}

QObject& Control(std::string_view window, std::string_view name) {
    if (auto* object = Window(window).findChild<QObject*>(Q(name)))
        return *object;
    throw std::runtime_error("no control " + std::string(name) + " in " + std::string(window));
}

template <class T> T& ControlAs(std::string_view window, std::string_view name) {
    if (auto* control = qobject_cast<T*>(&Control(window, name)))
        return *control;
    throw std::runtime_error(std::string(name) + " is not of the kind the test expects");
}

// Calls `answer` on the first message box that comes up while `action` runs.
void WhileBoxOpens(const std::function<void(QMessageBox&)>& answer,
                   const std::function<void()>& action) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        poll.stop(); // the first box only
        answer(*box);
    });
    poll.start(5);
    action();
}

// The driver's names for what Qt shows.
const std::map<QMessageBox::Icon, std::string> iconNames{{QMessageBox::Question, "question"},
                                                         {QMessageBox::Information, "information"},
                                                         {QMessageBox::Warning, "warning"},
                                                         {QMessageBox::Critical, "critical"}};
const std::map<QAccessible::Role, Role> roles{{QAccessible::StaticText, Role::StaticText},
                                              {QAccessible::EditableText, Role::EditableText},
                                              {QAccessible::Button, Role::Button},
                                              {QAccessible::MenuItem, Role::MenuItem}};
constexpr Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space, Qt::Key_Tab,
                            Qt::Key_F1}; // by Key

// What the backend told screen readers to announce, label captions, as the accessibility layer
// receives it: before Qt 6.8 a notification raised as shown, carrying the news as its name;
// from 6.8 an announcement. Each event passes on to the handler that was there before, if any;
// with none, no event of the tests reaches the bus.
std::vector<std::string> announced;
QAccessible::UpdateHandler passOn = nullptr;

void Observe(QAccessibleEvent* event) {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::ObjectShow)
        if (QAccessibleInterface* face = event->accessibleInterface();
            face != nullptr && face->role() == QAccessible::Notification)
            announced.push_back(face->text(QAccessible::Name).toStdString());
#else
    if (event->type() == QAccessible::Announcement)
        announced.push_back(
            static_cast<QAccessibleAnnouncementEvent*>(event)->message().toStdString());
#endif
    if (passOn != nullptr)
        passOn(event);
}

class QtDriver final : public Driver {
public:
    QtDriver() { passOn = QAccessible::installUpdateHandler(Observe); }

    int Run(const FormsRuntime::Program& program, const std::function<void()>& scenario) override {
        // Main runs local event loops of its own, so the scenario starts once it returns.
        QTimer start;
        start.setSingleShot(true);
        QObject::connect(&start, &QTimer::timeout, [&] {
            if (QWidget* window = FocusableWindow(); window != nullptr && !window->isActiveWindow())
                ActivateAndWait(*window);
            RunScenario(scenario);
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->isVisible())
                    window->close();
        });
        static const FormsRuntime::Program* running = nullptr;
        static QTimer* starting = nullptr;
        running = &program;
        starting = &start;
        FormsRuntime::Program wrapped = program;
        wrapped.main = [] {
            running->main();
            starting->start(0);
        };
        return FormsRuntime::Run(wrapped);
    }

    int CountShown(std::string_view window) override {
        return int(std::ranges::count_if(QApplication::topLevelWidgets(), [&](QWidget* shown) {
            return shown->objectName() == Q(window) && shown->isVisible();
        }));
    }

    WindowLook Look(std::string_view name) override {
        QWidget& window = Window(name);
        const Qt::WindowFlags flags = window.windowFlags();
        const QIcon icon = window.windowIcon();
        const QWidget& client = Client(name);
        QWidget* ownBar = OwnTitleBar(window);
        // The buttons a title bar the window draws holds; else those its flags ask for.
        const auto button = [&](const char* object, Qt::WindowType hint) {
            return ownBar != nullptr
                       ? ownBar->findChild<QAbstractButton*>(QLatin1String(object)) != nullptr
                       : bool(flags & hint);
        };
        return {.caption = window.windowTitle().toStdString(),
                .titleBar = ownBar != nullptr || !(flags & Qt::FramelessWindowHint),
                .minimizeButton = button("TitleBarMinimize", Qt::WindowMinimizeButtonHint),
                .maximizeButton = button("TitleBarMaximize", Qt::WindowMaximizeButtonHint),
                .resizable = window.minimumSize() != window.maximumSize(),
                .taskBarButton = window.windowType() == Qt::Window,
                .centred = OnWayland()
                               ? std::nullopt
                               : std::optional<bool>((window.frameGeometry().center() -
                                                      window.screen()->availableGeometry().center())
                                                         .manhattanLength() <= 1),
                .clientWidth = client.width(),
                .clientHeight = client.height(),
                .iconSize = window.testAttribute(Qt::WA_SetWindowIcon) && !icon.isNull()
                                ? icon.availableSizes().value(0).width()
                                : 0};
    }

    void Resize(std::string_view window, int clientWidth, int clientHeight) override {
        QWidget& shown = Window(window);
        const QSize frame = shown.size() - Client(window).size();
        shown.resize(frame + QSize(clientWidth, clientHeight));
    }

    bool OnScreenAsPainted(std::string_view name) override {
        QWidget& window = Window(name);
        // A Wayland client sees nothing of the screen: the protocol tells what was presented.
        if (OnWayland())
            return PresentedOnWayland(window);
        const QRect area(window.mapToGlobal(QPoint(0, 0)), window.size());
        QImage onScreen = window.screen()
                              ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                              .toImage()
                              .convertToFormat(QImage::Format_RGB32);
        QImage painted = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        painted.setDevicePixelRatio(1);
        return onScreen == painted;
    }

    std::optional<bool> TitleBarMaximizes(std::string_view name) override {
        QWidget& window = Window(name);
        QWidget* bar = OwnTitleBar(window);
        if (bar == nullptr)
            return std::nullopt;
        const QSize before = window.size();
        QRect buttons;
        for (QWidget* button : bar->findChildren<QAbstractButton*>())
            buttons |= button->geometry();
        for (const QPoint at : {QPoint(4, bar->height() / 2), bar->rect().center(),
                                QPoint(buttons.left() - 3, bar->height() / 2)}) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, at);
            QTest::mouseDClick(bar, Qt::LeftButton, {}, at);
        }
        // A compositor answers a maximize request with a configure event of the new size.
        QTest::qWait(200);
        return window.isMaximized() || window.size() != before;
    }

    Snapshot Grab(std::string_view window) override {
        const QImage grabbed = Client(window).grab().toImage();
        return SnapshotOf(grabbed, grabbed.devicePixelRatio());
    }

    Rect Geometry(std::string_view window, std::string_view name) override {
        QWidget& client = Client(window);
        auto& control = ControlAs<QWidget>(window, name);
        const QPoint at = control.mapTo(&client, QPoint(0, 0));
        return {at.x(), at.y(), control.width(), control.height()};
    }

    std::string Text(std::string_view window, std::string_view name) override {
        QObject& control = Control(window, name);
        if (auto* label = qobject_cast<QLabel*>(&control))
            return label->text().toStdString();
        if (auto* edit = qobject_cast<QLineEdit*>(&control))
            return edit->text().toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(&control))
            return AsShown(button->text());
        if (auto* menu = qobject_cast<QMenu*>(&control))
            return AsShown(menu->title());
        auto& action = ControlAs<QAction>(window, name);
        const QString shortcut = action.shortcut().toString();
        return AsShown(action.text()) + (shortcut.isEmpty() ? "" : "\t" + shortcut.toStdString());
    }

    Font FontOf(std::string_view window, std::string_view name) override {
        const QFont font = ControlAs<QWidget>(window, name).font();
        return {font.family().toStdString(),
                font.pixelSize(),
                font.weight(),
                font.italic(),
                font.underline(),
                font.strikeOut()};
    }

    std::vector<std::string> Announcements() override { return std::exchange(announced, {}); }

    std::optional<std::vector<SeenFromOutside>> TreeFromOutside() override {
        const std::optional<QString> read = FromOutside({});
        if (!read)
            return std::nullopt;
        std::vector<SeenFromOutside> tree;
        for (const QString& line : read->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.size() != 3)
                throw std::runtime_error("the accessibility bus reader wrote " + line.toStdString());
            tree.push_back({fields[0].toInt(), fields[1].toStdString(), fields[2].toStdString()});
        }
        return tree;
    }

    std::optional<bool> PressOwnTitleBarButton(std::string_view window,
                                               std::string_view button) override {
        // A Wayland compositor tells no window that it is minimized: what the program asked
        // for is read from the protocol.
        const auto minimizeRequests = [] {
            return std::ranges::count_if(ProtocolLines(), [](const std::string& line) {
                return line.find(" -> xdg_toplevel@") != std::string::npos &&
                       line.ends_with(".set_minimized()");
            });
        };
        const auto before = minimizeRequests();
        const QPointer<QWidget> shown = &Window(window);
        if (OwnTitleBar(*shown) == nullptr ||
            !FromOutside({QStringLiteral("--press"), Q(button)}))
            return std::nullopt;
        // The button acts on the reader's request as the program next handles its events, and
        // a closed window may be gone by then.
        QTest::qWait(200);
        return minimizeRequests() > before || (shown != nullptr && shown->isMinimized());
    }

    Accessible AccessibleOf(std::string_view window, std::string_view name) override {
        QObject* object = &Control(window, name);
        QAccessibleInterface* face = nullptr;
        if (auto* menu = qobject_cast<QMenu*>(object)) {
            // A menu title is an item of the menu bar.
            QAccessibleInterface* bar =
                QAccessible::queryAccessibleInterface(Window(window).findChild<QMenuBar*>());
            for (int i = 0; i < bar->childCount(); ++i)
                if (bar->child(i)->object() == menu->menuAction())
                    face = bar->child(i);
        } else {
            face = QAccessible::queryAccessibleInterface(object);
        }
        if (face == nullptr)
            return {};
        // Measured from the client's corner mapped the way the interface maps the control's:
        // where a window lies on an odd device pixel at scale 2, mapping back from the screen
        // rounds the other way.
        const QRect onScreen = face->rect();
        const QPoint corner = onScreen.topLeft() - Client(window).mapToGlobal(QPoint(0, 0));
        return {roles.contains(face->role()) ? roles.at(face->role()) : Role::Other,
                AsShown(face->text(QAccessible::Name)),
                {corner.x(), corner.y(), onScreen.width(), onScreen.height()}};
    }

    std::string ControlAt(std::string_view window, Point point) override {
        QWidget* hit = Client(window).childAt(point.x, point.y);
        return hit != nullptr ? hit->objectName().toStdString() : std::string();
    }

    std::string Focused(std::string_view window) override {
        ActivateAndWait(Window(window));
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr ? focus->objectName().toStdString() : std::string();
    }

    void Click(std::string_view window, std::string_view name) override {
        if (auto* action = qobject_cast<QAction*>(&Control(window, name))) {
            action->trigger();
            return;
        }
        auto& control = ControlAs<QWidget>(window, name);
        if (auto* button = qobject_cast<QAbstractButton*>(&control); !control.isVisible() && button)
            button->click(); // a window not yet shown takes no mouse input
        else
            QTest::mouseClick(&control, Qt::LeftButton, {}, control.rect().center());
    }

    void Paste(std::string_view window, std::string_view name, std::string_view text) override {
        ControlAs<QLineEdit>(window, name).setText(Q(text));
    }

    void Type(std::string_view window, std::string_view name, std::string_view text) override {
        auto& edit = ControlAs<QLineEdit>(window, name);
        edit.setFocus();
        edit.end(false);
        // One key per character, emoji included: a key's text may be a surrogate pair.
        const QString characters = Q(text);
        for (qsizetype at = 0; at < characters.size();) {
            const qsizetype length = characters.at(at).isHighSurrogate() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, characters.mid(at, length),
                                Qt::NoModifier);
            at += length;
        }
    }

    void Press(std::string_view window, Key key) override {
        QWidget& shown = Window(window);
        ActivateAndWait(shown);
        QTest::keyClick(shown.windowHandle(), keys[int(key)]);
    }

    MessageBoxSeen AnswerMessageBox(Answer answer, const std::function<void()>& action) override {
        MessageBoxSeen seen;
        WhileBoxOpens(
            [&](QMessageBox& box) {
                // Keys reach the box's shortcuts once the window system has made it active
                // and the focus has come into it.
                ActivateAndWait(box);
                if (!QTest::qWaitFor([&] { return box.isAncestorOf(QApplication::focusWidget()); }))
                    throw std::runtime_error("the message box did not take the focus");
                seen.title = box.windowTitle().toStdString();
                seen.prompt = box.text().toStdString();
                seen.icon = iconNames.contains(box.icon()) ? iconNames.at(box.icon()) : "";
                if (QWidget* bar = OwnTitleBar(box))
                    seen.titleBarButtons = TitleBarButtons(*bar);
                seen.treeFromOutside = TreeFromOutside();
                for (QAbstractButton* button : box.buttons())
                    seen.buttons.push_back(AsShown(button->text()));
                if (QPushButton* byDefault = box.defaultButton())
                    seen.defaultButton = AsShown(byDefault->text());
                // F1 offers help in a box of its own, which is read and closed.
                WhileBoxOpens(
                    [&](QMessageBox& help) {
                        seen.help = help.text().toStdString();
                        help.close();
                    },
                    [&] { QTest::keyClick(&box, Qt::Key_F1); });
                if (answer == Answer::Yes || answer == Answer::No) {
                    if (QAbstractButton* button =
                            box.button(answer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No))
                        button->click();
                    else
                        box.close(); // a box without that answer, as a run-time error's
                } else
                    QTest::keyClick(&box,
                                    answer == Answer::Return ? Qt::Key_Return : Qt::Key_Escape);
            },
            action);
        return seen;
    }

protected:
    void PressCloseBox(std::string_view window) override {
        // A title bar the window draws itself is clicked as the user would.
        QWidget& shown = Window(window);
        if (QWidget* bar = OwnTitleBar(shown))
            if (auto* close = bar->findChild<QAbstractButton*>(QStringLiteral("TitleBarClose")))
                return QTest::mouseClick(close, Qt::LeftButton);
        shown.close();
    }

    Rgb ButtonFace() override { return {239, 239, 239}; } // in Qt's Fusion palette

    std::pair<Rgb, int> PictureSample(std::string_view picture, Point point) override {
        return SampleOf(QStringLiteral(":/assets/") + Q(picture), point);
    }

private:
    // Runs the reader of the accessibility bus (tests/support/atspi-tree, named by
    // QUIBLY_ATSPI_TREE) on this process with `arguments`; what it printed, or nothing where no
    // reader is named. The program answers the reader from its event loop, which runs meanwhile.
    static std::optional<QString> FromOutside(const QStringList& arguments) {
        const char* reader = std::getenv("QUIBLY_ATSPI_TREE");
        if (reader == nullptr)
            return std::nullopt;
        QProcess process;
        process.start(QString::fromLocal8Bit(reader),
                      QStringList{QString::number(QCoreApplication::applicationPid())} + arguments);
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000)) {
            process.kill();
            process.waitForFinished();
            throw std::runtime_error(std::string(reader) + " did not end within 30 s");
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            throw std::runtime_error(std::string(reader) + " failed: " +
                                     process.readAllStandardError().toStdString());
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static QWidget* FocusableWindow() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && !(window->windowFlags() & Qt::WindowDoesNotAcceptFocus))
                return window;
        return nullptr;
    }

    static void ActivateAndWait(QWidget& window) {
        if (QApplication::activeWindow() == &window ||
            (window.windowFlags() & Qt::WindowDoesNotAcceptFocus))
            return;
        static const bool activates = CompositorActivatesWindows();
        if (!activates)
        // Qt 6.7 renamed the call after what it reports: the window that has the focus.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
            QWindowSystemInterface::handleFocusWindowChanged<
#else
            QWindowSystemInterface::handleWindowActivated<
#endif
                QWindowSystemInterface::SynchronousDelivery>(window.windowHandle(),
                                                             Qt::ActiveWindowFocusReason);
        window.activateWindow();
        // Qt's Wayland platform makes no promise to activate, so the wait is for the
        // compositor's word to have reached the application; GNOME's, drawing at scale 2 in
        // software on a loaded machine, has been seen to take more than 5 s.
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 20000))
            throw std::runtime_error("the window " + window.objectName().toStdString() +
                                     " did not become active");
    }
};

} // namespace

Driver& Current() {
    static QtDriver driver;
    return driver;
}

} // namespace TestDriver
