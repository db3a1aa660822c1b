// SPDX-License-Identifier: MIT
// A C++ program built against the installed library: converts each name
// given to its ACE form as consumer.c does, then prints the first zone of
// the zone table (library::zones() comes from the companion library).
#include <iostream>

#include <nessel.hpp>

int main(int argc, char** argv) {
    const nessel::library lib;
    if (!lib) {
        std::cerr << "consumer: " << lib.status().name() << '\n';
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const auto ace = lib.to_ace(argv[i]);
        if (!ace) {
            std::cerr << "consumer: " << argv[i] << ": " << ace.error().code() << '\n';
            status = 1;
            continue;
        }
        std::cout << ace->text << '\n';
    }
    const auto zones = lib.zones();
    if (!zones || zones->empty()) return 1;
    std::cout << zones->front().zone << '\n';
    return status;
}
