#pragma once
// The packer: the 7-Zip console that shipped beside the engine, held unchanged from its check
// until it has done its work (the user's own processes can write the program's folder and could
// swap it between the consent prompt and the start), and what it packs and lists.
#include <string>
#include <vector>

#include "child/ChildLauncher.h"
#include "win/UniqueHandle.h"

namespace engine::archive {

// The SHA-256 the build recorded of the packer it ships for the given build (lowercase hex).
const char* ShippedPackerDigest(bool x64);

enum class PackerState {
    Held,        // the file is the expected one, and held
    Missing,     // it cannot be opened (not there, or open for writing elsewhere)
    NotShipped,  // its bytes are not the expected ones
};

// Opens the packer so that, while held stays open, nobody can write, rename or delete it (reading
// and starting it stay allowed), and checks its SHA-256 against expectedSha256. held keeps the file
// only when the answer is Held.
PackerState HoldPacker(const std::wstring& path, const std::string& expectedSha256, util::win::UniqueHandle& held);

// The packer file for the given build beside the engine (moduleFolder with a trailing backslash).
std::wstring PackerPath(const std::wstring& moduleFolder, bool x64);

// The packer's command line: "<packer>" a -t7z "<archive>" "<workingFolder>\*" and switches: BCJ
// then LZMA with a 2 MiB dictionary, solid, multithreaded.
std::wstring PackerCommandLine(const std::wstring& packerPath, const std::wstring& workingFolder,
                               const std::wstring& archivePath);

// 7-Zip's exit codes 0 (done) and 1 (done with warnings) both leave an archive.
inline bool PackerSucceeded(unsigned long exitCode) { return exitCode == 0 || exitCode == 1; }

// How one start of the packer went.
struct PackerRun {
    bool ran = false;        // started, ended by itself within its limit, and not fatally
    DWORD exitCode = 0;
    std::wstring messages;   // what it wrote to its error output, on one line
};

// The shipped packer, held from Hold until the object goes.
class HeldPacker {
public:
    HeldPacker(const std::wstring& moduleFolder, bool x64);
    // Opens and checks it; only a Held packer is ever started.
    PackerState Hold();
    const std::wstring& Path() const { return path_; }

    // Packs everything in workingFolder into a new archive at archivePath.
    PackerRun Pack(const child::ChildLauncher& launcher, const std::wstring& workingFolder,
                   const std::wstring& archivePath, DWORD limitMs) const;
    // Adds one file to the archive's root.
    PackerRun Add(const child::ChildLauncher& launcher, const std::wstring& archivePath, const std::wstring& file,
                  DWORD limitMs) const;
    // The archive's entry paths ("\" between folders), through a listing written to listingFile;
    // false when it could not be listed.
    bool List(const child::ChildLauncher& launcher, const std::wstring& archivePath, const std::wstring& listingFile,
              DWORD limitMs, std::vector<std::wstring>& paths) const;

private:
    PackerRun Start(const child::ChildLauncher& launcher, const std::wstring& commandLine, DWORD limitMs) const;

    std::wstring path_;
    bool x64_;
    util::win::UniqueHandle held_;
};

}  // namespace engine::archive
