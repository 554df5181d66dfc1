#pragma once
// The run's working folder, where every step writes. It may lie in a folder that the user's
// unelevated processes can write, so the elevated engine makes it anew for each run, holds it and
// every folder above it open against being renamed or replaced while the run lasts, and deletes
// only through handles opened without following links.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "files/ObjectFacts.h"
#include "win/UniqueHandle.h"

namespace engine::archive {

// The working folder's name beside the engine.
constexpr const wchar_t* kWorkingFolderName = L"SystemInfoLog";

// What was collected by a run that could not pack it, kept in the system's Temp folder under
// "OrvaneSkelda-kept <yyyy-mm-dd hh.mm.ss>" (a suffix " (n)" where that is taken).
std::wstring KeptCollectionName(const SYSTEMTIME& now, int attempt);
// True for such a name.
bool IsKeptCollectionName(const std::wstring& name);
// Removes what earlier runs kept in folder: folders of such names, no link, that a trusted owner
// owns. Called once a run has made its archive. Returns how many went.
int RemoveKeptCollections(const std::wstring& folder, const util::files::OwnerRule& owners);

// The working folder, made anew for each run and held until it is removed.
class WorkingFolderHold {
public:
    // Removes what an earlier run left (a link there as a link), makes the folder with the
    // access list of access and holds it and every folder above it. False, with the reason in
    // words, when it cannot be made safe.
    bool Make(const std::wstring& path, SECURITY_ATTRIBUTES* access, std::wstring& reason);
    // Everything inside, never following a link; the folder itself stays held.
    bool Empty();
    // Empties and removes the folder, then lets go of the folders above.
    void Remove();
    // Keeps what was collected when no archive could be made: moves the folder (same volume) to
    // intoFolder under the first free name of nameFor(1), nameFor(2), ... and gives it, and through inheritance what is in it, the list of
    // keptAccess. The place it is in now, or empty with the reason in why when it could not be
    // moved (it then stays where it is, not removed). Lets go of everything.
    std::wstring Keep(const std::wstring& intoFolder, const std::function<std::wstring(int)>& nameFor,
                      PSECURITY_DESCRIPTOR keptAccess, std::wstring& why);
    bool Held() const { return folder_.Valid(); }

private:
    std::wstring path_;
    std::vector<util::win::UniqueHandle> above_;
    util::win::UniqueHandle folder_;
};

}  // namespace engine::archive
