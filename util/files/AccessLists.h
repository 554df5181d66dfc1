#pragma once
// Access lists for what the collector writes: the archive and the folders it makes hold event
// logs, process command lines and the installed software, so only SYSTEM, the Administrators
// group and the user who runs the tool (the token's user, so the same person can still open
// and send the archive without elevation) may open them.
#include <windows.h>

#include <string>

#include "files/ObjectFacts.h"

namespace util::files {

// The SDDL of that list for the given user: protected from the parent's entries, inherited by
// whatever is created inside.
std::wstring PrivateAccessSddl(const std::wstring& userSid);

// The list of the folders only the engine works in (the working folder, the folder the archive
// is packed in): SYSTEM and Administrators, so that the user's unelevated processes can
// neither write into them nor rename what is inside. A run without administrator rights could
// not open such a folder itself, so there the user is added.
std::wstring RunFolderSddl(const std::wstring& userSid, bool runsAsAdministrator);

// The list of a folder the engine makes on the way to the archive, in a place of the user's:
// SYSTEM and Administrators in full, the user may list it, read it and take the archive out of
// it (delete a child), not replace or rename the folder or write into it. Nothing inherits it:
// the archive gets a list of its own. A run without administrator rights gets full control, as
// above.
std::wstring MadeFolderSddl(const std::wstring& userSid, bool runsAsAdministrator);

// The list of what a run could not pack and keeps in the system's Temp folder: SYSTEM and
// Administrators in full, the user may read it (list, traverse, read), all passed on inside.
std::wstring KeptCollectionSddl(const std::wstring& userSid);

// A security descriptor built from SDDL, owned. Built on first use, not at construction: the
// engine's collector is a global object of a library, constructed while the loader holds its
// lock.
class AccessList {
public:
    AccessList() = default;
    ~AccessList();
    AccessList(const AccessList&) = delete;
    AccessList& operator=(const AccessList&) = delete;

    // Makes the list for this process's user; true when it is there (made now or before).
    bool Build();
    // Makes the list from SDDL in place of any earlier one.
    bool BuildFrom(const std::wstring& sddl);
    PSECURITY_DESCRIPTOR Descriptor() const { return descriptor_; }
    bool Valid() const { return descriptor_ != nullptr; }
    // For CreateDirectoryW and CreateFileW; null (the parent's permissions) when not valid.
    SECURITY_ATTRIBUTES* Attributes() { return Valid() ? &attributes_ : nullptr; }
    // Gives an existing file or folder this list in place of its own. false when it cannot.
    bool ApplyTo(const std::wstring& path) const;

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

// True when the descriptor's list lets nobody but SYSTEM, Administrators, TrustedInstaller and
// the owners the rule adds change the object or what is in it: write or add, delete, set
// attributes, the list or the owner. A missing list (everybody) fails; entries that only pass
// on to what is made inside, and denials, change nothing here.
bool OnlyTrustedMayChange(PSECURITY_DESCRIPTOR descriptor, const OwnerRule& rule);

// The access list of a file or folder as SDDL (its DACL part only); empty when unreadable.
std::wstring AccessListOf(const std::wstring& path);

}  // namespace util::files
