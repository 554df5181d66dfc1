// The environment the engine's children start with.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "child/ChildEnvironment.h"
#include "child/ChildLauncher.h"
#include "testing/TempFolder.h"
#include "testing/TestPrograms.h"
#include "text/WideText.h"
#include "win/SystemPaths.h"
#include "win/UniqueHandle.h"

namespace {

using engine::child::Variables;
using util::win::UniqueHandle;
using util::testing::TempFolder;

std::wstring BlockText(const std::vector<wchar_t>& block) { return std::wstring(block.begin(), block.end()); }

// The strings, each ending in a NUL, and one more NUL.
std::wstring Strings(std::initializer_list<const wchar_t*> strings) {
    std::wstring text;
    for (const wchar_t* s : strings) text += std::wstring(s) + L'\0';
    return text + L'\0';
}

TEST(ChildEnvironmentTest, BlockIsInNameOrderIgnoringCaseAndEndsInTwoNuls) {
    Variables variables;
    variables[L"windir"] = L"C:\\Windows";
    variables[L"PATH"] = L"C:\\Windows\\system32";
    variables[L"ProgramFiles(x86)"] = L"C:\\Program Files (x86)";
    variables[L"ProgramFiles"] = L"C:\\Program Files";
    variables[L"ALLUSERSPROFILE"] = L"C:\\ProgramData";
    variables[L"WINDIR"] = L"D:\\Other";  // the same name: one variable
    variables[L"EMPTY"] = L"";
    // A name goes before every longer name it starts, although "(" sorts before "=".
    EXPECT_EQ(BlockText(engine::child::EnvironmentBlock(variables)),
              Strings({L"ALLUSERSPROFILE=C:\\ProgramData", L"EMPTY=", L"PATH=C:\\Windows\\system32",
                       L"ProgramFiles=C:\\Program Files", L"ProgramFiles(x86)=C:\\Program Files (x86)",
                       L"windir=D:\\Other"}));
    EXPECT_EQ(BlockText(engine::child::EnvironmentBlock(Variables{})), std::wstring(L"\0\0", 2));
    Variables bad;
    bad[L""] = L"x";
    bad[L"A=B"] = L"x";
    bad[L"NUL"] = std::wstring(L"a\0b", 3);
    EXPECT_EQ(BlockText(engine::child::EnvironmentBlock(bad)), std::wstring(L"\0\0", 2)) << "nothing malformed goes in";
}

TEST(ChildEnvironmentTest, ReferencesExpandFromTheGivenValuesOnly) {
    Variables values;
    values[L"SystemRoot"] = L"C:\\Windows";
    values[L"SystemDrive"] = L"C:";
    EXPECT_EQ(engine::child::ExpandReferences(L"%SystemRoot%\\system32\\cmd.exe", values), L"C:\\Windows\\system32\\cmd.exe");
    EXPECT_EQ(engine::child::ExpandReferences(L"%systemdrive%\\ProgramData", values), L"C:\\ProgramData");
    EXPECT_EQ(engine::child::ExpandReferences(L"%USERPROFILE%\\x", values), L"%USERPROFILE%\\x") << "not from the host";
    EXPECT_EQ(engine::child::ExpandReferences(L"%X%%SystemDrive%", values), L"%X%C:");
    EXPECT_EQ(engine::child::ExpandReferences(L"100% %SystemDrive%", values), L"100% C:");
    EXPECT_EQ(engine::child::ExpandReferences(L"a%b", values), L"a%b");
    EXPECT_EQ(engine::child::ExpandReferences(L"%%", values), L"%%");
}

// A 64-bit system as the registry and the profile describe it, with the things a user or an
// installer may have put into the machine's environment.
engine::child::SystemValues SampleSystem() {
    engine::child::SystemValues system;
    system.windowsFolder = L"C:\\Windows";
    Variables& machine = system.machine;
    machine[L"ComSpec"] = L"%SystemRoot%\\system32\\cmd.exe";
    machine[L"OS"] = L"Windows_NT";
    machine[L"PATHEXT"] = L".COM;.EXE;.BAT;.CMD";
    machine[L"NUMBER_OF_PROCESSORS"] = L"4";
    machine[L"PROCESSOR_ARCHITECTURE"] = L"AMD64";
    machine[L"PROCESSOR_IDENTIFIER"] = L"Intel64 Family 6 Model 60 Stepping 3, GenuineIntel";
    machine[L"PROCESSOR_LEVEL"] = L"6";
    machine[L"PROCESSOR_REVISION"] = L"3c03";
    machine[L"Path"] = L"C:\\Tools;%SystemRoot%\\system32;%SystemRoot%";
    machine[L"PSModulePath"] = L"%ProgramFiles%\\WindowsPowerShell\\Modules;%SystemRoot%\\system32\\WindowsPowerShell\\v1.0\\Modules";
    machine[L"TEMP"] = L"%SystemRoot%\\TEMP";
    machine[L"TMP"] = L"%SystemRoot%\\TEMP";
    machine[L"USERNAME"] = L"SYSTEM";
    machine[L"COR_ENABLE_PROFILING"] = L"1";
    machine[L"COR_PROFILER_PATH"] = L"C:\\Tools\\profiler.dll";
    machine[L"COMPlus_ETWEnabled"] = L"0";
    Variables& folders = system.folders;
    folders[L"ProgramFiles"] = L"C:\\Program Files";
    folders[L"ProgramFiles(x86)"] = L"C:\\Program Files (x86)";
    folders[L"ProgramW6432"] = L"C:\\Program Files";
    folders[L"CommonProgramFiles"] = L"C:\\Program Files\\Common Files";
    folders[L"CommonProgramFiles(x86)"] = L"C:\\Program Files (x86)\\Common Files";
    folders[L"CommonProgramW6432"] = L"C:\\Program Files\\Common Files";
    folders[L"ProgramData"] = L"%SystemDrive%\\ProgramData";
    folders[L"PUBLIC"] = L"%SystemDrive%\\Users\\Public";
    folders[L"USERPROFILE"] = L"C:\\Users\\li";
    folders[L"APPDATA"] = L"C:\\Users\\li\\AppData\\Roaming";
    folders[L"LOCALAPPDATA"] = L"C:\\Users\\li\\AppData\\Local";
    folders[L"HOMEPATH"] = L"\\Users\\li";  // not a variable the children get
    system.tempFolder = L"D:\\产品\\SystemInfoLog\\Temp";
    return system;
}

TEST(ChildEnvironmentTest, ChildrenGetTheSystemsNamedValuesAndNothingElse) {
    const Variables expected = {
        {L"ALLUSERSPROFILE", L"C:\\ProgramData"},
        {L"APPDATA", L"C:\\Users\\li\\AppData\\Roaming"},
        {L"CommonProgramFiles", L"C:\\Program Files\\Common Files"},
        {L"CommonProgramFiles(x86)", L"C:\\Program Files (x86)\\Common Files"},
        {L"CommonProgramW6432", L"C:\\Program Files\\Common Files"},
        {L"ComSpec", L"C:\\Windows\\system32\\cmd.exe"},
        {L"LOCALAPPDATA", L"C:\\Users\\li\\AppData\\Local"},
        {L"NUMBER_OF_PROCESSORS", L"4"},
        {L"OS", L"Windows_NT"},
        {L"PATH", L"C:\\Windows\\system32;C:\\Windows;C:\\Windows\\system32\\Wbem;"
                  L"C:\\Windows\\system32\\WindowsPowerShell\\v1.0"},
        {L"PATHEXT", L".COM;.EXE;.BAT;.CMD"},
        {L"PROCESSOR_ARCHITECTURE", L"AMD64"},
        {L"PROCESSOR_IDENTIFIER", L"Intel64 Family 6 Model 60 Stepping 3, GenuineIntel"},
        {L"PROCESSOR_LEVEL", L"6"},
        {L"PROCESSOR_REVISION", L"3c03"},
        {L"ProgramData", L"C:\\ProgramData"},
        {L"ProgramFiles", L"C:\\Program Files"},
        {L"ProgramFiles(x86)", L"C:\\Program Files (x86)"},
        {L"ProgramW6432", L"C:\\Program Files"},
        {L"PSModulePath", L"C:\\Windows\\system32\\WindowsPowerShell\\v1.0\\Modules"},
        {L"PUBLIC", L"C:\\Users\\Public"},
        {L"SystemDrive", L"C:"},
        {L"SystemRoot", L"C:\\Windows"},
        {L"TEMP", L"D:\\产品\\SystemInfoLog\\Temp"},
        {L"TMP", L"D:\\产品\\SystemInfoLog\\Temp"},
        {L"USERPROFILE", L"C:\\Users\\li"},
        {L"windir", L"C:\\Windows"},
    };
    const Variables child = engine::child::ChildVariables(SampleSystem());
    EXPECT_EQ(child, expected);
    for (const auto& variable : child) EXPECT_EQ(variable.second.find(L'%'), std::wstring::npos) << variable.second;
}

TEST(ChildEnvironmentTest, A32BitEngineOn64BitWindowsGivesItsChildrenThe32BitView) {
    engine::child::SystemValues system = SampleSystem();
    system.wow64 = true;
    const Variables child = engine::child::ChildVariables(system);
    EXPECT_EQ(child.at(L"ProgramFiles"), L"C:\\Program Files (x86)");
    EXPECT_EQ(child.at(L"CommonProgramFiles"), L"C:\\Program Files (x86)\\Common Files");
    EXPECT_EQ(child.at(L"ProgramW6432"), L"C:\\Program Files");
    EXPECT_EQ(child.at(L"PROCESSOR_ARCHITECTURE"), L"x86");
    EXPECT_EQ(child.at(L"PROCESSOR_ARCHITEW6432"), L"AMD64");
}

TEST(ChildEnvironmentTest, ModulePathNeverEqualsTheMachinesAndDefaultsHoldWhereTheSystemSaysNothing) {
    engine::child::SystemValues system = SampleSystem();
    // Equal to the machine's, PowerShell would put the user's own module folder first.
    system.machine[L"PSModulePath"] = L"%SystemRoot%\\SYSTEM32\\WindowsPowerShell\\v1.0\\Modules";
    system.tempFolder.clear();
    EXPECT_EQ(engine::child::ChildVariables(system).at(L"PSModulePath"),
              L"C:\\Windows\\system32\\WindowsPowerShell\\v1.0\\Modules;");
    EXPECT_EQ(engine::child::ChildVariables(system).at(L"TEMP"), L"C:\\Windows\\TEMP") << "no run: the machine's";

    engine::child::SystemValues bare;
    bare.windowsFolder = L"E:\\WINNT";
    const Variables child = engine::child::ChildVariables(bare);
    EXPECT_EQ(child.at(L"ComSpec"), L"E:\\WINNT\\system32\\cmd.exe");
    EXPECT_EQ(child.at(L"OS"), L"Windows_NT");
    EXPECT_EQ(child.at(L"SystemDrive"), L"E:");
    EXPECT_EQ(child.at(L"TEMP"), L"E:\\WINNT\\Temp");
    EXPECT_EQ(child.count(L"ProgramFiles(x86)"), 0u) << "a 32-bit system has none";
    EXPECT_EQ(child.count(L"USERPROFILE"), 0u);
}

// Lines "name=value" as the test program prints its environment, by name.
Variables ParseEnvironment(const std::wstring& text) {
    Variables variables;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        const std::wstring line = text.substr(start, end - start);
        const size_t equals = line.find(L'=', 1);
        if (equals != std::wstring::npos) variables[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return variables;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& start) {
    return text.size() >= start.size() &&
           ::CompareStringOrdinal(text.c_str(), static_cast<int>(start.size()), start.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Sets a variable of this process for one scope.
class HostVariable {
public:
    HostVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
        wchar_t old[8192];
        const DWORD n = ::GetEnvironmentVariableW(name, old, 8192);
        had_ = n > 0 && n < 8192;
        if (had_) old_ = old;
        ::SetEnvironmentVariableW(name, value.c_str());
    }
    ~HostVariable() { ::SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }
    HostVariable(const HostVariable&) = delete;
    HostVariable& operator=(const HostVariable&) = delete;

private:
    const wchar_t* name_;
    bool had_ = false;
    std::wstring old_;
};

using engine::testing::TestProgram;

// The control: what the test program prints of its environment when it simply inherits this
// process's, as every child of the engine once did.
std::wstring InheritedEnvironment() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), &inheritable, 0)) return {};
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd.Get();
    si.hStdError = writeEnd.Get();
    PROCESS_INFORMATION pi{};
    std::wstring line = L"ChunkWriter env";
    if (!::CreateProcessW(TestProgram().c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &si, &pi))
        return {};
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    writeEnd.Reset();
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    ::WaitForSingleObject(process.Get(), 30000);
    return util::text::Widen(bytes, CP_ACP);
}

