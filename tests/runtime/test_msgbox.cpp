// The message box decodes its style flags in general: button set, icon, default button and
// the button Escape presses; it returns the code of the button pressed.

#include "Scenario.h"
#include "runtime/MsgBox.h"
#include "runtime/RuntimeError.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace FormsRuntime;
using Buttons = QList<QMessageBox::StandardButton>;

namespace {

QMessageBox& AsBox(QWidget& widget) {
    return static_cast<QMessageBox&>(widget);
}

} // namespace

class MsgBoxTest : public QObject {
    Q_OBJECT

private slots:
    void decodesStyle_data() {
        QTest::addColumn<uint>("style");
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
        QTest::addColumn<QMessageBox::StandardButton>("escapeButton");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::newRow("OK only") << 0u << Buttons{QMessageBox::Ok} << QMessageBox::Ok
                                 << QMessageBox::Ok << QMessageBox::NoIcon;
        QTest::newRow("OK and Cancel, critical")
            << 17u << Buttons{QMessageBox::Ok, QMessageBox::Cancel} << QMessageBox::Ok
            << QMessageBox::Cancel << QMessageBox::Critical;
        QTest::newRow("abort, retry, ignore; third default; exclamation")
            << 562u << Buttons{QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}
            << QMessageBox::Ignore << QMessageBox::NoButton << QMessageBox::Warning;
        QTest::newRow("yes, no, cancel; second default; information")
            << 323u << Buttons{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}
            << QMessageBox::No << QMessageBox::Cancel << QMessageBox::Information;
        QTest::newRow("yes and no; question; No default (292)")
            << 292u << Buttons{QMessageBox::Yes, QMessageBox::No} << QMessageBox::No
            << QMessageBox::No << QMessageBox::Question;
        QTest::newRow("retry and cancel; a fourth default falls back to the first")
            << 773u << Buttons{QMessageBox::Retry, QMessageBox::Cancel} << QMessageBox::Retry
            << QMessageBox::Cancel << QMessageBox::NoIcon;
    }
    void decodesStyle() {
        QFETCH(uint, style);
        QFETCH(Buttons, buttons);
        QFETCH(QMessageBox::StandardButton, defaultButton);
        QFETCH(QMessageBox::StandardButton, escapeButton);
        QFETCH(QMessageBox::Icon, icon);
        Buttons shown;
        QMessageBox::StandardButton shownDefault{}, shownEscape{};
        QMessageBox::Icon shownIcon{};
        TestSupport::AnsweredBox seen;
        TestSupport::AnswerNextMessageBox(seen, [&](QWidget& widget) {
            QMessageBox& box = AsBox(widget);
            for (QAbstractButton* button : box.buttons())
                shown << box.standardButton(button);
            shownDefault = box.standardButton(box.defaultButton());
            shownEscape =
                box.escapeButton() ? box.standardButton(box.escapeButton()) : QMessageBox::NoButton;
            shownIcon = box.icon();
            box.button(buttons.first())->click();
        });
        MsgBox(u"Question?", style, u"Title");
        QCOMPARE(seen.text, QString("Question?"));
        QCOMPARE(seen.title, QString("Title"));
        std::sort(shown.begin(), shown.end());
        std::sort(buttons.begin(), buttons.end());
        QCOMPARE(shown, buttons);
        QCOMPARE(shownDefault, defaultButton);
        QCOMPARE(shownEscape, escapeButton);
        QCOMPARE(shownIcon, icon);
    }

    void returnsTheButtonPressed_data() {
        QTest::addColumn<uint>("style");
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::addColumn<int>("code");
        const std::pair<QMessageBox::StandardButton, int> ok{QMessageBox::Ok, OK},
            cancel{QMessageBox::Cancel, Cancel}, abort{QMessageBox::Abort, Abort},
            retry{QMessageBox::Retry, Retry}, ignore{QMessageBox::Ignore, Ignore},
            yes{QMessageBox::Yes, Yes}, no{QMessageBox::No, No};
        const std::pair<uint, std::vector<std::pair<QMessageBox::StandardButton, int>>> sets[] = {
            {0, {ok}},
            {1, {ok, cancel}},
            {2, {abort, retry, ignore}},
            {3, {yes, no, cancel}},
            {4, {yes, no}},
            {5, {retry, cancel}}};
        for (const auto& [style, presses] : sets)
            for (const auto& [button, code] : presses)
                QTest::addRow("set %u, code %d", style, code) << style << button << code;
    }
    void returnsTheButtonPressed() {
        QFETCH(uint, style);
        QFETCH(QMessageBox::StandardButton, press);
        QFETCH(int, code);
        TestSupport::AnsweredBox seen;
        TestSupport::AnswerNextMessageBox(seen,
                                          [&](QWidget& box) { AsBox(box).button(press)->click(); });
        QCOMPARE(MsgBox(u"?", style, u"T"), code);
    }

    void keysAnswerTheLeaveQuestionWithNo_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return presses the default") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void keysAnswerTheLeaveQuestionWithNo() {
        QFETCH(int, key);
        TestSupport::AnsweredBox seen;
        TestSupport::AnswerNextMessageBox(
            seen, [&](QWidget& box) { QTest::keyClick(&box, Qt::Key(key)); });
        QCOMPARE(MsgBox(u"Are you leaving?", 292, u"Quibly", u"DEMO.HLP", 1000), int(No));
    }

    void f1OffersTheNamedHelpTopicAndLeavesTheQuestionOpen() {
        TestSupport::AnsweredBox question, help;
        TestSupport::AnswerNextMessageBox(question, [&](QWidget& box) {
            QCOMPARE(box.property("helpFile").toString(), QString("DEMO.HLP"));
            QCOMPARE(box.property("helpContext").toInt(), 1000);
            TestSupport::AnswerNextMessageBox(help, [](QWidget& info) { info.close(); });
            QTest::keyClick(&box, Qt::Key_F1);
            QVERIFY(box.isVisible());
            AsBox(box).button(QMessageBox::Yes)->click();
        });
        QCOMPARE(MsgBox(u"Are you leaving?", 292, u"Quibly", u"DEMO.HLP", 1000), int(Yes));
        QVERIFY(help.answered);
        QVERIFY2(help.text.contains("DEMO.HLP") && help.text.contains("1000"),
                 qPrintable(help.text));
    }

    void invalidStylesAreRunTimeErrors_data() {
        QTest::addColumn<uint>("style");
        QTest::newRow("no such button set") << 6u;
        QTest::newRow("no such icon") << 80u;
        QTest::newRow("no such default button") << 1024u;
        QTest::newRow("unknown flag") << 0x8000000u;
    }
    void invalidStylesAreRunTimeErrors() {
        QFETCH(uint, style);
        try {
            MsgBox(u"?", style, u"T");
            QFAIL("an invalid style was shown");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Object(), std::string("MsgBox"));
            QCOMPARE(error.Operation(), std::string("show"));
        }
    }
};

QTEST_MAIN(MsgBoxTest)
#include "test_msgbox.moc"
