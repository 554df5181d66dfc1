// Test double of powershell: understands only
//   -command "Get-WmiObject -Class <class>"  prints a few ASCII lines naming the class;
//   -command "Get-WindowsUpdateLog [-LogPath '<file>']"
//                                            writes the file, by default WindowsUpdate.log on
//                                            the user's desktop (or not: SKELDA_DOUBLES_UPDATE_LOG);
//   -EncodedCommand <Base64>                 the engine's WMI alias script: answers each alias
//                                            it lists with canned instances, as the script
//                                            would, its limits included (see README).
// Anything else is reported as not recognised, with exit code 1.
#include <shlobj.h>

#include <climits>
#include <cwchar>
#include <sstream>

#include "text/Base64.h"
#include "DoubleSettings.h"
#include "DoubleSupport.h"
#include "FieldProfile.h"
#include "MachineFacts.h"

using namespace doubles;

namespace {

std::vector<std::wstring> Words(const std::wstring& text) {
    std::wistringstream in(text);
    std::vector<std::wstring> words;
    for (std::wstring w; in >> w;) words.push_back(w);
    return words;
}

int WmiObject(const std::wstring& wmiClass) {
    if (wmiClass.compare(0, 6, L"Win32_") != 0 || wmiClass == Knob(L"SKELDA_DOUBLES_FAIL_CLASS")) {
        WriteErr("Get-WmiObject : Invalid class \"" + Utf8(wmiClass) + "\"\r\n");
        return 1;
    }
    const std::string c = Utf8(wmiClass);
    if (wmiClass == L"Win32_PnPEntity") {
        WriteOut(PnpEntityList());
        return 0;
    }
    WriteOut("\r\n__GENUS          : 2\r\n__CLASS          : " + c + "\r\nName             : " + c +
             " (skelda test double)\r\n\r\n");
    return 0;
}

// The fields of a script line "$t+=,@('a','b',...)": single-quoted, a doubled quote is one.
std::vector<std::wstring> QuotedFields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    for (size_t i = line.find(L'\''); i != std::wstring::npos && i < line.size(); i = line.find(L'\'', i + 1)) {
        std::wstring field;
        for (++i; i < line.size(); ++i) {
            if (line[i] == L'\'' && i + 1 < line.size() && line[i + 1] == L'\'') {
                field += line[i++];
            } else if (line[i] == L'\'') {
                break;
            } else {
                field += line[i];
            }
        }
        fields.push_back(field);
    }
    return fields;
}

// Value j of instance k, as the script writes what Get-WmiObject hands out: Chinese text, an
// empty value, a value over two lines, plain text, a DMTF date-time as WMI holds it, and an
// array joined with the alias's own separator.
std::wstring CannedValue(const std::wstring& wmiClass, const std::wstring& property, size_t j, int k,
                         const std::wstring& separator) {
    switch (j % 6) {
        case 0: return L"测试值 " + wmiClass + L" 实例" + std::to_wstring(k);
        case 1: return L"";
        case 2: return L"第一行\r\n第二行";
        case 3: return property + L"-" + std::to_wstring(k);
        case 4: return L"2026010" + std::to_wstring(k) + L"083000.000000+480";
        default: return L"{\"甲" + std::to_wstring(k) + L"\"" + separator + L"\"乙\"}";
    }
}

// The number a script line "$<name>=<n>" gives, or fallback.
unsigned long ScriptNumber(const std::wstring& script, const std::wstring& name, unsigned long fallback) {
    const std::wstring start = L"$" + name + L"=";
    const size_t at = script.find(L"\n" + start);
    return at == std::wstring::npos ? fallback : std::wcstoul(script.c_str() + at + 1 + start.size(), nullptr, 10);
}

// A value of 20 MiB, cut as the script cuts what is longer than $cut characters.
std::wstring BigValue(unsigned long cut) {
    const size_t total = 20 * 1024 * 1024;
    const std::wstring pattern = L"环境变量值 big value ";
    std::wstring value;
    while (value.size() < cut && value.size() < total) value += pattern;
    if (total <= cut) return value.substr(0, total);
    return value.substr(0, cut) + L"\u2026[cut at " + std::to_wstring(cut) + L" of " + std::to_wstring(total) +
           L" characters]";
}

