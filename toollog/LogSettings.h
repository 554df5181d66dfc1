#pragma once
// The settings of logCfg.ini, read once from an opened file and looked up from memory: reading
// by path again (GetPrivateProfileString) would read whatever has been put there since the
// file was checked.
#include <windows.h>

#include <optional>
#include <string>

namespace toollog {

class LogSettings {
public:
    // The file's bytes: UTF-16LE or UTF-8 with their byte-order marks, otherwise the ANSI code
    // page, as GetPrivateProfileString reads them.
    static LogSettings Parse(const std::string& bytes);

    // The value of key in [section], names in any case, blanks around the value and one pair
    // of enclosing quotes removed; the first one found wins. nullopt when there is none.
    std::optional<std::wstring> Value(const std::wstring& section, const std::wstring& key) const;

private:
    std::wstring text_;
};

// The most of logCfg.ini that is read.
constexpr DWORD kMaxSettingsBytes = 64 * 1024;

}  // namespace toollog
