// SPDX-License-Identifier: MIT
// tests/unit/program_runner.h: runs the built nessel program as a
// subprocess with a given standard input and environment, and collects its
// exit status, standard output and standard error.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace nessel::test {

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

inline std::string slurp_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs NESSEL_PROGRAM with args.  env entries "NAME=VALUE" are set on top of
// the inherited environment; stdin_text is the whole standard input.
inline RunResult run_program(const std::vector<std::string>& args,
                             const std::string& stdin_text = {},
                             const std::vector<std::string>& env = {}) {
    TempDir io;
    const std::string in = io.path() + "/in", out = io.path() + "/out", err = io.path() + "/err";
    std::ofstream(in, std::ios::binary) << stdin_text;
    RunResult r;
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
    r.out = slurp_file(out);
    r.err = slurp_file(err);
    return r;
}

}  // namespace nessel::test
