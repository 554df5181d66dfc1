#include "CleanStart.h"

#include <windows.h>

#include "text/LongPath.h"
#include "win/SystemPaths.h"

namespace cleanroom {

namespace {

// Larger than any shipped file by far; data files are settings of a few lines.
constexpr size_t kMaxCodeBytes = 64u << 20;
constexpr size_t kMaxDataBytes = 64u << 10;

StartFault FaultOf(util::files::Intake intake) {
    switch (intake) {
        case util::files::Intake::Taken: return StartFault::None;
        case util::files::Intake::Missing: return StartFault::FileMissing;
        case util::files::Intake::Different: return StartFault::FileDifferent;
        case util::files::Intake::Unreadable: return StartFault::FileUnreadable;
        case util::files::Intake::Failed: return StartFault::NoRoom;
    }
    return StartFault::NoRoom;
}

FILETIME ThisProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) ::GetSystemTimeAsFileTime(&created);
    return created;
}

}  // namespace

StartFault JudgeLoading(bool searchNarrowed, bool dotLocalBeside) {
    if (!searchNarrowed) return StartFault::SearchNotNarrowed;
    if (dotLocalBeside) return StartFault::DotLocal;
    return StartFault::None;
}

bool DotLocalBeside(const std::wstring& programPath) {
    return !programPath.empty() &&
           ::GetFileAttributesW(util::text::LongPath(programPath + L".local").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FaultText(StartFault fault) {
    switch (fault) {
        case StartFault::None: return {};
        case StartFault::SearchNotNarrowed:
            return L"Windows cannot keep the program's folder out of the library search (SetDefaultDllDirectories "
                   L"is missing: install the update KB2533623 or later)";
        case StartFault::DotLocal:
            return L"a .local file or folder beside the program would redirect the libraries it loads";
        case StartFault::NoRoom: return L"the clean room for the program's libraries cannot be made";
        case StartFault::FileMissing: return L"a file that ships with the program is missing";
        case StartFault::FileDifferent: return L"a file beside the program is not the one that shipped";
        case StartFault::FileUnreadable: return L"a file that ships with the program cannot be read";
    }
    return {};
}

std::wstring RoomParent() { return util::win::SystemTempFolder(); }

StartFault CleanStart::Begin(const std::wstring& parent, const std::wstring& programFolder,
                             const std::vector<ShippedFile>& files, const util::files::OwnerRule& owners,
                             std::wstring& why) {
    if (parent.empty()) {
        why = L"the system's Temp folder is unknown";
        return StartFault::NoRoom;
    }
    util::files::RemoveLeftRooms(parent, kRoomPrefix, ThisProcessStart(), owners);
    if (!room_.Make(parent, kRoomPrefix, owners, why)) return StartFault::NoRoom;
    for (const ShippedFile& file : files) {
        const bool code = file.kind == ShippedFile::Kind::Code;
        if (code && file.sha256.empty()) {
            why = programFolder + L"\\" + file.name + L" has no digest in this build";
            room_.Remove();
            return StartFault::FileDifferent;
        }
        const util::files::Intake intake = room_.TakeIn(programFolder + L"\\" + file.name, file.name, file.sha256,
                                                        code ? kMaxCodeBytes : kMaxDataBytes, why);
        if (intake != util::files::Intake::Taken && !file.required) continue;  // settings the library can do without
        if (intake != util::files::Intake::Taken) {
            room_.Remove();
            return FaultOf(intake);
        }
    }
    why.clear();
    return StartFault::None;
}

}  // namespace cleanroom
