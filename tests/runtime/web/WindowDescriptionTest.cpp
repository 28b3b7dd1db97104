// A layout the page cannot show is a run-time error naming the control and the operation. What
// the page builds from a layout it can show is the web scenarios' to check, as a user meets it.

#include "runtime/web/WindowDescription.h"

#include "runtime/Backend.h"
#include "runtime/Form.h"
#include "runtime/RuntimeError.h"

#include <array>
#include <gtest/gtest.h>
#include <utility>

using namespace FormsRuntime;

namespace {

TEST(WindowDescription, WhatThePageCannotShowIsARunTimeError) {
    // What the page cannot show, and the operation that fails on it.
    const std::pair<ControlLayout, const char*> cases[] = {
        {{.kind = ControlKind::Image, .name = "Odd", .picture = "C:/pictures/odd.bmp"},
         "load picture"},
        {{.kind = ControlKind::Image, .name = "Odd", .picture = ":/assets/sub/odd.bmp"},
         "load picture"},
    };
    for (const auto& [control, operation] : cases) {
        const std::array controls{control};
        const WindowLayout layout{.name = "frmOdd", .controls = controls};
        Form form(layout);
        try {
            web::DescribeWindow(FormEvents(form));
            ADD_FAILURE() << operation << " raised nothing";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Object(), "frmOdd.Odd");
            EXPECT_EQ(error.Operation(), operation);
        }
    }
}

} // namespace
