// Checks the resources that TavlinSkelda carries, as linked into this test program: every
// dialog template with its controls, the about string, the icon, the manifest, the scroll-bar
// skin and every PNG skin image (decoded with GDI+, at its size, with the alpha it needs).
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "CategoryBoxes.h"
#include "resource.h"

namespace {

// ---- PNG images ----------------------------------------------------------------------------

// What a PNG must look like at its corners and in its middle.
enum class Alpha {
    Frame,   // shadowed frame of a layered host: see-through corner, opaque body
    Opaque,  // child background: opaque everywhere
    Panel,   // terms panel: opaque sheet, see-through beside its tail (bottom right)
    Any,     // buttons and check boxes
};

struct PngExpectation {
    UINT id;
    UINT width;
    UINT height;
    Alpha alpha;
};

// Four images of one button in the order normal, hover, pressed, disabled.
void AddButton(std::vector<PngExpectation>& out, UINT first, UINT count, UINT width, UINT height) {
    for (UINT i = 0; i < count; ++i) out.push_back({first + i, width, height, Alpha::Any});
}

std::vector<PngExpectation> ExpectedPngs() {
    std::vector<PngExpectation> s = {
        {IDB_USAGE_FRAME, 610, 461, Alpha::Frame},
        {IDB_USAGE_BACKGROUND, 600, 450, Alpha::Opaque},
        {IDB_CONSENT_CHECK_STRIP, 48, 16, Alpha::Any},
        {IDB_EXECUTE_FRAME, 232, 132, Alpha::Frame},
        {IDB_EXECUTE_BACKGROUND, 204, 104, Alpha::Opaque},
        {IDB_PROMPT_FRAME, 330, 150, Alpha::Frame},
        {IDB_PROMPT_BACKGROUND, 320, 140, Alpha::Opaque},
        {IDB_FEEDBACK_FRAME, 410, 479, Alpha::Frame},
        {IDB_FEEDBACK_BACKGROUND, 400, 468, Alpha::Opaque},
        {IDB_TOOLTIP_FRAME, 541, 402, Alpha::Panel},
        {IDB_MAIN_FRAME, 810, 611, Alpha::Frame},
        {IDB_MAIN_BACKGROUND, 800, 600, Alpha::Opaque},
        {IDB_CHECK_TICKED, 17, 17, Alpha::Any},
        {IDB_CHECK_UNTICKED, 17, 17, Alpha::Any},
    };
    AddButton(s, IDB_USAGE_CLOSE_NORMAL, 4, 26, 34);
    AddButton(s, IDB_USAGE_START_NORMAL, 4, 260, 69);
    AddButton(s, IDB_MAIN_BROWSE_NORMAL, 4, 80, 58);
    AddButton(s, IDB_MAIN_CLOSE_NORMAL, 4, 26, 34);
    AddButton(s, IDB_MAIN_MINIMIZE_NORMAL, 4, 26, 34);
    AddButton(s, IDB_PROMPT_CANCEL_NORMAL, 3, 55, 24);
    AddButton(s, IDB_PROMPT_CLOSE_NORMAL, 3, 12, 12);
    AddButton(s, IDB_PROMPT_NO_NORMAL, 3, 55, 24);
    AddButton(s, IDB_PROMPT_CONFIRM_NORMAL, 3, 55, 24);
    AddButton(s, IDB_PROMPT_YES_NORMAL, 3, 55, 24);
    AddButton(s, IDB_FEEDBACK_CLOSE_NORMAL, 4, 12, 12);
    AddButton(s, IDB_FEEDBACK_SOLVED_NORMAL, 4, 266, 60);
    AddButton(s, IDB_MAIN_START_NORMAL, 4, 259, 85);
    AddButton(s, IDB_FEEDBACK_UNSOLVED_NORMAL, 4, 266, 60);
    return s;
}

class GdiPlus : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token_, &input, nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};
const auto* const kGdiPlus = ::testing::AddGlobalTestEnvironment(new GdiPlus);

std::string ResourceBytes(LPCWSTR name, LPCWSTR type) {
    HRSRC found = ::FindResourceW(nullptr, name, type);
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, found));
}

