// The tests' reader component on POSIX is the platform's own stand-in hook.
#include "support/reader_component_stand_in.h"

#include "platform/posix/reader_component_stand_in.h"

namespace wbh::test {

ReaderComponentStandIn::ReaderComponentStandIn(const char* sku, const char* partner) {
    platform::posix::SetReaderComponentStandIn(sku, partner);
}

ReaderComponentStandIn::~ReaderComponentStandIn() {
    platform::posix::ClearReaderComponentStandIn();
}

int ReaderComponentStandIn::Alive() { return platform::posix::ReaderComponentStandInsAlive(); }

}  // namespace wbh::test
