#include "runtime/Runtime.h"

#include "runtime/Backend.h"
#include "runtime/Form.h"
#include "runtime/RuntimeError.h"
#include "runtime/Session.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
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
        Platform().Quit();
}

// Tells the user (one line on standard error and a box), then ends the program with the
// run-time error status.
void EndWithError(const RuntimeError& error) {
    BeginEnding(ExitRunTimeError);
    const TextView title = current->program.app.Title;
    std::fprintf(stderr, "%s: run-time error: %s\n", ToDisplayAscii(title).c_str(), error.what());
    std::fflush(stderr);
    const std::string message = std::string("Run-time error:\n") + error.what();
    Platform().ShowRunTimeError(title, message, SpokenOnOpening(title, TextFromUtf8(message)));
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
    return Platform().Start(program, argc, argv, [&program] { return Run(program); });
}

int Run(const Program& program) {
    Backend& platform = Platform();
    Session session{program};
    current = &session;
    CallProgram([] { return std::string("Main"); }, "run",
                [&] {
                    platform.BeginRun(program);
                    program.main();
                });
    session.mainRunning = false;
    if (!session.ending && AnyFormLoaded()) {
        session.inMessageLoop = true;
        platform.RunLoop();
        session.inMessageLoop = false;
    }

    UnloadEveryForm();
    session.defaultInstances.clear();
    platform.EndRun();
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
        Platform().Quit();
}

void EndForNoDisplay(TextView programTitle, std::string_view reason) {
    const std::string line =
        ToDisplayAscii(programTitle) + ": cannot open its window: " + std::string(reason) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(ExitNoDisplay);
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
