// Files through kernel32's wide calls: probing by attributes, and replacing a file by writing a
// new one beside it and moving it over the old one (MoveFileExW), so that the file is never
// half-written. Paths are converted exactly and stay within MAX_PATH units, as the ANSI calls
// had them.
#include "platform/files.h"

#include <windows.h>

#include <cwchar>

#include "common/no_throw.h"
#include "platform/portable/fault.h"
#include "platform/win32/com_owners.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform::files {
namespace {

// The temporary's name: the target's folder, then "wbh" and eight hex digits, then ".tmp".
constexpr std::size_t kTempNameLength = 15;
// Names tried before giving up, each one a new combination of process, time and count.
constexpr int kTempNameTries = 64;

// The length of the folder part of `path`, its last separator or drive colon included.
std::size_t FolderLength(const wchar_t* path) {
    std::size_t folder = 0;
    for (std::size_t i = 0; path[i] != L'\0'; ++i) {
        if (path[i] == L'\\' || path[i] == L'/' || path[i] == L':') folder = i + 1;
    }
    return folder;
}

// Creates a new, empty temporary in the folder of `path` (never one that exists already) and
// leaves its name in `temp`. No handle when none could be made.
win32::FileHandle CreateTemporary(const wchar_t* path, wchar_t (&temp)[MAX_PATH]) {
    static DWORD count = 0;
    const std::size_t folder = FolderLength(path);
    if (folder + kTempNameLength > MAX_PATH - 1) return win32::FileHandle();
    std::wmemcpy(temp, path, folder);
    for (int attempt = 0; attempt < kTempNameTries; ++attempt) {
        DWORD mark = (GetCurrentProcessId() * 2654435761u) ^ GetTickCount() ^ (++count * 40503u);
        wchar_t* name = temp + folder;
        std::wmemcpy(name, L"wbh", 3);
        for (int digit = 10; digit >= 3; --digit, mark >>= 4) {
            name[digit] = L"0123456789abcdef"[mark & 15];
        }
        std::wmemcpy(name + 11, L".tmp", 5);
        win32::FileHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    temp[0] = L'\0';
    return win32::FileHandle();
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

}  // namespace

char Separator() { return '\\'; }

void ToNativePath(char*) {}

Presence Probe(const char* path) {
    // An empty name is no name (Windows would answer "path not found"), and one that does not
    // convert names nothing that can be looked for.
    if (fault::Fail("ProbePath") || path == nullptr || path[0] == '\0') return Presence::kUnknown;
    return NoThrow(Presence::kUnknown, [&] {
        const win32::WidePath wide(path);
        if (!wide.Ok()) return Presence::kUnknown;
        if (GetFileAttributesW(wide.Get()) != INVALID_FILE_ATTRIBUTES) return Presence::kPresent;
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return Presence::kAbsent;
        }
        return Presence::kUnknown;
    });
}

namespace {

bool Replace(const char* path, const void* data, std::size_t size) {
    const win32::WidePath wide(path);
    if (!wide.Ok()) return false;

    // Windows refuses to move over a read-only file, but Wine does not: asked first, so a
    // read-only file stays on both.
    const DWORD existing = GetFileAttributesW(wide.Get());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }

    wchar_t temp[MAX_PATH];
    win32::FileHandle file = CreateTemporary(wide.Get(), temp);
    if (!file.Valid()) return false;
    bool ok = WriteAll(file.Get(), data, size) && FlushFileBuffers(file.Get());
    ok = file.Close() && ok;
    ok = ok && MoveFileExW(temp, wide.Get(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp);
    return ok;
}

}  // namespace

bool ReplaceFileContents(const char* path, const void* data, std::size_t size) {
    if (fault::Fail("ReplaceFile")) return false;
    if (path == nullptr || path[0] == '\0') return false;
    if (data == nullptr && size > 0) return false;
    return NoThrow(false, [&] { return Replace(path, data, size); });
}

}  // namespace wbh::platform::files
