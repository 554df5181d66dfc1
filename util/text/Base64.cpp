#include "text/Base64.h"

#include "text/WideText.h"

namespace util::text {

namespace {

constexpr wchar_t kDigits[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DigitValue(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return c - L'A';
    if (c >= L'a' && c <= L'z') return c - L'a' + 26;
    if (c >= L'0' && c <= L'9') return c - L'0' + 52;
    if (c == L'+') return 62;
    if (c == L'/') return 63;
    return -1;
}

}  // namespace

std::wstring Utf16Base64(const std::wstring& text) {
    const std::string bytes = Utf16LeBytes(text);
    std::wstring out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        unsigned long group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : L'=';
    }
    return out;
}

bool Utf16FromBase64(const std::wstring& encoded, std::wstring& text) {
    if (encoded.size() % 4 != 0) return false;
    std::string bytes;
    for (size_t i = 0; i < encoded.size(); i += 4) {
        unsigned long group = 0;
        int padding = 0;
        for (size_t k = 0; k < 4; ++k) {
            const wchar_t c = encoded[i + k];
            const bool last = i + 4 == encoded.size();
            if (c == L'=' && last && k >= 2) {
                ++padding;
                group <<= 6;
                continue;
            }
            const int v = DigitValue(c);
            if (v < 0 || padding) return false;  // nothing may follow padding
            group = (group << 6) | static_cast<unsigned long>(v);
        }
        for (int k = 0; k < 3 - padding; ++k) bytes += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
    }
    if (bytes.size() % 2 != 0) return false;
    std::wstring result;
    result.reserve(bytes.size() / 2);
    for (size_t i = 0; i < bytes.size(); i += 2)
        result += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    text = std::move(result);
    return true;
}

}  // namespace util::text
