// The tests' reader component on POSIX: the platform's ReaderComponent itself, linked in place
// of the program's (which never finds one), present while a stand-in is installed.
#include "support/reader_component_stand_in.h"

#include "platform/reader_component.h"

namespace wbh::test {
namespace {

bool g_installed = false;
const char* g_sku = nullptr;
const char* g_partner = nullptr;
int g_alive = 0;

}  // namespace

ReaderComponentStandIn::ReaderComponentStandIn(const char* sku, const char* partner) {
    g_installed = true;
    g_sku = sku;
    g_partner = partner;
}

ReaderComponentStandIn::~ReaderComponentStandIn() { g_installed = false; }

int ReaderComponentStandIn::Alive() { return g_alive; }

}  // namespace wbh::test

namespace wbh::platform {

// One object stands for every component; what the owners count is how many hold it.
struct ReaderComponent::Object {};

void ReaderComponent::Releaser::operator()(Object*) const { --test::g_alive; }

// A missing, empty or oversized value leaves the field empty: Assign refuses what does not fit.
ReaderComponent::ReaderComponent() {
    if (!test::g_installed) return;
    static Object object;
    component_.reset(&object);
    ++test::g_alive;
    if (test::g_sku != nullptr) sku_.Assign(test::g_sku);
    if (test::g_partner != nullptr) partner_.Assign(test::g_partner);
}

}  // namespace wbh::platform
