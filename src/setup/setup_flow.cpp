// Mode 2 flow. The install directory and the parameters file path come from the command line
// only; the parameters file's values win for the seven keys it may set. Every step runs,
// whatever the earlier ones achieved: each decides from its own inputs whether it has anything
// to do.
#include "setup/setup_flow.h"

#include <string>

#include "common/ascii.h"
#include "params/option_scanner.h"
#include "params/parameters_file.h"
#include "platform/files.h"
#include "setup/finish_dialog.h"
#include "setup/import_marker.h"
#include "setup/shortcut_maker.h"
#include "setup/tracking_script.h"
#include "store/referrals.h"

namespace wbh {
namespace {

// Assigns the value to the field named by key among the keys a parameters file may set.
bool AssignFileKey(SetupParameters& p, const char* key, const char* value) {
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

int SetupOptionHandler(SetupParameters& p, const char* name, const char* value) {
    if (AssignFileKey(p, name, value)) return 1;
    if (EqualsNoCase(name, "installdirectory")) {
        p.installdirectory.Assign(value);
    } else if (EqualsNoCase(name, "parametersfilepath")) {
        p.parametersfilepath.Assign(value);
    }
    return 1;
}

int SetupEntryHandler(SetupParameters& p, const char* section, const char* key, const char* value) {
    if (key != nullptr && EqualsNoCase(section, "parameters")) AssignFileKey(p, key, value);
    return 1;
}

BoundedText<260> JoinPath(const char* folder, const char* name) {
    BoundedText<260> joined;
    if (folder[0] == '\0' || name[0] == '\0') return joined;
    std::string path = folder;
    path += platform::files::Separator();
    path += name;
    platform::files::ToNativePath(path.data());
    joined.Assign(path);  // refused whole when it does not fit
    return joined;
}

void ComposeFullPaths(SetupParameters& p) {
    const char* folder = p.installdirectory.CStr();
    p.iconfullpath = JoinPath(folder, p.shortcuticonpath.CStr());
    p.targetfullpath = JoinPath(folder, p.targetfilepath.CStr());
    p.readerJSfullpath = JoinPath(folder, p.readerJSpath.CStr());
    p.importfullpath = JoinPath(folder, p.importtoquarlofilename.CStr());
}

int SetupFlow::RunSetup(const char* command_line) {
    SetupParameters& p = parameters_;
    ScanCommandLine(command_line, [&p](const char* name, const char* value) {
        return SetupOptionHandler(p, name, value);
    });
    if (!p.parametersfilepath.Empty() &&
        ReadParametersFile(p.parametersfilepath.CStr(),
                           [&p](const char* section, const char* key, const char* value) {
                               return SetupEntryHandler(p, section, key, value);
                           }) == 0) {
        return 1;
    }
    if (!p.installdirectory.Empty()) ComposeFullPaths(p);
    p.trackingallowed = static_cast<std::int32_t>(store::ReadBookAnswer(p.autorunbookid.CStr()));
    store::WriteInstallDirectory(p.autorunbookid.CStr(), p.installdirectory.CStr());
    WriteTrackingScript(p);
    MakeOpenShortcut(p.installdirectory.CStr(), p.targetfullpath.CStr(), p.openshortcutname.CStr(),
                     p.iconfullpath.CStr());
    WriteImportMarker(p.importfullpath.CStr());
    ShowFinishDialog(p);
    return 1;
}

}  // namespace wbh