TEST(ChildEnvironmentTest, AChildOfTheEngineSeesTheSystemsEnvironmentNotTheHosts) {
    TempFolder run(L" run 临时");
    std::wstring environment;
    {
        wchar_t path[8192] = {};
        ::GetEnvironmentVariableW(L"PATH", path, 8192);
        const HostVariable profiling(L"COR_ENABLE_PROFILING", L"1");
        const HostVariable profiler(L"COR_PROFILER_PATH", L"C:\\evil\\profiler.dll");
        const HostVariable complus(L"COMPlus_ReadyToRun", L"0");
        const HostVariable modules(L"PSModulePath", L"C:\\evil");
        const HostVariable search(L"PATH", L"C:\\evil;" + std::wstring(path));
        const HostVariable temp(L"TEMP", L"C:\\evil");
        const Variables inherited = ParseEnvironment(InheritedEnvironment());
        EXPECT_EQ(inherited.count(L"COR_ENABLE_PROFILING"), 1u) << "the control would not show the attack";
        EXPECT_EQ(inherited.count(L"COR_PROFILER_PATH"), 1u);
        EXPECT_EQ(inherited.count(L"PSModulePath") ? inherited.at(L"PSModulePath") : L"", L"C:\\evil");
        engine::child::ChildLauncher::Options options;
        options.tempFolder = run.Path();
        const engine::child::ChildLauncher launcher(options);
        const engine::child::ChildResult result = engine::testing::Capture(TestProgram(), L"ChunkWriter env", INFINITE,
                                                                           launcher);
        ASSERT_TRUE(result.started);
        environment = result.output;
    }
    const Variables child = ParseEnvironment(environment);
    ASSERT_GT(child.size(), 10u) << util::text::Narrow(environment, CP_UTF8);
    for (const auto& variable : child) {
        EXPECT_FALSE(StartsWithNoCase(variable.first, L"COR_")) << "a profiler setting reached the child";
        EXPECT_FALSE(StartsWithNoCase(variable.first, L"COMPlus_")) << "a runtime setting reached the child";
        EXPECT_EQ(variable.second.find(L"evil"), std::wstring::npos) << "the host's " << variable.first;
    }
    const std::wstring windows = util::win::WindowsFolder();
    const std::wstring system32 = windows + L"\\system32";
    EXPECT_EQ(child.at(L"PATH"), system32 + L";" + windows + L";" + system32 + L"\\Wbem;" + system32 +
                                     L"\\WindowsPowerShell\\v1.0");
    EXPECT_EQ(child.at(L"PSModulePath").find(system32 + L"\\WindowsPowerShell\\v1.0\\Modules"), 0u);
    EXPECT_EQ(child.at(L"TEMP"), run.Path());
    EXPECT_EQ(child.at(L"TMP"), run.Path());
    EXPECT_EQ(child.at(L"SystemRoot"), windows);
}

}  // namespace
