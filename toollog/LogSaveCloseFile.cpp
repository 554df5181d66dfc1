#include "LogSaveCloseFile.h"

#include "LogLine.h"
#include "WideText.h"

CLogSaveCloseFile::CLogSaveCloseFile(std::wstring logFolder) : CLogBase(std::move(logFolder)) {}

void CLogSaveCloseFile::WriteText(std::string text, std::string fileName) {
    CPacketLog entry;
    entry.SetText(std::move(text));
    entry.SetFileName(std::move(fileName));
    WritePacket(entry);
}

void CLogSaveCloseFile::WritePacket(const CPacketLog& entry) {
    skelda::CriticalSectionLock hold(lock_.Native());

    // Entry texts and file names are code page 936 whatever the system's ANSI code page is,
    // so they are written as they are and the file name is widened from 936.
    const std::wstring path = LogFolder() + skelda::Widen(entry.GetFileName(), skelda::kGbkCodePage);
    skelda::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;  // no folder, no access: the entry is dropped

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
        file.Reset();
        ::MoveFileExW(path.c_str(), (path + L"bak").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}
