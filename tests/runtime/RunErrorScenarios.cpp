// A failing operation becomes a run-time error that names its object and operation, is shown
// to the user, releases what the procedure held and ends the program with status 2. (End, on
// Exit answered Yes, is the leave question's.)

#include "Driver.h"
#include "TestPrograms.h"

#include <gtest/gtest.h>

using namespace TestDriver;

namespace {

TEST(RunEnd, ByRunTimeError) {
    Driver& d = Current();
    const struct {
        const char* what;
        FormsRuntime::Program program;
        const char* click;
        const char* message;
    } runs[] = {
        {"failure in Main", TestPrograms::failureInMain, nullptr,
         "frmBroken.Picture: load picture failed"},
        {"failure in a handler", TestPrograms::failureInHandler, "Fail",
         "frmBroken: Refresh failed: the window frmBroken is not loaded"},
    };
    for (const auto& [what, program, click, message] : runs) {
        SCOPED_TRACE(what);
        TestPrograms::progress = {};
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
        EXPECT_FALSE(TestPrograms::progress.reachedAfterFailure);
        EXPECT_TRUE(TestPrograms::progress.heldObjectReleased);
        EXPECT_EQ(d.CountShown("frmButtons") + d.CountShown("frmBroken"), 0);
    }
}

} // namespace
