#include "TrustedPlace.h"

#include <aclapi.h>
#include <sddl.h>
#include <winternl.h>

#include <cstring>

#include "HandleFiles.h"
#include "ProcAddress.h"

namespace skelda {
namespace {

std::wstring SidString(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !::ConvertSidToStringSidW(sid, &text)) return {};
    std::wstring out(text);
    ::LocalFree(text);
    return out;
}

}  // namespace

OwnerKind ClassifyOwnerText(const std::wstring& sid, const std::vector<std::wstring>& alsoTrusted) {
    if (sid.empty()) return OwnerKind::Unknown;
    if (IsAdministrativeOwner(sid)) return OwnerKind::Trusted;
    for (const std::wstring& extra : alsoTrusted)
        if (sid == extra) return OwnerKind::Trusted;
    return OwnerKind::Other;
}

OwnerKind ClassifyOwner(PSID owner, const std::vector<std::wstring>& alsoTrusted) {
    return ClassifyOwnerText(SidString(owner), alsoTrusted);
}

PlaceVerdict JudgePlace(const PlaceFacts& facts, bool wantFolder) {
    if (!facts.opened) {
        const bool missing = facts.openError == ERROR_FILE_NOT_FOUND || facts.openError == ERROR_PATH_NOT_FOUND;
        return missing ? PlaceVerdict::Missing : PlaceVerdict::Unreadable;
    }
    // A link is refused whoever owns it: its owner says nothing about where it leads.
    if (facts.linkByName || (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return PlaceVerdict::Link;
    const bool folder = (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder != wantFolder) return PlaceVerdict::WrongKind;
    // A second name of a file may be anywhere, made by anyone who could reach the file.
    if (!folder && facts.hardLinks != 1) return PlaceVerdict::HardLinked;
    if (facts.owner != OwnerKind::Trusted) return PlaceVerdict::UntrustedOwner;
    return PlaceVerdict::Trusted;
}

std::wstring VerdictText(PlaceVerdict verdict, const PlaceFacts& facts) {
    switch (verdict) {
        case PlaceVerdict::Trusted: return L"trusted";
        case PlaceVerdict::Missing: return L"is not there";
        case PlaceVerdict::Unreadable: return L"cannot be opened (error " + std::to_wstring(facts.openError) + L")";
        case PlaceVerdict::Link: return L"is a link";
        case PlaceVerdict::HardLinked: return L"has more than one name (hard link)";
        case PlaceVerdict::WrongKind:
            return (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) ? L"is a folder" : L"is not a folder";
        case PlaceVerdict::UntrustedOwner:
            return L"is owned by " + (facts.ownerSid.empty() ? std::wstring(L"nobody known") : facts.ownerSid) +
                   L", not by SYSTEM, Administrators or TrustedInstaller";
    }
    return {};
}

PlaceFacts FactsOfHandle(HANDLE handle, const std::wstring& path, const std::vector<std::wstring>& alsoTrusted) {
    PlaceFacts facts;
    facts.opened = true;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(handle, &info)) {
        facts.attributes = info.dwFileAttributes;
        facts.hardLinks = info.nNumberOfLinks;
    } else {
        facts.attributes = FILE_ATTRIBUTE_REPARSE_POINT;  // unknown kind: judged as a link
    }
    // Wine shows a Unix symbolic link only in the directory entry, not on the opened target.
    if (!path.empty()) {
        const DWORD byName = ::GetFileAttributesW(path.c_str());
        facts.linkByName = byName != INVALID_FILE_ATTRIBUTES && (byName & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    facts.ownerSid = OwnerOf(handle);
    facts.owner = ClassifyOwnerText(facts.ownerSid, alsoTrusted);
    return facts;
}

UniqueHandle OpenPlace(const std::wstring& path, DWORD access, DWORD share, PlaceFacts& facts,
                       const std::vector<std::wstring>& alsoTrusted) {
    UniqueHandle handle = OpenNoFollow(path, access | READ_CONTROL | FILE_READ_ATTRIBUTES, share);
    if (!handle) {
        facts = PlaceFacts{};
        facts.openError = ::GetLastError();
        return handle;
    }
    facts = FactsOfHandle(handle.Get(), path, alsoTrusted);
    return handle;
}

UniqueHandle OpenInFolder(HANDLE folder, const std::wstring& name, DWORD access, DWORD share, bool openIf,
                          DWORD& error) {
    using NtCreateFileFn = LONG(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER,
                                        ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
    using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(LONG);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto create = ProcAddress<NtCreateFileFn>(ntdll, "NtCreateFile");
    const auto toError = ProcAddress<RtlNtStatusToDosErrorFn>(ntdll, "RtlNtStatusToDosError");
    error = ERROR_PROC_NOT_FOUND;
    if (!create || !toError || name.empty() || name.size() > 0x7fff / sizeof(wchar_t)) return UniqueHandle();

    std::wstring buffer = name;
    UNICODE_STRING unicodeName;
    unicodeName.Buffer = &buffer[0];
    unicodeName.Length = static_cast<USHORT>(buffer.size() * sizeof(wchar_t));
    unicodeName.MaximumLength = unicodeName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicodeName, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE raw = nullptr;
    constexpr ULONG kOpen = 1, kOpenIf = 3;
    constexpr ULONG kSynchronousNonAlert = 0x20, kNonDirectory = 0x40, kOpenReparsePoint = 0x200000;
    const LONG result = create(&raw, access | SYNCHRONIZE | READ_CONTROL | FILE_READ_ATTRIBUTES, &attributes,
                               &status, nullptr, FILE_ATTRIBUTE_NORMAL, share, openIf ? kOpenIf : kOpen,
                               kSynchronousNonAlert | kNonDirectory | kOpenReparsePoint, nullptr, 0);
    if (result < 0) {
        error = toError(result);
        return UniqueHandle();
    }
    error = ERROR_SUCCESS;
    return UniqueHandle(raw);
}

bool ProcessIsAdministrator() {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(sid);
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size)) return false;
    BOOL member = FALSE;
    return ::CheckTokenMembership(nullptr, sid, &member) && member;
}

}  // namespace skelda
