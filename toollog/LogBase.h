#pragma once
#include <string>

#include "toollog/PacketLog.h"

// A writer of log entries into files of one log folder.
class CLogBase {
public:
    explicit CLogBase(std::wstring logFolder) : logFolder_(std::move(logFolder)) {}
    virtual ~CLogBase() = default;
    CLogBase(const CLogBase&) = delete;
    CLogBase& operator=(const CLogBase&) = delete;

    virtual void WritePacket(const CPacketLog& entry) = 0;
    virtual void WriteText(std::string text, std::string fileName) = 0;

    const std::wstring& LogFolder() const { return logFolder_; }

private:
    std::wstring logFolder_;  // with a trailing backslash
};
