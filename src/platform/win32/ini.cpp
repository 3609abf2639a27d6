// INI files through kernel32's profile calls, and a read-only file refused before them.
#include "platform/ini.h"

#include <windows.h>

#include <cstring>

#include "platform/portable/fault.h"

namespace wbh::platform {
namespace {

// Windows refuses to write a read-only file, but Wine run by root writes it: asked first, so
// that a read-only file stays on both, as ReplaceFileContents leaves it. A bare name is left to
// kernel32, which looks for it in the Windows directory, not in the working one.
bool IsReadOnly(const char* file) {
    if (std::strpbrk(file, "\\/:") == nullptr) return false;
    const DWORD attributes = GetFileAttributesA(file);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace

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
    if (file != nullptr && IsReadOnly(file)) return false;
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

}  // namespace wbh::platform
