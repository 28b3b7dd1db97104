#pragma once

#include "runtime/Controls.h"
#include "runtime/Form.h"

// The splash window, up while the conversation window is built. On loading it shows the
// running version and product name in place of their design-time texts.
class frmSplash final : public FormsRuntime::Form {
public:
    frmSplash();

private:
    void Form_Load();

    FormsRuntime::Label lblVersion{*this, "lblVersion"};
    FormsRuntime::Label lblProductName{*this, "lblProductName"};
};
