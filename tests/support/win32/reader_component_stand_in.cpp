// The stand-in holds a COM initialisation of its own: a class object's registration for the
// process lasts only as long as the apartment.
#include "support/reader_component_stand_in.h"

#include <gtest/gtest.h>

#include "platform/win32/reader_component.h"

namespace wbh::test {
namespace {

using platform::win32::IReaderComponent;

const char* g_sku = nullptr;
const char* g_partner = nullptr;
int g_alive = 0;

// UTF-8 text; no value is a null string.
BSTR NewString(const char* value) {
    if (value == nullptr) return nullptr;
    wchar_t wide[1024];
    const int units = MultiByteToWideChar(CP_UTF8, 0, value, -1, wide, 1024);
    return SysAllocStringLen(wide, units > 0 ? static_cast<UINT>(units - 1) : 0);
}

// One object answers every creation; each reference held stands for one live component. The
// class object lives as long as the process, so it counts no references.
class Component final : public IReaderComponent {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known = iid == IID_IUnknown || iid == platform::win32::kReaderComponentInterface;
        *out = known ? this : nullptr;
        if (known) AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++g_alive; }
    ULONG STDMETHODCALLTYPE Release() override { return --g_alive; }
    HRESULT STDMETHODCALLTYPE GetPartner(BSTR* out) override {
        *out = NewString(g_partner);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSKU(BSTR* out) override {
        *out = NewString(g_sku);
        return S_OK;
    }
} g_component;

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known = iid == IID_IUnknown || iid == IID_IClassFactory;
        *out = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        return outer != nullptr ? CLASS_E_NOAGGREGATION : g_component.QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
} g_factory;

HRESULT g_initialised = E_FAIL;
DWORD g_cookie = 0;

}  // namespace

ReaderComponentStandIn::ReaderComponentStandIn(const char* sku, const char* partner) {
    g_initialised = CoInitialize(nullptr);
    g_sku = sku;
    g_partner = partner;
    EXPECT_EQ(S_OK, CoRegisterClassObject(platform::win32::kReaderComponentClass, &g_factory,
                                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &g_cookie));
}

ReaderComponentStandIn::~ReaderComponentStandIn() {
    CoRevokeClassObject(g_cookie);
    if (SUCCEEDED(g_initialised)) CoUninitialize();
}

int ReaderComponentStandIn::Alive() { return g_alive; }

}  // namespace wbh::test
