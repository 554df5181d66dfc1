#include "ProbeRun.h"

#include <sstream>

#include "resource.h"

namespace prompttest {

std::wstring TestFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return p.substr(0, p.rfind(L'\\'));
}

std::wstring DoublePath(const std::wstring& target) { return TestFolder() + L"\\fe-doubles\\" + target + L".dll"; }

bool CopyInto(const std::wstring& from, const std::wstring& folder, const std::wstring& name) {
    return ::CopyFileW(from.c_str(), (folder + L"\\" + name).c_str(), FALSE) != 0;
}

bool WriteFile(const std::wstring& path, const std::string& content) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(f);
    return ok && written == content.size();
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFile(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(f, buffer, sizeof(buffer), &n, nullptr) && n > 0) text.append(buffer, n);
    ::CloseHandle(f);
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

ProbeProcess::ProbeProcess(const std::wstring& folder, const std::wstring& arguments,
                           const std::wstring& currentFolder) {
    const std::wstring program = folder + L"\\TavlinSkelda.exe";
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         currentFolder.c_str(), &si, &pi)) {
        ::CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        id_ = pi.dwProcessId;
    }
}

ProbeProcess::~ProbeProcess() {
    if (!process_) return;
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) ::TerminateProcess(process_, 99);
    ::CloseHandle(process_);
}

namespace {
struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindPrompt(HWND wnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(wnd, &owner);
    if (owner == search->process && ::IsWindowVisible(wnd) && ::GetDlgItem(wnd, IDC_PROMPT_TEXT) && ::GetDlgItem(wnd, IDC_PROMPT_LEFT)) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND ProbeProcess::WaitForPrompt(DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    do {
        Search search{id_, nullptr};
        ::EnumWindows(FindPrompt, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (::WaitForSingleObject(process_, 100) == WAIT_OBJECT_0) return nullptr;
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

DWORD ProbeProcess::WaitForExit(DWORD timeoutMs) const {
    if (::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace prompttest
