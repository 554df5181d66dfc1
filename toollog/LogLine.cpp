#include "toollog/LogLine.h"

#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace toollog {

std::string TimeStamp(const SYSTEMTIME& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "[%04d-%02d-%02d %02d:%02d:%02d %03dms]   ", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return buf;
}

std::string EntryBytes(const SYSTEMTIME& time, const std::string& text) {
    std::string out = TimeStamp(time);
    const std::string line = text + "\r\n";
    for (char c : line) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

bool PrintSwitchOn(const std::wstring& value) {
    size_t begin = 0;
    size_t end = value.size();
    while (begin < end && std::iswspace(value[begin])) ++begin;
    while (end > begin && std::iswspace(value[end - 1])) --end;
    const std::wstring trimmed = value.substr(begin, end - begin);
    return std::wcstol(trimmed.c_str(), nullptr, 10) == 1;
}

}  // namespace toollog
