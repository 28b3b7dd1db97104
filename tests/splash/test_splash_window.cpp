// The splash window: its panel, band, strip, red bar, picture and labels, and the version
// and product name that loading writes into it.

#include "Pixels.h"
#include "Scenario.h"
#include "splash/frmSplash.h"

#include <QLabel>
#include <QScreen>
#include <QtTest>

using namespace FormsRuntime;
using TestSupport::PixelAt;

namespace {

void ShowSplash() {
    DefaultInstance<frmSplash>().Show();
}

// Shows the splash for an application of the given identity and hands it to `check`.
void WithSplash(const AppInfo& app, const std::function<void(QWidget&)>& check) {
    TestSupport::RunScenario({.app = app, .main = &ShowSplash},
                             [&] { check(*TestSupport::TopLevel("frmSplash")); });
}
void WithSplash(const std::function<void(QWidget&)>& check) {
    WithSplash({.Title = u"Quibly", .Major = 1}, check);
}

QLabel& LabelOf(QWidget& splash, const char* name) {
    return *splash.findChild<QLabel*>(QString::fromLatin1(name));
}

QColor System(QPalette::ColorRole role) {
    return QGuiApplication::palette().color(role);
}

// Records every caption the version label is painted with.
struct PaintedCaptions : QObject {
    QStringList seen;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->objectName() == "lblVersion")
            seen << static_cast<QLabel*>(watched)->text();
        return false;
    }
};

} // namespace

