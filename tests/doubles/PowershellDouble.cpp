// Test double of powershell: understands only
//   -command "Get-WmiObject -Class <class>"  prints a few ASCII lines naming the class;
//   -command "Get-WindowsUpdateLog"          writes WindowsUpdate.log to the user's desktop.
// Anything else is reported as not recognised, with exit code 1.
#include <shlobj.h>

#include <sstream>

#include "DoubleSupport.h"

using namespace skelda::doubles;

namespace {

std::vector<std::wstring> Words(const std::wstring& text) {
    std::wistringstream in(text);
    std::vector<std::wstring> words;
    for (std::wstring w; in >> w;) words.push_back(w);
    return words;
}

int WmiObject(const std::wstring& wmiClass) {
    if (wmiClass.compare(0, 6, L"Win32_") != 0) {
        WriteErr("Get-WmiObject : Invalid class \"" + Utf8(wmiClass) + "\"\r\n");
        return 1;
    }
    const std::string c = Utf8(wmiClass);
    WriteOut("\r\n__GENUS          : 2\r\n__CLASS          : " + c + "\r\nName             : " + c +
             " (skelda test double)\r\n\r\n");
    return 0;
}

int WindowsUpdateLog() {
    wchar_t desktop[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop))) {
        WriteErr("Get-WindowsUpdateLog : desktop folder unknown\r\n");
        return 1;
    }
    const std::wstring target = std::wstring(desktop) + L"\\WindowsUpdate.log";
    if (!WriteWholeFile(target, "SKELDA TEST DOUBLE WindowsUpdate.log\r\n"
                                "2026/01/01 00:00:00.0000000 1000 2000 Agent  test double entry\r\n")) {
        WriteErr("Get-WindowsUpdateLog : cannot write " + Utf8(target) + "\r\n");
        return 1;
    }
    WriteOut("WindowsUpdate.log written to " + Utf8(target) + "\r\n");
    return 0;
}

}  // namespace

int main() {
    RecordCall();
    const std::vector<std::wstring> args = Arguments();
    size_t at = 1;
    while (at < args.size() && !EqualsNoCase(args[at], L"-command") && !EqualsNoCase(args[at], L"-c")) ++at;
    std::wstring script;  // like PowerShell, the rest of the line after -command is the script
    for (size_t i = at + 1; i < args.size(); ++i) script += (script.empty() ? L"" : L" ") + args[i];
    const std::vector<std::wstring> words = Words(script);
    if (words.size() == 3 && EqualsNoCase(words[0], L"Get-WmiObject") && EqualsNoCase(words[1], L"-Class"))
        return WmiObject(words[2]);
    if (words.size() == 1 && EqualsNoCase(words[0], L"Get-WindowsUpdateLog")) return WindowsUpdateLog();
    WriteErr("The term '" + Utf8(script) + "' is not recognized (skelda test double).\r\n");
    return 1;
}
