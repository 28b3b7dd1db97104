#pragma once

// A static web server on the loopback interface for the site the tests load, as any server
// would send it: files of one folder by path, with their media types; nothing else.

#include <filesystem>
#include <string>
#include <thread>

namespace TestDriver::web {

class SiteServer {
public:
    explicit SiteServer(std::filesystem::path folder);
    ~SiteServer();
    SiteServer(const SiteServer&) = delete;
    SiteServer& operator=(const SiteServer&) = delete;

    // "http://127.0.0.1:<port>/"
    std::string Address() const;

private:
    void Serve(int client) const;

    std::filesystem::path folder_;
    int listener_ = -1;
    int port_ = 0;
    std::jthread thread_;
};

} // namespace TestDriver::web
