#include "summary/SummaryFiles.h"

#include <windows.h>

#include "files/FileSystem.h"
#include "files/FolderWalker.h"
#include "text/LongPath.h"
#include "text/PathText.h"
#include "win/UniqueHandle.h"

namespace engine::summary {

std::wstring FolderSources::Full(const std::wstring& relative) const {
    return util::text::LongPath(folder_ + L"\\" + util::text::ReplaceAll(relative, L"/", L"\\"));
}

SourceFile FolderSources::Read(const std::wstring& relative, size_t maxBytes) const {
    SourceFile file;
    util::win::UniqueHandle handle(::CreateFileW(Full(relative).c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) file.readError = error;
        return file;
    }
    BY_HANDLE_FILE_INFORMATION facts{};
    if (!::GetFileInformationByHandle(handle.Get(), &facts) ||
        (facts.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
        return file;
    file.present = true;
    file.size = (static_cast<unsigned long long>(facts.nFileSizeHigh) << 32) | facts.nFileSizeLow;
    const unsigned long long wanted = file.size < maxBytes ? file.size : maxBytes;
    file.tail = wanted < file.size;
    if (file.tail) {
        LARGE_INTEGER from;
        from.QuadPart = static_cast<LONGLONG>(file.size - wanted);
        if (!::SetFilePointerEx(handle.Get(), from, nullptr, FILE_BEGIN)) {
            SourceFile failed;
            failed.readError = ::GetLastError();
            return failed;
        }
    }
    file.bytes.resize(static_cast<size_t>(wanted));
    size_t done = 0;
    while (done < file.bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(file.bytes.size() - done, 1u << 20));
        if (!::ReadFile(handle.Get(), &file.bytes[done], chunk, &read, nullptr)) {
            // Half a file is no source: the summary says it could not be read.
            SourceFile failed;
            failed.readError = ::GetLastError();
            return failed;
        }
        if (read == 0) break;
        done += read;
    }
    file.bytes.resize(done);
    // A tail of UTF-16 text starts on a whole character.
    if (file.tail && file.bytes.size() % 2) file.bytes.erase(0, 1);
    return file;
}

std::vector<std::wstring> FolderSources::Files(const std::wstring& relativeFolder) const {
    std::vector<std::wstring> names;
    util::files::ListFolder(Full(relativeFolder), L"*", [&](const util::files::FolderEntry& entry) {
        if (!entry.Folder() && !entry.Link()) names.push_back(entry.name);
    });
    return names;
}

WrittenSummary WriteSummaryFiles(const std::wstring& folder, SummaryInputs inputs, const PageFacts& facts,
                                 const std::wstring& htmlName, const std::wstring& textName) {
    const FolderSources sources(folder);
    inputs.folder = &sources;
    const Summary summary = BuildSummary(inputs);
    WrittenSummary written;
    written.problemCounts = ProblemCountsText(summary);
    const std::wstring top = util::text::LongPath(folder) + L"\\";
    written.written = util::files::WriteFileBytes(top + htmlName, SummaryHtml(summary, facts)) &&
                      util::files::WriteFileBytes(top + textName, SummaryText(summary, facts));
    return written;
}

}  // namespace engine::summary
