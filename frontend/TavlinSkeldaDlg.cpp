#include "TavlinSkeldaDlg.h"

#include <cwchar>
#include <vector>

#include "AboutDlg.h"
#include "CategoryBoxes.h"
#include "api/Categories.h"
#include "FrontendMessages.h"
#include "FrontendTexts.h"
#include "PngResource.h"
#include "ProblemSolvingFeedbackDlg.h"
#include "PromptDlg.h"
#include "SelfRemoval.h"
#include "SkinDraw.h"
#include "SkinScale.h"
#include "resource.h"

using skin::Scaled;

namespace {

constexpr UINT_PTR kHoverTimer = 33;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLinkColor = RGB(92, 92, 255);
constexpr COLORREF kLinkHoverColor = RGB(0, 0, 255);
constexpr COLORREF kTitleColor = RGB(153, 153, 153);

// Design rectangles of the check boxes (left, top, width, height) at scale 1, in the order
// they are set up: row by row on the screen, which is not the order of the categories.
struct CheckBoxPlace {
    engine::api::CategoryIndex category;
    int left, top, width, height;
};
constexpr CheckBoxPlace kCheckBoxPlaces[engine::api::kCategoryCount] = {
    {engine::api::kCbsLog, 76, 138, 117, 17},        {engine::api::kInfLog, 232, 138, 117, 17},
    {engine::api::kUpdateLog, 76, 178, 117, 17},     {engine::api::kSystemLog, 232, 178, 117, 17},
    {engine::api::kInstalledApps, 76, 218, 117, 17}, {engine::api::kOperatingSystem, 232, 218, 117, 17},
    {engine::api::kPerfCounters, 76, 258, 117, 17},  {engine::api::kHardware, 232, 258, 117, 17},
};

RECT ScaledRect(int left, int top, int width, int height, float s) {
    const int l = Scaled(left, s), t = Scaled(top, s);
    return RECT{l, t, l + Scaled(width, s), t + Scaled(height, s)};
}

}  // namespace

namespace frontend {

std::wstring EngineVariable(const wchar_t* name) {
    std::vector<wchar_t> value(32768);
    const DWORD n = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return n > 0 && n < value.size() ? std::wstring(value.data(), n) : std::wstring();
}

std::wstring SuccessText(const std::wstring& target, const std::wstring& placed, const std::wstring& lacks) {
    std::wstring text = texts::kCollectSucceeded;
    if (!target.empty() && !placed.empty() && placed != target) text += L"\n" + std::wstring(texts::kArchiveKeptBeside) + placed;
    if (!lacks.empty()) text += L"\n" + std::wstring(texts::kArchiveIncomplete);
    return text;
}

std::wstring FailureText(const std::wstring& kept) {
    std::wstring text = texts::kCollectFailed;
    if (!kept.empty()) text += L"\n" + std::wstring(texts::kCollectionKeptAt) + kept;
    return text;
}

int TextWidthInDialogFont(HWND dialog, LPCWSTR text) {
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!font) font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    ui::WindowDC dc(dialog);
    ui::SelectionRestorer select(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &size);
    return size.cx;
}

}  // namespace frontend

// ---- child ----

CSkeldaDlg::CSkeldaDlg(std::wstring libraryFolder)
    : CSkinChildDlg(IDD_SKELDA_CHILD, IDB_MAIN_BACKGROUND, skin::DragStrip{30, 86}, kHoverTimer, 1),
      libraryFolder_(std::move(libraryFolder)) {
    m_swallowEscEnter = true;
}

CSkeldaDlg::~CSkeldaDlg() = default;

void CSkeldaDlg::DoDataExchange() {
    BindControl(IDC_MAIN_CLOSE, close_);
    BindControl(IDC_MAIN_MINIMIZE, minimize_);
    static_assert(engine::api::kCategories == engine::api::kCategoryCount, "one box per switch");
    for (const engine::api::Category& category : engine::api::kCategoryTable)
        BindControl(frontend::kCategoryBoxIds[category.index], checks_[category.index]);
    BindControl(IDC_SAVE_PATH, pathEdit_);
    BindControl(IDC_BROWSE, browse_);
    BindControl(IDC_START_COLLECT, start_);
    BindControl(IDC_TITLE_LABEL, titleLabel_);
    BindControl(IDC_FEEDBACK_LINK, feedbackLink_);
}

BOOL CSkeldaDlg::OnInitDialog() {
    CSkinChildDlg::OnInitDialog();  // binds the controls, starts the hover timer
    TrackHover(close_);
    TrackHover(minimize_);
    TrackHover(browse_);
    TrackHover(start_);
    TrackHover(feedbackLink_);
    frontend::BindMainLibraries(m_hWnd, m_scale, libraryFolder_, engine_, feedback_);  // prompts and exits on failure
    pathEdit_.SetWindowText(texts::kDefaultArchivePath);
    return TRUE;
}

