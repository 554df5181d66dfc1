#include "LogSaveCloseFile.h"

#include "HandleFiles.h"
#include "LogLine.h"
#include "TrustedPlace.h"
#include "WideText.h"

CLogSaveCloseFile::CLogSaveCloseFile(std::wstring logFolder, skelda::UniqueHandle folder,
                                     std::vector<std::wstring> alsoTrusted)
    : CLogBase(std::move(logFolder)), folder_(std::move(folder)), alsoTrusted_(std::move(alsoTrusted)) {}

void CLogSaveCloseFile::WriteText(std::string text, std::string fileName) {
    CPacketLog entry;
    entry.SetText(std::move(text));
    entry.SetFileName(std::move(fileName));
    WritePacket(entry);
}

void CLogSaveCloseFile::WritePacket(const CPacketLog& entry) {
    skelda::CriticalSectionLock hold(lock_.Native());
    if (!folder_) return;  // no trusted folder: the entry goes nowhere

    // Entry texts and file names are code page 936 whatever the system's ANSI code page is,
    // so they are written as they are and the file name is widened from 936.
    const std::wstring name = skelda::Widen(entry.GetFileName(), skelda::kGbkCodePage);
    if (name.find_first_of(L"\\/:") != std::wstring::npos) return;  // a name inside the folder only
    DWORD error = 0;
    skelda::UniqueHandle file = skelda::OpenInFolder(folder_.Get(), name, GENERIC_READ | GENERIC_WRITE | DELETE,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                     true, error);
    if (!file) return;  // no access: the entry is dropped
    const std::wstring path = LogFolder() + name;
    if (skelda::JudgePlace(skelda::FactsOfHandle(file.Get(), path, alsoTrusted_), false) !=
        skelda::PlaceVerdict::Trusted)
        return;

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
        skelda::RenameByHandle(file.Get(), folder_.Get(), name + L"bak", true);
    }
}
