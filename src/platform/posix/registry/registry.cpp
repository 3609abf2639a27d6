// The registry calls for the POSIX build, over the SQLite store, answering as advapi32 does
// under Wine for what the program asks: the same result codes in the same order of checks, and
// the limits of the ANSI calls on key paths, which a book's id reaches. A handle is a heap
// object that remembers the key's row and the access granted; the root is static.
#include "platform/registry.h"

#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "common/no_throw.h"
#include "platform/posix/registry/registry_store.h"

namespace wbh::platform::registry {

using posix::RegistryStore;

struct KeyObject {
    std::int64_t id;
    std::uint32_t access;
};

namespace {

KeyObject g_current_user{posix::kCurrentUserKey, kAllAccess};

// The names of a key path: empty names (doubled or trailing backslashes) are skipped.
long SplitPath(const char* path, std::vector<std::string_view>* names) {
    if (const long refused = CheckKeyPath(path)) return refused;
    if (path == nullptr) return kSuccess;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\\');
        const std::string_view name = rest.substr(0, end);
        if (!name.empty()) names->push_back(name);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return kSuccess;
}

// The store, for a handle that was granted `needed`.
long OpenedWith(Key key, std::uint32_t needed, RegistryStore** store) {
    if (key == nullptr) return kInvalidHandle;
    if (!(key->access & needed)) return kAccessDenied;
    return NoThrow(kOutOfMemory, [&] { return RegistryStore::Get(store); });
}

// Follows the names from `start`, adding the missing keys when `create`, in one transaction.
long Walk(RegistryStore& store, std::int64_t start, const std::vector<std::string_view>& names,
          bool create, std::int64_t* found) {
    long result = store.Begin(create);
    if (result != kSuccess) return result;
    std::int64_t id = start;
    for (std::size_t i = 0; i < names.size() && result == kSuccess; ++i) {
        std::int64_t child = 0;
        result = store.FindChild(id, names[i], &child);
        if (result == kFileNotFound && create) result = store.AddChild(id, names[i], &child);
        id = child;
    }
    if (result == kSuccess) result = store.Commit();
    if (result != kSuccess) store.Rollback();
    if (result == kSuccess) *found = id;
    return result;
}

std::string_view ValueName(const char* name) { return name != nullptr ? name : ""; }

// Follows the path and gives a handle to the key at its end. A key that exists is only read,
// so that opening it works in a read-only file and does not wait for other writers; when
// `create`, the missing keys then come in one write transaction.
long OpenPath(Key parent, const char* path, std::uint32_t access, bool create, Key* out) {
    if (parent == nullptr) return kInvalidHandle;
    std::vector<std::string_view> names;
    long result = SplitPath(path, &names);
    RegistryStore* store = nullptr;
    if (result == kSuccess) result = RegistryStore::Get(&store);
    std::int64_t id = 0;
    if (result == kSuccess) result = Walk(*store, parent->id, names, false, &id);
    if (result == kFileNotFound && create) result = Walk(*store, parent->id, names, true, &id);
    if (result != kSuccess) return result;
    *out = new (std::nothrow) KeyObject{id, access};
    return *out != nullptr ? kSuccess : kOutOfMemory;
}

}  // namespace

Key RootKey(Root) { return &g_current_user; }

long OpenKey(Key parent, const char* path, std::uint32_t access, Key* out) {
    // The root with no path is the root itself, whatever the access asked.
    if (parent == &g_current_user && (path == nullptr || path[0] == '\0')) {
        *out = parent;
        return kSuccess;
    }
    return NoThrow(kOutOfMemory, [&] { return OpenPath(parent, path, access, false, out); });
}

long CreateKey(Key parent, const char* path, std::uint32_t access, Key* out) {
    return NoThrow(kOutOfMemory, [&] { return OpenPath(parent, path, access, true, out); });
}

long QueryValue(Key key, const char* name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) {
    RegistryStore* store = nullptr;
    long result = OpenedWith(key, kQueryValue, &store);
    if (result != kSuccess) return result;
    std::uint32_t stored_type = 0;
    std::uint32_t stored_size = data != nullptr ? *size : 0;
    result = store->ReadValue(key->id, ValueName(name), &stored_type, data, &stored_size);
    if (result != kSuccess && result != kMoreData) return result;
    *type = stored_type;
    *size = stored_size;
    return result;
}

long SetValue(Key key, const char* name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) {
    RegistryStore* store = nullptr;
    long result = OpenedWith(key, kSetValue, &store);
    if (result == kSuccess) result = store->WriteValue(key->id, ValueName(name), type, data, size);
    return result;
}

long DeleteValue(Key key, const char* name) {
    RegistryStore* store = nullptr;
    long result = OpenedWith(key, kSetValue, &store);
    if (result == kSuccess) result = store->RemoveValue(key->id, ValueName(name));
    return result;
}

long CountSubkeys(Key key, std::uint32_t* count) {
    RegistryStore* store = nullptr;
    long result = OpenedWith(key, kQueryValue, &store);
    if (result == kSuccess) result = store->CountChildren(key->id, count);
    return result;
}

long CloseKey(Key key) {
    if (key == nullptr) return kInvalidHandle;
    if (key != &g_current_user) delete key;
    return kSuccess;
}

}  // namespace wbh::platform::registry