// Decodes a PNG resource the way the skin does: bytes copied into a global block, a stream
// on it, GDI+ on the stream. Returns null when anything fails.
Gdiplus::Bitmap* DecodePng(UINT id) {
    const std::string bytes = ResourceBytes(MAKEINTRESOURCEW(id), SKELDA_PNG_TYPE);
    if (bytes.empty()) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    memcpy(::GlobalLock(block), bytes.data(), bytes.size());
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) {
        ::GlobalFree(block);
        return nullptr;
    }
    Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream);
    stream->Release();  // GDI+ holds its own reference while the bitmap lives
    if (bitmap && bitmap->GetLastStatus() != Gdiplus::Ok) {
        delete bitmap;
        bitmap = nullptr;
    }
    return bitmap;
}

int AlphaAt(Gdiplus::Bitmap& bitmap, INT x, INT y) {
    Gdiplus::Color colour;
    if (bitmap.GetPixel(x, y, &colour) != Gdiplus::Ok) return -1;
    return colour.GetA();
}

TEST(SkinImages, EveryPngDecodesAtItsSize) {
    for (const PngExpectation& png : ExpectedPngs()) {
        SCOPED_TRACE("PNG " + std::to_string(png.id));
        Gdiplus::Bitmap* bitmap = DecodePng(png.id);
        ASSERT_NE(nullptr, bitmap);
        EXPECT_EQ(png.width, bitmap->GetWidth());
        EXPECT_EQ(png.height, bitmap->GetHeight());
        const INT w = static_cast<INT>(png.width), h = static_cast<INT>(png.height);
        switch (png.alpha) {
        case Alpha::Frame:
            EXPECT_LT(AlphaAt(*bitmap, 0, 0), 128);
            EXPECT_LT(AlphaAt(*bitmap, w - 1, h - 1), 255);
            EXPECT_EQ(255, AlphaAt(*bitmap, w / 2, h / 2));
            break;
        case Alpha::Opaque:
            for (INT x : {0, w / 2, w - 1})
                for (INT y : {0, h / 2, h - 1}) EXPECT_EQ(255, AlphaAt(*bitmap, x, y)) << x << "," << y;
            break;
        case Alpha::Panel:
            EXPECT_EQ(255, AlphaAt(*bitmap, w / 2, h / 2));
            EXPECT_EQ(255, AlphaAt(*bitmap, 0, 0));
            EXPECT_EQ(0, AlphaAt(*bitmap, w - 1, h - 1));
            break;
        case Alpha::Any:
            break;
        }
        delete bitmap;
    }
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(out)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

TEST(SkinImages, PngIdsAreExactlyTheSkinImages) {
    std::vector<UINT> found;
    ::EnumResourceNamesW(nullptr, SKELDA_PNG_TYPE, CollectName, reinterpret_cast<LONG_PTR>(&found));
    std::vector<UINT> expected;
    for (UINT id = IDB_PNG_FIRST; id <= IDB_PNG_LAST; ++id)
        if (id != IDB_SCROLLBAR_SKIN) expected.push_back(id);
    EXPECT_EQ(expected, found);
}

TEST(SkinImages, ScrollBarSkinIsNineByThreeCells) {
    HBITMAP skin = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, skin);
    BITMAP info = {};
    ASSERT_NE(0, ::GetObjectW(skin, sizeof info, &info));
    EXPECT_EQ(117, info.bmWidth);
    EXPECT_EQ(39, info.bmHeight);
    ::DeleteObject(skin);
}

// ---- Strings, icon, manifest ----------------------------------------------------------------

TEST(ProgramResources, AboutStringLoads) {
    wchar_t text[64] = {};
    ASSERT_GT(::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 64), 0);
    EXPECT_STREQ(L"\x5173\x4e8e TavlinSkelda(&A)...", text);  // 关于 TavlinSkelda(&A)...
}

TEST(ProgramResources, IconHasSmallAndLargeSizes) {
    for (int size : {16, 32, 48, 256}) {
        HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                     IMAGE_ICON, size, size, 0));
        ASSERT_NE(nullptr, icon) << size;
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP colour = {};
        ::GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(size, colour.bmWidth);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

TEST(ProgramResources, ManifestAsksForAdministratorDpiLongPathsAndCommonControls6) {
    const std::string manifest = ResourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""));
    EXPECT_NE(std::string::npos, manifest.find("<dpiAware>true</dpiAware>"));
    EXPECT_NE(std::string::npos,
              manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"));
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
}

// ---- Dialog templates ------------------------------------------------------------------------

struct DialogItem {
    UINT id;
    DWORD style;
    std::wstring windowClass;  // "Button", "Edit", "Static" for the predefined atoms
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring caption;
    std::vector<DialogItem> items;
};

