#include "runtime/qt/ErrorReport.h"

#include "runtime/RuntimeError.h"
#include "runtime/qt/Convert.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace FormsRuntime {

void ReportRunTimeError(const RuntimeError& error, TextView appTitle) {
    std::fprintf(stderr, "%s: run-time error: %s\n", ToDisplayAscii(appTitle).c_str(),
                 error.what());
    std::fflush(stderr);

    QMessageBox box(QMessageBox::Critical, ToQString(appTitle),
                    QStringLiteral("Run-time error:\n%1").arg(QString::fromUtf8(error.what())),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("RunTimeError"));
    box.exec();
}

} // namespace FormsRuntime
