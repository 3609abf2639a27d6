// Files through kernel32's wide calls: probing by attributes, and replacing a file by writing a
// new one beside it and moving it over the old one (MoveFileExW), so that the file is never
// half-written. Paths are converted exactly and stay within MAX_PATH units, as the ANSI calls
// had them.
#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string_view>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "platform/win32/com_owners.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform::files {
namespace {

// The temporary's name: "wbh", eight hex digits, ".tmp".
constexpr std::size_t kTempNameLength = 15;
constexpr std::size_t kTempDigits = 8;
// Names tried before giving up, each one a new combination of process, time and count: enough
// to meet each of the sixteen names that one character of room allows.
constexpr int kTempNameTries = 64;

// The length of the folder part of `path`, its last separator or drive colon included.
std::size_t FolderLength(const wchar_t* path) {
    std::size_t folder = 0;
    for (std::size_t i = 0; path[i] != L'\0'; ++i) {
        if (path[i] == L'\\' || path[i] == L'/' || path[i] == L':') folder = i + 1;
    }
    return folder;
}

// The names are ASCII, so an ASCII comparison is the file system's.
bool SameNameNoCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return x == y || (x < 0x80 && y < 0x80 &&
                          AsciiLower(static_cast<char>(x)) == AsciiLower(static_cast<char>(y)));
    });
}

// Writes the temporary's name for `mark` at `name`. Where the folder leaves fewer than
// kTempNameLength characters of `room`, the name is the hex digits alone, as many as fit: the
// name it stands in for fits there, so one at least. Never that name itself (Windows ignores its
// trailing dots and blanks): a file made under it would be the direct write.
void NameTemporary(wchar_t* name, std::size_t room, std::wstring_view target, DWORD mark) {
    const bool whole = room >= kTempNameLength;
    const std::size_t digits = room < kTempDigits ? room : kTempDigits;
    wchar_t* next = name;
    if (whole) next = std::copy_n(L"wbh", 3, next);
    for (std::size_t i = 0; i < digits; ++i, mark >>= 4) *next++ = L"0123456789abcdef"[mark & 15];
    std::wcscpy(next, whole ? L".tmp" : L"");
    while (!target.empty() && (target.back() == L'.' || target.back() == L' ')) {
        target.remove_suffix(1);
    }
    if (SameNameNoCase(name, target)) name[0] = name[0] == L'0' ? L'1' : L'0';
}

// Creates a new, empty temporary in the folder of `path` (never one that exists already) and
// leaves its name in `temp`. No handle when none could be made.
win32::FileHandle CreateTemporary(const wchar_t* path, wchar_t (&temp)[MAX_PATH]) {
    static DWORD count = 0;
    const std::size_t folder = FolderLength(path);
    // The caller checked that the path fits and ends in a name: one unit of room at least.
    if (folder >= MAX_PATH - 1) {
        temp[0] = L'\0';
        return win32::FileHandle();
    }
    const std::size_t room = MAX_PATH - 1 - folder;
    std::wmemcpy(temp, path, folder);
    for (int attempt = 0; attempt < kTempNameTries; ++attempt) {
        const DWORD mark =
            (GetCurrentProcessId() * 2654435761u) ^ GetTickCount() ^ (++count * 40503u);
        NameTemporary(temp + folder, room, path + folder, mark);
        win32::FileHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    temp[0] = L'\0';
    return win32::FileHandle();
}

// The names kernel32 opens as devices, whatever folder they are in.
bool IsDeviceName(std::wstring_view name) {
    static constexpr std::wstring_view kDevices[] = {L"con", L"prn",    L"aux",
                                                     L"nul", L"conin$", L"conout$"};
    for (const std::wstring_view device : kDevices) {
        if (SameNameNoCase(name, device)) return true;
    }
    // COM1 to COM9 and LPT1 to LPT9; Windows takes the superscripts 1, 2 and 3 as digits there.
    if (name.size() != 4 ||
        !(SameNameNoCase(name.substr(0, 3), L"com") || SameNameNoCase(name.substr(0, 3), L"lpt"))) {
        return false;
    }
    const wchar_t digit = name[3];
    return (digit >= L'1' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
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

const NameLimit kNameLimit = {255, static_cast<std::size_t>(-1)};

NameRule CheckName(const char* path) {
    if (path == nullptr || path[0] == '\0') return NameRule::kNever;
    return NoThrow(NameRule::kNever, [&] {
        const win32::WideArgument wide(path);
        if (!wide.Ok()) return NameRule::kNever;
        const std::wstring_view text(wide.Get(), wide.Length());
        for (const wchar_t c : text) {
            if (c < 0x20 || std::wcschr(L"<>\"|?*", c) != nullptr) return NameRule::kNever;
        }
        // The last name: after the last separator, or after a drive's colon ("C:name").
        std::size_t start = text.find_last_of(L"\\/");
        start = start == std::wstring_view::npos ? (text.size() > 1 && text[1] == L':' ? 2 : 0)
                                                 : start + 1;
        const std::wstring_view name = text.substr(start);
        if (name.find(L':') != std::wstring_view::npos) return NameRule::kNever;  // a stream
        if (name.find_last_not_of(L". ") == std::wstring_view::npos) return NameRule::kNever;
        std::wstring_view stem = name.substr(0, name.find(L'.'));
        while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
        if (IsDeviceName(stem)) return NameRule::kNever;
        if (text.size() >= MAX_PATH || name.size() > kNameLimit.units) return NameRule::kTooLong;
        return NameRule::kFile;
    });
}

char Separator() { return '\\'; }

Presence Probe(const char* path) {
    // An empty name is no name (Windows would answer "path not found"), and one that does not
    // convert names nothing that can be looked for.
    if (path == nullptr || path[0] == '\0') return Presence::kUnknown;
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
    ok = ok && win32::Sys().MoveFileExW(temp, wide.Get(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp);
    return ok;
}

}  // namespace

bool ReplaceFileContents(const char* path, const void* data, std::size_t size) {
    if (CheckName(path) != NameRule::kFile) return false;
    if (data == nullptr && size > 0) return false;
    return NoThrow(false, [&] { return Replace(path, data, size); });
}

}  // namespace wbh::platform::files