// Reads a DLGTEMPLATEEX: header, menu, class, caption, font, then DWORD-aligned items.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes)
        : begin_(bytes.data()), p_(begin_), end_(begin_ + bytes.size()) {}

    bool Read(DialogTemplate& out) {
        if (Word() != 1 || Word() != 0xFFFF) return false;
        Dword();  // help id
        out.exStyle = Dword();
        out.style = Dword();
        const WORD count = Word();
        Skip(8);  // x, y, cx, cy
        SizeOrOrdinal();
        SizeOrOrdinal();
        out.caption = String();
        if (out.style & (DS_SETFONT | DS_SHELLFONT)) {
            Skip(6);  // point size, weight, italic, charset
            String();
        }
        for (WORD i = 0; i < count && p_ < end_; ++i) {
            Align();
            DialogItem item;
            Dword();  // help id
            Dword();  // extended style
            item.style = Dword();
            Skip(8);
            item.id = Dword();
            item.windowClass = ClassName(SizeOrOrdinal());
            item.text = SizeOrOrdinal();
            Skip(Word());
            out.items.push_back(item);
        }
        return p_ <= end_;
    }

private:
    WORD Word() {
        WORD v = 0;
        if (p_ + 2 <= end_) memcpy(&v, p_, 2);
        p_ += 2;
        return v;
    }
    DWORD Dword() {
        DWORD v = 0;
        if (p_ + 4 <= end_) memcpy(&v, p_, 4);
        p_ += 4;
        return v;
    }
    void Skip(size_t n) { p_ += n; }
    void Align() {
        while ((p_ - begin_) % 4) ++p_;
    }
    std::wstring String() {
        std::wstring s;
        for (WORD c = Word(); c && p_ < end_; c = Word()) s.push_back(static_cast<wchar_t>(c));
        return s;
    }
    // A name, or an ordinal written as "#<number>".
    std::wstring SizeOrOrdinal() {
        WORD first = 0;
        if (p_ + 2 <= end_) memcpy(&first, p_, 2);
        if (first != 0xFFFF) return String();
        Word();
        return L"#" + std::to_wstring(Word());
    }
    // The predefined control classes are stored as atoms.
    static std::wstring ClassName(const std::wstring& stored) {
        if (stored == L"#128") return L"Button";
        if (stored == L"#129") return L"Edit";
        if (stored == L"#130") return L"Static";
        return stored;
    }

    const char* begin_;
    const char* p_;
    const char* end_;
};

DialogTemplate LoadTemplate(UINT id) {
    DialogTemplate t;
    const std::string bytes = ResourceBytes(MAKEINTRESOURCEW(id), RT_DIALOG);
    EXPECT_FALSE(bytes.empty()) << "dialog " << id;
    if (!bytes.empty()) {
        EXPECT_TRUE(TemplateReader(bytes).Read(t)) << "dialog " << id;
    }
    return t;
}

const DialogItem* FindItem(const DialogTemplate& t, UINT id) {
    for (const DialogItem& item : t.items)
        if (item.id == id) return &item;
    return nullptr;
}

