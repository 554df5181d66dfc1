#pragma once
// The record of answers: one UTF-8 line per answer in
//   <common application data>\OrvaneFeedback\FeedbackRecord.txt
// with five fields separated by tabs and a CR LF at the end:
//   seconds since 1970 UTC, the same as "YYYY-MM-DD hh:mm:ss" UTC, answer code, tool, version
// Tabs and line breaks inside tool and version become blanks.
#include <cstdint>
#include <string>

namespace outside {

std::string RecordLine(int64_t seconds, int code, const std::wstring& tool, const std::wstring& version);

// Empty when the folder is unknown.
std::wstring RecordFilePath();

// The list of the record's folder when it is made: owner Administrators; SYSTEM and
// Administrators write, Users read.
constexpr const wchar_t* kRecordFolderSddl = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// Appends the bytes with one write to the record, creating the file and its folder when needed.
// The program writes it elevated in a place any user can write in, so the folder and the file
// are used only where they are no link and an administrator (or an owner the machine names,
// util::files::MachineTrustedOwners) owns them, and the file is opened inside the held folder.
// false, with the reason in why, when it is not written.
bool AppendToRecord(const std::wstring& path, const std::string& bytes, std::wstring& why);

}  // namespace outside
