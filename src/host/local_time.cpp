#include "host/local_time.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <ctime>
#endif

LocalTime localTime() {
#if defined(_WIN32)
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
#else
    const std::time_t clock = std::time(nullptr);
    std::tm now{};
    localtime_r(&clock, &now);
    return {now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec};
#endif
}
