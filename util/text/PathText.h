#pragma once
// Path text rules that need no file system.
#include <optional>
#include <string>

namespace util::text {

// The text with one trailing backslash added when it has none (empty stays empty).
std::wstring WithTrailingBackslash(const std::wstring& path);

// The text before the last backslash, followed by a backslash; the whole text plus a
// backslash when it holds none.
std::wstring FolderOfFile(const std::wstring& fileName);

// The text before the first backslash, or the whole text.
std::wstring FirstComponent(const std::wstring& path);

// folder + "\" + name, when the result and its terminator fit into capacity wide characters;
// nothing otherwise. A folder that already ends in a backslash still gets one more, so a
// drive root yields "C:\\name", as callers have always seen.
std::optional<std::wstring> JoinWithinCapacity(const std::wstring& folder, const std::wstring& name,
                                               size_t capacity);

// Every occurrence of from replaced by to.
std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to);

}  // namespace util::text
