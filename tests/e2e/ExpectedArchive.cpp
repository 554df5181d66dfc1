// Says what a collection run in a test prefix must produce, from the catalogues, the event-log
// listing of the wevtutil test double and the log folders found in the prefix.
//   ExpectedArchive files <categories>                 archive entries, files and folders
//   ExpectedArchive commands <categories> <module folder>  command lines the test doubles record
//   ExpectedArchive commands-nowmic <categories> <module folder>  the same on a system without WMIC
//   ExpectedArchive aliases <categories>               per WMIC report: archive path, alias, form
//                                                      (list or table), its properties and class
// <categories> as SkeldaCollect takes them. Output: UTF-8, one entry a line, "/" between folders
// for archive entries.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "api/Categories.h"
#include "CollectOptions.h"
#include "EventLogListing.h"
#include "plan/StepPlan.h"
#include "run/RunLimits.h"
#include "steps/AliasScript.h"
#include "steps/EventLogListing.h"
#include "text/WideText.h"
#include "win/Locales.h"

namespace {

using Switches = std::array<int, engine::api::kCategories>;
using namespace engine::api;  // the category names

void PrintLine(const std::wstring& line) {
    const std::string utf8 = util::text::Narrow(line, CP_UTF8);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
}

std::vector<std::wstring> EventLogNames() {
    return engine::steps::EventLogNames(util::text::Widen(doubles::EventLogListing(), CP_ACP));
}

// Files below folder matching pattern, folders whole, as archive paths under prefix.
void AddTree(const std::wstring& folder, const std::wstring& pattern, const std::wstring& prefix,
             std::set<std::wstring>& entries) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.insert(prefix + L"/" + name);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) AddTree(folder + L"\\" + name, L"*", prefix + L"/" + name, entries);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

std::wstring Slashed(std::wstring path) {
    for (wchar_t& c : path) if (c == L'\\') c = L'/';
    return path;
}

bool On(const Switches& s, const std::wstring& folder) {
    const int index = engine::api::CategoryIndexOf(folder);
    return index >= 0 && s[index];
}

std::set<std::wstring> Files(const Switches& s) {
    std::set<std::wstring> entries;
    if (s[kSystemLog]) {
        for (const wchar_t* log : engine::api::kRecentEventLogs)
            entries.insert(CategoryFolder(kSystemLog) + L"/" + engine::api::kRecentEventsFolder + L"/" + log + L".txt");
        for (const auto& name : EventLogNames()) {
            const std::wstring file = engine::plan::EventLogFileName(name);
            entries.insert(CategoryFolder(kSystemLog) + L"/" + file);
            if (!doubles::EventLogHoldsEvents(util::text::Narrow(name, CP_ACP))) continue;
            // Its texts, for each locale: "LocaleMetaData/<file>_<LCID>.MTA".
            for (const auto& locale : util::win::DisplayAndEnglishLocales())
                entries.insert(Slashed(engine::plan::EventLogTextsFile(CategoryFolder(kSystemLog) + L"\\" + file,
                                                                       locale.lcid)));
        }
    }
    if (s[kUpdateLog]) entries.insert(CategoryFolder(kUpdateLog) + L"/WindowsUpdate.log");
    if (s[kCbsLog]) AddTree(L"C:\\Windows\\Logs\\CBS", L"*", CategoryFolder(kCbsLog), entries);
    if (s[kInfLog]) AddTree(L"C:\\windows\\inf", L"setupapi*.log", CategoryFolder(kInfLog), entries);
    if (s[kOperatingSystem]) entries.insert(CategoryFolder(kOperatingSystem) + L"/系统信息/系统信息.txt");

    engine::catalogue::FolderCatalogue wmic, device, system;
    engine::catalogue::BuildCatalogues(wmic, device, system);
    for (const auto* catalogue : {&wmic, &device, &system}) {
        for (const auto& [folder, rows] : *catalogue) {
            if (!On(s, folder)) continue;
            for (const auto& row : rows) entries.insert(Slashed(folder) + L"/" + row.label + L".txt");
        }
    }
    // The run's report and its summary, whatever was switched on.
    entries.insert(engine::api::kReportTextName);
    entries.insert(engine::api::kReportJsonName);
    entries.insert(engine::api::kSummaryHtmlName);
    entries.insert(engine::api::kSummaryTextName);
    // Every folder along the way is an entry of its own.
    std::set<std::wstring> all = entries;
    for (const auto& entry : entries) {
        for (size_t pos = entry.find(L'/'); pos != std::wstring::npos; pos = entry.find(L'/', pos + 1)) {
            all.insert(entry.substr(0, pos));
        }
    }
    return all;
}

