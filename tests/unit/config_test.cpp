// SPDX-License-Identifier: MIT
// The configuration store, the profile reader, the import of configuration
// files, the search for them, the zone table load, online updates from a
// small HTTP server on 127.0.0.1, the shipped configuration and the nessel
// program as a subprocess: the cases of tests/vectors/config/store.tsv and
// tests/vectors/program/runs.tsv, each on a private HOME / XDG_CONFIG_HOME /
// TMPDIR, store and working directory; processes importing, updating and
// loading on one store at once; and threads converting while reloads and
// shutdown run.
#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "api/lifecycle.h"
#include "base/result_codes.h"
#include "codecs/codecs.h"
#include "config/import.h"
#include "config/platform.h"
#include "config/registry.h"
#include "config/update.h"
#include "config/zone_table.h"
#include "nameprep/testing.h"
#include "nessel.h"
#include "test_support.h"
#include "zone_fixture.h"

namespace nessel::test {
namespace {

// Value names created in this order, as the store enumerates them.
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

// A socket of the system's own kind: a descriptor or a SOCKET.
using Socket = decltype(socket(0, 0, 0));
constexpr Socket kNoSocket = static_cast<Socket>(-1);
#ifdef _WIN32
using socklen_t = int;
constexpr int kNoSignal = 0;
void close_socket(Socket s) { closesocket(s); }
#else
constexpr int kNoSignal = MSG_NOSIGNAL;
void close_socket(Socket s) { close(s); }
#endif

// A loopback socket bound to a port of its own; its port in *port.
Socket bound_socket(int* port) {
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
bool readable(Socket s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{0, ms * 1000};
    return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &tv) > 0;
}

bool send_all(Socket s, const std::string& data) {
    std::size_t off = 0;
    while (off < data.size()) {
        auto n = send(s, data.data() + off, static_cast<int>(data.size() - off), kNoSignal);
        if (n <= 0) return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}

// A 127.0.0.1 port on which nothing listens.
int closed_port() {
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

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

#ifdef _WIN32
// One argument quoted so that the C runtime's command-line parser gives it
// back unchanged: backslashes are literal except before a quote.
std::wstring quote_argument(const std::wstring& arg) {
    std::wstring q = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        q.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        q.push_back(c);
    }
    q.append(2 * backslashes, L'\\');
    return q + L"\"";
}

std::wstring wide(const std::string& utf8_text) {
    const std::u16string units = utf16(utf8_text);
    return std::wstring(units.begin(), units.end());
}
#endif

// Runs NESSEL_PROGRAM with args.  env entries "NAME=VALUE" are set on top of
// the inherited environment; stdin_text is the whole standard input.
RunResult run_program(const std::vector<std::string>& args,
                             const std::string& stdin_text = {},
                             const std::vector<std::string>& env = {}) {
    TempDir io;
    const std::string in = io.path() + "/in", out = io.path() + "/out", err = io.path() + "/err";
    write_file(in, stdin_text);
    RunResult r;
#ifdef _WIN32
    // The standard handles are made inheritable only for the child they are
    // meant for: opening them and starting the child happen under one lock,
    // so a child started by another thread meanwhile inherits none of them.
    static std::mutex start_lock;
    std::unique_lock<std::mutex> starting(start_lock);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE fi = CreateFileA(in.c_str(), GENERIC_READ, share, &inherit, OPEN_EXISTING, 0, nullptr);
    HANDLE fo = CreateFileA(out.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE fe = CreateFileA(err.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
    PROCESS_INFORMATION pi{};
    bool started = false;
    std::string failure;
    if (fi != INVALID_HANDLE_VALUE && fo != INVALID_HANDLE_VALUE && fe != INVALID_HANDLE_VALUE) {
        std::wstring cmd = quote_argument(wide(NESSEL_PROGRAM));
        for (const auto& a : args) cmd += L" " + quote_argument(wide(a));
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = fi;
        si.hStdOutput = fo;
        si.hStdError = fe;
        // The child inherits this process's environment (an empty value removes a variable).
        ScopedEnvironment child_env;
        for (const auto& e : env) {
            const std::string value = e.substr(e.find('=') + 1);
            child_env.set(e.substr(0, e.find('=')).c_str(), value.empty() ? nullptr : value.c_str());
        }
        // The emulator under load now and then fails a process start with an
        // internal error; a start is tried a few times before it counts.
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            if (attempt > 0) Sleep(100);
            started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) != 0;
            if (!started) failure = "CreateProcess failed: " + std::to_string(GetLastError());
        }
    } else {
        failure = "cannot open the standard files: " + std::to_string(GetLastError());
    }
    for (HANDLE h : {fi, fo, fe})
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    starting.unlock();
    if (!started) {
        r.err = failure;
        return r;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(pi.hProcess, &code)) r.status = static_cast<int>(code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
#else
    const pid_t pid = fork();
    if (pid == 0) {
        const int fi = open(in.c_str(), O_RDONLY);
        const int fo = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int fe = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fi < 0 || fo < 0 || fe < 0) _exit(126);
        dup2(fi, 0);
        dup2(fo, 1);
        dup2(fe, 2);
        for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(NESSEL_PROGRAM));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(NESSEL_PROGRAM, argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        r.status = WEXITSTATUS(status);
#endif
    r.out = read_file(out);
    r.err = read_file(err);
    return r;
}

constexpr bool kWindows = std::filesystem::path::preferred_separator == '\\';
const std::string kListSep = kWindows ? ";" : ":";  // of PATH

// Every "~"-separated text of the pattern appears in the text.
void expect_contains(const std::string& text, const std::string& pattern) {
    for (size_t pos = 0; pos <= pattern.size();) {
        const size_t end = std::min(pattern.find('~', pos), pattern.size());
        const std::string part = pattern.substr(pos, end - pos);
        EXPECT_NE(text.find(part), std::string::npos) << "missing '" << part << "' in:\n" << text;
        pos = end + 1;
    }
}

// A listing ("name\ttype\tdata" lines, written in creation order) in the
// order the store enumerates the values.  Ordering whole lines orders them
// by name: the tab after a name sorts before any character of a longer one.
std::string as_enumerated(const std::string& listing) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = listing.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(listing.substr(start, nl + 1 - start));
    std::string out;
    for (const auto& line : in_enumeration_order(lines)) out += line;
    return out + listing.substr(start);
}

#ifndef _WIN32
// 0 when the loaded table is wholly configuration "a" (10 zones) or wholly
// "b" (13 zones), else a code naming what was wrong.
int check_table() {
    if (zone_count() != 10 && zone_count() != 13) return 10;
    const char* tag = zone_count() == 10 ? "a" : "b";
    for (int i = 0; i < zone_count(); ++i) {
        const ZoneRecord r = shared_zone_table()->record(i);
        if (std::strcmp(r.append_tail, tag) != 0) return 11;
        if (std::strcmp(r.zone, (".z" + std::to_string(i + 1)).c_str()) != 0) return 12;
    }
    return 0;
}
#endif

// Every case gets its own store, HOME, temporary and working directory;
// the in-memory zone table is dropped afterwards.
class Store : public ::testing::Test {
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
    // The directory names and, where asked for, the escapes.
    std::string expand(const std::string& raw, bool escapes) const {
        std::string s = escapes ? unescape(raw) : raw, out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] != '$') {
                out.push_back(s[i]);
                continue;
            }
            for (auto [name, dir] : {std::pair{"$WORK", work()}, {"$TMP", tmp()}, {"$HOME", home()},
                                     {"$SERVER", server_ ? server_->url() : ""}, {"$CLOSED", closed_},
                                     {"$;", kListSep}, {"$SOURCE", NESSEL_SOURCE_DIR},
                                     {"$COPYDIR", std::filesystem::path(download_copy()).parent_path().string()},
                                     {"$COPY", download_copy()}})
                if (s.compare(i, std::strlen(name), name) == 0) {
                    out += dir;
                    i += std::strlen(name) - 1;
                }
        }
        return out;
    }
    static std::string key(const std::string& k) {
        for (auto [name, full] : {std::pair{"dnsf", kDnsfKey}, {"client", kTalvexClientKey}})
            if (k == name || k.starts_with(std::string(name) + "\\")) return std::string(full) + k.substr(std::strlen(name));
        return k;
    }
    // A text, or a text followed by "@PATH" and then the bytes of that file.
    std::string content(const std::string& raw) const {
        const size_t at = raw.find("@$");
        if (at == std::string::npos) return expand(raw, true);
        return expand(raw.substr(0, at), true) + read_file(expand(raw.substr(at + 1), false));
    }
    static uint32_t number(const std::string& s) { return static_cast<uint32_t>(std::stoull(s, nullptr, 0)); }
    static std::string field(const ZoneRecord& r, const std::string& name) {
        if (name == "flags") return std::to_string(r.prep_flags);
        return name == "zone" ? r.zone : name == "codec" ? r.codec : name == "prefix" ? r.prefix
               : name == "alt_prefix" ? r.alt_prefix : name == "append_tail" ? r.append_tail : r.alt_suffix;
    }
    void step(const std::vector<std::string>& row, std::vector<Entry>& entries);
    void serve(const std::vector<std::string>& f, const std::string& body);
#ifdef _WIN32
    // The tests share the user's registry: every test starts without the
    // library's keys and leaves none behind.
    static void clear_client_keys() {
        for (const char* key : {"SOFTWARE\\Talvex international inc.", "Software\\Other"})
            RegDeleteTreeA(HKEY_CURRENT_USER, key);
    }
#endif
    ScopedEnvironment env_;  // variables set until the case ends
    TempDir dir_;
    std::string old_cwd_;
    std::unique_ptr<HttpServer> server_;
    std::string closed_ = "http://127.0.0.1:" + std::to_string(closed_port());
};

