#pragma once
#include <string>
#include <vector>

#include "LogBase.h"
#include "UniqueHandle.h"

// Opens the entry's file for every entry, appends one dated line and closes it again.
// A file grown beyond the roll-over size is moved to a single backup ("<name>bak").
// Files are opened inside the folder held by its handle, never through a link, and written
// only when a trusted owner owns them and they have no second name; the roll-over renames
// the open file.
class CLogSaveCloseFile : public CLogBase {
public:
    // folder: the log folder, opened and judged trusted; none drops every entry.
    CLogSaveCloseFile(std::wstring logFolder, skelda::UniqueHandle folder, std::vector<std::wstring> alsoTrusted);

    void WritePacket(const CPacketLog& entry) override;
    void WriteText(std::string text, std::string fileName) override;

private:
    skelda::CriticalSection lock_;  // one entry at a time, roll-over included
    skelda::UniqueHandle folder_;
    std::vector<std::wstring> alsoTrusted_;
};
