// SPDX-License-Identifier: MIT
// tests/unit/program_runner.h: runs the built nessel program as a
// subprocess with a given standard input and environment, and collects its
// exit status, standard output and standard error.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "test_support.h"

namespace nessel::test {

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

#ifdef _WIN32
// One argument quoted so that the C runtime's command-line parser gives it
// back unchanged: backslashes are literal except before a quote.
inline std::wstring quote_argument(const std::wstring& arg) {
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

inline std::wstring wide(const std::string& utf8_text) {
    const std::u16string units = utf16(utf8_text);
    return std::wstring(units.begin(), units.end());
}
#endif

// Runs NESSEL_PROGRAM with args.  env entries "NAME=VALUE" are set on top of
// the inherited environment; stdin_text is the whole standard input.
inline RunResult run_program(const std::vector<std::string>& args,
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
    if (started) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(pi.hProcess, &code)) r.status = static_cast<int>(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (!started) {
        r.err = failure;
        return r;
    }
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

}  // namespace nessel::test
