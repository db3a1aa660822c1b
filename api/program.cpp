// SPDX-License-Identifier: MIT
// api/program.cpp: the nessel program's view of the library beyond its
// public interface (see program.h).
#include "api/program.h"

#include <cstring>
#include <memory>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "config/platform.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"

namespace nessel::program {

bool init_converters() { return init_once() != 0; }

void set_ace_prefix(const std::string& codec, const std::string& value) {
    nessel::set_ace_prefix(codec.c_str(), value.c_str());
}

void set_ace_suffix(const std::string& codec, const std::string& value) {
    nessel::set_ace_suffix(codec.c_str(), value.c_str());
}

namespace {

// The UTF-16 form of a zone written in RACEX form; false when it has none.
bool zone_unicode(const char* zone, std::u16string& units) {
    if (std::strstr(zone, "ra--") == nullptr) return false;
    const EncodingEntry* racex = find_encoding("racex");
    set_ace_prefix("racex", "ra--");
    return racex != nullptr && racex->to_unicode(zone, units) != 0;
}

}  // namespace

std::vector<ZoneRow> loaded_zones() {
    std::vector<ZoneRow> rows;
    // One snapshot for the whole listing, whatever another thread loads meanwhile.
    const std::shared_ptr<const ZoneTable> table = shared_zone_table();
    for (int32_t i = 0; table && i < table->size(); ++i) {
        const ZoneView r = (*table)[i];
        ZoneRow row;
        row.fields.assign(std::begin(r.text), std::end(r.text));
        row.prep_flags = static_cast<uint32_t>(r.prep_flags);
        row.has_unicode = zone_unicode(r.zone(), row.zone_unicode);
        rows.push_back(std::move(row));
    }
    return rows;
}

int32_t loaded_zone_count() { return zone_count(); }

const char* download_unavailable() { return platform::download_unavailable(); }

namespace {

using namespace platform;

// A key of the current user's root opened for every access, closed when
// it goes out of scope.
class OpenKey {
public:
    explicit OpenKey(const std::string& path) {
        status_ = reg_create_key(RegRoot::CurrentUser, path, kKeyAllAccess, &key_);
    }
    ~OpenKey() {
        if (key_) reg_close_key(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    int status() const { return status_; }
    RegKey* get() const { return key_; }

private:
    RegKey* key_ = nullptr;
    int status_;
};

int delete_all(const std::string& path) {
    OpenKey key(path);  // opened inside the batch, so it shares its connection
    if (key.status() != kErrorSuccess) return key.status();
    std::string name;
    int st;
    while ((st = reg_enum_value(key.get(), 0, &name, nullptr, nullptr)) == kErrorSuccess)
        if ((st = reg_delete_value(key.get(), name)) != kErrorSuccess) return st;
    return st == kErrorNoMoreItems ? kErrorSuccess : st;
}

}  // namespace

int store_list(const std::string& key, std::vector<StoreValue>& values) {
    OpenKey k(key);
    if (k.status() != kErrorSuccess) return k.status();
    // One read of the whole key: one state of the store, even while
    // another process imports.
    return reg_enum_values(k.get(), UINT32_MAX,
                           [&](std::string_view name, uint32_t type, std::string_view data) {
                               values.push_back({std::string(name), type, std::string(data)});
                           });
}

int store_get(const std::string& key, const std::string& name, StoreValue& value) {
    OpenKey k(key);
    if (k.status() != kErrorSuccess) return k.status();
    value.name = name;
    return reg_query_value(k.get(), name, &value.type, &value.data);
}

int store_set(const std::string& key, const StoreValue& value) {
    OpenKey k(key);
    if (k.status() != kErrorSuccess) return k.status();
    return reg_set_value(k.get(), value.name, value.type, value.data);
}

int store_delete(const std::string& key, const std::string& name) {
    OpenKey k(key);
    if (k.status() != kErrorSuccess) return k.status();
    return reg_delete_value(k.get(), name);
}

int store_delete_all(const std::string& key) {
    int st = reg_begin_batch();
    if (st != kErrorSuccess) return st;
    st = delete_all(key);
    const int end = reg_end_batch(st == kErrorSuccess);
    return st == kErrorSuccess ? end : st;
}

static_assert(program::kStoreOk == kErrorSuccess && program::kStoreNoValue == kErrorFileNotFound &&
              program::kRegSz == platform::kRegSz && program::kRegDword == platform::kRegDword);

}  // namespace nessel::program
