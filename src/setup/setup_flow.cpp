// Mode 2 flow. The install directory and the parameters file path come from the command line
// only; the parameters file's values win for the seven keys it may set. Every step runs,
// whatever the earlier ones achieved: each decides from its own inputs whether it has anything
// to do.
#include "setup/setup_flow.h"

#include <string>

#include "params/parameter_intake.h"
#include "platform/files.h"
#include "setup/finish_dialog.h"
#include "setup/import_marker.h"
#include "setup/shortcut_maker.h"
#include "setup/tracking_script.h"
#include "store/referrals.h"

namespace wbh {
namespace {

// Seven keys may come from the file too; the install directory only from the caller.
const Option<SetupParameters> kSetupOptions[] = {
    {"desktopshortcutname", true, FieldOf<&SetupParameters::desktopshortcutname>},
    {"openshortcutname", true, FieldOf<&SetupParameters::openshortcutname>},
    {"importtoquarlofilename", true, FieldOf<&SetupParameters::importtoquarlofilename>},
    {"targetfilepath", true, FieldOf<&SetupParameters::targetfilepath>},
    {"shortcuticonpath", true, FieldOf<&SetupParameters::shortcuticonpath>},
    {"readerJSpath", true, FieldOf<&SetupParameters::readerJSpath>},
    {"autorunbookid", true, FieldOf<&SetupParameters::autorunbookid>},
    {"installdirectory", false, FieldOf<&SetupParameters::installdirectory>},
    {kParametersFileOption, false, FieldOf<&SetupParameters::parametersfilepath>},
};

}  // namespace

bool IsSetupOption(std::string_view name) { return HasOption(kSetupOptions, name); }

BoundedText<260> JoinPath(const char* folder, const char* name) {
    BoundedText<260> joined;
    if (folder[0] == '\0' || name[0] == '\0') return joined;
    std::string path = folder;
    path += platform::files::Separator();
    path += name;
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
    if (TakeParameters(command_line, kSetupOptions, p) == 0) return 1;
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
