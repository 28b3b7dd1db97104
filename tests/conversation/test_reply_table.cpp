// The reply table answers exactly its sixteen prompts, in their order, and nothing else.

#include "conversation/ReplyTable.h"

#include <QElapsedTimer>
#include <QtTest>
#include <set>

namespace {

QString Reply(const QString& input) {
    const auto reply = LookUpReply(input.toStdU16String());
    return reply ? QString::fromStdU16String(std::u16string(*reply)) : QString();
}

bool Answers(const QString& input) {
    return LookUpReply(input.toStdU16String()).has_value();
}

} // namespace

class ReplyTableTest : public QObject {
    Q_OBJECT

private slots:
    void everyPromptGetsItsReply_data() {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("reply");
        const char* rules[][2] = {
            {"it's nice to meet you too", "great"},
            {"hi", "hello"},
            {"how are you?", "fine"},
            {"you're hot", "Thank you"},
            {"you're beautiful", "(smiles)"},
            {"I love you", "I'm flattered"},
            {"what are you wearing?", "something very tight"},
            {"", "how may I assist you?"},
            {"what are you doing right now", "nothing much"},
            {"do you have a boyfriend?", "Have an Ex"},
            {"did you dump him?", "yip"},
            {"did he dump you?", "nope, dumped him"},
            {"why did you dump him?", "he was getting too physical"},
            {"where do you live?", "in your computer duh"},
            {"hello", "hi"},
            {"hey", "hi"},
        };
        int number = 0;
        for (const auto& [prompt, reply] : rules) {
            QTest::addRow("rule %d", ++number) << QString(prompt) << QString(reply);
        }
    }
    void everyPromptGetsItsReply() {
        QFETCH(QString, prompt);
        QFETCH(QString, reply);
        QCOMPARE(Reply(prompt), reply);
        QVERIFY(Answers(prompt));
    }

    void tableHoldsSixteenDistinctAsciiPromptsInOrder() {
        std::set<FormsRuntime::TextView> prompts;
        for (const ReplyRule& rule : ReplyTable) {
            prompts.insert(rule.prompt);
            for (const auto text : {rule.prompt, rule.reply})
                for (const char16_t unit : text)
                    QVERIFY(unit >= 0x20 && unit < 0x7f);
        }
        QCOMPARE(prompts.size(), std::size_t{16});
        QVERIFY(ReplyTable.front().prompt == u"it's nice to meet you too");
        QVERIFY(ReplyTable.back().prompt == u"hey");
    }

    void nearMissesGetNoReply_data() {
        QTest::addColumn<QString>("input");
        QTest::newRow("capital letter") << "Hi";
        QTest::newRow("all capitals") << "HELLO";
        QTest::newRow("blank before") << " hi";
        QTest::newRow("blank after") << "hi ";
        QTest::newRow("full stop added") << "hi.";
        QTest::newRow("question mark missing") << "how are you";
        QTest::newRow("question mark added where there is none") << "what are you doing right now?";
        QTest::newRow("typographic apostrophe") << QString::fromUtf8("you\u2019re hot");
        QTest::newRow("line break after") << "hi\n";
        QTest::newRow("NUL after") << QString("hi") + QChar(0);
        QTest::newRow("a lone blank is not empty") << " ";
        QTest::newRow("reply typed as input") << "Thank you";
        QTest::newRow("another reply typed as input") << "fine";
        QTest::newRow("lone surrogate") << QString(QChar(0xD800));
        QTest::newRow("emoji") << QString::fromUtf8("\U0001F600");
    }
    void nearMissesGetNoReply() {
        QFETCH(QString, input);
        QVERIFY2(!Answers(input), qPrintable(Reply(input)));
    }

    void hugeInputIsAnsweredQuicklyAndLeftUnchanged() {
        const std::u16string huge(1'000'000, u'h');
        const std::u16string before = huge;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!LookUpReply(huge).has_value());
        QVERIFY(timer.elapsed() < 100);
        QVERIFY(huge == before);
    }
};

QTEST_APPLESS_MAIN(ReplyTableTest)
#include "test_reply_table.moc"
