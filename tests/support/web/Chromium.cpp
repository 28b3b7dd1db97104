#include "Chromium.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace TestDriver::web {
namespace {

constexpr std::chrono::seconds replyWait{30}; // a browser that says nothing for this long hangs

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("Chromium: " + what + ": " + std::strerror(errno));
}

} // namespace

Chromium::Chromium(const std::filesystem::path& session) {
    // In the order the browser opens them, each open waiting for the other end.
    commands_ = open((session / "commands").c_str(), O_WRONLY | O_CLOEXEC);
    replies_ = open((session / "replies").c_str(), O_RDONLY | O_CLOEXEC);
    if (commands_ < 0 || replies_ < 0)
        Fail("open the pipes in " + session.string());
    // A page of its own for the tests to drive.
    const Json page = Send("Target.createTarget", {{"url", "about:blank"}}, false);
    session_ = Send("Target.attachToTarget", {{"targetId", page["targetId"]}, {"flatten", true}},
                    false)["sessionId"];
}

// Closing its pipe ends the browser; browser-session kills what is left of it.
Chromium::~Chromium() {
    close(commands_);
    close(replies_);
}

Json Chromium::Call(std::string_view method, Json params) {
    return Send(method, std::move(params), true);
}

void Chromium::AwaitEvent(std::chrono::milliseconds wait) {
    if (events_.empty())
        if (auto message = Receive(wait))
            events_.push_back(std::move(*message));
}

std::optional<Json> Chromium::NextEvent() {
    AwaitEvent(std::chrono::milliseconds(0));
    if (events_.empty())
        return std::nullopt;
    Json event = std::move(events_.front());
    events_.pop_front();
    return event;
}

Json Chromium::Send(std::string_view method, Json params, bool toPage) {
    Json command{{"id", ++lastId_}, {"method", method}, {"params", std::move(params)}};
    if (toPage)
        command["sessionId"] = session_;
    const std::string text = command.dump() + '\0';
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t n = write(commands_, text.data() + written, text.size() - written);
        if (n < 0 && errno != EINTR)
            Fail(std::string(method));
        written += n > 0 ? std::size_t(n) : 0;
    }
    while (true) {
        std::optional<Json> message = Receive(replyWait);
        if (!message)
            throw std::runtime_error("Chromium: no answer to " + std::string(method));
        if (!message->contains("id")) {
            events_.push_back(std::move(*message));
            continue;
        }
        if ((*message)["id"] != lastId_)
            continue; // the answer to a command given up on
        if (message->contains("error"))
            throw std::runtime_error("Chromium: " + std::string(method) + " failed: " +
                                     (*message)["error"].value("message", std::string()));
        return std::move((*message)["result"]);
    }
}

std::optional<Json> Chromium::Receive(std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    std::size_t end;
    while ((end = pending_.find('\0')) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd ready{replies_, POLLIN, 0};
        const int polled = poll(&ready, 1, int(std::max<long>(0, left.count())));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled < 0)
            Fail("poll");
        if (polled == 0)
            return std::nullopt;
        char chunk[65536];
        const ssize_t n = read(replies_, chunk, sizeof chunk);
        if (n == 0)
            throw std::runtime_error("Chromium: the browser has gone (see its log)");
        if (n < 0 && errno != EINTR)
            Fail("read");
        pending_.append(chunk, std::size_t(std::max<ssize_t>(n, 0)));
    }
    Json message = Json::parse(pending_.substr(0, end));
    pending_.erase(0, end + 1);
    return message;
}

} // namespace TestDriver::web
