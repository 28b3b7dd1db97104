#include "splash/frmSplashLayout.h"

#include <array>

using namespace FormsRuntime;

namespace {

constexpr Color Red = 0x000000FF;
constexpr Color Blue = 0x00FF0000;

// Stacking order, topmost first. Positions inside fraMainFrame and Frame1 are measured
// from their own client areas.
// clang-format off
constexpr std::array controls{
    ControlLayout{.kind = ControlKind::Frame, .name = "fraMainFrame", .left = -120, .top = -120,
                  .width = 7380, .height = 4590, .backColor = SystemColor::HighlightText,
                  .tabIndex = 0},
    ControlLayout{.kind = ControlKind::Frame, .name = "Frame1", .container = "fraMainFrame",
                  .left = 0, .top = 0, .width = 5295, .height = 975,
                  .backColor = SystemColor::ButtonText, .tabIndex = 7},
    ControlLayout{.kind = ControlKind::Frame, .name = "Frame2", .container = "Frame1",
                  .left = 120, .top = 960, .width = 735, .height = 15, .caption = u"Frame2",
                  .tabIndex = 8},
    ControlLayout{.kind = ControlKind::Label, .name = "Label1", .container = "fraMainFrame",
                  .left = 120, .top = 960, .width = 495, .height = 1935, .backColor = Red,
                  .tabIndex = 9},
    ControlLayout{.kind = ControlKind::Image, .name = "Image1", .container = "fraMainFrame",
                  .left = 1200, .top = 1440, .width = 1485, .height = 945,
                  .picture = ":/assets/splash.gif"},
    ControlLayout{.kind = ControlKind::Label, .name = "lblProductName",
                  .container = "fraMainFrame", .left = 1680, .top = 960, .width = 1890,
                  .height = 540, .caption = u"Quibly", .backColor = SystemColor::HighlightText,
                  .foreColor = Red, .font = Arial(27.75, 700), .tabIndex = 6, .autoSize = true},
    ControlLayout{.kind = ControlKind::Label, .name = "lblPlatform", .container = "fraMainFrame",
                  .left = 3480, .top = 1560, .width = 1500, .height = 360,
                  .caption = u"WIN 95/98", .backColor = SystemColor::HighlightText,
                  .font = Arial(15.75, 700), .tabIndex = 5, .alignment = Alignment::Right,
                  .autoSize = true},
    ControlLayout{.kind = ControlKind::Label, .name = "lblVersion", .container = "fraMainFrame",
                  .left = 3480, .top = 1920, .width = 1275, .height = 285,
                  .caption = u"Version 2.0", .backColor = SystemColor::HighlightText,
                  .font = Arial(12, 700), .tabIndex = 4, .alignment = Alignment::Right,
                  .autoSize = true},
    ControlLayout{.kind = ControlKind::Label, .name = "lblWarning", .container = "fraMainFrame",
                  .left = 300, .top = 3720, .width = 6855, .height = 195, .caption = u"Warning",
                  .font = Arial(8.25), .tabIndex = 1},
    ControlLayout{.kind = ControlKind::Label, .name = "lblCompany", .container = "fraMainFrame",
                  .left = 3480, .top = 2520, .width = 2415, .height = 255, .caption = u"Brixmoor",
                  .backColor = SystemColor::HighlightText, .foreColor = Blue, .font = Arial(9.75),
                  .tabIndex = 3},
    ControlLayout{.kind = ControlKind::Label, .name = "lblCopyright", .container = "fraMainFrame",
                  .left = 3480, .top = 2280, .width = 2415, .height = 255,
                  .caption = u"Copyright (c) 1998 Brixmoor",
                  .backColor = SystemColor::HighlightText, .font = Arial(8.25), .tabIndex = 2},
};
// clang-format on

} // namespace

constexpr WindowLayout frmSplashLayout{
    .name = "frmSplash",
    .caption = u"",
    .border = BorderStyle::FixedDialog,
    .controlBox = false,
    .minButton = false,
    .maxButton = false,
    .showInTaskbar = false,
    .clientWidth = 5145,
    .clientHeight = 2745,
    .clientLeft = 2340,
    .clientTop = 2340,
    .startUpPosition = StartUpPosition::CenterScreen,
    .backColor = SystemColor::ButtonFace,
    .controls = controls,
};
static_assert(!FindLayoutFault(frmSplashLayout),
              "the table names a control twice or a container it lacks");
