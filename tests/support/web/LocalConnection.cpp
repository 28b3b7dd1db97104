#include "LocalConnection.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <array>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <random>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace TestDriver::web {
namespace {

constexpr std::chrono::seconds answerWait{60}; // a driver this long silent hangs

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("connection to the browser's driver: " + what);
}

int Connect(const LocalAddress& server) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int error = getaddrinfo(server.host.c_str(), server.port.c_str(), &hints, &found))
        Fail("cannot find " + server.host + ": " + gai_strerror(error));
    int connected = -1;
    for (const addrinfo* at = found; at != nullptr && connected < 0; at = at->ai_next) {
        connected = socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC, at->ai_protocol);
        if (connected >= 0 && connect(connected, at->ai_addr, at->ai_addrlen) != 0) {
            close(connected);
            connected = -1;
        }
    }
    freeaddrinfo(found);
    if (connected < 0)
        Fail("cannot connect to " + server.host + ":" + server.port + ": " + std::strerror(errno));
    return connected;
}

void SendAll(int socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0)
            Fail(std::string("sending: ") + std::strerror(errno));
        bytes.remove_prefix(std::size_t(sent));
    }
}

// Some bytes more, or none at the end of the stream; false if `until` came first.
bool ReadSome(int socket, std::string& into, std::chrono::steady_clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    pollfd ready{socket, POLLIN, 0};
    const int polled = poll(&ready, 1, int(std::max<long>(0, left.count())));
    if (polled == 0)
        return false;
    std::array<char, 65536> chunk{};
    const ssize_t n = polled < 0 ? -1 : read(socket, chunk.data(), chunk.size());
    if (n < 0 && errno != EINTR)
        Fail(std::string("reading: ") + std::strerror(errno));
    into.append(chunk.data(), std::size_t(std::max<ssize_t>(n, 0)));
    return n != 0;
}

// The status of an HTTP answer's head, and the value of one of its fields ("" if absent).
int StatusOf(std::string_view head) {
    const std::size_t space = head.find(' ');
    return space == std::string_view::npos ? 0 : std::atoi(head.data() + space + 1);
}
std::string FieldOf(std::string_view head, std::string_view name) {
    std::string lower(head);
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t at = lower.find("\r\n" + std::string(name) + ":");
    if (at == std::string::npos)
        return {};
    const std::size_t from = head.find_first_not_of(' ', at + name.size() + 3);
    return std::string(head.substr(from, head.find("\r\n", from) - from));
}

// A body sent in chunks, joined.
std::string Unchunked(std::string_view body) {
    std::string joined;
    while (true) {
        const std::size_t line = body.find("\r\n");
        const std::size_t size = std::stoul(std::string(body.substr(0, line)), nullptr, 16);
        if (size == 0 || line == std::string_view::npos)
            return joined;
        joined.append(body.substr(line + 2, size));
        body.remove_prefix(line + 2 + size + 2);
    }
}

} // namespace

LocalAddress LocalAddress::Of(std::string_view address) {
    const std::size_t scheme = address.find("://");
    if (scheme == std::string_view::npos)
        Fail("not an address: " + std::string(address));
    address.remove_prefix(scheme + 3);
    const std::size_t slash = std::min(address.find('/'), address.size());
    const std::string_view authority = address.substr(0, slash);
    const std::size_t colon = authority.rfind(':');
    if (colon == std::string_view::npos)
        Fail("no port in " + std::string(address));
    const std::string_view path = address.substr(slash);
    return {std::string(authority.substr(0, colon)), std::string(authority.substr(colon + 1)),
            path.empty() ? "/" : std::string(path)};
}

HttpAnswer HttpRequest(const LocalAddress& server, std::string_view method, std::string_view path,
                       std::string_view body) {
    const int socket = Connect(server);
    std::string answer;
    try {
        SendAll(socket, std::string(method) + " " + std::string(path) + " HTTP/1.1\r\nHost: " +
                            server.host + ":" + server.port +
                            "\r\nConnection: close\r\nContent-Type: application/json\r\n"
                            "Content-Length: " +
                            std::to_string(body.size()) + "\r\n\r\n" + std::string(body));
        const auto until = std::chrono::steady_clock::now() + answerWait;
        while (ReadSome(socket, answer, until)) {
        }
        if (std::chrono::steady_clock::now() > until)
            Fail("no answer to " + std::string(method) + " " + std::string(path));
    } catch (...) {
        close(socket);
        throw;
    }
    close(socket);
    const std::size_t end = answer.find("\r\n\r\n");
    if (end == std::string::npos)
        Fail("an answer without a head to " + std::string(method) + " " + std::string(path));
    const std::string_view head = std::string_view(answer).substr(0, end);
    std::string content = answer.substr(end + 4);
    if (FieldOf(head, "transfer-encoding") == "chunked")
        content = Unchunked(content);
    return {StatusOf(head), std::move(content)};
}

