#include "DoubleSupport.h"

#include <shellapi.h>

#include "DoubleSettings.h"
#include "win/UniqueHandle.h"

namespace doubles {

using util::win::UniqueHandle;

namespace {

std::wstring CallsFile() {
    const std::wstring file = Knob(L"SKELDA_DOUBLES_CALLS");
    return file.empty() ? kDefaultCallsFile : file;
}

void EnsureParentFolder(const std::wstring& file) {
    const size_t slash = file.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2) ::CreateDirectoryW(file.substr(0, slash).c_str(), nullptr);
}

void WriteHandle(DWORD which, const std::string& bytes) {
    HANDLE h = ::GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}

}  // namespace

MutexLock::MutexLock(HANDLE mutex, DWORD timeoutMs) : mutex_(mutex) {
    const DWORD r = mutex_ ? ::WaitForSingleObject(mutex_, timeoutMs) : WAIT_FAILED;
    held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;  // abandoned: its holder ended, it is ours now
}

MutexLock::~MutexLock() {
    if (held_) ::ReleaseMutex(mutex_);
}

std::string InCodePage(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                              nullptr);
    return out;
}

std::string Utf8(const std::wstring& text) { return InCodePage(text, CP_UTF8); }

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

void RecordCall() { AppendRecordLine(CallsFile(), Utf8(::GetCommandLineW()) + "\n"); }

void HangIfEveryToolHangs() {
    if (Knob(L"SKELDA_DOUBLES_HANG_ALL") != L"1") return;
    for (;;) ::Sleep(INFINITE);
}

void AppendRecordLine(const std::wstring& file, const std::string& line) {
    UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, kCallsMutexName));
    MutexLock lock(mutex.Get(), 30000);
    EnsureParentFolder(file);
    // A reader without write sharing may hold the file for a moment: retry instead of losing the line.
    for (int attempt = 0; attempt < 200; ++attempt) {
        UniqueHandle out(::CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (out) {
            DWORD written = 0;
            ::WriteFile(out.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            return;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return;  // also while a delete is pending
        ::Sleep(10);
    }
}

std::vector<std::wstring> Arguments() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    if (argv == nullptr) return args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i]);
    ::LocalFree(argv);
    return args;
}

void WriteOut(const std::string& bytes) { WriteHandle(STD_OUTPUT_HANDLE, bytes); }
void WriteErr(const std::string& bytes) { WriteHandle(STD_ERROR_HANDLE, bytes); }

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace doubles
