// Reply latency, a large paste and memory over a long conversation, measured on Quibly's
// conversation window or, for comparison, on the bare form, through the window system's mouse and
// key path:
//
//   quibly_bench_interaction quibly|baseline [Google Benchmark flags]
//
// Each repetition of a benchmark is one timed turn, so that --benchmark_repetitions sets the
// number of clicks or pastes and the statistics give their distribution.

#include "BaselineForm.h"
#include "OnScreen.h"
#include "conversation/ReplyTable.h"
#include "shell/Program.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The window a benchmark acts on.
struct Subject {
    QWidget* window = nullptr;
    QLineEdit* input = nullptr;
    QPushButton* enter = nullptr;
    QLabel* reply = nullptr; // none on the bare form: its button does nothing
};

bool failed = false;

void Fail(benchmark::State& state, const QString& message) {
    failed = true;
    state.SkipWithError(message.toUtf8().constData());
}

double Seconds(Clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

QString ToQString(FormsRuntime::TextView text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

// A click on the button as the window system delivers it, at the button's centre.
void Click(QPushButton& button) {
    QWidget& window = *button.window();
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                      button.mapTo(&window, button.rect().center()));
}

// Two rules late in the table, so each look-up passes most rules, with different replies, so
// that every click changes the label.
const std::array turns{ReplyTable[13], ReplyTable[14]};
std::size_t nextTurn = 0;

void BM_Reply(benchmark::State& state, const Subject& subject) {
    while (state.KeepRunning()) {
        const ReplyRule& turn = turns[nextTurn++ % turns.size()];
        const QString prompt = ToQString(turn.prompt);
        if (!Bench::RunUntilRepaintedOnScreen(*subject.input,
                                              [&] { subject.input->setText(prompt); }))
            return Fail(state, "the text box was not repainted after its text was set");

        QWidget& shown = subject.reply != nullptr ? static_cast<QWidget&>(*subject.reply)
                                                  : static_cast<QWidget&>(*subject.enter);
        const auto start = Clock::now();
        const bool repainted = Bench::RunUntilRepainted(shown, [&] { Click(*subject.enter); });
        const auto painted = Clock::now();
        Bench::WaitForServer();
        state.SetIterationTime(Seconds(Clock::now() - start));
        // The part spent in this process, up to the frame sent to the X server.
        state.counters["painted_us"] = Seconds(painted - start) * 1e6;

        if (!repainted)
            return Fail(state,
                        "nothing was repainted after the click on " + subject.enter->objectName());
        if (subject.reply != nullptr && subject.reply->text() != ToQString(turn.reply))
            return Fail(state, "after \"" + prompt + "\" the label shows \"" +
                                   subject.reply->text() + "\" instead of the reply");
    }
}

QString LargePaste() {
    const QString phrase = QStringLiteral("where do you live? how are you? ");
    return phrase.repeated(1'000'000 / phrase.size() + 1).left(1'000'000);
}

void BM_PasteAndEnter(benchmark::State& state, const Subject& subject) {
    static const QString pasted = LargePaste();
    while (state.KeepRunning()) {
        subject.input->clear();
        subject.input->setFocus();
        QGuiApplication::clipboard()->setText(pasted);
        Bench::WaitForServer();

        const auto start = Clock::now();
        const bool pastedShown = Bench::RunUntilRepaintedOnScreen(*subject.input, [&] {
            QTest::keyClick(subject.window->windowHandle(), Qt::Key_V, Qt::ControlModifier);
        });
        const auto pastedAt = Clock::now();
        const bool entered = pastedShown && Bench::RunUntilRepaintedOnScreen(
                                                *subject.enter, [&] { Click(*subject.enter); });
        const auto enteredAt = Clock::now();
        state.SetIterationTime(Seconds(enteredAt - start));
        state.counters["paste_ms"] = Seconds(pastedAt - start) * 1e3;
        state.counters["enter_ms"] = Seconds(enteredAt - pastedAt) * 1e3;

        if (!entered)
            return Fail(state, pastedShown ? "nothing was repainted after the click on Enter"
                                           : "the text box was not repainted after the paste");
        if (subject.input->text().size() != pasted.size())
            return Fail(state,
                        "the text box holds " + QString::number(subject.input->text().size()) +
                            " characters after the paste, not " + QString::number(pasted.size()));
    }
}

// Resident memory of this process, from the kernel's page count.
double ResidentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1024;
}

// How many clicks the long conversation makes: a million unless QUIBLY_BENCH_LONG_CLICKS says.
long LongConversationClicks() {
    bool ok = false;
    const long clicks = qEnvironmentVariable("QUIBLY_BENCH_LONG_CLICKS").toLong(&ok);
    return ok ? clicks : 1'000'000;
}

