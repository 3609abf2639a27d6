// Where the desktop keeps file types, the platform registers .7xe itself (POSIX: the shared MIME
// database). Where they are kept in the registry (Windows), the association lives under
// HKEY_CLASSES_ROOT, or in the current user's own classes when that root refuses it.
#include "setup/import_marker.h"

#include <cstdint>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "store/reg_key.h"
#include "store/store_layout.h"

namespace wbh {

int WriteImportMarker(const char* path) {
    if (path[0] == '\0') return 1;
    EnsureFileAssociation();
    platform::files::ReplaceFileContents(path, " ", 1);
    return 1;
}

namespace {

using platform::registry::Root;
using platform::registry::RootKey;

// Makes the extension's key name the class, and the class's key, below `root`. One key holder
// serves for both keys in turn. True when all three writes succeeded.
bool WriteAssociation(Root root, const char* extension_key, const char* class_key) {
    store::RegKey key;
    if (key.Create(RootKey(root), extension_key, store::kKeyAllAccess) != 0) return false;
    if (key.SetString(store::kFileClassName, nullptr) != 0) return false;
    key.Close();
    return key.Create(RootKey(root), class_key, store::kKeyAllAccess) == 0;
}

}  // namespace

int EnsureFileAssociation() {
    switch (platform::shell::RegisterFileType()) {
        case platform::shell::FileTypeRegistration::kRegistered:
            return 1;
        case platform::shell::FileTypeRegistration::kFailed:
            return 0;
        case platform::shell::FileTypeRegistration::kKeptInRegistry:
            break;
    }
    store::RegKey key;
    if (key.Open(RootKey(Root::kClassesRoot), store::kFileExtensionKey, store::kKeyRead) == 0) {
        char file_class[store::kTextBufferSize + 1];
        std::uint32_t size = sizeof file_class;
        if (key.QueryString(file_class, nullptr, size) == 0 && file_class[0] != '\0') return 1;
    }
    key.Close();
    // A standard user cannot write the machine's classes: then the user's own take it.
    if (!WriteAssociation(Root::kClassesRoot, store::kFileExtensionKey, store::kFileClassKey) &&
        !WriteAssociation(Root::kCurrentUser, store::kUserFileExtensionKey,
                          store::kUserFileClassKey)) {
        return 0;
    }
    platform::shell::NotifyAssociationsChanged();
    return 1;
}

}  // namespace wbh
