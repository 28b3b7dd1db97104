#pragma once

// A browser's driver on this machine, spoken to over TCP: HTTP/1.1 requests (classic
// WebDriver) and a WebSocket of text messages (WebDriver BiDi). Only what these local peers
// need: no TLS, no proxy, no extension, no compression.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace TestDriver::web {

// An address such as "http://127.0.0.1:4444" or "ws://127.0.0.1:9222/session", split.
struct LocalAddress {
    std::string host;
    std::string port;
    std::string path; // "/" where it names none

    static LocalAddress Of(std::string_view address);
};

struct HttpAnswer {
    int status = 0;
    std::string body;
};

// One request on a connection of its own, which the server closes after its answer.
HttpAnswer HttpRequest(const LocalAddress& server, std::string_view method, std::string_view path,
                       std::string_view body);

class WebSocket {
public:
    // Connected and upgraded at the address's path.
    explicit WebSocket(const LocalAddress& server);
    ~WebSocket();
    WebSocket(const WebSocket&) = delete;
    WebSocket& operator=(const WebSocket&) = delete;

    void Send(std::string_view text);
    // The next whole text message, or nothing if none came within `wait`.
    std::optional<std::string> Receive(std::chrono::milliseconds wait);

private:
    void SendFrame(int opcode, std::string_view payload);
    // Reads until `pending_` holds `size` bytes; false if `until` came first.
    bool Fill(std::size_t size, std::chrono::steady_clock::time_point until);

    int socket_ = -1;
    std::string pending_;
    std::string message_; // the fragments of a message not yet whole
};

} // namespace TestDriver::web
