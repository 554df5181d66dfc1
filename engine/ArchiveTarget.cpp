#include "ArchiveTarget.h"

#include <cwchar>
#include <cwctype>

#include "LongPath.h"
#include "WideText.h"

namespace engine {

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::wstring WithArchiveExtension(const std::wstring& path) {
    const std::wstring name = skelda::LastName(path);
    if (name.empty() || name.find(L'.') != std::wstring::npos) return path;
    return path + L".7z";
}

std::wstring TemporaryFolderPath(const std::wstring& archivePath, unsigned long processId) {
    return archivePath + L"." + std::to_wstring(processId) + L".partial";
}

std::wstring TemporaryArchivePath(const std::wstring& archivePath, unsigned long processId) {
    return TemporaryFolderPath(archivePath, processId) + L"\\" + skelda::LastName(archivePath);
}

bool IsEarlierTemporaryName(const std::wstring& name, const std::wstring& archiveName) {
    const std::wstring lower = Lower(name);
    const std::wstring prefix = Lower(archiveName) + L".";
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

std::vector<std::wstring> ListedPaths(const std::wstring& listing) {
    std::vector<std::wstring> paths;
    bool entries = false;
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = listing.size();
        const std::wstring line = listing.substr(start, end - start);
        start = end + 1;
        if (line.compare(0, 10, L"----------") == 0) entries = true;
        else if (entries && line.compare(0, 7, L"Path = ") == 0) paths.push_back(line.substr(7));
    }
    return paths;
}

std::vector<std::wstring> MissingFromListing(const std::vector<std::wstring>& expected,
                                             const std::vector<std::wstring>& listed) {
    std::vector<std::wstring> lowered;
    lowered.reserve(listed.size());
    for (const std::wstring& path : listed) lowered.push_back(Lower(path));
    std::vector<std::wstring> missing;
    for (const std::wstring& path : expected) {
        const std::wstring lower = Lower(path);
        bool found = false;
        for (const std::wstring& entry : lowered) {
            if (entry == lower) {
                found = true;
                break;
            }
        }
        if (!found) missing.push_back(path);
    }
    return missing;
}

std::string ArchiveCheckText(unsigned long packerExitCode, const std::wstring& packerMessages,
                             const std::vector<std::wstring>& missing) {
    std::wstring text = L"压缩包检查 (archive check)\r\n\r\n";
    text += L"压缩程序退出码 (packer exit code): " + std::to_wstring(packerExitCode) + L"\r\n";
    text += L"压缩程序消息 (packer messages): " + (packerMessages.empty() ? std::wstring(L"-") : packerMessages) +
            L"\r\n\r\n";
    text += L"缺少的文件 (files missing from the archive): " + std::to_wstring(missing.size()) + L"\r\n";
    for (const std::wstring& path : missing) text += L"    " + path + L"\r\n";
    return "\xEF\xBB\xBF" + skelda::Narrow(text, CP_UTF8);
}

void MarkHeldFiles(std::vector<StepRecord>& records, const std::vector<std::wstring>& heldFiles) {
    for (const std::wstring& file : heldFiles) {
        for (StepRecord& record : records) {
            if (record.output.empty()) continue;
            if (file != record.output && file.compare(0, record.output.size() + 1, record.output + L"/") != 0) continue;
            if (record.outcome == Outcome::Ok) record.outcome = Outcome::Partial;
            record.reason += (record.reason.empty() ? L"" : L"; ") + std::wstring(L"still open for writing when packing began: ") + file;
        }
    }
}

}  // namespace engine
