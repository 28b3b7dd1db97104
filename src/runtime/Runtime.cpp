#include "runtime/Runtime.h"

#include "runtime/Form.h"
#include "runtime/RuntimeError.h"
#include "runtime/Session.h"
#include "runtime/qt/Appearance.h"
#include "runtime/qt/Convert.h"
#include "runtime/qt/ErrorReport.h"
#include "runtime/qt/PlatformStart.h"

#include <QApplication>
#include <QStyleHints>
#include <map>
#include <utility>

namespace FormsRuntime {
namespace {

// Thrown by End and caught where the runtime called into the program: it leaves the running
// procedure at once, releasing what the procedure holds on the way out.
struct EndRequest {};

struct Session {
    explicit Session(const Program& started) : program(started) {}

    const Program& program;
    bool mainRunning = true; // no event is delivered before Main returns
    bool ending = false;     // no event is delivered once the program ends
    bool inMessageLoop = false;
    int exitStatus = ExitNormal;
    std::map<std::type_index, std::unique_ptr<Form>> defaultInstances;
};

Session* current = nullptr;

OperationTrace& TraceHook() {
    static OperationTrace hook;
    return hook;
}

Session& Current(std::string_view object, std::string_view operation) {
    if (current == nullptr)
        throw RuntimeError(std::string(object), std::string(operation),
                           "the forms runtime has not been started");
    return *current;
}

// From here on no event is delivered; the first reason to end sets the exit status.
void BeginEnding(int status) {
    if (!current->ending) {
        current->ending = true;
        current->exitStatus = status;
    }
}

void EndProgram(int status) {
    Session& session = *current;
    BeginEnding(status);
    UnloadEveryForm();
    if (session.inMessageLoop)
        QCoreApplication::exit(session.exitStatus);
}

// Tells the user, then ends the program with the run-time error status.
void EndWithError(const RuntimeError& error) {
    BeginEnding(ExitRunTimeError);
    ReportRunTimeError(error, current->program.app.Title);
    EndProgram(ExitRunTimeError);
}

// Calls a procedure of the program. Procedures handle no errors: an error ends the procedure
// and then the program, after the user has been told. `object` names the caller for errors
// that carry no name of their own; it is only asked for then.
void CallProgram(const std::function<std::string()>& object, std::string_view operation,
                 const std::function<void()>& procedure) {
    try {
        procedure();
    } catch (const EndRequest&) {
        EndProgram(ExitNormal);
    } catch (const RuntimeError& error) {
        EndWithError(error);
    } catch (const std::exception& error) {
        EndWithError(RuntimeError(object(), std::string(operation), error.what()));
    }
}

} // namespace

int Start(int argc, char** argv, const Program& program) {
    // The toolkit sees the program's name only: arguments are not the program's to act on.
    int toolkitArgc = 1;
    char fallbackName[] = "Quibly";
    char* toolkitArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};

    // The menu bar stays in the window, whose client area sits below it, even on desktops
    // that offer to take menus into a bar of their own.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    ExitUnlessPlatformStarts guard(program.app.Title);
    QApplication application(toolkitArgc, toolkitArgv);
    guard.Started();
    // The application name stays the executable's name: the window class the desktop entry
    // expects. No display name either, since Qt would append it to every window title.
    const AppInfo& app = program.app;
    QCoreApplication::setApplicationVersion(ToQString(
        IntToText(app.Major) + u"." + IntToText(app.Minor) + u"." + IntToText(app.Revision)));
    QGuiApplication::setDesktopFileName(ToQString(program.desktopId));
    // A steady caret: an idle program uses no processor time, whatever the text box holds.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    return Run(program);
}

int Run(const Program& program) {
    Session session{program};
    current = &session;
    QGuiApplication::setQuitOnLastWindowClosed(false);
    CallProgram([] { return std::string("Main"); }, "run",
                [&program] {
                    // Windows without an icon of their own show the program's.
                    if (!program.icon.empty())
                        QGuiApplication::setWindowIcon(LoadIcon(program.icon, "App"));
                    program.main();
                });
    session.mainRunning = false;
    if (!session.ending && AnyFormLoaded()) {
        session.inMessageLoop = true;
        QApplication::exec();
        session.inMessageLoop = false;
    }

    UnloadEveryForm();
    session.defaultInstances.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    current = nullptr;
    return session.exitStatus;
}

void End() {
    throw EndRequest{};
}

void SetOperationTrace(OperationTrace trace) {
    TraceHook() = std::move(trace);
}

Form& detail::DefaultInstance(std::type_index windowClass, std::unique_ptr<Form> (*create)()) {
    Session& session = Current(windowClass.name(), "create default instance");
    auto& instance = session.defaultInstances[windowClass];
    if (!instance)
        instance = create();
    return *instance;
}

void detail::Trace(std::string_view object, std::string_view operation) {
    if (const auto& hook = TraceHook())
        hook(object, operation);
}

void detail::DeliverEvent(const Form& form, std::string_view control, std::string_view event,
                          const std::function<void()>& handler) {
    if (current == nullptr || current->mainRunning || current->ending)
        return;
    CallProgram([&] { return form.ObjectName(control); }, event, handler);
}

void detail::WindowUnloaded() {
    if (current == nullptr || current->mainRunning || !current->inMessageLoop)
        return;
    if (!AnyFormLoaded())
        QCoreApplication::exit(current->exitStatus);
}

Text AppRecord::Title() const {
    return Text(Current("App", "read Title").program.app.Title);
}
std::int16_t AppRecord::Major() const {
    return Current("App", "read Major").program.app.Major;
}
std::int16_t AppRecord::Minor() const {
    return Current("App", "read Minor").program.app.Minor;
}
std::int16_t AppRecord::Revision() const {
    return Current("App", "read Revision").program.app.Revision;
}

} // namespace FormsRuntime