// Answers like the engine's script: "A <alias>" as the alias begins, per instance "I" and one
// "P <Base64>" per property, then "Z"; the class named by SKELDA_DOUBLES_FAIL_CLASS answers
// "E <Base64>" as an unknown class would, with PowerShell's error text on stderr, and the exit
// code is 1. The class named by SKELDA_DOUBLES_HANG_CLASS hangs as a stuck provider does: the
// double waits the script's per-alias limit ($lim) and answers "T", as the script does when it
// leaves the alias behind, then goes on. The class named by SKELDA_DOUBLES_BIG_CLASS has a
// value of 20 MiB in its first instance's last property, cut as the script cuts at $cut.
int AliasScript(const std::wstring& encoded) {
    std::wstring script;
    if (!util::text::Utf16FromBase64(encoded, script)) {
        WriteErr("Cannot process the command because the value of -EncodedCommand is not valid.\r\n");
        return 1;
    }
    const std::wstring failing = Knob(L"SKELDA_DOUBLES_FAIL_CLASS");
    const std::wstring hanging = Knob(L"SKELDA_DOUBLES_HANG_CLASS");
    const std::wstring big = Knob(L"SKELDA_DOUBLES_BIG_CLASS");
    const unsigned long limitMs = ScriptNumber(script, L"lim", INFINITE);
    const unsigned long cut = ScriptNumber(script, L"cut", ULONG_MAX);
    std::wistringstream lines(script);
    int exitCode = 0;
    bool any = false;
    for (std::wstring line; std::getline(lines, line);) {
        if (line.compare(0, 7, L"$t+=,@(") != 0) continue;
        // alias, namespace, class, filter, properties, array separator
        const std::vector<std::wstring> f = QuotedFields(line);
        if (f.size() != 6) continue;
        any = true;
        WriteOut("A " + Utf8(f[0]) + "\r\n");
        std::string out;
        if (!f[2].empty() && f[2] == hanging) {
            ::Sleep(limitMs);
            out = "T\r\n";
        } else if (!f[2].empty() && f[2] == failing) {
            WriteErr("Get-WmiObject : Invalid class \"" + Utf8(f[2]) + "\"\r\n");
            out = "E " + Utf8(util::text::Utf16Base64(L"无效类 (invalid class) \"" + f[2] + L"\"")) + "\r\n";
            exitCode = 1;
        } else {
            std::vector<std::wstring> properties;
            std::wistringstream names(f[4]);
            for (std::wstring name; std::getline(names, name, L',');) properties.push_back(name);
            for (int k = 1; k <= 2; ++k) {
                out += "I\r\n";
                for (size_t j = 0; j < properties.size(); ++j) {
                    const bool isBig = k == 1 && j + 1 == properties.size() && f[2] == big;
                    const std::wstring value = isBig ? BigValue(cut) : CannedValue(f[2], properties[j], j, k, f[5]);
                    out += "P " + Utf8(util::text::Utf16Base64(value)) + "\r\n";
                }
            }
            out += "Z\r\n";
        }
        WriteOut(out);
    }
    if (!any) {
        WriteErr("The script names no alias (skelda test double).\r\n");
        return 1;
    }
    return exitCode;
}

// SKELDA_DOUBLES_UPDATE_LOG: "fail" fails without writing the log, "unwritten" ends well without
// writing it; whatever lies at the target stays as it is. logPath empty: the desktop, as the
// real cmdlet does.
int WindowsUpdateLog(const std::wstring& logPath) {
    const std::wstring mode = Knob(L"SKELDA_DOUBLES_UPDATE_LOG");
    if (mode == L"fail") {
        WriteErr("Get-WindowsUpdateLog : failed to decode the trace files (skelda test double)\r\n");
        return 1;
    }
    if (mode == L"unwritten") return 0;
    std::wstring target = logPath;
    if (target.empty()) {
        wchar_t desktop[MAX_PATH] = {};
        if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop))) {
            WriteErr("Get-WindowsUpdateLog : desktop folder unknown\r\n");
            return 1;
        }
        target = std::wstring(desktop) + L"\\WindowsUpdate.log";
    }
    if (!WriteWholeFile(target, "SKELDA TEST DOUBLE WindowsUpdate.log\r\n"
                                "2026/01/01 00:00:00.0000000 1000 2000 Agent  test double entry\r\n")) {
        WriteErr("Get-WindowsUpdateLog : cannot write " + Utf8(target) + "\r\n");
        return 1;
    }
    WriteOut("WindowsUpdate.log written to " + Utf8(target) + "\r\n");
    return 0;
}

// "Get-WindowsUpdateLog" alone or with "-LogPath '<file>'"; false for anything else.
bool ParseUpdateLogCall(const std::wstring& script, std::wstring& logPath) {
    const std::vector<std::wstring> words = Words(script);
    if (words.empty() || !EqualsNoCase(words[0], L"Get-WindowsUpdateLog")) return false;
    logPath.clear();
    if (words.size() == 1) return true;
    const std::vector<std::wstring> quoted = QuotedFields(script);
    if (!EqualsNoCase(words[1], L"-LogPath") || quoted.size() != 1 || quoted[0].empty()) return false;
    logPath = quoted[0];
    return true;
}

}  // namespace

int main() {
    RecordCall();
    HangIfEveryToolHangs();
    const std::vector<std::wstring> args = Arguments();
    SpendFieldCosts("powershell", PowershellFieldItems(args));
    for (size_t i = 1; i + 1 < args.size(); ++i)
        if (EqualsNoCase(args[i], L"-EncodedCommand")) return AliasScript(args[i + 1]);
    size_t at = 1;
    while (at < args.size() && !EqualsNoCase(args[at], L"-command") && !EqualsNoCase(args[at], L"-c")) ++at;
    std::wstring script;  // like PowerShell, the rest of the line after -command is the script
    for (size_t i = at + 1; i < args.size(); ++i) script += (script.empty() ? L"" : L" ") + args[i];
    const std::vector<std::wstring> words = Words(script);
    if (words.size() == 3 && EqualsNoCase(words[0], L"Get-WmiObject") && EqualsNoCase(words[1], L"-Class"))
        return WmiObject(words[2]);
    std::wstring logPath;
    if (ParseUpdateLogCall(script, logPath)) return WindowsUpdateLog(logPath);
    WriteErr("The term '" + Utf8(script) + "' is not recognized (skelda test double).\r\n");
    return 1;
}