void CSkeldaDlg::Layout() {
    const RECT client = GetClientRect();
    const int width = skin::Width(client), height = skin::Height(client);
    const float s = m_scale;

    close_.MoveWindow(static_cast<int>(static_cast<float>(width) - 31.2f * s), 0, Scaled(26, s), Scaled(34, s));
    close_.SetImages(IDB_MAIN_CLOSE_NORMAL, IDB_MAIN_CLOSE_HOVER, IDB_MAIN_CLOSE_PRESSED, IDB_MAIN_CLOSE_DISABLED);
    close_.SetStretch(TRUE);
    minimize_.MoveWindow(static_cast<int>(static_cast<float>(width) - 59.8f * s), 0, Scaled(26, s), Scaled(34, s));
    minimize_.SetImages(IDB_MAIN_MINIMIZE_NORMAL, IDB_MAIN_MINIMIZE_HOVER, IDB_MAIN_MINIMIZE_PRESSED,
                        IDB_MAIN_MINIMIZE_DISABLED);
    minimize_.SetStretch(TRUE);

    LayoutCheckBoxes();

    pathEdit_.m_layoutRect = ScaledRect(449, 189, 257, 36, s);
    pathEdit_.MoveWindow(pathEdit_.m_layoutRect);
    pathEdit_.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);

    browse_.LoadBackground(IDB_MAIN_BACKGROUND);
    browse_.SetBackgroundRect(714, 176, 794, 234);
    browse_.SetStretch(TRUE);
    browse_.SetHitInsets(Scaled(15, s), Scaled(13, s), Scaled(16, s), Scaled(9, s));
    browse_.SetImages(IDB_MAIN_BROWSE_NORMAL, IDB_MAIN_BROWSE_HOVER, IDB_MAIN_BROWSE_PRESSED, IDB_MAIN_BROWSE_DISABLED);
    browse_.MoveWindow(ScaledRect(714, 176, 80, 58, s));

    start_.LoadBackground(IDB_MAIN_BACKGROUND);
    start_.SetBackgroundRect(271, 300, 530, 385);
    start_.SetStretch(TRUE);
    start_.SetHitInsets(Scaled(19, s), Scaled(11, s), Scaled(19, s), Scaled(11, s));
    start_.SetImages(IDB_MAIN_START_NORMAL, IDB_MAIN_START_HOVER, IDB_MAIN_START_PRESSED, IDB_MAIN_START_DISABLED);
    if (width <= 800)
        start_.MoveWindow(width / 2 - 129, height / 2, 259, 85);
    else
        start_.MoveWindow(Scaled(270.5, s), Scaled(300, s), Scaled(259, s), Scaled(85, s));

    LayoutLabels(client);
}

void CSkeldaDlg::LayoutCheckBoxes() {
    // The boxes borrow the background; load it now rather than rely on the first erase.
    if (!background_) skin::LoadPngResource(IDB_MAIN_BACKGROUND, background_);
    for (const CheckBoxPlace& place : kCheckBoxPlaces) {
        CPngCheckBoxEx& box = checks_[place.category];
        box.SetBackgroundImage(&background_);
        box.m_scale = m_scale;
        box.CreateFontFromParent();
        box.SetTextColor(kWhite);
        box.SetBackgroundRect(place.left, place.top, place.left + place.width, place.top + place.height);
        box.MoveWindow(ScaledRect(place.left, place.top, place.width, place.height, m_scale));
        box.SetCheck(BST_CHECKED);
    }
}

void CSkeldaDlg::LayoutLabels(const RECT& client) {
    const float s = m_scale;
    const int top = skin::Height(client) - Scaled(25, s);
    const int height = Scaled(20, s);

    titleLabel_.SetWindowText(texts::kTitleLabel);
    const int titleWidth = frontend::TextWidthInDialogFont(m_hWnd, texts::kTitleLabel) + Scaled(12, s) + 8;
    titleLabel_.MoveWindow(10, top, titleWidth, height);
    titleLabel_.CreateFontFromParent();
    titleLabel_.SetFormat(1);
    titleLabel_.SetBkColor(kWhite);
    titleLabel_.SetColors(kTitleColor, kTitleColor);

    const CString linkText = feedbackLink_.GetWindowText();
    const int linkWidth = frontend::TextWidthInDialogFont(m_hWnd, linkText) + Scaled(4, s) + 8;
    const int linkRight = skin::Width(client) - 6;
    feedbackLink_.MoveWindow(linkRight - linkWidth, top, linkWidth, height);
    feedbackLink_.CreateFontFromParent();
    feedbackLink_.SetFormat(1);
    feedbackLink_.SetBkColor(kWhite);
    feedbackLink_.SetColors(kLinkColor, kLinkHoverColor);
}