bool SameClass(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

struct ExpectedControl {
    UINT dialog;
    UINT id;
    const wchar_t* windowClass;
    DWORD kind;               // buttons: BS_PUSHBUTTON or BS_AUTOCHECKBOX
    const wchar_t* text;      // nullptr: not checked
};

const ExpectedControl kControls[] = {
    {IDD_EXECUTE_PROMPT_CHILD, IDC_EXECUTE_TEXT, L"Static", 0, nullptr},
    {IDD_FEEDBACK_CHILD, IDC_FEEDBACK_CLOSE, L"Button", BS_PUSHBUTTON, nullptr},
    {IDD_FEEDBACK_CHILD, IDC_FEEDBACK_SOLVED, L"Button", BS_PUSHBUTTON, L"\x89e3\x51b3"},            // 解决
    {IDD_FEEDBACK_CHILD, IDC_FEEDBACK_UNSOLVED, L"Button", BS_PUSHBUTTON, L"\x672a\x89e3\x51b3"},    // 未解决
    {IDD_PROMPT_CHILD, IDC_PROMPT_LEFT, L"Button", BS_PUSHBUTTON, nullptr},
    {IDD_PROMPT_CHILD, IDC_PROMPT_RIGHT, L"Button", BS_PUSHBUTTON, nullptr},
    {IDD_PROMPT_CHILD, IDC_PROMPT_CLOSE, L"Button", BS_PUSHBUTTON, nullptr},
    {IDD_PROMPT_CHILD, IDC_PROMPT_TEXT, L"Static", 0, nullptr},
    {IDD_SKELDA_CHILD, IDC_MAIN_CLOSE, L"Button", BS_PUSHBUTTON, nullptr},
    {IDD_SKELDA_CHILD, IDC_MAIN_MINIMIZE, L"Button", BS_PUSHBUTTON, nullptr},
    {IDD_SKELDA_CHILD, IDC_SAVE_PATH, L"Edit", 0, nullptr},
    {IDD_SKELDA_CHILD, IDC_BROWSE, L"Button", BS_PUSHBUTTON, L"\x9009\x62e9\x4fdd\x5b58\x4f4d\x7f6e"},  // 选择保存位置
    {IDD_SKELDA_CHILD, IDC_START_COLLECT, L"Button", BS_PUSHBUTTON, L"\x5f00\x59cb\x6536\x96c6"},       // 开始收集
    {IDD_SKELDA_CHILD, IDC_FEEDBACK_LINK, L"Static", 0, L"\x53cd\x9988\x95ee\x9898"},                  // 反馈问题
    {IDD_SKELDA_CHILD, IDC_TITLE_LABEL, L"Static", 0, nullptr},
    {IDD_TOOLTIP_CHILD, IDC_TERMS_TEXT, L"RichEdit20W", 0, nullptr},
    {IDD_USAGE_CHILD, IDC_CONSENT, L"Button", BS_AUTOCHECKBOX, L"\x540c\x610f"},                         // 同意
    {IDD_USAGE_CHILD, IDC_USAGE_CLOSE, L"Button", BS_PUSHBUTTON, nullptr},
    {IDD_USAGE_CHILD, IDC_USAGE_START, L"Button", BS_PUSHBUTTON, L"\x5f00\x59cb\x8fd0\x884c"},           // 开始运行
    {IDD_USAGE_CHILD, IDC_TERMS_LINK, L"Static", 0, nullptr},
};

// The main window's category boxes are the category table's: its ids, its texts, in its order.
TEST(DialogTemplates, CategoryBoxesCarryTheTableLabels) {
    const DialogTemplate t = LoadTemplate(IDD_SKELDA_CHILD);
    for (const engine::api::Category& category : engine::api::kCategoryTable) {
        SCOPED_TRACE("category " + std::to_string(category.index));
        const DialogItem* item = FindItem(t, frontend::kCategoryBoxIds[category.index]);
        ASSERT_NE(nullptr, item);
        EXPECT_TRUE(SameClass(L"Button", item->windowClass));
        EXPECT_EQ(static_cast<DWORD>(BS_AUTOCHECKBOX), item->style & BS_TYPEMASK);
        EXPECT_EQ(std::wstring(category.label), item->text);
    }
}

TEST(DialogTemplates, ChildTemplatesCarryTheirControls) {
    for (const ExpectedControl& c : kControls) {
        SCOPED_TRACE("dialog " + std::to_string(c.dialog) + " control " + std::to_string(c.id));
        const DialogTemplate t = LoadTemplate(c.dialog);
        const DialogItem* item = FindItem(t, c.id);
        ASSERT_NE(nullptr, item);
        EXPECT_TRUE(SameClass(c.windowClass, item->windowClass));
        if (SameClass(c.windowClass, L"Button")) {
            EXPECT_EQ(c.kind, item->style & BS_TYPEMASK);
        }
        if (c.text) {
            EXPECT_EQ(std::wstring(c.text), item->text);
        }
        EXPECT_TRUE(item->style & WS_VISIBLE);
    }
}

TEST(DialogTemplates, LinksPassClicksToTheirDialog) {
    // Without SS_NOTIFY a static is transparent to hit tests, so the dialog sees the click.
    for (auto [dialog, id] : {std::pair<UINT, UINT>{IDD_SKELDA_CHILD, IDC_FEEDBACK_LINK}, {IDD_USAGE_CHILD, IDC_TERMS_LINK}}) {
        const DialogTemplate t = LoadTemplate(dialog);  // the item points into it
        const DialogItem* item = FindItem(t, id);
        ASSERT_NE(nullptr, item);
        EXPECT_FALSE(item->style & SS_NOTIFY);
    }
}

TEST(DialogTemplates, TermsTextIsAReadOnlyScrollingRichEdit) {
    const DialogTemplate t = LoadTemplate(IDD_TOOLTIP_CHILD);  // the item points into it
    const DialogItem* item = FindItem(t, IDC_TERMS_TEXT);
    ASSERT_NE(nullptr, item);
    const DWORD needed = ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER;
    EXPECT_EQ(needed, item->style & needed);
}

TEST(DialogTemplates, HostsAreBarePopupsAndChildrenAreCaptionless) {
    const UINT hosts[] = {IDD_TAVLINSKELDA_DIALOG, IDD_EXECUTE_PROMPT, IDD_FEEDBACK, IDD_PROMPT, IDD_TOOLTIP, IDD_USAGE};
    const UINT children[] = {IDD_EXECUTE_PROMPT_CHILD, IDD_FEEDBACK_CHILD, IDD_PROMPT_CHILD,
                             IDD_SKELDA_CHILD, IDD_TOOLTIP_CHILD, IDD_USAGE_CHILD};
    for (UINT id : hosts) {
        const DialogTemplate t = LoadTemplate(id);
        EXPECT_TRUE(t.style & WS_POPUP) << id;
        EXPECT_NE(static_cast<DWORD>(WS_CAPTION), t.style & WS_CAPTION) << id;
        EXPECT_FALSE(t.style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_VISIBLE)) << id;
        EXPECT_TRUE(t.items.empty()) << id;
    }
    for (UINT id : children) {
        const DialogTemplate t = LoadTemplate(id);
        EXPECT_TRUE(t.style & WS_POPUP) << id;
        EXPECT_FALSE(t.style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_VISIBLE)) << id;
        EXPECT_FALSE(t.items.empty()) << id;
    }
    const DialogTemplate main = LoadTemplate(IDD_TAVLINSKELDA_DIALOG);
    EXPECT_TRUE(main.style & WS_SYSMENU);
    EXPECT_TRUE(main.exStyle & WS_EX_APPWINDOW);
}

