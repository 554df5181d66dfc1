#include "TestKit.h"

#include <sstream>
#include <utility>

#include "resource.h"

namespace fetest {

namespace {

std::function<void()>& Pending() {
    static std::function<void()> pending;
    return pending;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    std::function<void()> act = std::move(Pending());
    Pending() = nullptr;
    if (act) act();
}

struct FindState {
    DWORD pid;
    std::initializer_list<int> ids;
    HWND found;
};

BOOL CALLBACK FindProc(HWND wnd, LPARAM lp) {
    auto* state = reinterpret_cast<FindState*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid != state->pid || !::IsWindowVisible(wnd)) return TRUE;
    for (int id : state->ids)
        if (!::GetDlgItem(wnd, id)) return TRUE;
    state->found = wnd;
    return FALSE;
}

std::wstring Utf8ToWide(const std::string& s) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

}  // namespace

void AfterDelay(DWORD delayMs, std::function<void()> act) {
    Pending() = std::move(act);
    ::SetTimer(nullptr, 0, delayMs, OnTimer);
}

void PostClick(HWND control) {
    if (::GetWindowThreadProcessId(control, nullptr) != ::GetCurrentThreadId()) {
        // Posted as one message: a press and a release posted apart could have the pointer's
        // own movement fall between them, which unpresses a captured button.
        ::PostMessageW(control, BM_CLICK, 0, 0);
        return;
    }
    RECT r{};
    ::GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    // On the control's own thread press and release follow each other with nothing between.
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(control, WM_LBUTTONUP, 0, at);
}

void QueueClick(HWND control) {
    RECT r{};
    ::GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(control, WM_LBUTTONUP, 0, at);
}

void PostCommand(HWND dialog, int controlId) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, controlId)));
}

void PostButtonClick(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

std::wstring TextOf(HWND wnd) {
    wchar_t text[1024] = {};
    DWORD_PTR n = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &n);
    return text;
}

HWND FindDialog(DWORD processId, std::initializer_list<int> controlIds) {
    FindState state{processId, controlIds, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(20);
    }
    return true;
}

GuiThreadSync::GuiThreadSync() : reached_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &GuiThreadSync::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkeldaTestGuiThreadSync";
    ::RegisterClassW(&wc);
    window_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reached_));
}

GuiThreadSync::~GuiThreadSync() {
    ::DestroyWindow(window_);
    ::CloseHandle(reached_);
}

LRESULT CALLBACK GuiThreadSync::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
        ::SetEvent(reinterpret_cast<HANDLE>(::GetWindowLongPtrW(wnd, GWLP_USERDATA)));
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

bool GuiThreadSync::Settle() {
    // Twice: what the first round's messages posted comes before the second marker.
    for (int round = 0; round < 2; ++round) {
        if (!::PostMessageW(window_, WM_APP, 0, 0) || ::WaitForSingleObject(reached_, kPatienceMs) != WAIT_OBJECT_0)
            return false;
    }
    return true;
}

HWND WaitFor(const std::function<HWND()>& find, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = find()) != nullptr; }, timeoutMs);
    return found;
}

std::wstring AnswerPrompt(DWORD processId, DWORD timeoutMs) {
    HWND prompt = WaitForDialog(processId, {IDC_PROMPT_TEXT, IDC_PROMPT_LEFT, IDC_PROMPT_CLOSE}, timeoutMs);
    if (!prompt) return L"<no prompt>";
    std::wstring text = TextOf(::GetDlgItem(prompt, IDC_PROMPT_TEXT));
    PostCommand(prompt, IDC_PROMPT_LEFT);
    WaitUntil([&] { return !::IsWindow(prompt); });
    return text;
}

std::wstring TestFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return p.substr(0, p.rfind(L'\\'));
}

std::wstring DoublePath(const std::wstring& name) { return TestFolder() + L"\\" + name + L".dll"; }

bool CopyInto(const std::wstring& from, const std::wstring& folder, const std::wstring& name) {
    return ::CopyFileW(from.c_str(), (folder + L"\\" + name).c_str(), FALSE) != 0;
}

bool WriteFile(const std::wstring& path, const std::string& content) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
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

ProgramProcess::ProgramProcess(const std::wstring& folder, const std::wstring& arguments,
                               const std::wstring& currentFolder) {
    const std::wstring program = folder + L"\\TavlinSkelda.exe";
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    // Wine under load now and then fails a start with ERROR_INTERNAL_ERROR; a start the test
    // cannot make is not what the test is about.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::wstring writable = commandLine;
        if (::CreateProcessW(program.c_str(), &writable[0], nullptr, nullptr, FALSE, 0, nullptr,
                             currentFolder.c_str(), &si, &pi)) {
            ::CloseHandle(pi.hThread);
            process_ = pi.hProcess;
            id_ = pi.dwProcessId;
            return;
        }
        if (::GetLastError() != ERROR_INTERNAL_ERROR) return;
        ::Sleep(500);
    }
}

ProgramProcess::~ProgramProcess() {
    if (!process_) return;
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) ::TerminateProcess(process_, 99);
    ::CloseHandle(process_);
}

HWND ProgramProcess::WaitForPrompt(DWORD timeoutMs) const {
    HWND prompt = nullptr;
    WaitUntil([&] {
        prompt = FindDialog(id_, {IDC_PROMPT_TEXT, IDC_PROMPT_LEFT});
        return prompt || ::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
    }, timeoutMs);
    return prompt;
}

DWORD ProgramProcess::WaitForExit(DWORD timeoutMs) const {
    if (::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_, &code);
    return code;
}

CallRecord::CallRecord() : own_(true) {
    wchar_t folder[MAX_PATH] = {}, file[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"fer", 0, file);
    path_ = file;
    Clear();
    ::SetEnvironmentVariableW(L"FE_RECORD", path_.c_str());
}

CallRecord::CallRecord(const std::wstring& folder) : path_(folder + L"\\calls.txt") {}

CallRecord::~CallRecord() {
    if (!own_) return;
    ::SetEnvironmentVariableW(L"FE_RECORD", nullptr);
    ::DeleteFileW(path_.c_str());
}

void CallRecord::Clear() const { WriteFile(path_, ""); }

std::vector<std::wstring> CallRecord::Lines() const {
    std::vector<std::wstring> lines;
    std::istringstream split(ReadFile(path_));
    for (std::string line; std::getline(split, line);)
        if (!line.empty()) lines.push_back(Utf8ToWide(line));
    return lines;
}

std::vector<std::wstring> CallRecord::Calls(const std::wstring& prefix) const {
    std::vector<std::wstring> out;
    for (const std::wstring& line : Lines())
        if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    return out;
}

ScopedSetting::ScopedSetting(const wchar_t* name, const wchar_t* value) : name_(name) {
    wchar_t old[2048];
    const DWORD n = ::GetEnvironmentVariableW(name, old, 2048);
    had_ = n > 0 && n < 2048;
    if (had_) old_.assign(old, n);
    ::SetEnvironmentVariableW(name, value);
}

ScopedSetting::~ScopedSetting() { ::SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }

}  // namespace fetest
