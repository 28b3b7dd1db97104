#include <QApplication>
#include <gtest/gtest.h>

namespace {

// The offscreen platform warns on every resize that it keeps no size hints; a long run of
// resizes would bury the test's own messages under that line.
QtMessageHandler toolkitHandler = nullptr;
void QuietSizeHintWarnings(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (!message.contains(QLatin1String("does not support propagateSizeHints")))
        toolkitHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    toolkitHandler = qInstallMessageHandler(QuietSizeHintWarnings);
    // The menu bar stays in the window, as the program keeps it.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