TEST(DialogTemplates, AboutBoxHasIconTextAndOk) {
    const DialogTemplate t = LoadTemplate(IDD_ABOUTBOX);
    const DialogItem* ok = FindItem(t, IDOK);
    ASSERT_NE(nullptr, ok);
    EXPECT_EQ(std::wstring(L"\x786e\x5b9a"), ok->text);  // 确定
    bool hasVersion = false, hasIcon = false;
    for (const DialogItem& item : t.items) {
        hasVersion |= item.text == L"TavlinSkelda\xff0c" L"1.0 \x7248";  // TavlinSkelda，1.0 版
        hasIcon |= SameClass(item.windowClass, L"Static") && (item.style & SS_TYPEMASK) == SS_ICON;
    }
    EXPECT_TRUE(hasVersion);
    EXPECT_TRUE(hasIcon);
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(DialogTemplates, EveryTemplateCreatesItsWindows) {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs a display (scripts/test.sh runs the tests under Xvfb)";
    ASSERT_NE(nullptr, ::LoadLibraryW(L"riched20.dll"));  // registers RichEdit20W
    const UINT templates[] = {IDD_ABOUTBOX, IDD_TAVLINSKELDA_DIALOG, IDD_EXECUTE_PROMPT_CHILD, IDD_EXECUTE_PROMPT,
                              IDD_FEEDBACK_CHILD, IDD_FEEDBACK, IDD_PROMPT_CHILD, IDD_PROMPT, IDD_SKELDA_CHILD,
                              IDD_TOOLTIP_CHILD, IDD_TOOLTIP, IDD_USAGE_CHILD, IDD_USAGE};
    for (UINT id : templates) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, QuietDialog, 0);
        ASSERT_NE(nullptr, dialog);
        for (const ExpectedControl& c : kControls) {
            if (c.dialog != id) continue;
            HWND control = ::GetDlgItem(dialog, static_cast<int>(c.id));
            ASSERT_NE(nullptr, control) << c.id;
            wchar_t name[64] = {};
            ::GetClassNameW(control, name, 64);
            EXPECT_TRUE(SameClass(c.windowClass, name)) << c.id;
            if (c.text) {
                wchar_t caption[64] = {};
                ::GetWindowTextW(control, caption, 64);
                EXPECT_EQ(std::wstring(c.text), caption) << c.id;
            }
        }
        ::DestroyWindow(dialog);
    }
}

}  // namespace
