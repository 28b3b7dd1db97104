#include "conversation/frmMain.h"

#include "conversation/ReplyTable.h"
#include "conversation/frmMainLayout.h"
#include "runtime/MsgBox.h"
#include "runtime/Runtime.h"

using namespace FormsRuntime;

frmMain::frmMain() : Form(frmMainLayout) {
    OnClick("Command1", [this] { Command1_Click(); });
    OnClick("MenuExit", [this] { MenuExit_Click(); });
}

// Text that matches no prompt leaves the label as it was; the text box is never cleared.
void frmMain::Command1_Click() {
    const Text typed = Text1.Text();
    if (const auto reply = LookUpReply(typed))
        Label1.SetCaption(*reply);
}

void frmMain::MenuExit_Click() {
    using namespace MsgBoxStyle;
    const int answer = MsgBox(u"Are you leaving?", YesNo + Question + DefaultButton2, u"Quibly",
                              u"DEMO.HLP", 1000);
    if (answer == Yes)
        End();
}
