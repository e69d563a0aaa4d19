// GetLocalTime. Differs from Windows: the time zone is the C library's (TZ, else
// /etc/localtime), read once per process as localtime_r does; a program that changes TZ calls
// tzset. A leap second reads as second 59.
#include <time.h>

#include "windows.h"

// Differs from Windows: the zone is the C library's, read once per process; a leap second reads as
// second 59.
void GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    time_t seconds = now.tv_sec;
    tm local{};
    localtime_r(&seconds, &local);
    lpSystemTime->wYear = static_cast<WORD>(local.tm_year + 1900);
    lpSystemTime->wMonth = static_cast<WORD>(local.tm_mon + 1);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    lpSystemTime->wDay = static_cast<WORD>(local.tm_mday);
    lpSystemTime->wHour = static_cast<WORD>(local.tm_hour);
    lpSystemTime->wMinute = static_cast<WORD>(local.tm_min);
    lpSystemTime->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
    lpSystemTime->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}
