// The reader component through COM: created once, asked for its two strings while a nested
// CoInitialize holds, and kept until the ReaderComponent goes away. The strings are ANSI
// copies; the BSTRs are freed as soon as both are converted.
#include "platform/reader_component.h"

#include "platform/portable/fault.h"
#include "platform/win32/reader_component.h"

namespace wbh::platform {
namespace {

win32::IReaderComponent* Component(void* component) {
    return static_cast<win32::IReaderComponent*>(component);
}

// A null or empty string gives no value, and so does one that does not fit the field in the
// ANSI code page: WideCharToMultiByte fails then, and a cut value is never kept.
void Convert(BSTR text, BoundedText<512>& value) {
    value.Clear();
    if (text == nullptr || SysStringLen(text) == 0) return;
    char buffer[512];
    // -1: up to the string's first NUL, which is written too.
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr) == 0) {
        return;
    }
    value.Assign(buffer);
}

}  // namespace

ReaderComponent::ReaderComponent() {
    // The run's own CoInitialize makes this one nest (S_FALSE); it is undone only when it
    // succeeded, so a failing one cannot end someone else's apartment.
    const HRESULT initialised = CoInitialize(nullptr);
    win32::IReaderComponent* component = nullptr;
    // Only the pointer tells whether the product is there; the HRESULT adds nothing.
    if (!fault::Fail("CoCreateInstance")) {
        CoCreateInstance(win32::kReaderComponentClass, nullptr, CLSCTX_ALL,
                         win32::kReaderComponentInterface, reinterpret_cast<void**>(&component));
    }
    component_ = component;
    if (component != nullptr) {
        BSTR sku = nullptr;
        BSTR partner = nullptr;
        component->GetSKU(&sku);
        component->GetPartner(&partner);
        Convert(sku, sku_);
        Convert(partner, partner_);
        SysFreeString(partner);
        SysFreeString(sku);
    }
    if (SUCCEEDED(initialised)) CoUninitialize();
}

ReaderComponent::~ReaderComponent() {
    if (component_ != nullptr) Component(component_)->Release();
}

}  // namespace wbh::platform
