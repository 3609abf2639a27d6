// Owners of what the Win32 calls hand back to be given up again: COM interface pointers,
// CoTaskMem blocks, BSTRs, shell item lists, and the file handle the file writer checks when it
// closes. Each holds one, gives it up when it goes, and is move-only. The COM apartment itself
// is held by platform::ComScope.
#pragma once

#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>
#include <windows.h>

#include <utility>

#include "platform/win32/system_library.h"

namespace wbh::platform::win32 {

// Owns one T (a pointer type; null holds nothing) and hands it to Free when it goes.
template <class T, void (*Free)(T)>
class Owned {
public:
    Owned() = default;
    explicit Owned(T held) : held_(held) {}
    ~Owned() {
        if (held_ != nullptr) Free(held_);
    }
    Owned(Owned&& other) noexcept : held_(std::exchange(other.held_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        const Owned old(std::exchange(held_, std::exchange(other.held_, nullptr)));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T Get() const { return held_; }
    T operator->() const { return held_; }
    // For a call that hands back a new one through this address; the one held before goes.
    T* Put() {
        *this = Owned();
        return &held_;
    }

private:
    T held_ = nullptr;
};

template <class Interface>
void ReleaseInterface(Interface* pointer) {
    pointer->Release();
}

template <class T>
void FreeTaskMemory(T* block) {
    CoTaskMemFree(block);
}

// The BSTR's maker loaded oleaut32 already.
inline void FreeBstr(BSTR text) {
    static const auto free_string =
        SystemProc<decltype(SysFreeString)>(L"oleaut32.dll", "SysFreeString");
    if (free_string != nullptr) free_string(text);
}

template <class Interface>
using ComPtr = Owned<Interface*, &ReleaseInterface<Interface>>;
template <class T>
using CoTaskMemory = Owned<T*, &FreeTaskMemory<T>>;
using Bstr = Owned<BSTR, &FreeBstr>;

// The shell's allocator is the COM task allocator.
inline void FreeItemList(LPITEMIDLIST list) { CoTaskMemFree(list); }

using ItemList = Owned<LPITEMIDLIST, &FreeItemList>;

// A file handle; INVALID_HANDLE_VALUE holds nothing. Close() is for a caller to whom the result
// matters: after writing, CloseHandle can report data that did not reach the file.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(FileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        const FileHandle old(
            std::exchange(handle_, std::exchange(other.handle_, INVALID_HANDLE_VALUE)));
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    // Closes it now; false when CloseHandle fails. Empty afterwards either way; true when it
    // held nothing.
    bool Close() {
        if (!Valid()) return true;
        return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace wbh::platform::win32
