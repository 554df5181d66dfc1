#pragma once
// The version file an administrator puts beside the library, OrvaneFeedbackInformation.ini:
//
//   [Version]
//   Latest=1.2.0
//   DownloadUrl=https://example.invalid/download
//   FeedbackUrl=https://example.invalid/feedback?tool={tool}&version={version}
//
// UTF-8 (a byte-order mark is allowed), names of sections and keys in any case, blanks around
// names and values ignored, lines starting with ";" or "#" are comments, other sections are
// ignored. Every key is optional. A file that breaks these rules counts as no file at all.
#include <optional>
#include <string>
#include <vector>

namespace outside {

constexpr wchar_t kVersionFileName[] = L"OrvaneFeedbackInformation.ini";
constexpr size_t kVersionFileMaxBytes = 64 * 1024;

struct VersionFile {
    std::optional<std::vector<unsigned long>> latest;
    std::wstring downloadUrl;  // empty, or an http or https address
    std::wstring feedbackUrl;  // empty, or an http or https address
};

// Nothing for a malformed file: bytes that are not UTF-8, a line that is neither blank,
// comment, [section] nor key=value, a repeated key, a Latest that is not a dotted version,
// an address that is not http or https, or more than kVersionFileMaxBytes bytes.
std::optional<VersionFile> ParseVersionFile(const std::string& bytes);

// An address that the library is willing to hand to the shell: http:// or https:// and no
// blanks or control characters.
bool IsWebAddress(const std::wstring& url);

// The address with {tool} and {version} replaced by the values, percent-encoded as UTF-8.
std::wstring ExpandAddress(const std::wstring& url, const std::wstring& tool, const std::wstring& version);

// The answer of GetToolIsNewVersion for the running version and the file (if any).
int NewVersionAnswer(const std::optional<VersionFile>& file, const std::wstring& runningVersion);

}  // namespace outside
