#include "summary/SummaryBuilder.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "summary/EventText.h"
#include "summary/LogLines.h"
#include "summary/PowerShellList.h"
#include "summary/SummaryTexts.h"
#include "summary/ToolText.h"
#include "summary/WmicText.h"

namespace engine::summary {

namespace {

constexpr size_t kMaxReportBytes = 64u << 20;  // a WMIC or PowerShell report is read whole up to this
constexpr size_t kShownLines = 20;              // of long lists, only the latest are shown
constexpr size_t kShownEvents = 5;

std::wstring Joined(const std::wstring& folder, const std::wstring& name) { return folder + L"/" + name; }

// Why a file is not there: the step that should have written it, or that none was run.
std::wstring WhyMissing(const SummaryInputs& inputs, const std::wstring& relative) {
    for (const StepFact& step : inputs.steps) {
        if (step.output != relative && step.output.compare(0, relative.size() + 1, relative + L"/") != 0) continue;
        if (step.outcome == L"ok") return texts::kFileMissing;
        return std::wstring(texts::kStepWas) + L" " + step.outcome + (step.reason.empty() ? L"" : L"：" + step.reason);
    }
    return texts::kNotCollected;
}

struct ReadText {
    bool present = false;
    std::wstring text;
    bool tail = false;
    std::wstring why;  // not present: why not
};

ReadText ReadSource(const SummaryInputs& inputs, const std::wstring& relative, size_t maxBytes) {
    const SourceFile file = inputs.folder->Read(relative, maxBytes);
    ReadText read;
    read.present = file.present;
    read.tail = file.tail;
    if (file.present) read.text = DecodeToolText(file.bytes, inputs.codePage);
    else if (file.readError) read.why = std::wstring(texts::kUnreadable) + L" " + std::to_wstring(file.readError);
    else read.why = WhyMissing(inputs, relative);
    return read;
}

Section Started(const wchar_t* title, const char* countName, std::vector<std::wstring> sources) {
    Section section;
    section.title = title;
    section.countName = countName ? countName : "";
    section.sources = std::move(sources);
    return section;
}

// Reads one WMIC or PowerShell report into instances; where none can be had the section says why.
template <class Parse>
std::vector<Properties> ReadInstances(const SummaryInputs& inputs, const std::wstring& relative, Section& section,
                                      Parse parse) {
    const ReadText read = ReadSource(inputs, relative, kMaxReportBytes);
    if (!read.present) {
        section.unavailable = read.why;
        return {};
    }
    std::vector<Properties> instances = parse(read.text);
    if (instances.empty()) section.unavailable = texts::kNothingReadable;
    return instances;
}

// Said where only the end of a long log was read.
std::wstring TailNote(const SummaryInputs& inputs) {
    return std::wstring(texts::kTailOnly) + L" " + SizeText(inputs.maxLogBytes);
}

// Of many rows only the latest kShownLines stay (the count says how many there were).
void KeepLatest(std::vector<Row>& rows) {
    if (rows.size() > kShownLines) rows.erase(rows.begin(), rows.end() - kShownLines);
}

std::wstring WithProperty(const wchar_t* label, const wchar_t* property) {
    return std::wstring(label) + L" (" + property + L")";
}

// One row of a machine section: its label, the value or why there is none, the property.
void AddFact(Section& section, const wchar_t* label, const std::wstring* value, const wchar_t* property,
             const std::wstring& shown) {
    std::wstring cell = shown;
    if (!value) cell = std::wstring(texts::kNotAvailable) + L"：" + texts::kPropertyMissing;
    else if (Trimmed(*value).empty()) cell = texts::kNotAvailable;
    section.rows.push_back({{label, cell, property}, section.sources.front()});
}

std::wstring KilobytesText(const std::wstring* value) {
    unsigned long long kb = 0;
    return value && ParseNumber(*value, kb) ? SizeText(kb * 1024) : (value ? *value : std::wstring());
}

std::wstring DmtfOrAsIs(const std::wstring* value) {
    if (!value) return {};
    const std::wstring text = DmtfText(*value);
    return text.empty() ? Trimmed(*value) : text;
}

void AddFact(Section& section, const wchar_t* label, const Properties& instance, const wchar_t* property) {
    const std::wstring* value = instance.Find(property);
    AddFact(section, label, value, property, DmtfOrAsIs(value));
}

std::wstring DurationText(long long seconds) {
    const long long days = seconds / 86400, hours = seconds % 86400 / 3600, minutes = seconds % 3600 / 60;
    return std::to_wstring(days) + L" " + texts::kDays + L" " + std::to_wstring(hours) + L" " + texts::kHours + L" " +
           std::to_wstring(minutes) + L" " + texts::kMinutes;
}

std::wstring Percent(unsigned long long part, unsigned long long whole) {
    wchar_t text[16];
    swprintf(text, 16, L"%.1f%%", whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return text;
}

// --- problems ---

Section StepsNotOk(const SummaryInputs& inputs) {
    Section section = Started(texts::kStepsNotOk, "steps_not_ok", {inputs.reportFile});
    section.headers = {texts::kStep, texts::kOutcome, texts::kReason};
    for (const StepFact& step : inputs.steps) {
        if (step.outcome == L"ok") continue;
        const SourceFile output = step.output.empty() ? SourceFile() : inputs.folder->Read(step.output, 0);
        section.rows.push_back({{step.what, step.outcome, step.reason},
                                output.present || output.readError ? step.output : inputs.reportFile});
    }
    section.count = static_cast<int>(section.rows.size());
    return section;
}

Section DisksLow(const std::vector<Properties>& disks, const std::wstring& why) {
    Section section = Started(texts::kDisksLow, "disks_low", {sources::kLogicalDisks});
    section.unavailable = why;
    section.headers = {WithProperty(texts::kDrive, L"DeviceID"), WithProperty(texts::kFree, L"FreeSpace"),
                       WithProperty(texts::kSize, L"Size"), texts::kFreeShare};
    for (const Properties& disk : disks) {
        unsigned long long size = 0, free = 0, type = 0;
        if (!ParseNumber(disk.Get(L"DriveType"), type) || type != 3) continue;  // local disks only
        if (!ParseNumber(disk.Get(L"Size"), size) || !ParseNumber(disk.Get(L"FreeSpace"), free) || size == 0) continue;
        if (free * 10 >= size) continue;
        section.rows.push_back({{disk.Get(L"DeviceID"), SizeText(free), SizeText(size), Percent(free, size)},
                                sources::kLogicalDisks});
    }
    section.count = static_cast<int>(section.rows.size());
    return section;
}

// "2017-03-28T09:42:05.478" (or with more digits and "Z") as "2017-03-28 09:42:05".
std::wstring EventTime(const std::wstring& date) {
    std::wstring time = date.substr(0, date.find(L'.'));
    if (time.size() > 10 && time[10] == L'T') time[10] = L' ';
    return time;
}

void EventSections(const SummaryInputs& inputs, std::vector<Section>& problems) {
    std::vector<std::wstring> files;
    for (const wchar_t* log : sources::kRecentEventLogs) files.push_back(RecentEventsFile(log));
    Section bySource = Started(texts::kEventsBySource, "error_events", files);
    Section latest = Started(texts::kLatestEvents, nullptr, files);
    bySource.headers = {WithProperty(texts::kLog, L"Log Name"), WithProperty(texts::kSource, L"Source"),
                        texts::kCount};
    latest.headers = {WithProperty(texts::kTime, L"Date"), WithProperty(texts::kSource, L"Source"),
                      WithProperty(L"ID", L"Event ID"), WithProperty(texts::kLevel, L"Level"),
                      WithProperty(texts::kDescription, L"Description")};
    struct Found {
        EventEntry event;
        std::wstring file;
    };
    struct SourceCount {
        std::wstring log, source, file;
        int count = 0;
    };
    std::vector<Found> serious;
    std::vector<std::wstring> missing;
    std::vector<SourceCount> counts;
    size_t read = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const ReadText text = ReadSource(inputs, files[i], kMaxReportBytes);
        if (!text.present) {
            missing.push_back(std::wstring(sources::kRecentEventLogs[i]) + L"：" + text.why);
            continue;
        }
        ++read;
        for (EventEntry& event : ParseEventText(text.text)) {
            if (event.level != EventLevel::Critical && event.level != EventLevel::Error) continue;
            const std::wstring log = event.log.empty() ? sources::kRecentEventLogs[i] : event.log;
            auto at = std::find_if(counts.begin(), counts.end(),
                                   [&](const SourceCount& c) { return c.log == log && c.source == event.source; });
            if (at == counts.end()) at = counts.insert(counts.end(), {log, event.source, files[i]});
            ++at->count;
            serious.push_back({std::move(event), files[i]});
        }
    }
    if (read == 0) {
        std::wstring why;
        for (const std::wstring& one : missing) why += (why.empty() ? L"" : L"；") + one;
        bySource.unavailable = latest.unavailable = why;
    } else if (!missing.empty()) {
        std::wstring note = texts::kNotAvailable;
        for (const std::wstring& one : missing) note += L"：" + one;
        bySource.note = latest.note = note;
    }
    // Most first; the same count by log, then source.
    std::sort(counts.begin(), counts.end(), [](const SourceCount& a, const SourceCount& b) {
        return a.count != b.count ? a.count > b.count : std::tie(a.log, a.source) < std::tie(b.log, b.source);
    });
    for (const SourceCount& c : counts) bySource.rows.push_back({{c.log, c.source, std::to_wstring(c.count)}, c.file});
    bySource.count = static_cast<int>(serious.size());
    std::stable_sort(serious.begin(), serious.end(),
                     [](const Found& a, const Found& b) { return a.event.date > b.event.date; });
    for (size_t i = 0; i < serious.size() && i < kShownEvents; ++i) {
        const EventEntry& event = serious[i].event;
        latest.rows.push_back({{EventTime(event.date), event.source, event.id, event.levelText, event.description}, serious[i].file});
    }
    problems.push_back(std::move(bySource));
    problems.push_back(std::move(latest));
}

// Lines of one log file that tell of faults, the latest kShownLines shown.
Section LogSection(const SummaryInputs& inputs, const wchar_t* title, const char* countName,
                   const std::wstring& relative, std::vector<LogLine> (*find)(const std::wstring&)) {
    Section section = Started(title, countName, {relative});
    section.headers = {texts::kTime, texts::kLine, texts::kValue};
    const ReadText read = ReadSource(inputs, relative, inputs.maxLogBytes);
    if (!read.present) {
        section.unavailable = read.why;
        return section;
    }
    const std::vector<LogLine> lines = find(read.text);
    section.count = static_cast<int>(lines.size());
    if (read.tail) section.note = TailNote(inputs);
    for (const LogLine& line : lines) section.rows.push_back({{line.time, std::to_wstring(line.number), line.text}, relative});
    KeepLatest(section.rows);
    return section;
}

// The log files of a copied folder whose names start with prefix and end in ".log".
std::vector<std::wstring> LogFiles(const SummaryInputs& inputs, const std::wstring& folder, const std::wstring& prefix) {
    std::vector<std::wstring> names;
    for (const std::wstring& name : inputs.folder->Files(folder)) {
        if (!StartsWithNoCase(name, prefix) || name.size() < 4 || !StartsWithNoCase(name.substr(name.size() - 4), L".log"))
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The rows each log file of a copied folder gives (files named prefix…".log"); the count is
// of all of them, the latest kShownLines are shown.
template <class RowsOf>
void FillFromLogs(const SummaryInputs& inputs, const wchar_t* folder, const wchar_t* prefix, Section& section,
                  RowsOf rowsOf) {
    const std::vector<std::wstring> names = LogFiles(inputs, folder, prefix);
    if (names.empty()) {
        section.unavailable = WhyMissing(inputs, folder);
        return;
    }
    std::vector<Row> rows;
    for (const std::wstring& name : names) {
        const std::wstring relative = Joined(folder, name);
        const ReadText read = ReadSource(inputs, relative, inputs.maxLogBytes);
        if (!read.present) {
            // The others still count; this one is named, never counted as holding nothing.
            section.note += (section.note.empty() ? L"" : L"；") + std::wstring(texts::kNotAvailable) + L"：" + name +
                            L"：" + read.why;
            continue;
        }
        if (read.tail) section.note = TailNote(inputs);
        for (std::vector<std::wstring>& cells : rowsOf(name, read.text)) rows.push_back({std::move(cells), relative});
    }
    section.count = static_cast<int>(rows.size());
    KeepLatest(rows);
    section.rows = std::move(rows);
}

Section Corruption(const SummaryInputs& inputs) {
    Section section = Started(texts::kCorruption, "cbs_corruption", {sources::kCbsFolder});
    section.headers = {texts::kFile, texts::kTime, texts::kValue};
    FillFromLogs(inputs, sources::kCbsFolder, L"", section, [](const std::wstring& name, const std::wstring& text) {
        std::vector<std::vector<std::wstring>> rows;
        for (const LogLine& line : CorruptionLines(text)) rows.push_back({name, line.time, line.text});
        return rows;
    });
    return section;
}

Section DeviceInstalls(const SummaryInputs& inputs) {
    Section section = Started(texts::kFailedDeviceInstalls, "failed_device_installs", {sources::kSetupFolder});
    section.headers = {texts::kSection, texts::kTime, texts::kStatus, texts::kFirstError};
    FillFromLogs(inputs, sources::kSetupFolder, L"setupapi.dev", section, [](const std::wstring&, const std::wstring& text) {
        std::vector<std::vector<std::wstring>> rows;
        for (const DeviceInstall& install : FailedDeviceInstalls(text))
            rows.push_back({install.title, install.start, install.status, install.firstError});
        return rows;
    });
    return section;
}

Section ProblemDevices(const SummaryInputs& inputs) {
    Section section = Started(texts::kProblemDevices, "problem_devices", {sources::kPnpEntities});
    section.headers = {WithProperty(texts::kDevice, L"Name"), WithProperty(texts::kProblemCode, L"ConfigManagerErrorCode"),
                       L"DeviceID"};
    for (const Properties& device : ReadInstances(inputs, sources::kPnpEntities, section, ParsePowerShellList)) {
        unsigned long long code = 0;
        if (!ParseNumber(device.Get(L"ConfigManagerErrorCode"), code) || code == 0) continue;
        section.rows.push_back({{device.Get(L"Name"), std::to_wstring(code), device.Get(L"DeviceID")}, sources::kPnpEntities});
    }
    section.count = static_cast<int>(section.rows.size());
    return section;
}

Section StoppedServices(const SummaryInputs& inputs) {
    Section section = Started(texts::kStoppedServices, "stopped_auto_services", {sources::kServices});
    section.headers = {WithProperty(texts::kService, L"DisplayName"), L"Name", WithProperty(texts::kState, L"State"),
                       L"ExitCode"};
    for (const Properties& service : ReadInstances(inputs, sources::kServices, section, ParseListFull)) {
        if (Trimmed(service.Get(L"StartMode")) != L"Auto" || Trimmed(service.Get(L"State")) == L"Running") continue;
        section.rows.push_back({{service.Get(L"DisplayName"), service.Get(L"Name"), service.Get(L"State"),
                                 service.Get(L"ExitCode")},
                                sources::kServices});
    }
    section.count = static_cast<int>(section.rows.size());
    return section;
}

// "3/14/2023", "20230314" or "2023-03-14" as "2023-03-14" (sortable); empty for anything else.
std::wstring HotFixDate(const std::wstring& text) {
    const std::wstring value = Trimmed(text);
    int year = 0, month = 0, day = 0;
    wchar_t rest = 0;
    if (swscanf(value.c_str(), L"%d/%d/%d%lc", &month, &day, &year, &rest) == 3 ||
        (value.size() == 8 && swscanf(value.c_str(), L"%4d%2d%2d%lc", &year, &month, &day, &rest) == 3) ||
        swscanf(value.c_str(), L"%d-%d-%d%lc", &year, &month, &day, &rest) == 3) {
        if (year < 1990 || month < 1 || month > 12 || day < 1 || day > 31) return {};
        wchar_t date[16];
        swprintf(date, 16, L"%04d-%02d-%02d", year, month, day);
        return date;
    }
    return {};
}

Section InstalledUpdates(const SummaryInputs& inputs) {
    Section section = Started(texts::kInstalledUpdates, nullptr, {sources::kHotFixes});
    section.headers = {WithProperty(texts::kUpdate, L"HotFixID"), WithProperty(texts::kInstalledOn, L"InstalledOn"),
                       L"Description"};
    std::vector<std::pair<std::wstring, const Properties*>> dated;
    const std::vector<Properties> fixes = ReadInstances(inputs, sources::kHotFixes, section, ParseListFull);
    for (const Properties& fix : fixes) dated.emplace_back(HotFixDate(fix.Get(L"InstalledOn")), &fix);
    std::stable_sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    if (!fixes.empty())
        section.note = std::wstring(texts::kInAll) + L" " + std::to_wstring(fixes.size()) + L" " + texts::kPieces +
                       (fixes.size() > kShownEvents ? std::wstring(L"；") + texts::kShownOf + L" " +
                                                          std::to_wstring(kShownEvents) + L" " + texts::kPieces
                                                    : std::wstring());
    for (size_t i = 0; i < dated.size() && i < kShownEvents; ++i)
        section.rows.push_back({{dated[i].second->Get(L"HotFixID"),
                                 dated[i].first.empty() ? dated[i].second->Get(L"InstalledOn") : dated[i].first,
                                 dated[i].second->Get(L"Description")},
                                sources::kHotFixes});
    return section;
}

// --- the machine ---

Section Windows(const SummaryInputs& inputs, std::vector<Properties>& os) {
    Section section = Started(texts::kWindows, nullptr, {sources::kOperatingSystem});
    section.headers = {texts::kItem, texts::kValue, texts::kProperty};
    os = ReadInstances(inputs, sources::kOperatingSystem, section, ParseTable);
    if (os.empty()) return section;
    const Properties& system = os.front();
    AddFact(section, texts::kEdition, system, L"Caption");
    AddFact(section, texts::kVersion, system, L"Version");
    AddFact(section, texts::kBuild, system, L"BuildNumber");
    AddFact(section, texts::kArchitecture, system, L"OSArchitecture");
    AddFact(section, texts::kInstallDate, system.Find(L"InstallDate"), L"InstallDate", DmtfOrAsIs(system.Find(L"InstallDate")));
    const std::wstring* boot = system.Find(L"LastBootUpTime");
    AddFact(section, texts::kLastBoot, boot, L"LastBootUpTime", DmtfOrAsIs(boot));
    const std::wstring* now = system.Find(L"LocalDateTime");
    long long seconds = 0;
    const bool known = boot && now && DmtfSecondsBetween(*boot, *now, seconds) && seconds >= 0;
    AddFact(section, texts::kUptime, known ? now : nullptr, L"LocalDateTime − LastBootUpTime",
            known ? DurationText(seconds) : std::wstring());
    return section;
}

Section Memory(const std::vector<Properties>& os, const std::wstring& why) {
    Section section = Started(texts::kMemory, nullptr, {sources::kOperatingSystem});
    section.headers = {texts::kItem, texts::kValue, texts::kProperty};
    section.unavailable = why;
    if (os.empty()) return section;
    const std::wstring* total = os.front().Find(L"TotalVisibleMemorySize");
    const std::wstring* free = os.front().Find(L"FreePhysicalMemory");
    AddFact(section, texts::kMemoryTotal, total, L"TotalVisibleMemorySize", KilobytesText(total));
    AddFact(section, texts::kMemoryFree, free, L"FreePhysicalMemory", KilobytesText(free));
    return section;
}

Section Facts(const SummaryInputs& inputs, const wchar_t* title, const wchar_t* source,
              const std::vector<std::pair<const wchar_t*, const wchar_t*>>& items) {
    Section section = Started(title, nullptr, {source});
    section.headers = {texts::kItem, texts::kValue, texts::kProperty};
    const std::vector<Properties> instances = ReadInstances(inputs, source, section, ParseListFull);
    for (const Properties& instance : instances)
        for (const auto& [label, property] : items) AddFact(section, label, instance, property);
    return section;
}

Section Disks(const std::vector<Properties>& disks, const std::wstring& why) {
    Section section = Started(texts::kDisks, nullptr, {sources::kLogicalDisks});
    section.unavailable = why;
    section.headers = {WithProperty(texts::kDrive, L"DeviceID"), WithProperty(texts::kName, L"VolumeName"),
                       WithProperty(texts::kFileSystem, L"FileSystem"), WithProperty(texts::kSize, L"Size"),
                       WithProperty(texts::kFree, L"FreeSpace"), texts::kFreeShare};
    for (const Properties& disk : disks) {
        unsigned long long size = 0, free = 0;
        const bool sized = ParseNumber(disk.Get(L"Size"), size) && size > 0;
        const bool freeKnown = ParseNumber(disk.Get(L"FreeSpace"), free);
        section.rows.push_back({{disk.Get(L"DeviceID"), disk.Get(L"VolumeName"), disk.Get(L"FileSystem"),
                                 sized ? SizeText(size) : texts::kNotAvailable,
                                 freeKnown ? SizeText(free) : texts::kNotAvailable,
                                 sized && freeKnown ? Percent(free, size) : texts::kNotAvailable},
                                sources::kLogicalDisks});
    }
    return section;
}

bool ParseDmtf(const std::wstring& text, long long& secondsSinceEpoch) {
    const std::wstring value = Trimmed(text);
    if (value.size() < 14) return false;
    for (size_t i = 0; i < 14; ++i)
        if (value[i] < L'0' || value[i] > L'9') return false;
    auto number = [&](size_t at, size_t n) { return std::stoi(value.substr(at, n)); };
    const int y = number(0, 4), m = number(4, 2), d = number(6, 2);
    if (m < 1 || m > 12 || d < 1 || d > 31) return false;
    // Days from the civil date (Howard Hinnant's algorithm).
    const int yy = y - (m <= 2);
    const int era = (yy >= 0 ? yy : yy - 399) / 400;
    const int yoe = yy - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = static_cast<long long>(era) * 146097 + doe - 719468;
    secondsSinceEpoch = days * 86400 + number(8, 2) * 3600 + number(10, 2) * 60 + number(12, 2);
    // The offset from UTC in minutes: "+480".
    if (value.size() >= 25 && (value[21] == L'+' || value[21] == L'-')) {
        unsigned long long minutes = 0;
        if (ParseNumber(value.substr(22, 3), minutes))
            secondsSinceEpoch -= (value[21] == L'+' ? 1 : -1) * static_cast<long long>(minutes) * 60;
    }
    return true;
}

}  // namespace

std::wstring RecentEventsFile(const std::wstring& log) {
    return api::CategoryFolder(api::kSystemLog) + L"/" + api::kRecentEventsFolder + L"/" + log + L".txt";
}

std::wstring DmtfText(const std::wstring& dmtf) {
    long long ignored = 0;
    if (!ParseDmtf(dmtf, ignored)) return {};
    const std::wstring v = Trimmed(dmtf);
    return v.substr(0, 4) + L"-" + v.substr(4, 2) + L"-" + v.substr(6, 2) + L" " + v.substr(8, 2) + L":" + v.substr(10, 2) +
           L":" + v.substr(12, 2);
}

bool DmtfSecondsBetween(const std::wstring& a, const std::wstring& b, long long& seconds) {
    long long from = 0, to = 0;
    if (!ParseDmtf(a, from) || !ParseDmtf(b, to)) return false;
    seconds = to - from;
    return true;
}

std::wstring SizeText(unsigned long long bytes) {
    static const wchar_t* const kUnits[] = {L"B", L"KB", L"MB", L"GB", L"TB", L"PB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 5) {
        value /= 1024;
        ++unit;
    }
    wchar_t text[32];
    if (unit == 0) swprintf(text, 32, L"%llu B", bytes);
    else swprintf(text, 32, L"%.1f %ls", value, kUnits[unit]);
    return text;
}

std::wstring ProblemCountsText(const Summary& summary) {
    std::wstring text;
    for (const Section& section : summary.problems) {
        if (section.countName.empty()) continue;
        text += (text.empty() ? L"" : L";") + std::wstring(section.countName.begin(), section.countName.end()) + L"=" +
                (section.Available() ? std::to_wstring(section.count) : L"-");
    }
    return text;
}

Summary BuildSummary(const SummaryInputs& inputs) {
    Summary summary;
    Section diskSource;
    const std::vector<Properties> disks = ReadInstances(inputs, sources::kLogicalDisks, diskSource, ParseListFull);
    summary.problems.push_back(StepsNotOk(inputs));
    summary.problems.push_back(DisksLow(disks, diskSource.unavailable));
    EventSections(inputs, summary.problems);
    summary.problems.push_back(LogSection(inputs, texts::kFailedUpdates, "failed_updates", sources::kUpdateLog,
                                          FailedUpdateLines));
    summary.problems.push_back(InstalledUpdates(inputs));
    summary.problems.push_back(Corruption(inputs));
    summary.problems.push_back(DeviceInstalls(inputs));
    summary.problems.push_back(ProblemDevices(inputs));
    summary.problems.push_back(StoppedServices(inputs));

    std::vector<Properties> os;
    summary.machine.push_back(Windows(inputs, os));
    summary.machine.push_back(Facts(inputs, texts::kComputer, sources::kComputerSystem,
                                    {{texts::kMaker, L"Manufacturer"}, {texts::kModel, L"Model"}, {texts::kSystemType, L"SystemType"}}));
    summary.machine.push_back(Facts(inputs, texts::kBios, sources::kBios,
                                    {{texts::kMaker, L"Manufacturer"},
                                     {texts::kBiosVersion, L"SMBIOSBIOSVersion"},
                                     {texts::kBiosDate, L"ReleaseDate"}}));
    summary.machine.push_back(Facts(inputs, texts::kProcessor, sources::kProcessors,
                                    {{texts::kName, L"Name"},
                                     {texts::kCores, L"NumberOfCores"},
                                     {texts::kThreads, L"NumberOfLogicalProcessors"}}));
    summary.machine.push_back(Memory(os, summary.machine.front().unavailable));
    summary.machine.push_back(Disks(disks, diskSource.unavailable));
    return summary;
}

}  // namespace engine::summary
