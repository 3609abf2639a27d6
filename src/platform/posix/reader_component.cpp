// The reader component on POSIX: the desktop product does not exist here, so a component is
// present only when a test has installed a stand-in, which then gives the values.
#include "platform/reader_component.h"

#include <optional>
#include <string>

#include "platform/posix/reader_component_stand_in.h"

namespace wbh::platform {
namespace {

struct StandIn {
    std::optional<std::string> sku;
    std::optional<std::string> partner;
};

std::optional<StandIn>& Installed() {
    static std::optional<StandIn> stand_in;
    return stand_in;
}

int alive = 0;

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

namespace posix {

void SetReaderComponentStandIn(const char* sku, const char* partner) {
    Installed() = StandIn{Copy(sku), Copy(partner)};
}

void ClearReaderComponentStandIn() { Installed().reset(); }

int ReaderComponentStandInsAlive() { return alive; }

}  // namespace posix

// One object stands for every component; what the owners count is how many hold it.
struct ReaderComponent::Object {};

void ReaderComponent::Releaser::operator()(Object*) const { --alive; }

ReaderComponent::ReaderComponent() {
    const std::optional<StandIn>& stand_in = Installed();
    if (!stand_in) return;
    static Object object;
    component_.reset(&object);
    ++alive;
    Take(stand_in->sku, sku_);
    Take(stand_in->partner, partner_);
}

}  // namespace wbh::platform
