// The reader component through COM: created once, asked for its two strings while a nested
// apartment holds, and kept until the ReaderComponent goes away. The strings are UTF-8 copies;
// the BSTRs go as soon as both are converted.
#include "platform/reader_component.h"

#include <cwchar>
#include <string>

#include "common/no_throw.h"
#include "platform/com.h"
#include "platform/win32/com_owners.h"
#include "platform/win32/reader_component.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform {
namespace {

// A null or empty string gives no value, and so does one that does not convert exactly or does
// not fit the field: a cut or altered value is never kept. The text ends at its first NUL.
void Convert(BSTR text, BoundedText<512>& value) {
    value.Clear();
    if (text == nullptr || text[0] == L'\0') return;
    NoThrow(0, [&] {
        std::string converted;
        if (win32::ToUtf8(std::wstring_view(text, std::wcslen(text)), converted)) {
            value.Assign(converted);
        }
        return 0;
    });
}

}  // namespace

// Object stays incomplete: the owner holds the interface pointer under that type.
void ReaderComponent::Releaser::operator()(Object* component) const {
    const win32::ComPtr<win32::IReaderComponent> released(
        reinterpret_cast<win32::IReaderComponent*>(component));
}

ReaderComponent::ReaderComponent() {
    // The run's apartment makes this one nest (S_FALSE), and keeps the component usable after
    // it ends. A failed one is not undone, so it cannot end someone else's apartment.
    const ComScope nested;
    win32::IReaderComponent* created = nullptr;
    // Only the pointer tells whether the product is there; the HRESULT adds nothing.
    win32::Sys().CoCreateInstance(win32::kReaderComponentClass, nullptr, CLSCTX_ALL,
                                  win32::kReaderComponentInterface,
                                  reinterpret_cast<void**>(&created));
    component_.reset(reinterpret_cast<Object*>(created));
    if (created == nullptr) return;
    win32::Bstr sku;
    win32::Bstr partner;
    created->GetSKU(sku.Put());
    created->GetPartner(partner.Put());
    Convert(sku.Get(), sku_);
    Convert(partner.Get(), partner_);
}

}  // namespace wbh::platform
