// The current time, as the program stores it: the layout of the Win32 SYSTEMTIME, in UTC.
#pragma once

#include <cstdint>

namespace wbh::platform {

struct SystemTime {
    std::uint16_t year;          // full year, such as 2026
    std::uint16_t month;         // 1 to 12
    std::uint16_t day_of_week;   // 0 (Sunday) to 6
    std::uint16_t day;           // 1 to 31
    std::uint16_t hour;          // 0 to 23
    std::uint16_t minute;        // 0 to 59
    std::uint16_t second;        // 0 to 59
    std::uint16_t milliseconds;  // 0 to 999
};

// GetSystemTime: now, in UTC. Cannot fail.
SystemTime CurrentUtcTime();

}  // namespace wbh::platform
