#include "text/WideText.h"

#include <cwctype>

namespace util::text {

std::wstring ToLower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring Widen(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                  nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                          nullptr);
    return out;
}

CharBoundary::CharBoundary(UINT codePage) : codePage_(codePage) {
    if (codePage_ == CP_ACP) codePage_ = ::GetACP();
    if (codePage_ == CP_OEMCP) codePage_ = ::GetOEMCP();
    utf8_ = codePage_ == CP_UTF8;
    CPINFO info{};
    if (!utf8_ && ::GetCPInfo(codePage_, &info) && info.MaxCharSize == 2) {
        for (int i = 0; i < MAX_LEADBYTES; ++i) leadRanges_[i] = info.LeadByte[i];
    }
}

bool CharBoundary::IsLeadByte(unsigned char b) const {
    for (int i = 0; i + 1 < MAX_LEADBYTES && leadRanges_[i] != 0; i += 2) {
        if (b >= leadRanges_[i] && b <= leadRanges_[i + 1]) return true;
    }
    return false;
}

size_t CharBoundary::CompletePrefix(const char* bytes, size_t n) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    if (utf8_) {
        // Step back over continuation bytes to the last lead byte and check its sequence length.
        size_t i = n;
        size_t back = 0;
        while (i > 0 && back < 4 && (p[i - 1] & 0xC0) == 0x80) { --i; ++back; }
        if (i == 0) return n;
        unsigned char lead = p[i - 1];
        size_t need = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                    : (lead & 0xF8) == 0xF0 ? 4 : 1;
        return back + 1 >= need ? n : i - 1;
    }
    if (leadRanges_[0] == 0) return n;  // single-byte code page
    // A trail byte can look like a lead byte, so walk from the start.
    size_t i = 0;
    while (i < n) {
        if (IsLeadByte(p[i])) {
            if (i + 1 >= n) return i;
            i += 2;
        } else {
            ++i;
        }
    }
    return n;
}

std::string Utf16LeBytes(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

}  // namespace util::text
