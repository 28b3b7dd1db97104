#include "TestPrograms.h"

#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/Session.h"
#include "splash/frmSplash.h"

#include <array>

using namespace FormsRuntime;

namespace TestPrograms {

Progress progress;

void Reached(std::string_view what) {
    if (what == "after failure")
        progress.reachedAfterFailure = true;
    else if (what == "held released")
        progress.heldObjectReleased = true;
    detail::Trace(traceObject, what);
}

namespace {

// Something a procedure holds, which tells when it is released.
struct Held {
    ~Held() { Reached("held released"); }
};

// clang-format off
constexpr std::array brokenControls{
    ControlLayout{.kind = ControlKind::Image, .name = "Picture", .width = 150, .height = 150,
                  .picture = ":/assets/no-such-picture.bmp"},
};
constexpr std::array buttons{
    ControlLayout{.kind = ControlKind::CommandButton, .name = "Fail", .width = 750,
                  .height = 375, .caption = u"Fail"},
};
// clang-format on
constexpr WindowLayout brokenWindow{.name = "frmBroken", .controls = brokenControls};
constexpr WindowLayout buttonsWindow{.name = "frmButtons",
                                     .caption = u"Buttons",
                                     .clientWidth = 1500,
                                     .clientHeight = 375,
                                     .controls = buttons};

class frmBroken final : public Form {
public:
    frmBroken() : Form(brokenWindow) {}
};

class frmButtons final : public Form {
public:
    frmButtons() : Form(buttonsWindow) {
        OnClick("Fail", [] {
            const Held held;
            frmBroken unloaded;
            unloaded.Refresh(); // the window is not loaded
            Reached("after failure");
        });
    }
};

void MainThatLoadsAMissingPicture() {
    const Held held;
    DefaultInstance<frmBroken>().Show();
    Reached("after failure");
}

void ShowButtons() {
    DefaultInstance<frmButtons>().Show();
}

void ShowAndUnloadSplash() {
    DefaultInstance<frmSplash>().Show();
    DefaultInstance<frmSplash>().Unload();
}

const AppInfo tester{.Title = u"Tester"};

struct Entry {
    std::string_view name;
    const Program* program;
};

} // namespace

const Program failureInMain{.app = tester, .main = &MainThatLoadsAMissingPicture};
const Program failureInHandler{.app = tester, .main = &ShowButtons};
const Program otherIdentity{.app = {.Title = u"Zed", .Major = 10, .Minor = 15, .Revision = 7},
                            .main = &ShowAndUnloadSplash};

namespace {
const std::array<Entry, 3> entries{{{"failure-in-main", &failureInMain},
                                    {"failure-in-handler", &failureInHandler},
                                    {"other-identity", &otherIdentity}}};
} // namespace

std::string_view NameOf(const Program& program) {
    for (const auto& [name, known] : entries)
        if (known->main == program.main)
            return name;
    return {};
}

const Program* Named(std::string_view name) {
    for (const auto& [known, program] : entries)
        if (known == name)
            return program;
    return nullptr;
}

} // namespace TestPrograms
