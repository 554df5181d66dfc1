// Test double of WMIC: "WMIC <alias> [LIST FULL]" prints a short report naming the alias and
// the form, in UTF-16LE with a byte-order mark, as WMIC writes to a file or pipe.
#include "DoubleSupport.h"

using namespace skelda::doubles;

int main() {
    RecordCall();
    const std::vector<std::wstring> args = Arguments();
    if (args.size() < 2) {
        WriteErr("wmic:root\\cli>\r\n");
        return 1;
    }
    std::wstring form;
    for (size_t i = 2; i < args.size(); ++i) form += (i > 2 ? L" " : L"") + args[i];
    const std::wstring report = L"\r\n\r\nAlias=" + args[1] + L"\r\nForm=" + (form.empty() ? L"(default)" : form) +
                                L"\r\nCaption=WMIC 测试替身\r\nSource=skelda test double\r\n\r\n";
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : report) {
        bytes += static_cast<char>(ch & 0xFF);
        bytes += static_cast<char>(ch >> 8);
    }
    WriteOut(bytes);
    return 0;
}
