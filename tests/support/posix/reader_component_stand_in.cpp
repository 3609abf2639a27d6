// The tests' reader component on POSIX: the platform's ReaderComponent itself, linked in place
// of the program's (which never finds one), present while a stand-in is installed.
#include "support/reader_component_stand_in.h"

#include <optional>
#include <string>

#include "platform/reader_component.h"

namespace wbh::test {
namespace {

struct Values {
    std::optional<std::string> sku;
    std::optional<std::string> partner;
};

std::optional<Values> g_installed;
int g_alive = 0;

std::optional<std::string> Copy(const char* value) {
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

// A missing, empty or oversized value leaves the field empty: Assign refuses what does not fit.
template <std::size_t N>
void Take(const std::optional<std::string>& value, BoundedText<N>& field) {
    if (value) field.Assign(*value);
}

}  // namespace

ReaderComponentStandIn::ReaderComponentStandIn(const char* sku, const char* partner) {
    g_installed = Values{Copy(sku), Copy(partner)};
}

ReaderComponentStandIn::~ReaderComponentStandIn() { g_installed.reset(); }

int ReaderComponentStandIn::Alive() { return g_alive; }

}  // namespace wbh::test

namespace wbh::platform {

// One object stands for every component; what the owners count is how many hold it.
struct ReaderComponent::Object {};

void ReaderComponent::Releaser::operator()(Object*) const { --test::g_alive; }

ReaderComponent::ReaderComponent() {
    if (!test::g_installed) return;
    static Object object;
    component_.reset(&object);
    ++test::g_alive;
    test::Take(test::g_installed->sku, sku_);
    test::Take(test::g_installed->partner, partner_);
}

}  // namespace wbh::platform
