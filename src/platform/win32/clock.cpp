// The current time from GetSystemTime.
#include <windows.h>

#include "platform/clock.h"

namespace wbh::platform {

SystemTime CurrentUtcTime() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay,
            now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace wbh::platform
