#include "FieldProfile.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "text/Base64.h"
#include "DoubleSupport.h"
#include "win/UniqueHandle.h"
#include "text/WideText.h"

namespace doubles {

using util::text::Narrow;
using util::text::Utf16FromBase64;
using util::text::Widen;
using util::win::UniqueHandle;

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

// Seconds with up to three decimals, at most an hour, as milliseconds.
bool ParseSeconds(const std::string& text, unsigned& ms) {
    const size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    const auto digits = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > 4 || !digits(whole) || fraction.size() > 3 || !digits(fraction) ||
        (dot != std::string::npos && fraction.empty()))
        return false;
    fraction.resize(3, '0');
    ms = static_cast<unsigned>(std::stoul(whole) * 1000 + std::stoul(fraction));
    return ms <= 3600 * 1000;
}

// "<seconds> [busy <seconds>] [lock <name>]".
bool ParseCost(const std::string& text, FieldCost& cost, std::string& error) {
    std::istringstream words(text);
    std::string word;
    if (!(words >> word) || !ParseSeconds(word, cost.totalMs)) {
        error = "a time in seconds (up to 3600, three decimals) must come first";
        return false;
    }
    bool busy = false;
    while (words >> word) {
        std::string value;
        if (!(words >> value)) {
            error = "\"" + word + "\" needs a value";
            return false;
        }
        if (Lower(word) == "busy" && !busy) {
            busy = true;
            if (!ParseSeconds(value, cost.busyMs) || cost.busyMs > cost.totalMs) {
                error = "busy time must be seconds no longer than the whole";
                return false;
            }
        } else if (Lower(word) == "lock" && cost.lock.empty()) {
            cost.lock = value;
        } else {
            error = "unknown or repeated word \"" + word + "\"";
            return false;
        }
    }
    return true;
}

bool ParseChannelKind(const std::string& text, ChannelKind& kind) {
    const std::string word = Lower(text);
    if (word == "empty") kind = ChannelKind::Empty;
    else if (word == "events") kind = ChannelKind::Events;
    else if (word == "large") kind = ChannelKind::Large;
    else return false;
    return true;
}

bool Matches(const std::string& pattern, const std::string& item) {
    const std::string p = Lower(pattern), i = Lower(item);
    if (p == "*") return true;
    if (p.size() > 1 && p.back() == '*') return i.compare(0, p.size() - 1, p, 0, p.size() - 1) == 0;
    if (p.size() > 1 && p.front() == '*')
        return i.size() >= p.size() - 1 && i.compare(i.size() - (p.size() - 1), p.size() - 1, p, 1) == 0;
    return p == i;
}

}  // namespace

bool ParseFieldProfile(const std::string& text, FieldProfile& profile, std::string& error) {
    profile = {};
    std::istringstream lines(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
    std::string section;
    int number = 0;
    std::map<std::string, bool> seenChannels;
    const auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    for (std::string raw; std::getline(lines, raw);) {
        ++number;
        const std::string line = Trimmed(raw.empty() || raw.back() != '\r' ? raw : raw.substr(0, raw.size() - 1));
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']' || Trimmed(line.substr(1, line.size() - 2)).empty())
                return fail("a section is \"[name]\"");
            section = Lower(Trimmed(line.substr(1, line.size() - 2)));
            if (section != "channels" && profile.tools.count(section)) return fail("section [" + section + "] again");
            if (section != "channels") profile.tools[section];
            continue;
        }
        if (section.empty()) return fail("every entry belongs to a section");
        const size_t equals = line.find('=');
        const std::string key = Trimmed(line.substr(0, equals));
        const std::string value = equals == std::string::npos ? "" : Trimmed(line.substr(equals + 1));
        if (key.empty()) return fail("an entry needs a name before \"=\"");
        if (section == "channels") {
            ChannelKind kind = ChannelKind::Empty;
            if (equals != std::string::npos && !ParseChannelKind(value, kind))
                return fail("a channel is empty, events or large");
            if (seenChannels[Lower(key)]) return fail("channel \"" + key + "\" listed twice");
            seenChannels[Lower(key)] = true;
            profile.channels.emplace_back(key, kind);
            continue;
        }
        if (equals == std::string::npos) return fail("a cost is \"<what> = <seconds> [busy <seconds>] [lock <name>]\"");
        std::vector<FieldProfile::Rule>& rules = profile.tools[section];
        for (const FieldProfile::Rule& rule : rules)
            if (Lower(rule.pattern) == Lower(key)) return fail("\"" + key + "\" twice in [" + section + "]");
        FieldProfile::Rule rule;
        rule.pattern = key;
        std::string why;
        if (!ParseCost(value, rule.cost, why)) return fail(why);
        rules.push_back(rule);
    }
    return true;
}

const FieldCost* FindFieldCost(const FieldProfile& profile, const std::string& tool, const std::string& item) {
    const auto rules = profile.tools.find(Lower(tool));
    if (rules == profile.tools.end()) return nullptr;
    for (const FieldProfile::Rule& rule : rules->second)
        if (Matches(rule.pattern, item)) return &rule.cost;
    return nullptr;
}

bool FindChannel(const FieldProfile& profile, const std::string& name, ChannelKind& kind) {
    for (const auto& [channel, channelKind] : profile.channels) {
        if (channel == name) {
            kind = channelKind;
            return true;
        }
    }
    return false;
}