// Enter clicked over and over, alternating a text Quibly knows and one it does not, each click
// through the window system's mouse path and painted as a user would see it. Memory is read once
// the first 10,000 clicks are done, when every cache has filled, and again at the end: a long
// conversation must not make it grow.
void BM_LongConversation(benchmark::State& state, const Subject& subject) {
    constexpr long warmUp = 10'000;
    const long clicks = std::max(LongConversationClicks(), warmUp);
    const ReplyRule& known = turns.front();
    const std::array texts{ToQString(known.prompt), QStringLiteral("no phrase Quibly knows")};
    double afterWarmUp = 0;
    while (state.KeepRunning()) {
        for (long i = 0; i < clicks; ++i) {
            subject.input->setText(texts[static_cast<std::size_t>(i % 2)]);
            Click(*subject.enter);
            QCoreApplication::processEvents();
            if (i + 1 == warmUp) {
                Bench::WaitForServer();
                afterWarmUp = ResidentKiB();
            }
        }
        Bench::WaitForServer();
    }
    const double atEnd = ResidentKiB();
    state.counters["clicks"] = double(clicks);
    state.counters["rss_warm_kib"] = afterWarmUp;
    state.counters["rss_end_kib"] = atEnd;
    state.counters["growth_pct"] = afterWarmUp > 0 ? (atEnd - afterWarmUp) / afterWarmUp * 100 : 0;
    if (subject.reply->text() != ToQString(known.reply))
        Fail(state, "after the long conversation the label shows \"" + subject.reply->text() +
                        "\" instead of the last reply");
}

// Nearest rank: the smallest value that at least this fraction of the values do not exceed.
double Percentile(const std::vector<double>& values, double fraction) {
    if (values.empty())
        return 0;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

benchmark::internal::Benchmark* WithDistribution(benchmark::internal::Benchmark* benchmark) {
    return benchmark->Iterations(1)
        ->UseManualTime()
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return Percentile(v, 0); })
        ->ComputeStatistics("p25", [](const std::vector<double>& v) { return Percentile(v, .25); })
        ->ComputeStatistics("p75", [](const std::vector<double>& v) { return Percentile(v, .75); })
        ->ComputeStatistics("p99", [](const std::vector<double>& v) { return Percentile(v, .99); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) { return Percentile(v, 1); });
}

void RunBenchmarks(const Subject& subject) {
    if (!QTest::qWaitForWindowExposed(subject.window)) {
        std::fputs("quibly_bench_interaction: the window never came on the screen\n", stderr);
        failed = true;
        return;
    }
    // One untimed turn with each prompt first: showing a reply for the first time rasterises its
    // glyphs, which no later turn has to do.
    for (const ReplyRule& turn : turns) {
        subject.input->setText(ToQString(turn.prompt));
        Click(*subject.enter);
        Bench::WaitForServer();
    }
    WithDistribution(benchmark::RegisterBenchmark("reply", BM_Reply, subject))
        ->Unit(benchmark::kMicrosecond);
    WithDistribution(benchmark::RegisterBenchmark("paste_1M_and_enter", BM_PasteAndEnter, subject))
        ->Unit(benchmark::kMillisecond);
    // The bare form's button shows no reply: a long conversation is Quibly's alone.
    if (subject.reply != nullptr)
        benchmark::RegisterBenchmark("long_conversation", BM_LongConversation, subject)
            ->Iterations(1)
            ->Repetitions(1)
            ->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
}

QWidget& TopLevel(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name)
            return *window;
    qFatal("quibly_bench_interaction: no top-level window %s", qPrintable(name));
}

template <class Widget> Widget* Child(QWidget& window, const QString& name) {
    auto* child = window.findChild<Widget*>(name);
    if (child == nullptr)
        qFatal("quibly_bench_interaction: %s has no control %s", qPrintable(window.objectName()),
               qPrintable(name));
    return child;
}

// Quibly's real Main, then the benchmarks on the window it showed; closing that window ends the
// program.
void QuiblyMainThenBenchmarks() {
    QuiblyProgram.main();
    QMetaObject::invokeMethod(
        qApp,
        [] {
            QWidget& window = TopLevel(QStringLiteral("frmMain"));
            RunBenchmarks({&window, Child<QLineEdit>(window, QStringLiteral("Text1")),
                           Child<QPushButton>(window, QStringLiteral("Command1")),
                           Child<QLabel>(window, QStringLiteral("Label1"))});
            window.close();
        },
        Qt::QueuedConnection);
}

int BenchmarkQuibly(int argc, char** argv) {
    FormsRuntime::Program program = QuiblyProgram;
    program.main = &QuiblyMainThenBenchmarks;
    const int status = FormsRuntime::Start(argc, argv, program);
    return status != 0 ? status : failed ? 1 : 0;
}

int BenchmarkBaseline(char** argv) {
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    Bench::BaselineForm form;
    form.show();
    QMetaObject::invokeMethod(
        &application,
        [&form] {
            RunBenchmarks({&form, &form.Input(), &form.Button(), nullptr});
            form.close();
        },
        Qt::QueuedConnection);
    const int status = QApplication::exec();
    return status != 0 ? status : failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::string_view which = argc == 2 ? argv[1] : "";
    if (which == "quibly")
        return BenchmarkQuibly(argc, argv);
    if (which == "baseline")
        return BenchmarkBaseline(argv);
    std::fputs("usage: quibly_bench_interaction quibly|baseline [Google Benchmark flags]\n",
               stderr);
    return 2;
}
