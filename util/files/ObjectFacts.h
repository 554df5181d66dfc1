#pragma once
// What is known of a file or folder that others could have made or replaced, and whether an
// elevated process may act on it. Only what SYSTEM, the Administrators group or TrustedInstaller
// own is trusted, and never a link: a user who made the object first, or put a link in its
// place, would otherwise steer the process's writes and settings. The decisions are pure; the
// facts are gathered by handle (NoFollow.h).
#include <windows.h>

#include <string>
#include <vector>

namespace util::files {

// Trusted: SYSTEM, Administrators, TrustedInstaller or a SID the rule adds; User: the user a run
// is for, where the rule names one; Other: anybody else; Unknown: no owner could be read.
enum class OwnerKind { Trusted, User, Other, Unknown };

struct OwnerRule {
    // Further owners to trust, string SIDs: an administrator may name them for file systems that
    // report another owner for administrators' files; tests name Wine's one user.
    std::vector<std::wstring> alsoTrusted;
    std::wstring userSid;  // empty: no user is told apart from Other
};

// The one owner classifier, for a SID in string form ("S-1-5-18"); empty is Unknown.
OwnerKind ClassifyOwner(const std::wstring& sid, const OwnerRule& rule = {});

// The string form of a SID; empty for none.
std::wstring SidText(PSID sid);

// What one object is, read from a handle opened without following links, and where asked from
// its directory entry and its owner.
struct ObjectFacts {
    bool known = false;        // opened (or found by name) and read
    DWORD error = 0;           // why not, when not known
    DWORD attributes = 0;
    bool linkByName = false;   // the directory entry says reparse point (an outer view of links)
    DWORD hardLinks = 1;
    DWORD reparseTag = 0;      // the reparse point's kind, where there is one and it could be read
    FILETIME lastWrite{};
    std::wstring ownerSid;     // only where the owner was asked for
    OwnerKind owner = OwnerKind::Unknown;

    bool Folder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A junction, symbolic link or mount point, by the handle or by the directory entry.
    bool Link() const { return linkByName || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    // A reparse point that names another place (junction, symbolic link, mount point), or one of
    // unknown kind. Reparse points that only keep a file's data elsewhere (cloud placeholders,
    // deduplicated or compressed files) lead nowhere else when opened as themselves.
    bool LeadsElsewhere() const { return Link() && (reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag)); }
};

// The facts of an open handle. path (may be empty) is looked at for its directory entry only:
// Wine shows a Unix symbolic link there and not on the opened target. With owners the owner is
// read and classified too. A handle whose facts cannot be read counts as a link.
ObjectFacts FactsOf(HANDLE object, const std::wstring& path = {}, const OwnerRule* owners = nullptr);

// The attributes of path as the directory lists it, without opening it: a link to a folder is
// seen as a link here even where opening it follows the link.
ObjectFacts FactsOfName(const std::wstring& path);

enum class PlaceVerdict { Trusted, Missing, Unreadable, Link, HardLinked, WrongKind, UntrustedOwner };

// The verdict for a folder (wantFolder) or a file whose owner was read. A missing object is not
// a fault of trust: callers decide whether to make it.
PlaceVerdict JudgePlace(const ObjectFacts& facts, bool wantFolder);

// "is a link", "is owned by S-1-5-21-..., not by SYSTEM, Administrators or TrustedInstaller", ...
std::wstring VerdictText(PlaceVerdict verdict, const ObjectFacts& facts);

}  // namespace util::files
