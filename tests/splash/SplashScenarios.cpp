// The splash window as Quibly shows it while the conversation window loads: checked at the
// moment the conversation window starts to be built, with the real identity. Then a second
// identity, for the version text's numbers.

#include "Driver.h"
#include "TestPrograms.h"
#include "shell/Program.h"

#include <gtest/gtest.h>
#include <utility>

using namespace TestDriver;

namespace {

constexpr std::string_view S = "frmSplash";
constexpr Rgb red{255, 0, 0}, blue{0, 0, 255};

// Checks made once, at the first step after the splash has been painted.
void OnSplashPainted(const std::function<void(Driver&)>& check) {
    Driver& d = Current();
    bool checked = false;
    FormsRuntime::SetOperationTrace([&](std::string_view object, std::string_view operation) {
        if (object == "frmSplash" && operation == "Show") {
            // Loaded, not yet visible: the design-time texts are already gone.
            EXPECT_EQ(d.CountShown(S), 0);
            EXPECT_EQ(d.Text(S, "lblVersion"), "Version 1.0.0");
        }
        if (object == "frmMain" && operation == "Create" && !checked) {
            checked = true;
            check(d);
        }
    });
    EXPECT_EQ(d.Run(QuiblyProgram, [] {}), 0);
    FormsRuntime::SetOperationTrace({});
    EXPECT_TRUE(checked);
}

void FrameAndLabels(Driver& d) {
    SCOPED_TRACE("phase: the frame and the labels");
    const WindowLook look = d.Look(S);
    EXPECT_EQ(look.caption, "");
    EXPECT_FALSE(look.titleBar);
    EXPECT_FALSE(look.resizable);
    EXPECT_FALSE(look.taskBarButton);
    EXPECT_TRUE(look.centred.value_or(true)) << "where the window system tells";
    EXPECT_EQ(look.iconSize, 0);
    EXPECT_EQ(look.clientWidth, 343);
    EXPECT_EQ(look.clientHeight, 183);

    // AutoSize labels take their text's size in Arial, keeping Left and Top: the widths are
    // the sums of Arial's advance widths, the heights its ascent plus descent (Liberation
    // Sans shares both). The others keep their boxes, cut at the window's edges.
    const struct {
        const char* control;
        const char* text;
        Rect box;
        Font font;
    } labels[] = {
        {"lblProductName", "Quibly", {104, 56, 115, 42}, {"Arial", 37, 700}},
        {"lblPlatform", "WIN 95/98", {224, 96, 99, 23}, {"Arial", 21, 700}},
        {"lblVersion", "Version 1.0.0", {224, 120, 99, 17}, {"Arial", 16, 700}},
        {"lblCopyright", "Copyright (c) 1998 Brixmoor", {224, 144, 161, 17}, {"Arial", 11, 400}},
        {"lblCompany", "Brixmoor", {224, 160, 161, 17}, {"Arial", 13, 400}},
        {"lblWarning", "Warning", {12, 240, 457, 13}, {"Arial", 11, 400}},
    };
    for (const auto& [control, text, box, font] : labels) {
        SCOPED_TRACE(control);
        EXPECT_EQ(d.Text(S, control), text);
        EXPECT_EQ(d.FontOf(S, control), font);
        const Rect at = d.Geometry(S, control);
        EXPECT_EQ(at.x, box.x);
        EXPECT_EQ(at.y, box.y);
        EXPECT_NEAR(at.width, box.width, 2);
        EXPECT_NEAR(at.height, box.height, 2);
    }
    EXPECT_EQ(d.Geometry(S, "Label1"), (Rect{0, 56, 33, 129}));
    EXPECT_EQ(d.Geometry(S, "Image1"), (Rect{72, 88, 99, 63}));
    EXPECT_EQ(d.Geometry(S, "Frame2"), (Rect{0, 56, 49, 1}));
}

void Pixels(Driver& d) {
    SCOPED_TRACE("phase: pixels");
    const Snapshot shown = d.Grab(S);
    const Rgb band = d.SystemColour(18), panel = d.SystemColour(14), face = d.SystemColour(15);
    const std::pair<Point, Rgb> expected[] = {
        {{0, 0}, band},     {{342, 30}, band},   {{49, 56}, band}, // the band, past the strip
        {{0, 56}, face},    {{48, 56}, face},                      // the strip under the band
        {{0, 57}, red},     {{32, 182}, red},                      // the red bar
        {{33, 100}, panel}, {{342, 182}, panel},                   // the panel
    };
    for (const auto& [point, colour] : expected)
        EXPECT_EQ(shown.At(point), colour) << "at " << point.x << ", " << point.y;

    const std::pair<const char*, Rgb> written[] = {{"lblProductName", red},
                                                   {"lblCompany", blue},
                                                   {"lblVersion", band},
                                                   {"lblPlatform", band},
                                                   {"lblCopyright", band}};
    for (const auto& [control, colour] : written)
        EXPECT_TRUE(shown.Shows(d.Geometry(S, control), colour)) << control;

    // The picture at natural size; the panel shows through its transparent pixels, and the
    // product name, which lies below the picture, shows through where they meet.
    const Rect name = d.Geometry(S, "lblProductName");
    int transparent = 0;
    for (int y = 0; y < 63; ++y)
        for (int x = 0; x < 99; ++x) {
            const Point at{72 + x, 88 + y};
            const auto source = d.PicturePixel("splash.gif", {x, y});
            const bool overName = at.x >= name.x && at.x < name.x + name.width && at.y >= name.y &&
                                  at.y < name.y + name.height;
            if (source) {
                EXPECT_EQ(shown.At(at), *source) << "at " << at.x << ", " << at.y;
            } else if (!overName) {
                ++transparent;
                EXPECT_EQ(shown.At(at), panel) << "at " << at.x << ", " << at.y;
            }
        }
    EXPECT_GT(transparent, 0);
}

TEST(SplashWindow, AsQuiblyShowsIt) {
    OnSplashPainted([](Driver& d) {
        FrameAndLabels(d);
        Pixels(d);
        d.Press(S, Key::Escape); // the splash cannot be dismissed
        d.Click(S, "lblProductName");
        EXPECT_EQ(d.CountShown(S), 1);
    });
}

// Read as the splash goes: the program shows it and unloads it, leaving no window behind.
TEST(SplashWindow, VersionAndNameFollowTheIdentity) {
    Driver& d = Current();
    bool checked = false;
    FormsRuntime::SetOperationTrace([&](std::string_view object, std::string_view operation) {
        if (object == S && operation == "Unload") {
            checked = true;
            EXPECT_EQ(d.Text(S, "lblVersion"), "Version 10.15.7");
            EXPECT_EQ(d.Text(S, "lblProductName"), "Zed");
        }
    });
    EXPECT_EQ(d.Run(TestPrograms::otherIdentity, [] {}), 0);
    FormsRuntime::SetOperationTrace({});
    EXPECT_TRUE(checked);
}

} // namespace
