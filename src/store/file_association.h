// The .7xe file association where the registry keeps file types: under HKEY_CLASSES_ROOT, or in
// the current user's own classes (HKCU\Software\Classes, the other half of that root's merged
// view) when a standard user may not write the machine's.
#pragma once

namespace wbh::store {

// True when .7xe already names a class (a readable, non-empty default value), which is then
// left alone.
bool FileTypeHasClass();

// Makes .7xe name the class 7xefile, and the class's key, under HKEY_CLASSES_ROOT, or when any
// of those writes fails, under the user's own classes. False when it failed in both places.
bool WriteFileAssociation();

}  // namespace wbh::store
