#pragma once

// Headless Chromium, spoken to over the DevTools protocol on the pair of pipes that
// tests/web/browser-session started it with (messages separated by NUL bytes). Commands go to
// one page the test opens; what the page reports on its own (console messages, load events)
// waits in a queue until it is asked for.

#include <chrono>
#include <deque>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace TestDriver::web {

using Json = nlohmann::json;

class Chromium {
public:
    // The browser whose pipes are in `session`, the folder browser-session made.
    explicit Chromium(const std::filesystem::path& session);
    ~Chromium();
    Chromium(const Chromium&) = delete;
    Chromium& operator=(const Chromium&) = delete;

    // A command to the page; its result, or an exception naming the command and the reason.
    Json Call(std::string_view method, Json params = Json::object());
    // The next event the page sent, if there is one.
    std::optional<Json> NextEvent();
    // Waits at most `wait` for an event to come, leaving it for NextEvent.
    void AwaitEvent(std::chrono::milliseconds wait);

private:
    Json Send(std::string_view method, Json params, bool toPage);
    std::optional<Json> Receive(std::chrono::milliseconds wait);

    int commands_ = -1; // written by the test, read by the browser
    int replies_ = -1;  // written by the browser, read by the test
    std::string pending_;
    std::deque<Json> events_;
    int lastId_ = 0;
    std::string session_;
};

} // namespace TestDriver::web
