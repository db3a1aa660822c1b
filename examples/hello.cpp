// SPDX-License-Identifier: MIT
// examples/hello.cpp: the same through the C++ interface: UTF-8 in and out,
// no buffers to size, failures as values.
#include <cstdio>
#include <iostream>

#include "nessel.hpp"

int main() {
    const nessel::library lib;  // initialises; releases at the end
    if (!lib) {
        std::cerr << lib.status().name() << ": " << lib.status().message() << '\n';
        return 1;
    }
    for (const char* name : {"bücher.de", "中文网.中国", "ü.no-such-tld"}) {
        const auto ace = lib.to_ace(name);
        if (!ace) {  // a failure is a value: code, name and meaning
            std::cout << name << "\t" << ace.error().code() << " " << ace.error().name() << ": "
                      << ace.error().message() << '\n';
            continue;
        }
        std::cout << ace->text << '\t' << ace->codec << '\t' << lib.to_unicode(ace->text).value()
                  << '\n';
    }
    // Room the caller keeps for the into forms: reused by every call, it
    // grows when a result needs more; the result is a view of it.
    nessel::buffer room;
    if (auto gbk = lib.encode_into(room, "中文网.中国", "gbk")) {
        std::cout << "GBK:";
        for (unsigned char c : *gbk) std::printf(" %02X", c);
        std::cout << '\n';
    }
    std::cout << lib.encodings().size() << " encodings, " << lib.zones()->size() << " zones\n";
}
