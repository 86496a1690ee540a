#include <cmath>
#include <ctime>

#include "vcl/sysutils.h"

namespace vcl {

namespace {
bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 0001-01-01 to the given date (proleptic Gregorian calendar).
long long DayNumber(int y, int m, int d) {
    const long long py = y - 1;
    long long n = py * 365 + py / 4 - py / 100 + py / 400;
    for (int i = 1; i < m; ++i) n += DaysInMonth(y, i);
    return n + d - 1;
}

const long long kEpoch = DayNumber(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    result = static_cast<double>(DayNumber(year, month, day) - kEpoch);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return false;
    result = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r)) throw EConvertError("Invalid argument to date encode");
    return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    TDateTime r;
    if (!TryEncodeTime(hour, minute, second, millisecond, r)) throw EConvertError("Invalid argument to time encode");
    return r;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    long long n = static_cast<long long>(std::floor(value)) + kEpoch;  // days since 0001-01-01
    // 400-year cycles have 146097 days; walk down cycles, centuries, 4-year blocks, years.
    long long y = 1 + 400 * (n / 146097);
    n %= 146097;
    long long c = std::min<long long>(n / 36524, 3);
    y += 100 * c;
    n -= c * 36524;
    y += 4 * (n / 1461);
    n %= 1461;
    long long k = std::min<long long>(n / 365, 3);
    y += k;
    n -= k * 365;
    year = static_cast<int>(y);
    month = 1;
    while (n >= DaysInMonth(year, month)) n -= DaysInMonth(year, month++);
    day = static_cast<int>(n) + 1;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
    const double frac = value - std::floor(value);
    long long ms = std::llround(frac * kMsPerDay);
    if (ms >= 86400000) ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    millisecond = static_cast<int>(ms % 1000);
}

TDateTime Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(ts.tv_nsec / 1000000));
}

TDateTime Date() { return std::floor(Now()); }

}  // namespace vcl
