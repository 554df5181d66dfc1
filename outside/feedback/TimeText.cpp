#include "TimeText.h"

#include <cstdio>

namespace outside {

namespace {

constexpr int64_t kFileTimeOfUnixEpoch = 116444736000000000LL;  // 1970-01-01 in 100 ns units since 1601
constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

int64_t UnixSecondsFromFileTime(const FILETIME& time) {
    const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return FloorDiv(ticks - kFileTimeOfUnixEpoch, 10000000);
}

std::optional<int32_t> ParseTimeText(const wchar_t* text) {
    if (!text) return std::nullopt;
    const wchar_t* p = text;
    const bool negative = *p == L'-';
    if (negative) ++p;
    if (*p == L'\0') return std::nullopt;
    int64_t value = 0;
    for (; *p; ++p) {
        if (*p < L'0' || *p > L'9') return std::nullopt;
        value = value * 10 + (*p - L'0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::string UtcText(int64_t seconds) {
    const int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const int64_t inDay = seconds - days * kSecondsPerDay;
    // Civil date from a day count (proleptic Gregorian calendar, eras of 400 years).
    const int64_t z = days + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(inDay / 3600),
                  static_cast<long long>(inDay / 60 % 60), static_cast<long long>(inDay % 60));
    return text;
}

}  // namespace outside
