#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toollog/LogBase.h"
#include "toollog/LogSettings.h"
#include "files/ObjectFacts.h"
#include "win/UniqueHandle.h"

// The engine's tool log. One object per process, made on first use; it finds the log folder
// "ToolLog" in the common application-data folder and reads logCfg.ini beside it.
//
// Any user may create both there before the engine first runs. The folder is used and the
// settings read only where they are not links and SYSTEM, Administrators or TrustedInstaller
// own them; otherwise the log goes nowhere, the settings keep their defaults, and Distrust()
// says why. A folder the log makes lets only those write; it stays open, without delete
// sharing, so it cannot be swapped while the log is in use.
class CLogSave {
public:
    static CLogSave& Instance();

    // A log for the given application-data folder (with or without a trailing backslash;
    // empty means the current folder). Instance() uses the machine's common one. alsoTrusted
    // names further owners (string SIDs) to trust; tests name their own user, which Wine
    // reports as the owner of every file.
    explicit CLogSave(const std::wstring& appDataFolder, std::vector<std::wstring> alsoTrusted = {});
    virtual ~CLogSave();
    CLogSave(const CLogSave&) = delete;
    CLogSave& operator=(const CLogSave&) = delete;

    // Writes text (code page 936) to fileName in the log folder; without force only while
    // the "print" switch is on.
    void Write(std::string text, std::string fileName, bool force);

    bool PrintEnabled() const { return printEnabled_; }
    const std::wstring& LogFolder() const { return logFolder_; }
    // logCfg.ini as read once; empty when absent or not trusted.
    const toollog::LogSettings& Settings() const { return settings_; }
    // Empty while the log and its settings are trusted (or there are no settings); otherwise
    // one line, "tool log off: <folder> <why>" and/or "logCfg.ini ignored: <file> <why>".
    const std::wstring& Distrust() const { return distrust_; }

private:
    void OpenFolder(const util::files::OwnerRule& owners, util::win::UniqueHandle& folder);
    void ReadSettings(const std::wstring& configPath, const util::files::OwnerRule& owners);
    void AddDistrust(const std::wstring& text);

    bool printEnabled_ = false;
    std::wstring logFolder_;  // with a trailing backslash
    toollog::LogSettings settings_;
    std::wstring distrust_;
    std::unique_ptr<CLogBase> writer_;
};

// The folder's access list when the log makes it: owner Administrators; SYSTEM and
// Administrators write, Users read.
constexpr const wchar_t* kToolLogFolderSddl =
    L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
