// Mode 2, setup: collects the book's names and paths from the command line and the parameters
// file. Constructing the flow resets its parameter set.
#pragma once

#include <cstdint>

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

SetupParameters& SetupParams();

int SetupOptionHandler(const char* name, const char* value);
int SetupEntryHandler(const char* section, const char* key, const char* value);

class SetupFlow {
public:
    SetupFlow();
    int RunSetup(const char* command_line);
};

}  // namespace wbh
