#include "text/PathText.h"

namespace util::text {

std::wstring WithTrailingBackslash(const std::wstring& path) {
    if (path.empty() || path.back() == L'\\') return path;
    return path + L'\\';
}

std::wstring FolderOfFile(const std::wstring& fileName) {
    size_t pos = fileName.rfind(L'\\');
    if (pos == std::wstring::npos) return fileName + L'\\';
    return fileName.substr(0, pos) + L'\\';
}

std::wstring FirstComponent(const std::wstring& path) {
    size_t pos = path.find(L'\\');
    return pos == std::wstring::npos ? path : path.substr(0, pos);
}

std::optional<std::wstring> JoinWithinCapacity(const std::wstring& folder, const std::wstring& name,
                                               size_t capacity) {
    std::wstring joined = folder + L'\\' + name;
    if (joined.size() + 1 > capacity) return std::nullopt;
    return joined;
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
    if (from.empty()) return text;
    for (size_t pos = text.find(from); pos != std::wstring::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
    return text;
}

}  // namespace util::text