void CSkeldaDlg::ReadSwitches(int (&switches)[engine::api::kCategoryCount]) const {
    for (int i = 0; i < engine::api::kCategoryCount; ++i) switches[i] = checks_[i].GetCheck() == BST_CHECKED ? 1 : 0;
}

CExecutePromptDlg* CSkeldaDlg::OpenProgressPrompt() const {
    return progress_ && progress_->m_hWnd ? progress_.get() : nullptr;
}

// Prompts and the progress prompt belong to the frame: while one is open the pair takes no input.
void CSkeldaDlg::ShowPrompt(LPCWSTR text) {
    const BOOL enabled = IsWindowEnabled();
    EnableWindow(FALSE);
    ::ShowPrompt(m_host ? m_host->m_hWnd : nullptr, m_scale, PROMPT_CONFIRM, text);
    if (enabled) EnableWindow(TRUE);
}

void CSkeldaDlg::OnBrowse() {
    wchar_t buffer[kArchivePathUnits] = {};
    // A folder without a file-system path leaves the buffer as it was: the edit is emptied then.
    if (engine_.selectSaveLocation(m_hWnd, buffer)) pathEdit_.SetWindowText(buffer);
}

void CSkeldaDlg::OnStart() {
    int switches[engine::api::kCategoryCount] = {};
    ReadSwitches(switches);

    CString path = pathEdit_.GetWindowText();
    if (path.GetLength() < 2) {
        ShowPrompt(texts::kEmptySaveLocation);
        return;
    }
    path.TrimRight(L'\\');
    wchar_t buffer[kArchivePathUnits] = {};
    std::wcsncpy(buffer, path, kArchivePathUnits - 1);

    if (!engine_.start(buffer, switches)) {
        ShowPrompt(texts::kCollectFailed);
        return;
    }
    startTarget_ = frontend::EngineVariable(engine::api::kArchiveVariable);
    progress_.reset();
    progress_ = std::make_unique<CExecutePromptDlg>(m_host);
    progress_->SetText(texts::kCollecting);
    progress_->m_scale = m_scale;
    // Blocks in the prompt's loop; the engine's end-of-run report closes it. The frame is
    // disabled by the prompt, this child here, so no second start can come in between.
    pendingResults_.clear();
    collecting_ = true;
    EnableWindow(FALSE);
    progress_->DoModal();
    EnableWindow(TRUE);
    // The outcome is sent right behind the end of the run, often before the progress prompt's
    // loop has ended: it waits until the prompt is gone. Outcomes that come while one is shown
    // follow it.
    while (!pendingResults_.empty()) {
        const WPARAM code = pendingResults_.front();
        pendingResults_.erase(pendingResults_.begin());
        ShowResultPrompt(code);
    }
    collecting_ = false;
}

void CSkeldaDlg::ShowResultPrompt(WPARAM code) {
    if (code != engine::api::kResultSucceeded) {
        ShowPrompt(frontend::FailureText(frontend::EngineVariable(engine::api::kKeptVariable)).c_str());
        return;
    }
    // The engine names where the archive went; it differs from the target where the earlier
    // archive could not be replaced and the new one was kept beside it.
    ShowPrompt(frontend::SuccessText(startTarget_, frontend::EngineVariable(engine::api::kArchiveVariable),
                                     frontend::EngineVariable(engine::api::kArchiveLacksVariable))
                   .c_str());
}

LRESULT CSkeldaDlg::OnCollectResult(WPARAM code) {
    switch (code) {
        case engine::api::kResultFinished:
        case engine::api::kResultSucceeded:
        case engine::api::kResultFailed:
        case engine::api::kResultFolderFailed:
            // Any report of the run hides the progress prompt at once and ends it (an outcome too,
            // should its end of the run not have come first); later pairs find it closed.
            if (CExecutePromptDlg* open = OpenProgressPrompt()) open->SendMessage(WM_CLOSE_PROGRESS);
            break;
        default: return 1;
    }
    if (code == engine::api::kResultFinished) return 1;
    if (collecting_)
        pendingResults_.push_back(code);
    else
        ShowResultPrompt(code);
    return 1;
}

LRESULT CSkeldaDlg::OnEnableStart(WPARAM enable) {
    start_.EnableWindow(enable == 1);
    start_.RefreshState();
    return 1;
}

