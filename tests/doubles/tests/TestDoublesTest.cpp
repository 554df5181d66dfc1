// Runs the installed test doubles, through the command interpreter of the system folder as a
// script would and directly as the engine does, and checks their output, their files and their
// call record.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>

#include "catalogue/Catalogue.h"
#include "text/CommandLine.h"
#include "DoubleSettings.h"
#include "DoubleSupport.h"
#include "EventLogListing.h"
#include "SysteminfoReport.h"
#include "win/UniqueHandle.h"
#include "steps/AliasScript.h"
#include "text/Base64.h"
#include "testing/TempFolder.h"
#include "text/WideText.h"

using namespace engine::catalogue;
using namespace engine::steps;
using util::text::InterpreterLine;
using util::text::Narrow;
using util::text::Quoted;
using util::text::Utf16Base64;
using util::text::Utf16FromBase64;
using util::text::Widen;
using util::win::UniqueHandle;
using namespace doubles;

namespace {

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetSystemDirectoryW(buffer, MAX_PATH);
    return buffer;
}

std::string ReadFileBytes(const std::wstring& path) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    if (!file) return bytes;
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
    return bytes;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "record does not end with a line feed";
    return lines;
}

// UTF-16LE bytes after a byte-order mark.
std::wstring Utf16Text(const std::string& bytes) {
    std::wstring text;
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) return text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    return text;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct ProcessRun {
    bool started = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
};

// Starts commandLine with applicationName, captures its standard output, waits for its end;
// with this process's environment, or the given block.
ProcessRun Start(const std::wstring& applicationName, std::wstring commandLine,
                 const std::wstring& environment = std::wstring()) {
    ProcessRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    UniqueHandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0)) return run;
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = writeEnd.Get();
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::wstring block = environment;
    run.started = ::CreateProcessW(applicationName.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                                   block.empty() ? nullptr : &block[0], nullptr, &si, &pi) != FALSE;
    writeEnd.Reset();
    if (!run.started) return run;
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    char buffer[4095];
    DWORD n = 0;
    while (::ReadFile(readEnd.Get(), buffer, sizeof buffer, &n, nullptr) && n > 0) run.out.append(buffer, n);
    ::WaitForSingleObject(process.Get(), 60000);
    ::GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}

// A command as a user or a script types it: "<system>\cmd.exe" /D /S /C "<command>", the
// interpreter finding the double on the prefix's PATH.
std::wstring Redirected(const ToolReport& report) { return report.commandLine + L" >" + Quoted(report.reportPath); }

// Wine's cmd reports every failed CreateProcess as 9009, "not recognized", not only a program
// missing from PATH; on a loaded machine one start in thousands fails that way. The doubles are
// installed before any test runs, so a 9009 is tried again (twice) and only a repeated one counts.
constexpr DWORD kInterpreterCannotStart = 9009;

ProcessRun Interpret(const std::wstring& command) {
    const std::wstring cmd = SystemFolder() + L"\\cmd.exe";
    ProcessRun run;
    for (int attempt = 0; attempt < 3; ++attempt) {
        run = Start(cmd, InterpreterLine(cmd, command));
        if (!run.started || run.exitCode != kInterpreterCannotStart) break;
        std::printf("cmd could not start \"%s\" (9009); trying again\n", Utf8(command).c_str());
    }
    return run;
}

// Each test gets its own record file and a work folder whose name needs quoting.
class TestDoublesTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring name = Widen(::testing::UnitTest::GetInstance()->current_test_info()->name(), CP_UTF8);
        work_ = std::wstring(temp) + L"skelda doubles & co (测试) " + name;
        calls_ = work_ + L"-calls.txt";
        ::DeleteFileW(calls_.c_str());
        Interpret(L"rmdir /s /q " + Quoted(work_));
        ASSERT_TRUE(::CreateDirectoryW(work_.c_str(), nullptr));
        ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_CALLS", calls_.c_str());
    }
    void TearDown() override { ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_CALLS", nullptr); }

    std::vector<std::string> Calls() const { return Lines(ReadFileBytes(calls_)); }

    std::wstring work_;
    std::wstring calls_;
};

