// A reader component for the Windows tests, found by the program's own creation call: a COM
// class object registered for the process. A null value makes the getter return a null string.
// The values must outlive the stand-in. One at a time.
#pragma once

namespace wbh::test {

class ReaderComponentStandIn {
public:
    ReaderComponentStandIn(const char* sku, const char* partner);
    ~ReaderComponentStandIn();  // no component from then on
    ReaderComponentStandIn(const ReaderComponentStandIn&) = delete;
    ReaderComponentStandIn& operator=(const ReaderComponentStandIn&) = delete;

    // Components created and not yet released.
    static int Alive();
};

}  // namespace wbh::test
