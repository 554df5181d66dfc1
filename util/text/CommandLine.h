#pragma once
// Building command lines for the command interpreter.
#include <string>

namespace util::text {

// A path or argument between double quotes. Windows paths cannot hold a double quote.
std::wstring Quoted(const std::wstring& text);

// A PowerShell string literal in single quotes: nothing inside is expanded, a quote doubles.
std::wstring PowerShellQuoted(const std::wstring& text);

// The full line that starts the interpreter at interpreterPath for command:
//   "<interpreter>" /D /S /C "<command>"
// /D skips AutoRun commands; with /S the interpreter removes exactly the outer pair of
// quotes, so the command reaches it unchanged whatever quotes, blanks or "&" it holds.
std::wstring InterpreterLine(const std::wstring& interpreterPath, const std::wstring& command);

// The longest command line CreateProcessW accepts, terminator included.
constexpr size_t kMaxCommandLine = 32767;

}  // namespace util::text
