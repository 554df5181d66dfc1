#pragma once
#include <string>

#include "LogBase.h"
#include "UniqueHandle.h"

// Opens the entry's file for every entry, appends one dated line and closes it again.
// A file grown beyond the roll-over size is moved to a single backup ("<name>bak").
class CLogSaveCloseFile : public CLogBase {
public:
    explicit CLogSaveCloseFile(std::wstring logFolder);

    void WritePacket(const CPacketLog& entry) override;
    void WriteText(std::string text, std::string fileName) override;

private:
    skelda::CriticalSection lock_;  // one entry at a time, roll-over included
};
