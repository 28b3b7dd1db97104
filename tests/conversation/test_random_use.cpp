// Random use of the conversation window: a seeded stream of clicks, typing, pastes, keys,
// resizes and answered-No leave questions, checking after every action that the label shows
// the greeting or the last matching reply, that the text box holds exactly what was typed,
// and that there is exactly one conversation window. The close box comes last.
//
// QUIBLY_RANDOM_ACTIONS sets the number of actions (default 5000); QUIBLY_RANDOM_SEED replays
// a run (default: a fresh seed, printed first).

#include "ConversationWindow.h"
#include "conversation/ReplyTable.h"
#include "shell/Module1.h"
#include "shell/Program.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <random>

namespace {

// Characters a keyboard types one at a time, and code units only a paste brings in.
const QStringList typedCharacters = {"a",
                                     "Z",
                                     "?",
                                     "'",
                                     " ",
                                     ".",
                                     "7",
                                     QString::fromUtf8("é"),
                                     QString::fromUtf8("ß"),
                                     QString::fromUtf8("ñ"),
                                     QString::fromUtf8("\U0001F600"),
                                     QString::fromUtf8("\U0001F389")};
const QStringList pastedPieces = {"hi",
                                  "\n",
                                  "\r\n",
                                  QString(QChar(0)),
                                  QString(QChar(0xD800)),
                                  QString(QChar(0xDFFF)),
                                  "\t",
                                  QString::fromUtf8("\U0001F600"),
                                  QString::fromUtf8("über")};

class RandomUser {
public:
    RandomUser(std::uint64_t seed) : random_(seed) {}

