#include "summary/SummaryBuilder.h"

#include <gtest/gtest.h>

#include <map>

#include "summary/SummaryTexts.h"
#include "summary/tests/Captures.h"
#include "text/WideText.h"

namespace engine::summary {
namespace {

using testing::AsConsoleWrites;
using testing::AsWmicWrites;
using testing::CaptureUtf8;

// Files by relative path; a folder lists the files directly in it.
class MapFolder : public SourceFolder {
public:
    std::map<std::wstring, std::string> files;
    std::map<std::wstring, unsigned long> unreadable;  // there, but the open fails with this error

    SourceFile Read(const std::wstring& relative, size_t maxBytes) const override {
        SourceFile file;
        if (const auto held = unreadable.find(relative); held != unreadable.end()) {
            file.readError = held->second;
            return file;
        }
        const auto at = files.find(relative);
        if (at == files.end()) return file;
        file.present = true;
        file.size = at->second.size();
        file.tail = file.size > maxBytes;
        file.bytes = file.tail ? at->second.substr(at->second.size() - maxBytes) : at->second;
        return file;
    }
    std::vector<std::wstring> Files(const std::wstring& folder) const override {
        std::vector<std::wstring> names;
        for (const auto& [path, bytes] : files)
            if (path.compare(0, folder.size() + 1, folder + L"/") == 0 && path.find(L'/', folder.size() + 1) == std::wstring::npos)
                names.push_back(path.substr(folder.size() + 1));
        for (const auto& [path, error] : unreadable)
            if (path.compare(0, folder.size() + 1, folder + L"/") == 0) names.push_back(path.substr(folder.size() + 1));
        return names;
    }
};

const Section& Named(const std::vector<Section>& sections, const std::wstring& title) {
    for (const Section& section : sections)
        if (section.title == title) return section;
    ADD_FAILURE() << "no section " << util::text::Narrow(title, CP_UTF8);
    static const Section none;
    return none;
}

// The value cell of a machine section's row by its property.
std::wstring Fact(const Section& section, const std::wstring& property) {
    for (const Row& row : section.rows)
        if (row.cells.size() == 3 && row.cells[2] == property) return row.cells[1];
    return L"(no row)";
}

SummaryInputs Inputs(const MapFolder& folder) {
    SummaryInputs inputs;
    inputs.folder = &folder;
    inputs.reportFile = L"收集报告.txt";
    inputs.codePage = 936;
    return inputs;
}

TEST(SummaryBuilderTest, AFolderOfRealCapturesShowsTheFactsTheyHold) {
    MapFolder folder;
    folder.files[sources::kOperatingSystem] = AsWmicWrites("wmic-os-table.txt");
    folder.files[sources::kComputerSystem] = AsWmicWrites("wmic-computersystem-list-full.txt");
    folder.files[sources::kBios] = AsWmicWrites("wmic-bios-list-full.txt");
    folder.files[sources::kProcessors] = AsWmicWrites("wmic-cpu-list-full.txt");
    folder.files[sources::kServices] = AsWmicWrites("wmic-service-list-full.txt");
    folder.files[sources::kPnpEntities] = AsConsoleWrites("ps-win32_pnpentity.txt");
    folder.files[sources::kUpdateLog] = AsConsoleWrites("windowsupdate-win7.log.txt");
    folder.files[std::wstring(sources::kCbsFolder) + L"/CBS.log"] = AsConsoleWrites("cbs-corruption.log.txt");
    folder.files[std::wstring(sources::kCbsFolder) + L"/CbsPersist_20250404.log"] = AsConsoleWrites("cbs-clean.log.txt");
    folder.files[std::wstring(sources::kSetupFolder) + L"/setupapi.dev.log"] = AsConsoleWrites("setupapi-dev-failure.log.txt");
    folder.files[std::wstring(sources::kSetupFolder) + L"/setupapi.app.log"] = AsConsoleWrites("setupapi-dev-failure.log.txt");
    folder.files[RecentEventsFile(L"System")] =
        util::text::Narrow(util::text::Widen(CaptureUtf8("wevtutil-qe-text-error.txt") + "\n" +
                                                 CaptureUtf8("wevtutil-qe-text.txt"), CP_UTF8), 936);
    folder.files[RecentEventsFile(L"Application")] = AsConsoleWrites("wevtutil-qe-text-application.txt");
    folder.files[RecentEventsFile(L"Setup")] = "";  // no events of those levels

    const Summary summary = BuildSummary(Inputs(folder));

    const Section& windows = Named(summary.machine, texts::kWindows);
    EXPECT_EQ(Fact(windows, L"Caption"), L"Microsoft\uFFFD Windows Server\uFFFD 2008 Enterprise");
    EXPECT_EQ(Fact(windows, L"BuildNumber"), L"6001");
    EXPECT_EQ(Fact(windows, L"InstallDate"), L"2022-07-22 13:30:39");
    EXPECT_EQ(Fact(windows, L"LastBootUpTime"), L"2022-09-22 11:55:09");
    EXPECT_EQ(Fact(windows, L"LocalDateTime − LastBootUpTime"), L"0 天 9 小时 16 分钟");
    const Section& memory = Named(summary.machine, texts::kMemory);
    EXPECT_EQ(Fact(memory, L"TotalVisibleMemorySize"), L"1022.4 MB");
    EXPECT_EQ(Fact(memory, L"FreePhysicalMemory"), L"495.3 MB");
    EXPECT_EQ(Fact(Named(summary.machine, texts::kComputer), L"Manufacturer"), L"LENOVO");
    EXPECT_EQ(Fact(Named(summary.machine, texts::kBios), L"SMBIOSBIOSVersion"), L"6.00");
    EXPECT_EQ(Fact(Named(summary.machine, texts::kBios), L"ReleaseDate"), L"2012-09-20 00:00:00");
    EXPECT_EQ(Fact(Named(summary.machine, texts::kProcessor), L"Name"), L"Intel(R) Core(TM) i7-6700HQ CPU @ 2.60GHz");
    // No capture of the disks: not available, and no disk is called full.
    EXPECT_FALSE(Named(summary.machine, texts::kDisks).Available());
    EXPECT_FALSE(Named(summary.problems, texts::kDisksLow).Available());

    const Section& events = Named(summary.problems, texts::kEventsBySource);
    EXPECT_EQ(events.count, 2);  // the DCOM error and the application crash; information is not counted
    ASSERT_EQ(events.rows.size(), 2u);
    const Section& latest = Named(summary.problems, texts::kLatestEvents);
    ASSERT_EQ(latest.rows.size(), 2u);
    EXPECT_EQ(latest.rows[0].cells[1], L"Application Error");  // newest first, across logs
    EXPECT_EQ(latest.rows[0].link, RecentEventsFile(L"Application"));
    EXPECT_EQ(Named(summary.problems, texts::kFailedUpdates).count, 2);
    const Section& corruption = Named(summary.problems, texts::kCorruption);
    EXPECT_EQ(corruption.count, 6);
    EXPECT_EQ(corruption.rows.front().link, std::wstring(sources::kCbsFolder) + L"/CBS.log");
    // Only the device-install log counts, not the one of application installs.
    EXPECT_EQ(Named(summary.problems, texts::kFailedDeviceInstalls).count, 1);
    EXPECT_EQ(Named(summary.problems, texts::kProblemDevices).count, 0);
    EXPECT_EQ(Named(summary.problems, texts::kStoppedServices).count, 0);  // ALG is manual
    EXPECT_EQ(ProblemCountsText(summary),
              L"steps_not_ok=0;disks_low=-;error_events=2;failed_updates=2;cbs_corruption=6;"
              L"failed_device_installs=1;problem_devices=0;stopped_auto_services=0");
}

TEST(SummaryBuilderTest, MissingSourcesSayWhyAndNothingIsGuessed) {
    MapFolder folder;
    // The OS report lacks the boot time: that row and the uptime say so, the others stand.
    folder.files[sources::kOperatingSystem] = "\xFF\xFE" + util::text::Utf16LeBytes(
        L"BuildNumber  Caption                       LocalDateTime              \r\n"
        L"19045        Microsoft Windows 10 专业版   20261209093000.500000+480  \r\n\r\n");
    SummaryInputs inputs = Inputs(folder);
    inputs.steps = {{L"WMIC SERVICE LIST FULL", sources::kServices, L"timed-out", L"ended at its limit of 900 s"},
                    {L"WMIC CPU LIST FULL", sources::kProcessors, L"ok", L""},
                    {L"wevtutil el", L"", L"failed", L"exit code 1722"}};
    const Summary summary = BuildSummary(inputs);

    const Section& windows = Named(summary.machine, texts::kWindows);
    EXPECT_TRUE(windows.Available());
    EXPECT_EQ(Fact(windows, L"BuildNumber"), L"19045");
    EXPECT_EQ(Fact(windows, L"LastBootUpTime"), std::wstring(texts::kNotAvailable) + L"：" + texts::kPropertyMissing);
    EXPECT_EQ(Fact(windows, L"LocalDateTime − LastBootUpTime").find(texts::kNotAvailable), 0u);
    EXPECT_FALSE(Named(summary.machine, texts::kMemory).rows.empty());
    EXPECT_EQ(Fact(Named(summary.machine, texts::kMemory), L"TotalVisibleMemorySize").find(texts::kNotAvailable), 0u);

    // Each missing source names its step's outcome, or that it was not collected.
    EXPECT_EQ(Named(summary.problems, texts::kStoppedServices).unavailable,
              std::wstring(texts::kStepWas) + L" timed-out：ended at its limit of 900 s");
    EXPECT_EQ(Named(summary.machine, texts::kProcessor).unavailable, texts::kFileMissing);
    EXPECT_EQ(Named(summary.problems, texts::kCorruption).unavailable, texts::kNotCollected);
    EXPECT_FALSE(Named(summary.problems, texts::kEventsBySource).Available());

    const Section& steps = Named(summary.problems, texts::kStepsNotOk);
    ASSERT_EQ(steps.rows.size(), 2u);
    EXPECT_EQ(steps.rows[0].link, L"收集报告.txt");  // its file is not there: the report says why
    EXPECT_EQ(ProblemCountsText(summary),
              L"steps_not_ok=2;disks_low=-;error_events=-;failed_updates=-;cbs_corruption=-;"
              L"failed_device_installs=-;problem_devices=-;stopped_auto_services=-");
}

// A file that is in the archive but could not be opened (a scanner holding it without read
// sharing) is "could not be read", never "not collected", and never counted as holding nothing.
TEST(SummaryBuilderTest, AFileThatCannotBeReadIsSaidToBeSo) {
    MapFolder folder;
    folder.unreadable[sources::kServices] = 32;
    folder.unreadable[std::wstring(sources::kCbsFolder) + L"/CBS.log"] = 32;
    folder.files[std::wstring(sources::kCbsFolder) + L"/CbsPersist_1.log"] = AsConsoleWrites("cbs-corruption.log.txt");
    SummaryInputs inputs = Inputs(folder);
    inputs.steps = {{L"WMIC SERVICE LIST FULL", sources::kServices, L"partial", L"held open when packing began"}};
    const Summary summary = BuildSummary(inputs);

    const std::wstring unreadable = std::wstring(texts::kUnreadable) + L" 32";
    EXPECT_EQ(Named(summary.problems, texts::kStoppedServices).unavailable, unreadable);
    const Section& cbs = Named(summary.problems, texts::kCorruption);
    EXPECT_TRUE(cbs.Available());
    EXPECT_EQ(cbs.count, 6);  // from the file that could be read
    EXPECT_NE(cbs.note.find(L"CBS.log：" + unreadable), std::wstring::npos);
    // The step's file is in the archive: its row links there, not to the report.
    EXPECT_EQ(Named(summary.problems, texts::kStepsNotOk).rows.at(0).link, sources::kServices);
}

TEST(SummaryBuilderTest, ADiskIsLowUnderATenthFreeAndOnlyALocalOne) {
    MapFolder folder;
    auto disk = [](const wchar_t* id, int type, const wchar_t* free, const wchar_t* size) {
        return std::wstring(L"\r\n\r\nDeviceID=") + id + L"\r\nDriveType=" + std::to_wstring(type) + L"\r\nFreeSpace=" +
               free + L"\r\nSize=" + size + L"\r\n";
    };
    folder.files[sources::kLogicalDisks] =
        "\xFF\xFE" + util::text::Utf16LeBytes(disk(L"C:", 3, L"1000", L"10000") +    // exactly a tenth: not low
                                              disk(L"D:", 3, L"999", L"10000") +     // under: low
                                              disk(L"E:", 2, L"0", L"16000000000") + // a full stick: not a local disk
                                              disk(L"F:", 5, L"", L"") +             // an empty optical drive
                                              disk(L"G:", 3, L"5", L"") + L"\r\n\r\n");
    const Summary summary = BuildSummary(Inputs(folder));
    const Section& low = Named(summary.problems, texts::kDisksLow);
    ASSERT_EQ(low.rows.size(), 1u);
    EXPECT_EQ(low.rows[0].cells[0], L"D:");
    EXPECT_EQ(low.rows[0].cells[3], L"10.0%");  // 9.99 % shown to one decimal
    const Section& disks = Named(summary.machine, texts::kDisks);
    ASSERT_EQ(disks.rows.size(), 5u);
    EXPECT_EQ(disks.rows[3].cells[3], texts::kNotAvailable);
    EXPECT_EQ(disks.rows[0].cells[3], L"9.8 KB");
}

TEST(SummaryBuilderTest, OfALongLogOnlyItsEndIsReadAndTheSummarySaysSo) {
    MapFolder folder;
    std::string log(4096, 'x');
    log += "\r\n2016-10-31\t11:25:11:755\t1384\t1174\tHandler\tFATAL: CBS called Error with 0x80070308,\r\n";
    folder.files[sources::kUpdateLog] = "2016-01-01\t00:00:00:000\t1\t1\tHandler\tFATAL: early\r\n" + log;
    SummaryInputs inputs = Inputs(folder);
    inputs.maxLogBytes = 1024;
    const Summary summary = BuildSummary(inputs);
    const Section& updates = Named(summary.problems, texts::kFailedUpdates);
    EXPECT_EQ(updates.count, 1);  // the early one is before the part read
    EXPECT_EQ(updates.note.find(texts::kTailOnly), 0u);
}

TEST(SummaryBuilderTest, DatesAndSizes) {
    EXPECT_EQ(DmtfText(L"20230314093012.500000+480"), L"2023-03-14 09:30:12");
    EXPECT_EQ(DmtfText(L"2023-03-14"), L"");
    EXPECT_EQ(DmtfText(L"20231314093012.500000+480"), L"");  // month 13
    long long seconds = 0;
    // Across a month's end and offsets: 23:00 UTC+8 to 01:30 UTC+0 the next day is 10.5 hours.
    ASSERT_TRUE(DmtfSecondsBetween(L"20240229230000.000000+480", L"20240301013000.000000+000", seconds));
    EXPECT_EQ(seconds, 10 * 3600 + 1800);
    EXPECT_FALSE(DmtfSecondsBetween(L"", L"20240301013000.000000+000", seconds));
    EXPECT_EQ(SizeText(512), L"512 B");
    EXPECT_EQ(SizeText(255953203200ull), L"238.4 GB");
}

}  // namespace
}  // namespace engine::summary
