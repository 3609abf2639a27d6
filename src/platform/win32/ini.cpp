// INI files through kernel32's profile calls.
#include "platform/ini.h"

#include <windows.h>

#include "platform/fault.h"

namespace wbh::platform {

std::uint32_t IniReadString(const char* section, const char* key, const char* fallback,
                                char* buffer, std::uint32_t size, const char* file) {
    return GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
}

bool IniWriteString(const char* section, const char* key, const char* value,
                        const char* file) {
    if (fault::Fail("WritePrivateProfileString")) return false;
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

}  // namespace wbh::platform
