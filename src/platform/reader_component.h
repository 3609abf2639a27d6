// The reader component of the installed desktop product, asked for the reader's product (SKU)
// and partner identifiers. On Windows it is a COM class (class and interface identifiers in
// platform/win32/reader_component.h); where the product is not installed, or on POSIX, there
// is none and both values are empty.
#pragma once

#include <memory>

#include "common/bounded_text.h"

namespace wbh::platform {

class ReaderComponent {
public:
    // Creates the component inside a nested CoInitialize / CoUninitialize pair (the run's own
    // initialisation keeps it usable) and asks GetSKU, then GetPartner. A value is empty when
    // the component has none (a null or empty string), when it does not convert exactly to
    // UTF-8 or when it does not fit 511 characters (it is never cut).
    ReaderComponent();
    // Releases the component.
    ~ReaderComponent() = default;
    ReaderComponent(const ReaderComponent&) = delete;
    ReaderComponent& operator=(const ReaderComponent&) = delete;

    bool Present() const { return component_ != nullptr; }
    const BoundedText<512>& Sku() const { return sku_; }
    const BoundedText<512>& Partner() const { return partner_; }

private:
    // The platform's component: the IReaderComponent on Windows, the stand-in's on POSIX.
    struct Object;
    struct Releaser {
        void operator()(Object* component) const;
    };

    std::unique_ptr<Object, Releaser> component_;
    BoundedText<512> sku_;
    BoundedText<512> partner_;
};

}  // namespace wbh::platform
