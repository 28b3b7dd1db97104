// What the web backend asks its page to build for each window: boxes in CSS pixels, the order
// in which the page lays the controls (which is how they stack), colours, fonts, pictures and
// the tab order; and the run-time errors a layout the page cannot show raises.

#include "runtime/web/WindowDescription.h"

#include "conversation/frmMainLayout.h"
#include "runtime/Backend.h"
#include "runtime/Form.h"
#include "runtime/RuntimeError.h"
#include "splash/frmSplashLayout.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace FormsRuntime;

namespace {

std::string Describe(const WindowLayout& layout) {
    Form form(layout);
    return web::DescribeWindow(FormEvents(form));
}

// Where each named control begins in the description: the order the page lays them in.
std::vector<std::size_t> Positions(const std::string& json, const std::vector<std::string>& names) {
    std::vector<std::size_t> positions;
    for (const std::string& name : names)
        positions.push_back(json.find("\"name\":\"" + name + "\""));
    return positions;
}

bool Ascending(const std::vector<std::size_t>& positions) {
    for (std::size_t i = 0; i < positions.size(); ++i)
        if (positions[i] == std::string::npos || (i > 0 && positions[i] <= positions[i - 1]))
            return false;
    return true;
}

TEST(WindowDescription, ConversationWindowInCssPixels) {
    const std::string json = Describe(frmMainLayout);
    const char* expected[] = {
        R"j("name":"frmMain","caption":"Quibly","titleBar":true,"controlBox":true,)j"
        R"j("minButton":true,"maxButton":false,"sizable":true,"taskbar":true,)j"
        R"j("icon":"assets/frmMain.ico")j",
        R"j("width":274,"height":351)j",
        R"j("back":"var(--sys-15)")j",
        R"j("name":"Command1","container":"","x":224,"y":328,"width":49,"height":25,)j"
        R"j("caption":"Enter")j",
        R"j("font":{"face":"Arial","px":13,"weight":400)j",
        R"j("keyFlag":"default")j",
        R"j("name":"Text1","container":"","x":0,"y":328,"width":225,"height":25,"caption":"",)j"
        R"j("back":"#ffe0c0","fore":"#0000ff","font":{"face":"Arial","px":16,"weight":400)j",
        R"j("accessibleName":"Say something to Quibly")j",
        R"j("name":"Label1","container":"","x":0,"y":0,"width":89,"height":89,)j"
        R"j("caption":"Hello, I'm Quibly beta 2.3. It is nice to meet you.",)j"
        R"j("back":"#ffe0c0","fore":"#ff0000","font":{"face":"Arial","px":15)j",
        R"j("name":"Line1","container":"","x":88,"y":0,"width":1,"height":89,"falling":true,)j"
        R"j("colour":"var(--sys-8)")j",
        R"j("name":"Line2","container":"","x":0,"y":88,"width":89,"height":1)j",
        R"j("name":"Image2","container":"","x":-96,"y":0,"width":423,"height":500,)j",
        R"j("picture":"assets/backdrop.bmp")j",
        R"j("name":"Image1","container":"","x":0,"y":0,"width":1,"height":9,)j",
        R"j("name":"MenuFile","caption":"File","parent":"","enabled":true,"visible":true)j",
        R"j("name":"MenuExit","caption":"Exit","parent":"MenuFile")j",
        R"j("tabOrder":[1,0])j",
    };
    for (const char* part : expected)
        EXPECT_NE(json.find(part), std::string::npos) << part << "\nin " << json;
    // Graphical controls from the bottom of the list up, then the windowed ones: the text box
    // under the button where they meet.
    EXPECT_TRUE(Ascending(
        Positions(json, {"Image1", "Image2", "Label1", "Line1", "Line2", "Text1", "Command1"})))
        << json;
}

TEST(WindowDescription, SplashFramesBeforeWhatTheyHold) {
    const std::string json = Describe(frmSplashLayout);
    EXPECT_NE(json.find(R"j("titleBar":false,"controlBox":false,"minButton":false,)j"
                        R"j("maxButton":false,"sizable":false,"taskbar":false,"icon":null)j"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"j("name":"fraMainFrame","container":"","x":-8,"y":-8,"width":492,)j"
                        R"j("height":306,"caption":"","back":"var(--sys-14)")j"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"j("name":"lblProductName","container":"fraMainFrame","x":112,"y":64,)j"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"j("font":{"face":"Arial","px":37,"weight":700)j"), std::string::npos);
    EXPECT_NE(json.find(R"j("autoSize":true)j"), std::string::npos);
    EXPECT_TRUE(Ascending(
        Positions(json, {"fraMainFrame", "lblCopyright", "lblCompany", "lblWarning", "lblVersion",
                         "lblPlatform", "lblProductName", "Image1", "Label1", "Frame1", "Frame2"})))
        << json;
    EXPECT_NE(json.find(R"j("tabOrder":[])j"), std::string::npos);
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
