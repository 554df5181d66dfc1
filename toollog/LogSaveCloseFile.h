#pragma once
#include <string>
#include <vector>

#include "toollog/LogBase.h"
#include "files/ObjectFacts.h"
#include "win/UniqueHandle.h"

// Opens the entry's file for every entry, appends one dated line and closes it again.
// A file grown beyond the roll-over size is moved to a single backup ("<name>bak").
// Files are opened inside the folder held by its handle, never through a link, and written
// only when a trusted owner owns them and they have no second name; the roll-over renames
// the open file.
class CLogSaveCloseFile : public CLogBase {
public:
    // folder: the log folder, opened and judged trusted; none drops every entry.
    CLogSaveCloseFile(std::wstring logFolder, util::win::UniqueHandle folder, util::files::OwnerRule owners);

    void WritePacket(const CPacketLog& entry) override;
    void WriteText(std::string text, std::string fileName) override;

private:
    util::win::CriticalSection lock_;  // one entry at a time, roll-over included
    util::win::UniqueHandle folder_;
    util::files::OwnerRule owners_;
};
