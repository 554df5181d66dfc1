#pragma once
// Driving the front end's windows as a user would, through real messages: acting on a dialog
// from inside its modal loop or from another thread, finding a dialog by the controls it
// carries, clicking, reading texts; program folders with library doubles, processes of the
// program run from them, and the doubles' record of library calls.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace fetest {

// Calls act once, from a thread timer, after about delayMs of the next message loop.
void AfterDelay(DWORD delayMs, std::function<void()> act);
// A left click on the control: on its own thread a press and a release at its centre, handled
// at once; from another thread or process a BM_CLICK posted.
void PostClick(HWND control);
// A press and a release at the control's centre, queued for its message loop behind what waits.
void QueueClick(HWND control);
// A button press as the button reports it to its dialog (BN_CLICKED), posted.
void PostCommand(HWND dialog, int controlId);
// BM_CLICK posted to a button: the system button toggles a check box and reports the click.
void PostButtonClick(HWND button);
// The control's text, also for windows of another process.
std::wstring TextOf(HWND wnd);

// A visible top-level window of the process that has a control with each of the ids.
HWND FindDialog(DWORD processId, std::initializer_list<int> controlIds);
// How long a wait for something that will come may take before the test gives up: far more
// than a slow, loaded machine needs, so that it only ever ends a wait for what never comes.
constexpr DWORD kPatienceMs = 60000;
// Polls done() every 20 ms until it is true; false after timeoutMs.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs);
// Polls find() every 20 ms until it gives a window or timeoutMs passes (then null).
HWND WaitFor(const std::function<HWND()>& find, DWORD timeoutMs = kPatienceMs);
inline HWND WaitForDialog(DWORD processId, std::initializer_list<int> ids, DWORD timeoutMs = kPatienceMs) {
    return WaitFor([&] { return FindDialog(processId, ids); }, timeoutMs);
}
// The message prompt: waits for it, returns its text and presses its left button.
std::wstring AnswerPrompt(DWORD processId, DWORD timeoutMs = kPatienceMs);

// Lets a driver thread wait until the GUI thread has handled every message posted to it so far,
// and what handling them posted in turn: a marker posted behind them comes back in order. Made
// on the GUI thread.
class GuiThreadSync {
public:
    GuiThreadSync();
    ~GuiThreadSync();
    GuiThreadSync(const GuiThreadSync&) = delete;
    GuiThreadSync& operator=(const GuiThreadSync&) = delete;
    // From another thread; false when the GUI thread did not get there (within kPatienceMs).
    bool Settle();

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND window_ = nullptr;
    HANDLE reached_ = nullptr;
};

// The folder of this test program; the stand-in program and the library doubles are built there.
std::wstring TestFolder();
// A library double built for the tests, by its file name without ".dll" ("OrvaneSkelda", ...).
std::wstring DoublePath(const std::wstring& name);
bool CopyInto(const std::wstring& from, const std::wstring& folder, const std::wstring& name);
bool WriteFile(const std::wstring& path, const std::string& content);
bool Exists(const std::wstring& path);
std::string ReadFile(const std::wstring& path);

// A process of the program, started as folder\TavlinSkelda.exe in currentFolder.
class ProgramProcess {
public:
    ProgramProcess(const std::wstring& folder, const std::wstring& arguments, const std::wstring& currentFolder);
    ~ProgramProcess();  // ends the process if it still runs
    bool Started() const { return process_ != nullptr; }
    // The message prompt of the process, once it shows; null when the process ended first or
    // after timeoutMs.
    HWND WaitForPrompt(DWORD timeoutMs) const;
    // The exit code, or STILL_ACTIVE when it has not ended within timeoutMs.
    DWORD WaitForExit(DWORD timeoutMs = kPatienceMs) const;
    DWORD Id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// The library doubles' record, one call per line.
class CallRecord {
public:
    CallRecord();  // a fresh file, named in FE_RECORD for this process and its children
    // calls.txt in folder, which the doubles there write while FE_RECORD is not set.
    explicit CallRecord(const std::wstring& folder);
    ~CallRecord();
    CallRecord(const CallRecord&) = delete;
    CallRecord& operator=(const CallRecord&) = delete;
    std::vector<std::wstring> Lines() const;
    // Lines that start with prefix.
    std::vector<std::wstring> Calls(const std::wstring& prefix) const;
    void Clear() const;

private:
    std::wstring path_;
    bool own_ = false;
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

}  // namespace fetest
