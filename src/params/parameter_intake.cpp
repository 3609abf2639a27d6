// The intake's two reads. The file's path is copied out before the file is read: the field it
// sits in belongs to the level, not to the read.
#include "params/parameter_intake.h"

#include <string>

#include "params/option_scanner.h"
#include "params/parameters_file.h"

namespace wbh {

int TakeParameters(const char* command_line, FieldFinder find) {
    ScanCommandLine(command_line, [&find](const char* name, const char* value) {
        if (const FieldRef field = find(name, false)) field.Assign(value);
        return 1;
    });
    const FieldRef file_field = find(kParametersFileOption, false);
    if (!file_field || file_field.CStr()[0] == '\0') return 1;
    const std::string file = file_field.CStr();
    const auto take_entry = [&find](const char* section, const char* key, const char* value) {
        if (key == nullptr || !EqualsNoCase(section, "parameters")) return 1;
        if (const FieldRef field = find(key, true)) field.Assign(value);
        return 1;
    };
    return ReadParametersFile(file.c_str(), take_entry);
}

}  // namespace wbh
