// SPDX-License-Identifier: MIT
// config/platform_posix_download.cpp: URL downloads through libcurl on POSIX
// systems, and the search in what they bring.
#include <curl/curl.h>
#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "base/ascii.h"
#include "config/platform.h"
#include "config/platform_posix.h"

namespace nessel::platform {

namespace {

// libcurl is loaded when the first download starts, not with the library:
// a conversion never pays for the HTTP stack.  Only its headers are needed
// to build.
struct CurlLib {
    CURLcode (*global_init)(long);
    CURLU* (*url)();
    CURLUcode (*url_set)(CURLU*, CURLUPart, const char*, unsigned int);
    CURLUcode (*url_get)(const CURLU*, CURLUPart, char**, unsigned int);
    void (*url_cleanup)(CURLU*);
    void (*free)(void*);
    CURL* (*easy_init)();
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
    void (*easy_cleanup)(CURL*);
    CURLM* (*multi_init)();
    CURLMcode (*multi_add_handle)(CURLM*, CURL*);
    CURLMcode (*multi_remove_handle)(CURLM*, CURL*);
    CURLMcode (*multi_cleanup)(CURLM*);
    CURLMcode (*multi_perform)(CURLM*, int*);
    CURLMsg* (*multi_info_read)(CURLM*, int*);
    CURLMcode (*multi_poll)(CURLM*, curl_waitfd[], unsigned int, int, int*);
};

std::string g_curl_error;  // written once, under the once flag

// The loaded library, or null (g_curl_error says why).  Loaded and
// initialised once per process; it stays loaded.
const CurlLib* load_curl() {
    static std::once_flag once;
    static CurlLib lib;
    static bool loaded = false;
    std::call_once(once, [] {
        void* h = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (h == nullptr) {
            const char* e = dlerror();
            g_curl_error = e ? e : "libcurl.so.4 cannot be loaded";
            return;
        }
        struct Symbol {
            const char* name;
            void* slot;
        } symbols[] = {
            {"curl_global_init", &lib.global_init}, {"curl_url", &lib.url},
            {"curl_url_set", &lib.url_set}, {"curl_url_get", &lib.url_get},
            {"curl_url_cleanup", &lib.url_cleanup}, {"curl_free", &lib.free},
            {"curl_easy_init", &lib.easy_init}, {"curl_easy_setopt", &lib.easy_setopt},
            {"curl_easy_cleanup", &lib.easy_cleanup}, {"curl_multi_init", &lib.multi_init},
            {"curl_multi_add_handle", &lib.multi_add_handle},
            {"curl_multi_remove_handle", &lib.multi_remove_handle},
            {"curl_multi_cleanup", &lib.multi_cleanup}, {"curl_multi_perform", &lib.multi_perform},
            {"curl_multi_info_read", &lib.multi_info_read}, {"curl_multi_poll", &lib.multi_poll},
        };
        for (const Symbol& s : symbols) {
            void* f = dlsym(h, s.name);
            if (f == nullptr) {
                g_curl_error = std::string("libcurl.so.4 lacks ") + s.name;
                return;
            }
            std::memcpy(s.slot, &f, sizeof f);
        }
        if (lib.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            g_curl_error = "libcurl could not be initialised";
            return;
        }
        loaded = true;
    });
    return loaded ? &lib : nullptr;
}

// Host names under ".invalid" never resolve (RFC 6761 section 6.4); they
// are refused here without asking any resolver.
bool host_is_invalid(const CurlLib* lib, const std::string& url) {
    CURLU* u = lib->url();
    if (u == nullptr) return true;
    bool invalid = true;
    if (lib->url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
        char* host = nullptr;
        if (lib->url_get(u, CURLUPART_HOST, &host, 0) == CURLUE_OK && host != nullptr) {
            std::string h = lower(host);
            while (!h.empty() && h.back() == '.') h.pop_back();
            invalid = h == "invalid" ||
                      (h.size() > 8 && h.compare(h.size() - 8, 8, ".invalid") == 0);
            lib->free(host);
        }
    }
    lib->url_cleanup(u);
    return invalid;
}
}  // namespace

struct UrlConnection {
    const CurlLib* lib = nullptr;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::size_t max_body = 0;
    std::string buffer;     // received, not yet handed out from `consumed` on
    std::size_t consumed = 0;
    std::size_t total = 0;  // body bytes received
    bool responded = false; // a response header arrived
    bool done = false;
    CURLcode result = CURLE_OK;

