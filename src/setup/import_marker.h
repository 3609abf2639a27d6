// The import marker, a one-space file that the package names, and the registration of the .7xe
// file type that comes with it.
#pragma once

namespace wbh {

// Makes sure of the association, then writes the marker at `path` (replacing any earlier
// content). Nothing at all when the path is empty. Returns 1.
int WriteImportMarker(const char* path);

// Registers the .7xe type where the platform keeps file types (platform::shell::
// RegisterFileType). Where that is the registry: .7xe names the class 7xefile, unless it
// already names a class, which is left alone. Written under HKEY_CLASSES_ROOT, or when that
// fails under HKEY_CURRENT_USER\Software\Classes; the shell then hears that associations
// changed. Returns 1 when the association stands, 0 when writing it failed (in both places).
int EnsureFileAssociation();

}  // namespace wbh
