// SPDX-License-Identifier: MIT
// fuzz/fuzz_to_ace.cpp: names and addresses to ACE through NamePrep and
// NamePrep_U under a small zone table with every kind of record (domain and
// mailbox zones, an alternative codec, tails, nameprep options).  The first
// byte picks the input encoding and the fallback bit; the rest is the name,
// also read as UTF-16LE for NamePrep_U.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "api/lifecycle.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"
#include "nessel.h"

namespace {

void set_field(char (&dst)[256], const char* src) { std::strncpy(dst, src, sizeof dst - 1); }

bool setup() {
    if (!nessel::init_once()) return false;
    struct Z {
        const char *zone, *codec, *prefix, *alt, *strip, *append;
        int32_t flags;
    } zones[] = {
        {".zz", "PUNYCODE", "xn--", "", "", "", 0},
        {"example.zz", "race", "ra--", "", "", ".tail", 0x01},
        {".yy", "no-such", "", "racex", "-", "", 0x0B},
        {".ra--3bhc2vx5", "race", "bq--", "", "bq", "-end", 0x1FF},
        {"", "lace", "lq--", "dude", "", "", 0x02},
    };
    static nessel::ZoneRecord records[5];
    for (int i = 0; i < 5; ++i) {
        nessel::ZoneRecord& r = records[i];
        set_field(r.zone, zones[i].zone);
        set_field(r.codec, zones[i].codec);
        set_field(r.prefix, zones[i].prefix);
        set_field(r.alt_codec, zones[i].alt);
        set_field(r.strip_tail, zones[i].strip);
        set_field(r.append_tail, zones[i].append);
        r.prep_flags = zones[i].flags;
    }
    nessel::publish_zone_table(nessel::zone_table_of(records, 5));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = setup();
    if (!ready) std::abort();
    if (size == 0) return 0;
    const uint32_t count = nessel::encoding_count();
    const nessel::EncodingEntry* e = nessel::find_encoding_by_type(1 + data[0] % count);
    const unsigned char options = data[0] & 0x80;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1 > 2000 ? 2000 : size - 1);
    text = text.c_str();
    std::vector<char> out(16384);
    char codec[256];
    (void)NamePrep(e->name.c_str(), text.c_str(), out.data(), 16384, codec, 256, options);
    std::vector<nessel_unit> units;
    for (size_t i = 1; i + 1 < size && units.size() < 1100; i += 2)
        units.push_back(static_cast<nessel_unit>(data[i] | (data[i + 1] << 8)));
    units.push_back(0);
    std::vector<nessel_unit> uout(8192);
    (void)NamePrep_U(e->name.c_str(), units.data(), uout.data(), 16384, codec, 256, 0);
    return 0;
}
