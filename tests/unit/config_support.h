// SPDX-License-Identifier: MIT
// tests/unit/config_support.h: a private HOME / XDG_CONFIG_HOME / TMPDIR and
// working directory per test, configuration file builders, and a small HTTP
// server on 127.0.0.1 for the update tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
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
    void SetUp() override;
    void TearDown() override;

    std::string home() const { return dir_.path() + "/home"; }
    std::string tmp() const { return dir_.path() + "/tmp"; }
    std::string work() const { return dir_.path() + "/work"; }
    std::string store() const { return home() + "/.config/nessel/registry.db"; }
    // Where an online update keeps its copy of the downloaded file.
    std::string download_copy() const;

    // All DNSF value names in enumeration order.
    std::vector<std::string> zone_names();
    // Sets an environment variable until the test ends.
    void scoped_env(const char* name, const char* value) { env_.set(name, value); }

private:
    TempDir dir_;
    std::string old_cwd_;
    ScopedEnvironment env_;
};

// Value names created in this order, as the store enumerates them.
std::vector<std::string> in_enumeration_order(std::vector<std::string> created);

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
std::string make_ini(const std::string& version_line, const std::vector<Entry>& entries);
// n zone entries ".z1" .. ".zn" with punycode records.
std::vector<Entry> zone_entries(int n, const std::string& tag = "");

// A socket of the system's own kind (a descriptor or a SOCKET).
using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kNoSocket = ~SocketHandle{0};

// An HTTP/1.0 server on 127.0.0.1 with a port of its own, answering each
// request with what the handler returns, on one thread, until destroyed.
struct HttpReply {
    int status = 200;
    std::string body;
    bool content_length = true;
    int stall_after_ms = 0;  // after sending the body, keep the connection open this long
};
struct HttpRequest {
    std::string path;
    std::string user_agent;
};
class HttpServer {
public:
    explicit HttpServer(std::function<HttpReply(const HttpRequest&)> handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<HttpRequest> requests();

private:
    void serve();
    std::function<HttpReply(const HttpRequest&)> handler_;
    SocketHandle listen_fd_ = kNoSocket;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mu_;
    std::vector<HttpRequest> requests_;
    std::thread thread_;
};

// A 127.0.0.1 port on which nothing listens.
int closed_port();

}  // namespace nessel::test
