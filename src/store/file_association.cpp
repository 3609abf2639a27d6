// The .7xe keys: read with kRead, made with Create and kAllAccess.
#include "store/file_association.h"

#include <cstdint>

#include "platform/registry.h"
#include "store/reg_key.h"
#include "store/store_layout.h"

namespace wbh::store {
namespace {

using platform::registry::Root;
using platform::registry::RootKey;

// Makes the extension's key name the class, and the class's key, below `root`. One key holder
// serves for both keys in turn. True when all three writes succeeded.
bool WriteAssociation(Root root, const char* extension_key, const char* class_key) {
    RegKey key;
    if (key.Create(RootKey(root), extension_key, kKeyAllAccess) != 0) return false;
    if (key.SetString(kFileClassName, nullptr) != 0) return false;
    key.Close();
    return key.Create(RootKey(root), class_key, kKeyAllAccess) == 0;
}

}  // namespace

bool FileTypeHasClass() {
    RegKey key;
    if (key.Open(RootKey(Root::kClassesRoot), kFileExtensionKey, kKeyRead) != 0) return false;
    StoredText file_class;
    return key.QueryText(file_class, nullptr) == 0 && !file_class.Empty();
}

bool WriteFileAssociation() {
    return WriteAssociation(Root::kClassesRoot, kFileExtensionKey, kFileClassKey) ||
           WriteAssociation(Root::kCurrentUser, kUserFileExtensionKey, kUserFileClassKey);
}

}  // namespace wbh::store
