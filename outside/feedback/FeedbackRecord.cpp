#include "FeedbackRecord.h"

#include <windows.h>
#include <shlobj.h>

#include "files/TrustedFolder.h"
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

bool AppendToRecord(const std::wstring& path, const std::string& bytes, std::wstring& why) {
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) {
        why = L"not a full path: " + path;
        return false;
    }
    const util::files::OwnerRule owners{util::files::MachineTrustedOwners(), L""};
    const std::wstring folderPath = path.substr(0, slash);
    const util::win::UniqueHandle folder =
        util::files::OpenTrustedFolder(folderPath, FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                       kRecordFolderSddl, owners, why);
    if (!folder) return false;
    // Append-only access: writers in other processes add whole lines, never overwrite.
    const util::win::UniqueHandle file =
        util::files::OpenTrustedFile(folder.Get(), folderPath, path.substr(slash + 1), FILE_APPEND_DATA, true, owners, why);
    if (!file) return false;
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        why = path + L" could not be written (error " + std::to_wstring(::GetLastError()) + L")";
        return false;
    }
    return true;
}

}  // namespace outside
