// What each window's layout means, settled once for every backend: the frame, each control's
// box in pixels, its colours and font, the painting order, the Tab order, the default and
// cancel buttons and the menus. The expected figures are the windows' own tables, in pixels.

#include "runtime/SettledWindow.h"

#include "conversation/frmMainLayout.h"
#include "runtime/RuntimeError.h"
#include "splash/frmSplashLayout.h"

#include <array>
#include <gtest/gtest.h>

using namespace FormsRuntime;

namespace {

constexpr SettledColor Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return {.red = red, .green = green, .blue = blue};
}
constexpr SettledColor System(std::uint8_t number) {
    return {.system = true, .number = number};
}
constexpr SettledColor Peach = Rgb(255, 224, 192);

struct Expected {
    std::string_view name;
    PixelBox box;
    SettledColor back, fore;
    int fontPixels;
    int weight;
};

void ExpectControls(const SettledWindow& window, std::span<const Expected> expected) {
    ASSERT_EQ(window.controls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const SettledControl& control = window.controls[i];
        SCOPED_TRACE(control.name);
        EXPECT_EQ(control.name, expected[i].name);
        EXPECT_EQ(control.box, expected[i].box);
        EXPECT_EQ(control.fore, expected[i].fore);
        if (control.kind == ControlKind::Line)
            continue;
        EXPECT_EQ(control.back, expected[i].back);
        EXPECT_EQ(control.font.family, "Arial");
        EXPECT_EQ(control.font.pixels, expected[i].fontPixels);
        EXPECT_EQ(control.font.weight, expected[i].weight);
    }
}

