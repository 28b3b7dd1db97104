// Start-up on a real desktop: the windows come and go in order, the splash is on the screen
// in full before the conversation window is built, nothing the user does while Main runs
// starts anything, there is one conversation window, and its close box ends the program
// without a question, also where a screen reader presses it.

#include "Driver.h"
#include "shell/Program.h"

#include <gtest/gtest.h>
#include <iostream>

using namespace TestDriver;

namespace {

TEST(StartUp, WindowsComeAndGoInOrder) {
    Driver& d = Current();
    std::vector<std::string> trace;
    bool splashOnScreen = false;
    FormsRuntime::SetOperationTrace([&](std::string_view object, std::string_view operation) {
        const std::string step = std::string(object) + " " + std::string(operation);
        trace.push_back(step);
        if (step == "frmMain Create") {
            splashOnScreen = d.OnScreenAsPainted("frmSplash");
            d.Press("frmSplash", Key::Escape);
        } else if (step == "frmMain Show") {
            d.Click("frmMain", "Command1"); // would show "how may I assist you?"
        }
    });
    const int status = d.Run(QuiblyProgram, [&] {
        EXPECT_EQ(d.Announcements(), std::vector<std::string>{})
            << "captions filled in before their window shows are not news";
        EXPECT_EQ(d.CountShown("frmSplash"), 0);
        EXPECT_EQ(d.CountShown("frmMain"), 1);
        EXPECT_EQ(d.Text("frmMain", "Label1"),
                  "Hello, I'm Quibly beta 2.3. It is nice to meet you.");
        EXPECT_FALSE(d.Close("frmMain")) << "the close box asks nothing";
        EXPECT_EQ(d.CountShown("frmMain"), 0);
    });
    FormsRuntime::SetOperationTrace({});

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(splashOnScreen) << "the splash was not fully painted on the screen";
    EXPECT_EQ(trace,
              (std::vector<std::string>{"frmSplash Create", "frmSplash Load", "frmSplash Show",
                                        "frmSplash Refresh", "frmMain Create", "frmMain Load",
                                        "frmSplash Unload", "frmMain Show", "frmMain Unload"}));
}

// A screen reader presses the buttons of the title bar Quibly draws itself as it presses any
// button, and they do what a click does.
TEST(StartUp, ScreenReaderPressesTheTitleBar) {
    Driver& d = Current();
    const int status = d.Run(QuiblyProgram, [&] {
        const std::optional<bool> minimized = d.PressOwnTitleBarButton("frmMain", "Minimize");
        if (!minimized) {
            std::cout << "Title bar not pressed by a screen reader: the window system draws it, "
                         "or no reader of the accessibility bus runs here\n";
            return;
        }
        EXPECT_TRUE(*minimized);
        const MessageBoxSeen asked = d.AnswerMessageBox(
            Answer::No, [&] { d.PressOwnTitleBarButton("frmMain", "Close"); });
        EXPECT_TRUE(asked.buttons.empty()) << "the close box asked " << asked.prompt;
        EXPECT_EQ(d.CountShown("frmMain"), 0);
    });
    EXPECT_EQ(status, 0);
}

} // namespace
