// The association lives under HKEY_CLASSES_ROOT (on POSIX, that root of the program's own
// registry). One key holder serves for the three keys in turn.
#include "setup/import_marker.h"

#include <cstdint>

#include "platform/files.h"
#include "platform/registry.h"
#include "store/reg_key.h"
#include "store/store_layout.h"

namespace wbh {

int WriteImportMarker(const char* path) {
    if (path[0] == '\0') return 1;
    EnsureFileAssociation();
    platform::files::ReplaceFileContents(path, " ", 1);
    return 1;
}

int EnsureFileAssociation() {
    const platform::registry::Key root =
        platform::registry::RootKey(platform::registry::Root::kClassesRoot);
    store::RegKey key;
    if (key.Open(root, store::kFileExtensionKey, store::kKeyRead) == 0) {
        char file_class[store::kTextBufferSize + 1];
        std::uint32_t size = sizeof file_class;
        if (key.QueryString(file_class, nullptr, size) == 0 && file_class[0] != '\0') return 1;
    }
    key.Close();
    if (key.Create(root, store::kFileExtensionKey, store::kKeyAllAccess) != 0) return 0;
    if (key.SetString(store::kFileClassName, nullptr) != 0) return 0;
    key.Close();
    return key.Create(root, store::kFileClassKey, store::kKeyAllAccess) == 0 ? 1 : 0;
}

}  // namespace wbh
