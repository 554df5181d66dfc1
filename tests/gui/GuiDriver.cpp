// Finds the program's dialogs by the control ids they carry and acts on them, for the GUI
// end-to-end script (which clicks with xdotool at the places this tool reports).
//   GuiDriver wait <ids> [seconds]        waits for a visible window carrying every id
//   GuiDriver gone <ids> [seconds]        waits until no such window is visible
//   GuiDriver alone <ids> <other ids> [seconds]
//                                         waits for a visible window carrying every id of <ids>;
//                                         then fails (3) if a window carrying <other ids>, or
//                                         the window that owns it, is visible at that moment
//   GuiDriver centre <ids> <id>           screen centre of control id: "x y"
//   GuiDriver text <ids> <id>             the control's text (UTF-8)
//   GuiDriver settext <ids> <id> <text>   sets the control's text with WM_SETTEXT
//   GuiDriver checked <ids> <id>          1 if the check box is ticked, else 0
// <ids> is a comma-separated list. Exit status 0 on success, 1 on a timeout or a missing window.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
    std::vector<int> ids;
    bool byOwner = false;  // a hidden window counts while the window that owns it is visible
    HWND found = nullptr;
};

bool Shown(HWND wnd, bool byOwner) {
    if (::IsWindowVisible(wnd)) return true;
    HWND owner = byOwner ? ::GetWindow(wnd, GW_OWNER) : nullptr;
    return owner && ::IsWindowVisible(owner);
}

BOOL CALLBACK FindProc(HWND wnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    if (!Shown(wnd, search->byOwner)) return TRUE;
    for (int id : search->ids)
        if (!::GetDlgItem(wnd, id)) return TRUE;
    search->found = wnd;
    return FALSE;
}

HWND Find(const std::vector<int>& ids, bool byOwner = false) {
    Search search{ids, byOwner};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<int> Ids(const wchar_t* list) {
    std::vector<int> ids;
    for (const wchar_t* p = list; *p;) {
        ids.push_back(static_cast<int>(std::wcstol(p, const_cast<wchar_t**>(&p), 10)));
        if (*p == L',') ++p;
        else if (*p) break;
    }
    return ids;
}

void PrintUtf8(const std::wstring& text) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Polls until a visible window with the ids is there (wantFound) or is not; false on timeout.
bool WaitUntilFound(const std::vector<int>& ids, bool wantFound, DWORD seconds) {
    const DWORD start = ::GetTickCount();
    while ((Find(ids) != nullptr) != wantFound) {
        if (::GetTickCount() - start > seconds * 1000) return false;
        ::Sleep(100);
    }
    return true;
}

DWORD Seconds(int argc, wchar_t** argv, int at) { return argc > at ? static_cast<DWORD>(_wtoi(argv[at])) : 30; }

int Usage() {
    std::fputs("usage: GuiDriver wait|gone|alone|centre|text|settext|checked <ids> [...]\n", stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    const std::wstring verb = argv[1];
    const std::vector<int> ids = Ids(argv[2]);
    if (verb == L"wait" || verb == L"gone") return WaitUntilFound(ids, verb == L"wait", Seconds(argc, argv, 3)) ? 0 : 1;
    if (argc < 4) return Usage();
    if (verb == L"alone") {
        if (!WaitUntilFound(ids, true, Seconds(argc, argv, 4))) return 1;
        if (!Find(Ids(argv[3]), true)) return 0;
        PrintUtf8(L"still on the screen\n");
        return 3;
    }
    HWND dialog = Find(ids);
    if (!dialog) return 1;
    HWND control = ::GetDlgItem(dialog, _wtoi(argv[3]));
    if (!control) return 1;
    if (verb == L"centre") {
        RECT r{};
        ::GetWindowRect(control, &r);
        PrintUtf8(std::to_wstring((r.left + r.right) / 2) + L" " + std::to_wstring((r.top + r.bottom) / 2) + L"\n");
        return 0;
    }
    if (verb == L"text") {
        wchar_t text[2048] = {};
        ::SendMessageW(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
        PrintUtf8(std::wstring(text) + L"\n");
        return 0;
    }
    if (verb == L"settext" && argc > 4) {
        return ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
    }
    if (verb == L"checked") {
        PrintUtf8(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1\n" : L"0\n");
        return 0;
    }
    return Usage();
}
