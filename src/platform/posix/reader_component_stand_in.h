// The POSIX build has no reader component; tests install a stand-in that the next components
// find, with the values their getters give. Not used by the program.
#pragma once

namespace wbh::platform::posix {

// From now on every new ReaderComponent is present and takes these values (null: the getter
// gives no value). The texts are copied.
void SetReaderComponentStandIn(const char* sku, const char* partner);
// From now on no component is present.
void ClearReaderComponentStandIn();
// Components created with a stand-in and not yet destroyed.
int ReaderComponentStandInsAlive();

}  // namespace wbh::platform::posix
