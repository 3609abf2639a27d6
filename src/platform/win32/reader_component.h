// The desktop product's reader component as COM sees it: its class, its interface and the
// interface's methods in vtable order. Shared by the program and the tests' stand-in.
#pragma once

#include <objbase.h>
#include <oleauto.h>

namespace wbh::platform::win32 {

// Both identifiers are this program's choice: the product's component is expected to register
// under them. {A8AE8ED3-ABD2-4821-9F4D-CB75D99FA1EF}
inline constexpr CLSID kReaderComponentClass = {
    0xa8ae8ed3, 0xabd2, 0x4821, {0x9f, 0x4d, 0xcb, 0x75, 0xd9, 0x9f, 0xa1, 0xef}};
// {C3C874EF-94F9-4597-96F2-4D6A2B977670}
inline constexpr IID kReaderComponentInterface = {
    0xc3c874ef, 0x94f9, 0x4597, {0x96, 0xf2, 0x4d, 0x6a, 0x2b, 0x97, 0x76, 0x70}};

// IUnknown's three methods, then these two, in this order. Each hands back a new string that
// the caller frees with SysFreeString; a null string means "no value".
struct IReaderComponent : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPartner(BSTR* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSKU(BSTR* out) = 0;
};

}  // namespace wbh::platform::win32
