#include "LogSave.h"

#include <shlobj.h>

#include "LogLine.h"
#include "LogSaveCloseFile.h"
#include "PathText.h"

namespace {

std::wstring CommonAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_COMMON_APPDATA, FALSE)) return {};
    return path;
}

}  // namespace

CLogSave& CLogSave::Instance() {
    // Initialised once, even when several workers write their first entries together.
    static CLogSave log(CommonAppDataFolder());
    return log;
}

CLogSave::CLogSave(const std::wstring& appDataFolder) {
    const std::wstring base = skelda::WithTrailingBackslash(appDataFolder);
    logFolder_ = base + L"ToolLog";
    if (::GetFileAttributesW(logFolder_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ::CreateDirectoryW(logFolder_.c_str(), nullptr);  // a failure shows as dropped entries
    }
    logFolder_ += L'\\';

    wchar_t value[100] = {};
    // A bare file name would be looked up in the Windows folder; keep it in the current one.
    configPath_ = (base.empty() ? L".\\" : base) + L"logCfg.ini";
    ::GetPrivateProfileStringW(L"Log", L"print", L"-1", value, 100, configPath_.c_str());
    printEnabled_ = toollog::PrintSwitchOn(value);

    writer_ = std::make_unique<CLogSaveCloseFile>(logFolder_);
}

CLogSave::~CLogSave() = default;

void CLogSave::Write(std::string text, std::string fileName, bool force) {
    if (!force && !printEnabled_) return;
    writer_->WriteText(std::move(text), std::move(fileName));
}
