#include "archive/Packer.h"

#include <fstream>
#include <iterator>

#include "PackerDigests.h"
#include "api/OrvaneSkeldaApi.h"
#include "archive/ArchiveCheck.h"
#include "text/CommandLine.h"
#include "text/Lines.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "win/Sha256.h"

namespace engine::archive {

using util::text::Quoted;

const char* ShippedPackerDigest(bool x64) { return x64 ? kPackerX64Sha256 : kPackerX86Sha256; }

PackerState HoldPacker(const std::wstring& path, const std::string& expectedSha256, util::win::UniqueHandle& held) {
    held.Reset();
    // Shared for reading only: the system's own open to start it reads and executes, and no
    // writer, renamer or deleter gets in until the handle closes.
    util::win::UniqueHandle file(::CreateFileW(util::text::LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return PackerState::Missing;
    if (util::win::Sha256OfFile(file.Get()) != expectedSha256) return PackerState::NotShipped;
    held = std::move(file);
    return PackerState::Held;
}

std::wstring PackerPath(const std::wstring& moduleFolder, bool x64) {
    return moduleFolder + (x64 ? api::kPackerX64 : api::kPackerX86);
}

std::wstring PackerCommandLine(const std::wstring& packerPath, const std::wstring& workingFolder,
                               const std::wstring& archivePath) {
    return Quoted(packerPath) + L" a -t7z " + Quoted(archivePath) + L" " + Quoted(workingFolder + L"\\*") +
           L" -m0=BCJ -m1=LZMA:d=21 -ms -mmt";
}

HeldPacker::HeldPacker(const std::wstring& moduleFolder, bool x64) : path_(PackerPath(moduleFolder, x64)), x64_(x64) {}

PackerState HeldPacker::Hold() { return HoldPacker(path_, ShippedPackerDigest(x64_), held_); }

PackerRun HeldPacker::Start(const child::ChildLauncher& launcher, const std::wstring& commandLine,
                            DWORD limitMs) const {
    PackerRun run;
    if (!held_) return run;
    child::ChildSpec spec;
    spec.program = path_;
    spec.commandLine = commandLine;
    spec.errors = child::Errors::Apart;
    spec.limitMs = limitMs;
    const child::ChildResult result = launcher.Run(spec);
    run.ran = result.started && !result.timedOut;
    run.exitCode = result.exitCode;
    run.messages = util::text::OneLineSummary(result.errors);
    return run;
}

PackerRun HeldPacker::Pack(const child::ChildLauncher& launcher, const std::wstring& workingFolder,
                           const std::wstring& archivePath, DWORD limitMs) const {
    return Start(launcher, PackerCommandLine(path_, workingFolder, archivePath), limitMs);
}

PackerRun HeldPacker::Add(const child::ChildLauncher& launcher, const std::wstring& archivePath,
                          const std::wstring& file, DWORD limitMs) const {
    return Start(launcher, Quoted(path_) + L" a -t7z " + Quoted(archivePath) + L" " + Quoted(file), limitMs);
}

namespace {

std::wstring ReadUtf8File(const std::wstring& path) {
    std::ifstream in(util::text::LongPath(path).c_str(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    return util::text::Widen(bytes, CP_UTF8);
}

}  // namespace

bool HeldPacker::List(const child::ChildLauncher& launcher, const std::wstring& archivePath,
                      const std::wstring& listingFile, DWORD limitMs, std::vector<std::wstring>& paths) const {
    if (!held_) return false;
    child::ChildSpec spec;
    spec.program = path_;
    spec.commandLine = Quoted(path_) + L" l -slt -sccUTF-8 " + Quoted(archivePath);
    spec.output = child::Output::File;
    spec.outputFile = listingFile;
    spec.limitMs = limitMs;
    const child::ChildResult result = launcher.Run(spec);
    if (!result.started || result.timedOut || result.exitCode != 0) return false;
    paths = ListedPaths(ReadUtf8File(listingFile));
    return true;
}

}  // namespace engine::archive
