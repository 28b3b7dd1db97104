// A layout the page cannot show is a run-time error naming the control and the operation. What
// the page builds from a layout it can show is the web scenarios' to check, as a user meets it.

#include "runtime/web/WindowDescription.h"

#include "runtime/Backend.h"
#include "runtime/Form.h"
#include "runtime/RuntimeError.h"

#include <array>
#include <gtest/gtest.h>

using namespace FormsRuntime;

namespace {

std::string Describe(const WindowLayout& layout) {
    Form form(layout);
    return web::DescribeWindow(FormEvents(form));
}

TEST(WindowDescription, WhatThePageCannotShowIsARunTimeError) {
    const struct {
        ControlLayout control;
        const char* object;
        const char* operation;
    } cases[] = {
        {{.kind = ControlKind::Label, .name = "Odd", .backColor = 0x80000019},
         "frmOdd.Odd",
         "resolve colour"},
        {{.kind = ControlKind::Image, .name = "Odd", .picture = "C:/pictures/odd.bmp"},
         "frmOdd.Odd",
         "load picture"},
        {{.kind = ControlKind::Image, .name = "Odd", .picture = ":/assets/sub/odd.bmp"},
         "frmOdd.Odd",
         "load picture"},
    };
    for (const auto& [control, object, operation] : cases) {
        const std::array controls{control};
        const WindowLayout layout{.name = "frmOdd", .controls = controls};
        try {
            Describe(layout);
            ADD_FAILURE() << object << " " << operation << " raised nothing";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Object(), object);
            EXPECT_EQ(error.Operation(), operation);
        }
    }
}

} // namespace