TEST(SettledWindow, ConversationWindow) {
    const SettledWindow window = SettleWindow(frmMainLayout);
    EXPECT_EQ(window.caption, u"Quibly");
    EXPECT_EQ(window.client, (PixelBox{198, 84, 274, 351}));
    EXPECT_EQ(window.back, System(15));
    EXPECT_TRUE(window.frame.titleBar);
    EXPECT_TRUE(window.frame.sizable);
    EXPECT_TRUE(window.frame.takesFocus);
    const std::array<Expected, 7> controls{{
        {"Command1", {224, 328, 49, 25}, System(15), System(18), 13, 400},
        {"Text1", {0, 328, 225, 25}, Peach, Rgb(0, 0, 255), 16, 400},
        {"Line2", {0, 88, 89, 1}, {}, System(8), 0, 0},
        {"Line1", {88, 0, 1, 89}, {}, System(8), 0, 0},
        {"Label1", {0, 0, 89, 89}, Peach, Rgb(255, 0, 0), 15, 400},
        {"Image2", {-96, 0, 423, 500}, System(15), System(18), 11, 400},
        {"Image1", {0, 0, 1, 9}, System(15), System(18), 11, 400},
    }};
    ExpectControls(window, controls);
    // Image1, Image2, Label1, Line1, Line2 from the bottom up; then Text1 and Command1 on top.
    EXPECT_EQ(window.paintOrder, (std::vector<std::size_t>{6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(window.tabOrder, (std::vector<std::size_t>{1, 0}));
    EXPECT_EQ(window.defaultButton, 0u);
    EXPECT_EQ(window.cancelButton, std::nullopt);
    ASSERT_EQ(window.menus.size(), 2u);
    EXPECT_EQ(window.menuBar, (std::vector<std::size_t>{0}));
    EXPECT_EQ(window.menus[0].caption, u"File");
    EXPECT_EQ(window.menus[0].items, (std::vector<std::size_t>{1}));
    EXPECT_FALSE(window.menus[0].command);
    EXPECT_EQ(window.menus[1].caption, u"Exit");
    EXPECT_TRUE(window.menus[1].command);
}

TEST(SettledWindow, Splash) {
    const SettledWindow window = SettleWindow(frmSplashLayout);
    EXPECT_EQ(window.client, (PixelBox{156, 156, 343, 183}));
    EXPECT_EQ(window.frame, (SettledFrame{.titleBar = false,
                                          .systemMenu = false,
                                          .minimizeButton = false,
                                          .maximizeButton = false,
                                          .sizable = false,
                                          .inTaskbar = false,
                                          .takesFocus = false}));
    const SettledColor white = System(14), face = System(15), text = System(18);
    const std::array<Expected, 11> controls{{
        {"fraMainFrame", {-8, -8, 492, 306}, white, text, 11, 400},
        {"Frame1", {0, 0, 353, 65}, text, text, 11, 400},
        {"Frame2", {8, 64, 49, 1}, face, text, 11, 400},
        {"Label1", {8, 64, 33, 129}, Rgb(255, 0, 0), text, 11, 400},
        {"Image1", {80, 96, 99, 63}, face, text, 11, 400},
        {"lblProductName", {112, 64, 126, 36}, white, Rgb(255, 0, 0), 37, 700},
        {"lblPlatform", {232, 104, 100, 24}, white, text, 21, 700},
        {"lblVersion", {232, 128, 85, 19}, white, text, 16, 700},
        {"lblWarning", {20, 248, 457, 13}, face, text, 11, 400},
        {"lblCompany", {232, 168, 161, 17}, white, Rgb(0, 0, 255), 13, 400},
        {"lblCopyright", {232, 152, 161, 17}, white, text, 11, 400},
    }};
    ExpectControls(window, controls);
    EXPECT_EQ(window.controls[1].container, 0u);
    EXPECT_EQ(window.controls[2].container, 1u);
    EXPECT_EQ(window.controls[0].container, std::nullopt);
    // The panel, then its labels and picture from the bottom of the list up, then the band
    // above them with its strip.
    EXPECT_EQ(window.paintOrder, (std::vector<std::size_t>{0, 10, 9, 8, 7, 6, 5, 4, 3, 1, 2}));
    EXPECT_TRUE(window.tabOrder.empty());
    EXPECT_TRUE(window.menuBar.empty());
}

constexpr ControlLayout Button(std::string_view name, KeyFlag flag, int tabIndex = 0) {
    return {
        .kind = ControlKind::CommandButton, .name = name, .tabIndex = tabIndex, .keyFlag = flag};
}

// Cases where the window systems' own conventions differ; the runtime decides once.
TEST(SettledWindow, OneRuleForEveryBackend) {
    // The minimize and maximize buttons belong to the control box.
    const SettledFrame bare =
        SettleWindow({.name = "frmBare", .controlBox = false, .minButton = true}).frame;
    EXPECT_FALSE(bare.titleBar);
    EXPECT_FALSE(bare.minimizeButton);
    EXPECT_FALSE(bare.maximizeButton);
    const SettledFrame captioned =
        SettleWindow({.name = "frmTitled", .caption = u"Titled", .controlBox = false}).frame;
    EXPECT_TRUE(captioned.titleBar);
    EXPECT_FALSE(captioned.systemMenu);
    EXPECT_FALSE(captioned.minimizeButton);

    // A menu-bar entry without items is a command; one whose items are all hidden too.
    constexpr std::array menus{
        MenuLayout{.name = "MenuHelp", .caption = u"Help"},
        MenuLayout{.name = "MenuView", .caption = u"View"},
        MenuLayout{.name = "MenuZoom", .caption = u"Zoom", .parent = "MenuView", .visible = false},
        MenuLayout{.name = "MenuHidden", .caption = u"Hidden", .visible = false},
    };
    const SettledWindow menued = SettleWindow({.name = "frmMenus", .menus = menus});
    EXPECT_TRUE(menued.menus[0].command);
    EXPECT_TRUE(menued.menus[1].command);
    EXPECT_EQ(menued.menuBar, (std::vector<std::size_t>{0, 1}));

    // Of two buttons marked alike, the first listed; Tab goes by TabIndex, ties as listed.
    constexpr std::array buttons{
        Button("cmdA", KeyFlag::Cancel, 2), Button("cmdB", KeyFlag::Default, 1),
        Button("cmdC", KeyFlag::Default, 1), Button("cmdD", KeyFlag::Cancel, 0)};
    const SettledWindow keyed = SettleWindow({.name = "frmKeys", .controls = buttons});
    EXPECT_EQ(keyed.defaultButton, 1u);
    EXPECT_EQ(keyed.cancelButton, 0u);
    EXPECT_EQ(keyed.tabOrder, (std::vector<std::size_t>{3, 1, 2, 0}));
}

TEST(SettledWindow, AFaultNamesTheObject) {
    constexpr std::array oddColour{
        ControlLayout{.kind = ControlKind::Label, .name = "lblOdd", .backColor = 0x80000019}};
    constexpr std::array oddLine{
        ControlLayout{.kind = ControlKind::Line, .name = "linOdd", .borderColor = 0x800000FF}};
    constexpr std::array twice{ControlLayout{.name = "lblTwice"},
                               ControlLayout{.name = "lblTwice"}};
    const struct {
        WindowLayout layout;
        const char* object;
        const char* operation;
    } cases[] = {
        {{.name = "frmOdd", .controls = oddColour}, "frmOdd.lblOdd", "resolve colour"},
        {{.name = "frmOdd", .controls = oddLine}, "frmOdd.linOdd", "resolve colour"},
        {{.name = "frmOdd", .backColor = 0x80000100}, "frmOdd", "resolve colour"},
        {{.name = "frmOdd", .controls = twice}, "frmOdd.lblTwice", "create"},
    };
    for (const auto& [layout, object, operation] : cases) {
        SCOPED_TRACE(object);
        try {
            SettleWindow(layout);
            ADD_FAILURE() << "no run-time error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Object(), object);
            EXPECT_EQ(error.Operation(), operation);
        }
    }
    // The last of the window system's colours is one.
    constexpr std::array tipColour{ControlLayout{.name = "lblTip", .backColor = 0x80000018}};
    EXPECT_EQ(SettleWindow({.name = "frmTip", .controls = tipColour}).controls[0].back, System(24));
}

} // namespace