void Store::serve(const std::vector<std::string>& f, const std::string& content) {
    HttpReply reply{std::stoi(f[1]), content};
    std::string only;
    for (size_t i = 3; i < f.size(); ++i) {
        if (f[i] == "nolength") reply.content_length = false;
        if (f[i].starts_with("only=")) only = f[i].substr(5);
        if (f[i].starts_with("pad=")) reply.body.resize(std::stoul(f[i].substr(4)), '\n');
        if (f[i].starts_with("stall=")) reply.stall_after_ms = std::stoi(f[i].substr(6));
    }
    server_.reset();
    server_ = std::make_unique<HttpServer>(std::vector{reply}, only);
}

void Store::step(const std::vector<std::string>& raw, std::vector<Entry>& entries) {
    std::vector<std::string> f;
    // Escapes in file contents, text values and the program's standard files.
    for (const auto& r : raw) {
        const size_t i = f.size();
        f.push_back(expand(r, raw[0] == "file" ? i == 2 : raw[0] == "set" ? i == 3 : raw[0] == "run" && i >= 2 && i <= 4));
    }
    f.resize(std::max<size_t>(f.size(), 8));
    const std::string& kind = f[0];
    const bool wine = running_under_wine();
    if (kind == "file") {
        std::filesystem::create_directories(std::filesystem::path(f[1]).parent_path());
        write_file(f[1], f[2]);
    } else if (kind == "mkdir") {
        std::filesystem::create_directories(f[1]);
    } else if (kind == "remove") {
        std::filesystem::remove_all(f[1]);
    } else if (kind == "entry") {
        entries.push_back({f[1], key(f[2]), f[3], f[4], f[5]});
    } else if (kind == "ini") {
        for (int i = 1; i <= std::stoi(f[3]); ++i)  // zones ".z1" .. ".zN" with punycode records
            entries.push_back({.name = ".z" + std::to_string(i), .value = ";;;;" + f[4] + ";0;xn--;punycode;"});
        std::filesystem::create_directories(std::filesystem::path(f[1]).parent_path());
        write_file(f[1], make_ini(f[2], entries));
        entries.clear();
    } else if (kind == "set") {
        ASSERT_EQ(reg_write_text(key(f[1]), f[2], f[3]), 0);
    } else if (kind == "setdword") {
        ASSERT_EQ(reg_write_dword(key(f[1]), f[2], number(f[3])), 0);
    } else if (kind == "text") {
        std::string v;
        EXPECT_EQ(reg_read_text(key(f[1]), f[2], v) == 0 ? v : "absent", f[3]);
    } else if (kind == "dword") {
        uint32_t v = 0;
        const int rc = reg_read_dword(key(f[1]), f[2], v);
        EXPECT_EQ(rc == 0 ? std::to_string(v) : "absent", f[3] == "absent" ? f[3] : std::to_string(number(f[3])));
    } else if (kind == "names") {
        std::vector<std::string> want;
        for (size_t i = 1; i < raw.size(); ++i) want.push_back(f[i]);
        EXPECT_EQ(zone_names(), in_enumeration_order(want));
    } else if (kind == "import") {
        EXPECT_EQ(import_config_file(f[1]), std::stoi(f[2]));
    } else if (kind == "locate") {
        EXPECT_EQ(locate_config_file(), std::stoi(f[1]));
    } else if (kind == "load" || kind == "release") {
        EXPECT_EQ(kind == "load" ? load_zone_table() : release_zone_table(), std::stoi(f[1]));
        EXPECT_EQ(shared_zone_table() == nullptr, f[2] == "none" || kind == "release");
        if (f[2] != "none") { EXPECT_EQ(zone_count(), f[2] == "max" ? kMaxZoneRecords : std::stoi(f[2])); }
    } else if (kind == "zone") {
        ASSERT_NE(shared_zone_table(), nullptr);
        EXPECT_EQ(field(shared_zone_table()->record(f[1] == "max" ? kMaxZoneRecords - 1 : std::stoi(f[1])), f[2]), f[3]);
    } else if (kind == "profile" || kind == "profile_int") {
        platform::Profile* p = platform::profile_open(f[1]);
        const std::string& want = wine && !f[6].empty() ? f[6] : f[5];
        if (kind == "profile") {
            EXPECT_EQ(platform::profile_get_string(p, f[2], f[3], "DEF", number(f[4])), want);
        } else {
            EXPECT_EQ(platform::profile_get_int(p, f[2], f[3], number(f[4])), number(want));
        }
        platform::profile_close(p);
    } else if (kind == "serve") {
        serve(f, content(raw[2]));
    } else if (kind == "fetch") {
        platform::TransferBounds bounds;
        if (!f[3].empty()) bounds.max_body = number(f[3]);
        if (!f[4].empty()) bounds.transfer_ms = number(f[4]);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(fetch_config_update(std::stoi(f[1]), bounds), std::stoi(f[2]));
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (!f[4].empty()) {  // cut off at the bound, not at the server's end
            EXPECT_GE(ms.count() + 10, bounds.transfer_ms);
            EXPECT_LE(ms.count(), bounds.transfer_ms + 2100);
        }
    } else if (kind == "copy") {
        const bool absent = f[1] == "absent";
        EXPECT_EQ(std::filesystem::exists(download_copy()), !absent);
        if (!absent) { EXPECT_EQ(read_file(download_copy()), content(raw[1]).substr(0, f[2].empty() ? std::string::npos : number(f[2]))); }
    } else if (kind == "requests") {
        const auto requests = server_->requests();
        ASSERT_EQ(requests.size(), number(f[1]));
        if (!f[2].empty()) { EXPECT_EQ(requests[0], f[2] + " " + f[3]); }
    } else if (kind == "private") {
#ifndef _WIN32
        struct stat st {};
        ASSERT_EQ(lstat(std::filesystem::path(download_copy()).parent_path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif
    } else if (kind == "due") {
        EXPECT_EQ(f[2].empty() ? update_due() : update_due_at(static_cast<int32_t>(std::stoll(f[2]))), std::stoi(f[1]));
    } else if (kind == "stamp") {
        stamp_update_time();
    } else if (kind == "sdk") {
        EXPECT_EQ(f[1] == "init" ? init_sdk() : f[1] == "deinit" ? deinit_sdk() : uint32_t(update_registry()), number(f[2]));
    } else if (kind == "count") {
        EXPECT_EQ(zone_count(), std::stoi(f[1]));
    } else if (kind == "symlink") {
        if (std::filesystem::is_directory(f[1])) std::filesystem::create_directory_symlink(f[1], f[2]);
        else std::filesystem::create_symlink(f[1], f[2]);
    } else if (kind == "has") {  // a file's bytes, or "(empty)" for an empty directory
        EXPECT_EQ(std::filesystem::is_directory(f[1]) ? std::filesystem::is_empty(f[1]) ? "(empty)" : "(files)" : read_file(f[1]), f[2]);
    } else if (kind == "chown") {
#ifndef _WIN32
        ASSERT_EQ(chown(f[1].c_str(), number(f[2]), number(f[2])), 0);
#endif
    } else if (kind == "env") {
        env_.set(f[1].c_str(), f[2].c_str());  // until the case ends
    } else if (kind == "search") {  // the system may write the path with its own separators
        std::string found;
        const std::string& want = kWindows && !f[2].empty() ? f[2] : f[1];
        std::error_code ec;
        EXPECT_EQ(platform::search_file("pellow.ini", found), want == "none" ? 0 : 1);
        if (want != "none") { EXPECT_TRUE(std::filesystem::equivalent(found, want, ec)) << found; }
    } else if (kind == "urlpad") {  // RegFileURL making the whole URL N characters long
        ASSERT_EQ(reg_write_text(kTalvexClientKey, "RegFileURL", std::string(number(f[1]) - server_->url().size() - 1, 'a')), 0);
    } else if (kind == "find_last") {
        const size_t at = platform::find_last_nocase(expand(raw[1], true), expand(raw[2], true));
        EXPECT_EQ(at == std::string_view::npos ? "none" : std::to_string(at), f[3]);
    } else if (kind == "run") {
        std::vector<std::string> args(f.begin() + 5, f.begin() + static_cast<std::ptrdiff_t>(raw.size())), env;
        for (; !args.empty() && std::isupper(static_cast<unsigned char>(args[0][0])) && args[0].find('=') != std::string::npos;
             args.erase(args.begin()))
            env.push_back(args[0]);
        const RunResult r = run_program(args, f[2], env);
        EXPECT_EQ(r.status, std::stoi(f[1])) << r.err;
        if (f[3].starts_with("~")) {
            expect_contains(r.out, f[3].substr(1));
        } else if (f[3] != "*") {
            EXPECT_EQ(r.out, args.size() > 1 && args[0] == "reg" && args[1] == "list" ? as_enumerated(f[3]) : f[3]);
        }
        expect_contains(r.err, f[4]);
    } else if (kind == "writers") {  // each thread writes values of its own
        std::vector<std::thread> writers;
        std::vector<std::string> failures(number(f[1]));
        for (size_t p = 0; p < failures.size(); ++p)
            writers.emplace_back([&, p] {
                for (uint32_t i = 0; i < number(f[2]); ++i) {
                    std::string name(1, 'p');  // appended: g++ 12 -O3 warns falsely on "p" + string
                    name.append(std::to_string(p)).append(1, '_').append(std::to_string(i));
                    const RunResult r = run_program({"reg", "set", f[3], name, std::to_string(i), "--dword"});
                    if (r.status != 0) failures[p] += name + ": " + std::to_string(r.status) + " " + r.err + "\n";
                }
            });
        for (auto& w : writers) w.join();
        EXPECT_EQ(failures, std::vector<std::string>(failures.size()));
        const RunResult r = run_program({"reg", "list", f[3]});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(static_cast<uint32_t>(std::count(r.out.begin(), r.out.end(), '\n')), number(f[1]) * number(f[2]));
    } else if (kind == "processes") {  // half force updates, half import and load; InitSDK after each
#ifndef _WIN32
        std::vector<pid_t> children;
        for (uint32_t p = 0; p < number(f[1]); ++p) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                int code = 0;
                for (uint32_t round = 0; round < number(f[2]) && code == 0; ++round) {
                    if (p % 2 == 0) {
                        if (update_registry() != 1) code = 20;
                    } else {
                        (void)import_config_file(f[3]);
                        if (load_zone_table() != 1) code = 21;
                    }
                    if (code == 0) code = check_table();
                    if (code == 0 && init_sdk() != 0) code = 22;
                    if (code == 0) code = check_table();
                }
                _exit(code);
            }
            children.push_back(pid);
        }
        for (pid_t pid : children) {
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0) << "child " << pid;
        }
        ASSERT_EQ(load_zone_table(), 1);
        EXPECT_EQ(check_table(), 0);
        EXPECT_EQ(static_cast<int>(zone_names().size()), zone_count());
        // Every forced update asked the server.
        EXPECT_GE(server_->requests().size(), number(f[1]) / 2 * number(f[2]));
#endif
    } else if (kind == "tlds") {  // the whole file loaded; each TLD's zone is its RACEX form, found by the index
        const auto table = shared_zone_table();
        ASSERT_GT(table->size(), 1000);
        const auto tlds = read_rows("domain/default_tlds.tsv", 2);
        ASSERT_GT(tlds.size(), 100u);
        for (const auto& row : tlds) {
            std::u16string prepared;
            ASSERT_EQ(name_prep(utf16(row[0]), prepared, 0xA5, 8192), 0u) << row[0];
            EXPECT_EQ(racex_zone(prepared), row[1]) << row[0];
            const int32_t at = table->find_suffix_zone(row[1]);
            EXPECT_TRUE(at >= 0 && row[1] == (*table)[at].zone()) << row[1];
        }
    } else if (kind == "idna2003") {  // names convert as Python's "idna" codec has them and decode back
        const auto rows = read_rows("domain/idna2003.tsv", 3);
        ASSERT_GT(rows.size(), 30u);
        for (const auto& row : rows) {
            const std::u16string units = utf16(row[0]);
            const auto* in = reinterpret_cast<const nessel_unit*>(units.c_str());
            std::vector<nessel_unit> out(1024, 0), back(1024, 0);
            char codec[256] = "";
            const uint32_t code = NamePrep_U("UTF-8", in, out.data(), 2048, codec, 256, 0);
            // Nothing to convert in an all-ASCII name: the prepared name is the ACE form already.
            const bool ascii = code == kErrAllAscii;
            ASSERT_EQ(ascii ? talvex_name_prep_u(in, out.data(), 1024, 0xA5) : code, kOk) << row[0];
            EXPECT_EQ(narrow(std::u16string(out.begin(), out.end()).c_str()), row[1]) << row[0];
            if (ascii) continue;
            EXPECT_STREQ(codec, "PUNYCODE") << row[0];
            ASSERT_EQ(AceToUnicode("AMC-Z", row[1].c_str(), back.data(), 0), kOk) << row[1];
            EXPECT_EQ(std::u16string(back.begin(), back.end()).c_str(), utf16(row[2])) << row[1];
        }
    } else if (kind == "legacy") {  // from a legacy encoding to the same ACE form, and back
        for (const auto& row : read_rows("domain/legacy.tsv", 3)) {
            const char *encoding = row[0].c_str(), *ace = row[2].c_str();
            const uint32_t type = str2enctype(encoding);
            if (type == 0) continue;  // not registered in this build
            std::string bytes;
            ASSERT_EQ(unicode_to_encoding(type, utf16(row[1]), bytes), 1) << encoding;
            char out[512], codec[256], native[512];
            ASSERT_EQ(NamePrep(encoding, bytes.c_str(), out, sizeof out, codec, 256, 0), kOk) << encoding;
            EXPECT_STREQ(out, ace) << encoding;
            ASSERT_EQ(AceToNative("amc-z", ace, native, encoding, 0), kOk) << encoding;
            EXPECT_EQ(std::string(native), bytes) << encoding;
        }
    } else {
        ADD_FAILURE() << "unknown step";
    }
}

