#include "OnScreen.h"

#include "runtime/qt/Presentation.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace Bench {
namespace {

const auto programStart = std::chrono::steady_clock::now();

struct Phase {
    const char* name;
    double milliseconds;
};
std::vector<Phase> phases;

void WritePhases(const char* program) {
    const QByteArray path = qgetenv("QUIBLY_BENCH_PHASES");
    if (path.isEmpty())
        return;
    FILE* file = std::fopen(path.constData(), "a");
    if (file == nullptr)
        return;
    for (const Phase& phase : phases)
        std::fprintf(file, "%s %s %.3f\n", program, phase.name, phase.milliseconds);
    std::fclose(file);
}

// Watches every object's events, because the window's native handle does not exist yet when the
// watch starts: it is made when the window is shown.
class FirstExposeWatch final : public QObject {
public:
    FirstExposeWatch(QWidget& window, std::function<void()> then)
        : QObject(qApp), window_(&window), then_(std::move(then)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Expose || window_ == nullptr ||
            watched != window_->windowHandle() || !window_->windowHandle()->isExposed())
            return false;
        qApp->removeEventFilter(this);
        // Qt paints and flushes the exposed window while it handles this event: finish after it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (window_ != nullptr)
                    WaitUntilOnScreen(*window_);
                then_();
                deleteLater();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    QPointer<QWidget> window_;
    std::function<void()> then_;
};

class PaintCount final : public QObject {
public:
    explicit PaintCount(QWidget& widget) : widget_(widget) { widget_.installEventFilter(this); }
    ~PaintCount() override { widget_.removeEventFilter(this); }
    PaintCount(const PaintCount&) = delete;
    PaintCount& operator=(const PaintCount&) = delete;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }

    int paints = 0;

private:
    QWidget& widget_;
};

} // namespace

void MarkPhase(const char* phase) {
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - programStart;
    phases.push_back({phase, elapsed.count()});
}

void ExitOnceFirstFrameOnScreen(QWidget& window, const char* program) {
    qApp->installEventFilter(new FirstExposeWatch(window, [program] {
        MarkPhase("first-frame");
        WritePhases(program);
        std::_Exit(EXIT_SUCCESS);
    }));
    QTimer::singleShot(std::chrono::seconds(10), qApp, [program] {
        std::fprintf(stderr, "%s: the window was not on the screen within 10 s\n", program);
        std::_Exit(EXIT_FAILURE);
    });
}

bool RunUntilRepainted(QWidget& widget, const std::function<void()>& action,
                       std::chrono::milliseconds limit) {
    PaintCount count(widget);
    const QDeadlineTimer deadline(limit);
    action();
    // Widgets paint and flush together while the window handles its update request, so the
    // widget's paint means the whole frame has gone to the server.
    while (count.paints == 0) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

void WaitForServer() {
    // Processes pending events, makes the round trip, then processes again.
    QGuiApplication::sync();
}

void WaitUntilOnScreen(QWidget& window) {
    FormsRuntime::WaitUntilOnScreen(*window.windowHandle());
}

bool RunUntilRepaintedOnScreen(QWidget& widget, const std::function<void()>& action) {
    if (!RunUntilRepainted(widget, action))
        return false;
    WaitForServer();
    return true;
}

} // namespace Bench
