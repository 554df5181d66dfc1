#include "VersionFile.h"

#include <windows.h>

#include "OrvaneFeedbackInformation.h"
#include "VersionText.h"
#include "text/WideText.h"

namespace outside {

namespace {

std::optional<std::wstring> DecodeUtf8(const std::string& bytes) {
    std::string text = bytes;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (text.empty()) return std::wstring();
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::wstring Trim(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t\r") - first + 1);
}

bool SameName(const std::wstring& a, const wchar_t* b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const size_t n = wcslen(prefix);
    return text.size() >= n &&
           ::CompareStringOrdinal(text.c_str(), static_cast<int>(n), prefix, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

std::wstring PercentEncode(const std::wstring& value) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : util::text::Narrow(value, CP_UTF8)) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += static_cast<wchar_t>(c);
        } else {
            out += L'%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace

bool IsWebAddress(const std::wstring& url) {
    const wchar_t* rest = nullptr;
    if (StartsWithNoCase(url, L"https://")) {
        rest = url.c_str() + 8;
    } else if (StartsWithNoCase(url, L"http://")) {
        rest = url.c_str() + 7;
    } else {
        return false;
    }
    if (*rest == L'\0' || *rest == L'/') return false;  // no host
    for (wchar_t c : url) {
        if (c <= L' ' || c == 0x7F) return false;
    }
    return true;
}

std::optional<VersionFile> ParseVersionFile(const std::string& bytes) {
    if (bytes.size() > kVersionFileMaxBytes) return std::nullopt;
    const std::optional<std::wstring> text = DecodeUtf8(bytes);
    if (!text) return std::nullopt;

    VersionFile file;
    bool inVersion = false;
    bool seenLatest = false, seenDownload = false, seenFeedback = false;
    size_t start = 0;
    while (start <= text->size()) {
        size_t end = text->find(L'\n', start);
        if (end == std::wstring::npos) end = text->size();
        const std::wstring line = Trim(text->substr(start, end - start));
        start = end + 1;

        if (line.empty() || line[0] == L';' || line[0] == L'#') continue;
        if (line[0] == L'[') {
            if (line.back() != L']') return std::nullopt;
            inVersion = SameName(Trim(line.substr(1, line.size() - 2)), L"Version");
            continue;
        }
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos || eq == 0) return std::nullopt;
        if (!inVersion) continue;
        const std::wstring key = Trim(line.substr(0, eq));
        const std::wstring value = Trim(line.substr(eq + 1));
        if (SameName(key, L"Latest")) {
            if (seenLatest) return std::nullopt;
            seenLatest = true;
            file.latest = ParseVersion(value);
            if (!file.latest) return std::nullopt;
        } else if (SameName(key, L"DownloadUrl") || SameName(key, L"FeedbackUrl")) {
            const bool download = SameName(key, L"DownloadUrl");
            bool& seen = download ? seenDownload : seenFeedback;
            if (seen) return std::nullopt;
            seen = true;
            if (!value.empty() && !IsWebAddress(value)) return std::nullopt;
            (download ? file.downloadUrl : file.feedbackUrl) = value;
        }
    }
    return file;
}

std::wstring ExpandAddress(const std::wstring& url, const std::wstring& tool, const std::wstring& version) {
    std::wstring out;
    for (size_t i = 0; i < url.size();) {
        if (url.compare(i, 6, L"{tool}") == 0) {
            out += PercentEncode(tool);
            i += 6;
        } else if (url.compare(i, 9, L"{version}") == 0) {
            out += PercentEncode(version);
            i += 9;
        } else {
            out += url[i++];
        }
    }
    return out;
}

int NewVersionAnswer(const std::optional<VersionFile>& file, const std::wstring& runningVersion) {
    if (!file || !file->latest) return TOOL_VERSION_UNKNOWN;
    const auto running = ParseVersion(runningVersion);
    if (!running) return TOOL_VERSION_UNKNOWN;
    switch (CompareVersions(*file->latest, *running)) {
        case 1: return TOOL_VERSION_NEWER;
        case 0: return TOOL_VERSION_CURRENT;
        default: return TOOL_VERSION_AHEAD;
    }
}

}  // namespace outside