TEST_F(TestDoublesTest, EachDoubleRunsFromThePrefixAndRecordsItsCommandLine) {
    // Wine's own wevtutil and systeminfo print nothing, its wmic rejects LIST FULL and it has
    // no PowerShell: output from all four proves that the doubles ran.
    struct Case {
        std::wstring command;
        std::string marker;
        bool utf16;
    };
    const Case cases[] = {
        {L"wevtutil el", "Microsoft-Windows-Kernel-PnP/Configuration\r\n", false},
        {L"WMIC CPU LIST FULL", "Alias=CPU\r\nForm=LIST FULL\r\n", true},
        {L"powershell -command \"Get-WmiObject -Class Win32_Fan\"", "__CLASS          : Win32_Fan\r\n", false},
        {L"systeminfo", "SKELDA-TEST", false},
    };
    for (const Case& c : cases) {
        const ProcessRun run = Interpret(c.command);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.exitCode, 0u) << Utf8(c.command);
        const std::string text = c.utf16 ? Utf8(Utf16Text(run.out)) : run.out;
        EXPECT_NE(text.find(c.marker), std::string::npos) << Utf8(c.command);
    }
    std::vector<std::string> expected;
    for (const Case& c : cases) expected.push_back(Utf8(c.command));
    EXPECT_EQ(Calls(), expected);
}

TEST_F(TestDoublesTest, RedirectionIsNotPartOfTheRecordedCommandLine) {
    const std::wstring report = work_ + L"\\os.txt";
    const ProcessRun run = Interpret(L"WMIC OS >" + Quoted(report));
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(Exists(report));
    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    // The interpreter passes the text before the redirection, blank included.
    EXPECT_EQ(calls[0], "WMIC OS ");
}

TEST_F(TestDoublesTest, WithoutOverrideTheRecordGoesToTheFixedFile) {
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_CALLS", nullptr);
    const std::string marker = "marker-" + std::to_string(::GetTickCount()) + "-" +
                               std::to_string(::GetCurrentProcessId());
    ASSERT_EQ(Interpret(L"systeminfo /S " + Widen(marker, CP_UTF8)).exitCode, 0u);
    const auto calls = Lines(ReadFileBytes(kDefaultCallsFile));
    EXPECT_NE(std::find(calls.begin(), calls.end(), "systeminfo /S " + marker), calls.end());
}

TEST_F(TestDoublesTest, EventLogListingArrivesWholeThroughAPipe) {
    const ProcessRun run = Interpret(L"wevtutil el");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out, EventLogListing());
    EXPECT_GT(run.out.size(), 2u * 4095u);
    const std::vector<std::string> lines = EventLogLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), ""), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.size() == 1; }), 1);
    for (const char* name : {"Microsoft-Windows-Kernel-PnP/Configuration", "Windows PowerShell",
                             "Key Management Service", "Contoso-Sync%Operational"})
        EXPECT_TRUE(IsListedEventLog(name)) << name;
}

TEST_F(TestDoublesTest, EventLogExportWritesAFileNamingTheLog) {
    struct Case {
        std::wstring name, file;
    };
    const Case cases[] = {
        {L"Microsoft-Windows-Kernel-PnP/Configuration", L"Microsoft-Windows-Kernel-PnP%Configuration.evtx"},
        {L"Contoso-Sync%Operational", L"Contoso-Sync%Operational.evtx"},
        {L"\"Windows PowerShell\"", L"Windows PowerShell.evtx"},
    };
    for (const Case& c : cases) {
        const std::wstring target = work_ + L"\\" + c.file;
        const ProcessRun run = Interpret(L"wevtutil epl " + c.name + L" " + Quoted(target));
        EXPECT_EQ(run.exitCode, 0u) << Utf8(c.file);
        std::wstring bare = c.name;
        bare.erase(std::remove(bare.begin(), bare.end(), L'"'), bare.end());
        const std::string bytes = ReadFileBytes(target);
        const std::string head = "SKELDA TEST DOUBLE EVTX\r\nlog: " + Utf8(bare) + "\r\n";
        EXPECT_EQ(bytes.substr(0, head.size()), head);
        // As large as an empty log's export, or one chunk more for a log that holds events.
        EXPECT_EQ(bytes.size(), c.file == L"Windows PowerShell.evtx" ? 4096u + 2 * 65536 : 4096u + 65536);
    }
    EXPECT_EQ(Calls().size(), 3u);
}

// "qe … /f:text" prints events in wevtutil's text layout; other layouts and unknown logs fail.
TEST_F(TestDoublesTest, RecentEventsArePrintedAsText) {
    const ProcessRun system = Interpret(L"wevtutil qe System /q:\"*[System[(Level=1)]]\" /f:text /rd:true /c:500");
    EXPECT_EQ(system.exitCode, 0u);
    EXPECT_EQ(system.out.find("Event[0]:\r\n  Log Name: System\r\n  Source: "), 0u) << system.out;
    EXPECT_NE(system.out.find("  Level: Critical\r\n"), std::string::npos);
    const ProcessRun setup = Interpret(L"wevtutil qe Setup /f:text");
    EXPECT_EQ(setup.exitCode, 0u);
    EXPECT_TRUE(setup.out.empty());  // nothing of those levels
    EXPECT_EQ(Interpret(L"wevtutil qe System /f:xml").exitCode, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Interpret(L"wevtutil qe Nowhere /f:text").exitCode, 15007u);
}

