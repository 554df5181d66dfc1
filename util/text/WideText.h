#pragma once
// Conversions between UTF-16 and narrow code-page text.
#include <windows.h>
#include <cstddef>
#include <string>

namespace util::text {

// The code page of the tool log and its entry texts (Chinese simplified, GBK).
constexpr UINT kGbkCodePage = 936;

std::wstring Widen(const std::string& text, UINT codePage);
std::string Narrow(const std::wstring& text, UINT codePage);

// The text in lower case, character by character (towlower), as names are compared without
// regard to case.
std::wstring ToLower(std::wstring text);

// The UTF-16LE bytes of text, without a byte-order mark.
std::string Utf16LeBytes(const std::wstring& text);

// Finds where a byte stream in a given code page can be cut without splitting a character.
// Used for output that arrives in reads of arbitrary size.
class CharBoundary {
public:
    explicit CharBoundary(UINT codePage);
    // Length of the longest prefix of bytes[0..n) that ends on a character boundary.
    size_t CompletePrefix(const char* bytes, size_t n) const;

private:
    bool IsLeadByte(unsigned char b) const;
    UINT codePage_;
    bool utf8_ = false;
    unsigned char leadRanges_[MAX_LEADBYTES] = {};
};

}  // namespace util::text
