#include "SiteServer.h"

#include <arpa/inet.h>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace TestDriver::web {
namespace {

const std::map<std::string, std::string> mediaTypes{{".html", "text/html; charset=utf-8"},
                                                    {".js", "text/javascript"},
                                                    {".wasm", "application/wasm"},
                                                    {".woff2", "font/woff2"},
                                                    {".bmp", "image/bmp"},
                                                    {".gif", "image/gif"},
                                                    {".ico", "image/x-icon"},
                                                    {".png", "image/png"},
                                                    {".css", "text/css"},
                                                    {".json", "application/json"}};

void SendAll(int client, const std::string& data) {
    for (std::size_t sent = 0; sent < data.size();) {
        const ssize_t n = send(client, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += std::size_t(n);
    }
}

} // namespace

SiteServer::SiteServer(std::filesystem::path folder) : folder_(std::move(folder)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("SiteServer: cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    thread_ = std::jthread([this] {
        for (int client; (client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            Serve(client);
            close(client);
        }
    });
}

SiteServer::~SiteServer() {
    shutdown(listener_, SHUT_RDWR); // ends the accept loop
    thread_.join();
    close(listener_);
}

std::string SiteServer::Address() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

// One request per connection: GET of a file in the folder, by its path without the query.
void SiteServer::Serve(int client) const {
    std::string request;
    char chunk[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = recv(client, chunk, sizeof chunk, 0);
        if (n <= 0)
            return;
        request.append(chunk, std::size_t(n));
    }
    std::istringstream line(request.substr(0, request.find("\r\n")));
    std::string method, target;
    line >> method >> target;
    std::string path = target.substr(0, target.find_first_of("?#"));
    if (path.ends_with('/'))
        path += "index.html";
    const std::filesystem::path file = folder_ / std::filesystem::path(path).relative_path();
    std::ifstream in(file, std::ios::binary);
    if (method != "GET" || path.find("..") != std::string::npos || !in ||
        !std::filesystem::is_regular_file(file)) {
        SendAll(client, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return;
    }
    const std::string body{std::istreambuf_iterator<char>(in), {}};
    const auto type = mediaTypes.find(file.extension().string());
    SendAll(client, "HTTP/1.1 200 OK\r\nContent-Type: " +
                        (type != mediaTypes.end() ? type->second : "application/octet-stream") +
                        "\r\nContent-Length: " + std::to_string(body.size()) +
                        "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body);
}

} // namespace TestDriver::web
