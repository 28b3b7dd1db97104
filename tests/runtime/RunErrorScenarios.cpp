// A failing operation becomes a run-time error that names its object and operation, is shown
// to the user, releases what the procedure held and ends the program with status 2. (End, on
// Exit answered Yes, is the leave question's.)

#include "Driver.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"

#include <array>
#include <gtest/gtest.h>

using namespace FormsRuntime;
using namespace TestDriver;

namespace {

// Set by the procedures under test, so that the test sees how far they ran.
bool reachedAfterFailure = false;
bool heldObjectReleased = false;

struct Held {
    ~Held() { heldObjectReleased = true; }
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
            reachedAfterFailure = true;
        });
    }
};

void MainThatLoadsAMissingPicture() {
    const Held held;
    DefaultInstance<frmBroken>().Show();
    reachedAfterFailure = true;
}

void ShowButtons() {
    DefaultInstance<frmButtons>().Show();
}

const AppInfo tester{.Title = u"Tester"};

TEST(RunEnd, ByRunTimeError) {
    Driver& d = Current();
    const struct {
        const char* what;
        Program program;
        const char* click;
        const char* message;
    } runs[] = {
        {"failure in Main",
         {.app = tester, .main = &MainThatLoadsAMissingPicture},
         nullptr,
         "frmBroken.Picture: load picture failed"},
        {"failure in a handler",
         {.app = tester, .main = &ShowButtons},
         "Fail",
         "frmBroken: Refresh failed: the window frmBroken is not loaded"},
    };
    for (const auto& [what, program, click, message] : runs) {
        SCOPED_TRACE(what);
        reachedAfterFailure = heldObjectReleased = false;
        int ended = -1;
        const MessageBoxSeen box = d.AnswerMessageBox(Answer::Return, [&] {
            ended = d.Run(program, [&] {
                if (click != nullptr)
                    d.Click("frmButtons", click);
            });
        });
        EXPECT_EQ(box.title, "Tester");
        EXPECT_NE(box.prompt.find(message), std::string::npos) << box.prompt;
        EXPECT_EQ(ended, 2);
        EXPECT_FALSE(reachedAfterFailure);
        EXPECT_TRUE(heldObjectReleased);
        EXPECT_EQ(d.CountShown("frmButtons") + d.CountShown("frmBroken"), 0);
    }
}

} // namespace
