// SPDX-License-Identifier: MIT
// tests/unit/config_support.cpp
#include "config_support.h"

#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "config/registry.h"
#include "config/zone_table.h"

namespace nessel::test {

namespace {
#ifdef _WIN32
// The tests share the user's registry: every test starts without the
// library's keys and leaves none behind.
void clear_client_keys() {
    for (const char* key : {"SOFTWARE\\Talvex international inc.", "Software\\Other"})
        RegDeleteTreeA(HKEY_CURRENT_USER, key);
}
#endif
}  // namespace

void ConfigTest::SetUp() {
    for (const auto& d : {home(), tmp(), work()}) std::filesystem::create_directories(d);
#ifdef _WIN32
    clear_client_keys();
    // GetTempPathA reads TMP first, then TEMP.
    env_.set("TMP", tmp().c_str());
    env_.set("TEMP", tmp().c_str());
#else
    env_.set("HOME", home().c_str());
    env_.set("XDG_CONFIG_HOME", nullptr);
    env_.set("TMPDIR", tmp().c_str());
#endif
    // Only loopback traffic, never through a proxy.
    env_.set("no_proxy", "127.0.0.1,localhost");
    env_.set("NO_PROXY", "127.0.0.1,localhost");
    old_cwd_ = std::filesystem::current_path().string();
    std::filesystem::current_path(work());
}

void ConfigTest::TearDown() {
    release_zone_table();
    std::error_code ec;
    std::filesystem::current_path(old_cwd_, ec);
    // The next test's temporary directory is made where the old variables say.
    env_.restore();
#ifdef _WIN32
    clear_client_keys();
#endif
}

std::string ConfigTest::download_copy() const {
#ifdef _WIN32
    return tmp() + "\\pellow.ini";
#else
    return tmp() + "/nessel-" + std::to_string(geteuid()) + "/pellow.ini";
#endif
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

std::vector<std::string> in_enumeration_order(std::vector<std::string> created) {
    if (values_enumerate_in_creation_order()) return created;
    auto folded = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::stable_sort(created.begin(), created.end(),
                     [&](const std::string& a, const std::string& b) { return folded(a) < folded(b); });
    return created;
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

namespace {
// The system's own socket type: a descriptor or a SOCKET.
using Native = decltype(socket(0, 0, 0));
#ifdef _WIN32
using socklen_t = int;
constexpr int kNoSignal = 0;
void close_socket(SocketHandle s) { closesocket(static_cast<SOCKET>(s)); }
#else
constexpr int kNoSignal = MSG_NOSIGNAL;
void close_socket(SocketHandle s) { close(static_cast<int>(s)); }
#endif
SocketHandle handle(Native s) { return s == static_cast<Native>(-1) ? kNoSocket : static_cast<SocketHandle>(s); }
SocketHandle open_socket() {
#ifdef _WIN32
    // Winsock is started once for the test program and left running.
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
#endif
    return handle(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
}
SocketHandle accept_socket(SocketHandle s) { return handle(accept(static_cast<Native>(s), nullptr, nullptr)); }

// Waits up to ms milliseconds for s to become readable.
bool readable(SocketHandle s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(static_cast<Native>(s), &set);
    timeval tv{0, ms * 1000};
    return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &tv) > 0;
}

bool send_all(SocketHandle s, const std::string& data) {
    std::size_t off = 0;
    while (off < data.size()) {
        auto n = send(s, data.data() + off, static_cast<int>(data.size() - off), kNoSignal);
        if (n <= 0) return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}

// A loopback socket bound to a port of its own; its port in *port.
SocketHandle bound_socket(int* port) {
    SocketHandle s = open_socket();
    if (s == kNoSocket) return s;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close_socket(s);
        return kNoSocket;
    }
    *port = ntohs(addr.sin_port);
    return s;
}
}  // namespace

HttpServer::HttpServer(std::function<HttpReply(const HttpRequest&)> handler) : handler_(std::move(handler)) {
    listen_fd_ = bound_socket(&port_);
    if (listen_fd_ == kNoSocket || listen(listen_fd_, 16) != 0)
        throw std::runtime_error("test server: bind/listen failed");
    thread_ = std::thread([this] { serve(); });
}

HttpServer::~HttpServer() {
    stop_ = true;
    thread_.join();
    close_socket(listen_fd_);
}

std::vector<HttpRequest> HttpServer::requests() {
    std::lock_guard<std::mutex> lock(mu_);
    return requests_;
}

void HttpServer::serve() {
    while (!stop_) {
        if (!readable(listen_fd_, 50)) continue;
        SocketHandle fd = accept_socket(listen_fd_);
        if (fd == kNoSocket) continue;
        std::string req;
        char buf[4096];
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (req.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            if (!readable(fd, 50)) continue;
            auto n = recv(fd, buf, sizeof buf, 0);
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
        close_socket(fd);
    }
}

int closed_port() {
    int port = 0;
    SocketHandle s = bound_socket(&port);
    if (s != kNoSocket) close_socket(s);
    return port;
}

}  // namespace nessel::test