// "al" writes a log's texts where wevtutil does, or, as asked, fails or writes nothing while
// reporting success.
TEST_F(TestDoublesTest, EventLogTextsGoToLocaleMetaDataBesideTheExport) {
    const std::wstring exported = work_ + L"\\System.evtx";
    ASSERT_EQ(Interpret(L"wevtutil epl System " + Quoted(exported)).exitCode, 0u);
    EXPECT_EQ(Interpret(L"wevtutil al " + Quoted(exported) + L" /l:en-US").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(work_ + L"\\LocaleMetaData\\System_1033.MTA"), "SKELDA TEST DOUBLE MTA\r\nlocale: en-US\r\n");
    EXPECT_EQ(Interpret(L"wevtutil al " + Quoted(exported) + L" /l:nowhere").exitCode,
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Interpret(L"wevtutil al " + Quoted(work_ + L"\\gone.evtx") + L" /l:en-US").exitCode,
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_TEXTS", L"fail");
    EXPECT_EQ(Interpret(L"wevtutil al " + Quoted(exported) + L" /l:zh-CN").exitCode, 15002u);
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_TEXTS", L"silent");
    EXPECT_EQ(Interpret(L"wevtutil al " + Quoted(exported) + L" /l:zh-CN").exitCode, 0u);
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_TEXTS", nullptr);
    EXPECT_FALSE(Exists(work_ + L"\\LocaleMetaData\\System_2052.MTA"));
}

TEST_F(TestDoublesTest, EventLogExportRefusesSplitOrUnknownNames) {
    const std::wstring target = work_ + L"\\x.evtx";
    EXPECT_EQ(Interpret(L"wevtutil epl Windows PowerShell " + Quoted(target)).exitCode,
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Interpret(L"wevtutil epl Windows " + Quoted(target)).exitCode, 15007u);
    EXPECT_NE(Interpret(L"wevtutil epl X " + target).exitCode, 0u);  // unquoted blanks and "&"
    EXPECT_FALSE(Exists(target));
}

TEST_F(TestDoublesTest, WmicReportsLandAtQuotedPathsInUtf16) {
    const std::wstring folder = work_ + L"\\硬件\\温控设备";
    ::CreateDirectoryW((work_ + L"\\硬件").c_str(), nullptr);
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_EQ(Interpret(Redirected(WmicReport(L"TEMPERATURE", folder, L"温度传感器(电子温度计)数据管理"))).exitCode, 0u);
    ASSERT_EQ(Interpret(Redirected(WmicReport(L"OS", folder, L"已安装操作系统的管理"))).exitCode, 0u);

    const std::string full = ReadFileBytes(folder + L"\\温度传感器(电子温度计)数据管理.txt");
    EXPECT_NE(Utf16Text(full).find(L"Alias=TEMPERATURE\r\nForm=LIST FULL\r\n"), std::wstring::npos);
    const std::wstring os = Utf16Text(ReadFileBytes(folder + L"\\已安装操作系统的管理.txt"));
    EXPECT_EQ(os.find(L"BuildNumber  Caption "), 0u);  // the table form
}

TEST_F(TestDoublesTest, PowershellClassReportLandsAtAQuotedPath) {
    const std::wstring folder = work_ + L"\\Windows NT的事件日志";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring command = Redirected(WmiClassReport(L"Win32_NTEventlogFile", folder, L"NTEventlogFile"));
    ASSERT_EQ(Interpret(command).exitCode, 0u);
    EXPECT_NE(ReadFileBytes(folder + L"\\NTEventlogFile.txt").find("__CLASS          : Win32_NTEventlogFile\r\n"),
              std::string::npos);
    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "powershell -NoProfile -NonInteractive -command \"Get-WmiObject -Class Win32_NTEventlogFile\" ");
    EXPECT_EQ(Interpret(L"powershell -command \"Get-WmiObject -Class CIM_Nothing\"").exitCode, 1u);
    EXPECT_EQ(Interpret(L"powershell -command \"Get-Process\"").exitCode, 1u);
}

