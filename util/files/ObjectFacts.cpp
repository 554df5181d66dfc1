#include "files/ObjectFacts.h"

#include <aclapi.h>
#include <sddl.h>

#include "text/LongPath.h"

namespace util::files {

namespace {

bool IsAdministrative(const std::wstring& sid) {
    return sid == L"S-1-5-18" || sid == L"S-1-5-32-544" ||
           sid == L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
}

std::wstring OwnerSidOf(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                          &descriptor) != ERROR_SUCCESS)
        return {};
    std::wstring sid = SidText(owner);
    ::LocalFree(descriptor);
    return sid;
}

DWORD ReparseTagOf(HANDLE object) {
    FILE_ATTRIBUTE_TAG_INFO info{};
    return ::GetFileInformationByHandleEx(object, FileAttributeTagInfo, &info, sizeof(info)) ? info.ReparseTag : 0;
}

// The tag in the directory entry of path; 0 where it cannot be listed (a root, for one).
DWORD ReparseTagByName(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(text::LongPath(path).c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return 0;
    ::FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? found.dwReserved0 : 0;
}

}  // namespace

OwnerKind ClassifyOwner(const std::wstring& sid, const OwnerRule& rule) {
    if (sid.empty()) return OwnerKind::Unknown;
    if (IsAdministrative(sid)) return OwnerKind::Trusted;
    for (const std::wstring& extra : rule.alsoTrusted)
        if (sid == extra) return OwnerKind::Trusted;
    if (!rule.userSid.empty() && sid == rule.userSid) return OwnerKind::User;
    return OwnerKind::Other;
}

std::wstring SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !::ConvertSidToStringSidW(sid, &text)) return {};
    std::wstring out(text);
    ::LocalFree(text);
    return out;
}

ObjectFacts FactsOf(HANDLE object, const std::wstring& path, const OwnerRule* owners) {
    ObjectFacts facts;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(object, &info)) {
        facts.known = true;
        facts.attributes = info.dwFileAttributes;
        facts.hardLinks = info.nNumberOfLinks;
        facts.lastWrite = info.ftLastWriteTime;
        if (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) facts.reparseTag = ReparseTagOf(object);
    } else {
        facts.error = ::GetLastError();
        facts.attributes = FILE_ATTRIBUTE_REPARSE_POINT;  // unknown kind: never taken for a plain object
    }
    if (!path.empty()) {
        const ObjectFacts byName = FactsOfName(path);
        facts.linkByName = byName.Link();
        if (byName.Link() && facts.reparseTag == 0) facts.reparseTag = byName.reparseTag;
    }
    if (owners) {
        facts.ownerSid = OwnerSidOf(object);
        facts.owner = ClassifyOwner(facts.ownerSid, *owners);
    }
    return facts;
}

ObjectFacts FactsOfName(const std::wstring& path) {
    ObjectFacts facts;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(text::LongPath(path).c_str(), GetFileExInfoStandard, &data)) {
        facts.error = ::GetLastError();
        return facts;
    }
    facts.known = true;
    facts.attributes = data.dwFileAttributes;
    facts.lastWrite = data.ftLastWriteTime;
    if (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) facts.reparseTag = ReparseTagByName(path);
    return facts;
}

PlaceVerdict JudgePlace(const ObjectFacts& facts, bool wantFolder) {
    if (!facts.known) {
        const bool missing = facts.error == ERROR_FILE_NOT_FOUND || facts.error == ERROR_PATH_NOT_FOUND;
        return missing ? PlaceVerdict::Missing : PlaceVerdict::Unreadable;
    }
    // A link is refused whoever owns it: its owner says nothing about where it leads.
    if (facts.Link()) return PlaceVerdict::Link;
    if (facts.Folder() != wantFolder) return PlaceVerdict::WrongKind;
    // A second name of a file may be anywhere, made by anyone who could reach the file.
    if (!facts.Folder() && facts.hardLinks != 1) return PlaceVerdict::HardLinked;
    if (facts.owner != OwnerKind::Trusted) return PlaceVerdict::UntrustedOwner;
    return PlaceVerdict::Trusted;
}

std::wstring VerdictText(PlaceVerdict verdict, const ObjectFacts& facts) {
    switch (verdict) {
        case PlaceVerdict::Trusted: return L"trusted";
        case PlaceVerdict::Missing: return L"is not there";
        case PlaceVerdict::Unreadable: return L"cannot be opened (error " + std::to_wstring(facts.error) + L")";
        case PlaceVerdict::Link: return L"is a link";
        case PlaceVerdict::HardLinked: return L"has more than one name (hard link)";
        case PlaceVerdict::WrongKind: return facts.Folder() ? L"is a folder" : L"is not a folder";
        case PlaceVerdict::UntrustedOwner:
            return L"is owned by " + (facts.ownerSid.empty() ? std::wstring(L"nobody known") : facts.ownerSid) +
                   L", not by SYSTEM, Administrators or TrustedInstaller";
    }
    return {};
}

}  // namespace util::files
