#pragma once
// What a packed archive is checked against: its listing by the packer, compared with the files of
// the working folder, and archive-check.txt, which the archive gains where it lacks something.
#include <windows.h>

#include <string>
#include <vector>

#include "archive/Packer.h"
#include "child/ChildLauncher.h"

namespace engine::archive {

// The entry names of a "7z l -slt" listing (the archive's own "Path =" line above the
// "----------" line left out), "\" between folders.
std::vector<std::wstring> ListedPaths(const std::wstring& listing);

// The expected names (relative, "\" between folders) that the listing lacks, in their order.
// Compared without regard to case, as Windows names are.
std::vector<std::wstring> MissingFromListing(const std::vector<std::wstring>& expected,
                                             const std::vector<std::wstring>& listed);

// Its text: UTF-8 with byte-order mark, CR LF: the packer's exit code and messages, then every
// file that should be in the archive and is not.
std::string ArchiveCheckText(unsigned long packerExitCode, const std::wstring& packerMessages,
                             const std::vector<std::wstring>& missing);

// Everything below folder that is a file, relative to it ("\" between folders), by long paths.
std::vector<std::wstring> RelativeFilesBelow(const std::wstring& folder);

// What the check of a packed archive looks at.
struct PackedArchive {
    std::wstring workingFolder;     // what was packed
    std::wstring archive;           // the packed archive, still in its packing folder
    std::wstring packingFolder;     // where the listing and archive-check.txt are written
    DWORD packerExitCode = 0;
    std::wstring packerMessages;    // on one line
    std::vector<std::wstring> heldFiles;  // still open when packing began ("/" between folders)
};

// Lists the packed archive and compares it with the working folder. Where a file is missing,
// the packer warned or files were still open, the archive gains archive-check.txt, which says
// what it lacks. Returns that in one line (also logged); empty when it lacks nothing.
std::wstring CheckPackedArchive(const HeldPacker& packer, const child::ChildLauncher& launcher,
                                const PackedArchive& packed, DWORD limitMs);

}  // namespace engine::archive