    ~UrlConnection() {
        if (multi && easy) lib->multi_remove_handle(multi, easy);
        if (easy) lib->easy_cleanup(easy);
        if (multi) lib->multi_cleanup(multi);
    }

    static size_t on_body(char* data, size_t size, size_t count, void* self) {
        auto* c = static_cast<UrlConnection*>(self);
        std::size_t n = size * count;
        if (c->total + n > c->max_body) return 0;  // over the bound: curl ends the transfer
        c->total += n;
        c->buffer.append(data, n);
        return n;
    }
    static size_t on_header(char*, size_t size, size_t count, void* self) {
        static_cast<UrlConnection*>(self)->responded = true;
        return size * count;
    }

    // One round of transfer work; waits up to 100 ms for the socket.
    void pump() {
        int running = 0;
        if (lib->multi_perform(multi, &running) != CURLM_OK) {
            done = true;
            result = CURLE_RECV_ERROR;
            return;
        }
        int queued = 0;
        while (CURLMsg* msg = lib->multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE) {
                done = true;
                result = msg->data.result;
            }
        }
        if (!done && running == 0) done = true;
        if (!done) lib->multi_poll(multi, nullptr, 0, 100, nullptr);
    }
};

const char* download_unavailable() {
    return load_curl() != nullptr ? nullptr : g_curl_error.c_str();
}

UrlConnection* url_open(const std::string& url, const std::string& user_agent,
                        const TransferBounds& bounds) {
    const CurlLib* lib = load_curl();
    if (lib == nullptr || host_is_invalid(lib, url)) return nullptr;
    auto c = std::make_unique<UrlConnection>();
    c->lib = lib;
    c->max_body = bounds.max_body;
    c->easy = lib->easy_init();
    c->multi = lib->multi_init();
    if (!c->easy || !c->multi) return nullptr;
    CURL* e = c->easy;
    lib->easy_setopt(e, CURLOPT_URL, url.c_str());
    lib->easy_setopt(e, CURLOPT_USERAGENT, user_agent.c_str());
    lib->easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    lib->easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    lib->easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    lib->easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
    lib->easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(bounds.connect_ms));
    lib->easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(bounds.transfer_ms));
    lib->easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(bounds.max_body));
    lib->easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    lib->easy_setopt(e, CURLOPT_WRITEFUNCTION, &UrlConnection::on_body);
    lib->easy_setopt(e, CURLOPT_WRITEDATA, c.get());
    lib->easy_setopt(e, CURLOPT_HEADERFUNCTION, &UrlConnection::on_header);
    lib->easy_setopt(e, CURLOPT_HEADERDATA, c.get());
    // Proxies: libcurl reads http_proxy, https_proxy and no_proxy itself.
    if (lib->multi_add_handle(c->multi, e) != CURLM_OK) return nullptr;
    while (!c->responded && !c->done) c->pump();
    if (!c->responded) return nullptr;  // refused, unresolved, timed out
    return c.release();
}

int url_read(UrlConnection* c, std::size_t want, std::string& data) {
    data.clear();
    if (c == nullptr) return 0;
    while (c->buffer.size() - c->consumed < want && !c->done) c->pump();
    std::size_t available = c->buffer.size() - c->consumed;
    if (available < want && c->result != CURLE_OK) return 0;  // broke off or over a bound
    std::size_t n = available < want ? available : want;
    data.assign(c->buffer, c->consumed, n);
    c->consumed += n;
    if (c->consumed > 65536) {
        c->buffer.erase(0, c->consumed);
        c->consumed = 0;
    }
    return 1;
}

void url_close(UrlConnection* c) { delete c; }

std::size_t find_last_nocase(std::string_view text, std::string_view what) {
    return ascii_ifind_last(text, what);
}

}  // namespace nessel::platform
