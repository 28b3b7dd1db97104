// The conversation window as the user meets it: its pixels, the Enter button and its keys,
// the File menu's leave question, and what a screen reader is told.

#include "ConversationWindow.h"
#include "Pixels.h"
#include "Scenario.h"
#include "conversation/ReplyTable.h"
#include "shell/Module1.h"
#include "shell/Program.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace FormsRuntime;
using TestSupport::PixelAt;

namespace {

const QColor peach(255, 224, 192);
using Window = ConversationWindow;

// Runs Quibly with `scenario` acting on its conversation window.
void WithQuibly(const std::function<void(Window&)>& scenario) {
    const int status = TestSupport::RunScenario(QuiblyProgram, [&] {
        Window window;
        scenario(window);
    });
    QCOMPARE(status, int(ExitNormal));
}

QColor System(QPalette::ColorRole role) {
    return QGuiApplication::palette().color(role);
}

} // namespace

class ConversationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void controlsSitWhereTheLayoutSays_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Enter button") << "Command1" << QRect(224, 328, 49, 25);
        QTest::newRow("text box") << "Text1" << QRect(0, 328, 225, 25);
        QTest::newRow("reply label") << "Label1" << QRect(0, 0, 89, 89);
        QTest::newRow("backdrop, natural size") << "Image2" << QRect(-96, 0, 423, 500);
        QTest::newRow("empty image") << "Image1" << QRect(0, 0, 1, 9);
        QTest::newRow("vertical line") << "Line1" << QRect(88, 0, 1, 89);
        QTest::newRow("horizontal line") << "Line2" << QRect(0, 88, 89, 1);
    }
    void controlsSitWhereTheLayoutSays() {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        WithQuibly([&](Window& w) {
            QCOMPARE(w.client.size(), QSize(274, 351));
            // Device pixels: twice as many each way at a scale factor of 2.
            const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
            QCOMPARE(TestSupport::Render(w.client).size(), QSize(274, 351) * scale);
            QCOMPARE(w.window.findChild<QWidget*>(name)->geometry(), pixels);
            // Resizing moves and resizes nothing.
            w.window.resize(600, 800);
            QCOMPARE(w.window.findChild<QWidget*>(name)->geometry(), pixels);
        });
    }

    void pixels_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("label background") << QPoint(1, 87) << peach;
        QTest::newRow("line on the label's last column") << QPoint(88, 3) << System(QPalette::Text);
        QTest::newRow("line on the label's last row") << QPoint(3, 88) << System(QPalette::Text);
        QTest::newRow("the corner both lines share") << QPoint(88, 88) << System(QPalette::Text);
        QTest::newRow("text box background") << QPoint(200, 345) << peach;
        QTest::newRow("beyond the picture, right") << QPoint(400, 100) << System(QPalette::Button);
        QTest::newRow("beyond the picture, below") << QPoint(100, 560) << System(QPalette::Button);
    }
    void pixels() {
        QFETCH(QPoint, point);
        QFETCH(QColor, expected);
        WithQuibly([&](Window& w) {
            w.window.resize(600, 800);
            QCOMPARE(PixelAt(TestSupport::Render(w.client), point), expected);
        });
    }

    void backdropIsShownUnstretchedFromItsColumn96() {
        const QImage backdrop =
            QImage(":/assets/backdrop.bmp").convertToFormat(QImage::Format_RGB32);
        WithQuibly([&](Window& w) {
            const QImage shown = TestSupport::Render(w.client);
            for (const QPoint point : {QPoint(150, 100), QPoint(273, 0), QPoint(95, 300),
                                       QPoint(200, 327), QPoint(250, 200)})
                QCOMPARE(PixelAt(shown, point), backdrop.pixelColor(point + QPoint(96, 0)));
        });
    }

    void fontsAndStacking() {
        WithQuibly([](Window& w) {
            QCOMPARE(w.label.font().pixelSize(), 15);
            QCOMPARE(w.text.font().pixelSize(), 16);
            QCOMPARE(w.enter.font().pixelSize(), 13);
            QCOMPARE(w.client.childAt(224, 340), &w.enter); // over the text box where they meet
            QCOMPARE(w.text.palette().color(QPalette::Text), QColor(Qt::blue));
            QCOMPARE(w.label.palette().color(QPalette::WindowText), QColor(Qt::red));
            QCOMPARE(w.enter.text(), QString("Enter"));
            QVERIFY(w.window.windowFlags() & Qt::WindowMinimizeButtonHint);
            QVERIFY(!(w.window.windowFlags() & Qt::WindowMaximizeButtonHint));
            QCOMPARE(w.window.windowTitle(), QString("Quibly"));
            QCOMPARE(w.window.windowIcon().availableSizes(), QList<QSize>({QSize(32, 32)}));
        });
    }

    void enterShowsTheReplyOrKeepsTheLabel_data() {
        QTest::addColumn<QStringList>("phrases");
        QTest::addColumn<QString>("shown");
        // Every rule of the table, through the window.
        for (const ReplyRule& rule : ReplyTable) {
            const auto text = [](FormsRuntime::TextView view) {
                return QString::fromStdU16String(std::u16string(view));
            };
            QTest::addRow("\"%s\"", qPrintable(text(rule.prompt)))
                << QStringList{text(rule.prompt)} << text(rule.reply);
        }
        QTest::newRow("no match keeps the greeting") << QStringList{"Hi"} << greeting;
        for (const char* miss :
             {"Hi", " hi", "hi ", "hi.", "how are you", "fine", "what are you doing right now?"})
            QTest::addRow("\"%s\" keeps the last reply", miss)
                << QStringList{"hi", miss} << "hello";
        QTest::newRow("same text twice") << QStringList{"hey", "hey"} << "hi";
    }
    void enterShowsTheReplyOrKeepsTheLabel() {
        QFETCH(QStringList, phrases);
        QFETCH(QString, shown);
        WithQuibly([&](Window& w) {
            QCOMPARE(w.label.text(), greeting);
            for (const QString& phrase : phrases)
                w.Say(phrase);
            QCOMPARE(w.label.text(), shown);
            QCOMPARE(w.text.text(), phrases.last());           // never cleared
            QCOMPARE(w.label.geometry(), QRect(0, 0, 89, 89)); // long replies wrap, never grow
        });
    }

    void keysAndFocus() {
        WithQuibly([](Window& w) {
            w.Activate();
            QCOMPARE(QApplication::focusWidget(), &w.text);
            QTest::keyClicks(&w.text, "hi");
            QTest::keyClick(w.window.windowHandle(), Qt::Key_Return);
            QCOMPARE(w.label.text(), QString("hello"));
            QCOMPARE(QApplication::focusWidget(), &w.text);

            QTest::keyClick(w.window.windowHandle(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), &w.enter);
            QTest::keyClick(w.window.windowHandle(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), &w.text);

            w.Say("hey");
            QCOMPARE(QApplication::focusWidget(), &w.enter); // the click put it there
            w.label.setText("stale");
            QTest::keyClick(w.window.windowHandle(), Qt::Key_Space);
            QCOMPARE(w.label.text(), QString("hi"));
            QCOMPARE(w.text.text(), QString("hey"));
        });
    }

    void millionCharacterPasteThenEnter() {
        WithQuibly([](Window& w) {
            w.Activate();
            const QString huge(1'000'000, QChar('h'));
            QGuiApplication::clipboard()->setText(huge);
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(&w.text, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(w.window.windowHandle(), Qt::Key_Return);
            QVERIFY2(timer.elapsed() < 1000 * QUIBLY_SLOWDOWN,
                     qPrintable(QString::number(timer.elapsed())));
            QCOMPARE(w.text.text(), huge);
            QCOMPARE(w.label.text(), greeting);
        });
    }

    void leaveQuestion_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("leaves");
        QTest::newRow("Yes") << "Yes" << true;
        QTest::newRow("No") << "No" << false;
        QTest::newRow("Return answers No") << "Return" << false;
        QTest::newRow("Escape answers No") << "Escape" << false;
    }
    void leaveQuestion() {
        QFETCH(QString, answer);
        QFETCH(bool, leaves);
        WithQuibly([&](Window& w) {
            w.Say("how are you?");
            for (int round = 0; round < (leaves ? 1 : 2); ++round) { // No leaves the menu usable
                TestSupport::AnsweredBox seen;
                QMessageBox::StandardButton defaultButton{};
                TestSupport::AnswerNextMessageBox(seen, [&](QWidget& widget) {
                    auto& box = static_cast<QMessageBox&>(widget);
                    defaultButton = box.standardButton(box.defaultButton());
                    if (answer == "Yes" || answer == "No")
                        box.button(answer == "Yes" ? QMessageBox::Yes : QMessageBox::No)->click();
                    else
                        QTest::keyClick(&box, answer == "Return" ? Qt::Key_Return : Qt::Key_Escape);
                });
                w.exit.trigger();
                QCOMPARE(seen.text, QString("Are you leaving?"));
                QCOMPARE(seen.title, QString("Quibly"));
                QCOMPARE(defaultButton, QMessageBox::No);
                QCOMPARE(Module1::mainWindow->IsLoaded(), !leaves);
            }
            if (!leaves) {
                QCOMPARE(w.label.text(), QString("fine"));
                QCOMPARE(w.text.text(), QString("how are you?"));
            }
        });
    }

    void screenReadersAreTold() {
        WithQuibly([](Window& w) {
            const auto named = [](QObject* object, QAccessible::Role role, const QString& name) {
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
                return face != nullptr && face->role() == role &&
                       face->text(QAccessible::Name) == name;
            };
            QVERIFY(named(&w.label, QAccessible::StaticText, greeting));
            QVERIFY(named(&w.text, QAccessible::EditableText, "Say something to Quibly"));
            QVERIFY(named(&w.enter, QAccessible::Button, "Enter"));
            w.Say("hi");
            QVERIFY(named(&w.label, QAccessible::StaticText, "hello"));

            QAccessibleInterface* menuBar =
                QAccessible::queryAccessibleInterface(w.window.findChild<QMenuBar*>());
            QCOMPARE(menuBar->childCount(), 1);
            QCOMPARE(menuBar->child(0)->text(QAccessible::Name), QString("File"));
            QCOMPARE(menuBar->child(0)->role(), QAccessible::MenuItem);

            TestSupport::AnsweredBox seen;
            bool announced = false;
            TestSupport::AnswerNextMessageBox(seen, [&](QWidget& box) {
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&box);
                QStringList buttons;
                for (const auto* button : box.findChildren<QPushButton*>())
                    buttons << QAccessible::queryAccessibleInterface(
                                   const_cast<QPushButton*>(button))
                                   ->text(QAccessible::Name);
                buttons.sort();
                announced = face->role() == QAccessible::AlertMessage &&
                            face->text(QAccessible::Name) == "Quibly" &&
                            face->text(QAccessible::Value) == "Are you leaving?" &&
                            buttons == QStringList({"No", "Yes"});
                static_cast<QMessageBox&>(box).button(QMessageBox::No)->click();
            });
            w.exit.trigger();
            QVERIFY(announced);
        });
    }
};

QTEST_MAIN(ConversationWindowTest)
#include "test_conversation_window.moc"
