#pragma once
// The real tool output this folder's tests read: captures from public material, one file each
// in captures/ (their sources in captures/SOURCES.md), turned back into the bytes the tool
// writes where that is known.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "text/WideText.h"

namespace engine::summary::testing {

// The capture as stored: UTF-8, LF line ends.
inline std::string CaptureUtf8(const char* name) {
    std::ifstream in(std::string("Z:") + SKELDA_SOURCE_DIR + "/engine/summary/tests/captures/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline std::wstring WithCrLf(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}

// As WMIC writes a report: UTF-16LE after a byte-order mark, CR LF.
inline std::string AsWmicWrites(const char* name) {
    return "\xFF\xFE" + util::text::Utf16LeBytes(WithCrLf(util::text::Widen(CaptureUtf8(name), CP_UTF8)));
}

// As a console tool writes to a file on a Chinese PC: code page 936, CR LF.
inline std::string AsConsoleWrites(const char* name, UINT codePage = 936) {
    return util::text::Narrow(WithCrLf(util::text::Widen(CaptureUtf8(name), CP_UTF8)), codePage);
}

}  // namespace engine::summary::testing