TEST_F(TestDoublesTest, EncodedAliasScriptIsAnsweredAndOneClassFailsOnRequest) {
    // Started directly, as the engine starts it: the line is longer than cmd accepts.
    const std::vector<const WmiAlias*> aliases = {FindWmiAlias(L"PRINTER"), FindWmiAlias(L"PRINTJOB"),
                                                  FindWmiAlias(L"CDROM"), FindWmiAlias(L"OS")};
    const std::wstring line = AliasCommandLine(aliases, 600000);
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_FAIL_CLASS", L"Win32_PrintJob");
    const ProcessRun run = Start(SystemFolder() + L"\\WindowsPowerShell\\v1.0\\powershell.exe", line);
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_FAIL_CLASS", nullptr);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 1u);
    const auto answers = ParseAliasOutput(run.out);
    ASSERT_EQ(answers.size(), 4u);
    for (const wchar_t* alias : {L"PRINTER", L"CDROM", L"OS"}) {
        const AliasAnswer& answer = answers.at(alias);
        EXPECT_TRUE(answer.complete);
        ASSERT_EQ(answer.instances.size(), 2u);
        const size_t count = AliasProperties(*FindWmiAlias(alias)).size();
        for (const WmiInstance& instance : answer.instances) {
            ASSERT_EQ(instance.size(), count);
            EXPECT_NE(instance[0].find(L"测试值"), std::wstring::npos);
            EXPECT_EQ(instance[1], L"");
            EXPECT_NE(instance[2].find(L"\r\n"), std::wstring::npos);
        }
    }
    // Arrays come joined with the separator the script names: ", " in WMIC's table form (OS).
    EXPECT_EQ(answers.at(L"CDROM").instances[0][5], L"{\"甲1\",\"乙\"}");
    EXPECT_EQ(answers.at(L"OS").instances[1][5], L"{\"甲2\", \"乙\"}");
    EXPECT_FALSE(answers.at(L"PRINTJOB").complete);
    EXPECT_NE(answers.at(L"PRINTJOB").error.find(L"Win32_PrintJob"), std::wstring::npos);
    EXPECT_EQ(Calls(), std::vector<std::string>{Utf8(line)});
    // Not Base64 of UTF-16: refused as PowerShell refuses it.
    EXPECT_EQ(Start(SystemFolder() + L"\\WindowsPowerShell\\v1.0\\powershell.exe",
                    L"powershell -EncodedCommand QQ==").exitCode, 1u);
}

TEST_F(TestDoublesTest, KnobsComeFromTheSettingsFileUnlessTheEnvironmentSetsThem) {
    // The engine gives its tools the system's environment, never its host's: a double it starts
    // finds its knobs in the settings file. The class named is one that nothing else queries.
    const bool existed = Exists(kSettingsFile);
    const std::string before = ReadFileBytes(kSettingsFile);
    ASSERT_TRUE(WriteWholeFile(kSettingsFile, "[Doubles]\r\nSKELDA_DOUBLES_FAIL_CLASS=Win32_SkeldaKnobProbe\r\n"));
    const std::wstring powershell = SystemFolder() + L"\\WindowsPowerShell\\v1.0\\powershell.exe";
    const std::wstring line = L"powershell -command \"Get-WmiObject -Class Win32_SkeldaKnobProbe\"";
    const std::wstring clean(L"SystemRoot=C:\\windows\0", 22);  // its block ends in a second NUL
    const DWORD fromFile = Start(powershell, line, clean).exitCode;
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_FAIL_CLASS", L"Win32_SomethingElse");
    const DWORD fromEnvironment = Start(powershell, line).exitCode;
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_FAIL_CLASS", nullptr);
    if (existed)
        WriteWholeFile(kSettingsFile, before);
    else
        ::DeleteFileW(kSettingsFile);
    EXPECT_EQ(fromFile, 1u) << "the file's knob did not reach a double without the environment";
    EXPECT_EQ(fromEnvironment, 0u) << "the environment's knob wins over the file's";
}

TEST_F(TestDoublesTest, AHangingClassTakesTheScriptsLimitAndABigValueIsCutAsTheScriptCutsIt) {
    const std::vector<const WmiAlias*> aliases = {FindWmiAlias(L"GROUP"), FindWmiAlias(L"ENVIRONMENT"),
                                                  FindWmiAlias(L"LOGON")};
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_HANG_CLASS", L"Win32_Group");
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_BIG_CLASS", L"Win32_Environment");
    const ULONGLONG started = ::GetTickCount64();
    const ProcessRun run = Start(SystemFolder() + L"\\WindowsPowerShell\\v1.0\\powershell.exe",
                                 AliasCommandLine(aliases, 1500));
    const ULONGLONG took = ::GetTickCount64() - started;
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_HANG_CLASS", nullptr);
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_BIG_CLASS", nullptr);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_GE(took, 1500u);
    const auto answers = ParseAliasOutput(run.out);
    EXPECT_TRUE(answers.at(L"GROUP").timedOut);
    EXPECT_TRUE(answers.at(L"LOGON").complete);
    const AliasAnswer& environment = answers.at(L"ENVIRONMENT");
    ASSERT_TRUE(environment.complete);
    const std::wstring& value = environment.instances.at(0).back();
    EXPECT_EQ(value.size(), kValueCutChars + CutMarker(20971520).size());
    EXPECT_EQ(value.substr(kValueCutChars), CutMarker(20971520));
    EXPECT_LT(environment.instances.at(1).back().size(), 100u);  // only the first instance's
}

