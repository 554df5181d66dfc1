#pragma once
#include <memory>
#include <string>

#include "LogBase.h"

// The engine's tool log. One object per process, made on first use; it finds the log folder
// "ToolLog" in the common application-data folder and reads the "print" switch of logCfg.ini.
class CLogSave {
public:
    static CLogSave& Instance();

    // A log for the given application-data folder (with or without a trailing backslash;
    // empty means the current folder). Instance() uses the machine's common one.
    explicit CLogSave(const std::wstring& appDataFolder);
    virtual ~CLogSave();
    CLogSave(const CLogSave&) = delete;
    CLogSave& operator=(const CLogSave&) = delete;

    // Writes text (code page 936) to fileName in the log folder; without force only while
    // the "print" switch is on.
    void Write(std::string text, std::string fileName, bool force);

    bool PrintEnabled() const { return printEnabled_; }
    const std::wstring& LogFolder() const { return logFolder_; }
    // The settings file beside the log folder (logCfg.ini), read by other parts too.
    const std::wstring& ConfigPath() const { return configPath_; }

private:
    bool printEnabled_ = false;
    std::wstring configPath_;
    std::wstring logFolder_;  // with a trailing backslash
    std::unique_ptr<CLogBase> writer_;
};
