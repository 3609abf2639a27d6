// Mode 2, setup: collects the book's names and paths from the command line and the parameters
// file, composes the full paths under the install directory, and finishes the installation:
// tracking script, shortcut in the book's folder, file association and import marker, and the
// finish dialog. The flow owns its parameter set.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/bounded_text.h"

namespace wbh {

struct SetupParameters {
    BoundedText<260> desktopshortcutname;
    BoundedText<260> openshortcutname;
    BoundedText<260> importtoquarlofilename;
    BoundedText<260> importfullpath;
    BoundedText<260> shortcuticonpath;
    BoundedText<260> iconfullpath;
    BoundedText<260> targetfilepath;
    BoundedText<260> targetfullpath;
    BoundedText<260> readerJSpath;
    BoundedText<260> readerJSfullpath;
    BoundedText<1024> autorunbookid;
    BoundedText<1024> installdirectory;
    BoundedText<1024> parametersfilepath;
    std::int32_t trackingallowed = 0;
};

// Whether mode 2 reads an option of that name.
bool IsSetupOption(std::string_view name);

// `folder`, the platform's separator and `name` (a backslash in either is a separator to every
// platform call). Empty when either part is empty or the result does not fit: nothing is ever
// made at a cut path.
BoundedText<260> JoinPath(const char* folder, const char* name);
// The four full paths from the install directory and the relative paths.
void ComposeFullPaths(SetupParameters& p);

class SetupFlow {
public:
    int RunSetup(const char* command_line);

    const SetupParameters& Parameters() const { return parameters_; }

private:
    SetupParameters parameters_;
};

}  // namespace wbh
