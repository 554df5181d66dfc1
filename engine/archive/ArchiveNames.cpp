#include "archive/ArchiveNames.h"

#include <cwchar>
#include <cwctype>

#include "text/LongPath.h"
#include "text/WideText.h"

namespace engine::archive {

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::wstring WithArchiveExtension(const std::wstring& path) {
    const std::wstring name = util::text::LastName(path);
    if (name.empty() || name.find(L'.') != std::wstring::npos) return path;
    return path + L".7z";
}

std::wstring TemporaryFolderPath(const std::wstring& archivePath, unsigned long processId) {
    return archivePath + L"." + std::to_wstring(processId) + L".partial";
}

std::wstring TemporaryArchivePath(const std::wstring& archivePath, unsigned long processId) {
    return TemporaryFolderPath(archivePath, processId) + L"\\" + util::text::LastName(archivePath);
}

bool IsEarlierTemporaryName(const std::wstring& name, const std::wstring& archiveName) {
    const std::wstring lower = util::text::ToLower(name);
    const std::wstring prefix = util::text::ToLower(archiveName) + L".";
    if (archiveName.empty() || lower.compare(0, prefix.size(), prefix) != 0) return false;
    std::wstring rest = lower.substr(prefix.size());
    if (EndsWith(rest, L".partial.7z")) rest.resize(rest.size() - 11);
    else if (EndsWith(rest, L".partial")) rest.resize(rest.size() - 8);
    else return false;
    if (rest.empty()) return false;
    for (wchar_t c : rest)
        if (c < L'0' || c > L'9') return false;
    return true;
}

std::wstring KeptArchiveName(const std::wstring& archiveName, const SYSTEMTIME& t, int attempt) {
    const size_t dot = archiveName.find_last_of(L'.');
    const std::wstring stem = dot == std::wstring::npos || dot == 0 ? archiveName : archiveName.substr(0, dot);
    const std::wstring extension = dot == std::wstring::npos || dot == 0 ? L".7z" : archiveName.substr(dot);
    wchar_t stamp[40];
    std::swprintf(stamp, 40, L"%04u-%02u-%02u %02u.%02u.%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    std::wstring name = stem + L" (" + stamp;
    if (attempt > 1) name += L" " + std::to_wstring(attempt);
    return name + L")" + extension;
}

}  // namespace engine::archive
