#include "child/ChildEnvironment.h"

#include <windows.h>
#include <shlobj.h>

#include "win/SystemPaths.h"
#include "win/UniqueHandle.h"

namespace engine::child {

bool NameLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_LESS_THAN;
}

std::wstring ExpandReferences(const std::wstring& text, const Variables& values) {
    std::wstring out;
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find(L'%', at);
        const size_t close = open == std::wstring::npos ? std::wstring::npos : text.find(L'%', open + 1);
        if (close == std::wstring::npos) break;
        const auto found = values.find(text.substr(open + 1, close - open - 1));
        out += text.substr(at, open - at);
        if (found == values.end()) {
            out += L'%';  // as written; its closing "%" may open the next reference
            at = open + 1;
        } else {
            out += found->second;
            at = close + 1;
        }
    }
    return out + text.substr(at);
}

Variables ChildVariables(const SystemValues& system) {
    const std::wstring& windows = system.windowsFolder;
    const std::wstring system32 = windows + L"\\system32";
    Variables child;
    child[L"SystemRoot"] = windows;
    child[L"windir"] = windows;
    if (windows.size() >= 2 && windows[1] == L':') child[L"SystemDrive"] = windows.substr(0, 2);
    const Variables base = child;  // what the system's own texts refer to
    auto value = [&base](const Variables& from, const wchar_t* name) {
        const auto found = from.find(name);
        return found == from.end() ? std::wstring() : ExpandReferences(found->second, base);
    };
    auto take = [&child](const wchar_t* name, const std::wstring& text) {
        if (!text.empty()) child[name] = text;
    };

    // The machine's own settings of the command interpreter and the processor, nothing else
    // of the machine's environment: an administrator's machine-wide COR_* or a PATH of
    // installed programs stays out as well.
    for (const wchar_t* name : {L"ComSpec", L"OS", L"PATHEXT", L"NUMBER_OF_PROCESSORS", L"PROCESSOR_ARCHITECTURE",
                                L"PROCESSOR_IDENTIFIER", L"PROCESSOR_LEVEL", L"PROCESSOR_REVISION"})
        take(name, value(system.machine, name));
    if (!child.count(L"ComSpec")) child[L"ComSpec"] = system32 + L"\\cmd.exe";
    if (!child.count(L"OS")) child[L"OS"] = L"Windows_NT";
    if (!child.count(L"PATHEXT")) child[L"PATHEXT"] = L".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC";

    // The shared folders, as a process of the engine's own kind sees them: a 32-bit child on
    // 64-bit Windows sees the 32-bit program folders (Windows gives a 64-bit child of a 32-bit
    // process the native ones itself).
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"CommonProgramFiles",
                                L"CommonProgramFiles(x86)", L"CommonProgramW6432", L"ProgramData", L"PUBLIC"})
        take(name, value(system.folders, name));
    take(L"ALLUSERSPROFILE", value(system.folders, L"ProgramData"));
    if (system.wow64) {
        take(L"ProgramFiles", value(system.folders, L"ProgramFiles(x86)"));
        take(L"CommonProgramFiles", value(system.folders, L"CommonProgramFiles(x86)"));
        take(L"PROCESSOR_ARCHITEW6432", child[L"PROCESSOR_ARCHITECTURE"]);
        child[L"PROCESSOR_ARCHITECTURE"] = L"x86";
    }

    // The user's profile folders, from the profile, which runs elevated as the same user:
    // programs that look the user's folders up in the environment (.NET's and PowerShell's
    // per-user caches) still find them.
    // They are where data goes, never where a child looks for code.
    for (const wchar_t* name : {L"USERPROFILE", L"APPDATA", L"LOCALAPPDATA"}) take(name, value(system.folders, name));

    // Programs are looked up in the system's folders only.
    child[L"PATH"] = system32 + L";" + windows + L";" + system32 + L"\\Wbem;" + system32 +
                     L"\\WindowsPowerShell\\v1.0";
    // Windows PowerShell keeps a module path that differs from the machine's, adding only the
    // all-users folder under Program Files (administrators' alone); a path equal to the
    // machine's would get the user's own module folder put first.
    std::wstring modules = system32 + L"\\WindowsPowerShell\\v1.0\\Modules";
    const std::wstring machineModules = value(system.machine, L"PSModulePath");
    if (::CompareStringOrdinal(modules.c_str(), -1, machineModules.c_str(), -1, TRUE) == CSTR_EQUAL) modules += L";";
    child[L"PSModulePath"] = modules;

    std::wstring temp = system.tempFolder;
    if (temp.empty()) temp = value(system.machine, L"TEMP");
    if (temp.empty()) temp = windows + L"\\Temp";
    child[L"TEMP"] = temp;
    child[L"TMP"] = temp;
    return child;
}