std::vector<std::wstring> Commands(const Switches& s, const std::wstring& moduleFolder, bool haveWmic) {
    std::vector<std::wstring> lines;
    const std::wstring work = moduleFolder + L"SystemInfoLog\\";
    if (s[kSystemLog]) {
        for (const wchar_t* log : engine::api::kRecentEventLogs) lines.push_back(engine::plan::RecentEventsCommand(log));
        lines.push_back(L"wevtutil el");
        for (const auto& name : EventLogNames()) {
            const auto step = engine::plan::EventLogExportStep(name, work + CategoryFolder(kSystemLog),
                                                               util::win::DisplayAndEnglishLocales());
            lines.push_back(step.what);
            if (doubles::EventLogHoldsEvents(util::text::Narrow(name, CP_ACP)))
                for (const auto& texts : step.then) lines.push_back(texts.what);
        }
    }
    if (s[kUpdateLog])
        lines.push_back(engine::plan::UpdateLogCommand(work + CategoryFolder(kUpdateLog) + L"\\WindowsUpdate.log"));
    if (s[kOperatingSystem]) lines.push_back(L"systeminfo");
    engine::catalogue::FolderCatalogue wmic, device, system;
    engine::catalogue::BuildCatalogues(wmic, device, system);
    for (const auto& [folder, rows] : wmic) {
        if (!On(s, folder)) continue;
        if (!haveWmic) {
            for (const auto& batch : engine::steps::AliasBatches(rows))
                lines.push_back(engine::steps::AliasCommandLine(batch.aliases, engine::run::RunLimits{}.commandMs));
            continue;
        }
        for (const auto& row : rows) lines.push_back(engine::catalogue::WmicReport(row.key, folder, row.label).commandLine);
    }
    for (const auto* catalogue : {&device, &system}) {
        for (const auto& [folder, rows] : *catalogue) {
            if (!On(s, folder)) continue;
            for (const auto& row : rows) lines.push_back(engine::catalogue::WmiClassReport(row.key, folder, row.label).commandLine);
        }
    }
    return lines;
}

std::vector<std::wstring> AliasReports(const Switches& s) {
    std::vector<std::wstring> lines;
    engine::catalogue::FolderCatalogue wmic, device, system;
    engine::catalogue::BuildCatalogues(wmic, device, system);
    for (const auto& [folder, rows] : wmic) {
        if (!On(s, folder)) continue;
        for (const auto& row : rows) {
            const engine::catalogue::WmiAlias* alias = engine::catalogue::FindWmiAlias(row.key);
            lines.push_back(Slashed(folder) + L"/" + row.label + L".txt\t" + row.key + L"\t" +
                            (engine::catalogue::WmicTableForm(row.key) ? L"table" : L"list") + L"\t" +
                            (alias ? alias->properties : L"") + L"\t" + (alias ? alias->wmiClass : L""));
        }
    }
    return lines;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 64;
    collect::Options options;
    if (!collect::ParseOptions({L"--categories", argv[2]}, options).empty()) return 64;
    const std::wstring mode = argv[1];
    if (mode == L"files") {
        for (const auto& entry : Files(options.switches)) PrintLine(entry);
    } else if ((mode == L"commands" || mode == L"commands-nowmic") && argc >= 4) {
        for (const auto& line : Commands(options.switches, argv[3], mode == L"commands")) PrintLine(line);
    } else if (mode == L"aliases") {
        for (const auto& line : AliasReports(options.switches)) PrintLine(line);
    } else {
        return 64;
    }
    return 0;
}
