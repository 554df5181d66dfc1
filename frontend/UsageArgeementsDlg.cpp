#include "UsageArgeementsDlg.h"

#include "FrontendMessages.h"
#include "FrontendTexts.h"
#include "PromptDlg.h"
#include "SkinDraw.h"
#include "SkinScale.h"
#include "TavlinSkeldaDlg.h"
#include "resource.h"

using skin::Scaled;

namespace {

constexpr UINT_PTR kHoverTimer = 35;
constexpr COLORREF kLinkBackground = RGB(241, 242, 246);
constexpr COLORREF kLinkColor = RGB(92, 92, 255);
constexpr COLORREF kLinkHoverColor = RGB(0, 0, 255);
// Characters of the link text; the consent label has two.
constexpr int kLinkCharacters = 14;

bool PointInWindow(const CWnd& wnd, POINT pt) { return wnd.m_hWnd && skin::PointInWindow(wnd.m_hWnd, pt.x, pt.y); }

}  // namespace

// ---- child ----

CUsageArgeeementChildDlg::CUsageArgeeementChildDlg(std::wstring libraryFolder)
    : CSkinChildDlg(IDD_USAGE_CHILD, IDB_USAGE_BACKGROUND, skin::DragStrip{50, 86}, kHoverTimer, 1),
      libraryFolder_(std::move(libraryFolder)) {}

CUsageArgeeementChildDlg::~CUsageArgeeementChildDlg() = default;

void CUsageArgeeementChildDlg::DoDataExchange() {
    BindControl(IDC_USAGE_CLOSE, close_);
    BindControl(IDC_USAGE_START, start_);
    BindControl(IDC_CONSENT, consent_);
    BindControl(IDC_TERMS_LINK, link_);
}

BOOL CUsageArgeeementChildDlg::OnInitDialog() {
    CSkinChildDlg::OnInitDialog();  // binds the controls, starts the hover timer
    TrackHover(close_);
    TrackHover(link_);
    TrackHover(start_);
    frontend::BindUsageLibraries(m_scale, libraryFolder_, hook_, feedback_);  // prompts and exits on failure
    return TRUE;
}

void CUsageArgeeementChildDlg::Layout() {
    const RECT client = GetClientRect();
    const int width = skin::Width(client), height = skin::Height(client);
    const float s = m_scale;

    close_.MoveWindow(width - Scaled(36, s), 0, Scaled(26, s), Scaled(34, s));
    close_.SetImages(IDB_USAGE_CLOSE_NORMAL, IDB_USAGE_CLOSE_HOVER, IDB_USAGE_CLOSE_PRESSED, IDB_USAGE_CLOSE_DISABLED);
    close_.SetStretch(TRUE);

    start_.EnableWindow(TRUE);
    start_.LoadBackground(IDB_USAGE_BACKGROUND);
    if (width <= 600)
        start_.MoveWindow(width / 2 - 130, height / 2 + 50, 260, 69);
    else
        start_.MoveWindow(Scaled(170, s), Scaled(275, s), Scaled(260, s), Scaled(69, s));
    start_.SetBackgroundRect(170, 275, 430, 344);
    start_.SetStretch(TRUE);
    start_.SetHitInsets(Scaled(19, s), Scaled(11, s), Scaled(20, s), Scaled(11, s));
    start_.SetImages(IDB_USAGE_START_NORMAL, IDB_USAGE_START_HOVER, IDB_USAGE_START_PRESSED, IDB_USAGE_START_DISABLED);
    start_.RefreshState();

    // Widths from a per-character share of the whole line: the box and "同意", then the link.
    const int perCharacter = frontend::TextWidthInDialogFont(m_hWnd, texts::kConsentAndLink) / 14;
    RECT box{Scaled(8, s), height - Scaled(25, s), 0, 0};
    box.right = box.left + Scaled(16, s) + 2 * perCharacter + 2;
    box.bottom = box.top + Scaled(20, s);
    consent_.MoveWindow(box);
    consent_.CreateFontFromParent();
    consent_.m_scale = s;
    consent_.SetCheck(BST_CHECKED);

    link_.MoveWindow(box.right + 6, box.top, kLinkCharacters * perCharacter, skin::Height(box));
    link_.CreateFontFromParent();
    link_.SetFormat(1);
    link_.SetBkColor(kLinkBackground);
    link_.SetColors(kLinkColor, kLinkHoverColor);

    CheckForNewerVersion();
}