class SplashWindowTest : public QObject {
    Q_OBJECT

private slots:
    void versionTextFollowsTheIdentity_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("version");
        QTest::newRow("this release") << 1 << 0 << 0 << "Version 1.0.0";
        QTest::newRow("two digits, no leading zero") << 2 << 15 << 7 << "Version 2.15.7";
        QTest::newRow("inner zeros kept") << 10 << 0 << 305 << "Version 10.0.305";
        QTest::newRow("largest") << 32767 << 32767 << 32767 << "Version 32767.32767.32767";
    }
    void versionTextFollowsTheIdentity() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, version);
        const AppInfo app{.Title = u"Zed",
                          .Major = std::int16_t(major),
                          .Minor = std::int16_t(minor),
                          .Revision = std::int16_t(revision)};
        WithSplash(app, [&](QWidget& splash) {
            QLabel& label = LabelOf(splash, "lblVersion");
            QCOMPARE(label.text(), version);
            QCOMPARE(LabelOf(splash, "lblProductName").text(), QString("Zed"));
            // AutoSize: the label takes its text's size and keeps its Left and Top.
            const QFontMetrics metrics(label.font());
            QCOMPARE(QRect(label.mapTo(&splash, QPoint(0, 0)), label.size()),
                     QRect(224, 120, metrics.horizontalAdvance(version), metrics.height()));
        });
    }

    void designTimeCaptionsAreNeverPainted() {
        PaintedCaptions painted;
        QApplication::instance()->installEventFilter(&painted);
        WithSplash([](QWidget& splash) { QVERIFY(QTest::qWaitForWindowExposed(&splash)); });
        QApplication::instance()->removeEventFilter(&painted);
        QVERIFY(!painted.seen.contains("Version 2.0"));
        QVERIFY(painted.seen.contains("Version 1.0.0"));
    }

    void labelsSitWhereTheLayoutSays_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<bool>("autoSize");
        QTest::newRow("product name") << "lblProductName" << QPoint(104, 56) << true;
        QTest::newRow("platform") << "lblPlatform" << QPoint(224, 96) << true;
        QTest::newRow("version") << "lblVersion" << QPoint(224, 120) << true;
        QTest::newRow("copyright") << "lblCopyright" << QPoint(224, 144) << false;
        QTest::newRow("company") << "lblCompany" << QPoint(224, 160) << false;
    }
    void labelsSitWhereTheLayoutSays() {
        QFETCH(QString, name);
        QFETCH(QPoint, topLeft);
        QFETCH(bool, autoSize);
        WithSplash([&](QWidget& splash) {
            auto& label = *splash.findChild<QLabel*>(name);
            QCOMPARE(label.mapTo(&splash, QPoint(0, 0)), topLeft);
            const QFontMetrics metrics(label.font());
            if (autoSize)
                QCOMPARE(label.size(),
                         QSize(metrics.horizontalAdvance(label.text()), metrics.height()));
            else
                QCOMPARE(label.width(), 161); // reaches past the right edge and is cut there
        });
    }

    void pixels_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QColor>("expected");
        const QColor band = System(QPalette::ButtonText), panel = System(QPalette::HighlightedText);
        QTest::newRow("band, top left") << QPoint(0, 0) << band;
        QTest::newRow("band, right") << QPoint(342, 30) << band;
        QTest::newRow("band's last row, past the strip") << QPoint(49, 56) << band;
        QTest::newRow("strip, first pixel") << QPoint(0, 56) << System(QPalette::Button);
        QTest::newRow("strip, last pixel") << QPoint(48, 56) << System(QPalette::Button);
        QTest::newRow("red bar under the band") << QPoint(0, 57) << QColor(Qt::red);
        QTest::newRow("red bar to the bottom edge") << QPoint(32, 182) << QColor(Qt::red);
        QTest::newRow("panel beside the red bar") << QPoint(33, 100) << panel;
        QTest::newRow("panel, bottom right") << QPoint(342, 182) << panel;
        QTest::newRow("picture's transparent corner") << QPoint(72, 88) << panel;
    }
    void pixels() {
        QFETCH(QPoint, point);
        QFETCH(QColor, expected);
        WithSplash([&](QWidget& splash) {
            QCOMPARE(splash.size(), QSize(343, 183));
            QCOMPARE(PixelAt(TestSupport::Render(splash), point), expected);
        });
    }

    void pictureAtNaturalSizeWithThePanelShowingThrough() {
        const QImage picture(":/assets/splash.gif");
        WithSplash([&](QWidget& splash) {
            const QImage shown = TestSupport::Render(splash);
            // The product name lies below the picture where they meet: it shows through
            // there instead of the panel.
            const QLabel& name = LabelOf(splash, "lblProductName");
            const QRect nameBox(name.mapTo(&splash, QPoint(0, 0)), name.size());
            const QColor panel = System(QPalette::HighlightedText);
            int transparent = 0, opaqueOverName = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) {
                    const QPoint at(72 + x, 88 + y);
                    const QColor source = picture.pixelColor(x, y);
                    if (source.alpha() != 0) {
                        opaqueOverName += nameBox.contains(at);
                        QCOMPARE(PixelAt(shown, at), source.toRgb());
                    } else if (!nameBox.contains(at)) {
                        ++transparent;
                        QCOMPARE(PixelAt(shown, at), panel);
                    }
                }
            QVERIFY(transparent > 0);
            QVERIFY(opaqueOverName > 0);
        });
    }

    void warningIsNeverSeenAndTheWindowTakesNoPart() {
        WithSplash([](QWidget& splash) {
            QVERIFY(LabelOf(splash, "lblWarning").mapTo(&splash, QPoint(0, 0)).y() >=
                    splash.height());
            const Qt::WindowFlags flags = splash.windowFlags();
            QCOMPARE(flags & Qt::WindowType_Mask, Qt::SplashScreen); // no task bar button
            QVERIFY(flags & Qt::FramelessWindowHint);
            QVERIFY(flags & Qt::WindowDoesNotAcceptFocus);
            QVERIFY(splash.windowTitle().isEmpty());
            QCOMPARE(splash.minimumSize(), splash.maximumSize()); // cannot be resized
            QCOMPARE(splash.frameGeometry().center(),
                     QGuiApplication::primaryScreen()->availableGeometry().center());
            // Clicks and keys on it start nothing.
            QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(170, 90));
            QTest::keyClick(&splash, Qt::Key_Escape);
            QVERIFY(splash.isVisible());
        });
    }
};

QTEST_MAIN(SplashWindowTest)
#include "test_splash_window.moc"
