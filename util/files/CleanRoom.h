#pragma once
// A clean room: a folder of its own for an elevated process, in a place only administrators
// control (the system's Temp folder), into which the process copies the code it will load or
// start, checked, so that nothing it runs comes from a folder the user can write. Every user may
// make folders in the system's Temp folder, but cannot read, rename or delete what others make
// there: the room gets a name nobody can foresee, is made so that a name already taken fails,
// and is judged through its handle before anything goes in.
#include <windows.h>

#include <string>

#include "files/ObjectFacts.h"
#include "win/UniqueHandle.h"

namespace util::files {

// A room's name: prefix and 16 lowercase hex digits of number.
std::wstring RoomName(const std::wstring& prefix, unsigned long long number);
// True for exactly such a name (any case of the digits is not ours: lowercase only).
bool IsRoomName(const std::wstring& prefix, const std::wstring& name);
// The list a room is made with: owned by Administrators, SYSTEM and Administrators alone, passed
// on to everything inside.
std::wstring RoomSddl();

// What became of one file taken into the room.
enum class Intake { Taken, Missing, Different, Unreadable, Failed };

class CleanRoom {
public:
    CleanRoom() = default;
    ~CleanRoom() { Remove(); }
    CleanRoom(const CleanRoom&) = delete;
    CleanRoom& operator=(const CleanRoom&) = delete;

    // Makes a new room named prefix + 16 random hex digits in the folder parent and holds it
    // (no delete sharing: it cannot be renamed or replaced while held). The room must then be,
    // by its handle, a plain folder that owners trusts as owner and whose list lets nobody else
    // change it. False, with the reason in why, when that cannot be had.
    bool Make(const std::wstring& parent, const std::wstring& prefix, const OwnerRule& owners, std::wstring& why);
    bool Made() const { return folder_.Valid(); }
    // The room's path, without a trailing backslash.
    const std::wstring& Path() const { return path_; }

    // Copies the file source to the room's relative path (a name, or folders and a name below the
    // room, made as needed). source is read through a handle that lets nobody write, rename or
    // delete it meanwhile, at most maxBytes; with a digest (SHA-256, lowercase hex) the bytes
    // must have it. The reason goes into why for all but Taken.
    Intake TakeIn(const std::wstring& source, const std::wstring& relative, const std::string& sha256,
                  size_t maxBytes, std::wstring& why);

    // Removes what is in the room and the room itself, never following a link. False when
    // something stays (a library of the room still loaded); a later start removes it then.
    bool Remove();

private:
    std::wstring path_;
    win::UniqueHandle folder_;
};

// Removes the rooms in parent that runs left which ended without removing theirs (killed, or a
// library still loaded): names IsRoomName takes, no link, owned by a trusted owner, made before
// madeBefore, and not held by a running process. Anything else of a similar name stays. Returns
// how many went.
int RemoveLeftRooms(const std::wstring& parent, const std::wstring& prefix, const FILETIME& madeBefore,
                    const OwnerRule& owners);

}  // namespace util::files
