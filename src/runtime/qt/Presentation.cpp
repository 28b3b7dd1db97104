#include "runtime/qt/Presentation.h"

#include "presentation-time-client-protocol.h"

#include <QGuiApplication>
#include <QWindow>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <qpa/qplatformnativeinterface.h>
#include <qpa/qplatformwindow.h>
#include <thread>
#include <wayland-client.h>

namespace FormsRuntime {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds presentationDeadline{1000};

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

    // Asks for reports on the surface's next commit, commits, and waits for the first: the
    // presentation report where the compositor has that protocol, and always the frame callback,
    // which some compositors answer for a window they have just mapped while its presentation
    // report never comes.
    void AwaitNextFrame(Clock::time_point deadline) {
        Pending pending;
        if (presentation_ != nullptr) {
            pending.feedback = wp_presentation_feedback(presentation_, surfaceProxy_);
            wp_presentation_feedback_add_listener(pending.feedback, &feedbackListener, &pending);
        }
        pending.frame = wl_surface_frame(surfaceProxy_);
        wl_callback_add_listener(pending.frame, &frameListener, &pending);
        // A commit that changes nothing need not be shown, and some compositors hold its report
        // back until the next real frame: one pixel of damage makes it a frame of its own.
        wl_surface_damage(surfaceProxy_, 0, 0, 1, 1);
        wl_surface_commit(surfaceProxy_);
        // A frame the compositor replaced before showing it is discarded; the callback still
        // comes with the frame that replaced it.
        while (!pending.shown && DispatchUntil(deadline)) {
        }
        // Whatever is still awaited is let go, so that no late report lands in this frame.
        if (pending.feedback != nullptr)
            wp_presentation_feedback_destroy(pending.feedback);
        if (pending.frame != nullptr)
            wl_callback_destroy(pending.frame);
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

    // The reports awaited for one commit; each listener lets go of its own object.
    struct Pending {
        bool shown = false;
        struct wp_presentation_feedback* feedback = nullptr;
        wl_callback* frame = nullptr;
    };

    static void Presented(void* data, struct wp_presentation_feedback* feedback, uint32_t, uint32_t,
                          uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {
        auto* pending = static_cast<Pending*>(data);
        pending->shown = true;
        pending->feedback = nullptr;
        wp_presentation_feedback_destroy(feedback);
    }
    static void Discarded(void* data, struct wp_presentation_feedback* feedback) {
        static_cast<Pending*>(data)->feedback = nullptr;
        wp_presentation_feedback_destroy(feedback);
    }
    static void SyncOutput(void*, struct wp_presentation_feedback*, wl_output*) {}
    static constexpr wp_presentation_feedback_listener feedbackListener{SyncOutput, Presented,
                                                                        Discarded};

    static void FrameDone(void* data, wl_callback* callback, uint32_t) {
        auto* pending = static_cast<Pending*>(data);
        pending->shown = true;
        pending->frame = nullptr;
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

// Qt 6.4's Wayland platform takes a window's frame callbacks on a thread of its own, and both
// that thread and the window's hiding let go of the callback without holding each other off:
// when the two meet, the callback is let go twice and the process aborts. The frame the wait
// above saw shown is the one that answers the toolkit's own callback, and a window is commonly
// hidden next (the splash, a box), so the wait ends only once the toolkit has taken that answer.
// The platform window hands on an update request only while no frame callback is outstanding;
// the first may have been on its way already, the second is asked for after it. Only the
// platform window's own queued calls run meanwhile, not the window system's events, which
// could draw the window anew behind the wait's back.
class UpdateWatcher final : public QObject {
public:
    bool Seen() const { return seen_; }
    void Forget() { seen_ = false; }

    // The request is the wait's own and goes no further: a widget window would repaint all of
    // itself for it, a frame nobody waited for. The widgets ask for their paints another way.
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::UpdateRequest)
            return false;
        seen_ = true;
        return true;
    }

private:
    bool seen_ = false;
};

void AwaitToolkitFrameCallback(QWindow& window, Clock::time_point deadline) {
    auto* platformWindow = dynamic_cast<QObject*>(window.handle());
    if (platformWindow == nullptr)
        return;
    UpdateWatcher watcher;
    window.installEventFilter(&watcher);
    for (int request = 0; request < 2; ++request) {
        watcher.Forget();
        window.requestUpdate();
        while (!watcher.Seen() && Clock::now() < deadline) {
            QCoreApplication::sendPostedEvents(platformWindow, QEvent::MetaCall);
            if (!watcher.Seen())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    window.removeEventFilter(&watcher);
}

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
    const Clock::time_point deadline = Clock::now() + presentationDeadline;
    OwnQueue(display, surface).AwaitNextFrame(deadline);
    AwaitToolkitFrameCallback(window, deadline);
}

} // namespace FormsRuntime
