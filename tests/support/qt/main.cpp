#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>
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

// The scenarios read what screen readers are told, which Qt tells only while accessibility is
// on. As on a desktop where a screen reader runs, the session's accessibility bus is started and
// Qt uses it. Offscreen tests have no session bus and so no accessibility.
void SwitchAccessibilityOn() {
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    if (QDBusConnectionInterface* session = QDBusConnection::sessionBus().interface())
        session->startService(QStringLiteral("org.a11y.Bus"));
}

void AwaitAccessibility() {
    if (QDBusConnection::sessionBus().isConnected() &&
        !QTest::qWaitFor([] { return QAccessible::isActive(); }, 30000))
        qFatal("accessibility did not come on within 30 s although a session bus is there");
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    toolkitHandler = qInstallMessageHandler(QuietSizeHintWarnings);
    // The menu bar stays in the window, as the program keeps it.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    SwitchAccessibilityOn();
    QApplication application(argc, argv);
    AwaitAccessibility();
    return RUN_ALL_TESTS();
}
