// The import marker, a one-space file that the package names, and the registration of the .7xe
// file type that comes with it.
#pragma once

namespace wbh {

// Makes sure of the association, then writes the marker at `path` (replacing any earlier
// content). Nothing at all when the path is empty. Returns 1.
int WriteImportMarker(const char* path);

// Registers the .7xe type (platform::shell::RegisterFileType), leaving a type that is there
// already alone. Returns 1 when the type stands, 0 when registering it failed.
int EnsureFileAssociation();

}  // namespace wbh
