// The import marker, written after the .7xe type is registered wherever the platform keeps
// file types.
#include "setup/import_marker.h"

#include "platform/files.h"
#include "platform/shell.h"

namespace wbh {

int WriteImportMarker(const char* path) {
    if (path[0] == '\0') return 1;
    EnsureFileAssociation();
    platform::files::ReplaceFileContents(path, " ", 1);
    return 1;
}

int EnsureFileAssociation() { return platform::shell::RegisterFileType() ? 1 : 0; }

}  // namespace wbh
