// Mode 2 flow: parameter intake. The install directory and the parameters file path come from
// the command line only; the parameters file's values win for the seven keys it may set.
#include "setup/setup_flow.h"

#include "common/ascii.h"
#include "params/option_scanner.h"
#include "params/parameters_file.h"

namespace wbh {
namespace {

// Assigns the value to the field named by key among the keys a parameters file may set.
bool AssignFileKey(const char* key, const char* value) {
    SetupParameters& p = SetupParams();
    struct NameField {
        const char* name;
        BoundedText<260>* field;
    };
    const NameField names[] = {
        {"desktopshortcutname", &p.desktopshortcutname},
        {"openshortcutname", &p.openshortcutname},
        {"importtoquarlofilename", &p.importtoquarlofilename},
        {"targetfilepath", &p.targetfilepath},
        {"shortcuticonpath", &p.shortcuticonpath},
        {"readerJSpath", &p.readerJSpath},
    };
    for (const NameField& entry : names) {
        if (EqualsNoCase(key, entry.name)) {
            entry.field->Assign(value);
            return true;
        }
    }
    if (EqualsNoCase(key, "autorunbookid")) {
        p.autorunbookid.Assign(value);
        return true;
    }
    return false;
}

}  // namespace

SetupParameters& SetupParams() {
    static SetupParameters parameters;
    return parameters;
}

int SetupOptionHandler(const char* name, const char* value) {
    if (AssignFileKey(name, value)) return 1;
    SetupParameters& p = SetupParams();
    if (EqualsNoCase(name, "installdirectory")) {
        p.installdirectory.Assign(value);
    } else if (EqualsNoCase(name, "parametersfilepath")) {
        p.parametersfilepath.Assign(value);
    }
    return 1;
}

int SetupEntryHandler(const char* section, const char* key, const char* value) {
    if (key != nullptr && EqualsNoCase(section, "parameters")) AssignFileKey(key, value);
    return 1;
}

SetupFlow::SetupFlow() { SetupParams() = SetupParameters(); }

int SetupFlow::RunSetup(const char* command_line) {
    ScanCommandLine(command_line, SetupOptionHandler);
    const SetupParameters& p = SetupParams();
    if (!p.parametersfilepath.Empty() &&
        ReadParametersFile(p.parametersfilepath.CStr(), SetupEntryHandler) == 0) {
        return 1;
    }
    // Path composition and the setup steps come next in this flow.
    return 1;
}

}  // namespace wbh
