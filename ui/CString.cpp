#include "CString.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace {
size_t Clip(int value, size_t limit) {
    if (value <= 0) return 0;
    return static_cast<size_t>(value) < limit ? static_cast<size_t>(value) : limit;
}
}  // namespace

CString CString::Left(int count) const { return CString(s_.substr(0, Clip(count, s_.size()))); }

CString CString::Right(int count) const {
    size_t n = Clip(count, s_.size());
    return CString(s_.substr(s_.size() - n));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    size_t start = Clip(first, s_.size());
    return CString(s_.substr(start, Clip(count, s_.size() - start)));
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0) start = 0;
    size_t at = s_.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCWSTR sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    size_t at = s_.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const {
    size_t at = s_.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

void CString::AppendFormatV(LPCWSTR format, va_list args) {
    va_list probe;
    va_copy(probe, args);
    int needed = _vscwprintf(format, probe);
    va_end(probe);
    if (needed <= 0) return;
    std::wstring piece(static_cast<size_t>(needed) + 1, L'\0');
    _vsnwprintf(&piece[0], piece.size(), format, args);
    piece.resize(static_cast<size_t>(needed));
    s_ += piece;
}

void CString::Format(LPCWSTR format, ...) {
    s_.clear();
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

CString& CString::TrimRight(wchar_t ch) {
    while (!s_.empty() && s_.back() == ch) s_.pop_back();
    return *this;
}

CString& CString::TrimRight() {
    while (!s_.empty() && std::iswspace(s_.back())) s_.pop_back();
    return *this;
}

CString& CString::TrimLeft() {
    size_t n = 0;
    while (n < s_.size() && std::iswspace(s_[n])) ++n;
    s_.erase(0, n);
    return *this;
}

int CString::Replace(LPCWSTR from, LPCWSTR to) {
    if (!from || !*from) return 0;
    std::wstring what(from), with(to ? to : L"");
    int count = 0;
    for (size_t at = s_.find(what); at != std::wstring::npos; at = s_.find(what, at + with.size())) {
        s_.replace(at, what.size(), with);
        ++count;
    }
    return count;
}

int CString::Compare(LPCWSTR other) const {
    int r = std::wcscmp(s_.c_str(), other ? other : L"");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(LPCWSTR other) const {
    int r = _wcsicmp(s_.c_str(), other ? other : L"");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
