#include "runtime/qt/Presentation.h"

#include "presentation-time-client-protocol.h"

#include <QGuiApplication>
#include <QWindow>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

namespace FormsRuntime {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds presentationDeadline{1000};

enum class Report : std::uint8_t { Awaited, Presented, Discarded };

// The compositor's objects this wait binds, on an event queue of its own so that the toolkit's
// events are neither dispatched nor held up meanwhile.
class OwnQueue {
public:
    OwnQueue(wl_display* display, wl_surface* surface)
        : display_(display), queue_(wl_display_create_queue(display)),
          displayProxy_(static_cast<wl_display*>(wl_proxy_create_wrapper(display))),
          surfaceProxy_(static_cast<wl_surface*>(wl_proxy_create_wrapper(surface))) {
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(displayProxy_), queue_);
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(surfaceProxy_), queue_);
        registry_ = wl_display_get_registry(displayProxy_);
        wl_registry_add_listener(registry_, &registryListener, this);
        wl_display_roundtrip_queue(display_, queue_);
    }
    ~OwnQueue() {
        if (presentation_ != nullptr)
            wp_presentation_destroy(presentation_);
        wl_registry_destroy(registry_);
        wl_proxy_wrapper_destroy(surfaceProxy_);
        wl_proxy_wrapper_destroy(displayProxy_);
        wl_event_queue_destroy(queue_);
    }
    OwnQueue(const OwnQueue&) = delete;
    OwnQueue& operator=(const OwnQueue&) = delete;

    // Asks for a report on the surface's next commit, commits, and waits for the report.
    Report AwaitNextFrame(Clock::time_point deadline) {
        Report report = Report::Awaited;
        struct wp_presentation_feedback* feedback = nullptr;
        wl_callback* frame = nullptr;
        if (presentation_ != nullptr) {
            feedback = wp_presentation_feedback(presentation_, surfaceProxy_);
            wp_presentation_feedback_add_listener(feedback, &feedbackListener, &report);
        } else {
            frame = wl_surface_frame(surfaceProxy_);
            wl_callback_add_listener(frame, &frameListener, &report);
        }
        wl_surface_commit(surfaceProxy_);
        while (report == Report::Awaited && DispatchUntil(deadline)) {
        }
        if (feedback != nullptr && report == Report::Awaited)
            wp_presentation_feedback_destroy(feedback);
        if (frame != nullptr && report == Report::Awaited)
            wl_callback_destroy(frame);
        return report;
    }

private:
    // Reads and dispatches this queue's events, as another thread may be reading the toolkit's;
    // false once the deadline has passed.
    bool DispatchUntil(Clock::time_point deadline) {
        while (wl_display_prepare_read_queue(display_, queue_) != 0)
            wl_display_dispatch_queue_pending(display_, queue_);
        wl_display_flush(display_);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable{wl_display_get_fd(display_), POLLIN, 0};
        if (left.count() > 0 && poll(&readable, 1, int(left.count())) > 0)
            wl_display_read_events(display_);
        else
            wl_display_cancel_read(display_);
        wl_display_dispatch_queue_pending(display_, queue_);
        return Clock::now() < deadline;
    }

    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t) {
        if (std::strcmp(interface, wp_presentation_interface.name) == 0)
            static_cast<OwnQueue*>(data)->presentation_ = static_cast<wp_presentation*>(
                wl_registry_bind(registry, name, &wp_presentation_interface, 1));
    }
    static void GlobalRemoved(void*, wl_registry*, uint32_t) {}
    static constexpr wl_registry_listener registryListener{Global, GlobalRemoved};

    static void Presented(void* data, struct wp_presentation_feedback* feedback, uint32_t, uint32_t,
                          uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {
        *static_cast<Report*>(data) = Report::Presented;
        wp_presentation_feedback_destroy(feedback);
    }
    static void Discarded(void* data, struct wp_presentation_feedback* feedback) {
        *static_cast<Report*>(data) = Report::Discarded;
        wp_presentation_feedback_destroy(feedback);
    }
    static void SyncOutput(void*, struct wp_presentation_feedback*, wl_output*) {}
    static constexpr wp_presentation_feedback_listener feedbackListener{SyncOutput, Presented,
                                                                        Discarded};

    static void FrameDone(void* data, wl_callback* callback, uint32_t) {
        *static_cast<Report*>(data) = Report::Presented;
        wl_callback_destroy(callback);
    }
    static constexpr wl_callback_listener frameListener{FrameDone};

    wl_display* display_;
    wl_event_queue* queue_;
    wl_display* displayProxy_;
    wl_surface* surfaceProxy_;
    wl_registry* registry_ = nullptr;
    wp_presentation* presentation_ = nullptr;
};

} // namespace

void WaitUntilOnScreen(QWindow& window) {
    QGuiApplication::sync();
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", &window));
    if (display == nullptr || surface == nullptr)
        return;
    OwnQueue queue(display, surface);
    // A frame the compositor replaced before showing it is discarded: ask again for the next.
    const Clock::time_point deadline = Clock::now() + presentationDeadline;
    while (queue.AwaitNextFrame(deadline) == Report::Discarded && Clock::now() < deadline) {
    }
}

} // namespace FormsRuntime
