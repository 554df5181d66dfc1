#include "toollog/LogSave.h"

#include <cwchar>

#include <sddl.h>
#include <shlobj.h>

#include "toollog/LogEntries.h"
#include "toollog/LogLine.h"
#include "toollog/LogSaveCloseFile.h"
#include "text/PathText.h"
#include "files/NoFollow.h"
#include "files/ObjectFacts.h"
#include "text/WideText.h"

namespace {

std::wstring CommonAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_COMMON_APPDATA, FALSE)) return {};
    return path;
}

// Makes the folder with the log's own list; false (with the error set) when it cannot.
bool MakeLogFolder(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kToolLogFolderSddl, SDDL_REVISION_1, &descriptor,
                                                                nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    const bool made = ::CreateDirectoryW(path.c_str(), &attributes) != FALSE;
    const DWORD error = ::GetLastError();
    ::LocalFree(descriptor);
    ::SetLastError(error);
    return made;
}

// Further owners an administrator named for the log and its settings: the string SIDs of
// HKLM\SOFTWARE\OrvaneSkelda, value TrustedOwners (several strings). Only administrators can
// write below HKLM\SOFTWARE, so this is no way in for a user; it serves machines whose file
// system reports another owner for administrators' files (Wine reports the user for every
// file), such as the test bed.
std::vector<std::wstring> MachineTrustedOwners() {
    std::vector<std::wstring> owners;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\OrvaneSkelda", 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return owners;
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key, L"TrustedOwners", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_MULTI_SZ || type == REG_SZ) && bytes > 0 && bytes < 64 * 1024) {
        std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 2, L'\0');
        if (::RegQueryValueExW(key, L"TrustedOwners", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) ==
            ERROR_SUCCESS) {
            for (const wchar_t* item = value.data(); *item; item += wcslen(item) + 1) owners.emplace_back(item);
        }
    }
    ::RegCloseKey(key);
    return owners;
}

}  // namespace

CLogSave& CLogSave::Instance() {
    // Initialised once, even when several workers write their first entries together.
    static CLogSave log(CommonAppDataFolder(), MachineTrustedOwners());
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
    constexpr DWORD kAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;  // no delete: not renamed while held
    util::files::ObjectFacts facts;
    folder = util::files::OpenNoFollow(logFolder_, kAccess, kShare, facts, owners);
    if (util::files::JudgePlace(facts, true) == util::files::PlaceVerdict::Missing) {
        const DWORD made = MakeLogFolder(logFolder_) ? ERROR_SUCCESS : ::GetLastError();
        if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) {
            AddDistrust(L"tool log off: " + logFolder_ + L" cannot be made (error " + std::to_wstring(made) + L")");
            return;
        }
        // Whoever made it in the meantime, it is judged like any folder found there.
        folder = util::files::OpenNoFollow(logFolder_, kAccess, kShare, facts, owners);
    }
    const util::files::PlaceVerdict verdict = util::files::JudgePlace(facts, true);
    if (verdict != util::files::PlaceVerdict::Trusted) {
        folder.Reset();
        AddDistrust(L"tool log off: " + logFolder_ + L" " + util::files::VerdictText(verdict, facts));
        return;
    }
    // A folder made before its list was ours may let users create files in it: the engine's
    // log file is refused then at every entry, and said so once here.
    const std::wstring name = util::text::Widen(toollog::kEngineLogFile, CP_ACP);
    DWORD error = 0;
    util::win::UniqueHandle file = util::files::OpenInFolder(folder.Get(), name, 0,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false,
                                                     error);
    const std::wstring path = logFolder_ + L"\\" + name;
    if (!file) {
        if (error != ERROR_FILE_NOT_FOUND)
            AddDistrust(L"tool log off: " + path + L" cannot be opened (error " + std::to_wstring(error) + L")");
        return;
    }
    const util::files::ObjectFacts fileFacts = util::files::FactsOf(file.Get(), path, &owners);
    const util::files::PlaceVerdict fileVerdict = util::files::JudgePlace(fileFacts, false);
    if (fileVerdict != util::files::PlaceVerdict::Trusted)
        AddDistrust(L"tool log off: " + path + L" " + util::files::VerdictText(fileVerdict, fileFacts));
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
