// A reader component for the Windows tests, handed to the program's own creation call for its
// class; other classes are created as before. A null value makes the getter return a null
// string. The values must outlive the stand-in. One at a time.
#pragma once

namespace wbh::test {

class ReaderComponentStandIn {
public:
    // With `every_class`, every creation gets the component as a bare IUnknown, whatever class
    // and interface were asked: an object without the interface its caller goes on to ask for.
    ReaderComponentStandIn(const char* sku, const char* partner, bool every_class = false);
    ~ReaderComponentStandIn();  // no component from then on
    ReaderComponentStandIn(const ReaderComponentStandIn&) = delete;
    ReaderComponentStandIn& operator=(const ReaderComponentStandIn&) = delete;

    // Components created and not yet released.
    static int Alive();
};

}  // namespace wbh::test
