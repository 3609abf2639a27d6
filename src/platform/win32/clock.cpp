// The current time from GetSystemTime.
#include "platform/clock.h"

#include <windows.h>

namespace wbh::platform {

SystemTime CurrentUtcTime() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
            now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

}  // namespace wbh::platform
