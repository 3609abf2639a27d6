// The reader component for tests under Wine: a real in-process COM object behind a class
// factory registered for this process under the component's class, so the program finds it
// through its own CoCreateInstance. The stand-in holds a COM initialisation of its own, as a
// registration lasts only as long as the apartment.
#include "support/reader_component_stand_in.h"

#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <string>

#include "platform/win32/reader_component.h"

namespace wbh::test {
namespace {

using platform::win32::IReaderComponent;
using platform::win32::kReaderComponentClass;
using platform::win32::kReaderComponentInterface;

int g_alive = 0;

std::optional<std::string> Value(const char* text) {
    return text == nullptr ? std::nullopt : std::optional<std::string>(text);
}

// Latin-1 widened byte by byte; a missing value is a null string.
BSTR NewString(const std::optional<std::string>& value) {
    if (!value) return nullptr;
    std::wstring wide;
    for (const char c : *value) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// IUnknown for one interface: counts references and deletes the object at zero.
template <class Interface>
class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out =
            iid == IID_IUnknown || iid == Implemented() ? static_cast<Interface*>(this) : nullptr;
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    virtual const IID& Implemented() const = 0;

private:
    ULONG references_ = 1;
};

class Component final : public ComObject<IReaderComponent> {
public:
    Component(std::optional<std::string> sku, std::optional<std::string> partner)
        : sku_(std::move(sku)), partner_(std::move(partner)) {
        ++g_alive;
    }
    HRESULT STDMETHODCALLTYPE GetPartner(BSTR* out) override {
        *out = NewString(partner_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSKU(BSTR* out) override {
        *out = NewString(sku_);
        return S_OK;
    }

private:
    ~Component() override { --g_alive; }
    const IID& Implemented() const override { return kReaderComponentInterface; }

    std::optional<std::string> sku_;
    std::optional<std::string> partner_;
};

class Factory final : public ComObject<IClassFactory> {
public:
    Factory(const char* sku, const char* partner) : sku_(Value(sku)), partner_(Value(partner)) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        Component* component = new (std::nothrow) Component(sku_, partner_);
        if (component == nullptr) return E_OUTOFMEMORY;
        const HRESULT result = component->QueryInterface(iid, out);
        component->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    const IID& Implemented() const override { return IID_IClassFactory; }

    std::optional<std::string> sku_;
    std::optional<std::string> partner_;
};

// One stand-in at a time: its factory and registration.
struct Registration {
    const ReaderComponentStandIn* owner = nullptr;
    HRESULT initialised = E_FAIL;
    Factory* factory = nullptr;
    DWORD cookie = 0;
    bool registered = false;
};
Registration g_registration;

}  // namespace

ReaderComponentStandIn::ReaderComponentStandIn(const char* sku, const char* partner) {
    Registration& r = g_registration;
    EXPECT_EQ(nullptr, r.factory) << "one reader component stand-in at a time";
    if (r.factory != nullptr) return;
    r.owner = this;
    r.initialised = CoInitialize(nullptr);
    r.factory = new Factory(sku, partner);
    const HRESULT result = CoRegisterClassObject(
        kReaderComponentClass, r.factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &r.cookie);
    r.registered = SUCCEEDED(result);
    EXPECT_TRUE(r.registered) << "CoRegisterClassObject: expected success, got 0x" << std::hex
                              << static_cast<unsigned long>(result);
}

ReaderComponentStandIn::~ReaderComponentStandIn() {
    Registration& r = g_registration;
    if (r.owner != this) return;
    if (r.registered) CoRevokeClassObject(r.cookie);
    r.factory->Release();
    if (SUCCEEDED(r.initialised)) CoUninitialize();
    r = Registration{};
}

int ReaderComponentStandIn::Alive() { return g_alive; }

}  // namespace wbh::test
