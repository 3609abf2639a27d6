// EnsureReaderId: look for a stored identifier, fall back to the product's user identifier,
// else make an anonymous one; then store it.
#include "store/reader_id.h"

#include "store/anonymous_guid.h"
#include "store/reg_key.h"
#include "store/store_layout.h"

namespace wbh::store {
namespace {

namespace reg = platform::registry;

// Reads a GUID text from the user data key; false when the key or value is missing,
// unreadable, too long or not a GUID text.
bool ReadStoredGuid(RegKey& key, const char* value_name, platform::Guid& guid) {
    bool found = false;
    if (key.Open(reg::RootKey(reg::Root::kCurrentUser), kUserDataKey, kKeyRead) == 0) {
        StoredText text;
        found = key.QueryText(text, value_name) == 0 && IsValidGuidText(text.CStr(), guid);
    }
    key.Close();
    return found;
}

}  // namespace

bool IsValidGuidText(const char* text, platform::Guid& guid) {
    platform::Guid shape;
    // The platform parser may accept other forms (Windows also takes program names), which
    // are not identifiers a tracking link could pass on.
    return platform::ParseBracedGuid(text, shape) && platform::ParseGuidText(text, guid);
}

bool ReadReaderId(StoredText& id) {
    id.Clear();
    RegKey user_data;
    if (user_data.Open(reg::RootKey(reg::Root::kCurrentUser), kUserDataKey, kKeyRead) != 0) {
        return false;
    }
    return user_data.QueryText(id, kReaderIdValue) == 0;
}

int EnsureReaderId() {
    RegKey key;
    platform::Guid guid{};
    if (ReadStoredGuid(key, kReaderIdValue, guid)) return 1;
    if (!ReadStoredGuid(key, kProductUserIdValue, guid)) {
        const AnonymousGuid maker;
        if (maker.Make(guid) < 0) return 1;  // no GUID, so nothing to store
    }
    // The text is made before anything is touched, so a failure here changes nothing.
    char text[2 * 39];
    if (!platform::FormatGuidText(guid, text, sizeof text) || text[0] == '\0') return 1;

    if (key.Create(reg::RootKey(reg::Root::kCurrentUser), kUserDataKey, kKeyAllAccess) != 0) {
        return 1;
    }
    StoredText stored;
    if (key.QueryText(stored, kReaderIdValue) == 0) {
        // Valid after all (the first read failed, or another run stored one meanwhile): the
        // reader keeps the identifier that links may already carry.
        platform::Guid existing;
        if (IsValidGuidText(stored.CStr(), existing)) {
            key.Close();
            return 1;
        }
        key.DeleteValue(kReaderIdValue);
    }
    key.SetString(text, kReaderIdValue);
    key.Close();
    return 1;
}

}  // namespace wbh::store
