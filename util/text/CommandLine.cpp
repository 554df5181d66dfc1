#include "text/CommandLine.h"

namespace util::text {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring PowerShellQuoted(const std::wstring& text) {
    std::wstring out = L"'";
    for (wchar_t c : text) {
        out += c;
        if (c == L'\'') out += c;
    }
    return out + L"'";
}

std::wstring InterpreterLine(const std::wstring& interpreterPath, const std::wstring& command) {
    return Quoted(interpreterPath) + L" /D /S /C " + Quoted(command);
}

}  // namespace util::text
