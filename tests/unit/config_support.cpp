// SPDX-License-Identifier: MIT
// tests/unit/config_support.cpp
#include "config_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/registry.h"
#include "config/zone_table.h"

namespace nessel::test {

void ConfigTest::SetUp() {
    for (const auto& d : {home(), tmp(), work()}) std::filesystem::create_directories(d);
    setenv("HOME", home().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    setenv("TMPDIR", tmp().c_str(), 1);
    // Only loopback traffic, never through a proxy.
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    char buf[4096];
    old_cwd_ = getcwd(buf, sizeof buf) ? buf : "/";
    ASSERT_EQ(chdir(work().c_str()), 0);
}

void ConfigTest::TearDown() {
    release_zone_table();
    zone_count = 0;
    (void)!chdir(old_cwd_.c_str());
}

void ConfigTest::set_zones(const std::vector<std::pair<std::string, std::string>>& zones) {
    for (const auto& [name, value] : zones) ASSERT_EQ(reg_write_text(kDnsfKey, name, value), 0) << name;
}

std::vector<std::string> ConfigTest::zone_names() {
    using namespace platform;
    std::vector<std::string> names;
    RegKey* key = nullptr;
    if (reg_create_key(RegRoot::CurrentUser, kDnsfKey, kKeyRead, &key) != 0) return names;
    std::string name;
    for (uint32_t i = 0; reg_enum_value(key, i, &name, nullptr, nullptr) == 0; ++i) names.push_back(name);
    reg_close_key(key);
    return names;
}

uint32_t ConfigTest::client_dword(const char* name, uint32_t absent) {
    uint32_t v = 0;
    return reg_read_dword(kTalvexClientKey, name, v) == 0 ? v : absent;
}

std::string ConfigTest::client_text(const char* name, const std::string& absent) {
    std::string v;
    return reg_read_text(kTalvexClientKey, name, v) == 0 ? v : absent;
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string make_ini(const std::string& version_line, const std::vector<Entry>& entries) {
    std::string s;
    if (!version_line.empty()) s += version_line + "\r\n";
    s += "[Pellow]\r\nNumKey=" + std::to_string(entries.size()) + "\r\n";
    char n[24];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::snprintf(n, sizeof n, "%05zu", i + 1);
        const Entry& e = entries[i];
        s += std::string("Key") + n + "=" + e.root + "\r\n";
        s += std::string("SubKey") + n + "=" + e.subkey + "\r\n";
        s += std::string("ValueName") + n + "=" + e.name + "\r\n";
        s += std::string("ValueType") + n + "=" + e.type + "\r\n";
        s += std::string("Value") + n + "=" + e.value + "\r\n";
    }
    return s;
}

std::vector<Entry> zone_entries(int n, const std::string& tag) {
    std::vector<Entry> v;
    for (int i = 1; i <= n; ++i) {
        Entry e;
        e.name = ".z" + std::to_string(i);
        e.value = ";;;;" + tag + ";0;xn--;punycode;";
        v.push_back(e);
    }
    return v;
}

HttpServer::HttpServer(std::function<HttpReply(const HttpRequest&)> handler) : handler_(std::move(handler)) {
    listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listen_fd_, 16) != 0)
        throw std::runtime_error("test server: bind/listen failed");
    socklen_t len = sizeof addr;
    getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { serve(); });
}

HttpServer::~HttpServer() {
    stop_ = true;
    thread_.join();
    close(listen_fd_);
}

std::vector<HttpRequest> HttpServer::requests() {
    std::lock_guard<std::mutex> lock(mu_);
    return requests_;
}

namespace {
bool send_all(int fd, const std::string& data) {
    std::size_t off = 0;
    while (off < data.size()) {
        ssize_t n = send(fd, data.data() + off, data.size() - off, MSG_NOSIGNAL);
        if (n <= 0) return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}
}  // namespace

void HttpServer::serve() {
    while (!stop_) {
        pollfd p{listen_fd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        int fd = accept(listen_fd_, nullptr, nullptr);
        if (fd < 0) continue;
        std::string req;
        char buf[4096];
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (req.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd q{fd, POLLIN, 0};
            if (poll(&q, 1, 50) <= 0) continue;
            ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            req.append(buf, static_cast<std::size_t>(n));
        }
        HttpRequest r;
        std::size_t sp1 = req.find(' '), sp2 = req.find(' ', sp1 + 1);
        if (sp1 != std::string::npos && sp2 != std::string::npos) r.path = req.substr(sp1 + 1, sp2 - sp1 - 1);
        std::size_t ua = req.find("\r\nUser-Agent: ");
        if (ua != std::string::npos) r.user_agent = req.substr(ua + 14, req.find("\r\n", ua + 14) - ua - 14);
        {
            std::lock_guard<std::mutex> lock(mu_);
            requests_.push_back(r);
        }
        HttpReply reply = handler_(r);
        std::string head = "HTTP/1.0 " + std::to_string(reply.status) + " X\r\nContent-Type: text/plain\r\n";
        if (reply.content_length) head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        if (send_all(fd, head) && send_all(fd, reply.body)) {
            auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(reply.stall_after_ms);
            while (!stop_ && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        close(fd);
    }
}

int closed_port() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

}  // namespace nessel::test
