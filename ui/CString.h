#pragma once
// A wide string with the small set of operations the dialogs use.
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : s_(text ? text : L"") {}
    CString(const wchar_t* text, int length) : s_(text ? text : L"", text && length > 0 ? length : 0) {}
    CString(std::wstring text) : s_(std::move(text)) {}
    CString(wchar_t ch, int repeat = 1) : s_(repeat > 0 ? repeat : 0, ch) {}

    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    void Empty() { s_.clear(); }
    LPCWSTR GetString() const { return s_.c_str(); }
    operator LPCWSTR() const { return s_.c_str(); }
    const std::wstring& Str() const { return s_; }
    wchar_t GetAt(int i) const { return s_.at(static_cast<size_t>(i)); }

    // Pieces; counts beyond the ends are clipped, negative ones give an empty string.
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Index of the first match at or after start, or -1.
    int Find(wchar_t ch, int start = 0) const;
    int Find(LPCWSTR sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;

    // printf-style formatting with the C runtime's wide rules (%s is a wide string).
    void Format(LPCWSTR format, ...);
    void AppendFormat(LPCWSTR format, ...);

    CString& TrimRight(wchar_t ch);
    CString& TrimRight();
    CString& TrimLeft();
    int Replace(LPCWSTR from, LPCWSTR to);

    int Compare(LPCWSTR other) const;        // ordinal
    int CompareNoCase(LPCWSTR other) const;  // ordinal, ignoring case

    CString& operator+=(const CString& other) { s_ += other.s_; return *this; }
    CString& operator+=(LPCWSTR other) { if (other) s_ += other; return *this; }
    CString& operator+=(wchar_t ch) { s_ += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
    friend CString operator+(const CString& a, LPCWSTR b) { CString r(a); r += b; return r; }
    friend CString operator+(LPCWSTR a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, wchar_t b) { CString r(a); r += b; return r; }

    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    friend bool operator==(const CString& a, LPCWSTR b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCWSTR b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }

private:
    void AppendFormatV(LPCWSTR format, va_list args);
    std::wstring s_;
};
