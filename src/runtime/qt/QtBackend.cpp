// The forms runtime on Qt 6 Widgets.

#include "runtime/Backend.h"
#include "runtime/Runtime.h"
#include "runtime/qt/Announcer.h"
#include "runtime/qt/Appearance.h"
#include "runtime/qt/ControlWidgets.h"
#include "runtime/qt/Convert.h"
#include "runtime/qt/DeferredIcons.h"
#include "runtime/qt/FormWindow.h"
#include "runtime/qt/MessageBoxes.h"
#include "runtime/qt/PlatformStart.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QStyleHints>
#include <fontconfig/fontconfig.h>
#include <string>
#include <thread>

namespace FormsRuntime {
namespace {

class QtWindow final : public BackendWindow {
public:
    explicit QtWindow(FormEvents events) : window_(new FormWindow(events)) {}

    // The window may be unloaded from inside one of its own events: hide it now and let the
    // message loop destroy it once that event is over.
    ~QtWindow() override {
        if (window_ != nullptr) {
            window_->hide();
            window_->deleteLater();
        }
    }

    void Show() override { window_->show(); }
    void Refresh() override { window_->RefreshNow(); }
    Text ControlText(std::size_t control) const override {
        QWidget& widget = window_->Control(control);
        if (auto* textBox = qobject_cast<QLineEdit*>(&widget))
            return textBox->text().toStdU16String();
        return static_cast<LabelWidget&>(widget).text().toStdU16String();
    }
    void SetControlText(std::size_t control, TextView text) override {
        static_cast<LabelWidget&>(window_->Control(control)).SetCaption(ToQString(text));
    }
    void AnnounceCaption(std::size_t control, TextView caption) override {
        Announce(window_->Control(control), ToQString(caption));
    }

private:
    QPointer<FormWindow> window_;
};

class QtBackend final : public Backend {
public:
    int Start(const Program& program, int argc, char** argv,
              const std::function<int()>& run) override {
        // The toolkit sees the program's name only: arguments are not the program's to act on.
        std::string fallbackName = ToDisplayAscii(program.app.Title);
        int toolkitArgc = 1;
        char* toolkitArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName.data(),
                               nullptr};

        // The menu bar stays in the window, whose client area sits below it, even on desktops
        // that offer to take menus into a bar of their own.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
        // The system's font configuration is read on a thread of its own while the toolkit
        // connects to the display, which takes longer: the splash's first text then finds it
        // ready. Should reading it fail, the toolkit reads it again and reports it as ever.
        std::jthread fontConfiguration([] { FcInit(); });
        ExitUnlessPlatformStarts guard(program.app.Title);
        QApplication application(toolkitArgc, toolkitArgv);
        guard.Started();
        fontConfiguration.join();
        // The chosen style, except that a bar's extension icon, shown only when the bar
        // overflows, is read when first drawn.
        QApplication::setStyle(new DeferredIconStyle(QApplication::style()));
        // The application name stays the executable's name: the window class the desktop entry
        // expects. No display name either, since Qt would append it to every window title.
        const AppInfo& app = program.app;
        QCoreApplication::setApplicationVersion(ToQString(
            IntToText(app.Major) + u"." + IntToText(app.Minor) + u"." + IntToText(app.Revision)));
        QGuiApplication::setDesktopFileName(ToQString(program.desktopId));
        // A steady caret: an idle program uses no processor time, whatever the text box holds.
        QGuiApplication::styleHints()->setCursorFlashTime(0);
        return run();
    }

    void BeginRun(const Program& program) override {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        if (!program.icon.empty())
            QGuiApplication::setWindowIcon(LoadIcon(program.icon, "App"));
    }

    std::unique_ptr<BackendWindow> CreateFormWindow(FormEvents events) override {
        return std::make_unique<QtWindow>(events);
    }

    void RunLoop() override { QApplication::exec(); }
    void Quit() override { QCoreApplication::exit(); }

    void EndRun() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    std::optional<MsgBoxResult> ShowMessageBox(const MessageBoxRequest& request) override {
        return ShowQtMessageBox(request);
    }

    // What is spoken as the box opens is the screen reader's reading of it (MessageBoxes.h).
    void ShowRunTimeError(TextView title, std::string_view message, TextView) override {
        ShowQtRunTimeError(title, message);
    }
};

} // namespace

Backend& Platform() {
    static QtBackend backend;
    return backend;
}

} // namespace FormsRuntime
