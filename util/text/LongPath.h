#pragma once
// Path text for the engine's own file operations: the long form that passes MAX_PATH, and the
// split of a full path into its root and the folders below it. No file system is touched.
#include <string>
#include <vector>

namespace util::text {

// The "\\?\" form of a full path: "C:\a" → "\\?\C:\a", "\\server\share\a" →
// "\\?\UNC\server\share\a"; a path already in that form, and anything that is not a full
// path, stays as it is.
std::wstring LongPath(const std::wstring& path);

// The ordinary form of a path, the "\\?\" prefix taken off again.
std::wstring ShortForm(const std::wstring& path);

// A full path split into its root and its names: "C:\a\b" → {"C:\", {"a", "b"}},
// "\\server\share\a" → {"\\server\share\", {"a"}}; the "\\?\" forms likewise. Repeated and
// trailing backslashes are ignored. valid is false for anything that is not a full path (no
// drive or share, a "." or ".." name).
struct PathParts {
    bool valid = false;
    std::wstring root;               // with its trailing backslash
    std::vector<std::wstring> names;
};
PathParts SplitFullPath(const std::wstring& path);

// root + the first count names, backslashes between them; the root alone for count 0.
std::wstring JoinParts(const PathParts& parts, size_t count);

// The last name of a path (after its last backslash).
std::wstring LastName(const std::wstring& path);

}  // namespace util::text
