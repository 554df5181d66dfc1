#pragma once
// OrvaneFeedbackInformation.dll: answers of the feedback dialog, the newer-version check and
// the web pages for feedback and download. Plain C exports; strings are UTF-16.
#include <windows.h>

// Results of GetToolIsNewVersion.
constexpr int TOOL_VERSION_UNKNOWN = 0;  // no usable version file, or a version that is not one
constexpr int TOOL_VERSION_CURRENT = 1;  // the running version is the latest
constexpr int TOOL_VERSION_AHEAD = 2;    // the running version is above the latest one listed
constexpr int TOOL_VERSION_NEWER = 3;    // a newer version exists

// Answer codes of the feedback dialog.
constexpr int FEEDBACK_CLOSED = 4;
constexpr int FEEDBACK_SOLVED = 5;
constexpr int FEEDBACK_UNSOLVED = 6;

extern "C" {
// Compares version with Latest of the version file beside the library.
int __cdecl GetToolIsNewVersion(const wchar_t* tool, const wchar_t* version);
// Opens DownloadUrl of the version file. 1 if the shell took it, 0 otherwise (also: no address).
int __cdecl OpenToolDownUrl();
// Opens FeedbackUrl of the version file, {tool} and {version} filled in. 1 or 0 as above.
int __cdecl FeedbackQuestion(const wchar_t* tool, const wchar_t* version);
// Opens an http or https address; 0 for anything else.
int __cdecl OpenUrl(const wchar_t* url);
// 1 if the machine reports a connection to the internet, else 0.
int __cdecl GetInterNetState();
// Records one answer, at the time in timeText (seconds since 1970 UTC as "%d" writes them)
// or, when that is missing or not such a number, now. timeText is only read. 1 if recorded.
int __cdecl CustomerFeedbackEx(const wchar_t* tool, const wchar_t* version, int code, wchar_t* timeText);
// Records one answer at the current time. 1 if recorded.
int __cdecl CustomerFeedback(const wchar_t* tool, const wchar_t* version, int code);
// Appends one answer to the record file; the other two go through it. 1 if recorded.
int __cdecl WriteCustomerFeedbackInfoFile(const wchar_t* tool, const wchar_t* version, int code,
                                          const wchar_t* timeText);
}
