#pragma once
// How both programs start elevated from a folder the user can write (Downloads, a USB stick):
// nothing is loaded by name from that folder, and the code they load or start runs only from a
// clean room of their own in the system's Temp folder, copied there from handles held against
// change and checked against the digests the build took.
#include <string>
#include <vector>

#include "ShippedFiles.h"
#include "files/CleanRoom.h"

namespace cleanroom {

// The rooms' names: this prefix and 16 random hex digits.
constexpr wchar_t kRoomPrefix[] = L"OrvaneSkelda-";

enum class StartFault {
    None,
    SearchNotNarrowed,  // SetDefaultDllDirectories is missing or failed (Windows 7 without its update)
    DotLocal,           // a "<program>.exe.local" beside the program would redirect its libraries
    NoRoom,             // the clean room could not be made safe
    FileMissing,        // a shipped file is not beside the program
    FileDifferent,      // a shipped file is not the one that shipped
    FileUnreadable,     // a shipped file cannot be read, or is being written meanwhile
};

// Whether the process may load anything at all, from what was found at its start; the first
// fault, or None. Pure.
StartFault JudgeLoading(bool searchNarrowed, bool dotLocalBeside);
// True when "<programPath>.local" exists, as a file or a folder.
bool DotLocalBeside(const std::wstring& programPath);
// The words of a fault for the console and the tool log ("" for None).
std::wstring FaultText(StartFault fault);

// The system's Temp folder (<Windows>\Temp), where rooms are made; empty when unknown.
std::wstring RoomParent();

// One start's clean room, removed when the start ends (the libraries loaded from it must be
// freed by then; what cannot go is removed at a later start).
class CleanStart {
public:
    // Removes rooms earlier starts left, makes this start's room in parent and takes files in from
    // programFolder. The first fault, with the file or reason in why; None when the room holds
    // everything required. owners: whom the room's owner may be besides the administrators.
    StartFault Begin(const std::wstring& parent, const std::wstring& programFolder,
                     const std::vector<ShippedFile>& files, const util::files::OwnerRule& owners, std::wstring& why);
    // The room, without a trailing backslash: load and start from here only.
    const std::wstring& Folder() const { return room_.Path(); }
    // Removes the room; false when something stays.
    bool End() { return room_.Remove(); }

private:
    util::files::CleanRoom room_;
};

}  // namespace cleanroom
