// Quibly on a phone or tablet, either way up, by touch and with the on-screen keyboard: every
// part of the window in sight and answering a tap, at the largest scale that fits in whole
// device pixels; the text box and Enter above the keyboard both ways browsers report it; the
// conversation kept as the phone turns; the window dragged by a finger kept within reach.
// Runs where QUIBLY_WEB_DEVICE names a phone (tests/web/CMakeLists.txt).

#include "Driver.h"
#include "shell/Program.h"
#include "web/Phone.h"

#include <gtest/gtest.h>
#include <iostream>
#include <map>

using namespace TestDriver;
using namespace TestDriver::web;

namespace {

constexpr std::string_view W = "frmMain";

// Device pixels per pixel that each screen draws the conversation window at, upright and
// turned. The window with its frame is 282 x 396 pixels, and the task bar below it 28 high:
// it fits a 390 x 844 screen at its natural size, but 844 x 390 only at 2 of the 3 device
// pixels per CSS pixel, and 568 x 320 only at 1 of 2.
const std::map<std::string, std::pair<double, double>> scales{
    {"390x844@3", {3, 2}}, {"844x390@3", {2, 3}}, {"320x568@2", {2, 1}}, {"768x1024@2", {2, 2}}};

std::string NameOf(const Screen& screen) {
    return std::to_string(screen.width) + "x" + std::to_string(screen.height);
}

void EveryPartInSight(Phone& phone, const char* when) {
    for (const char* part : {"icon", "caption", "minimize", "close", "MenuFile", "Label1",
                             "client", "Text1", "Command1", "taskbar"}) {
        const Sight sight = phone.SightOf(W, part);
        EXPECT_TRUE(sight.inView) << part << " lies off the screen " << when;
        EXPECT_TRUE(sight.uncovered) << part << " is covered " << when;
    }
}

void Look(Phone& phone, const std::string& name) {
    std::cout << "Screenshot: " << phone.Screenshot(name) << "\n";
}

// Typed on the on-screen keyboard while it is up, and sent with its Return.
void KeyboardTurn(Driver& d, Phone& phone, KeyboardWay way, const char* typed, const char* reply,
                  const std::string& shot) {
    SCOPED_TRACE(testing::Message() << "keyboard " << shot);
    d.Click(W, "Text1");
    d.Paste(W, "Text1", "");
    phone.ShowKeyboard(way, 0.4);
    for (const char* part : {"Text1", "Command1"}) {
        const Sight sight = phone.SightOf(W, part);
        EXPECT_TRUE(sight.inView && sight.uncovered) << part << " is under the keyboard";
    }
    Look(phone, shot);
    d.Type(W, "Text1", typed);
    d.Press(W, Key::Return);
    EXPECT_EQ(d.Text(W, "Label1"), reply);
    phone.HideKeyboard();
    EXPECT_TRUE(d.Look(W).centred) << "the window did not come back when the keyboard went";
}

TEST(Phone, ByTouchEitherWayUpWithTheKeyboard) {
    Phone& phone = CurrentPhone();
    if (!phone.Emulated())
        GTEST_SKIP() << "the page runs as on a desktop: QUIBLY_WEB_DEVICE names no phone";
    const Screen screen = *phone.Emulated();
    const std::string name = NameOf(screen);
    const std::string device = name + "@" + std::to_string(int(screen.pixelRatio));
    ASSERT_TRUE(scales.contains(device)) << "no expected scale for " << device;
    const auto [upright, turned] = scales.at(device);
    Driver& d = Current();

    const int status = d.Run(QuiblyProgram, [&] {
        EXPECT_EQ(phone.DevicePixelsPerPixel(W), upright);
        EveryPartInSight(phone, "at the start");
        Look(phone, name);

        // Taps on the text box and Enter answer as clicks do.
        d.Click(W, "Text1");
        EXPECT_EQ(d.Focused(W), "Text1");
        d.Type(W, "Text1", "hi");
        d.Click(W, "Command1");
        EXPECT_EQ(d.Text(W, "Label1"), "hello");

        KeyboardTurn(d, phone, KeyboardWay::ShrinksLayout, "hello", "hi", name + "-keyboard");
        KeyboardTurn(d, phone, KeyboardWay::ShrinksVisualViewport, "how are you?", "fine",
                     name + "-keyboard-visual");

        // Turned, the window fits again at once and keeps the conversation.
        d.Paste(W, "Text1", "what now");
        phone.Turn();
        const std::string sideways = NameOf(*phone.Emulated());
        EXPECT_EQ(phone.DevicePixelsPerPixel(W), turned);
        EXPECT_EQ(d.Text(W, "Text1"), "what now");
        EXPECT_EQ(d.Text(W, "Label1"), "fine");
        EveryPartInSight(phone, "turned");
        Look(phone, sideways);
        KeyboardTurn(d, phone, KeyboardWay::ShrinksVisualViewport, "hi", "hello",
                     sideways + "-keyboard-visual");
        phone.Turn();
        EXPECT_EQ(phone.DevicePixelsPerPixel(W), upright);
        EXPECT_EQ(d.Text(W, "Label1"), "hello");

        // Minimized by a tap, back by a tap on its task-bar button.
        phone.Tap(W, "minimize");
        EXPECT_EQ(d.CountShown(W), 0);
        phone.Tap(W, "taskbar");
        EXPECT_EQ(d.CountShown(W), 1);

        // File > Exit > No by taps keeps the window.
        const MessageBoxSeen box = d.AnswerMessageBox(Answer::No, [&] { d.Click(W, "MenuExit"); });
        EXPECT_EQ(box.prompt, "Are you leaving?");
        EXPECT_EQ(d.CountShown(W), 1);

        // A finger drags the window to the screen's edges: its title bar stays on the screen,
        // below its top and above the task bar, and the run ends with a tap on its close box.
        const Screen now = *phone.Emulated();
        phone.DragTitleBarTo(W, now.width - 2, 1);
        for (const char* part : {"icon"}) {
            const Sight sight = phone.SightOf(W, part);
            EXPECT_TRUE(sight.inView && sight.uncovered) << part << ", dragged to the top right";
        }
        phone.DragTitleBarTo(W, 2, now.height - 2);
        for (const char* part : {"minimize", "close"}) {
            const Sight sight = phone.SightOf(W, part);
            EXPECT_TRUE(sight.inView && sight.uncovered) << part << ", dragged to the bottom left";
        }
    });
    EXPECT_EQ(status, 0);
}

} // namespace