// The cases of both files run in shards, one test each, so that they can run
// in parallel (every case commits to a store of its own, and commits and
// program runs take their time).
constexpr int kShards = 8;
class StoreCases : public Store, public ::testing::WithParamInterface<int> {};

TEST_P(StoreCases, Shard) {
    std::vector<Entry> entries;
    int cases = 0;
    bool skipping = true;
    auto rows = read_rows("config/store.tsv", 1);
    for (auto& row : read_rows("program/runs.tsv", 1)) rows.push_back(std::move(row));
    for (const auto& row : rows) {
        if (row[0] == "case") {
            skipping = cases++ % kShards != GetParam();
            if (skipping) continue;
            server_.reset();
            TearDown();
            for (const auto& d : {home(), tmp(), work()}) std::filesystem::remove_all(d);
            SetUp();
            entries.clear();
            continue;
        }
#ifdef _WIN32
        skipping = skipping || row[0] == "native";  // the store is the system registry
#endif
        skipping = skipping || (row[0] == "nowine" && running_under_wine());
#ifndef _WIN32
        skipping = skipping || (row[0] == "root" && geteuid() != 0);  // only root can give files away
#endif
        if (skipping || row[0] == "native" || row[0] == "nowine" || row[0] == "root") continue;
        SCOPED_TRACE(row.where);
        step(row.f, entries);
    }
    EXPECT_GT(cases, 40);
}
INSTANTIATE_TEST_SUITE_P(Config, StoreCases, ::testing::Range(0, kShards));