std::vector<wchar_t> EnvironmentBlock(const Variables& variables) {
    std::vector<wchar_t> block;
    for (const auto& variable : variables) {
        const std::wstring& name = variable.first;
        const std::wstring& text = variable.second;
        if (name.empty() || name.find(L'=') != std::wstring::npos || text.find(L'\0') != std::wstring::npos ||
            name.find(L'\0') != std::wstring::npos)
            continue;
        block.insert(block.end(), name.begin(), name.end());
        block.push_back(L'=');
        block.insert(block.end(), text.begin(), text.end());
        block.push_back(L'\0');
    }
    if (block.empty()) block.push_back(L'\0');  // an empty block is two NULs too
    block.push_back(L'\0');
    return block;
}

namespace {

// A string value as stored (REG_EXPAND_SZ unexpanded); empty when missing or not text.
std::wstring RegistryText(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return {};
    return std::wstring(text.data());
}

class RegistryKey {
public:
    RegistryKey(const wchar_t* path, REGSAM view) {
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_) ::RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Every text value of the machine's environment, as stored.
void ReadMachineEnvironment(Variables& machine) {
    const RegistryKey key(L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", 0);
    if (!key.Get()) return;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        const LONG result = ::RegEnumValueW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) continue;
        const std::wstring text = RegistryText(key.Get(), name);
        if (!text.empty()) machine[name] = text;
    }
}

void ReadFolders(Variables& folders) {
    // The native view, also from a 32-bit engine on 64-bit Windows.
    {
        const RegistryKey key(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_WOW64_64KEY);
        if (key.Get()) {
            folders[L"ProgramFiles"] = RegistryText(key.Get(), L"ProgramFilesDir");
            folders[L"ProgramFiles(x86)"] = RegistryText(key.Get(), L"ProgramFilesDir (x86)");
            folders[L"CommonProgramFiles"] = RegistryText(key.Get(), L"CommonFilesDir");
            folders[L"CommonProgramFiles(x86)"] = RegistryText(key.Get(), L"CommonFilesDir (x86)");
            folders[L"ProgramW6432"] = RegistryText(key.Get(), L"ProgramW6432Dir");
            folders[L"CommonProgramW6432"] = RegistryText(key.Get(), L"CommonW6432Dir");
            if (util::win::Is64BitWindows()) {  // older systems lack the W6432 names
                if (folders[L"ProgramW6432"].empty()) folders[L"ProgramW6432"] = folders[L"ProgramFiles"];
                if (folders[L"CommonProgramW6432"].empty())
                    folders[L"CommonProgramW6432"] = folders[L"CommonProgramFiles"];
            }
        }
    }
    {
        const RegistryKey key(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", KEY_WOW64_64KEY);
        if (key.Get()) {
            folders[L"ProgramData"] = RegistryText(key.Get(), L"ProgramData");
            folders[L"PUBLIC"] = RegistryText(key.Get(), L"Public");
        }
    }
    static const struct {
        const wchar_t* name;
        int folder;
    } kProfile[] = {{L"USERPROFILE", CSIDL_PROFILE}, {L"APPDATA", CSIDL_APPDATA}, {L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA}};
    for (const auto& entry : kProfile) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(::SHGetFolderPathW(nullptr, entry.folder, nullptr, SHGFP_TYPE_CURRENT, path)))
            folders[entry.name] = path;
    }
}

}  // namespace

SystemValues GatherSystemValues() {
    SystemValues system;
    system.windowsFolder = util::win::WindowsFolder();
    system.wow64 = util::win::IsWow64();
    ReadMachineEnvironment(system.machine);
    ReadFolders(system.folders);
    return system;
}

}  // namespace engine::child
