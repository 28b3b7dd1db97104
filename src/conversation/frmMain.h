#pragma once

#include "runtime/Controls.h"
#include "runtime/Form.h"

// The conversation window: the user types a phrase into Text1 and clicks Enter; Label1
// shows the bot's reply. File > Exit asks before the program ends.
class frmMain final : public FormsRuntime::Form {
public:
    frmMain();

private:
    void Command1_Click();
    void MenuExit_Click();

    FormsRuntime::TextBox Text1{*this, "Text1"};
    FormsRuntime::Label Label1{*this, "Label1"};
};
