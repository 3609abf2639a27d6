// The reader component on POSIX: the desktop product does not exist here, so there is none and
// both values stay empty. (The tests link a stand-in of their own in place of this file.)
#include "platform/reader_component.h"

namespace wbh::platform {

struct ReaderComponent::Object {};

void ReaderComponent::Releaser::operator()(Object*) const {}

ReaderComponent::ReaderComponent() {}

}  // namespace wbh::platform