void CUsageArgeeementChildDlg::CheckForNewerVersion() {
    constexpr int kNewerVersion = 3;
    if (!feedback_.newVersion || feedback_.newVersion(texts::kToolName, texts::kToolVersion) != kNewerVersion) return;
    ShowPrompt(nullptr, m_scale, PROMPT_CONFIRM, texts::kNewVersionAvailable);
    feedback_.openDownloadUrl();
    ::ExitProcess(0);
}

void CUsageArgeeementChildDlg::OnConsentClicked() {
    start_.EnableWindow(consent_.GetCheck() == BST_CHECKED);
    start_.RefreshState();
}

void CUsageArgeeementChildDlg::HidePanel() {
    if (!panel_ || !panel_->IsPanelVisible()) return;
    panel_->ShowPanel(false);
}

void CUsageArgeeementChildDlg::TogglePanel() {
    if (!panel_) {
        auto panel = std::make_unique<CTooltipDlg>();
        panel->m_scale = m_scale;
        if (!panel->Create(IDD_TOOLTIP, this)) return;
        panel_ = std::move(panel);
    }
    const float s = m_scale;
    const RECT wr = GetWindowRect();
    panel_->MoveWindow(wr.left + Scaled(48, s), wr.top + Scaled(108, s), skin::Width(wr) - Scaled(96, s),
                       skin::Height(wr) - Scaled(128, s));
    if (panel_->IsPanelVisible()) {
        HidePanel();
        return;
    }
    panel_->ShowPanel(true);
    // Started once per dialog; a failed start is tried again at the next opening.
    if (!hookStarted_ && hook_.startHook && hook_.startHook(m_hWnd)) hookStarted_ = 1;
}

void CUsageArgeeementChildDlg::OnLButtonDown(LPARAM lp) {
    POINT pt{skin::XFromLParam(lp), skin::YFromLParam(lp)};
    ::ClientToScreen(m_hWnd, &pt);
    if (link_.IsPointInside(pt.x, pt.y))
        TogglePanel();
    else
        HidePanel();
}

LRESULT CUsageArgeeementChildDlg::OnMouseHookClick() {
    POINT pt{};
    ::GetCursorPos(&pt);
    if (!panel_) return 1;
    if (PointInWindow(*this, pt)) {
        // A click on the link toggles the panel itself; one on the panel keeps it.
        if (!link_.IsPointInside(pt.x, pt.y) && !PointInWindow(*panel_, pt) && panel_->IsPanelVisible()) HidePanel();
    } else {
        HidePanel();
    }
    return 1;
}

void CUsageArgeeementChildDlg::OnCommand(UINT id) {
    switch (id) {
        case IDC_CONSENT: OnConsentClicked(); break;
        case IDC_USAGE_CLOSE:
            if (m_host) m_host->SendMessage(WM_CLOSE);
            break;
        case IDC_USAGE_START:
            if (m_host) m_host->SendMessage(WM_USAGE_ACCEPTED);
            break;
        default: break;
    }
}

void CUsageArgeeementChildDlg::OnDestroy() {
    close_.FreeImages();
    CSkinChildDlg::OnDestroy();  // background image and hover timer
    if (panel_ && panel_->m_hWnd) panel_->DestroyWindow();
    panel_.reset();
    if (hookStarted_ && hook_.stopHook) hook_.stopHook();
    hookStarted_ = 0;
    hook_.Release();
    feedback_.Release();
}

LRESULT CUsageArgeeementChildDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED && lp != 0) {
                OnCommand(LOWORD(wp));
                return 0;
            }
            break;
        case WM_LBUTTONDOWN: OnLButtonDown(lp); break;
        case WM_MOUSEHOOK_CLICK: return OnMouseHookClick();
        case WM_NCRBUTTONDOWN: HidePanel(); break;
    }
    return CSkinChildDlg::WindowProc(msg, wp, lp);
}

// ---- host ----

CUsageArgeementsDlg::CUsageArgeementsDlg(std::wstring libraryFolder)
    : CSkinHostDlg(IDD_USAGE, skin::HostFrame{{610, 461}, IDB_USAGE_FRAME, {5, 4, 10, 11}, {5, 4, 5, 7}, true, 0}),
      libraryFolder_(std::move(libraryFolder)) {}

std::unique_ptr<CSkinChildDlg> CUsageArgeementsDlg::MakeChild() {
    return std::make_unique<CUsageArgeeementChildDlg>(libraryFolder_);
}

BOOL CUsageArgeementsDlg::OnInitDialog() {
    SetWindowText(texts::kWindowTitle);
    return CSkinHostDlg::OnInitDialog();
}

LRESULT CUsageArgeementsDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USAGE_ACCEPTED) {
        EndDialog(IDOK);
        return 1;
    }
    return CSkinHostDlg::WindowProc(msg, wp, lp);
}
