// Reads shortcut files back through the shell link object: for each .lnk argument, prints
// "target|icon|index" in UTF-8 on a line of its own, or "unreadable". The target is the one the
// link's item list resolves to: Wine writes the link's other copy of the path (its LinkInfo) in
// the ANSI code page alone, so GetPath answers "?" for a Cyrillic name (Windows adds UTF-16).
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    char bytes[4 * MAX_PATH];
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return size != 0 ? bytes : "<not converted>";
}

std::string Read(const wchar_t* file) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return "no shell link object";
    }
    IPersistFile* persist = nullptr;
    std::string line = "unreadable";
    LPITEMIDLIST list = nullptr;
    wchar_t target[MAX_PATH] = L"", icon[MAX_PATH] = L"";
    int index = -1;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file, STGM_READ)) && SUCCEEDED(link->GetIDList(&list)) &&
        list != nullptr && SHGetPathFromIDListW(list, target) &&
        SUCCEEDED(link->GetIconLocation(icon, MAX_PATH, &index))) {
        line = Utf8(target) + "|" + Utf8(icon) + "|" + std::to_string(index);
    }
    CoTaskMemFree(list);
    if (persist != nullptr) persist->Release();
    link->Release();
    return line;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (FAILED(CoInitialize(nullptr))) return 1;
    for (int i = 1; i < argc; ++i) std::printf("%s\n", Read(argv[i]).c_str());
    CoUninitialize();
    return 0;
}