void CSkeldaDlg::OnLButtonDown(LPARAM lp) {
    POINT pt{skin::XFromLParam(lp), skin::YFromLParam(lp)};
    ::ClientToScreen(m_hWnd, &pt);
    if (feedbackLink_.IsPointInside(pt.x, pt.y)) feedback_.question(texts::kToolName, texts::kToolVersion);
}

void CSkeldaDlg::OnMinimize() {
    if (m_host) m_host->PostMessage(WM_SYSCOMMAND, SC_MINIMIZE);
}

void CSkeldaDlg::OnClose() {
    if (feedbackOpen_) return;
    feedbackOpen_ = true;
    {
        // Modal to the main window: its frame is the owner (disabled while the question is
        // up), and this panel, a window of its own, takes no input meanwhile either.
        CProblemSolvingFeedbackDlg feedbackDlg(m_host);
        feedbackDlg.SetFeedbackDll(&feedback_);
        const bool wasEnabled = ::IsWindowEnabled(m_hWnd) != FALSE;
        ::EnableWindow(m_hWnd, FALSE);
        feedbackDlg.DoModal();
        if (wasEnabled) ::EnableWindow(m_hWnd, TRUE);
    }
    feedbackOpen_ = false;
    if (m_host) m_host->SendMessage(WM_CLOSE);
}

void CSkeldaDlg::OnCommand(UINT id) {
    switch (id) {
        case IDC_MAIN_CLOSE: OnClose(); break;
        case IDC_MAIN_MINIMIZE: OnMinimize(); break;
        case IDC_BROWSE: OnBrowse(); break;
        case IDC_START_COLLECT: OnStart(); break;
        default: break;
    }
}

void CSkeldaDlg::OnDestroy() {
    close_.FreeImages();
    minimize_.FreeImages();
    browse_.FreeImages();
    start_.FreeImages();
    CSkinChildDlg::OnDestroy();  // background image and hover timer
    if (progress_ && progress_->m_hWnd) progress_->DestroyWindow();
    progress_.reset();
    engine_.Release();
    feedback_.Release();
}

LRESULT CSkeldaDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED && lp != 0) {
                OnCommand(LOWORD(wp));
                return 0;
            }
            break;
        case engine::api::kResultMessage: return OnCollectResult(wp);
        case WM_ENABLE_START: return OnEnableStart(wp);
        case WM_LBUTTONDOWN: OnLButtonDown(lp); break;
    }
    return CSkinChildDlg::WindowProc(msg, wp, lp);
}

// ---- host ----

CTavlinSkeldaDlg::CTavlinSkeldaDlg(std::wstring libraryFolder)
    : CSkinHostDlg(IDD_TAVLINSKELDA_DIALOG,
                   skin::HostFrame{{810, 611}, IDB_MAIN_FRAME, {5, 4, 10, 11}, {5, 4, 5, 7}, true, 0}),
      libraryFolder_(std::move(libraryFolder)),
      icon_(::LoadIconW(SkinResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {
    m_swallowEscEnter = true;
}

std::unique_ptr<CSkinChildDlg> CTavlinSkeldaDlg::MakeChild() { return std::make_unique<CSkeldaDlg>(libraryFolder_); }

BOOL CTavlinSkeldaDlg::OnInitDialog() {
    SetWindowText(texts::kWindowTitle);
    if (HMENU menu = GetSystemMenu(FALSE)) {
        wchar_t about[128] = {};
        if (::LoadStringW(SkinResourceInstance(), IDS_ABOUTBOX, about, 128) > 0) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetIcon(icon_, TRUE);
    SetIcon(icon_, FALSE);
    return CSkinHostDlg::OnInitDialog();  // frame, then the child, which the host follows to the centre
}

bool CTavlinSkeldaDlg::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg about(this);
    about.DoModal();
    return true;
}

bool CTavlinSkeldaDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) return false;
    ui::PaintDC dc(m_hWnd);
    const RECT client = GetClientRect();
    const int x = (skin::Width(client) - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (skin::Height(client) - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, icon_);
    return true;
}

void CTavlinSkeldaDlg::OnDestroy() {
    CSkinHostDlg::OnDestroy();  // frame image, then the child with its libraries
    StartSelfRemoval();
}

void CTavlinSkeldaDlg::StartSelfRemoval() { frontend::RemoveProgramFolder(); }

LRESULT CTavlinSkeldaDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SYSCOMMAND:
            if (OnSysCommand(wp)) return 0;
            break;
        case WM_PAINT:
            if (OnPaint()) return 0;
            break;
        case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(icon_);
    }
    return CSkinHostDlg::WindowProc(msg, wp, lp);
}
