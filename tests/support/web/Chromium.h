#pragma once

// Headless Chromium, spoken to over the DevTools protocol on the pair of named pipes that
// tests/web/browser-session started it with (messages separated by NUL bytes). Commands go to
// one page the test opens; what the page reports on its own (console messages, load events)
// waits in a queue until it is asked for.

#include "Browser.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>

namespace TestDriver::web {

class Chromium {
public:
    // The browser whose pipes are in `session`, opened in the order the browser opens them,
    // each open waiting for the other end.
    explicit Chromium(const std::filesystem::path& session)
        : commands_(session / "commands", std::ios::binary),
          replies_(open((session / "replies").c_str(), O_RDONLY | O_CLOEXEC)) {
        if (!commands_ || replies_ < 0)
            throw std::runtime_error("Chromium: cannot open the pipes in " + session.string());
        // A page of its own for the tests to drive.
        const Json page = Call("Target.createTarget", {{"url", "about:blank"}});
        session_ = Call("Target.attachToTarget",
                        {{"targetId", page["targetId"]}, {"flatten", true}})["sessionId"];
    }
    // Closing its pipes ends the browser; browser-session kills what is left of it.
    ~Chromium() { close(replies_); }
    Chromium(const Chromium&) = delete;
    Chromium& operator=(const Chromium&) = delete;

    // The next event the page sent, if there is one.
    std::optional<Json> NextEvent() {
        if (events_.empty())
            return Receive(std::chrono::milliseconds(0));
        auto event = std::make_optional(std::move(events_.front()));
        events_.pop_front();
        return event;
    }

    // A command to the page, once it is open; its result, or an exception naming the command
    // and the reason.
    Json Call(std::string_view method, Json params = Json::object()) {
        Json command{{"id", ++lastId_}, {"method", method}, {"params", std::move(params)}};
        if (!session_.empty())
            command["sessionId"] = session_;
        if (!(commands_ << command.dump() << '\0' << std::flush))
            throw std::runtime_error("Chromium: cannot send " + std::string(method));
        while (true) {
            std::optional<Json> message = Receive(replyWait);
            if (!message)
                throw std::runtime_error("Chromium: no answer to " + std::string(method));
            if (!message->contains("id"))
                events_.push_back(std::move(*message));
            else if ((*message)["id"] != lastId_)
                continue; // the answer to a command given up on
            else if (message->contains("error"))
                throw std::runtime_error("Chromium: " + std::string(method) + " failed: " +
                                         (*message)["error"].value("message", std::string()));
            else
                return std::move((*message)["result"]);
        }
    }

private:
    static constexpr std::chrono::seconds replyWait{30}; // a browser this long silent hangs

    std::optional<Json> Receive(std::chrono::milliseconds wait) {
        const auto until = std::chrono::steady_clock::now() + wait;
        std::size_t end;
        while ((end = pending_.find('\0')) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd ready{replies_, POLLIN, 0};
            const int polled = poll(&ready, 1, int(std::max<long>(0, left.count())));
            if (polled == 0)
                return std::nullopt;
            char chunk[65536];
            const ssize_t n = polled < 0 ? -1 : read(replies_, chunk, sizeof chunk);
            if (n == 0)
                throw std::runtime_error("Chromium: the browser has gone (see its log)");
            if (n < 0 && errno != EINTR)
                throw std::runtime_error(std::string("Chromium: reading: ") + std::strerror(errno));
            pending_.append(chunk, std::size_t(std::max<ssize_t>(n, 0)));
        }
        auto message = std::make_optional(Json::parse(pending_.substr(0, end)));
        pending_.erase(0, end + 1);
        return message;
    }

    std::ofstream commands_; // read by the browser
    int replies_ = -1;       // written by the browser
    std::string pending_;
    std::deque<Json> events_;
    int lastId_ = 0;
    std::string session_;
};

} // namespace TestDriver::web
