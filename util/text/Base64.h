#pragma once
// Base64 (RFC 4648, with padding) of UTF-16LE text: the form PowerShell's -EncodedCommand takes
// and the form in which a script hands text back without depending on any console code page.
#include <string>

namespace util::text {

// The UTF-16LE bytes of text in Base64.
std::wstring Utf16Base64(const std::wstring& text);

// The reverse. false, with text unchanged, when encoded is not Base64 of an even number of bytes.
bool Utf16FromBase64(const std::wstring& encoded, std::wstring& text);

}  // namespace util::text
