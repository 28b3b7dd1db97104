// The generic runtime on a backend with no window system: message-box styles decoded into the
// box the user sees, Return and Escape reaching the buttons the window settled, the event gate,
// and a failing operation ending the program through a run-time error box.

#include "NullBackend.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/MsgBox.h"
#include "runtime/Runtime.h"

#include <array>
#include <gtest/gtest.h>

using namespace FormsRuntime;
using NullPlatform::Instance;

namespace {

constexpr std::array controls{
    ControlLayout{.kind = ControlKind::CommandButton,
                  .name = "cmdOK",
                  .tabIndex = 1,
                  .keyFlag = KeyFlag::Default},
    ControlLayout{.kind = ControlKind::CommandButton,
                  .name = "cmdCancel",
                  .tabIndex = 2,
                  .keyFlag = KeyFlag::Cancel},
    ControlLayout{.kind = ControlKind::TextBox, .name = "txtName"},
    ControlLayout{.kind = ControlKind::Label, .name = "lblSaid", .caption = u"nothing yet"},
};
constexpr WindowLayout askLayout{.name = "frmAsk", .caption = u"Ask", .controls = controls};

// Says what was typed on OK, unloads itself on Cancel.
class frmAsk final : public Form {
public:
    frmAsk() : Form(askLayout) {
        OnClick("cmdOK", [this] { said.SetCaption(u"OK: " + name.Text()); });
        OnClick("cmdCancel", [this] { Unload(); });
    }
    TextBox name{*this, "txtName"};
    Label said{*this, "lblSaid"};
};

int RunProgram(void (*main)(), std::function<void()> user = {}) {
    Instance().user = std::move(user);
    Program program{.app = {.Title = u"Tester", .Major = 1}, .main = main};
    return Run(program);
}

class OnNullBackend : public testing::Test {
protected:
    void SetUp() override {
        NullPlatform::NullBackend& backend = Instance();
        backend.windows.clear();
        backend.boxes.clear();
        backend.errors.clear();
        backend.announced.clear();
        backend.answer = MsgBoxResult::OK;
    }
};

TEST_F(OnNullBackend, MessageBoxStyles) {
    const struct {
        std::uint32_t style;
        std::vector<MsgBoxResult> buttons;
        std::size_t defaultButton;
        std::optional<MsgBoxResult> escape;
        MsgBoxIcon icon;
    } cases[] = {
        {0, {OK}, 0, OK, MsgBoxIcon::None},
        {4 + 32 + 256, {Yes, No}, 1, No, MsgBoxIcon::Question},
        {1 + 16, {OK, Cancel}, 0, Cancel, MsgBoxIcon::Critical},
        {2 + 48 + 512, {Abort, Retry, Ignore}, 2, std::nullopt, MsgBoxIcon::Exclamation},
        {3 + 64 + 256, {Yes, No, Cancel}, 1, Cancel, MsgBoxIcon::Information},
        {5 + 768, {Retry, Cancel}, 0, Cancel, MsgBoxIcon::None}, // no fourth button: the first
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.style);
        Instance().boxes.clear();
        static std::uint32_t style;
        style = expected.style;
        EXPECT_EQ(RunProgram([] { MsgBox(u"Are you leaving?", style, {}, u"DEMO.HLP", 1000); }),
                  ExitNormal);
        ASSERT_EQ(Instance().boxes.size(), 1u);
        const NullPlatform::BoxShown& box = Instance().boxes[0];
        EXPECT_EQ(box.prompt, u"Are you leaving?");
        EXPECT_EQ(box.title, u"Tester"); // no title of its own: App.Title
        EXPECT_EQ(box.buttons, expected.buttons);
        EXPECT_EQ(box.buttonSet, expected.style & 0xF);
        EXPECT_EQ(box.defaultButton, expected.defaultButton);
        EXPECT_EQ(box.escape, expected.escape);
        EXPECT_EQ(box.icon, expected.icon);
        EXPECT_EQ(box.spoken, u"Tester. Are you leaving?");
        EXPECT_NE(box.helpText.find(u"DEMO.HLP"), std::u16string::npos);
    }
}

TEST_F(OnNullBackend, TheAnswerComesBack) {
    static int answer = 0;
    Instance().answer = MsgBoxResult::No;
    RunProgram([] { answer = MsgBox(u"Sure?", MsgBoxStyle::YesNo, u"Asking"); });
    EXPECT_EQ(answer, 7);
    EXPECT_EQ(Instance().boxes.at(0).title, u"Asking");
}

TEST_F(OnNullBackend, AFailureEndsTheProgramThroughAnErrorBox) {
    const struct {
        const char* what;
        void (*main)();
        std::optional<MsgBoxResult> answer;
        const char* message;
    } cases[] = {
        {"invalid style", [] { MsgBox(u"?", 6); }, OK,
         "Run-time error:\nMsgBox: show failed: invalid style flags 6"},
        {"a box closed without answer", [] { MsgBox(u"?", MsgBoxStyle::AbortRetryIgnore); },
         std::nullopt,
         "Run-time error:\nMsgBox: show failed: the message box was closed without an answer"},
        {"a window that is not loaded", [] { DefaultInstance<frmAsk>().Refresh(); }, OK,
         "Run-time error:\nfrmAsk: Refresh failed: the window frmAsk is not loaded"},
    };
    for (const auto& [what, main, answer, message] : cases) {
        SCOPED_TRACE(what);
        Instance().errors.clear();
        Instance().answer = answer;
        EXPECT_EQ(RunProgram(main), ExitRunTimeError);
        ASSERT_EQ(Instance().errors.size(), 1u);
        EXPECT_EQ(Instance().errors[0].title, u"Tester");
        EXPECT_EQ(Instance().errors[0].message, message);
    }
}

TEST_F(OnNullBackend, ReturnAndEscapeClickTheSettledButtons) {
    std::u16string said;
    const int status =
        RunProgram([] { DefaultInstance<frmAsk>().Show(); },
                   [&] {
                       NullPlatform::NullBackend& user = Instance();
                       user.Type("frmAsk", "txtName", u"hi");
                       user.PressReturn("frmAsk");
                       said = user.Text("frmAsk", "lblSaid");
                       user.PressEscape("frmAsk"); // unloads the last window: the program ends
                   });
    EXPECT_EQ(status, ExitNormal);
    EXPECT_EQ(said, u"OK: hi");
    EXPECT_EQ(Instance().announced, (std::vector<std::string>{"frmAsk.lblSaid: OK: hi"}));
    ASSERT_EQ(Instance().windows.size(), 1u);
    EXPECT_EQ(Instance().windows[0].tabOrder, (std::vector<std::size_t>{2, 0, 1}));
}

TEST_F(OnNullBackend, ClosingTheLastWindowEndsTheProgram) {
    bool shownAfterClose = true;
    const int status = RunProgram([] { DefaultInstance<frmAsk>().Show(); },
                                  [&] {
                                      Instance().Close("frmAsk");
                                      shownAfterClose = Instance().IsShown("frmAsk");
                                  });
    EXPECT_EQ(status, ExitNormal);
    EXPECT_FALSE(shownAfterClose);
}

} // namespace
