#include "archive/ArchiveCheck.h"

#include <cwctype>

#include "toollog/LogEntries.h"
#include "api/OrvaneSkeldaApi.h"
#include "files/FileSystem.h"
#include "files/FolderWalker.h"
#include "text/PathText.h"
#include "text/WideText.h"

using toollog::Entry;

namespace engine::archive {

namespace {

// The names joined by ", ", at most max of them, then how many more.
std::wstring NameList(const std::vector<std::wstring>& names, size_t max = 5) {
    std::wstring list;
    for (size_t i = 0; i < names.size() && i < max; ++i) list += (i ? L", " : L"") + names[i];
    if (names.size() > max) list += L" and " + std::to_wstring(names.size() - max) + L" more";
    return list;
}

}  // namespace

std::vector<std::wstring> ListedPaths(const std::wstring& listing) {
    std::vector<std::wstring> paths;
    bool entries = false;
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = listing.size();
        const std::wstring line = listing.substr(start, end - start);
        start = end + 1;
        if (line.compare(0, 10, L"----------") == 0) entries = true;
        else if (entries && line.compare(0, 7, L"Path = ") == 0) paths.push_back(line.substr(7));
    }
    return paths;
}

std::vector<std::wstring> MissingFromListing(const std::vector<std::wstring>& expected,
                                             const std::vector<std::wstring>& listed) {
    std::vector<std::wstring> lowered;
    lowered.reserve(listed.size());
    for (const std::wstring& path : listed) lowered.push_back(util::text::ToLower(path));
    std::vector<std::wstring> missing;
    for (const std::wstring& path : expected) {
        const std::wstring lower = util::text::ToLower(path);
        bool found = false;
        for (const std::wstring& entry : lowered) {
            if (entry == lower) {
                found = true;
                break;
            }
        }
        if (!found) missing.push_back(path);
    }
    return missing;
}

std::string ArchiveCheckText(unsigned long packerExitCode, const std::wstring& packerMessages,
                             const std::vector<std::wstring>& missing) {
    std::wstring text = L"压缩包检查 (archive check)\r\n\r\n";
    text += L"压缩程序退出码 (packer exit code): " + std::to_wstring(packerExitCode) + L"\r\n";
    text += L"压缩程序消息 (packer messages): " + (packerMessages.empty() ? std::wstring(L"-") : packerMessages) +
            L"\r\n\r\n";
    text += L"缺少的文件 (files missing from the archive): " + std::to_wstring(missing.size()) + L"\r\n";
    for (const std::wstring& path : missing) text += L"    " + path + L"\r\n";
    return "\xEF\xBB\xBF" + util::text::Narrow(text, CP_UTF8);
}

std::vector<std::wstring> RelativeFilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files;
    util::files::WalkTree(folder, [&files](const util::files::FolderEntry& entry) {
        if (!entry.Folder()) files.push_back(entry.relative);
        return util::files::WalkStep::Enter;
    });
    return files;
}

std::wstring CheckPackedArchive(const HeldPacker& packer, const child::ChildLauncher& launcher,
                                const PackedArchive& packed, DWORD limitMs) {
    std::vector<std::wstring> listed;
    const bool listedOk =
        packer.List(launcher, packed.archive, packed.packingFolder + L"\\listing.txt", limitMs, listed);
    const std::vector<std::wstring> missing =
        listedOk ? MissingFromListing(RelativeFilesBelow(packed.workingFolder), listed) : std::vector<std::wstring>{};
    std::vector<std::wstring> lacks;
    if (packed.packerExitCode != 0) lacks.push_back(L"the packer ended with " + std::to_wstring(packed.packerExitCode));
    if (!listedOk) lacks.push_back(L"the archive could not be listed");
    if (!missing.empty()) lacks.push_back(std::to_wstring(missing.size()) + L" files missing: " + NameList(missing));
    if (!packed.heldFiles.empty())
        lacks.push_back(std::to_wstring(packed.heldFiles.size()) + L" files still open when packing began: " +
                        NameList(packed.heldFiles));
    if (lacks.empty()) return {};
    std::wstring summary;
    for (const std::wstring& part : lacks) summary += (summary.empty() ? L"" : L"; ") + part;
    toollog::Log(Entry::ArchiveIncomplete, summary);

    // The archive itself says what it lacks: one more file, added to it.
    std::wstring messages = packed.packerMessages;
    if (!listedOk) messages += (messages.empty() ? L"" : L" | ") + std::wstring(L"the archive could not be listed");
    // Every file once, in the archive's own notation; one still open at packing says so.
    std::vector<std::wstring> named = missing;
    for (const std::wstring& file : packed.heldFiles) {
        const std::wstring held = util::text::ReplaceAll(file, L"/", L"\\");
        const std::wstring note = held + L" (still open when packing began)";
        bool found = false;
        for (std::wstring& name : named) {
            if (name == held) {
                name = note;
                found = true;
            }
        }
        if (!found) named.push_back(note);
    }
    const std::wstring checkFile = packed.packingFolder + L"\\" + api::kArchiveCheckName;
    if (!util::files::WriteFileBytes(checkFile, ArchiveCheckText(packed.packerExitCode, messages, named)))
        return summary;
    const PackerRun adding = packer.Add(launcher, packed.archive, checkFile, limitMs);
    if (!adding.ran || adding.exitCode != 0) toollog::Log(Entry::PackerMessages, adding.messages);
    return summary;
}

}  // namespace engine::archive
