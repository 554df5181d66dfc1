#include "text/LongPath.h"

namespace util::text {

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

std::vector<std::wstring> Names(const std::wstring& text) {
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\\', start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

}  // namespace

std::wstring LongPath(const std::wstring& path) {
    if (StartsWith(path, kLongPrefix)) return path;
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return kLongPrefix + path;
    if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\' && path[2] != L'?' &&
        path[2] != L'.')
        return kLongUncPrefix + path.substr(2);
    return path;
}

std::wstring ShortForm(const std::wstring& path) {
    if (StartsWith(path, kLongUncPrefix)) return L"\\\\" + path.substr(8);
    if (StartsWith(path, kLongPrefix)) return path.substr(4);
    return path;
}

PathParts SplitFullPath(const std::wstring& path) {
    PathParts parts;
    const std::wstring plain = ShortForm(path);
    std::vector<std::wstring> names;
    if (plain.size() >= 3 && IsDriveLetter(plain[0]) && plain[1] == L':' && plain[2] == L'\\') {
        parts.root = plain.substr(0, 3);
        names = Names(plain.substr(3));
    } else if (plain.size() > 2 && plain[0] == L'\\' && plain[1] == L'\\' && plain[2] != L'\\') {
        std::vector<std::wstring> all = Names(plain.substr(2));
        if (all.size() < 2 || all[0] == L"?" || all[0] == L".") return parts;
        parts.root = L"\\\\" + all[0] + L"\\" + all[1] + L"\\";
        names.assign(all.begin() + 2, all.end());
    } else {
        return parts;
    }
    for (const std::wstring& name : names)
        if (name == L"." || name == L"..") return parts;
    parts.names = std::move(names);
    parts.valid = true;
    return parts;
}

std::wstring JoinParts(const PathParts& parts, size_t count) {
    std::wstring path = parts.root;
    for (size_t i = 0; i < count && i < parts.names.size(); ++i) path += (i ? L"\\" : L"") + parts.names[i];
    return path;
}

std::wstring LastName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace util::text
