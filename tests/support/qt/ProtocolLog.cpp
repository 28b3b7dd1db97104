#include "ProtocolLog.h"

#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace TestDriver::ProtocolLog {
namespace {

// "[1234.567]  -> wl_surface@7.commit()" for a request, "[1234.567] wl_callback@9.done(1)" for
// an event.
bool IsProtocolLine(const std::string& line) {
    return line.starts_with('[') && line.find("] ") != std::string::npos &&
           line.find('@') != std::string::npos && line.ends_with(')');
}

struct Log {
    std::mutex mutex;
    std::condition_variable marked;
    std::vector<std::string> lines;
    unsigned marksSeen = 0;
    unsigned marksWritten = 0;
    bool started = false;
};
Log log;
constexpr const char* mark = "-- protocol log mark --";
int unread = -1;
int originalStderr = -1;

// A run that aborts (an uncaught exception, a sanitizer's report) ends before the reader has
// passed its last words on: they are passed on here first, protocol lines and all.
void PassOnAndAbort(int) {
    char buffer[4096];
    fcntl(unread, F_SETFL, O_NONBLOCK);
    for (ssize_t n; (n = read(unread, buffer, sizeof buffer)) > 0;)
        [[maybe_unused]] const auto written = write(originalStderr, buffer, std::size_t(n));
    signal(SIGABRT, SIG_DFL);
    raise(SIGABRT);
}

void Read(int from, int to) {
    std::string line;
    char c;
    while (read(from, &c, 1) == 1) {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line == mark) {
            std::lock_guard lock(log.mutex);
            ++log.marksSeen;
            log.marked.notify_all();
        } else if (IsProtocolLine(line)) {
            std::lock_guard lock(log.mutex);
            log.lines.push_back(line);
        } else {
            line += '\n';
            [[maybe_unused]] const auto written = write(to, line.data(), line.size());
        }
        line.clear();
    }
}

} // namespace

void Start() {
    int pipeEnds[2];
    const int original = dup(STDERR_FILENO);
    if (pipe(pipeEnds) != 0 || original < 0 || dup2(pipeEnds[1], STDERR_FILENO) < 0)
        throw std::runtime_error("the protocol log could not take over standard error");
    close(pipeEnds[1]);
    unread = pipeEnds[0];
    originalStderr = original;
    signal(SIGABRT, PassOnAndAbort);
    setenv("WAYLAND_DEBUG", "client", 1);
    std::thread(Read, pipeEnds[0], original).detach();
    log.started = true;
}

std::vector<std::string> Lines() {
    if (!log.started)
        return {};
    // Everything written before the mark has been read once the mark has.
    unsigned waitFor = 0;
    {
        std::lock_guard lock(log.mutex);
        waitFor = ++log.marksWritten;
    }
    std::fprintf(stderr, "%s\n", mark);
    std::fflush(stderr);
    std::unique_lock lock(log.mutex);
    log.marked.wait(lock, [&] { return log.marksSeen >= waitFor; });
    return log.lines;
}

} // namespace TestDriver::ProtocolLog