using Units = std::vector<nessel_unit>;

struct Outcome {
    uint32_t code = 0, decode_code = 0;
    Units ace, decoded;
    std::string codec;
    bool operator==(const Outcome&) const = default;
};

Units units(std::u16string_view s) {
    Units u(s.begin(), s.end());
    u.push_back(0);
    return u;
}
Units upto_zero(const nessel_unit* p) { return units(std::u16string(reinterpret_cast<const char16_t*>(p))); }

Outcome convert(const Units& name) {
    Outcome o;
    nessel_unit out[512] = {};
    char codec[256] = {};
    o.code = NamePrep_U("UTF-8", name.data(), out, sizeof out, codec, sizeof codec, 0);
    if (o.code != kOk) return o;
    o.ace = upto_zero(out);
    o.codec = codec;
    std::string ace(o.ace.begin(), o.ace.end() - 1);
    nessel_unit back[512] = {};
    o.decode_code = AceToUnicode(codec, ace.c_str(), back, 0);
    o.decoded = upto_zero(back);
    return o;
}

// Zones of one configuration: six or more, so that no load imports a file.
std::string config(int version, const std::vector<std::pair<std::string, std::string>>& zones) {
    std::vector<Entry> entries;
    for (const auto& [zone, codec] : zones)
        entries.push_back({.name = zone, .value = codec == "racex" ? ";;;;;0;ra--;racex;" : ";;;;;0;xn--;amc-z;"});
    return make_ini("VERSION=" + std::to_string(version), entries);
}

