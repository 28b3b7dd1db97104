// The conversation window as the user meets it, in one run of Quibly: its frame, controls,
// fonts and pixels, the sixteen replies through the Enter button, the keys, what a screen
// reader is told, and the leave question, whose Yes ends the run.

#include "Driver.h"
#include "Replies.h"
#include "shell/Program.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <utility>

using namespace TestDriver;

namespace {

constexpr std::string_view W = "frmMain";
constexpr Rgb peach{255, 224, 192}, red{255, 0, 0}, blue{0, 0, 255};

// Whether one of `objects` has that role and name.
bool Holds(const std::vector<SeenFromOutside>& objects, std::string_view role,
           std::string_view name) {
    return std::ranges::any_of(objects, [&](const SeenFromOutside& seen) {
        return seen.role == role && seen.name == name;
    });
}

void FrameAndControls(Driver& d) {
    SCOPED_TRACE("phase: the frame and the controls");
    EXPECT_EQ(d.Focused(W), "Text1");
    const WindowLook look = d.Look(W);
    EXPECT_EQ(look.caption, "Quibly");
    EXPECT_TRUE(look.titleBar);
    EXPECT_TRUE(look.minimizeButton);
    EXPECT_FALSE(look.maximizeButton); // the one title-bar button switched off
    EXPECT_TRUE(look.resizable);
    EXPECT_TRUE(look.taskBarButton);
    EXPECT_EQ(look.iconSize, 32);
    EXPECT_EQ(look.clientWidth, 274);
    EXPECT_EQ(look.clientHeight, 351);
    if (const std::optional<bool> maximizes = d.TitleBarMaximizes(W)) {
        EXPECT_FALSE(*maximizes) << "a click or double-click on the title bar maximized it";
    }
    EXPECT_EQ(d.Text(W, "MenuFile"), "File");
    EXPECT_EQ(d.Text(W, "MenuExit"), "Exit");
    EXPECT_EQ(d.Text(W, "Command1"), "Enter");

    const std::pair<const char*, Rect> places[] = {
        {"Command1", {224, 328, 49, 25}}, {"Text1", {0, 328, 225, 25}}, {"Label1", {0, 0, 89, 89}},
        {"Image2", {-96, 0, 423, 500}},   {"Image1", {0, 0, 1, 9}},     {"Line1", {88, 0, 1, 89}},
        {"Line2", {0, 88, 89, 1}},
    };
    const std::pair<const char*, Font> fonts[] = {{"Command1", {"Arial", 13, 400}},
                                                  {"Text1", {"Arial", 16, 400}},
                                                  {"Label1", {"Arial", 15, 400}}};
    for (const auto& [control, font] : fonts)
        EXPECT_EQ(d.FontOf(W, control), font) << control;
    EXPECT_EQ(d.ControlAt(W, {224, 340}), "Command1"); // over the text box where they meet
    EXPECT_EQ(d.ControlAt(W, {223, 340}), "Text1");
    // Resizing moves and resizes nothing.
    for (const Point size : {Point{274, 351}, Point{600, 800}, Point{100, 60}}) {
        d.Resize(W, size.x, size.y);
        for (const auto& [control, pixels] : places)
            EXPECT_EQ(d.Geometry(W, control), pixels)
                << control << " at " << size.x << " x " << size.y;
    }
}

void Pixels(Driver& d) {
    SCOPED_TRACE("phase: pixels");
    d.Resize(W, 600, 800);
    const Snapshot shown = d.Grab(W);
    const Rgb face = d.SystemColour(15), windowText = d.SystemColour(8);
    const std::pair<Point, Rgb> expected[] = {
        {{1, 87}, peach},       // the label's background, over the picture
        {{88, 3}, windowText},  // the line on the label's last column
        {{3, 88}, windowText},  // the line on the label's last row
        {{88, 88}, windowText}, // the corner both lines share
        {{200, 348}, peach},    // the text box
        {{400, 100}, face},     // beyond the picture, right
        {{100, 560}, face},     // beyond the picture, below
    };
    for (const auto& [point, colour] : expected)
        EXPECT_EQ(shown.At(point), colour) << "at " << point.x << ", " << point.y;
    // The backdrop at natural size, from its column 96.
    for (const Point point : {Point{150, 100}, Point{273, 0}, Point{95, 300}, Point{200, 327},
                              Point{250, 200}, Point{320, 499}})
        EXPECT_EQ(shown.At(point), d.PicturePixel("backdrop.bmp", {point.x + 96, point.y}))
            << "at " << point.x << ", " << point.y;
    EXPECT_TRUE(shown.Shows({0, 0, 88, 88}, red)) << "the greeting is written in red";
    d.Resize(W, 274, 351);
}

void EveryReplyThroughTheWindow(Driver& d) {
    SCOPED_TRACE("phase: every reply through the window");
    EXPECT_EQ(d.Text(W, "Label1"), Replies::greeting);
    EXPECT_EQ(d.Text(W, "Text1"), "");
    d.Click(W, "Command1"); // the empty text is a prompt of its own
    EXPECT_EQ(d.Text(W, "Label1"), "how may I assist you?");
    std::vector<std::string_view> misses;
    for (const std::string_view miss : Replies::nearMisses)
        if (const std::string why = d.TextBoxRefuses(miss); why.empty())
            misses.push_back(miss);
        else
            std::cout << "A near miss not put in: " << why << "\n";
    for (const auto& [prompt, reply] : Replies::rules) {
        SCOPED_TRACE(testing::Message() << "the prompt \"" << prompt << "\"");
        d.Paste(W, "Text1", prompt);
        d.Click(W, "Command1");
        EXPECT_EQ(d.Text(W, "Label1"), reply) << "after \"" << prompt << "\"";
        EXPECT_EQ(d.Text(W, "Text1"), prompt) << "the text box is never changed";
        // A near miss keeps the reply just shown.
        for (const std::string_view miss : misses) {
            d.Paste(W, "Text1", miss);
            d.Click(W, "Command1");
            EXPECT_EQ(d.Text(W, "Label1"), reply)
                << "after \"" << prompt << "\", then \"" << miss << "\"";
        }
    }
    const std::string huge(1'000'000, 'h'); // no length limit
    if (const std::string why = d.TextBoxRefuses(huge); why.empty()) {
        d.Paste(W, "Text1", huge);
        d.Click(W, "Command1");
        EXPECT_EQ(d.Text(W, "Text1").size(), huge.size());
    } else {
        std::cout << "A million characters not put in: " << why << "\n";
    }
    d.Paste(W, "Text1", "hey");
    d.Click(W, "Command1");
    d.Click(W, "Command1");
    EXPECT_EQ(d.Text(W, "Label1"), "hi") << "the same text twice";

    // A reply longer than a line wraps inside the label's box, which does not grow.
    d.Paste(W, "Text1", "why did you dump him?");
    d.Click(W, "Command1");
    const Snapshot shown = d.Grab(W);
    EXPECT_EQ(d.Geometry(W, "Label1"), (Rect{0, 0, 89, 89}));
    EXPECT_TRUE(shown.Shows({0, 0, 88, 17}, red)) << "first line";
    EXPECT_TRUE(shown.Shows({0, 18, 88, 17}, red)) << "the reply wraps onto a second line";
}

void KeysAndFocus(Driver& d) {
    SCOPED_TRACE("phase: keys and focus");
    d.Paste(W, "Text1", "    "); // blanks show only what text is drawn on; the caret is elsewhere
    EXPECT_FALSE(d.Grab(W).Shows(d.Geometry(W, "Text1"), blue)) << "text is drawn on peach";
    d.Paste(W, "Text1", "");
    d.Click(W, "Text1");
    d.Type(W, "Text1", "hi");
    EXPECT_TRUE(d.Grab(W).Shows(d.Geometry(W, "Text1"), blue)) << "typed text is blue";
    // A text put in (or none), a key, then the text, the label and where the focus is.
    const struct {
        const char* put;
        Key key;
        const char* text;
        const char* label;
        const char* focus;
    } steps[] = {
        {nullptr, Key::Return, "hi", "hello", "Text1"}, // the default button, from the text box
        {nullptr, Key::Tab, "hi", "hello", "Command1"},
        {"hey", Key::Return, "hey", "hi", "Command1"},                    // ... and from the button
        {"how are you?", Key::Space, "how are you?", "fine", "Command1"}, // clicks the button
        {"hi", Key::Escape, "hi", "fine", "Command1"}, // Enter is not a cancel button
        {nullptr, Key::Tab, "hi", "fine", "Text1"},    // the label never takes the focus
        {nullptr, Key::Space, " ", "fine", "Text1"},   // typed over the text Tab selected
    };
    for (const auto& [put, key, text, label, focus] : steps) {
        SCOPED_TRACE(testing::Message() << key << ", leaving \"" << text << "\" in the box");
        if (put != nullptr)
            d.Paste(W, "Text1", put);
        d.Press(W, key);
        EXPECT_EQ(d.Text(W, "Text1"), text);
        EXPECT_EQ(d.Text(W, "Label1"), label);
        EXPECT_EQ(d.Focused(W), focus);
    }
    d.Paste(W, "Text1", "hi");
    d.Click(W, "Command1");
    EXPECT_EQ(d.Focused(W), "Command1"); // where the click put it
    EXPECT_EQ(d.CountShown(W), 1);
}

void ScreenReaders(Driver& d) {
    SCOPED_TRACE("phase: screen readers");
    // The role a screen reader in another process reads is AT-SPI's, on Linux.
    const struct {
        const char* control;
        Role role;
        const char* name;
        const char* roleFromOutside;
    } told[] = {{"Label1", Role::StaticText, "hello", "label"},
                {"Text1", Role::EditableText, "Say something to Quibly", "text"},
                {"Command1", Role::Button, "Enter", "push button"},
                {"MenuFile", Role::MenuItem, "File", "menu item"}};
    if (const auto tree = d.TreeFromOutside()) {
        const auto frame = std::ranges::find(*tree, SeenFromOutside{1, "frame", "Quibly"});
        ASSERT_NE(frame, tree->end()) << "the window is not in the tree:\n"
                                      << testing::PrintToString(*tree);
        const std::vector<SeenFromOutside> under = Under(*tree, frame);
        for (const auto& [control, role, name, roleFromOutside] : told)
            EXPECT_TRUE(Holds(under, roleFromOutside, name))
                << roleFromOutside << " \"" << name << "\" is not in the window's tree:\n"
                << testing::PrintToString(under);
        EXPECT_TRUE(Holds(under, "menu item", "Exit"));
        // A title bar the window draws itself is in its tree as the window system's would be.
        std::vector<std::string> buttons;
        for (const SeenFromOutside& seen : under)
            if (seen.role == "push button")
                buttons.push_back(seen.name);
        const std::vector<std::string> expected =
            d.TitleBarMaximizes(W) ? std::vector<std::string>{"Enter", "Minimize", "Close"}
                                   : std::vector<std::string>{"Enter"};
        EXPECT_EQ(buttons, expected);
    }
    for (const auto& [control, role, name, roleFromOutside] : told) {
        if (const std::string why = d.AccessibilityUnavailableFor(W, control); !why.empty()) {
            std::cout << "Screen readers not checked for " << control << ": " << why << "\n";
            continue;
        }
        const Accessible accessible = d.AccessibleOf(W, control);
        EXPECT_EQ(accessible.role, role) << control;
        EXPECT_EQ(accessible.name, name) << control;
    }
    if (d.AccessibilityUnavailableFor(W, "Label1").empty()) {
        EXPECT_EQ(d.AccessibleOf(W, "Label1").place, (Rect{0, 0, 89, 89})) << "where it is seen";
    }

    // Every reply is announced once, also when it repeats, and the focus stays in the text
    // box; a near miss announces nothing.
    d.Click(W, "Text1");
    d.Announcements();
    const struct {
        const char* typed;
        std::vector<std::string> announced;
    } turns[] = {{"hi", {"hello"}}, {"hi", {"hello"}}, {"Hi", {}}, {"hello", {"hi"}}};
    for (const auto& [typed, announced] : turns) {
        d.Paste(W, "Text1", typed);
        d.Press(W, Key::Return);
        EXPECT_EQ(d.Announcements(), announced) << "after \"" << typed << "\"";
        EXPECT_EQ(d.Focused(W), "Text1") << "after \"" << typed << "\"";
    }
}

void LeaveQuestion(Driver& d) {
    SCOPED_TRACE("phase: the leave question");
    d.Paste(W, "Text1", "how are you?");
    d.Click(W, "Command1");
    // No, however given, leaves everything as it was and the menu usable again at once.
    for (const Answer no : {Answer::No, Answer::Return, Answer::Escape}) {
        SCOPED_TRACE(testing::Message() << "answered " << no);
        const MessageBoxSeen box = d.AnswerMessageBox(no, [&] { d.Click(W, "MenuExit"); });
        EXPECT_EQ(box.title, "Quibly");
        EXPECT_EQ(box.prompt, "Are you leaving?");
        EXPECT_EQ(box.icon, "question");
        EXPECT_EQ(box.buttons, (std::vector<std::string>{"Yes", "No"}));
        EXPECT_EQ(box.defaultButton, "No");
        EXPECT_NE(box.help.find("DEMO.HLP"), std::string::npos) << box.help;
        EXPECT_NE(box.help.find("1000"), std::string::npos) << box.help;
        if (box.titleBarButtons) {
            EXPECT_EQ(*box.titleBarButtons, std::vector<std::string>{"close"});
        }
        if (box.treeFromOutside) {
            const std::vector<SeenFromOutside>& tree = *box.treeFromOutside;
            const auto alert = std::ranges::find(tree, SeenFromOutside{1, "alert", "Quibly"});
            ASSERT_NE(alert, tree.end()) << "the box is not in the tree:\n"
                                         << testing::PrintToString(tree);
            const std::vector<SeenFromOutside> inBox = Under(tree, alert);
            std::vector<std::pair<const char*, const char*>> parts{
                {"label", "Are you leaving?"}, {"push button", "Yes"}, {"push button", "No"}};
            if (box.titleBarButtons)
                parts.emplace_back("push button", "Close");
            for (const auto& [role, name] : parts)
                EXPECT_TRUE(Holds(inBox, role, name))
                    << role << " \"" << name << "\" is not in the box's tree:\n"
                    << testing::PrintToString(inBox);
        }
        EXPECT_EQ(d.CountShown(W), 1);
        EXPECT_EQ(d.Text(W, "Label1"), "fine");
        EXPECT_EQ(d.Text(W, "Text1"), "how are you?");
    }
    d.AnswerMessageBox(Answer::Yes, [&] { d.Click(W, "MenuExit"); });
    EXPECT_EQ(d.CountShown(W), 0) << "Yes ends the program at once";
}

TEST(ConversationWindow, OneRunFromGreetingToGoodbye) {
    Driver& d = Current();
    const int status = d.Run(QuiblyProgram, [&] {
        FrameAndControls(d);
        Pixels(d);
        EveryReplyThroughTheWindow(d);
        KeysAndFocus(d);
        ScreenReaders(d);
        LeaveQuestion(d);
    });
    EXPECT_EQ(status, 0);
}

} // namespace
