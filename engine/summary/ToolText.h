#pragma once
// The text of a file a Windows tool wrote, whatever its encoding, as lines: every parser of the
// summary starts here.
#include <string>
#include <vector>

namespace engine::summary {

// UTF-16LE after the mark FF FE (WMIC), UTF-8 after EF BB BF, UTF-16LE without a mark where
// every second byte of the start is zero; otherwise text in codePage, the code page a console
// tool writes to a file or pipe (the PC's OEM code page).
std::wstring DecodeToolText(const std::string& bytes, unsigned codePage);

// The lines, without their CR LF, CR CR LF, LF or CR; a last line without a break is kept.
std::vector<std::wstring> SplitLines(const std::wstring& text);

// Without blanks and tabs at either end.
std::wstring Trimmed(const std::wstring& text);

// Whether text starts with head, letters compared without regard to case (ASCII).
bool StartsWithNoCase(const std::wstring& text, const std::wstring& head);
// Whether needle occurs in text, ASCII letters compared without regard to case.
bool ContainsNoCase(const std::wstring& text, const std::wstring& needle);

}  // namespace engine::summary
