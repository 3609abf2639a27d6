// Where the desktop keeps file types, the platform registers .7xe itself (POSIX: the shared MIME
// database). Where they are kept in the registry (Windows), the store writes the association
// (store/file_association.h) and the shell hears of it.
#include "setup/import_marker.h"

#include "platform/files.h"
#include "platform/shell.h"
#include "store/file_association.h"

namespace wbh {

int WriteImportMarker(const char* path) {
    if (path[0] == '\0') return 1;
    EnsureFileAssociation();
    platform::files::ReplaceFileContents(path, " ", 1);
    return 1;
}

int EnsureFileAssociation() {
    switch (platform::shell::RegisterFileType()) {
        case platform::shell::FileTypeRegistration::kRegistered:
            return 1;
        case platform::shell::FileTypeRegistration::kFailed:
            return 0;
        case platform::shell::FileTypeRegistration::kKeptInRegistry:
            break;
    }
    if (store::FileTypeHasClass()) return 1;
    if (!store::WriteFileAssociation()) return 0;
    platform::shell::NotifyAssociationsChanged();
    return 1;
}

}  // namespace wbh