std::string ChannelListing(const FieldProfile& profile) {
    std::string text;
    for (const auto& channel : profile.channels) text += channel.first + "\r\n";
    return text;
}

std::vector<std::string> PowershellFieldItems(const std::vector<std::wstring>& args) {
    std::wstring script;
    for (size_t i = 1; i < args.size(); ++i) {
        if (EqualsNoCase(args[i], L"-EncodedCommand")) {
            if (i + 1 >= args.size() || !Utf16FromBase64(args[i + 1], script)) return {};
            break;
        }
        script += args[i] + L" ";
    }
    std::vector<std::string> items;
    const auto add = [&items](const std::string& item) {
        if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
    };
    const std::string text = Utf8(script);
    const auto isNamePart = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'; };
    for (size_t at = 0; at < text.size();) {
        while (at < text.size() && !isNamePart(text[at])) ++at;
        size_t end = at;
        while (end < text.size() && isNamePart(text[end])) ++end;
        const std::string word = text.substr(at, end - at);
        if (Lower(word) == "get-windowsupdatelog") add("Get-WindowsUpdateLog");
        else if (StartsWithNoCase(word, "Win32_") && word.find('-') == std::string::npos) add(word);
        at = end;
    }
    return items;
}

namespace {

std::string ReadProfileFile(bool& exists) {
    UniqueHandle file(::CreateFileW(kFieldProfileFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    exists = static_cast<bool>(file);
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    while (file && ::ReadFile(file.Get(), buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
    return bytes;
}

ULONGLONG AsCount(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ULONGLONG MsSinceCreated() {
    FILETIME created, exited, kernel, user, now;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    ::GetSystemTimeAsFileTime(&now);
    return AsCount(now) > AsCount(created) ? (AsCount(now) - AsCount(created)) / 10000 : 0;
}

ULONGLONG ThreadCpu100ns() {
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    return AsCount(kernel) + AsCount(user);
}

// Real CPU work until this thread has used ms of processor time, so that doubles running at once
// share the machine's cores as the real tools would. Where thread times do not advance, it gives
// up after a generous wall time.
void SpendCpu(unsigned ms) {
    if (ms == 0) return;
    const ULONGLONG start = ThreadCpu100ns();
    const ULONGLONG wallLimit = ::GetTickCount64() + 20ull * ms + 2000;
    volatile unsigned value = 1;
    while (ThreadCpu100ns() - start < 10000ull * ms && ::GetTickCount64() < wallLimit)
        for (int i = 0; i < 100000; ++i) value = value * 1664525u + 1013904223u;
}

// Spends one cost; credit is time already gone (the process's start), taken off its waiting.
void Spend(const FieldCost& cost, unsigned& credit) {
    SpendCpu(cost.busyMs);
    const unsigned waiting = cost.totalMs - cost.busyMs;
    const unsigned taken = std::min(waiting, credit);
    credit -= taken;
    if (waiting > taken) ::Sleep(waiting - taken);
}

}  // namespace

const FieldProfile* ActiveFieldProfile() {
    static FieldProfile profile;
    static int state = 0;  // 0 not read yet, 1 none, 2 read
    if (state == 0) {
        bool exists = false;
        const std::string text = ReadProfileFile(exists);
        std::string error;
        if (exists && !ParseFieldProfile(text, profile, error)) {
            WriteErr("field profile " + Utf8(kFieldProfileFile) + ": " + error + "\r\n");
            ::ExitProcess(1);
        }
        state = exists ? 2 : 1;
    }
    return state == 2 ? &profile : nullptr;
}

void SpendFieldCosts(const std::string& tool, const std::vector<std::string>& items) {
    const FieldProfile* profile = ActiveFieldProfile();
    if (!profile) return;
    // A start-up slower than a second is not Wine's own start any more.
    unsigned credit = static_cast<unsigned>(std::min<ULONGLONG>(MsSinceCreated(), 1000));
    std::vector<const FieldCost*> costs;
    const auto rules = profile->tools.find(Lower(tool));
    if (rules != profile->tools.end())
        for (const FieldProfile::Rule& rule : rules->second)
            if (Lower(rule.pattern) == kEachCall) costs.push_back(&rule.cost);
    for (const std::string& item : items)
        if (const FieldCost* cost = FindFieldCost(*profile, tool, item)) costs.push_back(cost);
    std::string locks;
    ULONGLONG waited = 0;
    for (const FieldCost* cost : costs) {
        if (cost->lock.empty()) {
            Spend(*cost, credit);
            continue;
        }
        // The provider serves one caller at a time, machine-wide.
        const std::wstring name = L"Global\\SkeldaFieldLock-" + Widen(cost->lock, CP_UTF8);
        UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
        const ULONGLONG before = ::GetTickCount64();
        MutexLock lock(mutex.Get(), INFINITE);
        waited += ::GetTickCount64() - before;
        locks += (locks.empty() ? "" : ",") + cost->lock;
        Spend(*cost, credit);
    }
    AppendRecordLine(kFieldCostsFile, (locks.empty() ? "-" : locks) + "\t" + std::to_string(waited) + "\t" +
                                          std::to_string(MsSinceCreated()) + "\t" +
                                          Utf8(::GetCommandLineW()) + "\n");
}

}  // namespace doubles
