#pragma once
// Shared plumbing of the test doubles that stand in for Windows tools Wine lacks.
#include <windows.h>
#include <string>
#include <vector>

namespace doubles {

// Where each double records its command line unless the knob SKELDA_DOUBLES_CALLS names another file.
constexpr const wchar_t* kDefaultCallsFile = L"C:\\skelda-doubles\\calls.txt";
// Serialises the appends of all doubles running at the same time.
constexpr const wchar_t* kCallsMutexName = L"SkeldaTestDoublesCalls";

// Holds a mutex for one scope once it is had within the time given (else holds nothing).
class MutexLock {
public:
    MutexLock(HANDLE mutex, DWORD timeoutMs);
    ~MutexLock();
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    HANDLE mutex_;
    bool held_ = false;
};

// Appends GetCommandLineW() as UTF-8 plus "\n" to the record file, as one write under the mutex.
void RecordCall();

// With the knob SKELDA_DOUBLES_HANG_ALL=1 every double hangs right after recording its call, so
// that a test can hold every slot of a run's pool without depending on how fast the steps run.
void HangIfEveryToolHangs();

// Appends line to file as one write under the record mutex, creating the file's folder if needed.
void AppendRecordLine(const std::wstring& file, const std::string& line);


// The command line split as the C runtime would (CommandLineToArgvW); [0] is the program.
std::vector<std::wstring> Arguments();

std::string Utf8(const std::wstring& text);
std::string InCodePage(const std::wstring& text, UINT codePage);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);

// Raw bytes to standard output / standard error.
void WriteOut(const std::string& bytes);
void WriteErr(const std::string& bytes);

// Creates or replaces a file with the given bytes.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

}  // namespace doubles
