#pragma once

// A browser's driver on this machine: HTTP requests (classic WebDriver) and a WebSocket of text
// messages (WebDriver BiDi), through Qt's network modules. Each call runs Qt's event loop until
// its answer has come, so the driver reads as one conversation, step by step.

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QWebSocket;

namespace TestDriver::web {

struct HttpAnswer {
    int status = 0;
    std::string body;
};

// One request with a JSON body (none where `body` is empty) to an address such as
// "http://127.0.0.1:4444/session".
HttpAnswer HttpRequest(const std::string& address, std::string_view method, std::string_view body);

class WebSocket {
public:
    // Connected to an address such as "ws://127.0.0.1:9222/session".
    explicit WebSocket(const std::string& address);
    ~WebSocket();
    WebSocket(const WebSocket&) = delete;
    WebSocket& operator=(const WebSocket&) = delete;

    void Send(std::string_view text);
    // The next whole text message, or nothing if none came within `wait`.
    std::optional<std::string> Receive(std::chrono::milliseconds wait);

private:
    std::unique_ptr<QWebSocket> socket_;
    std::deque<std::string> received_; // oldest first
    bool closed_ = false;
};

} // namespace TestDriver::web
