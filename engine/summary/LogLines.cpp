#include "summary/LogLines.h"

#include <cwctype>

#include "summary/ToolText.h"

namespace engine::summary {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// "2012-06-05\t10:21:41:123\t…" or "2017/09/29 10:21:41.1234567 …": date and time, else empty.
std::wstring LeadingTime(const std::wstring& line) {
    if (line.size() < 19 || !IsDigit(line[0]) || !IsDigit(line[3]) || (line[4] != L'-' && line[4] != L'/')) return {};
    const size_t timeEnd = line.find_first_of(L" \t,", 11);
    std::wstring time = line.substr(0, timeEnd == std::wstring::npos ? line.size() : timeEnd);
    for (wchar_t& c : time)
        if (c == L'\t') c = L' ';
    return time;
}

bool HasErrorCode(const std::wstring& line) {
    for (size_t at = line.find(L"0x8"); at != std::wstring::npos; at = line.find(L"0x8", at + 1))
        if (at + 10 <= line.size() && std::iswxdigit(line[at + 9])) return true;
    for (size_t at = line.find(L"0X8"); at != std::wstring::npos; at = line.find(L"0X8", at + 1))
        if (at + 10 <= line.size()) return true;
    return false;
}

template <class Keep>
std::vector<LogLine> Matching(const std::wstring& text, Keep keep) {
    std::vector<LogLine> found;
    size_t number = 0;
    for (const std::wstring& line : SplitLines(text)) {
        ++number;
        if (!keep(line)) continue;
        found.push_back({number, LeadingTime(line), Trimmed(line)});
    }
    return found;
}

// Inside a setup log's line, after its ">>>  " or "<<<  " or "!!!  " mark.
std::wstring AfterMark(const std::wstring& line) { return Trimmed(line.substr(3)); }

std::wstring Bracketed(const std::wstring& text) {
    if (text.size() < 2 || text.front() != L'[' || text.back() != L']') return {};
    return text.substr(1, text.size() - 2);
}

}  // namespace

std::vector<LogLine> FailedUpdateLines(const std::wstring& text) {
    return Matching(text, [](const std::wstring& line) {
        return ContainsNoCase(line, L"Installation Failure") || line.find(L"FATAL") != std::wstring::npos ||
               line.find(L"*FAILED*") != std::wstring::npos || (ContainsNoCase(line, L"fail") && HasErrorCode(line));
    });
}

std::vector<LogLine> CorruptionLines(const std::wstring& text) {
    return Matching(text, [](const std::wstring& line) {
        if (!ContainsNoCase(line, L"corrupt") && !ContainsNoCase(line, L"cannot repair")) return false;
        static const wchar_t* const kNone[] = {L"no corruption", L"no component store corruption", L"not corrupt",
                                               L"corruption was not"};
        for (const wchar_t* none : kNone)
            if (ContainsNoCase(line, none)) return false;
        // A count of none in a summary ("CSI Payload Corruption: 0").
        const std::wstring trimmed = Trimmed(line);
        const size_t colon = trimmed.rfind(L':');
        if (colon != std::wstring::npos && Trimmed(trimmed.substr(colon + 1)) == L"0") return false;
        return true;
    });
}

std::vector<DeviceInstall> FailedDeviceInstalls(const std::wstring& text) {
    std::vector<DeviceInstall> failed;
    DeviceInstall current;
    bool inSection = false;
    size_t number = 0;
    for (const std::wstring& raw : SplitLines(text)) {
        ++number;
        const std::wstring line = Trimmed(raw);
        if (line.compare(0, 3, L">>>") == 0) {
            const std::wstring rest = AfterMark(line);
            const std::wstring title = Bracketed(rest);
            if (!title.empty()) {
                current = DeviceInstall();
                current.title = title;
                current.line = number;
                inSection = true;
            } else if (inSection && StartsWithNoCase(rest, L"Section start")) {
                current.start = Trimmed(rest.substr(13));
            }
        } else if (inSection && line.compare(0, 3, L"!!!") == 0) {
            if (current.firstError.empty()) current.firstError = AfterMark(line);
        } else if (inSection && line.compare(0, 3, L"<<<") == 0) {
            const std::wstring status = Bracketed(AfterMark(line));
            if (!StartsWithNoCase(status, L"Exit status:")) continue;
            current.status = Trimmed(status.substr(12));
            if (StartsWithNoCase(current.status, L"FAILURE") && ContainsNoCase(current.title, L"Install"))
                failed.push_back(current);
            inSection = false;
        }
    }
    return failed;
}

}  // namespace engine::summary