// Eight threads convert and decode names while one thread forces updates
// from a loopback server that serves two zone configurations in turn and
// another calls InitSDK (and, at the end, DeinitSDK).  Every outcome must be
// the one of configuration A or of B as a single thread gets it, or a
// shut-down code once DeinitSDK is running.
TEST_F(Store, ConversionsSeeOneTableWhileReloadsAndShutdownRun) {
    // Configuration A, then B, served in turn.
    HttpServer server({{200, config(1, {{".zz", "amc-z"}, {".yy", "racex"}, {"example.zz", "racex"},
                                              {".f1", "amc-z"}, {".f2", "amc-z"}, {".f3", "amc-z"}})},
                             {200, config(2, {{".zz", "racex"}, {".yy", "amc-z"}, {".f1", "racex"},
                                              {".f2", "racex"}, {".f3", "racex"}, {".f4", "racex"}})}});
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "UpdateServerURL", server.url()), 0);
    const std::vector<Units> names = {units(u"b\u00FCcher.zz"), units(u"\u4E2D\u6587.yy"),
                                      units(u"\u00FC.f1"), units(u"\u00FC@example.zz"),
                                      units(u"\u043C\u043E\u0441\u043A\u0432\u0430.zz.f4")};
    // What one thread gets under each configuration.
    std::vector<Outcome> expected[2];
    for (int c = 0; c < 2; ++c) {
        ASSERT_EQ(UpdateRegistry(), 1);
        if (c == 0) {
            ASSERT_EQ(InitSDK(), kOk);
        }
        for (const Units& n : names) expected[c].push_back(convert(n));
    }
    ASSERT_NE(expected[0], expected[1]);
    const std::string big5 = "\xA4\xA4\xA4\xE5";
    nessel_unit text[16] = {};
    ASSERT_EQ(encoding2unicode(str2enctype("big5"), big5.c_str(), text), 1);
    const Units big5_units = upto_zero(text);
    const Units raw = units(u"B\u00DCCHER.de"), prepped = units(u"b\u00FCcher.de");

    std::atomic<bool> stop{false}, shutting_down{false};
    std::atomic<int> bad{0}, seen[2] = {0, 0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t i = t; !stop; ++i) {
                const std::size_t k = i % names.size();
                const Outcome o = convert(names[k]);
                const bool late = shutting_down;  // read after: DeinitSDK may have run meanwhile
                if (o == expected[0][k]) ++seen[0];
                else if (o == expected[1][k]) ++seen[1];
                else if (!late || (o.code != kErrNoZone && o.code != kErrConversion && o.decode_code != kErrNoCodec)) ++bad;
                nessel_unit out[64] = {};
                const int r = encoding2unicode(str2enctype("big5"), big5.c_str(), out);
                if ((r != 1 || upto_zero(out) != big5_units) && !shutting_down) ++bad;
                if (talvex_name_prep_u(raw.data(), out, 64, 0) != 0 || upto_zero(out) != prepped) ++bad;
            }
        });
    threads.emplace_back([&] {
        while (!stop) (void)UpdateRegistry();
    });
    threads.emplace_back([&] {
        for (int round = 0; !stop; ++round) {
            if (shutting_down && round % 2) (void)DeinitSDK();
            else if (InitSDK() != kOk) ++bad;
        }
    });
    // At least 1.5 s, and until the reloads have run a few times (a loaded
    // machine, or the emulator, may take longer for them).
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    while (server.requests().size() <= 4 && std::chrono::steady_clock::now() - start < std::chrono::seconds(60))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    shutting_down = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop = true;
    for (auto& th : threads) th.join();
    EXPECT_EQ(bad, 0);
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(server.requests().size(), 4u) << "the reloads ran";
    (void)DeinitSDK();
}

}  // namespace
}  // namespace nessel::test
