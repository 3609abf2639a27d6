// The current time from the real-time clock, broken down in UTC as GetSystemTime gives it.
#include "platform/clock.h"

#include <ctime>

namespace wbh::platform {

SystemTime CurrentUtcTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    auto field = [](long value) { return static_cast<std::uint16_t>(value); };
    return {field(utc.tm_year + 1900L),
            field(utc.tm_mon + 1L),
            field(utc.tm_wday),
            field(utc.tm_mday),
            field(utc.tm_hour),
            field(utc.tm_min),
            field(utc.tm_sec > 59 ? 59 : utc.tm_sec),  // a leap second reads as :59
            field(now.tv_nsec / 1000000L)};
}

}  // namespace wbh::platform
