#include "toollog/LogSave.h"

#include <cwchar>

#include <shlobj.h>

#include "toollog/LogEntries.h"
#include "toollog/LogLine.h"
#include "toollog/LogSaveCloseFile.h"
#include "text/PathText.h"
#include "files/NoFollow.h"
#include "files/ObjectFacts.h"
#include "files/TrustedFolder.h"
#include "text/WideText.h"

namespace {

std::wstring CommonAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_COMMON_APPDATA, FALSE)) return {};
    return path;
}

}  // namespace

CLogSave& CLogSave::Instance() {
    // Initialised once, even when several workers write their first entries together.
    static CLogSave log(CommonAppDataFolder(), util::files::MachineTrustedOwners());
    return log;
}

CLogSave::CLogSave(const std::wstring& appDataFolder, std::vector<std::wstring> alsoTrusted) {
    const std::wstring base = util::text::WithTrailingBackslash(appDataFolder);
    logFolder_ = base + L"ToolLog";
    const util::files::OwnerRule owners{std::move(alsoTrusted), L""};
    util::win::UniqueHandle folder;
    OpenFolder(owners, folder);
    logFolder_ += L'\\';

    // A bare file name would be looked up in the Windows folder; keep it in the current one.
    ReadSettings((base.empty() ? L".\\" : base) + L"logCfg.ini", owners);
    printEnabled_ = toollog::PrintSwitchOn(settings_.Value(L"Log", L"print").value_or(L"-1"));

    writer_ = std::make_unique<CLogSaveCloseFile>(logFolder_, std::move(folder), owners);
}

CLogSave::~CLogSave() = default;

void CLogSave::OpenFolder(const util::files::OwnerRule& owners, util::win::UniqueHandle& folder) {
    std::wstring why;
    folder = util::files::OpenTrustedFolder(logFolder_, FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                            kToolLogFolderSddl, owners, why);
    if (!folder) {
        AddDistrust(L"tool log off: " + why);
        return;
    }
    // A folder made before its list was ours may let users create files in it: the engine's
    // log file is refused then at every entry, and said so once here.
    const std::wstring name = util::text::Widen(toollog::kEngineLogFile, CP_ACP);
    util::files::OpenTrustedFile(folder.Get(), logFolder_, name, 0, false, owners, why);
    if (!why.empty()) AddDistrust(L"tool log off: " + why);
}

void CLogSave::ReadSettings(const std::wstring& configPath, const util::files::OwnerRule& owners) {
    util::files::ObjectFacts facts;
    util::win::UniqueHandle file =
        util::files::OpenNoFollow(configPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, facts, owners);
    const util::files::PlaceVerdict verdict = util::files::JudgePlace(facts, false);
    if (verdict == util::files::PlaceVerdict::Missing) return;
    if (verdict != util::files::PlaceVerdict::Trusted) {
        AddDistrust(L"logCfg.ini ignored: " + configPath + L" " + util::files::VerdictText(verdict, facts));
        return;
    }
    std::string bytes(toollog::kMaxSettingsBytes, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    bytes.resize(read);
    settings_ = toollog::LogSettings::Parse(bytes);
}

void CLogSave::AddDistrust(const std::wstring& text) {
    distrust_ += (distrust_.empty() ? L"" : L"; ") + text;
}

void CLogSave::Write(std::string text, std::string fileName, bool force) {
    if (!force && !printEnabled_) return;
    writer_->WriteText(std::move(text), std::move(fileName));
}
