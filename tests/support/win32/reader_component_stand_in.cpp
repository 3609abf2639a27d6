// The component goes to the program through its table of system calls, not through a class
// object registered with COM, which would last only as long as an apartment of the stand-in's.
#include "support/reader_component_stand_in.h"

#include "platform/win32/reader_component.h"
#include "platform/win32/system_calls.h"

namespace wbh::test {
namespace {

namespace win32 = platform::win32;

const char* g_sku = nullptr;
const char* g_partner = nullptr;
bool g_every_class = false;
int g_alive = 0;
decltype(win32::SystemCalls::CoCreateInstance) g_replaced = nullptr;

// A getter's answer: the UTF-8 text as a new string; no value is a null string.
HRESULT Give(const char* value, BSTR* out) {
    *out = nullptr;
    if (value == nullptr) return S_OK;
    wchar_t wide[1024];
    const int units = MultiByteToWideChar(CP_UTF8, 0, value, -1, wide, 1024);
    *out = SysAllocStringLen(wide, units > 0 ? static_cast<UINT>(units - 1) : 0);
    return S_OK;
}

// One object answers every creation; each reference held stands for one live component.
class Component final : public win32::IReaderComponent {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known = iid == IID_IUnknown || iid == win32::kReaderComponentInterface;
        *out = known ? this : nullptr;
        if (known) AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++g_alive; }
    ULONG STDMETHODCALLTYPE Release() override { return --g_alive; }
    HRESULT STDMETHODCALLTYPE GetPartner(BSTR* out) override { return Give(g_partner, out); }
    HRESULT STDMETHODCALLTYPE GetSKU(BSTR* out) override { return Give(g_sku, out); }
} g_component;

// As COM answers for an in-process server registered under the component's class.
HRESULT STDMETHODCALLTYPE Create(REFCLSID kind, LPUNKNOWN outer, DWORD context, REFIID iid,
                                 LPVOID* out) {
    if (g_every_class) return g_component.QueryInterface(IID_IUnknown, out);
    if (kind != win32::kReaderComponentClass) return g_replaced(kind, outer, context, iid, out);
    *out = nullptr;
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    return outer != nullptr ? CLASS_E_NOAGGREGATION : g_component.QueryInterface(iid, out);
}

}  // namespace

ReaderComponentStandIn::ReaderComponentStandIn(const char* sku, const char* partner,
                                               bool every_class) {
    g_sku = sku;
    g_partner = partner;
    g_every_class = every_class;
    g_replaced = win32::Sys().CoCreateInstance;
    win32::Sys().CoCreateInstance = Create;
}

ReaderComponentStandIn::~ReaderComponentStandIn() { win32::Sys().CoCreateInstance = g_replaced; }

int ReaderComponentStandIn::Alive() { return g_alive; }

}  // namespace wbh::test
