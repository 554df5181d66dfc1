#pragma once
// Driving the program's windows from another thread (or process), as a user would, through
// real messages: find a dialog by the controls it carries, click, read texts, read the doubles'
// record of library calls.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace maintest {

// A visible top-level window of the process that has a control with each of the ids.
HWND FindDialog(DWORD processId, std::initializer_list<int> controlIds);
// Polls find() every 20 ms until it gives a window or timeoutMs passes (then null).
HWND WaitFor(const std::function<HWND()>& find, DWORD timeoutMs = 10000);
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
inline HWND WaitForDialog(DWORD processId, std::initializer_list<int> ids, DWORD timeoutMs = 10000) {
    return WaitFor([&] { return FindDialog(processId, ids); }, timeoutMs);
}

// A button press as the button reports it to its dialog (BN_CLICKED), posted.
void PostCommand(HWND dialog, int controlId);
// BM_CLICK posted to a button: the system button toggles a check box and reports the click.
void PostButtonClick(HWND button);
std::wstring TextOf(HWND wnd);

// The message prompt: waits for it, returns its text and presses its left button.
std::wstring AnswerPrompt(DWORD processId, DWORD timeoutMs = 10000);

// Record of the library doubles (FE_RECORD), one call per line.
class CallRecord {
public:
    CallRecord();  // a fresh file, named in FE_RECORD for this process and its children
    ~CallRecord();
    std::vector<std::wstring> Lines() const;
    // Lines that start with prefix.
    std::vector<std::wstring> Calls(const std::wstring& prefix) const;
    void Clear() const;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// Sets an environment variable for the scope (null value: removed).
class ScopedSetting {
public:
    ScopedSetting(const wchar_t* name, const wchar_t* value);
    ~ScopedSetting();

private:
    std::wstring name_, old_;
    bool had_;
};

}  // namespace maintest
