// The registry calls for the POSIX build, over the SQLite store, answering as advapi32 does
// under Wine: the same result codes in the same order of checks, and the same limits of the
// ANSI calls. Handles are heap objects that remember the key's row and the access granted; the
// two roots are static and never freed.
#include "platform/registry.h"

#include <cstring>
#include <new>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/no_throw.h"
#include "platform/portable/fault.h"
#include "platform/posix/registry/registry_store.h"

namespace wbh::platform::registry {

using posix::RegistryStore;
using posix::StoreId;

struct KeyObject {
    std::int64_t id;
    std::uint32_t access;
    StoreId store;  // the file the id belongs to; the roots are in every file
};

namespace {

// The ANSI calls convert names through fixed Unicode buffers: a key path longer than this
// does not fit (kMoreData), nor a value name to look up or remove (kInvalidParameter).
constexpr std::size_t kMaxPathChars = 260;
constexpr std::size_t kMaxLookupNameChars = 32766;
constexpr std::size_t kMaxKeyNameChars = 256;      // one name in a key path
constexpr std::size_t kMaxValueNameChars = 16383;  // a value name to store

constexpr long kNoAccess = 998;  // ERROR_NOACCESS: bytes to store but no pointer to them
constexpr std::uint32_t kTypeExpandString = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t kTypeMultiString = 7;   // REG_MULTI_SZ

KeyObject g_current_user{posix::kCurrentUserKey, kAllAccess, {}};
KeyObject g_classes_root{posix::kClassesRootKey, kAllAccess, {}};

bool IsRoot(const KeyObject* key) { return key == &g_current_user || key == &g_classes_root; }

// Handles given out and not yet closed: a closed one is refused, never followed.
std::unordered_set<Key>& OpenHandles() {
    static std::unordered_set<Key> handles;
    return handles;
}

// Looking a handle up allocates nothing.
long Resolve(Key key, const KeyObject** object) {
    if (key == nullptr || (!IsRoot(key) && OpenHandles().count(key) == 0)) return kInvalidHandle;
    *object = key;
    return kSuccess;
}

// The store, and whether the key's id still means something in it: a handle opened before the
// file was replaced (or before XDG_CONFIG_HOME named another one) names no key there.
long StoreOf(const KeyObject& key, RegistryStore** store) {
    const long result = RegistryStore::Get(store);
    if (result != kSuccess) return result;
    if (!IsRoot(&key) && key.store != (*store)->id()) return kKeyDeleted;
    return kSuccess;
}

long NewHandle(std::int64_t id, std::uint32_t access, StoreId store, Key* out) {
    Key key = new (std::nothrow) KeyObject{id, access, store};
    if (key == nullptr) return kOutOfMemory;
    const long listed = NoThrow(kOutOfMemory, [key] {
        OpenHandles().insert(key);
        return kSuccess;
    });
    if (listed != kSuccess) {
        delete key;
        return listed;
    }
    *out = key;
    return kSuccess;
}

// The names of a key path: empty names (doubled or trailing backslashes) are skipped.
long SplitPath(const char* path, std::vector<std::string_view>* names) {
    if (path == nullptr) return kSuccess;
    if (::strnlen(path, kMaxPathChars + 1) > kMaxPathChars) return kMoreData;
    if (path[0] == '\\') return kBadPathname;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\\');
        const std::string_view name = rest.substr(0, end);
        if (name.size() > kMaxKeyNameChars) return kInvalidParameter;
        if (!name.empty()) names->push_back(name);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return kSuccess;
}

// The key of a handle that was granted `needed`, and the store its id belongs to.
long OpenedWith(Key key, std::uint32_t needed, const KeyObject** object, RegistryStore** store) {
    long result = Resolve(key, object);
    if (result == kSuccess && !((*object)->access & needed)) result = kAccessDenied;
    if (result == kSuccess) {
        result = NoThrow(kOutOfMemory, [&] { return StoreOf(**object, store); });
    }
    return result;
}

// Follows the names from `start`, adding the missing keys when `create`.
long Walk(RegistryStore& store, std::int64_t start, const std::vector<std::string_view>& names,
          bool create, std::int64_t* found) {
    long result = store.KeyExists(start);
    std::int64_t id = start;
    for (std::size_t i = 0; i < names.size() && result == kSuccess; ++i) {
        std::int64_t child = 0;
        result = store.FindChild(id, names[i], &child);
        if (result == kFileNotFound && create) result = store.AddChild(id, names[i], &child);
        id = child;
    }
    if (result == kSuccess) *found = id;
    return result;
}

long WalkInTransaction(RegistryStore& store, std::int64_t start,
                       const std::vector<std::string_view>& names, bool create,
                       std::int64_t* found) {
    long result = store.Begin(create);
    if (result != kSuccess) return result;
    result = Walk(store, start, names, create, found);
    if (result == kSuccess) result = store.Commit();
    if (result != kSuccess) store.Rollback();
    return result;
}

std::string_view ValueName(const char* name) { return name != nullptr ? name : ""; }

// Follows the path and gives a handle to the key at its end. A key that exists is only read,
// so that opening it works in a read-only file and does not wait for other writers; when
// `create`, the missing keys then come in one write transaction.
long OpenPath(Key parent, const char* path, std::uint32_t access, bool create, Key* out) {
    if (out == nullptr) return kInvalidParameter;
    const KeyObject* from = nullptr;
    long result = Resolve(parent, &from);
    std::vector<std::string_view> names;
    if (result == kSuccess) result = SplitPath(path, &names);
    RegistryStore* store = nullptr;
    if (result == kSuccess) result = StoreOf(*from, &store);
    std::int64_t id = 0;
    if (result == kSuccess) result = WalkInTransaction(*store, from->id, names, false, &id);
    if (result == kFileNotFound && create) {
        result = WalkInTransaction(*store, from->id, names, true, &id);
    }
    if (result == kSuccess) result = NewHandle(id, access, store->id(), out);
    return result;
}

}  // namespace

Key RootKey(Root root) { return root == Root::kCurrentUser ? &g_current_user : &g_classes_root; }

long OpenKey(Key parent, const char* path, std::uint32_t access, Key* out) {
    if (fault::Fail(fault::Call::kRegOpenKeyEx)) return kAccessDenied;
    // A root with no path is the root itself, whatever the access asked.
    if (IsRoot(parent) && (path == nullptr || path[0] == '\0') && out != nullptr) {
        *out = parent;
        return kSuccess;
    }
    // Classes paths may start with one backslash (and only there, and only when opening).
    if (parent == &g_classes_root && path != nullptr && path[0] == '\\') ++path;
    return NoThrow(kOutOfMemory, [&] { return OpenPath(parent, path, access, false, out); });
}

long CreateKey(Key parent, const char* path, std::uint32_t access, Key* out) {
    if (fault::Fail(fault::Call::kRegCreateKeyEx)) return kAccessDenied;
    return NoThrow(kOutOfMemory, [&] { return OpenPath(parent, path, access, true, out); });
}

long QueryValue(Key key, const char* name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) {
    if (fault::Fail(fault::Call::kRegQueryValueEx)) return kAccessDenied;
    if (data != nullptr && size == nullptr) return kInvalidParameter;
    if (key == nullptr) return kInvalidHandle;
    const std::string_view value = ValueName(name);
    if (value.size() > kMaxLookupNameChars) return kInvalidParameter;
    const KeyObject* object = nullptr;
    RegistryStore* store = nullptr;
    long result = OpenedWith(key, kQueryValue, &object, &store);
    if (result != kSuccess) return result;

    const std::uint32_t room = data != nullptr ? *size : 0;
    std::uint32_t stored_type = 0;
    std::uint32_t stored_size = room;
    result = store->ReadValue(object->id, value, &stored_type, data, &stored_size);
    if (result != kSuccess && result != kMoreData) return result;
    if (type != nullptr) *type = stored_type;
    if (size != nullptr) *size = stored_size;
    // The ANSI call ends a text stored without its NUL with one when the buffer has room for it,
    // not counted in the size.
    const bool text = stored_type == kTypeString || stored_type == kTypeExpandString ||
                      stored_type == kTypeMultiString;
    if (result == kSuccess && data != nullptr && text && stored_size > 0 && stored_size < room &&
        data[stored_size - 1] != '\0') {
        data[stored_size] = '\0';
    }
    return result;
}

long SetValue(Key key, const char* name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) {
    if (fault::Fail(fault::Call::kRegSetValueEx)) return kAccessDenied;
    if (data == nullptr && size != 0) return kNoAccess;
    if (key == nullptr) return kInvalidHandle;
    const std::string_view value = ValueName(name);
    if (value.size() > kMaxValueNameChars) return kInvalidParameter;
    const KeyObject* object = nullptr;
    RegistryStore* store = nullptr;
    long result = OpenedWith(key, kSetValue, &object, &store);
    if (result == kSuccess) result = store->WriteValue(object->id, value, type, data, size);
    return result;
}

long DeleteValue(Key key, const char* name) {
    if (fault::Fail(fault::Call::kRegDeleteValue)) return kAccessDenied;
    if (key == nullptr) return kInvalidHandle;
    const std::string_view value = ValueName(name);
    if (value.size() > kMaxLookupNameChars) return kInvalidParameter;
    const KeyObject* object = nullptr;
    RegistryStore* store = nullptr;
    long result = OpenedWith(key, kSetValue, &object, &store);
    if (result == kSuccess) result = store->RemoveValue(object->id, value);
    return result;
}

long CountSubkeys(Key key, std::uint32_t* count) {
    if (fault::Fail(fault::Call::kRegQueryInfoKey)) return kAccessDenied;
    const KeyObject* object = nullptr;
    RegistryStore* store = nullptr;
    long result = OpenedWith(key, kQueryValue, &object, &store);
    std::uint32_t counted = 0;
    if (result == kSuccess) result = store->CountChildren(object->id, &counted);
    if (result == kSuccess && count != nullptr) *count = counted;
    return result;
}

long CloseKey(Key key) {
    // An injected failure still releases the handle, as a real one would: nothing leaks.
    const bool failed = fault::Fail(fault::Call::kRegCloseKey);
    long result = kInvalidHandle;
    if (IsRoot(key)) {
        result = kSuccess;
    } else if (key != nullptr && OpenHandles().erase(key) != 0) {
        delete key;
        result = kSuccess;
    }
    return failed ? kIoFailed : result;
}

}  // namespace wbh::platform::registry