WebSocket::WebSocket(const LocalAddress& server) : socket_(Connect(server)) {
    std::random_device random;
    QByteArray nonce(16, '\0');
    for (char& byte : nonce)
        byte = char(random());
    const QByteArray key = nonce.toBase64();
    try {
        SendAll(socket_, "GET " + server.path + " HTTP/1.1\r\nHost: " + server.host + ":" +
                             server.port +
                             "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                             "Sec-WebSocket-Key: " +
                             key.toStdString() + "\r\nSec-WebSocket-Version: 13\r\n\r\n");
        const auto until = std::chrono::steady_clock::now() + answerWait;
        std::size_t end;
        while ((end = pending_.find("\r\n\r\n")) == std::string::npos)
            if (!ReadSome(socket_, pending_, until))
                Fail("no answer to the WebSocket upgrade at " + server.path);
        const std::string head = pending_.substr(0, end);
        pending_.erase(0, end + 4);
        const QByteArray accept =
            QCryptographicHash::hash(key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11",
                                     QCryptographicHash::Sha1)
                .toBase64();
        if (StatusOf(head) != 101 || FieldOf(head, "sec-websocket-accept") != accept.toStdString())
            Fail("the WebSocket upgrade at " + server.path + " was refused: " + head);
    } catch (...) {
        close(socket_);
        throw;
    }
}

WebSocket::~WebSocket() { close(socket_); }

void WebSocket::Send(std::string_view text) { SendFrame(1, text); }

// A client masks every frame it sends.
void WebSocket::SendFrame(int opcode, std::string_view payload) {
    std::string frame(1, char(0x80 | opcode));
    const std::size_t size = payload.size();
    if (size < 126) {
        frame += char(0x80 | size);
    } else if (size < 65536) {
        frame += char(0x80 | 126);
        for (int shift : {8, 0})
            frame += char(size >> shift);
    } else {
        frame += char(0x80 | 127);
        for (int shift = 56; shift >= 0; shift -= 8)
            frame += char(size >> shift);
    }
    static std::mt19937 random{std::random_device{}()};
    const std::array<char, 4> mask{char(random()), char(random()), char(random()), char(random())};
    frame.append(mask.data(), mask.size());
    for (std::size_t i = 0; i < size; ++i)
        frame += char(payload[i] ^ mask[i % 4]);
    SendAll(socket_, frame);
}

bool WebSocket::Fill(std::size_t size, std::chrono::steady_clock::time_point until) {
    while (pending_.size() < size)
        if (!ReadSome(socket_, pending_, until)) {
            if (std::chrono::steady_clock::now() < until)
                Fail("the browser closed its WebSocket (see its log)");
            return false;
        }
    return true;
}

std::optional<std::string> WebSocket::Receive(std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    while (true) {
        // Once a frame has begun, the rest of it is waited for as long as an answer.
        if (!Fill(2, until))
            return std::nullopt;
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(pending_[at]); };
        const auto frameUntil = std::chrono::steady_clock::now() + answerWait;
        std::size_t size = byte(1) & 0x7f, headSize = 2;
        const int extended = size == 126 ? 2 : size == 127 ? 8 : 0;
        if (!Fill(headSize + extended, frameUntil))
            Fail("a frame cut short");
        if (extended > 0)
            size = 0;
        for (int i = 0; i < extended; ++i)
            size = size << 8 | byte(headSize++);
        const bool masked = (byte(1) & 0x80) != 0;
        const std::size_t maskAt = headSize;
        headSize += masked ? 4 : 0;
        if (!Fill(headSize + size, frameUntil))
            Fail("a frame cut short");
        std::string payload = pending_.substr(headSize, size);
        if (masked)
            for (std::size_t i = 0; i < size; ++i)
                payload[i] = char(payload[i] ^ pending_[maskAt + i % 4]);
        const bool final = (byte(0) & 0x80) != 0;
        const int opcode = byte(0) & 0x0f;
        pending_.erase(0, headSize + size);
        if (opcode == 8)
            Fail("the browser closed its WebSocket (see its log)");
        if (opcode == 9)
            SendFrame(10, payload); // a ping is answered with a pong
        if (opcode != 0 && opcode != 1)
            continue;
        message_ += payload;
        if (final)
            return std::exchange(message_, {});
    }
}

} // namespace TestDriver::web
