#include "MainTestKit.h"

#include <fstream>
#include <sstream>

namespace maintest {

namespace {

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
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

}  // namespace

HWND FindDialog(DWORD processId, std::initializer_list<int> controlIds) {
    FindState state{processId, controlIds, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitFor(const std::function<HWND()>& find, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND wnd = find()) return wnd;
        if (::GetTickCount() - start > timeoutMs) return nullptr;
        ::Sleep(20);
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(20);
    }
    return true;
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

std::wstring AnswerPrompt(DWORD processId, DWORD timeoutMs) {
    constexpr int kPromptText = 1006, kPromptLeft = 1003, kPromptClose = 1005;
    HWND prompt = WaitForDialog(processId, {kPromptText, kPromptLeft, kPromptClose}, timeoutMs);
    if (!prompt) return L"<no prompt>";
    std::wstring text = TextOf(::GetDlgItem(prompt, kPromptText));
    PostCommand(prompt, kPromptLeft);
    WaitUntil([&] { return !::IsWindow(prompt); });
    return text;
}

CallRecord::CallRecord() {
    wchar_t folder[MAX_PATH] = {}, file[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"fer", 0, file);
    path_ = file;
    Clear();
    ::SetEnvironmentVariableW(L"FE_RECORD", path_.c_str());
}

CallRecord::~CallRecord() {
    ::SetEnvironmentVariableW(L"FE_RECORD", nullptr);
    ::DeleteFileW(path_.c_str());
}

void CallRecord::Clear() const {
    HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

std::vector<std::wstring> CallRecord::Lines() const {
    std::ifstream in(path_.c_str(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::vector<std::wstring> lines;
    std::istringstream split(bytes.str());
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
    DWORD n = ::GetEnvironmentVariableW(name, old, 2048);
    had_ = n > 0 && n < 2048;
    if (had_) old_.assign(old, n);
    ::SetEnvironmentVariableW(name, value);
}

ScopedSetting::~ScopedSetting() { ::SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }

}  // namespace maintest
