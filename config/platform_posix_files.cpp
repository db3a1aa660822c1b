// SPDX-License-Identifier: MIT
// config/platform_posix_files.cpp: finding files, the temporary directory
// private to the user and the files a download writes, on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "config/platform.h"
#include "config/platform_posix.h"

namespace nessel::platform {

const char kPathSeparator = '/';

namespace {
constexpr std::size_t kMaxPath = 259;  // what a 260-byte path buffer holds

bool is_regular_file(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string program_directory() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string exe(buf, static_cast<std::size_t>(n));
    std::size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

std::string current_directory() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

std::mutex g_data_directory_mutex;
std::string& data_directory() {
    static std::string dir = NESSEL_DATADIR;
    return dir;
}
}  // namespace

void set_data_directory(std::string_view dir) {
    std::lock_guard<std::mutex> lock(g_data_directory_mutex);
    data_directory().assign(dir);
}

int search_file(std::string_view name, std::string& path) {
    std::vector<std::string> dirs = {program_directory(), current_directory()};
    {
        std::lock_guard<std::mutex> lock(g_data_directory_mutex);
        dirs.push_back(data_directory());
    }
    std::string search = getenv_str("PATH");
    for (std::size_t start = 0; start <= search.size();) {
        std::size_t colon = search.find(':', start);
        if (colon == std::string::npos) colon = search.size();
        if (colon > start) dirs.push_back(search.substr(start, colon - start));
        start = colon + 1;
    }
    for (const auto& dir : dirs) {
        if (dir.empty()) continue;
        std::string candidate = dir + (dir.back() == '/' ? "" : "/") + std::string(name);
        if (candidate.size() > kMaxPath) continue;  // would not fit the path buffer
        if (is_regular_file(candidate)) {
            path = std::move(candidate);
            return 1;
        }
    }
    return 0;
}

int temp_directory(std::string& dir) {
    std::string base = getenv_str("TMPDIR");
    if (base.empty()) base = "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    std::string path = base + "/nessel-" + std::to_string(geteuid());
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return 0;
    struct stat st {};
    // lstat: a symbolic link in this place is refused, not followed.
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return 0;
    if ((st.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) return 0;
    dir = path + "/";
    return 1;
}

struct DownloadFile {
    std::string path;       // where the finished copy goes
    std::string temp_path;  // unique name in the same directory
    int fd = -1;
};

DownloadFile* download_file_create(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 &&
        (!S_ISREG(st.st_mode) || st.st_uid != geteuid()))  // a link, or not ours
        return nullptr;
    std::size_t slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string templ = dir + "/." + base + ".XXXXXX";
    int fd = mkstemp(templ.data());
    if (fd < 0) return nullptr;
    auto* file = new DownloadFile;
    file->path = path;
    file->temp_path = std::move(templ);
    file->fd = fd;
    return file;
}

int download_file_write(DownloadFile* file, std::string_view bytes) {
    if (file == nullptr || file->fd < 0) return 0;
    while (!bytes.empty()) {
        ssize_t n = write(file->fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 1;
}

int download_file_close(DownloadFile* file) {
    if (file == nullptr) return 0;
    if (file->fd < 0) return 1;
    const bool ok = close(file->fd) == 0;
    file->fd = -1;
    return ok ? 1 : 0;
}

const std::string& download_file_own_path(const DownloadFile* file) { return file->temp_path; }

int download_file_finish(DownloadFile* file, bool keep) {
    if (file == nullptr) return 0;
    bool ok = file->fd < 0 || close(file->fd) == 0;
    // rename replaces whatever entry has the name; it never follows a link.
    if (keep && ok)
        ok = std::rename(file->temp_path.c_str(), file->path.c_str()) == 0;
    if (!keep || !ok) unlink(file->temp_path.c_str());
    delete file;
    return keep ? (ok ? 1 : 0) : 1;
}

}  // namespace nessel::platform
