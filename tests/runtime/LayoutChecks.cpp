// A window's table is checked when the program is built: names used twice, a container that is
// no frame of the window, a menu item under no menu title.

#include "runtime/Layout.h"

#include <array>
#include <gtest/gtest.h>

using namespace FormsRuntime;

namespace {

constexpr ControlLayout Frame(std::string_view name) {
    return {.kind = ControlKind::Frame, .name = name};
}
constexpr ControlLayout Label(std::string_view name, std::string_view container = {}) {
    return {.kind = ControlKind::Label, .name = name, .container = container};
}

constexpr std::array framed{Frame("fraPanel"), Label("lblInside", "fraPanel"), Label("lblTop")};
constexpr std::array twice{Label("Label1"), Frame("Label1")};
constexpr std::array inLabel{Label("lblHost"), Label("lblGuest", "lblHost")};
constexpr std::array inNothing{Label("lblGuest", "fraMissing")};
constexpr std::array menus{MenuLayout{.name = "MenuFile"},
                           MenuLayout{.name = "MenuExit", .parent = "MenuFile"}};
constexpr std::array menuTwice{MenuLayout{.name = "MenuFile"}, MenuLayout{.name = "MenuFile"}};
constexpr std::array menuNamedLikeControl{MenuLayout{.name = "lblTop"}};
constexpr std::array underItem{MenuLayout{.name = "MenuFile"},
                               MenuLayout{.name = "MenuExit", .parent = "MenuFile"},
                               MenuLayout{.name = "MenuDeep", .parent = "MenuExit"}};
constexpr std::array underNothing{MenuLayout{.name = "MenuExit", .parent = "MenuFile"}};

TEST(LayoutChecks, FindTheFaultAndNameItsControl) {
    const struct {
        const char* what;
        WindowLayout layout;
        std::string_view name;
        std::string_view reason;
    } cases[] = {
        {"frames, nested labels and a menu", {.menus = menus, .controls = framed}, "", ""},
        {"two controls of one name", {.controls = twice}, "Label1", "the name is used twice"},
        {"a label as container",
         {.controls = inLabel},
         "lblGuest",
         "its container is not a frame of this window"},
        {"a container that is not there",
         {.controls = inNothing},
         "lblGuest",
         "its container is not a frame of this window"},
        {"two menus of one name", {.menus = menuTwice}, "MenuFile", "the name is used twice"},
        {"a menu named like a control",
         {.menus = menuNamedLikeControl, .controls = framed},
         "lblTop",
         "the name is used twice"},
        {"an item under an item",
         {.menus = underItem},
         "MenuDeep",
         "its menu is not on this window's menu bar"},
        {"an item under no menu",
         {.menus = underNothing},
         "MenuExit",
         "its menu is not on this window's menu bar"},
    };
    for (const auto& [what, layout, name, reason] : cases) {
        const LayoutFault fault = FindLayoutFault(layout);
        EXPECT_EQ(fault.name, name) << what;
        EXPECT_EQ(fault.reason, reason) << what;
    }
}

} // namespace
