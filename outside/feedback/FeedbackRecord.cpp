#include "FeedbackRecord.h"

#include <windows.h>
#include <shlobj.h>

#include "text/PathText.h"
#include "TimeText.h"
#include "win/UniqueHandle.h"
#include "text/WideText.h"

namespace outside {

namespace {

std::string Field(const std::wstring& text) {
    std::wstring clean = text;
    for (wchar_t& c : clean) {
        if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
    }
    return util::text::Narrow(clean, CP_UTF8);
}

}  // namespace

std::string RecordLine(int64_t seconds, int code, const std::wstring& tool, const std::wstring& version) {
    return std::to_string(seconds) + '\t' + UtcText(seconds) + '\t' + std::to_string(code) + '\t' + Field(tool) +
           '\t' + Field(version) + "\r\n";
}

std::wstring RecordFilePath() {
    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_COMMON_APPDATA, FALSE)) return {};
    return util::text::WithTrailingBackslash(folder) + L"OrvaneFeedback\\FeedbackRecord.txt";
}

bool AppendToFile(const std::wstring& path, const std::string& bytes) {
    const size_t slash = path.rfind(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    if (!folder.empty() && ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ::CreateDirectoryW(folder.c_str(), nullptr);  // a failure shows in CreateFileW
    }
    // Append-only access: writers in other processes add whole lines, never overwrite.
    util::win::UniqueHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace outside
