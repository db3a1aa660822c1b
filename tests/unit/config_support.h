// SPDX-License-Identifier: MIT
// tests/unit/config_support.h: a private HOME / XDG_CONFIG_HOME / TMPDIR and
// working directory per test, configuration file builders, and a small HTTP
// server on 127.0.0.1 for the update tests.
#pragma once

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

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "config/registry.h"
#include "config/zone_table.h"
#include "test_support.h"

namespace nessel::test {

// Every test gets its own store, temporary directory and working directory;
// the in-memory zone table is dropped afterwards.
class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
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
    void TearDown() override {
        release_zone_table();
        std::error_code ec;
        std::filesystem::current_path(old_cwd_, ec);
        // The next test's temporary directory is made where the old variables say.
        env_.restore();
#ifdef _WIN32
        clear_client_keys();
#endif
    }

    std::string home() const { return dir_.path() + "/home"; }
    std::string tmp() const { return dir_.path() + "/tmp"; }
    std::string work() const { return dir_.path() + "/work"; }
    // Where an online update keeps its copy of the downloaded file.
    std::string download_copy() const {
#ifdef _WIN32
        return tmp() + "\\pellow.ini";
#else
        return tmp() + "/nessel-" + std::to_string(geteuid()) + "/pellow.ini";
#endif
    }

    // All DNSF value names in enumeration order.
    std::vector<std::string> zone_names() {
        using namespace platform;
        std::vector<std::string> names;
        RegKey* key = nullptr;
        if (reg_create_key(RegRoot::CurrentUser, kDnsfKey, kKeyRead, &key) != 0) return names;
        std::string name;
        for (uint32_t i = 0; reg_enum_value(key, i, &name, nullptr, nullptr) == 0; ++i) names.push_back(name);
        reg_close_key(key);
        return names;
    }
    ScopedEnvironment env_;  // variables set until the test ends

private:
#ifdef _WIN32
    // The tests share the user's registry: every test starts without the
    // library's keys and leaves none behind.
    static void clear_client_keys() {
        for (const char* key : {"SOFTWARE\\Talvex international inc.", "Software\\Other"})
            RegDeleteTreeA(HKEY_CURRENT_USER, key);
    }
#endif
    TempDir dir_;
    std::string old_cwd_;
};

// Value names created in this order, as the store enumerates them.
inline std::vector<std::string> in_enumeration_order(std::vector<std::string> created) {
    if (values_enumerate_in_creation_order()) return created;
    auto folded = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::stable_sort(created.begin(), created.end(),
                     [&](const std::string& a, const std::string& b) { return folded(a) < folded(b); });
    return created;
}

// One configuration file entry.
struct Entry {
    std::string root = "HKEY_CURRENT_USER";
    std::string subkey = std::string(kDnsfKey);
    std::string name;
    std::string type = "STRING";
    std::string value;
};

// "VERSION=<version>" (omitted when version_line is empty), [Pellow],
// NumKey and the numbered entries.
inline std::string make_ini(const std::string& version_line, const std::vector<Entry>& entries) {
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

// n zone entries ".z1" .. ".zn" with punycode records.
inline std::vector<Entry> zone_entries(int n, const std::string& tag = "") {
    std::vector<Entry> v;
    for (int i = 1; i <= n; ++i) v.push_back({.name = ".z" + std::to_string(i), .value = ";;;;" + tag + ";0;xn--;punycode;"});
    return v;
}

// A socket of the system's own kind: a descriptor or a SOCKET.
using Socket = decltype(socket(0, 0, 0));
inline constexpr Socket kNoSocket = static_cast<Socket>(-1);
#ifdef _WIN32
using socklen_t = int;
inline constexpr int kNoSignal = 0;
inline void close_socket(Socket s) { closesocket(s); }
#else
inline constexpr int kNoSignal = MSG_NOSIGNAL;
inline void close_socket(Socket s) { close(s); }
#endif

// A loopback socket bound to a port of its own; its port in *port.
inline Socket bound_socket(int* port) {
#ifdef _WIN32
    // Winsock is started once for the test program and left running.
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
#endif
    Socket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
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

// Waits up to ms milliseconds for s to become readable.
inline bool readable(Socket s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{0, ms * 1000};
    return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &tv) > 0;
}

inline bool send_all(Socket s, const std::string& data) {
    std::size_t off = 0;
    while (off < data.size()) {
        auto n = send(s, data.data() + off, static_cast<int>(data.size() - off), kNoSignal);
        if (n <= 0) return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}

// A 127.0.0.1 port on which nothing listens.
inline int closed_port() {
    int port = 0;
    Socket s = bound_socket(&port);
    if (s != kNoSocket) close_socket(s);
    return port;
}

// An HTTP/1.0 server on 127.0.0.1 with a port of its own, answering each
// request with the next of its replies in turn (404 for paths other than
// `only`, when given), on one thread, until destroyed.
struct HttpReply {
    int status = 200;
    std::string body;
    bool content_length = true;
    int stall_after_ms = 0;  // after sending the body, keep the connection open this long
};
class HttpServer {
public:
    explicit HttpServer(std::vector<HttpReply> replies, std::string only = {})
        : replies_(std::move(replies)), only_(std::move(only)), listen_fd_(bound_socket(&port_)) {
        if (listen_fd_ == kNoSocket || listen(listen_fd_, 16) != 0)
            throw std::runtime_error("test server: bind/listen failed");
        thread_ = std::thread([this] { serve(); });
    }
    ~HttpServer() {
        stop_ = true;
        thread_.join();
        close_socket(listen_fd_);
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // Each request as "PATH USER-AGENT".
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(mu_);
        return requests_;
    }

private:
    void serve() {
        while (!stop_) {
            if (!readable(listen_fd_, 50)) continue;
            Socket fd = accept(listen_fd_, nullptr, nullptr);
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
            std::string path, agent;
            std::size_t sp1 = req.find(' '), sp2 = req.find(' ', sp1 + 1);
            if (sp1 != std::string::npos && sp2 != std::string::npos) path = req.substr(sp1 + 1, sp2 - sp1 - 1);
            std::size_t ua = req.find("\r\nUser-Agent: ");
            if (ua != std::string::npos) agent = req.substr(ua + 14, req.find("\r\n", ua + 14) - ua - 14);
            std::size_t count;
            {
                std::lock_guard<std::mutex> lock(mu_);
                requests_.push_back(path + " " + agent);
                count = requests_.size();
            }
            const HttpReply reply = only_.empty() || path == only_ ? replies_[(count - 1) % replies_.size()]
                                                                   : HttpReply{404, "<html>no</html>"};
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
    std::vector<HttpReply> replies_;
    std::string only_;
    int port_ = 0;
    Socket listen_fd_;
    std::atomic<bool> stop_{false};
    std::mutex mu_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace nessel::test
