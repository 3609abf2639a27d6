// The .7xe file type where Windows keeps file types: HKEY_CLASSES_ROOT, whose view merges the
// machine's classes with the user's own (HKCU\Software\Classes), which a standard user who may
// not write the machine's can write. Explorer hears of a new type through SHChangeNotify.
//
//  HKEY_CLASSES_ROOT\.7xe     default value REG_SZ "7xefile", set when absent, empty or unreadable
//  HKEY_CLASSES_ROOT\7xefile  the key alone
#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "common/utf8.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/win32/system_calls.h"

namespace wbh::platform::shell {
namespace {

namespace reg = registry;

constexpr char kExtensionKey[] = ".7xe";
constexpr char kClassKey[] = "7xefile";
constexpr char kUserExtensionKey[] = "Software\\Classes\\.7xe";
constexpr char kUserClassKey[] = "Software\\Classes\\7xefile";
constexpr char kClassName[] = "7xefile";  // the default value of .7xe
// A class name is read as the program reads every text: 512 characters at most.
constexpr std::size_t kTextCharacters = 512;

// A Key is the HKEY itself (registry.cpp).
reg::Key ClassesRoot() { return reinterpret_cast<reg::Key>(HKEY_CLASSES_ROOT); }

// Whether .7xe already names a class: a default value that reads as a text that is not empty.
bool HasClass() {
    reg::Key key = nullptr;
    if (reg::OpenKey(ClassesRoot(), kExtensionKey, reg::kRead, &key) != reg::kSuccess) return false;
    char name[3 * kTextCharacters + 1];
    std::uint32_t type = reg::kTypeString;
    std::uint32_t size = sizeof name - 1;
    const bool named = reg::QueryValue(key, nullptr, &type, reinterpret_cast<std::uint8_t*>(name),
                                       &size) == reg::kSuccess &&
                       size > 0 && name[0] != '\0' &&
                       utf8::Utf16Length(std::string_view(name, size)) <= kTextCharacters;
    reg::CloseKey(key);
    return named;
}

// Makes the extension's key name the class, and the class's key, below `root`. True when all
// three writes succeeded.
bool WriteAssociation(reg::Key root, const char* extension_key, const char* class_key) {
    reg::Key key = nullptr;
    if (reg::CreateKey(root, extension_key, reg::kAllAccess, &key) != reg::kSuccess) return false;
    const bool named = reg::SetValue(key, nullptr, reg::kTypeString,
                                     reinterpret_cast<const std::uint8_t*>(kClassName),
                                     sizeof kClassName) == reg::kSuccess;
    reg::CloseKey(key);
    if (!named || reg::CreateKey(root, class_key, reg::kAllAccess, &key) != reg::kSuccess) {
        return false;
    }
    reg::CloseKey(key);
    return true;
}

// SHCNE_ASSOCCHANGED, so that Explorer shows the new type at once.
void NotifyAssociationsChanged() {
    win32::Sys().SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace

bool RegisterFileType() {
    if (HasClass()) return true;
    if (!WriteAssociation(ClassesRoot(), kExtensionKey, kClassKey) &&
        !WriteAssociation(reg::RootKey(reg::Root::kCurrentUser), kUserExtensionKey,
                          kUserClassKey)) {
        return false;
    }
    NotifyAssociationsChanged();
    return true;
}

}  // namespace wbh::platform::shell
