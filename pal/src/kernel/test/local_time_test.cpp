#include <gtest/gtest.h>

#include <time.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "windows.h"

namespace {

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Sets TZ for the test and puts back what was there.
class TimeZone {
public:
    TimeZone() {
        const char* tz = getenv("TZ");
        had_ = tz != nullptr;
        saved_ = had_ ? tz : "";
    }
    ~TimeZone() {
        had_ ? setenv("TZ", saved_.c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    void Set(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }

private:
    bool had_;
    std::string saved_;
};

TEST(GetLocalTime, IsTheCurrentInstantInTheProcessZone) {
    struct Zone {
        const char* tz;
        int offsetMinutes;  // local time minus UTC
    };
    const Zone zones[] = {{"UTC0", 0},
                          {"CST-8", 8 * 60},
                          {"<-0330>3:30", -(3 * 60 + 30)},
                          {"<+0545>-5:45", 5 * 60 + 45}};
    TimeZone zone;
    for (const Zone& z : zones) {
        zone.Set(z.tz);
        int64_t before = NowMs();
        SYSTEMTIME st{};
        GetLocalTime(&st);
        int64_t after = NowMs();

        tm fields{};
        fields.tm_year = st.wYear - 1900;
        fields.tm_mon = st.wMonth - 1;
        fields.tm_mday = st.wDay;
        fields.tm_hour = st.wHour;
        fields.tm_min = st.wMinute;
        fields.tm_sec = st.wSecond;
        time_t localSeconds = timegm(&fields);  // the fields as if they were UTC
        int64_t instant =
            (static_cast<int64_t>(localSeconds) - z.offsetMinutes * 60) * 1000 + st.wMilliseconds;
        EXPECT_GE(instant, before) << z.tz;
        EXPECT_LE(instant, after) << z.tz;
        EXPECT_EQ(st.wDayOfWeek, fields.tm_wday) << z.tz << ": timegm normalises the weekday";
        EXPECT_GE(st.wMonth, 1);
        EXPECT_LE(st.wMonth, 12);
        EXPECT_LT(st.wMilliseconds, 1000);
    }
}

}  // namespace