    void Run(int actions) {
        shown_.Activate();
        for (int action = 0; action < actions; ++action) {
            step_ = action;
            Act();
            Check();
            if (QTest::currentTestFailed())
                return;
        }
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool Chance(int percent) { return Pick(100) < percent; }

    void Act() {
        switch (Pick(16)) {
        case 0:
        case 1:
        case 2:
            TypePhrase();
            break;
        case 3:
            Type(typedCharacters[Pick(int(typedCharacters.size()))]);
            break;
        case 4:
            Paste();
            break;
        case 5:
        case 6:
            ClickAt(Chance(50) ? shown_.enter.geometry().center() : RandomPoint());
            break;
        case 7:
        case 8:
            Key(Qt::Key_Return);
            break;
        case 9:
            Key(Qt::Key_Space);
            break;
        case 10:
            Key(Qt::Key_Tab);
            break;
        case 11:
            Key(std::array{Qt::Key_Escape, Qt::Key_F1, Qt::Key_Home, Qt::Key_End, Qt::Key_Left,
                           Qt::Key_Right}[Pick(6)]);
            break;
        case 12:
            Key(Qt::Key_A, Qt::ControlModifier);
            break; // select all
        case 13:
            Resize();
            break;
        case 14:
            ExitAnsweredNo();
            break;
        default:
            TypePhrase();
            break;
        }
    }

    // A prompt of the reply table, now and then with a near miss, so that replies happen.
    void TypePhrase() {
        if (focused() == &shown_.text)
            Key(Qt::Key_A, Qt::ControlModifier);
        QString phrase = QString::fromStdU16String(
            std::u16string(ReplyTable[std::size_t(Pick(int(ReplyTable.size())))].prompt));
        if (Chance(20))
            phrase += " ";
        for (const QChar c : phrase)
            Type(c);
        if (Chance(60))
            Key(Qt::Key_Return);
    }

    void Type(const QString& character) {
        if (focused() == &shown_.text)
            Insert(character);
        QTest::sendKeyEvent(QTest::Click, shown_.window.windowHandle(), Qt::Key_unknown, character,
                            Qt::NoModifier);
    }

    void Paste() {
        QString clip;
        if (Chance(1))
            clip = QString(Pick(1'000'001), QChar('x'));
        else
            for (int n = Pick(6) + 1; n > 0; --n)
                clip += pastedPieces[Pick(int(pastedPieces.size()))];
        if (expectedText_.size() > 2'000'000) // keep the text bounded: replace it all
            Key(Qt::Key_A, Qt::ControlModifier);
        QGuiApplication::clipboard()->setText(clip);
        if (focused() == &shown_.text)
            Insert(clip);
        QTest::keyClick(shown_.window.windowHandle(), Qt::Key_V, Qt::ControlModifier);
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QWidget* before = focused();
        if (key == Qt::Key_Return || (key == Qt::Key_Space && before == &shown_.enter))
            ExpectClick();
        else if (key == Qt::Key_Space && before == &shown_.text)
            Insert(" ");
        QTest::keyClick(shown_.window.windowHandle(), key, modifiers);
    }

    // A click lands only where the window is: a small window cuts its controls off.
    void ClickAt(QPoint point) {
        const QPoint inWindow = shown_.client.mapTo(&shown_.window, point);
        if (!shown_.client.rect().contains(point) || !shown_.window.rect().contains(inWindow))
            return;
        if (shown_.client.childAt(point) == &shown_.enter)
            ExpectClick();
        QTest::mouseClick(shown_.window.windowHandle(), Qt::LeftButton, {}, inWindow);
    }

    void Resize() {
        const int extreme = Pick(4);
        const QSize size = extreme == 0   ? QSize(1, 1)
                           : extreme == 1 ? QSize(4000, 4000)
                                          : QSize(Pick(800) + 1, Pick(800) + 1);
        shown_.window.resize(size);
    }

    void ExitAnsweredNo() {
        TestSupport::AnsweredBox seen;
        const int way = Pick(3);
        TestSupport::AnswerNextMessageBox(seen, [way](QWidget& box) {
            if (way == 0)
                static_cast<QMessageBox&>(box).button(QMessageBox::No)->click();
            else
                QTest::keyClick(&box, way == 1 ? Qt::Key_Return : Qt::Key_Escape);
        });
        shown_.exit.trigger();
        QCOMPARE(seen.text, QString("Are you leaving?"));
        shown_.Activate();
    }

    QPoint RandomPoint() {
        return {Pick(shown_.client.width() + 1), Pick(shown_.client.height() + 1)};
    }
    QWidget* focused() const { return QApplication::focusWidget(); }

    // Typing replaces the selection, or goes in at the caret.
    void Insert(const QString& typed) {
        const bool selected = shown_.text.hasSelectedText();
        const int at = selected ? shown_.text.selectionStart() : shown_.text.cursorPosition();
        expectedText_.replace(at, selected ? int(shown_.text.selectedText().size()) : 0, typed);
    }

    void ExpectClick() {
        if (const auto reply = LookUpReply(expectedText_.toStdU16String()))
            expectedLabel_ = QString::fromStdU16String(std::u16string(*reply));
    }

    void Check() {
        const QString where = QString("after action %1").arg(step_);
        QVERIFY2(shown_.label.text() == expectedLabel_,
                 qPrintable(where + ": label " + shown_.label.text()));
        QVERIFY2(shown_.text.text() == expectedText_, qPrintable(where + ": text box changed"));
        const auto windows = QApplication::topLevelWidgets();
        QVERIFY2(std::count_if(windows.begin(), windows.end(),
                               [](QWidget* w) { return w->objectName() == "frmMain"; }) == 1,
                 qPrintable(where));
        QVERIFY(Module1::mainWindow->IsLoaded());
    }

    std::mt19937_64 random_;
    int step_ = 0;
    ConversationWindow shown_;
    QString expectedLabel_ = greeting;
    QString expectedText_;
};

} // namespace

class RandomUseTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::QuietOffscreenSizeHintWarnings(); }

    void randomUseKeepsEveryInvariant() {
        const int actions = qEnvironmentVariableIsSet("QUIBLY_RANDOM_ACTIONS")
                                ? qEnvironmentVariableIntValue("QUIBLY_RANDOM_ACTIONS")
                                : 5000;
        const std::uint64_t seed = !qEnvironmentVariableIsEmpty("QUIBLY_RANDOM_SEED")
                                       ? qEnvironmentVariable("QUIBLY_RANDOM_SEED").toULongLong()
                                       : std::random_device()();
        qInfo("seed %llu, %d actions (replay with QUIBLY_RANDOM_SEED=%llu)",
              static_cast<unsigned long long>(seed), actions,
              static_cast<unsigned long long>(seed));
        QElapsedTimer timer;
        timer.start();
        const int status = TestSupport::RunScenario(QuiblyProgram, [&] {
            RandomUser(seed).Run(actions);
            TestSupport::TopLevel("frmMain")->close(); // the close box, last
        });
        qInfo("done in %lld ms", static_cast<long long>(timer.elapsed()));
        QCOMPARE(status, int(FormsRuntime::ExitNormal));
        QVERIFY(!Module1::mainWindow->IsLoaded());
    }
};

QTEST_MAIN(RandomUseTest)
#include "test_random_use.moc"
