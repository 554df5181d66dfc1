#pragma once
// Program folders for the tests that run the stand-in program in a process of its own.
#include <windows.h>

#include <string>
#include <vector>

namespace prompttest {

// The folder of this test program; the stand-in program and the library doubles are built there.
std::wstring TestFolder();
// A double built for the tests, by its target name ("fe_engine_double", ...).
std::wstring DoublePath(const std::wstring& target);

bool CopyInto(const std::wstring& from, const std::wstring& folder, const std::wstring& name);
bool WriteFile(const std::wstring& path, const std::string& content);
bool Exists(const std::wstring& path);
std::string ReadFile(const std::wstring& path);
std::vector<std::string> Lines(const std::string& text);

// A process of the stand-in program, started as folder\TavlinSkelda.exe.
class ProbeProcess {
public:
    ProbeProcess(const std::wstring& folder, const std::wstring& arguments, const std::wstring& currentFolder);
    ~ProbeProcess();
    bool Started() const { return process_ != nullptr; }
    // The message prompt child of the process, once it shows; null after timeoutMs.
    HWND WaitForPrompt(DWORD timeoutMs) const;
    // The exit code, or STILL_ACTIVE when it has not ended within timeoutMs.
    DWORD WaitForExit(DWORD timeoutMs) const;
    DWORD Id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

}  // namespace prompttest
