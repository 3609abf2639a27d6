// INI files through kernel32's profile calls.
#include "platform/ini.h"

#include <windows.h>

#include "platform/fault.h"

namespace wbh::platform {

std::uint32_t IniReadString(const char* section, const char* key, const char* fallback,
                            char* buffer, std::uint32_t size, const char* file) {
    if (fault::Fail("GetPrivateProfileString")) {
        // What kernel32 answers for a file that does not exist.
        if (size == 0) return 0;
        buffer[0] = '\0';
        if (section == nullptr || fallback == nullptr) return 0;
        lstrcpynA(buffer, fallback, static_cast<int>(size));
        return static_cast<std::uint32_t>(lstrlenA(buffer));
    }
    return GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
}

bool IniWriteString(const char* section, const char* key, const char* value, const char* file) {
    if (fault::Fail("WritePrivateProfileString")) return false;
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

}  // namespace wbh::platform
