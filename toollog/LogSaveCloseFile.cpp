#include "toollog/LogSaveCloseFile.h"

#include "files/NoFollow.h"
#include "files/TrustedFolder.h"
#include "toollog/LogLine.h"
#include "files/ObjectFacts.h"
#include "text/WideText.h"

CLogSaveCloseFile::CLogSaveCloseFile(std::wstring logFolder, util::win::UniqueHandle folder,
                                     util::files::OwnerRule owners)
    : CLogBase(std::move(logFolder)), folder_(std::move(folder)), owners_(std::move(owners)) {}

void CLogSaveCloseFile::WriteText(std::string text, std::string fileName) {
    CPacketLog entry;
    entry.SetText(std::move(text));
    entry.SetFileName(std::move(fileName));
    WritePacket(entry);
}

void CLogSaveCloseFile::WritePacket(const CPacketLog& entry) {
    util::win::CriticalSectionLock hold(lock_.Native());
    if (!folder_) return;  // no trusted folder: the entry goes nowhere

    // Entry texts and file names are code page 936 whatever the system's ANSI code page is,
    // so they are written as they are and the file name is widened from 936.
    const std::wstring name = util::text::Widen(entry.GetFileName(), util::text::kGbkCodePage);
    if (name.find_first_of(L"\\/:") != std::wstring::npos) return;  // a name inside the folder only
    std::wstring why;
    const std::wstring folder = LogFolder().substr(0, LogFolder().size() - 1);
    util::win::UniqueHandle file = util::files::OpenTrustedFile(folder_.Get(), folder, name,
                                                                GENERIC_READ | GENERIC_WRITE | DELETE, true, owners_, why);
    if (!file) return;  // no access, or not the log's own file: the entry is dropped

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const std::string bytes = toollog::EntryBytes(now, entry.GetText());
    LARGE_INTEGER end{};
    ::SetFilePointerEx(file.Get(), end, nullptr, FILE_END);
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);

    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file.Get(), &size) &&
        static_cast<unsigned long long>(size.QuadPart) > toollog::kRollOverBytes) {
        util::files::RenameByHandle(file.Get(), folder_.Get(), name + L"bak", true);
    }
}
