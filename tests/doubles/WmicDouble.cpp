// Test double of WMIC: "WMIC <alias> [LIST FULL]" prints a short report naming the alias and
// the form, and for a few aliases the machine's properties (MachineFacts.h); "WMIC OS" prints
// its table. UTF-16LE with a byte-order mark, as WMIC writes to a file or pipe.
// Stuck tools, on request: the alias named by the knob SKELDA_DOUBLES_HANG writes its first line
// and never ends; the alias named by SKELDA_DOUBLES_HANG_CHILD starts a child of its own
// ("WMIC --hang") that never ends, and waits for it. A field profile gives each alias its time.
#include "DoubleSettings.h"
#include "DoubleSupport.h"
#include "FieldProfile.h"
#include "MachineFacts.h"

using namespace doubles;

namespace {

bool Named(const wchar_t* knob, const std::wstring& alias) {
    const std::wstring value = Knob(knob);
    return !value.empty() && alias == value;
}

[[noreturn]] void Hang() {
    for (;;) ::Sleep(INFINITE);
}

void HangInChild() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"WMIC --hang";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(self, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ::CloseHandle(pi.hThread);
        ::WaitForSingleObject(pi.hProcess, INFINITE);
    }
}

}  // namespace

int main() {
    RecordCall();
    HangIfEveryToolHangs();
    const std::vector<std::wstring> args = Arguments();
    if (args.size() == 2 && args[1] == L"--hang") Hang();
    if (args.size() >= 2 && Named(L"SKELDA_DOUBLES_HANG", args[1])) {
        WriteOut(std::string("\xFF\xFE\r\0\n\0", 6));
        Hang();
    }
    if (args.size() >= 2 && Named(L"SKELDA_DOUBLES_HANG_CHILD", args[1])) HangInChild();
    if (args.size() < 2) {
        WriteErr("wmic:root\\cli>\r\n");
        return 1;
    }
    SpendFieldCosts("wmic", {Utf8(args[1])});
    std::wstring form;
    for (size_t i = 2; i < args.size(); ++i) form += (i > 2 ? L" " : L"") + args[i];
    std::wstring report;
    if (args[1] == L"OS" && form.empty()) {
        report = WmicOsTable();
    } else {
        // The double's own lines, then the machine's properties of this alias, an instance each.
        const std::vector<std::wstring> facts = WmicListFacts(args[1]);
        report = L"\r\n\r\nAlias=" + args[1] + L"\r\nForm=" + (form.empty() ? L"(default)" : form) +
                 L"\r\nCaption=WMIC 测试替身\r\nSource=skelda test double\r\n";
        for (size_t i = 0; i < facts.size(); ++i) report += (i ? L"\r\n\r\n" : L"") + facts[i];
        report += L"\r\n";
    }
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : report) {
        bytes += static_cast<char>(ch & 0xFF);
        bytes += static_cast<char>(ch >> 8);
    }
    WriteOut(bytes);
    return 0;
}
