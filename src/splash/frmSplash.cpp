#include "splash/frmSplash.h"

#include "runtime/App.h"
#include "splash/frmSplashLayout.h"

using namespace FormsRuntime;

frmSplash::frmSplash() : Form(frmSplashLayout) {
    OnLoad([this] { Form_Load(); });
}

void frmSplash::Form_Load() {
    const auto major = App.Major();
    const auto minor = App.Minor();
    const auto revision = App.Revision();
    lblVersion.SetCaption(u"Version " + IntToText(major) + u"." + IntToText(minor) + u"." +
                          IntToText(revision));
    lblProductName.SetCaption(App.Title());
}