TEST_F(TestDoublesTest, WindowsUpdateLogGoesWhereItIsToldOrToTheDesktop) {
    util::testing::TempFolder told(L" it's");
    const std::wstring file = told.Path() + L"\\WindowsUpdate.log";
    std::wstring quoted;
    for (wchar_t c : file) quoted += c == L'\'' ? std::wstring(L"''") : std::wstring(1, c);
    EXPECT_EQ(Interpret(L"powershell -command \"Get-WindowsUpdateLog -LogPath '" + quoted + L"'\"").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(file).rfind("SKELDA TEST DOUBLE WindowsUpdate.log\r\n", 0), 0u);
    EXPECT_EQ(Interpret(L"powershell -command \"Get-WindowsUpdateLog -LogPath\"").exitCode, 1u);

    wchar_t desktop[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)));
    const std::wstring log = std::wstring(desktop) + L"\\WindowsUpdate.log";
    // Other tests of the prefix may use the desktop: leave it as it was found.
    const bool existed = Exists(log);
    const std::string before = ReadFileBytes(log);
    ::DeleteFileW(log.c_str());
    EXPECT_EQ(Interpret(L"powershell -command \"Get-WindowsUpdateLog\"").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(log).rfind("SKELDA TEST DOUBLE WindowsUpdate.log\r\n", 0), 0u);
    // Told to fail, or to end well without writing: an earlier log stays as it is.
    WriteWholeFile(log, "an earlier log\r\n");
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_UPDATE_LOG", L"fail");
    const ProcessRun failed = Interpret(L"powershell -command \"Get-WindowsUpdateLog\"");
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_UPDATE_LOG", L"unwritten");
    const ProcessRun unwritten = Interpret(L"powershell -command \"Get-WindowsUpdateLog\"");
    ::SetEnvironmentVariableW(L"SKELDA_DOUBLES_UPDATE_LOG", nullptr);
    EXPECT_EQ(failed.exitCode, 1u);
    EXPECT_EQ(unwritten.exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(log), "an earlier log\r\n");
    if (existed)
        WriteWholeFile(log, before);
    else
        ::DeleteFileW(log.c_str());
}

TEST_F(TestDoublesTest, SysteminfoWritesTheOemCodePage) {
    const ProcessRun run = Interpret(L"systeminfo");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Widen(run.out, ::GetOEMCP()), SysteminfoReport());
}

TEST_F(TestDoublesTest, ConcurrentCallsKeepTheirLinesWhole) {
    // Long lines from several processes at once: without the lock, appends would interleave.
    const std::wstring program = SystemFolder() + L"\\systeminfo.exe";
    constexpr int kThreads = 4, kCalls = 8;
    std::set<std::string> expected;
    std::vector<std::thread> threads;
    std::vector<std::string> failures;  // a call that did not start or did not end well
    std::mutex failuresLock;
    for (int t = 0; t < kThreads; ++t) {
        std::vector<std::wstring> lines;
        for (int i = 0; i < kCalls; ++i) {
            lines.push_back(L"systeminfo /S thread" + std::to_wstring(t) + L"-call" + std::to_wstring(i) + L" " +
                            std::wstring(3000, static_cast<wchar_t>(L'a' + t)) + L"长");
            expected.insert(Utf8(lines.back()));
        }
        threads.emplace_back([program, lines, &failures, &failuresLock] {
            for (const auto& line : lines) {
                const ProcessRun run = Start(program, line);
                if (run.started && run.exitCode == 0) continue;
                const DWORD error = ::GetLastError();
                std::lock_guard<std::mutex> hold(failuresLock);
                failures.push_back("started " + std::to_string(run.started) + ", exit code " +
                                   std::to_string(run.exitCode) + ", error " + std::to_string(error));
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_TRUE(failures.empty()) << failures.front();
    const auto calls = Calls();
    EXPECT_EQ(calls.size(), static_cast<size_t>(kThreads * kCalls));
    EXPECT_EQ(std::set<std::string>(calls.begin(), calls.end()), expected);
}

}  // namespace
